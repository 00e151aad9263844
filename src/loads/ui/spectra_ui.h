// Input of response spectra, force spectra and time functions: the tables of
// the list window ("Spectra", "Force Spectra", "Time Functions"), the
// spectrum dialog with its table of points and the spectrum options dialog
// (command 306), the reading of a spectrum from a text file (command 250),
// the CSV export of the current curve (the list window's Export), the time
// function dialog and TIME_HISTORY_DIALOG.
#pragma once

#include "framework/ui/table.h"
#include "loads/spectrum.h"
#include "platform/backend.h"

// SPECTRUM_DIALOG on record `index` of a list (count() + 1: the spare, which
// OK appends as a new record); IDOK when stored.
int edit_spectrum(SpectrumList& list, int index, WindowId owner = 0);
// SPECTRUM_OPTIONS_DIALOG on a record's options; true when they changed.
// The ordinate of a force spectrum is its load factor and stays so.
bool edit_spectrum_options(Spectrum& spectrum, bool force, WindowId owner = 0);
// Reads a spectrum from a curve text file (chosen in the open dialog) into a
// new record of the list, named after the file (a taken name gets "-2",
// "-3"...), with the spare's options; the new index, 0 when cancelled. A bad
// file is refused with its message and adds nothing.
int read_spectrum_command(SpectrumList& list, WindowId owner = 0);

// TIME_FUNCTION_DIALOG on function k (numtimefunctions() + 1 appends one).
int edit_time_function(int k, WindowId owner = 0);
// TIME_HISTORY_DIALOG on the time-history options.
int edit_time_history_options(WindowId owner = 0);

TableWindow& spectra_table();
TableWindow& force_spectra_table();
TableWindow& time_functions_table();
void open_spectra_table();
void open_force_spectra_table();
void open_time_functions_table();

void install_spectra_ui();
