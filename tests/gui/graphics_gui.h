// The program with its real windows for the tests of the graphics window:
// every subsystem installed as main() installs them, a model imported from a
// batch file, the graphics window shown with its client at a given size, and
// the pictures compared with golden images by their pixel statistics.
#pragma once

#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "app/program_subsystems.h"
#include "exchange/batch_import.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "gui/gui_fixture.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "results/results_session.h"
#include "results/results_state.h"
#include "supports/generic_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QResizeEvent>
#include <QWindow>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

// The pixel statistics two pictures of the same view share on any machine
// with the same Mesa and fonts: at most 1 % of the pixels differ by more
// than 48 in a channel, the inked share (pixels more than 48 off the
// background in a channel) is within 3 % of the golden one's, and the ink's
// bounding box within 2 pixels.
struct PictureStats {
    double ink = 0.0;              // share of the pixels that are not background
    int left = 0, top = 0, right = -1, bottom = -1;   // the ink's bounding box
};

inline bool differs(QRgb a, QRgb b, int limit)
{
    return std::abs(qRed(a) - qRed(b)) > limit || std::abs(qGreen(a) - qGreen(b)) > limit ||
           std::abs(qBlue(a) - qBlue(b)) > limit;
}

inline PictureStats picture_stats(const QImage& image, QRgb background)
{
    PictureStats s;
    s.left = image.width();
    s.top = image.height();
    long inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (differs(image.pixel(x, y), background, 48)) {
                ++inked;
                s.left = std::min(s.left, x);
                s.right = std::max(s.right, x);
                s.top = std::min(s.top, y);
                s.bottom = std::max(s.bottom, y);
            }
    s.ink = image.width() * image.height() > 0 ? double(inked) / (double(image.width()) * image.height()) : 0.0;
    return s;
}

inline QImage qimage_of(const Image& image)
{
    QImage q(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            q.setPixel(x, y, image.at(x, y));
    return q;
}

inline std::string golden_image_path(const std::string& name)
{
    return std::string(KV_SOURCE_DIR) + "/tests/data/graphics/" + name;
}

// Compares a picture with its golden image, or writes the golden image
// under KV_UPDATE_GOLDEN=1 (unless `writes` is clear: a picture compared with
// another test's golden). On a failure the picture and the difference (the
// differing pixels red) are written to the tests' scratch folder.
inline void expect_golden_image(const std::string& name, const QImage& actual, QRgb background, bool writes = true)
{
    const std::string path = golden_image_path(name);
    if (const char* update = std::getenv("KV_UPDATE_GOLDEN"); writes && update && *update == '1') {
        ASSERT_TRUE(actual.save(QString::fromStdString(path), "PNG")) << path;
        return;
    }
    QImage golden;
    ASSERT_TRUE(golden.load(QString::fromStdString(path))) << "no golden image " << path;
    golden = golden.convertToFormat(QImage::Format_ARGB32);
    const QImage picture = actual.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(picture.size(), golden.size()) << name;
    QImage difference(picture.size(), QImage::Format_ARGB32);
    long different = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const bool d = differs(picture.pixel(x, y), golden.pixel(x, y), 48);
            different += d ? 1 : 0;
            difference.setPixel(x, y, d ? qRgb(255, 0, 0) : qRgb(qGray(golden.pixel(x, y)) / 2, 0, 0));
        }
    const double share = double(different) / (double(picture.width()) * picture.height());
    const PictureStats a = picture_stats(picture, background), g = picture_stats(golden, background);
    const bool ink_close = std::abs(a.ink - g.ink) <= 0.03 * std::max(a.ink, g.ink);
    const bool box_close = std::abs(a.left - g.left) <= 2 && std::abs(a.right - g.right) <= 2 &&
                           std::abs(a.top - g.top) <= 2 && std::abs(a.bottom - g.bottom) <= 2;
    EXPECT_LE(share, 0.01) << name << ": " << share * 100 << " % of the pixels differ";
    EXPECT_TRUE(ink_close) << name << ": ink " << a.ink << " against " << g.ink;
    EXPECT_TRUE(box_close) << name << ": ink box " << a.left << "," << a.top << " - " << a.right << "," << a.bottom
                           << " against " << g.left << "," << g.top << " - " << g.right << "," << g.bottom;
    if (share > 0.01 || !ink_close || !box_close) {
        const std::string stem = ::testing::TempDir() + name.substr(0, name.size() - 4);
        actual.save(QString::fromStdString(stem + "_actual.png"), "PNG");
        difference.save(QString::fromStdString(stem + "_difference.png"), "PNG");
        ADD_FAILURE() << "written: " << stem << "_actual.png and " << stem << "_difference.png";
    }
}

