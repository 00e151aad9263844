// The drawing surface over a QPainter: client paints, images, and anything
// else a QPainter can draw on (printers, PDF). Rectangles follow the usual
// device rule: the right and bottom edges are outside.
#include "platform/qt/qt_internal.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <optional>

namespace kvqt {

QFont make_font(const FontSpec& f) {
    QFont font(qs(f.face.empty() ? std::string("Sans") : f.face));
    font.setPointSize(f.height > 0 ? std::min(f.height, 1000) : 10);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight > 0 ? f.weight : 400, 100, 900)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    if (f.fixed_pitch) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::Monospace);
    }
    return font;
}

FontSpec font_spec(const QFont& font) {
    FontSpec f;
    f.face = ss(font.family());
    f.height = font.pointSize() > 0 ? font.pointSize() : static_cast<int>(std::lround(font.pointSizeF()));
    if (f.height <= 0) f.height = 10;
    f.weight = font.bold() ? 700 : 400;
    f.italic = font.italic();
    f.underline = font.underline();
    f.fixed_pitch = font.fixedPitch();
    return f;
}

Image image_of(const QImage& source) {
    Image out;
    if (source.isNull()) return out;
    QImage img = source.format() == QImage::Format_ARGB32 ? source : source.convertToFormat(QImage::Format_ARGB32);
    out.width = img.width();
    out.height = img.height();
    out.pixels.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(img.constScanLine(y));
        std::copy(line, line + out.width, out.pixels.begin() + static_cast<std::ptrdiff_t>(y) * out.width);
    }
    return out;
}

QImage qimage_view(const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return QImage();
    return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                  static_cast<qsizetype>(image.width) * 4, QImage::Format_ARGB32);
}

namespace {

QPolygon polygon_of(const std::vector<Point>& points) {
    QPolygon poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& p : points) poly << QPoint(p.x, p.y);
    return poly;
}

Qt::PenStyle pen_style(PenStyle s) {
    switch (s) {
    case PenStyle::Dash: return Qt::DashLine;
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::DashDot: return Qt::DashDotLine;
    case PenStyle::None: return Qt::NoPen;
    case PenStyle::Solid: break;
    }
    return Qt::SolidLine;
}

// The outline rectangle of r drawn with a one-pixel pen covers left..right-1.
QRect outline_rect(const Rect& r) { return QRect(r.left, r.top, r.width() - 1, r.height() - 1); }

}  // namespace

QtSurface::QtSurface(QPainter& painter, int width, int height, int dpi_x, int dpi_y) {
    attach(painter, width, height, dpi_x, dpi_y);
}

void QtSurface::attach(QPainter& painter, int width, int height, int dpi_x, int dpi_y) {
    p_ = &painter;
    width_ = width;
    height_ = height;
    dpi_x_ = dpi_x > 0 ? dpi_x : 96;
    dpi_y_ = dpi_y > 0 ? dpi_y : 96;
    // A fresh surface draws with a black pen, a white brush, black text and a
    // transparent text background; what it knew of another painter's fonts
    // goes.
    font_set_ = false;
    widths_.clear();
    p_->setRenderHint(QPainter::Antialiasing, false);
    set_pen(Pen{});
    set_brush(Brush{rgb(255, 255, 255), false});
    set_font(FontSpec{});
    set_background(rgb(255, 255, 255), false);
}

void QtSurface::set_pen(const Pen& pen) {
    QPen q(qcolor(pen.color));
    q.setStyle(pen_style(pen.style));
    q.setWidth(std::max(0, pen.width));
    q.setCapStyle(pen.width > 1 ? Qt::RoundCap : Qt::SquareCap);
    q.setJoinStyle(pen.width > 1 ? Qt::RoundJoin : Qt::MiterJoin);
    p_->setPen(q);
}

void QtSurface::set_brush(const Brush& brush) {
    p_->setBrush(brush.hollow ? QBrush(Qt::NoBrush) : QBrush(qcolor(brush.color)));
}

