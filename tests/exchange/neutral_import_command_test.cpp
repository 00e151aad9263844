// File > Import of PipePak and CAESAR II neutral files on the scripted
// backend: the model file beside the neutral file, the question before one
// is replaced, the closing note of what the file held that the model did
// not take, and a refused file, which writes nothing and changes nothing.
#include "exchange/data/cii_bend_node_lines.h"
#include "exchange/data/cii_branch_lines.h"
#include "exchange/data/cii_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "exchange_fixture.h"
#include "guide_text.h"
#include "supports/anchor.h"
#include "supports/restraint.h"
#include "supports/support_item.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/row_kinds.h"
#include "results/results_reader.h"
#include "results/results_session.h"
#include "results/results_state.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>

namespace {

const std::string PIPEPAK = "TITLE neutral\nUNIT SI\nGLOBAL B31.3 20\nMATERIAL CS * 7850 0.3\n"
                            "PIPE S1 6 40 168.3 7.11\nLOAD L1 200 10\nHEADER X\nFROM A 0 0 0 S1 CS L1\n"
                            "TO B 3000 0 0\nTO C 0 3000 0\nANCHOR A\nANCHOR C\n";

std::string caesar()
{
    cii_test::CiiFile f;
    cii_test::CiiElementRecord e;
    e.from = 10, e.to = 20, e.dx = 120, e.t[0] = 300;
    f.elements.push_back(e);
    f.restraints.push_back({{10, 1, 0, 0, 0, 0, {}}});
    f.uniform_loads = 1;
    return f.text();
}

enum { FILTER_PIPEPAK = 1, FILTER_CAESAR = 2 };

}  // namespace

class NeutralImportCommand : public ExchangeProgramTest {
protected:
    void import(const std::string& file, int filter)
    {
        script().answer_file(file);
        script().answer_file_filter(filter);
        run_command(CMD_IMPORT);
    }
    // The files of the folder that the import might have written: model
    // files and temporary files.
    std::vector<std::string> written_files() const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(path(""))) {
            const std::string name = entry.path().filename().string();
            if (name.find(".mod") != std::string::npos || name.find("tmp") != std::string::npos ||
                name.find('~') != std::string::npos)
                found.push_back(name);
        }
        return found;
    }
};

TEST_F(NeutralImportCommand, PipePakFileImportsToTheModelFileBesideIt)
{
    import(write("line.pnf", PIPEPAK), FILTER_PIPEPAK);
    EXPECT_EQ(model_file_path(), path("line.mod"));
    EXPECT_TRUE(std::filesystem::exists(path("line.mod")));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(numrows(), 6);
    EXPECT_EQ(model_title(), "NEUTRAL ");
    EXPECT_EQ(piping_code(), CODE_B313);
    EXPECT_EQ(unit_choice()[LENGTH], 4);   // the file's units are the model's
    // The closing note names the line the model did not take, and the
    // material that has the default property table.
    EXPECT_EQ(script().last_message(), "The import did not take everything the file holds:\n"
                                       "Lines with unknown first words: line 7 (HEADER)\n"
                                       "Materials with the default property table: CS");
}

TEST_F(NeutralImportCommand, CaesarFileImportsToTheModelFileBesideIt)
{
    import(write("line.cii", caesar()), FILTER_CAESAR);
    EXPECT_EQ(model_file_path(), path("line.mod"));
    EXPECT_TRUE(std::filesystem::exists(path("line.mod")));
    EXPECT_EQ(numrows(), 4);
    EXPECT_EQ(model_title(), "FIXTURE");
    EXPECT_NE(script().last_message().find("Read and not used: 1 uniform load"), std::string::npos)
        << script().last_message();
    // A file without an extension gets one for its model file.
    import(write("noext", caesar()), FILTER_CAESAR);
    EXPECT_EQ(model_file_path(), path("noext.mod"));
}

