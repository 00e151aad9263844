#include "framework/ui/frame.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/menus.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "framework/ui/toolbar_icons.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <set>
#include <system_error>

namespace {

// The four frames of the program, the one whose accelerators are active, and
// the file part of the frames' titles.
struct Frames {
    Frame main, list, results, graphics;
    Frame* accel_frame = nullptr;
    std::string file_text = "Untitled";
};
Frames& frames() { return session_part<Frames>(); }

std::string& file_text() { return frames().file_text; }

// Shows a failure that escaped a command over the frame that ran it. Toggle
// buttons then follow what it changed, in every frame: a state that one
// window switches may have its button in another.
template <typename F>
void guarded(Frame& frame, F&& action) {
    try {
        action();
    } catch (const MessageText& m) {
        message_error(frame.window, m.text);
    } catch (const CI& c) {
        message_error(frame.window, c.message);
    } catch (const MsgCmd& m) {
        message_error(frame.window, m.message);
    } catch (const MsgColCmd& m) {
        message_error(frame.window, m.message);
    } catch (const std::exception& e) {
        message_error(frame.window, std::string("Internal error: ") + e.what());
    }
    frames_refresh_toggles();
}

// Gives every tool button the state asked for, greyed while its command is
// not enabled; `all` sends every state again (new bars), otherwise only the
// changed ones.
void apply_button_states(Frame& frame, bool all = false) {
    if (!frame.window) return;
    if (all) frame.shown_buttons.clear();
    std::set<int> ids;
    for (const ToolBar* bar : {&frame.large_bar, &frame.small_bar})
        for (const ToolButton& b : bar->buttons)
            if (b.id != 0) ids.insert(b.id);
    for (const auto& [id, state] : frame.buttons) ids.insert(id);
    for (int id : ids) {
        auto asked = frame.buttons.find(id);
        const ButtonState want = asked == frame.buttons.end() ? ButtonState{} : asked->second;
        const ButtonState shown{want.visible, want.enabled && frame_command_enabled(frame, id)};
        auto it = frame.shown_buttons.find(id);
        if (it != frame.shown_buttons.end() && it->second.visible == shown.visible &&
            it->second.enabled == shown.enabled)
            continue;
        frame.shown_buttons[id] = shown;
        backend().set_button_state(frame.window, id, shown.visible, shown.enabled);
    }
}

void set_button(Frame& frame, int command, bool visible, bool enabled) {
    frame.buttons[command] = ButtonState{visible, enabled};
    apply_button_states(frame);
}

// Hands the menu to the window and the button states that follow from it.
void push_menu(Frame& frame) {
    if (!frame.window) return;
    backend().set_menu(frame.window, frame.menu);
    apply_button_states(frame);
}

// Presses in or lets out the toggle buttons of both bars as their states
// answer; true when one changed.
bool apply_toggles(Frame& frame) {
    bool changed = false;
    for (const auto& [id, toggle] : frame.toggles) {
        const bool on = toggle.pressed();
        const std::string tip = toggle.tip ? toggle.tip() : std::string();
        for (ToolBar* bar : {&frame.large_bar, &frame.small_bar})
            for (ToolButton& b : bar->buttons) {
                if (b.id != id) continue;
                if (b.checked != on) {
                    b.checked = on;
                    changed = true;
                }
                if (!tip.empty() && b.tip != tip) {
                    b.tip = tip;
                    changed = true;
                }
            }
    }
    return changed;
}

// The same, and the bars to the window again when a button changed.
void refresh_toggles(Frame& frame) {
    if (apply_toggles(frame)) frame_set_bar_a(frame);
}

class FrameAdapter : public FrameEvents {
public:
    explicit FrameAdapter(Frame& frame) : frame_(frame) {}

    void on_command(int id) override { frame_command(frame_, id); }

    bool on_close() override {
        bool close = false;
        guarded(frame_, [&] {
            if (frame_.close_handler) {
                close = frame_.close_handler();
                return;
            }
            frame_hide(frame_);
            frame_go_back(frame_);
        });
        return close;
    }

