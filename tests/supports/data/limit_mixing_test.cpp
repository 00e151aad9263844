// The least squares that mix the samples of the friction limits' fixed
// point (least_squares, contact_solver.h) against answers worked by hand:
// a straight line fitted to points by the normal equations, columns that
// span b exactly, and dependent columns, of which the oldest is dropped.
#include "supports/contact_solver.h"

#include <gtest/gtest.h>

namespace {

TEST(ContactLimitMixing, FitsAStraightLineByTheNormalEquations)
{
    // b ~ c0 + c1 x at x = 0, 1, 2, 3. With n = 4, Sx = 6, Sxx = 14, Sy and
    // Sxy of the points, the normal equations give
    // c1 = (n Sxy - Sx Sy) / (n Sxx - Sx^2), c0 = (Sy - c1 Sx) / n.
    const std::vector<double> x = {0, 1, 2, 3}, b = {1.0, 2.9, 5.1, 7.0};
    double sy = 0, sxy = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        sy += b[i];
        sxy += x[i] * b[i];
    }
    const double c1 = (4 * sxy - 6 * sy) / (4 * 14 - 36), c0 = (sy - c1 * 6) / 4;
    const std::vector<double> c = least_squares({{1, 1, 1, 1}, x}, b);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_NEAR(c[0], c0, 1e-12);
    EXPECT_NEAR(c[1], c1, 1e-12);
}

TEST(ContactLimitMixing, SolvesColumnsThatSpanTheRightSideExactly)
{
    // b = 2 a0 - 3 a1 for two independent columns of different scales: the
    // residual is nil and the coefficients are those of the combination.
    const std::vector<double> a0 = {1.0, 0.5, -2.0}, a1 = {1.0e-3, 4.0e-3, 2.0e-3};
    std::vector<double> b(3);
    for (std::size_t i = 0; i < 3; ++i)
        b[i] = 2 * a0[i] - 3 * a1[i];
    const std::vector<double> c = least_squares({a0, a1}, b);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_NEAR(c[0], 2.0, 1e-10);
    EXPECT_NEAR(c[1], -3.0, 1e-7);
}

TEST(ContactLimitMixing, DropsTheOldestOfDependentColumns)
{
    // a1 = 2 a0: a0 goes with a coefficient of 0, and a1 alone gives
    // c1 = a1.b / a1.a1 = (2 + 4 + 6) / (4 + 16 + 36) (the projection on one
    // column). A column of zeros is dependent as well, and no columns give
    // no coefficients.
    const std::vector<double> a0 = {1, 2, 3}, a1 = {2, 4, 6}, b = {1, 1, 1};
    std::vector<double> c = least_squares({a0, a1}, b);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], 0.0);
    EXPECT_NEAR(c[1], 12.0 / 56.0, 1e-12);
    c = least_squares({{0, 0, 0}, a1}, b);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], 0.0);
    EXPECT_NEAR(c[1], 12.0 / 56.0, 1e-12);
    c = least_squares({a1, {0, 0, 0}}, b);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], 0.0);
    EXPECT_EQ(c[1], 0.0);
    EXPECT_TRUE(least_squares({}, b).empty());
}

}  // namespace
