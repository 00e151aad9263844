// The client of the graphics window: painting (the 2D picture kept between
// paints, or the rendered scene, and the overlays over either), the mouse,
// the wheel, the keys and the scroll bars, and the coalesced repaint that
// every model or view change asks for.
#include "graphics/ui/graphics_client.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/state.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "graphics/color_scale.h"
#include "graphics/draw2d.h"
#include "graphics/highlight.h"
#include "graphics/shapes.h"
#include "graphics/stress_view.h"
#include "graphics/triads.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/ui/render_view.h"
#include "graphics/ui/shape_commands.h"
#include "graphics/view_settings.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/threads.h"
#include "results/results_state.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct ClientState {
    GraphicsClient events;
    WindowId window = 0;
    // The picture of the line view, kept until the model or the view changes.
    Image picture;
    bool picture_valid = false;
    double picture_ratio = 1.0;
    // The repaint asked for and not run yet; the model changed since the
    // symbols were built.
    bool repaint_pending = false;
    bool model_dirty = true;
    int repaints = 0;
    // The scene's frame buffer in device pixels.
    int device_width = 0;
    int device_height = 0;
    // The rubber band.
    bool tracking = false;
    MouseButton button = MouseButton::None;
    Point anchor, current;
    // Outlines shown by the Space key until the next repaint.
    enum class Outlines { None, Anchors, Beams } outlines = Outlines::None;
};

ClientState& state()
{
    return session_part<ClientState>();
}

