// A whole model through the piping-code evaluation: a batch file imported
// and analysed, its results file written, and the SIFs, the code stresses
// of every element end and load case, the sorted stresses and the code
// compliance rows of B31.3 and B31.1 checked against the code equations
// worked in the test from the forces the results file holds.
//
// The model, 8 in STD A106 B at 350 degF and 300 psi: an anchor at 10, 120
// in along X to a welding tee at 20, 120 in along X to an elbow at 30 (R 12
// in, given SIFs 3.0 in plane and 1.5 out of plane, 3.0 for B31.1's one SIF), 96 in up Z to an
// anchor at 40; from the tee a 4 in STD branch 60 in up Y to 50 (a user SIF
// of 2.5) and 60 in on to an anchor at 60. Y is vertical, so at the tee the
// run (X) and the branch (Y) span the XY plane: every element there has its
// local z along Z, and its mz is the in-plane moment.
#include "closeness.h"
#include "codes/code_driver.h"
#include "codes/stress_tables.h"
#include "exchange/data/code_stress_fixture.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <numbers>

using namespace batch_test;

namespace {

constexpr double PI = std::numbers::pi;
constexpr double REL = 1e-4;

std::string model_text(const std::string& code, const std::string& extra = "")
{
    return "Tee and elbow\n"
           "OPTIONS\n" +
           code + ",IN\n" + extra +
           "MATERIAL\n"
           "A106B,0.283,0.3\n"
           "A106B,70,27.9E6,6.0E-6,20000\n"
           "A106B,700,25.5E6,8.1E-6,16000\n"
           "PIPE\n"
           "P8,8.625,0.322\n"
           "P4,4.5,0.237\n"
           "LOADS\n"
           "L1,350,300\n"
           "LAYOUT\n"
           "F10,MA106B,PP8,KA,CL=L1\n"
           "T20,X120,KT\n"
           "T30,X120,KI,B12,CBSIF(3.0," +
           (code == "B311" ? "3.0" : "1.5") + ")\n"
           "T40,Z96,KA\n"
           "F20,PP4\n"
           "T50,Y60,CSIF=2.5\n"
           "T60,Y60,KA\n";
}

// The material by hand at 350 degF: linear between its rows at 70 and 700.
const double SH = 20000.0 - 4000.0 * (350.0 - 70.0) / 630.0;   // allowable
constexpr double SC = 20000.0;
const double E_HOT = 27.9e6 - 2.4e6 * (350.0 - 70.0) / 630.0;
constexpr double E_COLD = 27.9e6;
constexpr double P = 300.0;

// A wall: area, section modulus.
struct Wall {
    double d, t;
    double di = d - 2 * t;
    double area = PI / 4 * (d * d - di * di);
    double z = PI / 32 * (std::pow(d, 4) - std::pow(di, 4)) / d;
};
const Wall RUN{8.625, 0.322}, BRANCH{4.5, 0.237};

struct HandSifs {
    double in = 1, out = 1, axial = 1, torsion = 1;
};

class CodeStressWholeModel : public CodeStressModelTest {
protected:
    bool b311 = false;

    // The SIFs of an end by hand.
    HandSifs sifs_at(int e, int end) const
    {
        const Model& m = snapshot_->model;
        const Elem& el = m.elems[e];
        const int node = node_number(end == 0 ? el.node1 : el.node2);
        const double r = (RUN.d - RUN.t) / 2;
        if (el.kind == ET_BEND)   // the given SIFs replace the elbow's
            return b311 ? HandSifs{3.0, 3.0, 3.0, 3.0} : HandSifs{3.0, 1.5, 1.0, 1.0};
        if (node == 20) {
            if (b311) {
                // B31.1 Table D-1 welding tee: h = 4.4 T/r, i = 0.9/h^(2/3).
                const double i = 0.9 / std::pow(4.4 * RUN.t / r, 2.0 / 3.0);
                return {i, i, i, i};
            }
            // B31.3 Table D300: h = 3.1 T/r2, i_o = 0.9/h^(2/3), i_i = 3/4 i_o + 1/4, i_a = i_o.
            const double io = 0.9 / std::pow(3.1 * RUN.t / r, 2.0 / 3.0);
            return {0.75 * io + 0.25, io, io, 1.0};
        }
        if (node == 50)   // the user's 2.5 in and out of plane
            return b311 ? HandSifs{2.5, 2.5, 2.5, 2.5} : HandSifs{2.5, 2.5, 1.0, 1.0};
        return {};
    }

    const Wall& wall(int e) const
    {
        return snapshot_->pipe_sections[snapshot_->model.elems[e].section].outside_diameter < 5 ? BRANCH : RUN;
    }

    // The section modulus at an end: the branch's effective one at the tee
    // (B31.3 para. 319.4.4(c), B31.1 para. 104.8.4): pi rb^2 Ts, Ts the lesser
    // of the run's wall and i_i times the branch's.
    double z_at(int e, int end) const
    {
        const Elem& el = snapshot_->model.elems[e];
        const int node = node_number(end == 0 ? el.node1 : el.node2);
        if (&wall(e) == &BRANCH && node == 20) {
            const double rb = (BRANCH.d - BRANCH.t) / 2;
            return PI * rb * rb * std::min(RUN.t, sifs_at(e, end).in * BRANCH.t);
        }
        return wall(e).z;
    }

