// The Qt backend driven through real widgets: dialogs from templates, frames
// with menus, accelerators and tool bars, placement, clients, surfaces,
// offscreen OpenGL and message boxes.
#include "framework/ui/messages.h"
#include "gui/gui_dialogs.h"

#include <GL/gl.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace {

void key(QWidget* w, int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, qt_key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, mods, text);
    QCoreApplication::sendEvent(w, &release);
}

void type_text(QWidget* w, const QString& text) {
    for (QChar c : text) key(w, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

struct RecordingProc : DialogProc {
    std::vector<std::pair<int, int>> commands;
    std::function<void(Dialog&)> on_init, on_shown, on_timer;
    std::function<void(Dialog&, int)> on_command;
    std::function<bool(Dialog&)> on_ok;
    int inits = 0, oks = 0, cancels = 0, shows = 0;

    void init(Dialog& d) override {
        ++inits;
        if (on_init) on_init(d);
    }
    void shown(Dialog& d) override {
        ++shows;
        if (on_shown) on_shown(d);
    }
    void command(Dialog& d, int id, int code) override {
        commands.emplace_back(id, code);
        if (on_command) on_command(d, id);
    }
    bool ok(Dialog& d) override {
        ++oks;
        return on_ok ? on_ok(d) : true;
    }
    bool cancel(Dialog&) override {
        ++cancels;
        return true;
    }
    void timer(Dialog& d, int) override {
        if (on_timer) on_timer(d);
    }
    long count(int id, int code) const {
        return std::count(commands.begin(), commands.end(), std::make_pair(id, code));
    }
};

// id, kind, text, row, col, span, limit, quantity, flags, rows
const DialogTemplate SAMPLE_DIALOG = {"SAMPLE_DIALOG", "Sample %d", {
    {101, ControlKind::Edit, "&Name", 0, 0, 1, 5},
    {103, ControlKind::Unit, "", 0, 1},
    {102, ControlKind::Combo, "Type", 1, 0},
    {104, ControlKind::Check, "&Rigid", 2, 0},
    {200, ControlKind::Group, "Direction", 3, 0, 1, 0, 0, CF_NONE, 3},
    {105, ControlKind::Radio, "&First", 4, 0},
    {106, ControlKind::Radio, "&Second", 5, 0},
    {107, ControlKind::List, "Items", 6, 0, 1, 0, 0, CF_NONE, 3},
    {108, ControlKind::Edit, "Hidden", 9, 0, 1, 0, 0, CF_HIDDEN},
    {109, ControlKind::Combo, "Editable", 10, 0, 1, 0, 0, CF_EDITABLE},
    {110, ControlKind::Button, "&Apply", 11, 0},
    {IDOK, ControlKind::Button, "OK", 100, 0},
    {IDCANCEL, ControlKind::Button, "Cancel", 100, 1},
}};

// --- Dialogs ---------------------------------------------------------------

TEST(GuiDialog, TemplateBuildsWidgetsAndUserInputReachesTheProcedure) {
    QtBackend& b = gui_backend();
    RecordingProc proc;
    std::string typed, unit, caption;
    bool label_is_buddy = false, radios_exclusive = false, group_holds_radios = false, buttons_at_bottom = false;
    int focused = 0, combo_selection = 0;
    proc.on_init = [](Dialog& d) {
        d.set_caption("Sample 7");
        d.set_text(103, "(inch)");
        d.list_add(102, "Pipe");
        d.list_add(102, "Bend");
        d.list_add(107, "A");
        d.list_add(107, "B");
        d.check(105, true);
        d.focus(101, true);
    };
    proc.on_shown = [&](Dialog& d) {
        WindowId w = d.window();
        QWidget* top = b.widget(w);
        auto* edit = gui_find<QLineEdit>(w, "item_101");
        ASSERT_TRUE(top && edit);
        for (QLabel* l : top->findChildren<QLabel*>())
            if (l->text() == "&Name" && l->buddy() == edit) label_is_buddy = true;
        focused = d.focused();
        type_text(edit, "abcdefg");   // the limit of 5 cuts it
        typed = d.text(101);
        unit = d.text(103);
        caption = d.caption();

        auto* combo = gui_find<QComboBox>(w, "item_102");
        ASSERT_TRUE(combo);
        combo_selection = d.list_selection(102);   // adding does not select
        combo->setCurrentIndex(1);
        emit combo->activated(1);

        auto* first = gui_find<QRadioButton>(w, "item_105");
        auto* second = gui_find<QRadioButton>(w, "item_106");
        ASSERT_TRUE(first && second);
        second->click();
        radios_exclusive = d.is_checked(106) && !d.is_checked(105);
        auto* group = gui_find<QGroupBox>(w, "item_200");
        ASSERT_TRUE(group);
        group_holds_radios = rect_in(group, top).contains(rect_in(first, top)) &&
                             rect_in(group, top).contains(rect_in(second, top));

        gui_find<QCheckBox>(w, "item_104")->click();
        gui_find<QListWidget>(w, "item_107")->setCurrentRow(1);
        gui_find<QPushButton>(w, "item_110")->click();

        auto* ok = gui_find<QPushButton>(w, "item_1");
        auto* cancel = gui_find<QPushButton>(w, "item_2");
        ASSERT_TRUE(ok && cancel);
        QRect list = rect_in(gui_find<QListWidget>(w, "item_107"), top);
        buttons_at_bottom = rect_in(ok, top).top() > list.bottom() &&
                            rect_in(ok, top).top() == rect_in(cancel, top).top() && ok->isDefault();
        ok->click();
    };

    EXPECT_EQ(b.run_dialog(SAMPLE_DIALOG, proc, 0), IDOK);
    EXPECT_EQ(proc.inits, 1);
    EXPECT_EQ(proc.shows, 1);
    EXPECT_EQ(proc.oks, 1);
    EXPECT_TRUE(label_is_buddy);
    EXPECT_EQ(focused, 101);
    EXPECT_EQ(typed, "abcde");
    EXPECT_EQ(proc.count(101, NOTIFY_CHANGE), 5);
    EXPECT_EQ(unit, "(inch)");
    EXPECT_EQ(caption, "Sample 7");
    EXPECT_EQ(combo_selection, -1);
    EXPECT_EQ(proc.count(102, NOTIFY_SELCHANGE), 1);
    EXPECT_TRUE(radios_exclusive);
    EXPECT_EQ(proc.count(106, NOTIFY_CLICKED), 1);
    EXPECT_TRUE(group_holds_radios);
    EXPECT_EQ(proc.count(104, NOTIFY_CLICKED), 1);
    EXPECT_EQ(proc.count(107, NOTIFY_SELCHANGE), 1);
    EXPECT_EQ(proc.count(110, NOTIFY_CLICKED), 1);
    EXPECT_EQ(proc.count(IDOK, NOTIFY_CLICKED), 0);   // OK goes to ok(), not command()
    EXPECT_TRUE(buttons_at_bottom);
}

TEST(GuiDialog, ControlOperationsByIdFollowTheContract) {
    QtBackend& b = gui_backend();
    RecordingProc proc;
    proc.on_shown = [&](Dialog& d) {
        EXPECT_TRUE(d.visible());
        EXPECT_TRUE(d.has_item(101));
        EXPECT_FALSE(d.has_item(999));
        EXPECT_EQ(d.text(999), "");   // unknown ids are ignored
        d.set_text(999, "x");

        EXPECT_FALSE(d.is_shown(108));
        d.show(108, true);
        EXPECT_TRUE(d.is_shown(108));
        d.enable(101, false);
        EXPECT_FALSE(d.is_enabled(101));
        d.set_readonly(108, true);
        EXPECT_TRUE(d.is_readonly(108));

        d.set_text(101, "LONGER");
        d.set_limit(101, 3);
        EXPECT_EQ(d.text(101), "LON");

        d.list_add(102, "Pipe");
        d.list_add(102, "Bend");
        EXPECT_EQ(d.list_count(102), 2);
        EXPECT_EQ(d.list_selection(102), -1);
        d.set_text(102, "Bend");   // a drop-down list selects the matching entry
        EXPECT_EQ(d.list_selection(102), 1);
        d.list_select(102, 7);
        EXPECT_EQ(d.list_selection(102), -1);
        EXPECT_EQ(d.list_text(102, 0), "Pipe");
        EXPECT_EQ(d.list_text(102, 5), "");
        d.list_reset(102);
        EXPECT_EQ(d.list_count(102), 0);

        d.set_text(109, "typed");
        d.list_add(109, "first");   // adding keeps the edit text of an editable combo
        EXPECT_EQ(d.text(109), "typed");

        d.list_add(107, "A");
        d.list_add(107, "B");
        d.list_select(107, 1);
        EXPECT_EQ(d.list_selection(107), 1);
        EXPECT_EQ(d.text(107), "B");
        d.list_select(107, -1);
        EXPECT_EQ(d.list_selection(107), -1);

        d.check(105, true);
        d.check(106, true);   // programmatic checks do not clear the group
        EXPECT_TRUE(d.is_checked(105) && d.is_checked(106));
        EXPECT_FALSE(d.is_checked(101));
        d.end(33);
    };
    EXPECT_EQ(b.run_dialog(SAMPLE_DIALOG, proc, 0), 33);
    // Programmatic changes send no notifications.
    EXPECT_TRUE(proc.commands.empty() ||
                std::all_of(proc.commands.begin(), proc.commands.end(), [](const std::pair<int, int>& c) {
                    return c.second == NOTIFY_SETFOCUS || c.second == NOTIFY_KILLFOCUS;
                }));
}

// A field's limit counts characters, as the name checks do: letters outside
// the Basic Multilingual Plane, two UTF-16 units each, fill the field of 5
// five at a time, typed or set.
TEST(NameLimitsSaid, QtFieldsCountTheirLimitInCharacters) {
    RecordingProc proc;
    const QString letter = QString::fromUtf8("\xF0\x9D\x90\x80");   // U+1D400 (RFC 3629, RFC 2781)
    proc.on_shown = [&](Dialog& d) {
        auto* edit = gui_find<QLineEdit>(d.window(), "item_101");
        for (int i = 0; i < 6; ++i) key(edit, 0, Qt::NoModifier, letter);
        EXPECT_EQ(edit->text(), letter.repeated(5));
        d.set_text(101, letter.repeated(6).toStdString());
        EXPECT_EQ(edit->text(), letter.repeated(5));
        d.end(IDCANCEL);
    };
    gui_backend().run_dialog(SAMPLE_DIALOG, proc, 0);
}

TEST(GuiDialog, EnterEscapeEndAndTimersCloseAsTheProcedureSays) {
    QtBackend& b = gui_backend();
    {
        // Enter asks ok(), which refuses; Escape asks cancel().
        RecordingProc proc;
        bool open_after_refusal = false;
        proc.on_ok = [](Dialog&) { return false; };
        proc.on_shown = [&](Dialog& d) {
            QWidget* edit = gui_find<QLineEdit>(d.window(), "item_101");
            key(edit, Qt::Key_Return);
            open_after_refusal = d.visible() && !d.ended();
            key(edit, Qt::Key_Escape);
        };
        EXPECT_EQ(b.run_dialog(SAMPLE_DIALOG, proc, 0), IDCANCEL);
        EXPECT_EQ(proc.oks, 1);
        EXPECT_EQ(proc.cancels, 1);
        EXPECT_TRUE(open_after_refusal);
    }
    {
        // Ended during init: never shown.
        RecordingProc proc;
        proc.on_init = [](Dialog& d) { d.end(42); };
        EXPECT_EQ(b.run_dialog(SAMPLE_DIALOG, proc, 0), 42);
        EXPECT_EQ(proc.shows, 0);
    }
    {
        // Ended by a command; the dialog closes once the command has returned.
        RecordingProc proc;
        bool still_open_inside = false;
        proc.on_command = [&](Dialog& d, int id) {
            if (id != 110) return;
            d.end(7);
            still_open_inside = d.visible();
        };
        proc.on_shown = [](Dialog& d) { gui_find<QPushButton>(d.window(), "item_110")->click(); };
        EXPECT_EQ(b.run_dialog(SAMPLE_DIALOG, proc, 0), 7);
        EXPECT_TRUE(still_open_inside);
    }
    {
        // A dialog timer.
        RecordingProc proc;
        int ticks = 0;
        proc.on_shown = [](Dialog& d) { d.set_timer(5, 1); };
        proc.on_timer = [&](Dialog& d) {
            if (++ticks == 3) d.end(9);
        };
        EXPECT_EQ(b.run_dialog(SAMPLE_DIALOG, proc, 0), 9);
        EXPECT_EQ(ticks, 3);
    }
}

TEST(GuiDialog, MovedItemLeavesTheGridAndKeepsItsLabel) {
    QtBackend& b = gui_backend();
    RecordingProc proc;
    QPoint edit_at, label_shift, wanted;
    proc.on_init = [](Dialog& d) { d.move_item(101, 120, 40); };
    proc.on_shown = [&](Dialog& d) {
        QWidget* top = b.widget(d.window());
        auto* edit = gui_find<QLineEdit>(d.window(), "item_101");
        QFontMetrics fm(top->font());
        wanted = QPoint(120 * fm.averageCharWidth() / 4, 40 * fm.height() / 8);
        edit_at = edit->mapTo(top, QPoint(0, 0));
        for (QLabel* l : top->findChildren<QLabel*>())
            if (l->buddy() == edit) label_shift = edit_at - l->mapTo(top, QPoint(0, 0));
        d.end(IDOK);
    };
    b.run_dialog(SAMPLE_DIALOG, proc, 0);
    EXPECT_EQ(edit_at, wanted);
    EXPECT_GT(label_shift.x(), 0);   // the label stays at the left of its field
    EXPECT_EQ(label_shift.y(), 0);
}

TEST(GuiDialog, PropertySheetChecksEveryPageAndShowsTheOneThatRefuses) {
    QtBackend& b = gui_backend();
    const DialogTemplate page_one = {"PAGE_ONE", "One", {{301, ControlKind::Edit, "Value"}}};
    const DialogTemplate page_two = {"PAGE_TWO", "Two", {{401, ControlKind::Check, "Flag"}}};
    RecordingProc one, two;
    int refusals = 0, shown_tab = -1;
    auto accept = [&](Dialog& d) { static_cast<QDialog*>(b.widget(d.window())->window())->accept(); };
    one.on_shown = accept;
    two.on_ok = [&](Dialog&) { return ++refusals > 1; };
    two.on_shown = [&](Dialog& d) {
        shown_tab = b.widget(d.window())->window()->findChild<QTabWidget*>()->currentIndex();
        accept(d);
    };
    std::vector<PropertyPage> pages = {{&page_one, &one}, {&page_two, &two}};
    EXPECT_EQ(b.run_property_sheet("Sheet", pages, 0, 0), IDOK);
    EXPECT_EQ(one.inits, 1);
    EXPECT_EQ(two.inits, 1);
    EXPECT_EQ(one.oks, 2);
    EXPECT_EQ(two.oks, 2);
    EXPECT_EQ(shown_tab, 1);
}

// --- Frames ----------------------------------------------------------------

struct RecordingFrame : FrameEvents {
    std::vector<int> commands;
    std::function<void()> opening;
    bool allow_close = true;
    int closes = 0, timers = 0;
    void on_command(int id) override { commands.push_back(id); }
    bool on_close() override {
        ++closes;
        return allow_close;
    }
    void on_timer(int) override { ++timers; }
    void on_menu_opening() override {
        if (opening) opening();
    }
};

QAction* find_action(QWidget* container, const QString& prefix) {
    for (QAction* a : container->actions())
        if (a->text().startsWith(prefix)) return a;
    return nullptr;
}

TEST(GuiFrame, MenuItemsAcceleratorsAndButtonsSendTheirCommands) {
    QtBackend& b = gui_backend();
    RecordingFrame events;
    WindowId f = b.create_frame("KorvaneTestFrame", "Test", &events);
    auto* window = qobject_cast<QMainWindow*>(b.widget(f));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->objectName(), "KorvaneTestFrame");

    Menu menu(MenuTemplate{"TEST_MENU",
                           {{"&File", 0, {{"&Open...\tCtrl+O", 101}, {}, {"&Save", 102, {}, true}}},
                            {"&View", 0, {{"&Grid", 201, {}, false, true}}}}});
    b.set_menu(f, menu);
    b.show_window(f, WindowPlacement::SHOW_NORMAL);
    QMenu* file = find_action(window->menuBar(), "&File")->menu();
    ASSERT_TRUE(file);
    QAction* open = find_action(file, "&Open");
    QAction* save = find_action(file, "&Save");
    ASSERT_TRUE(open && save);
    EXPECT_TRUE(open->text().endsWith("\tCtrl+O"));   // shown, but not a Qt shortcut
    EXPECT_TRUE(open->shortcut().isEmpty());
    EXPECT_FALSE(save->isEnabled());
    QAction* grid = find_action(find_action(window->menuBar(), "&View")->menu(), "&Grid");
    EXPECT_TRUE(grid->isChecked());

    open->trigger();
    save->trigger();   // disabled: nothing
    grid->trigger();
    EXPECT_TRUE(grid->isChecked());   // the program, not Qt, decides the check mark
    b.process_events();
    EXPECT_EQ(events.commands, (std::vector<int>{101, 201}));

    // A menu changed while it drops down is updated in place.
    events.opening = [&] {
        menu.enable(102, true);
        b.set_menu(f, menu);
    };
    emit file->aboutToShow();
    EXPECT_EQ(find_action(window->menuBar(), "&File")->menu(), file);
    EXPECT_TRUE(save->isEnabled());
    menu.insert_before(102, MenuItem{"&Export", 103});
    b.set_menu(f, menu);
    EXPECT_NE(find_action(file, "&Export"), nullptr);

    // Accelerators: translated before the focused widget sees the key.
    AcceleratorTable accel{"TEST_ACCEL", {{'O', MOD_CONTROL, 101}, {KEY_F5, MOD_NONE, 105}, {KEY_DELETE, MOD_SHIFT, 106}}};
    b.set_active_accelerators(f, &accel);
    events.commands.clear();
    QWidget* client = window->centralWidget();
    key(client, Qt::Key_O, Qt::ControlModifier);
    key(client, Qt::Key_F5);
    key(client, Qt::Key_Delete, Qt::ShiftModifier);
    key(client, Qt::Key_X, Qt::NoModifier, "x");   // not in the table
    key(client, Qt::Key_O);                        // wrong modifiers
    EXPECT_EQ(events.commands, (std::vector<int>{101, 105, 106}));
    b.set_active_accelerators(0, nullptr);
    key(client, Qt::Key_F5);
    EXPECT_EQ(events.commands.size(), 3u);

    // Tool bars: two variants, one shown; a missing icon shows the tip's first word.
    ToolBar large{"TEST_LARGE", true, {{301, "no_such_icon", "Rotate view"}, {}, {302, "", "Zoom"}}};
    ToolBar small{"TEST_SMALL", false, large.buttons};
    b.set_toolbars(f, large, small, false, true);
    auto* small_bar = window->findChild<QToolBar*>("TEST_SMALL");
    auto* large_bar = window->findChild<QToolBar*>("TEST_LARGE");
    ASSERT_TRUE(small_bar && large_bar);
    EXPECT_TRUE(small_bar->isVisible());
    EXPECT_FALSE(large_bar->isVisible());
    QAction* rotate = find_action(small_bar, "Rotate");
    ASSERT_TRUE(rotate);
    EXPECT_EQ(rotate->toolTip(), "Rotate view");
    b.set_button_state(f, 302, false, false);
    EXPECT_FALSE(find_action(large_bar, "Zoom")->isVisible());
    EXPECT_FALSE(find_action(small_bar, "Zoom")->isEnabled());
    std::optional<Point> center = b.button_center(f, 301);
    ASSERT_TRUE(center.has_value());
    QWidget* button = small_bar->widgetForAction(rotate);
    EXPECT_TRUE(QRect(button->mapToGlobal(QPoint(0, 0)), button->size()).contains(QPoint(center->x, center->y)));
    EXPECT_FALSE(b.button_center(f, 302).has_value());
    events.commands.clear();
    rotate->trigger();
    b.process_events();
    EXPECT_EQ(events.commands, (std::vector<int>{301}));

    // Closing asks the program.
    events.allow_close = false;
    window->close();
    EXPECT_EQ(events.closes, 1);
    EXPECT_TRUE(b.is_visible(f));
    b.destroy_window(f);
    b.process_events();
}

TEST(GuiFrame, PlacementRoundTripsAndKeepsTheMaximizedState) {
    QtBackend& b = gui_backend();
    RecordingFrame events;
    WindowId f = b.create_frame("KorvaneTestFrame", "Placement", &events);
    WindowPlacement p;
    p.left = 100;
    p.top = 120;
    p.right = 700;
    p.bottom = 520;
    b.set_placement(f, p);
    b.process_events();
    WindowPlacement got = b.placement(f);
    EXPECT_EQ(got.show_cmd, WindowPlacement::SHOW_NORMAL);
    EXPECT_EQ(std::make_tuple(got.left, got.top, got.right, got.bottom), std::make_tuple(100, 120, 700, 520));
    EXPECT_TRUE(b.is_visible(f));
    EXPECT_EQ(WindowPlacement::from_bytes(got.to_bytes()), got);

    WindowPlacement max = p;
    max.left = 50;
    max.top = 60;
    max.right = 650;
    max.bottom = 460;
    max.show_cmd = WindowPlacement::SHOW_MAXIMIZED;
    b.set_placement(f, max);
    b.process_events();
    got = b.placement(f);
    EXPECT_TRUE(b.is_maximized(f));
    EXPECT_EQ(got.show_cmd, WindowPlacement::SHOW_MAXIMIZED);
    EXPECT_EQ(std::make_tuple(got.left, got.top, got.right, got.bottom), std::make_tuple(50, 60, 650, 460));

    b.set_placement(f, p);
    b.process_events();
    EXPECT_FALSE(b.is_maximized(f));
    got = b.placement(f);
    EXPECT_EQ(std::make_tuple(got.left, got.top, got.right, got.bottom), std::make_tuple(100, 120, 700, 520));

    Rect area = b.work_area();
    EXPECT_GT(area.width(), 0);
    EXPECT_GT(area.height(), 0);
    b.destroy_window(f);
    b.process_events();
}

struct RecordingClient : ClientEvents {
    std::vector<std::string> log;
    void on_paint(Surface& s, const Rect&) override {
        s.fill_rect(Rect{0, 0, s.width(), s.height()}, rgb(0, 128, 0));
        log.push_back("paint");
    }
    void on_mouse_down(MouseButton b, int x, int y, unsigned mods) override {
        log.push_back("down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," +
                      std::to_string(y) + " " + std::to_string(mods));
    }
    void on_double_click(MouseButton, int x, int y, unsigned) override {
        log.push_back("dbl " + std::to_string(x) + "," + std::to_string(y));
    }
    void on_wheel(int delta, int, int, unsigned) override { log.push_back("wheel " + std::to_string(delta)); }
    bool on_key(int k, unsigned mods) override {
        log.push_back("key " + std::to_string(k) + " " + std::to_string(mods));
        return k == KEY_F2;
    }
    void on_char(const std::string& text) override { log.push_back("char " + text); }
};

TEST(GuiFrame, ClientGetsPaintsMouseWheelAndKeys) {
    QtBackend& b = gui_backend();
    RecordingFrame events;
    RecordingClient client;
    WindowId f = b.create_frame("KorvaneTestFrame", "Client", &events);
    WindowId c = b.create_client(f, &client);
    auto* window = qobject_cast<QMainWindow*>(b.widget(f));
    QWidget* w = b.widget(c);
    ASSERT_TRUE(window && w);
    EXPECT_EQ(window->centralWidget(), w);
    b.show_window(f, WindowPlacement::SHOW_NORMAL);
    b.process_events();
    EXPECT_EQ(b.client_rect(f).width(), w->width());

    QImage shot = w->grab().toImage();
    EXPECT_EQ(shot.pixelColor(3, 3), QColor(0, 128, 0));

    client.log.clear();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 12), w->mapToGlobal(QPointF(10, 12)), Qt::LeftButton,
                      Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(4, 5), w->mapToGlobal(QPointF(4, 5)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &dbl);
    QWheelEvent wheel(QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &wheel);
    key(w, Qt::Key_F2);
    key(w, Qt::Key_A, Qt::ShiftModifier, "A");
    std::vector<std::string> expected = {"down 1 10,12 1", "dbl 4,5", "wheel -120", "key 113 0", "key 65 1", "char A"};
    EXPECT_EQ(client.log, expected);
    b.destroy_window(f);
    b.process_events();
}

