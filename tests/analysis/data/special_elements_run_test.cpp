// Whole runs of beams, joints, slip joints, tie rods, elastic elements,
// bellows, rigid elements and valves. Every expected value is worked out
// here from statics and beam theory, or from the element's own spring law.
#include "analysis/data/analysis_fixture.h"
#include "elements/beam.h"
#include "elements/bellows.h"
#include "elements/elastic_element.h"
#include "elements/joint_analysis.h"
#include "elements/joints.h"
#include "elements/rigid_element.h"
#include "elements/slip_joint.h"
#include "elements/slip_joint_state.h"
#include "elements/tie_rod.h"
#include "elements/valve.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace analysis_test;

namespace {

class SpecialElementsRunTest : public AnalysisTest {
protected:
    template <typename T>
    static T& object(int r)
    {
        return dynamic_cast<T&>(*model().rows[r].element);
    }
    // A force (or moment) at a row's node in Sustained: direction 0..5.
    static void force(int r, int direction, double value)
    {
        model().rows[r].dtype = DT_FORCE;
        model().rows[r].create_data_object(r);
        item<TestForce>(r).load[static_cast<std::size_t>(direction)] = value;
    }
    static void anchor(int r)
    {
        model().rows[r].dtype = DT_ANCHOR;
        model().rows[r].create_data_object(r);
    }
    // Collects the progress lines of the run.
    void record_reports()
    {
        callbacks.progress = [this](const std::string& text) { reports.push_back(text); };
    }
    bool reported(const std::string& start) const
    {
        return std::any_of(reports.begin(), reports.end(),
                           [&](const std::string& r) { return r.compare(0, start.size(), start) == 0; });
    }
    // "Iteration n: 0 nonlinearities not converged" for some n above 1.
    bool converged_after_iterating() const
    {
        return std::any_of(reports.begin(), reports.end(), [](const std::string& r) {
            return r.find(": 0 nonlinearities not converged") != std::string::npos && r.rfind("Iteration 1:", 0) != 0;
        });
    }

    // A steel beam material and a W-shape-like section: A 10 in2, I major
    // 300 in4, I minor 40 in4, J 1.5 in4, no shear areas (Euler-Bernoulli),
    // depth 12 in, width 8 in.
    void beam_sets(double density = 0.0)
    {
        BeamMaterial m;
        m.name = "BM";
        m.E = 29.0e6f;
        m.nu = 0.3f;
        m.density = static_cast<float>(density);
        m.alpha = 6.5e-6f;
        beam_materials().push_back(m);
        BeamSection s;
        s.name = "W12";
        s.values = {10.0f, 300.0f, 40.0f, 1.5f, 0.0f, 0.0f, 12.0f, 8.0f};
        beam_sections().push_back(s);
    }
    static int beam(int node, float dx, float dy, float dz)
    {
        const int r = row(node, ET_BEAM, dx, dy, dz);
        model().rows[r].material = "BM";
        model().rows[r].section = "W12";
        return r;
    }


    // Anchor 10, pipe to 20 (100 in along X), a hinge (axis Z) at node 30 at
    // the same place, pipe on to 40; a moment M about Z at node 40.
    static int hinge_model(double stiffness, double friction, double limit, double moment)
    {
        anchored_from(10);
        pipe(20, 100, 0, 0);
        const int h = row(30, ET_HINGE_JOINT);
        auto& hinge = dynamic_cast<HingeJoint&>(*model().rows[h].element);
        hinge.stiffness = static_cast<float>(stiffness);
        hinge.friction = static_cast<float>(friction);
        hinge.limit = static_cast<float>(limit);
        hinge.axis[2] = 2.0f;   // used as (0, 0, 1)
        const int tip = pipe(40, 100, 0, 0, DT_FORCE);
        dynamic_cast<TestForce&>(*model().rows[tip].data).load[5] = moment;
        return h;
    }

    // The rotation of the hinge: node 30 against node 20, about Z.
    static double hinge_turn(const CaseResults& c)
    {
        return node_result(c, 30)[5] - node_result(c, 20)[5];
    }


