// Tables typed into with real keys on the real windows take what their
// dialogs take: the Pumps table refuses at Enter a pump without its shaft
// axis, as the pump dialog does, keeping what was typed with the caret in X
// comp, and Y in Vert. asks before it clears what was typed; a name typed
// into the Spectra table's empty row (at once, after Backspace, after a
// click) makes a spectrum; the Valve Library's Nom Dia takes a size where
// Enter asks for it; a key with Alt that no menu takes types nothing into a
// cell or a text field; the Time Function dialog's points take keys at once.
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "gui/program_fixture.h"
#include "gui/window_user.h"
#include "loads/spectrum.h"
#include "loads/time_function.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/ui/spectra_ui.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/valve_library_ui.h"
#include "materials/valve_library.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "qualification/equipment.h"
#include "qualification/ui/pump_ui.h"
#include "table_cell_point.h"

#include <QMainWindow>
#include <QMouseEvent>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

class TableTypingAsDialogs : public GuiProgramTest {
protected:
    TableTypingAsDialogs() : GuiProgramTest("korvane_gui_table_typing") {}
    void SetUp() override
    {
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
        user_.emplace();
        // The sample: a line from node 10 to node 60.
        const fs::path built = fs::path(KV_PROGRAM_PATH).parent_path();
        fs::copy_file(built / "sample.mod", folder / "sample.mod", fs::copy_options::overwrite_existing);
        user().answer_file((folder / "sample.mod").string());
        ASSERT_TRUE(user().menu(main_frame(), {"File", "Open"}));
    }
    void TearDown() override
    {
        EXPECT_TRUE(user().unanswered.empty()) << user().unanswered.front();
        user_.reset();
        GuiProgramTest::TearDown();
    }

