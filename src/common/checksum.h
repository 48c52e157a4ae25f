#pragma once
// The three checksums of the device protocols.

#include <cstddef>
#include <cstdint>

// CRC-32, polynomial 0x04C11DB7, start 0xFFFFFFFF, MSB first, no reflection, no final XOR,
// over `count` little-endian 32-bit words (CRC-32/MPEG-2 of the byte-reversed words).
// Protects LhCrcFrame, firmware images, the 112-byte heartbeat and the zone image.
uint32_t crc32_words(const void *words, size_t count);

// Table CRC-32 with the reflected polynomial 0xEDB88320, continuing from `crc`. Callers start
// with 0 and apply no final XOR, so this is not zlib's CRC. Protects the 104-byte heartbeat,
// the Fenk-U sub-packages and transferred files.
uint32_t crc32_reflected(uint32_t crc, const void *bytes, size_t length);

// Sum of the bytes taken as signed 8-bit values; only the low 8 bits are ever stored.
int sum8(const void *bytes, size_t length);
