// File > Import of PipePak and CAESAR II neutral files on the scripted
// backend: the model file beside the neutral file, the question before one
// is replaced, the closing note of what the file held that the model did
// not take, and a refused file, which writes nothing and changes nothing.
#include "exchange/data/cii_bend_lines.h"
#include "exchange/data/cii_fixture.h"
#include "exchange_fixture.h"
#include "supports/anchor.h"
#include "supports/restraint.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/piping_codes.h"

#include <filesystem>

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
    EXPECT_NE(script().last_message().find("Read and not used: 1 uniform loads"), std::string::npos)
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
    EXPECT_EQ(numrows(), 0);
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
