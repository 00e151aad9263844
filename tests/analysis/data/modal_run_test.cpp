// Modal analyses of whole runs against closed forms and the frame
// computation of the fixture: a cantilevered and a simply supported pipe
// span (Euler-Bernoulli, and the program's Timoshenko elements with lumped
// masses to the digits), the participation factors and effective masses
// summing to the total mass, and what a model without mass or with fewer
// masses than modes asked gets.
#include "analysis/data/modal_fixture.h"

#include <numbers>

using namespace analysis_test;

namespace {

class ModalAnalysis : public ModalTest {
protected:
    // A pipe of n elements of length l along X, rows 10, 20, ...; every node
    // held in Z (so that the bending modes of the XY plane are the lowest
    // and none is repeated in XZ).
    void straight_span(int n, double l, bool simply_supported)
    {
        if (simply_supported) {
            from(10);
            restrain(1, {0, 1, 2, 3});
        } else {
            anchored_from(10);
        }
        for (int e = 1; e <= n; ++e) {
            const int r = pipe(10 * (e + 1), static_cast<float>(l), 0, 0);
            restrain(r, e == n && simply_supported ? std::initializer_list<int>{1, 2} : std::initializer_list<int>{2});
        }
        choose({LC_MODAL});
    }
    // The planar frame of that span.
    PlanarPipe planar(int n, double l, bool simply_supported) const
    {
        PlanarPipe p(steel, n, l, steel.weight);
        if (simply_supported) {
            p.hold(0, 0);
            p.hold(0, 1);
            p.hold(n, 1);
        } else {
            for (int d = 0; d < 3; ++d)
                p.hold(0, d);
        }
        return p;
    }
    // sqrt(EI / m) of the pipe, m its mass per length.
    double beam_constant() const { return std::sqrt(steel.e * steel.inertia / (steel.weight / G_ACCELERATION)); }
};

}  // namespace

TEST_F(ModalAnalysis, CantileverSpanMatchesTheFrameComputationAndEulerBernoulli)
{
    const int n = 24;
    const double l = 20.0, span = n * l;
    straight_span(n, l, false);
    analysis_options().number_of_modes = 4;
    run_dynamics();
    ASSERT_EQ(modes.frequencies.size(), 4u);
    // The program's elements and masses: the frame computation's modes.
    const std::vector<double> frame = planar(n, l, false).frequencies();
    for (std::size_t i = 0; i < 4; ++i)
        expect_relative(modes.frequencies[i], frame[i], 1e-8, "frame mode " + std::to_string(i + 1));
    // Euler-Bernoulli (Blevins, "Formulas for Natural Frequency and Mode
    // Shape", table 8-1, clamped-free): f = lambda^2 / (2 pi L^2) sqrt(EI/m),
    // lambda = 1.87510407, 4.69409113. The lumped masses and the shear of
    // the Timoshenko elements keep the frame a little below: within 0.5 %
    // here (the shear lowers mode i by terms in (lambda_i r / L)^2, r the
    // pipe's radius of gyration).
    const double lambda[] = {1.87510407, 4.69409113};
    for (std::size_t i = 0; i < 2; ++i) {
        const double eb = lambda[i] * lambda[i] / (2 * std::numbers::pi * span * span) * beam_constant();
        expect_relative(modes.frequencies[i], eb, 5e-3, "Euler-Bernoulli mode " + std::to_string(i + 1));
        EXPECT_LT(modes.frequencies[i], eb);
    }
}

TEST_F(ModalAnalysis, SimplySupportedSpanByLanczosMatchesTheFrameComputationAndEulerBernoulli)
{
    // 110 elements: 333 massed freedoms, more than are solved whole, so the
    // Lanczos iterations and the Sturm check of a real run find them.
    const int n = 110;
    const double l = 6.0, span = n * l;
    straight_span(n, l, true);
    analysis_options().number_of_modes = 5;
    run_dynamics();
    ASSERT_EQ(modes.frequencies.size(), 5u);
    // Both solutions work on a stiffness whose supports (1.0e12) are some
    // 1e12 times its softest mode: they agree to 1e-7.
    const std::vector<double> frame = planar(n, l, true).frequencies();
    for (std::size_t i = 0; i < 5; ++i)
        expect_relative(modes.frequencies[i], frame[i], 1e-7, "frame mode " + std::to_string(i + 1));
    // Euler-Bernoulli, pinned-pinned: f_i = i^2 pi / (2 L^2) sqrt(EI/m).
    for (int i = 1; i <= 3; ++i) {
        const double eb = i * i * std::numbers::pi / (2 * span * span) * beam_constant();
        expect_relative(modes.frequencies[static_cast<std::size_t>(i - 1)], eb, 5e-3, "Euler-Bernoulli");
    }
}

