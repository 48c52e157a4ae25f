#include "checksum.h"

#include <array>
#include <cstring>

namespace {

// Four tables each (slicing by four): the dump, firmware and zone images run through these
// checksums a megabyte at a time, so a byte-at-a-time loop would be the slow part.
struct MsbTables {
    std::array<std::array<uint32_t, 256>, 4> t{};
    MsbTables()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i << 24;
            for (int k = 0; k < 8; ++k)
                c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : (c << 1);
            t[0][i] = c;
        }
        for (int k = 1; k < 4; ++k)
            for (uint32_t i = 0; i < 256; ++i)
                t[k][i] = (t[k - 1][i] << 8) ^ t[0][t[k - 1][i] >> 24];
    }
};

struct ReflectedTables {
    std::array<std::array<uint32_t, 256>, 4> t{};
    ReflectedTables()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
            t[0][i] = c;
        }
        for (int k = 1; k < 4; ++k)
            for (uint32_t i = 0; i < 256; ++i)
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
};

// One table set per process, built on first use (thread-safe static initialisation).
const MsbTables &msb_tables()
{
    static const MsbTables tables;
    return tables;
}

const ReflectedTables &reflected_tables()
{
    static const ReflectedTables tables;
    return tables;
}

inline uint32_t load_le32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

uint32_t crc32_words(const void *words, size_t count)
{
    const auto &t = msb_tables().t;
    const auto *p = static_cast<const uint8_t *>(words);
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i, p += 4) {
        const uint32_t v = crc ^ load_le32(p);
        crc = t[3][v >> 24] ^ t[2][(v >> 16) & 0xFF] ^ t[1][(v >> 8) & 0xFF] ^ t[0][v & 0xFF];
    }
    return crc;
}

uint32_t crc32_reflected(uint32_t crc, const void *bytes, size_t length)
{
    const auto &t = reflected_tables().t;
    const auto *p = static_cast<const uint8_t *>(bytes);
    while (length >= 4) {
        const uint32_t v = crc ^ load_le32(p);
        crc = t[3][v & 0xFF] ^ t[2][(v >> 8) & 0xFF] ^ t[1][(v >> 16) & 0xFF] ^ t[0][v >> 24];
        p += 4;
        length -= 4;
    }
    while (length--)
        crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}

int sum8(const void *bytes, size_t length)
{
    // Unsigned accumulation: wraps instead of overflowing on long ranges; the low 8 bits are
    // what callers keep, and they are the same either way.
    const auto *p = static_cast<const int8_t *>(bytes);
    uint32_t sum = 0;
    for (size_t i = 0; i < length; ++i)
        sum += static_cast<uint32_t>(static_cast<int32_t>(p[i]));
    return static_cast<int>(sum);
}
