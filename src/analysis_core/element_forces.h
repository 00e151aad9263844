// The end forces of an element after a solution: from its local stiffness,
// its local load vector, its axes and the global displacements, the twelve
// forces and moments at its two ends in local axes, and what becomes of them
// (envelope and square-sum records, resultants, the values written to the
// results file, the stiffness export).
//
// Sign convention of the end forces: both ends give the internal force of
// the element at that end as a section force (an element in tension shows a
// positive axial force at both ends; a pure end moment shows the same moment
// at both ends).
#pragma once

#include "analysis_core/local_matrix.h"

#include <span>
#include <string>

// The twelve local end forces. `loads` is the element's local load vector of
// the step, `k` its local stiffness, `axes` its local axes (global unit
// vectors), `dofs` its twelve equation numbers (1-based, 0 for a node that
// is not in the analysis) and `displacements` the global solution by
// equation number (index 0 unused). When `displacement_matrix` is given it
// receives K turned to global displacement columns, with the rows of node 1
// negated: the matrix whose product with the element's global displacements
// gives the forces' displacement part.
void element_end_forces(const ElementMatrix& k, const ElementVector& loads, const LocalAxes& axes,
                        const int (&dofs)[13], std::span<const double> displacements, ElementVector& forces,
                        ElementMatrix* displacement_matrix = nullptr);

// Envelope mode: each component replaces the record's when its magnitude is
// larger. Square-sum mode: the squares are added to the record.
void envelope_end_forces(const ElementVector& forces, ElementVector& record);
void square_sum_end_forces(const ElementVector& forces, ElementVector& record);

// The resultant output of a pipe-like element: at each end the resultant of
// the transverse displacements (local y and z) and of the two bending
// moments. A transverse resultant below 1e-6 times the axial displacement of
// its end, or below 1e-6 times the other end's, is 0; a moment resultant
// below 1e-5 times the axial force of its end, or below 1e-6 times the other
// end's, is 0. `axes2` are the axes at node 2 (a bend's tangent axes there);
// displacements are the nodes' global translations.
struct EndResultants {
    double transverse1 = 0.0, moment1 = 0.0;
    double transverse2 = 0.0, moment2 = 0.0;
};
EndResultants element_end_resultants(const LocalAxes& axes1, const LocalAxes& axes2, const Vec3& displacement1,
                                     const Vec3& displacement2, const ElementVector& forces);

// A force as written to the results file: f32, magnitudes below 1e-30 as 0.
float end_force_value(double value);

// The stiffness export of one element: "Element: <node 1> - <node 2>,Type
// :<type>" and then the twelve rows of the matrix, each value "%lf" followed
// by a comma, one row a line.
std::string element_stiffness_text(const std::string& node1, const std::string& node2, const std::string& type_name,
                                   const ElementMatrix& matrix);
