// The keys of the real windows: key events through the Qt backend, as the
// keyboard gives them.
// - ListExactMatch: a value typed into a drop-down list or list box that
//   the list holds chooses exactly that entry (T1 among T1 to T10 in the
//   Anchor dialog, "1" among the thermal load sets 1, 2, 3 and 10, and in
//   every list of every dialog template where one entry begins another),
//   closed and opened.
// - CancelKeepsItem: Escape in the Anchor dialog opened by "Anchor" typed over
//   a limit stop, and Cancel in the Guide dialog chosen over a restraint from
//   the Data types list, leave the row as it was.
// - TableStartsAtInput: after File > New the Materials table takes the
//   first value typed as the material's name.
#include "exchange/batch_import.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "materials/pipe_material.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "supports/support_item.h"
#include "supports/ui/support_dialogs.h"
#include "typed_anchor_sets.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

int key_of(QChar c)
{
    if (c.isDigit())
        return Qt::Key_0 + c.digitValue();
    if (c.isLetter())
        return Qt::Key_A + (c.toUpper().unicode() - 'A');
    switch (c.unicode()) {
    case ' ': return Qt::Key_Space;
    case '.': return Qt::Key_Period;
    case '+': return Qt::Key_Plus;
    case '-': return Qt::Key_Minus;
    default: return Qt::Key_unknown;
    }
}

void press(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &up);
}

// The keys of a text, one after the other.
void type_keys(QWidget* w, const QString& text)
{
    for (const QChar c : text)
        press(w, key_of(c), QString(c), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
}

// The user comes to the list again (Tab or a click): what is typed next is
// a text of its own.
void visit(QWidget* w)
{
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w, &in);
}

// The keys of one text come far apart on a loaded machine; a new visit, not
// a pause, starts the next text in these tests.
class SlowKeys {
public:
    SlowKeys() : interval_(QApplication::keyboardInputInterval()) { QApplication::setKeyboardInputInterval(60000); }
    ~SlowKeys() { QApplication::setKeyboardInputInterval(interval_); }
    SlowKeys(const SlowKeys&) = delete;
    SlowKeys& operator=(const SlowKeys&) = delete;

private:
    int interval_;
};

// The entry a list shows chosen.
QString chosen(QWidget* w)
{
    if (auto* box = qobject_cast<QComboBox*>(w))
        return box->currentText();
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? QString() : selected.first()->text();
    }
    return {};
}

// A value typed into a list, on a new visit: the entry then chosen.
QString typed_into(QWidget* w, const QString& text)
{
    visit(w);
    type_keys(w, text);
    return chosen(w);
}

const SupportItem& support_of(int row)
{
    return dynamic_cast<const SupportItem&>(*model().rows[row].data);
}

int row_of_node(int node)
{
    for (int row = 1; row <= model().numrows(); ++row)
        if (model().rows[row].node == node && model().rows[row].etype != ET_FROM)
            return row;
    return 0;
}

class KeyboardProgram : public GuiProgramTest {
protected:
    explicit KeyboardProgram(const char* name) : GuiProgramTest(name) {}
    // The sample model, saved, so that nothing is modified.
    void open_sample()
    {
        import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
        set_model_file_path((folder / "sample.mod").string());
        ASSERT_TRUE(save_model(0));
        ASSERT_FALSE(model_modified());
    }
    static QWidget* layout_widget() { return gui_backend().widget(layout_view().window()); }
    static QWidget* list_widget() { return gui_backend().widget(list_view().window()); }
    // A layout cell typed into and stored with Enter.
    static void type_layout_cell(int row, int column, const QString& text)
    {
        select_layout_row(row);
        table_goto_row(layout_table(), row, column, true);
        type_keys(layout_widget(), text);
        press(layout_widget(), Qt::Key_Return);
    }
    void SetUp() override
    {
        GuiProgramTest::SetUp();
        slow_keys_.emplace();
    }
    void TearDown() override
    {
        slow_keys_.reset();
        GuiProgramTest::TearDown();
    }

private:
    std::optional<SlowKeys> slow_keys_;
};

class ListExactMatch : public KeyboardProgram {
protected:
    ListExactMatch() : KeyboardProgram("korvane_list_exact_match") {}
};

// Fills every list of a template with entries of which some begin others,
// and types each entry into it, closed and (a drop-down list) opened.
struct TypingInto : DialogProc {
    const QStringList entries = {"1", "2", "3", "10", "T1", "T2", "T10", "W", "W+P", "Guide", "Guide rail"};
    std::vector<int> lists;
    int typed = 0;
    std::vector<std::string> wrong;

