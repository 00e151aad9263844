// A row given another element type or data item keeps its old one until the
// new kind's dialog closes with OK: Cancel (Escape) leaves the row as it
// was, its own objects with all their values, and the model as unmodified
// as it was, whichever way the change came (the Type and Data cells, the
// Element types and Data types lists, a pasted row).
#include "elements/element_dialog_ids.h"
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "model/model.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/layout_window.h"
#include "model_image.h"
#include "supports/anchor.h"
#include "supports/ui/support_dialogs.h"

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

class CancelKeepsItem : public ExchangeProgramTest {
protected:
    // The sample model (a limit stop at node 25, a guide at 35, a restraint
    // at 40, a valve at 14), saved, so that nothing is modified.
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        open_saved_batch(bytes(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf"), "sample.mod");
    }
    // The layout's current row and column, as a click makes them.
    static void go_to(int row, int column)
    {
        select_layout_row(row);
        table_goto_row(layout_table(), row, column, true);
    }
    // A cell of the layout typed into and stored with Enter, key by key.
    void type_cell(int row, int column, const std::string& text)
    {
        const WindowId client = main_frame().client;
        script().paint(client);
        go_to(row, column);
        for (const char c : text)
            hb->window(client)->client_events->on_char(std::string(1, c));
        script().key(main_frame().window, KEY_RETURN);
        settle();
    }
    // The row as it is, its objects and the image of the whole model.
    struct Before {
        const ElementData* element;
        const DataItem* data;
        model_image::ModelImage image;
    };
    static Before before(int row)
    {
        return {model().rows[row].element.get(), model().rows[row].data.get(), model_image::image_of_model()};
    }
    // Nothing changed: the same objects on the row, every value as it was,
    // the model not modified.
    void expect_kept(int row, const Before& b)
    {
        EXPECT_EQ(model().rows[row].element.get(), b.element);
        EXPECT_EQ(model().rows[row].data.get(), b.data);
        EXPECT_EQ(model_image::image_difference(b.image, model_image::image_of_model()), "");
        EXPECT_FALSE(model_modified());
        EXPECT_TRUE(script().messages().empty()) << script().last_message();
    }
};

}  // namespace

TEST_F(CancelKeepsItem, AnAnchorTypedOverALimitStopAndEscapedLeavesTheLimitStop)
{
    const int row = row_of_node(25);
    ASSERT_EQ(model().rows[row].dtype, DT_LIMIT_STOP);
    const Before b = before(row);
    const int stops = model().list(LIMIT_STOP_ROWS).count;
    bool seen = false;
    script().once("ANCHOR_DIALOG", [&](HeadlessDialog& d) {
        seen = true;
        d.type(SUP_STIFFNESS, "1E6");   // typed, then dropped with the dialog
        d.press(IDCANCEL);              // Escape
    });
    type_cell(row, LAYOUT_DATA, "Anchor");
    EXPECT_TRUE(seen);
    expect_kept(row, b);
    EXPECT_EQ(layout_table().cell_text(row, LAYOUT_DATA, 0), "Limit stop");
    EXPECT_EQ(model().list(LIMIT_STOP_ROWS).count, stops);

    // OK, with nothing typed, makes the rigid anchor.
    script().once("ANCHOR_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    type_cell(row, LAYOUT_DATA, "Anchor");
    ASSERT_EQ(model().rows[row].dtype, DT_ANCHOR);
    const auto* anchor = dynamic_cast<const Anchor*>(model().rows[row].data.get());
    ASSERT_NE(anchor, nullptr);
    EXPECT_EQ(anchor->v.stiffness[0], RIGID_STIFFNESS);
    EXPECT_EQ(model().list(LIMIT_STOP_ROWS).count, stops - 1);
    EXPECT_TRUE(model_modified());
}

TEST_F(CancelKeepsItem, AGuideChosenFromTheDataTypesOverARestraintAndCancelledLeavesTheRestraint)
{
    const int row = row_of_node(40);
    ASSERT_EQ(model().rows[row].dtype, DT_RESTRAINT);
    const Before b = before(row);
    std::vector<std::string> dialogs;
    script().once("DATA_TYPES_DIALOG", [&](HeadlessDialog& d) {
        dialogs.push_back(d.templ().name);
        EXPECT_TRUE(d.type(LAYOUT_CHOICE_LIST, "Guide"));
        EXPECT_EQ(d.text(LAYOUT_CHOICE_LIST), "Guide");
        d.press(IDOK);
    });
    script().once("GUIDE_DIALOG", [&](HeadlessDialog& d) {
        dialogs.push_back(d.templ().name);
        d.press(IDCANCEL);
    });
    go_to(row, LAYOUT_DATA);
    ASSERT_TRUE(script().menu_command(main_frame().window, CMD_DATA_TYPES));
    EXPECT_EQ(dialogs, (std::vector<std::string>{"DATA_TYPES_DIALOG", "GUIDE_DIALOG"}));
    expect_kept(row, b);
    EXPECT_EQ(layout_table().cell_text(row, LAYOUT_DATA, 0), "Restraint");
}

// A new element keeps the row's data item, its very object, when its
// dialog closes with OK; cancelled, the old element comes back whole.
TEST_F(CancelKeepsItem, AnElementTypedOverAnotherKeepsTheOldOneUntilOK)
{
    const int valve_row = row_of_node(14);
    ASSERT_EQ(model().rows[valve_row].etype, ET_VALVE);
    const Before valve = before(valve_row);
    int asked = 0;
    script().on_any([&](HeadlessDialog& d) {
        ++asked;
        d.press(IDCANCEL);
    });
    type_cell(valve_row, LAYOUT_TYPE, "Bend");
    ASSERT_EQ(asked, 1);
    expect_kept(valve_row, valve);
    EXPECT_EQ(layout_table().cell_text(valve_row, LAYOUT_TYPE, 0), "Valve");

    // By the Element types list, the same.
    script().once("ELEMENT_TYPES_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.type(LAYOUT_CHOICE_LIST, "Rigid"));
        d.press(IDOK);
    });
    go_to(valve_row, LAYOUT_TYPE);
    ASSERT_TRUE(script().menu_command(main_frame().window, CMD_ELEMENT_TYPES));
    EXPECT_EQ(asked, 2);
    expect_kept(valve_row, valve);

    // The limit stop's pipe made a rigid element with OK: the limit stop is
    // the row's own object still.
    script().on_any({});
    const int stop_row = row_of_node(25);
    const DataItem* stop = model().rows[stop_row].data.get();
    script().once("RIGID_DIALOG", [](HeadlessDialog& d) {
        d.type(RIGID_WEIGHT, "100");
        d.press(IDOK);
    });
    type_cell(stop_row, LAYOUT_TYPE, "Rigid");
    EXPECT_EQ(model().rows[stop_row].etype, ET_RIGID);
    EXPECT_EQ(model().rows[stop_row].data.get(), stop);
    EXPECT_EQ(model().rows[stop_row].dtype, DT_LIMIT_STOP);
    EXPECT_TRUE(model_modified());
}

