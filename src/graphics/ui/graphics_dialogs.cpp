#include "graphics/ui/graphics_dialogs.h"

#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/printing_commands.h"
#include "framework/units.h"
#include "graphics/draw2d.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/ui/render_view.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "model/model.h"

#include <algorithm>
#include <cmath>

using K = ControlKind;

const DialogTemplate VIEWPOINT_DIALOG = {
    "VIEWPOINT_DIALOG",
    "Viewpoint",
    {
        control(VIEWPOINT_X, K::Edit, "X", 0, 0, 1, CF_NONE, 12),
        control(VIEWPOINT_Y, K::Edit, "Y", 1, 0, 1, CF_NONE, 12),
        control(VIEWPOINT_Z, K::Edit, "Z", 2, 0, 1, CF_NONE, 12),
        control(VIEWPOINT_X_VIEW, K::Button, "&X view", 0, 1),
        control(VIEWPOINT_Y_VIEW, K::Button, "&Y view", 1, 1),
        control(VIEWPOINT_Z_VIEW, K::Button, "&Z view", 2, 1),
        control(VIEWPOINT_ISOMETRIC, K::Button, "&Isometric", 3, 1),
        control(IDOK, K::Button, "OK", 4, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 4, 1),
        control(VIEWPOINT_APPLY, K::Button, "&Apply", 5, 0),
        control(VIEWPOINT_PREVIOUS, K::Button, "&Previous", 5, 1),
    },
};

const DialogTemplate HIDE_ELEMENTS_DIALOG = {
    "HIDE_ELEMENTS_DIALOG",
    "Show / Hide Elements",
    {
        control(HIDE_FROM, K::Edit, "From  #", 0, 0, 1, CF_NONE, 5),
        control(HIDE_TO, K::Edit, "To  #", 0, 1, 1, CF_NONE, 5),
        control(HIDE_SHOW_ONLY, K::Radio, "Show specified and hide others", 1, 0, 2, CF_CHECKED),
        control(HIDE_SHOW_MORE, K::Radio, "Show specified to existing view", 2, 0, 2),
        control(HIDE_HIDE_ONLY, K::Radio, "Hide specified and show others", 3, 0, 2),
        control(HIDE_HIDE_MORE, K::Radio, "Hide specified from existing view", 4, 0, 2),
        control(IDOK, K::Button, "OK", 5, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 5, 1),
    },
};

const DialogTemplate PRINT_OPENGL_DIALOG = {
    "PRINT_OPENGL_DIALOG",
    "Print Rendered View",
    {
        control(PRINT_GL_PRINTER, K::Radio, "&Printer", 0, 0, 2, CF_CHECKED),
        control(PRINT_GL_PREVIEW, K::Radio, "Print pre&view", 1, 0, 2),
        control(IDOK, K::Button, "OK", 2, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 2, 1),
    },
};

namespace {

std::string viewpoint_text(double v)
{
    return format_real(v, 10, 4);
}


struct ViewpointDialog : PlacedDialogProc {
    void init(Dialog& d) override
    {
        show(view_transform().viewpoint);
        dialog_enable_item(VIEWPOINT_PREVIOUS, previous_view_kept());
        dialog_set_focus(VIEWPOINT_X);
        place_dialog(d);
    }

    void show(const Vec3& p)
    {
        dialog_set_text(VIEWPOINT_X, viewpoint_text(p.x));
        dialog_set_text(VIEWPOINT_Y, viewpoint_text(p.y));
        dialog_set_text(VIEWPOINT_Z, viewpoint_text(p.z));
    }

    static double read(int item, const char* name)
    {
        dialog_get_text(item);
        float value = 0.0f;
        if (parse_real_buffer(value) != 0 || !std::isfinite(value))
            throw_invalid(name);
        return value;
    }

    void apply()
    {
        const double x = read(VIEWPOINT_X, "X");
        const double y = read(VIEWPOINT_Y, "Y");
        const double z = read(VIEWPOINT_Z, "Z");
        if (x == 0.0 && y == 0.0 && z == 0.0)
            dialog_throw(VIEWPOINT_X, "0.0, 0.0, 0.0 is not a valid viewpoint");
        const Vec3& now = view_transform().viewpoint;
        if (now.x == x && now.y == y && now.z == z)
            return;
        set_view_direction(x, y, z);
        dialog_enable_item(VIEWPOINT_PREVIOUS, true);
    }

    void command(Dialog&, int id, int) override
    {
        static const Vec3 views[4] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}, {1.0, 1.0, 1.0}};
        if (id >= VIEWPOINT_X_VIEW && id <= VIEWPOINT_ISOMETRIC) {
            show(views[id - VIEWPOINT_X_VIEW]);
            apply();
        } else if (id == VIEWPOINT_APPLY) {
            apply();
        } else if (id == VIEWPOINT_PREVIOUS && previous_view_kept()) {
            show(graphics_view().previous.viewpoint);
            previous_view();
        }
    }

    bool accept(Dialog&) override
    {
        apply();
        return true;
    }
};

