// The flange qualification window: the joint being evaluated, its
// three-page input sheet (flange, bolting and gasket, loads), Analyze and the
// "Flange Stresses Report" in the list window, printed to pages or text.
#pragma once

#include "platform/backend.h"
#include "qualification/flange_evaluation.h"

class QualificationReportTable;

struct FlangeQualification {
    FlangeInput input;
    bool calculated = false;      // the report holds the evaluation of the input
    FlangeResults results;
};
FlangeQualification& flange_qualification();

// The defaults of a new joint; the evaluation is dropped.
void set_flange_defaults();
// The input sheet ("Flange Qualification"): OK copies what changed (an
// integer when unequal, a real by more than 1e-5) and marks the joint
// modified; then, after OK or Cancel, a modified joint loses its
// evaluation and the report is rebuilt. True when the sheet stored.
bool flange_property_sheet(WindowId owner);
// Analyze: evaluates the joint, "Flange Analyzed", the report with results.
void analyze_flange_command();
// Writes the report to the destination of the printing state.
void write_flange_report();
QualificationReportTable& flange_stresses_table();
void refresh_flange_report();

void install_flange_qualification();
