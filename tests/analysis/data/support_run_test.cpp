// The support kinds in whole runs, against closed-form beam theory: each
// expected value is worked out here from the bending, shear, axial and
// thermal behaviour of the straight pipe (as the tests of the elements state
// it) with every spring of the supports in series, so that the run must
// agree to 1e-6 relative. The anchors' rigid springs (1.0e12) count too.
#include "analysis/data/support_fixture.h"
#include "model/piping_codes.h"
#include "supports/anchor.h"
#include "supports/generic_support.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

using namespace analysis_test;

namespace {

using SupportRunTest = SupportTest;

}  // namespace

TEST_F(SupportRunTest, CantileverOnAnAnchorOfFiniteStiffness)
{
    // 120 in from an anchor with KY 5e5 lb/in and KZZ 2e8 in-lb/rad (the
    // rest rigid); 1000 lb down at the tip, weightless. The tip goes down by
    // P (l^3/3EI + alpha l/GA + 1/KY + l^2/KZZ), the anchor node by P/KY,
    // and it turns by P l/KZZ; the anchor holds P up and P l.
    weightless();
    const double l = 120, p = 1000, ky = 5.0e5, kzz = 2.0e8;
    const int a = anchor_at(10);
    support<Anchor>(a).v.stiffness[1] = static_cast<float>(ky);
    support<Anchor>(a).v.stiffness[5] = static_cast<float>(kzz);
    pipe(20, static_cast<float>(l), 0, 0);
    force(20, LC_SUSTAINED, 1, -p);
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);

    const double bending = l * l * l / (3 * steel.e * steel.inertia) + steel.shear * l / (steel.g * steel.area);
    expect_relative(node_result(c, 20)[1], -p * (bending + 1 / ky + l * l / kzz), "tip deflection");
    expect_relative(node_result(c, 10)[1], -p / ky, "anchor node deflection");
    expect_relative(node_result(c, 10)[5], -p * l / kzz, "anchor node rotation");
    const std::vector<double> r = loads_of(c, a);
    ASSERT_EQ(r.size(), 6u);
    expect_relative(r[1], p, "anchor FY");
    expect_relative(r[5], p * l, "anchor MZ");
    for (int d : {0, 2, 3, 4})
        EXPECT_NEAR(r[static_cast<std::size_t>(d)], 0.0, 1e-6) << d;
}

TEST_F(SupportRunTest, AnchorInThePipesLocalAxes)
{
    // A riser along Y on an anchor whose axes are the pipe's: local x is
    // global Y and local y is (-1, 0, 0). A soft local y (KY 2e5) under a
    // tip force of 500 lb in -X gives the anchor node 500/2e5 in -X, which
    // a global KY would not touch.
    weightless();
    const double l = 60, p = 500, k = 2.0e5;
    const int a = anchor_at(10);
    support<Anchor>(a).v.local_axes = true;
    support<Anchor>(a).v.stiffness[1] = static_cast<float>(k);
    pipe(20, 0, static_cast<float>(l), 0);
    force(20, LC_SUSTAINED, 0, -p);
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    expect_relative(node_result(c, 10)[0], -p / k, "anchor node along its local y");
    expect_relative(loads_of(c, a)[0], p, "anchor FX in global axes");
}

