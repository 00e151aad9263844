// The layout rows: one record per spreadsheet row of the model, numbered from
// 1 to numrows() (at most MAXROWS, and a title row besides: row_capacity). A row gives a node, its offsets DX, DY, DZ
// (or absolute coordinates), the element type that ends there and optionally
// a data item at the node; it owns the objects of both.
//
// The operations that look at neighbouring rows or at the model take the
// row's index and are static; the others work on the row itself.
#pragma once

#include "model/box2d.h"
#include "model/row_kinds.h"
#include "platform/handles.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class BinFile;
class DataItem;
class Dialog;
class ElementData;

inline constexpr int MAXROWS = 7000;
// "Maximum number of rows exceeded", with the limit after it.
inline constexpr const char* TOO_MANY_ROWS = "Maximum number of rows exceeded: a model holds at most 7000 rows";
// Material, section and load names: at most NAME_LENGTH characters, stored
// in NAME_FIELD_WIDTH-byte fields padded with NULs.
inline constexpr std::size_t NAME_LENGTH = 5;
inline constexpr std::size_t NAME_FIELD_WIDTH = 6;
// The model title that row 1's comment holds behind its first 8 characters.
inline constexpr std::size_t TITLE_OFFSET = 8;
inline constexpr std::size_t MAX_TITLE_LENGTH = 50;

// A name read from a fixed-width field (`width` bytes, 4 in old files), cut
// to NAME_LENGTH characters.
std::string read_row_name(BinFile& file, std::size_t width = NAME_FIELD_WIDTH);
// A name written as NAME_FIELD_WIDTH bytes: at most NAME_LENGTH characters
// and NUL padding.
void write_row_name(BinFile& file, const std::string& name);

// A field added here is copied in the copy constructor (layout_row.cpp) too.
struct LayoutRow {
    int32_t node = 0;              // node number; 0 = none
    uint8_t absolute = 0;          // DX, DY, DZ are absolute coordinates
    int32_t etype = ET_NONE;       // ElementType
    int32_t dtype = DT_NONE;       // DataType
    float dx = 0.0f, dy = 0.0f, dz = 0.0f;
    std::string material;          // names of the row's material, section and
    std::string section;           // pipe load (on jacketed rows those of the core)
    std::string load;

    // Set by the model build.
    int32_t from_node = 0;         // node index of the previous element row's node
    int32_t node_index = 0;        // node index of the row's node
    int32_t start_node = 0;        // drawn element: start (after a bend its far tangent point)
    int32_t end_node = 0;          // drawn element: end (for a bend its near tangent point)
    uint8_t built = 0;             // the row's node exists and its element was built

    // Graphics and results.
    uint8_t transparent = 0;       // drawn transparent in the render view
    uint8_t shown = 1;             // 1 = drawn (every row at first)
    int32_t results_offset = 0;    // the support's byte offset in a load case's support block
    int32_t results_words = 0;     // and its word count
    Box2D box_2d;                  // pick box of the element in the 2D view
    Box2D box_render;              // and in the render view

    std::unique_ptr<ElementData> element;
    std::unique_ptr<DataItem> data;

    LayoutRow();
    LayoutRow(LayoutRow&&) noexcept;
    LayoutRow& operator=(LayoutRow&&) noexcept;
    ~LayoutRow();
    // A deep copy: the copy's element and data objects are made for its kinds
    // (make_element_object, make_data_object) and take the original's values
    // through copy_from, so that the copy shares nothing with the original.
    LayoutRow(const LayoutRow& other);
    LayoutRow& operator=(const LayoutRow& other);

    // Creates the element object of the row's etype (1 to 20; any other is an
    // internal error) and returns it.
    ElementData* create_element_object();
    // Creates the data-item object of the row's dtype: none for 0, the kind's
    // object for 1 to 21; any other value throws
    // "*** Invalid dtype = %d, at row %d ***" with `row` and changes nothing.
    DataItem* create_data_object(int row);

    // The data item's subtype; 0 without an item.
    int data_subtype() const;
    // The Comment row's text; empty for other rows.
    std::string comment_text() const;

    // ---- Operations on the row at an index of the model ------------------
    // Gives the row another element type: erases its symbol, removes the data
    // item when the row leaves Bend, deletes the old object and creates the
    // new one; a new bend takes the radius kind, radius and data of the
    // previous bend row. Returns the new object (null for etype 0).
    static ElementData* change_etype(int row, int etype);
    // The same for the data item (throws for a dtype out of range, changing nothing).
    static DataItem* change_dtype(int row, int dtype);
    static void remove_data_item(int row);

    // Lets the row's object fill the dialog, only when the row's type is the dialog's.
    static void fill_element_dialog(int row, Dialog& dialog, int etype);
    static void fill_data_dialog(int row, Dialog& dialog, int dtype);

    // Graphics hooks (ModelHooks): erase the symbols, rebuild and redraw.
    static void erase_element(int row);
    static void erase_data_item(int row);
    static void redraw_element(int row);

    // Window title: text, " from ", the From node and " to ", the row's node;
    // or text, " at node " and the row's node.
    static void status_from_to(int row, WindowId window, const std::string& text);
    static void status_at_node(int row, WindowId window, const std::string& text);

    // The nearest earlier element row (From included) that has a node, whose
    // node is the row's From node; 0 when none.
    static int previous_element_row(int row);
    // The next row that has a built element; 0 when none.
    static int next_element_row(int row);
    // True when the row is the last row or the next element row is a From,
    // Rigid, Elastic or Tie rod row (a run of pipe ends here).
    static bool next_to_end_element(int row);

    // Half the outside diameter of the row's section and the drawing radius of
    // its symbols (ModelHooks; 0 until sections exist).
    static double pipe_radius(int row);
    static double symbol_radius(int row);

    // Layout cells: element columns 1 and 2 are the From and To node texts,
    // others the element object's; data column 1 is the node text, others the
    // data item's.
    static std::string element_cell_text(int row, int column);
    static std::string data_cell_text(int row, int column);

    // Stores the text as the Comment row's text when it differs, marking the
    // model modified; for row 1 the text behind its first 8 characters (at
    // most 50) becomes the model title. Nothing for other rows.
    static void set_comment_text(int row, const std::string& text);

    // Builds the row's own node; see model_build.cpp.
    static void make_nodes(int row);
};

// "Anchor", "Restraint", ...; the subtype is reserved for the kinds that name
// their subtypes (ModelHooks::data_subtype_name), else the kind name.
std::string data_item_kind_name(int dtype, int subtype);