void call(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

// The clip window of a paint rectangle widened by 5 pixels on each side, so
// that a symbol across its edge is drawn whole; never beyond the client,
// where nothing would show.
ViewWindow clip_of(const Rect& r)
{
    const GraphicsViewState& g = graphics_view();
    const double s = view_state().scale;
    const ViewWindow& w = g.view_window;
    ViewWindow c;
    c.xmin = static_cast<float>(std::max((r.left - 5) / s + w.xmin, double(w.xmin)));
    c.xmax = static_cast<float>(std::min((r.right + 5) / s + w.xmin, double(w.xmax)));
    c.ymin = static_cast<float>(std::max((g.client_height - r.bottom - 5) / s + w.ymin, double(w.ymin)));
    c.ymax = static_cast<float>(std::min((g.client_height - r.top + 5) / s + w.ymin, double(w.ymax)));
    return c;
}

Rect client_rect()
{
    const GraphicsViewState& g = graphics_view();
    return Rect{0, 0, g.client_width, g.client_height};
}

// The 2D layers into the kept picture.
void rebuild_picture()
{
    ClientState& st = state();
    const GraphicsViewState& g = graphics_view();
    std::unique_ptr<Surface> image =
        backend().image_surface(g.client_width, g.client_height, color_scheme().background, g.pixel_ratio);
    const ViewWindow clip = clip_of(client_rect());
    graphics_view().clip_window = clip;
    bool complete = false;
    {
        ScreenDrawing drawing(*image, clip);
        complete = gdi_draw_model();
    }
    st.picture = backend().surface_image(*image);
    st.picture_ratio = g.pixel_ratio;
    // An aborted picture is drawn again by the repaint that stopped it.
    st.picture_valid = complete;
}

// The colour bar while stresses or ratios are shown, the property list
// while rows are coloured by property; kept inside the client.
void draw_legends(Surface& surface)
{
    const GraphicsViewState& g = graphics_view();
    const GraphicsSettings& s = graphics_settings();
    const StressColouring& c = stress_colouring();
    surface.set_font(s.font);
    if (c.stresses || c.ratios)
    {
        const bool ratios = c.ratios && !c.stresses;
        const bool marked = results_open() && (results_out_of_date() || results_elements_changed());
        draw_color_legend(surface, color_legend_fit(1.0, g.client_width, g.client_height, surface, ratios, marked),
                          ratios, s.white_background, marked);
    }
    if (s.properties_legend_shown && s.render_mode)
        draw_properties_legend(surface, 1.0, property_legend_entries(property_colouring().kind), s.white_background);
}

void draw_overlays(Surface& surface)
{
    ClientState& st = state();
    const GraphicsViewState& g = graphics_view();
    {
        ScreenDrawing drawing(surface, g.view_window);
        graphics_view().clip_window = g.view_window;
        if (graphics_settings().render_mode)
            draw_render_overlays();
        if (st.outlines == ClientState::Outlines::Anchors)
            draw_anchor_outlines();
        else if (st.outlines == ClientState::Outlines::Beams)
            draw_beam_outlines();
        // The local axes that a highlight shows go with it from a hidden row.
        const bool axes_hidden = highlight_state().kind == HIGHLIGHT_LCS && highlight_on_hidden_row();
        if (lcs_triad().shown && !axes_hidden) {
            lcs_triad_draw();
            lcs_triad_label();
        }
        animation_draw_frame();
        call(graphics_hooks().overlays);
    }
    {
        const ClientClip clip(surface);
        draw_legends(surface);
    }
    highlight_draw_overlay(surface);
    const ClientClip clip(surface);
    if (st.tracking && st.button != MouseButton::None) {
        surface.set_pen(color_scheme()[PEN_RUBBER_BAND].pen);
        surface.set_brush(Brush{Color{}, true});
        const int l = std::min(st.anchor.x, st.current.x), r = std::max(st.anchor.x, st.current.x);
        const int t = std::min(st.anchor.y, st.current.y), b = std::max(st.anchor.y, st.current.y);
        surface.rectangle(Rect{l, t, r + 1, b + 1});
    }
}

// The fitting asked for by fit_view_at_first_paint, on the client's size now.
void fit_if_pending()
{
    ClientState& st = state();
    const GraphicsViewState& g = graphics_view();
    if (!g.fit_pending || g.client_width <= 0 || g.client_height <= 0)
        return;
    st.model_dirty = false;
    update_screen_positions();
    zoom_all();
    update_view_window();
    st.picture_valid = false;
}

void leave_centre_mode()
{
    GraphicsSettings& s = graphics_settings();
    if (!s.centre_mode)
        return;
    s.centre_mode = false;
    if (state().window)
        backend().set_cursor_shape(state().window, CursorShape::Arrow);
}

void overlays_changed()
{
    if (state().window)
        backend().invalidate(state().window);
}

void post_zoom_buttons()
{
    frame_post_command(graphics_frame(), CMD_ZOOM_BUTTON_STATE);
}

void show_popup(MenuItem popup, Point at)
{
    // A command that nothing serves now is greyed, as in the menus.
    for (MenuItem& i : popup.items)
        if (i.id != 0)
            i.disabled = !frame_command_available(graphics_frame(), i.id);
    const WindowId w = state().window;
    const int id = backend().popup_menu(w, popup, backend().client_to_screen(w, at));
    if (id != 0)
        frame_command(graphics_frame(), id);
}

using menu::item;

bool jacket_rows_in_model()
{
    for (const LayoutRow& r : model().rows)
        if (r.etype == ET_JACKETED_PIPE || r.etype == ET_JACKETED_BEND)
            return true;
    return false;
}

// The right button's popup.
void view_popup(Point at)
{
    const GraphicsSettings& s = graphics_settings();
    MenuItem popup;
    append_graphics_result_items(popup);
    popup.items.push_back(item("&Viewpoint...", CMD_VIEWPOINT));
    if (previous_view_kept())
        popup.items.push_back(item("&Previous View", CMD_PREVIOUS_VIEW));
    popup.items.push_back(item("Zoom &All", CMD_ZOOM_ALL));
    popup.items.push_back(item("&Center", CMD_CENTER));
    popup.items.push_back(item(s.turn_mode ? "Do not &Turn" : "&Turn", CMD_TURN));
    popup.items.push_back(item(s.view_frozen ? "Unfree&ze View" : "Free&ze View", CMD_FREEZE_VIEW));
    if (stress_colors_shown() && jacket_rows_in_model())
        popup.items.push_back(item(graphics_tool_tip(CMD_COLOURING_OFF), CMD_COLOURING_OFF));
    popup.items.push_back(MenuItem{});
    if (frame_command_available(graphics_frame(), CMD_SHOW))
        popup.items.push_back(item("&Show...", CMD_SHOW));
    if (frame_command_available(graphics_frame(), CMD_SHOW_NODES))
        popup.items.push_back(item("Show &Nodes...", CMD_SHOW_NODES));
    if (!s.render_mode)
        popup.items.push_back(item("Re&draw", CMD_REDRAW));
    if (s.render_available)
        popup.items.push_back(item(s.render_mode ? "Do not &render" : "&Render", CMD_RENDER));
    const auto& h = graphics_hooks();
    call(h.highlight_suspend);
    show_popup(popup, at);
    call(h.highlight_resume);
}

// The middle button's click: what was picked can be hidden or made transparent.
void pick_popup(Point at, bool found)
{
    MenuItem popup;
    if (found) {
        popup.items = {item("Hide from Graphics", CMD_HIDE_CURRENT_ELEMENT),
                       item("Make Transparent", CMD_MAKE_TRANSPARENT)};
    } else {
        popup.items = {item("Hide CE", CMD_HIDE_CURRENT_ELEMENT), item("Make CE Transparent", CMD_MAKE_TRANSPARENT),
                       MenuItem{}, item("Show All", CMD_SHOW_ALL_ELEMENTS),
                       item("Make all Transparent", CMD_ALL_TRANSPARENT), item("Make all Opaque", CMD_ALL_OPAQUE)};
    }
    show_popup(popup, at);
}

}  // namespace