TEST_F(SupportRunTest, PipeOnTwoRestraintsUnderItsWeight)
{
    // 240 in in four elements on restraints at both ends: X, Y, Z at the
    // first (with a rigid rotational skewed restraint about X that keeps the
    // pipe from turning about its axis), Y and Z at the last. Midspan sags
    // 5 w L^4 / 384 EI + alpha w L^2 / 8 GA + (w L / 2) / K; each restraint
    // holds w L / 2 up; the skewed restraint carries nothing.
    const double l = 240, w = steel.weight;
    const int first = with(from(10), DT_RESTRAINT);
    support<Restraint>(first).v.restrained = {1, 1, 1};
    const int torsion = at_node(10, DT_SKEWED_RESTRAINT);
    support<SkewedRestraint>(torsion).v = {"", true, 0.0f, {1.0f, 0.0f, 0.0f}, 0};
    for (int node : {20, 30, 40})
        pipe(node, static_cast<float>(l / 4), 0, 0);
    const int last = pipe(50, static_cast<float>(l / 4), 0, 0, DT_RESTRAINT);
    support<Restraint>(last).v.restrained = {0, 1, 1};
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);

    const double mid = 5 * w * std::pow(l, 4) / (384 * steel.e * steel.inertia) +
                       steel.shear * w * l * l / (8 * steel.g * steel.area) + w * l / 2 / RIGID;
    expect_relative(node_result(c, 30)[1], -mid, "midspan deflection");
    const std::vector<double> r1 = loads_of(c, first), r2 = loads_of(c, last);
    ASSERT_EQ(r1.size(), 3u);
    expect_relative(r1[1], w * l / 2, "first restraint FY");
    expect_relative(r2[1], w * l / 2, "last restraint FY");
    EXPECT_EQ(r2[0], 0.0);   // a free direction shows no load
    EXPECT_NEAR(loads_of(c, torsion)[0], 0.0, 1e-6);
}

TEST_F(SupportRunTest, SkewedRestraintAt45Degrees)
{
    // A weightless cantilever with 1000 lb down at its tip and a spring k
    // along d = (0, 1, 1)/sqrt 2 there. With f the tip flexibility (the same
    // in Y and Z for a round pipe), s = u.d = -f P cos45 / (1 + f k): the
    // spring pushes k f P cos45 / (1 + f k) along d, and the tip moves in Z
    // by f^2 k P / (2 (1 + f k)).
    weightless();
    const double l = 100, p = 1000;
    const double f = tip_flexibility(l);
    const double k = 1 / f;   // as stiff as the pipe
    anchor_at(10);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_SKEWED_RESTRAINT);
    support<SkewedRestraint>(tip).v = {"", false, static_cast<float>(k), {0.0f, 1.0f, 1.0f}, 0};
    force(20, LC_SUSTAINED, 1, -p);
    choose({LC_SUSTAINED});
    CaseResults c = solve().at(LC_SUSTAINED);
    const double c45 = std::sqrt(0.5);
    // k is a float in the model: the expected values take the stored one.
    const double ks = static_cast<float>(k);
    expect_relative(loads_of(c, tip)[0], ks * f * p * c45 / (1 + f * ks), "spring force along d");
    expect_relative(node_result(c, 20)[2], f * f * ks * p / (2 * (1 + f * ks)), "tip Z");

    // Stiffness 0 is rigid: the tip cannot move along d, the restraint
    // takes P cos45.
    support<SkewedRestraint>(tip).v.stiffness = 0.0f;
    c = solve().at(LC_SUSTAINED);
    expect_relative(loads_of(c, tip)[0], RIGID * f * p * c45 / (1 + f * RIGID), "rigid spring force");
    EXPECT_NEAR(node_result(c, 20)[1] * c45 + node_result(c, 20)[2] * c45, 0.0, 1e-9);
}

TEST_F(SupportRunTest, SkewedRestraintTowardsItsConnectedNode)
{
    // Two parallel weightless cantilevers 50 in apart in Z, their tips tied
    // by a skewed restraint with no direction of its own: it acts along the
    // line between the tips. 1000 lb in +Z at the first tip is shared: each
    // tip has the flexibility f, the tie k; the tie carries P f k / (1 + 2 f k).
    weightless();
    const double l = 80, p = 1000, k = 4000;
    const double f = tip_flexibility(l);
    anchor_at(10);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_SKEWED_RESTRAINT);
    with(from(30, 0, 0, 50), DT_ANCHOR);
    pipe(40, static_cast<float>(l), 0, 0);
    support<SkewedRestraint>(tip).v = {"", false, static_cast<float>(k), {0, 0, 0}, 40};
    force(20, LC_SUSTAINED, 2, p);
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    // d = +Z from 20 towards 40; the tie's force on the first tip along d,
    // -k (u20 - u40).d, pulls it back while it moves more than the second.
    expect_relative(loads_of(c, tip)[0], -p * f * k / (1 + 2 * f * k), "tie force");
    expect_relative(node_result(c, 40)[2], p * f * f * k / (1 + 2 * f * k), "second tip");
}

