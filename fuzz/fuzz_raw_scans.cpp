// Every raw scan (Raxo, Vimo-E, box, "udpp", Fenk-U "LP" stream) over the same bytes.

#include "fuzzsupport.h"
#include "lpdecoder.h"
#include "playbackscans.h"

namespace {

void check_inside(const PacketViews &packets, const uint8_t *data, size_t size)
{
    for (const PacketView &v : packets)
        if (v.data < data || v.data + v.size > data + size)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using Scan = void (*)(const uint8_t *, size_t, PacketViews &);
    const Scan scans[] = {scan_raw_raxo, scan_raw_vimo_e, scan_raw_box, scan_udpp_records};
    for (Scan scan : scans) {
        PacketViews packets;
        scan(data, size, packets);
        check_inside(packets, data, size);
    }
    PacketViews packets;
    CheckingSink sink;
    split_lp_stream(data, size, packets, sink);
    check_inside(packets, data, size);
    return 0;
}
