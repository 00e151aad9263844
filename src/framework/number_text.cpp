#include "framework/number_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double POWERS[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr std::uint64_t INTEGER_POWERS[] = {1,         10,         100,         1000,         10000,
                                            100000,    1000000,    10000000,    100000000,    1000000000};
constexpr int FAST_DECIMALS = 9;
constexpr double EXACT_POWERS[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr double TWO_TO_52 = 4503599627370496.0;

int clamp_digits(int digits)
{
    return std::clamp(digits, 0, NUMBER_TEXT_MAX_DIGITS);
}

char* put(char* out, const char* text)
{
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

// "inf", "nan" (upper case for the E and G forms), with printf's sign.
char* non_finite(char* out, double value, bool upper)
{
    if (std::signbit(value))
        *out++ = '-';
    if (std::isnan(value))
        return put(out, upper ? "NAN" : "nan");
    return put(out, upper ? "INF" : "inf");
}

// The text from `from` to `to` without the sign of a number whose digits
// are all zero (before its exponent); returns its new end.
char* unsigned_zero(char* from, char* to)
{
    if (to - from < 2 || *from != '-')
        return to;
    for (const char* c = from + 1; c != to && *c != 'e' && *c != 'E'; ++c)
        if (*c != '0' && *c != '.')
            return to;
    std::memmove(from, from + 1, static_cast<std::size_t>(to - from - 1));
    return to - 1;
}

char* upper_exponent(char* from, char* to)
{
    std::replace(from, to, 'e', 'E');
    return to;
}

constexpr char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::uint64_t TEN_POWERS[] = {1ULL,
                                        10ULL,
                                        100ULL,
                                        1000ULL,
                                        10000ULL,
                                        100000ULL,
                                        1000000ULL,
                                        10000000ULL,
                                        100000000ULL,
                                        1000000000ULL,
                                        10000000000ULL,
                                        100000000000ULL,
                                        1000000000000ULL,
                                        10000000000000ULL,
                                        100000000000000ULL,
                                        1000000000000000ULL,
                                        10000000000000000ULL,
                                        100000000000000000ULL,
                                        1000000000000000000ULL,
                                        10000000000000000000ULL};

// The number of decimal digits of n: from its binary length (1233 / 4096
// is just above log10(2)), then one more when n reaches that power of ten.
int digit_count(std::uint64_t n)
{
    const int bits = std::bit_width(n | 1);
    const int t = (bits * 1233) >> 12;
    return std::max(1, t + (n >= TEN_POWERS[t] ? 1 : 0));
}

// The digits of a whole number, at least `width` of them (leading zeros),
// written from their last, two at a time.
char* put_digits(char* out, std::uint64_t n, int width)
{
    char* end = out + std::max(digit_count(n), width);
    char* p = end;
    while (n >= 100) {
        p -= 2;
        std::memcpy(p, DIGIT_PAIRS + 2 * (n % 100), 2);
        n /= 100;
    }
    if (n >= 10) {
        p -= 2;
        std::memcpy(p, DIGIT_PAIRS + 2 * n, 2);
    } else {
        *--p = static_cast<char>('0' + n);
    }
    std::fill(out, p, '0');
    return end;
}

}  // namespace

char* write_fixed(char* out, double value, int decimals)
{
    decimals = clamp_digits(decimals);
    if (!std::isfinite(value))
        return non_finite(out, value, false);
    // The common case of a report: few decimals and a value of at most
    // fifteen digits. The product `scaled` of |value| and 10^decimals lies
    // within 2^-53 of its size of the exact product; the nearest whole number
    // of `scaled` (ties to even, as printf) is then the exact product's,
    // unless the exact product could lie on the other side of a half, which
    // only a product close to a half can: that case, like every other, goes
    // to the standard library's conversion, which is exact.
    if (decimals <= FAST_DECIMALS) {
        const double magnitude = std::fabs(value);
        const double scaled = magnitude * POWERS[decimals];
        if (scaled < TWO_TO_52) {
            // Adding and taking away 2^52 rounds to a whole number in the
            // current rounding mode, which printf follows too.
            const double whole = (scaled + TWO_TO_52) - TWO_TO_52;
            const double off = std::fabs(scaled - whole);
            if (decimals == 0 || off < 0.5 - scaled * 0x1p-52) {
                const auto n = static_cast<std::uint64_t>(whole);
                if (std::signbit(value) && n != 0)
                    *out++ = '-';
                if (decimals == 0)
                    return put_digits(out, n, 1);
                const std::uint64_t unit = INTEGER_POWERS[decimals];
                out = put_digits(out, n / unit, 1);
                *out++ = '.';
                return put_digits(out, n % unit, decimals);
            }
        }
    }
    return unsigned_zero(out, std::to_chars(out, out + NUMBER_TEXT_SIZE, value, std::chars_format::fixed, decimals).ptr);
}

char* write_exponent(char* out, double value, int decimals, bool upper)
{
    if (!std::isfinite(value))
        return non_finite(out, value, upper);
    char* end = unsigned_zero(
        out, std::to_chars(out, out + NUMBER_TEXT_SIZE, value, std::chars_format::scientific, clamp_digits(decimals)).ptr);
    return upper ? upper_exponent(out, end) : end;
}

char* write_general(char* out, double value, int precision, bool upper)
{
    if (!std::isfinite(value))
        return non_finite(out, value, upper);
    const int p = std::max(1, clamp_digits(precision));
    // The common case of a report, a stress of a few significant digits from
    // 1 to 10^15, by printf's own rule: with X the decimal exponent of the
    // value rounded to p significant digits, the fixed form with p - 1 - X
    // decimals when X < p, its trailing zeros dropped. The powers of ten up
    // to 10^15 are exact, so X is the exponent of the value itself, or one
    // more when the rounding carries into a new digit.
    const double magnitude = std::fabs(value);
    if (p <= FAST_DECIMALS + 6 && magnitude >= 1.0 && magnitude < 1e15) {
        int x = 0;
        while (x < 15 && magnitude >= EXACT_POWERS[x + 1])
            ++x;
        const int sign = std::signbit(value) ? 1 : 0;
        for (; x < p; ++x) {
            char* end = write_fixed(out, value, p - 1 - x);
            const char* point = std::find(out, end, '.');
            if (point - out - sign > x + 1)
                continue;   // rounded up to a power of ten: one more integer digit
            if (point != end) {
                while (end[-1] == '0')
                    --end;
                if (end[-1] == '.')
                    --end;
            }
            return end;
        }
    }
    char* end = unsigned_zero(out, std::to_chars(out, out + NUMBER_TEXT_SIZE, value, std::chars_format::general, p).ptr);
    return upper ? upper_exponent(out, end) : end;
}

char* write_integer(char* out, long long value)
{
    return std::to_chars(out, out + NUMBER_TEXT_SIZE, value).ptr;
}
