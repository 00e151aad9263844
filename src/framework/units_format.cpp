// Formatters: an internal value as text in the chosen unit. All write their
// numbers through the printf-exact writers of number_text.h, so the text
// never depends on the user's locale, and every text that a parser reads
// back (dialogs, batch files) parses in the same unit.
#include "framework/number_text.h"
#include "framework/state.h"
#include "framework/units.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct MomentPrecision {
    bool two_decimals = false;
};

// Values shown smaller than this are 0: the entered-zero marker (or a
// denormal) scaled into the unit shown. No quantity the program shows comes
// near it in any of its units.
constexpr double TINY = 1.0e-30;
constexpr int MAX_DECIMALS = 30;
const char* const TOO_WIDE = "*****";

char* put_too_wide(char* out)
{
    const size_t n = std::strlen(TOO_WIDE);
    std::memcpy(out, TOO_WIDE, n);
    return out + n;
}

// The printf forms never show "NAN" or "INF": a value that is not a finite
// number shows as TOO_WIDE, which no parser reads.
std::string fixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return TOO_WIDE;
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_fixed(text, value, decimals));
}

// "%.*G" without a negative zero's sign, TOO_WIDE for a value that is not a
// finite number; every value as it is, for texts that are read back exactly.
char* write_g_form_exact(char* out, int precision, double value)
{
    if (!std::isfinite(value))
        return put_too_wide(out);
    return write_general(out, value, precision, true);
}

std::string g_form_exact(int precision, double value)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_g_form_exact(text, precision, value));
}

// The same as shown: a tiny value is 0.
char* write_g_form(char* out, int precision, double value)
{
    return write_g_form_exact(out, precision, shown_value(value));
}

std::string g_form(int precision, double value)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_g_form(text, precision, value));
}

std::string g_form_lower(int precision, double value)
{
    if (!std::isfinite(value))
        return TOO_WIDE;
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_general(text, shown_value(value), precision, false));
}

std::string e4_form(double value)
{
    if (!std::isfinite(value))
        return TOO_WIDE;
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_exponent(text, value, 4, true));
}

// The decimal exponent of a finite, non-zero value (floor of log10 |value|).
int decimal_exponent(double value)
{
    return static_cast<int>(std::floor(std::log10(std::fabs(value))));
}

// Removes trailing zeros after the point (at most `limit` of them), and the
// point itself when nothing follows it and `drop_point` is set.
std::string trim_zeros(std::string s, size_t limit, bool drop_point)
{
    if (s.find('.') == std::string::npos)
        return s;
    size_t removed = 0;
    while (removed < limit && s.size() > 1 && s.back() == '0') {
        s.pop_back();
        ++removed;
    }
    if (drop_point && s.back() == '.')
        s.pop_back();
    return s;
}

// Feet and inches: 126.5 in -> "10'6.5", inches to `decimals` decimals
// (trailing zeros dropped). Lengths of a billion feet and more fall back to a
// plain number, which reads as feet.
std::string feet_and_inches(double inches, int decimals = 4)
{
    if (!std::isfinite(inches))
        return TOO_WIDE;
    double magnitude = std::fabs(inches);
    double feet = std::floor(magnitude / 12.0);
    if (feet >= 1.0e9)
        return g_form(5, inches / 12.0);
    const double scale = std::pow(10.0, decimals);
    double rest = std::round((magnitude - feet * 12.0) * scale) / scale;
    if (rest >= 12.0) {
        feet += 1.0;
        rest = 0.0;
    }
    char whole[NUMBER_TEXT_SIZE], part[NUMBER_TEXT_SIZE];
    std::string text = std::string(whole, write_fixed(whole, feet, 0)) + "'" +
                       trim_zeros(std::string(part, write_fixed(part, rest, decimals)), static_cast<size_t>(decimals), true);
    if (inches < 0.0 && (feet > 0.0 || rest > 0.0))
        text.insert(0, "-");
    return text;
}

