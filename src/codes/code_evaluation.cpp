#include "codes/code_evaluation.h"

#include "analysis_core/analysis_model.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "codes/branch_plane.h"
#include "analysis/buried_piping.h"
#include "codes/en13480_stress.h"
#include "codes/pipeline_stress.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/piping_codes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <string>

const CaseStresses* CodeStressResults::find(int32_t code) const
{
    for (const CaseStresses& c : cases)
        if (c.code == code)
            return &c;
    return nullptr;
}

const FrpCaseStresses* CodeStressResults::find_frp(int32_t code) const
{
    for (const FrpCaseStresses& c : frp_cases)
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

// The reasons' texts, in the order of Unchecked.
struct UncheckedText {
    Unchecked why;
    const char* text;
};
constexpr UncheckedText UNCHECKED_TEXTS[] = {
    {Unchecked::None, ""},
    {Unchecked::AllowablesNotGiven, "the material's allowable stress is not given at every temperature of its table"},
    {Unchecked::YieldNotGiven, "the material has no specified minimum yield strength"},
    {Unchecked::YieldColumnNotGiven, "the material's yield stress is not given at every temperature of its table"},
    {Unchecked::StrengthNotGiven, "the material has no yield strength"},
    {Unchecked::TemperatureBeyondTable, "the temperature lies beyond the code's table of temperature factors"},
    {Unchecked::CyclesBeyondTable, "the number of cycles lies beyond the code's table of stress range factors"},
    {Unchecked::TensileNotHeld, "the allowable needs the specified minimum tensile strength, which the material does not hold"},
    {Unchecked::SustainedNotAnalysed, "the allowable takes SL of the Sustained case, which is not among the load cases"},
    {Unchecked::NoCodeLimit, "the code sets no allowable for this stress"},
    {Unchecked::NotHeld, "the program holds no allowable of the code for this check"},
    {Unchecked::NotPositive, "the allowable works out at zero or less"},
};

}  // namespace

const char* unchecked_text(Unchecked why)
{
    for (const UncheckedText& t : UNCHECKED_TEXTS)
        if (t.why == why)
            return t.text;
    return "";
}

std::string not_checked_text(Unchecked why)
{
    const std::string reason = unchecked_text(why);
    return reason.empty() ? std::string("Not checked") : "Not checked: " + reason;
}

namespace {

// An allowable, or why there is none.
struct Limit {
    std::optional<double> value;
    Unchecked why = Unchecked::None;
};
Limit limit(double value)
{
    return {value, Unchecked::None};
}
Limit no_limit(Unchecked why)
{
    return {std::nullopt, why};
}
// An allowable made of the material's allowable stresses (column 3), which
// need to be given at every temperature of its table.
Limit material_limit(bool allowables_given, double value)
{
    return allowables_given ? limit(value) : no_limit(Unchecked::AllowablesNotGiven);
}
// An allowable of a pipeline code: none where S is not known or T lies
// beyond its table, else none for `otherwise` where the code's check is not
// evaluated.
Limit pipeline_limit(std::optional<double> value, const PipelineFactors& f, Unchecked otherwise)
{
    if (value)
        return limit(*value);
    if (!(f.yield > 0.0))
        return no_limit(Unchecked::YieldNotGiven);
    if (!f.temperature)
        return no_limit(Unchecked::TemperatureBeyondTable);
    return no_limit(otherwise);
}

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
    double alpha = 0.0;     // column 2
    double yield = 0.0;     // column 4 (0 not given)
    double rupture = 0.0;   // column 5 (0 not given)
};

struct ElementSetup {
    std::array<EndSetup, 2> end;
    const PipeMaterial* material = nullptr;
    bool allowables = false;        // the material's column 3 is given everywhere
    // [0] the reference temperature; shared by the elements of one material
    // and pipe load.
    const std::array<SetValues, MAX_LOAD_SETS + 1>* sets = nullptr;
    double hot_allowable = 0.0;     // the smallest of the sets in use
    double hot_yield = 0.0;         // the smallest yield (column 4) of the sets in use; 0 not given
    double hot_rupture = 0.0;       // the smallest fCR (column 5) of the sets in use; 0 not given
    double hottest = 0.0;           // the highest temperature of the sets in use
    const SetValues& set(int k) const { return (*sets)[static_cast<std::size_t>(k)]; }
    // ASME Class 2/3: the primary stress indices and the one SIF of each end.
    std::array<B1B2, 2> indices{};
    // The pipeline codes and EN 13480: the element is buried.
    bool buried = false;
    double poisson = 0.3;
    PipelineFactors pipeline;   // yield and temperature factor at the hottest set
};

// The allowable stress of the material at a temperature (column 3).
double allowable_at(const PipeMaterial& m, double temperature)
{
    return material_property_at(m, 3, temperature);
}

// True when a column of the material's table is given (above 0) in every row.
bool column_given(const PipeMaterial& m, int column)
{
    if (m.numtemps() == 0)
        return false;
    for (int r = 1; r <= m.numtemps(); ++r)
        if (!(m.table[r][static_cast<std::size_t>(column)] > 0.0f))
            return false;
    return true;
}

