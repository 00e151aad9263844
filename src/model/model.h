// The model: the layout rows and what the model build makes of them (nodes,
// elements, per-kind row lists, branch points, coupled node pairs), with the
// title and the node increment. One part of the document (framework/document.h),
// reached through model(); reset_model() empties it. A copy of the model is
// deep: its rows' objects are copies too.
//
// The services of later subsystems that the model core calls (sections and
// materials, drawing, table refresh) go through ModelHooks, whose empty
// entries do nothing or give 0.
#pragma once

#include "framework/one_based.h"
#include "model/elements.h"
#include "model/layout_row.h"
#include "model/nodes.h"
#include "model/row_lists.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

// A node where more than two element ends meet, with the last row that has
// a branch SIF at that node (0 when none).
struct BranchPoint {
    int32_t node = 0;        // node index
    int32_t sif_row = 0;
};

struct Model {
    OneBased<LayoutRow> rows;
    int current_row = 0;
    OneBased<NodeRecord> nodes;
    OneBased<Elem> elems;
    std::unordered_map<int32_t, int32_t> node_lookup;   // node number -> index
    std::array<RowList, NUM_ROW_LISTS> lists;
    OneBased<BranchPoint> branch_points;
    std::vector<CoupledPair> coupled_pairs;
    std::string title;                 // at most MODEL_TITLE_WIDTH bytes
    int node_increment = 10;
    bool rebuild_needed = false;       // set by edits that change the geometry

    int numrows() const { return rows.size(); }
    int numnodes() const { return nodes.size(); }
    int numelems() const { return elems.size(); }
    RowList& list(int id) { return lists[static_cast<std::size_t>(id)]; }
    const RowList& list(int id) const { return lists[static_cast<std::size_t>(id)]; }
};

Model& model();
// An empty model (no rows, nodes or elements; default increment; no title).
void reset_model();
// A copy of a model's rows copies their objects' input (copy_from); this
// brings along the bend and jacket geometry that the model build filled in,
// so that a copy of a built model (the analysis model, the model its
// results are written for) needs no build. The two have the same rows.
void copy_built_geometry(const Model& from, Model& to);

inline int numrows() { return model().numrows(); }
inline int numnodes() { return model().numnodes(); }
inline int numelems() { return model().numelems(); }
inline bool& model_rebuild_needed() { return model().rebuild_needed; }
// The model's title; the comment of layout row 1 holds it.
inline std::string& model_title() { return model().title; }

// The most rows a layout holds: MAXROWS, and besides them row 1 when it is
// the title row (a Comment row, whose text is the model's title), so that
// a batch file of MAXROWS layout rows after its title line is taken whole.
// `first` is the row that is or will be row 1 (none when the layout is
// empty).
int row_capacity(const LayoutRow* first);
// The same for the current model; and the count a model file may hold.
int row_capacity();
inline constexpr int MAX_FILE_ROWS = MAXROWS + 1;

// Appends an empty row at numrows() + 1 and returns its index; inserts one
// before `row` (1..numrows() + 1). Both throw "Maximum number of rows
// exceeded" when the layout already has row_capacity() rows, changing
// nothing.
int append_layout_row();
int insert_layout_row(int row);
// Removes a row (its objects go with it).
void delete_layout_row(int row);
// The index of one of the model's rows; 0 for a row that is not one of them
// (a copy, or a row of a file being read).
int layout_row_index(const LayoutRow& row);

// The generate command's node increment times its current repetition; 0
// outside the generate command. Element objects copied by generate advance
// the node numbers they hold by it (copy_from).
int generate_node_offset();
void set_generate_node_offset(int offset);

struct ModelHooks {
    // Drawing: erase a row's element or data symbol, rebuild and redraw a
    // row's element, erase the highlight, redraw the view.
    std::function<void(int row)> erase_element;
    std::function<void(int row)> erase_data_item;
    std::function<void(int row)> redraw_element;
    std::function<void()> erase_highlight;
    std::function<void()> redraw_graphics;
    // The symbol size of the 2D view, in view units.
    std::function<double()> symbol_size;
    // Sections: the long (RADIUS_LONG) or short (RADIUS_SHORT) bend radius of
    // a named pipe section; half its outside diameter for a row; the drawing
    // radius of a row's symbols.
    std::function<double(const std::string& section, int radius_kind)> section_bend_radius;
    std::function<double(int row)> pipe_radius;
    std::function<double(int row)> symbol_radius;
    // Name lookups: index from 1, 0 when not defined.
    std::function<int(const std::string& name)> material_index;
    std::function<int(const std::string& name)> section_index;
    std::function<int(const std::string& name)> load_index;
    std::function<int(const std::string& name)> beam_material_index;
    std::function<int(const std::string& name)> beam_section_index;
    std::function<int(const std::string& name)> beam_load_index;
    // The name of a data kind's subtype (hanger kinds and the like); empty
    // gives the kind's own name.
    std::function<std::string(int dtype, int subtype)> data_subtype_name;
};
ModelHooks& model_hooks();

// ---- The model build (model_build.cpp) ---------------------------------------

// Rebuilds the nodes and elements from the rows, fills each row's node
// indices, recounts the row lists and clears the rebuild flag.
void make_model();
// make_model(), then marks the model modified and refreshes the open tables
// and the view.
void model_changed();
// The same without marking the model modified: the model shown again as its
// rows are (a change that was taken back).
void model_rebuilt();
// A node typed on two rows whose places disagree: the build places it where
// the first row (`placed_by`) puts it and reuses it for the later `row`,
// whose offsets (or a From row's coordinates) would put it `distance`
// (inch) away. A later row whose offsets are all 0 only names the node
// (a closing element, a branch start, a Location row) and agrees.
struct NodeConflict {
    int32_t node = 0;
    int placed_by = 0;
    int row = 0;
    double distance = 0.0;
};
std::vector<NodeConflict> node_position_conflicts(const Model& model);
// Lays out the arc of a bend, miter or jacketed-bend row whose nodes and the
// nodes of the rows before it are built: radius, bend angle, centre, tangent
// nodes, intermediate nodes and the geometry-valid flag (also the jacket's
// for a jacketed bend). Rows of other kinds are left alone.
void make_bend_nodes(int row);
// A data item acts at its row's node. A bend, miter or jacketed-bend row's
// node is the corner where the bend's tangents meet (NODE_BEND_CORNER; the
// jacket's corner is the J node): no element ends there, so an item there
// would hold, load or weigh nothing. The refusal of an item of kind `dtype`
// on `row`, were the row of element type `etype`: the text names the row,
// the bend and its near and far tangent points, where a Location row can
// carry the item ("Row 4: its Anchor would act on nothing: node 30 is where
// the tangents of the bend of row 4 meet, off the pipe. Put the Anchor on a
// Location row at the bend's near tangent point 30A or far tangent point
// 30B"); empty when the node is on the pipe. The tangent points are those
// of the last build, or 30A and 30B where the row is not yet a built bend.
std::string item_off_pipe_refusal(const Model& model, int row, int etype, int dtype);
// With every build (and so before the model file is written): each bend's
// (and jacket's) flanged-end count becomes the number of its two tangent
// points that are the node of a row with a flange (at most 2).
void recount_flanged_bend_ends();
// Counts every row's objects, grows each kind's row list, lets every row
// register in ascending order and rebuilds the branch-point list.
void recount_model();
// The per-kind counts that the Show lists of the views are made from.
inline void count_model_items() { recount_model(); }
