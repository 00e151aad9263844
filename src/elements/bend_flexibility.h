// The flexibility factor k of bends and miters: a curved pipe ovalises under
// bending and is more flexible than a straight pipe of the same section. The
// curved element multiplies its bending flexibility by k.
#pragma once

#include <cstdint>

enum MiterSpacing : int {
    BEND_NOT_MITER = 0,
    MITER_CLOSELY_SPACED = 1,
    MITER_WIDELY_SPACED = 2,
};

struct BendFlexibilityInput {
    double outside_diameter = 0.0;
    double thickness = 0.0;            // the bend's own wall when given, else the section's
    double radius = 0.0;               // bend radius
    double pressure = 0.0;             // of the step
    double modulus = 0.0;              // E of the element in the step
    double reference_modulus = 0.0;    // E of its material at the reference temperature
    bool frp = false;                  // fibre-reinforced plastic material
    int32_t piping_code = 0;           // piping code id
    bool pressure_correction = false;  // "Use pressure correction for bends"
    int miter_spacing = BEND_NOT_MITER;
    int flanged_ends = 0;              // 0, 1 or 2
};

// The flexibility characteristic h = t R / r^2, r = (OD - t)/2.
double bend_flexibility_characteristic(double outside_diameter, double thickness, double radius);

// The computed flexibility factor, never below 1.0. Thickness, radius and
// the mean radius must be above 0 (internal check). The pressure correction
// applies to bends under internal pressure only (P above 0): under vacuum it
// is left out, as its denominator could reach 0.
double bend_flexibility_factor(const BendFlexibilityInput& input);
