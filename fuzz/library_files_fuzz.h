// What the library-file fuzz targets share: the input bytes are written to a
// scratch file of the kind's extension and read; a damaged file must give a
// message text, and anything else (a crash, a sanitizer report, an internal
// check) is a fault.
#pragma once

#include "framework/errors.h"
#include "platform/headless/headless_backend.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>

inline int fuzz_library_reader(const uint8_t* data, size_t size, const char* extension,
                               const std::function<void(const std::string& path)>& read)
{
    static const bool installed = [] {
        install_headless_backend();
        // An internal check that fails is a finding: abort so the fuzzer keeps the input.
        set_assert_exit_handler([](int) { std::abort(); });
        return true;
    }();
    (void)installed;
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder && *folder ? folder : "/tmp") + "/korvane-fuzz-" +
                             std::to_string(::getpid()) + "." + extension;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    if (size > 0)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
    try {
        read(path);
    } catch (const MessageText&) {
        // A refused file: the expected outcome for most inputs.
    }
    std::remove(path.c_str());
    return 0;
}
