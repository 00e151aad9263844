// libFuzzer target of the material library batch file reader (".mlb"): the
// input is the file's text.
#include "framework/units.h"
#include "library_files_fuzz.h"
#include "materials/material_batch_file.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    return fuzz_library_reader(data, 0, "mlb", [&text](const std::string&) {
        const UnitChoices before = unit_choice();
        read_material_batch(text, 0, MATERIAL_BATCH_ENGLISH_UNITS);
        // The reader leaves the program's units as they were.
        if (unit_choice() != before)
            std::abort();
    });
}
