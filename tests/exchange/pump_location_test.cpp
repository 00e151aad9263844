// One pump by either route: a PUMPS line of a batch file and the pump dialog
// store the same record for the same pump, a vertical inline pump with both
// nozzles on the sides of its casing, and both take a pump centred at the
// origin of the model's axes; the batch export carries it back unchanged.
#include "exchange/batch_export.h"
#include "exchange/batch_import.h"
#include "exchange/data/seed_batch_files.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "qualification/equipment.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/pump_ui.h"

#include <functional>
#include <sstream>
#include <string>

namespace {

class PumpLocation : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        script().answer_file(write("pumps.mbf", seed_batch_files::PUMPS));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        ASSERT_EQ(pumps().size(), 2);
    }
    // The record the pump dialog stores for a new pump typed as `fill` says.
    PumpRecord typed(std::function<void(HeadlessDialog&)> fill) const
    {
        PumpRecord p;
        script().once("PUMP_DIALOG", [fill](HeadlessDialog& d) {
            fill(d);
            d.press(IDOK);
        });
        EXPECT_EQ(edit_pump(p, 3, 0), 1);
        return p;
    }
};

}  // namespace

TEST_F(PumpLocation, BatchLineAndPumpDialogStoreTheSameVerticalInlinePump)
{
    const PumpRecord from_batch = pumps()[1];
    EXPECT_EQ(from_batch.suction_location, LOCATION_SIDE);
    EXPECT_EQ(from_batch.discharge_location, LOCATION_SIDE);
    const PumpRecord from_dialog = typed([](HeadlessDialog& d) {
        d.type(PUMP_DESCRIPTION, "VIL");
        d.press(PUMP_VERTICAL);
        d.type(PUMP_SUCTION, "10");
        d.type(PUMP_DISCHARGE, "20");
    });
    // The same record but for the standard, which a batch line leaves at 0
    // and the dialog writes (vertical inline API 610).
    EXPECT_EQ(from_dialog.kind, PUMP_VERTICAL_INLINE_API610);
    PumpRecord expected = from_batch;
    expected.kind = from_dialog.kind;
    EXPECT_TRUE(from_dialog == expected);
}

TEST_F(PumpLocation, APumpCentredAtTheOriginIsTakenByEitherRouteAndExportedBack)
{
    // The batch line's pump at the origin: the dialog stores it unchanged,
    // and the same pump typed into the dialog (centre fields 0) is taken.
    PumpRecord horizontal = pumps()[2];
    EXPECT_EQ(horizontal.centre, (std::array<float, 3>{}));
    const PumpRecord before = horizontal;
    const std::size_t messages = script().messages().size();
    script().once("PUMP_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_EQ(edit_pump(horizontal, 2, 0), 1);
    EXPECT_EQ(script().messages().size(), messages);
    // The dialog writes the standard, which a batch line leaves at 0
    // (horizontal API 610): nothing else changes.
    PumpRecord expected = before;
    expected.kind = PUMP_HORIZONTAL_API610;
    EXPECT_TRUE(horizontal == expected);
    const PumpRecord typed_at_origin = typed([](HeadlessDialog& d) {
        d.type(PUMP_DESCRIPTION, "HOR");
        d.type(PUMP_SUCTION, "10");
        d.type(PUMP_DISCHARGE, "20");
        d.type(PUMP_SHAFT, "1");
        for (int i = 0; i < 3; ++i)
            d.type(PUMP_CENTRE + i, "0");
    });
    EXPECT_EQ(script().messages().size(), messages);
    EXPECT_EQ(typed_at_origin.centre, (std::array<float, 3>{}));
    EXPECT_EQ(typed_at_origin.shaft_axis, (std::array<float, 3>{1, 0, 0}));

    // The export writes both pumps, the import reads them back as they were.
    const OneBased<PumpRecord> imported = pumps();
    const std::string text = batch_export_text();
    init_model();
    std::istringstream in(text);
    import_batch_text(in);
    ASSERT_EQ(pumps().size(), 2);
    EXPECT_TRUE(pumps()[1] == imported[1]);
    EXPECT_TRUE(pumps()[2] == imported[2]);
}
