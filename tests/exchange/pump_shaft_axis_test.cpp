// A horizontal pump's shaft axis needs a horizontal part, for the pump's X
// axis is its shaft laid on the horizontal plane: a vertical axis (0, 1, 0
// with Y vertical, 0, 0, 1 with Z vertical) is refused where it is typed,
// with one message in the pump dialog and the Pumps table (the caret in the
// shaft axis) and at its line in a batch file, whose run then ends with 1.
// A tilted axis is taken, and its pump's batch run writes the pump's check.
// Shaft components typed into the table and refused stay in their cells.
#include "batch_runs.h"
#include "exchange/data/batch_fixture.h"
#include "exchange_fixture.h"
#include "framework/errors.h"
#include "framework/ui/table.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/options_dialog.h"
#include "qualification/equipment.h"
#include "qualification/pump_evaluation.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/pump_ui.h"

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

// A 6 in line from the pump's suction nozzle anchored at 10 to its
// discharge nozzle anchored at 40, at 300 F; the PUMPS line is added by
// each test. OPTIONS names the vertical axis.
std::string line_with_pump(const std::string& options, const std::string& pump_line)
{
    return "Pump shaft\nOPTIONS\n" + options +
           "\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\nCS,400,27.7E6,6.82E-6,20000\nPIPE\nP6,6.625,0.28\n"
           "LOADS\nL1,300,150\nLAYOUT\nF10,MCS,PP6,KA,CL=L1\nT20,Y60\nT30,X120\nT40,Y-60,KA\nPUMPS\n" +
           pump_line + "\n";
}

constexpr const char* Y_UP_REFUSAL =
    "Shaft axis of a horizontal pump cannot be vertical: give it an X or Z component (Y is vertical)";
constexpr const char* Z_UP_REFUSAL =
    "Shaft axis of a horizontal pump cannot be vertical: give it an X or Y component (Z is vertical)";

class PumpShaftAxisRefused : public ExchangeProgramTest {
protected:
    // The model without its pump, Y vertical.
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        ASSERT_EQ(import_refusal(line_with_pump("IN,B313", "P-0,0,1,0,0,60,-12,0,10,0,40,0")), "");
        pumps().clear();
        ASSERT_FALSE(analysis_options().z_vertical);
    }
    // What importing the text into an empty model, as the Import command
    // does, refused: the message, "" when it was taken.
    static std::string import_refusal(const std::string& text)
    {
        reset_model();
        clear_model_sections();
        return batch_test::import_batch_error(text);
    }
    // A new horizontal pump typed into the dialog with the three shaft
    // components: its OK's message ("" when it closed) and the focused control.
    std::pair<std::string, int> dialog_ok(const std::array<const char*, 3>& shaft, PumpRecord& p) const
    {
        std::pair<std::string, int> said;
        script().once("PUMP_DIALOG", [&](HeadlessDialog& d) {
            d.type(PUMP_DESCRIPTION, "P-1");
            d.type(PUMP_SUCTION, "10");
            d.type(PUMP_DISCHARGE, "40");
            for (int i = 0; i < 3; ++i)
                d.type(PUMP_SHAFT + i, shaft[static_cast<std::size_t>(i)]);
            d.type(PUMP_CENTRE, "60");
            const std::size_t before = script().messages().size();
            d.press(IDOK);
            if (script().messages().size() > before) {
                said = {script().last_message(), d.focused()};
                d.press(IDCANCEL);
            }
        });
        edit_pump(p, 1, list_frame().window);
        return said;
    }
};

}  // namespace

// The dialog's OK: a vertical axis is refused with the caret in X comp and
// nothing stored, under either vertical axis; a tilted axis is taken.
TEST_F(PumpShaftAxisRefused, PumpDialogRefusesAVerticalShaftAndTakesATiltedOne)
{
    struct Case {
        bool z_vertical;
        std::array<const char*, 3> shaft;
        const char* refusal;
    };
    const Case cases[] = {
        {false, {"0", "1", "0"}, Y_UP_REFUSAL},
        {false, {"", "-2.5", ""}, Y_UP_REFUSAL},
        {true, {"0", "0", "1"}, Z_UP_REFUSAL},
        {false, {"0", "1", "0.5"}, ""},   // tilted: it has a Z part
        {true, {"0", "1", "0"}, ""},      // horizontal with Z vertical
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.shaft[0]) + "," + c.shaft[1] + "," + c.shaft[2]);
        analysis_options().z_vertical = c.z_vertical;
        PumpRecord p;
        const PumpRecord before = p;
        const std::pair<std::string, int> said = dialog_ok(c.shaft, p);
        EXPECT_EQ(said.first, c.refusal);
        if (*c.refusal != '\0') {
            EXPECT_EQ(said.second, PUMP_SHAFT);
            EXPECT_TRUE(p == before);
        } else {
            EXPECT_EQ(p.name, "P-1");
        }
    }
}

