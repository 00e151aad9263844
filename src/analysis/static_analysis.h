// The static analysis driver: from an analysis model to the results of its
// load cases and the results file. It runs on whatever thread calls it and
// reads nothing but the model and the run.
//
// A run:
//   1. the elements make their state (their kind's init), once, and every
//      element and data item resets it;
//   2. the structure pass: every element, coupled pair and data item
//      assembles once without values, which gives the node graph; the nodes
//      it touches are the nodes of the analysis, numbered in the model's
//      order, and the equation store is made from the graph (its
//      fill-reducing order and the shape of its factor, equation_store.h);
//   3. each step of load_cases_from_model, in order: the step is set, the
//      states reset, and then it is assembled (every element by
//      its kind, the coupled pairs, every data item's stiffness and loads,
//      seismic g loads in a seismic step), factorised and solved; a linear
//      model solves once, reusing the factorised stiffness of an earlier
//      step of the same temperature and pressure sets; a nonlinear model
//      iterates (below), factorising again only when its stiffness changed. The end forces of every element and the support
//      loads of every data item are then recovered;
//   4. the Expansion ranges are the differences of their two cases; in a
//      model with nonlinear items an Expansion (Tk) case is the difference
//      Operating (k) minus Sustained, both solved for it whether chosen or
//      not (a linear model solves its step of the heat alone); a
//      Seismic (g) case with more than one direction flagged is solved one
//      direction at a time and combined (combine_seismic_directions); an
//      occasional case of a nonlinear model (Seismic (g), Wind, Wind 2-4)
//      stands on the converged state of the base case (base_state_case,
//      the state the dynamic analyses take), and Settlement on that of
//      Sustained: the state that the base case's loads and the case's own
//      reach from the base state, along the load path from there, less the
//      base state (Driver::solve_on_base), so that the base case plus the
//      case is a state the supports allow; Seismic (g), which has no sign,
//      is solved so both ways in each direction and takes the larger change
//      (seismic_larger_change); those solutions, which depend on nothing but
//      the state they start from, are solved at once, each on a run of its
//      own standing in that state, on as many threads as the processors
//      allow, with the same bits as one after the other
//      (Driver::solve_standing_cases);
//   5. the dynamic cases after the static ones (dynamic_analysis.h), on the
//      stiffness of the modal step;
//   6. the results file (with the modal block and the accelerations of the
//      response spectrum), the stiffness export when asked for, and the
//      files of the dynamic analyses (time history, dynamic
//      susceptibility, modal forces).
//
// Nonlinear iterations: after each solution every nonlinear element and data
// item updates its state; the step is solved again until none changes by
// more than the iteration tolerance of the analysis options (relative; 0.001
// by default), at most the options' maximum number of iterations (100 by
// default). An iteration whose assembled stiffness is, term by term, the one
// already factorised (every support kept its state and secant; friction
// changes only loads) solves with that factor, and its report says so. A load case still not converged then is put to the user
// (answered OK in batch mode): OK keeps its results, the last solution, and
// the run reports the case as not converged at its end; Cancel stops the
// run as "Analysis aborted.".
//
// A nonlinear case's note (case_note) says whether it was solved at once
// or along its load path; one that stands on another's state
// (from_state_note), which state, and the iterations of its solutions.
//
// Faults end the run with a message and no results file: an unstable model
// ("Model is unstable at node 30 in the Z direction"), an element kind
// without analysis functions ("Invalid element type %d in assemble elems"),
// a failed internal check and a cancel ("Analysis aborted.").
#pragma once

#include "analysis/dynamic_analysis.h"
#include "analysis/load_case_steps.h"
#include "analysis_core/analysis_run.h"

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct RunCallbacks {
    // A line of progress ("Load case 2 of 5: Expansion (T1)", an iteration
    // report); called on the run's thread.
    std::function<void(const std::string& text)> progress;
    // Asked when a load case has not converged; true keeps its results and
    // goes on. Without it the results are kept.
    std::function<bool(const std::string& question)> ask_unconverged;
    // Set by the window to stop the run at its next step or iteration.
    const std::atomic<bool>* cancel = nullptr;
    // Every nonlinear case along its load path, without the direct solution
    // first (the tests of the path).
    bool load_path_only = false;
    // Each state a case reaches from the state of the case it stands on (the
    // base case plus the case, before the difference is taken), with the
    // name its lines give it ("Seismic (g) -Y"): what the tests check of
    // those states.
    std::function<void(const std::string& name, const CaseResults& state)> state_reached;
};

