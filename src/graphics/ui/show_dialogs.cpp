#include "graphics/ui/show_dialogs.h"

#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "graphics/graphics_view.h"
#include "graphics/highlight.h"
#include "graphics/show_lists.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/ui/graphics_dialogs.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_settings.h"
#include "model/ui/list_window.h"

#include <vector>

using K = ControlKind;

namespace {

std::vector<ControlSpec> show_controls()
{
    std::vector<ControlSpec> c;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 11; ++row)
            c.push_back(control(SHOW_FIRST_BOX + 11 * column + row, K::Check, "", row, column, 1, CF_HIDDEN));
    c.push_back(control(IDOK, K::Button, "OK", 11, 0, 1, CF_DEFAULT));
    c.push_back(control(IDCANCEL, K::Button, "Cancel", 11, 1));
    c.push_back(control(SHOW_APPLY, K::Button, "&Apply", 11, 2));
    c.push_back(control(SHOW_ALL, K::Button, "A&ll", 12, 0));
    c.push_back(control(SHOW_NONE, K::Button, "&None", 12, 1));
    return c;
}

// What the window does after the Show list was applied.
void after_show_apply(const ShowApplyResult& r)
{
    if (!r.changed)
        return;
    if (r.local_axes) {
        // The local-axes display is one setting with the list window's.
        set_local_axes_display(show_flags().local_axes);
        graphics_model_changed();
        if (TableWindow* t = last_opened_table())
            t->on_row_changed(t->current_row);
        return;
    }
    if (r.overlays_only) {
        graphics_redraw_overlays();
        return;
    }
    highlight_suspend();
    graphics_model_changed();
    highlight_resume();
}

struct ShowDialog : PlacedDialogProc {
    ShowList list;
    bool nodes = false;

    std::vector<bool> states()
    {
        std::vector<bool> checked;
        for (int id : list.ids)
            checked.push_back(dialog_is_checked(id));
        return checked;
    }

    void apply()
    {
        if (nodes) {
            show_nodes_apply(list, states());
            if (graphics_settings().render_mode) {
                graphics_redraw_overlays();
            } else {
                highlight_suspend();
                graphics_model_changed();
                highlight_resume();
            }
            return;
        }
        after_show_apply(show_apply(list, states()));
    }

    void init(Dialog& d) override
    {
        d.set_caption(nodes ? "Show Node Numbers at" : "Show");
        const ShowDialogLayout layout = show_dialog_layout(static_cast<int>(list.entries.size()));
        for (std::size_t i = 0; i < list.entries.size(); ++i) {
            const int id = list.ids[i];
            dialog_set_text(id, list.entries[i].label);
            dialog_check(id, *list.entries[i].flag);
            dialog_show(id);
            const int column = (id - SHOW_FIRST_BOX) / 11;
            dialog_move_item(id, 8 + 80 * column, 8 + 14 * layout.row_of[i]);
        }
        const int buttons[5] = {IDOK, IDCANCEL, SHOW_APPLY, SHOW_ALL, SHOW_NONE};
        for (int k = 0; k < 5; ++k)
            dialog_move_item(buttons[k], SHOW_BUTTON_X[k], layout.button_y);
        dialog_resize(layout.width, layout.height);
        place_dialog(d);
    }

    void command(Dialog&, int id, int) override
    {
        if (id == SHOW_ALL || id == SHOW_NONE) {
            for (int box : list.ids)
                dialog_check(box, id == SHOW_ALL);
        } else if (id == SHOW_APPLY) {
            apply();
        }
    }

    bool accept(Dialog&) override
    {
        apply();
        return true;
    }
};

bool run(bool nodes, WindowId owner)
{
    ShowDialog proc;
    proc.nodes = nodes;
    proc.list = nodes ? build_show_nodes_list() : build_show_list(lcs_applicable());
    if (proc.list.entries.empty())
        return false;
    return run_dialog(SHOW_33_DIALOG, proc, owner) == IDOK;
}

}  // namespace

const DialogTemplate SHOW_33_DIALOG = {"SHOW_33_DIALOG", "Show", show_controls()};

bool show_dialog(WindowId owner)
{
    return run(false, owner);
}

bool show_nodes_dialog(WindowId owner)
{
    return run(true, owner);
}

bool show_list_available()
{
    return !build_show_list(lcs_applicable()).entries.empty();
}

bool show_nodes_list_available()
{
    return !build_show_nodes_list().entries.empty();
}

void toggle_dots_and_numbers_command()
{
    show_toggle_dots_and_numbers();
    if (graphics_settings().render_mode) {
        graphics_redraw_overlays();
    } else {
        highlight_suspend();
        graphics_redraw();
        highlight_resume();
    }
}

void register_show_commands()
{
    Frame& f = graphics_frame();
    frame_register_command(f, CMD_SHOW, [](int) { show_dialog(graphics_frame().window); }, show_list_available);
    frame_register_command(f, CMD_SHOW_NODES, [](int) { show_nodes_dialog(graphics_frame().window); },
                           show_nodes_list_available);
}
