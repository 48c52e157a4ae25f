#include "heartbeat.h"

#include "checksum.h"
#include "lhframe.h"

#include <cstddef>
#include <cstring>

// The layouts are the wire format; keep every field where the devices put it.
static_assert(offsetof(Heartbeat104, seconds) == 4, "");
static_assert(offsetof(Heartbeat104, nanoseconds) == 8, "");
static_assert(offsetof(Heartbeat104, sn) == 12, "");
static_assert(offsetof(Heartbeat104, model) == 32, "");
static_assert(offsetof(Heartbeat104, version) == 48, "");
static_assert(offsetof(Heartbeat104, id) == 52, "");
static_assert(offsetof(Heartbeat104, ip) == 56, "");
static_assert(offsetof(Heartbeat104, mask) == 60, "");
static_assert(offsetof(Heartbeat104, gateway) == 64, "");
static_assert(offsetof(Heartbeat104, listen_port) == 68, "");
static_assert(offsetof(Heartbeat104, upload_ip) == 70, "");
static_assert(offsetof(Heartbeat104, upload_port) == 74, "");
static_assert(offsetof(Heartbeat104, crc) == 100, "");

static_assert(offsetof(Heartbeat112, seconds) == 8, "");
static_assert(offsetof(Heartbeat112, nanoseconds) == 12, "");
static_assert(offsetof(Heartbeat112, sn) == 16, "");
static_assert(offsetof(Heartbeat112, model) == 36, "");
static_assert(offsetof(Heartbeat112, version) == 52, "");
static_assert(offsetof(Heartbeat112, id) == 56, "");
static_assert(offsetof(Heartbeat112, ip) == 60, "");
static_assert(offsetof(Heartbeat112, mask) == 64, "");
static_assert(offsetof(Heartbeat112, gateway) == 68, "");
static_assert(offsetof(Heartbeat112, upload_ip) == 72, "");
static_assert(offsetof(Heartbeat112, upload_port) == 76, "");
static_assert(offsetof(Heartbeat112, listen_port) == 78, "");
static_assert(offsetof(Heartbeat112, rpm2) == 82, "");
static_assert(offsetof(Heartbeat112, rpm1) == 84, "");
static_assert(offsetof(Heartbeat112, motor_temp) == 88, "");
static_assert(offsetof(Heartbeat112, crc) == 108, "");

static_assert(offsetof(BoxHeartbeat, box_ip) == 8, "");
static_assert(offsetof(BoxHeartbeat, box_mask) == 24, "");
static_assert(offsetof(BoxHeartbeat, box_gateway) == 40, "");
static_assert(offsetof(BoxHeartbeat, lidar_ip) == 58, "");
static_assert(offsetof(BoxHeartbeat, lidar_port) == 74, "");
static_assert(offsetof(BoxHeartbeat, status) == 76, "");
static_assert(offsetof(BoxHeartbeat, flags) == 77, "");

uint32_t heartbeat104_crc(const uint8_t *record)
{
    return crc32_reflected(0, record, 100);
}

uint32_t heartbeat112_crc(const uint8_t *record)
{
    return crc32_words(record, 27);
}

HeartbeatKind heartbeat_classify(const uint8_t *data, size_t length)
{
    if (data == nullptr)
        return HeartbeatKind::Other;
    switch (length) {
    case HEARTBEAT104_SIZE:
        return heartbeat104_crc(data) == rd_u32(data + 100) ? HeartbeatKind::Sensor104
                                                            : HeartbeatKind::BadCrc;
    case HEARTBEAT112_SIZE:
        return heartbeat112_crc(data) == rd_u32(data + 108) ? HeartbeatKind::Sensor112
                                                            : HeartbeatKind::BadCrc;
    case BOX_HEARTBEAT_SIZE:
        return HeartbeatKind::Box;
    default:
        return HeartbeatKind::Other;
    }
}

bool heartbeat104_decode(const uint8_t *data, size_t length, Heartbeat104 *out)
{
    if (heartbeat_classify(data, length) != HeartbeatKind::Sensor104)
        return false;
    if (out != nullptr)
        std::memcpy(out, data, sizeof(*out));
    return true;
}

bool heartbeat112_decode(const uint8_t *data, size_t length, Heartbeat112 *out)
{
    if (heartbeat_classify(data, length) != HeartbeatKind::Sensor112)
        return false;
    if (out != nullptr)
        std::memcpy(out, data, sizeof(*out));
    return true;
}

bool box_heartbeat_decode(const uint8_t *data, size_t length, BoxHeartbeat *out)
{
    if (heartbeat_classify(data, length) != HeartbeatKind::Box)
        return false;
    if (out != nullptr)
        std::memcpy(out, data, sizeof(*out));
    return true;
}

std::string heartbeat_address_text(const uint8_t address[4])
{
    return std::to_string(address[0]) + "." + std::to_string(address[1]) + "."
           + std::to_string(address[2]) + "." + std::to_string(address[3]);
}

std::string heartbeat_version_text(uint32_t version)
{
    return std::to_string(version >> 26) + " " + std::to_string((version >> 20) & 63) + " "
           + std::to_string(version & 0xFFFFF);
}
