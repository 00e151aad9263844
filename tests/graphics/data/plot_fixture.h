// The plot files' tests: the model with every support kind of the results
// tests (real supports and elements), seen from (1, 1, 1) in a client of
// 800 by 600 pixels, with a title that PostScript must escape. The files are
// written into memory, or into the test's scratch folder.
#pragma once

#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/plot_files.h"
#include "graphics/shapes.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "results/data/results_fixture.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class PlotTest : public results_test::ResultsTest {
protected:
    void SetUp() override
    {
        ResultsTest::SetUp();
        install_view_drawing_hooks();
        set_client_size(800, 600);
        graphics_view_reset();
        paint_abort() = false;
        drawing_size() = DrawingSize{};
    }

    // The model, its title, and the view of all of it from (1, 1, 1).
    void plotted_model()
    {
        every_support_model();
        model_title() = "Line (A) \\ B";
        view_model();
    }
    static void view_model()
    {
        make_model();
        set_viewpoint(1.0, 1.0, 1.0);
        update_screen_positions();
        zoom_all();
    }

    // A deflected shape over the model, drawn with the shape's pen (dotted on
    // white, dashed on paper): each node moved along Y by 0.002 of its X and
    // turned about Z by 0.002, magnified 20 times.
    static void displaced_shape()
    {
        ResultsState& r = results();
        r.displacements = OneBased<std::array<float, 6>>(model().numnodes());
        for (int n = 1; n <= model().numnodes(); ++n)
            r.displacements[n] = {0.0f, 0.002f * model().nodes[n].x, 0.0f, 0.0f, 0.0f, 0.002f};
        ShapeState& s = shape_state();
        s.deflected_shape_shown = true;
        s.shape_factor = 20.0f;
        s.shape_segments = 8;
        // The dots of the nodes drawn again over it: solid lines after dashed ones.
        graphics_hooks().shapes_layer = [] {
            if (!shape_state().deflected_shape_shown)
                return;
            draw_displaced_shape();
            draw_select_pen(PEN_NODE_DOT);
            for (int n = 1; n <= model().numnodes(); ++n)
                draw_node_dot(n);
        };
    }

    static std::string plot(PlotFormat format)
    {
        StringPlotSink sink;
        write_plot(format, sink);
        return sink.bytes;
    }

    std::string file_path(const std::string& name) const { return folder + "/" + name; }

    static std::string read_file(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // The lines of a text that ends its lines with CR LF (false when a line
    // ends otherwise).
    static bool crlf_lines(const std::string& text, std::vector<std::string>& lines)
    {
        lines.clear();
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t end = text.find('\n', at);
            if (end == std::string::npos) {
                lines.push_back(text.substr(at));
                return true;
            }
            if (end == at || text[end - 1] != '\r')
                return false;
            lines.push_back(text.substr(at, end - 1 - at));
            at = end + 1;
        }
        return true;
    }
};
