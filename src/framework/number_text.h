// Number texts exactly as the C library's printf writes them under the "C"
// locale, written straight into a caller's buffer: no format string, no
// locale, no allocation. Each writer puts its text at `out` and returns the
// end of it (no terminating NUL).
//
// The digits are printf's to the last one: the exact binary value rounded
// to the digits asked for, ties to even. Unlike printf, a number whose
// digits are all zero never has a sign: a negative value that rounds to
// zero, and a negative zero, read "0.00", "0", "0.000E+00" (a printed "-0.000"
// would tell of a direction that nothing has). The exponent has a sign and
// at least two digits ("1.5930E+11", "2.5e-07"), and infinities and NaNs
// read "inf" and "nan" ("INF" and "NAN" in the upper-case forms), with a '-'
// when their sign bit is set.
#pragma once

#include <cstddef>

// Decimals and precisions above this are taken as this many.
inline constexpr int NUMBER_TEXT_MAX_DIGITS = 40;
// Room for the longest text of any writer: a sign, the 309 integer digits of
// the largest double, a point and NUMBER_TEXT_MAX_DIGITS decimals.
inline constexpr std::size_t NUMBER_TEXT_SIZE = 360;

// "%.*f"
char* write_fixed(char* out, double value, int decimals);
// "%.*E", or "%.*e" when `upper` is false.
char* write_exponent(char* out, double value, int decimals, bool upper = true);
// "%.*G", or "%.*g" when `upper` is false (precision 0 is taken as 1).
char* write_general(char* out, double value, int precision, bool upper = true);
// "%lld"
char* write_integer(char* out, long long value);
