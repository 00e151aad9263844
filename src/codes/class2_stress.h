// ASME Boiler and Pressure Vessel Code, Section III, Division 1, piping of
// Class 2 (Subsection NC) and Class 3 (Subsection ND, whose equations are
// NC's): the primary stress indices B1 and B2 and the equations of
// NC/ND-3650 with their allowables, as pure functions of an element end's
// section, SIF, moments and pressure (inch, lb, in-lb, psi).
//
// Editions 1986, 1992, 2015 and 2017 of Class 2 and 2017 of Class 3
// (`Class2Edition::Indices`):
//   Eq. (8)   NC-3652:   B1 P Do / 2tn + B2 MA / Z                <= 1.5 Sh
//   Eq. (9)   NC-3653.1: B1 Pmax Do / 2tn + B2 (MA + MB) / Z      <= Level B
//             1.8 Sh and 1.5 Sy; Level C (NC-3654.2) 2.25 Sh and 1.8 Sy;
//             Level D (NC-3655) 3.0 Sh and 2.0 Sy: the smaller governs
//   Eq. (10)  NC-3653.2(a): SE = i MC / Z                         <= SA
//   Eq. (10a) NC-3653.2(b): i MD / Z (single non-repeated anchor
//             movement, the settlement case)                       <= 3.0 Sc
//   Eq. (11)  NC-3653.2(c): P Do / 4tn + 0.75 i MA / Z + i MC / Z <= Sh + SA
// The 1980 edition (`Class2Edition::Edition1980`) has no primary indices:
//   Eq. (8)   P Do / 4tn + 0.75 i MA / Z <= 1.0 Sh
//   Eq. (9)   P Do / 4tn + 0.75 i (MA + MB) / Z <= 1.2 Sh (Level B),
//             1.8 Sh (Level C), 2.4 Sh (Level D)
//   Eqs. (10), (10a), (11) as above.
// M is the resultant moment sqrt(Mt^2 + Mi^2 + Mo^2) (one SIF, NC-3673.2(b)
// Table NC-3673.2(b)-1, whose factors are B31.1's); 0.75 i is at least 1.0.
// SA = f (1.25 Sc + 0.25 Sh) (NC-3611.2(e)), with the liberal allowable
// f (1.25 Sc + 0.25 Sh + (Sh - SL)) where Sh is above SL.
#pragma once

#include "codes/code_stress.h"

#include <array>
#include <optional>

enum class Class2Edition {
    Edition1980,   // ASME Class 2 (1980): the 0.75 i form
    Indices,       // 1986 on, and Class 3 (2017): B1 and B2
};
// The edition form of a Class 2/3 code id; Edition1980 for code 8 only.
Class2Edition class2_edition(int32_t piping_code);

// The component at an element end that fixes its primary stress indices.
enum class Class2Component {
    StraightPipe,       // straight pipe, girth butt welds, other items on pipe
    Bend,               // curved pipe or butt welding elbow
    BranchConnection,   // butt welding tee or branch connection
    Reducer,            // concentric reducer
    Other,              // components the table gives no indices for (miters)
};

struct B1B2 {
    double b1 = 0.5;
    double b2 = 1.0;
    bool operator==(const B1B2&) const = default;
};

// The primary stress indices of NC-3673.2(b) (the same in ND-3673.2(b)):
//   straight pipe                 B1 = 0.5, B2 = 1.0; an end with a SIF i
//                                 of a weld or fitting above 1.0 takes
//                                 B2 = 0.75 i (at least 1.0)
//   curved pipe, welding elbows   B1 = -0.1 + 0.4 h (0 <= B1 <= 0.5),
//                                 B2 = 1.30 / h^(2/3) (at least 1.0)
//   tees, branch connections      B1 = 0.5, B2 = 0.75 i (at least 1.0)
//   concentric reducers           B1 = 1.0, B2 = 1.0
//   other components              B1 = 0.5, B2 = 0.75 i (at least 1.0)
// h is the bend characteristic T R1 / r2^2 (sif_formulas.h), i the end's SIF.
B1B2 class2_indices(Class2Component component, double h, double sif);

// The pressure term P Do / 2tn (times B1) or P Do / 4tn of a wall.
double class2_pressure_term(const StressSection& section, double pressure, double b1);

// Eq. (8) of the edition: `loads` are the sustained case's.
double class2_sustained(Class2Edition edition, const StressSection& section, double z, const B1B2& indices,
                        double sif, const EndLoads& loads, double pressure);
// Eq. (9): the sustained moments MA and the occasional MB (its magnitude
// added, never subtracted); Pmax the peak pressure.
double class2_occasional(Class2Edition edition, const StressSection& section, double z, const B1B2& indices,
                         double sif, const EndLoads& sustained, const EndLoads& occasional, double peak_pressure);
// Eq. (10) or (10a): i M / Z.
double class2_expansion(double z, double sif, const EndLoads& loads);
// Eq. (11): P Do / 4tn + 0.75 i MA / Z + i MC / Z.
double class2_combined(const StressSection& section, double z, double sif, const EndLoads& sustained,
                       const EndLoads& expansion, double pressure);

// ---- Allowables -------------------------------------------------------------------

// Eq. (8): 1.5 Sh (1986 on), 1.0 Sh (1980).
double class2_sustained_allowable(Class2Edition edition, double sh);
// Eq. (9) at the service level of the options (0 Level B, 1 Level C,
// 2 Level D): the smaller of the Sh and Sy limits, none (not checked)
// without the yield stress Sy the limit needs (1986 on).
std::optional<double> class2_occasional_allowable(Class2Edition edition, int service_level, double sh, double sy);
// Eq. (10a): 3.0 Sc.
double class2_settlement_allowable(double sc);
// Eq. (11): Sh + SA.
double class2_combined_allowable(double sh, double sa);

// ---- Branch connections ----------------------------------------------------------

// The run moment of a branch connection, component by component, from the
// moments the two run legs put on the junction (in one set of axes): where
// the two components have opposite signs the moment runs through the
// junction and the smaller magnitude is taken; where they have the same sign
// they balance the branch and the component is 0 (NC-3653.3 with
// NB-3683.1(d)). In the force tables' sign rule (the internal moments, first
// end negated) a through-run moment has the same sign at both run ends:
// there the same-sign components give the smaller, others 0.
std::array<double, 3> branch_run_moment(const std::array<double, 3>& leg1, const std::array<double, 3>& leg2);

// What the branch-connection table shows at one branch node in one load
// case (NC-3653.3): the branch and run moments (resultants), the branch's
// effective section modulus Zb = pi r'm^2 Ts (Ts the lesser of the run's
// wall and i times the branch's) and the run's Zr; the stress by the
// equation of the case:
//   sustained, occasional, hydrotest: B1 P Do / 2Tr + B2 (Mb / Zb + Mr / Zr)
//   expansion, settlement:            i (Mb / Zb + Mr / Zr)
// with the run's Do, Tr and the tee's B1, B2 and i.
struct BranchConnectionStress {
    double branch_moment = 0.0;
    double run_moment = 0.0;
    double branch_modulus = 0.0;
    double run_modulus = 0.0;
    double stress = 0.0;
};
struct BranchConnectionInput {
    StressSection run;
    StressSection branch;
    double sif = 1.0;
    B1B2 indices;
    std::array<double, 3> branch_moment{};   // the branch leg's moment (any axes)
    std::array<double, 3> run_moment{};      // from branch_run_moment
    double pressure = 0.0;
    bool primary = true;                     // the B1/B2 equation, else the SIF one
};
BranchConnectionStress branch_connection_stress(const BranchConnectionInput& in);
