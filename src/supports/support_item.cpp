#include "supports/support_item.h"

#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "framework/state.h"
#include "model/model.h"
#include "model/view_drawing.h"

#include <algorithm>

SupportResultsContext& support_results_context()
{
    return session_part<SupportResultsContext>();
}

void SupportItem::count()
{
    if (const int id = data_row_list(dtype()); id != NO_ROW_LIST)
        model().list(id).count_one();
}

void SupportItem::register_row(int row)
{
    if (const int id = data_row_list(dtype()); id != NO_ROW_LIST)
        model().list(id).add(row);
}

void SupportItem::update_extents(int row)
{
    DataItem::update_extents(row);
    add_symbol_parts_extent(symbol_parts(row), box_2d);
    box_render = box_2d;
}

void SupportItem::draw_2d(int row)
{
    draw_symbol_parts(symbol_parts(row));
}

void SupportItem::build_symbol(int row)
{
    solids.clear();
    const Model& m = model();
    if (!m.rows.valid(row) || !m.nodes.valid(m.rows[row].node_index))
        return;
    solids = support_solids(symbol_parts(row), node_position(m, m.rows[row].node_index));
    box_render = box_2d;
    if (!box_render.empty()) {
        // The node itself, with the margin of a symbol box.
        const NodeRecord& n = m.nodes[m.rows[row].node_index];
        box_render.reset();
        box_render.add(n.sx, n.sy);
        box_render.inflate(static_cast<float>(view_state().symbol_margin));
    }
    add_support_solids_extent(solids, box_render);
}

void SupportItem::draw_3d(int row)
{
    const Model& m = model();
    const bool transparent = m.rows.valid(row) && m.rows[row].transparent;
    gl_set_color(0.1f, 0.55f, 0.25f, transparent ? 0.6f : 1.0f);
    draw_support_solids(solids);
}

bool SupportItem::pick_and_edit(int row, float x, float y)
{
    const Box2D& box = view_state().render_view ? box_render : box_2d;
    if (!box.contains(x, y))
        return false;
    pick_edit_data_item(row);
    return true;
}

void SupportItem::renumber_node(int old_number, int new_number)
{
    if (int32_t* node = connected_node_field(); node && *node != 0 && *node == old_number)
        *node = new_number;
}

bool SupportItem::refers_to_node(int number) const
{
    const int32_t* node = connected_node_field();
    return node && number != 0 && *node == number;
}

int SupportItem::words() const
{
    return support_word_count(dtype());
}

void SupportItem::read_support_loads(BinFile& file)
{
    current_loads.assign(static_cast<std::size_t>(words()), 0.0f);
    if (!current_loads.empty())
        file.read_floats(current_loads.data(), current_loads.size());
}

std::vector<float> SupportItem::current_column() const
{
    std::vector<float> column(current_loads);
    column.resize(static_cast<std::size_t>(words()), 0.0f);
    const auto& t = support_results_context().translation;
    column.insert(column.end(), t.begin(), t.end());
    return column;
}

void SupportItem::allocate_summary(int columns)
{
    summary.assign(static_cast<std::size_t>(std::max(columns, 0)) + 1,
                   std::vector<float>(static_cast<std::size_t>(words()) + 3, 0.0f));
}

void SupportItem::free_summary()
{
    summary.clear();
    summary.shrink_to_fit();
}

void SupportItem::store_summary_column(int column)
{
    if (column >= 1 && static_cast<std::size_t>(column) < summary.size())
        summary[static_cast<std::size_t>(column)] = current_column();
}

void SupportItem::combine_summary_column(int source, int destination, float sign)
{
    const auto size = summary.size();
    if (source < 1 || destination < 1 || static_cast<std::size_t>(source) >= size ||
        static_cast<std::size_t>(destination) >= size)
        return;
    const std::vector<float> current = current_column();
    std::vector<float> out = summary[static_cast<std::size_t>(source)];
    for (std::size_t i = 0; i < out.size() && i < current.size(); ++i) {
        out[i] += sign * current[i];
        // A magnitude (a friction) combined with a change is a magnitude.
        if (support_word_is_magnitude(dtype(), static_cast<int>(i)))
            out[i] = std::max(out[i], 0.0f);
    }
    summary[static_cast<std::size_t>(destination)] = out;
}

void SupportItem::add_summary_column(int source, int destination)
{
    combine_summary_column(source, destination, 1.0f);
}

void SupportItem::subtract_summary_column(int source, int destination)
{
    combine_summary_column(source, destination, -1.0f);
}

void SupportItem::summary_extremes(int maximum, int minimum, int allowables)
{
    const auto size = summary.size();
    if (maximum < 1 || minimum < 1 || allowables < 1 || static_cast<std::size_t>(maximum) >= size ||
        static_cast<std::size_t>(minimum) >= size || static_cast<std::size_t>(allowables) >= size)
        return;
    const std::size_t values = summary[1].size();
    std::vector<float> high(values, -1.0e30f), low(values, 1.0e30f);
    for (int c = 1; c < maximum; ++c)
        for (std::size_t i = 0; i < values; ++i) {
            high[i] = std::max(high[i], summary[static_cast<std::size_t>(c)][i]);
            low[i] = std::min(low[i], summary[static_cast<std::size_t>(c)][i]);
        }
    summary[static_cast<std::size_t>(maximum)] = high;
    summary[static_cast<std::size_t>(minimum)] = low;
    const int count = allowable_count();
    if (count < 0)
        return;
    std::vector<float>& allowed = summary[static_cast<std::size_t>(allowables)];
    std::fill(allowed.begin(), allowed.end(), 0.0f);
    std::array<float, 6> record{};
    const SupportResultsContext& context = support_results_context();
    if (count > 0 && context.allowable && context.allowable(context.node, record))
        for (int i = 0; i < count && static_cast<std::size_t>(i) < allowed.size(); ++i)
            allowed[static_cast<std::size_t>(i)] = record[static_cast<std::size_t>(i)];
}