// A file as public exporters write it: three numbers on the version line,
// six on the ambient line, and the insulation density on every element, also
// one without insulation.
TEST_F(NeutralImportCommand, CaesarFileAsExportersWriteItImports)
{
    cii_test::CiiFile f;
    f.exporter_layout = true;
    f.ambient = 50;
    cii_test::CiiElementRecord e;
    e.from = 10, e.to = 20, e.dx = 120, e.insulation = 2, e.insulation_density = 0.0047;
    f.elements.push_back(e);
    e.from = 20, e.to = 30, e.insulation = 0;
    f.elements.push_back(e);
    f.restraints.push_back({{10, 1, 0, 0, 0, 0, {}}, {30, 1, 0, 0, 0, 0, {}}});
    import(write("exported.cii", f.text()), FILTER_CAESAR);
    EXPECT_EQ(model_file_path(), path("exported.mod"));
    EXPECT_TRUE(std::filesystem::exists(path("exported.mod")));
    EXPECT_EQ(numrows(), 6);
    EXPECT_EQ(analysis_options().default_temperature, 50.0f);
    EXPECT_NE(script().last_message().find("Not taken: insulation density without insulation thickness, element 20-30"),
              std::string::npos)
        << script().last_message();
}

TEST_F(NeutralImportCommand, CancelAtTheOverwriteQuestionKeepsTheNeutralModelUntitled)
{
    write("line.mod", "an older model");
    script().answer_file(write("line.cii", caesar()));
    script().answer_file_filter(FILTER_CAESAR);
    script().answer(IDCANCEL);
    run_command(CMD_IMPORT);
    EXPECT_NE(script().messages().end(), std::find(script().messages().begin(), script().messages().end(),
                                                    path("line.mod") + " already exists\nDo you want to overwrite ?"));
    EXPECT_EQ(bytes(path("line.mod")), "an older model");
    EXPECT_EQ(model_file_path(), "");
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(numrows(), 4);
}

TEST_F(NeutralImportCommand, RefusedNeutralFileWritesNothingAndKeepsTheSettings)
{
    piping_code() = CODE_B311;
    analysis_options().z_vertical = true;
    const UnitChoices units = unit_choice();
    const AnalysisOptions options = analysis_options();
    write("line.mod", "an older model");
    std::string text = caesar();
    text.resize(text.size() / 2);
    import(write("line.cii", text), FILTER_CAESAR);
    EXPECT_EQ(script().last_message().rfind("line = ", 0), 0u) << script().last_message();
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(model_file_path(), "");
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(bytes(path("line.mod")), "an older model");
    EXPECT_EQ(unit_choice(), units);
    EXPECT_EQ(piping_code(), CODE_B311);
    EXPECT_EQ(analysis_options(), options);
    import(write("bad.pnf", "UNIT SI\nFROM A 0 0 0\nTO B X 0 0\n"), FILTER_PIPEPAK);
    EXPECT_EQ(script().last_message(), "Line = 3 :  TO B X 0 0\nInvalid DX :  X");
    EXPECT_FALSE(std::filesystem::exists(path("bad.mod")));
    EXPECT_EQ(written_files(), std::vector<std::string>{"line.mod"});
}

// The extension of an importer's files chooses it, in any case, whatever
// type the dialog shows; a file of another extension goes to the reader of
// the type chosen.
class ImportByExtension : public NeutralImportCommand {};

namespace {

enum { FILTER_BATCH = 0 };

const std::string BATCH = "By extension\nOPTIONS\nIN,B313\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\n"
                          "PIPE\nP6,6.625,0.28\nLAYOUT\nF10,MCS,PP6,KA\nT20,X120\nT30,Y120,KA\n";

}  // namespace

TEST_F(ImportByExtension, AnImportersExtensionChoosesItWhateverTheTypeShown)
{
    // A PipePak file typed with the batch type shown (the dialog's first).
    import(write("line.pnf", PIPEPAK), FILTER_BATCH);
    EXPECT_EQ(model_file_path(), path("line.mod"));
    EXPECT_EQ(numrows(), 6);
    EXPECT_EQ(model_title(), "NEUTRAL ");
    EXPECT_NE(script().last_message().find("Materials with the default property table: CS"), std::string::npos)
        << script().last_message();
    // A CAESAR II file in capitals under the PipePak type.
    import(write("LINE.CII", caesar()), FILTER_PIPEPAK);
    EXPECT_EQ(model_file_path(), path("LINE.mod"));
    EXPECT_EQ(numrows(), 4);
    EXPECT_EQ(model_title(), "FIXTURE");
    // A batch file under the CAESAR II type.
    const std::size_t shown = script().messages().size();
    import(write("pipe.Mbf", BATCH), FILTER_CAESAR);
    EXPECT_EQ(model_file_path(), path("pipe.mod"));
    EXPECT_EQ(numrows(), 4);
    EXPECT_EQ(model_title(), "By extension");
    EXPECT_EQ(script().messages().size(), shown) << script().last_message();
}

