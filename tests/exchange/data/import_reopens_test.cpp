// An import never gives a model that the program's own model file reader or
// model check refuses: every accepted fixture of the three importers is
// saved, opened again and checked for an analysis, and a file whose model the
// reader or the check would refuse is refused at the line that made the row.
#include "analysis/analysis_model.h"
#include "elements/element_analysis.h"
#include "exchange/data/cii_fixture.h"
#include "exchange/data/neutral_fixture.h"
#include "exchange/data/neutral_samples.h"
#include "exchange/import_check.h"
#include "elements/valve.h"
#include "loads/pipe_load.h"
#include "framework/document.h"
#include "model/model_file.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>

#include <unistd.h>

namespace neutral_test {
namespace {

namespace fs = std::filesystem;

std::string file_bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ImportReopens : public NeutralTest {
protected:
    void SetUp() override
    {
        NeutralTest::SetUp();
        install_element_analysis();
    }
    // The fixture's text through the importer of its extension.
    std::string import_fixture(const fs::path& path)
    {
        const std::string text = file_bytes(path);
        const std::string ext = path.extension().string();
        if (ext == ".pnf")
            return import_pnf(text);
        if (ext == ".cii")
            return import_cii(text);
        empty_model();
        return import(text);
    }
};

TEST_F(ImportReopens, EveryAcceptedFixtureOfTheThreeImportersReopensAndPassesTheModelCheck)
{
    // What the model check may still ask of a fixture: input the file leaves
    // out on purpose, which the user gives before an analysis. The spring
    // catalogues are looked for once the check has passed: the program ships
    // no data of these (libraries/hangers/5.txt and 18.txt).
    const std::string lisega = "No data is available for the Lisega spring catalogue";
    const std::map<std::string, std::string> left_out = {
        {"smallest.mbf", "Row 2: Material is not defined"},
        {"every_section.mbf", "Material SS1 has no temperature properties"},
        {"every_keyword.mbf", "No data is available for the BHEL Hyderabad spring catalogue"},
        {"v4_5_english.cii", lisega},
        {"v5_1_celsius.cii", lisega},
        {"v5_3_english.cii", lisega},
        {"v10_celsius.cii", lisega},
        // A line that ends in a bend, which the user makes a pipe.
        {"bend_at_line_end_anchored.cii",
         "Row 5: the bend at node 30 has no arc: it needs a section or a radius, and a run before and after it"},
    };
    std::vector<fs::path> fixtures;
    for (const char* folder : {"/tests/data/batch", "/examples", "/fuzz/corpus/pnf", "/fuzz/corpus/cii"})
        for (const auto& entry : fs::directory_iterator(std::string(KV_SOURCE_DIR) + folder))
            fixtures.push_back(entry.path());
    ASSERT_GE(fixtures.size(), 14u);
    // Named with the process id: other test runs may share the folder.
    const std::string pid = std::to_string(::getpid());
    const fs::path saved = fs::path(::testing::TempDir()) / ("import_reopens_" + pid + ".mod");
    const fs::path saved_again = fs::path(::testing::TempDir()) / ("import_reopens_again_" + pid + ".mod");
    for (const fs::path& path : fixtures) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        ASSERT_EQ(import_fixture(path), "");
        write_model_file(saved.string());
        ASSERT_NO_THROW(read_model(saved.string()));
        // The model opened again is the model imported.
        write_model_file(saved_again.string());
        EXPECT_EQ(file_bytes(saved_again), file_bytes(saved));
        // The spring catalogues are the shipped ones, beside the program.
        model_file_path() = (fs::path(KV_PROGRAM_PATH).parent_path() / "reopened.mod").string();
        std::string refusal;
        try {
            make_analysis_model();
        } catch (const MessageText& m) {
            refusal = m.text;
        }
        const auto expected = left_out.find(name);
        EXPECT_EQ(refusal, expected == left_out.end() ? std::string() : expected->second);
        model_file_path().clear();
    }
    fs::remove(saved);
    fs::remove(saved_again);
}

TEST_F(ImportReopens, TheCheckPutsEveryRowAndEveryRecordThroughTheReader)
{
    empty_model();
    ASSERT_EQ(import("OPTIONS\nIN\nMATERIAL\nCS,0.283\nPIPE\nP6,6.625,0.28\nLOADS\nL1,300,150\n"
                     "LAYOUT\nF10,MCS,PP6,CL=L1\nT20,X100,JV,CVWGT=300\nT30,X100\n"),
              "");
    EXPECT_EQ(imported_model_refusal().message, "");
    // A row's record: the row and the reader's message.
    element<Valve>(2).insulation_multiplier = 0.0f;
    ImportRefusal refusal = imported_model_refusal();
    EXPECT_EQ(refusal.row, 2);
    EXPECT_EQ(refusal.message, "Row 2: Valve: a multiplier is below 0.01");
    element<Valve>(2).insulation_multiplier = 1.75f;
    // A record of a set: no row.
    pipe_loads()[1].temperature[1] = std::numeric_limits<float>::quiet_NaN();
    refusal = imported_model_refusal();
    EXPECT_EQ(refusal.row, 0);
    EXPECT_EQ(refusal.message,
              "Saved and opened again, the model would be refused:\nPipe loads: Load 1 (L1): T1 is invalid");
}

TEST_F(ImportReopens, APipePakValveWithoutInsulationFactorIsRefusedAtItsLine)
{
    // The model file's reader refuses a valve multiplier below 0.01.
    const std::string head = "UNIT ENGLISH\n"
                             "MATERIAL CS 0.283 0.3\n"
                             "PIPE S6 6 40 6.625 0.28\n"
                             "FROM A 0 0 0 S6 CS\n"
                             "TO B 10 0 0\n"
                             "TO C 5 0 0\n";
    pnf_ok(head + "VALVE B GATE 300 0.5\n");
    EXPECT_EQ(import_pnf(head + "VALVE B GATE 300 0\n"),
              pnf_error(7, "VALVE B GATE 300 0", "Row 3: Valve: a multiplier is below 0.01"));
    EXPECT_EQ(numrows(), 0);
}

TEST_F(ImportReopens, ABatchItemThatTheModelCheckRefusesEndsTheImportAtItsLine)
{
    // A hanger connected to a node that the model has not.
    const std::string text = "OPTIONS\nIN\nMATERIAL\nCS,0.283\nPIPE\nP6,6.625,0.28\n"
                             "LAYOUT\nF10,MCS,PP6\nT20,X100,CRH\nT30,X100,CRH,CNOD=20\n";
    EXPECT_EQ(import(text), "");
    empty_model();
    const std::string error = import(text + "T40,X100,CRH,CNOD=55\n");
    EXPECT_EQ(error, batch_test::line_error(11, "T40,X100,CRH,CNOD=55",
                                            "Row 4: connected node 55 of the hanger does not exist"));
    EXPECT_EQ(numrows(), 0);
}

TEST_F(ImportReopens, ACaesarStopConnectedToANodeThatIsNotThereIsRefusedAtItsLine)
{
    cii_test::CiiFile f = cii_test::small_cii();
    // A limit stop (type 9) at 20 connected to node 30, which the model has.
    f.restraints.push_back({{20, 9, 0, 0.5, 0, 30, {0, 1, 0}}});
    cii_ok(f.text());
    f.restraints.back()[0].connected = 55;
    const std::string error = import_cii(f.text());
    EXPECT_NE(error.find("connected node 55 of the limit stop does not exist"), std::string::npos) << error;
    EXPECT_EQ(error.rfind("line = ", 0), 0u) << error;
    EXPECT_EQ(numrows(), 0);
}

}  // namespace
}  // namespace neutral_test
