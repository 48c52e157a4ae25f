#pragma once
// Wall-clock readings and time stamps for the receivers and the recorder.

#include <cstdint>
#include <string>

struct TimeSecMs {
    uint32_t sec = 0; // seconds since 1970
    uint32_t ms = 0;  // milliseconds of the current second
};

struct TimeSecUs {
    uint32_t sec = 0;
    uint32_t usec = 0; // the same milliseconds, as microseconds
};

// a = {seconds, milliseconds}, b = {seconds, milliseconds * 1000}; one clock reading for both.
void time_now_timeval(TimeSecMs *a, TimeSecUs *b);

// Fills a from one clock reading and returns the seconds, or with `as_millis` the millisecond
// mark seconds * 1000 + milliseconds.
int64_t time_now_sec_ms(TimeSecMs *a, bool as_millis);

// Local time now as "%04d%02d%02d_%02d%02d%02d".
std::string time_stamp_string();
