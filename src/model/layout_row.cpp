// Layout-row operations: the row's objects, its neighbours, its cells and
// its window titles.
#include "model/layout_row.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"

#include <algorithm>

std::string read_row_name(BinFile& file, std::size_t width)
{
    std::string name = file.read_name(width);
    if (name.size() > NAME_LENGTH)
        name.resize(NAME_LENGTH);
    return name;
}

void write_row_name(BinFile& file, const std::string& name)
{
    file.write_name(std::string_view(name).substr(0, NAME_LENGTH), NAME_FIELD_WIDTH);
}

// ---- The row's objects ------------------------------------------------------------

LayoutRow::LayoutRow() = default;
LayoutRow::LayoutRow(LayoutRow&&) noexcept = default;
LayoutRow& LayoutRow::operator=(LayoutRow&&) noexcept = default;
LayoutRow::~LayoutRow() = default;

LayoutRow::LayoutRow(const LayoutRow& other)
    : node(other.node), absolute(other.absolute), etype(other.etype), dtype(other.dtype), dx(other.dx),
      dy(other.dy), dz(other.dz), material(other.material), section(other.section), load(other.load),
      from_node(other.from_node), node_index(other.node_index), start_node(other.start_node),
      end_node(other.end_node), built(other.built), transparent(other.transparent), shown(other.shown),
      results_offset(other.results_offset), results_words(other.results_words), box_2d(other.box_2d),
      box_render(other.box_render)
{
    if (other.element && etype >= 1 && etype <= MAX_ETYPE) {
        element = make_element_object(etype);
        element->copy_from(*other.element);
    }
    if (other.data) {
        data = make_data_object(dtype);
        if (data)
            data->copy_from(*other.data);
    }
}

LayoutRow& LayoutRow::operator=(const LayoutRow& other)
{
    if (this != &other)
        *this = LayoutRow(other);
    return *this;
}

ElementData* LayoutRow::create_element_object()
{
    KV_ASSERT(etype >= 1 && etype <= MAX_ETYPE);
    element = make_element_object(etype);
    return element.get();
}

DataItem* LayoutRow::create_data_object(int row)
{
    if (dtype < 0 || dtype > MAX_DTYPE)
        throw_message(c_format("*** Invalid dtype = %d, at row %d ***", static_cast<int>(dtype), row));
    data = make_data_object(dtype);
    return data.get();
}

int LayoutRow::data_subtype() const
{
    return data ? data->subtype() : 0;
}

std::string LayoutRow::comment_text() const
{
    const auto* comment = dynamic_cast<const CommentElement*>(element.get());
    return comment ? comment->text() : std::string();
}

ElementData* LayoutRow::change_etype(int row, int new_etype)
{
    Model& m = model();
    KV_ASSERT(m.rows.valid(row));
    KV_ASSERT(new_etype >= 0 && new_etype <= MAX_ETYPE);
    LayoutRow& r = m.rows[row];
    if (r.etype == new_etype && (new_etype == ET_NONE || r.element))
        return r.element.get();

    erase_element(row);
    if (r.etype == ET_BEND && new_etype != ET_BEND)
        remove_data_item(row);

    std::unique_ptr<ElementData> made;
    if (new_etype != ET_NONE) {
        made = make_element_object(new_etype);
        if (new_etype == ET_BEND) {
            for (int i = row - 1; i >= 1; --i) {
                const LayoutRow& previous = m.rows[i];
                if (previous.etype == ET_BEND && previous.element) {
                    made->take_previous_bend(*previous.element);
                    break;
                }
            }
        }
    }
    r.element = std::move(made);
    r.etype = new_etype;
    m.rebuild_needed = true;
    return r.element.get();
}

DataItem* LayoutRow::change_dtype(int row, int new_dtype)
{
    Model& m = model();
    KV_ASSERT(m.rows.valid(row));
    LayoutRow& r = m.rows[row];
    if (new_dtype < 0 || new_dtype > MAX_DTYPE)
        throw_message(c_format("*** Invalid dtype = %d, at row %d ***", new_dtype, row));
    erase_data_item(row);
    r.data = make_data_object(new_dtype);
    r.dtype = new_dtype;
    return r.data.get();
}

