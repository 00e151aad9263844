// Importing a PipePak neutral file as File > Import does, on the program as
// it runs. A refused file leaves the empty model and the settings as they
// were; an accepted one holds finite numbers only, shows in every table and
// report, saves, reads back and saves again byte for byte.
#include "exchange/pnf_import.h"
#include "harness/fuzz_program.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool started = (start_program(), true);
    (void)started;
    new_model();
    const std::string path = scratch_path("input.pnf");
    write_file(path, data, size);
    expect_refused_or_sound("PipePak import", [&] { import_pnf_file_at(path); });
    return 0;
}
