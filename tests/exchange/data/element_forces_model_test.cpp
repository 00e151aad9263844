// The global end forces the force tables show: the axes of every element
// kind against axes worked by hand from the local-axis rule, the equilibrium
// of the forces on the elements at every node of whole models solved by the
// real analysis, and the weight and centre of gravity of the piping.
//
// Axis rule (model/elements.h, complete_local_axes): with Y vertical, local
// y is global Y made normal to x and z = x cross y; with Z vertical, local z
// is global Z made normal to x and y = z cross x; an element along the
// vertical takes (-1, 0, 0) for the axis made from the vertical. A global
// force is fx x + fy y + fz z.
#include "analysis/analysis_model.h"
#include "elements/element_local_axes.h"
#include "elements/elastic_element.h"
#include "elements/joints.h"
#include "exchange/data/batch_solve_fixture.h"
#include "results/centre_of_gravity.h"
#include "results/element_force_values.h"

#include <cmath>
#include <numbers>

using namespace batch_test;

namespace {

using Axes = std::array<Vec, 3>;   // x, y, z as global vectors

// The local values 1..12.
EndForceValues counting()
{
    EndForceValues v{};
    for (std::size_t i = 0; i < 12; ++i)
        v[i] = static_cast<float>(i + 1);
    return v;
}

// fx x + fy y + fz z for each triple of an end.
EndForceValues by_hand(const Axes& first, const Axes& second, const EndForceValues& local)
{
    EndForceValues out{};
    for (std::size_t end = 0; end < 2; ++end) {
        const Axes& a = end == 0 ? first : second;
        for (std::size_t part = 0; part < 2; ++part) {
            const std::size_t at = 6 * end + 3 * part;
            for (std::size_t c = 0; c < 3; ++c)
                out[at + c] = static_cast<float>(local[at] * a[0][c] + local[at + 1] * a[1][c] + local[at + 2] * a[2][c]);
        }
    }
    return out;
}

void expect_forces(const EndForceValues& actual, const EndForceValues& expected, const std::string& what)
{
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5 * (1.0 + std::fabs(expected[i]))) << what << " value " << i;
}

int element_between(int n1, int n2)
{
    const Model& m = model();
    for (int e = 1; e <= m.numelems(); ++e)
        if (m.nodes[m.elems[e].node1].number == n1 && m.nodes[m.elems[e].node2].number == n2)
            return e;
    ADD_FAILURE() << "no element " << n1 << "-" << n2;
    return 0;
}

const std::string LINES_ALONG_THE_AXES = "PIPE\n"
                                         "6,6.625,0.28\n"
                                         "LAYOUT\n"
                                         "F10,MA106B,P6,KA\n"
                                         "T20,X100\n"
                                         "T30,Y100\n"
                                         "T40,Z100,KA\n";

}  // namespace

class ForceTableAxes : public BatchSolveTest {};