    // SL (and the operating stress) by the code's equation at an end.
    double sustained_by_hand(int e, int end, const ElementForces& f) const
    {
        const std::size_t o = end == 0 ? 0 : 6;
        const double fx = f[o], mt = f[o + 3], mo = f[o + 4], mi = f[o + 5];
        const HandSifs s = sifs_at(e, end);
        const Wall& w = wall(e);
        const double z = z_at(e, end);
        const double slp = P * w.d / (4 * w.t);
        if (b311) {
            // Eq. 15: P Do/4tn + 0.75 i MA/Z, 0.75 i >= 1.
            return slp + std::max(0.75 * s.in, 1.0) * std::sqrt(mt * mt + mi * mi + mo * mo) / z;
        }
        // para. 320.2: indices max(0.75 i, 1), It = Ia = 1.
        const double sa = std::fabs(fx / w.area + slp);
        const double sb = std::hypot(std::max(0.75 * s.in, 1.0) * mi, std::max(0.75 * s.out, 1.0) * mo) / z;
        return std::sqrt((sa + sb) * (sa + sb) + std::pow(mt / z, 2));
    }
    // SE at an end on the modulus the code asks for.
    double expansion_by_hand(int e, int end, const ElementForces& f, double modulus_factor) const
    {
        const std::size_t o = end == 0 ? 0 : 6;
        const double fx = f[o] * modulus_factor, mt = f[o + 3] * modulus_factor;
        const double mo = f[o + 4] * modulus_factor, mi = f[o + 5] * modulus_factor;
        const HandSifs s = sifs_at(e, end);
        const double z = z_at(e, end);
        if (b311)   // Eq. 17: i MC/Z
            return s.in * std::sqrt(mt * mt + mi * mi + mo * mo) / z;
        // Eq. 17 of B31.3: sqrt((|Sa| + Sb)^2 + (2 St)^2).
        const double sa = s.axial * std::fabs(fx) / wall(e).area;
        const double sb = std::hypot(s.in * mi, s.out * mo) / z;
        return std::sqrt((sa + sb) * (sa + sb) + std::pow(s.torsion * mt / z, 2));
    }

    // Every end of every pipe element against the hand values; returns the
    // hand stress of each (element, end, case) for the tables.
    std::map<std::tuple<int, int, int>, double> check_every_end(const CodeStressResults& r, double modulus_factor)
    {
        std::map<std::tuple<int, int, int>, double> hand;
        const Model& m = snapshot_->model;
        int ends = 0;
        for (int code : {LC_SUSTAINED, LC_EXPANSION_T1, LC_OPERATING_1}) {
            const CaseStresses* c = r.find(code);
            EXPECT_NE(c, nullptr) << code;
            if (!c)
                continue;
            const OneBased<ElementForces> f = file_forces(code);
            for (int e = 1; e <= m.numelems(); ++e) {
                EXPECT_TRUE(r.evaluated[e]) << e;
                for (int end = 0; end < 2; ++end) {
                    SCOPED_TRACE("case " + std::to_string(code) + " element " + std::to_string(e) + " end " +
                                 std::to_string(end));
                    const EndStress& s = c->ends[e][static_cast<std::size_t>(end)];
                    double expected = 0, allowable = 0;
                    if (code == LC_EXPANSION_T1) {
                        expected = expansion_by_hand(e, end, f[e], modulus_factor);
                        allowable = 1.25 * SC + 0.25 * SH;   // f = 1.0 at 7000 cycles
                    } else {
                        expected = sustained_by_hand(e, end, f[e]);
                        allowable = code == LC_SUSTAINED ? SH : 0.0;
                    }
                    expect_relative(s.stress, expected, REL, "stress", 1e-3);
                    EXPECT_EQ(s.checked, allowable > 0);
                    if (allowable > 0)
                        expect_relative(s.allowable, allowable, 1e-6, "allowable");
                    hand[{e, end, code}] = expected;
                    ++ends;
                }
            }
        }
        EXPECT_EQ(ends, 3 * 2 * m.numelems());
        return hand;
    }

    void check_sifs(const CodeStressResults& r)
    {
        const Model& m = snapshot_->model;
        for (int e = 1; e <= m.numelems(); ++e)
            for (int end = 0; end < 2; ++end) {
                SCOPED_TRACE("element " + std::to_string(e) + " end " + std::to_string(end));
                const HandSifs h = sifs_at(e, end);
                const Sifs& s = r.sifs.elements[e].end[static_cast<std::size_t>(end)];
                expect_relative(s.in_plane, h.in, REL, "i_i");
                expect_relative(s.out_plane, h.out, REL, "i_o");
                expect_relative(s.axial, h.axial, REL, "i_a");
                expect_relative(s.torsion, h.torsion, REL, "i_t");
            }
    }

