// The analysis model of the current document: the only part of the analysis
// (besides its windows) that reads the document. Everything after it works
// on the snapshot it makes.
#pragma once

#include "analysis_core/analysis_model.h"

#include <memory>
#include <string>
#include <vector>

// Builds the snapshot of the current model for a run, on the main thread:
// brings the model build up to date (element records with their names
// checked), copies the rows with their objects and the built bend and jacket
// geometry, the nodes, elements, pairs and lists, the named sets, the
// options, the piping code, ZEDIRUVI, the loads (through
// analysis_load_hooks()), the load cases (the model's chosen ones, or the
// defaults), the element kinds and the output paths; then checks it
// (check_analysis_model). Throws the message of the first fault, which names
// the row; the document is left as it was.
std::unique_ptr<AnalysisModel> make_analysis_model();

// The load cases a run of the current model computes, in the order of the
// results file's blocks: the model's chosen list, or the defaults when it
// has none. The results reader walks this list.
LoadCaseList analysis_load_cases();
// The load cases a run computes when the model has chosen none.
LoadCaseList default_analysis_load_cases();

// The loads of the current model as a run takes them (analysis_load_hooks).
AnalysisLoads current_analysis_loads();

// The results file of the current model: the model file's path with the
// extension "res" ("" for an untitled model), and the stiffness export
// "<model>_K.csv".
std::string results_file_path();
std::string stiffness_export_path();
// The files of the dynamic analyses beside the model: the time-history
// results ".rth", the dynamic susceptibility ".rds" and the modal forces
// export "<model>_modal_forces.csv".
std::string time_history_file_path();
std::string susceptibility_file_path();
std::string modal_forces_export_path();

// The files a run leaves beside a model file, in the order a run removes
// them before it puts another model in that file's place, so that whatever
// stands beside a model file was made from it, wherever the run may stop:
// the results report (".txt"), the dynamic susceptibility, the time-history
// results, and last the results file.
std::vector<std::string> run_output_paths(const std::string& model_path);
// Removes those that exist (a folder of such a name stays) and flushes
// their folder, so that the removals reach the disk before a new model
// file's name does. Throws "Unable to remove the results of the previous
// model:\n<path>\n<reason>" at the first that cannot be removed (those
// after it stay).
void remove_run_outputs(const std::string& model_path);
// Why a run cannot write its files beside a model file, found before it
// changes any: the first of the model file (with `with_model`), the report
// (with `with_report`), the dynamic susceptibility, the time-history
// results and the results file that is a folder or a read-only file, or the
// folder itself when no file can be made in it (each is written through a
// temporary file there). The text begins as that file's writer's failure
// does ("Unable to write results file:\n<path>\nIs a directory."); "" when
// nothing is in the way.
std::string run_outputs_refusal(const std::string& model_path, bool with_model, bool with_report);
// Removes the temporary files of the model file and of the files a run
// leaves beside it that runs no longer living left behind (a run that was
// killed); those of a running process stay.
void remove_stale_run_temporaries(const std::string& model_path);

// Whether the next run writes the stiffness export and the modal forces
// export (choices of the session).
bool& stiffness_export_requested();
bool& modal_forces_export_requested();

// Refuses a results file that was not written for the current model: its
// element count must be the model's and its length the one the model
// implies for analysis_load_cases(). Throws "Results file <path> does not
// match the model.\nPlease reanalyze the model."; a file whose check fails,
// results_damaged_text; a file that cannot be read, "Unable to read results
// file".
void check_results_match_model(const std::string& path);
