// The printf-exact number writers against the C library's own snprintf
// (which signs a negative zero, where the writers never sign a zero), and
// format_real, written on them, against its definition in printf forms.
#include "framework/number_text.h"
#include "framework/units.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string printf_text(const char* format, int digits, double value)
{
    char text[NUMBER_TEXT_SIZE + 8];
    std::snprintf(text, sizeof text, format, digits, value);
    return text;
}

// printf's text with the sign of a number whose digits (before the
// exponent) are all zero left out: "-0.00" reads "0.00", "-0E+00" "0E+00".
std::string unsigned_zero_text(std::string text)
{
    const std::size_t exponent = text.find_first_of("eE");
    const std::string digits = text.substr(1, exponent == std::string::npos ? std::string::npos : exponent - 1);
    if (text.size() > 1 && text[0] == '-' && digits.find_first_not_of("0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string written(char* (*writer)(char*, double, int, bool), double value, int digits, bool upper)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, writer(text, value, digits, upper));
}

std::string fixed(double value, int decimals)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_fixed(text, value, decimals));
}

// Every writer and every count of digits a report uses, and a few more;
// the first mismatch of each form is enough to find the fault.
void expect_printf_texts(double value)
{
    for (int digits : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 17, 30}) {
        ASSERT_EQ(fixed(value, digits), unsigned_zero_text(printf_text("%.*f", digits, value))) << "%.*f " << digits;
        ASSERT_EQ(written(write_exponent, value, digits, true), unsigned_zero_text(printf_text("%.*E", digits, value)))
            << "%.*E " << digits;
        ASSERT_EQ(written(write_exponent, value, digits, false), unsigned_zero_text(printf_text("%.*e", digits, value)))
            << "%.*e " << digits;
        ASSERT_EQ(written(write_general, value, digits, true), unsigned_zero_text(printf_text("%.*G", digits, value)))
            << "%.*G " << digits;
        ASSERT_EQ(written(write_general, value, digits, false), unsigned_zero_text(printf_text("%.*g", digits, value)))
            << "%.*g " << digits;
    }
}

// format_real as its definition reads: "%-1.*f", the exponent form "%-1.*E"
// with as many decimals as fit the width ("-0", "-0.00" and "-0E+00"
// without the sign), "*****" when none does or the value is not a number.
std::string format_real_by_printf(double value, int width, int decimals)
{
    if (!std::isfinite(value))
        return "*****";
    decimals = std::min(std::max(decimals, 0), 30);
    std::string text = printf_text("%-1.*f", decimals, value);
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos)
        text.erase(0, 1);
    if (width <= 0 || text.size() <= static_cast<size_t>(width))
        return text;
    for (int d = std::min(width, 30); d >= 0; --d) {
        text = unsigned_zero_text(printf_text("%-1.*E", d, value));
        if (text.size() <= static_cast<size_t>(width))
            return text;
    }
    return "*****";
}

}  // namespace

TEST(NumberText, EdgeValuesReadAsPrintfWritesThem)
{
    const double values[] = {0.0, -0.0, 0.5, -0.5, 1.5, 2.5, -2.5, 0.125, 0.375, -0.375, 0.045, 0.055, 1.005,
                             2.675, 9.5, 99.5, 0.95, 0.995, 999999.5, 1e9, 1e10, 1.593e11, 2.5162e10, 1e15 + 0.5,
                             4503599627370495.5, 4503599627370496.0, 9007199254740993.0, 1e22, 1e23, 1e300, -1e300,
                             DBL_MAX, -DBL_MAX, DBL_MIN, 4.9e-324, 1e-5, 5e-10, 0.0000005, 123456789012345.5,
                             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()};
    for (double v : values) {
        SCOPED_TRACE(printf_text("%.*g", 17, v));
        expect_printf_texts(v);
    }
    // The signs and exponents a report shows: a value that rounds to zero
    // has none.
    EXPECT_EQ(fixed(-0.4, 0), "0");
    EXPECT_EQ(fixed(-0.001, 2), "0.00");
    EXPECT_EQ(fixed(-0.006, 2), "-0.01");
    EXPECT_EQ(written(write_exponent, 1.593e11, 4, true), "1.5930E+11");
    EXPECT_EQ(written(write_exponent, 2.5e-7, 1, false), "2.5e-07");
    char text[NUMBER_TEXT_SIZE];
    EXPECT_EQ(std::string(text, write_integer(text, std::numeric_limits<long long>::min())), "-9223372036854775808");
}

TEST(NumberText, HalfwayValuesRoundToEvenAsPrintfDoes)
{
    // Exact binary halves at every count of decimals the fast path takes
    // (k / 2^m has m decimals, so at fewer it is a tie or near one), and
    // decimal halves (n + 0.5) / 10^d, which are a tie only when exact.
    std::mt19937_64 random(20250611);
    for (int i = 0; i < 20000; ++i) {
        const auto k = static_cast<double>(static_cast<int64_t>(random() % 4000000) - 2000000);
        const double tie = std::ldexp(k, -static_cast<int>(1 + random() % 12));
        const double half = (std::floor(k / 4) + 0.5) / std::pow(10.0, static_cast<double>(random() % 10));
        for (double v : {tie, half})
            for (int d = 0; d <= 10; ++d)
                ASSERT_EQ(fixed(v, d), unsigned_zero_text(printf_text("%.*f", d, v))) << printf_text("%.*g", 17, v) << " " << d;
    }
}

TEST(NumberText, RandomValuesOfEveryMagnitudeReadAsPrintfWritesThem)
{
    std::mt19937_64 random(7);
    for (int i = 0; i < 3000; ++i) {
        const std::uint64_t bits = random();
        double any = 0.0;
        std::memcpy(&any, &bits, sizeof any);
        float single = 0.0f;
        const auto bits32 = static_cast<std::uint32_t>(bits >> 32);
        std::memcpy(&single, &bits32, sizeof single);
        // A result's float in the range of forces and moments, and a double
        // spread over 80 binary orders below 2^53.
        const float load = std::uniform_real_distribution<float>(-1.0e7f, 1.0e7f)(random);
        const double spread = std::ldexp(static_cast<double>(bits >> 11), -static_cast<int>(random() % 80));
        for (double v : {any, static_cast<double>(single), static_cast<double>(load), spread}) {
            SCOPED_TRACE(printf_text("%.*g", 17, v));
            expect_printf_texts(v);
        }
    }
}

TEST(NumberText, FormatRealIsItsPrintfDefinition)
{
    std::mt19937_64 random(11);
    std::vector<double> values = {0.0, -0.0, -0.4, -0.004, 1e9, -1e9, 1.593e11, -2.5162e10, 9.99999e9, 9.9999999e99,
                                  1e100, -1e-100, std::numeric_limits<double>::infinity()};
    for (int i = 0; i < 4000; ++i) {
        const double magnitude = std::pow(10.0, std::uniform_real_distribution<double>(-12.0, 14.0)(random));
        values.push_back(random() % 2 ? magnitude : -magnitude);
    }
    for (double v : values)
        for (int width : {0, 1, 4, 5, 6, 7, 8, 10, 11, 16})
            for (int decimals : {0, 1, 2, 3, 4, 6})
                ASSERT_EQ(format_real(v, width, decimals), format_real_by_printf(v, width, decimals))
                    << printf_text("%.*g", 17, v) << " width " << width << " decimals " << decimals;
}