    // The tables hold every end once (sorted) or every end and case
    // (compliance), each with the hand value.
    void check_tables(const CodeStressResults& r, const std::map<std::tuple<int, int, int>, double>& hand)
    {
        const Model& m = snapshot_->model;
        for (int32_t kind : {RATIO_SUSTAINED, RATIO_EXPANSION}) {
            const int32_t code = kind == RATIO_SUSTAINED ? LC_SUSTAINED : LC_EXPANSION_T1;
            const std::vector<StressRow> rows = sorted_stresses(r, m, kind, StressOrder::Ratio);
            ASSERT_EQ(rows.size(), 2u * static_cast<std::size_t>(m.numelems()));
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const StressRow& row = rows[i];
                EXPECT_EQ(row.load_case, code);
                expect_relative(row.stress, hand.at({row.element, row.end, code}), REL, "sorted", 1e-3);
                EXPECT_TRUE(row.checked);
                if (i > 0) {
                    EXPECT_LE(row.percent(), rows[i - 1].percent());
                }
                const Elem& el = m.elems[row.element];
                EXPECT_EQ(row.node, row.end == 0 ? el.node1 : el.node2);
            }
            const StressRange range = sorted_stress_range(rows);
            for (const StressRow& row : rows) {
                EXPECT_GE(row.stress, range.smallest);
                EXPECT_LE(row.stress, range.largest);
            }
        }
        const std::vector<StressRow> compliance = code_compliance_rows(r, m);
        ASSERT_EQ(compliance.size(), hand.size());
        for (const StressRow& row : compliance)
            expect_relative(row.stress, hand.at({row.element, row.end, row.load_case}), REL, "compliance", 1e-3);
    }
};

}  // namespace

TEST_F(CodeStressWholeModel, B313SortedStressesAndComplianceAtEveryElementEnd)
{
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("B313")));
    ASSERT_EQ(snapshot_->model.nodes[node_index(20)].branch_mark, 2);
    const CodeStressResults r = evaluate();
    EXPECT_TRUE(r.stresses_available);
    check_sifs(r);
    // B31.3 takes the displacement stress on the ambient modulus; the run
    // solved Expansion (T1) on the modulus at 350 degF.
    const auto hand = check_every_end(r, E_COLD / E_HOT);
    check_tables(r, hand);
    // Each load case's forces were read once.
    for (const auto& [code, reads] : reads_)
        EXPECT_EQ(reads, 1) << code;
    EXPECT_EQ(reads_.size(), 3u);
}

TEST_F(CodeStressWholeModel, B311SortedStressesAndComplianceAtEveryElementEnd)
{
    b311 = true;
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("B311")));
    const CodeStressResults r = evaluate();
    check_sifs(r);
    // Without "Use cold modulus" B31.1 takes the forces as solved.
    const auto hand = check_every_end(r, 1.0);
    check_tables(r, hand);
}

TEST_F(CodeStressWholeModel, B311ColdModulusOptionTakesTheExpansionOnTheReferenceModulus)
{
    b311 = true;
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("B311", "OPTEMP\n70,7000,1,0,1\n")));
    ASSERT_TRUE(snapshot_->options.use_cold_modulus);
    // The run solves its expansion cases at their temperatures, and its
    // file says so in the last header byte.
    EXPECT_EQ(results_expansion_modulus(snapshot_->output.results_path), RESULTS_MODULUS_AT_CASE_TEMPERATURE);
    check_every_end(evaluate(), E_COLD / E_HOT);
    // Results solved on the reference modulus are taken as they are.
    const CodeStressResults as_solved = evaluate(ExpansionModulus::Reference);
    const CaseStresses* c = as_solved.find(LC_EXPANSION_T1);
    ASSERT_NE(c, nullptr);
    const OneBased<ElementForces> f = file_forces(LC_EXPANSION_T1);
    for (int e = 1; e <= snapshot_->model.numelems(); ++e)
        expect_relative(c->ends[e][0].stress, expansion_by_hand(e, 0, f[e], 1.0), REL, "as solved", 1e-3);
    // A file marked '1' was solved on the reference modulus; any other mark,
    // or no file, on the cases' temperatures.
    {
        std::fstream file(snapshot_->output.results_path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(RESULTS_HEADER_SIZE - 1);
        file.put(RESULTS_MODULUS_AT_REFERENCE);
    }
    EXPECT_EQ(results_expansion_modulus(snapshot_->output.results_path), RESULTS_MODULUS_AT_REFERENCE);
    EXPECT_EQ(results_expansion_modulus(folder_ + "/none.res"), RESULTS_MODULUS_AT_CASE_TEMPERATURE);
}

namespace {

// The records as the results allocate them for the analysed model.
CodeRecords allocated_records(const AnalysisModel& a)
{
    const Model& m = a.model;
    OneBased<ElementNodes> elements(m.numelems());
    OneBased<int32_t> pipes;
    for (int e = 1; e <= m.numelems(); ++e) {
        elements[e] = {m.elems[e].node1, m.elems[e].node2};
        if (element_is_pipe_like(m.elems[e]))
            pipes.push_back(e);
    }
    CodeRecords r;
    r.allocate(elements, m.numnodes(), pipes, {});
    return r;
}

}  // namespace

