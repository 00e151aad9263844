// Whole models through the checks the code evaluation adds to its equations:
// the pipeline codes' hoop stress at every end of every case with pressure,
// the one SIF Z662 takes at a welding tee and its torsion term, the modulus
// each code takes its expansion stress on, and the reason every row that is
// not checked gives. Each number is worked in the test from the code's
// equation and the forces the results file holds.
//
// The line, 8.625 x 0.322 in, Y vertical: an anchor at 10, 120 in along X to
// a welding tee at 20, 120 in along X to an elbow at 30 (R 12 in), 96 in
// along Z to an anchor at 40; from the tee a 4.5 x 0.237 in branch with a
// corrosion allowance of 0.05 in 60 in up Y to an anchor at 50. API 5L X52
// (joint factor 0.95): E 29.5e6 and 27.7e6 psi, alpha 6.5e-6 and 7.1e-6, the
// yield stress (column 4) 52 000 psi at 70 degF and 48 000 at 400 degF. The
// pipe load: 350 degF at 4 000 psi (set 1) and 250 degF at 3 000 psi (set 2).
#include "closeness.h"
#include "codes/code_driver.h"
#include "codes/pipeline_stress.h"
#include "codes/stress_tables.h"
#include "exchange/data/code_stress_fixture.h"
#include "exchange/data/code_stress_models.h"
#include "materials/pipe_material.h"
#include "model/analysis_options.h"
#include "model/named_set.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <set>
#include <string>
#include <vector>

using namespace batch_test;

namespace {

constexpr double PI = std::numbers::pi;
constexpr double REL = 1e-4;

std::string line_text(const std::string& code, const std::string& opcode = "")
{
    return "Pipeline\nOPTIONS\n" + code + ",IN\n" + (opcode.empty() ? "" : "OPCODE\n" + opcode + "\n") +
           "MATERIAL\nX52,0.283,0.3,0.95,1\nX52,70,29.5E6,6.5E-6,0,52000\nX52,400,27.7E6,7.1E-6,0,48000\n"
           "PIPE\nP8,8.625,0.322\nP4,4.5,0.237,0.05\nLOADS\nL1,350,4000,0,250,3000\nLAYOUT\n"
           "F10,MX52,PP8,KA,CL=L1\nT20,X120,KT\nT30,X120,B12\nT40,Z96,KA\nF20,PP4\nT50,Y60,KA\n";
}

// The material by hand, linear between its rows at 70 and 400 degF.
double at(double t, double v70, double v400)
{
    return v70 + (v400 - v70) * (t - 70.0) / 330.0;
}
// S: the smallest yield stress at the temperatures of the two sets.
const double S = std::min(at(350, 52000, 48000), at(250, 52000, 48000));
constexpr double JOINT = 0.95;
// T of B31.8 Table 841.1.8-1 and of Z662 Table 4.4 (degC), linear between rows.
double b318_t(double f)
{
    return f <= 250 ? 1.0 : f <= 300 ? 1.0 + (0.967 - 1.0) * (f - 250) / 50 : 0.967 + (0.933 - 0.967) * (f - 300) / 50;
}
double z662_t(double f)
{
    const double c = (f - 32) / 1.8;
    return c <= 120 ? 1.0 : c <= 150 ? 1.0 + (0.97 - 1.0) * (c - 120) / 30 : 0.97 + (0.93 - 0.97) * (c - 150) / 30;
}

class CodeChecksModel : public CodeStressModelTest {
protected:
    const Elem& elem(int e) const { return snapshot_->model.elems[e]; }
    int node_at(int e, int end) const { return node_number(end == 0 ? elem(e).node1 : elem(e).node2); }
    bool branch(int e) const { return snapshot_->pipe_sections[elem(e).section].outside_diameter < 5; }
};

// The temperature and pressure of the cases with pressure.
struct PressureCase {
    int32_t code;
    double temperature, pressure;
};
constexpr PressureCase PRESSURE_CASES[] = {
    {LC_SUSTAINED, 350.0, 4000.0},      // the largest pressure, at the hottest set's T
    {LC_OPERATING_1, 350.0, 4000.0},
    {LC_OPERATING_1 + 1, 250.0, 3000.0},
};

}  // namespace

