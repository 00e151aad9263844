// The branch connections of a run, as the B31J joint flexibility of the
// straight elements needs them: the branch SIF at a node, the branch-
// connection mark (run state, never written to the model), the run pipe
// (the largest section at the node) and the branch pipe (the smallest),
// and whether the geometry lies inside the range of the tee formulas.
#pragma once

#include "elements/branch_joint_flexibility.h"

class AnalysisRun;
class BranchSif;
struct AnalysisModel;
struct PipeSection;
struct SectionProperties;

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

// The element at the node with the largest section outside diameter (the
// run pipe) and the one with the smallest (the branch pipe); 0 when no
// element there has a section. The first of equal diameters wins.
int largest_section_at_node(AnalysisRun& run, int node);
int smallest_section_at_node(AnalysisRun& run, int node);
// The same rule on the model being edited (node index): the section with the
// smallest outside diameter among the elements that end at the node (the
// first of equal diameters), else the section the node's own row names;
// null when there is none.
const PipeSection* smallest_section_at_node(int node);

// True when the run and branch sections have the geometry the tee formulas
// are written for: positive diameters and walls, a wall less than half the
// diameter (a bore), and a branch no larger than the run (r/R at most 1).
bool branch_sif_in_range(const PipeSection& run_section, const PipeSection& branch_section);

// The B31J joint flexibility of a straight element with the section
// quantities `p` of the step: with the option on, each end node that has a
// branch joint replaces the rotational flexibilities as
// apply_branch_joint_flexibility says, and the line of the replaced
// stiffnesses goes to the debug output. Nothing with the option off.
void apply_branch_joints(AnalysisRun& run, int element, const SectionProperties& p,
                         StraightFlexibility& flexibility);
