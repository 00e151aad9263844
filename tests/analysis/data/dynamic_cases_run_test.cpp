// The dynamic cases of whole runs against their closed forms: a single mass
// on a weightless cantilever under a response spectrum (with its support
// loads and accelerations), a force spectrum, a ramp of a time-varying load
// and a harmonic load at and near resonance with damping; the missing-mass
// correction of a pipe with distributed weight against its static solution
// with all modes; the files of the dynamic analyses.
#include "analysis/data/modal_fixture.h"
#include "analysis/results_file.h"
#include "analysis/susceptibility_file.h"
#include "framework/binfile.h"
#include "guide_text.h"

#include <algorithm>
#include <numbers>
#include <string>

using namespace analysis_test;

namespace {

constexpr double PI = std::numbers::pi;

class DynamicCases : public ModalTest {
protected:
    // The response spectrum of the tests over frequency (in/s2): 200 at
    // 1 Hz rising linearly to 600 at 21 Hz.
    void spectrum_in(int direction, double factor)
    {
        dynamic.spectra = {spectrum("RS", SpectrumCurve::ACCELERATION, {{1.0, 200.0}, {21.0, 600.0}})};
        dynamic.response_spectrum.spectrum[static_cast<std::size_t>(direction)] = "RS";
        dynamic.response_spectrum.factor[static_cast<std::size_t>(direction)] = factor;
    }
    static double spectrum_at(double hertz)
    {
        return 200.0 + 400.0 * (std::clamp(hertz, 1.0, 21.0) - 1.0) / 20.0;
    }
    // A row's data item of the dynamic loads.
    template <typename T>
    T& load_at(int row)
    {
        model().rows[row].dtype = row_type<T>();
        model().rows[row].create_data_object(row);
        return item<T>(row);
    }
    template <typename T>
    static int row_type()
    {
        if constexpr (std::is_same_v<T, HarmonicLoad>)
            return DT_HARMONIC_LOAD;
        else if constexpr (std::is_same_v<T, TimeVaryingLoad>)
            return DT_TIME_VARYING_LOAD;
        else if constexpr (std::is_same_v<T, ForceSpectrumLoad>)
            return DT_FORCE_SPECTRUM_LOAD;
        else
            return DT_CONC_MASS;
    }
    // The weightless cantilever of two rows with the mass W at node 30 and
    // the dynamic load at node 20 (T), and its single mode across in Y:
    // m u30'' + u30 / f(l3, l3) = F f(l2, l3) / f(l3, l3).
    template <typename T>
    T& mass_beyond_load(double weight)
    {
        weightless_line(60, DT_NONE, 40, DT_CONC_MASS);
        item<ConcentratedMass>(3).weight = static_cast<float>(weight);
        return load_at<T>(2);
    }
    double across_stiffness() const { return 1.0 / influence(100, 100); }
    double across_frequency(double weight) const
    {
        return std::sqrt(across_stiffness() * G_ACCELERATION / weight) / (2 * PI);
    }
};

}  // namespace

TEST_F(DynamicCases, ResponseSpectrumOfASingleMassGivesItsClosedForm)
{
    // The mass W at node 20 of an anchored weightless line, held in Z at
    // node 30: across in Y it is one oscillator, k = 1 / f(l1, l1). Under
    // the spectrum in Y times 1.5 it moves 1.5 Sa(f) / w^2 (its
    // participation factor times its normalised shape is 1), the anchor
    // holds m 1.5 Sa and the moment m 1.5 Sa l1, and it accelerates at
    // 1.5 Sa.
    const double weight = 400.0, m = weight / G_ACCELERATION;
    weightless_line(100, DT_CONC_MASS, 50, DT_RESTRAINT);
    item<ConcentratedMass>(2).weight = static_cast<float>(weight);
    spectrum_in(1, 1.5);
    choose({LC_MODAL, LC_RESPONSE_SPECTRUM});
    const std::map<int, CaseResults> r = run_dynamics();
    const double k = across_stiffness(), w2 = k / m, f = std::sqrt(w2) / (2 * PI);
    const double sa = 1.5 * spectrum_at(f);
    const CaseResults& rs = r.at(LC_RESPONSE_SPECTRUM);
    expect_relative(node_result(rs, 20)[1], sa / w2, 1e-9, "Y at the mass");
    EXPECT_NEAR(node_result(rs, 20)[0], 0.0, 1e-12);
    EXPECT_NEAR(node_result(rs, 20)[2], 0.0, 1e-12);
    // The anchor's six loads: FY and MZ.
    expect_relative(rs.support_loads[1], m * sa, 1e-8, "anchor FY");
    expect_relative(rs.support_loads[5], m * sa * 100, 1e-8, "anchor MZ");
    ASSERT_EQ(rs.accelerations.size(), rs.displacements.size());
    expect_relative(rs.accelerations[6 * static_cast<std::size_t>(node_index(20) - 1) + 1], sa, 1e-9, "acceleration");
    // The modal block's mode across: the participation factor in Y is
    // sqrt(m) (the shape 1 / sqrt(m) at the mass).
    const auto across = std::find_if(modes.frequencies.begin(), modes.frequencies.end(),
                                      [f](double x) { return std::fabs(x - f) < 1e-8 * f; });
    ASSERT_NE(across, modes.frequencies.end());
    const auto i = static_cast<std::size_t>(across - modes.frequencies.begin());
    expect_relative(std::fabs(modes.participation[i][1]), std::sqrt(m), 1e-9, "participation");
}