// --- Surfaces, OpenGL, message boxes ----------------------------------------


uint32_t argb(int r, int g, int b) { return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }

TEST(GuiSurface, ImageSurfaceDrawsLinesRectanglesTextAndClips) {
    QtBackend& b = gui_backend();
    std::unique_ptr<Surface> s = b.image_surface(60, 40, rgb(255, 255, 255));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->width(), 60);
    s->set_pen(Pen{rgb(255, 0, 0), 1, PenStyle::Solid});
    s->line(0, 5, 59, 5);
    s->set_pen(Pen{rgb(0, 0, 255), 1, PenStyle::Solid});
    s->set_brush(Brush{{}, true});
    s->rectangle(Rect{10, 10, 20, 20});
    s->set_clip(Rect{40, 0, 60, 40});
    s->fill_rect(Rect{30, 30, 60, 40}, rgb(0, 255, 0));
    s->clear_clip();
    s->set_pixel(1, 38, rgb(1, 2, 3));
    Image img = b.surface_image(*s);
    ASSERT_EQ(img.width, 60);
    ASSERT_EQ(img.height, 40);
    EXPECT_EQ(img.at(30, 5), argb(255, 0, 0));
    EXPECT_EQ(img.at(10, 10), argb(0, 0, 255));
    EXPECT_EQ(img.at(19, 19), argb(0, 0, 255));   // the right and bottom edges are outside
    EXPECT_EQ(img.at(20, 20), argb(255, 255, 255));
    EXPECT_EQ(img.at(15, 15), argb(255, 255, 255));   // hollow brush
    EXPECT_EQ(img.at(35, 35), argb(255, 255, 255));   // clipped away
    EXPECT_EQ(img.at(45, 35), argb(0, 255, 0));
    EXPECT_EQ(img.at(1, 38), argb(1, 2, 3));

    // Text: measured and drawn below its top edge in the text colour.
    s->fill_rect(Rect{0, 0, 60, 40}, rgb(255, 255, 255));
    s->set_font(FontSpec{"Sans", 12, 700});
    TextMetrics m = s->text_metrics();
    EXPECT_GT(m.height, 0);
    EXPECT_EQ(m.height, m.ascent + m.descent);
    EXPECT_GT(s->text_width("MMMM"), s->text_width("M"));
    s->set_text_color(rgb(0, 0, 0));
    s->text(2, 20, "MM");
    img = b.surface_image(*s);
    int dark_above = 0, dark_below = 0;
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if ((img.at(x, y) & 0xFF) < 128) ++(y < 20 ? dark_above : dark_below);
    EXPECT_EQ(dark_above, 0);
    EXPECT_GT(dark_below, 0);

    // A surface that is not an image gives an empty picture; absurd sizes do not crash.
    std::unique_ptr<Surface> screen = b.screen_surface();
    EXPECT_GT(screen->dpi_x(), 0);
    EXPECT_GT(b.image_surface(-5, 1 << 30, rgb(0, 0, 0))->width(), 0);
}

