#include "elements/jacketed_bend.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/state.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <algorithm>

namespace {

void select_radius(Dialog& d, int first_radio, int edit, uint8_t kind, float radius)
{
    for (int k = RADIUS_LONG; k <= RADIUS_USER; ++k)
        d.check(first_radio + k, kind == k);
    d.enable(edit, kind == RADIUS_USER);
    if (kind == RADIUS_USER)
        d.set_text(edit, format_dimension(radius));
}

}  // namespace

bool jacket_clearance_short(const std::string& jacket_section, const std::string& core_section)
{
    const int j = section_index(jacket_section);
    const int c = section_index(core_section);
    if (j == 0 || c == 0)
        return false;
    const PipeSection& jacket = pipe_sections()[j];
    const PipeSection& core = pipe_sections()[c];
    // The same rule as the section checks (jacket_clearance_violated).
    return double(jacket.outside_diameter) - 2.0 * (double(jacket.thickness) + jacket.lining_thickness) <
           double(core.outside_diameter) + 2.0 * double(core.insulation_thickness);
}

JacketHooks& jacket_hooks()
{
    return session_part<JacketHooks>();
}

std::vector<std::string> pipe_load_names()
{
    const auto& names = jacket_hooks().pipe_load_names;
    return names ? names() : std::vector<std::string>{};
}

