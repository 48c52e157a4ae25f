// The parser of Vimo-E point packets over a list of packets cut from the input.

#include "fuzzsupport.h"
#include "playbackparsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const PacketCutter packets(data, size);
    CheckingSink sink;
    const int frames = parse_vimo_e_packets(packets.views().data(), packets.views().size(), sink);
    if (frames < 0 || sink.finals() != 1)
        std::abort();
    return 0;
}
