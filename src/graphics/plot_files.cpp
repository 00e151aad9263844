// The common frame of the plot writers, the paper table and the file sink.
#include "graphics/plot_files.h"

#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/plot_device.h"
#include "graphics/view_settings.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/file_replace.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace {

constexpr std::array<PaperSize, PAPER_SIZE_COUNT> PAPERS = {{
    {"A Size (8.5 in x 11 in)", 9.8f, 6.9f, 10.0f, 7.3f},
    {"B Size (11 in x 17 in)", 15.8f, 9.4f, 16.0f, 9.8f},
    {"C Size (17 in x 22 in)", 20.8f, 15.4f, 21.0f, 15.8f},
    {"D Size (22 in x 34 in)", 32.8f, 20.4f, 33.0f, 20.8f},
    {"E Size (34 in x 44 in)", 42.8f, 32.4f, 43.0f, 32.8f},
    {"A4 Size (210 mm x 297 mm)", 10.5f, 6.6f, 10.7f, 7.05f},
    {"A3 Size (297 mm x 420 mm)", 15.3f, 10.0f, 15.5f, 10.4f},
    {"A2 Size (420 mm x 594 mm)", 22.1f, 14.9f, 22.3f, 15.3f},
    {"A1 Size (594 mm x 841 mm)", 31.8f, 21.6f, 32.0f, 22.0f},
    {"A0 Size (841 mm x 1189 mm)", 45.6f, 31.5f, 45.8f, 31.9f},
}};

// The EPS page, whatever the drawing size.
constexpr float EPS_PAGE_WIDTH = 6.5f;
constexpr float EPS_PAGE_HEIGHT = 9.0f;

// Bytes are handed to the sink in pieces of this size.
constexpr std::size_t FLUSH_SIZE = 1 << 16;

struct DrawingSizePart {
    DrawingSize value;
};

// What a plot changes besides the drawing state of GraphicsViewBackup, put
// back on every way out.
class PlotViewScope {
public:
    PlotViewScope()
        : backup_(graphics_view_save()), window_(graphics_view().view_window),
          clip_(graphics_view().clip_window), render_mode_(graphics_settings().render_mode),
          render_view_(view_state().render_view)
    {
        // The plot is the line view, whatever the window shows.
        graphics_settings().render_mode = false;
        view_state().render_view = false;
        paint_abort() = false;
    }
    ~PlotViewScope()
    {
        GraphicsViewState& g = graphics_view();
        g.plt_output = g.dxf_output = g.eps_output = false;
        graphics_settings().render_mode = render_mode_;
        view_state().render_view = render_view_;
        graphics_view_restore(backup_);
        g.view_window = window_;
        g.clip_window = clip_;
    }
    PlotViewScope(const PlotViewScope&) = delete;
    PlotViewScope& operator=(const PlotViewScope&) = delete;

private:
    GraphicsViewBackup backup_;
    ViewWindow window_;
    ViewWindow clip_;
    bool render_mode_;
    bool render_view_;
};

std::unique_ptr<PlotWriter> make_writer(PlotFormat format, PlotSink& sink)
{
    switch (format) {
    case PlotFormat::Hpgl: return make_hpgl_writer(sink);
    case PlotFormat::Dxf: return make_dxf_writer(sink);
    case PlotFormat::Eps: return make_eps_writer(sink);
    case PlotFormat::Emf: return make_emf_writer(sink);
    }
    return make_hpgl_writer(sink);
}

std::string write_failure(PlotFormat format)
{
    return c_format("Unable to write %s file", plot_format_name(format));
}

// The sink over a file written to a temporary file and renamed into place.
class FilePlotSink final : public PlotSink {
public:
    explicit FilePlotSink(BinFile& file) : file_(file) {}
    bool write(const char* data, std::size_t size) override
    {
        file_.write(data, size);
        return !file_.error();
    }

private:
    BinFile& file_;
};

}  // namespace

const char* plot_format_name(PlotFormat format)
{
    switch (format) {
    case PlotFormat::Hpgl: return "PLT";
    case PlotFormat::Dxf: return "DXF";
    case PlotFormat::Eps: return "EPS";
    case PlotFormat::Emf: return "EMF";
    }
    return "PLT";
}

