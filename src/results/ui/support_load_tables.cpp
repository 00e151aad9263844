#include "results/ui/support_load_tables.h"

#include "framework/commands.h"
#include "framework/number_text.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/row_kinds.h"
#include "model/ui/list_window.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/support_summary.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/result_table.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"
#include "supports/support_item.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace {

// ---- The kinds as data ---------------------------------------------------------------------------

struct LoadValue {
    const char* global;     // heading in global (or the kind's own) axes
    const char* local;      // heading in local axes (anchors and nozzles)
    int quantity;           // FORCE or MOMENT
};

enum class Shape { Values, Skewed, Snubber };

struct SupportKindData {
    Shape shape;
    const char* plural;     // "Restraints": "Loads on Restraints"
    const char* lower;      // "restraints": "Loads on restraints"
    const char* singular;   // "Restraint": "Restraint at Node %s"
    std::vector<LoadValue> values;
    bool local_option = false;     // anchors and nozzles: 288 "Local Loads"
    bool restrained_only = false;  // restraints: only the restrained directions
    bool allowables = false;       // the summary's "Allowables" row is filled and checked
    bool no_allowables_row = false;// the summary's "Allowables" row is not shown
    std::vector<int> summary_ends; // text report: right ends of the summary's values
};

const LoadValue FX{"FX", "fx", FORCE}, FY{"FY", "fy", FORCE}, FZ{"FZ", "fz", FORCE};
const LoadValue MX{"MX", "mx", MOMENT}, MY{"MY", "my", MOMENT}, MZ{"MZ", "mz", MOMENT};

// By support kind (results_hooks.h order).
const SupportKindData& kind_data(int kind)
{
    static const SupportKindData kinds[SUPPORT_KINDS] = {
        {Shape::Values, "Anchors", "anchors", "Anchor", {FX, FY, FZ, MX, MY, MZ}, true, false, true, false,
         {30, 38, 46, 57, 67, 77}},
        {Shape::Values, "Guides", "guides", "Guide", {{"fx", "fx", FORCE}, {"fy", "fy", FORCE}, {"fz", "fz", FORCE}},
         false, false, false, true, {30, 38, 46}},
        {Shape::Values, "Hangers", "hangers", "Hanger", {{"Load", "Load", FORCE}}, false, false, false, true, {38}},
        {Shape::Values, "Limit stops", "limit stops", "Limit stop",
         {{"Load", "Load", FORCE}, {"Friction", "Friction", FORCE}}, false, false, false, true, {30, 44}},
        {Shape::Values, "Nozzles", "nozzles", "Nozzle", {FX, FY, FZ, MX, MY, MZ}, true, false, true, false,
         {30, 38, 46, 57, 67, 77}},
        {Shape::Values, "Restraints", "restraints", "Restraint", {FX, FY, FZ}, false, true, true, false, {30, 38, 46}},
        {Shape::Skewed, "Skewed restraints", "skewed restraints", "Skewed restraint", {{"Load", "Load", FORCE}}, false,
         false, false, true, {38}},
        {Shape::Snubber, "Snubbers", "snubbers", "Snubber", {{"Load", "Load", FORCE}}, false, false, false, true, {38}},
        {Shape::Values, "Generic supports", "generic supports", "Generic support", {FX, FY, FZ, MX, MY, MZ}, false,
         false, true, false, {30, 38, 46, 57, 67, 77}},
    };
    return kinds[std::clamp(kind, 0, SUPPORT_KINDS - 1)];
}

// Text report of the loads tables: the value headings centred over and the
// values right-aligned in these columns.
constexpr int VALUE_FROM[6] = {15, 25, 35, 45, 57, 69};
constexpr int VALUE_TO[6] = {21, 31, 41, 53, 65, 77};
constexpr int VALUE_END[6] = {19, 29, 39, 51, 63, 75};

struct SupportTablesState {
    bool local = false;
    std::array<std::unique_ptr<TableWindow>, SUPPORT_KINDS> loads;
    std::array<std::unique_ptr<TableWindow>, SUPPORT_KINDS> summaries;
    std::unique_ptr<TableWindow> status;
    std::array<int, SUPPORT_KINDS> summary_rows{};   // the row shown last, per kind
    bool case_loads_read = false;   // the tables of every kind print the case read for them all
};

SupportTablesState& state()
{
    return session_part<SupportTablesState>();
}

// The rows of a kind: its layout rows in row order.
std::vector<int> kind_rows(int kind)
{
    std::vector<int> rows;
    const int dtype = support_kind_dtype(kind);
    const Model& m = model();
    for (int r = 1; r <= m.numrows(); ++r)
        if (m.rows[r].dtype == dtype && m.rows[r].data)
            rows.push_back(r);
    return rows;
}

const SupportItem* item_of(int layout_row)
{
    const Model& m = model();
    return m.rows.valid(layout_row) ? dynamic_cast<const SupportItem*>(m.rows[layout_row].data.get()) : nullptr;
}

bool rotational(int layout_row)
{
    const auto* s = dynamic_cast<const SkewedRestraint*>(item_of(layout_row));
    return s && s->v.rotational;
}

