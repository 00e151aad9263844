// Where the keys go in the real windows: the order Tab takes through a
// dialog, the cell a table opens on, and the Tutorial's dialogs typed with
// their keys.
// - DialogTabOrder: every dialog template, built by the Qt backend, is
//   tabbed through from its first field; Tab visits each enabled field once,
//   in the order the dialog shows them (a group box as one block where it
//   stands, the rest line by line, left to right), and a push button only
//   after the fields of its group (outside groups, after all of them).
// - TableReopen: the Pipe Loads table, left on row 2 in the T2 column, opens
//   again on the first column of its row after Window > Layout, after New and
//   after Open.
// - TutorialByTab: the Tutorial's Sections, Bend, Reducer and Valve steps
//   typed with their keys give the values it names.
#include "elements/bend.h"
#include "elements/element_dialog_ids.h"
#include "elements/reducer.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/element_ui.h"
#include "elements/valve.h"
#include "exchange/batch_import.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "gui/window_manager.h"
#include "loads/pipe_load.h"
#include "loads/ui/pipe_load_ui.h"
#include "materials/pipe_section.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

void press(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &up);
}

int key_of(QChar c)
{
    if (c.isDigit())
        return Qt::Key_0 + c.digitValue();
    if (c.isLetter())
        return Qt::Key_A + (c.toUpper().unicode() - 'A');
    return c == '.' ? Qt::Key_Period : c == '-' ? Qt::Key_Minus : Qt::Key_unknown;
}

