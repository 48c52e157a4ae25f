// The dump scan over any bytes, then the parser its records' type picks.

#include "fuzzsupport.h"
#include "playbackparsers.h"
#include "playbackscans.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    PacketViews packets;
    const int type = scan_dump_records(data, size, packets);
    for (const PacketView &v : packets)
        if (v.data < data || v.data + v.size > data + size)
            std::abort();
    CheckingSink sink;
    uint8_t highest = 0;
    switch (type) {
    case 0: parse_fenk_u_packets(packets.data(), packets.size(), sink, &highest); break;
    case 1:
    case 2: parse_raxo_packets(packets.data(), packets.size(), sink); break;
    case 3: parse_vimo_e_packets(packets.data(), packets.size(), sink); break;
    case 4: parse_box_packets(packets.data(), packets.size(), sink); break;
    default: return 0;
    }
    if (sink.finals() != 1)
        std::abort();
    return 0;
}
