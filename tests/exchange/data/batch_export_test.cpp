// The batch export's text: sections and their order, the unit forms, the
// numbers, the codes and items of layout rows, what the file cannot carry,
// refused text, failed writes; and the importer's mends that the round trip
// needs.
#include "batch_fixture.h"
#include "exchange/batch_export.h"
#include "exchange/exact_numbers.h"
#include "exchange/hanger_interface_export.h"
#include "exchange/model_image.h"
#include "exchange/pcf_export.h"
#include "exchange/plant_design_export.h"
#include "framework/app_state.h"
#include "loads/nodal_loads.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "exchange/batch_reader.h"
#include "framework/text.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/bend_geometry.h"
#include "model/element_data.h"
#include "supports/hanger.h"

#include <filesystem>
#include <random>

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

bool has_line(const std::string& text, const std::string& line)
{
    for (const std::string& l : lines_of(text))
        if (l == line)
            return true;
    return false;
}

std::string row_line(const std::string& text, const std::string& head)
{
    for (const std::string& l : lines_of(text))
        if (l.rfind(head, 0) == 0)
            return l;
    return {};
}

// Imports the text into an empty model.
void reload(const std::string& text)
{
    reset_model();
    clear_model_sections();
    std::istringstream in(text);
    try {
        import_batch_text(in);
    } catch (const MessageText& m) {
        ADD_FAILURE() << m.text;
    }
}

// Reads the text back into an empty model.
std::string reimport(const std::string& text)
{
    reset_model();
    clear_model_sections();
    return batch_test::import_batch_error(text);
}

std::string scratch(const std::string& name)
{
    const auto folder = std::filesystem::temp_directory_path() / ("kv-export-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A stream buffer that passes `room` bytes to the file and then fails.
class FailingBuffer : public std::streambuf {
public:
    FailingBuffer(std::streambuf* file, std::size_t room) : file_(file), room_(room) {}

protected:
    int overflow(int c) override
    {
        if (c == EOF)
            return 0;
        if (room_ == 0)
            return EOF;
        --room_;
        return file_->sputc(static_cast<char>(c));
    }

private:
    std::streambuf* file_;
    std::size_t room_;
};

ExportBufferFilter failing_after(std::size_t bytes)
{
    return [bytes](std::streambuf* file) { return std::make_unique<FailingBuffer>(file, bytes); };
}

const std::string SMALL_MODEL = "TEST MODEL\n\nOPTIONS\nB313,IN\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\n"
                                "PIPE\nP6,6.625,0.28\nLAYOUT\nF10,MCS,PP6\nT20,X120,KA\nT30,Y60\n";

TEST_F(BatchTest, BatchExportWritesTheSectionsInOrderAndLeavesEmptyOnesOut)
{
    import_ok(SMALL_MODEL);
    const std::string text = batch_export_text();
    const std::vector<std::string> lines = lines_of(text);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "TEST MODEL");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "VERSION");
    EXPECT_EQ(lines[3], "10.20");
    std::vector<std::string> keys;
    for (const std::string& l : lines)
        if (batch_section_key(l).has_value() && l.find(',') == std::string::npos)
            keys.push_back(l);
    const std::vector<std::string> expected = {"VERSION", "OPTIONS", "OPCODE", "OPTEMP", "OPPRES", "OPMISC",
                                               "MATERIAL", "PIPE", "LAYOUT"};
    EXPECT_EQ(keys, expected);
    // An anchor: its code in the head, and in the 6.xx form nothing else.
    EXPECT_EQ(row_line(text, "T20"), "T20,KA,MCS,PP6,X10'0");
    const std::string old = batch_export_text({BATCH_EXPORT_6XX});
    EXPECT_FALSE(has_line(old, "VERSION"));
    EXPECT_FALSE(has_line(old, "OPCODE"));
    EXPECT_EQ(reimport(old), "");
}

