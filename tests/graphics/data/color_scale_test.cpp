// The stress colour map: the ramp at its quarter points and outside its
// range, a degenerate range, the pieces of a colour-coded tube, the palette,
// and the values the views are coloured by.
#include "codes/code_driver.h"
#include "codes/stress_display.h"
#include "graphics/color_scale.h"
#include "graphics/data/plot_fixture.h"
#include "graphics/stress_view.h"

#include <cmath>

namespace {

void expect_colour(const RampColor& c, float r, float g, float b, const char* what)
{
    EXPECT_NEAR(c.r, r, 1e-5) << what;
    EXPECT_NEAR(c.g, g, 1e-5) << what;
    EXPECT_NEAR(c.b, b, 1e-5) << what;
}

class ColorScaleTest : public PlotTest {};

}  // namespace

TEST_F(ColorScaleTest, ColorScaleRampRunsBlueCyanGreenYellowRed)
{
    color_scale_set_range(1000.0f, 5000.0f);
    const ColorScale& s = color_scale();
    EXPECT_FLOAT_EQ(s.range, 4000.0f);
    EXPECT_FLOAT_EQ(s.q1, 2000.0f);
    EXPECT_FLOAT_EQ(s.q2, 3000.0f);
    EXPECT_FLOAT_EQ(s.q3, 4000.0f);
    // The ends and the quarter points of the ramp.
    expect_colour(color_for_ratio(1000.0f), 0, 0, 1, "min: blue");
    expect_colour(color_for_ratio(2000.0f), 0, 1, 1, "q1: cyan");
    expect_colour(color_for_ratio(3000.0f), 0, 1, 0, "q2: green");
    expect_colour(color_for_ratio(4000.0f), 1, 1, 0, "q3: yellow");
    expect_colour(color_for_ratio(5000.0f), 1, 0, 0, "max: red");
    // Halfway along each quarter, each moving component is at one half.
    expect_colour(color_for_ratio(1500.0f), 0, 0.5f, 1, "blue to cyan");
    expect_colour(color_for_ratio(2500.0f), 0, 1, 0.5f, "cyan to green");
    expect_colour(color_for_ratio(3500.0f), 0.5f, 1, 0, "green to yellow");
    expect_colour(color_for_ratio(4500.0f), 1, 0.5f, 0, "yellow to red");
    // Outside the range the ends hold; a value that is not a number is the low end.
    expect_colour(color_for_ratio(-1.0e9f), 0, 0, 1, "below");
    expect_colour(color_for_ratio(1.0e9f), 1, 0, 0, "above");
    expect_colour(color_for_ratio(std::nanf("")), 0, 0, 1, "NaN");
    // A range given the other way round is the same range.
    color_scale_set_range(5000.0f, 1000.0f);
    EXPECT_FLOAT_EQ(color_scale_min(), 1000.0f);
    EXPECT_FLOAT_EQ(color_scale_max(), 5000.0f);
}

TEST_F(ColorScaleTest, ColorScaleOfADegenerateRangeIsOneColourAndOnePiece)
{
    // One element, or equal stresses: min = max. No division by the range.
    color_scale_set_range(2500.0f, 2500.0f);
    for (float v : {0.0f, 2500.0f, 1.0e6f}) {
        const RampColor c = color_for_ratio(v);
        EXPECT_TRUE(std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b));
        expect_colour(c, 0, 0, 1, "low end");
    }
    const auto pieces = tube_pieces(color_scale(), {0, 0, 0}, {10, 0, 0}, 1, 1, 2500.0f, 2600.0f);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(ramp_to_rgb(color_for_ratio(2600.0f)), rgb(0, 0, 255));
}

