// The program with its real windows (Qt backend, in this process) and the
// program binary itself.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "gui/program_fixture.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_subsystem.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;

namespace {

// A loop that does not end within the time a window test waits for an event
// has failed; the watchdog ends it with this code so that the test reports
// instead of hanging.
constexpr int WATCHDOG_MS = static_cast<int>(std::chrono::milliseconds(GUI_EVENT_WAIT).count());
constexpr int WATCHDOG_EXIT_CODE = 99;

// The tests start the program themselves, some after registering subsystems.
class GuiProgram : public GuiProgramTest {
protected:
    GuiProgram() : GuiProgramTest("korvane_gui_program", false) {}

    // Shuts down and deletes the windows now: the backend deletes them later,
    // and windows left to the application's own end outlive Qt's thread data.
    static void shutdown() {
        app_shutdown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Runs the main loop; `action` runs once the loop is up.
    int run_loop_with(std::function<void()> action) {
        QTimer::singleShot(WATCHDOG_MS, [] { backend().quit(WATCHDOG_EXIT_CODE); });
        QTimer::singleShot(100, std::move(action));
        return app_run();
    }
};

TEST_F(GuiProgram, MainWindowOpensUntitledWithItsMenus) {
    app_startup();
    QtBackend& b = gui_backend();
    const Frame& m = main_frame();
    ASSERT_NE(m.window, 0);
    EXPECT_TRUE(b.is_visible(m.window));
    EXPECT_NE(b.title(m.window).find("Untitled"), std::string::npos) << b.title(m.window);

    auto* window = qobject_cast<QMainWindow*>(b.widget(m.window));
    ASSERT_NE(window, nullptr);
    QStringList tops;
    for (QAction* a : window->menuBar()->actions()) tops << a->text();
    EXPECT_EQ(tops, (QStringList{"&File", "&Edit", "&View", "&Options", "&Loads", "&Misc", "&Window", "&Help"}));

    // The other windows exist and wait hidden.
    for (const Frame* f : {&list_frame(), &results_frame(), &graphics_frame()}) {
        ASSERT_NE(f->window, 0);
        EXPECT_FALSE(b.is_visible(f->window));
    }
}

TEST_F(GuiProgram, ToolButtonsAreGreyedExactlyWhenTheirCommandsAre) {
    register_subsystem(install_model_subsystem);
    register_subsystem(install_materials_subsystem);
    register_subsystem(install_layout_subsystem);
    register_window_installer(create_layout_windows);
    app_startup();
    QtBackend& b = gui_backend();
    for (Frame* f : {&main_frame(), &list_frame()}) {
        auto* window = qobject_cast<QMainWindow*>(b.widget(f->window));
        ASSERT_NE(window, nullptr);
        int buttons = 0;
        for (QToolBar* bar : window->findChildren<QToolBar*>())
            for (QAction* a : bar->actions()) {
                if (a->isSeparator()) continue;
                ++buttons;
                const int id = a->data().toInt();
                EXPECT_TRUE(!a->isVisible() || a->isEnabled() == frame_command_enabled(*f, id))
                    << f->class_name << " " << id;
                EXPECT_TRUE(!a->isEnabled() || frame_command_available(*f, id)) << f->class_name << " " << id;
            }
        EXPECT_GT(buttons, 0) << f->class_name;
    }
    // Print, Graphics and Analyze of the layout window have no handler yet.
    auto* main_window = qobject_cast<QMainWindow*>(b.widget(main_frame().window));
    for (QToolBar* bar : main_window->findChildren<QToolBar*>())
        for (QAction* a : bar->actions()) {
            const int id = a->data().toInt();
            const bool listed = id == CMD_PRINT || id == CMD_GRAPHICS_BUTTON || id == CMD_ANALYZE;
            EXPECT_TRUE(!listed || a->isEnabled() == frame_command_available(main_frame(), id)) << id;
        }
}

TEST_F(GuiProgram, FileExitEndsWithCode0AndPlacementIsRestored) {
    app_startup();
    const WindowPlacement wanted = [] {
        WindowPlacement p;
        p.left = 40;
        p.top = 50;
        p.right = 560;
        p.bottom = 430;
        return p;
    }();
    frame_set_placement(main_frame(), wanted);
    const WindowPlacement placed = main_frame().placement;   // clamped to this screen

    EXPECT_EQ(run_loop_with([] { frame_post_command(main_frame(), CMD_EXIT); }), 0);
    shutdown();

    // A new backend reads the settings file the first one wrote.
    remove_backend();
    {
#ifdef __SANITIZE_ADDRESS__
        __lsan::ScopedDisabler system_libraries;
#endif
        gui_backend();
    }
    reset_app_settings();
    app_startup();
    const WindowPlacement restored = backend().placement(main_frame().window);
    EXPECT_EQ(restored.left, placed.left);
    EXPECT_EQ(restored.top, placed.top);
    EXPECT_EQ(restored.right - restored.left, placed.right - placed.left);
    EXPECT_EQ(restored.bottom - restored.top, placed.bottom - placed.top);
    EXPECT_TRUE(backend().is_visible(main_frame().window));

    // Closing the main window ends the program as File > Exit does.
    EXPECT_EQ(run_loop_with([] { gui_backend().widget(main_frame().window)->close(); }), 0);
}

TEST_F(GuiProgram, EveryToolButtonShowsAPictureInBothSizesAndLargeButtonsSwitchThem) {
    app_startup();
    QtBackend& b = gui_backend();
    auto bars_of = [&b](const Frame& f) {
        auto* window = qobject_cast<QMainWindow*>(b.widget(f.window));
        return window ? window->findChildren<QToolBar*>() : QList<QToolBar*>();
    };
    for (const Frame* f : {&main_frame(), &list_frame(), &results_frame(), &graphics_frame()}) {
        const QList<QToolBar*> bars = bars_of(*f);
        ASSERT_EQ(bars.size(), 2) << b.title(f->window);
        QList<int> sizes;
        for (QToolBar* bar : bars) {
            const int size = bar->iconSize().width();
            sizes << size;
            EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonIconOnly);
            int buttons = 0;
            for (QAction* a : bar->actions()) {
                if (a->isSeparator()) continue;
                ++buttons;
                SCOPED_TRACE(a->toolTip().toStdString() + " at " + std::to_string(size));
                ASSERT_FALSE(a->icon().isNull());
                EXPECT_EQ(a->icon().actualSize(QSize(size, size)), QSize(size, size));
                // The picture has ink on it, not a blank square.
                const QImage image = a->icon().pixmap(QSize(size, size)).toImage();
                int inked = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        if (qAlpha(image.pixel(x, y)) > 0) ++inked;
                EXPECT_GT(inked, size * size / 10);
            }
            EXPECT_GT(buttons, 0);
        }
        std::sort(sizes.begin(), sizes.end());
        EXPECT_EQ(sizes, (QList<int>{16, 32}));
    }

