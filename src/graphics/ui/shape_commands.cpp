#include "graphics/ui/shape_commands.h"

#include "codes/stress_display.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/units.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "framework/ui/messages.h"
#include "graphics/color_scale.h"
#include "graphics/draw2d.h"
#include "graphics/graphics_view.h"
#include "graphics/highlight.h"
#include "graphics/shapes.h"
#include "graphics/stress_view.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/ui/graphics_dialogs.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_settings.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/modal_results_ui.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <cmath>

using K = ControlKind;

const DialogTemplate MAGNIFICATION_DIALOG = {
    "MAGNIFICATION_DIALOG",
    "Magnification",
    {
        control(MAGNIFICATION_VALUE, K::Edit, "Deflection magnification", 0, 0, 2, CF_NONE, 12),
        control(IDOK, K::Button, "OK", 1, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 1, 1),
        control(MAGNIFICATION_APPLY, K::Button, "&Apply", 2, 0),
        control(MAGNIFICATION_RESET, K::Button, "&Reset", 2, 1),
    },
};

namespace {

struct AnimationState {
    bool deflected = false;      // the shape animated is the deflected shape
    int frame = 0;
    int frames = 20;
    float magnification = 0.0f;
    bool saved_numbers = false;  // the line view's node numbers and dots before the start
    bool saved_dots = false;
    bool paused_running = false; // a pause found an animation running
    int drawn = 0;
    bool long_pause = false;     // the timer runs the pause after a cycle
};

AnimationState& anim()
{
    return session_part<AnimationState>();
}

// The load case (index) and the mode whose shape was shown last.
struct ShapeShown {
    int load_case = 0;
    int mode = 0;
};

ShapeShown& shape_shown()
{
    return session_part<ShapeShown>();
}

void remember_shape_shown()
{
    shape_shown() = ShapeShown{results_loadcase(), results().current_mode};
}

ShapeState& shapes()
{
    return shape_state();
}

Frame& rf()
{
    return results_frame();
}

// The shape the result on screen means: the displacement table the
// deflected shape, a modal table the mode shape; any other result the
// deflected shape unless the results hold modes only.
bool deflected_wanted()
{
    switch (current_result()) {
    case RESULT_DISPLACEMENTS: return true;
    case RESULT_FREQUENCIES:
    case RESULT_MODE_SHAPES:
    case RESULT_DYNAMIC_SUSCEPTIBILITY:
    case RESULT_DYNAMIC_STRESSES: return results().modal.modes <= 0;
    default: return results().load_case_count() > 0 || results().modal.modes <= 0;
    }
}

std::string shape_text()
{
    const ShapeState& s = shapes();
    if (s.deflected_shape_shown)
        return "&Hide Deflected Shape\t Ctrl+D";
    if (s.mode_shape_shown)
        return "&Hide Mode Shape";
    return deflected_wanted() ? "&Show deflected shape\t Ctrl+D" : "&Show Mode Shape";
}

std::string animation_text()
{
    const bool deflected = shapes().animating ? anim().deflected : deflected_wanted();
    if (shapes().animating)
        return deflected ? "&Hide animated deflected shape\t Ctrl+Shift+A" : "&Hide animated mode shape\t Ctrl+Shift+A";
    return deflected ? "&Show animated deflected shape\t Ctrl+Shift+A" : "&Show animated mode shape\t Ctrl+Shift+A";
}

std::string stresses_text()
{
    return stress_colouring().stresses ? "&Hide Stresses" : "&Show Stresses";
}

std::string ratios_text()
{
    return stress_colouring().ratios ? "&Hide Stress Ratios" : "Show Stress &Ratios";
}

// Whether what a shape or colouring item of the results window shows is on.
bool results_item_on(int command)
{
    const ShapeState& s = shapes();
    const StressColouring& c = stress_colouring();
    switch (command) {
    case CMD_SHAPE: return s.deflected_shape_shown || s.mode_shape_shown;
    case CMD_ANIMATE: return s.animating;
    case CMD_SHOW_STRESSES: return c.stresses;
    case CMD_SHOW_STRESS_RATIOS: return c.ratios;
    default: return false;
    }
}

// The results window's shape and colouring items: their menu texts, and
// their buttons checked while what they show is on, with their tips.
void update_results_items()
{
    const struct {
        int id;
        const char* icon;
        std::string text;
    } items[] = {{CMD_SHAPE, "shape", shape_text()},
                 {CMD_ANIMATE, "animate", animation_text()},
                 {CMD_SHOW_STRESSES, "stresses", stresses_text()},
                 {CMD_SHOW_STRESS_RATIOS, "ratios", ratios_text()}};
    for (const auto& i : items) {
        menu_set_state(rf(), i.id, i.text);
        frame_set_button_look(rf(), i.id, i.icon, results_tooltip(i.id), results_item_on(i.id));
    }
}

std::string deflected_title()
{
    return "Deflected shape: " + results_loadcase_name();
}

std::string mode_title()
{
    const ResultsState& r = results();
    const double hz = r.modal.frequencies.valid(r.current_mode) ? r.modal.frequencies[r.current_mode] : 0.0;
    return c_format("Mode %d: %.2f Hz", r.current_mode, hz);
}

// What the window draws, marked as the results window marks results older
// than their model.
std::string with_results_mark(const std::string& text)
{
    return results_open() && results_out_of_date() ? text + " (out of date)" : text;
}

void set_graphics_title(const std::string& text)
{
    if (graphics_frame().window)
        frame_set_title(graphics_frame(), with_results_mark(text));
}

std::string shown_shape_title()
{
    const ShapeState& s = shapes();
    if (!results_open())
        return "Graphics";
    if (s.deflected_shape_shown || (s.animating && anim().deflected))
        return deflected_title();
    if (s.mode_shape_shown || s.animating)
        return mode_title();
    return "Graphics";
}

void update_graphics_title()
{
    set_graphics_title(shown_shape_title());
}

// The displacements of the shape wanted, read when not loaded yet.
void load_deflections()
{
    ResultsState& r = results();
    if (r.loaded.displacements != r.current || r.loaded.displacements == 0)
        read_load_case_displacements();
}

void load_mode()
{
    load_current_mode();
}

// The values drawn are those of the shape shown: where something read
// another case's or mode's values in between (the support summary reads
// every case), the shown one's are read again, with the magnification the
// shape is drawn with.
void keep_shape_values()
{
    const ShapeState& s = shapes();
    const ResultsState& r = results();
    if (!results_open())
        return;
    const bool deflected = s.deflected_shape_shown || (s.animating && anim().deflected);
    const bool mode = !deflected && (s.mode_shape_shown || s.animating);
    const float kept = s.animating ? anim().magnification : s.shape_factor;
    if (deflected && (r.loaded.displacements == 0 || r.loaded.displacements != results_loadcase()))
        read_load_case_displacements();
    else if (mode && r.loaded.mode != r.current_mode)
        load_mode();
    else
        return;
    magnification() = kept;
}

void shape_show_common()
{
    update_results_items();
    ShapeState& s = shapes();
    s.shape_factor = shape_magnification();
    s.shape_segments = 8;
    apply_color_scheme();
    graphics_redraw();
}

void shape_hide_common()
{
    update_results_items();
    apply_color_scheme();
    update_graphics_title();
    graphics_redraw();
}

// A shape is drawn in the line view: the shaded view is left first.
void leave_shaded_view()
{
    if (graphics_settings().render_mode)
        render_off();
}

// The stress and ratio colouring off, and the shaded view that it brought
// with it.
void hide_colouring()
{
    if (!stress_colouring().stresses && !stress_colouring().ratios)
        return;
    hide_stresses();
    hide_stress_ratios();
    update_results_items();
    leave_shaded_view();
    graphics_model_changed();
}

// The colouring drawn again from the values of the stress kind shown now.
void refresh_colouring()
{
    const StressColouring& c = stress_colouring();
    if (!c.stresses && !c.ratios)
        return;
    refresh_stress_colouring();
    update_results_items();
    graphics_redraw();
}

// The case or mode now current is what the view draws: a shape shown is
// shown again for it (its values read, the magnification made automatic
// for new values and fitted to them), a running animation starts again
// with it, the colouring takes its values again, and the title names it.
void follow_results_case()
{
    const ShapeState& s = shapes();
    const bool deflected = s.deflected_shape_shown || (s.animating && anim().deflected);
    const ShapeShown& shown = shape_shown();
    const bool same = deflected ? shown.load_case == results_loadcase() : shown.mode == results().current_mode;
    if (same && (s.animating || s.deflected_shape_shown || s.mode_shape_shown)) {
        // The shape's own case again (a report printed every case): its
        // values back, the magnification as it was.
        keep_shape_values();
        update_graphics_title();
        graphics_redraw();
    } else if (s.animating) {
        animation_stop();
        animation_start();
    } else if (s.deflected_shape_shown) {
        deflected_shape_show();
    } else if (s.mode_shape_shown) {
        mode_shape_show();
    } else {
        update_graphics_title();
    }
    refresh_colouring();
}

// What the results window's Magnification changes shows again.
void reapply_magnification()
{
    if (shapes().mode_shape_shown) {
        mode_shape_show();
    } else if (shapes().animating) {
        animation_stop();
        animation_start();
    }
    if (shapes().deflected_shape_shown)
        deflected_shape_show();
}

void toggle_stresses(bool ratios)
{
    StressColouring& c = stress_colouring();
    const bool on = ratios ? !c.ratios : !c.stresses;
    highlight_erase();
    if (!on) {
        ratios ? hide_stress_ratios() : hide_stresses();
    } else {
        ratios ? show_stress_ratios() : show_stresses();
        // The colour-coded pipes are the render view's; the line view colours its lines.
        if (graphics_settings().render_available && !graphics_settings().render_mode)
            render_on();
    }
    update_results_items();
    update_results_tooltips();
    graphics_model_changed();
}

struct MagnificationDialog : PlacedDialogProc {
    void show_value(float value) { dialog_set_text(MAGNIFICATION_VALUE, format_real(value, 10, 0)); }

