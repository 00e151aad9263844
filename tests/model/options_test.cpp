// Analysis options: defaults of a new model, range checks, and the analysis
// options dialog under the scripted backend.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/piping_codes.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/options_dialog.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Options, InitModelRestoresOnlyTheNumericDefaults) {
    reset_analysis_options();
    AnalysisOptions& o = analysis_options();
    EXPECT_EQ(o.reference_temperature, 70.0f);
    EXPECT_EQ(o.thermal_cycles, 7000);
    EXPECT_EQ(o.numtloads, 1);
    EXPECT_EQ(o.cutoff_frequency, 33);
    EXPECT_EQ(o.number_of_modes, 20);
    EXPECT_EQ(o.peak_pressure_factor, 1.0f);
    EXPECT_EQ(o.seismic_coefficient, 1.2f);
    EXPECT_EQ(o.z184_class_location, 1);
    EXPECT_EQ(validate_options(o), "");

    // Everything different from the defaults.
    o.reference_temperature = 20;
    o.thermal_cycles = 10;
    o.numtloads = 10;
    o.cutoff_frequency = 50;
    o.number_of_modes = 5;
    o.peak_pressure_factor = 1.5f;
    o.seismic_coefficient = 2;
    o.z184_class_location = 3;
    o.z_vertical = true;
    o.use_b31j = true;
    o.bourdon_effect = false;
    o.service_level = 2;
    o.default_temperature = 100;
    AnalysisOptions expected = o;
    expected.reference_temperature = 70;
    expected.thermal_cycles = 7000;
    expected.numtloads = 1;
    expected.cutoff_frequency = 33;
    expected.number_of_modes = 20;
    expected.peak_pressure_factor = 1;
    expected.seismic_coefficient = 1.2f;
    expected.z184_class_location = 1;
    init_model_options();
    EXPECT_EQ(o, expected);

    reset_analysis_options();
    EXPECT_EQ(analysis_options(), AnalysisOptions{});
}

TEST(Options, ValidateNamesTheFirstFieldOutOfRange) {
    auto with = [](auto change) {
        AnalysisOptions o;
        change(o);
        return validate_options(o);
    };
    EXPECT_EQ(with([](AnalysisOptions& o) { o.service_level = 3; }), "Invalid service level");
    EXPECT_EQ(with([](AnalysisOptions& o) { o.b318_design_factor_index = 4; }), "");
    EXPECT_NE(with([](AnalysisOptions& o) { o.b318_design_factor_index = 5; }), "");
    EXPECT_EQ(with([](AnalysisOptions& o) { o.z184_class_location = 0; }),
              "Z184 class location should be between 1 and 4");
    EXPECT_EQ(with([](AnalysisOptions& o) { o.numtloads = 4; }), "Number of thermal loads can be 1, 2, 3 or 10");
    EXPECT_EQ(with([](AnalysisOptions& o) { o.thermal_cycles = 0; }), "Invalid thermal cycles");
    EXPECT_EQ(with([](AnalysisOptions& o) { o.peak_pressure_factor = 0.99f; }),
              "Peak pressure factor should be >= 1.00");
    EXPECT_EQ(with([](AnalysisOptions& o) { o.reference_temperature = -461; }), "Invalid Reference Temperature");
    EXPECT_EQ(with([](AnalysisOptions& o) { o.reference_temperature = NAN; }), "Invalid Reference Temperature");
    EXPECT_EQ(with([](AnalysisOptions& o) { o.number_of_modes = -1; }), "Invalid number of modes");
    EXPECT_EQ(b318_design_factor(1), 0.72);
    EXPECT_EQ(b318_design_factor(99), 0.80);
}

