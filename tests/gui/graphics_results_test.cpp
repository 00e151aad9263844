// The results on the graphics window under Xvfb: the highlight's colours on
// both backgrounds and its blink, the animation's frame rate with the window
// kept responsive, and a golden picture of the colour-coded render view.
#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "graphics/color_scale.h"
#include "graphics/highlight.h"
#include "graphics/model_view.h"
#include "graphics/shapes.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/ui/shape_commands.h"
#include "gui/graphics_gui.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_session.h"
#include "results/ui/results_hooks.h"

#include <QElapsedTimer>

#include <chrono>

namespace {

class HighlightGui : public GraphicsGui {
protected:
    // The client pixel of a point of the view.
    static QPoint pixel(Point2 p)
    {
        double x = 0, y = 0;
        view_to_client(p.x, p.y, x, y);
        return {static_cast<int>(x), static_cast<int>(y)};
    }
    // Whether a pixel of the colour lies within `reach` of the point.
    static bool colour_near(const QImage& image, QPoint at, QRgb colour, int reach = 3)
    {
        for (int dx = -reach; dx <= reach; ++dx)
            for (int dy = -reach; dy <= reach; ++dy) {
                const int x = at.x() + dx, y = at.y() + dy;
                if (x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
                    !differs(image.pixel(x, y), colour, 24))
                    return true;
            }
        return false;
    }
    // The row of the 6 ft pipe from node 10 to node 20, and its middle
    // (no support's symbol reaches it).
    static int pipe_row()
    {
        for (int row = 1; row <= model().numrows(); ++row)
            if (model().rows[row].node == 20)
                return row;
        return 0;
    }
    static Point2 middle(int row)
    {
        const LayoutRow& r = model().rows[row];
        const Point2 a = node_view_point(r.start_node), b = node_view_point(r.end_node);
        return {(a.x + b.x) / 2, (a.y + b.y) / 2};
    }
    // The client grabbed while the highlight shows its own colours. The
    // blink greys them every half period, which a loaded machine may reach
    // between the highlight and the grab: the grab paints what is due first,
    // so the phase read after it is the one drawn.
    static QImage grab_highlighted()
    {
        QImage picture;
        EXPECT_TRUE(gui_wait_for([&picture] {
            picture = grab_client();
            return highlight_state().phase;
        }));
        return picture;
    }
    // A pixel on the left edge of the mark's box.
    static QPoint mark_edge()
    {
        std::unique_ptr<Surface> screen = backend().screen_surface();
        NodeMark marks[2];
        highlight_marks(*screen, marks);
        return {marks[0].rect.left, (marks[0].rect.top + marks[0].rect.bottom) / 2};
    }
};

class ShapeGui : public GraphicsGui {
protected:
    // The sample model analysed in the test's folder and its results opened.
    void analysed_results()
    {
        const std::string failure = analyse_sample(folder, false);
        ASSERT_EQ(failure, "");
        set_current_result(RESULT_DISPLACEMENTS);
    }
    void TearDown() override
    {
        animation_stop();
        close_results();
        in_results() = false;
        GraphicsGui::TearDown();
    }
};

class ColorScaleGui : public GraphicsGui {};

}  // namespace

TEST_F(HighlightGui, HighlightMarksTheElementInItsColoursOnBothBackgrounds)
{
    load_model();
    show_graphics(800, 600);
    fixed_view();
    const int row = pipe_row();
    ASSERT_NE(row, 0);
    // Without the highlight nothing green is there.
    QImage picture = grab_client();
    EXPECT_FALSE(colour_near(picture, pixel(middle(row)), qRgb(0, 255, 0)));
    highlight_element(row);
    picture = grab_highlighted();
    // On black: the element green, the mark's box white.
    EXPECT_TRUE(colour_near(picture, pixel(middle(row)), qRgb(0, 255, 0)));
    EXPECT_TRUE(colour_near(picture, mark_edge(), qRgb(255, 255, 255), 1));
    // On white: red, and the box magenta.
    frame_send_command(graphics_frame(), CMD_BACKGROUND_WHITE);
    highlight_element(row);
    picture = grab_highlighted();
    EXPECT_TRUE(colour_near(picture, pixel(middle(row)), qRgb(255, 0, 0)));
    EXPECT_TRUE(colour_near(picture, mark_edge(), qRgb(255, 0, 255), 1));
}

