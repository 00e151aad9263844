// Whole runs of the element classes' rows: bends whose flexibility factor
// comes from their record (computed 1.65/h, miter spacing, flanged ends,
// the jacket's own radius and wall), reducers as straight elements of their
// mean section, and the run's own refusal of a flexibility factor of 0.
// Every expected value is worked out here from beam theory.
#include "analysis/data/analysis_fixture.h"
#include "elements/jacketed_bend.h"
#include "elements/miter.h"
#include "elements/reducer.h"
#include "model/piping_codes.h"

using namespace analysis_test;

namespace {

// Area and moment of inertia of a tube.
struct Tube {
    double area, inertia;
    Tube(double od, double t)
    {
        const double ro = od / 2, ri = ro - t;
        area = std::numbers::pi * (ro * ro - ri * ri);
        inertia = std::numbers::pi / 4 * (std::pow(ro, 4) - std::pow(ri, 4));
    }
};

// The flexibility characteristic h = t R / r^2 with the mean radius r = (OD - t)/2.
double characteristic(double od, double t, double radius)
{
    const double r = (od - t) / 2;
    return t * radius / (r * r);
}

class ElementKindsRunTest : public AnalysisTest {
protected:
    // Node 10 anchored at the origin, a pipe-like row `etype` of radius R at
    // the corner (100, 0, 0) and a pipe on to node 30 at (100, 100, 0) with
    // a moment M about Z at node 30 in Sustained. Returns the bend row.
    int quarter_bend_with_end_moment(int etype, double radius, double moment)
    {
        weightless();
        anchored_from(10);
        const int b = row(20, etype, 100, 0, 0);
        name(b);
        BendGeometry& g = bend_of(b);
        g.radius_kind = RADIUS_USER;
        g.radius = static_cast<float>(radius);
        const int tip = pipe(30, 0, 100, 0, DT_FORCE);
        item<TestForce>(tip).load[5] = moment;
        choose({LC_SUSTAINED});
        return b;
    }

    // A constant moment M about Z along the path anchor, leg, quarter arc
    // (factor k), leg to the tip at (100, 100): the curvature M/EI (k M/EI
    // on the arc) turns the tip by its integral and moves it by the
    // integral of the curvature times ez x (tip - point); the anchor's
    // rotational spring adds M/K and moves the tip by that times ez x tip.
    //   leg 1 (y = 0, x = s, s to L1 = 100 - R):  int (100 - 0) = 100 L1,   int (100 - s) = 100 L1 - L1^2/2
    //   arc (x = 100 - R + R sin p, y = R - R cos p, ds = R dp, p to pi/2):
    //       int (100 - y) ds = R ((100 - R) pi/2 + R),  int (100 - x) ds = R^2 (pi/2 - 1)
    //   leg 2 (x = 100, y = R to 100):            int (100 - y) = L2^2/2,  int (100 - x) = 0
    // dx = -(M/EI) (...y terms), dy = +(M/EI) (...x terms).
    void expect_end_moment_response(const CaseResults& c, double radius, double k, double moment, double ei)
    {
        const double l1 = 100 - radius, l2 = 100 - radius, pi = std::numbers::pi;
        const double rotation = moment / ei * (l1 + k * radius * pi / 2 + l2) + moment / RIGID;
        const double dx =
            -moment / ei * (100 * l1 + k * radius * ((100 - radius) * pi / 2 + radius) + l2 * l2 / 2) -
            moment / RIGID * 100;
        const double dy =
            moment / ei * (100 * l1 - l1 * l1 / 2 + k * radius * radius * (pi / 2 - 1)) + moment / RIGID * 100;
        const std::array<double, 6> u = node_result(c, 30);
        expect_relative(u[5], rotation, "tip rotation");
        expect_relative(u[0], dx, "tip along X");
        expect_relative(u[1], dy, "tip along Y");
        EXPECT_NEAR(u[2], 0.0, 1e-9 * std::fabs(dx));
    }
};

}  // namespace