TEST_F(CodeChecksModel, PipelineHoopStressAtEveryEndOfEveryCaseWithPressure)
{
    struct Code {
        const char* keyword;
        const char* opcode;
        // The allowable at a case's temperature.
        double (*allowable)(double temperature);
    };
    const Code codes[] = {
        // B31.4 para. 403.3.1: SH <= 0.72 E Sy.
        {"B314", "", [](double) { return 0.72 * JOINT * S; }},
        // B31.8 para. 841.1.1: F E T S, F 0.72 (the options' index 1).
        {"B318", "0,0,0,0,1", [](double t) { return 0.72 * JOINT * b318_t(t) * S; }},
        // Z662 clause 4.3.5.1: S F L J T, F 0.8, L 0.90 of class location 2.
        {"Z662", "0,0,0,0,0,0,2", [](double t) { return S * 0.8 * 0.90 * JOINT * z662_t(t); }},
    };
    for (const Code& code : codes) {
        SCOPED_TRACE(code.keyword);
        restart();
        ASSERT_NO_FATAL_FAILURE(analyse(line_text(code.keyword, code.opcode)));
        const CodeStressResults r = evaluate();
        int ends = 0;
        for (const PressureCase& pc : PRESSURE_CASES) {
            const CaseStresses* c = r.find(pc.code);
            ASSERT_NE(c, nullptr);
            ASSERT_EQ(c->hoop.size(), snapshot_->model.numelems());
            for (int e = 1; e <= snapshot_->model.numelems(); ++e)
                for (std::size_t end = 0; end < 2; ++end) {
                    SCOPED_TRACE("case " + std::to_string(pc.code) + " element " + std::to_string(e));
                    // SH = P D / 2t, t the wall less its corrosion allowance.
                    const double d = branch(e) ? 4.5 : 8.625, t = branch(e) ? 0.237 - 0.05 : 0.322;
                    const EndStress& h = c->hoop[e][end];
                    ASSERT_TRUE(h.evaluated && h.checked);
                    expect_relative(h.stress, pc.pressure * d / (2 * t), 1e-6, "SH");
                    expect_relative(h.allowable, code.allowable(pc.temperature), 1e-6, "allowable");
                    ++ends;
                }
        }
        EXPECT_EQ(ends, 3 * 2 * snapshot_->model.numelems());
        // The hoop stress has no place in the cases without pressure.
        EXPECT_EQ(r.find(LC_EXPANSION_T1)->hoop.size(), 0);
    }
    // The run at 4 000 psi: 53 571 psi, the example of the user guide.
    EXPECT_NEAR(4000 * 8.625 / (2 * 0.322), 53571.4, 0.1);
}

TEST_F(CodeChecksModel, PipelineHoopRowsFailInTheComplianceAndLeadTheSortedHoopStresses)
{
    ASSERT_NO_FATAL_FAILURE(analyse(line_text("B314")));
    const CodeStressResults r = evaluate();
    // 0.72 E Sy = 33 246 psi; the run's 53 571 psi at 4 000 psi is 161 %.
    const double allowable = 0.72 * JOINT * S;
    const double run = 4000 * 8.625 / (2 * 0.322);
    const std::vector<StressRow> rows = code_compliance_rows(r, snapshot_->model);
    int hoop = 0;
    for (const StressRow& row : rows) {
        if (row.check != StressCheck::Hoop)
            continue;
        ++hoop;
        EXPECT_EQ(compliance_check_label(r, row), "Hoop");
        EXPECT_TRUE(row.checked);
        EXPECT_GT(row.percent(), 100.0);   // every end of this line fails
    }
    EXPECT_EQ(hoop, 3 * 2 * snapshot_->model.numelems());
    // Each follows its case's own row.
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].check == StressCheck::Hoop) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(rows[i - 1].load_case, rows[i].load_case);
            EXPECT_EQ(rows[i - 1].check, StressCheck::Case);
        }
    const std::vector<StressRow> sorted = sorted_stresses(r, snapshot_->model, RATIO_HOOP, StressOrder::Ratio);
    ASSERT_EQ(sorted.size(), 2u * static_cast<std::size_t>(snapshot_->model.numelems()));
    EXPECT_EQ(sorted.front().load_case, LC_SUSTAINED);
    expect_relative(sorted.front().percent(), 100 * run / allowable, 1e-6, "largest ratio");
    EXPECT_NEAR(sorted.front().percent(), 161.1, 0.1);
    // Under a code without a hoop check the category is empty.
    restart();
    ASSERT_NO_FATAL_FAILURE(analyse(code_stress_models::tee_model_text({"B313", "", "", false, false})));
    EXPECT_TRUE(sorted_stresses(evaluate(), snapshot_->model, RATIO_HOOP, StressOrder::Ratio).empty());
}

