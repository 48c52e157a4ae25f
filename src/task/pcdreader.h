#pragma once
// Reads ASCII PCD files: of the header only FIELDS (the column names, in order) and POINTS (the
// point count) matter, up to the line that contains "DATA" (which must say "ascii"); then one
// point per line. Columns x, y, z and intensity are kept, any other is read and dropped.
// Numbers are read in the C locale whatever the user's locale.

#include "userpointdata.h"

#include <cstddef>
#include <functional>
#include <string>

class PcdReader {
public:
    enum class Error {
        None,
        NotAscii,      // the DATA line is not "ascii"
        InvalidHeader, // no DATA line, or no POINTS count of 1 or more
    };

    // Reads the points of a PCD file held in memory into `out` (at most the POINTS count;
    // fewer when the file ends early). A line that does not parse costs its one point.
    bool read(const char *data, size_t size, PointFrame &out);

    Error error() const { return error_; }
    const char *error_text() const;
    size_t bad_lines() const { return bad_lines_; }

    // Called with each data line that does not parse.
    std::function<void(const std::string &line)> on_bad_line;

private:
    Error error_ = Error::None;
    size_t bad_lines_ = 0;
};
