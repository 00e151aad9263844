#include "qualification/ui/qualification_fields.h"

#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/units.h"

#include <cmath>

namespace {

int parse_buffer(int quantity, float& out)
{
    switch (quantity) {
    case DIMENSION: return parse_dimension_buffer(out);
    case LENGTH: return parse_length_buffer(out);
    case FORCE: return parse_force_buffer(out);
    case MOMENT: return parse_moment_buffer(out);
    case TEMPERATURE: return parse_temperature_buffer(out);
    case PRESSURE: return parse_pressure_buffer(out);
    case STRESS: return parse_stress_buffer(out);
    case MODULUS: return parse_modulus_buffer(out);
    default: return parse_real_buffer(out);
    }
}

std::string format_quantity(double value, int quantity)
{
    switch (quantity) {
    case DIMENSION: return format_dimension(value);
    case LENGTH: return format_length(value);
    case FORCE: return format_force(value);
    case MOMENT: return format_moment(value);
    case TEMPERATURE: return format_temperature(value);
    case PRESSURE: return format_pressure(value);
    case STRESS: return format_stress(value);
    case MODULUS: return format_modulus(value);
    default: return format_g5(value);
    }
}

}  // namespace

std::string quantity_text(double value, int quantity)
{
    const std::string text = trimmed(format_quantity(value, quantity));
    return text.empty() ? std::string("0") : text;
}

std::string quantity_with_unit(double value, int quantity)
{
    return quantity_text(value, quantity) + " " + unit_label(quantity);
}

bool field_empty(int item)
{
    dialog_get_text(item);
    return item_text().empty();
}

float read_quantity(int item, const std::string& name, int quantity, FieldRule rule, const ShownValues* shown)
{
    float value = 0.0f;
    const char* takes = rule == FieldRule::Above0 ? ABOVE_ZERO : "it must be 0 or more";
    if (shown && shown->unchanged(item, value)) {
        dialog_get_text(item);
    } else {
        dialog_get_text(item);
        if (parse_buffer(quantity, value) != 0) {
            if (rule != FieldRule::Any)
                throw_invalid_taking(name, takes, false);
            throw_invalid(name);
        }
        // A typed zero of a pressure or temperature is a zero here.
        if (std::fabs(value) < ENTERED_ZERO_LIMIT)
            value = 0.0f;
    }
    if ((rule == FieldRule::Above0 && !(value > 0.0f)) || (rule == FieldRule::AtLeast0 && value < 0.0f))
        throw_invalid_taking(name, takes, true);
    return value;
}

int32_t read_whole(int item, const std::string& name)
{
    dialog_get_text(item);
    int32_t value = 0;
    if (parse_int_buffer(value) != 0)
        throw_invalid(name);
    return value;
}

void show_quantity(ShownValues& shown, int item, float value, int quantity, bool empty_for_zero)
{
    if (empty_for_zero && value == 0.0f) {
        shown.show(item, value, "");
        return;
    }
    shown.show(item, value, quantity == 0 ? format_g5(value) : quantity_text(value, quantity));
}