TEST_F(BatchTest, BatchExportUnitFormFollowsTheLengthUnitAndAnglesAreDegrees)
{
    import_ok(SMALL_MODEL + "T40,JR,X12,CWGT=100\nT50,Y12,KI\nT60,X30\n");
    const UnitChoices before = unit_choice();
    // Feet and inches: no token, lengths in feet-and-inch text.
    EXPECT_TRUE(has_line(batch_export_text(), "HGRA,B313"));
    EXPECT_EQ(row_line(batch_export_text(), "T20"), "T20,KA,MCS,PP6,X10'0");
    unit_choice()[LENGTH] = 4;   // mm
    unit_choice()[ANGLE] = 1;    // radians
    unit_choice()[PRESSURE] = 2; // kPa
    const UnitChoices user = unit_choice();
    const std::string si = batch_export_text();
    EXPECT_TRUE(has_line(si, "HGRA,B313,SI"));
    EXPECT_EQ(row_line(si, "T20"), "T20,KA,MCS,PP6,X3048");
    EXPECT_EQ(unit_choice(), user);
    // Inch with EXPORT_INCHES: ",IN" and inches.
    unit_choice()[LENGTH] = 2;
    ::setenv("EXPORT_INCHES", "1", 1);
    read_env_switches();
    const std::string inch = batch_export_text();
    ::unsetenv("EXPORT_INCHES");
    read_env_switches();
    EXPECT_TRUE(has_line(inch, "HGRA,B313,IN"));
    EXPECT_EQ(row_line(inch, "T20"), "T20,KA,MCS,PP6,X120.0000");
    (void)before;
}

TEST(BatchExportNumbers, EveryQuantityReadsBackAsTheStoredFloatInEveryUnit)
{
    std::mt19937 rng(7);
    const int quantities[] = {LENGTH,    DIMENSION, DISPLACEMENT, ANGLE,       FORCE,       MOMENT,        WEIGHT_PER_LENGTH,
                              WEIGHT,    DENSITY,   WEIGHT_DENSITY, TEMPERATURE, EXPANSION, PRESSURE,      STRESS,
                              MODULUS,   STIFFNESS, ROT_STIFFNESS, AREA,        INERTIA,     SPEED};
    UnitChoicesKept kept;
    for (const int q : quantities) {
        for (int unit = 0; unit < unit_count(q); ++unit) {
            unit_choice()[q] = unit;
            for (int i = 0; i < 200; ++i) {
                // Positive values over many decades (signed where the quantity takes a sign).
                const float v = std::exp(std::uniform_real_distribution<float>(-12.0f, 25.0f)(rng));
                const std::string text = exact_quantity(q, v);
                float back = 0.0f;
                int (*parser)(const std::string&, float&) = nullptr;
                switch (q) {
                case LENGTH: parser = parse_length; break;
                case DIMENSION: parser = parse_dimension; break;
                case DISPLACEMENT: parser = parse_displacement; break;
                case ANGLE: parser = parse_angle; break;
                case FORCE: parser = parse_force; break;
                case MOMENT: parser = parse_moment; break;
                case WEIGHT_PER_LENGTH: parser = parse_weight_per_length; break;
                case WEIGHT: parser = parse_weight; break;
                case DENSITY: parser = parse_density; break;
                case WEIGHT_DENSITY: parser = parse_weight_density; break;
                case TEMPERATURE: parser = parse_temperature; break;
                case EXPANSION: parser = parse_expansion; break;
                case PRESSURE: parser = parse_pressure; break;
                case STRESS: parser = parse_stress; break;
                case MODULUS: parser = parse_modulus; break;
                case STIFFNESS: parser = parse_stiffness; break;
                case ROT_STIFFNESS: parser = parse_rot_stiffness; break;
                case AREA: parser = parse_area; break;
                case INERTIA: parser = parse_inertia; break;
                default: parser = parse_speed; break;
                }
                ASSERT_EQ(parser(text, back), 0) << q << "/" << unit << ": " << text;
                ASSERT_EQ(back, v) << q << "/" << unit << ": " << text;
            }
        }
    }
    // 0 degF, the required temperature of 0, in degC reads back as the entered zero.
    unit_choice()[TEMPERATURE] = 1;
    float t = 1.0f;
    ASSERT_EQ(parse_temperature(exact_quantity_required(TEMPERATURE, 0.0), t), 0);
    EXPECT_EQ(t, ENTERED_ZERO);
    EXPECT_EQ(exact_quantity(STIFFNESS, RIGID_STIFFNESS), "Rigid");
    EXPECT_EQ(exact_real(0.1f), "0.1");
}

