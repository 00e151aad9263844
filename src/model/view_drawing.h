// What the element and support symbols draw with and read of the views: the
// view state (which view is shown, its colour modes and show settings, the
// drawing scale, the view's rotation), the drawing calls of the 2D view and
// of the render view, and what a pick does besides opening a dialog (select
// the row, highlight it).
//
// The calls go to one ViewPainter, which the graphics layer puts in place
// while it paints a view (a recording painter in the tests); without one
// they draw nothing. The pick hooks are filled by the layers that own the
// layout window and the highlight; empty hooks do nothing.
#pragma once

#include "model/symbols.h"

#include <functional>
#include <string>

// The pens of the 2D view: slots of the colour scheme, which the graphics
// layer fills per output device and background. A slot gives a pen, and for
// the label slots the text colour too. Erasing a symbol draws it with every
// pen set to the background.
enum ViewPen : int {
    PEN_ELEMENT = 0,   // elements
    PEN_FIRST,         // tangent lines of bends and bends whose arc is not laid out
    PEN_JACKET,        // jackets of jacketed pipes and bends
    PEN_ELASTIC,       // elastic elements: solid blue, width 1
    PEN_TIE_ROD,       // tie rods
    PEN_SUPPORT,       // support symbols
    PEN_NODE_DOT,      // node dots (the brush of the dot)
    PEN_NODE_LABEL,    // node numbers
    PEN_LENGTH,        // element lengths
    PEN_ROW_NUMBER,    // row numbers
    PEN_AXES,          // the axes triad: pen, brush of its arrow heads, its letters
    PEN_LCS_AXES,      // the local-axes triad: its axes
    PEN_LCS_LETTERS,   // and its letters, and the label of its node
    PEN_ANCHOR_OUTLINE,
    PEN_BEAM_OUTLINE,
    PEN_HIGHLIGHT,     // highlight marks
    PEN_SHAPE,         // deflected and mode shapes
    PEN_DASHED,        // the dotted grey pen (RGB 128, 128, 128); dashed in plot files
    PEN_RUBBER_BAND,   // the zoom rectangle
    PEN_TITLE,         // plot titles and page frames
    VIEW_PEN_COUNT
};

// Flags of gl_draw_cylinder.
inline constexpr unsigned CYLINDER_END_DISKS = 1u;

// The projection of a global axis: the unit direction in the view, (0, 0)
// when the axis projects onto a point, and the projected length of the unit
// axis (1 for an axis in the view plane, 0 seen end-on).
struct AxisProjection {
    float sx = 0.0f;
    float sy = 0.0f;
    float length = 0.0f;
};

struct ViewState {
    bool render_view = false;          // the render view is shown (picking uses its outlines)
    bool stress_colors = false;        // stresses shown in colour: those displays draw the elements
    bool stress_ratio_colors = false;  // stress ratios shown in colour
    bool color_by_load = false;        // elements keep the colour the caller set
    // Show settings read by the symbols (the others are the graphics layer's).
    bool curved_bends = true;          // "Curved bends"
    bool jacket_connections = true;    // "Jacket connections"
    bool flanges = true;               // "Flanges"

    // Device units (pixels) per view unit, and its copy at 90 dots per inch
    // that the symbol sizes of plot pages use (the scale itself on screen).
    double scale = 1.0;
    double scale_90dpi = 1.0;
    // Device units per pixel of the picture on screen: the symbols, marks
    // and arrows given in pixels take as many of them (1 on screen; on a
    // printed page the page's dots per screen pixel, so that they keep their
    // size beside the texts, whose fonts the page's resolution scales).
    double pixel_size = 1.0;
    // Sizes in view units made from the scale (set_drawing_scale).
    double symbol_sizes[4] = {6.0, 8.0, 10.0, 12.0};   // 6, 8, 10 and 12 pixels
    double element_half_width = 7.0;   // 7 pixels: the element end mark, half an element outline
    double support_symbol_size = 12.0; // 12 pixels: the size of the support shapes
    double symbol_margin = 4.0;        // 4 pixels: the margin of symbol boxes
    // Text: the graphics font's metrics in pixels (average character width,
    // ascent, internal leading, and the extent of the text "1234", the size of
    // a node number), given by the view when its font is chosen, and the
    // margins and number extent made from them (view units).
    int font_average_width = 7;
    int font_ascent = 12;
    int font_internal_leading = 2;
    int number_width_px = 28;
    int number_height_px = 15;
    double text_margin_x = 6.5;
    double text_margin_y = 5.0;
    double number_width = 28.0;
    double number_height = 15.0;
    // Arrows (set_arrow_sizes), in device units: head length and width, and
    // the arrow length of the axes triad.
    double arrow_head_length = 7.2;
    double arrow_head_width = 5.28;
    double triad_arrow_length = 24.0;
    int dot_size = 3;                  // device units

