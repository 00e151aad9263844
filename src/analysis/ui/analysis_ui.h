// The analysis commands of the layout window: Analyze (F12, the Misc menu
// and the tool button) with its progress dialog, and the Load Cases dialog
// of the Loads menu.
#pragma once

#include "framework/sha256.h"

#include "platform/handles.h"

#include <string>
#include <vector>

// ANALYSIS_DIALOG: the progress of a run.
inline constexpr int ANALYSIS_STEP_TEXT = 1201;       // the load case or stage
inline constexpr int ANALYSIS_DETAIL_TEXT = 1202;     // the iteration report
// LOAD_CASES_DIALOG.
inline constexpr int LOAD_CASES_AVAILABLE = 1301;     // list of the cases that can be added
inline constexpr int LOAD_CASES_CHOSEN = 1302;        // list of the chosen cases, in run order
inline constexpr int LOAD_CASES_ADD = 1401;
inline constexpr int LOAD_CASES_REMOVE = 1402;
inline constexpr int LOAD_CASES_UP = 1403;
inline constexpr int LOAD_CASES_DOWN = 1404;
inline constexpr int LOAD_CASES_DEFAULTS = 1405;
inline constexpr int LOAD_CASES_STIFFNESS_EXPORT = 1501;
inline constexpr int LOAD_CASES_MODAL_FORCES_EXPORT = 1502;

// The Analyze command: "There is nothing to analyze" for a model without
// elements; a model that is untitled or changed is saved first (nothing is
// analysed when the save does not happen); then the model is checked and
// copied (make_analysis_model) and a worker thread runs the analysis while
// ANALYSIS_DIALOG shows its progress and keeps the model from being edited.
// Cancel stops the run at its next step ("Analysis aborted."). In batch mode
// the dialog closes by itself and the question about load cases that did
// not converge is answered OK. The cases that the model gives nothing to
// carry (unloaded_case_lines) are named in a warning after the run (in
// batch mode on standard error) and counted among the warnings of the status
// line. Returns true when the results file was written.
bool analyze_command(WindowId owner);
// True when the last Analyze wrote results of which a load case did not
// converge (its warning names them; in batch mode on standard error).
bool last_analysis_unconverged();
// One line for each nonlinear case of the last Analyze, with its iterations
// and factorisations ("Operating (W+P1+T1): converged in 17 iterations, 9
// factorisations"); in batch mode each also goes to standard error.
const std::vector<std::string>& last_analysis_case_notes();
// The fingerprint of the model file the last Analyze saved and analysed
// (all 0 before any).
const Sha256Digest& last_analysis_model_fingerprint();
// The headings of the warnings before a run and after its hanger design.
inline constexpr const char* MODEL_WARNINGS_HEADING = "The model is analysed as follows:";
inline constexpr const char* HANGER_WARNINGS_HEADING = "The hanger design:";
// What the last Analyze said of its model before the run (the lines of
// analysis_model_warnings), every line; the message box shows the first
// few. What it said of its hanger design (the hangers it left undesigned
// or gave a constant support) the results file carries
// (ResultsRunRecord::hanger_notes).
const std::vector<std::string>& last_analysis_model_warnings();

// The Load Cases command: LOAD_CASES_DIALOG chooses the load cases of the
// model (stored in the model file) and their order; no chosen case means the
// defaults. True when the choice changed.
bool load_cases_command(WindowId owner);

// Registers the two commands.
void install_analysis_commands();
