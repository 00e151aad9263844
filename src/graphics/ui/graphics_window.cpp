// The graphics frame: its commands, menu states, tool tips and tool buttons,
// the render mode, the rows' visibility, showing and hiding the window, and
// the hooks through which the lower layers reach the view.
#include "graphics/ui/graphics_window.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/help.h"
#include "framework/ui/messages.h"
#include "graphics/color_scale.h"
#include "graphics/highlight.h"
#include "graphics/stress_view.h"
#include "graphics/triads.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/ui/graphics_dialogs.h"
#include "graphics/ui/highlight_ui.h"
#include "graphics/ui/mode_shape_table.h"
#include "graphics/ui/plot_commands.h"
#include "graphics/ui/shape_commands.h"
#include "graphics/ui/show_dialogs.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "model/model.h"
#include "model/symbol_shapes.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "model/view_drawing.h"
#include "results/ui/result_choosers.h"

#include <cmath>

namespace {

// The timer of the continuous zoom on the graphics frame, and its period.
constexpr int ZOOM_TIMER = 3;
constexpr int ZOOM_PERIOD_MS = 20;

struct WindowState {
    // The continuous zoom: 1 in, -1 out, 0 none; whether it made a step.
    int zooming = 0;
    bool zoomed = false;
    // The layout's hooks that the graphics wrap.
    std::function<void()> present_layout;
    std::function<void()> close_windows;
};

WindowState& window_state()
{
    return session_part<WindowState>();
}

Frame& frame()
{
    return graphics_frame();
}

// The rows' visibility shows in the view the window has: the line view
// keeps its deflected or mode shape and the view keeps its place, and an
// animation goes on with the rows as they now are.
void redraw_rows()
{
    const GraphicsHooks& h = graphics_hooks();
    if (h.pause_animation)
        h.pause_animation();
    graphics_settings().properties_legend_shown = false;
    graphics_redraw();
    if (h.resume_animation)
        h.resume_animation();
}

// Transparency is drawn only by the render view.
bool transparency_drawn()
{
    return graphics_settings().render_mode;
}

void set_axes_corner(int corner)
{
    GraphicsSettings& s = graphics_settings();
    if (s.axes_corner == corner)
        return;
    s.axes_corner = corner;
    graphics_redraw();
}

void set_background(bool white)
{
    GraphicsSettings& s = graphics_settings();
    if (s.white_background == white)
        return;
    s.white_background = white;
    apply_color_scheme();
    graphics_redraw();
}

void set_quality(int quality)
{
    graphics_settings().rendering_quality = quality;
    if (graphics_settings().render_mode)
        graphics_redraw();
}

void change_symbol_size(float by)
{
    set_symbol_scale(symbol_scale() + by);
    // A display setting: the symbols are built again and drawn, the model is
    // not touched (nor marked modified).
    graphics_model_changed();
}

// Zoom All until the extent stops moving: it moves while the symbols'
// sizes settle with the scale. At most ten rounds.
void recover_graphics()
{
    double before = graphics_view().model_extent.xmax;
    for (int round = 0; round < 10; ++round) {
        zoom_all_command();
        const double after = graphics_view().model_extent.xmax;
        const double change = std::fabs(after - before);
        if (change <= 1.0e-6 * std::max(std::fabs(after), 1.0))
            break;
        before = after;
    }
}

void toggle_turn_mode()
{
    GraphicsSettings& s = graphics_settings();
    s.turn_mode = !s.turn_mode;
    if (s.turn_mode) {
        graphics_view().horizontal.last_thumb = graphics_view().vertical.last_thumb = 60;
        push_scroll_bars();
    } else {
        update_view_window();
    }
    frame_set_button_look(frame(), CMD_TURN, "turn", graphics_tool_tip(CMD_TURN), s.turn_mode);
}

void update_zoom_buttons()
{
    Frame& f = frame();
    if (can_zoom_in())
        frame_enable_button(f, CMD_ZOOM_IN_BUTTON);
    else
        frame_disable_button(f, CMD_ZOOM_IN_BUTTON);
    if (can_zoom_out())
        frame_enable_button(f, CMD_ZOOM_OUT_BUTTON);
    else
        frame_disable_button(f, CMD_ZOOM_OUT_BUTTON);
}

// ---- Continuous zoom: a timer while a zoom button is held ---------------------------------------

void zoom_press(int id, bool pressed)
{
    WindowState& w = window_state();
    const bool in = id == CMD_ZOOM_IN_BUTTON;
    if (!in && id != CMD_ZOOM_OUT_BUTTON)
        return;
    if (pressed) {
        if (w.zooming != 0)
            return;
        w.zooming = in ? 1 : -1;
        w.zoomed = false;
        const GraphicsHooks& h = graphics_hooks();
        if (h.pause_animation)
            h.pause_animation();
        keep_previous_view();
        if (h.highlight_suspend)
            h.highlight_suspend();
        frame_enable_button(frame(), in ? CMD_ZOOM_OUT_BUTTON : CMD_ZOOM_IN_BUTTON);
        graphics_stop_painting();
        backend().set_timer(frame().window, ZOOM_TIMER, ZOOM_PERIOD_MS);
        return;
    }
    if (w.zooming == 0)
        return;
    w.zooming = 0;
    backend().kill_timer(frame().window, ZOOM_TIMER);
    const GraphicsHooks& h = graphics_hooks();
    if (h.highlight_resume)
        h.highlight_resume();
    if (h.resume_animation)
        h.resume_animation();
}

void zoom_tick()
{
    WindowState& w = window_state();
    if (w.zooming == 0)
        return;
    const bool in = w.zooming > 0;
    if (!zoom_continuous_step(in)) {
        // As far as it goes: the button is let go and greyed.
        zoom_press(in ? CMD_ZOOM_IN_BUTTON : CMD_ZOOM_OUT_BUTTON, false);
        frame_disable_button(frame(), in ? CMD_ZOOM_IN_BUTTON : CMD_ZOOM_OUT_BUTTON);
        return;
    }
    w.zoomed = true;
}

// A click on a zoom button that made no step while held (a keyboard or a
// script) zooms one step.
void zoom_button_command(int id)
{
    WindowState& w = window_state();
    if (w.zoomed) {
        w.zoomed = false;
        return;
    }
    if (id == CMD_ZOOM_IN_BUTTON)
        zoom_in_step();
    else
        zoom_out_step();
    update_zoom_buttons();
}

// ---- Menu states --------------------------------------------------------------------------------

void update_menu(Frame& f)
{
    const GraphicsSettings& s = graphics_settings();
    Menu& m = f.menu;
    m.enable(CMD_REDRAW, !s.render_mode && frame_command_available(f, CMD_REDRAW));
    m.enable(CMD_PREVIOUS_VIEW, previous_view_kept());
    m.set_text(CMD_TURN, s.turn_mode ? "Do not &Turn\tCtrl+T" : "&Turn\tCtrl+T");
    m.set_text(CMD_FREEZE_VIEW, s.view_frozen ? "Unfree&ze View\tF8" : "Free&ze View\tF8");
    m.set_text(CMD_RENDER, s.render_mode ? "Do not &render\tCtrl+R" : "&Render\tCtrl+R");
    for (int id = CMD_AXES_NONE; id <= CMD_AXES_BOTTOM_RIGHT; ++id)
        m.check(id, id - CMD_AXES_NONE == s.axes_corner);
    m.check(CMD_BACKGROUND_BLACK, !s.white_background);
    m.check(CMD_BACKGROUND_WHITE, s.white_background);
    for (int q = 0; q < 3; ++q)
        m.check(CMD_QUALITY_LOW + q, s.rendering_quality == q);
    m.set_text(CMD_TEXT_WINDOW, "&" + graphics_text_window_name() + "\tF2");
    if (!s.render_available)
        m.remove(CMD_RENDER);
}

void update_tool_buttons()
{
    Frame& f = frame();
    const GraphicsSettings& s = graphics_settings();
    frame_set_button_look(f, CMD_RENDER, s.render_mode ? "line_view" : "render", graphics_tool_tip(CMD_RENDER), false);
    frame_set_button_look(f, CMD_TURN, "turn", graphics_tool_tip(CMD_TURN), s.turn_mode);
    frame_set_button_look(f, CMD_TEXT_WINDOW_BUTTON, "layout", graphics_tool_tip(CMD_TEXT_WINDOW_BUTTON), false);
    if (!s.render_available)
        frame_hide_button(f, CMD_RENDER);
}

// Commands that the results window serves, sent on from here.
void forward_to_results(int id)
{
    if (graphics_settings().render_mode)
        render_off();
    if (results_frame().window)
        frame_send_command(results_frame(), id);
}

// The stress and ratio colouring, sent on to the results window; the
// highlighting it does on the way does not move the view.
void forward_colouring(int id)
{
    GraphicsSettings& s = graphics_settings();
    const bool frozen = s.view_frozen;
    s.view_frozen = true;
    try {
        if (results_frame().window)
            frame_send_command(results_frame(), id);
    } catch (...) {
        s.view_frozen = frozen;
        throw;
    }
    s.view_frozen = frozen;
}

void register_frame_commands()
{
    Frame& f = frame();
    auto add = [&f](int id, std::function<void(int)> handler, std::function<bool()> available = {}) {
        frame_register_command(f, id, std::move(handler), std::move(available));
    };
    add(CMD_PRINT, [](int) { graphics_print_command(); });
    add(CMD_PRINT_PREVIEW, [](int) { graphics_print_preview(); });
    add(CMD_VIEWPOINT, [](int) { viewpoint_dialog(frame().window); });
    add(CMD_VIEW_X, [](int) { set_view_direction(1.0, 0.0, 0.0); });
    add(CMD_VIEW_Y, [](int) { set_view_direction(0.0, 1.0, 0.0); });
    add(CMD_VIEW_Z, [](int) { set_view_direction(0.0, 0.0, 1.0); });
    add(CMD_VIEW_ISO, [](int) { set_view_direction(1.0, 1.0, 1.0); });
    add(CMD_RENDER, [](int) {
        GraphicsSettings& s = graphics_settings();
        s.properties_legend_shown = false;
        if (!s.render_available)
            return;
        const StressColouring& c = stress_colouring();
        if (c.stresses || c.ratios) {
            // The colour display leaves the render view.
            if (c.stresses)
                hide_stresses();
            else
                hide_stress_ratios();
            graphics_model_changed();
            return;
        }
        if (s.render_mode)
            render_off();
        else
            render_on();
    });
    add(CMD_ZOOM_ALL, [](int) { zoom_all_command(); });
    add(CMD_ZOOM_IN, [](int) {
        zoom_in_step();
        frame_post_command(frame(), CMD_ZOOM_BUTTON_STATE);
    });
    add(CMD_ZOOM_OUT, [](int) {
        zoom_out_step();
        frame_post_command(frame(), CMD_ZOOM_BUTTON_STATE);
    });
    add(CMD_ZOOM_IN_BUTTON, zoom_button_command);
    add(CMD_ZOOM_OUT_BUTTON, zoom_button_command);
    add(CMD_ZOOM_BUTTON_STATE, [](int) { update_zoom_buttons(); });
    add(CMD_HIDE_CURRENT_ELEMENT, [](int) { hide_current_row(); });
    add(CMD_SHOW_ALL_ELEMENTS, [](int) { show_all_rows(); });
    add(CMD_MAKE_TRANSPARENT, [](int) { make_current_transparent(); }, transparency_drawn);
    add(CMD_ALL_TRANSPARENT, [](int) { make_all_transparent(); }, transparency_drawn);
    add(CMD_ALL_OPAQUE, [](int) { make_all_opaque(); }, transparency_drawn);
    add(CMD_REDRAW, [](int) { graphics_redraw(); });
    add(CMD_PREVIOUS_VIEW, [](int) { previous_view(); }, previous_view_kept);
    add(CMD_TURN, [](int) { toggle_turn_mode(); });
    frame_register_toggle(
        f, CMD_TURN, [] { return graphics_settings().turn_mode; }, [] { return graphics_tool_tip(CMD_TURN); });
    add(CMD_CLOSE_POPUPS, [](int) { frame_cancel_popups(frame()); });
    for (int id = CMD_AXES_NONE; id <= CMD_AXES_BOTTOM_RIGHT; ++id)
        add(id, [](int command) { set_axes_corner(command - CMD_AXES_NONE); });
    add(CMD_BACKGROUND_BLACK, [](int) { set_background(false); });
    add(CMD_BACKGROUND_WHITE, [](int) { set_background(true); });
    add(CMD_COPY, [](int) { graphics_copy_command(); });
    add(CMD_FONT, [](int) {
        if (graphics_font_command(frame().window))
            graphics_model_changed();
    });
    add(CMD_GRAPHICS_SHOW, [](int) { graphics_window_show(); });
    add(CMD_GRAPHICS_DESTROY, [](int) { frame_destroy(frame()); });
    add(CMD_TEXT_WINDOW, [](int) {
        if (graphics_settings().render_mode && !stress_colors_shown())
            render_off();
        graphics_go_to_text_window(false);
    });
    add(CMD_TEXT_WINDOW_BUTTON, [](int) {
        if (graphics_settings().render_mode && !stress_colors_shown())
            render_off();
        graphics_go_to_text_window(true);
    });
    add(CMD_CENTER, [](int) {
        graphics_settings().centre_mode = true;
        backend().set_cursor_shape(graphics_client_window(), CursorShape::Hand);
    });
    for (int q = 0; q < 3; ++q)
        add(CMD_QUALITY_LOW + q, [](int id) { set_quality(id - CMD_QUALITY_LOW); });
    add(CMD_FREEZE_VIEW, [](int) { graphics_settings().view_frozen = !graphics_settings().view_frozen; });
    // The results are of the elements as they are: none can be chosen there.
    add(CMD_HIDE_ELEMENTS, [](int) {
        graphics_settings().properties_legend_shown = false;
        hide_elements_dialog(frame().window);
    }, [] { return !in_results(); });
    add(CMD_DOTS_NUMBERS, [](int) { toggle_dots_and_numbers_command(); });
    add(CMD_COLOURING_OFF, [](int) {
        stress_colouring().jackets = !stress_colouring().jackets;
        graphics_model_changed();
    }, [] { return stress_colors_shown(); });
    register_shape_frame_commands();
    register_plot_commands();
    register_show_commands();
    add(CMD_RECOVER_GRAPHICS, [](int) { recover_graphics(); });
    add(CMD_SYMBOL_LARGER, [](int) { change_symbol_size(0.1f); });
    add(CMD_SYMBOL_SMALLER, [](int) { change_symbol_size(-0.1f); });
    for (int id : {CMD_SHAPE, CMD_DISPLACEMENT_TABLE_1, CMD_ANIMATE, CMD_NEXT_LOAD_CASE, CMD_PREVIOUS_LOAD_CASE})
        add(id, forward_to_results, [] { return in_results(); });
    for (int id : {CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS})
        add(id, forward_colouring, [] { return in_results(); });
    add(CMD_RATIOS_COLUMN, [](int id) { frame_send_command(results_frame(), id); }, [] { return in_results(); });
    add(CMD_THRESHOLDS, [](int) { thresholds_dialog(frame().window); }, [] { return in_results(); });

    f.menu_opening = update_menu;
    f.timer = [](Frame&, int id) {
        if (id == ZOOM_TIMER)
            zoom_tick();
        else if (id == BLINK_TIMER)
            highlight_blink();
        else if (id == ANIMATION_TIMER)
            animation_tick();
    };
    f.button_pressed = [](Frame&, int id, bool pressed) { zoom_press(id, pressed); };
    // The window that comes to the front takes the keys in its client.
    f.activated = [](Frame&, bool active) {
        if (active && graphics_client_window())
            backend().set_focus(graphics_client_window());
    };
    // Closing hides the window and goes back to the text window.
    f.close_handler = [] {
        graphics_window_hide();
        graphics_go_to_text_window(false);
        return false;
    };
    frame_register_command(f, CMD_EXIT, [](int) {
        graphics_window_hide();
        graphics_go_to_text_window(false);
    });
    // Help (F1) opens the guide at the graphics window's chapter.
    frame_register_command(f, CMD_HELP, [](int) { help_page("graphics", graphics_frame().window); });
}

void fill_hooks()
{
    GraphicsHooks& h = graphics_hooks();
    h.redraw = graphics_request_repaint;
    h.redraw_overlays = graphics_redraw_overlays;
    h.scroll_bars = push_scroll_bars;
    h.move_cursor = [](int x, int y) {
        if (const WindowId w = graphics_client_window())
            backend().set_cursor_pos(backend().client_to_screen(w, Point{x, y}));
    };
    h.zoom_buttons = [] {
        if (frame().window)
            update_zoom_buttons();
    };
    h.set_render = [](bool on) {
        if (on)
            render_on();
        else
            render_off();
    };

    ModelHooks& m = model_hooks();
    m.redraw_graphics = graphics_model_changed;
    m.redraw_element = [](int) { graphics_model_changed(); };
    m.erase_element = [](int) { graphics_model_changed(); };
    m.erase_data_item = [](int) { graphics_model_changed(); };
    install_view_drawing_hooks();

    PickHooks& p = pick_hooks();
    p.select_row = select_layout_row;
    p.open_data_dialog = [](int row) {
        if (!model().rows.valid(row))
            return false;
        const int dtype = model().rows[row].dtype;
        if (dtype <= DT_NONE || dtype > MAX_DTYPE)
            return false;
        const auto& dialog = layout_hooks().data_dialog[static_cast<std::size_t>(dtype)];
        return dialog && dialog(row);
    };

    layout_hooks().row_changed["graphics"] = [](int row) {
        if (const auto& follow = graphics_hooks().row_changed)
            follow(row);
    };

    subscribe_document_changed("graphics view", [](const DocumentChange&) { graphics_model_changed(); });
}

// A model takes the place of another: the view starts afresh on it.
void wrap_model_file_hooks()
{
    WindowState& w = window_state();
    ModelFileHooks& m = model_file_hooks();
    if (!w.present_layout) {
        w.present_layout = m.present_layout_window;
        m.present_layout_window = [] {
            if (const auto& present = window_state().present_layout) {
                present();
            } else {
                show_main_window();
                notify_document_changed();
            }
            graphics_view_reset();
            update_screen_positions();
            zoom_all();
            graphics_model_changed();
            fit_view_at_first_paint();
        };
    }
    if (!w.close_windows) {
        w.close_windows = m.close_windows;
        m.close_windows = [] {
            if (const auto& close = window_state().close_windows)
                close();
            lcs_triad_erase();
            graphics_window_hide();
        };
    }
    // The sample of the first run is shown whole, as any model opened.
    m.set_sample_view = fit_view_at_first_paint;
}

}  // namespace

