#include "elements/valve.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <cmath>
#include <cstdlib>

namespace {

// The unit vector from node a to node b; false when they coincide.
bool unit_between(int a, int b, Vec3& out)
{
    const Model& m = model();
    if (!m.nodes.valid(a) || !m.nodes.valid(b))
        return false;
    const Vec3 p = node_model_point(a), q = node_model_point(b);
    double x = q.x - p.x, y = q.y - p.y, z = q.z - p.z;
    if (length3(x, y, z) < 1.0e-6)
        return false;
    normalize3(x, y, z);
    out = {x, y, z};
    return true;
}

}  // namespace

std::string thickness_multiplier_text(float value, int width)
{
    return format_real(value, width, value < 99.0f ? 2 : value < 999.0f ? 1 : 0);
}

Vec3 valve_row_direction(int row)
{
    const Model& m = model();
    Vec3 d{1.0, 0.0, 0.0};
    if (!m.rows.valid(row))
        return d;
    const LayoutRow& r = m.rows[row];
    if (unit_between(r.from_node, r.node_index, d))
        return d;
    const int previous = LayoutRow::previous_element_row(row);
    if (previous > 0 && unit_between(m.rows[previous].from_node, m.rows[previous].node_index, d))
        return d;
    if (previous > 0) {
        // The offsets of the previous row when its nodes are not built yet.
        const LayoutRow& p = m.rows[previous];
        double x = p.dx, y = p.dy, z = p.dz;
        if (!p.absolute && length3(x, y, z) > 1.0e-6) {
            normalize3(x, y, z);
            return {x, y, z};
        }
    }
    return {1.0, 0.0, 0.0};
}

void set_row_length(int row, float length)
{
    const Vec3 d = valve_row_direction(row);
    LayoutRow& r = model().rows[row];
    r.dx = static_cast<float>(length * d.x);
    r.dy = static_cast<float>(length * d.y);
    r.dz = static_cast<float>(length * d.z);
}

void Valve::read(BinFile& file)
{
    weight = file.read_float();
    length = file.read_float();
    thickness_multiplier = file.read_float();
    insulation_multiplier = file.read_float();
    additional_weight = file.read_float();
    offset_dx = file.read_float();
    offset_dy = file.read_float();
    offset_dz = file.read_float();
    valve_type = model_file_version() >= VALVE_TYPE_VERSION ? file.read_int() : 0;
    if (file.error())
        return;
    for (float v : {weight, length, additional_weight})
        check_record(finite_value(v, true), "Valve", "a weight or length is not a number or below 0");
    for (float v : {thickness_multiplier, insulation_multiplier})
        check_record(std::isfinite(v) && v >= 0.01f, "Valve", "a multiplier is below 0.01");
    for (float v : {offset_dx, offset_dy, offset_dz})
        check_record(finite_value(v), "Valve", "an offset is not a number");
    check_record(valve_type >= 0 && valve_type < VALVE_TYPE_COUNT, "Valve", "the valve type is invalid");
}

void Valve::write(BinFile& file) const
{
    for (float v : {weight, length, thickness_multiplier, insulation_multiplier, additional_weight, offset_dx,
                    offset_dy, offset_dz})
        file.write_float(v);
    file.write_int(valve_type);
}

void Valve::copy_from(const ElementData& other)
{
    if (const auto* o = dynamic_cast<const Valve*>(&other)) {
        weight = o->weight;
        length = o->length;
        thickness_multiplier = o->thickness_multiplier;
        insulation_multiplier = o->insulation_multiplier;
        additional_weight = o->additional_weight;
        offset_dx = o->offset_dx;
        offset_dy = o->offset_dy;
        offset_dz = o->offset_dz;
        valve_type = o->valve_type;
    }
}

bool Valve::same_values(const Valve& o) const
{
    return weight == o.weight && length == o.length && thickness_multiplier == o.thickness_multiplier &&
           insulation_multiplier == o.insulation_multiplier && additional_weight == o.additional_weight &&
           offset_dx == o.offset_dx && offset_dy == o.offset_dy && offset_dz == o.offset_dz &&
           valve_type == o.valve_type;
}

