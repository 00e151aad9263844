// The wind and seismic dialogs: a velocity profile typed into the profile
// table in its own units and kept in internal ones, the four wind loads
// switched and checked, the ASCE 7-10 design wind, and the seismic factors
// typed or computed from the ASCE 7-10 data.
#include "framework/units.h"
#include "loads/loads_ui_fixture.h"
#include "loads/ui/wind_seismic_ui.h"

using namespace loads_test;

namespace {

class WindSeismicUiTest : public LoadsUiTest {};

}  // namespace

TEST_F(WindSeismicUiTest, ProfileTypedInItsUnitsAndWindLoadsSwitched)
{
    script().once("WIND_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(WI_LOAD1));
        // Wind 1: along X, a velocity profile in metres and m/s.
        d.type(WI_DX, "1");
        d.press(WI_VELOCITY_PROFILE);
        d.select(WI_ELEVATION_UNIT, 1);
        d.select(WI_VELOCITY_UNIT, 2);
        type_points(d, {{"0", "30"}, {"20", "40"}});
        // Wind 2: a pressure profile with no direction is refused at OK.
        d.press(WI_LOAD1 + 1);
        EXPECT_EQ(d.text(WI_DX), "");
        EXPECT_EQ(d.text(WI_SHAPE), "0.6");
        d.press(WI_PRESSURE_PROFILE);
        type_points(d, {{"10", "0.1"}});
        d.press(IDOK);
        EXPECT_TRUE(d.is_checked(WI_LOAD1 + 1));
        d.type(WI_DX + 2, "-1");
        d.type(WI_SHAPE, "0");
        // Wind 3: the ASCE profile without the ASCE data is refused.
        d.press(WI_LOAD1 + 2);
        d.press(WI_ASCE);
        d.type(WI_DX + 1, "1");
        d.press(IDOK);
        d.press(WI_ASCE);
        d.press(IDOK);
    });
    EXPECT_EQ(edit_wind(), IDOK);
    EXPECT_EQ(script().messages(),
              (std::vector<std::string>{"Invalid wind direction",
                                        "ASCE Wind cannot be turned ON as ASCE Wind Parameters not defined"}));
    const WindData& w = wind_data();
    EXPECT_EQ(w.units, (WindProfileUnits{1, 0, 2, PROFILE_PRESSURE}));
    ASSERT_EQ(w.loads[1].velocity.size(), 2u);
    EXPECT_NEAR(w.loads[1].velocity[1].x, 20.0 / 0.0254, 1e-3);
    EXPECT_NEAR(w.loads[1].velocity[1].y, 40.0 * 3600.0 / 1609.344, 1e-4);
    EXPECT_TRUE(wind_load1_defined());
    EXPECT_EQ(w.loads[2].direction, (std::array<float, 3>{0.0f, 0.0f, -1.0f}));
    EXPECT_FLOAT_EQ(w.loads[2].shape_factor, DEFAULT_SHAPE_FACTOR);
    ASSERT_EQ(w.loads[2].pressure.size(), 1u);
    EXPECT_NEAR(w.loads[2].pressure[0].x, 10.0 / 0.0254, 1e-3);
    EXPECT_FLOAT_EQ(w.loads[2].pressure[0].y, 0.1f);
    EXPECT_TRUE(wind_load2_defined());
    EXPECT_FALSE(wind_load3_defined());
    EXPECT_TRUE(model_modified());

    // Shown again, the profile reads in the units it was given in.
    script().once("WIND_DIALOG", [](HeadlessDialog& d) {
        d.press(WI_VELOCITY_PROFILE);
        const auto lines = headless_backend().script().paint(d.control(LOAD_TABLE)->client);
        std::string all;
        for (const std::string& l : lines)
            all += l + "\n";
        EXPECT_NE(all.find("\"20\""), std::string::npos) << all;
        EXPECT_NE(all.find("\"40\""), std::string::npos) << all;
        d.press(IDCANCEL);
    });
    edit_wind();
}

