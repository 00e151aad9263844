#include "results/ui/accelerations_ui.h"

#include "framework/state.h"
#include "framework/text.h"
#include "framework/units.h"
#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "model/model.h"
#include "model/nodes.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <algorithm>
#include <memory>

namespace {

const char* const TITLE = "Accelerations: Response spectrum";
const char* const PRINT_TITLE = "Response spectrum accelerations";
constexpr double G = 386.4;   // in/s2

int node_count()
{
    return results().results_nodes.size();
}

std::string acceleration_text(int row, int d)
{
    const int32_t node = results().results_nodes[row];
    return format_real(results().displacements[node][static_cast<std::size_t>(d)] / G, 10, 3);
}

std::string node_of_row(int row)
{
    const int32_t node = results().results_nodes[row];
    return model().nodes.valid(node) ? node_text(model().nodes[node].number) : std::string();
}

void print_heading()
{
    report_print_centred(PRINT_TITLE, 6, 78);
    report_next_line();
    report_rule();
    report_print_at("(g's)", 27);
    report_next_line();
    report_print_at("Node", 6);
    report_put_char('X', 18);
    report_put_char('Y', 29);
    report_put_char('Z', 40);
    report_next_line();
    report_rule();
}

class AccelerationsTable final : public TableWindow {
public:
    AccelerationsTable() : TableWindow(&results_frame(), 4, 1)
    {
        editing_allowed = false;
        view_only = true;
    }

    std::string header_text(int column, int line) override
    {
        static const char* const HEADINGS[] = {"", "Node", "X(g's)", "Y(g's)", "Z(g's)"};
        return line == 0 && column >= 1 && column <= 4 ? HEADINGS[column] : std::string();
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || row < 1 || row > node_count() || column < 1 || column > 4)
            return {};
        return column == 1 ? node_of_row(row) : acceleration_text(row, column - 2);
    }
    int row_node(int row) override
    {
        if (row < 1 || row > node_count())
            return 0;
        const int32_t node = results().results_nodes[row];
        return model().nodes.valid(node) ? model().nodes[node].number : 0;
    }
    void measure_window(Surface& dc) override
    {
        TableWindow::measure_window(dc);
        equalise();
    }
    void measure_print(Surface& dc) override
    {
        TableWindow::measure_print(dc);
        equalise();
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
        if (row >= 1 && row <= node_count() && results_hooks().highlight_node)
            results_hooks().highlight_node(results().results_nodes[row]);
    }
    void on_leave() override
    {
        if (results_hooks().highlight_erase)
            results_hooks().highlight_erase();
    }
    void on_load_case_changed() override {}
    void context_menu(Point) override { table_popup_menu(*this, plain_results_popup()); }
    void contents_entry() override { add_contents_entry(PRINT_TITLE, 0); }
    void print() override
    {
        if (node_count() == 0)
            return;
        read_spectrum_accelerations();
        const ReportState& s = report_state();
        if (s.printing_pages)
            table_print(*this, PRINT_TITLE, node_count());
        else if (s.text_report)
            print_text();
    }
    // The text report; in CSV mode the same calls write cells.
    void print_text() override
    {
        if (node_count() == 0)
            return;
        read_spectrum_accelerations();
        if (report_lines_left() < 6)
            report_page_break();
        else
            print_heading();
        report_contents_line(PRINT_TITLE);
        for (int row = 1; row <= node_count(); ++row) {
            if (report_lines_left() < 1)
                report_page_break();
            // The heading again at the top of each new page.
            if (report_current_line() == 4)
                print_heading();
            report_print_at(node_of_row(row), 6);
            for (int d = 0; d < 3; ++d)
                report_print_right(acceleration_text(row, d), 21 + 11 * d);
            report_next_line();
        }
        if (report_current_line() != 4)
            report_rule();
    }
    void print_csv() override { print_text(); }

private:
    // Columns 2 to 4 take their common widest.
    void equalise()
    {
        if (widths.size() < 5)
            return;
        const int widest = std::max({widths[2], widths[3], widths[4]});
        for (int c = 2; c <= 4; ++c)
            widths[static_cast<std::size_t>(c)] = widest;
    }
};

struct AccelerationsUi {
    std::unique_ptr<AccelerationsTable> table;
};

AccelerationsTable& table()
{
    auto& t = session_part<AccelerationsUi>().table;
    if (!t)
        t = std::make_unique<AccelerationsTable>();
    return *t;
}

}  // namespace

TableWindow& spectrum_accelerations_table()
{
    return table();
}

void show_spectrum_accelerations()
{
    if (node_count() == 0)
        return;
    AccelerationsTable& t = table();
    set_current_result(RESULT_ACCELERATIONS);
    read_spectrum_accelerations();
    t.measure_needed = true;
    table_refresh(t, TITLE, node_count(), false);
    set_results_title_fixed(TITLE);
    table_window_show(t);
}

void install_spectrum_accelerations()
{
    results_hooks().show[RESULT_ACCELERATIONS] = [] { show_spectrum_accelerations(); };
}
