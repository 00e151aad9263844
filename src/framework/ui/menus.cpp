// Menus of the main (layout), list, results and graphics windows.
#include "framework/ui/menus.h"

#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"

#include <deque>

namespace {

using menu::item;
using menu::SEPARATOR;
using menu::popup;

MenuItem recent_models_popup() {
    // Filled from the recent-model list when the menu opens; greyed while empty.
    MenuItem p = popup(RECENT_MODELS_TEXT, {});
    p.disabled = true;
    return p;
}

MenuItem help_popup() {
    return popup("&Help", {
        item("&Help", CMD_HELP),
        item("&Tutorial", CMD_TUTORIAL),
        SEPARATOR,
        item("&About...", CMD_ABOUT),
    });
}

// The model tables of the Misc menus, in the same order in both windows.
std::vector<MenuItem> model_table_items() {
    return {
        item("&Materials", CMD_MATERIALS),
        item("&Sections", CMD_SECTIONS),
        item("S&oils", CMD_SOILS),
        item("&Loads", CMD_PIPE_LOADS),
        item("Beam &Materials", CMD_BEAM_MATERIALS),
        item("Beam &Sections", CMD_BEAM_SECTIONS),
        item("Beam &Loads", CMD_BEAM_LOADS),
        item("&Pumps", CMD_PUMPS),
        item("C&ompressors", CMD_COMPRESSORS),
        item("T&urbines", CMD_TURBINES),
        item("&Allowables", CMD_ALLOWABLES),
        item("Spectrums", CMD_SPECTRUMS),
    };
}

MenuTemplate layout_menu() {
    std::vector<MenuItem> misc = {
        item("Anal&yze\tF12", CMD_ANALYZE),
        item("&Results...\tCtrl+R", CMD_RESULTS),
        SEPARATOR,
        item("Element &types...", CMD_ELEMENT_TYPES),
        item("&Data types...", CMD_DATA_TYPES),
        item("Check &Bends", CMD_CHECK_BENDS),
        SEPARATOR,
    };
    for (const MenuItem& item : model_table_items()) misc.push_back(item);

    return {"LAYOUT_MENU", {
        popup("&File", {
            item("&New...\tCtrl+N", CMD_NEW),
            item("&Open...\tCtrl+O", CMD_OPEN),
            item("&Close", CMD_CLOSE),
            SEPARATOR,
            item("&Save\tCtrl+S", CMD_SAVE),
            item("Save &As...", CMD_SAVE_AS),
            item("&Merge...", CMD_MERGE),
            SEPARATOR,
            item("&Import...", CMD_IMPORT),
            item("&Export to MBF...", CMD_EXPORT),
            item("Export to PC&F...", CMD_EXPORT_PCF),
            item("Export to 3&D Plant Design", CMD_EXPORT_PLANT_DESIGN),
            SEPARATOR,
            item("&Print...\tCtrl+P", CMD_PRINT),
            SEPARATOR,
            recent_models_popup(),
            SEPARATOR,
            item("E&xit\tAlt+F4", CMD_EXIT),
        }),
        popup("&Edit", {
            item("&Edit\tCtrl+E", CMD_EDIT_ROW),
            item("&Insert\tCtrl+Ins", CMD_INSERT),
            item("&Delete\tCtrl+X", CMD_DELETE),
            SEPARATOR,
            item("&Undo\tCtrl+Z", CMD_UNDO),
            item("&Redo\tCtrl+Y", CMD_REDO),
            SEPARATOR,
            item("Copy..\tCtrl+C", CMD_COPY),
            item("Paste..\tCtrl+V", CMD_PASTE),
            SEPARATOR,
            item("&Split...", CMD_SPLIT),
            item("&Generate...", CMD_GENERATE),
            item("Re&number...", CMD_RENUMBER),
            item("R&otate...", CMD_ROTATE),
            item("C&hange...", CMD_CHANGE),
            item("&Find and Replace...", CMD_FIND_REPLACE),
            item("Find &Text...", CMD_FIND_TEXT),
            SEPARATOR,
            item("&Find Node...\tCtrl+F", CMD_FIND_NODE),
        }),
        popup("&View", {
            item("&List...\tCtrl+L", CMD_LIST),
            SEPARATOR,
            item("&Viewpoint...\tF4", CMD_VIEWPOINT),
            item("Zoom &All\tCtrl+A", CMD_ZOOM_ALL),
            item("&Previous View\tF5", CMD_PREVIOUS_VIEW),
        }),
        popup("&Options", {
            item("&Analysis Options...", CMD_ANALYSIS_OPTIONS),
            item("&Units...\tCtrl+U", CMD_UNITS),
            item("&QA Block...", CMD_QA_BLOCK),
            SEPARATOR,
            item("&Font...", CMD_FONT),
            item("Show &Toolbar", CMD_SHOW_TOOLBAR),
            item("&Large Toolbar Buttons", CMD_LARGE_BUTTONS),
            item("&Disable Graphic Editing", CMD_DISABLE_GRAPHIC_EDITING),
        }),
        popup("&Loads", {
            item("Load &Cases...", CMD_LOAD_CASE_LIST),
            SEPARATOR,
            item("&Wind...", CMD_WIND),
            item("&Seismic...", CMD_SEISMIC),
            item("Spec&tra...", CMD_SPECTRA),
            item("&Response Spectrum...", CMD_RESPONSE_SPECTRUM),
            item("&Force Spectra...", CMD_FORCE_SPECTRA),
            item("T&ime Functions...", CMD_TIME_FUNCTIONS),
            item("&Hydrotest...", CMD_HYDROTEST),
        }),
        popup("&Misc", misc),
        popup("&Window", {
            item("&List\tF3", CMD_GO_BACK),
            item("&Graphics\tF2", CMD_GRAPHICS),
        }),
        help_popup(),
    }};
}

MenuTemplate list_menu() {
    return {"LIST_MENU", {
        popup("&File", {
            item("&New...\tCtrl+N", CMD_NEW),
            item("&Open...\tCtrl+O", CMD_OPEN),
            item("&Close", CMD_CLOSE),
            SEPARATOR,
            item("&Save\tCtrl+S", CMD_SAVE),
            item("Save &As...", CMD_SAVE_AS),
            SEPARATOR,
            item("&Print...\tCtrl+P", CMD_PRINT),
            SEPARATOR,
            recent_models_popup(),
            SEPARATOR,
            item("E&xit\tAlt+F4", CMD_EXIT),
        }),
        popup("&Edit", {
            item("&Edit\tCtrl+E", CMD_EDIT_ROW),
            item("&Delete\tCtrl+X", CMD_DELETE),
            SEPARATOR,
            item("Copy..\tCtrl+C", CMD_COPY),
            item("Paste..\tCtrl+V", CMD_PASTE),
            SEPARATOR,
            item("&Find Node...\tCtrl+F", CMD_FIND_NODE),
        }),
        popup("&View", {
            item("&List...\tCtrl+L", CMD_LIST),
            SEPARATOR,
            item("&Viewpoint...\tF4", CMD_VIEWPOINT),
            item("Zoom &All\tCtrl+A", CMD_ZOOM_ALL),
        }),
        popup("&Options", {
            item("&Units...\tCtrl+U", CMD_UNITS),
            item("&QA Block...", CMD_QA_BLOCK),
            SEPARATOR,
            item("&Font...", CMD_FONT),
        }),
        popup("&Misc", model_table_items()),
        popup("&Window", {
            item("L&ayout\tF3", CMD_GO_BACK),
            item("&Graphics\tF2", CMD_GRAPHICS),
        }),
        help_popup(),
    }};
}

// Positions matter to the results code: File 0, View 2, Window 4; the result
// items are inserted before "&Results..." and the mode-shape items before
// "&Graphics\tF2" in View.
MenuTemplate results_menu() {
    return {"RESULTS_MENU", {
        popup("&File", {
            item("&New...\tCtrl+N", CMD_NEW),
            item("&Open...\tCtrl+O", CMD_OPEN),
            recent_models_popup(),
            item("Open &Results...", CMD_OPEN_RESULTS),
            item("&Close", CMD_CLOSE),
            SEPARATOR,
            item("&Print...\tCtrl+P", CMD_PRINT),
            item("&Export...", CMD_EXPORT),
            item("Export to &3D Plant Design...", CMD_EXPORT_PLANT_DESIGN_RESULTS),
            SEPARATOR,
            item("E&xit\tAlt+F4", CMD_EXIT),
        }),
        popup("&Options", {
            item("&Units...\tCtrl+U", CMD_UNITS),
            item("&Font...", CMD_FONT),
            item("&QA Block...", CMD_QA_BLOCK),
        }),
        popup("&View", {
            item("&Viewpoint...\tF4", CMD_VIEWPOINT),
            item("Zoom &All\tCtrl+A", CMD_ZOOM_ALL),
            item("&Previous View\tF5", CMD_PREVIOUS_VIEW),
            item("&Find Node...\tCtrl+F", CMD_FIND_NODE),
            SEPARATOR,
            item("&Thresholds...", CMD_THRESHOLDS),
            item("Color code stresses", CMD_COLOUR_CODING),
            SEPARATOR,
            item("&Graphics\tF2", CMD_GRAPHICS),
        }),
        popup("&Results", {
            item("&Results...\tCtrl+R", CMD_RESULTS),
            item("&Next Result\tTab", CMD_NEXT_RESULT),
            item("&Previous Result\tShift+Tab", CMD_PREVIOUS_RESULT),
            SEPARATOR,
            item("First-Level Checks", CMD_FIRST_LEVEL_CHECKS),
            item("&Center of Gravity...", CMD_CENTER_OF_GRAVITY),
            item("&List...\tCtrl+L", CMD_LIST),
        }),
        popup("&Window", {
            item("&Input\t Ctrl+I", CMD_INPUT),
            item("&List\tF3", CMD_GO_BACK),
            item("L&ayout", CMD_SWITCH_LIST_LAYOUT),
        }),
        help_popup(),
    }};
}

MenuTemplate graphics_menu() {
    return {"GRAPHICS_MENU", {
        popup("&File", {
            item("&Print...\tCtrl+P", CMD_PRINT),
            item("Print Pre&view...", CMD_PRINT_PREVIEW),
            item("Print to &File...", CMD_PRINT_GRAPHICS_TO_FILE),
            SEPARATOR,
            item("Plot &Title...", CMD_PLOT_TITLE),
            item("&Drawing Size...", CMD_DRAWING_SIZE),
            SEPARATOR,
            item("&Copy\tCtrl+C", CMD_COPY),
            SEPARATOR,
            item("&Close", CMD_EXIT),
        }),
        popup("&Edit", {
            item("&Undo", CMD_UNDO),
            item("&Redo", CMD_REDO),
        }),
        popup("&View", {
            item("&Viewpoint...\tF4", CMD_VIEWPOINT),
            item("View &X\tCtrl+Shift+X", CMD_VIEW_X),
            item("View &Y\tCtrl+Shift+Y", CMD_VIEW_Y),
            item("View &Z\tCtrl+Shift+Z", CMD_VIEW_Z),
            item("&ISO View\tCtrl+Shift+I", CMD_VIEW_ISO),
            SEPARATOR,
            item("Zoom &All\tCtrl+A", CMD_ZOOM_ALL),
            item("Zoom &In\tPage Up", CMD_ZOOM_IN),
            item("Zoom &Out\tPage Down", CMD_ZOOM_OUT),
            item("&Previous View\tF5", CMD_PREVIOUS_VIEW),
            item("Re&draw\tCtrl+D", CMD_REDRAW),
            item("C&enter\tCtrl+Shift+C", CMD_CENTER),
            item("&Turn\tCtrl+T", CMD_TURN),
            item("Free&ze View\tF8", CMD_FREEZE_VIEW),
            item("Re&cover Graphics", CMD_RECOVER_GRAPHICS),
            SEPARATOR,
            item("&Render\tCtrl+R", CMD_RENDER),
            item("&Show...\tCtrl+S", CMD_SHOW),
            item("Show &Nodes...\tCtrl+N", CMD_SHOW_NODES),
            item("Dots + N&umbers\tF3", CMD_DOTS_NUMBERS),
            SEPARATOR,
            item("&Hide Current Element\tF6", CMD_HIDE_CURRENT_ELEMENT),
            item("Show A&ll\tF9", CMD_SHOW_ALL_ELEMENTS),
            item("&Make Transparent\tF7", CMD_MAKE_TRANSPARENT),
            item("All Tr&ansparent\tF10", CMD_ALL_TRANSPARENT),
            item("All &Opaque\tF11", CMD_ALL_OPAQUE),
            item("Show/Hide Selected &Elements...\tF12", CMD_HIDE_ELEMENTS),
            SEPARATOR,
            item("Increase Symbol Si&ze\tCtrl+Num 8", CMD_SYMBOL_LARGER),
            item("Decrease Sym&bol Size\tCtrl+Num 2", CMD_SYMBOL_SMALLER),
            item("Ma&gnification...", CMD_MAGNIFICATION),
        }),
        popup("&Options", {
            popup("&Axes", {
                item("&None", CMD_AXES_NONE),
                item("Top &Right", CMD_AXES_TOP_RIGHT),
                item("Top &Left", CMD_AXES_TOP_LEFT),
                item("&Bottom Left", CMD_AXES_BOTTOM_LEFT),
                item("Bottom Ri&ght", CMD_AXES_BOTTOM_RIGHT),
            }),
            popup("&Background", {
                item("&Black", CMD_BACKGROUND_BLACK),
                item("&White", CMD_BACKGROUND_WHITE),
            }),
            popup("Rendering &Quality", {
                item("&Low", CMD_QUALITY_LOW),
                item("&Medium", CMD_QUALITY_MEDIUM),
                item("&High", CMD_QUALITY_HIGH),
            }),
            SEPARATOR,
            item("&Font...", CMD_FONT),
        }),
        popup("&Window", {
            item("&Layout\tF2", CMD_TEXT_WINDOW),
        }),
        help_popup(),
    }};
}

const std::vector<MenuTemplate>& builtin_menus() {
    static const std::vector<MenuTemplate> menus = {layout_menu(), list_menu(), results_menu(),
                                                    graphics_menu()};
    return menus;
}

struct AddedMenus {
    std::deque<MenuTemplate> value{};
};

// Added menus live in a deque so that references to them stay valid.
std::deque<MenuTemplate>& added_menus() {
    return session_part<AddedMenus>().value;
}

}  // namespace

std::string menu_command_name(const std::string& text) {
    std::string name = text.substr(0, text.find('\t'));
    std::erase(name, '&');
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}

const MenuTemplate& menu_resource(const std::string& name) {
    for (const MenuTemplate& m : builtin_menus())
        if (m.name == name) return m;
    for (const MenuTemplate& m : added_menus())
        if (m.name == name) return m;
    throw MessageText("Menu resource not found: " + name);
}

void add_menu_resource(const MenuTemplate& menu) {
    for (const MenuTemplate& m : builtin_menus())
        if (m.name == menu.name) throw MessageText("Menu resource already defined: " + menu.name);
    for (MenuTemplate& m : added_menus())
        if (m.name == menu.name) {
            m = menu;
            return;
        }
    added_menus().push_back(menu);
}

std::vector<std::string> menu_resource_names() {
    std::vector<std::string> names;
    for (const MenuTemplate& m : builtin_menus()) names.push_back(m.name);
    for (const MenuTemplate& m : added_menus()) names.push_back(m.name);
    return names;
}
