// Accelerator tables: the keys each window turns into commands before the
// focused control sees them.
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/menus.h"

#include <deque>

namespace {

constexpr unsigned CTRL = MOD_CONTROL;
constexpr unsigned CTRL_SHIFT = MOD_CONTROL | MOD_SHIFT;

// The keys every input window shares: files, printing, help and the windows.
std::vector<Accelerator> file_keys() {
    return {
        {'N', CTRL, CMD_NEW},
        {'O', CTRL, CMD_OPEN},
        {'S', CTRL, CMD_SAVE},
        {'P', CTRL, CMD_PRINT},
        {'U', CTRL, CMD_UNITS},
        {'L', CTRL, CMD_LIST},
        {KEY_F1, MOD_NONE, CMD_HELP},
        {KEY_F2, MOD_NONE, CMD_GRAPHICS},
        {KEY_F3, MOD_NONE, CMD_GO_BACK},
    };
}

// The main window before any document window takes the keys over.
AcceleratorTable main_accel() {
    AcceleratorTable t{"MAIN_ACCEL", file_keys()};
    t.entries.push_back({'R', CTRL, CMD_RESULTS});
    t.entries.push_back({KEY_F12, MOD_NONE, CMD_ANALYZE});
    return t;
}

AcceleratorTable layout_accel() {
    AcceleratorTable t{"LAYOUT_ACCEL", file_keys()};
    for (const Accelerator& a : std::vector<Accelerator>{
             {'E', CTRL, CMD_EDIT_ROW},
             {KEY_INSERT, CTRL, CMD_INSERT},
             {'X', CTRL, CMD_DELETE},
             {'Z', CTRL, CMD_UNDO},
             {'Y', CTRL, CMD_REDO},
             {'C', CTRL, CMD_COPY},
             {'V', CTRL, CMD_PASTE},
             {'F', CTRL, CMD_FIND_NODE},
             {'A', CTRL, CMD_ZOOM_ALL},
             {'R', CTRL, CMD_RESULTS},
             {KEY_F4, MOD_NONE, CMD_VIEWPOINT},
             {KEY_F5, MOD_NONE, CMD_PREVIOUS_VIEW},
             {KEY_F12, MOD_NONE, CMD_ANALYZE},
         })
        t.entries.push_back(a);
    return t;
}

AcceleratorTable list_accel() {
    AcceleratorTable t{"LIST_ACCEL", file_keys()};
    for (const Accelerator& a : std::vector<Accelerator>{
             {'E', CTRL, CMD_EDIT_ROW},
             {KEY_INSERT, CTRL, CMD_INSERT},
             {'I', CTRL, CMD_INSERT},
             {'X', CTRL, CMD_DELETE},
             {'C', CTRL, CMD_COPY},
             {'V', CTRL, CMD_PASTE},
             {'F', CTRL, CMD_FIND_NODE},
             {'A', CTRL, CMD_ZOOM_ALL},
             {KEY_F4, MOD_NONE, CMD_VIEWPOINT},
         })
        t.entries.push_back(a);
    return t;
}

AcceleratorTable results_accel() {
    return {"RESULTS_ACCEL", {
        {'A', CTRL, CMD_ZOOM_ALL},
        {'A', CTRL_SHIFT, CMD_ANIMATE},
        {'D', CTRL, CMD_SHAPE},
        {'F', CTRL, CMD_FIND_NODE},
        {'I', CTRL, CMD_INPUT},
        {'L', CTRL, CMD_LIST},
        {'N', CTRL, CMD_NEW},
        {'O', CTRL, CMD_OPEN},
        {'P', CTRL, CMD_PRINT},
        {'R', CTRL, CMD_RESULTS},
        {'S', CTRL, CMD_SAVE},          // does nothing in this window, but is not typed into a table either
        {'U', CTRL, CMD_UNITS},
        {KEY_F1, MOD_NONE, CMD_HELP},
        {KEY_F2, MOD_NONE, CMD_GRAPHICS},
        {KEY_F3, MOD_NONE, CMD_GO_BACK},
        {KEY_F4, MOD_NONE, CMD_VIEWPOINT},
        {KEY_F5, MOD_NONE, CMD_PREVIOUS_VIEW},
        {KEY_F6, MOD_NONE, CMD_OTHER_ITEM},
        {KEY_F7, MOD_NONE, CMD_LOCAL_GLOBAL},
        {KEY_LEFT, CTRL, CMD_PREVIOUS_ITEM},
        {KEY_RIGHT, CTRL, CMD_NEXT_ITEM},
    }};
}

AcceleratorTable graphics_accel() {
    return {"GRAPHICS_ACCEL", {
        {'A', CTRL, CMD_ZOOM_ALL},
        {'C', CTRL, CMD_COPY},
        {'C', CTRL_SHIFT, CMD_CENTER},
        {'D', CTRL, CMD_REDRAW},
        {'I', CTRL_SHIFT, CMD_VIEW_ISO},
        {'N', CTRL, CMD_SHOW_NODES},
        {'P', CTRL, CMD_PRINT},
        {'R', CTRL, CMD_RENDER},
        {'S', CTRL, CMD_SHOW},
        {'T', CTRL, CMD_TURN},
        {KEY_F1, MOD_NONE, CMD_HELP},
        {KEY_F2, MOD_NONE, CMD_TEXT_WINDOW},
        {KEY_F3, MOD_NONE, CMD_DOTS_NUMBERS},
        {KEY_F4, MOD_NONE, CMD_VIEWPOINT},
        {KEY_F5, MOD_NONE, CMD_PREVIOUS_VIEW},
        {KEY_F6, MOD_NONE, CMD_HIDE_CURRENT_ELEMENT},
        {KEY_F7, MOD_NONE, CMD_MAKE_TRANSPARENT},
        {KEY_F8, MOD_NONE, CMD_FREEZE_VIEW},
        {KEY_F9, MOD_NONE, CMD_SHOW_ALL_ELEMENTS},
        {KEY_F10, MOD_NONE, CMD_ALL_TRANSPARENT},
        {KEY_F11, MOD_NONE, CMD_ALL_OPAQUE},
        {KEY_F12, MOD_NONE, CMD_HIDE_ELEMENTS},
        {KEY_NUMPAD2, CTRL, CMD_SYMBOL_SMALLER},
        {KEY_NUMPAD8, CTRL, CMD_SYMBOL_LARGER},
        {'X', CTRL_SHIFT, CMD_VIEW_X},
        {'Y', CTRL_SHIFT, CMD_VIEW_Y},
        {'Z', CTRL_SHIFT, CMD_VIEW_Z},
    }};
}

const std::vector<AcceleratorTable>& builtin_tables() {
    static const std::vector<AcceleratorTable> tables = {main_accel(), layout_accel(), list_accel(),
                                                         graphics_accel(), results_accel()};
    return tables;
}

struct AddedAccelerators {
    std::deque<AcceleratorTable> value{};
};

std::deque<AcceleratorTable>& added_tables() {
    return session_part<AddedAccelerators>().value;
}

}  // namespace

const AcceleratorTable& accelerator_resource(const std::string& name) {
    for (const AcceleratorTable& t : builtin_tables())
        if (t.name == name) return t;
    for (const AcceleratorTable& t : added_tables())
        if (t.name == name) return t;
    throw MessageText("Accelerator table not found: " + name);
}

void add_accelerator_resource(const AcceleratorTable& table) {
    for (const AcceleratorTable& t : builtin_tables())
        if (t.name == table.name) throw MessageText("Accelerator table already defined: " + table.name);
    for (AcceleratorTable& t : added_tables())
        if (t.name == table.name) {
            t = table;
            return;
        }
    added_tables().push_back(table);
}

std::vector<std::string> accelerator_resource_names() {
    std::vector<std::string> names;
    for (const AcceleratorTable& t : builtin_tables()) names.push_back(t.name);
    for (const AcceleratorTable& t : added_tables()) names.push_back(t.name);
    return names;
}