TEST_F(ColorScaleTest, ColorScaleTubeIsCutAtEveryQuarterPointItCrosses)
{
    color_scale_set_range(0.0f, 100.0f);
    // From 10 to 90 along 80 in: cut at 25, 50 and 75, each cut interpolated.
    const auto pieces = tube_pieces(color_scale(), {0, 0, 0}, {80, 0, 0}, 2.0, 4.0, 10.0f, 90.0f);
    ASSERT_EQ(pieces.size(), 4u);
    const float cuts[3] = {25.0f, 50.0f, 75.0f};
    for (int k = 0; k < 3; ++k) {
        const double x = (cuts[k] - 10.0) / 80.0 * 80.0;
        EXPECT_NEAR(pieces[static_cast<std::size_t>(k)].b.x, x, 1e-9);
        EXPECT_FLOAT_EQ(pieces[static_cast<std::size_t>(k)].value_b, cuts[k]);
        EXPECT_NEAR(pieces[static_cast<std::size_t>(k)].radius_b, 2.0 + 2.0 * x / 80.0, 1e-9);
        EXPECT_NEAR(pieces[static_cast<std::size_t>(k) + 1].a.x, x, 1e-9);
    }
    // Each piece lies within one quarter of the ramp.
    for (const TubePiece& p : pieces)
        EXPECT_EQ(std::floor(std::min(p.value_a, p.value_b) / 25.0f + 1e-4f),
                  std::floor((std::max(p.value_a, p.value_b) - 1e-3f) / 25.0f));
    // Values falling from a to b: the ends are swapped so that they rise.
    const auto back = tube_pieces(color_scale(), {0, 0, 0}, {80, 0, 0}, 2.0, 4.0, 60.0f, 40.0f);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_FLOAT_EQ(back.front().value_a, 40.0f);
    EXPECT_DOUBLE_EQ(back.front().a.x, 80.0);
    EXPECT_DOUBLE_EQ(back.front().radius_a, 4.0);
    // Equal ends within 0.001 of the range: one piece; too short: none.
    EXPECT_EQ(tube_pieces(color_scale(), {0, 0, 0}, {80, 0, 0}, 2, 2, 30.0f, 30.05f).size(), 1u);
    EXPECT_TRUE(tube_pieces(color_scale(), {0, 0, 0}, {0.0005, 0, 0}, 2, 2, 0.0f, 100.0f).empty());
    // A value exactly at a quarter point is a start, not a cut.
    EXPECT_EQ(tube_pieces(color_scale(), {0, 0, 0}, {80, 0, 0}, 2, 2, 25.0f, 40.0f).size(), 1u);
}

TEST_F(ColorScaleTest, ColorScalePaletteHas31ColoursAndRepeatsPastThem)
{
    const std::vector<int> allowed = {0, 76, 95, 102, 127, 153, 204, 255};
    std::vector<Color> seen;
    for (int entry = 1; entry <= PALETTE_SIZE; ++entry) {
        const Color c = palette_color(entry);
        for (int v : {int(c.r), int(c.g), int(c.b)})
            EXPECT_NE(std::find(allowed.begin(), allowed.end(), v), allowed.end()) << entry;
        EXPECT_EQ(std::find(seen.begin(), seen.end(), c), seen.end()) << "entry " << entry << " repeats";
        seen.push_back(c);
    }
    // A legend of more than 31 entries goes round the palette.
    EXPECT_EQ(palette_color(32), palette_color(1));
    EXPECT_EQ(palette_color(62), palette_color(31));
    EXPECT_EQ(palette_color(0), palette_color(31));
}

TEST_F(ColorScaleTest, ColorScaleValuesComeFromTheCodeStressesOfTheResults)
{
    install_code_evaluation();
    piping_code() = CODE_B313;
    every_support_model();
    choose({LC_SUSTAINED});
    stress_display_flags().ratio_kind = RATIO_SUSTAINED;
    analyse();
    load_results(results_path, "");
    // The ratio view: 0 to 1 whatever the stresses.
    show_stress_ratios();
    EXPECT_FLOAT_EQ(color_scale_min(), 0.0f);
    EXPECT_FLOAT_EQ(color_scale_max(), 1.0f);
    EXPECT_TRUE(view_state().stress_ratio_colors);
    // The stress view: the range of the sorted stresses, each element's ends set.
    show_stresses();
    EXPECT_FALSE(view_state().stress_ratio_colors);
    EXPECT_TRUE(view_state().stress_colors);
    const StressColouring& c = stress_colouring();
    float smallest = 1e30f, largest = -1e30f;
    int with_values = 0;
    for (int e = 1; e <= c.values.size(); ++e) {
        if (!c.has_values[e])
            continue;
        ++with_values;
        for (float v : c.values[e]) {
            smallest = std::min(smallest, v);
            largest = std::max(largest, v);
        }
    }
    ASSERT_GT(with_values, 0);
    EXPECT_FLOAT_EQ(color_scale_min(), smallest);
    EXPECT_FLOAT_EQ(color_scale_max(), largest);
    hide_stresses();
    EXPECT_FALSE(stress_colors_shown());
}
