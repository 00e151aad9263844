// The material library batch file (".mlb"): a text form of a material
// library, one record a line, fields separated by commas.
//
//   OPTIONS
//   B313,SI
//   MATERIAL
//   A106 GRADE B,7833,0.300,1.00,1.00,CS,241.3
//   A106 GRADE B,21.11,203400,11.7e-6,137.9,,,,
//
// Keyword lines start a section: a first field beginning with "OPTIO"
// (options) or "MATER" (materials); a first field "COD" ends the file. Before
// any keyword the section is the options. Lines other than those beginning
// with "*" are read upper-cased; a line beginning with "*" is a comment.
//
// An options line holds words: a piping-code keyword (piping_codes.h; the
// last one wins), "SI" (the values that follow are in kg/m3, degC, MPa,
// mm/mm/degC and MPa) or "ENGLISH" (lb/in3, degF, psi, in/in/degF, psi).
// Without either the values are in the units the library shows.
//
// A material line: description, density, Poisson's ratio, joint factor,
// circumferential joint factor, type code, strength. A line whose first
// field is the description of the material just read is one of its
// temperature points: temperature, modulus (axial for FRP), expansion
// coefficient, allowable, yield and rupture stress, hoop and shear modulus
// (these two in the stress unit). A description that holds a comma, a
// quote or could be taken for a keyword is written in double quotes ("" for
// a quote inside).
#pragma once

#include "framework/one_based.h"
#include "materials/material_library_file.h"
#include "materials/pipe_material.h"

#include <cstdint>
#include <string>

inline constexpr std::size_t MATERIAL_BATCH_LINE_LENGTH = 255;

struct MaterialBatch {
    int32_t code = 0;
    MaterialLibraryUnits units{};      // the units its values were read in
    OneBased<PipeMaterial> materials;  // names empty
};

// Reads the text of a batch file into a new list, starting from the library's
// piping code and unit choices. The first bad line throws "Line = <n> :  <line>
// \n<what is wrong>" (followed by " :  <field>" when a field is at fault);
// nothing is kept of a file that fails. The program's unit choices are left
// as they were either way.
MaterialBatch read_material_batch(const std::string& text, int32_t code, const MaterialLibraryUnits& units);

// The text of a batch file of the materials: the code word, then the values
// in SI units marked ",SI" when the library shows degrees Celsius, else in
// English units marked ",ENGLISH". Throws a message text, before anything is
// written, for a material that could not be read back as itself: one
// without a description, or one whose description repeats that of the
// material before it (their lines could not be told apart). The program's
// unit choices are left as they were.
std::string write_material_batch(int32_t code, const MaterialLibraryUnits& library_units,
                                 const OneBased<PipeMaterial>& materials);

// The unit sets of the two marks, in the file order of the library's units.
inline constexpr MaterialLibraryUnits MATERIAL_BATCH_SI_UNITS = {2, 1, 1, 1, 1};
inline constexpr MaterialLibraryUnits MATERIAL_BATCH_ENGLISH_UNITS = {0, 0, 0, 0, 0};
