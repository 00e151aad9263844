// Pipe section input: the section dialog (size and schedule lists, checks in
// order, pre-fill, rename), the insulation chooser, the Pipe Sections table
// (typed cells, Enter, delete, copy and paste) and its report and CSV forms.
#include "framework/commands.h"
#include "framework/document.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "golden.h"
#include "materials/beam_section.h"
#include "materials/material_records.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/size_tables.h"
#include "materials/soil.h"
#include "materials/ui/dialogs_sections.h"
#include "materials/ui/pipe_section_ui.h"
#include "materials/ui/soil_ui.h"
#include "model/model_file_fixture.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"

#include <fstream>
#include <sstream>

namespace {


void expect_golden(const std::string& name, const std::string& text) { expect_golden_file("sections", name, text); }

int ansi_row(const std::string& size) { return pipe_size_table(SIZE_ANSI).find_row(size); }

class PipeSectionUiTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_property_sets();
        install_pipe_sections_ui();
        install_soils_ui();
        PipeSection a = non_standard_section("S1", 4.5f, 0.237f);
        a.corrosion_allowance = 0.0625f;
        a.mill_tolerance = 12.5f;
        a.insulation_density = 11.0f / 1728.0f;
        a.insulation_thickness = 2.0f;
        pipe_sections().push_back(a);
        PipeSection b = non_standard_section("S2", 6.625f, 0.28f);
        b.corrosion_allowance = 0.125f;
        b.mill_tolerance = 10.0f;
        b.insulation_density = 9.0f / 1728.0f;
        b.insulation_thickness = 1.5f;
        b.lining_density = 0.05f;
        b.lining_thickness = 0.1f;
        pipe_sections().push_back(b);
    }
    void TearDown() override
    {
        close_list_window();
        sections_table().input = PipeSection{};
        ModelFileUiTest::TearDown();
    }

    using Fields = std::vector<std::pair<int, std::string>>;
    static void attempt(HeadlessDialog& d, const Fields& fields)
    {
        for (const auto& [id, text] : fields)
            d.type(id, text);
        d.press(IDOK);
    }
};

TEST_F(PipeSectionUiTest, SizeChangeKeepsTheScheduleAndTakesTableValues)
{
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Section # 3");
        EXPECT_TRUE(d.is_checked(SEC_ANSI));
        EXPECT_EQ(d.text(SEC_NOMINAL), "Non Std");
        EXPECT_FALSE(d.is_enabled(SEC_SCHEDULE));
        EXPECT_FALSE(d.is_enabled(SEC_SOIL));   // no soils defined
        d.select(SEC_NOMINAL, ansi_row("2\""));
        EXPECT_TRUE(d.is_readonly(SEC_OD));
        d.select_text(SEC_SCHEDULE, "40");
        EXPECT_EQ(d.text(SEC_THICKNESS), "0.1540");
        d.select(SEC_NOMINAL, ansi_row("3\""));
        EXPECT_EQ(d.text(SEC_SCHEDULE), "40");
        EXPECT_EQ(d.text(SEC_OD), "3.5000");
        EXPECT_EQ(d.text(SEC_THICKNESS), "0.2160");
        // A size without the schedule falls back to its first one.
        d.select(SEC_NOMINAL, ansi_row("26\""));
        EXPECT_EQ(d.text(SEC_SCHEDULE), "LW");
        d.select(SEC_NOMINAL, ansi_row("3\""));
        d.select_text(SEC_SCHEDULE, "40");
        // Another standard starts from Non Std with editable fields.
        d.press(SEC_ANSI + 1);
        EXPECT_EQ(d.text(SEC_NOMINAL), "Non Std");
        EXPECT_FALSE(d.is_enabled(SEC_SCHEDULE));
        EXPECT_FALSE(d.is_readonly(SEC_OD));
        d.press(SEC_ANSI);
        d.select(SEC_NOMINAL, ansi_row("3\""));
        d.select_text(SEC_SCHEDULE, "40");
        // The densities taken from section 2 want their thicknesses.
        attempt(d, {{SEC_NAME, "s3"}});
        attempt(d, {{SEC_INS_THICKNESS, "1"}, {SEC_LIN_THICKNESS, "0.05"}});
    });
    EXPECT_EQ(edit_pipe_section(3), IDOK);
    EXPECT_EQ(script().messages(),
              std::vector<std::string>{"Insulation density defined without Insulation thickness"});
    ASSERT_EQ(numsections(), 3);
    const PipeSection& s = pipe_sections()[3];
    EXPECT_EQ(s.name, "S3");
    EXPECT_EQ(s.nominal_size, "3\"");
    EXPECT_EQ(s.schedule, "40");
    EXPECT_FLOAT_EQ(s.thickness, 0.216f);
    EXPECT_TRUE(model_modified());

    // Reopened, the stored size and schedule are selected again.
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(SEC_NOMINAL), "3\"");
        EXPECT_EQ(d.text(SEC_SCHEDULE), "40");
        d.press(IDCANCEL);
    });
    EXPECT_EQ(edit_pipe_section(3), IDCANCEL);
}

