#include "qualification/ui/report_lines.h"

#include "framework/strings.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/units.h"
#include "model/nodes.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

struct ReportLinesState {
    std::vector<ReportLine> lines;
    RowState rows;
    RowColumns page;   // the row columns of the page being printed
    QualificationReport qualification = QualificationReport::Flange;
    QualificationColumns qualification_page;   // measured in the printer font
};
ReportLinesState& state() { return session_part<ReportLinesState>(); }

// Lines of rows that a table of checks keeps with its heading on a page.
constexpr int CHECK_ROWS_KEPT = 2;

// A ratio's magnitude that stands for "no allowable".
constexpr double NO_ALLOWABLE = 1.0e30;

std::string ratio_text(double ratio)
{
    return std::fabs(ratio) >= NO_ALLOWABLE ? std::string("*****") : format_real(ratio, 10, 3);
}

// The text columns of a row in the text report.
constexpr int TEXT_LABEL = 6, TEXT_CALCULATED = 25, TEXT_ALLOWED = 35, TEXT_RATIO = 47, TEXT_STATUS = 54;

void row(const std::string& name, int quantity, double calculated, double allowed)
{
    RowState& r = report_rows();
    double ratio = 0.0;
    if (allowed != 0.0)
        ratio = calculated / allowed;
    else if (calculated != 0.0)
        ratio = NO_ALLOWABLE;
    if (!r.signed_ratios)
        ratio = std::fabs(ratio);
    r.largest = std::max(r.largest, std::fabs(ratio));
    const std::string status = ratio_status(ratio);
    const std::string label = name + " " + unit_label(quantity);
    const auto value = [quantity](double v) {
        return quantity == FORCE ? format_force_integer(v) : format_moment_integer(v);
    };
    const std::string calc_text = value(calculated), allowed_text = value(allowed), rt = ratio_text(ratio);
    switch (report_destination()) {
    case ReportDestination::Pages: {
        const RowColumns& c = state().page;
        const int x = gdi_left_margin();
        gdi_print_text(label);
        gdi_print_text_right(x + c.calculated, trimmed(calc_text));
        gdi_print_text_right(x + c.allowed, trimmed(allowed_text));
        gdi_print_text_right(x + c.ratio, trimmed(rt));
        gdi_print_text_at(x + c.status, status);
        gdi_next_line();
        break;
    }
    case ReportDestination::Text:
        report_print_at(label, TEXT_LABEL);
        report_print_right(trimmed(calc_text), TEXT_CALCULATED);
        report_print_right(trimmed(allowed_text), TEXT_ALLOWED);
        report_print_right(trimmed(rt), TEXT_RATIO);
        report_print_at(status, TEXT_STATUS);
        report_next_line();
        break;
    case ReportDestination::Window:
        report_add_window_line(LINE_ROW, label + "!" + trimmed(calc_text) + " " + trimmed(allowed_text) + " " +
                                             trimmed(rt) + " " + status);
        break;
    }
}

// Where the check rows' numbers end on a page: calculated, allowed, ratio
// and the status (its start in the flange and lug reports, its end in the
// nozzle report).
struct CheckPositions {
    int calculated, allowed, ratio, status;
};

// The heading of a table of checks: on a page "Calculated", "Allowed" and
// "Ratio" end and "Status" starts at the places `page` gives (measured only
// when a page is printed), in a text report `text` stands at column
// `text_at`, and the window gets an empty line of `window_kind`.
void check_table_heading(const std::function<CheckPositions()>& page, const char* text, int text_at,
                         int window_kind)
{
    switch (report_destination()) {
    case ReportDestination::Pages: {
        const CheckPositions p = page();
        const int x = gdi_left_margin();
        gdi_quarter_line();
        gdi_print_text_right(x + p.calculated, "Calculated");
        gdi_print_text_right(x + p.allowed, "Allowed");
        gdi_print_text_right(x + p.ratio, "Ratio");
        gdi_print_text_at(x + p.status, "Status");
        gdi_next_line();
        gdi_quarter_line();
        break;
    }
    case ReportDestination::Text:
        report_next_line();
        report_print_at(text, text_at);
        report_next_line();
        report_next_line();
        break;
    case ReportDestination::Window: report_add_window_line(window_kind, ""); break;
    }
}

}  // namespace

