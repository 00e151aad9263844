// Where the program's windows open and which stays in front, on a display
// with a window manager (openbox), which places, raises and activates them
// as on a desktop: new windows cascade from the one made before them and a
// kept placement holds; the result chosen and the layout after Input stay
// in front of the graphics window; Ctrl+A in an open cell of the layout
// selects its text while elsewhere it is the window's Zoom All.
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "gui/window_manager.h"
#include "model/ui/layout_window.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <QAbstractButton>
#include <QDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

bool wait_for(const std::function<bool()>& done) { return gui_wait_for(done); }

QWidget* top_widget(const Frame& frame)
{
    QWidget* w = gui_backend().widget(frame.window);
    return w ? w->window() : nullptr;
}

// The managed windows from the bottom of the stack to its top, as the
// window manager keeps them.
std::vector<unsigned long> stacking_order()
{
    std::vector<unsigned long> ids;
    FILE* out = ::popen("xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null", "r");
    if (!out)
        return ids;
    std::string text;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, out))
        text += buffer;
    ::pclose(out);
    const std::size_t hash = text.find('#');
    if (hash == std::string::npos)
        return ids;
    std::istringstream in(text.substr(hash + 1));
    std::string token;
    while (std::getline(in, token, ','))
        ids.push_back(std::stoul(token, nullptr, 16));
    return ids;
}

// Whether the window manager stacks `upper` above `lower`.
bool stacked_above(const Frame& upper, const Frame& lower)
{
    const std::vector<unsigned long> order = stacking_order();
    auto at = [&order](const Frame& f) {
        QWidget* w = top_widget(f);
        return w ? std::find(order.begin(), order.end(), static_cast<unsigned long>(w->winId())) : order.end();
    };
    const auto u = at(upper), l = at(lower);
    return u != order.end() && l != order.end() && u > l;
}

bool in_front(const Frame& chosen, const Frame& other)
{
    return stacked_above(chosen, other) && QApplication::activeWindow() == top_widget(chosen);
}

// What in_front() found, for a failure's message.
std::string front_state(const Frame& chosen, const Frame& other)
{
    const QWidget* active = QApplication::activeWindow();
    return std::string(stacked_above(chosen, other) ? "stacked above" : "not stacked above") + ", active window: " +
           (active ? active->windowTitle().toStdString() : std::string("none"));
}

// The result chooser, whatever its size, is answered with its entry
// `entry`; message boxes are closed and kept.
class Answers {
public:
    Answers()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(40);
    }
    int entry = 0;
    int choosers = 0;
    std::vector<std::string> messages;

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (close_message_box(modal, messages))
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || !dialog->objectName().startsWith("RESULTS"))
            return;
        auto* list = dialog->findChild<QListWidget*>(item_name(RADIO_LIST));
        auto* ok = dialog->findChild<QAbstractButton*>(item_name(IDOK));
        if (!list || !ok || entry >= list->count()) {
            dialog->reject();
            return;
        }
        ++choosers;
        list->setCurrentRow(entry);
        ok->click();
    }
    QTimer timer_;
};

void send_key(QWidget* w, int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, qt_key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, mods, text);
    QCoreApplication::sendEvent(w, &release);
}

class WindowCascade : public GuiProgramTest {
protected:
    WindowCascade() : GuiProgramTest("korvane_window_cascade") {}
    void SetUp() override
    {
        display_problem_ = use_display_with_window_manager();
        ASSERT_EQ(display_problem_, "");
        // The graphics window draws with OpenGL.
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
    }
    void TearDown() override
    {
        answers_.reset();
        if (display_problem_.empty())
            GuiProgramTest::TearDown();
    }
    // No window starts with a kept placement, but the results window in a
    // test whose name says "Kept".
    void before_startup() override
    {
        SettingsStore& store = backend().settings();
        const std::string positions = settings_key(WINDOW_POSITIONS_KEY);
        for (const char* name : {MAIN_WINDOW_PLACEMENT, LIST_WINDOW_PLACEMENT, RESULTS_WINDOW_PLACEMENT,
                                 GRAPHICS_WINDOW_PLACEMENT})
            store.remove(positions, name);
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        if (test.find("Kept") != std::string::npos)
            store.set_binary(positions, RESULTS_WINDOW_PLACEMENT, kept_results().to_bytes());
    }
    static WindowPlacement kept_results()
    {
        WindowPlacement p;
        p.left = 100;
        p.top = 80;
        p.right = 900;
        p.bottom = 680;
        return p;
    }

