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

struct ElementSetup {
    std::array<EndSetup, 2> end;
    const PipeMaterial* material = nullptr;
    bool allowables = false;        // the material's column 3 is given everywhere
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
            s.allowables = allowables_given(mat);
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
                in.corroded = stress_section(d, t - allowance);
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

    double set_temperature(const Elem& el, int set) const
    {
        return pipe_load_step(m_, step_row(operating_code(set)), el.load, el.row).temperature;
    }

    // The hot allowable: the smallest at the temperatures of the sets in use.
    double hot_allowable(int e) const
    {
        const Elem& el = m_.model.elems[e];
        const int sets = std::clamp<int>(m_.options.numtloads, 1, MAX_LOAD_SETS);
        double sh = 0.0;
        for (int k = 1; k <= sets; ++k) {
            const double v = allowable_at(*setup_[e].material, set_temperature(el, k));
            sh = k == 1 ? v : std::min(sh, v);
        }
        return sh;
    }

    // The temperatures of the two ends of an expansion case's cycle.
    std::pair<double, double> cycle(int e, int32_t code) const
    {
        const Elem& el = m_.model.elems[e];
        const StepRow& row = step_row(code);
        double a = m_.options.reference_temperature, b = a;
        if (row.solve == StepSolve::Range) {
            a = set_temperature(el, step_row(row.range_first).temperature_set);
            b = set_temperature(el, step_row(row.range_second).temperature_set);
        } else {
            b = set_temperature(el, row.temperature_set);
        }
        return {std::min(a, b), std::max(a, b)};
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

    static void set(EndStress& out, double stress, std::optional<double> allowable)
    {
        out.stress = static_cast<float>(stress);
        out.evaluated = true;
        if (allowable && *allowable > 0.0) {
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

    // The factor that turns an element's expansion forces solved at one
    // temperature into those the code asks for.
    double modulus_factor(int e, double temperature) const
    {
        if (!wants_reference_modulus() || q_.solved_with == ExpansionModulus::Reference)
            return 1.0;
        const PipeMaterial& mat = *setup_[e].material;
        const double hot = material_modulus_at(mat, temperature);
        const double cold = material_modulus_at(mat, m_.options.reference_temperature);
        return hot > 0.0 && cold > 0.0 ? cold / hot : 1.0;
    }

    bool scaling() const { return wants_reference_modulus() && q_.solved_with == ExpansionModulus::CaseTemperature; }

    // The forces of an Expansion (Tk) case on the asked-for modulus.
    void scale_single(int32_t code, OneBased<ElementForces>& f) const
    {
        const int set = step_row(code).temperature_set;
        for (int e = 1; e <= m_.numelems(); ++e) {
            if (!out_.evaluated[e])
                continue;
            const double k = modulus_factor(e, set_temperature(m_.model.elems[e], set));
            for (float& v : f[e])
                v = static_cast<float>(v * k);
        }
    }

    // The forces of a case on the asked-for modulus, into forces_.
    void expansion_forces(int32_t code)
    {
        const StepRow& row = step_row(code);
        if (!scaling()) {
            read(code);
            return;
        }
        if (row.solve != StepSolve::Range) {
            read(code);
            scale_single(code, forces_);
            expansion_[code] = forces_;
            return;
        }
        // A range: its two cases, each scaled, when both are in the results.
        const int32_t a = row.range_first, b = row.range_second;
        if (present(a) && present(b)) {
            for (int32_t part : {a, b})
                if (!expansion_.count(part)) {
                    read(part);
                    scale_single(part, forces_);
                    expansion_[part] = forces_;
                }
            const OneBased<ElementForces>& fa = expansion_[a];
            const OneBased<ElementForces>& fb = expansion_[b];
            forces_ = OneBased<ElementForces>(m_.numelems());
            for (int e = 1; e <= m_.numelems(); ++e)
                for (std::size_t i = 0; i < 12; ++i)
                    forces_[e][i] = fa[e][i] - fb[e][i];
            return;
        }
        // Otherwise the range scaled at its hotter end.
        read(code);
        for (int e = 1; e <= m_.numelems(); ++e) {
            if (!out_.evaluated[e])
                continue;
            const double k = modulus_factor(e, cycle(e, code).second);
            for (float& v : forces_[e])
                v = static_cast<float>(v * k);
        }
    }

    CaseStresses expansion_case(int32_t code)
    {
        expansion_forces(code);
        CaseStresses c = make_case(code, CaseStress::Expansion);
        const double f = stress_range_factor(rules_, m_.options.thermal_cycles);
        for (int e = 1; e <= m_.numelems(); ++e) {
            if (!out_.evaluated[e])
                continue;
            const ElementSetup& s = setup_[e];
            const auto [low, high] = cycle(e, code);
            const double sc = allowable_at(*s.material, low), sh = allowable_at(*s.material, high);
            for (std::size_t end = 0; end < 2; ++end) {
                const double se = expansion_stress(s.end[end].input, loads(e, end, forces_[e]));
                std::optional<double> allowable;
                if (s.allowables)
                    allowable = expansion_allowable(f, sc, sh, m_.options.liberal_allowable &&
                                                                   present(LC_SUSTAINED),
                                                    sustained_[e][end]);
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
