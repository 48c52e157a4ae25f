#include "testsupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace testsupport {

std::string setup_private_tmpdir()
{
    const char *base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base != nullptr && *base ? base : "/tmp") + "/qvtest.XXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr)
        std::abort();
    ::setenv("TMPDIR", tmpl.c_str(), 1);
    return tmpl;
}

void cleanup_private_tmpdir(const std::string &dir)
{
    if (std::getenv("QV_KEEP_TMP") == nullptr) {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
}

std::string temp_dir()
{
    const char *t = std::getenv("TMPDIR");
    return t != nullptr ? t : "/tmp";
}

std::string make_temp_subdir(const std::string &prefix)
{
    std::string tmpl = temp_dir() + "/" + prefix + ".XXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr)
        std::abort();
    return tmpl;
}

std::vector<uint8_t> read_file(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void write_file(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

std::string binary_dir()
{
    return std::filesystem::canonical("/proc/self/exe").parent_path().string();
}

int free_udp_port(const char *ip)
{
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, ip, &a.sin_addr);
    ::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof(a));
    socklen_t len = sizeof(a);
    getsockname(s, reinterpret_cast<sockaddr *>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

} // namespace testsupport
