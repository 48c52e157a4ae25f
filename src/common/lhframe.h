#pragma once
// The two "LH" command frames: LhCrcFrame (word CRC) and LhSumFrame (8-bit sum).
// All fields little-endian; the magic is 0x484C, the bytes "L" then "H".

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

constexpr uint16_t LH_MAGIC = 0x484C;
constexpr size_t LH_MAX_DATAGRAM = 2048;
constexpr size_t LH_CRC_HEADER = 8;
constexpr size_t LH_CRC_OVERHEAD = 12;     // header + CRC
constexpr size_t LH_SUM_HEADER = 12;
constexpr size_t LH_SUM_OVERHEAD = 13;     // header + sum byte
constexpr size_t LH_SUM_TYPE_AT = 6;       // u16 frame type of an LhSumFrame
constexpr size_t LH_SUM_LENGTH_AT = 8;     // u32 payload length N
constexpr size_t LH_CRC_MAX_PAYLOAD = 2036; // after padding to 4
constexpr size_t LH_SUM_MAX_PAYLOAD = 2035;

enum PROTOCOL_RET_EN {
    PROTOCOL_RET_OK = 0,
    PROTOCOL_RET_NOT_LH = 2,
    PROTOCOL_RET_TOO_SHORT = 3,
};

// What lh_parse_sum_frame hands back.
struct SumFrameData {
    uint32_t type = 0;         // frame type with bit 15 cleared
    uint16_t len = 0;          // low 16 bits of the payload length N
    std::vector<uint8_t> data; // the N payload bytes
};

// Complete LhCrcFrame: header, payload zero-padded to a multiple of 4, crc32_words trailer.
// Empty when the padded payload would exceed LH_CRC_MAX_PAYLOAD.
std::vector<uint8_t> lh_make_crc_frame(uint16_t cmd, uint16_t seq, const void *payload, size_t len);

// Complete LhSumFrame: header, payload, sum8 trailer. Empty when len > LH_SUM_MAX_PAYLOAD.
std::vector<uint8_t> lh_make_sum_frame(uint16_t reserved, uint16_t seq, uint16_t type,
                                       const void *payload, size_t len);

// Builds one frame and sends it with one sendto; returns the sendto result (or -1, also when
// the payload is refused as too long).
int lh_send_crc_frame(int sock, const char *ip, int port, uint16_t cmd, uint16_t seq, size_t len,
                      const void *payload);
int lh_send_sum_frame(int sock, const char *ip, int port, uint16_t reserved, uint16_t seq,
                      uint16_t type, size_t len, const void *payload);

// The receivers' test of a command the pages hand them to send: it goes out when byte 0 is "L"
// or byte 1 is "H" (it is refused only when both differ). A refused command is printed as
// "unknown cmd:" and its bytes on the console. False, silently, for no bytes at all.
bool lh_command_allowed(const char *cmd, size_t len);

// Checks and unpacks a received LhSumFrame of n bytes. A sum mismatch only prints
// "check err\r\n"; callers go by the result code.
int lh_parse_sum_frame(const uint8_t *buf, size_t n, SumFrameData *out);

// Sends an LhCrcFrame with a fresh random sequence and waits (select rounds of at most 1 s) for
// a datagram starting with "LH" that carries the same sequence. Its payload (its length field,
// at most what arrived after the 8-byte header and at most reply_cap) goes to `reply`, its
// length to *reply_len. False on time-out (whole seconds reach start + budget), after
// `max_datagrams` datagrams without a match, on a select error, or for a socket of -1.
bool lh_request_crc_frame(int sock, const char *ip, int port, size_t len, const void *payload,
                          uint16_t cmd, int *reply_len, uint8_t *reply, size_t reply_cap,
                          int budget_sec, int max_datagrams);

// Little-endian field access for the wire formats.
inline uint16_t rd_u16(const uint8_t *p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t rd_u32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint64_t rd_u64(const uint8_t *p) { return uint64_t(rd_u32(p)) | uint64_t(rd_u32(p + 4)) << 32; }
inline void wr_u16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void wr_u32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
inline void wr_u64(uint8_t *p, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
// IEEE single-precision floats, little-endian, as the devices send their coordinates.
inline float rd_f32(const uint8_t *p)
{
    const uint32_t bits = rd_u32(p);
    float f;
    std::memcpy(&f, &bits, sizeof(f));
    return f;
}
inline void wr_f32(uint8_t *p, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof(bits));
    wr_u32(p, bits);
}