TEST_F(ImportByExtension, AnotherExtensionIsReadAsTheTypeChosen)
{
    // One PipePak text named .txt: read as PipePak under its type, refused
    // by the batch reader under the batch type.
    const std::string file = write("line.txt", PIPEPAK);
    import(file, FILTER_PIPEPAK);
    EXPECT_EQ(numrows(), 6);
    EXPECT_EQ(model_file_path(), path("line.mod"));
    std::filesystem::remove(path("line.mod"));
    import(file, FILTER_BATCH);
    EXPECT_EQ(script().last_message().rfind("Line = ", 0), 0u) << script().last_message();
    // The refused file leaves the model that was open.
    EXPECT_EQ(numrows(), 6);
    EXPECT_FALSE(std::filesystem::exists(path("line.mod")));
    // A CAESAR II file whose name has no extension, under its type.
    import(write("noext", caesar()), FILTER_CAESAR);
    EXPECT_EQ(numrows(), 4);
    EXPECT_EQ(model_file_path(), path("noext.mod"));
}

// A file as CAESAR II writes it, six bends each with its mid and 0-degree
// nodes, Y restraints at two 0-degree nodes and ends fixed by displacement
// records alone: imported, exported to a batch file, and that batch file
// imported again analyses with anchors at the fixed ends and the restraints
// at the near tangent points.
TEST_F(NeutralImportCommand, CaesarLineOfSixBendsFixedByDisplacementsAnalysesAsItsBatchFile)
{
    import(write("six.cii", cii_test::six_bend_line().text()), FILTER_CAESAR);
    ASSERT_EQ(model_file_path(), path("six.mod"));
    EXPECT_NE(script().last_message().find("Bend nodes taken as tangent points: 18 at 0 degrees as 20A"),
              std::string::npos)
        << script().last_message();
    // Where the nodes of the bends stand, to be found again.
    const int nodes[] = {100020, 19, 200020, 100050, 49, 200070, 80};
    std::vector<Vec3> placed;
    for (int node : nodes)
        placed.push_back(node_position(model(), node_index(node)));
    script().answer_file(path("six.mbf"));
    ASSERT_TRUE(run_command(CMD_EXPORT));
    const std::string batch = bytes(path("six.mbf"));
    ASSERT_FALSE(batch.empty());

    import(write("again.mbf", batch), 0);
    ASSERT_EQ(model_file_path(), path("again.mod")) << script().last_message();
    const auto item_at = [](int node, int dtype) {
        for (int row = 1; row <= numrows(); ++row)
            if (model().rows[row].node == node && model().rows[row].dtype == dtype)
                return row;
        return 0;
    };
    for (int end : {10, 80}) {
        const int row = item_at(end, DT_ANCHOR);
        ASSERT_NE(row, 0) << end;
        for (float k : dynamic_cast<const Anchor&>(*model().rows[row].data).v.stiffness)
            EXPECT_EQ(k, RIGID_STIFFNESS);
    }
    for (int near : {100020, 100050})
        EXPECT_NE(item_at(near, DT_RESTRAINT), 0) << near;
    for (int gone : {18, 48})
        EXPECT_EQ(node_index(gone), 0) << gone;
    for (std::size_t k = 0; k < placed.size(); ++k) {
        const Vec3 p = node_position(model(), node_index(nodes[k]));
        EXPECT_LE(norm(Vec3{p.x - placed[k].x, p.y - placed[k].y, p.z - placed[k].z}), 1e-4) << nodes[k];
    }
    EXPECT_TRUE(analyze_command(0)) << script().last_message();
    EXPECT_TRUE(std::filesystem::exists(path("again.res")));
}

