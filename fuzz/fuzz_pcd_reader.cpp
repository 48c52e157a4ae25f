// The ASCII PCD reader.

#include "pcdreader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    PcdReader reader;
    PointFrame points;
    const bool ok = reader.read(reinterpret_cast<const char *>(data), size, points);
    if (!ok && !points.empty())
        std::abort();
    return 0;
}
