// The title-bar texts of a row's dialog: what the row's element runs between,
// or the node its data item sits at.
#include "model/layout_row.h"
#include "model/model.h"
#include "model/nodes.h"
#include "platform/backend.h"

void LayoutRow::status_from_to(int row, WindowId window, const std::string& text)
{
    const Model& m = model();
    int previous = previous_element_row(row);
    std::string from = previous ? node_text(m.rows[previous].node) : std::string();
    backend().set_title(window, text + " from " + from + " to " + node_text(m.rows[row].node));
}

void LayoutRow::status_at_node(int row, WindowId window, const std::string& text)
{
    backend().set_title(window, text + " at node " + node_text(model().rows[row].node));
}
