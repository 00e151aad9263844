// The drawing surface: everything the program draws on screen, on paper, into
// a PDF or an image goes through this interface. Coordinates are device units
// (pixels on screen and images, device dots on a printer), y downwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Color {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Color&) const = default;
};

inline constexpr Color rgb(int r, int g, int b) {
    return Color{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)};
}

enum class PenStyle { Solid, Dash, Dot, DashDot, None };

struct Pen {
    Color color{};
    int width = 1;        // device units; 0 means the thinnest line
    PenStyle style = PenStyle::Solid;
    bool operator==(const Pen&) const = default;
};

struct Brush {
    Color color{};
    bool hollow = false;  // no fill
    bool operator==(const Brush&) const = default;
};

struct FontSpec {
    std::string face = "Sans";
    int height = 10;      // points
    int weight = 400;     // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool fixed_pitch = false;
    int escapement = 0;   // text angle in tenths of a degree, counter-clockwise
    bool operator==(const FontSpec&) const = default;
};

struct TextMetrics {
    int height = 0;             // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internal_leading = 0;
    int external_leading = 0;
    int average_char_width = 0;
    int max_char_width = 0;
};

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

// A picture in 32-bit ARGB pixels, row by row from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;   // 0xAARRGGBB
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

enum class TextAlign { Left, Right, Center };

class Surface {
public:
    virtual ~Surface() = default;

    virtual void set_pen(const Pen& pen) = 0;
    virtual void set_brush(const Brush& brush) = 0;
    virtual void set_font(const FontSpec& font) = 0;
    virtual void set_text_color(Color c) = 0;
    virtual void set_background(Color c, bool opaque) = 0;

    virtual TextMetrics text_metrics() = 0;
    virtual int text_width(const std::string& text) = 0;

    virtual void move_to(int x, int y) = 0;
    virtual void line_to(int x, int y) = 0;
    virtual void line(int x1, int y1, int x2, int y2) = 0;
    virtual void polyline(const std::vector<Point>& points) = 0;
    virtual void polygon(const std::vector<Point>& points) = 0;       // filled with the brush
    virtual void rectangle(const Rect& r) = 0;                         // outline and fill
    virtual void fill_rect(const Rect& r, Color c) = 0;                // fill only
    virtual void ellipse(const Rect& r) = 0;
    // Arc of the ellipse inside r from start to end angle, degrees counter-clockwise from 3 o'clock.
    virtual void arc(const Rect& r, double start_deg, double sweep_deg) = 0;
    // Cubic Bezier: start point, then three points per segment.
    virtual void bezier(const std::vector<Point>& points) = 0;
    virtual void set_pixel(int x, int y, Color c) = 0;
    // Text with its top at y; x is the left edge, right edge or centre by align.
    virtual void text(int x, int y, const std::string& text, TextAlign align = TextAlign::Left) = 0;

    virtual void set_clip(const Rect& r) = 0;
    virtual void clear_clip() = 0;

    // A picture scaled into the target rectangle (device units). A surface
    // that cannot show pictures draws nothing.
    virtual void draw_image(const Rect& /*target*/, const Image& /*image*/) {}

    // Size of the drawable area and its resolution (dots per inch).
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual int dpi_x() const = 0;
    virtual int dpi_y() const = 0;
};