TEST_F(DynamicCases, ResponseSpectrumDirectionsCombineAndTheAnchorMovementAdds)
{
    // The same mass under spectra in X (stretching, k = 1/(l/EA + 1/K))
    // and in Y: each direction drives its own mode; SRSS or absolute sum of
    // the directions keeps each alone, and the anchors' seismic
    // displacements add in absolute value to every result.
    const double weight = 400.0, m = weight / G_ACCELERATION;
    weightless_line(100, DT_CONC_MASS, 50, DT_RESTRAINT);
    item<ConcentratedMass>(2).weight = static_cast<float>(weight);
    spectrum_in(0, 1.0);
    dynamic.response_spectrum.spectrum[1] = "RS";
    dynamic.response_spectrum.direction_combination = COMBINE_ABSOLUTE;
    choose({LC_RESPONSE_SPECTRUM});
    const std::map<int, CaseResults> r = run_dynamics();
    const CaseResults& rs = r.at(LC_RESPONSE_SPECTRUM);
    const double kx = 1.0 / (100 / (steel.e * steel.area) + 1 / RIGID);
    const double fx = std::sqrt(kx / m) / (2 * PI);
    const double ky = across_stiffness(), fy = std::sqrt(ky / m) / (2 * PI);
    expect_relative(rs.support_loads[0], m * spectrum_at(fx), 1e-8, "anchor FX");
    expect_relative(rs.support_loads[1], m * spectrum_at(fy), 1e-8, "anchor FY");
    expect_relative(node_result(rs, 20)[0], spectrum_at(fx) * m / kx, 1e-8, "X at the mass");
    // The modal block is not written: Modal analysis was not chosen.
    EXPECT_EQ(r.count(LC_MODAL), 1u);
}

TEST_F(DynamicCases, MissingMassCorrectionIsTheStaticSolutionOfTheModesNotFound)
{
    // A cantilever with its own weight, held in Z at every node, under a
    // spectrum flat at 1 g in Y, with only its first mode: the missing
    // mass (34) is the static response to M r - G1 M phi1 (times 1 g), the
    // static solution with all modes (1 g on every mass) less the first
    // mode's part; the response spectrum adds the two in absolute value.
    const int n = 12;
    const double l = 20.0;
    anchored_from(10);
    for (int e = 1; e <= n; ++e)
        restrain(pipe(10 * (e + 1), static_cast<float>(l), 0, 0), {2});
    dynamic.spectra = {spectrum("FLAT", SpectrumCurve::ACCELERATION, {{0.1, G_ACCELERATION}, {1000.0, G_ACCELERATION}})};
    dynamic.response_spectrum.spectrum[1] = "FLAT";
    dynamic.response_spectrum.modal_combination = MODAL_ABSOLUTE;
    dynamic.response_spectrum.missing_mass_combination = COMBINE_ABSOLUTE;
    analysis_options().number_of_modes = 1;
    choose({LC_RESPONSE_SPECTRUM, LC_MISSING_MASS});
    const std::map<int, CaseResults> r = run_dynamics();

    PlanarPipe p(steel, n, l, steel.weight);
    for (int d = 0; d < 3; ++d)
        p.hold(0, d);
    PlanarPipe::Vector e;
    PlanarPipe::Matrix x;
    p.modes(e, x);
    PlanarPipe::Vector mr = PlanarPipe::Vector::Zero(p.k.rows());
    for (int node = 0; node <= n; ++node)
        mr(3 * node + 1) = p.m(3 * node + 1, 3 * node + 1) * G_ACCELERATION;
    const PlanarPipe::Vector all = p.statics(mr);
    const PlanarPipe::Vector first = x.col(0) * (x.col(0).dot(mr) / e[0]);
    for (int node : {n / 2, n}) {
        const int y = 3 * node + 1;
        const int number = 10 * (node + 1);
        expect_relative(node_result(r.at(LC_MISSING_MASS), number)[1], std::fabs(all(y) - first(y)), 1e-7,
                        "missing mass");
        expect_relative(node_result(r.at(LC_RESPONSE_SPECTRUM), number)[1], std::fabs(first(y)) + std::fabs(all(y) - first(y)),
                        1e-7, "first mode and missing mass");
    }
    const int tip = 3 * n + 1;
    const int node = 10 * (n + 1);

    // With every mode found nothing is missing.
    analysis_options().number_of_modes = 200;
    const std::map<int, CaseResults> every = run_dynamics();
    EXPECT_LT(node_result(every.at(LC_MISSING_MASS), node)[1], 1e-7 * std::fabs(all(tip)));
}

