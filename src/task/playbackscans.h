#pragma once
// The scans that cut a whole file into device packets for playback. Each takes the file's bytes
// as (pointer, length) and appends views into them; none reads a byte that is not there, and
// every length from the file is added in 64 bits.

#include "playbacksink.h"

#include <cstddef>
#include <cstdint>

constexpr int DUMP_NO_RECORD = -1;

// DumpRecords ("LHLOGH", 0x00, header length h, u64 ms, u16 type, u16 length L, payload at h):
// appends each record's payload. Bytes that do not start a record, and headers shorter than
// 20 bytes, are skipped one byte at a time, so a file that starts inside a record (an old
// recording that split a record across files) plays from its first whole record. A record
// whose payload runs past the end stops the scan. Returns the type of the last record header
// examined (the cut-off one, if any), or DUMP_NO_RECORD.
int scan_dump_records(const uint8_t *data, size_t size, PacketViews &out);

// Raw Raxo capture: point packets (byte 3 = 1) of (u16 at 16) * 10 + 45 bytes, each followed
// by one byte; IMU (byte 3 = 4) and type-8 blocks are stepped over.
void scan_raw_raxo(const uint8_t *data, size_t size, PacketViews &out);

// Raw Vimo-E capture: 128-point packets (kind 0 or 1, byte 1 = 0x24) of 1316 bytes, each
// followed by one byte; "LH" frames and 0xFA 0x88 blocks are stepped over.
void scan_raw_vimo_e(const uint8_t *data, size_t size, PacketViews &out);

// Raw algorithm-box capture: 54-byte packets marked by a u16 of 30, 60 or 90, each followed by
// one byte; "LH" frames and "LM" blocks are stepped over.
void scan_raw_box(const uint8_t *data, size_t size, PacketViews &out);

// "udpp" records ("udpp", u32 length c, c bytes): the 1316-byte ones are Vimo-E packets.
void scan_udpp_records(const uint8_t *data, size_t size, PacketViews &out);
