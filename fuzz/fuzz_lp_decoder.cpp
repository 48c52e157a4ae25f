// The Fenk-U "LP" decoder: one plane buffer fed the input step by step, as the live receiver
// and the stream split feed it, with every result's promises checked.

#include "fuzzsupport.h"
#include "lpdecoder.h"

#include <climits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > size_t(INT_MAX))
        return 0;
    std::unique_ptr<LpPlaneBuffer> plane(new LpPlaneBuffer);
    char message[LP_MESSAGE_SIZE];
    size_t q = 0;
    while (q < size) {
        // Each step sees exactly the bytes left, in a block of their own size.
        const size_t n = size - q;
        std::unique_ptr<char[]> block(new char[n]);
        std::memcpy(block.get(), data + q, n);
        int consumed = -1;
        const int r = decode_lp_packet(int(n), block.get(), plane.get(), &consumed, message);
        if (consumed < 0 || size_t(consumed) > n)
            std::abort();
        if (r == LP_NO_MORE)
            break;
        if (consumed == 0 || !(r == LP_NEED_MORE || r == LP_SUM_FRAME || r == LP_ACCEPTED
                               || r == LP_REFUSED || (r >= 1 && r <= 5)))
            std::abort();
        if (r >= 1 && r <= 5) {
            const int count = plane->value_count < LP_MAX_VALUES ? plane->value_count : LP_MAX_VALUES;
            for (int j = 0; j < count; ++j)
                (void)lp_make_point(*plane, j);
            if (q % 2 == 0) // sometimes as playback does, sometimes as the split does
                plane->set_data_type(-1);
        }
        q += size_t(consumed);
    }
    return 0;
}