    static QWidget* keys() { return gui_backend().widget(list_frame().client); }
    WindowUser& user() { return *user_; }
    // A click of the left button into a cell of the list window's table.
    static void click_cell(int row, int column)
    {
        QCoreApplication::processEvents();   // the view laid out as shown
        table_ensure_measured(*list_view().table());
        const Point p = table_cell_point(list_view(), row, column);
        const QPointF at(p.x, p.y);
        QMouseEvent press(QEvent::MouseButtonPress, at, keys()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(keys(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, keys()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(keys(), &release);
    }

    std::optional<WindowUser> user_;
};

}  // namespace

// Description, suction node 40, End, Enter: the dialog's "Direction is
// invalid", the pump not appended and the row as typed; the next key goes
// into X comp and Enter then appends the pump. Y in Vert. of that pump asks,
// naming the end location and the axis it clears; Yes (the default) makes
// it vertical inline.
TEST_F(TableTypingAsDialogs, APumpWithoutItsShaftAxisIsRefusedAtEnterAndKeptAsTyped)
{
    ASSERT_TRUE(user().menu(main_frame(), {"Misc", "Pumps"}));
    TableWindow& t = pumps_table();
    ASSERT_EQ(list_window_table(), &t);
    WindowUser::cells(keys(), {"P-1", "", "40", "E"}, Qt::Key_Return);
    ASSERT_EQ(user().messages, (std::vector<std::string>{"Direction is invalid"}));
    EXPECT_EQ(pumps().size(), 0);
    EXPECT_EQ(t.current_row, 1);
    EXPECT_EQ(t.current_column, 7);
    EXPECT_EQ(t.cell_text(1, 1, 0), "P-1");
    EXPECT_EQ(t.cell_text(1, 3, 0), "40");
    EXPECT_EQ(t.cell_text(1, 4, 0), "End ");

    WindowUser::type(keys(), "1");
    WindowUser::key(keys(), Qt::Key_Return);
    ASSERT_EQ(pumps().size(), 1);
    EXPECT_EQ(user().messages.size(), 1u);
    EXPECT_EQ(pumps()[1].name, "P-1");
    EXPECT_EQ(pumps()[1].suction_node, 40);
    EXPECT_EQ(pumps()[1].suction_location, LOCATION_END);
    EXPECT_EQ(pumps()[1].shaft_axis, (std::array<float, 3>{1, 0, 0}));

    table_goto_row(t, 1, 2);
    WindowUser::type(keys(), "Y");
    WindowUser::key(keys(), Qt::Key_Tab);
    ASSERT_EQ(user().messages.size(), 2u);
    EXPECT_NE(user().messages.back().find("clears the suction location End and the shaft axis direction 1.000, "
                                          "0.000, 0.000"),
              std::string::npos)
        << user().messages.back();
    EXPECT_EQ(pumps()[1].kind, PUMP_VERTICAL_INLINE_API610);
    EXPECT_EQ(pumps()[1].shaft_axis, (std::array<float, 3>{}));
}

// A name typed into the empty row of the Spectra table makes a spectrum,
// typed at once, after Backspace and after a click into the cell; the
// window's title counts them.
TEST_F(TableTypingAsDialogs, ANameTypedIntoTheSpectraTablesEmptyRowMakesASpectrum)
{
    ASSERT_TRUE(user().menu(main_frame(), {"Loads", "Spectra"}));
    TableWindow& t = spectra_table();
    ASSERT_EQ(list_window_table(), &t);
    ASSERT_EQ(numspectrums(), 0);
    WindowUser::type(keys(), "SITE A");
    WindowUser::key(keys(), Qt::Key_Return);
    WindowUser::key(keys(), Qt::Key_Backspace);
    WindowUser::type(keys(), "SITE B");
    WindowUser::key(keys(), Qt::Key_Return);
    click_cell(3, 1);
    WindowUser::type(keys(), "SITE C");
    WindowUser::key(keys(), Qt::Key_Return);
    EXPECT_TRUE(user().messages.empty()) << user().messages.front();
    ASSERT_EQ(numspectrums(), 3);
    EXPECT_EQ(spectra()[1].name, "SITE A");
    EXPECT_EQ(spectra()[2].name, "SITE B");
    EXPECT_EQ(spectra()[3].name, "SITE C");
    EXPECT_TRUE(spectra()[3].curve.empty());
    auto* window = qobject_cast<QMainWindow*>(gui_backend().widget(list_frame().window));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->windowTitle().contains("Spectra  (3)")) << window->windowTitle().toStdString();
    model_modified() = false;
}

// In the valve library as shipped, a valve typed on the input row without
// its size: Enter says "Nominal Size is required" and the caret stands in
// Nom Dia, so that the 6 typed next is its size (ANSI 6", 6.625 in outside
// diameter by ASME B36.10M), not the end of the description.
TEST_F(TableTypingAsDialogs, TheValveLibrarysNomDiaTakesTheSizeEnterAsksFor)
{
    const fs::path copy = folder / "valves.val";
    fs::copy_file(fs::path(KV_PROGRAM_PATH).parent_path() / "valves.val", copy, fs::copy_options::overwrite_existing);
    user().answer_file(copy.string());
    ASSERT_TRUE(user().menu(main_frame(), {"File", "Open"}));
    ASSERT_TRUE(library_mode_is(LibraryKind::Valve));
    TableWindow& t = valve_library_table();
    ASSERT_EQ(list_window_table(), &t);
    const int valves = numlibvalves();
    table_goto_row(t, t.row_count, 1);
    WindowUser::type(keys(), "GATE 6 IN");
    WindowUser::key(keys(), Qt::Key_Return);
    ASSERT_EQ(user().messages, (std::vector<std::string>{"Nominal Size is required"}));
    EXPECT_EQ(t.current_column, 2);
    WindowUser::type(keys(), "6");
    WindowUser::key(keys(), Qt::Key_Return);
    EXPECT_EQ(user().messages.size(), 1u);
    ASSERT_EQ(numlibvalves(), valves + 1);
    const ValveRecord& v = valve_records()[valves + 1];
    EXPECT_EQ(v.description, "GATE 6 IN");
    EXPECT_EQ(v.nominal_size, "6\"");
    EXPECT_FLOAT_EQ(v.outside_diameter, 6.625f);
    model_modified() = false;
    leave_library_mode();
}

// Alt+L, which no menu of the list window takes, over the Spectra table's
// input row and in its dialog's Name field types nothing: Enter then makes
// no spectrum, and the model saved again is as it was.
class StrayKeysTypeNothing : public TableTypingAsDialogs {};

TEST_F(StrayKeysTypeNothing, AltLOverTheSpectraTableAndInItsDialogLeavesTheModelAsItWas)
{
    auto saved = [this] {
        EXPECT_TRUE(save_model(list_frame().window));
        std::ifstream in(folder / "sample.mod", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    auto alt_l = [](QWidget* w) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_L, Qt::AltModifier, "l");
        QCoreApplication::sendEvent(w, &down);
    };
    const std::string before = saved();
    ASSERT_TRUE(user().menu(main_frame(), {"Loads", "Spectra"}));
    alt_l(keys());
    WindowUser::key(keys(), Qt::Key_Return);
    std::string name = "?";
    user().on("SPECTRUM_DIALOG", [&](QDialog* d) {
        alt_l(d->focusWidget());
        name = WindowUser::item<QLineEdit>(d, SP_NAME)->text().toStdString();
        d->reject();
    });
    frame_command(list_frame(), CMD_EDIT_ROW);
    EXPECT_EQ(name, "");
    EXPECT_EQ(numspectrums(), 0);
    EXPECT_TRUE(saved() == before) << "the model saved again differs";
}

// The Time Function dialog opens with the keys in its table's first cell:
// 0 Tab 1 Enter 1 Tab 2 Enter are two points, typed without a click.
class DialogTablesTakeKeys : public TableTypingAsDialogs {};

TEST_F(DialogTablesTakeKeys, TheTimeFunctionTakesItsPointsAtOnce)
{
    ASSERT_TRUE(user().menu(main_frame(), {"Loads", "Time Functions"}));
    user().on("TIME_FUNCTION_DIALOG", [](QDialog* d) {
        QWidget* table = d->focusWidget();
        EXPECT_EQ(table, WindowUser::table_client(d, LOAD_TABLE));
        WindowUser::cells(table, {"0", "1"}, Qt::Key_Return);
        WindowUser::cells(table, {"1", "2"}, Qt::Key_Return);
        WindowUser::click(d, IDOK);
    });
    frame_command(list_frame(), CMD_EDIT_ROW);
    XYCurve typed;
    typed.push_back(0, 1);
    typed.push_back(1, 2);
    ASSERT_EQ(numtimefunctions(), 1);
    EXPECT_TRUE(time_function()[0] == typed);
    model_modified() = false;
}
