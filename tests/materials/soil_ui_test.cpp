// Soil input: the soil dialog (checks in order, type switching, the zero
// delta marker, rename), the Soils table (cells, delete, insert, Enter, the
// dialog on the input row) and the report and CSV forms.
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/material_records.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/size_tables.h"
#include "materials/soil.h"
#include "materials/ui/dialogs_sections.h"
#include "materials/ui/pipe_section_ui.h"
#include "materials/ui/soil_ui.h"
#include "model/model_file_fixture.h"
#include "model/ui/list_window.h"

#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

Soil cohesive(const std::string& name, float density, float strength)
{
    Soil s;
    s.name = name;
    s.type = SOIL_COHESIVE;
    s.density = density;
    s.strength = strength;
    return s;
}

Soil cohesionless(const std::string& name, float density, float delta, float ks)
{
    Soil s;
    s.name = name;
    s.density = density;
    s.delta = delta;
    s.ks = ks;
    return s;
}

PipeSection section(const std::string& name, const std::string& soil)
{
    PipeSection s = non_standard_section(name, 4.5f, 0.237f);
    s.soil = soil;
    return s;
}

class SoilUiTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_property_sets();
        install_pipe_sections_ui();
        install_soils_ui();
        soils().push_back(cohesive("S1", 0.07f, 5.0f));
        soils().push_back(cohesionless("S2", 0.065f, 0.5f, 1.5f));
        pipe_sections().push_back(section("P1", "S1"));
        pipe_sections().push_back(section("P2", ""));
        model_modified() = false;
    }
    void TearDown() override
    {
        close_list_window();
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

TEST_F(SoilUiTest, DialogChecksRunInOrderAndZeroDeltaIsMarked)
{
    script().once("SOIL_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Soil # 3");
        // A new record is Cohesionless: the strength fields are off.
        EXPECT_TRUE(d.is_checked(SOIL_COHESIONLESS_BUTTON));
        EXPECT_FALSE(d.is_enabled(SOIL_STRENGTH));
        EXPECT_FALSE(d.is_enabled(SOIL_STRENGTH_LABEL));
        EXPECT_TRUE(d.is_enabled(SOIL_DELTA));
        EXPECT_TRUE(d.is_enabled(SOIL_KS));
        EXPECT_EQ(d.focused(), SOIL_NAME);
        attempt(d, {});
        attempt(d, {{SOIL_NAME, "A*B"}});
        attempt(d, {{SOIL_NAME, "s2"}});
        attempt(d, {{SOIL_NAME, "s3"}});
        attempt(d, {{SOIL_DENSITY, "0"}});
        attempt(d, {{SOIL_DENSITY, "-1"}});
        attempt(d, {{SOIL_DENSITY, "120"}});
        attempt(d, {{SOIL_DELTA, "75.01"}});
        attempt(d, {{SOIL_DELTA, "-1"}});
        attempt(d, {{SOIL_DELTA, "0"}});
        attempt(d, {{SOIL_KS, "0"}});
        attempt(d, {{SOIL_KS, "1.25"}, {SOIL_GROUND_LEVEL, "x"}});
        EXPECT_EQ(d.focused(), SOIL_GROUND_LEVEL);
        attempt(d, {{SOIL_GROUND_LEVEL, ""}});
    });
    EXPECT_EQ(edit_soil(3), IDOK);
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Name is required",
                                                             "Name =  A*B  should be alpha numeric",
                                                             "Soil =  S2  is already defined",
                                                             "Density is required",
                                                             "Density =  0  is invalid: it must be above 0",
                                                             "Density =  -1  is invalid: it must be above 0",
                                                             "Delta is required",
                                                             "Delta =  75.01  is invalid",
                                                             "Delta =  -1  is invalid",
                                                             "Ks is required",
                                                             "Ks =  0  is invalid",
                                                             "Ground level =  X  is invalid"}));
    ASSERT_EQ(numsoils(), 3);
    const Soil& s = soils()[3];
    EXPECT_EQ(s.name, "S3");
    EXPECT_EQ(s.type, SOIL_COHESIONLESS);
    EXPECT_EQ(s.delta, SOIL_ZERO_DELTA);
    EXPECT_FLOAT_EQ(s.ks, 1.25f);
    EXPECT_EQ(s.strength, 0.0f);
    EXPECT_EQ(s.ground_level, 0.0f);
    EXPECT_TRUE(model_modified());

    // 75 degrees, the largest angle, is accepted.
    script().once("SOIL_DIALOG", [](HeadlessDialog& d) { attempt(d, {{SOIL_DELTA, "75"}}); });
    EXPECT_EQ(edit_soil(3), IDOK);
    EXPECT_NEAR(soils()[3].delta, 75.0 * PI / 180.0, 1e-6);
}

