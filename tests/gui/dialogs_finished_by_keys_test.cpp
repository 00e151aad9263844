// Dialogs finished with keys alone on the real windows, under a window
// manager (Alt and a letter reach only the active window): in every dialog
// that holds a table, rows typed, Ctrl+Tab out of the table and
// Ctrl+Shift+Tab back, then Tab to OK and Enter, or Ctrl+Enter, store them;
// Load Cases tabs as it stands, each button's letter clicks it alone, and a
// case goes in and out of the chosen list by keys; the Print Results sheet
// is finished by keys alone: Ctrl+P, Tab, the arrows and the destinations'
// underlined letters, then Enter, write the PDF file.
#include "analysis/ui/analysis_ui.h"
#include "exchange/batch_import.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/pick_list.h"
#include "framework/ui/shell.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "gui/window_manager.h"
#include "gui/window_user.h"
#include "loads/spectrum.h"
#include "loads/time_function.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/ui/spectra_ui.h"
#include "loads/ui/wind_seismic_ui.h"
#include "loads/wind.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/dialogs_sections.h"
#include "materials/ui/library_browser.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/pipe_section_ui.h"
#include "model/load_cases.h"
#include "platform/qt/qt_printing.h"
#include "results/ui/results_window.h"

#include <QApplication>
#include <QRadioButton>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A key, held with modifiers and giving a text.
void press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    WindowUser::chord(w, key, mods, text);
}
// Keys where the focus stands: "\t" Tab, "\n" Enter, "\v" Down, else the character.
void type_keys(QDialog* d, const std::string& keys)
{
    for (const char c : keys) {
        if (c == '\t' || c == '\n' || c == '\v')
            press(d->focusWidget(), c == '\t' ? Qt::Key_Tab : c == '\n' ? Qt::Key_Return : Qt::Key_Down);
        else
            WindowUser::type(d->focusWidget(), std::string(1, c));
    }
}
// The item with the focus (a table's place for its table).
int focused(QDialog* d)
{
    return item_id_of(d->focusWidget());
}
bool tab_to(QDialog* d, int id)
{
    for (int i = 0; i < 40 && focused(d) != id; ++i)
        press(d->focusWidget(), Qt::Key_Tab);
    return focused(d) == id;
}

class DialogsFinishedByKeys : public GuiProgramTest {
protected:
    DialogsFinishedByKeys() : GuiProgramTest("korvane_gui_finished_by_keys") {}
    void before_startup() override { install_qt_print_service(); }
    void after_shutdown() override { install_print_service(nullptr); }
    void SetUp() override
    {
        MESA_ALLOCATIONS_KEPT;
        if (const std::string why = use_display_with_window_manager(); !why.empty())
            GTEST_SKIP() << why;
        GuiProgramTest::SetUp();
        import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
        user.emplace();
    }
    void TearDown() override
    {
        model_modified() = false;
        EXPECT_TRUE(!user || (user->messages.empty() && user->unanswered.empty()));
        user.reset();
        GuiProgramTest::TearDown();
    }
    // The next dialog of the template answered by `keys` once it is the active window.
    void answer(const std::string& name, std::function<void(QDialog*)> keys)
    {
        user->on(name, [keys](QDialog* d) {
            ASSERT_TRUE(gui_wait_for([d] { return QApplication::activeWindow() == d; }));
            keys(d);
        });
    }
    std::optional<WindowUser> user;
};

struct TableDialog {
    std::string name;
    int table;
    std::function<int()> open;   // the dialog's result
    std::string before, rows;    // typed where it opens, then in the table
    bool ctrl_enter;             // closed by Ctrl+Enter in the table, else by Tab to OK and Enter
    std::function<void(int result)> check;
};

}  // namespace

