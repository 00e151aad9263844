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
// and 0.5, with and without guides on their risers. Registered as CTest
// entries of their own (their run time).
#include "../bench/piping_network.h"
#include "../bench/support_layouts.h"
#include "exchange/data/batch_solve_fixture.h"
#include "framework/state.h"
#include "model/nodes.h"
#include "supports/guide.h"
#include "supports/limit_stop.h"
#include "supports/support_common.h"

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

Vec unit(const Vec& v)
{
    const double length = std::sqrt(dot(v, v));
    return {v[0] / length, v[1] / length, v[2] / length};
}

class FrictionModels : public BatchSolveTest {
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

    // The support values of a row in a case.
    static std::vector<double> row_loads(const CaseResults& c, int r)
    {
        int offset = 0;
        for (int k = 1; k < r; ++k)
            offset += support_word_count(model().rows[k].dtype);
        const auto begin = c.support_loads.begin() + offset;
        return {begin, begin + support_word_count(model().rows[r].dtype)};
    }

    // The outside check of a case's contacts (the header's comment).
    void check_contacts(const CaseResults& c, const std::string& where)
    {
        constexpr double MOTION = 1.0e-3;   // in
        double largest = 0.0;
        for (double f : c.support_loads)
            largest = std::max(largest, std::fabs(f));
        const double force = std::max(1.0, 1.0e-5 * largest);   // lb
        for (int r = 1; r <= numrows(); ++r) {
            const LayoutRow& row = model().rows[r];
            if (row.dtype == DT_LIMIT_STOP)
                check_stop(c, r, where, MOTION, force);
            else if (row.dtype == DT_GUIDE)
                check_guide(c, r, where, MOTION, force);
        }
    }

    void check_stop(const CaseResults& c, int r, const std::string& where, double motion, double force)
    {
        const LimitStop& stop = dynamic_cast<const LimitStop&>(*model().rows[r].data);
        if (stop.v.connected != 0)
            return;
        const std::array<double, 6> u = at(c, model().rows[r].node);
        const Vec n = unit({stop.v.direction[0], stop.v.direction[1], stop.v.direction[2]});
        const double w = u[0] * n[0] + u[1] * n[1] + u[2] * n[2];
        const std::vector<double> loads = row_loads(c, r);
        const double load = loads[0], friction = loads[1];
        const bool lower = stop.v.lower > -NO_LIMIT_TEST, upper = stop.v.upper < NO_LIMIT_TEST;
        const std::string at_row = where + ", stop of row " + std::to_string(r);
        if (lower) {
            EXPECT_GE(w, stop.v.lower - motion) << at_row;
        }
        if (upper) {
            EXPECT_LE(w, stop.v.upper + motion) << at_row;
        }
        if (load > force) {
            EXPECT_TRUE(lower && std::fabs(w - stop.v.lower) <= motion) << at_row << ": pushes " << load << " at " << w;
        }
        if (load < -force) {
            EXPECT_TRUE(upper && std::fabs(w - stop.v.upper) <= motion) << at_row << ": pushes " << load << " at " << w;
        }
        EXPECT_LE(friction, stop.v.mu * std::fabs(load) + force) << at_row;
    }

    void check_guide(const CaseResults& c, int r, const std::string& where, double motion, double force)
    {
        const Guide& guide = dynamic_cast<const Guide&>(*model().rows[r].data);
        if (guide.v.connected != 0)
            return;
        const int node = model().rows[r].node;
        double x = 0, y = 0, z = 0;
        ASSERT_EQ(pipe_direction_at_node(model(), node_index(node), x, y, z), 0);
        const Vec along = unit({x, y, z});
        // A level pipe is guided across it; a riser both ways across it.
        std::vector<Vec> normals;
        if (std::fabs(along[1]) > 0.9)
            normals = {{1, 0, 0}, {0, 0, 1}};
        else
            normals = {unit(cross(along, {0, 1, 0}))};
        const std::array<double, 6> u = at(c, node);
        const std::vector<double> loads = row_loads(c, r);
        const Vec f{loads[0], loads[1], loads[2]};
        Vec tangential = f;
        double normal_squared = 0.0;
        const std::string at_row = where + ", guide of row " + std::to_string(r);
        for (const Vec& n : normals) {
            const double w = u[0] * n[0] + u[1] * n[1] + u[2] * n[2];
            const double fn = dot(f, n);
            normal_squared += fn * fn;
            for (int i = 0; i < 3; ++i)
                tangential[static_cast<std::size_t>(i)] -= fn * n[static_cast<std::size_t>(i)];
            EXPECT_LE(std::fabs(w), guide.v.gap + motion) << at_row;
            if (std::fabs(fn) > force) {
                EXPECT_GE(std::fabs(w), guide.v.gap - motion) << at_row << ": pushes " << fn << " inside its gap";
                if (guide.v.gap > motion) {
                    EXPECT_LT(fn * w, 0.0) << at_row << ": pulls the pipe outward";
                }
            }
        }
        EXPECT_LE(std::sqrt(dot(tangential, tangential)), guide.v.mu * std::sqrt(normal_squared) + force) << at_row;
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
            expect_settled(support_layouts::batch_text(o),
                           support_layouts::layout_name(layout) + " seed " + std::to_string(seed), o.contraction ? 3 : 2);
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
                expect_settled(piping_network::batch_text(o),
                               std::to_string(rows) + " rows mu " + std::to_string(mu) + (risers ? " risers" : ""), 2);
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
        for (double mu : {0.1, 0.3, 0.5})
            expect_settled(support_layouts::tree_text(seed, mu, seed <= 2 ? 300 : 1000, true),
                           "tree seed " + std::to_string(seed) + " mu " + std::to_string(mu), 3);
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
