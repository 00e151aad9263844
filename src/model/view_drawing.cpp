// The view state, the drawing calls that go to the painter in place, the
// symbol rebuild of a row and the click handler of the views.
#include "model/view_drawing.h"

#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"

#include <algorithm>
#include <cmath>

namespace {

struct PainterSlot {
    ViewPainter* painter = nullptr;
};

ViewPainter* painter()
{
    return session_part<PainterSlot>().painter;
}

}  // namespace

ViewState& view_state()
{
    return session_part<ViewState>();
}

void set_drawing_scale(double scale)
{
    if (!std::isfinite(scale) || scale <= 0.0)
        scale = 1.0;
    ViewState& v = view_state();
    v.scale = scale;
    v.scale_90dpi = scale;
    const double pixels[4] = {6.0, 8.0, 10.0, 12.0};
    for (int i = 0; i < 4; ++i)
        v.symbol_sizes[i] = view_pixels(pixels[i]);
    v.element_half_width = view_pixels(7.0);
    v.support_symbol_size = view_pixels(12.0);
    v.symbol_margin = view_pixels(4.0);
    update_text_sizes();
}

double view_pixels(double pixels)
{
    const ViewState& v = view_state();
    return pixels * v.pixel_size / v.scale;
}

double drawing_scale()
{
    return view_state().scale;
}

void update_text_sizes()
{
    ViewState& v = view_state();
    v.text_margin_x = std::max(v.font_average_width / 2 + 3, 6) / v.scale;
    v.text_margin_y = (v.font_ascent - v.font_internal_leading) / v.scale * 0.5;
    v.number_width = v.number_width_px / v.scale;
    v.number_height = v.number_height_px / v.scale;
}

void set_text_metrics(int average_width, int ascent, int internal_leading, int number_width, int number_height)
{
    ViewState& v = view_state();
    v.font_average_width = std::max(average_width, 1);
    v.font_ascent = std::max(ascent, 1);
    v.font_internal_leading = std::clamp(internal_leading, 0, v.font_ascent);
    v.number_width_px = std::max(number_width, 1);
    v.number_height_px = std::max(number_height, 1);
    update_text_sizes();
}

void set_arrow_sizes(int reference_height)
{
    ViewState& v = view_state();
    v.arrow_head_length = 0.075 * reference_height;
    v.arrow_head_width = 0.055 * reference_height;
    v.triad_arrow_length = 0.25 * reference_height;
}

bool stress_colors_shown()
{
    return view_state().stress_colors || view_state().stress_ratio_colors;
}

void set_view_painter(ViewPainter* p)
{
    session_part<PainterSlot>().painter = p;
}

ViewPainter* view_painter()
{
    return painter();
}

ViewPainterScope::ViewPainterScope(ViewPainter& p) : saved_(painter())
{
    set_view_painter(&p);
}

ViewPainterScope::~ViewPainterScope()
{
    set_view_painter(saved_);
}

// ---- Drawing calls ------------------------------------------------------------------------

void draw_select_pen(ViewPen pen)
{
    if (ViewPainter* p = painter())
        p->select_pen(pen);
}

void draw_line(float x1, float y1, float x2, float y2)
{
    draw_line(Point2{x1, y1}, Point2{x2, y2});
}

void draw_line(Point2 a, Point2 b)
{
    if (ViewPainter* p = painter())
        p->line(a, b);
}

void draw_bezier(const Point2 (&points)[4])
{
    if (ViewPainter* p = painter())
        p->bezier(points);
}

void draw_circle(Point2 centre, float radius)
{
    if (ViewPainter* p = painter())
        p->circle(centre, radius);
}

void draw_text(float x, float y, const std::string& text)
{
    if (ViewPainter* p = painter())
        p->text({x, y}, holds_controls(text) ? shown_controls(text) : text);
}

void draw_dot(float x, float y)
{
    if (ViewPainter* p = painter())
        p->dot({x, y});
}

void draw_arrow_head(float x, float y, float dx, float dy, bool double_head)
{
    if (ViewPainter* p = painter())
        p->arrow_head({x, y}, {dx, dy}, double_head);
}

void draw_rect(float x1, float y1, float x2, float y2)
{
    if (ViewPainter* p = painter())
        p->rect({x1, y1}, {x2, y2});
}

void draw_text_extent(const std::string& given, float& width, float& height)
{
    const std::string& text = holds_controls(given) ? shown_controls(given) : given;
    if (ViewPainter* p = painter()) {
        p->text_extent(text, width, height);
        if (width > 0.0f || height > 0.0f || text.empty())
            return;
    }
    const ViewState& v = view_state();
    width = static_cast<float>(static_cast<double>(v.font_average_width) * static_cast<double>(text.size()) / v.scale);
    height = static_cast<float>(v.number_height);
}

// ---- Arrows ----------------------------------------------------------------------------------

