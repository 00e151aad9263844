#include "codes/code_stress.h"

#include "model/piping_codes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

StressSection stress_section(double d, double t)
{
    StressSection s;
    if (!(d > 0.0 && t > 0.0 && 2.0 * t < d))
        return s;
    const double di = d - 2.0 * t;
    s.outside_diameter = d;
    s.thickness = t;
    s.inside_diameter = di;
    s.area = std::numbers::pi / 4.0 * (d * d - di * di);
    s.bore_area = std::numbers::pi / 4.0 * di * di;
    s.section_modulus = std::numbers::pi / 32.0 * (d * d * d * d - di * di * di * di) / d;
    return s;
}

double branch_effective_section_modulus(double d, double t, double run_t, double in_plane_sif)
{
    const double rb = (d - t) / 2.0;
    const double ts = std::min(run_t, in_plane_sif * t);
    return rb > 0.0 && ts > 0.0 ? std::numbers::pi * rb * rb * ts : 0.0;
}

double EndLoads::resultant() const
{
    return std::sqrt(torsion * torsion + in_plane * in_plane + out_plane * out_plane);
}

double longitudinal_pressure_stress(const StressSection& s, double p, bool exact)
{
    if (!s.valid() || p == 0.0)
        return 0.0;
    if (exact)
        return p * s.bore_area / s.area;
    return p * s.outside_diameter / (4.0 * s.thickness);
}

namespace {

// sqrt(a^2 + b^2): the moments here are far from overflow, and std::hypot's
// care costs more than the rest of an equation.
double length(double a, double b)
{
    return std::sqrt(a * a + b * b);
}

// The wall an equation takes and its section modulus (Ze at a reduced
// branch end).
struct Wall {
    const StressSection& section;
    double z;
};

Wall nominal_wall(const StressInput& in)
{
    return {in.section, in.effective_modulus > 0.0 ? in.effective_modulus : in.section.section_modulus};
}

// The sustained wall of B31.3 and B31.12: the nominal dimensions less the
// allowances (para. 320.2), Ze too; the nominal wall under the other codes.
Wall sustained_wall(const StressInput& in)
{
    const bool less_allowance = in.rules == StressRules::B313 || in.rules == StressRules::B3112;
    if (!less_allowance || !in.corroded.valid())
        return nominal_wall(in);
    return {in.corroded,
            in.corroded_effective_modulus > 0.0 ? in.corroded_effective_modulus : in.corroded.section_modulus};
}

double index_of(double sif)
{
    return std::max(0.75 * sif, 1.0);
}

// sqrt((|Sa| + Sb)^2 + (2 St)^2), the B31.3 form.
double combined(double sa, double sb, double st)
{
    return std::sqrt((std::fabs(sa) + sb) * (std::fabs(sa) + sb) + 4.0 * st * st);
}

// The B31.3 sustained equation with the sustained indices, for the given
// axial stress (force and pressure).
double b313_sustained(const StressInput& in, double z, double axial_stress, const EndLoads& l)
{
    const double ii = index_of(in.sifs.in_plane), io = index_of(in.sifs.out_plane);
    const double it = index_of(in.sifs.torsion);
    const double sb = length(ii * l.in_plane, io * l.out_plane) / z;
    const double st = it * l.torsion / (2.0 * z);
    return combined(axial_stress, sb, st);
}

// The B31.1 moment term: 0.75 i M / Z with 0.75 i at least 1, the SIF of
// each component on its moment (one SIF: 0.75 i on the resultant).
double b311_sustained_moment(const StressInput& in, double z, const EndLoads& l)
{
    const double mi = index_of(in.sifs.in_plane) * l.in_plane;
    const double mo = index_of(in.sifs.out_plane) * l.out_plane;
    const double mt = index_of(in.sifs.torsion) * l.torsion;
    return std::sqrt(mi * mi + mo * mo + mt * mt) / z;
}

// The older in/out-plane form: sqrt(Sb^2 + 4 St^2), St = Mt / 2Z.
double in_out_plane_form(const StressInput& in, double z, const EndLoads& l, double axial_stress)
{
    const double sb = length(in.sifs.in_plane * l.in_plane, in.sifs.out_plane * l.out_plane) / z;
    const double st = l.torsion / (2.0 * z);
    return combined(axial_stress, sb, st);
}

double optional_axial(const StressInput& in, const StressSection& s, double force)
{
    return in.include_axial_force ? std::fabs(force) / s.area : 0.0;
}

}  // namespace

