// The hanger interface file from hangers whose designed values the test
// sets, in both unit systems, against values worked here.
#include "batch_fixture.h"
#include "exchange/hanger_interface_export.h"
#include "framework/text.h"
#include "supports/hanger.h"

namespace batch_test {
namespace {

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> fields_of(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(';', start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

// Inch units, Y vertical: a spring hanger at node 20 on a 4.5-inch line at
// 300 degF, a user hanger, a rod hanger, and a constant support on a
// Location row at node 30.
const std::string HANGER_MODEL = "HANGERS\n\nOPTIONS\nB313,IN\nMATERIAL\nCS,0.283\nCS,70,29.5E6\nPIPE\n"
                                 "P4,4.5,0.237,,,11,2\nLOADS\nL1,300,150\nLAYOUT\nF10,MCS,PP4,CL=L1\n"
                                 "T20,X100,CVS=2,HTYP=16\nT30,X100,CUS(1,500,300)\nT40,X100,CRH\nL30,CCS,TAG=CS-7\n";

class HangerInterfaceTest : public BatchTest {
protected:
    void SetUp() override
    {
        BatchTest::SetUp();
        import_ok(HANGER_MODEL);
        HangerDesign& d = data<Hanger>(row_of(20)).v.design;
        d.figure = "B-268";
        d.size = "10";
        d.spring_rate = 600.0f;        // lb/in
        d.vertical_travel = 0.5f;      // in
        d.horizontal_travel = 0.25f;   // in
        d.hot_load = 1500.0f;          // lb
        HangerDesign& c = data<Hanger>(numrows()).v.design;   // the Location row, last
        c.figure = "CONST";
        c.size = "80";
        c.hot_load = 0.0f;
        c.vertical_travel = 1.0f;
    }
};

TEST_F(HangerInterfaceTest, HangerInterfaceImperialRecordsFromTheDesignedValues)
{
    const std::vector<std::string> lines = lines_of(hanger_interface_text());
    ASSERT_EQ(lines.size(), 5u);   // header lines, the spring hanger, the constant support
    EXPECT_EQ(lines[0], "Interface KORVANE LICAD Version: 1.0");
    EXPECT_EQ(lines[1], "IMPERIAL");
    EXPECT_EQ(fields_of(lines[2]).size(), 24u);
    const std::vector<std::string> f = fields_of(lines[3]);
    ASSERT_EQ(f.size(), 24u);
    // Load variation: 600 lb/in x 0.5 in / 1500 lb = 0.2.
    const std::vector<std::string> expected = {
        "20 2",  "100.0000", "0.0000", "0.0000", "B-268",  "10",     "4.5000",        "2.0000",
        "300",   "118.1102", "1500",   "0.0",    "0.2500", "0.5000", "0.2500",        "0.0",
        "0.0",   "X_180.000", "1.00_0.00_0.00", "0.00_1.00_0.00", "HOT", "0.200", "0.00", "0.5000"};
    EXPECT_EQ(f, expected);
}

TEST_F(HangerInterfaceTest, HangerInterfaceMetricRecordsInMillimetresNewtonsAndCelsius)
{
    unit_choice()[LENGTH] = 4;
    const UnitChoices user = unit_choice();
    const std::vector<std::string> lines = lines_of(hanger_interface_text());
    EXPECT_EQ(unit_choice(), user);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "METRIC");
    const std::vector<std::string> f = fields_of(lines[3]);
    // 100 in = 2540 mm; 4.5 in = 114.3 mm; 2 in = 50.8 mm; 300 degF = (300 - 32) / 1.8 = 148.9 degC;
    // 1500 lb x 4.4482216 N/lb = 6672.33 N; 0.25 in = 6.350 mm, 0.5 in = 12.700 mm.
    EXPECT_EQ(f[1], "2540");
    EXPECT_EQ(f[6], "114.3");
    EXPECT_EQ(f[7], "50.8");
    EXPECT_EQ(f[8], "148.9");
    EXPECT_EQ(f[9], "3000");
    EXPECT_EQ(f[10], "6672.33");
    EXPECT_EQ(f[12], "6.350");
    EXPECT_EQ(f[13], "12.700");
    EXPECT_EQ(f[21], "0.200");
}

TEST_F(HangerInterfaceTest, HangerInterfaceLeavesOutUserAndRodHangersAndTakesALocationRowsGeometry)
{
    const std::vector<std::string> lines = lines_of(hanger_interface_text());
    ASSERT_EQ(lines.size(), 5u);
    const std::vector<std::string> f = fields_of(lines[4]);
    // The constant support on the Location row at node 30: its tag, the
    // coordinates of node 30 and the section, load and direction of row T30.
    EXPECT_EQ(f[0], "CS-7 1");
    EXPECT_EQ(f[1], "200.0000");
    EXPECT_EQ(f[6], "4.5000");
    EXPECT_EQ(f[8], "300");
    EXPECT_EQ(f[18], "1.00_0.00_0.00");
    // A hot load of 0 gives a load variation of 0.
    EXPECT_EQ(f[21], "0.000");
}

TEST_F(HangerInterfaceTest, HangerInterfaceRowWithoutSectionOrLoadAndZVertical)
{
    LayoutRow& row = model().rows[row_of(20)];
    row.section.clear();
    row.load.clear();
    analysis_options().z_vertical = true;
    analysis_options().reference_temperature = 68.0f;
    const std::vector<std::string> f = fields_of(lines_of(hanger_interface_text())[3]);
    EXPECT_EQ(f[6], "0.0000");   // no section: Pipe and Insul 0
    EXPECT_EQ(f[7], "0.0000");
    EXPECT_EQ(f[8], "68");       // no load: the reference temperature
    EXPECT_EQ(f[19], "0.00_0.00_1.00");
    // Move X, Y, Z are horizontal, vertical, horizontal whichever axis is vertical.
    EXPECT_EQ(f[12], "0.2500");
    EXPECT_EQ(f[13], "0.5000");
}

TEST_F(HangerInterfaceTest, HangerInterfaceRefusesATagThatWouldBreakTheRecord)
{
    data<Hanger>(row_of(20)).v.tag = "H;1";
    try {
        hanger_interface_text();
        ADD_FAILURE() << "not refused";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text.rfind(c_format("Row %d: ", row_of(20)), 0), 0u) << m.text;
    }
    // Unwritable folder: the hanger file's own message.
    data<Hanger>(row_of(20)).v.tag = "H1";
    const std::string nowhere = "/nonexistent-kv-folder/h.cli";
    try {
        export_hanger_interface_at(nowhere);
        ADD_FAILURE() << "not refused";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "Unable to open LICAD export file:\n" + nowhere + "\nNo such file or directory.");
    }
}

TEST_F(HangerInterfaceTest, HangerInterfaceTakesTheDesignOfTheResultsReadLast)
{
    // The design records read from the results stand before the model's:
    // rate 300 lb/in, travel 0.4 in, hot load 1200 lb give 0.100.
    HangerDesign& r = data<Hanger>(row_of(20)).results_design;
    r.figure = "F98";
    r.size = "7";
    r.spring_rate = 300.0f;
    r.vertical_travel = 0.4f;
    r.hot_load = 1200.0f;
    const std::vector<std::string> f = fields_of(lines_of(hanger_interface_text())[3]);
    ASSERT_EQ(f.size(), 24u);
    EXPECT_EQ(f[4], "F98");
    EXPECT_EQ(f[5], "7");
    EXPECT_EQ(f[10], "1200");
    EXPECT_EQ(f[21], "0.100");
}

}  // namespace
}  // namespace batch_test
