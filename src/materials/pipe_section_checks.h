// The combined value checks of a pipe section, shared by the section dialog
// and the typed cells of the Pipe Sections table so that both refuse the
// same records with the same texts. Single-field parsing (required, invalid)
// stays with the caller, which knows the typed text.
#pragma once

#include <string>
#include <vector>

struct PipeSection;
struct ValueBound;

enum class SectionField {
    None,
    OutsideDiameter,
    Thickness,
    CorrosionAllowance,
    MillTolerance,
    InsulationDensity,
    InsulationThickness,
    LiningDensity,
    LiningThickness,
};

struct SectionCheck {
    SectionField field = SectionField::None;   // where the caret goes
    std::string message;                       // empty when the record passes
    bool ok() const { return message.empty(); }
};

// True for a mill tolerance in 0..75 percent.
bool mill_tolerance_in_range(double percent);

// The bound of a field's value in the table of what a piping model can hold
// (model/value_bounds.h); null for the mill tolerance (a percentage,
// mill_tolerance_in_range) and for None.
const ValueBound* section_field_bound(SectionField field);
// The field's name as the dialog gives it: "Outside diameter", "Thickness",
// "Corrosion allowance", "Mill tolerance", "Insulation density", ...
const char* section_field_name(SectionField field);
// "" when the value lies within the field's bound; else, as the model check
// and the importers say it, below the bound "<Name> should be at least
// 0.0010 (inch)" (of a bound above 0) or "<Name> should be >= 0", above it
// "<Name> of <value> is beyond what a piping model can hold (<low> to
// <high>)", in the chosen units. The editors refuse a typed value below the
// bound as invalid (the text they give a value they cannot take) and one
// above it with this text.
std::string section_value_fault(SectionField field, double value);
// Every value of the record out of its bound, in the dialog's order (the
// mill tolerance outside 0..75: "Mill tolerance should be between 0 and
// 75"); empty when every value lies within its bound.
std::vector<SectionCheck> section_bound_faults(const PipeSection& section);
// The checks in the dialog's order: thickness against the radius, corrosion
// allowance against the thickness, corrosion allowance with mill tolerance,
// the insulation pair, the lining against the bore and the lining pair, the
// jacket clearance of the jacketed rows that use the section (under the
// record's own name). The first failure is returned. Without `pairs` the
// insulation and lining pair rules are left out: a typed cell may give one
// value of a pair, and leaving the row clears a pair that is not whole.
SectionCheck check_section_values(const PipeSection& section, bool pairs = true);
