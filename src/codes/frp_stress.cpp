#include "codes/frp_stress.h"

#include <algorithm>
#include <cmath>

double FrpEndStress::largest_ratio() const
{
    return std::max({hoop_ratio, axial_ratio, torsion_ratio});
}

namespace {

double ratio(double stress, double allowable)
{
    return allowable > 0.0 ? std::fabs(stress) / allowable : 0.0;
}

}  // namespace

FrpEndStress frp_end_stress(const StressSection& s, const Sifs& i, const EndLoads& l, double p,
                            const FrpAllowables& a)
{
    FrpEndStress out;
    out.allowable = a;
    if (!s.valid())
        return out;
    const double dm = s.outside_diameter - s.thickness;
    const double z = s.section_modulus;
    out.hoop = p * dm / (2.0 * s.thickness);
    const double direct = p * dm / (4.0 * s.thickness) + l.axial / s.area;
    const double bending = std::hypot(std::max(i.in_plane, 1.0) * l.in_plane, std::max(i.out_plane, 1.0) * l.out_plane) / z;
    out.axial = direct >= 0.0 ? direct + bending : direct - bending;
    out.torsion = std::max(i.torsion, 1.0) * l.torsion / (2.0 * z);
    out.hoop_ratio = ratio(out.hoop, a.hoop);
    out.axial_ratio = ratio(out.axial, a.axial);
    out.torsion_ratio = ratio(out.torsion, a.torsion);
    return out;
}
