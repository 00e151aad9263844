#include "codes/sif_formulas.h"

#include "elements/branch_sif.h"

#include <algorithm>
#include <cmath>

void Sifs::take_larger(const Sifs& o)
{
    in_plane = std::max(in_plane, o.in_plane);
    out_plane = std::max(out_plane, o.out_plane);
    axial = std::max(axial, o.axial);
    torsion = std::max(torsion, o.torsion);
}

namespace {

// 0.9/h^(2/3) and 0.75/h^(2/3), the two Markl factors of the tables.
double markl(double coefficient, double h)
{
    return coefficient / std::pow(h, 2.0 / 3.0);
}

double at_least_one(double v)
{
    return std::isfinite(v) && v > 1.0 ? v : 1.0;
}

Sifs one_sif(double i)
{
    i = at_least_one(i);
    return {i, i, i, i};
}

}  // namespace

double bend_mean_radius(double outside_diameter, double thickness)
{
    return (outside_diameter - thickness) / 2.0;
}

double bend_characteristic(const BendSifInput& b)
{
    const double r2 = bend_mean_radius(b.outside_diameter, b.thickness);
    if (!(r2 > 0.0 && b.thickness > 0.0 && b.radius > 0.0))
        return 0.0;
    return b.thickness * b.radius / (r2 * r2);
}

Sifs bend_sifs(SifTable table, const BendSifInput& b)
{
    const double h = bend_characteristic(b);
    if (table == SifTable::None || !(h > 0.0))
        return {};
    double in = 0.9, out = table == SifTable::B311 || b.miter ? 0.9 : 0.75;
    in = markl(in, h);
    out = markl(out, h);
    // Flanged ends: below h = 1 the factor c lowers k and i alike.
    if (h < 1.0 && !(b.miter && b.widely_spaced)) {
        double c = 1.0;
        if (b.flanged_ends == 1)
            c = std::pow(h, 1.0 / 6.0);
        else if (b.flanged_ends >= 2)
            c = std::pow(h, 1.0 / 3.0);
        in *= c;
        out *= c;
    }
    // Pressure stiffens large thin bends: i / [1 + 3.25 (P/E)(r2/T)^(5/2)(R1/r2)^(2/3)].
    if (!b.miter && b.pressure_correction && b.pressure > 0.0 && b.cold_modulus > 0.0) {
        const double r2 = bend_mean_radius(b.outside_diameter, b.thickness);
        const double divisor = 1.0 + 3.25 * (b.pressure / b.cold_modulus) * std::pow(r2 / b.thickness, 2.5) *
                                         std::pow(b.radius / r2, 2.0 / 3.0);
        in /= divisor;
        out /= divisor;
    }
    Sifs s;
    s.in_plane = at_least_one(in);
    s.out_plane = at_least_one(out);
    if (table == SifTable::B311) {
        // One SIF on the resultant moment.
        s.out_plane = s.axial = s.torsion = s.in_plane;
    }
    // B31.3 para. 319.4.4: i_a = 1.0 for elbows, pipe bends and miters, i_t = 1.0.
    return s;
}

namespace {

// The tee forms of B31.3 and of the chart: i_o = 0.9/h^(2/3),
// i_i = 3/4 i_o + 1/4, i_a = i_o (B31.3 para. 319.4.4(b)).
Sifs tee_form(double h, bool axial_as_out)
{
    Sifs s;
    const double io = markl(0.9, h);
    s.out_plane = at_least_one(io);
    s.in_plane = at_least_one(0.75 * io + 0.25);
    s.axial = axial_as_out ? s.out_plane : 1.0;
    return s;
}

// h of a tee reinforced by a pad of thickness Tr (Table D300, Table D-1):
// (T + Tr/2)^(5/2) / (T^(3/2) r); a pad above 1.5 T counts as 4.05 T / r.
double reinforced_characteristic(double big_t, double pad, double r)
{
    if (pad > 1.5 * big_t)
        return 4.05 * big_t / r;
    return std::pow(big_t + pad / 2.0, 2.5) / (std::pow(big_t, 1.5) * r);
}

}  // namespace

