#include "results/ui/result_table.h"

#include "framework/number_text.h"
#include "framework/units.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "model/model.h"
#include "model/nodes.h"
#include "results/results_load_cases.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <algorithm>
#include <cmath>
#include <optional>

ResultTable::ResultTable(int kind, int columns, int header_lines, int text_lines)
    : TableWindow(&results_frame(), columns, header_lines, {}, text_lines), result_kind(kind)
{
    editing_allowed = false;
    view_only = true;
}

void ResultTable::show(int select)
{
    set_current_result(result_kind);
    refresh();
    if (select > 0)
        table_goto_row(*this, std::min(select, std::max(1, row_count)), 0, false);
    measure_needed = true;
    table_window_show(*this);
    if (results_hooks().highlight_row)
        if (const int row = highlight_layout_row(current_row))
            results_hooks().highlight_row(row);
}

int LayoutRowsResultTable::layout_row(int row) const
{
    return row >= 1 && row <= static_cast<int>(rows.size()) ? rows[static_cast<std::size_t>(row - 1)] : 0;
}

int LayoutRowsResultTable::row_node(int row)
{
    const int r = layout_row(row);
    return model().rows.valid(r) ? model().rows[r].node : 0;
}

void add_popup_item(MenuItem& popup, const std::string& text, int id)
{
    MenuItem i;
    i.text = text;
    i.id = id;
    popup.items.push_back(i);
}

bool several_force_kinds()
{
    const ResultsState& r = results();
    int kinds = 0;
    for (int n : {r.numpipes(), r.numbeams(), r.numfrp(), r.numothers()})
        kinds += n > 0 ? 1 : 0;
    return kinds > 1;
}

void ResultTable::on_help(WindowId owner)
{
    if (guide_page >= 0)
        open_result_page(guide_page, owner);
    else
        TableWindow::on_help(owner);
}

void ResultTable::on_enter()
{
    switch (menus) {
    case ResultMenus::Plain: break;
    case ResultMenus::LoadCases: add_load_case_menu_items(); break;
    case ResultMenus::Forces: break;   // the force tables add their own
    case ResultMenus::Supports: add_support_menu_items(); break;
    case ResultMenus::Summary: break;  // the support items stay from the chooser
    case ResultMenus::Displacements:
        add_displacement_menu_items();
        add_load_case_menu_items();
        break;
    }
}

void ResultTable::on_leave()
{
    switch (menus) {
    case ResultMenus::Plain: break;
    case ResultMenus::LoadCases: remove_load_case_menu_items(); break;
    case ResultMenus::Forces: remove_force_menu_items(); break;
    case ResultMenus::Supports: remove_support_menu_items(); break;
    case ResultMenus::Summary: remove_summary_menu_items(); break;
    case ResultMenus::Displacements:
        remove_displacement_menu_items();
        remove_load_case_menu_items();
        break;
    }
    if (results_hooks().highlight_erase)
        results_hooks().highlight_erase();
}

bool ResultTable::on_key(int key, unsigned mods)
{
    if (key == KEY_TAB) {
        cycle_result(mods);
        return true;
    }
    const bool cases = menus != ResultMenus::Plain && menus != ResultMenus::Summary;
    if (cases && mods == MOD_NONE && (key == KEY_LEFT || key == KEY_RIGHT)) {
        key == KEY_LEFT ? previous_load_case() : next_load_case();
        results_load_case_changed();
        return true;
    }
    return table_on_key(*this, key, mods);
}

void ResultTable::on_row_changed(int row)
{
    if (const int layout_row = highlight_layout_row(row); layout_row && results_hooks().highlight_row)
        results_hooks().highlight_row(layout_row);
}

void ResultTable::on_load_case_changed()
{
    refresh();
    measure_needed = true;
    table_set_focus(*this);
}

void ResultTable::context_menu(Point)
{
    switch (menus) {
    case ResultMenus::Plain: table_popup_menu(*this, plain_results_popup()); break;
    case ResultMenus::Summary: table_popup_menu(*this, support_summary_popup()); break;
    default: table_popup_menu(*this, load_case_results_popup()); break;
    }
}

void ResultTable::adjust_widths()
{
    for (const auto& [first, last] : equal_widths)
        equalize_widths(widths, first, last);
    for (int c : hidden)
        if (c >= 1 && c < static_cast<int>(widths.size()))
            widths[static_cast<std::size_t>(c)] = 0;
}

void ResultTable::measure_window(Surface& dc)
{
    TableWindow::measure_window(dc);
    adjust_widths();
}

void ResultTable::measure_print(Surface& dc)
{
    TablePrint::measure_print(dc);
    adjust_widths();
}

void ResultTable::print()
{
    if (!prepare_print())
        return;
    measure_needed = true;
    const ReportState& s = report_state();
    if (s.printing_pages)
        table_print(*this, print_title(), print_count());
    else if (s.text_report && s.csv_mode)
        print_csv();
    else if (s.text_report)
        print_text();
}

// ---- Text-report helpers ---------------------------------------------------------------------

void report_rows(int keep, const std::function<void()>& header, const std::string& contents, int contents_level,
                 int count, const std::function<void(int row)>& write_row, int row_lines, bool rows_apart)
{
    std::function<int(int)> lines_of;
    if (row_lines > 0)
        lines_of = [row_lines](int) { return row_lines; };
    report_rows_kept(std::max(keep, row_lines), header, contents, contents_level, count, write_row, lines_of,
                     rows_apart);
}

void report_rows_kept(int keep, const std::function<void()>& header, const std::string& contents,
                      int contents_level, int count, const std::function<void(int row)>& write_row,
                      const std::function<int(int row)>& lines_of, bool rows_apart)
{
    std::optional<ReportRowsApart> apart;
    if (rows_apart)
        apart.emplace(count, write_row);
    {
        // The heading with its first row whole.
        ReportTable table(header, std::max({keep, lines_of && count > 0 ? lines_of(1) : 1, 1}));
        report_contents_line(contents, contents_level);
        for (int r = 1; r <= count; ++r) {
            if (lines_of)
                table.keep(lines_of(r));
            if (apart)
                apart->write(r);
            else
                write_row(r);
        }
    }
    if (report_current_line() != REPORT_FIRST_LINE)
        report_rule();
}

void report_right(std::string_view text, int end)
{
    if (!text.empty())
        report_print_right(text, end);
}

void report_node_at(int number, int column)
{
    char text[NUMBER_TEXT_SIZE];
    report_print_at(std::string_view(text, static_cast<std::size_t>(write_node_text(text, number) - text)), column);
}

void add_load_case_contents_entry(const std::string& text)
{
    add_contents_entry(text + ": " + results_loadcase_name(), 1);
}

void report_number_right(const ShownReal& shown, int end)
{
    if (std::isfinite(shown.value))
        report_real_right(shown, end);
}

void csv_cells(std::initializer_list<std::string> texts)
{
    for (const std::string& t : texts)
        csv_add_cell(t);
}

void csv_plain_table(TablePrint& t, const std::string& first_line, int rows, const std::vector<int>& values)
{
    csv_add_text(first_line);
    report_next_line();
    for (int c = 1; c <= t.columns(); ++c)
        csv_add_text(t.header_text(c, 0));
    report_next_line();
    for (int row = 1; row <= rows; ++row) {
        t.prepare_row(row);
        for (int c = 1; c <= t.columns(); ++c) {
            const std::string text = t.cell_text(row, c, 0);
            std::find(values.begin(), values.end(), c) != values.end() ? csv_add_cell(text) : csv_add_text(text);
        }
        report_next_line();
    }
    report_rule();
}
