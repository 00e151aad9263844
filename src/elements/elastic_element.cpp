#include "elements/elastic_element.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/geometry.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <cmath>

void ElasticElement::read(BinFile& file)
{
    for (float* v : {&kx, &ky, &kz, &kxx, &kyy, &kzz})
        *v = file.read_float();
    for (float& c : x_axis)
        c = file.read_float();
    for (float& c : y_axis)
        c = file.read_float();
    if (file.error())
        return;
    // Rates at or below 0 are kept: they read as not given.
    for (float v : {kx, ky, kz, kxx, kyy, kzz, x_axis[0], x_axis[1], x_axis[2], y_axis[0], y_axis[1], y_axis[2]})
        check_record(finite_value(v), "Elastic element", "a value is not a number");
}

void ElasticElement::write(BinFile& file) const
{
    for (float v : {kx, ky, kz, kxx, kyy, kzz, x_axis[0], x_axis[1], x_axis[2], y_axis[0], y_axis[1], y_axis[2]})
        file.write_float(v);
}

void ElasticElement::copy_from(const ElementData& other)
{
    if (const auto* o = dynamic_cast<const ElasticElement*>(&other)) {
        kx = o->kx, ky = o->ky, kz = o->kz;
        kxx = o->kxx, kyy = o->kyy, kzz = o->kzz;
        for (int i = 0; i < 3; ++i) {
            x_axis[i] = o->x_axis[i];
            y_axis[i] = o->y_axis[i];
        }
    }
}

bool ElasticElement::same_values(const ElasticElement& o) const
{
    bool same = kx == o.kx && ky == o.ky && kz == o.kz && kxx == o.kxx && kyy == o.kyy && kzz == o.kzz;
    for (int i = 0; i < 3; ++i)
        same = same && x_axis[i] == o.x_axis[i] && y_axis[i] == o.y_axis[i];
    return same;
}

void ElasticElement::count()
{
    model().list(ELASTIC_ROWS).count_one();
}

void ElasticElement::register_row(int row)
{
    model().list(ELASTIC_ROWS).add(row);
}

std::string ElasticElement::cell_text(int column) const
{
    const float rates[6] = {kx, ky, kz, kxx, kyy, kzz};
    if (column < 3 || column > 8)
        return {};
    const float v = rates[column - 3];
    if (v <= 0.0f)
        return {};
    return column <= 5 ? format_stiffness(v) : format_rot_stiffness(v);
}

void ElasticElement::fill_dialog(Dialog& d) const
{
    for (int column = 3; column <= 8; ++column)
        d.set_text(ELASTIC_KX + column - 3, cell_text(column));
    for (int i = 0; i < 3; ++i) {
        d.set_text(ELASTIC_X_AXIS + i, format_real(x_axis[i], 10, 4));
        d.set_text(ELASTIC_Y_AXIS + i, format_real(y_axis[i], 10, 4));
    }
    d.focus(ELASTIC_KX, true);
}

void ElasticElement::rates(double out[6]) const
{
    const float given[6] = {kx, ky, kz, kxx, kyy, kzz};
    for (int i = 0; i < 6; ++i)
        out[i] = given[i] > 0.0f ? double(given[i]) : ELASTIC_FREE_RATE;
}

bool ElasticElement::axes(LocalAxes& out) const
{
    Vec3 x{x_axis[0], x_axis[1], x_axis[2]};
    Vec3 y{y_axis[0], y_axis[1], y_axis[2]};
    if (length3(x.x, x.y, x.z) == 0.0 || length3(y.x, y.y, y.z) == 0.0)
        return false;
    normalize3(x.x, x.y, x.z);
    normalize3(y.x, y.y, y.z);
    const double along = x.x * y.x + x.y * y.y + x.z * y.z;
    y = {y.x - along * x.x, y.y - along * x.y, y.z - along * x.z};
    if (length3(y.x, y.y, y.z) < 1.0e-6)
        return false;
    normalize3(y.x, y.y, y.z);
    out.x = x;
    out.y = y;
    out.z = {x.y * y.z - x.z * y.y, x.z * y.x - x.x * y.z, x.x * y.y - x.y * y.x};
    return true;
}

