// A chord that no underlined letter, menu or command of the window takes
// changes no control's value, on the real windows under a window manager
// with real keys: every control that chooses, checks, steps or types in
// every dialog template (its lists filled with an entry for each letter),
// in the font dialog and in the page setup keeps its value through Alt,
// Ctrl and Shift with a letter no underlined letter of the dialog takes and
// with the keys by which lists, boxes and spin boxes step; the Piping code
// list of Analysis Options, reached by its underlined letter, keeps its code
// through Alt+R and Alt+Shift+B, and the model saved after OK is as before.
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "gui/window_manager.h"
#include "gui/window_user.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/model_commands.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QFontDialog>
#include <QKeySequence>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QRadioButton>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The chords tried on every control: 0 stands for a letter that no
// underlined letter of the dialog takes (and that is no key of a text field
// with Ctrl, as V, Z and K are); the others step, choose or check.
struct Chord {
    int key;
    Qt::KeyboardModifiers mods;
};
constexpr Qt::KeyboardModifiers ALT = Qt::AltModifier, CTRL = Qt::ControlModifier, SHIFT = Qt::ShiftModifier;
const Chord CHORDS[] = {{0, ALT}, {0, ALT | SHIFT}, {0, CTRL}, {0, CTRL | ALT},
                        {Qt::Key_Down, CTRL}, {Qt::Key_Up, CTRL}, {Qt::Key_Up, ALT}, {Qt::Key_PageDown, CTRL},
                        {Qt::Key_End, CTRL | SHIFT}, {Qt::Key_Space, CTRL}, {Qt::Key_Right, ALT}};
const QString CHORD_LETTERS = "RBQGJLNOPST";

// The kind of control a widget is and the value it holds; no kind for a
// widget that holds none (a text field of a drop-down list or spin box is theirs).
std::pair<const char*, QString> value_of(const QWidget* w)
{
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return {"drop-down list", c->currentText()};
    if (auto* v = qobject_cast<const QAbstractItemView*>(w)) {
        QString rows = QString::number(v->currentIndex().row());
        for (const QModelIndex& i : v->selectionModel() ? v->selectionModel()->selectedIndexes() : QModelIndexList())
            rows += " " + QString::number(i.row());
        return {"list", rows};
    }
    if (auto* b = qobject_cast<const QAbstractButton*>(w); b && b->isCheckable())
        return {qobject_cast<const QRadioButton*>(w) ? "radio button" : "check box", b->isChecked() ? "on" : "off"};
    if (auto* s = qobject_cast<const QAbstractSpinBox*>(w))
        return {"spin box", s->text()};
    const QWidget* holder = w->parentWidget();
    if (auto* e = qobject_cast<const QLineEdit*>(w);
        e && !qobject_cast<const QComboBox*>(holder) && !qobject_cast<const QAbstractSpinBox*>(holder))
        return {"text field", e->text()};
    return {nullptr, {}};
}

std::map<const QWidget*, QString> values_of(const QWidget* top)
{
    std::map<const QWidget*, QString> values;
    for (const QWidget* w : top->findChildren<QWidget*>())
        if (auto [kind, value] = value_of(w); kind)
            values[w] = value;
    return values;
}

// The first of CHORD_LETTERS that no underlined letter of the dialog takes.
QChar free_letter(const QWidget* top)
{
    QString taken;
    for (const QWidget* w : top->findChildren<QWidget*>()) {
        const auto* l = qobject_cast<const QLabel*>(w);
        const auto* b = qobject_cast<const QAbstractButton*>(w);
        const auto* g = qobject_cast<const QGroupBox*>(w);
        taken += QKeySequence::mnemonic(l ? l->text() : b ? b->text() : g ? g->title() : QString()).toString();
    }
    for (const QChar c : CHORD_LETTERS)
        if (!taken.contains("Alt+" + QString(c)))
            return c;
    return {};
}

// The chords over every control of dialogs; what each changed.
struct ChordWalk {
    std::map<std::string, int> walked;   // controls by kind
    std::vector<std::string> changes;

