// Merging a model file into the sample model. A refused merge changes
// nothing; an accepted one holds only finite numbers, shows in every table,
// saves, reads back and saves again byte for byte.
#include "harness/fuzz_program.h"
#include "model/model_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (start_program(), true);
    (void)started;
    read_sample_model();
    const std::string path = scratch_path("merged.mod");
    write_file(path, data, size);
    expect_refused_or_sound("merge", [&] { merge_model(path); });
    return 0;
}
