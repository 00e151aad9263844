// Functions of the angle theta of a circular arc, as the closed forms of a
// curved element are made of them: linear combinations, with rational
// coefficients, of theta^p, theta^p sin(m theta) and theta^p cos(m theta)
// (p = 0..2, m = 1 or 2).
//
// Many of these combinations vanish to a high order as theta goes to 0
// (2 theta - sin 2 theta is of order theta^3, the bending term of an arc's
// axial flexibility of order theta^5), so that their direct evaluation loses
// all precision for a nearly straight arc. Below ARC_SERIES_LIMIT a
// combination is therefore evaluated from its Taylor series. The series
// coefficients are summed exactly in integers (over the common denominator
// n! times the coefficients' denominators) when the combination is built, so
// that the orders which vanish cancel exactly and the leading order that
// remains carries full precision down to any small angle. Above the limit the
// direct form loses at most a few digits (about 1e-12 at the limit for the
// combinations of the bend element).
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numeric>

enum class ArcFactor : uint8_t { One, Sin, Cos };

// num/den times theta^power times factor(multiple theta).
struct ArcTerm {
    int64_t num = 0;
    int64_t den = 1;
    int power = 0;
    ArcFactor factor = ArcFactor::One;
    int multiple = 1;
};

// c theta^p, c sin(m theta) theta^p, c cos(m theta) theta^p with c = num/den.
constexpr ArcTerm arc_power(int64_t num, int64_t den, int power) { return {num, den, power, ArcFactor::One, 1}; }
constexpr ArcTerm arc_sin(int64_t num, int64_t den, int multiple, int power = 0)
{
    return {num, den, power, ArcFactor::Sin, multiple};
}
constexpr ArcTerm arc_cos(int64_t num, int64_t den, int multiple, int power = 0)
{
    return {num, den, power, ArcFactor::Cos, multiple};
}

// Below this angle (radian) combinations are summed from their series.
inline constexpr double ARC_SERIES_LIMIT = 0.5;
// The highest power of theta in the series. At the limit angle the first
// term left out is below 1e-20 of the combination's value.
inline constexpr int ARC_SERIES_ORDER = 25;

// The trigonometric values of one arc angle, computed once for an element.
struct ArcAngle {
    double theta = 0.0;
    double s1 = 0.0, c1 = 1.0;   // sin theta, cos theta
    double s2 = 0.0, c2 = 1.0;   // sin 2 theta, cos 2 theta
    bool series = true;

    ArcAngle() = default;
    explicit ArcAngle(double angle)
        : theta(angle), s1(std::sin(angle)), c1(std::cos(angle)), s2(std::sin(2.0 * angle)),
          c2(std::cos(2.0 * angle)), series(std::fabs(angle) < ARC_SERIES_LIMIT)
    {
    }
};

class ArcFunction {
public:
    static constexpr std::size_t MAX_TERMS = 8;

    template <std::size_t N>
    constexpr ArcFunction(const ArcTerm (&terms)[N]) : count_(N)
    {
        static_assert(N >= 1 && N <= MAX_TERMS);
        for (std::size_t i = 0; i < N; ++i)
            terms_[i] = terms[i];
        build_series();
    }

    double operator()(const ArcAngle& angle) const
    {
        return angle.series ? from_series(angle.theta) : direct(angle);
    }

    // The coefficient of theta^n in the series (n = 0..ARC_SERIES_ORDER).
    constexpr double series_coefficient(int n) const { return series_[static_cast<std::size_t>(n)]; }

private:
    constexpr void build_series()
    {
        int64_t common = 1;   // least common multiple of the denominators
        for (std::size_t i = 0; i < count_; ++i) {
            const ArcTerm& t = terms_[i];
            if (t.den <= 0 || t.power < 0 || t.power > 2 || t.multiple < 1 || t.multiple > 2)
                throw "invalid arc term";   // a constant-evaluation error at compile time
            common = std::lcm(common, t.den);
        }
        double factorial = 1.0;   // n!
        for (int n = 0; n <= ARC_SERIES_ORDER; ++n) {
            if (n > 0)
                factorial *= n;
            // The numerator over n! * common, summed exactly.
            int64_t sum = 0;
            for (std::size_t i = 0; i < count_; ++i) {
                const ArcTerm& t = terms_[i];
                const int k = n - t.power;   // order within the factor's own series
                if (k < 0)
                    continue;
                int64_t sign = 1;
                if (t.factor == ArcFactor::One) {
                    if (k != 0)
                        continue;
                } else if (t.factor == ArcFactor::Sin) {
                    if (k % 2 == 0)
                        continue;
                    sign = ((k - 1) / 2) % 2 == 0 ? 1 : -1;
                } else {
                    if (k % 2 != 0)
                        continue;
                    sign = (k / 2) % 2 == 0 ? 1 : -1;
                }
                int64_t value = t.num * (common / t.den) * sign;
                for (int j = 0; j < k; ++j)
                    value *= t.multiple;   // m^k
                for (int j = k + 1; j <= n; ++j)
                    value *= j;            // n!/k!
                sum += value;
            }
            series_[static_cast<std::size_t>(n)] =
                static_cast<double>(sum) / (factorial * static_cast<double>(common));
        }
    }

    double from_series(double theta) const
    {
        double sum = 0.0;
        for (int n = ARC_SERIES_ORDER; n >= 0; --n)
            sum = sum * theta + series_[static_cast<std::size_t>(n)];
        return sum;
    }

    double direct(const ArcAngle& a) const
    {
        double sum = 0.0;
        for (std::size_t i = 0; i < count_; ++i) {
            const ArcTerm& t = terms_[i];
            double value = static_cast<double>(t.num) / static_cast<double>(t.den);
            for (int j = 0; j < t.power; ++j)
                value *= a.theta;
            if (t.factor == ArcFactor::Sin)
                value *= t.multiple == 1 ? a.s1 : a.s2;
            else if (t.factor == ArcFactor::Cos)
                value *= t.multiple == 1 ? a.c1 : a.c2;
            sum += value;
        }
        return sum;
    }

    std::array<ArcTerm, MAX_TERMS> terms_{};
    std::size_t count_ = 0;
    std::array<double, ARC_SERIES_ORDER + 1> series_{};
};