    // Anchors at nodes 10 and 40; pipes of 100 in to 20 and from 30 to 40, a
    // slip joint of 10 in from 20 to 30, all along X.
    static void slip_model(float friction)
    {
        anchored_from(10);
        pipe(20, 100, 0, 0);
        const int s = row(30, ET_SLIP_JOINT, 10, 0, 0);
        name(s);
        dynamic_cast<SlipJoint&>(*model().rows[s].element).friction_force = friction;
        const int end = pipe(40, 100, 0, 0);
        model().rows[end].dtype = DT_ANCHOR;
        model().rows[end].create_data_object(end);
    }


    std::vector<std::string> reports;
};

}  // namespace

// ---- Beams ----------------------------------------------------------------------------------

TEST_F(SpecialElementsRunTest, PinnedFixedBeamUnderItsWeightGivesTheTextbookEndMoment)
{
    // A beam of weight w = 0.4 lb/in3 x 10 in2 = 4 lb/in over L = 120 in,
    // anchored at both ends, its major bending released at the To end (Y
    // vertical: major bending is about local z, in the vertical plane): a
    // propped cantilever. Textbook (Roark, case fixed-pinned, uniform
    // load): M fixed = w L^2 / 8, reactions 5wL/8 at the fixed end and 3wL/8
    // at the pin, no moment at the pin.
    beam_sets(0.4);
    anchored_from(10);
    const int b = beam(20, 120, 0, 0);
    anchor(b);
    object<Beam>(b).releases[BEAM_RELEASES_PER_END + BEAM_MAJOR_BENDING] = 1;
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    const double w = 4.0, l = 120.0;
    const ElementVector& f = c.forces[0];
    const double m = w * l * l / 8 / (1 + 3 * 29.0e6 * 300.0 / (RIGID * l));
    ASSERT_NEAR(m, w * l * l / 8, 2e-3 * w * l * l / 8);
    expect_relative(std::fabs(f.f[6]), m, "moment at the fixed end", 1e-7);
    EXPECT_NEAR(f.f[12], 0.0, 1e-6 * w * l * l);
    expect_relative(std::fabs(f.f[2]), w * l / 2 + m / l, "shear at the fixed end", 1e-7);
    expect_relative(std::fabs(f.f[8]), w * l / 2 - m / l, "shear at the pin", 1e-7);
}

TEST_F(SpecialElementsRunTest, BothEndReleasesMakeASimplySupportedBeam)
{
    // Major bending released at both ends: w L / 2 at each support and no
    // end moments; the beam still turns at its ends by w L^3 / (24 E I).
    beam_sets(0.4);
    anchored_from(10);
    const int b = beam(20, 120, 0, 0);
    anchor(b);
    object<Beam>(b).releases[BEAM_MAJOR_BENDING] = 1;
    object<Beam>(b).releases[BEAM_RELEASES_PER_END + BEAM_MAJOR_BENDING] = 1;
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    const double w = 4.0, l = 120.0;
    const ElementVector& f = c.forces[0];
    EXPECT_NEAR(f.f[6], 0.0, 1e-6 * w * l * l);
    EXPECT_NEAR(f.f[12], 0.0, 1e-6 * w * l * l);
    expect_relative(std::fabs(f.f[2]), w * l / 2, "shear at From", 1e-6);
    expect_relative(std::fabs(f.f[8]), w * l / 2, "shear at To", 1e-6);
}

TEST_F(SpecialElementsRunTest, BetaTurnsTheMajorAndMinorPlanes)
{
    // A 100 in cantilever beam along X from an anchor, Z vertical, a
    // downward tip force P: with beta 0 the vertical plane bends about the
    // major axis (P L^3 / 3 E I major), with beta 90 degrees about the minor.
    analysis_options().z_vertical = true;
    beam_sets();
    const double p = 1000, l = 100;
    for (double beta : {0.0, std::numbers::pi / 2}) {
        model().rows.clear();
        anchored_from(10);
        const int b = beam(20, 100, 0, 0);
        object<Beam>(b).beta = static_cast<float>(beta);
        force(b, 2, -p);
        choose({LC_SUSTAINED});
        const double inertia = beta == 0.0 ? 300.0 : 40.0;
        const double expected = -p * l * l * l / (3 * 29.0e6 * inertia) - p / RIGID - p * l * l / RIGID;
        expect_relative(node_result(solve().at(LC_SUSTAINED), 20)[2], expected, "tip deflection", 1e-6);
    }
}