TEST_F(BatchTest, BatchExportGivesABendItsCodeBesideAnAnchorsOrBranchSifs)
{
    // A model file may hold a bend row with an item (the import refuses
    // one): the rows are made bends after the import, as such a file holds
    // them.
    import_ok(SMALL_MODEL + "T40,X60\nT50,KA,X60,CTRAK(1000,RIGID,0)\nT60,KT,Y60\nT70,Z50\n");
    LayoutRow::change_etype(row_of(50), ET_BEND);
    BendGeometry& miter = *LayoutRow::change_etype(row_of(60), ET_MITER)->bend_geometry();
    miter.radius_kind = RADIUS_USER;
    miter.radius = 9.0f;
    make_model();
    const std::string text = batch_export_text();
    EXPECT_EQ(row_line(text, "T50"), "T50,KA,KI,X5'0,CTRAK(1000,Rigid,0)");
    EXPECT_EQ(row_line(text, "T60"), "T60,KT,KM,B9,Y5'0");
    // Read back, the items stand at the bends' corners, off the pipe.
    EXPECT_EQ(reimport(text), line_error(25, "T50,KA,KI,X5'0,CTRAK(1000,Rigid,0)",
                                         "Row 6: its Anchor would act on nothing: node 50 is where the tangents of "
                                         "the bend of row 6 meet, off the pipe. Put the Anchor on a Location row at "
                                         "the bend's near tangent point 50A or far tangent point 50B"));
    // Two codes of one kind stay refused.
    EXPECT_EQ(import("LAYOUT\nF10\nT20,X1,KI,KM"), line_error(3, "T20,X1,KI,KM", "Code (K) can be specified only once"));
}

TEST_F(BatchTest, BatchExportContinuesLongItemListsOnTheNextLine)
{
    // An anchor with every displacement set: split at a short limit, the
    // lines still read as the one row.
    std::vector<std::string> items = {"TAG=A1"};
    for (int set = 1; set <= 10; ++set) {
        const std::string n = set == 1 ? "" : std::to_string(set);
        items.push_back("DIS" + n + "(0.123457,-0.234568,0.345679)");
        items.push_back("ROT" + n + "(1.23457,-2.34568,3.45679)");
    }
    const std::vector<std::string> lines = batch_row_lines("T40,KA,X60", items, 100);
    ASSERT_GE(lines.size(), 5u);
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 100u);
        EXPECT_EQ(lines[i].back() == ',', i + 1 < lines.size()) << lines[i];
        text += lines[i] + "\n";
    }
    import_ok(SMALL_MODEL + text);
    const Anchor& a = data<Anchor>(row_of(40));
    EXPECT_EQ(a.v.tag, "A1");
    for (int set = 1; set <= 10; ++set) {
        EXPECT_TRUE(a.v.displacements.given[static_cast<std::size_t>(set)]) << set;
        EXPECT_FLOAT_EQ(a.v.displacements.values[static_cast<std::size_t>(set)][2], 0.345679f) << set;
    }
    // A whole model's lines stay within the reader's limit.
    for (const std::string& l : lines_of(batch_export_text()))
        EXPECT_LE(l.size(), BATCH_LINE_LIMIT);
}

TEST_F(BatchTest, BatchExportWritesCommentsAsTheirTextAndAHydrotestRowInRowOne)
{
    import_ok("\nMATERIAL\nCS\nCS,70,29E6\nPIPE\nP6,6.625,0.28\nLAYOUT\nH,CHSG=1.25\nF10,MCS,PP6\n* a comment, with (commas)\nT20,X10\n");
    ASSERT_EQ(model().rows[1].etype, ET_HYDROTEST_LOAD);
    const std::string text = batch_export_text();
    EXPECT_TRUE(has_line(text, "H,CHSG=1.25"));
    EXPECT_TRUE(has_line(text, "* a comment, with (commas)"));
    // The comment takes no names, and the names carry over it to the next row.
    EXPECT_EQ(model().rows[3].material, "");
    ASSERT_EQ(reimport(text), "");
    EXPECT_EQ(model().rows[3].comment_text(), " a comment, with (commas)");
    EXPECT_EQ(model().rows[4].material, "CS");
    EXPECT_EQ(model().rows[4].section, "P6");
}