// The lines the line view draws with the pens asked for, as segments in
// view units (the render view's calls are left alone).
struct LineRecorder final : LineViewPainter {
    explicit LineRecorder(std::vector<ViewPen> kept) : pens(std::move(kept)) {}
    std::vector<ViewPen> pens;
    ViewPen pen = PEN_ELEMENT;
    std::vector<std::pair<Point2, Point2>> lines;
    int beziers = 0;
    void select_pen(ViewPen p) override { pen = p; }
    void line(Point2 a, Point2 b) override
    {
        if (std::find(pens.begin(), pens.end(), pen) != pens.end())
            lines.push_back({a, b});
    }
    void bezier(const Point2 (&)[4]) override { ++beziers; }
    void circle(Point2, float) override {}
};

// Waits until the graphics window is on the screen, its view has taken the
// size of its client (which the window system gives it when it maps the
// window) and has been fitted to it (at the first paint a new model asks
// for); false when that did not come.
inline bool wait_graphics_shown()
{
    return gui_wait_for([] {
        QWidget* client = gui_backend().widget(graphics_client_window());
        const GraphicsViewState& g = graphics_view();
        return frame_is_visible(graphics_frame()) && client && client->isVisible() && client->width() > 0 &&
               g.client_width == client->width() && g.client_height == client->height() && !g.fit_pending;
    });
}

// The sample analysed in a test's folder (as model.mbf, model.mod and
// model.res), its results opened and results mode entered; `modes`: the
// Modal analysis case is added to its cases. The message of a failure, or "".
inline std::string analyse_sample(const std::filesystem::path& folder, bool modes)
{
    const std::filesystem::path sample = folder / "model.mbf";
    std::filesystem::copy_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf", sample,
                               std::filesystem::copy_options::overwrite_existing);
    import_batch_file_at(sample.string());
    present_layout_window();
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        backend().process_events();
    }
    model_file_path() = (folder / "model.mod").string();
    if (modes)
        load_case_list().add(LC_MODAL);
    make_model();
    try {
        const std::unique_ptr<AnalysisModel> snapshot = make_analysis_model();
        const RunOutcome outcome = run_analysis(*snapshot, {});
        if (!outcome.completed)
            return outcome.message;
        load_results((folder / "model.res").string(), "");
    } catch (const MessageText& m) {
        return m.text;
    }
    if (!results_open())
        return "no results";
    in_results() = true;
    return "";
}

// The last size the window system reported for a window it was installed on
// as an event filter: Qt sends the window a resize event for each answer.
struct WindowSystemSize final : QObject {
    QSize size;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            size = static_cast<QResizeEvent*>(event)->size();
        return false;
    }
};

