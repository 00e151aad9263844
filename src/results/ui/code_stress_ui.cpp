#include "results/ui/code_stress_ui.h"

#include "analysis_core/analysis_model.h"
#include "codes/code_driver.h"
#include "codes/code_evaluation.h"
#include "elements/flange.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/unit_choices.h"
#include "framework/units.h"
#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/nodes.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const CodeStressEvaluation* evaluation()
{
    return results().code.stresses.get();
}

std::string node_name(int node)
{
    return model().nodes.valid(node) ? node_text(model().nodes[node].number) : std::string();
}

std::string percent_text(double percent)
{
    return format_real(percent, 7, 1);
}

// What every table here does alike: Tab to the next result, the element's
// row highlighted, the print in its three forms under its title.
class CodeTable : public TableWindow {
public:
    CodeTable(int page, int columns, int text_lines)
        : TableWindow(&results_frame(), columns, 2, {}, text_lines), guide_page(page)
    {
        editing_allowed = false;
        view_only = true;
    }
    int guide_page;   // ResultPageId
    int rows = 0;

    virtual int row_layout_row(int /*row*/) { return 0; }
    virtual void step(bool /*next*/) {}
    bool on_key(int key, unsigned mods) override
    {
        if (key == KEY_TAB) {
            cycle_result(mods);
            return true;
        }
        if (key == KEY_LEFT || key == KEY_RIGHT) {
            step(key == KEY_RIGHT);
            return true;
        }
        return table_on_key(*this, key, mods);
    }
    void on_row_changed(int row) override
    {
        const int layout_row = row_layout_row(row);
        if (layout_row && results_hooks().highlight_row)
            results_hooks().highlight_row(layout_row);
    }
    void on_leave() override
    {
        remove_load_case_menu_items();
        if (results_hooks().highlight_erase)
            results_hooks().highlight_erase();
    }
    void on_enter() override { add_load_case_menu_items(); }
    void context_menu(Point) override { table_popup_menu(*this, load_case_results_popup()); }
    void contents_entry() override { add_contents_entry(title, 1); }
    void on_help(WindowId owner) override { open_result_page(guide_page, owner); }
    void print() override
    {
        const ReportState& s = report_state();
        if (s.printing_pages)
            table_print(*this, title, rows);
        else if (s.text_report && s.csv_mode)
            table_print_csv(*this, title, rows);
        else if (s.text_report)
            table_print_text(*this, title, rows);
    }
    void print_text() override { table_print_text(*this, title, rows); }
    void print_csv() override { table_print_csv(*this, title, rows); }

    void show_rows(const std::string& heading, int count)
    {
        rows = count;
        measure_needed = true;
        table_show_at(*this, heading, count, std::clamp(current_row, 1, std::max(count, 1)), 0);
        set_results_title_fixed(heading);
        table_window_show(*this);
    }
};

// ---- Branch connections ---------------------------------------------------------------

class BranchTable final : public CodeTable {
public:
    BranchTable() : CodeTable(PAGE_BRANCH_CONNECTION, 8, 1) {}
    std::vector<int32_t> cases;
    int case_index = 1;
    std::vector<BranchConnectionRow> data;

