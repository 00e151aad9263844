// A model exported to a batch file and read back gives the results it gave:
// the results file of its analysis byte for byte (displacements, element
// forces, support loads and hanger designs of every default load case) and
// every code stress and allowable, for models as the windows and the neutral
// importers make them, which hold what a batch file gives otherwise (a
// section's nominal size, a bend that takes its radius from it, a bellows
// without some of its stiffnesses). Where the file cannot carry a value as
// it stands, the export's warning names it and says what it becomes: the
// model with that change gives the results read back. A second export of
// the model read back is the first, line for line.
#include "../bench/piping_network.h"
#include "elements/bellows.h"
#include "elements/bend.h"
#include "elements/jacketed_bend.h"
#include "exchange/batch_export.h"
#include "exchange/data/batch_generator.h"
#include "exchange/data/code_stress_fixture.h"
#include "exchange/data/neutral_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "exchange/pnf_import.h"
#include "exchange/window_sizes.h"
#include "loads/pipe_load.h"
#include "materials/pipe_section.h"
#include "analysis/results_file.h"
#include "framework/text.h"
#include "model/model.h"
#include "materials/size_tables.h"
#include "model/load_cases.h"
#include "model/model_file.h"

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <fstream>
#include <iterator>
#include <sstream>

namespace batch_test {
namespace {

// What an analysis of a model gives.
struct Results {
    std::string refusal;          // why the analysis refused the model or did not end
    std::string file;             // the results file
    std::vector<float> stresses;  // each code stress and its allowable, case by case, element end by end
};

// The first place where two analyses differ; empty when they are the same.
std::string difference(const Results& a, const Results& b)
{
    if (a.refusal != b.refusal)
        return "refused as \"" + a.refusal + "\" / \"" + b.refusal + "\"";
    if (a.file.size() != b.file.size())
        return "results files of " + std::to_string(a.file.size()) + " and " + std::to_string(b.file.size()) +
               " bytes";
    for (std::size_t i = 0; i < a.file.size(); ++i)
        if (a.file[i] != b.file[i]) {
            const std::size_t at = i - i % 4;
            float x = 0.0f, y = 0.0f;
            std::memcpy(&x, a.file.data() + at, 4);
            std::memcpy(&y, b.file.data() + at, 4);
            std::ostringstream text;
            text.precision(9);
            text << "results file byte " << i << ": " << x << " / " << y;
            return text.str();
        }
    if (a.stresses.size() != b.stresses.size())
        return "code stresses: " + std::to_string(a.stresses.size()) + " and " + std::to_string(b.stresses.size());
    for (std::size_t i = 0; i < a.stresses.size(); ++i)
        if (a.stresses[i] != b.stresses[i])
            return "code stress " + std::to_string(i) + ": " + std::to_string(a.stresses[i]) + " / " +
                   std::to_string(b.stresses[i]);
    return {};
}

// The line of the exported text that begins with `head` (a row's "T30,").
std::string line_of(const std::string& text, const std::string& head)
{
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(head, 0) == 0)
            return line;
    return {};
}

// A section as the Sections table makes it from a nominal size and a
// schedule of the ANSI table: the size's outside diameter and the
// schedule's wall.
void size_section(PipeSection& s, const std::string& size, const std::string& schedule)
{
    const PipeSizeTable& table = pipe_size_table(SIZE_ANSI);
    const int row = table.find_row(size);
    ASSERT_GT(row, 0) << size;
    const int position = table.find_schedule(row, schedule);
    ASSERT_GE(position, 0) << size << " " << schedule;
    const PipeSizeRow& r = table.rows[static_cast<std::size_t>(row)];
    s.size_standard = SIZE_ANSI;
    s.nominal_size = size;
    s.schedule = schedule;
    s.outside_diameter = r.outside_diameter;
    s.thickness = r.thicknesses[static_cast<std::size_t>(position)];
}

using window_sizes::long_radius_bends;
using window_sizes::size_every_section;

// Springs of the tests (figure, size, range, load from, load to, rate), not
// a maker's: sizes whose ranges overlap from 10 lb to some 80 000 lb, and
// constant supports over the same loads, so that every hanger of the models
// finds one.
std::string test_catalogue()
{
    std::string text = "# test values, not a maker's\nCATALOGUE 16 Grinnell\n";
    double low = 10.0;
    for (int size = 1; size <= 14; ++size, low *= 1.9) {
        text += c_format("SPRING T1 %d MID %.0f %.0f %.0f  # test\n", size, low, 2.0 * low, low / 2.0);
        text += c_format("CONSTANT C1 %d %.0f %.0f 20  # test\n", size, low, 2.0 * low);
    }
    return text;
}

class ExportRoundTrip : public CodeStressModelTest {
protected:
    void SetUp() override
    {
        CodeStressModelTest::SetUp();
        std::filesystem::create_directories(folder_ + "/hangers");
        std::ofstream(folder_ + "/hangers/16.txt") << test_catalogue();
    }

