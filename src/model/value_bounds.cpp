#include "model/value_bounds.h"

#include "framework/errors.h"
#include "framework/number_text.h"
#include "framework/text.h"
#include "framework/units.h"

#include <cmath>

namespace {

std::string unit_text(int quantity)
{
    return " " + unit_name(quantity, current_unit(quantity));
}

// A value in the chosen unit with `digits` significant digits ("%.*G").
std::string shown_digits(int quantity, double value, int digits)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_general(text, to_display(quantity, value), digits));
}

// The value with the fewest digits, five at least, that read apart from the
// bound's value; at a float's nine digits every two floats differ.
std::string value_apart(int quantity, double value, double bound)
{
    constexpr int FLOAT_DIGITS = 9;
    for (int digits = 5; digits < FLOAT_DIGITS; ++digits) {
        std::string text = shown_digits(quantity, value, digits);
        if (text != shown_digits(quantity, bound, digits))
            return text + unit_text(quantity);
    }
    return shown_digits(quantity, value, FLOAT_DIGITS) + unit_text(quantity);
}

}  // namespace

bool within(const ValueBound& bound, double value)
{
    // A value typed at a bound is stored as the float nearest to it, which
    // may lie just outside: the ends take a float's rounding.
    constexpr double FLOAT_ROUNDING = 1.2e-7;
    return value >= bound.low - std::fabs(bound.low) * FLOAT_ROUNDING &&
           value <= bound.high + std::fabs(bound.high) * FLOAT_ROUNDING;
}

bool below_bound(const ValueBound& bound, double value)
{
    return !within(bound, value) && !(value > bound.low);
}

std::string value_text(int quantity, double value)
{
    return format_g5(to_display(quantity, value)) + unit_text(quantity);
}

std::string beyond(const ValueBound& b, double value, const std::string& what)
{
    if (within(b, value))
        return {};
    const std::string shown =
        std::isfinite(value) ? value_apart(b.quantity, value, value < b.low ? b.low : b.high) : value_text(b.quantity, value);
    return c_format("%s of %s is beyond what a piping model can hold (%s to %s)", what.c_str(), shown.c_str(),
                    value_text(b.quantity, b.low).c_str(), value_text(b.quantity, b.high).c_str());
}

std::string below_bound_text(const ValueBound& b)
{
    if (b.low == 0.0)
        return "it must be 0 or more";
    return "it must be at least " + value_text(b.quantity, b.low);
}

void throw_below_bound(const std::string& name, const ValueBound& b, bool number_read)
{
    throw_invalid_taking(name, below_bound_text(b), number_read);
}