    int32_t code() const
    {
        return case_index >= 1 && case_index <= static_cast<int>(cases.size())
                   ? cases[static_cast<std::size_t>(case_index - 1)]
                   : 0;
    }
    std::string header_text(int column, int line) override
    {
        static const char* heads[8] = {"Node", "Branch M", "Run M", "SIF", "B2", "Stress", "Allowable", "Ratio"};
        if (column < 1 || column > 8)
            return {};
        if (line == 0)
            return heads[column - 1];
        if (line == 1) {
            if (column == 2 || column == 3)
                return unit_label(MOMENT);
            if (column == 6 || column == 7)
                return unit_label(STRESS);
            if (column == 8)
                return "%";
        }
        return {};
    }
    std::string cell_text(int r, int column, int line) override
    {
        if (line != 0 || r < 1 || r > static_cast<int>(data.size()))
            return {};
        const BranchConnectionRow& b = data[static_cast<std::size_t>(r - 1)];
        switch (column) {
        case 1: return node_name(b.node);
        case 2: return format_moment_integer(b.stress.branch_moment);
        case 3: return format_moment_integer(b.stress.run_moment);
        case 4: return format_factor_above_one(b.sif);
        case 5: return format_real(b.indices.b2, 7, 2);
        case 6: return format_stress(b.stress.stress);
        case 7:
            if (b.checked)
                return format_stress(b.allowable);
            return b.unchecked != Unchecked::None ? not_checked_text(b.unchecked) : std::string();
        case 8: return b.checked && b.allowable > 0.0 ? percent_text(100.0 * b.stress.stress / b.allowable) : "";
        default: return {};
        }
    }
    int row_layout_row(int r) override
    {
        if (r < 1 || r > static_cast<int>(data.size()))
            return 0;
        const int node = data[static_cast<std::size_t>(r - 1)].node;
        return model().nodes.valid(node) ? model().nodes[node].row : 0;
    }
    int row_node(int r) override
    {
        return r >= 1 && r <= static_cast<int>(data.size())
                   ? model().nodes[data[static_cast<std::size_t>(r - 1)].node].number
                   : 0;
    }
    void step(bool next) override
    {
        const int n = static_cast<int>(cases.size());
        if (n == 0)
            return;
        case_index = next ? (case_index >= n ? 1 : case_index + 1) : (case_index <= 1 ? n : case_index - 1);
        refresh();
    }
    void on_load_case_changed() override
    {
        // The results' case when it is one of the table's.
        const auto it = std::find(cases.begin(), cases.end(), results_loadcase_code());
        if (it != cases.end())
            case_index = static_cast<int>(it - cases.begin()) + 1;
        refresh();
    }
    void refresh();
};

void BranchTable::refresh()
{
    data.clear();
    const CodeStressEvaluation* ev = evaluation();
    if (ev && ev->model && code() != 0) {
        OneBased<ElementForceRecord> forces, sustained;
        read_load_case_forces_of(code(), forces);
        const bool occasional = case_stress(code()) == CaseStress::Occasional;
        if (occasional)
            read_load_case_forces_of(LC_SUSTAINED, sustained);
        data = branch_connection_rows(*ev->model, ev->results, code(), forces, occasional ? &sustained : nullptr);
    }
    show_rows(code() ? "Branch connection stresses: " + load_case_names(code()) : "Branch connection stresses",
              static_cast<int>(data.size()));
}

// ---- FRP stresses ---------------------------------------------------------------------

const FrpCaseStresses* frp_case()
{
    const CodeStressEvaluation* ev = evaluation();
    return ev ? ev->results.find_frp(results_loadcase_code()) : nullptr;
}

class FrpTable final : public CodeTable {
public:
    FrpTable() : CodeTable(PAGE_FRP_STRESSES, 7, 2) {}
    std::string header_text(int column, int line) override
    {
        static const char* heads[7] = {"Node", "Hoop", "Axial", "Torsion", "Hoop", "Axial", "Torsion"};
        if (column < 1 || column > 7)
            return {};
        if (line == 0)
            return heads[column - 1];
        if (line == 1 && column >= 2)
            return column <= 4 ? unit_label(STRESS) : "ratio %";
        return {};
    }
    std::string cell_text(int r, int column, int line) override
    {
        const ResultsState& res = results();
        if (r < 1 || r > res.numfrp() || line < 0 || line > 1)
            return {};
        const int e = res.lists.frp[r];
        const ResultsElement& el = res.elements[e];
        if (column == 1)
            return node_name(line == 0 ? el.node1 : el.node2);
        const FrpCaseStresses* c = frp_case();
        if (!c || !c->ends.valid(e))
            return {};
        const FrpEndStress& s = c->ends[e][static_cast<std::size_t>(line)];
        switch (column) {
        case 2: return format_stress(s.hoop);
        case 3: return format_stress(s.axial);
        case 4: return format_stress(s.torsion);
        case 5: return s.allowable.hoop > 0.0 ? percent_text(100.0 * s.hoop_ratio) : "";
        case 6: return s.allowable.axial > 0.0 ? percent_text(100.0 * s.axial_ratio) : "";
        case 7: return s.allowable.torsion > 0.0 ? percent_text(100.0 * s.torsion_ratio) : "";
        default: return {};
        }
    }
    int row_layout_row(int r) override
    {
        const ResultsState& res = results();
        return r >= 1 && r <= res.numfrp() ? res.elements[res.lists.frp[r]].row : 0;
    }
    std::vector<int> row_nodes(int r) override
    {
        const ResultsState& res = results();
        if (r < 1 || r > res.numfrp())
            return {};
        const ResultsElement& el = res.elements[res.lists.frp[r]];
        return {model().nodes[el.node1].number, model().nodes[el.node2].number};
    }
    void step(bool next) override
    {
        next ? next_load_case() : previous_load_case();
        results_load_case_changed();
    }
    void on_load_case_changed() override { refresh(); }
    void refresh()
    {
        rows = results().numfrp();
        measure_needed = true;
        table_show_at(*this, "FRP stresses", rows, std::clamp(current_row, 1, std::max(rows, 1)), 0);
        set_results_title("FRP stresses");
        table_window_show(*this);
    }
};

