// The scripted backend: no windows. Frames are records in memory, dialogs keep
// their control state in memory and are answered by a test script, message
// boxes and common dialogs take queued answers, drawing is recorded, timers run
// on a virtual clock. Used by the tests and by start-up batch mode.
//
//   HeadlessBackend& hb = install_headless_backend();
//   Script& s = hb.script();
//   s.on("EXAMPLE_DIALOG", [](HeadlessDialog& d) { d.type(1301, "S1"); d.press(IDOK); });
//   s.answer(IDNO);                       // the next question is answered No
//   run_the_command();
//   EXPECT_EQ(s.last_message(), "Density is required");
#pragma once

#include "platform/backend.h"
#include "platform/headless/headless_dialog.h"
#include "platform/headless/recording_surface.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// One thing the program showed: a dialog run, a message box, a common dialog.
struct ScriptEvent {
    enum Kind { DialogRun, MessageBox, FileDialog, FolderDialog, FontDialog, PopupMenu, PropertySheet };
    Kind kind = DialogRun;
    std::string name;        // dialog template name; file dialog "open" or "save"
    std::string caption;     // dialog caption, message box caption, common dialog title
    std::string text;        // message text; a dialog's static texts or a popup's items, one a line; the chosen file
    std::string suggested;   // the path a file dialog offered
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    int result = 0;          // dialog result or message answer
    std::vector<std::pair<int, std::string>> statics;   // a dialog's final static texts by id
    Point at;                // where a popup menu opened (screen)
};

class HeadlessBackend;

// What a test arranges and reads: dialog handlers, queued answers and the log.
class Script {
public:
    using DialogHandler = std::function<void(HeadlessDialog&)>;
    using SheetHandler = std::function<void(HeadlessSheet&)>;

    explicit Script(HeadlessBackend& backend) : backend_(backend) {}

    // Dialog handlers by template name, called after init and shown. A one-shot
    // handler (`once`) is used before a persistent one (`on`); several one-shot
    // handlers answer successive runs in order. A dialog that is still open when
    // its handler returns, or that has no handler, gets its pending timers fired
    // in time order (a bounded number of rounds) and is then cancelled.
    void on(const std::string& name, DialogHandler handler);
    void once(const std::string& name, DialogHandler handler);
    // The handler of every dialog that has none of its own (a script that
    // answers whatever dialog comes up, such as a fuzz target's); an empty
    // function removes it.
    void on_any(DialogHandler handler);
    // Property sheets by caption, in the same way.
    void on_sheet(const std::string& caption, SheetHandler handler);
    void once_sheet(const std::string& caption, SheetHandler handler);

    // Queued answers. A message box with a choice takes the next answer
    // (default IDYES for Yes/No boxes, IDOK for OK/Cancel); a plain OK box
    // takes none. File and folder dialogs take the next path (default: cancel),
    // the font chooser the next font (default: cancel), a popup menu the next
    // command (default 0; 0 too, noted as a fault, when the popup has no such
    // item or it is greyed).
    void answer(int id);
    void answer_file(std::optional<std::string> path);
    // The filter (0-based) that the next file dialog answered with a path
    // chooses; without one the dialog keeps the request's filter.
    void answer_file_filter(int index);
    void answer_folder(std::optional<std::string> path);
    void answer_font(std::optional<FontSpec> font);
    void answer_popup(int command);
    // Answers queued but not used yet (a test can check that all were needed).
    size_t unused_answers() const;

    const std::vector<ScriptEvent>& log() const { return log_; }
    void clear_log() { log_.clear(); }
    // The text of the last message box or INFO_DIALOG, "" when none.
    std::string last_message() const;
    // Every message box text in order.
    std::vector<std::string> messages() const;
    // How often a dialog template ran.
    int runs(const std::string& name) const;
    // Control ids a procedure used that its template does not have, and user
    // actions that were refused ("press 1301 disabled").
    const std::vector<std::string>& faults() const { return faults_; }