void Valve::count()
{
    model().list(VALVE_ROWS).count_one();
}

void Valve::register_row(int row)
{
    model().list(VALVE_ROWS).add(row);
}

std::string Valve::cell_text(int column) const
{
    switch (column) {
    case 3: return format_weight(weight);
    case 4: return dimension_or_empty(length);
    case 5: return thickness_multiplier_text(thickness_multiplier, 7);
    case 6: return format_real(insulation_multiplier, 7, 2);
    case 7: return additional_weight == 0.0f ? std::string() : format_weight(additional_weight);
    case 8:
    case 9:
    case 10: {
        if (additional_weight == 0.0f)
            return {};
        const float offsets[3] = {offset_dx, offset_dy, offset_dz};
        return format_dimension(offsets[column - 8]);
    }
    default: return {};
    }
}

void Valve::fill_dialog(Dialog& d) const
{
    d.set_text(VALVE_WEIGHT, format_weight(weight));
    if (length != 0.0f)
        d.set_text(VALVE_LENGTH, format_dimension(length));
    d.set_text(VALVE_THICKNESS_X, thickness_multiplier_text(thickness_multiplier, 10));
    d.set_text(VALVE_INSULATION_X, format_real(insulation_multiplier, 10, 2));
    if (additional_weight != 0.0f) {
        d.set_text(VALVE_ADDED_WEIGHT, format_weight(additional_weight));
        const float offsets[3] = {offset_dx, offset_dy, offset_dz};
        for (int i = 0; i < 3; ++i)
            d.set_text(VALVE_OFFSET_X + i, format_dimension(offsets[i]));
    }
    d.focus(VALVE_WEIGHT, true);
    d.list_select(VALVE_TYPE, valve_type);
}