TEST_F(SpecialElementsRunTest, BeamBetweenAnchorsTakesItsThermalForceFromItsBeamLoad)
{
    // A beam held at both ends and heated by 150 degF above the reference
    // temperature (its beam load's T1) in Expansion (T1): the axial force
    // E A alpha dT; the torsional constant 0 of a section stays 0 in the
    // model (the run stands in I major + I minor for it).
    beam_sets();
    beam_sections()[1].values[BS_TORSION] = 0.0f;
    model_hooks().beam_load_index = [](const std::string& name) { return name == "B1" ? 1 : 0; };
    const double reference = analysis_options().reference_temperature;
    analysis_load_hooks().fill_loads = [reference](AnalysisLoads& l) {
        BeamLoadValues b;
        b.name = "B1";
        b.temperature[1] = reference + 150.0;
        l.beam_loads.push_back(b);
    };
    anchored_from(10);
    const int b = beam(20, 120, 0, 0);
    model().rows[b].load = "B1";
    anchor(b);
    choose({LC_EXPANSION_T1});
    const CaseResults c = solve().at(LC_EXPANSION_T1);
    // The two anchors' axial springs K in series with E A / L.
    const double ea = 29.0e6 * 10.0;
    expect_relative(std::fabs(c.forces[0].f[1]), ea * 6.5e-6 * 150.0 / (1 + 2 * ea / (120 * RIGID)), "thermal force",
                    1e-7);   // alpha is held as a float
    EXPECT_EQ(beam_sections()[1].values[BS_TORSION], 0.0f);
}

TEST_F(SpecialElementsRunTest, BeamWithoutItsMaterialIsAMessage)
{
    beam_sets();
    anchored_from(10);
    const int b = beam(20, 120, 0, 0);
    model().rows[b].material = "XX";
    choose({LC_SUSTAINED});
    EXPECT_EQ(failure(), "Row 2: Beam material XX is not defined");
}

// ---- Joints --------------------------------------------------------------------------------

TEST_F(SpecialElementsRunTest, HingeSlidesAgainstItsFrictionEitherWay)
{
    // M = 50000 in-lb beyond a friction of 20000: the spring takes M - F,
    // so the hinge turns by (M - F) / k, against M's sign as M changes sign.
    weightless();
    record_reports();
    for (double m : {50000.0, -50000.0}) {
        model().rows.clear();
        reports.clear();
        hinge_model(1.0e5, 20000, NO_ROTATION_LIMIT, m);
        choose({LC_SUSTAINED});
        const CaseResults c = solve().at(LC_SUSTAINED);
        EXPECT_TRUE(c.converged);
        expect_relative(hinge_turn(c), (m - std::copysign(20000.0, m)) / 1.0e5, "hinge rotation", 1e-6);
        // The joint passes the whole moment on.
        expect_relative(std::fabs(c.forces[1].f[10]), 50000, "moment through the hinge", 1e-6);
        EXPECT_TRUE(reported("Iteration 1: 1 nonlinearities not converged\nLargest change"));
        EXPECT_TRUE(reported("Iteration 1:") && converged_after_iterating());
    }
}

TEST_F(SpecialElementsRunTest, HingeBelowItsFrictionSticks)
{
    // M = 10000 below the friction 20000: the hinge does not turn.
    weightless();
    hinge_model(1.0e5, 20000, NO_ROTATION_LIMIT, 10000);
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    EXPECT_TRUE(c.converged);
    EXPECT_NEAR(hinge_turn(c), 0.0, 1e-6);
}

TEST_F(SpecialElementsRunTest, HingeStopsAtItsRotationLimit)
{
    // M / k = 0.5 rad would pass the limit of 0.1 rad: the spring becomes
    // (M - F) / L and the hinge rests at the limit.
    weightless();
    hinge_model(1.0e5, 0, 0.1, 50000);
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    EXPECT_TRUE(c.converged);
    expect_relative(hinge_turn(c), 0.1, "rotation at the limit", 1e-5);
}