    // The view's rotation: rows 0 and 1 give the view x and y of a model
    // point, row 2 points from the model towards the viewer.
    double rotation[3][3] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};
    // The projections of the global X, Y and Z axes and the bounds of their
    // directions (the axes triad fits them into its corner).
    AxisProjection axes[3] = {{1.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f}};
    float axes_min_sx = 0.0f, axes_max_sx = 1.0f, axes_min_sy = 0.0f, axes_max_sy = 1.0f;
};

ViewState& view_state();
// Sets the scale (device units per view unit; 0, a negative or a non-finite
// scale is taken as 1) and every size made from it: the symbol sizes 6, 8,
// 10 and 12 pixels, the end mark 7, the support shapes 12 and the symbol box
// margin 4 pixels, each in view units (view_pixels); then update_text_sizes.
void set_drawing_scale(double scale);
// Screen pixels of the picture in view units at the scale drawn now.
double view_pixels(double pixels);
// The scale the view draws at now.
double drawing_scale();
// The text margins and the number extent from the font metrics and the
// scale: horizontal margin max(average width / 2 + 3, 6) pixels (integer
// halving), vertical margin half of ascent minus internal leading.
void update_text_sizes();
// The graphics font's metrics in pixels; then update_text_sizes.
void set_text_metrics(int average_width, int ascent, int internal_leading, int number_width, int number_height);
// The arrow sizes from a reference height in pixels: head length 0.075 h,
// head width 0.055 h, triad arrow length 0.25 h.
void set_arrow_sizes(int reference_height);
// True while stresses or stress ratios are shown in colour.
bool stress_colors_shown();

// The drawing calls of both views. Points of the 2D view are in view units;
// points of the render view in model units; colours 0 to 1. A painter of one
// view leaves the other view's calls alone (the defaults do nothing).
class ViewPainter {
public:
    virtual ~ViewPainter() = default;
    // 2D view.
    virtual void select_pen(ViewPen pen) = 0;
    virtual void line(Point2 a, Point2 b) = 0;
    virtual void bezier(const Point2 (&points)[4]) = 0;
    virtual void circle(Point2 centre, float radius) = 0;
    // The text with its reference point (the baseline's left end) at the point.
    virtual void text(Point2 /*at*/, const std::string& /*text*/) {}
    // A filled square of the dot size centred on the point.
    virtual void dot(Point2 /*at*/) {}
    // A filled arrow head with its tip at the point, pointing along the unit
    // direction; a double head has a second one behind it.
    virtual void arrow_head(Point2 /*tip*/, Point2 /*direction*/, bool /*double_head*/) {}
    // An axis-parallel rectangle between two corners.
    virtual void rect(Point2 /*a*/, Point2 /*b*/) {}
    // The extent of a text in view units (0 when the painter cannot measure).
    virtual void text_extent(const std::string& /*text*/, float& width, float& height)
    {
        width = height = 0.0f;
    }
    // Render view.
    virtual void color(float r, float g, float b, float alpha) = 0;
    virtual void blend(bool on) = 0;
    // A cylinder, or a cone frustum when the radii differ.
    virtual void cylinder(const Vec3& p1, const Vec3& p2, double r1, double r2, unsigned flags) = 0;
    // A torus section from the near to the far tangent point about the
    // centre, of bend radius R, tube radius r and arc angle.
    virtual void bend(const Vec3& near, const Vec3& far, const Vec3& centre, double bend_radius,
                      double tube_radius, double angle) = 0;
    virtual void sphere(const Vec3& centre, double radius) = 0;
    virtual void solid_box(const SolidBox& box) = 0;
    virtual void line3d(const Vec3& a, const Vec3& b) = 0;
    // A cone of base radius r from the base point (closed by a disk) to the apex.
    virtual void cone(const Vec3& /*base*/, const Vec3& /*apex*/, double /*radius*/) {}
    // A flat ring about the direction at the centre.
    virtual void ring(const Ring& /*ring*/) {}
    // Which winding faces the viewer: clockwise for the inside of a tube.
    virtual void front_face_clockwise(bool /*clockwise*/) {}
};

// A painter of the line view alone: the render view's calls draw nothing.
class LineViewPainter : public ViewPainter {
public:
    void color(float, float, float, float) override {}
    void blend(bool) override {}
    void cylinder(const Vec3&, const Vec3&, double, double, unsigned) override {}
    void bend(const Vec3&, const Vec3&, const Vec3&, double, double, double) override {}
    void sphere(const Vec3&, double) override {}
    void solid_box(const SolidBox&) override {}
    void line3d(const Vec3&, const Vec3&) override {}
};

// The painter the calls below go to (null: nothing is drawn).
void set_view_painter(ViewPainter* painter);
ViewPainter* view_painter();
// Puts a painter in place for a scope.
class ViewPainterScope {
public:
    explicit ViewPainterScope(ViewPainter& painter);
    ~ViewPainterScope();
    ViewPainterScope(const ViewPainterScope&) = delete;
    ViewPainterScope& operator=(const ViewPainterScope&) = delete;

private:
    ViewPainter* saved_;
};