TEST_F(DialogsFinishedByKeys, EveryDialogWithATableTakesItsRowsAndClosesWithOkByKeys)
{
    PropertyTable props;
    const PickList picks{"Pick", {{"Name", [](int row) { return std::to_string(row); }, ""}}, 3};
    const LibraryBrowser browser{"Library", {{"Name", "", [](int row) { return std::to_string(row); }}},
                                 [] { return 3; }, [] { return std::string(); }, {}, {}};
    wind_data().loads[1].direction = {1, 0, 0};
    auto points = [](std::vector<XYPair> p) { return [p](const XYCurve& c) { EXPECT_EQ(c.pairs(), p); }; };
    const std::vector<TableDialog> dialogs = {
        {"TIME_FUNCTION_DIALOG", LOAD_TABLE, [] { return edit_time_function(1); }, "", "0\t1\n1\t2\n", true,
         [&](int) { points({{0, 1}, {1, 2}})(time_function()[0]); }},
        {"SPECTRUM_DIALOG", LOAD_TABLE, [] { return edit_spectrum(spectra(), 1); }, "SITE", "1\t0.5\n10\t0.2\n",
         false, [&](int) { points({{1, 0.5f}, {10, 0.2f}})(spectra()[1].curve); }},
        {"SPECTRUM_DIALOG", LOAD_TABLE, [] { return edit_spectrum(force_spectra(), 1); }, "PUMP", "2\t100\n20\t50\n",
         true, [&](int) { points({{2, 100}, {20, 50}})(force_spectra()[1].curve); }},
        {"WIND_DIALOG", LOAD_TABLE, [] { return edit_wind(); }, "", "0\t0.1\n1\t0.2\n", false,
         [](int) {
             const XYCurve& p = wind_data().loads[1].pressure;
             ASSERT_EQ(p.size(), 2u);
             EXPECT_EQ(std::make_pair(p[0].y, p[1].y), std::make_pair(0.1f, 0.2f));
         }},
        {"MATERIAL_PROPERTIES_DIALOG", MATPROP_GRID,
         [&props] {
             bool modified = false;
             return run_material_properties_dialog(props, false, modified);
         },
         "", "70\t29.5E6\t6.07E-6\t20000\n", false,
         [&props](int result) {
             ASSERT_TRUE(result == 1 && props.size() == 1);
             EXPECT_EQ(props[1], (PropertyRow{70, 29.5e6f, 6.07e-6f, 20000}));
         }},
        // The choosers: the Down arrow chooses the second row.
        {"INSULATION_DIALOG", INSULATION_TABLE, [] { return run_insulation_dialog(); }, "", "\v", false,
         [](int result) { EXPECT_EQ(result, 2); }},
        {"SELECT_DIALOG", PICK_LIST_TABLE, [&picks] { return run_pick_list(picks, 0); }, "", "\v", false,
         [](int result) { EXPECT_EQ(result, 2); }},
        {"LIBRARY_USE_DIALOG", LIBUSE_TABLE, [&browser] { return run_library_browser(LIBRARY_USE_DIALOG, browser, 0); },
         "", "\v", false, [](int result) { EXPECT_EQ(result, 2); }},
    };
    for (const TableDialog& t : dialogs) {
        SCOPED_TRACE(t.name);
        answer(t.name, [&t](QDialog* d) {
            type_keys(d, t.before);
            ASSERT_TRUE(tab_to(d, t.table));
            type_keys(d, t.rows);
            press(d->focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            EXPECT_NE(focused(d), t.table) << "Ctrl+Tab stayed in the table";
            press(d->focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
            ASSERT_EQ(focused(d), t.table);
            if (!t.ctrl_enter) {
                press(d->focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
                ASSERT_TRUE(tab_to(d, IDOK));
            }
            press(d->focusWidget(), Qt::Key_Return, t.ctrl_enter ? Qt::ControlModifier : Qt::NoModifier);
            EXPECT_FALSE(d->isVisible());
        });
        t.check(t.open());
    }
}

TEST_F(DialogsFinishedByKeys, LoadCasesAddsAndRemovesACaseByKeys)
{
    std::vector<std::string> chosen;
    answer("LOAD_CASES_DIALOG", [&chosen](QDialog* d) {
        const std::vector<int> buttons = {LOAD_CASES_ADD, LOAD_CASES_REMOVE, LOAD_CASES_UP, LOAD_CASES_DOWN,
                                          LOAD_CASES_DEFAULTS};
        std::vector<int> tabbed{focused(d)};
        for (int i = 0; i < 11; ++i, tabbed.push_back(focused(d)))
            press(d->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(tabbed, (std::vector<int>{LOAD_CASES_AVAILABLE, LOAD_CASES_ADD, LOAD_CASES_REMOVE, LOAD_CASES_CHOSEN,
                                            LOAD_CASES_UP, LOAD_CASES_DOWN, LOAD_CASES_DEFAULTS,
                                            LOAD_CASES_STIFFNESS_EXPORT, LOAD_CASES_MODAL_FORCES_EXPORT, IDOK, IDCANCEL,
                                            LOAD_CASES_AVAILABLE}));
        // Alt and the underlined letter click that button and no other (Alt+D: Defaults, last).
        std::map<int, int> clicks;
        for (int id : buttons)
            QObject::connect(WindowUser::item<QAbstractButton>(d, id), &QAbstractButton::clicked, d,
                             [&clicks, id] { ++clicks[id]; });
        for (int id : buttons) {
            const QString text = WindowUser::item<QAbstractButton>(d, id)->text();
            const QChar letter = text.at(text.indexOf('&') + 1).toUpper();
            clicks.clear();
            press(d->focusWidget(), Qt::Key_A + (letter.unicode() - 'A'), Qt::AltModifier, letter.toLower());
            EXPECT_EQ(clicks, (std::map<int, int>{{id, 1}})) << text.toStdString();
        }
        std::vector<std::string> expected = WindowUser::entries(d, LOAD_CASES_CHOSEN);
        // Space chooses the first available case, where Tab put the focus; Alt+A adds
        // it. Home chooses the first chosen case, Alt+R removes it; Ctrl+Enter on
        // the Remove button is OK.
        ASSERT_TRUE(tab_to(d, LOAD_CASES_AVAILABLE) && expected.size() >= 2);
        press(d->focusWidget(), Qt::Key_Space, Qt::NoModifier, " ");
        expected.push_back(WindowUser::entries(d, LOAD_CASES_AVAILABLE).front());
        expected.erase(expected.begin());
        press(d->focusWidget(), Qt::Key_A, Qt::AltModifier, "a");
        ASSERT_TRUE(tab_to(d, LOAD_CASES_CHOSEN));
        press(d->focusWidget(), Qt::Key_Home);
        press(d->focusWidget(), Qt::Key_R, Qt::AltModifier, "r");
        chosen = WindowUser::entries(d, LOAD_CASES_CHOSEN);
        EXPECT_EQ(chosen, expected);
        press(d->focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    });
    frame_command(main_frame(), CMD_LOAD_CASE_LIST);
    std::vector<std::string> stored;
    for (int i = 1; i <= load_case_list().count(); ++i)
        stored.push_back(load_case_names(load_case_list().code(i)));
    EXPECT_EQ(stored, chosen);
}

// The Print Results sheet by keys alone, under a window manager: Ctrl+P in
// the results window opens it; Tab lands in the "Print to" group on the
// chosen destination (Printer); Down chooses the next; a destination's
// underlined letter chooses it; Enter prints to the PDF file named.
TEST_F(DialogsFinishedByKeys, PrintResultsToPdfByKeys)
{
    // The sample analysed and its results open (the result chooser cancelled).
    fs::copy_file(fs::path(KV_PROGRAM_PATH).parent_path() / "sample.mod", folder / "sample.mod");
    model_modified() = false;
    ASSERT_NO_FATAL_FAILURE(open_results_of((folder / "sample.mod").string(), *user));
    std::vector<std::string> steps;   // the destination focused and the one chosen after each key
    user->on("PRINT_RESULTS_DIALOG", [&steps](QDialog* d) {
        ASSERT_TRUE(gui_wait_for([d] { return QApplication::activeWindow() == d; }));
        auto note = [&] {
            std::string chosen;
            for (const QRadioButton* b : d->findChildren<QRadioButton*>())
                if (b->isChecked())
                    chosen = QString(b->text()).remove('&').toStdString();
            const auto* focus = qobject_cast<QRadioButton*>(d->focusWidget());
            steps.push_back((focus ? QString(focus->text()).remove('&').toStdString() : "") + " / " + chosen);
        };
        for (int tabs = 0; tabs < 40 && !qobject_cast<QRadioButton*>(d->focusWidget()); ++tabs)
            WindowUser::key(d->focusWidget(), Qt::Key_Tab);
        note();
        const std::pair<int, const char*> keys[] = {
            {Qt::Key_Down, ""}, {Qt::Key_Down, ""}, {Qt::Key_T, "t"}, {Qt::Key_P, "p"}, {Qt::Key_D, "d"}};
        for (const auto& [key, text] : keys) {
            WindowUser::chord(d->focusWidget(), key, *text ? Qt::AltModifier : Qt::NoModifier, text);
            note();
        }
        WindowUser::key(d->focusWidget(), Qt::Key_Return);
    });
    const fs::path pdf = folder / "keys.pdf";
    user->answer_file(pdf.string());
    frame_bring_to_front(results_frame());
    QWidget* results = gui_backend().widget(results_frame().window);
    ASSERT_TRUE(gui_wait_for([results] {
        return QApplication::activeWindow() == results && current_accelerator_frame() == &results_frame();
    }));
    WindowUser::chord(gui_backend().widget(results_frame().client), Qt::Key_P, Qt::ControlModifier, "\x10");
    const std::vector<std::string> expected = {"Printer / Printer",     "Print preview / Print preview",
                                               "PDF file / PDF file",   "Text file / Text file",
                                               "Printer / Printer",     "PDF file / PDF file"};
    EXPECT_EQ(steps, expected);
    std::ifstream written(pdf, std::ios::binary);
    std::string head(4, '\0');
    written.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
}