TEST_F(SupportRunTest, SpecifiedAnchorDisplacementActsInItsStep)
{
    // An anchor lifted by 0.5 in in displacement set 1, a weightless pipe of
    // 150 in to a restraint in Y. In Expansion (T1) the restraint must push
    // the far end back down by 0.5 in: R = 0.5 / f with f the tip
    // flexibility plus the restraint's spring; the anchor holds R up and R l.
    // Sustained has no displacement.
    weightless();
    const double l = 150, delta = 0.5;
    const int a = anchor_at(10);
    support<Anchor>(a).v.displacements.given[1] = 1;
    support<Anchor>(a).v.displacements.values[1] = {0.0f, static_cast<float>(delta), 0.0f, 0.0f, 0.0f, 0.0f};
    const int end = pipe(20, static_cast<float>(l), 0, 0, DT_RESTRAINT);
    support<Restraint>(end).v.restrained = {0, 1, 0};
    choose({LC_SUSTAINED, LC_EXPANSION_T1});
    const std::map<int, CaseResults> results = solve();

    const double r = delta / (tip_flexibility(l) + 1 / RIGID);
    const CaseResults& e = results.at(LC_EXPANSION_T1);
    expect_relative(loads_of(e, end)[1], -r, "restraint FY");
    expect_relative(loads_of(e, a)[1], r, "anchor FY");
    expect_relative(loads_of(e, a)[5], r * l, "anchor MZ");
    expect_relative(node_result(e, 10)[1], delta - r / RIGID, "anchor node");
    const CaseResults& s = results.at(LC_SUSTAINED);
    EXPECT_NEAR(node_result(s, 10)[1], 0.0, 1e-12);
    EXPECT_NEAR(loads_of(s, a)[1], 0.0, 1e-9);
}

TEST_F(SupportRunTest, SettlementAndSnubberInTheirCases)
{
    // A weightless cantilever with a rigid snubber in Y at its tip, its
    // anchor settling 0.25 in (set 12). The snubber acts only in the
    // occasional cases: in Seismic (g) it holds the tip against a force P
    // (k f P / (1 + f k)); in Settlement, solved after it with the same
    // sets, it must not: the whole pipe drops by the settlement.
    weightless();
    piping_code() = CODE_EN13480;   // a code that has a Settlement case
    seismic.x = true;
    seismic.gx = 0.5;
    const double l = 100, p = 800, settle = 0.25;
    const int a = anchor_at(10);
    support<Anchor>(a).v.displacements.given[SETTLEMENT_DISPLACEMENT_SET] = 1;
    support<Anchor>(a).v.displacements.values[SETTLEMENT_DISPLACEMENT_SET][1] = static_cast<float>(-settle);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_SNUBBER);
    support<Snubber>(tip).v.direction = {0.0f, 1.0f, 0.0f};
    force(20, LC_SEISMIC_G, 1, -p);
    choose({LC_SEISMIC_G, LC_SETTLEMENT});
    const std::map<int, CaseResults> results = solve();

    const double f = tip_flexibility(l);
    expect_relative(loads_of(results.at(LC_SEISMIC_G), tip)[0], RIGID * f * p / (1 + f * RIGID), "snubber");
    const CaseResults& s = results.at(LC_SETTLEMENT);
    expect_relative(node_result(s, 20)[1], -settle, "tip drops with the anchor", 1e-9);
    EXPECT_EQ(loads_of(s, tip)[0], 0.0);
}

TEST_F(SupportRunTest, SpringHangerCarriesItsLoad)
{
    // A cantilever under its weight with two user hangers at its tip, each
    // of rate k and load H/2 (hot). With "include hanger stiffness" the tip
    // force is H - k_total u, so u (1 + f k_total) = f H - d_w (d_w the free
    // weight deflection); without it the hangers are a constant H.
    const double l = 120, w = steel.weight;
    const double f = tip_flexibility(l), dw = weight_tip_deflection(l, w);
    const double rate = 400, h = 0.6 * w * l;
    anchor_at(10);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_HANGER);
    HangerValues& v = support<Hanger>(tip).v;
    v.type = HANGER_USER;
    v.count = 2;
    v.spring_rate = static_cast<float>(rate);
    v.load = static_cast<float>(h / 2);
    choose({LC_SUSTAINED});
    const double hs = 2.0 * static_cast<float>(h / 2), ks = 2 * rate;

    CaseResults c = solve().at(LC_SUSTAINED);
    const double u = (f * hs - dw) / (1 + f * ks);
    expect_relative(node_result(c, 20)[1], u, "tip with the spring");
    expect_relative(loads_of(c, tip)[0], hs - ks * u, "hanger load with the spring");

    analysis_options().include_hanger_stiffness = false;
    c = solve().at(LC_SUSTAINED);
    expect_relative(node_result(c, 20)[1], f * hs - dw, "tip under a constant load");
    expect_relative(loads_of(c, tip)[0], hs, "hanger load without the spring");
}