TEST_F(PipeSectionUiTest, DialogChecksRunInOrderWithTheirMessages)
{
    BeamSection beam;
    beam.name = "BM1";
    beam.values[BS_AREA] = beam.values[BS_MAJOR_I] = beam.values[BS_MINOR_I] = 1.0f;
    beam_sections().push_back(beam);
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        // The pre-filled values of section 2 are cleared first.
        for (int id : {SEC_CORROSION, SEC_MILL_TOLERANCE, SEC_INS_DENSITY, SEC_LIN_DENSITY})
            d.type(id, "");
        attempt(d, {{SEC_NAME, ""}});
        attempt(d, {{SEC_NAME, "A*B"}});
        attempt(d, {{SEC_NAME, "BM1"}});
        attempt(d, {{SEC_NAME, "S2"}});
        attempt(d, {{SEC_NAME, "N1"}});
        attempt(d, {{SEC_OD, "0.0005"}});
        attempt(d, {{SEC_OD, "1.0"}, {SEC_THICKNESS, "0.5001"}});
        EXPECT_EQ(d.focused(), SEC_THICKNESS);
        attempt(d, {{SEC_THICKNESS, "0.2"}, {SEC_CORROSION, "0.2"}});
        attempt(d, {{SEC_CORROSION, "0.175"}, {SEC_MILL_TOLERANCE, "75.1"}});
        attempt(d, {{SEC_MILL_TOLERANCE, "12.5"}});
        EXPECT_EQ(d.focused(), SEC_MILL_TOLERANCE);
        attempt(d, {{SEC_CORROSION, ""}, {SEC_MILL_TOLERANCE, "75"}, {SEC_INS_THICKNESS, "2"}});
        EXPECT_EQ(d.focused(), SEC_INS_DENSITY);
        attempt(d, {{SEC_INS_THICKNESS, ""}, {SEC_INS_DENSITY, "0.005"}});
        EXPECT_EQ(d.focused(), SEC_INS_THICKNESS);
        attempt(d, {{SEC_INS_DENSITY, ""}, {SEC_LIN_THICKNESS, "0.31"}, {SEC_LIN_DENSITY, "0.05"}});
        attempt(d, {{SEC_LIN_THICKNESS, "0.1"}, {SEC_LIN_DENSITY, ""}});
        // Thickness exactly the radius passes.
        attempt(d, {{SEC_THICKNESS, "0.5"}, {SEC_LIN_THICKNESS, ""}});
    });
    EXPECT_EQ(edit_pipe_section(3), IDOK);
    EXPECT_EQ(script().messages(),
              (std::vector<std::string>{"Name is required",
                                        "Name =  A*B  should be alpha numeric",
                                        "Section =  BM1  is already defined as a beam section",
                                        "Section =  S2  is already defined",
                                        "Outside diameter is required",
                                        "Outside diameter =  0.0005  is invalid: it must be at least 0.001 inch",
                                        "Thickness is greater than radius",
                                        "Corrosion allowance >= Thickness",
                                        "Mill tolerance =  75.1  is invalid",
                                        "Corrosion allowance + mill tolerance is too large",
                                        "Insulation thickness defined without Insulation density",
                                        "Insulation density defined without Insulation thickness",
                                        "Lining thickness > radius",
                                        "Lining thickness defined without Lining density"}));
    ASSERT_EQ(numsections(), 3);
    EXPECT_FLOAT_EQ(pipe_sections()[3].thickness, 0.5f);
    EXPECT_FLOAT_EQ(pipe_sections()[3].mill_tolerance, 75.0f);
}

