#include "loads/ui/load_tables.h"

#include "framework/text.h"
#include "framework/ui/report.h"
#include "model/data_item.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/row_lists.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"

#include <algorithm>

namespace {

std::vector<int> item_limits(const std::vector<LoadColumn<LayoutRow>>& columns)
{
    // Column 1's limit first (slot 0 of `columns` is unused).
    std::vector<int> limits;
    for (std::size_t c = 1; c < columns.size(); ++c)
        limits.push_back(columns[c].limit);
    return limits;
}

}  // namespace

void print_load_table(TablePrint& t, const std::string& title, int count)
{
    if (count <= 0)
        return;
    if (!table_print_pages_or_csv(t, title, count, [&] { table_print_csv(t, title, count); }))
        table_print_text(t, title, count);
}

// ---- ItemRowsTable ------------------------------------------------------------------------

ItemRowsTable::ItemRowsTable(std::string title, int list, std::vector<LoadColumn<LayoutRow>> cols)
    : LayoutRowsTable(&list_frame(), static_cast<int>(cols.size()) - 1, 2, item_limits(cols)),
      title_text(std::move(title)), list_id(list), columns(std::move(cols))
{
    for (std::size_t c = 2; c < columns.size(); ++c)
        alignments[c] = TextAlign::Right;
}

void ItemRowsTable::load()
{
    if (model_rebuild_needed())
        make_model();
    list_rows(list_id, title_text, true);
}

std::string ItemRowsTable::header_text(int column, int line)
{
    if (column < 1 || column >= static_cast<int>(columns.size()))
        return {};
    const LoadColumn<LayoutRow>& c = columns[static_cast<std::size_t>(column)];
    if (line == 0)
        return c.heading;
    return line == 1 && c.unit ? c.unit() : std::string();
}

std::string ItemRowsTable::cell_text(int row, int column, int line)
{
    const int r = layout_row(row);
    if (line != 0 || !model().rows.valid(r) || column < 1 || column >= static_cast<int>(columns.size()))
        return {};
    if (column == 1 && !columns[1].text)
        return std::to_string(r);
    return columns[static_cast<std::size_t>(column)].text(model().rows[r]);
}

bool ItemRowsTable::cell_editable(int row, int column)
{
    return TableWindow::cell_editable(row, column) && !input_locked() && model().rows.valid(layout_row(row)) &&
           column >= 2 && column < static_cast<int>(columns.size()) &&
           columns[static_cast<std::size_t>(column)].store != nullptr;
}

void ItemRowsTable::store_cell(int row, int column, const std::string& text)
{
    const int r = layout_row(row);
    if (!model().rows.valid(r) || column < 2 || column >= static_cast<int>(columns.size()))
        return;
    item_text() = upper_case(squeeze_blanks(text));
    try {
        if (!columns[static_cast<std::size_t>(column)].store(model().rows[r]))
            return;
    } catch (const MessageText& m) {
        throw CI{m.text, column};
    }
    model_modified() = true;
    notify_document_changed();
}

void ItemRowsTable::measure_window(Surface& dc)
{
    TableWindow::measure_window(dc);
    hide_columns(*this, columns);
}

void ItemRowsTable::measure_print(Surface& dc)
{
    TableWindow::measure_print(dc);
    hide_columns(*this, columns);
}

int ItemRowsTable::row_node(int row)
{
    const int r = layout_row(row);
    return model().rows.valid(r) ? model().rows[r].node : 0;
}

void ItemRowsTable::on_row_changed(int row)
{
    if (const int r = layout_row(row); model().rows.valid(r))
        select_layout_row(r);
}

bool ItemRowsTable::edit_row(int row)
{
    const int r = layout_row(row);
    if (!model().rows.valid(r) || !dialog)
        return false;
    select_layout_row(r);
    push_undo_snapshot(frame_window());
    if (dialog(r)) {
        notify_document_changed();
        reload_layout_table();
        load();
        table_window_refocus(*this);
    }
    return true;
}

bool ItemRowsTable::can_delete(int row)
{
    return !input_locked() && list_id >= ANCHOR_ROWS && model().rows.valid(layout_row(row));
}

void ItemRowsTable::delete_row(int row)
{
    if (!can_delete(row))
        return;
    push_undo_snapshot(frame_window());
    LayoutRow::remove_data_item(layout_row(row));
    model_changed();
    reload_layout_table();
    load();
}

void ItemRowsTable::context_menu(Point)
{
    // One of the table's items: "Force" of "Forces", "Concentrated mass" of
    // "Concentrated masses".
    std::string name = title_text;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, "sses") == 0)
        name.erase(name.size() - 2);
    else if (!name.empty() && name.back() == 's')
        name.pop_back();
    table_popup_menu(*this, list_id >= ANCHOR_ROWS && !input_locked() ? table_popup_show_edit_delete(*this, name)
                                                                       : table_popup_show_edit(*this, name));
}

void ItemRowsTable::print() { print_load_table(*this, title_text, record_count()); }
void ItemRowsTable::print_text() { print(); }
void ItemRowsTable::print_csv() { print(); }
void ItemRowsTable::contents_entry() { add_contents_entry(title_text, 0); }

void open_item_rows_table(ItemRowsTable& t)
{
    t.current_row = 1;
    t.top_row = 0;
    show_in_list_window(t);
    t.load();
    set_last_table_opener(t, [&t] { t.load(); });
}
