// The Pumps table on the real windows, typed into as a user types: a pump
// entered in the table alone (description, nozzle nodes and locations,
// shaft axis, centre in feet and inches) is stored, saved with the model
// and read back with it; every column refuses what the pump dialog refuses,
// with the dialog's message, and a column the pump's kind takes nothing in
// says so and where its value is given. Nothing typed is dropped.
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "gui/program_fixture.h"
#include "gui/window_user.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/ui/list_window.h"
#include "qualification/equipment.h"
#include "qualification/ui/pump_ui.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// 12 inches a foot: the centre typed as 1-6, 2-0 and 3-0 (feet-inches).
constexpr std::array<float, 3> CENTRE_INCHES = {1 * 12 + 6, 2 * 12, 3 * 12};

class PumpsTableTyping : public GuiProgramTest {
protected:
    PumpsTableTyping() : GuiProgramTest("korvane_gui_pumps_typing") {}
    void SetUp() override
    {
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
        user_.emplace();
        // The sample (a line from node 10 to node 60 in ft-in) in the
        // test's folder, twice: one to keep without pumps.
        const fs::path built = fs::path(KV_PROGRAM_PATH).parent_path();
        fs::copy_file(built / "sample.mod", model_path(), fs::copy_options::overwrite_existing);
        fs::copy_file(built / "sample.mod", plain_path(), fs::copy_options::overwrite_existing);
        open(model_path());
        ASSERT_EQ(pumps().size(), 0);
        ASSERT_TRUE(user().menu(main_frame(), {"Misc", "Pumps"}));
        ASSERT_EQ(list_window_table(), &pumps_table());
    }
    void TearDown() override
    {
        user_.reset();
        GuiProgramTest::TearDown();
    }

    std::string model_path() const { return (folder / "pumps.mod").string(); }
    std::string plain_path() const { return (folder / "plain.mod").string(); }
    void open(const std::string& path)
    {
        user().answer_file(path);
        ASSERT_TRUE(user().menu(main_frame(), {"File", "Open"}));
    }

    static QWidget* keys() { return gui_backend().widget(list_frame().client); }

    // Types a text into a cell of the table and Tab after it; the message
    // it brought up, "" when none. A refused text is dropped with Escape.
    std::string typed(int row, int column, const std::string& text)
    {
        table_goto_row(pumps_table(), row, column);
        const std::size_t said = user().messages.size();
        if (text.empty())
            WindowUser::key(keys(), Qt::Key_Backspace);
        else
            WindowUser::type(keys(), text);
        if (pumps_table().edit.active)
            WindowUser::key(keys(), Qt::Key_Tab);
        if (pumps_table().edit.active)
            WindowUser::key(keys(), Qt::Key_Escape);
        return user().messages.size() > said ? user().messages.back() : std::string();
    }

    WindowUser& user() { return *user_; }
    std::optional<WindowUser> user_;
};

// The pump the test types: P-1 from node 10 (side) to node 60 (end),
// shaft along Z, centre (18, 24, 36) in.
void expect_typed_pump(const PumpRecord& p, const std::string& where)
{
    EXPECT_EQ(p.name, "P-1") << where;
    EXPECT_EQ(p.kind, PUMP_HORIZONTAL_API610) << where;
    EXPECT_EQ(p.vertical, 0) << where;
    EXPECT_EQ(p.suction_node, 10) << where;
    EXPECT_EQ(p.suction_location, LOCATION_SIDE) << where;
    EXPECT_EQ(p.discharge_node, 60) << where;
    EXPECT_EQ(p.discharge_location, LOCATION_END) << where;
    EXPECT_EQ(p.shaft_axis, (std::array<float, 3>{0.0f, 0.0f, 1.0f})) << where;
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(p.centre[i], CENTRE_INCHES[i]) << where << " centre " << i;
}

}  // namespace

TEST_F(PumpsTableTyping, APumpEnteredInTheTableAloneIsStoredAndSavedWithTheModel)
{
    // Description, Vert. left empty, suction node and location, discharge
    // node and location, shaft X Y Z, centre X Y Z; Enter appends it.
    WindowUser::cells(keys(), {"P-1", "", "10", "S", "60", "E", "0", "0", "1", "1-6", "2-0", "3-0"}, Qt::Key_Return);
    EXPECT_TRUE(user().messages.empty()) << user().messages.front();
    ASSERT_EQ(pumps().size(), 1);
    expect_typed_pump(pumps()[1], "typed");
    // The row shows what was typed.
    TableWindow& t = pumps_table();
    EXPECT_EQ(t.cell_text(1, 4, 0), "Side");
    EXPECT_EQ(t.cell_text(1, 6, 0), "End ");
    EXPECT_EQ(t.cell_text(1, 9, 0), "1.000");
    EXPECT_EQ(t.cell_text(1, 10, 0), "1'6");
    EXPECT_EQ(t.cell_text(1, 12, 0), "3'0");

    // Saved, another model opened, and this one again: the pump as typed.
    ASSERT_TRUE(user().menu(main_frame(), {"File", "Save"}));
    open(plain_path());
    ASSERT_EQ(pumps().size(), 0);
    open(model_path());
    ASSERT_EQ(pumps().size(), 1);
    expect_typed_pump(pumps()[1], "read back");
    EXPECT_TRUE(user().unanswered.empty()) << user().unanswered.front();
}

