// The model object, its hooks and the row array's growth.
#include "model/model.h"

#include "framework/document.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "model/element_data.h"

#include <cstdint>

Model& model()
{
    return document().part<Model>();
}

void reset_model()
{
    model() = Model{};
}

ModelHooks& model_hooks()
{
    return session_part<ModelHooks>();
}

namespace {

struct GenerateOffset {
    int value = 0;
};

void check_row_room()
{
    if (model().numrows() >= row_capacity())
        throw_message(TOO_MANY_ROWS);
}

}  // namespace

int row_capacity(const LayoutRow* first)
{
    return first && first->etype == ET_COMMENT ? MAXROWS + 1 : MAXROWS;
}

int row_capacity()
{
    const Model& m = model();
    return row_capacity(m.numrows() > 0 ? &m.rows[1] : nullptr);
}

int append_layout_row()
{
    check_row_room();
    return model().rows.push_back(LayoutRow{});
}

int insert_layout_row(int row)
{
    Model& m = model();
    KV_ASSERT(row >= 1 && row <= m.numrows() + 1);
    check_row_room();
    m.rows.insert(row, LayoutRow{});
    m.rebuild_needed = true;
    return row;
}

void delete_layout_row(int row)
{
    Model& m = model();
    KV_ASSERT(m.rows.valid(row));
    m.rows.erase(row);
    if (m.current_row > m.numrows())
        m.current_row = m.numrows();
    m.rebuild_needed = true;
}

int layout_row_index(const LayoutRow& row)
{
    const Model& m = model();
    const auto address = reinterpret_cast<std::uintptr_t>(&row);
    const auto base = reinterpret_cast<std::uintptr_t>(m.rows.data());
    if (address < base || (address - base) % sizeof(LayoutRow) != 0)
        return 0;
    const std::uintptr_t index = (address - base) / sizeof(LayoutRow);
    return index >= 1 && index <= static_cast<std::uintptr_t>(m.numrows()) ? static_cast<int>(index) : 0;
}

int generate_node_offset()
{
    return session_part<GenerateOffset>().value;
}

void set_generate_node_offset(int offset)
{
    session_part<GenerateOffset>().value = offset;
}

void copy_built_geometry(const Model& from, Model& to)
{
    for (int row = 1; row <= from.numrows() && row <= to.numrows(); ++row) {
        const ElementData* a = from.rows[row].element.get();
        ElementData* b = to.rows[row].element.get();
        if (!a || !b)
            continue;
        if (const BendGeometry* g = a->bend_geometry()) {
            KV_ASSERT(b->bend_geometry() != nullptr);
            *b->bend_geometry() = *g;
        }
        if (const JacketGeometry* g = a->jacket_geometry()) {
            KV_ASSERT(b->jacket_geometry() != nullptr);
            *b->jacket_geometry() = *g;
        }
    }
}