TEST_F(DynamicCases, ForceSpectrumOnASingleMassIsTheLoadFactorTimesTheStaticResponse)
{
    // A force across at node 20, the mass at node 30: one oscillator whose
    // load is F f(l2, l3) / f(l3, l3); the spectrum's load factor at its
    // frequency times the static response F f(l2, l3) at the mass.
    ForceSpectrumLoad& f = mass_beyond_load<ForceSpectrumLoad>(250.0);
    f.spectrum = "WH";
    f.values = {0.0f, 1000.0f, 0.0f};
    dynamic.force_spectra = {spectrum("WH", SpectrumCurve::LOAD_FACTOR, {{0.5, 1.2}, {50.0, 2.0}})};
    // The pipe beyond the mass would turn in Z with the same frequency as
    // in Y: a degenerate pair whose SRSS depends on the pair's basis. CQC
    // adds the pair as one.
    dynamic.response_spectrum.modal_combination = MODAL_CQC;
    choose({LC_FORCE_SPECTRUM});
    const std::map<int, CaseResults> r = run_dynamics();
    const double hz = across_frequency(250.0);
    const double factor = 1.2 + 0.8 * (hz - 0.5) / 49.5;
    expect_relative(node_result(r.at(LC_FORCE_SPECTRUM), 30)[1], factor * 1000.0 * influence(60, 100), 1e-8,
                    "Y at the mass");
}

TEST_F(DynamicCases, HarmonicResponseOfASingleMassAtAndNearResonance)
{
    // F cos Wt across at node 20 drives the mass at node 30 with the
    // amplitude F f(l2, l3) / sqrt((1 - r^2)^2 + (2 z r)^2) (Chopra,
    // section 3.2), at resonance F f(l2, l3) / 2z; the static correction
    // adds nothing at the mass.
    HarmonicLoad& h = mass_beyond_load<HarmonicLoad>(250.0);
    h.values = {0.0f, 500.0f, 0.0f};
    h.phase = 0.7f;
    dynamic.time_history.damping = 0.04;
    choose({LC_HARMONIC});
    const double fn = across_frequency(250.0);
    for (double ratio : {0.6, 1.0, 1.3}) {
        h.frequency = static_cast<float>(ratio * fn);
        const double r = static_cast<double>(h.frequency) / fn;
        const std::map<int, CaseResults> out = run_dynamics();
        const double amplitude = 500.0 * influence(60, 100) / std::sqrt(std::pow(1 - r * r, 2) + std::pow(2 * 0.04 * r, 2));
        expect_relative(node_result(out.at(LC_HARMONIC), 30)[1], amplitude, 1e-6, "amplitude at r " + std::to_string(r));
    }
    // Without damping, at resonance: refused, never infinite.
    dynamic.time_history.damping = 0.0;
    h.frequency = static_cast<float>(fn);
    EXPECT_NE(dynamic_failure().find("lies on a natural frequency of the model and there is no damping"),
              std::string::npos);
}