    // Virtual time: fires the timers of frames and open dialogs that fall due.
    void advance(int milliseconds);
    int64_t now() const;

    // What the user does to frames. Each returns false when it could not be done.
    bool menu_command(WindowId frame, int id);      // the item must exist and be enabled
    bool click_button(WindowId frame, int id);      // a visible and enabled tool button
    bool key(WindowId window, int key, unsigned mods = MOD_NONE);  // accelerators, then the client
    bool close(WindowId frame);                     // the close box; true when it closed
    void resize(WindowId window, int client_width, int client_height);
    void mouse_down(WindowId client, MouseButton b, int x, int y, unsigned mods = MOD_NONE);
    void mouse_up(WindowId client, MouseButton b, int x, int y, unsigned mods = MOD_NONE);
    void mouse_move(WindowId client, int x, int y, unsigned mods = MOD_NONE);
    void double_click(WindowId client, MouseButton b, int x, int y, unsigned mods = MOD_NONE);
    void wheel(WindowId client, int delta, int x, int y, unsigned mods = MOD_NONE);
    void scroll(WindowId client, ScrollBarKind bar, ScrollCode code, int position = 0);
    // A tool button held down, and let go (over it, when `over` is set:
    // then its command follows, as a click's does).
    bool press_button(WindowId frame, int id);
    bool release_button(WindowId frame, int id, bool over = true);
    // Paints a client on a recording surface of its size; the recorded lines.
    std::vector<std::string> paint(WindowId client);

    int beeps() const { return beeps_; }
    const std::vector<std::string>& opened_documents() const { return documents_; }
    // What the help window was asked to show: file and anchor, in order.
    struct HelpRequest {
        std::string file, anchor;
    };
    const std::vector<HelpRequest>& help_requests() const { return help_; }

    void reset();

private:
    friend class HeadlessBackend;
    friend class HeadlessDialog;

    HeadlessBackend& backend_;
    std::map<std::string, DialogHandler> handlers_;
    std::map<std::string, std::deque<DialogHandler>> one_shot_;
    DialogHandler any_handler_;
    std::map<std::string, SheetHandler> sheet_handlers_;
    std::map<std::string, std::deque<SheetHandler>> sheet_one_shot_;
    std::deque<int> answers_;
    std::deque<std::optional<std::string>> files_;
    std::deque<int> file_filters_;
    std::deque<std::optional<std::string>> folders_;
    std::deque<std::optional<FontSpec>> fonts_;
    std::deque<int> popups_;
    std::vector<ScriptEvent> log_;
    std::vector<std::string> faults_;
    int beeps_ = 0;
    std::vector<std::string> documents_;
    std::vector<HelpRequest> help_;
};

// A frame or client window kept in memory.
struct HeadlessWindow {
    WindowId id = 0;
    bool is_client = false;
    WindowId frame = 0;                  // a client's frame
    WindowId client = 0;                 // a frame's client
    std::string class_name;
    std::string title;
    std::optional<std::string> status_text;   // a frame's status line, once it has one
    FrameEvents* frame_events = nullptr;
    ClientEvents* client_events = nullptr;
    GLEvents* gl_events = nullptr;
    Menu menu;
    ToolBar large_bar, small_bar;
    bool show_large = false;
    bool bars_visible = false;
    std::map<int, std::pair<bool, bool>> buttons;   // id -> visible, enabled
    WindowPlacement placement;
    bool visible = false;
    bool maximized = false;
    bool minimized = false;
    int invalidations = 0;               // invalidate() calls since the last paint
    int scene_invalidations = 0;         // invalidate_scene() calls since the last paint
    bool mouse_captured = false;
    ScrollBarState scroll_bars[2];       // horizontal, vertical
    CursorShape cursor = CursorShape::Arrow;
    double pixel_ratio = 1.0;
};

