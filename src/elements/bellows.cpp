#include "elements/bellows.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <algorithm>
#include <cmath>

int bellows_convolutions(double length, double radius)
{
    if (!(radius > 0.0) || !std::isfinite(length))
        return 0;
    const double n = std::floor(length / (0.5 * radius));
    return static_cast<int>(std::clamp(n, 1.0, double(MAX_BELLOWS_CONVOLUTIONS)));
}

void Bellows::read(BinFile& file)
{
    axial_stiffness = file.read_float();
    bending_stiffness = file.read_float();
    torsional_stiffness = file.read_float();
    lateral_stiffness = file.read_float();
    thrust_area = file.read_float();
    weight = file.read_float();
    mean_diameter = model_file_version() >= BELLOWS_DIAMETER_VERSION ? file.read_float() : 0.0f;
    if (file.error())
        return;
    for (float v : {axial_stiffness, bending_stiffness, torsional_stiffness, lateral_stiffness, thrust_area, weight,
                    mean_diameter})
        check_record(finite_value(v, true), "Bellows", "a value is not a number or below 0");
}

void Bellows::write(BinFile& file) const
{
    for (float v : {axial_stiffness, bending_stiffness, torsional_stiffness, lateral_stiffness, thrust_area, weight,
                    mean_diameter})
        file.write_float(v);
}

void Bellows::copy_from(const ElementData& other)
{
    if (const auto* o = dynamic_cast<const Bellows*>(&other)) {
        axial_stiffness = o->axial_stiffness;
        bending_stiffness = o->bending_stiffness;
        torsional_stiffness = o->torsional_stiffness;
        lateral_stiffness = o->lateral_stiffness;
        thrust_area = o->thrust_area;
        weight = o->weight;
        mean_diameter = o->mean_diameter;
    }
}

bool Bellows::same_values(const Bellows& o) const
{
    return axial_stiffness == o.axial_stiffness && bending_stiffness == o.bending_stiffness &&
           torsional_stiffness == o.torsional_stiffness && lateral_stiffness == o.lateral_stiffness &&
           thrust_area == o.thrust_area && weight == o.weight && mean_diameter == o.mean_diameter;
}

void Bellows::count()
{
    model().list(BELLOWS_ROWS).count_one();
}

void Bellows::register_row(int row)
{
    model().list(BELLOWS_ROWS).add(row);
}

std::string Bellows::cell_text(int column) const
{
    switch (column) {
    case 3: return format_stiffness(axial_stiffness);
    case 4: return format_rot_stiffness(bending_stiffness);
    case 5: return format_rot_stiffness(torsional_stiffness);
    case 6: return format_stiffness(lateral_stiffness);
    case 7: return format_area(thrust_area);
    case 8: return format_weight(weight);
    case 9: return format_dimension(mean_diameter);
    default: return {};
    }
}

void Bellows::fill_dialog(Dialog& d) const
{
    for (int column = 3; column <= 9; ++column)
        d.set_text(BELLOWS_AXIAL + column - 3, cell_text(column));
}

void Bellows::build_symbol(LayoutRow& row)
{
    const int index = row_of(row);
    radius = static_cast<float>(index ? LayoutRow::pipe_radius(index) : 0.0);
    frame2d_between_nodes(row.start_node, row.end_node, frame);
    quad_init(outline, frame2d_apply_scaled(frame, 0.0f, -radius), frame2d_apply_scaled(frame, 1.0f, -radius),
              frame2d_apply_scaled(frame, 1.0f, radius), frame2d_apply_scaled(frame, 0.0f, radius));
    cylinder_between_nodes(cylinder, row.start_node, row.end_node, 1.3 * radius, false);
}

void Bellows::build_outline(LayoutRow& row)
{
    quad_add_to_box(outline, row.box_2d);
    quad_add_to_box(cylinder.outline, row.box_render);
}

void Bellows::draw_2d(LayoutRow&)
{
    if (radius <= 0.0f)
        return;
    draw_select_pen(PEN_ELEMENT);
    quad_draw(outline);
    for (float x : {0.25f, 0.5f, 0.75f})
        draw_line(frame2d_apply_scaled(frame, x, -radius), frame2d_apply_scaled(frame, x, radius));
}

void Bellows::draw_3d(LayoutRow& row)
{
    const int n = bellows_convolutions(length3(cylinder.p2.x - cylinder.p1.x, cylinder.p2.y - cylinder.p1.y,
                                               cylinder.p2.z - cylinder.p1.z),
                                       radius);
    if (n == 0)
        return;
    if (stress_colors_shown())
        gl_set_color(0.5f, 0.5f, 0.5f);
    else if (!view_state().color_by_load)
        gl_set_color(1.0f, 0.6f, 0.0f, row.transparent ? 0.6f : 1.0f);
    const Frame3D f = frame3d_between_nodes(row.start_node, row.end_node);
    const double length = length3(cylinder.p2.x - cylinder.p1.x, cylinder.p2.y - cylinder.p1.y,
                                  cylinder.p2.z - cylinder.p1.z);
    const double pitch = length / n, r = radius;
    for (int i = 0; i < n; ++i) {
        const Vec3 a = frame3d_apply(f, {i * pitch, 0.0, 0.0});
        const Vec3 b = frame3d_apply(f, {i * pitch + pitch / 2.0, 0.0, 0.0});
        const Vec3 c = frame3d_apply(f, {(i + 1) * pitch, 0.0, 0.0});
        gl_draw_cylinder(a, b, r, 1.2 * r, 0u);
        gl_draw_cylinder(b, c, 1.2 * r, r, 0u);
    }
}

void Bellows::draw_outline_2d()
{
    quad_draw(outline);
}

void Bellows::draw_outline_3d()
{
    quad_draw(cylinder.outline);
}

bool Bellows::pick_and_edit(int row, float x, float y)
{
    if (!quad_contains(view_state().render_view ? cylinder.outline : outline, x, y))
        return false;
    pick_edit_element(row);
    return true;
}

void Bellows::section_terms(ElementSectionTerms& terms) const
{
    terms.own_weight = true;
    terms.weight = weight;
    terms.thrust_area = thrust_area;
}
