#include "results/ui/stress_result_tables.h"

#include "codes/code_driver.h"
#include "codes/stress_display.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/units.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/result_table.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

namespace {

const Color OVER_ALLOWABLE{255, 0, 0};
const Color ABOVE_THRESHOLD{0, 0, 192};

const CodeStressResults* evaluation()
{
    const CodeRecords& c = results().code;
    return c.stresses ? &c.stresses->results : nullptr;
}

bool no_code()
{
    const CodeStressResults* r = evaluation();
    return r && stress_rules(r->piping_code) == StressRules::NoCode;
}

std::string node_of(const StressRow& r)
{
    return model().nodes.valid(r.node) ? node_text(model().nodes[r.node].number) : std::string();
}

std::string stress_text(double v)
{
    return std::isfinite(v) ? format_stress(v) : std::string();
}

std::string percent_text(const StressRow& r)
{
    const double p = r.percent();
    return r.checked && std::isfinite(p) ? format_real(p, 8, 1) : std::string();
}

std::string allowable_text(const StressRow& r)
{
    return r.checked ? stress_text(r.allowable) : not_checked_text(r.unchecked);
}

// A row not checked for a reason that the code or the material gives: on
// paper the reason stands under the row (from the load case's column in
// the text report), not in the allowable's column, which keeps the width
// of its numbers.
bool reasoned(const StressRow& r)
{
    return !r.checked && r.unchecked != Unchecked::None;
}
bool has_reason(const StressRow& r)
{
    return !no_code() && reasoned(r);
}
constexpr int REASON_COLUMN = 14;
constexpr int NOTE_COLUMN = 6;

// The load case of a row, and the check where it is not the case's own
// stress: "Sustained (W+P): hoop".
const char* const HOOP_SUFFIX = ": hoop";
std::string case_text(const StressRow& r)
{
    return load_case_names(r.load_case) + (r.check == StressCheck::Hoop ? HOOP_SUFFIX : "");
}

bool over(const StressRow& r)
{
    return r.checked && r.percent() > 100.0;
}

// The categories the sorted stresses step through (Left, Right) and print:
// sustained, expansion, occasional, and under the pipeline codes hoop;
// under no code the von Mises, maximum and minimum stresses.
std::vector<int32_t> sorted_kinds()
{
    if (no_code())
        return {NO_CODE_VON_MISES, NO_CODE_MAXIMUM, NO_CODE_MINIMUM};
    const CodeStressResults* r = evaluation();
    std::vector<int32_t> kinds{RATIO_SUSTAINED, RATIO_EXPANSION, RATIO_OCCASIONAL};
    if (r && stress_rules(r->piping_code) == StressRules::Pipeline)
        kinds.push_back(RATIO_HOOP);
    return kinds;
}

// The expansion cases whose stresses are on the reference modulus, each
// with its factors: the lines under the tables that show those stresses.
std::vector<std::string> scaled_expansion_notes()
{
    std::vector<std::string> out;
    const CodeStressResults* r = evaluation();
    if (!r)
        return out;
    for (const CaseStresses& c : r->cases)
        if (const std::string note = scaled_expansion_note(results().code, c.code); !note.empty())
            out.push_back(load_case_names(c.code) + ": " + note);
    return out;
}

// The category the kind names, as a caption ("Expansion stress").
std::string caption()
{
    const CodeStressResults* r = evaluation();
    return stress_view_caption(r ? r->piping_code : piping_code(), stress_display_flags().ratio_kind);
}

struct StressTablesUi {
    std::unique_ptr<TableWindow> sorted;
    std::unique_ptr<TableWindow> compliance;
    bool failures_only = false;
    bool notes_shown = false;     // the evaluation's notes were shown since results opened
};

StressTablesUi& ui()
{
    return session_part<StressTablesUi>();
}

void add_item(const std::string& text, int id)
{
    Frame& f = results_frame();
    if (f.menu.contains(id))
        f.menu.set_text(id, text);
    else {
        MenuItem i;
        i.text = text;
        i.id = id;
        f.menu.insert_before(CMD_RESULTS, i);
    }
}

void refresh_frame_menu()
{
    Frame& f = results_frame();
    frame_refresh_command_states(f);
    if (f.window)
        frame_update_menu(f);
}

// ---- The tables -------------------------------------------------------------------------------

// Columns: Node, Load case, the stress, the allowable, the ratio.
class StressRowsTable : public ResultTable {
public:
    explicit StressRowsTable(int kind) : ResultTable(kind, 5, 2) { menus = ResultMenus::Plain; }
    std::vector<StressRow> rows;
    StressRange range;   // of the rows' stresses

