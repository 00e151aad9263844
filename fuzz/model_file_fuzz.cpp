// libFuzzer target of the model file reader: the input bytes are written to a
// temporary file and read as a model. A damaged file must give a message text;
// anything else (a crash, a sanitizer report, an internal check) is a fault.
//
// Build:
//   CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DKV_FUZZ=ON -DKV_TESTS=OFF
//   cmake --build build/fuzz --target model_file_fuzz
// Run with a seed folder holding a few saved models:
//   build/fuzz/model_file_fuzz -max_total_time=60 seeds/
#include "elements/element_classes.h"
#include "framework/errors.h"
#include "model/model.h"
#include "model/model_file.h"
#include "platform/headless/headless_backend.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string scratch_path()
{
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/korvane-fuzz-" + std::to_string(::getpid()) + ".mod";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = [] {
        install_headless_backend();
        // The element kinds read their own records.
        install_element_classes();
        // An internal check that fails is a finding: abort so the fuzzer keeps the input.
        set_assert_exit_handler([](int) { std::abort(); });
        return scratch_path();
    }();

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    if (size > 0)
        std::fwrite(data, 1, size, file);
    std::fclose(file);

    try {
        read_model(path);
    } catch (const MessageText&) {
        // A refused file: the expected outcome for most inputs.
    }
    reset_model();
    std::remove(path.c_str());
    return 0;
}
