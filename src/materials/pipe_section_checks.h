// The combined value checks of a pipe section, shared by the section dialog
// and the typed cells of the Pipe Sections table so that both refuse the
// same records with the same texts. Single-field parsing (required, invalid)
// stays with the caller, which knows the typed text.
#pragma once

#include <string>

struct PipeSection;

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
// The checks in the dialog's order: thickness against the radius, corrosion
// allowance against the thickness, corrosion allowance with mill tolerance,
// the insulation pair, the lining against the bore and the lining pair, the
// jacket clearance of the jacketed rows that use the section (under the
// record's own name). The first failure is returned. Without `pairs` the
// insulation and lining pair rules are left out: a typed cell may give one
// value of a pair, and leaving the row clears a pair that is not whole.
SectionCheck check_section_values(const PipeSection& section, bool pairs = true);
