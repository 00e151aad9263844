#include "results/ui/time_history_ui.h"

#include "analysis_core/results_sink.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/units.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/pick_list.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/row_kinds.h"
#include "results/element_force_values.h"
#include "results/time_history.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "supports/skewed_restraint.h"

#include <array>
#include <memory>

namespace {

// ---- The members of the family, as data ------------------------------------------------

struct HistoryColumn {
    const char* heading;      // table heading
    const char* csv;          // CSV heading (followed by the unit label)
    int quantity;             // FORCE, MOMENT, DISPLACEMENT or ANGLE
};

struct HistoryKind {
    const char* title;        // printf pattern with the node text
    const char* prefix;       // CSV file name prefix
    const char* maximum;      // label of the maximum row
    std::vector<HistoryColumn> columns;
};

const HistoryColumn FX{"FX", "FX", FORCE}, FY{"FY", "FY", FORCE}, FZ{"FZ", "FZ", FORCE};
const HistoryColumn MX{"MX", "MX", MOMENT}, MY{"MY", "MY", MOMENT}, MZ{"MZ", "MZ", MOMENT};
const char* const MAX_SIGNED = "Max.Abs [Signed]";
const char* const MAX_ABS = "Max. Abs (Signed)";

// The support kinds in data-type order (1 anchor .. 21 generic support).
const HistoryKind& support_history_kind(int dtype, bool rotational)
{
    static const HistoryKind anchor{"Loads on Anchor at Node %s", "Anchor", MAX_SIGNED, {FX, FY, FZ, MX, MY, MZ}};
    static const HistoryKind restraint{"Loads on Restraint at Node %s",
                                       "Restraint",
                                       MAX_SIGNED,
                                       {{"X", "X", FORCE}, {"Y", "Y", FORCE}, {"Z", "Z", FORCE}}};
    static const HistoryKind skewed{"Loads on Skewed Restraint at Node %s", "SkewedRestraint", MAX_ABS,
                                    {{"Load", "Load", FORCE}}};
    static const HistoryKind skewed_rotational{"Loads on Skewed Restraint at Node %s", "SkewedRestraint", MAX_ABS,
                                               {{"Load", "Load", MOMENT}}};
    static const HistoryKind hanger{"Loads on Hanger at Node %s", "Hanger", MAX_ABS, {{"Load", "Load", FORCE}}};
    static const HistoryKind guide{"Loads on Guide at Node %s", "Guide", MAX_SIGNED, {FX, FY, FZ}};
    static const HistoryKind stop{"Loads on Limit Stop at Node %s", "LimitStop", MAX_ABS,
                                  {{"Load", "Load", FORCE}, {"Friction", "Friction", FORCE}}};
    static const HistoryKind nozzle{"Loads on Nozzle at Node %s",
                                    "Nozzle",
                                    MAX_SIGNED,
                                    {{"Axial", "Axial", FORCE},
                                     {"y Shear", "yShear", FORCE},
                                     {"z Shear", "zShear", FORCE},
                                     {"Torque", "Torque", MOMENT},
                                     {"Circ. Mom", "Circ.Moment", MOMENT},
                                     {"Long. Mom", "Long.Moment", MOMENT}}};
    static const HistoryKind snubber{"Loads on Snubber at Node %s", "Snubber", MAX_ABS, {{"Load", "Load", FORCE}}};
    static const HistoryKind generic{"Loads on Generic Support at Node %s", "GenericSupport", MAX_SIGNED,
                                     {FX, FY, FZ, MX, MY, MZ}};
    switch (dtype) {
    case DT_ANCHOR: return anchor;
    case DT_RESTRAINT: return restraint;
    case DT_SKEWED_RESTRAINT: return rotational ? skewed_rotational : skewed;
    case DT_HANGER: return hanger;
    case DT_GUIDE: return guide;
    case DT_LIMIT_STOP: return stop;
    case DT_NOZZLE: return nozzle;
    case DT_SNUBBER: return snubber;
    case DT_GENERIC_SUPPORT: return generic;
    default: break;
    }
    KV_ASSERT(!"a support history of a kind that is no support");
    return anchor;
}

const HistoryKind& element_history_kind(bool global)
{
    static const HistoryKind local{"Forces on Element at Node %s in local coordinates",
                                   "ElementForces",
                                   MAX_SIGNED,
                                   {{"fx", "fx", FORCE},
                                    {"fy", "fy", FORCE},
                                    {"fz", "fz", FORCE},
                                    {"mx", "mx", MOMENT},
                                    {"my", "my", MOMENT},
                                    {"mz", "mz", MOMENT}}};
    static const HistoryKind global_kind{"Forces on Element at Node %s in global coordinates", "ElementForces",
                                         MAX_SIGNED, {FX, FY, FZ, MX, MY, MZ}};
    return global ? global_kind : local;
}

const HistoryKind& displacement_history_kind()
{
    static const HistoryKind kind{"Displacements at Node %s",
                                  "Displacements",
                                  MAX_SIGNED,
                                  {{"DX", "DX", DISPLACEMENT},
                                   {"DY", "DY", DISPLACEMENT},
                                   {"DZ", "DZ", DISPLACEMENT},
                                   {"RX", "RX", ANGLE},
                                   {"RY", "RY", ANGLE},
                                   {"RZ", "RZ", ANGLE}}};
    return kind;
}

std::string value_text(double value, int quantity)
{
    switch (quantity) {
    case FORCE: return format_force_integer(value);
    case MOMENT: return format_moment_integer(value);
    case DISPLACEMENT: return format_displacement_g5(value);
    case ANGLE: return format_angle(value);
    default: return format_g5(value);
    }
}

// ---- The table -------------------------------------------------------------------------------

class HistoryTable final : public TableWindow {
public:
    HistoryTable() : TableWindow(&results_frame(), 7, 2) { editing_allowed = false; view_only = true; }

