// The support symbols in the 2D view: the shapes' segments as the view
// draws them (rotated, scaled, placed), and the shapes each support kind
// draws at its node.
#include "model/data/model_fixture.h"
#include "model/symbol_shapes.h"
#include "supports/anchor.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/restraint.h"
#include "supports/supports.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Line {
    float x1, y1, x2, y2;
};

class SupportSymbolTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        install_supports();
        symbol_drawing().draw_line = [this](float x1, float y1, float x2, float y2) {
            lines.push_back({x1, y1, x2, y2});
        };
        model_hooks().symbol_size = [] { return 2.0; };
    }
    // A From row at the origin (projected at (5, 7)) with a support.
    int support_row(int dtype)
    {
        const int r = row(10, ET_FROM, 0, 0, 0, dtype);
        make_model();
        model().nodes[1].sx = 5.0f;
        model().nodes[1].sy = 7.0f;
        return r;
    }
    std::vector<Line> lines;
};

TEST_F(SupportSymbolTest, ShapesHaveTheirSegments)
{
    const std::size_t counts[SYMBOL_SHAPE_COUNT] = {3, 6, 16, 7, 2, 2, 17, 6, 12, 4, 10};
    for (int s = 0; s < SYMBOL_SHAPE_COUNT; ++s)
        EXPECT_EQ(symbol_shape(s).segments.size(), counts[s]) << s;
    EXPECT_TRUE(symbol_shape(11).segments.empty());
    EXPECT_TRUE(symbol_shape(-1).segments.empty());
}

TEST_F(SupportSymbolTest, ShapeIsRotatedScaledAndPlaced)
{
    // Shape 4's first segment (-2.5, 0)-(-0.8, 0) drawn at (10, 20) along
    // (0, 1) with size 3 and symbol scale 0.5: (c, s) = (0, 1.5), a point
    // (px, py) goes to (10 - 1.5 py, 20 + 1.5 px).
    symbol_drawing().symbol_scale = 0.5f;
    draw_symbol_shape(4, 10, 20, 0.0f, 1.0f, 3.0f);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(lines[0].x1, 10.0f);
    EXPECT_FLOAT_EQ(lines[0].y1, 20.0f - 3.75f);
    EXPECT_FLOAT_EQ(lines[0].y2, 20.0f - 1.2f);
    // The bar (-0.8, -0.6)-(-0.8, 0.6): x = 10 -+ 0.9.
    EXPECT_FLOAT_EQ(lines[1].x1, 10.9f);
    EXPECT_FLOAT_EQ(lines[1].x2, 9.1f);
    // A direction component below 0.005 counts as 0.
    lines.clear();
    draw_symbol_shape(0, 0, 0, 1.0f, 0.004f, 1.0f);
    EXPECT_FLOAT_EQ(lines[0].y2, -0.5f * 0.5f);
    // The extent of shape 5, whose rectangle is stored with xmin above xmax.
    Box2D box;
    symbol_shape_add_extent(5, 0, 0, 1, 0, 1, box);
    EXPECT_FLOAT_EQ(box.xmin, 0.0f);
    EXPECT_FLOAT_EQ(box.xmax, 2.5f * 0.5f);
}

TEST_F(SupportSymbolTest, KindsDrawTheirShapesAtTheirNode)
{
    // A restraint in X and Z: two heads (shape 0, 3 segments) on each,
    // pointing at the node's projected point.
    int r = support_row(DT_RESTRAINT);
    dynamic_cast<Restraint&>(*model().rows[r].data).v.restrained = {1, 0, 1};
    model().rows[r].data->draw_2d(r);
    // X gives two heads; Z projects onto the node (the view looks along
    // -Z) and is not drawn. Each head has two edges that end at its tip.
    EXPECT_EQ(lines.size(), 6u);
    int at_node = 0;
    for (const Line& l : lines)
        at_node += (l.x1 == 5.0f && l.y1 == 7.0f) + (l.x2 == 5.0f && l.y2 == 7.0f);
    EXPECT_EQ(at_node, 4);
    // Its extent holds the node and the heads, 1.2 symbol sizes out.
    model().rows[r].data->update_extents(r);
    EXPECT_FLOAT_EQ(model().rows[r].data->box_2d.xmax, 5.0f + 2.4f);

    // A rigid anchor: double heads (shape 1, 6 segments) both ways on X and
    // Y (Z is not drawn, as above).
    reset_model();
    lines.clear();
    r = support_row(DT_ANCHOR);
    model().rows[r].data->draw_2d(r);
    EXPECT_EQ(lines.size(), 24u);

    // A limit stop with a lower limit only: shape 4 (2 segments).
    reset_model();
    lines.clear();
    r = support_row(DT_LIMIT_STOP);
    dynamic_cast<LimitStop&>(*model().rows[r].data).v = {"", 0.0f, NO_LIMIT, {0, 1, 0}, 0, 0, 0};
    model().rows[r].data->draw_2d(r);
    EXPECT_EQ(lines.size(), 2u);

    // A spring hanger: shape 2 standing up from the node (16 segments), its
    // rod along +Y in the view.
    reset_model();
    lines.clear();
    r = support_row(DT_HANGER);
    model().rows[r].data->draw_2d(r);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_FLOAT_EQ(lines[0].x2, 5.0f);
    EXPECT_FLOAT_EQ(lines[0].y2, 7.0f + 12.0f * 2.0f / 12.0f);
}

}  // namespace
