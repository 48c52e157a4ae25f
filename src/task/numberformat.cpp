#include "numberformat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// 10^-22 .. 10^22 as the nearest doubles (exact from 10^0 up).
constexpr double kPow10[45] = {
    1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11,
    1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,
    1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,
    1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22};

constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                               "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                               "8081828384858687888990919293949596979899";

// The exact (and slower) path: the standard library's locale-free "%g".
char *format_exact(char *out, double d)
{
    return std::to_chars(out, out + FORMAT_G6_MAX, d, std::chars_format::general, 6).ptr;
}

} // namespace

char *format_g6(char *out, float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    const uint32_t biased = (bits >> 23) & 0xFF;
    if ((bits & 0x7FFFFFFF) == 0) {
        // Zero, as common a coordinate as any (and four times slower on the exact path).
        *out = '-';
        out += bits >> 31;
        *out = '0';
        return out + 1;
    }
    // Subnormals, infinities and NaN: rare, and the exact path spells them as %g does.
    if (biased == 0 || biased == 0xFF)
        return format_exact(out, double(v));
    const double a = std::fabs(double(v));

    // Decimal exponent X = floor(log10(a)). a lies in [2^e2, 2^(e2+1)), so X is
    // floor(e2 * log10(2)) (exact for these exponents) or one more.
    const int e2 = int(biased) - 127;
    int X = e2 >= 0 ? (e2 * 78913) >> 18 : -((-e2 * 78913 + (1 << 18) - 1) >> 18);
    if (X + 1 > 22 || 5 - X > 22)
        return format_exact(out, double(v)); // beyond the table: very large or small values
    X += a >= kPow10[X + 1 + 22] ? 1 : 0;
    const double s = a * kPow10[5 - X + 22];
    // s carries at most two roundings (below 1e-9 here): where that could change a digit or
    // the exponent, take the exact path.
    constexpr double kMargin = 1e-6;
    if (!(s >= 1e5 + kMargin && s < 1e6))
        return format_exact(out, double(v));
    const double r = std::floor(s);
    const double f = s - r;
    if (std::fabs(f - 0.5) < kMargin)
        return format_exact(out, double(v));
    uint32_t D = uint32_t(r) + (f > 0.5 ? 1 : 0);
    if (D == 1000000) {
        D = 100000;
        ++X;
    }
    // The six digits as the bytes of one word (digit i in byte i), kept in a register: the
    // copies below move eight bytes at a time, and the bytes past the last digit only ever land
    // beyond the returned end.
    uint16_t pair[3];
    std::memcpy(&pair[0], kDigitPairs + 2 * (D / 10000), 2);
    std::memcpy(&pair[1], kDigitPairs + 2 * (D / 100 % 100), 2);
    std::memcpy(&pair[2], kDigitPairs + 2 * (D % 100), 2);
    const uint64_t w = uint64_t(pair[0]) | uint64_t(pair[1]) << 16 | uint64_t(pair[2]) << 32
                       | 0x3030000000000000ull;
    // Last significant digit: the highest of bytes 0..5 that is not '0' (byte 0 never is).
    const uint64_t nonzero = (w ^ 0x303030303030ull) & 0xFFFFFFFFFFFFull;
    const int last = (63 - __builtin_clzll(nonzero)) / 8;

    char *p = out;
    *p = '-';
    p += bits >> 31;
    if (X >= 0 && X < 6) {
        // "ddd.ddd": the integer digits, a point, the rest; the point only with a fraction.
        const uint64_t rest = w >> (8 * (X + 1));
        std::memcpy(p, &w, 8);
        std::memcpy(p + X + 2, &rest, 8);
        p[X + 1] = '.';
        return p + (last > X ? last + 2 : X + 1);
    }
    if (X < 0 && X >= -4) {
        // "0.000ddd"
        std::memcpy(p, "0.000000", 8);
        std::memcpy(p + 1 - X, &w, 8);
        return p + 2 - X + last;
    }
    char digits[8];
    std::memcpy(digits, &w, 8);
    *p++ = digits[0];
    if (last > 0) {
        *p++ = '.';
        for (int i = 1; i <= last; ++i)
            *p++ = digits[i];
    }
    *p++ = 'e';
    *p++ = X < 0 ? '-' : '+';
    const int e = X < 0 ? -X : X; // below 100 on this path
    *p++ = char('0' + e / 10);
    *p++ = char('0' + e % 10);
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