TEST_F(CodeStressWholeModel, RecordsFilledFromTheCodeStressEvaluation)
{
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("B313")));
    CodeRecords records = allocated_records(*snapshot_);
    // Before an evaluation every stress is empty.
    for (const PipeResultRecord& p : records.pipes) {
        EXPECT_FALSE(pipe_case_stresses(records, p, LC_SUSTAINED)[0].evaluated);
        EXPECT_FALSE(p.sustained[0].evaluated || p.sustained[1].evaluated);
    }
    EXPECT_TRUE(code_evaluation_notes(records).empty());

    CodeEvaluationInput input;
    input.model = &snapshot_->model;
    input.piping_code = snapshot_->piping_code;
    input.options = snapshot_->options;
    input.load_cases = load_cases();
    input.forces = [this](int32_t code, OneBased<ElementForceRecord>& out) { out = file_forces(code); };
    evaluate_code_records(std::make_shared<AnalysisModel>(*snapshot_), input, ExpansionModulus::CaseTemperature,
                        records);
    const CodeStressResults reference = evaluate();

    const Model& m = snapshot_->model;
    ASSERT_EQ(records.pipes.size(), m.numelems());
    for (const PipeResultRecord& p : records.pipes) {
        const int e = p.element;
        for (std::size_t end = 0; end < 2; ++end) {
            SCOPED_TRACE("element " + std::to_string(e) + " end " + std::to_string(end));
            EXPECT_EQ(p.sustained[end].value, reference.find(LC_SUSTAINED)->ends[e][end].stress);
            EXPECT_TRUE(p.sustained[end].evaluated);
            EXPECT_FALSE(p.hydrotest[end].evaluated);   // no Hydrotest case
            EXPECT_EQ(element_end_stresses_branch(records, p, LC_EXPANSION_T1)[end].value,
                      reference.find(LC_EXPANSION_T1)->ends[e][end].stress);
            EXPECT_EQ(element_end_stresses_basic(records, p, LC_OPERATING_1)[end].value,
                      reference.find(LC_OPERATING_1)->ends[e][end].stress);
            EXPECT_FALSE(pipe_case_allowables(records, p, LC_OPERATING_1)[end].evaluated);
            expect_relative(pipe_case_allowables(records, p, LC_SUSTAINED)[end].value, SH, 1e-6, "Sh");
            EXPECT_FALSE(element_end_stresses(records, p, LC_SEISMIC_G)[end].evaluated);
            // The expansion category is governed by its one case.
            const CategoryEvaluation& x = records.evaluation[e].category[STRESS_EXPANSION];
            EXPECT_EQ(x.load_case[end], LC_EXPANSION_T1);
            EXPECT_EQ(x.stress[end].value, reference.find(LC_EXPANSION_T1)->ends[e][end].stress);
            EXPECT_TRUE(x.allowable[end].evaluated);
            EXPECT_FALSE(records.evaluation[e].category[STRESS_OPERATING].allowable[end].evaluated);
            const Sifs& s = reference.sifs.elements[e].end[end];
            EXPECT_EQ(records.element_sifs[e].end[end].in_plane, static_cast<float>(s.in_plane));
            EXPECT_EQ(records.element_sifs[e].end[end].out_plane, static_cast<float>(s.out_plane));
        }
    }
    // The node SIFs of node 50's user SIF; the elbow's flexibility factor
    // k = 1.65/h with h = T R/r2^2 (no factor given, no flanges), under the
    // pressure correction (on by default) at 300 psi and the ambient modulus:
    // k / [1 + 6 (P/E)(r2/T)^(7/3)(R/r2)^(1/3)].
    const NodeSifRecord& n50 = records.node_sifs[node_index(50)];
    EXPECT_EQ(n50.value[NODE_SIF_IN_PLANE], 2.5f);
    EXPECT_EQ(n50.value[NODE_SIF_OUT_PLANE], 2.5f);
    EXPECT_EQ(n50.value[NODE_SIF_AXIAL], 1.0f);
    EXPECT_EQ(records.node_sifs[node_index(10)].value[NODE_SIF_IN_PLANE], 1.0f);
    const double r2 = (RUN.d - RUN.t) / 2, h = RUN.t * 12.0 / (r2 * r2);
    const double k =
        1.65 / h / (1 + 6 * (P / E_COLD) * std::pow(r2 / RUN.t, 7.0 / 3.0) * std::pow(12.0 / r2, 1.0 / 3.0));
    const int arc = element_between(100030, 200030);
    expect_relative(records.flexibility[arc].value[2], k, 1e-5, "FFi");
    expect_relative(records.flexibility[arc].value[1], k, 1e-5, "FFo");
    EXPECT_EQ(records.flexibility[arc].value[0], 1.0f);
    EXPECT_EQ(records.flexibility[element_between(10, 20)].value[2], 1.0f);
}

TEST_F(CodeStressWholeModel, CodeWithoutStressesGivesTheUsersSifsAndSaysSoOnce)
{
    // CODETI has no stresses here: the user's SIFs only, no stresses, one note.
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("SNCT")));
    const CodeStressResults r = evaluate();
    EXPECT_FALSE(r.stresses_available);
    EXPECT_TRUE(r.cases.empty());
    ASSERT_EQ(std::count(r.notes.texts.begin(), r.notes.texts.end(),
                         "Code stresses are not available for CODETI (2013)"),
              1);
    const int arc = element_between(100030, 200030);
    EXPECT_EQ(r.sifs.elements[arc].end[0].in_plane, 3.0);
    EXPECT_EQ(r.sifs.elements[arc].end[0].out_plane, 1.5);
    EXPECT_EQ(r.sifs.elements[element_between(10, 20)].end[1].in_plane, 1.0);   // no tee SIF computed
    EXPECT_EQ(r.sifs.elements[element_between(20, 50)].end[1].in_plane, 2.5);
    EXPECT_TRUE(reads_.empty());
}

