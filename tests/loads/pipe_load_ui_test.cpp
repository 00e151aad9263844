// Pipe and beam loads through their dialogs and tables: the checks in
// order, the design values taken from the operating ones, the sets beyond
// numtloads hidden and kept, typed cells and the input row, renames, and the
// layout's Load cell.
#include "loads/ui/pipe_load_ui.h"
#include "loads/loads_ui_fixture.h"

using namespace loads_test;

namespace {

class PipeLoadUiTest : public LoadsUiTest {
protected:
    static void attempt(HeadlessDialog& d, const std::vector<std::pair<int, std::string>>& fields)
    {
        for (const auto& [id, text] : fields)
            d.type(id, text);
        d.press(IDOK);
    }
    static constexpr int design_t_column = 2 + 2 * NUM_LOAD_SETS;
};

}  // namespace

TEST_F(PipeLoadUiTest, DialogChecksInOrderAndFillsTheDesignValues)
{
    numtloads() = 2;
    script().once("PIPE_LOAD_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Load # 1");
        EXPECT_EQ(d.text(PL_T1), "70");
        EXPECT_TRUE(d.is_shown(PL_T1 + 1));
        EXPECT_FALSE(d.is_shown(PL_T1 + 2));
        EXPECT_FALSE(d.is_shown(PL_P1 + 2));
        EXPECT_FALSE(d.is_checked(PL_WIND));
        attempt(d, {});
        attempt(d, {{PL_NAME, "l*1"}});
        attempt(d, {{PL_NAME, "l1"}, {PL_T1, ""}});
        attempt(d, {{PL_T1, "-500"}});
        attempt(d, {{PL_T1, "300"}, {PL_P1, "150"}, {PL_T1 + 1, "200"}, {PL_DESIGN_T, "250"}});
        EXPECT_EQ(d.focused(), PL_DESIGN_T);
        attempt(d, {{PL_DESIGN_T, ""}, {PL_SG, "-1"}});
        attempt(d, {{PL_SG, "1.1"}, {PL_ADDED_WEIGHT, "1.5"}});
    });
    EXPECT_EQ(edit_pipe_load(1), IDOK);
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Name is required", "Name =  L*1  should be alpha numeric",
                                                             "T1 is required", "T1 =  -500  is invalid",
                                                             "Design Temperature should be at least the highest Operating temperature",
                                                             "Specific Gravity =  -1  is invalid"}));
    ASSERT_EQ(numloads(), 1);
    const PipeLoad& l = pipe_loads()[1];
    EXPECT_EQ(l.name, "L1");
    EXPECT_FLOAT_EQ(l.temperature[1], 300.0f);
    EXPECT_FLOAT_EQ(l.pressure[1], 150.0f);
    EXPECT_FLOAT_EQ(l.temperature[2], 200.0f);
    EXPECT_EQ(l.pressure[2], ENTERED_ZERO);
    EXPECT_FLOAT_EQ(l.design_temperature, 300.0f);
    EXPECT_FLOAT_EQ(l.design_pressure, 150.0f);
    EXPECT_FLOAT_EQ(l.specific_gravity, 1.1f);
    EXPECT_FLOAT_EQ(l.added_weight, 1.5f / 12.0f);   // lb/ft typed, lb/in kept
    EXPECT_EQ(l.wind, 0);
    EXPECT_TRUE(model_modified());

    // OK on the stored load without a change changes nothing.
    model_modified() = false;
    const PipeLoad before = l;
    script().once("PIPE_LOAD_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_EQ(edit_pipe_load(1), IDOK);
    EXPECT_TRUE(pipe_loads()[1] == before);
    EXPECT_FALSE(model_modified());
}

TEST_F(PipeLoadUiTest, SetsBeyondThoseInUseAreHiddenAndKept)
{
    numtloads() = 10;
    PipeLoad l = pipe_load("L1", 300.0f, 100.0f);
    l.temperature[5] = 500.0f;
    l.design_temperature = 500.0f;
    pipe_loads().push_back(l);
    numtloads() = 3;
    script().once("PIPE_LOAD_DIALOG", [](HeadlessDialog& d) {
        EXPECT_FALSE(d.is_shown(PL_T1 + 4));
        d.type(PL_T1, "250");
        d.press(IDOK);
    });
    EXPECT_EQ(edit_pipe_load(1), IDOK);
    EXPECT_FLOAT_EQ(pipe_loads()[1].temperature[1], 250.0f);
    EXPECT_FLOAT_EQ(pipe_loads()[1].temperature[5], 500.0f);
    EXPECT_FLOAT_EQ(pipe_loads()[1].design_temperature, 500.0f);

    // The table's CSV form shows the three sets in use only.
    open_pipe_loads_table();
    const std::string csv = table_report_text(shown(), true);
    EXPECT_NE(csv.find("T3"), std::string::npos) << csv;
    EXPECT_EQ(csv.find("T4"), std::string::npos) << csv;
    EXPECT_NE(csv.find("L1,250,100,70,0,70,0,500,100"), std::string::npos) << csv;
    numtloads() = 10;
    EXPECT_NE(table_report_text(shown(), true).find("T10"), std::string::npos);
}

