// The model editing commands on a small model: From 10 at the origin, pipes
// to 20 (+X 120) and 30 (+X 120, a bend of radius 15), 40 (+Y 120) and 50
// (+Y 120). Expected positions are worked out by hand from the offsets.
#include "model/layout_fixture.h"
#include "model/ui/dialogs_layout.h"

#include <cmath>
#include <numbers>

namespace {

class ModelEditTest : public LayoutFixture {
protected:
    void SetUp() override {
        LayoutFixture::SetUp();
        small_model();
        model_modified() = false;
    }
    static EditBend& bend(int index) { return static_cast<EditBend&>(*row(index).element); }
    template <class F>
    static std::string failure(F&& f) {
        try {
            f();
        } catch (const MessageText& e) {
            return e.text;
        }
        return "<nothing thrown>";
    }
};

TEST_F(ModelEditTest, DeleteRemovesRowsUnlessAnAllowableNamesTheirNode) {
    std::vector<int> asked;
    model_edit_hooks().allowable_at_node = [&](int node) {
        asked.push_back(node);
        return node == 40 ? 2 : 0;
    };
    EXPECT_EQ(failure([] { delete_rows(3, 4); }),
              "Element at Node 40 is referred by Allowable at '2'. \nHence cannot be deleted.");
    EXPECT_EQ(numrows(), 5);
    EXPECT_FALSE(model_modified());

    delete_rows(2, 3);
    EXPECT_EQ(numrows(), 3);
    EXPECT_EQ(row(2).node, 40);
    EXPECT_POINT(at(40), 0, 120, 0);
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(failure([] { delete_rows(3, 9); }), "To row =  9  is invalid");

    const int blank = insert_blank_row(1);
    EXPECT_EQ(blank, 1);
    EXPECT_EQ(row(1).etype, ET_NONE);
    EXPECT_POINT(at(40), 0, 120, 0);
}

TEST_F(ModelEditTest, SplitMakesEqualPartsThatEndAtTheRowsNode) {
    set_row_data_type(2, DT_ANCHOR);
    split_row(2, 3, 11, 1);
    ASSERT_EQ(numrows(), 7);
    EXPECT_EQ(row(2).node, 11);
    EXPECT_EQ(row(3).node, 12);
    EXPECT_EQ(row(4).node, 20);
    EXPECT_EQ(row(2).material, "A106");
    EXPECT_EQ(row(3).etype, ET_PIPE);
    EXPECT_EQ(row(2).dtype, DT_NONE);
    EXPECT_EQ(row(4).dtype, DT_ANCHOR);   // the item stays at the row's node
    EXPECT_POINT(at(11), 40, 0, 0);
    EXPECT_POINT(at(12), 80, 0, 0);
    EXPECT_POINT(at(20), 120, 0, 0);
    EXPECT_POINT(at(30), 240, 0, 0);
    EXPECT_TRUE(model_modified());

    // After the bend the parts start at the corner: each must reach past the
    // tangent point, 15 from the corner.
    EXPECT_EQ(failure([] { split_row(6, 10, 41, 1); }), "The first part would end inside the bend at node 30");
    split_row(6, 4, 41, 1);
    EXPECT_POINT(at(41), 240, 30, 0);
    EXPECT_POINT(at(40), 240, 120, 0);

    // An absolute row keeps its coordinates; its parts follow by offsets.
    row(1 + 9).absolute = 1;   // the row of node 50, now row 10
    ASSERT_EQ(row(10).node, 50);
    row(10).dx = 240;
    row(10).dy = 300;
    make_model();
    split_row(10, 2, 45, 1);
    EXPECT_EQ(row(10).absolute, 0);
    EXPECT_POINT(at(45), 240, 210, 0);
    EXPECT_TRUE(row(11).absolute);
    EXPECT_FLOAT_EQ(row(11).dy, 300.0f);

    EXPECT_EQ(failure([] { split_row(2, 2, 30, 1); }), "30  This node is already defined");
    EXPECT_EQ(failure([] { split_row(2, 3, 99999, 1); }), "100000  Node number should be < 100000");
    EXPECT_EQ(failure([] { split_row(5, 2, 90, 1); }), "Only a pipe, jacketed pipe or beam can be split");
    EXPECT_EQ(failure([] { split_row(2, 1, 90, 1); }), "Number of parts =  1  is invalid");
}

TEST_F(ModelEditTest, GenerateRepeatsARunWithRaisedNodeNumbers) {
    bend(3).bend.node1 = 35;
    bend(3).bend.angle1 = 0.5f;
    generate_rows(2, 3, 2, 100);
    ASSERT_EQ(numrows(), 9);
    const int nodes[] = {10, 20, 30, 120, 130, 220, 230, 40, 50};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(row(i + 1).node, nodes[i]) << "row " << i + 1;
    EXPECT_EQ(row(5).etype, ET_BEND);
    EXPECT_EQ(bend(5).bend.node1, 135);   // copies move their own numbers by the offset
    EXPECT_EQ(bend(7).bend.node1, 235);
    EXPECT_FLOAT_EQ(bend(7).bend.radius, 15.0f);
    EXPECT_EQ(row(4).material, "A106");
    EXPECT_EQ(generate_node_offset(), 0);
    EXPECT_POINT(at(230), 720, 0, 0);
    EXPECT_POINT(at(50), 720, 240, 0);
    EXPECT_NE(node_index(235), 0);   // the last copy turns: its intermediate node is built

    // A node may stand twice in the block (a Location row at a pipe's node).
    table().current_row = 4;
    key(KEY_INSERT);
    cell(4, LAYOUT_TYPE, "Location");
    cell(4, LAYOUT_NODE, "30");
    ASSERT_EQ(row(4).etype, ET_LOCATION);
    EXPECT_EQ(failure([] { generate_rows(3, 4, 1, 1000); }), "<nothing thrown>");
    EXPECT_EQ(row(5).node, 1030);
    EXPECT_EQ(row(6).node, 1030);
    EXPECT_EQ(row(6).etype, ET_LOCATION);
    delete_layout_row(6);
    delete_layout_row(5);
    delete_layout_row(4);
    make_model();

    EXPECT_EQ(failure([] { generate_rows(1, 2, 1, 100); }), "Row 1 has absolute coordinates; its copies would lie on it");
    EXPECT_EQ(failure([] { generate_rows(8, 8, 1, 10); }), "50  This node is already defined");
    EXPECT_EQ(failure([] { generate_rows(8, 8, 1, 99990); }), "100030  Node number should be < 100000");
    EXPECT_EQ(failure([] { generate_rows(2, 9, 1000, 1); }), std::string(TOO_MANY_ROWS));
    EXPECT_EQ(numrows(), 9);
}

TEST_F(ModelEditTest, RenumberMapsEveryReferenceAtOnce) {
    // A Location row at 30 with an item that refers to node 20.
    const int location = add_row(30, ET_LOCATION, 0, 0, 0, DT_ANCHOR);
    static_cast<ConnectedItem&>(*row(location).data).connected = 20;
    make_model();
    std::vector<std::pair<int, int>> allowables;
    model_edit_hooks().renumber_allowables = [&](const std::vector<std::pair<int, int>>& pairs) { allowables = pairs; };

    renumber_nodes(1, 5, 10, 10);   // the numbers they have: nothing changes
    EXPECT_FALSE(model_modified());
    EXPECT_TRUE(allowables.empty());
    EXPECT_EQ(failure([] { renumber_nodes(2, 3, 30, 10); }), "40  This node is already defined");
    EXPECT_EQ(row(2).node, 20);

    renumber_nodes(2, 3, 21, 1);
    EXPECT_EQ(row(2).node, 21);
    EXPECT_EQ(row(3).node, 22);
    EXPECT_EQ(row(location).node, 22);
    EXPECT_EQ(static_cast<ConnectedItem&>(*row(location).data).connected, 21);
    EXPECT_EQ(allowables, (std::vector<std::pair<int, int>>{{20, 21}, {30, 22}}));
    EXPECT_NE(node_index(22 + NEAR_TANGENT_OFFSET), 0);
    EXPECT_TRUE(model_modified());

    // Old and new numbers overlap: 10 -> 21 -> 32 must not turn 10 into 32.
    static_cast<ConnectedItem&>(*row(location).data).connected = 10;
    renumber_nodes(1, 2, 21, 11);
    EXPECT_EQ(row(1).node, 21);
    EXPECT_EQ(row(2).node, 32);
    EXPECT_EQ(static_cast<ConnectedItem&>(*row(location).data).connected, 21);
    EXPECT_EQ(allowables, (std::vector<std::pair<int, int>>{{10, 21}, {21, 32}}));
}

TEST_F(ModelEditTest, RotateTurnsOffsetsAndCoordinatesAboutTheStart) {
    rotate_rows(2, 5, AXIS_Z, std::numbers::pi / 2);
    EXPECT_FLOAT_EQ(row(2).dy, 120.0f);
    EXPECT_FLOAT_EQ(row(2).dx, 0.0f);
    EXPECT_POINT(at(30), 0, 240, 0);
    EXPECT_POINT(at(50), -240, 240, 0);
    EXPECT_TRUE(model_modified());

    // With the From row in the range its coordinates are the pivot; about Y
    // +X turns to -Z.
    rotate_rows(2, 5, AXIS_Z, -std::numbers::pi / 2);
    row(1).dx = 10;
    make_model();
    rotate_rows(1, 3, AXIS_Y, std::numbers::pi / 2);
    EXPECT_FLOAT_EQ(row(1).dx, 10.0f);
    EXPECT_POINT(at(30), 10, 0, -240);
    EXPECT_POINT(at(40), 10, 120, -240);   // rows after the range move with its end

    // A quarter turn typed in degrees (a float) leaves exact zeros, not
    // round-off (cos(90 deg in float) is about -4e-8, times 240 in).
    rotate_rows(2, 3, AXIS_Y, static_cast<float>(90.0 * std::numbers::pi / 180.0));
    EXPECT_EQ(row(2).dz, 0.0f);
    EXPECT_EQ(row(3).dz, 0.0f);
}

TEST_F(ModelEditTest, ChangeAndReplaceSetTheNamesOfNamedRows) {
    change_rows(1, 3, "b1", "", "");
    EXPECT_EQ(row(1).material, "");   // the From row carries no names
    EXPECT_EQ(row(2).material, "B1");
    EXPECT_EQ(row(3).material, "B1");
    EXPECT_EQ(row(3).section, "S8");
    EXPECT_EQ(row(4).material, "A106");
    EXPECT_EQ(failure([] { change_rows(2, 3, "A*B", "", ""); }), "Material =  A*B  is invalid");
    model_hooks().section_index = [](const std::string& name) { return name == "S8" ? 1 : 0; };
    EXPECT_EQ(failure([] { change_rows(2, 3, "", "S9", ""); }), "Section S9 is not defined");
    EXPECT_EQ(row(2).section, "S8");

    model_hooks().section_index = nullptr;
    EXPECT_EQ(replace_names(FIELD_SECTION, "s8", "s10"), 4);
    EXPECT_EQ(row(5).section, "S10");

    std::vector<int> asked;
    const int answers[] = {IDYES, IDNO, IDCANCEL};
    const int replaced = replace_names(FIELD_MATERIAL, "A106", "C5", [&](int r) {
        asked.push_back(r);
        return answers[asked.size() - 1];
    });
    EXPECT_EQ(replaced, 1);
    EXPECT_EQ(asked, (std::vector<int>{4, 5}));   // rows 2 and 3 now say B1
    EXPECT_EQ(row(4).material, "C5");
    EXPECT_EQ(row(5).material, "A106");
    EXPECT_EQ(failure([] { replace_names(FIELD_LOAD, " ", "X"); }), "Find String is required");
    EXPECT_EQ(failure([] { replace_names(FIELD_LOAD, "L1", ""); }), "Replace String is required");
}

TEST_F(ModelEditTest, FindTextSearchesAfterTheRowAndWraps) {
    const int comment = add_row(0, ET_COMMENT);
    static_cast<CommentElement&>(*row(comment).element).set_text("Pump discharge line");
    EXPECT_EQ(find_text_row("DISCHARGE", 0), comment);
    EXPECT_EQ(find_text_row("bend", 0), 3);
    EXPECT_EQ(find_text_row("pipe", 2), 4);
    EXPECT_EQ(find_text_row("pipe", 5), 2);   // wraps to the top
    EXPECT_EQ(find_text_row("nowhere", 0), 0);
}

// ---- The commands' dialogs -------------------------------------------------------------

TEST_F(ModelEditTest, SplitCommandOffersTheNextFreeNode) {
    table().current_row = 2;
    script().once("SPLIT_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Split element from 10 to 20");
        EXPECT_EQ(d.text(SPLIT_PARTS), "2");
        EXPECT_EQ(d.text(SPLIT_FIRST_NODE), "60");
        EXPECT_EQ(d.text(SPLIT_INCREMENT), "10");
        d.press(IDOK);
    });
    command(CMD_SPLIT);
    ASSERT_EQ(numrows(), 6);
    EXPECT_EQ(row(2).node, 60);
    EXPECT_POINT(at(60), 60, 0, 0);
    EXPECT_EQ(table().row_count, 7);

    // A bend is not split: the message comes before any dialog.
    table().current_row = 4;
    command(CMD_SPLIT);
    EXPECT_EQ(script().last_message(), "Only a pipe, jacketed pipe or beam can be split");
    EXPECT_EQ(script().runs("SPLIT_DIALOG"), 1);
}

