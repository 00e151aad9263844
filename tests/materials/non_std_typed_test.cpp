// "Non Std" is typed as the tables show it: the Pipe Sections' and the
// Valve Library's Nom Dia take it in any case, with or without its blank,
// as they take every size of the size tables by its name; a section whose
// outside diameter or wall was typed is a Non Std section and shows so;
// and a Non Std valve takes the outside diameter that a pipe picks it by,
// which Enter and the valve dialog's OK ask for, with the caret or the
// focus there.
#include "framework/strings.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/pipe_section.h"
#include "materials/size_tables.h"
#include "materials/ui/dialogs_libraries.h"
#include "materials/ui/pipe_section_ui.h"
#include "materials/ui/valve_library_ui.h"
#include "materials/valve_library.h"
#include "materials/program_fixture.h"
#include "model/ui/list_window.h"
#include "platform/headless/headless_dialog.h"

#include <string>
#include <vector>

namespace {

constexpr const char* OD_REQUIRED = "Outside diameter is required for Non Std";

class NonStdTyped : public HeadlessProgramTest {
protected:
    // Types into a cell, its edit left open.
    void type_at(TableWindow& t, int row, int column, const std::string& text) const
    {
        ASSERT_TRUE(table_move_to(t, row, column));
        type_into_list(text);
    }
};

// Every size of the four size tables is found by its name in any case and
// without its blanks; Non Std is row 0 of each.
TEST_F(NonStdTyped, EverySizeIsFoundByItsNameTypedInAnyCaseWithOrWithoutItsBlanks)
{
    for (int standard = 0; standard < 4; ++standard) {
        const PipeSizeTable& sizes = pipe_size_table(standard);
        for (int row = 0; row < sizes.row_count(); ++row) {
            const std::string& name = sizes.rows[static_cast<std::size_t>(row)].name;
            std::string squeezed;
            for (char c : upper_case(name))
                if (c != ' ')
                    squeezed += c;
            EXPECT_EQ(sizes.find_typed_row(name), row) << standard << " " << name;
            EXPECT_EQ(sizes.find_typed_row(lower_case(name)), row) << standard << " " << name;
            EXPECT_EQ(sizes.find_typed_row(squeezed), row) << standard << " " << name;
        }
        for (const char* typed : {"Non Std", "non std", "NONSTD", "nonstd"})
            EXPECT_EQ(sizes.find_typed_row(typed), 0) << standard << " " << typed;
        EXPECT_EQ(sizes.find_typed_row("Non"), -1);
    }
}

// A section typed as Non Std keeps the diameter and wall it had (which are
// then typed, as in the dialog) and has no schedule; one whose diameter is
// typed on the input row is a Non Std section.
TEST_F(NonStdTyped, PipeSectionsTakeNonStdAndShowItForATypedDiameter)
{
    open_sections_table();
    TableWindow& t = *list_window_table();
    ASSERT_EQ(&t, &sections_table());

    // A 6 in Sch 40 section made Non Std by a typed "nonstd".
    type_at(t, 1, 1, "S6");
    type_at(t, 1, 2, "6");
    type_at(t, 1, 3, "40");
    EXPECT_EQ(enter(), "");
    ASSERT_EQ(numsections(), 1);
    type_at(t, 1, 2, "nonstd");
    EXPECT_EQ(enter(), "");
    const PipeSection& s6 = pipe_sections()[1];
    EXPECT_EQ(s6.nominal_size, NON_STANDARD_SIZE);
    EXPECT_EQ(s6.schedule, "");
    // ASME B36.10M: NPS 6 Sch 40 is 6.625 in by 0.280 in.
    EXPECT_FLOAT_EQ(s6.outside_diameter, 6.625f);
    EXPECT_FLOAT_EQ(s6.thickness, 0.28f);
    EXPECT_EQ(t.cell_text(1, 2, 0), "Non Std");
    // A Non Std section has no schedule to type.
    type_at(t, 1, 3, "40");
    EXPECT_EQ(enter(), "Schedule 40 is not a schedule of size Non Std");
    table_cancel_edit(t);

    // The input row: a name, then its diameter and wall typed.
    type_at(t, 2, 1, "T1");
    type_at(t, 2, 4, "4.5");
    type_at(t, 2, 5, "0.25");
    key(KEY_TAB);
    EXPECT_EQ(t.cell_text(2, 2, 0), "Non Std");
    EXPECT_EQ(enter(), "");
    ASSERT_EQ(numsections(), 2);
    EXPECT_EQ(pipe_sections()[2].nominal_size, NON_STANDARD_SIZE);
    EXPECT_FLOAT_EQ(pipe_sections()[2].outside_diameter, 4.5f);

    // "Non Std" as the table shows it, on a new section.
    type_at(t, 3, 1, "T2");
    type_at(t, 3, 2, "Non Std");
    key(KEY_TAB);
    EXPECT_EQ(sections_table().input.nominal_size, NON_STANDARD_SIZE);
}

// Enter on a Non Std valve without an outside diameter says that it wants
// one, with the caret in the OD column, which takes it.
TEST_F(NonStdTyped, TheValveLibraryWantsANonStdValvesOutsideDiameterAtEnter)
{
    new_valve_library();
    TableWindow& t = valve_library_table();
    ASSERT_EQ(list_window_table(), &t);
    type_at(t, 1, 1, "GLOBE NS");
    type_at(t, 1, 2, "non std");
    EXPECT_EQ(enter(), OD_REQUIRED);
    EXPECT_EQ(t.current_row, 1);
    EXPECT_EQ(t.current_column, 3);
    EXPECT_EQ(numlibvalves(), 0);
    EXPECT_EQ(valve_library_table().input.nominal_size, NON_STANDARD_SIZE);
    type_into_list("5.5");
    EXPECT_EQ(enter(), "");
    ASSERT_EQ(numlibvalves(), 1);
    EXPECT_EQ(valve_records()[1].nominal_size, NON_STANDARD_SIZE);
    EXPECT_FLOAT_EQ(valve_records()[1].outside_diameter, 5.5f);
    // A size of the table gives the diameter, which is then not typed.
    type_at(t, 1, 2, "6");
    EXPECT_EQ(enter(), "");
    EXPECT_FLOAT_EQ(valve_records()[1].outside_diameter, 6.625f);
    EXPECT_FALSE(t.cell_editable(1, 3));
    model_modified() = false;
}

// The valve dialog's OD is typed for Non Std, and OK asks for it there.
TEST_F(NonStdTyped, TheValveDialogTakesANonStdValvesOutsideDiameterAndAsksForIt)
{
    new_valve_library();
    TableWindow& t = valve_library_table();
    std::vector<std::string> said;
    script().once("VALVE_LIBRARY_DIALOGNEW", [&](HeadlessDialog& d) {
        EXPECT_TRUE(d.type(VALVE_DESCRIPTION, "GLOBE NS"));
        EXPECT_TRUE(d.select(VALVE_SIZE, 6));   // a size of the table: its diameter, not typed
        EXPECT_TRUE(d.is_readonly(VALVE_OD));
        EXPECT_TRUE(d.select(VALVE_SIZE, 0));   // Non Std
        EXPECT_FALSE(d.is_readonly(VALVE_OD));
        d.press(IDOK);
        said = script().messages();
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.focused(), VALVE_OD);
        EXPECT_TRUE(d.type(VALVE_OD, "5.5"));
        d.press(IDOK);
        EXPECT_TRUE(d.ended());
    });
    table_goto_row(t, 1, 1);
    table_edit_row(t);
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.back(), OD_REQUIRED);
    ASSERT_EQ(numlibvalves(), 1);
    EXPECT_EQ(valve_records()[1].nominal_size, NON_STANDARD_SIZE);
    EXPECT_FLOAT_EQ(valve_records()[1].outside_diameter, 5.5f);
    model_modified() = false;
}

}  // namespace
