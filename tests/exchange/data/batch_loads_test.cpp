// The loads of whole models, written as batch files, imported and solved,
// against answers worked out here from each load's definition: the weight
// of a pipe with contents, insulation, lining and added weight; the
// closed-end pressure elongation; wind from a pressure or velocity profile
// and the ASCE/SEI 7-10 design wind; static seismic g in several directions
// and after ASCE/SEI 7-10 chapter 13; the Hydrotest case; a concentrated
// weight off its node and a force acting with a thermal set. Every anchor is
// a spring of 1.0e12 lb/in and in-lb/rad on each freedom.
#include "exchange/data/batch_solve_fixture.h"
#include "loads/nodal_loads.h"
#include "model/model.h"

using namespace batch_test;

namespace {

constexpr double REL = 1e-6;
constexpr double PI = std::numbers::pi;
// Water at 60 degF: 62.36 lb/ft3, 0.03609 lb/in3 (999 kg/m3).
constexpr double WATER = 0.03609;
constexpr double G_SI = 9.80665;   // m/s2: a kg weighs this many N

double ring(double outer, double inner)
{
    return PI * (outer * outer - inner * inner);
}

// The anchors' forces and moments on an L of 6 in pipe (leg 1 from the
// anchor at the origin 120 in along X, leg 2 120 in along Z, free at its
// end) under a uniform load of q per inch along the unit global axis d:
// statics, the anchor holds the resultant and its moment about the origin.
struct Reaction {
    Vec f, m;
};
Reaction l_cantilever_reaction(double q, const Vec& d)
{
    // Leg 1: points (s, 0, 0); leg 2: points (120, 0, s), s from 0 to 120.
    const double length = 240;
    const Vec f{-q * length * d[0], -q * length * d[1], -q * length * d[2]};
    const Vec first = cross({120 * 120 / 2.0, 0, 0}, d);          // integral of (s, 0, 0) x d
    const Vec second = cross({120 * 120.0, 0, 120 * 120 / 2.0}, d); // integral of (120, 0, s) x d
    return {f, {-q * (first[0] + second[0]), -q * (first[1] + second[1]), -q * (first[2] + second[2])}};
}

class BatchLoadsTest : public BatchSolveTest {
protected:
    // The L under static seismic g along X (0.3) and Z (0.4), its directions
    // combined as `combination` says (1 absolute sum, 2 SRSS).
    static void check_seismic_l(const CaseResults& c, int combination)
    {
        const Tube p{6.625, 0.28, 27.9e6, 0.3};
        const double w = 0.283 * p.area;
        const Reaction x = l_cantilever_reaction(0.3 * w, {1, 0, 0});
        const Reaction z = l_cantilever_reaction(0.4 * w, {0, 0, 1});
        auto combined = [&](double a, double b) {
            return combination == 2 ? std::hypot(a, b) : std::fabs(a) + std::fabs(b);
        };
        const std::vector<double> a = support(c, 10);
        const char* names[6] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
        for (std::size_t d = 0; d < 3; ++d) {
            expect_relative(a[d], combined(x.f[d], z.f[d]), REL, names[d], 1e-9 * 240 * w);
            expect_relative(a[d + 3], combined(x.m[d], z.m[d]), REL, names[d + 3], 1e-9 * 240 * 120 * w);
        }
        // Only the moment about Y has a part of both directions.
        EXPECT_GT(std::fabs(x.m[1]), 0.0);
        EXPECT_GT(std::fabs(z.m[1]), 0.0);
    }
};

// 20 ft of 8 in STD between anchors at 1000 psi and the reference
// temperature, with the option sections `options`.
std::string pressure_line(const std::string& options)
{
    return "Line under pressure\n" + ENGLISH_HEAD + "P8,8.625,0.322\n" + options +
           "LOADS\n"
           "L1,70,1000\n"
           "LAYOUT\n"
           "F10,MA106B,PP8,KA,CL=L1\n"
           "T20,X240,KA\n";
}

// 8 in STD with 2 in of insulation, and a pipe load on which the wind acts
// (its last value); the span, 20 ft along X between anchors at an elevation
// of 20 ft.
const std::string WIND_SPAN_SECTION = "P8,8.625,0.322,,,11.5,2\n"
                                      "LOADS\n"
                                      "L1,70,0,0,70,0,70,0,0,70,0,70,0,70,0,70,0,70,0,70,0,70,0,70,0,1\n";
const std::string WIND_SPAN_LAYOUT = "F10,Y240,MA106B,PP8,KA,CL=L1\n"
                                    "T20,X240,KA\n";

const std::string SEISMIC_L_LAYOUT = "LAYOUT\n"
                                     "F10,MA106B,PP6,KA\n"
                                     "T20,X120\n"
                                     "T30,Z120\n";

}  // namespace

