#include "analysis_core/steps.h"

#include "analysis_core/analysis_run.h"
#include "model/load_cases.h"
#include "model/piping_codes.h"

#include <array>

namespace {

using Table = std::array<StepRow, MAX_LOAD_CASE_CODE + 1>;

// A case with weight at the reference temperature and a pressure set.
StepRow weight_case(int code, int pressure_set)
{
    StepRow r;
    r.code = code;
    r.solve = StepSolve::Static;
    r.weight = true;
    r.pressure_set = pressure_set;
    r.display_position = true;
    return r;
}

// A case with weight, temperature set k and pressure set k.
StepRow operating_case(int code, int set)
{
    StepRow r = weight_case(code, set);
    r.temperature = true;
    r.temperature_set = set;
    r.beam_temperature_set = set;
    r.displacement_set = set;
    return r;
}

StepRow occasional_case(int code)
{
    StepRow r;
    r.code = code;
    r.solve = StepSolve::Static;
    r.display_position = true;
    return r;
}

// A step at the reference temperature that the static driver does not solve
// (the dynamic and hanger-design steps).
StepRow unsolved(int code, bool display = false)
{
    StepRow r;
    r.code = code;
    r.display_position = display;
    return r;
}

Table make_table()
{
    Table t{};
    for (int code = 0; code <= MAX_LOAD_CASE_CODE; ++code)
        t[static_cast<std::size_t>(code)].code = code;
    auto set = [&t](const StepRow& r) { t[static_cast<std::size_t>(r.code)] = r; };

    set(weight_case(LC_SUSTAINED, SET_MAX_PRESSURE));
    for (int k = 1; k <= MAX_LOAD_SETS; ++k) {
        StepRow e = occasional_case(expansion_code(k));
        e.temperature = true;
        e.temperature_set = e.beam_temperature_set = e.pressure_set = k;
        e.displacement_set = k;
        set(e);
        set(operating_case(operating_code(k), k));
        StepRow c = operating_case(cold_spring_code(k), k);
        c.cold_spring = true;
        set(c);
        set(weight_case(sustained_code(k), k));
    }
    // The Expansion ranges Ti - Tj.
    int code = 58;
    for (int i = 1; i <= 9; ++i) {
        for (int j = i + 1; j <= 10; ++j) {
            StepRow r;
            r.code = i == 1 && j == 2 ? 5 : i == 1 && j == 3 ? 6 : i == 2 && j == 3 ? 7 : code++;
            r.solve = StepSolve::Range;
            r.range_first = expansion_code(i);
            r.range_second = expansion_code(j);
            r.display_position = true;
            set(r);
        }
    }

    StepRow settlement = occasional_case(LC_SETTLEMENT);
    settlement.settlement = true;
    set(settlement);
    StepRow seismic = occasional_case(LC_SEISMIC_G);
    seismic.seismic_g = true;
    seismic.occasional = true;
    set(seismic);
    const int wind_codes[] = {LC_WIND, 107, 108, 109};
    for (int k = 1; k <= 4; ++k) {
        StepRow w = occasional_case(wind_codes[k - 1]);
        w.wind = k;
        w.occasional = true;
        set(w);
    }
    StepRow cold = weight_case(LC_COLD_SPRING, SET_MAX_PRESSURE);
    cold.cold_spring = true;
    set(cold);
    StepRow hydrotest = weight_case(LC_HYDROTEST, SET_HYDROTEST);
    set(hydrotest);

    StepRow empty_weight = weight_case(LC_EMPTY_WEIGHT, SET_NONE);
    empty_weight.no_contents = true;
    set(empty_weight);
    StepRow design = weight_case(LC_DESIGN, SET_DESIGN);
    design.temperature = true;
    design.temperature_set = SET_DESIGN;
    set(design);
    StepRow design_cold = design;
    design_cold.code = LC_COLD_SPRING_DESIGN;
    design_cold.cold_spring = true;
    set(design_cold);

    // The operating case of set 1 that the dynamic analyses start from.
    StepRow static_analysis = operating_case(LC_STATIC_ANALYSIS, 1);
    static_analysis.operating1 = true;
    set(static_analysis);
    t[LC_OPERATING_1].operating1 = true;

    // Steps of the hanger design, the dynamic analyses and buried piping:
    // not solved by the static driver; their rows say what their elements
    // assemble when those analyses run.
    set(unsolved(LC_EMPTY));
    // Hanger loads are weight cases, hanger travel the operating case of set 1.
    for (int code : {20, 22, 25}) {
        StepRow r = unsolved(code);
        r.weight = true;
        r.pressure_set = SET_MAX_PRESSURE;
        r.hanger_load_recalc = code == 22;
        set(r);
    }
    for (int code : {21, 23}) {
        StepRow r = operating_case(code, 1);
        r.solve = StepSolve::None;
        r.display_position = false;
        set(r);
    }
    set(unsolved(24));
    // The dynamic steps: snubbers act in them.
    auto dynamic = [](int code, bool display = false) {
        StepRow r = unsolved(code, display);
        r.solve = StepSolve::Dynamic;
        r.occasional = true;
        r.dynamic = true;
        return r;
    };
    for (int c = 26; c <= 29; ++c)
        set(dynamic(c));
    StepRow modal = dynamic(LC_MODAL);
    modal.solve = StepSolve::Modal;
    modal.modal = true;
    set(modal);
    set(dynamic(LC_RESPONSE_SPECTRUM, true));
    set(dynamic(33));
    set(dynamic(LC_MISSING_MASS));
    set(dynamic(LC_TIME_HISTORY, true));
    set(dynamic(LC_HARMONIC, true));
    set(dynamic(LC_FORCE_SPECTRUM, true));
    // The buried cases: Operating cases with the soil springs of buried piping.
    for (int k = 1; k <= MAX_LOAD_SETS; ++k) {
        StepRow r = operating_case(k <= 3 ? 37 + k : 113 + k, k);
        r.solve = StepSolve::None;
        r.display_position = false;
        set(r);
    }
    return t;
}

const Table& table()
{
    static const Table t = make_table();
    return t;
}

}  // namespace

