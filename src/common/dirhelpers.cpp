#include "dirhelpers.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool make_dirs(const std::string &path)
{
    if (path.empty())
        return false;
    std::string p = path;
    if (p.back() != '/')
        p += '/';
    for (size_t pos = p.find('/'); pos != std::string::npos; pos = p.find('/', pos + 1)) {
        // A leading "/" gives an empty prefix: the root, which always exists.
        if (pos == 0)
            continue;
        const std::string prefix = p.substr(0, pos);
        struct stat st {};
        if (::stat(prefix.c_str(), &st) == 0)
            continue;
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool rename_path(const std::string &from, const std::string &to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void list_subdirs(const std::string &directory, std::vector<std::string> &out)
{
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code type_ec;
        if (it->is_directory(type_ec))
            out.push_back(it->path().filename().string());
    }
}

std::string join_path(const std::string &a, const std::string &b)
{
    if (a.empty())
        return b;
    if (a.back() == '/')
        return a + (b.empty() || b.front() != '/' ? b : b.substr(1));
    return a + (b.empty() || b.front() == '/' ? b : "/" + b);
}

bool write_file_replace(const std::string &path, const void *data, size_t size)
{
    std::string tmpl = path + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    const bool written = write_all_fd(fd, data, size) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || std::rename(tmpl.c_str(), path.c_str()) != 0) {
        ::unlink(tmpl.c_str());
        return false;
    }
    return true;
}

namespace {

// Opens `path` for writing with the flags given (never through a symlink), writes the bytes
// and closes it; true when all of that succeeded.
bool open_and_write(const std::string &path, int flags, mode_t mode, const void *data, size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | flags, mode);
    if (fd < 0)
        return false;
    const bool written = write_all_fd(fd, data, size);
    return ::close(fd) == 0 && written;
}

} // namespace

bool append_file_nofollow(const std::string &path, const void *data, size_t size)
{
    return open_and_write(path, O_CREAT | O_APPEND, 0644, data, size);
}

bool create_empty_file(const std::string &path)
{
    create_new_file(path, nullptr, 0);
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool create_new_file(const std::string &path, const void *data, size_t size)
{
    return open_and_write(path, O_CREAT | O_EXCL, 0600, data, size);
}

bool read_file_bounded(const std::string &path, size_t limit, std::string &out)
{
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        errno = err != 0 ? err : EINVAL;
        return false;
    }
    out.resize(std::min(limit, size_t(st.st_size)));
    size_t got = 0;
    while (got < out.size()) {
        const ssize_t r = ::read(fd, &out[got], out.size() - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            const int err = errno;
            ::close(fd);
            errno = err;
            return false;
        }
        if (r == 0)
            break;
        got += size_t(r);
    }
    out.resize(got);
    ::close(fd);
    return true;
}
bool write_all_fd(int fd, const void *data, size_t n)
{
    const auto *p = static_cast<const uint8_t *>(data);
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

bool path_exists(const std::string &path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}
