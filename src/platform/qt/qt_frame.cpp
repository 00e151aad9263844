// Frames and their clients: the menu bar made from a Menu tree, the two
// tool-bar variants, the frame events, and the client widgets that hand their
// paints, mouse, keys and focus to the program.
#include "platform/qt/qt_dialog.h"
#include "platform/qt/qt_internal.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPixmap>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>

using namespace kvqt;

namespace {

const char* CHECKED_PROPERTY = "korvaneChecked";

bool same_shape(const QList<QAction*>& actions, const std::vector<MenuItem>& items) {
    if (static_cast<size_t>(actions.size()) != items.size()) return false;
    for (size_t i = 0; i < items.size(); ++i) {
        const QAction* a = actions[static_cast<qsizetype>(i)];
        const MenuItem& item = items[i];
        if (item.is_separator()) {
            if (!a->isSeparator()) return false;
        } else if (item.is_popup()) {
            if (!a->menu()) return false;
        } else if (a->isSeparator() || a->menu()) {
            return false;
        }
    }
    return true;
}

void update_action(QAction* a, const MenuItem& item) {
    if (item.is_separator()) return;
    a->setText(qs(item.text));
    a->setEnabled(!item.disabled);
    if (item.is_popup()) return;
    a->setData(item.id);
    a->setCheckable(item.checked);
    a->setChecked(item.checked);
    a->setProperty(CHECKED_PROPERTY, item.checked);
}

QStyle::StandardPixmap style_pixmap(StandardIcon icon) {
    switch (icon) {
    case StandardIcon::NewFile: return QStyle::SP_FileIcon;
    case StandardIcon::Open: return QStyle::SP_DialogOpenButton;
    case StandardIcon::Save: return QStyle::SP_DialogSaveButton;
    case StandardIcon::Help: return QStyle::SP_DialogHelpButton;
    case StandardIcon::ListView: return QStyle::SP_FileDialogListView;
    case StandardIcon::DetailView: return QStyle::SP_FileDialogDetailedView;
    case StandardIcon::Back: return QStyle::SP_ArrowBack;
    case StandardIcon::Forward: return QStyle::SP_ArrowForward;
    case StandardIcon::Up: return QStyle::SP_ArrowUp;
    case StandardIcon::Down: return QStyle::SP_ArrowDown;
    case StandardIcon::SeekBackward: return QStyle::SP_MediaSeekBackward;
    case StandardIcon::SeekForward: return QStyle::SP_MediaSeekForward;
    case StandardIcon::Play: return QStyle::SP_MediaPlay;
    case StandardIcon::Reload: return QStyle::SP_BrowserReload;
    case StandardIcon::None: break;
    }
    return QStyle::SP_CustomBase;
}

// The picture of a button in a square of `size` pixels; null when it has none.
QPixmap button_pixmap(const ToolButton& b, int size) {
    if (b.standard != StandardIcon::None) {
        QPixmap pm = QApplication::style()->standardIcon(style_pixmap(b.standard)).pixmap(QSize(size, size));
        // A style that has the icon only in other sizes: scaled to the square.
        if (!pm.isNull() && pm.size() != QSize(size, size))
            pm = pm.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!pm.isNull()) return pm;
    }
    if (!b.paint) return QPixmap();
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QtSurface surface(painter, size, size, 96, 96);
    painter.setRenderHint(QPainter::Antialiasing, true);
    b.paint(surface, size);
    painter.end();
    return QPixmap::fromImage(image);
}

// The button's picture in the sizes of both tool bars (and twice those for
// screens that scale); null when it has none.
QIcon button_icon(const ToolButton& b) {
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pm = button_pixmap(b, size);
        if (pm.isNull()) return QIcon();
        icon.addPixmap(pm);
    }
    return icon;
}

// A short stand-in for a missing icon: a short tip whole, else its first word.
QString abbreviation(const ToolButton& b) {
    QString tip = qs(b.tip).trimmed();
    if (tip.isEmpty()) return QString::number(b.id);
    if (tip.size() <= 14) return tip;
    return tip.section(' ', 0, 0).left(10);
}

bool same_buttons(const std::vector<ToolButton>& a, const std::vector<ToolButton>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].id != b[i].id || a[i].icon != b[i].icon || a[i].tip != b[i].tip ||
            a[i].standard != b[i].standard || a[i].paint != b[i].paint || a[i].checked != b[i].checked)
            return false;
    return true;
}

MouseButton button_of(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return MouseButton::None;
    }
}

}  // namespace

// ---------------------------------------------------------------------------