TEST_F(BatchTest, BatchExportWritesRigidAndFreeStiffnessesAndUserHangersAsTheReaderTakesThem)
{
    import_ok(SMALL_MODEL + "T40,X60,JL,CTRAK(100,0,RIGID),LXAX(1,0,0),LYAX(0,1,0)\nT50,X60,CUS(,500,300)\n"
                            "T60,X60,CVS,HTYP=5,MLV=30,SR\n");
    const std::string text = batch_export_text();
    // A member given as 0 (kept as -1) is written as 0; rigid as "Rigid".
    EXPECT_NE(row_line(text, "T40").find("TRAK(100,0,Rigid)"), std::string::npos);
    // A user hanger always names its count.
    EXPECT_NE(row_line(text, "T50").find("US(1,500,300)"), std::string::npos);
    EXPECT_NE(row_line(text, "T60").find("VS=1,HTYP=5,MLV=30,SR"), std::string::npos);
    const model_image::ModelImage original = model_image::image_of_model();
    ASSERT_EQ(reimport(text), "");
    EXPECT_EQ(model_image::image_difference(original, model_image::image_of_model()), "");
}

TEST_F(BatchTest, BatchExportWritesIgemFactorsByName)
{
    import_ok("\nOPTIONS\nIGEM\n" + SMALL_MODEL.substr(SMALL_MODEL.find("MATERIAL")) +
              "T40,X60,CSIF=2,IQS=1.5,ITS=1.25,ISC=3\n");
    const std::string line = row_line(batch_export_text(), "T40");
    EXPECT_NE(line.find("IQS=1.5"), std::string::npos) << line;
    EXPECT_NE(line.find("ITS=1.25"), std::string::npos) << line;
    EXPECT_NE(line.find("ISC=3"), std::string::npos) << line;
    EXPECT_EQ(line.find("IPS="), std::string::npos) << line;
}

