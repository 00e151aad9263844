#include "elements/bend.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "model/analysis_options.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/piping_codes.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <cmath>
#include <utility>
#include <typeinfo>

std::size_t bend_record_name_width()
{
    return model_file_version() < BEND_SIX_BYTE_NAMES_VERSION ? 4 : NAME_FIELD_WIDTH;
}

bool bend_uses_b31j()
{
    return analysis_options().use_b31j;
}

bool bend_shows_out_of_plane_sif()
{
    return code_is_b313_group() || bend_uses_b31j();
}

bool bend_shows_axial_sif()
{
    return piping_code() == CODE_B313 || piping_code() == CODE_B3112;
}

const char* bend_dialog_name()
{
    return bend_shows_out_of_plane_sif() ? "BEND2_DIALOG" : "BEND1_DIALOG";
}

// ---- Record ----------------------------------------------------------------------------------

void Bend::read_bend(BinFile& file)
{
    const int32_t version = model_file_version();
    BendGeometry& g = geometry;
    g.radius = file.read_float();
    g.thickness = file.read_float();
    if (version >= BEND_MATERIAL_VERSION) {
        g.material = read_row_name(file, bend_record_name_width());
        ff_in = file.read_float();
    }
    if (version >= BEND_B31J_VERSION)
        ff_out = file.read_float();
    if (version >= BEND_SIF_VERSION) {
        sif_in = file.read_float();
        sif_out = file.read_float();
    }
    if (version >= BEND_B31J_VERSION) {
        sif_axial = file.read_float();
        sif_torsion = file.read_float();
    }
    g.node1 = file.read_int();
    g.node2 = file.read_int();
    g.angle1 = file.read_float();
    g.angle2 = file.read_float();
    g.radius_kind = file.read_byte();
    g.flanged_ends = file.read_byte();
    g.geometry_valid = file.read_byte();
    g.bend_angle = file.read_float();
    file.read_floats(g.centre, 3);
    g.far_node = file.read_int();
    if (file.error())
        return;

    const char* kind = "Bend";
    check_record(finite_value(g.radius, true) && finite_value(g.thickness, true), kind,
                 "the radius or the thickness is not a number or below 0");
    check_record(finite_value(ff_in) && finite_value(ff_out), kind, "a flexibility factor is not a number");
    for (float sif : {sif_in, sif_out, sif_axial, sif_torsion})
        check_record(finite_value(sif, true), kind, "a SIF is not a number or below 0");
    for (int32_t node : {g.node1, g.node2})
        check_record(node >= 0 && node <= MAX_NODE_NUMBER, kind, "an intermediate node number is invalid");
    for (float angle : {g.angle1, g.angle2})
        check_record(finite_value(angle, true), kind, "an intermediate angle is not a number or below 0");
    check_record(g.radius_kind <= RADIUS_USER, kind, "the radius kind is invalid");
    check_record(g.flanged_ends <= 2, kind, "the number of flanged ends is invalid");
    // The arc is laid out again by every model build.
    g.geometry_valid = 0;
    g.far_node = 0;
}

void Bend::write_bend(BinFile& file) const
{
    const BendGeometry& g = geometry;
    file.write_float(g.radius);
    file.write_float(g.thickness);
    write_row_name(file, g.material);
    file.write_float(ff_in);
    file.write_float(ff_out);
    file.write_float(sif_in);
    file.write_float(sif_out);
    file.write_float(sif_axial);
    file.write_float(sif_torsion);
    file.write_int(g.node1);
    file.write_int(g.node2);
    file.write_float(g.angle1);
    file.write_float(g.angle2);
    file.write_byte(g.radius_kind);
    file.write_byte(g.flanged_ends);
    file.write_byte(g.geometry_valid);
    file.write_float(g.bend_angle);
    file.write_floats(g.centre, 3);
    file.write_int(g.far_node);
}

void Bend::copy_bend_values(const Bend& other)
{
    const BendGeometry& o = other.geometry;
    geometry.radius_kind = o.radius_kind;
    geometry.radius = o.radius;
    geometry.thickness = o.thickness;
    geometry.material = o.material;
    ff_in = other.ff_in;
    ff_out = other.ff_out;
    sif_in = other.sif_in;
    sif_out = other.sif_out;
    sif_axial = other.sif_axial;
    sif_torsion = other.sif_torsion;
}

