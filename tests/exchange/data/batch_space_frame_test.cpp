// Lines that turn in space, written as batch files and solved, against the
// small frame solver of the tests (frame_solver.h): every displacement of every node and the
// anchors' loads, hot (Expansion) and under weight (Sustained). Bends that
// turn up and down, bends in a vertical plane, a bend in no global plane and
// a loop whose bends turn both ways are where the local axes of the elements
// and the signs of their moments show. Last, a span on two restraints under
// its weight and a concentrated weight, by hand.
#include "exchange/data/frame_solver.h"

using namespace batch_test;

TEST(SpaceFrameSolver, CantileversAgreeWithCastigliano)
{
    // The solver itself, where closed forms exist. 6 in STD steel; anchor
    // springs kt, kr small enough to show.
    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const double kt = 1e9, kr = 1e11, force = 1000, q = 20, pi = std::numbers::pi;
    const double ei = p.e * p.inertia, gj = p.g * 2 * p.inertia, gas = p.g * p.area / p.shear, ea = p.e * p.area;

    // A straight cantilever of 120 in along X: tip under a force along Z and
    // under a weight along -Y (Tube: Timoshenko with the anchor's springs).
    const Frame straight(p, {{10, {0, 0, 0}}, {20, {120, 0, 0}}}, kt, kr, {10});
    expect_relative(straight.solve(0, {0, 0, 0}, {{20, {0, 0, force, 0, 0, 0}}}).u[20][2],
                    force * p.tip_flexibility(120, kt, kr), 1e-10, "straight, tip force");
    expect_relative(straight.solve(0, {0, -q, 0}).u[20][1], -p.tip_under_uniform(120, q, kt, kr), 1e-10,
                    "straight, weight");

    // A quarter circle of radius R about the origin in the XY plane, clamped
    // at (R, 0, 0), free at (0, R, 0). At the angle phi from the clamp, with
    // beta = pi/2 - phi, a tip force P carries
    //   along Z: torsion P R (1 - sin phi), bending P R cos phi, shear P;
    //   along X: bending P R (1 - sin phi), axial -P sin phi, shear P cos phi;
    // and a weight q along -Z: torsion q R^2 (cos phi - beta), bending
    // q R^2 (sin phi - 1), shear -q R beta. Castigliano with the quarter
    // circle's integrals (cos^2, sin^2: pi/4; (1 - sin)^2: 3 pi/4 - 2;
    // cos (sin - 1): -1/2; (1 - sin)(cos - beta): pi/2 - pi^2/8 - 1/2;
    // beta: pi^2/8), and the clamp's springs under its force and its moment
    // (P R (1, 1, 0), -P R about Z, q R^2 (-1, 1 - pi/2, 0)) turned through
    // the chord R (-1, 1, 0).
    const double r = 30, rm = (p.od - p.t) / 2, k = 1.65 * rm * rm / (p.t * r);
    const Frame arc(p, {{10, {r, 0, 0}}, {20, {r, r, 0}, r}, {30, {0, r, 0}}}, kt, kr, {10});
    ASSERT_EQ(arc.nodes(), (std::vector<int>{10, 30}));
    const double out_of_plane = force * r * r * r * (k * pi / (4 * ei) + (3 * pi / 4 - 2) / gj) +
                                force * r * pi / (2 * gas) + force / kt + 2 * force * r * r / kr;
    const double in_plane = force * r * (r * r * k * (3 * pi / 4 - 2) / ei + pi / (4 * ea) + pi / (4 * gas)) +
                            force / kt + force * r * r / kr;
    const double sag = q * std::pow(r, 4) * (-k / (2 * ei) + (pi / 2 - pi * pi / 8 - 0.5) / gj) -
                       q * r * r * pi * pi / (8 * gas) - q * r * pi / (2 * kt) - pi * q * r * r * r / (2 * kr);
    expect_relative(arc.solve(0, {0, 0, 0}, {{30, {0, 0, force, 0, 0, 0}}}).u[30][2], out_of_plane, 1e-10,
                    "arc, force out of its plane");
    expect_relative(arc.solve(0, {0, 0, 0}, {{30, {force, 0, 0, 0, 0, 0}}}).u[30][0], in_plane, 1e-10,
                    "arc, force in its plane");
    expect_relative(arc.solve(0, {0, 0, -q}).u[30][2], sag, 1e-10, "arc, weight");

    // Heated, the free end moves by the strain times its distance from the
    // clamp and turns not at all.
    const Frame::Solution hot = arc.solve(1e-3, {0, 0, 0});
    for (std::size_t d = 0; d < 6; ++d)
        EXPECT_NEAR(hot.u.at(30)[d], d == 0 ? -1e-3 * r : d == 1 ? 1e-3 * r : 0.0, 1e-12) << d;
}

