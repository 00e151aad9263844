// Shared pieces of the Qt backend: conversions, the frame and client widgets,
// the QPainter surface and the backend's state. Used only inside this folder.
#pragma once

#include "platform/qt/qt_backend.h"
#include "platform/settings.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QScrollBar>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QToolBar>
#include <QWidget>

#include <cstdio>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kvqt {

inline QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string ss(const QString& s) { return s.toStdString(); }
inline QColor qcolor(Color c) { return QColor(c.r, c.g, c.b); }
inline Rect rect_of(const QRect& r) { return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

unsigned mods_of(Qt::KeyboardModifiers m);
// Our key code of a Qt key (letters and digits as upper-case ASCII, the
// keypad's digits as their own codes), 0 when unknown.
int key_code(int qt_key, Qt::KeyboardModifiers m);
// The keypad digit code of a keypad key pressed with Num Lock off (the
// keypad's Up is 8), 0 for any other key.
int keypad_digit_code(int qt_key, Qt::KeyboardModifiers m);
// A key held with Ctrl, Alt or Meta is a command key and never text: one
// that no accelerator, mnemonic or window took types nothing into a cell or
// a text field. (AltGr, which types characters, is none of them.)
inline bool command_key(Qt::KeyboardModifiers m) {
    return (m & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
}

QFont make_font(const FontSpec& f);
// The width a window needs for its title bar to show the caption whole
// beside the window's icon and buttons.
int caption_width(const std::string& caption);
FontSpec font_spec(const QFont& f);


// Program callbacks run through this: nothing they throw may cross Qt's event loop.
void report_callback_error(const char* where, const char* what);
template <class F>
void guarded(const char* where, F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        report_callback_error(where, e.what());
    } catch (...) {
        report_callback_error(where, "unknown exception");
    }
}

enum class WindowKind { Frame, Client, GLClient, Dialog, Page };

// A top-level window: menu bar, two tool-bar variants and a central client.
class FrameWindow : public QMainWindow {
public:
    explicit FrameWindow(FrameEvents* events);

    FrameEvents* events = nullptr;   // null once the frame is being destroyed

    void set_menu(const Menu& menu);
    void set_toolbars(const ToolBar& large, const ToolBar& small, bool show_large, bool visible);
    void set_button_state(int id, bool visible, bool enabled);
    std::optional<QPoint> button_center(int id) const;
    // The command arrives at FrameEvents::on_command once the menu or button has finished.
    void queue_command(int id);

    // The status line, made with its first text.
    void set_status_text(const QString& text);
    QString status_text() const;

    QRect normal_rect() const { return normal_; }
    void set_normal_rect(const QRect& r) { normal_ = r; }
    QSize client_size() const;

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    QMenu* createPopupMenu() override { return nullptr; }   // no tool-bar toggling menu

private:
    void sync_items(QWidget* container, const std::vector<MenuItem>& items);
    void add_item(QWidget* container, const MenuItem& item);
    void fill_bar(int which, const ToolBar& bar);
    void remember_normal();

    QToolBar* bars_[2] = {nullptr, nullptr};   // large, small
    std::vector<ToolButton> bar_data_[2];
    std::map<int, std::pair<bool, bool>> button_states_;   // visible, enabled
    QLabel* status_ = nullptr;
    QRect normal_;
};

// Mouse, wheel, key and focus events of a client, handed to its ClientEvents.
// True when the event was consumed.
bool forward_input(ClientEvents* events, QWidget* w, QEvent* e);

// What a client shows while the backend holds the windows (hold_windows):
// the picture it showed then, or nothing.
struct HeldPicture {
    QPixmap picture;
    bool held = false;
    // Takes the widget's picture now.
    void hold(QWidget& w);
    void release(QWidget& w);
    // Paints the held picture; false when none is held.
    bool paint(QWidget& w) const;
};

class ClientWidget : public QWidget {
public:
    ClientWidget(ClientEvents* events, QWidget* parent);
    ClientEvents* events;
    HeldPicture held;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
};

// The format every OpenGL context of the program uses: 2.1 compatibility, so
// that immediate mode drawing works, with a depth buffer.
QSurfaceFormat gl_format();
// Whether OpenGL contexts can be made at all on this display (asked once).
bool gl_available();

// An OpenGL client: the scene is drawn with a context of the widget's own on
// an offscreen surface, into a frame buffer of the widget's size in device
// pixels, and read back into a picture that the widget shows. The scene is
// drawn again only when it was invalidated or the size changed; every paint
// shows the kept picture and then lets the owner draw over it with QPainter.
// Without OpenGL the picture stays empty and only the owner's painting shows.
class GLClientWidget : public QWidget {
public:
    GLClientWidget(GLEvents* events, QWidget* parent);
    ~GLClientWidget() override;
    GLEvents* events;
    ClientEvents* input;   // the same object when it also takes mouse and keys
    HeldPicture held;

    void invalidate_scene() {
        scene_dirty_ = true;
        update();
    }
    // The picture as the screen shows it (device pixels).
    QImage picture();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void draw_scene(const QSize& device);
    void release_context();

    std::unique_ptr<QOpenGLContext> context_;
    std::unique_ptr<QOffscreenSurface> surface_;
    std::unique_ptr<QOpenGLFramebufferObject> fbo_;
    QImage scene_;
    bool scene_dirty_ = true;
    bool initialised_ = false;
    bool failed_ = false;
    QSize resized_;   // the device size gl_resize was told last
};

// The client of a frame with its scroll bars: the client fills the top left,
// the vertical bar stands at the right and the horizontal one below; a bar
// shows only once the program has set it visible.
class ClientHost : public QWidget {
public:
    ClientHost(QWidget* parent);
    void set_client(QWidget* client, ClientEvents* events);
    void set_bar(ScrollBarKind kind, const ScrollBarState& state);
    ScrollBarState bar(ScrollBarKind kind) const { return states_[kind == ScrollBarKind::Vertical ? 1 : 0]; }
    ClientEvents* events = nullptr;   // null once the client is going

private:
    QScrollBar* bars_[2] = {nullptr, nullptr};   // horizontal, vertical
    ScrollBarState states_[2];
};

// A Surface over a QPainter that someone else owns (a paint event, a printer).
class QtSurface : public Surface {
public:
    QtSurface(QPainter& painter, int width, int height, int dpi_x, int dpi_y);

    void set_pen(const Pen& pen) override;
    void set_brush(const Brush& brush) override;
    void set_font(const FontSpec& font) override;
    void set_text_color(Color c) override;
    void set_background(Color c, bool opaque) override;
    TextMetrics text_metrics() override;
    int text_width(const std::string& text) override;
    void move_to(int x, int y) override;
    void line_to(int x, int y) override;
    void line(int x1, int y1, int x2, int y2) override;
    void polyline(const std::vector<Point>& points) override;
    void polygon(const std::vector<Point>& points) override;
    void rectangle(const Rect& r) override;
    void fill_rect(const Rect& r, Color c) override;
    void ellipse(const Rect& r) override;
    void arc(const Rect& r, double start_deg, double sweep_deg) override;
    void bezier(const std::vector<Point>& points) override;
    void set_pixel(int x, int y, Color c) override;
    void text(int x, int y, const std::string& text, TextAlign align = TextAlign::Left) override;
    void set_clip(const Rect& r) override;
    void clear_clip() override;
    void draw_image(const Rect& target, const Image& image) override;
    int width() const override { return width_; }
    int height() const override { return height_; }
    int dpi_x() const override { return dpi_x_; }
    int dpi_y() const override { return dpi_y_; }

    QPainter& painter() { return *p_; }

protected:
    QtSurface() = default;
    void attach(QPainter& painter, int width, int height, int dpi_x, int dpi_y);

private:
    // The widths of the texts measured in one font: a page of a report
    // measures the same texts again and again (a table lays its columns out
    // and then draws its cells), and each measure shapes the text anew.
    struct TextWidths {
        FontSpec font;
        std::unordered_map<std::string, int> width;
    };
    static constexpr std::size_t MOST_WIDTHS = 1 << 17;   // a font's texts kept at the most

    QPainter* p_ = nullptr;
    int width_ = 0, height_ = 0, dpi_x_ = 96, dpi_y_ = 96;
    QPoint current_;
    QColor text_color_ = Qt::black;
    int escapement_ = 0;
    // The painter's font as last set, and its ascent.
    FontSpec font_;
    bool font_set_ = false;
    int ascent_ = 0;
    std::vector<TextWidths> widths_;   // a few fonts
    std::size_t font_widths_ = 0;      // the current font's, in widths_
};

// A surface that draws into its own ARGB32 image; with a pixel ratio above 1
// the image holds that many pixels a logical one and drawing is in logical units.
class ImageSurface : public QtSurface {
public:
    ImageSurface(int width, int height, Color background, int dpi, double pixel_ratio = 1.0);
    ~ImageSurface() override;
    const QImage& image() const { return image_; }

private:
    QImage image_;
    QPainter painter_;
};

Image image_of(const QImage& image);
// A QImage over the pixels of an Image (no copy: the Image must outlive it).
QImage qimage_view(const Image& image);

class QtDialog;

}  // namespace kvqt

