#include "codes/en13480_stress.h"

#include "model/load_cases.h"

#include <algorithm>
#include <cmath>

namespace {

double index_of(double sif)
{
    return std::max(0.75 * sif, 1.0);
}

double moment_term(double ii, double io, const EndLoads& l)
{
    const double mi = ii * l.in_plane, mo = io * l.out_plane;
    return std::sqrt(mi * mi + mo * mo + l.torsion * l.torsion);
}

}  // namespace

double en13480_sustained_moment_stress(const Sifs& s, double z, const EndLoads& l)
{
    return z > 0.0 ? moment_term(index_of(s.in_plane), index_of(s.out_plane), l) / z : 0.0;
}

double en13480_moment_stress(const Sifs& s, double z, const EndLoads& l)
{
    return z > 0.0 ? moment_term(std::max(s.in_plane, 1.0), std::max(s.out_plane, 1.0), l) / z : 0.0;
}

double en13480_pressure_stress(const StressSection& s, double p)
{
    return s.valid() && p != 0.0 ? p * s.outside_diameter / (4.0 * s.thickness) : 0.0;
}

double en13480_sigma1(const StressSection& s, double z, const Sifs& i, const EndLoads& a, double p)
{
    return en13480_pressure_stress(s, p) + en13480_sustained_moment_stress(i, z, a);
}

double en13480_sigma2(const StressSection& s, double z, const Sifs& i, const EndLoads& a, const EndLoads& b,
                      double p)
{
    return en13480_sigma1(s, z, i, a, p) + en13480_sustained_moment_stress(i, z, b);
}

double en13480_sigma3(double z, const Sifs& i, const EndLoads& c)
{
    return en13480_moment_stress(i, z, c);
}

double en13480_sigma4(const StressSection& s, double z, const Sifs& i, const EndLoads& a, const EndLoads& c,
                      double p)
{
    return en13480_sigma1(s, z, i, a, p) + en13480_moment_stress(i, z, c);
}

double en13480_sigma5(const StressSection& s, double z, const Sifs& i, const EndLoads& a, const EndLoads& c,
                      double p)
{
    return en13480_sigma1(s, z, i, a, p) + en13480_sustained_moment_stress(i, z, c) / 3.0;
}

double en13480_sigma6(double z, const Sifs& i, const EndLoads& d)
{
    return en13480_moment_stress(i, z, d);
}

std::optional<double> en13480_range_factor(int cycles)
{
    struct Step {
        double cycles, u;
    };
    static constexpr Step TABLE[] = {{7000, 1.0},    {14000, 0.9},   {22000, 0.8},  {45000, 0.7},
                                     {100000, 0.6},  {200000, 0.5},  {700000, 0.4}, {2000000, 0.3}};
    const double n = std::max(cycles, 1);
    for (const Step& s : TABLE)
        if (n <= s.cycles)
            return s.u;
    return std::nullopt;
}

double en13480_design_stress(double f, double f_cr)
{
    return f_cr > 0.0 ? std::min(f, f_cr) : f;
}

double en13480_occasional_factor(int32_t load_case, double seismic_k)
{
    switch (load_case) {
    case LC_SEISMIC_G:
    case LC_RESPONSE_SPECTRUM:
    case LC_TIME_HISTORY:
    case LC_FORCE_SPECTRUM: return std::max(seismic_k, 1.0);
    default: return 1.15;
    }
}