    const HistoryKind* kind = nullptr;
    std::string csv_name;
    int row = 0;             // the layout row highlighted (support histories)
    int node_number = 0;
    std::array<float, 6> maximum{};

    int value_count() const { return kind ? static_cast<int>(kind->columns.size()) : 0; }
    // The page of the history shown: of a node's displacements, an element's
    // forces or a support's loads.
    int guide_page() const
    {
        if (kind == &displacement_history_kind())
            return PAGE_DISPLACEMENTS_HISTORY;
        if (kind == &element_history_kind(false) || kind == &element_history_kind(true))
            return PAGE_ELEMENT_FORCES_HISTORY;
        return PAGE_SUPPORT_LOADS_HISTORY;
    }
    void on_help(WindowId owner) override { open_result_page(guide_page(), owner); }
    int steps() const { return static_cast<int>(results().history.history.size()); }   // T + 1

    std::string header_text(int column, int line) override
    {
        if (column == 1)
            return line == 0 ? "Time" : line == 1 ? "(Sec)" : "";
        if (column < 2 || column > value_count() + 1)
            return {};
        const HistoryColumn& c = kind->columns[static_cast<std::size_t>(column - 2)];
        return line == 0 ? c.heading : line == 1 ? unit_label(c.quantity) : "";
    }
    std::string cell_text(int r, int column, int line) override
    {
        if (line != 0 || r < 1 || r > steps() + 1 || column < 1 || column > value_count() + 1)
            return {};
        const bool max_row = r == steps() + 1;
        if (column == 1)
            return max_row ? std::string(kind->maximum) : c_format("%.6g", history_time(r - 1));
        const auto i = static_cast<std::size_t>(column - 2);
        const float v = max_row ? maximum[i] : results().history.history[static_cast<std::size_t>(r - 1)][i];
        return value_text(v, kind->columns[i].quantity);
    }
    void measure_window(Surface& dc) override
    {
        TableWindow::measure_window(dc);
        const int padding = table_cell_padding(dc);
        // The first column fits "Max. Abs (Signed)"; the values share one width.
        widths[1] = std::max(widths[1], dc_text_width(dc, MAX_ABS) + 2 * padding);
        if (value_count() > 0)
            equalize_widths(widths, 2, value_count() + 1);
        for (int c = value_count() + 2; c <= columns(); ++c)
            widths[static_cast<std::size_t>(c)] = 0;
    }
    void measure_print(Surface& dc) override
    {
        TablePrint::measure_print(dc);
        if (value_count() > 0)
            equalize_widths(widths, 2, value_count() + 1);
        for (int c = value_count() + 2; c <= columns(); ++c)
            widths[static_cast<std::size_t>(c)] = 0;
    }
    void on_enter() override { add_time_history_menu_items(); }
    void on_leave() override;
    bool on_key(int key, unsigned mods) override
    {
        if (key == KEY_TAB) {
            cycle_result(mods);
            return true;
        }
        return table_on_key(*this, key, mods);
    }
    void on_row_changed(int) override
    {
        if (row && results_hooks().highlight_row)
            results_hooks().highlight_row(row);
    }
    void on_load_case_changed() override {}
    void context_menu(Point) override { table_popup_menu(*this, time_history_popup()); }
    int row_node(int) override { return node_number; }
    void print() override
    {
        const ReportState& s = report_state();
        if (s.printing_pages)
            table_print(*this, title, steps() + 1);
        else if (s.text_report && s.csv_mode)
            print_csv();
        else if (s.text_report)
            table_print_text(*this, title, steps() + 1);
    }
    void print_text() override { table_print_text(*this, title, steps() + 1); }
    // The title, the headings with their units, then a line per time; the
    // maximum row is not written.
    void print_csv() override
    {
        csv_add_text(title);
        report_next_line();
        csv_add_text("Time(sec)");
        for (const HistoryColumn& c : kind->columns)
            csv_add_text(std::string(c.csv) + unit_label(c.quantity));
        report_next_line();
        for (int r = 1; r <= steps(); ++r) {
            for (int c = 1; c <= value_count() + 1; ++c)
                csv_add_text(cell_text(r, c, 0));
            report_next_line();
        }
    }
    bool export_csv(WindowId owner) override
    {
        if (!open_csv_export_file(owner, csv_name))
            return false;
        print_csv();
        return close_report_file(owner);
    }
};

struct TimeHistoryUi {
    HistoryTable table;
    bool shown_before = false;      // a history was shown since results opened
    int first_visible = 0;
    int current_row = 1;
    int support_index = 0;          // in the support list in row order
    int element_row = 1;            // rows of the pick lists last chosen
    int node_row = 1;
    int element = 0, end = 0;       // the element-force history shown
    bool global = false;
    int last_choice = TH_SUPPORT_LOADS;
    GlobalForces convert;
};

TimeHistoryUi& th()
{
    return session_part<TimeHistoryUi>();
}

void HistoryTable::on_leave()
{
    TimeHistoryUi& t = th();
    t.current_row = current_row;
    t.first_visible = top_row;
    remove_time_history_menu_items();
    if (results_hooks().highlight_erase)
        results_hooks().highlight_erase();
}

void show_table(const HistoryKind& kind, int node_number, int highlight_row, const std::string& title)
{
    TimeHistoryUi& t = th();
    HistoryTable& table = t.table;
    if (table_is_shown(table)) {
        // Another history in the same window: it opens where this one is.
        t.current_row = table.current_row;
        t.first_visible = table.top_row;
    }
    table.kind = &kind;
    table.node_number = node_number;
    table.row = highlight_row;
    table.csv_name = time_history_csv_name(kind.prefix, node_number);
    table.maximum = history_maximum(results().history.history);
    table.measure_needed = true;
    set_current_result(RESULT_TIME_HISTORY);
    t.shown_before = true;
    const int rows = table.steps() + 1;
    table_show_at(table, title, rows, std::clamp(t.current_row, 1, rows), std::clamp(t.first_visible, 0, rows - 1));
    set_results_title_fixed(title);
    table_window_show(table);
    if (highlight_row && results_hooks().highlight_row)
        results_hooks().highlight_row(highlight_row);
}

// ---- The chooser ------------------------------------------------------------------------

const DialogTemplate TIME_HISTORY_RESULTS_DIALOG = {
    "TIME_HISTORY_RESULTS_DIALOG",
    "Time History",
    {
        control(TH_SUPPORT_LOADS, ControlKind::Radio, "&Support Loads", 0, 0, 2),
        control(TH_ELEMENT_FORCES, ControlKind::Radio, "&Element Forces", 1, 0, 2),
        control(TH_DISPLACEMENTS, ControlKind::Radio, "&Displacements", 2, 0, 2),
        control(IDOK, ControlKind::Button, "OK", 3, 0, 1, CF_DEFAULT),
        control(IDCANCEL, ControlKind::Button, "Cancel", 3, 1),
    },
};

class HistoryChooser final : public DialogProc {
public:
    int checked = TH_SUPPORT_LOADS;
    void init(Dialog& d) override
    {
        dialog_set_radio(TH_SUPPORT_LOADS, TH_DISPLACEMENTS, checked);
        center_window(d);
        dialog_set_focus(checked);
    }
    bool ok(Dialog& d) override
    {
        for (int id = TH_SUPPORT_LOADS; id <= TH_DISPLACEMENTS; ++id)
            if (dialog_is_checked(id))
                d.end(id);
        return false;
    }
    bool cancel(Dialog& d) override
    {
        d.end(0);
        return false;
    }
};

int pick_support(WindowId owner)
{
    const ResultsState& r = results();
    PickList list;
    list.title = "Support Loads Time History";
    list.count = r.numsupports();
    list.current = std::max(1, th().support_index);
    list.columns = {{"Node", [](int i) { return node_text(model().rows[results().supports_by_row[i]].node); }, ""},
                    {"Type", [](int i) {
                         const LayoutRow& row = model().rows[results().supports_by_row[i]];
                         return data_item_kind_name(row.dtype, row.data ? row.data->subtype() : 0);
                     }, ""}};
    return run_pick_list(list, owner);
}

int pick_element_end(WindowId owner)
{
    const ResultsState& r = results();
    PickList list;
    list.title = "Element Forces Time History";
    list.count = 2 * r.numelems();
    list.visible_rows = 14;
    list.current = th().element_row;
    auto element_of = [](int i) { return (i + 1) / 2; };
    list.columns = {{" #", [element_of](int i) { return i % 2 == 1 ? int_text(element_of(i)) : std::string(); }, ""},
                    {"Node", [element_of](int i) {
                         const ResultsElement& e = results().elements[element_of(i)];
                         return node_text(model().nodes[i % 2 == 1 ? e.node1 : e.node2].number);
                     }, ""},
                    {"Type", [element_of](int i) {
                         if (i % 2 == 0)
                             return std::string();
                         return std::string(element_type_name(results().elements[element_of(i)].kind));
                     }, ""}};
    return run_pick_list(list, owner);
}

int pick_node(WindowId owner)
{
    const ResultsState& r = results();
    PickList list;
    list.title = "Displacements Time History";
    list.count = r.numresultnodes();
    list.current = th().node_row;
    list.columns = {{"Node", [](int i) { return node_text(model().nodes[results().results_nodes[i]].number); }, ""}};
    return run_pick_list(list, owner);
}

void show_element_history()
{
    TimeHistoryUi& t = th();
    read_element_force_history(t.element, t.end);
    const bool global = t.global && t.convert;
    if (global) {
        // The end's six values in global axes: the element's twelve with the
        // other end zero, turned, and this end's six taken, with the sign
        // rule of every global force table (the forces on the element: the
        // first end negated; a time history has signs).
        std::vector<std::array<float, 6>>& h = results().history.history;
        for (std::array<float, 6>& record : h) {
            ElementForceRecord local{};
            std::copy(record.begin(), record.end(), local.begin() + 6 * (t.end - 1));
            const ElementForceRecord turned = forces_on_element(t.convert(t.element, local), false);
            std::copy(turned.begin() + 6 * (t.end - 1), turned.begin() + 6 * t.end, record.begin());
        }
    }
    const ResultsElement& e = results().elements[t.element];
    const int node = model().nodes[t.end == 1 ? e.node1 : e.node2].number;
    const HistoryKind& kind = element_history_kind(global);
    show_table(kind, node, e.row, c_format(kind.title, node_text(node).c_str()));
}

}  // namespace