const StepRow& step_row(int code)
{
    if (code < 1 || code > MAX_LOAD_CASE_CODE)
        return table()[0];
    return table()[static_cast<std::size_t>(code)];
}

std::span<const StepRow> step_rows()
{
    return std::span<const StepRow>(table()).subspan(1);
}

bool step_has_display_position(int code, int32_t piping_code)
{
    if (code == LC_SETTLEMENT)
        return code_is_class2_group(piping_code);
    return step_row(code).display_position;
}

int expansion_code(int set)
{
    return set <= 3 ? 1 + set : 47 + set;
}

int operating_code(int set)
{
    return set <= 3 ? 7 + set : 96 + set;
}

int cold_spring_code(int set)
{
    return set <= 3 ? 14 + set : 106 + set;
}

int sustained_code(int set)
{
    return 40 + set;
}

// ---- The current step ---------------------------------------------------------------

int current_step_type(const AnalysisRun& run)
{
    return run.step().code;
}

const StepRow& current_step(const AnalysisRun& run)
{
    return step_row(run.step().code);
}

bool step_has_weight(const AnalysisRun& run)
{
    return current_step(run).weight;
}

bool step_has_temperature(const AnalysisRun& run)
{
    return current_step(run).temperature;
}

namespace {
// The row whose own loads act in the step: its added case's, or its own.
const StepRow& own_loads_row(const AnalysisRun& run)
{
    const StepState& s = run.step();
    return step_row(s.added != 0 ? s.added : s.code);
}
}  // namespace

bool step_has_seismic_g(AnalysisRun& run)
{
    StepState& s = run.step();
    s.gx = s.gy = s.gz = false;
    if (!own_loads_row(run).seismic_g || s.own_loads_withheld)
        return false;
    const StaticSeismic& g = run.snapshot().loads.seismic;
    const int axis = s.seismic_axis;
    s.gx = (axis == 0 || axis == 1) && g.x && g.gx != 0.0;
    s.gy = (axis == 0 || axis == 2) && g.y && g.gy != 0.0;
    s.gz = (axis == 0 || axis == 3) && g.z && g.gz != 0.0;
    return s.gx || s.gy || s.gz;
}

std::array<double, 3> step_seismic_factors(AnalysisRun& run)
{
    if (!step_has_seismic_g(run))
        return {};
    const StaticSeismic& g = run.snapshot().loads.seismic;
    const StepState& s = run.step();
    std::array<double, 3> factors{s.gx ? g.gx : 0.0, s.gy ? g.gy : 0.0, s.gz ? g.gz : 0.0};
    if (s.seismic_sign < 0)
        for (double& f : factors)
            f = -f;
    return factors;
}

int step_wind_case(const AnalysisRun& run)
{
    return run.step().own_loads_withheld ? 0 : own_loads_row(run).wind;
}

bool step_has_wind(const AnalysisRun& run) { return step_wind_case(run) == 1; }
bool step_is_wind2(const AnalysisRun& run) { return step_wind_case(run) == 2; }
bool step_is_wind3(const AnalysisRun& run) { return step_wind_case(run) == 3; }
bool step_is_wind4(const AnalysisRun& run) { return step_wind_case(run) == 4; }
bool step_is_cold_spring(const AnalysisRun& run) { return current_step(run).cold_spring; }
bool step_is_settlement(const AnalysisRun& run)
{
    return !run.step().own_loads_withheld && own_loads_row(run).settlement;
}
int step_displacement_set(const AnalysisRun& run) { return current_step(run).displacement_set; }
bool step_is_modal(const AnalysisRun& run) { return current_step(run).modal; }
bool step_is_dynamic(const AnalysisRun& run) { return current_step(run).dynamic; }
bool step_is_occasional(const AnalysisRun& run) { return own_loads_row(run).occasional; }
bool step_is_operating1(const AnalysisRun& run) { return current_step(run).operating1; }
bool step_is_hanger_load_recalc(const AnalysisRun& run) { return current_step(run).hanger_load_recalc; }
bool step_is_hanger_load(const AnalysisRun& run)
{
    const int code = current_step_type(run);
    return code == 20 || code == 22;
}
