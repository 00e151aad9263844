#include "results/ui/displacement_tables.h"

#include "analysis/analysis_model.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/units.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/nodes.h"
#include "results/centre_of_gravity.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/result_table.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <cmath>
#include <memory>

namespace {

enum DisplacementKind : int { KIND_DISPLACEMENTS, KIND_EXTREMES, DISPLACEMENT_KINDS };
constexpr const char* KIND_NAMES[DISPLACEMENT_KINDS] = {"&Displacements", "&Extremes"};

constexpr const char* GLOBAL_NAMES[6] = {"DX", "DY", "DZ", "RX", "RY", "RZ"};
constexpr const char* LOCAL_NAMES[6] = {"dx", "dy", "dz", "rx", "ry", "rz"};

struct DisplacementUi {
    bool local = false;
    int kind = KIND_DISPLACEMENTS;
    std::unique_ptr<TableWindow> table;
    std::unique_ptr<TableWindow> extremes;
};

DisplacementUi& ui()
{
    return session_part<DisplacementUi>();
}

int quantity_of(int i)
{
    return i < 3 ? DISPLACEMENT : ANGLE;
}

std::string value_text(float value, int i)
{
    if (!std::isfinite(value))
        return {};
    return i < 3 ? format_displacement_or_none(value) : format_angle(value);
}

int node_number(int index)
{
    return model().nodes.valid(index) ? model().nodes[index].number : 0;
}

// ---- The displacements table --------------------------------------------------------------------

class DisplacementTable final : public ResultTable {
public:
    DisplacementTable() : ResultTable(RESULT_DISPLACEMENTS, 7, 2)
    {
        guide_page = PAGE_DISPLACEMENTS;
        menus = ResultMenus::Displacements;
        equal_widths = {{2, 4}, {5, 7}};
    }
    std::string title_text() const
    {
        return local_displacements_shown() ? "Displacements in local coordinates" : "Displacements in global coordinates";
    }
    void refresh() override
    {
        read_load_case_displacements();
        table_refresh(*this, title_text(), results().numresultnodes(), false);
        set_results_title(title_text());
    }
    std::string print_title() override { return title_text() + ": " + results_loadcase_name(); }
    int print_count() override { return results().numresultnodes(); }
    bool prepare_print() override
    {
        if (!results_open() || results().load_case_count() == 0)
            return false;
        read_load_case_displacements();
        title = title_text();
        row_count = results().numresultnodes();
        return true;
    }
    int node_index(int row) const
    {
        const ResultsState& r = results();
        return r.results_nodes.valid(row) ? r.results_nodes[row] : 0;
    }
    int row_node(int row) override { return node_number(node_index(row)); }
    int highlight_layout_row(int row) override
    {
        const int n = node_index(row);
        return model().nodes.valid(n) ? model().nodes[n].row : 0;
    }
    std::string header_text(int column, int line) override
    {
        if (column == 1)
            return line == 0 ? "Node" : "";
        if (column < 2 || column > 7)
            return {};
        const int i = column - 2;
        if (line == 0)
            return (local_displacements_shown() ? LOCAL_NAMES : GLOBAL_NAMES)[i];
        return line == 1 ? unit_label(quantity_of(i)) : "";
    }
    std::string cell_text(int row, int column, int line) override
    {
        const int n = node_index(row);
        if (line != 0 || !n)
            return {};
        if (column == 1)
            return node_text(node_number(n));
        if (column < 2 || column > 7)
            return {};
        return value_text(shown_displacements(n)[static_cast<std::size_t>(column - 2)], column - 2);
    }
    void contents_entry() override
    {
        add_load_case_contents_entry(local_displacements_shown() ? "Displacements (local coordinates)"
                                                                 : "Displacements (global coordinates)");
    }
    void context_menu(Point) override
    {
        MenuItem p;
        append_displacement_menu_items(p);
        p.items.push_back(MenuItem{});
        add_popup_item(p, local_displacements_shown() ? "Local &Displacements" : "Global &Displacements",
                       CMD_LOCAL_GLOBAL);
        p.items.push_back(MenuItem{});
        if (results().load_case_count() > 1) {
            append_load_case_menu_items(p);
            p.items.push_back(MenuItem{});
        }
        append_results_menu_items(p);
        table_popup_menu(*this, p);
    }
    void print_text() override
    {
        const std::string axes = local_displacements_shown() ? "local" : "global";
        const ShownForm translation = displacement_form(), rotation = angle_form();
        report_rows(
            2,
            [this] {
                report_print_centred(print_title(), 6, 78);
                report_next_line();
                report_rule();
                report_print_at("Node", 6);
                for (int i = 0; i < 6; ++i)
                    report_print_centred(label_with_unit((local_displacements_shown() ? LOCAL_NAMES : GLOBAL_NAMES)[i],
                                                         quantity_of(i)),
                                         TEXT_FROM[i], TEXT_TO[i]);
                report_next_line();
                report_rule();
            },
            results_loadcase_name() + ": Displacements (" + axes + ")", 1, print_count(),
            [&](int row) {
                const int n = node_index(row);
                report_node_at(node_number(n), 6);
                const std::array<float, 6> d = shown_displacements(n);
                for (int i = 0; i < 6; ++i) {
                    const float v = d[static_cast<std::size_t>(i)];
                    if (!std::isfinite(v))
                        continue;
                    report_written_right(
                        [&](char* out) {
                            return i < 3 ? write_displacement_or_none(out, v, translation) : write_angle(out, v, rotation);
                        },
                        TEXT_END[i]);
                }
                report_next_line();
            },
            0, true);
    }
    void print_csv() override
    {
        const std::string axes = local_displacements_shown() ? "local" : "global";
        csv_add_text(results_loadcase_name() + ": Displacements (" + axes + ")");
        report_next_line();
        report_rule();
        csv_add_text("Node");
        for (int i = 0; i < 6; ++i)
            csv_add_text(label_with_unit((local_displacements_shown() ? LOCAL_NAMES : GLOBAL_NAMES)[i], quantity_of(i)));
        report_next_line();
        for (int row = 1; row <= print_count(); ++row) {
            const int n = node_index(row);
            csv_add_text(node_text(node_number(n)));
            const std::array<float, 6> d = shown_displacements(n);
            for (int i = 0; i < 6; ++i)
                csv_add_cell(value_text(d[static_cast<std::size_t>(i)], i));
            report_next_line();
        }
        report_rule();
    }

private:
    static constexpr int TEXT_FROM[6] = {12, 24, 36, 48, 60, 72};
    static constexpr int TEXT_TO[6] = {21, 33, 45, 57, 69, 81};
    static constexpr int TEXT_END[6] = {20, 32, 44, 56, 68, 80};
};

// ---- The extremes ---------------------------------------------------------------------------------

class ExtremesTable final : public ResultTable {
public:
    ExtremesTable() : ResultTable(RESULT_DISPLACEMENTS, 5, 2)
    {
        guide_page = PAGE_DISPLACEMENT_EXTREMES;
        menus = ResultMenus::Displacements;
        equal_widths = {{2, 3}, {4, 5}};
    }
    void refresh() override
    {
        read_load_case_displacements();
        table_refresh(*this, "Displacement extremes", 6, false);
        set_results_title("Displacement extremes");
    }
    std::string print_title() override { return "Displacement extremes: " + results_loadcase_name(); }
    int print_count() override { return 6; }
    bool prepare_print() override
    {
        if (!results_open() || results().load_case_count() == 0)
            return false;
        read_load_case_displacements();
        title = "Displacement extremes";
        row_count = 6;
        return true;
    }
    std::string header_text(int column, int line) override
    {
        static const char* const names[] = {"Component", "Maximum", "Node", "Minimum", "Node"};
        return line == 0 && column >= 1 && column <= 5 ? names[column - 1] : "";
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || row < 1 || row > 6)
            return {};
        const DisplacementExtremes& x = results().extremes;
        const auto i = static_cast<std::size_t>(row - 1);
        const bool any = x.largest_node[i] != 0 || x.smallest_node[i] != 0;
        switch (column) {
        case 1: return label_with_unit(GLOBAL_NAMES[i], quantity_of(row - 1));
        case 2: return any ? value_text(x.largest[i], row - 1) : "";
        case 3: return node_text(node_number(x.largest_node[i]));
        case 4: return any ? value_text(x.smallest[i], row - 1) : "";
        case 5: return node_text(node_number(x.smallest_node[i]));
        default: return {};
        }
    }
    std::vector<int> row_nodes(int row) override
    {
        if (row < 1 || row > 6)
            return {};
        const DisplacementExtremes& x = results().extremes;
        const auto i = static_cast<std::size_t>(row - 1);
        return {node_number(x.largest_node[i]), node_number(x.smallest_node[i])};
    }
    void contents_entry() override { add_contents_entry("Displacement extremes", 1); }
    void print_text() override
    {
        report_rows(
            6,
            [this] {
                report_print_centred(print_title(), 6, 78);
                report_next_line();
                report_rule();
                report_print_at("Component", 6);
                report_print_at("Maximum", 26);
                report_print_at("Node", 36);
                report_print_at("Minimum", 46);
                report_print_at("Node", 56);
                report_next_line();
                report_rule();
            },
            results_loadcase_name() + ": Displacement extremes", 1, 6,
            [this](int row) {
                report_print_at(cell_text(row, 1, 0), 6);
                report_right(cell_text(row, 2, 0), 32);
                report_print_at(cell_text(row, 3, 0), 36);
                report_right(cell_text(row, 4, 0), 52);
                report_print_at(cell_text(row, 5, 0), 56);
                report_next_line();
            });
    }
    void print_csv() override
    {
        csv_plain_table(*this, results_loadcase_name() + ": Displacement extremes", 6, {2, 4});
    }
};