TEST_F(PipeSectionUiTest, NewSectionStartsFromThePreviousOne)
{
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(SEC_CORROSION), "0.1250");
        EXPECT_EQ(d.text(SEC_MILL_TOLERANCE), "10.00");
        EXPECT_EQ(d.text(SEC_INS_DENSITY), format_weight_density(9.0 / 1728.0));
        EXPECT_EQ(d.text(SEC_LIN_DENSITY), format_weight_density(0.05));
        EXPECT_EQ(d.text(SEC_INS_THICKNESS), "");
        EXPECT_EQ(d.text(SEC_OD), "");
        d.press(IDCANCEL);
    });
    EXPECT_EQ(edit_pipe_section(3), IDCANCEL);
    EXPECT_EQ(numsections(), 2);
    // An existing section shows its own values (mill tolerance 1 decimal).
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(SEC_MILL_TOLERANCE), "12.5");
        EXPECT_EQ(d.text(SEC_OD), "4.5000");
        EXPECT_EQ(d.text(SEC_LIN_DENSITY), "");
        d.press(IDOK);   // nothing changed
    });
    model_modified() = false;
    EXPECT_EQ(edit_pipe_section(1), IDOK);
    EXPECT_FALSE(model_modified());
}

TEST_F(PipeSectionUiTest, RenameAsksAndSoilAndInsulationAreChosen)
{
    soils().push_back(Soil{"SA", SOIL_COHESIVE, 0.06f, 5.0f, 0.0f, 0.0f, 0.0f, 0});
    soils().push_back(Soil{"SB", SOIL_COHESIONLESS, 0.07f, 0.0f, 0.5f, 1.0f, 0.0f, 0});
    from(10);
    const int pipe = row(20, ET_PIPE, 12.0f);
    model().rows[pipe].section = "S1";

    script().answer(IDNO);
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_enabled(SEC_SOIL));
        EXPECT_EQ(d.text(SEC_SOIL), "");
        attempt(d, {{SEC_NAME, "S9"}});
        EXPECT_EQ(d.text(SEC_NAME), "S1");
        d.press(IDCANCEL);
    });
    EXPECT_EQ(edit_pipe_section(1), IDCANCEL);
    EXPECT_EQ(pipe_sections()[1].name, "S1");

    script().answer(IDYES);
    script().once("INSULATION_DIALOG", [](HeadlessDialog& d) {
        const WindowId table = d.control(INSULATION_TABLE)->client;
        script().key(table, KEY_DOWN);
        d.press(IDOK);
    });
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        d.press(SEC_INSULATION_BUTTON);
        EXPECT_EQ(d.text(SEC_INS_DENSITY), format_weight_density(15.0 / 1728.0));
        EXPECT_EQ(d.focused(), SEC_INS_THICKNESS);
        d.select_text(SEC_SOIL, "SB");
        attempt(d, {{SEC_NAME, "S9"}});
    });
    EXPECT_EQ(edit_pipe_section(1), IDOK);
    EXPECT_EQ(script().last_message(), "Do you want to change Section name\nfrom  \"S1\"  to  \"S9\" ?");
    EXPECT_EQ(pipe_sections()[1].name, "S9");
    EXPECT_EQ(pipe_sections()[1].soil, "SB");
    EXPECT_FLOAT_EQ(pipe_sections()[1].insulation_density, 15.0f / 1728.0f);
    EXPECT_EQ(model().rows[pipe].section, "S9");

    // Cancel in the chooser leaves the field alone.
    script().once("INSULATION_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    EXPECT_EQ(run_insulation_dialog(), 0);
}

