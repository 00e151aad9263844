// Occasional cases (Seismic (g), Wind) of models with one-way rests, gaps
// and friction whose loads leave every support in the state the first
// operating case left it: each is the change from that state to the one
// its load reaches from there, which is then the linear solution of the
// supports held as they were, worked with the frame solver of the tests;
// Seismic (g) takes both signs and holds magnitudes. On generated pipe
// bridges under seismic and wind the states reached pass the outside check
// of the contacts, and the seismic reactions balance the seismic share of
// the weight.
#include "../bench/support_layouts.h"
#include "codes/code_evaluation.h"
#include "exchange/data/contact_check.h"
#include "framework/state.h"
#include "loads/pipe_load.h"

#include <algorithm>
#include <string>

using namespace batch_test;

namespace {

const Tube STD6{6.625, 0.28, 27.9e6, 0.3};
// The 6 in line's steel weight, lb/in (0.283 lb/in3, empty).
const double W6 = 0.283 * STD6.area;
const Vec X{1, 0, 0}, Y{0, 1, 0}, Z{0, 0, 1};
constexpr double MU = 0.3;
const int RESTS[] = {20, 30, 40, 50};

// 1000 in of 6 in STD along X between anchors at nodes 10 and 60, on
// one-way rests with mu 0.3 every 200 in (nodes 20 to 50), heated to
// 400 degF, under the static seismic factors `seismic` (gx, gy, gz
// [, combination]).
std::string rested_line(const std::string& seismic)
{
    const std::string rest = ",CLS(0,NONE),DV(0,1,0),MU=0.3\n";
    return "Line on rests\n" + ENGLISH_HEAD +
           "P6,6.625,0.28\n"
           "LOADS\n"
           "L1,400,0\n"
           "SEISMIC\n" +
           seismic +
           "\n"
           "LAYOUT\n"
           "F10,MA106B,PP6,KA,CL=L1\n"
           "T20,X200" + rest + "T30,X200" + rest + "T40,X200" + rest + "T50,X200" + rest + "T60,X200,KA\n";
}

Frame rested_frame()
{
    return Frame(STD6, {{10, {0, 0, 0}}, {20, {200, 0, 0}}, {30, {400, 0, 0}}, {40, {600, 0, 0}},
                        {50, {800, 0, 0}}, {60, {1000, 0, 0}}},
                 RIGID, RIGID);
}

// Every rest held along d (closed and, across the pipe, sticking).
std::vector<Frame::Support> held(const std::vector<Vec>& directions)
{
    std::vector<Frame::Support> s;
    for (const Vec& d : directions)
        for (int node : RESTS)
            s.push_back({node, d, RIGID});
    return s;
}

double largest_translation(const CaseResults& c)
{
    double largest = 0.0;
    for (std::size_t k = 0; k < c.displacements.size(); ++k)
        if (k % 6 < 3)
            largest = std::max(largest, std::fabs(c.displacements[k]));
    return largest;
}

class OccasionalNonlinear : public ContactCheckTest {
protected:
    // Imports and solves a text from the program's start-up state.
    void run_anew(const std::string& text, const std::function<void()>& adjust = {})
    {
        reset_all();
        SetUp();
        run(text, adjust);
    }

    // The sum of the vertical forces of every support on the pipe: the
    // anchors, the one-way rests (their normal force, along Y) and the
    // guides.
    double vertical_support_force(const CaseResults& c)
    {
        double total = 0.0;
        int offset = 0;
        for (int r = 1; r <= numrows(); ++r) {
            const LayoutRow& row = model().rows[r];
            const auto at = c.support_loads.begin() + offset;
            if (row.dtype == DT_ANCHOR || row.dtype == DT_GUIDE)
                total += at[1];
            else if (row.dtype == DT_LIMIT_STOP)
                total += at[0];
            offset += support_word_count(row.dtype);
        }
        return total;
    }
};

}  // namespace