// CAESAR II files whose elements do not follow their runs, as a user takes
// them through the windows: File > Import, File > Export to MBF, and a
// batch run of that batch file, whose model stands every node where the
// file's connections put it (within 1 mm) and whose supports carry the
// pipe's weight (by hand, within 1 %).
class CiiBatchRoundTrip : public NeutralImportCommand {
protected:
    // 6 in STD pipe (6.625 x 0.28 in) of 0.283 lb/in3, as the model's floats
    // hold them, lb/in.
    static double pipe_weight()
    {
        const double od = 6.625, id = od - 2 * static_cast<double>(0.28f);
        return static_cast<double>(0.283f) * std::numbers::pi / 4 * (od * od - id * id);
    }
    // The round trip of `file`, whose supports carry `weight` (lb); the
    // loads along Y of the supports by node in `vertical`, and the import's
    // closing note in import_note_.
    void round_trip(const std::string& name, const cii_test::CiiFile& file,
                    const std::vector<cii_test::PlacedNode>& nodes, double weight,
                    std::map<int, double>* vertical = nullptr)
    {
        import(write(name + ".cii", file.text()), FILTER_CAESAR);
        ASSERT_EQ(model_file_path(), path(name + ".mod")) << script().last_message();
        import_note_ = script().last_message();
        script().answer_file(path(name + ".mbf"));
        ASSERT_TRUE(run_command(CMD_EXPORT));
        run_batch_mode(path(name + ".mbf"));
        ASSERT_EQ(hb->run_loop(), 0) << script().last_message();
        // What the run wrote, as the user opens it again: its model file and
        // its results.
        batch_mode() = false;
        open_model_file(path(name + ".mod"));
        ASSERT_EQ(model_file_path(), path(name + ".mod"));
        read_results(path(name + ".res"));
        for (const cii_test::PlacedNode& n : nodes) {
            const int index = node_index(n.node);
            ASSERT_NE(index, 0) << node_text(n.node);
            const Vec3 p = node_position(model(), index);
            EXPECT_LE(std::hypot(p.x - n.p[0], p.y - n.p[1], p.z - n.p[2]), 1.0 / 25.4) << node_text(n.node);
        }
        // The Sustained case: the supports' loads on the pipe along Y (the
        // anchors' and the Y restraints' second value) carry its weight.
        for (int i = 1; i <= results().load_case_count(); ++i)
            if (results().load_cases[i].code == LC_SUSTAINED)
                results().current = i;
        ASSERT_EQ(results().load_cases[results().current].code, LC_SUSTAINED);
        read_load_case_support_loads();
        double carried = 0;
        for (const int row : results().supports_by_row) {
            const auto* item = dynamic_cast<const SupportItem*>(model().rows[row].data.get());
            ASSERT_NE(item, nullptr) << row;
            carried += item->current_loads[1];
            if (vertical)
                (*vertical)[model().rows[row].node] += item->current_loads[1];
        }
        close_results();
        EXPECT_NEAR(carried, weight, 0.01 * weight) << name;
    }

    std::string import_note_;
};

namespace {

// A node of a line of 90-degree bends whose legs run along the axes, and the
// point where the line puts it: the corners and ends as the file gives them,
// the tangent points R tan 45 = R from the corners along the legs.
std::vector<cii_test::PlacedNode> bend_line_nodes(const std::vector<int>& nodes,
                                                  const std::vector<cii_test::Point>& points)
{
    std::vector<cii_test::PlacedNode> placed;
    const double r = cii_test::LINE_BEND_RADIUS;
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        placed.push_back({nodes[k], points[k]});
        if (k == 0 || k + 1 == nodes.size())
            continue;
        cii_test::Point near = points[k], far = points[k];
        for (std::size_t c = 0; c < 3; ++c) {
            const double in = points[k][c] - points[k - 1][c], out = points[k + 1][c] - points[k][c];
            near[c] -= in == 0 ? 0 : std::copysign(r, in);
            far[c] += out == 0 ? 0 : std::copysign(r, out);
        }
        placed.push_back({nodes[k] + 100000, near});
        placed.push_back({nodes[k] + 200000, far});
    }
    return placed;
}

}  // namespace

