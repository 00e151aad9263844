// The curved element of bends, miters and jacketed bends: a circular arc of
// radius R and angle theta between two nodes, in its own frame (local x the
// tangent at node 1 pointing into the arc, y towards the centre of
// curvature, z = x cross y normal to the bend plane; node 2 lies at
// (R sin theta, R (1 - cos theta), 0) from node 1).
//
// The stiffness comes in closed form from the exact flexibility of the arc
// (axial, shear, torsion and bending, the bending flexibility multiplied by
// the flexibility factor k) and the equilibrium of the arc; the fixed-end
// loads of weight, seismic g, temperature and the Bourdon effect are K times
// the free-end displacement of node 2 with node 1 held, with the node-1 part
// from equilibrium. The closed forms are evaluated through stable series for
// nearly straight arcs (arc_terms.h), so that any angle above 0 is served.
#pragma once

#include "elements/element_step.h"
#include "analysis_core/local_matrix.h"

// The quantities of one curved element in the current step (inch, lb, psi,
// degF, radian).
struct BendElement {
    double radius = 0.0;              // above 0
    double angle = 0.0;               // of the arc, above 0
    double flexibility_factor = 1.0;  // k, above 0 (a factor of 0 has no finite stiffness)
    double area = 0.0;
    double inertia = 0.0;
    double shear_coefficient = 0.0;   // alpha: shear energy alpha V^2 / (2 G A)
    double modulus = 0.0;
    double shear_modulus = 0.0;
    double poisson = 0.0;
    double expansion = 0.0;           // per degree
    double outside_diameter = 0.0;
    double thickness = 0.0;
    double weight = 0.0;              // per length of arc
    double temperature = 0.0;
    double pressure = 0.0;
};

// The flexibility of node 2 against node 1 held, 1-based: rows and columns
// 1..6 are the forces x, y, z and moments x, y, z at node 2, in the element
// frame. Symmetric; the in-plane terms (1, 2, 6) and out-of-plane terms
// (3, 4, 5) do not couple.
struct ArcFlexibility {
    double f[7][7] = {};
};

// The arc's flexibility. Radius, angle and flexibility factor must be above
// 0, and so must A, I, E and G (internal checks).
ArcFlexibility bend_arc_flexibility(const BendElement& bend);

// The 12-by-12 stiffness in the element frame: the inverse of the arc's
// flexibility is the node-2 block; node 1 follows by equilibrium through the
// chord. K is cleared first.
void bend_element_stiffness(const BendElement& bend, ElementMatrix& k);

// The local load vector of the step for an element whose stiffness is k:
// weight, temperature, the Bourdon effect and seismic g. `axes` is the
// element frame (global unit vectors of local x, y, z). F is cleared first.
// In a modal step nothing is formed.
void bend_element_loads(const BendElement& bend, const LocalAxes& axes, const ElementMatrix& k,
                        const ElementLoadStep& step, const ElementLoadOptions& options,
                        ElementVector& f);

// The lumped translational mass at each of the two nodes.
double bend_element_mass(const BendElement& bend);

// The chord from node 1 to node 2 in the element frame.
Vec3 bend_chord(double radius, double angle);

// The axes of the arc's tangent at node 2: the element frame turned by the
// angle about local z.
LocalAxes bend_tangent_axes(const LocalAxes& axes, double angle);

// Turns the node-2 forces and moments (7..12) of local end forces from the
// element frame into the tangent axes at node 2.
void bend_forces_to_tangent_axes(double angle, ElementVector& forces);

// The area that the wind sees: the exposed diameter (OD plus twice the
// insulation) times the chord length; the force on it acts normal to the
// chord (wind_node_force, straight_element.h).
double bend_wind_area(double exposed_diameter, double radius, double angle);
