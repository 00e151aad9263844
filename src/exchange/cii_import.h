// The import of a CAESAR II neutral file (".cii", versions 4.5 to 10.0): a
// fixed-layout text whose sections follow one another in a set order and
// whose lines hold a set count of numbers. The whole file is first read into
// a staging store that touches no model; the model is then built from it:
// rows, sections, materials, pipe loads, units and options, then supports,
// loads and stress intensification factors. Every node stands where the
// file's connections put it, whatever order the elements come in
// (cii_placement.cpp), and a bend is continued by the element that leaves
// its node wherever it stands in the file.
//
// The first bad line ends the import with "line = <n>\n<line>\n<message>";
// a fault found while the model is built names the line of the record that
// holds the value, also one for which the model file's reader or the model
// check would refuse the built model (import_check.h). The model is then empty and the unit choices, piping
// code and analysis options are what they were. A model taken that the
// analysis would refuse as it stands is named so in the closing note.
#pragma once

#include "exchange/neutral_text.h"

#include <istream>
#include <string>

// Reads the text into the current model, which the caller has emptied, and
// returns what the file held that the model did not take.
ImportNotes import_cii_text(std::istream& in);
// The same for a file ("Unable to open import file:\n<path>").
ImportNotes import_cii_file_at(const std::string& path);