TEST_F(SpecialElementsRunTest, HingeWithoutAxisOrBallWithoutPipeIsAMessage)
{
    weightless();
    const int h = hinge_model(1.0e5, 0, NO_ROTATION_LIMIT, 1000);
    object<HingeJoint>(h).axis[2] = 0.0f;
    choose({LC_SUSTAINED});
    EXPECT_NE(failure().find("hinge at node 30 has no axis direction"), std::string::npos);

    model().rows.clear();
    from(10);
    row(20, ET_BALL_JOINT);
    EXPECT_EQ(failure(), "Unable to find ball joint direction at node 20");
}

TEST_F(SpecialElementsRunTest, BallJointTorsionSlidesAndItsZeroStiffnessStaysInTheModel)
{
    // A ball joint on a run along X turns about X under a torque T beyond
    // its torsional friction F: (T - F) / k. Its bending stiffness 0 counts
    // as 1.0 for the run only.
    weightless();
    anchored_from(10);
    pipe(20, 100, 0, 0);
    const int b = row(30, ET_BALL_JOINT);
    auto& ball = object<BallJoint>(b);
    ball.torsional_stiffness = 2.0e5f;
    ball.torsional_friction = 10000.0f;
    ball.bending_stiffness = 0.0f;
    const int tip = pipe(40, 100, 0, 0, DT_FORCE);
    item<TestForce>(tip).load[3] = -40000;
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    EXPECT_TRUE(c.converged);
    expect_relative(node_result(c, 30)[3] - node_result(c, 20)[3], -30000 / 2.0e5, "ball joint twist", 1e-6);
    EXPECT_EQ(ball.bending_stiffness, 0.0f);
}

// ---- Slip joints ------------------------------------------------------------------------------

TEST_F(SpecialElementsRunTest, SlipJointSlidesAlikeInCompressionAndTension)
{
    // Heated or cooled by 100 degF, each leg would grow by d = alpha dT L;
    // the joint slides against its friction F and its 1 lb/in spring k:
    // N = F + k s with the joint's shortening s = 2 (d - N L / EA), so
    // N = (F + 2 k d) / (1 + 2 k L / EA): compression when heated, the same
    // tension when cooled.
    weightless();
    record_reports();
    const double f = 2000, l = 100, ea = steel.e * steel.area;
    for (double dt : {100.0, -100.0}) {
        model().rows.clear();
        reports.clear();
        slip_model(static_cast<float>(f));
        load.temperature[1] = analysis_options().reference_temperature + dt;
        choose({LC_OPERATING_1});
        const CaseResults c = solve().at(LC_OPERATING_1);
        EXPECT_TRUE(c.converged);
        const double d = steel.alpha * std::fabs(dt) * l;
        const double n = (f + 2 * d) / (1 + 2 * l / ea);
        // The legs carry N: compressive end forces when heated.
        expect_relative(c.forces[0].f[1], dt > 0 ? -n : n, "axial force in the leg", 1e-6);
        EXPECT_TRUE(converged_after_iterating());
    }
}

TEST_F(SpecialElementsRunTest, SlipJointBelowItsFrictionSticksInTensionAsInCompression)
{
    // A friction of 50000 lb beyond the force of the held pipe: the joint
    // sticks, and the legs carry E A alpha dT / (1 + EA/(2 L) / K) with the
    // stuck joint rigid (K = 1.0e12); cooled, the same in tension.
    weightless();
    const double l = 100, ea = steel.e * steel.area;
    for (double dt : {10.0, -10.0}) {
        model().rows.clear();
        slip_model(50000.0f);
        load.temperature[1] = analysis_options().reference_temperature + dt;
        choose({LC_OPERATING_1});
        const CaseResults c = solve().at(LC_OPERATING_1);
        EXPECT_TRUE(c.converged);
        // Two legs of 100 in and the joint in series between the anchors.
        const double free_growth = 2 * steel.alpha * dt * l;
        const double n = free_growth / (2 * l / ea + 1 / RIGID + 2 / RIGID);
        expect_relative(-c.forces[0].f[1], n, "held axial force", 1e-5);
    }
}

