// The platform backend: our stand-in for the operating system's windowing,
// dialog, drawing, settings and threading services. Exactly one backend is
// installed at a time (Qt for the program, headless for tests and batch mode).
// Every call is made on the main thread except post(), which any thread may use.
#pragma once

#include "platform/dialog.h"
#include "platform/handles.h"
#include "platform/menu.h"
#include "platform/resources.h"
#include "platform/settings.h"
#include "platform/surface.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The 44-byte window placement kept in the settings store: eleven int32 in the
// order length, flags, show state, minimised x, y, maximised x, y, and the
// normal rectangle left, top, right, bottom.
struct WindowPlacement {
    int32_t length = 44;
    int32_t flags = 0;
    int32_t show_cmd = SHOW_NORMAL;
    int32_t min_x = -1, min_y = -1;
    int32_t max_x = -1, max_y = -1;
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    enum : int32_t { SHOW_HIDE = 0, SHOW_NORMAL = 1, SHOW_MINIMIZED = 2, SHOW_MAXIMIZED = 3 };
    // Backend::show_window only: shown normal and left inactive (the window
    // manager keeps it behind the active window).
    static constexpr int SHOW_NO_ACTIVATE = 4;

    std::vector<uint8_t> to_bytes() const;
    // Null when the bytes are not a 44-byte placement.
    static std::optional<WindowPlacement> from_bytes(const std::vector<uint8_t>& bytes);
    bool operator==(const WindowPlacement&) const = default;
};

enum class MouseButton { None, Left, Right, Middle };

// The scroll bars of a client, and what the user did to one. Line and page
// "up" are left on the horizontal bar. A thumb drag reports its position as
// it moves (ThumbTrack) and once more when it is let go (ThumbPosition).
enum class ScrollBarKind { Horizontal, Vertical };
enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbTrack, ThumbPosition, EndScroll };
// A bar's positions run from minimum to maximum - page (the thumb is page long).
struct ScrollBarState {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    bool visible = false;
    bool operator==(const ScrollBarState&) const = default;
};

enum class CursorShape { Arrow, Hand, Cross };

// What a top-level window (a frame) tells its owner.
class FrameEvents {
public:
    virtual ~FrameEvents() = default;
    virtual void on_command(int id) = 0;              // menu item, accelerator or tool button
    virtual bool on_close() { return true; }          // close box or Alt+F4; true lets it close
    virtual void on_activate(bool /*active*/) {}
    virtual void on_size(int /*client_width*/, int /*client_height*/) {}
    virtual void on_timer(int /*timer_id*/) {}
    virtual void on_menu_opening() {}                 // before a menu drops down (update item states)
    // A tool button went down or up under the mouse (dragging off it counts
    // as up, back onto it as down); the command still comes with on_command
    // when it is released over the button.
    virtual void on_button_press(int /*id*/, bool /*pressed*/) {}
};

// What a client window tells its owner: a painted area with mouse and keys.
class ClientEvents {
public:
    virtual ~ClientEvents() = default;
    virtual void on_paint(Surface&, const Rect& /*dirty*/) {}
    virtual void on_size(int /*width*/, int /*height*/) {}
    virtual void on_mouse_down(MouseButton, int /*x*/, int /*y*/, unsigned /*mods*/) {}
    virtual void on_mouse_up(MouseButton, int /*x*/, int /*y*/, unsigned /*mods*/) {}
    virtual void on_mouse_move(int /*x*/, int /*y*/, unsigned /*mods*/) {}
    virtual void on_double_click(MouseButton, int /*x*/, int /*y*/, unsigned /*mods*/) {}
    // The wheel's turn (120 a notch, either axis: a sideways wheel and a
    // wheel turned with Shift held count alike).
    virtual void on_wheel(int /*delta*/, int /*x*/, int /*y*/, unsigned /*mods*/) {}
    virtual void on_scroll(ScrollBarKind /*bar*/, ScrollCode /*code*/, int /*position*/) {}
    // A key the accelerator table did not take; true when handled.
    virtual bool on_key(int /*key*/, unsigned /*mods*/) { return false; }
    // Whether the client takes a key itself before the accelerator table
    // sees it (a text being edited keeps its own editing keys); it then
    // comes to on_key.
    virtual bool takes_key(int /*key*/, unsigned /*mods*/) { return false; }
    virtual void on_char(const std::string& /*utf8*/) {}
    virtual void on_focus(bool /*gained*/) {}
};

