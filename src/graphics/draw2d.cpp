// The 2D drawing layer: clipping, the painter of the line view and the
// screen and printer device.
#include "graphics/draw2d.h"

#include <algorithm>
#include <cmath>

namespace {

int outcode(const ViewWindow& w, float x, float y)
{
    int code = 0;
    if (y > w.ymax)
        code |= 1;
    else if (y < w.ymin)
        code |= 2;
    if (x > w.xmax)
        code |= 4;
    else if (x < w.xmin)
        code |= 8;
    return code;
}

// Pixels beyond this stay there: far enough outside any client and printed
// page, near enough that sums of them stay integers.
constexpr double PIXEL_LIMIT = 1.0e6;

int pixel(double v)
{
    if (!(v > -PIXEL_LIMIT))
        return static_cast<int>(-PIXEL_LIMIT);
    if (!(v < PIXEL_LIMIT))
        return static_cast<int>(PIXEL_LIMIT);
    return static_cast<int>(std::trunc(v));
}

}  // namespace

bool clip_line(const ViewWindow& w, float& x1, float& y1, float& x2, float& y2)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return false;
    // The slopes of the segment as given.
    const double dx = double(x2) - x1, dy = double(y2) - y1;
    int code2 = outcode(w, x2, y2);
    for (int round = 0; round < 8; ++round) {
        int code1 = outcode(w, x1, y1);
        if (code1 & code2)
            return false;
        if (code1 == 0 && code2 == 0)
            return true;
        if (code1 == 0) {
            std::swap(x1, x2);
            std::swap(y1, y2);
            code1 = code2;
            code2 = 0;
        }
        if (code1 & 1) {
            x1 = static_cast<float>(x1 + (double(w.ymax) - y1) * dx / dy);
            y1 = w.ymax;
        } else if (code1 & 2) {
            x1 = static_cast<float>(x1 + (double(w.ymin) - y1) * dx / dy);
            y1 = w.ymin;
        } else if (code1 & 4) {
            y1 = static_cast<float>(y1 + (double(w.xmax) - x1) * dy / dx);
            x1 = w.xmax;
        } else if (code1 & 8) {
            y1 = static_cast<float>(y1 + (double(w.xmin) - x1) * dy / dx);
            x1 = w.xmin;
        }
    }
    // Rounding can leave a point a hair outside; such a segment is not drawn.
    return outcode(w, x1, y1) == 0 && outcode(w, x2, y2) == 0;
}

void bezier_points(const Point2 (&p)[4], Point2 (&out)[9])
{
    const double cx = 3.0 * (double(p[1].x) - p[0].x), cy = 3.0 * (double(p[1].y) - p[0].y);
    const double bx = 3.0 * (double(p[2].x) - p[1].x) - cx, by = 3.0 * (double(p[2].y) - p[1].y) - cy;
    const double ax = double(p[3].x) - p[0].x - cx - bx, ay = double(p[3].y) - p[0].y - cy - by;
    out[0] = p[0];
    for (int k = 1; k <= 8; ++k) {
        const double t = k * 0.125;
        out[k] = {static_cast<float>(((ax * t + bx) * t + cx) * t + p[0].x),
                  static_cast<float>(((ay * t + by) * t + cy) * t + p[0].y)};
    }
}

// ---- Draw2D ---------------------------------------------------------------------------------

bool Draw2D::outside(float xmin, float ymin, float xmax, float ymax) const
{
    return device_.culls_outside() &&
           (xmax < clip_.xmin || xmin > clip_.xmax || ymax < clip_.ymin || ymin > clip_.ymax);
}

void Draw2D::line(Point2 a, Point2 b)
{
    if (device_.clips_lines() && !clip_line(clip_, a.x, a.y, b.x, b.y))
        return;
    device_.line(a, b);
}

void Draw2D::bezier(const Point2 (&points)[4])
{
    if (device_.clips_lines()) {
        bool inside = true;
        for (const Point2& p : points)
            inside = inside && outcode(clip_, p.x, p.y) == 0;
        if (!inside) {
            Point2 on[9];
            bezier_points(points, on);
            for (int k = 0; k < 8; ++k)
                line(on[k], on[k + 1]);
            return;
        }
    }
    device_.bezier(points);
}

void Draw2D::circle(Point2 c, float r)
{
    if (outside(c.x - r, c.y - r, c.x + r, c.y + r))
        return;
    device_.circle(c, r);
}

void Draw2D::text(Point2 at, const std::string& text)
{
    float w = 0.0f, h = 0.0f;
    device_.text_extent(text, w, h);
    if (outside(at.x, at.y - h, at.x + w, at.y + h))
        return;
    device_.text(at, text);
}

void Draw2D::dot(Point2 at)
{
    if (outside(at.x, at.y, at.x, at.y))
        return;
    device_.dot(at);
}

void Draw2D::arrow_head(Point2 tip, Point2 direction, bool double_head)
{
    if (outside(tip.x, tip.y, tip.x, tip.y))
        return;
    device_.arrow_head(tip, direction, double_head);
}

void Draw2D::rect(Point2 a, Point2 b)
{
    const Point2 lo{std::min(a.x, b.x), std::min(a.y, b.y)};
    const Point2 hi{std::max(a.x, b.x), std::max(a.y, b.y)};
    if (outside(lo.x, lo.y, hi.x, hi.y))
        return;
    device_.rect(lo, hi);
}