TEST_F(BatchLoadsTest, LinedInsulatedSpanWithContentsAndAddedWeightCarriedByItsAnchors)
{
    // 20 ft of 8 in STD (8.625 x 0.322 in) between anchors: 2 in of
    // insulation at 11.5 lb/ft3, a 0.125 in lining at 90 lb/ft3, contents of
    // specific gravity 0.85 and 6 lb/ft of added weight in the pipe load.
    run("Lined and insulated span\n" + ENGLISH_HEAD +
        "P8,8.625,0.322,,,11.5,2,90,0.125\n"
        "LOADS\n"
        "L1,70,0,0.85,70,0,70,0,6\n"
        "LAYOUT\n"
        "F10,MA106B,PP8,KA,CL=L1\n"
        "T20,X240,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{8.625, 0.322, 27.9e6, 0.3};
    const double bore = p.ri - 0.125;   // the contents fill the lining's bore
    const double steel = 0.283 * p.area;
    const double insulation = 11.5 / 1728 * ring(p.ro + 2, p.ro);
    const double lining = 90.0 / 1728 * ring(p.ri, bore);
    const double contents = 0.85 * WATER * PI * bore * bore;
    const double added = 6.0 / 12;
    const double w = steel + insulation + lining + contents + added, l = 240;
    // Each anchor holds half the span's weight. Its moment M follows from the
    // end slope: a simply supported span turns w l^3 / 24EI at its ends, the
    // end moments turn them back by M l / 2EI, and the anchor's rotational
    // spring lets the end turn M / Kr.
    const double ei = p.e * p.inertia;
    const double m = w * l * l * l / (24 * ei) / (l / (2 * ei) + 1 / RIGID);

    for (const int code : {int{LC_SUSTAINED}, operating_code(1)}) {
        const CaseResults& c = result(code);
        const std::vector<double> a = support(c, 10), b = support(c, 20);
        expect_relative(a[1], w * l / 2, REL, "anchor 10 holds half the weight");
        expect_relative(b[1], w * l / 2, REL, "anchor 20 holds half the weight");
        expect_relative(a[5], m, REL, "end moment at 10");
        expect_relative(b[5], -m, REL, "end moment at 20");
        EXPECT_NEAR(a[0], 0.0, 1e-9 * w * l);
    }
}

TEST_F(BatchLoadsTest, InsulatedCantileverInSIWithTheRowsContentsAndUniformLoad)
{
    // 5 m of 8 in pipe (219.1 x 8.18 mm) from an anchor: 50 mm of insulation
    // at 130 kg/m3, a 3 mm lining at 1500 kg/m3; the row gives contents of
    // specific gravity 1.1 and a uniform load of 15 kg/m.
    run("Insulated cantilever\n" + SI_HEAD +
        "P8I,219.1,8.18,,,130,50,1500,3\n"
        "LAYOUT\n"
        "F10,MCS,PP8I,KA,CSG=1.1,U=15,AMB=20\n"
        "T20,X5000\n");
    if (HasFatalFailure())
        return;

    // N and mm: a density of rho kg/m3 weighs rho g 1e-9 N/mm3.
    const Tube p{219.1, 8.18, 200000, 0.29};
    const double per_mm3 = G_SI * 1e-9;
    const double water = WATER * 0.45359237 / std::pow(0.0254, 3);   // kg/m3
    const double bore = p.ri - 3;
    const double w = weight_si(p) + 130 * per_mm3 * ring(p.ro + 50, p.ro) + 1500 * per_mm3 * ring(p.ri, bore) +
                     1.1 * water * per_mm3 * PI * bore * bore + 15 * G_SI / 1000;
    const double l = 5000;

    // Statically determinate: the anchor holds the weight and its moment.
    const CaseResults& c = result(LC_SUSTAINED);
    const std::vector<double> a = support(c, 10);
    expect_relative(a[1] * NEWTON, w * l, REL, "anchor force");
    expect_relative(a[5] * NEWTON * MM, w * l * l / 2, REL, "anchor moment");
}

TEST_F(BatchLoadsTest, ClosedEndPressureElongationHeldByTwoAnchors)
{
    // 20 ft of 8 in STD between anchors at 1000 psi and the reference
    // temperature: only the pressure strains the pipe along its axis.
    run(pressure_line(""));
    if (HasFatalFailure())
        return;

    // A closed thin-walled cylinder: hoop stress P rm / t, axial P rm / 2t,
    // axial strain (P rm / 2t - nu P rm / t) / E. The anchors and the pipe
    // in series hold back the free elongation l times it.
    const Tube p{8.625, 0.322, 27.9e6, 0.3};
    const double pressure = 1000, l = 240, rm = (p.od - p.t) / 2;
    const double strain = (pressure * rm / (2 * p.t) - p.nu * pressure * rm / p.t) / p.e;
    const double n = strain * l / (l / (p.e * p.area) + 2 / RIGID);

    // The strain goes with the thermal cases; Sustained has none.
    for (const int code : {int{LC_EXPANSION_T1}, operating_code(1)}) {
        const CaseResults& c = result(code);
        expect_relative(support(c, 10)[0], n, REL, "anchor 10 pushes the pipe back");
        expect_relative(support(c, 20)[0], -n, REL, "anchor 20 pushes it back");
        expect_relative(c.forces[0].f[1], -n, REL, "the pipe is in compression");
    }
    EXPECT_NEAR(support(result(LC_SUSTAINED), 10)[0], 0.0, 1e-9 * n);
}

TEST_F(BatchLoadsTest, ClosedEndPressureElongationLeftOutWhenTheOptionsSaySo)
{
    // The second value of the OPPRES line turns the pressure strain off.
    run(pressure_line("OPPRES\n0,0,1,1\n"));
    if (HasFatalFailure())
        return;
    EXPECT_NEAR(support(result(LC_EXPANSION_T1), 10)[0], 0.0, 1e-6);
}

TEST_F(BatchLoadsTest, SpanInTheWindOfAPressureAndAVelocityProfile)
{
    // 20 ft of insulated 8 in pipe (2 in) between anchors at an elevation of
    // 20 ft. Wind 1 along +Z: pressure 0.1 psi at grade, 0.2 psi at 40 ft,
    // shape factor 0.7. Wind 2 along -Z: 80 mph at grade, 120 mph at 40 ft,
    // shape factor 0 (taken as 0.6). The pipe load lets the wind act.
    run("Span in the wind\n" + ENGLISH_HEAD + WIND_SPAN_SECTION +
        "WIND1\n"
        "0,0.7,0,0,1,0,0,0,0\n"
        "2\n"
        "0,0.1\n"
        "480,0.2\n"
        "WIND2\n"
        "0,0,0,0,-1,0,0,0,1\n"
        "2\n"
        "0,80\n"
        "480,120\n"
        "LAYOUT\n" +
        WIND_SPAN_LAYOUT);
    if (HasFatalFailure())
        return;

    // The force on the span: pressure times the exposed width (outside
    // diameter and insulation) times the length. The profiles are linear
    // between their points: half way up, at 240 in.
    const double width = 8.625 + 2 * 2, l = 240;
    const double p1 = (0.1 + (0.2 - 0.1) * 240 / 480) * 0.7;
    const double v = 80 + (120 - 80) * 240.0 / 480;
    const double p2 = 0.00256 * v * v / 144 * 0.6;   // q = 0.00256 V^2 psf, V in mph
    const CaseResults& w1 = result(LC_WIND);
    expect_relative(support(w1, 10)[2] + support(w1, 20)[2], -p1 * width * l, REL, "wind 1 on the span");
    expect_relative(support(w1, 10)[2], -p1 * width * l / 2, REL, "half of it at each anchor");
    EXPECT_NEAR(support(w1, 10)[1], 0.0, 1e-9 * p1 * width * l);
    const CaseResults& w2 = result(107);
    expect_relative(support(w2, 10)[2] + support(w2, 20)[2], p2 * width * l, REL, "wind 2 on the span");
}

TEST_F(BatchLoadsTest, SpanInTheDesignWindOfAsce7)
{
    // The same span under the ASCE/SEI 7-10 design wind along +Z: risk
    // category II, V = 115 mph, Kd 0.85, exposure C, no hill, moderately
    // smooth surface, gust-effect factor 0.85.
    run("Span in the design wind\n" + ENGLISH_HEAD + WIND_SPAN_SECTION +
        "ASCEW\n"
        "1,115,0.85,1,0,0,0,0,0,0,0.85\n"
        "WIND1\n"
        "1,0,0,0,1\n"
        "LAYOUT\n" +
        WIND_SPAN_LAYOUT);
    if (HasFatalFailure())
        return;

    // Table 29.3-1 note 1, exposure C (alpha 9.5, zg 900 ft, table 26.9-1):
    // Kz = 2.01 (z / zg)^(2 / alpha) at z = 20 ft. Eq. 29.3-1:
    // qz = 0.00256 Kz Kzt Kd V^2 psf, Kzt = 1 on flat ground.
    const double z = 20.0, kz = 2.01 * std::pow(z / 900.0, 2 / 9.5);
    const double qz = 0.00256 * kz * 1.0 * 0.85 * 115.0 * 115.0;
    // Figure 29.5-1, a round member: D sqrt(qz) (ft, psf) above 2.5 and a
    // moderately smooth surface give Cf 0.5, 0.6, 0.7 at h/D = 1, 7, 25,
    // linear between; h is the height, 20 ft.
    const double width = 8.625 + 2 * 2, l = 240;
    ASSERT_GT(width / 12 * std::sqrt(qz), 2.5);
    const double ratio = 240 / width;
    const double cf = 0.6 + (0.7 - 0.6) * (ratio - 7) / (25 - 7);
    // Eq. 29.5-1: F = qz G Cf Af.
    const double force = qz / 144 * 0.85 * cf * width * l;
    const CaseResults& w = result(LC_WIND);
    expect_relative(support(w, 10)[2] + support(w, 20)[2], -force, REL, "design wind on the span");
}

TEST_F(BatchLoadsTest, SeismicGInTwoDirectionsCombinedBySrss)
{
    run("Seismic L\n" + ENGLISH_HEAD + "P6,6.625,0.28\nSEISMIC\n0.3,0,0.4,2\n" + SEISMIC_L_LAYOUT);
    if (HasFatalFailure())
        return;
    check_seismic_l(result(LC_SEISMIC_G), 2);
}

TEST_F(BatchLoadsTest, SeismicGInTwoDirectionsCombinedByTheAbsoluteSum)
{
    run("Seismic L\n" + ENGLISH_HEAD + "P6,6.625,0.28\nSEISMIC\n0.3,0,0.4,1\n" + SEISMIC_L_LAYOUT);
    if (HasFatalFailure())
        return;
    check_seismic_l(result(LC_SEISMIC_G), 1);
}

TEST_F(BatchLoadsTest, ComponentSeismicForceOfAsce7OnAllThreeAxes)
{
    // The SEISMIC line lets all three axes act; the ASCES line then gives
    // their factors: risk category II, site class D, SS 0.6, the attachment
    // at 20 ft in a 40 ft structure, ap 2.5, Rp 3, Ip 1.25, ASD factor 0.7,
    // the directions combined by SRSS.
    run("ASCE seismic L\n" + ENGLISH_HEAD + "P6,6.625,0.28\nSEISMIC\n1,1,1\nASCES\n1,3,0.6,240,480,2.5,3,1.25,0.7,2\n" +
        SEISMIC_L_LAYOUT);
    if (HasFatalFailure())
        return;

    // Table 11.4-1, site class D: Fa 1.4 at SS 0.5 and 1.2 at 0.75, linear
    // between. SMS = Fa SS (eq. 11.4-1), SDS = 2/3 SMS (eq. 11.4-3).
    const double fa = 1.4 + (1.2 - 1.4) * (0.6 - 0.5) / (0.75 - 0.5);
    const double sds = 2.0 / 3.0 * fa * 0.6;
    // Eq. 13.3-1: Fp = 0.4 ap SDS Wp (1 + 2 z/h) / (Rp / Ip), within 0.3 SDS
    // Ip Wp (eq. 13.3-3) and 1.6 SDS Ip Wp (eq. 13.3-2); here between them.
    const double fp = 0.4 * 2.5 * sds * (1 + 2 * 240.0 / 480.0) / (3 / 1.25);
    ASSERT_GT(fp, 0.3 * sds * 1.25);
    ASSERT_LT(fp, 1.6 * sds * 1.25);
    // Allowable stress design: 0.7 E, the vertical effect 0.2 SDS (12.4.2.2).
    const double horizontal = 0.7 * fp, vertical = 0.7 * 0.2 * sds;

    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const double w = 0.283 * p.area;
    const Reaction x = l_cantilever_reaction(horizontal * w, {1, 0, 0});
    const Reaction y = l_cantilever_reaction(vertical * w, {0, 1, 0});
    const Reaction z = l_cantilever_reaction(horizontal * w, {0, 0, 1});
    const std::vector<double> a = support(result(LC_SEISMIC_G), 10);
    const char* names[6] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
    for (std::size_t d = 0; d < 3; ++d) {
        expect_relative(a[d], std::sqrt(x.f[d] * x.f[d] + y.f[d] * y.f[d] + z.f[d] * z.f[d]), REL, names[d]);
        expect_relative(a[d + 3], std::sqrt(x.m[d] * x.m[d] + y.m[d] * y.m[d] + z.m[d] * z.m[d]), REL,
                        names[d + 3]);
    }
}

TEST_F(BatchLoadsTest, HydrotestFillsTheLineWithWaterAndTestsItsBellowsAtTheTestPressure)
{
    // 8 in STD from anchor 10: 120 in of pipe, a 12 in bellows (axial 2000
    // lb/in, thrust area 72 in2), 240 in of pipe to anchor 40. In service:
    // 250 degF, 300 psi, contents of specific gravity 0.8. The hydrotest row
    // fills every row after it with water at 450 psi, at the reference
    // temperature (the row gives none).
    run("Hydrotest\n" + ENGLISH_HEAD +
        "P8,8.625,0.322\n"
        "LOADS\n"
        "L1,250,300,0.8\n"
        "LAYOUT\n"
        "F10,MA106B,PP8,KA,CL=L1\n"
        "H,CHSG=1.0,HPRES=450\n"
        "T20,X120\n"
        "T30,X12,JE,CES(2000,5000,1E6),TA=72,BK=1E6\n"
        "T40,X240,KA\n");
    if (HasFatalFailure())
        return;

    const Tube p{8.625, 0.322, 27.9e6, 0.3};
    const double ea = p.e * p.area, bore = PI * p.ri * p.ri;
    // Along X: anchor, pipe EA/120, bellows 2000 lb/in, pipe EA/240, anchor
    // in a chain; the thrust P A pushes node 20 back and node 30 on.
    auto anchors = [&](double thrust) {
        const double k[3] = {ea / 120, 2000, ea / 240};
        Dense a(4, std::vector<double>(4, 0.0));
        a[0][0] += RIGID;
        a[3][3] += RIGID;
        for (std::size_t e = 0; e < 3; ++e) {
            a[e][e] += k[e];
            a[e + 1][e + 1] += k[e];
            a[e][e + 1] -= k[e];
            a[e + 1][e] -= k[e];
        }
        const std::vector<double> u = solve_dense(a, {0, -thrust, thrust, 0});
        return std::array<double, 2>{-RIGID * u[0], -RIGID * u[3]};
    };
    // Vertically the anchors hold the steel of the pipes (the bellows weighs
    // nothing of its own) and the contents of all 372 in.
    auto weight = [&](double gravity) { return 0.283 * p.area * 360 + gravity * WATER * bore * 372; };

    const CaseResults& h = result(LC_HYDROTEST);
    const auto test = anchors(450 * 72);
    expect_relative(support(h, 10)[0], test[0], REL, "anchor 10 along X, hydrotest");
    expect_relative(support(h, 40)[0], test[1], REL, "anchor 40 along X, hydrotest");
    expect_relative(support(h, 10)[1] + support(h, 40)[1], weight(1.0), REL, "the line full of water");

    // Sustained carries the contents in service and the largest pressure.
    const CaseResults& s = result(LC_SUSTAINED);
    const auto service = anchors(300 * 72);
    expect_relative(support(s, 10)[0], service[0], REL, "anchor 10 along X, sustained");
    expect_relative(support(s, 10)[1] + support(s, 40)[1], weight(0.8), REL, "the line in service");
}

TEST_F(BatchLoadsTest, ConcentratedWeightOffItsNodeAndAForceOfTheFirstThermalSet)
{
    // 10 ft of 6 in STD from an anchor; at its tip a 500 lb operator 18 in
    // off the pipe along Z, and a force of 1000 lb down, chosen to act with
    // thermal set 1 (a choice the batch file leaves at W+P). A seismic load
    // of 0.5 g along X.
    run("Operator and force\n" + ENGLISH_HEAD +
                     "P6,6.625,0.28\n"
                     "LOADS\n"
                     "L1,70,0\n"
                     "SEISMIC\n"
                     "0.5\n"
                     "LAYOUT\n"
                     "F10,MA106B,PP6,KA,CL=L1\n"
                     "T20,X120,CCWGT=500,OFFSET(0,0,18)\n"
                     "L20,CFOR(0,-1000,0)\n",
                 [] {
                     for (int r = 1; r <= numrows(); ++r)
                         if (auto* force = dynamic_cast<ForceLoad*>(model().rows[r].data.get()))
                             force->load_case = 1;
                 });
    if (HasFatalFailure())
        return;

    const Tube p{6.625, 0.28, 27.9e6, 0.3};
    const double w = 0.283 * p.area, l = 120, operator_weight = 500, arm = 18, force = 1000;
    // The anchor holds the loads and their moments about it: the operator
    // at (l, 0, arm) weighing W along -Y has the moment (arm W, 0, -l W).
    const CaseResults& s = result(LC_SUSTAINED);
    std::vector<double> a = support(s, 10);
    expect_relative(a[1], w * l + operator_weight, REL, "weight, sustained");
    expect_relative(a[5], w * l * l / 2 + l * operator_weight, REL, "bending, sustained");
    expect_relative(a[3], -arm * operator_weight, REL, "torsion, sustained");
    // The tip turns under the torsion: T (l / GJ + 1 / Kr), J = 2I.
    expect_relative(at(s, 20)[3], arm * operator_weight * (l / (p.g * 2 * p.inertia) + 1 / RIGID), REL,
                    "tip rotation about X");

    // The force acts where set 1 does and not in Sustained.
    const CaseResults& e = result(LC_EXPANSION_T1);
    a = support(e, 10);
    expect_relative(a[1], force, REL, "force, expansion");
    expect_relative(a[5], force * l, REL, "its moment, expansion");
    const CaseResults& o = result(operating_code(1));
    a = support(o, 10);
    expect_relative(a[1], w * l + operator_weight + force, REL, "weight and force, operating");
    expect_relative(a[5], w * l * l / 2 + l * (operator_weight + force), REL, "bending, operating");

    // 0.5 g along X: the operator's 250 lb at its arm turns the anchor about Y.
    const CaseResults& g = result(LC_SEISMIC_G);
    a = support(g, 10);
    expect_relative(a[0], -0.5 * (w * l + operator_weight), REL, "seismic force");
    expect_relative(a[4], -0.5 * operator_weight * arm, REL, "seismic moment about Y");
    EXPECT_NEAR(a[1], 0.0, 1e-9 * operator_weight);
}
