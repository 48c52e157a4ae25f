#pragma once
// Statistics of a series of floats, as the analysis dialogs show them.

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

// x, except that 0 becomes +FLT_MAX (positive) or -FLT_MAX: an open limit.
float zero_to_flt_max(float x, bool positive);
