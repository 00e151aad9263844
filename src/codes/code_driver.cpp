#include "codes/code_driver.h"

#include "analysis/analysis_model.h"
#include "analysis/results_file.h"
#include "codes/pipeline_stress.h"
#include "codes/stress_tables.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"

#include <cmath>

namespace {

EndValues stresses_of(const CaseStresses* c, int element, bool allowables)
{
    EndValues out;
    if (!c || !c->ends.valid(element))
        return out;
    for (std::size_t end = 0; end < 2; ++end) {
        const EndStress& s = c->ends[element][end];
        if (!s.evaluated)
            continue;
        if (!allowables)
            out[end].set(s.stress);
        else if (s.checked)
            out[end].set(s.allowable);
    }
    return out;
}

const CodeStressResults* results_of(const CodeRecords& records)
{
    return records.stresses ? &records.stresses->results : nullptr;
}

void fill_principal(CodeRecords& records, const CodeStressResults& r, int32_t load_case,
                    const OneBased<std::array<PrincipalStresses, 2>>& principal)
{
    for (PipeResultRecord& p : records.pipes) {
        p.von_mises = p.maximum = p.minimum = EndValues{};
        p.principal_case = load_case;
        if (!principal.valid(p.element) || !r.evaluated.valid(p.element) || !r.evaluated[p.element])
            continue;
        for (std::size_t end = 0; end < 2; ++end) {
            const PrincipalStresses& s = principal[p.element][end];
            // Not numbers (forces of a damaged file) stay not evaluated.
            if (!std::isfinite(s.von_mises) || !std::isfinite(s.maximum) || !std::isfinite(s.minimum))
                continue;
            p.von_mises[end].set(static_cast<float>(s.von_mises));
            p.maximum[end].set(static_cast<float>(s.maximum));
            p.minimum[end].set(static_cast<float>(s.minimum));
        }
    }
}

// The FRP records: per FRP element end the quantities of the load case of
// its largest ratio.
void fill_frp(CodeRecords& records, const CodeStressResults& r)
{
    FrpRecords& frp = records.frp;
    for (int k = 1; k <= frp.count(); ++k) {
        const int e = frp.elements[k];
        const FrpEndStress* best[2] = {nullptr, nullptr};
        int32_t best_case[2] = {0, 0};
        for (const FrpCaseStresses& c : r.frp_cases) {
            if (!c.ends.valid(e) || !r.frp.valid(e) || !r.frp[e])
                continue;
            for (std::size_t end = 0; end < 2; ++end) {
                const FrpEndStress& s = c.ends[e][end];
                if (!best[end] || s.largest_ratio() > best[end]->largest_ratio()) {
                    best[end] = &s;
                    best_case[end] = c.code;
                }
            }
        }
        for (std::size_t end = 0; end < 2; ++end) {
            if (!best[end])
                continue;
            const FrpEndStress& s = *best[end];
            const double values[] = {s.hoop,           s.axial,         s.torsion,       s.allowable.hoop,
                                     s.allowable.axial, s.allowable.torsion, s.hoop_ratio, s.axial_ratio,
                                     s.torsion_ratio,  s.largest_ratio(), double(best_case[end])};
            for (std::size_t v = 0; v < std::size(values); ++v)
                if (frp.values[v].valid(k))
                    frp.values[v][k][end].set(static_cast<float>(values[v]));
        }
    }
}

}  // namespace

