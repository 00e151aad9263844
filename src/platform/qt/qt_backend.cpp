// The Qt backend's core: the application object, the event loop and posted
// calls, the window table, accelerators, timers, placement and the small
// services (settings, clipboard, sound, cursor, documents).
#include "platform/keypad_keys.h"
#include "platform/qt/qt_dialog.h"
#include "platform/qt/qt_internal.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QStyleHints>
#include <QSurfaceFormat>
#include <QTextBrowser>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace kvqt {

void report_callback_error(const char* where, const char* what) {
    std::fprintf(stderr, "Korvane: %s failed: %s\n", where, what);
}

unsigned mods_of(Qt::KeyboardModifiers m) {
    unsigned mods = MOD_NONE;
    if (m & Qt::ShiftModifier) mods |= MOD_SHIFT;
    if (m & Qt::ControlModifier) mods |= MOD_CONTROL;
    if (m & Qt::AltModifier) mods |= MOD_ALT;
    return mods;
}

int key_code(int k, Qt::KeyboardModifiers m) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) {
        // The keypad's digits are keys of their own, as the accelerators hold them.
        if (m & Qt::KeypadModifier) return KEY_NUMPAD0 + (k - Qt::Key_0);
        return '0' + (k - Qt::Key_0);
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return KEY_F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace: return KEY_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return KEY_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return KEY_RETURN;
    case Qt::Key_Escape: return KEY_ESCAPE;
    case Qt::Key_Space: return KEY_SPACE;
    case Qt::Key_PageUp: return KEY_PRIOR;
    case Qt::Key_PageDown: return KEY_NEXT;
    case Qt::Key_End: return KEY_END;
    case Qt::Key_Home: return KEY_HOME;
    case Qt::Key_Left: return KEY_LEFT;
    case Qt::Key_Up: return KEY_UP;
    case Qt::Key_Right: return KEY_RIGHT;
    case Qt::Key_Down: return KEY_DOWN;
    case Qt::Key_Insert: return KEY_INSERT;
    case Qt::Key_Delete: return KEY_DELETE;
    default: return 0;
    }
}

int keypad_digit_code(int k, Qt::KeyboardModifiers m) {
    if (!(m & Qt::KeypadModifier)) return 0;
    // The keypad's keys in digit order as they come with Num Lock off.
    static constexpr int NAVIGATION[] = {Qt::Key_Insert, Qt::Key_End,   Qt::Key_Down, Qt::Key_PageDown,
                                         Qt::Key_Left,   Qt::Key_Clear, Qt::Key_Right, Qt::Key_Home,
                                         Qt::Key_Up,     Qt::Key_PageUp};
    const int* at = std::find(std::begin(NAVIGATION), std::end(NAVIGATION), k);
    return at == std::end(NAVIGATION) ? 0 : KEY_NUMPAD0 + static_cast<int>(at - std::begin(NAVIGATION));
}

QSurfaceFormat gl_format() {
    QSurfaceFormat f;
    f.setRenderableType(QSurfaceFormat::OpenGL);
    f.setVersion(2, 1);
    f.setProfile(QSurfaceFormat::CompatibilityProfile);
    f.setDepthBufferSize(24);
    f.setStencilBufferSize(8);
    f.setRedBufferSize(8);
    f.setGreenBufferSize(8);
    f.setBlueBufferSize(8);
    return f;
}

namespace {

const char* WINDOW_ID_PROPERTY = "korvaneWindowId";

// Translates keys through the active accelerator table before any widget sees
// them. Shortcut overrides of those keys are claimed too, so that a menu
// mnemonic never takes a key that the table knows.
class AcceleratorFilter : public QObject {
public:
    explicit AcceleratorFilter(QtBackend& b) : b_(b) {}

