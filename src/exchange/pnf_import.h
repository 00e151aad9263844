// The import of a PipePak neutral file (".pnf"): a line-oriented keyword text
// of units, piping code, materials, pipe sections, pipe loads and a run of
// element, support, fitting and load lines at named nodes. The file is read
// twice: the first pass makes the rows and the property sets, the model is
// built, the second pass turns pipes into valves, cut pipes, reducers and
// bellows; the model is built again and its fix-ups done.
//
// The first bad line ends the import with "Line = <n> :  <line>\n<message>"
// (then " :  <word>"), and so does a built model that the model file's reader
// or the model check would refuse, at the line of its row (import_check.h);
// the model is then empty and the unit choices, piping code and analysis
// options are what they were.
#pragma once

#include "exchange/neutral_text.h"

#include <istream>
#include <string>

// Reads the text into the current model, which the caller has emptied, and
// returns what the file held that the model did not take.
ImportNotes import_pnf_text(std::istream& in);
// The same for a file ("Unable to open import file:\n<path>").
ImportNotes import_pnf_file_at(const std::string& path);
