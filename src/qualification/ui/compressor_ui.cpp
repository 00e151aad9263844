#include "qualification/ui/compressor_ui.h"

#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model_file.h"
#include "model/nodes.h"
#include "model/ui/list_window.h"
#include "qualification/pump_evaluation.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/equipment_tables.h"

namespace {

const char* const NODE_NAMES[4] = {"Inlet node", "Exhaust node", "Extraction node 1", "Extraction node 2"};
const char* const COMPONENT_NAMES[3] = {"X comp", "Y comp", "Z comp"};

const char* list_title(int kind) { return kind == MACHINE_COMPRESSOR ? "Compressors" : "Turbines"; }
const char* item_name(int kind) { return kind == MACHINE_COMPRESSOR ? "Compressor" : "Turbine"; }
OneBased<CompressorRecord>& list_of(int kind) { return kind == MACHINE_COMPRESSOR ? compressors() : turbines(); }

int32_t* node_field(CompressorRecord& c, int n)
{
    switch (n) {
    case 0: return &c.inlet;
    case 1: return &c.exhaust;
    case 2: return &c.extraction1;
    default: return &c.extraction2;
    }
}

// ---- COMPRESSOR_DIALOG ---------------------------------------------------------------

class CompressorDialog final : public SnapshotDialogProc {
public:
    CompressorDialog(CompressorRecord& record, int number, int kind) : record_(record), number_(number), kind_(kind) {}

    void init(Dialog& d) override
    {
        d.set_caption(c_format("%s # %d", item_name(kind_), number_));
        dialog_set_text(COMPRESSOR_DESCRIPTION, record_.name);
        for (int n = 0; n < 4; ++n)
            dialog_set_text(COMPRESSOR_NODE + n, node_text(*node_field(record_, n)));
        for (int i = 0; i < 3; ++i) {
            const float v = record_.shaft_axis[static_cast<std::size_t>(i)];
            shown_.show(COMPRESSOR_SHAFT + i, v, shaft_component_text(v));
        }
        dialog_select_focus(COMPRESSOR_DESCRIPTION);
        if (input_locked()) {
            for (int id = COMPRESSOR_DESCRIPTION; id <= COMPRESSOR_SHAFT + 2; ++id)
                dialog_set_readonly(id);
            dialog_set_focus(IDOK);
        }
        center_window(d, IDOK);
    }

    bool ok(Dialog& d) override
    {
        CompressorRecord c = record_;
        dialog_get_record_text(COMPRESSOR_DESCRIPTION, EQUIPMENT_DESCRIPTION_LENGTH - 1);
        c.name = item_text();
        if (c.name.empty())
            dialog_throw(COMPRESSOR_DESCRIPTION, "Description is required");
        for (int n = 0; n < 4; ++n) {
            dialog_get_text(COMPRESSOR_NODE + n);
            *node_field(c, n) = parse_existing_node(NODE_NAMES[n]);
        }
        c.shaft_axis = read_shown_direction(shown_, COMPRESSOR_SHAFT);
        if (const std::string why = machine_shaft_axis_refusal(c); !why.empty())
            dialog_throw(COMPRESSOR_SHAFT, why);
        const int vertical = analysis_options().z_vertical ? 2 : 1;
        if (kind_ == MACHINE_COMPRESSOR && c.shaft_axis[static_cast<std::size_t>(vertical)] != 0.0f) {
            // Stored all the same: a warning, not a refusal.
            message_error(d.window(), "Shaft axis not in horizontal plane");
            dialog_select_focus(COMPRESSOR_SHAFT + 2);
        }
        store_if_changed(record_, c);
        d.end(1);
        return true;
    }

private:
    CompressorRecord& record_;
    int number_;
    int kind_;
    ShownValues shown_;
};

// ---- The table ------------------------------------------------------------------------

enum CompressorColumn : int { COL_DESCRIPTION = 1, COL_NODE = 2, COL_SHAFT = 6, COMPRESSOR_COLUMNS = 8 };

std::string compressor_cell(const CompressorRecord& c, int column)
{
    if (column == COL_DESCRIPTION)
        return c.name;
    if (column >= COL_NODE && column < COL_SHAFT)
        return node_text(compressor_nozzle_node(c, column - COL_NODE));
    if (column >= COL_SHAFT && column <= COMPRESSOR_COLUMNS)
        return shaft_component_text(c.shaft_axis[static_cast<std::size_t>(column - COL_SHAFT)]);
    return {};
}

// Columns, headings and rules of the printed table and of the window.
void set_groups(TablePrint& t)
{
    t.groups = {{4, 5, "Extraction", 0}, {COL_SHAFT, COMPRESSOR_COLUMNS, "Shaft axis direction", 0}};
    for (int c = COL_SHAFT; c <= COMPRESSOR_COLUMNS; ++c)
        t.alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
}
std::string compressor_header(int column, int line)
{
    static const char* const first[] = {"", "", "Inlet", "Exhaust", "", "", "", "", ""};
    static const char* const second[] = {"", "Description", "Node", "Node", "Node 1", "Node 2", "X comp", "Y comp", "Z comp"};
    if (column < 1 || column > COMPRESSOR_COLUMNS)
        return {};
    return line == 0 ? first[column] : line == 1 ? second[column] : "";
}
void compressor_rule(TableCanvas& c, int column)
{
    static const std::set<int> inner = {5, 7, 8};
    draw_group_column_rule(c, column, inner);
}

// The printable twin of a list.
class CompressorsPrint final : public TablePrint {
public:
    CompressorsPrint() : TablePrint(COMPRESSOR_COLUMNS, 2) { set_groups(*this); }
    int kind = MACHINE_COMPRESSOR;
    std::string header_text(int column, int line) override { return compressor_header(column, line); }
    std::string cell_text(int row, int column, int line) override
    {
        const OneBased<CompressorRecord>& list = list_of(kind);
        return line == 0 && list.valid(row) ? compressor_cell(list[row], column) : std::string();
    }
    void draw_column_rule(TableCanvas& c, int column) override { compressor_rule(c, column); }
    void measure_print(Surface& dc) override
    {
        TablePrint::measure_print(dc);
        equalize_widths(widths, COL_SHAFT, COMPRESSOR_COLUMNS);
    }
    void contents_entry() override { add_contents_entry(list_title(kind), 1); }
};

class CompressorsTable final : public EquipmentListTable<CompressorRecord> {
public:
    CompressorsTable() : EquipmentListTable(&list_frame(), COMPRESSOR_COLUMNS, 2, {15, 5, 5, 5, 5, 8, 8, 8})
    {
        set_groups(*this);
    }

