// What a bound on a typed or read value says and what it takes: a value at
// the bound that the check accepts is not refused by a text saying ">" (and
// a refused value gets the text of its own fault), in the dialogs, the
// tables and the batch file alike. And a pipe load starts with the same wind
// flag whether it is typed into the table or the dialog or read from a
// batch file's LOADS line without its WIND field.
#include "exchange/batch_export.h"
#include "exchange/data/batch_fixture.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/ui/table.h"
#include "loads/pipe_load.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/ui/pipe_load_ui.h"
#include "materials/beam_material.h"
#include "materials/ui/beam_material_ui.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "supports/limit_stop.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

class EnteredValueTest : public ExchangeProgramTest {
protected:
    // Imports a batch text into an emptied model; the import's error text,
    // "" when it was taken.
    static std::string import(const std::string& text)
    {
        close_model();
        return batch_test::import_batch_error(text);
    }
    // The message part of an import error ("Line = n :  line\n<message>").
    static std::string message_of(const std::string& error)
    {
        const std::size_t end = error.find('\n');
        return end == std::string::npos ? error : error.substr(end + 1);
    }

    void key(int k) const { script().key(list_frame().client, k); }
};

using EqualBoundMessage = EnteredValueTest;
using PipeLoadWind = EnteredValueTest;

const char* const MODEL_HEAD = "Bounds\nOPTIONS\nIN,B313\n";
const char* const SETS = "MATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\nPIPE\nP6,6.625,0.28\n";

}  // namespace

