// The classifier of the replies on the box's command channel, over one datagram.

#include "algorithmboxproc.h"

#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 65535)
        return 0;
    // A block of exactly the datagram's size, so that a read past it is caught.
    std::unique_ptr<uint8_t[]> datagram(new uint8_t[size > 0 ? size : 1]);
    if (size > 0)
        std::memcpy(datagram.get(), data, size);
    char text[AlgorithmBoxProc::kTextBufferSize];
    const int type = AlgorithmBoxProc::parseBoxMsg(int(size), datagram.get(), text);
    if (type < -1 || type == 0 || type > 11 || strnlen(text, sizeof(text)) == sizeof(text))
        std::abort();
    return 0;
}
