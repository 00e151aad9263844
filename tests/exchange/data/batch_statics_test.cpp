// Whole models as an engineer writes them: a batch file (English units or
// OPTIONS SI) imported, built and run with the default load cases, and its
// displacements, end forces and support loads compared with answers worked
// out here from beam theory. Every anchor of these files is rigid, a spring
// of 1.0e12 lb/in and in-lb/rad on each freedom; the answers carry those
// springs in series, so that the runs must agree to 1e-6 relative.
#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "analysis_core/analysis_run.h"
#include "analysis_core/results_sink.h"
#include "analysis_core/steps.h"
#include "closeness.h"
#include "elements/element_analysis.h"
#include "exchange/data/batch_fixture.h"
#include "model/load_cases.h"
#include "model/nodes.h"

#include <array>
#include <numbers>

using namespace batch_test;

namespace {

constexpr double RIGID = 1.0e12;          // lb/in and in-lb/rad
constexpr double MM = 25.4;               // mm in an inch
constexpr double NEWTON = 4.4482216152605;  // N in a pound-force (0.45359237 kg x 9.80665 m/s2)
constexpr double REL = 1e-6;

// A steel tube: area, inertia and the thick-wall shear coefficient of beam
// theory (shear energy alpha V^2 / 2GA with alpha = 4/3 (ro^3 - ri^3) /
// ((ro - ri)(ro^2 + ri^2))), in whatever consistent units it is given.
struct Tube {
    double od, t, e, nu;
    double ro = od / 2, ri = ro - t;
    double area = std::numbers::pi * (ro * ro - ri * ri);
    double inertia = std::numbers::pi / 4 * (std::pow(ro, 4) - std::pow(ri, 4));
    double shear = 4.0 / 3.0 * (ro * ro * ro - ri * ri * ri) / ((ro - ri) * (ri * ri + ro * ro));
    double g = e / (2 * (1 + nu));

    // Tip of a cantilever of length l under a tip force: l^3/3EI + alpha l/GA,
    // with an anchor of translational spring kt and rotational spring kr.
    double tip_flexibility(double l, double kt, double kr) const
    {
        return l * l * l / (3 * e * inertia) + shear * l / (g * area) + 1 / kt + l * l / kr;
    }
    // Tip of the same cantilever under a uniform load q: q l^4/8EI +
    // alpha q l^2/2GA, and the anchor's springs under q l and q l^2/2.
    double tip_under_uniform(double l, double q, double kt, double kr) const
    {
        return q * std::pow(l, 4) / (8 * e * inertia) + shear * q * l * l / (2 * g * area) + q * l / kt +
               q * l * l / 2 * l / kr;
    }
};

// The English files: ASTM A106 B carbon steel, 0.283 lb/in3, E 27.9e6 psi at
// every temperature (so that no case's choice of modulus enters), expansion
// 6.0e-6 per degF at 70 degF and 8.1e-6 at 700 degF; lengths in inch.
const std::string ENGLISH_HEAD = "OPTIONS\n"
                                 "B313,IN\n"
                                 "MATERIAL\n"
                                 "A106B,0.283,0.3\n"
                                 "A106B,70,27.9E6,6.0E-6,20000\n"
                                 "A106B,700,27.9E6,8.1E-6,16000\n"
                                 "PIPE\n";

using Vec = std::array<double, 3>;
Vec cross(const Vec& a, const Vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Vec& a, const Vec& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Composite Simpson's rule over [lo, hi] in n (even) intervals: exact for the
// cubics of a straight leg; over a quarter arc 400 intervals leave an error
// near 1e-12 of the integral.
template <typename F>
double simpson(F&& f, double lo, double hi, int n = 400)
{
    const double step = (hi - lo) / n;
    double sum = f(lo) + f(hi);
    for (int i = 1; i < n; ++i)
        sum += (i % 2 ? 4.0 : 2.0) * f(lo + i * step);
    return sum * step / 3.0;
}

using Dense = std::vector<std::vector<double>>;

// Solves a x = b by Gaussian elimination with partial pivoting.
std::vector<double> solve_dense(Dense a, std::vector<double> b)
{
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < n; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t r = col + 1; r < n; ++r) {
            const double factor = a[r][col] / a[col][col];
            for (std::size_t k = col; k < n; ++k)
                a[r][k] -= factor * a[col][k];
            b[r] -= factor * b[col];
        }
    }
    std::vector<double> x(n);
    for (std::size_t i = n; i-- > 0;) {
        double sum = b[i];
        for (std::size_t k = i + 1; k < n; ++k)
            sum -= a[i][k] * x[k];
        x[i] = sum / a[i][i];
    }
    return x;
}