TEST_F(ModalAnalysis, ParticipationFactorsAndEffectiveMassesSumToTheTotalMass)
{
    // An L of pipe in space with weight, every mode of it found: the
    // effective masses G^2 of each direction add up to the mass of that
    // direction, the weight of the pipe over 386.4 (each element's half at
    // either end, the anchored ends' included).
    anchored_from(10);
    pipe(20, 60, 0, 0);
    pipe(30, 60, 0, 0);
    pipe(40, 0, 50, 30);
    pipe(50, 0, 0, 70, DT_ANCHOR);
    choose({LC_MODAL});
    analysis_options().number_of_modes = 100;
    run_dynamics();
    const double length = 120 + std::hypot(50.0, 30.0) + 70;
    const double total = steel.weight * length / G_ACCELERATION;
    ASSERT_EQ(modes.frequencies.size(), 15u);   // 5 nodes x 3 translations
    for (std::size_t d = 0; d < 3; ++d) {
        expect_relative(modes.total_mass[d], total, 1e-12, "total mass");
        double effective = 0.0;
        for (const std::array<double, 3>& g : modes.participation)
            effective += g[d] * g[d];
        // The masses of the anchored ends swing on the anchors' springs of
        // 1.0e12, modes whose shapes hold to about 1e-8.
        expect_relative(effective, total, 1e-7, "effective masses");
    }
}

TEST_F(ModalAnalysis, ModelWithoutMassOrWithFewerMassesThanModesAsked)
{
    // A weightless line has no mode.
    weightless_line(100, DT_NONE, 50, DT_NONE);
    choose({LC_MODAL});
    EXPECT_EQ(dynamic_failure(), "The model has no mass: it has no natural modes");

    // One concentrated mass: three modes, whatever number is asked, and
    // the run says so.
    model().rows[2].dtype = DT_CONC_MASS;
    model().rows[2].create_data_object(2);
    item<ConcentratedMass>(2).weight = 200.0f;
    run_dynamics();
    EXPECT_EQ(modes.frequencies.size(), 3u);
    ASSERT_EQ(modes.notes.size(), 1u);
    EXPECT_EQ(modes.notes[0], "3 modes are found, not 20: the mass points limit the count (the model has 3 degrees of freedom with mass)");
    // The mass across: on the cantilever's spring 1 / f(l1, l1).
    const double k = 1.0 / influence(100, 100);
    const double m = 200.0 / G_ACCELERATION;
    const double f = std::sqrt(k / m) / (2 * std::numbers::pi);
    const long near = std::count_if(modes.frequencies.begin(), modes.frequencies.end(),
                                    [f](double x) { return std::fabs(x - f) < 1e-8 * f; });
    EXPECT_EQ(near, 2);   // across in Y and in Z

    // No number of modes and no cutoff: refused before the run.
    analysis_options().number_of_modes = 0;
    EXPECT_EQ(dynamic_failure(),
              "Load case Modal analysis: no number of modes and no cutoff frequency are given (Analysis Options)");
}

TEST_F(ModalAnalysis, OffsetConcentratedMassSwingsOnTheRotationOfItsNode)
{
    // A weight at a lever d along Y from the tip of a weightless cantilever
    // along X: across in Z it moves w + d rx, and the pipe's torsion
    // (GJ / l, J = 2I) and bending across carry it in series:
    // 1/k = f(l, l) + d^2 / (GJ/l + ...) with the anchor's rotation 1/K.
    weightless();
    anchored_from(10);
    const int r = pipe(20, 100, 0, 0, DT_CONC_MASS);
    ConcentratedMass& c = item<ConcentratedMass>(r);
    c.weight = 300.0f;
    const double d = 24.0;
    c.offset = {0.0f, static_cast<float>(d), 0.0f};
    choose({LC_MODAL});
    run_dynamics();
    const double torsion = 1.0 / (100 / (steel.g * 2 * steel.inertia) + 1 / RIGID);
    const double k = 1.0 / (influence(100, 100) + d * d / torsion);
    const double m = 300.0 / G_ACCELERATION;
    const double f = std::sqrt(k / m) / (2 * std::numbers::pi);
    const long near = std::count_if(modes.frequencies.begin(), modes.frequencies.end(),
                                    [f](double x) { return std::fabs(x - f) < 1e-7 * f; });
    EXPECT_EQ(near, 1) << f;
    // The rigid body has its mass in every direction.
    for (std::size_t dir = 0; dir < 3; ++dir)
        expect_relative(modes.total_mass[dir], m, 1e-12, "total mass");
}
