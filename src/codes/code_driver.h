// The piping-code evaluation as the results run it: the driver that
// init_results calls once when results open (code_records.h), which
// evaluates the model on the results' end forces (code_evaluation.h) and
// fills the records the results allocated; and what the result tables ask
// of it afterwards: the code stress of a pipe's ends in a load case, the
// no-code stresses of the case a table shows, and the notes to show once.
//
// Records filled (each value marked evaluated, everything else left as the
// results allocated it):
//   pipes         the sustained (SL of Sustained; under ASME Class 2/3 the
//                 P Do/4tn + 0.75 i MA/Z of Eq. (11), the Eq. (8) stress in
//                 `class2_sustained`; for buried pipeline elements also in
//                 `buried_sustained`), settlement and hydrotest stresses of
//                 both ends; under no code the von Mises, maximum and
//                 minimum stresses of the case last asked for
//                 (evaluate_no_code_case), Static analysis at first;
//   frp           per FRP element end the quantities of frp_stress.h
//                 (FrpValue) of its load case of the largest ratio;
//   element_sifs  the in-plane, out-of-plane, axial and torsion SIFs of both
//                 ends;
//   node_sifs     the 14 factors of each node's data items;
//   flexibility   each element's "FFt", "FFo", "FFi";
//   evaluation    per element and category (StressCategory: sustained,
//                 expansion, occasional, operating, hydrotest, settlement,
//                 the pipeline codes' hoop stress) the
//                 governing stress of each end, its allowable where one
//                 applies and the load case that governs;
//   stresses      the evaluation itself: every end's stress in every load
//                 case with a stress label.
#pragma once

#include "codes/code_evaluation.h"
#include "codes/code_records.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct AnalysisModel;

// What the records keep of an evaluation.
struct CodeStressEvaluation {
    std::shared_ptr<const AnalysisModel> model;
    CodeStressResults results;
};

// Makes an analysis model the one its results file holds: where the
// analysis divided buried pipes into segments (results_model), the
// undivided model takes the place of the divided one, so that elements and
// end forces are those of the file.
void take_written_model(AnalysisModel& model);

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
// The same for ASME Class 2/3 occasional cases (Eq. (9)), and for the
// pipeline codes' buried elements (their expansion and occasional cases).
EndValues class2_element_stress(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case);
EndValues pipeline_element_stresses(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case);
EndValues element_end_stresses_pipeline(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case);
// True when the evaluation took the element as buried (pipeline codes and
// EN 13480).
bool element_is_buried_in_results(const CodeRecords& records, int32_t element);
// The ASME Class 2/3 primary stress indices B1 and B2 of an element's two
// ends ([0] node 1); none under other codes or before an evaluation.
std::optional<std::array<B1B2, 2>> stress_indices_b1_b2(const CodeRecords& records, int32_t element);
// The allowable of the same (not evaluated where none applies).
EndValues pipe_case_allowables(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case);

// Under no code: the von Mises, maximum and minimum stresses of a load case
// from its forces into the pipe records (the no-code table's refresh).
// Nothing without an evaluation or under another code.
void evaluate_no_code_case(CodeRecords& records, int32_t load_case, const OneBased<ElementForceRecord>& forces);

// What the reports say beside the stresses of an expansion case whose
// forces the evaluation scaled to the modulus the code asks for
// (code_evaluation.h): the factor E(reference)/E(case) of each material and
// temperature (the first few; under B31.8 and EN 13480 E(larger)/E(case),
// the larger of E(reference) and E(case)), so that SE can be worked from the
// moments the results hold; "" for any other case.
std::string scaled_expansion_note(const CodeRecords& records, int32_t load_case);

// The evaluation's notes: what it could not do ("Code stresses are not
// available for %s"), where a formula left its range; empty without one.
std::vector<std::string> code_evaluation_notes(const CodeRecords& records);
