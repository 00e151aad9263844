#include "codes/code_evaluation.h"

#include "analysis_core/analysis_model.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "codes/branch_plane.h"
#include "framework/text.h"
#include "model/piping_codes.h"

#include <algorithm>
#include <cmath>
#include <map>

const CaseStresses* CodeStressResults::find(int32_t code) const
{
    for (const CaseStresses& c : cases)
        if (c.code == code)
            return &c;
    return nullptr;
}

EndLoads end_loads(const ElementForces& f, int end)
{
    const std::size_t o = end == 0 ? 0 : 6;
    EndLoads l;
    l.axial = f[o];
    l.torsion = f[o + 3];
    l.out_plane = f[o + 4];
    l.in_plane = f[o + 5];
    return l;
}

namespace {

// What an element end needs in every load case, prepared once.
struct EndSetup {
    StressInput input;
    // At a branch junction: (Mi, Mo) = plane * (mz, my).
    bool plane = false;
    double to_plane[2][2] = {{1, 0}, {0, 1}};
};

// The temperature of a thermal set (1..10; 0 the reference) and the
// material's allowable stress and modulus there.
struct SetValues {
    double temperature = 0.0;
    double allowable = 0.0;
    double modulus = 0.0;
};

struct ElementSetup {
    std::array<EndSetup, 2> end;
    const PipeMaterial* material = nullptr;
    bool allowables = false;        // the material's column 3 is given everywhere
    // [0] the reference temperature; shared by the elements of one material
    // and pipe load.
    const std::array<SetValues, MAX_LOAD_SETS + 1>* sets = nullptr;
    double hot_allowable = 0.0;     // the smallest of the sets in use
    const SetValues& set(int k) const { return (*sets)[static_cast<std::size_t>(k)]; }
};

// The allowable stress of the material at a temperature (column 3).
double allowable_at(const PipeMaterial& m, double temperature)
{
    return material_property_at(m, 3, temperature);
}

bool allowables_given(const PipeMaterial& m)
{
    if (m.numtemps() == 0)
        return false;
    for (int r = 1; r <= m.numtemps(); ++r)
        if (!(m.table[r][3] > 0.0f))
            return false;
    return true;
}

class Evaluator {
public:
    Evaluator(const CodeStressRequest& request, CodeStressResults& out)
        : q_(request), m_(*request.model), out_(out), code_(m_.piping_code), rules_(stress_rules(code_))
    {
    }

    void run()
    {
        out_.piping_code = code_;
        out_.stresses_available = rules_ != StressRules::Unavailable;
        out_.sifs = element_end_sifs(m_, out_.notes);
        prepare();
        if (rules_ == StressRules::Unavailable) {
            out_.notes.add(code_stresses_unavailable_text(code_));
            return;
        }
        if (rules_ == StressRules::NoCode) {
            if (present(LC_STATIC_ANALYSIS)) {
                read(LC_STATIC_ANALYSIS);
                out_.principal_case = LC_STATIC_ANALYSIS;
                out_.principal = no_code_case_stresses(m_, out_, LC_STATIC_ANALYSIS, forces_);
            }
            return;
        }
        // The sustained stresses first: the occasional checks and the
        // liberal allowable take them.
        sustained_.resize(m_.numelems());
        if (present(LC_SUSTAINED))
            out_.cases.push_back(sustained_case());
        for (int32_t code : q_.load_cases) {
            const CaseStress kind = case_stress(code);
            if (code == LC_SUSTAINED || kind == CaseStress::None || kind == CaseStress::Settlement)
                continue;
            out_.cases.push_back(other_case(code, kind));
        }
        // Back into the order of the request.
        std::vector<CaseStresses> ordered;
        for (int32_t code : q_.load_cases)
            for (CaseStresses& c : out_.cases)
                if (c.code == code)
                    ordered.push_back(std::move(c));
        out_.cases = std::move(ordered);
    }

private:
    const CodeStressRequest& q_;
    const AnalysisModel& m_;
    CodeStressResults& out_;
    int32_t code_;
    StressRules rules_;
    OneBased<ElementSetup> setup_;
    OneBased<ElementForces> forces_;
    OneBased<std::array<float, 2>> sustained_;
    // Expansion cases' forces on the asked-for modulus, kept for the ranges.
    std::map<int32_t, OneBased<ElementForces>> expansion_;