// The sorted FRP list: every FRP element end once with the quantities of its
// case of the largest ratio (the FRP records).
struct SortedFrpRow {
    int k = 0;       // FRP record index
    int end = 0;
    double key = 0.0;
};

const char* const SORTED_FRP_KINDS[4] = {"Largest ratio", "Hoop ratio", "Axial ratio", "Torsion ratio"};

class SortedFrpTable final : public CodeTable {
public:
    SortedFrpTable() : CodeTable(PAGE_SORTED_FRP_STRESSES, 7, 1) {}
    int kind = 0;
    std::vector<SortedFrpRow> data;

    double value(int k, int end, int v) const
    {
        const FrpRecords& frp = results().code.frp;
        const CodeValue& c = frp.values[static_cast<std::size_t>(v)][k][static_cast<std::size_t>(end)];
        return c.evaluated ? c.value : 0.0;
    }
    bool has(int k, int end) const
    {
        return results().code.frp.values[FRP_LARGEST_RATIO][k][static_cast<std::size_t>(end)].evaluated;
    }
    std::string header_text(int column, int line) override
    {
        static const char* heads[7] = {"Node", "Load case", "Hoop", "Axial", "Torsion", "Ratio", ""};
        if (column < 1 || column > 6)
            return {};
        if (line == 0)
            return heads[column - 1];
        if (line == 1 && column >= 3 && column <= 5)
            return unit_label(STRESS);
        if (line == 1 && column == 6)
            return "%";
        return {};
    }
    std::string cell_text(int r, int column, int line) override
    {
        if (line != 0 || r < 1 || r > static_cast<int>(data.size()))
            return {};
        const SortedFrpRow& s = data[static_cast<std::size_t>(r - 1)];
        const FrpRecords& frp = results().code.frp;
        switch (column) {
        case 1: return node_name(frp.nodes.valid(s.k) ? frp.nodes[s.k][static_cast<std::size_t>(s.end)] : 0);
        case 2: return load_case_names(static_cast<int>(value(s.k, s.end, FRP_LOAD_CASE)));
        case 3: return format_stress(value(s.k, s.end, FRP_HOOP));
        case 4: return format_stress(value(s.k, s.end, FRP_AXIAL));
        case 5: return format_stress(value(s.k, s.end, FRP_TORSION));
        case 6: return percent_text(100.0 * s.key);
        default: return {};
        }
    }
    int row_layout_row(int r) override
    {
        if (r < 1 || r > static_cast<int>(data.size()))
            return 0;
        const FrpRecords& frp = results().code.frp;
        const int k = data[static_cast<std::size_t>(r - 1)].k;
        return frp.elements.valid(k) ? results().elements[frp.elements[k]].row : 0;
    }
    void step(bool next) override
    {
        kind = next ? (kind + 1) % 4 : (kind + 3) % 4;
        refresh();
    }
    void on_load_case_changed() override {}
    void refresh()
    {
        static constexpr int VALUE_OF_KIND[4] = {FRP_LARGEST_RATIO, FRP_HOOP_RATIO, FRP_AXIAL_RATIO,
                                                 FRP_TORSION_RATIO};
        data.clear();
        const FrpRecords& frp = results().code.frp;
        for (int k = 1; k <= frp.count(); ++k)
            for (int end = 0; end < 2; ++end)
                if (frp.values[0].valid(k) && has(k, end))
                    data.push_back({k, end, value(k, end, VALUE_OF_KIND[kind])});
        std::stable_sort(data.begin(), data.end(),
                         [](const SortedFrpRow& a, const SortedFrpRow& b) { return a.key > b.key; });
        show_rows(std::string("Sorted FRP stresses: ") + SORTED_FRP_KINDS[kind], static_cast<int>(data.size()));
    }
};