    void walk(QWidget* top, const std::string& name)
    {
        const QChar letter = free_letter(top);
        if (letter.isNull() || !gui_wait_for([top] { return QApplication::activeWindow() == top; })) {
            changes.push_back(name + ": no free letter, or never the active window");
            return;
        }
        for (QWidget* w : top->findChildren<QWidget*>()) {
            const char* kind = value_of(w).first;
            if (!kind || !w->isVisible() || !w->isEnabled() || w->focusPolicy() == Qt::NoFocus)
                continue;
            ++walked[kind];
            for (const Chord& c : CHORDS) {
                const int key = c.key ? c.key : Qt::Key_A + (letter.unicode() - 'A');
                QString text;   // a letter's: with Ctrl its control character
                if (!c.key)
                    text = (c.mods & CTRL) ? QChar(key - Qt::Key_A + 1) : (c.mods & SHIFT) ? letter : letter.toLower();
                w->setFocus(Qt::OtherFocusReason);
                const auto before = values_of(top);
                WindowUser::chord(w, key, c.mods, text);
                if (values_of(top) != before)
                    changes.push_back(name + " " + w->objectName().toStdString() + " (" + kind + "): " +
                                      QKeySequence(QKeyCombination(c.mods, Qt::Key(key))).toString().toStdString());
            }
        }
    }
};

// A template with its lists filled (an entry for each letter, the first chosen), walked.
struct FilledDialog : DialogProc {
    explicit FilledDialog(ChordWalk& w) : chords(w) {}
    ChordWalk& chords;
    void init(Dialog& d) override
    {
        for (const ControlSpec& c : d.templ().controls)
            if (c.kind == ControlKind::Combo || c.kind == ControlKind::List) {
                for (char letter = 'A'; letter <= 'Z'; ++letter)
                    d.list_add(c.id, letter + std::string(" entry"));
                d.list_select(c.id, 0);
            }
    }
    void shown(Dialog& d) override
    {
        QWidget* top = gui_backend().widget(d.window())->window();
        QTimer::singleShot(0, top, [this, top, &d] {
            chords.walk(top, d.templ().name);
            d.end(IDCANCEL);
        });
    }
};

class StrayChordsChangeNoChoice : public WithWindowManager<GuiProgramTest> {
protected:
    StrayChordsChangeNoChoice() : WithWindowManager<GuiProgramTest>("korvane_stray_chords") {}
};

}  // namespace

TEST_F(StrayChordsChangeNoChoice, NoChordChangesAControlOfAnyDialog)
{
    ChordWalk chords;
    for (const DialogTemplate* t : all_dialog_templates()) {
        FilledDialog proc(chords);
        run_dialog(*t, proc, 0);
    }
    QFontDialog font;
    font.setOption(QFontDialog::DontUseNativeDialog);
    QPrinter printer;
    QPageSetupDialog page(&printer);
    for (QDialog* d : std::initializer_list<QDialog*>{&font, &page}) {
        d->show();
        chords.walk(d, d->windowTitle().toStdString());
        d->hide();
    }
    EXPECT_TRUE(chords.changes.empty()) << chords.changes.size() << " changes: " << chords.changes.front();
    for (const char* kind : {"drop-down list", "list", "check box", "radio button", "spin box", "text field"})
        EXPECT_GT(chords.walked[kind], 0) << kind;
}

// Alt+C (Piping &code) puts the focus on the list; Alt+R (RCC-M) and
// Alt+Shift+B (B31.4) leave its code; Enter is OK.
TEST_F(StrayChordsChangeNoChoice, AltRAndAltShiftBOverThePipingCodeLeaveTheSavedModel)
{
    WindowUser user;
    const fs::path model = folder / "sample.mod";
    fs::copy_file(fs::path(KV_PROGRAM_PATH).parent_path() / "sample.mod", model);
    user.answer_file(model.string());
    ASSERT_TRUE(user.menu(main_frame(), {"File", "Open"}));
    auto saved = [&model] {
        EXPECT_TRUE(save_model(main_frame().window));
        std::ifstream in(model, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string before = saved();
    std::vector<std::string> shown;   // the code at first and after each chord
    user.on("ANALYSIS_OPTIONS_DIALOG", [&shown](QDialog* d) {
        auto* codes = WindowUser::item<QComboBox>(d, OPT_PIPING_CODE);
        ASSERT_TRUE(gui_wait_for([d] { return QApplication::activeWindow() == d; }));
        WindowUser::chord(d->focusWidget(), Qt::Key_C, ALT, "c");
        ASSERT_EQ(d->focusWidget(), codes);
        shown.push_back(codes->currentText().toStdString());
        WindowUser::chord(codes, Qt::Key_R, ALT, "r");
        shown.push_back(codes->currentText().toStdString());
        WindowUser::chord(codes, Qt::Key_B, ALT | SHIFT, "B");
        shown.push_back(codes->currentText().toStdString());
        WindowUser::key(codes, Qt::Key_Return);
    });
    ASSERT_TRUE(user.menu(main_frame(), {"Options", "Analysis Options"}));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown, std::vector<std::string>(3, shown[0]));
    EXPECT_TRUE(saved() == before) << "the model saved again differs";
}