// The To row the dialog keeps between openings.
struct HideElementsMemory {
    std::string to;
};

struct HideElementsDialog : DialogProc {
    bool changed = false;

    void init(Dialog& d) override
    {
        const int current = model().current_row;
        dialog_set_text(HIDE_FROM, current > 0 ? std::to_string(current) : std::string());
        dialog_set_text(HIDE_TO, session_part<HideElementsMemory>().to);
        dialog_set_radio(HIDE_SHOW_ONLY, HIDE_HIDE_MORE, HIDE_SHOW_ONLY);
        dialog_select_focus(HIDE_FROM);
        place_dialog(d);
    }

    static int read_row(int item, const char* required, const char* invalid)
    {
        dialog_get_text(item);
        if (item_text().empty())
            throw_required(required);
        int32_t row = 0;
        if (parse_int_buffer(row) != 0 || row < 1)
            throw_invalid(invalid);
        return row;
    }

    bool ok(Dialog&) override
    {
        const int rows = numrows();
        const int from = read_row(HIDE_FROM, "From  # ", "From  #");
        if (from > rows)
            dialog_throw(HIDE_FROM, "From  #  > number of rows");
        int to = read_row(HIDE_TO, "To  # ", "To  #");
        if (from > to)
            dialog_throw(HIDE_FROM, "From  #  > To  #");
        session_part<HideElementsMemory>().to = std::to_string(to);
        to = std::min(to, rows);
        Model& m = model();
        const bool in_range_shown = dialog_is_checked(HIDE_SHOW_ONLY) || dialog_is_checked(HIDE_SHOW_MORE);
        if (dialog_is_checked(HIDE_SHOW_ONLY) || dialog_is_checked(HIDE_HIDE_ONLY))
            for (LayoutRow& r : m.rows)
                r.shown = in_range_shown ? 0 : 1;
        for (int row = from; row <= to; ++row)
            m.rows[row].shown = in_range_shown ? 1 : 0;
        changed = true;
        graphics_redraw();
        return true;
    }
};

struct PrintOpenGLDialog : DialogProc {
    bool preview = false;
    void init(Dialog& d) override { center_window(d, IDOK); }
    bool ok(Dialog&) override
    {
        preview = dialog_is_checked(PRINT_GL_PREVIEW);
        return true;
    }
};

// The offscreen scene of a printed page.
struct PageScene : GLEvents {
    ViewWindow window;
    int width = 0, height = 0;
    void gl_resize(int w, int h) override
    {
        width = w;
        height = h;
    }
    void gl_paint() override { gl_draw_scene(width, height, window); }
};

// The largest side of an offscreen picture, and its largest area: a page at
// a printer's resolution is drawn smaller and stretched onto the page.
constexpr int RENDER_SIDE_LIMIT = 8192;
constexpr double RENDER_AREA_LIMIT = 32.0e6;

// Puts the view back on every way out of a print.
class ViewBackupScope {
public:
    ViewBackupScope() : backup_(graphics_view_save()), window_(graphics_view().view_window) {}
    ~ViewBackupScope()
    {
        graphics_view_restore(backup_);
        graphics_view().view_window = window_;
        update_view_window();
    }
    ViewBackupScope(const ViewBackupScope&) = delete;
    ViewBackupScope& operator=(const ViewBackupScope&) = delete;

private:
    GraphicsViewBackup backup_;
    ViewWindow window_;
};

// The caption centred at the top of the picture.
void print_plot_title(Surface& page)
{
    const std::string title = graphics_plot_title();
    if (title.empty())
        return;
    page.set_text_color(rgb(0, 0, 0));
    page.text(page.width() / 2, 0, title, TextAlign::Center);
}

void print_with(bool render, bool preview)
{
    const WindowId owner = graphics_frame().window;
    const PageRenderer renderer = [render](PrintDocument& document) { print_graphics_page(document, render); };
    if (preview)
        print_preview_start(owner, "Graphics", renderer);
    else
        print_page_to_printer(owner, "Graphics", renderer);
}

}  // namespace

void remember_graphics_dialog_place(Dialog& d)
{
    if (d.owner() == graphics_frame().window && d.window())
        set_graphics_dialog_point(graphics_frame().window,
                                  backend().client_to_screen(static_cast<WindowId>(d.window()), Point{0, 0}));
}

bool viewpoint_dialog(WindowId owner)
{
    ViewpointDialog proc;
    return run_dialog(VIEWPOINT_DIALOG, proc, owner) == IDOK;
}