// The keys of a text typed into the widget that has the focus in `window`;
// "\t" is Tab.
void type_keys(QWidget* window, const QString& text)
{
    for (const QChar c : text) {
        QWidget* focus = window->focusWidget() ? window->focusWidget() : window;
        if (c == '\t')
            press(focus, Qt::Key_Tab);
        else
            press(focus, key_of(c), QString(c), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

bool is_field(QWidget* w)
{
    return qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QListWidget*>(w) ||
           qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w);
}

bool takes_tab(QWidget* w) { return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus); }

// The order a reader takes through a dialog, from where its widgets stand:
// a group box is one block where it stands, and blocks and the fields of a
// block go line by line (tops within a few pixels are one line), left to
// right.
class VisualOrder {
public:
    explicit VisualOrder(QWidget* top) : top_(top)
    {
        for (QGroupBox* g : top->findChildren<QGroupBox*>())
            if (g->isVisible())
                groups_.push_back(g);
    }
    // The smallest group box that holds a widget; null for none.
    QGroupBox* group_of(QWidget* w) const
    {
        const QRect r = rect_in(w, top_);
        QGroupBox* inner = nullptr;
        for (QGroupBox* g : groups_) {
            const QRect gr = rect_in(g, top_);
            if (gr.contains(r) && (!inner || gr.width() * gr.height() < inner->width() * inner->height()))
                inner = g;
        }
        return inner;
    }
    std::vector<QWidget*> sorted(std::vector<QWidget*> widgets) const
    {
        std::stable_sort(widgets.begin(), widgets.end(), [&](QWidget* a, QWidget* b) { return key(a) < key(b); });
        return widgets;
    }

private:
    static constexpr int SAME_LINE = 6;   // pixels
    int line(int y) const { return (y + SAME_LINE / 2) / SAME_LINE; }
    std::tuple<int, int, int, int> key(QWidget* w) const
    {
        const QRect r = rect_in(w, top_);
        QWidget* block = group_of(w);
        const QRect b = block ? rect_in(block, top_) : r;
        return {line(b.top()), b.left(), line(r.top()), r.left()};
    }
    QWidget* top_;
    std::vector<QGroupBox*> groups_;
};

// Tabs once round a dialog from its first field and checks the order.
struct TabRound : DialogProc {
    int fields = 0;
    std::vector<std::string> faults;

    void shown(Dialog& d) override
    {
        QWidget* top = gui_backend().widget(d.window());
        QTimer::singleShot(50, top, [this, top, &d] {
            check(top->window(), d.templ().name);
            d.end(IDCANCEL);
        });
    }
    void check(QWidget* top, const std::string& name)
    {
        std::vector<QWidget*> items;
        for (QWidget* w : top->findChildren<QWidget*>())
            if (w->objectName().startsWith("item_") && takes_tab(w))
                items.push_back(w);
        const VisualOrder visual(top);
        std::vector<QWidget*> expected;
        for (QWidget* w : visual.sorted(items))
            if (is_field(w))
                expected.push_back(w);
        if (expected.empty())
            return;
        fields += static_cast<int>(expected.size());

        // Tab round from the first field, until it comes back or has gone
        // twice as far as there are items.
        expected.front()->setFocus(Qt::TabFocusReason);
        std::vector<QWidget*> round{expected.front()};
        for (size_t step = 0; step < 2 * items.size() + 2; ++step) {
            QWidget* focus = top->focusWidget();
            if (!focus)
                break;
            press(focus, Qt::Key_Tab);
            QWidget* now = item_of(top->focusWidget());
            if (!now || now == expected.front())
                break;
            round.push_back(now);
        }
        std::vector<QWidget*> visited;
        for (QWidget* w : round)
            if (is_field(w))
                visited.push_back(w);
        auto names = [](const std::vector<QWidget*>& ws) {
            std::string s;
            for (QWidget* w : ws)
                s += w->objectName().mid(5).toStdString() + " ";
            return s;
        };
        if (visited != expected)
            faults.push_back(name + ": Tab visits " + names(visited) + "; the dialog shows " + names(expected));

        // A push button comes after every field it serves.
        for (size_t b = 0; b < round.size(); ++b) {
            if (!qobject_cast<QPushButton*>(round[b]))
                continue;
            QGroupBox* group = visual.group_of(round[b]);
            for (size_t f = b + 1; f < round.size(); ++f)
                if (is_field(round[f]) && visual.group_of(round[f]) == group)
                    faults.push_back(name + ": button " + round[b]->objectName().toStdString() + " before field " +
                                     round[f]->objectName().toStdString());
        }
    }
};

int row_of_node(int node)
{
    for (int row = 1; row <= model().numrows(); ++row)
        if (model().rows[row].node == node && model().rows[row].etype != ET_FROM)
            return row;
    return 0;
}

// ---- Tables ------------------------------------------------------------------------

class TableReopen : public GuiProgramTest {
protected:
    TableReopen() : GuiProgramTest("korvane_table_reopen") {}
    void open_sample()
    {
        import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
        set_model_file_path((folder / "sample.mod").string());
        ASSERT_TRUE(save_model(0));
    }
    static QWidget* list_widget() { return gui_backend().widget(list_view().window()); }
    // The T2 column of the Pipe Loads table: the one headed "T2".
    static int t2_column()
    {
        TableWindow& t = pipe_loads_table();
        for (int c = 1; c <= t.columns(); ++c)
            if (t.header_text(c, 0) == "T2")
                return c;
        return 0;
    }
    // Two loads, the caret left on the second in T2.
    void leave_on_row_2_at_t2()
    {
        open_pipe_loads_table();
        ASSERT_EQ(list_window_table(), &pipe_loads_table());
        TableWindow& t = pipe_loads_table();
        table_goto_row(t, t.row_count, 1, true);
        type_keys(list_widget(), "HYDRO\t100");
        press(list_widget(), Qt::Key_Return);
        ASSERT_EQ(numloads(), 2);
        ASSERT_GT(t2_column(), 1);
        table_goto_row(t, 2, t2_column(), true);
        ASSERT_EQ(t.current_column, t2_column());
    }
};

}  // namespace

TEST(DialogTabOrder, EveryDialogTabsThroughItsFieldsAsItShowsThem)
{
    gui_backend();
    int dialogs = 0, fields = 0;
    for (const DialogTemplate* t : all_dialog_templates()) {
        SCOPED_TRACE(t->name);
        TabRound proc;
        run_dialog(*t, proc, 0);
        EXPECT_TRUE(proc.faults.empty()) << ::testing::PrintToString(proc.faults);
        dialogs += proc.fields > 0;
        fields += proc.fields;
    }
    EXPECT_GE(dialogs, 90);
    EXPECT_GE(fields, 500);
}

TEST(DialogTabOrder, TheReducerGoesFromThk1ToOd2AndTheSectionButtonsAfter)
{
    gui_backend();
    struct Proc : DialogProc {
        std::vector<int> order;
        void shown(Dialog& d) override
        {
            QWidget* top = gui_backend().widget(d.window());
            QTimer::singleShot(50, top, [this, top, &d] {
                QWidget* od1 = top->window()->findChild<QWidget*>(item_name(REDUCER_OD1));
                od1->setFocus(Qt::TabFocusReason);
                for (int i = 0; i < 6; ++i) {
                    press(top->window()->focusWidget(), Qt::Key_Tab);
                    order.push_back(item_id_of(top->window()->focusWidget()));
                }
                d.end(IDCANCEL);
            });
        }
    } proc;
    run_dialog(REDUCER_DIALOG, proc, 0);
    const std::vector<int> expected = {REDUCER_THK1, REDUCER_OD2, REDUCER_THK2, REDUCER_SECTION1, REDUCER_SECTION2,
                                       IDOK};
    EXPECT_EQ(proc.order, expected);
}

