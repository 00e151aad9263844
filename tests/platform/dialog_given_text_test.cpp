// The scripted backend's text fields hold what a field of the screen
// holds (a byte that is no UTF-8 as U+FFFD, a text cut at the field's
// limit), and a dialog gives back the bytes its procedure gave a field
// while the field still shows them; typed text is what the field shows.
#include "platform/headless/headless_backend.h"

#include <functional>

#include <gtest/gtest.h>

namespace {

const DialogTemplate GIVEN_TEXT_DIALOG = {"GIVEN_TEXT_DIALOG", "Given text", {
    {1301, ControlKind::Edit, "Limited", 0, 0, 1, 4},
    {1302, ControlKind::Edit, "Free", 1, 0},
    {1202, ControlKind::Combo, "Typed", 2, 0, 1, 0, 0, CF_EDITABLE},
    {1201, ControlKind::Combo, "List", 3, 0},
    {1001, ControlKind::Static, "Label", 4, 0},
    {IDOK, ControlKind::Button, "OK", 10, 0},
    {IDCANCEL, ControlKind::Button, "Cancel", 10, 1}}};

struct Filler : DialogProc {
    std::function<void(Dialog&)> on_init;
    void init(Dialog& d) override { on_init(d); }
};

class DialogKeepsStoredText : public ::testing::Test {
protected:
    void SetUp() override { hb = &install_headless_backend(); }
    void TearDown() override { remove_backend(); }
    HeadlessBackend* hb = nullptr;
};

// BEL, 0x9B, a cut character (E2 alone), the right-to-left override and
// a byte FF, between letters.
const std::string GIVEN = "A\x07" "B\x9B" "C\xE2" "D\xE2\x80\xAE" "E\xFF";
const std::string REPLACEMENT = "\xEF\xBF\xBD";

TEST_F(DialogKeepsStoredText, AFieldShowsWhatTheScreenHoldsAndGivesBackTheBytesItWasGiven)
{
    Filler proc;
    proc.on_init = [](Dialog& d) {
        for (int id : {1301, 1302, 1202, 1001})
            d.set_text(id, GIVEN);
    };
    hb->script().once("GIVEN_TEXT_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.shown_text(1302), "A\x07" "B" + REPLACEMENT + "C" + REPLACEMENT + "D\xE2\x80\xAE" "E" + REPLACEMENT);
        EXPECT_EQ(d.shown_text(1301), "A\x07" "B" + REPLACEMENT);   // four characters
        for (int id : {1301, 1302, 1202}) {
            EXPECT_TRUE(d.shows_text_given(id)) << id;
            EXPECT_EQ(d.text(id), GIVEN) << id;
        }
        // A static is no field: it shows the text as it was given.
        EXPECT_FALSE(d.shows_text_given(1001));
        EXPECT_EQ(d.text(1001), GIVEN);
        // Typed: the text typed.
        EXPECT_TRUE(d.type(1302, "typed"));
        EXPECT_FALSE(d.shows_text_given(1302));
        EXPECT_EQ(d.text(1302), "typed");
        // A limit set after the text cuts what the field shows: a change.
        d.set_limit(1202, 2);
        EXPECT_EQ(d.shown_text(1202), "A\x07");
        EXPECT_FALSE(d.shows_text_given(1202));
        EXPECT_EQ(d.text(1202), "A\x07");
        d.press(IDOK);
    });
    EXPECT_EQ(hb->run_dialog(GIVEN_TEXT_DIALOG, proc, 0), IDOK);
    EXPECT_TRUE(hb->script().faults().empty());
}

// A drop-down list is no text field: setting a text selects its entry, and
// a text that is none leaves it without a selection and without a text.
TEST_F(DialogKeepsStoredText, AListIsNoTextField)
{
    Filler proc;
    proc.on_init = [](Dialog& d) {
        d.list_add(1201, "Steel");
        d.set_text(1201, "Plastic");
    };
    hb->script().once("GIVEN_TEXT_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_selection(1201), -1);
        EXPECT_FALSE(d.shows_text_given(1201));
        EXPECT_EQ(d.text(1201), "");
        d.press(IDCANCEL);
    });
    hb->run_dialog(GIVEN_TEXT_DIALOG, proc, 0);
}

}  // namespace
