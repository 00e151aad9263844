// The Qt backend for GUI tests: one QApplication per test process, made on
// first use, and a QtBackend installed over it. Without a display the tests
// fall back to Qt's offscreen platform.
#pragma once

#include "platform/qt/qt_backend.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

// Mesa keeps some of what it allocates for a context until the process ends,
// and its rendering threads outlive the context: the leak checker's final pass,
// which stops every thread, then crashes now and then. A process that made an
// OpenGL context (each window test runs in its own) skips that final pass
// (__lsan_is_turned_off in qt_backend_test.cpp reads this).
inline bool& opengl_threads_started() {
    static bool started = false;
    return started;
}
#ifdef __SANITIZE_ADDRESS__
#define MESA_ALLOCATIONS_KEPT                                                                                          \
    opengl_threads_started() = true;                                                                                  \
    __lsan::ScopedDisabler mesa_allocations
#else
#define MESA_ALLOCATIONS_KEPT opengl_threads_started() = true
#endif

inline bool qt_backend_installed() {
    return backend_installed() && std::string_view(backend().name()) == "qt";
}

// The settings file of the test process: window tests run side by side, and
// the window positions and recent files one leaves must not reach another's
// start (each starts from the program's defaults).
inline const std::string& gui_settings_path() {
    static const std::string path =
        testing::TempDir() + "korvane_gui_settings_" + std::to_string(::getpid()) + ".ini";
    return path;
}

// The application object of the GUI tests. It goes in the test environment's
// tear-down, while Qt's own globals still exist.
inline std::unique_ptr<QApplication>& gui_application() {
    static std::unique_ptr<QApplication> app;
    return app;
}

class GuiEnvironment : public testing::Environment {
public:
    void TearDown() override {
        if (qt_backend_installed()) remove_backend();
        gui_application().reset();
        std::error_code ignored;
        std::filesystem::remove(gui_settings_path(), ignored);
    }
};

inline QtBackend& gui_backend() {
    static int argc = 1;
    static char arg0[] = "korvane_tests";
    static char* argv[] = {arg0, nullptr};
    if (!QApplication::instance()) {
        auto set = [](const char* name) { return std::getenv(name) && *std::getenv(name); };
        if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("KORVANE_SETTINGS_FILE", gui_settings_path().c_str(), 1);
        prepare_qt_application();
#ifdef __SANITIZE_ADDRESS__
        // The window system's libraries keep what they allocate at start until the process ends.
        __lsan::ScopedDisabler system_libraries;
#endif
        gui_application() = std::make_unique<QApplication>(argc, argv);
        testing::AddGlobalTestEnvironment(new GuiEnvironment);   // owned by GoogleTest
    }
    if (!qt_backend_installed()) install_backend(make_qt_backend(argc, argv, ""));
    return static_cast<QtBackend&>(backend());
}

// A widget of a window by object name, such as "item_101" for a dialog item.
template <class T>
T* gui_find(WindowId w, const char* name) {
    QWidget* top = gui_backend().widget(w);
    return top ? top->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

// How long a window test waits at most for an event it needs (a window the
// window manager maps, raises or activates, a paint, a posted command): long
// enough for a machine loaded with other test processes, since a wait ends
// as soon as the event has come.
inline constexpr std::chrono::seconds GUI_EVENT_WAIT{60};

// Runs the event loop until `done` answers true or GUI_EVENT_WAIT has
// passed; its last answer. Wait on what the test needs so, not on a clock.
// `done` is not asked again after its true: a state that holds for a moment
// (a blink phase) is seen, and what `done` kept of it is what it saw then.
inline bool gui_wait_for(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + GUI_EVENT_WAIT;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// Runs the event loop for a while: what is posted and the paints. Only for
// a pause between steps that no later check depends on; a check waits on
// its event with gui_wait_for.
inline void gui_settle(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