TEST_F(TableReopen, PipeLoadsOpenOnTheFirstColumnAfterWindowLayout)
{
    open_sample();
    leave_on_row_2_at_t2();
    frame_command(list_frame(), CMD_TEXT_WINDOW);   // Window > Layout
    // The current layout row names OPER, the first load.
    select_layout_row(row_of_node(12));
    frame_command(main_frame(), CMD_PIPE_LOADS);   // Misc > Loads
    TableWindow& t = pipe_loads_table();
    EXPECT_EQ(list_window_table(), &t);
    EXPECT_EQ(t.current_row, 1);
    EXPECT_EQ(t.current_column, 1);
}

TEST_F(TableReopen, PipeLoadsOpenOnTheFirstColumnAfterNewAndOpen)
{
    open_sample();
    leave_on_row_2_at_t2();
    ASSERT_TRUE(save_model(0));
    const std::string path = (folder / "sample.mod").string();

    DialogsByName answers;
    answers.by_name["SAVE_CHANGES_DIALOG"] = [](QDialog* d) { click_later(d, IDNO); };
    answers.by_name["NEW_DIALOG"] = [](QDialog* d) { click_later(d, IDOK); };
    frame_command(main_frame(), CMD_NEW);
    ASSERT_EQ(numloads(), 0);
    frame_command(main_frame(), CMD_PIPE_LOADS);
    TableWindow& t = pipe_loads_table();
    EXPECT_EQ(t.current_row, 1);   // the empty input row
    EXPECT_EQ(t.current_column, 1);

    table_goto_row(t, 1, 1, true);
    open_model_file(path);
    ASSERT_EQ(numloads(), 2);
    select_layout_row(row_of_node(12));
    table_goto_row(t, 2, t2_column(), true);
    frame_command(main_frame(), CMD_PIPE_LOADS);
    EXPECT_EQ(t.current_row, 1);
    EXPECT_EQ(t.current_column, 1);
    EXPECT_TRUE(answers.messages.empty()) << answers.messages.front();
}

// ---- The Tutorial by its keys ------------------------------------------------------

namespace {

class TutorialByTab : public GuiProgramTest {
protected:
    TutorialByTab() : GuiProgramTest("korvane_tutorial_by_tab") {}
    void SetUp() override
    {
        // Alt and a letter reach a button only in the active window.
        const std::string why = use_display_with_window_manager();
        if (!why.empty())
            GTEST_SKIP() << why;
        GuiProgramTest::SetUp();
    }
    void open_sample()
    {
        import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
        set_model_file_path((folder / "sample.mod").string());
        ASSERT_TRUE(save_model(0));
    }
};

// Types keys into a dialog once it is the active window, then presses OK.
class TypeIntoDialog {
public:
    explicit TypeIntoDialog(std::function<void(QDialog*)> keys) : keys_(std::move(keys)) {}
    bool typed = false;
    std::vector<std::string> messages;

private:
    void answer(QWidget* modal)
    {
        if (close_message_box(modal, messages))
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || typed || busy_)
            return;
        busy_ = true;
        if (gui_wait_for([dialog] { return QApplication::activeWindow() == dialog; })) {
            keys_(dialog);
            typed = true;
        }
        busy_ = false;
        click_later(dialog, typed ? IDOK : IDCANCEL);
    }
    std::function<void(QDialog*)> keys_;
    bool busy_ = false;
    ModalWatch watch_{[this](QWidget* modal) { answer(modal); }, 30};
};

}  // namespace

