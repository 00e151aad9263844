#include "qualification/en13445_nozzle.h"

#include <algorithm>
#include <cmath>

namespace {

// ea and ec of 16.4.2 / 16.5.2: the analysis thickness and the shell with
// the pad counted by its design stress, at most with its whole thickness.
void thicknesses(const NozzleEvaluation& n, En13445Result& r)
{
    r.ea = n.e - n.c;
    const double pad = n.f > 0.0f ? std::min(static_cast<double>(n.f2) / n.f, 1.0) : 0.0;
    r.ec = r.ea + n.e2 * pad;
}

double polynomial(const double (&a)[5], double x)
{
    return a[0] + x * (a[1] + x * (a[2] + x * (a[3] + x * a[4])));
}

bool ratio_in_range(double q) { return q >= 0.001 && q <= 0.1; }

// Values far outside any vessel can drive a load beyond the range of
// numbers: such a case gets a message, not an infinity.
void finish(En13445Result& r)
{
    for (double v : {r.ec, r.lambda, r.load_distance, r.thickness_distance, r.Fz_max, r.Mb_max, r.Mx_max, r.My_max})
        if (!std::isfinite(v)) {
            r = En13445Result{};
            r.problem = "The loads of these dimensions exceed the range of numbers";
            return;
        }
}

// The quantities every formula divides by.
std::string dimension_problem(const NozzleEvaluation& n, bool cylinder)
{
    if (!(n.R > 0.0f))
        return cylinder ? "The mean shell diameter D must be above 0" : "The mean shell radius R must be above 0";
    if (!(n.d > 0.0f) || !(n.eb > 0.0f))
        return "The mean nozzle diameter d and the nozzle thickness eb must be above 0";
    if (!(n.f > 0.0f) || !(n.fb > 0.0f))
        return "The design stresses f of the shell and fb of the nozzle must be above 0";
    if (cylinder && !(n.ec > 0.0f))
        return "Combined Shell + Pad Thk should be > 0";
    return {};
}

}  // namespace

En13445Result en13445_sphere(const NozzleEvaluation& n)
{
    En13445Result r;
    thicknesses(n, r);
    const double R = n.R, d = n.d, eb = n.eb, f = n.f, ec = r.ec;
    if (r.problem = dimension_problem(n, false); !r.problem.empty())
        return r;
    r.ratio = r.ea / R;
    r.ratio_passed = ratio_in_range(r.ratio);
    if (r.ratio_passed && !(ec > 0.0)) {
        r.problem = "The shell plus pad thickness ec must be above 0";
        return r;
    }
    r.load_distance = std::sqrt(R * ec);
    r.thickness_distance = std::sqrt(eb * d);
    if (!r.ratio_passed)
        return r;
    // 16.4.5
    r.nu = std::min(1.0, 2.0 * n.fb * eb * std::sqrt(eb / d) / (f * ec));
    r.lambda = d / std::sqrt(R * ec);
    const double s = std::sqrt(1.0 + r.nu), l = r.lambda;
    r.Fz_max = f * ec * ec * (1.82 + 2.4 * s * l + 0.91 * r.nu * l * l);
    r.Mb_max = d / 4.0 * f * ec * ec * (4.9 + 2.0 * s * l + 0.91 * r.nu * l * l);
    finish(r);
    return r;
}

double en13445_c3(double t, double lambda)
{
    static const double low[5] = {4.8844123, -0.071389213, 0.79991257, -0.02415571, 0.0};
    static const double high[5] = {6.3178077, -3.6618209, 4.5145392, -0.83094841, 0.050698493};
    double a[5];
    if (t <= 0.2) {
        std::copy(std::begin(low), std::end(low), a);
    } else if (t >= 0.5) {
        std::copy(std::begin(high), std::end(high), a);
    } else {
        const double s = t - 0.2;
        a[0] = 4.8844123 + 4.7779846 * s;
        a[1] = -0.071389213 - 11.968106 * s;
        a[2] = 0.79991257 + 12.382089 * s;
        a[3] = -0.02415571 - 2.689309 * s;
        a[4] = 0.16899498 * s;
    }
    return std::max(4.9, polynomial(a, lambda));
}

En13445Result en13445_cylinder(const NozzleEvaluation& n)
{
    En13445Result r;
    thicknesses(n, r);
    const double D = n.R, d = n.d, eb = n.eb, f = n.f, ec = r.ec;
    if (r.problem = dimension_problem(n, true); !r.problem.empty())
        return r;
    r.ratio = r.ea / D;
    r.ratio_passed = ratio_in_range(r.ratio);
    if (!r.ratio_passed)
        return r;
    if (!(ec > 0.0)) {
        r.problem = "The shell plus pad thickness ec must be above 0";
        return r;
    }
    // 16.5.3: lambda of the shell and pad thickness as entered.
    r.lambda = d / std::sqrt(D * static_cast<double>(n.ec));
    r.lambda_passed = r.lambda <= 10.0;
    r.load_distance = std::sqrt(D * ec);
    r.thickness_distance = std::sqrt(eb * d);
    // 16.5.5
    const double l = r.lambda;
    static const double c1[5] = {0.60072181, 0.95196257, 0.005195788, -0.001406381, 0.0};
    static const double c2[5] = {4.526315, 0.064021889, 0.15887638, -0.021419298, 0.001035041};
    r.C1 = std::max(1.81, polynomial(c1, l));
    r.C2 = std::max(4.9, polynomial(c2, l));
    r.C3 = en13445_c3(eb / ec, l);
    r.Fz_max = r.C1 * f * ec * ec;
    r.Mx_max = r.C2 * d / 4.0 * f * ec * ec;
    r.My_max = r.C3 * d / 4.0 * f * ec * ec;
    finish(r);
    return r;
}