TEST_F(BatchTest, BatchExportCountsWhatTheFileCannotCarryWithItsRows)
{
    reload(SMALL_MODEL + "T40,X60\nT50,X60\nT60,X60,CVS\n");
    // Lengths shown in feet and inches, as the file gives them.
    unit_choice()[LENGTH] = 0;
    for (const auto& [node, dtype] : {std::pair<int, int>{40, DT_TIME_VARYING_LOAD}, {50, DT_GENERIC_SUPPORT}}) {
        LayoutRow& row = model().rows[row_of(node)];
        row.dtype = dtype;
        row.create_data_object(row_of(node));
    }
    data<Hanger>(row_of(60)).v.design.figure = "B-268";
    BatchExportReport report;
    std::string text;
    try {
        text = batch_export_text({}, &report);
    } catch (const MessageText& m) {
        FAIL() << m.text;
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    EXPECT_EQ(report.entries[NC_TIME_VARYING_LOAD].count, 1);
    EXPECT_EQ(report.entries[NC_TIME_VARYING_LOAD].rows, std::vector<int>{row_of(40)});
    EXPECT_EQ(report.entries[NC_GENERIC_SUPPORT].rows, std::vector<int>{row_of(50)});
    EXPECT_EQ(report.entries[NC_HANGER_DESIGN].count, 1);
    EXPECT_EQ(report.message(), "The batch file leaves out:\ntime-varying loads: 1 (row " + std::to_string(row_of(40)) +
                                    ")\ngeneric supports: 1 (row " + std::to_string(row_of(50)) +
                                    ")\nhanger design results: 1 (row " + std::to_string(row_of(60)) + ")");
    // The rows are written without the item.
    EXPECT_EQ(row_line(text, "T40"), "T40,X5'0");
    BatchExportReport clean;
    reload(SMALL_MODEL);
    unit_choice()[LENGTH] = 0;
    batch_export_text({}, &clean);
    EXPECT_TRUE(clean.empty());
    EXPECT_EQ(clean.message(), "");
}

TEST_F(BatchTest, BatchExportRefusesTextThatWouldChangeTheSyntaxBeforeWriting)
{
    const std::string path = scratch("refused.mbf");
    std::filesystem::remove(path);
    auto refused = [&](const std::string& needle) {
        try {
            export_batch_file_at(path);
        } catch (const MessageText& m) {
            EXPECT_NE(m.text.find(needle), std::string::npos) << m.text << " / " << needle;
            EXPECT_FALSE(std::filesystem::exists(path));
            return;
        }
        ADD_FAILURE() << "not refused: " << needle;
    };
    reload(SMALL_MODEL + "T40,X60,CG,TAG=A1\n");
    model_title() = "LAYOUT OF THE PLANT";
    refused("The title \"LAYOUT OF THE PLANT\" begins with a key");
    reload(SMALL_MODEL + "T40,X60,CG,TAG=A1\n");
    data<Guide>(row_of(40)).v.tag = "A 1";
    refused(c_format("Row %d: the tag \"A 1\"", row_of(40)));
    // A model that holds a name twice (the import refuses such a file).
    reload(SMALL_MODEL + "PIPE\nP7,8.625,0.322\n");
    pipe_sections()[2].name = "P6";
    refused("Pipe section 2: the name \"P6\" is given twice");
}

// A line end in the title would end the title's line of the file: the
// refusal quotes the title with the code of the character, as it does any
// other control character, and leaves no file.
TEST_F(BatchTest, BatchExportNamesTheLineEndThatATitleHolds)
{
    const std::string path = scratch("title.mbf");
    std::filesystem::remove(path);
    for (const auto& [title, shown] : {std::pair<std::string, std::string>{"Unit 4\rB", "Unit 4\\x0DB"},
                                       std::pair<std::string, std::string>{"Unit 4\nB", "Unit 4\\x0AB"},
                                       std::pair<std::string, std::string>{"PIPE\r", "PIPE\\x0D"}}) {
        reload(SMALL_MODEL);
        model_title() = title;
        try {
            export_batch_file_at(path);
            ADD_FAILURE() << "not refused: " << shown;
        } catch (const MessageText& m) {
            EXPECT_EQ(m.text, "The title \"" + shown +
                                  "\" holds a control character or a byte that is not UTF-8; change the title");
        }
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST_F(BatchTest, BatchExportWriteFailureKeepsTheOldFile)
{
    reload(SMALL_MODEL);
    const std::string path = scratch("kept.mbf");
    std::ofstream(path) << "old";
    try {
        export_batch_file_at(path, {}, failing_after(20));
        ADD_FAILURE() << "the failed write was not reported";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "Unable to write export file:\n" + path);
    }
    EXPECT_EQ(read_file(path), "old");
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
        EXPECT_EQ(e.path().string().find("kept.mbf.tmp"), std::string::npos) << e.path();
    // A folder that does not exist: nothing is written.
    const std::string nowhere = scratch("no-such-folder/model.mbf");
    try {
        export_batch_file_at(nowhere);
        ADD_FAILURE() << "the unwritable folder was not reported";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "Unable to open export file:\n" + nowhere + "\nNo such file or directory.");
    }
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    // A good write replaces the file.
    export_batch_file_at(path);
    EXPECT_EQ(read_file(path), batch_export_text());
}

TEST_F(BatchTest, BatchExportAndEveryOtherExporterLeaveTheUserUnitsAndTheModelAsTheyWere)
{
    reload(SMALL_MODEL + "T40,X60,CVS\n");
    unit_choice()[LENGTH] = 3;
    unit_choice()[ANGLE] = 1;
    unit_choice()[FORCE] = 2;
    const UnitChoices user = unit_choice();
    const std::string before_path = scratch("before.mod");
    write_model_file(before_path);
    const std::string before = read_file(before_path);
    const std::string path = scratch("out.x");
    const std::vector<std::function<void(const ExportBufferFilter&)>> exporters = {
        [&](const ExportBufferFilter& f) { export_batch_file_at(path, {}, f); },
        [&](const ExportBufferFilter& f) { export_batch_file_at(path, {BATCH_EXPORT_6XX}, f); },
        [&](const ExportBufferFilter& f) { export_pcf_at(path, f); },
        [&](const ExportBufferFilter& f) { export_plant_design_at(path, PLANT_PDMS, nullptr, f); },
        [&](const ExportBufferFilter& f) { export_plant_design_at(path, PLANT_CADMATIC, nullptr, f); },
        [&](const ExportBufferFilter& f) { export_hanger_interface_at(path, f); },
    };
    for (std::size_t i = 0; i < exporters.size(); ++i) {
        exporters[i]({});
        EXPECT_EQ(unit_choice(), user) << i;
        EXPECT_THROW(exporters[i](failing_after(5)), MessageText) << i;
        EXPECT_EQ(unit_choice(), user) << i;
    }
    write_model_file(before_path);
    EXPECT_EQ(read_file(before_path), before);
}

TEST_F(BatchTest, BatchExportSkipsFreeSlotsAndNamesATitleThatTheFirstCommentDoesNotGive)
{
    reload(SMALL_MODEL + "PIPE\nP8,8.625,0.322\n");
    pipe_sections()[2].name.clear();   // a free slot
    LayoutRow::set_comment_text(1, "A note on the first row");
    BatchExportReport report;
    const std::string text = batch_export_text({}, &report);
    EXPECT_EQ(text.find("8.625"), std::string::npos);
    // The note is written as a comment row; the title it gives comes back with it.
    EXPECT_NE(text.find("\nLAYOUT\n*A note on the first row\n"), std::string::npos) << text;
    EXPECT_TRUE(report.entries[NC_LONG_TITLE].rows.empty());
    // A title kept apart from the first row has no place.
    model_title() = "PLANT 7";
    batch_export_text({}, &report);
    EXPECT_EQ(report.entries[NC_LONG_TITLE].rows, std::vector<int>{1});
}

// ---- The importer's mends ---------------------------------------------------------------

TEST_F(BatchTest, BatchExportRoundTripTakesAPumpAtTheOrigin)
{
    import_ok("PUMPS\nP-1,0,1,0,0,0,0,0,10,0\n");
    EXPECT_EQ(pumps()[1].centre, (std::array<float, 3>{}));
    EXPECT_EQ(pumps()[1].suction_node, 10);
}

TEST_F(BatchTest, BatchExportRoundTripKeepsTheThermalSetsThatOptempGives)
{
    // OPTEMP ahead of the loads holds one set; a T2 the analysis does not use stays.
    import_ok("OPTEMP\n70,7000,1\nLOADS\nL1,300,150,1.0,400,150,70,0,0,300,150\n");
    EXPECT_EQ(numtloads(), 1);
    EXPECT_EQ(pipe_loads()[1].temperature[2], 400.0f);
    EXPECT_EQ(pipe_loads()[1].design_temperature, 300.0f);
    // Without OPTEMP the loads still call for the sets they use.
    reset_model();
    clear_model_sections();
    numtloads() = 1;
    import_ok("LOADS\nL1,300,150,1.0,400\n");
    EXPECT_EQ(numtloads(), 2);
}

TEST_F(BatchTest, BatchExportRoundTripGivesCommentAndHydrotestRowsNoNames)
{
    import_ok("MATERIAL\nCS\nCS,70,29E6\nPIPE\nP6,6.625,0.28\nLAYOUT\nF10,MCS,PP6\n*note\nH,CHSG=1\nT20,X10,CT=300\n*again\n");
    for (const int r : {2, 3, 5}) {
        EXPECT_EQ(model().rows[r].material, "") << r;
        EXPECT_EQ(model().rows[r].load, "") << r;
    }
    EXPECT_EQ(numloads(), 1);   // the condition made one load, for the pipe row
}

}  // namespace
}  // namespace batch_test
