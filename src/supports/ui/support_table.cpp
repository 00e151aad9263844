#include "supports/ui/support_table.h"

#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/frame.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/nodes.h"
#include "supports/support_common.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"

#include <algorithm>
#include <array>

namespace {

struct SupportUiRegistry {
    std::array<std::unique_ptr<SupportKindUi>, MAX_DTYPE + 1> kinds;
    std::array<std::unique_ptr<SupportTable>, MAX_DTYPE + 1> tables;
    // The values a Copy took, by data type.
    std::array<std::unique_ptr<DataItem>, MAX_DTYPE + 1> copied;
};

SupportUiRegistry& registry()
{
    return session_part<SupportUiRegistry>();
}

std::vector<int> column_limits(const SupportKindUi& kind)
{
    std::vector<int> limits{0, 0};
    for (const SupportColumn& c : kind.columns)
        limits.push_back(c.limit);
    return limits;
}

std::unique_ptr<DataItem> clone(const DataItem& item, int dtype)
{
    std::unique_ptr<DataItem> copy = make_data_object(dtype);
    copy->copy_from(item);
    return copy;
}

// After a change of a support: the model is built again (the view and the
// open tables follow), and the layout shows it.
void support_changed()
{
    model_changed();
    reload_layout_table();
}

}  // namespace

SupportTable::SupportTable(const SupportKindUi& kind)
    : LayoutRowsTable(&list_frame(), 1 + static_cast<int>(kind.columns.size()), 2, column_limits(kind)), kind_(kind)
{
    for (int c = 2; c <= columns(); ++c)
        alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
}

SupportItem* SupportTable::item(int row) const
{
    const int r = layout_row(row);
    if (!model().rows.valid(r) || model().rows[r].dtype != kind_.dtype)
        return nullptr;
    return dynamic_cast<SupportItem*>(model().rows[r].data.get());
}

void SupportTable::load()
{
    title = kind_.title;
    list_rows(data_row_list(kind_.dtype), title, true);
}

std::string SupportTable::header_text(int column, int line)
{
    if (column == 1)
        return line == 0 ? "Node" : "";
    if (column < 2 || column > columns())
        return {};
    const SupportColumn& c = kind_.columns[static_cast<std::size_t>(column - 2)];
    if (line == 0)
        return c.heading;
    if (line == 1) {
        if (c.quantity && c.second_quantity)
            return unit_label(c.quantity) + " / " + unit_label(c.second_quantity);
        return c.quantity ? unit_label(c.quantity) : c.unit_text;
    }
    return {};
}

std::string SupportTable::cell_text(int row, int column, int line)
{
    const SupportItem* s = item(row);
    if (!s || line != 0)
        return {};
    if (column == 1)
        return node_text(model().rows[layout_row(row)].node);
    return s->cell_text(column);
}

bool SupportTable::cell_editable(int row, int column)
{
    if (input_locked() || column < 2 || column > columns() || !item(row))
        return false;
    const SupportColumn& c = kind_.columns[static_cast<std::size_t>(column - 2)];
    return c.limit > 0 && c.store != nullptr;
}

void SupportTable::store_cell(int row, int column, const std::string&)
{
    SupportItem* s = item(row);
    if (!s || !cell_editable(row, column))
        return;
    const SupportColumn& c = kind_.columns[static_cast<std::size_t>(column - 2)];
    std::unique_ptr<DataItem> copy = clone(*s, kind_.dtype);
    auto& next = static_cast<SupportItem&>(*copy);
    try {
        c.store(next, layout_row(row));
        if (kind_.check)
            kind_.check(next);
    } catch (const MessageText& m) {
        throw CI{m.text, column};
    }
    if (next.same_values(*s))
        return;
    s->copy_from(next);
    model_modified() = true;
    support_changed();
}

bool SupportTable::can_delete(int row)
{
    return !input_locked() && item(row) != nullptr;
}

void SupportTable::delete_row(int row)
{
    if (!item(row))
        return;
    push_undo_snapshot(frame_window());
    LayoutRow::remove_data_item(layout_row(row));
    support_changed();
    load();
}

bool SupportTable::edit_row(int row)
{
    if (!item(row))
        return false;
    const int r = layout_row(row);
    select_layout_row(r);
    push_undo_snapshot(frame_window());
    if (kind_.edit && kind_.edit(r, frame_window())) {
        support_changed();
        load();
    }
    table_window_refocus(*this);
    return true;
}

std::string SupportTable::copy_row(int row)
{
    if (const SupportItem* s = item(row))
        registry().copied[static_cast<std::size_t>(kind_.dtype)] = clone(*s, kind_.dtype);
    return TableWindow::copy_row(row);
}

bool SupportTable::paste_row(int row, const std::vector<std::string>&)
{
    SupportItem* s = item(row);
    const std::unique_ptr<DataItem>& copied = registry().copied[static_cast<std::size_t>(kind_.dtype)];
    if (!s || !copied || input_locked())
        return false;
    if (s->same_values(*copied))
        return true;
    s->copy_from(*copied);
    model_modified() = true;
    support_changed();
    load();
    return true;
}

