// CAESAR II neutral files laid out as the public exporters write them: a
// version line of three numbers, an ambient line of six, reals with six
// significant digits. Lines are read as C's scanf reads them (values after
// those read ignored, values missing at the end read as 0 and counted in the
// closing note); the version is checked before anything else; an insulation
// density without a thickness is no insulation; and a temperature that the
// file leaves at 0 is the ambient, so that no set makes a thermal load the
// file does not give. Weights and thermal forces are worked by hand.
#include "closeness.h"
#include "exchange/batch_export.h"
#include "exchange/cii_build.h"
#include "exchange/data/cii_fixture.h"
#include "exchange/data/cii_solve_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "framework/units.h"
#include "loads/pipe_load.h"
#include "materials/pipe_section.h"
#include "model/analysis_options.h"
#include "model/nodes.h"

#include <numbers>

namespace batch_test {
namespace {

using namespace cii_test;
using std::numbers::pi;

constexpr double G = 9.80665;          // m/s2, standard gravity
constexpr double KG_M3 = 1.0e-9;       // kg/mm3 in a kg/m3

// A run of 168.3 x 7.11 mm pipe, 6 m along X from node 10 at (1000, 0, 500)
// mm to node 20, anchored at both ends, in a metric file (mm, N, kg/m3,
// degC, bar) as an exporter writes it, with an ambient of 10 degC.
struct MetricRun {
    double od = 168.3, wall = 7.11, length = 6000.0;        // mm
    double steel = 7833.0, fluid = 1000.0;                 // kg/m3
    double insulation = 0.0, insulation_density = 0.0;     // mm, kg/m3
    double ambient = 10.0;                                 // degC
    double t1 = 0.0;                                       // degC, 0: not given