// ---- The client's events -----------------------------------------------------------------------

void GraphicsClient::on_paint(Surface& surface, const Rect& dirty)
{
    graphics_paint(surface, dirty);
}

void GraphicsClient::on_size(int width, int height)
{
    const WindowId w = state().window;
    const double ratio = w ? backend().device_pixel_ratio(w) : 1.0;
    // A minimised window has no size: the view stays as it was.
    if (!set_client_size(width, height, ratio)) {
        graphics_settings().frame_iconic = true;
        return;
    }
    graphics_settings().frame_iconic = false;
    fit_view_to_client();
    state().picture_valid = false;
    if (w)
        backend().invalidate(w);
}

void GraphicsClient::gl_resize(int device_width, int device_height)
{
    state().device_width = device_width;
    state().device_height = device_height;
}

void GraphicsClient::gl_paint()
{
    ClientState& st = state();
    paint_abort() = false;
    fit_if_pending();
    if (graphics_settings().render_mode)
        gl_draw_scene(st.device_width, st.device_height, graphics_view().view_window);
    else
        gl_clear_scene(st.device_width, st.device_height);
}

void GraphicsClient::on_mouse_down(MouseButton b, int x, int y, unsigned)
{
    ClientState& st = state();
    if (b == MouseButton::Right) {
        leave_centre_mode();
        view_popup({x, y});
        return;
    }
    if (b != MouseButton::Left && b != MouseButton::Middle)
        return;
    call(graphics_hooks().pause_animation);
    if (graphics_settings().centre_mode)
        return;
    backend().set_mouse_capture(st.window, true);
    st.tracking = true;
    st.button = b;
    st.anchor = st.current = {x, y};
}

void GraphicsClient::on_mouse_move(int x, int y, unsigned)
{
    ClientState& st = state();
    if (!st.tracking || st.button != MouseButton::Left)
        return;
    st.current = {x, y};
    overlays_changed();
}

void GraphicsClient::on_mouse_up(MouseButton b, int x, int y, unsigned)
{
    ClientState& st = state();
    if (b != MouseButton::Left && b != MouseButton::Middle)
        return;
    if (graphics_settings().centre_mode) {
        leave_centre_mode();
        centre_on_cursor(x, y);
        return;
    }
    if (!st.tracking || st.button != b)
        return;
    backend().set_mouse_capture(st.window, false);
    st.tracking = false;
    st.button = MouseButton::None;
    overlays_changed();
    const int width = std::abs(x - st.anchor.x), height = std::abs(y - st.anchor.y);
    const bool editing = !preferences().disable_graphic_editing;
    if (b == MouseButton::Left) {
        if (width < 4 && height < 4) {
            if (editing)
                graphics_click_pick(x, y);
        } else if (width >= 17 && height >= 17) {
            zoom_to_rectangle(st.anchor.x, st.anchor.y, x, y);
        }
    } else {
        if (width < 4 && height < 4) {
            if (editing)
                pick_popup({x, y}, graphics_pick(x, y).found());
        } else if (width > 16 && height > 16) {
            zoom_to_rectangle(st.anchor.x, st.anchor.y, x, y);
        }
    }
    call(graphics_hooks().resume_animation);
}

void GraphicsClient::on_double_click(MouseButton b, int, int, unsigned)
{
    if (b != MouseButton::Left)
        return;
    graphics_settings().centre_mode = true;
    backend().set_cursor_shape(state().window, CursorShape::Hand);
}

void GraphicsClient::on_wheel(int delta, int, int, unsigned mods)
{
    if (delta == 0)
        return;
    if (mods & MOD_SHIFT) {
        horizontal_scroll(delta > 0 ? ScrollCode::LineUp : ScrollCode::LineDown, 0);
    } else if (!(mods & MOD_CONTROL)) {
        if (delta > 0)
            zoom_in_step();
        else
            zoom_out_step();
        post_zoom_buttons();
    } else {
        vertical_scroll(delta > 0 ? ScrollCode::LineUp : ScrollCode::LineDown, 0);
    }
}

bool GraphicsClient::on_key(int key, unsigned mods)
{
    if (mods & (MOD_CONTROL | MOD_ALT))
        return false;
    leave_centre_mode();
    switch (key) {
    case KEY_SPACE:
        state().outlines = graphics_settings().render_mode ? ClientState::Outlines::Anchors
                                                           : ClientState::Outlines::Beams;
        overlays_changed();
        return true;
    case KEY_PRIOR:
        zoom_in_step();
        post_zoom_buttons();
        return true;
    case KEY_NEXT:
        zoom_out_step();
        post_zoom_buttons();
        return true;
    case KEY_LEFT: horizontal_scroll(ScrollCode::LineUp, 0); return true;
    case KEY_RIGHT: horizontal_scroll(ScrollCode::LineDown, 0); return true;
    case KEY_UP: vertical_scroll(ScrollCode::LineUp, 0); return true;
    case KEY_DOWN: vertical_scroll(ScrollCode::LineDown, 0); return true;
    default: return false;
    }
}

