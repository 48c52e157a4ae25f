#include "playbackscans.h"

#include "lhframe.h"
#include "logmanager.h"

#include <cstring>

namespace {

constexpr uint8_t kDumpMagic[7] = {'L', 'H', 'L', 'O', 'G', 'H', 0x00};

} // namespace

namespace {

// Room for the packets of a file of `size` bytes: device packets are hundreds of bytes or more,
// so the list rarely outgrows this (its untouched end costs nothing), and a long list is not
// copied again and again as it grows.
void reserve_views(PacketViews &out, size_t size)
{
    out.reserve(out.size() + size / 256 + 16);
}

} // namespace

int scan_dump_records(const uint8_t *data, size_t size, PacketViews &out)
{
    reserve_views(out, size);
    int last_type = DUMP_NO_RECORD;
    size_t p = 0;
    while (p + DUMP_HEADER_SIZE < size) {
        if (data[p] != 'L') {
            // Resynchronise quickly: only an "L" can start a record.
            const void *next = std::memchr(data + p + 1, 'L', size - p - 1);
            p = next != nullptr ? size_t(static_cast<const uint8_t *>(next) - data) : size;
            continue;
        }
        const uint8_t h = data[p + 7];
        if (std::memcmp(data + p, kDumpMagic, sizeof(kDumpMagic)) != 0 || h < DUMP_HEADER_SIZE) {
            ++p;
            continue;
        }
        last_type = rd_u16(data + p + 16);
        const uint64_t length = rd_u16(data + p + 18);
        if (uint64_t(p) + h + length > size)
            break;
        out.push_back({data + p + h, size_t(length)});
        p += h + size_t(length);
    }
    return last_type;
}

void scan_raw_raxo(const uint8_t *data, size_t size, PacketViews &out)
{
    reserve_views(out, size);
    size_t p = 0;
    while (p + 6 < size) {
        switch (data[p + 3]) {
        case 1: {
            if (p + 18 > size)
                return;
            const size_t n = size_t(rd_u16(data + p + 16)) * 10 + 45;
            if (p + n > size)
                return;
            out.push_back({data + p, n});
            p += n + 1;
            break;
        }
        case 4:
            p += 52;
            break;
        case 8:
            if (p + 13 > size)
                return;
            p += rd_u16(data + p + 11) != 0 ? 391 : 139;
            break;
        default:
            p += 1;
            break;
        }
    }
}

void scan_raw_vimo_e(const uint8_t *data, size_t size, PacketViews &out)
{
    reserve_views(out, size);
    size_t p = 0;
    while (p + 12 < size) {
        const uint8_t b0 = data[p];
        const uint8_t b1 = data[p + 1];
        if (b0 == 0xFA && b1 == 0x88) {
            p += 521;
        } else if (b0 == 'L' && b1 == 'H') {
            p += size_t(rd_u16(data + p + 6)) + 13;
        } else if ((b0 == 0 || b0 == 1) && b1 == 0x24) {
            const size_t n = rd_u16(data + p + 5);
            const size_t length = 10 * n + 36;
            if (p + length > size)
                return;
            if (n == 128) {
                out.push_back({data + p, length});
                p += length + 1;
            } else {
                p += 2;
            }
        } else {
            p += 1;
        }
    }
}

void scan_raw_box(const uint8_t *data, size_t size, PacketViews &out)
{
    reserve_views(out, size);
    size_t p = 0;
    while (p + 12 < size) {
        if (data[p] == 'L' && data[p + 1] == 'H') {
            p += size_t(rd_u16(data + p + 6)) + 13;
            continue;
        }
        if (data[p] == 'L' && data[p + 1] == 'M') {
            p += 113;
            continue;
        }
        const uint16_t marker = rd_u16(data + p);
        if (marker == 30 || marker == 60 || marker == 90) {
            if (p + 54 > size)
                return;
            out.push_back({data + p, 54});
            p += 55;
            continue;
        }
        p += 1;
    }
}

void scan_udpp_records(const uint8_t *data, size_t size, PacketViews &out)
{
    reserve_views(out, size);
    constexpr size_t kPacket = 1316;
    uint64_t p = 0;
    while (p + 12 < size) {
        if (std::memcmp(data + p, "udpp", 4) != 0) {
            ++p;
            continue;
        }
        const uint64_t c = rd_u32(data + p + 4);
        if (c != kPacket) {
            p += 8 + c + 1;
            continue;
        }
        if (p + 8 + kPacket > size)
            return;
        out.push_back({data + p + 8, kPacket});
        p += 8 + kPacket + 1;
    }
}