bool plot_format_of_path(const std::string& path, PlotFormat& format)
{
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "plt")
        format = PlotFormat::Hpgl;
    else if (ext == "dxf")
        format = PlotFormat::Dxf;
    else if (ext == "eps")
        format = PlotFormat::Eps;
    else if (ext == "emf")
        format = PlotFormat::Emf;
    else
        return false;
    return true;
}

const PaperSize& paper_size(int index)
{
    if (index < 0 || index >= PAPER_SIZE_COUNT)
        index = 0;
    return PAPERS[static_cast<std::size_t>(index)];
}

DrawingSize& drawing_size()
{
    return session_part<DrawingSizePart>().value;
}

void plot_page_size(PlotFormat format, const DrawingSize& size, float& width, float& height)
{
    const PaperSize& p = paper_size(size.paper);
    switch (format) {
    case PlotFormat::Hpgl:
        width = p.hpgl_width;
        height = p.hpgl_height;
        break;
    case PlotFormat::Dxf:
        width = p.dxf_width;
        height = p.dxf_height;
        break;
    case PlotFormat::Eps:
    case PlotFormat::Emf:
        width = EPS_PAGE_WIDTH;
        height = EPS_PAGE_HEIGHT;
        return;
    }
    if (size.portrait)
        std::swap(width, height);
}

// ---- The writer's frame ---------------------------------------------------------------------

void PlotWriter::put(std::string_view text)
{
    buffer_.append(text);
    if (buffer_.size() >= FLUSH_SIZE)
        flush();
}

void PlotWriter::put_line(std::string_view text)
{
    buffer_.append(text);
    buffer_.append("\r\n");
    if (buffer_.size() >= FLUSH_SIZE)
        flush();
}

void PlotWriter::put_bytes(const void* data, std::size_t size)
{
    buffer_.append(static_cast<const char*>(data), size);
    if (buffer_.size() >= FLUSH_SIZE)
        flush();
}

void PlotWriter::rect_as_lines(Point2 lo, Point2 hi)
{
    line(lo, {hi.x, lo.y});
    line({hi.x, lo.y}, hi);
    line(hi, {lo.x, hi.y});
    line({lo.x, hi.y}, lo);
}

void PlotWriter::bezier_as_lines(const Point2 (&points)[4])
{
    Point2 on[9];
    bezier_points(points, on);
    for (int k = 0; k < 8; ++k)
        line(on[k], on[k + 1]);
}

void PlotWriter::arrow_triangle(Point2 tip, Point2 d, int head, double scale, Point2 (&corners)[3])
{
    const ViewState& v = view_state();
    const double length = v.arrow_head_length / scale;
    const double half = v.arrow_head_width * 0.5 / scale;
    const double tx = tip.x - head * length * d.x, ty = tip.y - head * length * d.y;
    corners[0] = {static_cast<float>(tx), static_cast<float>(ty)};
    corners[1] = {static_cast<float>(tx - length * d.x - half * d.y), static_cast<float>(ty - length * d.y + half * d.x)};
    corners[2] = {static_cast<float>(tx - length * d.x + half * d.y), static_cast<float>(ty - length * d.y - half * d.x)};
}

