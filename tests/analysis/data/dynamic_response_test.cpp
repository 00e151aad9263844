// The single-mode pieces of the dynamic analyses, alone: a spectrum read at
// a frequency along its own axes, the combination of modes (SRSS, CQC, ten
// percent, absolute sum) and of directions, the exact integration of a modal
// equation under a ramp and a step (with and without damping), and the
// steady state of a harmonic load at and near resonance. Each against its
// closed form, worked here.
#include "analysis/spectrum_response.h"
#include "analysis/time_integration.h"
#include "closeness.h"
#include "framework/data/thrown_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;

SpectrumCurve curve(bool period, int ordinate, bool logarithmic, std::vector<std::array<double, 2>> points)
{
    SpectrumCurve s;
    s.name = "S";
    s.period = period;
    s.ordinate = ordinate;
    s.logarithmic = logarithmic;
    s.points = std::move(points);
    return s;
}

}  // namespace

TEST(ResponseSpectrumCurve, OrdinatesFollowTheSpectrumsOwnAxes)
{
    // Over frequency, linear: half way from (1, 100) to (10, 200) at 5.5 Hz;
    // held beyond both ends.
    const SpectrumCurve f = curve(false, SpectrumCurve::ACCELERATION, false, {{1.0, 100.0}, {10.0, 200.0}});
    EXPECT_DOUBLE_EQ(spectrum_ordinate(f, 5.5), 150.0);
    EXPECT_DOUBLE_EQ(spectrum_ordinate(f, 0.2), 100.0);
    EXPECT_DOUBLE_EQ(spectrum_ordinate(f, 50.0), 200.0);
    EXPECT_DOUBLE_EQ(spectrum_rigid_frequency(f), 10.0);
    EXPECT_DOUBLE_EQ(spectrum_rigid_acceleration(f), 200.0);

    // Over period: 2 Hz is the period 0.5 s, 4/9 of the way from 1.0 s
    // (100) to 0.1 s (300).
    const SpectrumCurve t = curve(true, SpectrumCurve::ACCELERATION, false, {{0.1, 300.0}, {1.0, 100.0}});
    EXPECT_NEAR(spectrum_ordinate(t, 2.0), 100.0 + 200.0 * 0.5 / 0.9, 1e-12);
    // The highest frequency is 1 / 0.1 s, where the value is the first one.
    EXPECT_DOUBLE_EQ(spectrum_rigid_frequency(t), 10.0);
    EXPECT_DOUBLE_EQ(spectrum_rigid_acceleration(t), 300.0);

    // Log-log: from (1, 10) to (100, 1000) is the power law 10 f, so 100 at
    // 10 Hz (not the 505 of a straight line).
    const SpectrumCurve l = curve(false, SpectrumCurve::ACCELERATION, true, {{1.0, 10.0}, {100.0, 1000.0}});
    EXPECT_NEAR(spectrum_ordinate(l, 10.0), 100.0, 1e-9);

    // A velocity spectrum gives w Sv, a displacement spectrum w^2 Sd.
    const SpectrumCurve v = curve(false, SpectrumCurve::VELOCITY, false, {{0.1, 10.0}, {100.0, 10.0}});
    EXPECT_NEAR(spectral_acceleration(v, 2.0), 2 * PI * 2.0 * 10.0, 1e-9);
    const SpectrumCurve d = curve(false, SpectrumCurve::DISPLACEMENT, false, {{0.1, 0.5}, {100.0, 0.5}});
    EXPECT_NEAR(spectral_acceleration(d, 3.0), std::pow(2 * PI * 3.0, 2) * 0.5, 1e-9);
    // A spectrum without points gives nothing.
    EXPECT_EQ(spectral_acceleration(curve(false, 0, false, {}), 5.0), 0.0);
}