void GraphicsClient::on_scroll(ScrollBarKind bar, ScrollCode code, int position)
{
    leave_centre_mode();
    if (bar == ScrollBarKind::Horizontal)
        horizontal_scroll(code, position);
    else
        vertical_scroll(code, position);
}

// ---- Painting and repainting ----------------------------------------------------------------------

void graphics_paint(Surface& surface, const Rect& dirty)
{
    ClientState& st = state();
    const GraphicsViewState& g = graphics_view();
    if (g.client_width <= 0 || g.client_height <= 0)
        return;
    paint_abort() = false;
    fit_if_pending();
    const Rect whole = client_rect();
    if (graphics_settings().render_mode) {
        // The scene lies under the overlays already.
    } else if (!backend().has_windows()) {
        // Drawn straight onto the surface: what a test records.
        surface.fill_rect(whole, color_scheme().background);
        const ViewWindow clip = clip_of(dirty);
        graphics_view().clip_window = clip;
        ScreenDrawing drawing(surface, clip);
        gdi_draw_model();
    } else {
        if (!st.picture_valid || st.picture_ratio != g.pixel_ratio)
            rebuild_picture();
        surface.draw_image(whole, st.picture);
    }
    draw_overlays(surface);
}

void graphics_request_repaint()
{
    if (!on_main_thread()) {
        post_to_main([] { graphics_request_repaint(); });
        return;
    }
    ClientState& st = state();
    if (st.repaint_pending || !backend_installed())
        return;
    st.repaint_pending = true;
    backend().post([] {
        // The call may outlive the session it was asked in.
        ClientState& s = state();
        if (s.repaint_pending)
            graphics_repaint_now();
    });
}

void graphics_repaint_now()
{
    ClientState& st = state();
    st.repaint_pending = false;
    if (st.model_dirty) {
        st.model_dirty = false;
        // Values kept by element and node index (shapes, colouring) belong
        // to no element once an edit changed the model's elements: they go.
        const ShapeState& shapes = shape_state();
        const bool drawn = stress_colors_shown() || shapes.deflected_shape_shown || shapes.mode_shape_shown ||
                           shapes.animating;
        if (drawn && results_open() && !results_elements_match_model() && results_hooks().hide_overlays)
            results_hooks().hide_overlays();
        // Where the elements are still the results' own, an element whose
        // length or direction an edit changed loses its colour.
        else if (stress_colors_shown() && results_open())
            refresh_stress_colouring();
        update_screen_positions();
        compute_model_extent();
    }
    update_view_window();
    st.picture_valid = false;
    st.outlines = ClientState::Outlines::None;
    ++st.repaints;
    if (!st.window)
        return;
    if (graphics_settings().render_mode)
        backend().invalidate_scene(st.window);
    else
        backend().invalidate(st.window);
}

void graphics_model_changed()
{
    state().model_dirty = true;
    graphics_redraw();
}

void graphics_redraw_overlays()
{
    if (!on_main_thread()) {
        post_to_main([] { graphics_redraw_overlays(); });
        return;
    }
    overlays_changed();
}

void fit_view_at_first_paint()
{
    graphics_view().fit_pending = true;
    graphics_redraw();
}

int graphics_repaint_count()
{
    return state().repaints;
}

WindowId graphics_client_window()
{
    return state().window;
}

GraphicsClient& graphics_client_events()
{
    return state().events;
}

void set_graphics_client_window(WindowId window)
{
    state().window = window;
}

void push_scroll_bars()
{
    const WindowId w = state().window;
    if (!w)
        return;
    const GraphicsViewState& g = graphics_view();
    if (graphics_settings().turn_mode) {
        const ScrollBarState turn{0, 180, 60, 60, true};
        backend().set_scroll_bar(w, ScrollBarKind::Horizontal, turn);
        backend().set_scroll_bar(w, ScrollBarKind::Vertical, turn);
        return;
    }
    backend().set_scroll_bar(w, ScrollBarKind::Horizontal,
                             ScrollBarState{0, SCROLL_RANGE, g.horizontal.page, g.horizontal.position, true});
    backend().set_scroll_bar(w, ScrollBarKind::Vertical,
                             ScrollBarState{0, SCROLL_RANGE, g.vertical.page, g.vertical.position, true});
}
