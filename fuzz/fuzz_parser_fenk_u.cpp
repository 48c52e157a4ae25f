// The Fenk-U parser over a list of packets cut from the input.

#include "fuzzsupport.h"
#include "playbackparsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const PacketCutter packets(data, size);
    CheckingSink sink;
    uint8_t highest = 0;
    const int frames =
        parse_fenk_u_packets(packets.views().data(), packets.views().size(), sink, &highest);
    if (frames < 0 || sink.finals() != 1 || highest > 5)
        std::abort();
    return 0;
}
