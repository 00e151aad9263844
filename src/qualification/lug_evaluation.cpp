#include "qualification/lug_evaluation.h"

#include "framework/text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.141592653589793;

// The X of a Y-3410 index: with x1 = log10(beta1) - a1, x2 = log10(beta2) - a2,
// X = -(cos(theta) x1 + sin(theta) x2) - (sin(theta) x1 - cos(theta) x2)^2 / c.
double y3410_x(double beta1, double beta2, double theta_degrees, double a1, double a2, double c)
{
    const double th = theta_degrees * PI / 180.0;
    const double x1 = std::log10(beta1) - a1, x2 = std::log10(beta2) - a2;
    const double across = std::sin(th) * x1 - std::cos(th) * x2;
    return -(std::cos(th) * x1 + std::sin(th) * x2) - across * across / c;
}

RectangularLugIndices rectangular_indices(const LugInput& in)
{
    RectangularLugIndices k;
    const double T = in.T, L1 = in.L1, L2 = in.L2;
    k.Rm = (in.Do - T) / 2.0;
    k.gamma = k.Rm / T;
    k.beta1 = L1 / k.Rm;
    k.beta2 = L2 / k.Rm;
    k.Xn = y3410_x(k.beta1, k.beta2, 40.0, 0.0, -0.05, 2.2);
    k.XL = y3410_x(k.beta1, k.beta2, 50.0, 0.45, 0.55, 2.0);
    k.XC = y3410_x(k.beta1, k.beta2, 40.0, 0.75, 0.6, 1.8);
    if (k.Xn > 0.0 && k.XL > 0.0 && k.XC > 0.0) {
        const double g = k.gamma, b1 = k.beta1, b2 = k.beta2;
        k.Kn = std::max(1.0, 3.82 * std::pow(g, 1.64) * b1 * b2 * std::pow(k.Xn, 1.54));
        k.KL = std::max(1.0, 0.26 * std::pow(g, 1.74) * b1 * b2 * b2 * std::pow(k.XL, 4.74));
        k.KC = std::max(1.0, 0.38 * std::pow(g, 1.9) * b1 * b1 * b2 * std::pow(k.XC, 3.4));
    }
    k.Kn_p = std::max(1.0, 2.0 * k.Kn / 3.0);
    k.KL_p = std::max(1.0, 2.0 * k.KL / 3.0);
    k.KC_p = std::max(1.0, 2.0 * k.KC / 3.0);
    k.A = 4.0 * L1 * L2;
    k.ZL = 4.0 / 3.0 * L1 * L2 * L2;
    k.ZN = 4.0 / 3.0 * L1 * L1 * L2;
    k.shear_Q1 = 2.0 * L1 * std::min(T, L2);
    k.shear_Q2 = 2.0 * L2 * std::min(T, L1);
    return k;
}

// The torsional shear stress of a rectangular attachment: the larger in
// magnitude of the two quotients of Y-3410, with its sign.
double rectangular_torsion(const LugInput& in, double MT)
{
    const double Lmin = std::min(in.L1, in.L2), Lmax = std::max(in.L1, in.L2);
    const double a = MT / ((1.0 + Lmin / Lmax) * in.T * Lmax * Lmin);
    const double b = MT / ((0.8 + 0.05 * Lmax / Lmin) * Lmax * Lmin * Lmin);
    return std::fabs(a) >= std::fabs(b) ? a : b;
}

double rectangular_local(const LugInput& in, const RectangularLugIndices& k, const LugLoads& l, double kw, double kl,
                         double kc)
{
    return std::fabs(l.Q2 / k.shear_Q2) + std::fabs(l.Q1 / k.shear_Q1) + std::fabs(l.MN * kc / k.ZN) +
           std::fabs(l.ML * kl / k.ZL) + std::fabs(l.W * kw / k.A) + std::fabs(rectangular_torsion(in, l.MT));
}

