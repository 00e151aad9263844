// What the element classes share: the checks of their model-file records,
// the texts of their cells, and the look-ups of a row's material and
// section that their symbols need.
#pragma once

#include <functional>
#include <string>

struct LayoutRow;

// Throws "<kind>: <what>" when `ok` is false (the row reader puts the row
// before it). A record read from a damaged or hand-made file is refused
// rather than stored with values that no dialog would accept.
void check_record(bool ok, const char* kind, const char* what);
// True when the value is a finite number; with `non_negative` also not below 0.
bool finite_value(float value, bool non_negative = false);

// A dimension in the length unit; empty for 0.
std::string dimension_or_empty(float value);
// "%.5G" of a flexibility factor; empty when negative (computed).
std::string flexibility_factor_text(float value);

// What is wrong with the own wall of a bend, miter or jacketed bend (core
// or jacket) against the section it bends, "" when nothing: 0 is the
// section's wall; any other wall lies within what a piping model can hold
// and is at most the section's radius ("Thickness is greater than section
// radius"). A section diameter of 0 (no section) checks the bound alone.
std::string bend_wall_fault(double thickness, double section_od);

// What is wrong with the sizes a row's element holds of its own (a reducer's
// ends, reducer_fault; a bend's, miter's or jacketed bend's walls,
// bend_wall_fault), "" when nothing: "the reducer at node 45: Thk1 >
// 0.5*OD1". `section_od` gives the outside diameter of a named section (0
// for none). The model check and the importers refuse the row with it.
std::string element_size_fault(const LayoutRow& row, const std::function<double(const std::string&)>& section_od);

// True when the named pipe material exists and is FRP.
bool material_is_frp(const std::string& name);
// Half the outside diameter of a named pipe section; 0 when it does not exist.
double section_radius(const std::string& name);
// The index of the row among the model's rows (0 when it is none of them).
int row_of(const LayoutRow& row);