// Calls queued for the main thread by post(); shared with the queued Qt events
// so that a late event finds the queue even when the backend is gone.
struct PostQueue {
    std::mutex m;
    std::deque<std::function<void()>> calls;
    bool held = false;   // the calls wait (the windows are held); main thread only
    void run();
};

struct QtBackend::State {
    explicit State(const std::string& settings_path) : settings(settings_path) {}

    std::unique_ptr<QApplication> own_app;
    IniFileSettings settings;
    struct Entry {
        QPointer<QWidget> widget;
        kvqt::WindowKind kind = kvqt::WindowKind::Frame;
    };
    std::map<WindowId, Entry> windows;
    WindowId next_id = 1;
    std::map<WindowId, kvqt::QtDialog*> dialogs;            // live dialogs and sheet pages
    std::map<std::pair<WindowId, int>, QPointer<QTimer>> timers;
    WindowId accel_window = 0;
    const AcceleratorTable* accel = nullptr;
    std::unique_ptr<QObject> accel_filter;
    std::unique_ptr<QObject> stray_key_filter;
    std::shared_ptr<PostQueue> posted = std::make_shared<PostQueue>();
    bool quit_requested = false;
    int quit_code = 0;
    bool loop_running = false;
    bool wait_cursor = false;
    std::unique_ptr<QWidget> help;    // the help window, made at the first request
    int window_holds = 0;             // hold_windows nesting
    // The frames' timers that fell due while the windows were held.
    std::set<std::pair<WindowId, int>> timers_missed;