// "E+6" short form: 2.95e7 -> "29.5E+6"; "E-6" short form: 6.5e-6 -> "6.5E-6".
char* write_mega_form(char* out, double value)
{
    if (!std::isfinite(value))
        return put_too_wide(out);
    // From 1E+10 on the short form would carry two exponents.
    char* end = write_g_form(out, 4, value / 1.0e6);
    if (std::find(out, end, 'E') != end)
        return write_g_form(out, 4, value);
    std::memcpy(end, "E+6", 3);
    return end + 3;
}

std::string mega_form(double value)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_mega_form(text, value));
}

char* put_text(char* out, const char* text)
{
    const size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

std::string micro_form(double value)
{
    if (!std::isfinite(value))
        return TOO_WIDE;
    return g_form(4, value * 1.0e6) + "E-6";
}

// Engineering form with an exponent that is a multiple of 3: 2.5e7 -> "25E+6".
std::string engineering_form(double value)
{
    if (!std::isfinite(value) || value == 0.0)
        return g_form(3, value);
    int exponent = static_cast<int>(std::floor(decimal_exponent(value) / 3.0)) * 3;
    double mantissa = value / std::pow(10.0, exponent);
    std::string digits = g_form(3, mantissa);
    if (digits.find('E') != std::string::npos) {  // 999.95 rounded up to 1000
        exponent += 3;
        digits = g_form(3, value / std::pow(10.0, exponent));
    }
    char power[NUMBER_TEXT_SIZE];
    return digits + "E" + (exponent < 0 ? "" : "+") + std::string(power, write_integer(power, exponent));
}

bool is_rigid(double value)
{
    return value >= 9.8e11 && value <= 1.02e12;
}

}  // namespace

double shown_value(double value)
{
    return std::fabs(value) < TINY ? 0.0 : value;
}

bool& moment_precision() { return session_part<MomentPrecision>().two_decimals; }

char* write_real(char* out, double value, int width, int decimals)
{
    if (!std::isfinite(value))
        return put_too_wide(out);
    decimals = std::clamp(decimals, 0, MAX_DECIMALS);
    char* end = write_fixed(out, value, decimals);
    if (width <= 0 || end - out <= width)
        return end;
    // The exponent form with the most decimals that fit: one digit, the
    // point and the decimals, and at least "E+00" (a sign first when
    // negative; a zero has none).
    const int sign = value < 0.0 ? 1 : 0;
    for (int d = std::min(width, MAX_DECIMALS); d >= 0; --d) {
        if (sign + 1 + (d > 0 ? d + 1 : 0) + 4 > width)
            continue;
        end = write_exponent(out, value, d, true);
        if (end - out <= width)
            return end;
    }
    return put_too_wide(out);
}

std::string format_real(double value, int width, int decimals)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_real(text, value, width, decimals));
}

RealForm force_integer_form()
{
    return {unit_scale(FORCE), 10, 0};
}

RealForm moment_integer_form()
{
    return {unit_scale(MOMENT), 10, moment_precision() ? 2 : 0};
}

ShownReal force_integer(double value)
{
    return force_integer_form().of(value);
}

ShownReal moment_integer(double value)
{
    return moment_integer_form().of(value);
}

std::string format_g3(double value)
{
    return g_form(3, value);
}

std::string format_g5(double value)
{
    return g_form(5, value);
}

std::string value_with_unit(int quantity, double value, const UnitChoices& units, int digits)
{
    const auto chosen = static_cast<std::size_t>(std::clamp(quantity, 0, NUM_UNIT_QUANTITIES));
    const int unit = unit_choice_valid(quantity, units[chosen]) ? units[chosen] : 0;
    const double shown = unit_from_internal(quantity, unit, value);
    // The digits of the whole part, so that a whole number reads without an
    // exponent up to 7 digits.
    constexpr int MOST_WHOLE_DIGITS = 7;
    int precision = std::max(1, digits);
    if (std::isfinite(shown) && std::fabs(shown) >= 1.0)
        precision =
            std::max(precision, std::min(MOST_WHOLE_DIGITS, static_cast<int>(std::log10(std::fabs(shown))) + 1));
    return g_form(precision, shown) + " " + unit_name(quantity, unit);
}

