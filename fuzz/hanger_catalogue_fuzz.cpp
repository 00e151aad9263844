// libFuzzer target of the spring-hanger catalogue reader: any bytes give a
// catalogue or a message; a catalogue that reads sizes a spring and a
// constant support without fault.
#include "analysis/hanger_catalogue.h"
#include "analysis/hanger_design.h"
#include "library_files_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_library_reader(data, size, "txt", [](const std::string& path) {
        const HangerCatalogue catalogue = read_hanger_catalogue(path);
        HangerDemand demand;
        demand.type = catalogue.type;
        demand.load = 500;
        demand.travel = 0.5;
        demand.short_range = true;
        select_hanger(&catalogue, demand);
        demand.type = HANGER_CONSTANT;
        select_hanger(&catalogue, demand);
    });
}
