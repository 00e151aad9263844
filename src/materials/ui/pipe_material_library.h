// The material library as the program keeps it: a ".mat" file of pipe
// materials (material_library_file.h) read for a pick, or for editing in
// material-library mode, and the pick that copies one of its records into a
// material of the model (LIBRARY_USE_DIALOG).
#pragma once

#include "framework/one_based.h"
#include "materials/material_library_file.h"
#include "materials/pipe_material.h"
#include "platform/backend.h"

#include <cstdint>
#include <string>

// The library loaded for a pick, and the file of the library being edited.
struct MaterialLibrary {
    std::string path;                  // empty: none remembered (untitled)
    std::string directory;             // the folder of the next file dialog
    int32_t code = 0;                  // piping code id
    MaterialLibraryUnits units{};
    OneBased<PipeMaterial> records;    // names empty
};
MaterialLibrary& material_library();
inline int numlibmats() { return material_library().records.size(); }
// Forgets the records and the path (a new program, tests).
void reset_material_library();
// Takes the path as the library's file (its folder for the next dialog);
// in material-library mode the window's title and report name follow it.
void set_material_library_path(const std::string& path);

// Reads a library file into `out` and throws the message text of a failure
// (it names the file, and the record and field of a bad record); `out` may
// then hold part of the file.
void read_material_library_file(const std::string& path, MaterialLibrary& out);
// Reads the file named by material_library().path. On failure the message
// (naming the file) is shown over the owner, the records are emptied, the
// path is forgotten and the result is false; nothing else changes.
bool read_material_library(WindowId owner);
// Reads a ".mat" file or converts an ".mdb" one (old_material_library_ui.h)
// into the library; any other extension is refused with "File extension
// must be : mat or mdb". False when nothing was read.
bool read_material_library_at(WindowId owner, const std::string& path);
// The open dialog ("Open Material Library", *.mat and *.mdb), then the read.
// False when cancelled or not read.
bool open_material_library(WindowId owner);

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
