// PUMP_DIALOG headless: its three layouts and the lists of each ANSI/HI
// type, every check in its order with its text, what OK stores; the Pumps
// table: typing, Enter appending the input row, delete, browse-only mode,
// a refused cell reopened with its text selected, and the pumps in the text
// report and CSV.
#include "framework/app_state.h"
#include "framework/ui/menus.h"
#include "golden.h"
#include "qualification/pump_standards.h"
#include "qualification/qualification_ui_fixture.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/pump_ui.h"

using namespace qualification_test;

namespace {

class PumpUiTest : public QualificationUiTest {
protected:
    void SetUp() override
    {
        QualificationUiTest::SetUp();
        from(5);
        row(10, ET_PIPE, 100, 0, 0);
        row(20, ET_PIPE, 100, 0, 0);
        bend(30, 100, 0, 0, 20);
        row(40, ET_PIPE, 0, 100, 0);
        make_model();
    }
    // Runs the dialog on `p` with the handler; the dialog's result.
    static int run(PumpRecord& p, std::function<void(HeadlessDialog&)> handler)
    {
        script().once("PUMP_DIALOG", std::move(handler));
        return edit_pump(p, 3, list_frame().window);
    }
    static bool enabled(HeadlessDialog& d, int id) { return d.control(id)->enabled; }
    // Presses OK and gives the message it showed, "" when it closed.
    static std::string ok_message(HeadlessDialog& d)
    {
        const std::size_t before = script().messages().size();
        d.press(IDOK);
        return script().messages().size() > before ? script().last_message() : std::string();
    }
};

PumpRecord horizontal() { return api610_pump("P-101", {1, 0, 0}, {150, 10, 0}); }

}  // namespace

