// The CAESAR II neutral file import's messages, each for a crafted bad line
// with its exact text and line number, and its rules: version thresholds,
// heads, the optional COORDS section, temperatures with their offset, the
// find-or-add of sections, materials, loads and hydrotest rows, restraints
// at band and intermediate nodes, and the unit choices the factors make.
#include "closeness.h"
#include "framework/strings.h"
#include "exchange/cii_build.h"
#include "exchange/data/cii_fixture.h"
#include "exchange/data/neutral_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "loads/hydrotest_load.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/load_cases.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"

#include <sstream>

namespace neutral_test {
namespace {

using namespace cii_test;

class CaesarMessages : public NeutralTest {
protected:
    // The small file with line n replaced: refused with the message at
    // that line, and the model empty.
    void expect_line_refused(std::vector<std::string> lines, int n, const std::string& replaced,
                             const std::string& message)
    {
        lines[static_cast<std::size_t>(n - 1)] = replaced;
        EXPECT_EQ(import_cii(text_of(lines)), cii_error(n, replaced, message));
        EXPECT_EQ(numrows(), 0);
    }
};

TEST_F(CaesarMessages, ReadingStageMessagesNameTheLine)
{
    const std::vector<std::string> lines = lines_of(small_cii().text());
    const int control = line_of(lines, "#$ CONTROL");
    const int element = line_of(lines, "#$ ELEMENTS") + 1;
    const std::string reals6 = lines[static_cast<std::size_t>(element - 1)];
    expect_line_refused(lines, 2, c_format("%13.6E%13.6E", 5.0, 4.4), "Cannot Import CAESAR II Neutral file version < 4.5");
    expect_line_refused(lines, 2, c_format("%13.6E%13.6E", 5.0, 10.01),
                        "Cannot Import CAESAR II Neutral file with version > 10.0: version 10.01 found, versions 4.5 "
                        "to 10.0 are read");
    expect_line_refused(lines, line_of(lines, "#$ BEND"), "#$ BANDS", "#$ BEND not found");
    expect_line_refused(lines, line_of(lines, "#$ MISCEL_1"), "MISCELLANEOUS", "#$ MISCEL_1 not found");
    expect_line_refused(lines, element, c_format("%13.6E%13.6E%13.6E%13.6E%13.6E%13.6E", 100000.0, 20.0, 1.0, 0.0, 0.0, 6.625),
                        "From Node number cannot be > 99999");
    expect_line_refused(lines, element, c_format("%13.6E%13.6E%13.6E%13.6E%13.6E%13.6E", 10.0, 123456.0, 1.0, 0.0, 0.0, 6.625),
                        "To Node number cannot be > 99999");
    expect_line_refused(lines, element + 1, "  0.28  0  0  300  1.2.3  0", "Invalid number :  1.2.3");
    expect_line_refused(lines, element + 1, "  0.28  0  0  300  NAN  0", "Invalid number :  NAN");
    expect_line_refused(lines, element + 1, "  0.28  0  0  300  1E999  0", "Invalid number :  1E999");
    expect_line_refused(lines, control + 2, "  0  0  0  1.5  0  0", "Invalid integer :  1.5");
    expect_line_refused(lines, control + 1, "  2  0  0  -1  0  0", "Invalid count :  -1");
    expect_line_refused(lines, control + 1, "  7001  0  0  0  0  0", "Maximum number of elements exceeded");
    expect_line_refused(lines, line_of(lines, "#$ UNITS") + 1, "  0  1  1  1  1  1", "Invalid conversion factor :  0");
    // A word where a number is read is quoted as the file writes it (a
    // Fortran exponent is read as D, but words keep their letters).
    expect_line_refused(lines, element + 1, "  0.28  0  0  300  10 unassigned", "Invalid number :  unassigned");
    expect_line_refused(lines, control + 2, "  0  0  0  1d  0  0", "Invalid integer :  1d");
    // A file that ends anywhere after its first element and before its last
    // section ends with "End of file reached" at the line after its last,
    // where the next line should be (one that ends before its first element
    // holds no model).
    for (const std::string head : {"#$ AUX_DATA", "#$ RESTRANT", "#$ MISCEL_1", "#$ UNITS"}) {
        std::vector<std::string> cut(lines.begin(), lines.begin() + line_of(lines, head) + 1);
        EXPECT_EQ(import_cii(text_of(cut)), cii_error(static_cast<int>(cut.size()) + 1, "", "End of file reached"));
    }
    EXPECT_EQ(numrows(), 0);
    (void)reals6;
}

// The row of the element that ends at a node.
int element_row_of(int node)
{
    for (int r = 1; r <= numrows(); ++r)
        if (model().rows[r].node == node && etype_is_element(model().rows[r].etype))
            return r;
    ADD_FAILURE() << "no element ends at " << node;
    return 1;
}

TEST_F(CaesarMessages, BuildMessagesNameTheLineOfTheRecord)
{
    struct Case {
        std::function<void(CiiFile&)> change;
        std::string section;   // the record stands after this head
        std::string message;
    };
    const std::vector<Case> cases = {
        {[](CiiFile& f) { f.elements[1].bend = 3; }, "#$ ELEMENTS", "Bend index 3 is not one of the 0 bends of the file"},
        {[](CiiFile& f) { f.elements[0].wall = 4.0; }, "#$ ELEMENTS", "Section 1: Thickness is greater than radius"},
        {[](CiiFile& f) { f.elements[0].nu = 0.6; }, "#$ ELEMENTS", "Invalid Poisson's ratio :  0.6"},
        {[](CiiFile& f) { f.elements[0].t[0] = -600; }, "#$ ELEMENTS", "Temperature is out of range :  -600"},
        {[](CiiFile& f) { f.elements[0].dx = 1.0e9; }, "#$ ELEMENTS", "DX, DY, DZ is out of range :  1e+09"},
        {[](CiiFile& f) {
             f.elements[1].bend = 1;
             f.bends.push_back({9, 45, 100000, 0, 0, 0});
         },
         "#$ BEND", "Bend node number must lie between 1 and 99999 :  100000"},
        {[](CiiFile& f) {
             std::array<std::array<double, 30>, 2> record{};
             record[0][0] = 20, record[0][1] = 6;
             f.sifs.push_back(record);
         },
         "#$ SIF&TEES", "For Extruded Tee, crotch radius is required"},
        {[](CiiFile& f) {
             std::array<double, 18> n{};
             n[0] = 30, n[3] = 6.625, n[4] = 0.28, n[5] = 96, n[6] = 0.5, n[10] = 60, n[13] = 1;
             f.nozzles.push_back(n);
         },
         "#$ MISCEL_1", "Length 1 required"},
        {[](CiiFile& f) { f.hangers.push_back({20, 9, 1}); }, "#$ MISCEL_1", "Number of hangers is invalid"},
        {[](CiiFile& f) { f.hangers.push_back({20, 1, -2}); }, "#$ MISCEL_1", "Invalid hanger table code :  -2"},
        {[](CiiFile& f) { f.restraints.push_back({{20, 9, 0, -0.5, 0, 0, {1, 0, 0}}}); }, "#$ RESTRANT",
         "Stiffness, gap and friction coefficient must not be negative"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        CiiFile f = small_cii();
        c.change(f);
        const std::string text = f.text();
        const std::vector<std::string> lines = lines_of(text);
        const std::string error = import_cii(text);
        // "line = n", the record's line as the file holds it, the message.
        const std::size_t first = error.find('\n'), last = error.rfind('\n');
        ASSERT_TRUE(first != std::string::npos && last > first) << error;
        EXPECT_EQ(error.substr(last + 1), c.message);
        const int line = std::atoi(error.c_str() + 7);
        EXPECT_GT(line, line_of(lines, c.section));
        ASSERT_LE(line, static_cast<int>(lines.size()));
        EXPECT_EQ(error.substr(first + 1, last - first - 1), lines[static_cast<std::size_t>(line - 1)]);
        EXPECT_EQ(numrows(), 0);
    }
}

class CaesarImport : public NeutralTest {};

TEST_F(CaesarImport, HeadsInLowerCaseOrFollowedByTextAreAccepted)
{
    std::string text = small_cii().text();
    for (const std::string head : {"#$ BEND", "#$ RIGID", "#$ UNITS"})
        text.replace(text.find(head), head.size(), "#$ " + lower_case(head.substr(3)) + " (and more)");
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    EXPECT_EQ(numrows(), 5);
}

TEST_F(CaesarImport, CoordsIsOptionalAndNodeNamesNeedTheirSection)
{
    CiiFile f = small_cii();
    f.coords_section = false;
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(numrows(), 5);
    // A count beyond the entries the file holds ends the section quietly.
    f.coords_section = true;
    std::string text = f.text();
    const std::size_t count = text.find("#$ COORDS\n") + 10;
    text.replace(count, 13, c_format("%13d", 5));
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    // A node-name count asks for its section.
    f.node_names = 2;
    text = f.text();
    text.erase(text.find("#$ NODENAME\n"), 12);
    const std::vector<std::string> lines = lines_of(text);
    const int line = line_of(lines, "#$ AUX_DATA") + 1;
    EXPECT_EQ(import_cii(text), cii_error(line, lines[static_cast<std::size_t>(line - 1)], "#$ NODENAME not found"));
}

TEST_F(CaesarImport, TitleStandsFromTheThirteenthCharacter)
{
    CiiFile f = small_cii();
    f.title = "  Cooling water   ";
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(model_title(), "COOLING WATER");
    std::string text = f.text();
    const std::size_t title = text.find("    TITLE =");
    text.replace(title, text.find('\n', title) - title, "   SHORT");
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    EXPECT_EQ(model_title(), "");
}

// T degF = (t - offset) / scale: English files are not shifted by 32 degF, a
// degC file with its offset is; the ambient temperature applies, below zero
// too, and a temperature the file leaves at 0 takes it.
TEST_F(CaesarImport, TemperaturesTakeTheOffsetAndTheAmbientTemperature)
{
    CiiFile f = small_cii();
    f.ambient = -20;
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    expect_value(pipe_loads()[1].temperature[1], 300, "English T1");
    expect_value(pipe_loads()[1].temperature[2], -20, "T2 not given");
    expect_value(analysis_options().reference_temperature, -20, "English ambient");
    f.units.temperature = 0.5555555555555556;
    f.units.temperature_offset = -17.77777777777778;
    f.elements[0].t[0] = f.elements[1].t[0] = 150;   // degC
    f.ambient = -10;
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    expect_relative(pipe_loads()[1].temperature[1], 150 * 1.8 + 32, 1e-6, "degC T1");
    expect_relative(analysis_options().reference_temperature, -10 * 1.8 + 32, 1e-6, "degC ambient");
    expect_relative(analysis_options().default_temperature, 14, 1e-6, "default temperature");
    EXPECT_EQ(unit_choice()[TEMPERATURE], 1);
}

TEST_F(CaesarImport, SectionsMaterialsLoadsAndHydrotestsAreFoundOrAdded)
{
    CiiFile f = small_cii();
    auto element = [&](double wall, double mill, double material, double density, double p1, double hydrotest) {
        CiiElementRecord e = f.elements.back();
        e.from = e.to;
        e.to += 10;
        e.dx = 10, e.dy = 0;
        e.wall = wall, e.mill = mill, e.material = material, e.density = density, e.p[0] = p1;
        e.hydrotest = hydrotest;
        f.elements.push_back(e);
    };
    element(0.28, 10, 106, 0.283, 100.0005, 500);   // the same section whatever the mill tolerance; the same load
    element(0.2802, 0, 106, 0.290, 100, 500.0005);  // another wall: a second section; another density
    element(0.28, 0, 107, 0.283, 101, 600);         // another material number, load and test pressure
    element(0.28, 0, 108, 0.283, 100, 0);
    element(0.28, 0, 109, 0.283, 100, 0);           // the fifth material
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(numsections(), 2);
    expect_value(pipe_sections()[2].thickness, 0.2802, "second wall");
    EXPECT_EQ(numloads(), 2);
    ASSERT_EQ(nummats(), 5);
    EXPECT_EQ(pipe_materials()[2].name, "2");
    EXPECT_EQ(pipe_materials()[4].name, "10");
    EXPECT_EQ(pipe_materials()[5].name, "11");
    std::vector<float> pressures;
    for (const LayoutRow& r : model().rows)
        if (r.etype == ET_HYDROTEST_LOAD)
            pressures.push_back(dynamic_cast<const HydrotestLoad&>(*r.element).pressure);
    EXPECT_EQ(pressures, (std::vector<float>{500, 600}));
}

// A rigid restraint written in another unit may come back just below
// 1.0e12: from 9.8e11 on it is rigid.
TEST_F(CaesarImport, RigidTestAllowsRoundingOfTheStiffness)
{
    CiiFile f = small_cii();
    f.restraints.push_back({{20, 3, 9.9e11, 0, 0, 0, {}}, {20, 3, 9.7e11, 0, 0, 0, {}}});
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(data<Restraint>(row_with(20, DT_RESTRAINT)).v.restrained, (std::array<uint8_t, 3>{0, 1, 0}));
    const SkewedRestraint& soft = data<SkewedRestraint>(row_with(20, DT_SKEWED_RESTRAINT));
    expect_value(soft.v.stiffness, 9.7e11, "below the rigid test");
    EXPECT_EQ(soft.v.direction, (std::array<float, 3>{0, 1, 0}));
}

// Items reach their row by the node's band (n mod 100000); at an
// intermediate node of a bend they stand at that node, at the bend's own
// node at its far end.
TEST_F(CaesarImport, ItemsFindTheirRowByBandAndIntermediateNode)
{
    CiiFile f = small_cii();
    CiiElementRecord bend = f.elements.back();
    bend.from = 30, bend.to = 40, bend.dy = 0, bend.dx = 120, bend.bend = 1;
    f.elements.push_back(bend);
    CiiElementRecord after = bend;
    after.from = 40, after.to = 50, after.dx = 0, after.dz = 120, after.bend = 0;
    f.elements.push_back(after);
    f.bends.push_back({12, 30, 38, 0, 0, 0});
    f.restraints.push_back({{300020, 2, 1e12, 0, 0, 0, {}}, {38, 3, 1e12, 0, 0, 0, {}}, {40, 4, 1e12, 0, 0, 0, {}}});
    std::array<CiiVectorBlock, 2> force{};
    force[0].node = 100020;
    force[0].vectors[0] = {5, 0, 0, 0, 0, 0};
    f.forces.push_back(force);
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(data<Restraint>(row_with(20, DT_RESTRAINT)).v.restrained, (std::array<uint8_t, 3>{1, 0, 0}));
    EXPECT_EQ(data<Restraint>(row_with(38, DT_RESTRAINT)).v.restrained, (std::array<uint8_t, 3>{0, 1, 0}));
    EXPECT_EQ(data<Restraint>(row_with(200040, DT_RESTRAINT)).v.restrained, (std::array<uint8_t, 3>{0, 0, 1}));
    EXPECT_EQ(data<ForceLoad>(row_with(20, DT_FORCE)).values[0], 5.0f);
    EXPECT_NE(node_index(38), 0);
    EXPECT_NE(node_index(200040), 0);
}

// Factors of N, N m, MPa, bar and kPa show the model in SI units, as the
// kilogram-force ones show it in metric units.
TEST_F(CaesarImport, FactorsChooseTheUnitsTheModelShows)
{
    CiiFile f = small_cii();
    f.units.stress = f.units.modulus = 6.894757;   // kPa
    f.units.pressure = 6.894757;                   // kPa
    f.units.force = 4.4482216;                     // N
    f.units.moment = 0.112984829;                  // N m
    f.units.stiffness = 0.175126835;               // N/mm
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(unit_choice()[STRESS], 1);      // MPa
    EXPECT_EQ(unit_choice()[MODULUS], 1);     // MPa
    EXPECT_EQ(unit_choice()[PRESSURE], 2);    // kPa
    EXPECT_EQ(unit_choice()[FORCE], 1);       // N
    EXPECT_EQ(unit_choice()[MOMENT], 2);      // N m
    EXPECT_EQ(unit_choice()[STIFFNESS], 1);   // N/mm
    f.units = CiiFactors{};
    f.units.force = 0.45359237;
    f.units.pressure = 0.070307;
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    EXPECT_EQ(unit_choice()[FORCE], 2);       // kg
    EXPECT_EQ(unit_choice()[PRESSURE], 5);    // kg/cm2
    EXPECT_EQ(unit_choice()[STRESS], 0);
}

// Fortran writes 13-column fields that touch where a value is negative, and
// may write its exponents with "D".
TEST_F(CaesarImport, FortranFieldsThatTouchAndDExponentsAreRead)
{
    CiiFile f = small_cii();
    f.d_exponents = true;
    f.elements[1].dx = -12.5;
    f.elements[1].dy = -120;
    f.elements[1].dz = -3;
    const std::string text = f.text();
    EXPECT_NE(text.find("D+01-1.250000D+01-1.200000D+02-3.000000D+00"), std::string::npos);
    ASSERT_NO_FATAL_FAILURE(cii_ok(text));
    const LayoutRow& r = model().rows[element_row_of(30)];
    EXPECT_EQ(r.dx, -12.5f);
    EXPECT_EQ(r.dy, -120.0f);
    EXPECT_EQ(r.dz, -3.0f);
}

TEST_F(CaesarImport, ModalAnalysisJoinsTheDefaultLoadCases)
{
    ASSERT_NO_FATAL_FAILURE(cii_ok(small_cii().text()));
    // The defaults of the imported model, and the modes after them.
    ASSERT_FALSE(load_case_list().empty());
    EXPECT_EQ(load_case_list().code(1), LC_SUSTAINED);
    EXPECT_EQ(load_case_list().code(load_case_list().count()), LC_MODAL);
    EXPECT_TRUE(notes_.items(CII_NOT_TAKEN).empty());
}

}  // namespace
}  // namespace neutral_test

namespace neutral_test {
namespace {

// Found by fuzzing: a type far beyond any the file has (4e15) makes no item
// and is named in the note, as types 19 to 24 are.
TEST_F(CaesarImport, TypesFarBeyondTheirRangeMakeNoItem)
{
    cii_test::CiiFile f = cii_test::small_cii();
    f.restraints.push_back({{20, 4e15, 0, 0, 0, 0, {}}});
    std::array<std::array<double, 30>, 2> sif{};
    sif[0][0] = 20, sif[0][1] = -3e12;
    f.sifs.push_back(sif);
    ASSERT_NO_FATAL_FAILURE(cii_ok(f.text()));
    for (const LayoutRow& r : model().rows)
        EXPECT_TRUE(r.node != 20 || r.dtype == DT_NONE);
    const std::vector<std::string> notes = notes_.items(CII_NOT_TAKEN);
    auto noted = [&notes](const std::string& start) {
        return std::count_if(notes.begin(), notes.end(), [&](const std::string& n) { return n.rfind(start, 0) == 0; });
    };
    EXPECT_EQ(noted("restraint of type 4e+15 at node 20"), 1);
    EXPECT_EQ(noted("SIF of type -1"), 1);
}

}  // namespace
}  // namespace neutral_test
