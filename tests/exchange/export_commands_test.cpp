// The layout window's export commands on the scripted backend: their save
// dialogs (caption, filters, the Export button, the file proposed beside
// the model), the 6.xx form chosen by the second file type, the message of
// what the batch file leaves out, a failed export, the plant-design
// dialog's extension by file type, and the results window's deflected shape.
#include "analysis/ui/analysis_ui.h"
#include "exchange/batch_export.h"
#include "exchange/ui/export_commands.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/file_dialogs.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <fstream>
#include <iterator>

namespace {

const std::string MODEL = "Export test\nOPTIONS\nIN,B313\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\n"
                          "PIPE\nP6,6.625,0.28\nLOADS\nL1,300,150\nLAYOUT\nF10,MCS,PP6,KA,CL=L1\nT20,X120,CTAG=A1\n"
                          "T30,Y120,KI\nT40,X50,CG,TAG=G-1\n";

const ScriptEvent* last_file_dialog(const Script& script)
{
    const ScriptEvent* dialog = nullptr;
    for (const ScriptEvent& e : script.log())
        if (e.kind == ScriptEvent::FileDialog)
            dialog = &e;
    return dialog;
}

class ExportCommandTest : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        script().answer_file(write("model.mbf", MODEL));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        script().clear_log();
    }
};

TEST_F(ExportCommandTest, BatchExportCommandWritesTheFileInTheChosenForm)
{
    for (int command : {CMD_EXPORT, CMD_EXPORT_PCF, CMD_EXPORT_PLANT_DESIGN})
        EXPECT_TRUE(command_available(command)) << command;
    script().answer_file(path("out.mbf"));
    ASSERT_TRUE(run_command(CMD_EXPORT));
    const ScriptEvent* dialog = last_file_dialog(script());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, "Export Model to Batch File");
    EXPECT_EQ(dialog->suggested, path("model.mbf"));
    EXPECT_EQ(bytes(path("out.mbf")), batch_export_text());
    // The model shows lengths in inches, which the file gives in feet and
    // inches unless EXPORT_INCHES is set: the user is told.
    const std::string units = "\ndisplay units the file does not carry, which the model read back shows in others: 1 "
                              "(length in inch is read back in ft-in (the environment variable EXPORT_INCHES keeps "
                              "inch))";
    ASSERT_EQ(script().messages().size(), 1u);
    EXPECT_EQ(script().last_message(), "The batch file leaves out:" + units);
    // The second type is the 6.xx form: no VERSION, and the tags it cannot
    // carry are named in the same message.
    script().answer_file(path("old.mbf"));
    script().answer_file_filter(1);
    ASSERT_TRUE(run_command(CMD_EXPORT));
    const std::string old = bytes(path("old.mbf"));
    EXPECT_EQ(old, batch_export_text({BATCH_EXPORT_6XX}));
    EXPECT_EQ(old.find("VERSION"), std::string::npos);
    ASSERT_EQ(script().messages().size(), 2u);
    EXPECT_EQ(script().last_message(), "The batch file leaves out:" + units +
                                           "\nfields of the current form that the 6.xx form leaves out: 1 (row 5)");
}

TEST_F(ExportCommandTest, BatchExportCommandShowsAFailureAndCancelWritesNothing)
{
    script().answer_file(std::nullopt);
    ASSERT_TRUE(run_command(CMD_EXPORT));
    EXPECT_TRUE(script().messages().empty());
    const std::string nowhere = path("missing-folder/out.mbf");
    script().answer_file(nowhere);
    ASSERT_TRUE(run_command(CMD_EXPORT));
    EXPECT_EQ(script().last_message(), "Unable to open export file:\n" + nowhere + "\nNo such file or directory.");
}

TEST_F(ExportCommandTest, PcfExportCommandWritesThePcfFile)
{
    script().answer_file(path("out.pcf"));
    ASSERT_TRUE(run_command(CMD_EXPORT_PCF));
    EXPECT_EQ(last_file_dialog(script())->caption, "Export Model to PCF File");
    EXPECT_EQ(bytes(path("out.pcf")).rfind("ISOGEN-FILES ISOGEN.FLS\n", 0), 0u);
}

TEST_F(ExportCommandTest, PlantDesignCommandTakesTheExtensionOfTheChosenType)
{
    script().answer_file(path("solid"));
    script().answer_file_filter(1);
    ASSERT_TRUE(run_command(CMD_EXPORT_PLANT_DESIGN));
    EXPECT_EQ(last_file_dialog(script())->caption, "Export Model to 3D Plant Design");
    EXPECT_EQ(last_file_dialog(script())->suggested, path("model.mac"));
    ASSERT_TRUE(std::filesystem::exists(path("solid.3dd")));
    EXPECT_EQ(bytes(path("solid.3dd")).rfind("I ;; \n 1 \n cyl ", 0), 0u);
    script().answer_file(path("solid"));
    ASSERT_TRUE(run_command(CMD_EXPORT_PLANT_DESIGN));
    EXPECT_EQ(bytes(path("solid.mac")).rfind("onerror golabel /end\nNEW STRU\n", 0), 0u);
}

TEST(PlantDesignDialog, EveryExportDialogShowsExportOnItsButton)
{
    for (const FileDialogRequest& r :
         {batch_export_request(), pcf_export_request(), plant_design_request(), hanger_interface_request()}) {
        EXPECT_EQ(r.ok_text, "&Export") << r.title;
        EXPECT_TRUE(r.confirm_overwrite) << r.title;
    }
    const FileDialogRequest r = plant_design_request();
    ASSERT_EQ(r.filters.size(), 2u);
    EXPECT_TRUE(r.extension_follows_filter);
    EXPECT_EQ(filter_extension(r.filters[0]), "mac");
    EXPECT_EQ(filter_extension(r.filters[1]), "3dd");
}

}  // namespace

TEST_F(ExportCommandTest, ResultsWindowExportsTheDeflectedShapeOfTheCurrentCase)
{
    // The model saved and analysed; its results open. While the
    // displacements are the result on screen, "Export to 3D Plant Design"
    // writes the shape moved by the current case's displacements.
    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    ASSERT_TRUE(results_hooks().export_hanger_interface);
    set_current_result(RESULT_DISPLACEMENTS);
    results_menu_popup();
    EXPECT_TRUE(results_frame().menu.is_enabled(CMD_EXPORT_PLANT_DESIGN_RESULTS));
    script().answer_file(path("shape.mac"));
    frame_command(results_frame(), CMD_EXPORT_PLANT_DESIGN_RESULTS);
    std::ifstream in(path("shape.mac"), std::ios::binary);
    const std::string shape{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(shape.empty());
    // The undeformed model gives other positions (the line sags under its weight).
    EXPECT_NE(shape, plant_design_text(PLANT_PDMS));
    terminate_results();
}
