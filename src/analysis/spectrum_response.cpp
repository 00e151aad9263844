#include "analysis/spectrum_response.h"

#include "framework/errors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double ordinate_at(const SpectrumCurve& s, double x)
{
    return curve_value(s.points, x, s.logarithmic);
}

}  // namespace

double curve_value(const std::vector<std::array<double, 2>>& p, double x, bool logarithmic)
{
    if (p.empty())
        return 0.0;
    if (x <= p.front()[0])
        return p.front()[1];
    if (x >= p.back()[0])
        return p.back()[1];
    const auto upper = std::upper_bound(p.begin(), p.end(), x,
                                        [](double value, const std::array<double, 2>& point) { return value < point[0]; });
    const auto& b = *upper;
    const auto& a = *(upper - 1);
    if (b[0] <= a[0])
        return b[1];
    if (logarithmic && a[0] > 0.0 && a[1] > 0.0 && b[1] > 0.0) {
        const double t = std::log(x / a[0]) / std::log(b[0] / a[0]);
        return a[1] * std::pow(b[1] / a[1], t);
    }
    return a[1] + (b[1] - a[1]) * (x - a[0]) / (b[0] - a[0]);
}

double spectrum_ordinate(const SpectrumCurve& s, double hertz)
{
    if (s.period)
        return hertz > 0.0 ? ordinate_at(s, 1.0 / hertz) : (s.points.empty() ? 0.0 : s.points.back()[1]);
    return ordinate_at(s, hertz);
}

double spectral_acceleration(const SpectrumCurve& s, double hertz)
{
    const double value = spectrum_ordinate(s, hertz);
    const double w = 2.0 * std::numbers::pi * hertz;
    switch (s.ordinate) {
    case SpectrumCurve::VELOCITY: return w * value;
    case SpectrumCurve::DISPLACEMENT: return w * w * value;
    default: return value;
    }
}

double spectrum_rigid_frequency(const SpectrumCurve& s)
{
    if (s.points.empty())
        return 0.0;
    if (!s.period)
        return s.points.back()[0];
    return s.points.front()[0] > 0.0 ? 1.0 / s.points.front()[0] : 0.0;
}

double spectrum_rigid_acceleration(const SpectrumCurve& s)
{
    if (s.points.empty())
        return 0.0;
    const double f = spectrum_rigid_frequency(s);
    if (f > 0.0)
        return spectral_acceleration(s, f);
    // A period spectrum that starts at period 0: its first value.
    return s.ordinate == SpectrumCurve::ACCELERATION || s.ordinate == SpectrumCurve::LOAD_FACTOR ? s.points.front()[1]
                                                                                                 : 0.0;
}

double cqc_correlation(double wi, double wj, double damping)
{
    if (!(wi > 0.0) || !(wj > 0.0))
        return wi == wj ? 1.0 : 0.0;
    const double r = wj / wi;
    if (r == 1.0)
        return 1.0;
    const double z2 = damping * damping;
    const double num = 8.0 * z2 * (1.0 + r) * std::pow(r, 1.5);
    const double den = (1.0 - r * r) * (1.0 - r * r) + 4.0 * z2 * r * (1.0 + r) * (1.0 + r);
    return den > 0.0 ? num / den : 1.0;
}

ModalCombiner::ModalCombiner(std::span<const double> frequencies, int method, double damping, double closely_spaced)
    : modes_(static_cast<int>(frequencies.size())), method_(method)
{
    if (method_ != MODAL_CQC && method_ != MODAL_TEN_PERCENT)
        return;
    for (int i = 0; i < modes_; ++i)
        for (int j = i + 1; j < modes_; ++j) {
            const double fi = frequencies[static_cast<std::size_t>(i)];
            const double fj = frequencies[static_cast<std::size_t>(j)];
            if (method_ == MODAL_CQC) {
                const double rho = cqc_correlation(2.0 * std::numbers::pi * fi, 2.0 * std::numbers::pi * fj, damping);
                // Pairs that add less than a millionth of their product are left out.
                if (std::fabs(rho) > 1.0e-6)
                    pairs_.push_back({i, j, 2.0 * rho});
            } else {
                const double low = std::min(fi, fj), high = std::max(fi, fj);
                if (high - low <= closely_spaced * low)
                    pairs_.push_back({i, j, 2.0});
            }
        }
}

double ModalCombiner::combine(std::span<const double> values) const
{
    if (method_ == MODAL_ABSOLUTE) {
        double sum = 0.0;
        for (double v : values)
            sum += std::fabs(v);
        return sum;
    }
    double sum = 0.0;
    for (double v : values)
        sum += v * v;
    for (const Pair& p : pairs_) {
        const double product = values[static_cast<std::size_t>(p.i)] * values[static_cast<std::size_t>(p.j)];
        sum += p.factor * (method_ == MODAL_TEN_PERCENT ? std::fabs(product) : product);
    }
    // The CQC of well-separated modes cannot fall below 0 but for rounding.
    return std::sqrt(std::max(0.0, sum));
}

std::vector<double> ModalCombiner::combine(const std::vector<std::vector<double>>& unit, std::span<const double> c) const
{
    KV_ASSERT(unit.size() == c.size() && static_cast<int>(c.size()) == modes_);
    if (unit.empty())
        return {};
    const std::size_t size = unit.front().size();
    std::vector<double> out(size, 0.0);
    std::vector<double> values(unit.size());
    for (std::size_t k = 0; k < size; ++k) {
        for (std::size_t i = 0; i < unit.size(); ++i)
            values[i] = c[i] * unit[i][k];
        out[k] = combine(values);
    }
    return out;
}

double combine_two(double a, double b, int combination)
{
    return combination == COMBINE_ABSOLUTE ? std::fabs(a) + std::fabs(b) : std::sqrt(a * a + b * b);
}

std::vector<double> combine_parts(const std::vector<std::vector<double>>& parts, int combination)
{
    if (parts.empty())
        return {};
    std::vector<double> out(parts.front().size(), 0.0);
    for (std::size_t k = 0; k < out.size(); ++k) {
        double total = 0.0;
        for (const std::vector<double>& p : parts)
            total = combination == COMBINE_ABSOLUTE ? total + std::fabs(p[k]) : total + p[k] * p[k];
        out[k] = combination == COMBINE_ABSOLUTE ? total : std::sqrt(total);
    }
    return out;
}
