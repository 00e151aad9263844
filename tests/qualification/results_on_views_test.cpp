// The lug and nozzle reports as the list window shows them: every value,
// unit and check figure keeps clear of its label, however long the label is
// in the window's font (the recording surface measures a fixed 8 dots a
// character, as a fixed-pitch font does), and the value columns stay one
// under the other.
#include "page_layout.h"
#include "qualification/qualification_program_fixture.h"

#include <map>

namespace {

class ResultsOnViews : public QualificationProgramTest {
protected:
    // The report table drawn row under row on a surface wide enough for any
    // row, as the window draws its value rows.
    static RecordingSurface drawn(QualificationReportTable& t)
    {
        RecordingSurface s(8000, RecordingSurface::LINE_HEIGHT * (static_cast<int>(t.lines().size()) + 1));
        t.measure_window(s);
        for (int row = 1; row <= static_cast<int>(t.lines().size()); ++row)
            t.paint_row(s, row, 0, RecordingSurface::LINE_HEIGHT * (row - 1));
        return s;
    }
    // The right edges of the texts drawn right-aligned, by the row's label.
    static std::map<std::string, std::vector<DrawnText>> rows_by_label(const RecordingSurface& s)
    {
        std::map<int, std::vector<DrawnText>> by_top;
        for (const DrawnText& t : drawn_texts(s))
            by_top[t.top].push_back(t);
        std::map<std::string, std::vector<DrawnText>> out;
        for (auto& [top, texts] : by_top)
            if (!texts.empty() && texts.front().left == 0)
                out[texts.front().text] = texts;
        return out;
    }
};

}  // namespace

TEST_F(ResultsOnViews, LugReportValuesNeverPrintOverTheirLabelsOnScreen)
{
    start_analysed_lug();
    refresh_lug_report();
    QualificationReportTable& t = lug_report_table();
    const RecordingSurface s = drawn(t);
    for (const std::string& fault : page_layout_faults(s))
        ADD_FAILURE() << fault;
    // The longest labels: 60 characters end at dot 480; the values end two
    // digits (16 dots) and a value's width further, in one column.
    const auto rows = rows_by_label(s);
    const std::string l1 = "Half Length of Attachment in Circumferential Direction (L1):";
    ASSERT_TRUE(rows.contains(l1));
    const std::vector<DrawnText>& row = rows.at(l1);
    ASSERT_EQ(row.size(), 3u);
    EXPECT_EQ(row[0].right, 480);
    EXPECT_EQ(row[1].text, "1.0000");
    EXPECT_GE(row[1].left, 480 + 16);
    EXPECT_EQ(row[2].text, "(inch)");
    EXPECT_EQ(row[2].left, row[1].right + 16);
    const std::string od = "Outside Diameter of Run Pipe (OD):";
    ASSERT_TRUE(rows.contains(od));
    EXPECT_EQ(rows.at(od)[1].right, row[1].right);
    EXPECT_EQ(rows.at(od)[1].text, "10.7500");
}

TEST_F(ResultsOnViews, NozzleReportValuesNeverPrintOverTheirLabelsOnScreen)
{
    start_evaluated_nozzle();
    refresh_nozzle_report();
    QualificationReportTable& t = nozzle_report_table();
    const RecordingSurface s = drawn(t);
    ASSERT_FALSE(drawn_texts(s).empty());
    for (const std::string& fault : page_layout_faults(s))
        ADD_FAILURE() << fault;
    // Every value row's first value ends in one column, clear of the
    // longest label.
    int longest = 0, first_end = -1;
    for (const auto& [label, texts] : rows_by_label(s)) {
        if (texts.size() < 2)
            continue;
        longest = std::max(longest, texts.front().right);
        if (first_end < 0)
            first_end = texts[1].right;
        EXPECT_EQ(texts[1].right, first_end) << label;
    }
    EXPECT_GT(longest, 0);
    EXPECT_GT(first_end, longest);
}