// ---- Tie rods ----------------------------------------------------------------------------------

TEST_F(SpecialElementsRunTest, TieRodGapClosesUnderLoad)
{
    // A 100 in cantilever from an anchor with a tip force P down; at the tip
    // a tie rod down to an anchored node (node 30), compression stiffness
    // k = 2000 lb/in after a gap g = 0.05 in. Free, the tip would move P f
    // (f the tip flexibility), more than g: the rod pushes back with
    // R = k (delta - g), delta = (P - R) f, so delta = (P + k g) f / (1 + k f).
    weightless();
    anchored_from(10);
    const int tip = pipe(20, 100, 0, 0, DT_FORCE);
    const double p = 5000, k = 2000, g = 0.05;
    item<TestForce>(tip).load[1] = -p;
    const int rod = row(30, ET_TIE_ROD, 0, -50, 0, DT_ANCHOR);
    auto& tie = object<TieRod>(rod);
    tie.compression_stiffness = static_cast<float>(k);
    tie.compression_gap = static_cast<float>(g);
    tie.tension_stiffness = 1.0e6f;
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    EXPECT_TRUE(c.converged);
    // The rod's other directions add 0.001 lb/in in parallel: negligible.
    const double f = tip_flexibility(100);
    ASSERT_GT(p * f, g);
    const double delta = (p + k * g) * f / (1 + k * f);
    expect_relative(-node_result(c, 20)[1], delta, "tip deflection", 1e-5);
    expect_relative(std::fabs(c.forces[1].f[1]), k * (delta - g), "rod force", 1e-4);
}

TEST_F(SpecialElementsRunTest, TieRodInsideItsGapsCarriesNothing)
{
    // The same with a small force: the tip moves P f, inside the gap; the
    // slack rod's 0.001 lb/in springs change the deflection by 0.001 f.
    weightless();
    anchored_from(10);
    const int tip = pipe(20, 100, 0, 0, DT_FORCE);
    const double f = tip_flexibility(100), g = 0.05, p = 0.5 * g / f;
    item<TestForce>(tip).load[1] = -p;
    const int rod = row(30, ET_TIE_ROD, 0, -50, 0, DT_ANCHOR);
    object<TieRod>(rod).compression_stiffness = 2000.0f;
    object<TieRod>(rod).compression_gap = static_cast<float>(g);
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    EXPECT_TRUE(c.converged);
    expect_relative(-node_result(c, 20)[1], p * f / (1 + 0.001 * f), "tip deflection", 1e-6);
}

TEST_F(SpecialElementsRunTest, TieRodThatChangesStateHasNotSettledHoweverLittleItMoved)
{
    // The slack rod of the test before, then two made-up solutions: the
    // rod's extension just inside its compression gap g, then just beyond
    // it. The second moves the rod by 2e-5 of its extension, far below the
    // iteration tolerance, but the rod is now in compression while the
    // solution was made with it slack: that iteration has not settled.
    weightless();
    anchored_from(10);
    const int tip = pipe(20, 100, 0, 0, DT_FORCE);
    const double g = 0.05;
    item<TestForce>(tip).load[1] = -0.5 * g / tip_flexibility(100);
    const int rod = row(30, ET_TIE_ROD, 0, -50, 0, DT_ANCHOR);
    object<TieRod>(rod).compression_stiffness = 2000.0f;
    object<TieRod>(rod).compression_gap = static_cast<float>(g);
    choose({LC_SUSTAINED});
    make_model();
    snapshot = make_analysis_model();
    AnalysisRun run(*snapshot);
    ASSERT_TRUE(solve_load_cases(run, callbacks).at(LC_SUSTAINED).converged);

    int element = 0;
    for (int i = 1; i <= run.layout().numelems(); ++i)
        if (run.layout().elems[i].kind == ET_TIE_ROD)
            element = i;
    ASSERT_GT(element, 0);
    const Elem& e = run.layout().elems[element];
    // The rod runs from the tip down (-Y) to its anchored node: its
    // extension is the tip's Y movement.
    const ElementKind& kind = tie_rod_element_kind();
    auto iterate_with_tip_at = [&](double uy) {
        for (int d = 0; d < 6; ++d) {
            run.solution[run.equation(e.node1, d)] = d == 1 ? uy : 0.0;
            run.solution[run.equation(e.node2, d)] = 0.0;
        }
        start_iteration(run, run.iteration + 1);
        kind.update(run, element);
        return run.unconverged;
    };
    EXPECT_EQ(iterate_with_tip_at(-g * (1 - 1e-5)), 1) << "moved from half the gap";
    EXPECT_EQ(iterate_with_tip_at(-g * (1 + 1e-5)), 1) << "closed its gap";
    EXPECT_EQ(iterate_with_tip_at(-g * (1 + 2e-5)), 0) << "stays closed";
}

