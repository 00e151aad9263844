// Piping components in whole models written as batch files and solved,
// against the frame solver of the tests (frame_solver.h) or a hand answer:
// a bend split at intermediate nodes, the flexibility factors of bends with
// flanged ends and of a bend with a factor of its own, a closely spaced
// miter, a reducer between two sizes and a valve in a span.
#include "exchange/data/frame_solver.h"

#include <cstdio>

using namespace batch_test;

namespace {

using BatchComponentsTest = FrameSolveTest;

constexpr double DEGREE = std::numbers::pi / 180;

// B31.3 flexibility characteristic of a bend, h = T R / r^2 with r the mean
// radius (OD - T) / 2.
double characteristic(const Tube& p, double radius)
{
    const double r = (p.od - p.t) / 2;
    return p.t * radius / (r * r);
}

std::string number_text(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    return text;
}

}  // namespace

TEST_F(BatchComponentsTest, BendSplitAtIntermediateNodesActsAsTheWholeArc)
{
    // 8 in STD (8.625 x 0.322 in), a long-radius elbow of R = 12 in at the
    // corner 20 of an L between anchors 10 and 30: 144 in along X, 120 in
    // up +Y. The elbow carries nodes 21 at 30 degrees and 22 at 55 degrees
    // from its near tangent point. At 350 degF from 70 degF, and under its
    // weight cold. The frame splits its arc at the same angles, about the
    // same centre, so that every node of the model, the inner ones with the
    // rest, is compared.
    run("Split bend\n" + ENGLISH_HEAD +
        "P8,8.625,0.322\n"
        "LOADS\n"
        "L1,350,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP8,KA,CL=L1\n"
        "T20,X144,KI,B12,CIN1(21,30),IN2(22,55)\n"
        "T30,Y120,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{8.625, 0.322, 27.9e6, 0.3};
    const Frame frame(p,
                      {{10, {0, 0, 0}},
                       {20, {144, 0, 0}, 12, 0, {{21, 30 * DEGREE}, {22, 55 * DEGREE}}},
                       {30, {144, 120, 0}}},
                      RIGID, RIGID);
    ASSERT_EQ(frame.nodes(), (std::vector<int>{10, 100020, 21, 22, 200020, 30}));
    expect_nodes_where_the_frame_has_them(frame, 1.0);
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_english(350) * (350 - 70), {0, 0, 0}), 1, 1, "hot");
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -0.283 * p.area, 0}), 1, 1, "weight");

    // The split arc is the whole one: the frame without the inner nodes
    // gives the same anchor loads (the solver's own consistency, which the
    // comparison above relies on).
    const Frame whole(p, {{10, {0, 0, 0}}, {20, {144, 0, 0}, 12}, {30, {144, 120, 0}}}, RIGID, RIGID);
    const Frame::Solution a = frame.solve(1e-3, {0, -10, 0}), b = whole.solve(1e-3, {0, -10, 0});
    for (std::size_t d = 0; d < 6; ++d)
        EXPECT_NEAR(a.anchor.at(30)[d], b.anchor.at(30)[d], 1e-9 * (1 + std::fabs(b.anchor.at(30)[d]))) << d;
}

TEST_F(BatchComponentsTest, FlangedEndsAndAGivenFactorSetTheBendsFlexibility)
{
    // 8 in STD, elbows of R = 12 in in a line in space between anchors 10
    // and 50: 144 in along X to the corner 20, 120 in up +Y to 30, 144 in
    // along +Z to 40, 96 in along +X to 50. The elbow at 20 has a flange at
    // its near tangent point (20A), the one at 30 at both tangent points,
    // the one at 40 a factor of 5 given. B31.3: h = T R / r^2 and k =
    // 1.65 / h, times c = h^(1/6) with one flanged end and h^(1/3) with two
    // (h below 1 here); a given factor replaces k.
    run("Flanged bends\n" + ENGLISH_HEAD +
        "P8,8.625,0.322\n"
        "LOADS\n"
        "L1,350,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP8,KA,CL=L1\n"
        "T20,X144,KI,B12\n"
        "T30,Y120,KI,B12\n"
        "T40,Z144,KI,B12,CFF=5\n"
        "T50,X96,KA\n"
        "L20A,CFLANGE\n"
        "L30A,CFLANGE\n"
        "L30B,CFLANGE\n");
    if (HasFatalFailure())
        return;

    const Tube p{8.625, 0.322, 27.9e6, 0.3};
    const double h = characteristic(p, 12), k = 1.65 / h;
    ASSERT_LT(h, 1.0);
    const Frame frame(p,
                      {{10, {0, 0, 0}},
                       {20, {144, 0, 0}, 12, k * std::pow(h, 1.0 / 6.0)},
                       {30, {144, 120, 0}, 12, k * std::pow(h, 1.0 / 3.0)},
                       {40, {144, 120, 144}, 12, 5.0},
                       {50, {240, 120, 144}}},
                      RIGID, RIGID);
    ASSERT_EQ(frame.nodes().size(), 8u);
    expect_nodes_where_the_frame_has_them(frame, 1.0);
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_english(350) * (350 - 70), {0, 0, 0}), 1, 1, "hot");
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -0.283 * p.area, 0}), 1, 1, "weight");
}

