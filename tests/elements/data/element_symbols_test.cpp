// The symbols of pipes, cut pipes, reducers, bends and jacketed bends as the
// views would draw them (a recording painter), their outlines and picks.
// The view is the identity projection: a model point (x, y, z) is the view
// point (x, y), so that every expected point is worked out from the model.
#include "elements/bend.h"
#include "elements/element_classes.h"
#include "elements/jacketed_bend.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/data/model_fixture.h"
#include "model/data/recording_painter.h"

#include <cmath>
#include <numbers>

namespace {

using Calls = std::vector<std::string>;

std::string f3(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    return std::string(text) == "-0.000" ? "0.000" : text;
}

// "word a b c ..." as the painter writes it.
std::string call(const std::string& word, std::initializer_list<double> values)
{
    std::string text = word;
    for (double v : values)
        text += " " + f3(v);
    return text;
}

class ElementSymbolsTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        install_element_classes();
        for (const auto& [name, od, t] : {std::tuple{"S6", 6.625f, 0.28f}, std::tuple{"S10", 10.75f, 0.365f}}) {
            PipeSection s;
            s.name = name;
            s.outside_diameter = od;
            s.thickness = t;
            pipe_sections().push_back(s);
        }
        PipeMaterial frp;
        frp.name = "FRP";
        frp.frp = 1;
        pipe_materials().push_back(frp);
        set_drawing_scale(2.0);   // the element half-width is 3.5 view units
        PickHooks& hooks = pick_hooks();
        hooks.select_row = [this](int row) { picks.push_back("select " + std::to_string(row)); };
        hooks.highlight_element = [this](int row) { picks.push_back("highlight " + std::to_string(row)); };
        hooks.highlight_bend = [this](int row) { picks.push_back("highlight bend " + std::to_string(row)); };
        hooks.open_element_dialog = [this](int row) {
            picks.push_back("dialog " + std::to_string(row));
            return true;
        };
    }

    static int named(int r, const char* section = "S6")
    {
        model().rows[r].section = section;
        model().rows[r].material = "CS";
        return r;
    }
    // Builds the model, the projected node points and every row's symbol.
    static void build()
    {
        make_model();
        project_nodes();
        for (int r = 1; r <= numrows(); ++r)
            rebuild_row_symbol(r);
    }
    Calls draw_2d(int r)
    {
        RecordingPainter p;
        ViewPainterScope scope(p);
        model().rows[r].element->draw_2d(model().rows[r]);
        return p.calls;
    }
    Calls draw_3d(int r)
    {
        RecordingPainter p;
        ViewPainterScope scope(p);
        model().rows[r].element->draw_3d(model().rows[r]);
        return p.calls;
    }
    bool pick(int r, float x, float y) { return model().rows[r].element->pick_and_edit(r, x, y); }

    std::vector<std::string> picks;
};

}  // namespace

TEST_F(ElementSymbolsTest, PipeOutlineIsFourteenPixelsWideAndItsCylinderThePipes)
{
    from(10);
    const int pipe = named(row(20, ET_PIPE, 100, 0, 0));
    build();
    const auto& p = dynamic_cast<const Pipe&>(*model().rows[pipe].element);
    // 2D: 7 pixels (3.5 view units at 2 pixels a unit) on each side.
    EXPECT_TRUE(p.hit_test(50, 3.4f));
    EXPECT_FALSE(p.hit_test(50, 3.6f));
    // Render view: the pipe's own radius, 3.3125.
    view_state().render_view = true;
    EXPECT_TRUE(p.hit_test(50, 3.3f));
    EXPECT_FALSE(p.hit_test(50, 3.4f));
    // A larger pipe: the render outline grows, the 2D one does not.
    model().rows[pipe].section = "S10";
    build();
    EXPECT_TRUE(p.hit_test(50, 5.3f));
    view_state().render_view = false;
    EXPECT_FALSE(p.hit_test(50, 3.6f));
    EXPECT_FLOAT_EQ(model().rows[pipe].box_2d.ymax, 3.5f);

    EXPECT_EQ(draw_2d(pipe), (Calls{"pen 0", call("line", {0, 0, 100, 0})}));
    // The last row ends the run: end disks (flag 1).
    EXPECT_EQ(draw_3d(pipe), (Calls{call("color", {0.5, 0.5, 0.5, 1}), call("cylinder", {0, 0, 0, 100, 0, 0, 5.375, 5.375, 1})}));
    // Another row after it: no end disks.
    named(row(30, ET_PIPE, 100, 0, 0));
    build();
    EXPECT_EQ(draw_3d(pipe)[1], call("cylinder", {0, 0, 0, 100, 0, 0, 5.375, 5.375, 0}));
}

