// The window system of the benchmarks that draw through Qt: the Qt backend,
// offscreen where there is no display.
#pragma once

#include "bench_setup.h"
#include "platform/backend.h"
#include "platform/qt/qt_backend.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

// Qt's window-system integration loads the OpenGL driver at start-up even
// where no context is made, and unloads it again when the application object
// goes; whatever the driver still held is then reported by the leak checker
// as lost from an unknown module. Keeping every library loaded now mapped to
// the end of the process leaves those allocations reachable.
inline void keep_loaded_libraries()
{
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && *info->dlpi_name) dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

// Installs the Qt backend with its settings file in `settings`.
inline void install_qt_backend(const std::filesystem::path& settings)
{
    auto set = [](const char* name) { return std::getenv(name) && *std::getenv(name); };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char arg0[] = "korvane_bench";
    static char* argv[] = {arg0, nullptr};
    install_backend(make_qt_backend(argc, argv, settings.string()));
    keep_loaded_libraries();
}

}  // namespace bench