TEST_F(CodeStressWholeModel, NoCodeStressesOfTheCaseATableShows)
{
    // Under no code each case's von Mises, maximum and minimum stresses are
    // made when asked for; at the anchor 10 (a straight run, SIFs 1) by hand
    // from the file's forces: axial Fx/A + P D/4T, bending
    // sqrt(my^2 + mz^2)/Z, hoop P D/2T, shear Mt/2Z.
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("NONE")));
    CodeRecords records = allocated_records(*snapshot_);
    CodeEvaluationInput input;
    input.model = &snapshot_->model;
    input.piping_code = CODE_NONE;
    input.options = snapshot_->options;
    input.load_cases = load_cases();
    input.forces = [this](int32_t code, OneBased<ElementForceRecord>& out) { out = file_forces(code); };
    evaluate_code_records(std::make_shared<AnalysisModel>(*snapshot_), input, ExpansionModulus::CaseTemperature,
                        records);
    EXPECT_TRUE(reads_.empty());   // no Static analysis: nothing read yet
    for (const PipeResultRecord& p : records.pipes)
        EXPECT_FALSE(p.von_mises[0].evaluated);

    const OneBased<ElementForces> f = file_forces(LC_OPERATING_1);
    evaluate_no_code_case(records, LC_OPERATING_1, f);
    const int e = element_between(10, 20);
    const PipeResultRecord* pipe = nullptr;
    for (const PipeResultRecord& p : records.pipes)
        if (p.element == e)
            pipe = &p;
    ASSERT_NE(pipe, nullptr);
    EXPECT_EQ(pipe->principal_case, LC_OPERATING_1);
    const int end = snapshot_->model.elems[e].node1 == node_index(10) ? 0 : 1;
    const std::size_t o = end == 0 ? 0 : 6;
    const double axial = f[e][o] / RUN.area + P * RUN.d / (4 * RUN.t);
    const double bending = std::hypot(f[e][o + 4], f[e][o + 5]) / RUN.z;
    const double hoop = P * RUN.d / (2 * RUN.t), tau = f[e][o + 3] / (2 * RUN.z);
    const auto s1 = [&](double sx) { return (sx + hoop) / 2 + std::hypot((sx - hoop) / 2, tau); };
    const auto s2 = [&](double sx) { return (sx + hoop) / 2 - std::hypot((sx - hoop) / 2, tau); };
    const auto vm = [&](double sx) { return std::sqrt(sx * sx - sx * hoop + hoop * hoop + 3 * tau * tau); };
    const std::size_t k = static_cast<std::size_t>(end);
    expect_relative(pipe->maximum[k].value, s1(axial + bending), 1e-5, "maximum");
    expect_relative(pipe->minimum[k].value, s2(axial - bending), 1e-5, "minimum");
    expect_relative(pipe->von_mises[k].value, std::max(vm(axial + bending), vm(axial - bending)), 1e-5, "von Mises");
}

TEST_F(CodeStressWholeModel, OccasionalSeismicAndHydrotestChecksOfB313)
{
    // Seismic g 0.3 along X and 0.4 along Z combined by SRSS (the case's
    // values are magnitudes), and a hydrotest at 450 psi with water. B31.3:
    // SL+SO = SL + the occasional loads' stress by the sustained equation
    // without pressure (para. 302.3.6(a)), against 1.33 Sh; the hydrotest's
    // SL at 450 psi against the yield strength (para. 345.4.2(c)), which
    // the material holds as its strength.
    std::string text = model_text("B313");
    text.replace(text.find("LAYOUT\n"), 7, "SEISMIC\n0.3,0,0.4,2\nLAYOUT\nH,CHSG=1.0,HPRES=450\n");
    ASSERT_NO_FATAL_FAILURE(analyse(text));
    ASSERT_TRUE(snapshot_->load_cases.contains(LC_SEISMIC_G));
    ASSERT_TRUE(snapshot_->load_cases.contains(LC_HYDROTEST));
    snapshot_->pipe_materials[1].strength = 35000.0f;
    const CodeStressResults r = evaluate();
    const CaseStresses* sustained = r.find(LC_SUSTAINED);
    const CaseStresses* seismic = r.find(LC_SEISMIC_G);
    const CaseStresses* hydro = r.find(LC_HYDROTEST);
    ASSERT_TRUE(sustained && seismic && hydro);
    const OneBased<ElementForces> g = file_forces(LC_SEISMIC_G), h = file_forces(LC_HYDROTEST);
    for (int e = 1; e <= snapshot_->model.numelems(); ++e)
        for (int end = 0; end < 2; ++end) {
            SCOPED_TRACE("element " + std::to_string(e) + " end " + std::to_string(end));
            const std::size_t k = static_cast<std::size_t>(end), o = end == 0 ? 0 : 6;
            const HandSifs s = sifs_at(e, end);
            const double z = z_at(e, end);
            const double sa = std::fabs(g[e][o]) / wall(e).area;
            const double sb = std::hypot(std::max(0.75 * s.in, 1.0) * g[e][o + 5],
                                         std::max(0.75 * s.out, 1.0) * g[e][o + 4]) / z;
            const double so = std::sqrt((sa + sb) * (sa + sb) + std::pow(g[e][o + 3] / z, 2));
            expect_relative(seismic->ends[e][k].stress, sustained->ends[e][k].stress + so, REL, "SL+SO", 1e-3);
            expect_relative(seismic->ends[e][k].allowable, 1.33 * SH, 1e-6, "1.33 Sh");
            // The hydrotest: the sustained equation at 450 psi.
            const Wall& w = wall(e);
            const double ha = std::fabs(h[e][o] / w.area + 450.0 * w.d / (4 * w.t));
            const double hb = std::hypot(std::max(0.75 * s.in, 1.0) * h[e][o + 5],
                                         std::max(0.75 * s.out, 1.0) * h[e][o + 4]) / z;
            expect_relative(hydro->ends[e][k].stress,
                            std::sqrt((ha + hb) * (ha + hb) + std::pow(h[e][o + 3] / z, 2)), REL, "hydrotest", 1e-3);
            EXPECT_EQ(hydro->ends[e][k].allowable, 35000.0f);
        }
    // Without a yield strength the hydrotest is not checked.
    snapshot_->pipe_materials[1].strength = 0.0f;
    const CodeStressResults unchecked = evaluate();
    EXPECT_TRUE(unchecked.find(LC_HYDROTEST)->ends[1][0].evaluated);
    EXPECT_FALSE(unchecked.find(LC_HYDROTEST)->ends[1][0].checked);
    // The sorted sustained stresses leave an unchecked hydrotest out.
    for (const StressRow& row : sorted_stresses(unchecked, snapshot_->model, RATIO_SUSTAINED, StressOrder::Ratio))
        EXPECT_EQ(row.load_case, LC_SUSTAINED);
}

