#include "elements/ui/element_ui_common.h"

#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "materials/pipe_section.h"
#include "model/model.h"
#include "model/value_bounds.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/view_drawing.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int SELECT_LIST = 1701;

const DialogTemplate SELECT_DIALOG = {
    "SELECT_DIALOG",
    "Select Section",
    {
        control(SELECT_LIST, ControlKind::List, "", 0, 0, 2, CF_NONE, 0, 12),
        control(IDOK, ControlKind::Button, "OK", 12, 0, 1, CF_DEFAULT),
        control(IDCANCEL, ControlKind::Button, "Cancel", 12, 1),
    },
};

struct SectionChooser : DialogProc {
    int chosen = 0;
    void init(Dialog&) override
    {
        for (const PipeSection& s : pipe_sections())
            dialog_listbox_add(SELECT_LIST, s.name);
        dialog_listbox_select(SELECT_LIST, 0);
        dialog_set_focus(SELECT_LIST);
    }
    void command(Dialog& d, int id, int code) override
    {
        if (id == SELECT_LIST && code == NOTIFY_DBLCLK && ok(d))
            d.end(IDOK);
    }
    bool ok(Dialog&) override
    {
        const int selection = dialog_listbox_selection(SELECT_LIST);
        if (selection < 0)
            dialog_throw(SELECT_LIST, "Select a section from the list");
        chosen = selection + 1;
        return true;
    }
};

}  // namespace

std::string row_caption_at_node(int row, const std::string& text)
{
    const Model& m = model();
    return text + " at node " + (m.rows.valid(row) ? node_text(m.rows[row].node) : std::string());
}

std::string row_caption_from_to(int row, const std::string& text)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return text;
    const int previous = LayoutRow::previous_element_row(row);
    const std::string from = previous ? node_text(m.rows[previous].node) : std::string();
    return text + " from " + from + " to " + node_text(m.rows[row].node);
}

// ---- The dialog base ------------------------------------------------------------------------

bool ElementDialog::ok(Dialog& d)
{
    if (input_locked()) {
        discard_undo_snapshot();
        return true;
    }
    return store(d);
}

void ElementDialog::remember_texts(Dialog& d, std::initializer_list<int> items)
{
    for (int item : items)
        if (d.has_item(item))
            shown_[item] = d.text(item);
}

bool ElementDialog::untouched(int item) const
{
    const auto it = shown_.find(item);
    if (it == shown_.end() || it->second.empty())
        return false;
    const DialogHelper* helper = current_dialog_helper();
    return helper && helper->dialog && helper->dialog->text(item) == it->second;
}

float ElementDialog::read_dimension(int item, const char* name, double smallest, bool required, float stored) const
{
    dialog_get_text(item);
    if (item_text().empty()) {
        if (required)
            throw_required(name);
        return 0.0f;
    }
    if (untouched(item))
        return stored;
    float value = 0.0f;
    const bool read = parse_dimension_buffer(value) == 0;
    if (!read || value < smallest)
        throw_below_bound(name, ValueBound{DIMENSION, smallest, smallest}, read);
    return value;
}

float ElementDialog::read_flexibility_factor(int item, float stored) const
{
    dialog_get_text(item);
    if (item_text().empty())
        return -1.0f;
    if (untouched(item))
        return stored;
    float value = 0.0f;
    if (parse_real_buffer(value) != 0 || !(value > 0.0f))
        throw_invalid("Flexibility factor");
    return value;
}

float ElementDialog::read_sif(int item, float stored) const
{
    dialog_get_text(item);
    if (item_text().empty())
        return 0.0f;
    if (untouched(item))
        return stored;
    float value = 0.0f;
    if (parse_real_buffer(value) != 0 || !(value > 0.0f))
        throw_invalid("SIF value");
    if (value < 1.0f)
        dialog_throw(item, "SIF value is less than 1.00");
    return value <= 1.0001f ? 1.0001f : value;
}

int ElementDialog::read_intermediate_node(int item) const
{
    dialog_get_text(item);
    int number = 0;
    const int code = parse_node_text(number);
    if (code == 5)
        return 0;
    if (code != 0)
        throw_node_error(item_text(), code);
    if (number > MAX_NODE_NUMBER)
        throw_node_error(item_text(), 6);
    const Model& m = model();
    if (m.rows.valid(row_) && number == m.rows[row_].node)
        throw_node_error(item_text(), 7);
    const int index = node_index(number);
    if (index != 0 && m.nodes[index].row != row_)
        throw_node_error(item_text(), 7);
    return number;
}

