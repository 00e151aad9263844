// The result tables of the piping-code evaluation beyond the force tables:
//   "&Branch conn stresses"  the ASME Class 2/3 branch-connection table
//                            (codes/branch_connection_table.h) with its own
//                            load-case chooser (command 231) and Left/Right
//                            stepping through the cases with a code stress;
//   "&FRP stresses"          the FRP elements' hoop, axial and torsion
//                            stresses and their ratios in the current load
//                            case (codes/frp_stress.h);
//   "&Sorted FRP stresses"   every FRP element end once with its case of the
//                            largest ratio, sorted by a ratio that Right and
//                            Left (and Next / Previous item) choose: the
//                            largest of the three, hoop, axial, torsion;
//   "&Flange report"         each flange's loads in the operating cases as
//                            an equivalent pressure against its allowable
//                            pressure (codes/flange_loads.h).
// Each prints as a table, in the text report and as CSV.
#pragma once

#include "codes/branch_connection_table.h"
#include "codes/flange_loads.h"

#include <cstdint>
#include <string>
#include <vector>

class TableWindow;

void show_branch_connection_table();
void show_frp_stresses();
void show_sorted_frp_stresses();
void show_flange_report();

// What the tables show now (for the tests and the reports).
TableWindow* branch_connection_table();
TableWindow* frp_stresses_table();
TableWindow* sorted_frp_stresses_table();
TableWindow* flange_report_table();
int32_t branch_connection_load_case();   // the code shown
const std::vector<BranchConnectionRow>& branch_connection_shown_rows();
// The sorted FRP list's order: 0 the largest ratio, 1 hoop, 2 axial, 3 torsion.
int sorted_frp_kind();
const std::vector<FlangeLoadRow>& flange_report_shown_rows();

// Registers the show operations, the branch table's load-case chooser and
// the sorted FRP list's item commands with the results window.
void install_code_stress_tables();