BranchSifResult branch_sifs(SifTable table, const BranchSifInput& b)
{
    BranchSifResult out;
    const double big_t = b.run_thickness;
    const double r = bend_mean_radius(b.run_diameter, big_t);
    if (table == SifTable::None || !(r > 0.0 && big_t > 0.0))
        return out;
    const auto give = [&](Sifs s) {
        out.sifs = s;
        out.available = true;
    };
    switch (table) {
    case SifTable::B313:
        switch (b.type) {
        case BRANCH_WELDING_TEE:
        case BRANCH_SWEEPOLET: give(tee_form(3.1 * big_t / r, true)); break;
        case BRANCH_REINFORCED_TEE:
            give(tee_form(reinforced_characteristic(big_t, b.value1, r), true));
            if (b.value1 > 1.5 * big_t)
                out.note = "the pad is thicker than 1.5 T: h = 4.05 T/r2 (B31.3 Table D300)";
            break;
        case BRANCH_UNREINFORCED_TEE: give(tee_form(big_t / r, true)); break;
        case BRANCH_EXTRUDED_TEE: {
            // The crotch radius counts only from 0.05 d (Table D300); below it the
            // tee is taken as unreinforced, the formula's lower end.
            double rx = b.value1;
            if (rx < 0.05 * b.branch_diameter) {
                out.note = "the crotch radius is below 0.05 d and is not counted (B31.3 Table D300)";
                rx = 0.0;
            }
            give(tee_form((1.0 + rx / r) * big_t / r, true));
            break;
        }
        case BRANCH_WELDOLET: {
            const double i = at_least_one(markl(0.9, 3.3 * big_t / r));
            give({i, i, i, 1.0});
            break;
        }
        default: break;
        }
        break;
    case SifTable::B311:
        switch (b.type) {
        case BRANCH_WELDING_TEE:
        case BRANCH_SWEEPOLET: give(one_sif(markl(0.9, 4.4 * big_t / r))); break;
        case BRANCH_REINFORCED_TEE:
            give(one_sif(markl(0.9, reinforced_characteristic(big_t, b.value1, r))));
            if (b.value1 > 1.5 * big_t)
                out.note = "the pad is thicker than 1.5 T: h = 4.05 T/r (B31.1 Table D-1)";
            break;
        case BRANCH_UNREINFORCED_TEE:
        case BRANCH_EXTRUDED_TEE: give(one_sif(markl(0.9, big_t / r))); break;
        case BRANCH_WELDOLET: give(one_sif(markl(0.9, 3.3 * big_t / r))); break;
        case BRANCH_CONNECTION: {
            // B31.1 para. 104.3.1(E), Table D-1: the branch connection of
            // mean run radius Rm, mean branch radius r'm and branch radius rp.
            const double rm = r;
            const double rbm = bend_mean_radius(b.branch_diameter, b.branch_thickness);
            const double rp = b.value1;
            if (!(rbm > 0.0 && b.branch_thickness > 0.0 && rp > 0.0))
                break;
            give(one_sif(1.5 * std::pow(rm / big_t, 2.0 / 3.0) * std::sqrt(rbm / rm) * (b.branch_thickness / big_t) *
                         (rbm / rp)));
            if (rbm / rm > 0.5 || rm / big_t > 50.0)
                out.note = "the branch connection lies outside r'm/Rm <= 0.5 and Rm/T <= 50 (B31.1 Table D-1)";
            break;
        }
        default: break;
        }
        break;
    case SifTable::Chart:
        switch (b.type) {
        case BRANCH_WELDING_TEE: give(tee_form(4.4 * big_t / r, false)); break;
        case BRANCH_REINFORCED_TEE: give(tee_form(reinforced_characteristic(big_t, b.value1, r), false)); break;
        case BRANCH_UNREINFORCED_TEE: give(tee_form(big_t / r, false)); break;
        default: break;
        }
        break;
    case SifTable::None: break;
    }
    return out;
}

double butt_weld_sif(SifTable table, double t, double delta)
{
    if (table == SifTable::None || table == SifTable::Chart || !(t > 0.0))
        return 1.0;
    delta = std::max(delta, 0.0);
    const double ratio = delta / t;
    if (t >= 0.237 && delta <= 1.0 / 16.0 && ratio <= 0.13)
        return 1.0;
    if ((t >= 0.237 && delta <= 1.0 / 8.0) || (t < 0.237 && delta <= 1.0 / 16.0 && ratio <= 0.33))
        return std::clamp(0.9 + 2.7 * ratio, 1.0, 1.9);
    return 1.9;
}

double tapered_transition_sif(SifTable table, double d, double t, double delta)
{
    if (table == SifTable::None || table == SifTable::Chart || !(t > 0.0))
        return 1.0;
    return std::clamp(1.3 + 0.0036 * d / t + 3.6 * std::max(delta, 0.0) / t, 1.0, 1.9);
}

double reducer_sif(SifTable table, double alpha_degrees, double d2, double t2)
{
    if (table == SifTable::None || table == SifTable::Chart || !(t2 > 0.0 && d2 > 0.0))
        return 1.0;
    return std::clamp(0.5 + 0.01 * std::max(alpha_degrees, 0.0) * std::sqrt(d2 / t2), 1.0, 2.0);
}

double fillet_weld_sif(SifTable table)
{
    switch (table) {
    case SifTable::None: return 1.0;
    case SifTable::Chart: return 1.3;
    default: return 2.1;
    }
}

double threaded_joint_sif(SifTable table)
{
    return table == SifTable::None ? 1.0 : 2.3;
}
