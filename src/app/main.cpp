// The program: picks the window system backend and runs the shell.
//
//   korvane [--gui | --headless] [file]
//
// The Qt backend is used when a display is available (DISPLAY, WAYLAND_DISPLAY
// or QT_QPA_PLATFORM is set) or --gui is given; otherwise, or with --headless,
// the program runs without windows. A batch file (".mbf") always runs without
// windows: start-up batch mode is unattended, its messages go to standard
// error and its exit code tells how it ended.
#include "app/program_subsystems.h"
#include "framework/ui/shell.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/headless_printing.h"
#include "platform/printing.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_printing.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace {

bool env_set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

bool has_option(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        if (std::strcmp(argv[i], option) == 0) return true;
    }
    return false;
}

}  // namespace

// The leak checker of a sanitizer build reads this list at start-up: Qt's
// D-Bus thread leaves the system's libdbus allocations until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
    const bool display = env_set("DISPLAY") || env_set("WAYLAND_DISPLAY") || env_set("QT_QPA_PLATFORM");
    const bool unattended = is_batch_path(parse_command_line(argc, argv).path);
    std::unique_ptr<Backend> b;
    if (!unattended && !has_option(argc, argv, "--headless") && (display || has_option(argc, argv, "--gui"))) {
#ifdef __SANITIZE_ADDRESS__
        // The window system's libraries (D-Bus, Mesa GLX) keep what they
        // allocate while the application starts until the process ends.
        __lsan::ScopedDisabler system_libraries;
#endif
        b = make_qt_backend(argc, argv, "");
        install_qt_print_service();
    } else {
        b = std::make_unique<HeadlessBackend>();
        install_headless_print_service();
    }
    register_program_subsystems();
    const int exit_code = app_main(argc, argv, std::move(b));
    install_print_service(nullptr);
    remove_backend();
    return exit_code;
}
