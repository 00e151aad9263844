// Typing into the property-set tables through the list window, as a user
// does. A typed cell stores what was typed or is refused with its parser's
// message; no character is dropped on the way. Leaving a row by any way (an
// arrow key, a click on another row, Page Up, Tab past the row's end) runs
// the row's checks, as Enter does: a refused row keeps the caret with its
// message, the input row becomes a record with its defaults, and an
// untouched input row is left in silence.
#include "framework/commands.h"
#include "framework/strings.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_set_checks.h"
#include "materials/size_tables.h"
#include "materials/soil.h"
#include "materials/ui/beam_material_ui.h"
#include "materials/ui/beam_section_ui.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/materials_subsystem.h"
#include "materials/ui/pipe_material_ui.h"
#include "materials/ui/dialogs_sections.h"
#include "materials/ui/pipe_section_ui.h"
#include "materials/ui/soil_ui.h"
#include "model/model_file_fixture.h"
#include "model/ui/list_window.h"
#include "table_cell_point.h"

#include <functional>

namespace {

class TableInputTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_materials_subsystem();
        open_list_frame(1200, 600);
    }
    void TearDown() override
    {
        close_list_frame();
        ModelFileUiTest::TearDown();
    }

    static void key(int k, unsigned mods = MOD_NONE) { script().key(list_frame().client, k, mods); }
    static void type(const std::string& text) { type_into(list_frame().client, text); }
    // A click on a cell of the upper pane.
    static void click(int row, int column)
    {
        script().paint(list_frame().client);   // the columns as the screen shows them
        const Point p = table_cell_point(list_view(), row, column);
        script().mouse_down(list_frame().client, MouseButton::Left, p.x, p.y);
        script().mouse_up(list_frame().client, MouseButton::Left, p.x, p.y);
    }
    // Types cells of the current row, column after column, committing each with Tab.
    static void fill(int row, const std::vector<std::pair<int, std::string>>& cells)
    {
        for (const auto& [column, text] : cells) {
            click(row, column);
            type(text);
            key(KEY_TAB);
        }
    }
    static size_t message_count() { return script().messages().size(); }
    // A beam section of the area and moments of inertia of a W8x18.
    static BeamSection w8_section()
    {
        BeamSection b;
        b.name = "W8";
        b.values[BS_AREA] = 5.26f;
        b.values[BS_MAJOR_I] = 30.8f;
        b.values[BS_MINOR_I] = 9.77f;
        return b;
    }
};

TEST_F(TableInputTest, MaterialsInputRowBecomesAMaterialWhicheverWayItIsLeft)
{
    pipe_materials().push_back(one_row_steel("CS1"));
    open_materials_table();
    TableWindow& t = shown();
    ASSERT_EQ(t.row_count, 2);

    // Untouched, the input row is left without a word.
    click(2, 1);
    key(KEY_UP);
    EXPECT_EQ(t.current_row, 1);
    EXPECT_EQ(message_count(), 0u);
    EXPECT_EQ(nummats(), 1);

    // A name without a description: the arrow is refused, the caret stays.
    fill(2, {{1, "n2"}});
    key(KEY_UP);
    EXPECT_EQ(script().last_message(), "Description is required");
    EXPECT_EQ(t.current_row, 2);
    EXPECT_EQ(t.current_column, 2);
    EXPECT_EQ(nummats(), 1);

    // Complete: a click on another row appends it with the defaults.
    type("Low alloy");
    key(KEY_TAB);
    click(1, 2);
    ASSERT_EQ(nummats(), 2);
    const PipeMaterial& m = pipe_materials()[2];
    EXPECT_EQ(m.name, "N2");
    EXPECT_EQ(m.description, "Low alloy");
    EXPECT_FLOAT_EQ(m.nu, 0.3f);
    EXPECT_FLOAT_EQ(m.joint_factor, 1.0f);
    EXPECT_FLOAT_EQ(m.circ_joint_factor, 1.0f);
    EXPECT_EQ(m.density, ENTERED_ZERO);
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(t.current_row, 1);
    EXPECT_EQ(t.row_count, 3);

    // Down from the input row appends it and goes on to the new input row.
    fill(3, {{1, "n3"}, {2, "Third"}});
    key(KEY_DOWN);
    ASSERT_EQ(nummats(), 3);
    EXPECT_EQ(pipe_materials()[3].name, "N3");
    EXPECT_EQ(t.current_row, 4);

    // A stored row whose description was emptied cannot be left by Page Up.
    pipe_materials()[2].description.clear();
    click(2, 5);
    key(KEY_PRIOR);
    EXPECT_EQ(script().last_message(), "Description is required");
    EXPECT_EQ(t.current_row, 2);
}