namespace {

using BatchSpaceFrameTest = FrameSolveTest;

}  // namespace

TEST_F(BatchSpaceFrameTest, ZLineTurningUpAndAcrossBetweenAnchors)
{
    // 8 in STD (8.625 x 0.322 in), long-radius elbows R = 12 in. Anchor 10 at
    // the origin, 144 in along X to the corner 20, where a bend in the XY
    // plane turns the line up; 120 in up +Y to the corner 30, where a bend in
    // the YZ plane turns it along +Z; 144 in to anchor 40. Heated from 70 to
    // 350 degF (Expansion), and under its weight cold (Sustained).
    run("Z line in space\n" + ENGLISH_HEAD +
        "P8,8.625,0.322\n"
        "LOADS\n"
        "L1,350,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP8,KA,CL=L1\n"
        "T20,X144,KI,B12\n"
        "T30,Y120,KI,B12\n"
        "T40,Z144,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{8.625, 0.322, 27.9e6, 0.3};
    const Frame frame(p, {{10, {0, 0, 0}}, {20, {144, 0, 0}, 12}, {30, {144, 120, 0}, 12}, {40, {144, 120, 144}}},
                      RIGID, RIGID);
    ASSERT_EQ(frame.nodes().size(), 6u);
    expect_nodes_where_the_frame_has_them(frame, 1.0);
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_english(350) * (350 - 70), {0, 0, 0}), 1, 1, "hot");
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -0.283 * p.area, 0}), 1, 1, "weight");
}

TEST_F(BatchSpaceFrameTest, ExpansionLoopInAHorizontalPlaneInSIUnits)
{
    // 8 in STD (219.1 x 8.18 mm), elbows of R = 305 mm. From anchor 10, 6 m
    // along X; the loop turns to +Z at 20, runs 3 m out, turns back along +X
    // at 30 (node 35 half way along its 2.5 m top) and along -Z at 40, comes
    // back 3 m and turns along +X at 50; 6 m on to anchor 60. Its bends turn
    // left and right in the XZ plane. At 200 degC from 20 degC, and under its
    // weight, which bends them out of their plane.
    run("Expansion loop\n" + SI_HEAD +
        "LOADS\n"
        "L1,200,0\n"
        "LAYOUT\n"
        "F10,MCS,PP8,KA,CL=L1,AMB=20\n"
        "T20,X6000,KI,B305\n"
        "T30,Z3000,KI,B305\n"
        "T35,X1250\n"
        "T40,X1250,KI,B305\n"
        "T50,Z-3000,KI,B305\n"
        "T60,X6000,KA\n");
    if (HasFatalFailure())
        return;

    // The frame in N and mm.
    const Tube p{219.1, 8.18, 200000, 0.29};
    const Frame frame(p,
                      {{10, {0, 0, 0}},
                       {20, {6000, 0, 0}, 305},
                       {30, {6000, 0, 3000}, 305},
                       {35, {7250, 0, 3000}},
                       {40, {8500, 0, 3000}, 305},
                       {50, {8500, 0, 0}, 305},
                       {60, {14500, 0, 0}}},
                      KT_SI, KR_SI);
    ASSERT_EQ(frame.nodes().size(), 11u);
    expect_nodes_where_the_frame_has_them(frame, MM);
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_si(200) * (200 - 20), {0, 0, 0}), MM, NEWTON, "hot");
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -weight_si(p), 0}), MM, NEWTON, "weight");
}

