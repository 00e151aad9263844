// The code-stress display state: captions of the coloured views, the marks'
// thresholds (a negative stress threshold is a threshold like any other),
// and nothing shown at start-up.
#include "codes/stress_display.h"
#include "model/piping_codes.h"

#include <gtest/gtest.h>

TEST(CodeStressDisplay, CaptionsOfEveryStressKind)
{
    EXPECT_EQ(stress_view_caption(CODE_NONE, 0), "Von Mises stress");
    EXPECT_EQ(stress_view_caption(CODE_NONE, 1), "Maximum stress");
    EXPECT_EQ(stress_view_caption(CODE_NONE, 2), "Minimum stress");
    EXPECT_EQ(stress_view_caption(CODE_B313, RATIO_SUSTAINED), "Sustained stress");
    EXPECT_EQ(stress_view_caption(CODE_B311, RATIO_EXPANSION), "Expansion stress");
    EXPECT_EQ(stress_view_caption(CODE_B313, RATIO_OCCASIONAL_STATIC), "Occasional stress");
    EXPECT_EQ(stress_view_caption(CODE_B313, RATIO_OCCASIONAL), "Occasional stress");
    EXPECT_EQ(stress_ratio_view_caption(CODE_B315, RATIO_SUSTAINED), "Sustained stress ratio");
}

TEST(CodeStressDisplay, ThresholdsMarkOnlyWhatLiesAbove)
{
    const StressDisplayFlags start = stress_display_flags();
    EXPECT_FALSE(start.stresses_shown || start.ratios_shown);
    EXPECT_EQ(start.ratio_kind, RATIO_EXPANSION);
    // Not set: everything is marked.
    EXPECT_TRUE(stress_marked(-5.0));
    EXPECT_TRUE(ratio_marked(0.1));
    stress_display_flags().stress_threshold = 15000.0f;
    stress_display_flags().ratio_threshold = 80.0f;
    EXPECT_FALSE(stress_marked(15000.0));
    EXPECT_TRUE(stress_marked(15000.5));
    EXPECT_FALSE(ratio_marked(79.9));
    EXPECT_TRUE(ratio_marked(80.1));
    stress_display_flags().stress_threshold = -2000.0f;
    EXPECT_TRUE(stress_marked(-1000.0));
    EXPECT_FALSE(stress_marked(-3000.0));
    reset_stress_display();
    EXPECT_EQ(stress_display_flags().stress_threshold, 0.0f);
}