TEST_F(OccasionalNonlinear, RestsStayClosedUnderUpwardSeismic)
{
    // 0.1 g upward is a tenth of the weight lifting the line: far less than
    // what presses it onto its rests, which stay closed both ways. The line
    // is then the continuous beam on its anchors and four rigid rests under
    // 0.1 w up and down, and the case the size of that change.
    run_keeping_states(rested_line("0,0.1,0"));
    if (HasFatalFailure())
        return;
    const Frame frame = rested_frame();
    const std::vector<Frame::Support> rests = held({Y});
    const Frame::Solution seismic = frame.solve(0, {0, 0.1 * W6, 0}, {}, rests);

    const CaseResults& s = result(LC_SUSTAINED);
    const CaseResults& o = result(operating_code(1));
    const CaseResults& g = result(LC_SEISMIC_G);
    EXPECT_TRUE(g.converged);
    // Operating plus and minus 0.1 g: the beam under 0.9 w and 1.1 w down,
    // every rest still pressed; Sustained plus and minus the case, the
    // bounds of the two.
    const Frame::Solution lighter = frame.solve(0, {0, -0.9 * W6, 0}, {}, rests);
    const Frame::Solution heavier = frame.solve(0, {0, -1.1 * W6, 0}, {}, rests);
    const double scale = W6 * 1000;
    for (std::size_t i = 0; i < std::size(RESTS); ++i) {
        const int node = RESTS[i];
        const std::string at_rest = "rest " + std::to_string(node);
        EXPECT_LE(std::fabs(at(g, node)[1]), 0.01) << at_rest;
        expect_relative(support(g, node)[0], std::fabs(seismic.support[i]), 0.0, at_rest + " seismic", AGREE * scale);
        ASSERT_GT(lighter.support[i], 0.0) << at_rest;
        expect_relative(support(state("Seismic (g) +Y"), node)[0], lighter.support[i], 0.0,
                        at_rest + " operating + seismic", AGREE * scale);
        expect_relative(support(state("Seismic (g) -Y"), node)[0], heavier.support[i], 0.0,
                        at_rest + " operating - seismic", AGREE * scale);
        expect_relative(support(s, node)[0] - support(g, node)[0], lighter.support[i], 0.0,
                        at_rest + " sustained - seismic", AGREE * scale);
        expect_relative(support(s, node)[0] + support(g, node)[0], heavier.support[i], 0.0,
                        at_rest + " sustained + seismic", AGREE * scale);
        EXPECT_NEAR(support(o, node)[0], support(s, node)[0], AGREE * scale) << at_rest;
        // Nothing acts across or along the line: no friction.
        EXPECT_NEAR(support(g, node)[1], 0.0, AGREE * scale) << at_rest;
    }
    // Away from the rests the line moves as the beam does, either way.
    for (int node : {10, 60})
        for (int d : {1, 5})
            expect_relative(support(g, node)[static_cast<std::size_t>(d)], std::fabs(seismic.anchor.at(node)[d]), 0.0,
                            "anchor " + std::to_string(node), AGREE * scale * (d < 3 ? 1 : 200));
}

TEST_F(OccasionalNonlinear, RestsHoldSidewaysWhereTheirFrictionIsEnough)
{
    // 0.2 g across the line: each rest must hold the lateral reaction of the
    // beam on rigid side supports, which mu N of its weight exceeds, so the
    // sticking rests hold the line where it stands, either way.
    run(rested_line("0,0,0.2"));
    if (HasFatalFailure())
        return;
    const Frame frame = rested_frame();
    const Frame::Solution weight = frame.solve(0, {0, -W6, 0}, {}, held({Y}));
    const Frame::Solution lateral = frame.solve(0, {0, 0, 0.2 * W6}, {}, held({Z}));
    const CaseResults& g = result(LC_SEISMIC_G);
    const CaseResults& o = result(operating_code(1));
    EXPECT_TRUE(g.converged);
    const double scale = 0.2 * W6 * 1000;
    for (std::size_t i = 0; i < std::size(RESTS); ++i) {
        const int node = RESTS[i];
        const std::string at_rest = "rest " + std::to_string(node);
        // The hand check that friction suffices: mu N over the lateral
        // reaction, and the rest sticking in Operating.
        ASSERT_GT(MU * weight.support[i], std::fabs(lateral.support[i])) << at_rest;
        expect_relative(support(o, node)[0], weight.support[i], 0.0, at_rest + " normal force", AGREE * W6 * 1000);
        // Held by its friction springs, stiff beside the line's: the rest
        // moves by a few thousandths of the free line's motion.
        EXPECT_LE(std::fabs(at(g, node)[2]), 0.001) << at_rest;
        expect_relative(support(g, node)[1], std::fabs(lateral.support[i]), 1e-3, at_rest + " friction",
                        1e-3 * scale);
        EXPECT_NEAR(support(g, node)[0], 0.0, AGREE * scale) << at_rest;
    }
    // Between the rests the line bows as the beam does.
    for (int node : {10, 60}) {
        expect_relative(support(g, node)[2], std::fabs(lateral.anchor.at(node)[2]), 1e-3,
                        "anchor " + std::to_string(node), 1e-3 * scale);
        expect_relative(support(g, node)[4], std::fabs(lateral.anchor.at(node)[4]), 1e-3, "anchor moment",
                        1e-3 * scale * 200);
    }
}