    void init(Dialog& d) override
    {
        if (magnification() != 0.0f)
            show_value(magnification());
        dialog_select_focus(MAGNIFICATION_VALUE);
        place_dialog(d);
    }

    void apply()
    {
        dialog_get_text(MAGNIFICATION_VALUE);
        float value = 0.0f;
        if (parse_real_buffer(value) != 0 || !std::isfinite(value) || value < 0.0f)
            throw_invalid("Magnification");
        magnification() = value;
        reapply_magnification();
    }

    void command(Dialog&, int id, int) override
    {
        if (id == MAGNIFICATION_APPLY) {
            apply();
        } else if (id == MAGNIFICATION_RESET) {
            auto_magnification();
            show_value(magnification());
            reapply_magnification();
        }
    }

    bool accept(Dialog&) override
    {
        apply();
        return true;
    }
};

}  // namespace

// ---- Static shapes ------------------------------------------------------------------------

void deflected_shape_show()
{
    if (!results_open())
        return;
    animation_stop();
    leave_shaded_view();
    ShapeState& s = shapes();
    s.mode_shape_shown = false;
    load_deflections();
    remember_shape_shown();
    set_graphics_title(deflected_title());
    s.deflected_shape_shown = true;
    shape_show_common();
}

void deflected_shape_hide()
{
    ShapeState& s = shapes();
    if (!s.deflected_shape_shown)
        return;
    s.deflected_shape_shown = false;
    shape_hide_common();
}

