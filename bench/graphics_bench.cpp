// The graphics window on a generated model of 10,050 elements (a staircase
// of bends with a restraint at every tenth bend's near tangent point), shown
// at 1280 x 800 in the program's real window: a full repaint of the line view (its picture drawn
// again), a render frame (the scene drawn by Mesa and read back, ended by
// glFinish), a repaint of the overlays alone over the kept picture, the time
// from opening the model file to its first painted frame, and one pick.
//
// Run under a display (xvfb-run); the counters give frames per second and
// the ratio of a full frame to an overlay repaint.
#include "app/program_subsystems.h"
#include "exchange/batch_import.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/state.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "graphics/model_view.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_settings.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/ui/model_commands.h"
#include "model/view_drawing.h"
#include "platform/qt/qt_backend.h"

#include "bench_setup.h"
#include "qt_bench_backend.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

namespace {

constexpr int WIDTH = 1280;
constexpr int HEIGHT = 800;
// Bend rows, each a leg and an arc, and a last leg in each run of 100:
// 10,050 elements.
constexpr int BEND_ROWS = 5000;
constexpr int ROWS_PER_RUN = 100;

std::string generated_model()
{
    std::ostringstream b;
    b << "Generated model of 10,000 elements\nOPTIONS\nHGRA,B313\nMATERIAL\n"
         "A106B,0.283,0.3,1.0,1.0,CS,Carbon steel\nA106B,70,29.5E6,6.07E-6,20000\n"
         "PIPE\n6,6.625,0.28,0,0,0,0\nLAYOUT\n";
    int node = 10;
    int rows = 0;
    for (int run = 0; rows < BEND_ROWS; ++run) {
        // Each run starts 10 ft behind the one before (From coordinates).
        b << "F" << node << ",X0,Y0,Z" << run * 10 << "-0,MA106B,P6";
        if (run == 0)
            b << ",KA";
        b << "\n";
        node += 1;
        for (int k = 0; k < ROWS_PER_RUN && rows < BEND_ROWS; ++k, ++rows, ++node) {
            b << "T" << node << "," << (k % 2 ? "Y" : "X") << "5-0,KI,B9\n";
            // The restraint at the bend's near tangent point (a bend's own
            // node is its corner, off the pipe).
            if (k % 10 == 5)
                b << "L" << node << "A,CF(0,1,0)\n";
        }
        // A last leg after the run's last bend.
        b << "T" << node << ",Y5-0\n";
        node += 1;
    }
    return b.str();
}

// Whether this process made an OpenGL context.
bool& opengl_used()
{
    static bool used = false;
    return used;
}

struct BenchProgram {
    std::filesystem::path folder;
    std::string model_path;
    QWidget* client = nullptr;

    BenchProgram()
    {
        folder = bench::scratch_folder("graphics");
        // The program as at start-up, whatever ran before.
        reset_all();
        bench::install_qt_backend(folder / "settings.ini");
        // The windows go before the window system: at the end, or at once
        // when the program cannot be started.
        try {
            start();
        } catch (...) {
            app_shutdown();
            remove_backend();
            throw;
        }
        std::atexit([] {
            app_shutdown();
            remove_backend();
        });
    }

    // The program started on the model, its graphics window at WIDTH x HEIGHT.
    void start()
    {
        opengl_used() = true;
        set_program_folder(folder.string());
        register_program_subsystems();
        app_startup();
        // The model, made once and kept as a model file.
        std::istringstream text(generated_model());
        import_batch_text(text);
        model_path = (folder / "generated.mod").string();
        write_model_file(model_path);
        present_layout_window();
        frame_send_command(graphics_frame(), CMD_GRAPHICS_SHOW);
        client = static_cast<QtBackend&>(backend()).widget(graphics_client_window());
        QWidget* top = client->window();
        for (int round = 0; round < 8 && (client->width() != WIDTH || client->height() != HEIGHT); ++round) {
            top->resize(top->width() + WIDTH - client->width(), top->height() + HEIGHT - client->height());
            settle();
        }
        zoom_all();
        graphics_redraw();
        settle();
        // Picks select the row; no dialog opens.
        pick_hooks().open_element_dialog = [](int) { return false; };
        pick_hooks().open_data_dialog = [](int) { return false; };
        report_opengl();
    }