    int kind = MACHINE_COMPRESSOR;

    OneBased<CompressorRecord>& list() const override { return list_of(kind); }
    std::string title() const override { return list_title(kind); }
    std::string record_name() const override { return item_name(kind); }
    std::vector<int> record_nodes(const CompressorRecord& c) const override
    {
        return {c.inlet, c.exhaust, c.extraction1, c.extraction2};
    }

    std::string header_text(int column, int line) override { return compressor_header(column, line); }
    std::string cell_text(int row, int column, int line) override
    {
        const CompressorRecord* c = line == 0 ? record(row) : nullptr;
        return c ? compressor_cell(*c, column) : std::string();
    }
    void draw_column_rule(TableCanvas& c, int column) override { compressor_rule(c, column); }
    void measure_window(Surface& dc) override
    {
        TableWindow::measure_window(dc);
        equalize_widths(widths, COL_SHAFT, COMPRESSOR_COLUMNS);
    }
    bool cell_editable(int row, int column) override
    {
        return column >= 1 && column <= COMPRESSOR_COLUMNS && record(row) != nullptr;
    }
    void filter_char(int column, std::string& ch) override
    {
        if (column != COL_DESCRIPTION)
            table_filter_name(ch);
    }
    void store_cell(int row, int column, const std::string& text) override
    {
        CompressorRecord* c = record(row);
        if (!c)
            return;
        push_undo_snapshot(frame_window());
        CompressorRecord changed = *c;
        if (column == COL_DESCRIPTION) {
            changed.name = std::string(utf8_prefix(trimmed(text), EQUIPMENT_DESCRIPTION_LENGTH - 1));
            trim_blanks(changed.name);
        } else if (column < COL_SHAFT) {
            *node_field(changed, column - COL_NODE) = parse_existing_node(NODE_NAMES[column - COL_NODE]);
        } else {
            float v = 0.0f;
            if (parse_real_buffer(v) != 0)
                throw_invalid(COMPONENT_NAMES[column - COL_SHAFT]);
            changed.shaft_axis[static_cast<std::size_t>(column - COL_SHAFT)] = v;
        }
        store_typed(*c, changed);
    }
    void leave_row(int row) override
    {
        CompressorRecord* c = record(row);
        if (!c)
            return;
        if (c->name.empty()) {
            message_error(frame_window(), "Description is required");
            edit_row(row);
            return;
        }
        if (c->shaft_axis == std::array<float, 3>{})
            throw_cell_error("Direction is invalid", COL_SHAFT);
        if (const std::string why = machine_shaft_axis_refusal(*c); !why.empty())
            throw_cell_error(why, COL_SHAFT);
        if (c == &draft) {
            append_draft(COL_DESCRIPTION);
            return;
        }
        TableWindow::leave_row(row);
    }
    bool edit_row(int row) override
    {
        CompressorRecord* c = record(row);
        if (!c)
            return false;
        push_undo_snapshot(frame_window());
        const bool closed = edit_compressor(*c, row, kind, frame_window()) == 1;
        if (list().valid(row) && model_modified())
            notify_document_changed();
        table_window_refocus(*this);
        if (closed && !input_locked()) {
            try {
                leave_row(row);
            } catch (const CI& e) {
                table_goto_row(*this, row, e.column);
                message_error(frame_window(), e.message);
            }
        }
        return true;
    }
    void print() override { kind == MACHINE_COMPRESSOR ? print_compressors() : print_turbines(); }
};

struct CompressorTables {
    CompressorsTable table;
    CompressorsPrint print;
};
CompressorTables& tables() { return session_part<CompressorTables>(); }

void show_list(int kind)
{
    CompressorsTable& t = tables().table;
    if (t.kind != kind) {
        // The other list: a table of its own to the user, from its first row and column.
        t.kind = kind;
        t.draft = CompressorRecord{};
        table_reset(t);
    }
    open_in_list_window(t, 1, true);
}

// ---- Report ----------------------------------------------------------------------------

void text_headings(const char* title)
{
    report_print_centred_page(title);
    report_next_line();
    report_rule();
    report_print_at("Inlet  Exhaust   Extraction", 20);
    report_print_at("Shaft axis direction", 56);
    report_next_line();
    report_print_at("Description", 5);
    report_print_at("Node", 20);
    report_print_at("Node", 28);
    report_print_at("Node1", 36);
    report_print_at("Node2", 44);
    report_print_at("X comp", 53);
    report_print_at("Y comp", 63);
    report_print_at("Z comp", 73);
    report_next_line();
    report_rule();
}

void print_list(int kind)
{
    const OneBased<CompressorRecord>& list = list_of(kind);
    if (list.empty())
        return;
    const char* title = list_title(kind);
    const ReportState& s = report_state();
    if (s.printing_pages) {
        CompressorsPrint& p = tables().print;
        p.kind = kind;
        table_print(p, title, list.size());
        return;
    }
    if (!s.text_report)
        return;
    if (s.csv_mode) {
        report_print_at(title, 1);
        report_next_line();
        report_rule();
        for (const char* cell : {"", "Inlet", "Exhaust", "Extraction", "", "Shaft axis direction"})
            csv_add_text(cell);
        report_next_line();
        for (const char* cell : {"Description", "Node", "Node", "Node1", "Node2", "X comp", "Y comp", "Z comp"})
            csv_add_text(cell);
        report_next_line();
        report_rule();
        for (const CompressorRecord& c : list) {
            csv_add_text(c.name);
            for (int n = 0; n < 4; ++n)
                csv_add_cell(node_text(compressor_nozzle_node(c, n)));
            for (float v : c.shaft_axis)
                csv_add_cell(shaft_component_text(v));
            report_next_line();
        }
        report_rule();
        return;
    }
    ReportTable table([&title] { text_headings(title); }, 2);
    // The description within the room before the inlet node's column.
    constexpr int DESCRIPTION_ROOM = 15;
    for (const CompressorRecord& c : list) {
        table.keep(report_lines_within(c.name, DESCRIPTION_ROOM));
        report_print_within(c.name, 5, DESCRIPTION_ROOM);
        for (int n = 0; n < 4; ++n)
            report_print_at(node_text(compressor_nozzle_node(c, n)), 21 + 8 * n);
        for (int i = 0; i < 3; ++i)
            report_print_right(format_real_exact(c.shaft_axis[static_cast<std::size_t>(i)], 8, 3), 58 + 10 * i);
        report_next_line();
    }
    table.close();
}

}  // namespace