    bool present(int32_t code) const
    {
        return std::find(q_.load_cases.begin(), q_.load_cases.end(), code) != q_.load_cases.end();
    }

    void read(int32_t code)
    {
        forces_ = OneBased<ElementForces>(m_.numelems());
        if (q_.forces)
            q_.forces(code, forces_);
    }

    // ---- Preparation -------------------------------------------------------------------

    // The temperatures of the reference and of each thermal set in use for
    // an element, with its material's allowable and modulus there; the same
    // for every element of one material and pipe load, so made once for each.
    void set_values(const Elem& el, const PipeMaterial& mat, ElementSetup& s)
    {
        const uint64_t key = (uint64_t(uint32_t(el.material)) << 32) | uint32_t(el.load);
        auto found = set_cache_.find(key);
        if (found == set_cache_.end()) {
            SharedSets v;
            const int sets = std::clamp<int>(m_.options.numtloads, 1, MAX_LOAD_SETS);
            for (int k = 0; k <= sets; ++k) {
                SetValues& x = v.values[static_cast<std::size_t>(k)];
                x.temperature = k == 0 ? m_.options.reference_temperature
                                       : pipe_load_step(m_, step_row(operating_code(k)), el.load, el.row).temperature;
                x.allowable = allowable_at(mat, x.temperature);
                x.modulus = material_modulus_at(mat, x.temperature);
                if (k >= 1)
                    v.hot_allowable = k == 1 ? x.allowable : std::min(v.hot_allowable, x.allowable);
            }
            found = set_cache_.emplace(key, v).first;
        }
        s.sets = &found->second.values;
        s.hot_allowable = found->second.hot_allowable;
    }
    struct SharedSets {
        std::array<SetValues, MAX_LOAD_SETS + 1> values{};
        double hot_allowable = 0.0;
    };
    std::map<uint64_t, SharedSets> set_cache_;

    bool allowables_of(int index, const PipeMaterial& mat)
    {
        const auto found = allowables_cache_.find(index);
        if (found != allowables_cache_.end())
            return found->second;
        return allowables_cache_[index] = allowables_given(mat);
    }
    std::map<int, bool> allowables_cache_;

    void prepare()
    {
        out_.evaluated = OneBased<uint8_t>(m_.numelems());
        setup_ = OneBased<ElementSetup>(m_.numelems());
        const bool b31j = m_.options.use_b31j && code_allows_b31j(code_);
        const bool planes = code_has_in_out_plane_sifs(code_, b31j);
        for (int e = 1; e <= m_.numelems(); ++e) {
            const Elem& el = m_.model.elems[e];
            if (!element_is_pipe_like(el) || !m_.pipe_materials.valid(el.material))
                continue;
            const PipeMaterial& mat = m_.pipe_materials[el.material];
            if (mat.frp || mat.numtemps() == 0)
                continue;
            ElementSetup& s = setup_[e];
            s.material = &mat;
            s.allowables = allowables_of(el.material, mat);
            set_values(el, mat, s);
            const double allowance = m_.pipe_sections.valid(el.section)
                                         ? m_.pipe_sections[el.section].corrosion_allowance
                                         : 0.0;
            bool ok = true;
            const int nodes[2] = {el.node1, el.node2};
            for (std::size_t end = 0; end < 2; ++end) {
                EndSetup& es = s.end[end];
                const auto [d, t] = element_end_size(m_, el, nodes[end]);
                StressInput& in = es.input;
                in.rules = rules_;
                in.sifs = out_.sifs.elements[e].end[end];
                in.section = stress_section(d, t);
                in.corroded = allowance > 0.0 ? stress_section(d, t - allowance) : in.section;
                in.pressure_stress_option = m_.options.pressure_stress_option;
                in.include_axial_force = m_.options.include_axial_force;
                ok = ok && in.section.valid();
                if (out_.sifs.elements[e].reduced_branch[end] && rules_ != StressRules::NoCode &&
                    rules_ != StressRules::InOutPlane)
                    in.effective_modulus = branch_effective_section_modulus(
                        d, t, out_.sifs.elements[e].branch_run_thickness[end], in.sifs.in_plane);
                if (planes && (el.kind == ET_PIPE || el.kind == ET_JACKETED_PIPE || el.kind == ET_REDUCER) &&
                    m_.model.nodes[nodes[end]].branch_mark == 2)
                    plane(e, nodes[end], es);
            }
            out_.evaluated[e] = ok ? 1 : 0;
        }
    }