class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        hb = &install_headless_backend();
        set_analysis_options_changed_hook([this] { ++hook_calls; });
    }
    void TearDown() override {
        // Refused user actions are part of some tests; a control the procedure
        // uses that its template lacks never is.
        for (const std::string& fault : hb->script().faults())
            EXPECT_EQ(fault.find("no control"), std::string::npos) << fault;
        set_analysis_options_changed_hook(nullptr);
        remove_backend();
    }
    // Answers the dialog once: `fill` types, then OK; a refused OK is cancelled.
    bool run(std::function<void(HeadlessDialog&)> fill) {
        hb->script().once("ANALYSIS_OPTIONS_DIALOG", [fill](HeadlessDialog& d) {
            fill(d);
            d.press(IDOK);
            if (!d.ended()) d.press(IDCANCEL);
        });
        return analysis_options_dialog(0);
    }

    HeadlessBackend* hb = nullptr;
    int hook_calls = 0;
};

TEST_F(OptionsDialogTest, UnchangedOkLeavesTheModelUnmodifiedInAnyUnits) {
    // Degrees C do not round-trip exactly through the shown text.
    unit_choice()[TEMPERATURE] = 1;
    analysis_options().reference_temperature = 71.3f;
    analysis_options().default_temperature = -40.7f;
    const AnalysisOptions before = analysis_options();
    EXPECT_FALSE(run([](HeadlessDialog&) {}));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(analysis_options(), before);
    EXPECT_EQ(hook_calls, 0);
    EXPECT_EQ(hb->script().messages().size(), 0u);

    // A plain 0 degF (typed, or read from a file) shows as "0" and passes OK.
    unit_choice()[TEMPERATURE] = 0;
    analysis_options().reference_temperature = 0.0f;
    analysis_options().default_temperature = 0.0f;
    std::string shown;
    EXPECT_FALSE(run([&](HeadlessDialog& d) { shown = d.text(OPT_REFERENCE_TEMPERATURE); }));
    EXPECT_EQ(shown, "0");
    EXPECT_EQ(hb->script().messages().size(), 0u);
    EXPECT_EQ(analysis_options().reference_temperature, 0.0f);
}

TEST_F(OptionsDialogTest, BadFieldsShowTheirMessageAndKeepTheDialogOpen) {
    struct Case {
        int item;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {OPT_REFERENCE_TEMPERATURE, "ABC", "Reference temperature =  ABC  is invalid"},
        {OPT_REFERENCE_TEMPERATURE, "-500", "Reference temperature =  -500  is invalid"},
        {OPT_THERMAL_CYCLES, "", "Thermal cycles is required"},
        {OPT_THERMAL_CYCLES, "0", "Thermal cycles =  0  should be > 0"},
        {OPT_PEAK_PRESSURE_FACTOR, "0.9", "Peak pressure factor =  0.9  should be >= 1.00"},
        {OPT_NUMBER_OF_MODES, "-1", "Number of modes =  -1  should be >= 0"},
        {OPT_CUTOFF_FREQUENCY, "1.5", "Cutoff frequency =  1.5  is invalid"},
        {OPT_DEFAULT_TEMPERATURE, "x", "Default temperature =  X  is invalid"},
        {OPT_ITERATION_TOLERANCE, "", "Iteration tolerance is required"},
        {OPT_ITERATION_TOLERANCE, "0", "Iteration tolerance =  0  should be between 1e-06 and 0.1"},
        {OPT_ITERATION_TOLERANCE, "0.5", "Iteration tolerance =  0.5  should be between 1e-06 and 0.1"},
        {OPT_MAX_ITERATIONS, "0", "Maximum iterations =  0  should be > 0"},
        {OPT_MAX_ITERATIONS, "20000", "Maximum iterations =  20000  is too large"},
    };
    const AnalysisOptions before = analysis_options();
    for (const Case& c : cases) {
        bool stayed_open = false;
        EXPECT_FALSE(run([&](HeadlessDialog& d) {
            d.press(OPT_Z_VERTICAL);    // a change that must not be stored
            d.type(c.item, c.text);
            d.press(IDOK);
            stayed_open = !d.ended();
        }));
        EXPECT_TRUE(stayed_open) << c.message;
        EXPECT_EQ(hb->script().last_message(), c.message);
        EXPECT_EQ(analysis_options(), before);
        EXPECT_FALSE(model_modified());
    }
}

