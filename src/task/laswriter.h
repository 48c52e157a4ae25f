#pragma once
// Writes a frame as a LAS 1.2 file, point format 3 (34-byte records), scale 0.000001 and
// offset 0 on every axis, no variable-length records; header fields not named below are zero.

#include "userpointdata.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

enum class LasWriteError {
    None,
    Empty,      // a LAS header needs at least one point for its bounding box
    OutOfRange, // a coordinate does not fit the 32-bit scaled integers (or is not a number)
    Open,       // the file cannot be created
    Write,      // writing failed (disk full, ...)
};

class LasWriter {
public:
    static constexpr double kScale = 0.000001;
    static constexpr size_t kHeaderSize = 227;
    static constexpr size_t kRecordLength = 34;

    // Checks every coordinate before the file is touched, so a refused frame leaves no file.
    bool write(const char *path, const PointFrame &frame);
    LasWriteError error() const { return error_; }
    const char *error_text() const;

    // v / scale rounded half away from zero; false when the result does not fit in 32 bits.
    static bool quantize(double v, int32_t *out)
    {
        // Half away from zero without a branch on the sign (random signs mispredict).
        const double q = v / kScale;
        const double r = q + std::copysign(0.5, q);
        if (!(r > -2147483649.0) | !(r < 2147483648.0)) // also refuses NaN
            return false;
        *out = int32_t(r);
        return true;
    }

    // The 227-byte header for these points (bounding box from their x, y, z).
    static void make_header(const PointFrame &frame, uint8_t *out);

    // One 34-byte point record; false when a coordinate does not fit.
    static bool make_record(const UserPointData &p, uint8_t *out);

private:
    bool fail(LasWriteError e)
    {
        error_ = e;
        return false;
    }
    LasWriteError error_ = LasWriteError::None;
};