// ---- Installation -----------------------------------------------------------------------------

void install_graphics_ui()
{
    fill_hooks();
    install_highlight_ui();
    install_shape_commands();
    install_mode_shape_table();
    apply_color_scheme();
    graphics_settings().white_background = preferences().white_background;
    apply_color_scheme();
    register_command(CMD_GRAPHICS, [](int) { graphics_window_show(); });
    register_command(CMD_GRAPHICS_BUTTON, [](int) { graphics_window_show(); });
    if (frame().window)
        create_graphics_window();
}

void create_graphics_window()
{
    Frame& f = frame();
    if (!f.window)
        return;
    GraphicsSettings& s = graphics_settings();
    s.render_available = backend().opengl_available();
    s.white_background = preferences().white_background;
    apply_color_scheme();
    measure_graphics_font();
    // Arrow heads as large as the screen's resolution makes them (96 dots
    // per inch: a head 7.2 pixels long).
    set_arrow_sizes(backend().screen_surface()->dpi_y());
    wrap_model_file_hooks();
    const WindowId client = backend().create_gl_client(f.window, &graphics_client_events());
    f.client = client;
    set_graphics_client_window(client);
    register_frame_commands();
    frame_refresh_command_states(f);
    update_tool_buttons();
    const Rect r = backend().client_rect(client);
    set_client_size(r.width(), r.height(), backend().device_pixel_ratio(client));
    graphics_view_reset();
    update_view_window();
    start_highlight_blink();
}

