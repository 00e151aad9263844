// The straight element: pipes, jacketed pipes (core and jacket), reducers,
// the pipe part of valves, bellows, slip joints and rigid elements. Its
// stiffness comes from the flexibility of a cantilever with shear
// deformation; its loads are weight, pressure thrust, the Bourdon strain,
// cold spring, temperature and seismic g; it also gives the lumped mass, the
// wind force and a valve's eccentric additional weight.
//
// Local axes: x from node 1 to node 2, y and z from the element axes. Inch,
// lb, psi, degF, radian.
#pragma once

#include "elements/element_step.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/local_matrix.h"

// The length that stands for a zero one.
inline constexpr double MIN_ELEMENT_LENGTH = 1.0e-8;

// The length used by the element routines: lengths below 1.0e-8 (a zero
// length above all) count as 1.0e-8, so that no flexibility or stiffness term
// divides by zero.
double element_length(double length);

// Flexibilities: axial fa, shear fs, torsion ft, bending fb and the two
// rotational flexibilities ry (about local y) and rz (about local z), both fb
// unless a branch-connection joint replaces them. `coupled` is cleared when
// they are replaced: the bending rotation then no longer couples with the
// transverse translation.
struct StraightFlexibility {
    double fa = 0.0, fs = 0.0, ft = 0.0, fb = 0.0;
    double ry = 0.0, rz = 0.0;
    bool coupled = true;
};

// A pipe, jacketed pipe, reducer or valve: fa = L/(AE), fs = alpha L/(AG),
// fb = L/(IE), ft = L/(2IG), with L through element_length. A, I, E and G must
// be above 0.
StraightFlexibility pipe_flexibility(double length, double area, double inertia, double modulus,
                                     double shear_modulus, double shear_coefficient);
// A bellows: 1/(rate + 0.0001) in each direction, so that a rate of 0 gives
// the stiffness 0.0001.
StraightFlexibility bellows_flexibility(double axial, double lateral, double bending, double torsional);
// A slip joint with the axial and torsional stiffnesses of the step (both
// above 0): no shear flexibility, rigid in bending.
StraightFlexibility slip_joint_flexibility(double axial_stiffness, double torsional_stiffness);
// Rigid in every direction: 1/1.0e12.
StraightFlexibility rigid_flexibility();

// The 12-by-12 local stiffness from the flexibilities, by inverting the
// cantilever flexibility of each bending plane. K is cleared first.
void straight_element_stiffness(const StraightFlexibility& flexibility, double length, ElementMatrix& k);

// The element quantities the load vector needs.
struct StraightElement {
    double length = 0.0;
    double outside_diameter = 0.0;
    double thickness = 0.0;
    double modulus = 0.0;
    double poisson = 0.0;
    double expansion = 0.0;     // per degree
    double weight = 0.0;        // per length
    double temperature = 0.0;
    double pressure = 0.0;
    double thrust_area = 0.0;   // bellows and slip joints; 0 otherwise
    double cut = 0.0;           // signed cold-spring cut of a cut pipe; 0 otherwise
    bool bourdon = false;       // pipe, jacketed pipe and reducer take the Bourdon strain
    bool thermal = true;        // every kind but the slip joint expands
};

// The local load vector of the step for an element whose stiffness is k.
// `axes` are the element's local axes (global unit vectors). F is cleared
// first. The modal step has no load vector (nothing is formed).
void straight_element_loads(const StraightElement& element, const LocalAxes& axes, const ElementMatrix& k,
                            const ElementLoadStep& step, const ElementLoadOptions& options,
                            ElementVector& f);

// The lumped translational mass at each of the two nodes: w L / 2 / 386.4.
double straight_element_mass(double weight, double length);

// The area that the wind sees on a straight element: L (OD + 2 insulation
// thickness), and for a valve its insulation multiplier on the insulation.
double straight_wind_area(double length, double outside_diameter, double insulation_thickness,
                          double insulation_multiplier = 1.0);
// The wind force at each of the two nodes: pressure times area / 2 times the
// part of the unit wind direction normal to the unit element axis (global).
Vec3 wind_node_force(double pressure, double area, const Vec3& axis, const Vec3& direction);

// A valve's additional weight W acting at the valve centre, which lies at
// `offset` from the middle of the two nodes (global). Adds to the global
// 12-term vector of the two nodes: in a modal step W/2/386.4 on the
// translations; in a weight step -W/2 on the vertical translation of each
// node with its moment about the node; in a seismic step g W/2 on each axis
// whose g-load is on, with its moments.
void valve_added_weight_loads(double weight, const Vec3& offset, const Vec3& node1, const Vec3& node2,
                              const ElementLoadStep& step, const ElementLoadOptions& options,
                              ElementVector& global);

// The secant stiffness of a sticking slip joint in the first operating step:
// |N| k / (|N| - friction) when the friction is below the magnitude of the
// force N through the joint, else rigid.
double slip_joint_secant_stiffness(double stiffness, double force, double friction);
// The slip joint's current friction force and moment as equal and opposite
// loads along the unit axis: -force, -moment at node 1, + at node 2, added to
// the global 12-term vector of the two nodes.
void slip_joint_friction_loads(const Vec3& axis, double force, double moment, ElementVector& global);
// Takes the friction force and moment out of the local load vector before the
// joint's end forces are recovered.
void remove_slip_joint_friction(double force, double moment, ElementVector& f);