TEST_F(ModelEditTest, GenerateDialogStaysOpenOnARefusal) {
    table().current_row = 4;
    script().once("GENERATE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(EDIT_FIRST_ROW), "4");
        EXPECT_EQ(d.text(EDIT_LAST_ROW), "4");
        d.type(EDIT_LAST_ROW, "5");
        d.type(GENERATE_INCREMENT, "10");
        d.press(IDOK);
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(script().last_message(), "50  This node is already defined");
        d.type(GENERATE_INCREMENT, "100");
        d.type(GENERATE_COPIES, "x");
        d.press(IDOK);
        EXPECT_EQ(script().last_message(), "Number of copies =  X  is invalid");
        d.type(GENERATE_COPIES, "1");
        d.press(IDOK);
        EXPECT_TRUE(d.ended());
    });
    command(CMD_GENERATE);
    ASSERT_EQ(numrows(), 7);
    EXPECT_EQ(row(6).node, 140);
    EXPECT_EQ(row(7).node, 150);
    EXPECT_POINT(at(150), 240, 480, 0);
}

TEST_F(ModelEditTest, RotateAndRenumberCommandsReadTheirUnitsAndRanges) {
    table().current_row = 2;
    script().once("ROTATE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(EDIT_LAST_ROW), "5");
        EXPECT_TRUE(d.is_checked(ROTATE_ABOUT_Y));   // the vertical axis
        EXPECT_EQ(d.text(ROTATE_ANGLE_UNIT), "(deg)");
        d.press(ROTATE_ABOUT_Z);
        d.type(ROTATE_ANGLE, "90");
        d.press(IDOK);
    });
    command(CMD_ROTATE);
    EXPECT_POINT(at(50), -240, 240, 0);

    script().once("RENUMBER_DIALOG", [](HeadlessDialog& d) {
        d.type(EDIT_FIRST_ROW, "1");
        d.type(RENUMBER_FIRST_NODE, "100");
        d.type(RENUMBER_INCREMENT, "5");
        d.press(IDOK);
    });
    command(CMD_RENUMBER);
    const int nodes[] = {100, 105, 110, 115, 120};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(row(i + 1).node, nodes[i]);
}

