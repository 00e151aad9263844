#include "materials/pipe_section_checks.h"

#include "materials/pipe_section.h"

bool mill_tolerance_in_range(double percent)
{
    return percent >= 0.0 && percent <= MAX_MILL_TOLERANCE;
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
    if ((1.0 - s.mill_tolerance * 0.01) * t - ca < 0.0001)
        return {F::MillTolerance, "Corrosion allowance + mill tolerance is too large"};
    if (pairs && s.insulation_thickness != 0.0f && s.insulation_density == 0.0f)
        return {F::InsulationDensity, "Insulation thickness defined without Insulation density"};
    if (pairs && s.insulation_density != 0.0f && s.insulation_thickness == 0.0f)
        return {F::InsulationThickness, "Insulation density defined without Insulation thickness"};
    if (od * 0.5 - t < s.lining_thickness)
        return {F::LiningThickness, "Lining thickness > radius"};
    if (pairs && s.lining_thickness != 0.0f && s.lining_density == 0.0f)
        return {F::LiningDensity, "Lining thickness defined without Lining density"};
    if (pairs && s.lining_density != 0.0f && s.lining_thickness == 0.0f)
        return {F::LiningThickness, "Lining density defined without Lining thickness"};
    if (jacket_clearance_violated(s.name, od, t, s.insulation_thickness, s.lining_thickness))
        return {F::LiningThickness, "(Jacket I.D. - lining) < (core O.D. + insulation)"};
    return {};
}