// ---- Flange report --------------------------------------------------------------------

class FlangeTable final : public CodeTable {
public:
    FlangeTable() : CodeTable(PAGE_FLANGE_REPORT, 11, 1) {}
    std::vector<FlangeLoadRow> data;

    std::string header_text(int column, int line) override
    {
        static const char* heads[11] = {"Node",     "Type",      "Load case", "Axial", "Moment", "Pressure",
                                        "Equiv P", "Total P",   "Allow P",   "Ratio", ""};
        if (column < 1 || column > 10)
            return {};
        if (line == 0)
            return heads[column - 1];
        if (line == 1)
            switch (column) {
            case 4: return unit_label(FORCE);
            case 5: return unit_label(MOMENT);
            case 6:
            case 7:
            case 8:
            case 9: return unit_label(PRESSURE);
            case 10: return "%";
            default: break;
            }
        return {};
    }
    std::string cell_text(int r, int column, int line) override
    {
        if (line != 0 || r < 1 || r > static_cast<int>(data.size()))
            return {};
        const FlangeLoadRow& f = data[static_cast<std::size_t>(r - 1)];
        const auto* flange = dynamic_cast<const Flange*>(model().rows[f.row].data.get());
        switch (column) {
        case 1: return node_name(f.node);
        case 2: return flange ? flange_type_name(flange->flange_type) : "";
        case 3: return load_case_names(f.load_case);
        case 4: return format_force_integer(f.axial);
        case 5: return format_moment_integer(f.moment);
        case 6: return format_pressure(f.pressure);
        case 7: return format_pressure(f.equivalent);
        case 8: return format_pressure(f.total());
        case 9: return f.allowable > 0.0 ? format_pressure(f.allowable) : "";
        case 10: return f.checked ? percent_text(f.percent()) : "";
        default: return {};
        }
    }
    int row_layout_row(int r) override
    {
        return r >= 1 && r <= static_cast<int>(data.size()) ? data[static_cast<std::size_t>(r - 1)].row : 0;
    }
    int row_node(int r) override
    {
        return r >= 1 && r <= static_cast<int>(data.size())
                   ? model().nodes[data[static_cast<std::size_t>(r - 1)].node].number
                   : 0;
    }
    void on_enter() override {}
    void on_leave() override
    {
        if (results_hooks().highlight_erase)
            results_hooks().highlight_erase();
    }
    void context_menu(Point) override { table_popup_menu(*this, plain_results_popup()); }
    void on_load_case_changed() override {}
    void refresh()
    {
        data.clear();
        const CodeStressEvaluation* ev = evaluation();
        if (ev && ev->model) {
            std::vector<int32_t> codes;
            for (const ResultsLoadCase& c : results().load_cases)
                codes.push_back(c.code);
            data = flange_report_rows(*ev->model, flange_report_cases(codes),
                                      [](int32_t code, OneBased<ElementForces>& out) {
                                          read_load_case_forces_of(code, out);
                                      });
        }
        // The flanges in the order of their largest ratio (the results'
        // flange index list), each flange's cases together.
        ResultsState& res = results();
        std::vector<std::pair<double, int>> order;   // largest percent, first row of the flange
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (i > 0 && data[i].row == data[i - 1].row) {
                order.back().first = std::max(order.back().first, data[i].percent());
                continue;
            }
            order.push_back({data[i].percent(), static_cast<int>(i)});
        }
        std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        std::vector<FlangeLoadRow> sorted;
        int k = 0;
        for (const auto& [percent, first] : order) {
            (void)percent;
            for (std::size_t i = static_cast<std::size_t>(first); i < data.size() && data[i].row == data[first].row; ++i)
                sorted.push_back(data[i]);
            if (res.flange_index.valid(++k))
                res.flange_index[k] = first;
        }
        data = std::move(sorted);
        show_rows("Flange report", static_cast<int>(data.size()));
    }
};

