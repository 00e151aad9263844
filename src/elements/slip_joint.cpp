#include "elements/slip_joint.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

void SlipJoint::read(BinFile& file)
{
    friction_force = file.read_float();
    friction_torque = file.read_float();
    thrust_area = file.read_float();
    weight = file.read_float();
    if (file.error())
        return;
    for (float v : {friction_force, friction_torque, thrust_area, weight})
        check_record(finite_value(v, true), "Slip joint", "a value is not a number or below 0");
}

void SlipJoint::write(BinFile& file) const
{
    for (float v : {friction_force, friction_torque, thrust_area, weight})
        file.write_float(v);
}

void SlipJoint::copy_from(const ElementData& other)
{
    if (const auto* o = dynamic_cast<const SlipJoint*>(&other)) {
        friction_force = o->friction_force;
        friction_torque = o->friction_torque;
        thrust_area = o->thrust_area;
        weight = o->weight;
    }
}

bool SlipJoint::same_values(const SlipJoint& o) const
{
    return friction_force == o.friction_force && friction_torque == o.friction_torque &&
           thrust_area == o.thrust_area && weight == o.weight;
}

void SlipJoint::count()
{
    model().list(SLIP_JOINT_ROWS).count_one();
}

void SlipJoint::register_row(int row)
{
    model().list(SLIP_JOINT_ROWS).add(row);
}

std::string SlipJoint::cell_text(int column) const
{
    switch (column) {
    case 3: return friction_force == 0.0f ? std::string() : format_force(friction_force);
    case 4: return friction_torque == 0.0f ? std::string() : format_moment(friction_torque);
    case 5: return thrust_area == 0.0f ? std::string() : format_area(thrust_area);
    case 6: return weight == 0.0f ? std::string() : format_weight(weight);
    default: return {};
    }
}

void SlipJoint::fill_dialog(Dialog& d) const
{
    for (int column = 3; column <= 6; ++column) {
        const std::string text = cell_text(column);
        if (!text.empty())
            d.set_text(SLIP_FRICTION_FORCE + column - 3, text);
    }
}

void SlipJoint::build_symbol(LayoutRow& row)
{
    const int index = row_of(row);
    const double r = index ? LayoutRow::pipe_radius(index) : 0.0;
    const auto rf = static_cast<float>(r);
    frame2d_between_nodes(row.start_node, row.end_node, frame);
    quad_init(outline, frame2d_apply_scaled(frame, 0.0f, -rf), frame2d_apply_scaled(frame, 1.0f, -rf),
              frame2d_apply_scaled(frame, 1.0f, rf), frame2d_apply_scaled(frame, 0.0f, rf));
    lines[0][0] = frame2d_apply_scaled(frame, 0.0f, -0.5f * rf);
    lines[0][1] = frame2d_apply_scaled(frame, 1.0f, -0.5f * rf);
    lines[1][0] = frame2d_apply_scaled(frame, 1.0f, 0.5f * rf);
    lines[1][1] = frame2d_apply_scaled(frame, 0.0f, 0.5f * rf);

    const Frame3D f = frame3d_between_nodes(row.start_node, row.end_node);
    const Vec3 a = node_model_point(row.start_node), b = node_model_point(row.end_node);
    const double l = length3(b.x - a.x, b.y - a.y, b.z - a.z);
    cylinder_init_in_frame(parts[0], f, {0.15 * r, 0, 0}, {l - 0.15 * r, 0, 0}, 1.2 * r, false);
    cylinder_init_in_frame(parts[1], f, {0, 0, 0}, {0.3 * r, 0, 0}, 1.5 * r, true);
    cylinder_init_in_frame(parts[2], f, {l - 0.3 * r, 0, 0}, {l, 0, 0}, 1.5 * r, true);
}

void SlipJoint::build_outline(LayoutRow& row)
{
    quad_add_to_box(outline, row.box_2d);
    quad_add_to_box(parts[0].outline, row.box_render);
}

void SlipJoint::draw_2d(LayoutRow&)
{
    draw_select_pen(PEN_ELEMENT);
    quad_draw(outline);
    for (const auto& line : lines)
        draw_line(line[0], line[1]);
}

void SlipJoint::draw_3d(LayoutRow& row)
{
    if (stress_colors_shown())
        gl_set_color(0.5f, 0.5f, 0.5f);
    else if (!view_state().color_by_load)
        gl_set_color(1.0f, 0.6f, 0.0f, row.transparent ? 0.6f : 1.0f);
    for (const Cylinder& c : parts)
        cylinder_draw(c);
}

void SlipJoint::draw_outline_2d()
{
    quad_draw(outline);
}

void SlipJoint::draw_outline_3d()
{
    for (const Cylinder& c : parts)
        quad_draw(c.outline);
}

bool SlipJoint::pick_and_edit(int row, float x, float y)
{
    bool hit = false;
    if (view_state().render_view) {
        for (const Cylinder& c : parts)
            hit = hit || quad_contains(c.outline, x, y);
    } else {
        hit = quad_contains(outline, x, y);
    }
    if (!hit)
        return false;
    pick_edit_element(row);
    return true;
}

void SlipJoint::section_terms(ElementSectionTerms& terms) const
{
    terms.own_weight = true;
    terms.weight = weight;
    terms.thrust_area = thrust_area;
}