TEST_F(BatchComponentsTest, CloselySpacedMiterInSIUnits)
{
    // 8 in STD (219.1 x 8.18 mm) in an L between anchors 10 and 30 in the
    // horizontal plane: 4 m along X to the corner 20, 3 m along +Z. At 20 a
    // closely spaced miter of cuts s = 120 mm apart, each turning the line
    // by 2 theta, theta = 15 degrees (s below r (1 + tan theta)). The miter
    // is taken as a bend of its effective radius R = s cot(theta) / 2 with
    // B31.3's k = 1.52 / h^(5/6), h = T s cot(theta) / (2 r^2) = T R / r^2.
    // At 200 degC from 20 degC, and under its weight (out of the plane).
    const Tube p{219.1, 8.18, 200000, 0.29};
    const double s = 120, theta = 15 * DEGREE, r = (p.od - p.t) / 2;
    ASSERT_LT(s, r * (1 + std::tan(theta)));
    const double radius = s / std::tan(theta) / 2;
    const double h = p.t * s / std::tan(theta) / (2 * r * r);
    ASSERT_NEAR(h, characteristic(p, radius), 1e-12);   // the bend's h of the effective radius
    run("Miter\n" + SI_HEAD +
        "LOADS\n"
        "L1,200,0\n"
        "LAYOUT\n"
        "F10,MCS,PP8,KA,CL=L1,AMB=20\n"
        "T20,X4000,KM,B" +
        number_text(radius) +
        "\n"
        "T30,Z3000,KA\n");
    if (HasFatalFailure())
        return;

    const double k = 1.52 / std::pow(h, 5.0 / 6.0);
    const Frame frame(p, {{10, {0, 0, 0}}, {20, {4000, 0, 0}, radius, k}, {30, {4000, 0, 3000}}}, KT_SI, KR_SI);
    ASSERT_EQ(frame.nodes().size(), 4u);
    expect_nodes_where_the_frame_has_them(frame, MM);
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_si(200) * (200 - 20), {0, 0, 0}), MM, NEWTON, "hot");
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -weight_si(p), 0}), MM, NEWTON, "weight");
}