    // Analyses the current model in its default load cases into
    // <name>.res beside model.mod, whose hanger catalogues it takes.
    Results analysed(const std::string& name)
    {
        Results r;
        load_case_list().clear();
        model_file_path() = folder_ + "/model.mod";
        try {
            make_model();
            snapshot_ = make_analysis_model();
        } catch (const MessageText& m) {
            r.refusal = m.text;
            return r;
        }
        snapshot_->output.results_path = folder_ + "/" + name + ".res";
        const RunOutcome outcome = run_analysis(*snapshot_, {});
        if (!outcome.completed) {
            r.refusal = outcome.message;
            return r;
        }
        take_written_model(*snapshot_);
        std::ifstream in(snapshot_->output.results_path, std::ios::binary);
        r.file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        locate_blocks();
        const CodeStressResults c = evaluate();
        for (const CaseStresses& s : c.cases)
            for (const OneBased<EndStresses>* list : {&s.ends, &s.combined, &s.creep, &s.hoop})
                for (const EndStresses& ends : *list)
                    for (const EndStress& e : ends) {
                        r.stresses.push_back(e.stress);
                        r.stresses.push_back(e.allowable);
                    }
        return r;
    }

    // Exports the current model and reads the text back into an empty model,
    // as File > Import does; the text, and the export's report in `report`.
    std::string export_and_read_back(BatchExportReport& report)
    {
        std::string text;
        try {
            text = batch_export_text({}, &report);
        } catch (const MessageText& m) {
            ADD_FAILURE() << "the export is refused: " << m.text;
            return {};
        }
        empty_model();
        const std::string error = import_batch_error(text);
        EXPECT_EQ(error, "") << text;
        return text;
    }

    // The whole round: the model's results, those of the model read back,
    // the same; and the second export the first. `warned`, when given,
    // makes in the model what the warning says the file changes, before its
    // results are taken. The report of the export; `solved`, when given,
    // tells whether the analysis ended (else it must end).
    BatchExportReport expect_same_results(const std::string& name, const std::function<void()>& warned = {},
                                          bool* solved = nullptr)
    {
        BatchExportReport report;
        std::string text;
        try {
            text = batch_export_text({}, &report);
        } catch (const MessageText& m) {
            ADD_FAILURE() << name << ": the export is refused: " << m.text;
            return report;
        }
        if (warned)
            warned();
        const Results before = analysed(name);
        empty_model();
        EXPECT_EQ(import_batch_error(text), "") << text;
        const Results after = analysed(name + "-read-back");
        EXPECT_EQ(difference(before, after), "") << name << "\n" << report.message() << "\n" << text;
        if (solved)
            *solved = before.refusal.empty();
        else
            EXPECT_EQ(before.refusal, "") << name;
        try {
            EXPECT_EQ(batch_export_text({}), text) << name;
        } catch (const MessageText& m) {
            ADD_FAILURE() << name << ": the second export is refused: " << m.text;
        }
        return report;
    }