LinePlacer drawing_placer(Surface& dc, int x, int y)
{
    const auto at = [&dc, x, y](TextAlign align) {
        return [&dc, x, y, align](int offset, const std::string& text) {
            if (!text.empty())
                dc.text(x + offset, y, text, align);
        };
    };
    return {at(TextAlign::Left), at(TextAlign::Right), at(TextAlign::Center)};
}

LinePlacer PlacedTexts::placer()
{
    const auto keep = [this](int, const std::string& text) { texts.push_back(text); };
    return {keep, keep, keep};
}

ReportDestination report_destination()
{
    const ReportState& s = report_state();
    if (s.printing_pages)
        return ReportDestination::Pages;
    if (s.text_report)
        return ReportDestination::Text;
    return ReportDestination::Window;
}

const std::vector<ReportLine>& report_window_lines() { return state().lines; }
void report_clear_window_lines() { state().lines.clear(); }
void report_add_window_line(int kind, std::string text) { state().lines.push_back({kind, std::move(text)}); }

ReportLineFields split_report_line(const std::string& text)
{
    ReportLineFields f;
    std::string rest = text;
    if (const std::size_t bang = text.find('!'); bang != std::string::npos) {
        f.label = text.substr(0, bang);
        rest = text.substr(bang + 1);
    }
    std::string word;
    for (char ch : rest + " ") {
        if (ch == ' ') {
            if (!word.empty())
                f.words.push_back(word);
            word.clear();
        } else {
            word += ch;
        }
    }
    return f;
}

void report_text_line(const std::string& text)
{
    switch (report_destination()) {
    case ReportDestination::Window: report_add_window_line(LINE_TEXT, text); break;
    case ReportDestination::Text: report_line(text); break;
    case ReportDestination::Pages: {
        // A text wider than the page goes on over as many lines as it needs,
        // broken after a blank, the following lines indented.
        Surface& measure = gdi_measure_surface();
        const int width = gdi_printable_rect().width();
        const int indent = 2 * std::max(1, measure.text_width("9"));
        const std::vector<std::string> lines = wrapped_lines(
            text, width, width - indent, [&measure](std::string_view t) { return measure.text_width(std::string(t)); });
        for (std::size_t i = 0; i < lines.size(); ++i) {
            gdi_print_text_at(gdi_left_margin() + (i == 0 ? 0 : indent), lines[i]);
            gdi_next_line();
        }
        break;
    }
    }
}

void report_title(const std::string& text)
{
    switch (report_destination()) {
    case ReportDestination::Pages:
        gdi_print_title_bar(text);
        gdi_next_line();
        gdi_quarter_line();
        break;
    case ReportDestination::Text:
        report_print_centred_page(text);
        report_next_line();
        report_rule();
        break;
    case ReportDestination::Window:
        report_add_window_line(LINE_TEXT, text);
        break;
    }
}

void report_end_block()
{
    switch (report_destination()) {
    case ReportDestination::Pages: gdi_next_line(); break;
    case ReportDestination::Text: report_next_line(); break;
    case ReportDestination::Window: report_add_window_line(LINE_TEXT, ""); break;
    }
}

void report_gap()
{
    switch (report_destination()) {
    case ReportDestination::Pages: gdi_half_line(); break;
    case ReportDestination::Text: report_next_line(); break;
    case ReportDestination::Window: break;
    }
}

RowColumns measure_row_columns(Surface& s)
{
    RowColumns c;
    c.digit = std::max(1, s.text_width("9"));
    const int l = s.text_width("MMM99999999") + s.text_width(unit_label(MOMENT));
    const int w = s.text_width("9999999999");
    c.calculated = l;
    c.allowed = l + w;
    c.ratio = l + w + c.digit + w;
    c.status = c.ratio + 5 * c.digit;
    c.width = c.status + s.text_width("Status  ");
    return c;
}

RowState& report_rows() { return state().rows; }
void reset_report_rows() { state().rows = RowState{}; }

std::string ratio_status(double ratio)
{
    RowState& r = report_rows();
    const double s = std::fabs(ratio);
    if (r.f12c && s > 1.0) {
        r.f12c_failed = true;
        return "Failed";
    }
    if (s <= 1.0)
        return "OK";
    if (s <= 2.0)
        return "----";
    return r.dashes_above_2 ? "----" : "Failed";
}

