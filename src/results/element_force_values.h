// What the force tables show of an element end: its end forces in global
// axes with the sign rule of the results, the text of one force or moment
// cell, and the code stress of a pipe's ends in the current load case with
// the heading of its column.
//
// The results file holds each element's end forces in its local axes as
// section forces (the internal force at each end, the same sign at both
// ends of a member in tension). The tables show the forces on the element:
// in a static load case the first end's six values negated and the second
// end's as they are; in a dynamic case (Seismic (g), Response spectrum,
// Harmonic response, Force spectrum), whose values have no sign, every
// value as its magnitude. The local tables show the stored values.
#pragma once

#include "codes/code_records.h"
#include "elements/element_local_axes.h"

#include <functional>
#include <string>

// ---- Global forces and the sign rule ---------------------------------------------------------

// The forces of element `element` of the loaded case (results().forces) in
// global axes, from the axes the analysis used (element_local_axes).
ElementForceRecord results_global_forces(int element);
// The sign rule: the first end negated (static) or every value's magnitude
// (dynamic).
ElementForceRecord forces_on_element(const ElementForceRecord& global, bool dynamic);

// The text of one force column of a twelve-value record: `end` 0 the first
// end, 1 the second (anything else empty); without `shifted` columns 2, 3, 4
// are the three forces and 5, 6, 7 the three moments, with it columns 3 to
// 8; other columns empty. Forces by format_force_integer, moments by
// format_moment_integer, with the sign rule of the current load case. A
// value that is not a number shows empty.
std::string force_cell_text(const ElementForceRecord& values, int column, int end, bool shifted);
// Columns 3 to 8 as stored (no sign rule).
std::string local_force_cell_text(const ElementForceRecord& values, int column, int end);
// One value of an end: forces (index 0..2 of the end) by
// format_force_integer, moments (3..5) by format_moment_integer; empty when
// it is not a number.
std::string end_value_text(float value, int index);

// ---- Code stresses ----------------------------------------------------------------------------

// True when the force tables show the ASME Class 2/3 indices B1 and B2:
// the code is ASME Class 2 (1986, 1992, 2015, 2017) or Class 3 (2017) and
// the load case is Sustained, Hydrotest or occasional (1, 19, 12, 13,
// 107-109, 31, 37, 35, 36).
bool b1_b2_shown(int32_t piping_code, int32_t load_case);

// The stress column of the pipe force tables for a load case: its heading
// ("SL", "SE", "Sopr", "SS", "SL+SO"; for EN 13480 and CODETI in the
// standard table with `en_labels` "S1", "S3", "S6", "S2") and whether it
// is shown; `b1_b2` as b1_b2_shown.
struct PipeStressColumn {
    bool shown = false;
    std::string label;
    bool b1_b2 = false;
};
PipeStressColumn pipe_stress_column(int32_t piping_code, int32_t load_case, bool en_labels);
// The stress column of the current load case under the results' piping
// code, kept as the column the force tables show until the next call.
const PipeStressColumn& set_pipe_stress_label(bool en_labels);

// The stress category of a load case as the IGEM SIF sets and the category
// cell take it: 1 sustained and occasional, 2 expansion, 0 hydrotest,
// settlement and operating, -1 for a case without a code stress.
int pipe_stress_category(int32_t load_case);

// What the force tables take for the stresses read differently (the Class
// 2/3 stress with B1 and B2, the buried pipeline stresses) in place of the
// evaluation's own (codes/code_driver.h); empty entries: the evaluation's.
struct PipeStressHooks {
    // ASME Class 2/3: the occasional stress, and B1 and B2 of both ends
    // ({B1 end 1, B1 end 2, B2 end 1, B2 end 2}).
    std::function<EndValues(const PipeResultRecord& pipe, int32_t load_case)> class2_stress;
    std::function<std::array<CodeValue, 4>(int32_t element)> b1_b2;
    // Pipeline codes (B31.4, B31.8, Z662; EN 13480 for the expansion): is
    // the element buried, and its stresses in a case then.
    std::function<bool(int32_t element)> buried;
    std::function<EndValues(const PipeResultRecord& pipe, int32_t load_case)> pipeline_expansion;
    std::function<EndValues(const PipeResultRecord& pipe, int32_t load_case)> pipeline_occasional;
};
PipeStressHooks& pipe_stress_hooks();

// The code stress of both ends of a pipe record in a load case, as the
// force tables show it: the record's hydrotest, sustained (Class 2/3 or
// buried pipeline where they apply), settlement stresses, and the
// evaluation's for the operating, expansion and occasional cases. Not
// evaluated for any other case or before an evaluation.
EndValues pipe_end_stresses(const CodeRecords& records, const PipeResultRecord& pipe, int32_t piping_code,
                            int32_t load_case);
// The stress of an end as a cell: format_stress, empty when not evaluated.
std::string stress_value_text(const CodeValue& value);
// The code stress cell of pipe result record `row` in the current load
// case: `which` 0 the first end's stress, 1 the second end's (as
// stress_value_text of pipe_end_stresses), 2 the stress category
// ("1", "2" or "0"; empty for a case without a code stress); any other
// `which` or row gives the empty text.
std::string pipe_stress_cell_text(int row, int which);