double sustained_stress(const StressInput& in, const EndLoads& l, double p)
{
    const auto [s, z] = sustained_wall(in);
    if (!s.valid() || !(z > 0.0))
        return 0.0;
    // The end's own wall: at a branch end the branch's, whatever Ze takes
    // of the run.
    const double slp = longitudinal_pressure_stress(s, p, in.pressure_stress_option);
    switch (in.rules) {
    case StressRules::B313:
    case StressRules::B3112:
        // Ia = 1: Sa = (Fa + the pressure's force) / Ap.
        return b313_sustained(in, z, l.axial / s.area + slp, l);
    case StressRules::B311:
    case StressRules::B319:
        return slp + b311_sustained_moment(in, z, l) + optional_axial(in, s, l.axial);
    case StressRules::InOutPlane:
        return slp + in_out_plane_form(in, z, l, optional_axial(in, s, l.axial));
    case StressRules::NoCode:
        return no_code_stresses(in, l, p).von_mises;
    case StressRules::Unavailable:
    case StressRules::Class2:
    case StressRules::En13480:
    case StressRules::Pipeline:
        break;
    }
    return 0.0;
}

double occasional_stress(const StressInput& in, const EndLoads& loads)
{
    const auto [s, z] = sustained_wall(in);
    if (!s.valid() || !(z > 0.0))
        return 0.0;
    EndLoads l{std::fabs(loads.axial), std::fabs(loads.torsion), std::fabs(loads.in_plane), std::fabs(loads.out_plane)};
    switch (in.rules) {
    case StressRules::B313:
    case StressRules::B3112: return b313_sustained(in, z, l.axial / s.area, l);
    case StressRules::B311:
    case StressRules::B319: return b311_sustained_moment(in, z, l) + optional_axial(in, s, l.axial);
    case StressRules::InOutPlane: return in_out_plane_form(in, z, l, optional_axial(in, s, l.axial));
    case StressRules::NoCode:
    case StressRules::Unavailable:
    case StressRules::Class2:
    case StressRules::En13480:
    case StressRules::Pipeline: break;
    }
    return 0.0;
}

double expansion_stress(const StressInput& in, const EndLoads& l)
{
    const auto [s, z] = nominal_wall(in);
    if (!s.valid() || !(z > 0.0))
        return 0.0;
    switch (in.rules) {
    case StressRules::B313:
    case StressRules::B3112: {
        const double sa = in.sifs.axial * std::fabs(l.axial) / s.area;
        const double sb = length(in.sifs.in_plane * l.in_plane, in.sifs.out_plane * l.out_plane) / z;
        const double st = in.sifs.torsion * l.torsion / (2.0 * z);
        return combined(sa, sb, st);
    }
    case StressRules::B311:
    case StressRules::B319: {
        const double mi = in.sifs.in_plane * l.in_plane, mo = in.sifs.out_plane * l.out_plane;
        const double mt = in.sifs.torsion * l.torsion;
        return std::sqrt(mi * mi + mo * mo + mt * mt) / z + optional_axial(in, s, l.axial);
    }
    case StressRules::InOutPlane: return in_out_plane_form(in, z, l, optional_axial(in, s, l.axial));
    case StressRules::NoCode: return no_code_stresses(in, l, 0.0).von_mises;
    case StressRules::Unavailable:
    case StressRules::Class2:
    case StressRules::En13480:
    case StressRules::Pipeline: break;
    }
    return 0.0;
}

PlaneStress plane_stress(double sx, double sy, double txy)
{
    PlaneStress out;
    const double centre = (sx + sy) / 2.0;
    const double radius = length((sx - sy) / 2.0, txy);
    out.s1 = centre + radius;
    out.s2 = centre - radius;
    out.von_mises = std::sqrt(std::max(0.0, sx * sx - sx * sy + sy * sy + 3.0 * txy * txy));
    return out;
}

