// What the element classes share: the checks of their model-file records,
// the texts of their cells, and the look-ups of a row's material and
// section that their symbols need.
#pragma once

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

// True when the named pipe material exists and is FRP.
bool material_is_frp(const std::string& name);
// Half the outside diameter of a named pipe section; 0 when it does not exist.
double section_radius(const std::string& name);
// The index of the row among the model's rows (0 when it is none of them).
int row_of(const LayoutRow& row);
