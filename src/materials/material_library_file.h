// The material library file (".mat"): the 16-byte header (library_file.h),
// the piping code, the five unit choices its values are shown in (density,
// temperature, modulus, expansion, stress), the count and the materials in
// the model file's record form.
#pragma once

#include "framework/one_based.h"
#include "materials/pipe_material.h"

#include <array>
#include <cstdint>
#include <string>

inline constexpr char MATERIAL_LIBRARY_KIND[] = "KORVANEWMAT";
inline constexpr char MATERIAL_LIBRARY_MAGIC[] = "KORVANEWMAT6900";
inline constexpr int MATERIAL_LIBRARY_UNIT_COUNT = 5;
// The quantities of the five stored unit choices, in file order.
inline constexpr int MATERIAL_LIBRARY_UNIT_QUANTITIES[MATERIAL_LIBRARY_UNIT_COUNT] = {9, 11, 15, 12, 14};
using MaterialLibraryUnits = std::array<int32_t, MATERIAL_LIBRARY_UNIT_COUNT>;

struct MaterialLibraryContents {
    int32_t version = 0;
    int32_t code = 0;                  // piping code id
    MaterialLibraryUnits units{};      // in file order
    OneBased<PipeMaterial> records;
};

// Reads a whole library. Files of version 680 and below number the piping
// codes from 11 upward one lower (11 reads as 12); records of files before
// version 680 carry 4-byte names. Throws the message text of a failure, which
// names the file: a missing file, a header of another kind or with bad
// version digits, a code or unit choice out of range, a count the file cannot
// hold, a short file.
MaterialLibraryContents read_material_library_file(const std::string& path);
// Writes the materials with the code and unit choices (through a temporary
// file renamed into place); throws "Unable to write mat file".
void write_material_library_file(const std::string& path, int32_t code, const MaterialLibraryUnits& units,
                                 const OneBased<PipeMaterial>& materials);
