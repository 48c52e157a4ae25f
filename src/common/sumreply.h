#pragma once
// A command reply of the Fenk-U and Raxo sensors: an LhSumFrame of the request's type with bit 15
// set. What both families' reply readers take from it: the type, and the body as the length field
// gives it, never past what arrived (the sum byte after the body is no field: read as one, a body
// a byte short would pass for a whole record).

#include <QByteArray>

#include <cstddef>
#include <cstdint>

struct SumReply {
    const uint8_t *frame = nullptr; // the whole reply
    size_t size = 0;
    uint16_t type = 0;
    const uint8_t *body = nullptr;
    size_t length = 0;

    // True when the reply holds `needed` bytes from its start; a shorter one is traced (at the
    // trace's pace) as too short for `what`.
    bool holds(size_t needed, const char *what) const;
};

// False for a reply too short to hold its type (traced).
bool read_sum_reply(const QByteArray &reply, SumReply *out);