bool local_shown(int kind)
{
    return kind_data(kind).local_option && state().local;
}

int value_quantity(int kind, int layout_row, int i)
{
    const SupportKindData& d = kind_data(kind);
    if (d.shape == Shape::Skewed && rotational(layout_row))
        return MOMENT;
    return d.values[static_cast<std::size_t>(i)].quantity;
}

ShownReal shown_load(float value, int quantity)
{
    return quantity == MOMENT ? moment_integer(value) : force_integer(value);
}

std::string value_text(float value, int quantity)
{
    if (!std::isfinite(value))
        return {};
    const ShownReal v = shown_load(value, quantity);
    return format_real(v.value, v.width, v.decimals);
}

// The loads of a support row in the current case as the table shows them
// (anchors and nozzles turned into the pipe's local axes when asked).
std::vector<float> shown_loads(int kind, int layout_row)
{
    const SupportItem* item = item_of(layout_row);
    if (!item)
        return {};
    std::vector<float> loads = item->current_loads;
    if (local_shown(kind) && loads.size() >= 6) {
        const Model& m = model();
        const int node = m.rows[layout_row].node_index;
        double x = 0.0, y = 0.0, z = 0.0;
        if (pipe_direction_at_node(m, node, x, y, z) != 0)
            x = 1.0, y = z = 0.0;
        LocalAxes a;
        a.x = {x, y, z};
        complete_local_axes(a, analysis_options().z_vertical);
        for (std::size_t part = 0; part < 2; ++part) {
            const Vec3 g{loads[3 * part], loads[3 * part + 1], loads[3 * part + 2]};
            loads[3 * part] = static_cast<float>(dot(g, a.x));
            loads[3 * part + 1] = static_cast<float>(dot(g, a.y));
            loads[3 * part + 2] = static_cast<float>(dot(g, a.z));
        }
    }
    return loads;
}

bool restrained(int layout_row, int direction)
{
    const Model& m = model();
    if (!m.rows.valid(layout_row) || !m.rows[layout_row].data)
        return false;
    // The restraint's cells say "Yes" for a restrained direction.
    return !m.rows[layout_row].data->cell_text(3 + direction).empty();
}

// The direction of a skewed restraint or snubber as shown: a skewed
// restraint with a connected node and no direction of its own points there.
std::array<float, 3> shown_direction(int layout_row)
{
    const SupportItem* item = item_of(layout_row);
    if (const auto* s = dynamic_cast<const SkewedRestraint*>(item)) {
        const auto& d = s->v.direction;
        if (s->v.connected != 0 && length3(d[0], d[1], d[2]) < 1.0e-6) {
            const Vec3 c = s->connected_direction(layout_row);
            return {static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z)};
        }
        return d;
    }
    if (const auto* s = dynamic_cast<const Snubber*>(item))
        return s->v.direction;
    return {};
}

int connected_node(int layout_row)
{
    const auto* s = dynamic_cast<const SkewedRestraint*>(item_of(layout_row));
    return s ? s->v.connected : 0;
}

bool component_shown(float value, bool zero_shown)
{
    return std::isfinite(value) && (zero_shown || value != 0.0f);
}

std::string component_text(float value, int width, bool zero_shown)
{
    return component_shown(value, zero_shown) ? format_real(value, width, 3) : std::string();
}

// A direction component in the text report, as component_text writes it.
void report_component(float value, bool zero_shown, int end_column)
{
    if (component_shown(value, zero_shown))
        report_real_right(value, 10, 3, end_column);
}

std::string tag_of(int layout_row)
{
    const SupportItem* item = item_of(layout_row);
    return item ? item->tag() : std::string();
}

std::string node_of_row(int layout_row)
{
    return model().rows.valid(layout_row) ? node_text(model().rows[layout_row].node) : std::string();
}

// ---- The loads tables -----------------------------------------------------------------------------

int loads_columns(int kind)
{
    switch (kind_data(kind).shape) {
    case Shape::Skewed: return 9;
    case Shape::Snubber: return 6;
    default: return 2 + static_cast<int>(kind_data(kind).values.size());
    }
}

class SupportLoadsTable final : public LayoutRowsResultTable {
public:
    explicit SupportLoadsTable(int kind) : LayoutRowsResultTable(RESULT_SUPPORT_LOADS, loads_columns(kind), 1), kind_(kind)
    {
        guide_page = PAGE_SUPPORT_LOADS + kind;
        menus = ResultMenus::Supports;
        if (kind_data(kind).shape == Shape::Values && data().values.size() > 1)
            equal_widths.push_back({3, 2 + static_cast<int>(data().values.size())});
    }

    const SupportKindData& data() const { return kind_data(kind_); }

    std::string title_text() const
    {
        return std::string(local_shown(kind_) ? "Local loads on " : "Loads on ") + data().plural;
    }
    std::string contents_text() const
    {
        return std::string(local_shown(kind_) ? "Local loads on " : "Loads on ") + data().lower;
    }
    void refresh() override
    {
        rows = kind_rows(kind_);
        read_load_case_support_loads();
        table_refresh(*this, title_text(), static_cast<int>(rows.size()), false);
        set_results_title(title_text());
    }
    std::string print_title() override { return title_text() + ": " + results_loadcase_name(); }
    // The support's node and, in the CNode column of skewed restraints, its connected node.
    std::vector<int> row_nodes(int row) override
    {
        const int r = layout_row(row);
        if (data().shape != Shape::Skewed || !r)
            return {row_node(row)};
        return {row_node(row), connected_node(r)};
    }

