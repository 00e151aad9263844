// A stored zero shows as zero in every unit. A field given 0 holds a tiny
// marker (1E-36) so that it differs from a field left empty, and a float
// may hold a denormal; whatever factor the unit shown scales them by (1 inch
// is 2.54E-2 m, 1 psi 6.9E-3 MPa), every formatter of the tables shows them
// with no digit but 0, and a value that is not tiny keeps its digits.
#include "framework/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace {

struct Formatter {
    int quantity;
    std::string (*format)(double);
    const char* name;
};

// The formatters of the quantities whose zero carries no meaning of its own
// (temperature's marker is 0 degF, shown as -17.78 in C; a modulus is never
// 0).
const Formatter FORMATTERS[] = {
    {LENGTH, format_length, "length"},
    {DIMENSION, format_dimension, "dimension"},
    {DISPLACEMENT, format_displacement_g5, "displacement"},
    {DISPLACEMENT, format_displacement_or_none, "displacement or none"},
    {ANGLE, format_angle_or_none, "angle"},
    {FORCE, format_force, "force"},
    {MOMENT, format_moment, "moment"},
    {WEIGHT_PER_LENGTH, format_weight_per_length, "weight per length"},
    {WEIGHT, format_weight, "weight"},
    {DENSITY, format_density, "density"},
    {WEIGHT_DENSITY, format_weight_density, "weight density"},
    {EXPANSION, format_expansion, "expansion"},
    {PRESSURE, format_pressure, "pressure"},
    {STRESS, format_stress, "stress"},
    {STIFFNESS, format_stiffness, "stiffness"},
    {ROT_STIFFNESS, format_rot_stiffness, "rotational stiffness"},
    {AREA, format_area, "area"},
    {INERTIA, format_inertia, "inertia"},
    {SPEED, format_speed, "speed"},
};

// No digit but 0 (an empty text shows nothing either).
bool shows_zero(const std::string& text)
{
    return std::none_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

}  // namespace

TEST(ZeroShownAsZero, TheEnteredZeroAndDenormalsShowAsZeroInEveryUnit)
{
    const double tiny[] = {ENTERED_ZERO, -ENTERED_ZERO, 1.0e-40, 2.0e-37};
    for (const Formatter& f : FORMATTERS) {
        for (int unit = 0; unit < unit_count(f.quantity); ++unit) {
            reset_unit_choice();
            unit_choice()[static_cast<std::size_t>(f.quantity)] = unit;
            for (const double v : tiny) {
                const std::string text = f.format(v);
                EXPECT_TRUE(shows_zero(text)) << f.name << " in " << unit_name(f.quantity, unit) << " of " << v
                                              << " shows " << text;
            }
        }
    }
    reset_unit_choice();
}

TEST(ZeroShownAsZero, SmallValuesKeepTheirDigits)
{
    reset_unit_choice();
    // 6.5E-6 /degF, a steel's expansion; 1E-4 in, the smallest displacement
    // a table shows in inch.
    EXPECT_EQ(format_expansion(6.5e-6), "6.5E-6");
    EXPECT_FALSE(shows_zero(format_displacement_g5(1.0e-4)));
    // 1E-25 is no marker: shown, in its exponent form.
    EXPECT_EQ(format_g3(1.0e-25), "1E-25");
    EXPECT_EQ(shown_value(1.0e-25), 1.0e-25);
    EXPECT_EQ(shown_value(-ENTERED_ZERO), 0.0);
    // A length copied for reading back keeps the marker it holds: every
    // float comes back exactly.
    float back = 1.0f;
    ASSERT_EQ(parse_length(format_length_exact(ENTERED_ZERO), back), 0);
    EXPECT_EQ(back, ENTERED_ZERO);
}