float ElementDialog::read_intermediate_angle(int item, float stored) const
{
    dialog_get_text(item);
    if (item_text().empty())
        throw_required("Angle");
    if (untouched(item))
        return stored;
    float angle = 0.0f;
    if (parse_angle_buffer(angle) != 0)
        throw_invalid("Angle");
    if (angle < static_cast<float>(MIN_INTERMEDIATE_ANGLE))
        throw_invalid_text("Angle", "is too small");
    return angle;
}

void ElementDialog::finish_store(bool geometry_changed)
{
    stored_ = true;
    LayoutRow::redraw_element(row_);
    model_modified() = true;
    if (geometry_changed)
        model_rebuild_needed() = true;
    if (model_rebuild_needed())
        model_changed();
}

bool run_element_dialog(const DialogTemplate& t, ElementDialog& proc, WindowId owner)
{
    push_undo_snapshot(owner);
    if (model_rebuild_needed())
        make_model();
    if (run_dialog(t, proc, owner) == IDOK)
        row_kind_confirmed(proc.row());
    return proc.stored();
}

int choose_pipe_section(WindowId owner)
{
    if (numsections() == 0)
        return 0;
    SectionChooser proc;
    return run_dialog(SELECT_DIALOG, proc, owner) == IDOK ? proc.chosen : 0;
}

// ---- The kind tables ------------------------------------------------------------------------

ElementRowsTable::ElementRowsTable(int list_id, const char* title_text, const char* kind_name, int columns,
                                   int header_lines, std::vector<int> char_limits)
    : LayoutRowsTable(&list_frame(), columns, header_lines, std::move(char_limits)), list_id_(list_id),
      kind_name_(kind_name)
{
    title = title_text;
}

void ElementRowsTable::load()
{
    if (model_rebuild_needed())
        make_model();
    list_rows(list_id_, title, false);
    measure_needed = true;
    table_invalidate_rows(*this);
}

int ElementRowsTable::row_node(int row)
{
    const int r = layout_row(row);
    return model().rows.valid(r) ? model().rows[r].node : 0;
}

std::vector<int> ElementRowsTable::row_nodes(int row)
{
    const int r = layout_row(row);
    if (!model().rows.valid(r))
        return {};
    const int from = LayoutRow::previous_element_row(r);
    return {from ? model().rows[from].node : 0, model().rows[r].node};
}

void ElementRowsTable::on_row_changed(int row)
{
    const int r = layout_row(row);
    if (const auto& highlight = pick_hooks().highlight_element; highlight && model().rows.valid(r))
        highlight(r);
}

bool ElementRowsTable::edit_row(int row)
{
    const int r = layout_row(row);
    if (!open_dialog || !model().rows.valid(r))
        return false;
    if (open_dialog(r, frame_window())) {
        load();
        table_window_refocus(*this);
    }
    return true;
}

void ElementRowsTable::context_menu(Point)
{
    table_popup_menu(*this, table_popup_show_edit(*this, kind_name_, local_axes_item));
}

void ElementRowsTable::contents_entry()
{
    add_contents_entry(title, 0);
}

void ElementRowsTable::measure_window(Surface& dc)
{
    TableWindow::measure_window(dc);
    hide_columns();
}

void ElementRowsTable::measure_print(Surface& dc)
{
    TablePrint::measure_print(dc);
    hide_columns();
}

void ElementRowsTable::print()
{
    write_report();
}

void ElementRowsTable::print_text()
{
    write_report();
}

void ElementRowsTable::print_csv()
{
    write_report();
}

void ElementRowsTable::write_report()
{
    load();
    const int count = record_count();
    if (count > 0 && !table_print_pages_or_csv(*this, title, count, [this] { print_csv_form(); }))
        print_text_form();
}

void ElementRowsTable::print_text_lines(const ReportHeading& heading,
                                        const std::function<void(int row, int layout_row)>& line)
{
    ReportTable table([&] { print_report_heading(heading); }, 2);
    report_contents_line(title);
    for (int row = 1; row <= record_count(); ++row) {
        const int r = layout_row(row);
        if (!model().rows.valid(r) || !model().rows[r].element)
            continue;
        line(row, r);
        report_next_line();
    }
    table.close();
}

void open_element_rows_table(ElementRowsTable& t)
{
    t.load();
    show_in_list_window(t);
    t.load();
    const int current = current_layout_row();
    const auto listed = std::find(t.row_list.begin() + 1, t.row_list.end(), current);
    if (current != 0 && listed != t.row_list.end())
        table_goto_row(t, static_cast<int>(listed - t.row_list.begin()), 0, false);
    set_last_table_opener(t, [&t] { t.load(); });
}
