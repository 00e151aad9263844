// Interpolation and ordering of x-y curves.
#include "framework/xycurve.h"

#include <algorithm>
#include <cmath>

bool XYCurve::is_sorted() const
{
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        if (pairs_[i].x != pairs_[i].x)
            return false;
        if (i > 0 && pairs_[i].x < pairs_[i - 1].x)
            return false;
    }
    return true;
}

void XYCurve::sort_by_x()
{
    // NaN sorts after every number, which keeps the ordering strict and weak.
    std::stable_sort(pairs_.begin(), pairs_.end(), [](const XYPair& a, const XYPair& b) {
        if (a.x != a.x)
            return false;
        if (b.x != b.x)
            return true;
        return a.x < b.x;
    });
}

double XYCurve::value_at(double x) const
{
    const std::size_t n = pairs_.size();
    if (n == 0)
        return 0.0;

    // First pair whose x is above the given x (n when none).
    std::size_t low = 0, high = n;
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (static_cast<double>(pairs_[mid].x) > x)
            high = mid;
        else
            low = mid + 1;
    }
    if (low == 0)
        return pairs_[0].y;
    if (low == n)
        return pairs_[n - 1].y;

    const XYPair& a = pairs_[low - 1];
    const XYPair& b = pairs_[low];
    const double dx = static_cast<double>(b.x) - a.x;
    if (!(dx > 0.0) || !std::isfinite(dx))
        return a.y;  // only on a curve out of order, or one with an infinite end
    const double t = (x - a.x) / dx;
    return a.y + t * (static_cast<double>(b.y) - a.y);
}