struct TriangleScene : GLEvents {
    int inits = 0, width = 0, height = 0, paints = 0;
    void gl_init() override { ++inits; }
    void gl_resize(int w, int h) override {
        width = w;
        height = h;
        glViewport(0, 0, w, h);
    }
    void gl_paint() override {
        ++paints;
        glClearColor(0.0f, 0.0f, 1.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(1.0f, 0.0f, 0.0f);
        glBegin(GL_TRIANGLES);   // covers the centre, leaves the top corners
        glVertex2f(-0.5f, -0.8f);
        glVertex2f(0.5f, -0.8f);
        glVertex2f(0.0f, 0.8f);
        glEnd();
    }
};

TEST(GuiGL, OffscreenRenderingReadsBackClearColourAndTriangle) {
    QtBackend& b = gui_backend();
    TriangleScene scene;
    MESA_ALLOCATIONS_KEPT;
    std::optional<Image> img = b.render_gl_offscreen(64, 48, scene);
    if (!img) GTEST_SKIP() << "no OpenGL context available";
    EXPECT_EQ(scene.inits, 1);
    EXPECT_EQ(scene.width, 64);
    EXPECT_EQ(scene.height, 48);
    ASSERT_EQ(img->width, 64);
    ASSERT_EQ(img->height, 48);
    EXPECT_EQ(img->at(1, 1), argb(0, 0, 255));
    EXPECT_EQ(img->at(62, 1), argb(0, 0, 255));
    EXPECT_EQ(img->at(32, 24), argb(255, 0, 0));
    EXPECT_EQ(img->at(32, 46), argb(0, 0, 255));   // below the triangle's base: rows run from the top
    EXPECT_FALSE(b.render_gl_offscreen(0, 10, scene).has_value());
}

// A scene that also takes the mouse gets it from its OpenGL client.
struct ClickableScene : TriangleScene, ClientEvents {
    int clicks = 0;
    void on_mouse_down(MouseButton, int, int, unsigned) override { ++clicks; }
};

TEST(GuiGL, GLClientDrawsThroughItsEventsAndForwardsTheMouse) {
    QtBackend& b = gui_backend();
    RecordingFrame events;
    ClickableScene scene;
    MESA_ALLOCATIONS_KEPT;
    WindowId f = b.create_frame("KorvaneTestFrame", "Render", &events);
    WindowId c = b.create_gl_client(f, &scene);
    QWidget* view = b.widget(c);
    ASSERT_TRUE(view);
    b.show_window(f, WindowPlacement::SHOW_NORMAL);
    b.process_events();
    const bool valid = b.opengl_available();
    std::optional<Image> img = b.grab_window(c);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), view->mapToGlobal(QPointF(5, 5)), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &press);
    EXPECT_EQ(scene.clicks, 1);
    if (valid) {
        ASSERT_TRUE(img.has_value());
        EXPECT_EQ(scene.inits, 1);
        // The scene is drawn at the client's size in device pixels.
        EXPECT_EQ(scene.width, img->width);
        EXPECT_EQ(img->at(img->width / 2, img->height / 2), argb(255, 0, 0));
        EXPECT_EQ(img->at(1, 1), argb(0, 0, 255));
        // A paint shows the kept scene; invalidate_scene draws it again. The
        // paints are grabs, which paint whether or not the window is exposed yet.
        const int paints = scene.paints;
        ASSERT_TRUE(b.grab_window(c).has_value());
        EXPECT_EQ(scene.paints, paints);
        b.invalidate_scene(c);
        ASSERT_TRUE(b.grab_window(c).has_value());
        EXPECT_EQ(scene.paints, paints + 1);
    }
    b.destroy_window(f);
    b.process_events();
    if (!valid) GTEST_SKIP() << "no OpenGL context available";
}