    void init(Dialog& d) override
    {
        for (const ControlSpec& c : d.templ().controls) {
            if ((c.kind != ControlKind::Combo && c.kind != ControlKind::List) || (c.flags & CF_EDITABLE))
                continue;
            lists.push_back(c.id);
            d.enable(c.id, true);
            d.show(c.id, true);
            d.list_reset(c.id);
            for (const QString& e : entries)
                d.list_add(c.id, e.toStdString());
            d.list_select(c.id, 1);
        }
    }
    void shown(Dialog& d) override
    {
        QWidget* top = gui_backend().widget(d.window());
        QTimer::singleShot(0, [this, top, &d] {
            for (const int id : lists)
                if (QWidget* w = top ? top->window()->findChild<QWidget*>(item_name(id)) : nullptr)
                    type_each(d, id, w);
            d.end(IDCANCEL);
        });
    }
    void expect(Dialog& d, int id, const QString& typed_text, const QString& shown, const char* how)
    {
        ++typed;
        if (shown != typed_text)
            wrong.push_back(d.templ().name + " " + std::to_string(id) + " " + how + ": \"" +
                            typed_text.toStdString() + "\" chose \"" + shown.toStdString() + "\"");
    }
    void type_each(Dialog& d, int id, QWidget* w)
    {
        // Each entry twice: the second time over itself.
        for (const QString& e : entries)
            for (int again = 0; again < 2; ++again)
                expect(d, id, e, typed_into(w, e), "closed");
        auto* box = qobject_cast<QComboBox*>(w);
        if (!box)
            return;
        for (const QString& e : {QString("1"), QString("T1"), QString("T10"), QString("1")}) {
            box->showPopup();
            QAbstractItemView* view = box->view();
            type_keys(view, e);
            press(view, Qt::Key_Return);
            expect(d, id, e, box->currentText(), "opened");
            if (view->isVisible())
                box->hidePopup();
        }
    }
};

}  // namespace

TEST_F(ListExactMatch, EveryListOfEveryTemplateTakesTheEntryTypedWhole)
{
    int lists = 0, typed = 0;
    for (const DialogTemplate* t : all_dialog_templates()) {
        if (std::none_of(t->controls.begin(), t->controls.end(), [](const ControlSpec& c) {
                return c.kind == ControlKind::Combo || c.kind == ControlKind::List;
            }))
            continue;
        SCOPED_TRACE(t->name);
        TypingInto proc;
        run_dialog(*t, proc, 0);
        EXPECT_TRUE(proc.wrong.empty()) << ::testing::PrintToString(proc.wrong);
        lists += static_cast<int>(proc.lists.size());
        typed += proc.typed;
    }
    EXPECT_GE(lists, 40);
    EXPECT_GE(typed, 40 * 22);
}

TEST_F(ListExactMatch, TheAnchorsSetT1TypedWithItsKeysIsSetOne)
{
    open_sample();
    const int row = row_of_node(12);
    ASSERT_EQ(model().rows[row].dtype, DT_NONE);
    std::vector<QString> shown;
    DialogsByName answers;
    answers.by_name["ANCHOR_DIALOG"] = [&](QDialog* d) {
        QWidget* sets = d->findChild<QComboBox*>(item_name(SUP_DISPLACEMENT_SET));
        auto* dx = d->findChild<QLineEdit*>(item_name(SUP_DISPLACEMENT));
        auto* dy = d->findChild<QLineEdit*>(item_name(SUP_DISPLACEMENT + 1));
        if (!sets || !dx || !dy)
            return d->reject();
        shown.push_back(typed_into(sets, "T1"));   // over T1
        shown.push_back(typed_into(sets, "T10"));
        dy->setText("0.5");
        shown.push_back(typed_into(sets, "T1"));
        dx->setText("0.25");
        click_later(d, IDOK);
    };
    type_layout_cell(row, LAYOUT_DATA, "Anchor");
    EXPECT_EQ(answers.seen, std::vector<std::string>{"ANCHOR_DIALOG"});
    EXPECT_EQ(shown, (std::vector<QString>{"T1", "T10", "T1"}));
    expect_anchor_sets_one_and_ten(row);
    EXPECT_TRUE(answers.messages.empty()) << answers.messages.front();
}

TEST_F(ListExactMatch, OneTypedOverOneInTheThermalLoadSetsStaysOne)
{
    ASSERT_EQ(analysis_options().numtloads, 1);
    std::vector<QString> shown;
    DialogsByName answers;
    answers.by_name["ANALYSIS_OPTIONS_DIALOG"] = [&](QDialog* d) {
        QWidget* sets = d->findChild<QComboBox*>(item_name(OPT_THERMAL_LOAD_SETS));
        if (!sets)
            return d->reject();
        for (const char* typed : {"1", "10", "1"})
            shown.push_back(typed_into(sets, typed));
        click_later(d, IDOK);
    };
    frame_command(main_frame(), CMD_ANALYSIS_OPTIONS);
    EXPECT_EQ(answers.seen, std::vector<std::string>{"ANALYSIS_OPTIONS_DIALOG"});
    EXPECT_EQ(shown, (std::vector<QString>{"1", "10", "1"}));
    EXPECT_EQ(analysis_options().numtloads, 1);
}

