// The Show and Show Nodes lists: the entries the model's content offers in
// each mode, the check boxes and layout of SHOW_33_DIALOG, and the rules
// applied when the boxes change.
#include "graphics/data/graphics_data_fixture.h"
#include "graphics/show_lists.h"

namespace {

class ShowListTest : public GraphicsDataTest {
protected:
    static std::vector<std::string> labels(const ShowList& list)
    {
        std::vector<std::string> out;
        for (const ShowEntry& e : list.entries)
            out.push_back(e.label);
        return out;
    }
    // From, a pipe with a restraint, a pipe with an anchor at its end.
    static void supported_run()
    {
        from(10);
        piped(row(20, ET_PIPE, 100, 0, 0, DT_RESTRAINT));
        piped(row(30, ET_PIPE, 100, 0, 0, DT_ANCHOR));
        build();
    }
};

}  // namespace

TEST_F(ShowListTest, ShowListsOfferOnlyWhatTheModelHas)
{
    // No nodes: nothing at all, so the Show command is not offered.
    EXPECT_TRUE(build_show_list(false).entries.empty());
    EXPECT_TRUE(build_show_nodes_list().entries.empty());
    supported_run();
    EXPECT_EQ(labels(build_show_list(false)),
              (std::vector<std::string>{"Anchors", "Dots at nodes", "Lengths", "Node numbers", "Restraints",
                                        "Row numbers"}));
    // With a table of items with local axes shown, "Local coord system" too.
    EXPECT_EQ(labels(build_show_list(true))[3], "Local coord system");
    EXPECT_EQ(labels(build_show_nodes_list()), (std::vector<std::string>{"Anchors", "Restraints"}));
    // In render mode the line view's own entries go.
    graphics_settings().render_mode = true;
    const ShowList render = build_show_list(true);
    EXPECT_EQ(labels(render), (std::vector<std::string>{"Anchors", "Dots at nodes", "Node numbers", "Restraints"}));
    EXPECT_EQ(render.entries[1].flag, &show_flags().dots_render);
    EXPECT_EQ(render.render_dots, 1);
    EXPECT_EQ(render.render_numbers, 2);
    graphics_settings().render_mode = false;
    // A limit stop: "Limit stops" in both lists, after "Lengths".
    piped(row(40, ET_PIPE, 100, 0, 0, DT_LIMIT_STOP));
    build();
    const std::vector<std::string> with_stop = labels(build_show_list(false));
    EXPECT_EQ(with_stop[3], "Limit stops");
    EXPECT_EQ(labels(build_show_nodes_list()), (std::vector<std::string>{"Anchors", "Limit stops", "Restraints"}));
}

TEST_F(ShowListTest, ShowDialogLaysTheBoxesOutInThreeColumns)
{
    // Seven entries: three rows; 1101..1103, 1112..1114, 1123.
    ShowDialogLayout l = show_dialog_layout(7);
    EXPECT_EQ(l.rows, 3);
    EXPECT_EQ(l.ids, (std::vector<int>{1101, 1102, 1103, 1112, 1113, 1114, 1123}));
    EXPECT_EQ(l.button_y, 14 * 3 + 10);
    EXPECT_EQ(l.width, 250);
    EXPECT_EQ(l.height, 14 * 3 + 32);
    // Exactly four: two, one and one.
    l = show_dialog_layout(4);
    EXPECT_EQ(l.rows, 2);
    EXPECT_EQ(l.ids, (std::vector<int>{1101, 1102, 1112, 1123}));
    EXPECT_EQ(l.row_of, (std::vector<int>{0, 1, 0, 0}));
    // All 33: eleven rows, the last box 1133.
    l = show_dialog_layout(33);
    EXPECT_EQ(l.rows, 11);
    EXPECT_EQ(l.ids.back(), 1133);
    EXPECT_EQ(show_dialog_layout(1).ids, (std::vector<int>{1101}));
}

TEST_F(ShowListTest, ShowApplyFollowsItsRules)
{
    supported_run();
    ShowList list = build_show_list(false);
    std::vector<bool> boxes;
    for (const ShowEntry& e : list.entries)
        boxes.push_back(*e.flag);
    // Nothing changed: nothing to do.
    EXPECT_FALSE(show_apply(list, boxes).changed);
    // Switching the node numbers off resets the Show Nodes selection to all
    // kinds, and takes the render mode's numbers with it.
    show_nodes_flags().all_kinds = false;
    show_nodes_flags().kinds[0] = true;
    show_flags().node_numbers_render = true;
    boxes[static_cast<std::size_t>(list.numbers)] = false;
    ShowApplyResult r = show_apply(list, boxes);
    EXPECT_TRUE(r.changed);
    EXPECT_TRUE(r.new_scene);
    EXPECT_FALSE(show_flags().node_numbers);
    EXPECT_FALSE(show_flags().node_numbers_render);
    EXPECT_TRUE(show_nodes_flags().all_kinds);
    EXPECT_FALSE(show_nodes_flags().kinds[0]);
    // The applied states are the new initial ones.
    EXPECT_FALSE(show_apply(list, boxes).changed);
    // Render mode: only the render dots changed: the overlays alone.
    graphics_settings().render_mode = true;
    list = build_show_list(false);
    boxes.assign(list.entries.size(), false);
    for (std::size_t i = 0; i < list.entries.size(); ++i)
        boxes[i] = *list.entries[i].flag;
    boxes[static_cast<std::size_t>(list.render_dots)] = !boxes[static_cast<std::size_t>(list.render_dots)];
    r = show_apply(list, boxes);
    EXPECT_TRUE(r.overlays_only);
    EXPECT_FALSE(r.new_scene);
    // The render numbers on: the line view's come on too; anchors off: a new scene.
    boxes[static_cast<std::size_t>(list.render_numbers)] = true;
    boxes[0] = false;
    r = show_apply(list, boxes);
    EXPECT_TRUE(show_flags().node_numbers);
    EXPECT_FALSE(show_flags().anchors);
    EXPECT_TRUE(r.new_scene);
    EXPECT_FALSE(r.overlays_only);
    graphics_settings().render_mode = false;
}

TEST_F(ShowListTest, ShowNodesAndF3SetTheNodeNumbers)
{
    supported_run();
    ShowList nodes = build_show_nodes_list();
    ASSERT_EQ(nodes.entries.size(), 2u);
    // Anchors checked, restraints not: numbers on, at the anchors' nodes only.
    show_nodes_apply(nodes, {true, false});
    EXPECT_TRUE(show_flags().node_numbers);
    EXPECT_FALSE(show_nodes_flags().all_kinds);
    EXPECT_TRUE(node_label_applies(node_index(30)));
    EXPECT_FALSE(node_label_applies(node_index(20)));
    EXPECT_FALSE(node_label_applies(node_index(10)));
    // None checked: no numbers.
    show_nodes_apply(nodes, {false, false});
    EXPECT_FALSE(show_flags().node_numbers);
    // F3 with only the dots on: both off, and the selection reset.
    show_flags().dots = true;
    show_flags().node_numbers = false;
    show_nodes_flags().kinds[0] = true;
    show_toggle_dots_and_numbers();
    EXPECT_FALSE(show_flags().dots);
    EXPECT_FALSE(show_flags().node_numbers);
    // Both off: both on, numbers at every kind.
    show_toggle_dots_and_numbers();
    EXPECT_TRUE(show_flags().dots);
    EXPECT_TRUE(show_flags().node_numbers);
    EXPECT_TRUE(show_nodes_flags().all_kinds);
    EXPECT_FALSE(show_nodes_flags().kinds[0]);
}
