// The SIFs of every element end of an analysis model, and the flexibility
// factors the force table shows, from the piping code's table
// (sif_formulas.h) and what the model holds:
//   - the bend's own: the arcs of bends, miters and jacketed bends (the
//     jacket's arcs with the jacket's section, radius and flanged ends);
//     the bend's user SIFs above 1.0 replace its computed ones;
//   - the reducer's, at both its ends, from its cone angle (or, when none is
//     given, the angle of the cone between its two diameters over its
//     length);
//   - the data items at an end's node: a branch SIF (read directly at the
//     node, every type, for the pipe-like elements that meet there), a weld,
//     a threaded joint, and a user SIF, whose values above 1.0 replace the
//     computed ones.
// Several SIFs at one end give the largest of each component. Under a code
// with one SIF (B31.1, B31.9 without B31J, ASME Class 2/3, Z662) all four
// components are that SIF; where the code's table gives two (the chart's
// bends and tees, which Z662 takes), the larger of them.
//
// With "Use B31J for SIFs and Flexibility Factors" the branch joints'
// flexibility factors are those of the straight elements' B31J joints
// (elements/branch_joint_flexibility.h). The i-factors of B31J's own table
// are not held by the program: branch connections keep the code table's
// SIFs and the evaluation says so once (CodeNotes).
#pragma once

#include "codes/sif_formulas.h"
#include "framework/one_based.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

struct AnalysisModel;
struct Elem;

// The notes of an evaluation: what it could not do or where a formula left
// its range, each once, in the order met.
struct CodeNotes {
    std::vector<std::string> texts;
    void add(const std::string& text);
};

// What the evaluation keeps of one element.
struct ElementSifs {
    std::array<Sifs, 2> end;                      // [0] node 1, [1] node 2
    // The element is the branch (smaller) leg of a reduced branch connection
    // at that end: its section modulus there is the effective one.
    std::array<bool, 2> reduced_branch{};
    std::array<double, 2> branch_run_thickness{};  // the run's wall there
    std::array<double, 2> branch_run_allowance{};  // and its corrosion allowance
    // "FFt", "FFo", "FFi": torsion, out-of-plane, in-plane.
    std::array<double, 3> flexibility{1.0, 1.0, 1.0};
};

// The 14 factors of a node's data items: in-plane, out-of-plane, axial,
// torsion SIF, then the user's stress concentration factors (sustained and
// cyclic: pressure, bending, thrust, torsion, shear), each 1.0 when not given.
inline constexpr int NODE_SIF_FACTORS = 14;
using NodeSifs = std::array<double, NODE_SIF_FACTORS>;

struct ModelSifs {
    OneBased<ElementSifs> elements;   // by element index
    OneBased<NodeSifs> nodes;         // by node index
};

// The outside diameter and wall of an element at one of its nodes: a
// reducer's own end sizes, else its section's diameter and the element's
// wall (a bend arc's own); zeros without a section.
std::pair<double, double> element_end_size(const AnalysisModel& model, const Elem& element, int node);

// Every element end's SIFs and the nodes' factors of the model. Pipe-like
// elements (pipe, bend, miter, jacketed pipe and bend, reducer) get their
// SIFs; the others keep 1.0.
ModelSifs element_end_sifs(const AnalysisModel& model, CodeNotes& notes);
