// The Qt 6 backend of the platform layer: frames are QMainWindows, clients are
// plain widgets or QOpenGLWidgets, dialogs are built from their templates on a
// grid, drawing goes through QPainter and settings live in an INI file.
//
// This header names no Qt type beyond forward declarations, so that start-up
// code can pick the backend without pulling Qt in.
#pragma once

#include "platform/backend.h"

#include <memory>
#include <string>

class QWidget;

class QtBackend : public Backend {
public:
    // Uses the running QApplication when there is one, otherwise makes and owns one.
    QtBackend(int& argc, char** argv, const std::string& settings_path);
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    const char* name() const override { return "qt"; }
    bool has_windows() const override { return true; }
    bool opengl_available() const override;

    int run_loop() override;
    void quit(int exit_code) override;
    void process_events() override;
    void hold_windows(bool hold) override;
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
    Rect work_area() const override;
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
    void set_focus(WindowId w) override;
    void set_mouse_capture(WindowId client, bool capture) override;
    void set_cursor_pos(Point screen) override;
    Point client_to_screen(WindowId w, Point p) const override;

    void set_active_accelerators(WindowId w, const AcceleratorTable* table) override;

    void set_timer(WindowId w, int timer_id, int milliseconds) override;
    void kill_timer(WindowId w, int timer_id) override;

    int run_dialog(const DialogTemplate& t, DialogProc& proc, WindowId owner) override;
    int run_property_sheet(const std::string& caption, const std::vector<PropertyPage>& pages,
                           int start_page, WindowId owner) override;
    int message_box(WindowId owner, const std::string& text, const std::string& caption,
                    MessageIcon icon, MessageButtons buttons) override;
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
    std::optional<Image> render_gl_offscreen(int width, int height, GLEvents& events) override;
    std::optional<Image> grab_window(WindowId w) override;

    SettingsStore& settings() override;
    void set_clipboard_text(const std::string& text) override;
    std::string clipboard_text() override;
    bool set_clipboard_image(const Image& image) override;
    void beep() override;
    int cursor_flash_time() const override;
    void set_wait_cursor(bool wait) override;
    bool open_document(const std::string& path_or_url) override;
    bool show_help(const std::string& html_file, const std::string& anchor) override;
    // The help window (null before the first help request): a top-level
    // widget titled "Korvane Help" holding a QTextBrowser.
    QWidget* help_window() const;

    // The widget behind a window id (null when there is none or it is gone),
    // and the id of a widget or of its nearest numbered ancestor (0: none).
    QWidget* widget(WindowId w) const;
    WindowId window_id(const QWidget* w) const;

    // The backend's own state, shared by the files of this folder.
    struct State;
    State& state() { return *s_; }

private:
    std::unique_ptr<State> s_;
};

std::unique_ptr<Backend> make_qt_backend(int& argc, char** argv, const std::string& settings_path);

// Settings that must be made before a QApplication exists (the OpenGL format
// and context sharing). The backend calls it when it makes the application
// itself; whoever makes the application first calls it instead.
void prepare_qt_application();

// The settings file used when none is given: $KORVANE_SETTINGS_FILE when set,
// else settings.ini in the user's configuration folder under "Korvane".
std::string qt_default_settings_path();
