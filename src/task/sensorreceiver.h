#pragma once
// What every session receiver is to the window: a thread that binds, is started and stopped,
// sends the pages' command frames, uploads firmware, and posts its messages and frames. The
// window holds the session's receiver through this face and knows the concrete kind only where
// a family has signals or settings of its own.

#include "postqueue.h"
#include "userpointdata.h"
#include "zonetable.h"

#include <QByteArray>
#include <QString>
#include <QThread>

#include <vector>

class SensorReceiver : public QThread {
    Q_OBJECT

public:
    using QThread::QThread;

    // Local address the sockets bind to; empty means any. Set before start().
    virtual void setBindAddress(const QString &ip) = 0;
    // Asks the loop to end; the caller waits for the thread and may ask again.
    virtual void stop() = 0;
    // Sends one complete command frame to the device; false when it was not sent.
    virtual bool SendCmd(const char *cmd, int len) = 0;
    // Queues a firmware upload; false where the family has none.
    virtual bool FileUpdate(QString path, int code)
    {
        (void)path;
        (void)code;
        return false;
    }

public slots:
    // The zone editor's write (10) or read (11) of the zone table; a family without zones
    // ignores it.
    virtual void recv_zoneCmd(int flag, zones data)
    {
        (void)flag;
        (void)data;
    }

signals:
    // Every message of the session: log lines, replies, run states (MsgType, payload). They reach
    // the GUI thread through the receiver's post queue (post()), in the order they were posted.
    void sig_data(int type, QByteArray data);
    // One finished frame. The frame goes by reference: a queued connection takes its own copy.
    void sig_framedata(const std::vector<UserPointData> &pointsdata, int lidartype);
    // The zone table read back from the device.
    void sig_zoneData(zones data);

protected:
    // What a datagram can post, at most, while the GUI thread has not taken it yet: replies,
    // and zone-monitor and attitude records.
    static constexpr size_t kRepliesWaiting = 32;
    static constexpr size_t kRecordsWaiting = 16;

    // Posts sig_data(type, data) to the GUI thread (see postqueue.h). `limit` 0 posts it
    // whatever waits; above 0, with `limit` posts of its type waiting, the oldest of them is left
    // out for it (false). On the GUI thread itself, with nothing waiting, it is delivered at once.
    bool post(int type, const QByteArray &data, size_t limit = 0);
    // The same for a signal of the receiver's own, delivered by deliver(); replace() keeps only
    // the newest waiting post of its kind and type.
    bool post(const PostQueue::Post &p, size_t limit);
    void replace(const PostQueue::Post &p);
    // Emits what a post stands for, on the GUI thread; the base class emits sig_data.
    virtual void deliver(const PostQueue::Post &p);

private:
    void scheduleDelivery();
    void deliverPosts();

    PostQueue posts_;
};
