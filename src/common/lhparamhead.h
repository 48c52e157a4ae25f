#pragma once
// The head that the parameter records of the Fenk-U and Raxo sensors share (the record is the
// parameter reply from byte 12 on); each family's record goes on after the upload port.

#include <cstddef>

namespace lh_param_head {
constexpr size_t kModel = 2;         // 16 bytes of text
constexpr size_t kSerial = 18;       // 32 bytes of text (the main board's)
constexpr size_t kId = 50;           // u32
constexpr size_t kSoftVersion = 54;  // u32
constexpr size_t kHardVersion = 58;  // u32
constexpr size_t kIp = 62;           // 4 bytes, first octet first
constexpr size_t kMask = 66;
constexpr size_t kGateway = 70;
constexpr size_t kPort = 74;         // u16
constexpr size_t kUploadIp = 76;
constexpr size_t kUploadPort = 80;   // u16
} // namespace lh_param_head