TEST_F(PipeSectionUiTest, TableCellsUseTheDialogChecksAndEnterSettlesPairs)
{
    open_sections_table();
    SectionsTable& t = sections_table();
    ASSERT_EQ(list_window_table(), &t);
    EXPECT_EQ(t.title, "Pipe Sections");
    EXPECT_EQ(t.row_count, 3);
    EXPECT_EQ(t.cell_text(1, 7, 0), "12.5");
    EXPECT_EQ(t.cell_text(2, 6, 0), "0.1250");

    // Combined checks of the dialog: nothing is stored on a refusal.
    EXPECT_THROW(t.store_cell(1, 6, "0.237"), CI);
    EXPECT_THROW(t.store_cell(1, 7, "75.1"), MessageText);
    EXPECT_THROW(t.store_cell(1, 6, "0.21"), CI);  // with 12.5 % mill tolerance
    EXPECT_THROW(t.store_cell(1, 11, "2.1"), CI);  // lining thicker than the bore allows
    EXPECT_THROW(t.store_cell(1, 1, "S2"), MessageText);
    EXPECT_FLOAT_EQ(pipe_sections()[1].corrosion_allowance, 0.0625f);

    // Only an insulation density typed: Enter clears it again.
    model_modified() = false;
    t.store_cell(1, 8, "");
    t.store_cell(1, 9, "");
    t.store_cell(1, 8, "11");   // lb/ft3
    EXPECT_FLOAT_EQ(pipe_sections()[1].insulation_density, 11.0f / 1728.0f);
    t.leave_row(1);
    EXPECT_EQ(pipe_sections()[1].insulation_density, 0.0f);
    EXPECT_EQ(pipe_sections()[1].insulation_thickness, 0.0f);
    EXPECT_TRUE(model_modified());

    // The input row: a name is required, then the dialog is wanted.
    try {
        t.leave_row(3);
        FAIL();
    } catch (const CI& c) {
        EXPECT_EQ(c.message, "Name is required");
        EXPECT_EQ(c.column, 1);
    }
    t.store_cell(3, 1, "n3");
    try {
        t.leave_row(3);
        FAIL();
    } catch (const MsgCmd& m) {
        EXPECT_EQ(m.command, CMD_EDIT_ROW);
    }
    EXPECT_EQ(numsections(), 2);
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Section # 3");
        EXPECT_EQ(d.text(SEC_NAME), "N3");
        attempt(d, {{SEC_OD, "2"}, {SEC_THICKNESS, "0.1"}, {SEC_CORROSION, ""}, {SEC_MILL_TOLERANCE, ""},
                    {SEC_INS_DENSITY, ""}, {SEC_LIN_DENSITY, ""}});
    });
    EXPECT_TRUE(t.edit_row(3));
    ASSERT_EQ(numsections(), 3);
    EXPECT_EQ(pipe_sections()[3].name, "N3");
    EXPECT_TRUE(t.input.name.empty());
}