void mode_shape_show()
{
    if (!results_open() || results().modal.modes <= 0)
        return;
    animation_stop();
    leave_shaded_view();
    ShapeState& s = shapes();
    s.deflected_shape_shown = false;
    load_mode();
    remember_shape_shown();
    set_graphics_title(mode_title());
    s.mode_shape_shown = true;
    shape_show_common();
}

void mode_shape_hide()
{
    ShapeState& s = shapes();
    if (!s.mode_shape_shown)
        return;
    s.mode_shape_shown = false;
    shape_hide_common();
}

void shape_command()
{
    const ShapeState& s = shapes();
    if (s.deflected_shape_shown)
        deflected_shape_hide();
    else if (s.mode_shape_shown)
        mode_shape_hide();
    else if (deflected_wanted())
        deflected_shape_show();
    else
        mode_shape_show();
}

// ---- Animation ----------------------------------------------------------------------------

bool animation_running()
{
    return shapes().animating;
}

void animation_start()
{
    if (!results_open())
        return;
    animation_stop();
    leave_shaded_view();
    highlight_erase();
    deflected_shape_hide();
    mode_shape_hide();
    AnimationState& a = anim();
    ShapeState& s = shapes();
    ShowFlags& show = show_flags();
    const bool deflected = deflected_wanted();
    // What a failed start puts back.
    const bool numbers = show.node_numbers, dots = show.dots;
    try {
        if (deflected)
            load_deflections();
        else if (results().modal.modes > 0)
            load_mode();
        else
            throw MessageText("No mode shapes in the results");
        remember_shape_shown();
        a.deflected = deflected;
        a.saved_numbers = numbers;
        a.saved_dots = dots;
        show.node_numbers = show.dots = false;
        s.animating = true;
        const int elements = model().numelems();
        s.shape_segments = animation_segments(elements);
        a.magnification = shape_magnification();
        a.frames = animation_frames(elements, deflected);
        a.frame = 0;
        a.drawn = 0;
        a.long_pause = false;
        s.shape_factor = static_cast<float>(animation_factor(a.magnification, 0, a.frames, deflected));
        set_graphics_title(deflected ? deflected_title() : mode_title());
        update_results_items();
        apply_color_scheme();
        // The repaint of the dimmed picture is asked for before the timer runs,
        // as a repaint stops a running animation.
        s.animating = false;
        graphics_redraw();
        s.animating = true;
        if (graphics_frame().window)
            backend().set_timer(graphics_frame().window, ANIMATION_TIMER, ANIMATION_PERIOD_MS);
    } catch (const MessageText& m) {
        s.animating = false;
        show.node_numbers = numbers;
        show.dots = dots;
        apply_color_scheme();
        update_results_items();
        update_graphics_title();
        message_error(graphics_client_window() ? graphics_frame().window : 0, m.text);
    }
}

