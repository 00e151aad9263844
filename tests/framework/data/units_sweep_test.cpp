// Every formatter against every float: no undefined behaviour and no "NAN"
// for values a damaged file or an overflow could bring, every text it writes
// of a finite value reads back through its parser in every unit to the
// precision shown, and the exact length form gives back the very float.
#include "framework/units.h"
#include "unit_text_pairs.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

// Runs f(unit) for every unit of the pair's quantity (once for unit-free
// formatters), with that unit chosen and both moment precisions.
template <typename F>
void for_each_unit(const UnitTextPair& p, F&& f)
{
    const int units = p.q == 0 ? 1 : unit_count(p.q);
    for (int unit = 0; unit < units; ++unit) {
        for (bool two_decimals : {false, true}) {
            reset_unit_choice();
            if (p.q != 0)
                unit_choice()[static_cast<std::size_t>(p.q)] = unit;
            moment_precision() = two_decimals;
            f(unit);
        }
    }
    reset_unit_choice();
    moment_precision() = false;
}

// Floats from the smallest denormal to the largest, both signs, several
// mantissas a decade, and the edges.
std::vector<float> sweep()
{
    std::vector<float> values;
    for (int decade = -45; decade <= 38; ++decade) {
        for (double mantissa : {1.0, 1.2345678, 2.5, 4.999999, 7.77777}) {
            const double v = mantissa * std::pow(10.0, decade);
            if (v > 0.0 && v <= std::numeric_limits<float>::max() && static_cast<float>(v) > 0.0f) {
                values.push_back(static_cast<float>(v));
                values.push_back(-static_cast<float>(v));
            }
        }
    }
    for (float v : {std::numeric_limits<float>::max(), std::numeric_limits<float>::min(),
                    std::numeric_limits<float>::denorm_min(), std::nextafter(std::numeric_limits<float>::max(), 0.0f),
                    1.0e12f, 9.9e11f, 5.0e29f, 4.9e29f, 1.0e-36f, 2.0e-36f, 0.0f}) {
        values.push_back(v);
        values.push_back(-v);
    }
    return values;
}

}  // namespace

TEST(UnitSweep, NoFormatterShowsANonNumber)
{
    const double specials[] = {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (const UnitTextPair& p : unit_text_pairs()) {
        for_each_unit(p, [&](int unit) {
            for (double v : specials) {
                const std::string text = p.format(v);
                SCOPED_TRACE(std::string(p.name) + " in unit " + std::to_string(unit) + " of " + std::to_string(v));
                // Not a number shows as the overflow mark, an infinite
                // displacement or angle as "not given", and a factor that is
                // not above one as nothing; none of them is read as a value.
                EXPECT_TRUE(text == "*****" || text == "None" || text.empty()) << text;
                float back = 0.0f;
                if (!text.empty()) {
                    EXPECT_EQ(p.parse(text, back), 1) << text;
                }
            }
            // Doubles beyond any float (a sum of huge coordinates, say) are
            // still numbers and show without undefined behaviour.
            for (double v : {std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min(), 1.0e300, -1.0e-300}) {
                const std::string text = p.format(v);
                EXPECT_FALSE(holds_number_word(text)) << p.name << ": " << text;
            }
        });
    }
}

TEST(UnitSweep, EveryFormattedFloatReadsBackToThePrecisionShown)
{
    const std::vector<float> values = sweep();
    for (const UnitTextPair& p : unit_text_pairs()) {
        for_each_unit(p, [&](int unit) {
            int failures = 0;
            for (float x : values) {
                if ((x < 0.0f && !p.negative) || (x == 0.0f && !p.zero))
                    continue;
                const std::string problem = unit_read_back_problem(p, x);
                if (!problem.empty()) {
                    ADD_FAILURE() << p.name << " in unit " << unit << ": " << x << " (bits "
                                  << std::bit_cast<uint32_t>(x) << ") " << problem;
                    if (++failures > 5)
                        return;
                }
            }
        });
    }
}

TEST(UnitSweep, ExactLengthGivesBackTheVeryFloat)
{
    std::vector<float> values = sweep();
    // Floats of every exponent and mantissa: random bit patterns.
    std::mt19937 random(20240611);
    std::uniform_int_distribution<uint32_t> bits;
    while (values.size() < 12000) {
        const float v = std::bit_cast<float>(bits(random));
        if (std::isfinite(v))
            values.push_back(v);
    }
    // Lengths of a piping model: inches to four decimals, and the copy of
    // -123456.789 in that kept five digits.
    for (double inches : {-123456.789, 126.5, 0.1, 1.0 / 3.0, 11.99999, 12.00001, 1.2e10, 99999.99})
        values.push_back(static_cast<float>(inches));
    for (int unit = 0; unit < unit_count(LENGTH); ++unit) {
        reset_unit_choice();
        unit_choice()[LENGTH] = unit;
        int failures = 0;
        for (float x : values) {
            const std::string text = format_length_exact(x);
            float back = std::numeric_limits<float>::quiet_NaN();
            if (parse_length(text, back) != 0 || back != x) {
                ADD_FAILURE() << unit_name(LENGTH, unit) << ": " << x << " (bits "
                              << std::bit_cast<uint32_t>(x) << ") -> \"" << text << "\" -> " << back;
                if (++failures > 5)
                    break;
            }
        }
    }
    reset_unit_choice();
    // The copy keeps the displayed form where that is exact.
    EXPECT_EQ(format_length_exact(126.5), "10'6.5");
    unit_choice()[LENGTH] = 2;
    EXPECT_EQ(format_length_exact(12), "12.0000");
    EXPECT_EQ(format_length_exact(-123456.789f), "-123456.7891");
    unit_choice()[LENGTH] = 4;
    EXPECT_EQ(format_length_exact(1000 / 25.4), "1000");
    reset_unit_choice();
}

TEST(UnitSweep, TheLargestWeightsReadBack)
{
    // 30E37 lb is 3E+38 lb, shown as "3.0000E+38", and the largest float
    // rounded to four digits lies above it: both read back.
    float out = 0.0f;
    ASSERT_EQ(parse_force("30E37", out), 0);
    EXPECT_EQ(format_force(out), "3.0000E+38");
    EXPECT_EQ(parse_force(format_force(out), out), 0);
    EXPECT_FLOAT_EQ(out, 3.0e38f);
    EXPECT_EQ(format_expansion(std::numeric_limits<float>::max()), "3.403E+38");
    EXPECT_EQ(parse_expansion("3.403E+38", out), 0);
    EXPECT_EQ(out, std::numeric_limits<float>::max());
    EXPECT_EQ(parse_expansion("-3.403E+38", out), 0);
    EXPECT_EQ(out, -std::numeric_limits<float>::max());
    // Half a digit further is a value no float holds.
    EXPECT_EQ(parse_expansion("3.4035E+38", out), 1);
    // In a unit larger than the internal one the shown number passes the
    // largest float, and the internal value is what counts.
    unit_choice()[INERTIA] = 1;   // mm4
    ASSERT_EQ(parse_inertia(format_inertia(1.0e38), out), 0);
    EXPECT_NEAR(out, 1.0e38f, 1.0e33f);   // six digits shown
    reset_unit_choice();
}