    void on_activate(bool active) override {
        if (active) frame_make_current(frame_);
        if (frame_.activated) guarded(frame_, [&] { frame_.activated(frame_, active); });
    }

    void on_size(int, int) override { frame_layout(frame_); }

    void on_timer(int timer_id) override {
        if (frame_.timer) guarded(frame_, [&] { frame_.timer(frame_, timer_id); });
    }

    void on_button_press(int id, bool pressed) override {
        if (frame_.button_pressed) guarded(frame_, [&] { frame_.button_pressed(frame_, id, pressed); });
    }

    void on_menu_opening() override {
        guarded(frame_, [&] {
            bool changed = recent_models_menu(frame_.menu);
            changed = frame_refresh_command_states(frame_) || changed;
            if (frame_.menu_opening) {
                frame_.menu_opening(frame_);
                changed = true;
            }
            if (changed) push_menu(frame_);
        });
    }

private:
    Frame& frame_;
};

class BlankClient : public ClientEvents {};

// A window's title as it shows: the user's texts in it (a file name, a
// model's title) as shown_controls writes them, so that no control or
// bidirectional character reaches the title bar.
std::string compose_title(const std::string& text) {
    std::string title = PRODUCT_NAME;
    if (!text.empty()) title += " - " + text;
    return shown_controls(title + " [" + file_text() + "]");
}

}  // namespace

Frame::Frame() = default;
Frame::~Frame() = default;

Frame& main_frame() { return frames().main; }

Frame& layout_frame() { return main_frame(); }

Frame& list_frame() { return frames().list; }

Frame& results_frame() { return frames().results; }

Frame& graphics_frame() { return frames().graphics; }

// ---------------------------------------------------------------------------
// Creation and commands

void frame_create(Frame& frame, const std::string& class_name, const std::string& caption,
                  std::function<void(int)> handler, const std::string& menu_name, ClientEvents* client,
                  const std::string& accel_name) {
    // Resolve the resources first: an unknown name must leave the frame as it was.
    const MenuTemplate* menu = menu_name.empty() ? nullptr : &menu_resource(menu_name);
    const AcceleratorTable* accel = accel_name.empty() ? nullptr : &accelerator_resource(accel_name);

    if (frame.window) frame_destroy(frame);
    frame.class_name = class_name;
    frame.handler = std::move(handler);
    frame.menu = menu ? Menu(*menu) : Menu();
    frame.accel = accel;
    frame.title_text.clear();
    frame.buttons.clear();
    frame.shown_buttons.clear();
    frame.greyed_unavailable.clear();
    frame.events = std::make_unique<FrameAdapter>(frame);

    frame.window = backend().create_frame(class_name, caption, frame.events.get());
    if (!frame.window) {
        frame.events.reset();
        throw MessageText("Unable to create window " + class_name);
    }
    if (!client) {
        frame.blank_client = std::make_unique<BlankClient>();
        client = frame.blank_client.get();
    }
    frame.client = backend().create_client(frame.window, client);
    if (!frame.client) {
        frame_destroy(frame);
        throw MessageText("Unable to create window " + class_name + "Client");
    }
    recent_models_menu(frame.menu);
    frame_refresh_command_states(frame);
    if (!frame.menu.empty()) backend().set_menu(frame.window, frame.menu);
}

void frame_destroy(Frame& frame) {
    if (frames().accel_frame == &frame) frames().accel_frame = nullptr;
    if (frame.window && backend_installed()) {
        backend().set_active_accelerators(frame.window, nullptr);
        backend().destroy_window(frame.window);
    }
    frame.window = 0;
    frame.client = 0;
    frame.menu = Menu();
    frame.accel = nullptr;
    frame.large_bar = ToolBar{};
    frame.small_bar = ToolBar{};
    frame.previous_frame = nullptr;
    frame.handler = nullptr;
    frame.close_handler = nullptr;
    frame.menu_opening = nullptr;
    frame.activated = nullptr;
    frame.timer = nullptr;
    frame.commands.clear();
    frame.command_tests.clear();
    frame.buttons.clear();
    frame.shown_buttons.clear();
    frame.greyed_unavailable.clear();
    frame.toggles.clear();
    frame.events.reset();
    frame.blank_client.reset();
}

