// libFuzzer target of the valve library reader (".val").
#include "library_files_fuzz.h"
#include "materials/valve_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_library_reader(data, size, "val", [](const std::string& path) { read_valve_library_file(path); });
}