TEST_F(WindSeismicUiTest, AsceWindDataAndTheAsceProfile)
{
    script().once("WIND_DIALOG", [](HeadlessDialog& d) {
        d.press(WI_ASCE_BUTTON);
        d.type(WI_DX + 2, "1");
        d.press(WI_ASCE);
        d.press(IDOK);
    });
    script().once("ASCE_WIND_DIALOG", [](HeadlessDialog& d) {
        d.press(AW_ON);
        d.press(IDOK);   // the speed is required once the design wind is on
        d.type(AW_SPEED, "115");
        d.select(AW_EXPOSURE, 2);
        d.select(AW_HILL, 2);
        d.press(IDOK);   // a hill needs its height
        for (int i = 0; i < 4; ++i)
            d.type(AW_HILL_HEIGHT + i, "100");
        d.select(AW_SURFACE, 1);
        d.press(IDOK);
    });
    EXPECT_EQ(edit_wind(), IDOK);
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Basic wind speed is required", "Hill height is required"}));
    EXPECT_TRUE(asce_wind_on());
    EXPECT_FLOAT_EQ(asce_wind().speed, 115.0f);
    EXPECT_EQ(asce_wind().exposure, EXPOSURE_D);
    EXPECT_EQ(asce_wind().hill, HILL_ESCARPMENT);
    EXPECT_FLOAT_EQ(asce_wind().crest_distance, 1200.0f);
    EXPECT_EQ(asce_wind().surface, SURFACE_ROUGH);
    EXPECT_TRUE(wind_load1_defined());
    EXPECT_NEAR(wind_pressure_at(1, 600.0), asce_velocity_pressure(asce_wind(), 600.0), 1e-12);
}

TEST_F(WindSeismicUiTest, SeismicFactorsTypedOrComputed)
{
    script().once("SEISMIC_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(SE_ABSOLUTE));
        d.type(SE_G_X, "0.3");
        d.press(SE_FLAG_X);
        d.type(SE_G_X + 2, "x");
        d.press(IDOK);
        d.type(SE_G_X + 2, "0.1");
        d.press(SE_SRSS);
        d.press(IDOK);
    });
    EXPECT_EQ(edit_seismic(), IDOK);
    EXPECT_EQ(script().last_message(), "Z seismic load =  X  is invalid");
    EXPECT_EQ(seismic_g().g, (std::array<float, 3>{0.3f, 0.0f, 0.1f}));
    EXPECT_EQ(seismic_g().flag, (std::array<uint8_t, 3>{1, 0, 0}));
    EXPECT_EQ(seismic_g().combination, SEISMIC_SRSS);

    // Use ASCE 7-10: the data dialog opens; its OK computes the factors,
    // which the seismic dialog then shows read-only.
    script().once("SEISMIC_DIALOG", [](HeadlessDialog& d) {
        d.press(SE_ASCE_ON);
        EXPECT_TRUE(d.is_checked(SE_ASCE_ON));
        EXPECT_TRUE(d.control(SE_G_X)->readonly);
        EXPECT_EQ(d.text(SE_G_X), "0.11088");
        d.press(IDOK);
    });
    script().once("ASCE_SEISMIC_DIALOG", [](HeadlessDialog& d) {
        d.select(AS_SITE, SITE_D);
        d.type(AS_SS, "0.6");
        d.type(AS_Z, "20");   // ft
        d.type(AS_H, "40");
        d.type(AS_AP, "3");
        d.press(IDOK);
        EXPECT_EQ(headless_backend().script().last_message(),
                  "Component Amplication Factor =  3  is invalid");
        d.type(AS_AP, "2.5");
        d.press(AS_COMPUTE);
        EXPECT_NE(d.text(AS_RESULT).find("Horizontal = 0.1109 g"), std::string::npos) << d.text(AS_RESULT);
        d.press(IDOK);
    });
    EXPECT_EQ(edit_seismic(), IDOK);
    EXPECT_TRUE(asce_seismic_on());
    EXPECT_NEAR(seismic_g().g[0], 0.11088, 1e-6);
    EXPECT_NEAR(seismic_g().g[1], 0.07392, 1e-6);   // Y vertical
    EXPECT_FLOAT_EQ(asce_seismic().component_height, 240.0f);
}

TEST_F(WindSeismicUiTest, WhileResultsAreShownTheDialogsOnlyShow)
{
    wind_load(2).direction = {1.0f, 0.0f, 0.0f};
    wind_load(2).shape_factor = 0.7f;
    input_locked() = true;
    script().once("WIND_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.control(WI_DX)->readonly);
        EXPECT_FALSE(d.is_enabled(WI_ASCE_BUTTON));
        EXPECT_TRUE(d.press(WI_LOAD1 + 1));
        EXPECT_EQ(d.text(WI_SHAPE), "0.7");
        d.press(IDOK);
    });
    script().once("SEISMIC_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.control(SE_G_X)->readonly);
        EXPECT_FALSE(d.is_enabled(SE_FLAG_X));
        d.press(IDOK);
    });
    const WindData wind = wind_data();
    edit_wind();
    edit_seismic();
    input_locked() = false;
    EXPECT_TRUE(wind_data() == wind);
    EXPECT_FALSE(model_modified());
}
