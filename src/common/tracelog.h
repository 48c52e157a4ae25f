#pragma once
// Trace lines on the Qt debug stream: "[" time "yyyy-MM-dd hh:mm:ss.zzz", thread id, source
// file ":" line ":" qualified function "]", then whatever the caller streams after it.
//   QV_TRACE() << "sendto:" << n;
//
// A line written for every datagram would grow at the sender's pace, and anyone on the sensor
// network sets that pace. Such lines go through QV_TRACE_LIMITED() (or, for the plain printf
// lines, QV_PRINTF_LIMITED): at most one line a second from each place that writes one, and the
// line that passes says how many like it were left out since the last.
//   QV_TRACE_LIMITED() << "reply too short:" << n;

#include <QDebug>

#include <atomic>
#include <cstdint>

QDebug qv_trace_line(const char *file, int line, const char *function);

// "bool RecvDataProc2::SendCmd(const char*, int)" -> "RecvDataProc2::SendCmd".
QByteArray qv_trace_function_name(const char *pretty_function);

// What TraceRate::take answers: whether a line may be written now and how many lines of its
// kind were refused since the last one that was.
struct TracePass {
    bool ok = false;
    uint64_t left_out = 0;
    explicit operator bool() const { return ok; }
};

// The pace of one kind of line: one a second. Any thread may ask.
class TraceRate {
public:
    static constexpr int64_t kIntervalMs = 1000;

    TracePass take();
    // The same with the caller's clock (milliseconds of a monotonic clock), for tests.
    TracePass take_at(int64_t now_ms);

private:
    std::atomic<int64_t> last_ms_{INT64_MIN};
    std::atomic<uint64_t> refused_{0};
};

// One rate for each place that asks: every expansion of the macros below passes a lambda of a
// type of its own.
template <typename Place> TraceRate &qv_trace_rate(Place)
{
    static TraceRate rate;
    return rate;
}

// The header of a limited line, with "(N like it left out)" after it when some were.
QDebug qv_trace_line_limited(const char *file, int line, const char *function, uint64_t left_out);

// printf of one line (the format ends it) through `rate`; a line that passes after refused ones
// is followed by "(N like it left out)".
void qv_printf_limited(TraceRate &rate, const char *format, ...)
    __attribute__((format(printf, 2, 3)));

#define QV_TRACE() qv_trace_line(__FILE__, __LINE__, Q_FUNC_INFO)

#define QV_TRACE_LIMITED()                                                                        \
    if (const TracePass qv_pass_ = qv_trace_rate([] {}).take(); !qv_pass_) {                     \
    } else                                                                                        \
        qv_trace_line_limited(__FILE__, __LINE__, Q_FUNC_INFO, qv_pass_.left_out)

#define QV_PRINTF_LIMITED(...) qv_printf_limited(qv_trace_rate([] {}), __VA_ARGS__)