TEST(GuiMessageBox, AnsweredByItsButtonsOrClosedWithItsFrame) {
    QtBackend& b = gui_backend();
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(b.message_box(0, "Replace the file?", "Korvane", MessageIcon::Question, MessageButtons::YesNo), IDNO);

    QString caption;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            box->button(QMessageBox::Ok)->click();
        }
    });
    EXPECT_EQ(b.message_box(0, "Done", "Results", MessageIcon::Info, MessageButtons::Ok), IDOK);
    EXPECT_EQ(caption, "Results");

    RecordingFrame events;
    WindowId f = b.create_frame("KorvaneTestFrame", "Owner", &events);
    b.show_window(f, WindowPlacement::SHOW_NORMAL);
    QTimer::singleShot(0, [&] { b.close_popups(f); });
    EXPECT_EQ(b.message_box(f, "Continue?", "Korvane", MessageIcon::Warning, MessageButtons::OkCancel), IDCANCEL);
    b.destroy_window(f);
    b.process_events();
}

// The labels of a dialog that carry text.
QStringList label_texts(QWidget* top) {
    QStringList out;
    if (!top) return out;
    for (QLabel* l : top->findChildren<QLabel*>())
        if (!l->text().isEmpty()) out << l->text();
    return out;
}

TEST(GuiMessageBox, AStaticWithAnIconShowsItsTextBesideIt) {
    // The save question and the short note are template dialogs whose text
    // stands beside an icon: the user must see the text, not the icon alone.
    gui_backend();
    QStringList shown;
    QTimer::singleShot(50, [&] {
        QWidget* box = QApplication::activeModalWidget();
        shown = label_texts(box);
        for (QPushButton* b : box ? box->findChildren<QPushButton*>() : QList<QPushButton*>())
            if (b->text() == "&No") b->click();
    });
    EXPECT_EQ(ask_save_changes(0, "PLANT.mod"), IDNO);
    EXPECT_TRUE(shown.contains("Save changes to PLANT.mod ?")) << shown.join(" | ").toStdString();

    QStringList note;
    QTimer::singleShot(100, [&] { note = label_texts(QApplication::activeModalWidget()); });
    info_dialog(0, "Model saved");
    EXPECT_TRUE(note.contains("Model saved")) << note.join(" | ").toStdString();
}

