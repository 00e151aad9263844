#include "results/ui/element_force_tables.h"

#include "codes/branch_plane.h"
#include "codes/code_catalog.h"
#include "codes/code_driver.h"
#include "framework/commands.h"
#include "framework/state.h"
#include "framework/units.h"
#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "model/row_kinds.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "results/element_force_values.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/element_force_variants.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/result_table.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "results/ui/stress_result_tables.h"
#include "results/ui/time_history_ui.h"

#include <algorithm>
#include <cmath>

namespace {

// ---- The force kinds --------------------------------------------------------------------------

enum ForceKind : int { FORCES_PIPES, FORCES_BEAMS, FORCES_FRP, FORCES_OTHERS, FORCE_KINDS };

constexpr const char* FORCE_KIND_NAMES[FORCE_KINDS] = {"&Pipes", "&Beams", "&FRP", "&Other"};

int kind_count(int kind)
{
    const ResultsState& r = results();
    switch (kind) {
    case FORCES_PIPES: return r.numpipes();
    case FORCES_BEAMS: return r.numbeams();
    case FORCES_FRP: return r.numfrp();
    default: return r.numothers();
    }
}

const OneBased<int32_t>& kind_list(int kind)
{
    const ResultsState& r = results();
    switch (kind) {
    case FORCES_BEAMS: return r.lists.beams;
    case FORCES_FRP: return r.lists.frp;
    default: return r.lists.others;
    }
}

// The element-list tables: names as data.
struct ListForceKind {
    const char* title;      // "Other forces in %s coordinates"
    const char* contents;   // "Other forces (%s coordinates)"
};
constexpr ListForceKind LIST_KINDS[3] = {
    {"Beam forces in %s coordinates", "Beam forces (%s coordinates)"},
    {"FRP forces in %s coordinates", "FRP forces (%s coordinates)"},
    {"Other forces in %s coordinates", "Other forces (%s coordinates)"},
};

std::string axes_word()
{
    return global_forces_shown() ? "global" : "local";
}

int node_number(int index)
{
    return model().nodes.valid(index) ? model().nodes[index].number : 0;
}

class PipeForceTable;
class ListForceTable;

struct ForceTablesState {
    bool global = false;
    bool lcs = false;
    int last_kind = -1;
    int printing = 0;   // nested report prints of the force tables
    std::vector<std::unique_ptr<PipeForceVariant>> variants;
    std::function<Bs806Ends(int)> bs806;
    std::unique_ptr<PipeForceTable> pipes;
    std::array<std::unique_ptr<ListForceTable>, 3> lists;
};

ForceTablesState& state()
{
    return session_part<ForceTablesState>();
}

// ---- Menus and the LCS item -------------------------------------------------------------------

void enter_force_table(bool local_axes_item)
{
    add_force_menu_items(several_force_kinds(), global_forces_shown());
    Frame& f = results_frame();
    if (local_axes_item && !global_forces_shown() && !f.menu.contains(CMD_LOCAL_AXES)) {
        MenuItem lcs;
        lcs.text = lcs_shown() ? "&Hide LCS" : "&Show LCS";
        lcs.id = CMD_LOCAL_AXES;
        f.menu.insert_before(CMD_GRAPHICS, lcs);
        frame_refresh_command_states(f);
        if (f.window)
            frame_update_menu(f);
    }
}

void leave_force_table()
{
    remove_force_menu_items();
    Frame& f = results_frame();
    if (f.menu.remove(CMD_LOCAL_AXES) && f.window)
        frame_update_menu(f);
    lcs_shown() = false;
    if (results_hooks().highlight_erase)
        results_hooks().highlight_erase();
}

MenuItem force_popup(bool lcs_item)
{
    MenuItem p;
    auto add = [&p](const std::string& text, int id) { add_popup_item(p, text, id); };
    if (several_force_kinds()) {
        add("&Other forces...", CMD_OTHER_ITEM);
        add("Next force", CMD_NEXT_ITEM);
        add("Previous force", CMD_PREVIOUS_ITEM);
    }
    add(global_forces_shown() ? "Local &forces" : "Global &forces", CMD_LOCAL_GLOBAL);
    if (lcs_item && !global_forces_shown())
        add(lcs_shown() ? "&Hide LCS" : "&Show LCS", CMD_LOCAL_AXES);
    p.items.push_back(MenuItem{});
    append_results_menu_items(p);
    if (results().load_case_count() > 1) {
        p.items.push_back(MenuItem{});
        append_load_case_menu_items(p);
    }
    return p;
}

// ---- The pipe forces table ----------------------------------------------------------------------

constexpr int PIPE_TABLE_COLUMNS = 20;

class PipeForceTable final : public ResultTable {
public:
    PipeForceTable() : ResultTable(RESULT_ELEMENT_FORCES, PIPE_TABLE_COLUMNS, 2, 2)
    {
        guide_page = PAGE_PIPE_FORCES;
        menus = ResultMenus::Forces;
    }

