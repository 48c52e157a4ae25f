#pragma once
// Locale-free number output for the point-file writers: the same text as printf("%g") and as a
// standard stream's default float output in the C locale, whatever locale the user runs, and
// much faster than either.

#include <cstddef>
#include <cstdint>

constexpr size_t FORMAT_G6_MAX = 24; // room format_g6 may use

// Writes v with six significant digits as "%g" does ("1.5", "-0.000123", "1.23457e+07", "0",
// "-0", "inf", "nan"). Returns the end of the text; no terminating zero is written.
char *format_g6(char *out, float v);

// Writes v in decimal; returns the end of the text.
char *format_u16(char *out, uint16_t v);