TEST_F(PipeSectionUiTest, DeleteInsertCopyAndPaste)
{
    from(10);
    model().rows[row(20, ET_PIPE, 5.0f)].section = "S2";
    open_sections_table();
    SectionsTable& t = sections_table();
    table_goto_row(t, 2);
    table_delete(t);
    EXPECT_EQ(numsections(), 2);
    EXPECT_EQ(script().last_message(), "Section S2 is in use, it cannot be deleted");

    // Copy keeps a copy of the record: later changes and growth do not matter.
    table_copy(t);
    pipe_sections()[2].thickness = 0.5f;
    for (int i = 0; i < 20; ++i)
        pipe_sections().push_back(non_standard_section("X" + std::to_string(i), 2.0f, 0.1f));
    t.load();
    table_goto_row(t, 1);
    EXPECT_TRUE(t.can_insert(1));
    table_insert(t);
    EXPECT_TRUE(pipe_sections()[1].name.empty());
    EXPECT_FALSE(t.can_insert(2));   // the row above has no name
    table_goto_row(t, 4);
    table_paste(t);
    const PipeSection& pasted = pipe_sections()[4];
    EXPECT_EQ(pasted.name, "X0");
    EXPECT_FLOAT_EQ(pasted.thickness, 0.28f);
    EXPECT_FLOAT_EQ(pasted.lining_thickness, 0.1f);
    // Paste is spent until the next Copy.
    const int beeps = script().beeps();
    table_goto_row(t, 5);
    table_paste(t);
    EXPECT_EQ(script().beeps(), beeps + 1);
    EXPECT_FLOAT_EQ(pipe_sections()[5].thickness, 0.1f);
}

TEST_F(PipeSectionUiTest, HighlightFollowsTheCurrentRow)
{
    std::vector<std::string> events;
    pipe_section_highlight().enabled = [] { return true; };
    pipe_section_highlight().draw = [&](const std::string& name) { events.push_back("draw " + name); };
    pipe_section_highlight().erase = [&] { events.push_back("erase"); };
    open_sections_table();
    table_goto_row(sections_table(), 2);
    close_list_window();
    pipe_section_highlight() = PipeSectionHighlight{};
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[events.size() - 3], "erase");
    EXPECT_EQ(events[events.size() - 2], "draw S2");
    EXPECT_EQ(events.back(), "erase");
}

TEST_F(PipeSectionUiTest, OpenTableFollowsTheCurrentLayoutRow)
{
    from(10);
    model().rows[row(20, ET_PIPE, 12.0f)].section = "S2";
    model().rows[row(30, ET_PIPE, 12.0f)].section = "S1";
    model().rows[row(40, ET_PIPE, 12.0f)].section = "XX";   // names no section
    reload_layout_table();
    LayoutTable& layout = layout_table();
    table_goto_row(layout, 2);
    open_sections_table();
    SectionsTable& t = sections_table();
    EXPECT_EQ(t.current_row, 2);
    table_goto_row(layout, 3);
    EXPECT_EQ(t.current_row, 1);
    table_goto_row(layout, 4);   // no such section: the table stays
    EXPECT_EQ(t.current_row, 1);
    table_goto_row(layout, 2);
    EXPECT_EQ(t.current_row, 2);
    // A closed table is left alone.
    close_list_window();
    table_goto_row(layout, 3);
    EXPECT_EQ(t.current_row, 2);
}

TEST_F(PipeSectionUiTest, ReportAndCsvForms)
{
    pipe_sections()[2].soil = "SX";
    PipeSection ansi = non_standard_section("A3", 3.5f, 0.216f);
    ansi.nominal_size = "3\"";
    ansi.schedule = "40";
    pipe_sections().push_back(ansi);
    set_report_date("1 Jan 2025");
    model_file_path() = "Sections.mod";
    report_begin_text(false);
    print_pipe_sections();
    expect_golden("sections.txt", report_end_text());
    report_begin_text(true);
    print_pipe_sections();
    expect_golden("sections.csv", report_end_text());

    // Nothing at all without sections.
    reset_pipe_sections();
    report_begin_text(false);
    print_pipe_sections();
    EXPECT_EQ(report_end_text(), "");
}

}  // namespace
