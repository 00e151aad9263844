#include "elements/element_common.h"

#include "elements/jacketed_bend.h"
#include "elements/reducer.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/bend_geometry.h"
#include "model/element_data.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/row_kinds.h"
#include "model/value_bounds.h"

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

std::string bend_wall_fault(double thickness, double section_od)
{
    if (thickness == 0.0)
        return {};
    if (std::string fault = beyond(WALL_THICKNESS_BOUND, thickness, "Thickness"); !fault.empty())
        return fault;
    if (section_od > 0.0 && thickness > section_od / 2.0)
        return "Thickness is greater than section radius";
    return {};
}

std::string element_size_fault(const LayoutRow& row, const std::function<double(const std::string&)>& section_od)
{
    const ElementData* element = row.element.get();
    if (!element)
        return {};
    const std::string at = " at node " + node_text(row.node) + ": ";
    if (const auto* reducer = dynamic_cast<const Reducer*>(element))
        if (std::string fault = reducer_fault(*reducer); !fault.empty())
            return "the reducer" + at + fault;
    const std::string kind = lower_case(element_type_name(row.etype));
    if (const BendGeometry* bend = element->bend_geometry())
        if (std::string fault = bend_wall_fault(bend->thickness, section_od(row.section)); !fault.empty())
            return "the " + kind + at + fault;
    if (const auto* jacketed = dynamic_cast<const JacketedBend*>(element))
        if (std::string fault = bend_wall_fault(jacketed->jacket.thickness, section_od(jacketed->jacket.section));
            !fault.empty())
            return "the jacket of the " + kind + at + fault;
    return {};
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
