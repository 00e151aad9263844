// File > Import and start-up batch mode on the scripted backend: the dialog
// and its filters, the model file beside the batch file and the question
// before one is replaced, a refused file, and the batch run that imports,
// saves, analyses and ends with its exit code.
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/file_dialogs.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/piping_codes.h"

namespace {

const std::string GOOD = "Import test\nOPTIONS\nIN,B313\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\n"
                         "CS,500,27.3E6,7.02E-6,18900\nPIPE\nP6,6.625,0.28\nLOADS\nL1,300,150\n"
                         "LAYOUT\nF10,MCS,PP6,KA,CL=L1\nT20,X120\nT30,Y120,KA\n";
const std::string BROKEN = "Broken\nOPTIONS\nSI,Z\nLAYOUT\nF10\nT20,X1000,CXYZ=1\n";

}  // namespace

TEST_F(ExchangeProgramTest, ImportWritesTheModelFileBesideTheBatchFile)
{
    EXPECT_TRUE(command_available(CMD_IMPORT));
    const std::string batch = write("pipe.mbf", GOOD);
    script().answer_file(batch);
    ASSERT_TRUE(run_command(CMD_IMPORT));
    EXPECT_EQ(model_file_path(), path("pipe.mod"));
    EXPECT_FALSE(model_modified());
    EXPECT_TRUE(std::filesystem::exists(path("pipe.mod")));
    EXPECT_EQ(numrows(), 4);
    EXPECT_EQ(model_title(), "Import test");
    EXPECT_EQ(unit_choice()[LENGTH], 2);   // the file's units are the model's
    const ScriptEvent* dialog = nullptr;
    for (const ScriptEvent& e : script().log())
        if (e.kind == ScriptEvent::FileDialog)
            dialog = &e;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, "Import Model from Batch File");
    EXPECT_TRUE(script().messages().empty());
}

TEST_F(ExchangeProgramTest, ExistingModelFileIsReplacedOnlyWhenTheUserSaysSo)
{
    const std::string batch = write("pipe.mbf", GOOD);
    write("pipe.mod", "an older model");
    // Cancel: the model stays in memory, untitled and modified; the file is kept.
    script().answer_file(batch);
    script().answer(IDCANCEL);
    run_command(CMD_IMPORT);
    EXPECT_EQ(script().last_message(), path("pipe.mod") + " already exists\nDo you want to overwrite ?");
    EXPECT_EQ(bytes(path("pipe.mod")), "an older model");
    EXPECT_EQ(model_file_path(), "");
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(numrows(), 4);
    // OK: replaced. The modified model is offered for saving first (No).
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    script().answer_file(batch);
    script().answer(IDOK);
    run_command(CMD_IMPORT);
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 1);
    EXPECT_NE(bytes(path("pipe.mod")), "an older model");
    EXPECT_EQ(model_file_path(), path("pipe.mod"));
}

TEST_F(ExchangeProgramTest, RefusedBatchFileLeavesAnEmptyUntitledModelAndTheSettings)
{
    piping_code() = CODE_B311;
    const UnitChoices units = unit_choice();
    const AnalysisOptions options = analysis_options();
    script().answer_file(write("broken.mbf", BROKEN));
    run_command(CMD_IMPORT);
    EXPECT_EQ(script().last_message(), "Line = 6 :  T20,X1000,CXYZ=1\nUnknown comment :  XYZ=1");
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(model_file_path(), "");
    EXPECT_FALSE(model_modified());
    EXPECT_FALSE(std::filesystem::exists(path("broken.mod")));
    EXPECT_EQ(unit_choice(), units);
    EXPECT_EQ(piping_code(), CODE_B311);
    EXPECT_EQ(analysis_options(), options);
}

