// The branch connections of a run, as the B31J joint flexibility needs them:
// the branch SIF at a node, the tee at a node that carries one (its two
// collinear run legs, its branch leg and the plane they span), the run and
// branch sections, and the joining of a leg's element to the node through
// its joint spring (branch_joint_flexibility.h). All of it is run state:
// the document is never changed.
#pragma once

#include "elements/branch_joint_flexibility.h"

#include <string>
#include <vector>

class AnalysisRun;
class BranchSif;
struct AnalysisModel;
struct PipeSection;

// The branch SIF at a node (node index) of the analysis model: the last row
// at that node with one. Types 1, 2, 3 and 9 always; types 4 to 6 only
// with "Use B31J for SIFs and Flexibility Factors" on or under IGEM; null
// when there is none.
const BranchSif* branch_sif_at_node(const AnalysisModel& model, int node);

// True when the node carries the branch-connection mark and a branch SIF.
// A node is marked when a row at it holds a branch SIF; the marks are made
// once per run, before any element is assembled, so that no element's
// stiffness depends on the order of the rows.
bool node_has_branch_joint(AnalysisRun& run, int node);

// On the model being edited (node index): the section with the
// smallest outside diameter among the elements that end at the node (the
// first of equal diameters), else the section the node's own row names;
// null when there is none.
const PipeSection* smallest_section_at_node(int node);

// True when the run and branch sections have the geometry the tee formulas
// are written for: positive diameters and walls, a wall less than half the
// diameter (a bore), and a branch no larger than the run (r/R at most 1).
bool branch_sif_in_range(const PipeSection& run_section, const PipeSection& branch_section);

// The tee at a branch connection: three straight elements (pipes, cut
// pipes, reducers or jacketed pipes) end at the node, two of them
// collinear (within 1 degree), the run; the third is the branch. 0 elements
// when the node is no such tee.
struct BranchTee {
    int run[2] = {0, 0};
    int branch = 0;
    Vec3 plane_normal;   // unit normal of the plane of run and branch
};
BranchTee branch_tee_at_node(const AnalysisModel& model, int node);

// Why a node with a branch SIF under B31J gets no joint flexibility ("" when
// it gets it): the message of the model check's warning.
std::string branch_joint_warning(const AnalysisModel& model, int node);

// With the option on, joins each end of the current element (run.element(),
// whose K and F are in its local axes) that sits on a tee with a branch
// SIF to its node through the joint spring of its leg, and writes the
// joint's line to the debug output. Nothing with the option off or for an
// element that is no leg of such a tee.
void apply_branch_joints(AnalysisRun& run, int element);