TEST_F(PipeLoadUiTest, TableTypesLoadsAndKeepsTheirDesignValuesAbove)
{
    open_pipe_loads_table();
    TableWindow& t = shown();
    // The input row takes a name and then its values; leaving it appends
    // the load with the design values of its operating ones.
    cell(1, 1, "hot");
    cell(1, 2, "450");
    cell(1, 3, "80");
    script().key(list_frame().client, KEY_RETURN);
    ASSERT_EQ(numloads(), 1);
    EXPECT_EQ(pipe_loads()[1].name, "HOT");
    EXPECT_FLOAT_EQ(pipe_loads()[1].design_temperature, 450.0f);
    EXPECT_FLOAT_EQ(pipe_loads()[1].design_pressure, 80.0f);
    EXPECT_EQ(t.row_count, 2);

    // A temperature above the design temperature is refused at its cell.
    cell(1, 2, "500");
    EXPECT_EQ(script().last_message(), "Design Temperature should be at least the highest Operating temperature");
    EXPECT_FLOAT_EQ(pipe_loads()[1].temperature[1], 450.0f);
    table_cancel_edit(t);
    cell(1, design_t_column, "600");
    cell(1, 2, "500");
    EXPECT_FLOAT_EQ(pipe_loads()[1].temperature[1], 500.0f);
    // Wind takes Yes or No.
    cell(1, design_t_column + 4, "y");
    EXPECT_EQ(pipe_loads()[1].wind, 1);
    cell(1, design_t_column + 4, "x");
    EXPECT_EQ(script().last_message(), "Wind =  X  is invalid");
    EXPECT_EQ(pipe_loads()[1].wind, 1);
}

TEST_F(PipeLoadUiTest, RenameReachesTheRowsAndTheLoadCellOpensTheRowsLoad)
{
    pipe_loads().push_back(pipe_load("L1", 200.0f, 50.0f));
    const int r = pipe_with(DT_NONE);
    script().answer(IDYES);
    script().once("PIPE_LOAD_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(PL_NAME), "L1");
        d.type(PL_NAME, "L9");
        d.press(IDOK);
    });
    EXPECT_TRUE(layout_hooks().load_dialog(r));
    EXPECT_EQ(model().rows[r].load, "L9");
    EXPECT_EQ(pipe_loads()[1].name, "L9");

    // A beam row's Load cell opens the beam load of that name, new here.
    const int beam = row(30, ET_BEAM, 0, 60, 0);
    model().rows[beam].load = "B1";
    script().once("BEAM_LOAD_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Beam Load # 1");
        EXPECT_EQ(d.text(PL_NAME), "B1");
        d.type(PL_T1, "150");
        d.type(PL_ADDED_WEIGHT, "12");
        d.press(PL_WIND);
        d.press(IDOK);
    });
    EXPECT_TRUE(layout_hooks().load_dialog(beam));
    ASSERT_EQ(numbloads(), 1);
    EXPECT_EQ(beam_loads()[1].name, "B1");
    EXPECT_FLOAT_EQ(beam_loads()[1].temperature[1], 150.0f);
    EXPECT_FLOAT_EQ(beam_loads()[1].added_weight, 1.0f);
    EXPECT_EQ(beam_loads()[1].wind, 1);
    // A load in use cannot be deleted from its table.
    open_pipe_loads_table();
    table_goto_row(shown(), 1, 1, false);
    table_delete(shown());
    EXPECT_EQ(script().last_message(), "Load L9 is in use, it cannot be deleted");
    EXPECT_EQ(numloads(), 1);
}

TEST_F(PipeLoadUiTest, BeamLoadsTableAndThePipeLoadCombo)
{
    numtloads() = 2;
    BeamLoad b = make_beam_load();
    b.name = "B1";
    beam_loads().push_back(b);
    open_beam_loads_table();
    TableWindow& t = shown();
    EXPECT_EQ(t.title, "Beam Loads");
    EXPECT_EQ(t.cell_text(1, 2, 0), "70");
    cell(1, 3, "-470");
    EXPECT_EQ(script().last_message(), "T2 =  -470  is invalid");
    table_cancel_edit(t);
    cell(1, 3, "210");
    cell(1, 2 + NUM_LOAD_SETS, "24");   // lb/ft
    EXPECT_FLOAT_EQ(beam_loads()[1].temperature[2], 210.0f);
    EXPECT_FLOAT_EQ(beam_loads()[1].added_weight, 2.0f);
    EXPECT_TRUE(model_modified());

    pipe_loads().push_back(pipe_load("L1", 100.0f, 0.0f));
    pipe_loads().push_back(pipe_load("L2", 200.0f, 0.0f));
    struct Combo : DialogProc {
        void init(Dialog&) override { fill_pipe_load_combo(NL_CHOICE, true); }
    } proc;
    script().once("FORCE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_count(NL_CHOICE), 3);
        EXPECT_EQ(d.list_text(NL_CHOICE, 2), "L2");
        d.press(IDCANCEL);
    });
    run_dialog(FORCE_DIALOG, proc);
}
