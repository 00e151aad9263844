#include "codes/pipeline_stress.h"

#include "model/piping_codes.h"

#include <algorithm>
#include <array>
#include <cmath>

PipelineCode pipeline_code(int32_t code)
{
    switch (code) {
    case CODE_B318: return PipelineCode::B318;
    case CODE_Z662: return PipelineCode::Z662;
    default: return PipelineCode::B314;
    }
}

bool is_pipeline_code(int32_t code)
{
    return code == CODE_B314 || code == CODE_B318 || code == CODE_Z662;
}

namespace {

struct Point {
    double t, v;
};

template <std::size_t N>
std::optional<double> table_at(const std::array<Point, N>& table, double t)
{
    if (!std::isfinite(t))
        return std::nullopt;
    if (t <= table[0].t)
        return table[0].v;
    for (std::size_t i = 1; i < N; ++i)
        if (t <= table[i].t)
            return table[i - 1].v + (t - table[i - 1].t) / (table[i].t - table[i - 1].t) *
                                        (table[i].v - table[i - 1].v);
    return std::nullopt;
}

double celsius(double fahrenheit)
{
    return (fahrenheit - 32.0) / 1.8;
}

}  // namespace

std::optional<double> b318_temperature_factor(double t)
{
    static constexpr std::array<Point, 5> TABLE{
        {{250.0, 1.000}, {300.0, 0.967}, {350.0, 0.933}, {400.0, 0.900}, {450.0, 0.867}}};
    return table_at(TABLE, t);
}

std::optional<double> z662_temperature_factor(double t)
{
    static constexpr std::array<Point, 5> TABLE{
        {{120.0, 1.00}, {150.0, 0.97}, {180.0, 0.93}, {200.0, 0.91}, {230.0, 0.87}}};
    return table_at(TABLE, celsius(t));
}

double z662_location_factor(int class_location, bool sour)
{
    static constexpr double GAS[4] = {1.00, 0.90, 0.70, 0.55};
    static constexpr double SOUR[4] = {0.90, 0.75, 0.625, 0.50};
    const int k = std::clamp(class_location, 1, 4) - 1;
    return sour ? SOUR[k] : GAS[k];
}

double pipeline_hoop_stress(const StressSection& s, double p)
{
    return s.valid() && p != 0.0 ? p * s.outside_diameter / (2.0 * s.thickness) : 0.0;
}

namespace {

bool usable(const PipelineFactors& f)
{
    return f.yield > 0.0 && f.temperature.has_value();
}

}  // namespace

std::optional<double> pipeline_hoop_allowable(PipelineCode code, const PipelineFactors& f)
{
    if (!usable(f))
        return std::nullopt;
    switch (code) {
    case PipelineCode::B314: return 0.72 * f.joint * f.yield;
    case PipelineCode::B318: return f.design * f.joint * *f.temperature * f.yield;
    case PipelineCode::Z662: return f.yield * 0.8 * f.location * f.joint * *f.temperature;
    }
    return std::nullopt;
}

RestrainedStress restrained_stress(PipelineCode code, double hoop, double poisson, double modulus, double alpha,
                                   double t1, double t2, double bending, double torsion)
{
    RestrainedStress r;
    const double nu = code == PipelineCode::B318 ? 0.3 : poisson;
    r.hoop = hoop;
    const double axial = nu * hoop + modulus * alpha * (t1 - t2);
    // The bending stress on the side that adds to the axial stress.
    r.longitudinal = axial >= 0.0 ? axial + bending : axial - bending;
    const double d = (r.longitudinal - hoop) / 2.0;
    r.tresca = 2.0 * std::sqrt(d * d + torsion * torsion);
    r.von_mises = std::sqrt(std::max(0.0, r.longitudinal * r.longitudinal - r.longitudinal * hoop + hoop * hoop +
                                              3.0 * torsion * torsion));
    r.equivalent = code == PipelineCode::B318 ? r.von_mises : r.tresca;
    return r;
}

std::optional<double> restrained_allowable(PipelineCode code, const PipelineFactors& f)
{
    if (!usable(f))
        return std::nullopt;
    return code == PipelineCode::B314 ? 0.90 * f.yield : 0.90 * f.yield * *f.temperature;
}

double unrestrained_sustained_stress(const StressInput& in, const EndLoads& l, double p)
{
    const StressSection& s = in.section;
    const double z = in.effective_modulus > 0.0 ? in.effective_modulus : s.section_modulus;
    if (!s.valid() || !(z > 0.0))
        return 0.0;
    const double ii = std::max(0.75 * in.sifs.in_plane, 1.0), io = std::max(0.75 * in.sifs.out_plane, 1.0);
    const double sb = std::hypot(ii * l.in_plane, io * l.out_plane) / z;
    return (p != 0.0 ? p * s.outside_diameter / (4.0 * s.thickness) : 0.0) + std::fabs(l.axial) / s.area + sb;
}

std::optional<double> unrestrained_sustained_allowable(PipelineCode code, const PipelineFactors& f)
{
    if (!usable(f))
        return std::nullopt;
    switch (code) {
    case PipelineCode::B314: return 0.75 * f.yield;
    case PipelineCode::B318: return 0.75 * f.yield * *f.temperature;
    case PipelineCode::Z662: break;
    }
    return std::nullopt;
}

std::optional<double> unrestrained_occasional_allowable(PipelineCode code, const PipelineFactors& f)
{
    if (!usable(f) || code != PipelineCode::B314)
        return std::nullopt;
    return 0.80 * f.yield;
}

std::optional<double> unrestrained_expansion_allowable(PipelineCode code, const PipelineFactors& f)
{
    if (!usable(f))
        return std::nullopt;
    switch (code) {
    case PipelineCode::B314: return 0.90 * f.yield;
    case PipelineCode::Z662: return 0.72 * f.yield * *f.temperature;
    case PipelineCode::B318: break;
    }
    return std::nullopt;
}

double b318_range_factor(int cycles)
{
    return std::min(uncapped_range_factor(cycles), 1.0);
}

std::optional<double> b318_expansion_allowable(double tensile, double cold_temperature, double hot_temperature,
                                               int cycles, double sustained)
{
    const std::optional<double> tc = b318_temperature_factor(cold_temperature);
    const std::optional<double> th = b318_temperature_factor(hot_temperature);
    if (!tc || !th)
        return std::nullopt;
    const double sc = 0.33 * tensile * *tc, sh = 0.33 * tensile * *th;
    return b318_range_factor(cycles) * (1.25 * (sc + sh) - sustained);
}
