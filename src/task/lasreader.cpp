#include "lasreader.h"

#include "lhframe.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kLegacyHeader = 227;
constexpr size_t kCount64Offset = 247; // LAS 1.4: u64 number of point records
constexpr size_t kVlrHeader = 54;

// Length of the fields each point format defines; a record may be longer (extra bytes).
constexpr uint16_t kMinRecord[11] = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};

double rd_f64(const uint8_t *p)
{
    const uint64_t bits = rd_u64(p);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

} // namespace

std::string LasReader::error_text() const
{
    switch (error_) {
    case LasError::None: return "";
    case LasError::TooShort: return "file too short for a LAS header";
    case LasError::Signature: return "not a LAS file (no LASF signature)";
    case LasError::Compressed: return "compressed LAS (LAZ) files are not read";
    case LasError::Version: return "unsupported LAS version";
    case LasError::HeaderSize: return "invalid LAS header size";
    case LasError::PointFormat: return "unsupported LAS point format";
    case LasError::RecordLength: return "LAS point record too short for its format";
    case LasError::PointOffset: return "invalid LAS point data offset";
    }
    return "";
}

bool LasReader::has_laszip_vlr() const
{
    uint64_t pos = header_.header_size;
    for (uint32_t k = 0; k < header_.vlr_count; ++k) {
        if (pos + kVlrHeader > size_)
            return false;
        const uint8_t *v = data_ + pos;
        if (std::memcmp(v + 2, "laszip encoded", 14) == 0)
            return true;
        pos += kVlrHeader + rd_u16(v + 52);
    }
    return false;
}

bool LasReader::open(const uint8_t *data, size_t size)
{
    data_ = data;
    size_ = size;
    header_ = LasHeader();
    available_ = 0;
    error_ = LasError::None;
    if (size < kLegacyHeader)
        return fail(LasError::TooShort);
    if (std::memcmp(data, "LASF", 4) != 0)
        return fail(LasError::Signature);
    LasHeader &h = header_;
    h.version_major = data[24];
    h.version_minor = data[25];
    h.header_size = rd_u16(data + 94);
    h.point_offset = rd_u32(data + 96);
    h.vlr_count = rd_u32(data + 100);
    h.point_format = data[104];
    h.record_length = rd_u16(data + 105);
    h.point_count = rd_u32(data + 107);
    for (int c = 0; c < 3; ++c) {
        h.scale[c] = rd_f64(data + 131 + 8 * c);
        h.offset[c] = rd_f64(data + 155 + 8 * c);
        h.max[c] = rd_f64(data + 179 + 16 * c);
        h.min[c] = rd_f64(data + 187 + 16 * c);
    }
    if (h.version_major != 1)
        return fail(LasError::Version);
    if (h.header_size < kLegacyHeader || h.header_size > size)
        return fail(LasError::HeaderSize);
    // LASzip marks its files by the two high bits of the point format and by its VLR.
    if ((h.point_format & 0xC0) != 0 || has_laszip_vlr())
        return fail(LasError::Compressed);
    if (h.point_format > 10)
        return fail(LasError::PointFormat);
    if (h.record_length < kMinRecord[h.point_format])
        return fail(LasError::RecordLength);
    if (h.point_offset < h.header_size || h.point_offset > size)
        return fail(LasError::PointOffset);
    if (h.point_count == 0 && h.version_minor >= 4 && h.header_size >= kCount64Offset + 8)
        h.point_count = rd_u64(data + kCount64Offset);
    // Never trust the count beyond what the file holds.
    const uint64_t room = (size - h.point_offset) / h.record_length;
    available_ = std::min<uint64_t>(h.point_count, room);
    return true;
}

bool LasReader::read_point(uint64_t i, LasPoint *out) const
{
    if (i >= available_)
        return false;
    const uint8_t *p = data_ + header_.point_offset + i * header_.record_length;
    out->X = int32_t(rd_u32(p));
    out->Y = int32_t(rd_u32(p + 4));
    out->Z = int32_t(rd_u32(p + 8));
    out->intensity = rd_u16(p + 12);
    return true;
}