void QtSurface::set_font(const FontSpec& font) {
    escapement_ = font.escapement;
    // The same font again changes nothing: the painter keeps it.
    if (font_set_ && font == font_) return;
    p_->setFont(make_font(font));
    font_ = font;
    font_set_ = true;
    ascent_ = p_->fontMetrics().ascent();
    constexpr std::size_t MOST_FONTS = 8;
    font_widths_ = widths_.size();
    for (std::size_t i = 0; i < widths_.size(); ++i)
        if (widths_[i].font == font) font_widths_ = i;
    if (font_widths_ == widths_.size()) {
        if (widths_.size() >= MOST_FONTS) widths_.clear();
        font_widths_ = widths_.size();
        widths_.push_back(TextWidths{font, {}});
    }
}

void QtSurface::set_text_color(Color c) { text_color_ = qcolor(c); }

void QtSurface::set_background(Color c, bool opaque) {
    const QColor colour = qcolor(c);
    const Qt::BGMode mode = opaque ? Qt::OpaqueMode : Qt::TransparentMode;
    // The same again changes nothing (each change is a state change of a printer's page).
    if (p_->background().style() != Qt::SolidPattern || p_->background().color() != colour)
        p_->setBackground(QBrush(colour));
    if (p_->backgroundMode() != mode) p_->setBackgroundMode(mode);
}

TextMetrics QtSurface::text_metrics() {
    QFontMetrics fm = p_->fontMetrics();
    TextMetrics m;
    m.ascent = fm.ascent();
    m.descent = fm.descent();
    m.height = m.ascent + m.descent;
    // The em height in device pixels; what the font reserves above it is its internal leading.
    double em = p_->font().pointSizeF() * dpi_y_ / 72.0;
    if (em <= 0) em = p_->font().pixelSize();
    m.internal_leading = std::max(0, m.height - static_cast<int>(std::lround(em)));
    m.external_leading = std::max(0, fm.leading());
    m.average_char_width = fm.averageCharWidth();
    m.max_char_width = fm.maxWidth();
    return m;
}

int QtSurface::text_width(const std::string& text) {
    std::unordered_map<std::string, int>& known = widths_[font_widths_].width;
    if (const auto it = known.find(text); it != known.end()) return it->second;
    const int width = p_->fontMetrics().horizontalAdvance(qs(text));
    if (known.size() >= MOST_WIDTHS) known.clear();
    known.emplace(text, width);
    return width;
}

void QtSurface::move_to(int x, int y) { current_ = QPoint(x, y); }

void QtSurface::line_to(int x, int y) {
    QPoint to(x, y);
    p_->drawLine(current_, to);
    current_ = to;
}

void QtSurface::line(int x1, int y1, int x2, int y2) {
    p_->drawLine(x1, y1, x2, y2);
    current_ = QPoint(x2, y2);
}

void QtSurface::polyline(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    p_->drawPolyline(polygon_of(points));
}

void QtSurface::polygon(const std::vector<Point>& points) {
    if (points.size() < 2) return;
    p_->drawPolygon(polygon_of(points));
}

void QtSurface::rectangle(const Rect& r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    p_->drawRect(outline_rect(r));
}

void QtSurface::fill_rect(const Rect& r, Color c) {
    if (r.width() <= 0 || r.height() <= 0) return;
    p_->fillRect(QRect(r.left, r.top, r.width(), r.height()), qcolor(c));
}

void QtSurface::ellipse(const Rect& r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    p_->drawEllipse(outline_rect(r));
}

void QtSurface::arc(const Rect& r, double start_deg, double sweep_deg) {
    if (r.width() <= 0 || r.height() <= 0 || !std::isfinite(start_deg) || !std::isfinite(sweep_deg)) return;
    auto sixteenths = [](double deg) { return static_cast<int>(std::lround(std::fmod(deg, 3600.0) * 16.0)); };
    p_->drawArc(outline_rect(r), sixteenths(start_deg), sixteenths(sweep_deg));
}

void QtSurface::bezier(const std::vector<Point>& points) {
    if (points.size() < 4) return;
    QPainterPath path(QPointF(points[0].x, points[0].y));
    for (size_t i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, points[i + 2].x, points[i + 2].y);
    QBrush brush = p_->brush();
    p_->setBrush(Qt::NoBrush);
    p_->drawPath(path);
    p_->setBrush(brush);
}