TEST_F(TableInputTest, SectionsSoilsAndBeamTablesCheckTheRowTheyLeave)
{
    // Pipe sections: a name alone sends the row to its dialog, where the
    // diameter and thickness are typed; the caret stays.
    open_sections_table();
    TableWindow& sections = shown();
    fill(1, {{1, "p1"}});
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    key(KEY_UP);   // from row 1 upwards leaves nothing
    EXPECT_EQ(script().runs("SECTION_DIALOG"), 0);
    fill(1, {{7, "1"}});
    click(1, 8);
    key(KEY_PRIOR);   // Page Up stays on row 1: nothing left
    EXPECT_EQ(script().runs("SECTION_DIALOG"), 0);
    key(KEY_DOWN);
    EXPECT_EQ(script().runs("SECTION_DIALOG"), 1);
    EXPECT_EQ(numsections(), 0);
    EXPECT_EQ(sections.current_row, 1);

    // A stored section with half an insulation pair: leaving clears the pair.
    PipeSection s = non_standard_section("P2", 4.5f, 0.237f);
    s.insulation_density = 0.01f;
    pipe_sections().push_back(s);
    sections_table().input = PipeSection{};
    open_sections_table();
    click(1, 6);
    key(KEY_DOWN);
    EXPECT_EQ(pipe_sections()[1].insulation_density, 0.0f);
    EXPECT_EQ(sections.current_row, 2);

    // Beam materials: a modulus without Nu is refused; with it a click appends.
    open_beam_materials_table();
    TableWindow& materials = shown();
    fill(1, {{1, "bm1"}, {2, "Beam steel"}, {3, "29E6"}});
    const size_t before = message_count();
    key(KEY_DOWN);
    EXPECT_EQ(message_count(), before + 1);
    EXPECT_EQ(script().last_message(), "Nu should be at least 0.01");
    EXPECT_EQ(materials.current_column, 4);
    EXPECT_EQ(numbmats(), 0);
    type("0.3");
    key(KEY_TAB);
    key(KEY_DOWN);
    ASSERT_EQ(numbmats(), 1);
    EXPECT_EQ(beam_materials()[1].name, "BM1");
    EXPECT_FLOAT_EQ(beam_materials()[1].nu, 0.3f);

    // Beam sections: the minor moment of inertia is required.
    open_beam_sections_table();
    TableWindow& beams = shown();
    fill(1, {{1, "w8"}, {3, "5.26"}, {4, "30.8"}});
    key(KEY_DOWN);
    EXPECT_EQ(script().last_message(), "Moment of inertia is required");
    EXPECT_EQ(beams.current_column, 5);
    EXPECT_EQ(numbsections(), 0);
    type("9.77");
    key(KEY_TAB);
    key(KEY_DOWN);
    ASSERT_EQ(numbsections(), 1);
    EXPECT_EQ(beams.current_row, 2);
    EXPECT_FLOAT_EQ(beam_sections()[1].values[BS_MINOR_I], 9.77f);

    // Soils: an inserted empty record keeps the caret until it is named or deleted.
    Soil soil;
    soil.name = "S1";
    soil.type = SOIL_COHESIVE;
    soil.density = 0.07f;
    soil.strength = 5.0f;
    soils().push_back(soil);
    open_soils_table();
    TableWindow& soil_table = shown();
    table_insert(soil_table);
    ASSERT_EQ(numsoils(), 2);
    key(KEY_DOWN);
    EXPECT_EQ(script().last_message(), "Name is required");
    EXPECT_EQ(soil_table.current_row, 1);
    table_delete(soil_table);
    key(KEY_DOWN);
    EXPECT_EQ(soil_table.current_row, 2);
}