    // The OpenGL that renders (Mesa's llvmpipe under Xvfb).
    static void report_opengl()
    {
        QOffscreenSurface surface;
        surface.create();
        QOpenGLContext context;
        if (!context.create() || !context.makeCurrent(&surface))
            return;
        QOpenGLFunctions* gl = context.functions();
        std::fprintf(stderr, "OpenGL: %s, %s\n", reinterpret_cast<const char*>(gl->glGetString(GL_RENDERER)),
                     reinterpret_cast<const char*>(gl->glGetString(GL_VERSION)));
        context.doneCurrent();
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            backend().process_events();
        }
    }

    void render(bool on)
    {
        if (graphics_settings().render_mode != on) {
            if (on)
                render_on();
            else
                render_off();
        }
        settle();
    }
};

// The program, made once; null (the benchmark skipped) when it could not be
// made. It lives to the end: the window system goes with the process.
BenchProgram* program(benchmark::State& state)
{
    static bench::Shared<BenchProgram> made([] { return std::make_unique<BenchProgram>(); });
    return made.get(state);
}

void BM_LineViewFullRepaint(benchmark::State& state)
{
    BenchProgram* p = program(state);
    if (!p)
        return;
    p->render(false);
    for (auto _ : state) {
        graphics_repaint_now();
        p->client->repaint();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["elements"] = numelems();
}

// The whole model (its pipes thinner than a pixel, drawn as lines), and a
// quarter of it zoomed to the window (the pipes shaded tubes).
void BM_RenderFrame(benchmark::State& state)
{
    BenchProgram* p = program(state);
    if (!p)
        return;
    p->render(true);
    zoom_all();
    if (state.range(0) != 0)
        zoom_to_rectangle(WIDTH * 3 / 8, HEIGHT * 3 / 8, WIDTH * 5 / 8, HEIGHT * 5 / 8);
    for (auto _ : state) {
        graphics_repaint_now();
        p->client->repaint();   // the scene drawn, glFinish, read back, shown
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pipe_radius_px"] = 3.3125 * view_state().scale;
    zoom_all();
}

void BM_OverlayRepaint(benchmark::State& state)
{
    BenchProgram* p = program(state);
    if (!p)
        return;
    p->render(state.range(0) != 0);
    graphics_repaint_now();
    p->client->repaint();
    for (auto _ : state) {
        backend().invalidate(graphics_client_window());
        p->client->repaint();   // the kept picture and the overlays
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FirstFrameAfterOpening(benchmark::State& state)
{
    BenchProgram* p = program(state);
    if (!p)
        return;
    p->render(false);
    for (auto _ : state) {
        model_modified() = false;   // no question before the model is replaced
        open_model_file(p->model_path);
        frame_send_command(graphics_frame(), CMD_GRAPHICS_SHOW);
        BenchProgram::settle();
        p->client->repaint();
    }
}

// A pick on the last run's middle leg (its rows are tested last), and one
// in empty space (every row tested, none hit).
void BM_Pick(benchmark::State& state)
{
    BenchProgram* p = program(state);
    if (!p)
        return;
    p->render(false);
    int px = 2, py = 2;
    if (state.range(0) == 0) {
        const Model& m = model();
        const LayoutRow& r = m.rows[m.numrows() - 50];
        const Point2 a = node_view_point(r.start_node), b = node_view_point(r.end_node);
        double x = 0, y = 0;
        view_to_client((a.x + b.x) / 2, (a.y + b.y) / 2, x, y);
        px = static_cast<int>(x);
        py = static_cast<int>(y);
    }
    int found = 0;
    for (auto _ : state)
        found = graphics_click_pick(px, py).row;
    state.counters["row"] = found;
}

}  // namespace

#ifdef __SANITIZE_ADDRESS__
// Read by the leak checker when the process ends. Mesa keeps some of what it
// allocates for a context until then, and its rendering threads outlive the
// context: the final leak pass, which stops every thread, then reports
// Mesa's allocations and crashes now and then. A process that made an
// OpenGL context skips that pass, as the window tests do.
extern "C" int __lsan_is_turned_off()
{
    return opengl_used() ? 1 : 0;
}
#endif

// Wall-clock time: the window system and Mesa's threads work outside this process's CPU time.
BENCHMARK(BM_LineViewFullRepaint)->Unit(benchmark::kMillisecond)->MinTime(bench::min_time(2.0))->UseRealTime();
BENCHMARK(BM_RenderFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(bench::min_time(2.0))->UseRealTime();
BENCHMARK(BM_OverlayRepaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(bench::min_time(1.0))->UseRealTime();
BENCHMARK(BM_FirstFrameAfterOpening)->Unit(benchmark::kMillisecond)->Iterations(bench::iterations(3))->UseRealTime();
BENCHMARK(BM_Pick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();
