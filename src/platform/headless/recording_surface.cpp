#include "platform/headless/recording_surface.h"

#include <cstdio>

namespace {

std::string rect_text(const Rect& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

std::string points_text(const std::vector<Point>& points) {
    std::string out;
    for (const Point& p : points) out += " " + std::to_string(p.x) + "," + std::to_string(p.y);
    return out;
}

const char* style_text(PenStyle s) {
    switch (s) {
    case PenStyle::Solid: return "solid";
    case PenStyle::Dash: return "dash";
    case PenStyle::Dot: return "dot";
    case PenStyle::DashDot: return "dashdot";
    case PenStyle::None: return "none";
    }
    return "solid";
}

// Characters, not bytes: a UTF-8 sequence counts once.
int char_count(const std::string& text) {
    int n = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

std::string number_text(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

}  // namespace

std::string color_text(Color c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
    return buf;
}

RecordingSurface::RecordingSurface(int width, int height, Color background, int dpi)
    : width_(width < 0 ? 0 : width), height_(height < 0 ? 0 : height), dpi_(dpi), background_(background) {}

std::vector<std::string> RecordingSurface::lines_starting(const std::string& word) const {
    std::vector<std::string> out;
    for (const std::string& l : lines_)
        if (l.rfind(word, 0) == 0 && (l.size() == word.size() || l[word.size()] == ' ')) out.push_back(l);
    return out;
}

void RecordingSurface::set_pen(const Pen& pen) {
    pen_ = pen;
    record("pen " + color_text(pen.color) + " " + std::to_string(pen.width) + " " + style_text(pen.style));
}

void RecordingSurface::set_brush(const Brush& brush) {
    brush_ = brush;
    record(brush.hollow ? std::string("brush hollow") : "brush " + color_text(brush.color));
}

void RecordingSurface::set_font(const FontSpec& font) {
    font_ = font;
    std::string line = "font \"" + font.face + "\" " + std::to_string(font.height) + " " + std::to_string(font.weight);
    if (font.italic) line += " italic";
    if (font.underline) line += " underline";
    if (font.fixed_pitch) line += " fixed";
    if (font.escapement != 0) line += " angle " + std::to_string(font.escapement);
    record(line);
}

void RecordingSurface::set_text_color(Color c) { record("textcolor " + color_text(c)); }

void RecordingSurface::set_background(Color c, bool opaque) {
    record("background " + color_text(c) + (opaque ? " opaque" : " transparent"));
}

TextMetrics RecordingSurface::text_metrics() {
    TextMetrics m;
    m.height = LINE_HEIGHT;
    m.ascent = ASCENT;
    m.descent = LINE_HEIGHT - ASCENT;
    m.internal_leading = 2;
    m.external_leading = 0;
    m.average_char_width = GLYPH_WIDTH;
    m.max_char_width = GLYPH_WIDTH;
    return m;
}

int RecordingSurface::text_width(const std::string& text) { return GLYPH_WIDTH * char_count(text); }

void RecordingSurface::move_to(int x, int y) { record("moveto " + std::to_string(x) + " " + std::to_string(y)); }

void RecordingSurface::line_to(int x, int y) { record("lineto " + std::to_string(x) + " " + std::to_string(y)); }

void RecordingSurface::line(int x1, int y1, int x2, int y2) {
    record("line " + std::to_string(x1) + " " + std::to_string(y1) + " " + std::to_string(x2) + " " +
           std::to_string(y2));
}

void RecordingSurface::polyline(const std::vector<Point>& points) { record("polyline" + points_text(points)); }

void RecordingSurface::polygon(const std::vector<Point>& points) { record("polygon" + points_text(points)); }

void RecordingSurface::rectangle(const Rect& r) { record("rect " + rect_text(r)); }

void RecordingSurface::fill_rect(const Rect& r, Color c) { record("fill " + rect_text(r) + " " + color_text(c)); }

void RecordingSurface::ellipse(const Rect& r) { record("ellipse " + rect_text(r)); }

void RecordingSurface::arc(const Rect& r, double start_deg, double sweep_deg) {
    record("arc " + rect_text(r) + " " + number_text(start_deg) + " " + number_text(sweep_deg));
}

void RecordingSurface::bezier(const std::vector<Point>& points) { record("bezier" + points_text(points)); }

void RecordingSurface::set_pixel(int x, int y, Color c) {
    record("pixel " + std::to_string(x) + " " + std::to_string(y) + " " + color_text(c));
}

void RecordingSurface::text(int x, int y, const std::string& text, TextAlign align) {
    const char* a = align == TextAlign::Left ? "left" : align == TextAlign::Right ? "right" : "center";
    record("text " + std::to_string(x) + " " + std::to_string(y) + " \"" + text + "\" " + a);
}

void RecordingSurface::set_clip(const Rect& r) { record("clip " + rect_text(r)); }

void RecordingSurface::clear_clip() { record("noclip"); }

void RecordingSurface::draw_image(const Rect& target, const Image& image) {
    record("image " + rect_text(target) + " " + std::to_string(image.width) + "x" + std::to_string(image.height));
}