const DialogTemplate& time_history_chooser_template() { return TIME_HISTORY_RESULTS_DIALOG; }

void show_time_history()
{
    if (current_time_history_table()) {
        set_current_result(RESULT_TIME_HISTORY);
        table_window_show(th().table);
    }
    else if (th().shown_before)
        show_table(*th().table.kind, th().table.node_number, th().table.row, th().table.title);
    else
        choose_time_history(results_frame().window);
}

void choose_time_history(WindowId owner)
{
    if (!time_history_available())
        return;
    HistoryChooser chooser;
    chooser.checked = th().last_choice;
    const int choice = run_dialog(TIME_HISTORY_RESULTS_DIALOG, chooser, owner);
    switch (choice) {
    case TH_SUPPORT_LOADS:
        if (const int i = pick_support(owner))
            show_support_loads_history(i);
        break;
    case TH_ELEMENT_FORCES:
        if (const int i = pick_element_end(owner))
            show_element_force_history(i);
        break;
    case TH_DISPLACEMENTS:
        if (const int i = pick_node(owner))
            show_displacement_history(i);
        break;
    default: return;
    }
}

void show_support_loads_history(int support_index)
{
    TimeHistoryUi& t = th();
    const ResultsState& r = results();
    if (!r.supports_by_row.valid(support_index))
        return;
    t.support_index = support_index;
    t.last_choice = TH_SUPPORT_LOADS;
    const int row = r.supports_by_row[support_index];
    backend().set_wait_cursor(true);
    try {
        read_support_history(row);
    } catch (...) {
        backend().set_wait_cursor(false);
        throw;
    }
    backend().set_wait_cursor(false);
    const LayoutRow& lr = model().rows[row];
    const auto* skewed = dynamic_cast<const SkewedRestraint*>(lr.data.get());
    const HistoryKind& kind = support_history_kind(lr.dtype, skewed && skewed->v.rotational);
    std::string title = c_format(kind.title, node_text(lr.node).c_str());
    if (skewed) {
        const auto& d = skewed->v.direction;
        title += c_format(" (%.3f %.3f %.3f)", d[0], d[1], d[2]);
    }
    show_table(kind, lr.node, row, title);
}

