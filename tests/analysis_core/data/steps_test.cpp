// The step table, row by row, against what each load case's name says
// ("Operating (W+P2+T2)": weight, pressure set 2, temperature set 2), the
// beam temperature table of the beam element, and the predicates on a run.
#include "analysis_core/analysis_run.h"
#include "analysis_core/steps.h"
#include "model/load_cases.h"
#include "model/piping_codes.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

// What a name says: weight, the temperature set, the pressure set and the
// range Ti - Tj, read from "(W", "Tk", "TD", "Pk", "PD", "(W+P)" and "Ti-Tj".
struct NameSays {
    bool weight = false;
    int temperature = SET_NONE;
    int pressure = SET_NONE;
    int range_i = 0, range_j = 0;
};

NameSays read_name(const std::string& name)
{
    NameSays says;
    says.weight = name.find("(W") != std::string::npos;
    std::smatch m;
    if (std::regex_search(name, m, std::regex("T([0-9]+)-T([0-9]+)"))) {
        says.range_i = std::stoi(m[1]);
        says.range_j = std::stoi(m[2]);
        return says;
    }
    if (std::regex_search(name, m, std::regex("T([0-9]+)\\)")))
        says.temperature = std::stoi(m[1]);
    if (name.find("TD)") != std::string::npos)
        says.temperature = SET_DESIGN;
    if (std::regex_search(name, m, std::regex("P([0-9]+)")))
        says.pressure = std::stoi(m[1]);
    if (name.find("+PD") != std::string::npos)
        says.pressure = SET_DESIGN;
    if (name.find("(W+P)") != std::string::npos)
        says.pressure = SET_MAX_PRESSURE;
    return says;
}

// The beam temperature of each step code, as the beam element's table
// gives it: T1..T10 (0 for the reference temperature).
int beam_table(int code)
{
    const std::set<int> by_set[11] = {
        {},
        {2, 8, 15, 21, 23, 32, 38},
        {3, 9, 16, 39},
        {4, 10, 17, 40},
        {51, 100, 110, 117},
        {52, 101, 111, 118},
        {53, 102, 112, 119},
        {54, 103, 113, 120},
        {55, 104, 114, 121},
        {56, 105, 115, 122},
        {57, 106, 116, 123}};
    for (int k = 1; k <= 10; ++k)
        if (by_set[k].count(code))
            return k;
    return 0;
}

// The codes the static driver solves now.
bool solved_now(int code, const std::string& name)
{
    if (name.rfind("Sustained", 0) == 0 || name.rfind("Operating", 0) == 0 || name.rfind("Cold spring", 0) == 0 ||
        name.rfind("Wind", 0) == 0 || name.rfind("Design (", 0) == 0)
        return true;
    if (name.rfind("Expansion", 0) == 0)
        return name.find('-') == std::string::npos;
    return code == LC_SETTLEMENT || code == LC_SEISMIC_G || code == LC_HYDROTEST || code == LC_STATIC_ANALYSIS ||
           code == LC_EMPTY_WEIGHT;
}

}  // namespace

TEST(StepTable, EveryRowIsWhatItsNameSays)
{
    ASSERT_EQ(step_rows().size(), 126u);
    for (int code = 1; code <= 126; ++code) {
        const std::string& name = load_case_names(code);
        SCOPED_TRACE(std::to_string(code) + " " + name);
        const StepRow& row = step_row(code);
        ASSERT_EQ(row.code, code);
        const NameSays says = read_name(name);

        if (says.range_i) {
            EXPECT_EQ(row.solve, StepSolve::Range);
            EXPECT_EQ(row.range_first, expansion_code(says.range_i));
            EXPECT_EQ(row.range_second, expansion_code(says.range_j));
            EXPECT_EQ(load_case_names(row.range_first), "Expansion (T" + std::to_string(says.range_i) + ")");
            EXPECT_FALSE(row.weight || row.temperature);
            continue;
        }
        EXPECT_EQ(row.solve == StepSolve::Static, solved_now(code, name));
        // Hydrotest, the operating case of the dynamic analyses and the hanger
        // design's cases (loads: weight; travel: the operating case of set 1).
        const bool special_weight = code == LC_HYDROTEST || code == LC_STATIC_ANALYSIS || (code >= 20 && code <= 23) ||
                                    code == 25;
        EXPECT_EQ(row.weight, says.weight || special_weight);
        if (code != LC_STATIC_ANALYSIS && code != 21 && code != 23) {
            EXPECT_EQ(row.temperature_set, says.temperature);
            // Expansion (Tk) carries Pk for the Bourdon strain.
            const bool expansion = name.rfind("Expansion", 0) == 0;
            const int pressure = expansion ? says.temperature : code == LC_HYDROTEST ? SET_HYDROTEST : says.pressure;
            if (code != 20 && code != 22 && code != 25) {
                EXPECT_EQ(row.pressure_set, pressure);
            }
        }
        EXPECT_EQ(row.temperature, row.temperature_set != SET_NONE);
        EXPECT_EQ(row.displacement_set, row.temperature_set <= 10 ? row.temperature_set : 0);
        EXPECT_EQ(row.beam_temperature_set, beam_table(code));
        EXPECT_EQ(row.cold_spring, name.rfind("Cold spring", 0) == 0);
        EXPECT_EQ(row.seismic_g, code == LC_SEISMIC_G);
        EXPECT_EQ(row.settlement, code == LC_SETTLEMENT);
        EXPECT_EQ(row.no_contents, code == LC_EMPTY_WEIGHT);
        const int wind = name == "Wind" ? 1 : name.rfind("Wind ", 0) == 0 ? std::stoi(name.substr(5)) : 0;
        EXPECT_EQ(row.wind, wind);
        EXPECT_EQ(row.modal, code == LC_MODAL);
        // Snubbers act in the seismic and wind cases and the dynamic steps
        // (26 to 37 but the static operating case 32).
        const bool dynamic = code >= 26 && code <= 37 && code != LC_STATIC_ANALYSIS;
        EXPECT_EQ(row.occasional, code == LC_SEISMIC_G || wind != 0 || dynamic) << name;
        EXPECT_EQ(row.operating1, code == 8 || code == 32);
        EXPECT_EQ(row.hanger_load_recalc, code == 22);
    }
    // Codes outside 1..126 assemble nothing.
    EXPECT_EQ(step_row(0).solve, StepSolve::None);
    EXPECT_EQ(step_row(127).code, 0);
    EXPECT_EQ(step_row(-4).weight, false);
}

