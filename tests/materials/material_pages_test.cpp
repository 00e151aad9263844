// Pipe materials on graphic report pages: the title bar of each material, the
// page break before it and the property table under it.
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "materials/pipe_material.h"
#include "materials/ui/material_report.h"
#include "model/model_file_fixture.h"
#include "model/piping_codes.h"
#include "platform/headless/headless_printing.h"

#include <algorithm>

namespace {

PipeMaterial carbon_steel(const std::string& name, bool with_rows)
{
    PipeMaterial m;
    m.name = name;
    m.set_type("CS");
    m.description = "Carbon steel " + name;
    m.nu = 0.3f;
    m.density = 0.283f;
    m.joint_factor = 1.0f;
    m.strength = 60000.0f;
    if (with_rows) {
        m.table.push_back(PropertyRow{70, 29.5e6f, 6.07e-6f, 20000, 0, 0, 0, 0});
        m.table.push_back(PropertyRow{400, 27.7e6f, 6.82e-6f, 18000, 0, 0, 0, 0});
    }
    return m;
}

// The texts drawn on the page, in drawing order.
std::vector<std::string> page_texts(const RecordingSurface& page)
{
    std::vector<std::string> out;
    for (const std::string& op : page.lines_starting("text")) {
        const std::size_t open = op.find('"');
        const std::size_t close = op.rfind('"');
        if (open != std::string::npos && close > open)
            out.push_back(op.substr(open + 1, close - open - 1));
    }
    return out;
}

int count_of(const std::vector<std::string>& texts, const std::string& text)
{
    return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

bool has_prefix(const std::vector<std::string>& texts, const std::string& prefix)
{
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.rfind(prefix, 0) == 0; });
}

class PipeMaterialPagesTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        set_report_date("1 Jan 2025");
        piping_code() = CODE_B313;
    }
    void TearDown() override
    {
        if (gdi_active())
            gdi_end();
        set_report_date("");
        ModelFileUiTest::TearDown();
    }

    // Prints the materials on a fresh document after filling page 1 until
    // `left` lines are left on it.
    void print_with_lines_left(HeadlessPrintDocument& doc, int left)
    {
        gdi_begin(doc);
        while (gdi_lines_left() > left)
            report_line("x");
        ASSERT_EQ(gdi_lines_left(), left);
        print_materials();
        EXPECT_TRUE(gdi_end());
    }
};

TEST_F(PipeMaterialPagesTest, TitleBarStartsANewPageWhenFewerThanEightLinesAreLeft)
{
    pipe_materials().push_back(carbon_steel("CS1", true));
    const std::string title = "Pipe material CS1: Carbon steel CS1";

    HeadlessPrintDocument eight{PageSetup{}, 96};
    print_with_lines_left(eight, 8);
    const std::vector<std::string> page1 = page_texts(eight.page_at(1));
    EXPECT_EQ(count_of(page1, title), 1);
    EXPECT_TRUE(has_prefix(page1, "Density = "));
    EXPECT_TRUE(has_prefix(page1, "Yield strength = 60000"));

    HeadlessPrintDocument seven{PageSetup{}, 96};
    print_with_lines_left(seven, 7);
    ASSERT_GE(seven.page_number(), 2);
    EXPECT_EQ(count_of(page_texts(seven.page_at(1)), title), 0);
    const std::vector<std::string> page2 = page_texts(seven.page_at(2));
    EXPECT_EQ(count_of(page2, title), 1);
    EXPECT_TRUE(has_prefix(page2, "Density = "));
}

TEST_F(PipeMaterialPagesTest, PropertyTableFollowsOnlyAMaterialWithTemperatureRows)
{
    pipe_materials().push_back(carbon_steel("BARE", false));
    pipe_materials().push_back(carbon_steel("CS1", true));
    HeadlessPrintDocument doc{PageSetup{}, 96};
    gdi_begin(doc);
    print_materials();
    EXPECT_TRUE(gdi_end());
    ASSERT_EQ(doc.page_number(), 1);
    const std::vector<std::string> texts = page_texts(doc.page_at(1));
    const auto bare = std::find(texts.begin(), texts.end(), "Pipe material BARE: Carbon steel BARE");
    const auto cs1 = std::find(texts.begin(), texts.end(), "Pipe material CS1: Carbon steel CS1");
    ASSERT_NE(bare, texts.end());
    ASSERT_NE(cs1, texts.end());
    // Nothing but the values of BARE comes between the two title bars.
    EXPECT_EQ(std::count(bare, cs1, "Temp"), 0);
    EXPECT_EQ(count_of(texts, "Temp"), 1);
    EXPECT_TRUE(has_prefix(std::vector<std::string>(cs1, texts.end()), "Pipe material CS1: Carbon steel CS1 ("));
}

}  // namespace