void fill_code_records(std::shared_ptr<const CodeStressEvaluation> evaluation, CodeRecords& records)
{
    KV_ASSERT(evaluation != nullptr);
    const CodeStressResults& r = evaluation->results;
    const ModelSifs& sifs = r.sifs;
    for (int e = 1; e <= records.element_sifs.size() && e <= sifs.elements.size(); ++e) {
        const ElementSifs& s = sifs.elements[e];
        for (std::size_t end = 0; end < 2; ++end) {
            const Sifs& i = s.end[end];
            records.element_sifs[e].end[end] = {static_cast<float>(i.in_plane), static_cast<float>(i.out_plane),
                                                static_cast<float>(i.axial), static_cast<float>(i.torsion)};
        }
        if (records.flexibility.valid(e))
            for (std::size_t k = 0; k < 3; ++k)
                records.flexibility[e].value[k] = static_cast<float>(s.flexibility[k]);
    }
    for (int n = 1; n <= records.node_sifs.size() && n <= sifs.nodes.size(); ++n)
        for (std::size_t k = 0; k < NODE_SIF_SLOTS; ++k)
            records.node_sifs[n].value[k] = static_cast<float>(sifs.nodes[n][k]);

    // The pipes' sustained, hydrotest and settlement stresses, the no-code
    // stresses.
    const bool class2 = stress_rules(r.piping_code) == StressRules::Class2;
    for (PipeResultRecord& p : records.pipes) {
        const EndValues case_values = stresses_of(r.find(LC_SUSTAINED), p.element, false);
        p.sustained = case_values;
        if (r.sustained_term.valid(p.element))
            for (std::size_t end = 0; end < 2; ++end) {
                const EndStress& t = r.sustained_term[p.element][end];
                p.sustained[end] = CodeValue{};
                if (t.evaluated)
                    p.sustained[end].set(t.stress);
            }
        if (class2)
            p.class2_sustained = case_values;
        if (r.buried.valid(p.element) && r.buried[p.element] && is_pipeline_code(r.piping_code))
            p.buried_sustained = case_values;
        p.hydrotest = stresses_of(r.find(LC_HYDROTEST), p.element, false);
        p.settlement = stresses_of(r.find(LC_SETTLEMENT), p.element, false);
    }
    fill_frp(records, r);
    if (r.principal_case != 0)
        fill_principal(records, r, r.principal_case, r.principal);

    // The governing stress of each category.
    const OneBased<GoverningRecord> governing = governing_stresses(r);
    for (int e = 1; e <= records.evaluation.size() && e <= governing.size(); ++e)
        for (std::size_t c = 0; c < STRESS_CATEGORIES; ++c) {
            CategoryEvaluation& out = records.evaluation[e].category[c];
            for (std::size_t end = 0; end < 2; ++end) {
                const GoverningStress& g = governing[e][c][end];
                if (g.load_case == 0)
                    continue;
                out.stress[end].set(g.value.stress);
                if (g.value.checked)
                    out.allowable[end].set(g.value.allowable);
                out.load_case[end] = g.load_case;
            }
        }
    records.stresses = std::move(evaluation);
}

void take_written_model(AnalysisModel& model)
{
    if (!model.results_model)
        return;
    model.model = *model.results_model;
    copy_built_geometry(*model.results_model, model.model);
    model.results_model.reset();
    model.element_parts = {};
}

void evaluate_code_records(std::shared_ptr<AnalysisModel> model, const CodeEvaluationInput& input,
                         ExpansionModulus solved_with, CodeRecords& records)
{
    KV_ASSERT(model != nullptr);
    take_written_model(*model);
    model->piping_code = input.piping_code;
    model->options = input.options;
    CodeStressRequest q;
    q.model = model.get();
    q.load_cases = input.load_cases;
    q.solved_with = solved_with;
    q.forces = input.forces;
    auto evaluation = std::make_shared<CodeStressEvaluation>();
    evaluation->results = evaluate_code_stresses(q);
    evaluation->model = std::move(model);
    fill_code_records(std::move(evaluation), records);
}

void install_code_evaluation()
{
    register_code_evaluation([](const CodeEvaluationInput& input, CodeRecords& records) {
        std::shared_ptr<AnalysisModel> snapshot = make_analysis_model();
        // The results hold the model's own elements, also where the analysis
        // divided some (buried pipes into segments): the evaluation takes those.
        take_written_model(*snapshot);
        const ExpansionModulus solved_with = results_expansion_modulus(results_file_path()) ==
                                                     RESULTS_MODULUS_AT_REFERENCE
                                                 ? ExpansionModulus::Reference
                                                 : ExpansionModulus::CaseTemperature;
        evaluate_code_records(std::move(snapshot), input, solved_with, records);
    });
}

