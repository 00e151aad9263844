// A display of the test process's own, with a window manager on it, for the
// window tests whose subject is focus, activation or stacking: without a
// window manager X gives focus to whatever the pointer is over and never
// raises a window, so those tests would prove nothing.
//
// Call use_display_with_window_manager() first thing in the test's SetUp,
// before anything makes the process's QApplication (gui_backend(),
// GuiProgramTest::SetUp). It starts Xvfb on a free display, openbox on it,
// waits until openbox has taken the screen and points DISPLAY there; both
// end with the process. Each window test runs in a process of its own
// (gtest_discover_tests), so the display is the test's alone and the other
// tests running beside it keep the shared Xvfb display without a manager.
#pragma once

#include <QApplication>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace window_manager_display {

struct Children {
    pid_t server = 0;
    pid_t manager = 0;
    std::string display;
};

inline Children& children() {
    static Children c;
    return c;
}

inline void stop_children() {
    Children& c = children();
    for (pid_t* pid : {&c.manager, &c.server}) {
        if (*pid <= 0) continue;
        ::kill(*pid, SIGTERM);
        int status = 0;
        ::waitpid(*pid, &status, 0);
        *pid = 0;
    }
}

// Starts `argv` with DISPLAY set to `display` (empty: unchanged) and, when
// `keep_fd` >= 0, that descriptor left open; returns the child's pid or -1.
inline pid_t spawn(const std::array<const char*, 12>& argv, const std::string& display, int keep_fd) {
    pid_t pid = ::fork();
    if (pid != 0) return pid;
    if (!display.empty()) ::setenv("DISPLAY", display.c_str(), 1);
    int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
    }
    for (int fd = 3; fd < 1024; ++fd)
        if (fd != keep_fd) ::close(fd);
    ::execvp(argv[0], const_cast<char* const*>(argv.data()));
    ::_exit(127);
}

inline bool manager_running(const std::string& display) {
    std::string command = "xprop -display " + display + " -root _NET_SUPPORTING_WM_CHECK 2>/dev/null";
    FILE* out = ::popen(command.c_str(), "r");
    if (!out) return false;
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, out)) text += buffer;
    ::pclose(out);
    return text.find("window id") != std::string::npos;
}

}  // namespace window_manager_display

// Returns "" when the display with its window manager is in use, else why not.
inline std::string use_display_with_window_manager() {
    using namespace window_manager_display;
    Children& c = children();
    if (!c.display.empty()) return "";
    if (QApplication::instance())
        return "the window system was opened before the window manager's display: run this test in a process "
               "of its own (--gtest_filter)";
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) return "no pipe for Xvfb";
    std::string fd_text = std::to_string(pipe_fds[1]);
    c.server = spawn({"Xvfb", "-displayfd", fd_text.c_str(), "-screen", "0", "1600x1000x24", "-nolisten", "tcp",
                      "-noreset", nullptr},
                     "", pipe_fds[1]);
    ::close(pipe_fds[1]);
    std::atexit(stop_children);
    if (c.server < 0) {
        ::close(pipe_fds[0]);
        return "Xvfb could not be started";
    }
    std::string number;
    char ch = 0;
    while (::read(pipe_fds[0], &ch, 1) == 1 && ch != '\n') number += ch;
    ::close(pipe_fds[0]);
    if (number.empty()) return "Xvfb did not start (is the xvfb package installed?)";
    std::string display = ":" + number;
    c.manager = spawn({"openbox", "--sm-disable", nullptr}, display, -1);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!manager_running(display)) {
        int status = 0;
        if (::waitpid(c.manager, &status, WNOHANG) == c.manager) {
            c.manager = 0;
            return "openbox ended at once (is the openbox package installed?)";
        }
        if (std::chrono::steady_clock::now() > until) return "openbox did not take the screen within 20 s";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    c.display = display;
    ::setenv("DISPLAY", display.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    return "";
}

// A window test fixture on a display of its own with a window manager: a
// key reaches an underlined letter or an accelerator only in the active
// window. Skipped when the window system was opened before.
template <class Fixture>
class WithWindowManager : public Fixture {
protected:
    using Fixture::Fixture;
    void SetUp() override {
        const std::string why = use_display_with_window_manager();
        if (!why.empty()) GTEST_SKIP() << why;
        Fixture::SetUp();
    }
};