TEST_F(CodeChecksModel, Z662TeeSifIsTheLargerOfTheChartsAndTorsionTakesNone)
{
    ASSERT_NO_FATAL_FAILURE(analyse(line_text("Z662")));
    const CodeStressResults r = evaluate();
    // The run's r = (D - T)/2; welding tee h = 4.4 T/r, i = 0.9/h^(2/3)
    // (the chart's i_o; its i_i = 0.75 i_o + 0.25 = 1.632 is the smaller);
    // the elbow h = T R/r^2, i = 0.9/h^(2/3).
    const double r2 = (8.625 - 0.322) / 2;
    const double tee = 0.9 / std::pow(4.4 * 0.322 / r2, 2.0 / 3.0);
    const double elbow = 0.9 / std::pow(0.322 * 12.0 / (r2 * r2), 2.0 / 3.0);
    EXPECT_NEAR(tee, 1.843, 5e-4);
    EXPECT_NEAR(elbow, 2.439, 5e-4);
    const OneBased<ElementForces> exp = file_forces(LC_EXPANSION_T1);
    const CaseStresses* c = r.find(LC_EXPANSION_T1);
    ASSERT_NE(c, nullptr);
    int tee_ends = 0;
    double torsion_share = 0.0;
    for (int e = 1; e <= snapshot_->model.numelems(); ++e)
        for (int end = 0; end < 2; ++end) {
            SCOPED_TRACE("element " + std::to_string(e) + " end " + std::to_string(end));
            const std::size_t k = static_cast<std::size_t>(end), o = end == 0 ? 0 : 6;
            const Sifs& i = r.sifs.elements[e].end[k];
            if (node_at(e, end) == 20) {
                // The run's factor at every leg of the tee, one SIF in all four.
                expect_relative(i.in_plane, tee, 1e-7, "tee");
                EXPECT_EQ(i, (Sifs{i.in_plane, i.in_plane, i.in_plane, i.in_plane}));
                ++tee_ends;
            }
            // The branch's end at the tee takes its effective section
            // modulus (checked by the B31.3 model).
            if (branch(e) && node_at(e, end) == 20)
                continue;
            // Z662 clause 4.8: SE = sqrt(Sb^2 + 4 St^2), Sb = i Mb/Z, St = Mt/2Z,
            // on the forces as solved (no "Use cold modulus").
            const double di = (branch(e) ? 4.5 : 8.625) - 2 * (branch(e) ? 0.237 : 0.322);
            const double d = branch(e) ? 4.5 : 8.625;
            const double z = PI / 32 * (std::pow(d, 4) - std::pow(di, 4)) / d;
            const double sb = i.in_plane * std::hypot(exp[e][o + 5], exp[e][o + 4]) / z;
            const double st = exp[e][o + 3] / (2 * z);
            expect_relative(c->ends[e][k].stress, std::sqrt(sb * sb + 4 * st * st), REL, "SE", 1e-3);
            if (node_at(e, end) == 20)
                torsion_share = std::max(torsion_share, std::fabs(st) / std::max(sb, 1.0));
        }
    EXPECT_EQ(tee_ends, 3);
    // The branch pushes the tee out of the run's plane: torsion there counts,
    // so that i on it would show.
    EXPECT_GT(torsion_share, 0.05);
}

