// COMPRESSOR_DIALOG and the one table of compressors and turbines;
// ALLOWABLE_DIALOG, the Allowables table with Copy and Paste, and the
// lists in the text report and CSV; the model edits' hooks.
#include "framework/app_state.h"
#include "golden.h"
#include "model/ui/model_edit.h"
#include "qualification/qualification_ui_fixture.h"
#include "qualification/ui/allowable_ui.h"
#include "qualification/ui/compressor_ui.h"
#include "qualification/ui/equipment_dialogs.h"

using namespace qualification_test;

namespace {

class EquipmentUiTest : public QualificationUiTest {
protected:
    void SetUp() override
    {
        QualificationUiTest::SetUp();
        from(5);
        row(10, ET_PIPE, 100, 0, 0);
        row(20, ET_PIPE, 100, 0, 0);
        row(30, ET_PIPE, 100, 0, 0);
        make_model();
    }
    static std::string ok_message(HeadlessDialog& d)
    {
        const std::size_t before = script().messages().size();
        d.press(IDOK);
        return script().messages().size() > before ? script().last_message() : std::string();
    }
};

}  // namespace

TEST_F(EquipmentUiTest, CompressorDialogWarnsOfAVerticalShaftAndStores)
{
    CompressorRecord c;
    script().once("COMPRESSOR_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Compressor # 1");
        EXPECT_EQ(ok_message(d), "Description is required");
        d.type(COMPRESSOR_DESCRIPTION, "K-101 GAS COMPRESSOR");
        d.type(COMPRESSOR_NODE, "99");
        EXPECT_EQ(ok_message(d), "Inlet node =  99  Invalid node");
        d.type(COMPRESSOR_NODE, "10");
        d.type(COMPRESSOR_NODE + 1, "20");
        EXPECT_EQ(ok_message(d), "Direction is invalid");
        d.type(COMPRESSOR_SHAFT + 1, "1");
        // The warning is shown, and the record stored all the same.
        EXPECT_EQ(ok_message(d), "Shaft axis not in horizontal plane");
        EXPECT_TRUE(d.ended());
    });
    EXPECT_EQ(edit_compressor(c, 1, MACHINE_COMPRESSOR, list_frame().window), 1);
    EXPECT_EQ(c.name, "K-101 GAS COMPR");   // cut to 15 characters
    EXPECT_EQ(c.inlet, 10);
    EXPECT_EQ(c.exhaust, 20);
    EXPECT_EQ(c.shaft_axis, (std::array<float, 3>{0, 1, 0}));
    // A turbine with the same axis: no warning.
    CompressorRecord t = c;
    t.name = "T-1";
    const std::size_t messages = script().messages().size();
    script().once("COMPRESSOR_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Turbine # 2");
        EXPECT_EQ(d.text(COMPRESSOR_SHAFT + 1), "1.000");
        d.press(IDOK);
    });
    EXPECT_EQ(edit_compressor(t, 2, MACHINE_TURBINE, list_frame().window), 1);
    EXPECT_EQ(script().messages().size(), messages);
}

TEST_F(EquipmentUiTest, CompressorsTableShowsEitherListAndAppendsOnEnter)
{
    run_command(CMD_TURBINES);
    TableWindow& t = shown();
    EXPECT_EQ(t.title, "Turbines");
    // Enter on the input row without description: the message and the dialog.
    script().once("COMPRESSOR_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Turbine # 1");
        d.press(IDCANCEL);
    });
    table_goto_row(t, 1, 1, false);
    script().key(list_frame().client, KEY_RETURN);
    EXPECT_EQ(script().messages().back(), "Description is required");
    EXPECT_EQ(script().runs("COMPRESSOR_DIALOG"), 1);
    // Typed cells: description, an inlet node, then Enter with no direction.
    cell(1, 1, "T-9");
    cell(1, 2, "10");
    table_goto_row(t, 1, 1, false);
    script().key(list_frame().client, KEY_RETURN);
    EXPECT_EQ(script().last_message(), "Direction is invalid");
    EXPECT_EQ(turbines().size(), 0);
    cell(1, 6, "1");
    table_goto_row(t, 1, 1, false);
    script().key(list_frame().client, KEY_RETURN);
    ASSERT_EQ(turbines().size(), 1);
    EXPECT_EQ(turbines()[1].name, "T-9");
    EXPECT_EQ(turbines()[1].inlet, 10);
    EXPECT_EQ(t.cell_text(1, 3, 0), "");
    EXPECT_EQ(t.cell_text(1, 7, 0), "");
    EXPECT_EQ(t.cell_text(1, 6, 0), "1.000");
    // A bad node in a cell is refused with its name.
    cell(1, 3, "55");
    EXPECT_EQ(script().last_message(), "Exhaust node =  55  Invalid node");
    EXPECT_EQ(turbines()[1].exhaust, 0);
    // The same table shows the compressors on 194.
    run_command(CMD_COMPRESSORS);
    EXPECT_EQ(shown().title, "Compressors");
    EXPECT_EQ(shown().row_count, 1);
    compressors().push_back({"K-1", 10, 20, 30, 0, {1, 0, 0}});
    turbines().push_back({"T-2", 0, 30, 0, 0, {0, 0, 1.5f}});
    expect_golden_file("qualification", "compressors_input.txt", text_report([] {
                           print_compressors();
                           print_turbines();
                       }));
    expect_golden_file("qualification", "compressors_input.csv", text_report(print_turbines, true));
}