// What an OpenGL client tells its owner. The context is current in each call.
// gl_paint draws the scene, which the client keeps: a repaint shows the kept
// scene and draws it again only after invalidate_scene() or a size change.
// After the scene, an owner that also takes ClientEvents gets on_paint with a
// surface over the picture (in logical pixels), which draws over the scene.
// gl_resize gives the size in device pixels (the GL viewport), which is the
// logical client size times the device pixel ratio.
class GLEvents {
public:
    virtual ~GLEvents() = default;
    virtual void gl_init() {}
    virtual void gl_resize(int /*device_width*/, int /*device_height*/) {}
    virtual void gl_paint() {}
};

enum class MessageIcon { None, Info, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct FileFilter {
    std::string description;   // "Comma Separated Values file (*.csv)"
    std::string patterns;      // "*.csv" (several separated by ';')
};

struct FileDialogRequest {
    std::string title;
    std::vector<FileFilter> filters;
    int filter_index = 0;            // chosen filter, in and out
    std::string default_extension;   // without the dot, added when the name has none
    std::string initial_path;        // folder or file
    std::string ok_text;             // caption of the OK button; empty for the default
    bool must_exist = true;          // open dialog: the file must exist
    bool confirm_overwrite = true;   // save dialog: ask before replacing
    // Save dialog: choosing another filter gives the typed name the extension
    // of that filter's first pattern, and a name without one gets it.
    bool extension_follows_filter = false;
};

// The extension of a filter's first pattern ("mac" of "*.mac"); empty when it has none.
inline std::string filter_extension(const FileFilter& filter)
{
    const std::string first = filter.patterns.substr(0, filter.patterns.find(';'));
    const std::size_t dot = first.rfind('.');
    if (dot == std::string::npos || first.find('*', dot) != std::string::npos)
        return {};
    return first.substr(dot + 1);
}

class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* name() const = 0;            // "qt" or "headless"
    virtual bool has_windows() const = 0;            // false for the headless backend
    // Whether OpenGL contexts can be made (the render view can be offered).
    virtual bool opengl_available() const = 0;

    // Event loop.
    virtual int run_loop() = 0;                      // until quit(); returns the exit code
    virtual void quit(int exit_code) = 0;
    virtual void process_events() = 0;               // runs pending events and posted calls once
    // While held, the windows keep still for a long job on the main thread
    // that serves them between its steps while what they draw from is in
    // the middle of a change: the client windows show the pictures they
    // showed when the hold began, however often they are repainted
    // (uncovered, resized), and no on_paint or gl_paint runs; the frames'
    // timers and the posted calls wait until the hold ends (a timer that fell
    // due meanwhile fires once then). Dialogs are served as ever. Holds nest.
    // The scripted backend, which has no windows, holds nothing: a test's
    // posted calls drive the job's dialog.
    virtual void hold_windows(bool hold) { (void)hold; }
    // Queues a call for the main thread; safe from any thread.
    virtual void post(std::function<void()> call) = 0;

    // Frames (top-level windows) and their clients.
    virtual WindowId create_frame(const std::string& class_name, const std::string& caption,
                                  FrameEvents* events) = 0;
    virtual void destroy_window(WindowId w) = 0;
    virtual void set_title(WindowId w, const std::string& title) = 0;
    virtual std::string title(WindowId w) const = 0;
    // The status line at the foot of a frame: made by the first call (an
    // empty text gives a blank line), kept from then on.
    virtual void set_status_text(WindowId frame, const std::string& text) = 0;
    virtual std::string status_text(WindowId frame) const = 0;
    virtual void set_menu(WindowId frame, const Menu& menu) = 0;     // an empty menu removes it
    virtual void set_toolbars(WindowId frame, const ToolBar& large, const ToolBar& small,
                              bool show_large, bool visible) = 0;
    virtual void set_button_state(WindowId frame, int id, bool visible, bool enabled) = 0;
    virtual std::optional<Point> button_center(WindowId frame, int id) const = 0; // screen pixels
    virtual void show_window(WindowId w, int show_cmd) = 0;          // WindowPlacement::SHOW_*
    virtual bool is_visible(WindowId w) const = 0;
    virtual bool is_maximized(WindowId w) const = 0;
    virtual void raise_and_activate(WindowId w) = 0;
    virtual WindowId active_window() const = 0;
    virtual WindowPlacement placement(WindowId w) const = 0;
    virtual void set_placement(WindowId w, const WindowPlacement& p) = 0;
    virtual Rect work_area() const = 0;              // screen area without panels, pixels
    virtual Rect client_rect(WindowId w) const = 0;  // client size at (0,0), logical pixels
    // Device pixels per logical pixel of the window's screen (2 on a doubled display).
    virtual double device_pixel_ratio(WindowId w) const = 0;
    virtual void close_popups(WindowId frame) = 0;   // closes open message boxes and popups over it

