#include "qualification/ui/compressor_report.h"

#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/units.h"
#include "model/load_cases.h"
#include "model/nodes.h"
#include "qualification/rot_equip.h"
#include "qualification/ui/report_lines.h"

#include <cmath>
#include <vector>

namespace {

// ---- The fields of a stored line -------------------------------------------------------

// Words separated by blanks; a field that holds blanks ends at "!".
class LineReader {
public:
    explicit LineReader(const std::string& text) : text_(text) {}
    std::string word()
    {
        skip_blanks();
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] != ' ' && text_[at_] != '!')
            ++at_;
        return text_.substr(start, at_ - start);
    }
    std::string field()
    {
        skip_blanks();
        const std::size_t start = at_;
        const std::size_t bang = text_.find('!', at_);
        at_ = bang == std::string::npos ? text_.size() : bang + 1;
        return text_.substr(start, (bang == std::string::npos ? text_.size() : bang) - start);
    }
    std::vector<std::string> rest()
    {
        std::vector<std::string> words;
        for (std::string w = word(); !w.empty(); w = word())
            words.push_back(w);
        return words;
    }

private:
    void skip_blanks()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '!'))
            ++at_;
    }
    const std::string& text_;
    std::size_t at_ = 0;
};

// ---- Emitting a line ------------------------------------------------------------------------

struct PageState {
    CompressorColumns columns;
};
PageState& page() { return session_part<PageState>(); }

LinePlacer page_placer()
{
    const int x0 = gdi_left_margin();
    LinePlacer p;
    p.left = [x0](int x, const std::string& t) {
        if (!t.empty())
            gdi_print_text_at(x0 + x, t);
    };
    p.right = [x0](int x, const std::string& t) {
        if (!t.empty())
            gdi_print_text_right(x0 + x, t);
    };
    p.centre = [x0](int x, const std::string& t) {
        if (!t.empty())
            gdi_print_text_at(x0 + x - gdi_measure_surface().text_width(t) / 2, t);
    };
    return p;
}

constexpr int TEXT_VALUE_END[6] = {26, 35, 44, 55, 64, 73};
constexpr int TEXT_HEADING_AT[6] = {24, 33, 42, 53, 62, 71};

void text_values(const std::vector<std::string>& values, const int* ends, std::size_t count)
{
    for (std::size_t i = 0; i < values.size() && i < count; ++i)
        report_print_right(values[i], ends[i]);
}

void text_form(int kind, const std::string& text)
{
    LineReader r(text);
    switch (kind) {
    case CLINE_FORCES_MOMENTS: {
        const std::string forces = r.field(), moments = r.field();
        report_print_centred(forces, 20, 47);
        report_print_centred(moments, 49, 76);
        report_next_line();
        break;
    }
    case CLINE_LOADS_HEADING: {
        report_print_at(r.word(), 4);
        report_print_at(r.word(), 11);
        const std::vector<std::string> w = r.rest();
        for (std::size_t i = 0; i < w.size() && i < 6; ++i)
            report_print_at(w[i], TEXT_HEADING_AT[i]);
        report_next_line();
        report_next_line();
        break;
    }
    case CLINE_VALUES: {
        report_print_at(r.word(), 4);
        report_print_at(r.word(), 11);
        text_values(r.rest(), TEXT_VALUE_END, 6);
        report_next_line();
        break;
    }
    case CLINE_MESSAGE: {
        report_print_at(r.word(), 4);
        report_print_at(r.word(), 11);
        report_print_at(r.field(), 20);
        report_next_line();
        break;
    }
    case CLINE_SIZE_MESSAGE: {
        report_print_at(r.word(), 4);
        report_print_at(r.word(), 11);
        report_print_right(r.word(), 26);
        report_print_at(r.field(), 29);
        report_next_line();
        break;
    }
    case CLINE_INDIVIDUAL_1:
        report_next_line();
        report_print_at("Size     --- Resultant ---            Allow-", 22);
        report_next_line();
        break;
    case CLINE_INDIVIDUAL_2:
        report_print_at("Node    Type     (inch)    F(lb)   M(ft-lb)    3F + M    able    Ratio", 4);
        report_next_line();
        report_next_line();
        break;
    case CLINE_COMPONENTS: {
        const std::vector<std::string> w = r.rest();
        for (std::size_t i = 0; i < w.size() && i < 6; ++i)
            report_print_at(w[i], TEXT_HEADING_AT[i]);
        report_next_line();
        report_next_line();
        break;
    }
    case CLINE_LABELLED:
        report_print_at(r.word(), 7);
        text_values(r.rest(), TEXT_VALUE_END, 6);
        report_next_line();
        break;
    case CLINE_COMBINED_1:
        report_next_line();
        report_print_at("--- Resultant ---            Allow", 31);
        report_next_line();
        break;
    case CLINE_COMBINED_2:
        report_print_at("F(lb)   M(ft-lb)    2F + M    able    Ratio", 31);
        report_next_line();
        report_next_line();
        break;
    case CLINE_COMBINED: {
        report_print_at(r.word(), 18);
        text_values(r.rest(), TEXT_VALUE_END + 1, 5);
        report_next_line();
        break;
    }
    default:
        report_line(text);
        break;
    }
}