    std::string header_text(int column, int line) override
    {
        if (line != 0)
            return {};
        if (column == 1)
            return "Node";
        if (column == 2)
            return "Tag";
        switch (data().shape) {
        case Shape::Skewed: {
            static const char* const names[] = {"Type", "Load", "Units", "X comp", "Y comp", "Z comp", "CNode"};
            return names[column - 3];
        }
        case Shape::Snubber:
            return column == 3 ? label_with_unit("Load", FORCE)
                               : std::string(column == 4 ? "X comp" : column == 5 ? "Y comp" : "Z comp");
        default: {
            const LoadValue& v = data().values[static_cast<std::size_t>(column - 3)];
            return label_with_unit(local_shown(kind_) ? v.local : v.global, v.quantity);
        }
        }
    }
    std::string cell_text(int row, int column, int line) override
    {
        const int r = layout_row(row);
        if (line != 0 || !r)
            return {};
        if (column == 1)
            return node_of_row(r);
        if (column == 2)
            return tag_of(r);
        const std::vector<float> loads = shown_loads(kind_, r);
        auto load = [&loads](std::size_t i) { return i < loads.size() ? loads[i] : 0.0f; };
        switch (data().shape) {
        case Shape::Skewed: {
            const bool rot = rotational(r);
            const std::array<float, 3> d = shown_direction(r);
            switch (column) {
            case 3: return rot ? "Rotational" : "Translational";
            case 4: return value_text(load(0), rot ? MOMENT : FORCE);
            case 5: return unit_label(rot ? MOMENT : FORCE);
            case 6:
            case 7:
            case 8: return component_text(d[static_cast<std::size_t>(column - 6)], 8, false);
            case 9: return connected_node(r) ? node_text(connected_node(r)) : "";
            default: return {};
            }
        }
        case Shape::Snubber: {
            if (column == 3)
                return value_text(load(0), FORCE);
            const std::array<float, 3> d = shown_direction(r);
            return component_text(d[static_cast<std::size_t>(column - 4)], 8, false);
        }
        default: {
            const int i = column - 3;
            if (data().restrained_only && !restrained(r, i))
                return {};
            return value_text(load(static_cast<std::size_t>(i)), value_quantity(kind_, r, i));
        }
        }
    }
    void contents_entry() override { add_load_case_contents_entry(contents_text()); }
    // The kind's input table, when it was opened last in the list window,
    // follows to the same support.
    void on_row_changed(int row) override
    {
        ResultTable::on_row_changed(row);
        auto* input = dynamic_cast<LayoutRowsTable*>(last_opened_table());
        if (!input || input->title != data().plural)
            return;
        for (int r = 1; r <= input->row_count; ++r)
            if (input->layout_row(r) == layout_row(row)) {
                table_goto_row(*input, r, 0, false);
                return;
            }
    }
    bool prepare_print() override
    {
        rows = kind_rows(kind_);
        if (rows.empty())
            return false;
        if (!state().case_loads_read)
            read_load_case_support_loads();
        title = title_text();
        row_count = static_cast<int>(rows.size());
        return true;
    }
    void on_enter() override
    {
        ResultTable::on_enter();
        if (data().local_option)
            add_local_item();
    }
    void on_leave() override
    {
        if (data().local_option)
            remove_local_item();
        ResultTable::on_leave();
    }
    void context_menu(Point) override;

    void print_text() override;
    void print_csv() override;

private:
    int kind_;

    static void add_local_item()
    {
        Frame& f = results_frame();
        if (f.menu.contains(CMD_LOCAL_GLOBAL))
            return;
        MenuItem i;
        i.text = state().local ? "Global &Loads\tF7" : "Local &Loads\tF7";
        i.id = CMD_LOCAL_GLOBAL;
        f.menu.insert_before(CMD_RESULTS, i);
        frame_show_button(f, CMD_LOCAL_GLOBAL);
        frame_refresh_command_states(f);
        if (f.window)
            frame_update_menu(f);
    }
    static void remove_local_item()
    {
        Frame& f = results_frame();
        f.menu.remove(CMD_LOCAL_GLOBAL);
        frame_hide_button(f, CMD_LOCAL_GLOBAL);
        if (f.window)
            frame_update_menu(f);
    }
};

void SupportLoadsTable::context_menu(Point)
{
    MenuItem p;
    auto add = [&p](const std::string& text, int id) { add_popup_item(p, text, id); };
    bool any = false;
    if (several_support_kinds()) {
        add("&Other supports...", CMD_OTHER_ITEM);
        add("Next support", CMD_NEXT_ITEM);
        add("Previous support", CMD_PREVIOUS_ITEM);
        any = true;
    }
    if (data().local_option) {
        add(state().local ? "Global &Loads" : "Local &Loads", CMD_LOCAL_GLOBAL);
        any = true;
    }
    if (any)
        p.items.push_back(MenuItem{});
    if (results().load_case_count() > 1) {
        append_load_case_menu_items(p);
        p.items.push_back(MenuItem{});
    }
    append_results_menu_items(p);
    table_popup_menu(*this, p);
}