TEST(ModalCombination, SrssAbsoluteAndTenPercentOfKnownValues)
{
    const std::vector<double> values = {3.0, -4.0};
    const std::vector<double> apart = {10.0, 12.0};     // 20 % apart
    const std::vector<double> close = {10.0, 10.5};     // 5 % apart
    EXPECT_DOUBLE_EQ(ModalCombiner(apart, MODAL_SRSS, 0.05, 0.1).combine(values), 5.0);
    EXPECT_DOUBLE_EQ(ModalCombiner(apart, MODAL_ABSOLUTE, 0.05, 0.1).combine(values), 7.0);
    // Ten percent: sqrt(9 + 16 + 2 |3 x -4|) = 7 for the close pair, SRSS
    // for the pair apart.
    EXPECT_DOUBLE_EQ(ModalCombiner(close, MODAL_TEN_PERCENT, 0.05, 0.1).combine(values), 7.0);
    EXPECT_DOUBLE_EQ(ModalCombiner(apart, MODAL_TEN_PERCENT, 0.05, 0.1).combine(values), 5.0);
    // Result by result over unit responses scaled by the modes' factors.
    const std::vector<std::vector<double>> unit = {{1.0, 2.0}, {1.0, -1.0}};
    const std::vector<double> c = {3.0, 4.0};
    const std::vector<double> r = ModalCombiner(apart, MODAL_SRSS, 0.05, 0.1).combine(unit, c);
    EXPECT_DOUBLE_EQ(r[0], 5.0);
    EXPECT_DOUBLE_EQ(r[1], std::sqrt(36.0 + 16.0));
    // Directions: SRSS and absolute sum.
    const std::vector<double> both = combine_parts({{3.0, -1.0}, {-4.0, 1.0}}, COMBINE_SRSS);
    EXPECT_DOUBLE_EQ(both[0], 5.0);
    EXPECT_DOUBLE_EQ(both[1], std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(combine_parts({{3.0, -1.0}, {-4.0, 1.0}}, COMBINE_ABSOLUTE)[0], 7.0);
    EXPECT_DOUBLE_EQ(combine_two(3.0, -4.0, COMBINE_SRSS), 5.0);
    EXPECT_DOUBLE_EQ(combine_two(3.0, -4.0, COMBINE_ABSOLUTE), 7.0);
}

TEST(ModalCombination, CqcCorrelationIsThatOfTwoModesUnderWhiteNoise)
{
    // The CQC coefficient is the correlation of two modal responses to a
    // white noise (Der Kiureghian, 1981): the integral over the frequency
    // of Re(H_i H_j*) over the root of the integrals of |H_i|^2 and |H_j|^2,
    // H = 1 / (w_n^2 - w^2 + 2 i z w_n w); integrated here by Simpson's rule.
    auto correlation = [](double wi, double wj, double z) {
        const int n = 200000;
        const double top = 40.0 * std::max(wi, wj), h = top / n;
        double ij = 0.0, ii = 0.0, jj = 0.0;
        for (int k = 0; k <= n; ++k) {
            const double w = k * h, weight = (k == 0 || k == n) ? 1.0 : (k % 2 ? 4.0 : 2.0);
            const std::complex<double> hi = 1.0 / std::complex<double>(wi * wi - w * w, 2 * z * wi * w);
            const std::complex<double> hj = 1.0 / std::complex<double>(wj * wj - w * w, 2 * z * wj * w);
            ij += weight * (hi * std::conj(hj)).real();
            ii += weight * std::norm(hi);
            jj += weight * std::norm(hj);
        }
        return ij / std::sqrt(ii * jj);
    };
    for (const auto& [wi, wj, z] : std::vector<std::array<double, 3>>{
             {10.0, 11.0, 0.05}, {10.0, 12.0, 0.02}, {10.0, 20.0, 0.05}, {5.0, 5.2, 0.10}})
        EXPECT_NEAR(cqc_correlation(wi, wj, z), correlation(wi, wj, z), 2e-5) << wi << " " << wj << " " << z;
    EXPECT_DOUBLE_EQ(cqc_correlation(7.0, 7.0, 0.05), 1.0);
    EXPECT_DOUBLE_EQ(cqc_correlation(7.0, 9.0, 0.05), cqc_correlation(9.0, 7.0, 0.05));
    // Two modes of equal frequency add as one (3 + 4 = 7); far apart, SRSS.
    const std::vector<double> same = {5.0, 5.0};
    EXPECT_NEAR(ModalCombiner(same, MODAL_CQC, 0.05, 0.1).combine(std::vector<double>{3.0, 4.0}), 7.0, 1e-12);
    const std::vector<double> far = {1.0, 50.0};
    EXPECT_NEAR(ModalCombiner(far, MODAL_CQC, 0.05, 0.1).combine(std::vector<double>{3.0, 4.0}), 5.0, 1e-3);
}

TEST(ModalTimeHistory, RampLoadOnAnUndampedOscillatorMatchesTheClosedForm)
{
    // p(t) rises linearly to p0 at tr and stays (Chopra, "Dynamics of
    // Structures", sections 4.4 and 4.5): u = p0/k (t/tr - sin wt / (w tr))
    // up to tr, then p0/k (1 - (sin wt - sin w(t - tr)) / (w tr)).
    const double w = 2 * PI * 3.0, k = w * w, p0 = 50.0, tr = 0.4, dt = 0.0025;
    std::vector<double> loads;
    for (int s = 0; s <= 800; ++s)
        loads.push_back(p0 * std::min(1.0, s * dt / tr));
    const std::vector<double> q = integrate_modal_equation(w, 0.0, dt, loads);
    for (int s = 0; s <= 800; s += 7) {
        const double t = s * dt;
        const double exact = t <= tr ? p0 / k * (t / tr - std::sin(w * t) / (w * tr))
                                     : p0 / k * (1.0 - (std::sin(w * t) - std::sin(w * (t - tr))) / (w * tr));
        EXPECT_NEAR(q[static_cast<std::size_t>(s)], exact, 1e-12 * p0 / k) << t;
    }
}

TEST(ModalTimeHistory, StepLoadWithDampingAndCriticalDamping)
{
    // A step p0 from rest (Chopra, "Dynamics of Structures", section 4.3, the damped system):
    // u = p0/k (1 - e^(-z w t) (cos wd t + z / sqrt(1 - z^2) sin wd t));
    // critically damped: p0/k (1 - e^(-w t) (1 + w t)).
    const double w = 2 * PI * 5.0, k = w * w, p0 = 7.0, dt = 0.001;
    const std::vector<double> loads(301, p0);
    for (double z : {0.05, 0.3}) {
        const std::vector<double> q = integrate_modal_equation(w, z, dt, loads);
        const double wd = w * std::sqrt(1 - z * z);
        for (int s = 0; s <= 300; s += 13) {
            const double t = s * dt;
            const double exact =
                p0 / k * (1 - std::exp(-z * w * t) * (std::cos(wd * t) + z / std::sqrt(1 - z * z) * std::sin(wd * t)));
            EXPECT_NEAR(q[static_cast<std::size_t>(s)], exact, 1e-12 * p0 / k) << z << " " << t;
        }
    }
    const std::vector<double> q = integrate_modal_equation(w, 1.0, dt, loads);
    for (int s = 0; s <= 300; s += 13) {
        const double t = s * dt;
        EXPECT_NEAR(q[static_cast<std::size_t>(s)], p0 / k * (1 - std::exp(-w * t) * (1 + w * t)), 1e-12 * p0 / k);
    }
}

TEST(HarmonicResponse, ReceptanceAtAndNearResonance)
{
    // The steady amplitude of p0 cos Wt on k, m, z: p0/k / sqrt((1 - r^2)^2
    // + (2 z r)^2), r = W/w, lagging by atan(2 z r / (1 - r^2)) (Chopra,
    // section 3.2); at resonance p0 / (2 z k), a quarter period behind.
    const double w = 2 * PI * 4.0, k = w * w, z = 0.02;
    for (double r : {0.5, 0.97, 1.0, 1.03, 2.0}) {
        const std::complex<double> h = harmonic_receptance(w, z, r * w);
        expect_relative(std::abs(h) * k, 1.0 / std::sqrt(std::pow(1 - r * r, 2) + std::pow(2 * z * r, 2)), 1e-12, "amplitude");
        expect_relative(-std::arg(h), std::atan2(2 * z * r, 1 - r * r), 1e-12, "lag");
    }
    expect_relative(std::abs(harmonic_receptance(w, z, w)) * k, 1.0 / (2 * z), 1e-12, "resonance");
    EXPECT_EQ(thrown_text([&] { harmonic_receptance(w, 0.0, w); }),
              "The harmonic load at 4 Hz lies on a natural frequency of the model and there is no damping: its "
              "response is unbounded");
}

TEST(HarmonicResponse, IntegrationFromRestSettlesToTheSteadyAmplitude)
{
    // The time integration of a harmonic load, long after its start, swings
    // with the receptance's amplitude: two independent roads to one answer.
    const double w = 2 * PI * 2.0, z = 0.05, forcing = 0.9 * w, dt = 0.001;
    std::vector<double> loads;
    for (int s = 0; s <= 60000; ++s)
        loads.push_back(std::cos(forcing * s * dt));
    const std::vector<double> q = integrate_modal_equation(w, z, dt, loads);
    double largest = 0.0;
    for (std::size_t s = 55000; s < q.size(); ++s)
        largest = std::max(largest, std::fabs(q[s]));
    expect_relative(largest, std::abs(harmonic_receptance(w, z, forcing)), 1e-4, "steady amplitude");
}
