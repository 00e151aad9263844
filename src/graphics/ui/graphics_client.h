// The graphics client's events and the repaint machinery, shared by the
// files of the graphics window.
#pragma once

#include "platform/backend.h"

class GraphicsClient final : public ClientEvents, public GLEvents {
public:
    void on_paint(Surface& surface, const Rect& dirty) override;
    void on_size(int width, int height) override;
    void on_mouse_down(MouseButton b, int x, int y, unsigned mods) override;
    void on_mouse_up(MouseButton b, int x, int y, unsigned mods) override;
    void on_mouse_move(int x, int y, unsigned mods) override;
    void on_double_click(MouseButton b, int x, int y, unsigned mods) override;
    void on_wheel(int delta, int x, int y, unsigned mods) override;
    bool on_key(int key, unsigned mods) override;
    void on_scroll(ScrollBarKind bar, ScrollCode code, int position) override;

    void gl_resize(int device_width, int device_height) override;
    void gl_paint() override;
};

GraphicsClient& graphics_client_events();
void set_graphics_client_window(WindowId window);

// Command 436, asked for from any thread: one repaint however often it is
// asked before it runs (posted to the main thread).
void graphics_request_repaint();
// The repaint itself: symbols rebuilt when the model changed, the view
// window and scroll bars recomputed, the picture or scene drawn again.
void graphics_repaint_now();
// The model changed: its symbols are rebuilt at the next repaint, which is asked for.
void graphics_model_changed();
// Command 442: the overlays over the kept picture or scene.
void graphics_redraw_overlays();
// The scroll bars take the view's values.
void push_scroll_bars();
// A model was opened or imported: the first picture drawn after it shows
// the whole model in the client at the size the client has by then (the
// window may not have been shown, nor sized, when the model came), unless
// the view was fitted to the whole model again before then.
void fit_view_at_first_paint();