    const PipeForceVariant* variant = nullptr;
    PipeForceRow buffer;

    bool global() const { return global_forces_shown(); }
    int used_columns() const { return global() ? 7 : std::min(PIPE_TABLE_COLUMNS, variant->local_columns()); }

    std::string title_text() const
    {
        return global() ? std::string("Pipe forces in global coordinates") : variant->local_title();
    }
    void refresh() override
    {
        variant = &pipe_force_variant();
        read_load_case_forces();
        variant->refresh();
        groups = global() ? std::vector<TableGroup>{} : variant->groups();
        table_refresh(*this, title_text(), results().numpipes(), false);
        set_results_title(title_text());
    }
    std::string print_title() override
    {
        return (global() ? std::string("Pipe forces in global coordinates") : variant->local_title()) + ": " +
               results_loadcase_name();
    }
    bool prepare_print() override
    {
        if (results().numpipes() == 0 || results().load_case_count() == 0)
            return false;
        variant = &pipe_force_variant();
        read_load_case_forces();
        variant->refresh();
        groups = global() ? std::vector<TableGroup>{} : variant->groups();
        title = title_text();
        row_count = results().numpipes();
        buffer = {};
        return true;
    }
    void prepare_row(int row) override
    {
        const ResultsState& r = results();
        buffer = {};
        if (!r.code.pipes.valid(row))
            return;
        buffer.row = row;
        buffer.pipe = &r.code.pipes[row];
        buffer.element = buffer.pipe->element;
        if (r.forces.valid(buffer.element))
            buffer.local = r.forces[buffer.element];
        if (global())
            buffer.global = results_global_forces(buffer.element);
    }
    std::string header_text(int column, int line) override
    {
        if (column == 1)
            return line == 0 ? "Node" : "";
        if (column > used_columns())
            return {};
        if (global()) {
            static const char* const names[] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
            if (line == 0)
                return names[column - 2];
            return line == 1 ? unit_label(column <= 4 ? FORCE : MOMENT) : "";
        }
        return variant->header(column, line);
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (buffer.row != row)
            prepare_row(row);
        if (!buffer.pipe || column > used_columns())
            return {};
        if (column == 1) {
            const ResultsElement& e = results().elements[buffer.element];
            return node_text(node_number(line == 0 ? e.node1 : e.node2));
        }
        if (global())
            return force_cell_text(buffer.global, column, line, false);
        return variant->cell(buffer, column, line);
    }
    void measure_window(Surface& dc) override
    {
        TableWindow::measure_window(dc);
        widths_for(dc);
    }
    void measure_print(Surface& dc) override
    {
        TablePrint::measure_print(dc);
        widths_for(dc);
    }
    void widths_for(Surface& dc)
    {
        for (int c = used_columns() + 1; c <= PIPE_TABLE_COLUMNS; ++c)
            widths[static_cast<std::size_t>(c)] = 0;
        if (global())
            equalize_widths(widths, 2, 7);
        else
            variant->adjust_widths(dc, widths);
    }
    void draw_column_rule(TableCanvas& c, int column) override
    {
        if (!global() && c.in_header && c.drawn(column)) {
            const std::vector<int> below = variant->rules_below_first_line();
            if (std::find(below.begin(), below.end(), column) != below.end()) {
                const int x = c.left[static_cast<std::size_t>(column)];
                c.printing ? tprint_vline(c, x, c.header_line_y(1), c.bottom) : tpaint_vline(c, x, c.header_line_y(1), c.bottom);
                return;
            }
        }
        TablePrint::draw_column_rule(c, column);
    }
    void contents_entry() override
    {
        add_load_case_contents_entry(global() ? "Pipe forces (global coordinates)" : "Pipe forces (local coordinates)");
    }
    int highlight_layout_row(int row) override
    {
        const ResultsState& r = results();
        if (!r.code.pipes.valid(row) || !r.elements.valid(r.code.pipes[row].element))
            return 0;
        return r.elements[r.code.pipes[row].element].row;
    }
    std::vector<int> row_nodes(int row) override
    {
        const ResultsState& r = results();
        if (!r.code.pipes.valid(row) || !r.elements.valid(r.code.pipes[row].element))
            return {};
        const ResultsElement& e = r.elements[r.code.pipes[row].element];
        return {node_number(e.node1), node_number(e.node2)};
    }
    void on_enter() override { enter_force_table(true); }
    void on_leave() override { leave_force_table(); }
    void context_menu(Point) override { table_popup_menu(*this, force_popup(true)); }
    void print_text() override;
    void print_csv() override;
};

// ---- The beam, FRP and other forces tables ------------------------------------------------------

class ListForceTable final : public ResultTable {
public:
    explicit ListForceTable(int list_kind) : ResultTable(RESULT_ELEMENT_FORCES, 8, 2, 2), kind(list_kind)
    {
        guide_page = list_kind == FORCES_BEAMS ? PAGE_BEAM_FORCES : list_kind == FORCES_FRP ? PAGE_FRP_FORCES : PAGE_OTHER_FORCES;
        menus = ResultMenus::Forces;
    }
    int kind;   // FORCES_BEAMS, FORCES_FRP, FORCES_OTHERS
    ElementForceRecord buffer{};
    int buffer_row = 0;
    // The common width of columns 3 to 8 in either axes (switching keeps the layout).
    int value_width = 0;

