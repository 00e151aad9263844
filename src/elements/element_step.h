// What the element load routines need to know of the analysis step and of the
// analysis options. The analysis fills these from its current step and the
// options of the run; the element kernels read nothing else.
#pragma once

#include "framework/geometry.h"

// Inch per second squared: masses are weights divided by it.
inline constexpr double GRAVITY = 386.4;

struct ElementLoadStep {
    bool weight = false;        // the step carries weight
    bool temperature = false;   // the step carries temperature
    bool cold_spring = false;   // a cold-spring case: cut pipes close their cut
    bool seismic_g = false;     // the step carries static seismic g-loads
    bool modal = false;         // the modal step: masses only
    // The static g factors on global X, Y and Z; 0 on an axis whose g-load is
    // off. Read only when seismic_g is set.
    Vec3 g;
};

struct ElementLoadOptions {
    bool bourdon_effect = false;         // "Include Bourdon effect"
    // The Bourdon strain goes with the weight steps instead of the
    // temperature steps (the environment switch ZEDIRUVI).
    bool bourdon_with_weight = false;
    bool z_vertical = false;             // Z is the vertical axis, else Y
    double reference_temperature = 70.0; // ambient temperature, degF
};

// True when the Bourdon strain belongs to this step.
inline bool bourdon_in_step(const ElementLoadStep& step, const ElementLoadOptions& options)
{
    return options.bourdon_effect && (options.bourdon_with_weight ? step.weight : step.temperature);
}

// The index 0..2 of the vertical global axis.
inline int vertical_axis(const ElementLoadOptions& options)
{
    return options.z_vertical ? 2 : 1;
}