TEST_F(CodeStressWholeModel, LiberalAllowableAddsTheUnusedSustainedMargin)
{
    // OPCODE 0,1: the liberal allowable f (1.25 Sc + 0.25 Sh + Sh - SL) of
    // B31.3 Eq. 1b, with each end's own SL.
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("B313", "OPCODE\n0,1\n")));
    ASSERT_TRUE(snapshot_->options.liberal_allowable);
    const CodeStressResults r = evaluate();
    const CaseStresses* sustained = r.find(LC_SUSTAINED);
    const CaseStresses* expansion = r.find(LC_EXPANSION_T1);
    ASSERT_TRUE(sustained && expansion);
    for (int e = 1; e <= snapshot_->model.numelems(); ++e)
        for (std::size_t end = 0; end < 2; ++end) {
            const double sl = sustained->ends[e][end].stress;
            ASSERT_LT(sl, SH);
            expect_relative(expansion->ends[e][end].allowable, 1.25 * SC + 0.25 * SH + (SH - sl), 1e-6, "liberal");
        }
}

TEST_F(CodeStressWholeModel, B313RangeOfTwoThermalSetsOnTheReferenceModulus)
{
    // T1 = 350 degF, T2 = 500 degF (250 psi). Expansion (T1-T2) is made of
    // the two Expansion cases, each on the ambient modulus: F(T1) E70/E350
    // - F(T2) E70/E500; its allowable takes Sc at 350 and Sh at 500 degF.
    std::string text = model_text("B313");
    text.replace(text.find("L1,350,300"), 10, "L1,350,300,0,500,250");
    ASSERT_NO_FATAL_FAILURE(analyse(text, {LC_SUSTAINED, 2, 3, 5, LC_OPERATING_1}));
    const CodeStressResults r = evaluate();
    const CaseStresses* range = r.find(5);
    ASSERT_NE(range, nullptr);
    const double e500 = 27.9e6 - 2.4e6 * (500.0 - 70.0) / 630.0;
    const double s500 = 20000.0 - 4000.0 * (500.0 - 70.0) / 630.0;
    const OneBased<ElementForces> f1 = file_forces(2), f2 = file_forces(3), f12 = file_forces(5);
    for (int e = 1; e <= snapshot_->model.numelems(); ++e) {
        ElementForces scaled{};
        for (std::size_t i = 0; i < 12; ++i) {
            scaled[i] = static_cast<float>(f1[e][i] * E_COLD / E_HOT - f2[e][i] * E_COLD / e500);
            // The file's range is the difference of its two cases.
            EXPECT_NEAR(f12[e][i], f1[e][i] - f2[e][i], 1e-3 * (1 + std::fabs(f12[e][i])));
        }
        for (int end = 0; end < 2; ++end) {
            expect_relative(range->ends[e][static_cast<std::size_t>(end)].stress,
                            expansion_by_hand(e, end, scaled, 1.0), REL, "range", 1e-3);
            expect_relative(range->ends[e][static_cast<std::size_t>(end)].allowable, 1.25 * SH + 0.25 * s500, 1e-6,
                            "range allowable");
        }
        // The sustained check takes the lower allowable of the two sets.
        expect_relative(r.find(LC_SUSTAINED)->ends[e][0].allowable, s500, 1e-6, "Sh of the sets");
    }
    // Each case read once, the two Expansion cases for their own and the range.
    for (const auto& [code, reads] : reads_)
        EXPECT_EQ(reads, 1) << code;
}