std::string value_with_unit(int quantity, double value, int digits)
{
    return value_with_unit(quantity, value, unit_choice(), digits);
}

std::string format_or_empty(double value, std::string (*format)(double))
{
    return value == 0.0 ? std::string() : format(value);
}

std::string int_text(int64_t value)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_integer(text, static_cast<long long>(value)));
}

std::string format_length(double value)
{
    double d = to_display(LENGTH, value);
    switch (current_unit(LENGTH)) {
    case 0: return feet_and_inches(value);
    case 2: return format_real(value, 11, 4);
    case 4: return g_form(6, d);
    default: return g_form(5, d);  // feet, m
    }
}

// The shortest text of the displayed form (feet and inches, or inches, with
// at least 4 decimals; else 5 significant digits) that parse_length reads
// back as the same float, and where that form cannot carry it (tiny and huge
// lengths) the plain number in the chosen unit with as many digits as it
// needs: every finite float comes back exactly.
std::string format_length_exact(double value)
{
    if (!std::isfinite(value))
        return TOO_WIDE;
    const float target = static_cast<float>(value);
    auto exact = [target](const std::string& text) {
        float back = 0.0f;
        return parse_length(text, back) == 0 && back == target;
    };
    const int unit = current_unit(LENGTH);
    for (int digits = 4; digits <= 9; ++digits) {
        std::string text;
        if (unit == 0 && std::fabs(value) < 12.0e9)
            text = feet_and_inches(value, digits);
        else if (unit == 2 && std::fabs(value) < 1.0e6)
            text = trim_zeros(fixed(value, digits), static_cast<size_t>(digits - 4), false);
        else
            text = g_form_exact(digits + 1, to_display(LENGTH, value));
        if (exact(text))
            return text;
    }
    // A plain number is feet in the feet-and-inches unit.
    const double d = to_display(LENGTH, value);
    for (int digits = 6; digits < 17; ++digits)
        if (std::string text = g_form_exact(digits, d); exact(text))
            return text;
    return g_form_exact(17, d);
}

std::string format_dimension(double value)
{
    if (current_unit(DIMENSION) == 0)
        return format_real(value, 11, 4);
    return g_form(5, to_display(DIMENSION, value));
}

namespace {

// The fewest significant digits of `shown` (the value in the unit shown)
// that `parse` reads back as the float `target`.
std::string shortest_exact(double shown, float target, int (*parse)(const std::string&, float&))
{
    std::string text;
    for (int digits = 1; digits <= 17; ++digits) {
        text = g_form_exact(digits, shown);
        float back = 0.0f;
        if (parse(text, back) == 0 && back == target)
            break;
    }
    return text;
}

}  // namespace

// The fewest significant digits that parse_dimension reads back as the same
// float: a radius typed as 9 shows as 9, one typed as 228.6 mm as 228.6.
std::string format_dimension_exact(double value)
{
    if (!std::isfinite(value))
        return TOO_WIDE;
    return shortest_exact(to_display(DIMENSION, value), static_cast<float>(value), parse_dimension);
}

std::string format_real_exact(double value, int width, int decimals)
{
    if (!std::isfinite(value))
        return TOO_WIDE;
    const float target = static_cast<float>(value);
    float back = 0.0f;
    if (std::string text = format_real(value, width, decimals); parse_real(text, back) == 0 && back == target)
        return text;
    return shortest_exact(value, target, parse_real);
}

ShownForm displacement_form()
{
    return {unit_scale(DISPLACEMENT), current_unit(DISPLACEMENT) == 0 ? 4 : 3};
}

ShownForm angle_form()
{
    return {unit_scale(ANGLE), current_unit(ANGLE) == 0 ? 4 : 6};
}

char* write_displacement_or_none(char* out, double value, const ShownForm& form)
{
    if (std::fabs(value) >= NONE_LIMIT)
        return put_text(out, "None");
    double d = form.scale.shown(value);
    if (std::fabs(d) < 1.0e-4)
        return put_text(out, "0");
    return write_real(out, d, 0, form.decimals);
}

