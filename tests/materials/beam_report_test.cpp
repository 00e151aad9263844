// Beam materials and beam sections in the text report and its CSV form:
// column layout, blank zero values, library mode and the page-break rules.
#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "golden.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/ui/beam_material_ui.h"
#include "materials/ui/beam_section_ui.h"
#include "model/model_file_fixture.h"
#include "model/ui/list_window.h"

#include <fstream>
#include <sstream>

namespace {


void expect_golden(const std::string& name, const std::string& text) { expect_golden_file("beams", name, text); }

// The number of the line (0-based) holding the text, -1 when none.
int line_of(const std::string& report, const std::string& text)
{
    std::istringstream in(report);
    std::string line;
    for (int n = 0; std::getline(in, line); ++n)
        if (line.find(text) != std::string::npos)
            return n;
    return -1;
}

// Fills the current page of a text report until `left` lines are left.
void fill_page_until(int left)
{
    while (report_lines_left() > left)
        report_line("x");
}

class BeamReportTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        set_beam_library_mode(false);
        install_property_sets();
        install_beam_materials_ui();
        install_beam_sections_ui();
        reset_report_state();
        set_report_date("1 Jan 2025");
        model_file_path() = "Beams.mod";
    }
    void TearDown() override
    {
        in_results() = false;
        set_beam_library_mode(false);
        set_report_date("");
        ModelFileUiTest::TearDown();
    }

    static void add_materials()
    {
        beam_materials().push_back(BeamMaterial{"B1", "Structural steel A36", 29.0e6f, 0.3f, 0.283f, 6.5e-6f});
        // Values of 0 are not given and stay blank.
        beam_materials().push_back(BeamMaterial{"AL", "Aluminium", 10.0e6f, 0.0f, 0.0f, 0.0f});
    }
    static void add_sections()
    {
        BeamSection w;
        w.name = "W8";
        w.description = "W 8X31";
        w.values = {9.13f, 110.0f, 37.1f, 0.536f, 2.3f, 6.1f, 8.0f, 8.0f};
        beam_sections().push_back(w);
        // Torsional constant and shear areas of 0 are left out.
        BeamSection c;
        c.name = "C6";
        c.description = "C 6X13";
        c.values = {3.83f, 17.4f, 1.05f, 0.0f, 0.0f, 0.0f, 6.0f, 2.16f};
        beam_sections().push_back(c);
    }
};

TEST_F(BeamReportTest, MaterialsTextAndCsvMatchTheirGoldenFiles)
{
    report_begin_text(false);
    print_beam_materials();
    EXPECT_EQ(report_end_text(), "") << "nothing without beam materials";
    report_begin_text(true);
    print_beam_materials();
    EXPECT_EQ(report_end_text(), "");

    add_materials();
    report_begin_text(false);
    print_beam_materials();
    expect_golden("beam_materials.txt", report_end_text());
    report_begin_text(true);
    print_beam_materials();
    expect_golden("beam_materials.csv", report_end_text());
}

TEST_F(BeamReportTest, TheTablesPrintCommandWritesTheSameTextAndCsv)
{
    // File > Print to a text or CSV file from the beam tables goes through
    // the table: the same forms as the report, never an empty file.
    add_materials();
    add_sections();
    frame_create(list_frame(), "KorvaneList", "List", nullptr, "LIST_MENU", nullptr, "");
    create_list_window();
    open_beam_materials_table();
    ASSERT_NE(list_window_table(), nullptr);
    report_begin_text(false);
    print_beam_materials();
    const std::string text = report_end_text();
    EXPECT_EQ(table_report_text(*list_window_table(), false), text);
    open_beam_sections_table();
    report_begin_text(true);
    print_beam_sections();
    const std::string csv = report_end_text();
    EXPECT_FALSE(csv.empty());
    EXPECT_EQ(table_report_text(*list_window_table(), true), csv);
    close_list_window();
    destroy_list_window();
    frame_destroy(list_frame());
}

TEST_F(BeamReportTest, MaterialsHeadingIsKeptWithRowsAcrossPageBreaks)
{
    add_materials();
    // Six lines left: the heading still starts on this page.
    report_begin_text(false);
    fill_page_until(6);
    print_beam_materials();
    std::string text = report_end_text();
    EXPECT_LT(line_of(text, "Beam Materials"), line_of(text, "Page 2"));
    // Five left: a page break first (the rows follow on page 2).
    report_begin_text(false);
    fill_page_until(5);
    print_beam_materials();
    text = report_end_text();
    EXPECT_GT(line_of(text, "Beam Materials"), line_of(text, "Page 2"));
    EXPECT_NE(line_of(text, "Page 2"), -1);

    // A page that fills up between rows repeats the heading on the next one.
    for (int i = 0; i < 60; ++i)
        beam_materials().push_back(BeamMaterial{"M" + std::to_string(i), "Steel", 29.0e6f, 0.3f, 0.283f, 6.5e-6f});
    report_begin_text(false);
    print_beam_materials();
    text = report_end_text();
    ASSERT_NE(text.find("Page 2"), std::string::npos);
    const std::string rest = text.substr(text.find("Page 2"));
    EXPECT_EQ(line_of(rest, "Beam Materials"), 3);
    EXPECT_LT(line_of(rest, "Beam Materials"), line_of(rest, "   M"));
}