// A pasted row of another type whose dialog is cancelled leaves the row
// whole: neither its type nor its node and offsets change.
TEST_F(CancelKeepsItem, APastedRowOfAnotherTypeCancelledLeavesTheRow)
{
    const int valve_row = row_of_node(14);
    const int pipe_row = row_of_node(12);
    ASSERT_EQ(model().rows[pipe_row].etype, ET_PIPE);
    go_to(valve_row, LAYOUT_NODE);
    ASSERT_TRUE(script().menu_command(main_frame().window, CMD_COPY));
    const Before b = before(pipe_row);
    int asked = 0;
    script().on_any([&](HeadlessDialog& d) {
        ++asked;
        d.press(IDCANCEL);
    });
    go_to(pipe_row, LAYOUT_NODE);
    ASSERT_TRUE(script().menu_command(main_frame().window, CMD_PASTE));
    EXPECT_EQ(asked, 1);
    expect_kept(pipe_row, b);
    script().on_any({});
}

// Every kind with a dialog, put on a row and cancelled: the row as it was.
TEST_F(CancelKeepsItem, EveryKindsDialogCancelledLeavesTheRowAsItWas)
{
    std::set<std::string> seen;
    script().on_any([&](HeadlessDialog& d) {
        seen.insert(d.templ().name);
        d.press(IDCANCEL);
    });
    const int stop_row = row_of_node(25);
    const int pipe_row = row_of_node(12);
    int kinds = 0;
    for (int dtype = 1; dtype <= MAX_DTYPE; ++dtype) {
        if (dtype == DT_LIMIT_STOP || !layout_hooks().data_dialog[static_cast<std::size_t>(dtype)])
            continue;
        SCOPED_TRACE(dtype);
        const Before b = before(stop_row);
        EXPECT_FALSE(set_row_data_type(stop_row, dtype));
        expect_kept(stop_row, b);
        ++kinds;
    }
    for (int etype = 1; etype <= MAX_ETYPE; ++etype) {
        if (etype == ET_PIPE || !layout_hooks().element_dialog[static_cast<std::size_t>(etype)])
            continue;
        SCOPED_TRACE(etype);
        const Before b = before(pipe_row);
        EXPECT_FALSE(set_row_element_type(pipe_row, etype));
        expect_kept(pipe_row, b);
        ++kinds;
    }
    script().on_any({});
    EXPECT_GE(kinds, 30);
    EXPECT_EQ(static_cast<int>(seen.size()), kinds) << ::testing::PrintToString(seen);
}
