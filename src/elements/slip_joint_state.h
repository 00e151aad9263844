// A slip joint's state in an analysis run: the stiffnesses of the next
// assembly, the secants of the first operating case that a later modal step
// takes ("Friction in dynamics"), the force and torque through the joint in
// the last solution, the friction loads applied as equal and opposite end
// loads along its axis, and the movements of the last update.
#pragma once

#include "analysis_core/analysis_run.h"

struct SlipJointState : CopiedState<SlipJointState> {
    bool ready = false;
    double axial_stiffness = 1.0;
    double torsional_stiffness = 1.0;
    double secant_axial_stiffness = 1.0;
    double secant_torsional_stiffness = 1.0;
    double axial_force = 0.0;       // N, tension positive
    double torque = 0.0;
    double friction_load = 0.0;     // against N: negative while N > 0
    double friction_moment = 0.0;
    double last_shift = 0.0;
    double last_twist = 0.0;

    // Before each load case that iterates (the force and torque stay).
    void reset()
    {
        last_shift = last_twist = 0.0;
        friction_load = friction_moment = 0.0;
        axial_stiffness = torsional_stiffness = 1.0;
    }
    // At the start of a run.
    void reset_full()
    {
        reset();
        secant_axial_stiffness = secant_torsional_stiffness = 1.0;
    }
};
