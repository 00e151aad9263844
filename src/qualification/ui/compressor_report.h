// The compressor (API 617) and turbine (NEMA SM 23) reports of the
// rotating-equipment report: the nozzle loads in shaft axes, the check of
// each connection (3F + M against 500 De), and the combined resultants at
// the exhaust or largest connection (components, and 2F + M against 250 Dc,
// the limits times 1.85 for a compressor). The resultant checks are in lb
// and ft-lb whatever the display units.
//
// Lines go through report_lines.h; in the window each line is stored with
// one of the kinds below, which CompressorReportWindow draws at the columns
// measured in its font (compressor_line_columns, draw_compressor_line).
#pragma once

#include "platform/surface.h"
#include "qualification/ui/report_lines.h"

#include <functional>
#include <string>

enum CompressorLineKind : int {
    CLINE_TEXT = 0,
    CLINE_LOADS_HEADING = 1,      // "Node Type fx fy fz mx my mz"
    CLINE_VALUES = 2,             // node, type and six values
    CLINE_MESSAGE = 3,            // node, type, message "!"
    CLINE_SIZE_MESSAGE = 4,       // node, type, size, message "!"
    CLINE_INDIVIDUAL_1 = 5,       // "Size --- Resultant ---!Allow"
    CLINE_INDIVIDUAL_2 = 6,       // "Node Type (inch) F(lb) M(ft-lb) 3F + M !able Ratio"
    CLINE_FORCES_MOMENTS = 7,     // "----- Forces (lb) -----!----- Moments (in-lb) -----!"
    CLINE_COMPONENTS = 8,         // "fx fy fz mx my mz"
    CLINE_LABELLED = 9,           // "Calculated", "Allowable" or "Ratio" and six values
    CLINE_COMBINED_1 = 10,        // "--- Resultant ---!Allow"
    CLINE_COMBINED_2 = 11,        // "F(lb) M(ft-lb) 2F + M !able Ratio"
    CLINE_COMBINED = 12,          // "Combined" and its values
};

// The standard of a compressor's (kind 1) or turbine's (kind 2) report:
// API 617 or NEMA SM 23.
const ReportStandard& machine_report_standard(int kind);

// The report of compressor (kind 1) or turbine (kind 2) `index` for entry
// `entry` of the report's load-case list.
void compressor_report(int index, int kind, int entry);

// All compressors (API 617) or all turbines (NEMA SM 23) for every listed
// load case (printing).
void api617_report();
void nema_sm23_report();

// The positions of a font: N ("NodeMM"), C ("99999999 "), T ("Exhaust"),
// D ("9"), the right edges p1..p6 of the value columns and the message
// position Q.
struct CompressorColumns {
    int n = 0, c = 0, t = 0, d = 0, q = 0;
    int p[7] = {};   // p[1]..p[6]
};
CompressorColumns compressor_line_columns(Surface& s);

// Places the texts of a stored line of kind 1..12 at the columns; empty
// texts keep the cells of the columns before a heading or a value that
// starts further right, so that every line's cells stand in the columns of
// the node, the type and the six values.
void draw_compressor_line(int kind, const std::string& text, const CompressorColumns& c, const LinePlacer& place);