    const ListForceKind& names() const { return LIST_KINDS[kind - FORCES_BEAMS]; }
    int element_of(int row) const
    {
        const OneBased<int32_t>& list = kind_list(kind);
        return list.valid(row) ? list[row] : 0;
    }
    std::string title_text() const { return c_format(names().title, axes_word().c_str()); }
    void refresh() override
    {
        read_load_case_forces();
        buffer_row = 0;
        table_refresh(*this, title_text(), kind_count(kind), false);
        set_results_title(title_text());
    }
    std::string print_title() override { return title_text() + ": " + results_loadcase_name(); }
    bool prepare_print() override
    {
        if (kind_count(kind) == 0 || results().load_case_count() == 0)
            return false;
        read_load_case_forces();
        title = title_text();
        row_count = kind_count(kind);
        buffer_row = 0;
        return true;
    }
    void prepare_row(int row) override
    {
        buffer_row = row;
        const int e = element_of(row);
        const ResultsState& r = results();
        buffer = !r.forces.valid(e) ? ElementForceRecord{}
                 : global_forces_shown() ? results_global_forces(e)
                                         : r.forces[e];
    }
    std::string header_text(int column, int line) override
    {
        if (column <= 2)
            return line == 1 ? (column == 1 ? "Node" : "Type") : "";
        static const char* const global_names[] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
        static const char* const local_names[] = {"fx", "fy", "fz", "mx", "my", "mz"};
        if (line == 0)
            return (global_forces_shown() ? global_names : local_names)[column - 3];
        return line == 1 ? unit_label(column <= 5 ? FORCE : MOMENT) : "";
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (buffer_row != row)
            prepare_row(row);
        const int e = element_of(row);
        if (!e || !results().elements.valid(e))
            return {};
        const ResultsElement& el = results().elements[e];
        if (column == 1)
            return node_text(node_number(line == 0 ? el.node1 : el.node2));
        if (column == 2)
            return line == 0 ? element_type_name(el.kind) : "";
        return global_forces_shown() ? force_cell_text(buffer, column, line, true)
                                     : local_force_cell_text(buffer, column, line);
    }
    void measure_window(Surface& dc) override
    {
        // The common width of the values in both axes.
        const bool global = global_forces_shown();
        int both = 0;
        for (bool g : {false, true}) {
            global_forces_shown() = g;
            TableWindow::measure_window(dc);
            equalize_widths(widths, 3, 8);
            both = std::max(both, widths[3]);
        }
        global_forces_shown() = global;
        TableWindow::measure_window(dc);
        for (int c = 3; c <= 8; ++c)
            widths[static_cast<std::size_t>(c)] = both;
        value_width = both;
    }
    void measure_print(Surface& dc) override
    {
        TablePrint::measure_print(dc);
        equalize_widths(widths, 3, 8);
    }
    void contents_entry() override { add_load_case_contents_entry(c_format(names().contents, axes_word().c_str())); }
    int highlight_layout_row(int row) override
    {
        const int e = element_of(row);
        return results().elements.valid(e) ? results().elements[e].row : 0;
    }
    std::vector<int> row_nodes(int row) override
    {
        const int e = element_of(row);
        if (!results().elements.valid(e))
            return {};
        return {node_number(results().elements[e].node1), node_number(results().elements[e].node2)};
    }
    void on_enter() override { enter_force_table(true); }
    void on_leave() override { leave_force_table(); }
    void context_menu(Point) override { table_popup_menu(*this, force_popup(true)); }
    void print_text() override;
    void print_csv() override;
};

PipeForceTable& pipes_table()
{
    ForceTablesState& s = state();
    if (!s.pipes)
        s.pipes = std::make_unique<PipeForceTable>();
    return *s.pipes;
}

ListForceTable& list_table(int kind)
{
    ForceTablesState& s = state();
    auto& t = s.lists[static_cast<std::size_t>(kind - FORCES_BEAMS)];
    if (!t)
        t = std::make_unique<ListForceTable>(kind);
    return *t;
}

void show_kind(int kind)
{
    if (kind_count(kind) == 0)
        return;
    state().last_kind = kind;
    if (kind != FORCES_PIPES) {
        list_table(kind).show();
        return;
    }
    pipes_table().show();
    // The stress columns of a code without stresses stay empty: the
    // evaluation's note says why.
    if (!code_stresses_available(piping_code()))
        show_code_evaluation_notes();
}

std::vector<int> present_kinds()
{
    std::vector<int> kinds;
    for (int k = 0; k < FORCE_KINDS; ++k)
        if (kind_count(k) > 0)
            kinds.push_back(k);
    return kinds;
}

void step_kind(int step)
{
    const std::vector<int> kinds = present_kinds();
    if (kinds.empty())
        return;
    const auto it = std::find(kinds.begin(), kinds.end(), state().last_kind);
    const int at = it == kinds.end() ? 0 : static_cast<int>(it - kinds.begin());
    const int n = static_cast<int>(kinds.size());
    show_kind(kinds[static_cast<std::size_t>(((at + step) % n + n) % n)]);
}

// ---- Text and CSV -------------------------------------------------------------------------------

std::string report_type_name(const std::string& type, const std::string& first_value)
{
    // The type stands at 16 and the first value ends at 27: a name that
    // would run into the value is cut to its first word, then to the room
    // left (one blank kept).
    const int room = std::max(1, 28 - static_cast<int>(first_value.size()) - 1 - 16);
    std::string name = type;
    if (static_cast<int>(name.size()) > room)
        name = name.substr(0, name.find(' '));
    if (static_cast<int>(name.size()) > room)
        name.resize(static_cast<std::size_t>(room));
    return name;
}


std::string case_name()
{
    return results_loadcase_name();
}

// The two lines of an element's twelve values and a blank line: the first
// end on the first line, the second on the next, forces by
// format_force_integer and moments by format_moment_integer; with a type
// name (the beam, FRP and other forces) in the shifted columns.
void force_pair_lines(const ElementForceRecord& f, int node1, int node2, const char* type)
{
    static const int plain[] = {18, 28, 38, 50, 62, 74};
    static const int shifted[] = {27, 35, 43, 53, 63, 73};
    const int* ends = type ? shifted : plain;
    const RealForm force = force_integer_form(), moment = moment_integer_form();
    auto shown = [&](std::size_t k) { return (k % 6 < 3 ? force : moment).of(f[k]); };
    for (int end = 0; end < 2; ++end) {
        report_node_at(end == 0 ? node1 : node2, type ? 6 : 4);
        if (type && end == 0) {
            const ShownReal first = shown(0);
            report_print_at(report_type_name(type, std::isfinite(first.value)
                                                       ? format_real(first.value, first.width, first.decimals)
                                                       : std::string()),
                            16);
        }
        for (int i = 0; i < 6; ++i)
            report_number_right(shown(static_cast<std::size_t>(6 * end + i)), ends[i]);
        report_next_line();
    }
    report_next_line();
}

void write_global_header()
{
    report_print_centred("Element forces in global coordinates: " + case_name(), 4, 78);
    report_next_line();
    report_rule();
    report_print_at("Node", 5);
    const char* const names[] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
    const int from[] = {13, 23, 33, 44, 56, 68}, to[] = {19, 29, 39, 52, 64, 76};
    for (int i = 0; i < 6; ++i)
        report_print_centred(label_with_unit(names[i], i < 3 ? FORCE : MOMENT), from[i], to[i]);
    report_next_line();
    report_rule();
}

void write_global_csv_header()
{
    csv_add_text(case_name() + ": Element forces (global)");
    report_next_line();
    report_rule();
    for (const char* h : {"Node", "FX", "FY", "FZ", "MX", "MY", "MZ"})
        csv_add_text(h);
    report_next_line();
    csv_add_text("");
    for (int i = 0; i < 6; ++i)
        csv_add_unit_cell(i < 3 ? FORCE : MOMENT);
    report_next_line();
}

const PipeResultRecord* pipe_of(int row)
{
    const ResultsState& r = results();
    return r.code.pipes.valid(row) ? &r.code.pipes[row] : nullptr;
}

PipeForceRow pipe_row(int row, bool global)
{
    PipeForceRow out;
    const PipeResultRecord* p = pipe_of(row);
    if (!p)
        return out;
    out.row = row;
    out.pipe = p;
    out.element = p->element;
    const ResultsState& r = results();
    if (r.forces.valid(p->element))
        out.local = r.forces[p->element];
    if (global)
        out.global = results_global_forces(p->element);
    return out;
}

void element_nodes(int element, int& n1, int& n2)
{
    const ResultsState& r = results();
    n1 = n2 = 0;
    if (!r.elements.valid(element))
        return;
    n1 = node_number(r.elements[element].node1);
    n2 = node_number(r.elements[element].node2);
}

// Under a code whose stresses the program does not evaluate, the note that
// says why the stress columns of the local forces are empty; under an
// expansion case whose stresses are on the reference modulus, the factors
// that take the moments shown there.
std::string stresses_note()
{
    const int32_t code = piping_code();
    if (!code_stresses_available(code))
        return code_stresses_unavailable_text(code);
    return scaled_expansion_note(results().code, results_loadcase_code());
}

void PipeForceTable::print_text()
{
    const int count = results().numpipes();
    if (global()) {
        report_rows(
            3, write_global_header, case_name() + ": Element forces (global)", 1, count,
            [](int row) {
                const PipeForceRow r = pipe_row(row, true);
                int n1 = 0, n2 = 0;
                element_nodes(r.element, n1, n2);
                print_force_pair(r.global, n1, n2);
            },
            3, true);
        return;
    }
    const PipeForceVariant& v = *variant;
    // The note under the last row, above the closing rule, on its page.
    const std::vector<std::string> note = report_wrapped_lines(stresses_note(), REPORT_LEFT_COLUMN + 1);
    report_rows_kept(
        3, [&v] { v.text_header(); }, case_name() + ": Pipe element forces (local)", 1, count,
        [&v, &note, count](int row) {
            v.text_row(pipe_row(row, false));
            if (row == count)
                for (const std::string& line : note) {
                    report_print_at(line, REPORT_LEFT_COLUMN + 1);
                    report_next_line();
                }
        },
        [&note, count](int row) { return 3 + (row == count ? static_cast<int>(note.size()) : 0); }, v.rows_apart());
}

void PipeForceTable::print_csv()
{
    const int count = results().numpipes();
    if (global()) {
        write_global_csv_header();
        for (int row = 1; row <= count; ++row) {
            const PipeForceRow r = pipe_row(row, true);
            int n1 = 0, n2 = 0;
            element_nodes(r.element, n1, n2);
            csv_force_pair(r.global, n1, n2);
        }
        report_rule();
        return;
    }
    csv_add_text(case_name() + ": Pipe element forces (local)");
    report_next_line();
    variant->csv_header();
    for (int row = 1; row <= count; ++row)
        variant->csv_row(pipe_row(row, false));
    if (const std::string note = stresses_note(); !note.empty()) {
        csv_add_text(note);
        report_next_line();
    }
    report_rule();
}

void list_text_header(const ListForceTable& t)
{
    report_print_centred(t.title_text() + ": " + case_name(), 6, 78);
    report_next_line();
    report_rule();
    report_print_at(global_forces_shown() ? "FX      FY      FZ        MX       MY        MZ"
                                          : "fx      fy      fz        mx       my        mz",
                    25);
    report_next_line();
    report_print_at("Node", 6);
    report_print_at("Type", 16);
    const int from[] = {24, 32, 40, 49, 58, 68}, to[] = {27, 35, 43, 55, 64, 74};
    for (int i = 0; i < 6; ++i)
        report_print_centred(unit_label(i < 3 ? FORCE : MOMENT), from[i], to[i]);
    report_next_line();
    report_rule();
}

void ListForceTable::print_text()
{
    const int count = kind_count(kind);
    if (count == 0)
        return;
    read_load_case_forces();
    const std::string contents = case_name() + ": " + c_format(names().contents, axes_word().c_str());
    report_rows(
        3, [this] { list_text_header(*this); }, contents, 1, count,
        [this](int row) {
            const int e = element_of(row);
            int n1 = 0, n2 = 0;
            element_nodes(e, n1, n2);
            const char* type = element_type_name(results().elements[e].kind);
            if (global_forces_shown()) {
                print_force_pair(results_global_forces(e), n1, n2, type);
                return;
            }
            // Local values as stored, in the same columns.
            force_pair_lines(results().forces[e], n1, n2, type);
        },
        3, true);
}

void ListForceTable::print_csv()
{
    const int count = kind_count(kind);
    if (count == 0)
        return;
    read_load_case_forces();
    csv_add_text(case_name() + ": " + c_format(names().contents, axes_word().c_str()));
    report_next_line();
    report_rule();
    const bool g = global_forces_shown();
    for (const char* h : {"Node", "Type"})
        csv_add_text(h);
    static const char* const global_names[] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
    static const char* const local_names[] = {"fx", "fy", "fz", "mx", "my", "mz"};
    for (int i = 0; i < 6; ++i)
        csv_add_text((g ? global_names : local_names)[i]);
    report_next_line();
    csv_add_text("");
    csv_add_text("");
    for (int i = 0; i < 6; ++i)
        csv_add_unit_cell(i < 3 ? FORCE : MOMENT);
    report_next_line();
    for (int row = 1; row <= count; ++row) {
        const int e = element_of(row);
        int n1 = 0, n2 = 0;
        element_nodes(e, n1, n2);
        const char* type = element_type_name(results().elements[e].kind);
        if (g) {
            csv_force_pair(results_global_forces(e), n1, n2, type);
            continue;
        }
        const ElementForceRecord& f = results().forces[e];
        for (int end = 0; end < 2; ++end) {
            csv_add_text(node_text(end == 0 ? n1 : n2));
            csv_add_text(end == 0 ? type : "");
            for (int i = 0; i < 6; ++i)
                csv_add_cell(end_value_text(f[static_cast<std::size_t>(6 * end + i)], i));
            report_next_line();
        }
    }
    report_rule();
}

// Runs `print` with the force tables in the axes `global`; the shown
// choice comes back after it, and a shown force table shows it again.
void print_in_axes(bool global, const std::function<void()>& print)
{
    if (!results_open() || results().load_case_count() == 0)
        return;
    ForceTablesState& s = state();
    const bool shown = s.global;
    s.global = global;
    ++s.printing;
    try {
        print();
    } catch (...) {
        --s.printing;
        s.global = shown;
        throw;
    }
    --s.printing;
    s.global = shown;
    if (s.printing > 0)
        return;
    for (TableWindow* t : {static_cast<TableWindow*>(s.pipes.get()), static_cast<TableWindow*>(s.lists[0].get()),
                           static_cast<TableWindow*>(s.lists[1].get()), static_cast<TableWindow*>(s.lists[2].get())})
        if (t && table_is_shown(*t)) {
            static_cast<ResultTable*>(t)->refresh();
            t->measure_needed = true;
        }
}

// Prints the forces of every family in the axes `global`.
void print_element_forces(bool global)
{
    print_in_axes(global, [global] {
        pipes_table().print();
        print_beam_forces(global);
        print_frp_forces(global);
        list_table(FORCES_OTHERS).print();
    });
}

}  // namespace

