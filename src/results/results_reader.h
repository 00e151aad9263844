// The results file reader. The file carries no table of contents: every
// block position follows from the model in memory (nodes, rows and their
// supports, the load-case list the analysis ran) and the element and soil
// counts the file holds. So results are only read against the model that
// was analysed: before anything is allocated from the file's counts, its
// length must be the one that model implies, its element count the model's
// and every element record the model's element; otherwise "Results file
// does not match the model.\nPlease reanalyze the model." and nothing
// changes.
//
// Bulk values (displacements, forces, support loads, mode shapes) are read
// on demand for the current load case or mode, each block with one seek and
// one read into its preallocated array.
#pragma once

#include "results/results_state.h"

#include <string>

inline constexpr const char* RESULTS_MISMATCH_TEXT =
    "Results file does not match the model.\nPlease reanalyze the model.";
inline constexpr const char* RESULTS_UNREADABLE_TEXT = "Unable to read results file";

// Reads the results file at `path` against the model in memory and makes
// them the open results (results()): element table and lists, soil records,
// load cases in display order (the first current), availability flags,
// modal scalars, the supports' block layout (each layout row's
// results_offset and results_words), the nodes' has_results flags, the
// hangers' design records, the guides' axes, and the code records
// allocated and initialised. The file stays open for the on-demand readers.
// A bad file throws its message text and leaves the model and the open
// results as they were:
//   an old header: "Results file is in Version %.2f format.\nUnable to read results file."
//   another magic: "Unable to read results file"
//   another version: "Program version = 10.20\nResults version = %.2f\nPlease reanalyze the model."
//   any disagreement with the model: RESULTS_MISMATCH_TEXT.
void read_results(const std::string& path);

// Forgets what the on-demand readers have loaded.
void clear_loaded_results();

// The on-demand readers. Each reads from the open file; a read that fails
// or gives a value that is not a finite number throws
// "Unable to read results file" with the path, and the arrays keep zeros.
//
// The displacements of the current case (always read again), then the
// displacement extremes; clears the mode and acceleration markers and the
// deflection magnification.
void read_load_case_displacements();
// The accelerations of the Response spectrum case (code 31) into the
// displacement array, when not loaded.
void read_spectrum_accelerations();
// The shape of the current mode (results().current_mode, clamped to the
// modes) into the displacement array, when not loaded.
void read_mode_results();
// The element forces of the current case, when another case is loaded.
void read_load_case_forces();
// The support loads of the current case into each support row's item
// (always read again); guide loads are turned into the guide's axes at
// their node (as read_results found them), and made absolute in a dynamic
// case.
void read_load_case_support_loads();

// The element forces of the case with this code, read into `out` (the
// code evaluation's reader); zeros for a code not among the results.
void read_load_case_forces_of(int code, OneBased<ElementForceRecord>& out);

// The piping-code groups the availability flags follow, from the presence
// of each code: `buried` when soils are defined and a pipe section names a
// soil, `branch_sifs` when the model has a branch SIF.
ResultsAvailability results_availability(const std::array<uint8_t, MAX_LOAD_CASE_CODE + 1>& present,
                                         int32_t piping_code, bool use_b31j, bool buried, bool branch_sifs);