void animation_stop()
{
    ShapeState& s = shapes();
    if (!s.animating)
        return;
    if (graphics_frame().window)
        backend().kill_timer(graphics_frame().window, ANIMATION_TIMER);
    s.animating = false;
    AnimationState& a = anim();
    update_graphics_title();
    update_results_items();
    apply_color_scheme();
    ShowFlags& show = show_flags();
    show.node_numbers = a.saved_numbers;
    show.dots = a.saved_dots;
    graphics_redraw();
}

void animate_command()
{
    if (animation_running())
        animation_stop();
    else
        animation_start();
}

void animation_pause()
{
    AnimationState& a = anim();
    a.paused_running = animation_running();
    if (a.paused_running)
        animation_stop();
}

void animation_resume()
{
    AnimationState& a = anim();
    if (a.paused_running) {
        a.paused_running = false;
        animation_start();
    }
}

void animation_tick()
{
    if (!animation_running())
        return;
    AnimationState& a = anim();
    if (a.long_pause && graphics_frame().window) {
        a.long_pause = false;
        backend().set_timer(graphics_frame().window, ANIMATION_TIMER, ANIMATION_PERIOD_MS);
    }
    a.frame = (a.frame + 1) % std::max(a.frames, 1);
    // A deflected shape rests half a second at the end of each swing.
    if (a.deflected && a.frame == a.frames - 1 && graphics_frame().window) {
        backend().set_timer(graphics_frame().window, ANIMATION_TIMER, ANIMATION_PERIOD_MS + ANIMATION_CYCLE_PAUSE_MS);
        a.long_pause = true;
    }
    shapes().shape_factor = static_cast<float>(animation_factor(a.magnification, a.frame, a.frames, a.deflected));
    graphics_redraw_overlays();
}