EndValues pipe_case_stresses(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case)
{
    const CodeStressResults* r = results_of(records);
    return r ? stresses_of(r->find(load_case), pipe.element, false) : EndValues{};
}

EndValues element_end_stresses(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case)
{
    return pipe_case_stresses(records, pipe, load_case);
}

EndValues element_end_stresses_basic(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case)
{
    return pipe_case_stresses(records, pipe, load_case);
}

EndValues element_end_stresses_branch(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case)
{
    return pipe_case_stresses(records, pipe, load_case);
}

EndValues class2_element_stress(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case)
{
    return pipe_case_stresses(records, pipe, load_case);
}

EndValues pipeline_element_stresses(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case)
{
    return pipe_case_stresses(records, pipe, load_case);
}

EndValues element_end_stresses_pipeline(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case)
{
    return pipe_case_stresses(records, pipe, load_case);
}

bool element_is_buried_in_results(const CodeRecords& records, int32_t element)
{
    const CodeStressResults* r = results_of(records);
    return r && r->buried.valid(element) && r->buried[element] != 0;
}

std::optional<std::array<B1B2, 2>> stress_indices_b1_b2(const CodeRecords& records, int32_t element)
{
    const CodeStressResults* r = results_of(records);
    if (!r || !r->indices.valid(element) || !r->evaluated.valid(element) || !r->evaluated[element])
        return std::nullopt;
    return r->indices[element];
}

EndValues pipe_case_allowables(const CodeRecords& records, const PipeResultRecord& pipe, int32_t load_case)
{
    const CodeStressResults* r = results_of(records);
    return r ? stresses_of(r->find(load_case), pipe.element, true) : EndValues{};
}

void evaluate_no_code_case(CodeRecords& records, int32_t load_case, const OneBased<ElementForceRecord>& forces)
{
    if (!records.stresses || !records.stresses->model)
        return;
    const CodeStressResults& r = records.stresses->results;
    if (stress_rules(r.piping_code) != StressRules::NoCode)
        return;
    fill_principal(records, r, load_case, no_code_case_stresses(*records.stresses->model, r, load_case, forces));
}

std::string scaled_expansion_note(const CodeRecords& records, int32_t load_case)
{
    const CodeStressResults* r = results_of(records);
    const CaseStresses* c = r ? r->find(load_case) : nullptr;
    if (!c || c->scaled.empty())
        return {};
    constexpr std::size_t SHOWN = 4;
    std::string factors;
    for (std::size_t i = 0; i < c->scaled.size() && i < SHOWN; ++i) {
        const ModulusScale& m = c->scaled[i];
        factors += c_format("%s%.4f for %s at %s %s", i == 0 ? "" : ", ", m.factor, m.material.c_str(),
                            trimmed(format_temperature(m.temperature)).c_str(),
                            unit_name(TEMPERATURE, current_unit(TEMPERATURE)).c_str());
    }
    if (c->scaled.size() > SHOWN)
        factors += ", ...";
    const std::string basis = c->larger_modulus
                                  ? "SE is on the larger of the moduli at the reference temperature and at the case's"
                                  : "SE is on the modulus at the reference temperature";
    const std::string ratio = !c->larger_modulus      ? "E(reference)/E(case)"
                              : c->solved_on_reference ? "E(larger)/E(reference)"
                                                       : "E(larger)/E(case)";
    return c->difference ? basis + ": each of the range's two cases times its " + ratio + " before their difference, " +
                               factors
                         : basis + ": the moments times " + ratio + ", " + factors;
}

std::vector<std::string> code_evaluation_notes(const CodeRecords& records)
{
    const CodeStressResults* r = results_of(records);
    return r ? r->notes.texts : std::vector<std::string>{};
}