    virtual bool ratios_shown() const { return !no_code(); }
    const StressRow* row_of(int row) const
    {
        return row >= 1 && row <= static_cast<int>(rows.size()) ? &rows[static_cast<std::size_t>(row - 1)] : nullptr;
    }
    std::string header_text(int column, int line) override
    {
        switch (column) {
        case 1: return line == 0 ? "Node" : "";
        case 2: return line == 0 ? "Load case" : "";
        case 3: return line == 0 ? stress_heading() : line == 1 ? unit_label(STRESS) : "";
        case 4: return line == 0 && !no_code() ? "Allowable" : line == 1 && !no_code() ? unit_label(STRESS) : "";
        case 5: return ratios_shown() ? (line == 0 ? "Ratio" : line == 1 ? "(%)" : "") : "";
        default: return {};
        }
    }
    virtual std::string stress_heading() const { return "Stress"; }
    // Lines under the rows of the report.
    virtual std::vector<std::string> notes() const { return {}; }
    std::string cell_text(int row, int column, int line) override
    {
        const StressRow* r = row_of(row);
        if (!r || line != 0)
            return {};
        switch (column) {
        case 1: return node_of(*r);
        case 2: return case_text(*r);
        case 3:
            mark(*r, false, row, column);
            return stress_text(r->stress);
        case 4:
            // On paper a reason is a note under the row (row_note).
            return no_code() || (report_state().printing_pages && has_reason(*r)) ? "" : allowable_text(*r);
        case 5:
            if (!ratios_shown())
                return {};
            mark(*r, true, row, column);
            return percent_text(*r);
        default: return {};
        }
    }
    void adjust()
    {
        range = sorted_stress_range(rows);
        hidden.clear();
        if (!ratios_shown())
            hidden.push_back(5);
        if (no_code())
            hidden.push_back(4);
    }
    int row_node(int row) override
    {
        const StressRow* r = row_of(row);
        return r && model().nodes.valid(r->node) ? model().nodes[r->node].number : 0;
    }
    int highlight_layout_row(int row) override
    {
        const StressRow* r = row_of(row);
        return r && model().elems.valid(r->element) ? model().elems[r->element].row : 0;
    }
    int print_count() override { return static_cast<int>(rows.size()); }
    // On paper the notes follow the rows, as in the text report.
    std::vector<std::string> notes_under_rows() override { return notes(); }
    std::string row_note(int row) override
    {
        const StressRow* r = row_of(row);
        return r && has_reason(*r) ? not_checked_text(r->unchecked) : std::string();
    }

