#include "laswriter.h"

#include "dirhelpers.h"
#include "lhframe.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

void wr_f64(uint8_t *p, double d)
{
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    wr_u64(p, bits);
}

} // namespace

const char *LasWriter::error_text() const
{
    switch (error_) {
    case LasWriteError::None: return "";
    case LasWriteError::Empty: return "no points to write";
    case LasWriteError::OutOfRange: return "a coordinate does not fit the LAS scaled integers";
    case LasWriteError::Open: return "cannot create the file";
    case LasWriteError::Write: return "cannot write the file";
    }
    return "";
}

void LasWriter::make_header(const PointFrame &frame, uint8_t *out)
{
    std::memset(out, 0, kHeaderSize);
    std::memcpy(out, "LASF", 4);
    out[24] = 1; // version 1.2
    out[25] = 2;
    wr_u16(out + 94, uint16_t(kHeaderSize));
    wr_u32(out + 96, uint32_t(kHeaderSize)); // no variable-length records
    out[104] = 3;
    wr_u16(out + 105, uint16_t(kRecordLength));
    wr_u32(out + 107, uint32_t(frame.size()));
    for (int c = 0; c < 3; ++c)
        wr_f64(out + 131 + 8 * c, kScale); // offsets at 155.. stay 0
    double lo[3] = {0, 0, 0};
    double hi[3] = {0, 0, 0};
    for (size_t i = 0; i < frame.size(); ++i) {
        const double v[3] = {frame[i].x, frame[i].y, frame[i].z};
        for (int c = 0; c < 3; ++c) {
            if (i == 0 || v[c] < lo[c])
                lo[c] = v[c];
            if (i == 0 || v[c] > hi[c])
                hi[c] = v[c];
        }
    }
    for (int c = 0; c < 3; ++c) {
        wr_f64(out + 179 + 16 * c, hi[c]);
        wr_f64(out + 187 + 16 * c, lo[c]);
    }
}

bool LasWriter::make_record(const UserPointData &p, uint8_t *out)
{
    int32_t X, Y, Z;
    if (!quantize(p.x, &X) || !quantize(p.y, &Y) || !quantize(p.z, &Z))
        return false;
    std::memset(out, 0, kRecordLength);
    wr_u32(out, uint32_t(X));
    wr_u32(out + 4, uint32_t(Y));
    wr_u32(out + 8, uint32_t(Z));
    wr_u16(out + 12, p.intensity);
    return true;
}

bool LasWriter::write(const char *path, const PointFrame &frame)
{
    error_ = LasWriteError::None;
    if (frame.empty())
        return fail(LasWriteError::Empty);
    if (frame.size() > UINT32_MAX)
        return fail(LasWriteError::OutOfRange);
    for (const UserPointData &p : frame) {
        int32_t X, Y, Z;
        if (!quantize(p.x, &X) || !quantize(p.y, &Y) || !quantize(p.z, &Z))
            return fail(LasWriteError::OutOfRange);
    }

    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(LasWriteError::Open);
    // Records go straight into one zeroed buffer of whole records, written as it fills; only
    // X, Y, Z and the intensity are ever non-zero in them.
    constexpr size_t kRecords = 32768;
    std::vector<uint8_t> buf(kRecords * kRecordLength, 0);
    uint8_t header[kHeaderSize];
    make_header(frame, header);
    bool ok = write_all_fd(fd, header, kHeaderSize);
    size_t used = 0;
    for (size_t i = 0; i < frame.size() && ok; ++i) {
        uint8_t *r = buf.data() + used * kRecordLength;
        const UserPointData &p = frame[i];
        int32_t X = 0, Y = 0, Z = 0;
        quantize(p.x, &X);
        quantize(p.y, &Y);
        quantize(p.z, &Z);
        wr_u32(r, uint32_t(X));
        wr_u32(r + 4, uint32_t(Y));
        wr_u32(r + 8, uint32_t(Z));
        wr_u16(r + 12, p.intensity);
        if (++used == kRecords) {
            ok = write_all_fd(fd, buf.data(), used * kRecordLength);
            used = 0;
        }
    }
    if (ok && used > 0)
        ok = write_all_fd(fd, buf.data(), used * kRecordLength);
    if (::close(fd) != 0)
        ok = false;
    if (!ok) {
        ::unlink(path); // a half-written point file is worse than none
        return fail(LasWriteError::Write);
    }
    return true;
}
