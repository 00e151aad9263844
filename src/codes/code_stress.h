// The code stress equations and their allowables, as pure functions of an
// element end's section, SIFs, moments and pressure (inch, lb, in-lb, psi).
//
// Equations by code (code_catalog.h, StressRules):
//   B313, B3112   ASME B31.3 (2018) and B31.12 (2019) Part IP:
//     sustained (para. 320.2, Eq. 23):
//       SL = sqrt((|Sa| + Sb)^2 + (2 St)^2), Sa = Ia Fa / Ap with Fa the axial
//       force and the pressure's (the longitudinal pressure stress below),
//       Sb = sqrt((Ii Mi)^2 + (Io Mo)^2) / Z, St = It Mt / 2Z, where the
//       sustained indices are Ii = max(0.75 ii, 1), Io = max(0.75 io, 1),
//       It = Ia = 1; Z and Ap of the wall less its corrosion allowance
//       ("nominal dimensions less allowances"), and at the branch end of a
//       reduced branch connection Z = Ze of para. 319.4.4 on the branch's
//       and the run's walls less their own allowances;
//     displacement stress range (para. 319.4.4, Eq. 17):
//       SE = sqrt((|Sa| + Sb)^2 + (2 St)^2), Sa = ia |Fa| / Ap,
//       Sb = sqrt((ii Mi)^2 + (io Mo)^2) / Z, St = it Mt / 2Z, nominal wall
//       (Ze of the nominal walls at a reduced branch end);
//     occasional (para. 302.3.6(a)): the occasional loads' stress by the
//       sustained equation without pressure, added to SL;
//   B311, B319    ASME B31.1 (2018) para. 104.8 and B31.9 (2017), one SIF i on
//     the resultant moment M = sqrt(Mx^2 + My^2 + Mz^2), nominal wall (Ze of
//     para. 104.8.4 on the nominal walls at a reduced branch end):
//       sustained (Eq. 15): SL = P Do / 4 tn + 0.75 i MA / Z, 0.75 i >= 1;
//       occasional (Eq. 16): SL + 0.75 i MB / Z;
//       expansion (Eq. 17): SE = i MC / Z;
//   InOutPlane    USAS B31.1.0 (1967), ASME B31.5 (2016), nominal wall:
//       expansion: SE = sqrt(Sb^2 + 4 St^2), Sb = sqrt((ii Mi)^2 + (io Mo)^2) / Z,
//       St = Mt / 2Z; sustained: the longitudinal pressure stress plus Sb
//       (these editions give no sustained index; the full SIF is taken);
//       occasional: Sb of the occasional loads added to SL.
//   NoCode        von Mises, maximum and minimum principal stresses of the
//       outer surface (no_code_stresses).
//
// The longitudinal pressure stress (the option "Pressure stress"):
//   off  P Do / (4 t)                      (the B31.1 form; never below the exact one)
//   on   P di^2 / (Do^2 - di^2)            (the pressure on the bore over the wall)
// "Include axial force" adds |Fa| / A to the equations that have no axial
// term (B31.1, B31.9 and the older forms); B31.3 and B31.12 always count it.
#pragma once

#include "codes/code_catalog.h"
#include "codes/sif_formulas.h"

#include <cstdint>
#include <optional>

// The quantities of a pipe wall of outside diameter D and wall t.
struct StressSection {
    double outside_diameter = 0.0;
    double thickness = 0.0;
    double inside_diameter = 0.0;
    double area = 0.0;               // of the wall
    double bore_area = 0.0;          // pi di^2 / 4
    double section_modulus = 0.0;    // Z = pi (D^4 - di^4) / 32 D

    bool valid() const { return section_modulus > 0.0 && area > 0.0; }
};
// A wall of D and t; invalid (all 0) unless 0 < 2 t < D.
StressSection stress_section(double outside_diameter, double thickness);
// The effective section modulus of a reduced branch, pi rb^2 Ts with rb the
// branch's mean radius (D - t)/2 and Ts the lesser of the run's wall and ii
// times the branch's (B31.3 para. 319.4.4(c); B31.1 para. 104.8.4). Given
// the walls less their allowances it is B31.3's sustained Ze, rb then the
// mean radius of the thinned branch wall.
double branch_effective_section_modulus(double branch_diameter, double branch_thickness, double run_thickness,
                                        double in_plane_sif);

// The end forces of an element end in its local axes, with the moments
// split into torsion, in-plane and out-of-plane.
struct EndLoads {
    double axial = 0.0;       // Fx, tension positive
    double torsion = 0.0;     // Mx
    double in_plane = 0.0;    // Mz, or the branch plane's in-plane moment
    double out_plane = 0.0;   // My, or the branch plane's out-of-plane moment
    double resultant() const;
};

// What an equation needs at an element end.
struct StressInput {
    StressRules rules = StressRules::Unavailable;
    Sifs sifs;
    StressSection section;           // nominal wall
    StressSection corroded;          // the wall less its corrosion allowance (B31.3, B31.12 sustained)
    // At the branch end of a reduced branch connection, Ze on the nominal
    // walls and on the walls less their allowances (B31.3, B31.12
    // sustained); else 0 (the section's Z).
    double effective_modulus = 0.0;
    double corroded_effective_modulus = 0.0;
    bool pressure_stress_option = false;
    bool include_axial_force = false;
};

// The longitudinal pressure stress of the option (above).
double longitudinal_pressure_stress(const StressSection& section, double pressure, bool exact);

