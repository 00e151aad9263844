// The enhanced metafile (".emf"): the line view as the client shows it, in
// its pixels, on a white page under the title line of the plot files,
// written record by record after the published EMF format: the header,
// pens, brushes and the font created once each and selected by handle,
// lines, polygons, rectangles, Bezier curves, texts (UTF-16 with their
// advances) and the end record. Little-endian throughout.
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/plot_device.h"
#include "graphics/view_settings.h"
#include "model/view_drawing.h"
#include "platform/backend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Record types of the format.
enum : uint32_t {
    EMR_HEADER = 1,
    EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86,
    EMR_EOF = 14,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_MOVETOEX = 27,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_LINETO = 54,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTW = 84,
};
constexpr uint32_t EMF_SIGNATURE = 0x464D4520;   // " EMF"
constexpr uint32_t NULL_PEN = 0x80000008;        // stock objects
constexpr uint32_t NULL_BRUSH = 0x80000005;
constexpr uint32_t TA_BASELINE = 24;
constexpr uint32_t MM_TEXT = 1;
constexpr uint32_t TRANSPARENT = 1;
constexpr uint32_t GM_COMPATIBLE = 1;
constexpr double DPI = 96.0;

// One record being built: its words and bytes, its size set when it is done.
class Record {
public:
    explicit Record(uint32_t type)
    {
        u32(type);
        u32(0);
    }
    void u32(uint32_t v)
    {
        for (int k = 0; k < 4; ++k)
            bytes_.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void u16(uint16_t v)
    {
        bytes_.push_back(static_cast<char>(v & 0xFF));
        bytes_.push_back(static_cast<char>(v >> 8));
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u8(uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
    void f32(float v)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        u32(bits);
    }
    void rect(int32_t l, int32_t t, int32_t r, int32_t b)
    {
        i32(l);
        i32(t);
        i32(r);
        i32(b);
    }
    void pad()
    {
        while (bytes_.size() % 4 != 0)
            bytes_.push_back(0);
    }
    std::size_t size() const { return bytes_.size(); }
    // The record with its size filled in.
    const std::string& done()
    {
        pad();
        const auto n = static_cast<uint32_t>(bytes_.size());
        for (int k = 0; k < 4; ++k)
            bytes_[static_cast<std::size_t>(4 + k)] = static_cast<char>((n >> (8 * k)) & 0xFF);
        return bytes_;
    }

private:
    std::string bytes_;
};

uint32_t colour_ref(Color c)
{
    return uint32_t(c.r) | (uint32_t(c.g) << 8) | (uint32_t(c.b) << 16);
}

int16_t short_of(int v)
{
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

// UTF-8 to UTF-16 code units (a byte that does not decode stands for itself).
std::vector<uint16_t> utf16(const std::string& text)
{
    std::vector<uint16_t> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        uint32_t c = b;
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (extra > 0 && i + static_cast<std::size_t>(extra) < text.size()) {
            c = b & (0x3F >> extra);
            for (int k = 1; k <= extra; ++k)
                c = (c << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        } else {
            extra = 0;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<uint16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<uint16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<uint16_t>(c));
        }
    }
    return out;
}

class EmfWriter final : public PlotWriter {
public:
    explicit EmfWriter(PlotSink& sink) : PlotWriter(sink), scheme_(make_color_scheme(true)) {}

    void fit_page() override
    {
        const GraphicsViewState& g = graphics_view();
        width_ = std::max(g.client_width, 1);
        height_ = std::max(g.client_height, 1);
        mapping_ = PixelMapping{g.view_window, view_state().scale, height_};
        font_ = graphics_settings().font;
        if (backend_installed()) {
            screen_ = backend().screen_surface();
            screen_->set_font(font_);
            const TextMetrics m = screen_->text_metrics();
            ascent_ = m.ascent;
            descent_ = m.descent;
            font_height_ = m.height - m.internal_leading;
        }
        if (font_height_ <= 0)
            font_height_ = view_state().font_ascent;
    }

    void write_header() override
    {
        // The header's counts are known at the end: it is written then, in
        // front of the records gathered in `body_`.
        simple(EMR_SETMAPMODE, MM_TEXT);
        simple(EMR_SETBKMODE, TRANSPARENT);
        simple(EMR_SETTEXTALIGN, TA_BASELINE);
        // The font.
        Record f(EMR_EXTCREATEFONTINDIRECTW);
        font_handle_ = ++handles_;
        f.u32(font_handle_);
        f.i32(-font_height_);
        f.i32(0);
        f.i32(font_.escapement);
        f.i32(font_.escapement);
        f.i32(font_.weight);
        f.u8(font_.italic ? 1 : 0);
        f.u8(font_.underline ? 1 : 0);
        f.u8(0);                    // strike-out
        f.u8(1);                    // DEFAULT_CHARSET
        f.u8(0);                    // OUT_DEFAULT_PRECIS
        f.u8(0);                    // CLIP_DEFAULT_PRECIS
        f.u8(0);                    // DEFAULT_QUALITY
        f.u8(0);                    // DEFAULT_PITCH | FF_DONTCARE
        std::vector<uint16_t> face = utf16(font_.face);
        face.resize(32, 0);
        face[31] = 0;
        for (uint16_t c : face)
            f.u16(c);
        add(f);
        simple(EMR_SELECTOBJECT, font_handle_);
    }

    void draw_page() override
    {
        // The white page, the title line at its top as the other plot files
        // have it, then the model and, under the title line, the caption of
        // the results.
        simple(EMR_SELECTOBJECT, NULL_PEN);
        select_brush(scheme_.background);
        Record r(EMR_RECTANGLE);
        r.rect(0, 0, width_ + 1, height_ + 1);
        add(r);
        const int title_base = ascent_ + 2;
        draw_title_line(static_cast<float>(-title_base / mapping_.scale));
        graphics_view().clip_window = graphics_view().view_window;
        gdi_draw_model();
        const std::string caption = graphics_plot_title();
        if (!caption.empty()) {
            float w = 0.0f, h = 0.0f;
            text_extent(caption, w, h);
            select_pen(PEN_TITLE);
            const int left = (width_ - static_cast<int>(std::lround(w * mapping_.scale))) / 2;
            text_at(left, title_base + descent_ + title_base, caption);
        }
    }

    void write_trailer() override
    {
        Record eof(EMR_EOF);
        eof.u32(0);    // palette entries
        eof.u32(16);   // their offset
        eof.u32(20);   // the size of this record, last
        add(eof);
        Record h(EMR_HEADER);
        h.rect(0, 0, width_ - 1, height_ - 1);
        h.rect(0, 0, hundredths_mm(width_) - 1, hundredths_mm(height_) - 1);
        h.u32(EMF_SIGNATURE);
        h.u32(0x00010000);
        const std::size_t header_size = 108;
        h.u32(static_cast<uint32_t>(header_size + body_.size()));
        h.u32(static_cast<uint32_t>(records_ + 1));
        h.u16(static_cast<uint16_t>(handles_ + 1));
        h.u16(0);
        h.u32(0);   // no description
        h.u32(0);
        h.u32(0);   // no palette
        h.i32(width_);
        h.i32(height_);
        h.i32(static_cast<int32_t>(std::lround(width_ * 25.4 / DPI)));
        h.i32(static_cast<int32_t>(std::lround(height_ * 25.4 / DPI)));
        h.u32(0);   // no pixel format
        h.u32(0);
        h.u32(0);   // no OpenGL records
        h.i32(static_cast<int32_t>(std::lround(width_ * 25400.0 / DPI)));
        h.i32(static_cast<int32_t>(std::lround(height_ * 25400.0 / DPI)));
        const std::string& header = h.done();
        put_bytes(header.data(), header.size());
        put_bytes(body_.data(), body_.size());
    }

    void select_pen(ViewPen pen) override
    {
        const PenSlot& slot = scheme_[pen];
        const Pen p = slot.pen;
        uint32_t handle = 0;
        for (const auto& [known, h] : pens_)
            if (known == p)
                handle = h;
        if (handle == 0) {
            handle = ++handles_;
            pens_.push_back({p, handle});
            Record r(EMR_CREATEPEN);
            r.u32(handle);
            r.u32(pen_style(p.style));
            r.i32(std::max(p.width, 0));
            r.i32(0);
            r.u32(colour_ref(p.color));
            add(r);
        }
        if (handle != current_pen_) {
            simple(EMR_SELECTOBJECT, handle);
            current_pen_ = handle;
        }
        fill_ = slot.brush.color;
        if (!(slot.text == text_colour_) || !text_colour_set_) {
            simple(EMR_SETTEXTCOLOR, colour_ref(slot.text));
            text_colour_ = slot.text;
            text_colour_set_ = true;
        }
    }

    void line(Point2 a, Point2 b) override
    {
        const Point p = device(a), q = device(b);
        Record m(EMR_MOVETOEX);
        m.i32(p.x);
        m.i32(p.y);
        add(m);
        Record l(EMR_LINETO);
        l.i32(q.x);
        l.i32(q.y);
        add(l);
    }

    void rect(Point2 lo, Point2 hi) override
    {
        simple(EMR_SELECTOBJECT, NULL_BRUSH);
        brush_ = 0;
        Record r(EMR_RECTANGLE);
        r.rect(mapping_.column(lo.x), mapping_.row(hi.y), mapping_.column(hi.x) + 1, mapping_.row(lo.y));
        add(r);
    }

    void circle(Point2 c, float radius) override
    {
        simple(EMR_SELECTOBJECT, NULL_BRUSH);
        brush_ = 0;
        Record r(EMR_ELLIPSE);
        r.rect(mapping_.column(c.x - radius), mapping_.row(c.y + radius), mapping_.column(c.x + radius),
               mapping_.row(c.y - radius));
        add(r);
    }

    void bezier(const Point2 (&points)[4]) override
    {
        std::vector<Point> p;
        for (const Point2& c : points)
            p.push_back(device(c));
        poly(EMR_POLYBEZIER16, p);
    }

    void text(Point2 at, const std::string& text) override
    {
        const Point p = device(at);
        text_at(p.x, p.y, text);
    }

    void dot(Point2 at) override
    {
        const Point p = device(at);
        const int size = view_state().dot_size;
        const int h = size / 2;
        simple(EMR_SELECTOBJECT, NULL_PEN);
        current_pen_ = 0;
        select_brush(fill_);
        Record r(EMR_RECTANGLE);
        r.rect(p.x - h, p.y - h, p.x - h + size + 1, p.y - h + size + 1);
        add(r);
    }

    void arrow_head(Point2 tip, Point2 d, bool double_head) override
    {
        const ArrowHeadPixels heads = arrow_head_pixels(mapping_, tip, d, double_head);
        select_brush(fill_);
        poly(EMR_POLYGON16, heads.first);
        if (double_head)
            poly(EMR_POLYGON16, heads.second);
    }

    void text_extent(const std::string& text, float& width, float& height) override
    {
        const double scale = drawing_scale();
        int pixels = 0;
        if (screen_)
            pixels = screen_->text_width(text);
        else
            pixels = static_cast<int>(text.size()) * view_state().font_average_width;
        width = static_cast<float>(pixels / scale);
        height = static_cast<float>((ascent_ + descent_) / scale);
    }

private:
    static uint32_t pen_style(PenStyle s)
    {
        switch (s) {
        case PenStyle::Solid: return 0;
        case PenStyle::Dash: return 1;
        case PenStyle::Dot: return 2;
        case PenStyle::DashDot: return 3;
        case PenStyle::None: return 5;
        }
        return 0;
    }

    static int32_t hundredths_mm(int pixels) { return static_cast<int32_t>(std::lround(pixels * 2540.0 / DPI)); }

    Point device(Point2 p) const { return {mapping_.column(p.x), mapping_.row(p.y)}; }

    void add(Record& r)
    {
        body_ += r.done();
        ++records_;
    }

    void simple(uint32_t type, uint32_t value)
    {
        Record r(type);
        r.u32(value);
        add(r);
    }

    void select_brush(Color c)
    {
        uint32_t handle = 0;
        for (const auto& [known, h] : brushes_)
            if (known == c)
                handle = h;
        if (handle == 0) {
            handle = ++handles_;
            brushes_.push_back({c, handle});
            Record r(EMR_CREATEBRUSHINDIRECT);
            r.u32(handle);
            r.u32(0);   // BS_SOLID
            r.u32(colour_ref(c));
            r.u32(0);
            add(r);
        }
        if (handle != brush_) {
            simple(EMR_SELECTOBJECT, handle);
            brush_ = handle;
        }
    }

    void poly(uint32_t type, const std::vector<Point>& points)
    {
        Record r(type);
        int l = points[0].x, t = points[0].y, rr = l, b = t;
        for (const Point& p : points) {
            l = std::min(l, p.x);
            rr = std::max(rr, p.x);
            t = std::min(t, p.y);
            b = std::max(b, p.y);
        }
        r.rect(l, t, rr, b);
        r.u32(static_cast<uint32_t>(points.size()));
        for (const Point& p : points) {
            r.i16(short_of(p.x));
            r.i16(short_of(p.y));
        }
        add(r);
    }

    void text_at(int x, int y, const std::string& text)
    {
        const std::vector<uint16_t> chars = utf16(text);
        if (chars.empty())
            return;
        // The advance of each character: the width of the text up to it.
        std::vector<uint32_t> advances;
        int before = 0;
        std::string prefix;
        for (std::size_t i = 0; i < text.size();) {
            std::size_t n = 1;
            while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
                ++n;
            prefix.append(text, i, n);
            const int now = screen_ ? screen_->text_width(prefix)
                                    : static_cast<int>(prefix.size()) * view_state().font_average_width;
            const int advance = std::max(now - before, 0);
            advances.push_back(static_cast<uint32_t>(advance));
            // A character outside the basic plane takes two code units.
            if (n == 4)
                advances.push_back(0);
            before = now;
            i += n;
        }
        advances.resize(chars.size(), 0);
        const uint32_t fixed = 76;
        const auto string_bytes = static_cast<uint32_t>((chars.size() * 2 + 3) / 4 * 4);
        Record r(EMR_EXTTEXTOUTW);
        r.rect(x, y - ascent_, x + before, y + descent_);
        r.u32(GM_COMPATIBLE);
        r.f32(0.0f);
        r.f32(0.0f);
        r.i32(x);
        r.i32(y);
        r.u32(static_cast<uint32_t>(chars.size()));
        r.u32(fixed);
        r.u32(0);   // options
        r.rect(0, 0, -1, -1);
        r.u32(fixed + string_bytes);
        for (uint16_t c : chars)
            r.u16(c);
        r.pad();
        for (uint32_t a : advances)
            r.u32(a);
        add(r);
    }

    ColorScheme scheme_;
    PixelMapping mapping_;
    int width_ = 1, height_ = 1;
    FontSpec font_;
    std::unique_ptr<Surface> screen_;
    int ascent_ = 12, descent_ = 3, font_height_ = 0;
    std::string body_;
    uint32_t records_ = 0;
    uint32_t handles_ = 0;
    uint32_t font_handle_ = 0;
    std::vector<std::pair<Pen, uint32_t>> pens_;
    std::vector<std::pair<Color, uint32_t>> brushes_;
    uint32_t current_pen_ = 0;
    uint32_t brush_ = 0;
    Color fill_{};
    Color text_colour_{};
    bool text_colour_set_ = false;
};

}  // namespace

std::unique_ptr<PlotWriter> make_emf_writer(PlotSink& sink)
{
    return std::make_unique<EmfWriter>(sink);
}
