// The File > Import command of the layout window and start-up batch mode.
#pragma once

#include "platform/handles.h"

#include <cstddef>
#include <string>

// The Import command: after the question about a modified model, the open
// dialog "Import Model from Batch File" (model batch files, PipePak and
// CAESAR II neutral files; the filter chosen says which). The chosen file
// becomes the model, written to the model file beside it ("<name>.mod",
// asking before an existing one is replaced; Cancel keeps the imported model
// untitled and modified), and shown; a note then says what a neutral file
// held that the model did not take. A refused file is shown with the line it
// names and leaves an empty, untitled model and the settings as they were.
void import_command(WindowId owner);

// Imports the batch file at `path` into the (empty) model and writes the
// model file: the path with its extension (the text from `extension_offset`
// on) replaced by "mod". Outside batch mode an existing model file is
// replaced only when the user says so. False, with the message shown, when
// the file cannot be read (with the system's reason), holds no layout row
// ("The batch file holds no model:\n<path>", nothing written), a line is
// refused, the model file would be the batch file itself or cannot be
// written; the model is then empty and untitled. True when the model was imported (written, or kept untitled when
// the user would not replace the file).
bool import_batch_model(WindowId owner, const std::string& path, std::size_t extension_offset);

// Start-up batch mode for a batch file named on the command line: imports
// it (the last three characters of the path count as its extension), writes
// the model file beside it and analyses it, all without a question, every
// message on standard error too, and ends the program: exit code 0 when the
// model and results files were written, 1 when any step failed. The results
// text report needs the results window, which this version has not got: the
// run ends after the results file. Before it changes any file it removes
// what killed runs left of its outputs, checks that none of them is in the
// way (a folder, a read-only file) and reads the batch file.
void run_batch_mode(const std::string& path);

// Registers the Import command and the batch starter.
void install_exchange_ui();
