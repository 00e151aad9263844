#include "graphics/ui/mode_shape_table.h"

#include "framework/commands.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/unit_choices.h"
#include "framework/units.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "graphics/graphics_view.h"
#include "graphics/highlight.h"
#include "graphics/shapes.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/ui/shape_commands.h"
#include "model/model.h"
#include "model/nodes.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

using menu::item;
using menu::SEPARATOR;

int mode_count()
{
    return results().modal.modes;
}

std::string mode_caption()
{
    const ResultsState& r = results();
    const double hz = r.modal.frequencies.valid(r.current_mode) ? r.modal.frequencies[r.current_mode] : 0.0;
    return c_format("Mode %d: %.2f Hz", r.current_mode, hz);
}

std::string frame_caption_text()
{
    const ResultsState& r = results();
    const double hz = r.modal.frequencies.valid(r.current_mode) ? r.modal.frequencies[r.current_mode] : 0.0;
    return c_format("Mode  %d:  %.2f Hz", r.current_mode, hz);
}

// The six values of a node in the shape shown, as the columns give them.
std::string value_text(int node, int column)
{
    Vec3 t, r;
    node_displacement(node, t, r);
    const double values[6] = {t.x, t.y, t.z, r.x, r.y, r.z};
    const double v = values[column - 2];
    return column <= 4 ? format_displacement_or_none(v) : format_angle(v);
}

std::string unit_of(int column)
{
    return column <= 1 ? std::string() : unit_label(column <= 4 ? DISPLACEMENT : ANGLE);
}

constexpr std::array<const char*, 7> HEADINGS = {"Node", "X", "Y", "Z", "XX", "YY", "ZZ"};

struct ModeMenus {
    bool items = false;      // the mode items are in the results menu
    bool buttons = false;    // and its buttons enabled
};

class ModeShapeTable final : public TableWindow {
public:
    ModeShapeTable() : TableWindow(&results_frame(), 7, 2)
    {
        editing_allowed = false;
        view_only = true;
    }
    void on_help(WindowId owner) override { open_result_page(PAGE_MODE_SHAPES, owner); }

    // The nodes of the shape record: those with results, else every node.
    void collect()
    {
        row_list.assign(1, 0);
        const ResultsState& r = results();
        if (r.numresultnodes() > 0) {
            for (int i = 1; i <= r.numresultnodes(); ++i)
                row_list.push_back(r.results_nodes[i]);
        } else {
            for (int node = 1; node <= model().numnodes(); ++node)
                row_list.push_back(node);
        }
    }
    int rows() const { return static_cast<int>(row_list.size()) - 1; }
    int node_of(int row) const
    {
        return row >= 1 && row <= rows() ? row_list[static_cast<std::size_t>(row)] : 0;
    }

