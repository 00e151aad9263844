// A drawing surface that draws nothing and writes down every call as a line of
// text ("line 0 0 10 10", "text 5 5 \"Abc\" left"), so that a test can check
// what was drawn. Text is measured with fixed metrics: 8 pixels a character,
// 16 pixels a line.
#pragma once

#include "platform/surface.h"

#include <string>
#include <vector>

class RecordingSurface : public Surface {
public:
    static constexpr int GLYPH_WIDTH = 8;
    static constexpr int LINE_HEIGHT = 16;
    static constexpr int ASCENT = 13;

    RecordingSurface(int width, int height, Color background = rgb(255, 255, 255), int dpi = 96);

    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    // The recorded lines that start with the word (such as "text" or "line").
    std::vector<std::string> lines_starting(const std::string& word) const;
    Color background_color() const { return background_; }

    const Pen& pen() const { return pen_; }
    const Brush& brush() const { return brush_; }
    const FontSpec& font() const { return font_; }

    void set_pen(const Pen& pen) override;
    void set_brush(const Brush& brush) override;
    void set_font(const FontSpec& font) override;
    void set_text_color(Color c) override;
    void set_background(Color c, bool opaque) override;

    TextMetrics text_metrics() override;
    int text_width(const std::string& text) override;

    void move_to(int x, int y) override;
    void line_to(int x, int y) override;
    void line(int x1, int y1, int x2, int y2) override;
    void polyline(const std::vector<Point>& points) override;
    void polygon(const std::vector<Point>& points) override;
    void rectangle(const Rect& r) override;
    void fill_rect(const Rect& r, Color c) override;
    void ellipse(const Rect& r) override;
    void arc(const Rect& r, double start_deg, double sweep_deg) override;
    void bezier(const std::vector<Point>& points) override;
    void set_pixel(int x, int y, Color c) override;
    void text(int x, int y, const std::string& text, TextAlign align = TextAlign::Left) override;

    void set_clip(const Rect& r) override;
    void clear_clip() override;
    void draw_image(const Rect& target, const Image& image) override;

    int width() const override { return width_; }
    int height() const override { return height_; }
    int dpi_x() const override { return dpi_; }
    int dpi_y() const override { return dpi_; }

private:
    void record(std::string line) { lines_.push_back(std::move(line)); }

    int width_;
    int height_;
    int dpi_;
    Color background_;
    Pen pen_;
    Brush brush_;
    FontSpec font_;
    std::vector<std::string> lines_;
};

// "#rrggbb"
std::string color_text(Color c);
