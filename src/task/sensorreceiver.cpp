#include "sensorreceiver.h"

#include <QMetaObject>

bool SensorReceiver::post(int type, const QByteArray &data, size_t limit)
{
    return post(PostQueue::Post{PostQueue::kData, type, data}, limit);
}

bool SensorReceiver::post(const PostQueue::Post &p, size_t limit)
{
    bool deliver = false;
    const bool room = posts_.push(p, limit, &deliver);
    if (deliver)
        scheduleDelivery();
    return room;
}

void SensorReceiver::replace(const PostQueue::Post &p)
{
    bool deliver = false;
    posts_.replace(p, &deliver);
    if (deliver)
        scheduleDelivery();
}

void SensorReceiver::deliver(const PostQueue::Post &p)
{
    if (p.kind == PostQueue::kData)
        emit sig_data(p.type, p.data);
}

void SensorReceiver::scheduleDelivery()
{
    // A receiver driven through its entry points on the GUI thread (the tests do) gets its posts
    // out at once, as a direct signal would.
    if (QThread::currentThread() == thread())
        deliverPosts();
    else
        QMetaObject::invokeMethod(this, [this] { deliverPosts(); }, Qt::QueuedConnection);
}

void SensorReceiver::deliverPosts()
{
    posts_.begin();
    // What waits now, then the rest of the event loop gets its turn: a receiver that keeps
    // posting while the GUI thread delivers must not keep it here. Once the thread has ended
    // nothing more comes, and the rest goes out before the receiver can be deleted.
    const size_t now = isRunning() ? posts_.waiting() : SIZE_MAX;
    PostQueue::Post p;
    for (size_t i = 0; i < now && posts_.pop(&p); ++i)
        deliver(p);
    if (posts_.more())
        QMetaObject::invokeMethod(this, [this] { deliverPosts(); }, Qt::QueuedConnection);
}