// ---- The window ----------------------------------------------------------------------------------

namespace {

// The windows of tables that the graphics window goes back to.
bool is_text_window(const Frame& t)
{
    return t.window && (&t == &main_frame() || &t == &list_frame() || (&t == &results_frame() && in_results()));
}

// Shows the window, in front or behind the one in front, with what it
// draws now, fitted to its client.
void show_graphics_window(bool to_front)
{
    Frame& f = frame();
    if (!f.window)
        return;
    // F2 there goes back to the text window the graphics were asked from.
    Frame* asked = current_accelerator_frame();
    Frame& back = asked && is_text_window(*asked) ? *asked : graphics_text_window();
    if (to_front) {
        frame_activate(f, &back);
    } else {
        f.previous_frame = &back;
        frame_show_inactive(f);
    }
    frame_set_title(f, graphics_window_title());
    const Vec3 p = view_transform().viewpoint;
    set_viewpoint(p.x, p.y, p.z);
    const Rect r = backend().client_rect(graphics_client_window());
    set_client_size(r.width(), r.height(), backend().device_pixel_ratio(graphics_client_window()));
    update_screen_positions();
    fit_view_to_client();
    update_tool_buttons();
    graphics_model_changed();
}

}  // namespace

void graphics_window_show()
{
    show_graphics_window(true);
}

