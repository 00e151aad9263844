#include "model/value_bounds.h"

#include "framework/text.h"
#include "framework/units.h"

#include <cmath>

bool within(const ValueBound& bound, double value)
{
    // A value typed at a bound is stored as the float nearest to it, which
    // may lie just outside: the ends take a float's rounding.
    constexpr double FLOAT_ROUNDING = 1.2e-7;
    return value >= bound.low - std::fabs(bound.low) * FLOAT_ROUNDING &&
           value <= bound.high + std::fabs(bound.high) * FLOAT_ROUNDING;
}

std::string value_text(int quantity, double value)
{
    return format_g5(to_display(quantity, value)) + " " + unit_name(quantity, current_unit(quantity));
}

std::string beyond(const ValueBound& b, double value, const std::string& what)
{
    if (within(b, value))
        return {};
    return c_format("%s of %s is beyond what a piping model can hold (%s to %s)", what.c_str(),
                    value_text(b.quantity, value).c_str(), value_text(b.quantity, b.low).c_str(),
                    value_text(b.quantity, b.high).c_str());
}
