// What the response-spectrum and force-spectrum analyses do with a mode:
// read its spectrum at the mode's frequency, and combine the responses of
// the modes, of the directions and of the missing mass. Pure functions.
#pragma once

#include "analysis_core/analysis_model.h"

#include <span>
#include <vector>

// The value of a curve of (x, y) points in ascending x at x: linear between
// the neighbouring points (or linear in the logarithms of both axes, where
// both points' values are above 0), held at the first and last points
// beyond them, the later point's value at a step; 0 without points.
double curve_value(const std::vector<std::array<double, 2>>& points, double x, bool logarithmic = false);

// The spectrum's ordinate at a frequency (Hz): at that frequency, or at the
// period 1 / f for a spectrum over period; linear between the neighbouring
// points, or linear in the logarithms of both axes for a logarithmic
// spectrum (a segment with a value not above 0 is taken linearly); held
// at the first and last points beyond them. 0 for a spectrum without points.
double spectrum_ordinate(const SpectrumCurve& spectrum, double hertz);
// The spectral (pseudo-)acceleration at a frequency: the ordinate of an
// acceleration spectrum, w Sv of a velocity one, w^2 Sd of a displacement
// one (w = 2 pi f); the load factor of a force spectrum.
double spectral_acceleration(const SpectrumCurve& spectrum, double hertz);
// The highest frequency the spectrum gives a value at: its last frequency,
// or 1 over its first period; 0 without points.
double spectrum_rigid_frequency(const SpectrumCurve& spectrum);
// The spectral acceleration (or load factor) there: the zero-period
// acceleration the missing mass moves with.
double spectrum_rigid_acceleration(const SpectrumCurve& spectrum);

// The correlation coefficient of two modes of the complete quadratic
// combination for equal modal damping (Der Kiureghian, 1981; Chopra,
// "Dynamics of Structures", eq. 13.7.10): with r = wj / wi,
// 8 z^2 (1 + r) r^1.5 / ((1 - r^2)^2 + 4 z^2 r (1 + r)^2); 1 for r = 1.
double cqc_correlation(double wi, double wj, double damping);

// Combines one result of every mode (signed values, modes in ascending
// frequency) by a ModalCombination.
class ModalCombiner {
public:
    ModalCombiner(std::span<const double> frequencies, int method, double damping, double closely_spaced);
    double combine(std::span<const double> values) const;
    // For each result k, the combination of c_i unit[i][k] over the modes.
    std::vector<double> combine(const std::vector<std::vector<double>>& unit, std::span<const double> c) const;
    int modes() const { return modes_; }

private:
    struct Pair {
        int i = 0, j = 0;
        double factor = 0.0;   // of R_i R_j (CQC: 2 rho_ij; ten percent: 2, in magnitude)
    };
    int modes_ = 0;
    int method_ = MODAL_SRSS;
    std::vector<Pair> pairs_;
};

// Two magnitudes combined: sqrt(a^2 + b^2) (COMBINE_SRSS) or |a| + |b|.
double combine_two(double a, double b, int combination);
// Values of several parts combined result by result (SRSS or absolute sum);
// the parts have one length.
std::vector<double> combine_parts(const std::vector<std::vector<double>>& parts, int combination);