void graphics_window_show_behind()
{
    show_graphics_window(false);
}

void graphics_window_hide()
{
    Frame& f = frame();
    highlight_erase();
    graphics_stop_painting();
    if (f.window)
        frame_hide(f);
}

Frame& graphics_text_window()
{
    // The window the graphics were shown from, while it is shown.
    if (Frame* from = frame().previous_frame; from && is_text_window(*from) && frame_is_visible(*from))
        return *from;
    if (in_results() && results_frame().window && frame_is_visible(results_frame()))
        return results_frame();
    if (list_frame().window && frame_is_visible(list_frame()))
        return list_frame();
    return main_frame();
}

std::string graphics_text_window_name()
{
    Frame& t = graphics_text_window();
    if (&t == &results_frame())
        return "Results";
    if (&t == &list_frame())
        return "List";
    return "Layout";
}

void graphics_go_to_text_window(bool point_to_button)
{
    Frame& f = frame();
    if (!f.previous_frame || f.previous_frame == &f)
        f.previous_frame = &graphics_text_window();
    Frame& target = *f.previous_frame;
    if (&target == &results_frame() && !frame_is_visible(target))
        return;
    frame_bring_to_front(target);
    if (!point_to_button)
        return;
    if (&target == &list_frame())
        frame_point_to_button_at(target, 0);
    else if (&target == &results_frame())
        frame_point_to_button_at(target, 2);
    else
        frame_point_to_button_at(target, 5);
}

