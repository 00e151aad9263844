// The material library as the model sees it: a ".mat" file of pipe materials
// read for picking, and the pick that copies one of its records into a
// material of the model (LIBRARY_USE_DIALOG).
//
// The file begins with the 16-byte header "KORVANEWMAT6900" (kind, four
// version digits, NUL), then the piping code, five unit choices, the count
// and the records in the model file's record form.
#pragma once

#include "framework/one_based.h"
#include "materials/pipe_material.h"
#include "platform/backend.h"

#include <cstdint>
#include <string>

inline constexpr char MATERIAL_LIBRARY_KIND[] = "KORVANEWMAT";
inline constexpr char MATERIAL_LIBRARY_MAGIC[] = "KORVANEWMAT6900";
inline constexpr int MATERIAL_LIBRARY_UNIT_COUNT = 5;
// The quantities of the five stored unit choices, in file order.
inline constexpr int MATERIAL_LIBRARY_UNIT_QUANTITIES[MATERIAL_LIBRARY_UNIT_COUNT] = {9, 11, 15, 12, 14};

// The library loaded for picking.
struct MaterialLibrary {
    std::string path;                  // empty: none remembered
    int32_t code = 0;                  // piping code id
    int32_t units[MATERIAL_LIBRARY_UNIT_COUNT] = {};
    OneBased<PipeMaterial> records;    // names empty
};
MaterialLibrary& material_library();
inline int numlibmats() { return material_library().records.size(); }
// Forgets the records and the path (a new program, tests).
void reset_material_library();

// Reads a library file into `out` and throws the message text of a failure
// (it names the file, and the record and field of a bad record); `out` may
// then hold part of the file.
void read_material_library_file(const std::string& path, MaterialLibrary& out);
// Reads the file named by material_library().path. On failure the message
// (naming the file) is shown over the owner, the records are emptied, the
// path is forgotten and the result is false; nothing else changes.
bool read_material_library(WindowId owner);
// The open dialog ("Open Material Library", *.mat and *.mdb), then the read.
// False when cancelled or not read.
bool open_material_library(WindowId owner);
// The version of a library header: the number of the three characters after
// the kind ("6905" reads as 690); -1 when the kind or the digits are wrong.
int material_library_header_version(const std::string& header16);

// LIBRARY_USE_DIALOG: the index 1..numlibmats() of the picked record, 0 on
// Cancel. Needs a loaded library.
int run_library_use_dialog(WindowId owner);
// A library with materials is loaded, reading the remembered file or asking
// for one; false (after "There are no materials in ..." where due) when none.
bool ensure_material_library(WindowId owner);
// Refuses a library record that cannot serve as a material (no temperature
// rows); throws the message text.
void check_library_material(const PipeMaterial& record);

// The "&Library..." command of the materials table: fills material `index`
// from a picked library record, keeping its name. True when it changed.
bool pick_material_from_library(WindowId owner, int index);