TEST_F(ForceTableAxes, ElementsAlongTheAxesWithYVertical)
{
    import_ok(ENGLISH_HEAD + LINES_ALONG_THE_AXES.substr(5));
    make_model();
    // Along X: the global axes themselves.
    expect_forces(global_element_forces(model(), element_between(10, 20), counting(), false),
                  by_hand({Vec{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {Vec{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, counting()),
                  "along X");
    // Along Y, the vertical: y = (-1, 0, 0), z = x cross y = (0, 0, 1).
    const Axes up{Vec{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}};
    expect_forces(global_element_forces(model(), element_between(20, 30), counting(), false), by_hand(up, up, counting()),
                  "vertical");
    // Along Z: y = Y, z = x cross y = (0, 0, 1) x (0, 1, 0) = (-1, 0, 0).
    const Axes along_z{Vec{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}};
    expect_forces(global_element_forces(model(), element_between(30, 40), counting(), false),
                  by_hand(along_z, along_z, counting()), "along Z");
}

TEST_F(ForceTableAxes, ElementsAlongTheAxesWithZVertical)
{
    import_ok("OPTIONS\nB313,IN,Z\n" + ENGLISH_HEAD.substr(std::string("OPTIONS\nB313,IN\n").size()) +
              LINES_ALONG_THE_AXES.substr(5));
    ASSERT_TRUE(analysis_options().z_vertical);
    make_model();
    // Along X: z = Z, y = z cross x = (0, 1, 0).
    const Axes along_x{Vec{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    expect_forces(global_element_forces(model(), element_between(10, 20), counting(), true),
                  by_hand(along_x, along_x, counting()), "along X");
    // Along Y: z = Z, y = z cross x = (0, 0, 1) x (0, 1, 0) = (-1, 0, 0).
    const Axes along_y{Vec{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}};
    expect_forces(global_element_forces(model(), element_between(20, 30), counting(), true),
                  by_hand(along_y, along_y, counting()), "along Y");
    // Along Z, the vertical: z = (-1, 0, 0), y = z cross x = (-1, 0, 0) x (0, 0, 1) = (0, 1, 0).
    const Axes up{Vec{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}};
    expect_forces(global_element_forces(model(), element_between(30, 40), counting(), true), by_hand(up, up, counting()),
                  "vertical");
}

TEST_F(ForceTableAxes, BendEndsAndTurnedBeamsTakeTheirOwnAxes)
{
    // A 90 degree bend of radius 12 at corner 20 from +X to +Z: its arc runs
    // from 20A (8, 0, 0)... about the centre (88, 0, 12).
    import_ok(ENGLISH_HEAD +
              "6,6.625,0.28\n"
              "BMATERIALS\nBM,29000000,0.3,0.283,6.5E-6\n"
              "BSECTIONS\nBS,10,100,50\n"
              "BLOADS\nBL,70\n"
              "LAYOUT\n"
              "F10,MA106B,P6,KA\n"
              "T20,X100,KI,B12\n"
              "T30,Z100,KA\n"
              "F100,KA\n"
              "T110,X100,JM,CMAT=BM,SEC=BS,LOAD=BL,BETA=90\n"
              "F200,KA\n"
              "T210,X100,JM,CMAT=BM,SEC=BS,LOAD=BL\n");
    make_model();
    const Model& m = model();
    int arc = 0;
    for (int e = 1; e <= m.numelems(); ++e)
        if (m.elems[e].kind == ET_BEND)
            arc = e;
    ASSERT_NE(arc, 0);
    // At 20A the arc runs along +X and bends towards the centre (+Z); at
    // 20B it runs along +Z and its y points from 20B to the centre (-X).
    // z = x cross y is (1, 0, 0) x (0, 0, 1) = (0, -1, 0) at both ends.
    const Axes first{Vec{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
    const Axes second{Vec{0, 0, 1}, {-1, 0, 0}, {0, -1, 0}};
    expect_forces(global_element_forces(m, arc, counting(), false), by_hand(first, second, counting()), "bend");

    // Beta 90 degrees turns y and z about x: y = z0 = (0, 0, 1), z = -y0 = (0, -1, 0).
    const Axes plain{Vec{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const Axes turned{Vec{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
    expect_forces(global_element_forces(m, element_between(200, 210), counting(), false),
                  by_hand(plain, plain, counting()), "beam at beta 0");
    expect_forces(global_element_forces(m, element_between(100, 110), counting(), false),
                  by_hand(turned, turned, counting()), "beam at beta 90");
}

TEST_F(ForceTableAxes, JointsWithoutAnAxisAndTheElasticElementTakeTheAnalysisAxes)
{
    // A hinge with no axis and a ball joint at a node with no pipe (neither
    // can be analysed) take x = (1, 0, 0); the elastic element's y given at
    // an angle to x is made normal to it, as the analysis does.
    import_ok(ENGLISH_HEAD +
              "6,6.625,0.28\n"
              "LAYOUT\n"
              "F10,MA106B,P6,KA\n"
              "T20,X100\n"
              "T30,X100,JL,CTRAK(1000,1000,1000),ROTK(1000,1000,1000),LXAX(1,1,0),LYAX(-1,1,0)\n"
              "T40,X100\n"
              "T50,KH,CDV(0,0,1)\n");
    // What the batch file cannot say (its y must be normal to x), as typed
    // in the dialogs: y at 45 degrees to x, and the hinge's axis cleared.
    auto& elastic_data = dynamic_cast<ElasticElement&>(*model().rows[row_of(30)].element);
    elastic_data.y_axis[0] = 0.0f;
    dynamic_cast<HingeJoint&>(*model().rows[row_of(50)].element).axis[2] = 0.0f;
    make_model();
    const Model& m = model();
    const EndForceValues v = counting();
    const Axes x_axis{Vec{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    int hinge_element = 0, elastic = 0;
    for (int e = 1; e <= m.numelems(); ++e) {
        if (m.elems[e].kind == ET_HINGE_JOINT)
            hinge_element = e;
        if (m.elems[e].kind == ET_ELASTIC)
            elastic = e;
    }
    ASSERT_NE(hinge_element, 0);
    ASSERT_NE(elastic, 0);
    expect_forces(global_element_forces(m, hinge_element, v, false), by_hand(x_axis, x_axis, v), "hinge");
    // x = (1, 1, 0)/sqrt 2; y = (0, 1, 0) less its part along x, (-1/2, 1/2, 0),
    // made unit: (-1, 1, 0)/sqrt 2; z = x cross y = (0, 0, 1).
    const double s = 1.0 / std::numbers::sqrt2;
    const Axes skew{Vec{s, s, 0}, {-s, s, 0}, {0, 0, 1}};
    expect_forces(global_element_forces(m, elastic, v, false), by_hand(skew, skew, v), "elastic");
}

// ---- Equilibrium of whole models ------------------------------------------------------------

class ForceTableEquilibrium : public BatchSolveTest {
protected:
    // At every node: the forces on the elements that end there (the sign
    // rule of a static case: the first end's values negated) sum to the load
    // of the node's support, or to zero at a free node without loads; the
    // moments of a node's ends act at one point and sum alike. Within 1e-6
    // of the case's largest force and moment.
    void expect_balance(int code)
    {
        const CaseResults& c = result(code);
        const Model& m = model();
        const bool z = analysis_options().z_vertical;
        OneBased<std::array<double, 6>> sums(m.numnodes());
        double largest_force = 0.0, largest_moment = 0.0;
        for (int e = 1; e <= m.numelems(); ++e) {
            EndForceValues local{};
            for (std::size_t k = 0; k < 12; ++k)
                local[k] = static_cast<float>(c.forces[static_cast<std::size_t>(e - 1)].f[k + 1]);
            const EndForceValues on = forces_on_element(global_element_forces(m, e, local, z), false);
            for (int end = 0; end < 2; ++end) {
                const int node = end == 0 ? m.elems[e].node1 : m.elems[e].node2;
                for (std::size_t d = 0; d < 6; ++d) {
                    const double v = on[6 * static_cast<std::size_t>(end) + d];
                    sums[node][d] += v;
                    (d < 3 ? largest_force : largest_moment) = std::max(d < 3 ? largest_force : largest_moment, std::fabs(v));
                }
            }
        }
        ASSERT_GT(largest_force, 1.0);
        int supports = 0, free = 0;
        for (int node = 1; node <= m.numnodes(); ++node) {
            std::array<double, 6> load{};
            for (int r = 1; r <= m.numrows(); ++r)
                if (m.rows[r].node_index == node && support_word_count(m.rows[r].dtype) > 0) {
                    const std::vector<double> s = support(c, m.nodes[node].number);
                    for (std::size_t d = 0; d < s.size() && d < 6; ++d)
                        load[d] += s[d];
                    ++supports;
                }
            if (load == std::array<double, 6>{})
                ++free;
            for (std::size_t d = 0; d < 6; ++d)
                EXPECT_NEAR(sums[node][d], load[d], 1e-6 * (d < 3 ? largest_force : largest_moment))
                    << "case " << code << " node " << m.nodes[node].number << " direction " << d;
        }
        EXPECT_GE(supports, 2);
        EXPECT_GT(free, 10);
    }
};

// Every element kind between two anchors and a restraint, under weight,
// pressure and heat: a bend in no global plane (from X towards (0, 0.6,
// 0.8)), a valve, a reducer, bellows, a slip joint,
// a hinge, a ball joint, an elastic element whose y is not normal to its x,
// a rigid element, a tie rod to an anchor, and a beam turned by beta 30
// rising at 30 degrees to an anchor.
const std::string EVERY_KIND = "6,6.625,0.28\n"
                               "4,4.5,0.237\n"
                               "LOADS\n"
                               "L1,400,150\n"
                               "BMATERIALS\nBM,29000000,0.3,0.283,6.5E-6\n"
                               "BSECTIONS\nBS,10,100,50\n"
                               "BLOADS\nBL,70\n"
                               "LAYOUT\n"
                               "F10,MA106B,P6,KA,CL=L1\n"
                               "T20,X120,KI,B9\n"
                               "T30,Y60,Z80\n"
                               "T40,Z60,JV,CVWGT=300\n"
                               "T50,Z60,JD,COD1=6.625,THK1=0.28,OD2=4.5,THK2=0.237\n"
                               "T60,Z60,P4,JE,CES(2000,5000,1000000),BK=200000\n"
                               "T70,Z40,JS\n"
                               "T80,Z40\n"
                               "T90,KH,CDV(0,1,0),HS=100000\n"
                               "T100,X40\n"
                               "T110,JB,CRK(200000,300000)\n"
                               "T120,X40,JL,CTRAK(100000,200000,300000),ROTK(1000000,2000000,3000000),LXAX(1,0,0),"
                               "LYAX(0,1,0)\n"
                               "T130,X60,JR,CWGT=40\n"
                               "T140,X80\n"
                               "T150,Y-60\n"
                               "T160,X60,CF(0,1,0)\n"
                               "T170,X60,KA\n"
                               "F80\n"
                               "T85,X30,JT,KA,CKTIE(50000,50000)\n"
                               "F100\n"
                               "T105,X100,Y57.735,JM,KA,CMAT=BM,SEC=BS,LOAD=BL,BETA=30\n";

TEST_F(ForceTableEquilibrium, EveryElementKindBalancesAtFreeNodesAndSupports)
{
    // The elastic element's y as typed in its dialog, at an angle to x.
    ASSERT_NO_FATAL_FAILURE(run(ENGLISH_HEAD + EVERY_KIND, [] {
        auto& elastic = dynamic_cast<ElasticElement&>(*model().rows[row_of(120)].element);
        elastic.y_axis[0] = 0.3f;
        elastic.y_axis[2] = 0.2f;
    }));
    for (int code : {LC_SUSTAINED, LC_EXPANSION_T1, LC_OPERATING_1})
        expect_balance(code);
}

// ---- Weight and centre of gravity ---------------------------------------------------------

class CentreOfGravity : public BatchSolveTest {};

TEST_F(CentreOfGravity, AnLOfPipeEmptyAndFullOfWater)
{
    // 100 in along X, then a 50 in riser, 6.625 x 0.28 in steel of 0.283
    // lb/in3, full of water (specific gravity 1) in the Sustained case.
    import_ok(ENGLISH_HEAD +
              "6,6.625,0.28\n"
              "LOADS\nL1,70,0,1.0\n"
              "LAYOUT\n"
              "F10,MA106B,P6,KA,CL=L1\n"
              "T20,X100\n"
              "T30,Y50,KA\n");
    make_model();
    const PipingCentreOfGravity cg = piping_centre_of_gravity(*make_analysis_model());
    const Tube pipe{6.625, 0.28, 27.9e6, 0.3};
    const double steel = 0.283 * pipe.area;   // lb/in
    // Water: 62.37 lb/ft3 at 60 degF, per cubic inch.
    const double water = 62.37 / 1728.0 * std::numbers::pi * pipe.ri * pipe.ri;
    // The run's weight acts at (50, 0, 0), the riser's at (100, 25, 0).
    auto expect_l = [](const WeightAndCentre& w, double per_inch, double rel, const char* what) {
        const double run = per_inch * 100.0, riser = per_inch * 50.0, total = run + riser;
        expect_relative(w.weight, total, rel, std::string(what) + " weight");
        expect_relative(w.centre.x, (run * 50.0 + riser * 100.0) / total, rel, std::string(what) + " X");
        expect_relative(w.centre.y, riser * 25.0 / total, rel, std::string(what) + " Y");
        EXPECT_NEAR(w.centre.z, 0.0, 1e-9) << what;
    };
    // Within 1e-6: the section is stored in float.
    expect_l(cg.empty, steel, 1e-6, "empty");
    // The water's density is the program's to 1e-4.
    expect_l(cg.operating, steel + water, 1e-4, "with contents");
    EXPECT_GT(cg.operating.weight, cg.empty.weight + 0.9 * water * 150.0);
}
