// Tables that take what their dialogs take, on the sample model: the Pumps
// table refuses at Enter what the pump dialog's OK refuses, with the same
// message, the caret in the cell of the field the dialog focuses, and Y in
// Vert. asks before it clears what was typed; a name typed into the Spectra
// table makes or renames a spectrum as the spectrum dialog does; the Valve
// Library's Nom Dia cell takes the sizes of the size table, and Enter's
// refusal of a valve without one leaves the caret there.
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "loads/response_spectrum.h"
#include "loads/spectrum.h"
#include "loads/ui/spectra_ui.h"
#include "materials/ui/valve_library_ui.h"
#include "materials/valve_library.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "qualification/equipment.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/pump_ui.h"
#include "table_cell_point.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

class TableTypingAsDialogs : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        // The sample: a line from node 10 to node 60, bends at 20, 30 and 50.
        import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
        reset_unit_choice();
    }

    // Keys into the list window's table.
    void key(int k) const { hb->script().key(list_frame().client, k); }
    // Enter on the current row; the message it brought up, "" when none.
    std::string enter() const
    {
        const std::size_t said = script().messages().size();
        key(KEY_RETURN);
        return script().messages().size() > said ? script().last_message() : std::string();
    }
    // A click of the left button into a cell of the list window's table.
    void click_cell(int row, int column) const
    {
        script().paint(list_frame().client);   // the columns as the screen shows them
        const Point p = table_cell_point(list_view(), row, column);
        script().mouse_down(list_frame().client, MouseButton::Left, p.x, p.y);
        script().mouse_up(list_frame().client, MouseButton::Left, p.x, p.y);
    }
    // The pump dialog's OK on a copy of a record: its message and the
    // control it focused; the dialog is then cancelled.
    std::pair<std::string, int> dialog_refusal(const PumpRecord& pump) const
    {
        PumpRecord copy = pump;
        std::pair<std::string, int> refusal;
        script().once("PUMP_DIALOG", [this, &refusal](HeadlessDialog& d) {
            const std::size_t said = script().messages().size();
            d.press(IDOK);
            if (script().messages().size() > said)
                refusal = {script().last_message(), d.focused()};
            d.press(IDCANCEL);
        });
        edit_pump(copy, 1, list_frame().window);
        return refusal;
    }
};

PumpRecord named(const char* name)
{
    PumpRecord p;
    p.name = name;
    p.kind = PUMP_HORIZONTAL_API610;
    return p;
}

}  // namespace

// Pumps as a file may bring them (a node the model no longer has, a bend's
// corner, no shaft axis, no nozzle): Enter on the row says what the dialog's
// OK says, with the caret in the column of the control the dialog focuses;
// the row keeps its values. A pump the dialog takes is taken.
TEST_F(TableTypingAsDialogs, EnterInThePumpsTableRefusesWhatThePumpDialogRefuses)
{
    struct Case {
        const char* what;
        PumpRecord pump;
        std::string message;
        int column;
        int control;
    };
    std::vector<Case> cases;
    PumpRecord p = named("P-1");
    p.suction_node = 40;
    p.suction_location = LOCATION_END;
    cases.push_back({"no shaft axis", p, "Direction is invalid", 7, PUMP_SHAFT});
    p.shaft_axis = {1, 0, 0};
    p.suction_node = 99;
    cases.push_back({"a node the model has not", p, "Suction Node =  99  is not defined", 3, PUMP_SUCTION});
    p.suction_node = 40;
    p.discharge_node = 20;
    cases.push_back({"a bend's corner", p, "Discharge Node =  20  is bend node", 5, PUMP_DISCHARGE});
    p.suction_node = p.discharge_node = 0;
    cases.push_back({"no nozzle", p, "Suction or discharge node is required", 3, PUMP_SUCTION});
    p.suction_node = 40;
    p.name.clear();
    cases.push_back({"no description", p, "Description is required", 1, PUMP_DESCRIPTION});

    show_pumps_table();
    TableWindow& t = pumps_table();
    ASSERT_EQ(list_window_table(), &t);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pumps().clear();
        pumps().push_back(c.pump);
        show_pumps_table();
        table_goto_row(t, 1, 1);
        EXPECT_EQ(enter(), c.message);
        EXPECT_EQ(t.current_row, 1);
        EXPECT_EQ(t.current_column, c.column);
        table_cancel_edit(t);
        EXPECT_TRUE(pumps()[1] == c.pump);
        EXPECT_EQ(dialog_refusal(c.pump), (std::pair<std::string, int>{c.message, c.control}));
    }
    // A vertical inline pump needs no shaft axis, in either.
    PumpRecord vertical = named("P-2");
    vertical.vertical = 1;
    vertical.kind = PUMP_VERTICAL_INLINE_API610;
    vertical.suction_location = vertical.discharge_location = LOCATION_SIDE;
    vertical.suction_node = 40;
    pumps().clear();
    pumps().push_back(vertical);
    show_pumps_table();
    table_goto_row(t, 1, 1);
    EXPECT_EQ(enter(), "");
    EXPECT_EQ(t.current_row, 2);
    EXPECT_EQ(dialog_refusal(vertical).first, "");
}

