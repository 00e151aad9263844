#include "graphics/triads.h"

#include "framework/state.h"
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "model/elements.h"
#include "model/model.h"
#include "model/view_drawing.h"

#include <cmath>

Point2 axes_triad_origin(bool plotter)
{
    const ViewState& v = view_state();
    const ViewWindow& w = graphics_view().view_window;
    const int corner = graphics_settings().axes_corner;
    float tw = 0.0f, th = 0.0f;
    draw_text_extent("X", tw, th);
    const double s = v.triad_arrow_length / v.scale;
    const double mx = v.text_margin_x, my = v.text_margin_y;
    double x = 0.0, y = 0.0;
    if (corner == 2 || corner == 3)
        x = w.xmin - v.axes_min_sx * s + tw + 2.0 * mx;
    else
        x = w.xmax - v.axes_max_sx * s - tw - 2.0 * mx;
    if (corner == 1 || corner == 2) {
        y = w.ymax - v.axes_max_sy * s - th - 1.5 * my;
        if (plotter)
            y -= 1.5 * my;
    } else {
        y = w.ymin - v.axes_min_sy * s + my + th;
    }
    return {static_cast<float>(x), static_cast<float>(y)};
}

void draw_axes_triad(bool plotter)
{
    if (graphics_settings().axes_corner == 0)
        return;
    const ViewState& v = view_state();
    draw_select_pen(PEN_AXES);
    const Point2 o = axes_triad_origin(plotter);
    static const char* const names[3] = {"X", "Y", "Z"};
    for (int k = 0; k < 3; ++k) {
        const AxisProjection& a = v.axes[k];
        const auto length = static_cast<float>(v.triad_arrow_length * a.length);
        if (length <= 0.0f)
            continue;
        draw_labelled_arrow(o.x, o.y, a.sx, a.sy, length, 0, names[k]);
    }
    draw_select_pen(PEN_ELEMENT);
}

// ---- LCS triad ---------------------------------------------------------------------------------

LcsTriad& lcs_triad()
{
    return session_part<LcsTriad>();
}

bool& lcs_display()
{
    return show_flags().local_axes;
}

void lcs_triad_init(int node)
{
    const LocalAxes& a = local_axes();
    lcs_triad_init(node, a.x, a.y, a.z);
}

void lcs_triad_init(int node, const Vec3& x, const Vec3& y, const Vec3& z)
{
    LcsTriad& t = lcs_triad();
    t.node = node;
    t.axes[0] = x;
    t.axes[1] = y;
    t.axes[2] = z;
}

void lcs_triad_build()
{
    LcsTriad& t = lcs_triad();
    const ViewState& v = view_state();
    t.origin = node_view_point(t.node);
    const double l1 = 1.25 * v.triad_arrow_length / v.scale;
    const double l2 = 1.5 * l1;
    const auto d = static_cast<float>(view_pixels(5.0));
    Point2 centres[3];
    for (int k = 0; k < 3; ++k) {
        float px = 0.0f, py = 0.0f;
        // The direction alone: the view matrix's translation is taken off.
        float ox = 0.0f, oy = 0.0f;
        project_point(0.0, 0.0, 0.0, ox, oy);
        project_point(t.axes[k].x, t.axes[k].y, t.axes[k].z, px, py);
        px -= ox;
        py -= oy;
        t.ends[k] = {static_cast<float>(t.origin.x + l1 * px), static_cast<float>(t.origin.y + l1 * py)};
        centres[k] = {static_cast<float>(t.origin.x + l2 * px), static_cast<float>(t.origin.y + l2 * py)};
    }
    auto stroke = [&](int i, Point2 a, Point2 b) {
        t.letters[i][0] = a;
        t.letters[i][1] = b;
    };
    const Point2 x = centres[0], y = centres[1], z = centres[2];
    stroke(0, {x.x - d, x.y + d}, {x.x + d, x.y - d});
    stroke(1, {x.x - d, x.y - d}, {x.x + d, x.y + d});
    stroke(2, {y.x - d, y.y + d}, {y.x, y.y});
    stroke(3, {y.x, y.y}, {y.x + d, y.y + d});
    stroke(4, {y.x, y.y}, {y.x, y.y - d});
    stroke(5, {z.x - d, z.y + d}, {z.x + d, z.y + d});
    stroke(6, {z.x + d, z.y + d}, {z.x - d, z.y - d});
    stroke(7, {z.x - d, z.y - d}, {z.x + d, z.y - d});
}

void lcs_triad_draw()
{
    lcs_triad_build();
    const LcsTriad& t = lcs_triad();
    draw_select_pen(PEN_LCS_AXES);
    for (const Point2& end : t.ends)
        draw_line(t.origin, end);
    draw_select_pen(PEN_LCS_LETTERS);
    for (const auto& s : t.letters)
        draw_line(s[0], s[1]);
}

void lcs_triad_toggle()
{
    LcsTriad& t = lcs_triad();
    if (norm(t.axes[0]) < 0.01)
        return;
    t.shown = !t.shown;
    if (const auto& overlays = graphics_hooks().redraw_overlays)
        overlays();
}

void lcs_triad_erase()
{
    LcsTriad& t = lcs_triad();
    if (!t.shown)
        return;
    t.shown = false;
    if (const auto& overlays = graphics_hooks().redraw_overlays)
        overlays();
}

void lcs_triad_label()
{
    draw_select_pen(PEN_LCS_LETTERS);
    draw_node_label(lcs_triad().node);
}