    // Text: the title centred, the headings, one line per row.
    void write_text(const std::string& contents, int keep)
    {
        const bool allowables = !no_code(), ratios = ratios_shown();
        const UnitScale stress_unit = unit_scale(STRESS);
        // The names of the load cases, made once: the rows are written on
        // several threads.
        std::vector<std::pair<int32_t, std::string>> case_names;
        const auto name_of = [&case_names](int32_t load_case) {
            return std::find_if(case_names.begin(), case_names.end(),
                                [load_case](const auto& n) { return n.first == load_case; });
        };
        for (const StressRow& r : rows)
            if (name_of(r.load_case) == case_names.end())
                case_names.emplace_back(r.load_case, load_case_names(r.load_case));
        // The reasons' lines under their rows, made once too.
        std::vector<std::pair<Unchecked, std::vector<std::string>>> reasons;
        for (const StressRow& r : rows)
            if (allowables && reasoned(r) &&
                std::none_of(reasons.begin(), reasons.end(), [&r](const auto& x) { return x.first == r.unchecked; }))
                reasons.emplace_back(r.unchecked, report_wrapped_lines(not_checked_text(r.unchecked), REASON_COLUMN));
        const auto reason_of = [&reasons](Unchecked why) -> const std::vector<std::string>& {
            return std::find_if(reasons.begin(), reasons.end(), [why](const auto& x) { return x.first == why; })
                ->second;
        };
        // The notes under the last row, which keeps them on its page.
        std::vector<std::string> below;
        for (const std::string& note : notes())
            for (std::string& line : report_wrapped_lines(note, NOTE_COLUMN))
                below.push_back(std::move(line));
        const int count = static_cast<int>(rows.size());
        const auto lines_of = [&](int row) {
            const StressRow& r = rows[static_cast<std::size_t>(row - 1)];
            return 1 + (allowables && reasoned(r) ? static_cast<int>(reason_of(r.unchecked).size()) : 0) +
                   (row == count ? static_cast<int>(below.size()) : 0);
        };
        report_rows_kept(
            keep,
            [this] {
                report_print_centred(print_title(), 6, 78);
                report_next_line();
                report_rule();
                report_print_at("Node", 6);
                report_print_at("Load case", 14);
                report_print_right(label_with_unit(stress_heading(), STRESS), 52);
                if (!no_code())
                    report_print_right(label_with_unit("Allowable", STRESS), 70);
                if (ratios_shown())
                    report_print_right("Ratio (%)", 82);
                report_next_line();
                report_rule();
            },
            contents, 0, count,
            [&](int row) {
                const StressRow& r = rows[static_cast<std::size_t>(row - 1)];
                if (model().nodes.valid(r.node))
                    report_node_at(model().nodes[r.node].number, 6);
                const std::string& name = name_of(r.load_case)->second;
                report_print_at(r.check == StressCheck::Hoop ? name + HOOP_SUFFIX : name, 14);
                auto stress = [&](double v, int end) {
                    if (std::isfinite(v))
                        report_written_right([&](char* out) { return write_stress(out, v, stress_unit); }, end);
                };
                stress(r.stress, 52);
                if (allowables) {
                    if (!r.checked && !reasoned(r))
                        report_print_right(not_checked_text(r.unchecked), 70);
                    else if (r.checked)
                        stress(r.allowable, 70);
                }
                if (ratios && r.checked && std::isfinite(r.percent()))
                    report_real_right(r.percent(), 8, 1, 82);
                report_next_line();
                // Why the row is not checked, under it.
                if (allowables && reasoned(r))
                    for (const std::string& line : reason_of(r.unchecked)) {
                        report_print_at(line, REASON_COLUMN);
                        report_next_line();
                    }
                // The notes under the last row, above the closing rule.
                if (row == count)
                    for (const std::string& line : below) {
                        report_print_at(line, NOTE_COLUMN);
                        report_next_line();
                    }
            },
            lines_of, true);
    }
    void write_csv(const std::string& first_line)
    {
        csv_add_text(first_line);
        report_next_line();
        report_rule();
        csv_add_text("Node");
        csv_add_text("Load case");
        csv_add_text(label_with_unit(stress_heading(), STRESS));
        if (!no_code())
            csv_add_text(label_with_unit("Allowable", STRESS));
        if (ratios_shown())
            csv_add_text("Ratio (%)");
        report_next_line();
        for (const StressRow& r : rows) {
            csv_add_text(node_of(r));
            csv_add_text(case_text(r));
            csv_add_cell(stress_text(r.stress));
            if (!no_code())
                csv_add_text(allowable_text(r));
            if (ratios_shown())
                csv_add_cell(percent_text(r));
            report_next_line();
        }
        for (const std::string& note : notes()) {
            csv_add_text(note);
            report_next_line();
        }
        report_rule();
    }

private:
    // Over the allowable: red on screen, inverted in print; above a set
    // display threshold: blue on screen. Colour-coded, the sorted
    // stresses' cells are filled with the colour of their value on the
    // view's scale instead (a light shade, so that the text stays legible).
    void mark(const StressRow& r, bool ratio_cell, int row, int column)
    {
        const StressDisplayFlags& f = stress_display_flags();
        const auto& scale_colour = results_hooks().scale_colour;
        const bool coded = result_kind == RESULT_SORTED_STRESSES && f.colour_coding && scale_colour;
        if (ratio_cell && over(r))
            tprint_highlight_cell(*this, row, column, 0);
        if (coded) {
            if (ratio_cell && !r.checked)
                return;
            const Color c = ratio_cell ? scale_colour(r.percent(), 0.0, 100.0)
                                       : scale_colour(r.stress, range.smallest, range.largest);
            table_set_cell_background(*this, rgb((c.r + 255) / 2, (c.g + 255) / 2, (c.b + 255) / 2));
            return;
        }
        if (ratio_cell && over(r)) {
            table_set_text_color(*this, OVER_ALLOWABLE);
            return;
        }
        const bool above = ratio_cell ? f.ratio_threshold > 0.0f && ratio_marked(r.percent())
                                      : f.stress_threshold != 0.0f && stress_marked(r.stress);
        if (above)
            table_set_text_color(*this, ABOVE_THRESHOLD);
    }
};

class SortedStressTable final : public StressRowsTable {
public:
    SortedStressTable() : StressRowsTable(RESULT_SORTED_STRESSES) { guide_page = PAGE_SORTED_STRESSES; }
    bool ratios_shown() const override { return !no_code() && stress_display_flags().ratio_column; }
    std::string stress_heading() const override
    {
        if (!no_code())
            return "Stress";
        return no_code_stress_name(stress_display_flags().ratio_kind);
    }
    std::string title_text() const { return "Sorted stresses: " + caption(); }
    std::vector<std::string> notes() const override
    {
        return stress_display_flags().ratio_kind == RATIO_EXPANSION ? scaled_expansion_notes()
                                                                     : std::vector<std::string>{};
    }
    void refresh() override
    {
        rows = current_sorted_stresses();
        adjust();
        table_refresh(*this, title_text(), static_cast<int>(rows.size()), false);
        set_results_title_fixed(title_text());
        if (results_hooks().stresses_refreshed)
            results_hooks().stresses_refreshed();
    }
    std::string print_title() override { return title_text(); }
    bool prepare_print() override
    {
        rows = current_sorted_stresses();
        adjust();
        title = title_text();
        row_count = static_cast<int>(rows.size());
        return !rows.empty();
    }
    void contents_entry() override { add_contents_entry(title_text(), 0); }
    void on_enter() override
    {
        add_item(stress_display_flags().sorted_order == StressOrder::Ratio ? "Sort by &stress" : "Sort by &ratio",
                 CMD_SORTED_STRESS_OPTION);
        add_item(stress_display_flags().ratio_column ? "Hide ra&tios" : "Show ra&tios", CMD_RATIOS_COLUMN);
        refresh_frame_menu();
    }
    void on_leave() override
    {
        Frame& f = results_frame();
        f.menu.remove(CMD_SORTED_STRESS_OPTION);
        f.menu.remove(CMD_RATIOS_COLUMN);
        if (f.window)
            frame_update_menu(f);
        ResultTable::on_leave();
    }
    bool on_key(int key, unsigned mods) override
    {
        if (!no_code() && mods == MOD_NONE && (key == KEY_LEFT || key == KEY_RIGHT)) {
            // Sustained, expansion, occasional (and hoop).
            int32_t& kind = stress_display_flags().ratio_kind;
            const std::vector<int32_t> kinds = sorted_kinds();
            const int count = static_cast<int>(kinds.size());
            const int position = kind == RATIO_SUSTAINED ? 0
                                 : kind == RATIO_EXPANSION ? 1
                                 : kind == RATIO_HOOP && count > 3 ? 3
                                                                   : 2;
            kind = kinds[static_cast<std::size_t>((position + (key == KEY_RIGHT ? 1 : count - 1)) % count)];
            refresh();
            measure_needed = true;
            table_set_focus(*this);
            return true;
        }
        return ResultTable::on_key(key, mods);
    }
    void print_text() override { write_text(title_text(), 3); }
    void print_csv() override { write_csv(title_text()); }
};

class ComplianceTable final : public StressRowsTable {
public:
    ComplianceTable() : StressRowsTable(RESULT_CODE_COMPLIANCE) { guide_page = PAGE_CODE_COMPLIANCE; }
    std::string title_text() const
    {
        return std::string("Code compliance: ") + piping_code_name(piping_code()) +
               (ui().failures_only ? " (over allowable)" : "");
    }
    void refresh() override
    {
        rows = current_compliance_rows();
        adjust();
        table_refresh(*this, title_text(), static_cast<int>(rows.size()), false);
        set_results_title_fixed(title_text());
    }
    std::string print_title() override { return title_text(); }
    bool prepare_print() override
    {
        rows = current_compliance_rows();
        adjust();
        title = title_text();
        row_count = static_cast<int>(rows.size());
        return !rows.empty();
    }
    void contents_entry() override { add_contents_entry("Code compliance", 0); }
    void on_enter() override
    {
        add_item(ui().failures_only ? "Show &all" : "Show &failures only", CMD_SORTED_STRESS_OPTION);
        refresh_frame_menu();
    }
    void on_leave() override
    {
        Frame& f = results_frame();
        f.menu.remove(CMD_SORTED_STRESS_OPTION);
        if (f.window)
            frame_update_menu(f);
        ResultTable::on_leave();
    }
    // What the evaluation said of the model (shown once on screen) and the
    // factors of the expansion stresses.
    std::vector<std::string> notes() const override
    {
        std::vector<std::string> out = code_evaluation_notes(results().code);
        for (std::string& note : scaled_expansion_notes())
            out.push_back(std::move(note));
        return out;
    }
    void print_text() override { write_text("Code compliance", 3); }
    void print_csv() override { write_csv(title_text()); }
};

SortedStressTable& sorted()
{
    return lazy_table<SortedStressTable>(ui().sorted);
}

ComplianceTable& compliance()
{
    return lazy_table<ComplianceTable>(ui().compliance);
}

}  // namespace