PrincipalStresses no_code_stresses(const StressInput& in, const EndLoads& l, double p)
{
    PrincipalStresses out;
    const StressSection& s = in.section;
    if (!s.valid())
        return out;
    const double z = s.section_modulus;
    const double axial = l.axial / s.area + longitudinal_pressure_stress(s, p, in.pressure_stress_option);
    const double bending = length(in.sifs.in_plane * l.in_plane, in.sifs.out_plane * l.out_plane) / z;
    const double shear = in.sifs.torsion * l.torsion / (2.0 * z);
    double hoop = 0.0;
    if (p != 0.0)
        hoop = in.pressure_stress_option ? 2.0 * p * s.bore_area / s.area : p * s.outside_diameter / (2.0 * s.thickness);
    // The side where bending pulls has the largest principal stress, the
    // side where it pushes the smallest (both grow with the normal stress).
    const PlaneStress pulled = plane_stress(axial + bending, hoop, shear);
    const PlaneStress pushed = plane_stress(axial - bending, hoop, shear);
    out.maximum = pulled.s1;
    out.minimum = pushed.s2;
    out.von_mises = std::max(pulled.von_mises, pushed.von_mises);
    return out;
}

double uncapped_range_factor(int cycles)
{
    return 6.0 * std::pow(static_cast<double>(std::max(cycles, 1)), -0.2);
}

TensileStrength material_tensile_strength(const std::string& type, double strength)
{
    if (strength > B313_HIGH_FACTOR_TENSILE)
        return TensileStrength::Above75Ksi;
    for (const char* code : {"CS", "FS", "AS", "CI"})
        if (type == code)
            return TensileStrength::AtMost75Ksi;
    return TensileStrength::Unknown;
}

double b313_range_factor_limit(const RangeFactorMaterial& m)
{
    return m.ferrous && m.tensile == TensileStrength::AtMost75Ksi && m.temperature <= B313_HIGH_FACTOR_TEMPERATURE
               ? 1.2
               : 1.0;
}

double stress_range_factor(StressRules rules, int cycles, double limit)
{
    const double n = std::max(cycles, 1);
    switch (rules) {
    case StressRules::B313: return std::clamp(uncapped_range_factor(cycles), 0.15, std::max(limit, 0.15));
    case StressRules::B3112:
    case StressRules::B311:
    case StressRules::B319: return std::clamp(uncapped_range_factor(cycles), 0.15, 1.0);
    // NC-3611.2(e) of ASME Section III takes the step table of the older
    // B31.1 for Class 2 and 3.
    case StressRules::Class2:
    case StressRules::InOutPlane: {
        struct Step {
            double cycles, f;
        };
        static constexpr Step TABLE[] = {{7000, 1.0}, {14000, 0.9}, {22000, 0.8}, {45000, 0.7}, {100000, 0.6}};
        for (const Step& s : TABLE)
            if (n <= s.cycles)
                return s.f;
        return 0.5;
    }
    case StressRules::NoCode:
    case StressRules::Unavailable:
    case StressRules::En13480:
    case StressRules::Pipeline: break;
    }
    return 1.0;
}

double expansion_allowable(double f, double cold, double hot, bool liberal, double sustained)
{
    if (f > 1.0) {
        constexpr double SC_SH_LIMIT = 20000.0;   // psi, 138 MPa
        cold = std::min(cold, SC_SH_LIMIT);
        hot = std::min(hot, SC_SH_LIMIT);
    }
    double allowable = 1.25 * cold + 0.25 * hot;
    if (liberal && hot > sustained)
        allowable += hot - sustained;
    return f * allowable;
}

std::optional<double> occasional_allowable_factor(int32_t code)
{
    switch (code) {
    case CODE_B313:
    case CODE_B3112:
    case CODE_B319:
    case CODE_B315: return 1.33;
    case CODE_B311: return 1.15;
    default: return std::nullopt;
    }
}

std::optional<double> hydrotest_allowable(int32_t code, double strength)
{
    if ((code == CODE_B313 || code == CODE_B3112) && strength > 0.0)
        return strength;
    return std::nullopt;
}