    static void empty_model()
    {
        reset_model();
        clear_model_sections();
        init_model_options();
        analysis_options() = AnalysisOptions{};
        piping_code() = CODE_B313;
    }
    void import_file(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        empty_model();
        ASSERT_EQ(import_batch_error(s.str()), "") << path;
    }
    static std::string import_pnf(const std::string& text)
    {
        empty_model();
        std::istringstream in(text);
        try {
            import_pnf_text(in);
        } catch (const MessageText& m) {
            return m.text;
        }
        return {};
    }
};

const std::string SAMPLE = std::string(KV_SOURCE_DIR) + "/examples/sample.mbf";

// The Tutorial's model: the sample batch file as it is, and as the Tutorial
// types it, its sections picked by nominal size and schedule (6 in and 4 in,
// schedule 40), which the batch file has no field for and names.
TEST_F(ExportRoundTrip, TheTutorialsModelGivesItsResultsBack)
{
    ASSERT_NO_FATAL_FAILURE(import_file(SAMPLE));
    EXPECT_TRUE(expect_same_results("sample").empty());

    ASSERT_NO_FATAL_FAILURE(import_file(SAMPLE));
    ASSERT_NO_FATAL_FAILURE(size_section(pipe_sections()[section_index("6")], "6\"", "40"));
    ASSERT_NO_FATAL_FAILURE(size_section(pipe_sections()[section_index("4")], "4\"", "40"));
    const BatchExportReport typed = expect_same_results("typed");
    EXPECT_EQ(typed.entries[NC_SECTION_SIZE].count, 2);
}

// An 8 in schedule 40 section (8.625 in by 0.322 in) picked from the table
// and a long-radius bend on it: the bend's radius is 1.5 times the nominal
// size, 12 in (ASME B16.9 long-radius elbow), not 1.5 times the outside
// diameter (12.9375 in), which the reader gives a long-radius bend of a
// section that the PIPE line gives without its size. The export writes the
// radius, and the model read back has it.
TEST_F(ExportRoundTrip, ALongRadiusBendOnAn8InSectionKeepsItsRadius)
{
    empty_model();
    import_ok("Long radius\n"
              "OPTIONS\nB313,IN\n"
              "MATERIAL\nA106B,0.283,0.3\nA106B,70,27.9E6,6.0E-6,20000\nA106B,700,27.9E6,8.1E-6,16000\n"
              "PIPE\nP8,8.625,0.322\n"
              "LOADS\nOPER,350,150,1.0\n"
              "LAYOUT\n"
              "F10,MA106B,PP8,KA,CL=OPER\n"
              "T20,X120,CFY\n"
              "T30,X120,KI\n"
              "T40,Z120,CFY\n"
              "T50,Z120,KA\n");
    const double nominal = 8.0;
    const double long_radius = 1.5 * nominal;
    make_model();
    const int bend_row = row_of(30);
    EXPECT_FLOAT_EQ(element<Bend>(bend_row).geometry.radius, 1.5f * 8.625f);   // no nominal size yet
    ASSERT_NO_FATAL_FAILURE(size_section(pipe_sections()[1], "8\"", "40"));
    make_model();
    ASSERT_EQ(element<Bend>(bend_row).geometry.radius_kind, RADIUS_LONG);
    ASSERT_DOUBLE_EQ(element<Bend>(bend_row).geometry.radius, long_radius);

    const Results before = analysed("long");
    BatchExportReport report;
    const std::string text = export_and_read_back(report);
    EXPECT_EQ(line_of(text, "T30,"), "T30,KI,B12,X10'0");
    EXPECT_EQ(report.entries[NC_SECTION_RADIUS].rows, std::vector<int>{bend_row});
    EXPECT_EQ(report.entries[NC_SECTION_SIZE].count, 1);
    make_model();
    EXPECT_DOUBLE_EQ(element<Bend>(bend_row).geometry.radius, long_radius);
    EXPECT_EQ(difference(before, analysed("long-read-back")), "");
    EXPECT_EQ(batch_export_text({}), text);

    // A jacketed bend of 8 in in 12 in (schedule 40 and standard wall),
    // both of long radius: the core takes 12 in and the jacket 18 in
    // (1.5 x 12 in), which the file gives as B and JR.
    empty_model();
    import_ok("Jacketed\nOPTIONS\nB313,IN\n"
              "MATERIAL\nA106B,0.283,0.3\nA106B,70,27.9E6,6.0E-6,20000\nA106B,700,27.9E6,8.1E-6,16000\n"
              "PIPE\nP8,8.625,0.322\nJ12,12.75,0.375\nLOADS\nOPER,350,150,1.0\nJL,300,50\n"
              "LAYOUT\nF10,MA106B,PP8,KA,CL=OPER\nT20,X120,JP,CJMAT=A106B,JSEC=J12,JLOAD=JL\n"
              "T30,X120,JI,CJMAT=A106B,JSEC=J12,JLOAD=JL\nT40,Z120,JP,CJMAT=A106B,JSEC=J12,JLOAD=JL\n"
              "T50,Z120,KA\n");
    size_every_section();
    ASSERT_EQ(pipe_sections()[2].nominal_size, "12\"");
    const int jacketed_row = row_of(30);
    BatchExportReport jacketed;
    const std::string jacketed_text = export_and_read_back(jacketed);
    EXPECT_EQ(line_of(jacketed_text, "T30,"), "T30,JI,B12,X10'0,CJMAT=A106B,JSEC=J12,JLOAD=JL,JR=18");
    EXPECT_EQ(jacketed.entries[NC_SECTION_RADIUS].rows, std::vector<int>{jacketed_row});
    make_model();
    EXPECT_EQ(element<JacketedBend>(jacketed_row).geometry.radius, 12.0f);
    EXPECT_EQ(element<JacketedBend>(jacketed_row).jacket.radius, 18.0f);

    // A long-radius bend of a section without a nominal size takes 1.5 times
    // its outside diameter, as the reader gives it: nothing is written and
    // the bend reads back as a long-radius bend.
    empty_model();
    import_ok("Long radius\nOPTIONS\nB313,IN\nMATERIAL\nCS,0.283\nCS,70,27.9E6\nPIPE\nP8,8.625,0.322\n"
              "LAYOUT\nF10,MCS,PP8\nT20,X120\nT30,Z120,KI\nT40,Y120\n");
    unit_choice()[LENGTH] = 0;   // shown in feet and inches, as the file gives them
    BatchExportReport plain;
    const std::string plain_text = export_and_read_back(plain);
    EXPECT_EQ(line_of(plain_text, "T30,"), "T30,KI,Z10'0");
    EXPECT_EQ(element<Bend>(row_of(30)).geometry.radius_kind, RADIUS_LONG);
    EXPECT_TRUE(plain.empty()) << plain.message();
}

// A bellows of a PipePak file that gives its axial stiffness (30 lb/in) but
// no lateral or torsional one: the model holds 0 for both. The torsional
// stiffness goes back as it stands (HS after ES); the lateral one, which no
// keyword gives below 1 lb/in, is named in the warning as read back as
// 1 lb/in, and the model with that change gives the results read back.
TEST_F(ExportRoundTrip, APipePakBellowsWithoutLateralAndTorsionalStiffness)
{
    const std::string pnf = "TITLE bellows\n"
                            "UNIT ENGLISH\n"
                            "GLOBAL B31.3\n"
                            "MATERIAL CS * 0.283 0.3\n"
                            "LOAD L1 300 100\n"
                            "PIPE S6 6 40 6.625 0.28\n"
                            "FROM A 0 0 0 S6 CS L1\n"
                            "TO B 10 0 0\n"
                            "TO C 2 0 0\n"
                            "TO D 8 0 0 LONG\n"
                            "TO E 0 0 10\n"
                            "ANCHOR A\n"
                            "ANCHOR E\n"
                            "BELLOW B 10 20 30\n";
    ASSERT_EQ(import_pnf(pnf), "");
    int bellows_row = 0;
    for (int r = 1; r <= numrows(); ++r)
        if (model().rows[r].etype == ET_BELLOWS)
            bellows_row = r;
    ASSERT_NE(bellows_row, 0);
    ASSERT_EQ(element<Bellows>(bellows_row).axial_stiffness, 30.0f);
    ASSERT_EQ(element<Bellows>(bellows_row).lateral_stiffness, 0.0f);
    ASSERT_EQ(element<Bellows>(bellows_row).torsional_stiffness, 0.0f);
    // What the warning says the file makes of it.
    element<Bellows>(bellows_row).lateral_stiffness = 1.0f;
    const Results warned = analysed("warned");

    ASSERT_EQ(import_pnf(pnf), "");
    const Results as_imported = analysed("bellows");
    BatchExportReport report;
    const std::string text = export_and_read_back(report);
    EXPECT_NE(text.find(",CES(30,1,0),HS=0,"), std::string::npos) << text;
    EXPECT_EQ(report.entries[NC_BELLOWS_STIFFNESS].rows, std::vector<int>{bellows_row});
    EXPECT_NE(report.message().find("bellows axial and lateral stiffnesses below 1 lb/inch, read back as 1 lb/inch: 1 "
                                    "(row " + std::to_string(bellows_row) + ")"),
              std::string::npos)
        << report.message();
    {
        // In a model of N/mm the warning says so in N/mm: 1 lb/in =
        // 4.4482216152605 N / 25.4 mm = 0.1751268 N/mm.
        UnitChoicesKept kept;
        unit_choice()[STIFFNESS] = 1;
        EXPECT_NE(report.message().find("bellows axial and lateral stiffnesses below 0.17513 N/mm, read back as "
                                        "0.17513 N/mm: 1"),
                  std::string::npos)
            << report.message();
    }
    EXPECT_EQ(element<Bellows>(bellows_row).torsional_stiffness, 0.0f);
    EXPECT_EQ(element<Bellows>(bellows_row).lateral_stiffness, 1.0f);
    const Results read_back = analysed("bellows-read-back");
    EXPECT_EQ(difference(warned, read_back), "");
    EXPECT_NE(difference(as_imported, read_back), "");
    EXPECT_EQ(batch_export_text({}), text);

    // With stiffnesses of 1 lb/in and more the results come back as they were.
    std::string stiff_pnf = pnf;
    stiff_pnf.replace(pnf.find("BELLOW B 10 20 30"), 17, "BELLOW B 10 20 30 5000 * * 400");
    ASSERT_EQ(import_pnf(stiff_pnf), "");
    const BatchExportReport stiff = expect_same_results("stiff");
    EXPECT_EQ(stiff.entries[NC_BELLOWS_STIFFNESS].count, 0);
}

// What the warning says the file makes of a PipePak model: the names of a
// ball joint's row, which a batch file's row of that kind has no place for,
// go; a bellows stiffness below 1 lb/in becomes 1 lb/in. The rows it changed,
// by kind.
std::map<BatchNotCarried, std::vector<int>> make_the_warned_changes()
{
    std::map<BatchNotCarried, std::vector<int>> rows;
    for (int r = 1; r <= numrows(); ++r) {
        LayoutRow& row = model().rows[r];
        if (row.etype == ET_BALL_JOINT && !(row.material.empty() && row.section.empty() && row.load.empty())) {
            row.material.clear();
            row.section.clear();
            row.load.clear();
            rows[NC_ROW_NAMES].push_back(r);
        }
        if (auto* b = dynamic_cast<Bellows*>(row.element.get());
            b && (b->axial_stiffness != 0.0f || b->lateral_stiffness != 0.0f) &&
            (b->axial_stiffness < 1.0f || b->lateral_stiffness < 1.0f)) {
            b->axial_stiffness = std::max(b->axial_stiffness, 1.0f);
            b->lateral_stiffness = std::max(b->lateral_stiffness, 1.0f);
            rows[NC_BELLOWS_STIFFNESS].push_back(r);
        }
    }
    return rows;
}

// The neutral files of the tests: PipePak files with sections of nominal
// sizes and long-radius bends on them and every support and fitting kind
// of the format, and a CAESAR II file with a long-radius bend. The warning
// names what changes, and the model with those changes gives the results
// read back.
TEST_F(ExportRoundTrip, NeutralFileModelsGiveTheirResultsBack)
{
    cii_test::CiiFile cii = cii_test::small_cii();
    cii.elements[0].bend = 1;
    cii.bends.push_back({});
    cii.restraints[0].push_back({30, 1, 0, 0, 0, 0, {}});
    empty_model();
    ImportNotes notes;
    ASSERT_EQ(neutral_test::import_cii_into(cii.text(), notes), "");
    expect_same_results("cii");

    for (const std::string& text : {neutral_test::every_keyword_pnf("ENGLISH"),
                                    neutral_test::every_keyword_pnf("METRIC"), neutral_test::HOSTILE_PNF}) {
        ASSERT_EQ(import_pnf(text), "");
        std::map<BatchNotCarried, std::vector<int>> changed;
        const BatchExportReport report =
            expect_same_results(text.substr(0, text.find('\n')), [&changed] { changed = make_the_warned_changes(); });
        EXPECT_FALSE(changed.empty());
        for (const auto& [kind, rows] : changed)
            EXPECT_EQ(report.entries[kind].rows, rows) << BATCH_NOT_CARRIED[kind].text;
    }
}

// Generated plant networks as the windows make them: sections picked from
// the table (12, 8, 6, 4 and 2 in, schedule 40) and long-radius bends at
// every change of direction, valves, welding tees, rests, guides and axial
// stops with friction, rod hangers; and the same with rigid restraints.
TEST_F(ExportRoundTrip, GeneratedNetworksAsTheWindowsMakeThemGiveTheirResultsBack)
{
    for (const bool rigid : {false, true})
        for (unsigned long long seed = 1; seed <= 2; ++seed) {
            piping_network::Options o;
            o.rows = 150;
            o.seed = seed;
            o.rigid = rigid;
            empty_model();
            ASSERT_EQ(import_batch_error(piping_network::batch_text(o)), "");
            size_every_section();
            const int long_bends = long_radius_bends();
            EXPECT_GT(long_bends, 3) << seed;
            const BatchExportReport report = expect_same_results("network-" + std::to_string(seed));
            EXPECT_EQ(report.entries[NC_SECTION_RADIUS].count, long_bends);
        }
}

// Random models of every element and data-item kind the batch file carries
// (tests/exchange/data/batch_generator.h), held by a rigid anchor at each of
// their plain pipe rows so that most of them stand: each gives its results
// back, and one the analysis refuses (a joint or an element that leaves a
// node free) is refused read back in the same words.
TEST_F(ExportRoundTrip, GeneratedModelsOfEveryItemKindGiveTheirResultsBack)
{
    int solved = 0;
    for (unsigned seed = 1; seed <= 120; ++seed) {
        empty_model();
        ASSERT_EQ(import_batch_error(BatchGenerator(seed, false).text()), "") << seed;
        for (int r = 1; r <= numrows(); ++r)
            if (const LayoutRow& row = model().rows[r];
                row.dtype == DT_NONE && row.node != 0 && (row.etype == ET_FROM || row.etype == ET_PIPE))
                LayoutRow::change_dtype(r, DT_ANCHOR);
        bool ended = false;
        expect_same_results("generated-" + std::to_string(seed), {}, &ended);
        solved += ended ? 1 : 0;
    }
    EXPECT_GE(solved, 20);
}

}  // namespace
}  // namespace batch_test
