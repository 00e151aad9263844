// A field of the screen holds characters: a byte that is no UTF-8 shows as
// U+FFFD, which is three bytes, and a text longer than the field's limit is
// cut. The Qt backend's dialog gives back the bytes it was given while its
// field still shows what it showed, so that the pump dialog's OK keeps a
// description of a control byte, a byte 0x9B and a cut UTF-8 character
// whole, the plain letters between them included; a typed text is what
// the field shows.
#include "gui/pump_line_fixture.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/pump_ui.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <functional>
#include <string>

namespace {

// id, kind, text, row, col, span, limit
const DialogTemplate STORED_TEXT_DIALOG = {"STORED_TEXT_DIALOG", "Stored text", {
    {101, ControlKind::Edit, "&Text", 0, 0, 1, 8},
    {102, ControlKind::Combo, "&Choice", 1, 0, 1, 0, 0, CF_EDITABLE},
    {IDOK, ControlKind::Button, "OK", 100, 0},
    {IDCANCEL, ControlKind::Button, "Cancel", 100, 1},
}};

struct ShownProc : DialogProc {
    std::function<void(Dialog&)> on_shown;
    void shown(Dialog& d) override
    {
        on_shown(d);
        d.end(IDCANCEL);
    }
};

// Four characters of the screen (a plain letter, BEL, U+FFFD for 0x9B and
// another letter) before U+FFFD for the cut character.
const std::string STORED = "P\x07" "C\x9B" "D\xE2";

class DialogKeepsStoredText : public PumpLineTest {};

TEST_F(DialogKeepsStoredText, AFieldGivesBackTheBytesItWasGivenUntilItIsTyped)
{
    ShownProc proc;
    proc.on_shown = [](Dialog& d) {
        QLineEdit* edit = gui_backend().widget(d.window())->window()->findChild<QLineEdit*>(item_name(101));
        ASSERT_NE(edit, nullptr);
        d.set_text(101, STORED);
        d.set_text(102, STORED);
        EXPECT_EQ(edit->text(), QString::fromUtf8("P\x07" "C\xEF\xBF\xBD" "D\xEF\xBF\xBD"));
        for (int id : {101, 102}) {
            EXPECT_TRUE(d.shows_text_given(id)) << id;
            EXPECT_EQ(d.text(id), STORED) << id;
        }
        // Past the limit of 8 the field shows the first 8 characters.
        const std::string long_text = "ABCDEFGHIJ\xFF";
        d.set_text(101, long_text);
        EXPECT_EQ(edit->text(), "ABCDEFGH");
        EXPECT_EQ(d.text(101), long_text);
        // A key typed at the end: the field's text as it shows it.
        edit->setFocus();
        edit->end(false);
        edit->backspace();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "Z");
        QCoreApplication::sendEvent(edit, &press);
        EXPECT_FALSE(d.shows_text_given(101));
        EXPECT_EQ(d.text(101), "ABCDEFGZ");
    };
    run_dialog(STORED_TEXT_DIALOG, proc, 0);
}

TEST_F(DialogKeepsStoredText, OkWithoutAChangeKeepsADescriptionTheFieldCannotShow)
{
    PumpRecord p;
    {
        DialogAnswer typed({{PUMP_DESCRIPTION, "P-1"}, {PUMP_SUCTION, "20"}, {PUMP_DISCHARGE, "30"},
                            {PUMP_SHAFT, "1"}, {PUMP_CENTRE, "5"}});
        ASSERT_EQ(edit_pump(p, 1, main_frame().window), 1);
        ASSERT_TRUE(typed.messages.empty()) << typed.messages.front();
    }
    p.name = "PUMP " + STORED;
    const PumpRecord stored = p;
    {
        DialogAnswer untouched({});
        EXPECT_EQ(edit_pump(p, 1, main_frame().window), 1);
        EXPECT_TRUE(untouched.messages.empty()) << untouched.messages.front();
    }
    EXPECT_EQ(p.name, stored.name);
    EXPECT_TRUE(p == stored);
    {
        DialogAnswer retyped({{PUMP_DESCRIPTION, "  P-2  "}});
        EXPECT_EQ(edit_pump(p, 1, main_frame().window), 1);
    }
    EXPECT_EQ(p.name, "P-2");
}

}  // namespace
