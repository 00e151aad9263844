#include "elements/beam.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "materials/beam_section.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <cmath>

int beam_release_direction(int flag, bool z_vertical)
{
    switch (flag) {
    case BEAM_AXIAL: return 1;
    case BEAM_TORSION: return 4;
    case BEAM_MAJOR_SHEAR: return z_vertical ? 3 : 2;
    case BEAM_MINOR_SHEAR: return z_vertical ? 2 : 3;
    case BEAM_MAJOR_BENDING: return z_vertical ? 5 : 6;
    case BEAM_MINOR_BENDING: return z_vertical ? 6 : 5;
    default: return 0;
    }
}

LocalAxes beam_axes(const Vec3& a, const Vec3& b, double beta, bool z_vertical)
{
    LocalAxes axes;
    double x = b.x - a.x, y = b.y - a.y, z = b.z - a.z;
    if (length3(x, y, z) > 0.0) {
        normalize3(x, y, z);
        axes.x = {x, y, z};
    }
    complete_local_axes(axes, z_vertical);
    if (beta != 0.0) {
        const AxisRotation turn = AxisRotation::about({}, axes.x, beta);
        axes.y = turn.apply(axes.y);
        axes.z = turn.apply(axes.z);
    }
    return axes;
}

int beam_release_column(int flag)
{
    return 4 + 2 * (flag % BEAM_RELEASES_PER_END) + flag / BEAM_RELEASES_PER_END;
}

void Beam::read(BinFile& file)
{
    beta = file.read_float();
    for (uint8_t& flag : releases)
        flag = file.read_byte();
    if (file.error())
        return;
    check_record(finite_value(beta), "Beam", "the beta angle is not a number");
    for (uint8_t flag : releases)
        check_record(flag <= 1, "Beam", "an end release flag is invalid");
}

void Beam::write(BinFile& file) const
{
    file.write_float(beta);
    for (uint8_t flag : releases)
        file.write_byte(flag);
}

void Beam::copy_from(const ElementData& other)
{
    if (const auto* same = dynamic_cast<const Beam*>(&other)) {
        beta = same->beta;
        releases = same->releases;
    }
}

void Beam::count()
{
    model().list(BEAM_ROWS).count_one();
}

std::string Beam::cell_text(int column) const
{
    if (column == 3)
        return format_angle_or_none(beta);
    for (int flag = 0; flag < BEAM_RELEASE_COUNT; ++flag)
        if (beam_release_column(flag) == column)
            return releases[static_cast<std::size_t>(flag)] ? "Y" : "";
    return {};
}

void Beam::fill_dialog(Dialog& d) const
{
    if (beta != 0.0f)
        d.set_text(BEAM_BETA, format_angle_or_none(beta));
    for (int flag = 0; flag < BEAM_RELEASE_COUNT; ++flag)
        if (releases[static_cast<std::size_t>(flag)])
            d.check(BEAM_RELEASE_FIRST + flag, true);
}

void Beam::register_row(int row)
{
    model().list(BEAM_ROWS).add(row);
}

LocalAxes Beam::local_axes_of_row(int row)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return {};
    const LayoutRow& r = m.rows[row];
    const auto* beam = dynamic_cast<const Beam*>(r.element.get());
    if (!beam || !m.nodes.valid(r.start_node) || !m.nodes.valid(r.end_node))
        return {};
    return beam_axes(node_model_point(r.start_node), node_model_point(r.end_node), beam->beta,
                     analysis_options().z_vertical);
}

void Beam::set_local_axes(int row)
{
    local_axes() = local_axes_of_row(row);
}

void Beam::build_symbol(LayoutRow& row)
{
    const double u = view_state().element_half_width;
    double depth = 3.0 * u, width = u;
    if (const int s = beam_section_index(row.section)) {
        const BeamSection& section = beam_sections()[s];
        if (section.depth() != 0.0f && section.width() != 0.0f) {
            depth = section.depth();
            width = section.width();
        }
    }
    const Vec3 a = node_model_point(row.start_node), b = node_model_point(row.end_node);
    const bool z_vertical = analysis_options().z_vertical;
    const LocalAxes axes = beam_axes(a, b, beta, z_vertical);
    const double length = length3(b.x - a.x, b.y - a.y, b.z - a.z);
    const double tf = depth / 8.0;
    // Box axes: the member, the depth, the width.
    const Vec3& along_depth = z_vertical ? axes.z : axes.y;
    const Vec3& along_width = z_vertical ? axes.y : axes.z;
    const Vec3 box_axes[3] = {axes.x, along_depth, along_width};
    auto at = [&](double x, double d) {
        return Vec3{a.x + x * axes.x.x + d * along_depth.x, a.y + x * axes.x.y + d * along_depth.y,
                    a.z + x * axes.x.z + d * along_depth.z};
    };
    solid_box_init(parts[0], at(length / 2.0, 0.0), {length, depth - 2.0 * tf, width * 0.2}, box_axes);
    solid_box_init(parts[1], at(length / 2.0, (depth - tf) / 2.0), {length, tf, width}, box_axes);
    solid_box_init(parts[2], at(length / 2.0, -(depth - tf) / 2.0), {length, tf, width}, box_axes);
}

void Beam::build_outline(LayoutRow& row)
{
    LocalFrame2D frame;
    frame2d_between_nodes(row.start_node, row.end_node, frame);
    const auto u = static_cast<float>(view_state().element_half_width);
    quad_init(outline, frame2d_apply_scaled(frame, 0.0f, -u), frame2d_apply_scaled(frame, 1.0f, -u),
              frame2d_apply_scaled(frame, 1.0f, u), frame2d_apply_scaled(frame, 0.0f, u));
    quad_add_to_box(outline, row.box_2d);
    for (const SolidBox& part : parts)
        solid_box_add_to_box(part, row.box_render);
}

void Beam::draw_2d(LayoutRow& row)
{
    draw_select_pen(PEN_ELEMENT);
    draw_line(node_view_point(row.start_node), node_view_point(row.end_node));
}

void Beam::draw_3d(LayoutRow& row)
{
    const float alpha = row.transparent ? 0.6f : 1.0f;
    const bool grey = stress_colors_shown();
    const bool keep = view_state().color_by_load && !grey;
    for (int i = 0; i < 3; ++i) {
        if (grey)
            gl_set_color(0.5f, 0.5f, 0.5f);
        else if (!keep)
            i == 0 ? gl_set_color(0.0f, 0.5f, 0.5f, alpha) : gl_set_color(0.3f, 0.6f, 0.6f, alpha);
        gl_draw_solid_box(parts[i]);
    }
}

void Beam::draw_outline_2d()
{
    quad_draw(outline);
}

void Beam::draw_outline_3d()
{
    for (const SolidBox& part : parts)
        solid_box_draw_outline(part);
}

bool Beam::hit_test(float x, float y) const
{
    if (!view_state().render_view)
        return quad_contains(outline, x, y);
    for (const SolidBox& part : parts)
        if (solid_box_contains(part, x, y))
            return true;
    return false;
}

bool Beam::pick_and_edit(int row, float x, float y)
{
    if (!hit_test(x, y))
        return false;
    pick_edit_element(row);
    return true;
}
