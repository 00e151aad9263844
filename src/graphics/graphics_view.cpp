// The view window: zoom, scroll bars, viewpoint and previous view.
#include "graphics/graphics_view.h"

#include "framework/state.h"
#include "framework/strings.h"
#include "graphics/model_view.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "model/view_drawing.h"

#include <algorithm>
#include <cmath>

namespace {

void call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

double gscale()
{
    return view_state().scale;
}

// The view's width and height in view units at the current scale.
double view_width()
{
    return graphics_view().client_width / gscale();
}

double view_height()
{
    return graphics_view().client_height / gscale();
}

// Widens the window to fill the client at the current scale, along the axis
// with the smaller slack (zoom_all step 5).
void widen_to_client(ViewWindow& w)
{
    const double s = gscale();
    const GraphicsViewState& g = graphics_view();
    const double extra_x = g.client_width / s - w.width();
    const double extra_y = g.client_height / s - w.height();
    if (std::fabs(extra_y) <= std::fabs(extra_x)) {
        w.xmin = static_cast<float>(w.xmin - extra_x / 2.0);
        w.xmax = static_cast<float>(w.xmax + extra_x / 2.0);
    } else {
        w.ymin = static_cast<float>(w.ymin - extra_y / 2.0);
        w.ymax = static_cast<float>(w.ymax + extra_y / 2.0);
    }
}

// The extent enlarged by 5 % of its size on every side.
ViewWindow around_extent(const Box2D& e)
{
    const float mx = 0.05f * (e.xmax - e.xmin), my = 0.05f * (e.ymax - e.ymin);
    return ViewWindow{e.xmin - mx, e.ymin - my, e.xmax + mx, e.ymax + my};
}

// A count of scroll units or pixels as an int: a value out of range (a model
// of absurd size) is held at the range's ends, one that is not a number is 0.
int whole(double v)
{
    if (!(v == v))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(v), -1.0e9, 1.0e9));
}

// The scroll position of an offset into the scroll area (view units), to
// the nearest unit: a position set from the bar and read back from the
// window it gave is the same position.
int scroll_position(double offset, float units)
{
    return whole(std::round(offset * double(units)));
}

// Scroll position within 0..maximum.
int clamp_position(int position, int maximum)
{
    return std::clamp(position, 0, std::max(maximum, 0));
}

void apply_horizontal_position()
{
    GraphicsViewState& g = graphics_view();
    ScrollBarModel& h = g.horizontal;
    h.position = clamp_position(h.position, h.maximum);
    if (h.units > 0.0f)
        g.view_window.xmin = static_cast<float>(g.scroll_area.xmin + h.position / double(h.units));
    g.view_window.xmax = static_cast<float>(g.view_window.xmin + view_width());
}

void apply_vertical_position()
{
    GraphicsViewState& g = graphics_view();
    ScrollBarModel& v = g.vertical;
    v.position = clamp_position(v.position, v.maximum);
    if (v.units > 0.0f)
        g.view_window.ymax = static_cast<float>(g.scroll_area.ymax - v.position / double(v.units));
    g.view_window.ymin = static_cast<float>(g.view_window.ymax - view_height());
}

