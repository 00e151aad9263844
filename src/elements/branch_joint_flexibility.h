// The joint flexibility of branch connections by ASME B31J (used when the
// analysis option "Use B31J for SIFs and Flexibility Factors" is on).
//
// ASME B31J-2017 gives, for the branch connections of its Table 1-1
// (sketches 2.1 to 2.6: welding tee, reinforced and unreinforced fabricated
// tee, extruded tee, welded-in contour insert, branch welded-on fitting),
// flexibility factors k of the run and of the branch for in-plane and
// out-of-plane bending and torsion, the planes named as in its Figure 1-1:
// in-plane bending turns a leg in the plane that the run and the branch
// span, out-of-plane bending turns it out of that plane, torsion about its
// own axis. The run is the pair of collinear legs, the branch the third leg,
// whatever their sizes (an equal tee has a branch too). Each factor is a
// rotation of the leg against the intersection point of the centerlines
// (Table 1-2 gives the moment-rotation relationships): the joint is a
// zero-length rotational spring on each leg at that point, in series with
// the pipe, with the flexibilities below; a factor of 1.0 or less leaves the
// leg rigidly joined in that direction.
//
// Flexibilities (radian per in-lb), with D, T the run's outside diameter and
// wall, d, tb the branch's, Irun = pi/64 (D^4 - (D - 2T)^4), Ib likewise
// of the branch, E the modulus of the leg's material in the step, Erun the
// run's modulus at the ambient temperature:
//   branch leg: torsion kbt d/(Ib E); in-plane kb1 d/(Ib E) - D kr1/2/(Irun
//               Erun); out-of-plane kb2 d/(Ib E) - D kr2/2/(Irun Erun) (a
//               share of the rotation that the run's own joint gives);
//   run leg:    torsion 2 D krt/(Irun E); in-plane 2 D kr1/(Irun E);
//               out-of-plane 2 D kr2/(Irun E).
// A flexibility that comes out below 1/1.0e12 is held at that (rigid).
#pragma once

#include "analysis_core/local_matrix.h"

#include <string>

// The geometry of one branch connection (inch, psi).
struct BranchJointNode {
    double run_diameter = 0.0;        // D, the run's outside diameter
    double run_thickness = 0.0;       // T
    double run_modulus = 0.0;         // Erun: of the run's material at the ambient temperature
    double branch_diameter = 0.0;     // d, the branch's outside diameter
    double branch_thickness = 0.0;    // tb
    int sif_type = 0;                 // the branch SIF's type, 1..6
    double sif_dimension = 0.0;       // p, its first dimension (the pad of type 2)
    int end_count = 0;                // n: flanges or rigids at the run pipe ends
    bool in_range = false;            // the geometry is inside the range of the formulas
};

// The flexibility factors at one node: branch in-plane, out-of-plane and
// torsion, run in-plane, out-of-plane and torsion. A factor of 1.0 means
// rigid; they start at 1.0, the run's torsion at 1.0001.
struct BranchJointFactors {
    double kb1 = 1.0, kb2 = 1.0, kbt = 1.0;
    double kr1 = 1.0, kr2 = 1.0, krt = 1.0001;
};

// The factors at one node: the run factors always, the branch factors when
// `branch` is set. Outside the range of the formulas, or for a geometry that
// has no meaning (a non-positive diameter, thickness or mean radius), they
// keep their start values; every factor is at least 1.0.
BranchJointFactors branch_joint_factors(const BranchJointNode& node, bool branch);

// The rotational flexibilities of one leg's joint spring (radian per
// in-lb): in the plane of the tee, out of it, and in torsion about the leg.
struct JointSpring {
    double in_plane = 0.0, out_of_plane = 0.0, torsion = 0.0;
};

// The spring of the branch leg, or of a run leg, at the connection; E is
// the modulus of the leg's material.
JointSpring branch_leg_spring(const BranchJointNode& node, double modulus);
JointSpring run_leg_spring(const BranchJointNode& node, double modulus);

// True when a spring joins nothing more flexibly than a rigid link.
bool spring_is_rigid(const JointSpring& spring);

// Joins one end (0: node 1, 1: node 2) of an element to its node through a
// zero-length rotational spring whose flexibility is
//   in_plane n n^T + out_of_plane o o^T + torsion t t^T
// with n the unit normal of the tee's plane, t the unit axis of the leg and
// o = t x n, all in the element's local axes. The spring's rotation is
// condensed out: K and F of the element become those between the node and
// the element's other end, so that its end forces are those at the node.
void join_end_through_spring(ElementMatrix& k, ElementVector& f, int end, const JointSpring& spring,
                             const Vec3& plane_normal, const Vec3& leg_axis);

// The line written to the debug output for an element joined at a branch
// connection: "Branch: Node: ..." or "Run: Node: ..." with the two node
// numbers and the joint's stiffnesses in torsion, in-plane and out-of-plane
// bending.
std::string branch_joint_debug_line(bool branch, int node1, int node2, const JointSpring& spring);
