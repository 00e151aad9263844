#include "qualification/ui/allowable_ui.h"

#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "model/model_file.h"
#include "model/nodes.h"
#include "model/ui/model_edit.h"
#include "model/ui/list_window.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/equipment_tables.h"

#include <optional>

namespace {

constexpr const char* TITLE = "Allowables";
const char* const VALUE_NAMES[ALLOWABLE_VALUES] = {"FX/P", "FY/VL", "FZ/VC", "MX/MT", "MY/MC", "MZ/ML"};

int value_quantity(int i) { return i < 3 ? FORCE : MOMENT; }
std::string value_text(int i, float v)
{
    if (v == 0.0f)
        return {};
    return i < 3 ? format_force(v) : format_moment(v);
}

// ---- ALLOWABLE_DIALOG --------------------------------------------------------------

class AllowableDialog final : public SnapshotDialogProc {
public:
    AllowableDialog(AllowableLoad& record, int number, std::optional<AllowableLoad> pasted)
        : record_(record), number_(number), pasted_(std::move(pasted))
    {
    }

    void init(Dialog& d) override
    {
        d.set_caption(c_format("Allowable # %d", number_));
        const AllowableLoad& shown = pasted_ ? *pasted_ : record_;
        for (int i = 0; i < ALLOWABLE_VALUES; ++i) {
            dialog_set_text(ALLOWABLE_LABEL + i, std::string(VALUE_NAMES[i]) + " " + unit_label(value_quantity(i)));
            const float v = shown.values[static_cast<std::size_t>(i)];
            shown_.show(ALLOWABLE_VALUE + i, v, value_text(i, v));
        }
        dialog_set_text(ALLOWABLE_NODE, node_text(shown.node));
        dialog_select_focus(ALLOWABLE_NODE);
        if (input_locked()) {
            for (int id = ALLOWABLE_NODE; id <= ALLOWABLE_VALUE + 5; ++id)
                dialog_set_readonly(id);
            dialog_set_focus(IDOK);
        }
        dialog_point_to_item(IDOK);
    }