TEST_F(TutorialByTab, TheSectionsTypedFromSizeAndScheduleAreTheStandardPipes)
{
    DialogsByName answers;
    answers.by_name["SAVE_CHANGES_DIALOG"] = [](QDialog* d) { click_later(d, IDNO); };
    answers.by_name["NEW_DIALOG"] = [](QDialog* d) { click_later(d, IDOK); };
    frame_command(main_frame(), CMD_NEW);
    frame_command(main_frame(), CMD_SECTIONS);   // Misc > Sections
    QWidget* list = gui_backend().widget(list_view().window());
    type_keys(list, "6\t6\t40\t0.0625\t12.5\t7.5\t2");
    press(list, Qt::Key_Return);
    type_keys(list, "4\t4\t40\t0.0625\t12.5\t7.5\t1.5");
    press(list, Qt::Key_Return);
    ASSERT_EQ(numsections(), 2) << ::testing::PrintToString(answers.messages);
    // ASME B36.10M: NPS 6 schedule 40 is 6.625 in by 0.280 in, NPS 4
    // schedule 40 4.500 in by 0.237 in, as the Tutorial says.
    const PipeSection& six = pipe_sections()[1];
    const PipeSection& four = pipe_sections()[2];
    EXPECT_NEAR(six.outside_diameter, 6.625, 1e-4);
    EXPECT_NEAR(six.thickness, 0.280, 1e-4);
    EXPECT_NEAR(four.outside_diameter, 4.500, 1e-4);
    EXPECT_NEAR(four.thickness, 0.237, 1e-4);
    EXPECT_NEAR(six.mill_tolerance, 12.5, 1e-4);
    EXPECT_NEAR(four.insulation_thickness, 1.5, 1e-4);
}

TEST_F(TutorialByTab, TheBendReducerAndValveTypedByTheirKeysHoldTheTutorialsValues)
{
    MESA_ALLOCATIONS_KEPT;
    open_sample();
    QWidget* layout = gui_backend().widget(layout_frame().window);
    ASSERT_NE(layout, nullptr);
    frame_bring_to_front(layout_frame());

    // Bend at node 20: User, Radius 9. The User button's key puts the caret
    // into the radius, which its click enables.
    const int bend_row = row_of_node(20);
    auto& bend = dynamic_cast<Bend&>(*model().rows[bend_row].element);
    bend.geometry.radius_kind = RADIUS_LONG;
    {
        TypeIntoDialog keys([](QDialog* d) {
            press(d->focusWidget(), Qt::Key_U, "u", Qt::AltModifier);
            type_keys(d, "9");
        });
        edit_bend(bend_row, layout_frame().window);
        ASSERT_TRUE(keys.typed);
        EXPECT_TRUE(keys.messages.empty()) << keys.messages.front();
    }
    EXPECT_EQ(bend.geometry.radius_kind, RADIUS_USER);
    EXPECT_FLOAT_EQ(bend.geometry.radius, 9.0f);
    EXPECT_FLOAT_EQ(bend.geometry.thickness, 0.0f);

    // Reducer at node 45, from the values of another size: OD1 6.625 Thk1
    // 0.28 OD2 4.5 Thk2 0.237, Tab between them.
    const int reducer_row = row_of_node(45);
    auto& reducer = dynamic_cast<Reducer&>(*model().rows[reducer_row].element);
    reducer.od1 = 8.625f;
    reducer.thickness1 = 0.322f;
    reducer.od2 = 6.625f;
    reducer.thickness2 = 0.28f;
    {
        TypeIntoDialog keys([](QDialog* d) { type_keys(d, "6.625\t0.28\t4.5\t0.237"); });
        edit_reducer(reducer_row, layout_frame().window);
        ASSERT_TRUE(keys.typed);
        EXPECT_TRUE(keys.messages.empty()) << keys.messages.front();
    }
    EXPECT_FLOAT_EQ(reducer.od1, 6.625f);
    EXPECT_FLOAT_EQ(reducer.thickness1, 0.28f);
    EXPECT_FLOAT_EQ(reducer.od2, 4.5f);
    EXPECT_FLOAT_EQ(reducer.thickness2, 0.237f);

    // Valve at node 14: Weight 325, Additional weight 60 (past Length,
    // Thickness X and Insulation weight X), DX 18.
    const int valve_row = row_of_node(14);
    auto& valve = dynamic_cast<Valve&>(*model().rows[valve_row].element);
    valve.weight = 100.0f;
    valve.additional_weight = 0.0f;
    valve.offset_dx = 0.0f;
    {
        TypeIntoDialog keys([](QDialog* d) { type_keys(d, "325\t\t\t\t60\t18"); });
        edit_valve(valve_row, layout_frame().window);
        ASSERT_TRUE(keys.typed);
        EXPECT_TRUE(keys.messages.empty()) << keys.messages.front();
    }
    EXPECT_FLOAT_EQ(valve.weight, 325.0f);
    EXPECT_FLOAT_EQ(valve.additional_weight, 60.0f);
    EXPECT_FLOAT_EQ(valve.offset_dx, 18.0f);
}