// ---- State -----------------------------------------------------------------------------------

bool& global_forces_shown()
{
    return state().global;
}

bool& lcs_shown()
{
    return state().lcs;
}

std::function<Bs806Ends(int)>& bs806_element_stress()
{
    return state().bs806;
}

void register_pipe_force_variant(std::unique_ptr<PipeForceVariant> variant)
{
    state().variants.push_back(std::move(variant));
}

const PipeForceVariant& pipe_force_variant()
{
    ForceTablesState& s = state();
    if (s.variants.empty())
        register_standard_pipe_force_variants();
    const int32_t code = piping_code();
    for (auto it = s.variants.rbegin(); it != s.variants.rend(); ++it)
        if ((*it)->applies(code))
            return **it;
    return *s.variants.front();
}

namespace {

// The end's mz and my, or with `branch_plane` at a branch junction of a
// pipe, jacketed pipe or reducer the moments about the branch plane.
void end_plane_moments(int element, int end, const ElementForceRecord& local, bool branch_plane, double& in_plane,
                       double& out_plane)
{
    const std::size_t base = 6 * static_cast<std::size_t>(end);
    in_plane = local[base + 5];
    out_plane = local[base + 4];
    const ResultsState& r = results();
    if (!branch_plane || !r.elements.valid(element))
        return;
    const ResultsElement& e = r.elements[element];
    if (e.kind != ET_PIPE && e.kind != ET_JACKETED_PIPE && e.kind != ET_REDUCER)
        return;
    const int node = end == 0 ? e.node1 : e.node2;
    if (!model().nodes.valid(node) || model().nodes[node].branch_mark != 2)
        return;
    double i = in_plane, o = out_plane;
    try {
        branch_plane_moments(model(), analysis_options().z_vertical, element, node, i, o);
    } catch (const MessageText&) {
        // No plane at the junction: the end's own moments stand.
        return;
    }
    in_plane = i;
    out_plane = o;
}

// The BS 806 quantities the program has: the moments Mi, Mo and Mt of each
// end from the loaded case's end forces (BS 806 takes the bending moments
// in and out of the plane of a bend or a branch junction, and the
// torsion). The bend and branch factors and the stresses are not
// evaluated: the program does not hold the BS 806 equations.
Bs806Ends bs806_end_moments(int element)
{
    Bs806Ends ends{};
    const ResultsState& r = results();
    if (!r.forces.valid(element))
        return ends;
    const ElementForceRecord& local = r.forces[element];
    for (int end = 0; end < 2; ++end) {
        double in_plane = 0.0, out_plane = 0.0;
        end_plane_moments(element, end, local, true, in_plane, out_plane);
        Bs806End& b = ends[static_cast<std::size_t>(end)];
        b.mi.set(static_cast<float>(in_plane));
        b.mo.set(static_cast<float>(out_plane));
        b.mt.set(local[6 * static_cast<std::size_t>(end) + 3]);
    }
    return ends;
}

}  // namespace

