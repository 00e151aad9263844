// The tool-bar icons. Each drawing is laid out on a grid of 16 x 16 units
// and scaled to the size asked for, so that both tool bars show the same
// picture.
#include "framework/ui/toolbar_icons.h"

#include "platform/surface.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

constexpr Color INK = rgb(48, 48, 48);
constexpr Color PAPER = rgb(255, 255, 255);
constexpr Color STEEL = rgb(150, 160, 172);
constexpr Color LIGHT = rgb(210, 214, 220);
constexpr Color BLUE = rgb(40, 110, 190);
constexpr Color PALE_BLUE = rgb(150, 190, 235);
constexpr Color GREEN = rgb(40, 140, 60);
constexpr Color RED = rgb(200, 50, 40);
constexpr Color YELLOW = rgb(235, 190, 20);
constexpr Color ORANGE = rgb(235, 130, 30);

// A surface seen as a 16 x 16 grid.
class Grid {
public:
    Grid(Surface& s, int size) : s_(s), k_(size / 16.0) {}

    int u(double v) const { return static_cast<int>(std::lround(v * k_)); }
    Point at(double x, double y) const { return Point{u(x), u(y)}; }

    void pen(Color c, double width = 1.0) { s_.set_pen(Pen{c, std::max(1, u(width)), PenStyle::Solid}); }
    void dashed(Color c) { s_.set_pen(Pen{c, 1, PenStyle::Dash}); }
    void no_pen() { s_.set_pen(Pen{INK, 0, PenStyle::None}); }
    void brush(Color c) { s_.set_brush(Brush{c, false}); }
    void hollow() { s_.set_brush(Brush{Color{}, true}); }

    void line(double x1, double y1, double x2, double y2) { s_.line(u(x1), u(y1), u(x2), u(y2)); }
    void rect(double l, double t, double r, double b) { s_.rectangle(Rect{u(l), u(t), u(r), u(b)}); }
    void fill(double l, double t, double r, double b, Color c) { s_.fill_rect(Rect{u(l), u(t), u(r), u(b)}, c); }
    void ellipse(double l, double t, double r, double b) { s_.ellipse(Rect{u(l), u(t), u(r), u(b)}); }
    void arc(double l, double t, double r, double b, double start, double sweep) {
        s_.arc(Rect{u(l), u(t), u(r), u(b)}, start, sweep);
    }
    void polygon(std::initializer_list<std::pair<double, double>> points) { s_.polygon(list(points)); }
    void polyline(std::initializer_list<std::pair<double, double>> points) { s_.polyline(list(points)); }
    void bezier(std::initializer_list<std::pair<double, double>> points) { s_.bezier(list(points)); }

private:
    std::vector<Point> list(std::initializer_list<std::pair<double, double>> points) const {
        std::vector<Point> out;
        for (const auto& [x, y] : points) out.push_back(at(x, y));
        return out;
    }
    Surface& s_;
    double k_;
};

void print(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK);
    g.brush(PAPER);
    g.rect(4, 1, 12, 7);
    g.brush(LIGHT);
    g.rect(1, 6, 15, 12);
    g.fill(11, 8, 13, 9, GREEN);
    g.brush(PAPER);
    g.rect(4, 10, 12, 15);
    g.line(5.5, 12, 10.5, 12);
    g.line(5.5, 13.5, 9, 13.5);
}

// A cube: the model view.
void graphics(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK);
    g.brush(PALE_BLUE);
    g.polygon({{2, 5}, {6, 1}, {15, 1}, {11, 5}});
    g.brush(BLUE);
    g.polygon({{11, 5}, {15, 1}, {15, 10}, {11, 14}});
    g.brush(rgb(90, 150, 215));
    g.rect(2, 5, 11, 14);
}

// A beam on two supports under a load: the analysis.
void analyze(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK);
    g.brush(STEEL);
    g.rect(1, 8, 15, 10);
    g.brush(INK);
    g.polygon({{2, 10}, {0.5, 14}, {3.5, 14}});
    g.polygon({{14, 10}, {12.5, 14}, {15.5, 14}});
    g.pen(RED, 1.5);
    g.line(8, 1, 8, 6);
    g.brush(RED);
    g.pen(RED);
    g.polygon({{5.5, 4.5}, {10.5, 4.5}, {8, 7.5}});
}

// A sheet of numbers with a tick: the results.
void results(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK);
    g.brush(PAPER);
    g.rect(2, 1, 13, 15);
    g.pen(STEEL);
    for (double y : {4.0, 6.5, 9.0, 11.5}) g.line(4, y, 11, y);
    g.pen(GREEN, 2);
    g.polyline({{7, 10}, {9.5, 13}, {15, 6}});
}

// Three books on a shelf.
void library(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK);
    g.brush(BLUE);
    g.rect(1, 3, 5, 15);
    g.brush(GREEN);
    g.rect(5, 1, 9, 15);
    g.brush(RED);
    g.polygon({{9, 4}, {12, 3}, {15.5, 14}, {12.5, 15}});
    g.pen(PAPER);
    g.line(2, 5, 4, 5);
    g.line(6, 3, 8, 3);
}

