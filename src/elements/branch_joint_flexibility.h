// The joint flexibility of branch connections by ASME B31J, for the straight
// elements that end at a branch connection carrying a branch SIF (used when
// the analysis option "Use B31J for SIFs and Flexibility Factors" is on).
// At such a node the run pipe is the largest section there and the branch
// pipe the smallest; an element whose own diameter is at most the branch
// diameter (plus 0.0001) is the branch, any other is a run pipe. The joint
// replaces the element's rotational flexibilities by the branch or run
// joint flexibilities.
#pragma once

#include "elements/straight_element.h"

#include <span>
#include <string>

// One end node of the element at which a branch connection with a branch
// SIF meets (inch, psi).
struct BranchJointNode {
    double run_diameter = 0.0;        // D, the largest section's outside diameter at the node
    double run_thickness = 0.0;       // T
    double run_modulus = 0.0;         // Erun: of the run's material at the ambient temperature
    double branch_diameter = 0.0;     // d, the smallest section's outside diameter at the node
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

// True when an element of this outside diameter is the branch at the node.
bool element_is_branch_at(const BranchJointNode& node, double element_diameter);

// The factors at one node: the run factors always, the branch factors when
// `branch` is set. Outside the range of the formulas, or for a geometry that
// has no meaning (a non-positive diameter, thickness or mean radius), they
// keep their start values; every factor is at least 1.0.
BranchJointFactors branch_joint_factors(const BranchJointNode& node, bool branch);

// The joint flexibilities of the nodes of one element, node 1 then node 2
// (those that carry a branch connection): a later node's factors and
// geometry replace an earlier's; the element is a branch when it is the
// branch at any of them. Replaces ft, ry and rz of `flexibility` and
// clears its coupling; E is the element's modulus. A factor of 1.0 or less
// gives the rigid 1/1.0e12; a branch flexibility that would come out below
// that (the run's share subtracted from the branch's) is held at 1/1.0e12.
// Returns true for a branch element. Nothing changes without nodes.
bool apply_branch_joint_flexibility(std::span<const BranchJointNode> nodes, double element_diameter,
                                    double modulus, StraightFlexibility& flexibility);

// The line written to the debug output for an element whose joint
// flexibility was replaced: "Branch: Node: ..." or "Run: Node: ..." with the
// two node numbers and the stiffnesses 1/ft, 1/ry, 1/rz.
std::string branch_joint_debug_line(bool branch, int node1, int node2, const StraightFlexibility& flexibility);