void page_form(int kind, const std::string& text)
{
    if (kind == CLINE_INDIVIDUAL_1 || kind == CLINE_COMBINED_1)
        gdi_half_line();
    draw_compressor_line(kind, text, page().columns, page_placer());
    gdi_next_line();
    if (kind == CLINE_LOADS_HEADING || kind == CLINE_INDIVIDUAL_2 || kind == CLINE_COMPONENTS ||
        kind == CLINE_COMBINED_2)
        gdi_quarter_line();
}

void emit(int kind, const std::string& text)
{
    switch (report_destination()) {
    case ReportDestination::Window:
        if (kind == CLINE_INDIVIDUAL_1 || kind == CLINE_COMBINED_1)
            report_add_window_line(CLINE_TEXT, "");
        report_add_window_line(kind, text);
        break;
    case ReportDestination::Pages: page_form(kind, text); break;
    case ReportDestination::Text: text_form(kind, text); break;
    }
}

// ---- The report -----------------------------------------------------------------------------

std::string forces_moments_text()
{
    return "----- Forces " + unit_label(FORCE) + " -----!----- Moments " + unit_label(MOMENT) + " -----!";
}
std::string f0(double v) { return trimmed(format_real(v, 10, 0)); }
// Component i (0..5) of loads in the integer force and moment formats.
std::string integer(int i, double v) { return trimmed(i < 3 ? format_force_integer(v) : format_moment_integer(v)); }
std::string f3(double v, int width) { return trimmed(format_real(v, width, 3)); }

// Calls `line` for each connection of the machine that has a node, with its
// evaluation and the node and type that start its report lines.
template <typename Line>
void each_connection(const CompressorRecord& c, const CompressorEvaluation& e, Line line)
{
    for (int n = INLET; n < COMPRESSOR_NOZZLES; ++n) {
        const int node = compressor_nozzle_node(c, n);
        if (node != 0)
            line(e.nozzle[static_cast<std::size_t>(n)], node_text(node) + " " + compressor_nozzle_name(n));
    }
}