void pipe_end_plane_moments(int element, int end, const ElementForceRecord& local, double& in_plane,
                            double& out_plane)
{
    end_plane_moments(element, end, local, results().available.in_out_plane_sifs, in_plane, out_plane);
}

// ---- Showing --------------------------------------------------------------------------------

void show_pipe_forces()
{
    show_kind(FORCES_PIPES);
}

void show_beam_forces()
{
    show_kind(FORCES_BEAMS);
}

void show_frp_forces()
{
    show_kind(FORCES_FRP);
}

void show_other_forces()
{
    show_kind(FORCES_OTHERS);
}

void show_element_forces()
{
    const int last = state().last_kind;
    if (last >= 0 && kind_count(last) > 0) {
        show_kind(last);
        return;
    }
    const std::vector<int> kinds = present_kinds();
    if (!kinds.empty())
        show_kind(kinds.front());
}

void choose_other_forces(WindowId owner)
{
    const std::vector<int> kinds = present_kinds();
    if (kinds.empty())
        return;
    RadioListChoice choice{other_supports_template(static_cast<int>(kinds.size())), "Other Forces", {}, 1};
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        choice.entries.push_back(FORCE_KIND_NAMES[kinds[i]]);
        if (kinds[i] == state().last_kind)
            choice.current = static_cast<int>(i) + 1;
    }
    if (const int chosen = run_radio_list(choice, owner))
        show_kind(kinds[static_cast<std::size_t>(chosen - 1)]);
}