TEST_F(OptionsDialogTest, ChangesAreStoredWithTheCode) {
    EXPECT_TRUE(run([](HeadlessDialog& d) {
        d.select(OPT_PIPING_CODE, piping_code_index(CODE_B313));
        d.press(OPT_USE_B31J);
        d.press(OPT_Z_VERTICAL);
        d.press(OPT_BOURDON);
        d.select(OPT_THERMAL_LOAD_SETS, 3);
        d.select(OPT_B318_DESIGN_FACTOR, 4);
        d.type(OPT_THERMAL_CYCLES, "12000");
        d.type(OPT_REFERENCE_TEMPERATURE, "0");
        d.type(OPT_ITERATION_TOLERANCE, "0.005");
        d.type(OPT_MAX_ITERATIONS, "250");
    }));
    const AnalysisOptions& o = analysis_options();
    EXPECT_EQ(o.iteration_tolerance, 0.005f);
    EXPECT_EQ(o.max_iterations, 250);
    EXPECT_EQ(piping_code(), CODE_B313);
    EXPECT_TRUE(o.use_b31j);
    EXPECT_TRUE(o.z_vertical);
    EXPECT_FALSE(o.bourdon_effect);
    EXPECT_EQ(o.numtloads, 10);
    EXPECT_EQ(o.b318_design_factor_index, 4);
    EXPECT_EQ(o.thermal_cycles, 12000);
    EXPECT_EQ(o.reference_temperature, 0.0f);   // a plain zero, not the entered-zero marker
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(hook_calls, 1);
}

TEST_F(OptionsDialogTest, CodeDecidesB31JAndTheEnSeismicLimit) {
    piping_code() = CODE_B313;
    analysis_options().use_b31j = true;
    bool b31j_enabled = true;
    EXPECT_FALSE(run([&](HeadlessDialog& d) {
        d.select(OPT_PIPING_CODE, piping_code_index(CODE_EN13480));
        b31j_enabled = d.is_enabled(OPT_USE_B31J);
        d.type(OPT_SEISMIC_COEFFICIENT, "0.9");
    }));
    EXPECT_FALSE(b31j_enabled);
    EXPECT_EQ(hb->script().last_message(), "Seismic coefficient =  0.9  should be >= 1.00");
    EXPECT_EQ(piping_code(), CODE_B313);

    EXPECT_TRUE(run([](HeadlessDialog& d) {
        d.select(OPT_PIPING_CODE, piping_code_index(CODE_EN13480));
        d.type(OPT_SEISMIC_COEFFICIENT, "1.5");
    }));
    EXPECT_EQ(piping_code(), CODE_EN13480);
    EXPECT_FALSE(analysis_options().use_b31j);
    EXPECT_EQ(analysis_options().seismic_coefficient, 1.5f);

    // A K below 1 that shows rounded as "1" is not kept under EN 13480 either.
    piping_code() = CODE_B313;
    analysis_options().seismic_coefficient = 0.9996f;
    EXPECT_FALSE(run([](HeadlessDialog& d) { d.select(OPT_PIPING_CODE, piping_code_index(CODE_EN13480)); }));
    EXPECT_EQ(piping_code(), CODE_B313);
    EXPECT_EQ(analysis_options().seismic_coefficient, 0.9996f);
}

TEST_F(OptionsDialogTest, LockedInputIsReadOnlyAndOkOnlyCloses) {
    input_locked() = true;
    const AnalysisOptions before = analysis_options();
    bool typed = true, pressed = true;
    EXPECT_FALSE(run([&](HeadlessDialog& d) {
        typed = d.type(OPT_THERMAL_CYCLES, "1");
        pressed = d.press(OPT_BOURDON);
    }));
    EXPECT_FALSE(typed);
    EXPECT_FALSE(pressed);
    EXPECT_EQ(analysis_options(), before);
    EXPECT_FALSE(model_modified());
}

TEST_F(OptionsDialogTest, CommandOpensTheDialog) {
    EXPECT_FALSE(command_available(CMD_ANALYSIS_OPTIONS));
    install_analysis_options_command();
    EXPECT_TRUE(run_command(CMD_ANALYSIS_OPTIONS));
    EXPECT_EQ(hb->script().runs("ANALYSIS_OPTIONS_DIALOG"), 1);
}

}  // namespace
