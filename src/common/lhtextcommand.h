#pragma once
// Text commands in LhCrcFrames, as the Vimo-E sensor and the algorithm box both take them and the
// free-text command window sends them: the frame's command word says what kind of text it
// carries, and the device answers with the bitwise complement of that word and a text of its
// own. The Vimo-E's parameter query and its reply are vimoprotocol.h's; the box's zone exchange
// is boxprotocol.h's.

#include <cstdint>

// Command word of an LhCrcFrame that carries an ASCII text command.
enum PackType : uint16_t {
    C_PACK = 0x0043, // actions and queries ("C", 0x00 on the wire)
    S_PACK = 0x0053, // settings ("S", 0x00)
};

// Command words of the text replies: the answer to a setting (0xFFAC) and to an action or a
// query (0xFFBC).
constexpr uint16_t LH_TEXT_REPLY = uint16_t(~S_PACK);
constexpr uint16_t LH_TEXT_REPLY2 = uint16_t(~C_PACK);