// Each case reads a value at its bound (taken) and one just past it
// (refused, with a text that says what is taken).
TEST_F(EqualBoundMessage, BatchValuesAtTheirBoundAreTakenAndTheTextSaysSo)
{
    struct Case {
        const char* what;
        std::string at_bound;
        std::string past_bound;
        std::string message;
    };
    const std::string head = std::string(MODEL_HEAD) + SETS;
    const std::string layout = "LAYOUT\nF10,MCS,PP6,KA,CL=L1\nT20,X120";
    const std::vector<Case> cases = {
        // Design values: T1 300 and P1 150 as the highest operating values.
        {"design temperature", head + "LOADS\nL1,300,150,1,70,0,70,0,0,300\n" + layout + "\n",
         head + "LOADS\nL1,300,150,1,70,0,70,0,0,299.9\n" + layout + "\n", DESIGN_TEMPERATURE_BELOW_OPERATING},
        {"design pressure", head + "LOADS\nL1,300,150,1,70,0,70,0,0,300,150\n" + layout + "\n",
         head + "LOADS\nL1,300,150,1,70,0,70,0,0,300,149.9\n" + layout + "\n", DESIGN_PRESSURE_BELOW_OPERATING},
        // Limits of a limit stop equal only when both are 0.
        {"limit stop", head + "LOADS\nL1,300,150\n" + layout + ",CLS(0,0),DV(0,1,0)\n",
         head + "LOADS\nL1,300,150\n" + layout + ",CLS(2,2),DV(0,1,0)\n",
         std::string("Invalid limit stop: LS(2,2)\n") + LIMITS_OUT_OF_ORDER},
        // The EN 13480 seismic coefficient: 1.00 is taken.
        {"EN seismic K", "Bounds\nOPTIONS\nEUROPEAN\nOPCODE\n0,0,0,0,0,0,1,0,1.0\n" + std::string(SETS) +
                             "LOADS\nL1,300,150\n" + layout + "\n",
         "Bounds\nOPTIONS\nEUROPEAN\nOPCODE\n0,0,0,0,0,0,1,0,0.99\n" + std::string(SETS) + "LOADS\nL1,300,150\n" +
             layout + "\n",
         "EN seismic K should be at least 1.00 :  0.99"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(import(c.at_bound), "") << c.what;
        EXPECT_EQ(message_of(import(c.past_bound)), c.message) << c.what;
    }
    // Every text that bounds a value from below says "at least".
    for (const char* text : {DESIGN_TEMPERATURE_BELOW_OPERATING, DESIGN_PRESSURE_BELOW_OPERATING})
        EXPECT_NE(std::string(text).find("at least"), std::string::npos) << text;
    EXPECT_NE(std::string(LIMITS_OUT_OF_ORDER).find("or both limits 0"), std::string::npos);
}

TEST_F(EqualBoundMessage, TablesAndDialogsTakeTheBoundAndNameTheFaultOfTheValue)
{
    // A pipe load typed into the table: a design temperature equal to T1 is
    // taken, one below it refused at its cell with the "at least" text.
    open_pipe_loads_table();
    TableWindow& loads = *list_window_table();
    table_goto_row(loads, 1, 1);
    type_list_cells({"L1", "300", "150"});
    key(KEY_RETURN);
    ASSERT_EQ(numloads(), 1);
    const int design_t = 2 + 2 * NUM_LOAD_SETS;
    table_goto_row(loads, 1, design_t);
    type_list_cells({"300"});
    EXPECT_FLOAT_EQ(pipe_loads()[1].design_temperature, 300.0f);
    const std::size_t messages = script().messages().size();
    table_goto_row(loads, 1, design_t);
    type_list_cells({"299"});
    ASSERT_EQ(script().messages().size(), messages + 1);
    EXPECT_EQ(script().last_message(), DESIGN_TEMPERATURE_BELOW_OPERATING);
    EXPECT_FLOAT_EQ(pipe_loads()[1].design_temperature, 300.0f);
    key(KEY_ESCAPE);

    // A beam material's Nu: 0.01 is taken, below it "at least 0.01"; at 0.5
    // or above the text says what is wrong with that value, not the other end.
    EXPECT_FLOAT_EQ(check_beam_material_nu("0.01"), 0.01f);
    EXPECT_EQ(beam_nu_fault(0.0099f), "Nu should be at least 0.01");
    EXPECT_EQ(beam_nu_fault(0.5f), "Nu should be < 0.5");
    EXPECT_EQ(beam_nu_fault(0.3f), "");
    open_beam_materials_table();
    TableWindow& beams = *list_window_table();
    table_goto_row(beams, 1, 1);
    type_list_cells({"BM", "Steel", "29E6", "0.6"});
    EXPECT_EQ(script().last_message(), "Nu should be < 0.5");
    key(KEY_ESCAPE);
    key(KEY_RETURN);   // Nu left empty counts as 0
    EXPECT_EQ(script().last_message(), "Nu should be at least 0.01");
    EXPECT_EQ(numbmats(), 0);
    table_goto_row(beams, 1, 4);
    type_list_cells({"0.01"});
    key(KEY_RETURN);
    ASSERT_EQ(numbmats(), 1);
    EXPECT_FLOAT_EQ(beam_materials()[1].nu, 0.01f);
}

TEST_F(PipeLoadWind, TypedAndReadLoadsStartWithWindOff)
{
    // A batch file's LOADS line without WIND, and with it.
    ASSERT_EQ(import(std::string(MODEL_HEAD) + SETS + "LOADS\nL1,300,150\nL2,300,150,1,70,0,70,0,0,300,150,"
                     "70,0,70,0,70,0,70,0,70,0,70,0,70,0,1\nLAYOUT\nF10,MCS,PP6,KA,CL=L1\nT20,X120\n"),
              "");
    ASSERT_EQ(numloads(), 2);
    EXPECT_EQ(pipe_loads()[1].wind, 0);
    EXPECT_EQ(pipe_loads()[2].wind, 1);

    // The same load typed into the table's input row.
    open_pipe_loads_table();
    TableWindow& table = *list_window_table();
    table_goto_row(table, 3, 1);
    type_list_cells({"L3", "300", "150"});
    key(KEY_RETURN);
    ASSERT_EQ(numloads(), 3);
    EXPECT_EQ(pipe_loads()[3].wind, 0);
    EXPECT_EQ(table.cell_text(3, 2 + 2 * NUM_LOAD_SETS + 4, 0), "No");

    // And in the dialog of the input row (Ctrl+E), whose box starts clear.
    bool wind_checked = true;
    script().once("PIPE_LOAD_DIALOG", [&wind_checked](HeadlessDialog& d) {
        wind_checked = d.is_checked(PL_WIND);
        d.type(PL_NAME, "L4");
        d.type(PL_T1, "300");
        d.type(PL_P1, "150");
        d.press(IDOK);
    });
    table_goto_row(table, 4, 1);
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_EDIT_ROW));
    EXPECT_FALSE(wind_checked);
    ASSERT_EQ(numloads(), 4);
    EXPECT_EQ(pipe_loads()[4].wind, 0);
}

TEST_F(PipeLoadWind, ExportedLoadsReadBackWithTheirWind)
{
    ASSERT_EQ(import(std::string(MODEL_HEAD) + SETS + "LOADS\nL1,300,150\nL2,300,150\nLAYOUT\nF10,MCS,PP6,KA,CL=L1\n"
                     "T20,X120\n"),
              "");
    pipe_loads()[2].wind = 1;
    const std::string text = batch_export_text();
    EXPECT_EQ(import(text), "") << text;
    ASSERT_EQ(numloads(), 2);
    EXPECT_EQ(pipe_loads()[1].wind, 0) << text;
    EXPECT_EQ(pipe_loads()[2].wind, 1) << text;
}
