#include "dumpscan.h"

#include <cstring>

namespace {

// DumpRecord header: "LHLOGH", 0x00, header length, u64 ms, u16 type, u16 payload length.
constexpr size_t kDumpHeader = 20;
const char kDumpMagic[7] = {'L', 'H', 'L', 'O', 'G', 'H', '\0'};
constexpr uint8_t kPointPacketType = 14;
constexpr uint8_t kImuPacketType = 4;

} // namespace

DumpPackets scan_dump(const uint8_t *data, size_t len)
{
    DumpPackets out;
    if (len <= kDumpHeader)
        return out;
    size_t p = 0;
    while (p < len - kDumpHeader) {
        if (std::memcmp(data + p, kDumpMagic, sizeof kDumpMagic) == 0 && data[p + 7] == kDumpHeader) {
            const size_t n = size_t(data[p + 18]) | size_t(data[p + 19]) << 8;
            if (p + kDumpHeader + n > len)
                break;
            const uint8_t *payload = data + p + kDumpHeader;
            if (n >= 4 && payload[3] == kPointPacketType)
                out.points.emplace_back(payload, payload + n);
            else if (n >= 4 && payload[3] == kImuPacketType)
                out.imu.emplace_back(payload, payload + n);
            p += kDumpHeader + n;
        } else {
            ++p;
        }
    }
    return out;
}