TEST_F(PumpUiTest, PumpDialogLayoutsByKindAndType)
{
    // Horizontal: locations and shaft enabled, the ANSI/HI lists not.
    PumpRecord p = horizontal();
    p.kind = PUMP_KIND_UNSET;   // older files: read as horizontal
    run(p, [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Pump # 3");
        EXPECT_TRUE(d.is_checked(PUMP_HORIZONTAL));
        EXPECT_TRUE(enabled(d, PUMP_SUCTION_TOP + 2));
        EXPECT_TRUE(d.is_checked(PUMP_SUCTION_TOP + 2));
        EXPECT_TRUE(enabled(d, PUMP_SHAFT));
        EXPECT_FALSE(enabled(d, PUMP_TYPE));
        EXPECT_FALSE(enabled(d, PUMP_TEMPERATURE));
        EXPECT_EQ(d.text(PUMP_SHAFT), "1.000");
        EXPECT_EQ(d.text(PUMP_SHAFT + 1), "");   // zero components are not shown
        EXPECT_EQ(d.text(PUMP_SUCTION), "10");
        EXPECT_EQ(d.list_count(PUMP_TYPE), HI_TYPE_COUNT);
        EXPECT_EQ(d.list_count(PUMP_MATERIAL), HI_MATERIAL_COUNT);
        EXPECT_EQ(d.list_text(PUMP_TYPE, 4), "Axial split case pumps");
        // The vertical inline layout disables everything but the nodes.
        d.press(PUMP_VERTICAL);
        EXPECT_FALSE(enabled(d, PUMP_SUCTION_TOP));
        EXPECT_FALSE(enabled(d, PUMP_SHAFT));
        EXPECT_FALSE(enabled(d, PUMP_CENTRE_GROUP));
        EXPECT_TRUE(enabled(d, PUMP_SUCTION));
        // ANSI/HI: the type list and the end suction sizes, no mounting list.
        d.press(PUMP_ANSI_HI_RADIO);
        EXPECT_TRUE(enabled(d, PUMP_TYPE));
        EXPECT_TRUE(enabled(d, PUMP_TEMPERATURE));
        EXPECT_FALSE(enabled(d, PUMP_MOUNTING));
        EXPECT_FALSE(enabled(d, PUMP_SUCTION_TOP));
        EXPECT_TRUE(enabled(d, PUMP_SHAFT));
        EXPECT_EQ(d.list_count(PUMP_SIZE), 21);
        // Type by type.
        d.select(PUMP_TYPE, HI_B735);
        EXPECT_TRUE(enabled(d, PUMP_MOUNTING));
        EXPECT_EQ(d.text(PUMP_MOUNTING_LABEL), "&Mounting Type");
        EXPECT_EQ(d.list_count(PUMP_MOUNTING), 5);
        d.select(PUMP_TYPE, HI_B732);
        EXPECT_EQ(d.list_count(PUMP_SIZE), 13);
        EXPECT_FALSE(enabled(d, PUMP_MOUNTING));
        EXPECT_FALSE(enabled(d, PUMP_SHAFT));
        EXPECT_FALSE(enabled(d, PUMP_CENTRE));
        d.select(PUMP_TYPE, HI_AXIAL_SPLIT);
        EXPECT_EQ(d.text(PUMP_SIZE_LABEL), "Nominal size");
        EXPECT_EQ(d.text(PUMP_MOUNTING_LABEL), "Bolt size");
        EXPECT_EQ(d.list_text(PUMP_MOUNTING, 3), "1.00in");
        EXPECT_TRUE(enabled(d, PUMP_SHAFT));
        d.select(PUMP_TYPE, HI_VERTICAL_TURBINE);
        EXPECT_EQ(d.text(PUMP_SIZE_LABEL), "Nozzle size");
        EXPECT_EQ(d.list_count(PUMP_SIZE), 15);
        EXPECT_EQ(d.text(PUMP_DISCHARGE_LABEL), "Flange Position");
        EXPECT_EQ(d.text(PUMP_DISCHARGE_TOP), "Above base");
        EXPECT_EQ(d.text(PUMP_DISCHARGE_TOP + 1), "Below base");
        EXPECT_TRUE(enabled(d, PUMP_DISCHARGE_TOP + 1));
        EXPECT_FALSE(enabled(d, PUMP_DISCHARGE_TOP + 2));
        EXPECT_FALSE(enabled(d, PUMP_SHAFT));
        // Back to another type: "Location", "Top", "Side", "End".
        d.select(PUMP_TYPE, HI_B731);
        EXPECT_EQ(d.text(PUMP_DISCHARGE_LABEL), "Location");
        EXPECT_EQ(d.text(PUMP_DISCHARGE_TOP + 1), "Side");
        EXPECT_FALSE(enabled(d, PUMP_DISCHARGE_TOP));
        d.press(IDCANCEL);
    });
    EXPECT_TRUE(script().faults().empty());

    // A stored ANSI/HI record shows its choices.
    PumpRecord h = horizontal();
    h.kind = PUMP_ANSI_HI;
    h.hi_type = HI_AXIAL_SPLIT;
    h.hi_size = 2;
    h.hi_mounting = 1;
    h.hi_material = 7;
    h.temperature = 250;
    run(h, [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(PUMP_ANSI_HI_RADIO));
        EXPECT_EQ(d.list_selection(PUMP_TYPE), HI_AXIAL_SPLIT);
        EXPECT_EQ(d.list_selection(PUMP_SIZE), 2);
        EXPECT_EQ(d.list_selection(PUMP_MOUNTING), 1);
        EXPECT_EQ(d.list_selection(PUMP_MATERIAL), 7);
        EXPECT_EQ(d.text(PUMP_TEMPERATURE), format_temperature(250));
        d.press(IDCANCEL);
    });
}