ReportTable report_table_header()
{
    return ReportTable(
        [] {
            check_table_heading(
                [] {
                    // The columns of the page's font, measured at each header.
                    state().page = measure_row_columns(gdi_measure_surface());
                    const RowColumns& c = state().page;
                    return CheckPositions{c.calculated + 2 * c.digit, c.allowed + c.digit, c.ratio, c.status};
                },
                "Calculated   Allowed      Ratio      Status", 17, LINE_HEADING);
        },
        CHECK_ROWS_KEPT);
}

void report_force_row(const std::string& name, double calculated, double allowed)
{
    row(name, FORCE, calculated, allowed);
}

void report_moment_row(const std::string& name, double calculated, double allowed)
{
    row(name, MOMENT, calculated, allowed);
}

bool report_nozzle_check(int node, const std::string& name, int location, int anchor_row, double size)
{
    if (report_destination() == ReportDestination::Window)
        report_add_window_line(LINE_TEXT, "");
    else
        report_gap();
    std::string text;
    bool ok = false;
    if (node == 0)
        text = c_format("*** %s node is not defined ***", name.c_str());
    else if (node_index(node) == 0)
        text = c_format("*** %s node: %s is not defined ***", name.c_str(), node_text(node).c_str());
    else if (anchor_row == 0)
        text = c_format("*** %s node: %s is not an anchor ***", name.c_str(), node_text(node).c_str());
    else if (size == 0.0)
        text = c_format("*** %s node: %s does not have connected pipe ***", name.c_str(), node_text(node).c_str());
    else {
        static const char* const LOCATIONS[3] = {"(Top)", "(Side)", "(End)"};
        text = c_format("%s node: %s,   Location: %s,  Size: %s (inch)", name.c_str(), node_text(node).c_str(),
                        LOCATIONS[std::clamp(location, 0, 2)], trimmed(format_real(size, 10, 3)).c_str());
        ok = true;
    }
    report_text_line(text);
    return ok;
}

void report_offsets(double dx, double dy, double dz)
{
    report_text_line("Offsets from center: dx = " + format_length(dx) + ", dy = " + format_length(dy) +
                     ", dz = " + format_length(dz) + "  " + unit_label(LENGTH));
}

void report_check_of_condition(const std::string& condition, const std::string& nozzle, int node)
{
    report_text_line(c_format("Check of condition %s for %s node %s:", condition.c_str(), nozzle.c_str(),
                              node_text(node).c_str()));
}

void report_condition_passed(const std::string& condition, const std::string& nozzle, int node)
{
    report_text_line(
        c_format("Condition %s for %s node %s passed", condition.c_str(), nozzle.c_str(), node_text(node).c_str()));
}

void report_condition_failed(const std::string& condition, const std::string& nozzle, int node)
{
    report_text_line(c_format("Condition %s for %s node %s failed ***", condition.c_str(), nozzle.c_str(),
                              node_text(node).c_str()));
}

bool report_combined_ratio(double value)
{
    const std::string label = "(FR/1.5FRT4) + (MR/1.5MRT4) =";
    const std::string v = c_format("%.3f", value);
    const bool ok = value < 2.0;
    const std::string status = ok ? "OK" : "Failed";
    switch (report_destination()) {
    case ReportDestination::Pages: {
        const RowColumns& c = state().page;
        const int x = gdi_left_margin();
        gdi_print_text(label);
        gdi_print_text_right(x + c.ratio, v);
        gdi_print_text_at(x + c.status, status);
        gdi_next_line();
        break;
    }
    case ReportDestination::Text:
        report_print_at(label, 4);
        report_print_right(v, TEXT_RATIO);
        report_print_at(status, TEXT_STATUS);
        report_next_line();
        break;
    case ReportDestination::Window:
        report_add_window_line(LINE_COMBINED, label + "!" + v + " " + status);
        break;
    }
    return ok;
}

double f2_allowed_stress() { return current_unit(STRESS) == 0 ? 5950.0 : 5946.54; }

bool report_stress_row(double stress)
{
    const double allowed = f2_allowed_stress();
    const std::string label = "S = " + format_stress(stress) + " " + unit_label(STRESS) +
                              ",  Allowed = " + format_stress(allowed) + " " + unit_label(STRESS);
    const bool ok = stress < allowed;
    const std::string status = ok ? "OK" : "Failed";
    switch (report_destination()) {
    case ReportDestination::Pages: {
        const RowColumns& c = state().page;
        gdi_print_text(label);
        gdi_print_text_at(gdi_left_margin() + c.status, status);
        gdi_next_line();
        break;
    }
    case ReportDestination::Text:
        report_print_at(label, 4);
        report_print_at(status, TEXT_STATUS);
        report_next_line();
        break;
    case ReportDestination::Window:
        report_add_window_line(LINE_STRESS, label + "!" + status);
        break;
    }
    return ok;
}

