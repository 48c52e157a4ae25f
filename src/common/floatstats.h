#pragma once
// Statistics of a series of floats, as the analysis dialogs show them.

#include <cstddef>
#include <cstdint>
#include <vector>

struct FloatStats {
    float min;
    float max;
    float mean;
    float stddev; // population standard deviation
    int32_t count;
};

// Minimum, maximum, mean and population deviation (sums in double). The scan starts at
// min 2147483648 and max -2147483648, so an empty series gives those, NaN mean and deviation.
FloatStats float_stats(std::vector<float> series);

// The same over `count` floats in place, for callers that keep their series buffers from one
// frame to the next.
FloatStats float_stats(const float *series, size_t count);

// x, except that 0 becomes +FLT_MAX (positive) or -FLT_MAX: an open limit.
float zero_to_flt_max(float x, bool positive);
