// The supports under the model's editing commands: a connected node is
// renumbered with its node (numbers that swap included), the kinds count
// and register in their row lists, and the layout names the hanger kinds.
#include "model/model_file_fixture.h"
#include "model/ui/model_edit.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/skewed_restraint.h"
#include "supports/ui/supports_ui.h"

namespace {

class SupportEditTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_supports_ui();
    }
};

TEST_F(SupportEditTest, ConnectedNodesAreRenumberedWithTheirNodes)
{
    from(10);
    row(20, ET_PIPE, 100, 0, 0, DT_GUIDE);
    row(30, ET_PIPE, 100, 0, 0, DT_SKEWED_RESTRAINT);
    row(40, ET_PIPE, 100, 0, 0, DT_HANGER);
    make_model();
    auto& guide = dynamic_cast<Guide&>(*model().rows[2].data);
    auto& skewed = dynamic_cast<SkewedRestraint&>(*model().rows[3].data);
    auto& hanger = dynamic_cast<Hanger&>(*model().rows[4].data);
    guide.v.connected = 10;
    skewed.v.connected = 40;
    hanger.v.connected = 20;
    EXPECT_TRUE(guide.refers_to_node(10));
    EXPECT_FALSE(guide.refers_to_node(20));

    // 10, 20, 30, 40 become 40, 50, 60, 70: 40 is both an old and a new
    // number, and every connection follows its own node.
    renumber_nodes(1, 4, 40, 10);         // 40, 50, 60, 70
    EXPECT_EQ(model().rows[1].node, 40);
    EXPECT_EQ(guide.v.connected, 40);
    EXPECT_EQ(skewed.v.connected, 70);
    EXPECT_EQ(hanger.v.connected, 50);
    renumber_nodes(1, 4, 10, 10);         // back to 10, 20, 30, 40
    EXPECT_EQ(guide.v.connected, 10);
    EXPECT_EQ(skewed.v.connected, 40);
    EXPECT_EQ(hanger.v.connected, 20);
}

TEST_F(SupportEditTest, RowListsAndKindNames)
{
    from(10);
    row(20, ET_PIPE, 100, 0, 0, DT_HANGER);
    row(30, ET_PIPE, 100, 0, 0, DT_GUIDE);
    row(40, ET_PIPE, 100, 0, 0, DT_HANGER);
    make_model();
    const RowList& hangers = model().list(HANGER_ROWS);
    ASSERT_EQ(hangers.count, 2);
    EXPECT_EQ(hangers.rows[1], 2);
    EXPECT_EQ(hangers.rows[2], 4);
    EXPECT_EQ(model().list(GUIDE_ROWS).count, 1);

    // The layout's data column: a catalogue spring is a "Hanger"; the other
    // hanger kinds by their names.
    auto& h = dynamic_cast<Hanger&>(*model().rows[4].data);
    EXPECT_EQ(data_item_kind_name(DT_HANGER, model().rows[4].data_subtype()), "Hanger");
    h.v.type = HANGER_ROD;
    EXPECT_EQ(data_item_kind_name(DT_HANGER, model().rows[4].data_subtype()), "Rod hanger");
    h.v.type = HANGER_CONSTANT;
    EXPECT_EQ(data_item_kind_name(DT_HANGER, model().rows[4].data_subtype()), "Constant support");
    EXPECT_EQ(data_item_kind_name(DT_GUIDE, 0), "Guide");
}

}  // namespace
