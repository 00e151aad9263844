// Table window painting: a 10,000-row result table scrolled one screen at a
// time and repainted at 1400 x 900, through the Qt image surface (the
// QPainter path the window takes) and through the recording surface of the
// scripted backend (the table's own work without the window system), and
// the measuring of all rows that comes before the first paint.
//
// The Qt backend makes its own application object; without a display it
// uses Qt's offscreen platform.
#include "framework/ui/app_settings.h"
#include "framework/ui/table.h"
#include "framework/text.h"
#include "platform/backend.h"
#include "qt_bench_backend.h"
#include "platform/headless/recording_surface.h"

#include "bench_setup.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr int ROWS = 10000;
constexpr int WIDTH = 1400;
constexpr int HEIGHT = 900;

// Element forces: a node and seven values a row, formatted as the result
// tables do.
class ForcesTable : public TableWindow {
public:
    ForcesTable() : TableWindow(nullptr, 8, 2) {
        for (int c = 2; c <= 8; ++c) alignments[static_cast<size_t>(c)] = TextAlign::Right;
        table_set_rows(*this, "Pipe forces", ROWS, 1);
    }
    std::string header_text(int c, int line) override {
        static const char* names[] = {"", "Node", "FX", "FY", "FZ", "MX", "MY", "MZ", "SL"};
        if (line == 0) return names[c];
        return c == 1 ? "" : c <= 4 ? "(lb)" : c <= 7 ? "(ft-lb)" : "(psi)";
    }
    std::string cell_text(int row, int c, int) override {
        if (c == 1) return c_format("%d", 10 * row);
        return c_format("%.2f", (row * 37 + c * 101) % 20000 - 10000 + 0.25 * c);
    }
};

// The Qt backend: the one installed already (the graphics benchmarks'), or
// one of its own.
Backend& qt_backend() {
    static bool made = false;
    if (!made && !(backend_installed() && std::string_view(backend().name()) == "qt")) {
        made = true;
        bench::install_qt_backend(bench::scratch_folder("tables") / "settings.ini");
        // The application object goes before the statics it depends on.
        std::atexit([] { remove_backend(); });
    }
    return backend();
}

// Scrolls one screen down (back to the top at the end) and repaints.
void scroll_and_paint(ForcesTable& table, TableView& view, Surface& surface) {
    const int page = view.visible_rows();
    table.top_row += page;
    if (table.top_row > ROWS - page) table.top_row = 0;
    table.current_row = table.top_row + 1;
    view.paint(surface);
}

void BM_TableScreenQt(benchmark::State& state) {
    Backend& b = qt_backend();
    ForcesTable table;
    TableView view;
    table_attach(view, &table);
    view.set_size(WIDTH, HEIGHT);
    std::unique_ptr<Surface> surface = b.image_surface(WIDTH, HEIGHT, rgb(255, 255, 255));
    view.paint(*surface);   // the first paint measures every row
    for (auto _ : state) scroll_and_paint(table, view, *surface);
    state.counters["rows_per_screen"] = view.visible_rows();
    table_attach(view, nullptr);
}
BENCHMARK(BM_TableScreenQt)->Unit(benchmark::kMillisecond);

void BM_TableScreenRecorded(benchmark::State& state) {
    ForcesTable table;
    TableView view;
    table_attach(view, &table);
    view.set_size(WIDTH, HEIGHT);
    RecordingSurface first(WIDTH, HEIGHT);
    view.paint(first);
    for (auto _ : state) {
        RecordingSurface surface(WIDTH, HEIGHT);
        scroll_and_paint(table, view, surface);
        benchmark::DoNotOptimize(surface.lines().size());
    }
    table_attach(view, nullptr);
}
BENCHMARK(BM_TableScreenRecorded)->Unit(benchmark::kMillisecond);

// Measuring the widths of all 10,000 rows on the Qt surface.
void BM_TableMeasureQt(benchmark::State& state) {
    Backend& b = qt_backend();
    ForcesTable table;
    std::unique_ptr<Surface> surface = b.image_surface(16, 16, rgb(255, 255, 255));
    surface->set_font(text_font());
    for (auto _ : state) table.measure_window(*surface);
}
BENCHMARK(BM_TableMeasureQt)->Unit(benchmark::kMillisecond);

}  // namespace
