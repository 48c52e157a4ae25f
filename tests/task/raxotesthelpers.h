#pragma once
// What the Raxo receiver posted, collected on the test's thread.

#include "fakeraxo.h"
#include "receiverprobe.h"
#include "recvdataproc2.h"

#include <QObject>

#include <utility>
#include <vector>

struct RaxoPosted : PostedLog {
    std::vector<std::vector<UserPointData>> frames2D;
    std::vector<float> heights;
    std::vector<QString> models;
    std::vector<QByteArray> debug;
    std::vector<zones> zoneTables;

    size_t total() const
    {
        return data.size() + frames.size() + frames2D.size() + heights.size() + models.size()
            + debug.size() + zoneTables.size();
    }
    void clear() { *this = RaxoPosted(); }
};

// Connects every signal of the receiver to the collector through `context`: queued when the
// receiver's loop emits, direct when the test calls an entry point itself.
inline void collect(RecvDataProc2 *rx, QObject *context, RaxoPosted *p)
{
    register_point_meta_types();
    register_zone_meta_types();
    QObject::connect(rx, &RecvDataProc2::sig_zoneData, context,
                     [p](zones z) { p->zoneTables.push_back(z); });
    QObject::connect(rx, &RecvDataProc2::sig_data, context,
                     [p](int t, QByteArray b) { p->data.emplace_back(t, b); });
    QObject::connect(rx, &RecvDataProc2::sig_framedata, context,
                     [p](std::vector<UserPointData> f, int) { p->frames.push_back(f); });
    QObject::connect(rx, &RecvDataProc2::sig_framedata_2D, context,
                     [p](std::vector<UserPointData> f, int) { p->frames2D.push_back(f); });
    QObject::connect(rx, &RecvDataProc2::sig_compensate, context,
                     [p](float h) { p->heights.push_back(h); });
    QObject::connect(rx, &RecvDataProc2::sig_modelData, context,
                     [p](QString path) { p->models.push_back(path); });
    QObject::connect(rx, &RecvDataProc2::sig_debug_show, context,
                     [p](QByteArray b) { p->debug.push_back(b); });
}

inline void feed(RecvDataProc2 &rx, const std::vector<uint8_t> &datagram)
{
    rx.processDataDatagram(datagram.data(), datagram.size());
}