char* write_displacement_or_none(char* out, double value)
{
    return write_displacement_or_none(out, value, displacement_form());
}

std::string format_displacement_or_none(double value)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_displacement_or_none(text, value));
}

std::string format_displacement_g5(double value)
{
    return g_form_lower(5, to_display(DISPLACEMENT, value));
}

std::string format_angle_or_none(double value)
{
    if (std::fabs(value) >= NONE_LIMIT)
        return "None";
    return g_form_lower(5, to_display(ANGLE, value));
}

// Rotations of the result tables: fixed point, 4 decimals in degrees and 6 in
// radians (rotations in radians are small); "0" when nothing shows.
char* write_angle(char* out, double value, const ShownForm& form)
{
    if (std::fabs(value) >= NONE_LIMIT)
        return put_text(out, "None");
    char* end = write_real(out, form.scale.shown(value), 0, form.decimals);
    if (std::all_of(out, end, [](char c) { return c == '0' || c == '.'; }))
        return put_text(out, "0");
    return end;
}

char* write_angle(char* out, double value)
{
    return write_angle(out, value, angle_form());
}

std::string format_angle(double value)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_angle(text, value));
}

std::string format_force(double value)
{
    if (value == 0.0)
        return "0";
    std::string text = format_real(to_display(FORCE, value), 10, 2);
    if (text.size() > 3 && text.ends_with(".00"))
        text.resize(text.size() - 3);
    return text;
}

std::string format_moment(double value)
{
    if (value == 0.0)
        return "0";
    std::string text = format_real(to_display(MOMENT, value), 10, 2);
    if (text.size() > 3 && text.ends_with(".00"))
        text.resize(text.size() - 3);
    return text;
}

std::string format_force_integer(double value)
{
    const ShownReal r = force_integer(value);
    return format_real(r.value, r.width, r.decimals);
}

std::string format_moment_integer(double value)
{
    const ShownReal r = moment_integer(value);
    return format_real(r.value, r.width, r.decimals);
}

std::string format_weight_per_length(double value)
{
    return value == 0.0 ? "" : g_form(5, to_display(WEIGHT_PER_LENGTH, value));
}

std::string format_weight(double value)
{
    return value == 0.0 ? "0" : g_form(5, to_display(WEIGHT, value));
}

// In lb/in3 at least 3 decimals and as many more as 4 significant digits
// need (water is 0.0361 lb/in3; a bare "%.3f" would show 0.036 and lose 0.3 %
// on the next read), trailing zeros after the third decimal dropped.
std::string format_density(double value)
{
    if (value == 0.0)
        return "";
    if (std::fabs(value) < ENTERED_ZERO_LIMIT)
        return "0.0";
    double d = to_display(DENSITY, value);
    if (current_unit(DENSITY) != 0)
        return g_form_lower(4, d);
    if (!std::isfinite(d))
        return TOO_WIDE;
    int decimals = std::max(3, 3 - decimal_exponent(d));
    if (decimals > 12)
        return g_form_lower(4, d);
    std::string text = fixed(d, decimals);
    return trim_zeros(text, static_cast<size_t>(decimals - 3), false);
}

std::string format_weight_density(double value)
{
    if (value == 0.0)
        return "";
    if (std::fabs(value) < ENTERED_ZERO_LIMIT)
        return "0";
    return g_form(5, to_display(WEIGHT_DENSITY, value));
}

// The entered-zero marker stands for 0 degF, which shows as -17.78 in C.
std::string format_temperature(double value)
{
    if (value == 0.0)
        return "";
    if (std::fabs(value) < ENTERED_ZERO_LIMIT)
        value = 0.0;
    return g_form_lower(4, to_display(TEMPERATURE, value));
}