class GraphicsGui : public ::testing::Test {
protected:
    // The device pixel ratio a test runs at: a test whose name says
    // "PixelRatioTwo" starts the application with QT_SCALE_FACTOR=2 (each
    // window test runs in a process of its own).
    static double wanted_pixel_ratio()
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        return name.find("PixelRatioTwo") != std::string::npos ? 2.0 : 1.0;
    }

    void SetUp() override
    {
        // Text sizes alike on every display.
        if (!QApplication::instance()) {
            setenv("QT_FONT_DPI", "96", 0);
            if (wanted_pixel_ratio() != 1.0)
                setenv("QT_SCALE_FACTOR", std::to_string(wanted_pixel_ratio()).c_str(), 1);
        }
        MESA_ALLOCATIONS_KEPT;
        gui_backend();
        reset_app_state();
        reset_app_settings();
        clear_command_registry();
        folder = std::filesystem::path(::testing::TempDir()) /
                 ("korvane_graphics_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                  "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        set_program_folder(folder.string());
        register_program_subsystems();
        app_startup();
        ratio_as_wanted = std::abs(qApp->devicePixelRatio() - wanted_pixel_ratio()) < 1e-6;
    }

    void TearDown() override
    {
        app_shutdown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        set_program_folder("");
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // The test model: a run with bends, every support kind (the generic
    // support, which batch files do not have, put on row T105), a valve and a
    // jacketed pipe.
    static void load_model()
    {
        import_batch_file_at(golden_image_path("graphics_model.mbf"));
        Model& m = model();
        for (int row = 1; row <= m.numrows(); ++row)
            if (m.rows[row].node == 105) {
                auto* generic = dynamic_cast<GenericSupport*>(LayoutRow::change_dtype(row, DT_GENERIC_SUPPORT));
                if (generic)
                    generic->v.stiffness = {1000.0f, 1000.0f, 0.0f, 0.0f, 0.0f, 0.0f};
            }
        make_model();
        present_layout_window();
        settle();
    }

    // Runs what is posted, and the paints.
    static void settle()
    {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            backend().process_events();
        }
    }

    // The graphics window shown, its client `width` by `height` (logical pixels).
    static void show_graphics(int width, int height)
    {
        graphics_window_show();
        ASSERT_TRUE(wait_graphics_shown());
        resize_client(width, height);
    }

    // Resizes the window until its client has that size, and until the view
    // has taken the size. Each request waits for the window system's answer
    // to it: Qt takes a requested size at once, and an answer still on its
    // way (to an earlier request, or to the placement the window was shown
    // with) would otherwise size the window back for a moment after the
    // test went on, and the view fitted to that size would stay.
    static void resize_client(int width, int height)
    {
        QWidget* client = gui_backend().widget(graphics_client_window());
        ASSERT_NE(client, nullptr);
        QWidget* top = client->window();
        ASSERT_NE(top->windowHandle(), nullptr);
        WindowSystemSize reported;
        top->windowHandle()->installEventFilter(&reported);
        QSize asked;
        const bool sized = gui_wait_for([&] {
            settle();
            if (asked.isValid() && reported.size != asked)
                return false;
            if (client->width() == width && client->height() == height)
                return true;
            // The frame by what the client lacks (its tool bars may take
            // another height at another width).
            top->resize(top->width() + width - client->width(), top->height() + height - client->height());
            asked = top->size();
            return false;
        });
        top->windowHandle()->removeEventFilter(&reported);
        ASSERT_TRUE(sized) << client->width() << " x " << client->height();
        ASSERT_TRUE(gui_wait_for([&] {
            settle();
            return graphics_view().client_width == width && graphics_view().client_height == height;
        }));
    }

    // A fixed view: from (1, 1, 1) (the viewpoint's up is Y), the whole
    // model, zoomed twice as the Zoom All command does.
    static void fixed_view()
    {
        set_viewpoint(1.0, 1.0, 1.0);
        update_screen_positions();
        zoom_all();
        zoom_all();
        graphics_redraw();
        settle();
    }

    static QImage grab_client()
    {
        settle();
        std::optional<Image> picture = backend().grab_window(graphics_client_window());
        return picture ? qimage_of(*picture) : QImage();
    }

    static QRgb background() { return graphics_settings().white_background ? qRgb(255, 255, 255) : qRgb(0, 0, 0); }

    std::filesystem::path folder;
    bool ratio_as_wanted = true;
};