TEST_F(OccasionalNonlinear, IsLinearInItsLoad)
{
    // Twice the seismic factors in both directions (combined by SRSS), 0.1
    // g up and 0.2 g across at most, which the rests hold by their friction
    // (RestsHoldSidewaysWhereTheirFrictionIsEnough): every value of the
    // case twice as large, as no support changes its state; to the sticking
    // range of the friction (the rests move by a few millionths of an inch
    // either way) and the forces' tolerance.
    run_anew(rested_line("0,0.05,0.1,2"));
    if (HasFatalFailure())
        return;
    const CaseResults once = result(LC_SEISMIC_G);
    run_anew(rested_line("0,0.1,0.2,2"));
    if (HasFatalFailure())
        return;
    const CaseResults& twice = result(LC_SEISMIC_G);
    ASSERT_EQ(once.displacements.size(), twice.displacements.size());
    double turn = 0.0;
    for (std::size_t k = 0; k < once.displacements.size(); ++k)
        if (k % 6 >= 3)
            turn = std::max(turn, std::fabs(once.displacements[k]));
    ASSERT_GT(turn, 0.0);
    for (std::size_t k = 0; k < once.displacements.size(); ++k)
        EXPECT_NEAR(twice.displacements[k], 2 * once.displacements[k], k % 6 < 3 ? 1e-5 : 1e-3 * turn)
            << "value " << k;
    double force = 0.0;
    for (double f : once.support_loads)
        force = std::max(force, std::fabs(f));
    ASSERT_GT(force, 0.0);
    for (std::size_t k = 0; k < once.support_loads.size(); ++k)
        EXPECT_NEAR(twice.support_loads[k], 2 * once.support_loads[k], 1e-3 * force) << "support value " << k;
    for (std::size_t e = 0; e < once.forces.size(); ++e)
        for (int j = 1; j <= 12; ++j)
            EXPECT_NEAR(twice.forces[e].f[j], 2 * once.forces[e].f[j], 1e-3 * force * 200) << "element " << e;
}

TEST_F(OccasionalNonlinear, CodeStressAddsTheSeismicMomentToTheSustainedOne)
{
    // B31.3 302.3.6: the sustained stress plus the stress of the occasional
    // loads. At the anchor of the line under 0.1 g upward neither case has
    // an axial force or torsion, and a straight pipe's index max(0.75 i, 1)
    // is 1: SL = |M sustained| / Z and the occasional check
    // (|M sustained| + |M seismic|) / Z, the moments those of the beam on
    // its anchors and rigid rests.
    run(rested_line("0,0.1,0"));
    if (HasFatalFailure())
        return;
    const Frame frame = rested_frame();
    const double m_sustained = frame.solve(0, {0, -W6, 0}, {}, held({Y})).anchor.at(10)[5];
    const double m_seismic = frame.solve(0, {0, 0.1 * W6, 0}, {}, held({Y})).anchor.at(10)[5];
    const double z = STD6.inertia / (STD6.od / 2);

    CodeStressRequest q;
    q.model = snapshot_.get();
    q.load_cases = {LC_SUSTAINED, LC_EXPANSION_T1, operating_code(1), LC_SEISMIC_G};
    q.forces = [this](int32_t code, OneBased<ElementForces>& out) {
        const CaseResults& c = result(code);
        out = OneBased<ElementForces>(static_cast<int>(c.forces.size()));
        for (std::size_t e = 0; e < c.forces.size(); ++e)
            for (std::size_t j = 0; j < 12; ++j)
                out[static_cast<int>(e) + 1][j] = static_cast<float>(c.forces[e].f[static_cast<int>(j) + 1]);
    };
    const CodeStressResults r = evaluate_code_stresses(q);
    const CaseStresses* sustained = r.find(LC_SUSTAINED);
    const CaseStresses* occasional = r.find(LC_SEISMIC_G);
    ASSERT_TRUE(sustained && occasional);
    // Element 1 runs from the anchor at node 10.
    ASSERT_EQ(model().nodes[model().elems[1].node1].number, 10);
    expect_relative(sustained->ends[1][0].stress, std::fabs(m_sustained) / z, 1e-5, "sustained at the anchor");
    expect_relative(occasional->ends[1][0].stress, (std::fabs(m_sustained) + std::fabs(m_seismic)) / z, 1e-5,
                    "sustained + seismic at the anchor");
    EXPECT_GT(std::fabs(m_seismic), 0.05 * std::fabs(m_sustained));
}

