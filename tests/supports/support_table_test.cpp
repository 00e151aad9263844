// The support input tables in the list window on the scripted backend: the
// rows of a kind in row order, typed cells read with the dialog's parser and
// checked with the kind's checks (a refused text changes nothing), Copy and
// Paste of a row's values, Delete, and the text and CSV forms.
#include "framework/document.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "model/model_file_fixture.h"
#include "model/ui/list_window.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/limit_stop.h"
#include "supports/ui/support_table.h"
#include "supports/ui/supports_ui.h"

namespace {

class SupportTableTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_supports_ui();
        open_list_frame();
        from(10);
        row(20, ET_PIPE, 100, 0, 0, DT_GUIDE);
        row(30, ET_PIPE, 100, 0, 0, DT_ANCHOR);
        row(40, ET_PIPE, 100, 0, 0, DT_GUIDE);
        row(50, ET_PIPE, 100, 0, 0, DT_LIMIT_STOP);
        make_model();
        guide(2).v = {"G1", 0.3f, 0.0f, 0.125f, 0};
        guide(4).v = {"G2", 0.0f, 5000.0f, 0.0f, 10};
        dynamic_cast<LimitStop&>(*model().rows[5].data).v.direction = {0, 1, 0};
        model_modified() = false;
    }
    void TearDown() override
    {
        close_list_frame();
        ModelFileUiTest::TearDown();
    }

    static Guide& guide(int r) { return dynamic_cast<Guide&>(*model().rows[r].data); }
    static SupportTable& opened(int dtype)
    {
        open_support_table(dtype);
        SupportTable* t = support_table(dtype);
        EXPECT_EQ(list_window_table(), t);
        return *t;
    }
    // Types a cell as a user does; false when it was refused.
    static bool type_cell(TableWindow& t, int row, int column, const std::string& text)
    {
        table_goto_row(t, row, column);
        if (!table_begin_edit(t, true))
            return false;
        t.edit.text = text;
        if (table_end_edit(t))
            return true;
        table_cancel_edit(t);
        return false;
    }
};

TEST_F(SupportTableTest, RowsHeadingsAndCells)
{
    SupportTable& t = opened(DT_GUIDE);
    EXPECT_EQ(t.title, "Guides");
    EXPECT_EQ(t.record_count(), 2);
    EXPECT_EQ(t.layout_row(1), 2);
    EXPECT_EQ(t.layout_row(2), 4);
    const char* const headings[] = {"", "Node", "Tag", "Gap", "Stiffness", "Mu", "CNode"};
    for (int c = 1; c <= 6; ++c)
        EXPECT_EQ(t.header_text(c, 0), headings[c]) << c;
    EXPECT_EQ(t.header_text(3, 1), "(inch)");
    EXPECT_EQ(t.header_text(4, 1), "(lb/inch)");
    EXPECT_EQ(t.cell_text(1, 1, 0), "20");
    EXPECT_EQ(t.cell_text(1, 2, 0), "G1");
    EXPECT_EQ(t.cell_text(1, 3, 0), "0.1250");
    EXPECT_EQ(t.cell_text(1, 4, 0), "Rigid");
    EXPECT_EQ(t.cell_text(1, 5, 0), "0.300");
    EXPECT_EQ(t.cell_text(2, 6, 0), "10");
    // The data list offers each kind that has rows.
    std::vector<std::string> offered;
    for (const DataList* l : offered_data_lists())
        offered.push_back(data_list_entry(*l));
    for (const char* entry : {"Guides (2)", "Anchors (1)", "Limit stops (1)"})
        EXPECT_NE(std::find(offered.begin(), offered.end(), entry), offered.end()) << entry;
}

TEST_F(SupportTableTest, TypedCellsAreCheckedAndStoredOnlyWhenChanged)
{
    SupportTable& t = opened(DT_GUIDE);
    EXPECT_TRUE(type_cell(t, 1, 3, "0.25"));
    EXPECT_EQ(guide(2).v.gap, 0.25f);
    EXPECT_TRUE(model_modified());

    // Refused texts: the parser's message, nothing changed.
    model_modified() = false;
    EXPECT_FALSE(type_cell(t, 1, 3, "-0.1"));
    EXPECT_FALSE(type_cell(t, 1, 5, "abc"));
    EXPECT_FALSE(type_cell(t, 1, 6, "99"));
    EXPECT_FALSE(type_cell(t, 1, 6, "20"));
    EXPECT_EQ(script().messages(),
              (std::vector<std::string>{"Gap =  -0.1  is invalid", "Friction coefficient =  abc  is invalid",
                                        "Connected node =  99  Invalid node",
                                        "Connected node =  20  is the support's own node"}));
    EXPECT_EQ(guide(2).v.gap, 0.25f);
    EXPECT_EQ(guide(2).v.connected, 0);
    EXPECT_FALSE(model_modified());

    // The same value again stores nothing.
    EXPECT_TRUE(type_cell(t, 1, 5, "0.3"));
    EXPECT_FALSE(model_modified());

    // The limit stop's limits are checked together: an upper limit below
    // the lower one (0) is refused.
    SupportTable& stops = opened(DT_LIMIT_STOP);
    EXPECT_TRUE(type_cell(stops, 1, 3, "0"));
    EXPECT_TRUE(type_cell(stops, 1, 5, "1"));
    EXPECT_FALSE(type_cell(stops, 1, 4, "-0.1"));
    EXPECT_EQ(script().last_message(), "Upper limit should be greater than the lower limit, or both limits 0");
    EXPECT_TRUE(no_limit(dynamic_cast<LimitStop&>(*model().rows[5].data).v.upper));

    // An anchor stiffness: "rigid" and a number; an empty cell is rigid.
    SupportTable& anchors = opened(DT_ANCHOR);
    EXPECT_TRUE(type_cell(anchors, 1, 4, "2500"));
    Anchor& a = dynamic_cast<Anchor&>(*model().rows[3].data);
    EXPECT_EQ(a.v.stiffness[1], 2500.0f);
    EXPECT_EQ(anchors.cell_text(1, 4, 0), "2500");
    EXPECT_TRUE(type_cell(anchors, 1, 4, ""));
    EXPECT_EQ(a.v.stiffness[1], RIGID_STIFFNESS);
}

TEST_F(SupportTableTest, CopyPasteAndDelete)
{
    SupportTable& t = opened(DT_GUIDE);
    table_goto_row(t, 1);
    table_copy(t);
    table_goto_row(t, 2);
    table_paste(t);
    EXPECT_EQ(guide(4).v, guide(2).v);
    EXPECT_TRUE(model_modified());

    table_goto_row(t, 1);
    table_delete(t);
    EXPECT_EQ(model().rows[2].dtype, DT_NONE);
    EXPECT_EQ(t.record_count(), 1);
    EXPECT_EQ(t.layout_row(1), 4);
}

TEST_F(SupportTableTest, TextAndCsvForms)
{
    SupportTable& t = opened(DT_GUIDE);
    const std::string text = table_report_text(t, false);
    EXPECT_NE(text.find("Guides"), std::string::npos) << text;
    for (const char* word : {"Node", "Tag", "Gap", "Stiffness", "Mu", "CNode", "(inch)", "G1", "G2", "Rigid"})
        EXPECT_NE(text.find(word), std::string::npos) << word << "\n" << text;
    const std::string csv = table_report_text(t, true);
    EXPECT_NE(csv.find("20,G1,0.1250,Rigid,0.300"), std::string::npos) << csv;
}

}  // namespace