int edit_compressor(CompressorRecord& record, int number, int kind, WindowId owner)
{
    CompressorDialog proc(record, number, kind);
    return run_dialog(COMPRESSOR_DIALOG, proc, owner) == 1 ? 1 : 0;
}

void show_compressors_table() { show_list(MACHINE_COMPRESSOR); }
void show_turbines_table() { show_list(MACHINE_TURBINE); }
TableWindow& compressors_table() { return tables().table; }

void print_compressors() { print_list(MACHINE_COMPRESSOR); }
void print_turbines() { print_list(MACHINE_TURBINE); }

void install_compressors_ui()
{
    subscribe_document_changed("compressors table", [](const DocumentChange& change) {
        CompressorsTable& t = tables().table;
        const int section = t.kind == MACHINE_COMPRESSOR ? SECTION_COMPRESSORS : SECTION_TURBINES;
        if (change.kind == DocumentChange::Cleared && change.part == section) {
            t.draft = CompressorRecord{};
            table_reset(t);
        }
    });
    register_data_list(DataList{"Compressors", [] { return compressors().size(); }, show_compressors_table, true, CMD_COMPRESSORS});
    register_data_list(DataList{"Turbines", [] { return turbines().size(); }, show_turbines_table, true, CMD_TURBINES});
    register_command(CMD_COMPRESSORS, [](int) { show_compressors_table(); });
    register_command(CMD_TURBINES, [](int) { show_turbines_table(); });
}