void draw_arrow_between(float x1, float y1, float x2, float y2, int style)
{
    const double dx = double(x2) - x1, dy = double(y2) - y1;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length <= 0.0)
        return;
    const ViewState& v = view_state();
    const double ux = dx / length, uy = dy / length;
    const double head = v.arrow_head_length / v.scale;
    const auto fx = static_cast<float>(ux), fy = static_cast<float>(uy);
    auto at = [](double x, double y) { return Point2{static_cast<float>(x), static_cast<float>(y)}; };
    switch (style) {
    case 1: {
        const double f = 1.0 - head / length;
        draw_line(at(x2, y2), at(x2 + f * (double(x1) - x2), y2 + f * (double(y1) - y2)));
        draw_arrow_head(x1, y1, -fx, -fy, false);
        break;
    }
    case 2:
        draw_line(at(x1, y1), at(x2 - 2.0 * head * ux, y2 - 2.0 * head * uy));
        draw_arrow_head(x2, y2, fx, fy, true);
        break;
    case 3:
        draw_line(at(x1, y1), at(x2, y2));
        draw_arrow_head(x1, y1, -fx, -fy, true);
        break;
    case 4:
        draw_line(at(x1, y1), at(x2, y2));
        draw_arrow_head(x1, y1, -fx, -fy, false);
        draw_arrow_head(x2, y2, fx, fy, false);
        break;
    default:
        draw_line(at(x1, y1), at(x2 - head * ux, y2 - head * uy));
        draw_arrow_head(x2, y2, fx, fy, false);
        break;
    }
}

void draw_arrow(float x, float y, float dx, float dy, float length, int style)
{
    const double l = length / view_state().scale;
    draw_arrow_between(x, y, static_cast<float>(x + l * dx), static_cast<float>(y + l * dy), style);
}

namespace {

// Where the label of an arrow starts (its baseline's left end), and its size.
struct ArrowLabel {
    float x, y, width, height;
};

ArrowLabel arrow_label_place(float x, float y, float dx, float dy, float length, const std::string& text)
{
    const ViewState& v = view_state();
    const double l = length / v.scale;
    const double tx = x + l * dx, ty = y + l * dy;
    if (std::fabs(dx) < 0.05f)
        dx = 0.0f;
    if (std::fabs(dy) < 0.05f)
        dy = 0.0f;
    float w = 0.0f, h = 0.0f;
    draw_text_extent(text, w, h);
    const double mx = v.text_margin_x, my = v.text_margin_y;
    ArrowLabel label{0.0f, 0.0f, w, h};
    if (dx > 0.0f) {
        label.x = static_cast<float>(tx + mx);
        label.y = static_cast<float>(ty - my);
    } else if (dx < 0.0f) {
        label.x = static_cast<float>(tx - (mx + w));
        label.y = static_cast<float>(ty - my);
    } else {
        label.x = static_cast<float>(tx - w / 2.0);
        label.y = static_cast<float>(dy > 0.0f ? ty + my : dy < 0.0f ? ty - h : ty - my);
    }
    return label;
}

}  // namespace

void draw_arrow_label(float x, float y, float dx, float dy, float length, const std::string& text)
{
    const ArrowLabel label = arrow_label_place(x, y, dx, dy, length, text);
    draw_text(label.x, label.y, text);
}

void draw_labelled_arrow(float x, float y, float dx, float dy, float length, int style, const std::string& text)
{
    draw_arrow(x, y, dx, dy, length, style);
    draw_arrow_label(x, y, dx, dy, length, text);
}

void labelled_arrow_add_extent(float x, float y, float dx, float dy, float length, int, const std::string& text,
                               Box2D& box)
{
    const double l = length / view_state().scale;
    box.add(x, y);
    box.add(static_cast<float>(x + l * dx), static_cast<float>(y + l * dy));
    const ArrowLabel label = arrow_label_place(x, y, dx, dy, length, text);
    box.add(label.x, label.y);
    box.add(label.x + label.width, label.y + label.height);
}

void quad_draw(const Quad2D& quad)
{
    for (int i = 0; i < 4; ++i)
        draw_line(quad.p[i], quad.p[(i + 1) % 4]);
}

void triangle_draw(const Triangle2D& triangle)
{
    for (int i = 0; i < 3; ++i)
        draw_line(triangle.p[i], triangle.p[(i + 1) % 3]);
}

void box_draw(const Box2D& box)
{
    if (box.empty())
        return;
    Quad2D q;
    quad_init(q, {box.xmin, box.ymin}, {box.xmax, box.ymin}, {box.xmax, box.ymax}, {box.xmin, box.ymax});
    quad_draw(q);
}

void solid_box_draw_outline(const SolidBox& box)
{
    for (const Quad2D& face : box.faces)
        quad_draw(face);
}

void gl_set_color(float r, float g, float b, float alpha)
{
    if (ViewPainter* p = painter())
        p->color(r, g, b, alpha);
}

