// Friction on realistic models: every nonlinear case of every model
// converges, and its state is checked here apart from the program's own
// check, from the results as a reader of the report sees them. Each limit
// stop (the one-way rests, the stops with gaps) stays within its limits,
// carries a load only where it stands at a limit, pushing the pipe back
// inside, and a friction of at most mu times that load; each guide keeps
// the pipe within its gap across it, pushes only where the pipe stands at
// the gap and carries a friction along the pipe of at most mu times its
// normal force. The models: the eight-row branch of a header that left its
// end rest sliding back and forth; the small layouts of bench/
// support_layouts.h over 240 seeds (a branch off a growing header on
// one-way rests, a riser guided at every floor, a pump's drop onto gapped
// stops, a steam line with a U-loop), friction 0.1 to 0.5, half of them
// with a third thermal case below ambient; header trees; and the networks
// of the nonlinear benchmark from 300 to 7 000 rows with friction 0.1, 0.3
// and 0.5, with and without guides on their risers. Some of each kind also
// carry seismic factors in three directions and a wind: Operating
// (W+P1+T1) plus the wind and plus and minus each direction of the seismic
// load, the states the occasional cases reach, converge and pass the same
// check, and where a contact moved from Operating it slides at mu N.
// Registered as CTest entries of their own (their run time).
#include "../bench/piping_network.h"
#include "../bench/support_layouts.h"
#include "exchange/data/contact_check.h"
#include "framework/state.h"

#include <algorithm>
#include <initializer_list>
#include <string>

using namespace batch_test;

namespace {

// The case codes a model's thermal sets give: Sustained and Operating (k).
std::vector<int> static_codes(int thermal_sets)
{
    std::vector<int> codes{static_cast<int>(LC_SUSTAINED)};
    for (int k = 1; k <= thermal_sets; ++k)
        codes.push_back(operating_code(k));
    return codes;
}

// The seismic factors of the models under occasional loads: 0.3 g across
// both ways and 0.2 g vertical, combined by SRSS.
const std::string OCCASIONAL_SEISMIC = "0.3,0.2,0.3,2";

class FrictionModels : public ContactCheckTest {
protected:
    // Imports and solves a model from the program's start-up state; every
    // case of `codes` must converge and pass the outside check.
    void expect_settled(const std::string& text, const std::string& name, int thermal_sets)
    {
        reset_all();
        SetUp();
        run(text);
        if (HasFatalFailure())
            return;
        for (int code : static_codes(thermal_sets)) {
            const CaseResults& c = result(code);
            EXPECT_TRUE(c.converged) << name << " case " << code;
            if (c.converged)
                check_contacts(c, name + " case " + std::to_string(code));
        }
    }

};

class FrictionLayouts : public FrictionModels {
protected:
    // 60 seeds of a layout, friction 0.1 to 0.5 by turns, every other one
    // with a case below ambient.
    void expect_seeds_settle(support_layouts::Layout layout)
    {
        for (unsigned long long seed = 1; seed <= 60; ++seed) {
            support_layouts::Options o;
            o.layout = layout;
            o.seed = seed;
            o.mu = 0.1 * static_cast<double>(1 + seed % 5);
            o.contraction = seed % 2 == 0;
            const std::string name = support_layouts::layout_name(layout) + " seed " + std::to_string(seed);
            expect_settled(support_layouts::batch_text(o), name, o.contraction ? 3 : 2);
            if (seed % 6 == 0)
                expect_occasional_states(support_layouts::batch_text(o), name + " occasional", OCCASIONAL_SEISMIC);
        }
    }
};

class FrictionNetworks : public FrictionModels {
protected:
    // The benchmark's networks of `rows` rows, friction 0.1, 0.3 and 0.5,
    // without and with guides on their risers.
    void expect_sizes_settle(int rows)
    {
        for (double mu : {0.1, 0.3, 0.5})
            for (bool risers : {false, true}) {
                piping_network::Options o;
                o.rows = rows;
                o.seed = 1;
                o.mu = mu;
                o.riser_guides = risers;
                const std::string name =
                    std::to_string(rows) + " rows mu " + std::to_string(mu) + (risers ? " risers" : "");
                expect_settled(piping_network::batch_text(o), name, 2);
                if (rows <= 1000 && mu == 0.3)
                    expect_occasional_states(piping_network::batch_text(o), name + " occasional", OCCASIONAL_SEISMIC);
            }
    }
};

}  // namespace

