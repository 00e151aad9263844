#include "qualification/flange_evaluation.h"

#include "framework/errors.h"

#include <algorithm>
#include <cmath>

namespace {

// π as the evaluation takes it, and the full π of the force term of the
// equivalent pressure.
constexpr double PI_F = 3.1415927;
constexpr double PI = 3.141592653589793;

bool is_finite(double v) { return std::isfinite(v); }

}  // namespace

// ASME Section VIII Division 1, Mandatory Appendix 2, Table 2-7.1 "Flange
// factors in formula form", coded from the public reproduction of the table
// in prjFlange (github.com/fjodor069/prjFlange, prjFlange/flangeASME.vb,
// routine berekenfactoren, taken from BSFLENS.BAS): A = g1/g0 - 1,
// C = 43.68 (h/h0)^4, the coefficients C1..C37 and E1..E6, then
// F = -E6 / ((C/2.73)^1/4 (1+A)^3 / C), V = E4 / ((2.73/C)^1/4 (1+A)^3),
// f = C36/(1+A) (at least 1), and for loose flanges
// FL = -(C18 (1/2 + A/6) + C21 (1/4 + 11A/84) + C24 (1/70 + A/105) - (1/40 + A/72)) / ((C/2.73)^1/4 (1+A)^3 / C),
// VL = (1/4 - C24/5 - 3 C21/2 - C18) / ((2.73/C)^1/4 (1+A)^3).
FlangeFactorTable flange_factor_table(double A, double C)
{
    FlangeFactorTable t;
    t.A = A;
    t.C = C;
    std::array<double, 38>& c = t.c;
    std::array<double, 7>& e = t.e;
    const double A2 = A * A, A3 = A2 * A;
    c[1] = 1.0 / 3.0 + A / 12.0;
    c[2] = 5.0 / 42.0 + 17.0 * A / 336.0;
    c[3] = 1.0 / 210.0 + A / 360.0;
    c[4] = 11.0 / 360.0 + 59.0 * A / 5040.0 + (1.0 + 3.0 * A) / C;
    c[5] = 1.0 / 90.0 + 5.0 * A / 1008.0 - std::pow(1.0 + A, 3) / C;
    c[6] = 1.0 / 120.0 + 17.0 * A / 5040.0 + 1.0 / C;
    c[7] = 215.0 / 2772.0 + 51.0 * A / 1232.0 + (60.0 / 7.0 + 225.0 * A / 14.0 + 75.0 * A2 / 7.0 + 5.0 * A3 / 2.0) / C;
    c[8] = 31.0 / 6930.0 + 128.0 * A / 45045.0 + (6.0 / 7.0 + 15.0 * A / 7.0 + 12.0 * A2 / 7.0 + 5.0 * A3 / 11.0) / C;
    c[9] = 533.0 / 30240.0 + 653.0 * A / 73920.0 +
           (1.0 / 2.0 + 33.0 * A / 14.0 + 39.0 * A2 / 28.0 + 25.0 * A3 / 84.0) / C;
    c[10] = 29.0 / 3780.0 + 3.0 * A / 704.0 - (1.0 / 2.0 + 33.0 * A / 14.0 + 81.0 * A2 / 28.0 + 13.0 * A3 / 12.0) / C;
    c[11] = 31.0 / 6048.0 + 1763.0 * A / 665280.0 +
            (1.0 / 2.0 + 6.0 * A / 7.0 + 15.0 * A2 / 28.0 + 5.0 * A3 / 42.0) / C;
    c[12] = 1.0 / 2925.0 + 71.0 * A / 300300.0 +
            (8.0 / 35.0 + 18.0 * A / 35.0 + 156.0 * A2 / 385.0 + 6.0 * A3 / 55.0) / C;
    c[13] = 761.0 / 831600.0 + 937.0 * A / 1663200.0 +
            (1.0 / 35.0 + 6.0 * A / 35.0 + 11.0 * A2 / 70.0 + 3.0 * A3 / 70.0) / C;
    c[14] = 197.0 / 415800.0 + 103.0 * A / 332640.0 - (1.0 / 35.0 + 6.0 * A / 35.0 + 17.0 * A2 / 70.0 + A3 / 10.0) / C;
    c[15] = 233.0 / 831600.0 + 97.0 * A / 554400.0 +
            (1.0 / 35.0 + 3.0 * A / 35.0 + A2 / 14.0 + 2.0 * A3 / 105.0) / C;
    c[16] = c[1] * c[7] * c[12] + c[2] * c[8] * c[3] + c[3] * c[8] * c[2] -
            (c[3] * c[3] * c[7] + c[8] * c[8] * c[1] + c[2] * c[2] * c[12]);
    c[17] = (c[4] * c[7] * c[12] + c[2] * c[8] * c[13] + c[3] * c[8] * c[9] -
             (c[13] * c[7] * c[3] + c[8] * c[8] * c[4] + c[12] * c[2] * c[9])) /
            c[16];
    c[18] = (c[5] * c[7] * c[12] + c[2] * c[8] * c[14] + c[3] * c[8] * c[10] -
             (c[14] * c[7] * c[3] + c[8] * c[8] * c[5] + c[12] * c[2] * c[10])) /
            c[16];
    c[19] = (c[6] * c[7] * c[12] + c[2] * c[8] * c[15] + c[3] * c[8] * c[11] -
             (c[15] * c[7] * c[3] + c[8] * c[8] * c[6] + c[12] * c[2] * c[11])) /
            c[16];
    c[20] = (c[1] * c[9] * c[12] + c[4] * c[8] * c[3] + c[3] * c[13] * c[2] -
             (c[3] * c[3] * c[9] + c[13] * c[8] * c[1] + c[12] * c[4] * c[2])) /
            c[16];
    c[21] = (c[1] * c[10] * c[12] + c[5] * c[8] * c[3] + c[3] * c[14] * c[2] -
             (c[3] * c[3] * c[10] + c[14] * c[8] * c[1] + c[12] * c[5] * c[2])) /
            c[16];
    c[22] = (c[1] * c[11] * c[12] + c[6] * c[8] * c[3] + c[3] * c[15] * c[2] -
             (c[3] * c[3] * c[11] + c[15] * c[8] * c[1] + c[12] * c[6] * c[2])) /
            c[16];
    c[23] = (c[1] * c[7] * c[13] + c[2] * c[9] * c[3] + c[4] * c[8] * c[2] -
             (c[3] * c[7] * c[4] + c[8] * c[9] * c[1] + c[2] * c[2] * c[13])) /
            c[16];
    c[24] = (c[1] * c[7] * c[14] + c[2] * c[10] * c[3] + c[5] * c[8] * c[2] -
             (c[3] * c[7] * c[5] + c[8] * c[10] * c[1] + c[2] * c[2] * c[14])) /
            c[16];
    c[25] = (c[1] * c[7] * c[15] + c[2] * c[11] * c[3] + c[6] * c[8] * c[2] -
             (c[3] * c[7] * c[6] + c[8] * c[11] * c[1] + c[2] * c[2] * c[15])) /
            c[16];
    const double q = C / 4.0;
    c[26] = -std::pow(q, 0.25);
    c[27] = c[20] - c[17] - 5.0 / 12.0 + c[17] * c[26];
    c[28] = c[22] - c[19] - 1.0 / 12.0 + c[19] * c[26];
    c[29] = -std::sqrt(q);
    c[30] = -std::pow(q, 0.75);
    c[31] = 3.0 * A / 2.0 - c[17] * c[30];
    c[32] = 0.5 - c[19] * c[30];
    c[33] = 0.5 * c[26] * c[32] + c[28] * c[31] * c[29] - (0.5 * c[30] * c[28] + c[32] * c[27] * c[29]);
    c[34] = 1.0 / 12.0 + c[18] - c[21] - c[18] * c[26];
    c[35] = c[18] * c[30];
    c[36] = (c[28] * c[35] * c[29] - c[32] * c[34] * c[29]) / c[33];
    c[37] = (0.5 * c[26] * c[35] + c[34] * c[31] * c[29] - (0.5 * c[30] * c[34] + c[35] * c[27] * c[29])) / c[33];
    e[1] = c[17] * c[36] + c[18] + c[19] * c[37];
    e[2] = c[20] * c[36] + c[21] + c[22] * c[37];
    e[3] = c[23] * c[36] + c[24] + c[25] * c[37];
    e[4] = 1.0 / 4.0 + c[37] / 12.0 + c[36] / 4.0 - e[3] / 5.0 - 3.0 * e[2] / 2.0 - e[1];
    e[5] = e[1] * (1.0 / 2.0 + A / 6.0) + e[2] * (1.0 / 4.0 + 11.0 * A / 84.0) + e[3] * (1.0 / 70.0 + A / 105.0);
    e[6] = e[5] - c[36] * (7.0 / 120.0 + A / 36.0 + 3.0 * A / C) - 1.0 / 40.0 - A / 72.0 -
           c[37] * (1.0 / 60.0 + A / 120.0 + 1.0 / C);
    const double cube = std::pow(1.0 + A, 3);
    const double f_denominator = std::pow(C / 2.73, 0.25) * cube / C;
    const double v_denominator = std::pow(2.73 / C, 0.25) * cube;
    t.F = -e[6] / f_denominator;
    t.V = e[4] / v_denominator;
    t.f = std::max(1.0, c[36] / (1.0 + A));
    t.FL = -(c[18] * (1.0 / 2.0 + A / 6.0) + c[21] * (1.0 / 4.0 + 11.0 * A / 84.0) +
             c[24] * (1.0 / 70.0 + A / 105.0) - (1.0 / 40.0 + A / 72.0)) /
           f_denominator;
    t.VL = (1.0 / 4.0 - c[24] / 5.0 - 3.0 * c[21] / 2.0 - c[18]) / v_denominator;
    return t;
}