struct CodeStressUi {
    BranchTable branch;
    FrpTable frp;
    SortedFrpTable sorted_frp;
    FlangeTable flanges;
};

CodeStressUi& ui()
{
    return session_part<CodeStressUi>();
}

void choose_branch_load_case(WindowId owner)
{
    BranchTable& t = ui().branch;
    const int n = static_cast<int>(t.cases.size());
    if (n == 0)
        return;
    const auto [width, height] = load_cases_chooser_size(n);
    RadioListChoice choice{load_cases_chooser_template(n), "Load cases", {}, t.case_index, width, height};
    for (int32_t code : t.cases)
        choice.entries.push_back(load_case_names(code));
    const int chosen = run_radio_list(choice, owner);
    if (chosen == 0)
        return;
    t.case_index = chosen;
    t.refresh();
}

}  // namespace

void show_branch_connection_table()
{
    BranchTable& t = ui().branch;
    const CodeStressEvaluation* ev = evaluation();
    t.cases = ev ? branch_connection_load_cases(ev->results) : std::vector<int32_t>{};
    const auto it = std::find(t.cases.begin(), t.cases.end(), results_loadcase_code());
    t.case_index = it != t.cases.end() ? static_cast<int>(it - t.cases.begin()) + 1 : 1;
    set_current_result(RESULT_BRANCH_CONNECTION);
    t.refresh();
}

void show_frp_stresses()
{
    set_current_result(RESULT_FRP_STRESSES);
    ui().frp.refresh();
}

void show_sorted_frp_stresses()
{
    set_current_result(RESULT_SORTED_FRP_STRESSES);
    ui().sorted_frp.refresh();
}

void show_flange_report()
{
    set_current_result(RESULT_FLANGE_REPORT);
    ui().flanges.refresh();
}

TableWindow* branch_connection_table()
{
    return &ui().branch;
}
TableWindow* frp_stresses_table()
{
    return &ui().frp;
}
TableWindow* sorted_frp_stresses_table()
{
    return &ui().sorted_frp;
}
TableWindow* flange_report_table()
{
    return &ui().flanges;
}
int32_t branch_connection_load_case()
{
    return ui().branch.code();
}
const std::vector<BranchConnectionRow>& branch_connection_shown_rows()
{
    return ui().branch.data;
}
int sorted_frp_kind()
{
    return ui().sorted_frp.kind;
}
const std::vector<FlangeLoadRow>& flange_report_shown_rows()
{
    return ui().flanges.data;
}

void install_code_stress_tables()
{
    ResultsHooks& h = results_hooks();
    h.show[RESULT_BRANCH_CONNECTION] = [] { show_branch_connection_table(); };
    h.choose_load_case[RESULT_BRANCH_CONNECTION] = [](WindowId owner) { choose_branch_load_case(owner); };
    h.show[RESULT_FRP_STRESSES] = [] { show_frp_stresses(); };
    h.show[RESULT_SORTED_FRP_STRESSES] = [] { show_sorted_frp_stresses(); };
    h.show[RESULT_FLANGE_REPORT] = [] { show_flange_report(); };
    auto& pages = result_page_tables();
    pages[PAGE_BRANCH_CONNECTION] = branch_connection_table;
    pages[PAGE_FRP_STRESSES] = frp_stresses_table;
    pages[PAGE_SORTED_FRP_STRESSES] = sorted_frp_stresses_table;
    pages[PAGE_FLANGE_REPORT] = flange_report_table;
    ResultItemCommands sorted;
    sorted.next = [] { ui().sorted_frp.step(true); };
    sorted.previous = [] { ui().sorted_frp.step(false); };
    sorted.tip = [](int command) -> std::string {
        if (command == 330)
            return "Next ratio";
        if (command == 331)
            return "Previous ratio";
        return {};
    };
    set_result_item_commands(RESULT_SORTED_FRP_STRESSES, sorted);
}