void SupportLoadsTable::print_text()
{
    const int count = static_cast<int>(rows.size());
    const std::string contents = results_loadcase_name() + ": " + contents_text();
    auto header = [this] {
        report_print_centred(print_title(), 6, 78);
        report_next_line();
        report_rule();
        switch (data().shape) {
        case Shape::Skewed:
            report_print_at("Node", 6);
            report_print_at("CNode", 12);
            report_print_at("Type", 23);
            report_print_at("Load", 35);
            report_print_at("Units", 43);
            report_print_at("X comp", 53);
            report_print_at("Y comp", 63);
            report_print_at("Z comp", 73);
            break;
        case Shape::Snubber:
            report_print_at("Node", 6);
            report_print_at("Load", 13);
            report_print_at(unit_label(FORCE), 18);
            report_print_at("X comp", 26);
            report_print_at("Y comp", 36);
            report_print_at("Z comp", 46);
            break;
        default:
            report_print_at("Node", 6);
            for (std::size_t i = 0; i < data().values.size(); ++i) {
                const LoadValue& v = data().values[i];
                report_print_centred(label_with_unit(local_shown(kind_) ? v.local : v.global, v.quantity),
                                     VALUE_FROM[i], VALUE_TO[i]);
            }
            break;
        }
        report_next_line();
        report_rule();
    };
    report_rows(
        1, header, contents, 1, count,
        [this](int row) {
            const int r = layout_row(row);
            if (model().rows.valid(r))
                report_node_at(model().rows[r].node, 6);
            const std::vector<float> loads = shown_loads(kind_, r);
            auto load = [&loads](std::size_t i) { return i < loads.size() ? loads[i] : 0.0f; };
            switch (data().shape) {
            case Shape::Skewed: {
                const bool rot = rotational(r);
                if (connected_node(r))
                    report_print_at(node_text(connected_node(r)), 12);
                report_print_at(rot ? "Rotational" : "Translational", 19);
                report_number_right(shown_load(load(0), rot ? MOMENT : FORCE), 38);
                report_print_at(unit_label(rot ? MOMENT : FORCE), 42);
                const std::array<float, 3> d = shown_direction(r);
                for (int i = 0; i < 3; ++i)
                    report_component(d[static_cast<std::size_t>(i)], false, 57 + 10 * i);
                break;
            }
            case Shape::Snubber: {
                report_number_right(shown_load(load(0), FORCE), 19);
                const std::array<float, 3> d = shown_direction(r);
                for (int i = 0; i < 3; ++i)
                    report_component(d[static_cast<std::size_t>(i)], true, 30 + 10 * i);
                break;
            }
            default:
                for (std::size_t i = 0; i < data().values.size(); ++i) {
                    if (data().restrained_only && !restrained(r, static_cast<int>(i)))
                        continue;
                    report_number_right(shown_load(load(i), value_quantity(kind_, r, static_cast<int>(i))), VALUE_END[i]);
                }
                break;
            }
            report_next_line();
        },
        0, true);
}

void SupportLoadsTable::print_csv()
{
    csv_add_text(results_loadcase_name() + ": " + contents_text());
    report_next_line();
    report_rule();
    switch (data().shape) {
    case Shape::Skewed:
        for (const char* h : {"Node", "Tag", "CNode", "Type", "Load", "Units", "X comp", "Y comp", "Z comp"})
            csv_add_text(h);
        break;
    case Shape::Snubber:
        for (const std::string& h : {std::string("Node"), std::string("Tag"), label_with_unit("Load", FORCE),
                                     std::string("X comp"), std::string("Y comp"), std::string("Z comp")})
            csv_add_text(h);
        break;
    default:
        csv_add_text("Node");
        csv_add_text("Tag");
        for (const LoadValue& v : data().values)
            csv_add_text(label_with_unit(local_shown(kind_) ? v.local : v.global, v.quantity));
        break;
    }
    report_next_line();
    report_rule();
    for (int row = 1; row <= static_cast<int>(rows.size()); ++row) {
        const int r = layout_row(row);
        csv_add_text(node_of_row(r));
        csv_add_text(tag_of(r));
        const std::vector<float> loads = shown_loads(kind_, r);
        auto load = [&loads](std::size_t i) { return i < loads.size() ? loads[i] : 0.0f; };
        switch (data().shape) {
        case Shape::Skewed: {
            const bool rot = rotational(r);
            csv_add_text(connected_node(r) ? node_text(connected_node(r)) : "");
            csv_add_text(rot ? "Rotational" : "Translational");
            csv_add_cell(value_text(load(0), rot ? MOMENT : FORCE));
            csv_add_unit_cell(rot ? MOMENT : FORCE);
            for (float c : shown_direction(r))
                csv_add_cell(component_text(c, 10, true));
            break;
        }
        case Shape::Snubber:
            csv_add_cell(value_text(load(0), FORCE));
            for (float c : shown_direction(r))
                csv_add_cell(component_text(c, 10, true));
            break;
        default:
            // Every value, restrained or not.
            for (std::size_t i = 0; i < data().values.size(); ++i)
                csv_add_cell(value_text(load(i), value_quantity(kind_, r, static_cast<int>(i))));
            break;
        }
        report_next_line();
    }
    report_rule();
}

