#include "pcdreader.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

inline bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Splits a line into whitespace-separated tokens.
class Tokens {
public:
    explicit Tokens(std::string_view line) : s_(line) {}
    bool next(std::string_view *t)
    {
        while (pos_ < s_.size() && is_space(s_[pos_]))
            ++pos_;
        if (pos_ >= s_.size())
            return false;
        const size_t start = pos_;
        while (pos_ < s_.size() && !is_space(s_[pos_]))
            ++pos_;
        *t = s_.substr(start, pos_ - start);
        return true;
    }

private:
    std::string_view s_;
    size_t pos_ = 0;
};

bool blank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), is_space);
}

// The whole token as a finite number (a leading "+" allowed, as a stream accepts it).
template <typename T> bool parse_number(std::string_view t, T *out)
{
    if (!t.empty() && t[0] == '+') {
        t.remove_prefix(1);
        if (!t.empty() && (t[0] == '+' || t[0] == '-'))
            return false;
    }
    T v{};
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(double(v)))
        return false;
    *out = v;
    return true;
}

bool parse_int(std::string_view t, int *out)
{
    if (!t.empty() && t[0] == '+')
        t.remove_prefix(1);
    int v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size())
        return false;
    *out = v;
    return true;
}

enum Column { kX, kY, kZ, kIntensity, kOther };

} // namespace

const char *PcdReader::error_text() const
{
    switch (error_) {
    case Error::None: return "";
    case Error::NotAscii: return "only ASCII PCD data is supported";
    case Error::InvalidHeader: return "invalid PCD header";
    }
    return "";
}

bool PcdReader::read(const char *data, size_t size, PointFrame &out)
{
    error_ = Error::None;
    bad_lines_ = 0;
    std::vector<Column> columns;
    int points = -1;
    size_t pos = 0;
    bool have_data = false;

    auto next_line = [&](std::string_view *line) {
        if (pos >= size)
            return false;
        const void *nl = std::memchr(data + pos, '\n', size - pos);
        const size_t end = nl != nullptr ? size_t(static_cast<const char *>(nl) - data) : size;
        *line = std::string_view(data + pos, end - pos);
        pos = end + 1;
        return true;
    };

    std::string_view line;
    while (next_line(&line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line.find("DATA") != std::string_view::npos) {
            if (line.find("ascii") == std::string_view::npos) {
                error_ = Error::NotAscii;
                return false;
            }
            have_data = true;
            break;
        }
        Tokens tokens(line);
        std::string_view key;
        if (!tokens.next(&key))
            continue;
        if (key == "FIELDS") {
            columns.clear();
            std::string_view name;
            while (tokens.next(&name))
                columns.push_back(name == "x"           ? kX
                                  : name == "y"         ? kY
                                  : name == "z"         ? kZ
                                  : name == "intensity" ? kIntensity
                                                        : kOther);
        } else if (key == "POINTS") {
            std::string_view count;
            if (!tokens.next(&count) || !parse_int(count, &points))
                points = -1;
        }
    }
    if (!have_data || points < 1) {
        error_ = Error::InvalidHeader;
        return false;
    }

    // A point's line holds at least one character and a separator per column: never reserve
    // more points than the rest of the file can hold.
    const size_t per_line = 2 * std::max<size_t>(1, columns.size());
    out.reserve(std::min<size_t>(size_t(points), (size - std::min(pos, size)) / per_line + 1));
    const size_t wanted = size_t(points);
    while (out.size() < wanted && next_line(&line)) {
        if (blank(line))
            continue;
        UserPointData p;
        Tokens tokens(line);
        bool ok = true;
        for (const Column c : columns) {
            std::string_view t;
            float f = 0.0f;
            double d = 0.0;
            if (!tokens.next(&t)) {
                ok = false;
            } else if (c == kIntensity) {
                // Some writers store intensity as a float: take its integer part, clamped.
                ok = parse_number(t, &d);
                if (ok)
                    p.intensity = uint16_t(std::clamp(std::trunc(d), 0.0, 65535.0));
            } else {
                ok = parse_number(t, &f);
                if (c == kX)
                    p.x = f;
                else if (c == kY)
                    p.y = f;
                else if (c == kZ)
                    p.z = f;
            }
            if (!ok)
                break;
        }
        if (!ok) {
            ++bad_lines_;
            if (on_bad_line)
                on_bad_line(std::string(line));
            continue;
        }
        out.push_back(p);
    }
    return true;
}