TEST_F(ElementKindsRunTest, QuarterBendUnderAnEndMomentTakesTheComputedFactor)
{
    // A bend of the 6 in pipe with R = 9 in: k = 1.65/h (no code, no
    // pressure, no flanges), 6.59 for this pipe.
    const double radius = 9, moment = 25000;
    quarter_bend_with_end_moment(ET_BEND, radius, moment);
    const double h = characteristic(steel.od, steel.t, radius);
    const double k = 1.65 / h;
    ASSERT_NEAR(k, 6.59, 0.005);
    const CaseResults c = solve().at(LC_SUSTAINED);
    expect_end_moment_response(c, radius, k, moment, steel.e * steel.inertia);

    // Every element carries the moment and nothing else: the arc gives it
    // back at both of its ends (about its local z, normal to the bend's
    // plane), and so do the legs. End forces are the internal forces of the
    // member (node 2's with their sign changed), so both ends read alike.
    ASSERT_EQ(c.forces.size(), 3u);
    for (const ElementVector& e : c.forces) {
        expect_relative(std::fabs(e.f[6]), moment, "moment at node 1");
        expect_relative(std::fabs(e.f[12]), moment, "moment at node 2");
        EXPECT_NEAR(e.f[6], e.f[12], 1e-6 * moment);
        for (int i : {1, 2, 3, 4, 5, 7, 8, 9, 10, 11})
            EXPECT_NEAR(e.f[i], 0.0, 1e-6 * moment) << i;
    }
}

TEST_F(ElementKindsRunTest, FlangedEndsStiffenTheBend)
{
    // Flanges at both tangent points: k = 1.65/h times h^(1/3) (h below 1).
    const double radius = 9, moment = 25000;
    quarter_bend_with_end_moment(ET_BEND, radius, moment);
    for (int tangent : {100020, 200020}) {
        const int r = row(tangent, ET_LOCATION, 0, 0, 0, DT_FLANGE);
        (void)r;
    }
    make_model();   // the build counts the flanged ends, without a save
    ASSERT_EQ(bend_of(2).flanged_ends, 2);
    const double h = characteristic(steel.od, steel.t, radius);
    const double k = 1.65 / h * std::cbrt(h);
    ASSERT_NEAR(k, 4.15, 0.005);
    expect_end_moment_response(solve().at(LC_SUSTAINED), radius, k, moment, steel.e * steel.inertia);
}

TEST_F(ElementKindsRunTest, MitersTakeTheMiterFactorOfTheirSpacing)
{
    // A closely spaced miter of R = 12 in: k = 1.52/h^(5/6).
    const double radius = 12, moment = 25000;
    const int m = quarter_bend_with_end_moment(ET_MITER, radius, moment);
    const double h = characteristic(steel.od, steel.t, radius);
    expect_end_moment_response(solve().at(LC_SUSTAINED), radius, 1.52 / std::pow(h, 5.0 / 6.0), moment,
                               steel.e * steel.inertia);
    // Widely spaced under BS 806: no flexibility of its own (k = 1).
    dynamic_cast<Miter&>(*model().rows[m].element).spacing = MITER_WIDELY_SPACED_ID;
    piping_code() = CODE_BS806;
    expect_end_moment_response(solve().at(LC_SUSTAINED), radius, 1.0, moment, steel.e * steel.inertia);
    // A factor given by the user is taken as it is.
    dynamic_cast<Miter&>(*model().rows[m].element).ff_in = 3.0f;
    expect_end_moment_response(solve().at(LC_SUSTAINED), radius, 3.0, moment, steel.e * steel.inertia);
}