TEST_F(PumpUiTest, PumpDialogChecksInTheirOrder)
{
    PumpRecord p;
    run(p, [](HeadlessDialog& d) {
        EXPECT_EQ(ok_message(d), "Description is required");
        EXPECT_EQ(d.focused(), PUMP_DESCRIPTION);
        d.type(PUMP_DESCRIPTION, "  NEW PUMP ");
        d.press(PUMP_ANSI_HI_RADIO);
        EXPECT_EQ(ok_message(d), "Pump category not selected");
        d.select(PUMP_TYPE, HI_B735);
        EXPECT_EQ(ok_message(d), "Pump or Nozzle size not selected");
        d.select(PUMP_SIZE, 4);
        EXPECT_EQ(ok_message(d), "Pump material not selected");
        d.select(PUMP_MATERIAL, 2);
        EXPECT_EQ(ok_message(d), "Bolt Size or Mounting Type not selected");
        d.select(PUMP_MOUNTING, 0);
        d.type(PUMP_TEMPERATURE, "hot");
        EXPECT_EQ(ok_message(d), "Temperature =  HOT  is invalid");
        EXPECT_EQ(d.focused(), PUMP_TEMPERATURE);
        d.type(PUMP_TEMPERATURE, "500.1");
        EXPECT_EQ(ok_message(d), "Temperature cannot be > 500");
        d.type(PUMP_TEMPERATURE, "500");
        d.type(PUMP_SUCTION, "12X");
        EXPECT_EQ(ok_message(d), "Suction Node =  12X  is invalid");
        d.type(PUMP_SUCTION, "77");
        EXPECT_EQ(ok_message(d), "Suction Node =  77  is not defined");
        d.type(PUMP_SUCTION, "30");
        EXPECT_EQ(ok_message(d), "Suction Node =  30  is bend node");
        d.type(PUMP_SUCTION, "");
        d.type(PUMP_DISCHARGE, "88");
        EXPECT_EQ(ok_message(d), "Discharge Node =  88  is not defined");
        d.type(PUMP_DISCHARGE, "");
        EXPECT_EQ(ok_message(d), "Suction or discharge node is required");
        EXPECT_EQ(d.focused(), PUMP_SUCTION);
        d.type(PUMP_DISCHARGE, "20");
        EXPECT_EQ(ok_message(d), "Direction is invalid");
        EXPECT_EQ(d.focused(), PUMP_SHAFT);
        d.type(PUMP_SHAFT + 1, "x");
        EXPECT_EQ(ok_message(d), "Y comp =  X  is invalid");
        d.type(PUMP_SHAFT + 1, "");
        d.type(PUMP_SHAFT + 2, "1");
        d.type(PUMP_CENTRE + 2, "q");
        EXPECT_EQ(ok_message(d), "Z =  Q  is invalid");
        d.type(PUMP_CENTRE + 2, "12");
        EXPECT_EQ(ok_message(d), "");
    });
    EXPECT_EQ(p.name, "NEW PUMP");
    EXPECT_EQ(p.kind, PUMP_ANSI_HI);
    EXPECT_EQ(p.hi_type, HI_B735);
    EXPECT_EQ(p.hi_size, 4);
    EXPECT_EQ(p.hi_material, 2);
    EXPECT_EQ(p.hi_mounting, 0);
    EXPECT_EQ(p.temperature, 500.0f);   // exactly 500 is accepted
    EXPECT_EQ(p.discharge_node, 20);
    EXPECT_EQ(p.shaft_axis, (std::array<float, 3>{0, 0, 1}));
    EXPECT_EQ(p.centre[2], float(to_internal(LENGTH, 12)));
    EXPECT_TRUE(model_modified());
}