TEST_F(SupportRunTest, HotLoadSpringCarriesItsLoadInTheHotCase)
{
    // A riser on an anchor at its foot, 100 in up, heated by 300 degF, with
    // a user hanger (hot load H, rate k) at its top: free growth alpha dT L
    // upwards. In Operating the hot-load spring carries exactly H; a
    // cold-load spring of installed load C carries F = C - k u, u the top's
    // rise: u = alpha dT L + (F L - w L^2 / 2) / EA + (F - w L) / K, the
    // riser pulled by F at its top and pressed by its weight w per length.
    const double l = 100, dt = 300, rate = 2000, hot = 900;
    load.temperature[1] = 70 + dt;
    anchor_at(10);
    const int top = pipe(20, 0, static_cast<float>(l), 0, DT_HANGER);
    HangerValues& v = support<Hanger>(top).v;
    v.type = HANGER_USER;
    v.spring_rate = static_cast<float>(rate);
    v.load = static_cast<float>(hot);
    choose({LC_OPERATING_1});
    CaseResults c = solve().at(LC_OPERATING_1);
    expect_relative(loads_of(c, top)[0], hot, "hot load in the hot case");

    v.load_type = 1;   // the same value as the cold (installed) load
    c = solve().at(LC_OPERATING_1);
    const double w = steel.weight, ea = steel.e * steel.area;
    const double axial = l / ea + 1 / RIGID;
    const double u = (steel.alpha * dt * l + hot * axial - w * l * l / (2 * ea) - w * l / RIGID) / (1 + rate * axial);
    expect_relative(node_result(c, 20)[1], u, "top of the riser");
    expect_relative(loads_of(c, top)[0], hot - rate * u, "cold-load spring in the hot case");
}

TEST_F(SupportRunTest, RestingSupportCarriesItsShareOfTheWeight)
{
    // A cantilever under its weight resting on LS(0, none) along Y at its
    // tip: the stop pushes up R = d_w / (f + 1/K), d_w the free weight
    // deflection; it stays closed, the friction word is 0.
    const double l = 120, w = steel.weight;
    anchor_at(10);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_LIMIT_STOP);
    support<LimitStop>(tip).v = {"", 0.0f, NO_LIMIT, {0.0f, 1.0f, 0.0f}, 0.0f, 0.0f, 0};
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    const std::vector<double> r = loads_of(c, tip);
    ASSERT_EQ(r.size(), 2u);
    expect_relative(r[0], weight_tip_deflection(l, w) / (tip_flexibility(l) + 1 / RIGID), "stop force");
    EXPECT_EQ(r[1], 0.0);
    EXPECT_TRUE(c.converged);
}

TEST_F(SupportRunTest, LimitStopLiftsOffUnderThermalGrowth)
{
    // An anchored riser 80 in up, then 100 in along X to a stop LS(0, none)
    // along Y. Heated by 250 degF the riser lifts the far end off the stop:
    // the iterations converge with the stop open, its load 0, and the end
    // where free growth puts it (alpha dT 80 up, alpha dT 100 along X).
    weightless();
    const double h = 80, l = 100, dt = 250;
    load.temperature[1] = 70 + dt;
    anchor_at(10);
    pipe(20, 0, static_cast<float>(h), 0);
    const int end = pipe(30, static_cast<float>(l), 0, 0, DT_LIMIT_STOP);
    support<LimitStop>(end).v = {"", 0.0f, NO_LIMIT, {0.0f, 1.0f, 0.0f}, 0.0f, 0.0f, 0};
    choose({LC_EXPANSION_T1});
    const CaseResults c = solve().at(LC_EXPANSION_T1);
    EXPECT_TRUE(c.converged);
    EXPECT_EQ(c.iterations, 2);   // closed at first, open from then on
    EXPECT_EQ(loads_of(c, end)[0], 0.0);
    expect_relative(node_result(c, 30)[1], steel.alpha * dt * h, "end rises");
    expect_relative(node_result(c, 30)[0], steel.alpha * dt * l, "end grows along X");
}

