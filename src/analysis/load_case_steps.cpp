#include "analysis/load_case_steps.h"

#include "analysis_core/analysis_model.h"
#include "analysis_core/steps.h"
#include "model/piping_codes.h"
#include "supports/anchor.h"
#include "supports/nozzle.h"

#include <algorithm>

namespace {

bool model_has_cut_pipes(const Model& model)
{
    return std::any_of(model.rows.begin(), model.rows.end(),
                       [](const LayoutRow& r) { return r.etype == ET_CUT_PIPE; });
}

}  // namespace

const DisplacementSets* displacement_sets_of(const LayoutRow& r)
{
    if (const auto* a = dynamic_cast<const Anchor*>(r.data.get()))
        return &a->v.displacements;
    if (const auto* n = dynamic_cast<const Nozzle*>(r.data.get()))
        return &n->v.displacements;
    return nullptr;
}

std::vector<int32_t> settlement_nodes(const Model& model)
{
    std::vector<int32_t> nodes;
    for (const LayoutRow& r : model.rows)
        if (const DisplacementSets* sets = displacement_sets_of(r); sets && sets->given[SETTLEMENT_DISPLACEMENT_SET])
            nodes.push_back(r.node);
    return nodes;
}

bool settlement_case_by_default(const Model& model, int32_t piping_code)
{
    return code_is_class2_group(piping_code) && !settlement_nodes(model).empty();
}

LoadCaseList default_load_cases(const AnalysisModel& model)
{
    return default_load_cases(model.options.numtloads, model.loads, model_has_cut_pipes(model.model),
                              settlement_case_by_default(model.model, model.piping_code));
}

LoadCaseList default_load_cases(int numtloads, const AnalysisLoads& loads, bool cut_pipes, bool settlement)
{
    LoadCaseList cases;
    const int sets = numtloads_valid(numtloads) ? numtloads : 1;
    cases.add(LC_SUSTAINED);
    for (int k = 1; k <= sets; ++k)
        cases.add(expansion_code(k));
    for (int k = 1; k <= sets; ++k)
        cases.add(operating_code(k));
    if (loads.seismic.any())
        cases.add(LC_SEISMIC_G);
    const int wind_codes[] = {LC_WIND, 107, 108, 109};
    for (int k = 1; k <= 4; ++k)
        if (loads.wind[static_cast<std::size_t>(k)].defined)
            cases.add(wind_codes[k - 1]);
    if (cut_pipes) {
        cases.add(LC_COLD_SPRING);
        for (int k = 1; k <= sets; ++k)
            cases.add(cold_spring_code(k));
    }
    if (settlement)
        cases.add(LC_SETTLEMENT);
    if (loads.hydrotest.defined)
        cases.add(LC_HYDROTEST);
    return cases;
}

int base_state_case(const LoadCaseList& chosen)
{
    return chosen.contains(LC_STATIC_ANALYSIS) ? LC_STATIC_ANALYSIS : LC_OPERATING_1;
}

bool load_case_solved_dynamically(int code)
{
    const StepRow& row = step_row(code);
    return row.solve == StepSolve::Modal || row.solve == StepSolve::Dynamic;
}

std::vector<AnalysisStep> load_cases_from_model(const AnalysisModel& model)
{
    std::vector<AnalysisStep> steps;
    auto find = [&steps](int code) {
        return std::find_if(steps.begin(), steps.end(), [code](const AnalysisStep& s) { return s.code == code; });
    };
    const LoadCaseList& chosen = model.load_cases;
    bool dynamic = false;
    for (int i = 1; i <= chosen.count(); ++i) {
        const int code = chosen.code(i);
        const StepRow& row = step_row(code);
        if (load_case_solved_dynamically(code)) {
            dynamic = true;
            continue;
        }
        if (row.solve == StepSolve::Range) {
            for (int part : {row.range_first, row.range_second})
                if (find(part) == steps.end())
                    steps.push_back({part, chosen.contains(part)});
        }
        if (auto found = find(code); found != steps.end())
            found->written = true;
        else
            steps.push_back({code, true});
    }
    if (!dynamic)
        return steps;
    // The dynamic cases after the static ones: the modes first, then the
    // response spectrum made of its directions, the seismic anchor
    // displacements and the missing mass, then the force spectrum, the time
    // history and the harmonic response.
    steps.push_back({LC_MODAL, chosen.contains(LC_MODAL)});
    if (chosen.contains(LC_RESPONSE_SPECTRUM)) {
        const ResponseSpectrumSettings& rs = model.loads.dynamic.response_spectrum;
        for (int d = 0; d < 3; ++d)
            if (!rs.spectrum[static_cast<std::size_t>(d)].empty())
                steps.push_back({26 + d, false});
    }
    for (int code : {int{LC_SEISMIC_DISPLACEMENT}, int{LC_MISSING_MASS}})
        if (chosen.contains(code))
            steps.push_back({code, true});
    if (chosen.contains(LC_RESPONSE_SPECTRUM)) {
        steps.push_back({29, false});
        steps.push_back({LC_RESPONSE_SPECTRUM, true});
    }
    for (int code : {int{LC_FORCE_SPECTRUM}, int{LC_TIME_HISTORY}, int{LC_HARMONIC}})
        if (chosen.contains(code))
            steps.push_back({code, true});
    return steps;
}