TEST_F(PumpUiTest, PumpDialogStoresWhatItsLayoutHolds)
{
    // A vertical inline pump stores both locations as Side and no axis or centre.
    PumpRecord p = horizontal();
    EXPECT_EQ(run(p, [](HeadlessDialog& d) {
                  d.type(PUMP_DESCRIPTION, "ABCDEFGHIJKLMNOPQRST");   // 20 characters
                  d.press(PUMP_VERTICAL);
                  d.type(PUMP_SUCTION, "");
                  d.press(IDOK);
              }),
              1);
    EXPECT_EQ(p.name, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(p.vertical, 1);
    EXPECT_EQ(p.kind, PUMP_VERTICAL_INLINE_API610);
    EXPECT_EQ(p.suction_node, 0);   // only a discharge node is accepted
    EXPECT_EQ(p.suction_location, LOCATION_SIDE);
    EXPECT_EQ(p.discharge_location, LOCATION_SIDE);
    EXPECT_EQ(p.shaft_axis, (std::array<float, 3>{}));
    EXPECT_EQ(p.centre, (std::array<float, 3>{}));

    // ANSI/HI B73.2 and vertical turbine pumps: the shaft axis and centre
    // are not read (a bad text there is no error) and stored as zero.
    for (int type : {int{HI_B732}, int{HI_VERTICAL_TURBINE}}) {
        PumpRecord v = horizontal();
        EXPECT_EQ(run(v, [type](HeadlessDialog& d) {
                      d.type(PUMP_SHAFT, "bad");
                      d.press(PUMP_ANSI_HI_RADIO);
                      d.select(PUMP_TYPE, type);
                      d.select(PUMP_SIZE, 1);
                      d.select(PUMP_MATERIAL, 0);
                      d.press(IDOK);
                  }),
                  1);
        EXPECT_EQ(v.hi_type, type);
        EXPECT_EQ(v.shaft_axis, (std::array<float, 3>{}));
        EXPECT_EQ(v.centre, (std::array<float, 3>{}));
    }

    // OK without a change marks nothing, even for values shown rounded.
    PumpRecord q = horizontal();
    q.shaft_axis = {0.70710678f, 0, 0.70710678f};
    q.centre = {123.456789f, 0, 0};
    const PumpRecord before = q;
    model_modified() = false;
    run(q, [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_TRUE(q == before);
    EXPECT_FALSE(model_modified());
    // In results mode the dialog is read-only and OK changes nothing.
    input_locked() = true;
    EXPECT_EQ(run(q, [](HeadlessDialog& d) {
                  EXPECT_TRUE(d.is_readonly(PUMP_DESCRIPTION));
                  EXPECT_FALSE(enabled(d, PUMP_HORIZONTAL));
                  EXPECT_EQ(d.focused(), IDOK);
                  d.press(IDOK);
              }),
              0);
    input_locked() = false;
    EXPECT_TRUE(q == before);
}

TEST_F(PumpUiTest, PumpsTableTypingAppendingAndDeleting)
{
    run_command(CMD_PUMPS);
    TableWindow& t = shown();
    EXPECT_EQ(t.title, "Pumps");
    EXPECT_EQ(t.row_count, 1);   // the input row
    // Enter on the input row without a description.
    table_goto_row(t, 1, 1, false);
    script().key(list_frame().client, KEY_RETURN);
    EXPECT_EQ(script().last_message(), "Description is required");
    EXPECT_EQ(pumps().size(), 0);
    // A typed description, then Enter: a pump needs a nozzle and its shaft
    // axis, as in the dialog; with them Enter appends it.
    table_goto_row(t, 1, 1, false);
    type_into(list_frame().client, "p-7");
    script().key(list_frame().client, KEY_RETURN);
    EXPECT_EQ(script().last_message(), "Suction or discharge node is required");
    EXPECT_EQ(pumps().size(), 0);
    cell(1, 5, "20");
    table_goto_row(t, 1, 1, false);
    script().key(list_frame().client, KEY_RETURN);
    EXPECT_EQ(script().last_message(), "Direction is invalid");
    EXPECT_EQ(pumps().size(), 0);
    cell(1, 7, "1");
    table_goto_row(t, 1, 1, false);
    script().key(list_frame().client, KEY_RETURN);
    ASSERT_EQ(pumps().size(), 1);
    EXPECT_EQ(pumps()[1].name, "p-7");
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(t.row_count, 2);
    // The suction node typed is stored; the description of a pump is required.
    cell(1, 3, "10");
    EXPECT_EQ(pumps()[1].suction_node, 10);
    EXPECT_EQ(pumps()[1].discharge_node, 20);
    cell(1, 1, " ");
    EXPECT_EQ(script().last_message(), "Description is required");
    EXPECT_EQ(pumps()[1].name, "p-7");
    table_cancel_edit(t);
    // The dialog on the input row: OK appends as Enter does.
    table_goto_row(t, 2, 1, false);
    script().once("PUMP_DIALOG", [](HeadlessDialog& d) {
        d.type(PUMP_DESCRIPTION, "P-8");
        d.type(PUMP_SUCTION, "10");
        d.press(PUMP_SUCTION_TOP + 1);
        d.type(PUMP_SHAFT, "1");
        d.type(PUMP_CENTRE, "50");
        d.press(IDOK);
    });
    frame_command(list_frame(), CMD_EDIT_ROW);
    ASSERT_EQ(pumps().size(), 2);
    EXPECT_EQ(pumps()[2].suction_location, LOCATION_SIDE);
    EXPECT_EQ(t.cell_text(2, 4, 0), "Side");
    EXPECT_EQ(t.cell_text(2, 7, 0), "1.000");
    EXPECT_EQ(t.cell_text(2, 8, 0), "");
    // Delete the first.
    table_goto_row(t, 1, 1, false);
    frame_command(list_frame(), CMD_DELETE);
    ASSERT_EQ(pumps().size(), 1);
    EXPECT_EQ(pumps()[1].name, "P-8");
    // Browse-only: no input row.
    input_locked() = true;
    show_pumps_table();
    EXPECT_EQ(shown().row_count, 1);
    input_locked() = false;
}

TEST_F(PumpUiTest, PumpsInTheTextReportAndCsv)
{
    PumpRecord h = horizontal();
    pumps().push_back(h);
    PumpRecord v;
    v.name = "V-2";
    v.vertical = 1;
    v.kind = PUMP_VERTICAL_INLINE_API610;
    v.suction_node = 10;
    v.discharge_node = 20;
    v.suction_location = v.discharge_location = LOCATION_SIDE;
    pumps().push_back(v);
    PumpRecord a = horizontal();
    a.name = "AX-3";
    a.kind = PUMP_ANSI_HI;
    a.hi_type = HI_AXIAL_SPLIT;
    a.hi_size = 3;
    a.hi_mounting = 2;
    a.hi_material = 2;
    a.temperature = 300;
    pumps().push_back(a);
    PumpRecord t = a;
    t.name = "VT-4";
    t.hi_type = HI_VERTICAL_TURBINE;
    t.hi_size = 14;
    t.discharge_location = 1;
    t.shaft_axis = {};
    t.centre = {};
    pumps().push_back(t);
    expect_golden_file("qualification", "pumps_input.txt", text_report(print_pumps));
    const std::string csv = text_report(print_pumps, true);
    expect_golden_file("qualification", "pumps_input.csv", csv);
    // The vertical turbine's line: six empty cells for axis and centre.
    EXPECT_NE(csv.find("VT-4,ANSI/HI,10,,20,Below,,,,,,,Vert.Turb,36 inch,A216,,300"), std::string::npos) << csv;
    // The table's cells of the same pumps.
    show_pumps_table();
    EXPECT_EQ(shown().cell_text(2, 2, 0), "Y");
    EXPECT_EQ(shown().cell_text(3, 4, 0), "");        // no location for ANSI/HI
    EXPECT_EQ(shown().cell_text(4, 6, 0), "Below");
    EXPECT_EQ(shown().cell_text(3, 16, 0), "0.875in");
    EXPECT_EQ(shown().cell_text(3, 13, 0), "AxialSplit");
}

// A horizontal pump's shaft axis typed along Y (vertical) is refused at
// Enter with the caret in X comp, which reopens with its "0.000" selected,
// so that the 2 typed next replaces it; Ctrl+A, also the window's Zoom All,
// selects the open cell's text.
class RefusedCellSelected : public PumpUiTest {};

TEST_F(RefusedCellSelected, TheShaftAxisRefusedAtEnterIsRetypedWhole)
{
    run_command(CMD_PUMPS);
    set_current_accelerators(list_frame(), &accelerator_resource("LIST_ACCEL"));
    cell(1, 1, "P-7");
    cell(1, 3, "20");
    cell(1, 7, "0");
    cell(1, 8, "1");
    script().key(list_frame().client, KEY_RETURN);
    EXPECT_EQ(script().last_message().rfind("Shaft axis of a horizontal pump cannot be vertical", 0), 0u);
    const TableWindow::CellEdit& edit = shown().edit;
    EXPECT_EQ(edit.text, "0.000");
    type_into(list_frame().client, "2");
    EXPECT_EQ(edit.text, "2");
    script().key(list_frame().client, KEY_END);
    script().key(list_frame().client, 'A', MOD_CONTROL);
    type_into(list_frame().client, "3");
    script().key(list_frame().client, KEY_RETURN);
    ASSERT_EQ(pumps().size(), 1);
    EXPECT_EQ(pumps()[1].shaft_axis, (std::array<float, 3>{3, 1, 0}));
}
