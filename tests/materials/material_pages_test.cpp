// Pipe materials on graphic report pages: the title bar of each material, the
// page break before it, the lines under it and the property table with the
// columns of the code, which reads like the text form.
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "materials/pipe_material.h"
#include "materials/ui/material_report.h"
#include "model/model_file_fixture.h"
#include "model/piping_codes.h"
#include "page_layout.h"
#include "platform/headless/headless_printing.h"

#include <algorithm>
#include <cstdio>

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
    // The table follows its material's lines without a title of its own.
    EXPECT_EQ(count_of(texts, "Pipe material CS1: Carbon steel CS1"), 1);
    expect_clean_pages(doc);
}

// The y of the first text drawn exactly so, -1 when none.
int text_top(const RecordingSurface& page, const std::string& text)
{
    for (const DrawnText& t : drawn_texts(page))
        if (t.text == text)
            return t.top;
    return -1;
}

int text_top_starting(const RecordingSurface& page, const std::string& start)
{
    for (const DrawnText& t : drawn_texts(page))
        if (t.text.rfind(start, 0) == 0)
            return t.top;
    return -1;
}

// The x positions of the vertical rules drawn down from a height: the column
// edges of a table whose header starts there.
std::vector<int> column_edges(const RecordingSurface& page, int top)
{
    std::vector<int> xs;
    for (const std::string& op : page.lines_starting("line")) {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (std::sscanf(op.c_str(), "line %d %d %d %d", &x1, &y1, &x2, &y2) != 4 || x1 != x2 || y1 != top)
            continue;
        if (std::find(xs.begin(), xs.end(), x1) == xs.end())
            xs.push_back(x1);
    }
    std::sort(xs.begin(), xs.end());
    return xs;
}

TEST_F(PipeMaterialPagesTest, PageFormReadsLikeTheTextFormLineByLine)
{
    // Each line of a material on its own line, in the order of the text
    // form; a code's stress columns and no others in the table.
    struct Case {
        int32_t code;
        const char* strength;                 // start of the strength line, "" for none
        std::vector<const char*> headings;    // the table's first header line
    };
    const std::vector<Case> cases = {
        {CODE_B313, "Yield strength = 60000", {"Temp", "E", "Alpha", "Allowable"}},
        {CODE_BS806, "", {"Temp", "E", "Alpha", "Design", "Proof", "Rupture"}},
        {CODE_STOOMWEZEN, "Tensile strength = 60000", {"Temp", "E", "Alpha", "Yield", "Rupture"}},
        {CODE_SWEDISH, "Circumferential joint factor = 0.90,  Tensile strength = 60000", {"Temp", "E", "Alpha", "Allowable"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        piping_code() = c.code;
        pipe_materials().clear();
        PipeMaterial m = carbon_steel("CS1", true);
        m.circ_joint_factor = 0.9f;
        pipe_materials().push_back(m);
        HeadlessPrintDocument doc{PageSetup{}, 96};
        gdi_begin(doc);
        print_materials();
        ASSERT_TRUE(gdi_end());
        const RecordingSurface& page = doc.page_at(1);
        expect_clean_pages(doc);

        const int line = RecordingSurface::LINE_HEIGHT;
        const int title = text_top(page, "Pipe material CS1: Carbon steel CS1");
        const int values = text_top_starting(page, "Density = 0.283 (lb/in3),  Nu = ");
        ASSERT_GE(title, 0);
        EXPECT_EQ(values, title + line);
        int last = values;
        if (*c.strength) {
            last = text_top_starting(page, c.strength);
            EXPECT_EQ(last, values + line);
        }
        const int header = text_top(page, "Temp");
        EXPECT_GT(header, last + line - 1);
        std::vector<std::string> headings;
        for (const DrawnText& t : drawn_texts(page))
            if (t.top == header)
                headings.push_back(t.text);
        EXPECT_EQ(headings, std::vector<std::string>(c.headings.begin(), c.headings.end()));
        // The rules of the header: one at the left of each column and one at the right.
        const std::vector<int> edges = column_edges(page, header);
        EXPECT_EQ(edges.size(), c.headings.size() + 1);
    }
}

TEST_F(PipeMaterialPagesTest, ATableRunningOntoANewPageRepeatsTheTitleAboveItsHeader)
{
    PipeMaterial m = carbon_steel("CS1", false);
    for (int t = 1; t <= MAXTEMPS; ++t)
        m.table.push_back(PropertyRow{static_cast<float>(50 * t), 29.5e6f, 6.07e-6f, 20000, 0, 0, 0, 0});
    pipe_materials().push_back(m);
    HeadlessPrintDocument doc{PageSetup{}, 96};
    print_with_lines_left(doc, 20);
    ASSERT_EQ(doc.page_number(), 2);
    const std::string title = "Pipe material CS1: Carbon steel CS1";
    const RecordingSurface& page2 = doc.page_at(2);
    const int bar = text_top(page2, title);
    ASSERT_GE(bar, 0);
    EXPECT_GT(text_top(page2, "Temp"), bar);
    EXPECT_EQ(count_of(page_texts(page2), "Density = 0.283 (lb/in3),  Nu = 0.300,  Joint factor = 1.00, Type = CS"), 0);
    // Every temperature once over both pages.
    std::vector<std::string> all = page_texts(doc.page_at(1));
    const std::vector<std::string> more = page_texts(page2);
    all.insert(all.end(), more.begin(), more.end());
    for (int t = 1; t <= MAXTEMPS; ++t)
        EXPECT_EQ(count_of(all, std::to_string(50 * t)), 1) << 50 * t;
    expect_clean_pages(doc);
}

}  // namespace