TEST_F(FrictionModels, EightRowBranchSettlesOnItsEndRests)
{
    // A 6 in header between two anchors, a branch rising 10 ft from it and
    // running 40 ft on two one-way rests with mu 0.3, the last at its free
    // end: the rest at node 60 carries about 1000 lb and a friction of mu N
    // to the pound, on the edge between sticking and sliding.
    const std::string text = "Edge case e12_branch_oneway_lift\n"
                             "VERSION\n10.20\nOPTIONS\nB313,IN\nOPTEMP\n70,7000,2\nMATERIAL\n"
                             "A106B,0.283,0.3,1.0,1.0,CS,Carbon steel A106 Grade B\n"
                             "A106B,70,29.5E6,6.07E-6,20000\nA106B,200,28.8E6,6.38E-6,20000\n"
                             "A106B,300,28.3E6,6.60E-6,20000\nA106B,400,27.7E6,6.82E-6,20000\n"
                             "A106B,500,27.3E6,7.02E-6,18900\n"
                             "PIPE\nP6,6.625,0.28,0.0625,12.5,8,2.0\nLOADS\nOPER,400,150,0.9,450,150\nLAYOUT\n"
                             "F10,MA106B,PP6,KA,CL=OPER\nT20,X240\nT30,X60\nT40,X240,KA\nF20,PP6,CL=OPER\n"
                             "T50,Y120,KI,B9\nT60,Z240,CLS(0,NONE),DV(0,1,0),MU=0.3\n"
                             "T70,Z240,CLS(0,NONE),DV(0,1,0),MU=0.3\n";
    expect_settled(text, "eight rows", 2);
}

TEST_F(FrictionLayouts, BranchesOffGrowingHeadersOnOneWayRests)
{
    expect_seeds_settle(support_layouts::Layout::Branch);
}

TEST_F(FrictionLayouts, RisersGuidedAtEveryFloorWithAStopAtTheirFoot)
{
    expect_seeds_settle(support_layouts::Layout::Riser);
}

TEST_F(FrictionLayouts, PumpDropsOntoStopsWithGapsEitherWay)
{
    expect_seeds_settle(support_layouts::Layout::PumpDrop);
}

TEST_F(FrictionLayouts, SteamLinesWithAUnderLoopResting)
{
    expect_seeds_settle(support_layouts::Layout::UnderLoop);
}

TEST_F(FrictionModels, HeaderTreesWithManySmallBranchesOnRests)
{
    // 16 to 24 in headers with 2 to 4 in branches ending on rests, each
    // with a case below ambient.
    for (unsigned long long seed = 1; seed <= 4; ++seed)
        for (double mu : {0.1, 0.3, 0.5}) {
            const std::string name = "tree seed " + std::to_string(seed) + " mu " + std::to_string(mu);
            expect_settled(support_layouts::tree_text(seed, mu, seed <= 2 ? 300 : 1000, true), name, 3);
            if (mu == 0.3 && seed <= 2)
                expect_occasional_states(support_layouts::tree_text(seed, mu, 300, true), name + " occasional",
                                         OCCASIONAL_SEISMIC);
        }
}

TEST_F(FrictionNetworks, Of300Rows)
{
    expect_sizes_settle(300);
}

TEST_F(FrictionNetworks, Of1000Rows)
{
    expect_sizes_settle(1000);
}

TEST_F(FrictionNetworks, Of3000Rows)
{
    expect_sizes_settle(3000);
}

TEST_F(FrictionNetworks, Of7000Rows)
{
    expect_sizes_settle(7000);
}