void LayoutRow::remove_data_item(int row)
{
    Model& m = model();
    KV_ASSERT(m.rows.valid(row));
    LayoutRow& r = m.rows[row];
    if (r.data)
        erase_data_item(row);
    r.data.reset();
    r.dtype = DT_NONE;
}

void LayoutRow::fill_element_dialog(int row, Dialog& dialog, int etype)
{
    const LayoutRow& r = model().rows[row];
    if (r.etype == etype && r.element)
        r.element->fill_dialog(dialog);
}

void LayoutRow::fill_data_dialog(int row, Dialog& dialog, int dtype)
{
    const LayoutRow& r = model().rows[row];
    if (r.dtype == dtype && r.data)
        r.data->fill_dialog(dialog);
}

// ---- Drawing hooks ----------------------------------------------------------------------

void LayoutRow::erase_element(int row)
{
    if (const auto& hook = model_hooks().erase_element)
        hook(row);
}

void LayoutRow::erase_data_item(int row)
{
    if (const auto& hook = model_hooks().erase_data_item)
        hook(row);
}

void LayoutRow::redraw_element(int row)
{
    if (const auto& hook = model_hooks().redraw_element)
        hook(row);
}

// ---- Titles --------------------------------------------------------------------------------


// ---- Neighbours ----------------------------------------------------------------------------

int LayoutRow::previous_element_row(int row)
{
    const Model& m = model();
    for (int i = std::min(row - 1, m.numrows()); i >= 1; --i) {
        // A row still without a node (typed so far) gives no From node.
        int etype = m.rows[i].etype;
        if ((etype == ET_FROM || etype_is_element(etype)) && m.rows[i].node != 0)
            return i;
    }
    return 0;
}

int LayoutRow::next_element_row(int row)
{
    const Model& m = model();
    for (int i = std::max(row + 1, 1); i <= m.numrows(); ++i) {
        const LayoutRow& r = m.rows[i];
        if (etype_is_element(r.etype) && r.built)
            return i;
    }
    return 0;
}

bool LayoutRow::next_to_end_element(int row)
{
    const Model& m = model();
    for (int i = row + 1; i <= m.numrows(); ++i) {
        int etype = m.rows[i].etype;
        if (etype == ET_FROM || etype_is_element(etype))
            return etype == ET_FROM || etype == ET_RIGID || etype == ET_ELASTIC || etype == ET_TIE_ROD;
    }
    return true;
}

double LayoutRow::pipe_radius(int row)
{
    const auto& hook = model_hooks().pipe_radius;
    return hook ? hook(row) : 0.0;
}

double LayoutRow::symbol_radius(int row)
{
    const auto& hook = model_hooks().symbol_radius;
    return hook ? hook(row) : 0.0;
}

// ---- Cells and comments --------------------------------------------------------------------

std::string LayoutRow::element_cell_text(int row, int column)
{
    const Model& m = model();
    const LayoutRow& r = m.rows[row];
    if (column == 1) {
        int previous = previous_element_row(row);
        return previous ? node_text(m.rows[previous].node) : std::string();
    }
    if (column == 2)
        return node_text(r.node);
    return r.element ? r.element->cell_text(column) : std::string();
}

std::string LayoutRow::data_cell_text(int row, int column)
{
    const LayoutRow& r = model().rows[row];
    if (column == 1)
        return node_text(r.node);
    return r.data ? r.data->cell_text(column) : std::string();
}

void LayoutRow::set_comment_text(int row, const std::string& text)
{
    Model& m = model();
    if (!m.rows.valid(row))
        return;
    auto* comment = dynamic_cast<CommentElement*>(m.rows[row].element.get());
    if (!comment || m.rows[row].etype != ET_COMMENT)
        return;
    std::string stored = text.substr(0, COMMENT_LENGTH);
    if (comment->text() == stored)
        return;
    comment->set_text(stored);
    if (row == 1)
        m.title = stored.size() > TITLE_OFFSET ? stored.substr(TITLE_OFFSET, MAX_TITLE_LENGTH) : std::string();
    model_modified() = true;
}

std::string data_item_kind_name(int dtype, int subtype)
{
    if (const auto& hook = model_hooks().data_subtype_name) {
        std::string name = hook(dtype, subtype);
        if (!name.empty())
            return name;
    }
    return data_type_name(dtype);
}
