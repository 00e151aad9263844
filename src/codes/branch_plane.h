// The plane of a branch connection, in which the in-plane and out-of-plane
// moments of the elements that meet there are taken (B31.3 Appendix D,
// Fig. D300 sketches: the in-plane moment bends the tee in the plane of its
// run and branch).
//
// The legs of a node are the elements that end there, each pointing away
// from the node (a bend along its tangent). The run is the pair of legs
// that are most nearly collinear and opposite (within about 2.5 degrees).
// The plane of an element's end is the plane of the run and the element's
// own leg; for a leg of the run itself, the run and the first other leg
// that is not along it (a cross takes its first branch). Without a run (a
// Y of three legs) the element's leg and the first other leg not along it
// make the plane. When every leg lies along one line there is no plane.
#pragma once

#include "framework/geometry.h"

struct Model;

// The unit normal of the branch plane at node `node` (node index) for the
// end of element `element` there. Throws "Unable to find plane of branch
// SIF at node %s" (the node's text) when there is no plane.
Vec3 branch_plane_normal(const Model& model, bool z_vertical, int element, int node);

// Replaces the end moments of element `element` at node `node`: `in_plane`
// comes in as the end's local mz and leaves as the moment about the branch
// plane's normal (bending in the plane); `out_plane` comes in as the local
// my and leaves as the moment about the axis in the plane across the
// element (bending out of it). Torsion is not changed. The element is a
// straight one (pipe, jacketed pipe, reducer): its local axes are those of
// element_axes.
void branch_plane_moments(const Model& model, bool z_vertical, int element, int node, double& in_plane,
                          double& out_plane);
