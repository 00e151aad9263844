#include "qualification/ui/equipment_tables.h"

#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/nodes.h"

#include <utility>

void draw_group_column_rule(TableCanvas& c, int column, const std::set<int>& inner)
{
    if (!c.in_header || !inner.count(column) || !c.drawn(column)) {
        if (c.printing)
            tprint_column_rule(c, column);
        else
            tpaint_column_rule(c, column);
        return;
    }
    const int x = c.left[static_cast<std::size_t>(column)];
    const int top = c.header_line_y(1);
    if (c.printing)
        tprint_vline(c, x, top, c.bottom);
    else
        tpaint_vline(c, x, top, c.bottom);
}

std::string shaft_component_text(float v)
{
    return v == 0.0f ? std::string() : format_real_exact(v, 8, 3);
}

float read_shown_value(const ShownValues& shown, int item, int (*parse)(float&), const char* name)
{
    float v = 0.0f;
    if (shown.unchanged(item, v))
        return v;
    dialog_get_text(item);
    if (parse(v) != 0)
        throw_invalid(name);
    return v;
}

std::array<float, 3> read_shown_components(const ShownValues& shown, int first)
{
    static const char* const NAMES[3] = {"X comp", "Y comp", "Z comp"};
    std::array<float, 3> v{};
    for (int i = 0; i < 3; ++i)
        v[static_cast<std::size_t>(i)] = read_shown_value(shown, first + i, parse_real_buffer, NAMES[i]);
    return v;
}

std::array<float, 3> read_shown_direction(const ShownValues& shown, int first)
{
    const std::array<float, 3> v = read_shown_components(shown, first);
    if (v == std::array<float, 3>{})
        dialog_throw(first, "Direction is invalid");
    return v;
}

int read_node_field(int item, const char* name)
{
    dialog_get_text(item);
    return read_node_text(name);
}

int read_node_text(const char* name)
{
    if (item_text().empty())
        return 0;
    int number = 0;
    if (const int code = parse_node_text(number); code != 0)
        throw_name_node_error(name, code);
    if (std::string refusal = equipment_node_refusal(number, name); !refusal.empty())
        throw MessageText(std::move(refusal));
    return number;
}

std::string equipment_node_refusal(int number, const std::string& name)
{
    const int index = node_index(number);
    if (index == 0)
        return name + " =  " + node_text(number) + "  is not defined";
    if (model().nodes[index].kind == NODE_BEND_CORNER)
        return name + " =  " + node_text(number) + "  is bend node";
    return {};
}