FrameWindow::FrameWindow(FrameEvents* e) : QMainWindow(nullptr), events(e) {
    setCentralWidget(new QWidget(this));   // stands in until the program makes a client
    menuBar()->setNativeMenuBar(false);
    menuBar()->hide();
}

QSize FrameWindow::client_size() const {
    if (!isVisible() && layout()) layout()->activate();
    return centralWidget() ? centralWidget()->size() : size();
}

void FrameWindow::set_status_text(const QString& text) {
    if (!status_) {
        status_ = new QLabel(this);
        status_->setObjectName(QStringLiteral("status_text"));
        statusBar()->addWidget(status_, 1);
        statusBar()->setSizeGripEnabled(false);
    }
    status_->setText(text);
}

QString FrameWindow::status_text() const { return status_ ? status_->text() : QString(); }

void FrameWindow::queue_command(int id) {
    QPointer<FrameWindow> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, id] {
            if (self && self->events) guarded("command", [&] { self->events->on_command(id); });
        },
        Qt::QueuedConnection);
}

void FrameWindow::closeEvent(QCloseEvent* e) {
    bool allow = true;
    if (events) {
        allow = false;
        guarded("close", [&] { allow = events->on_close(); });
    }
    if (allow) e->accept(); else e->ignore();
}

void FrameWindow::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && events) {
        bool active = isActiveWindow();
        guarded("activate", [&] { events->on_activate(active); });
    } else if (e->type() == QEvent::WindowStateChange) {
        auto* se = static_cast<QWindowStateChangeEvent*>(e);
        bool was_normal = !(se->oldState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
        if (was_normal && (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
            QRect r = normalGeometry();
            if (r.isValid() && !r.isEmpty()) normal_ = r;
        }
    }
    QMainWindow::changeEvent(e);
}

void FrameWindow::remember_normal() {
    if (isVisible() && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        normal_ = geometry();
}

void FrameWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    remember_normal();
    if (events) {
        QSize size = client_size();
        guarded("size", [&] { events->on_size(size.width(), size.height()); });
    }
}

void FrameWindow::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    remember_normal();
}

// Menus ---------------------------------------------------------------------

void FrameWindow::set_menu(const Menu& menu) {
    QMenuBar* bar = menuBar();
    sync_items(bar, menu.items());
    bar->setVisible(!menu.empty());
}

// Updates the actions in place when the tree has kept its shape, so that a
// menu may be changed while it is about to drop down; rebuilds a level otherwise.
void FrameWindow::sync_items(QWidget* container, const std::vector<MenuItem>& items) {
    QList<QAction*> actions = container->actions();
    if (same_shape(actions, items)) {
        for (size_t i = 0; i < items.size(); ++i) {
            QAction* a = actions[static_cast<qsizetype>(i)];
            update_action(a, items[i]);
            if (items[i].is_popup()) sync_items(a->menu(), items[i].items);
        }
        return;
    }
    for (QAction* a : actions) {
        container->removeAction(a);
        if (QMenu* sub = a->menu()) sub->deleteLater();
        else if (a->parent() == container) a->deleteLater();
    }
    for (const MenuItem& item : items) add_item(container, item);
}

void FrameWindow::add_item(QWidget* container, const MenuItem& item) {
    if (item.is_separator()) {
        auto* a = new QAction(container);
        a->setSeparator(true);
        container->addAction(a);
        return;
    }
    if (item.is_popup()) {
        auto* sub = new QMenu(container);
        QObject::connect(sub, &QMenu::aboutToShow, this, [this] {
            if (events) guarded("menu opening", [&] { events->on_menu_opening(); });
        });
        update_action(sub->menuAction(), item);
        for (const MenuItem& child : item.items) add_item(sub, child);
        container->addAction(sub->menuAction());
        return;
    }
    auto* a = new QAction(container);
    update_action(a, item);
    QObject::connect(a, &QAction::triggered, this, [this, a] {
        // Qt flips a checkable item itself; the program decides its state.
        a->setChecked(a->property(CHECKED_PROPERTY).toBool());
        queue_command(a->data().toInt());
    });
    container->addAction(a);
}

// Tool bars -----------------------------------------------------------------

void FrameWindow::set_toolbars(const ToolBar& large, const ToolBar& small, bool show_large, bool visible) {
    fill_bar(0, large);
    fill_bar(1, small);
    bars_[0]->setVisible(visible && show_large);
    bars_[1]->setVisible(visible && !show_large);
}

