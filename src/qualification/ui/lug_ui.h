// The lug evaluation window ("Evaluation of Piping at Lug Attachment"): the
// attachment being evaluated, its input dialog LUG_EVAL, Analyze and the
// report in the list window, printed to pages or text.
#pragma once

#include "platform/backend.h"
#include "qualification/lug_evaluation.h"

class QualificationReportTable;

struct LugQualification {
    LugInput input;
    bool analyzed = false;   // the report holds the evaluation
};
LugQualification& lug_qualification();

// The defaults of a new evaluation (all values 0).
void set_lug_defaults();
// LUG_EVAL: OK stores when anything differs, marks the data modified, drops
// the evaluation and rebuilds the report. True when it stored.
bool lug_dialog(WindowId owner);
void write_lug_report();
QualificationReportTable& lug_report_table();
void refresh_lug_report();

void install_lug_evaluation();