TEST_F(DynamicCases, ModalTimeHistoryOfARampAndItsFiles)
{
    // A force across at node 20 rising to F over tr and held: the mass at
    // node 30 moves F f(l2, l3) (t/tr - sin wt / (w tr)), then
    // F f(l2, l3) (1 - (sin wt - sin w(t - tr)) / (w tr)) (Chopra,
    // sections 4.4 and 4.5; no damping). The results block holds the value
    // of largest magnitude over the steps, the time-history file the values
    // at each output interval.
    TimeVaryingLoad& t = mass_beyond_load<TimeVaryingLoad>(250.0);
    t.function = 1;
    t.values = {0.0f, 800.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    const double tr = 0.05;
    dynamic.time_functions = {{{0.0, 0.0}, {tr, 1.0}, {5.0, 1.0}}};
    dynamic.time_history = {0.001, 0.3, 0.01, 0.0, true};
    choose({LC_TIME_HISTORY});
    make_model();
    snapshot = make_analysis_model();
    const RunOutcome outcome = run_analysis(*snapshot, callbacks);
    ASSERT_TRUE(outcome.completed) << outcome.message;

    const double w = 2 * PI * across_frequency(250.0), u = 800.0 * influence(60, 100);
    auto exact = [&](double time) {
        return time <= tr ? u * (time / tr - std::sin(w * time) / (w * tr))
                          : u * (1 - (std::sin(w * time) - std::sin(w * (time - tr))) / (w * tr));
    };
    double peak = 0.0;
    for (int s = 1; s <= 300; ++s)
        if (std::fabs(exact(s * 0.001)) > std::fabs(peak))
            peak = exact(s * 0.001);
    // The time-history file: 30 steps of 0.01 s.
    const int nodes = model().numnodes(), elements = model().numelems();
    const int64_t supports = 4 * 6;
    BinFile f;
    ASSERT_TRUE(f.open_read(folder + "/model.rth"));
    EXPECT_EQ(f.size(), time_history_file_size(nodes, elements, supports, 30));
    for (int step : {1, 7, 30}) {
        f.seek(time_history_displacement_at(nodes, elements, supports, step) + 24 * (node_index(30) - 1) + 4);
        expect_relative(f.read_float(), exact(step * 0.01), 1e-5, "Y at step " + std::to_string(step));
    }
    // The envelope in the results file, signed.
    BinFile res;
    ASSERT_TRUE(res.open_read(folder + "/model.res"));
    res.seek(results_first_block_at(elements, 0) + 24 * (node_index(30) - 1) + 4);
    expect_relative(res.read_float(), peak, 1e-5, "largest Y");
}

TEST_F(DynamicCases, ModalBlockAndSusceptibilityFileAreWritten)
{
    // The mass of the single-mass line in the modal block (frequency,
    // participation, total mass) and in the dynamic susceptibility file:
    // across in Y the free end, node 30, moves most, f(l1, l1 + l2) against
    // f(l1, l1) at the mass; scaled to 1 in/s there, the mass moves
    // u = f(l1, l1) / (w f(l1, l1 + l2)), and the anchor holds the moment
    // k u l1.
    const double weight = 400.0, m = weight / G_ACCELERATION;
    weightless_line(100, DT_CONC_MASS, 50, DT_RESTRAINT);
    item<ConcentratedMass>(2).weight = static_cast<float>(weight);
    choose({LC_SUSTAINED, LC_MODAL});
    make_model();
    snapshot = make_analysis_model();
    const RunOutcome outcome = run_analysis(*snapshot, callbacks);
    ASSERT_TRUE(outcome.completed) << outcome.message;
    const int nodes = model().numnodes(), elements = model().numelems();
    BinFile f;
    ASSERT_TRUE(f.open_read(folder + "/model.res"));
    const int64_t at = results_first_block_at(elements, 0) + results_case_block_size(LC_SUSTAINED, nodes, elements, 4 * 9);
    f.seek(at);
    ASSERT_EQ(f.read_int(), 3);
    const double fy = std::sqrt(across_stiffness() / m) / (2 * PI);
    float frequencies[3];
    f.read_floats(frequencies, 3);
    int across = -1;
    for (int i = 0; i < 3; ++i)
        if (std::fabs(frequencies[i] - fy) < 1e-5 * fy)
            across = i;
    ASSERT_GE(across, 0);
    f.seek(at + results_total_mass_offset(nodes, 3));
    expect_relative(f.read_float(), m, 1e-6, "total mass");
    f.seek(at + results_participation_offset(nodes, 3) + 12 * across + 4);
    expect_relative(std::fabs(f.read_float()), std::sqrt(m), 1e-6, "Y participation");

    const std::vector<SusceptibilityMode> s = read_susceptibility_file(folder + "/model.rds", elements, nodes);
    ASSERT_EQ(s.size(), 3u);
    const SusceptibilityMode& mode = s[static_cast<std::size_t>(across)];
    EXPECT_EQ(mode.velocity_node, node_index(30));
    const double w = 2 * PI * fy;
    const double u = influence(100, 100) / (w * influence(100, 150));
    // Element 1 (anchor to the mass): its bending moment at the anchor end.
    expect_relative(std::fabs(mode.forces[5]), across_stiffness() * u * 100, 1e-5, "moment at 1 in/s");
    expect_relative(mode.scale, 1.0 / (w * std::fabs(std::sqrt(1 / m) * influence(100, 150) / influence(100, 100))),
                    1e-5, "scale");
}

namespace {

using DynamicResultsGuide = DynamicCases;

// The text of the user guide's page on the dynamic analyses.
std::string dynamics_page()
{
    const std::string guide = built_guide();
    const std::size_t start = guide.find("<a name=\"dynamics\">");
    if (start == std::string::npos)
        return {};
    return guide_plain(guide.substr(start, guide.find("<a name=", start + 10) - start));
}

}  // namespace

// The harmonic response damps its modes with the time-history options'
// damping ratio, as the guide says, not with the response-spectrum input's:
// at two ratios the mass's amplitude is the single oscillator's closed form
// F f(l2, l3) / sqrt((1 - r^2)^2 + (2 z r)^2) (Chopra, section 3.2) with
// the time-history ratio z, whatever the other ratio is; and it is a
// magnitude, whatever the load's phase.
TEST_F(DynamicResultsGuide, HarmonicResponseTakesTheTimeHistoryDampingRatio)
{
    const std::string page = dynamics_page();
    ASSERT_FALSE(page.empty());
    EXPECT_NE(page.find("every mode damped with that same time-history damping ratio"), std::string::npos) << page;
    EXPECT_NE(page.find("results of the response spectrum, the force spectrum and the harmonic response are "
                        "magnitudes"),
              std::string::npos);

    HarmonicLoad& h = mass_beyond_load<HarmonicLoad>(250.0);
    h.values = {0.0f, -500.0f, 0.0f};
    h.phase = 2.5f;
    choose({LC_HARMONIC});
    const double fn = across_frequency(250.0);
    h.frequency = static_cast<float>(1.15 * fn);
    const double r = static_cast<double>(h.frequency) / fn;
    dynamic.response_spectrum.damping = 0.5;
    for (const double z : {0.02, 0.10}) {
        dynamic.time_history.damping = z;
        const std::map<int, CaseResults> out = run_dynamics();
        const double amplitude = 500.0 * influence(60, 100) / std::sqrt(std::pow(1 - r * r, 2) + std::pow(2 * z * r, 2));
        const double at_mass = node_result(out.at(LC_HARMONIC), 30)[1];
        EXPECT_GT(at_mass, 0.0);
        expect_relative(at_mass, amplitude, 1e-6, "amplitude with z " + std::to_string(z));
    }
}

// A time history keeps the sign of each value's largest magnitude, as the
// guide says: a load that pushes the mass one way and then, twice as far,
// the other leaves the largest displacement negative. The load factor rises
// from 0 to 1 over tr, falls to -1 over 2 tr and holds: the sum of the
// ramps (1/tr at 0, -2/tr at tr, 1/tr at 3 tr), each giving the undamped
// oscillator u s (tau - sin(w tau) / w) (Chopra, section 4.4).
TEST_F(DynamicResultsGuide, TimeHistoryKeepsTheSignOfItsLargestValue)
{
    const std::string page = dynamics_page();
    ASSERT_FALSE(page.empty());
    EXPECT_NE(page.find("A time history keeps its signs"), std::string::npos) << page;
    EXPECT_EQ(page.find("Results of the dynamic cases are magnitudes"), std::string::npos);

    TimeVaryingLoad& t = mass_beyond_load<TimeVaryingLoad>(250.0);
    t.function = 1;
    t.values = {0.0f, 800.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    const double tr = 0.04;
    dynamic.time_functions = {{{0.0, 0.0}, {tr, 1.0}, {3 * tr, -1.0}, {5.0, -1.0}}};
    dynamic.time_history = {0.0005, 0.4, 0.01, 0.0, false};
    choose({LC_TIME_HISTORY});
    const std::map<int, CaseResults> out = run_dynamics();

    const double w = 2 * PI * across_frequency(250.0), u = 800.0 * influence(60, 100);
    auto ramp = [w](double tau) { return tau <= 0.0 ? 0.0 : tau - std::sin(w * tau) / w; };
    auto exact = [&](double time) { return u / tr * (ramp(time) - 2.0 * ramp(time - tr) + ramp(time - 3 * tr)); };
    double peak = 0.0, highest = 0.0;
    for (int s = 1; s <= 800; ++s) {
        const double v = exact(s * 0.0005);
        highest = std::max(highest, v);
        if (std::fabs(v) > std::fabs(peak))
            peak = v;
    }
    ASSERT_GT(highest, 0.1 * u);   // the mass goes both ways
    ASSERT_LT(peak, 0.0);
    expect_relative(node_result(out.at(LC_TIME_HISTORY), 30)[1], peak, 1e-5, "largest Y");
}
