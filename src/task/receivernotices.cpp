#include "receivernotices.h"

#include <QObject>

QString recv_buffer_notice(int granted, int asked, int wanted)
{
    if (granted < 0 || granted >= asked)
        return QString();
    return QObject::tr("socket receive buffer is %1 bytes, %2 asked: packets may be lost at high "
                       "rates; raise the limit with: sysctl -w net.core.rmem_max=%3")
        .arg(granted)
        .arg(asked)
        .arg(wanted);
}

QString frame_overflow_notice(size_t limit)
{
    return QObject::tr("frame dropped: more than %1 points without a frame end")
        .arg(qulonglong(limit));
}

QString data_reception_notice()
{
    return QObject::tr("lidar data reception is ok");
}

QString cmd_reception_notice()
{
    return QObject::tr("lidar cmd reception is ok");
}

QString disconnect_notice()
{
    return QObject::tr("lidar disconnect ok");
}

QString open_socket_failed_notice()
{
    return QObject::tr("open socket failed");
}

QString repeated_text(const QString &text, int times)
{
    return QObject::tr("%1 (came %2 times)").arg(text).arg(times);
}

QString replies_left_out_notice()
{
    return QObject::tr("a reply of the device left out: replies came faster than the window takes them");
}