DisplacementTable& table()
{
    return lazy_table<DisplacementTable>(ui().table);
}

ExtremesTable& extremes()
{
    return lazy_table<ExtremesTable>(ui().extremes);
}

void show_kind(int kind)
{
    ui().kind = kind;
    if (kind == KIND_EXTREMES)
        extremes().show();
    else
        table().show();
}

// ---- CG_DIALOG ---------------------------------------------------------------------------------------

enum CgIds : int {
    CG_WEIGHT_EMPTY = 1501,
    CG_WEIGHT_FULL,
    CG_X_EMPTY,
    CG_X_FULL,
    CG_Y_EMPTY,
    CG_Y_FULL,
    CG_Z_EMPTY,
    CG_Z_FULL,
    CG_WEIGHT_UNIT = 1601,
    CG_LENGTH_UNIT = 1602,
};

const DialogTemplate CG_DIALOG = {
    "CG_DIALOG",
    "Center of Gravity",
    {
        control(0, ControlKind::Static, "", 0, 0),
        control(0, ControlKind::Static, "Empty", 0, 1),
        control(0, ControlKind::Static, "With contents", 0, 2),
        control(0, ControlKind::Static, "Weight", 1, 0),
        control(CG_WEIGHT_EMPTY, ControlKind::Static, "", 1, 1),
        control(CG_WEIGHT_FULL, ControlKind::Static, "", 1, 2),
        unit_control(CG_WEIGHT_UNIT, 1, 3, WEIGHT),
        control(0, ControlKind::Static, "X", 2, 0),
        control(CG_X_EMPTY, ControlKind::Static, "", 2, 1),
        control(CG_X_FULL, ControlKind::Static, "", 2, 2),
        unit_control(CG_LENGTH_UNIT, 2, 3, LENGTH),
        control(0, ControlKind::Static, "Y", 3, 0),
        control(CG_Y_EMPTY, ControlKind::Static, "", 3, 1),
        control(CG_Y_FULL, ControlKind::Static, "", 3, 2),
        control(0, ControlKind::Static, "Z", 4, 0),
        control(CG_Z_EMPTY, ControlKind::Static, "", 4, 1),
        control(CG_Z_FULL, ControlKind::Static, "", 4, 2),
        control(IDOK, ControlKind::Button, "OK", 5, 2, 1, CF_DEFAULT),
    },
};

