#include "results/ui/hanger_report_ui.h"

#include "analysis/hanger_design.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/units.h"
#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "model/model.h"
#include "model/nodes.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"
#include "results/results_state.h"
#include "results/ui/results_window.h"
#include "supports/hanger.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace {

const char* const TITLE = "Hanger Report";
const char* const NOT_DESIGNED = "Not designed";
constexpr int FIGURE_COLUMN = 5;

// The columns, as data: heading, second heading line (a unit quantity, or a
// fixed text), and the cell of a hanger.
struct Column {
    const char* heading;
    int quantity;            // -1: `fixed` under the heading
    const char* fixed;
    std::string (*cell)(const LayoutRow& row, const Hanger& h);
};

const HangerDesign& design(const Hanger& h)
{
    return h.results_design;
}

bool has_design(const Hanger& h)
{
    const HangerDesign& d = design(h);
    return !d.figure.empty() || d.hot_load != 0.0f;
}

std::string when_designed(const Hanger& h, std::string text)
{
    return has_design(h) ? text : std::string();
}

// What the run said of a hanger it left without a design, as the results
// file carries the notes of its design; null for a hanger it designed or
// did not size.
const HangerNote* not_designed_note(int layout_row)
{
    for (const HangerNote& note : results().run_record.hanger_notes)
        if (note.row == layout_row && !note.designed)
            return &note;
    return nullptr;
}

const std::array<Column, 12> COLUMNS = {{
    {"Node", -1, "", [](const LayoutRow& r, const Hanger&) { return node_text(r.node); }},
    {"Tag", -1, "", [](const LayoutRow&, const Hanger& h) { return h.v.tag; }},
    {"Type", -1, "", [](const LayoutRow&, const Hanger& h) { return std::string(hanger_type_name(h.v.type)); }},
    {"No.", -1, "", [](const LayoutRow&, const Hanger& h) { return int_text(h.v.count); }},
    {"Figure", -1, "", [](const LayoutRow&, const Hanger& h) { return design(h).figure; }},
    {"Size", -1, "", [](const LayoutRow&, const Hanger& h) { return design(h).size; }},
    {"Spring Rate", STIFFNESS, "",
     [](const LayoutRow&, const Hanger& h) {
         return design(h).spring_rate != 0.0f ? format_stiffness(design(h).spring_rate) : std::string();
     }},
    {"Vert. Travel", DISPLACEMENT, "",
     [](const LayoutRow&, const Hanger& h) { return when_designed(h, format_displacement_g5(design(h).vertical_travel)); }},
    {"Horz. Travel", DISPLACEMENT, "",
     [](const LayoutRow&, const Hanger& h) {
         return when_designed(h, format_displacement_g5(design(h).horizontal_travel));
     }},
    {"Cold Load", FORCE, "",
     [](const LayoutRow&, const Hanger& h) { return when_designed(h, format_force(design(h).cold_load)); }},
    {"Hot Load", FORCE, "",
     [](const LayoutRow&, const Hanger& h) { return when_designed(h, format_force(design(h).hot_load)); }},
    {"Variation", -1, "(%)",
     [](const LayoutRow&, const Hanger& h) {
         const HangerDesign& d = design(h);
         if (!(d.hot_load > 0.0f) || d.spring_rate == 0.0f)
             return std::string();
         return c_format("%.1f", std::fabs(d.spring_rate * d.vertical_travel / d.hot_load) * 100.0);
     }},
}};

class HangerReportTable final : public TableWindow {
public:
    HangerReportTable() : TableWindow(&results_frame(), static_cast<int>(COLUMNS.size()), 2)
    {
        editing_allowed = false;
        view_only = true;
    }
    void on_help(WindowId owner) override { open_result_page(PAGE_HANGER_REPORT, owner); }

    // The hanger rows of the model, in row order (slot 0 unused).
    void collect()
    {
        row_list.assign(1, 0);
        for (int r = 1; r <= numrows(); ++r)
            if (dynamic_cast<const Hanger*>(model().rows[r].data.get()))
                row_list.push_back(r);
    }
    int hangers() const { return static_cast<int>(row_list.size()) - 1; }