// Coefficients in the micro range show in the "E-6" short form of the
// material tables ("6.5E-6"); anything else as "%.4G". Both read back.
std::string format_expansion(double value)
{
    if (value == 0.0)
        return "";
    if (std::fabs(value) < ENTERED_ZERO_LIMIT)
        return "0";
    double d = to_display(EXPANSION, value);
    double magnitude = std::fabs(d);
    if (magnitude >= 1.0e-9 && magnitude < 1.0e-3)
        return micro_form(d);
    return g_form(4, d);
}

std::string format_pressure(double value)
{
    if (value == 0.0)
        return "";
    if (std::fabs(value) < ENTERED_ZERO_LIMIT)
        return "0";
    double d = to_display(PRESSURE, value);
    if (!std::isfinite(d))
        return TOO_WIDE;
    int decimals = std::max(0, 2 - static_cast<int>(std::trunc(std::log10(std::fabs(d)))));
    return format_real(d, 10, std::min(decimals, 12));
}

// Stresses and moduli of a million and more show in the "E+6" short form of
// the material tables ("29.5E+6"), smaller ones with 6 significant digits.
char* write_stress(char* out, double value, const UnitScale& stress)
{
    double d = stress.shown(value);
    return std::fabs(d) >= 1.0e6 ? write_mega_form(out, d) : write_g_form(out, 6, d);
}

char* write_stress(char* out, double value)
{
    return write_stress(out, value, unit_scale(STRESS));
}

std::string format_stress(double value)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_stress(text, value));
}

// A modulus is never 0 (none is taken): every value shows its digits.
std::string format_modulus(double value)
{
    double d = to_display(MODULUS, value);
    return std::fabs(d) >= 1.0e6 ? mega_form(d) : g_form_exact(6, d);
}

std::string format_stiffness(double value)
{
    if (value == 0.0)
        return "0";
    if (is_rigid(value))
        return "Rigid";
    double d = to_display(STIFFNESS, value);
    if (std::fabs(value) >= 1.0e9 || std::fabs(d) > 99999.0)
        return e4_form(d);
    return g_form_lower(5, d);
}

// As format_stiffness; a value with a fraction shows 2 decimals, unless it is
// below 1, where 2 decimals would hide it.
std::string format_rot_stiffness(double value)
{
    if (value == 0.0)
        return "0";
    if (is_rigid(value))
        return "Rigid";
    double d = to_display(ROT_STIFFNESS, value);
    if (std::fabs(value) >= 1.0e9 || std::fabs(d) > 99999.0)
        return e4_form(d);
    if (d != std::trunc(d) && std::fabs(d) >= 1.0)
        return format_real(d, 10, 2);
    return g_form_lower(5, d);
}

std::string format_area(double value)
{
    return value == 0.0 ? "" : g_form(6, to_display(AREA, value));
}

std::string format_inertia(double value)
{
    return value == 0.0 ? "" : g_form(6, to_display(INERTIA, value));
}

std::string format_speed(double value)
{
    return g_form(5, to_display(SPEED, value));
}

// At most 8 characters: above a million the engineering form ("25E+6",
// "1.23E+9"), from 1000 whole numbers, below 4 significant digits.
std::string format_soil_stiffness(double value)
{
    if (value == 0.0)
        return "0";
    double d = to_display(STIFFNESS, value);
    if (!std::isfinite(d))
        return TOO_WIDE;
    if (std::fabs(d) > 1.0e6)
        return engineering_form(d);
    if (std::fabs(d) >= 1000.0)
        return fixed(d, 0);
    return g_form(4, d);
}

// Width 8: whole numbers, 2 decimals below 10.
std::string format_soil_force(double value)
{
    if (value == 0.0)
        return "0";
    double d = to_display(FORCE, value);
    return format_real(d, 8, std::fabs(d) < 10.0 ? 2 : 0);
}

std::string format_f3_trimmed(double value)
{
    return trim_zeros(fixed(value, 3), 2, false);
}

std::string format_factor_above_one(double value)
{
    if (!(value > 1.0))
        return "";
    return format_real(value, 7, value > 99.0 ? 1 : 2);
}

std::string format_percent(double value)
{
    return format_real(value, 8, 1);
}
