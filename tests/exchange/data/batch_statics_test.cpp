// Whole models as an engineer writes them: a batch file (English units or
// OPTIONS SI) imported, built and run with the default load cases, and its
// displacements, end forces and support loads compared with answers worked
// out here from beam theory. Every anchor of these files is rigid, a spring
// of 1.0e12 lb/in and in-lb/rad on each freedom; the answers carry those
// springs in series, so that the runs must agree to 1e-6 relative.
#include "exchange/data/batch_solve_fixture.h"

using namespace batch_test;

namespace {

constexpr double REL = 1e-6;

using BatchStaticsTest = BatchSolveTest;

}  // namespace

TEST_F(BatchStaticsTest, LWithALongRadiusBendBetweenTwoAnchorsUnderATemperatureRise)
{
    // 6 in STD (6.625 x 0.28 in) in the horizontal plane: anchor A at node 10,
    // 120 in along X to the corner 20 (a long-radius elbow, R = 1.5 x 6 in =
    // 9 in, given as B9: a section made in the file has no nominal size),
    // 96 in along Z to anchor B at node 30; heated from 70 to 400 degF.
    run("L bend between anchors\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,400,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA,CL=L1\n"
        "T20,X120,KI,B9\n"
        "T30,Z96,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const double r = 9.0;
    // B31.3 bend: h = t R / rm^2, k = 1.65 / h.
    const double rm = (p.od - p.t) / 2, h = p.t * r / (rm * rm), k = 1.65 / h;
    // Mean expansion coefficient at 400 degF, linear in the table.
    const double alpha = alpha_english(400.0);
    const double e = alpha * (400.0 - 70.0);
    const Vec a{0, 0, 0}, b{120, 0, 96};

    // The force method. B is cut free and loaded by the anchor's force and
    // moment Q (six unit loads i). A point p of the centre line with tangent
    // t carries F = the force, M = the moment + (B - p) x F; the flexibility
    // c_ij integrates N_i N_j / EA + alpha (F_i.F_j - N_i N_j) / GA +
    // T_i T_j / GJ + k (M_i.M_j - T_i T_j) / EI along the legs and the arc
    // (k only in the arc), and adds the anchors' springs: A's under the loads
    // that Q carries to A, B's under Q itself. Compatibility: c Q = -(free
    // growth of B) = -e (B - A).
    const double ea = p.e * p.area, gas = p.g * p.area / p.shear, gj = p.g * 2 * p.inertia, ei = p.e * p.inertia;
    auto unit = [&](int i, const Vec& pt, Vec& f, Vec& m) {
        f = {0, 0, 0};
        m = {0, 0, 0};
        if (i < 3)
            f[static_cast<std::size_t>(i)] = 1;
        else
            m[static_cast<std::size_t>(i - 3)] = 1;
        const Vec arm{b[0] - pt[0], b[1] - pt[1], b[2] - pt[2]};
        const Vec mf = cross(arm, f);
        for (std::size_t d = 0; d < 3; ++d)
            m[d] += mf[d];
    };
    auto energy = [&](int i, int j, const Vec& pt, const Vec& t, double factor) {
        Vec fi, mi, fj, mj;
        unit(i, pt, fi, mi);
        unit(j, pt, fj, mj);
        const double ni = dot(fi, t), nj = dot(fj, t), ti = dot(mi, t), tj = dot(mj, t);
        return ni * nj / ea + (dot(fi, fj) - ni * nj) / gas + ti * tj / gj + factor * (dot(mi, mj) - ti * tj) / ei;
    };
    Dense c(6, std::vector<double>(6, 0.0));
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) {
            const double leg1 = simpson([&](double s) { return energy(i, j, {s, 0, 0}, {1, 0, 0}, 1); }, 0, 120 - r);
            const double arc = simpson(
                [&](double phi) {
                    const Vec pt{120 - r + r * std::sin(phi), 0, r - r * std::cos(phi)};
                    return energy(i, j, pt, {std::cos(phi), 0, std::sin(phi)}, k) * r;
                },
                0, std::numbers::pi / 2);
            const double leg2 = simpson([&](double s) { return energy(i, j, {120, 0, s}, {0, 0, 1}, 1); }, r, 96);
            Vec fi, mi, fj, mj;
            unit(i, a, fi, mi);
            unit(j, a, fj, mj);
            c[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
                leg1 + arc + leg2 + dot(fi, fj) / RIGID + dot(mi, mj) / RIGID + (i == j ? 1 / RIGID : 0.0);
        }
    const std::vector<double> q = solve_dense(c, {-e * b[0], -e * b[1], -e * b[2], 0, 0, 0});
    const Vec qf{q[0], q[1], q[2]}, qm{q[3], q[4], q[5]};
    const Vec qa = cross(b, qf);   // (B - A) x F, A at the origin

    const CaseResults& expansion = result(LC_EXPANSION_T1);
    const std::vector<double> at_b = support(expansion, 30), at_a = support(expansion, 10);
    const char* names[6] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
    const double scale_f = std::hypot(q[0], q[2]), scale_m = std::fabs(qm[1] + qa[1]);
    for (std::size_t d = 0; d < 3; ++d) {
        expect_relative(at_b[d], qf[d], REL, std::string("B ") + names[d], 1e-9 * scale_f);
        expect_relative(at_b[d + 3], qm[d], REL, std::string("B ") + names[d + 3], 1e-9 * scale_m);
        expect_relative(at_a[d], -qf[d], REL, std::string("A ") + names[d], 1e-9 * scale_f);
        expect_relative(at_a[d + 3], -(qm[d] + qa[d]), REL, std::string("A ") + names[d + 3], 1e-9 * scale_m);
    }

    // The arc (the second element): its bending moment at the tangent points
    // is the moment about Y there; at the near one, (120 - R, 0, 0), its
    // axial force is the force along X.
    ASSERT_GE(expansion.forces.size(), 3u);
    const ElementVector& arc = expansion.forces[1];
    const Vec near{120 - r, 0, 0}, far{120, 0, r};
    auto moment_at = [&](const Vec& pt) {
        const Vec arm{b[0] - pt[0], b[1] - pt[1], b[2] - pt[2]};
        return std::fabs(qm[1] + cross(arm, qf)[1]);
    };
    expect_relative(std::hypot(arc.f[5], arc.f[6]), moment_at(near), REL, "arc moment at the near tangent");
    expect_relative(std::hypot(arc.f[11], arc.f[12]), moment_at(far), REL, "arc moment at the far tangent");
    expect_relative(std::fabs(arc.f[1]), std::fabs(qf[0]), REL, "arc axial force at the near tangent");
    expect_relative(std::fabs(arc.f[7]), std::fabs(qf[2]), REL, "arc axial force at the far tangent");
}


TEST_F(BatchStaticsTest, LineBetweenAnchorsHeatedWithItsFarAnchorMovedInTheThermalCase)
{
    // 6 m of 8 in pipe between anchors at nodes 10 and 20, at 200 degC from a
    // reference temperature (AMB) of 20 degC; the far anchor moves 12 mm down
    // with the first thermal set (DIS), so the Expansion (T1) case carries both.
    run("Line between anchors\n" + SI_HEAD +
        "LOADS\n"
        "L1,200,0\n"
        "LAYOUT\n"
        "F10,MCS,PP8,KA,CL=L1,AMB=20\n"
        "T20,X6000,KA,CDIS(0,-12,0)\n");
    if (HasFatalFailure())
        return;

    const Tube p{219.1, 8.18, 200000, 0.29};
    const double l = 6000, delta = -12, dt = 200 - 20;
    // Axial: the free growth alpha dT l held by the pipe and the two anchor
    // springs in series.
    const double ea = p.e * p.area;
    const double n = alpha_si(200) * dt * l / (l / ea + 2 / KT_SI);
    // Transverse, fixed-fixed (Timoshenko): with phi = 12 EI alpha_s / (G A
    // l^2), the end shear for a relative end movement d and end rotations
    // theta (both alike) is k (d - l theta), k = 12 EI / (l^3 (1 + phi)), with
    // the end moments V l / 2. The anchors' springs give d = delta - 2 V / Kt
    // and theta = (V l / 2) / Kr, hence V = k delta / (1 + k (2/Kt + l^2/2Kr)).
    const double phi = 12 * p.e * p.inertia * p.shear / (p.g * p.area * l * l);
    const double k = 12 * p.e * p.inertia / (l * l * l * (1 + phi));
    const double v = k * delta / (1 + k * (2 / KT_SI + l * l / (2 * KR_SI)));
    const double m = -v * l / 2;   // about Z, on the pipe, at both anchors

    const CaseResults& c = result(LC_EXPANSION_T1);
    const std::vector<double> at_a = support(c, 10), at_b = support(c, 20);
    expect_relative(at_a[0] * NEWTON, n, REL, "A pushes the pipe back along +X");
    expect_relative(at_b[0] * NEWTON, -n, REL, "B pushes it back along -X");
    expect_relative(at_b[1] * NEWTON, v, REL, "B pulls the pipe down");
    expect_relative(at_a[1] * NEWTON, -v, REL, "A holds it up");
    expect_relative(at_a[5] * NEWTON * MM, m, REL, "moment at A");
    expect_relative(at_b[5] * NEWTON * MM, m, REL, "moment at B");
    expect_relative(at(c, 20)[1] * MM, delta - v / KT_SI, REL, "B follows its anchor");

    // The pipe's end forces: compression n, shear |V|, moment |V| l / 2 at both ends.
    ASSERT_EQ(c.forces.size(), 1u);
    const ElementVector& f = c.forces[0];
    expect_relative(f.f[1] * NEWTON, -n, REL, "axial force");
    expect_relative(f.f[7] * NEWTON, -n, REL, "axial force at the far end");
    expect_relative(std::fabs(f.f[2]) * NEWTON, std::fabs(v), REL, "shear");
    expect_relative(std::fabs(f.f[6]) * NEWTON * MM, std::fabs(m), REL, "moment at the near end");
    expect_relative(std::fabs(f.f[12]) * NEWTON * MM, std::fabs(m), REL, "moment at the far end");
}

TEST_F(BatchStaticsTest, CantileverUnderAStaticSeismicLoadAcrossIt)
{
    // 4 m of 8 in pipe along X from an anchor at node 10, a 200 kg mass at its
    // tip, node 20; a static seismic load of 0.4 g along Z. The Seismic (g)
    // case loads the cantilever as its weight would, turned to Z and scaled.
    run("Seismic cantilever\n" + SI_HEAD +
        "SEISMIC\n"
        "0,0,0.4\n"
        "LAYOUT\n"
        "F10,MCS,PP8,KA\n"
        "T20,X4000,CCWGT=200\n");
    if (HasFatalFailure())
        return;

    const Tube p{219.1, 8.18, 200000, 0.29};
    const double l = 4000, g = 0.4, w = weight_si(p), mass = 200 * 9.80665;
    const double tip = g * (p.tip_under_uniform(l, w, KT_SI, KR_SI) + mass * p.tip_flexibility(l, KT_SI, KR_SI));

    const CaseResults& c = result(LC_SEISMIC_G);
    const auto u = at(c, 20);
    expect_relative(u[2] * MM, tip, REL, "tip along Z");
    EXPECT_NEAR(u[1], 0.0, 1e-9 * std::fabs(u[2]));
    const std::vector<double> at_a = support(c, 10);
    expect_relative(at_a[2] * NEWTON, -g * (w * l + mass), REL, "anchor force along Z");
    expect_relative(at_a[4] * NEWTON * MM, g * (w * l * l / 2 + mass * l), REL, "anchor moment about Y");
    EXPECT_NEAR(at_a[1], 0.0, 1e-9 * std::fabs(at_a[2]));

    // The same beam under its weight in the Sustained case: along -Y.
    const CaseResults& s = result(LC_SUSTAINED);
    expect_relative(at(s, 20)[1] * MM, -tip / g, REL, "tip under the weight");
}

TEST_F(BatchStaticsTest, ColdSprungLineBetweenAnchors)
{
    // 6.5 m of 8 in pipe between anchors at nodes 10 and 40 with a 0.5 m cut
    // pipe in it installed 20 mm short, later at 250 degC (reference 20 degC).
    run("Cold spring\n" + SI_HEAD +
        "LOADS\n"
        "L1,250,0\n"
        "LAYOUT\n"
        "F10,MCS,PP8,KA,CL=L1,AMB=20\n"
        "T20,X3000\n"
        "T30,X500,JC,CSHORT=20\n"
        "T40,X3000,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{219.1, 8.18, 200000, 0.29};
    const double l = 6500, cut = 20, ea = p.e * p.area;
    // Installed: the cut closed by stretching the line: N = cut / (l/EA + 2/Kt).
    const double installed = cut / (l / ea + 2 / KT_SI);
    // Hot: the same with the free growth alpha dT l taking up the cut first.
    const double hot = (cut - alpha_si(250) * 230 * l) / (l / ea + 2 / KT_SI);

    const CaseResults& cold = result(LC_COLD_SPRING);
    expect_relative(support(cold, 10)[0] * NEWTON, -installed, REL, "A holds the stretched line");
    expect_relative(support(cold, 40)[0] * NEWTON, installed, REL, "B holds it");
    ASSERT_EQ(cold.forces.size(), 3u);
    for (std::size_t e = 0; e < 3; ++e)
        expect_relative(cold.forces[e].f[1] * NEWTON, installed, REL, "tension");

    const CaseResults& operating = result(cold_spring_code(1));
    expect_relative(support(operating, 10)[0] * NEWTON, -hot, REL, "A in the hot cold-sprung case");
    expect_relative(support(operating, 40)[0] * NEWTON, hot, REL, "B in the hot cold-sprung case");
    expect_relative(operating.forces[0].f[1] * NEWTON, hot, REL, "compression in the hot cold-sprung case");
}

TEST_F(BatchStaticsTest, CantileverCarriedByAUserHanger)
{
    // 15 ft of 6 in STD pipe from an anchor at node 10 to a user hanger at its
    // tip, node 20: rate 1500 lb/in, hot load 200 lb. Operating at 400 degF.
    run("Hanger\n" + ENGLISH_HEAD +
        "P6,6.625,0.28\n"
        "LOADS\n"
        "L1,400,0\n"
        "LAYOUT\n"
        "F10,MA106B,PP6,KA,CL=L1\n"
        "T20,X180,CUS(1,1500,200)\n");
    if (HasFatalFailure())
        return;

    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const double l = 180, w = 0.283 * p.area, rate = 1500, load = 200;
    const double f = p.tip_flexibility(l, RIGID, RIGID), sag = p.tip_under_uniform(l, w, RIGID, RIGID);

    // Sustained (cold): the hanger pushes up with its load less its rate times
    // the tip's rise u, and u = f (load - rate u) - sag.
    const double u = (f * load - sag) / (1 + f * rate);
    const CaseResults& s = result(LC_SUSTAINED);
    expect_relative(at(s, 20)[1], u, REL, "tip, sustained");
    expect_relative(support(s, 20)[0], load - rate * u, REL, "hanger load, sustained");
    expect_relative(support(s, 10)[1], w * l - (load - rate * u), REL, "anchor, sustained");

    // Operating (hot): the hanger carries its hot load as a constant force.
    const CaseResults& o = result(operating_code(1));
    const double alpha = alpha_english(400.0);
    expect_relative(at(o, 20)[1], f * load - sag, REL, "tip, operating");
    expect_relative(at(o, 20)[0], alpha * 330 * l, REL, "tip grows, operating");
    expect_relative(support(o, 20)[0], load, REL, "hanger load, operating");
    expect_relative(support(o, 10)[1], w * l - load, REL, "anchor, operating");
}

TEST_F(BatchStaticsTest, BellowsBetweenAnchorsUnderPressure)
{
    // 8 in STD (8.625 x 0.322 in) from anchor 10: 120 in of pipe, a 12 in
    // bellows (axial 2000 lb/in, thrust area 72 in2) and 240 in of pipe to
    // anchor 40, at 300 psi and 250 degF.
    run("Bellows\n" + ENGLISH_HEAD +
        "P8,8.625,0.322\n"
        "LOADS\n"
        "L1,250,300\n"
        "LAYOUT\n"
        "F10,MA106B,PP8,KA,CL=L1\n"
        "T20,X120\n"
        "T30,X12,JE,CES(2000,5000,1E6),TA=72,BK=1E6\n"
        "T40,X240,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{8.625, 0.322, 27.9e6, 0.3};
    const double pressure = 300, thrust = pressure * 72, kb = 2000;
    const double alpha = alpha_english(250.0);
    // Along X the line is a chain of springs: anchor 10 to ground, pipe
    // EA/120, bellows kb, pipe EA/240, anchor 40 to ground; the thrust P A
    // pushes node 20 back and node 30 on. Hot, each part also grows freely:
    // the pipes by alpha dT L plus the closed-end pressure strain
    // P rm (1 - 2 nu) / (2 E t) times L (hoop P rm/t, axial P rm/2t), the
    // bellows by alpha dT 12.
    const double ea = p.e * p.area, rm = (p.od - p.t) / 2;
    const double pressure_strain = pressure * rm * (1 - 2 * p.nu) / (2 * p.e * p.t);
    auto chain = [&](bool hot) {
        const double k[3] = {ea / 120, kb, ea / 240};
        const double grow[3] = {hot ? (alpha * 180 + pressure_strain) * 120 : 0.0, hot ? alpha * 180 * 12 : 0.0,
                                hot ? (alpha * 180 + pressure_strain) * 240 : 0.0};
        Dense a(4, std::vector<double>(4, 0.0));
        std::vector<double> f = {0, -thrust, thrust, 0};
        a[0][0] += RIGID;
        a[3][3] += RIGID;
        for (std::size_t e = 0; e < 3; ++e) {
            a[e][e] += k[e];
            a[e + 1][e + 1] += k[e];
            a[e][e + 1] -= k[e];
            a[e + 1][e] -= k[e];
            f[e] -= k[e] * grow[e];
            f[e + 1] += k[e] * grow[e];
        }
        const std::vector<double> u = solve_dense(a, f);
        return std::array<double, 3>{-RIGID * u[0], -RIGID * u[3], k[0] * (u[1] - u[0] - grow[0])};
    };

    const auto cold = chain(false);
    const CaseResults& s = result(LC_SUSTAINED);
    expect_relative(support(s, 10)[0], cold[0], REL, "anchor 10, sustained");
    expect_relative(support(s, 40)[0], cold[1], REL, "anchor 40, sustained");
    expect_relative(s.forces[0].f[1], cold[2], REL, "first pipe's axial force, sustained");

    const auto hot = chain(true);
    const CaseResults& o = result(operating_code(1));
    expect_relative(support(o, 10)[0], hot[0], REL, "anchor 10, operating");
    expect_relative(support(o, 40)[0], hot[1], REL, "anchor 40, operating");
    expect_relative(o.forces[0].f[1], hot[2], REL, "first pipe's axial force, operating");
}
