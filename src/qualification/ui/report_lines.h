// The one line writer of the equipment and component reports. Every line
// goes to the destination the printing state chooses: the graphic page
// (report_pages.h), the text report or its CSV form (report.h), or, when
// neither is being printed, the list of lines a report window shows, each
// line stored with its kind so that the window can draw its fields at
// their columns. The list grows as needed.
//
// Beside the plain lines it holds the rows of the nozzle checks: a row
// compares a calculated load with its allowable, shows the ratio and a
// status, and remembers the largest ratio of its block; the fixed lines of
// the pump checks (nozzle check, offsets, conditions, the combined ratio of
// API 610 F.1.2.b and the nozzle stress of F.2).
#pragma once

#include "framework/ui/report.h"
#include "platform/surface.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

// Kinds of the stored lines of the pump report (the compressor report has
// kinds of its own, 1 to 12, in the same list).
enum PumpReportLineKind : int {
    LINE_TEXT = 0,       // plain text
    LINE_HEADING = 1,    // Calculated / Allowed / Ratio / Status
    LINE_ROW = 2,        // label "!" calculated allowed ratio status
    LINE_COMBINED = 3,   // label "!" value status
    LINE_STRESS = 4,     // label "!" status
};

struct ReportLine {
    int kind = LINE_TEXT;
    std::string text;
    bool operator==(const ReportLine&) const = default;
};

enum class ReportDestination { Pages, Text, Window };

// The standard a machine's report is to, from which its heading and its
// contents entries take their words: `name` as the heading gives it
// ("ANSI/HI 9.6.2-2011"), `group` the contents entry of the printed pages
// over the machines reported to it ("ANSI/HI 9.6.2 report").
struct ReportStandard {
    const char* name;
    const char* group;
};
ReportDestination report_destination();

// ---- The window's lines -----------------------------------------------------------

const std::vector<ReportLine>& report_window_lines();
// Empties the list (the first line of a report written to the window).
void report_clear_window_lines();
// Appends a line of a kind to the list (window destination only).
void report_add_window_line(int kind, std::string text);
// The fields of a stored line: the label up to "!" (when there is one) and
// the words after it (blanks separate them).
struct ReportLineFields {
    std::string label;
    std::vector<std::string> words;
};
ReportLineFields split_report_line(const std::string& text);

// Places the texts of a stored line at measured columns: `left`, `right`
// and `centre` put a text starting at, ending at or centred on a position
// (from the line's left edge). A window draws its lines through one
// (drawing_placer) and gives the same texts, in the order they are placed,
// as the line's cells when it is exported (PlacedTexts), so that the file
// holds what the window shows. An empty text draws nothing and keeps a cell
// free, so that a heading's cells stand over the values under it.
struct LinePlacer {
    std::function<void(int x, const std::string&)> left;
    std::function<void(int x, const std::string&)> right;
    std::function<void(int x, const std::string&)> centre;
};
// Draws on `dc` with the line's left edge at x, its text's top at y.
LinePlacer drawing_placer(Surface& dc, int x, int y);
struct PlacedTexts {
    std::vector<std::string> texts;
    LinePlacer placer();
};

// ---- Lines for every destination --------------------------------------------------------

// A plain line: at the left margin of a page, at column 4 of a text report
// (a cell in CSV), a kind 0 line in the window.
void report_text_line(const std::string& text);
// A title: a shaded bar on a page (then a line and a quarter line),
// centred between columns 4 and 88 in a text report (then a line and a
// rule), plain text in the window.
void report_title(const std::string& text);
// The end of a block: the next line (an empty line in the window).
void report_end_block();
// A small gap: half a line on a page, the next line in a text report,
// nothing in the window.
void report_gap();

// ---- Rows ---------------------------------------------------------------------------------

// Where the row fields stand on a page or in a window, measured in its font:
// calculated values end at `calculated`, allowed values at `allowed`,
// ratios at `ratio`, statuses start at `status`.
struct RowColumns {
    int digit = 8;       // width of "9"
    int calculated = 0;
    int allowed = 0;
    int ratio = 0;
    int status = 0;
    int width = 0;       // the status position plus the width of "Status  "
};
RowColumns measure_row_columns(Surface& s);

// The row state of a nozzle block and of a report.
struct RowState {
    double largest = 0.0;          // the largest |ratio| since the block started
    bool signed_ratios = false;    // ANSI/HI Eq.3 and Eq.4 blocks
    bool dashes_above_2 = false;   // ratios above 2 show "----" (vertical inline pumps)
    bool f12c = false;             // API 610 F.1.2.c: any ratio above 1 fails
    bool f12c_failed = false;
};
RowState& report_rows();
// Every report sets its own switches: all off, largest 0.
void reset_report_rows();