// 2D view. A text is drawn, and measured, as shown_controls writes it: a
// title or a name that holds control characters shows their codes on the
// screen, on paper and in the plot files.
void draw_select_pen(ViewPen pen);
void draw_line(float x1, float y1, float x2, float y2);
void draw_line(Point2 a, Point2 b);
void draw_bezier(const Point2 (&points)[4]);
void draw_circle(Point2 centre, float radius);
void draw_text(float x, float y, const std::string& text);
void draw_dot(float x, float y);
void draw_arrow_head(float x, float y, float dx, float dy, bool double_head);
void draw_rect(float x1, float y1, float x2, float y2);
// The extent of a text in view units: the painter's measure, or without a
// painter one from the font metrics (the average width a character).
void draw_text_extent(const std::string& text, float& width, float& height);

// Arrows (lengths in pixels, turned into view units by the scale).
// From p1 to p2 by style: 1 a shaft from p2 to one head length short of p1
// and a head at p1 pointing to p1; 2 a shaft from p1 to two head lengths
// short of p2 and a double head at p2; 3 the whole line and a double head at
// p1; 4 the whole line and a head at each end pointing outwards; any other
// the shaft from p1 to one head length short of p2 and a head at p2.
// Coinciding points draw nothing.
void draw_arrow_between(float x1, float y1, float x2, float y2, int style);
// From (x, y) along the direction for `length` pixels.
void draw_arrow(float x, float y, float dx, float dy, float length, int style);
// The label at the tip of such an arrow: beside the tip on the side the
// arrow points to, centred above or below it for an arrow along y.
void draw_arrow_label(float x, float y, float dx, float dy, float length, const std::string& text);
void draw_labelled_arrow(float x, float y, float dx, float dy, float length, int style, const std::string& text);
// Adds the start, the tip and the label's rectangle of such an arrow to a box.
void labelled_arrow_add_extent(float x, float y, float dx, float dy, float length, int style,
                               const std::string& text, Box2D& box);
void quad_draw(const Quad2D& quad);
void triangle_draw(const Triangle2D& triangle);
void box_draw(const Box2D& box);
void solid_box_draw_outline(const SolidBox& box);
// Render view.
void gl_set_color(float r, float g, float b, float alpha = 1.0f);
void gl_blend(bool on);
void gl_draw_cylinder(const Vec3& p1, const Vec3& p2, double r1, double r2, unsigned flags);
void gl_draw_bend(const Vec3& near, const Vec3& far, const Vec3& centre, double bend_radius, double tube_radius,
                  double angle);
void gl_draw_sphere(const Vec3& centre, double radius);
void gl_draw_solid_box(const SolidBox& box);
void gl_draw_line(const Vec3& a, const Vec3& b);
void gl_draw_cone(const Vec3& base, const Vec3& apex, double radius);
void gl_front_face_clockwise(bool clockwise);
// Draws a Cylinder with its radius at both ends and its end-disk flag.
void cylinder_draw(const Cylinder& cylinder);
void ring_draw(const Ring& ring);
// The spokes and the outer rim, then the inside of the inner rim and the
// back face, then the front face.
void gl_draw_valve_symbol(const ValveSymbol& valve);

// The projected position of every node (its sx, sy) from the view's rotation.
void project_nodes();

// ---- Rows ---------------------------------------------------------------------------

// A row's element symbol again: both pick boxes reset to the projected point
// of the row's node, then the element's build_symbol and build_outline.
// Nothing for a row without an element object or that is not built.
void rebuild_row_symbol(int row);

// What a pick does besides testing and opening the dialog.
struct PickHooks {
    std::function<void(int row)> select_row;          // make it the current layout row
    std::function<void(int row)> highlight_element;   // highlight its element
    std::function<void(int row)> highlight_bend;      // highlight a bend-like row's element
    std::function<void(int row)> highlight_data_item; // highlight its data item
    std::function<bool(int row)> open_element_dialog; // its kind's dialog, modal, for that row
    std::function<bool(int row)> open_data_dialog;    // its data item's dialog
};
PickHooks& pick_hooks();
// The common ending of an element's pick_and_edit: the row becomes current,
// its element (a bend's, with `bend`) is highlighted and its dialog opened.
void pick_edit_element(int row, bool bend = false);
// The same for a data item.
void pick_edit_data_item(int row);

// The click handler of the views: the data items of the built rows whose
// symbols are shown, in row order, then their elements; the first object
// whose pick_and_edit hits ends the search. True when one did.
bool view_click(float x, float y);

// The colour of a pipe-like element in the render view (nothing is set
// while the view colours by load): FRP (0.6, 0.5, 0.0), else grey 0.5,
// alpha 0.6 on a transparent row.
void set_pipe_color(bool frp, bool transparent);