// A scroll step of one bar (turn mode turns the view instead). The bars,
// the keys, the wheel and the view window are one state: whatever the step
// did (or refused at an end), the bars are given the view's position after
// it, so that a thumb never stays where the picture is not.
void scroll(bool horizontal, ScrollCode code, int position)
{
    GraphicsViewState& g = graphics_view();
    GraphicsSettings& s = graphics_settings();
    ScrollBarModel& bar = horizontal ? g.horizontal : g.vertical;
    const GraphicsHooks& hooks = graphics_hooks();
    auto turn = [horizontal](int steps) {
        if (horizontal)
            rotate_view_horizontally(steps);
        else
            rotate_view_vertically(steps);
    };
    switch (code) {
    case ScrollCode::LineUp:
    case ScrollCode::LineDown:
    case ScrollCode::PageUp:
    case ScrollCode::PageDown: {
        const bool up = code == ScrollCode::LineUp || code == ScrollCode::PageUp;
        const bool page = code == ScrollCode::PageUp || code == ScrollCode::PageDown;
        if (s.turn_mode) {
            turn((up ? 1 : -1) * (page ? 2 : 1));
            call(hooks.scroll_bars);
            return;
        }
        const int step = page ? bar.page / 2 : bar.line;
        if (up && bar.position >= 1) {
            bar.position -= step;
        } else if (!up && bar.position < bar.maximum) {
            bar.position += step;
        } else {
            call(hooks.scroll_bars);
            return;
        }
        break;
    }
    case ScrollCode::ThumbTrack:
        if (s.turn_mode) {
            // The thumb is a handle that turns the view: it goes where it is dragged.
            turn(position <= bar.last_thumb ? 1 : -1);
            bar.last_thumb = position;
            return;
        }
        // The line view follows a dragged thumb (faster than the render
        // view); the render view comes back when the thumb is let go.
        if (s.render_mode) {
            g.render_off_by_drag = true;
            switch_render_mode(false);
        }
        if (!g.scroll_dragging)
            call(hooks.highlight_hide);
        g.scroll_dragging = true;
        bar.position = position;
        break;
    case ScrollCode::ThumbPosition:
        if (s.turn_mode) {
            call(hooks.scroll_bars);
            return;
        }
        if (g.scroll_dragging) {
            g.scroll_dragging = false;
            call(hooks.highlight_unhide);
        }
        bar.position = position;
        if (g.render_off_by_drag) {
            g.render_off_by_drag = false;
            if (horizontal)
                apply_horizontal_position();
            else
                apply_vertical_position();
            call(hooks.scroll_bars);
            switch_render_mode(true);
            return;
        }
        break;
    case ScrollCode::EndScroll:
        return;
    }
    const bool dragging = g.scroll_dragging;
    if (!dragging)
        call(hooks.highlight_hide);
    if (horizontal)
        apply_horizontal_position();
    else
        apply_vertical_position();
    call(hooks.scroll_bars);
    graphics_redraw();
    if (!dragging)
        call(hooks.highlight_unhide);
}

// The change of scale of one zoom step, centred as the zoom steps are.
void zoom_by(double f, bool keep)
{
    const GraphicsHooks& h = graphics_hooks();
    call(h.pause_animation);
    graphics_stop_painting();
    if (keep)
        keep_previous_view();
    call(h.highlight_suspend);
    ViewWindow& w = graphics_view().view_window;
    const double width = w.width(), height = w.height();
    set_drawing_scale(gscale() * f);
    w.xmin = static_cast<float>(w.xmin + width * (f - 1.0) * 0.5);
    w.ymin = static_cast<float>(w.ymin + height * (f - 1.0) * 0.5);
    compute_model_extent();
    update_view_window();
    graphics_redraw();
    call(h.highlight_resume);
    call(h.resume_animation);
}

}  // namespace

GraphicsViewState& graphics_view()
{
    return session_part<GraphicsViewState>();
}

GraphicsHooks& graphics_hooks()
{
    return session_part<GraphicsHooks>();
}

void switch_render_mode(bool on)
{
    if (const auto& hook = graphics_hooks().set_render) {
        hook(on);
        return;
    }
    graphics_settings().render_mode = on;
    view_state().render_view = on;
    graphics_redraw();
}

std::atomic<bool>& paint_abort()
{
    static std::atomic<bool> flag{false};
    return flag;
}

std::string graphics_plot_title()
{
    // It names the model's title, which may hold control characters: a
    // printed page or a plot file shows them as codes.
    const auto& title = graphics_hooks().plot_title;
    return title ? shown_controls(title()) : std::string();
}

void graphics_stop_painting()
{
    paint_abort() = true;
    call(graphics_hooks().stop_animation);
}

void graphics_redraw()
{
    graphics_stop_painting();
    call(graphics_hooks().redraw);
}

// ---- View window and scale ----------------------------------------------------------------

void graphics_view_reset()
{
    GraphicsViewState& g = graphics_view();
    g.view_window = ViewWindow{};
    g.model_extent.reset();
    g.model_extent.add(-6.0f, -6.0f);
    g.model_extent.add(6.0f, 6.0f);
    GraphicsSettings& s = graphics_settings();
    s.turn_mode = s.centre_mode = s.view_frozen = false;
    g.scroll_area = ViewWindow{0.0f, 0.0f, 0.0f, 0.0f};
    g.previous.gscale = 0.0;
    set_drawing_scale(g.client_width / 24.0);
    set_viewpoint(1.0, 1.0, 1.0);
    call(graphics_hooks().zoom_buttons);
}