    bool ok(Dialog& d) override
    {
        if (input_locked()) {
            d.end(0);
            return true;
        }
        AllowableLoad a;
        a.node = read_node_field(ALLOWABLE_NODE, "Node");
        for (int i = 0; i < ALLOWABLE_VALUES; ++i)
            a.values[static_cast<std::size_t>(i)] = read_shown_value(
                shown_, ALLOWABLE_VALUE + i, i < 3 ? parse_force_buffer : parse_moment_buffer, VALUE_NAMES[i]);
        if (a.node == 0)
            dialog_throw(ALLOWABLE_NODE, "Node number is required");
        store_if_changed(record_, a);
        d.end(1);
        return true;
    }

private:
    AllowableLoad& record_;
    int number_;
    std::optional<AllowableLoad> pasted_;
    ShownValues shown_;
};

int run_allowable_dialog(AllowableLoad& record, int number, WindowId owner, std::optional<AllowableLoad> pasted)
{
    AllowableDialog proc(record, number, std::move(pasted));
    return run_dialog(ALLOWABLE_DIALOG, proc, owner) == 1 ? 1 : 0;
}

// ---- The table ------------------------------------------------------------------------

std::string allowable_header(int column, int line)
{
    if (column == 1)
        return line == 0 ? "Node" : "";
    if (column < 2 || column > 7)
        return {};
    return line == 0 ? VALUE_NAMES[column - 2] : line == 1 ? unit_label(value_quantity(column - 2)) : "";
}
std::string allowable_cell(const AllowableLoad& a, int column)
{
    if (column == 1)
        return node_text(a.node);
    if (column < 2 || column > 7)
        return {};
    return value_text(column - 2, a.values[static_cast<std::size_t>(column - 2)]);
}

class AllowablesPrint final : public TablePrint {
public:
    AllowablesPrint() : TablePrint(7, 2)
    {
        for (int c = 2; c <= 7; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
    }
    std::string header_text(int column, int line) override { return allowable_header(column, line); }
    std::string cell_text(int row, int column, int line) override
    {
        return line == 0 && allowables().valid(row) ? allowable_cell(allowables()[row], column) : std::string();
    }
    void measure_print(Surface& dc) override
    {
        TablePrint::measure_print(dc);
        equalize_widths(widths, 2, 7);
    }
    void contents_entry() override { add_contents_entry(TITLE, 1); }
};

class AllowablesTable final : public EquipmentListTable<AllowableLoad> {
public:
    AllowablesTable() : EquipmentListTable(&list_frame(), 7, 2, {7, 12, 12, 12, 12, 12, 12})
    {
        for (int c = 2; c <= 7; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
    }

    std::optional<AllowableLoad> copy_source;   // set by Copy, used by Paste

    OneBased<AllowableLoad>& list() const override { return allowables(); }
    std::string title() const override { return TITLE; }
    std::string record_name() const override { return TITLE; }
    std::vector<int> record_nodes(const AllowableLoad& a) const override { return {a.node}; }

    std::string header_text(int column, int line) override { return allowable_header(column, line); }
    std::string cell_text(int row, int column, int line) override
    {
        const AllowableLoad* a = line == 0 ? record(row) : nullptr;
        return a ? allowable_cell(*a, column) : std::string();
    }
    void measure_window(Surface& dc) override
    {
        TableWindow::measure_window(dc);
        equalize_widths(widths, 2, 7);
    }
    bool cell_editable(int row, int) override { return record(row) != nullptr; }
    void filter_char(int column, std::string& ch) override
    {
        if (column != 1)
            table_filter_name(ch);
    }
    // Each column takes what is typed as the dialog's field does, with the
    // same checks and messages.
    void store_cell(int row, int column, const std::string&) override
    {
        AllowableLoad* a = record(row);
        if (!a || column < 1 || column > 1 + ALLOWABLE_VALUES)
            return;
        AllowableLoad changed = *a;
        if (column == 1) {
            changed.node = read_node_text("Node");
            if (changed.node == 0 && a->node != 0)
                throw_cell_error("Node number is required", 1);
        } else {
            const int i = column - 2;
            float v = 0.0f;
            if ((i < 3 ? parse_force_buffer(v) : parse_moment_buffer(v)) != 0)
                throw_invalid(VALUE_NAMES[i]);
            changed.values[static_cast<std::size_t>(i)] = v;
        }
        store_typed(*a, changed);
    }
    void leave_row(int row) override
    {
        if (record(row) == &draft && draft.node != 0) {
            append_draft();
            return;
        }
        // Loads typed without their node are kept until the node is given.
        if (record(row) == &draft && draft != AllowableLoad{})
            throw_cell_error("Node number is required", 1);
        TableWindow::leave_row(row);
    }
    bool edit_row(int row) override { return open_dialog(row, std::nullopt); }
    bool open_dialog(int row, std::optional<AllowableLoad> pasted)
    {
        AllowableLoad* a = record(row);
        if (!a)
            return false;
        if (!pasted)
            push_undo_snapshot(frame_window());
        const bool closed = run_allowable_dialog(*a, row, frame_window(), std::move(pasted)) == 1;
        if (allowables().valid(row) && model_modified())
            notify_document_changed();
        table_window_refocus(*this);
        if (closed)
            leave_row(row);
        return true;
    }
    std::string copy_row(int row) override
    {
        if (allowables().valid(row))
            copy_source = allowables()[row];
        return TableWindow::copy_row(row);
    }
    bool paste_row(int row, const std::vector<std::string>&) override
    {
        if (!copy_source || !record(row)) {
            discard_undo_snapshot();
            return true;
        }
        std::optional<AllowableLoad> source = copy_source;
        copy_source.reset();
        table_keep_visible(*this);
        open_dialog(row, source);
        return true;
    }
    void print() override { print_allowables(); }
};

struct AllowableTables {
    AllowablesTable table;
    AllowablesPrint print;
};
AllowableTables& tables() { return session_part<AllowableTables>(); }

void text_headings()
{
    report_print_centred_page(TITLE);
    report_next_line();
    report_rule();
    report_print_at("Node", 4);
    for (int i = 0; i < ALLOWABLE_VALUES; ++i)
        report_print_at(VALUE_NAMES[i], 17 + 11 * i);
    report_next_line();
    for (int i = 0; i < ALLOWABLE_VALUES; ++i)
        report_print_at(unit_label(value_quantity(i)), 17 + 11 * i);
    report_next_line();
    report_rule();
}

}  // namespace

int edit_allowable(AllowableLoad& record, int number, WindowId owner)
{
    return run_allowable_dialog(record, number, owner, std::nullopt);
}

void show_allowables_table() { open_in_list_window(tables().table, 1, true); }
TableWindow& allowables_table() { return tables().table; }

void current_allowable() { table_copy(tables().table); }
void paste_allowable() { table_paste(tables().table); }

void print_allowables()
{
    if (allowables().empty())
        return;
    const ReportState& s = report_state();
    if (s.printing_pages) {
        table_print(tables().print, TITLE, allowables().size());
        return;
    }
    if (!s.text_report)
        return;
    if (s.csv_mode) {
        report_print_first(TITLE);
        report_next_line();
        report_rule();
        for (int c = 1; c <= 7; ++c)
            csv_add_text(allowable_header(c, 0));
        report_next_line();
        for (int c = 1; c <= 7; ++c)
            c == 1 ? csv_add_cell("") : csv_add_unit_cell(value_quantity(c - 2));
        report_next_line();
        for (const AllowableLoad& a : allowables()) {
            for (int c = 1; c <= 7; ++c)
                csv_add_cell(allowable_cell(a, c));
            report_next_line();
        }
        report_rule();
        return;
    }
    ReportTable table(text_headings, 2);
    for (const AllowableLoad& a : allowables()) {
        report_print_decimal(node_text(a.node), 7);
        for (int i = 0; i < ALLOWABLE_VALUES; ++i)
            report_print_decimal(value_text(i, a.values[static_cast<std::size_t>(i)]), 20 + 11 * i);
        report_next_line();
    }
    table.close();
}

void install_allowables_ui()
{
    subscribe_document_changed("allowables table", [](const DocumentChange& change) {
        if (change.kind == DocumentChange::Cleared && change.part == SECTION_ALLOWABLES) {
            tables().table.draft = AllowableLoad{};
            tables().table.copy_source.reset();
            table_reset(tables().table);
        }
    });
    register_data_list(DataList{TITLE, [] { return allowables().size(); }, show_allowables_table, true, CMD_ALLOWABLES});
    register_command(CMD_ALLOWABLES, [](int) { show_allowables_table(); });
    model_edit_hooks().allowable_at_node = [](int node) { return allowable_at_node(node); };
    model_edit_hooks().renumber_allowables = [](const std::vector<std::pair<int, int>>& pairs) {
        renumber_equipment_nodes(pairs);
    };
}
