#include "pcdwriter.h"

#include "dirhelpers.h"
#include "numberformat.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>
#include <fcntl.h>
#include <unistd.h>

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

namespace {

inline char *put_point(char *e, const UserPointData &p)
{
    e = format_g6(e, p.x);
    *e++ = ' ';
    e = format_g6(e, p.y);
    *e++ = ' ';
    e = format_g6(e, p.z);
    *e++ = ' ';
    e = format_u16(e, p.intensity);
    *e++ = '\n';
    return e;
}

constexpr size_t kLineMax = 4 * FORMAT_G6_MAX;

} // namespace

void PcdWriter::append_point(std::string &out, const UserPointData &p)
{
    char line[kLineMax];
    out.append(line, size_t(put_point(line, p) - line));
}

bool PcdWriter::write(const char *path, const PointFrame &frame)
{
    error_.clear();
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    // The body is formatted in memory, in slices on a few threads for a large frame (the
    // numbers cost more than the write), and written slice by slice in order.
    constexpr size_t kPointsPerThread = 100000;
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t slices =
        std::max<size_t>(1, std::min<size_t>({4, cores, frame.size() / kPointsPerThread}));
    const size_t per_slice = (frame.size() + slices - 1) / slices;
    struct Slice {
        std::unique_ptr<char[]> text;
        size_t size = 0;
    };
    std::vector<Slice> parts(slices);
    auto format = [&frame, &parts, per_slice](size_t k) {
        const size_t begin = std::min(frame.size(), k * per_slice);
        const size_t end = std::min(frame.size(), begin + per_slice);
        parts[k].text.reset(new char[(end - begin) * kLineMax + 1]);
        char *e = parts[k].text.get();
        for (size_t i = begin; i < end; ++i)
            e = put_point(e, frame[i]);
        parts[k].size = size_t(e - parts[k].text.get());
    };
    std::vector<std::thread> workers;
    for (size_t k = 1; k < slices; ++k)
        workers.emplace_back(format, k);
    format(0);
    for (std::thread &t : workers)
        t.join();

    const std::string head = header(frame.size());
    bool ok = write_all_fd(fd, head.data(), head.size());
    for (size_t k = 0; k < slices && ok; ++k)
        ok = write_all_fd(fd, parts[k].text.get(), parts[k].size);
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