void show_code_evaluation_notes()
{
    StressTablesUi& u = ui();
    if (u.notes_shown)
        return;
    u.notes_shown = true;
    for (const std::string& note : code_evaluation_notes(results().code))
        message_info(results_frame().window, note);
}

std::vector<StressRow> current_sorted_stresses()
{
    const CodeStressResults* r = evaluation();
    if (!r)
        return {};
    const StressDisplayFlags& f = stress_display_flags();
    return sorted_stresses(*r, model(), f.ratio_kind, f.sorted_order);
}

StressRange current_sorted_stress_range()
{
    return sorted_stress_range(current_sorted_stresses());
}

std::vector<StressRow> current_compliance_rows()
{
    const CodeStressResults* r = evaluation();
    if (!r)
        return {};
    std::vector<StressRow> rows = code_compliance_rows(*r, model());
    if (ui().failures_only)
        std::erase_if(rows, [](const StressRow& row) { return !over(row); });
    return rows;
}

bool& compliance_failures_only()
{
    return ui().failures_only;
}

void show_sorted_stresses()
{
    sorted().show();
    show_code_evaluation_notes();
}

void show_code_compliance()
{
    compliance().show();
    show_code_evaluation_notes();
}

void print_sorted_stresses()
{
    // Every category that has stresses.
    int32_t& kind = stress_display_flags().ratio_kind;
    const int32_t shown = kind;
    const std::vector<int32_t> kinds = sorted_kinds();
    try {
        for (int32_t k : kinds) {
            kind = k;
            sorted().print();
        }
    } catch (...) {
        kind = shown;
        throw;
    }
    kind = shown;
    if (table_is_shown(sorted()))
        sorted().refresh();
}

