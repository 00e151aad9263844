// The menus, accelerator tables and tool bars of the program's windows, found
// by their resource names ("LAYOUT_MENU", "RESULTS_ACCEL", "LAYOUT_TOOLBAR").
// Modules whose windows are built later (libraries, qualification windows) add
// their own with the add_ calls; a name is then found like a built-in one.
#pragma once

#include "platform/keypad_keys.h"
#include "platform/resources.h"

#include <string>
#include <utility>
#include <vector>

// Menus written as data: a command's item, a popup holding `items`, and a
// separator; a menu's code takes the short names with `using menu::item`.
namespace menu {
inline const MenuItem SEPARATOR{};
inline MenuItem item(const std::string& text, int id) { return MenuItem{text, id}; }
inline MenuItem popup(const std::string& text, std::vector<MenuItem> items)
{
    MenuItem p;
    p.text = text;
    p.items = std::move(items);
    return p;
}
}  // namespace menu

// The name of a menu item's command as the guide writes it: its text without
// the & of its access key, the keys after the tab and the dots that promise a
// dialog ("Anal&yze\tF12" is "Analyze", "Copy..\tCtrl+C" is "Copy").
std::string menu_command_name(const std::string& text);

// The text of the recent-models popup in the File menus.
inline constexpr const char* RECENT_MODELS_TEXT = "Recent &Models";

// Both variants of a window's tool bar and the buttons that start hidden.
struct ToolBarPair {
    std::string name;              // such as "LAYOUT_TOOLBAR"
    ToolBar large;
    ToolBar small;
    std::vector<int> hidden;       // command ids shown later by the code that needs them
};

// Each throws MessageText naming the resource when there is none of that name.
const MenuTemplate& menu_resource(const std::string& name);
const AcceleratorTable& accelerator_resource(const std::string& name);
const ToolBarPair& toolbar_resource(const std::string& name);

// Adds a resource, or replaces one of the same name added before; the built-in
// resources cannot be replaced. References handed out earlier stay valid.
void add_menu_resource(const MenuTemplate& menu);
void add_accelerator_resource(const AcceleratorTable& table);
void add_toolbar_resource(const ToolBarPair& bars);

// The names known, built-in first (for tests and diagnostics).
std::vector<std::string> menu_resource_names();
std::vector<std::string> accelerator_resource_names();