TEST_F(SupportRunTest, LimitStopWithAGapAndAnUpperStop)
{
    // A weightless cantilever pushed down by P at its tip against LS(-g, g)
    // along Y: free it would drop P f; past the gap the lower stop takes
    // R = (P f - g) / (f + 1/K), the tip stays at -g - R/K. Pushed up the
    // upper stop takes the mirror of it.
    weightless();
    const double l = 120, p = 2000, g = 0.05;
    const double f = tip_flexibility(l);
    ASSERT_GT(p * f, g);
    anchor_at(10);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_LIMIT_STOP);
    support<LimitStop>(tip).v = {"", static_cast<float>(-g), static_cast<float>(g), {0.0f, 1.0f, 0.0f}, 0.0f, 0.0f, 0};
    force(20, LC_SUSTAINED, 1, -p);
    force(20, LC_EXPANSION_T1, 1, p);
    choose({LC_SUSTAINED, LC_EXPANSION_T1});
    const std::map<int, CaseResults> results = solve();
    const double gs = static_cast<float>(g);
    const double r = (p * f - gs) / (f + 1 / RIGID);
    expect_relative(loads_of(results.at(LC_SUSTAINED), tip)[0], r, "lower stop");
    expect_relative(node_result(results.at(LC_SUSTAINED), 20)[1], -gs - r / RIGID, "tip at the lower stop");
    expect_relative(loads_of(results.at(LC_EXPANSION_T1), tip)[0], -r, "upper stop");
}

TEST_F(SupportRunTest, GuideWithFrictionSlides)
{
    // An anchored pipe of 120 in along X with a rigid guide at its far end
    // (mu 0.3), heated by 200 degF, and 1500 lb in +Z at the guide. The guide
    // holds Z: N = 1500. The end slides: the friction on the pipe is -mu N
    // along X, the pipe carries mu N in compression, and the end moves
    // alpha dT l - mu N (l/EA + 1/K).
    weightless();
    const double l = 120, dt = 200, q = 1500, mu = 0.3;
    load.temperature[1] = 70 + dt;
    const int a = anchor_at(10);
    const int g = pipe(20, static_cast<float>(l), 0, 0, DT_GUIDE);
    support<Guide>(g).v.mu = static_cast<float>(mu);
    force(20, LC_OPERATING_1, 2, q);
    choose({LC_OPERATING_1});
    const CaseResults c = solve().at(LC_OPERATING_1);
    EXPECT_TRUE(c.converged);
    const std::vector<double> r = loads_of(c, g);
    ASSERT_EQ(r.size(), 3u);
    const double mus = static_cast<float>(mu);
    expect_relative(r[2], -q, "guide holds Z");
    expect_relative(r[0], -mus * std::fabs(r[2]), "friction = mu N while sliding");
    expect_relative(r[0], -mus * q, "friction against the closed form");
    EXPECT_NEAR(r[1], 0.0, 1e-6);
    expect_relative(loads_of(c, a)[0], mus * q, "anchor takes the friction");
    expect_relative(node_result(c, 20)[0],
                    steel.alpha * dt * l - mus * q * (l / (steel.e * steel.area) + 1 / RIGID), "end slides");
}

