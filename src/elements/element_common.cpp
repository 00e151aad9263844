#include "elements/element_common.h"

#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/model.h"

#include <cmath>

void check_record(bool ok, const char* kind, const char* what)
{
    if (!ok)
        throw_message(c_format("%s: %s", kind, what));
}

bool finite_value(float value, bool non_negative)
{
    return std::isfinite(value) && (!non_negative || value >= 0.0f);
}

std::string dimension_or_empty(float value)
{
    return value == 0.0f ? std::string() : format_dimension(value);
}

std::string flexibility_factor_text(float value)
{
    return value < 0.0f ? std::string() : c_format("%.5G", double(value));
}

bool material_is_frp(const std::string& name)
{
    const int index = pipe_material_index(name);
    return index != 0 && pipe_materials()[index].frp != 0;
}

double section_radius(const std::string& name)
{
    const int index = section_index(name);
    return index != 0 ? pipe_sections()[index].outside_diameter / 2.0 : 0.0;
}

int row_of(const LayoutRow& row)
{
    return layout_row_index(row);
}