TEST_F(CiiBatchRoundTrip, BranchesWrittenFromTheirFreeEnds)
{
    round_trip("branches", cii_test::branch_file(), cii_test::branch_nodes(),
               pipe_weight() * cii_test::BRANCH_FILE_LENGTH);
}

TEST_F(CiiBatchRoundTrip, ABendContinuedLaterInTheFile)
{
    // Three legs of 120 in, each of the two bends taking 2 R of them and
    // giving a quarter arc.
    const double r = cii_test::LINE_BEND_RADIUS;
    round_trip("later", cii_test::later_continuation_line(),
               bend_line_nodes(cii_test::TWO_BEND_NODES, cii_test::TWO_BEND_POINTS),
               pipe_weight() * (3 * 120 - 2 * 2 * r + 2 * std::numbers::pi / 2 * r));
}

TEST_F(CiiBatchRoundTrip, SixBendsOfAVersionSevenFile)
{
    // The legs add up to 624 in; each of the six bends takes 2 R of them
    // and gives a quarter arc.
    const double r = cii_test::LINE_BEND_RADIUS;
    round_trip("six", cii_test::six_bend_line(), bend_line_nodes(cii_test::SIX_BEND_NODES, cii_test::SIX_BEND_POINTS),
               pipe_weight() * (624 - 6 * 2 * r + 6 * std::numbers::pi / 2 * r));
}

TEST_F(CiiBatchRoundTrip, ADrainIntoABendsNodeWrittenBeforeItsBend)
{
    // The drain 500-505-510-30 into the node of the bend at 30 comes first in
    // the file: its nodes stand below the bend's node, it joins the bend at
    // 30B, and the supports carry the line, the drain, the water and the
    // valve; the Y restraint at 510 at least what hangs below it.
    std::vector<cii_test::PlacedNode> nodes = bend_line_nodes(cii_test::TWO_BEND_NODES, cii_test::TWO_BEND_POINTS);
    for (const cii_test::PlacedNode& n : cii_test::drain_nodes())
        nodes.push_back(n);
    const cii_test::DrainWeights w = cii_test::drain_weights();
    std::map<int, double> vertical;
    round_trip("drain", cii_test::drain_line(cii_test::DrainOrder::BeforeTheLine), nodes, w.total, &vertical);
    EXPECT_EQ(import_note_.find("Not taken"), std::string::npos) << import_note_;
    EXPECT_EQ(import_note_.find("not taken"), std::string::npos) << import_note_;
    EXPECT_GT(vertical[510], w.below_the_rest);
    EXPECT_TRUE(guide_says("Any other element that ends at the bend's node (the to node of the bend's element, where "
                           "its tangents meet), or leaves it, a drain say, joins the bend where the file's bend ends, "
                           "at its far tangent point"));
}

// A neutral file without a model, by the Import command: nothing is written
// and the message names the file.
class CiiNoModelMessage : public NeutralImportCommand {};

TEST_F(CiiNoModelMessage, AFileWithoutElementsIsNamedAndChangesNothing)
{
    write("line.mod", "earlier model");
    cii_test::CiiFile none;
    const std::string version = "#$ VERSION\n 5.000000E+00 7.000000E+00\n    TITLE = ONLY A TITLE\n";
    for (const std::string& text : {std::string(), std::string("\xEF\xBB\xBF"), version, none.text()}) {
        const std::string file = write("line.cii", text);
        import(file, FILTER_CAESAR);
        EXPECT_EQ(script().last_message(), "The neutral file holds no model:\n" + file);
        EXPECT_EQ(numrows(), 0);
        EXPECT_EQ(model_file_path(), "");
        EXPECT_EQ(bytes(path("line.mod")), "earlier model");
    }
}