TEST_F(CodeStressWholeModel, ForcesThatAreNotNumbersGiveNoCodeStress)
{
    // Forces a damaged file could hold (NaN, infinity) leave the ends they
    // reach unevaluated; the other ends keep their stresses.
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("B313")));
    CodeStressRequest q;
    q.model = snapshot_.get();
    q.load_cases = load_cases();
    q.forces = [this](int32_t code, OneBased<ElementForces>& out) {
        out = file_forces(code);
        out[1][5] = std::numeric_limits<float>::quiet_NaN();
        out[2][11] = std::numeric_limits<float>::infinity();
    };
    const CodeStressResults r = evaluate_code_stresses(q);
    for (const CaseStresses& c : r.cases) {
        EXPECT_FALSE(c.ends[1][0].evaluated) << c.code;
        EXPECT_TRUE(c.ends[1][1].evaluated) << c.code;
        EXPECT_FALSE(c.ends[2][1].evaluated) << c.code;
        EXPECT_TRUE(std::isfinite(c.ends[2][0].stress)) << c.code;
    }
    for (const StressRow& row : code_compliance_rows(r, snapshot_->model))
        EXPECT_TRUE(std::isfinite(row.stress));
}

// ---- The stress range factor ---------------------------------------------------------------------

namespace {

class StressRangeFactor : public CodeStressWholeModel {};

// B31.3 (2018) para. 302.3.5(d), Eq. (1c): f = 6.0 N^-0.2, here worked
// through logarithms: ln 7000 = ln 7 + 3 ln 10 = 1.945910 + 6.907755.
double six_n_to_minus_fifth(double n)
{
    return 6.0 * std::exp(-0.2 * std::log(n));
}

}  // namespace

TEST_F(StressRangeFactor, B313LetsFRiseTo1Point2ForAFerrousMaterialOfAtMost75KsiAtOrBelow700F)
{
    // 7000 cycles: f = 6 exp(-0.2 x 8.853665) = 6 x 0.1702082 = 1.021249,
    // below fm = 1.2: SA = f (1.25 Sc + 0.25 Sh) = 1.021249 x 30000 =
    // 30 637.5 psi for Sc = Sh = 20 ksi, where a cap of 1.0 gave 30 000.
    EXPECT_NEAR(std::log(7000.0), 1.945910 + 6.907755, 1e-6);
    const double f7000 = six_n_to_minus_fifth(7000);
    EXPECT_NEAR(f7000, 1.021249, 1e-6);
    const RangeFactorMaterial a106b{true, material_tensile_strength("CS", 0), 650};   // carbon steel
    EXPECT_EQ(b313_range_factor_limit(a106b), 1.2);
    const double f = stress_range_factor(StressRules::B313, 7000, b313_range_factor_limit(a106b));
    expect_relative(f, f7000, 1e-12, "f of 7000 cycles");
    expect_relative(expansion_allowable(f, 20000, 20000, false, 0), 30637.5, 1e-5, "SA of 7000 cycles");
    // 1000 cycles: 6 / 1000^0.2 = 6 / 3.981072 = 1.5071, held at 1.2.
    EXPECT_EQ(stress_range_factor(StressRules::B313, 1000, 1.2), 1.2);

    // fm by the material: the temperature limit included, above it 1.0; a
    // stronger steel (a strength above 75 ksi, as duplex or 9Cr-1Mo-V), a
    // material that is not ferrous, one whose tensile strength is not known.
    using enum TensileStrength;
    EXPECT_EQ(b313_range_factor_limit({true, AtMost75Ksi, 700}), 1.2);
    EXPECT_EQ(b313_range_factor_limit({true, Above75Ksi, 650}), 1.0);
    EXPECT_EQ(b313_range_factor_limit({true, AtMost75Ksi, 750}), 1.0);
    EXPECT_EQ(b313_range_factor_limit({false, AtMost75Ksi, 200}), 1.0);
    EXPECT_EQ(b313_range_factor_limit({true, Unknown, 200}), 1.0);
    // The kinds whose grades are all at most 75 ksi; any kind whose record
    // holds a strength above 75 ksi; the stainless type that holds duplex.
    for (const char* type : {"CS", "FS", "AS", "CI"})
        EXPECT_EQ(material_tensile_strength(type, 0), AtMost75Ksi) << type;
    EXPECT_EQ(material_tensile_strength("CS", 80000), Above75Ksi);
    EXPECT_EQ(material_tensile_strength("CS", 35000), AtMost75Ksi);
    EXPECT_EQ(material_tensile_strength("SS", 0), Unknown);
    EXPECT_EQ(material_tensile_strength("", 0), Unknown);
    EXPECT_EQ(stress_range_factor(StressRules::B313, 1000, 1.0), 1.0);
}

TEST_F(StressRangeFactor, AboveOneScAndShAreTakenAtMost20Ksi)
{
    // Para. 302.3.5(d): with f above 1.0, Sc and Sh at most 138 MPa (20 ksi)
    // in Eqs. (1a) and (1b). f = 1.2, Sc 25 ksi, Sh 18 ksi:
    // Eq. (1a) 1.2 (1.25 x 20000 + 0.25 x 18000) = 1.2 x 29500 = 35 400;
    // Eq. (1b) with SL = 6000: 1.2 (1.25 (20000 + 18000) - 6000) = 49 800.
    expect_relative(expansion_allowable(1.2, 25000, 18000, false, 0), 35400, 1e-12, "Eq. 1a");
    expect_relative(expansion_allowable(1.2, 25000, 18000, true, 6000), 49800, 1e-12, "Eq. 1b");
    // At f = 1.0 the stresses stand as they are: 1.25 x 25000 + 0.25 x 18000.
    expect_relative(expansion_allowable(1.0, 25000, 18000, false, 0), 35750, 1e-12, "f = 1");
}

