// A row typed on a table's input row and not entered is entered as Enter
// would enter it when the table's window closes, when the program ends and
// when the model (or a library) is closed or saved: it is in the file that
// is written. When Enter would refuse it, the refusal is shown with the
// caret in its column, and nothing closes and nothing is saved.
#include "exchange_fixture.h"

#include "framework/ui/shell.h"
#include "materials/beam_material.h"
#include "materials/pipe_section.h"
#include "materials/ui/valve_library_ui.h"
#include "materials/valve_library.h"

#include <string>
#include <vector>

namespace {

class InputRowNotLost : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        // The sample: two pipe sections, no beam material.
        open_saved_batch(bytes(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf"), "sample.mod");
    }

    // A data list's table in the list window, the caret in column 1 of its
    // input row.
    static TableWindow& open_input_row(const std::string& list)
    {
        TableWindow* t = open_data_list(list);
        table_goto_row(*t, t->row_count, 1);
        return *t;
    }
    // The model file read again.
    void reopen_model() const
    {
        const std::string file = model_file_path();
        close_model();
        open_model_file(file);
        settle();
    }
    std::size_t said() const { return script().messages().size(); }
};

// The Valve Library's File > Close with Yes to save writes the valve typed
// on the input row; a valve whose size Enter asks for is refused there and
// the library stays open, unsaved.
TEST_F(InputRowNotLost, TheValveLibrarysCloseSavesTheTypedValveOrKeepsTheLibraryOpen)
{
    new_valve_library();
    TableWindow& t = valve_library_table();
    ASSERT_EQ(list_window_table(), &t);
    table_goto_row(t, 1, 1);
    type_into_list("TEST E");
    const std::size_t before = said();
    const int asked = script().runs("SAVE_CHANGES_DIALOG");
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_CLOSE));
    ASSERT_EQ(said(), before + 1);
    EXPECT_EQ(script().last_message(), "Nominal Size is required");
    EXPECT_EQ(t.current_row, 1);
    EXPECT_EQ(t.current_column, 2);
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), asked);
    EXPECT_TRUE(valve_library_mode());
    EXPECT_EQ(numlibvalves(), 0);

    // The size typed where the caret stands, not entered: Close and Yes.
    type_into_list("3");
    const std::string file = path("valves.val");
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    script().answer_file(file);
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_CLOSE));
    EXPECT_FALSE(valve_library_mode());
    const ValveLibraryContents read = read_valve_library_file(file);
    ASSERT_EQ(read.records.size(), 1);
    EXPECT_EQ(read.records[1].description, "TEST E");
    EXPECT_EQ(read.records[1].nominal_size, "3\"");
}

// File > Save takes the section typed on the Pipe Sections' input row (a
// name and a size of the table, which gives the diameter and the wall).
TEST_F(InputRowNotLost, SaveTakesTheSectionTypedOnTheInputRow)
{
    TableWindow& t = open_input_row("Sections");
    ASSERT_EQ(numsections(), 2);
    type_list_cells({"P8", "8"});
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_SAVE));
    EXPECT_FALSE(model_modified());
    ASSERT_EQ(numsections(), 3);
    EXPECT_EQ(t.record_count(), 3);
    reopen_model();
    ASSERT_EQ(numsections(), 3);
    EXPECT_EQ(pipe_sections()[3].name, "P8");
    // ASME B36.10M: NPS 8 has an outside diameter of 8.625 in.
    EXPECT_FLOAT_EQ(pipe_sections()[3].outside_diameter, 8.625f);
}

// The program's end with Yes to save takes the beam material typed on the
// input row; a typed row that Enter refuses keeps the program running.
TEST_F(InputRowNotLost, TheProgramsEndSavesTheTypedBeamMaterialOrKeepsRunning)
{
    TableWindow& t = open_input_row("Beam materials");
    // Before its name, which Enter asks for.
    table_move_to(t, t.row_count, 3);
    type_into_list("29E6");
    const std::size_t before = said();
    EXPECT_FALSE(request_exit(0));
    ASSERT_EQ(said(), before + 1);
    EXPECT_EQ(script().last_message(), "Name is required");
    EXPECT_EQ(t.current_column, 1);
    EXPECT_EQ(numbmats(), 0);

    type_into_list("BM1");
    key(KEY_TAB);
    table_move_to(t, t.row_count, 4);
    type_into_list("0.3");
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    EXPECT_TRUE(request_exit(0));
    EXPECT_FALSE(model_modified());
    reopen_model();
    ASSERT_EQ(numbmats(), 1);
    EXPECT_EQ(beam_materials()[1].name, "BM1");
    EXPECT_FLOAT_EQ(beam_materials()[1].E, 29e6f);
}

// Closing the list window (its close box) enters the typed row, or shows
// why not and stays open; a row typed and then cleared again is no row.
TEST_F(InputRowNotLost, ClosingTheListWindowEntersTheTypedRow)
{
    TableWindow& t = open_input_row("Beam materials");
    type_list_cells({"BM2"});
    EXPECT_FALSE(script().close(list_frame().window));
    EXPECT_EQ(script().last_message(), "Modulus is required");
    EXPECT_TRUE(hb->window(list_frame().window)->visible);
    EXPECT_EQ(t.current_column, 3);
    EXPECT_EQ(numbmats(), 0);

    type_list_cells({"30E6"});
    type_into_list("0.3");
    script().close(list_frame().window);
    EXPECT_FALSE(hb->window(list_frame().window)->visible);
    ASSERT_EQ(numbmats(), 1);
    EXPECT_EQ(beam_materials()[1].name, "BM2");
    EXPECT_TRUE(model_modified());

    // Typed, then deleted: the input row is empty, and closes as it is.
    TableWindow& again = open_input_row("Beam materials");
    type_list_cells({"BM3"});
    script().menu_command(list_frame().window, CMD_DELETE);
    const std::size_t before = said();
    script().close(list_frame().window);
    EXPECT_EQ(said(), before);
    EXPECT_EQ(numbmats(), 1);
    EXPECT_EQ(again.record_count(), 1);
}

}  // namespace