// ---- Pixels -------------------------------------------------------------------------------

int PixelMapping::column(float x) const
{
    return pixel((double(x) - window.xmin) * scale + 0.5);
}

int PixelMapping::row(float y) const
{
    return height - pixel((double(y) - window.ymin) * scale + 0.5);
}

ArrowHeadPixels arrow_head_pixels(const PixelMapping& mapping, Point2 tip, Point2 d, bool double_head)
{
    const ViewState& v = view_state();
    const double length = v.arrow_head_length / v.scale;
    const double half = v.arrow_head_width * 0.5 / v.scale;
    auto device = [&mapping](double x, double y) {
        return Point{mapping.column(static_cast<float>(x)), mapping.row(static_cast<float>(y))};
    };
    ArrowHeadPixels out;
    out.first = {device(tip.x, tip.y), device(tip.x - length * d.x - half * d.y, tip.y - length * d.y + half * d.x),
                 device(tip.x - length * d.x + half * d.y, tip.y - length * d.y - half * d.x)};
    if (double_head) {
        const double back = v.arrow_head_length + 2.0;
        const int ox = pixel(back * d.x), oy = pixel(back * d.y);
        out.second = out.first;
        for (Point& p : out.second) {
            p.x -= ox;
            p.y += oy;
        }
    }
    return out;
}

PixelMapping client_mapping()
{
    const GraphicsViewState& g = graphics_view();
    return PixelMapping{g.view_window, view_state().scale, g.client_height};
}

// ---- Surface device -----------------------------------------------------------------------------

SurfaceDevice::SurfaceDevice(Surface& surface, const PixelMapping& mapping, const ColorScheme& scheme,
                             bool dots_as_rectangles)
    : surface_(surface), mapping_(mapping), scheme_(scheme), dots_as_rectangles_(dots_as_rectangles)
{
    surface_.set_font(graphics_settings().font);
    surface_.set_background(scheme.background, false);
    const TextMetrics m = surface_.text_metrics();
    ascent_ = m.ascent;
    text_height_ = m.height;
    select_pen(PEN_ELEMENT);
}

void SurfaceDevice::select_pen(ViewPen pen)
{
    const PenSlot& slot = scheme_[pen];
    surface_.set_pen(slot.pen);
    surface_.set_brush(slot.brush);
    surface_.set_text_color(slot.text);
    brush_ = slot.brush.color;
}

void SurfaceDevice::select_color(Color color)
{
    surface_.set_pen(Pen{color, 2, PenStyle::Solid});
    surface_.set_brush(Brush{color, false});
    surface_.set_text_color(color);
    brush_ = color;
}

void SurfaceDevice::line(Point2 a, Point2 b)
{
    const Point p = device(a), q = device(b);
    surface_.line(p.x, p.y, q.x, q.y);
}

void SurfaceDevice::rect(Point2 lo, Point2 hi)
{
    surface_.rectangle(Rect{mapping_.column(lo.x), mapping_.row(hi.y), mapping_.column(hi.x) + 1, mapping_.row(lo.y)});
}

void SurfaceDevice::circle(Point2 c, float r)
{
    surface_.ellipse(Rect{mapping_.column(c.x - r), mapping_.row(c.y + r), mapping_.column(c.x + r), mapping_.row(c.y - r)});
}

void SurfaceDevice::bezier(const Point2 (&points)[4])
{
    std::vector<Point> p;
    p.reserve(4);
    for (const Point2& c : points)
        p.push_back(device(c));
    surface_.bezier(p);
}

void SurfaceDevice::text(Point2 at, const std::string& text)
{
    const Point p = device(at);
    surface_.text(p.x, p.y - ascent_, text);
}

void SurfaceDevice::dot(Point2 at)
{
    const Point p = device(at);
    const int size = view_state().dot_size;
    const int h = size / 2;
    const Rect r{p.x - h, p.y - h, p.x - h + size, p.y - h + size};
    if (dots_as_rectangles_)
        surface_.rectangle(r);
    else
        surface_.fill_rect(r, brush_);
}

void SurfaceDevice::arrow_head(Point2 tip, Point2 d, bool double_head)
{
    const ArrowHeadPixels heads = arrow_head_pixels(mapping_, tip, d, double_head);
    surface_.polygon(heads.first);
    if (double_head)
        surface_.polygon(heads.second);
}

void SurfaceDevice::text_extent(const std::string& text, float& width, float& height)
{
    const double scale = mapping_.scale;
    width = static_cast<float>(surface_.text_width(text) / scale);
    height = static_cast<float>(text_height_ / scale);
}

ClientClip::ClientClip(Surface& surface) : surface_(surface)
{
    const GraphicsViewState& g = graphics_view();
    surface_.set_clip(Rect{0, 0, std::max(g.client_width, 0), std::max(g.client_height, 0)});
}

ClientClip::~ClientClip()
{
    surface_.clear_clip();
}

ScreenDrawing::ScreenDrawing(Surface& surface, const ViewWindow& clip, bool dots_as_rectangles)
    : clip_(surface), device_(surface, client_mapping(), color_scheme(), dots_as_rectangles), painter_(device_, clip),
      scope_(painter_)
{
}