void print_code_compliance()
{
    compliance().print();
    if (table_is_shown(compliance()))
        compliance().refresh();
}

void install_stress_result_tables()
{
    ResultsHooks& h = results_hooks();
    h.show[RESULT_SORTED_STRESSES] = show_sorted_stresses;
    h.show[RESULT_CODE_COMPLIANCE] = show_code_compliance;
    result_page_tables()[PAGE_SORTED_STRESSES] = [] { return &sorted_stress_table(); };
    result_page_tables()[PAGE_CODE_COMPLIANCE] = [] { return &code_compliance_table(); };
    h.commands[CMD_SORTED_STRESS_OPTION] = [](int) {
        if (current_result() == RESULT_SORTED_STRESSES) {
            StressOrder& order = stress_display_flags().sorted_order;
            order = order == StressOrder::Ratio ? StressOrder::Stress : StressOrder::Ratio;
            show_sorted_stresses();
            sorted().on_enter();
        } else if (current_result() == RESULT_CODE_COMPLIANCE) {
            ui().failures_only = !ui().failures_only;
            show_code_compliance();
            compliance().on_enter();
        }
    };
    h.commands[CMD_RATIOS_COLUMN] = [](int) {
        if (current_result() != RESULT_SORTED_STRESSES)
            return;
        stress_display_flags().ratio_column = !stress_display_flags().ratio_column;
        show_sorted_stresses();
        sorted().on_enter();
    };
    h.opened.push_back([] { ui().notes_shown = false; });
    h.closing.push_back([] {
        ui().failures_only = false;
        reset_stress_display();
    });
}

bool colour_coding_available()
{
    return in_results() && current_result() == RESULT_SORTED_STRESSES && table_is_shown(sorted()) &&
           !sorted().rows.empty() && results_hooks().scale_colour;
}

void colour_coding_command()
{
    if (!colour_coding_available())
        return;
    if (results_hooks().colouring_off)
        results_hooks().colouring_off();
    StressDisplayFlags& f = stress_display_flags();
    f.colour_coding = !f.colour_coding;
    sorted().refresh();
}

TableWindow& sorted_stress_table()
{
    return sorted();
}

TableWindow& code_compliance_table()
{
    return compliance();
}