TEST_F(ModelEditTest, ReplaceCommandPromptsForEachMatch) {
    script().once("FINDANDREPLACE", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(REPLACE_ALL));
        d.select(REPLACE_FIELD, FIELD_SECTION);
        d.type(REPLACE_FIND, "s8");
        d.type(REPLACE_WITH, "S10");
        d.press(REPLACE_PROMPT);
        d.press(IDOK);
    });
    script().answer(IDYES);
    script().answer(IDNO);
    script().answer(IDCANCEL);
    command(CMD_REPLACE);
    EXPECT_EQ(row(2).section, "S10");
    EXPECT_EQ(row(3).section, "S8");
    EXPECT_EQ(row(4).section, "S8");
    ASSERT_GE(script().messages().size(), 3u);
    EXPECT_EQ(script().messages()[0], "Do you want to change the section at node 20 from S8 to S10");
    EXPECT_EQ(script().unused_answers(), 0u);

    // The texts are offered again; nothing left to replace says so.
    script().once("FINDANDREPLACE", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(REPLACE_FIND), "s8");
        d.select(REPLACE_FIELD, FIELD_LOAD);
        d.press(IDOK);
    });
    command(CMD_REPLACE);
    EXPECT_EQ(script().last_message(), "Nothing was replaced");
}

}  // namespace
