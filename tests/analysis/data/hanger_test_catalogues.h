// Catalogues of the hanger selection tests (their values are the tests'
// own, not a maker's), and a catalogue written where a run finds it.
#pragma once

#include "analysis/hanger_catalogue.h"
#include "supports/hanger.h"

#include <filesystem>
#include <fstream>
#include <string>

// The catalogue of a hanger type (the default one, 16) written into the
// folder "hangers" of a model's folder.
inline void write_test_catalogue(const std::string& folder, const std::string& text,
                                 int type = HANGER_DEFAULT_CATALOGUE)
{
    std::filesystem::create_directories(folder + "/hangers");
    std::ofstream(folder + "/hangers/" + hanger_catalogue_file_name(type)) << text;
}

// Two springs with a gap between them (A 1 up to 210 lb, A 2 from 221 lb),
// a short-range one above them (450 to 600 lb), all 50 lb/in, and a
// constant support of 50 to 1000 lb over 10 in.
inline constexpr const char* GAPPED_CATALOGUE = "CATALOGUE 16 Grinnell\n"
                                                "SPRING A 1 MID 100 210 50   # test\n"
                                                "SPRING A 2 MID 221 400 50   # test\n"
                                                "SPRING B 1 SHORT 450 600 50 # test\n"
                                                "CONSTANT C 1 50 1000 10     # test\n";