// An import that is refused changes nothing: the model that was open stays
// open with its file, its rows, its settings and its unsaved changes,
// whatever the format and whatever refused it.
TEST_F(NeutralImportCommand, RefusedImportKeepsTheOpenModel)
{
    // As the guide says.
    EXPECT_NE(guide_plain(built_guide()).find("An import that is refused (a bad line, a version it does not read, a "
                                              "file that holds no model, a model file it cannot write) says why and "
                                              "changes nothing: the model that was open stays open as it was"),
              std::string::npos);
    import(write("line.cii", caesar()), FILTER_CAESAR);
    ASSERT_EQ(model_file_path(), path("line.mod"));
    // An unsaved change: the pipe to 20 made 150 in long.
    int pipe = 0;
    for (int row = 1; row <= numrows(); ++row)
        if (model().rows[row].node == 20 && model().rows[row].etype == ET_PIPE)
            pipe = row;
    ASSERT_NE(pipe, 0);
    model().rows[pipe].dx = 150.0f;
    make_model();
    model_modified() = true;
    const int rows = numrows();
    const UnitChoices units = unit_choice();
    std::string old_version = caesar();
    old_version.replace(old_version.find("1.000000E+01"), 12, "4.400000E+00");
    struct Refused {
        std::string file;
        int filter;
        std::string message;   // how the refusal begins
    };
    const Refused refused[] = {
        {write("old.cii", old_version), FILTER_CAESAR, "line = 2\n"},
        {write("empty.cii", ""), FILTER_CAESAR, "The neutral file holds no model:\n"},
        {write("bad.pnf", "UNIT SI\nFROM A 0 0 0\nTO B X 0 0\n"), FILTER_PIPEPAK, "Line = 3 :  TO B X 0 0\n"},
        {write("bad.mbf", "Broken\nOPTIONS\nSI,Z\nLAYOUT\nF10\nT20,X1000,CXYZ=1\n"), 0, "Line = 6 :  "},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.file);
        // Not saved before the import: the user keeps the change in memory.
        script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
        import(r.file, r.filter);
        EXPECT_EQ(script().last_message().rfind(r.message, 0), 0u) << script().last_message();
        EXPECT_EQ(model_file_path(), path("line.mod"));
        EXPECT_TRUE(model_modified());
        EXPECT_EQ(numrows(), rows);
        EXPECT_EQ(model().rows[pipe].dx, 150.0f);
        EXPECT_EQ(model_title(), "FIXTURE");
        EXPECT_EQ(unit_choice(), units);
        ASSERT_NE(node_index(20), 0);
        EXPECT_EQ(node_position(model(), node_index(20)).x, 150.0);
    }
}

// An imported model that the analysis would refuse as it stands is taken,
// and its closing note says first what F12 will refuse, whatever the
// importer.
TEST_F(NeutralImportCommand, AModelTheAnalysisWouldRefuseIsTakenAndSaysSoFirst)
{
    import(write("bare.mbf", "LAYOUT\nF10\nT20,X10\n"), 0);
    EXPECT_EQ(model_file_path(), path("bare.mod"));
    EXPECT_EQ(script().last_message(), "The import took the file, but the model is not ready to analyse:\n"
                                       "The analysis (F12) will refuse the model: Row 2: Material is not defined");
    // A CAESAR II line whose second bend no element continues.
    cii_test::CiiFile f = cii_test::bent_line({10, 20, 30}, {{0, 0, 0}, {120, 0, 0}, {120, 0, 120}});
    f.bends.push_back({cii_test::LINE_BEND_RADIUS, 0, 0, 0, 0, 0});
    f.elements[1].bend = 2;
    f.displacements.clear();
    f.restraints = {{cii_test::anchor_at(10)}};
    import(write("open_bend.cii", f.text()), FILTER_CAESAR);
    EXPECT_EQ(model_file_path(), path("open_bend.mod"));
    EXPECT_EQ(script().last_message().rfind("The import did not take everything the file holds:\n"
                                            "The analysis (F12) will refuse the model: Row ",
                                            0),
              0u)
        << script().last_message();
    EXPECT_NE(script().last_message().find("the bend at node 30 has no arc"), std::string::npos);
}