    // Every window shown, as the user brings each up, each waited for until
    // the window manager has mapped it and made it the active window.
    static void show_windows()
    {
        for (Frame* f : {&main_frame(), &list_frame(), &results_frame(), &graphics_frame()}) {
            frame_bring_to_front(*f);
            ASSERT_TRUE(wait_for([f] { return QApplication::activeWindow() == top_widget(*f); }))
                << top_widget(*f)->windowTitle().toStdString();
        }
    }
    // Their rectangles on the screen, as the window manager has placed them.
    static std::vector<QRect> window_rects()
    {
        std::vector<QRect> rects;
        for (Frame* f : {&main_frame(), &list_frame(), &results_frame(), &graphics_frame()})
            rects.push_back(top_widget(*f)->geometry());
        return rects;
    }

    // The sample and its results, opened as File > Open Results does, with
    // the chooser's entry `entry` chosen.
    void open_sample_results(int entry)
    {
        const fs::path built = fs::path(KV_PROGRAM_PATH).parent_path();
        fs::copy_file(built / "sample.mod", folder / "piping.mod", fs::copy_options::overwrite_existing);
        fs::copy_file(built / "sample.res", folder / "piping.res", fs::copy_options::overwrite_existing);
        answers().entry = entry;
        open_by_extension((folder / "piping.res").string());
        ASSERT_TRUE(wait_for([this] { return answers().choosers == 1; }));
        ASSERT_TRUE(wait_for([] { return in_results() && current_result() != RESULT_NONE; }));
    }

    Answers& answers()
    {
        if (!answers_)
            answers_ = std::make_unique<Answers>();
        return *answers_;
    }

    std::string display_problem_;
    std::unique_ptr<Answers> answers_;
};

}  // namespace

TEST_F(WindowCascade, NewWindowsCascadeFromTheOneBefore)
{
    ASSERT_NO_FATAL_FAILURE(show_windows());
    // The main window stands in the middle of the screen, three quarters of
    // its size (1600 x 1000: 1200 x 750 at 200, 125); each window after it a
    // step of CASCADE_STEP further down and right, the same size.
    const QRect main(200, 125, 1200, 750);
    auto cascaded = [&main] {
        const std::vector<QRect> r = window_rects();
        for (int k = 0; k < 4; ++k)
            if (r[static_cast<std::size_t>(k)] != main.translated(k * CASCADE_STEP, k * CASCADE_STEP))
                return false;
        return true;
    };
    EXPECT_TRUE(wait_for(cascaded));
    const std::vector<QRect> r = window_rects();
    EXPECT_EQ(r[0], main);
    for (int k = 1; k < 4; ++k)
        EXPECT_EQ(r[static_cast<std::size_t>(k)], r[0].translated(k * CASCADE_STEP, k * CASCADE_STEP)) << k;
    // The last window shown is in front and each title bar stays in sight.
    EXPECT_TRUE(wait_for([] { return in_front(graphics_frame(), results_frame()); }));
}