// A horizontal pump typed into the input row without its shaft axis
// (description, suction node 40, End, Enter) is refused for its shaft axis,
// keeps what was typed, and the caret stands in X comp, where the next key
// goes; with the axis it is appended.
TEST_F(TableTypingAsDialogs, APumpTypedWithoutItsShaftAxisIsKeptUntilItHasOne)
{
    show_pumps_table();
    TableWindow& t = pumps_table();
    table_goto_row(t, 1, 1);
    type_into_list("P-1");
    key(KEY_TAB);
    key(KEY_TAB);
    type_into_list("40");
    key(KEY_TAB);
    type_into_list("E");
    EXPECT_EQ(enter(), "Direction is invalid");
    EXPECT_EQ(pumps().size(), 0);
    EXPECT_EQ(t.current_column, 7);
    EXPECT_EQ(t.cell_text(1, 1, 0), "P-1");
    EXPECT_EQ(t.cell_text(1, 3, 0), "40");
    EXPECT_EQ(t.cell_text(1, 4, 0), "End ");
    type_into_list("1");
    EXPECT_EQ(enter(), "");
    ASSERT_EQ(pumps().size(), 1);
    EXPECT_EQ(pumps()[1].suction_node, 40);
    EXPECT_EQ(pumps()[1].suction_location, LOCATION_END);
    EXPECT_EQ(pumps()[1].shaft_axis, (std::array<float, 3>{1, 0, 0}));

    // Without any nozzle the input row is refused at Suction Node.
    table_goto_row(t, 2, 1);
    type_into_list("P-2");
    EXPECT_EQ(enter(), "Suction or discharge node is required");
    EXPECT_EQ(t.current_row, 2);
    EXPECT_EQ(t.current_column, 3);
    EXPECT_EQ(pumps().size(), 1);
}

// Y in Vert. clears the end location, shaft axis and center typed: it asks
// first and names them. No leaves the pump as it was; Yes makes it vertical
// inline. A pump with nothing to clear is switched without a question.
TEST_F(TableTypingAsDialogs, VertYNamesWhatItClearsBeforeItClearsIt)
{
    show_pumps_table();
    TableWindow& t = pumps_table();
    table_goto_row(t, 1, 1);
    // The center's X 1 ft 6 in, 18 in.
    type_list_cells({"P-1", "", "40", "E", "60", "", "0", "0", "1", "1-6"});
    key(KEY_RETURN);
    ASSERT_EQ(pumps().size(), 1);
    const PumpRecord typed = pumps()[1];
    ASSERT_EQ(typed.centre[0], 18.0f);

    table_goto_row(t, 1, 2);
    script().answer(IDNO);
    type_into_list("Y");
    key(KEY_TAB);
    const std::string question = script().last_message();
    EXPECT_NE(question.find("making P-1 vertical inline clears the suction location End, the shaft axis "
                            "direction 0.000, 0.000, 1.000 and the center 1'6"),
              std::string::npos)
        << question;
    // The discharge stands on top, where a horizontal pump's nozzle stands
    // until its location is given: nothing typed is lost there.
    EXPECT_EQ(question.find("discharge"), std::string::npos) << question;
    EXPECT_TRUE(pumps()[1] == typed);
    EXPECT_EQ(t.cell_text(1, 2, 0), "");

    table_goto_row(t, 1, 2);
    script().answer(IDYES);
    type_into_list("Y");
    key(KEY_TAB);
    EXPECT_EQ(pumps()[1].kind, PUMP_VERTICAL_INLINE_API610);
    EXPECT_EQ(pumps()[1].suction_location, LOCATION_SIDE);
    EXPECT_EQ(pumps()[1].shaft_axis, (std::array<float, 3>{}));
    EXPECT_EQ(pumps()[1].centre, (std::array<float, 3>{}));

    // Horizontal again, it asks for its shaft axis at Enter; Y then clears
    // nothing typed and asks nothing.
    table_goto_row(t, 1, 2);
    type_into_list("N");
    EXPECT_EQ(enter(), "Direction is invalid");
    EXPECT_EQ(t.current_column, 7);
    table_cancel_edit(t);
    table_goto_row(t, 1, 2);
    const std::size_t said = script().messages().size();
    type_into_list("Y");
    key(KEY_TAB);
    EXPECT_EQ(script().messages().size(), said);
    EXPECT_EQ(pumps()[1].kind, PUMP_VERTICAL_INLINE_API610);
}

