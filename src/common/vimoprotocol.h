#pragma once
// The command channel of the Vimo-E sensor: LhCrcFrame text commands ("C"/"S" packs) answered
// by text replies, and the parameter query answered by the 152-byte parameter record. The page,
// the receiver and the window's start query take the codes from here. The point stream is
// vimopacket.h's.

#include "lhframe.h"

#include <cstddef>
#include <cstdint>

// The parameter query: QUERY_PACK with this text; the reply (LH_PARAM_REPLY) carries the
// parameter record.
constexpr char VIMO_PARAM_QUERY[] = "xxxxxx";
constexpr size_t VIMO_PARAM_QUERY_SIZE = sizeof VIMO_PARAM_QUERY - 1;

// Size of the parameter record (VimoLidarParam).
constexpr size_t VIMO_PARAM_SIZE = 152;