namespace {

// Runs a command of a frame; false when nothing serves it. A command that
// reads the data takes what is typed and not yet stored first; a value
// refused there (its message shown) stops it.
bool dispatch(Frame& frame, int id) {
    if (command_reads_data(id) && !commit_pending_edits()) return true;
    if (frame.handler) {
        frame.handler(id);
        return true;
    }
    auto own = frame.commands.find(id);
    if (own != frame.commands.end()) {
        std::function<void(int)> keep = own->second;   // the handler may replace itself
        keep(id);
        return true;
    }
    return run_command(id);
}

}  // namespace

void frame_register_command(Frame& frame, int id, std::function<void(int)> handler,
                            std::function<bool()> available) {
    if (handler && available) frame.command_tests[id] = std::move(available);
    else frame.command_tests.erase(id);
    if (handler) frame.commands[id] = std::move(handler);
    else frame.commands.erase(id);
    // Its menu item and tool button follow at once.
    if (frame_refresh_command_states(frame)) push_menu(frame);
}

bool frame_command_available(const Frame& frame, int id) {
    if (frame.handler) return true;
    if (frame.commands.count(id) != 0) {
        auto test = frame.command_tests.find(id);
        return test == frame.command_tests.end() || test->second();
    }
    return command_available(id);
}

bool frame_command_enabled(const Frame& frame, int id) {
    if (frame.menu.contains(id)) return frame.menu.is_enabled(id);
    return frame_command_available(frame, id);
}

void frames_refresh_command_states() {
    if (!backend_installed()) return;
    for (Frame* f : {&main_frame(), &list_frame(), &results_frame(), &graphics_frame()})
        if (f->window && frame_refresh_command_states(*f)) push_menu(*f);
}

// A command that cannot be served now beeps, from a key as from a button.
void frame_command(Frame& frame, int id) {
    guarded(frame, [&] {
        if (!frame_command_available(frame, id) || !dispatch(frame, id)) backend().beep();
    });
}

void frame_send_command(Frame& frame, int id) {
    guarded(frame, [&] {
        if (frame_command_available(frame, id)) dispatch(frame, id);
    });
}

void frame_post_command(Frame& frame, int id) {
    Frame* target = &frame;
    backend().post([target, id] {
        if (target->window) frame_send_command(*target, id);
    });
}

// ---------------------------------------------------------------------------
// Activation

void frame_make_current(Frame& frame) { set_current_accelerators(frame, frame.accel); }

void set_current_accelerators(Frame& frame, const AcceleratorTable* table) {
    frames().accel_frame = &frame;
    if (frame.window) backend().set_active_accelerators(frame.window, table);
}

Frame* current_accelerator_frame() { return frames().accel_frame; }

void frame_activate(Frame& frame, Frame* previous) {
    if (previous && previous != &frame) frame.previous_frame = previous;
    frame_bring_to_front(frame);
}

void frame_go_back(Frame& frame) {
    if (frame.previous_frame && frame.previous_frame->window) frame_bring_to_front(*frame.previous_frame);
}

void frame_bring_to_front(Frame& frame) {
    if (!frame.window) return;
    // A visible frame keeps the state the user gave it; a hidden one comes
    // back in the state it had.
    if (!backend().is_visible(frame.window))
        backend().show_window(frame.window, frame.placement.show_cmd == WindowPlacement::SHOW_MAXIMIZED
                                                ? WindowPlacement::SHOW_MAXIMIZED
                                                : WindowPlacement::SHOW_NORMAL);
    backend().raise_and_activate(frame.window);
    frame_make_current(frame);
}

void frame_show_inactive(Frame& frame) {
    if (!frame.window || backend().is_visible(frame.window)) return;
    // A maximised window comes back maximised, where the window system puts it.
    backend().show_window(frame.window, frame.placement.show_cmd == WindowPlacement::SHOW_MAXIMIZED
                                            ? WindowPlacement::SHOW_MAXIMIZED
                                            : WindowPlacement::SHOW_NO_ACTIVATE);
}

