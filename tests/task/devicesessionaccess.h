#pragma once
// Reaches a device session's state in tests: its notes, its receiver as its family's class, and
// a receiver of the test's own made the session's.

#include "devicesession.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"

#include <QVector>

#include <initializer_list>

// The session's notes as the tests read and set them: by their texts, keyed where a test says so.
struct NotesRef {
    QVector<PendingCommand> &v;
    NotesRef &operator=(std::initializer_list<QString> texts)
    {
        v.clear();
        for (const QString &t : texts)
            v.append({t, -1});
        return *this;
    }
    void append(const QString &note, int key) { v.append({note, key}); }
    bool isEmpty() const { return v.isEmpty(); }
    int size() const { return v.size(); }
    void clear() { v.clear(); }
    QVector<QString> texts() const
    {
        QVector<QString> out;
        for (const PendingCommand &c : v)
            out.append(c.note);
        return out;
    }
    bool operator==(const QVector<QString> &o) const { return texts() == o; }
};

struct DeviceSessionTestAccess {
    explicit DeviceSessionTestAccess(DeviceSession &s) : s(s) {}
    DeviceSession &s;

    NotesRef notes() { return NotesRef{s.notes_}; }
    int algQueriesAsked() const { return s.algQueriesAsked_; }
    // Makes `r` (not started by the session) the running session's receiver, of `model`.
    void setReceiver(SensorReceiver *r, uint8_t model)
    {
        s.receiver_ = r;
        s.model_ = model;
    }
    QPointer<SensorReceiver> &receiver() { return s.receiver_; }
    RecvDataProc *fenkReceiver() { return qobject_cast<RecvDataProc *>(s.receiver_.data()); }
    RecvDataProc2 *raxoReceiver() { return qobject_cast<RecvDataProc2 *>(s.receiver_.data()); }
    RecvDataProc3 *vimoReceiver() { return qobject_cast<RecvDataProc3 *>(s.receiver_.data()); }
    RecvBoxDataProc *boxReceiver() { return qobject_cast<RecvBoxDataProc *>(s.receiver_.data()); }
};
