#include "floatstats.h"

#include <cfloat>
#include <cmath>

FloatStats float_stats(std::vector<float> series)
{
    double sum = 0.0;
    double lo = 2147483648.0;
    double hi = -2147483648.0;
    for (float v : series) {
        sum += v;
        if (double(v) < lo)
            lo = v;
        if (double(v) > hi)
            hi = v;
    }
    const double n = double(series.size());
    const double mean = sum / n;
    double sq = 0.0;
    for (float v : series)
        sq += (double(v) - mean) * (double(v) - mean);
    FloatStats s;
    s.min = float(lo);
    s.max = float(hi);
    s.mean = float(mean);
    s.stddev = float(std::sqrt(sq / n));
    s.count = int32_t(series.size());
    return s;
}

float zero_to_flt_max(float x, bool positive)
{
    if (x == 0.0f)
        return positive ? FLT_MAX : -FLT_MAX;
    return x;
}
