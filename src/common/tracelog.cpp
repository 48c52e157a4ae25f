#include "tracelog.h"

#include <QThread>

#include <cstdarg>
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

TracePass TraceRate::take()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return take_at(int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
}

TracePass TraceRate::take_at(int64_t now_ms)
{
    int64_t last = last_ms_.load(std::memory_order_relaxed);
    // Of several threads that find the second over, one writes the line.
    if ((last == INT64_MIN || now_ms - last >= kIntervalMs)
        && last_ms_.compare_exchange_strong(last, now_ms, std::memory_order_relaxed))
        return {true, refused_.exchange(0, std::memory_order_relaxed)};
    refused_.fetch_add(1, std::memory_order_relaxed);
    return {false, 0};
}

QDebug qv_trace_line_limited(const char *file, int line, const char *function, uint64_t left_out)
{
    QDebug d = qv_trace_line(file, line, function);
    if (left_out > 0)
        d << "(" + QByteArray::number(qulonglong(left_out)) + " like it left out)";
    return d;
}

void qv_printf_limited(TraceRate &rate, const char *format, ...)
{
    const TracePass pass = rate.take();
    if (!pass)
        return;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    if (pass.left_out > 0)
        std::printf("(%llu like it left out)\n", static_cast<unsigned long long>(pass.left_out));
}
