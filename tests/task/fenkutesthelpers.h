#pragma once
// What the Fenk-U receiver posted, collected on the test's thread.

#include "receiverprobe.h"
#include "recvdataproc.h"

#include <QObject>

#include <utility>
#include <vector>

struct FenkPosted : PostedLog {
    std::vector<int> frameTypes; // the lidartype sent with each frame

    size_t total() const { return data.size() + frames.size(); }
};

// Connects both signals to the collector through `context`: queued when the receiver's loop
// emits, direct when the test calls an entry point itself.
inline void collect(RecvDataProc *rx, QObject *context, FenkPosted *p)
{
    register_point_meta_types();
    QObject::connect(rx, &RecvDataProc::sig_data, context,
                     [p](int t, QByteArray b) { p->data.emplace_back(t, b); });
    QObject::connect(rx, &RecvDataProc::sig_framedata, context, [p](std::vector<UserPointData> f, int t) {
        p->frames.push_back(f);
        p->frameTypes.push_back(t);
    });
}

inline void feed(RecvDataProc &rx, const std::vector<uint8_t> &datagram)
{
    rx.processDatagram(datagram.data(), datagram.size());
}

inline void feed_all(RecvDataProc &rx, const std::vector<std::vector<uint8_t>> &datagrams)
{
    for (const auto &d : datagrams)
        feed(rx, d);
}