// ---- Component qualification reports ----------------------------------------------------

namespace {

std::string stress_text(double v) { return trimmed(format_stress(v)); }
std::string ratio_of(double ratio) { return trimmed(format_real(ratio, 10, 3)); }

const QualificationColumns& qpage() { return state().qualification_page; }
bool nozzle_report() { return state().qualification == QualificationReport::Nozzle; }

void check_header(const std::string& title);
void wrc_stress_header();

CheckPositions check_positions()
{
    const QualificationColumns& c = qpage();
    if (nozzle_report())
        return {c.label + 2 * c.digit, c.c[0] + c.digit, c.c[1], c.c[2]};
    return {c.label + 2 * c.digit, c.label + c.number + c.digit, c.label + 2 * c.number + c.digit,
            c.label + 2 * c.number + 6 * c.digit};
}

// A row of fields on a page or in a text report: each text at its place
// (`right`: ending there), moved right to keep a gap after the text before
// it, so that a long label or a wide number never runs into its neighbour.
// On a page the places are relative to the left margin and the gap is a
// digit's width; in a text report they are columns and the gap one blank.
struct RowField {
    std::string text;
    int column;   // text report
    int x;        // page
    bool right;
};
void print_row(const std::vector<RowField>& fields)
{
    const bool pages = report_destination() == ReportDestination::Pages;
    Surface& measure = gdi_measure_surface();
    const int margin = pages ? gdi_left_margin() : 0;
    const int gap = pages ? qpage().digit : 2;
    bool first = true;
    int end = 0;
    for (const RowField& f : fields) {
        if (f.text.empty())
            continue;
        const int width = pages ? measure.text_width(f.text) : utf8_length(f.text);
        const int place = pages ? f.x : f.column;
        int start = f.right ? place - width + (pages ? 0 : 1) : place;
        if (!first && start < end + gap)
            start = end + gap;
        if (pages) {
            gdi_print_text_at(margin + start, f.text);
            end = start + width;
        } else {
            start = std::max(1, start);
            report_print_at(f.text, start);
            end = start + width - 1;
        }
        first = false;
    }
    pages ? gdi_next_line() : report_next_line();
}

// The stress table of the nozzle report is wider than a portrait page: there
// each of its rows takes two lines, the label and figure, then the eight
// points spread over the page's width.
bool wrc_two_lines()
{
    const QualificationColumns& c = qpage();
    return report_destination() == ReportDestination::Pages && c.c[7] + c.digit > gdi_printable_rect().width();
}
int wrc_point_end(std::size_t k)
{
    const QualificationColumns& c = qpage();
    if (!wrc_two_lines())
        return c.c[k] + c.digit;
    return static_cast<int>(k + 1) * (gdi_printable_rect().width() - c.digit) / 8;
}

void not_given_line(double allowed, double limit)
{
    if (allowed < limit)
        report_text_line(ALLOWABLE_NOT_GIVEN);
}

}  // namespace

QualificationColumns measure_qualification_columns(Surface& s, QualificationReport report)
{
    QualificationColumns c;
    c.digit = std::max(1, s.text_width("9"));
    switch (report) {
    case QualificationReport::Flange:
        c.label = s.text_width(label_with_unit("MMMMMMMMMM99999999", STRESS));
        c.number = s.text_width("9999999999");
        break;
    case QualificationReport::Lug:
        c.label = s.text_width(label_with_unit("MMMMMMMMMMMMMMMMMMMMMMMMM999999999999999", STRESS));
        c.number = s.text_width("9999999999");
        break;
    case QualificationReport::Nozzle:
        c.label = s.text_width(label_with_unit("MMMMMMMMMMMMMMMM999999999", STRESS));
        c.number = s.text_width("99999999");
        break;
    }
    widen_label_column(c, c.label);
    return c;
}

void widen_label_column(QualificationColumns& c, int label)
{
    c.label = std::max(c.label, label);
    c.c[0] = c.label + c.number;
    for (std::size_t k = 1; k < c.c.size(); ++k)
        c.c[k] = c.c[k - 1] + c.digit + c.number;
}

