#include "elements/ui/attribute_table.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document.h"
#include "framework/text.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"

#include <algorithm>

AttributeRowsTable::AttributeRowsTable(int list_id, std::vector<int> dtypes, const char* title_text,
                                       const char* kind_name, int columns, int header_lines)
    : LayoutRowsTable(&list_frame(), columns, header_lines), list_id_(list_id), dtypes_(std::move(dtypes)),
      kind_name_(kind_name)
{
    title = title_text;
}

void AttributeRowsTable::load()
{
    if (model_rebuild_needed())
        make_model();
    list_rows(list_id_, title, true);
    measure_needed = true;
    table_invalidate_rows(*this);
}

DataItem* AttributeRowsTable::item(int row) const
{
    const int r = layout_row(row);
    if (!model().rows.valid(r))
        return nullptr;
    const LayoutRow& lr = model().rows[r];
    if (std::find(dtypes_.begin(), dtypes_.end(), lr.dtype) == dtypes_.end())
        return nullptr;
    return lr.data.get();
}

std::string AttributeRowsTable::header_text(int column, int line)
{
    const std::vector<std::string>& texts = line == 0 ? headings : second_headings;
    return column >= 1 && column < static_cast<int>(texts.size()) ? texts[static_cast<std::size_t>(column)]
                                                                    : std::string();
}

std::string AttributeRowsTable::cell_text(int row, int column, int line)
{
    const DataItem* d = item(row);
    if (!d || line != 0)
        return {};
    return column == 1 ? node_text(model().rows[layout_row(row)].node) : d->cell_text(column);
}

bool AttributeRowsTable::can_delete(int row)
{
    return !input_locked() && item(row) != nullptr;
}

void AttributeRowsTable::delete_row(int row)
{
    if (!can_delete(row))
        return;
    push_undo_snapshot(frame_window());
    LayoutRow::remove_data_item(layout_row(row));
    model_changed();
    reload_layout_table();
    focus_layout_table();
    load();
}

bool AttributeRowsTable::edit_row(int row)
{
    const int r = layout_row(row);
    if (!open_dialog || !item(row))
        return false;
    if (open_dialog(r, frame_window())) {
        load();
        table_window_refocus(*this);
    }
    return true;
}

void AttributeRowsTable::on_row_changed(int row)
{
    if (item(row))
        select_layout_row(layout_row(row));
}

int AttributeRowsTable::row_node(int row)
{
    return item(row) ? model().rows[layout_row(row)].node : 0;
}

void AttributeRowsTable::context_menu(Point)
{
    if (open_dialog) {
        table_popup_menu(*this, table_popup_show_edit_delete(*this, kind_name_));
        return;
    }
    // A kind without a dialog: Delete and List only (List alone while locked).
    MenuItem popup = table_popup_show_edit(*this, kind_name_);
    popup.items.erase(popup.items.begin());
    if (!input_locked() && !view_only)
        popup.items.insert(popup.items.begin(),
                           MenuItem{std::string("&Delete ") + kind_name_, CMD_DELETE, {}, !delete_enabled});
    table_popup_menu(*this, popup);
}

void AttributeRowsTable::contents_entry()
{
    add_contents_entry(title, 0);
}

void AttributeRowsTable::print()
{
    write_report();
}

void AttributeRowsTable::print_text()
{
    write_report();
}

void AttributeRowsTable::print_csv()
{
    write_report();
}

void AttributeRowsTable::write_report()
{
    load();
    const int count = record_count();
    if (count == 0)
        return;
    auto lines = [this] {
        const ReportHeading heading = report_heading();
        ReportTable table([&] { print_report_heading(heading); }, 2);
        report_contents_line(heading.title);
        for (int row = 1; row <= record_count(); ++row) {
            const DataItem* d = item(row);
            if (!d)
                continue;
            const int r = layout_row(row);
            report_print_at(node_text(model().rows[r].node), 6);
            report_line(r, *d);
            report_next_line();
        }
        table.close();
    };
    if (!table_print_pages_or_csv(*this, title, count, lines))
        lines();
}

void open_attribute_table(AttributeRowsTable& t)
{
    t.load();
    show_in_list_window(t);
    t.load();
    table_goto_row(t, t.current_row, 0, true);
    set_last_table_opener(t, [&t] { t.load(); });
}
