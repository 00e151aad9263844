// The import of a model batch file (".mbf") into the model: title, options,
// materials, sections, soils, loads, beam data, layout rows with their
// element and data-item values, equipment, seismic and wind data, each
// section read by its reader line by line. The model is built once, at the
// end of the file or at a "COD" line.
//
// The first bad line ends the import with the import error text, which names
// the line: "Line = <n> :  <line>\n<message>" (then " :  <detail>"). A built
// model that the model file's reader or the model check would refuse is
// refused at the line of its row (import_check.h). Nothing
// of the partial model is kept then: the model is empty, and the unit
// choices, piping code and analysis options (the vertical axis and the
// option flags among them) are what they were before the import.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

// The longest path of a batch file (and of the model file made from it): the
// system's PATH_MAX, 4096, less the NUL that ends a path there.
inline constexpr std::size_t BATCH_PATH_LIMIT = 4095;

// Reads the batch text into the current model, which the caller has emptied
// (init_model). Throws the import error text of the first bad line, having
// emptied the model and put the settings back.
void import_batch_text(std::istream& in);

// An imported model (batch or neutral file) is first seen from (1, 1, 1), whole.
void show_imported_model();

// The same for a file: "Unable to open import file:\n<path>" when it cannot
// be opened (the model as it was).
void import_batch_file_at(const std::string& path);

// The model file beside a batch file: its extension, the text after
// `extension_offset` (the path's length when there is none), replaced by
// "mod". Start-up batch mode takes the last three characters of the path as
// its extension, whatever they are.
std::string batch_model_path(const std::string& batch_path, std::size_t extension_offset);
// True when both paths name the same file (or the same path where neither
// exists yet).
bool same_file(const std::string& a, const std::string& b);

// The unit choices of the batch file's SI keyword: mm, N, Nm, kg, kg/m3,
// degC, bar, MPa, N/mm, Nm/deg, m/s and the like; the angle unit is kept.
void set_batch_si_units();
