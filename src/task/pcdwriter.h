#pragma once
// Writes a frame as an ASCII PCD 0.7 file: eleven header lines, then "x y z intensity" per
// point, every line ended by a single line feed. Coordinates are written as "%g" writes them
// in the C locale (six significant digits), whatever the user's locale; intensity as the full
// 16-bit decimal value, which the header declares as a 2-byte unsigned field.

#include "userpointdata.h"

#include <string>

class PcdWriter {
public:
    bool write(const char *path, const PointFrame &frame);
    const std::string &error() const { return error_; }

    // The eleven header lines for `points` points.
    static std::string header(size_t points);
    // Appends one data line.
    static void append_point(std::string &out, const UserPointData &p);

private:
    std::string error_;
};
