// A print document whose pages show the user's texts as shown_controls
// writes them: the report draws on it what it prints, so that a title, a
// name or a file name that holds a control character reaches no page as
// it is. Its surface stands as well in front of a window's (a table's
// cells).
#pragma once

#include "framework/strings.h"
#include "platform/printing.h"
#include "platform/surface.h"

#include <string>
#include <vector>

// A page's surface as the report draws on it: the user's texts (a title, a
// name, a file name) may hold what must not reach a page as it is, and a
// text that does is drawn, and measured, as shown_controls writes it;
// everything else goes to the page as it is.
class ShownTextSurface final : public Surface {
public:
    ShownTextSurface() = default;
    explicit ShownTextSurface(Surface& real) : page(&real) {}

    Surface* page = nullptr;

    void set_pen(const Pen& pen) override { page->set_pen(pen); }
    void set_brush(const Brush& brush) override { page->set_brush(brush); }
    void set_font(const FontSpec& font) override { page->set_font(font); }
    void set_text_color(Color c) override { page->set_text_color(c); }
    void set_background(Color c, bool opaque) override { page->set_background(c, opaque); }
    TextMetrics text_metrics() override { return page->text_metrics(); }
    int text_width(const std::string& text) override {
        return holds_controls(text) ? page->text_width(shown_controls(text)) : page->text_width(text);
    }
    void move_to(int x, int y) override { page->move_to(x, y); }
    void line_to(int x, int y) override { page->line_to(x, y); }
    void line(int x1, int y1, int x2, int y2) override { page->line(x1, y1, x2, y2); }
    void polyline(const std::vector<Point>& points) override { page->polyline(points); }
    void polygon(const std::vector<Point>& points) override { page->polygon(points); }
    void rectangle(const Rect& r) override { page->rectangle(r); }
    void fill_rect(const Rect& r, Color c) override { page->fill_rect(r, c); }
    void ellipse(const Rect& r) override { page->ellipse(r); }
    void arc(const Rect& r, double start_deg, double sweep_deg) override { page->arc(r, start_deg, sweep_deg); }
    void bezier(const std::vector<Point>& points) override { page->bezier(points); }
    void set_pixel(int x, int y, Color c) override { page->set_pixel(x, y, c); }
    void text(int x, int y, const std::string& text, TextAlign align) override {
        if (holds_controls(text))
            page->text(x, y, shown_controls(text), align);
        else
            page->text(x, y, text, align);
    }
    void set_clip(const Rect& r) override { page->set_clip(r); }
    void clear_clip() override { page->clear_clip(); }
    void draw_image(const Rect& target, const Image& image) override { page->draw_image(target, image); }
    int width() const override { return page->width(); }
    int height() const override { return page->height(); }
    int dpi_x() const override { return page->dpi_x(); }
    int dpi_y() const override { return page->dpi_y(); }
};

// The document the report prints on, its pages' surfaces ShownTextSurfaces.
class ShownTextDocument final : public PassingDocument {
public:
    using PassingDocument::PassingDocument;
    Surface& page() override {
        surface_.page = &real_.page();
        return surface_;
    }

private:
    ShownTextSurface surface_;
};
