#include "elements/joints.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/geometry.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <cmath>

namespace {

std::string stiffness_or_empty(float v)
{
    return v == 0.0f ? std::string() : format_rot_stiffness(v);
}
std::string moment_or_empty(float v)
{
    return v == 0.0f ? std::string() : format_moment(v);
}
std::string weight_or_empty(float v)
{
    return v == 0.0f ? std::string() : format_weight(v);
}

// A joint's pick box: the square of half side r around its node.
void add_joint_square(LayoutRow& row, float r)
{
    const Point2 p = node_view_point(row.node_index);
    row.box_2d.add(p.x - r, p.y - r);
    row.box_2d.add(p.x + r, p.y + r);
}

// The colour of a joint part (r, g, b) by the view's colour modes.
void joint_color(float r, float g, float b, bool transparent)
{
    if (stress_colors_shown())
        gl_set_color(0.5f, 0.5f, 0.5f);
    else if (!view_state().color_by_load)
        gl_set_color(r, g, b, transparent ? 0.6f : 1.0f);
}

void check_spring(float stiffness, float limit, float friction, const char* kind)
{
    check_record(finite_value(stiffness, true), kind, "a stiffness is not a number or below 0");
    check_record(std::isfinite(limit) && limit > 0.0f, kind, "a rotation limit is not above 0");
    check_record(finite_value(friction, true), kind, "a friction torque is not a number or below 0");
}

}  // namespace

bool rotation_limit_given(double limit)
{
    return limit < NONE_LIMIT;
}

// ---- Ball joint ----------------------------------------------------------------------------

void BallJoint::read(BinFile& file)
{
    bending_stiffness = file.read_float();
    torsional_stiffness = file.read_float();
    if (model_file_version() >= JOINT_LIMITS_VERSION) {
        bending_limit = file.read_float();
        torsional_limit = file.read_float();
    } else {
        bending_limit = torsional_limit = NO_ROTATION_LIMIT;
    }
    bending_friction = file.read_float();
    torsional_friction = file.read_float();
    weight = file.read_float();
    if (file.error())
        return;
    check_spring(bending_stiffness, bending_limit, bending_friction, "Ball joint");
    check_spring(torsional_stiffness, torsional_limit, torsional_friction, "Ball joint");
    check_record(finite_value(weight, true), "Ball joint", "the weight is not a number or below 0");
}

void BallJoint::write(BinFile& file) const
{
    for (float v : {bending_stiffness, torsional_stiffness, bending_limit, torsional_limit, bending_friction,
                    torsional_friction, weight})
        file.write_float(v);
}

void BallJoint::copy_from(const ElementData& other)
{
    if (const auto* o = dynamic_cast<const BallJoint*>(&other)) {
        bending_stiffness = o->bending_stiffness;
        torsional_stiffness = o->torsional_stiffness;
        bending_limit = o->bending_limit;
        torsional_limit = o->torsional_limit;
        bending_friction = o->bending_friction;
        torsional_friction = o->torsional_friction;
        weight = o->weight;
    }
}

bool BallJoint::same_values(const BallJoint& o) const
{
    return bending_stiffness == o.bending_stiffness && torsional_stiffness == o.torsional_stiffness &&
           bending_limit == o.bending_limit && torsional_limit == o.torsional_limit &&
           bending_friction == o.bending_friction && torsional_friction == o.torsional_friction && weight == o.weight;
}

void BallJoint::count()
{
    model().list(BALL_JOINT_ROWS).count_one();
}

void BallJoint::register_row(int row)
{
    model().list(BALL_JOINT_ROWS).add(row);
}

std::string BallJoint::cell_text(int column) const
{
    switch (column) {
    case 3: return stiffness_or_empty(bending_stiffness);
    case 4: return stiffness_or_empty(torsional_stiffness);
    case 5: return format_angle_or_none(bending_limit);
    case 6: return format_angle_or_none(torsional_limit);
    case 7: return moment_or_empty(bending_friction);
    case 8: return moment_or_empty(torsional_friction);
    case 9: return weight_or_empty(weight);
    default: return {};
    }
}

void BallJoint::fill_dialog(Dialog& d) const
{
    for (int column = 3; column <= 9; ++column) {
        const std::string text = cell_text(column);
        if (!text.empty())
            d.set_text(BALL_BENDING_STIFFNESS + column - 3, text);
    }
}

bool BallJoint::is_nonlinear() const
{
    return rotation_limit_given(bending_limit) || rotation_limit_given(torsional_limit) || bending_friction != 0.0f ||
           torsional_friction != 0.0f;
}

void BallJoint::build_symbol(LayoutRow& row)
{
    const int index = row_of(row);
    double r = index ? LayoutRow::symbol_radius(index) * 1.5 : 0.0;
    if (r == 0.0)
        r = 3.0;
    symbol_radius = static_cast<float>(r);
    sphere_init(sphere, node_model_point(row.node_index), r);
}

void BallJoint::build_outline(LayoutRow& row)
{
    add_joint_square(row, symbol_radius);
    row.box_render.add(sphere.box);
}

void BallJoint::draw_2d(LayoutRow& row)
{
    draw_select_pen(PEN_ELEMENT);
    draw_circle(node_view_point(row.node_index), symbol_radius);
}

