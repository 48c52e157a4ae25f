#include "tracelog.h"

#include <QThread>

#include <cstdio>
#include <ctime>

QByteArray qv_trace_function_name(const char *pretty_function)
{
    QByteArray f(pretty_function != nullptr ? pretty_function : "");
    const int paren = f.indexOf('(');
    if (paren >= 0)
        f.truncate(paren);
    const int space = f.lastIndexOf(' ');
    if (space >= 0)
        f = f.mid(space + 1);
    return f;
}

namespace {

// "yyyy-MM-dd hh:mm:ss.zzz" of the local time now. localtime_r rather than QDateTime: Qt's
// local-time conversion goes through mktime, which stats the zone file on every call, and the
// detector writes a trace line per classified object.
QByteArray local_time_text()
{
    timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    const time_t secs = ts.tv_sec;
    tm local {};
    localtime_r(&secs, &local);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  int(ts.tv_nsec / 1000000));
    return QByteArray(buf);
}

} // namespace

QDebug qv_trace_line(const char *file, int line, const char *function)
{
    QDebug d = qDebug().noquote().nospace();
    d << "[" << local_time_text() << " "
      << reinterpret_cast<quintptr>(QThread::currentThreadId()) << " " << file << ":" << line
      << ":" << qv_trace_function_name(function) << "]";
    return d.space();
}
