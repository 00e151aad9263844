// libFuzzer target of the spectrum library reader (".spe").
#include "library_files_fuzz.h"
#include "loads/spectrum_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_library_reader(data, size, "spe", [](const std::string& path) { read_spectrum_library_file(path); });
}
