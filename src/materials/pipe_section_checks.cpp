#include "materials/pipe_section_checks.h"

#include "materials/pipe_section.h"

#include "framework/text.h"
#include "framework/units.h"
#include "model/value_bounds.h"

#include <cmath>

namespace {

// A thickness or density is given when it is more than the marker of an
// entered zero (a typed or imported 0 is no insulation or lining).
bool given(float value) { return std::fabs(value) >= ENTERED_ZERO_LIMIT; }

struct FieldRow {
    SectionField field;
    const char* name;
    float PipeSection::*member;
    const ValueBound* bound;
};
// In the dialog's order.
const FieldRow FIELDS[] = {
    {SectionField::OutsideDiameter, "Outside diameter", &PipeSection::outside_diameter, &OUTSIDE_DIAMETER_BOUND},
    {SectionField::Thickness, "Thickness", &PipeSection::thickness, &WALL_THICKNESS_BOUND},
    {SectionField::CorrosionAllowance, "Corrosion allowance", &PipeSection::corrosion_allowance, &SECTION_LAYER_BOUND},
    {SectionField::MillTolerance, "Mill tolerance", &PipeSection::mill_tolerance, nullptr},
    {SectionField::InsulationDensity, "Insulation density", &PipeSection::insulation_density, &LAYER_DENSITY_BOUND},
    {SectionField::InsulationThickness, "Insulation thickness", &PipeSection::insulation_thickness,
     &SECTION_LAYER_BOUND},
    {SectionField::LiningDensity, "Lining density", &PipeSection::lining_density, &LAYER_DENSITY_BOUND},
    {SectionField::LiningThickness, "Lining thickness", &PipeSection::lining_thickness, &SECTION_LAYER_BOUND},
};

const FieldRow* row_of(SectionField field)
{
    for (const FieldRow& r : FIELDS)
        if (r.field == field)
            return &r;
    return nullptr;
}

}  // namespace

bool mill_tolerance_in_range(double percent)
{
    return percent >= 0.0 && percent <= MAX_MILL_TOLERANCE;
}

const ValueBound* section_field_bound(SectionField field)
{
    const FieldRow* r = row_of(field);
    return r ? r->bound : nullptr;
}

const char* section_field_name(SectionField field)
{
    const FieldRow* r = row_of(field);
    return r ? r->name : "";
}

std::string section_value_fault(SectionField field, double value)
{
    const FieldRow* r = row_of(field);
    if (!r || !r->bound)
        return {};
    const ValueBound& b = *r->bound;
    const std::string name = r->name;
    if (below_bound(b, value)) {
        // The bounds above 0 are those of the diameter and the wall.
        if (b.low > 0.0)
            return name + " should be at least " + format_dimension(b.low) + " " + unit_label(DIMENSION);
        return name + " should be >= 0";
    }
    return beyond(b, value, name);
}

std::vector<SectionCheck> section_bound_faults(const PipeSection& s)
{
    std::vector<SectionCheck> faults;
    for (const FieldRow& r : FIELDS) {
        const double value = s.*r.member;
        std::string fault = section_value_fault(r.field, value);
        if (!r.bound && !mill_tolerance_in_range(value))
            fault = c_format("Mill tolerance should be between 0 and %g", double(MAX_MILL_TOLERANCE));
        if (!fault.empty())
            faults.push_back({r.field, std::move(fault)});
    }
    return faults;
}

SectionCheck check_section_values(const PipeSection& s, bool pairs)
{
    using F = SectionField;
    const double od = s.outside_diameter;
    const double t = s.thickness;
    const double ca = s.corrosion_allowance;
    if (od * 0.5 < t)
        return {F::Thickness, "Thickness is greater than radius"};
    if (t <= ca)
        return {F::CorrosionAllowance, "Corrosion allowance >= Thickness"};
    if (!within(WALL_THICKNESS_BOUND, (1.0 - s.mill_tolerance * 0.01) * t - ca))
        return {F::MillTolerance, "Corrosion allowance + mill tolerance is too large"};
    if (pairs && given(s.insulation_thickness) && !given(s.insulation_density))
        return {F::InsulationDensity, "Insulation thickness defined without Insulation density"};
    if (pairs && given(s.insulation_density) && !given(s.insulation_thickness))
        return {F::InsulationThickness, "Insulation density defined without Insulation thickness"};
    if (od * 0.5 - t < s.lining_thickness)
        return {F::LiningThickness, "Lining thickness > radius"};
    if (pairs && given(s.lining_thickness) && !given(s.lining_density))
        return {F::LiningDensity, "Lining thickness defined without Lining density"};
    if (pairs && given(s.lining_density) && !given(s.lining_thickness))
        return {F::LiningThickness, "Lining density defined without Lining thickness"};
    if (jacket_clearance_violated(s.name, od, t, s.insulation_thickness, s.lining_thickness))
        return {F::LiningThickness, "(Jacket I.D. - lining) < (core O.D. + insulation)"};
    return {};
}