bool hide_elements_dialog(WindowId owner)
{
    HideElementsDialog proc;
    run_dialog(HIDE_ELEMENTS_DIALOG, proc, owner);
    return proc.changed;
}

void print_graphics_page(PrintDocument& document, bool render)
{
    Surface& page = document.page();
    const int width = page.width(), height = page.height();
    if (width <= 0 || height <= 0)
        return;
    const ViewBackupScope restore;
    const ViewWindow shown = graphics_view().view_window;
    set_client_size(width, height);
    // The window shown fills the page's printable area, centred.
    const double scale = std::min(width / double(shown.width()), height / double(shown.height()));
    // Symbols, marks and arrows keep the size they have on screen beside the
    // node numbers, whose font the page's resolution scales.
    const int dpi = std::max(page.dpi_y(), 1);
    const std::unique_ptr<Surface> screen = backend().screen_surface();
    view_state().pixel_size = dpi / double(screen ? std::max(screen->dpi_y(), 1) : dpi);
    set_drawing_scale(scale);
    ViewWindow& w = graphics_view().view_window;
    const double cx = (double(shown.xmin) + shown.xmax) / 2.0, cy = (double(shown.ymin) + shown.ymax) / 2.0;
    w = ViewWindow{static_cast<float>(cx - width / scale / 2.0), static_cast<float>(cy - height / scale / 2.0),
                   static_cast<float>(cx + width / scale / 2.0), static_cast<float>(cy + height / scale / 2.0)};
    // Paper is white.
    GraphicsSettings& s = graphics_settings();
    s.white_background = true;
    apply_color_scheme();
    set_arrow_sizes(dpi);
    view_state().dot_size = std::max(3, static_cast<int>(std::lround(3.0 * view_state().pixel_size)));
    page.set_font(s.font);
    const TextMetrics m = page.text_metrics();
    set_text_metrics(m.average_char_width, m.ascent, m.internal_leading, page.text_width("1234"), m.height);
    update_screen_positions();
    compute_model_extent();
    if (render) {
        const double shrink = std::min({1.0, RENDER_SIDE_LIMIT / double(width), RENDER_SIDE_LIMIT / double(height),
                                        std::sqrt(RENDER_AREA_LIMIT / (double(width) * height))});
        PageScene scene;
        scene.window = w;
        const std::optional<Image> picture =
            backend().render_gl_offscreen(std::max(1, static_cast<int>(width * shrink)),
                                          std::max(1, static_cast<int>(height * shrink)), scene);
        if (!picture)
            throw MessageText("The rendered view cannot be printed: OpenGL is not available");
        page.draw_image(Rect{0, 0, width, height}, *picture);
        ScreenDrawing drawing(page, w);
        graphics_view().clip_window = w;
        draw_render_overlays();
        print_plot_title(page);
        return;
    }
    graphics_view().clip_window = w;
    ScreenDrawing drawing(page, w, true);
    gdi_draw_model();
    print_plot_title(page);
}

void graphics_print_command()
{
    if (!graphics_settings().render_mode) {
        print_with(false, false);
        return;
    }
    PrintOpenGLDialog proc;
    if (run_dialog(PRINT_OPENGL_DIALOG, proc, graphics_frame().window) != IDOK)
        return;
    print_with(true, proc.preview);
}

void graphics_print_preview()
{
    print_with(graphics_settings().render_mode, true);
}

void graphics_copy_command()
{
    const GraphicsViewState& g = graphics_view();
    const WindowId client = graphics_client_window();
    if (!client || g.client_width <= 0 || g.client_height <= 0)
        return;
    std::optional<Image> picture;
    if (graphics_settings().render_mode) {
        // What the window shows: the scene with what is drawn over it.
        picture = backend().grab_window(client);
    } else {
        std::unique_ptr<Surface> image =
            backend().image_surface(g.client_width, g.client_height, color_scheme().background, g.pixel_ratio);
        graphics_paint(*image, Rect{0, 0, g.client_width, g.client_height});
        picture = backend().surface_image(*image);
    }
    if (!picture || picture->width <= 0 || !backend().set_clipboard_image(*picture))
        throw MessageText("Unable to copy the graphics to the clipboard");
}

void measure_graphics_font()
{
    if (!backend_installed())
        return;
    std::unique_ptr<Surface> screen = backend().screen_surface();
    screen->set_font(graphics_settings().font);
    const TextMetrics m = screen->text_metrics();
    set_text_metrics(m.average_char_width, m.ascent, m.internal_leading, screen->text_width("1234"), m.height);
}

bool graphics_font_command(WindowId owner)
{
    FontSpec font = graphics_settings().font;
    if (!backend().choose_font(owner, font))
        return false;
    graphics_settings().font = font;
    measure_graphics_font();
    return true;
}
