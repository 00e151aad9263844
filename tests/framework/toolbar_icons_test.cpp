// Tool-bar pictures: every button of every tool bar has one, a tool bar added
// later gets them by icon name, and each drawing stays inside its square in
// both tool-bar sizes. (The real windows' icons are checked in tests/gui.)
#include "framework/ui/menus.h"
#include "framework/ui/toolbar_icons.h"
#include "platform/headless/recording_surface.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

bool has_picture(const ToolButton& b) { return b.standard != StandardIcon::None || b.paint != nullptr; }

// The coordinates of a recorded drawing operation, x and y alternately;
// the text of a text operation is skipped.
std::vector<int> coordinates(const std::string& op) {
    std::vector<int> out;
    std::string body = op.substr(op.find(' ') + 1);
    if (op.rfind("arc ", 0) == 0) body = body.substr(0, body.rfind(' ', body.rfind(' ') - 1));   // not the angles
    if (op.rfind("fill ", 0) == 0) body = body.substr(0, body.rfind(' '));                       // not the colour
    for (char& c : body)
        if (c == ',') c = ' ';
    std::istringstream in(body);
    for (int v; in >> v;) out.push_back(v);
    return out;
}

TEST(ToolbarIcons, EveryButtonOfEveryToolBarHasAPictureInBothVariants) {
    for (const char* name : {"LAYOUT_TOOLBAR", "LIST_TOOLBAR", "RESULTS_TOOLBAR", "GRAPHICS_TOOLBAR"}) {
        const ToolBarPair& bars = toolbar_resource(name);
        for (const ToolBar* bar : {&bars.large, &bars.small})
            for (const ToolButton& b : bar->buttons) {
                if (b.id != 0) {
                    EXPECT_TRUE(has_picture(b)) << name << ": " << b.tip << " (" << b.icon << ")";
                }
            }
    }
    // A tool bar added later finds its pictures by icon name; a button whose
    // name has none keeps its text.
    ToolBarPair added;
    added.name = "TEST_TOOLBAR";
    added.large = ToolBar{"TEST_TOOLBAR", true, {{101, "print", "Print"}, {}, {102, "no_such_icon", "Other"}}};
    added.small = ToolBar{"TEST_TOOLBAR", false, added.large.buttons};
    add_toolbar_resource(added);
    const ToolBarPair& found = toolbar_resource("TEST_TOOLBAR");
    for (const ToolBar* bar : {&found.large, &found.small}) {
        EXPECT_EQ(bar->buttons[0].paint, tool_icon("print").paint);
        EXPECT_NE(bar->buttons[0].paint, nullptr);
        EXPECT_FALSE(has_picture(bar->buttons[2]));
    }
}

TEST(ToolbarIcons, EachDrawingStaysInsideItsSquareAndScalesWithIt) {
    for (const std::string& name : tool_icon_names()) {
        const ToolIcon icon = tool_icon(name);
        EXPECT_TRUE(icon.standard != StandardIcon::None || icon.paint) << name;
        if (!icon.paint) continue;
        std::vector<std::vector<int>> drawn;
        for (int size : {16, 32}) {
            RecordingSurface s(size, size);
            icon.paint(s, size);
            std::vector<int> all;
            int shapes = 0;
            for (const std::string& op : s.lines()) {
                const std::string word = op.substr(0, op.find(' '));
                if (word == "pen" || word == "brush" || word == "font" || word == "textcolor" || word == "background")
                    continue;
                ++shapes;
                for (int v : coordinates(op)) {
                    EXPECT_GE(v, 0) << name << " " << size << ": " << op;
                    EXPECT_LE(v, size) << name << " " << size << ": " << op;
                    all.push_back(v);
                }
            }
            EXPECT_GT(shapes, 0) << name;
            drawn.push_back(all);
        }
        // The large picture is the small one twice as big, give or take the rounding.
        ASSERT_EQ(drawn[0].size(), drawn[1].size()) << name;
        for (size_t i = 0; i < drawn[0].size(); ++i) EXPECT_NEAR(drawn[1][i], 2 * drawn[0][i], 1) << name;
    }
}

}  // namespace
