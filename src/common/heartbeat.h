#pragma once
// The three heartbeat records the devices send to 225.225.225.225:6789: two sensor layouts
// (104 bytes with a reflected CRC, 112 bytes with the word CRC) and the algorithm box's
// 91-byte record without a checksum. The structs are the wire layouts byte for byte
// (little-endian host); take a record only through heartbeat_decode, which checks the length
// and, for the sensor records, the CRC before anything is read.
//
// Packed fields may sit at odd addresses: copy them into locals before binding references.

#include <cstddef>
#include <cstdint>
#include <string>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the heartbeat records are read in place and need a little-endian host"
#endif

constexpr char HEARTBEAT_GROUP[] = "225.225.225.225";
constexpr int HEARTBEAT_PORT = 6789;
constexpr size_t HEARTBEAT104_SIZE = 104;
constexpr size_t HEARTBEAT112_SIZE = 112;
constexpr size_t BOX_HEARTBEAT_SIZE = 91;

#pragma pack(push, 1)
struct Heartbeat104 {
    uint8_t reserved0[4];
    uint32_t seconds;     // device time, seconds since 1970
    uint32_t nanoseconds;
    char sn[20];
    char model[16];       // such as "LDS-Raxo-E"
    uint32_t version;     // see heartbeat_version_text
    uint32_t id;
    uint8_t ip[4];        // byte 0 is the first number
    uint8_t mask[4];
    uint8_t gateway[4];
    uint16_t listen_port; // where the device takes commands
    uint8_t upload_ip[4]; // where it sends its data
    uint16_t upload_port;
    uint8_t reserved76[24];
    uint32_t crc;         // crc32_reflected (start 0, no final XOR) of bytes 0..99
};

struct Heartbeat112 {
    uint8_t reserved0[8];
    uint32_t seconds;
    uint32_t nanoseconds;
    char sn[20];
    char model[16];
    uint32_t version;
    uint32_t id;
    uint8_t ip[4];
    uint8_t mask[4];
    uint8_t gateway[4];
    uint8_t upload_ip[4];
    uint16_t upload_port;
    uint16_t listen_port;
    uint8_t reserved80[2];
    uint16_t rpm2;        // shown after the "/" of the RPM column, divided by 10
    uint16_t rpm1;        // shown before the "/"
    uint8_t reserved86[2];
    uint16_t motor_temp;  // tenths of a degree
    uint8_t reserved90[18];
    uint32_t crc;         // crc32_words of the first 27 words
};

struct BoxHeartbeat {
    uint8_t reserved0[8];
    char box_ip[16];      // dotted texts, zero padded
    char box_mask[16];
    char box_gateway[16];
    uint8_t reserved56[2];
    char lidar_ip[16];    // the sensor the box serves
    uint16_t lidar_port;
    uint8_t status;       // 0 to 3
    uint16_t flags;       // shown as 12 binary digits
    uint8_t reserved79[12];
};
#pragma pack(pop)

static_assert(sizeof(Heartbeat104) == HEARTBEAT104_SIZE, "Heartbeat104 is 104 bytes");
static_assert(sizeof(Heartbeat112) == HEARTBEAT112_SIZE, "Heartbeat112 is 112 bytes");
static_assert(sizeof(BoxHeartbeat) == BOX_HEARTBEAT_SIZE, "BoxHeartbeat is 91 bytes");

enum class HeartbeatKind {
    Other,     // any other length: ignored
    Sensor104, // valid 104-byte sensor heartbeat
    Sensor112, // valid 112-byte sensor heartbeat
    Box,       // 91-byte box heartbeat (no checksum to check)
    BadCrc,    // sensor length, wrong CRC: dropped
};

// Classifies one whole datagram of `length` bytes. Reads nothing beyond `length`.
HeartbeatKind heartbeat_classify(const uint8_t *data, size_t length);

// The checked record, copied out of the datagram. False (and `out` untouched) unless the
// datagram is exactly that record with a matching CRC.
bool heartbeat104_decode(const uint8_t *data, size_t length, Heartbeat104 *out);
bool heartbeat112_decode(const uint8_t *data, size_t length, Heartbeat112 *out);
bool box_heartbeat_decode(const uint8_t *data, size_t length, BoxHeartbeat *out);

// Checksums as the devices compute them over a record's leading bytes.
uint32_t heartbeat104_crc(const uint8_t *record);  // bytes 0..99
uint32_t heartbeat112_crc(const uint8_t *record);  // words 0..26

// "%1.%2.%3.%4" of a four-byte address field.
std::string heartbeat_address_text(const uint8_t address[4]);
// "%1 %2 %3": v >> 26, (v >> 20) & 63, v & 0xFFFFF.
std::string heartbeat_version_text(uint32_t version);