void frame_hide(Frame& frame) {
    if (!frame.window) return;
    if (backend().is_visible(frame.window))
        frame.placement.show_cmd =
            backend().is_maximized(frame.window) ? WindowPlacement::SHOW_MAXIMIZED : WindowPlacement::SHOW_NORMAL;
    backend().show_window(frame.window, WindowPlacement::SHOW_HIDE);
}

bool frame_is_maximized(const Frame& frame) { return frame.window && backend().is_maximized(frame.window); }

bool frame_is_visible(const Frame& frame) { return frame.window && backend().is_visible(frame.window); }

void frame_layout(Frame& frame) {
    if (frame.client) backend().invalidate(frame.client);
}

// ---------------------------------------------------------------------------
// Placement

WindowPlacement default_placement(const Rect& work) {
    WindowPlacement p;
    const int width = work.width() * 3 / 4;
    const int height = work.height() * 3 / 4;
    p.left = work.left + (work.width() - width) / 2;
    p.top = work.top + (work.height() - height) / 2;
    p.right = p.left + width;
    p.bottom = p.top + height;
    p.show_cmd = WindowPlacement::SHOW_NORMAL;
    return p;
}

WindowPlacement cascade_placement(const WindowPlacement& previous, const Rect& work) {
    const WindowPlacement before = clamp_placement(previous, work);
    WindowPlacement p = before;
    p.show_cmd = WindowPlacement::SHOW_NORMAL;
    p.left += CASCADE_STEP;
    p.top += CASCADE_STEP;
    p.right += CASCADE_STEP;
    p.bottom += CASCADE_STEP;
    if (p.right > work.right || p.bottom > work.bottom) {
        p.right = work.left + (before.right - before.left);
        p.bottom = work.top + (before.bottom - before.top);
        p.left = work.left;
        p.top = work.top;
    }
    return p;
}

WindowPlacement clamp_placement(const WindowPlacement& p, const Rect& work) {
    WindowPlacement q = p;
    q.length = 44;
    if (q.show_cmd == WindowPlacement::SHOW_MINIMIZED || q.show_cmd < WindowPlacement::SHOW_HIDE ||
        q.show_cmd > WindowPlacement::SHOW_MAXIMIZED)
        q.show_cmd = WindowPlacement::SHOW_NORMAL;
    if (work.width() <= 0 || work.height() <= 0) return q;

    // 64-bit arithmetic: a damaged placement may hold any int32 values.
    int64_t width = int64_t{p.right} - p.left;
    int64_t height = int64_t{p.bottom} - p.top;
    if (width <= 0 || height <= 0) {
        WindowPlacement d = default_placement(work);
        q.left = d.left;
        q.top = d.top;
        q.right = d.right;
        q.bottom = d.bottom;
        return q;
    }
    width = std::min<int64_t>(width, work.width());
    height = std::min<int64_t>(height, work.height());
    const int64_t left = std::clamp<int64_t>(p.left, work.left, work.right - width);
    const int64_t top = std::clamp<int64_t>(p.top, work.top, work.bottom - height);
    q.left = static_cast<int32_t>(left);
    q.top = static_cast<int32_t>(top);
    q.right = static_cast<int32_t>(left + width);
    q.bottom = static_cast<int32_t>(top + height);
    return q;
}

void frame_set_placement(Frame& frame, const WindowPlacement& p) {
    WindowPlacement q = clamp_placement(p, backend().work_area());
    frame.placement = q;
    if (frame.window) backend().set_placement(frame.window, q);
}

void frame_set_placement_hidden(Frame& frame, const WindowPlacement& p) {
    WindowPlacement q = clamp_placement(p, backend().work_area());
    if (q.show_cmd == WindowPlacement::SHOW_HIDE) q.show_cmd = WindowPlacement::SHOW_NORMAL;
    frame.placement = q;
    if (!frame.window) return;
    WindowPlacement hidden = q;
    hidden.show_cmd = WindowPlacement::SHOW_HIDE;
    backend().set_placement(frame.window, hidden);
}

