// The load cases of a run: the defaults of a model that has none chosen, and
// the steps (Astep) the static driver solves for the chosen ones.
#pragma once

#include "model/load_cases.h"

#include <cstdint>
#include <vector>

struct AnalysisLoads;
struct AnalysisModel;
struct DisplacementSets;
struct LayoutRow;
struct Model;

// The load cases of a model whose load-case list is empty (an imported
// model chooses none): Sustained (W+P); Expansion (Tk) and Operating
// (W+Pk+Tk) for each thermal set k in use (numtloads); Seismic (g) when a
// static g factor is given; the wind cases of the defined wind loads (Wind,
// Wind 2..4); Cold spring (W+P) and Cold spring (W+Pk+Tk) for each set when
// the model has cut pipes; Settlement when `settlement`
// (settlement_case_by_default); Hydrotest when a hydrotest load is defined.
LoadCaseList default_load_cases(const AnalysisModel& model);
LoadCaseList default_load_cases(int numtloads, const AnalysisLoads& loads, bool cut_pipes, bool settlement);

// The specified displacements of an anchor's or a nozzle's row; null for
// any other row.
const DisplacementSets* displacement_sets_of(const LayoutRow& r);
// The nodes of the anchors and nozzles given a settlement, in row order.
std::vector<int32_t> settlement_nodes(const Model& model);
// Whether the defaults take Settlement: a settlement is given and the
// piping code has the case (code_is_class2_group).
bool settlement_case_by_default(const Model& model, int32_t piping_code);

// One step of a run: the code solved and whether its results are written
// (a case solved only because an Expansion range needs it is not).
struct AnalysisStep {
    int code = 0;
    bool written = true;
};

// The steps for the model's load cases, in their order: each chosen static
// code once; before an Expansion range (Ti-Tj) the Expansion (Ti) and (Tj)
// cases that it is the difference of, when they are not solved already.
// After them, when a dynamic case is chosen: Modal analysis (30, written
// only when chosen); for Response spectrum the X, Y and Z acceleration steps
// (26-28) of the directions with a spectrum; Seismic displacement (33) and
// Missing mass (34) when chosen; then Combining acceleration results (29)
// and Response spectrum (31); then Force spectrum (37), Time history (35)
// and Harmonic response (36) as chosen.
std::vector<AnalysisStep> load_cases_from_model(const AnalysisModel& model);

// True for the codes the dynamic analyses solve (26-31, 33-37).
bool load_case_solved_dynamically(int code);

// The case whose converged state the occasional cases (Seismic (g), Wind,
// Wind 2-4) and the dynamic analyses of a nonlinear model stand in: Static
// analysis when it is chosen, else Operating (W+P1+T1), the piping in
// service.
int base_state_case(const LoadCaseList& chosen);
