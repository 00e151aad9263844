// The libraries shipped with the program are made from text sources kept
// with its code (the folder libraries/), by the program's own readers and
// writers, so that every value can be traced to the source its text notes:
//
//   materials.mlb  a material library batch file (material_batch_file.h)
//   beams.txt      AISC shape designations, one a line; the values are
//                  those of the built-in AISC shape table (aisc_shapes.h)
//   valves.txt     one valve a line: description, standard (ANSI, DIN, JIS,
//                  ISO), nominal size as the standard's size table names it,
//                  ANSI rating, connection code, valve type (as valve_type_name),
//                  length (inch) and weight (lb; empty when no source gives
//                  it); the outside diameter is that of the nominal size
//
// In beams.txt and valves.txt a line starting with "#" is a comment. The
// spectrum library's source is read by the loads layer
// (loads/spectrum_library.h) with the line helpers below.
#pragma once

#include "materials/beam_library_file.h"
#include "materials/material_batch_file.h"
#include "materials/valve_library.h"

#include <string>
#include <utility>
#include <vector>

// The lines of a source that are neither blank nor comments, trimmed, with
// their numbers (from 1).
std::vector<std::pair<int, std::string>> library_source_lines(const std::string& text);
// Throws "Line <number>: <line>\n<what>".
[[noreturn]] void bad_source_line(int number, const std::string& line, const std::string& what);
// The comma-separated fields of a line, trimmed; a trailing comma gives an
// empty last field.
std::vector<std::string> source_fields(const std::string& line);

// Each throws a message text naming the line of a source it cannot use.
MaterialBatch material_library_from_source(const std::string& text);
OneBased<BeamSection> beam_library_from_source(const std::string& text);
OneBased<ValveRecord> valve_library_from_source(const std::string& text);