TEST_F(ExchangeProgramTest, FilterSaysTheKindOfOtherExtensionsAndUnsafeNamesAreRefused)
{
    // A name whose extension names no importer is read as the filter says:
    // a batch file read as a PipePak file stops at its MATERIAL head, which
    // names no material.
    script().answer_file(write("x.dat", GOOD));
    script().answer_file_filter(1);
    run_command(CMD_IMPORT);
    EXPECT_EQ(script().last_message(), "Line = 4 :  MATERIAL\nMaterial name is required");
    EXPECT_EQ(numrows(), 0);
    EXPECT_FALSE(std::filesystem::exists(path("x.mod")));
    // A batch file named like its model file is never written over.
    const std::string named_mod = write("a.mod", GOOD);
    script().answer_file(named_mod);
    run_command(CMD_IMPORT);
    EXPECT_EQ(script().last_message(),
              "The model file of this batch file would be the batch file itself:\n" + named_mod +
                  "\nRename the batch file to end in .mbf.");
    EXPECT_EQ(bytes(named_mod), GOOD);
    script().answer_file(named_mod);
    script().answer_file_filter(2);
    run_command(CMD_IMPORT);
    EXPECT_EQ(script().last_message(),
              "The model file of this neutral file would be the neutral file itself:\n" + named_mod +
                  "\nRename the neutral file to end in .cii.");
    // Cancel in the dialog changes nothing.
    script().answer_file(std::nullopt);
    run_command(CMD_IMPORT);
    EXPECT_EQ(numrows(), 0);
}

TEST_F(ExchangeProgramTest, BatchModeImportsSavesAnalysesAndEnds)
{
    const std::string batch = write("run.mbf.dat", GOOD);
    run_batch_mode(batch);
    EXPECT_EQ(hb->run_loop(), 0);
    EXPECT_TRUE(batch_mode());
    // The last three characters are the extension.
    EXPECT_TRUE(std::filesystem::exists(path("run.mbf.mod")));
    EXPECT_TRUE(std::filesystem::exists(path("run.mbf.res")));
    EXPECT_TRUE(std::filesystem::exists(path("run.mbf.txt")));
    EXPECT_EQ(script().runs("ANALYSIS_DIALOG"), 1);
    // An existing model file is replaced without a question.
    const std::size_t questions = script().messages().size();
    run_batch_mode(batch);
    EXPECT_EQ(hb->run_loop(), 0);
    EXPECT_EQ(script().messages().size(), questions);
}

TEST_F(ExchangeProgramTest, BatchModeEndsWithCode1WhenAStepFails)
{
    ::testing::internal::CaptureStderr();
    run_batch_mode(write("broken.mbf", BROKEN));
    EXPECT_EQ(hb->run_loop(), 1);
    EXPECT_FALSE(std::filesystem::exists(path("broken.mod")));
    // A file that cannot be read, one that names itself as its model file,
    // and one without a model.
    run_batch_mode(path("missing.mbf"));
    EXPECT_EQ(hb->run_loop(), 1);
    const std::string self = write("a.mbf.mod", GOOD);
    run_batch_mode(self);
    EXPECT_EQ(hb->run_loop(), 1);
    EXPECT_EQ(bytes(self), GOOD);
    run_batch_mode(write("empty.mbf", "Nothing\n"));
    EXPECT_EQ(hb->run_loop(), 1);
    // A batch file that its own results report would replace is not run.
    const std::string report_named = write("report.mbf.txt", GOOD);
    run_batch_mode(report_named);
    EXPECT_EQ(hb->run_loop(), 1);
    EXPECT_EQ(bytes(report_named), GOOD);
    EXPECT_FALSE(std::filesystem::exists(path("report.mbf.mod")));
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("results report of this batch file would be the batch file itself"), std::string::npos) << err;
    EXPECT_NE(err.find("Line = 6 :  T20,X1000,CXYZ=1\nUnknown comment :  XYZ=1"), std::string::npos) << err;
    EXPECT_NE(err.find("Unable to open import file:\n" + path("missing.mbf")), std::string::npos) << err;
    EXPECT_NE(err.find("would be the batch file itself"), std::string::npos) << err;
    EXPECT_NE(err.find("The batch file holds no model:\n" + path("empty.mbf")), std::string::npos) << err;
}
