// The R12 DXF drawing (".dxf"): a header with the sheet's limits, the line
// types and the 23 layers, and the entities in inches on the sheet with a
// half-inch margin, each group on its layer. Every group code and value is a
// line of its own; the group codes keep their leading blanks.
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/plot_device.h"
#include "graphics/plot_text.h"
#include "graphics/triads.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/view_drawing.h"

#include <array>
#include <initializer_list>
#include <string>

namespace {

// The layers in the order of the layer table, and whether each starts off.
struct Layer {
    const char* name;
    bool off;
};
constexpr std::array<Layer, 23> LAYERS = {{
    {"0", false},          {"BORDER", false},      {"TITLE", false},       {"AXES", false},
    {"ELEMENTS", false},   {"ANCHORS", false},     {"RESTRAINTS", false},  {"SKEWED_RESTRAINTS", false},
    {"HANGERS", false},    {"GUIDES", false},      {"LIMIT_STOPS", false}, {"NOZZLES", false},
    {"SNUBBERS", false},   {"SPIDERS", false},     {"END_CAPS", false},    {"FLANGES", false},
    {"FORCES", true},      {"CMASSES", false},     {"OTHER", true},        {"NODES", false},
    {"NODE-DOTS", false},  {"LENGTHS", true},      {"ROW_NUMBERS", true},
}};

// The layer of a row's data item by its data type.
const char* data_layer(int dtype)
{
    switch (dtype) {
    case DT_ANCHOR: return "ANCHORS";
    case DT_RESTRAINT: return "RESTRAINTS";
    case DT_SKEWED_RESTRAINT: return "SKEWED_RESTRAINTS";
    case DT_HANGER: return "HANGERS";
    case DT_GUIDE: return "GUIDES";
    case DT_LIMIT_STOP: return "LIMIT_STOPS";
    case DT_NOZZLE: return "NOZZLES";
    case DT_SNUBBER: return "SNUBBERS";
    case DT_SPIDER: return "SPIDERS";
    case DT_JACKET_END_CAP: return "END_CAPS";
    case DT_FLANGE: return "FLANGES";
    case DT_FORCE: return "FORCES";
    case DT_CONC_MASS: return "CMASSES";
    default: return "OTHER";
    }
}

constexpr double TEXT_HEIGHT = 0.09;

class DxfWriter final : public PlotWriter {
public:
    using PlotWriter::PlotWriter;

    void fit_page() override
    {
        plot_page_size(PlotFormat::Dxf, drawing_size(), width_, height_);
        scale_ = fit_inch_page(width_, height_);
        origin_ = graphics_view().view_window;
    }

    void write_header() override
    {
        lines({"  0", "SECTION", "  2", "HEADER"});
        lines({"  9", "$LIMMIN", " 10", "0.4", " 20", "0.4"});
        put_line("  9");
        put_line("$LIMMAX");
        put_line(" 10");
        put_line(plot_number(double(width_) + 0.6, 4));
        put_line(" 20");
        put_line(plot_number(double(height_) + 0.8, 4));
        lines({"  9", "$TEXTSIZE", " 40"});
        put_line(plot_number(TEXT_HEIGHT, 4));
        lines({"  0", "ENDSEC"});
        lines({"  0", "SECTION", "  2", "TABLES"});
        lines({"  0", "TABLE", "  2", "LTYPE", " 70", "2"});
        lines({"  0", "LTYPE", "  2", "CONTINUOUS", " 70", "  0", "  3", "CONTINUOUS", " 72", "65", "  73", "0",
               "  40", "0.0"});
        lines({"  0", "LTYPE", "  2", "DASHED", "  70", "0", "  3", "DASHED", "  72", "65", "  73", "2", "  40",
               "0.06", "  49", "0.03", "49", "-0.03"});
        lines({"  0", "ENDTAB"});
        lines({"  0", "TABLE", "  2", "LAYER", " 70", "25"});
        for (const Layer& l : LAYERS)
            lines({"  0", "LAYER", "  2", l.name, " 70", "0", " 62", l.off ? "-7" : "7", "  6", "CONTINUOUS"});
        lines({"  0", "ENDTAB", "  0", "ENDSEC"});
        lines({"  0", "SECTION", "  2", "ENTITIES"});
    }