void begin_qualification_report(QualificationReport report)
{
    state().qualification = report;
    if (report_destination() != ReportDestination::Pages)
        return;
    state().qualification_page = measure_qualification_columns(gdi_measure_surface(), report);
}

void report_title_line(const std::string& text)
{
    switch (report_destination()) {
    case ReportDestination::Pages:
        gdi_print_title_bar(text);
        gdi_next_line();
        break;
    case ReportDestination::Text:
        report_rule();
        report_print_centred_page(text);
        report_next_line();
        report_rule();
        break;
    case ReportDestination::Window: report_add_window_line(QLINE_TEXT, text); break;
    }
}

void report_value_line(const std::string& label, const std::string& value, const std::string& unit)
{
    const bool with_unit = unit != "-";
    switch (report_destination()) {
    case ReportDestination::Pages:
    case ReportDestination::Text: {
        const QualificationColumns& c = qpage();
        print_row({{label, REPORT_LEFT_COLUMN, 0, false},
                   {value, 70, c.label + c.digit, true},
                   {with_unit ? unit : "", 75, c.label + 2 * c.digit, false}});
        break;
    }
    case ReportDestination::Window: report_add_window_line(QLINE_VALUE, label + "!" + value + " " + unit); break;
    }
}

ReportTable report_check_header(const std::string& title)
{
    return ReportTable([title] { check_header(title); }, CHECK_ROWS_KEPT);
}

namespace {

// The title of a block of checks and its column heading.
void check_header(const std::string& title)
{
    const bool status = nozzle_report();
    const std::string unit = unit_label(STRESS);
    switch (report_destination()) {
    case ReportDestination::Pages: {
        const CheckPositions p = check_positions();
        const int x = gdi_left_margin();
        gdi_print_title_bar(title);
        gdi_next_line();
        gdi_print_text_right(x + p.calculated, "Calculated");
        gdi_print_text_right(x + p.allowed, "Allowed");
        gdi_print_text_right(x + p.ratio, "Ratio");
        if (status)
            gdi_print_text_right(x + p.status, "Status");
        gdi_next_line();
        gdi_print_text_right(x + p.calculated, unit);
        gdi_print_text_right(x + p.allowed, unit);
        gdi_next_line();
        break;
    }
    case ReportDestination::Text:
        report_rule();
        report_print_centred_page(title);
        report_next_line();
        report_rule();
        report_print_at(status ? "Calculated   Allowed   Ratio   Status" : "Calculated   Allowed   Ratio", 60);
        report_next_line();
        report_print_right(unit, 69);
        report_print_right(unit, 79);
        report_next_line();
        break;
    case ReportDestination::Window:
        report_add_window_line(QLINE_TEXT, title);
        report_add_window_line(QLINE_HEADING, "");
        break;
    }
}

}  // namespace

bool report_lug_stress_row(const std::string& label, double calculated, double allowed)
{
    const double ratio = allowed >= 1.0 ? std::fabs(calculated / allowed) : 0.0;
    const std::string name = label_with_unit(label, STRESS);
    const std::string calc = stress_text(calculated), allow = stress_text(allowed), rt = ratio_of(ratio);
    switch (report_destination()) {
    case ReportDestination::Pages:
    case ReportDestination::Text: {
        const CheckPositions p = check_positions();
        print_row({{name, 6, 0, false}, {calc, 69, p.calculated, true}, {allow, 79, p.allowed, true},
                   {rt, 87, p.ratio, true}});
        break;
    }
    case ReportDestination::Window:
        report_add_window_line(QLINE_CHECK, name + "!" + calc + " " + allow + " " + rt);
        break;
    }
    not_given_line(allowed, 1.0);
    return allowed >= 1.0;
}

ReportTable report_flange_table_header()
{
    return ReportTable([] { check_table_heading(check_positions, "Calculated   Allowed   Ratio   Status", 28, QLINE_HEADING); },
                       CHECK_ROWS_KEPT);
}