TEST_F(ElementSymbolsTest, PipeColoursFollowTheMaterialAndTheViewModes)
{
    from(10);
    const int pipe = named(row(20, ET_PIPE, 100, 0, 0));
    build();
    model().rows[pipe].material = "FRP";
    EXPECT_EQ(draw_3d(pipe)[0], call("color", {0.6, 0.5, 0.0, 1}));
    model().rows[pipe].transparent = 1;
    EXPECT_EQ(draw_3d(pipe)[0], call("color", {0.6, 0.5, 0.0, 0.6}));
    // A material that no record has is drawn grey.
    model().rows[pipe].material = "NONE";
    EXPECT_EQ(draw_3d(pipe)[0], call("color", {0.5, 0.5, 0.5, 0.6}));
    // Colouring by load keeps the caller's colour.
    view_state().color_by_load = true;
    EXPECT_EQ(draw_3d(pipe).size(), 1u);
    EXPECT_EQ(draw_3d(pipe)[0].substr(0, 8), "cylinder");
    // Stresses in colour: those displays draw the elements.
    view_state().stress_ratio_colors = true;
    EXPECT_TRUE(draw_3d(pipe).empty());
}

TEST_F(ElementSymbolsTest, APlainPipeOpensNothingAndACutPipeItsDialog)
{
    from(10);
    const int pipe = named(row(20, ET_PIPE, 100, 0, 0));
    const int cut = named(row(30, ET_CUT_PIPE, 100, 0, 0));
    build();
    EXPECT_FALSE(pick(pipe, 50, 0));
    EXPECT_TRUE(picks.empty());
    EXPECT_FALSE(pick(cut, 150, 10));
    EXPECT_TRUE(picks.empty());
    EXPECT_TRUE(pick(cut, 150, 0));
    EXPECT_EQ(picks, (std::vector<std::string>{"select 3", "highlight 3", "dialog 3"}));
    // Drawn as a pipe.
    EXPECT_EQ(draw_2d(cut), (Calls{"pen 0", call("line", {100, 0, 200, 0})}));
}

TEST_F(ElementSymbolsTest, ReducerIsATrapezoidAndAConeOfItsTwoDiameters)
{
    from(10);
    const int r = named(row(20, ET_REDUCER, 100, 0, 0));
    auto& reducer = dynamic_cast<Reducer&>(*model().rows[r].element);
    reducer.od1 = 8.625f;
    reducer.od2 = 4.5f;
    build();
    // Half-widths 4.3125 at the first node and 2.25 at the second.
    EXPECT_TRUE(pick(r, 1, 4.2f));
    EXPECT_FALSE(pick(r, 99, 4.2f));
    EXPECT_TRUE(pick(r, 99, 2.2f));
    EXPECT_EQ(picks, (std::vector<std::string>{"select 2", "highlight 2", "dialog 2", "select 2", "highlight 2",
                                               "dialog 2"}));
    EXPECT_EQ(draw_2d(r), (Calls{"pen 0", call("line", {0, -4.3125, 100, -2.25}), call("line", {100, -2.25, 100, 2.25}),
                                 call("line", {100, 2.25, 0, 4.3125}), call("line", {0, 4.3125, 0, -4.3125})}));
    EXPECT_EQ(draw_3d(r)[1], call("cylinder", {0, 0, 0, 100, 0, 0, 4.3125, 2.25, 0}));
}

TEST_F(ElementSymbolsTest, BendIsItsLegAndArcInBothViews)
{
    // From the origin along X to the corner at (100, 0, 0), then along Y: a
    // quarter bend of radius 30 with its near point at (70, 0), far point
    // at (100, 30) and centre (70, 30).
    const double R = 30;
    from(10);
    const int b = named(bend(20, 100, 0, 0, static_cast<float>(R)));
    named(row(30, ET_PIPE, 0, 100, 0));
    build();
    const double r = 6.625 / 2;
    // 2D, "Curved bends" on: the leg, the tangent lines with the first pen,
    // the arc as a Bezier through the tangents' midpoints.
    EXPECT_EQ(draw_2d(b), (Calls{"pen 0", call("line", {0, 0, 70, 0}), "pen 1", call("line", {70, 0, 100, 0}),
                                 call("line", {100, 0, 100, 30}), "pen 0",
                                 call("bezier", {70, 0, 85, 0, 100, 15, 100, 30})}));
    view_state().curved_bends = false;
    EXPECT_EQ(draw_2d(b), (Calls{"pen 0", call("line", {0, 0, 70, 0}), "pen 0", call("line", {70, 0, 100, 0}),
                                 call("line", {100, 0, 100, 30})}));
    // Render view: the leg cylinder and the torus section.
    EXPECT_EQ(draw_3d(b), (Calls{call("color", {0.5, 0.5, 0.5, 1}), call("cylinder", {0, 0, 0, 70, 0, 0, r, r, 0}),
                                 call("bend", {70, 0, 0, 100, 30, 0, 70, 30, 0, R, r, std::numbers::pi / 2})}));
    // The three chords join the arc's points at 0, 30, 60 and 90 degrees.
    const auto& s = dynamic_cast<const Bend&>(*model().rows[b].element).symbol;
    for (int k = 0; k < 3; ++k) {
        const double a1 = std::numbers::pi / 6 * k, a2 = std::numbers::pi / 6 * (k + 1);
        EXPECT_NEAR(s.chords[k].p1.x, 70 + R * std::sin(a1), 1e-4);
        EXPECT_NEAR(s.chords[k].p1.y, 30 - R * std::cos(a1), 1e-4);
        EXPECT_NEAR(s.chords[k].p2.x, 70 + R * std::sin(a2), 1e-4);
        EXPECT_NEAR(s.chords[k].p2.y, 30 - R * std::cos(a2), 1e-4);
    }
    // 2D picks hit the triangle of the tangents and the straight leg before
    // it, which is the row's too; not a point beyond the leg's outline.
    EXPECT_TRUE(pick(b, 95, 5));
    EXPECT_TRUE(pick(b, 35, 0));
    EXPECT_FALSE(pick(b, 35, 30));
    EXPECT_EQ(picks, (std::vector<std::string>{"select 2", "highlight bend 2", "dialog 2", "select 2",
                                               "highlight bend 2", "dialog 2"}));
    // Render-view picks hit the chords (the middle of the second chord).
    view_state().render_view = true;
    const Vec3 mid{(s.chords[1].p1.x + s.chords[1].p2.x) / 2, (s.chords[1].p1.y + s.chords[1].p2.y) / 2, 0};
    EXPECT_TRUE(pick(b, static_cast<float>(mid.x), static_cast<float>(mid.y)));
    EXPECT_FALSE(pick(b, 95, 5));   // inside the triangle, off the pipe
}