class BatchStaticsTest : public BatchTest {
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        install_element_analysis();
    }
    // Imports the text and solves its default load cases.
    void run(const std::string& text)
    {
        ASSERT_NO_FATAL_FAILURE(import_ok(text));
        try {
            make_model();
            snapshot_ = make_analysis_model();
            AnalysisRun r(*snapshot_);
            results_ = solve_load_cases(r, RunCallbacks{});
        } catch (const MessageText& m) {
            FAIL() << m.text;
        }
    }
    const CaseResults& result(int code)
    {
        EXPECT_TRUE(results_.count(code)) << "no case " << code;
        return results_[code];
    }
    static std::array<double, 6> at(const CaseResults& c, int node)
    {
        const int index = node_index(node);
        EXPECT_NE(index, 0) << node;
        std::array<double, 6> u{};
        for (std::size_t d = 0; d < 6; ++d)
            u[d] = c.displacements[6 * static_cast<std::size_t>(index - 1) + d];
        return u;
    }
    // The support-load values of the support at a node.
    static std::vector<double> support(const CaseResults& c, int node)
    {
        int offset = 0;
        for (int r = 1; r <= numrows(); ++r) {
            const LayoutRow& row = model().rows[r];
            const int words = support_word_count(row.dtype);
            if (row.node == node && words > 0)
                return {c.support_loads.begin() + offset, c.support_loads.begin() + offset + words};
            offset += words;
        }
        ADD_FAILURE() << "no support at node " << node;
        return std::vector<double>(6, 0.0);
    }

    std::unique_ptr<AnalysisModel> snapshot_;
    std::map<int, CaseResults> results_;
};

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
    const double alpha = 6.0e-6 + (8.1e-6 - 6.0e-6) * (400.0 - 70.0) / (700.0 - 70.0);
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

namespace {

// The SI files: 8 in STD pipe (219.1 x 8.18 mm) of carbon steel, 7850 kg/m3,
// E constant over temperature. The answers are worked in N and mm; the
// program's inch and pound results are turned into them.
const std::string SI_HEAD = "OPTIONS\n"
                            "SI,B313\n"
                            "MATERIAL\n"
                            "CS,7850,0.29\n"
                            "CS,20,200000,11.5E-6,138\n"
                            "CS,400,200000,13.9E-6,100\n"
                            "PIPE\n"
                            "P8,219.1,8.18\n";
const double KT_SI = RIGID * NEWTON / MM;   // an anchor's 1.0e12 lb/in in N/mm
const double KR_SI = RIGID * NEWTON * MM;   // its 1.0e12 in-lb/rad in N mm/rad
// Weight of the steel per mm of pipe, N/mm: rho g A.
double weight_si(const Tube& p)
{
    return 7850e-9 * 9.80665 * p.area;
}
// Mean expansion coefficient of the SI material, per degC, linear in its table.
double alpha_si(double t)
{
    return 11.5e-6 + (13.9e-6 - 11.5e-6) * (t - 20.0) / (400.0 - 20.0);
}

}  // namespace

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
    const double alpha = 6.0e-6 + (8.1e-6 - 6.0e-6) * (400.0 - 70.0) / (700.0 - 70.0);
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
    const double alpha = 6.0e-6 + (8.1e-6 - 6.0e-6) * (250.0 - 70.0) / (700.0 - 70.0);
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
