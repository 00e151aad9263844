// The fixed lists and standard tables of the pump checks: the ANSI/HI pump
// types with their size, material, baseplate and bolt-size lists, the
// ANSI/HI 9.6.2-2011 allowable-load tables with the material and
// temperature factor, the API 610 (11th ed.) / ISO 13709 nozzle loadings
// (Table 5, US customary units) and the nozzle sections of the vertical
// inline stress check (Annex F, F.2).
//
// Forces are in lbf; moments in the tables are in ft-lbf (the evaluation
// multiplies them by 12 to in-lbf).
#pragma once

#include <array>
#include <string>
#include <vector>

// ---- Lists ------------------------------------------------------------------

inline constexpr int HI_TYPE_COUNT = 6;
enum HiPumpType : int {
    HI_B731 = 0,            // horizontal end suction, ANSI/ASME B73.1
    HI_B732 = 1,            // vertical in-line, B73.2
    HI_B733 = 2,            // horizontal end suction, B73.3
    HI_B735 = 3,            // horizontal end suction, B73.5M (baseplate factors)
    HI_AXIAL_SPLIT = 4,     // axial split case
    HI_VERTICAL_TURBINE = 5 // vertical turbine short set
};
inline constexpr int HI_MATERIAL_COUNT = 18;
inline constexpr int HI_BASEPLATE_COUNT = 5;
inline constexpr int HI_BOLT_SIZE_COUNT = 4;

// "Hori. end suction pump - B73.1" ... (dialog) and "B73.1" ... (tables, reports).
const std::string& hi_type_text(int type);
const std::string& hi_type_short(int type);
// The size list of a type: end suction sizes, in-line sizes, nominal sizes
// of axial split case pumps or vertical turbine nozzle sizes.
const std::vector<std::string>& hi_sizes(int type);
std::string hi_size_text(int type, int size);        // empty for an index out of range
const std::string& hi_material_text(int material);   // "0.0 - ASTM A351/A351M - Grade CF8M"
const std::string& hi_material_short(int material);  // "A351 Gr.CF8M"
const std::vector<std::string>& hi_baseplates();
const std::vector<std::string>& hi_bolt_sizes();
// The baseplate (type 3) or bolt size (type 4) of a pump; empty otherwise.
std::string hi_mounting_text(int type, int mounting);
// The pump types whose shaft axis and centre are not entered (vertical).
inline bool hi_type_vertical(int type) { return type == HI_B732 || type == HI_VERTICAL_TURBINE; }

// "Top ", "Side", "End " (location 0..2).
const char* nozzle_location_text(int location);

// ---- ANSI/HI 9.6.2 ------------------------------------------------------------

// Six values FX, FY, FZ (lbf), MX, MY, MZ (ft-lbf).
using HiLoads = std::array<double, 6>;

// The material and temperature factor of Table 9.6.2.1.3: linear between the
// points 100, 200, ..., 600, 650, 700 degF; a temperature below 100 takes the
// 100 degF value and one above 700 the 700 degF value.
double hi_material_factor(int material, double temperature);

// End suction pumps (types 0, 2, 3), by size index: Table A (Eq.1) and
// Table B (Eq.2) values of the suction (nozzle 0) and discharge (1) nozzle;
// the Eq.3 and Eq.4 coefficients (signed).
HiLoads hi_end_suction_eq1(int size, int nozzle);
HiLoads hi_end_suction_eq2(int size, int nozzle);
HiLoads hi_end_suction_eq3(int size, int nozzle);
HiLoads hi_end_suction_eq4(int size, int nozzle);
// B73.5M baseplate factors k1..k4 (index 0..3) of baseplate `mounting`.
std::array<double, 4> hi_baseplate_factors(int mounting);
// Vertical in-line pumps (type 1), by size index.
HiLoads hi_inline_loads(int size);
// Axial split case pumps (type 4): by nominal size and by bolt size.
HiLoads hi_axial_split_size_loads(int size);
HiLoads hi_axial_split_bolt_loads(int bolt);
// Vertical turbine short set pumps (type 5), flange above (or below) the base.
HiLoads hi_vertical_turbine_loads(int size, bool below_base);

// ---- API 610 (11th ed.) / ISO 13709 Table 5, US customary units ----------------

struct Api610Loads {
    double nominal_size = 0.0;                 // inch
    std::array<double, 4> top{};               // FX, FY, FZ, FR (lbf)
    std::array<double, 4> side{};
    std::array<double, 4> end{};
    std::array<double, 4> moments{};           // MX, MY, MZ, MR (ft-lbf), every location
};

// The nominal size whose row a nozzle takes: below 2.9 in the 2 in row, below
// 3.9 the 3 in row, ... 5.9 -> 4, 7.9 -> 6, 9.9 -> 8, 11.9 -> 10, 13.9 -> 12,
// 15.9 -> 14, anything larger the 16 in row.
double api610_size_band(double nozzle_size);
// The table row of that band; null when no cited row is shipped for it.
const Api610Loads* api610_loads(double nozzle_size);
// The force row (FX, FY, FZ, FR) of a location (0 top, 1 side, 2 end).
const std::array<double, 4>& api610_forces(const Api610Loads& row, int location);

// Nozzle area (in2) and section modulus (in3) of the F.2 stress check of
// vertical inline pumps, by the same size bands.
struct NozzleSection {
    double area = 0.0;
    double modulus = 0.0;
};
NozzleSection api610_nozzle_section(double nozzle_size);