class HeadlessBackend : public Backend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    Script& script() { return script_; }
    // Clears windows, timers, posted calls, settings, clipboard and the script.
    void reset();

    // Inspection for tests.
    const HeadlessWindow* window(WindowId w) const;
    std::vector<WindowId> windows() const;
    WindowId focus_window() const { return focus_; }
    Point cursor() const { return cursor_; }
    bool wait_cursor() const { return wait_cursor_; }
    WindowId accelerator_window() const { return accel_window_; }
    const AcceleratorTable* accelerator_table() const { return accel_table_; }
    size_t posted_count() const;
    bool timer_pending(WindowId w, int timer_id) const;
    // The picture put on the clipboard last.
    const std::optional<Image>& clipboard_image() const { return clipboard_image_; }
    // The device pixel ratio a window reports (1 unless a test sets it).
    void set_device_pixel_ratio(WindowId w, double ratio);
    // The dialogs open now, innermost last.
    const std::vector<HeadlessDialog*>& open_dialogs() const { return open_dialogs_; }
    MemorySettings& memory_settings() { return settings_; }

    // --- Backend ---
    const char* name() const override { return "headless"; }
    bool has_windows() const override { return false; }
    // The render view is offered (its scene is never drawn here) unless a test says otherwise.
    bool opengl_available() const override { return opengl_; }
    void set_opengl_available(bool available) { opengl_ = available; }

    // Runs posted calls until quit() and returns its code. It also returns (with
    // 0) when nothing is left to do: no posted call, no running worker thread,
    // and no timer, or only timers that have fired MAX_IDLE_TIMER_ROUNDS times
    // (an animation would never end a test otherwise). While worker threads run,
    // it waits for their posts and lets the virtual clock follow real time.
    int run_loop() override;
    void quit(int exit_code) override;
    void process_events() override;
    void post(std::function<void()> call) override;

    WindowId create_frame(const std::string& class_name, const std::string& caption,
                          FrameEvents* events) override;
    void destroy_window(WindowId w) override;
    void set_title(WindowId w, const std::string& title) override;
    std::string title(WindowId w) const override;
    void set_status_text(WindowId frame, const std::string& text) override;
    std::string status_text(WindowId frame) const override;
    void set_menu(WindowId frame, const Menu& menu) override;
    void set_toolbars(WindowId frame, const ToolBar& large, const ToolBar& small, bool show_large,
                      bool visible) override;
    void set_button_state(WindowId frame, int id, bool visible, bool enabled) override;
    std::optional<Point> button_center(WindowId frame, int id) const override;
    void show_window(WindowId w, int show_cmd) override;
    bool is_visible(WindowId w) const override;
    bool is_maximized(WindowId w) const override;
    void raise_and_activate(WindowId w) override;
    WindowId active_window() const override;
    WindowPlacement placement(WindowId w) const override;
    void set_placement(WindowId w, const WindowPlacement& p) override;
    Rect work_area() const override { return WORK_AREA; }
    Rect client_rect(WindowId w) const override;
    double device_pixel_ratio(WindowId w) const override;
    void close_popups(WindowId frame) override;

    WindowId create_client(WindowId frame, ClientEvents* events) override;
    WindowId create_gl_client(WindowId frame, GLEvents* events) override;
    void invalidate(WindowId client, const Rect* area = nullptr) override;
    void invalidate_scene(WindowId gl_client) override;
    void set_scroll_bar(WindowId client, ScrollBarKind bar, const ScrollBarState& state) override;
    ScrollBarState scroll_bar(WindowId client, ScrollBarKind bar) const override;
    void set_cursor_shape(WindowId client, CursorShape shape) override;
    void set_focus(WindowId w) override { focus_ = w; }
    void set_mouse_capture(WindowId client, bool capture) override;
    void set_cursor_pos(Point screen) override { cursor_ = screen; }
    Point client_to_screen(WindowId w, Point p) const override;

    void set_active_accelerators(WindowId w, const AcceleratorTable* table) override;

    void set_timer(WindowId w, int timer_id, int milliseconds) override;
    void kill_timer(WindowId w, int timer_id) override;

    int run_dialog(const DialogTemplate& t, DialogProc& proc, WindowId owner) override;
    int run_property_sheet(const std::string& caption, const std::vector<PropertyPage>& pages, int start_page,
                           WindowId owner) override;
    int message_box(WindowId owner, const std::string& text, const std::string& caption, MessageIcon icon,
                    MessageButtons buttons) override;
    int popup_menu(WindowId owner, const MenuItem& popup, Point screen) override;

    std::optional<std::string> open_file_dialog(WindowId owner, FileDialogRequest& r) override;
    std::optional<std::string> save_file_dialog(WindowId owner, FileDialogRequest& r) override;
    std::optional<std::string> browse_folder(WindowId owner, const std::string& title,
                                             const std::string& initial) override;
    bool choose_font(WindowId owner, FontSpec& font) override;

    std::unique_ptr<Surface> screen_surface() override;
    std::unique_ptr<Surface> image_surface(int width, int height, Color background,
                                           double pixel_ratio = 1.0) override;
    Image surface_image(Surface& image_surface) override;
    std::optional<Image> render_gl_offscreen(int, int, GLEvents&) override { return std::nullopt; }
    std::optional<Image> grab_window(WindowId) override { return std::nullopt; }

    SettingsStore& settings() override { return settings_; }
    void set_clipboard_text(const std::string& text) override { clipboard_ = text; }
    std::string clipboard_text() override { return clipboard_; }
    bool set_clipboard_image(const Image& image) override;
    void beep() override { ++script_.beeps_; }
    void set_wait_cursor(bool wait) override { wait_cursor_ = wait; }
    bool open_document(const std::string& path_or_url) override;
    bool show_help(const std::string& html_file, const std::string& anchor) override;

    static constexpr Rect WORK_AREA{0, 0, 1920, 1040};
    static constexpr int MAX_DIALOG_TIMER_ROUNDS = 1000;
    static constexpr int MAX_IDLE_TIMER_ROUNDS = 10000;

