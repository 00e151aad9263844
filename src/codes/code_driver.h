// The piping-code evaluation as the results run it: the driver that
// init_results calls once when results open (code_records.h), which
// evaluates the model on the results' end forces (code_evaluation.h) and
// fills the records the results allocated; and what the result tables ask
// of it afterwards: the code stress of a pipe's ends in a load case, the
// no-code stresses of the case a table shows, and the notes to show once.
//
// Records filled (each value marked evaluated, everything else left as the
// results allocated it):
//   pipes         the sustained (SL of Sustained) and hydrotest stresses of
//                 both ends; under no code the von Mises, maximum and
//                 minimum stresses of the case last asked for
//                 (evaluate_no_code_case), Static analysis at first;
//   element_sifs  the in-plane, out-of-plane, axial and torsion SIFs of both
//                 ends;
//   node_sifs     the 14 factors of each node's data items;
//   flexibility   each element's "FFt", "FFo", "FFi";
//   evaluation    per element and category (StressCategory: sustained,
//                 expansion, occasional, operating, hydrotest) the
//                 governing stress of each end, its allowable where one
//                 applies and the load case that governs;
//   stresses      the evaluation itself: every end's stress in every load
//                 case with a stress label.
#pragma once

#include "codes/code_evaluation.h"
#include "codes/code_records.h"

#include <memory>
#include <string>
#include <vector>

struct AnalysisModel;

// What the records keep of an evaluation.
struct CodeStressEvaluation {
    std::shared_ptr<const AnalysisModel> model;
    CodeStressResults results;
};

// Evaluates `model` (the snapshot the results were checked against, with
// the input's piping code and options) on the input's forces and fills the
// records.
void evaluate_code_records(std::shared_ptr<AnalysisModel> model, const CodeEvaluationInput& input,
                         ExpansionModulus solved_with, CodeRecords& records);

// Fills the records from an evaluation (above).
void fill_code_records(std::shared_ptr<const CodeStressEvaluation> evaluation, CodeRecords& records);

// Registers the driver: it makes the snapshot of the document's model (the
// results open on the main thread, for the model they were checked
// against) and reads from the results file which modulus the expansion
// cases were solved with.
void install_code_evaluation();

// ---- What the tables ask ---------------------------------------------------------

// The code stress of both ends of a pipe in a load case with a stress
// label; not evaluated for any other case, for a code without stresses and
// before an evaluation. The three names are those the force tables call
// for the occasional, operating and expansion cases; all read the one
// evaluation.
EndValues pipe_case_stresses(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case);
EndValues element_end_stresses(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case);
EndValues element_end_stresses_basic(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case);
EndValues element_end_stresses_branch(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case);
// The allowable of the same (not evaluated where none applies).
EndValues pipe_case_allowables(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case);

// Under no code: the von Mises, maximum and minimum stresses of a load case
// from its forces into the pipe records (the no-code table's refresh).
// Nothing without an evaluation or under another code.
void evaluate_no_code_case(CodeRecords& records, int32_t load_case, const OneBased<ElementForceRecord>& forces);

// The evaluation's notes: what it could not do ("Code stresses are not
// available for %s"), where a formula left its range; empty without one.
std::vector<std::string> code_evaluation_notes(const CodeRecords& records);