TEST_F(SoilUiTest, SwitchingTypeClearsTheOtherFields)
{
    script().once("SOIL_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(SOIL_COHESIVE_BUTTON));
        EXPECT_TRUE(d.is_enabled(SOIL_STRENGTH));
        EXPECT_FALSE(d.is_enabled(SOIL_DELTA));
        EXPECT_FALSE(d.is_enabled(SOIL_KS_LABEL));
        EXPECT_FALSE(d.text(SOIL_STRENGTH).empty());
        d.press(SOIL_COHESIONLESS_BUTTON);
        EXPECT_EQ(d.text(SOIL_STRENGTH), "");
        EXPECT_FALSE(d.is_enabled(SOIL_STRENGTH));
        EXPECT_TRUE(d.is_enabled(SOIL_DELTA));
        attempt(d, {{SOIL_DELTA, "30"}, {SOIL_KS, "0.8"}});
    });
    EXPECT_EQ(edit_soil(1), IDOK);
    const Soil& s = soils()[1];
    EXPECT_EQ(s.type, SOIL_COHESIONLESS);
    EXPECT_EQ(s.strength, 0.0f);
    EXPECT_NEAR(s.delta, PI / 6.0, 1e-6);

    // And back: Cohesive leaves delta and Ks at 0; the check box is stored.
    script().once("SOIL_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(SOIL_COHESIONLESS_BUTTON));
        d.press(SOIL_COHESIVE_BUTTON);
        EXPECT_EQ(d.text(SOIL_DELTA), "");
        EXPECT_EQ(d.text(SOIL_KS), "");
        attempt(d, {});
        d.press(SOIL_CHECK_INSULATION);
        attempt(d, {{SOIL_STRENGTH, "4"}});
    });
    EXPECT_EQ(edit_soil(1), IDOK);
    EXPECT_EQ(script().last_message(), "Strength is required");
    EXPECT_EQ(s.type, SOIL_COHESIVE);
    EXPECT_EQ(s.delta, 0.0f);
    EXPECT_EQ(s.ks, 0.0f);
    EXPECT_FLOAT_EQ(s.strength, 4.0f);
    EXPECT_EQ(s.include_insulation, 1);

    // Unchanged: OK closes without marking the model.
    model_modified() = false;
    script().once("SOIL_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_EQ(edit_soil(2), IDOK);
    EXPECT_FALSE(model_modified());
}

TEST_F(SoilUiTest, RenameAsksAndReachesTheSections)
{
    pipe_sections().push_back(section("P3", "S1"));
    script().answer(IDNO);
    script().once("SOIL_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{SOIL_NAME, "S9"}});
        EXPECT_EQ(d.text(SOIL_NAME), "S1");
        d.press(IDCANCEL);
    });
    EXPECT_EQ(edit_soil(1), IDCANCEL);
    EXPECT_EQ(soils()[1].name, "S1");
    EXPECT_EQ(pipe_sections()[1].soil, "S1");

    script().answer(IDYES);
    script().once("SOIL_DIALOG", [](HeadlessDialog& d) { attempt(d, {{SOIL_NAME, "S9"}}); });
    EXPECT_EQ(edit_soil(1), IDOK);
    EXPECT_EQ(script().last_message(), "Do you want to change Soil name\nfrom  \"S1\"  to  \"S9\" ?");
    EXPECT_EQ(soils()[1].name, "S9");
    EXPECT_EQ(pipe_sections()[1].soil, "S9");
    EXPECT_EQ(pipe_sections()[2].soil, "");
    EXPECT_EQ(pipe_sections()[3].soil, "S9");
}