void machine_report(const CompressorRecord& c, const CompressorEvaluation& e, const RotEquipEntry* listed, int kind,
                    int entry)
{
    const int slot = entry - 1;
    report_title(std::string(machine_report_standard(kind).name) +
                 (kind == MACHINE_COMPRESSOR ? " report for compressor : " : " report for turbine : ") + c.name);
    report_text_line("Load case: " + load_case_names(rot_equip_report().case_code(entry)));
    // The components as entered: a short axis keeps its digits.
    report_text_line("Shaft axis: Xcomp = " + format_real_exact(c.shaft_axis[0], 6, 3) +
                     ",  Ycomp = " + format_real_exact(c.shaft_axis[1], 6, 3) +
                     ",  Zcomp = " + format_real_exact(c.shaft_axis[2], 6, 3));
    switch (report_destination()) {
    case ReportDestination::Pages: gdi_half_line(); break;
    case ReportDestination::Text: report_next_line(); break;
    case ReportDestination::Window: report_add_window_line(CLINE_TEXT, ""); break;
    }
    if (listed && !listed->fault.empty()) {
        report_text_line("*** " + listed->fault + " ***");
        return;
    }

    // The loads of each nozzle in shaft axes.
    emit(CLINE_FORCES_MOMENTS, forces_moments_text());
    emit(CLINE_LOADS_HEADING, "Node Type fx fy fz mx my mz");
    each_connection(c, e, [&](const CompressorNozzleEvaluation& z, const std::string& name) {
        if (z.anchor_row == 0) {
            emit(CLINE_MESSAGE, name + " *** not an anchor ***!");
            return;
        }
        const MachineLoads& l = z.loads[static_cast<std::size_t>(slot)];
        std::string values;
        for (int i = 0; i < 6; ++i)
            values += " " + integer(i, l[static_cast<std::size_t>(i)]);
        emit(CLINE_VALUES, name + values);
    });

    // Each connection: 3F + M against 500 De (lb, ft-lb).
    emit(CLINE_INDIVIDUAL_1, "Size --- Resultant ---!Allow");
    emit(CLINE_INDIVIDUAL_2, "Node Type (inch) F(lb) M(ft-lb) 3F + M !able Ratio");
    const double factor = machine_limit_factor(kind);
    each_connection(c, e, [&](const CompressorNozzleEvaluation& z, const std::string& name) {
        const std::string head = name + " ";
        if (z.size == 0.0) {
            emit(CLINE_MESSAGE, head + "*** No connected pipe ***!");
            return;
        }
        if (z.anchor_row == 0) {
            emit(CLINE_SIZE_MESSAGE, head + f3(z.size, 10) + " *** not an anchor ***!");
            return;
        }
        const MachineLoads& l = z.loads[static_cast<std::size_t>(slot)];
        const double f = std::sqrt(l[0] * l[0] + l[1] * l[1] + l[2] * l[2]);
        const double m = std::sqrt(l[3] * l[3] + l[4] * l[4] + l[5] * l[5]) / 12.0;
        const double v = 3.0 * f + m;
        const double a = 500.0 * equivalent_diameter(z.size) * factor;
        emit(CLINE_VALUES, head + f3(z.size, 10) + " " + f0(f) + " " + f0(m) + " " + f0(v) + " " + f0(a) + " " +
                               f3(v / a, 10));
    });
    report_end_block();

    // The combined resultants at the reference connection.
    if (kind == MACHINE_TURBINE && c.exhaust == 0) {
        report_text_line("*** Combined resultants at Exhaust node are not available ***");
        return;
    }
    const int reference = kind == MACHINE_TURBINE ? c.exhaust : e.reference_node;
    report_text_line(kind == MACHINE_TURBINE ? "Combined resultants at Exhaust node " + node_text(reference)
                                             : "Combined resultants at largest connection " + node_text(reference));
    switch (report_destination()) {
    case ReportDestination::Pages: gdi_quarter_line(); break;
    case ReportDestination::Text: report_next_line(); break;
    case ReportDestination::Window: break;
    }
    emit(CLINE_FORCES_MOMENTS, forces_moments_text());
    emit(CLINE_COMPONENTS, "fx fy fz mx my mz");
    const MachineLoads& k = e.combined[static_cast<std::size_t>(slot)];
    auto six = [](const std::string& label, const std::function<std::string(int)>& value) {
        std::string text = label;
        for (int i = 0; i < 6; ++i)
            text += " " + value(i);
        return text;
    };
    emit(CLINE_LABELLED, six("Calculated", [&](int i) { return integer(i, k[static_cast<std::size_t>(i)]); }));
    emit(CLINE_LABELLED, six("Allowable", [&](int i) { return integer(i, e.allowable[static_cast<std::size_t>(i)]); }));
    bool limits = true;
    for (int i = 0; i < 6; ++i)
        limits = limits && e.allowable[static_cast<std::size_t>(i)] > 0.0;
    if (limits)
        emit(CLINE_LABELLED, six("Ratio", [&](int i) {
                 return f3(std::fabs(k[static_cast<std::size_t>(i)]) / e.allowable[static_cast<std::size_t>(i)], 9);
             }));
    emit(CLINE_COMBINED_1, "--- Resultant ---!Allow");
    emit(CLINE_COMBINED_2, "F(lb) M(ft-lb) 2F + M !able Ratio");
    const double fc = std::sqrt(k[0] * k[0] + k[1] * k[1] + k[2] * k[2]);
    const double mc = std::sqrt(k[3] * k[3] + k[4] * k[4] + k[5] * k[5]) / 12.0;
    const double v = 2.0 * fc + mc;
    const double limit = e.allowable[LIMIT_2F_M];
    std::string combined = "Combined " + f0(fc) + " " + f0(mc) + " " + f0(v);
    if (limit > 0.0)
        combined += " " + trimmed(format_real(limit, 9, 0)) + " " + f3(v / limit, 9);
    else if (report_destination() == ReportDestination::Window)
        combined += " ----- -----";
    emit(CLINE_COMBINED, combined);
}

