// The render view under Xvfb with Mesa: golden pictures, the doubled pixel
// ratio, a small client, printing at the printer's resolution and copying.
#include "graphics/triads.h"
#include "graphics/ui/graphics_dialogs.h"
#include "gui/graphics_gui.h"
#include "platform/qt/qt_printing.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

class GraphicsRender : public GraphicsGui {
protected:
    void render_model(int width, int height)
    {
        load_model();
        show_graphics(width, height);
        frame_send_command(graphics_frame(), CMD_RENDER);
        fixed_view();
    }
};

// Ink in each quarter of a picture.
bool ink_in_every_quadrant(const QImage& image, QRgb background)
{
    const int w = image.width() / 2, h = image.height() / 2;
    for (int qx = 0; qx < 2; ++qx)
        for (int qy = 0; qy < 2; ++qy)
            if (picture_stats(image.copy(qx * w, qy * h, w, h), background).ink <= 0.0)
                return false;
    return true;
}

}  // namespace

TEST_F(GraphicsRender, RenderViewOnBlackMatchesItsGolden)
{
    render_model(800, 600);
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    EXPECT_TRUE(graphics_settings().render_mode);
    expect_golden_image("render_black.png", grab_client(), background());
}

TEST_F(GraphicsRender, RenderViewOnWhiteMatchesItsGolden)
{
    load_model();
    show_graphics(800, 600);
    frame_send_command(graphics_frame(), CMD_BACKGROUND_WHITE);
    frame_send_command(graphics_frame(), CMD_RENDER);
    fixed_view();
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    expect_golden_image("render_white.png", grab_client(), background());
}

TEST_F(GraphicsRender, HighQualityTransparentRowsFromTheSideMatchTheirGolden)
{
    render_model(800, 600);
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    frame_send_command(graphics_frame(), CMD_QUALITY_HIGH);
    frame_send_command(graphics_frame(), CMD_BACKGROUND_WHITE);
    for (LayoutRow& r : model().rows)
        if (r.node >= 60 && r.node <= 100)
            r.transparent = 1;
    frame_send_command(graphics_frame(), CMD_VIEW_X);
    settle();
    expect_golden_image("render_white_side.png", grab_client(), background());
}

TEST_F(GraphicsRender, TurnedViewMatchesItsGolden)
{
    render_model(800, 600);
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    // Two steps down over the model and three round it.
    rotate_view_vertically(2);
    rotate_view_horizontally(-3);
    settle();
    expect_golden_image("render_black_turned.png", grab_client(), background());
}

TEST_F(GraphicsRender, AtPixelRatioTwoTheSceneFillsTheClientAndMatchesRatioOne)
{
    if (!ratio_as_wanted)
        GTEST_SKIP() << "the application runs at another pixel ratio (run this test in a process of its own)";
    render_model(800, 600);
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    EXPECT_DOUBLE_EQ(graphics_view().pixel_ratio, 2.0);
    const QImage picture = grab_client();
    ASSERT_EQ(picture.width(), 1600);
    ASSERT_EQ(picture.height(), 1200);
    EXPECT_TRUE(ink_in_every_quadrant(picture, background()));
    // Halved, it is the picture of the ratio 1 window.
    const QImage halved = picture.scaled(800, 600, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    expect_golden_image("render_black.png", halved, background(), false);
}

TEST_F(GraphicsRender, TheTriadStaysInsideASmallClient)
{
    render_model(200, 150);
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    for (int corner = 1; corner <= 4; ++corner) {
        graphics_settings().axes_corner = corner;
        const Point2 o = axes_triad_origin();
        const ViewState& v = view_state();
        for (const AxisProjection& a : v.axes) {
            const double l = v.triad_arrow_length * a.length / v.scale;
            double px = 0, py = 0;
            view_to_client(static_cast<float>(o.x + l * a.sx), static_cast<float>(o.y + l * a.sy), px, py);
            EXPECT_GE(px, 0.0) << corner;
            EXPECT_LE(px, 200.0) << corner;
            EXPECT_GE(py, 0.0) << corner;
            EXPECT_LE(py, 150.0) << corner;
        }
    }
    const QImage picture = grab_client();
    EXPECT_EQ(picture.width(), 200);
    EXPECT_TRUE(ink_in_every_quadrant(picture, background()) || picture_stats(picture, background()).ink > 0.01);
}

TEST_F(GraphicsRender, PrintingDrawsTheSceneAtThePrintersResolution)
{
    render_model(800, 600);
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    install_qt_print_service();
    const double scale = view_state().scale;
    const std::vector<Image> pages = print_service().render_pages(
        PageSetup{}, 150, [](PrintDocument& document) { print_graphics_page(document, true); });
    install_print_service(nullptr);
    ASSERT_EQ(pages.size(), 1u);
    // Letter less 0.75 in margins at 150 dots per inch: 1050 by 1425 dots,
    // the scene across the page on white paper.
    const QImage page = qimage_of(pages[0]);
    EXPECT_NEAR(page.width(), 1050, 2);
    EXPECT_GT(picture_stats(page, qRgb(255, 255, 255)).ink, 0.01);
    EXPECT_TRUE(ink_in_every_quadrant(page, qRgb(255, 255, 255)));
    EXPECT_EQ(view_state().scale, scale);
    EXPECT_FALSE(graphics_settings().white_background);
}

TEST_F(GraphicsRender, CopyPutsTheShownPictureOnTheClipboard)
{
    render_model(640, 480);
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    frame_send_command(graphics_frame(), CMD_COPY);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), QSize(640, 480));
    EXPECT_NEAR(picture_stats(copied, background()).ink, picture_stats(grab_client(), background()).ink, 0.002);
}