    bool eventFilter(QObject* obj, QEvent* e) override {
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride) return false;
        if (!obj->isWidgetType()) return false;
        QtBackend::State& s = b_.state();
        if (!s.accel) return false;
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
        auto* ke = static_cast<QKeyEvent*>(e);
        int key = key_code(ke->key(), ke->modifiers());
        const unsigned mods = mods_of(ke->modifiers());
        int command = key == 0 ? 0 : s.accel->command_for(key, mods);
        // A keypad key with Num Lock off still serves the table's keypad digit
        // when the table has nothing for the arrow or page key it gives.
        if (command == 0) {
            key = keypad_digit_code(ke->key(), ke->modifiers());
            if (key != 0) command = s.accel->command_for(key, mods);
        }
        if (command == 0) return false;
        // A client that takes the key itself gets it as a key press.
        if (auto* client = dynamic_cast<ClientWidget*>(obj); client && client->events) {
            bool takes = false;
            guarded("key", [&] { takes = client->events->takes_key(key, mods); });
            if (takes) {
                e->accept();
                return false;
            }
        }
        FrameWindow* frame = s.frame(s.accel_window);
        if (!frame || !frame->events) return false;
        QWidget* target = static_cast<QWidget*>(obj)->window();
        if (target != frame && QApplication::activeWindow() != frame) return false;
        e->accept();
        if (e->type() == QEvent::KeyPress) {
            FrameEvents* events = frame->events;
            guarded("accelerator command", [&] { events->on_command(command); });
        }
        return true;
    }

private:
    QtBackend& b_;
};

// A chord (a key held with Ctrl, Alt or Meta, Shift or not) that reaches a
// control was taken by no accelerator, mnemonic or shortcut: they see it
// first. Such a chord changes no control's value. Qt's text fields (in every
// window) would type the character of a key held with Alt, or with Ctrl and
// Alt, though not with Ctrl alone; their own Ctrl keys (Ctrl+A, Ctrl+V ...)
// stay theirs. Qt's lists, drop-down lists, buttons, spin boxes and sliders
// would choose, step or press by a chord's key as by the key alone (Alt+R
// searches a drop-down list for R, Ctrl+Down selects in a list box,
// Ctrl+Space checks a box); of those keys a drop-down list keeps Alt+Down,
// which opens it. A chord a control does not take goes on to the windows
// around it as one that the control ignored.
bool types_text(const QObject* w) {
    auto* combo = qobject_cast<const QComboBox*>(w);
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           (combo && combo->isEditable());
}

bool steps_choice(int key) {
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

bool control_takes_chord(const QObject* w, const QKeyEvent& e) {
    const Qt::KeyboardModifiers m = e.modifiers();
    if ((m & (Qt::AltModifier | Qt::MetaModifier)) && !e.text().isEmpty() && e.text().at(0).isPrint() &&
        types_text(w))
        return false;
    if (auto* combo = qobject_cast<const QComboBox*>(w)) {
        if (e.key() == Qt::Key_Down && (m & Qt::AltModifier) && !(m & Qt::ControlModifier)) return true;
        return combo->isEditable() && !steps_choice(e.key());
    }
    if (qobject_cast<const QAbstractSpinBox*>(w)) return !steps_choice(e.key());
    // A list that drops down or completes a text only marks an entry, which
    // Enter chooses; Back is Qt's file dialog's key to the folder before.
    if (auto* list = qobject_cast<const QAbstractItemView*>(w))
        return list->window()->windowType() == Qt::Popup || e.matches(QKeySequence::Back);
    return !qobject_cast<const QAbstractButton*>(w) && !qobject_cast<const QAbstractSlider*>(w);
}

class StrayKeyFilter : public QObject {
public:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (e->type() != QEvent::KeyPress || !obj->isWidgetType()) return false;
        auto* ke = static_cast<QKeyEvent*>(e);
        if (!command_key(ke->modifiers()) || control_takes_chord(obj, *ke)) return false;
        ke->ignore();   // the control's parents get it in turn, each through this filter
        return true;
    }
};

Rect qrect_to_rect(const QRect& r) { return rect_of(r); }

}  // namespace
}  // namespace kvqt

using namespace kvqt;

void PostQueue::run() {
    if (held) return;
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard<std::mutex> lock(m);
            if (calls.empty()) return;
            call = std::move(calls.front());
            calls.pop_front();
        }
        guarded("posted call", call);
    }
}

WindowId QtBackend::State::add_window(QWidget* w, WindowKind kind) {
    WindowId id = next_id++;
    windows[id] = Entry{QPointer<QWidget>(w), kind};
    w->setProperty(WINDOW_ID_PROPERTY, id);
    return id;
}