TEST(GuiCommonDialogs, FileFontAndPopupDialogsReturnWhatWasChosen) {
    QtBackend& b = gui_backend();
    QString dir = QString::fromStdString(testing::TempDir());
    FileDialogRequest r;
    r.title = "Export";
    r.filters = {{"Comma Separated Values file (*.csv)", "*.csv"}, {"Text", "*.txt;*.prn"}};
    r.filter_index = 1;
    r.default_extension = "txt";
    r.initial_path = dir.toStdString();
    r.ok_text = "Export";
    QStringList filters;
    QString selected_filter, accept_label;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        filters = d->nameFilters();
        selected_filter = d->selectedNameFilter();
        accept_label = d->labelText(QFileDialog::Accept);
        d->selectFile(dir + "/korvane_export_test");
        static_cast<QDialog*>(d)->accept();
    });
    std::optional<std::string> path = b.save_file_dialog(0, r);
    EXPECT_EQ(filters, (QStringList{"Comma Separated Values file (*.csv)", "Text (*.txt *.prn)"}));
    EXPECT_EQ(selected_filter, "Text (*.txt *.prn)");
    EXPECT_EQ(accept_label, "Export");
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(QString::fromStdString(*path).endsWith("/korvane_export_test.txt"));
    EXPECT_EQ(r.filter_index, 1);

    QTimer::singleShot(0, [] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
    });
    EXPECT_FALSE(b.open_file_dialog(0, r).has_value());

    FontSpec font{"Sans", 9, 400};
    font.escapement = 900;
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        // An installed family with a bold style, so that the dialog can show it.
        for (const QString& family : QFontDatabase::families()) {
            if (QFontDatabase::styles(family).contains("Bold")) {
                d->setCurrentFont(QFontDatabase::font(family, "Bold", 14));
                break;
            }
        }
        d->accept();
    });
    ASSERT_TRUE(b.choose_font(0, font));
    EXPECT_EQ(font.height, 14);
    EXPECT_EQ(font.weight, 700);
    EXPECT_FALSE(font.italic);
    EXPECT_EQ(font.escapement, 900);   // not the dialog's business

    MenuItem popup{"Popup", 0, {{"&Cut", 501, {}, true}, {"&Copy", 502}, {"&Paste", 503}}};
    QTimer::singleShot(0, [] {
        QWidget* menu = QApplication::activePopupWidget();
        if (!menu) return;
        key(menu, Qt::Key_Down);   // the disabled first item is skipped
        key(menu, Qt::Key_Return);
    });
    EXPECT_EQ(b.popup_menu(0, popup, Point{100, 100}), 502);
    QTimer::singleShot(0, [] {
        if (QWidget* menu = QApplication::activePopupWidget()) key(menu, Qt::Key_Escape);
    });
    EXPECT_EQ(b.popup_menu(0, popup, Point{100, 100}), 0);
}

TEST(GuiBackend, PostedCallsRunOnTheMainThreadAndQuitEndsTheLoop) {
    QtBackend& b = gui_backend();
    std::vector<int> order;
    std::thread worker([&] {
        b.post([&] { order.push_back(1); });
        b.post([&] { order.push_back(2); });
    });
    worker.join();
    b.post([&] {
        order.push_back(3);
        b.quit(5);
    });
    EXPECT_EQ(b.run_loop(), 5);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));

    b.set_clipboard_text("copied text");
    EXPECT_EQ(b.clipboard_text(), "copied text");
    b.settings().set_int("Software\\Test", "Value", 12);
    EXPECT_EQ(b.settings().get_int("Software\\Test", "Value"), 12);
}

}  // namespace

// Read by the leak checker when the process ends.
extern "C" int __lsan_is_turned_off()
{
    return opengl_threads_started() ? 1 : 0;
}