// A CAESAR II line that ends in a bend with an anchor at the bend's node, by
// File > Import and File > Export to MBF: the model is taken with the anchor
// at the bend's node, its closing note saying first what F12 will refuse,
// and its batch file imports to the same model.
class CiiBendAtLineEnd : public NeutralImportCommand {
protected:
    static int anchor_row_at(int node)
    {
        for (int row = 1; row <= numrows(); ++row)
            if (model().rows[row].node == node && model().rows[row].dtype == DT_ANCHOR)
                return row;
        return 0;
    }
};

TEST_F(CiiBendAtLineEnd, TakenByFileImportWithTheAnchorAtTheBendsNodeAndSoIsItsBatchFile)
{
    EXPECT_TRUE(guide_says("A bend that no element continues, at the end of a line, has no arc and so no tangent "
                           "points: what the file puts at its node (an anchor, say) stands at that node"));
    import(write("end.cii", cii_test::bend_at_line_end().text()), FILTER_CAESAR);
    ASSERT_EQ(model_file_path(), path("end.mod")) << script().last_message();
    EXPECT_TRUE(std::filesystem::exists(path("end.mod")));
    const std::string note = script().last_message();
    EXPECT_EQ(note.rfind("The import did not take everything the file holds:\n"
                         "The analysis (F12) will refuse the model: Row ",
                         0),
              0u)
        << note;
    EXPECT_NE(note.find("the bend at node 30 has no arc"), std::string::npos) << note;
    ASSERT_NE(anchor_row_at(30), 0);
    EXPECT_EQ(model().rows[anchor_row_at(30)].etype, ET_LOCATION);

    script().answer_file(path("end.mbf"));
    ASSERT_TRUE(run_command(CMD_EXPORT));
    import(write("again.mbf", bytes(path("end.mbf"))), 0);
    ASSERT_EQ(model_file_path(), path("again.mod")) << script().last_message();
    EXPECT_NE(anchor_row_at(30), 0);
    EXPECT_NE(script().last_message().find("the bend at node 30 has no arc"), std::string::npos)
        << script().last_message();
}

// The closing note of File > Import names a COORDS place that the elements
// do not agree with, in the model's dimension unit, and the options the
// file turns off that the model keeps on, as the guide says.
class CiiCoordsDisagree : public NeutralImportCommand {};

TEST_F(CiiCoordsDisagree, TheNoteOfFileImportNamesThePlaceTheElementsDoNotAgreeWithAndTheOptionsKeptOn)
{
    const std::string text = cii_test::coords_off_line().text();
    const int coords = cii_test::line_of(cii_test::lines_of(text), "#$ COORDS");
    import(write("coords.cii", text), FILTER_CAESAR);
    ASSERT_EQ(model_file_path(), path("coords.mod")) << script().last_message();
    const std::string note = script().last_message();
    EXPECT_NE(note.find(c_format(
                  "COORDS places that the elements do not agree with: COORDS places node 20 at (4000, 3, 500) mm "
                  "(line %d); its elements put it 3 mm away, at (4000, 0, 500) mm: the elements' place is taken, "
                  "COORDS places node 30 at (7050, 0, 500) mm (line %d); its elements put it 50 mm away, at "
                  "(7000, 0, 500) mm: the elements' place is taken",
                  coords + 3, coords + 4)),
              std::string::npos)
        << note;
    EXPECT_NEAR(node_position(model(), node_index(30)).x * 25.4, 7000, 1e-3);
    EXPECT_NE(note.find("Options the file turns off and the model keeps on (Options > Analysis Options turns them "
                        "off): Include Bourdon effect, Use pressure correction for bends\n"),
              std::string::npos)
        << note;
    EXPECT_TRUE(analysis_options().bourdon_effect);
    EXPECT_TRUE(analysis_options().pressure_correction);
    EXPECT_TRUE(guide_says("A COORDS place more than 1 mm from where the elements put its node is named in the "
                           "closing note with both places and the distance between them: the elements' place is "
                           "taken."));
    EXPECT_TRUE(guide_says("one that the file turns off and the model keeps on is named in the closing note, and "
                           "Options > Analysis Options turns it off"));
}
