// Reading a model file as File Open does. A refused file leaves the model as
// it was; an accepted one holds only finite numbers, shows in every table and
// report, saves, reads back and saves again byte for byte.
#include "harness/fuzz_program.h"
#include "model/ui/model_commands.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (start_program(), true);
    (void)started;
    new_model();
    const std::string path = scratch_path("input.mod");
    write_file(path, data, size);
    expect_refused_or_sound("read", [&] { open_model_file(path); });
    return 0;
}
