// Surfaces that draw nothing. NullSurface measures a fixed-pitch font of 8 by
// 16 pixels and keeps a careless caller safe where there is nothing to draw on;
// MeasuringSurface measures with a real surface and draws nothing, for dry runs
// of a page layout and for the pages outside a printed range.
#pragma once

#include "platform/surface.h"

#include <functional>

class NullSurface : public Surface {
public:
    void set_pen(const Pen&) override {}
    void set_brush(const Brush&) override {}
    void set_font(const FontSpec&) override {}
    void set_text_color(Color) override {}
    void set_background(Color, bool) override {}
    TextMetrics text_metrics() override { return TextMetrics{16, 13, 3, 0, 0, 8, 8}; }
    int text_width(const std::string& t) override { return 8 * static_cast<int>(t.size()); }
    void move_to(int, int) override {}
    void line_to(int, int) override {}
    void line(int, int, int, int) override {}
    void polyline(const std::vector<Point>&) override {}
    void polygon(const std::vector<Point>&) override {}
    void rectangle(const Rect&) override {}
    void fill_rect(const Rect&, Color) override {}
    void ellipse(const Rect&) override {}
    void arc(const Rect&, double, double) override {}
    void bezier(const std::vector<Point>&) override {}
    void set_pixel(int, int, Color) override {}
    void text(int, int, const std::string&, TextAlign) override {}
    void set_clip(const Rect&) override {}
    void clear_clip() override {}
    int width() const override { return 0; }
    int height() const override { return 0; }
    int dpi_x() const override { return 96; }
    int dpi_y() const override { return 96; }
};

class MeasuringSurface : public NullSurface {
public:
    // `real` gives the surface to measure with; it is asked on every call, so
    // it may hand out a different surface for each page.
    explicit MeasuringSurface(std::function<Surface&()> real) : real_(std::move(real)), fixed_(false) {}
    explicit MeasuringSurface(Surface& real) : real_([&real]() -> Surface& { return real; }), fixed_(true) {}

    // On a fixed surface the font goes to it only when it changes, so a dry
    // run leaves no more than a font selection or two behind.
    void set_font(const FontSpec& f) override {
        if (!fixed_ || !font_set_ || !(f == font_)) real_().set_font(f);
        font_ = f;
        font_set_ = true;
    }
    TextMetrics text_metrics() override { return real_().text_metrics(); }
    int text_width(const std::string& t) override { return real_().text_width(t); }
    int width() const override { return real_().width(); }
    int height() const override { return real_().height(); }
    int dpi_x() const override { return real_().dpi_x(); }
    int dpi_y() const override { return real_().dpi_y(); }

private:
    std::function<Surface&()> real_;
    bool fixed_;
    FontSpec font_;
    bool font_set_ = false;
};
