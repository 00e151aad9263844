// The headings of every table of the list window, with a model that has
// rows in every list: on screen and on paper each heading line fits its
// column and each group heading its columns; the materials' Type heading is
// one word, in the table and in the user guide.
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "framework/ui/table.h"
#include "model/ui/list_window.h"
#include "platform/headless/recording_surface.h"

#include <filesystem>
#include <string>

namespace {

using TableHeadingTest = ExchangeProgramTest;

// Each heading line of each shown column, and each group heading, within
// the widths the table measured on the surface.
void expect_headings_fit(TablePrint& t, Surface& dc, const std::string& where)
{
    const int pad = table_cell_padding(dc);
    for (int c = 1; c <= t.columns(); ++c) {
        const int width = t.widths[static_cast<std::size_t>(c)];
        if (width <= 0)
            continue;
        for (int line = 0; line < t.header_lines; ++line) {
            const std::string text = t.header_text(c, line);
            EXPECT_LE(dc_text_width(dc, text) + 2 * pad, width) << where << " column " << c << " \"" << text << "\"";
        }
    }
    for (const TableGroup& g : t.groups) {
        int span = 0;
        for (int c = std::max(1, g.first_column); c <= std::min(t.columns(), g.last_column); ++c)
            span += t.widths[static_cast<std::size_t>(c)];
        if (span == 0)
            continue;
        EXPECT_LE(dc_text_width(dc, g.text) + 2 * pad, span) << where << " group \"" << g.text << "\"";
    }
}

}  // namespace

TEST_F(TableHeadingTest, EveryTableHeadingFitsItsColumnOnScreenAndOnPaper)
{
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/batch/every_element_kind.mbf");
    RecordingSurface dc(800, 600);
    int tables = 0;
    for (const DataList& list : data_lists()) {
        list.open();
        TableWindow* t = list_window_table();
        ASSERT_NE(t, nullptr) << list.name;
        ++tables;
        t->measure_window(dc);
        expect_headings_fit(*t, dc, list.name + " on screen");
        t->print_first_row = 0;
        t->print_rows = t->row_count;
        t->measure_print(dc);
        expect_headings_fit(*t, dc, list.name + " on paper");
        t->print_rows = 0;
    }
    EXPECT_GE(tables, 20);
}

TEST_F(TableHeadingTest, MaterialsTypeHeadingIsOneWordOnScreenAndInTheGuide)
{
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/batch/every_element_kind.mbf");
    for (const DataList& list : data_lists())
        if (list.name == "Materials")
            list.open();
    TableWindow* t = list_window_table();
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->title, "Materials");
    int type = 0;
    for (int c = 1; c <= t->columns(); ++c)
        if (t->header_text(c, 0) == "Type")
            type = c;
    ASSERT_NE(type, 0);
    EXPECT_EQ(t->header_text(type, 1), "");
    // The guide the build made lists the column by the same name.
    const std::filesystem::path guide = std::filesystem::path(KV_PROGRAM_PATH).parent_path() / "help" / "index.html";
    const std::string text = bytes(guide.string());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find("Ty pe"), std::string::npos);
}
