#include "dirhelpers.h"

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

bool append_file_nofollow(const std::string &path, const void *data, size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = write_all_fd(fd, data, size);
    return ::close(fd) == 0 && written;
}

bool create_empty_file(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
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
