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

// The pens of the 2D view. The graphics layer fills them per output device;
// erasing a symbol draws it with every pen set to the background.
enum ViewPen : int {
    PEN_ELEMENT = 0,   // elements
    PEN_FIRST,         // tangent lines of bends and bends whose arc is not laid out
    PEN_JACKET,        // jackets of jacketed pipes and bends
    PEN_ELASTIC,       // elastic elements: solid blue, width 1
    PEN_TIE_ROD,       // tie rods
};

// Flags of gl_draw_cylinder.
inline constexpr unsigned CYLINDER_END_DISKS = 1u;

struct ViewState {
    bool render_view = false;          // the render view is shown (picking uses its outlines)
    bool stress_colors = false;        // stresses shown in colour: those displays draw the elements
    bool stress_ratio_colors = false;  // stress ratios shown in colour
    bool color_by_load = false;        // elements keep the colour the caller set
    // Show settings.
    bool curved_bends = true;          // "Curved bends"
    bool jacket_connections = true;    // "Jacket connections"
    bool flanges = true;               // "Flanges"
    // Pixels per model unit and the sizes made from it (view units).
    double scale = 1.0;
    double element_half_width = 7.0;   // 7 pixels
    double support_symbol_size = 12.0; // 12 pixels
    double symbol_margin = 4.0;        // 4 pixels
    // The view's rotation: rows 0 and 1 give the view x and y of a model
    // point, row 2 points from the model towards the viewer.
    double rotation[3][3] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};
};

ViewState& view_state();
// Sets the scale (pixels per model unit, above 0) and the sizes made from
// it: element half-width 7/s, support-symbol size 12/s, symbol-box margin 4/s.
void set_drawing_scale(double pixels_per_unit);
double symbol_scale();
// True while stresses or stress ratios are shown in colour.
bool stress_colors_shown();

// The drawing calls of both views. Points of the 2D view are in view units;
// points of the render view in model units; colours 0 to 1.
class ViewPainter {
public:
    virtual ~ViewPainter() = default;
    // 2D view.
    virtual void select_pen(ViewPen pen) = 0;
    virtual void line(Point2 a, Point2 b) = 0;
    virtual void bezier(const Point2 (&points)[4]) = 0;
    virtual void circle(Point2 centre, float radius) = 0;
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

// 2D view.
void draw_select_pen(ViewPen pen);
void draw_line(float x1, float y1, float x2, float y2);
void draw_line(Point2 a, Point2 b);
void draw_bezier(const Point2 (&points)[4]);
void draw_circle(Point2 centre, float radius);
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
// Draws a Cylinder with its radius at both ends and its end-disk flag.
void cylinder_draw(const Cylinder& cylinder);

// The projected positions of every node (their sx, sy) from the view's
// rotation, and the extent of the model's projected nodes.
void update_screen_positions();
Box2D compute_model_extent();

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
    std::function<bool(int row)> open_element_dialog; // its kind's dialog, modal, for that row
};
PickHooks& pick_hooks();
// The common ending of an element's pick_and_edit: the row becomes current,
// its element (a bend's, with `bend`) is highlighted and its dialog opened.
void pick_edit_element(int row, bool bend = false);

// The click handler of the views: the data items of the built rows whose
// symbols are shown, in row order, then their elements; the first object
// whose pick_and_edit hits ends the search. True when one did.
bool view_click(float x, float y);

// The colour of a pipe-like element in the render view (nothing is set
// while the view colours by load): FRP (0.6, 0.5, 0.0), else grey 0.5,
// alpha 0.6 on a transparent row.
void set_pipe_color(bool frp, bool transparent);
