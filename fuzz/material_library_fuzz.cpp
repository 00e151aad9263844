// libFuzzer target of the material library reader (".mat").
//
// Build and run as the model file's target (model_file_fuzz.cpp), with a
// seed folder holding a few saved material libraries:
//   build/fuzz/material_library_fuzz -max_total_time=60 seeds/
#include "library_files_fuzz.h"
#include "materials/material_library_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_library_reader(data, size, "mat", [](const std::string& path) { read_material_library_file(path); });
}
