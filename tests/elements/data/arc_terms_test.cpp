// The stable evaluation of arc-angle combinations: exact cancellation of the
// vanishing orders and agreement of the series and direct forms where they
// meet.
#include "elements/arc_terms.h"

#include <gtest/gtest.h>

TEST(ArcTerms, SeriesCancelsExactlyAndMeetsTheDirectForm)
{
    // 9 cos 2t + 4 t sin 2t + 2 t^2 + 7 - 16 cos t = 13 t^6/45 - 113 t^8/2520 + ...
    // (its value at t = 0.5 is 0.00434173218308701205 by a 40-digit
    // evaluation; at 1e-6 its first two terms hold to 1e-24).
    constexpr ArcTerm terms[] = {arc_cos(9, 1, 2), arc_sin(4, 1, 2, 1), arc_power(2, 1, 2), arc_power(7, 1, 0),
                                 arc_cos(-16, 1, 1)};
    constexpr ArcFunction f{terms};
    static_assert(f.series_coefficient(0) == 0 && f.series_coefficient(2) == 0 && f.series_coefficient(4) == 0);
    for (int n = 0; n < 6; ++n)
        EXPECT_EQ(f.series_coefficient(n), 0.0) << n;
    EXPECT_DOUBLE_EQ(f.series_coefficient(6), 13.0 / 45.0);
    EXPECT_DOUBLE_EQ(f.series_coefficient(8), -113.0 / 2520.0);
    EXPECT_EQ(f.series_coefficient(7), 0.0);

    ArcAngle at(0.5);
    ASSERT_FALSE(at.series);   // the limit itself takes the direct form
    const double direct = f(at);
    at.series = true;
    const double series = f(at);
    EXPECT_NEAR(direct, 0.00434173218308701205, 1e-12 * 0.00434);
    EXPECT_NEAR(series, 0.00434173218308701205, 1e-15 * 0.00434);
    EXPECT_NEAR(f(ArcAngle(1e-6)), 13e-36 / 45 - 113e-48 / 2520, 1e-15 * 2.89e-37);

    // A term with a denominator: (2t - sin 2t)/4 = t^3/3 - t^5/15 + ...
    constexpr ArcTerm quarter[] = {arc_power(1, 2, 1), arc_sin(-1, 4, 2)};
    constexpr ArcFunction g{quarter};
    EXPECT_DOUBLE_EQ(g.series_coefficient(3), 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(g.series_coefficient(5), -1.0 / 15.0);
    EXPECT_NEAR(g(ArcAngle(0.3)), (0.6 - std::sin(0.6)) / 4, 1e-16);
}