bool set_client_size(int width, int height, double pixel_ratio)
{
    if (width <= 0 || height <= 0)
        return false;
    GraphicsViewState& g = graphics_view();
    g.client_width = width;
    g.client_height = height;
    g.pixel_ratio = std::isfinite(pixel_ratio) && pixel_ratio > 0.0 ? pixel_ratio : 1.0;
    return true;
}

void update_view_window()
{
    GraphicsViewState& g = graphics_view();
    ViewWindow& w = g.view_window;
    const double vw = view_width(), vh = view_height();
    w.xmax = static_cast<float>(w.xmin + vw);
    w.ymax = static_cast<float>(w.ymin + vh);
    // The scroll area: the extent widened by 0.9 of its size on every side,
    // and holding the view window.
    const Box2D& e = g.model_extent;
    ViewWindow& a = g.scroll_area;
    if (e.empty()) {
        a = w;
    } else {
        const float mx = 0.9f * (e.xmax - e.xmin), my = 0.9f * (e.ymax - e.ymin);
        a = ViewWindow{std::min(e.xmin - mx, w.xmin), std::min(e.ymin - my, w.ymin), std::max(e.xmax + mx, w.xmax),
                       std::max(e.ymax + my, w.ymax)};
    }
    ScrollBarModel& h = g.horizontal;
    h.units = a.width() > 0.0f ? static_cast<float>(SCROLL_RANGE / double(a.width())) : 0.0f;
    h.page = scroll_position(w.width(), h.units);
    h.maximum = SCROLL_RANGE - h.page;
    h.position = scroll_position(double(w.xmin) - a.xmin, h.units);
    if (h.position > 0 && h.position >= h.maximum) {
        h.position = h.maximum;
        w.xmin = static_cast<float>(a.xmax - vw);
    } else if (h.position <= 0) {
        h.position = 0;
        w.xmin = a.xmin;
    }
    w.xmax = static_cast<float>(w.xmin + vw);
    h.page = scroll_position(w.width(), h.units);
    h.line = std::max(h.page / 40, 50);

    ScrollBarModel& v = g.vertical;
    v.units = a.height() > 0.0f ? static_cast<float>(SCROLL_RANGE / double(a.height())) : 0.0f;
    v.page = scroll_position(w.height(), v.units);
    v.maximum = SCROLL_RANGE - v.page;
    v.position = scroll_position(double(a.ymax) - w.ymax, v.units);
    if (v.position > 0 && v.position >= v.maximum) {
        v.position = v.maximum;
        w.ymax = static_cast<float>(a.ymin + vh);
    } else if (v.position <= 0) {
        v.position = 0;
        w.ymax = a.ymax;
    }
    w.ymin = static_cast<float>(w.ymax - vh);
    v.page = scroll_position(w.height(), v.units);
    v.line = std::max(g.client_height / 25, 50);
    call(graphics_hooks().scroll_bars);
}

void fit_view_to_client()
{
    GraphicsViewState& g = graphics_view();
    ViewWindow& w = g.view_window;
    if (g.client_width <= 0 || g.client_height <= 0 || w.width() <= 0.0f || w.height() <= 0.0f)
        return;
    const double s = gscale();
    const double slack_x = std::fabs(g.client_width / s - w.width());
    const double slack_y = std::fabs(g.client_height / s - w.height());
    double scale = 0.0;
    if (slack_y <= slack_x) {
        scale = g.client_height / double(w.height());
        const double extra = g.client_width / scale - w.width();
        w.xmin = static_cast<float>(w.xmin - extra / 2.0);
        w.xmax = static_cast<float>(w.xmax + extra / 2.0);
    } else {
        scale = g.client_width / double(w.width());
        const double extra = g.client_height / scale - w.height();
        w.ymin = static_cast<float>(w.ymin - extra / 2.0);
        w.ymax = static_cast<float>(w.ymax + extra / 2.0);
    }
    set_drawing_scale(g.client_width / double(w.width()));
    compute_model_extent();
    update_view_window();
}

