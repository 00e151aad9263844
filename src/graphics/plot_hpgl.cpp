// The HP-GL/2 plot in a PCL job (".plt"). Coordinates are thousandths of an
// inch from the lower left corner of the view window ("%.2f").
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/plot_device.h"
#include "graphics/plot_text.h"
#include "model/view_drawing.h"

#include <cmath>
#include <string>

namespace {

constexpr char ESC = 27;

// The number of characters of a UTF-8 text.
class HpglWriter final : public PlotWriter {
public:
    using PlotWriter::PlotWriter;

    void fit_page() override
    {
        float w = 0.0f, h = 0.0f;
        plot_page_size(PlotFormat::Hpgl, drawing_size(), w, h);
        portrait_ = drawing_size().portrait;
        scale_ = fit_inch_page(w, h);
        origin_ = graphics_view().view_window;
    }

    void write_header() override
    {
        put(std::string{ESC, 'E', ESC} + "&l1O" + std::string{ESC});
        put_line("%0B");
        put_line("IN;IP500,500,1500,1500;");
        put_line("SC0,1000,0,1000;SI0.16,0.25;");
        if (portrait_)
            put_line("RO90;");
    }

    void draw_page() override
    {
        draw_frame(static_cast<float>(0.01 / scale_));
        draw_title_line(static_cast<float>(0.07 / scale_));
        const ViewWindow& w = graphics_view().view_window;
        // Truncated, after the float's last digits are taken off (6.9 in gives 6890).
        const int width = static_cast<int>(std::trunc(double(w.width()) * scale_ * 1000.0 - 10.0 + 1e-3));
        const int height = static_cast<int>(std::trunc(double(w.height()) * scale_ * 1000.0 - 10.0 + 1e-3));
        put_line("IW10,10," + std::to_string(width) + "," + std::to_string(height) + ";");
        graphics_view().clip_window = w;
        gdi_draw_model();
    }

    void write_trailer() override
    {
        put_line("SP;PG;IN;");
        put(std::string{'\f', ESC, 'E'});
    }

    void select_pen(ViewPen pen) override
    {
        // LT without a pattern is solid.
        put_line(is_dashed(pen) ? "LT2,1,1;" : "LT;");
    }

    void line(Point2 a, Point2 b) override
    {
        put_line("SP1;PU" + x(a.x) + "," + y(a.y) + ";PD" + x(b.x) + "," + y(b.y) + "PU;");
    }

    void rect(Point2 lo, Point2 hi) override { rect_as_lines(lo, hi); }

    void bezier(const Point2 (&points)[4]) override { bezier_as_lines(points); }

    void text(Point2 at, const std::string& text) override
    {
        put_line("SP1;PU" + x(at.x) + "," + y(at.y) + ";LB" + hpgl_label_text(text) + "\x03");
    }

    void dot(Point2 at) override
    {
        const auto h = static_cast<float>(0.3 * view_state().arrow_head_width / scale_);
        rect_as_lines({at.x - h, at.y - h}, {at.x + h, at.y + h});
    }

    void arrow_head(Point2 tip, Point2 d, bool double_head) override
    {
        for (int head = 0; head < (double_head ? 2 : 1); ++head) {
            Point2 c[3];
            arrow_triangle(tip, d, head, scale_, c);
            line(c[0], c[1]);
            line(c[1], c[2]);
            line(c[2], c[0]);
        }
    }

    void text_extent(const std::string& text, float& width, float& height) override
    {
        // Measured at the scale being fitted too.
        const double scale = drawing_scale();
        width = static_cast<float>(character_count(text) * 0.09 / scale);
        height = static_cast<float>(0.1 / scale);
    }

private:
    std::string x(float v) const { return plot_number((double(v) - origin_.xmin) * scale_ * 1000.0, 2); }
    std::string y(float v) const { return plot_number((double(v) - origin_.ymin) * scale_ * 1000.0, 2); }

    double scale_ = 1.0;
    bool portrait_ = false;
    ViewWindow origin_;
};

}  // namespace

std::unique_ptr<PlotWriter> make_hpgl_writer(PlotSink& sink)
{
    return std::make_unique<HpglWriter>(sink);
}