    WindowId add_window(QWidget* w, kvqt::WindowKind kind);
    void remove_window(WindowId w);
    QWidget* find(WindowId w) const;
    kvqt::FrameWindow* frame(WindowId w) const;        // the frame itself or the frame around a client
    QWidget* parent_for(WindowId owner) const;        // top-level widget to parent a dialog on
    unsigned activations = 0;                         // windows the program brought to the front (and the guide)
};

namespace kvqt {

// Keeps the keyboard where it was across a modal window (a message box, a
// dialog, a file or font dialog): made before the window opens, it gives
// the activation back to the window that was active then, and the focus to
// its focused widget, once the modal window has closed. A window manager
// gives the focus to a window of its own choosing when the focused window
// goes away, and when a message box and the dialog under it close one after
// the other that may be a window hidden behind others, which would take
// the keys typed next unseen. The modal's parent stands in when that window
// has gone; a window the program brought to the front meanwhile
// (raise_and_activate, the guide) keeps the activation.
class ActivationKeeper {
public:
    ActivationKeeper(const QtBackend::State& state, QWidget* parent);
    ~ActivationKeeper();
    ActivationKeeper(const ActivationKeeper&) = delete;
    ActivationKeeper& operator=(const ActivationKeeper&) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
    QPointer<QWidget> parent_;
    const QtBackend::State& state_;
    unsigned activations_;
};

}  // namespace kvqt
