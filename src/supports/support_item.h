// The base of the support kinds' data items: what every support does alike.
// It counts and registers its row in its kind's row list, keeps the support
// loads of the current results load case as the results file holds them
// (support_word_count values in global axes), and the records of the
// support load summary: one entry per summary column of its loads and the
// DX, DY, DZ of its node. A support with a connected node renumbers it with
// the nodes and keeps it from being deleted.
#pragma once

#include "model/data_item.h"
#include "supports/support_symbols.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the results windows tell the supports while they read support loads
// and build the support load summary (they run on the main thread): the
// node of the row being served and its translations in the current load
// case, and the allowable loads of a node (the six values of the first
// allowable-load record of that node; false when there is none).
struct SupportResultsContext {
    int node = 0;
    std::array<float, 3> translation{};
    std::function<bool(int node, std::array<float, 6>& values)> allowable;
};
SupportResultsContext& support_results_context();

class SupportItem : public DataItem {
public:
    // The kind's data type.
    virtual int dtype() const = 0;
    // The connected node number field of the kind; null when it has none.
    virtual int32_t* connected_node_field() { return nullptr; }
    const int32_t* connected_node_field() const { return const_cast<SupportItem*>(this)->connected_node_field(); }
    // The tag of kinds that have one.
    virtual std::string tag() const { return {}; }
    // True when the other object is of the same kind with the same values.
    virtual bool same_values(const DataItem& other) const = 0;

    void count() override;
    void register_row(int row) override;
    // The symbol: the kind's shapes at its node; the extent is the node's
    // point inflated by the symbol size, grown by the shapes.
    void update_extents(int row) override;
    void draw_2d(int row) override;
    virtual SymbolParts symbol_parts(int row) const = 0;
    // The render-view symbol: the solids of the shapes (support_solids),
    // whose outlines make the render-view extent.
    SupportSolids solids;
    void build_symbol(int row) override;
    void draw_3d(int row) override;
    // A point in the symbol's extent of the view shown selects the row, and
    // opens its dialog.
    bool pick_and_edit(int row, float x, float y) override;
    void renumber_node(int old_number, int new_number) override;
    bool refers_to_node(int number) const override;

    // ---- Results ------------------------------------------------------------
    // The support loads of the current results load case.
    std::vector<float> current_loads;
    void read_support_loads(BinFile& file) override;

    // The support load summary: per column (1-based) the loads and DX, DY, DZ.
    std::vector<std::vector<float>> summary;
    void allocate_summary(int columns) override;
    void free_summary() override;
    void store_summary_column(int column) override;
    void add_summary_column(int source, int destination) override;
    void subtract_summary_column(int source, int destination) override;
    void summary_extremes(int maximum, int minimum, int allowables) override;

protected:
    // How the "Allowables" entry is filled: left as it is (-1), zeros (0), or
    // zeros and then the first n values of the node's allowable-load record.
    virtual int allowable_count() const { return 0; }

private:
    int words() const;
    std::vector<float> current_column() const;
    // destination = source + sign times the current loads and translations;
    // a magnitude among the loads (support_word_is_magnitude) at least 0.
    void combine_summary_column(int source, int destination, float sign);
};

// copy_from and same_values of a kind T whose input values are its member v.
template <typename T>
void copy_support_values(T& self, const DataItem& other)
{
    if (const auto* same = dynamic_cast<const T*>(&other))
        self.v = same->v;
}
template <typename T>
bool same_support_values(const T& self, const DataItem& other)
{
    const auto* same = dynamic_cast<const T*>(&other);
    return same && same->v == self.v;
}