TEST_F(BatchSpaceFrameTest, BendsInNoGlobalPlane)
{
    // 6 in STD (6.625 x 0.28 in), R = 9 in. From anchor 10 a leg along
    // (1, 1, 0) to the corner 20, where a bend in the vertical plane through
    // that leg turns the line up +Z; at the corner 30, 120 in higher, a bend
    // of 54.7 degrees turns it along (1, -1, 1) to anchor 40. At 350 degF from
    // 70 degF, and under its weight.
    run("Skew bends\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,350,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA,CL=L1\n"
        "T20,X96,Y96,KI,B9\n"
        "T30,Z120,KI,B9\n"
        "T40,X60,Y-60,Z60,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const Frame frame(p, {{10, {0, 0, 0}}, {20, {96, 96, 0}, 9}, {30, {96, 96, 120}, 9}, {40, {156, 36, 180}}},
                      RIGID, RIGID);
    ASSERT_EQ(frame.nodes().size(), 6u);
    expect_nodes_where_the_frame_has_them(frame, 1.0);
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_english(350) * (350 - 70), {0, 0, 0}), 1, 1, "hot");
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -0.283 * p.area, 0}), 1, 1, "weight");
}

TEST_F(BatchSpaceFrameTest, SpanOnTwoRestraintsCarryingAConcentratedWeight)
{
    // 6 in STD (6.625 x 0.28 in) simply supported over L = 240 in: restrained
    // along X, Y, Z at node 10 and along Y, Z at node 30; a 500 lb weight at
    // node 20, a = 90 in from 10; node 25 at midspan. A rotational restraint
    // about X at node 15 stops the line turning about its own axis, which
    // the weight does not load.
    run("Span\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,CF(1,1,1)\n"
        "T15,X45,CKR=RIGID,DV(1,0,0)\n"
        "T20,X45,CCWGT=500\n"
        "T25,X30\n"
        "T30,X120,CF(0,1,1)\n");
    if (HasFatalFailure())
        return;

    // Statics: R1 = q L/2 + P b/L, R2 = q L/2 + P a/L. Midspan (x = L/2,
    // beyond the weight) sags by the sum of
    //   uniform load, bending: 5 q L^4 / 384 EI;
    //   point load, bending: P a (L - x)(L^2 - a^2 - (L - x)^2) / 6 E I L;
    //   shear: alpha M(x) / GA, as v_s' = alpha V / GA and v_s(0) = M(0) = 0;
    //   the restraints' springs of 1.0e12 lb/in: (R1 + R2) / 2k.
    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const double l = 240, a = 90, b = l - a, x = l / 2, weight = 500, q = 0.283 * p.area;
    const double r1 = q * l / 2 + weight * b / l, r2 = q * l / 2 + weight * a / l;
    const double ei = p.e * p.inertia, moment = r1 * x - q * x * x / 2 - weight * (x - a);
    const double sag = 5 * q * std::pow(l, 4) / (384 * ei) +
                       weight * a * (l - x) * (l * l - a * a - (l - x) * (l - x)) / (6 * ei * l) +
                       p.shear * moment / (p.g * p.area) + (r1 + r2) / (2 * RIGID);

    const CaseResults& c = result(LC_SUSTAINED);
    const std::vector<double> at_10 = support(c, 10), at_30 = support(c, 30);
    ASSERT_EQ(at_10.size(), 3u);
    ASSERT_EQ(at_30.size(), 3u);
    expect_relative(at_10[1], r1, AGREE, "restraint 10 holds up");
    expect_relative(at_30[1], r2, AGREE, "restraint 30 holds up");
    for (std::size_t d : {0u, 2u}) {
        EXPECT_NEAR(at_10[d], 0.0, AGREE * r1) << d;
        EXPECT_NEAR(at_30[d], 0.0, AGREE * r1) << d;
    }
    expect_relative(at(c, 25)[1], -sag, AGREE, "midspan");
}
