// The model object, its hooks and the row array's growth.
#include "model/model.h"

#include "framework/document.h"
#include "framework/errors.h"
#include "framework/state.h"

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

void check_row_room()
{
    if (model().numrows() >= MAXROWS)
        throw_message("Maximum number of rows exceeded");
}

}  // namespace

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