class CgProc final : public DialogProc {
public:
    explicit CgProc(const PipingCentreOfGravity& cg) : cg_(cg) {}
    void init(Dialog& d) override
    {
        dialog_set_unit_label(CG_WEIGHT_UNIT, WEIGHT);
        dialog_set_unit_label(CG_LENGTH_UNIT, LENGTH);
        fill(cg_.empty, CG_WEIGHT_EMPTY);
        fill(cg_.operating, CG_WEIGHT_FULL);
        center_window(d);
    }

private:
    const PipingCentreOfGravity& cg_;
    static void fill(const WeightAndCentre& w, int first)
    {
        dialog_set_text(first, format_weight(w.weight));
        const bool any = w.weight > 0.0;
        dialog_set_text(first + 2, any ? format_length(w.centre.x) : "");
        dialog_set_text(first + 4, any ? format_length(w.centre.y) : "");
        dialog_set_text(first + 6, any ? format_length(w.centre.z) : "");
    }
};

}  // namespace

const DialogTemplate& centre_of_gravity_template() { return CG_DIALOG; }

bool& local_displacements_shown()
{
    return ui().local;
}

std::array<float, 6> node_displacements(int node)
{
    if (!results_open() || results().load_case_count() == 0 || results_loadcase() == 0)
        return {};
    if (results().loaded.displacements != results_loadcase())
        read_load_case_displacements();
    const ResultsState& r = results();
    return r.displacements.valid(node) ? r.displacements[node] : std::array<float, 6>{};
}

