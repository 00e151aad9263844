// The branch-connection table of ASME Section III Class 2 and 3 (NC/ND-3653.3):
// at every node that carries a branch SIF item, the branch and run moments
// taken separately and their stress with the branch's effective section
// modulus and the run's (class2_stress.h, branch_connection_stress), for
// the load case its own chooser (command 231) picks.
//
// The legs of a junction are the straight pipe-type elements (pipe,
// jacketed pipe, reducer) that end at the node: the run is the pair most
// nearly opposite, the branch the first other leg. A node whose legs are
// not three or four straight elements (a bend at the junction, a lone
// item) has no row. Moments are taken in global axes.
#pragma once

#include "codes/class2_stress.h"
#include "codes/code_evaluation.h"

#include <cstdint>
#include <vector>

struct AnalysisModel;

// True when the results offer the table: a piping code of ASME Class 2
// (1986, 1992, 2015, 2017) or Class 3 (2017), Sustained among the results and
// at least one branch SIF item in the model (the results' branch-connection
// flag).
bool branch_connection_table_available(int32_t piping_code, bool sustained_present, bool any_branch_sif);

// The load cases the table's chooser offers: those with a code stress among
// the results (in their order).
std::vector<int32_t> branch_connection_load_cases(const CodeStressResults& results);

struct BranchConnectionRow {
    int32_t node = 0;             // node index
    int32_t branch_element = 0;
    int32_t run_elements[2] = {0, 0};
    double sif = 1.0;
    B1B2 indices;
    BranchConnectionStress stress;
    double allowable = 0.0;       // the run end's allowable of the case
    bool checked = false;
    Unchecked unchecked = Unchecked::None;   // why not, where the run end has a stress
};

// The rows of one load case from its forces; `sustained` (the forces of
// Sustained, or null) adds the sustained moments to an occasional case's
// (Eq. (9) takes MA + MB, the occasional magnitudes added).
std::vector<BranchConnectionRow> branch_connection_rows(const AnalysisModel& model, const CodeStressResults& results,
                                                        int32_t load_case, const OneBased<ElementForces>& forces,
                                                        const OneBased<ElementForces>* sustained);
