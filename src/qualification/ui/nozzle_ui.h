// The nozzle qualification window ("Local loads on nozzle"): the data set,
// its input dialog NOZZLE_QUAL for both methods, Analyze and the report in
// the list window (EN 13445-3 clause 16 allowable loads or WRC 537 local
// stresses), printed to pages or text.
#pragma once

#include "platform/backend.h"
#include "qualification/nozzle.h"
#include "qualification/wrc537.h"

class QualificationReportTable;

struct NozzleQualification {
    NozzleEvaluation data;
    bool evaluate = false;   // the report holds the evaluation
};
NozzleQualification& nozzle_qualification();

// A new data set: every float 0, a spherical shell, the Operating case, EN.
void new_nozzle_evaluation();
// NOZZLE_QUAL: OK stores the chosen method's fields when they differ, marks
// the data modified, drops the evaluation and rebuilds the report.
bool nozzle_dialog(WindowId owner);
void write_nozzle_report();
QualificationReportTable& nozzle_report_table();
void refresh_nozzle_report();

// The WRC 537 curve store the evaluation uses: read at first use from
// wrc537_curves.txt beside the program unless one was set.
const Wrc537CurveStore& wrc537_curve_store();
void set_wrc537_curve_store(Wrc537CurveStore store);

void install_nozzle_qualification();