std::string graphics_tool_tip(int id)
{
    const GraphicsSettings& s = graphics_settings();
    switch (id) {
    case CMD_TEXT_WINDOW_BUTTON: {
        const std::string name = graphics_text_window_name();
        return name + " Window";
    }
    case CMD_FREEZE_VIEW: return s.view_frozen ? "Unfreeze View" : "Freeze View";
    case CMD_COLOURING_OFF:
        return stress_colouring().jackets ? "Hide Jacket Stresses/Ratios" : "Show Jacket Stresses/Ratios";
    case CMD_SYMBOL_LARGER: return "Increase Symbol Size";
    case CMD_SYMBOL_SMALLER: return "Decrease Symbol Size";
    case CMD_TURN: return s.turn_mode ? "Do not turn" : "Turn";
    case CMD_PRINT: return "Print";
    case CMD_VIEWPOINT: return "Viewpoint";
    case CMD_RENDER: return s.render_mode ? "Do not render" : "Render";
    case CMD_ZOOM_ALL: return "Zoom all";
    case CMD_ZOOM_IN_BUTTON: return "Zoom in";
    case CMD_ZOOM_OUT_BUTTON: return "Zoom out";
    default: return "Unknown";
    }
}

// ---- Render mode and rows -------------------------------------------------------------------------