TEST_F(StressRangeFactor, EarlierEditionsAndTheOtherCodesKeepTheirOwnRule)
{
    // B31.1 (2018), B31.9 and B31.12 (2019): 6.0 N^-0.2 at most 1.0, whatever
    // the material; B31.1 (1967) and B31.5: 1.0 up to 7000 cycles, 0.9 up to
    // 14 000.
    for (StressRules rules : {StressRules::B311, StressRules::B319, StressRules::B3112}) {
        EXPECT_EQ(stress_range_factor(rules, 1000, 1.2), 1.0);
        expect_relative(stress_range_factor(rules, 14000, 1.2), six_n_to_minus_fifth(14000), 1e-12, "14 000");
    }
    EXPECT_EQ(stress_range_factor(StressRules::InOutPlane, 1000, 1.2), 1.0);
    EXPECT_EQ(stress_range_factor(StressRules::InOutPlane, 7000, 1.2), 1.0);
    EXPECT_EQ(stress_range_factor(StressRules::InOutPlane, 7001, 1.2), 0.9);
}

TEST_F(StressRangeFactor, AMaterialWithoutATensileStrengthKeeps1AndTheEvaluationSaysSo)
{
    // The whole model under B31.3 at 7000 cycles: its material has no type,
    // so nothing tells its tensile strength and f stays 1.0: SA = 1.25 Sc +
    // 0.25 Sh, and one note names the material.
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("B313")));
    ASSERT_EQ(snapshot_->options.thermal_cycles, 7000);
    CodeStressResults r = evaluate();
    const CaseStresses* expansion = r.find(LC_EXPANSION_T1);
    ASSERT_NE(expansion, nullptr);
    expect_relative(expansion->ends[1][0].allowable, 1.25 * SC + 0.25 * SH, 1e-6, "SA at f = 1.0");
    EXPECT_EQ(std::count(r.notes.texts.begin(), r.notes.texts.end(),
                         "B31.3: the stress range factor f of 7000 cycles is held at 1.0 for material A106B, whose "
                         "type does not tell a specified minimum tensile strength of at most 75000 psi; Eq. (1c) "
                         "gives f = 6.0 N^-0.2 = 1.0212, up to 1.2 for a ferrous material of at most 75000 psi at or "
                         "below 700 F"),
              1);
    // 14 000 cycles: f = 0.889, below 1.0 for every material; nothing to say.
    restart();
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("B313", "OPTEMP\n70,14000\n")));
    r = evaluate();
    expect_relative(r.find(LC_EXPANSION_T1)->ends[1][0].allowable, six_n_to_minus_fifth(14000) * (1.25 * SC + 0.25 * SH),
                    1e-6, "SA of 14 000 cycles");
    EXPECT_TRUE(r.notes.texts.empty());
}

TEST_F(StressRangeFactor, TheNoteOfAModelInMegapascalsAndCelsiusGivesItsBoundsInThem)
{
    // The model of the test before, its stresses shown in MPa and its
    // temperatures in degC: 75 ksi x 6.894757293 MPa/ksi = 517.11 MPa and
    // (700 - 32) / 1.8 = 371.11 degC, to four digits in the note.
    ASSERT_NEAR(75.0 * 6.894757293, 517.107, 1e-3);
    ASSERT_NO_FATAL_FAILURE(analyse(model_text("B313"), {}, [] {
        unit_choice()[STRESS] = 1;
        unit_choice()[TEMPERATURE] = 1;
    }));
    const CodeStressResults r = evaluate();
    ASSERT_EQ(r.notes.texts.size(), 1u);
    EXPECT_EQ(r.notes.texts[0],
              "B31.3: the stress range factor f of 7000 cycles is held at 1.0 for material A106B, whose type does not "
              "tell a specified minimum tensile strength of at most 517.1 MPa; Eq. (1c) gives f = 6.0 N^-0.2 = "
              "1.0212, up to 1.2 for a ferrous material of at most 517.1 MPa at or below 371.1 C");
}

TEST_F(StressRangeFactor, ACarbonSteelModelOf7000CyclesGetsTheEditionsRange)
{
    // The same model with its material typed carbon steel (A106 B, SMTS 60
    // ksi by B31.3 Table A-1), 350 degF: f = 6 x 7000^-0.2 = 1.021249 (above),
    // within fm = 1.2, so SA = 1.021249 (1.25 Sc + 0.25 Sh) with Sc and Sh
    // below 20 ksi as they are; no note.
    std::string text = model_text("B313");
    const std::string plain = "A106B,0.283,0.3\n";
    text.replace(text.find(plain), plain.size(), "A106B,0.283,0.3,1.0,1.0,CS,Carbon steel A106 B\n");
    ASSERT_NO_FATAL_FAILURE(analyse(text));
    const CodeStressResults r = evaluate();
    const CaseStresses* expansion = r.find(LC_EXPANSION_T1);
    ASSERT_NE(expansion, nullptr);
    expect_relative(expansion->ends[1][0].allowable, six_n_to_minus_fifth(7000) * (1.25 * SC + 0.25 * SH), 1e-6,
                    "SA of 7000 cycles");
    EXPECT_TRUE(r.notes.texts.empty());
}