TEST_F(BeamReportTest, ResultsModeListsEachBeamMaterialInTheContents)
{
    add_materials();
    in_results() = true;
    const std::string text = report_render_text(ReportJob{"Beams", [] { print_beam_materials(); }, true}, false);
    const int b1 = line_of(text, "Beam material B1: Structural steel A36");
    const int al = line_of(text, "Beam material AL: Aluminium");
    ASSERT_NE(b1, -1);
    EXPECT_EQ(al, b1 + 1);
    EXPECT_LT(al, line_of(text, "Beam Materials"));
}

TEST_F(BeamReportTest, SectionsTextAndCsvMatchTheirGoldenFiles)
{
    report_begin_text(false);
    print_beam_sections();
    EXPECT_EQ(report_end_text(), "") << "nothing without beam sections";

    add_sections();
    report_begin_text(false);
    print_beam_sections();
    expect_golden("beam_sections.txt", report_end_text());
    report_begin_text(true);
    print_beam_sections();
    expect_golden("beam_sections.csv", report_end_text());

    // A beam library has no names: the Name heading and column go.
    set_beam_library_mode(true);
    report_begin_text(false);
    print_beam_sections();
    expect_golden("beam_library.txt", report_end_text());
    report_begin_text(true);
    print_beam_sections();
    expect_golden("beam_library.csv", report_end_text());
}

TEST_F(BeamReportTest, SectionValuesStandInTheirColumnsWhateverTheDescription)
{
    // Every value of a record in the column its heading names, the depth and
    // width too, and a description of the full 15 characters kept whole with
    // a blank before the area; in CSV the ten cells in heading order.
    BeamSection hss;
    hss.name = "H16";
    hss.description = "HSS16.000X0.625";
    hss.values = {27.1f, 807.0f, 806.0f, 1610.0f, 13.6f, 13.5f, 16.0f, 12.0f};
    beam_sections().push_back(hss);
    BeamSection w = hss;
    w.name = "W14";
    w.description = "W 14X90 ROLLED";   // 14 characters
    beam_sections().push_back(w);
    report_begin_text(false);
    print_beam_sections();
    const std::string text = report_end_text();
    std::istringstream in(text);
    std::string line, heading;
    std::vector<std::string> rows;
    while (std::getline(in, line)) {
        if (line.find("Description") != std::string::npos)
            heading = line;
        if (line.rfind("   H16", 0) == 0 || line.rfind("   W14", 0) == 0)
            rows.push_back(line);
    }
    ASSERT_EQ(rows.size(), 2u);
    for (const std::string& row : rows) {
        SCOPED_TRACE(row);
        EXPECT_NE(row.find(row[3] == 'H' ? "HSS16.000X0.625 27.1" : "W 14X90 ROLLED 27.1"), std::string::npos);
        // Each value ends at or before the end of its heading's column and
        // starts after the previous one.
        const std::vector<std::pair<std::string, std::string>> columns = {
            {"Major", "807"}, {"Minor", "806"}, {"constant", "1610"}, {"Depth", "16"}, {"Width", "12"}};
        std::size_t from = 0;
        for (const auto& [title, value] : columns) {
            const std::size_t at = row.find(value, from);
            ASSERT_NE(at, std::string::npos) << value;
            const std::size_t head = heading.find(title, from > 0 ? from - 4 : 0);
            ASSERT_NE(head, std::string::npos) << title;
            EXPECT_LE(at, head + title.size()) << title;
            EXPECT_GE(at + value.size(), head - 1) << title;
            from = at + value.size();
        }
    }
    report_begin_text(true);
    print_beam_sections();
    const std::string csv = report_end_text();
    EXPECT_NE(csv.find("Name,Description,area,Major,Minor,constant,Major,Minor,Depth,Width,\n"), std::string::npos);
    EXPECT_NE(csv.find(",,(in2),(in4),(in4),(in4),(in2),(in2),(inch),(inch),\n"), std::string::npos);
    EXPECT_NE(csv.find("H16,HSS16.000X0.625,27.1,807,806,1610,13.6,13.5,16.0000,12.0000,\n"), std::string::npos);
}

TEST_F(BeamReportTest, SectionsHeadingIsKeptWithRowsAcrossPageBreaks)
{
    add_sections();
    report_begin_text(false);
    fill_page_until(8);
    print_beam_sections();
    std::string text = report_end_text();
    // The heading and both rows fill the page; no rule stands alone on a
    // second page.
    EXPECT_NE(line_of(text, "Beam Sections"), -1);
    EXPECT_EQ(line_of(text, "Page 2"), -1);
    report_begin_text(false);
    fill_page_until(7);
    print_beam_sections();
    text = report_end_text();
    EXPECT_NE(line_of(text, "Page 2"), -1);
    EXPECT_GT(line_of(text, "Beam Sections"), line_of(text, "Page 2"));

    // A page that fills up between rows repeats the heading on the next one.
    for (int i = 0; i < 60; ++i) {
        BeamSection more = beam_sections()[1];
        more.name = "S" + std::to_string(i);
        beam_sections().push_back(more);
    }
    report_begin_text(false);
    print_beam_sections();
    text = report_end_text();
    ASSERT_NE(text.find("Page 2"), std::string::npos);
    const std::string rest = text.substr(text.find("Page 2"));
    EXPECT_EQ(line_of(rest, "Beam Sections"), 3);
    EXPECT_LT(line_of(rest, "Beam Sections"), line_of(rest, "   S"));
}

}  // namespace