TEST_F(ElementSymbolsTest, BendWithoutItsArcIsOneRedLine)
{
    // No row after the bend: its arc cannot be laid out.
    from(10);
    const int b = named(bend(20, 100, 0, 0, 30));
    build();
    EXPECT_EQ(draw_3d(b), (Calls{call("color", {1, 0, 0, 1}), call("line3d", {0, 0, 0, 100, 0, 0})}));
    EXPECT_EQ(draw_2d(b), (Calls{"pen 1", call("line", {0, 0, 100, 0})}));
    // It is picked along that line only.
    EXPECT_TRUE(pick(b, 50, 3));
    EXPECT_FALSE(pick(b, 100, 20));
    view_state().render_view = true;
    EXPECT_TRUE(pick(b, 50, 3));
    EXPECT_FALSE(pick(b, 50, 4));
}

TEST_F(ElementSymbolsTest, JacketedBendDrawsItsJacketTransparentAfterTheCore)
{
    from(10);
    const int b = named(row(20, ET_JACKETED_BEND, 100, 0, 0));
    auto& jb = dynamic_cast<JacketedBend&>(*model().rows[b].element);
    jb.geometry.radius_kind = RADIUS_USER;
    jb.geometry.radius = 30.0f;
    jb.jacket.section = "S10";
    jb.jacket.radius_kind = RADIUS_USER;
    jb.jacket.radius = 45.0f;
    named(row(30, ET_JACKETED_PIPE, 0, 100, 0));
    build();
    ASSERT_TRUE(jb.geometry.geometry_valid);
    RecordingPainter p;
    {
        ViewPainterScope scope(p);
        jb.draw_jacket_3d(model().rows[b]);
    }
    // The jacket's arc of radius 45 about (55, 45), its near point (55, 0).
    const double rj = 10.75 / 2;
    EXPECT_EQ(p.calls, (Calls{"blend 1", call("color", {0.3, 0.5, 0.6, 0.85}),
                              call("cylinder", {0, 0, 0, 55, 0, 0, rj, rj, 0}),
                              call("bend", {55, 0, 0, 100, 45, 0, 55, 45, 0, 45, rj, std::numbers::pi / 2}),
                              "blend 0"}));
    // The core in grey, then as a bend.
    const Calls core = draw_3d(b);
    ASSERT_EQ(core.size(), 4u);
    EXPECT_EQ(core[0], call("color", {0.5, 0.5, 0.5, 1}));
    EXPECT_EQ(core[3], call("bend", {70, 0, 0, 100, 30, 0, 70, 30, 0, 30, 6.625 / 2, std::numbers::pi / 2}));
    // 2D: the core as a bend, then the jacket with the jacket pen.
    const Calls lines = draw_2d(b);
    EXPECT_EQ(lines[0], "pen 0");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "pen 2"), lines.end());
    EXPECT_EQ(lines.back(), call("bezier", {55, 0, 77.5, 0, 100, 22.5, 100, 45}));
    // Picks go by the jacket's outlines: inside its triangle, not on its edge.
    EXPECT_TRUE(pick(b, 96, 40));
    EXPECT_FALSE(pick(b, 95, 40));
    view_state().stress_colors = true;
    p.calls.clear();
    {
        ViewPainterScope scope(p);
        jb.draw_jacket_3d(model().rows[b]);
    }
    EXPECT_TRUE(p.calls.empty());
}