bool allowables_given(const PipeMaterial& m)
{
    return column_given(m, 3);
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
        if (any_frp_)
            frp_pass();
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
        if (own_equations()) {
            sustained_loads_.resize(m_.numelems());
            sustained_pressure_.resize(m_.numelems());
        }
        out_.sustained_term.resize(m_.numelems());
        if (present(LC_SUSTAINED))
            out_.cases.push_back(sustained_case());
        for (int32_t code : q_.load_cases) {
            const CaseStress kind = case_stress(code);
            if (code == LC_SUSTAINED || kind == CaseStress::None)
                continue;
            // Only the codes that have a settlement check evaluate it.
            if (kind == CaseStress::Settlement && rules_ != StressRules::Class2 && rules_ != StressRules::En13480)
                continue;
            out_.cases.push_back(other_case(code, kind));
        }
        note_range_factors_held();
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
    // The sustained case's loads and pressure of each end (the occasional,
    // combined and creep equations of the codes with their own take them).
    OneBased<std::array<EndLoads, 2>> sustained_loads_;
    OneBased<double> sustained_pressure_;
    Class2Edition edition_ = Class2Edition::Indices;
    PipelineCode pipeline_ = PipelineCode::B314;
    // FRP elements: the walls of their ends.
    bool any_frp_ = false;
    OneBased<std::array<StressSection, 2>> frp_walls_;
    // Nodes that carry a branch SIF item.
    std::vector<uint8_t> branch_item_;
    // Expansion cases' forces on the asked-for modulus, kept for the ranges.
    std::map<int32_t, OneBased<ElementForces>> expansion_;
    // B31.3: the materials whose stress range factor is held at 1.0 because
    // their record does not tell their tensile strength, where the cycles
    // would give more.
    std::set<std::string> held_at_one_;

    // f of an element's range (code_stress.h). Under B31.3 its limit fm
    // depends on the material's kind and tensile strength and on the higher
    // temperature of the range; a material that may be ferrous but whose
    // tensile strength its record does not tell is held at 1.0 and named in
    // a note when the cycles would take f above it.
    double range_factor(const ElementSetup& s, const SetValues& high)
    {
        const int cycles = m_.options.thermal_cycles;
        if (rules_ != StressRules::B313)
            return stress_range_factor(rules_, cycles);
        RangeFactorMaterial material;
        material.ferrous = material_is_ferrous(*s.material);
        material.tensile = material_tensile_strength(s.material->type, s.material->strength);
        material.temperature = high.temperature;
        const bool maybe_ferrous = material.ferrous || s.material->type.empty();
        if (s.allowables && maybe_ferrous && material.tensile == TensileStrength::Unknown &&
            uncapped_range_factor(cycles) > 1.0)
            held_at_one_.insert(s.material->name);
        return stress_range_factor(rules_, cycles, b313_range_factor_limit(material));
    }
    void note_range_factors_held()
    {
        if (held_at_one_.empty())
            return;
        std::string names;
        for (const std::string& name : held_at_one_)
            names += (names.empty() ? "" : ", ") + name;
        const int cycles = m_.options.thermal_cycles;
        // The bounds of f up to 1.2, in the model's units.
        const std::string strength = value_with_unit(STRESS, B313_HIGH_FACTOR_TENSILE, m_.units, 4);
        const std::string temperature = value_with_unit(TEMPERATURE, B313_HIGH_FACTOR_TEMPERATURE, m_.units, 4);
        out_.notes.add(c_format("B31.3: the stress range factor f of %d cycles is held at 1.0 for material%s %s, "
                                "whose type does not tell a specified minimum tensile strength of at most %s; "
                                "Eq. (1c) gives f = 6.0 N^-0.2 = %.4f, up to 1.2 for a ferrous material of at most "
                                "%s at or below %s",
                                cycles, held_at_one_.size() == 1 ? "" : "s", names.c_str(), strength.c_str(),
                                uncapped_range_factor(cycles), strength.c_str(), temperature.c_str()));
    }

    bool present(int32_t code) const
    {
        return std::find(q_.load_cases.begin(), q_.load_cases.end(), code) != q_.load_cases.end();
    }

    // Into the one buffer of every case (cleared, not made again: a new
    // array of every element's forces per case costs more than the stresses).
    void read(int32_t code)
    {
        if (forces_.size() == m_.numelems())
            std::fill(forces_.begin(), forces_.end(), ElementForces{});
        else
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
                x.alpha = material_column2_at(mat, x.temperature);
                x.yield = material_property_at(mat, 4, x.temperature);
                x.rupture = material_property_at(mat, 5, x.temperature);
                if (k >= 1) {
                    v.hot_allowable = k == 1 ? x.allowable : std::min(v.hot_allowable, x.allowable);
                    v.hot_yield = k == 1 ? x.yield : std::min(v.hot_yield, x.yield);
                    v.hot_rupture = k == 1 ? x.rupture : std::min(v.hot_rupture, x.rupture);
                    v.hottest = k == 1 ? x.temperature : std::max(v.hottest, x.temperature);
                }
            }
            // A column that is not given in every row is not given.
            if (!column_given(mat, 4))
                v.hot_yield = 0.0;
            if (!column_given(mat, 5))
                v.hot_rupture = 0.0;
            found = set_cache_.emplace(key, v).first;
        }
        s.sets = &found->second.values;
        s.hot_allowable = found->second.hot_allowable;
        s.hot_yield = found->second.hot_yield;
        s.hot_rupture = found->second.hot_rupture;
        s.hottest = found->second.hottest;
    }
    struct SharedSets {
        std::array<SetValues, MAX_LOAD_SETS + 1> values{};
        double hot_allowable = 0.0;
        double hot_yield = 0.0;
        double hot_rupture = 0.0;
        double hottest = 0.0;
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
        out_.frp = OneBased<uint8_t>(m_.numelems());
        setup_ = OneBased<ElementSetup>(m_.numelems());
        edition_ = class2_edition(code_);
        pipeline_ = pipeline_code(code_);
        if (rules_ == StressRules::Class2) {
            out_.indices.resize(m_.numelems());
            branch_item_.assign(static_cast<std::size_t>(m_.numnodes()) + 1, 0);
            for (int r = 1; r <= m_.numrows(); ++r) {
                const LayoutRow& row = m_.model.rows[r];
                if (row.dtype == DT_BRANCH_SIF && m_.model.nodes.valid(row.node_index))
                    branch_item_[static_cast<std::size_t>(row.node_index)] = 1;
            }
        }
        if (rules_ == StressRules::Pipeline || rules_ == StressRules::En13480)
            out_.buried.resize(m_.numelems());
        const bool b31j = m_.options.use_b31j && code_allows_b31j(code_);
        const bool planes = code_has_in_out_plane_sifs(code_, b31j);
        for (int e = 1; e <= m_.numelems(); ++e) {
            const Elem& el = m_.model.elems[e];
            if (!element_is_pipe_like(el) || !m_.pipe_materials.valid(el.material))
                continue;
            const PipeMaterial& mat = m_.pipe_materials[el.material];
            if (mat.numtemps() == 0)
                continue;
            if (mat.frp) {
                prepare_frp(e, el);
                continue;
            }
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
                const ElementSifs& sifs = out_.sifs.elements[e];
                if (sifs.reduced_branch[end] && rules_ != StressRules::NoCode && rules_ != StressRules::InOutPlane) {
                    const double run_t = sifs.branch_run_thickness[end];
                    in.effective_modulus = branch_effective_section_modulus(d, t, run_t, in.sifs.in_plane);
                    // B31.3 and B31.12 sustained: each wall less its own
                    // allowance (the sustained equations take it).
                    in.corroded_effective_modulus = branch_effective_section_modulus(
                        d, t - allowance, run_t - sifs.branch_run_allowance[end], in.sifs.in_plane);
                }
                if (planes && (el.kind == ET_PIPE || el.kind == ET_JACKETED_PIPE || el.kind == ET_REDUCER) &&
                    m_.model.nodes[nodes[end]].branch_mark == 2)
                    plane(e, nodes[end], es);
            }
            out_.evaluated[e] = ok ? 1 : 0;
            prepare_code(e, el, mat, s);
        }
    }

    void prepare_frp(int e, const Elem& el)
    {
        if (frp_walls_.size() == 0)
            frp_walls_.resize(m_.numelems());
        const int nodes[2] = {el.node1, el.node2};
        bool ok = true;
        for (std::size_t end = 0; end < 2; ++end) {
            const auto [d, t] = element_end_size(m_, el, nodes[end]);
            frp_walls_[e][end] = stress_section(d, t);
            ok = ok && frp_walls_[e][end].valid();
        }
        out_.frp[e] = ok ? 1 : 0;
        any_frp_ = any_frp_ || ok;
    }

    // What the Class 2/3, EN 13480 and pipeline equations take of an element.
    void prepare_code(int e, const Elem& el, const PipeMaterial& mat, ElementSetup& s)
    {
        s.poisson = mat.nu > 0.0f ? mat.nu : 0.3;
        if (rules_ == StressRules::Class2) {
            const int nodes[2] = {el.node1, el.node2};
            for (std::size_t end = 0; end < 2; ++end) {
                s.indices[end] = class2_indices(class2_component(el, nodes[end]), bend_h(el),
                                                s.end[end].input.sifs.in_plane);
                out_.indices[e][end] = s.indices[end];
            }
        }
        if (rules_ == StressRules::Pipeline || rules_ == StressRules::En13480) {
            s.buried = element_is_buried(m_, e);
            out_.buried[e] = s.buried ? 1 : 0;
        }
        if (rules_ == StressRules::Pipeline) {
            PipelineFactors& f = s.pipeline;
            f.yield = pipeline_ == PipelineCode::Z662 ? z662_yield(mat, s) : s.hot_yield;
            f.joint = mat.joint_factor > 0.0f ? mat.joint_factor : 1.0;
            f.design = pipeline_ == PipelineCode::B318 ? b318_design_factor(m_.options.b318_design_factor_index)
                                                       : pipeline_ == PipelineCode::Z662 ? 0.8 : 0.72;
            f.location = z662_location_factor(m_.options.z184_class_location, m_.options.z184_sour_service);
            f.temperature = temperature_factor(s.hottest);
            // Z662 (clause 4.8) takes the torsional stress as St = Mt/2Z:
            // its SIF multiplies the bending moment only.
            if (pipeline_ == PipelineCode::Z662)
                for (EndSetup& es : s.end)
                    es.input.sifs.torsion = 1.0;
        }
    }

    // The temperature factor T of the pipeline code at a temperature (B31.4
    // has none: 1.0).
    std::optional<double> temperature_factor(double temperature) const
    {
        switch (pipeline_) {
        case PipelineCode::B318: return b318_temperature_factor(temperature);
        case PipelineCode::Z662: return z662_temperature_factor(temperature);
        case PipelineCode::B314: break;
        }
        return 1.0;
    }

    // S of Z662: the material's (yield) strength. A material without one (a
    // batch file cannot give it) takes the yield stress its property table
    // gives, the smallest at the temperatures of the sets in use, as B31.4
    // and B31.8 take theirs; the evaluation says so once per material.
    double z662_yield(const PipeMaterial& mat, const ElementSetup& s)
    {
        if (mat.strength > 0.0f)
            return mat.strength;
        if (s.hot_yield > 0.0)
            out_.notes.add("Z662: material " + mat.name +
                           " has no yield strength; S is the smallest yield stress of its property table at the "
                           "temperatures of the thermal sets in use");
        return s.hot_yield;
    }

    // The hoop stress of the pipeline codes, SH = P D/2t (B31.4 para.
    // 403.3.1, B31.8 para. 841.1.1, Z662 clause 4.3.5.1), on the wall less
    // its corrosion allowance (the pressure design wall of B31.4 para.
    // 403.2.1 and Z662 clause 4.3.5.1; for B31.8 the safe side), of an end
    // with a pressure above 0; against the allowable of the code's design,
    // location, joint and temperature factors (pipeline_stress.h) with T at
    // the case's temperature: an operating case's own set, the hottest set
    // for Sustained, whose pressure is the largest of the sets. The design
    // factors do not hold for the hydrotest's pressure, whose test limits
    // are not held here.
    void hoop_check(int e, std::size_t end, double pressure, int32_t code, CaseStress kind, EndStress& out) const
    {
        if (!(pressure > 0.0))
            return;
        const ElementSetup& s = setup_[e];
        const double sh = pipeline_hoop_stress(s.end[end].input.corroded, pressure);
        if (kind == CaseStress::Hydrotest) {
            set(out, sh, no_limit(Unchecked::NotHeld));
            return;
        }
        PipelineFactors f = s.pipeline;
        const int k = step_row(code).temperature_set;
        if (kind == CaseStress::Operating && k >= 1 && k <= std::clamp<int>(m_.options.numtloads, 1, MAX_LOAD_SETS))
            f.temperature = temperature_factor(s.set(k).temperature);
        set(out, sh, pipeline_limit(pipeline_hoop_allowable(pipeline_, f), f, Unchecked::NotHeld));
    }

    // The hydrotest's allowable (code_stress.h): the material's yield
    // strength under B31.3 and B31.12; the other codes' test limits are not
    // held here.
    Limit hydrotest_limit(const PipeMaterial& mat) const
    {
        if (const std::optional<double> a = hydrotest_allowable(code_, mat.strength))
            return limit(*a);
        return no_limit(code_ == CODE_B313 || code_ == CODE_B3112 ? Unchecked::StrengthNotGiven : Unchecked::NotHeld);
    }

    Class2Component class2_component(const Elem& el, int node) const
    {
        switch (el.kind) {
        case ET_BEND:
        case ET_JACKETED_BEND: return Class2Component::Bend;
        case ET_MITER: return Class2Component::Other;
        case ET_REDUCER: return Class2Component::Reducer;
        default: break;
        }
        return branch_item_[static_cast<std::size_t>(node)] ? Class2Component::BranchConnection
                                                             : Class2Component::StraightPipe;
    }

    // The bend characteristic h of an arc; 0 for other kinds.
    double bend_h(const Elem& el) const
    {
        if (el.kind != ET_BEND && el.kind != ET_JACKETED_BEND)
            return 0.0;
        BendSifInput b;
        const auto [d, t] = element_end_size(m_, el, el.node1);
        b.outside_diameter = d;
        b.thickness = t;
        b.radius = el.bend_radius(m_.model);
        return bend_characteristic(b);
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

    // The two thermal sets of an expansion case (0 the reference), and the
    // values at the lower and the higher temperature of the cycle between
    // two sets (found once per case).
    static std::pair<int, int> case_sets(int32_t code)
    {
        const StepRow& row = step_row(code);
        if (row.solve == StepSolve::Range)
            return {step_row(row.range_first).temperature_set, step_row(row.range_second).temperature_set};
        return {0, row.temperature_set};
    }
    std::pair<const SetValues*, const SetValues*> cycle(int e, int a, int b) const
    {
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
        if (rules_ == StressRules::Pipeline &&
            (kind == CaseStress::Sustained || kind == CaseStress::Operating || kind == CaseStress::Hydrotest))
            c.hoop = OneBased<EndStresses>(m_.numelems());
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
                const EndLoads l = loads(e, end, forces_[e]);
                if (own_equations()) {
                    sustained_pressure_[e] = p;
                    sustained_loads_[e][end] = l;
                    code_sustained(e, end, l, p, c.ends[e][end]);
                    if (c.hoop.valid(e))
                        hoop_check(e, end, p, LC_SUSTAINED, CaseStress::Sustained, c.hoop[e][end]);
                    continue;
                }
                const double s = sustained_stress(setup_[e].end[end].input, l, p);
                sustained_[e][end] = static_cast<float>(s);
                set(c.ends[e][end], s, material_limit(setup_[e].allowables, sh));
                out_.sustained_term[e][end] = c.ends[e][end];
            }
        }
        return c;
    }

    // A stress that is not a finite number (forces a damaged file gave) is
    // not evaluated; one without an allowable keeps why.
    static void set(EndStress& out, double stress, const Limit& allowable)
    {
        if (!std::isfinite(stress) || std::fabs(stress) > 3.0e38)
            return;
        out.stress = static_cast<float>(stress);
        out.evaluated = true;
        if (allowable.value && *allowable.value > 0.0 && *allowable.value < 3.0e38) {
            out.allowable = static_cast<float>(*allowable.value);
            out.checked = true;
        } else {
            out.unchecked = allowable.value ? Unchecked::NotPositive : allowable.why;
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
            // The case's own pressure, taken by the sustained equation.
            const double p = kind == CaseStress::Operating || kind == CaseStress::Hydrotest ? pressure(e, code) : 0.0;
            for (std::size_t end = 0; end < 2; ++end) {
                const EndLoads l = loads(e, end, forces_[e]);
                const StressInput& in = s.end[end].input;
                if (own_equations()) {
                    code_case(e, end, l, code, kind, p, c.ends[e][end]);
                    if (c.hoop.valid(e))
                        hoop_check(e, end, p, code, kind, c.hoop[e][end]);
                    continue;
                }
                switch (kind) {
                case CaseStress::Operating:
                    set(c.ends[e][end], sustained_stress(in, l, p), no_limit(Unchecked::NoCodeLimit));
                    break;
                case CaseStress::Hydrotest:
                    set(c.ends[e][end], sustained_stress(in, l, p), hydrotest_limit(*s.material));
                    break;
                case CaseStress::Occasional: {
                    const double total = sustained_[e][end] + occasional_stress(in, l);
                    set(c.ends[e][end], total,
                        k ? material_limit(s.allowables, *k * hot_allowable(e)) : no_limit(Unchecked::NotHeld));
                    break;
                }
                default: break;
                }
            }
        }
        return c;
    }

    // ---- ASME Class 2/3, EN 13480, the pipeline codes ----------------------------------

    bool own_equations() const
    {
        return rules_ == StressRules::Class2 || rules_ == StressRules::En13480 || rules_ == StressRules::Pipeline;
    }

    static double modulus_of(const StressInput& in)
    {
        return in.effective_modulus > 0.0 ? in.effective_modulus : in.section.section_modulus;
    }

    // The bending stress sqrt((Ii Mi)^2 + (Io Mo)^2) / Z, with the sustained
    // indices (0.75 i, at least 1) or the SIFs themselves; the torsional
    // shear it Mt / 2Z.
    static double bending_stress(const StressInput& in, const EndLoads& l, bool sustained_index)
    {
        const double z = modulus_of(in);
        if (!(z > 0.0))
            return 0.0;
        const auto index = [&](double i) { return sustained_index ? std::max(0.75 * i, 1.0) : std::max(i, 1.0); };
        return std::hypot(index(in.sifs.in_plane) * l.in_plane, index(in.sifs.out_plane) * l.out_plane) / z;
    }
    static double torsion_stress(const StressInput& in, const EndLoads& l)
    {
        const double z = modulus_of(in);
        return z > 0.0 ? std::max(in.sifs.torsion, 1.0) * l.torsion / (2.0 * z) : 0.0;
    }

    // The restrained pipe's stresses of a buried element end at a
    // temperature (the reference temperature: no thermal term).
    RestrainedStress restrained(int e, std::size_t end, const EndLoads& l, double pressure, double temperature,
                                double alpha, bool sustained_index) const
    {
        const ElementSetup& s = setup_[e];
        const StressInput& in = s.end[end].input;
        return restrained_stress(pipeline_, pipeline_hoop_stress(in.section, pressure), s.poisson,
                                 s.set(0).modulus, alpha, s.set(0).temperature, temperature,
                                 bending_stress(in, l, sustained_index), torsion_stress(in, l));
    }

    // The code's sustained equation at an end (no allowable).
    double code_primary(int e, std::size_t end, const EndLoads& l, double p) const
    {
        const ElementSetup& s = setup_[e];
        const StressInput& in = s.end[end].input;
        switch (rules_) {
        case StressRules::Class2:
            return class2_sustained(edition_, in.section, modulus_of(in), s.indices[end], in.sifs.in_plane, l, p);
        case StressRules::En13480: return en13480_sigma1(in.section, modulus_of(in), in.sifs, l, p);
        case StressRules::Pipeline:
            if (s.buried)
                return std::fabs(restrained(e, end, l, p, s.set(0).temperature, 0.0, true).longitudinal);
            return unrestrained_sustained_stress(in, l, p);
        default: break;
        }
        return 0.0;
    }

    void code_sustained(int e, std::size_t end, const EndLoads& l, double p, EndStress& out)
    {
        const ElementSetup& s = setup_[e];
        const StressInput& in = s.end[end].input;
        const double stress = code_primary(e, end, l, p);
        sustained_[e][end] = static_cast<float>(stress);
        Limit allowable;
        EndStress& term = out_.sustained_term[e][end];
        switch (rules_) {
        case StressRules::Class2: {
            allowable = material_limit(s.allowables, class2_sustained_allowable(edition_, s.hot_allowable));
            // The sustained term of Eq. (11).
            set(term, class2_pressure_term(in.section, p, 0.5) +
                          std::max(0.75 * in.sifs.in_plane, 1.0) * l.resultant() / modulus_of(in),
                Limit{});
            break;
        }
        case StressRules::En13480:
            allowable = material_limit(s.allowables, en13480_design_stress(s.hot_allowable, s.hot_rupture));
            break;
        case StressRules::Pipeline:
            // Z662 unrestrained pipe: its sustained limit is not one this
            // evaluation holds.
            allowable = pipeline_limit(s.buried ? restrained_allowable(pipeline_, s.pipeline)
                                                : unrestrained_sustained_allowable(pipeline_, s.pipeline),
                                       s.pipeline, Unchecked::NotHeld);
            break;
        default: break;
        }
        set(out, stress, allowable);
        if (rules_ != StressRules::Class2)
            term = out;
    }

    // Operating, hydrotest, occasional and settlement cases at an end
    // (case_pressure: the pressure of an operating or hydrotest case).
    void code_case(int e, std::size_t end, const EndLoads& l, int32_t code, CaseStress kind, double case_pressure,
                   EndStress& out)
    {
        const ElementSetup& s = setup_[e];
        const StressInput& in = s.end[end].input;
        const double z = modulus_of(in);
        switch (kind) {
        case CaseStress::Operating:
        case CaseStress::Hydrotest:
            // The stress by the sustained equation; the hydrotest has no
            // allowable these codes' records could give.
            set(out, code_primary(e, end, l, case_pressure),
                no_limit(kind == CaseStress::Operating ? Unchecked::NoCodeLimit : Unchecked::NotHeld));
            return;
        case CaseStress::Settlement:
            if (rules_ == StressRules::Class2)
                set(out, class2_expansion(z, in.sifs.in_plane, l),
                    material_limit(s.allowables, class2_settlement_allowable(s.set(0).allowable)));
            else
                set(out, en13480_sigma6(z, in.sifs, l), material_limit(s.allowables, 3.0 * s.hot_allowable));
            return;
        case CaseStress::Occasional: break;
        default: return;
        }
        // Occasional: the magnitudes of the case's loads are added.
        const EndLoads b{std::fabs(l.axial), std::fabs(l.torsion), std::fabs(l.in_plane), std::fabs(l.out_plane)};
        const EndLoads& a = sustained_loads_[e][end];
        const double p = sustained_pressure_[e];
        Limit allowable;
        double stress = 0.0;
        switch (rules_) {
        case StressRules::Class2: {
            stress = class2_occasional(edition_, in.section, z, s.indices[end], in.sifs.in_plane, a, b,
                                       std::max(m_.options.peak_pressure_factor, 1.0f) * p);
            const std::optional<double> sa =
                class2_occasional_allowable(edition_, m_.options.service_level, s.hot_allowable, s.hot_yield);
            allowable = !s.allowables ? no_limit(Unchecked::AllowablesNotGiven)
                        : sa          ? limit(*sa)
                                      : no_limit(Unchecked::YieldColumnNotGiven);
            break;
        }
        case StressRules::En13480:
            stress = en13480_sigma2(in.section, z, in.sifs, a, b, p);
            allowable = material_limit(s.allowables, en13480_occasional_factor(code, m_.options.seismic_coefficient) *
                                                         en13480_design_stress(s.hot_allowable, s.hot_rupture));
            break;
        case StressRules::Pipeline:
            // B31.8 and Z662: their occasional limits are not ones this
            // evaluation holds.
            stress = sustained_[e][end] + bending_stress(in, b, true) + b.axial / in.section.area;
            allowable = pipeline_limit(unrestrained_occasional_allowable(pipeline_, s.pipeline), s.pipeline,
                                       Unchecked::NotHeld);
            break;
        default: break;
        }
        set(out, stress, allowable);
    }

    // The temperature of an expansion case's restrained check: of its two
    // sets, the one farther from the reference temperature.
    const SetValues& restrained_set(int e, int32_t code) const
    {
        const auto [a, b] = case_sets(code);
        const SetValues& va = setup_[e].set(a);
        const SetValues& vb = setup_[e].set(b);
        const double ref = setup_[e].set(0).temperature;
        return std::fabs(va.temperature - ref) > std::fabs(vb.temperature - ref) ? va : vb;
    }

    void code_expansion(int e, std::size_t end, const EndLoads& l, int32_t code, const SetValues& low,
                        const SetValues& high, double f, bool liberal, CaseStresses& c)
    {
        const ElementSetup& s = setup_[e];
        const StressInput& in = s.end[end].input;
        const double z = modulus_of(in);
        const EndLoads& a = sustained_loads_[e][end];
        const double p = sustained_pressure_[e];
        EndStress& out = c.ends[e][end];
        switch (rules_) {
        case StressRules::Class2: {
            const double sa = expansion_allowable(f, low.allowable, high.allowable, liberal, sustained_[e][end]);
            set(out, class2_expansion(z, in.sifs.in_plane, l), material_limit(s.allowables, sa));
            set(c.combined[e][end], class2_combined(in.section, z, in.sifs.in_plane, a, l, p),
                material_limit(s.allowables, class2_combined_allowable(high.allowable, sa)));
            return;
        }
        case StressRules::En13480: {
            if (s.buried) {
                // Buried pipe: the restrained pipe's Tresca stress; EN 13480-3
                // gives it no allowable.
                const SetValues& t = restrained_set(e, code);
                set(out, restrained_stress(PipelineCode::Z662, pipeline_hoop_stress(in.section, p), s.poisson,
                                           s.set(0).modulus, t.alpha, s.set(0).temperature, t.temperature,
                                           bending_stress(in, l, false), torsion_stress(in, l))
                             .tresca,
                    no_limit(Unchecked::NoCodeLimit));
                return;
            }
            const double sigma3 = en13480_sigma3(z, in.sifs, l);
            const std::optional<double> u = en13480_range_factor(m_.options.thermal_cycles);
            std::optional<double> fa;
            if (u && s.allowables)
                fa = expansion_allowable(*u, low.allowable, high.allowable, liberal, sustained_[e][end]);
            set(out, sigma3,
                fa ? limit(*fa) : no_limit(u ? Unchecked::AllowablesNotGiven : Unchecked::CyclesBeyondTable));
            if (fa && sigma3 > *fa)
                set(c.combined[e][end], en13480_sigma4(in.section, z, in.sifs, a, l, p), limit(high.allowable + *fa));
            if (high.rupture > 0.0 && s.hot_rupture > 0.0)
                set(c.creep[e][end], en13480_sigma5(in.section, z, in.sifs, a, l, p), limit(high.rupture));
            return;
        }
        case StressRules::Pipeline:
            if (s.buried) {
                const SetValues& t = restrained_set(e, code);
                set(out, restrained(e, end, l, p, t.temperature, t.alpha, false).equivalent,
                    pipeline_limit(restrained_allowable(pipeline_, s.pipeline), s.pipeline, Unchecked::NotHeld));
            } else {
                const double sb = bending_stress(in, l, false), st = torsion_stress(in, l);
                set(out, std::sqrt(sb * sb + 4.0 * st * st),
                    pipeline_ == PipelineCode::B318
                        ? b318_expansion_limit(s, low, high, sustained_[e][end])
                        : pipeline_limit(unrestrained_expansion_allowable(pipeline_, s.pipeline), s.pipeline,
                                         Unchecked::NotHeld));
            }
            return;
        default: break;
        }
    }

    // B31.8's SA of para. 833.8 (b318_expansion_allowable): the material's
    // tensile strength Su with T at the cycle's lower and higher temperature,
    // and SL of the Sustained case at the end.
    Limit b318_expansion_limit(const ElementSetup& s, const SetValues& low, const SetValues& high,
                               double sustained) const
    {
        if (!(s.material->strength > 0.0f))
            return no_limit(Unchecked::TensileNotHeld);
        if (!present(LC_SUSTAINED))
            return no_limit(Unchecked::SustainedNotAnalysed);
        const std::optional<double> sa = b318_expansion_allowable(s.material->strength, low.temperature,
                                                                  high.temperature, m_.options.thermal_cycles,
                                                                  sustained);
        return sa ? limit(*sa) : no_limit(Unchecked::TemperatureBeyondTable);
    }

    // ---- FRP ------------------------------------------------------------------------

    // The FRP stresses of every FRP element in every load case with a code
    // stress, each case's forces read once more.
    void frp_pass()
    {
        for (int32_t code : q_.load_cases) {
            const CaseStress kind = case_stress(code);
            if (kind == CaseStress::None)
                continue;
            read(code);
            FrpCaseStresses c;
            c.code = code;
            c.ends = OneBased<std::array<FrpEndStress, 2>>(m_.numelems());
            for (int e = 1; e <= m_.numelems(); ++e) {
                if (!out_.frp[e])
                    continue;
                const Elem& el = m_.model.elems[e];
                const PipeMaterial& mat = m_.pipe_materials[el.material];
                const auto [first, second] = case_sets(code);
                const StepRow& row = step_row(code);
                PipeLoadStep step = pipe_load_step(m_, row, el.load, el.row);
                if (kind == CaseStress::Sustained || kind == CaseStress::Occasional) {
                    // At the hottest set in use, as the metal codes' hot allowable.
                    const int sets = std::clamp<int>(m_.options.numtloads, 1, MAX_LOAD_SETS);
                    for (int k = 1; k <= sets; ++k) {
                        const double t = pipe_load_step(m_, step_row(operating_code(k)), el.load, el.row).temperature;
                        step.temperature = k == 1 ? t : std::max(step.temperature, t);
                    }
                } else if (row.solve == StepSolve::Range) {
                    const double ta = pipe_load_step(m_, step_row(operating_code(std::max(first, 1))), el.load, el.row).temperature;
                    const double tb = pipe_load_step(m_, step_row(operating_code(std::max(second, 1))), el.load, el.row).temperature;
                    step.temperature = std::max(ta, tb);
                }
                FrpAllowables a;
                a.hoop = material_property_at(mat, 3, step.temperature);
                a.torsion = material_property_at(mat, 4, step.temperature);
                a.axial = material_property_at(mat, 5, step.temperature);
                for (std::size_t end = 0; end < 2; ++end) {
                    const FrpEndStress r = frp_end_stress(frp_walls_[e][end], out_.sifs.elements[e].end[end],
                                                          end_loads(forces_[e], static_cast<int>(end)),
                                                          step.pressure, a);
                    if (std::isfinite(r.hoop) && std::isfinite(r.axial) && std::isfinite(r.torsion))
                        c.ends[e][end] = r;
                }
            }
            out_.frp_cases.push_back(std::move(c));
        }
    }

    // ---- Expansion --------------------------------------------------------------------

    // The code asks for the expansion stress on the reference modulus
    // (code_evaluation.h: the rule of each code).
    bool wants_reference_modulus() const
    {
        if (!code_has_cold_modulus_option(code_))
            return true;   // B31.3, B31.4, B31.5, B31.8, EN 13480, B31.12
        return m_.options.use_cold_modulus;
    }

    // B31.8 and EN 13480 take SE on the larger of the moduli at the
    // reference temperature and at the case's, so that the stress range is
    // never on the unsafe side: a case hotter than the reference is taken on
    // E(reference), one colder (whose modulus is the larger) on its own.
    bool larger_modulus() const { return code_ == CODE_B318 || code_ == CODE_EN13480; }

    // The forces as solved are not on the modulus asked for: those solved at
    // the cases' temperatures under the codes of the reference modulus, and
    // under the codes of the larger one those solved on either.
    bool scaling() const
    {
        return wants_reference_modulus() &&
               (q_.solved_with == ExpansionModulus::CaseTemperature || larger_modulus());
    }

    // The modulus an element's SE is taken on in a case of the sets a and b
    // (a range, or 0 and the set of an Expansion case): E(reference), under
    // B31.8 and EN 13480 the largest of it and the sets' own, one modulus for
    // both ends of a range.
    double asked_modulus(int e, int set_a, int set_b) const
    {
        const double reference = setup_[e].set(0).modulus;
        if (!larger_modulus())
            return reference;
        return std::max({reference, setup_[e].set(set_a).modulus, setup_[e].set(set_b).modulus});
    }

    // The factor that turns an element's expansion forces of a set, as they
    // were solved (on the set's modulus, or on the reference one), into
    // those on the asked-for modulus.
    double modulus_factor(int e, int set, double asked) const
    {
        const double solved = q_.solved_with == ExpansionModulus::CaseTemperature ? setup_[e].set(set).modulus
                                                                                   : setup_[e].set(0).modulus;
        return solved > 0.0 && asked > 0.0 ? asked / solved : 1.0;
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

    // Keeps the factor an element's forces of a set were scaled by, once
    // for each material and temperature.
    void note_scale(CaseStresses& c, int e, int set, double asked) const
    {
        const double k = modulus_factor(e, set, asked);
        if (k == 1.0)
            return;
        const ModulusScale m{setup_[e].material->name, setup_[e].set(set).temperature, k};
        if (std::find(c.scaled.begin(), c.scaled.end(), m) == c.scaled.end())
            c.scaled.push_back(m);
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
        c.larger_modulus = larger_modulus();
        c.solved_on_reference = q_.solved_with == ExpansionModulus::Reference;
        if (rules_ == StressRules::Class2 || rules_ == StressRules::En13480) {
            c.combined = OneBased<EndStresses>(m_.numelems());
            c.creep = OneBased<EndStresses>(m_.numelems());
        }
        const bool liberal = m_.options.liberal_allowable && present(LC_SUSTAINED);
        for (int e = 1; e <= m_.numelems(); ++e) {
            if (!out_.evaluated[e])
                continue;
            const ElementSetup& s = setup_[e];
            const ElementForces* forces = &(*first)[e];
            ElementForces range;
            double k = 1.0;
            const double asked = scale ? asked_modulus(e, set_a, set_b) : 0.0;
            if (composed) {
                // F(Ti) E/Ei - F(Tj) E/Ej, E the asked-for modulus.
                const double ka = modulus_factor(e, set_a, asked), kb = modulus_factor(e, set_b, asked);
                for (std::size_t i = 0; i < 12; ++i)
                    range[i] = static_cast<float>((*forces)[i] * ka - (*second)[e][i] * kb);
                forces = &range;
                c.difference = true;
                note_scale(c, e, set_a, asked);
                note_scale(c, e, set_b, asked);
            } else if (scale) {
                // A single case on its own set's modulus; a range without its
                // two cases at its hotter end.
                const int set = set_a == 0 ? set_b : s.set(set_a).temperature >= s.set(set_b).temperature ? set_a : set_b;
                k = modulus_factor(e, set, asked);
                note_scale(c, e, set, asked);
            }
            const auto [low, high] = cycle(e, set_a, set_b);
            const double f = range_factor(s, *high);
            for (std::size_t end = 0; end < 2; ++end) {
                EndLoads l = loads(e, end, *forces);
                l.axial *= k;
                l.torsion *= k;
                l.in_plane *= k;
                l.out_plane *= k;
                if (own_equations()) {
                    code_expansion(e, end, l, code, *low, *high, f, liberal, c);
                    continue;
                }
                const double se = expansion_stress(s.end[end].input, l);
                set(c.ends[e][end], se,
                    material_limit(s.allowables, expansion_allowable(f, low->allowable, high->allowable, liberal,
                                                                     sustained_[e][end])));
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
