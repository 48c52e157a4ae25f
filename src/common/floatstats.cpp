#include "floatstats.h"

#include <cfloat>
#include <cmath>

FloatStats float_stats(std::vector<float> series)
{
    return float_stats(series.data(), series.size());
}

FloatStats float_stats(const float *series, size_t count)
{
    double sum = 0.0;
    double lo = 2147483648.0;
    double hi = -2147483648.0;
    for (size_t i = 0; i < count; ++i) {
        const float v = series[i];
        sum += v;
        if (double(v) < lo)
            lo = v;
        if (double(v) > hi)
            hi = v;
    }
    const double n = double(count);
    const double mean = sum / n;
    double sq = 0.0;
    for (size_t i = 0; i < count; ++i)
        sq += (double(series[i]) - mean) * (double(series[i]) - mean);
    FloatStats s;
    s.min = float(lo);
    s.max = float(hi);
    s.mean = float(mean);
    s.stddev = float(std::sqrt(sq / n));
    s.count = int32_t(count);
    return s;
}

float zero_to_flt_max(float x, bool positive)
{
    if (x == 0.0f)
        return positive ? FLT_MAX : -FLT_MAX;
    return x;
}