TEST_F(OccasionalNonlinear, GeneratedPipeBridgesStayNearTheirOperatingState)
{
    // Headers on a rack between anchors, on one-way rests with guides, with
    // branches resting to their ends (bench/support_layouts.h), under 0.1 g
    // upward and a wind along Z of 0.1 psi at grade to 0.2 psi at 40 ft.
    // Sustained and Operating converge and pass the outside check, and so do
    // Operating plus the wind and plus and minus 0.1 g, the states the
    // occasional cases reach, where each rest that moved slides at mu N (a
    // small branch whose rests hold less than the wind on it slides as far
    // as its bending from the header lets it); the vertical load moves the
    // piping by less than the heat does; the supports of Operating plus and
    // minus 0.1 g carry 0.9 and 1.1 of the weight that Sustained's carry.
    for (unsigned long long seed = 1; seed <= 3; ++seed) {
        const std::string name = "bridge seed " + std::to_string(seed);
        expect_occasional_states(support_layouts::tree_text(seed, MU, 150, false), name, "0,0.1,0");
        if (HasFatalFailure())
            return;
        for (int code : {int{LC_SUSTAINED}, operating_code(1), operating_code(2)}) {
            const CaseResults& c = result(code);
            EXPECT_TRUE(c.converged) << name << " case " << code;
            check_contacts(c, name + " case " + std::to_string(code));
        }
        const double operating = std::max(largest_translation(result(operating_code(1))),
                                          largest_translation(result(operating_code(2))));
        for (int code : {int{LC_SEISMIC_G}, int{LC_WIND}}) {
            const CaseResults& c = result(code);
            EXPECT_TRUE(c.converged) << name << " case " << code;
            EXPECT_GT(largest_translation(c), 0.0) << name << " case " << code;
        }
        EXPECT_LE(largest_translation(result(LC_SEISMIC_G)), operating) << name;
        const double weight = vertical_support_force(result(LC_SUSTAINED));
        EXPECT_GT(weight, 0.0);
        expect_relative(vertical_support_force(state("Seismic (g) +Y")), 0.9 * weight, 1e-6, name + " seismic up");
        expect_relative(vertical_support_force(state("Seismic (g) -Y")), 1.1 * weight, 1e-6, name + " seismic down");
    }
}

TEST_F(OccasionalNonlinear, OpenGapStaysOpenAndAClosedRestHoldsBothWays)
{
    // 15 ft of 6 in STD cantilevered along X from an anchor, under 0.5 g
    // upward. Its weight sags the free tip by about 0.26 in.
    const double l = 180;
    const double sag = STD6.tip_under_uniform(l, W6, RIGID, RIGID), f = STD6.tip_flexibility(l, RIGID, RIGID);
    auto cantilever = [](const std::string& tip) {
        return "Cantilever\n" + ENGLISH_HEAD + "P6,6.625,0.28\nSEISMIC\n0,0.5,0\nLAYOUT\nF10,MA106B,PP6,KA\nT20,X180," +
               tip + "\n";
    };
    // A rest 0.5 in below the tip, which the weight does not reach: open in
    // Operating, it stays open, and the tip rises as the free cantilever's
    // under 0.5 w.
    run_anew(cantilever("CLS(-0.5,NONE),DV(0,1,0)"));
    if (HasFatalFailure())
        return;
    ASSERT_LT(sag, 0.5);
    expect_relative(at(result(LC_SEISMIC_G), 20)[1], 0.5 * sag, 1e-6, "free tip rises");
    EXPECT_NEAR(support(result(LC_SEISMIC_G), 20)[0], 0.0, 1e-9);
    // A rest 0.1 in below, on which the weight settles the tip: closed in
    // Operating, and still pressed under half the weight (0.5 sag is past
    // 0.1 in), so it holds the tip both ways: the propped cantilever on the
    // stop's spring, whose load changes by R, 0.5 sag - R f = R / k.
    run_anew(cantilever("CLS(-0.1,NONE),DV(0,1,0)"));
    if (HasFatalFailure())
        return;
    ASSERT_GT(0.5 * sag, 0.1);
    const double pull = 0.5 * sag / (f + 1 / RIGID);
    expect_relative(support(result(LC_SEISMIC_G), 20)[0], pull, 1e-6, "the rest's load changes either way");
    EXPECT_LE(std::fabs(at(result(LC_SEISMIC_G), 20)[1]), 1e-6);
    // Operating: the tip settled 0.1 in down, the rest pressed by what the
    // free sag beyond that needs.
    const double pressed = (sag - 0.1) / (f + 1 / RIGID);
    expect_relative(support(result(operating_code(1)), 20)[0], pressed, 1e-6, "operating");
}
