#include "graphics/ui/plot_commands.h"

#include "framework/commands.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "graphics/plot_files.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/ui/graphics_window.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/model_file.h"

#include <algorithm>
#include <cctype>

using K = ControlKind;

const DialogTemplate DRAWING_SIZE_DIALOG = {
    "DRAWING_SIZE_DIALOG",
    "Drawing Size for DXF & PLT",
    {
        control(DRAWING_SIZE_PAPER, K::Combo, "Paper", 0, 0, 2),
        control(DRAWING_SIZE_PORTRAIT, K::Check, "&Portrait", 1, 0),
        control(DRAWING_SIZE_LANDSCAPE, K::Check, "&Landscape", 1, 1),
        control(IDOK, K::Button, "OK", 2, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 2, 1),
    },
};

const DialogTemplate PLOT_TITLE_DIALOG = {
    "PLOT_TITLE_DIALOG",
    "Plot Title",
    {
        control(PLOT_TITLE_TEXT, K::Edit, "Title", 0, 0, 2, CF_NONE, static_cast<int>(MAX_TITLE_LENGTH)),
        control(IDOK, K::Button, "OK", 1, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 1, 1),
    },
};

namespace {

struct DrawingSizeDialog : DialogProc {
    void init(Dialog& d) override
    {
        dialog_list_reset(DRAWING_SIZE_PAPER);
        for (int i = 0; i < PAPER_SIZE_COUNT; ++i)
            dialog_list_add(paper_size(i).name);
        const DrawingSize& size = drawing_size();
        dialog_list_select(DRAWING_SIZE_PAPER, std::clamp(size.paper, 0, PAPER_SIZE_COUNT - 1));
        dialog_check(DRAWING_SIZE_PORTRAIT, size.portrait);
        dialog_check(DRAWING_SIZE_LANDSCAPE, !size.portrait);
        place_dialog(d);
    }

    // The two check boxes act as a pair: one of them is always checked.
    void command(Dialog&, int id, int) override
    {
        if (id == DRAWING_SIZE_PORTRAIT)
            dialog_check(DRAWING_SIZE_LANDSCAPE, !dialog_is_checked(DRAWING_SIZE_PORTRAIT));
        else if (id == DRAWING_SIZE_LANDSCAPE)
            dialog_check(DRAWING_SIZE_PORTRAIT, !dialog_is_checked(DRAWING_SIZE_LANDSCAPE));
    }

    bool ok(Dialog&) override
    {
        DrawingSize& size = drawing_size();
        const int paper = dialog_list_selection(DRAWING_SIZE_PAPER);
        size.paper = paper >= 0 && paper < PAPER_SIZE_COUNT ? paper : 0;
        size.portrait = dialog_is_checked(DRAWING_SIZE_PORTRAIT);
        return true;
    }
};

struct PlotTitleDialog : DialogProc {
    void init(Dialog& d) override
    {
        dialog_set_text_limit(PLOT_TITLE_TEXT, model_title(), static_cast<int>(MAX_TITLE_LENGTH));
        dialog_select_focus(PLOT_TITLE_TEXT);
        place_dialog(d);
    }

    // The field takes MAX_TITLE_LENGTH characters; the model keeps the
    // title whole in its file's title field, so a title of letters outside
    // ASCII that the field cannot hold is refused, not cut.
    bool ok(Dialog&) override
    {
        dialog_get_record_text(PLOT_TITLE_TEXT);
        const std::string title = item_text();
        if (title.size() > MODEL_TITLE_WIDTH)
            dialog_throw(PLOT_TITLE_TEXT, c_format("Title is too long: the model keeps %d bytes of it, and a letter "
                                                   "outside ASCII takes 2 to 4 of them",
                                                   static_cast<int>(MODEL_TITLE_WIDTH)));
        if (title != model_title()) {
            model_title() = title;
            model_modified() = true;
            notify_document_changed();
        }
        return true;
    }
};

// What the wait cursor is on for.
class WaitCursor {
public:
    WaitCursor() { backend().set_wait_cursor(true); }
    ~WaitCursor() { backend().set_wait_cursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void write_graphics_file(WindowId owner, const std::string& path)
{
    PlotFormat format = PlotFormat::Hpgl;
    if (!plot_format_of_path(path, format)) {
        message_error(owner, "File extension must be : emf, eps, dxf or plt");
        return;
    }
    try {
        const WaitCursor wait;
        write_plot_file(format, path);
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        return;
    }
    if (const WindowId client = graphics_client_window())
        backend().invalidate(client);
    info_dialog(owner, lower(plot_format_name(format)) + " written.");
}

void print_graphics_to_file(WindowId owner)
{
    FileDialogRequest request;
    request.title = "Print Graphics to File";
    request.filters = {{"Windows Enhanced Metafile (*.emf)", "*.emf"},
                       {"Encapsulated PostScript (*.eps)", "*.eps"},
                       {"DXF (*.dxf)", "*.dxf"},
                       {"HPGL (*.plt)", "*.plt"}};
    request.must_exist = false;
    request.extension_follows_filter = true;
    if (!save_file_dialog_path(owner, request))
        return;
    write_graphics_file(owner, ofn_file_path());
}

bool drawing_size_dialog(WindowId owner)
{
    DrawingSizeDialog proc;
    return run_dialog(DRAWING_SIZE_DIALOG, proc, owner) == IDOK;
}

bool plot_title_dialog(WindowId owner)
{
    PlotTitleDialog proc;
    return run_dialog(PLOT_TITLE_DIALOG, proc, owner) == IDOK;
}

void register_plot_commands()
{
    Frame& f = graphics_frame();
    frame_register_command(f, CMD_PRINT_GRAPHICS_TO_FILE, [](int) { print_graphics_to_file(graphics_frame().window); });
    frame_register_command(f, CMD_PLOT_TITLE, [](int) { plot_title_dialog(graphics_frame().window); });
    frame_register_command(f, CMD_DRAWING_SIZE, [](int) { drawing_size_dialog(graphics_frame().window); });
}
