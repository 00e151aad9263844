#include "loads/ui/load_fields.h"

#include "framework/strings.h"
#include "framework/units.h"
#include "loads/pipe_load.h"

namespace {

std::string plain_text(double v) { return format_g5(v); }

}  // namespace

const ValueKind TEMPERATURE_VALUE{TEMPERATURE, parse_temperature_buffer, format_temperature};
const ValueKind PRESSURE_VALUE{PRESSURE, parse_pressure_buffer, format_pressure};
const ValueKind FORCE_VALUE{FORCE, parse_force_buffer, format_force};
const ValueKind MOMENT_VALUE{MOMENT, parse_moment_buffer, format_moment};
const ValueKind WEIGHT_VALUE{WEIGHT, parse_weight_buffer, format_weight};
const ValueKind WEIGHT_PER_LENGTH_VALUE{WEIGHT_PER_LENGTH, parse_weight_per_length_buffer, format_weight_per_length};
const ValueKind LENGTH_VALUE{LENGTH, parse_length_buffer, format_length};
const ValueKind ANGLE_VALUE{ANGLE, parse_angle_buffer, format_angle};
const ValueKind SPEED_VALUE{SPEED, parse_speed_buffer, format_speed};
const ValueKind REAL_VALUE{0, parse_real_buffer, plain_text};

std::string value_text(const ValueKind& kind, float value)
{
    if (value == 0.0f)
        return {};
    std::string text = kind.format(value);
    trim_blanks(text);
    return text;
}

bool not_below_zero(float v) { return v >= 0.0f; }

bool temperature_in_range(float v) { return v == 0.0f || v >= LOWEST_LOAD_TEMPERATURE; }

float read_value_text(const ValueKind& kind, const char* name, float empty, const ValueTest& test)
{
    if (item_text().empty())
        return empty;
    float v = 0.0f;
    if (kind.parse(v) != 0 || (test && !test(v)))
        throw_invalid(name);
    return v;
}

void ValueFields::show(int item, float value, const ValueKind& kind, bool show_zero)
{
    std::string text;
    if (value != 0.0f || show_zero) {
        text = kind.format(value);
        trim_blanks(text);
    }
    shown_.show(item, value, text);
}

float ValueFields::read(int item, const char* name, const ValueKind& kind, const ValueTest& test, bool required,
                        float empty)
{
    float exact = 0.0f;
    if (shown_.unchanged(item, exact)) {
        dialog_get_text(item);
        return exact;
    }
    dialog_get_text(item);
    if (item_text().empty() && required)
        throw_required(name);
    return read_value_text(kind, name, empty, test);
}