namespace {

// One fitting of the window to the extent (the extent at least 2 units each
// way, 5 % more on every side, the scale that shows it in the client, the
// window widened to the client's shape), done twice with the one scale
// because the symbols' sizes change with it; the scale it took.
double zoom_all_once()
{
    GraphicsViewState& g = graphics_view();
    auto fitted = [&g] {
        compute_model_extent();
        Box2D e = g.model_extent;
        if (e.xmax - e.xmin < 2.0f) {
            e.xmin -= 1.0f;
            e.xmax += 1.0f;
        }
        if (e.ymax - e.ymin < 2.0f) {
            e.ymin -= 1.0f;
            e.ymax += 1.0f;
        }
        return around_extent(e);
    };
    ViewWindow w = fitted();
    const double scale = std::min(std::max(g.client_width, 200) / double(w.width()),
                                  std::max(g.client_height, 150) / double(w.height()));
    set_drawing_scale(scale);
    widen_to_client(w);
    g.view_window = w;
    w = fitted();
    widen_to_client(w);
    g.view_window = w;
    set_drawing_scale(scale);
    compute_model_extent();
    return scale;
}

}  // namespace

void zoom_all()
{
    graphics_view().fit_pending = false;
    // The symbols grow or shrink with the scale, so the extent of the second
    // fitting can outgrow the window of the first: fit again until the
    // window holds the extent at its scale (a few rounds settle it).
    const GraphicsViewState& g = graphics_view();
    for (int round = 0; round < 4; ++round) {
        const double scale = zoom_all_once();
        const ViewWindow& w = g.view_window;
        const bool fits = w.width() <= std::max(g.client_width, 200) / scale * (1.0 + 1.0e-4) &&
                          w.height() <= std::max(g.client_height, 150) / scale * (1.0 + 1.0e-4);
        if (fits)
            return;
    }
}

void zoom_all_command()
{
    const GraphicsHooks& h = graphics_hooks();
    call(h.pause_animation);
    keep_previous_view();
    call(h.highlight_suspend);
    zoom_all();
    zoom_all();
    update_view_window();
    graphics_redraw();
    call(h.highlight_resume);
    call(h.resume_animation);
    call(h.zoom_buttons);
}

bool can_zoom_in()
{
    const GraphicsViewState& g = graphics_view();
    return 0.025 * (g.model_extent.xmax - g.model_extent.xmin) < g.view_window.width();
}

bool can_zoom_out()
{
    const GraphicsViewState& g = graphics_view();
    const Box2D& e = g.model_extent;
    const ViewWindow& w = g.view_window;
    const float width = e.xmax - e.xmin, height = e.ymax - e.ymin;
    return e.xmin < w.xmin + 0.9f * width || e.xmax > w.xmax - 0.9f * width || e.ymin < w.ymin + 0.9f * height ||
           e.ymax > w.ymax - 0.9f * height;
}

void zoom_in_step(bool small)
{
    if (!can_zoom_in())
        return;
    zoom_by(small ? 1.02 : 1.05, !small);
}

void zoom_out_step(bool small)
{
    if (!can_zoom_out())
        return;
    double f = small ? 1.02 : 1.05;
    const GraphicsViewState& g = graphics_view();
    if (!can_zoom_in() && g.view_window.width() > 0.0f) {
        const double r = 0.025 * (g.model_extent.xmax - g.model_extent.xmin) / g.view_window.width();
        if (r > f)
            f = r;
    }
    zoom_by(1.0 / f, !small);
}

bool zoom_continuous_step(bool in)
{
    if (in ? !can_zoom_in() : !can_zoom_out())
        return false;
    const double f = graphics_settings().render_mode ? 1.05 : 1.02;
    ViewWindow& w = graphics_view().view_window;
    const double width = w.width(), height = w.height();
    const double by = in ? f : 1.0 / f;
    set_drawing_scale(gscale() * by);
    w.xmin = static_cast<float>(w.xmin + width * (by - 1.0) * 0.5);
    w.ymin = static_cast<float>(w.ymin + height * (by - 1.0) * 0.5);
    compute_model_extent();
    update_view_window();
    graphics_redraw();
    return true;
}