    CiiFile file() const
    {
        CiiFile f;
        f.exporter_layout = true;
        f.title = "METRIC RUN";
        f.units = celsius_factors();
        f.ambient = ambient;
        CiiElementRecord e;
        e.from = 10, e.to = 20, e.dx = length, e.od = od, e.wall = wall;
        e.insulation = insulation, e.insulation_density = insulation_density;
        e.density = steel, e.fluid_density = fluid;
        e.t[0] = t1;
        f.elements.push_back(e);
        f.restraints.push_back({{10, 1, 0, 0, 0, 0, {}}, {20, 1, 0, 0, 0, 0, {}}});
        f.coords = {{10, 1000, 0, 500}};
        return f;
    }
};

class CiiFileTest : public CaesarSolveTest {
protected:
    // The file with line n (from 1) replaced.
    static std::string with_line(const std::string& text, int n, const std::string& replaced)
    {
        std::vector<std::string> lines = lines_of(text);
        lines[static_cast<std::size_t>(n - 1)] = replaced;
        return text_of(lines);
    }
};

// ---- Files as exporters write them ----------------------------------------------------------------

class CiiRealFiles : public CiiFileTest {};

TEST_F(CiiRealFiles, AnExportedRunImportsWithTheGeometryAndWeightByHand)
{
    MetricRun run;
    run.insulation = 50.0, run.insulation_density = 130.0;
    const std::string text = run.file().text();
    const std::vector<std::string> lines = lines_of(text);
    ASSERT_EQ(lines[1], "    5.00000      10.0000       1252");
    ASSERT_EQ(lines[static_cast<std::size_t>(line_of(lines, "#$ UNITS") - 4)],
              "            0            0      10.0000      10.0000            0            0");
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    EXPECT_EQ(model_title(), "METRIC RUN");
    EXPECT_EQ(notes_.count(CII_SHORT_LINES), 0);

    // Geometry: node 10 where COORDS puts it, node 20 6000 mm along X.
    const Vec3 p10 = node_position(model(), node_index(10)), p20 = node_position(model(), node_index(20));
    expect_relative(p10.x, 1000 / MM, 1e-6, "X of node 10");
    expect_relative(p10.z, 500 / MM, 1e-6, "Z of node 10");
    expect_relative(p20.x, 7000 / MM, 1e-6, "X of node 20");
    EXPECT_NEAR(p20.y, 0.0, 1e-9);
    expect_relative(p20.z, 500 / MM, 1e-6, "Z of node 20");
    const PipeSection& s = pipe_sections()[1];
    expect_relative(s.outside_diameter, 168.3 / MM, 1e-6, "outside diameter");
    expect_relative(s.thickness, 7.11 / MM, 1e-6, "wall");
    expect_relative(s.insulation_thickness, 50 / MM, 1e-6, "insulation thickness");

    // Weight by hand, N: (steel + contents + insulation) per length x length,
    // each rho g A with rho in kg/mm3 and A in mm2 (ID = 168.3 - 2 x 7.11 =
    // 154.08 mm; insulation from 168.3 to 268.3 mm):
    //   steel      7833 x pi/4 (168.3^2 - 154.08^2) = 7833 x 3600.5 mm2
    //   contents   1000 x pi/4 x 154.08^2           = 1000 x 18645.8 mm2
    //   insulation  130 x pi/4 (268.3^2 - 168.3^2)  =  130 x 34290.3 mm2
    // W = 9.80665 x 1e-9 x (28.2028e6 + 18.6458e6 + 4.4577e6) x 6000 = 3018.8 N.
    const double id = run.od - 2 * run.wall, outer = run.od + 2 * run.insulation;
    const double steel = run.steel * KG_M3 * pi / 4 * (run.od * run.od - id * id);
    const double contents = run.fluid * KG_M3 * pi / 4 * id * id;
    const double insulation = run.insulation_density * KG_M3 * pi / 4 * (outer * outer - run.od * run.od);
    const double weight = G * (steel + contents + insulation) * run.length;
    expect_relative(weight, 3018.8, 1e-4, "the hand sum");
    solve();
    const CaseResults& sustained = result(LC_SUSTAINED);
    const double fy = (support(sustained, 10)[1] + support(sustained, 20)[1]) * NEWTON;
    expect_relative(std::fabs(fy), weight, 1e-4, "the anchors carry the weight");
    // Symmetric: each anchor half of it.
    expect_relative(std::fabs(support(sustained, 10)[1]) * NEWTON, weight / 2, 1e-4, "anchor at 10");
}

TEST_F(CiiRealFiles, ValuesBeyondThoseReadAreIgnoredAndMissingOnesReadAsZeroWithANote)
{
    const std::string text = MetricRun{}.file().text();
    const std::vector<std::string> lines = lines_of(text);
    const int element = line_of(lines, "#$ ELEMENTS") + 1;
    // Line 2 of the element with a seventh value and a word after it; line 3
    // (T4..T9) cut after two values; the MISCEL_1 options line without its
    // last value.
    std::string changed = with_line(text, element + 1, lines[static_cast<std::size_t>(element)] + "  99.0  NOTE");
    changed = with_line(changed, element + 2, "      0.00000      0.00000");
    const int options = line_of(lines, "#$ UNITS") - 4;
    changed = with_line(changed, options, "            0            0            0            0      0.00000");
    ASSERT_NO_FATAL_FAILURE(cii_ok(changed));
    EXPECT_EQ(notes_.items(CII_SHORT_LINES),
              (std::vector<std::string>{c_format("line %d", element + 2), c_format("line %d", options)}));
    EXPECT_NE(notes_.text("").find(std::string(CII_SHORT_LINES) + ": line"), std::string::npos) << notes_.text("");
    // T4..T9 read as 0: the ambient (10 degC = 50 degF).
    for (std::size_t k = 1; k <= 10; ++k)
        expect_relative(pipe_loads()[1].temperature[k], 50.0, 1e-5, c_format("T%zu", k));

    // A field that is not a number where one is read refuses its line.
    const std::string bad = "      7.11000      0.00000      0.00000   HOT";
    EXPECT_EQ(import_cii(with_line(text, element + 1, bad)),
              neutral_test::cii_error(element + 1, bad, "Invalid number :  HOT"));
    EXPECT_EQ(numrows(), 0);
}

// Counts that promise records the file does not hold end the import at the
// line where the first missing record should stand, and nothing stays.
TEST_F(CiiRealFiles, CountsThatPromiseMissingRecordsAreRefusedWhereTheRecordsShouldBe)
{
    CiiFile f = MetricRun{}.file();
    f.rigids = {0.0};
    std::string text = f.text();
    std::vector<std::string> lines = lines_of(text);
    // Two rigids promised, one given: the second would stand on the EXPJT head.
    const int control = line_of(lines, "#$ CONTROL");
    const std::string counts = c_format("%13d%13d%13d%13d%13d%13d", 0, 2, 0, 1, 0, 0);
    const int expjt = line_of(lines, "#$ EXPJT");
    EXPECT_EQ(import_cii(with_line(text, control + 2, counts)),
              neutral_test::cii_error(expjt, "#$ EXPJT", "Invalid number :  #$"));
    EXPECT_EQ(numrows(), 0);

    // A file cut inside its elements: the end of the file is the line after its last.
    lines.resize(static_cast<std::size_t>(line_of(lines, "#$ ELEMENTS") + 4));
    EXPECT_EQ(import_cii(text_of(lines)),
              neutral_test::cii_error(static_cast<int>(lines.size()) + 1, "", "End of file reached"));
    EXPECT_EQ(numrows(), 0);

    // A count far beyond any file allocates nothing for it: the records end
    // at the first line that is none.
    lines = lines_of(text);
    const std::string huge = c_format("%13d%13d%13d%13d%13d%13d", 0, 1, 0, 2147483647, 0, 0);
    const int displmnt = line_of(lines, "#$ DISPLMNT");
    EXPECT_EQ(import_cii(with_line(text, control + 2, huge)),
              neutral_test::cii_error(displmnt, "#$ DISPLMNT", "Invalid number :  #$"));
    EXPECT_EQ(numrows(), 0);
}

// ---- The version line ------------------------------------------------------------------------------

class CiiVersionFirst : public CiiFileTest {};

TEST_F(CiiVersionFirst, TheVersionIsCheckedBeforeAnyOtherLine)
{
    const std::string text = MetricRun{}.file().text();
    // Version 11, written on three numbers, with a line after it that this
    // reader could not take: the version message, at line 2.
    std::string v11 = with_line(text, 2, "    5.00000      11.0000       1252");
    v11 = with_line(v11, 3, "not a title line of this version");
    EXPECT_EQ(import_cii(v11),
              neutral_test::cii_error(2, "    5.00000      11.0000       1252",
                                      "Cannot Import CAESAR II Neutral file with version > 10.0: version 11 found, "
                                      "versions 4.5 to 10.0 are read"));
    EXPECT_EQ(numrows(), 0);
    const std::string v4 = "    5.00000      4.00000       1252";
    EXPECT_EQ(import_cii(with_line(text, 2, v4)),
              neutral_test::cii_error(2, v4, "Cannot Import CAESAR II Neutral file version < 4.5"));
    // A version line that gives no version at all is no version 4.5 file.
    EXPECT_EQ(import_cii(with_line(text, 2, "    5.00000")),
              neutral_test::cii_error(2, "    5.00000", "Cannot Import CAESAR II Neutral file version < 4.5"));
    EXPECT_EQ(numrows(), 0);
    // 10.0 on three numbers, as written: taken.
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    EXPECT_EQ(numrows(), 5);
}

// ---- Insulation ------------------------------------------------------------------------------------

class CiiInsulation : public CiiFileTest {};

TEST_F(CiiInsulation, ADensityWithoutAThicknessIsNoInsulation)
{
    // Two elements, both with the exporter's insulation density of 130
    // kg/m3; only the first has 50 mm of insulation.
    MetricRun run;
    run.insulation = 50.0, run.insulation_density = 130.0;
    CiiFile f = run.file();
    CiiElementRecord e = f.elements[0];
    e.from = 20, e.to = 30, e.insulation = 0.0;
    f.elements.push_back(e);
    f.restraints[0][1].node = 30;
    const std::string text = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    ASSERT_EQ(numsections(), 2);
    // 130 kg/m3 = 130 / 27679.9 lb/in3 (the file's insulation density factor).
    expect_relative(pipe_sections()[1].insulation_density, 130 / 27679.9, 1e-6, "insulated density");
    EXPECT_EQ(pipe_sections()[2].insulation_thickness, 0.0f);
    EXPECT_EQ(pipe_sections()[2].insulation_density, 0.0f);
    const int line6 = line_of(lines_of(text), "#$ ELEMENTS") + 1 + 13 + 5;
    EXPECT_EQ(notes_.items(CII_NOT_TAKEN),
              std::vector<std::string>{
                  c_format("insulation density without insulation thickness, element 20-30 (line %d)", line6)});

    // The weight by hand, N: both 6 m spans carry steel and contents, only
    // the first its insulation (rho g A L, as in the exported run above).
    const double id = run.od - 2 * run.wall, outer = run.od + 2 * run.insulation;
    const double bare = (run.steel * (run.od * run.od - id * id) + run.fluid * id * id) * KG_M3 * pi / 4;
    const double insulation = run.insulation_density * KG_M3 * pi / 4 * (outer * outer - run.od * run.od);
    const double weight = G * run.length * (2 * bare + insulation);
    solve();
    const CaseResults& sustained = result(LC_SUSTAINED);
    const double fy = (support(sustained, 10)[1] + support(sustained, 30)[1]) * NEWTON;
    // The middle node is free: the two anchors carry all of it.
    expect_relative(std::fabs(fy), weight, 1e-4, "weight of the two spans");
}

// ---- Temperatures ----------------------------------------------------------------------------------

class CiiTemperatures : public CiiFileTest {};

TEST_F(CiiTemperatures, NoSetMakesAThermalLoadTheFileDoesNotGive)
{
    // Ambient 10 degC: (10 + 17.7778) / 0.5556 = 50 degF. All temperatures 0.
    ASSERT_NO_FATAL_FAILURE(cii_ok(MetricRun{}.file().text()));
    EXPECT_EQ(numtloads(), 10);
    for (std::size_t k = 1; k <= 10; ++k)
        expect_relative(pipe_loads()[1].temperature[k], 50.0, 1e-5, c_format("T%zu", k));
    expect_relative(analysis_options().default_temperature, 50.0, 1e-5, "default temperature");
    expect_relative(analysis_options().reference_temperature, 50.0, 1e-5, "ambient");
    solve();
    // Along a straight run between anchors only a thermal strain pushes the
    // anchors axially: every operating and expansion case leaves FX at 0.
    const double weight_scale = std::fabs(support(result(LC_SUSTAINED), 10)[1]);
    ASSERT_GT(weight_scale, 0.0);
    int cases = 0;
    for (const auto& [code, c] : results_) {
        const std::string& name = load_case_names(code);
        if (name.rfind("Operating", 0) != 0 && name.rfind("Expansion", 0) != 0)
            continue;
        ++cases;
        EXPECT_NEAR(support(c, 10)[0], 0.0, 1e-9 * weight_scale) << name;
        EXPECT_NEAR(support(c, 20)[0], 0.0, 1e-9 * weight_scale) << name;
    }
    EXPECT_TRUE(results_.count(106)) << "Operating (W+P10+T10) is run";
    EXPECT_GE(cases, 10);

    // A file without an ambient: every set and the default at 70 degF.
    MetricRun none;
    none.ambient = 0.0;
    ASSERT_NO_FATAL_FAILURE(cii_ok(none.file().text()));
    for (std::size_t k = 1; k <= 10; ++k)
        EXPECT_EQ(pipe_loads()[1].temperature[k], 70.0f) << k;
    EXPECT_EQ(analysis_options().default_temperature, 70.0f);
    EXPECT_EQ(analysis_options().reference_temperature, 70.0f);
}

TEST_F(CiiTemperatures, AGivenTemperaturePushesTheAnchorsWithEAAlphaDeltaTFromTheAmbient)
{
    MetricRun run;
    run.t1 = 200.0;   // degC
    ASSERT_NO_FATAL_FAILURE(cii_ok(run.file().text()));
    solve();
    // In degF: ambient 10 degC = 50, T1 200 degC = 392, dT = 342 degF. The
    // imported material's table runs from 70 degF (E 3.0e7 psi, alpha
    // 6.0e-6 /degF) to 1200 degF (2.0e7, 8.0e-6), linear between:
    // E(392) = 3.0e7 - 1.0e7 x 322/1130, alpha(392) = 6.0e-6 + 2.0e-6 x 322/1130.
    const double t = 392.0, dt = t - 50.0, f = (t - 70.0) / 1130.0;
    const double e = 3.0e7 - 1.0e7 * f, alpha = 6.0e-6 + 2.0e-6 * f;
    const Tube tube{168.3 / MM, 7.11 / MM, e, 0.3};
    const double l = run.length / MM;
    // The free growth alpha dT L held by the pipe's axial spring EA/L in
    // series with the two anchors' 1.0e12 lb/in.
    const double force = alpha * dt * l / (l / (e * tube.area) + 2 / RIGID);
    ASSERT_GT(force, 1.0e5);   // lb: the order of E A alpha dT = 191 000 lb
    for (int code : {LC_OPERATING_1, LC_EXPANSION_T1}) {
        const CaseResults& c = result(code);
        expect_relative(std::fabs(support(c, 10)[0]), force, 1e-5, load_case_names(code) + " at 10");
        expect_relative(std::fabs(support(c, 20)[0]), force, 1e-5, load_case_names(code) + " at 20");
    }
    // The sets the file leaves at 0 make no thermal force.
    EXPECT_NEAR(support(result(106), 10)[0], 0.0, 1e-9 * force);
}

// ---- Unit factors as the files write them ----------------------------------------------------------

class CiiUnitFactors : public CiiFileTest {};

// The metric run as the file's own program writes it: its factors rounded,
// the newton as 4.44800 lb, which lies 0.005 % from 4.4482216 (0.45359237
// kg x 9.80665 m/s2) and 0.00022 off. Every quantity of the file shows in
// its metric unit, as the other factors of the line choose; one allowable
// stress record read and not used is counted as one.
TEST_F(CiiUnitFactors, AForceFactorAsFilesWriteItShowsForcesInNewton)
{
    CiiFile f = MetricRun{}.file();
    f.allowables = 1;
    const std::string text = f.text();
    const int units = line_of(lines_of(text), "#$ UNITS") + 1;
    std::string factors = lines_of(text)[static_cast<std::size_t>(units - 1)];
    const std::size_t force = factors.find("4.44822");
    ASSERT_NE(force, std::string::npos) << factors;
    ASSERT_NO_FATAL_FAILURE(cii_ok(with_line(text, units, factors.replace(force, 7, "4.44800"))));
    EXPECT_EQ(unit_name(FORCE, current_unit(FORCE)), "N");
    for (const int q : {LENGTH, DIMENSION, WEIGHT, MOMENT, STRESS, TEMPERATURE, PRESSURE, MODULUS, DENSITY,
                        WEIGHT_DENSITY, STIFFNESS, ROT_STIFFNESS})
        EXPECT_NE(current_unit(q), 0) << unit_name(q, current_unit(q));
    EXPECT_EQ(notes_.items(CII_SKIPPED), std::vector<std::string>{"1 allowable stress record"});
}

// Places worked out from the file's numbers: a line 150 m out whose COORDS
// put node 30 at 157050 mm, where its elements make 157000 mm, is 50 mm off
// (the model's float coordinates hold 157000 mm to about 0.01 mm only).
TEST_F(CiiUnitFactors, PlacesFarOutAreWorkedFromTheFilesNumbers)
{
    CiiFile f = coords_off_line();
    for (std::array<double, 4>& c : f.coords)
        c[1] += 150000;
    const std::string text = f.text();
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    const std::vector<std::string> disagree = notes_.items(CII_COORDS_DISAGREE);
    ASSERT_EQ(disagree.size(), 2u) << notes_.text("");
    EXPECT_NE(disagree[1].find("its elements put it 50 mm away, at (157000, 0, 500) mm"), std::string::npos)
        << disagree[1];
}

// A factor of no listed unit is named with the unit its values show in:
// 4.5, and 4.4477, 0.012 % from the newton's 4.4482216 (past the 0.01 % a
// rounded factor may lie off), leave forces in lb; the newton's names none.
class UnknownUnitFactorNamed : public CiiFileTest {};

TEST_F(UnknownUnitFactorNamed, EachFactorOfNoUnitIsNamedWithTheUnitChosen)
{
    const std::string text = MetricRun{}.file().text();
    const int units = line_of(lines_of(text), "#$ UNITS") + 1;
    for (const std::string factor : {"4.50000", "4.44770", "4.44822"}) {
        std::string line = lines_of(text)[static_cast<std::size_t>(units - 1)];
        ASSERT_NO_FATAL_FAILURE(cii_ok(with_line(text, units, line.replace(line.find("4.44822"), 7, factor))));
        std::vector<std::string> named{c_format("force %g (line %d) in lb", std::stod(factor), units)};
        EXPECT_EQ(notes_.items(CII_UNKNOWN_FACTORS), factor == "4.44822" ? std::vector<std::string>{} : named);
    }
}

// The starts of branches stand where the file's numbers put them, in every
// version and layout and in either element order: branches 1500 mm along Y
// off the header of coords_off_line, which runs from node 10 at (1000, 0,
// 500) mm, here 2000 mm an element along X: 20 at X 3000, 30 at X 5000 mm.
class ImportedBranchPlacesExact : public CiiFileTest {};

TEST_F(ImportedBranchPlacesExact, BranchStartsExportAtTheFilesNumbers)
{
    struct Kind {
        const char* name;
        double version;
        bool exporter_layout = false, d_exponents = false, reversed = false;
    };
    for (const Kind& k : {Kind{"natural order", 10.0}, Kind{"as exporters write", 10.0, true},
                          Kind{"version 4.5, D exponents", 4.5, false, true}, Kind{"version 5.2", 5.2},
                          Kind{"reverse order", 10.0, false, false, true}}) {
        CiiFile f = coords_off_line(k.reversed);
        f.version = k.version, f.exporter_layout = k.exporter_layout, f.d_exponents = k.d_exponents;
        for (CiiElementRecord& e : f.elements)
            e.dx = 2000;
        for (const int from : {20, 30}) {
            CiiElementRecord e = f.elements.front();
            e.from = from, e.to = from + 1, e.dx = 0, e.dy = 1500;
            f.elements.push_back(e);
        }
        ASSERT_NO_FATAL_FAILURE(cii_ok(f.text())) << k.name;
        // Every row that starts a run there, however the order splits the runs.
        for (const std::string& line : lines_of(batch_export_text()))
            for (const std::string start : {"F20,X3000,Z500", "F30,X5000,Z500"})
                if (line.rfind(start.substr(0, 4), 0) == 0) {
                    EXPECT_EQ(line.substr(0, line.find(",C")), start) << k.name;
                }
    }
}

}  // namespace
}  // namespace batch_test
