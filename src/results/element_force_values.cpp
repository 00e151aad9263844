#include "results/element_force_values.h"

#include "codes/code_catalog.h"
#include "codes/code_driver.h"
#include "framework/state.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "results/results_load_cases.h"
#include "results/results_state.h"

#include <cmath>

ElementForceRecord results_global_forces(int element)
{
    const ResultsState& r = results();
    if (!r.forces.valid(element) || !model().elems.valid(element))
        return {};
    return global_element_forces(model(), element, r.forces[element], analysis_options().z_vertical);
}

ElementForceRecord forces_on_element(const ElementForceRecord& global, bool dynamic)
{
    ElementForceRecord out = global;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (dynamic)
            out[i] = std::fabs(out[i]);
        else if (i < 6)
            out[i] = -out[i];
    }
    return out;
}

std::string end_value_text(float value, int index)
{
    if (!std::isfinite(value))
        return {};
    return index % 6 < 3 ? format_force_integer(value) : format_moment_integer(value);
}

namespace {

// The value index of a column of an end: 0..11, or -1.
int value_index(int column, int end, int first_column)
{
    if (end != 0 && end != 1)
        return -1;
    const int i = column - first_column;
    if (i < 0 || i > 5)
        return -1;
    return 6 * end + i;
}

}  // namespace

std::string force_cell_text(const ElementForceRecord& values, int column, int end, bool shifted)
{
    const int i = value_index(column, end, shifted ? 3 : 2);
    if (i < 0)
        return {};
    const ElementForceRecord shown = forces_on_element(values, results_loadcase_is_dynamic());
    return end_value_text(shown[static_cast<std::size_t>(i)], i);
}

std::string local_force_cell_text(const ElementForceRecord& values, int column, int end)
{
    const int i = value_index(column, end, 3);
    return i < 0 ? std::string() : end_value_text(values[static_cast<std::size_t>(i)], i);
}

// ---- Code stresses ----------------------------------------------------------------------------

bool b1_b2_shown(int32_t code, int32_t load_case)
{
    if (!code_is_one_of(code, {CODE_ASME_CLASS2_1986, CODE_ASME_CLASS2_1992, CODE_ASME_CLASS2_2015,
                               CODE_ASME_CLASS2_2017, CODE_ASME_CLASS3_2017}))
        return false;
    // Sustained, Hydrotest and the occasional cases (Wind 2 to 4 are 107-109).
    switch (load_case) {
    case LC_SUSTAINED:
    case LC_HYDROTEST:
    case LC_SEISMIC_G:
    case LC_WIND:
    case LC_RESPONSE_SPECTRUM:
    case LC_FORCE_SPECTRUM:
    case LC_TIME_HISTORY:
    case LC_HARMONIC: return true;
    default: return load_case >= 107 && load_case <= 109;
    }
}

PipeStressColumn pipe_stress_column(int32_t code, int32_t load_case, bool en_labels)
{
    PipeStressColumn c;
    c.label = stress_label(load_case, code, en_labels);
    c.shown = !c.label.empty();
    c.b1_b2 = b1_b2_shown(code, load_case);
    return c;
}

namespace {

struct PipeStressLabel {
    PipeStressColumn column;
};

}  // namespace

const PipeStressColumn& set_pipe_stress_label(bool en_labels)
{
    PipeStressColumn& c = session_part<PipeStressLabel>().column;
    c = pipe_stress_column(piping_code(), results_loadcase_code(), en_labels);
    return c;
}

int pipe_stress_category(int32_t load_case)
{
    switch (case_stress(load_case)) {
    case CaseStress::Sustained:
    case CaseStress::Occasional: return 1;
    case CaseStress::Expansion: return 2;
    case CaseStress::Hydrotest:
    case CaseStress::Settlement:
    case CaseStress::Operating: return 0;
    default: return -1;
    }
}

PipeStressHooks& pipe_stress_hooks()
{
    return session_part<PipeStressHooks>();
}

namespace {

bool pipeline_code(int32_t code)
{
    return code_is_one_of(code, {CODE_B314, CODE_B318, CODE_Z662});
}

bool buried(const CodeRecords& records, int32_t element)
{
    const auto& b = pipe_stress_hooks().buried;
    return b ? b(element) : element_is_buried_in_results(records, element);
}

// A hook when one is set, else the evaluation's own.
EndValues hooked(const std::function<EndValues(const PipeResultRecord&, int32_t)>& f,
                 EndValues (*own)(const CodeRecords&, const PipeResultRecord&, int32_t), const CodeRecords& records,
                 const PipeResultRecord& p, int32_t load_case)
{
    return f ? f(p, load_case) : own(records, p, load_case);
}

}  // namespace

EndValues pipe_end_stresses(const CodeRecords& records, const PipeResultRecord& p, int32_t code, int32_t load_case)
{
    const PipeStressHooks& h = pipe_stress_hooks();
    switch (case_stress(load_case)) {
    case CaseStress::Hydrotest: return p.hydrotest;
    case CaseStress::Sustained:
        if (b1_b2_shown(code, load_case))
            return p.class2_sustained;
        if (pipeline_code(code) && buried(records, p.element))
            return p.buried_sustained;
        return p.sustained;
    case CaseStress::Operating: return element_end_stresses_basic(records, p, load_case);
    case CaseStress::Settlement: return p.settlement;
    case CaseStress::Expansion:
        if ((pipeline_code(code) || code == CODE_EN13480) && buried(records, p.element))
            return hooked(h.pipeline_expansion, pipeline_element_stresses, records, p, load_case);
        return element_end_stresses_branch(records, p, load_case);
    case CaseStress::Occasional:
        if (b1_b2_shown(code, load_case))
            return hooked(h.class2_stress, class2_element_stress, records, p, load_case);
        if (pipeline_code(code) && buried(records, p.element))
            return hooked(h.pipeline_occasional, element_end_stresses_pipeline, records, p, load_case);
        return element_end_stresses(records, p, load_case);
    default: return {};
    }
}

std::string stress_value_text(const CodeValue& value)
{
    return value.evaluated && std::isfinite(value.value) ? format_stress(value.value) : std::string();
}

std::string pipe_stress_cell_text(int row, int which)
{
    const int32_t load_case = results_loadcase_code();
    if (which == 2) {
        const int category = pipe_stress_category(load_case);
        return category < 0 ? std::string() : std::to_string(category);
    }
    const ResultsState& r = results();
    if ((which != 0 && which != 1) || !r.code.pipes.valid(row))
        return {};
    return stress_value_text(pipe_end_stresses(r.code, r.code.pipes[row], piping_code(), load_case)[static_cast<std::size_t>(which)]);
}