TEST_F(EquipmentUiTest, AllowableDialogChecksAndTheTableCopyAndPaste)
{
    run_command(CMD_ALLOWABLES);
    TableWindow& t = shown();
    EXPECT_EQ(t.title, "Allowables");
    script().once("ALLOWABLE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Allowable # 1");
        EXPECT_EQ(d.text(ALLOWABLE_LABEL), "FX/P (lb)");
        EXPECT_EQ(d.text(ALLOWABLE_LABEL + 5), "MZ/ML " + unit_label(MOMENT));
        EXPECT_EQ(ok_message(d), "Node number is required");
        d.type(ALLOWABLE_NODE, "77");
        EXPECT_EQ(ok_message(d), "Node =  77  is not defined");
        d.type(ALLOWABLE_NODE, "20");
        d.type(ALLOWABLE_VALUE + 3, "big");
        EXPECT_EQ(ok_message(d), "MX/MT =  BIG  is invalid");
        d.type(ALLOWABLE_VALUE + 3, "125");
        d.type(ALLOWABLE_VALUE, "-250");
        d.press(IDOK);
    });
    table_goto_row(t, 1, 1, false);
    frame_command(list_frame(), CMD_EDIT_ROW);
    ASSERT_EQ(allowables().size(), 1);
    EXPECT_EQ(allowables()[1].node, 20);
    // 125 in the moment unit (ft-lb) is 1500 in-lb.
    EXPECT_EQ(allowables()[1].values, (std::array<float, 6>{-250, 0, 0, float(to_internal(MOMENT, 125)), 0, 0}));
    EXPECT_EQ(t.cell_text(1, 2, 0), "-250");
    EXPECT_EQ(t.cell_text(1, 3, 0), "");
    // OK without a change keeps the model unmodified.
    model_modified() = false;
    script().once("ALLOWABLE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(ALLOWABLE_VALUE + 1), "");
        d.press(IDOK);
    });
    table_goto_row(t, 1, 1, false);
    frame_command(list_frame(), CMD_EDIT_ROW);
    EXPECT_FALSE(model_modified());

    // A second record, then Copy of the first and Paste onto the second:
    // the values arrive in the dialog; Cancel leaves the record as it was.
    allowables().push_back({30, {1, 2, 3, 4, 5, 6}});
    show_allowables_table();
    table_goto_row(shown(), 1, 1, false);
    frame_command(list_frame(), CMD_COPY);
    table_goto_row(shown(), 2, 1, false);
    script().once("ALLOWABLE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(ALLOWABLE_NODE), "20");
        EXPECT_EQ(d.text(ALLOWABLE_VALUE), "-250");
        d.press(IDCANCEL);
    });
    frame_command(list_frame(), CMD_PASTE);
    EXPECT_EQ(allowables()[2].node, 30);
    EXPECT_EQ(allowables()[2].values[0], 1.0f);
    // The source was used: a second Paste does nothing.
    frame_command(list_frame(), CMD_PASTE);
    EXPECT_EQ(script().runs("ALLOWABLE_DIALOG"), 3);
    // Copy again and Paste with OK stores the copied values.
    table_goto_row(shown(), 1, 1, false);
    frame_command(list_frame(), CMD_COPY);
    table_goto_row(shown(), 2, 1, false);
    script().once("ALLOWABLE_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    frame_command(list_frame(), CMD_PASTE);
    EXPECT_EQ(allowables()[2], allowables()[1]);

    // A record whose loads are all 0: only its node; six empty CSV cells.
    allowables().push_back({10, {}});
    expect_golden_file("qualification", "allowables_input.txt", text_report(print_allowables));
    const std::string csv = text_report(print_allowables, true);
    EXPECT_NE(csv.find("\n10,,,,,,,\n"), std::string::npos) << csv;
    // In results mode the dialog is read-only and OK changes nothing.
    input_locked() = true;
    const AllowableLoad before = allowables()[1];
    script().once("ALLOWABLE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_readonly(ALLOWABLE_NODE));
        EXPECT_EQ(d.focused(), IDOK);
        d.press(IDOK);
    });
    EXPECT_EQ(edit_allowable(allowables()[1], 1, list_frame().window), 0);
    EXPECT_EQ(allowables()[1], before);
    input_locked() = false;
}

TEST_F(EquipmentUiTest, ModelEditsFollowTheAllowablesAndTheEquipment)
{
    allowables().push_back({30, {1, 0, 0, 0, 0, 0}});
    pumps().push_back(PumpRecord{});
    pumps()[1].suction_node = 20;
    compressors().push_back({"K", 10, 30, 0, 0, {1, 0, 0}});
    // The row of node 30 cannot be deleted while an allowable names it.
    const int r30 = 4;
    ASSERT_EQ(model().rows[r30].node, 30);
    EXPECT_EQ(thrown_text([&] { delete_rows(r30, r30); }),
              "Element at Node 30 is referred by Allowable at '1'. \nHence cannot be deleted.");
    EXPECT_EQ(numrows(), 4);
    // Renumbering moves the allowables' and the machines' nodes.
    renumber_nodes(1, 4, 100, 10);
    EXPECT_EQ(allowables()[1].node, 130);
    EXPECT_EQ(pumps()[1].suction_node, 120);
    EXPECT_EQ(compressors()[1].inlet, 110);
    EXPECT_EQ(compressors()[1].exhaust, 130);
}