void next_force_kind()
{
    step_kind(1);
}

void previous_force_kind()
{
    step_kind(-1);
}

void toggle_global_forces()
{
    // The menu's items and the tool tip follow the new choice.
    const bool shown = current_result() == RESULT_ELEMENT_FORCES;
    if (shown)
        leave_force_table();
    global_forces_shown() = !global_forces_shown();
    show_element_forces();
    if (shown)
        enter_force_table(true);
}

// ---- The results report ----------------------------------------------------------------------

void print_local_element_forces()
{
    print_element_forces(false);
}

void print_global_element_forces()
{
    print_element_forces(true);
}

void print_beam_forces(bool global)
{
    print_in_axes(global, [] { list_table(FORCES_BEAMS).print(); });
}

void print_frp_forces(bool global)
{
    print_in_axes(global, [] { list_table(FORCES_FRP).print(); });
}

void print_force_pair(const ElementForceRecord& global, int node1, int node2, const char* type)
{
    force_pair_lines(forces_on_element(global, results_loadcase_is_dynamic()), node1, node2, type);
}

void csv_force_pair(const ElementForceRecord& global, int node1, int node2, const char* type)
{
    const ElementForceRecord f = forces_on_element(global, results_loadcase_is_dynamic());
    for (int end = 0; end < 2; ++end) {
        csv_add_text(node_text(end == 0 ? node1 : node2));
        if (type)
            csv_add_text(end == 0 ? type : "");
        for (int i = 0; i < 6; ++i)
            csv_add_cell(end_value_text(f[static_cast<std::size_t>(6 * end + i)], i));
        report_next_line();
    }
}

