// The hanger interface file (".cli") for an outside hanger-design program:
// one ';'-separated record per designed spring hanger and constant support
// (user and rod hangers are left out), from the hangers' designed values
// (the design records of the results read last, else the model's),
// in METRIC (mm, N, degC) or IMPERIAL (inch, lb, degF) units after the
// model's length unit.
//
// Where the hanger's row names no pipe section, Pipe and Insul are 0; where
// it names no pipe load, Temp is the model's reference temperature (the
// pipe stands at ambient). A hot load of 0 gives a load variation of 0.
#pragma once

#include "exchange/export_file.h"

#include <ostream>
#include <string>

// Throws, before writing, a message naming the row of a tag, node text or
// designed name that holds ";" or a line end.
void write_hanger_interface_text(std::ostream& out);
std::string hanger_interface_text();
// "Unable to open LICAD export file:\n<path>" when the file cannot be made.
void export_hanger_interface_at(const std::string& path, const ExportBufferFilter& filter = {});
