// The element-kind dispatch table: what the analysis calls, by the element
// record's kind (Elem::kind), to assemble an element, recover its end forces
// and iterate its nonlinear behaviour. Each element layer registers the
// functions of its kinds when it is installed (register_element_kind); a run
// takes a copy of the table when it is made, on the main thread.
//
// An element kind implements, for the element index it is given:
//   assemble   set_element_dofs and the element axes, the local stiffness
//              into run.element().k and assemble_element_stiffness; then, in a
//              modal step, its lumped masses into the load vector, otherwise
//              its loads of the step (run.element().f, assemble_element_loads,
//              and loads put straight into the load vector such as wind);
//   forces     the same stiffness and load vector for the step (with
//              run.force_recovery set by the driver), then element_end_forces;
//   and, when it keeps a state in the run:
//   init       once per run, before anything is assembled: creates its
//              state (run.element_state<T>(element)) and whatever its
//              assembly needs of it (a joint's axis);
//   reset      before each load case;
//   nonlinear  true when this element makes the analysis nonlinear;
//   update     after each solution of a nonlinear model: updates its state, calling
//              check_convergence / check_convergence_abs and
//              count_unconverged for each of its quantities that has not
//              settled (convergence.h).
// The stiffness of an element that is not nonlinear may depend on the step
// only through its temperature and pressure sets (material values, the
// pressure of a bend's flexibility factor): a linear model reuses the
// factorised stiffness of a step for the next steps of the same sets.
// A kind without `assemble` cannot be analysed: the run ends with "Invalid
// element type %d in assemble elems".
#pragma once

#include "model/row_kinds.h"

#include <array>
#include <functional>

class AnalysisRun;

struct ElementKind {
    std::function<void(AnalysisRun& run, int element)> assemble;
    std::function<void(AnalysisRun& run, int element)> forces;
    std::function<bool(const AnalysisRun& run, int element)> nonlinear;
    std::function<void(AnalysisRun& run, int element)> init;
    std::function<void(AnalysisRun& run, int element)> reset;
    std::function<void(AnalysisRun& run, int element)> update;
};

// By element type 0..MAX_ETYPE.
using ElementKindTable = std::array<ElementKind, MAX_ETYPE + 1>;

// Registers (or replaces) the functions of an element kind.
void register_element_kind(int kind, ElementKind functions);
// The registered kinds (main thread).
const ElementKindTable& element_kind_table();