HollowLugIndices hollow_indices(const LugInput& in)
{
    HollowLugIndices k;
    const double d_o = in.d_o, t = in.t, di = d_o - 2.0 * t;
    k.A = PI / 4.0 * (d_o * d_o - di * di);
    k.Z = PI / 4.0 * (std::pow(d_o / 2.0, 4) - std::pow(di / 2.0, 4)) / (d_o / 2.0);
    k.As = k.A / 2.0;
    k.Zt = std::max(PI * (d_o / 2.0) * (d_o / 2.0) * t, k.Z);
    k.R = in.Do / in.T;
    k.tau = t / in.T;
    k.beta = d_o / in.Do;
    const double R = k.R, tr = k.tau, b = k.beta;
    k.KW = std::max({1.0, 1.4 * std::exp(-1.2 * b * b * b) * std::pow(R, 0.81) * std::pow(tr, 1.33),
                     4.0 * std::exp(-1.35 * b * b * b) * std::pow(R, 0.55) * tr});
    k.KL = std::max({1.0, 0.46 * std::pow(b, -0.04) * std::pow(tr, 0.86) * std::pow(R, 0.6),
                     1.1 * std::pow(b, -0.38) * std::pow(tr, 0.38) * std::pow(R, 0.23)});
    if (b <= 0.55) {
        k.KN = std::max({1.0, 0.51 * std::pow(R, 1.01) * std::pow(tr, 0.89) * std::pow(b, 0.79),
                         0.84 * std::pow(b, 0.8) * std::pow(tr, 0.54) * std::pow(R, 0.85)});
        k.KT = 1.0;
    } else {
        k.KN = std::max({1.0, 0.23 * std::pow(R, 1.01) * std::pow(tr, 0.89) * std::pow(b, -0.62),
                         0.44 * std::pow(b, -0.28) * std::pow(tr, 0.54) * std::pow(R, 0.85)});
        k.KT = std::max(1.0, 1.0 + (k.KN - 1.0) * (b - 0.55) / 0.45);
    }
    k.KW_p = std::max(1.0, k.KW / 2.0);
    k.KL_p = std::max(1.0, k.KL / 2.0);
    k.KN_p = std::max(1.0, k.KN / 2.0);
    k.KT_p = std::max(1.0, k.KT / 2.0);
    return k;
}

double hollow_local(const HollowLugIndices& k, const LugLoads& l, double kw, double kl, double kn, double kt)
{
    return std::fabs(l.MT * kt / k.Zt) + std::fabs(l.MN * kn / k.Z) + std::fabs(l.ML * kl / k.Z) +
           std::fabs(l.W * kw / k.A) + std::fabs(l.Q2 / k.As) + std::fabs(l.Q1 / k.As);
}

}  // namespace

const char* lug_code_title(int32_t code)
{
    switch (code) {
    case LUG_ASME_NC: return "ASME Sec III, Div 1(2010) Appendix Y (NC - Class 2)";
    case LUG_ASME_ND: return "ASME Sec III, Div 1(2010) Appendix Y (ND - Class 3)";
    default: return "Clause 11 - Integral Attachments, EN 13480-3 (2017)";
    }
}

