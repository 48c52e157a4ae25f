#include "pinghelper.h"

#include <QProcess>
#include <QStringList>

bool ping_answered(const QString &ip, int timeout_ms)
{
    if (ip.isEmpty() || ip.startsWith('-'))
        return false;
    const int seconds = timeout_ms <= 1000 ? 1 : (timeout_ms + 999) / 1000;
    QProcess ping;
    ping.setProcessChannelMode(QProcess::MergedChannels);
    ping.start("ping", {"-c", "1", "-W", QString::number(seconds), ip}, QIODevice::ReadOnly);
    if (!ping.waitForStarted(30000))
        return false;
    if (!ping.waitForFinished(30000)) {
        ping.kill();
        ping.waitForFinished(1000);
        return false;
    }
    return ping.exitStatus() == QProcess::NormalExit && ping.exitCode() == 0;
}