struct RunOutcome {
    bool completed = false;          // the results file was written
    std::string message;             // the text that ended the run, when it did not complete
    std::vector<int> unconverged;    // codes of the cases that did not converge
    // One line for each step that did not converge, naming its case and its
    // worst item with the node (unconverged_step_text).
    std::vector<std::string> unconverged_details;
    // One line for each nonlinear case solved, with its iterations and
    // factorisations (case_note).
    std::vector<std::string> case_notes;
    // One line for each case the model gives nothing to carry
    // (unloaded_case_lines).
    std::vector<std::string> unloaded_cases;
    // What the hanger design has to say of a completed run (hangers left
    // undesigned or given a constant support), one line each.
    std::vector<std::string> warnings;
    // What the modal analysis has to say (fewer modes found than asked, and
    // what limited them), one line each.
    std::vector<std::string> modal_notes;
};

// The warnings a run collects (a state of the run).
struct RunWarnings : CopiedState<RunWarnings> {
    std::vector<std::string> lines;
};

// The line of a step that has not converged: "Operating (W+P1+T1): 2
// nonlinearities not converged after 100 iterations; largest change 12.5%
// at Guide, node 30"; with the name the case is shown by ("Seismic (g) -Y").
std::string unconverged_step_text(const AnalysisRun& run, int code, int iterations);
std::string unconverged_step_text(const AnalysisRun& run, const std::string& name, int iterations);
// "Operating (W+P1+T1): converged in 17 iterations, 9 factorisations", or
// "... not converged after 100 iterations, ..." for a nonlinear case; for
// one that followed its load path "... converged along its load path in
// 2436 iterations, ..." or "... not converged along its load path after
// ...".
std::string case_note(int code, bool converged, int iterations, int factorisations, bool along_path = false);
// The same of a step by the name the run's lines give it (a pass of the
// hanger design: "Calculating hanger travel (T2): converged in ...").
std::string case_note(const std::string& name, bool converged, int iterations, int factorisations,
                      bool along_path = false);
// "Seismic (g): from the state of Operating (W+P1+T1), converged in 12
// iterations" (or "..., not converged after 100 iterations") for a case of
// a nonlinear model that stands on the state of its base case, its
// iterations those of all its solutions; "... of Operating (W+P1+T1),
// which did not converge, ..." when the base case did not.
std::string from_state_note(int code, int base, bool base_converged, bool converged, int iterations);

// The Seismic (g) change of one direction of a nonlinear model, from the
// changes the load makes one way (+g) and the other (-g): value by value
// the larger in size, as a magnitude. Converged when both are.
CaseResults seismic_larger_change(const CaseResults& up, const CaseResults& down);

// The results of the directions of a seismic g case combined value by value:
// the sum of the magnitudes (combination 1) or the square root of the sum of
// the squares (2). The combined values are magnitudes; the case has
// converged when every direction has.
CaseResults combine_seismic_directions(const std::vector<CaseResults>& parts, int combination);

// Solves every step of the model's load cases and returns the results by
// code (the written cases and those they are made of; Modal analysis with
// no values, its modes in `modes`). Throws the message of a fault.
std::map<int, CaseResults> solve_load_cases(AnalysisRun& run, const RunCallbacks& callbacks,
                                            std::vector<std::string>* unconverged_details = nullptr,
                                            RunModes* modes = nullptr);

// The whole run: solve_load_cases, then the results file at
// model.output.results_path (and the stiffness export). Catches every
// message; sets analysis_running() on the calling thread while it runs, so
// that a failed internal check ends the run instead of the process.
RunOutcome run_analysis(const AnalysisModel& model, const RunCallbacks& callbacks);