TEST_F(SoilUiTest, TableShowsTypeFieldsAndGuardsItsRows)
{
    soils().push_back(cohesionless("S3", 0.06f, SOIL_ZERO_DELTA, 1.0f));
    open_soils_table();
    SoilsTable& t = soils_table();
    ASSERT_EQ(list_window_table(), &t);
    EXPECT_EQ(t.title, "Soils");
    EXPECT_EQ(t.row_count, 4);
    EXPECT_EQ(t.header_text(8, 1), "Ins. Thk");
    EXPECT_EQ(t.cell_text(1, 2, 0), "Cohesive");
    EXPECT_EQ(t.cell_text(1, 5, 0), "");   // no delta for a cohesive soil
    EXPECT_EQ(t.cell_text(1, 7, 0), "");   // ground level 0
    EXPECT_EQ(t.cell_text(1, 8, 0), "No");
    EXPECT_EQ(t.cell_text(2, 2, 0), "Cohesionless");
    EXPECT_EQ(t.cell_text(2, 4, 0), "");
    EXPECT_EQ(t.cell_text(2, 6, 0), "1.50");
    // The entered-zero delta shows as a zero, not as an empty cell.
    EXPECT_EQ(std::stod(t.cell_text(3, 5, 0)), 0.0);
    EXPECT_FALSE(t.cell_editable(1, 1));

    // Delete: a soil in use is refused; the input row only beeps.
    table_goto_row(t, 1);
    table_delete(t);
    EXPECT_EQ(numsoils(), 3);
    EXPECT_EQ(script().last_message(), "Soil S1 is in use, it cannot be deleted");
    const int beeps = script().beeps();
    table_goto_row(t, 4);
    table_delete(t);
    EXPECT_EQ(numsoils(), 3);
    EXPECT_GT(script().beeps(), beeps);
    table_goto_row(t, 2);
    table_delete(t);
    ASSERT_EQ(numsoils(), 2);
    EXPECT_EQ(soils()[2].name, "S3");
    EXPECT_TRUE(model_modified());

    // Insert makes an unnamed soil, after which neither it nor the row below
    // allows another insert, and Enter wants a name.
    EXPECT_TRUE(t.can_insert(1));
    table_goto_row(t, 2);
    table_insert(t);
    ASSERT_EQ(numsoils(), 3);
    EXPECT_TRUE(soils()[2].name.empty());
    EXPECT_FALSE(t.can_insert(2));
    EXPECT_FALSE(t.can_insert(3));
    try {
        t.leave_row(2);
        FAIL();
    } catch (const CI& c) {
        EXPECT_EQ(c.message, "Name is required");
        EXPECT_EQ(c.column, 1);
    }
    EXPECT_THROW(t.leave_row(4), CI);   // the input row has no name
    EXPECT_NO_THROW(t.leave_row(1));

    // The dialog on the input row appends a soil.
    script().once("SOIL_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Soil # 4");
        attempt(d, {{SOIL_NAME, "N4"}, {SOIL_DENSITY, "100"}, {SOIL_DELTA, "20"}, {SOIL_KS, "1"}});
    });
    EXPECT_TRUE(t.edit_row(4));
    ASSERT_EQ(numsoils(), 4);
    EXPECT_EQ(soils()[4].name, "N4");
    EXPECT_EQ(t.row_count, 5);
}

TEST_F(SoilUiTest, ReportListsBuriedSectionsAndCsvListsAll)
{
    soils()[2].include_insulation = 1;
    soils()[2].ground_level = -24.0f;
    report_begin_text(false);
    print_soils();
    const std::string text = report_end_text();
    EXPECT_NE(text.find("Soils"), std::string::npos);
    EXPECT_NE(text.find("Ins. Thk"), std::string::npos);
    EXPECT_NE(text.find("Buried Sections"), std::string::npos);
    EXPECT_NE(text.find("P1"), std::string::npos);
    EXPECT_EQ(text.find("P2"), std::string::npos);   // names no soil
    // Columns: name at 4, type at 9, Yes/No at 80 (1-based).
    const auto line_of = [&](const std::string& start) {
        const std::size_t at = text.find("\n" + start);
        return at == std::string::npos ? std::string() : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
    };
    const std::string s2 = line_of("   S2   Cohesionless");
    ASSERT_FALSE(s2.empty()) << text;
    EXPECT_EQ(s2.substr(79, 3), "Yes");
    EXPECT_EQ(s2.substr(56, 4), "1.50");

    report_begin_text(true);
    print_soils();
    const std::string csv = report_end_text();
    EXPECT_NE(csv.find("Name,Type,Density,Strength,Delta,Ks,Ground Level,Include"), std::string::npos) << csv;
    EXPECT_NE(csv.find("Ins. Thickness"), std::string::npos);
    EXPECT_NE(csv.find("Section,Soil"), std::string::npos);
    EXPECT_NE(csv.find("P1,S1"), std::string::npos);
    EXPECT_NE(csv.find("P2,"), std::string::npos);

    // Without a buried section neither form has the block; without soils,
    // nothing at all.
    pipe_sections()[1].soil.clear();
    report_begin_text(true);
    print_soils();
    EXPECT_EQ(report_end_text().find("Buried"), std::string::npos);
    reset_soils();
    report_begin_text(false);
    print_soils();
    EXPECT_EQ(report_end_text(), "");
}

}  // namespace