    std::string header_text(int column, int line) override
    {
        if (column < 1 || column > columns())
            return {};
        const Column& c = COLUMNS[static_cast<std::size_t>(column - 1)];
        if (line == 0)
            return c.heading;
        if (line == 1)
            return c.quantity >= 0 ? unit_label(c.quantity) : c.fixed;
        return {};
    }
    // The figure of a hanger the run did not design says so: on screen and
    // in CSV with the reason, on paper and in the text report alone, the
    // reason under the row (row_note).
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || row < 1 || row > hangers() || column < 1 || column > columns())
            return {};
        const int layout_row = row_list[static_cast<std::size_t>(row)];
        if (const HangerNote* note = not_designed_note(layout_row); note && column == FIGURE_COLUMN) {
            const ReportState& report = report_state();
            if ((report.printing_pages || report.text_report) && !report.csv_mode)
                return NOT_DESIGNED;
            return std::string(NOT_DESIGNED) + ": the hanger " + hanger_note_text(*note, unit_choice());
        }
        const LayoutRow& r = model().rows[layout_row];
        const auto* h = dynamic_cast<const Hanger*>(r.data.get());
        return h ? COLUMNS[static_cast<std::size_t>(column - 1)].cell(r, *h) : std::string();
    }
    std::string row_note(int row) override
    {
        const HangerNote* note =
            row >= 1 && row <= hangers() ? not_designed_note(row_list[static_cast<std::size_t>(row)]) : nullptr;
        return note ? "The hanger " + hanger_note_text(*note, unit_choice()) : std::string();
    }
    int row_node(int row) override
    {
        return row >= 1 && row <= hangers() ? model().rows[row_list[static_cast<std::size_t>(row)]].node : 0;
    }
    bool on_key(int key, unsigned mods) override
    {
        if (key == KEY_TAB) {
            cycle_result(mods);
            return true;
        }
        return table_on_key(*this, key, mods);
    }
    void on_row_changed(int row) override
    {
        if (row >= 1 && row <= hangers() && results_hooks().highlight_row)
            results_hooks().highlight_row(row_list[static_cast<std::size_t>(row)]);
    }
    void on_leave() override
    {
        if (results_hooks().highlight_erase)
            results_hooks().highlight_erase();
    }
    void on_load_case_changed() override {}
    void context_menu(Point) override { table_popup_menu(*this, plain_results_popup()); }
    void contents_entry() override { add_contents_entry("Hanger report", 0); }
    void print() override
    {
        const ReportState& s = report_state();
        if (s.printing_pages)
            table_print(*this, TITLE, hangers());
        else if (s.text_report && s.csv_mode)
            print_csv();
        else if (s.text_report)
            print_text();
    }
    void print_text() override { table_print_text(*this, TITLE, hangers()); }
    void print_csv() override { table_print_csv(*this, TITLE, hangers()); }
};

struct HangerReportUi {
    std::unique_ptr<HangerReportTable> table;
};

HangerReportUi& ui()
{
    return session_part<HangerReportUi>();
}

HangerReportTable& table()
{
    auto& t = ui().table;
    if (!t)
        t = std::make_unique<HangerReportTable>();
    return *t;
}

}  // namespace

TableWindow& hanger_report_table()
{
    return table();
}

void show_hanger_report()
{
    HangerReportTable& t = table();
    t.collect();
    t.measure_needed = true;
    set_current_result(RESULT_HANGER_REPORT);
    const int rows = std::max(1, t.hangers());
    table_show_at(t, TITLE, t.hangers(), std::clamp(t.current_row, 1, rows), 0);
    set_results_title_fixed(TITLE);
    table_window_show(t);
}

void install_hanger_report()
{
    results_hooks().show[RESULT_HANGER_REPORT] = [] { show_hanger_report(); };
    result_page_tables()[PAGE_HANGER_REPORT] = [] { return &hanger_report_table(); };
    // Its part of the results report.
    results_hooks().print[RESULT_HANGER_REPORT] = [] {
        HangerReportTable& t = table();
        t.collect();
        t.measure_needed = true;
        t.print();
    };
}