// ---- Elastic elements, bellows, rigid elements, valves --------------------------------------------

TEST_F(SpecialElementsRunTest, ElasticElementActsThroughItsArm)
{
    // An elastic element from an anchor at node 10 to node 20, 10 in along
    // X, its axes given as x = (2, 0, 0) and y = (0.3, 1, 0) (y is made
    // orthogonal to x: global Y). A force Fy at node 20: its springs join
    // node 10 to a point on an arm from node 20, so ky carries Fy and kzz
    // the moment Fy a: theta_z = a Fy / kzz, uy = Fy / ky + a^2 Fy / kzz.
    weightless();
    anchored_from(10);
    const int e = row(20, ET_ELASTIC, 10, 0, 0, DT_FORCE);
    auto& elastic = object<ElasticElement>(e);
    elastic.kx = elastic.kz = 1.0e4f;
    elastic.kxx = elastic.kyy = 1.0e6f;
    elastic.ky = 5.0e4f;
    elastic.kzz = 2.0e7f;
    elastic.x_axis[0] = 2.0f;
    elastic.y_axis[0] = 0.3f;
    elastic.y_axis[1] = 1.0f;
    item<TestForce>(e).load[1] = 800;
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    // The anchor's springs K add Fy / K and the turn a Fy / K of node 10.
    const double a = 10, fy = 800;
    expect_relative(node_result(c, 20)[5], a * fy / 2.0e7 + a * fy / RIGID, "rotation", 1e-9);
    expect_relative(node_result(c, 20)[1], fy / 5.0e4 + a * a * fy / 2.0e7 + fy / RIGID + a * a * fy / RIGID,
                    "deflection", 1e-9);
    EXPECT_NEAR(node_result(c, 20)[0], 0.0, 1e-12);
}

TEST_F(SpecialElementsRunTest, BellowsBendsByItsRates)
{
    // A bellows of 10 in from an anchor, a lateral tip force P: the straight
    // element's cantilever flexibility L^2/(3 kb) + 1/kl with each rate
    // plus 0.0001 (the anchor's compliance adds 1/K and L^2/K); an axial
    // force Q moves it Q / (ka + 0.0001).
    weightless();
    anchored_from(10);
    const int b = row(20, ET_BELLOWS, 10, 0, 0, DT_FORCE);
    auto& bellows = object<Bellows>(b);
    bellows.axial_stiffness = 3000.0f;
    bellows.bending_stiffness = 1.0e5f;
    bellows.lateral_stiffness = 8000.0f;
    bellows.torsional_stiffness = 1.0e6f;
    item<TestForce>(b).load[0] = 600;
    item<TestForce>(b).load[1] = 100;
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    const double l = 10;
    expect_relative(node_result(c, 20)[0], 600 / (3000 + 1e-4) + 600 / RIGID, "axial", 1e-6);
    expect_relative(node_result(c, 20)[1],
                    100 * (l * l / (3 * (1e5 + 1e-4)) + 1 / (8000 + 1e-4)) + 100 / RIGID + 100 * l * l / RIGID,
                    "lateral", 1e-6);
}