std::array<float, 6> shown_displacements(int node)
{
    const ResultsState& r = results();
    if (!r.displacements.valid(node))
        return {};
    std::array<float, 6> d = r.displacements[node];
    if (!local_displacements_shown())
        return d;
    double x = 0.0, y = 0.0, z = 0.0;
    if (pipe_direction_at_node(model(), node, x, y, z) != 0)
        x = 1.0, y = z = 0.0;
    LocalAxes a;
    a.x = {x, y, z};
    complete_local_axes(a, analysis_options().z_vertical);
    std::array<float, 6> out{};
    for (std::size_t part = 0; part < 2; ++part) {
        const Vec3 g{d[3 * part], d[3 * part + 1], d[3 * part + 2]};
        // A value of "none" (5e29 and above) stays as it is.
        if (std::fabs(g.x) >= NONE_LIMIT || std::fabs(g.y) >= NONE_LIMIT || std::fabs(g.z) >= NONE_LIMIT) {
            for (std::size_t i = 0; i < 3; ++i)
                out[3 * part + i] = d[3 * part + i];
            continue;
        }
        out[3 * part] = static_cast<float>(dot(g, a.x));
        out[3 * part + 1] = static_cast<float>(dot(g, a.y));
        out[3 * part + 2] = static_cast<float>(dot(g, a.z));
    }
    return out;
}

void show_other_displacements()
{
    show_kind(ui().kind);
}

void print_displacements()
{
    table().print();
}

void centre_of_gravity_dialog(WindowId owner)
{
    PipingCentreOfGravity cg;
    backend().set_wait_cursor(true);
    try {
        cg = piping_centre_of_gravity(*make_analysis_model());
    } catch (const MessageText& m) {
        backend().set_wait_cursor(false);
        message_error(owner, m.text);
        return;
    }
    backend().set_wait_cursor(false);
    CgProc proc(cg);
    run_dialog(CG_DIALOG, proc, owner);
}

void install_displacement_tables()
{
    ResultsHooks& h = results_hooks();
    h.show[RESULT_DISPLACEMENTS] = show_other_displacements;
    result_page_tables()[PAGE_DISPLACEMENTS] = [] { return &displacement_table(); };
    result_page_tables()[PAGE_DISPLACEMENT_EXTREMES] = [] { return &displacement_extremes_table(); };
    ResultItemCommands commands;
    commands.other = [] {
        RadioListChoice choice{other_supports_template(DISPLACEMENT_KINDS), "Other Displacements", {}, ui().kind + 1};
        for (const char* name : KIND_NAMES)
            choice.entries.push_back(name);
        if (const int chosen = run_radio_list(choice, results_frame().window))
            show_kind(chosen - 1);
    };
    commands.next = [] { show_kind((ui().kind + 1) % DISPLACEMENT_KINDS); };
    commands.previous = [] { show_kind((ui().kind + DISPLACEMENT_KINDS - 1) % DISPLACEMENT_KINDS); };
    commands.local_global = [] {
        local_displacements_shown() = !local_displacements_shown();
        show_kind(ui().kind);
    };
    commands.tip = [](int command) -> std::string {
        switch (command) {
        case CMD_OTHER_ITEM: return "Other displacements";
        case CMD_NEXT_ITEM: return "Next displacement";
        case CMD_PREVIOUS_ITEM: return "Previous displacement";
        case CMD_LOCAL_GLOBAL: return local_displacements_shown() ? "Local Displacements" : "Global Displacements";
        default: return {};
        }
    };
    set_result_item_commands(RESULT_DISPLACEMENTS, commands);
    h.commands[CMD_CENTER_OF_GRAVITY] = [](int) { centre_of_gravity_dialog(results_frame().window); };
    h.closing.push_back([] { ui().kind = KIND_DISPLACEMENTS; });
}

TableWindow& displacement_table()
{
    return table();
}

TableWindow& displacement_extremes_table()
{
    return extremes();
}