TEST_F(CodeChecksModel, ExpansionModulusIsTheReferenceOneUnderTheCodesThatAskForIt)
{
    // The factor the expansion forces, solved on E(350 degF), are taken on
    // E(70 degF) with: E(70)/E(350) of the material.
    const double k = 29.5e6 / at(350, 29.5e6, 27.7e6);
    struct Code {
        const char* keyword;
        bool cold_modulus_option;
        bool scaled;
    };
    // B31.3 para. 319.3.2 (Ea), B31.5 para. 519.3.2 (Ec), B31.12 (B31.3's
    // rule), B31.4 para. 402.2.2, B31.8 and EN 13480-3 always; B31.1 and
    // Z662 with "Use cold modulus" only.
    const Code codes[] = {{"B313", false, true},  {"B315", false, true}, {"B3112", false, true},
                          {"B314", false, true},  {"B318", false, true}, {"EUROPEAN", false, true},
                          {"B311", false, false}, {"B311", true, true},  {"Z662", false, false},
                          {"Z662", true, true}};
    for (const Code& code : codes) {
        SCOPED_TRACE(std::string(code.keyword) + (code.cold_modulus_option ? " cold modulus" : ""));
        restart();
        ASSERT_NO_FATAL_FAILURE(analyse(line_text(code.keyword), {}, [&] {
            analysis_options().use_cold_modulus = code.cold_modulus_option;
        }));
        const CodeStressResults r = evaluate();
        const CaseStresses* c = r.find(LC_EXPANSION_T1);
        ASSERT_NE(c, nullptr);
        if (!code.scaled) {
            EXPECT_TRUE(c->scaled.empty());
            continue;
        }
        ASSERT_EQ(c->scaled.size(), 1u);
        EXPECT_EQ(c->scaled[0].material, "X52");
        EXPECT_DOUBLE_EQ(c->scaled[0].temperature, 350.0);
        expect_relative(c->scaled[0].factor, k, 1e-9, "E(70)/E(350)");
        EXPECT_FALSE(c->difference);
        // At the anchor 40 of the elbow's leg (no SIF item there), SE from
        // the moments the file holds times the factor: under B31.3 Eq. (17)
        // with the axial term, else sqrt(Sb^2 + 4 St^2) or EN 13480's
        // i MC / Z, each with i 1.0 at the anchor.
        const int e = element_between(30, 40);
        const OneBased<ElementForces> exp = file_forces(LC_EXPANSION_T1);
        const ElementForces& f = exp[e];
        const double z = PI / 32 * (std::pow(8.625, 4) - std::pow(8.625 - 2 * 0.322, 4)) / 8.625;
        const double area = PI / 4 * (8.625 * 8.625 - std::pow(8.625 - 2 * 0.322, 2));
        const double sb = k * std::hypot(f[11], f[10]) / z, st = k * f[9] / (2 * z);
        const std::string keyword = code.keyword;
        double se = std::sqrt(sb * sb + 4 * st * st);
        if (keyword == "B313" || keyword == "B3112")
            se = std::sqrt(std::pow(k * std::fabs(f[6]) / area + sb, 2) + 4 * st * st);
        else if (keyword == "EUROPEAN" || keyword == "B311")
            se = k * std::sqrt(f[9] * f[9] + f[10] * f[10] + f[11] * f[11]) / z;
        expect_relative(c->ends[e][1].stress, se, REL, "SE", 1e-3);
    }
}

TEST_F(CodeChecksModel, ExpansionModulusFactorsAreNamedBesideTheStresses)
{
    ASSERT_NO_FATAL_FAILURE(analyse(line_text("B314")));
    CodeRecords records;
    auto evaluation = std::make_shared<CodeStressEvaluation>();
    evaluation->results = evaluate();
    records.stresses = evaluation;
    // E(70)/E(350) = 29.5e6 / 27.973e6 = 1.0546, and 29.5e6 / 28.518e6 =
    // 1.0344 at 250 degF.
    EXPECT_NEAR(29.5e6 / at(350, 29.5e6, 27.7e6), 1.0546, 5e-5);
    EXPECT_NEAR(29.5e6 / at(250, 29.5e6, 27.7e6), 1.0344, 5e-5);
    EXPECT_EQ(scaled_expansion_note(records, LC_EXPANSION_T1),
              "SE is on the modulus at the reference temperature: the moments times E(reference)/E(case), 1.0546 "
              "for X52 at 350 F");
    EXPECT_EQ(scaled_expansion_note(records, LC_EXPANSION_T1 + 1),
              "SE is on the modulus at the reference temperature: the moments times E(reference)/E(case), 1.0344 "
              "for X52 at 250 F");
    // Cases that are not scaled say nothing.
    EXPECT_EQ(scaled_expansion_note(records, LC_SUSTAINED), "");
    EXPECT_EQ(scaled_expansion_note(CodeRecords{}, LC_EXPANSION_T1), "");
}