TEST_F(WindowCascade, AKeptPlacementHoldsAndTheNextWindowCascadesFromIt)
{
    ASSERT_NO_FATAL_FAILURE(show_windows());
    const WindowPlacement kept = kept_results();
    const QRect results(kept.left, kept.top, kept.right - kept.left, kept.bottom - kept.top);
    auto placed = [&results] {
        const std::vector<QRect> r = window_rects();
        return r[1] == r[0].translated(CASCADE_STEP, CASCADE_STEP) && r[2] == results &&
               r[3] == r[2].translated(CASCADE_STEP, CASCADE_STEP);
    };
    EXPECT_TRUE(wait_for(placed));
    const std::vector<QRect> r = window_rects();
    EXPECT_EQ(r[1], r[0].translated(CASCADE_STEP, CASCADE_STEP));
    EXPECT_EQ(r[2], results);
    EXPECT_EQ(r[3], r[2].translated(CASCADE_STEP, CASCADE_STEP));
}

TEST_F(WindowCascade, ChosenResultAndInputStayInFrontOfTheGraphics)
{
    open_sample_results(1);
    ASSERT_TRUE(frame_is_visible(graphics_frame()));
    EXPECT_TRUE(wait_for([] { return in_front(results_frame(), graphics_frame()); }));

    // The graphics window closed, and another result chosen (Ctrl+R): the
    // graphics window comes back behind the table.
    frame_command(graphics_frame(), CMD_EXIT);
    ASSERT_TRUE(wait_for([] { return !frame_is_visible(graphics_frame()); }));
    const int first = current_result();
    answers().entry = 0;
    // The key goes to the table, the active window as a click into it makes
    // it: the window manager's activation of the window the program went
    // back to may still be on its way, and until it comes another window's
    // keys are the current ones.
    frame_bring_to_front(results_frame());
    ASSERT_TRUE(wait_for([] {
        return QApplication::activeWindow() == top_widget(results_frame()) &&
               current_accelerator_frame() == &results_frame();
    }));
    send_key(gui_backend().widget(results_table_view().window()), Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(wait_for([this] { return answers().choosers == 2; }));
    EXPECT_TRUE(wait_for([first] { return current_result() != first; }));
    EXPECT_TRUE(wait_for([] { return frame_is_visible(graphics_frame()); }));
    EXPECT_TRUE(wait_for([] { return in_front(results_frame(), graphics_frame()); }))
        << front_state(results_frame(), graphics_frame());

    // Ctrl+I: the layout comes back in front of the graphics window.
    send_key(gui_backend().widget(results_table_view().window()), Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(wait_for([] { return !in_results(); }));
    EXPECT_TRUE(frame_is_visible(graphics_frame()));
    EXPECT_TRUE(wait_for([] { return in_front(main_frame(), graphics_frame()); }))
        << front_state(main_frame(), graphics_frame());
    EXPECT_TRUE(answers().messages.empty()) << answers().messages.front();
}

TEST_F(WindowCascade, CtrlAInAnOpenCellSelectsItsText)
{
    int zooms = 0;
    frame_register_command(main_frame(), CMD_ZOOM_ALL, [&zooms](int) { ++zooms; });
    ASSERT_TRUE(wait_for([] { return QApplication::activeWindow() == top_widget(main_frame()); }));
    QWidget* view = gui_backend().widget(layout_view().window());
    ASSERT_NE(view, nullptr);
    TableWindow& t = layout_table();
    t.current_row = 1;
    t.current_column = LAYOUT_NODE;
    send_key(view, Qt::Key_1, Qt::NoModifier, "1");
    send_key(view, Qt::Key_2, Qt::NoModifier, "2");
    send_key(view, Qt::Key_Left);
    ASSERT_TRUE(t.edit.active);
    send_key(view, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
    EXPECT_EQ(zooms, 0);
    EXPECT_EQ(t.edit.anchor, 0u);
    EXPECT_EQ(t.edit.caret, 2u);
    send_key(view, Qt::Key_7, Qt::NoModifier, "7");
    EXPECT_EQ(t.edit.text, "7");
    send_key(view, Qt::Key_Escape);
    EXPECT_FALSE(t.edit.active);
    // No cell open: the layout window's Zoom All.
    send_key(view, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
    EXPECT_EQ(zooms, 1);
    EXPECT_FALSE(t.edit.active);
}
