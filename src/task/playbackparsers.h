#pragma once
// The per-family parsers of playback: each walks a list of device packets once, in order, turns
// them into points, hands every completed frame to the sink with its progress, ends with one
// final frame at progress 100 (the points since the last frame end, possibly none) and returns
// the number of frames before that final one. Every packet is checked to be as long as the
// header fields read from it; points that would lie past the end of their packet are not read.
// The packet headers and points are read by the live receivers' decoders (raxopacket.h,
// vimopacket.h, boxpacket.h, lpdecoder.h); where playback treats a packet differently, the
// parser says so at the place where it does.

#include "playbacksink.h"

#include <cstddef>
#include <cstdint>

// Raxo-E and Raxo-S point packets (0x5A 0xA5, type 1, 13 or 14): u16 index at 7, u16 count at
// 16, frame flag at 20 (2 ends a frame), u64 stamp at 37, 10-byte points from 45. An index that
// is neither the previous one plus 1 nor 1 is reported; the packet is used all the same.
int parse_raxo_packets(const PacketView *packets, size_t n, PlaybackSink &sink);

// Vimo-E point packets (kind 0 or 1; 10 t + 36 bytes with t the u16 at 5; packed polar points
// from 36). A frame is emitted as soon as it holds more than 23040 points.
int parse_vimo_e_packets(const PacketView *packets, size_t n, PlaybackSink &sink);

// Algorithm-box "LHAB" point packets: count at byte 5, frame flag at 11, 13-byte points
// (float x, y, z, intensity byte) from 54.
int parse_box_packets(const PacketView *packets, size_t n, PlaybackSink &sink);

// Fenk-U packets, each decoded once from its start as an "LP" sub-package or "LH" reply. A
// frame is emitted when a plane completes whose type equals the highest type completed so far
// in the run (kept in *highest_type, reset to 0 at the start).
int parse_fenk_u_packets(const PacketView *packets, size_t n, PlaybackSink &sink,
                         uint8_t *highest_type);
