#include "timehelpers.h"

#include <cstdio>
#include <ctime>

namespace {

TimeSecMs read_clock()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    TimeSecMs t;
    t.sec = static_cast<uint32_t>(ts.tv_sec);
    t.ms = static_cast<uint32_t>(ts.tv_nsec / 1000000);
    return t;
}

} // namespace

void time_now_timeval(TimeSecMs *a, TimeSecUs *b)
{
    const TimeSecMs t = read_clock();
    if (a != nullptr)
        *a = t;
    if (b != nullptr) {
        b->sec = t.sec;
        b->usec = t.ms * 1000;
    }
}

int64_t time_now_sec_ms(TimeSecMs *a, bool as_millis)
{
    const TimeSecMs t = read_clock();
    if (a != nullptr)
        *a = t;
    return as_millis ? int64_t(t.sec) * 1000 + t.ms : int64_t(t.sec);
}

std::string time_stamp_string()
{
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%04d%02d%02d_%02d%02d%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}
