// The Units dialog under the scripted backend, the unit sets and the stored
// choice in the settings store.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/units_dialog.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

namespace {

class UnitsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        hb = &install_headless_backend();
        set_units_changed_hook([this] { ++refreshes; });
    }
    void TearDown() override {
        // Refused user actions are part of some tests; a control the procedure
        // uses that its template lacks never is.
        for (const std::string& fault : hb->script().faults())
            EXPECT_EQ(fault.find("no control"), std::string::npos) << fault;
        set_units_changed_hook(nullptr);
        remove_backend();
    }
    std::optional<std::string> stored() const {
        return hb->settings().get_string(settings_key(PREFERENCES_KEY), "Units");
    }

    HeadlessBackend* hb = nullptr;
    int refreshes = 0;
};

UnitChoices expected_si(int angle) {
    UnitChoices c{};
    const int si[] = {0, 4, 1, 1, angle, 1, 2, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 2};
    for (int q = 0; q <= NUM_UNIT_QUANTITIES; ++q) c[q] = si[q];
    return c;
}

TEST_F(UnitsDialogTest, SiButtonSelectsTheSiSetAndOkStoresIt) {
    unit_choice()[ANGLE] = 1;   // radian: the SI set keeps the angle unit
    std::vector<std::string> length_units;
    hb->script().once("UNITS_DIALOG", [&](HeadlessDialog& d) {
        for (int i = 0; i < d.list_count(units_combo(LENGTH)); ++i)
            length_units.push_back(d.list_text(units_combo(LENGTH), i));
        d.press(UNITS_SI);
        d.press(IDOK);
    });
    EXPECT_TRUE(units_dialog(0));
    EXPECT_EQ(length_units, (std::vector<std::string>{"ft-in", "feet", "inch", "m", "mm"}));
    EXPECT_EQ(unit_choice(), expected_si(1));
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(stored(), "4,1,1,1,1,2,1,1,2,1,1,1,1,1,1,1,2,1,1,2");

    // English brings every quantity back to its first unit.
    hb->script().once("UNITS_DIALOG", [](HeadlessDialog& d) {
        d.press(UNITS_ENGLISH);
        d.press(IDOK);
    });
    EXPECT_TRUE(units_dialog(0));
    EXPECT_EQ(unit_choice(), UnitChoices{});
}

TEST_F(UnitsDialogTest, CancelAndUnchangedOkChangeNothing) {
    hb->script().once("UNITS_DIALOG", [](HeadlessDialog& d) {
        d.press(UNITS_SI);
        d.select(units_combo(SPEED), 1);
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(units_dialog(0));
    EXPECT_EQ(unit_choice(), UnitChoices{});
    EXPECT_FALSE(stored().has_value());

    hb->script().once("UNITS_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_FALSE(units_dialog(0));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(refreshes, 0);
}

TEST_F(UnitsDialogTest, SingleComboChoiceAndTheCommand) {
    install_units_command();
    hb->script().once("UNITS_DIALOG", [](HeadlessDialog& d) {
        d.select(units_combo(PRESSURE), 5);   // kg/cm2
        d.press(IDOK);
    });
    EXPECT_TRUE(run_command(CMD_UNITS));
    EXPECT_EQ(unit_choice()[PRESSURE], 5);
    EXPECT_EQ(unit_choice()[LENGTH], 0);
    EXPECT_EQ(refreshes, 1);
}

TEST_F(UnitsDialogTest, StoredChoiceIsLoadedOnlyWhenSound) {
    MemorySettings store;
    UnitChoices si{};
    si_unit_choices(si);
    unit_choice() = si;
    save_unit_settings(store);
    reset_unit_choice();
    EXPECT_TRUE(load_unit_settings(store));
    EXPECT_EQ(unit_choice(), si);

    const std::string key = settings_key(PREFERENCES_KEY);
    for (const char* damaged : {"", "4,1,1", "4,1,1,1,1,2,1,1,2,1,1,1,1,1,1,1,2,1,1,2,0",
                                "9,1,1,1,1,2,1,1,2,1,1,1,1,1,1,1,2,1,1,2", "4,1,1,1,1,2,1,1,2,1,1,1,1,1,1,1,2,1,1,-1",
                                "4;1,1,1,1,2,1,1,2,1,1,1,1,1,1,1,2,1,1,2", "x"}) {
        reset_unit_choice();
        store.set_string(key, "Units", damaged);
        EXPECT_FALSE(load_unit_settings(store)) << damaged;
        EXPECT_EQ(unit_choice(), UnitChoices{}) << damaged;
    }
    EXPECT_FALSE(load_unit_settings(MemorySettings{}));
}

}  // namespace
