#include "model/ui/layout_install.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "model/ui/model_edit.h"
#include "model/ui/units_dialog.h"

namespace {

// The layout table's own commands, from the main frame's menu and keys.
void register_layout_frame_commands(Frame& frame) {
    for (int id : {CMD_EDIT_ROW, CMD_DELETE, CMD_INSERT, CMD_COPY, CMD_PASTE})
        frame_register_command(frame, id, [](int command) { table_command(layout_table(), command); });
    frame_register_command(frame, CMD_FIND_NODE, [](int) { layout_find_node_command(); });
    frame_register_command(frame, CMD_ELEMENT_TYPES, [](int) { element_types_command(main_frame().window); });
    frame_register_command(frame, CMD_DATA_TYPES, [](int) { data_types_command(main_frame().window); });
    // F3: the list window, with the table it showed last, or the chooser.
    frame_register_command(frame, CMD_GO_BACK, [](int) {
        if (TableWindow* t = list_window_table())
            show_in_list_window(*t);
        else
            data_list_command(main_frame().window);
    });
}

void present_layout() {
    if (model().numrows() > 0 && model().current_row == 0) model().current_row = 1;
    table_reset(layout_table());
    reload_layout_table();
    show_main_window();
    focus_layout_table();
    refresh_list_window();
    if (const auto& redraw = model_hooks().redraw_graphics) redraw();
}

void close_layout_windows() {
    // A library or qualification window gives the list window back first.
    if (list_mode().kind != ListMode::Model) {
        const std::function<void()> leave = list_mode().leave;
        if (leave) leave();
        if (list_mode().kind != ListMode::Model) leave_list_mode();
    }
    table_cancel_edit(layout_table());
    close_list_window();
    clear_last_table_opener();
    // The model is replaced next; the table follows once that is done.
    if (backend_installed()) backend().post([] { reload_layout_table(); });
}

}  // namespace

void create_layout_windows() {
    if (main_frame().window) create_layout_window();
    if (list_frame().window) create_list_window();
}

void install_layout_subsystem() {
    install_model_edit_commands();
    install_list_window_commands();
    register_layout_frame_commands(main_frame());

    subscribe_document_changed("layout and list windows", [](const DocumentChange& change) {
        if (change.kind != DocumentChange::Edited) return;
        reload_layout_table();
        refresh_list_window();
    });
    set_units_changed_hook([] { notify_document_changed(); });
    model_file_hooks().present_layout_window = present_layout;
    model_file_hooks().close_windows = close_layout_windows;
    // Before a save or a question about the model: the layout's open cell and
    // what the list window holds.
    set_pending_edits_committer([] { return table_enter_typed_input(layout_table()) && commit_list_window_edits(); });

    // At start-up the shell makes the frames after the subsystems are
    // installed and then calls create_layout_windows (register_window_installer).
    if (main_frame().window) create_layout_windows();
}