bool Bend::same_bend_values(const Bend& other) const
{
    const BendGeometry& o = other.geometry;
    return geometry.radius_kind == o.radius_kind && geometry.radius == o.radius && geometry.thickness == o.thickness &&
           geometry.material == o.material && ff_in == other.ff_in && ff_out == other.ff_out &&
           sif_in == other.sif_in && sif_out == other.sif_out && sif_axial == other.sif_axial &&
           sif_torsion == other.sif_torsion;
}

bool Bend::same_intermediate_nodes(const Bend& other) const
{
    const BendGeometry& o = other.geometry;
    return geometry.node1 == o.node1 && geometry.node2 == o.node2 && geometry.angle1 == o.angle1 &&
           geometry.angle2 == o.angle2;
}

void Bend::copy_intermediate_nodes(const Bend& other, int offset)
{
    const BendGeometry& o = other.geometry;
    geometry.node1 = o.node1 ? o.node1 + offset : 0;
    geometry.node2 = o.node2 ? o.node2 + offset : 0;
    geometry.angle1 = o.angle1;
    geometry.angle2 = o.angle2;
}

void Bend::copy_bend(const Bend& other)
{
    copy_bend_values(other);
    // Copies made by the generate command get their own intermediate nodes.
    copy_intermediate_nodes(other, generate_node_offset());
}

void Bend::read(BinFile& file)
{
    read_bend(file);
}

void Bend::write(BinFile& file) const
{
    write_bend(file);
}

void Bend::copy_from(const ElementData& other)
{
    if (const auto* same = dynamic_cast<const Bend*>(&other); same && typeid(*same) == typeid(*this))
        copy_bend(*same);
}

void Bend::take_previous_bend(const ElementData& previous)
{
    if (const auto* bend = dynamic_cast<const Bend*>(&previous))
        copy_bend_values(*bend);
    else
        ElementData::take_previous_bend(previous);
}

void Bend::section_terms(ElementSectionTerms& terms) const
{
    terms.user_flexibility_factor = ff_in;
    terms.miter_spacing = 0;
}

// ---- Lists and cells ---------------------------------------------------------------------------

void Bend::count()
{
    model().list(BEND_ROWS).count_one();
}

void Bend::register_row(int row)
{
    model().list(BEND_ROWS).add(row);
}

std::string Bend::cell_text(int column) const
{
    const BendGeometry& g = geometry;
    switch (column) {
    case 2: return format_dimension(g.radius);
    case 3: return g.radius_kind == RADIUS_SHORT ? "Short" : g.radius_kind == RADIUS_USER ? "User" : "Long";
    case 4: return dimension_or_empty(g.thickness);
    case 5: return g.material;
    case 6: return flexibility_factor_text(ff_in);
    case 7: return bend_uses_b31j() ? flexibility_factor_text(ff_out) : std::string();
    case 8: return format_factor_above_one(sif_in);
    case 9: return bend_shows_out_of_plane_sif() ? format_factor_above_one(sif_out) : std::string();
    case 10: return bend_shows_axial_sif() ? format_factor_above_one(sif_axial) : std::string();
    case 11: return bend_uses_b31j() ? format_factor_above_one(sif_torsion) : std::string();
    case 12: return g.node1 ? node_text(g.node1) : std::string();
    case 13: return g.node1 ? format_angle(g.angle1) : std::string();
    case 14: return g.node2 ? node_text(g.node2) : std::string();
    case 15: return g.node2 ? format_angle(g.angle2) : std::string();
    default: return {};
    }
}