namespace {

// The reason of every evaluated end of a case that is not checked; none
// when an end is checked (a row that is not checked must say why).
std::set<Unchecked> reasons(const CodeStressResults& r, int32_t load_case, bool hoop = false)
{
    std::set<Unchecked> out;
    const CaseStresses* c = r.find(load_case);
    if (!c)
        return out;
    const OneBased<EndStresses>& ends = hoop ? c->hoop : c->ends;
    for (const EndStresses& e : ends)
        for (const EndStress& s : e)
            if (s.evaluated)
                out.insert(s.checked ? Unchecked::None : s.unchecked);
    return out;
}

}  // namespace

TEST_F(CodeChecksModel, NotCheckedReasonOfEveryWayARowGoesUnchecked)
{
    // Forces of the tests' own in every case (the evaluation takes them as
    // the file's): what is checked depends on the data alone.
    const auto evaluate_cases = [this](const std::vector<int32_t>& cases) {
        CodeStressRequest q;
        q.model = snapshot_.get();
        q.load_cases = cases;
        q.forces = [](int32_t, OneBased<ElementForces>& out) {
            for (ElementForces& f : out)
                f = {100, 0, 0, 1000, 2000, 3000, -100, 0, 0, -1000, -2000, -3000};
        };
        return evaluate_code_stresses(q);
    };
    using U = Unchecked;
    const std::string no_yield = "X52,0.283,0.3,0.95,1\nX52,70,29.5E6,6.5E-6,20000\nX52,400,27.7E6,7.1E-6,16000\n";
    const auto without_yield = [&](const std::string& code) {
        std::string text = line_text(code);
        const std::size_t from = text.find("X52,0.283"), to = text.find("PIPE");
        return text.replace(from, to - from, no_yield);
    };

    // Z662 without a yield strength, and without a yield column for it to
    // fall back on: every allowable lacks S.
    ASSERT_NO_FATAL_FAILURE(build(without_yield("Z662")));
    CodeStressResults r = evaluate_cases({LC_SUSTAINED, LC_EXPANSION_T1});
    EXPECT_EQ(reasons(r, LC_EXPANSION_T1), std::set<U>{U::YieldNotGiven});
    EXPECT_EQ(reasons(r, LC_SUSTAINED, true), std::set<U>{U::YieldNotGiven});
    EXPECT_STREQ(unchecked_text(U::YieldNotGiven), "the material has no specified minimum yield strength");
    // With its yield column Z662 takes the smallest yield of the sets in use
    // (S above) and says so; its unrestrained sustained limit is not held.
    restart();
    ASSERT_NO_FATAL_FAILURE(build(line_text("Z662")));
    r = evaluate_cases({LC_SUSTAINED, LC_EXPANSION_T1});
    EXPECT_EQ(reasons(r, LC_EXPANSION_T1), std::set<U>{U::None});
    expect_relative(r.find(LC_EXPANSION_T1)->ends[1][0].allowable, 0.72 * S * z662_t(350), 1e-6, "0.72 S T");
    EXPECT_EQ(reasons(r, LC_SUSTAINED), std::set<U>{U::NotHeld});
    ASSERT_EQ(r.notes.texts.size(), 1u);
    EXPECT_EQ(r.notes.texts[0], "Z662: material X52 has no yield strength; S is the smallest yield stress of its "
                                "property table at the temperatures of the thermal sets in use");
    // The material's strength, where given, is S.
    restart();
    ASSERT_NO_FATAL_FAILURE(
        build(line_text("Z662"), {}, [] { named_set<PipeMaterial>()[1].strength = 60000.0f; }));
    r = evaluate_cases({LC_EXPANSION_T1});
    expect_relative(r.find(LC_EXPANSION_T1)->ends[1][0].allowable, 0.72 * 60000 * z662_t(350), 1e-6, "0.72 S T");
    EXPECT_TRUE(r.notes.texts.empty());

    // B31.8: SA needs the tensile strength; the occasional limit is not held;
    // above 450 degF no T.
    restart();
    ASSERT_NO_FATAL_FAILURE(build(line_text("B318")));
    r = evaluate_cases({LC_SUSTAINED, LC_EXPANSION_T1, LC_SEISMIC_G});
    EXPECT_EQ(reasons(r, LC_EXPANSION_T1), std::set<U>{U::TensileNotHeld});
    EXPECT_EQ(reasons(r, LC_SEISMIC_G), std::set<U>{U::NotHeld});
    EXPECT_EQ(reasons(r, LC_SUSTAINED), std::set<U>{U::None});
    restart();
    std::string hot = line_text("B318");
    hot.replace(hot.find("L1,350"), 6, "L1,500");
    ASSERT_NO_FATAL_FAILURE(build(hot));
    r = evaluate_cases({LC_SUSTAINED});
    EXPECT_EQ(reasons(r, LC_SUSTAINED), std::set<U>{U::TemperatureBeyondTable});
    EXPECT_EQ(reasons(r, LC_SUSTAINED, true), std::set<U>{U::TemperatureBeyondTable});

    // B31.3: column 3 not given somewhere; no limit on the operating stress;
    // the hydrotest's limit is the material's yield strength, not given.
    restart();
    std::string b313 = without_yield("B313");
    b313.replace(b313.find("6.5E-6,20000"), 12, "6.5E-6,0");
    ASSERT_NO_FATAL_FAILURE(build(b313));
    r = evaluate_cases({LC_SUSTAINED, LC_EXPANSION_T1, LC_OPERATING_1, LC_HYDROTEST});
    EXPECT_EQ(reasons(r, LC_SUSTAINED), std::set<U>{U::AllowablesNotGiven});
    EXPECT_EQ(reasons(r, LC_EXPANSION_T1), std::set<U>{U::AllowablesNotGiven});
    EXPECT_EQ(reasons(r, LC_OPERATING_1), std::set<U>{U::NoCodeLimit});
    EXPECT_EQ(reasons(r, LC_HYDROTEST), std::set<U>{U::StrengthNotGiven});
    // B31.1 (1967): its occasional factor is not held.
    restart();
    ASSERT_NO_FATAL_FAILURE(build(without_yield("B311-67")));
    r = evaluate_cases({LC_SUSTAINED, LC_SEISMIC_G, LC_HYDROTEST});
    EXPECT_EQ(reasons(r, LC_SEISMIC_G), std::set<U>{U::NotHeld});
    EXPECT_EQ(reasons(r, LC_HYDROTEST), std::set<U>{U::NotHeld});

    // ASME Class 2: Eq. (9) at level B needs Sy (column 4).
    restart();
    ASSERT_NO_FATAL_FAILURE(build(without_yield("ASME-2015")));
    r = evaluate_cases({LC_SUSTAINED, LC_SEISMIC_G});
    EXPECT_EQ(reasons(r, LC_SEISMIC_G), std::set<U>{U::YieldColumnNotGiven});
    EXPECT_EQ(reasons(r, LC_SUSTAINED), std::set<U>{U::None});

    // EN 13480: beyond 2 000 000 cycles Table 12.1.3-1 gives no U.
    restart();
    ASSERT_NO_FATAL_FAILURE(build(without_yield("EUROPEAN")));
    snapshot_->options.thermal_cycles = 3000000;
    r = evaluate_cases({LC_SUSTAINED, LC_EXPANSION_T1});
    EXPECT_EQ(reasons(r, LC_EXPANSION_T1), std::set<U>{U::CyclesBeyondTable});

    // Every reason has its own text.
    std::set<std::string> texts;
    for (U why : {U::AllowablesNotGiven, U::YieldNotGiven, U::YieldColumnNotGiven, U::StrengthNotGiven,
                  U::TemperatureBeyondTable, U::CyclesBeyondTable, U::TensileNotHeld, U::NoCodeLimit, U::NotHeld,
                  U::NotPositive})
        EXPECT_TRUE(texts.insert(unchecked_text(why)).second) << unchecked_text(why);
    EXPECT_EQ(texts.count(""), 0u);
}
