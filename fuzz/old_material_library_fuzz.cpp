// libFuzzer target of the reader of old material libraries (".mdb").
#include "library_files_fuzz.h"
#include "materials/old_material_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_library_reader(data, size, "mdb", [](const std::string& path) {
        old_material_library_version(path);
        read_old_material_library(path);
    });
}