int name_entry(const std::vector<std::string>& names, const std::string& name)
{
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

// ---- Record ----------------------------------------------------------------------------------

void JacketedBend::read(BinFile& file)
{
    read_bend(file);
    const std::size_t width = bend_record_name_width();
    jacket.material = read_row_name(file, width);
    jacket.section = read_row_name(file, width);
    jacket.load = read_row_name(file, width);
    jacket.previous_node = file.read_int();
    jacket.near_node = file.read_int();
    jacket.radius = file.read_float();
    jacket.thickness = file.read_float();
    jacket.radius_kind = file.read_byte();
    jacket.flanged_ends = file.read_byte();
    file.read_floats(jacket.centre, 3);
    jacket.far_node = file.read_int();
    if (file.error())
        return;
    const char* kind = "Jacketed bend";
    check_record(finite_value(jacket.radius, true) && finite_value(jacket.thickness, true), kind,
                 "the jacket's radius or thickness is not a number or below 0");
    check_record(jacket.radius_kind <= RADIUS_USER, kind, "the jacket's radius kind is invalid");
    check_record(jacket.flanged_ends <= 2, kind, "the jacket's number of flanged ends is invalid");
    // The jacket's arc is laid out again by every model build.
    jacket.previous_node = jacket.near_node = jacket.far_node = 0;
}

void JacketedBend::write(BinFile& file) const
{
    write_bend(file);
    write_row_name(file, jacket.material);
    write_row_name(file, jacket.section);
    write_row_name(file, jacket.load);
    file.write_int(jacket.previous_node);
    file.write_int(jacket.near_node);
    file.write_float(jacket.radius);
    file.write_float(jacket.thickness);
    file.write_byte(jacket.radius_kind);
    file.write_byte(jacket.flanged_ends);
    file.write_floats(jacket.centre, 3);
    file.write_int(jacket.far_node);
}

void JacketedBend::copy_from(const ElementData& other)
{
    const auto* same = dynamic_cast<const JacketedBend*>(&other);
    if (!same)
        return;
    copy_bend(*same);
    jacket.material = same->jacket.material;
    jacket.section = same->jacket.section;
    jacket.load = same->jacket.load;
    jacket.radius = same->jacket.radius;
    jacket.thickness = same->jacket.thickness;
    jacket.radius_kind = same->jacket.radius_kind;
}

void JacketedBend::section_terms(ElementSectionTerms& terms) const
{
    terms.user_flexibility_factor = -1.0;
    terms.miter_spacing = 0;
}

// ---- Lists and cells ---------------------------------------------------------------------------

void JacketedBend::count()
{
    model().list(JACKET_ROWS).count_one();
}

void JacketedBend::register_row(int row)
{
    model().list(JACKET_ROWS).add(row);
}

std::string JacketedBend::cell_text(int column) const
{
    switch (column) {
    case 3: return "Jbend";
    case 4: return jacket.material;
    case 6: return jacket.section;
    case 8: return jacket.load;
    case 10: return format_dimension(jacket.radius);
    case 11: return format_dimension(geometry.radius);
    case 12: return dimension_or_empty(jacket.thickness);
    case 13: return dimension_or_empty(geometry.thickness);
    default: return {};
    }
}

void JacketedBend::fill_dialog(Dialog& d) const
{
    d.list_select(JBEND_JACKET_MATERIAL, pipe_material_index(jacket.material) - 1);
    d.list_select(JBEND_JACKET_SECTION, section_index(jacket.section) - 1);
    d.list_select(JBEND_JACKET_LOAD, jacket.load.empty() ? -1 : name_entry(pipe_load_names(), jacket.load));
    select_radius(d, JBEND_JACKET_LONG, JBEND_JACKET_RADIUS, jacket.radius_kind, jacket.radius);
    select_radius(d, JBEND_CORE_LONG, JBEND_CORE_RADIUS, geometry.radius_kind, geometry.radius);
    if (jacket.thickness != 0.0f)
        d.set_text(JBEND_JACKET_THICKNESS, format_dimension(jacket.thickness));
    if (geometry.thickness != 0.0f)
        d.set_text(JBEND_CORE_THICKNESS, format_dimension(geometry.thickness));
    if (geometry.node1 != 0) {
        d.set_text(JBEND_NODE1, node_text(geometry.node1));
        d.set_text(JBEND_ANGLE1, format_angle(geometry.angle1));
    }
    if (geometry.node2 != 0) {
        d.set_text(JBEND_NODE2, node_text(geometry.node2));
        d.set_text(JBEND_ANGLE2, format_angle(geometry.angle2));
    }
}

// ---- Symbol ------------------------------------------------------------------------------------

void JacketedBend::build_symbol(LayoutRow& row)
{
    Bend::build_symbol(row);
    BendSymbolNodes n;
    n.previous = jacket.previous_node;
    n.corner = row.node ? node_index(jacket_node_number(row.node)) : 0;
    n.valid = symbol.nodes.valid && jacket.near_node != 0 && jacket.far_node != 0;
    n.near = jacket.near_node;
    n.far = jacket.far_node;
    n.centre = {jacket.centre[0], jacket.centre[1], jacket.centre[2]};
    n.angle = geometry.bend_angle;
    n.bend_radius = jacket.radius;
    n.radius = section_radius(jacket.section);
    build_bend_symbol(jacket_symbol, n);
}

void JacketedBend::build_outline(LayoutRow& row)
{
    Bend::build_outline(row);
    build_bend_outline(jacket_symbol, row);
}

void JacketedBend::draw_2d(LayoutRow& row)
{
    Bend::draw_2d(row);
    draw_bend_2d(jacket_symbol, PEN_JACKET, PEN_JACKET);
}

void JacketedBend::draw_3d(LayoutRow& row)
{
    if (stress_colors_shown())
        return;
    gl_set_color(0.5f, 0.5f, 0.5f);
    Bend::draw_3d(row);
}

void JacketedBend::draw_jacket_3d(LayoutRow&)
{
    if (stress_colors_shown() || !jacket_symbol.nodes.valid)
        return;
    gl_blend(true);
    gl_set_color(0.3f, 0.5f, 0.6f, 0.85f);
    draw_bend_3d(jacket_symbol);
    gl_blend(false);
}

void JacketedBend::draw_outline_2d()
{
    draw_bend_outline_2d(jacket_symbol);
}

void JacketedBend::draw_outline_3d()
{
    draw_bend_outline_3d(jacket_symbol);
}

bool JacketedBend::pick_and_edit(int row, float x, float y)
{
    if (!bend_symbol_hit(jacket_symbol, x, y))
        return false;
    pick_edit_element(row, true);
    return true;
}
