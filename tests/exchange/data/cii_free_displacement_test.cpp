// Displacements of a CAESAR II neutral file whose components are free
// (9999.99 or more): a direction that every vector leaves free stays free
// at the node, which changes the support loads; a support that cannot leave
// a direction free refuses the file, naming the node.
#include "closeness.h"
#include "exchange/cii_build.h"
#include "exchange/data/cii_fixture.h"
#include "exchange/data/cii_solve_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "model/model_file.h"
#include "supports/anchor.h"
#include "supports/nozzle.h"

#include <numbers>

namespace batch_test {
namespace {

using namespace cii_test;
using neutral_test::row_with;

constexpr double FREE = FREE_DISPLACEMENT;

class CaesarFreeDisplacement : public CaesarSolveTest {
protected:
    const Anchor& anchor_at_20() { return data<Anchor>(row_with(20, DT_ANCHOR)); }
};

TEST_F(CaesarFreeDisplacement, ADirectionFreeInEveryVectorFreesTheAnchor)
{
    // DY and RZ free in all three vectors; DX given in vector 1 only.
    const Six v1 = {0.5, FREE, 0, 0, 0, FREE}, rest = {FREE, FREE, FREE, FREE, FREE, FREE};
    cii_ok(anchored_pipe_cii({v1, rest, rest}).text());
    const AnchorValues& a = anchor_at_20().v;
    EXPECT_EQ(a.stiffness[1], 0.0f);
    EXPECT_EQ(a.stiffness[5], 0.0f);
    for (std::size_t c : {0u, 2u, 3u, 4u})
        EXPECT_EQ(a.stiffness[c], RIGID_STIFFNESS) << c;
    EXPECT_FLOAT_EQ(a.displacements.values[1][0], 0.5f);
    // DX is given in vector 1: the vectors that leave it free hold it at 0.
    EXPECT_EQ(a.displacements.values[2][0], 0.0f);
    const std::vector<std::string> taken = notes_.items(CII_TAKEN_AS);
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_NE(taken[0].find("held at 0"), std::string::npos) << taken[0];
    EXPECT_NE(taken[1].find("anchor at node 20 free in Y ZZ"), std::string::npos) << taken[1];
    // The anchor at 10 keeps every direction.
    for (float k : data<Anchor>(row_with(10, DT_ANCHOR)).v.stiffness)
        EXPECT_EQ(k, RIGID_STIFFNESS);
}

TEST_F(CaesarFreeDisplacement, ABlockThatGivesNothingLeavesTheAnchorAsItIs)
{
    const Six all_free = {FREE, FREE, FREE, FREE, FREE, 12000};
    cii_ok(anchored_pipe_cii({all_free, all_free, all_free}).text());
    for (float k : anchor_at_20().v.stiffness)
        EXPECT_EQ(k, RIGID_STIFFNESS);
    EXPECT_FALSE(anchor_at_20().v.displacements.any());
    // Under a heading that says the block fixes nothing, not that node 20,
    // which has a row, has none.
    EXPECT_EQ(notes_.count(CII_DROPPED), 0);
    ASSERT_EQ(notes_.count(CII_UNHELD_DISPLACEMENTS), 1);
    EXPECT_NE(notes_.items(CII_UNHELD_DISPLACEMENTS)[0].find("node 20 that give no component"), std::string::npos);
}

TEST_F(CaesarFreeDisplacement, ANozzleThatWouldLeaveADirectionFreeRefusesTheFileNamingTheNode)
{
    CiiFile f = anchored_pipe_cii({Six{0.1, 0, 0, 0, 0, FREE}, Six{}, Six{}});
    f.restraints = {{{10, 1, 0, 0, 0, 0, {}}}};
    std::array<double, 18> nozzle{};
    nozzle[0] = 20, nozzle[3] = 6.625, nozzle[4] = 0.28, nozzle[5] = 96, nozzle[6] = 0.5;
    nozzle[9] = 48, nozzle[10] = 60, nozzle[13] = 1;
    f.nozzles.push_back(nozzle);
    // RZ is free in vector 1 and given in 2 and 3: held, and taken.
    cii_ok(f.text());
    EXPECT_FLOAT_EQ(data<Nozzle>(row_with(20, DT_NOZZLE)).v.displacements.values[1][0], 0.1f);

    f.displacements[0][0].vectors[1][5] = FREE;
    f.displacements[0][0].vectors[2][5] = FREE;
    const std::string error = import_cii(f.text());
    EXPECT_NE(error.find("Node 20: a nozzle holds the pipe in every direction and cannot leave ZZ free"),
              std::string::npos)
        << error;
    EXPECT_EQ(error.rfind("line = ", 0), 0u) << error;
    EXPECT_EQ(numrows(), 0);
}

TEST_F(CaesarFreeDisplacement, AFreeVerticalLeavesTheWholeWeightOnTheOtherAnchor)
{
    // With DY free at 20 (and RZ held) the pipe is a cantilever from the
    // anchor at 10 with a guided end: by vertical equilibrium the anchor at
    // 10 carries the whole weight w L and the one at 20 nothing. Its moment:
    // with V(x) = w (L - x), M(x) = M_A - w L x + w x^2 / 2, and no turn
    // between the ends, the integral of M over L is 0, so M_A = w L^2 / 3.
    // Held at 0, as before, each anchor would take w L / 2.
    const Six v = {0, FREE, 0, 0, 0, 0};
    const CiiFile f = anchored_pipe_cii({v, v, v});
    solve_cii(f.text());
    const CiiElementRecord& e = f.elements[0];
    const double length = e.dx, id = e.od - 2 * e.wall;
    const double w = e.density * std::numbers::pi / 4 * (e.od * e.od - id * id);   // lb/in
    const CaseResults& c = result(LC_SUSTAINED);
    const std::vector<double> at_10 = support(c, 10), at_20 = support(c, 20);
    expect_relative(at_10[1], w * length, 1e-6, "anchor 10 carries the weight");
    EXPECT_NEAR(at_20[1], 0.0, 1e-9 * w * length) << "anchor 20 is free vertically";
    expect_relative(std::fabs(at_10[5]), w * length * length / 3, 1e-4, "moment at the anchor at 10");
}

}  // namespace
}  // namespace batch_test
