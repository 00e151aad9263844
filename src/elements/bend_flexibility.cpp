#include "elements/bend_flexibility.h"

#include "framework/errors.h"
#include "model/piping_codes.h"

#include <cmath>

double bend_flexibility_characteristic(double outside_diameter, double thickness, double radius)
{
    const double r = (outside_diameter - thickness) / 2.0;
    KV_ASSERT(thickness > 0.0 && radius > 0.0 && r > 0.0);
    return thickness * radius / (r * r);
}

double bend_flexibility_factor(const BendFlexibilityInput& in)
{
    if (in.frp)
        return 1.0;
    const double h = bend_flexibility_characteristic(in.outside_diameter, in.thickness, in.radius);
    const double r = (in.outside_diameter - in.thickness) / 2.0;
    const bool bend = in.miter_spacing == BEND_NOT_MITER;
    const bool bs806 = in.piping_code == CODE_BS806;

    double k0;
    if (bend) {
        if (!bs806)
            k0 = 1.65 / h;
        else if (h > 5.0)
            k0 = 1.0;
        else if (h > 2.0)
            k0 = 1.28 / std::pow(h, 0.153);
        else if (h > 1.4)
            k0 = 1.46 / std::pow(h, 0.344);
        else if (h > 1.0)
            k0 = 1.6 / std::pow(h, 0.617);
        else
            k0 = 1.6 / h;
    } else if (bs806 && in.miter_spacing == MITER_WIDELY_SPACED) {
        k0 = 1.0;
    } else {
        k0 = (in.piping_code == CODE_STOOMWEZEN ? 1.22 : 1.52) / std::pow(h, 5.0 / 6.0);
    }

    if (bend && in.pressure_correction && in.pressure > 0.0) {
        const bool cold_modulus = in.piping_code == CODE_B311 || in.piping_code == CODE_B319;
        const double ec = cold_modulus ? in.reference_modulus : in.modulus;
        KV_ASSERT(ec > 0.0);
        k0 /= 1.0 + 6.0 * (in.pressure / ec) * std::pow(r / in.thickness, 7.0 / 3.0) *
                        std::pow(in.radius / r, 1.0 / 3.0);
    }

    double c = 1.0;
    const bool wide_miter = in.miter_spacing == MITER_WIDELY_SPACED;
    if (h < 1.0 && !(wide_miter && !bs806)) {
        if (in.flanged_ends == 1)
            c = std::pow(h, 1.0 / 6.0);
        else if (in.flanged_ends >= 2)
            c = std::pow(h, 1.0 / 3.0);
    }
    const double k = k0 * c;
    return k < 1.0 ? 1.0 : k;
}
