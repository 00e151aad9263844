#include "exchange/exact_numbers.h"

#include "framework/strings.h"
#include "framework/units.h"

#include <cmath>
#include <cstdio>

namespace {

using Parser = int (*)(const std::string&, float&);

Parser parser_of(int quantity)
{
    switch (quantity) {
    case LENGTH: return parse_length;
    case DIMENSION: return parse_dimension;
    case DISPLACEMENT: return parse_displacement;
    case ANGLE: return parse_angle;
    case FORCE: return parse_force;
    case MOMENT: return parse_moment;
    case WEIGHT_PER_LENGTH: return parse_weight_per_length;
    case WEIGHT: return parse_weight;
    case DENSITY: return parse_density;
    case WEIGHT_DENSITY: return parse_weight_density;
    case TEMPERATURE: return parse_temperature;
    case EXPANSION: return parse_expansion;
    case PRESSURE: return parse_pressure;
    case STRESS: return parse_stress;
    case MODULUS: return parse_modulus;
    case STIFFNESS: return parse_stiffness;
    case ROT_STIFFNESS: return parse_rot_stiffness;
    case AREA: return parse_area;
    case INERTIA: return parse_inertia;
    case SPEED: return parse_speed;
    default: return nullptr;
    }
}

bool zero_marked(int quantity)
{
    return quantity == DENSITY || quantity == WEIGHT_DENSITY || quantity == TEMPERATURE || quantity == EXPANSION ||
           quantity == PRESSURE;
}

std::string g_text(int digits, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
    std::string text = buffer;
    return text == "-0" ? "0" : text;
}

// The shortest "%G" text of the display value that the parser reads as `target`.
std::string shortest(double display, float target, Parser parser)
{
    for (int digits = 6; digits <= 17; ++digits) {
        const std::string text = g_text(digits, display);
        float back = 0.0f;
        if (parser(text, back) == 0 && back == target)
            return text;
    }
    return g_text(17, display);
}

std::string exact_with(int quantity, double value, Parser parser)
{
    const float target = static_cast<float>(value);
    if (!std::isfinite(target))
        return "0";
    if (zero_marked(quantity)) {
        if (target == 0.0f)
            return "";
        // The entered zero is 0 in the internal unit: 0 degF is -17.78 degC.
        if (std::fabs(target) < ENTERED_ZERO_LIMIT)
            return shortest(to_display(quantity, 0.0), ENTERED_ZERO, parser);
    }
    if (target == 0.0f)
        return "0";
    if ((quantity == STIFFNESS || quantity == ROT_STIFFNESS) && target == RIGID_STIFFNESS)
        return "Rigid";
    if (quantity == LENGTH)
        return format_length_exact(value);
    return shortest(to_display(quantity, target), target, parser);
}

}  // namespace

std::string exact_quantity(int quantity, double value)
{
    return exact_with(quantity, value, parser_of(quantity));
}

std::string exact_signed_dimension(double value)
{
    return exact_with(DIMENSION, value, parse_signed_dimension);
}

std::string exact_quantity_required(int quantity, double value)
{
    const std::string text = exact_quantity(quantity, value);
    return text.empty() ? exact_quantity(quantity, ENTERED_ZERO) : text;
}

std::string exact_real(double value)
{
    const float target = static_cast<float>(value);
    if (!std::isfinite(target) || target == 0.0f)
        return "0";
    return shortest(target, target, [](const std::string& t, float& v) { return parse_real(t, v); });
}
