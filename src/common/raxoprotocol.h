#pragma once
// The command channel of the Raxo-E and Raxo-S sensors: the LhSumFrame types a command carries,
// the reply types, the set vocabulary and the reply bodies' layouts. The Raxo page builds its
// commands from it, the receiver its transfers and queries, the window reads the replies with
// it. The data channel (point, IMU and zone-monitor packets) is raxopacket.h's.

#include "lhframe.h"
#include "lhparamhead.h"

#include <cstddef>
#include <cstdint>

// LhSumFrame types of the commands; the sensor answers with bit 15 set.
enum RaxoFrameType : uint16_t {
    RAXO_CALIBRATE = 0,      // 1 byte: 0 IMU zero position, 1 compare frame
    RAXO_GET_PARAM = 1,      // 1 zero byte; reply 0x8001 carries RaxoLidarParam
    RAXO_SET = 2,            // a set body; reply 0x8002 carries a u32 result (0 = accepted)
    RAXO_TRANSFER = 3,       // a file or firmware chunk (the receiver's transfer)
    RAXO_RUN = 5,            // 1 byte: 1 start, 0 stop
    RAXO_GET_ALG_PARAM = 6,  // no payload; reply 0x8006 carries RaxoAlgParam
    RAXO_NET_ERROR = 8,      // no payload; reply 0x8008 carries two u32 counters
};

// The set vocabulary (codes 11 and 15 are not used; 12 carries two different settings).
enum RaxoSetCode : uint16_t {
    RAXO_SET_SN = 0,
    RAXO_SET_ID = 1,
    RAXO_SET_ADDRESS = 2,
    RAXO_SET_UPLOAD_TARGET = 3,
    RAXO_SET_IMU_PARAM = 4,
    RAXO_SET_UPLOAD_KIND = 5,
    RAXO_SET_DISTANCE_FILTER = 6,
    RAXO_SET_INTENSITY_FILTER = 7,
    RAXO_SET_AREA = 8,
    RAXO_SET_OUTPUT = 9,
    RAXO_SET_ALG = 10,
    RAXO_SET_HEIGHT = 12,
    RAXO_SET_MODEL_BIND = 12,
    RAXO_SET_FILTER_ALG = 13,
    RAXO_SET_TIME_AREA_FILTER = 14,
    RAXO_SET_CLOSE_RANGE = 16,
    RAXO_SET_IMU_TYPE = 17,
    RAXO_SET_IMU_ACC = 18,
    RAXO_SET_IMU_GYRO = 19,
    RAXO_SET_IMU_FILTER = 20,
    RAXO_SET_IMU_SAMPLE_RATE = 21,
};

// Data bytes a set body can carry (the sensor's buffer).
constexpr size_t RAXO_SET_DATA_MAX = 1020;

// RaxoLidarParam, the body of the parameter reply (reply byte 12 on): the bytes the page reads.
namespace raxo_param {
constexpr size_t kSize = 608;
using namespace lh_param_head;
constexpr size_t kUploadFlags = 82;   // u16: bits 0-2 point-data row, 3 status, 4 alarm
constexpr size_t kAccBias = 84;       // 3 floats
constexpr size_t kGyroBias = 96;      // 3 floats
constexpr size_t kImuParams = 108;    // 9 floats
constexpr size_t kFilters = 144;      // bit 0 distance, bit 1 intensity
constexpr size_t kNearEnergy = 146;   // byte
constexpr size_t kMinEnergy = 147;    // byte
constexpr size_t kMinDistance = 148;  // u16, mm
constexpr size_t kMaxDistance = 150;  // u16, mm
constexpr size_t kArea = 152;         // 16 bytes, one per area row
constexpr size_t kOutputs = 168;      // bits 0-3 default on, 4-7 PNP
constexpr size_t kCircles = 169;      // u16
constexpr size_t kPoints = 171;       // u16
constexpr size_t kTimeArea = 179;     // u16
constexpr size_t kCloseRange = 181;   // u16 switch, then four u16 thresholds
constexpr size_t kClassMasks = 191;   // 4 bytes, outputs 1 to 4
constexpr size_t kImuType = 195;      // byte
constexpr size_t kImuRanges = 196;    // low nibble acc, high nibble gyro
constexpr size_t kImuFilters = 197;   // low nibble acc, high nibble gyro
constexpr size_t kImuSampleRate = 198;
} // namespace raxo_param

// RaxoAlgParam, the 128-byte algorithm block the page keeps and sends back whole (code 10).
namespace raxo_alg {
constexpr size_t kSize = 128;
constexpr size_t kEnable = 0;
constexpr size_t kPoints = 1;    // 1 to 100
constexpr size_t kCircles = 2;   // 1 to 10
constexpr size_t kObjMin = 3;    // 1 to 100
constexpr size_t kFrames = 4;    // 1 to 10
constexpr size_t kOffset = 5;    // float, cm, 10 to 50; unaligned
} // namespace raxo_alg

// Reply types: the request's type with bit 15 set.
enum RaxoReplyType : uint16_t {
    RAXO_REPLY_CALIBRATED = 0x8000,            // the IMU zero position was taken
    RAXO_REPLY_PARAM = 0x8000 | RAXO_GET_PARAM, // RaxoLidarParam from byte 12
    RAXO_REPLY_SET = 0x8000 | RAXO_SET,         // u32 result at byte 12, 0 = accepted
    RAXO_REPLY_RUN = 0x8000 | RAXO_RUN,         // the run state at byte 12
    RAXO_REPLY_ALG_PARAM = 0x8000 | RAXO_GET_ALG_PARAM, // RaxoAlgParam from byte 12
    RAXO_REPLY_NET_ERROR = 0x8000 | RAXO_NET_ERROR,     // u32 time stamp at 12, u32 count at 16
};

// Where the fields of a reply frame lie.
constexpr size_t RAXO_REPLY_RESULT_AT = LH_SUM_HEADER;      // u32 set result, or the time stamp
constexpr size_t RAXO_REPLY_COUNTER_AT = LH_SUM_HEADER + 4; // u32 error count
