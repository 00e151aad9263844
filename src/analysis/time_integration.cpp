#include "analysis/time_integration.h"

#include "framework/errors.h"
#include "framework/text.h"

#include <cmath>
#include <numbers>

ModalStepper::ModalStepper(double omega, double damping, double dt) : w_(omega), z_(damping), dt_(dt)
{
    critical_ = z_ >= 1.0 - 1.0e-9;
    decay_ = std::exp(-z_ * w_ * dt_);
    if (!critical_) {
        wd_ = w_ * std::sqrt(1.0 - z_ * z_);
        cos_ = std::cos(wd_ * dt_);
        sin_ = std::sin(wd_ * dt_);
    }
}

void ModalStepper::step(double& q, double& v, double p0, double p1) const
{
    // The particular solution of p = p0 + b t: c0 + c1 t with c1 = b / w^2
    // and c0 = p0 / w^2 - 2 z b / w^3; the free vibration takes the rest of
    // the state at the start.
    const double w2 = w_ * w_;
    const double b = (p1 - p0) / dt_;
    const double c1 = b / w2;
    const double c0 = p0 / w2 - 2.0 * z_ * b / (w2 * w_);
    const double e = q - c0;          // free displacement at the start
    if (critical_) {
        // e^(-w t) (E + F t)
        const double f = v - c1 + w_ * e;
        q = c0 + c1 * dt_ + decay_ * (e + f * dt_);
        v = c1 + decay_ * (f - w_ * (e + f * dt_));
        return;
    }
    // e^(-z w t) (E cos wd t + F sin wd t)
    const double f = (v - c1 + z_ * w_ * e) / wd_;
    const double zw = z_ * w_;
    q = c0 + c1 * dt_ + decay_ * (e * cos_ + f * sin_);
    v = c1 + decay_ * ((f * wd_ - zw * e) * cos_ - (e * wd_ + zw * f) * sin_);
}

std::vector<double> integrate_modal_equation(double omega, double damping, double dt, std::span<const double> loads)
{
    std::vector<double> q(loads.size(), 0.0);
    if (loads.empty())
        return q;
    const ModalStepper stepper(omega, damping, dt);
    double u = 0.0, v = 0.0;
    for (std::size_t k = 1; k < loads.size(); ++k) {
        stepper.step(u, v, loads[k - 1], loads[k]);
        q[k] = u;
    }
    return q;
}

std::complex<double> harmonic_receptance(double omega, double damping, double forcing)
{
    const std::complex<double> d(omega * omega - forcing * forcing, 2.0 * damping * omega * forcing);
    if (std::abs(d) <= 1.0e-6 * omega * omega)
        throw_message(c_format("The harmonic load at %g Hz lies on a natural frequency of the model and there is no "
                               "damping: its response is unbounded",
                               forcing / (2.0 * std::numbers::pi)));
    return 1.0 / d;
}