    void plane(int e, int node, EndSetup& es)
    {
        try {
            const Vec3 n = branch_plane_normal(m_.model, m_.options.z_vertical, e, node);
            const Elem& el = m_.model.elems[e];
            const LocalAxes axes = element_axes(m_.model, el.node1, el.node2, m_.options.z_vertical);
            Vec3 across = cross(axes.x, n);
            normalize3(across.x, across.y, across.z);
            es.to_plane[0][0] = dot(axes.z, n);
            es.to_plane[0][1] = dot(axes.y, n);
            es.to_plane[1][0] = dot(axes.z, across);
            es.to_plane[1][1] = dot(axes.y, across);
            es.plane = true;
        } catch (const MessageText& m) {
            out_.notes.add(m.text);
        }
    }

    EndLoads loads(int e, std::size_t end, const ElementForces& f) const
    {
        EndLoads l = end_loads(f, static_cast<int>(end));
        const EndSetup& es = setup_[e].end[end];
        if (es.plane) {
            const double mz = l.in_plane, my = l.out_plane;
            l.in_plane = es.to_plane[0][0] * mz + es.to_plane[0][1] * my;
            l.out_plane = es.to_plane[1][0] * mz + es.to_plane[1][1] * my;
        }
        return l;
    }

    // ---- Temperatures and allowables ---------------------------------------------------

    // The hot allowable: the smallest at the temperatures of the sets in use.
    double hot_allowable(int e) const { return setup_[e].hot_allowable; }

    // The two thermal sets of an expansion case (0 the reference) and the
    // values at the lower and the higher temperature of its cycle.
    static std::pair<int, int> case_sets(int32_t code)
    {
        const StepRow& row = step_row(code);
        if (row.solve == StepSolve::Range)
            return {step_row(row.range_first).temperature_set, step_row(row.range_second).temperature_set};
        return {0, row.temperature_set};
    }
    std::pair<const SetValues*, const SetValues*> cycle(int e, int32_t code) const
    {
        const auto [a, b] = case_sets(code);
        const SetValues* va = &setup_[e].set(a);
        const SetValues* vb = &setup_[e].set(b);
        return va->temperature <= vb->temperature ? std::pair{va, vb} : std::pair{vb, va};
    }

    // ---- Load cases ---------------------------------------------------------------------

    CaseStresses make_case(int32_t code, CaseStress kind) const
    {
        CaseStresses c;
        c.code = code;
        c.kind = kind;
        c.ends = OneBased<EndStresses>(m_.numelems());
        return c;
    }

    double pressure(int e, int32_t code) const
    {
        const Elem& el = m_.model.elems[e];
        return pipe_load_step(m_, step_row(code), el.load, el.row).pressure;
    }

    CaseStresses sustained_case()
    {
        read(LC_SUSTAINED);
        CaseStresses c = make_case(LC_SUSTAINED, CaseStress::Sustained);
        for (int e = 1; e <= m_.numelems(); ++e) {
            if (!out_.evaluated[e])
                continue;
            const double p = pressure(e, LC_SUSTAINED);
            const double sh = hot_allowable(e);
            for (std::size_t end = 0; end < 2; ++end) {
                const double s = sustained_stress(setup_[e].end[end].input, loads(e, end, forces_[e]), p);
                sustained_[e][end] = static_cast<float>(s);
                set(c.ends[e][end], s, setup_[e].allowables ? std::optional<double>(sh) : std::nullopt);
            }
        }
        return c;
    }

