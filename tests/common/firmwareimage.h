#pragma once
// Firmware images built in the test: header, payload of pseudo-random bytes, CRC.

#include "checksum.h"
#include "firmware.h"
#include "lhframe.h"

#include <cstdint>
#include <vector>

inline std::vector<uint8_t> make_firmware_image(uint32_t payload_size, uint32_t seed = 1)
{
    std::vector<uint8_t> img(FW_HEADER_SIZE + payload_size, 0);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = FW_HEADER_SIZE; i < img.size(); ++i) {
        x = x * 1103515245u + 12345u;
        img[i] = uint8_t(x >> 16);
    }
    wr_u32(&img[0], FW_MAGIC);
    wr_u32(&img[4], payload_size);
    wr_u32(&img[8], 0x11223344); // not used by the program
    wr_u32(&img[12], crc32_words(img.data() + FW_HEADER_SIZE, payload_size / 4));
    img[16] = 0x77;              // nor is the rest of the header
    return img;
}
