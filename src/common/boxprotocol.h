#pragma once
// The algorithm box's session channel: the one port its data, replies and zone exchange share,
// and the zone-image commands with their replies. Text commands and replies are LhCrcFrames
// (lhframe.h) with the words of lhtextcommand.h; the point and object datagrams are
// boxpacket.h's.

#include "lhtextcommand.h"

#include <cstdint>

// The box answers a session on this port only, whatever its configurator says; the window binds
// the same port.
constexpr int BOX_SESSION_PORT = 6002;

// Zone-image exchange: a write or read request and the box's reply to each.
constexpr uint16_t BOX_ZONE_WRITE = 0x5A53;
constexpr uint16_t BOX_ZONE_READ = 0x5A47;
constexpr uint16_t BOX_ZONE_READ_REPLY = 0xA5B8;
constexpr uint16_t BOX_ZONE_WRITE_REPLY = 0xA5AC;
