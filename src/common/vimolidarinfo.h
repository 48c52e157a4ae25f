#pragma once
// What the main window shows of a Vimo-E sensor's 152-byte parameter reply, decoded for the
// Vimo-E configuration page.

#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t VIMO_PARAM_SIZE = 152;

struct VimoLidarInfo {
    std::string sn;
    std::string model;
    std::string ip;
    std::string mask;
    std::string gateway;
    uint16_t port = 0;         // the sensor's command port
    std::string upload_ip;
    uint16_t upload_port = 0;
    uint8_t upload_fix = 0;
    uint8_t ptp = 0;           // 0 or 1
};

// Decodes the reply payload; false (and `out` untouched) unless it is exactly 152 bytes.
bool vimo_param_decode(const uint8_t *data, size_t length, VimoLidarInfo *out);