void Valve::build_symbol(LayoutRow& row)
{
    const int index = row_of(row);
    const double r = index ? LayoutRow::pipe_radius(index) : 0.0;
    drawn = r > 0.0;
    if (!drawn)
        return;
    const auto rf = static_cast<float>(r);
    LocalFrame2D frame;
    frame2d_between_nodes(row.start_node, row.end_node, frame);
    triangle_init(bow[0], frame2d_apply_scaled(frame, 0.0f, -rf), frame2d_apply_scaled(frame, 0.5f, 0.0f),
                  frame2d_apply_scaled(frame, 0.0f, rf));
    triangle_init(bow[1], frame2d_apply_scaled(frame, 0.5f, 0.0f), frame2d_apply_scaled(frame, 1.0f, -rf),
                  frame2d_apply_scaled(frame, 1.0f, rf));
    centre_2d = frame2d_apply_scaled(frame, 0.5f, 0.0f);
    quad_element_outline(line_outline, frame);

    const Vec3 a = node_model_point(row.start_node), b = node_model_point(row.end_node);
    const Vec3 mid{(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, (a.z + b.z) / 2.0};
    const Vec3 offset{offset_dx, offset_dy, offset_dz};
    if (additional_weight != 0.0f) {
        weight_2d = project_point(plus(mid, offset));
        const float l = frame.length;
        LocalFrame2D at;
        frame2d_init(at, weight_2d, frame.u, {weight_2d.x - centre_2d.x, weight_2d.y - centre_2d.y});
        quad_init(weight_marker, frame2d_apply(at, -0.2f * l, 0.0f), frame2d_apply(at, 0.2f * l, 0.0f),
                  frame2d_apply(at, 0.2f * l, 0.1f * l), frame2d_apply(at, -0.2f * l, 0.1f * l));
        triangle_init(weight_link, centre_2d, weight_marker.p[0], weight_marker.p[1]);
    }

    // Render view: body, ball, stem and hand wheel.
    cylinder_between_nodes(body, row.start_node, row.end_node, r, false);
    sphere_init(body_sphere, mid, 1.7 * r);
    Vec3 top;
    if (additional_weight != 0.0f) {
        top = plus(mid, offset);
    } else {
        const bool z_vertical = analysis_options().z_vertical;
        Vec3 d{b.x - a.x, b.y - a.y, b.z - a.z};
        normalize3(d.x, d.y, d.z);
        Vec3 up;
        if (z_vertical ? length2(d.x, d.y) < 0.01 : length2(d.x, d.z) < 0.01) {
            up = z_vertical ? Vec3{0.0, 1.0, 0.0} : Vec3{1.0, 0.0, 0.0};
        } else {
            LocalAxes axes;
            axes.x = d;
            complete_local_axes(axes, z_vertical);
            up = local_up_axis(axes, z_vertical);
        }
        top = plus(mid, scaled(up, 4.0 * r));
    }
    const double stem_radius = std::getenv("Valve_Symbol") ? 0.15 * r : 0.3 * r;
    cylinder_init(stem, mid, top, stem_radius, false);
    Vec3 w{top.x - mid.x, top.y - mid.y, top.z - mid.z};
    normalize3(w.x, w.y, w.z);
    valve_symbol_build(hand_wheel, top, w, 0.9 * r);
}

void Valve::build_outline(LayoutRow& row)
{
    if (!drawn)
        return;
    for (const Triangle2D& t : bow)
        triangle_add_to_box(t, row.box_2d);
    if (additional_weight != 0.0f)
        quad_add_to_box(weight_marker, row.box_2d);
    quad_add_to_box(line_outline, row.box_2d);
    row.box_render.add(body_sphere.box);
    for (const Cylinder* c : {&stem, &body})
        quad_add_to_box(c->outline, row.box_render);
    quad_add_to_box(hand_wheel.outline, row.box_render);
}

void Valve::draw_2d(LayoutRow&)
{
    if (!drawn)
        return;
    draw_select_pen(PEN_ELEMENT);
    for (const Triangle2D& t : bow)
        triangle_draw(t);
    if (additional_weight != 0.0f) {
        draw_line(centre_2d, weight_2d);
        quad_draw(weight_marker);
    }
}

void Valve::draw_3d(LayoutRow& row)
{
    if (!drawn)
        return;
    if (stress_colors_shown())
        gl_set_color(0.5f, 0.5f, 0.5f);
    else if (!view_state().color_by_load)
        gl_set_color(0.65f, 0.35f, 0.25f, row.transparent ? 0.6f : 1.0f);
    const double r = body.radius;
    if (std::getenv("Valve_Symbol")) {
        const Vec3 mid = body_sphere.centre;
        gl_draw_cylinder(body.p1, mid, 1.1 * r, 0.1 * r, 0u);
        gl_draw_cylinder(mid, body.p2, 0.1 * r, 1.1 * r, 0u);
    } else {
        cylinder_draw(body);
        gl_draw_sphere(body_sphere.centre, body_sphere.radius);
    }
    cylinder_draw(stem);
    gl_draw_valve_symbol(hand_wheel);
}

void Valve::draw_outline_2d()
{
    if (!drawn)
        return;
    for (const Triangle2D& t : bow)
        triangle_draw(t);
    if (additional_weight != 0.0f) {
        quad_draw(weight_marker);
        triangle_draw(weight_link);
    }
}

void Valve::draw_outline_3d()
{
    if (!drawn)
        return;
    box_draw(body_sphere.box);
    for (const Cylinder* c : {&stem, &body})
        quad_draw(c->outline);
    quad_draw(hand_wheel.outline);
}

bool Valve::hit_test(float x, float y) const
{
    if (!drawn)
        return false;
    if (view_state().render_view)
        return body_sphere.box.contains(x, y) || quad_contains(stem.outline, x, y) ||
               quad_contains(body.outline, x, y) || valve_symbol_contains(hand_wheel, x, y);
    return triangle_contains(bow[0], x, y) || triangle_contains(bow[1], x, y) || quad_contains(line_outline, x, y) ||
           (additional_weight != 0.0f &&
            (quad_contains(weight_marker, x, y) || triangle_contains(weight_link, x, y)));
}

bool Valve::pick_and_edit(int row, float x, float y)
{
    if (!hit_test(x, y))
        return false;
    pick_edit_element(row);
    return true;
}

void Valve::section_terms(ElementSectionTerms& terms) const
{
    terms.own_weight = true;
    terms.weight = weight;
    terms.thickness_multiplier = thickness_multiplier;
    terms.insulation_multiplier = insulation_multiplier;
}
