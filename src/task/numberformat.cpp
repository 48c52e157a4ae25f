#include "numberformat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPow10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The exact (and slower) path: the standard library's locale-free "%g".
char *format_exact(char *out, double d)
{
    return std::to_chars(out, out + FORMAT_G6_MAX, d, std::chars_format::general, 6).ptr;
}

// a * 10^k with one rounding (10^k is exact up to 10^22); false when k is out of that range.
inline bool scale(double a, int k, double *s)
{
    if (k > 22 || k < -22)
        return false;
    *s = k >= 0 ? a * kPow10[k] : a / kPow10[-k];
    return true;
}

} // namespace

char *format_g6(char *out, float v)
{
    const double d = v;
    if (!std::isfinite(d) || d == 0.0)
        return format_exact(out, d);
    const bool negative = std::signbit(d);
    const double a = negative ? -d : d;

    // Decimal exponent X of a: floor(log10(a)), first estimated from the binary exponent.
    int e2 = 0;
    std::frexp(a, &e2); // a in [2^(e2-1), 2^e2)
    const int b = e2 - 1;
    int X = b >= 0 ? (b * 78913) >> 18 : -((-b * 78913 + (1 << 18) - 1) >> 18);
    double s = 0.0;
    if (!scale(a, 5 - X, &s))
        return format_exact(out, d);
    if (s >= 1e6) {
        ++X;
        if (!scale(a, 5 - X, &s))
            return format_exact(out, d);
    } else if (s < 1e5) {
        --X;
        if (!scale(a, 5 - X, &s))
            return format_exact(out, d);
    }
    // s carries one rounding error (below 1e-9 here): where that could change a digit or the
    // exponent, take the exact path.
    constexpr double kMargin = 1e-6;
    if (s < 1e5 + kMargin || s >= 1e6)
        return format_exact(out, d);
    const double r = std::floor(s);
    const double f = s - r;
    if (std::fabs(f - 0.5) < kMargin)
        return format_exact(out, d);
    uint32_t D = uint32_t(r) + (f > 0.5 ? 1 : 0);
    if (D == 1000000) {
        D = 100000;
        ++X;
    }
    char digits[6];
    for (int i = 5; i >= 0; --i) {
        digits[i] = char('0' + D % 10);
        D /= 10;
    }
    int last = 5; // last significant digit to print
    while (last > 0 && digits[last] == '0')
        --last;

    char *p = out;
    if (negative)
        *p++ = '-';
    if (X < -4 || X >= 6) {
        *p++ = digits[0];
        if (last > 0) {
            *p++ = '.';
            for (int i = 1; i <= last; ++i)
                *p++ = digits[i];
        }
        *p++ = 'e';
        *p++ = X < 0 ? '-' : '+';
        int e = X < 0 ? -X : X;
        if (e >= 100) {
            *p++ = char('0' + e / 100);
            e %= 100;
        }
        *p++ = char('0' + e / 10);
        *p++ = char('0' + e % 10);
    } else if (X >= 0) {
        for (int i = 0; i <= X; ++i)
            *p++ = digits[i];
        if (last > X) {
            *p++ = '.';
            for (int i = X + 1; i <= last; ++i)
                *p++ = digits[i];
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int i = 0; i < -X - 1; ++i)
            *p++ = '0';
        for (int i = 0; i <= last; ++i)
            *p++ = digits[i];
    }
    return p;
}

char *format_u16(char *out, uint16_t v)
{
    char tmp[5];
    int n = 0;
    do {
        tmp[n++] = char('0' + v % 10);
        v = uint16_t(v / 10);
    } while (v != 0);
    while (n > 0)
        *out++ = tmp[--n];
    return out;
}