    // Client areas. A frame has one client; creating another replaces it.
    virtual WindowId create_client(WindowId frame, ClientEvents* events) = 0;
    virtual WindowId create_gl_client(WindowId frame, GLEvents* events) = 0;
    virtual void invalidate(WindowId client, const Rect* area = nullptr) = 0;
    // An OpenGL client's scene is drawn again (gl_paint) at its next paint,
    // which this asks for.
    virtual void invalidate_scene(WindowId gl_client) = 0;
    // A client's scroll bars: shown, hidden and set by the program alone
    // (a click or drag only reports through ClientEvents::on_scroll).
    virtual void set_scroll_bar(WindowId client, ScrollBarKind bar, const ScrollBarState& state) = 0;
    virtual ScrollBarState scroll_bar(WindowId client, ScrollBarKind bar) const = 0;
    virtual void set_cursor_shape(WindowId client, CursorShape shape) = 0;
    virtual void set_focus(WindowId w) = 0;
    virtual void set_mouse_capture(WindowId client, bool capture) = 0;
    virtual void set_cursor_pos(Point screen) = 0;
    virtual Point client_to_screen(WindowId w, Point p) const = 0;

    // The accelerator table that the event loop translates, and its window.
    virtual void set_active_accelerators(WindowId w, const AcceleratorTable* table) = 0;

    // Timers deliver FrameEvents::on_timer on the main thread.
    virtual void set_timer(WindowId w, int timer_id, int milliseconds) = 0;
    virtual void kill_timer(WindowId w, int timer_id) = 0;

    // Modal dialogs and sheets. Each returns the result passed to Dialog::end.
    virtual int run_dialog(const DialogTemplate& t, DialogProc& proc, WindowId owner) = 0;
    virtual int run_property_sheet(const std::string& caption, const std::vector<PropertyPage>& pages,
                                   int start_page, WindowId owner) = 0;
    virtual int message_box(WindowId owner, const std::string& text, const std::string& caption,
                            MessageIcon icon, MessageButtons buttons) = 0;
    // The command chosen from a popup menu at a screen point, 0 when none.
    virtual int popup_menu(WindowId owner, const MenuItem& popup, Point screen) = 0;

    // Common dialogs; null when cancelled.
    virtual std::optional<std::string> open_file_dialog(WindowId owner, FileDialogRequest& r) = 0;
    virtual std::optional<std::string> save_file_dialog(WindowId owner, FileDialogRequest& r) = 0;
    virtual std::optional<std::string> browse_folder(WindowId owner, const std::string& title,
                                                     const std::string& initial) = 0;
    virtual bool choose_font(WindowId owner, FontSpec& font) = 0;

    // Drawing outside a paint: measuring on the screen and drawing into images.
    virtual std::unique_ptr<Surface> screen_surface() = 0;
    // An image of width x height logical pixels; with a pixel ratio above 1 it
    // holds ratio times as many pixels each way and draws in logical units.
    virtual std::unique_ptr<Surface> image_surface(int width, int height, Color background,
                                                   double pixel_ratio = 1.0) = 0;
    virtual Image surface_image(Surface& image_surface) = 0;  // a surface from image_surface
    // Renders with OpenGL into an image; null when no OpenGL is available.
    virtual std::optional<Image> render_gl_offscreen(int width, int height, GLEvents& events) = 0;
    // The picture a window shows now, in device pixels: a client as painted
    // (an OpenGL client's scene with what was drawn over it), a frame whole
    // with its bars; null when there is none.
    virtual std::optional<Image> grab_window(WindowId w) = 0;

    // Settings, clipboard, sound, cursor, documents.
    virtual SettingsStore& settings() = 0;
    virtual void set_clipboard_text(const std::string& text) = 0;
    virtual std::string clipboard_text() = 0;
    // False when the clipboard could not take the picture.
    virtual bool set_clipboard_image(const Image& image) = 0;
    virtual void beep() = 0;
    // The time of one whole on-off cycle of the text cursor's flashing, in
    // milliseconds (0: it does not flash).
    virtual int cursor_flash_time() const { return 1000; }
    virtual void set_wait_cursor(bool wait) = 0;
    virtual bool open_document(const std::string& path_or_url) = 0;
    // The program's help window (one, reused): shows the HTML file scrolled
    // to the anchor (its top when empty) and brings the window to the front.
    // False when the file cannot be read.
    virtual bool show_help(const std::string& html_file, const std::string& anchor) = 0;
};

// The installed backend. Using it before install_backend() is a programming error.
Backend& backend();
bool backend_installed();
void install_backend(std::unique_ptr<Backend> b);
void remove_backend();
