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
    // The same record, its standard included (vertical inline API 610).
    EXPECT_EQ(from_dialog.kind, PUMP_VERTICAL_INLINE_API610);
    EXPECT_TRUE(from_dialog == from_batch);
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
    // Nothing changes: the line stored the standard the dialog writes
    // (horizontal API 610).
    EXPECT_EQ(before.kind, PUMP_HORIZONTAL_API610);
    EXPECT_TRUE(horizontal == before);
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

namespace {

class OnePumpKind : public PumpLocation {};

}  // namespace

// A pump holds one standard whichever route made it: the PUMPS line and the
// dialog both store the API 610 kind of the vertical-inline flag, and a pump
// once made ANSI/HI and then made vertical inline in the dialog keeps none
// of the ANSI/HI choices. The export then has a place for every field.
TEST_F(OnePumpKind, EveryRouteStoresOneKindAndTheExportLeavesNothingOut)
{
    EXPECT_EQ(pumps()[1].kind, PUMP_VERTICAL_INLINE_API610);
    EXPECT_EQ(pumps()[2].kind, PUMP_HORIZONTAL_API610);
    PumpRecord p = typed([](HeadlessDialog& d) {
        d.type(PUMP_DESCRIPTION, "HI");
        d.press(PUMP_ANSI_HI_RADIO);
        d.select(PUMP_TYPE, 0);
        d.select(PUMP_SIZE, 1);
        d.select(PUMP_MATERIAL, 2);
        d.type(PUMP_TEMPERATURE, "300");
        d.type(PUMP_SUCTION, "10");
        d.type(PUMP_SHAFT, "1");
        d.type(PUMP_CENTRE, "5");
    });
    ASSERT_EQ(p.kind, PUMP_ANSI_HI);
    script().once("PUMP_DIALOG", [](HeadlessDialog& d) {
        d.press(PUMP_VERTICAL);
        d.press(IDOK);
    });
    ASSERT_EQ(edit_pump(p, 3, 0), 1);
    EXPECT_EQ(p.kind, PUMP_VERTICAL_INLINE_API610);
    EXPECT_EQ(p.vertical, 1);
    EXPECT_EQ(p.hi_type, 0);
    EXPECT_EQ(p.hi_size, 0);
    EXPECT_EQ(p.hi_material, 0);
    EXPECT_EQ(p.temperature, 0.0f);
    pumps().push_back(p);
    // The line's pumps edited in the dialog without a change stay as they were.
    for (int i = 1; i <= 2; ++i) {
        const PumpRecord before = pumps()[i];
        script().once("PUMP_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
        ASSERT_EQ(edit_pump(pumps()[i], i, 0), 1);
        EXPECT_TRUE(pumps()[i] == before) << i;
    }

    BatchExportReport report;
    const std::string text = batch_export_text({}, &report);
    EXPECT_EQ(report.entries[NC_PUMP_FIELDS].count, 0) << report.message();
    // A record of a file older than the standard (kind 0) is an API 610 pump
    // too: nothing of it is left out.
    pumps()[1].kind = PUMP_KIND_UNSET;
    BatchExportReport old_record;
    batch_export_text({}, &old_record);
    EXPECT_EQ(old_record.entries[NC_PUMP_FIELDS].count, 0) << old_record.message();

    init_model();
    std::istringstream in(text);
    import_batch_text(in);
    ASSERT_EQ(pumps().size(), 3);
    EXPECT_TRUE(pumps()[3] == p);
}