std::string lug_geometry_problem(const LugInput& in)
{
    if (!(in.Do > 0.0f) || !(in.T > 0.0f))
        return "The run pipe's outside diameter and wall thickness must be above 0";
    if (in.attachment == LUG_HOLLOW) {
        if (!(in.d_o > 0.0f) || !(in.t > 0.0f))
            return "The attachment's outside diameter and wall thickness must be above 0";
        const double r = in.Do / (2.0 * in.T);
        if (r < 4.0 || r > 50.0)
            return "Run Pipe - Radius/Thickness should be between 4 and 50";
        const double tt = static_cast<double>(in.t) / in.T;
        if (tt < 0.2 || tt > 1.0)
            return "t/T should be between 0.2 and 1.0";
        const double beta = static_cast<double>(in.d_o) / in.Do;
        if (beta < 0.3 || beta > 1.0)
            return "do/Do should be between 0.3 and 1.0";
        if (2.0 * in.t >= in.d_o)
            return "The attachment's wall thickness must be less than its radius";
        return {};
    }
    if (!(in.L1 > 0.0f) || !(in.L2 > 0.0f))
        return "The attachment's half lengths L1 and L2 must be above 0";
    const double Ro = (in.Do - in.T) / 2.0;
    if (!(Ro > 0.0))
        return "The run pipe's wall thickness must be less than its outside diameter";
    const double b1 = in.L1 / Ro, b2 = in.L2 / Ro;
    if (b1 > 0.5)
        return "L1/Ro should be <= 0.5. Ro = Mean Pipe Radius = (Pipe OD - Thk / 2.0)";
    if (b2 > 0.5)
        return "L2/Ro should be <= 0.5. Ro = Mean Pipe Radius = (Pipe OD - Thk / 2.0)";
    if (b1 * b2 > 0.075)
        return "B1.B2 should be <= 0.075";
    const RectangularLugIndices k = rectangular_indices(in);
    if (!(k.Xn > 0.0) || !(k.XL > 0.0) || !(k.XC > 0.0))
        return c_format("The stress indices of Y-3410 are not defined for B1 = %.4g and B2 = %.4g (X = %.4g, %.4g, "
                        "%.4g must be above 0)",
                        b1, b2, k.Xn, k.XL, k.XC);
    return {};
}

