// Material libraries of earlier program generations (".mdb"): a 14-byte
// magic field "KORVANE.MDB", a 2-byte version and one of two layouts.
//
// Versions 382 to 410: int32 count, 25 int32 unit choices (quantity q at
// index q - 1), int32 piping code, then 88-byte records (name 4 bytes, type
// 3, description 33 of which 31 are taken, Poisson's ratio, density, joint
// factor, circumferential joint factor and strength as f64, FRP flag and
// row count as int32), each followed by its rows of six f64 (temperature,
// modulus, expansion, allowable, yield and rupture stress).
// Versions 300 to 381: the same with int16 count, 21 int16 unit choices,
// int16 piping code and 64-byte records of f32 values and int16 flag and
// count, with rows of six f32.
// Values are in the program's internal units. A record whose FRP flag is set
// becomes an FRP material (type "FR").
#pragma once

#include "materials/material_library_file.h"

#include <string>

inline constexpr char OLD_MATERIAL_LIBRARY_MAGIC[] = "KORVANE.MDB";
inline constexpr int OLD_MATERIAL_LIBRARY_CONVERTED_VERSION = 500;

// The version of an old library; throws "Material library could not be read"
// (with the path) when the file cannot be opened or is not one.
int old_material_library_version(const std::string& path);
// Reads the library: its materials, piping code and the five unit choices of
// the current library file (versions above 410 and below 300 are refused,
// and so is a library without materials: "There are no materials in the
// library"). Throws the message text of a failure.
MaterialLibraryContents read_old_material_library(const std::string& path);