TEST_F(TableInputTest, EveryTablesNumberColumnsRefuseWhatTheyCannotRead)
{
    pipe_materials().push_back(one_row_steel("CS1"));
    pipe_sections().push_back(non_standard_section("P1", 4.5f, 0.237f));
    beam_materials().push_back(BeamMaterial{"BM1", "Beam steel", 29e6f, 0.3f, 0.283f, 6e-6f});
    beam_sections().push_back(w8_section());

    // Each typed text would become another number if a character were
    // dropped (15, 12, 10, 56); each is refused and the value stays.
    const char* const typed[] = {"1,5", "1/2", "0x10", "5 6"};
    struct Column {
        void (*open)();
        int column;
        const char* field;
        std::function<float()> value;
    };
    const Column columns[] = {
        {open_materials_table, 4, "Density", [] { return pipe_materials()[1].density; }},
        {open_sections_table, 6, "Corrosion allowance", [] { return pipe_sections()[1].corrosion_allowance; }},
        {open_beam_materials_table, 3, "E", [] { return beam_materials()[1].E; }},
        {open_beam_sections_table, 3, "Area", [] { return beam_sections()[1].values[BS_AREA]; }},
    };
    for (const Column& c : columns) {
        c.open();
        const float before = c.value();
        for (const char* text : typed) {
            click(1, c.column);
            key(KEY_ESCAPE);   // a click into the current cell opened it
            type(text);
            EXPECT_EQ(shown().edit.text, text);
            key(KEY_TAB);
            // The message shows the text as the dialogs read it: upper case.
            EXPECT_EQ(script().last_message(), std::string(c.field) + " =  " + upper_case(text) + "  is invalid");
            EXPECT_EQ(c.value(), before) << c.field << " " << text;
            key(KEY_ESCAPE);
        }
    }

    // The property grid under the materials: its temperatures and moduli too.
    open_materials_table();
    PropertyGrid& grid = material_properties_grid();
    for (const char* text : typed) {
        table_goto_row(grid, 1, 1);
        table_on_char(grid, text);
        EXPECT_EQ(grid.edit.text, text);
        EXPECT_FALSE(table_end_edit(grid));
        EXPECT_EQ(script().last_message(), std::string("Temperature =  ") + text + "  is invalid");
        table_cancel_edit(grid);
    }
    EXPECT_FLOAT_EQ(grid.rows[0].values[PROP_TEMPERATURE], 70.0f);
    EXPECT_EQ(script().beeps(), 0);
}

}  // namespace

TEST_F(TableInputTest, PipeSectionsTakeSizeAndScheduleAfterTheNameAndCheckTheWall)
{
    // Tab from the name goes to the size and the schedule, which give the
    // diameter and the wall from the size table: "6" and "40" make a 6 in
    // Sch 40 section, not a 6 in corrosion allowance and 40 % mill tolerance.
    open_sections_table();
    TableWindow& sections = shown();
    click(1, 1);
    type("S6");
    key(KEY_TAB);
    EXPECT_EQ(sections.current_column, 2);
    type("6");
    key(KEY_TAB);
    EXPECT_EQ(sections.current_column, 3);
    type("40");
    key(KEY_TAB);
    const PipeSection& s = sections_table().input;
    EXPECT_EQ(s.nominal_size, "6\"");
    EXPECT_EQ(s.schedule, "40");
    EXPECT_FLOAT_EQ(s.outside_diameter, 6.625f);
    EXPECT_FLOAT_EQ(s.thickness, 0.28f);
    EXPECT_EQ(s.corrosion_allowance, 0.0f);
    EXPECT_EQ(s.mill_tolerance, 0.0f);
    // The diameter and wall of a table size are the table's: Tab passes them.
    EXPECT_EQ(sections.current_column, 6);

    // A corrosion allowance of the wall or more is refused as in the dialog.
    type("0.3");
    key(KEY_TAB);
    EXPECT_EQ(script().last_message(), "Corrosion allowance >= Thickness");
    EXPECT_EQ(sections_table().input.corrosion_allowance, 0.0f);
    key(KEY_ESCAPE);

    // A size or schedule the table does not have is refused by name.
    click(1, 2);
    key(KEY_ESCAPE);
    type("7");
    key(KEY_TAB);
    EXPECT_EQ(script().last_message(), "Size 7 is not in the size table");
    key(KEY_ESCAPE);
    click(1, 3);
    key(KEY_ESCAPE);
    type("99");
    key(KEY_TAB);
    EXPECT_EQ(script().last_message(), "Schedule 99 is not a schedule of size 6\"");
}

// ---- Section bounds: the cells and the dialog take the model check's limits ---------------------

namespace {

class SectionBounds : public TableInputTest {
protected:
    // Types a cell of row 1 and commits it with Tab.
    static void type_cell(int column, const std::string& text)
    {
        click(1, column);
        key(KEY_ESCAPE);   // a click into the current cell opened it
        type(text);
        key(KEY_TAB);
    }
};

}  // namespace