// Enter on the input row: the same message, the caret in X comp, and the
// components typed (zeros too) still in their cells; three zeros likewise
// with "Direction is invalid". A stored pump refuses a component typed that
// would make its shaft vertical, and the cell keeps what was typed.
TEST_F(PumpShaftAxisRefused, PumpsTableRefusesAVerticalShaftAndKeepsWhatWasTyped)
{
    show_pumps_table();
    TableWindow& t = pumps_table();
    const auto shaft_cells = [&t](int row) {
        return std::vector<std::string>{t.cell_text(row, 7, 0), t.cell_text(row, 8, 0), t.cell_text(row, 9, 0)};
    };
    table_goto_row(t, 1, 1);
    // Description, Vert., suction node and location, discharge node and
    // location, then X, Y and Z comp.
    type_list_cells({"P-1", "", "10", "", "40", "", "0", "1", "0"});
    EXPECT_EQ(enter(), Y_UP_REFUSAL);
    EXPECT_EQ(pumps().size(), 0);
    EXPECT_EQ(t.current_row, 1);
    EXPECT_EQ(t.current_column, 7);
    EXPECT_EQ(shaft_cells(1), (std::vector<std::string>{"0.000", "1.000", "0.000"}));
    table_cancel_edit(t);
    table_goto_row(t, 1, 8);
    type_list_cells({"0"});
    EXPECT_EQ(enter(), "Direction is invalid");
    EXPECT_EQ(shaft_cells(1), std::vector<std::string>(3, "0.000"));
    // Tilted, it is taken; the stored pump shows a zero component as blank.
    table_cancel_edit(t);
    table_goto_row(t, 1, 8);
    type_list_cells({"1", "1"});
    EXPECT_EQ(enter(), "");
    ASSERT_EQ(pumps().size(), 1);
    EXPECT_EQ(pumps()[1].shaft_axis, (std::array<float, 3>{0, 1, 1}));
    EXPECT_EQ(t.cell_text(1, 7, 0), "");
    // The new input row is empty again.
    EXPECT_EQ(shaft_cells(2), std::vector<std::string>(3, ""));

    // Z comp 0 of the stored pump would leave it vertical: refused with the
    // caret in the cell, which holds the 0 typed; the pump is as it was.
    table_goto_row(t, 1, 9);
    type_into_list("0");
    key(KEY_TAB);
    EXPECT_EQ(script().last_message(), Y_UP_REFUSAL);
    EXPECT_EQ(t.current_column, 9);
    EXPECT_TRUE(t.edit.active);
    EXPECT_EQ(t.edit.text, "0");
    EXPECT_EQ(pumps()[1].shaft_axis, (std::array<float, 3>{0, 1, 1}));
    table_cancel_edit(t);
}

// A PUMPS line: a vertical shaft is refused at its line, as the model's
// vertical axis is when the file has been read (OPTIONS Z after the pumps
// counts); a tilted shaft and an axis that is horizontal are taken.
TEST_F(PumpShaftAxisRefused, BatchLineRefusesAVerticalShaftAtItsLine)
{
    const std::string vertical = "P-1,0,0,1,0,60,-12,0,10,0,40,0", z_up = "P-1,0,0,0,1,60,-12,0,10,0,40,0";
    const auto at_its_line = [](const std::string& pump, const char* refusal) {
        return "Line = 18 :  " + pump + "\n" + refusal;
    };
    const std::pair<std::string, std::string> refusals[] = {
        {line_with_pump("IN,B313", vertical), at_its_line(vertical, Y_UP_REFUSAL)},
        // Z vertical: 0, 0, 1 is refused and 0, 1, 0 taken.
        {line_with_pump("IN,B313,Z", z_up), at_its_line(z_up, Z_UP_REFUSAL)},
        {line_with_pump("IN,B313,Z", vertical), ""},
        // OPTIONS given again after the pumps: the axis is judged by the
        // file's last word.
        {line_with_pump("IN,B313", vertical) + "OPTIONS\nZ\n", ""},
        {line_with_pump("IN,B313", z_up) + "OPTIONS\nZ\n", at_its_line(z_up, Z_UP_REFUSAL)},
        // A vertical inline pump takes no axis.
        {line_with_pump("IN,B313", "P-1,1,10,40"), ""},
    };
    for (const auto& [text, refusal] : refusals)
        EXPECT_EQ(import_refusal(text), refusal) << text;
    // Tilted: taken as given.
    EXPECT_EQ(import_refusal(line_with_pump("IN,B313", "P-1,0,0.1,1,0,60,-12,0,10,0,40,0")), "");
    ASSERT_EQ(pumps().size(), 1);
    EXPECT_EQ(pumps()[1].shaft_axis, (std::array<float, 3>{0.1f, 1, 0}));
}

