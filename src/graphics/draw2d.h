// The 2D drawing layer: every symbol, label, triad and page frame of the
// line view is drawn through a few primitives in view units (model lengths
// in the plane of the view, x to the right, y up), which Draw2D hands to one
// output device: the screen or a printer (SurfaceDevice, over a Surface), a
// recording device for the tests, and the plot file writers, which implement
// Draw2DDevice in their own units.
//
// Lines are cut at the clip window before they reach a device that asks for
// it (the screen and the printer, whose pixel coordinates must stay in
// range, HP-GL and DXF); texts, dots, arrow heads and rectangles that lie
// wholly outside it are left out on the screen.
#pragma once

#include "graphics/graphics_view.h"
#include "graphics/view_settings.h"
#include "model/view_drawing.h"
#include "platform/surface.h"

#include <string>
#include <vector>

// What an output device draws. Coordinates are view units.
class Draw2DDevice {
public:
    virtual ~Draw2DDevice() = default;
    virtual void select_pen(ViewPen pen) = 0;
    virtual void line(Point2 a, Point2 b) = 0;
    // The rectangle between the corners (lo below and left of hi).
    virtual void rect(Point2 lo, Point2 hi) = 0;
    virtual void circle(Point2 centre, float radius) = 0;
    virtual void bezier(const Point2 (&points)[4]) = 0;
    // The text with its baseline's left end at the point.
    virtual void text(Point2 at, const std::string& text) = 0;
    virtual void dot(Point2 at) = 0;
    virtual void arrow_head(Point2 tip, Point2 direction, bool double_head) = 0;
    virtual void text_extent(const std::string& text, float& width, float& height) = 0;
    // Lines (and Bezier curves, drawn as 8 lines where they cross) are cut at
    // the clip window first; false for a device that clips by itself.
    virtual bool clips_lines() const { return true; }
    // Texts, dots, arrow heads and rectangles wholly outside are left out.
    virtual bool culls_outside() const { return true; }
    // A pen of any colour in place of the scheme's (the stress colouring of
    // the line view); a device without colours ignores it.
    virtual void select_color(Color /*color*/) {}
};

// Cohen-Sutherland clipping of a segment at a window (bounds inclusive);
// false when nothing of it is inside. Outcode bits: 1 above ymax, 2 below
// ymin, 4 right of xmax, 8 left of xmin.
bool clip_line(const ViewWindow& window, float& x1, float& y1, float& x2, float& y2);
// The 8 lines through the points of a cubic Bezier curve at t = 0.125,
// 0.25, ... 1, starting at the first control point.
void bezier_points(const Point2 (&control)[4], Point2 (&out)[9]);

// The painter of the line view: the 2D calls of the symbols go to the device,
// clipped at the window; the render view's calls are left alone.
class Draw2D final : public LineViewPainter {
public:
    Draw2D(Draw2DDevice& device, const ViewWindow& clip) : device_(device), clip_(clip) {}

    void select_pen(ViewPen pen) override { device_.select_pen(pen); }
    void select_color(Color color) { device_.select_color(color); }
    void line(Point2 a, Point2 b) override;
    void bezier(const Point2 (&points)[4]) override;
    void circle(Point2 centre, float radius) override;
    void text(Point2 at, const std::string& text) override;
    void dot(Point2 at) override;
    void arrow_head(Point2 tip, Point2 direction, bool double_head) override;
    void rect(Point2 a, Point2 b) override;
    void text_extent(const std::string& text, float& width, float& height) override
    {
        device_.text_extent(text, width, height);
    }

private:
    bool outside(float xmin, float ymin, float xmax, float ymax) const;

    Draw2DDevice& device_;
    ViewWindow clip_;
};

// The mapping of view units onto the pixels of a client or a printed
// picture: column trunc((x - xmin) scale + 0.5), row height - trunc((y -
// ymin) scale + 0.5). Coordinates far outside are held within the range
// where pixels stay integers.
struct PixelMapping {
    ViewWindow window;
    double scale = 1.0;
    int height = 0;
    int column(float x) const;
    int row(float y) const;
};

// The pixels of an arrow head (Part of the screen's and the metafile's
// drawing): the tip and the two base corners of the first head, and for a
// double head those of the second, moved back by the head's length and 2
// pixels (truncated).
struct ArrowHeadPixels {
    std::vector<Point> first;
    std::vector<Point> second;
};
ArrowHeadPixels arrow_head_pixels(const PixelMapping& mapping, Point2 tip, Point2 direction, bool double_head);

// The screen and the printer: draws on a Surface with the colour scheme's
// pens, the text's baseline at the point (the surface puts a text's top at
// its y, so the font's ascent is taken off).
class SurfaceDevice final : public Draw2DDevice {
public:
    SurfaceDevice(Surface& surface, const PixelMapping& mapping, const ColorScheme& scheme,
                  bool dots_as_rectangles = false);

    void select_pen(ViewPen pen) override;
    void select_color(Color color) override;
    void line(Point2 a, Point2 b) override;
    void rect(Point2 lo, Point2 hi) override;
    void circle(Point2 centre, float radius) override;
    void bezier(const Point2 (&points)[4]) override;
    void text(Point2 at, const std::string& text) override;
    void dot(Point2 at) override;
    void arrow_head(Point2 tip, Point2 direction, bool double_head) override;
    void text_extent(const std::string& text, float& width, float& height) override;

private:
    Point device(Point2 p) const { return {mapping_.column(p.x), mapping_.row(p.y)}; }

    Surface& surface_;
    PixelMapping mapping_;
    const ColorScheme& scheme_;
    bool dots_as_rectangles_;
    Color brush_;
    int ascent_ = 0;
    int text_height_ = 0;
};

// The mapping of the graphics client now.
PixelMapping client_mapping();

// While it lives, what is drawn on the surface stays inside the client's
// rectangle (the view's picture on screen or on a page): a symbol across
// the view's edge is cut there, never drawn over what lies beside the view.
class ClientClip {
public:
    explicit ClientClip(Surface& surface);
    ~ClientClip();
    ClientClip(const ClientClip&) = delete;
    ClientClip& operator=(const ClientClip&) = delete;

private:
    Surface& surface_;
};

// Draws `draw` onto a surface of the client's size with the client's
// mapping, held to the client's rectangle: the painter of the line view is
// in place while it runs.
class ScreenDrawing {
public:
    ScreenDrawing(Surface& surface, const ViewWindow& clip, bool dots_as_rectangles = false);
    ScreenDrawing(const ScreenDrawing&) = delete;
    ScreenDrawing& operator=(const ScreenDrawing&) = delete;
    Draw2D& painter() { return painter_; }

private:
    ClientClip clip_;
    SurfaceDevice device_;
    Draw2D painter_;
    ViewPainterScope scope_;
};