TEST_F(ElementKindsRunTest, JacketArcTakesTheJacketsRadiusWallAndFactor)
{
    // A jacketed bend whose core turns at R = 9 and whose jacket (10 in
    // section, its own wall 0.5 in on the bend) at R = 45. The jacket is
    // anchored at its start (the jacket node of node 10) and carries a
    // moment about Z at its far tangent point 20D; core and jacket are not
    // connected, so the jacket's rotation there is that of its leg and arc
    // alone: M/E (L / I(leg wall) + k R pi/2 / I(bend wall)), with k from
    // the jacket's own h.
    weightless();
    PipeSection jacket;
    jacket.name = "10";
    jacket.outside_diameter = 10.75f;
    jacket.thickness = 0.365f;
    pipe_sections().push_back(jacket);
    anchored_from(10);
    const int b = row(20, ET_JACKETED_BEND, 100, 0, 0);
    name(b);
    auto& jb = dynamic_cast<JacketedBend&>(*model().rows[b].element);
    jb.geometry.radius_kind = RADIUS_USER;
    jb.geometry.radius = 9.0f;
    jb.jacket.material = "CS";
    jb.jacket.section = "10";
    jb.jacket.load = "L1";
    jb.jacket.radius_kind = RADIUS_USER;
    jb.jacket.radius = 45.0f;
    jb.jacket.thickness = 0.5f;
    pipe(30, 0, 100, 0);
    const int start = row(500010, ET_LOCATION, 0, 0, 0, DT_ANCHOR);
    const int end = row(400020, ET_LOCATION, 0, 0, 0, DT_FORCE);
    const double moment = 50000;
    item<TestForce>(end).load[5] = moment;
    (void)start;
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);

    const double R = 45, pi = std::numbers::pi;
    const double k = 1.65 / characteristic(10.75, 0.5, R);
    const double i_leg = Tube(10.75, 0.365).inertia, i_bend = Tube(10.75, 0.5).inertia;
    const double rotation = moment / steel.e * ((100 - R) / i_leg + k * R * pi / 2 / i_bend) + moment / RIGID;
    expect_relative(node_result(c, 400020)[5], rotation, "jacket's far tangent point");
    // The core is not loaded.
    EXPECT_NEAR(node_result(c, 30)[5], 0.0, 1e-12);
}

TEST_F(ElementKindsRunTest, ReducerIsAStraightElementOfItsMeanSection)
{
    // A reducer from 8 in to 6 in, 120 in long, between two anchors and
    // heated by 200 degF: the axial force is alpha dT L over the
    // flexibility L/(E A) + 2/K, A the area of the mean diameter and wall.
    weightless();
    const double l = 120, dt = 200;
    load.temperature[1] = 70 + dt;
    anchored_from(10);
    const int r = pipe(20, static_cast<float>(l), 0, 0, DT_ANCHOR);
    model().rows[r].etype = ET_REDUCER;
    model().rows[r].create_element_object();
    model().rows[r].create_data_object(r);
    auto& reducer = dynamic_cast<Reducer&>(*model().rows[r].element);
    reducer.od1 = 8.625f;
    reducer.thickness1 = 0.322f;
    reducer.od2 = 6.625f;
    reducer.thickness2 = 0.28f;
    choose({LC_OPERATING_1});
    const double area = Tube((8.625 + 6.625) / 2, (0.322 + 0.28) / 2).area;
    const double force = steel.alpha * dt * l / (l / (steel.e * area) + 2 / RIGID);
    expect_relative(std::fabs(solve().at(LC_OPERATING_1).forces[0].f[1]), force, "axial force");

    // Its weight is that of the mean section: a cantilever reducer hangs
    // its whole metal weight on the anchor.
    pipe_materials()[1].density = 0.283f;
    model().rows[r].dtype = DT_NONE;
    model().rows[r].data.reset();
    choose({LC_SUSTAINED});
    expect_relative(solve().at(LC_SUSTAINED).support_loads[1], 0.283 * area * l, "anchor's vertical force");
}

TEST_F(ElementKindsRunTest, RunRefusesAFlexibilityFactorOfZero)
{
    // The model check refuses it; a snapshot that holds one anyway ends the
    // run with a message instead of a singular arc.
    const int b = quarter_bend_with_end_moment(ET_BEND, 9, 1000);
    make_model();
    snapshot = make_analysis_model();
    dynamic_cast<Bend&>(*snapshot->model.rows[b].element).ff_in = 0.0f;
    AnalysisRun run(*snapshot);
    EXPECT_EQ(thrown_text([&] { solve_load_cases(run, callbacks); }),
              "Row 2: the flexibility factor of the bend is 0");
}