// The cross-section of a wide-flange beam.
void aisc(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK);
    g.brush(STEEL);
    g.polygon({{2, 1}, {14, 1}, {14, 4}, {9.5, 4}, {9.5, 12}, {14, 12}, {14, 15}, {2, 15}, {2, 12}, {6.5, 12},
               {6.5, 4}, {2, 4}});
}

// A marker pen.
void marker(Grid& g) {
    g.pen(INK);
    g.brush(YELLOW);
    g.polygon({{3, 10}, {10, 3}, {13, 6}, {6, 13}});
    g.brush(INK);
    g.polygon({{3, 10}, {6, 13}, {2, 14}});
    g.fill(1, 14.5, 15, 16, YELLOW);
}

void highlight(Surface& s, int size) {
    Grid g(s, size);
    marker(g);
}

void highlight_off(Surface& s, int size) {
    Grid g(s, size);
    marker(g);
    g.pen(RED, 2);
    g.line(2, 2, 14, 14);
}

// An eye: the viewpoint.
void viewpoint(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK);
    g.brush(PAPER);
    g.polygon({{0.5, 8}, {4, 4.5}, {8, 3.5}, {12, 4.5}, {15.5, 8}, {12, 11.5}, {8, 12.5}, {4, 11.5}});
    g.brush(BLUE);
    g.ellipse(5, 5, 11, 11);
    g.brush(INK);
    g.ellipse(6.5, 6.5, 9.5, 9.5);
}

// A frame's corners round the model: everything in view.
void zoom_all(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK, 1.5);
    g.polyline({{1, 5}, {1, 1}, {5, 1}});
    g.polyline({{11, 1}, {15, 1}, {15, 5}});
    g.polyline({{15, 11}, {15, 15}, {11, 15}});
    g.polyline({{5, 15}, {1, 15}, {1, 11}});
    g.pen(INK);
    g.brush(BLUE);
    g.rect(5, 5, 11, 11);
}

// A magnifying glass, with a plus or a minus.
void magnifier(Grid& g, bool plus) {
    g.pen(INK, 1.5);
    g.brush(PAPER);
    g.ellipse(1, 1, 11, 11);
    g.pen(INK, 2.5);
    g.line(9.5, 9.5, 14.5, 14.5);
    g.pen(BLUE, 1.5);
    g.line(3.5, 6, 8.5, 6);
    if (plus) g.line(6, 3.5, 6, 8.5);
}

void zoom_in(Surface& s, int size) {
    Grid g(s, size);
    magnifier(g, true);
}

void zoom_out(Surface& s, int size) {
    Grid g(s, size);
    magnifier(g, false);
}

// A stack of sheets: the load cases.
void load_cases(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK);
    g.brush(LIGHT);
    g.rect(5, 1, 15, 10);
    g.brush(PALE_BLUE);
    g.rect(3, 3.5, 13, 12.5);
    g.brush(PAPER);
    g.rect(1, 6, 11, 15);
    g.pen(RED, 1.5);
    g.line(6, 8, 6, 12);
    g.line(4.5, 10.5, 6, 12);
    g.line(7.5, 10.5, 6, 12);
}

// Two arrows that change places: the other item.
void other(Surface& s, int size) {
    Grid g(s, size);
    g.pen(BLUE, 1.5);
    g.line(1, 5, 12, 5);
    g.brush(BLUE);
    g.pen(BLUE);
    g.polygon({{11, 2}, {15, 5}, {11, 8}});
    g.pen(GREEN, 1.5);
    g.line(4, 11, 15, 11);
    g.brush(GREEN);
    g.pen(GREEN);
    g.polygon({{5, 8}, {1, 11}, {5, 14}});
}

// The axes of the global system.
void global_axes(Surface& s, int size) {
    Grid g(s, size);
    g.pen(RED, 1.5);
    g.line(6, 10, 15, 10);
    g.pen(GREEN, 1.5);
    g.line(6, 10, 6, 1);
    g.pen(BLUE, 1.5);
    g.line(6, 10, 1, 15);
    g.pen(INK);
    g.brush(INK);
    g.ellipse(5, 9, 7, 11);
}

// The pipe as drawn (dashed) and its deflected shape.
void shape(Surface& s, int size) {
    Grid g(s, size);
    g.dashed(STEEL);
    g.line(1, 4, 15, 4);
    g.pen(BLUE, 2);
    g.bezier({{1, 4}, {5, 16}, {11, 16}, {15, 4}});
    g.pen(INK);
    g.brush(INK);
    g.polygon({{0, 2}, {2.5, 2}, {2.5, 6}, {0, 6}});
    g.polygon({{13.5, 2}, {16, 2}, {16, 6}, {13.5, 6}});
}

// Stress colours along a pipe.
void stresses(Surface& s, int size) {
    Grid g(s, size);
    const Color bands[] = {BLUE, GREEN, YELLOW, ORANGE, RED};
    for (int i = 0; i < 5; ++i) g.fill(1 + 2.8 * i, 5, 1 + 2.8 * (i + 1), 11, bands[i]);
    g.pen(INK);
    g.hollow();
    g.rect(1, 5, 15, 11);
}

