// The modal equations of the time-history and harmonic analyses: a damped
// oscillator of unit mass, q'' + 2 z w q' + w^2 q = p(t). Pure functions.
#pragma once

#include <complex>
#include <span>
#include <vector>

// One step of length dt of the oscillator under a load that varies linearly
// over the step from p0 to p1, exact for such a load (the closed form of
// the free vibration plus the particular solution of the linear load; the
// recurrence of Chopra, "Dynamics of Structures", section 5.2). Damping
// ratios from 0 to 1 (1: critical).
class ModalStepper {
public:
    ModalStepper(double omega, double damping, double dt);
    // (q, v) at the start of the step -> at its end.
    void step(double& q, double& v, double p0, double p1) const;

private:
    double w_ = 0.0, z_ = 0.0, dt_ = 0.0;
    double wd_ = 0.0;          // damped frequency (0 when critical)
    double decay_ = 0.0;       // exp(-z w dt)
    double cos_ = 0.0, sin_ = 0.0;
    bool critical_ = false;
};

// The response q(t_k), k = 0..steps, of an oscillator at rest at t = 0 under
// the load p(t_k) = loads[k] (linear between the steps).
std::vector<double> integrate_modal_equation(double omega, double damping, double dt, std::span<const double> loads);

// The steady-state response of the oscillator to the load e^(i W t): the
// complex receptance 1 / (w^2 - W^2 + 2 i z w W). Throws "The harmonic load
// at %g Hz lies on a natural frequency of the model and there is no
// damping: its response is unbounded" when |w^2 - W^2 + 2 i z w W| is no
// more than 1e-6 w^2 (an amplification of a million or more: W within half
// a millionth of w, and z below half a millionth).
std::complex<double> harmonic_receptance(double omega, double damping, double forcing);
