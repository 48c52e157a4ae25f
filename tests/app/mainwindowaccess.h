#pragma once
// Reaches the main window's state in tests: what the Parts call its members, without widening
// the window's public interface for the program's sake.

#include "heartbeatproc.h"
#include "mainwindow.h"
#include "messagelog.h"
#include "recvboxdataproc.h"
#include "recvdataproc.h"
#include "recvdataproc2.h"
#include "recvdataproc3.h"
#include "sensorreceiver.h"
#include "view3dsceneaccess.h"

#include <QListWidget>
#include <QStringList>

// The window's notes as the tests read and set them: by their texts, keyed where a test says so.
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

struct MainWindowTestAccess {
    explicit MainWindowTestAccess(MainWindow &w) : w(w) {}
    MainWindow &w;

    NotesRef notes() { return NotesRef{w.pendingNotes}; }
    bool &displayPaused() { return w.displayPaused; }
    bool &redrawFlag() { return w.redrawFlag; }
    uint8_t &currentModel() { return w.currentModel; }
    QString &connectedSn() { return w.connectedSn; }
    bool &showObjects() { return w.showObjects; }
    bool &showMarkers() { return w.showMarkers; }
    std::vector<ModelInfo> &objectModels() { return w.objectModels; }
    int32_t &lastProgress() { return w.lastProgress; }
    bool &boxObjects() { return w.boxObjects; }
    bool bigScreen() const { return w.bigScreen; }
    std::vector<std::vector<UserPointData>> &frameCache() { return w.frameCache; }
    float &cacheProgress() { return w.cacheProgress; }
    int32_t &cacheIndex() { return w.cacheIndex; }
    Component_LogOperate *logOperate() { return w.logOperate; }
    QString &playbackFile() { return w.playbackFile; }
    int playbackAbandons() const { return w.playbackAbandons; }
    Dialog_Debug &debugView() { return w.debugView; }
    Dialog_Connect *dialogConnect() { return w.dialogConnect; }
    QPointer<HeartBeatProc> &heartBeat() { return w.heartBeat; }
    Dialog_Connect *connectDialog() { return w.connectDialog(); }
    AlgorithmBox *&algorithmBox() { return w.algorithmBox; }
    Dialog_ObjectTrack *&objectTable() { return w.objectTable; }
    // The session's receiver, and the same as its family's class (nullptr for another).
    QPointer<SensorReceiver> &sessionReceiver() { return w.sessionReceiver; }
    void setSession(SensorReceiver *r, uint8_t model)
    {
        w.sessionReceiver = r;
        w.sessionModel = model;
    }
    RecvDataProc *fenkReceiver() { return qobject_cast<RecvDataProc *>(w.sessionReceiver.data()); }
    RecvDataProc2 *raxoReceiver() { return qobject_cast<RecvDataProc2 *>(w.sessionReceiver.data()); }
    RecvDataProc3 *vimoReceiver() { return qobject_cast<RecvDataProc3 *>(w.sessionReceiver.data()); }
    RecvBoxDataProc *boxReceiver() { return qobject_cast<RecvBoxDataProc *>(w.sessionReceiver.data()); }
    size_t queuedLines() { return w.messageLog->queued(); }

    // The 3D view: the scene's own state through its access, the rest here.
    View3DSceneTestAccess scene() { return View3DSceneTestAccess(*w.scene_); }
    std::vector<UserPointData> &currentFrame2D() { return w.currentFrame2D; }
    // The window's draw: the scene's, then the point table, the 2D view and the analysis panel.
    void showFrame() { w.showFrame(); }
    QTimer *tickTimer() { return w.tickTimer; }
    void onClearCloud() { w.onClearCloud(); }

    template <typename T> T *find(const char *name) { return w.findChild<T *>(name); }
    QListWidget *log() { return find<QListWidget>("logList"); }
    // The log's rows, without their time stamps: "[ title ] text".
    QStringList logLines()
    {
        QStringList out;
        for (int i = 0; i < log()->count(); ++i) {
            const QString row = log()->item(i)->text();
            const int at = row.indexOf("]  [ ");
            out << (at < 0 ? row : row.mid(at + 3));
        }
        return out;
    }
    // How many times `line` ("[ title ] text") was logged: its rows, a row that says it came N
    // times counting N.
    int timesLogged(const QString &line)
    {
        int n = 0;
        const QString repeated = line + " (came ";
        for (const QString &row : logLines()) {
            if (row == line)
                ++n;
            else if (row.startsWith(repeated) && row.endsWith(" times)"))
                n += row.mid(repeated.size()).section(' ', 0, 0).toInt();
        }
        return n;
    }
    // The same for the lines that hold `text` anywhere.
    int timesLoggedWith(const QString &text)
    {
        int n = 0;
        for (const QString &row : logLines()) {
            if (!row.contains(text))
                continue;
            const int at = row.lastIndexOf(" (came ");
            n += at >= 0 && row.endsWith(" times)") ? row.mid(at + 7).section(' ', 0, 0).toInt() : 1;
        }
        return n;
    }
    // The tick: draws when asked to and writes the queued lines.
    void tick() { w.recv_timeout(); }
};