void show_element_force_history(int pick_row)
{
    TimeHistoryUi& t = th();
    const int element = (pick_row + 1) / 2;
    if (element < 1 || element > results().numelems())
        return;
    t.element_row = pick_row;
    t.element = element;
    t.end = pick_row % 2 == 1 ? 1 : 2;
    t.last_choice = TH_ELEMENT_FORCES;
    show_element_history();
}

void show_displacement_history(int node_pick)
{
    TimeHistoryUi& t = th();
    const ResultsState& r = results();
    if (!r.results_nodes.valid(node_pick))
        return;
    t.node_row = node_pick;
    t.last_choice = TH_DISPLACEMENTS;
    const int node = r.results_nodes[node_pick];
    read_displacement_history(node);
    const int number = model().nodes[node].number;
    show_table(displacement_history_kind(), number, 0,
               c_format(displacement_history_kind().title, node_text(number).c_str()));
}

TableWindow* current_time_history_table()
{
    HistoryTable& table = th().table;
    return table_is_shown(table) ? &table : nullptr;
}

void reset_time_history_tables()
{
    TimeHistoryUi& t = th();
    table_reset(t.table);
    t.shown_before = false;
    t.first_visible = 0;
    t.current_row = 1;
    t.support_index = 0;
    t.element_row = 1;
    t.node_row = 1;
    t.last_choice = TH_SUPPORT_LOADS;
}

