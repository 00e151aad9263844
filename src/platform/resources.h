// Resource data: dialog templates, menus, accelerator tables and tool bars.
// Everything here is plain data compiled into the program; the backends build
// real windows from it (Qt) or keep its state in memory (headless).
#pragma once

#include <string>
#include <vector>

// Standard command and answer ids shared by dialogs and message boxes.
enum : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
    IDHELP = 9,
};

// Notification codes passed with a control's command.
enum : int {
    NOTIFY_CLICKED = 0,       // push button, radio, check box
    NOTIFY_SELCHANGE = 1,     // combo box or list box selection changed
    NOTIFY_DBLCLK = 2,        // list box double click
    NOTIFY_SETFOCUS = 0x100,  // edit, combo or list gained focus
    NOTIFY_KILLFOCUS = 0x200, // edit, combo or list lost focus
    NOTIFY_CHANGE = 0x300,    // edit text changed by the user
};

enum class ControlKind {
    Edit,      // one-line text field; `text` is the label placed before it
    Static,    // label text
    Combo,     // drop-down list (editable when `flags & CF_EDITABLE`)
    List,      // list box
    Radio,     // radio button; a group of radios is the consecutive run of ids
    Check,     // check box
    Button,    // push button
    Group,     // group box frame with a caption, drawn around a grid area
    Table,     // placeholder for an embedded table view
    Unit,      // a static that shows a unit label such as "(inch)"
};

enum : unsigned {
    CF_NONE = 0,
    CF_DEFAULT = 1 << 0,   // default push button (Enter presses it)
    CF_READONLY = 1 << 1,  // edit starts read-only
    CF_DISABLED = 1 << 2,  // starts disabled
    CF_HIDDEN = 1 << 3,    // starts hidden
    CF_MULTILINE = 1 << 4, // multi-line edit or static
    CF_EDITABLE = 1 << 5,  // combo box with an edit field
    CF_CHECKED = 1 << 6,   // radio or check box starts checked
    CF_PASSWORD = 1 << 7,
    CF_RIGHT = 1 << 8,     // right-aligned text
    CF_CENTER = 1 << 9,    // centred text
    CF_ICON_INFO = 1 << 10,     // static shows the information icon
    CF_ICON_WARNING = 1 << 11,
    CF_ICON_ERROR = 1 << 12,
    CF_ICON_QUESTION = 1 << 13,
    CF_CLICK_CHOOSES = 1 << 14,  // list box: a click on an entry also sends NOTIFY_CLICKED
};

// One control of a dialog template. Controls sit on a simple grid: each
// logical column has a label cell and a field cell, so that an Edit, Combo,
// List or Unit with a `text` shows that text as its label at the left of the
// field. Other kinds span both cells. Rows and columns count from 0.
struct ControlSpec {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    std::string text{};
    int row = 0;
    int col = 0;
    int span = 1;       // logical columns covered
    int limit = 0;      // character limit of an edit (0: none)
    int quantity = 0;   // Unit: the UnitQuantity whose label it shows
    unsigned flags = CF_NONE;
    int rows = 1;       // grid rows covered (list boxes, tables, groups)
};

// Shorthand for a control of a template written in code.
ControlSpec control(int id, ControlKind kind, std::string text, int row, int col, int span = 1,
                    unsigned flags = CF_NONE, int limit = 0, int rows = 1);
// A unit label (Unit control) that shows the label of a quantity's unit,
// after `text` when one is given (such as "Temperature").
ControlSpec unit_control(int id, int row, int col, int quantity, std::string text = "");

struct DialogTemplate {
    std::string name;      // such as "SECTION_DIALOG"
    std::string caption;   // may hold a printf pattern filled by the procedure
    std::vector<ControlSpec> controls;
    int width = 0;         // preferred client size in dialog units (0: natural)
    int height = 0;

    const ControlSpec* find(int id) const;
};

// Menus are trees of items; an item with children is a popup (submenu).
struct MenuItem {
    std::string text{};    // "&Open...\tCtrl+O"; empty text with id 0 is a separator
    int id = 0;
    std::vector<MenuItem> items{};
    bool disabled = false;
    bool checked = false;

    bool is_separator() const { return id == 0 && text.empty() && items.empty(); }
    bool is_popup() const { return !items.empty() || (id == 0 && !text.empty()); }
};

struct MenuTemplate {
    std::string name;      // such as "LAYOUT_MENU"
    std::vector<MenuItem> items;
};

// Key codes of accelerators and key events (the usual virtual-key numbers).
enum : int {
    KEY_BACK = 0x08, KEY_TAB = 0x09, KEY_RETURN = 0x0D, KEY_ESCAPE = 0x1B, KEY_SPACE = 0x20,
    KEY_PRIOR = 0x21, KEY_NEXT = 0x22, KEY_END = 0x23, KEY_HOME = 0x24,
    KEY_LEFT = 0x25, KEY_UP = 0x26, KEY_RIGHT = 0x27, KEY_DOWN = 0x28,
    KEY_INSERT = 0x2D, KEY_DELETE = 0x2E,
    KEY_F1 = 0x70, KEY_F2, KEY_F3, KEY_F4, KEY_F5, KEY_F6, KEY_F7, KEY_F8, KEY_F9, KEY_F10,
    KEY_F11, KEY_F12,
    // letters and digits are their upper-case ASCII codes
};

enum : unsigned {
    MOD_NONE = 0,
    MOD_SHIFT = 1,
    MOD_CONTROL = 2,
    MOD_ALT = 4,
};

struct Accelerator {
    int key = 0;
    unsigned mods = MOD_NONE;
    int id = 0;
};

struct AcceleratorTable {
    std::string name;      // such as "LAYOUT_ACCEL"
    std::vector<Accelerator> entries;

    // The command of a key with its modifiers, 0 when the table has none.
    int command_for(int key, unsigned mods) const;
};

class Surface;

// The window system's own icons that tool buttons use where one fits.
enum class StandardIcon {
    None,
    NewFile,
    Open,
    Save,
    Help,
    ListView,
    DetailView,
    Back,
    Forward,
    Up,
    Down,
    SeekBackward,
    SeekForward,
    Play,
    Reload,
};

// Draws an icon into the square (0, 0)-(size, size) of a surface whose
// background is transparent.
using IconPainter = void (*)(Surface& surface, int size);

// A tool-bar button; id 0 is a separator. Its picture is the standard icon,
// else the drawing; a button with neither shows its tip as text.
struct ToolButton {
    int id = 0;
    std::string icon{};    // the icon's name
    std::string tip{};     // tool tip
    StandardIcon standard = StandardIcon::None;
    IconPainter paint = nullptr;
    bool checked = false;  // a toggle shown pressed in
};

struct ToolBar {
    std::string name;
    bool large = false;
    std::vector<ToolButton> buttons;
};