void zoom_to_rectangle(int left, int top, int right, int bottom)
{
    GraphicsViewState& g = graphics_view();
    const int cw = g.client_width, ch = g.client_height;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    left = std::clamp(left, 0, cw);
    right = std::clamp(right, 0, cw);
    top = std::clamp(top, 0, ch);
    bottom = std::clamp(bottom, 0, ch);
    const int rw = right - left, rh = bottom - top;
    if (rw < 5 || rh < 5 || !can_zoom_in())
        return;
    const GraphicsHooks& h = graphics_hooks();
    keep_previous_view();
    call(h.highlight_suspend);
    ViewWindow& w = g.view_window;
    const double s = gscale();
    ViewWindow n;
    n.xmin = static_cast<float>(w.xmin + left / s);
    n.xmax = static_cast<float>(n.xmin + rw / s);
    n.ymin = static_cast<float>(w.ymin + (ch - bottom) / s);
    n.ymax = static_cast<float>(n.ymin + rh / s);
    const double scale = std::min(cw / double(n.width()), ch / double(n.height()));
    set_drawing_scale(scale);
    n.xmin = static_cast<float>((double(n.xmax) + n.xmin - cw / scale) / 2.0);
    n.xmax = static_cast<float>(n.xmin + cw / scale);
    n.ymin = static_cast<float>((double(n.ymax) + n.ymin - ch / scale) / 2.0);
    n.ymax = static_cast<float>(n.ymin + ch / scale);
    w = n;
    compute_model_extent();
    update_view_window();
    graphics_redraw();
    call(h.highlight_resume);
    call(h.zoom_buttons);
}

void centre_on_cursor(int x, int y)
{
    GraphicsViewState& g = graphics_view();
    if (x < 0 || y < 0 || x >= g.client_width || y >= g.client_height)
        return;
    const GraphicsHooks& h = graphics_hooks();
    keep_previous_view();
    call(h.highlight_suspend);
    const double s = gscale();
    const double dx = (x - g.client_width / 2) / s;
    const double dy = (y - g.client_height / 2) / s;
    ViewWindow& w = g.view_window;
    w.xmin = static_cast<float>(w.xmin + dx);
    w.xmax = static_cast<float>(w.xmax + dx);
    w.ymin = static_cast<float>(w.ymin - dy);
    w.ymax = static_cast<float>(w.ymax - dy);
    update_view_window();
    graphics_redraw();
    if (h.move_cursor)
        h.move_cursor(g.client_width / 2, g.client_height / 2);
    call(h.highlight_resume);
}

void horizontal_scroll(ScrollCode code, int position)
{
    const GraphicsHooks& h = graphics_hooks();
    call(h.pause_animation);
    scroll(true, code, position);
    call(h.resume_animation);
}

void vertical_scroll(ScrollCode code, int position)
{
    const GraphicsHooks& h = graphics_hooks();
    call(h.pause_animation);
    scroll(false, code, position);
    call(h.resume_animation);
}

// ---- Viewpoint and previous view ------------------------------------------------------------------

void keep_previous_view()
{
    GraphicsViewState& g = graphics_view();
    g.previous.viewpoint = view_transform().viewpoint;
    g.previous.window = g.view_window;
    g.previous.gscale = gscale();
    g.previous.extent = g.model_extent;
}

bool previous_view_kept()
{
    return graphics_view().previous.gscale > 0.0;
}

void previous_view()
{
    GraphicsViewState& g = graphics_view();
    if (!previous_view_kept())
        return;
    const PreviousView now{view_transform().viewpoint, g.view_window, gscale(), g.model_extent};
    const PreviousView before = g.previous;
    g.previous = now;
    g.view_window = before.window;
    set_drawing_scale(before.gscale);
    g.model_extent = before.extent;
    const GraphicsHooks& h = graphics_hooks();
    call(h.highlight_suspend);
    set_viewpoint(before.viewpoint.x, before.viewpoint.y, before.viewpoint.z);
    update_screen_positions();
    compute_model_extent();
    update_view_window();
    graphics_redraw();
    call(h.highlight_resume);
}

void set_view_direction(double x, double y, double z)
{
    const Vec3& now = view_transform().viewpoint;
    if (now.x == x && now.y == y && now.z == z)
        return;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || (x == 0.0 && y == 0.0 && z == 0.0))
        return;
    const GraphicsHooks& h = graphics_hooks();
    call(h.pause_animation);
    keep_previous_view();
    call(h.highlight_suspend);
    set_viewpoint(x, y, z);
    update_screen_positions();
    zoom_all();
    update_view_window();
    graphics_redraw();
    call(h.highlight_resume);
    call(h.resume_animation);
}

