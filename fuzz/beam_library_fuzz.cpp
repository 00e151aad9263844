// libFuzzer target of the beam section library reader (".bli").
#include "library_files_fuzz.h"
#include "materials/beam_library_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_library_reader(data, size, "bli", [](const std::string& path) { read_beam_library_file(path); });
}
