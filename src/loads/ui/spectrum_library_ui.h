// The spectrum library: the library loaded for a pick (the spectrum-library
// list of loads/spectrum.h), its browser (LIBRARY_USE_DIALOG with the
// "Spectrum Name" column) that serves the spectra table's "&Library..."
// pick, and the library as a document edited in the list window with the
// spectra table ("Spectrum Library"), SPECLIB_MENU and SPECLIB_ACCEL.
//
// The library mode itself is the materials layer's (library_mode.h); this
// layer gives it the spectrum library's window, file operations and
// records, since the spectra are the loads layer's.
#pragma once

#include "loads/spectrum.h"
#include "materials/ui/library_mode.h"
#include "platform/backend.h"

#include <string>

struct SpectrumLibraryPath {
    std::string path;        // empty: none remembered (untitled)
    std::string directory;   // the folder of the next file dialog
};
SpectrumLibraryPath& spectrum_library_path();
void set_spectrum_library_path(const std::string& path);
const LibraryFile& spectrum_library_file();
// True while the spectrum library is edited in the list window.
bool spectrum_library_mode();

// Reads the file named by the library path into the spectrum-library list
// (emptied first). A failure is shown over the owner, leaves the list empty
// and forgets the path.
bool read_spectrum_library(WindowId owner);
// "Open Spectrum Library"; "File extension must be : spe" for a file of
// another extension. False when nothing was read.
bool open_spectrum_library(WindowId owner);
// The browser over the loaded library: the 1-based row chosen (the spectrum
// at list index row - 1), 0 for none. Needs at least one spectrum.
int run_spectrum_library_browser(WindowId owner);
// The pick: loads the remembered library or asks for one ("There are no
// spectrums in \n<path>" for a library without spectra), runs the browser
// and gives the chosen spectrum. False when none was chosen.
bool choose_library_spectrum(WindowId owner, Spectrum& chosen);
// The spectra table's pick: the chosen spectrum is added to the model's
// spectra, under its own name or, when that is taken, the name with "-2",
// "-3"... Its index, 0 when nothing was added.
int pick_spectrum_from_library(WindowId owner);

void open_spectrum_library_window();
void close_spectrum_library_window();
// The opener of ".spe" files (File Open, the command line).
void open_spectrum_library_file(const std::string& path);
// File New's "Spectrum Library": an empty, untitled library.
void new_spectrum_library();

void install_spectrum_library_ui();
