#include "pcdwriter.h"

#include "numberformat.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool write_all(int fd, const char *p, size_t n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= size_t(w);
    }
    return true;
}

} // namespace

std::string PcdWriter::header(size_t points)
{
    const std::string n = std::to_string(points);
    return "# .PCD v0.7 - Point Cloud Data file format\n"
           "VERSION 0.7\n"
           "FIELDS x y z intensity\n"
           "SIZE 4 4 4 2\n"
           "TYPE F F F U\n"
           "COUNT 1 1 1 1\n"
           "WIDTH " + n + "\n"
           "HEIGHT 1\n"
           "VIEWPOINT 0 0 0 1 0 0 0\n"
           "POINTS " + n + "\n"
           "DATA ascii\n";
}

void PcdWriter::append_point(std::string &out, const UserPointData &p)
{
    char line[4 * FORMAT_G6_MAX];
    char *e = format_g6(line, p.x);
    *e++ = ' ';
    e = format_g6(e, p.y);
    *e++ = ' ';
    e = format_g6(e, p.z);
    *e++ = ' ';
    e = format_u16(e, p.intensity);
    *e++ = '\n';
    out.append(line, size_t(e - line));
}

bool PcdWriter::write(const char *path, const PointFrame &frame)
{
    error_.clear();
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    constexpr size_t kChunk = 1 << 20;
    std::string buf = header(frame.size());
    buf.reserve(kChunk + 4 * FORMAT_G6_MAX);
    bool ok = true;
    for (size_t i = 0; i < frame.size() && ok; ++i) {
        append_point(buf, frame[i]);
        if (buf.size() >= kChunk) {
            ok = write_all(fd, buf.data(), buf.size());
            buf.clear();
        }
    }
    if (ok && !buf.empty())
        ok = write_all(fd, buf.data(), buf.size());
    if (!ok)
        error_ = std::strerror(errno);
    if (::close(fd) != 0 && ok) {
        error_ = std::strerror(errno);
        ok = false;
    }
    if (!ok)
        ::unlink(path);
    return ok;
}