    // Options > Large Toolbar Buttons shows the large bar in place of the
    // small one, and back.
    auto shown_size = [&] {
        int shown = 0;
        for (QToolBar* bar : bars_of(main_frame()))
            if (!bar->isHidden()) shown = shown ? -1 : bar->iconSize().width();
        return shown;
    };
    const int before = shown_size();
    ASSERT_TRUE(before == 16 || before == 32) << before;
    ASSERT_TRUE(run_command(CMD_LARGE_BUTTONS));
    EXPECT_EQ(shown_size(), before == 16 ? 32 : 16);
    ASSERT_TRUE(run_command(CMD_LARGE_BUTTONS));
    EXPECT_EQ(shown_size(), before);
}

// ---------------------------------------------------------------------------
// The program binary

struct ProgramRun {
    int exit_code = -1;
    std::string err;
};

ProgramRun run_program(const std::string& args, const fs::path& scratch) {
    const fs::path err_file = scratch / "stderr.txt";
    const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '") +
                                KV_PROGRAM_PATH + "' " + args + " </dev/null >/dev/null 2>'" + err_file.string() + "'";
    ProgramRun run;
    const int status = std::system(command.c_str());
    if (status != -1 && WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
    std::ifstream in(err_file);
    std::stringstream text;
    text << in.rdbuf();
    run.err = text.str();
    return run;
}

TEST(GuiProgramBinary, WithoutWindowsOrFileItSaysSoAndEndsWithCode2) {
    const ScratchFolder folder("korvane_binary_nodisplay");
    const fs::path& scratch = folder.dir();
    ASSERT_FALSE(scratch.empty());
    ProgramRun run = run_program("--headless", scratch);
    EXPECT_EQ(run.exit_code, EXIT_NO_DISPLAY);
    EXPECT_NE(run.err.find(NO_DISPLAY_TEXT), std::string::npos) << run.err;

    // No display variable at all chooses the headless backend too.
    run = run_program("", scratch);
    EXPECT_EQ(run.exit_code, EXIT_NO_DISPLAY);
}

TEST(GuiProgramBinary, MissingBatchFileEndsWithCode1) {
    const ScratchFolder folder("korvane_binary_batch");
    const fs::path& scratch = folder.dir();
    ASSERT_FALSE(scratch.empty());
    const ProgramRun run = run_program("'" + (scratch / "pipe.mbf").string() + "'", scratch);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("Unable to open import file:\n" + (scratch / "pipe.mbf").string()), std::string::npos)
        << run.err;
}

}  // namespace
