// The program: picks the window system backend and runs the shell.
//
//   korvane [--gui | --headless] [file]
//
// The Qt backend is used when a display is available (DISPLAY, WAYLAND_DISPLAY
// or QT_QPA_PLATFORM is set) or --gui is given; otherwise, or with --headless,
// the program runs without windows.
#include "analysis/ui/analysis_ui.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "framework/ui/shell.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_subsystem.h"
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
    std::unique_ptr<Backend> b;
    if (!has_option(argc, argv, "--headless") && (display || has_option(argc, argv, "--gui"))) {
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
    register_subsystem(install_model_subsystem);
    register_subsystem(install_materials_subsystem);
    register_subsystem(install_layout_subsystem);
    register_subsystem(install_elements_ui);
    register_subsystem(install_element_analysis);
    register_subsystem(install_analysis_commands);
    register_window_installer(create_layout_windows);
    const int exit_code = app_main(argc, argv, std::move(b));
    install_print_service(nullptr);
    remove_backend();
    return exit_code;
}
