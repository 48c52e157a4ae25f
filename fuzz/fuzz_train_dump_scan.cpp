// The training dialog's dump scan over any bytes: every packet it hands on lies in the file,
// has the type its list says, and came from a record whose header length is 20.

#include "dumpscan.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const DumpPackets packets = scan_dump(data, size);
    size_t bytes = 0;
    for (const auto *list : {&packets.points, &packets.imu})
        for (const std::vector<uint8_t> &p : *list) {
            if (p.size() < 4 || p[3] != (list == &packets.points ? 14 : 4))
                std::abort();
            bytes += p.size() + 20;
        }
    if (bytes > size)
        std::abort();
    return 0;
}
