// The Encapsulated PostScript page (".eps"), 6.5 by 9.0 in, in points from
// the page's one-inch margin, set in 9 point Helvetica. Texts are measured
// with the Helvetica widths (plot_text.h), never with a screen font, so the
// page is the same on every machine and the screen's own text sizes are left
// alone.
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/plot_device.h"
#include "graphics/plot_text.h"
#include "model/view_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// The measuring font of the page: Helvetica at 90 units to the em, one
// tenth of which is the 9 point font of the page.
constexpr int FONT_EM = 90;
constexpr double FONT_TO_POINTS = 0.1;

int font_units(int thousandths)
{
    return static_cast<int>(std::lround(thousandths * FONT_EM / 1000.0));
}

class EpsWriter final : public PlotWriter {
public:
    using PlotWriter::PlotWriter;

    void fit_page() override
    {
        float page_width = 0.0f, page_height = 0.0f;
        plot_page_size(PlotFormat::Eps, drawing_size(), page_width, page_height);
        const ViewWindow& w = graphics_view().view_window;
        const double vw = std::max(double(w.width()), 1e-6), vh = std::max(double(w.height()), 1e-6);
        scale_ = std::min(72.0 * page_width / vw, 72.0 * page_height / vh);
        set_drawing_scale(scale_);
        ViewState& v = view_state();
        v.scale_90dpi = scale_ * 1.5;
        v.dot_size = 3;
        const double pixels[4] = {6.0, 8.0, 10.0, 12.0};
        for (int i = 0; i < 4; ++i)
            v.symbol_sizes[i] = pixels[i] / v.scale_90dpi;
        v.support_symbol_size = 12.0 / v.scale_90dpi;
        v.symbol_margin = 4.0 / v.scale_90dpi;
        set_arrow_sizes(80);
        const int average = font_units(helvetica_average_width());
        const int ascent = font_units(HELVETICA_ASCENT);
        descent_ = font_units(HELVETICA_DESCENT);
        const int internal_leading = ascent + descent_ - FONT_EM;
        v.text_margin_x = std::max(average / 2 + 1, 6) * FONT_TO_POINTS / scale_;
        v.text_margin_y = (ascent - internal_leading) * 0.05 / scale_;
        float nw = 0.0f, nh = 0.0f;
        draw_text_extent("1234", nw, nh);
        v.number_width = nw;
        v.number_height = nh;
        compute_model_extent();
        origin_ = w;
    }

    void write_header() override
    {
        const ViewWindow& w = origin_;
        const int right = static_cast<int>(std::trunc(double(w.width()) * scale_ + 0.5)) + 74;
        const int top = static_cast<int>(std::trunc(double(w.height()) * scale_ + 0.5)) + 90;
        put_line("%!PS-Adobe-3.0 EPSF-3.0");
        put_line("%%Creator:Korvane");
        put_line("%%DocumentProcessColors: Black");
        put_line("%%DocumentFonts: Helvetica");
        put_line("%%BoundingBox:70 70 " + std::to_string(right) + " " + std::to_string(top));
        put_line("%%EndComments");
        put_line("/Helvetica findfont");
        put_line("9 scalefont");
        put_line("setfont");
        put_line("0.65 setlinewidth");
        put_line("0 setgray");
    }

    void draw_page() override
    {
        draw_frame(0.0f);
        draw_title_line(static_cast<float>(2.0 * descent_ * FONT_TO_POINTS / scale_));
        // The model is clipped to the frame; a new path follows the clip,
        // so that the first fill does not fill the clip rectangle too.
        const ViewWindow& w = origin_;
        const std::string right = plot_number(72.0 + double(w.width()) * scale_, 2);
        const std::string top = plot_number(72.0 + double(w.height()) * scale_, 2);
        put_line("newpath");
        put_line("72 72 moveto");
        put_line(right + " 72 lineto");
        put_line(right + " " + top + " lineto");
        put_line("72 " + top + " lineto");
        put_line("closepath");
        put_line("clip");
        put_line("newpath");
        graphics_view().clip_window = graphics_view().view_window;
        gdi_draw_model();
    }

    void write_trailer() override { put_line("%%EOF"); }

    void select_pen(ViewPen pen) override { put_line(is_dashed(pen) ? "[2 ]0 setdash" : "[]0 setdash"); }

    void line(Point2 a, Point2 b) override
    {
        put_line(point(a) + " moveto");
        put_line(point(b) + " lineto");
        put_line("stroke");
    }

    void rect(Point2 lo, Point2 hi) override { rect_as_lines(lo, hi); }

    void bezier(const Point2 (&points)[4]) override
    {
        put_line(point(points[0]) + " moveto");
        put_line(point(points[1]) + " " + point(points[2]) + " " + point(points[3]) + " curveto stroke");
    }

    void text(Point2 at, const std::string& text) override
    {
        put_line(point(at) + " moveto");
        put_line("(" + postscript_string_text(text) + ") show");
    }

    void dot(Point2 at) override
    {
        const auto h = static_cast<float>(0.25 * view_state().arrow_head_width / scale_);
        put_line(point({at.x - h, at.y - h}) + " moveto");
        put_line(point({at.x + h, at.y - h}) + " lineto");
        put_line(point({at.x + h, at.y + h}) + " lineto");
        put_line(point({at.x - h, at.y + h}) + " lineto");
        put_line(point({at.x - h, at.y - h}) + " lineto");
        put_line("fill");
    }

    void arrow_head(Point2 tip, Point2 d, bool double_head) override
    {
        for (int head = 0; head < (double_head ? 2 : 1); ++head) {
            Point2 c[3];
            arrow_triangle(tip, d, head, scale_, c);
            put_line(point(c[0]) + " moveto");
            put_line(point(c[1]) + " lineto");
            put_line(point(c[2]) + " lineto");
            put_line(point(c[0]) + " lineto");
            put_line("fill");
        }
    }

    void text_extent(const std::string& text, float& width, float& height) override
    {
        const double scale = drawing_scale();
        width = static_cast<float>(helvetica_width(text) * FONT_EM / 1000.0 * FONT_TO_POINTS / scale);
        const int cell = font_units(HELVETICA_ASCENT) + font_units(HELVETICA_DESCENT);
        height = static_cast<float>(cell * FONT_TO_POINTS / scale);
    }

    bool clips_lines() const override { return false; }

private:
    std::string point(Point2 p) const
    {
        return plot_number(72.0 + (double(p.x) - origin_.xmin) * scale_, 2) + " " +
               plot_number(72.0 + (double(p.y) - origin_.ymin) * scale_, 2);
    }

    double scale_ = 1.0;
    int descent_ = 0;
    ViewWindow origin_;
};

}  // namespace

std::unique_ptr<PlotWriter> make_eps_writer(PlotSink& sink)
{
    return std::make_unique<EpsWriter>(sink);
}