void frame_save_placement(Frame& frame) {
    if (!frame.window) return;
    WindowPlacement p = backend().placement(frame.window);
    p.length = 44;
    if (p.show_cmd != WindowPlacement::SHOW_MAXIMIZED && p.show_cmd != WindowPlacement::SHOW_NORMAL) {
        // Hidden or minimised: keep the state it will be shown in again.
        p.show_cmd = frame.placement.show_cmd == WindowPlacement::SHOW_MAXIMIZED ? WindowPlacement::SHOW_MAXIMIZED
                                                                              : WindowPlacement::SHOW_NORMAL;
    }
    frame.placement = p;
    if (!frame.placement_name.empty()) store_placement(frame.placement_name, p);
}

// ---------------------------------------------------------------------------
// Menus

void frame_set_menu(Frame& frame, const Menu& menu) {
    frame.menu = menu;
    frame.greyed_unavailable.clear();
    recent_models_menu(frame.menu);
    frame_refresh_command_states(frame);
    push_menu(frame);
}

void frame_set_menu(Frame& frame, const std::string& menu_name) {
    frame_set_menu(frame, Menu(menu_resource(menu_name)));
}

void frame_update_menu(Frame& frame) {
    frame_refresh_command_states(frame);
    push_menu(frame);
}

bool frame_refresh_command_states(Frame& frame) {
    refresh_toggles(frame);
    if (frame.handler) {
        apply_button_states(frame);
        return false;
    }
    bool changed = false;
    for (int id : frame.menu.command_ids()) {
        const bool available = frame_command_available(frame, id);
        if (!available && frame.menu.is_enabled(id)) {
            frame.menu.enable(id, false);
            frame.greyed_unavailable.insert(id);
            changed = true;
        } else if (!available) {
            frame.greyed_unavailable.insert(id);
        } else if (frame.greyed_unavailable.erase(id) != 0) {
            frame.menu.enable(id, true);
            changed = true;
        }
    }
    apply_button_states(frame);
    return changed;
}

bool menu_set_state(Menu& menu, int command, const std::string& text) { return menu.set_text(command, text); }

bool menu_set_state(Frame& frame, int command, const std::string& text) {
    if (!frame.menu.set_text(command, text)) return false;
    push_menu(frame);
    return true;
}

// ---------------------------------------------------------------------------
// Tool bars

void frame_set_bars(Frame& frame, const ToolBar& large, const ToolBar& small) {
    frame.large_bar = large;
    frame.small_bar = small;
    frame.large_bar.large = true;
    frame.small_bar.large = false;
    frame.buttons.clear();
    frame.shown_buttons.clear();
    apply_toggles(frame);
    frame_set_bar_a(frame);
}

void frame_set_bars(Frame& frame, const ToolBarPair& bars) {
    frame_set_bars(frame, bars.large, bars.small);
    for (int id : bars.hidden) frame_hide_button(frame, id);
}

void frame_set_bar_a(Frame& frame) {
    if (!frame.window) return;
    const Preferences& prefs = preferences();
    const bool has_buttons = !frame.large_bar.buttons.empty() || !frame.small_bar.buttons.empty();
    backend().set_toolbars(frame.window, frame.large_bar, frame.small_bar, prefs.large_buttons,
                           prefs.show_toolbar && has_buttons);
    apply_button_states(frame, true);
}

void frame_set_button_look(Frame& frame, int command, const std::string& icon, const std::string& tip,
                           bool checked) {
    bool changed = false;
    for (ToolBar* bar : {&frame.large_bar, &frame.small_bar}) {
        for (ToolButton& b : bar->buttons) {
            if (b.id != command || (b.icon == icon && b.tip == tip && b.checked == checked)) continue;
            const ToolIcon picture = tool_icon(icon);
            b.icon = icon;
            b.tip = tip;
            b.checked = checked;
            b.standard = picture.standard;
            b.paint = picture.paint;
            changed = true;
        }
    }
    if (changed) frame_set_bar_a(frame);
}