TEST_F(SpecialElementsRunTest, RigidElementCarriesItsWeightAndValveItsAdditionalWeight)
{
    // A rigid element of 40 in and 300 lb from an anchor: its end at the
    // anchor carries the shear W and the moment W L / 2. A weightless valve
    // of 20 in with an additional weight W = 500 lb at its centre (offsets
    // 0) from an anchor: W/2 goes straight to each node with its moment
    // about it, so the valve carries only node 2's part: the shear W/2 and
    // at node 1 the moment W/2 L less node 2's W/2 (L/2), that is W L / 4.
    anchored_from(10);
    const int r = row(20, ET_RIGID, 40, 0, 0);
    name(r);
    object<RigidElement>(r).weight = 300.0f;
    from(30, 0, 0, 100);
    anchor(model().numrows());
    const int v = row(40, ET_VALVE, 20, 0, 0);
    name(v);
    object<Valve>(v).additional_weight = 500.0f;
    weightless();
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    expect_relative(std::fabs(c.forces[0].f[2]), 300, "rigid shear", 1e-6);
    expect_relative(std::fabs(c.forces[0].f[6]), 300 * 20, "rigid moment", 1e-6);
    expect_relative(std::fabs(c.forces[1].f[2]), 500.0 / 2, "valve shear", 1e-6);
    expect_relative(std::fabs(c.forces[1].f[6]), 500.0 * 20 / 4, "valve moment", 1e-6);
}