void FrameWindow::fill_bar(int which, const ToolBar& bar) {
    QToolBar*& tb = bars_[which];
    // The program's windows stand side by side: a tool button shows its tip
    // under the mouse whether or not its window is the active one.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    if (!tb) {
        tb = new QToolBar(this);
        tb->setMovable(false);
        tb->setFloatable(false);
        addToolBar(Qt::TopToolBarArea, tb);
    }
    tb->setObjectName(qs(bar.name));
    int size = bar.large ? 32 : 16;
    tb->setIconSize(QSize(size, size));
    tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (same_buttons(bar_data_[which], bar.buttons) && !tb->actions().isEmpty()) return;
    bar_data_[which] = bar.buttons;
    tb->clear();
    for (const ToolButton& b : bar.buttons) {
        if (b.id == 0) {
            tb->addSeparator();
            continue;
        }
        auto* a = new QAction(tb);
        QIcon icon = button_icon(b);
        if (icon.isNull()) {
            a->setText(abbreviation(b));
        } else {
            a->setIcon(icon);
            a->setText(qs(b.tip));   // read by screen readers; the bar shows the picture only
        }
        a->setToolTip(qs(b.tip));
        a->setData(b.id);
        a->setCheckable(b.checked);
        a->setChecked(b.checked);
        int id = b.id;
        const bool checked = b.checked;
        QObject::connect(a, &QAction::triggered, this, [this, a, id, checked] {
            a->setChecked(checked);   // the program decides the state
            queue_command(id);
        });
        if (auto it = button_states_.find(id); it != button_states_.end()) {
            a->setVisible(it->second.first);
            a->setEnabled(it->second.second);
        }
        tb->addAction(a);
        // Held down and let go (or dragged off and back on) under the mouse.
        if (auto* button = qobject_cast<QAbstractButton*>(tb->widgetForAction(a))) {
            QObject::connect(button, &QAbstractButton::pressed, this, [this, id] {
                if (events) guarded("button", [&] { events->on_button_press(id, true); });
            });
            QObject::connect(button, &QAbstractButton::released, this, [this, id] {
                if (events) guarded("button", [&] { events->on_button_press(id, false); });
            });
        }
    }
}

void FrameWindow::set_button_state(int id, bool visible, bool enabled) {
    button_states_[id] = {visible, enabled};
    for (QToolBar* tb : bars_) {
        if (!tb) continue;
        for (QAction* a : tb->actions()) {
            if (!a->isSeparator() && a->data().toInt() == id) {
                a->setVisible(visible);
                a->setEnabled(enabled);
            }
        }
    }
}

std::optional<QPoint> FrameWindow::button_center(int id) const {
    for (QToolBar* tb : bars_) {
        if (!tb || tb->isHidden()) continue;
        for (QAction* a : tb->actions()) {
            if (a->isSeparator() || a->data().toInt() != id || !a->isVisible()) continue;
            if (QWidget* w = tb->widgetForAction(a)) return w->mapToGlobal(w->rect().center());
        }
    }
    return std::nullopt;
}

// Clients -------------------------------------------------------------------

bool kvqt::forward_input(ClientEvents* ev, QWidget* w, QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(e);
        MouseButton b = button_of(me->button());
        QPoint p = me->position().toPoint();
        unsigned mods = mods_of(me->modifiers());
        guarded("mouse", [&] {
            if (e->type() == QEvent::MouseButtonPress) ev->on_mouse_down(b, p.x(), p.y(), mods);
            else if (e->type() == QEvent::MouseButtonRelease) ev->on_mouse_up(b, p.x(), p.y(), mods);
            else ev->on_double_click(b, p.x(), p.y(), mods);
        });
        return true;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        QPoint p = me->position().toPoint();
        unsigned mods = mods_of(me->modifiers());
        guarded("mouse move", [&] { ev->on_mouse_move(p.x(), p.y(), mods); });
        return true;
    }
    case QEvent::Wheel: {
        auto* we = static_cast<QWheelEvent*>(e);
        QPoint p = we->position().toPoint();
        // A sideways wheel, and a wheel turned with Shift on some systems, turn the x axis.
        int delta = we->angleDelta().y() != 0 ? we->angleDelta().y() : we->angleDelta().x();
        unsigned mods = mods_of(we->modifiers());
        if (delta != 0) guarded("wheel", [&] { ev->on_wheel(delta, p.x(), p.y(), mods); });
        return true;
    }
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(e);
        int key = key_code(ke->key(), ke->modifiers());
        unsigned mods = mods_of(ke->modifiers());
        bool handled = false;
        if (key != 0) guarded("key", [&] { handled = ev->on_key(key, mods); });
        QString text = ke->text();
        if (!command_key(ke->modifiers()) && !text.isEmpty() && text.at(0).isPrint()) {
            std::string utf8 = ss(text);
            guarded("char", [&] { ev->on_char(utf8); });
            handled = true;
        }
        return handled;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        bool gained = e->type() == QEvent::FocusIn;
        guarded("focus", [&] { ev->on_focus(gained); });
        return false;   // the widget still updates its own focus state
    }
    default:
        (void)w;
        return false;
    }
}