void export_time_history_csv(WindowId owner)
{
    if (TableWindow* table = current_time_history_table())
        table->export_csv(owner);
}

std::string time_history_csv_text()
{
    TableWindow* table = current_time_history_table();
    return table ? table_report_text(*table, true) : std::string();
}

void set_global_element_forces(GlobalForces convert)
{
    th().convert = std::move(convert);
}

void install_time_history_tables()
{
    // The one history table is the table of the page of what it shows.
    for (const int page : {PAGE_SUPPORT_LOADS_HISTORY, PAGE_ELEMENT_FORCES_HISTORY, PAGE_DISPLACEMENTS_HISTORY})
        result_page_tables()[static_cast<std::size_t>(page)] = [page]() -> TableWindow* {
            HistoryTable& table = th().table;
            return table.kind && table.guide_page() == page ? &table : nullptr;
        };
    ResultItemCommands commands;
    commands.local_global = [] {
        TimeHistoryUi& t = th();
        if (!t.convert || !current_time_history_table() || t.element == 0 ||
            t.table.kind == &displacement_history_kind() || t.table.kind->prefix != std::string("ElementForces"))
            return;
        t.global = !t.global;
        show_element_history();
    };
    commands.tip = [](int command) -> std::string {
        if (command == CMD_OTHER_ITEM)
            return "Other Time History";
        if (command == CMD_LOCAL_GLOBAL && current_time_history_table() && th().convert)
            return th().global ? "Local Forces" : "Global Forces";
        return {};
    };
    set_result_item_commands(RESULT_TIME_HISTORY, commands);
}