TEST(StepTable, DisplayPositionsAndSetCodes)
{
    std::set<int> shown;
    for (int code = 1; code <= 126; ++code)
        if (step_has_display_position(code, CODE_B313))
            shown.insert(code);
    std::set<int> expected;
    for (int c = 1; c <= 17; ++c) expected.insert(c);
    for (int c : {19, 31, 32, 35, 36, 37}) expected.insert(c);
    for (int c = 41; c <= 116; ++c) expected.insert(c);
    for (int c : {124, 125, 126}) expected.insert(c);
    expected.erase(LC_SETTLEMENT);
    EXPECT_EQ(shown, expected);
    // Settlement only under the codes that have it.
    EXPECT_TRUE(step_has_display_position(LC_SETTLEMENT, CODE_EN13480));
    EXPECT_FALSE(step_has_display_position(LC_SETTLEMENT, CODE_B311));
    EXPECT_FALSE(step_has_display_position(LC_MODAL, CODE_EN13480));

    for (int k = 1; k <= 10; ++k) {
        const std::string n = std::to_string(k);
        EXPECT_EQ(load_case_names(expansion_code(k)), "Expansion (T" + n + ")");
        EXPECT_EQ(load_case_names(operating_code(k)), "Operating (W+P" + n + "+T" + n + ")");
        EXPECT_EQ(load_case_names(cold_spring_code(k)), "Cold spring (W+P" + n + "+T" + n + ")");
        EXPECT_EQ(load_case_names(sustained_code(k)), "Sustained (W+P" + n + ")");
    }
}

TEST(StepTable, PredicatesOfTheRunsCurrentStep)
{
    AnalysisModel model;
    model.loads.seismic.x = true;
    model.loads.seismic.gx = 0.2;
    model.loads.seismic.y = false;   // a factor without its flag does not act
    model.loads.seismic.gy = 0.5;
    model.loads.seismic.z = true;    // a flag without a factor neither
    AnalysisRun run(model);
    EXPECT_EQ(current_step_type(run), 0);
    for (int code = 1; code <= 126; ++code) {
        SCOPED_TRACE(code);
        run.set_step(code);
        const StepRow& row = step_row(code);
        EXPECT_EQ(current_step_type(run), code);
        EXPECT_EQ(step_has_weight(run), row.weight);
        EXPECT_EQ(step_has_temperature(run), row.temperature);
        EXPECT_EQ(step_has_seismic_g(run), code == LC_SEISMIC_G);
        EXPECT_EQ(run.step().gx, code == LC_SEISMIC_G);
        EXPECT_FALSE(run.step().gy);
        EXPECT_FALSE(run.step().gz);
        EXPECT_EQ(step_has_wind(run), code == LC_WIND);
        EXPECT_EQ(step_is_wind2(run), code == 107);
        EXPECT_EQ(step_is_wind3(run), code == 108);
        EXPECT_EQ(step_is_wind4(run), code == 109);
        EXPECT_EQ(step_is_cold_spring(run), row.cold_spring);
        EXPECT_EQ(step_is_modal(run), code == LC_MODAL);
        EXPECT_EQ(step_is_occasional(run), row.occasional);
        EXPECT_EQ(step_is_operating1(run), code == 8 || code == 32);
        EXPECT_EQ(step_is_hanger_load_recalc(run), code == 22);
        EXPECT_EQ(step_is_settlement(run), code == LC_SETTLEMENT);
        EXPECT_EQ(step_displacement_set(run), row.displacement_set);
    }
}