void print_all(int kind)
{
    const RotEquipReport& r = rot_equip_report();
    const OneBased<CompressorRecord>& list = kind == MACHINE_COMPRESSOR ? compressors() : turbines();
    const int cases = std::min(r.case_count(), ROT_LOAD_CASES);
    const bool pages = report_destination() == ReportDestination::Pages;
    if (pages) {
        if (gdi_lines_left() < 2)
            gdi_new_page();
        add_contents_entry(machine_report_standard(kind).group, 0);
    }
    for (int i = 1; i <= list.size(); ++i)
        for (int j = 1; j <= cases; ++j) {
            const std::string case_name = load_case_names(r.case_code(j));
            if (report_destination() == ReportDestination::Text) {
                if (report_current_line() != REPORT_FIRST_LINE)
                    report_page_break();
                report_contents_line(c_format("%s for %s, %s", machine_report_standard(kind).group,
                                              list[i].name.c_str(), case_name.c_str()));
            } else if (pages) {
                if (gdi_lines_left() < 2)
                    gdi_new_page();
                if (j == 1)
                    add_contents_entry((kind == MACHINE_COMPRESSOR ? "Compressor : " : "Turbine : ") + list[i].name, 1);
                add_contents_entry("Load case: " + case_name, 2);
            }
            compressor_report(i, kind, j);
        }
}

}  // namespace

CompressorColumns compressor_line_columns(Surface& s)
{
    CompressorColumns c;
    c.n = s.text_width("NodeMM");
    c.c = s.text_width("99999999 ");
    c.t = s.text_width("Exhaust");
    c.d = std::max(1, s.text_width("9"));
    c.p[1] = c.t + c.n + c.c;
    for (int k = 2; k <= 6; ++k)
        c.p[k] = c.p[k - 1] + c.c;
    c.q = s.text_width("Exhaust   ") + c.n;
    return c;
}