// The program's batch run, end to end: the vertical shaft ends it with 1
// and the message on standard error; with a shaft along X the run writes
// the pump's check into the report.
TEST_F(PumpShaftAxisRefused, BatchRunFailsOnAVerticalShaftAndChecksASoundPump)
{
    const auto run = [this](const std::string& name, const std::string& pump_line, std::string& err) {
        const std::string file = write(name + ".mbf", line_with_pump("IN,B313", pump_line));
        ::testing::internal::CaptureStderr();
        run_batch_mode(file);
        const int code = hb->run_loop();
        err = ::testing::internal::GetCapturedStderr();
        return code;
    };
    std::string err;
    const std::string vertical = "P-1,0,0,1,0,60,-12,0,10,0,40,0";
    EXPECT_EQ(run("vertical", vertical, err), 1);
    EXPECT_NE(err.find("Line = 18 :  " + vertical + "\n" + Y_UP_REFUSAL), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(path("vertical.txt")));

    EXPECT_EQ(run("sound", "P-1,0,1,0,0,60,-12,0,10,0,40,0", err), 0) << err;
    const std::string report = bytes(path("sound.txt"));
    EXPECT_NE(report.find("pump : P-1"), std::string::npos);
    EXPECT_EQ(report.find("Invalid shaft axis"), std::string::npos);
}

// ---- One rule for every shaft axis ----------------------------------------------------------------

class ShaftAxisOneRule : public PumpShaftAxisRefused {};

// An axis is judged by its direction, not its length: a pump shaft of
// (1e-5, 0, 0) lies along X as (1, 0, 0) does, and so does a compressor
// shaft of (5e-4, 0, 0). The program's batch runs of both end with 0, and
// their reports check the machines.
TEST_F(ShaftAxisOneRule, ShortAxesRunAsTheirDirectionsInTheProgramsBatchRuns)
{
    const std::string pump = "P-1,0,1E-5,0,0,60,-12,0,10,0,40,0";
    struct Run {
        const char* name;
        std::string pumps;
        const char* checked;
    };
    const Run runs[] = {{"pump", pump, "report for pump : P-1"},
                        {"compressor", pump + "\nCOMPRESSORS\nC-1 UNIT,5E-4,0,0,10,40", "report for compressor : C-1 UNIT"}};
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        write(std::string(run.name) + ".mbf", line_with_pump("IN,B313", run.pumps));
        const std::filesystem::path err = folder / (std::string(run.name) + ".err");
        EXPECT_EQ(batch_runs::finish_program(batch_runs::start_program(folder, std::string(run.name) + ".mbf", err)),
                  0)
            << batch_runs::bytes_of(err);
        const std::string report = bytes(path(std::string(run.name) + ".txt"));
        EXPECT_NE(report.find(run.checked), std::string::npos);
        EXPECT_EQ(report.find("Invalid shaft axis"), std::string::npos);
    }
}

// A horizontal pump whose shaft is along Z, taken with Y vertical: switching
// the vertical axis to Z in Options > Analysis Options names it and says
// what to do, and its check says why the axis is invalid.
TEST_F(ShaftAxisOneRule, SwitchingTheVerticalAxisNamesThePumpsItLeavesWithoutAHorizontalShaft)
{
    ASSERT_EQ(import_refusal(line_with_pump("IN,B313", "P-1 HORIZONTAL,0,0,0,1,60,-12,0,10,0,40,0")), "");
    script().once("ANALYSIS_OPTIONS_DIALOG", [](HeadlessDialog& d) {
        d.press(OPT_Z_VERTICAL);
        d.press(IDOK);
    });
    EXPECT_TRUE(analysis_options_dialog(list_frame().window));
    ASSERT_TRUE(analysis_options().z_vertical);
    EXPECT_EQ(script().last_message(),
              "With Z vertical, the shafts of these horizontal pumps have no horizontal part and the rotating "
              "equipment report cannot check them: P-1 HORIZONTAL\nGive each shaft an X or Y component (Misc > "
              "Pumps), make the pump vertical inline, or switch the vertical axis back.");
    PumpEvaluation e;
    std::string fault;
    try {
        prepare_pump(pumps()[1], e);
    } catch (const MessageText& m) {
        fault = m.text;
    }
    EXPECT_EQ(fault, std::string("Invalid shaft axis for pump: P-1 HORIZONTAL. ") + Z_UP_REFUSAL);
}