bool report_flange_stress_row(const std::string& name, double calculated, double allowed)
{
    const bool given = allowed > 0.0;
    const double ratio = given ? std::fabs(calculated / allowed) : 0.0;
    const std::string status = given && ratio <= 1.0 ? "OK" : "----";
    const std::string calc = stress_text(calculated), allow = stress_text(allowed), rt = ratio_of(ratio);
    switch (report_destination()) {
    case ReportDestination::Pages:
    case ReportDestination::Text: {
        const QualificationColumns& c = qpage();
        const CheckPositions p = check_positions();
        print_row({{name, 1, 0, false},
                   {calc, 36, c.label, true},
                   {allow, 47, c.label + c.number, true},
                   {rt, 56, p.ratio, true},
                   {status, 63, p.status, false}});
        break;
    }
    case ReportDestination::Window:
        report_add_window_line(QLINE_CHECK, name + "!" + calc + " " + allow + " " + rt + " " + status);
        break;
    }
    not_given_line(given ? 1.0 : 0.0, 1.0);
    return given;
}

ReportTable report_wrc_stress_header()
{
    return ReportTable(wrc_stress_header, CHECK_ROWS_KEPT);
}

namespace {

// The heading of the WRC 537 stress table.
void wrc_stress_header()
{
    static const char* const POINTS[8] = {"Au", "Al", "Bu", "Bl", "Cu", "Cl", "Du", "Dl"};
    switch (report_destination()) {
    case ReportDestination::Pages: {
        const QualificationColumns& c = qpage();
        const int x = gdi_left_margin();
        const bool two = wrc_two_lines();
        if (two)
            gdi_ensure_lines(2);
        gdi_print_text("Stresses");
        gdi_print_text_right(x + c.label + c.digit, "Fig. No");
        if (two)
            gdi_next_line();
        for (std::size_t k = 0; k < 8; ++k)
            gdi_print_text_right(x + wrc_point_end(k), POINTS[k]);
        gdi_next_line();
        break;
    }
    case ReportDestination::Text:
        report_rule();
        report_print_at("Stresses              Fig_No       Au       Al      Bu      Bl      Cu      Cl      Du      Dl",
                        REPORT_LEFT_COLUMN);
        report_next_line();
        report_rule();
        break;
    case ReportDestination::Window:
        report_add_window_line(QLINE_STRESSES, "Stresses!Fig.No Au Al Bu Bl Cu Cl Du Dl");
        break;
    }
}

}  // namespace

void report_wrc_stress_row(const std::string& label, const std::string& figure, const std::array<double, 8>& s)
{
    static const int TEXT_ENDS[8] = {40, 49, 57, 65, 73, 81, 89, 97};
    switch (report_destination()) {
    case ReportDestination::Pages:
    case ReportDestination::Text: {
        const QualificationColumns& c = qpage();
        std::vector<RowField> fields = {{label, REPORT_LEFT_COLUMN, 0, false}, {figure, 31, c.label + c.digit, true}};
        std::vector<RowField> points;
        for (std::size_t k = 0; k < 8; ++k)
            points.push_back({stress_text(s[k]), TEXT_ENDS[k], wrc_point_end(k), true});
        if (wrc_two_lines()) {
            gdi_ensure_lines(2);
            print_row(fields);
            print_row(points);
        } else {
            fields.insert(fields.end(), points.begin(), points.end());
            print_row(fields);
        }
        break;
    }
    case ReportDestination::Window: {
        std::string text = label + "!" + figure;
        for (double v : s)
            text += " " + stress_text(v);
        report_add_window_line(QLINE_STRESSES, text);
        break;
    }
    }
}

bool report_compliance_row(const std::string& label, double calculated, double allowed)
{
    const bool given = allowed >= 1.0;
    const double ratio = given ? std::fabs(calculated / allowed) : 0.0;
    const std::string status = !given ? "----" : ratio >= 1.0 ? "Fail" : "Pass";
    const std::string name = label_with_unit(label, STRESS);
    const std::string calc = stress_text(calculated), allow = stress_text(allowed), rt = ratio_of(ratio);
    switch (report_destination()) {
    case ReportDestination::Pages:
    case ReportDestination::Text: {
        const CheckPositions p = check_positions();
        print_row({{name, 6, 0, false}, {calc, 69, p.calculated, true}, {allow, 79, p.allowed, true},
                   {rt, 87, p.ratio, true}, {status, 98, p.status, true}});
        break;
    }
    case ReportDestination::Window:
        report_add_window_line(QLINE_CHECK, name + "!" + calc + " " + allow + " " + rt + " " + status);
        break;
    }
    not_given_line(allowed, 1.0);
    return given;
}
