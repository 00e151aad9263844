// Tool bars. Every window has a small (16 x 16) and a large (32 x 32) variant
// with the same buttons and pictures (toolbar_icons.h); the preferences
// choose which one is shown.
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/menus.h"
#include "framework/ui/toolbar_icons.h"

#include <deque>
#include <utility>

namespace {

const ToolButton BAR_SEPARATOR{};

// Gives each button without a picture the one of its icon name.
void add_pictures(std::vector<ToolButton>& buttons) {
    for (ToolButton& b : buttons) {
        if (b.standard != StandardIcon::None || b.paint) continue;
        const ToolIcon icon = tool_icon(b.icon);
        b.standard = icon.standard;
        b.paint = icon.paint;
    }
}

ToolBarPair make_pair(const std::string& name, std::vector<ToolButton> buttons, std::vector<int> hidden) {
    add_pictures(buttons);
    ToolBarPair p;
    p.name = name;
    p.large = ToolBar{name, true, buttons};
    p.small = ToolBar{name, false, buttons};
    p.hidden = std::move(hidden);
    return p;
}

// The graphics window's button is at position 5: the graphics window puts the
// pointer onto it when it hands the focus back.
ToolBarPair layout_bars() {
    return make_pair("LAYOUT_TOOLBAR", {
        {CMD_NEW, "new", "New"},
        {CMD_OPEN, "open", "Open"},
        {CMD_SAVE, "save", "Save"},
        {CMD_PRINT, "print", "Print"},
        BAR_SEPARATOR,
        {CMD_GRAPHICS_BUTTON, "graphics", "Graphics Window"},
        {CMD_LIST, "list", "List"},
        BAR_SEPARATOR,
        {CMD_ANALYZE, "analyze", "Analyze"},
        {CMD_RESULTS, "results", "Results"},
        BAR_SEPARATOR,
        {CMD_HELP, "help", "Help"},
    }, {CMD_RESULTS});   // shown while the model has a results file
}

// The graphics window's button is at position 0 here.
ToolBarPair list_bars() {
    return make_pair("LIST_TOOLBAR", {
        {CMD_GRAPHICS_BUTTON, "graphics", "Graphics Window"},
        {CMD_GO_BACK_BUTTON, "layout", "Layout Window"},
        BAR_SEPARATOR,
        {CMD_PRINT, "print", "Print"},
        BAR_SEPARATOR,
        {CMD_LIBRARY, "library", "Library"},
        {CMD_AISC_LIBRARY, "aisc", "AISC Beam Library"},
        {CMD_HIGHLIGHT_MATERIAL, "highlight", "Highlight"},
        {CMD_HIGHLIGHT_BUTTON, "highlight_off", "Highlight off"},
    }, {CMD_LIBRARY, CMD_AISC_LIBRARY, CMD_HIGHLIGHT_MATERIAL, CMD_HIGHLIGHT_BUTTON});
}

// 26 entries; the graphics window's button is at position 2. Separators carry
// no id (a tool button of id 0 is a separator), so the ones between hidden
// groups stay.
ToolBarPair results_bars() {
    return make_pair("RESULTS_TOOLBAR", {
        {CMD_PRINT, "print", "Print"},
        BAR_SEPARATOR,
        {CMD_GRAPHICS_BUTTON, "graphics", "Graphics Window"},
        {CMD_GO_BACK_BUTTON, "list", "List Window"},
        {CMD_LIST, "list", "List"},
        BAR_SEPARATOR,
        {CMD_VIEWPOINT, "viewpoint", "Viewpoint"},
        {CMD_ZOOM_ALL, "zoom_all", "Zoom All"},
        BAR_SEPARATOR,
        {CMD_RESULTS, "results", "Results"},
        {CMD_PREVIOUS_RESULT, "previous_result", "Previous result"},
        {CMD_NEXT_RESULT, "next_result", "Next result"},
        BAR_SEPARATOR,
        {CMD_LOAD_CASES, "load_cases", "Load cases"},
        {CMD_PREVIOUS_LOAD_CASE, "previous", "Previous load case"},
        {CMD_NEXT_LOAD_CASE, "next", "Next load case"},
        BAR_SEPARATOR,
        {CMD_OTHER_ITEM, "other", "Other"},
        {CMD_PREVIOUS_ITEM, "previous_item", "Previous"},
        {CMD_NEXT_ITEM, "next_item", "Next"},
        BAR_SEPARATOR,
        {CMD_LOCAL_GLOBAL, "global", "Global"},
        {CMD_SHAPE, "shape", "Deflected shape"},
        {CMD_ANIMATE, "animate", "Animate"},
        {CMD_SHOW_STRESSES, "stresses", "Show stresses"},
        {CMD_SHOW_STRESS_RATIOS, "ratios", "Show stress ratios"},
    }, {CMD_LOAD_CASES, CMD_PREVIOUS_LOAD_CASE, CMD_NEXT_LOAD_CASE, CMD_OTHER_ITEM, CMD_PREVIOUS_ITEM,
        CMD_NEXT_ITEM, CMD_LOCAL_GLOBAL, CMD_SHAPE, CMD_ANIMATE, CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS});
}

ToolBarPair graphics_bars() {
    return make_pair("GRAPHICS_TOOLBAR", {
        {CMD_PRINT, "print", "Print"},
        BAR_SEPARATOR,
        {CMD_RENDER, "render", "Render"},
        {CMD_TEXT_WINDOW_BUTTON, "layout", "Layout Window"},
        BAR_SEPARATOR,
        {CMD_VIEWPOINT, "viewpoint", "Viewpoint"},
        {CMD_ZOOM_ALL, "zoom_all", "Zoom all"},
        {CMD_ZOOM_IN_BUTTON, "zoom_in", "Zoom in"},
        {CMD_ZOOM_OUT_BUTTON, "zoom_out", "Zoom out"},
        {CMD_TURN, "turn", "Turn"},
        {CMD_SYMBOL_LARGER, "symbol_larger", "Increase Symbol Size"},
        {CMD_SYMBOL_SMALLER, "symbol_smaller", "Decrease Symbol Size"},
    }, {});
}

const std::vector<ToolBarPair>& builtin_bars() {
    static const std::vector<ToolBarPair> bars = {layout_bars(), list_bars(), results_bars(),
                                                  graphics_bars()};
    return bars;
}

struct AddedToolBars {
    std::deque<ToolBarPair> value{};
};

std::deque<ToolBarPair>& added_bars() {
    return session_part<AddedToolBars>().value;
}

}  // namespace

const ToolBarPair& toolbar_resource(const std::string& name) {
    for (const ToolBarPair& b : builtin_bars())
        if (b.name == name) return b;
    for (const ToolBarPair& b : added_bars())
        if (b.name == name) return b;
    throw MessageText("Tool bar not found: " + name);
}

void add_toolbar_resource(const ToolBarPair& bars) {
    for (const ToolBarPair& b : builtin_bars())
        if (b.name == bars.name) throw MessageText("Tool bar already defined: " + bars.name);
    ToolBarPair pictured = bars;
    add_pictures(pictured.large.buttons);
    add_pictures(pictured.small.buttons);
    for (ToolBarPair& b : added_bars())
        if (b.name == bars.name) {
            b = std::move(pictured);
            return;
        }
    added_bars().push_back(std::move(pictured));
}