void render_on()
{
    GraphicsSettings& s = graphics_settings();
    if (!s.render_available) {
        backend().beep();
        return;
    }
    graphics_stop_painting();
    deflected_shape_hide();
    mode_shape_hide();
    s.render_mode = true;
    view_state().render_view = true;
    menu_set_state(frame(), CMD_RENDER, "Do not &render\tCtrl+R");
    update_tool_buttons();
    graphics_model_changed();
}

void render_off()
{
    GraphicsSettings& s = graphics_settings();
    if (!s.render_mode)
        return;
    s.centre_mode = false;
    s.render_mode = false;
    view_state().render_view = false;
    menu_set_state(frame(), CMD_RENDER, "&Render\tCtrl+R");
    update_tool_buttons();
    graphics_model_changed();
}

void hide_current_row()
{
    const int row = model().current_row;
    if (model().rows.valid(row))
        model().rows[row].shown = 0;
    redraw_rows();
}

void point_at_row(int row)
{
    if (model().rows.valid(row))
        model().current_row = row;
}

void point_at_node(int node)
{
    if (model().nodes.valid(node))
        point_at_row(model().nodes[node].row);
}

void show_all_rows()
{
    for (LayoutRow& r : model().rows)
        r.shown = 1;
    redraw_rows();
}

void make_current_transparent()
{
    const int row = model().current_row;
    if (model().rows.valid(row))
        model().rows[row].transparent = 1;
    redraw_rows();
}

void make_all_transparent()
{
    for (LayoutRow& r : model().rows)
        r.transparent = 1;
    redraw_rows();
}

void make_all_opaque()
{
    for (LayoutRow& r : model().rows)
        r.transparent = 0;
    redraw_rows();
}

// ---- Local axes ------------------------------------------------------------------------------------

std::string lcs_menu_text()
{
    return lcs_display() ? "&Hide LCS" : "&Show LCS";
}

bool lcs_applicable()
{
    if (const auto& results = graphics_hooks().results_local_axes; results && in_results())
        return results();
    const TableWindow* table = last_opened_table();
    if (!table)
        return false;
    const std::string name = table->title;
    for (const char* kind : {"Beams", "Elastic elements", "Guides", "Limit stops", "Nozzles"})
        if (name == kind)
            return true;
    return false;
}
