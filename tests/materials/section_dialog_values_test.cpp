// The pipe section dialog keeps the exact stored values behind its rounded
// texts: OK unchanged changes nothing, and a size picked from a table stores
// the table's values.
#include "framework/units.h"
#include "materials/beam_section.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/size_tables.h"
#include "materials/soil.h"
#include "materials/ui/dialogs_sections.h"
#include "materials/ui/pipe_section_ui.h"
#include "materials/ui/soil_ui.h"
#include "model/model_file_fixture.h"
#include "model/ui/list_window.h"

namespace {

class SectionDialogValuesTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_property_sets();
        install_pipe_sections_ui();
        install_soils_ui();
    }
    void TearDown() override
    {
        close_list_window();
        ModelFileUiTest::TearDown();
    }
    PipeSection reopen_unchanged(int index)
    {
        script().once("SECTION_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
        model_modified() = false;
        EXPECT_EQ(edit_pipe_section(index), IDOK);
        return pipe_sections()[index];
    }
};

// A mill tolerance with two decimals (the dialog itself offers them for a new
// section) is shown with one but kept on an unchanged OK.
TEST_F(SectionDialogValuesTest, MillToleranceKeptOnUnchangedOk)
{
    PipeSection a;
    a.name = "S1";
    a.nominal_size = NON_STANDARD_SIZE;
    a.outside_diameter = 4.5f;
    a.thickness = 0.237f;
    a.mill_tolerance = 12.25f;
    pipe_sections().push_back(a);
    // New section 2 is pre-filled with "12.25": two decimals are normal input.
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(SEC_MILL_TOLERANCE), "12.25");
        d.press(IDCANCEL);
    });
    edit_pipe_section(2);
    const PipeSection after = reopen_unchanged(1);
    EXPECT_FLOAT_EQ(after.mill_tolerance, 12.25f);
    EXPECT_FALSE(model_modified());
}

// A section typed in mm, reopened with inch dimensions and OK pressed.
TEST_F(SectionDialogValuesTest, DimensionsKeptOnUnchangedOkInOtherUnits)
{
    PipeSection a;
    a.name = "S1";
    a.nominal_size = NON_STANDARD_SIZE;
    a.outside_diameter = static_cast<float>(21.3 / 25.4);
    a.thickness = static_cast<float>(2.6 / 25.4);
    a.insulation_density = static_cast<float>(150.0 * 3.6127292e-5);   // 150 kg/m3
    a.insulation_thickness = static_cast<float>(50.0 / 25.4);
    pipe_sections().push_back(a);
    const PipeSection after = reopen_unchanged(1);
    EXPECT_EQ(after.outside_diameter, a.outside_diameter);
    EXPECT_EQ(after.thickness, a.thickness);
    EXPECT_EQ(after.insulation_thickness, a.insulation_thickness);
    EXPECT_EQ(after.insulation_density, a.insulation_density);
    EXPECT_FALSE(model_modified());
}

// A DIN size picked in the dialog stores the table's values, not the
// 4-decimal inch texts of them.
TEST_F(SectionDialogValuesTest, DinSizeStoresTableValues)
{
    const PipeSizeTable& din = pipe_size_table(SIZE_DIN);
    int row = -1;
    for (int r = 1; r < din.row_count(); ++r)
        if (din.rows[static_cast<std::size_t>(r)].schedule_count() > 0) { row = r; break; }
    ASSERT_GT(row, 0);
    script().once("SECTION_DIALOG", [row](HeadlessDialog& d) {
        d.type(SEC_NAME, "D1");
        d.press(SEC_ANSI + 1);
        d.select(SEC_NOMINAL, row);
        d.press(IDOK);
    });
    ASSERT_EQ(edit_pipe_section(1), IDOK);
    const PipeSizeRow& r = din.rows[static_cast<std::size_t>(row)];
    EXPECT_EQ(pipe_sections()[1].outside_diameter, r.outside_diameter) << r.name;
    EXPECT_EQ(pipe_sections()[1].thickness, r.thicknesses[0]) << r.name;
}

// Clicking the size standard that is already checked keeps the section's
// nominal size and schedule (and with them its bend radius).
TEST_F(SectionDialogValuesTest, ClickingTheCheckedStandardKeepsTheSize)
{
    PipeSection a;
    a.name = "S1";
    a.nominal_size = "3\"";
    a.schedule = "80";
    a.outside_diameter = 3.5f;
    a.thickness = 0.3f;
    pipe_sections().push_back(a);
    const float radius_before = section_bend_radius(a, false);
    script().once("SECTION_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(SEC_NOMINAL), "3\"");
        d.press(SEC_ANSI);   // already checked
        d.press(IDOK);
    });
    ASSERT_EQ(edit_pipe_section(1), IDOK);
    EXPECT_EQ(pipe_sections()[1].nominal_size, "3\"");
    EXPECT_EQ(pipe_sections()[1].schedule, "80");
    EXPECT_EQ(section_bend_radius(pipe_sections()[1], false), radius_before);
}

}  // namespace