void SupportTable::on_row_changed(int row)
{
    if (item(row))
        select_layout_row(layout_row(row));
}

int SupportTable::row_node(int row)
{
    return item(row) ? model().rows[layout_row(row)].node : 0;
}

std::vector<int> SupportTable::row_nodes(int row)
{
    std::vector<int> nodes{row_node(row)};
    if (SupportItem* s = item(row))
        for (const SupportColumn& c : kind_.columns)
            if (c.node)
                nodes.push_back(c.node(*s));
    return nodes;
}

void SupportTable::context_menu(Point)
{
    table_popup_menu(*this, table_popup_show_edit_delete(*this, kind_.name));
}

void SupportTable::print()
{
    // Graphic pages, the CSV form, or the text report in the table's columns.
    const int count = record_count();
    if (!table_print_pages_or_csv(*this, title, count, [this, count] { table_print_csv(*this, title, count); }))
        table_print_text(*this, title, count);
}

void SupportTable::print_text()
{
    print();
}

void SupportTable::print_csv()
{
    print();
}

void SupportTable::contents_entry()
{
    add_contents_entry(title, 0);
}

// ---- Columns ----------------------------------------------------------------------------------

SupportColumn shown_column(std::string heading, int quantity, std::string unit_text)
{
    SupportColumn c;
    c.heading = std::move(heading);
    c.quantity = quantity;
    c.unit_text = std::move(unit_text);
    return c;
}

SupportColumn tag_column(std::function<std::string&(SupportItem&)> tag)
{
    SupportColumn c = shown_column("Tag");
    c.limit = static_cast<int>(TAG_LENGTH);
    c.store = [tag = std::move(tag)](SupportItem& item, int) {
        const std::string text = item_text();
        if (!tag_valid(text))
            throw_invalid("Tag");
        tag(item) = text;
    };
    return c;
}

SupportColumn value_column(std::string heading, int quantity, const char* name, int (*parser)(float&), float empty,
                           std::function<float&(SupportItem&)> field, bool not_negative)
{
    SupportColumn c = shown_column(std::move(heading), quantity);
    c.limit = 12;
    c.store = [name, parser, empty, not_negative, field = std::move(field)](SupportItem& item, int) {
        float value = empty;
        if (!item_text().empty() && (parser(value) != 0 || (not_negative && value < 0.0f)))
            throw_invalid(name);
        field(item) = value;
    };
    return c;
}

SupportColumn connected_column(std::function<int32_t&(SupportItem&)> field)
{
    SupportColumn c = shown_column("CNode");
    c.limit = 7;
    c.node = [field](SupportItem& item) { return field(item); };
    c.store = [field = std::move(field)](SupportItem& item, int row) {
        const int number = parse_existing_node("Connected node");
        if (number != 0 && number == model().rows[row].node)
            throw_invalid_text("Connected node", "is the support's own node");
        field(item) = number;
    };
    return c;
}

// ---- Installation -----------------------------------------------------------------------------

void install_support_kind_ui(SupportKindUi kind)
{
    const int dtype = kind.dtype;
    KV_ASSERT(dtype >= 1 && dtype <= MAX_DTYPE);
    SupportUiRegistry& r = registry();
    r.tables[static_cast<std::size_t>(dtype)].reset();
    r.kinds[static_cast<std::size_t>(dtype)] = std::make_unique<SupportKindUi>(std::move(kind));
    const SupportKindUi& k = *r.kinds[static_cast<std::size_t>(dtype)];
    r.tables[static_cast<std::size_t>(dtype)] = std::make_unique<SupportTable>(k);
    const int list = data_row_list(dtype);
    register_data_list(DataList{k.title, [list] { return model().list(list).count; },
                                [dtype] { open_support_table(dtype); }, false});
    layout_hooks().data_dialog[static_cast<std::size_t>(dtype)] = [](int row) {
        push_undo_snapshot(layout_frame().window);
        return edit_support(row, layout_frame().window);
    };
}

SupportTable* support_table(int dtype)
{
    if (dtype < 1 || dtype > MAX_DTYPE)
        return nullptr;
    return registry().tables[static_cast<std::size_t>(dtype)].get();
}

void open_support_table(int dtype)
{
    SupportTable* t = support_table(dtype);
    if (!t)
        return;
    t->load();
    show_in_list_window(*t);
    table_goto_row(*t, t->current_row, 0, true);
    set_last_table_opener(*t, [dtype] {
        if (SupportTable* shown = support_table(dtype))
            shown->load();
    });
}

bool edit_support(int row, WindowId owner)
{
    if (!model().rows.valid(row))
        return false;
    const int dtype = model().rows[row].dtype;
    if (dtype < 1 || dtype > MAX_DTYPE || !dynamic_cast<SupportItem*>(model().rows[row].data.get()))
        return false;
    const std::unique_ptr<SupportKindUi>& kind = registry().kinds[static_cast<std::size_t>(dtype)];
    return kind && kind->edit && kind->edit(row, owner);
}
