#pragma once
// The command channel of the Vimo-E sensor: LhCrcFrame text commands ("C"/"S" packs,
// lhtextcommand.h) answered by text replies, and the parameter query answered by the 152-byte
// parameter record. The page, the receiver and the window's start query take the codes from
// here. The point stream is vimopacket.h's.

#include "lhframe.h"
#include "lhtextcommand.h"

#include <cstddef>
#include <cstdint>

// The parameter query: an LhCrcFrame with QUERY_PACK ("S", "G") and this text; the reply, with
// the complement LH_PARAM_REPLY (0xB8AC), carries the parameter record.
constexpr uint16_t QUERY_PACK = 0x4753;
constexpr uint16_t LH_PARAM_REPLY = uint16_t(~QUERY_PACK);
constexpr char VIMO_PARAM_QUERY[] = "xxxxxx";
constexpr size_t VIMO_PARAM_QUERY_SIZE = sizeof VIMO_PARAM_QUERY - 1;

// Size of the parameter record (VimoLidarParam).
constexpr size_t VIMO_PARAM_SIZE = 152;
