// The LAS reader: header, then every point the file holds.

#include "lasreader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    LasReader reader;
    if (!reader.open(data, size)) {
        if (reader.error() == LasError::None || reader.error_text().empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    if (reader.available_points() > reader.header().point_count)
        std::abort();
    LasPoint p;
    uint64_t n = 0;
    int64_t sum = 0;
    while (reader.read_point(n, &p)) {
        sum += int64_t(p.X) + p.intensity;
        ++n;
    }
    if (n != reader.available_points())
        std::abort();
    return sum == 42 ? 0 : 0;
}
