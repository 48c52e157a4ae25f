#include "ownerthreadtimer.h"

#include <QMetaObject>
#include <QTimer>

void start_timer_on_owner_thread(QObject *owner, int ms, std::function<void()> functor)
{
    QMetaObject::invokeMethod(
        owner, [owner, ms, functor] { QTimer::singleShot(ms, owner, functor); },
        Qt::QueuedConnection);
}