int animation_frames_drawn()
{
    return anim().drawn;
}

void animation_draw_frame()
{
    if (!animation_running())
        return;
    AnimationState& a = anim();
    ++a.drawn;
    keep_shape_values();
    // The animation pen: red on white, green on black.
    if (auto* painter = dynamic_cast<Draw2D*>(view_painter()))
        painter->select_color(graphics_settings().white_background ? rgb(255, 0, 0) : rgb(0, 255, 0));
    draw_displaced_elements();
    draw_mode_markers();
    draw_select_pen(PEN_ELEMENT);
}

// ---- The graphics window's title and popup --------------------------------------------------

std::string graphics_window_title()
{
    return with_results_mark(shown_shape_title());
}

void append_graphics_result_items(MenuItem& popup)
{
    if (!in_results() || !results_open())
        return;
    const int kind = current_result();
    const ShapeState& s = shapes();
    if (result_colours_stresses(kind)) {
        popup.items.push_back(menu::item(stresses_text(), CMD_SHOW_STRESSES));
        popup.items.push_back(menu::item(ratios_text(), CMD_SHOW_STRESS_RATIOS));
        if (!graphics_settings().render_mode)
            popup.items.push_back(menu::item("&Thresholds...", CMD_THRESHOLDS));
        popup.items.push_back(menu::SEPARATOR);
    }
    if (result_shows_shapes(kind)) {
        popup.items.push_back(menu::item(shape_text(), CMD_SHAPE));
        popup.items.push_back(menu::item(animation_text(), CMD_ANIMATE));
        if (s.deflected_shape_shown || s.mode_shape_shown || s.animating)
            popup.items.push_back(menu::item("&Magnification...", CMD_MAGNIFICATION));
        popup.items.push_back(menu::SEPARATOR);
    }
    if (s.mode_shape_shown || (s.animating && !anim().deflected)) {
        popup.items.push_back(menu::item("Next Mode", CMD_NEXT_LOAD_CASE));
        popup.items.push_back(menu::item("Previous Mode", CMD_PREVIOUS_LOAD_CASE));
        popup.items.push_back(menu::SEPARATOR);
    }
}

// ---- Magnification ---------------------------------------------------------------------------

bool magnification_dialog(WindowId owner)
{
    MagnificationDialog proc;
    return run_dialog(MAGNIFICATION_DIALOG, proc, owner) == IDOK;
}

// ---- Installation -------------------------------------------------------------------------------