TEST_F(SupportRunTest, GuideWithFrictionSticks)
{
    // The same with a normal force so large that mu N exceeds what holding
    // the end takes: alpha dT l / (l/EA + 2/K) (the anchor and the sticking
    // friction spring in series with the pipe). The guide then holds X.
    weightless();
    const double l = 120, dt = 20, q = 5.0e7, mu = 0.3;
    load.temperature[1] = 70 + dt;
    anchor_at(10);
    const int g = pipe(20, static_cast<float>(l), 0, 0, DT_GUIDE);
    support<Guide>(g).v.mu = static_cast<float>(mu);
    force(20, LC_OPERATING_1, 2, q);
    choose({LC_OPERATING_1});
    const CaseResults c = solve().at(LC_OPERATING_1);
    const double held = steel.alpha * dt * l / (l / (steel.e * steel.area) + 2 / RIGID);
    ASSERT_LT(held, mu * q);
    expect_relative(loads_of(c, g)[0], -held, "sticking guide");
}

TEST_F(SupportRunTest, RestingSupportWithFrictionUnderHeat)
{
    // The cantilever resting on LS(0, none) with mu 0.4 at its tip, under
    // weight and heat (Operating): R as in the resting case; the tip slides
    // along X against mu R; the second word is mu R.
    const double l = 120, w = steel.weight, dt = 300, mu = 0.4;
    load.temperature[1] = 70 + dt;
    anchor_at(10);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_LIMIT_STOP);
    support<LimitStop>(tip).v = {"", 0.0f, NO_LIMIT, {0.0f, 1.0f, 0.0f}, static_cast<float>(mu), 0.0f, 0};
    choose({LC_OPERATING_1});
    const CaseResults c = solve().at(LC_OPERATING_1);
    EXPECT_TRUE(c.converged);
    const double r = weight_tip_deflection(l, w) / (tip_flexibility(l) + 1 / RIGID);
    const double mus = static_cast<float>(mu);
    expect_relative(loads_of(c, tip)[0], r, "stop force");
    expect_relative(loads_of(c, tip)[1], mus * r, "friction");
    expect_relative(node_result(c, 20)[0],
                    steel.alpha * dt * l - mus * r * (l / (steel.e * steel.area) + 1 / RIGID), "tip slides");
}

TEST_F(SupportRunTest, RodHangerGoesSlackWhenThePipeRises)
{
    // The riser and arm of the lift-off case with a rod hanger at the arm's
    // end: under weight alone it holds the end up; heated (Operating) the
    // end rises and the rod goes slack, so that over the Expansion range
    // the rod lets go of all it held.
    const double h = 80, l = 100, dt = 250;
    load.temperature[1] = 70 + dt;
    anchor_at(10);
    pipe(20, 0, static_cast<float>(h), 0);
    const int end = pipe(30, static_cast<float>(l), 0, 0, DT_HANGER);
    support<Hanger>(end).v.type = HANGER_ROD;
    choose({LC_SUSTAINED, LC_EXPANSION_T1, LC_OPERATING_1});
    const std::map<int, CaseResults> results = solve();
    const double held = loads_of(results.at(LC_SUSTAINED), end)[0];
    EXPECT_GT(held, 0.0);
    EXPECT_EQ(loads_of(results.at(LC_OPERATING_1), end)[0], 0.0);
    EXPECT_DOUBLE_EQ(loads_of(results.at(LC_EXPANSION_T1), end)[0], -held);
    EXPECT_TRUE(results.at(LC_EXPANSION_T1).converged);
}

TEST_F(SupportRunTest, GenericSupportAndNozzle)
{
    // A weightless cantilever from a nozzle (rigid: its flexibility needs
    // the curves of its method) with a generic support of KY k at its tip:
    // under P down the spring takes k f P / (1 + f k).
    weightless();
    const double l = 90, p = 1200, k = 3000;
    const int n = with(from(10), DT_NOZZLE);
    support<Nozzle>(n).v.nozzle_od = 6.625f;
    support<Nozzle>(n).v.nozzle_thickness = 0.28f;
    support<Nozzle>(n).v.vessel_od = 96.0f;
    support<Nozzle>(n).v.vessel_thickness = 0.5f;
    support<Nozzle>(n).v.length1 = 100.0f;
    support<Nozzle>(n).v.length2 = 100.0f;
    support<Nozzle>(n).v.axis = {0.0f, 1.0f, 0.0f};
    EXPECT_FALSE(nozzle_flexibility(support<Nozzle>(n).v).available);
    const int tip = pipe(20, static_cast<float>(l), 0, 0, DT_GENERIC_SUPPORT);
    support<GenericSupport>(tip).v.stiffness[1] = static_cast<float>(k);
    force(20, LC_SUSTAINED, 1, -p);
    choose({LC_SUSTAINED});
    const CaseResults c = solve().at(LC_SUSTAINED);
    const double f = tip_flexibility(l);
    const double spring = k * f * p / (1 + f * k);
    expect_relative(loads_of(c, tip)[1], spring, "generic support FY");
    expect_relative(loads_of(c, n)[1], p - spring, "nozzle FY");
    expect_relative(loads_of(c, n)[5], (p - spring) * l, "nozzle MZ");
}

