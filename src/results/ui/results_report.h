// The results report: the Print Results sheet (PRINT_RESULTS_DIALOG) that
// selects the model report (the model's input tables that are not empty),
// the load cases (all at first) and the parts of the results, and prints
// them with a table of contents to the printer, the preview, a PDF file, a
// text file or a CSV file; and batch mode's report, written with the
// default selection to the model path with the extension "txt".
//
// The parts, in their order: sorted stresses, code compliance, hanger
// report, support load summary, then for each selected load case its
// support loads, element forces in local and in global axes and
// displacements, then soil restraints, accelerations, frequencies and the
// reports other windows register (flange, rotating equipment, branch
// connections, FRP and dynamic stresses). A part that the results do not
// hold is not offered. Results older than their model say so on the
// report's first page.
#pragma once

#include "framework/ui/report.h"
#include "platform/handles.h"
#include "platform/resources.h"

#include <array>
#include <string>
#include <vector>

enum ReportPart : int {
    PART_SORTED_STRESSES,
    PART_CODE_COMPLIANCE,
    PART_HANGER_REPORT,
    PART_SUPPORT_SUMMARY,
    PART_SUPPORT_LOADS,
    PART_FORCES_LOCAL,
    PART_FORCES_GLOBAL,
    PART_DISPLACEMENTS,
    PART_SOIL_RESTRAINTS,
    PART_ACCELERATIONS,
    PART_FREQUENCIES,
    PART_OTHER_REPORTS,
    REPORT_PARTS,
};
// "Sorted stresses" ... as the sheet shows them.
const char* report_part_name(int part);
// Whether the open results hold the part.
bool report_part_present(int part);

struct ResultsReportSelection {
    bool model_report = true;
    std::vector<int> load_cases;                  // indices into the results' cases, in order
    std::array<bool, REPORT_PARTS> parts{};
};
// Every present part, every load case and the model report.
ResultsReportSelection default_report_selection();
// The selection the sheet opens with (the default until changed).
ResultsReportSelection& report_selection();
// First-Level Checks' Print: the model report, every load case, the sorted
// stresses, hanger report, support load summary, support loads, element
// forces and frequencies as far as present.
void select_first_level_report();

// The report of a selection (a job with a table of contents).
ReportJob results_report_job(const ResultsReportSelection& selection);
// The model report alone: every input table that is not empty.
void print_model_report();

// The Print Results sheet (command 106 of the results window).
void print_results_sheet_command(WindowId owner);
const DialogTemplate& print_results_template();
// Batch mode's report: the default selection as text at `path`; false with
// the message on standard error when it cannot be written.
bool write_results_report(const std::string& path, std::string& error);

void install_results_report();