int PlotWriter::character_count(const std::string& text)
{
    int n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

bool PlotWriter::is_dashed(ViewPen pen)
{
    static const ColorScheme paper = make_color_scheme(true);
    return pen >= 0 && pen < VIEW_PEN_COUNT && paper[pen].pen.style != PenStyle::Solid;
}

bool PlotWriter::flush()
{
    if (!failed_ && !buffer_.empty() && !sink_.write(buffer_.data(), buffer_.size()))
        failed_ = true;
    buffer_.clear();
    return !failed_;
}

void PlotWriter::draw_frame(float inset)
{
    const ViewWindow& w = graphics_view().view_window;
    draw_select_pen(PEN_TITLE);
    draw_rect(w.xmin + inset, w.ymin + inset, w.xmax - inset, w.ymax - inset);
}

void PlotWriter::draw_title_line(float above)
{
    const ViewWindow& w = graphics_view().view_window;
    const float y = w.ymax + above;
    draw_select_pen(PEN_TITLE);
    const std::string name = model_base_name(model_file_path());
    float name_width = 0.0f, height = 0.0f;
    draw_text_extent(name, name_width, height);
    // A title too long for the room left of the file name is cut, so that
    // it stays on the page.
    std::string title = model_title();
    const float room = w.width() - name_width - 2.0f * static_cast<float>(view_state().text_margin_x);
    float title_width = 0.0f;
    draw_text_extent(title, title_width, height);
    while (!title.empty() && title_width > room) {
        // Drop one character (a whole UTF-8 sequence).
        std::size_t end = title.size() - 1;
        while (end > 0 && (static_cast<unsigned char>(title[end]) & 0xC0) == 0x80)
            --end;
        title.erase(end);
        draw_text_extent(title, title_width, height);
    }
    if (!title.empty())
        draw_text(w.xmin, y, title);
    draw_text(w.xmax - name_width, y, name);
}

void PlotWriter::draw_page()
{
    draw_frame(0.0f);
    draw_title_line(0.0f);
    after_title();
    graphics_view().clip_window = graphics_view().view_window;
    gdi_draw_model();
}

double fit_inch_page(float page_width, float page_height)
{
    ViewWindow& w = graphics_view().view_window;
    const double vw = std::max(double(w.width()), 1e-6), vh = std::max(double(w.height()), 1e-6);
    double scale = page_width / vw;
    if (page_height / vh < scale)
        scale = page_height / vh;
    const double slack_x = page_width / scale - vw;
    const double slack_y = page_height / scale - vh;
    if (std::fabs(slack_x) >= std::fabs(slack_y)) {
        w.xmin = static_cast<float>(w.xmin - slack_x / 2.0);
        w.xmax = static_cast<float>(w.xmax + slack_x / 2.0);
    } else {
        w.ymin = static_cast<float>(w.ymin - slack_y / 2.0);
        w.ymax = static_cast<float>(w.ymax + slack_y / 2.0);
    }
    scale = page_width / std::max(double(w.width()), 1e-6);
    set_drawing_scale(scale);
    ViewState& v = view_state();
    v.scale_90dpi = scale * 90.0;
    const double pixels[4] = {6.0, 8.0, 10.0, 12.0};
    for (int i = 0; i < 4; ++i)
        v.symbol_sizes[i] = pixels[i] / v.scale_90dpi;
    v.element_half_width = 0.0;
    v.support_symbol_size = 12.0 / v.scale_90dpi;
    v.symbol_margin = 0.02 / scale;
    v.text_margin_x = v.text_margin_y = 0.05 / scale;
    v.arrow_head_length = 0.105;
    v.arrow_head_width = 0.063;
    v.triad_arrow_length = 0.35;
    float nw = 0.0f, nh = 0.0f;
    draw_text_extent("1234", nw, nh);
    v.number_width = nw;
    v.number_height = nh;
    compute_model_extent();
    return scale;
}

// ---- Writing --------------------------------------------------------------------------------

void write_plot(PlotFormat format, PlotSink& sink)
{
    const PlotViewScope restore;
    GraphicsViewState& g = graphics_view();
    g.plt_output = format == PlotFormat::Hpgl;
    g.dxf_output = format == PlotFormat::Dxf;
    g.eps_output = format == PlotFormat::Eps;
    std::unique_ptr<PlotWriter> writer = make_writer(format, sink);
    {
        // Texts are measured on the page's device while it is fitted.
        Draw2D measuring(*writer, g.view_window);
        const ViewPainterScope scope(measuring);
        writer->fit_page();
    }
    writer->write_header();
    {
        Draw2D painter(*writer, g.view_window);
        const ViewPainterScope scope(painter);
        g.clip_window = g.view_window;
        writer->draw_page();
    }
    writer->write_trailer();
    if (!writer->flush())
        throw MessageText(write_failure(format));
}

void write_plot_file(PlotFormat format, const std::string& path, const PlotSinkFilter& through)
{
    BinFile file;
    if (!file.open_write(path))
        throw MessageText(
            with_reason(c_format("Unable to open %s file for output", plot_format_name(format)), file.failure()));
    FilePlotSink sink(file);
    std::unique_ptr<PlotSink> filter = through ? through(sink) : nullptr;
    try {
        write_plot(format, filter ? *filter : sink);
    } catch (const MessageText& m) {
        // A write that failed says why.
        const std::string reason = file.failure();
        file.abandon();
        throw MessageText(with_reason(m.text, reason));
    } catch (...) {
        file.abandon();
        throw;
    }
    if (!file.close())
        throw MessageText(with_reason(write_failure(format), file.failure()));
}