    // A stress that is not a finite number (forces a damaged file gave) is
    // not evaluated.
    static void set(EndStress& out, double stress, std::optional<double> allowable)
    {
        if (!std::isfinite(stress) || std::fabs(stress) > 3.0e38)
            return;
        out.stress = static_cast<float>(stress);
        out.evaluated = true;
        if (allowable && *allowable > 0.0 && *allowable < 3.0e38) {
            out.allowable = static_cast<float>(*allowable);
            out.checked = true;
        }
    }

    CaseStresses other_case(int32_t code, CaseStress kind)
    {
        if (kind == CaseStress::Expansion)
            return expansion_case(code);
        read(code);
        CaseStresses c = make_case(code, kind);
        const std::optional<double> k = occasional_allowable_factor(code_);
        for (int e = 1; e <= m_.numelems(); ++e) {
            if (!out_.evaluated[e])
                continue;
            const ElementSetup& s = setup_[e];
            for (std::size_t end = 0; end < 2; ++end) {
                const EndLoads l = loads(e, end, forces_[e]);
                const StressInput& in = s.end[end].input;
                switch (kind) {
                case CaseStress::Operating:
                    set(c.ends[e][end], sustained_stress(in, l, pressure(e, code)), std::nullopt);
                    break;
                case CaseStress::Hydrotest:
                    set(c.ends[e][end], sustained_stress(in, l, pressure(e, code)),
                        hydrotest_allowable(code_, s.material->strength));
                    break;
                case CaseStress::Occasional: {
                    const double total = sustained_[e][end] + occasional_stress(in, l);
                    std::optional<double> allowable;
                    if (k && s.allowables)
                        allowable = *k * hot_allowable(e);
                    set(c.ends[e][end], total, allowable);
                    break;
                }
                default: break;
                }
            }
        }
        return c;
    }

    // ---- Expansion --------------------------------------------------------------------

    // The code asks for the expansion stress on the reference modulus.
    bool wants_reference_modulus() const
    {
        if (!code_has_cold_modulus_option(code_))
            return true;   // B31.3, B31.5, B31.12
        return m_.options.use_cold_modulus;
    }

    bool scaling() const { return wants_reference_modulus() && q_.solved_with == ExpansionModulus::CaseTemperature; }

    // The factor that turns an element's expansion forces solved at a set's
    // temperature into those on the reference modulus.
    double modulus_factor(int e, int set) const
    {
        const SetValues& hot = setup_[e].set(set);
        const double cold = setup_[e].set(0).modulus;
        return hot.modulus > 0.0 && cold > 0.0 ? cold / hot.modulus : 1.0;
    }

    // A range of two cases that are both among the results is made of them,
    // each on the asked-for modulus; their forces as read are kept for it.
    bool range_of_present_cases(int32_t code) const
    {
        const StepRow& row = step_row(code);
        return row.solve == StepSolve::Range && present(row.range_first) && present(row.range_second);
    }
    bool kept_for_ranges(int32_t code) const
    {
        if (!scaling())
            return false;
        for (int32_t c : q_.load_cases)
            if (range_of_present_cases(c) && (step_row(c).range_first == code || step_row(c).range_second == code))
                return true;
        return false;
    }
    const OneBased<ElementForces>& raw_forces(int32_t code)
    {
        auto found = expansion_.find(code);
        if (found == expansion_.end()) {
            read(code);
            found = expansion_.emplace(code, std::move(forces_)).first;
        }
        return found->second;
    }