    std::string header_text(int column, int line) override
    {
        if (column < 1 || column > 7)
            return {};
        if (line == 0)
            return HEADINGS[static_cast<std::size_t>(column - 1)];
        if (line == 1)
            return unit_of(column);
        return {};
    }
    std::string cell_text(int row, int column, int line) override
    {
        const int node = node_of(row);
        if (line != 0 || !model().nodes.valid(node))
            return {};
        if (column == 1)
            return node_text(model().nodes[node].number);
        return value_text(node, column);
    }
    int row_node(int row) override
    {
        const int node = node_of(row);
        return model().nodes.valid(node) ? model().nodes[node].number : 0;
    }
    bool on_key(int key, unsigned mods) override
    {
        if (key == KEY_TAB) {
            cycle_result(mods);
            return true;
        }
        if (mods == MOD_NONE && (key == KEY_LEFT || key == KEY_RIGHT)) {
            step_mode(key == KEY_LEFT ? -1 : 1);
            table_invalidate_rows(*this);
            return true;
        }
        return table_on_key(*this, key, mods);
    }
    void on_row_changed(int row) override
    {
        const int node = node_of(row);
        point_at_node(node);
        if (node && !animation_running())
            highlight_node(node);
    }
    void on_enter() override { enter_mode_shape_menus(); }
    void on_leave() override { leave_mode_shape_menus(); }
    void on_load_case_changed() override {}
    void context_menu(Point) override
    {
        MenuItem popup;
        const ResultsHooks& h = results_hooks();
        auto text = [&h](int id, const char* fallback) {
            const std::string t = h.command_text ? h.command_text(id) : std::string();
            return t.empty() ? std::string(fallback) : t;
        };
        popup.items.push_back(item(text(CMD_SHAPE, "&Show Mode Shape"), CMD_SHAPE));
        popup.items.push_back(item(text(CMD_ANIMATE, "&Show animated mode shape"), CMD_ANIMATE));
        const ShapeState& s = shape_state();
        if (s.mode_shape_shown || s.animating)
            popup.items.push_back(item("&Magnification...", CMD_MAGNIFICATION));
        popup.items.push_back(SEPARATOR);
        popup.items.push_back(item("Next Mode", CMD_NEXT_LOAD_CASE));
        popup.items.push_back(item("Previous Mode", CMD_PREVIOUS_LOAD_CASE));
        popup.items.push_back(SEPARATOR);
        append_results_menu_items(popup);
        table_popup_menu(*this, popup);
    }
    void contents_entry() override { add_contents_entry("Mode shapes", 0); }
    void print() override { print_mode_shapes(); }
    void print_text() override { print_mode_shape_text(); }
    void print_csv() override { print_mode_shape_csv(); }
};

struct ModeTableUi {
    std::unique_ptr<ModeShapeTable> table;
    ModeMenus menus;
};

ModeTableUi& ui()
{
    return session_part<ModeTableUi>();
}

ModeShapeTable& table()
{
    auto& t = ui().table;
    if (!t)
        t = std::make_unique<ModeShapeTable>();
    return *t;
}

void text_heading()
{
    report_print_centred(mode_caption(), 6, 78);
    report_next_line();
    report_rule();
    report_print_at("Node", 6);
    const int from[6] = {15, 26, 37, 48, 59, 70};
    for (int k = 0; k < 6; ++k) {
        const std::string heading =
            k < 3 ? std::string(HEADINGS[static_cast<std::size_t>(k + 1)]) + " " + unit_label(DISPLACEMENT)
                  : std::string(HEADINGS[static_cast<std::size_t>(k + 1)]) + unit_label(ANGLE);
        report_print_centred(heading, from[k], from[k] + 7);
    }
    report_next_line();
    report_rule();
}

void show_title()
{
    set_results_title_fixed(frame_caption_text());
}

}  // namespace

TableWindow& mode_shape_table()
{
    return table();
}

void show_mode_shapes()
{
    if (model().numnodes() == 0 || mode_count() <= 0)
        return;
    ModeShapeTable& t = table();
    set_current_result(RESULT_MODE_SHAPES);
    load_current_mode();
    t.collect();
    t.measure_needed = true;
    const int rows = std::max(1, t.rows());
    table_show_at(t, "Mode shapes", t.rows(), std::clamp(t.current_row, 1, rows), 0);
    show_title();
    table_window_show(t);
}

void step_mode(int delta)
{
    const int modes = mode_count();
    if (modes < 2)
        return;
    ResultsState& r = results();
    int mode = r.current_mode + delta;
    if (mode < 1)
        mode = modes;
    else if (mode > modes)
        mode = 1;
    r.current_mode = mode;
    load_current_mode();
    show_title();
    table_invalidate_rows(table());
    results_case_changed();
}

