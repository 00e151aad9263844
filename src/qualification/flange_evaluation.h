// The evaluation of a bolted flange joint by ASME Section VIII Division 1
// Mandatory Appendix 2 (gasket and bolt loads 2-5, moment arms Table 2-6,
// moments 2-6, shape factors Fig. 2-7.1, flange factors Table 2-7.1,
// stresses 2-7 and 2-13 for reverse flanges, rigidity index 2-14) for the
// operating and the gasket seating condition, and the equivalent pressure of
// ASME Section III NC-3658.1 that adds the axial force and the bending moment
// to the design pressure.
//
// Input that leaves a quantity undefined (K = A/B not above 1, a hubbed
// flange without hub length, a gasket reaction diameter not above 0...)
// gives a message in `problem` and no stresses: no NaN or infinity leaves
// this evaluation.
#pragma once

#include "qualification/flange.h"

#include <array>
#include <string>

// The flange factors of Table 2-7.1 in formula form for A = g1/g0 - 1 and
// C = 43.68 (h/h0)^4: the coefficients C1 to C37 and E1 to E6, the factors
// F, V and f of integral flanges and FL, VL of loose flanges.
struct FlangeFactorTable {
    double A = 0.0;
    double C = 0.0;
    std::array<double, 38> c{};   // C1..C37, slot 0 unused
    std::array<double, 7> e{};    // E1..E6, slot 0 unused
    double F = 0.0, V = 0.0, f = 1.0;
    double FL = 0.0, VL = 0.0;
};
FlangeFactorTable flange_factor_table(double A, double C);

// The basic gasket seating width b0 of Table 2-5.2 for the facing sketch
// (1..5) and column (1..2) with the gasket width N.
double gasket_basic_width(int sketch, int column, double N);

struct FlangeStresses {
    double SH = 0.0, SR = 0.0, ST = 0.0;
    double SH_SR = 0.0, SH_ST = 0.0;   // (SH + SR)/2, (SH + ST)/2
    double bolt = 0.0;
};

struct FlangeResults {
    // Why the stresses and J cannot be given; empty when they are.
    std::string problem;
    // The loads and the equivalent pressure were computed (G above 0).
    bool loads_valid = false;

    double N = 0.0, b0 = 0.0, b = 0.0, G = 0.0;
    double equivalent_pressure = 0.0;
    double H = 0.0, HD = 0.0, HT = 0.0, HG = 0.0;
    double Wm1 = 0.0, Wm2 = 0.0, Am = 0.0, Ab = 0.0, W = 0.0;
    double hD = 0.0, hT = 0.0, hG = 0.0;
    double Mo = 0.0, Mg = 0.0;
    double K = 0.0, T = 0.0, U = 0.0, Y = 0.0, Z = 0.0;
    double h0 = 0.0, F = 0.0, V = 0.0, f = 1.0, Kr = 0.0;
    double e = 0.0, d = 0.0, L = 0.0;
    double alpha_r = 0.0, Tr = 0.0, Yr = 0.0;   // reverse flanges
    FlangeStresses operating, seating;
    double J_operating = 0.0, J_seating = 0.0;
};

// Evaluates the joint; writes the diagnostic trace through debug_print.
FlangeResults analyze_flange(const FlangeInput& in);