void QtBackend::State::remove_window(WindowId w) {
    windows.erase(w);
    for (auto it = timers.begin(); it != timers.end();) {
        if (it->first.first == w) {
            if (it->second) it->second->deleteLater();
            it = timers.erase(it);
        } else {
            ++it;
        }
    }
    if (accel_window == w) {
        accel_window = 0;
        accel = nullptr;
    }
}

QWidget* QtBackend::State::find(WindowId w) const {
    auto it = windows.find(w);
    return it == windows.end() ? nullptr : it->second.widget.data();
}

FrameWindow* QtBackend::State::frame(WindowId w) const {
    QWidget* widget = find(w);
    if (!widget) return nullptr;
    return dynamic_cast<FrameWindow*>(widget->window());
}

QWidget* QtBackend::State::parent_for(WindowId owner) const {
    QWidget* w = find(owner);
    if (w) return w->window();
    // No owner: put the dialog over the modal window that is up, else over
    // the active window, so that it stays on top of it.
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

// ---------------------------------------------------------------------------

std::string qt_default_settings_path() {
    if (const char* env = std::getenv("KORVANE_SETTINGS_FILE"); env && *env) return env;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (dir.isEmpty()) dir = QDir::homePath() + "/.config";
    return ss(dir + "/Korvane/settings.ini");
}

void prepare_qt_application() {
    QSurfaceFormat::setDefaultFormat(gl_format());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

std::unique_ptr<Backend> make_qt_backend(int& argc, char** argv, const std::string& settings_path) {
    return std::make_unique<QtBackend>(argc, argv, settings_path);
}

QtBackend::QtBackend(int& argc, char** argv, const std::string& settings_path)
    : s_(std::make_unique<State>(settings_path.empty() ? qt_default_settings_path() : settings_path)) {
    if (!QCoreApplication::instance()) {
        prepare_qt_application();
        s_->own_app = std::make_unique<QApplication>(argc, argv);
    }
    // Qt sets the locale from the environment; numbers are always read and written in "C".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setQuitOnLastWindowClosed(false);   // the program ends with quit()
    QDir().mkpath(QFileInfo(qs(s_->settings.path())).absolutePath());
    if (!s_->settings.load())
        std::fprintf(stderr, "Korvane: the settings file %s cannot be read; settings will not be saved.\n",
                     s_->settings.path().c_str());
    // The filter installed last sees the keys first.
    s_->stray_key_filter = std::make_unique<StrayKeyFilter>();
    qApp->installEventFilter(s_->stray_key_filter.get());
    s_->accel_filter = std::make_unique<AcceleratorFilter>(*this);
    qApp->installEventFilter(s_->accel_filter.get());
}

QtBackend::~QtBackend() {
    if (qApp && s_->accel_filter) qApp->removeEventFilter(s_->accel_filter.get());
    if (qApp && s_->stray_key_filter) qApp->removeEventFilter(s_->stray_key_filter.get());
    if (s_->wait_cursor) QApplication::restoreOverrideCursor();
    s_->help.reset();
    // Windows go before the application object; a frame takes its clients with it.
    // No program callback may run while they go.
    for (auto& [id, entry] : s_->windows) {
        QWidget* w = entry.widget.data();
        if (auto* f = dynamic_cast<FrameWindow*>(w)) f->events = nullptr;
        if (auto* c = dynamic_cast<ClientWidget*>(w)) c->events = nullptr;
        if (auto* g = dynamic_cast<GLClientWidget*>(w)) {
            g->events = nullptr;
            g->input = nullptr;
        }
    }
    for (auto& [id, entry] : s_->windows) {
        if (entry.kind == WindowKind::Frame && entry.widget) delete entry.widget.data();
    }
    s_->windows.clear();
    s_->timers.clear();
    std::lock_guard<std::mutex> lock(s_->posted->m);
    s_->posted->calls.clear();   // nothing is left to run them against
}

QWidget* QtBackend::widget(WindowId w) const { return s_->find(w); }

WindowId QtBackend::window_id(const QWidget* w) const {
    for (; w; w = w->parentWidget()) {
        QVariant v = w->property(WINDOW_ID_PROPERTY);
        if (v.isValid()) {
            WindowId id = v.toInt();
            if (s_->find(id) == w) return id;
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Event loop and posted calls

int QtBackend::run_loop() {
    if (s_->quit_requested) {
        s_->quit_requested = false;
        return s_->quit_code;
    }
    s_->loop_running = true;
    int code = QApplication::exec();
    s_->loop_running = false;
    return code;
}

void QtBackend::quit(int exit_code) {
    if (s_->loop_running) {
        QCoreApplication::exit(exit_code);
    } else {
        s_->quit_requested = true;
        s_->quit_code = exit_code;
    }
}

void QtBackend::process_events() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    s_->posted->run();
}

void QtBackend::hold_windows(bool hold) {
    if (hold) {
        if (s_->window_holds++ > 0) return;
    } else if (s_->window_holds == 0 || --s_->window_holds > 0) {
        return;
    }
    s_->posted->held = hold;
    if (!hold) {
        // The timers missed fire once, after what was posted meanwhile.
        State* s = s_.get();
        for (const auto& [w, timer_id] : std::exchange(s_->timers_missed, {}))
            post([s, w, timer_id] {
                FrameWindow* f = s->timers.count({w, timer_id}) ? s->frame(w) : nullptr;
                if (f && f->events) f->events->on_timer(timer_id);
            });
        if (QCoreApplication* app = QCoreApplication::instance()) {
            std::shared_ptr<PostQueue> queue = s_->posted;
            QMetaObject::invokeMethod(app, [queue] { queue->run(); }, Qt::QueuedConnection);
        }
    }
    for (const auto& [id, entry] : s_->windows) {
        QWidget* w = entry.widget.data();
        if (auto* c = dynamic_cast<ClientWidget*>(w)) {
            if (hold) c->held.hold(*c);
            else c->held.release(*c);
        } else if (auto* g = dynamic_cast<GLClientWidget*>(w)) {
            if (hold) g->held.hold(*g);
            else g->held.release(*g);
        }
    }
}

void QtBackend::post(std::function<void()> call) {
    std::shared_ptr<PostQueue> queue = s_->posted;
    {
        std::lock_guard<std::mutex> lock(queue->m);
        queue->calls.push_back(std::move(call));
    }
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [queue] { queue->run(); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// Windows

WindowId QtBackend::create_frame(const std::string& class_name, const std::string& caption,
                                 FrameEvents* events) {
    auto frame = std::make_unique<FrameWindow>(events);
    frame->setObjectName(qs(class_name));
    frame->setWindowTitle(qs(caption));
    QRect area = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                  : QRect(0, 0, 1024, 768);
    QRect start(area.left() + area.width() / 8, area.top() + area.height() / 8, area.width() * 3 / 4,
                area.height() * 3 / 4);
    frame->setGeometry(start);
    frame->set_normal_rect(start);
    return s_->add_window(frame.release(), WindowKind::Frame);   // deleted by destroy_window or at exit
}

void QtBackend::destroy_window(WindowId w) {
    QWidget* widget = s_->find(w);
    s_->remove_window(w);
    if (!widget) return;
    if (FrameWindow* f = dynamic_cast<FrameWindow*>(widget)) f->events = nullptr;
    if (ClientWidget* c = dynamic_cast<ClientWidget*>(widget)) c->events = nullptr;
    if (GLClientWidget* g = dynamic_cast<GLClientWidget*>(widget)) {
        g->events = nullptr;
        g->input = nullptr;
        // Its host with the scroll bars goes with it.
        if (auto* host = dynamic_cast<ClientHost*>(g->parentWidget())) {
            host->events = nullptr;
            widget = host;
        }
    }
    widget->hide();
    // Later: the call may come from one of the window's own event handlers.
    widget->deleteLater();
}

void QtBackend::set_title(WindowId w, const std::string& title) {
    if (QWidget* widget = s_->find(w)) widget->window()->setWindowTitle(qs(title));
}

std::string QtBackend::title(WindowId w) const {
    QWidget* widget = s_->find(w);
    return widget ? ss(widget->window()->windowTitle()) : std::string();
}

void QtBackend::set_status_text(WindowId frame, const std::string& text) {
    if (FrameWindow* f = dynamic_cast<FrameWindow*>(s_->find(frame))) f->set_status_text(qs(text));
}

std::string QtBackend::status_text(WindowId frame) const {
    FrameWindow* f = dynamic_cast<FrameWindow*>(s_->find(frame));
    return f ? ss(f->status_text()) : std::string();
}

void QtBackend::set_menu(WindowId frame, const Menu& menu) {
    if (FrameWindow* f = dynamic_cast<FrameWindow*>(s_->find(frame))) f->set_menu(menu);
}

void QtBackend::set_toolbars(WindowId frame, const ToolBar& large, const ToolBar& small, bool show_large,
                             bool visible) {
    if (FrameWindow* f = dynamic_cast<FrameWindow*>(s_->find(frame)))
        f->set_toolbars(large, small, show_large, visible);
}

void QtBackend::set_button_state(WindowId frame, int id, bool visible, bool enabled) {
    if (FrameWindow* f = dynamic_cast<FrameWindow*>(s_->find(frame))) f->set_button_state(id, visible, enabled);
}

std::optional<Point> QtBackend::button_center(WindowId frame, int id) const {
    FrameWindow* f = dynamic_cast<FrameWindow*>(s_->find(frame));
    if (!f) return std::nullopt;
    std::optional<QPoint> p = f->button_center(id);
    if (!p) return std::nullopt;
    return Point{p->x(), p->y()};
}

void QtBackend::show_window(WindowId w, int show_cmd) {
    QWidget* widget = s_->find(w);
    if (!widget) return;
    switch (show_cmd) {
    case WindowPlacement::SHOW_HIDE: widget->hide(); break;
    case WindowPlacement::SHOW_NORMAL:
    case 9:   // restore
        if (widget->isWindow()) widget->showNormal(); else widget->show();
        break;
    case WindowPlacement::SHOW_NO_ACTIVATE: {
        const bool was = widget->testAttribute(Qt::WA_ShowWithoutActivating);
        widget->setAttribute(Qt::WA_ShowWithoutActivating, true);
        if (widget->isWindow()) widget->showNormal(); else widget->show();
        widget->setAttribute(Qt::WA_ShowWithoutActivating, was);
        break;
    }
    case WindowPlacement::SHOW_MINIMIZED:
    case 6:   // minimise
    case 7:   // minimised without activation
        if (widget->isWindow()) widget->showMinimized(); else widget->hide();
        break;
    case WindowPlacement::SHOW_MAXIMIZED:
        if (widget->isWindow()) widget->showMaximized(); else widget->show();
        break;
    default: widget->show(); break;   // show in the current state
    }
}

bool QtBackend::is_visible(WindowId w) const {
    QWidget* widget = s_->find(w);
    return widget && widget->isVisible();
}

bool QtBackend::is_maximized(WindowId w) const {
    QWidget* widget = s_->find(w);
    return widget && widget->window()->isMaximized();
}

kvqt::ActivationKeeper::ActivationKeeper(const QtBackend::State& state, QWidget* parent)
    : window_(QApplication::activeWindow()), focus_(QApplication::focusWidget()),
      parent_(parent ? parent->window() : nullptr), state_(state), activations_(state.activations) {}

kvqt::ActivationKeeper::~ActivationKeeper() {
    if (state_.activations != activations_) return;
    QWidget* to = window_ && window_->isVisible() ? window_.data() : nullptr;
    if (!to && parent_ && parent_->isVisible()) to = parent_;
    if (!to) return;
    if (focus_ && focus_->window() == to && focus_->isVisible()) focus_->setFocus(Qt::ActiveWindowFocusReason);
    to->activateWindow();
}

void QtBackend::raise_and_activate(WindowId w) {
    QWidget* widget = s_->find(w);
    if (!widget) return;
    ++s_->activations;
    QWidget* top = widget->window();
    if (top->isMinimized()) {
        top->showNormal();
    } else if (!top->isVisible()) {
        if (top->windowState() & Qt::WindowMaximized) top->showMaximized(); else top->show();
    }
    top->raise();
    top->activateWindow();
}

WindowId QtBackend::active_window() const { return window_id(QApplication::activeWindow()); }

WindowPlacement QtBackend::placement(WindowId w) const {
    WindowPlacement p;
    QWidget* widget = s_->find(w);
    if (!widget) return p;
    QRect normal = widget->geometry();
    if (FrameWindow* f = dynamic_cast<FrameWindow*>(widget)) normal = f->normal_rect();
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    Qt::WindowStates state = widget->windowState();
    if (state & Qt::WindowMinimized) p.show_cmd = WindowPlacement::SHOW_MINIMIZED;
    else if (state & Qt::WindowMaximized) p.show_cmd = WindowPlacement::SHOW_MAXIMIZED;
    else p.show_cmd = WindowPlacement::SHOW_NORMAL;
    return p;
}

void QtBackend::set_placement(WindowId w, const WindowPlacement& p) {
    QWidget* widget = s_->find(w);
    if (!widget) return;
    QRect normal(p.left, p.top, p.right - p.left, p.bottom - p.top);
    bool has_rect = normal.width() > 0 && normal.height() > 0;
    FrameWindow* f = dynamic_cast<FrameWindow*>(widget);
    if (has_rect && f) f->set_normal_rect(normal);
    bool maximized = widget->windowState() & Qt::WindowMaximized;
    switch (p.show_cmd) {
    case WindowPlacement::SHOW_HIDE:
        if (has_rect && !maximized) widget->setGeometry(normal);
        widget->hide();
        break;
    case WindowPlacement::SHOW_MAXIMIZED:
        if (has_rect && !maximized) widget->setGeometry(normal);
        widget->showMaximized();
        break;
    case WindowPlacement::SHOW_MINIMIZED:
        if (has_rect && !maximized) widget->setGeometry(normal);
        widget->showMinimized();
        break;
    default:
        if (maximized) widget->showNormal();
        if (has_rect) widget->setGeometry(normal);
        widget->showNormal();
        break;
    }
    if (has_rect && f) f->set_normal_rect(normal);
}

Rect QtBackend::work_area() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qrect_to_rect(screen->availableGeometry()) : Rect{0, 0, 1024, 768};
}

double QtBackend::device_pixel_ratio(WindowId w) const {
    QWidget* widget = s_->find(w);
    return widget ? widget->devicePixelRatioF() : (qApp ? qApp->devicePixelRatio() : 1.0);
}

Rect QtBackend::client_rect(WindowId w) const {
    QWidget* widget = s_->find(w);
    if (!widget) return Rect{};
    QSize size = widget->size();
    if (FrameWindow* f = dynamic_cast<FrameWindow*>(widget)) size = f->client_size();
    return Rect{0, 0, size.width(), size.height()};
}

void QtBackend::close_popups(WindowId frame) {
    QWidget* owner = s_->find(frame);
    if (!owner) return;
    owner = owner->window();
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    // Top-most first, so that every nested modal loop unwinds in order.
    for (;;) {
        QDialog* open = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(top);
            if (!dialog || !dialog->isVisible()) continue;
            for (QWidget* p = dialog->parentWidget(); p; p = p->parentWidget()) {
                if (p->window() == owner) {
                    open = dialog;
                    break;
                }
            }
            if (open) break;
        }
        if (!open) return;
        // A message box answers as if Escape was pressed, a template dialog as if cancelled.
        int code = static_cast<int>(QDialog::Rejected);
        if (qobject_cast<QMessageBox*>(open)) code = -1;
        else if (dynamic_cast<HostDialog*>(open)) code = IDCANCEL;
        open->done(code);
        open->hide();
    }
}

// ---------------------------------------------------------------------------
// Input, focus, timers

void QtBackend::set_focus(WindowId w) {
    QWidget* widget = s_->find(w);
    if (!widget) return;
    if (FrameWindow* f = dynamic_cast<FrameWindow*>(widget)) {
        f->activateWindow();
        widget = f->centralWidget() ? f->centralWidget() : f;
    }
    widget->setFocus(Qt::OtherFocusReason);
}

void QtBackend::set_mouse_capture(WindowId client, bool capture) {
    QWidget* widget = s_->find(client);
    if (!widget || !widget->isVisible()) return;
    if (capture) widget->grabMouse(); else widget->releaseMouse();
}

void QtBackend::set_cursor_pos(Point screen) { QCursor::setPos(screen.x, screen.y); }

void QtBackend::invalidate_scene(WindowId gl_client) {
    if (auto* g = dynamic_cast<GLClientWidget*>(s_->find(gl_client))) g->invalidate_scene();
}

namespace {
ClientHost* host_of(QWidget* client) {
    return client ? dynamic_cast<ClientHost*>(client->parentWidget()) : nullptr;
}
}  // namespace

void QtBackend::set_scroll_bar(WindowId client, ScrollBarKind bar, const ScrollBarState& state) {
    if (ClientHost* host = host_of(s_->find(client))) host->set_bar(bar, state);
}

ScrollBarState QtBackend::scroll_bar(WindowId client, ScrollBarKind bar) const {
    ClientHost* host = host_of(s_->find(client));
    return host ? host->bar(bar) : ScrollBarState{};
}

void QtBackend::set_cursor_shape(WindowId client, CursorShape shape) {
    QWidget* widget = s_->find(client);
    if (!widget) return;
    switch (shape) {
    case CursorShape::Hand: widget->setCursor(Qt::PointingHandCursor); break;
    case CursorShape::Cross: widget->setCursor(Qt::CrossCursor); break;
    case CursorShape::Arrow: widget->unsetCursor(); break;
    }
}

std::optional<Image> QtBackend::grab_window(WindowId w) {
    QWidget* widget = s_->find(w);
    if (!widget) return std::nullopt;
    QImage picture = widget->grab().toImage();
    if (picture.isNull()) return std::nullopt;
    return image_of(picture);
}

Point QtBackend::client_to_screen(WindowId w, Point p) const {
    QWidget* widget = s_->find(w);
    if (!widget) return p;
    if (FrameWindow* f = dynamic_cast<FrameWindow*>(widget); f && f->centralWidget()) widget = f->centralWidget();
    QPoint g = widget->mapToGlobal(QPoint(p.x, p.y));
    return Point{g.x(), g.y()};
}

void QtBackend::set_active_accelerators(WindowId w, const AcceleratorTable* table) {
    s_->accel_window = w;
    s_->accel = table;
}

void QtBackend::set_timer(WindowId w, int timer_id, int milliseconds) {
    QWidget* widget = s_->find(w);
    if (!widget) return;
    QPointer<QTimer>& timer = s_->timers[{w, timer_id}];
    if (!timer) {
        timer = new QTimer(widget);   // owned by the window
        State* s = s_.get();
        QObject::connect(timer.data(), &QTimer::timeout, widget, [s, w, timer_id] {
            if (s->window_holds > 0) {
                s->timers_missed.insert({w, timer_id});
                return;
            }
            FrameWindow* f = s->frame(w);
            if (f && f->events) guarded("timer", [&] { f->events->on_timer(timer_id); });
        });
    }
    timer->start(milliseconds < 0 ? 0 : milliseconds);
}

void QtBackend::kill_timer(WindowId w, int timer_id) {
    auto it = s_->timers.find({w, timer_id});
    if (it == s_->timers.end()) return;
    if (it->second) {
        it->second->stop();
        it->second->deleteLater();
    }
    s_->timers.erase(it);
}

// ---------------------------------------------------------------------------
// Settings, clipboard, sound, cursor, documents

SettingsStore& QtBackend::settings() { return s_->settings; }

void QtBackend::set_clipboard_text(const std::string& text) {
    if (QClipboard* c = QGuiApplication::clipboard()) c->setText(qs(text));
}

std::string QtBackend::clipboard_text() {
    QClipboard* c = QGuiApplication::clipboard();
    return c ? ss(c->text()) : std::string();
}

bool QtBackend::set_clipboard_image(const Image& image) {
    QClipboard* c = QGuiApplication::clipboard();
    QImage view = qimage_view(image);
    if (!c || view.isNull()) return false;
    c->setImage(view.copy());
    return true;
}

void QtBackend::beep() { QApplication::beep(); }

int QtBackend::cursor_flash_time() const { return QGuiApplication::styleHints()->cursorFlashTime(); }

void QtBackend::set_wait_cursor(bool wait) {
    if (wait == s_->wait_cursor) return;
    s_->wait_cursor = wait;
    if (wait) QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else QApplication::restoreOverrideCursor();
}

namespace {

// The help window: Escape, which the guide's text does not take, closes it
// as it closes a dialog.
class HelpWindow : public QWidget {
public:
    HelpWindow() : QWidget(nullptr, Qt::Window) {}

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QWidget::keyPressEvent(e);
    }
};

}  // namespace

bool QtBackend::show_help(const std::string& html_file, const std::string& anchor) {
    const QFileInfo file(qs(html_file));
    if (!file.isFile() || !file.isReadable()) return false;
    if (!s_->help) {
        // A window of its own, beside the program's frames: the guide stays
        // open while the user goes on working.
        auto window = std::make_unique<HelpWindow>();
        window->setWindowTitle("Korvane Help");
        window->setObjectName("KorvaneHelp");
        auto* layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        auto* browser = new QTextBrowser(window.get());
        browser->setObjectName("KorvaneHelpBrowser");
        browser->setOpenExternalLinks(true);
        layout->addWidget(browser);
        // Opened the first time whole on the screen of the window in use,
        // in its middle.
        const QWidget* active = QApplication::activeWindow();
        QScreen* screen = active && active->screen() ? active->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect room = screen->availableGeometry();
            const QSize size = QSize(760, 640).boundedTo(room.size() * 9 / 10);
            window->resize(size);
            window->move(room.center() - QPoint(size.width() / 2, size.height() / 2));
        } else {
            window->resize(760, 640);
        }
        s_->help = std::move(window);
    }
    // Asked for from a modal dialog, the guide is a (modeless) dialog of
    // that dialog's: the dialog does not block it, and the window manager
    // keeps it in front of the dialog. Asked for from elsewhere it is a
    // window of its own again. The window system learns the kind and the
    // owner when the window is shown, so a window shown for another owner
    // is shown anew.
    QWidget* modal = QApplication::activeModalWidget();
    QWindow* owner = modal && modal != s_->help.get() ? modal->windowHandle() : nullptr;
    const Qt::WindowType kind = owner ? Qt::Dialog : Qt::Window;
    if (s_->help->windowType() != kind) s_->help->setWindowFlags(kind);   // hides it
    s_->help->winId();   // the native window, whose owner is set
    if (QWindow* handle = s_->help->windowHandle(); handle && handle->transientParent() != owner) {
        if (s_->help->isVisible()) s_->help->hide();
        handle->setTransientParent(owner);
    }
    auto* browser = s_->help->findChild<QTextBrowser*>("KorvaneHelpBrowser");
    QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    if (!anchor.empty()) url.setFragment(qs(anchor));
    browser->setSource(url);
    if (!anchor.empty()) browser->scrollToAnchor(qs(anchor));
    s_->help->show();
    // Its frame too stays on the screen (a title bar below the screen's
    // edge cannot be taken to move it back).
    if (QScreen* screen = s_->help->screen()) {
        const QRect room = screen->availableGeometry();
        const QRect frame = s_->help->frameGeometry();
        const int x = std::clamp(frame.x(), room.left(), std::max(room.left(), room.right() + 1 - frame.width()));
        const int y = std::clamp(frame.y(), room.top(), std::max(room.top(), room.bottom() + 1 - frame.height()));
        if (x != frame.x() || y != frame.y()) s_->help->move(s_->help->pos() + QPoint(x - frame.x(), y - frame.y()));
    }
    s_->help->raise();
    s_->help->activateWindow();
    ++s_->activations;   // a modal window that closes leaves the guide in front
    return true;
}

QWidget* QtBackend::help_window() const { return s_->help.get(); }

bool QtBackend::open_document(const std::string& path_or_url) {
    if (path_or_url.empty()) return false;
    QString text = qs(path_or_url);
    QUrl url;
    if (text.contains("://") || text.startsWith("mailto:", Qt::CaseInsensitive))
        url = QUrl(text);
    else
        url = QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    return url.isValid() && QDesktopServices::openUrl(url);
}
