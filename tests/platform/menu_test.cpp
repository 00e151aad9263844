// Live menus, dialog template lookup and accelerator tables.
#include "platform/menu.h"

#include <gtest/gtest.h>

namespace {

MenuTemplate layout_menu() {
    MenuTemplate t;
    t.name = "LAYOUT_MENU";
    t.items = {
        {"&File", 0, {{"&New", 101}, {"&Open...", 102}, {}, {"E&xit", 110}}},
        {"&Edit", 0, {{"&Insert", 128}, {"&Delete", 126}, {"&More", 0, {{"Deep", 500}, {"Deep too", 501}}}}},
        {"&Help", 0, {{"&About", 900}}},
    };
    return t;
}

TEST(MenuTest, FindsStatesAndTexts) {
    Menu m(layout_menu());
    EXPECT_EQ(m.name(), "LAYOUT_MENU");
    ASSERT_NE(m.find(500), nullptr);
    EXPECT_EQ(m.find(500)->text, "Deep");
    EXPECT_EQ(m.find(0), nullptr);   // separators and unnamed popups are no commands
    EXPECT_EQ(m.find(999), nullptr);

    EXPECT_TRUE(m.is_enabled(126));
    EXPECT_TRUE(m.enable(126, false));
    EXPECT_FALSE(m.is_enabled(126));
    EXPECT_FALSE(m.enable(999, false));
    EXPECT_FALSE(m.is_enabled(999));
    EXPECT_TRUE(m.check(501, true));
    EXPECT_TRUE(m.is_checked(501));
    EXPECT_FALSE(m.is_checked(500));
    EXPECT_TRUE(m.set_text(102, "&Open model..."));
    EXPECT_EQ(m.find(102)->text, "&Open model...");

    EXPECT_EQ(m.submenu(1)->text, "&Edit");
    EXPECT_EQ(m.submenu(3), nullptr);
    EXPECT_EQ(m.submenu(-1), nullptr);
    EXPECT_TRUE(m.enable_position(2, false));
    EXPECT_TRUE(m.items()[2].disabled);
    EXPECT_FALSE(m.enable_position(7, false));
}

TEST(MenuTest, InsertAppendRemoveKeepOrder) {
    Menu m(layout_menu());
    EXPECT_TRUE(m.insert_before(126, {"&Split", 700}));
    EXPECT_TRUE(m.insert_before(501, {"Nested", 701}));   // inside a nested popup
    EXPECT_FALSE(m.insert_before(999, {"Lost", 702}));
    EXPECT_FALSE(m.insert_before(0, {"Lost", 703}));
    EXPECT_TRUE(m.append_to(2, {"&Tutorial", 901}));
    EXPECT_FALSE(m.append_to(5, {"Lost", 704}));
    EXPECT_EQ(m.command_ids(), (std::vector<int>{101, 102, 110, 128, 700, 126, 500, 701, 501, 900, 901}));

    m.insert_before(101, {"&New", 700});   // the same id twice: remove takes both
    EXPECT_TRUE(m.remove(700));
    EXPECT_FALSE(m.contains(700));
    EXPECT_FALSE(m.remove(700));
    EXPECT_TRUE(m.remove(500));
    EXPECT_EQ(m.command_ids(), (std::vector<int>{101, 102, 110, 128, 126, 701, 501, 900, 901}));
    // The separator survives.
    EXPECT_TRUE(m.items()[0].items[2].is_separator());
}

TEST(MenuTest, TemplateAndAcceleratorLookup) {
    DialogTemplate t{"X_DIALOG", "X", {{1301, ControlKind::Edit, "A"}, {IDOK, ControlKind::Button, "OK"}}};
    ASSERT_NE(t.find(IDOK), nullptr);
    EXPECT_EQ(t.find(IDOK)->text, "OK");
    EXPECT_EQ(t.find(1302), nullptr);

    AcceleratorTable a{"LAYOUT_ACCEL", {{'O', MOD_CONTROL, 102}, {'O', MOD_CONTROL | MOD_SHIFT, 103}, {KEY_F4, MOD_NONE, 121}}};
    EXPECT_EQ(a.command_for('O', MOD_CONTROL), 102);
    EXPECT_EQ(a.command_for('O', MOD_CONTROL | MOD_SHIFT), 103);
    EXPECT_EQ(a.command_for('O', MOD_NONE), 0);
    EXPECT_EQ(a.command_for(KEY_F4, MOD_NONE), 121);
}

}  // namespace