TEST_F(HighlightGui, HighlightBlinksBetweenItsColourAndGrey)
{
    load_model();
    show_graphics(800, 600);
    fixed_view();
    const int row = pipe_row();
    highlight_element(row);
    settle();
    const int period = highlight_blink_period(backend().cursor_flash_time());
    ASSERT_GT(period, 0);
    // With each blink the element alternates between green and grey: the
    // picture of each phase in turn, grabbed once the blink has come (the
    // grab paints what is due first, so the phase read after it is the one
    // drawn).
    std::vector<bool> green, phases;
    bool wanted = highlight_state().phase;
    for (int k = 0; k < 3; ++k, wanted = !wanted) {
        QImage picture;
        ASSERT_TRUE(gui_wait_for([&] {
            picture = grab_client();
            return highlight_state().phase == wanted;
        })) << "no blink to phase " << wanted;
        phases.push_back(wanted);
        green.push_back(colour_near(picture, pixel(middle(row)), qRgb(0, 255, 0)));
        if (!wanted) {
            EXPECT_TRUE(colour_near(picture, pixel(middle(row)), qRgb(128, 128, 128)));
        }
    }
    EXPECT_EQ(green, phases);
}

TEST_F(ShapeGui, ShapeAnimationDrawsTwentyFramesASecondAndTheWindowStaysResponsive)
{
    analysed_results();
    show_graphics(800, 600);
    fixed_view();
    show_flags().node_numbers = true;
    show_flags().dots = true;
    animate_command();
    ASSERT_TRUE(animation_running());
    // A second of frames, while calls posted to the window keep being
    // answered. On a machine that other processes load, a second may find
    // this one without the processor: the best of up to twenty seconds.
    struct Second {
        double rate = 0.0;
        int answered = 0;
        long longest_wait = 0;
        bool holds() const { return rate >= 20.0 && answered > 20 && longest_wait < 250; }
    };
    auto measure = [] {
        Second s;
        QElapsedTimer clock;
        clock.start();
        const int before = animation_frames_drawn();
        while (clock.elapsed() < 1000) {
            bool done = false;
            const qint64 posted = clock.elapsed();
            backend().post([&done] { done = true; });
            while (!done && clock.elapsed() < 1100)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            s.longest_wait = std::max<long>(s.longest_wait, static_cast<long>(clock.elapsed() - posted));
            s.answered += done ? 1 : 0;
        }
        s.rate = (animation_frames_drawn() - before) / (clock.elapsed() / 1000.0);
        return s;
    };
    Second best;
    for (int attempt = 0; attempt < 20 && !best.holds(); ++attempt) {
        const Second s = measure();
        if (s.holds() || s.rate > best.rate)
            best = s;
    }
    EXPECT_GE(best.rate, 20.0) << best.rate << " frames a second";
    EXPECT_GT(best.answered, 20);
    EXPECT_LT(best.longest_wait, 250);
    // Stop puts back the numbers and dots; Render stops a running animation.
    EXPECT_FALSE(show_flags().node_numbers);
    animation_stop();
    EXPECT_TRUE(show_flags().node_numbers);
    EXPECT_TRUE(show_flags().dots);
    animate_command();
    ASSERT_TRUE(animation_running());
    frame_send_command(graphics_frame(), CMD_RENDER);
    settle();
    EXPECT_FALSE(animation_running());
    EXPECT_TRUE(show_flags().node_numbers);
}

TEST_F(ColorScaleGui, ColorScaleColourCodedRenderViewMatchesItsGolden)
{
    load_model();
    show_graphics(800, 600);
    frame_send_command(graphics_frame(), CMD_RENDER);
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    // Values given by the test: along the line from 0 at its start to the
    // largest at its end, each element from its first node's to its second's.
    clear_colouring_values();
    StressColouring& c = stress_colouring();
    c.stresses = true;
    view_state().stress_colors = true;
    const int elements = model().numelems();
    for (int e = 1; e <= elements; ++e) {
        set_colouring_value(e, 0, 1000.0f * model().elems[e].node1);
        set_colouring_value(e, 1, 1000.0f * model().elems[e].node2);
    }
    color_scale_set_range(1000.0f, 1000.0f * model().numnodes());
    fixed_view();
    graphics_model_changed();
    settle();
    const QImage picture = grab_client();
    expect_golden_image("render_stress.png", picture, background());
    // Both ends of the ramp are on the screen: blue and red pixels.
    bool blue = false, red = false;
    for (int y = 0; y < picture.height(); y += 2)
        for (int x = 0; x < picture.width(); x += 2) {
            const QRgb p = picture.pixel(x, y);
            blue = blue || (qBlue(p) > 200 && qRed(p) < 40 && qGreen(p) < 40);
            red = red || (qRed(p) > 200 && qBlue(p) < 40 && qGreen(p) < 40);
        }
    EXPECT_TRUE(blue);
    EXPECT_TRUE(red);
}