TEST_F(BatchComponentsTest, HeatedReducerBetweenTwoSizesHeldByAnchors)
{
    // A straight line along X between anchors 10 and 40: 120 in of 8 in STD
    // (8.625 x 0.322 in), a concentric reducer of 12 in to 6 in STD (6.625 x
    // 0.28 in), 120 in of 6 in STD. The reducer is taken as a pipe of its
    // mean outside diameter and mean wall. At 350 degF from 70 degF the
    // held growth is the free growth of the whole length: three members in
    // series and the anchors' springs, compressed by
    //   F = eps L / (sum L_i / (E A_i) + 2 / k),
    // and a node moves by the free growth up to it less F times the
    // flexibility up to it, beginning with the anchor 10's spring.
    run("Reducer\n" + ENGLISH_HEAD +
        "P8,8.625,0.322\n"
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,350,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP8,KA,CL=L1\n"
        "T20,X120\n"
        "T30,X12,JD,COD1=8.625,THK1=0.322,OD2=6.625,THK2=0.28\n"
        "T40,X120,PP6,KA\n");
    if (HasFatalFailure())
        return;

    const double e = 27.9e6, eps = alpha_english(350) * (350 - 70);
    const Tube large{8.625, 0.322, e, 0.3}, mean{7.625, 0.301, e, 0.3}, small{6.625, 0.28, e, 0.3};
    const double f1 = 120 / (e * large.area), f2 = 12 / (e * mean.area), f3 = 120 / (e * small.area);
    const double force = eps * 252 / (f1 + f2 + f3 + 2 / RIGID);
    const double u10 = -force / RIGID, u20 = u10 + eps * 120 - force * f1, u30 = u20 + eps * 12 - force * f2;

    const CaseResults& c = result(LC_EXPANSION_T1);
    expect_relative(at(c, 20)[0], u20, AGREE, "node 20 DX");
    expect_relative(at(c, 30)[0], u30, AGREE, "node 30 DX");
    // Node 30 stands where the growth of the last pipe meets that of the
    // anchor 40: u30 = -(eps 120 - F f3) + F / k, the same answer from the
    // other end.
    expect_relative(u30, -(eps * 120 - force * f3) + force / RIGID, 1e-9, "node 30 from the other end");
    const std::vector<double> at_10 = support(c, 10), at_40 = support(c, 40);
    ASSERT_EQ(at_10.size(), 6u);
    ASSERT_EQ(at_40.size(), 6u);
    expect_relative(at_10[0], force, AGREE, "anchor 10 FX");
    expect_relative(at_40[0], -force, AGREE, "anchor 40 FX");
    for (std::size_t d = 1; d < 6; ++d) {
        EXPECT_NEAR(at_10[d], 0.0, AGREE * force) << d;
        EXPECT_NEAR(at_40[d], 0.0, AGREE * force) << d;
        EXPECT_NEAR(at(c, 20)[d], 0.0, AGREE * std::fabs(u20)) << d;
        EXPECT_NEAR(at(c, 30)[d], 0.0, AGREE * std::fabs(u20)) << d;
    }
}

TEST_F(BatchComponentsTest, ValveInASpanUnderWeightAndHeat)
{
    // 6 in STD (6.625 x 0.28 in) between anchors 10 and 40 along X: 96 in of
    // pipe, a valve of 24 in (node 20 to 30), 96 in of pipe. The valve is a
    // pipe of the same bore with three times the wall, grown outwards (ri =
    // OD/2 - t, ro = ri + 3t); its 200 lb spread over its length in place of
    // the pipe's metal. An actuator of 60 lb hangs 12 in off the valve
    // centre along +Z; half of it is carried to each end node through a
    // rigid lever from that node to the actuator, a force W/2 down and its
    // moment lever x force. Under weight cold, and at 350 degF from 70 degF.
    run("Valve\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,350,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA,CL=L1\n"
        "T20,X96\n"
        "T30,X24,JV,CVWGT=200,THKF=3,AWGT=60,OFFSET(0,0,12)\n"
        "T40,X96,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const double ri = p.od / 2 - p.t, ro = ri + 3 * p.t;
    const Tube valve{2 * ro, ro - ri, p.e, p.nu};
    const double q = 0.283 * p.area, valve_q = 200.0 / 24.0;
    const Frame frame(
        p, {{10, {0, 0, 0}}, {20, {96, 0, 0}}, {30, {120, 0, 0}, 0, 0, {}, valve, valve_q / q}, {40, {216, 0, 0}}},
        RIGID, RIGID);
    ASSERT_EQ(frame.nodes(), (std::vector<int>{10, 20, 30, 40}));
    expect_nodes_where_the_frame_has_them(frame, 1.0);

    const Vec actuator{108, 0, 12}, half{0, -30, 0};
    std::map<int, Six> loads;
    for (const int node : {20, 30}) {
        const Vec moment = cross(actuator - frame.position(node), half);
        loads[node] = {half[0], half[1], half[2], moment[0], moment[1], moment[2]};
    }
    expect_case(LC_SUSTAINED, frame, frame.solve(0, {0, -q, 0}, loads), 1, 1, "weight");
    expect_case(LC_EXPANSION_T1, frame, frame.solve(alpha_english(350) * (350 - 70), {0, 0, 0}), 1, 1, "hot");

    // The anchors hold up the whole weight, pipe, valve and actuator, and
    // the actuator's torque 60 x 12 about X.
    const CaseResults& c = result(LC_SUSTAINED);
    const std::vector<double> at_10 = support(c, 10), at_40 = support(c, 40);
    ASSERT_EQ(at_10.size(), 6u);
    ASSERT_EQ(at_40.size(), 6u);
    expect_relative(at_10[1] + at_40[1], 192 * q + 200 + 60, AGREE, "total weight");
    expect_relative(at_10[3] + at_40[3], -60.0 * 12, AGREE, "torque about X");
}
