#pragma once
// The command channel of the Fenk-U sensor: the LhSumFrame types a command carries, the reply
// types, the set vocabulary and the parameter reply's layout. The Fenk-U page builds its
// commands from it, the receiver its transfers and clock, the window reads the replies with it.
// The point stream (LP packets) is lpdecoder.h's.

#include "lhframe.h"
#include "lhparamhead.h"

#include <cstddef>
#include <cstdint>

// LhSumFrame types of the Fenk-U commands; the device answers with bit 15 set.
enum FenkFrameType : uint16_t {
    FENK_GET_PARAM = 7, // payload one zero byte; reply 0x8007 carries FenkLidarParam
    FENK_SET = 8,       // payload a set body; reply 0x8008 carries a u32 result (0 = accepted)
    FENK_TRANSFER = 9,  // a file or firmware chunk (the receiver's transfer)
    FENK_TIME_SYNC = 10,// the receiver's clock, 24 bytes
};

// The set commands of the page (codes 6 and 8 are not used).
enum FenkSetCode : uint16_t {
    FENK_SET_SN = 0,          // serial-number text
    FENK_SET_ID = 1,          // u32 identifier
    FENK_SET_ADDRESS = 2,     // IP, mask, gateway (4 bytes each), u16 port
    FENK_SET_UPLOAD = 3,      // upload IP (4 bytes), u16 upload port
    FENK_SET_PWM = 4,         // u16 duty cycle below 100
    FENK_SET_DATA_TYPE = 5,   // u16 data-type mask
    FENK_SET_CONFIDENCE = 7,  // byte on, u16 threshold
    FENK_SET_DISTANCE = 9,    // byte on, u16 minimum, u16 maximum
};

// Data bytes a set body can carry (the device's buffer).
constexpr size_t FENK_SET_DATA_MAX = 1020;

// FenkLidarParam, the body of the parameter reply (reply byte 12 on): the bytes the page reads.
namespace fenk_param {
constexpr size_t kSize = 129;
using namespace lh_param_head;
constexpr size_t kDataType = 82;     // u16 mask
constexpr size_t kUploadFix = 84;    // byte
constexpr size_t kPwm = 85;          // u16
constexpr size_t kCalib = 87;        // byte
constexpr size_t kFilters = 90;      // bit 0 confidence filter, bit 1 distance filter
constexpr size_t kConfidenceThr = 91;// u16
constexpr size_t kBoardASerial = 93; // 32 bytes of text
constexpr size_t kMinDistance = 125; // u16
constexpr size_t kMaxDistance = 127; // u16
} // namespace fenk_param

// Reply types: the request's type with bit 15 set.
enum FenkReplyType : uint16_t {
    FENK_REPLY_PARAM = 0x8000 | FENK_GET_PARAM, // FenkLidarParam from byte 12
    FENK_REPLY_SET = 0x8000 | FENK_SET,         // u32 result at byte 12, 0 = accepted
};

// Where the fields of a reply frame lie.
constexpr size_t FENK_REPLY_RESULT_AT = LH_SUM_HEADER;                          // u32 set result
constexpr size_t FENK_REPLY_DATA_TYPE_AT = LH_SUM_HEADER + fenk_param::kDataType; // u16 mask