void enter_mode_shape_menus()
{
    ModeMenus& m = ui().menus;
    Frame& f = results_frame();
    ShapeState& s = shape_state();
    animation_stop();
    s.mode_shape_shown = false;
    // The shape items (216, 221, 300) and their buttons come with the modal
    // results (follow_current_result); the table adds the mode stepping.
    if (!m.items) {
        for (const MenuItem& i : {item("Next mode\tRight Arrow", CMD_NEXT_LOAD_CASE),
                                  item("Previous mode\tLeft Arrow", CMD_PREVIOUS_LOAD_CASE), SEPARATOR})
            f.menu.insert_before(CMD_RESULTS, i);
        m.items = true;
    }
    for (int id : {CMD_PREVIOUS_LOAD_CASE, CMD_NEXT_LOAD_CASE})
        frame_show_button(f, id);
    m.buttons = true;
    results_menu_popup();
}

void leave_mode_shape_menus()
{
    ModeMenus& m = ui().menus;
    Frame& f = results_frame();
    animation_stop();
    highlight_erase();
    mode_shape_hide();
    if (m.items) {
        f.menu.remove_separator_after(CMD_PREVIOUS_LOAD_CASE);
        f.menu.remove(CMD_NEXT_LOAD_CASE);
        f.menu.remove(CMD_PREVIOUS_LOAD_CASE);
        m.items = false;
    }
    if (m.buttons) {
        for (int id : {CMD_PREVIOUS_LOAD_CASE, CMD_NEXT_LOAD_CASE})
            frame_hide_button(f, id);
        m.buttons = false;
    }
    ShapeState& s = shape_state();
    s.mode_shape_shown = false;
    s.animating = false;
}

void print_mode_shape_text()
{
    ModeShapeTable& t = table();
    t.collect();
    {
        ReportTable table(text_heading);
        report_contents_line(mode_caption() + ": Mode shape");
        const int ends[6] = {21, 32, 43, 54, 65, 76};
        for (int row = 1; row <= t.rows(); ++row) {
            report_print_at(t.cell_text(row, 1, 0), 6);
            for (int c = 2; c <= 7; ++c)
                report_print_right(t.cell_text(row, c, 0), ends[c - 2]);
            report_next_line();
        }
    }
    if (report_current_line() != REPORT_FIRST_LINE)
        report_rule();
}

void print_mode_shape_csv()
{
    ModeShapeTable& t = table();
    t.collect();
    csv_add_text(mode_caption() + ": Mode shape");
    report_next_line();
    report_rule();
    // The headings in one row and their units in the next, so that the
    // columns of both line up with the values.
    for (const char* h : HEADINGS)
        csv_add_text(h);
    report_next_line();
    csv_add_text("");
    for (int c = 2; c <= 7; ++c)
        csv_add_unit_cell(c <= 4 ? DISPLACEMENT : ANGLE);
    report_next_line();
    for (int row = 1; row <= t.rows(); ++row) {
        csv_add_text(t.cell_text(row, 1, 0));
        for (int c = 2; c <= 7; ++c)
            csv_add_cell(t.cell_text(row, c, 0));
        report_next_line();
    }
}

void print_mode_shapes()
{
    ModeShapeTable& t = table();
    ResultsState& r = results();
    t.collect();
    if (mode_count() <= 0 || t.rows() <= 0)
        return;
    const ReportState& s = report_state();
    if (s.collecting_contents)
        add_contents_entry("Mode shapes", 0);
    const int current = r.current_mode;
    for (int mode = 1; mode <= mode_count(); ++mode) {
        r.current_mode = mode;
        load_current_mode();
        if (!s.text_report)
            table_print(t, mode_caption(), t.rows());
        else if (s.csv_mode)
            print_mode_shape_csv();
        else
            print_mode_shape_text();
    }
    r.current_mode = current;
    load_current_mode();
}

void install_mode_shape_table()
{
    results_hooks().show[RESULT_MODE_SHAPES] = [] { show_mode_shapes(); };
    result_page_tables()[PAGE_MODE_SHAPES] = [] { return &mode_shape_table(); };
}
