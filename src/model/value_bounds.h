// What a piping model can hold: the one table of value bounds that the
// model check before a run, the property-set checks and the readers of
// other programs' files (batch and neutral files) take, so that what an
// import accepts the program's own checks accept too. Beyond these bounds a
// value is a slip of the keyboard or a damaged file, not a pipe, and the
// numbers made from it mean nothing (an offset of 1E30 makes a stiffness of
// 1E-30, an outside diameter of 1E19 a wall area that the difference of two
// squares of 1E37 no longer resolves):
//   - coordinates and offsets: within 1.0E6 in (25.4 km) of the origin,
//     where a coordinate (a float) still resolves 0.06 in;
//   - temperatures: from absolute zero, -459.67 degF, to 3000 degF, above
//     the melting point of every metal that pipes are made of;
//   - pressures (gauge): from a full vacuum, -14.7 psi, to 100 000 psi,
//     above the highest pressures of industrial piping;
//   - section dimensions: an outside diameter from 0.001 in up to 1000 in
//     (25.4 m, twice the largest penstocks), a wall from 0.0001 in up to the
//     same, and the corrosion allowance, insulation and lining thicknesses
//     from 0 up to the same; insulation and lining densities from 0 to
//     1 lb/in3 (27.7 g/cm3, above the densest metal, osmium at 22.6);
//   - beam sections: every value from 0 (the area and both moments of
//     inertia above it) to what a solid section of 1000 in by 1000 in holds:
//     an area of 1.0E6 in2, moments of inertia and the torsional constant of
//     1.0E12 in4, shear areas of 1.0E6 in2, a depth and width of 1000 in.
// The wall against the radius and the allowances against the wall are the
// sections' own combined checks (materials/pipe_section_checks.h).
#pragma once

#include "framework/unit_choices.h"

#include <string>

struct ValueBound {
    int quantity;    // the unit quantity the value is shown in
    double low, high;
};

inline constexpr ValueBound COORDINATE_BOUND{LENGTH, -1.0e6, 1.0e6};
inline constexpr ValueBound TEMPERATURE_BOUND{TEMPERATURE, -459.67, 3000.0};
inline constexpr ValueBound PRESSURE_BOUND{PRESSURE, -14.7, 1.0e5};

inline constexpr ValueBound OUTSIDE_DIAMETER_BOUND{DIMENSION, 0.001, 1000.0};
inline constexpr ValueBound WALL_THICKNESS_BOUND{DIMENSION, 0.0001, 1000.0};
// Corrosion allowance, insulation and lining thickness.
inline constexpr ValueBound SECTION_LAYER_BOUND{DIMENSION, 0.0, 1000.0};
// Insulation and lining density.
inline constexpr ValueBound LAYER_DENSITY_BOUND{WEIGHT_DENSITY, 0.0, 1.0};

inline constexpr ValueBound BEAM_AREA_BOUND{AREA, 0.0, 1.0e6};
inline constexpr ValueBound BEAM_INERTIA_BOUND{INERTIA, 0.0, 1.0e12};
inline constexpr ValueBound BEAM_DIMENSION_BOUND{DIMENSION, 0.0, 1000.0};

// True when the value lies within the bound, ends included with a float's
// rounding (a stored value typed at a bound passes); never for NaN.
bool within(const ValueBound& bound, double value);
// True when the value lies below the bound's low end (with a float's
// rounding, as `within` takes it) or is NaN: what the editors and readers
// refuse as invalid.
bool below_bound(const ValueBound& bound, double value);
// A value in the chosen unit of its quantity with the unit's name:
// "1E+19 inch".
std::string value_text(int quantity, double value);
// "" when the value lies within its bound, else "<what> of <value> is
// beyond what a piping model can hold (<low> to <high>)", in the chosen
// units; the value with the digits (five at least) that set it apart from
// the bound it passed, so that 25400.1 mm reads beyond 25400 mm.
std::string beyond(const ValueBound& bound, double value, const std::string& what);
// What a typed value below the bound must be, as an editor's refusal says
// it: "it must be at least 0.001 inch", "it must be 0 or more" (a bound of
// 0).
std::string below_bound_text(const ValueBound& bound);
// Refuses the typed text (item_text) of `name` for lying below the bound:
// "<name> =  <text>  is invalid: it must be at least 0.001 inch"
// (throw_invalid_taking; `number_read` false for a text that its parser
// refused).
[[noreturn]] void throw_below_bound(const std::string& name, const ValueBound& bound, bool number_read);
