// The material library as a document: its window (library mode with the
// materials table), its file operations, the new library, the opening of
// ".mat" and ".mdb" files from the program's Open command, the piping code
// and units dialogs of the library, and the import and export of material
// library batch files (".mlb").
#pragma once

#include "materials/ui/library_mode.h"
#include "platform/backend.h"

#include <string>

const LibraryFile& material_library_file();
// Moves the loaded library into the materials array and makes its piping
// code and unit choices current; the library is then empty.
void load_material_library_into_model();
// Enters material-library mode with the loaded library (or an empty one).
void open_material_library_window();
void close_material_library_window();
// Opens a ".mat" or ".mdb" file as the library to edit. A file that cannot
// be read is reported and changes nothing.
void open_material_library_file(const std::string& path);
// File New's material library: an empty, untitled library.
void new_material_library();

// MATLIB_CODE_DIALOG and MATLIB_UNITS_DIALOG: 1 when the user changed the
// library's piping code or units.
int material_library_code_dialog(WindowId owner);
int material_library_units_dialog(WindowId owner);

// The batch file of the library: reads it into a new list, which replaces
// the library's materials (and its code and units) only when the whole file
// was read. True when read.
bool import_material_batch_file(WindowId owner, const std::string& path);
// Writes the library's materials; the user's unit choices stay as they are.
bool export_material_batch_file(WindowId owner, const std::string& path);

// Registers the openers, the New choice and the window's commands.
void install_material_library_ui();
