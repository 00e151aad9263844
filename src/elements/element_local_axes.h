// The local axes with which the analysis recovered each element's end
// forces, and those forces turned into global axes. The results file holds
// the twelve end forces of an element in its local axes (section forces,
// analysis_core/element_forces.h); every global value the results show,
// and the code evaluation's, is made here from the same axes the element
// kinds set when they were analysed:
//
//   pipe, jacketed pipe, valve, reducer, bellows, slip joint, rigid,
//   tie rod, cut pipe     element_axes: x from node 1 to node 2, y and z
//                         by complete_local_axes
//   bend, miter, jacketed bend
//                         the arc's frame at node 1 (bend_arc) and its
//                         tangent axes at node 2 (bend_tangent_axes)
//   hinge joint           x the hinge's axis; (1, 0, 0) when it has none
//   ball joint            x the pipe's direction at node 2; (1, 0, 0) when
//                         there is none
//   elastic element       ElasticElement::axes (y made normal to x); an
//                         element whose axes are not valid (1, 0, 0)
//   beam                  beam_axes: the member axes turned by beta
// and y, z of an axis given alone by complete_local_axes. Any other kind
// takes element_axes.
#pragma once

#include "model/elements.h"

#include <array>

struct Model;

// The axes of an element's first end ([0]) and second end ([1]).
using ElementEndAxes = std::array<LocalAxes, 2>;
ElementEndAxes element_local_axes(const Model& model, int element, bool z_vertical);

// Twelve end values: the first end's FX, FY, FZ, MX, MY, MZ, then the
// second end's.
using EndForceValues = std::array<float, 12>;
// The values turned from each end's local axes into global axes: the global
// force fx x + fy y + fz z, the same for the moments, in double precision.
EndForceValues forces_in_global_axes(const ElementEndAxes& axes, const EndForceValues& local);
// The same with the element's own axes.
EndForceValues global_element_forces(const Model& model, int element, const EndForceValues& local, bool z_vertical);
