// The graphics window under Xvfb with Mesa: golden pictures of the line view
// and the render view, the view after resizing and at a doubled pixel ratio.
#include "gui/graphics_gui.h"

TEST_F(GraphicsGui, ProbeWritesPictures)
{
    load_model();
    show_graphics(800, 600);
    fixed_view();
    grab_client().save("/tmp/kv_line_black.png");
    graphics_settings().white_background = true;
    apply_color_scheme();
    graphics_redraw();
    grab_client().save("/tmp/kv_line_white.png");
    render_on();
    settle();
    grab_client().save("/tmp/kv_render_white.png");
    graphics_settings().white_background = false;
    apply_color_scheme();
    graphics_redraw();
    grab_client().save("/tmp/kv_render_black.png");
    backend().grab_window(graphics_frame().window).has_value();
    if (auto f = backend().grab_window(graphics_frame().window)) qimage_of(*f).save("/tmp/kv_frame.png");
}