    void draw_page() override
    {
        Model& m = model();
        GraphicsViewState& g = graphics_view();
        const ViewWindow& w = g.view_window;
        g.clip_window = w;
        dashed_ = false;
        layer_ = "BORDER";
        rect({w.xmin, w.ymin}, {w.xmax, w.ymax});
        layer_ = "TITLE";
        draw_title_line(static_cast<float>(0.07 / scale_));
        layer_ = "AXES";
        draw_axes_triad();
        layer_ = "ELEMENTS";
        for (int row = 1; row <= m.numrows(); ++row) {
            LayoutRow& r = m.rows[row];
            if (r.shown && element_in_view(row)) {
                draw_select_pen(PEN_ELEMENT);
                r.element->draw_2d(r);
            }
        }
        for (int row = 1; row <= m.numrows(); ++row) {
            LayoutRow& r = m.rows[row];
            if (!data_item_in_view(row))
                continue;
            layer_ = data_layer(r.dtype);
            draw_select_pen(PEN_SUPPORT);
            r.data->draw_2d(row);
        }
        auto row_in_view = [](int row) { return element_in_view(row) || data_item_in_view(row); };
        layer_ = "LENGTHS";
        draw_select_pen(PEN_LENGTH);
        for (int row = 1; row <= m.numrows(); ++row)
            if (m.rows[row].shown && row_in_view(row))
                draw_length_label(row);
        layer_ = "NODE-DOTS";
        draw_select_pen(PEN_NODE_DOT);
        for (int node = 1; node <= m.numnodes(); ++node)
            draw_node_dot(node);
        layer_ = "NODES";
        draw_select_pen(PEN_NODE_LABEL);
        for (int node = 1; node <= m.numnodes(); ++node)
            draw_node_label(node);
        layer_ = "ROW_NUMBERS";
        draw_select_pen(PEN_ROW_NUMBER);
        for (int row = 1; row <= m.numrows(); ++row)
            if (m.rows[row].shown && row_in_view(row))
                draw_row_label(row);
        draw_select_pen(PEN_ELEMENT);
    }

    void write_trailer() override { lines({"  0", "ENDSEC", "  0", "EOF"}); }

    void select_pen(ViewPen pen) override { dashed_ = is_dashed(pen); }

    void line(Point2 a, Point2 b) override
    {
        lines({"  0", "LINE", "  8"});
        put_line(layer_);
        if (dashed_)
            lines({"  6", "DASHED"});
        value(" 10", x(a.x), 6);
        value(" 20", y(a.y), 6);
        value(" 11", x(b.x), 6);
        value(" 21", y(b.y), 6);
    }

    void rect(Point2 lo, Point2 hi) override { rect_as_lines(lo, hi); }

    void bezier(const Point2 (&points)[4]) override { bezier_as_lines(points); }

    void text(Point2 at, const std::string& text) override
    {
        lines({"  0", "TEXT", "  8"});
        put_line(layer_);
        value(" 10", x(at.x), 6);
        value(" 20", y(at.y), 6);
        value(" 40", TEXT_HEIGHT, 6);
        put_line("  1");
        // The text is written with escapes where a reader would take it for
        // its own codes, so that the drawing shows it as the other formats do.
        put_line(dxf_text_value(text));
    }

    void dot(Point2 at) override
    {
        const auto h = static_cast<float>(0.3 * view_state().arrow_head_width / scale_);
        solid({at.x - h, at.y - h}, {at.x + h, at.y - h}, {at.x - h, at.y + h}, {at.x + h, at.y + h});
    }

    void arrow_head(Point2 tip, Point2 d, bool double_head) override
    {
        for (int head = 0; head < (double_head ? 2 : 1); ++head) {
            Point2 c[3];
            arrow_triangle(tip, d, head, scale_, c);
            solid(c[0], c[1], c[2], c[2]);
        }
    }

    void text_extent(const std::string& text, float& width, float& height) override
    {
        const double scale = drawing_scale();
        width = static_cast<float>(character_count(text) * 0.07 / scale);
        height = static_cast<float>(TEXT_HEIGHT / scale);
    }

private:
    void lines(std::initializer_list<const char*> items)
    {
        for (const char* item : items)
            put_line(item);
    }
    void value(const char* code, double v, int decimals)
    {
        put_line(code);
        put_line(plot_number(v, decimals));
    }
    void solid(Point2 a, Point2 b, Point2 c, Point2 d)
    {
        lines({"  0", "SOLID", "  8"});
        put_line(layer_);
        const Point2 corners[4] = {a, b, c, d};
        static const char* const codes[4][2] = {{" 10", " 20"}, {" 11", " 21"}, {" 12", " 22"}, {" 13", " 23"}};
        for (int k = 0; k < 4; ++k) {
            value(codes[k][0], x(corners[k].x), 3);
            value(codes[k][1], y(corners[k].y), 3);
        }
    }
    double x(float v) const { return (double(v) - origin_.xmin) * scale_ + 0.5; }
    double y(float v) const { return (double(v) - origin_.ymin) * scale_ + 0.5; }

    float width_ = 0.0f, height_ = 0.0f;
    double scale_ = 1.0;
    ViewWindow origin_;
    std::string layer_ = "0";
    bool dashed_ = false;
};

}  // namespace

std::unique_ptr<PlotWriter> make_dxf_writer(PlotSink& sink)
{
    return std::make_unique<DxfWriter>(sink);
}