ClientWidget::ClientWidget(ClientEvents* e, QWidget* parent) : QWidget(parent), events(e) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

bool ClientWidget::event(QEvent* e) {
    if (events && forward_input(events, this, e)) return true;
    return QWidget::event(e);
}

void HeldPicture::hold(QWidget& w) {
    picture = w.isVisible() ? w.grab() : QPixmap();
    held = true;
}

void HeldPicture::release(QWidget& w) {
    if (!held) return;
    held = false;
    picture = QPixmap();
    w.update();
}

bool HeldPicture::paint(QWidget& w) const {
    if (!held) return false;
    QPainter painter(&w);
    painter.fillRect(w.rect(), w.palette().color(QPalette::Window));
    if (!picture.isNull()) painter.drawPixmap(0, 0, picture);
    return true;
}

void ClientWidget::paintEvent(QPaintEvent* e) {
    if (held.paint(*this)) return;
    if (!events) return;
    QPainter painter(this);
    QtSurface surface(painter, width(), height(), logicalDpiX(), logicalDpiY());
    Rect dirty = rect_of(e->rect());
    guarded("paint", [&] { events->on_paint(surface, dirty); });
}

void ClientWidget::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (events) guarded("size", [&] { events->on_size(width(), height()); });
}

// ---------------------------------------------------------------------------

namespace {

void silence(QWidget* w) {
    if (auto* c = dynamic_cast<ClientWidget*>(w)) c->events = nullptr;
    if (auto* g = dynamic_cast<GLClientWidget*>(w)) {
        g->events = nullptr;
        g->input = nullptr;
    }
    if (auto* h = dynamic_cast<ClientHost*>(w)) {
        h->events = nullptr;
        for (QWidget* child : h->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) silence(child);
    }
}

// Puts a new client into its parent: the central widget of a frame, the table
// place of a dialog, or a child filling any other window.
void place_client(QtBackend::State& s, WindowId parent_id, QWidget* parent, QWidget* client) {
    if (auto* f = dynamic_cast<FrameWindow*>(parent)) {
        if (QWidget* old = f->centralWidget()) silence(old);
        f->setCentralWidget(client);   // the old one is deleted later by Qt
        return;
    }
    if (auto it = s.dialogs.find(parent_id); it != s.dialogs.end() && it->second->embed_client(client)) return;
    client->setParent(parent);
    if (!parent->layout()) {
        auto* box = new QVBoxLayout(parent);
        box->setContentsMargins(0, 0, 0, 0);
    }
    parent->layout()->addWidget(client);
    if (parent->isVisible()) client->show();
}

}  // namespace

WindowId QtBackend::create_client(WindowId frame, ClientEvents* events) {
    QWidget* parent = s_->find(frame);
    if (!parent) return 0;
    auto* client = new ClientWidget(events, parent);   // owned by its parent window
    place_client(*s_, frame, parent, client);
    return s_->add_window(client, WindowKind::Client);
}

// The client sits in a host that gives it scroll bars; without OpenGL it
// still takes the mouse and keys and shows what its owner paints.
WindowId QtBackend::create_gl_client(WindowId frame, GLEvents* events) {
    QWidget* parent = s_->find(frame);
    if (!parent) return 0;
    if (!gl_available()) std::fputs("Korvane: OpenGL is not available; the view shows no rendered scene\n", stderr);
    auto* host = new ClientHost(parent);   // owned by its parent window
    auto* client = new GLClientWidget(events, host);
    host->set_client(client, client->input);
    place_client(*s_, frame, parent, host);
    return s_->add_window(client, WindowKind::GLClient);
}

void QtBackend::invalidate(WindowId client, const Rect* area) {
    QWidget* w = s_->find(client);
    if (!w) return;
    if (auto* f = dynamic_cast<FrameWindow*>(w); f && f->centralWidget()) w = f->centralWidget();
    if (area) w->update(QRect(area->left, area->top, area->width(), area->height()));
    else w->update();
}
