// The device side of the plot writers (plot_files.h): what the four formats
// share and what each supplies. A writer is made for one file, runs through
// the common frame once and is dropped.
#pragma once

#include "graphics/draw2d.h"
#include "graphics/plot_files.h"

#include <memory>
#include <string>
#include <string_view>

class PlotWriter : public Draw2DDevice {
public:
    explicit PlotWriter(PlotSink& sink) : sink_(sink) {}

    // Fits the view window to the page and sets the drawing scale and every
    // size made from it for the page's units.
    virtual void fit_page() = 0;
    virtual void write_header() = 0;
    // The page: the frame and the title line, then the model (the line
    // view's layers over the whole window). DXF draws its own order.
    virtual void draw_page();
    virtual void write_trailer() = 0;

    // Drawing-layer operations that no plot file has.
    void circle(Point2, float) override {}
    // Texts, dots, arrow heads and rectangles are written as given.
    bool culls_outside() const override { return false; }

    // Sends what is buffered to the sink; false once the sink refused.
    bool flush();
    bool failed() const { return failed_; }

protected:
    // The frame of the page (a rectangle on the view window's edges, or
    // `inset` view units inside them) and the title line: the plot title at
    // the window's left edge and the model's file name ending at its right
    // edge, on one base line `above` view units over the window's top.
    void draw_frame(float inset);
    void draw_title_line(float above);
    // After the frame and title, before the model.
    virtual void after_title() {}

    // A rectangle as its four edges and a Bezier curve as its 8 lines, each
    // through the device's line.
    void rect_as_lines(Point2 lo, Point2 hi);
    void bezier_as_lines(const Point2 (&points)[4]);
    // The tip and base corners of arrow head `head` (0, or 1 for the second
    // of a double head, one head length behind) at a scale of page units
    // per view unit.
    static void arrow_triangle(Point2 tip, Point2 direction, int head, double scale, Point2 (&corners)[3]);
    // The number of characters of a UTF-8 text.
    static int character_count(const std::string& text);
    // Whether a pen is dashed on paper: the pens drawn dotted on a white
    // background (the shared dashed pen, and the static shape's pen).
    static bool is_dashed(ViewPen pen);

    void put(std::string_view text);
    // The text and CR LF.
    void put_line(std::string_view text);
    void put_bytes(const void* data, std::size_t size);
    std::size_t buffered() const { return buffer_.size(); }

private:
    PlotSink& sink_;
    std::string buffer_;
    bool failed_ = false;
};

std::unique_ptr<PlotWriter> make_hpgl_writer(PlotSink& sink);
std::unique_ptr<PlotWriter> make_dxf_writer(PlotSink& sink);
std::unique_ptr<PlotWriter> make_eps_writer(PlotSink& sink);
std::unique_ptr<PlotWriter> make_emf_writer(PlotSink& sink);

// Fitting of the HP-GL and DXF pages: the view window widened to the page's
// shape (half the slack on each side, in the direction of the larger
// absolute slack), the scale in inches per view unit, and the sizes of the
// symbols, margins and arrows for a page in inches. Returns the scale.
double fit_inch_page(float page_width, float page_height);
