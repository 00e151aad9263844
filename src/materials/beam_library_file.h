// The beam section library file (".bli"): the 16-byte header
// (library_file.h), the unit choices of dimensions, areas and moments of
// inertia its values are shown in, the count and the beam sections in the
// model file's record form (4-byte names in files before version 690).
// Versions above 690 are refused.
#pragma once

#include "framework/one_based.h"
#include "materials/beam_section.h"

#include <array>
#include <cstdint>
#include <string>

inline constexpr int BEAM_LIBRARY_LAST_VERSION = 690;
inline constexpr int BEAM_LIBRARY_UNIT_COUNT = 3;
// Dimension, area, moment of inertia: the quantities of the stored choices.
inline constexpr int BEAM_LIBRARY_UNIT_QUANTITIES[BEAM_LIBRARY_UNIT_COUNT] = {2, 18, 19};
using BeamLibraryUnits = std::array<int32_t, BEAM_LIBRARY_UNIT_COUNT>;

struct BeamLibraryContents {
    int32_t version = 0;
    BeamLibraryUnits units{};
    OneBased<BeamSection> records;
};

// Reads a whole library; throws the message text of a failure, naming the
// file (a version above 690 gives "Unable to read beam library:\n<path>").
BeamLibraryContents read_beam_library_file(const std::string& path);
// Throws "Unable to write beam file".
void write_beam_library_file(const std::string& path, const BeamLibraryUnits& units,
                             const OneBased<BeamSection>& sections);
