#pragma once
// Little-endian pieces of the Raxo sensor's set payloads, as the tests build the bytes they
// expect on the wire.

#include "lhframe.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace setbytes {

inline std::vector<uint8_t> u16(uint16_t v) { return {uint8_t(v), uint8_t(v >> 8)}; }
inline std::vector<uint8_t> u32(uint32_t v)
{
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}
inline std::vector<uint8_t> f32(float f)
{
    std::vector<uint8_t> out(4);
    wr_f32(out.data(), f);
    return out;
}
inline std::vector<uint8_t> cat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
// A set payload: code, data length, data.
inline std::vector<uint8_t> set_body(uint16_t code, const std::vector<uint8_t> &data)
{
    return cat({u16(code), u16(uint16_t(data.size())), data});
}

} // namespace setbytes
