// The projected model: node positions and extents after a view change, the
// model's extent, what lies in the part of the view being drawn, the node
// and row labels, the layers of the line view in their order, the picks by
// the mouse, and the shifting of the view to bring an item into sight.
#pragma once

#include "graphics/graphics_view.h"
#include "model/box2d.h"

// After a view change: each node's projected position and extent (with room
// for its number), each row's outlines and symbols (element and data item),
// and the local-axes triad when it is shown.
void update_screen_positions();
// The extent of the projected model: every node of a built row and every
// built row's extent, with the symbols built again for the scale now; a
// model without nodes gets -12..12 both ways.
void compute_model_extent();

// Overlap with the clip window (touching counts).
bool box_overlaps_window(const Box2D& box);
// Overlap with the view window.
bool box_overlaps_view(const Box2D& box);
// The row is built and its element's extent (of the view shown) overlaps the clip window.
bool element_in_view(int row);
// The row is shown, built, has a node and a data item whose extent overlaps the clip window.
bool data_item_in_view(int row);

// The node's dot, when its box overlaps the clip window.
void draw_node_dot(int node);
// The node's number at its position plus the horizontal text margin, minus
// the vertical one, when labels apply to it and its box overlaps the clip window.
void draw_node_label(int node);
// The element's length (length unit) beside the middle of its drawn line.
void draw_length_label(int row);
// The row's number beside the middle of its drawn line (at its node for a
// row without an element line).
void draw_row_label(int row);

// The layers of the line view in their order, each item tested against the
// clip window, stopping at once when the paint is aborted: the axes triad
// (not while a thumb is dragged), the elements, the shown data items, the
// dots, the lengths, the row numbers and the node numbers. False when it
// was aborted.
bool gdi_draw_model();
// The layers over the render view: the axes triad, and the dots and node
// numbers when they are on for the render mode.
void draw_render_overlays();

// The half depth of the render view's projection: twice the largest absolute
// coordinate of all nodes, at least 24.
double render_depth();

// Client pixels to view units.
void client_to_view(int px, int py, float& x, float& y);
// View units to client pixels (unrounded).
void view_to_client(float x, float y, double& px, double& py);

// What a pick found.
struct PickHit {
    int row = 0;
    bool data_item = false;    // the row's data item, else its element
    bool found() const { return row != 0; }
};
// A left click at a client point: the data items of the shown rows in view
// (their own hit tests, which select and edit), then the elements (their
// pick-and-edit), then pipes near their line and bends, miters and jacketed
// bends inside their outline; the first hit makes its row current. Nothing
// while graphic editing is disabled.
PickHit graphics_click_pick(int px, int py);
// A middle click: the same order without opening anything; the row is made
// current and the item highlighted.
PickHit graphics_pick(int px, int py);

// Shifts the view window so that the box is in sight (not while the view is
// frozen or the KVBROCHURE switch is set); true when the view moved.
bool scroll_box_into_view(const Box2D& box);

// What the symbols of the model layer draw with: their lines, the projected
// directions and the support symbol size of the view.
void install_view_drawing_hooks();

// Space in the line view: the anchors' and the beams' outlines.
void draw_anchor_outlines();
void draw_beam_outlines();