    CaseStresses expansion_case(int32_t code)
    {
        const bool scale = scaling();
        const bool composed = scale && range_of_present_cases(code);
        const auto [set_a, set_b] = case_sets(code);
        const OneBased<ElementForces>* first = nullptr;
        const OneBased<ElementForces>* second = nullptr;
        if (composed) {
            first = &raw_forces(step_row(code).range_first);
            second = &raw_forces(step_row(code).range_second);
        } else if (kept_for_ranges(code)) {
            first = &raw_forces(code);
        } else {
            read(code);
            first = &forces_;
        }
        CaseStresses c = make_case(code, CaseStress::Expansion);
        const double f = stress_range_factor(rules_, m_.options.thermal_cycles);
        const bool liberal = m_.options.liberal_allowable && present(LC_SUSTAINED);
        for (int e = 1; e <= m_.numelems(); ++e) {
            if (!out_.evaluated[e])
                continue;
            const ElementSetup& s = setup_[e];
            const ElementForces* forces = &(*first)[e];
            ElementForces range;
            double k = 1.0;
            if (composed) {
                // F(Ti) Ec/Ei - F(Tj) Ec/Ej.
                const double ka = modulus_factor(e, set_a), kb = modulus_factor(e, set_b);
                for (std::size_t i = 0; i < 12; ++i)
                    range[i] = static_cast<float>((*forces)[i] * ka - (*second)[e][i] * kb);
                forces = &range;
            } else if (scale) {
                // A single case on its own set's modulus; a range without its
                // two cases at its hotter end.
                k = modulus_factor(e, set_a == 0 ? set_b
                                     : s.set(set_a).temperature >=
                                               s.set(set_b).temperature
                                         ? set_a
                                         : set_b);
            }
            const auto [low, high] = cycle(e, code);
            for (std::size_t end = 0; end < 2; ++end) {
                EndLoads l = loads(e, end, *forces);
                l.axial *= k;
                l.torsion *= k;
                l.in_plane *= k;
                l.out_plane *= k;
                const double se = expansion_stress(s.end[end].input, l);
                std::optional<double> allowable;
                if (s.allowables)
                    allowable = expansion_allowable(f, low->allowable, high->allowable, liberal, sustained_[e][end]);
                set(c.ends[e][end], se, allowable);
            }
        }
        return c;
    }
};

}  // namespace

CodeStressResults evaluate_code_stresses(const CodeStressRequest& request)
{
    CodeStressResults out;
    KV_ASSERT(request.model != nullptr);
    Evaluator(request, out).run();
    return out;
}

OneBased<std::array<PrincipalStresses, 2>> no_code_case_stresses(const AnalysisModel& m,
                                                                  const CodeStressResults& results,
                                                                  int32_t load_case,
                                                                  const OneBased<ElementForces>& forces)
{
    OneBased<std::array<PrincipalStresses, 2>> out(m.numelems());
    const bool planes = code_has_in_out_plane_sifs(m.piping_code, m.options.use_b31j);
    for (int e = 1; e <= m.numelems() && e <= forces.size(); ++e) {
        if (!results.evaluated.valid(e) || !results.evaluated[e])
            continue;
        const Elem& el = m.model.elems[e];
        const double p = pipe_load_step(m, step_row(load_case), el.load, el.row).pressure;
        const int nodes[2] = {el.node1, el.node2};
        for (std::size_t end = 0; end < 2; ++end) {
            StressInput in;
            in.rules = StressRules::NoCode;
            in.sifs = results.sifs.elements[e].end[end];
            const auto [d, t] = element_end_size(m, el, nodes[end]);
            in.section = stress_section(d, t);
            in.pressure_stress_option = m.options.pressure_stress_option;
            EndLoads l = end_loads(forces[e], static_cast<int>(end));
            if (planes && (el.kind == ET_PIPE || el.kind == ET_JACKETED_PIPE || el.kind == ET_REDUCER) &&
                m.model.nodes[nodes[end]].branch_mark == 2) {
                try {
                    branch_plane_moments(m.model, m.options.z_vertical, e, nodes[end], l.in_plane, l.out_plane);
                } catch (const MessageText&) {
                    // No plane: the local moments stand (the evaluation noted it).
                }
            }
            out[e][end] = no_code_stresses(in, l, p);
        }
    }
    return out;
}
