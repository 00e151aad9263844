// Makes the libraries shipped with the program from their text sources
// (materials/library_sources.h, loads/spectrum_library.h):
//   korvane_make_libraries <folder of the sources> <folder of the program>
// writes materials.mat, beams.bli, valves.val and spectra.spe; a source it
// cannot use ends it with its message and exit code 1.
#include "framework/errors.h"
#include "loads/spectrum_library.h"
#include "materials/library_sources.h"
#include "materials/material_library_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string read_source(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw_message("Cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvane_make_libraries <sources> <output folder>\n");
        return 2;
    }
    const std::string sources = argv[1];
    const std::string out = argv[2];
    try {
        const MaterialBatch materials = material_library_from_source(read_source(sources + "/materials.mlb"));
        write_material_library_file(out + "/materials.mat", materials.code, materials.units, materials.materials);
        write_beam_library_file(out + "/beams.bli", {0, 0, 0}, beam_library_from_source(read_source(sources + "/beams.txt")));
        write_valve_library_file(out + "/valves.val", {0, 0, 0},
                                 valve_library_from_source(read_source(sources + "/valves.txt")));
        write_spectrum_library_file(out + "/spectra.spe", spectrum_library_from_source(read_source(sources + "/spectra.txt")));
    } catch (const MessageText& m) {
        std::fprintf(stderr, "%s\n", m.text.c_str());
        return 1;
    }
    return 0;
}