LugEvaluation evaluate_lug(const LugInput& in)
{
    LugEvaluation ev;
    const bool asme = lug_code_is_asme(in.code);
    const bool hollow = in.attachment == LUG_HOLLOW;
    ev.section_title = !asme   ? "Clause 11.6: Pipe Stresses at Attachment"
                       : hollow ? "Section Y-5410: Pipe Stresses at Attachment"
                                : "Section Y-3410: Pipe Stresses at Attachment";
    if (ev.problem = lug_geometry_problem(in); !ev.problem.empty())
        return ev;

    double Psus, Pocc, Pth, Pset, snt, shear;
    const LugLoads& mx = in.maxima;
    if (hollow) {
        const HollowLugIndices k = ev.hollow = hollow_indices(in);
        Psus = hollow_local(k, in.sustained, k.KW_p, k.KL_p, k.KN_p, k.KT_p);
        Pocc = hollow_local(k, in.occasional, k.KW_p, k.KL_p, k.KN_p, k.KT_p);
        Pth = hollow_local(k, in.thermal, k.KW, k.KL, k.KN, k.KT);
        Pset = hollow_local(k, in.settlement, k.KW, k.KL, k.KN, k.KT);
        ev.weld_factor = in.weld == 1 ? 1.8 : 2.0;
        snt = mx.Q1 / k.As + mx.Q2 / k.As + mx.W * k.KW / k.A + mx.ML * k.KL / k.Z + mx.MN * k.KN / k.Z +
              mx.MT * k.KT / k.Zt;
        shear = asme ? std::fabs(mx.MT / k.Zt + std::fabs(mx.Q1 / k.As) + std::fabs(mx.Q2 / k.As))
                     : std::fabs(mx.MT / k.Zt + std::sqrt(mx.Q1 * mx.Q1 + mx.Q2 * mx.Q2) / k.As);
    } else {
        const RectangularLugIndices k = ev.rectangular = rectangular_indices(in);
        Psus = rectangular_local(in, k, in.sustained, k.Kn_p, k.KL_p, k.KC_p);
        Pocc = rectangular_local(in, k, in.occasional, k.Kn_p, k.KL_p, k.KC_p);
        Pth = rectangular_local(in, k, in.thermal, k.Kn, k.KL, k.KC);
        Pset = rectangular_local(in, k, in.settlement, k.Kn, k.KL, k.KC);
        ev.weld_factor = in.weld == 2 ? 3.6 : 2.0;
        const double q1 = mx.Q1 / k.shear_Q1, q2 = mx.Q2 / k.shear_Q2, tau = rectangular_torsion(in, mx.MT);
        snt = mx.W * k.Kn / k.A + mx.ML * k.KL / k.ZL + mx.MN * k.KC / k.ZN + q1 + q2 + tau;
        shear = asme ? std::fabs(q2) + std::fabs(q1) + std::fabs(tau) : std::sqrt(q1 * q1 + q2 * q2) + std::fabs(tau);
    }
    const double fw = ev.weld_factor;
    const double thermal = fw * Pth / 2.0;
    if (asme) {
        static const double LEVEL_FACTOR[4] = {1.5, 1.5, 1.8, 2.0};
        const double level = LEVEL_FACTOR[std::clamp(in.level, 0, 3)];
        ev.checks = {
            {"Sustained Stress (Ssl) [Eq. 8]:", in.sustained_stress + Psus, 1.5 * in.sh},
            {"Sustained + Occasional (Sol) [Eq. 9]:", in.occasional_stress + Pocc + Psus, level * in.sy},
            {"Thermal Exp. Stress (Se) [Eq. 10]:", in.expansion_stress + thermal, in.sa},
            {"Settlement Stress (Sd) [Eq. 10a]:", in.settlement_stress + fw * Pset / 2.0, 3.0 * in.sh},
            {"Sustained + Thermal Exp. Stress (Ste) [Eq. 11]:", Psus + in.thermal_stress + thermal,
             static_cast<double>(in.sa) + in.sh},
        };
    } else {
        ev.checks = {
            {"Sustained Stress (S1) [Eq. 11.6-1]:", in.sustained_stress + Psus, 1.5 * in.fh},
            {"Sustained + Occasional (S2a) [Eq. 11.6-2]:", in.occasional_stress + Pocc + Psus, 1.8 * in.fh},
            {"Restrained Thermal Exp. Stress (S3) [Eq. 11.6-4]:", in.expansion_stress + thermal, in.fa},
            {"Sustained + Thermal Exp. Stress (S4) [Eq. 11.6-5]:", Psus + in.thermal_stress + thermal,
             static_cast<double>(in.fa) + in.fh},
            {"Creep Stress (S5) [Eq. 11.6-5a]:", in.settlement_stress + Psus + thermal, 1.25 * in.fcr},
        };
    }

    if (in.weld == 0)
        ev.weld_title = "Additional check for Full Penetration Weld";
    else if (hollow)
        ev.weld_title = "Additional check for Fillet or Partial Penetration Weld";
    else
        ev.weld_title = in.weld == 1 ? "Additional check for Fillet or Partial Penetration Weld (4 Sides)"
                                     : "Additional check for Fillet or Partial Penetration Weld (<= 3 Sides)";
    const double yield = asme ? in.sy : in.ReHt;
    const char* snt_label = !asme   ? (hollow ? "Stress (SNT**) as per Eq. 11.4.3-4:" : "Stress (SNT**) as per Eq. 11.6-6:")
                            : hollow ? "Stress (SNT**) as per Y-5410 Eq. 5:"
                                     : "Stress (SNT**) as per Y-3410 Eq. 5:";
    const char* shear_label = !asme ? (hollow ? "Shear Stress as per Eq. 11.7.1-1:" : "Shear Stress as per Eq. 11.7.2-1:")
                              : hollow ? "Shear Stress as per Y-5410 Eq. 6:"
                                       : "Shear Stress as per Y-3410 Eq. 6:";
    // The rectangular EN row keeps the sign of SNT**; the other three its magnitude.
    ev.weld_checks = {{snt_label, asme || hollow ? std::fabs(snt) : snt, 2.0 * yield}, {shear_label, shear, yield}};
    // Loads and dimensions far outside any pipe can drive a stress beyond the
    // range of numbers: such a case gets a message, not an infinity.
    for (const std::vector<LugCheck>* list : {&ev.checks, &ev.weld_checks})
        for (const LugCheck& c : *list)
            if (!std::isfinite(c.calculated) || !std::isfinite(c.allowed)) {
                ev.checks.clear();
                ev.weld_checks.clear();
                ev.problem = "The stresses of these loads and dimensions exceed the range of numbers";
                return ev;
            }
    return ev;
}