// ---- Installation -----------------------------------------------------------------------------

TableWindow& pipe_force_table()
{
    return pipes_table();
}

TableWindow& other_force_table(int kind)
{
    return list_table(FORCES_BEAMS + kind);
}

void install_element_force_tables()
{
    if (state().variants.empty())
        register_standard_pipe_force_variants();
    ResultsHooks& h = results_hooks();
    h.show[RESULT_ELEMENT_FORCES] = show_element_forces;
    result_page_tables()[PAGE_PIPE_FORCES] = [] { return &pipe_force_table(); };
    result_page_tables()[PAGE_BEAM_FORCES] = [] { return &other_force_table(0); };
    result_page_tables()[PAGE_FRP_FORCES] = [] { return &other_force_table(1); };
    result_page_tables()[PAGE_OTHER_FORCES] = [] { return &other_force_table(2); };
    ResultItemCommands commands;
    commands.other = [] { choose_other_forces(results_frame().window); };
    commands.next = next_force_kind;
    commands.previous = previous_force_kind;
    commands.local_global = toggle_global_forces;
    commands.tip = [](int command) -> std::string {
        switch (command) {
        case CMD_OTHER_ITEM: return several_force_kinds() ? "Other forces" : "";
        case CMD_NEXT_ITEM: return several_force_kinds() ? "Next force" : "";
        case CMD_PREVIOUS_ITEM: return several_force_kinds() ? "Previous force" : "";
        case CMD_LOCAL_GLOBAL: return global_forces_shown() ? "Local Forces" : "Global Forces";
        default: return {};
        }
    };
    set_result_item_commands(RESULT_ELEMENT_FORCES, commands);
    h.commands[CMD_LOCAL_AXES] = [](int) {
        if (current_result() != RESULT_ELEMENT_FORCES || global_forces_shown())
            return;
        if (results_hooks().highlight_erase)
            results_hooks().highlight_erase();
        lcs_shown() = !lcs_shown();
        results_frame().menu.set_text(CMD_LOCAL_AXES, lcs_shown() ? "&Hide LCS" : "&Show LCS");
        if (results_frame().window)
            frame_update_menu(results_frame());
        results_load_case_changed();
    };
    h.closing.push_back([] {
        ForceTablesState& s = state();
        s.last_kind = -1;
        s.lcs = false;
    });
    state().bs806 = bs806_end_moments;
    set_global_element_forces(
        [](int element, const ElementForceRecord& local) {
            return global_element_forces(model(), element, local, analysis_options().z_vertical);
        });
}