private:
    friend class Script;
    friend class HeadlessDialog;
    friend class HeadlessSheet;

    struct Timer {
        int interval = 0;
        int64_t due = 0;
        uint64_t order = 0;    // ties fire in the order the timers were set
    };

    HeadlessWindow* find_window(WindowId w);
    const HeadlessWindow* find_window(WindowId w) const;
    HeadlessWindow* frame_of(WindowId w);
    WindowId new_window_id() { return next_window_++; }
    HeadlessDialog* open_dialog(WindowId w) const;
    void note_fault(std::string text) { script_.faults_.push_back(std::move(text)); }
    // Fires the earliest timer due at or before `until` (of window `only` when
    // not 0); false when none is due.
    bool fire_next_timer(int64_t until, WindowId only = 0);
    void fire_timer(WindowId w, int timer_id);
    void apply_size(HeadlessWindow& w);
    void log_dialog(const HeadlessDialog& d, const std::string& name);

    Script script_;
    MemorySettings settings_;
    std::map<WindowId, HeadlessWindow> windows_;
    WindowId next_window_ = 1;
    WindowId active_ = 0;
    WindowId focus_ = 0;
    Point cursor_{};
    bool wait_cursor_ = false;
    WindowId accel_window_ = 0;
    const AcceleratorTable* accel_table_ = nullptr;
    std::string clipboard_;
    std::optional<Image> clipboard_image_;
    bool opengl_ = true;
    std::vector<HeadlessDialog*> open_dialogs_;
    std::map<std::pair<WindowId, int>, Timer> timers_;
    uint64_t timer_order_ = 0;
    int64_t now_ = 0;   // virtual clock, milliseconds

    mutable std::mutex queue_mutex_;
    std::condition_variable queue_cv_;
    std::deque<std::function<void()>> queue_;
    bool quit_ = false;
    int exit_code_ = 0;
};

// Installs a new headless backend (replacing any) and returns it.
HeadlessBackend& install_headless_backend();
// The installed headless backend and its script; abort when another backend is installed.
HeadlessBackend& headless_backend();
Script& script();
