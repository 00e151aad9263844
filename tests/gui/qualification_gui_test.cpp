// PUMP_DIALOG on the Qt backend: its standard, suction and discharge
// location radio buttons (ids 1401 to 1409 in a row) are three groups, so a
// pump entered with a side suction and an end discharge stays horizontal;
// the pump then shows in the Pumps table.
#include "gui/pump_line_fixture.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/pump_ui.h"

#include <QRadioButton>

namespace {

class GuiPumpTest : public PumpLineTest {};

TEST_F(GuiPumpTest, PumpDialogRadioGroupsAreIndependent)
{
    PumpRecord p;
    {
        DialogAnswer answer({{PUMP_DESCRIPTION, "P-1"},
                             {PUMP_SUCTION, "20"},
                             {PUMP_DISCHARGE, "30"},
                             {PUMP_SHAFT, "1"},
                             {PUMP_CENTRE, "5"}},
                            {PUMP_HORIZONTAL, PUMP_SUCTION_TOP + 1, PUMP_DISCHARGE_TOP + 2});
        EXPECT_EQ(edit_pump(p, 1, main_frame().window), 1);
        EXPECT_EQ(answer.caption, "Pump # 1");
        EXPECT_FALSE(answer.missing_widget);
        EXPECT_TRUE(answer.messages.empty()) << answer.messages.front();
    }
    EXPECT_EQ(p.name, "P-1");
    EXPECT_EQ(p.kind, PUMP_HORIZONTAL_API610);
    EXPECT_EQ(p.vertical, 0);
    EXPECT_EQ(p.suction_location, LOCATION_SIDE);
    EXPECT_EQ(p.discharge_location, LOCATION_END);
    pumps().push_back(p);
    show_pumps_table();
    EXPECT_EQ(list_window_table(), &pumps_table());
    EXPECT_EQ(pumps_table().cell_text(1, 4, 0), "Side");
    EXPECT_EQ(pumps_table().cell_text(1, 6, 0), "End ");
}

}  // namespace
