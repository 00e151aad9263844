// Popup menus of tables, the Insert and Delete menu state, and the redisplay
// of a table through its row list.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/table.h"

#include <algorithm>

namespace {

bool view_only(const TableWindow& t) { return input_locked() || t.view_only; }

bool insert_allowed(TableWindow& t) {
    const int row = t.current_row;
    return !view_only(t) && t.editing_allowed && row >= 1 && row <= t.row_count && t.can_insert(row);
}

bool delete_allowed(TableWindow& t) {
    const int row = t.current_row;
    return !view_only(t) && t.editing_allowed && t.delete_enabled && row >= 1 && row <= t.row_count &&
           t.can_delete(row);
}

}  // namespace

void refresh_table(TableWindow& t, int current_layout_row) {
    const int count = t.row_list.empty() ? 0 : static_cast<int>(t.row_list.size()) - 1;
    table_set_input_rows(t, t.title, count);
    if (current_layout_row > 0) {
        auto it = std::find(t.row_list.begin() + (t.row_list.empty() ? 0 : 1), t.row_list.end(), current_layout_row);
        if (it != t.row_list.end()) table_goto_row(t, static_cast<int>(it - t.row_list.begin()), 0, false);
    }
    table_invalidate_rows(t);
}

MenuItem table_popup_show_edit(const TableWindow& t, const std::string& name, bool local_axes) {
    MenuItem popup{"", 0, {}};
    popup.items.push_back(MenuItem{(view_only(t) ? "&Show " : "&Edit ") + name, CMD_EDIT_ROW});
    popup.items.push_back(MenuItem{"&List", CMD_LIST});
    if (local_axes) popup.items.push_back(MenuItem{"&Show LCS", CMD_LOCAL_AXES});
    return popup;
}

MenuItem table_popup_show_edit_delete(const TableWindow& t, const std::string& name, bool local_axes) {
    MenuItem popup = table_popup_show_edit(t, name, local_axes);
    if (!view_only(t)) {
        // Before "&List", next to the row's own command.
        popup.items.insert(popup.items.begin() + 1,
                           MenuItem{"&Delete " + name, CMD_DELETE, {}, !t.delete_enabled});
    }
    return popup;
}

MenuItem table_popup_insert_delete(TableWindow& t) {
    MenuItem popup{"", 0, {}};
    popup.items.push_back(MenuItem{"&Insert", CMD_INSERT, {}, !insert_allowed(t)});
    popup.items.push_back(MenuItem{"&Delete", CMD_DELETE, {}, !delete_allowed(t)});
    return popup;
}

void table_update_insert_delete(TableWindow& t, Menu& menu) {
    menu.enable(CMD_INSERT, insert_allowed(t));
    menu.enable(CMD_DELETE, delete_allowed(t));
}

void table_update_insert_delete(TableWindow& t) {
    if (!t.frame) return;
    table_update_insert_delete(t, t.frame->menu);
    frame_update_menu(*t.frame);
}

int table_popup_menu(TableWindow& t, const MenuItem& popup) {
    if (popup.items.empty() || !backend_installed()) return 0;
    const WindowId window = t.view ? t.view->window() : 0;
    // The mouse is kept in the view's own coordinates; a view that shares its
    // window with another (the list window's lower pane) sits at its origin.
    Point at = t.view ? t.view->last_mouse() : Point{};
    if (t.view) {
        at.x += t.view->origin().x;
        at.y += t.view->origin().y;
    }
    const Point screen = window ? backend().client_to_screen(window, at) : at;
    const WindowId owner = t.frame && t.frame->window ? t.frame->window : window;
    const int id = backend().popup_menu(owner, popup, screen);
    if (id != 0) table_send_command(t, id);
    return id;
}

void table_disable_delete(TableWindow& t) {
    t.delete_enabled = false;
    table_update_insert_delete(t);
}

void table_enable_delete(TableWindow& t) {
    t.delete_enabled = true;
    table_update_insert_delete(t);
}

void table_add_insert_item(Frame& frame) {
    if (!frame.menu.contains(CMD_INSERT)) frame.menu.insert_before(CMD_DELETE, MenuItem{"&Insert\tCtrl+Ins", CMD_INSERT});
    frame_update_menu(frame);
}

void table_remove_insert_item(Frame& frame) {
    frame.menu.remove(CMD_INSERT);
    frame_update_menu(frame);
}
