// The dynamic analyses of a run, after its static cases: the modes (30),
// the response spectrum (31) with its acceleration steps (26-29), the
// seismic anchor displacements (33) and the missing mass (34), the force
// spectrum (37), the time history (35) and the harmonic response (36).
//
// The stiffness is the modal step's: the model as the first operating case
// left it (a nonlinear model stands in the state its base case converged
// to, Operating (W+P1+T1) or Static analysis when it is chosen, so that its
// supports and joints keep their states and secants), friction as "Friction in dynamics" says, the
// hanger springs as "Include hanger stiffness" says, snubbers acting. The
// mass is the lumped translational mass of every element and data item
// (weight / 386.4 in/s2) and the rigid bodies of the concentrated masses at
// their offsets; there is no rotary inertia of the pipe.
//
// Modes: eigen_solver.h, up to the options' number of modes and below their
// cutoff frequency (0 for either: no limit), with the Sturm check. Each
// mode's response (displacements, end forces, support loads) is recovered
// once from its shape; the analyses scale and combine those.
//
//   31  each direction with a spectrum: mode i responds with
//       G_id Sa_d(f_i) / w_i^2 times its shape (G_id its participation
//       factor), the modes combined as the response-spectrum input says;
//       with "Include missing mass" the static response to the mass the
//       modes leave, (M r_d - sum G_id M phi_i) times the spectrum's
//       zero-period acceleration, joins it (SRSS or absolute sum); the
//       directions are then combined; the seismic anchor displacements (33),
//       when chosen, add in absolute value. The accelerations (in/s2) follow
//       the same way. Magnitudes.
//   33  the static response to the anchors' seismic displacements.
//   34  the missing-mass responses of the directions, combined.
//   37  each force-spectrum load drives mode i with phi_i^T F DLF(f_i); the
//       modes combined, and with "Include missing mass" the static response
//       of the modes not found times the load factor at the spectrum's
//       rigid end. Magnitudes.
//   35  modal superposition of the time-varying loads, each mode integrated
//       exactly for loads linear between the time steps (time_integration.h)
//       with the options' damping; with "Include missing mass" the static
//       response of the modes not found follows the loads. The results
//       block holds each value of largest magnitude over every time step,
//       with its sign; the time-history file (".rth") the values at each
//       output interval when "Save results" is on.
//   36  for each load frequency, the steady state of the harmonic loads
//       with their phases: each mode through its receptance with the time-
//       history damping, with the static correction of the modes not found
//       when "Include missing mass" is on; the amplitude of each value, and
//       the amplitudes of the frequencies added. Magnitudes.
//
// The modal superposition with the static correction of the modes not found
// is exact in the limit of all modes, and keeps the modal damping the
// options give; a direct solution of K - W^2 M + i W C would need a damping
// matrix the model does not define.
#pragma once

#include "analysis/results_file.h"
#include "analysis_core/analysis_run.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// What the dynamic analyses take of the static driver of their run.
class RunServices {
public:
    virtual ~RunServices() = default;
    virtual void progress(const std::string& text) = 0;
    // Throws "Analysis aborted." when the run was cancelled.
    virtual void check_cancel() = 0;
    // Assembles every element, pair and item in the current step: the
    // stiffness (unless the run says it is held), the loads or, in the modal
    // step, the masses.
    virtual void assemble() = 0;
    // Factorises the assembled stiffness; an unstable model throws its
    // message, naming the node.
    virtual void factor() = 0;
    // The end forces and support loads of the run's solution in the current
    // step, as case `code` of the results file's model.
    virtual CaseResults recover(int code) = 0;
    // Puts the run in the states the base case converged to
    // (base_state_case), solving it first when the run has not.
    virtual void hold_base_state() = 0;
    virtual bool nonlinear() const = 0;
};

// The modes of a run, as the results and the other analyses use them.
struct RunModes {
    std::vector<double> eigenvalues;                   // w^2, ascending
    std::vector<double> frequencies;                   // Hz
    std::vector<std::vector<double>> shapes;           // by equation (0-based), mass-normalised
    std::vector<std::array<double, 3>> participation;  // X, Y, Z factors
    std::array<double, 3> total_mass{};                // of each direction
    std::vector<std::string> notes;
};

class DynamicAnalysis {
public:
    DynamicAnalysis(AnalysisRun& run, RunServices& services);
    ~DynamicAnalysis();
    DynamicAnalysis(const DynamicAnalysis&) = delete;
    DynamicAnalysis& operator=(const DynamicAnalysis&) = delete;

    // Solves the dynamic step of this code (StepSolve::Modal or Dynamic)
    // and puts its results into `results` by code; `chosen` says which
    // codes the run writes (31 takes 33 only when it is chosen).
    void solve(int code, const LoadCaseList& chosen, std::map<int, CaseResults>& results);

    bool has_modes() const;
    const RunModes& modes() const;
    // The modal block of the results file.
    ModalBlock modal_block() const;
    // After the results file was written: the time-history file, the
    // dynamic-susceptibility file and the modal forces export, each put in
    // place.
    void write_files();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
