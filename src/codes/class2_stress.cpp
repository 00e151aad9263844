#include "codes/class2_stress.h"

#include "model/piping_codes.h"

#include <algorithm>
#include <cmath>

Class2Edition class2_edition(int32_t code)
{
    return code == CODE_ASME_CLASS2_1980 ? Class2Edition::Edition1980 : Class2Edition::Indices;
}

namespace {

double at_least_one(double v)
{
    return std::isfinite(v) && v > 1.0 ? v : 1.0;
}

double sustained_index(double sif)
{
    return std::max(0.75 * sif, 1.0);
}

}  // namespace

B1B2 class2_indices(Class2Component component, double h, double sif)
{
    switch (component) {
    case Class2Component::Bend:
        if (!(h > 0.0))
            return {0.5, sustained_index(sif)};
        return {std::clamp(-0.1 + 0.4 * h, 0.0, 0.5), at_least_one(1.30 / std::pow(h, 2.0 / 3.0))};
    case Class2Component::Reducer: return {1.0, 1.0};
    case Class2Component::StraightPipe:
    case Class2Component::BranchConnection:
    case Class2Component::Other: break;
    }
    return {0.5, sustained_index(sif)};
}

double class2_pressure_term(const StressSection& s, double p, double b1)
{
    if (!s.valid() || p == 0.0)
        return 0.0;
    return b1 * p * s.outside_diameter / (2.0 * s.thickness);
}

double class2_sustained(Class2Edition edition, const StressSection& s, double z, const B1B2& b, double sif,
                        const EndLoads& l, double p)
{
    if (!s.valid() || !(z > 0.0))
        return 0.0;
    if (edition == Class2Edition::Edition1980)
        return class2_pressure_term(s, p, 0.5) + sustained_index(sif) * l.resultant() / z;
    return class2_pressure_term(s, p, b.b1) + b.b2 * l.resultant() / z;
}

double class2_occasional(Class2Edition edition, const StressSection& s, double z, const B1B2& b, double sif,
                         const EndLoads& sus, const EndLoads& occ, double pmax)
{
    if (!s.valid() || !(z > 0.0))
        return 0.0;
    const double m = sus.resultant() + occ.resultant();
    if (edition == Class2Edition::Edition1980)
        return class2_pressure_term(s, pmax, 0.5) + sustained_index(sif) * m / z;
    return class2_pressure_term(s, pmax, b.b1) + b.b2 * m / z;
}

double class2_expansion(double z, double sif, const EndLoads& l)
{
    return z > 0.0 ? at_least_one(sif) * l.resultant() / z : 0.0;
}

double class2_combined(const StressSection& s, double z, double sif, const EndLoads& sus, const EndLoads& exp,
                       double p)
{
    if (!s.valid() || !(z > 0.0))
        return 0.0;
    return class2_pressure_term(s, p, 0.5) + sustained_index(sif) * sus.resultant() / z +
           class2_expansion(z, sif, exp);
}

double class2_sustained_allowable(Class2Edition edition, double sh)
{
    return edition == Class2Edition::Edition1980 ? sh : 1.5 * sh;
}

std::optional<double> class2_occasional_allowable(Class2Edition edition, int level, double sh, double sy)
{
    level = std::clamp(level, 0, 2);
    if (!(sh > 0.0))
        return std::nullopt;
    if (edition == Class2Edition::Edition1980) {
        static constexpr double K[3] = {1.2, 1.8, 2.4};
        return K[level] * sh;
    }
    // NC-3653.1 (B), NC-3654.2 (C), NC-3655 (D).
    static constexpr double SH[3] = {1.8, 2.25, 3.0};
    static constexpr double SY[3] = {1.5, 1.8, 2.0};
    if (!(sy > 0.0))
        return std::nullopt;
    return std::min(SH[level] * sh, SY[level] * sy);
}

double class2_settlement_allowable(double sc)
{
    return 3.0 * sc;
}

double class2_combined_allowable(double sh, double sa)
{
    return sh + sa;
}

std::array<double, 3> branch_run_moment(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    std::array<double, 3> out{};
    for (std::size_t k = 0; k < 3; ++k)
        if ((a[k] > 0.0 && b[k] < 0.0) || (a[k] < 0.0 && b[k] > 0.0))
            out[k] = std::fabs(a[k]) < std::fabs(b[k]) ? a[k] : -b[k];
    return out;
}

BranchConnectionStress branch_connection_stress(const BranchConnectionInput& in)
{
    BranchConnectionStress out;
    const auto length = [](const std::array<double, 3>& m) { return std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]); };
    out.branch_moment = length(in.branch_moment);
    out.run_moment = length(in.run_moment);
    if (!in.run.valid() || !in.branch.valid())
        return out;
    out.branch_modulus = branch_effective_section_modulus(in.branch.outside_diameter, in.branch.thickness,
                                                          in.run.thickness, at_least_one(in.sif));
    out.run_modulus = in.run.section_modulus;
    if (!(out.branch_modulus > 0.0 && out.run_modulus > 0.0))
        return out;
    const double bending = out.branch_moment / out.branch_modulus + out.run_moment / out.run_modulus;
    out.stress = in.primary ? class2_pressure_term(in.run, in.pressure, in.indices.b1) + in.indices.b2 * bending
                            : at_least_one(in.sif) * bending;
    return out;
}