// The heading of a table of check rows ("Calculated", "Allowed", "Ratio",
// "Status"), as the table its rows go under: while the caller holds it,
// every page the rows reach begins with the heading again (report.h).
ReportTable report_table_header();
// A force or moment row: "FX" and the unit label, calculated and allowed
// values (internal units), their ratio and status. The ratio of a zero
// allowable is 0 for a zero load and otherwise shown as "*****", "Failed".
void report_force_row(const std::string& name, double calculated, double allowed);
void report_moment_row(const std::string& name, double calculated, double allowed);
// The status of a ratio under the current switches.
std::string ratio_status(double ratio);

// ---- Fixed lines of the pump checks ----------------------------------------------------

// A gap (an empty line in the window), then "*** Suction node is not
// defined ***", "*** %s node: %s is not defined ***", "... is not an anchor
// ***", "... does not have connected pipe ***" or "%s node: %s,   Location:
// %s,  Size: %s (inch)". True when the nozzle can be checked.
bool report_nozzle_check(int node, const std::string& name, int location, int anchor_row, double size);
void report_offsets(double dx, double dy, double dz);
void report_check_of_condition(const std::string& condition, const std::string& nozzle, int node);
void report_condition_passed(const std::string& condition, const std::string& nozzle, int node);
void report_condition_failed(const std::string& condition, const std::string& nozzle, int node);
// "(FR/1.5FRT4) + (MR/1.5MRT4) =" with the value; true when it is below 2.0
// ("OK"), false ("Failed") otherwise.
bool report_combined_ratio(double value);
// "S = ... ,  Allowed = ..." of F.2 with its status; true when S is below
// the allowed stress.
bool report_stress_row(double stress);
// The allowed F.2 stress (psi): 5950 when stresses are shown in psi, 41 MPa
// (5946.54 psi) otherwise.
double f2_allowed_stress();

// ---- Component qualification reports (flange, lug, nozzle) ----------------------------
//
// Their lines share the list and the destinations. Stored kinds: 0 plain
// text, 1 a heading row (no text), 2 a check row (label "!" calculated
// allowed ratio, and the status in the flange and nozzle reports), 3 a value
// row (label "!" value unit), 4 a stress row of WRC 537 (label "!" figure
// and the eight values).
enum QualificationLineKind : int {
    QLINE_TEXT = 0,
    QLINE_HEADING = 1,
    QLINE_CHECK = 2,
    QLINE_VALUE = 3,
    QLINE_STRESSES = 4,
};

enum class QualificationReport { Flange, Lug, Nozzle };

// The widths a qualification report's columns are measured from, in the
// font of the output: `label` the width of the report's label pattern with
// the stress unit, `number` of a number field, `digit` of "9"; a nozzle
// report's value columns end at `c` (c0 = label + number, each next one a
// digit and a number further).
struct QualificationColumns {
    int digit = 8;
    int label = 0;
    int number = 0;
    std::array<int, 9> c{};
};
QualificationColumns measure_qualification_columns(Surface& s, QualificationReport report);
// Moves the end of the label column (the right edge of the first value) to
// `label` when that is further right, and the value columns after it with it.
void widen_label_column(QualificationColumns& c, int label);
// Starts a report: the columns of a graphic page are measured in the
// printer font; the status column of check headers is the nozzle report's.
void begin_qualification_report(QualificationReport report);

// Lug and nozzle titles: a shaded bar (then the next line) on a page; a
// rule, the text centred between columns 4 and 88, the next line and a rule
// in a text report; a plain line in the window.
void report_title_line(const std::string& text);
// A value line: the label, the value right-aligned (column 70 of a text
// report) and the unit label (from column 75) unless it is "-".
void report_value_line(const std::string& label, const std::string& value, const std::string& unit);
// The title of a block of checks and the heading "Calculated Allowed Ratio"
// (with "Status" in the nozzle report) with the stress unit under the first
// two, as the table its rows go under (as report_table_header).
ReportTable report_check_header(const std::string& title);
// A lug check: |calculated / allowed| (0 for an allowed value below 1) in
// width 10 with 3 decimals, no status; true when the allowed value is given.
bool report_lug_stress_row(const std::string& label, double calculated, double allowed);
// The flange's stress table heading (held as the table of its rows) and its
// rows: status "OK" for a ratio of at most 1.0, else "----"; an allowed
// value not above 0 gives ratio 0 and "----". True when the allowed value
// is given.
ReportTable report_flange_table_header();
bool report_flange_stress_row(const std::string& name, double calculated, double allowed);
// The WRC 537 stress table heading (held as the table of its rows) and a
// row of the eight point stresses.
ReportTable report_wrc_stress_header();
void report_wrc_stress_row(const std::string& label, const std::string& figure, const std::array<double, 8>& s);
// The compliance row: ratio |calculated / allowed| (0 for an allowed value
// below 1), status "Fail" at 1.0 or more, else "Pass", and "----" when the
// allowed value is below 1. True when the allowed value is given.
bool report_compliance_row(const std::string& label, double calculated, double allowed);
// Written under a row whose allowed value was not given.
inline constexpr const char* ALLOWABLE_NOT_GIVEN = "*** Allowable not given: not checked ***";
