// The stress intensification factors (SIFs) of piping components by the
// code tables: bends and miters (with their flanged ends and the pressure
// correction), branch connections, butt welds, tapered transitions,
// reducers, fillet welds and threaded joints. Pure functions of the
// component's dimensions (inch, psi); every factor is at least 1.0.
//
// Tables (code_catalog.h, SifTable):
//   B313   ASME B31.3 (2018) Appendix D, Table D300, with its notes;
//   B311   ASME B31.1 (2018) Mandatory Appendix D, Table D-1, with its notes;
//   Chart  the in- and out-of-plane chart of USAS B31.1.0 (1967), whose
//          elbow, miter and tee formulas ASME B31.5 (2016) keeps.
#pragma once

#include "codes/code_catalog.h"

#include <string>

// The SIFs of one component (or one element end): in-plane, out-of-plane,
// axial and torsion. A code with one SIF has it in all four.
struct Sifs {
    double in_plane = 1.0;
    double out_plane = 1.0;
    double axial = 1.0;
    double torsion = 1.0;

    // Component by component, the larger of the two.
    void take_larger(const Sifs& other);
    bool operator==(const Sifs&) const = default;
};

// ---- Bends and miters --------------------------------------------------------------

struct BendSifInput {
    double outside_diameter = 0.0;   // D
    double thickness = 0.0;          // T, the bend's wall
    double radius = 0.0;             // R1, the bend radius (a miter's equivalent radius)
    bool miter = false;
    bool widely_spaced = false;      // a widely spaced (or single) miter
    int flanged_ends = 0;            // 0, 1 or 2
    // The pressure correction of large thin bends ("Use pressure correction
    // for bends"): the pressure and the cold modulus; no correction when the
    // pressure is not above 0.
    bool pressure_correction = false;
    double pressure = 0.0;
    double cold_modulus = 0.0;
};

// The mean radius r2 = (D - T)/2 and the flexibility characteristic
// h = T R1 / r2^2 of a bend. For a miter R1 is its equivalent radius: for
// closely spaced miters R1 = s cot(theta)/2, for widely spaced ones
// R1 = r2 (1 + cot(theta))/2, so that h = T R1 / r2^2 is the table's
// (cot(theta)/2) s T / r2^2 and (1 + cot(theta))/2 T / r2 alike.
double bend_mean_radius(double outside_diameter, double thickness);
double bend_characteristic(const BendSifInput& bend);

// Bend or miter SIFs:
//   B313  elbow i_i = 0.9/h^(2/3), i_o = 0.75/h^(2/3); miters 0.9/h^(2/3)
//         both; i_a = 1.0 and i_t = 1.0 (para. 319.4.4).
//   B311  i = 0.9/h^(2/3) for elbows and miters.
//   Chart elbow i_i = 0.9/h^(2/3), i_o = 0.75/h^(2/3); miters 0.9/h^(2/3).
// Flanged ends (Table D300 and Table D-1 notes): below h = 1 the SIFs
// are multiplied by c = h^(1/6) with one flanged end and h^(1/3) with two
// (not for widely spaced miters, as the flexibility factor). Pressure
// correction (Table D300 and Table D-1 notes): for bends only, the
// SIFs are divided by 1 + 3.25 (P/E)(r2/T)^(5/2)(R1/r2)^(2/3).
Sifs bend_sifs(SifTable table, const BendSifInput& bend);

// ---- Branch connections -------------------------------------------------------------

struct BranchSifInput {
    int type = 0;                    // BranchSifType 1..9
    double run_diameter = 0.0;       // D, the run's outside diameter
    double run_thickness = 0.0;      // T, the run's wall
    double branch_diameter = 0.0;    // d, the branch's outside diameter
    double branch_thickness = 0.0;   // t, the branch's wall
    double value1 = 0.0;             // pad thickness (2), crotch radius (4), branch radius rp (9)
    double value2 = 0.0;
};