// Bars of stress ratios under the limit line.
void ratios(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK);
    g.brush(GREEN);
    g.rect(1.5, 9, 4.5, 15);
    g.rect(6.5, 6, 9.5, 15);
    g.brush(ORANGE);
    g.rect(11.5, 3, 14.5, 15);
    g.pen(RED, 1.5);
    g.line(0.5, 4.5, 15.5, 4.5);
}

// A shaded sphere: the rendered view.
void render(Surface& s, int size) {
    Grid g(s, size);
    g.no_pen();
    const Color shades[] = {rgb(30, 70, 140), rgb(50, 100, 180), rgb(90, 140, 215), rgb(150, 190, 240),
                            rgb(215, 230, 250)};
    for (int i = 0; i < 5; ++i) {
        g.brush(shades[i]);
        const double d = 1.5 * i;
        g.ellipse(1 + d * 0.6, 1 + d * 0.6, 15 - d * 1.2, 15 - d * 1.2);
    }
    g.pen(INK);
    g.hollow();
    g.ellipse(1, 1, 15, 15);
}

// A piping line drawn in lines: back to the line view from the render view.
void line_view(Surface& s, int size) {
    Grid g(s, size);
    g.pen(INK, 1.5);
    g.polyline({{1, 13}, {7, 13}, {7, 5}, {15, 5}});
    g.pen(INK);
    g.line(3, 15, 3, 13);
    g.line(13, 3, 13, 7);
}

// A support symbol with an arrow up or down: symbols larger or smaller.
void symbol_size(Grid& g, bool larger) {
    g.pen(INK);
    g.brush(STEEL);
    if (larger)
        g.rect(1, 5, 11, 15);
    else
        g.rect(1, 9, 7, 15);
    g.pen(BLUE, 1.5);
    if (larger)
        g.line(12.75, 5, 12.75, 10);
    else
        g.line(12.75, 1, 12.75, 6);
    g.pen(BLUE);
    g.brush(BLUE);
    if (larger)
        g.polygon({{10, 5}, {15.5, 5}, {12.75, 1}});
    else
        g.polygon({{10, 6}, {15.5, 6}, {12.75, 10}});
}

void symbol_larger(Surface& s, int size) {
    Grid g(s, size);
    symbol_size(g, true);
}

void symbol_smaller(Surface& s, int size) {
    Grid g(s, size);
    symbol_size(g, false);
}

struct NamedIcon {
    const char* name;
    ToolIcon icon;
};

const NamedIcon ICONS[] = {
    {"new", {StandardIcon::NewFile, nullptr}},
    {"open", {StandardIcon::Open, nullptr}},
    {"save", {StandardIcon::Save, nullptr}},
    {"help", {StandardIcon::Help, nullptr}},
    {"list", {StandardIcon::ListView, nullptr}},
    {"layout", {StandardIcon::DetailView, nullptr}},
    {"previous_result", {StandardIcon::Back, nullptr}},
    {"next_result", {StandardIcon::Forward, nullptr}},
    {"previous_item", {StandardIcon::Up, nullptr}},
    {"next_item", {StandardIcon::Down, nullptr}},
    {"previous", {StandardIcon::SeekBackward, nullptr}},
    {"next", {StandardIcon::SeekForward, nullptr}},
    {"animate", {StandardIcon::Play, nullptr}},
    {"turn", {StandardIcon::Reload, nullptr}},
    {"print", {StandardIcon::None, print}},
    {"graphics", {StandardIcon::None, graphics}},
    {"analyze", {StandardIcon::None, analyze}},
    {"results", {StandardIcon::None, results}},
    {"library", {StandardIcon::None, library}},
    {"aisc", {StandardIcon::None, aisc}},
    {"highlight", {StandardIcon::None, highlight}},
    {"highlight_off", {StandardIcon::None, highlight_off}},
    {"viewpoint", {StandardIcon::None, viewpoint}},
    {"zoom_all", {StandardIcon::None, zoom_all}},
    {"zoom_in", {StandardIcon::None, zoom_in}},
    {"zoom_out", {StandardIcon::None, zoom_out}},
    {"load_cases", {StandardIcon::None, load_cases}},
    {"other", {StandardIcon::None, other}},
    {"global", {StandardIcon::None, global_axes}},
    {"shape", {StandardIcon::None, shape}},
    {"stresses", {StandardIcon::None, stresses}},
    {"ratios", {StandardIcon::None, ratios}},
    {"render", {StandardIcon::None, render}},
    {"line_view", {StandardIcon::None, line_view}},
    {"symbol_larger", {StandardIcon::None, symbol_larger}},
    {"symbol_smaller", {StandardIcon::None, symbol_smaller}},
};

}  // namespace

ToolIcon tool_icon(const std::string& name) {
    for (const NamedIcon& i : ICONS)
        if (name == i.name) return i.icon;
    return {};
}

std::vector<std::string> tool_icon_names() {
    std::vector<std::string> names;
    for (const NamedIcon& i : ICONS) names.push_back(i.name);
    return names;
}