void BallJoint::draw_3d(LayoutRow& row)
{
    joint_color(1.0f, 0.6f, 0.0f, row.transparent != 0);
    gl_draw_sphere(sphere.centre, sphere.radius);
}

void BallJoint::draw_outline_3d()
{
    box_draw(sphere.box);
}

bool BallJoint::pick_and_edit(int row, float x, float y)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return false;
    const bool hit = view_state().render_view ? sphere.box.contains(x, y) : m.rows[row].box_2d.contains(x, y);
    if (!hit)
        return false;
    pick_edit_element(row);
    return true;
}

// ---- Hinge joint -----------------------------------------------------------------------------

void HingeJoint::read(BinFile& file)
{
    stiffness = file.read_float();
    limit = model_file_version() >= JOINT_LIMITS_VERSION ? file.read_float() : NO_ROTATION_LIMIT;
    friction = file.read_float();
    weight = file.read_float();
    for (float& c : axis)
        c = file.read_float();
    if (file.error())
        return;
    check_spring(stiffness, limit, friction, "Hinge joint");
    check_record(finite_value(weight, true), "Hinge joint", "the weight is not a number or below 0");
    for (float c : axis)
        check_record(finite_value(c), "Hinge joint", "an axis component is not a number");
}

void HingeJoint::write(BinFile& file) const
{
    for (float v : {stiffness, limit, friction, weight, axis[0], axis[1], axis[2]})
        file.write_float(v);
}

void HingeJoint::copy_from(const ElementData& other)
{
    if (const auto* o = dynamic_cast<const HingeJoint*>(&other)) {
        stiffness = o->stiffness;
        limit = o->limit;
        friction = o->friction;
        weight = o->weight;
        for (int i = 0; i < 3; ++i)
            axis[i] = o->axis[i];
    }
}

bool HingeJoint::same_values(const HingeJoint& o) const
{
    return stiffness == o.stiffness && limit == o.limit && friction == o.friction && weight == o.weight &&
           axis[0] == o.axis[0] && axis[1] == o.axis[1] && axis[2] == o.axis[2];
}

void HingeJoint::count()
{
    model().list(HINGE_JOINT_ROWS).count_one();
}

void HingeJoint::register_row(int row)
{
    model().list(HINGE_JOINT_ROWS).add(row);
}

std::string HingeJoint::cell_text(int column) const
{
    switch (column) {
    case 3: return format_rot_stiffness(stiffness);
    case 4: return format_angle_or_none(limit);
    case 5: return format_moment(friction);
    case 6: return format_weight(weight);
    case 7:
    case 8:
    case 9: return format_real(axis[column - 7], 8, 3);
    default: return {};
    }
}

void HingeJoint::fill_dialog(Dialog& d) const
{
    for (int column = 3; column <= 6; ++column)
        d.set_text(HINGE_STIFFNESS + column - 3, cell_text(column));
    for (int i = 0; i < 3; ++i)
        if (axis[i] != 0.0f)
            d.set_text(HINGE_AXIS_X + i, format_real(axis[i], 8, 3));
}

bool HingeJoint::is_nonlinear() const
{
    return friction != 0.0f || rotation_limit_given(limit);
}

void HingeJoint::build_symbol(LayoutRow& row)
{
    const int index = row_of(row);
    double r = index ? LayoutRow::symbol_radius(index) * 1.5 : 0.0;
    if (r == 0.0 || r == 9.0)
        r = 6.0 * view_state().element_half_width;
    symbol_radius = static_cast<float>(r);
    const Vec3 centre = node_model_point(row.node_index);
    sphere_init(sphere, centre, r);
    double ax = axis[0], ay = axis[1], az = axis[2];
    normalize3(ax, ay, az);
    const double reach = 1.5 * r;
    cylinder_init(rod, {centre.x - reach * ax, centre.y - reach * ay, centre.z - reach * az},
                  {centre.x + reach * ax, centre.y + reach * ay, centre.z + reach * az}, 0.25 * r, false);
}

void HingeJoint::build_outline(LayoutRow& row)
{
    add_joint_square(row, symbol_radius);
    row.box_render.add(sphere.box);
    quad_add_to_box(rod.outline, row.box_render);
}

void HingeJoint::draw_2d(LayoutRow& row)
{
    draw_select_pen(PEN_ELEMENT);
    const Point2 p = node_view_point(row.node_index);
    draw_circle(p, symbol_radius);
    draw_circle(p, symbol_radius * 0.5f);
}

void HingeJoint::draw_3d(LayoutRow& row)
{
    joint_color(1.0f, 0.6f, 0.0f, row.transparent != 0);
    gl_draw_sphere(sphere.centre, sphere.radius);
    joint_color(0.0f, 0.6f, 0.6f, row.transparent != 0);
    cylinder_draw(rod);
}

void HingeJoint::draw_outline_3d()
{
    quad_draw(rod.outline);
    box_draw(sphere.box);
}

bool HingeJoint::pick_and_edit(int row, float x, float y)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return false;
    const bool hit = view_state().render_view ? sphere.box.contains(x, y) || quad_contains(rod.outline, x, y)
                                              : m.rows[row].box_2d.contains(x, y);
    if (!hit)
        return false;
    pick_edit_element(row);
    return true;
}