// A name typed into the Spectra table's input row makes a spectrum as the
// dialog makes one (no points, the options the last one left), whether typed
// at once, after a click into the cell or after Backspace; typed over a
// name it renames, asking first when the response spectrum names it; a
// taken name is refused with the dialog's message. The other columns say
// where their values are given.
TEST_F(TableTypingAsDialogs, ANameTypedIntoTheSpectraTableMakesOrRenamesASpectrum)
{
    spectra().spare().abscissa = ABSCISSA_PERIOD;
    open_spectra_table();
    TableWindow& t = spectra_table();
    ASSERT_EQ(list_window_table(), &t);
    ASSERT_EQ(t.row_count, 1);
    table_goto_row(t, 1, 1);
    type_into_list("Site A");
    EXPECT_EQ(enter(), "");
    ASSERT_EQ(numspectrums(), 1);
    EXPECT_EQ(spectra()[1].name, "Site A");
    EXPECT_TRUE(spectra()[1].curve.empty());
    EXPECT_EQ(spectra()[1].abscissa, ABSCISSA_PERIOD);
    EXPECT_EQ(t.frame_caption, "Spectra  (1) ");
    EXPECT_TRUE(model_modified());

    // After Backspace, and after a click into the cell.
    table_goto_row(t, 2, 1);
    key(KEY_BACK);
    type_into_list("Site B");
    key(KEY_RETURN);
    click_cell(3, 1);
    EXPECT_EQ(t.current_row, 3);
    type_into_list("Site C");
    key(KEY_RETURN);
    ASSERT_EQ(numspectrums(), 3);
    EXPECT_EQ(spectra()[2].name, "Site B");
    EXPECT_EQ(spectra()[3].name, "Site C");
    EXPECT_EQ(spectra()[3].abscissa, ABSCISSA_PERIOD);

    table_goto_row(t, 4, 1);
    type_into_list("Site A");
    EXPECT_EQ(enter(), "Spectrum Site A is already defined");
    EXPECT_EQ(numspectrums(), 3);
    table_cancel_edit(t);

    // The response spectrum names Site A: No keeps the name, Yes renames
    // both.
    response_spectrum_input().spectrum[2] = "Site A";
    table_goto_row(t, 1, 1);
    script().answer(IDNO);
    type_into_list("Site Z");
    key(KEY_RETURN);
    EXPECT_EQ(spectra()[1].name, "Site A");
    table_goto_row(t, 1, 1);
    script().answer(IDYES);
    type_into_list("Site Z");
    key(KEY_RETURN);
    EXPECT_EQ(spectra()[1].name, "Site Z");
    EXPECT_EQ(response_spectrum_input().spectrum[2], "Site Z");

    table_goto_row(t, 1, 5);
    const std::size_t said = script().messages().size();
    type_into_list("7");
    ASSERT_EQ(script().messages().size(), said + 1);
    EXPECT_EQ(script().last_message(), "The points of a spectrum are typed in its dialog (double-click the row)");
    EXPECT_TRUE(spectra()[1].curve.empty());
}

// The Valve Library's Nom Dia takes the sizes of the valve's size table:
// Enter on a valve without one says so with the caret in Nom Dia, where the
// next key goes (not to the end of the description); a size not in the
// table is refused; 6 is the ANSI 6", whose outside diameter, 6.625 in
// (ASME B36.10M, NPS 6), the row takes.
TEST_F(TableTypingAsDialogs, TheValveLibrarysNominalSizeIsTypedWhereEnterAsksForIt)
{
    model_modified() = false;
    new_valve_library();
    TableWindow* t = list_window_table();
    ASSERT_EQ(t, &valve_library_table());
    table_goto_row(*t, 1, 1);
    type_into_list("GATE 6 IN");
    EXPECT_EQ(enter(), "Nominal Size is required");
    EXPECT_EQ(t->current_column, 2);
    type_into_list("7");
    EXPECT_EQ(enter(), "Nominal Size 7 is not in the ANSI size table");
    EXPECT_EQ(t->current_column, 2);
    EXPECT_EQ(valve_library_table().input.description, "GATE 6 IN");
    table_cancel_edit(*t);
    type_into_list("6");
    EXPECT_EQ(enter(), "");
    ASSERT_EQ(numlibvalves(), 1);
    const ValveRecord& v = valve_records()[1];
    EXPECT_EQ(v.description, "GATE 6 IN");
    EXPECT_EQ(v.nominal_size, "6\"");
    EXPECT_EQ(v.standard, 0);
    EXPECT_FLOAT_EQ(v.outside_diameter, 6.625f);
    EXPECT_EQ(t->cell_text(1, 2, 0), "6\"");
    model_modified() = false;
    close_model();
}
