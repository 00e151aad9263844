// Every formatter of a unit quantity with the parser that reads its texts,
// every parser, and the rule by which a formatted value reads back: to the
// precision its text shows. Shared by the unit tests, the unit parser fuzz
// target and the test that writes its seeds.
#pragma once

#include "framework/units.h"

#include <cmath>
#include <string>
#include <vector>

using UnitParser = int (*)(const std::string&, float&);
using UnitFormatter = std::string (*)(double);

inline int parse_plain_real(const std::string& text, float& out) { return parse_real(text, out); }

struct UnitTextPair {
    const char* name;
    int q;              // 0: unit-free
    UnitFormatter format;
    UnitParser parse;
    bool negative;      // the parser takes negative values
    bool zero = true;   // the parser takes zero
};

inline const std::vector<UnitTextPair>& unit_text_pairs()
{
    static const std::vector<UnitTextPair> list = {
        {"g3", 0, format_g3, parse_plain_real, true},
        {"g5", 0, format_g5, parse_plain_real, true},
        {"f3 trimmed", 0, format_f3_trimmed, parse_plain_real, true},
        {"percent", 0, format_percent, parse_plain_real, true},
        {"factor above one", 0, format_factor_above_one, parse_plain_real, true},
        {"length", LENGTH, format_length, parse_length, true},
        {"length exact", LENGTH, format_length_exact, parse_length, true},
        {"dimension", DIMENSION, format_dimension, parse_signed_dimension, true},
        {"displacement or none", DISPLACEMENT, format_displacement_or_none, parse_displacement, true},
        {"displacement g5", DISPLACEMENT, format_displacement_g5, parse_displacement, true},
        {"angle or none", ANGLE, format_angle_or_none, parse_angle, true},
        {"angle", ANGLE, format_angle, parse_angle, true},
        {"force", FORCE, format_force, parse_force, true},
        {"force integer", FORCE, format_force_integer, parse_force, true},
        {"soil force", FORCE, format_soil_force, parse_force, true},
        {"moment", MOMENT, format_moment, parse_moment, true},
        {"moment integer", MOMENT, format_moment_integer, parse_moment, true},
        {"weight per length", WEIGHT_PER_LENGTH, format_weight_per_length, parse_weight_per_length, false},
        {"weight", WEIGHT, format_weight, parse_weight, false},
        {"density", DENSITY, format_density, parse_density, false},
        {"weight density", WEIGHT_DENSITY, format_weight_density, parse_weight_density, false},
        {"temperature", TEMPERATURE, format_temperature, parse_temperature, true},
        {"expansion", EXPANSION, format_expansion, parse_expansion, true},
        {"pressure", PRESSURE, format_pressure, parse_pressure, true},
        {"stress", STRESS, format_stress, parse_stress, false},
        {"modulus", MODULUS, format_modulus, parse_modulus, false, false},
        {"stiffness", STIFFNESS, format_stiffness, parse_stiffness, false},
        {"soil stiffness", STIFFNESS, format_soil_stiffness, parse_stiffness, false},
        {"rot stiffness", ROT_STIFFNESS, format_rot_stiffness, parse_rot_stiffness, false},
        {"area", AREA, format_area, parse_area, false},
        {"inertia", INERTIA, format_inertia, parse_inertia, false},
        {"speed", SPEED, format_speed, parse_speed, false},
    };
    return list;
}

// Every parser of typed numbers with its quantity (0: unit-free), in the
// order the unit parser fuzz target numbers them (its inputs begin with the
// index).
struct UnitReader {
    int q;
    UnitParser parse;
};

inline const std::vector<UnitReader>& unit_readers()
{
    static const std::vector<UnitReader> list = {
        {0, parse_plain_real},
        {LENGTH, parse_length},
        {DIMENSION, parse_dimension},
        {DIMENSION, parse_signed_dimension},
        {DISPLACEMENT, parse_displacement},
        {ANGLE, parse_angle},
        {FORCE, parse_force},
        {MOMENT, parse_moment},
        {WEIGHT_PER_LENGTH, parse_weight_per_length},
        {WEIGHT, parse_weight},
        {DENSITY, parse_density},
        {WEIGHT_DENSITY, parse_weight_density},
        {TEMPERATURE, parse_temperature},
        {EXPANSION, parse_expansion},
        {PRESSURE, parse_pressure},
        {STRESS, parse_stress},
        {MODULUS, parse_modulus},
        {STIFFNESS, parse_stiffness},
        {ROT_STIFFNESS, parse_rot_stiffness},
        {AREA, parse_area},
        {INERTIA, parse_inertia},
        {SPEED, parse_speed},
    };
    return list;
}

// The value of one unit of the last digit of a number text as the parsers
// read it, in the display unit: 0.01 for "1.25", 1E+35 for "3.4E+37", and
// for a feet-and-inches text the last inch digit in feet. Worked out from
// the text alone, apart from the parser.
inline double last_digit_unit(const std::string& text, bool feet_and_inches)
{
    const std::size_t apostrophe = text.find('\'');
    auto decimals_of = [](const std::string& number) {
        const std::size_t point = number.find('.');
        return point == std::string::npos ? 0 : static_cast<int>(number.size() - point - 1);
    };
    if (feet_and_inches && apostrophe != std::string::npos)
        return std::pow(10.0, -decimals_of(text.substr(apostrophe + 1))) / 12.0;
    const std::size_t e = text.find_first_of("Ee");
    const int exponent = e == std::string::npos ? 0 : std::stoi(text.substr(e + 1));
    double unit = std::pow(10.0, exponent - decimals_of(text.substr(0, e)));
    if (feet_and_inches && !text.empty() && text.back() == '"')
        unit /= 12.0;
    return unit;
}

inline bool holds_number_word(const std::string& text)
{
    for (const char* word : {"NAN", "nan", "INF", "inf", "Inf"})
        if (text.find(word) != std::string::npos)
            return true;
    return false;
}

// What is wrong with the read-back of a float through the pair in the units
// chosen now: "" when its text reads back to within one unit of its last
// digit (and the rounding of a float), or when the text is one that stands
// for no number the parser takes ("None" for a displacement not given, an
// empty field).
inline std::string unit_read_back_problem(const UnitTextPair& p, float x)
{
    const std::string text = p.format(x);
    if (holds_number_word(text))
        return "shows \"" + text + "\"";
    if (text == "None")
        return std::fabs(x) >= NONE_LIMIT ? "" : "shows None";
    float back = 0.0f;
    if (p.parse(text, back) != 0)
        return "\"" + text + "\" does not read back";
    if (text == "Rigid")
        return back == RIGID_STIFFNESS ? "" : "Rigid reads back as another value";
    if (text.empty())
        return {};
    // The parsed float may differ from the shown number by the rounding of a
    // float (2^-23 of the value, taken on the internal value with its offset).
    const double shown = p.q == 0 ? x : to_display(p.q, x);
    const double read = p.q == 0 ? back : to_display(p.q, back);
    const double offset = p.q == 0 ? 0.0 : std::fabs(to_display(p.q, 0.0));
    const bool ft_in = p.q == LENGTH && current_unit(LENGTH) == 0;
    const double allowed = last_digit_unit(text, ft_in) + std::ldexp(std::fabs(shown) + offset, -22);
    if (std::fabs(read - shown) <= allowed)
        return {};
    return "\"" + text + "\" reads back as " + std::to_string(read) + " for " + std::to_string(shown);
}