TEST_F(SupportRunTest, ModelCheckRefusesWhatCannotBeAnalysed)
{
    anchor_at(10);
    const int tip = pipe(20, 100, 0, 0, DT_SKEWED_RESTRAINT);
    choose({LC_SUSTAINED});
    // The snapshot is checked as it is made.
    auto checked = [&] {
        make_model();
        return thrown_text([&] { snapshot = make_analysis_model(); });
    };
    // A connected node that does not exist, or the support's own node.
    support<SkewedRestraint>(tip).v = {"", false, 0.0f, {0, 0, 0}, 55};
    EXPECT_EQ(checked(), "Row 2: connected node 55 of the skewed restraint does not exist");
    support<SkewedRestraint>(tip).v.connected = 20;
    EXPECT_EQ(checked(), "Row 2: the skewed restraint is connected to its own node 20");
    // A direction shorter than 1e-4; none and no connected node.
    support<SkewedRestraint>(tip).v = {"", false, 0.0f, {5e-5f, 0, 0}, 0};
    EXPECT_EQ(checked(), "Row 2: Direction is invalid");
    support<SkewedRestraint>(tip).v.direction = {0, 0, 0};
    EXPECT_EQ(checked(), "Row 2: Direction is invalid");

    // Limits out of order, also when one of them is 0; equal limits other
    // than 0.
    with(tip, DT_LIMIT_STOP);
    support<LimitStop>(tip).v = {"", 0.0f, -1.0f, {0, 1, 0}, 0.0f, 0.0f, 0};
    EXPECT_EQ(checked(), "Row 2: Upper limit should be greater than the lower limit, or both limits 0");
    support<LimitStop>(tip).v.lower = support<LimitStop>(tip).v.upper = 0.5f;
    EXPECT_EQ(checked(), "Row 2: Upper limit should be greater than the lower limit, or both limits 0");
    // Both 0: a stop without a gap.
    support<LimitStop>(tip).v.lower = support<LimitStop>(tip).v.upper = 0.0f;
    EXPECT_EQ(checked(), "<nothing thrown>");
    support<LimitStop>(tip).v.upper = NO_LIMIT;
    support<LimitStop>(tip).v.lower = -NO_LIMIT;
    EXPECT_EQ(checked(), "Row 2: No limits are specified");

    // A hanger of a catalogue without data; a guide with a negative gap.
    with(tip, DT_HANGER);
    support<Hanger>(tip).v.type = 27;
    EXPECT_EQ(checked(), "No data is available for the Piping Tech & Products spring catalogue");
    with(tip, DT_GUIDE);
    support<Guide>(tip).v.gap = -0.1f;
    EXPECT_EQ(checked(), "Row 2: Gap is invalid");
}

TEST_F(SupportRunTest, ZeroStiffnessMeansRigidWhereTheFieldSaysSo)
{
    // Guide, limit stop, snubber and skewed restraint of stiffness 0 are
    // rigid springs (1.0e12), never a zero term in the matrix.
    EXPECT_EQ(rigid_when_zero(0.0f), RIGID);
    EXPECT_EQ(rigid_when_zero(-3.0f), RIGID);
    EXPECT_EQ(rigid_when_zero(RIGID_STIFFNESS), RIGID);
    EXPECT_EQ(rigid_when_zero(250.0f), 250.0);
    // An anchor's 0 is a free direction.
    EXPECT_EQ(stiffness_of(0.0f), 0.0);
    EXPECT_EQ(stiffness_of(RIGID_STIFFNESS), RIGID);
}
