// Typing in a list chooses the entry that is the typed text whole: the rule
// itself, and a scripted dialog's drop-down lists and list boxes that type
// through it.
#include "platform/headless/headless_backend.h"
#include "platform/list_typing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> numbered(const std::string& prefix, int last)
{
    std::vector<std::string> entries;
    for (int k = 1; k <= last; ++k)
        entries.push_back(prefix + std::to_string(k));
    return entries;
}

// The entry that typing `keys` one after another chooses, from `current`.
int typed_from(const std::vector<std::string>& entries, int current, const std::string& keys)
{
    ListTyping typing;
    for (const char key : keys)
        current = typed_list_entry(entries, current, typing.key(std::string(1, key), 0, 400));
    return current;
}

}  // namespace

TEST(ListExactMatch, AnEntryThatIsTheTypedTextIsChosenBeforeALongerOne)
{
    const std::vector<std::string> sets = numbered("T", 10);
    // From every entry shown, T1 gives T1 and T10 gives T10.
    for (int from = -1; from < 10; ++from) {
        SCOPED_TRACE(from);
        EXPECT_EQ(typed_from(sets, from, "T1"), 0);
        EXPECT_EQ(typed_from(sets, from, "T10"), 9);
        EXPECT_EQ(typed_from(sets, from, "t7"), 6);   // either case
    }
    const std::vector<std::string> counts = numbered("", 10);
    EXPECT_EQ(typed_from(counts, 0, "1"), 0);   // "1" over "1" stays 1
    EXPECT_EQ(typed_from(counts, 9, "1"), 0);
    EXPECT_EQ(typed_from(counts, 0, "10"), 9);
    // The longer entry before the shorter one in the list changes nothing.
    const std::vector<std::string> longer_first = {"10", "1", "2"};
    EXPECT_EQ(typed_from(longer_first, 2, "1"), 1);
    EXPECT_EQ(typed_from(longer_first, -1, "1"), 1);
}

TEST(ListExactMatch, APartOfANameFindsItsEntryAndOneKeyAgainStepsOn)
{
    const std::vector<std::string> kinds = {"None", "Anchor", "Restraint", "Skewed restraint", "Hanger", "Guide",
                                            "Limit stop", "Snubber", "Spider"};
    // The entry shown stays while it begins with what is typed.
    EXPECT_EQ(typed_from(kinds, 3, "S"), 3);
    EXPECT_EQ(typed_from(kinds, 3, "Sk"), 3);
    // Else the next entry that begins with it, wrapping round.
    EXPECT_EQ(typed_from(kinds, 1, "S"), 3);
    EXPECT_EQ(typed_from(kinds, 1, "Sp"), 8);
    EXPECT_EQ(typed_from(kinds, 8, "Re"), 2);
    EXPECT_EQ(typed_from(kinds, 0, "lim"), 6);
    // S pressed again and again steps through the entries beginning with S.
    EXPECT_EQ(typed_from(kinds, 1, "SS"), 7);
    EXPECT_EQ(typed_from(kinds, 1, "SSS"), 8);
    EXPECT_EQ(typed_from(kinds, 1, "SSSS"), 3);
    // What begins no entry keeps the entry shown, or none.
    EXPECT_EQ(typed_from(kinds, 4, "X"), 4);
    EXPECT_EQ(typed_from(kinds, -1, "Q"), -1);
    EXPECT_EQ(typed_from({}, -1, "A"), -1);
}

TEST(ListExactMatch, AKeyAfterThePauseStartsANewText)
{
    ListTyping typing;
    EXPECT_EQ(typing.key("T", 1000, 400), "T");
    EXPECT_EQ(typing.key("1", 1300, 400), "T1");
    EXPECT_EQ(typing.key("0", 1800, 400), "0");
    typing.clear();
    EXPECT_EQ(typing.key("A", 1810, 400), "A");
}

namespace {

constexpr int SETS = 1201, COUNT = 1202, KINDS = 1203, TYPED = 1204;

const DialogTemplate LISTS_DIALOG = {"LISTS_DIALOG", "Lists", {
    {SETS, ControlKind::Combo, "Set", 0, 0},
    {COUNT, ControlKind::Combo, "Count", 1, 0},
    {KINDS, ControlKind::List, "Kinds", 2, 0, 1, 0, 0, CF_NONE, 4},
    {TYPED, ControlKind::Combo, "Typed", 3, 0, 1, 0, 0, CF_EDITABLE},
    {IDOK, ControlKind::Button, "OK", 4, 0},
    {IDCANCEL, ControlKind::Button, "Cancel", 4, 1}}};

// Fills the lists and counts the selection changes that reach it.
struct ListsProc : DialogProc {
    int changes = 0;
    void init(Dialog& d) override
    {
        for (const std::string& s : numbered("T", 10)) {
            d.list_add(SETS, s);
            d.list_add(TYPED, s);
        }
        for (const std::string& s : numbered("", 10))
            d.list_add(COUNT, s);
        for (const char* s : {"Guide", "Guide rail", "Gap"})
            d.list_add(KINDS, s);
        d.list_select(SETS, 0);
        d.list_select(COUNT, 0);
    }
    void command(Dialog&, int, int code) override
    {
        if (code == NOTIFY_SELCHANGE)
            ++changes;
    }
};

}  // namespace

TEST(ListExactMatch, AScriptedDialogTypesIntoItsListsAsTheScreenDoes)
{
    HeadlessBackend& hb = install_headless_backend();
    ListsProc proc;
    hb.script().once("LISTS_DIALOG", [&](HeadlessDialog& d) {
        EXPECT_TRUE(d.type(SETS, "T1"));
        EXPECT_EQ(d.text(SETS), "T1");
        EXPECT_EQ(proc.changes, 0);   // the entry shown was the one typed
        EXPECT_TRUE(d.type(SETS, "T10"));
        EXPECT_EQ(d.list_selection(SETS), 9);
        EXPECT_EQ(proc.changes, 1);
        EXPECT_TRUE(d.type(SETS, "T1"));
        EXPECT_EQ(d.list_selection(SETS), 0);
        EXPECT_TRUE(d.type(COUNT, "1"));
        EXPECT_EQ(d.text(COUNT), "1");
        EXPECT_TRUE(d.type(KINDS, "Guide"));
        EXPECT_EQ(d.text(KINDS), "Guide");
        EXPECT_TRUE(d.type(KINDS, "guide r"));
        EXPECT_EQ(d.text(KINDS), "Guide rail");
        // An edit field's text names the entry it is.
        EXPECT_TRUE(d.type(TYPED, "T1"));
        EXPECT_EQ(d.list_selection(TYPED), 0);
        EXPECT_TRUE(d.type(TYPED, "T11"));
        EXPECT_EQ(d.list_selection(TYPED), -1);
        d.press(IDOK);
    });
    EXPECT_EQ(hb.run_dialog(LISTS_DIALOG, proc, 0), IDOK);
    EXPECT_TRUE(hb.script().faults().empty()) << ::testing::PrintToString(hb.script().faults());
    remove_backend();
}
