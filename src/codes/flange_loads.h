// The flange loading report: at every flange (data type 11) the loads of
// the operating cases turned into a pressure on its gasket and checked with
// the case's pressure against the flange's allowable pressure.
//
// The equivalent pressure method: the bending moment M and a tensile axial
// force F at the flange act on the gasket circle of diameter G as
//   Peq = 16 M / (pi G^3) + 4 F / (pi G^2)
// (ASME Section III NC-3658.1(a) gives the moment's term 16 M / pi G^3; a
// tensile force unloads the gasket as a pressure on its circle does, 4 F /
// pi G^2; a compressive force is not counted). The check is P + Peq against
// the allowable pressure of the flange; a flange without gasket diameter or
// allowable pressure is shown and not checked.
#pragma once

#include "codes/code_evaluation.h"

#include <cstdint>
#include <vector>

struct AnalysisModel;

double flange_equivalent_pressure(double axial_force, double bending_moment, double gasket_diameter);

// The load cases of the report among the results' codes, in their order:
// the operating cases (8-10, 100-106), else Static analysis (32).
std::vector<int32_t> flange_report_cases(const std::vector<int32_t>& results_cases);

struct FlangeLoadRow {
    int32_t row = 0;          // layout row of the flange
    int32_t node = 0;         // node index
    int32_t element = 0;      // the element whose end forces are taken
    int32_t load_case = 0;
    double axial = 0.0;       // lb, tension positive
    double moment = 0.0;      // in-lb, the bending resultant
    double pressure = 0.0;    // psi, the case's pressure there
    double equivalent = 0.0;  // Peq
    double allowable = 0.0;   // the flange's allowable pressure
    bool checked = false;
    double total() const { return pressure + equivalent; }
    // Per cent of the allowable; 0 when not checked.
    double percent() const { return checked ? 100.0 * total() / allowable : 0.0; }
};

// Every flange row of the model in row order, each for every case of
// `cases`, the forces of each case read once through `forces`. The element
// at a flange is the element of its own row ending at its node, else the
// first pipe-type element at the node.
std::vector<FlangeLoadRow> flange_report_rows(const AnalysisModel& model, const std::vector<int32_t>& cases,
                                              const CaseForceReader& forces);