TEST_F(SectionBounds, ThicknessAndDiameterCellsTakeTheLimitsOfTheModelCheck)
{
    // A wall of 0 was stored by the cell and then refused by the model check
    // (at least 0.0001 in); the cell now takes the same limits: below them
    // the value is invalid, above them the table's text says why.
    pipe_sections().push_back(non_standard_section("P1", 4.5f, 0.237f));
    open_sections_table();
    const std::pair<std::string, std::string> refused[] = {
        {"0", "Thickness =  0  is invalid: it must be at least 0.0001 inch"},
        {"0.00009", "Thickness =  0.00009  is invalid: it must be at least 0.0001 inch"},
        {"2000", "Thickness of 2000 inch is beyond what a piping model can hold (0.0001 inch to 1000 inch)"},
    };
    for (const auto& [text, message] : refused) {
        type_cell(5, text);
        EXPECT_EQ(script().last_message(), message) << text;
        EXPECT_FLOAT_EQ(pipe_sections()[1].thickness, 0.237f) << text;
        key(KEY_ESCAPE);
    }
    type_cell(4, "1E19");
    EXPECT_EQ(script().last_message(),
              "Outside diameter of 1E+19 inch is beyond what a piping model can hold (0.001 inch to 1000 inch)");
    EXPECT_FLOAT_EQ(pipe_sections()[1].outside_diameter, 4.5f);
    key(KEY_ESCAPE);
    type_cell(9, "1E6");
    EXPECT_EQ(script().last_message(),
              "Insulation thickness of 1E+06 inch is beyond what a piping model can hold (0 inch to 1000 inch)");
    key(KEY_ESCAPE);

    // The smallest wall the check takes is taken, and the check then finds
    // nothing wrong with the section.
    const size_t before = message_count();
    type_cell(5, "0.0001");
    EXPECT_EQ(message_count(), before);
    EXPECT_FLOAT_EQ(pipe_sections()[1].thickness, 0.0001f);
    EXPECT_TRUE(pipe_section_problems(pipe_sections()[1]).empty());

    // A beam section's cells as well: an area of a solid 1000 in square at
    // most.
    beam_sections().push_back(w8_section());
    open_beam_sections_table();
    type_cell(3, "2E6");
    EXPECT_EQ(script().last_message(), "Area of 2E+06 in2 is beyond what a piping model can hold (0 in2 to 1E+06 in2)");
    EXPECT_FLOAT_EQ(beam_sections()[1].values[BS_AREA], 5.26f);
}

namespace {

using SectionBoundMessage = SectionBounds;

}  // namespace

// A diameter below its bound, typed negative or 0, is refused with what the
// cell takes, not with the sign's rule alone (0 is refused too); a text
// that is no number says nothing more.
TEST_F(SectionBoundMessage, ARefusedDiameterSaysWhatTheCellTakes)
{
    pipe_sections().push_back(non_standard_section("P1", 4.5f, 0.237f));
    open_sections_table();
    const std::pair<std::string, std::string> refused[] = {
        {"-6", "OD =  -6  is invalid: it must be at least 0.001 inch"},
        {"0", "OD =  0  is invalid: it must be at least 0.001 inch"},
        {"X", "OD =  X  is invalid"},
    };
    for (const auto& [text, message] : refused) {
        type_cell(4, text);
        EXPECT_EQ(script().last_message(), message) << text;
        EXPECT_FLOAT_EQ(pipe_sections()[1].outside_diameter, 4.5f) << text;
        key(KEY_ESCAPE);
    }
}

TEST_F(SectionBounds, SectionDialogTakesTheSameLimits)
{
    pipe_sections().push_back(non_standard_section("P1", 4.5f, 0.237f));
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        auto attempt = [&d](int id, const std::string& text, const std::string& good) {
            d.type(id, text);
            d.press(IDOK);
            EXPECT_EQ(d.focused(), id) << text;
            d.type(id, good);
        };
        attempt(SEC_THICKNESS, "0", "0.237");
        attempt(SEC_OD, "1E19", "4.5");
        attempt(SEC_INS_DENSITY, "5000", "");
        attempt(SEC_LIN_THICKNESS, "5000", "");
        d.press(IDOK);
    });
    EXPECT_EQ(edit_pipe_section(1), IDOK);
    EXPECT_EQ(script().messages(),
              (std::vector<std::string>{
                  "Thickness =  0  is invalid: it must be at least 0.0001 inch",
                  "Outside diameter of 1E+19 inch is beyond what a piping model can hold (0.001 inch to 1000 inch)",
                  "Insulation density of 5000 lb/ft3 is beyond what a piping model can hold (0 lb/ft3 to 1728 lb/ft3)",
                  "Lining thickness of 5000 inch is beyond what a piping model can hold (0 inch to 1000 inch)"}));
    EXPECT_TRUE(pipe_section_problems(pipe_sections()[1]).empty());
}

TEST_F(TableInputTest, NewMaterialWithoutPropertiesSaysWhereTheyGoAndTheGridTakesThem)
{
    open_materials_table();
    fill(1, {{1, "n1"}, {2, "Carbon steel"}});
    key(KEY_RETURN);
    ASSERT_EQ(nummats(), 1);
    EXPECT_EQ(script().last_message(), "Properties are required\nType them in the properties grid below the "
                                       "table (F6 goes there), or in the material's dialog (Ctrl+E)");
    // The grid takes the typing at once, without an Escape first.
    PropertyGrid& grid = material_properties_grid();
    table_goto_row(grid, 1, 1);
    table_on_char(grid, "70");
    EXPECT_TRUE(grid.edit.active);
    EXPECT_EQ(grid.edit.text, "70");
}