TEST_F(SpecialElementsRunTest, TheRunLeavesTheModelAsItWas)
{
    // Saved, analysed, saved: the same bytes (joint stiffness 0, beam
    // torsional constant 0 stay 0).
    beam_sets();
    beam_sections()[1].values[BS_TORSION] = 0.0f;
    weightless();
    hinge_model(0.0, 100, NO_ROTATION_LIMIT, 5000);
    beam(50, 0, 100, 0);
    anchor(model().numrows());
    choose({LC_SUSTAINED});
    make_model();
    auto saved = [] {
        write_model_file(model_file_path());
        std::ifstream in(model_file_path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string before = saved();
    solve();
    EXPECT_EQ(saved(), before);
}

TEST_F(SpecialElementsRunTest, FirstOperatingCaseKeepsTheSecantsForAModalStep)
{
    // A hinge sliding in Operating (T1) under M = 50000 against F = 20000
    // with k = 1.0e5 keeps the secant M k / (M - F) = M / theta for a later
    // modal step; a slip joint sliding against F keeps N k / (N - F) with
    // its sliding spring k = 1, that is N over its shift. Both stay in the
    // run, not in the model.
    weightless();
    const int h = hinge_model(1.0e5, 20000, NO_ROTATION_LIMIT, 50000);
    item<TestForce>(model().numrows()).code = LC_OPERATING_1;
    choose({LC_OPERATING_1});
    make_model();
    snapshot = make_analysis_model();
    AnalysisRun run(*snapshot);
    const CaseResults c = solve_load_cases(run, callbacks).at(LC_OPERATING_1);
    int element = 0;
    for (int e = 1; e <= snapshot->numelems(); ++e)
        if (snapshot->model.elems[e].row == h)
            element = e;
    ASSERT_NE(element, 0);
    const double secant = run.element_state<JointState>(element).torsion_state.operating;
    expect_relative(secant, 50000 * 1.0e5 / 30000, "hinge secant", 1e-6);
    expect_relative(secant, 50000 / hinge_turn(c), "secant as M / theta", 1e-6);

    model().rows.clear();
    slip_model(2000.0f);
    load.temperature[1] = analysis_options().reference_temperature + 100;
    choose({LC_OPERATING_1});
    make_model();
    snapshot = make_analysis_model();
    AnalysisRun slip_run(*snapshot);
    const CaseResults s = solve_load_cases(slip_run, callbacks).at(LC_OPERATING_1);
    const SlipJointState& state = slip_run.element_state<SlipJointState>(2);
    const double n = std::fabs(state.axial_force);
    expect_relative(state.secant_axial_stiffness, n / (n - 2000), "slip secant", 1e-6);
    const double shift = node_result(s, 30)[0] - node_result(s, 20)[0];
    expect_relative(state.secant_axial_stiffness, n / std::fabs(shift), "secant as N / shift", 1e-4);
}

TEST_F(SpecialElementsRunTest, BallJointBendingSlidesAgainstItsFrictionAboutBothAxes)
{
    // A ball joint on a run along X, bent by moments My = 30000 and
    // Mz = 40000 (M = 50000) beyond its bending friction F = 10000: the
    // friction splits by |Mz| / |My| (6000 about y, 8000 about z), so each
    // spring takes 80% of its moment: theta_y = 24000 / k, theta_z = 32000 / k.
    weightless();
    anchored_from(10);
    pipe(20, 100, 0, 0);
    const int b = row(30, ET_BALL_JOINT);
    auto& ball = object<BallJoint>(b);
    ball.bending_stiffness = 4.0e5f;
    ball.bending_friction = 10000.0f;
    ball.torsional_stiffness = 1.0e6f;
    const int tip = pipe(40, 100, 0, 0, DT_FORCE);
    item<TestForce>(tip).load[4] = 30000;
    item<TestForce>(tip).load[5] = 40000;
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    EXPECT_TRUE(c.converged);
    // The joint's local y is global Z's complement: Y vertical, local y = Y,
    // z = Z for an axis along X.
    expect_relative(node_result(c, 30)[4] - node_result(c, 20)[4], 24000 / 4.0e5, "turn about Y", 1e-5);
    expect_relative(node_result(c, 30)[5] - node_result(c, 20)[5], 32000 / 4.0e5, "turn about Z", 1e-5);
}

TEST_F(SpecialElementsRunTest, BeamTakesTheWindOnItsSection)
{
    // Wind 1 along Z at 0.05 psi on a 120 in beam along X whose beam load
    // has its wind flag: the exposed width is hypot(depth, width) =
    // hypot(12, 8); half the force p b L at each node, so the beam carries
    // node 2's half as shear and p b L / 2 x L as moment at the anchor.
    beam_sets();
    model_hooks().beam_load_index = [](const std::string& name) { return name == "B1" ? 1 : 0; };
    analysis_load_hooks().fill_loads = [](AnalysisLoads& l) {
        BeamLoadValues b;
        b.name = "B1";
        b.wind = true;
        l.beam_loads.push_back(b);
        WindCase& w = l.wind[1];
        w.defined = true;
        w.direction = {0, 0, 1};
        w.pressure_at = [](double) { return 0.05; };
    };
    anchored_from(10);
    const int b = beam(20, 120, 0, 0);
    model().rows[b].load = "B1";
    choose({LC_WIND});
    const CaseResults c = solve().at(LC_WIND);
    const double half = 0.05 * std::hypot(12.0, 8.0) * 120 / 2;
    expect_relative(std::fabs(c.forces[0].f[3]), half, "wind shear", 1e-6);
    expect_relative(std::fabs(c.forces[0].f[5]), half * 120, "wind moment", 1e-6);
}

TEST_F(SpecialElementsRunTest, RigidElementWithoutCilCarriesNoWeightOfItsLoad)
{
    // Add CIL off on a weightless rigid element of 40 in whose load gives
    // contents and an added weight of 10 lb/in: it carries no weight at all.
    load.specific_gravity = 1.0;
    load.added_weight = 10.0f;
    anchored_from(10);
    const int r = row(20, ET_RIGID, 40, 0, 0);
    name(r);
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    EXPECT_EQ(c.forces[0].f[2], 0.0);
    EXPECT_EQ(c.forces[0].f[6], 0.0);
}

TEST_F(SpecialElementsRunTest, RigidElementWithCilCarriesItsContents)
{
    // Add CIL on a weightless rigid element of 40 in full of water (specific
    // gravity 1): w = pi ri^2 x 0.03609 lb/in3; the anchor end carries w L.
    load.specific_gravity = 1.0;
    anchored_from(10);
    const int r = row(20, ET_RIGID, 40, 0, 0);
    name(r);
    object<RigidElement>(r).add_cil = 1;
    choose({LC_SUSTAINED});
    const double ri = steel.ri;
    const double w = std::numbers::pi * ri * ri * 0.03609;
    expect_relative(std::fabs(solve().at(LC_SUSTAINED).forces[0].f[2]), w * 40, "contents weight", 1e-6);
}