namespace {

class CancelKeepsItem : public KeyboardProgram {
protected:
    CancelKeepsItem() : KeyboardProgram("korvane_cancel_keeps_item") {}
};

}  // namespace

TEST_F(CancelKeepsItem, EscapeInTheAnchorDialogLeavesTheLimitStop)
{
    open_sample();
    const int row = row_of_node(25);
    ASSERT_EQ(model().rows[row].dtype, DT_LIMIT_STOP);
    const DataItem* stop = model().rows[row].data.get();
    const LayoutRow copy = model().rows[row];
    DialogsByName answers;
    answers.by_name["ANCHOR_DIALOG"] = [](QDialog* d) {
        QWidget* focus = d->focusWidget();
        press(focus ? focus : d, Qt::Key_Escape);
    };
    type_layout_cell(row, LAYOUT_DATA, "Anchor");
    EXPECT_EQ(answers.seen, std::vector<std::string>{"ANCHOR_DIALOG"});
    EXPECT_EQ(model().rows[row].dtype, DT_LIMIT_STOP);
    EXPECT_EQ(model().rows[row].data.get(), stop);
    EXPECT_TRUE(support_of(row).same_values(*copy.data));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(layout_table().cell_text(row, LAYOUT_DATA, 0), "Limit stop");
}

TEST_F(CancelKeepsItem, CancelInTheGuideChosenOverARestraintLeavesTheRestraint)
{
    open_sample();
    const int row = row_of_node(40);
    ASSERT_EQ(model().rows[row].dtype, DT_RESTRAINT);
    const DataItem* restraint = model().rows[row].data.get();
    const LayoutRow copy = model().rows[row];
    QString chosen_type;
    DialogsByName answers;
    answers.by_name["DATA_TYPES_DIALOG"] = [&](QDialog* d) {
        QWidget* list = d->findChild<QListWidget*>(item_name(LAYOUT_CHOICE_LIST));
        if (!list)
            return d->reject();
        chosen_type = typed_into(list, "Guide");
        press(list, Qt::Key_Return);
    };
    answers.by_name["GUIDE_DIALOG"] = [](QDialog* d) { click_later(d, IDCANCEL); };
    select_layout_row(row);
    frame_command(main_frame(), CMD_DATA_TYPES);
    EXPECT_EQ(chosen_type, "Guide");
    EXPECT_EQ(answers.seen, (std::vector<std::string>{"DATA_TYPES_DIALOG", "GUIDE_DIALOG"}));
    EXPECT_EQ(model().rows[row].dtype, DT_RESTRAINT);
    EXPECT_EQ(model().rows[row].data.get(), restraint);
    EXPECT_TRUE(support_of(row).same_values(*copy.data));
    EXPECT_FALSE(model_modified());
}

namespace {

class TableStartsAtInput : public KeyboardProgram {
protected:
    TableStartsAtInput() : KeyboardProgram("korvane_table_starts_at_input") {}
    static void type_cells(const std::vector<QString>& cells)
    {
        for (const QString& text : cells) {
            type_keys(list_widget(), text);
            press(list_widget(), Qt::Key_Tab);
        }
    }
};

}  // namespace

TEST_F(TableStartsAtInput, TheMaterialsTableAfterFileNewTakesTheNameFirst)
{
    DialogsByName answers;
    answers.by_name["SAVE_CHANGES_DIALOG"] = [](QDialog* d) { click_later(d, IDNO); };
    answers.by_name["NEW_DIALOG"] = [](QDialog* d) { click_later(d, IDOK); };
    frame_command(main_frame(), CMD_MATERIALS);
    ASSERT_EQ(list_window_table(), &materials_table());
    type_cells({"A106B", "Carbon steel", "CS", "0.283", "0.3"});
    ASSERT_GT(materials_table().current_column, 5);

    // New takes the typed row first, as Enter does: a material, which then
    // wants its properties, and New waits.
    frame_command(main_frame(), CMD_NEW);
    EXPECT_EQ(nummats(), 1);
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0].rfind("Properties are required", 0), 0u) << answers.messages[0];
    answers.messages.clear();
    frame_command(main_frame(), CMD_NEW);
    ASSERT_EQ(nummats(), 0);
    frame_command(main_frame(), CMD_MATERIALS);
    EXPECT_EQ(materials_table().current_row, 1);
    EXPECT_EQ(materials_table().current_column, 1);
    type_cells({"A106B"});
    EXPECT_TRUE(answers.messages.empty()) << answers.messages.front();
    EXPECT_EQ(materials_table().cell_text(1, 1, 0), "A106B");
}
