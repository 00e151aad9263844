// The checks of load values: a pipe load's design values against its sets
// in use, the faults of records and spectra, the curve text reader's rules,
// and the hydrotest conditions that the rows put in force.
#include "analysis_core/analysis_model.h"
#include "loads/curve_text.h"
#include "loads/data/loads_fixture.h"

#include <fstream>
#include <limits>

using namespace loads_test;

namespace {

class LoadValuesTest : public LoadsFileTest {
protected:
    std::string text_file(const std::string& text) const
    {
        const std::string file = path("curve.txt");
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
};

}  // namespace

TEST_F(LoadValuesTest, DesignValuesAreCheckedOverTheSetsInUse)
{
    // The line L1,300,150,1.0,400 of a batch file: T2 = 400 above the
    // design temperature 300 counts only once two sets are in use.
    PipeLoad l = pipe_load("L1", 300.0f, 150.0f);
    l.temperature[2] = 400.0f;
    numtloads() = 1;
    EXPECT_EQ(check_design_values(l), "");
    numtloads() = 2;
    EXPECT_EQ(check_design_values(l), "Design Temperature should be at least the highest Operating temperature");
    l.design_temperature = 400.0f;   // equal to the highest passes
    EXPECT_EQ(check_design_values(l), "");
    l.pressure[2] = 150.5f;
    EXPECT_EQ(check_design_values(l), "Design Pressure should be at least the highest Operating pressure");
    // Any count above 3 takes all ten sets.
    numtloads() = 10;
    EXPECT_EQ(load_sets_in_use(), 10);
    l.temperature[10] = 900.0f;
    EXPECT_FLOAT_EQ(load_max_temperature(l), 900.0f);

    // A new load: default temperatures, entered-zero pressures, wind off
    // (as a batch file's load line without its wind option).
    analysis_options().default_temperature = 60.0f;
    const PipeLoad fresh = make_pipe_load();
    EXPECT_FLOAT_EQ(fresh.temperature[7], 60.0f);
    EXPECT_EQ(fresh.pressure[7], ENTERED_ZERO);
    EXPECT_EQ(fresh.wind, 0);
    EXPECT_EQ(make_beam_load().wind, 0);
    // -460 degF is absolute zero and passes; below it does not.
    l.temperature[3] = -460.0f;
    EXPECT_EQ(pipe_load_fault(l), "");
    l.temperature[3] = -460.5f;
    EXPECT_EQ(pipe_load_fault(l), "T3 is invalid");
}

TEST_F(LoadValuesTest, SpectrumFaults)
{
    Spectrum s;
    s.name = "S";
    s.curve = curve({{0.5f, 0.2f}, {5.0f, 0.0f}});
    EXPECT_EQ(spectrum_fault(s), "");
    s.interpolation = INTERPOLATE_LOG;
    EXPECT_EQ(spectrum_fault(s), "point 2: a logarithmic spectrum needs ordinates above 0");
    s.interpolation = INTERPOLATE_LINEAR;
    s.ordinate_unit = 5;
    EXPECT_EQ(spectrum_fault(s), "the ordinate unit is invalid");
    s.ordinate = ORDINATE_DISPLACEMENT;
    s.ordinate_unit = 3;
    EXPECT_EQ(spectrum_fault(s), "");
    EXPECT_NEAR(spectrum_ordinate_to_internal(ORDINATE_DISPLACEMENT, 3, 25.4), 1.0, 1e-12);
    EXPECT_NEAR(spectrum_ordinate_to_internal(ORDINATE_ACCELERATION, 0, 0.5), 193.2, 1e-12);
    s.abscissa = 2;
    EXPECT_EQ(spectrum_fault(s), "the abscissa kind is invalid");
    EXPECT_EQ(spectrum_name_fault(""), "Spectrum name is required");
    EXPECT_EQ(spectrum_name_fault(std::string(33, 'A')), "Spectrum name should be <= 32 characters");
    EXPECT_EQ(spectrum_name_fault(std::string(32, 'A')), "");
}

TEST_F(LoadValuesTest, CurveTextReaderRules)
{
    // Separators, comments, a heading before the points, CRLF line ends.
    EXPECT_EQ(read_curve_text(text_file("Time,Factor\r\n0,0\r\n; note\r\n0.5 , 1e0\r\n+1\t-2.5\r\n"), 10),
              curve({{0.0f, 0.0f}, {0.5f, 1.0f}, {1.0f, -2.5f}}));
    const std::string f = text_file("1 2\n2 3\n3 4\n");
    EXPECT_EQ(thrown_text([&] { read_curve_text(f, 2); }), f + "\nLine 3: more than 2 points");
    const std::string g = text_file("1 2\n2 3 4\n");
    EXPECT_EQ(thrown_text([&] { read_curve_text(g, 10); }), g + "\nLine 2: \"2 3 4\" is not a pair of numbers");
    const std::string h = text_file("1 2\n2 1e39\n");
    EXPECT_EQ(thrown_text([&] { read_curve_text(h, 10); }), h + "\nLine 2: a value is not a number");
    EXPECT_EQ(thrown_text([&] { read_curve_text(path("missing.txt"), 10); }),
              "Unable to open file:\n" + path("missing.txt"));
    EXPECT_EQ(curve_name_from_path("/a/b/site response.txt", 8), "SITE RES");
}

TEST_F(LoadValuesTest, HydrotestConditionsByRow)
{
    // Rows: a pipe (untested), a hydrotest row with an entered-zero
    // pressure, a pipe, a second hydrotest row, a pipe.
    from(10);
    row(20, ET_PIPE, 10, 0, 0);
    const int h1 = row(0, ET_HYDROTEST_LOAD);
    element_of<HydrotestLoad>(h1).pressure = ENTERED_ZERO;
    row(30, ET_PIPE, 10, 0, 0);
    const int h2 = row(0, ET_HYDROTEST_LOAD);
    element_of<HydrotestLoad>(h2).specific_gravity = 0.8f;
    element_of<HydrotestLoad>(h2).pressure = 900.0f;
    row(40, ET_PIPE, 10, 0, 0);
    AnalysisLoads loads;
    fill_hydrotest(model(), loads);
    ASSERT_EQ(loads.row_hydrotest.size(), 6);
    EXPECT_FALSE(loads.row_hydrotest[2].defined);
    EXPECT_TRUE(loads.row_hydrotest[3].defined);
    EXPECT_EQ(loads.row_hydrotest[4].pressure, 0.0);
    EXPECT_DOUBLE_EQ(loads.row_hydrotest[4].specific_gravity, 1.0);
    EXPECT_DOUBLE_EQ(loads.row_hydrotest[6].pressure, 900.0);
    EXPECT_NEAR(loads.row_hydrotest[6].specific_gravity, 0.8, 1e-7);
    // The model's hydrotest load is the first row's.
    EXPECT_TRUE(loads.hydrotest.defined);
    EXPECT_EQ(loads.hydrotest.pressure, 0.0);
    EXPECT_EQ(element_of<HydrotestLoad>(h1).fault(), "");
    element_of<HydrotestLoad>(h1).temperature = std::numeric_limits<float>::infinity();
    EXPECT_EQ(element_of<HydrotestLoad>(h1).fault(), "Temperature is invalid");
}
