// Parsers of typed numbers in the chosen units.
//
// Feet-and-inches texts (length unit "ft-in"), after blanks are removed:
//   10        plain number: feet (10 ft = 120 in); exponents allowed
//   10'       feet
//   10'6      feet and inches; also 10'6" and 10'6.5
//   10-6      feet and inches with a hyphen as the separator; also 10-6"
//   6"        inches only; exponents allowed
//   -3'2      a leading sign applies to the whole length (-38 in)
// In the two-part forms both parts are plain decimals (no exponent) and the
// inch part carries no sign; inches of 12 or more are taken as they are.
//
// Exponents have no limit of their own: a value is refused only when it does
// not fit a float in the internal unit. A text that lies beyond the largest
// float by less than half a unit of its last digit (the rounded form of that
// float, "3.403E+38") is the largest float, so that every value a formatter
// writes reads back.
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace {

constexpr double FLOAT_MAX = std::numeric_limits<float>::max();

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// Checks the plain-number grammar: [sign] digits [. digits] [E [sign] digits],
// with at least one mantissa digit.
bool valid_real_text(std::string_view s, bool allow_exponent)
{
    size_t i = 0;
    size_t n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    int mantissa_digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        if (is_digit(s[i]))
            ++mantissa_digits;
        else if (s[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (mantissa_digits == 0)
        return false;
    if (i == n)
        return true;
    if (s[i] != 'E' || !allow_exponent)
        return false;
    ++i;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    int exponent_digits = 0;
    for (; i < n && is_digit(s[i]); ++i)
        ++exponent_digits;
    return exponent_digits > 0 && i == n;
}

// Half a unit of the last digit of a text that passed the grammar: 0.05 for
// "1.5", 5E+35 for "3.4E+37", 0.5 for "12".
double half_last_digit(std::string_view s)
{
    const size_t e = s.find('E');
    const std::string_view mantissa = s.substr(0, e);
    const size_t point = mantissa.find('.');
    const long decimals = point == std::string_view::npos ? 0 : static_cast<long>(mantissa.size() - point - 1);
    long exponent = 0;
    if (e != std::string_view::npos) {
        size_t i = e + 1;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            negative = s[i++] == '-';
        for (; i < s.size() && exponent < 100000; ++i)
            exponent = exponent * 10 + (s[i] - '0');
        if (negative)
            exponent = -exponent;
    }
    return 0.5 * std::pow(10.0, static_cast<double>(exponent - decimals));
}

// A cleaned text that passed the grammar, as a finite double, and half a
// unit of its last digit.
struct Number {
    double value = 0.0;
    double half_unit = 0.0;
};

bool read_number(std::string_view s, bool allow_exponent, Number& out)
{
    if (!valid_real_text(s, allow_exponent))
        return false;
    double value = 0.0;
    if (!parse_c_double(std::string(s), value))
        return false;
    out.value = value;
    out.half_unit = half_last_digit(s);
    return true;
}

// The value as a float when it fits one: a value beyond the largest float by
// no more than `half_unit` (the uncertainty of its text) is the largest float.
bool to_float(double value, double half_unit, float& out)
{
    if (!std::isfinite(value))
        return false;
    if (std::fabs(value) > FLOAT_MAX) {
        if (!(std::fabs(value) - std::fabs(half_unit) <= FLOAT_MAX))
            return false;
        value = std::copysign(FLOAT_MAX, value);
    }
    out = static_cast<float>(value);
    return true;
}

// Unsigned plain decimal of a two-part feet-and-inches text.
bool read_unsigned_decimal(std::string_view s, double& out)
{
    if (s.empty() || s[0] == '+' || s[0] == '-')
        return false;
    Number n;
    if (!read_number(s, false, n))
        return false;
    out = n.value;
    return true;
}

// Feet and inches (see the forms at the top of the file): the length in feet,
// and half a unit of the last digit of a plain number (in feet; 0 for the
// two-part forms, whose decimals are exact enough for any length).
bool read_feet_and_inches(const std::string& s, Number& feet_out)
{
    size_t apostrophe = s.find('\'');
    size_t quote = s.find('"');
    if (quote != std::string::npos && quote != s.size() - 1)
        return false;  // an inch mark only at the end
    std::string_view body(s);
    if (quote != std::string::npos)
        body.remove_suffix(1);

    if (apostrophe == std::string::npos) {
        size_t hyphen = std::string::npos;
        for (size_t i = 1; i < body.size(); ++i) {
            if (body[i] == '-' && body[i - 1] != 'E') {
                hyphen = i;
                break;
            }
        }
        if (quote != std::string::npos && hyphen == std::string::npos) {  // 6"
            Number n;
            if (!read_number(body, true, n))
                return false;
            feet_out = {n.value / 12.0, n.half_unit / 12.0};
            return true;
        }
        if (hyphen == std::string::npos)  // plain number: feet
            return read_number(body, true, feet_out);
        if (hyphen + 1 == body.size())
            return false;  // "10-" names no inches
        apostrophe = hyphen;
    }

    std::string_view feet_text = body.substr(0, apostrophe);
    std::string_view inch_text = body.substr(apostrophe + 1);
    double sign = 1.0;
    if (!feet_text.empty() && (feet_text[0] == '-' || feet_text[0] == '+')) {
        if (feet_text[0] == '-')
            sign = -1.0;
        feet_text.remove_prefix(1);
    }
    double feet = 0.0;
    if (!read_unsigned_decimal(feet_text, feet))
        return false;
    double extra = 0.0;
    if (!inch_text.empty() && !read_unsigned_decimal(inch_text, extra))
        return false;
    feet_out = {sign * (feet * 12.0 + extra) / 12.0, 0.0};
    return true;
}

enum ParseRule : unsigned {
    SIGNED = 0,
    NEGATIVE_REFUSED = 1u << 0,
    ZERO_MARKED = 1u << 1,        // an entered zero is stored as ENTERED_ZERO
    POSITIVE_ONLY = 1u << 2,      // zero and negative refused
    RIGID_WORD = 1u << 3,         // any leading part of "RIGID" is RIGID_STIFFNESS
};

int parse_quantity(const std::string& text, float& out, int q, unsigned rules)
{
    set_parse_refusal(text, "");
    std::string s = clean_number_text(text);
    if (s.empty()) {
        out = 0.0f;
        return 0;
    }
    if ((rules & RIGID_WORD) && std::string_view("RIGID").starts_with(s)) {
        out = RIGID_STIFFNESS;
        return 0;
    }
    Number display;
    if (q == LENGTH && current_unit(LENGTH) == 0) {
        if (!read_feet_and_inches(s, display))
            return 1;
    } else if (!read_number(s, true, display)) {
        return 1;
    }
    if ((rules & NEGATIVE_REFUSED) && display.value < 0.0) {
        set_parse_refusal(text, "it must be 0 or more");
        return 1;
    }
    if ((rules & POSITIVE_ONLY) && !(display.value > 0.0)) {
        set_parse_refusal(text, ABOVE_ZERO);
        return 1;
    }
    const double internal = to_internal(q, display.value);
    const double half_unit = to_internal(q, display.value + display.half_unit) - internal;
    float value = 0.0f;
    if (!to_float(internal, half_unit, value))
        return 1;
    value += 0.0f;  // turns -0 into 0
    if ((rules & POSITIVE_ONLY) && !(value > 0.0f))
        return 1;   // a value too small for a float
    if ((rules & ZERO_MARKED) && value == 0.0f)
        value = ENTERED_ZERO;
    out = value;
    return 0;
}

}  // namespace

std::string clean_number_text(const std::string& text)
{
    // A blank left between two digits makes the text unreadable.
    return upper_case(squeeze_blanks(text));
}

int parse_real(const std::string& text, double& out)
{
    std::string s = clean_number_text(text);
    if (s.empty()) {
        out = 0.0;
        return 0;
    }
    Number n;
    float value = 0.0f;
    if (!read_number(s, true, n) || !to_float(n.value, n.half_unit, value))
        return 1;
    out = std::fabs(n.value) > FLOAT_MAX ? value : n.value + 0.0;
    return 0;
}

int parse_real(const std::string& text, float& out)
{
    double value = 0.0;
    if (parse_real(text, value) != 0)
        return 1;
    out = static_cast<float>(value) + 0.0f;
    return 0;
}

int parse_int(const std::string& text, int32_t& out)
{
    std::string s = clean_number_text(text);
    if (s.empty()) {
        out = 0;
        return 0;
    }
    size_t i = 0;
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        i = 1;
    }
    if (i == s.size())
        return 1;  // a lone sign
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        if (!is_digit(s[i]))
            return 1;
        value = value * 10 + (s[i] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1)
            return 1;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
        return 1;
    out = static_cast<int32_t>(value);
    return 0;
}

int parse_length(const std::string& t, float& out) { return parse_quantity(t, out, LENGTH, SIGNED); }
int parse_dimension(const std::string& t, float& out) { return parse_quantity(t, out, DIMENSION, NEGATIVE_REFUSED); }
int parse_signed_dimension(const std::string& t, float& out) { return parse_quantity(t, out, DIMENSION, SIGNED); }
int parse_displacement(const std::string& t, float& out) { return parse_quantity(t, out, DISPLACEMENT, SIGNED); }
int parse_angle(const std::string& t, float& out) { return parse_quantity(t, out, ANGLE, SIGNED); }
int parse_force(const std::string& t, float& out) { return parse_quantity(t, out, FORCE, SIGNED); }
int parse_moment(const std::string& t, float& out) { return parse_quantity(t, out, MOMENT, SIGNED); }
int parse_weight_per_length(const std::string& t, float& out)
{
    return parse_quantity(t, out, WEIGHT_PER_LENGTH, NEGATIVE_REFUSED);
}
int parse_weight(const std::string& t, float& out) { return parse_quantity(t, out, WEIGHT, NEGATIVE_REFUSED); }
int parse_density(const std::string& t, float& out)
{
    return parse_quantity(t, out, DENSITY, NEGATIVE_REFUSED | ZERO_MARKED);
}
int parse_weight_density(const std::string& t, float& out)
{
    return parse_quantity(t, out, WEIGHT_DENSITY, NEGATIVE_REFUSED | ZERO_MARKED);
}
// The marker stands for an internal 0 degF: 0 C is 32 degF and stored as such.
int parse_temperature(const std::string& t, float& out) { return parse_quantity(t, out, TEMPERATURE, ZERO_MARKED); }
int parse_expansion(const std::string& t, float& out) { return parse_quantity(t, out, EXPANSION, ZERO_MARKED); }
int parse_pressure(const std::string& t, float& out) { return parse_quantity(t, out, PRESSURE, ZERO_MARKED); }
int parse_stress(const std::string& t, float& out) { return parse_quantity(t, out, STRESS, NEGATIVE_REFUSED); }
int parse_modulus(const std::string& t, float& out) { return parse_quantity(t, out, MODULUS, POSITIVE_ONLY); }
int parse_stiffness(const std::string& t, float& out)
{
    return parse_quantity(t, out, STIFFNESS, NEGATIVE_REFUSED | RIGID_WORD);
}
int parse_rot_stiffness(const std::string& t, float& out)
{
    return parse_quantity(t, out, ROT_STIFFNESS, NEGATIVE_REFUSED | RIGID_WORD);
}
int parse_area(const std::string& t, float& out) { return parse_quantity(t, out, AREA, NEGATIVE_REFUSED); }
int parse_inertia(const std::string& t, float& out) { return parse_quantity(t, out, INERTIA, NEGATIVE_REFUSED); }
int parse_speed(const std::string& t, float& out) { return parse_quantity(t, out, SPEED, NEGATIVE_REFUSED); }

namespace {

// The observer of the buffer parsers (the unit sweep of the tests).
struct BufferParseObserver {
    std::function<void(int)> observer;
};

int observed(int quantity, int code)
{
    if (const auto& o = session_part<BufferParseObserver>().observer)
        o(quantity);
    return code;
}

}  // namespace

void set_buffer_parse_observer(std::function<void(int quantity)> observer)
{
    session_part<BufferParseObserver>().observer = std::move(observer);
}

int parse_real_buffer(float& out) { return parse_real(item_text(), out); }
int parse_int_buffer(int32_t& out) { return parse_int(item_text(), out); }
int parse_length_buffer(float& out) { return observed(LENGTH, parse_length(item_text(), out)); }
int parse_dimension_buffer(float& out) { return observed(DIMENSION, parse_dimension(item_text(), out)); }
int parse_signed_dimension_buffer(float& out) { return observed(DIMENSION, parse_signed_dimension(item_text(), out)); }
int parse_displacement_buffer(float& out) { return observed(DISPLACEMENT, parse_displacement(item_text(), out)); }
int parse_angle_buffer(float& out) { return observed(ANGLE, parse_angle(item_text(), out)); }
int parse_force_buffer(float& out) { return observed(FORCE, parse_force(item_text(), out)); }
int parse_moment_buffer(float& out) { return observed(MOMENT, parse_moment(item_text(), out)); }
int parse_weight_per_length_buffer(float& out) { return observed(WEIGHT_PER_LENGTH, parse_weight_per_length(item_text(), out)); }
int parse_weight_buffer(float& out) { return observed(WEIGHT, parse_weight(item_text(), out)); }
int parse_density_buffer(float& out) { return observed(DENSITY, parse_density(item_text(), out)); }
int parse_weight_density_buffer(float& out) { return observed(WEIGHT_DENSITY, parse_weight_density(item_text(), out)); }
int parse_temperature_buffer(float& out) { return observed(TEMPERATURE, parse_temperature(item_text(), out)); }
int parse_expansion_buffer(float& out) { return observed(EXPANSION, parse_expansion(item_text(), out)); }
int parse_pressure_buffer(float& out) { return observed(PRESSURE, parse_pressure(item_text(), out)); }
int parse_stress_buffer(float& out) { return observed(STRESS, parse_stress(item_text(), out)); }
int parse_modulus_buffer(float& out) { return observed(MODULUS, parse_modulus(item_text(), out)); }
int parse_stiffness_buffer(float& out) { return observed(STIFFNESS, parse_stiffness(item_text(), out)); }
int parse_rot_stiffness_buffer(float& out) { return observed(ROT_STIFFNESS, parse_rot_stiffness(item_text(), out)); }
int parse_area_buffer(float& out) { return observed(AREA, parse_area(item_text(), out)); }
int parse_inertia_buffer(float& out) { return observed(INERTIA, parse_inertia(item_text(), out)); }
int parse_speed_buffer(float& out) { return observed(SPEED, parse_speed(item_text(), out)); }