void QtSurface::set_pixel(int x, int y, Color c) { p_->fillRect(QRect(x, y, 1, 1), qcolor(c)); }

void QtSurface::text(int x, int y, const std::string& text, TextAlign align) {
    if (text.empty()) return;
    const QString s = qs(text);
    // Only a text aligned by its right end or its centre needs its width.
    int dx = 0;
    if (align != TextAlign::Left) {
        const int w = text_width(text);
        dx = align == TextAlign::Right ? -w : -w / 2;
    }
    // The text takes the pen's colour: the pen changes only when its colour
    // is not the text's (a change costs a printer's page a state change).
    const QPen& current = p_->pen();
    std::optional<QPen> kept;
    if (current.style() == Qt::NoPen || current.color() != text_color_) {
        kept = current;
        p_->setPen(text_color_);
    }
    if (escapement_ == 0) {
        p_->drawText(QPoint(x + dx, y + ascent_), s);
    } else {
        p_->save();
        p_->translate(x, y);
        p_->rotate(-escapement_ / 10.0);   // escapement turns counter-clockwise, y runs down
        p_->drawText(QPoint(dx, ascent_), s);
        p_->restore();
    }
    if (kept) p_->setPen(*kept);
}

void QtSurface::set_clip(const Rect& r) {
    p_->setClipRect(QRect(r.left, r.top, std::max(0, r.width()), std::max(0, r.height())));
}

void QtSurface::clear_clip() { p_->setClipping(false); }

void QtSurface::draw_image(const Rect& target, const Image& image) {
    QImage view = qimage_view(image);
    if (view.isNull() || target.width() <= 0 || target.height() <= 0) return;
    p_->drawImage(QRect(target.left, target.top, target.width(), target.height()), view);
}

// ---------------------------------------------------------------------------

ImageSurface::ImageSurface(int width, int height, Color background, int dpi, double pixel_ratio) {
    // Images stay within a sane size; a request beyond it gets a one-pixel image.
    constexpr int LIMIT = 16384;
    if (!(pixel_ratio >= 1.0 && pixel_ratio <= 8.0)) pixel_ratio = 1.0;
    if (width <= 0 || height <= 0 || width * pixel_ratio > LIMIT || height * pixel_ratio > LIMIT) {
        width = height = 1;
        pixel_ratio = 1.0;
    }
    image_ = QImage(static_cast<int>(std::ceil(width * pixel_ratio)), static_cast<int>(std::ceil(height * pixel_ratio)),
                    QImage::Format_ARGB32);
    if (image_.isNull()) {
        image_ = QImage(1, 1, QImage::Format_ARGB32);
        width = height = 1;
        pixel_ratio = 1.0;
    }
    image_.setDevicePixelRatio(pixel_ratio);
    // Fonts take their size from the logical resolution; the ratio scales them with everything else.
    int dots_per_metre = static_cast<int>(std::lround((dpi > 0 ? dpi : 96) / 0.0254));
    image_.setDotsPerMeterX(dots_per_metre);
    image_.setDotsPerMeterY(dots_per_metre);
    image_.fill(qcolor(background));
    painter_.begin(&image_);
    attach(painter_, width, height, image_.logicalDpiX(), image_.logicalDpiY());
}

ImageSurface::~ImageSurface() { painter_.end(); }

}  // namespace kvqt

using namespace kvqt;

namespace {
int screen_dpi() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? static_cast<int>(std::lround(s->logicalDotsPerInch())) : 96;
}
}  // namespace

std::unique_ptr<Surface> QtBackend::screen_surface() {
    return std::make_unique<ImageSurface>(16, 16, rgb(255, 255, 255), screen_dpi());
}

std::unique_ptr<Surface> QtBackend::image_surface(int width, int height, Color background, double pixel_ratio) {
    return std::make_unique<ImageSurface>(width, height, background, screen_dpi(), pixel_ratio);
}

Image QtBackend::surface_image(Surface& surface) {
    auto* s = dynamic_cast<ImageSurface*>(&surface);
    return s ? image_of(s->image()) : Image{};
}