TEST_F(PumpsTableTyping, EveryColumnRefusesWhatThePumpDialogRefusesWithItsMessage)
{
    WindowUser::cells(keys(), {"P-1", "", "10", "S", "60", "E", "0", "0", "1", "1-6", "2-0", "3-0"}, Qt::Key_Return);
    ASSERT_EQ(pumps().size(), 1);
    const PumpRecord before = pumps()[1];

    // A node that is no node of the model, a bend's corner node, a
    // location, a component and a length that do not read.
    EXPECT_EQ(typed(1, 3, "99"), "Suction Node =  99  is not defined");
    int corner = 0;
    for (int n = 1; n <= model().numnodes() && corner == 0; ++n)
        if (model().nodes[n].kind == NODE_BEND_CORNER)
            corner = model().nodes[n].number;
    ASSERT_NE(corner, 0);
    EXPECT_EQ(typed(1, 5, node_text(corner)), "Discharge Node =  " + node_text(corner) + "  is bend node");
    EXPECT_EQ(typed(1, 4, "Q"), "Suction location =  Q  is invalid: it must be Top, Side or End");
    EXPECT_EQ(typed(1, 8, "X"), "Y comp =  X  is invalid");
    EXPECT_EQ(typed(1, 11, "1-X"), "Y =  1-X  is invalid");
    EXPECT_EQ(typed(1, 2, "Q"), "Vert. =  Q  is invalid: it must be Y (vertical inline) or N");
    // The shaft axis cannot become no direction, nor the pump lose both nodes.
    EXPECT_EQ(typed(1, 9, "0"), "Direction is invalid");
    EXPECT_EQ(typed(1, 5, ""), "");
    EXPECT_EQ(typed(1, 3, ""), "Suction or discharge node is required");
    // The ANSI/HI columns are the dialog's.
    EXPECT_EQ(typed(1, 13, "1"), "The pump type, size, material, mounting and temperature of an ANSI/HI pump are "
                                 "chosen in the Pump dialog (double-click the row)");
    PumpRecord expected = before;
    expected.discharge_node = 0;
    EXPECT_TRUE(pumps()[1] == expected);

    // Y makes it vertical inline: its nozzles on its sides, no shaft axis
    // or centre, which it then takes nothing in; it asks first, naming what
    // it clears (the default answer, Yes, clears them). N makes it
    // horizontal again.
    EXPECT_NE(typed(1, 2, "Y").find("clears the shaft axis direction 0.000, 0.000, 1.000 and the center 1'6, "
                                    "2'0, 3'0"),
              std::string::npos);
    EXPECT_EQ(pumps()[1].kind, PUMP_VERTICAL_INLINE_API610);
    EXPECT_EQ(pumps()[1].vertical, 1);
    EXPECT_EQ(pumps()[1].suction_location, LOCATION_SIDE);
    EXPECT_EQ(pumps()[1].shaft_axis, (std::array<float, 3>{}));
    EXPECT_EQ(pumps()[1].centre, (std::array<float, 3>{}));
    EXPECT_EQ(typed(1, 10, "5"), "A vertical pump takes no shaft axis direction and no center");
    EXPECT_EQ(typed(1, 4, "T"), "The nozzles of a vertical inline pump are on its sides: they take no location");
    EXPECT_EQ(typed(1, 2, "N"), "");
    EXPECT_EQ(pumps()[1].kind, PUMP_HORIZONTAL_API610);
    EXPECT_EQ(pumps()[1].suction_location, LOCATION_TOP);
    // A location waits for its nozzle's node.
    EXPECT_EQ(typed(1, 6, "S"), "The discharge location needs the discharge node: type the node first");
    EXPECT_EQ(typed(1, 5, "60"), "");
    EXPECT_EQ(typed(1, 6, "S"), "");
    EXPECT_EQ(pumps()[1].discharge_location, LOCATION_SIDE);
    EXPECT_TRUE(user().unanswered.empty()) << user().unanswered.front();
}
