// The weight of the piping and its centre of gravity, empty and with its
// contents, from the loads that the elements (and the flanges and
// concentrated masses at their nodes) apply in the Empty Weight (W) and
// Sustained (W+P) cases: the analysis' own load vectors of those steps,
// without any solution. The self-balanced loads of a step (pressure thrust,
// the Bourdon strain) add no net force.
//
// The weight is the sum of the vertical loads; the horizontal coordinates
// of the centre follow from the moment of the loads about the origin (the
// nodal moments of the elements' consistent loads included), so that an
// arc or a beam with end moments has its weight where it acts. The loads of
// an element act at its nodes along the vertical, which carries no moment
// about a vertical axis: the vertical coordinate is the mean of the loaded
// nodes' elevations weighted by their loads.
#pragma once

#include "framework/geometry.h"

struct AnalysisModel;

struct WeightAndCentre {
    double weight = 0.0;     // lb
    Vec3 centre;             // inch; meaningful when weight > 0
};

struct PipingCentreOfGravity {
    WeightAndCentre empty;       // Empty Weight (W): no contents
    WeightAndCentre operating;   // Sustained (W+P): with the contents
};

PipingCentreOfGravity piping_centre_of_gravity(const AnalysisModel& model);