// ASME VIII-1 Table 2-5.2, with the width of a raised nubbin taken as N/2.
double gasket_basic_width(int sketch, int column, double N)
{
    const bool second = column == 2;
    switch (sketch) {
    case 2: return second ? (3.0 * N + N / 2.0) / 8.0 : (N / 2.0 + N) / 4.0;
    case 3:
    case 5: return second ? 3.0 * N / 8.0 : N / 4.0;
    case 4: return second ? 7.0 * N / 16.0 : 3.0 * N / 8.0;
    default: return N / 2.0;
    }
}

namespace {

bool hubbed(int32_t type) { return type != FLANGE_LOOSE_NO_HUB; }
bool loose(int32_t type)
{
    return type == FLANGE_LOOSE_HUB || type == FLANGE_LOOSE_NO_HUB || type == FLANGE_OPTIONAL;
}

// Why the joint's shape leaves a factor undefined; empty when it does not.
std::string shape_problem(const FlangeInput& in)
{
    const bool reverse = in.type == FLANGE_REVERSE;
    if (in.B <= 0.0f || (reverse && in.B_reverse <= 0.0f))
        return reverse ? "The inside diameters B and B' must be above 0" : "The flange inside diameter B must be above 0";
    if (in.A <= (reverse ? in.B_reverse : in.B))
        return reverse ? "The flange outside diameter A must exceed the inside diameter B' of the reverse flange "
                         "(K = A/B' must be above 1)"
                       : "The flange outside diameter A must exceed the inside diameter B (K = A/B must be above 1)";
    if (in.t <= 0.0f)
        return "The flange thickness t must be above 0";
    if (hubbed(in.type)) {
        if (in.g0 <= 0.0f || in.g1 <= 0.0f)
            return "The hub thicknesses g0 and g1 must be above 0";
        if (in.h <= 0.0f)
            return "The hub length h must be above 0: the flange factors F, V and f of Table 2-7.1 need a hub";
    }
    if (in.E <= 0.0f || in.Ea <= 0.0f)
        return "The flange moduli E and Ea must be above 0";
    return {};
}

void trace(const FlangeResults& r, bool reverse)
{
    if (!debug_output_on())
        return;
    debug_print("G = %f, wm1 = %f, wm2 = %f\n", r.G, r.Wm1, r.Wm2);
    debug_print("Am = %f, Ab = %f, Ws = %f\n", r.Am, r.Ab, r.W);
    debug_print("HD = %f, HT = %f, HG = %f\n", r.HD, r.HT, r.HG);
    debug_print("hD = %f, hT = %f, hG = %f\n", r.hD, r.hT, r.hG);
    debug_print("Mo = %f, GMo = %f\n", r.Mo, r.Mg);
    debug_print("K = %f, T = %f, U = %f, Y = %f, Z = %f\n", r.K, r.T, r.U, r.Y, r.Z);
    debug_print("F = %f, V = %f, f = %f, ho = %f\n", r.F, r.V, r.f, r.h0);
    debug_print("Ur = %f, Yr = %f, Tr = %f, dr = %f\n", reverse ? r.alpha_r * r.U : 0.0, r.Yr, r.Tr,
                reverse ? r.d : 0.0);
    debug_print("d = %f, e = %f, L = %f, AlfR = %f\n", r.d, r.e, r.L, r.alpha_r);
    debug_print("SH = %f ,SR = %f,ST = %f\n", r.operating.SH, r.operating.SR, r.operating.ST);
    debug_print("GSH = %f ,GSR = %f,GST = %f\n", r.seating.SH, r.seating.SR, r.seating.ST);
    debug_print("Ki = %f\n", r.Kr);
    debug_print("J(Oper) = %f ,J(Gask) = %f\n", r.J_operating, r.J_seating);
}

}  // namespace