// ---- The summary tables ------------------------------------------------------------------------------

// Columns: "Load combination", the loads, then X, Y, Z of the node under
// "Displacements (global)".
int summary_columns(int kind)
{
    return 1 + static_cast<int>(kind_data(kind).values.size()) + 3;
}

const Color OVER_ALLOWABLE{255, 0, 0};
const Pen EMPHASIS_PEN{{192, 0, 0}, 2, PenStyle::Solid};

class SupportSummaryTable final : public ResultTable {
public:
    explicit SupportSummaryTable(int kind) : ResultTable(RESULT_SUPPORT_SUMMARY, summary_columns(kind), 2), kind_(kind)
    {
        guide_page = PAGE_SUPPORT_SUMMARY + kind;
        menus = ResultMenus::Summary;
        const int n = static_cast<int>(data().values.size());
        if (n > 1)
            equal_widths.push_back({2, 1 + n});
        equal_widths.push_back({2 + n, 4 + n});
    }

    int layout_row = 0;
    const SupportKindData& data() const { return kind_data(kind_); }
    int value_count() const { return static_cast<int>(data().values.size()); }
    int combinations() const { return support_summary_columns().size(); }

    std::string kind_word() const
    {
        std::string s = data().singular;
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
    std::string title_text() const
    {
        return c_format("Support load summary for %s at node %s", kind_word().c_str(), node_of_row(layout_row).c_str());
    }
    void refresh() override
    {
        layout_row = summary_support_row();
        table_refresh(*this, title_text(), combinations(), false);
        set_results_title_fixed(title_text());
        const int kind = kind_;
        table_goto_row(*this, std::clamp(state().summary_rows[static_cast<std::size_t>(kind)], 1,
                                         std::max(1, combinations())),
                       0, false);
        groups = {{2 + value_count(), 4 + value_count(), "Displacements (global)", 0}};
    }
    std::string print_title() override
    {
        const std::string tag = tag_of(layout_row);
        return tag.empty() ? title_text() : c_format("%s (Tag: %s)", title_text().c_str(), tag.c_str());
    }
    int highlight_layout_row(int) override { return layout_row; }
    int row_node(int) override { return model().rows.valid(layout_row) ? model().rows[layout_row].node : 0; }

    const std::vector<float>* entry(int k) const
    {
        const SupportItem* item = item_of(layout_row);
        if (!item || k < 1 || static_cast<std::size_t>(k) >= item->summary.size())
            return nullptr;
        return &item->summary[static_cast<std::size_t>(k)];
    }
    float value(int k, int i) const
    {
        const std::vector<float>* e = entry(k);
        return e && static_cast<std::size_t>(i) < e->size() ? (*e)[static_cast<std::size_t>(i)] : 0.0f;
    }
    bool allowables_row(int k) const { return k == combinations(); }
    bool row_empty(int k) const { return allowables_row(k) && data().no_allowables_row; }
    bool value_shown(int i) const { return !data().restrained_only || restrained(layout_row, i); }
    // True when a value exceeds the allowable of its direction (extremes
    // and allowables rows only; an allowable of 0 checks nothing).
    bool over_allowable(int k, int i) const
    {
        const int n = combinations();
        if (!data().allowables || k <= n - 3)
            return false;
        const float allowed = value(n, i);
        return allowed != 0.0f && std::fabs(value(k, i)) > std::fabs(allowed);
    }
    int quantity(int i) const { return value_quantity(kind_, layout_row, i); }
    std::string value_cell(int k, int i) const
    {
        if (row_empty(k) || !value_shown(i))
            return {};
        return value_text(value(k, i), quantity(i));
    }

    std::string header_text(int column, int line) override
    {
        const int n = value_count();
        if (line == 0)
            return {};
        if (column == 1)
            return line == 1 ? "Load combination" : "";
        if (column <= 1 + n) {
            const LoadValue& v = data().values[static_cast<std::size_t>(column - 2)];
            return line == 1 ? label_with_unit(v.global, quantity(column - 2)) : "";
        }
        static const char* const xyz[] = {"X", "Y", "Z"};
        return line == 1 ? label_with_unit(xyz[column - 2 - n], DISPLACEMENT) : "";
    }
    std::string cell_text(int row, int column, int line) override
    {
        const int n = value_count();
        if (line != 0 || row < 1 || row > combinations())
            return {};
        if (column == 1)
            return support_summary_columns()[row];
        if (column <= 1 + n) {
            const int i = column - 2;
            if (over_allowable(row, i) && value_shown(i)) {
                table_set_text_color(*this, OVER_ALLOWABLE);
                tprint_highlight_cell(*this, row, column, line);
            }
            return value_cell(row, i);
        }
        if (row_empty(row))
            return {};
        return format_displacement_or_none(value(row, value_count() + column - 2 - n));
    }
    std::optional<Pen> row_rule_pen(int row) override
    {
        // The rule above "Maximum" sets the extremes apart.
        return row == combinations() - 3 ? std::optional<Pen>(EMPHASIS_PEN) : std::nullopt;
    }
    void draw_column_rule(TableCanvas& c, int column) override
    {
        const int n = value_count();
        if (c.in_header && (column == 3 + n || column == 4 + n) && c.drawn(column)) {
            const int x = c.left[static_cast<std::size_t>(column)];
            c.printing ? tprint_vline(c, x, c.header_line_y(1), c.bottom) : tpaint_vline(c, x, c.header_line_y(1), c.bottom);
            return;
        }
        TablePrint::draw_column_rule(c, column);
    }
    void contents_entry() override
    {
        add_contents_entry(c_format("%s at %s %s", data().singular, kind_ == 5 ? "Node" : "node",
                                    node_of_row(layout_row).c_str()),
                           1);
    }
    void on_leave() override
    {
        state().summary_rows[static_cast<std::size_t>(kind_)] = current_row;
        ResultTable::on_leave();
    }
    bool on_key(int key, unsigned mods) override
    {
        if (mods == MOD_NONE && (key == KEY_LEFT || key == KEY_RIGHT)) {
            if (results().numsupports() >= 2)
                key == KEY_LEFT ? show_previous_summary_support() : show_next_summary_support();
            return true;
        }
        return ResultTable::on_key(key, mods);
    }

    std::string value_heading(int i) const
    {
        return label_with_unit(data().values[static_cast<std::size_t>(i)].global, quantity(i));
    }
    // The form of value i in the text report.
    RealForm text_form(int i) const { return quantity(i) == MOMENT ? moment_integer_form() : force_integer_form(); }
    // Where the text report puts the values: the line of its row each
    // stands on (0 the combination's own) and the column of its last
    // character. Every value stands whole, one blank at least after what
    // stands before it: in the kind's own columns where they have the room,
    // else moved right by what the longest combination name, the value's
    // heading or the widest value of its column needs. A value that would
    // pass the page's right column goes on the next line of the row, as
    // far right of the names as the first.
    struct ValuePlaces {
        std::vector<int> line, end;   // by value
        int lines = 1;
    };
    ValuePlaces value_places(int rows_written) const
    {
        const auto& names = support_summary_columns();
        int name_room = utf8_length("Load combination");
        for (int k = 1; k <= rows_written; ++k)
            name_room = std::max(name_room, utf8_length(names[k]));
        const int names_end = REPORT_LEFT_COLUMN + name_room - 1;
        std::vector<int> ends = data().summary_ends;
        if (data().shape == Shape::Skewed && quantity(0) == MOMENT)
            ends[0] = 40;
        ValuePlaces places;
        int filled = names_end, line = 0;
        for (int i = 0; i < value_count(); ++i) {
            int width = utf8_length(value_heading(i));
            if (value_shown(i)) {
                const RealForm form = text_form(i);
                for (int k = 1; k <= rows_written; ++k)
                    if (!row_empty(k)) {
                        char text[NUMBER_TEXT_SIZE];
                        const ShownReal v = form.of(value(k, i));
                        width = std::max(width, static_cast<int>(write_real(text, v.value, v.width, v.decimals) - text));
                    }
            }
            int end = std::max(ends[static_cast<std::size_t>(i)], filled + 1 + width);
            if (end > REPORT_RIGHT_COLUMN && filled > names_end) {
                ++line;
                end = names_end + 1 + width;
            }
            places.line.push_back(line);
            places.end.push_back(end);
            filled = end;
        }
        places.lines = line + 1;
        return places;
    }
    // The text header: the title, then the value headings over their
    // values, on as many lines as a row takes.
    void text_header(const ValuePlaces& places) const
    {
        report_print_centred_page(const_cast<SupportSummaryTable*>(this)->print_title());
        report_next_line();
        report_rule();
        report_print_at("Load combination", REPORT_LEFT_COLUMN);
        for (int line = 0; line < places.lines; ++line) {
            for (int i = 0; i < value_count(); ++i) {
                const auto at = static_cast<std::size_t>(i);
                if (places.line[at] != line)
                    continue;
                // A snubber's heading stands centred over its load.
                if (data().shape == Shape::Snubber)
                    report_print_centred(value_heading(i), places.end[at] - 8, places.end[at] + 2);
                else
                    report_print_right(value_heading(i), places.end[at]);
            }
            report_next_line();
        }
        report_rule();
    }
    void print_text() override
    {
        const int n = combinations();
        const int rows_written = data().no_allowables_row ? n - 1 : n;
        const ValuePlaces places = value_places(rows_written);
        std::vector<RealForm> forms;
        for (int i = 0; i < value_count(); ++i)
            forms.push_back(text_form(i));
        const auto& names = support_summary_columns();
        report_rows(
            1, [this, &places] { text_header(places); },
            c_format("%s at Node %s", capitalised().c_str(), node_of_row(layout_row).c_str()), 1, rows_written,
            [&](int k) {
                report_print_at(names[k], REPORT_LEFT_COLUMN);
                const std::vector<float>* e = row_empty(k) ? nullptr : entry(k);
                for (int line = 0; line < places.lines; ++line) {
                    for (int i = 0; e && i < value_count(); ++i) {
                        const auto at = static_cast<std::size_t>(i);
                        if (places.line[at] == line && value_shown(i))
                            report_number_right(forms[at].of(at < e->size() ? (*e)[at] : 0.0f), places.end[at]);
                    }
                    report_next_line();
                }
            },
            places.lines);
    }
    void print_csv() override
    {
        const int n = combinations();
        report_print_first(print_title());
        report_next_line();
        report_rule();
        csv_add_text("Load combination");
        for (int i = 0; i < value_count(); ++i)
            csv_add_text(label_with_unit(data().values[static_cast<std::size_t>(i)].global, quantity(i)));
        for (const char* xyz : {"X", "Y", "Z"})
            csv_add_text(label_with_unit(xyz, DISPLACEMENT));
        report_next_line();
        for (int k = 1; k <= n; ++k) {
            if (row_empty(k))
                continue;
            csv_add_text(support_summary_columns()[k]);
            // Every value, restrained or not.
            for (int i = 0; i < value_count(); ++i)
                csv_add_cell(value_text(value(k, i), quantity(i)));
            for (int d = 0; d < 3; ++d)
                csv_add_cell(format_displacement_or_none(value(k, value_count() + d)));
            report_next_line();
        }
        report_rule();
    }
    bool prepare_print() override
    {
        if (!item_of(layout_row))
            return false;
        title = title_text();
        row_count = combinations();
        groups = {{2 + value_count(), 4 + value_count(), "Displacements (global)", 0}};
        return true;
    }
    // The print entry for a support row (the report and the print command).
    void print_row(int row)
    {
        layout_row = row;
        print();
    }

private:
    int kind_;

    std::string capitalised() const
    {
        // "Skewed Restraint", "Limit Stop", "Generic Support".
        std::string s = data().singular;
        for (std::size_t i = 1; i < s.size(); ++i)
            if (s[i - 1] == ' ')
                s[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
        return s;
    }
};

// ---- The limit-stop status --------------------------------------------------------------------------

class LimitStopStatusTable final : public LayoutRowsResultTable {
public:
    LimitStopStatusTable() : LayoutRowsResultTable(RESULT_SUPPORT_LOADS, 5, 1)
    {
        guide_page = PAGE_LIMIT_STOP_STATUS;
        menus = ResultMenus::LoadCases;
    }

    void refresh() override
    {
        prepare_print();
        table_refresh(*this, "Limit stop status", static_cast<int>(rows.size()), false);
        set_results_title("Limit stop status");
    }
    bool prepare_print() override
    {
        rows = kind_rows(3);
        read_load_case_support_loads();
        title = "Limit stop status";
        row_count = static_cast<int>(rows.size());
        return !rows.empty();
    }
    std::string print_title() override { return "Limit stop status: " + results_loadcase_name(); }
    std::string header_text(int column, int line) override
    {
        if (line != 0)
            return {};
        switch (column) {
        case 1: return "Node";
        case 2: return "Tag";
        case 3: return "Status";
        case 4: return label_with_unit("Load", FORCE);
        case 5: return label_with_unit("Friction", FORCE);
        default: return {};
        }
    }
    std::string cell_text(int row, int column, int line) override
    {
        const int r = layout_row(row);
        const SupportItem* item = item_of(r);
        if (line != 0 || !item)
            return {};
        const float load = item->current_loads.empty() ? 0.0f : item->current_loads[0];
        const float friction = item->current_loads.size() < 2 ? 0.0f : item->current_loads[1];
        switch (column) {
        case 1: return node_of_row(r);
        case 2: return item->tag();
        case 3: return limit_stop_status_text(load);
        case 4: return value_text(load, FORCE);
        case 5: return value_text(friction, FORCE);
        default: return {};
        }
    }
    void contents_entry() override { add_load_case_contents_entry("Limit stop status"); }
    void print_text() override
    {
        report_rows(
            1,
            [this] {
                report_print_centred(print_title(), 6, 78);
                report_next_line();
                report_rule();
                report_print_at("Node", 6);
                report_print_at("Status", 13);
                report_print_centred(label_with_unit("Load", FORCE), 29, 39);
                report_print_centred(label_with_unit("Friction", FORCE), 41, 53);
                report_next_line();
                report_rule();
            },
            results_loadcase_name() + ": Limit stop status", 1, static_cast<int>(rows.size()),
            [this](int row) {
                report_print_at(cell_text(row, 1, 0), 6);
                report_print_at(cell_text(row, 3, 0), 13);
                report_right(cell_text(row, 4, 0), 37);
                report_right(cell_text(row, 5, 0), 50);
                report_next_line();
            });
    }
    void print_csv() override
    {
        csv_plain_table(*this, results_loadcase_name() + ": Limit stop status", print_count(), {4, 5});
    }
};

SupportLoadsTable& loads_table(int kind)
{
    auto& t = state().loads[static_cast<std::size_t>(kind)];
    if (!t)
        t = std::make_unique<SupportLoadsTable>(kind);
    return static_cast<SupportLoadsTable&>(*t);
}

SupportSummaryTable& summary_table(int kind)
{
    auto& t = state().summaries[static_cast<std::size_t>(kind)];
    if (!t)
        t = std::make_unique<SupportSummaryTable>(kind);
    return static_cast<SupportSummaryTable&>(*t);
}

LimitStopStatusTable& status_table()
{
    return lazy_table<LimitStopStatusTable>(state().status);
}

// Prints one kind's loads for the current case (nothing without supports of the kind).
void print_kind_loads(int kind)
{
    loads_table(kind).print();
}

}  // namespace

bool& local_support_loads_shown()
{
    return state().local;
}

std::string limit_stop_status_text(float load)
{
    if (load > 0.0f)
        return "Resting";
    if (load < 0.0f)
        return "At upper limit";
    return "Lifted off";
}

void print_all_support_loads()
{
    if (!results_open() || results().load_case_count() == 0)
        return;
    {
        // The case's loads are read once for the tables of every kind.
        if (results().numsupports() > 0)
            read_load_case_support_loads();
        struct ReadOnce {
            ReadOnce() { state().case_loads_read = true; }
            ~ReadOnce() { state().case_loads_read = false; }
        } once;
        // Anchors, restraints, skewed restraints, hangers, guides, limit
        // stops, nozzles, generic supports (kinds of results_hooks.h).
        for (int kind : {0, 5, 6, 2, 1, 3, 4, 8})
            print_kind_loads(kind);
        switch (results_loadcase_code()) {
        case LC_SEISMIC_G:
        case LC_RESPONSE_SPECTRUM:
        case LC_FORCE_SPECTRUM:
        case LC_TIME_HISTORY:
        case LC_HARMONIC: print_kind_loads(7); break;
        default: break;
        }
    }
    // A shown loads table reads its own case again.
    for (auto& t : state().loads)
        if (t && table_is_shown(*t))
            static_cast<SupportLoadsTable&>(*t).refresh();
}

void print_all_support_summaries()
{
    if (!support_summary_built())
        return;
    const ReportState& s = report_state();
    if (s.text_report && !s.csv_mode) {
        print_support_load_summary();
        return;
    }
    // On pages each support's table enters the contents under the part's heading.
    add_contents_heading("Support load summary");
    for (int32_t row : results().supports_by_kind) {
        const int kind = support_kind_of(model().rows[row].dtype);
        if (kind >= 0)
            summary_table(kind).print_row(row);
    }
    if (current_result() == RESULT_SUPPORT_SUMMARY)
        show_support_load_summary();
}

void show_limit_stop_status()
{
    if (kind_rows(3).empty())
        return;
    status_table().show();
}

void install_support_load_tables()
{
    ResultsHooks& h = results_hooks();
    for (int kind = 0; kind < SUPPORT_KINDS; ++kind) {
        const auto k = static_cast<std::size_t>(kind);
        h.support_loads[k] = [kind] { loads_table(kind).show(); };
        h.support_summary[k] = [kind] { summary_table(kind).show(); };
        h.print_support_summary[k] = [kind](int row) { summary_table(kind).print_row(row); };
        result_page_tables()[PAGE_SUPPORT_LOADS + k] = [kind] { return &support_loads_table(kind); };
        result_page_tables()[PAGE_SUPPORT_SUMMARY + k] = [kind] { return &support_summary_table(kind); };
    }
    result_page_tables()[PAGE_LIMIT_STOP_STATUS] = [] { return &limit_stop_status_table(); };
    h.show_limit_stop_status = show_limit_stop_status;
    ResultItemCommands commands;
    commands.local_global = [] {
        auto* t = dynamic_cast<SupportLoadsTable*>(results_table_view().table());
        if (!t || !table_is_shown(*t) || !t->data().local_option)
            return;
        state().local = !state().local;
        results_frame().menu.set_text(CMD_LOCAL_GLOBAL, state().local ? "Global &Loads\tF7" : "Local &Loads\tF7");
        if (results_frame().window)
            frame_update_menu(results_frame());
        t->show();
    };
    commands.tip = [](int command) -> std::string {
        if (command == CMD_LOCAL_GLOBAL && current_result() == RESULT_SUPPORT_LOADS)
            return state().local ? "Local Loads" : "Global Loads";
        return {};
    };
    set_result_item_commands(RESULT_SUPPORT_LOADS, commands);
    h.closing.push_back([] {
        SupportTablesState& s = state();
        s.summary_rows = {};
    });
}

TableWindow& support_loads_table(int kind)
{
    return loads_table(std::clamp(kind, 0, SUPPORT_KINDS - 1));
}

TableWindow& support_summary_table(int kind)
{
    return summary_table(std::clamp(kind, 0, SUPPORT_KINDS - 1));
}

TableWindow& limit_stop_status_table()
{
    return status_table();
}
