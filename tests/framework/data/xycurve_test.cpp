// Interpolation on x-y curves.
#include "framework/xycurve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

XYCurve curve_of(std::initializer_list<XYPair> pairs)
{
    XYCurve c;
    for (const XYPair& p : pairs)
        c.push_back(p.x, p.y);
    return c;
}

}  // namespace

TEST(XYCurve, InterpolatesBetweenPairsAndHoldsBeyondTheEnds)
{
    const XYCurve c = curve_of({{0.0f, 10.0f}, {1.0f, 20.0f}, {3.0f, 0.0f}});
    EXPECT_DOUBLE_EQ(c.value_at(0.5), 15.0);
    EXPECT_DOUBLE_EQ(c.value_at(2.0), 10.0);
    EXPECT_DOUBLE_EQ(c.value_at(2.5), 5.0);
    // at the pairs themselves
    EXPECT_DOUBLE_EQ(c.value_at(0.0), 10.0);
    EXPECT_DOUBLE_EQ(c.value_at(1.0), 20.0);
    EXPECT_DOUBLE_EQ(c.value_at(3.0), 0.0);
    // beyond the ends: held, not extrapolated
    EXPECT_DOUBLE_EQ(c.value_at(-5.0), 10.0);
    EXPECT_DOUBLE_EQ(c.value_at(1e30), 0.0);
}

TEST(XYCurve, EmptyAndSinglePairCurves)
{
    XYCurve c;
    EXPECT_EQ(c.value_at(1.0), 0.0);
    EXPECT_TRUE(c.is_sorted());
    c.push_back(2.0f, 7.0f);
    EXPECT_DOUBLE_EQ(c.value_at(-1.0), 7.0);
    EXPECT_DOUBLE_EQ(c.value_at(2.0), 7.0);
    EXPECT_DOUBLE_EQ(c.value_at(9.0), 7.0);
}

TEST(XYCurve, EqualXMakesAStep)
{
    const XYCurve c = curve_of({{0.0f, 0.0f}, {1.0f, 1.0f}, {1.0f, 5.0f}, {2.0f, 5.0f}});
    EXPECT_TRUE(c.is_sorted());
    EXPECT_DOUBLE_EQ(c.value_at(0.5), 0.5);   // rises to the first pair of the step
    EXPECT_DOUBLE_EQ(c.value_at(1.0), 5.0);   // at the step: the last pair's y
    EXPECT_DOUBLE_EQ(c.value_at(1.5), 5.0);
    const XYCurve all_same = curve_of({{1.0f, 1.0f}, {1.0f, 2.0f}});
    EXPECT_DOUBLE_EQ(all_same.value_at(1.0), 2.0);
    EXPECT_DOUBLE_EQ(all_same.value_at(0.0), 1.0);
    // An infinite end (a file may hold one) gives a y of the curve, never NaN.
    const XYCurve open_end = curve_of({{-INFINITY, 1.0f}, {0.0f, 2.0f}});
    EXPECT_DOUBLE_EQ(open_end.value_at(-1.0), 1.0);
}

TEST(XYCurve, OrderChecksAndSorting)
{
    XYCurve c = curve_of({{3.0f, 30.0f}, {1.0f, 10.0f}, {2.0f, 20.0f}, {1.0f, 11.0f}});
    EXPECT_FALSE(c.is_sorted());
    // Out of order: some value of the curve's range, never a fault.
    const double v = c.value_at(1.5);
    EXPECT_TRUE(v >= 10.0 && v <= 30.0) << v;
    c.sort_by_x();
    EXPECT_TRUE(c.is_sorted());
    EXPECT_EQ(c[0], (XYPair{1.0f, 10.0f}));  // equal x keep their order
    EXPECT_EQ(c[1], (XYPair{1.0f, 11.0f}));
    EXPECT_DOUBLE_EQ(c.value_at(2.5), 25.0);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    XYCurve n = curve_of({{nan, 1.0f}, {2.0f, 2.0f}, {1.0f, 1.0f}});
    EXPECT_FALSE(n.is_sorted());
    n.sort_by_x();
    EXPECT_EQ(n[0].x, 1.0f);
    EXPECT_TRUE(std::isnan(n[2].x));
    EXPECT_TRUE(std::isfinite(n.value_at(1.5)));
    EXPECT_TRUE(std::isfinite(n.value_at(1e9)));
}