void Bend::fill_dialog(Dialog& d) const
{
    const BendGeometry& g = geometry;
    d.check(BEND_LONG, g.radius_kind == RADIUS_LONG);
    d.check(BEND_SHORT, g.radius_kind == RADIUS_SHORT);
    d.check(BEND_USER, g.radius_kind == RADIUS_USER);
    const bool user = g.radius_kind == RADIUS_USER;
    d.enable(BEND_RADIUS, user);
    d.enable(BEND_RADIUS_UNIT, user);
    if (user)
        d.set_text(BEND_RADIUS, format_dimension_exact(g.radius));
    if (g.thickness != 0.0f)
        d.set_text(BEND_THICKNESS, format_dimension(g.thickness));
    // The combo holds the default entry and then the materials.
    d.list_select(BEND_MATERIAL, pipe_material_index(g.material));
    if (ff_in >= 0.0f)
        d.set_text(BEND_FF_IN, flexibility_factor_text(ff_in));
    if (ff_out >= 0.0f && d.has_item(BEND_FF_OUT))
        d.set_text(BEND_FF_OUT, flexibility_factor_text(ff_out));
    if (sif_in != 0.0f)
        d.set_text(BEND_SIF_IN, format_factor_above_one(sif_in));
    if (bend_shows_out_of_plane_sif() && sif_out != 0.0f && d.has_item(BEND_SIF_OUT))
        d.set_text(BEND_SIF_OUT, format_factor_above_one(sif_out));
    if (bend_shows_axial_sif() && sif_axial != 0.0f && d.has_item(BEND_SIF_AXIAL))
        d.set_text(BEND_SIF_AXIAL, format_factor_above_one(sif_axial));
    if (bend_uses_b31j() && sif_torsion != 0.0f && d.has_item(BEND_SIF_TORSION))
        d.set_text(BEND_SIF_TORSION, format_factor_above_one(sif_torsion));
    if (g.node1 != 0) {
        d.set_text(BEND_NODE1, node_text(g.node1));
        d.set_text(BEND_ANGLE1, format_angle(g.angle1));
    }
    if (g.node2 != 0) {
        d.set_text(BEND_NODE2, node_text(g.node2));
        d.set_text(BEND_ANGLE2, format_angle(g.angle2));
    }
    d.focus(user ? BEND_RADIUS : BEND_THICKNESS, true);
}

// ---- Symbol ------------------------------------------------------------------------------------

const std::string& Bend::material_of(const LayoutRow& row) const
{
    return geometry.material.empty() ? row.material : geometry.material;
}

BendSymbolNodes Bend::symbol_nodes(const LayoutRow& row) const
{
    const int index = row_of(row);
    BendSymbolNodes n;
    n.previous = row.start_node;
    n.corner = row.node_index;
    n.valid = geometry.geometry_valid != 0 && geometry.far_node != 0 && row.end_node != 0;
    n.near = row.end_node;
    n.far = geometry.far_node;
    n.centre = {geometry.centre[0], geometry.centre[1], geometry.centre[2]};
    n.angle = geometry.bend_angle;
    n.bend_radius = geometry.radius;
    n.radius = section_radius(row.section);
    n.leg_end_disks = index != 0 && LayoutRow::next_to_end_element(index);
    return n;
}

void Bend::build_symbol(LayoutRow& row)
{
    build_bend_symbol(symbol, symbol_nodes(row));
}

void Bend::build_outline(LayoutRow& row)
{
    build_bend_outline(symbol, row);
}

void Bend::draw_2d(LayoutRow&)
{
    draw_bend_2d(symbol, PEN_ELEMENT, PEN_ELEMENT);
}

void Bend::draw_3d(LayoutRow& row)
{
    if (stress_colors_shown())
        return;
    if (symbol.nodes.valid)
        set_pipe_color(material_is_frp(material_of(row)), row.transparent != 0);
    draw_bend_3d(symbol);
}

void Bend::draw_outline_2d()
{
    draw_bend_outline_2d(symbol);
}

void Bend::draw_outline_3d()
{
    draw_bend_outline_3d(symbol);
}

bool Bend::pick_and_edit(int row, float x, float y)
{
    if (!bend_symbol_hit(symbol, x, y))
        return false;
    pick_edit_element(row, true);
    return true;
}

void order_intermediate_nodes(int& node1, float& angle1, int& node2, float& angle2)
{
    if (node1 == 0 && node2 != 0) {
        std::swap(node1, node2);
        std::swap(angle1, angle2);
    }
    if (node1 != 0 && node2 != 0 && angle2 < angle1) {
        std::swap(node1, node2);
        std::swap(angle1, angle2);
    }
    if (node2 == 0)
        angle2 = 0.0f;
    if (node1 == 0)
        angle1 = 0.0f;
}