void draw_compressor_line(int kind, const std::string& text, const CompressorColumns& c, const LinePlacer& place)
{
    LineReader r(text);
    const int* p = c.p;
    // Free cells in the node and type columns and in value column k.
    const auto node_and_type = [&] {
        place.left(0, "");
        place.left(c.n, "");
    };
    const auto free_value = [&](int k) { place.right(p[k], ""); };
    switch (kind) {
    case CLINE_FORCES_MOMENTS:
        node_and_type();
        free_value(1);
        place.centre(p[2] - 2 * c.d, r.field());
        free_value(3);
        free_value(4);
        place.centre(p[5] - 2 * c.d, r.field());
        break;
    case CLINE_LOADS_HEADING: {
        place.left(0, r.word());
        place.left(c.n, r.word());
        const std::vector<std::string> w = r.rest();
        for (std::size_t i = 0; i < w.size() && i < 6; ++i)
            place.right(p[i + 1] - c.d, w[i]);
        break;
    }
    case CLINE_VALUES: {
        place.left(0, r.word());
        place.left(c.n, r.word());
        const std::vector<std::string> w = r.rest();
        for (std::size_t i = 0; i < w.size() && i < 6; ++i)
            place.right(p[i + 1], w[i]);
        break;
    }
    case CLINE_MESSAGE:
        place.left(0, r.word());
        place.left(c.n, r.word());
        place.left(c.q, r.field());
        break;
    case CLINE_SIZE_MESSAGE:
        place.left(0, r.word());
        place.left(c.n, r.word());
        place.right(p[1], r.word());
        place.left(p[1] + c.d, r.field());
        break;
    case CLINE_INDIVIDUAL_1:
        node_and_type();
        place.centre(p[1] - 2 * c.d, r.word());
        place.centre((p[2] + p[3]) / 2 - 2 * c.d, r.field());
        free_value(3);
        free_value(4);
        place.centre(p[5] - 2 * c.d, r.word());
        break;
    case CLINE_INDIVIDUAL_2: {
        place.left(0, r.word());
        place.left(c.n, r.word());
        for (int k = 1; k <= 3; ++k)
            place.centre(p[k] - 2 * c.d, r.word());
        place.centre(p[4] - 2 * c.d, r.field());
        place.centre(p[5] - 2 * c.d, r.word());
        place.right(p[6], r.word());
        break;
    }
    case CLINE_COMPONENTS: {
        node_and_type();
        const std::vector<std::string> w = r.rest();
        for (std::size_t i = 0; i < w.size() && i < 6; ++i)
            place.right(p[i + 1] - c.d, w[i]);
        break;
    }
    case CLINE_LABELLED: {
        place.left(0, "");
        place.left(c.n - 2 * c.d, r.word());
        const std::vector<std::string> w = r.rest();
        for (std::size_t i = 0; i < w.size() && i < 6; ++i)
            place.right(p[i + 1], w[i]);
        break;
    }
    case CLINE_COMBINED_1:
        node_and_type();
        free_value(1);
        place.centre((p[2] + p[3]) / 2 - 2 * c.d, r.field());
        free_value(3);
        free_value(4);
        place.centre(p[5] - 2 * c.d, r.word());
        break;
    case CLINE_COMBINED_2:
        node_and_type();
        free_value(1);
        place.centre(p[2] - 2 * c.d, r.word());
        place.centre(p[3] - 2 * c.d, r.word());
        place.centre(p[4] - 2 * c.d, r.field());
        place.centre(p[5] - 2 * c.d, r.word());
        place.right(p[6], r.word());
        break;
    case CLINE_COMBINED: {
        node_and_type();
        place.right(p[1], r.word());
        const std::vector<std::string> w = r.rest();
        for (std::size_t i = 0; i < w.size() && i < 5; ++i)
            place.right(p[i + 2], w[i]);
        break;
    }
    default:
        break;
    }
}

void compressor_report(int index, int kind, int entry)
{
    const RotEquipReport& r = rot_equip_report();
    if (report_destination() == ReportDestination::Window)
        report_clear_window_lines();
    if (report_destination() == ReportDestination::Pages)
        page().columns = compressor_line_columns(gdi_measure_surface());
    const OneBased<CompressorRecord>& list = kind == MACHINE_COMPRESSOR ? compressors() : turbines();
    const OneBased<CompressorEvaluation>& evaluations = kind == MACHINE_COMPRESSOR ? r.compressors : r.turbines;
    if (!list.valid(index) || !evaluations.valid(index) || entry < 1 || entry > std::min(r.case_count(), ROT_LOAD_CASES))
        return;
    machine_report(list[index], evaluations[index],
                   r.entry_of(kind == MACHINE_COMPRESSOR ? ROT_COMPRESSOR : ROT_TURBINE, index), kind, entry);
}

const ReportStandard& machine_report_standard(int kind)
{
    static constexpr ReportStandard API617{"API 617 (7th Ed. 2003)", "API 617 report"};
    static constexpr ReportStandard NEMA_SM23{"NEMA SM23 (1991)", "NEMA SM 23 report"};
    return kind == MACHINE_COMPRESSOR ? API617 : NEMA_SM23;
}

void api617_report() { print_all(MACHINE_COMPRESSOR); }
void nema_sm23_report() { print_all(MACHINE_TURBINE); }