// SL of a sustained case, and the same equation for an operating case and a
// hydrotest (each with its own loads and pressure).
double sustained_stress(const StressInput& in, const EndLoads& loads, double pressure);
// The occasional loads' share that is added to SL; loads are the
// occasional case's values, whose magnitudes count.
double occasional_stress(const StressInput& in, const EndLoads& loads);
// SE of an expansion case or range.
double expansion_stress(const StressInput& in, const EndLoads& loads);

// The no-code stresses of the outer surface: axial Fx/A plus the
// longitudinal pressure stress, bending sqrt((ii Mi)^2 + (io Mo)^2)/Z on the
// side where it pulls (maximum) or pushes (minimum), the hoop stress P Do/2t
// (or, with the option, 2 P di^2/(Do^2 - di^2), Lame's at the outer
// surface) and the torsional shear it Mt/2Z; the principal stresses of that
// plane state and the larger von Mises stress of the two sides.
struct PrincipalStresses {
    double von_mises = 0.0;
    double maximum = 0.0;
    double minimum = 0.0;
};
PrincipalStresses no_code_stresses(const StressInput& in, const EndLoads& loads, double pressure);
// The principal stresses and von Mises stress of a plane stress state:
// normal stresses sx, sy and shear txy.
struct PlaneStress {
    double s1 = 0.0, s2 = 0.0, von_mises = 0.0;
};
PlaneStress plane_stress(double sx, double sy, double txy);

// ---- Allowables -------------------------------------------------------------------

// The stress-range factor f of N equivalent full cycles:
//   B31.3 (2018) para. 302.3.5(d), Eq. (1c): f = 6.0 N^-0.2, at most fm
//     (b313_range_factor_limit) and at least 0.15;
//   B31.12 (2019), B31.1 (2018) para. 102.3.2(b), B31.9: f = 6.0 N^-0.2, at
//     most 1.0 and at least 0.15 (their editions allow no more);
//   B31.1 (1967), B31.5 and ASME Section III Class 2/3 (NC-3611.2(e)): the
//     table of cycles: up to 7000 1.0, 14 000 0.9, 22 000 0.8, 45 000 0.7,
//     100 000 0.6, above 0.5.
// `limit` is fm under B31.3 and has no effect under the other codes.
double stress_range_factor(StressRules rules, int cycles, double limit = 1.0);
// 6.0 N^-0.2 itself, before any limit.
double uncapped_range_factor(int cycles);

// What is known of the specified minimum tensile strength of a material
// (B31.3's material record holds its yield strength, not this).
enum class TensileStrength {
    Unknown,
    AtMost75Ksi,
    Above75Ksi,
};
// The material of a B31.3 range: ferrous (by its type: carbon, ferritic,
// austenitic and other stainless steels, cast iron), what is known of its
// specified minimum tensile strength, and the higher metal temperature of
// the range (degF).
struct RangeFactorMaterial {
    bool ferrous = false;
    TensileStrength tensile = TensileStrength::Unknown;
    double temperature = 0.0;
};
// The tensile strength of a material as far as its record tells it. The
// types carbon steel, ferritic steel, austenitic stainless steel and cast
// iron stand for the grades of B31.3 Table A-1 of those kinds, whose
// specified minimum tensile strengths are at most 75 ksi (carbon steel pipe
// A53 B, A106 A/B/C, A333 Gr 6 and API 5L B to X60: 48 to 75 ksi; ferritic
// A335 P1 to P22: 55 to 60 ksi; austenitic A312 TP304/316: 75 ksi, the L
// grades 70 ksi; cast iron below 60 ksi). A record whose strength (its yield
// strength) is above 75 ksi has a tensile strength above it too. Other
// stainless steels (the "SS" type holds the duplex and martensitic grades
// of 90 ksi and more) and a material without a type tell nothing.
TensileStrength material_tensile_strength(const std::string& type, double strength);
double b313_range_factor_limit(const RangeFactorMaterial& material);
// The bounds of f up to 1.2: a specified minimum tensile strength of at most
// 75 ksi (psi; 517 MPa) and a temperature of at most 700 degF (371 degC).
inline constexpr double B313_HIGH_FACTOR_TENSILE = 75000.0;
inline constexpr double B313_HIGH_FACTOR_TEMPERATURE = 700.0;

// The allowable displacement stress range: f (1.25 Sc + 0.25 Sh), and with
// the liberal allowable f (1.25 Sc + 0.25 Sh + (Sh - SL)) when Sh is above
// SL (B31.3 Eqs. 1a and 1b; B31.1 Eq. 1A and para. 104.8.3). With an f above
// 1.0 (B31.3 only) Sc and Sh are taken at most 20 ksi (138 MPa), as para.
// 302.3.5(d) asks.
double expansion_allowable(double f, double cold, double hot, bool liberal, double sustained);

// The factor on Sh of the occasional check: B31.3 and B31.12 1.33 (para.
// 302.3.6(a)), B31.1 1.15 (para. 104.8.2, k for loads acting up to 10 % of
// any 24 h), B31.9 and B31.5 1.33; none where the edition's value is not
// at hand (B31.1 (1967)) or for no code.
std::optional<double> occasional_allowable_factor(int32_t piping_code);

// The allowable of the hydrotest: the yield strength at test temperature
// (B31.3 para. 345.4.2(c), B31.12 the same), which the material record holds
// as its strength under these codes; none (not checked) where the record
// does not hold what the code's limit needs.
std::optional<double> hydrotest_allowable(int32_t piping_code, double material_strength);
