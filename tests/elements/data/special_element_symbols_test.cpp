// The symbols of the special elements as the views would draw them (a
// recording painter) and their picks. The view is the identity projection:
// a model point (x, y, z) is the view point (x, y).
#include "elements/beam.h"
#include "elements/bellows.h"
#include "elements/elastic_element.h"
#include "elements/element_classes.h"
#include "elements/joints.h"
#include "elements/rigid_element.h"
#include "elements/slip_joint.h"
#include "elements/tie_rod.h"
#include "elements/valve.h"
#include "materials/beam_section.h"
#include "materials/pipe_section.h"
#include "model/data/model_fixture.h"
#include "model/data/recording_painter.h"

namespace {

using Calls = std::vector<std::string>;

class SpecialSymbolsTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        install_element_classes();
        PipeSection s;
        s.name = "S6";
        s.outside_diameter = 6.0f;
        s.thickness = 0.25f;
        pipe_sections().push_back(s);
        set_drawing_scale(2.0);   // the symbol size u is 3.5 view units
        pick_hooks().open_element_dialog = [this](int row) {
            opened.push_back(row);
            return true;
        };
    }
    static int with_section(int r)
    {
        model().rows[r].section = "S6";
        return r;
    }
    static void build()
    {
        make_model();
        project_nodes();
        for (int r = 1; r <= numrows(); ++r)
            rebuild_row_symbol(r);
    }
    static Calls draw(int r, bool three_d)
    {
        RecordingPainter p;
        ViewPainterScope scope(p);
        LayoutRow& row = model().rows[r];
        three_d ? row.element->draw_3d(row) : row.element->draw_2d(row);
        return p.calls;
    }
    static std::size_t count(const Calls& calls, const std::string& word)
    {
        std::size_t n = 0;
        for (const std::string& c : calls)
            n += c.rfind(word + " ", 0) == 0;
        return n;
    }
    std::vector<int> opened;
};

}  // namespace

TEST_F(SpecialSymbolsTest, BellowsAndValveWithoutAPipeRadiusDrawNothing)
{
    from(10);
    const int bellows = row(20, ET_BELLOWS, 30, 0, 0);
    const int valve = row(30, ET_VALVE, 20, 0, 0);
    build();
    EXPECT_TRUE(draw(bellows, false).empty());
    EXPECT_TRUE(draw(bellows, true).empty());
    EXPECT_TRUE(draw(valve, false).empty());
    EXPECT_TRUE(draw(valve, true).empty());
    EXPECT_FALSE(model().rows[valve].element->pick_and_edit(valve, 60, 0));

    // With the 6 in section (r = 3): 30 in of bellows is 20 convolutions,
    // two cones each; the 2D symbol is its outline and three cross lines.
    with_section(bellows);
    with_section(valve);
    build();
    const Calls b3 = draw(bellows, true);
    EXPECT_EQ(count(b3, "cylinder"), 40u);
    EXPECT_EQ(count(draw(bellows, false), "line"), 7u);
    // Valve: bow-tie of two triangles (6 lines) in 2D; body, ball, stem and
    // hand wheel (six spokes, outer and inner rim) in the render view.
    EXPECT_EQ(count(draw(valve, false), "line"), 6u);
    const Calls v3 = draw(valve, true);
    EXPECT_EQ(count(v3, "sphere"), 1u);
    EXPECT_EQ(count(v3, "cylinder"), 1u + 1u + 6u + 2u);
    EXPECT_TRUE(model().rows[valve].element->pick_and_edit(valve, 40, 0));   // the valve's waist
    EXPECT_EQ(opened, std::vector<int>{valve});
}

TEST_F(SpecialSymbolsTest, HingeRodFollowsTheNormalizedAxis)
{
    from(10);
    const int hinge = row(20, ET_HINGE_JOINT);
    dynamic_cast<HingeJoint&>(*model().rows[hinge].element).axis[1] = 5.0f;
    build();
    // No section: r = 6 u = 21; the rod reaches 1.5 r = 31.5 along +-Y.
    const auto& h = dynamic_cast<const HingeJoint&>(*model().rows[hinge].element);
    EXPECT_FLOAT_EQ(h.symbol_radius, 21.0f);
    EXPECT_NEAR(h.rod.p2.y, 31.5, 1e-9);
    EXPECT_NEAR(h.rod.p1.y, -31.5, 1e-9);
    EXPECT_FLOAT_EQ(h.rod.radius, 0.25f * 21.0f);
    EXPECT_EQ(count(draw(hinge, false), "circle"), 2u);
    // A ball joint without a section: radius 3.
    const int ball = row(30, ET_BALL_JOINT);
    build();
    EXPECT_FLOAT_EQ(dynamic_cast<const BallJoint&>(*model().rows[ball].element).sphere.radius, 3.0f);
}

TEST_F(SpecialSymbolsTest, BeamTakesItsSectionsDepthAndBetaTurnsIt)
{
    BeamSection s;
    s.name = "W12";
    s.values = {10, 300, 40, 1, 0, 0, 12, 8};
    beam_sections().push_back(s);
    from(10);
    const int beam = row(20, ET_BEAM, 100, 0, 0);
    model().rows[beam].section = "W12";
    build();
    // Y vertical: the depth (12) along local y = global Y; the flanges
    // (tf = 1.5) at +-(12 - 1.5)/2 = 5.25.
    const auto& b = dynamic_cast<const Beam&>(*model().rows[beam].element);
    auto centre_y = [](const SolidBox& box) {
        double y = 0;
        for (const Vec3& c : box.corners)
            y += c.y / 8;
        return y;
    };
    EXPECT_NEAR(centre_y(b.parts[1]), 5.25, 1e-6);
    EXPECT_NEAR(centre_y(b.parts[2]), -5.25, 1e-6);
    EXPECT_EQ(count(draw(beam, true), "box"), 3u);
    // Turned by 90 degrees the depth lies along Z: the flanges' centres at y 0.
    dynamic_cast<Beam&>(*model().rows[beam].element).beta = static_cast<float>(std::numbers::pi / 2);
    build();
    EXPECT_NEAR(centre_y(b.parts[1]), 0.0, 1e-6);
}

TEST_F(SpecialSymbolsTest, SpringElementsDrawWithTheirPens)
{
    from(10);
    const int elastic = row(20, ET_ELASTIC, 50, 0, 0);
    const int tie = row(30, ET_TIE_ROD, 50, 0, 0);
    const int rigid = row(40, ET_RIGID, 50, 0, 0);
    const int slip = with_section(row(50, ET_SLIP_JOINT, 50, 0, 0));
    build();
    EXPECT_EQ(draw(elastic, false)[0], "pen " + std::to_string(PEN_ELASTIC));
    EXPECT_EQ(draw(tie, false)[0], "pen " + std::to_string(PEN_TIE_ROD));
    EXPECT_EQ(count(draw(rigid, true), "box"), 1u);
    EXPECT_EQ(count(draw(slip, true), "cylinder"), 3u);
    // An elastic element of no length is still picked in 2D.
    const int short_one = row(60, ET_ELASTIC, 0, 0, 0.001f);
    build();
    EXPECT_TRUE(model().rows[short_one].element->pick_and_edit(short_one, 200 + 3.0f, 0));
}
