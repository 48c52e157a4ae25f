// The capture reader over pcap or pcapng bytes, and the link-layer test over single packets.

#include "capturereader.h"
#include "fuzzsupport.h"
#include "playbackparsers.h"

#include <pcap/pcap.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CaptureReader reader;
    if (reader.read_memory(data, size)) {
        const PacketViews payloads = reader.payloads();
        CheckingSink sink;
        parse_raxo_packets(payloads.data(), payloads.size(), sink);
    }
    // The same bytes as one captured packet of every link type the reader knows.
    if (size > 0) {
        std::unique_ptr<uint8_t[]> packet(new uint8_t[size]);
        std::memcpy(packet.get(), data, size);
        const int links[] = {DLT_EN10MB, DLT_LINUX_SLL, DLT_LINUX_SLL2, DLT_RAW, DLT_NULL,
                             DLT_LOOP, 228, 9999};
        for (int link : links) {
            const long offset = CaptureReader::ipv4_payload_offset(link, packet.get(), size);
            if (offset < -1)
                std::abort();
        }
    }
    return 0;
}
