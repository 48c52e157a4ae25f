#pragma once
// Reads uncompressed LAS files, versions 1.0 to 1.4, point formats 0 to 10: the header's scale,
// offset, bounding box and point count, and per point X, Y, Z and intensity (which sit at the
// same place in every point format). Compressed files (LAZ) are refused.

#include <cstddef>
#include <cstdint>
#include <string>

enum class LasError {
    None,
    TooShort,      // shorter than its public header
    Signature,     // not "LASF"
    Compressed,    // LAZ: point data compressed by LASzip
    Version,       // not a 1.x file
    HeaderSize,    // header size below 227 or past the end of the file
    PointFormat,   // point format outside 0..10
    RecordLength,  // point record shorter than its format's fields
    PointOffset,   // point data offset inside the header or past the end of the file
};

struct LasHeader {
    uint8_t version_major = 0;
    uint8_t version_minor = 0;
    uint16_t header_size = 0;
    uint32_t point_offset = 0;
    uint32_t vlr_count = 0;
    uint8_t point_format = 0;
    uint16_t record_length = 0;
    uint64_t point_count = 0; // the legacy count, or the 64-bit count of 1.4 when that is 0
    double scale[3] = {0, 0, 0};
    double offset[3] = {0, 0, 0};
    double max[3] = {0, 0, 0};
    double min[3] = {0, 0, 0};
};

struct LasPoint {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Z = 0;
    uint16_t intensity = 0;
};

class LasReader {
public:
    // Reads the header of a LAS file held in memory (the bytes must outlive the reader).
    bool open(const uint8_t *data, size_t size);

    LasError error() const { return error_; }
    std::string error_text() const;
    const LasHeader &header() const { return header_; }

    // Points the file really holds: the header's count, cut to the whole records present.
    uint64_t available_points() const { return available_; }

    // Point i (< available_points()); false past the end.
    bool read_point(uint64_t i, LasPoint *out) const;

private:
    bool fail(LasError e)
    {
        error_ = e;
        return false;
    }
    bool has_laszip_vlr() const;

    const uint8_t *data_ = nullptr;
    size_t size_ = 0;
    LasHeader header_;
    uint64_t available_ = 0;
    LasError error_ = LasError::None;
};
