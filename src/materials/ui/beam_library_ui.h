// The beam section library: the library loaded for a pick, its browser
// (LIBRARY_USE_DIALOG) that serves the "Beam &Library..." pick of the beam
// sections, and the library as a document edited in the list window with
// the beam sections table.
#pragma once

#include "framework/one_based.h"
#include "materials/beam_library_file.h"
#include "materials/beam_section.h"
#include "materials/ui/library_mode.h"
#include "platform/backend.h"

#include <string>

struct BeamLibrary {
    std::string path;        // empty: none remembered (untitled)
    std::string directory;
    int32_t version = 0;
    BeamLibraryUnits units{};
    OneBased<BeamSection> records;   // names empty
};
BeamLibrary& beam_library();
inline int numlibbeams() { return beam_library().records.size(); }
void set_beam_library_path(const std::string& path);
const LibraryFile& beam_library_file();

// Reads the file named by beam_library().path; a failure is shown over the
// owner, empties the library and forgets the path.
bool read_beam_library(WindowId owner);
// "Open Beam Library"; a file of another extension is refused ("File
// extension must be : bli"). False when nothing was read.
bool open_beam_library(WindowId owner);
// The browser over the loaded library: the 1-based entry chosen, 0 for none.
int run_beam_library_browser(WindowId owner);
// The pick: loads the remembered library or asks for one, runs the browser
// and gives the chosen entry. False when none was chosen.
bool choose_beam_library_entry(WindowId owner, BeamSection& entry);

void load_beam_library_into_model();
void open_beam_library_window();
void close_beam_library_window();
void open_beam_library_file(const std::string& path);
void new_beam_library();

// The pick of the beam sections table, the opener of ".bli" and File New's
// beam library.
void install_beam_library_ui();