void elastic_element_stiffness(const double r[6], double a, double b, double c, ElementMatrix& k)
{
    k.clear();
    const double kx = r[0], ky = r[1], kz = r[2], kxx = r[3], kyy = r[4], kzz = r[5];
    auto set = [&k](int i, int j, double v) { k.set_symmetric(i, j, v); };
    set(1, 1, kx), set(1, 7, -kx), set(1, 11, c * kx), set(1, 12, -b * kx);
    set(2, 2, ky), set(2, 8, -ky), set(2, 10, -c * ky), set(2, 12, a * ky);
    set(3, 3, kz), set(3, 9, -kz), set(3, 10, b * kz), set(3, 11, -a * kz);
    set(4, 4, kxx), set(4, 10, -kxx);
    set(5, 5, kyy), set(5, 11, -kyy);
    set(6, 6, kzz), set(6, 12, -kzz);
    set(7, 7, kx), set(7, 11, -c * kx), set(7, 12, b * kx);
    set(8, 8, ky), set(8, 10, c * ky), set(8, 12, -a * ky);
    set(9, 9, kz), set(9, 10, -b * kz), set(9, 11, a * kz);
    set(10, 10, c * c * ky + b * b * kz + kxx), set(10, 11, -a * b * kz), set(10, 12, -a * c * ky);
    set(11, 11, a * a * kz + c * c * kx + kyy), set(11, 12, -b * c * kx);
    set(12, 12, a * a * ky + b * b * kx + kzz);
}

void ElasticElement::build_outline(LayoutRow& row)
{
    const auto s = static_cast<float>(view_state().element_half_width);
    LocalFrame2D frame;
    frame2d_between_nodes(row.start_node, row.end_node, frame);
    // Seen end-on the frame has no second axis: the outline stands upright.
    if (frame.v.x == 0.0f && frame.v.y == 0.0f)
        frame.v = {0.0f, 1.0f};
    Point2 p[4] = {frame2d_apply_scaled(frame, 0.0f, -s), frame2d_apply_scaled(frame, 1.0f, -s),
                   frame2d_apply_scaled(frame, 1.0f, s), frame2d_apply_scaled(frame, 0.0f, s)};
    // A short element is widened along the view's x so that it can be picked.
    if (std::fabs(p[0].x - p[1].x) < 0.1f) {
        p[0].x -= s;
        p[1].x += s;
    }
    if (std::fabs(p[3].x - p[2].x) < 0.1f) {
        p[3].x -= s;
        p[2].x += s;
    }
    quad_init(outline, p[0], p[1], p[2], p[3]);
    quad_add_to_box(outline, row.box_2d);
    solid_box_between_nodes(box, row.start_node, row.end_node, s, s);
    solid_box_add_to_box(box, row.box_render);
}

void ElasticElement::draw_2d(LayoutRow& row)
{
    draw_select_pen(PEN_ELASTIC);
    draw_line(node_view_point(row.start_node), node_view_point(row.end_node));
}

void ElasticElement::draw_3d(LayoutRow& row)
{
    if (stress_colors_shown())
        gl_set_color(0.5f, 0.5f, 0.5f);
    else if (!view_state().color_by_load)
        gl_set_color(0.5f, 0.5f, 1.0f, row.transparent ? 0.6f : 1.0f);
    gl_draw_solid_box(box);
}

void ElasticElement::draw_outline_2d()
{
    quad_draw(outline);
}

void ElasticElement::draw_outline_3d()
{
    solid_box_draw_outline(box);
}

bool ElasticElement::pick_and_edit(int row, float x, float y)
{
    const bool hit = view_state().render_view ? solid_box_contains(box, x, y) : quad_contains(outline, x, y);
    if (!hit)
        return false;
    pick_edit_element(row);
    return true;
}