void gl_blend(bool on)
{
    if (ViewPainter* p = painter())
        p->blend(on);
}

void gl_draw_cylinder(const Vec3& p1, const Vec3& p2, double r1, double r2, unsigned flags)
{
    if (ViewPainter* p = painter())
        p->cylinder(p1, p2, r1, r2, flags);
}

void gl_draw_bend(const Vec3& near, const Vec3& far, const Vec3& centre, double bend_radius, double tube_radius,
                  double angle)
{
    if (ViewPainter* p = painter())
        p->bend(near, far, centre, bend_radius, tube_radius, angle);
}

void gl_draw_sphere(const Vec3& centre, double radius)
{
    if (ViewPainter* p = painter())
        p->sphere(centre, radius);
}

void gl_draw_solid_box(const SolidBox& box)
{
    if (ViewPainter* p = painter())
        p->solid_box(box);
}

void gl_draw_line(const Vec3& a, const Vec3& b)
{
    if (ViewPainter* p = painter())
        p->line3d(a, b);
}

void gl_draw_cone(const Vec3& base, const Vec3& apex, double radius)
{
    if (ViewPainter* p = painter())
        p->cone(base, apex, radius);
}

void gl_front_face_clockwise(bool clockwise)
{
    if (ViewPainter* p = painter())
        p->front_face_clockwise(clockwise);
}

void cylinder_draw(const Cylinder& c)
{
    gl_draw_cylinder(c.p1, c.p2, c.radius, c.radius, c.end_disks ? CYLINDER_END_DISKS : 0u);
}

void ring_draw(const Ring& ring)
{
    if (ViewPainter* p = painter())
        p->ring(ring);
}

void gl_draw_valve_symbol(const ValveSymbol& valve)
{
    for (const Cylinder& spoke : valve.spokes)
        cylinder_draw(spoke);
    cylinder_draw(valve.outer_rim);
    gl_front_face_clockwise(true);
    cylinder_draw(valve.inner_rim);
    ring_draw(valve.face1);
    gl_front_face_clockwise(false);
    ring_draw(valve.face2);
}

void set_pipe_color(bool frp, bool transparent)
{
    if (view_state().color_by_load)
        return;
    const float alpha = transparent ? 0.6f : 1.0f;
    if (frp)
        gl_set_color(0.6f, 0.5f, 0.0f, alpha);
    else
        gl_set_color(0.5f, 0.5f, 0.5f, alpha);
}

// ---- Nodes and rows -------------------------------------------------------------------------

void project_nodes()
{
    for (NodeRecord& n : model().nodes) {
        const Point2 p = project_point({n.x, n.y, n.z});
        n.sx = p.x;
        n.sy = p.y;
    }
}

void rebuild_row_symbol(int row)
{
    Model& m = model();
    if (!m.rows.valid(row))
        return;
    LayoutRow& r = m.rows[row];
    if (!r.element || !r.built)
        return;
    r.box_2d.reset();
    r.box_render.reset();
    if (m.nodes.valid(r.node_index)) {
        const NodeRecord& n = m.nodes[r.node_index];
        r.box_2d.add(n.sx, n.sy);
        r.box_render.add(n.sx, n.sy);
    }
    r.element->build_symbol(r);
    r.element->build_outline(r);
}

PickHooks& pick_hooks()
{
    return session_part<PickHooks>();
}

void pick_edit_data_item(int row)
{
    const PickHooks& hooks = pick_hooks();
    if (hooks.select_row)
        hooks.select_row(row);
    if (hooks.highlight_data_item)
        hooks.highlight_data_item(row);
    if (hooks.open_data_dialog)
        hooks.open_data_dialog(row);
}

void pick_edit_element(int row, bool bend)
{
    const PickHooks& hooks = pick_hooks();
    if (hooks.select_row)
        hooks.select_row(row);
    const auto& highlight = bend ? hooks.highlight_bend : hooks.highlight_element;
    if (highlight)
        highlight(row);
    if (hooks.open_element_dialog)
        hooks.open_element_dialog(row);
}

bool view_click(float x, float y)
{
    Model& m = model();
    const bool render = view_state().render_view;
    for (int row = 1; row <= m.numrows(); ++row) {
        LayoutRow& r = m.rows[row];
        if (!r.built || !r.shown || !r.data)
            continue;
        const Box2D& box = render ? r.data->box_render : r.data->box_2d;
        if (box.contains(x, y) && r.data->pick_and_edit(row, x, y))
            return true;
    }
    for (int row = 1; row <= m.numrows(); ++row) {
        LayoutRow& r = m.rows[row];
        if (!r.built || !r.shown || !r.element)
            continue;
        const Box2D& box = render ? r.box_render : r.box_2d;
        if (box.contains(x, y) && r.element->pick_and_edit(row, x, y))
            return true;
    }
    return false;
}
