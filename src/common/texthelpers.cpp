#include "texthelpers.h"

namespace {

bool is_version_char(unsigned char c)
{
    return c == ' ' || c == '-' || c == '.' || c == '/' || c == ':' || c == '_'
        || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::string trim_version_string(const void *bytes, size_t length)
{
    const auto *p = static_cast<const unsigned char *>(bytes);
    size_t n = 0;
    while (n < length && is_version_char(p[n]))
        ++n;
    // A field filled with valid characters to its end is returned whole: a 20-character
    // serial number has no padding byte after it.
    return std::string(reinterpret_cast<const char *>(p), n);
}
