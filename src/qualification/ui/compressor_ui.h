// The compressors and turbines of the model: COMPRESSOR_DIALOG, the one
// input table that shows either list ("Compressors" or "Turbines") in the
// list window, and both lists in the input report.
#pragma once

#include "platform/backend.h"
#include "qualification/compressor_evaluation.h"

class TableWindow;

// Runs COMPRESSOR_DIALOG on a record of the list of `kind` (its number in
// the caption); 1 when OK closed it, 0 when cancelled.
int edit_compressor(CompressorRecord& record, int number, int kind, WindowId owner);

// The Misc menu's "C&ompressors" (194) and "T&urbines" (195).
void show_compressors_table();
void show_turbines_table();
TableWindow& compressors_table();

// The lists in the current report destination; nothing for an empty list.
void print_compressors();
void print_turbines();

// The commands 194 and 195, the data lists and the table reset.
void install_compressors_ui();
