#include "elements/bend_symbol.h"

#include "model/layout_row.h"
#include "model/view_drawing.h"

namespace {

Point2 midpoint(Point2 a, Point2 b)
{
    return {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f};
}

}  // namespace

void build_bend_symbol(BendSymbol& s, const BendSymbolNodes& nodes)
{
    s.nodes = nodes;
    s.previous = node_view_point(nodes.previous);
    s.corner = node_view_point(nodes.corner);
    if (nodes.valid) {
        s.near = node_view_point(nodes.near);
        s.far = node_view_point(nodes.far);
        cylinder_between_nodes(s.leg_cylinder, nodes.previous, nodes.near, nodes.radius, nodes.leg_end_disks);
        // The arc in three equal parts: the near point turned about the
        // normal of the bend plane through the centre.
        const Vec3 near = node_model_point(nodes.near);
        const Vec3 far = node_model_point(nodes.far);
        const Vec3 normal = cross(minus(far, near), minus(nodes.centre, near));
        Vec3 points[4] = {near, {}, {}, far};
        for (int k = 1; k <= 2; ++k)
            points[k] = AxisRotation::about(nodes.centre, normal, nodes.angle * k / 3.0).apply(near);
        for (int k = 0; k < 3; ++k)
            cylinder_init(s.chords[k], points[k], points[k + 1], nodes.radius, false);
    } else {
        s.near = s.far = s.corner;
        cylinder_between_nodes(s.leg_cylinder, nodes.previous, nodes.corner, nodes.radius, nodes.leg_end_disks);
        for (Cylinder& chord : s.chords)
            chord.outline = s.leg_cylinder.outline;
    }
    triangle_init(s.triangle, s.near, s.corner, s.far);
    s.bezier[0] = s.near;
    s.bezier[1] = midpoint(s.near, s.corner);
    s.bezier[2] = midpoint(s.far, s.corner);
    s.bezier[3] = s.far;
}

void build_bend_outline(BendSymbol& s, LayoutRow& row)
{
    LocalFrame2D frame;
    frame2d_init(frame, s.previous, {s.near.x - s.previous.x, s.near.y - s.previous.y},
                 {s.previous.y - s.near.y, s.near.x - s.previous.x},
                 static_cast<float>(length2(s.near.x - s.previous.x, s.near.y - s.previous.y)));
    quad_element_outline(s.leg, frame);
    triangle_add_to_box(s.triangle, row.box_2d);
    quad_add_to_box(s.leg, row.box_2d);
    quad_add_to_box(s.leg_cylinder.outline, row.box_render);
    for (const Cylinder& chord : s.chords)
        quad_add_to_box(chord.outline, row.box_render);
}

void draw_bend_2d(const BendSymbol& s, int leg_pen, int arc_pen)
{
    if (!s.nodes.valid) {
        draw_select_pen(PEN_FIRST);
        draw_line(s.previous, s.corner);
        return;
    }
    draw_select_pen(static_cast<ViewPen>(leg_pen));
    draw_line(s.previous, s.near);
    if (view_state().curved_bends) {
        draw_select_pen(PEN_FIRST);
        draw_line(s.near, s.corner);
        draw_line(s.corner, s.far);
        draw_select_pen(static_cast<ViewPen>(arc_pen));
        draw_bezier(s.bezier);
    } else {
        draw_select_pen(static_cast<ViewPen>(arc_pen));
        draw_line(s.near, s.corner);
        draw_line(s.corner, s.far);
    }
}

void draw_bend_3d(const BendSymbol& s)
{
    if (!s.nodes.valid) {
        gl_set_color(1.0f, 0.0f, 0.0f);
        gl_draw_line(node_model_point(s.nodes.previous), node_model_point(s.nodes.corner));
        return;
    }
    cylinder_draw(s.leg_cylinder);
    gl_draw_bend(node_model_point(s.nodes.near), node_model_point(s.nodes.far), s.nodes.centre,
                 s.nodes.bend_radius, s.nodes.radius, s.nodes.angle);
}

void draw_bend_outline_2d(const BendSymbol& s)
{
    triangle_draw(s.triangle);
    quad_draw(s.leg);
}

void draw_bend_outline_3d(const BendSymbol& s)
{
    quad_draw(s.leg_cylinder.outline);
    for (const Cylinder& chord : s.chords)
        quad_draw(chord.outline);
}

bool bend_symbol_hit(const BendSymbol& s, float x, float y)
{
    // The straight leg before the arc belongs to the row too.
    if (view_state().render_view) {
        if (quad_contains(s.leg_cylinder.outline, x, y))
            return true;
        if (!s.nodes.valid)
            return false;
        for (const Cylinder& chord : s.chords)
            if (quad_contains(chord.outline, x, y))
                return true;
        return false;
    }
    return quad_contains(s.leg, x, y) || (s.nodes.valid && triangle_contains(s.triangle, x, y));
}
