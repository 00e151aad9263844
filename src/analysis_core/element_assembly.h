// What element and support kinds call to put their contributions into the
// run: the current element's equations and axes, the turn of its local
// matrix and load vector to global axes into the store and the load vector,
// loads put straight into the load vector, the coupled node pairs, and the
// recovery of its end forces.
#pragma once

#include "analysis_core/local_matrix.h"

class AnalysisRun;

// The stiffness of a rigid direction or link.
inline constexpr double RIGID_LINK = 1.0e12;

// The current element's twelve equation numbers: 6n-5..6n of node a's
// analysis index n in slots 1..6, node b's in 7..12; 0 for a node outside
// the analysis. Also remembers the element's nodes.
void set_element_dofs(AnalysisRun& run, int a, int b);
// The axes in which the current element's K and F are given, and the axes
// at node 2 (an arc's tangent axes; pass the same for a straight element).
void set_element_axes(AnalysisRun& run, const LocalAxes& axes, const LocalAxes& axes_at_node2);
void set_element_axes(AnalysisRun& run, const LocalAxes& axes);

// Turns the current element's local 12 x 12 stiffness to global axes and
// adds its upper triangle to the store (equation 0 skipped). In the
// structure pass it records the element's coupling; while the store already
// holds the step's factorised stiffness it does nothing.
void assemble_element_stiffness(AnalysisRun& run);
// Turns the current element's 12 local load terms to global axes and adds
// them to the load vector.
void assemble_element_loads(AnalysisRun& run);

// Adds a force (or moment) along a global direction 0..5 of a node straight
// into the load vector; nothing for a node outside the analysis.
void add_node_load(AnalysisRun& run, int node, int direction, double value);
// The mass of a rigid body of mass `mass` at `offset` (global axes) from a
// node, in a modal step: with no offset its mass on the node's three
// translations (the load vector), else its block of translations and
// rotations (AnalysisRun::mass_blocks). Nothing for a node outside the
// analysis.
void add_offset_mass(AnalysisRun& run, int node, double mass, const Vec3& offset);
// The solution (displacement or rotation) of a node's global direction 0..5;
// 0 for a node outside the analysis.
double node_displacement(const AnalysisRun& run, int node, int direction);
// u_a - u_b of the run's solution on the translations (or, with
// `rotational`, the rotations); b 0 is the ground.
Vec3 relative_motion(const AnalysisRun& run, int a, int b, bool rotational = false);
// (u_a - u_b).d.
double relative_along(const AnalysisRun& run, int a, int b, const Vec3& d, bool rotational = false);
// (u_a - u_b).d on the translations of the state the step stands on
// (AnalysisRun::base_solution); 0 for a step that stands on none.
double base_relative_along(const AnalysisRun& run, int a, int b, const Vec3& d);

// Every coupled node pair of flag 0 as a rigid link: 1.0e12 on the twelve
// diagonal terms of the two nodes and -1.0e12 between like directions. Pairs
// of flag 1 are skipped.
void assemble_coupled_pairs(AnalysisRun& run);

// The end forces of the current element from its K, F, axes, equations and
// the run's solution: twelve forces and moments in local axes (node 2 in the
// axes K is given in; a kind whose node-2 forces belong in other axes turns
// them before it records them).
ElementVector compute_end_forces(AnalysisRun& run);
// What becomes of an element's end forces: in the envelope or square-sum
// mode its record is updated; unless output is suppressed, the stiffness
// export gets the element's matrix, and the forces (or, in the resultant
// mode for a pipe-like element, its four resultants) go to the results of
// the case.
void record_end_forces(AnalysisRun& run, const ElementVector& forces);
// compute_end_forces, then record_end_forces.
void element_end_forces(AnalysisRun& run);