FlangeResults analyze_flange(const FlangeInput& in)
{
    FlangeResults r;
    const int32_t type = in.type;
    const bool reverse = type == FLANGE_REVERSE;

    // Gasket and bolt loads, ASME VIII-1 2-5.
    r.N = (in.gasket_od - in.gasket_id) / 2.0;
    r.b0 = gasket_basic_width(in.facing_sketch, in.facing_column, r.N);
    r.b = r.b0 < 0.25 ? r.b0 : 0.5 * std::sqrt(r.b0);
    // G: the mean diameter of the gasket contact face when b0 <= 1/4 in.,
    // else its outside diameter less 2b (2-3, "G").
    r.G = r.b0 <= 0.25 ? (in.gasket_od + in.gasket_id) / 2.0 : in.gasket_od - 2.0 * r.b;
    if (in.gasket_od < in.gasket_id) {
        r.problem = "The gasket outer diameter must not be less than its inner diameter";
        return r;
    }
    if (!(r.G > 0.0)) {
        r.problem = "The gasket reaction diameter G is not above 0: the gasket outer diameter must exceed 2b";
        return r;
    }
    if (in.Sb <= 0.0f || in.Sa <= 0.0f) {
        r.problem = "The bolt allowable stresses Sb and Sa must be above 0";
        return r;
    }
    // ASME III NC-3658.1(a): Peq = 16 M / (pi G^3) + 4 F / (pi G^2) + P.
    r.equivalent_pressure = 16.0 * in.moment / (3.14 * r.G * r.G * r.G) + 4.0 * in.axial_force / (PI * r.G * r.G) + in.P;
    r.Wm2 = PI_F * r.b * r.G * in.y;
    r.H = 0.785 * r.G * r.G * in.P;
    r.Wm1 = 2.0 * r.b * PI_F * r.G * in.m * in.P + r.H;
    r.HD = 0.785 * static_cast<double>(in.B) * in.B * in.P;
    r.Am = std::max(r.Wm1 / in.Sb, r.Wm2 / in.Sa);
    const int size = std::clamp(in.bolt_size, 0, BOLT_SIZE_COUNT - 1);
    r.Ab = in.bolts * bolt_sizes[static_cast<std::size_t>(size)].root_area;
    r.HG = r.Wm1 - r.H;
    r.HT = r.H - r.HD;
    r.W = (r.Am + r.Ab) * in.Sa / 2.0;

    // Moment arms (Table 2-6) and moments (2-6).
    r.hG = (in.C - r.G) / 2.0;
    const double R = (in.C - in.B) / 2.0 - in.g1;
    if (type == FLANGE_INTEGRAL) {
        r.hD = R + in.g1 / 2.0;
        r.hT = (R + in.g1 + r.hG) / 2.0;
    } else if (reverse) {
        r.hD = (in.C + in.g1 - 2.0 * in.g0 - in.B) / 2.0;
        r.hT = (in.C - (in.B + r.G) / 2.0) / 2.0;
    } else {
        r.hD = (in.C - in.B) / 2.0;
        r.hT = (r.hD + r.hG) / 2.0;
    }
    r.Mo = r.HD * r.hD + r.HT * r.hT + r.HG * r.hG;
    if (reverse)
        r.Mo = std::fabs(r.Mo);
    r.Mg = r.W * r.hG;
    r.loads_valid = is_finite(r.equivalent_pressure) && is_finite(r.Wm1) && is_finite(r.Wm2) && is_finite(r.Mo) && is_finite(r.Mg);
    if (!r.loads_valid) {
        r.problem = "The gasket and bolt loads have no finite value for this joint";
        return r;
    }
    if (r.problem = shape_problem(in); !r.problem.empty())
        return r;

    // Shape factors, Fig. 2-7.1.
    const double Bd = reverse ? in.B_reverse : in.B;
    r.K = in.A / Bd;
    const double K = r.K, K2 = K * K, lg = std::log10(K);
    r.Y = (0.66845 + 5.7169 * K2 * lg / (K2 - 1.0)) / (K - 1.0);
    r.T = (K2 * (1.0 + 8.55246 * lg) - 1.0) / ((1.0472 + 1.9448 * K2) * (K - 1.0));
    r.U = (K2 * (1.0 + 8.55246 * lg) - 1.0) / (1.36136 * (K2 - 1.0) * (K - 1.0));
    r.Z = (K2 + 1.0) / (K2 - 1.0);

    // Flange factors, Table 2-7.1, with h0 = sqrt(B g0).
    r.h0 = std::sqrt(static_cast<double>(in.B) * in.g0);
    if (hubbed(type)) {
        const FlangeFactorTable table = flange_factor_table(in.g1 / static_cast<double>(in.g0) - 1.0,
                                                            43.68 * std::pow(in.h / r.h0, 4));
        r.F = loose(type) ? table.FL : table.F;
        r.V = loose(type) ? table.VL : table.V;
        r.f = loose(type) ? 1.0 : table.f;
    } else {
        r.F = r.V = 0.0;
        r.f = 1.0;
    }
    r.Kr = loose(type) ? 0.2 : 0.3;

    const double t = in.t;
    if (reverse) {
        // ASME VIII-1 2-13: the factors of the reverse flange.
        r.alpha_r = (1.0 + 0.668 * (K + 1.0) / r.Y) / K2;
        r.h0 = std::sqrt(static_cast<double>(in.A) * in.g0);
        r.Tr = (r.Z + 0.3) / (r.Z - 0.3) * r.alpha_r * r.T;
        r.Yr = r.alpha_r * r.Y;
        r.e = r.F / r.h0;
        r.d = r.alpha_r * r.U * r.h0 * in.g0 * in.g0 / r.V;
        r.L = (t * r.e + 1.0) / r.Tr + t * t * t / r.d;
    } else if (hubbed(type)) {
        r.e = r.F / r.h0;
        r.d = r.U / r.V * r.h0 * in.g0 * in.g0;
        r.L = (t * r.e + 1.0) / r.T + t * t * t / r.d;
    }

    // Stresses, 2-7 (2-13 for reverse flanges), and the bolt stresses.
    auto stresses = [&](double M, double bolt_load) {
        FlangeStresses s;
        M = std::fabs(M);
        if (type == FLANGE_LOOSE_NO_HUB) {
            s.ST = std::fabs(r.Y * M / (t * t * in.B));
        } else if (reverse) {
            s.SH = std::fabs(r.f * M / (r.L * in.g1 * in.g1 * Bd));
            s.SR = std::fabs((1.33 * t * r.e + 1.0) * M / (r.L * t * t * Bd));
            s.ST = std::fabs(r.Yr * M / (t * t * Bd) - r.Z * s.SR * (0.67 * t * r.e + 1.0) / (1.33 * t * r.e + 1.0));
        } else {
            s.SH = std::fabs(r.f * M / (r.L * in.g1 * in.g1 * in.B));
            s.SR = std::fabs((1.33 * t * r.e + 1.0) * M / (r.L * t * t * in.B));
            s.ST = std::fabs(r.Y * M / (t * t * in.B) - r.Z * s.SR);
        }
        s.SH_SR = (s.SH + s.SR) / 2.0;
        s.SH_ST = (s.SH + s.ST) / 2.0;
        s.bolt = bolt_load / r.Ab;
        return s;
    };
    r.operating = stresses(r.Mo, r.Wm1);
    r.seating = stresses(r.Mg, r.Wm2);

    // Rigidity index, 2-14: the hub formula, and for loose flanges without
    // hub J = 109.4 M / (E t^3 ln(K) KL).
    auto rigidity = [&](double M, double E) {
        M = std::fabs(M);
        if (type == FLANGE_LOOSE_NO_HUB)
            return 109.4 * M / (E * t * t * t * std::log(K) * r.Kr);
        return 52.14 * r.V * M / (E * r.Kr * r.h0 * in.g0 * in.g0 * r.L);
    };
    r.J_operating = rigidity(r.Mo, in.E);
    r.J_seating = rigidity(r.Mg, in.Ea);
    trace(r, reverse);

    for (double v : {r.K, r.T, r.U, r.Y, r.Z, r.F, r.V, r.f, r.e, r.d, r.L, r.operating.SH, r.operating.SR,
                     r.operating.ST, r.operating.bolt, r.seating.SH, r.seating.SR, r.seating.ST, r.seating.bolt,
                     r.J_operating, r.J_seating})
        if (!is_finite(v)) {
            r.problem = "The flange stresses have no finite value for this joint";
            break;
        }
    return r;
}
