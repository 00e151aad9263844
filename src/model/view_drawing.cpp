// The view state, the drawing calls that go to the painter in place, the
// symbol rebuild of a row and the click handler of the views.
#include "model/view_drawing.h"

#include "framework/errors.h"
#include "framework/state.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"

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

void set_drawing_scale(double pixels_per_unit)
{
    KV_ASSERT(pixels_per_unit > 0.0);
    ViewState& v = view_state();
    v.scale = pixels_per_unit;
    v.element_half_width = 7.0 / pixels_per_unit;
    v.support_symbol_size = 12.0 / pixels_per_unit;
    v.symbol_margin = 4.0 / pixels_per_unit;
}

double symbol_scale()
{
    return view_state().scale;
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

void cylinder_draw(const Cylinder& c)
{
    gl_draw_cylinder(c.p1, c.p2, c.radius, c.radius, c.end_disks ? CYLINDER_END_DISKS : 0u);
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

void update_screen_positions()
{
    for (NodeRecord& n : model().nodes) {
        const Point2 p = project_point({n.x, n.y, n.z});
        n.sx = p.x;
        n.sy = p.y;
    }
}

Box2D compute_model_extent()
{
    Box2D extent;
    for (const NodeRecord& n : model().nodes)
        extent.add(n.sx, n.sy);
    return extent;
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