void install_shape_commands()
{
    ResultsHooks& h = results_hooks();
    h.highlight_erase = highlight_erase;
    // A line pointed at while the shape is animated becomes the current row
    // (F6 hides it, F7 makes it transparent) and leaves the animation
    // running: a highlight would stop it, and the frames do not blink.
    h.highlight_row = [](int row) {
        point_at_row(row);
        if (!animation_running())
            highlight_layout_row(row);
    };
    h.highlight_node = [](int node) {
        point_at_node(node);
        if (!animation_running())
            highlight_node(node);
    };
    h.stop_animation = animation_stop;
    h.show_graphics = graphics_window_show;
    h.show_graphics_behind = graphics_window_show_behind;
    h.hide_graphics = graphics_window_hide;
    h.hide_overlays = [] {
        animation_stop();
        deflected_shape_hide();
        mode_shape_hide();
        hide_colouring();
    };
    h.thresholds_changed = [] { graphics_redraw(); };
    h.colouring_off = hide_colouring;
    h.scale_colour = [](double value, double lowest, double highest) {
        const ColorScale scale = color_scale_of(static_cast<float>(lowest), static_cast<float>(highest));
        return ramp_to_rgb(color_for_value(scale, static_cast<float>(value)));
    };
    h.ratio_colouring = [](bool on) {
        if (on != stress_colouring().ratios)
            toggle_stresses(true);
        else if (on)
            refresh_colouring();
    };
    h.stresses_refreshed = refresh_colouring;
    h.case_changed = follow_results_case;
    h.command_available = [](int command) {
        const ShapeState& s = shapes();
        return command != CMD_MAGNIFICATION || s.deflected_shape_shown || s.mode_shape_shown || s.animating;
    };
    h.deflected_shape = [](bool on) {
        if (on)
            deflected_shape_show();
        else
            deflected_shape_hide();
    };
    h.commands[CMD_SHAPE] = [](int) { shape_command(); };
    h.commands[CMD_ANIMATE] = [](int) { animate_command(); };
    h.commands[CMD_MAGNIFICATION] = [](int) { magnification_dialog(results_frame().window); };
    h.commands[CMD_SHOW_STRESSES] = [](int) { toggle_stresses(false); };
    h.commands[CMD_SHOW_STRESS_RATIOS] = [](int) { toggle_stresses(true); };
    h.commands[CMD_COLOURING_OFF] = [](int) {
        stress_colouring().jackets = !stress_colouring().jackets;
        graphics_model_changed();
    };
    h.commands[CMD_ZOOM_ALL] = [](int) { zoom_all_command(); };
    h.commands[CMD_VIEWPOINT] = [](int) { viewpoint_dialog(results_frame().window); };
    h.commands[CMD_PREVIOUS_VIEW] = [](int) { previous_view(); };
    h.command_checked = results_item_on;
    h.command_text = [previous = h.command_text](int command) -> std::string {
        switch (command) {
        case CMD_SHAPE: return shape_text();
        case CMD_ANIMATE: return animation_text();
        case CMD_SHOW_STRESSES: return stresses_text();
        case CMD_SHOW_STRESS_RATIOS: return ratios_text();
        default: return previous ? previous(command) : std::string();
        }
    };
    h.closing.push_back([] {
        animation_stop();
        ShapeState& s = shapes();
        s.deflected_shape_shown = s.mode_shape_shown = false;
        s.magnification_limit = 0.0f;
        hide_colouring();
        apply_color_scheme();
    });

    GraphicsHooks& g = graphics_hooks();
    g.stop_animation = animation_stop;
    g.pause_animation = animation_pause;
    g.resume_animation = animation_resume;
    g.shapes_layer = [] {
        const ShapeState& s = shapes();
        if (!s.animating && (s.deflected_shape_shown || s.mode_shape_shown)) {
            keep_shape_values();
            draw_displaced_shape();
        }
    };
    g.results_layer = draw_stress_colouring;
    // The caption on paper carries the mark of results older than their model.
    g.plot_title = [] {
        const std::string title = results_plot_title();
        return title.empty() ? title : with_results_mark(title);
    };

    // The markers of the dynamic susceptibility and dynamic stress tables:
    // the node of the mode's largest velocity first, of its largest stress
    // second (drawn with the highlight pen).
    shape_hooks().mode_markers = [](int& first, int& second) {
        const ModeMarkerRecord m = current_mode_markers();
        first = m.velocity_node;
        second = m.stress_node;
        return first != 0 || second != 0;
    };

    HighlightHooks& hl = highlight_hooks();
    hl.animating = animation_running;
    hl.stop_animation = animation_stop;
}

void register_shape_frame_commands()
{
    frame_register_command(
        graphics_frame(), CMD_MAGNIFICATION, [](int) { magnification_dialog(graphics_frame().window); },
        [] { return in_results() && (shapes().deflected_shape_shown || shapes().mode_shape_shown || shapes().animating); });
}