void frame_register_toggle(Frame& frame, int id, std::function<bool()> pressed, std::function<std::string()> tip) {
    if (pressed) frame.toggles[id] = Frame::Toggle{std::move(pressed), std::move(tip)};
    else frame.toggles.erase(id);
    refresh_toggles(frame);
}

void frames_refresh_toggles() {
    if (!backend_installed()) return;
    for (Frame* f : {&main_frame(), &list_frame(), &results_frame(), &graphics_frame()}) refresh_toggles(*f);
}

void frame_show_button(Frame& frame, int command) { set_button(frame, command, true, true); }

void frame_hide_button(Frame& frame, int command) { set_button(frame, command, false, false); }

void frame_enable_button(Frame& frame, int command) {
    auto it = frame.buttons.find(command);
    set_button(frame, command, it == frame.buttons.end() || it->second.visible, true);
}

void frame_disable_button(Frame& frame, int command) {
    auto it = frame.buttons.find(command);
    set_button(frame, command, it == frame.buttons.end() || it->second.visible, false);
}

void frame_point_to_button(Frame& frame, int command) {
    if (!frame.window || command == 0) return;
    if (std::optional<Point> centre = backend().button_center(frame.window, command))
        backend().set_cursor_pos(*centre);
}

void frame_point_to_button_at(Frame& frame, int position) {
    const ToolBar& bar = preferences().large_buttons ? frame.large_bar : frame.small_bar;
    if (position < 0 || position >= static_cast<int>(bar.buttons.size())) return;
    frame_point_to_button(frame, bar.buttons[static_cast<size_t>(position)].id);
}

void frame_cancel_popups(Frame& frame) {
    if (frame.window) backend().close_popups(frame.window);
}

// ---------------------------------------------------------------------------
// Titles

void frame_set_title(Frame& frame, const std::string& text) {
    frame.title_text = text;
    if (frame.window) backend().set_title(frame.window, compose_title(text));
}

void frame_update_title_file(Frame& frame) {
    if (!frame.window) return;
    std::string title = backend().title(frame.window);
    const size_t bracket = title.find('[');
    if (bracket == std::string::npos) {
        title += " [" + file_text() + "]";
    } else {
        title.erase(bracket);
        title += "[" + file_text() + "]";
    }
    title = shown_controls(title);
    backend().set_title(frame.window, title);
}

std::string frame_title(const Frame& frame) { return frame.window ? backend().title(frame.window) : std::string(); }

void frame_set_status(Frame& frame, const std::string& text) {
    frame.status_text = text;
    if (frame.window) backend().set_status_text(frame.window, text);
}

const std::string& title_file_text() { return file_text(); }

void set_title_file_text(const std::string& text) {
    file_text() = text.empty() ? std::string("Untitled") : text;
    for (Frame* f : {&main_frame(), &list_frame(), &results_frame(), &graphics_frame()}) frame_update_title_file(*f);
}

std::string title_file_for_path(const std::string& path) {
    if (path.empty()) return "Untitled";
    const size_t slash = path.find_last_of('/');
    std::string text = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string folder = folder_of(path);
    if (!folder.empty()) append_in_parentheses(text, folder);
    return text;
}

// ---------------------------------------------------------------------------

void show_main_window() {
    Frame& m = main_frame();
    if (!m.window) return;
    frame_make_current(m);
    std::error_code ignored;
    const bool has_results = !model_file_path().empty() &&
                             std::filesystem::exists(replace_extension(model_file_path(), "res"), ignored);
    if (has_results) frame_show_button(m, CMD_RESULTS);
    else frame_hide_button(m, CMD_RESULTS);
    // The layout table's caption with its row count ("Layout  (7) ") stays.
    if (m.title_text.rfind("Layout", 0) != 0) frame_set_title(m, "Layout");
    if (!batch_mode()) frame_bring_to_front(m);
}