// What a branch connection's formula gives: the SIFs, whether the table has
// a formula for the type (else the SIFs stay 1.0 and `text` says so) and the
// notes on the range of validity it met. Each note names the clause.
struct BranchSifResult {
    Sifs sifs;
    bool available = false;
    std::string note;
};

// Branch SIFs, the same at the run and the branch ends (Table D300
// notes: the factors apply "to the intersection point for tees"):
//   B313  (r2 the run's mean radius, T its wall, h as below)
//         1 welding tee (B16.9)                h = 3.1 T/r2
//         2 reinforced fabricated tee          h = (T + Tr/2)^(5/2) / (T^(3/2) r2);
//                                              with Tr > 1.5 T, h = 4.05 T/r2
//         3 unreinforced fabricated tee        h = T/r2
//         4 extruded welding tee               h = (1 + rx/r2) T/r2, counting rx only from 0.05 d
//         5 welded-in contour insert           h = 3.1 T/r2
//         6 branch welded-on fitting           h = 3.3 T/r2, i_i = i_o = 0.9/h^(2/3)
//         types 1-5: i_o = 0.9/h^(2/3), i_i = 3/4 i_o + 1/4; i_a = i_o (para.
//         319.4.4(b)), i_t = 1.0.
//   B311  (r the run's mean radius) i = 0.9/h^(2/3) with
//         1 welding tee h = 4.4 T/r; 2 reinforced fabricated tee as B313;
//         3 unreinforced h = T/r; 4 extruded outlet (no crotch radius is
//         taken under B31.1) h = T/r; 5 welded-in contour insert h = 4.4 T/r;
//         6 branch welded-on fitting h = 3.3 T/r;
//         9 branch connection (para. 104.3.1(E), Table D-1):
//           i = 1.5 (Rm/T)^(2/3) (r'm/Rm)^(1/2) (t/T) (r'm/rp), valid for
//           r'm/Rm <= 0.5 and Rm/T <= 50.
//   Chart 1 welding tee h = 4.4 T/r; 2 reinforced h = (T + Tr/2)^(5/2) / (T^(3/2) r);
//         3 unreinforced h = T/r; i_o = 0.9/h^(2/3), i_i = 3/4 i_o + 1/4.
// Types the table has no formula for (the Nordic items 7 and 8 everywhere,
// 9 outside B31.1) are not available.
BranchSifResult branch_sifs(SifTable table, const BranchSifInput& branch);

// ---- Girth joints and reducers ---------------------------------------------------

// Butt weld (Table D300, Table D-1) with wall T and mismatch delta:
// T >= 0.237 in, delta <= 1/16 in and delta/T <= 0.13: 1.0; T >= 0.237 in
// and delta <= 1/8 in, or T < 0.237 in, delta <= 1/16 in and delta/T <= 0.33:
// 0.9 + 2.7 delta/T, not less than 1.0 nor more than 1.9; otherwise 1.9.
// The chart of B31.1 (1967) and B31.5 takes 1.0 for a butt welded joint.
double butt_weld_sif(SifTable table, double thickness, double mismatch);

// Tapered transition (ASME B16.25): 1.3 + 0.0036 D/T + 3.6 delta/T, at most
// 1.9 (Table D300, Table D-1).
double tapered_transition_sif(SifTable table, double outside_diameter, double thickness, double mismatch);

// Concentric reducer (ASME B16.9) of cone angle alpha (degrees) with the
// small end's D2 and T2: 0.5 + 0.01 alpha (D2/T2)^(1/2), at most 2.0
// (Table D300, Table D-1); the chart takes 1.0 for a reducer.
double reducer_sif(SifTable table, double alpha_degrees, double small_diameter, double small_thickness);

// Fillet welded joint (single welded), socket weld flange or fitting:
// "2.1 max or 2.1 T/Cx, but not less than 1.3" (Table D300, Table D-1);
// the leg Cx is not known, so the largest, 2.1. The chart: 1.3.
double fillet_weld_sif(SifTable table);

// Threaded pipe joint or threaded flange: 2.3 (every table).
double threaded_joint_sif(SifTable table);
