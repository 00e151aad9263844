// The support dialogs on the scripted backend: each kind's fields are
// filled from its support and read back into it, checked in order with the
// first failure shown at its field, stored only when something changed
// (the model is then modified), and left alone while results are shown.
#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/units.h"
#include "model/model_file_fixture.h"
#include "model/ui/layout_window.h"
#include "supports/anchor.h"
#include "supports/generic_support.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"
#include "supports/ui/support_dialogs.h"
#include "supports/ui/support_table.h"
#include "supports/ui/supports_ui.h"

namespace {

class SupportDialogTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_supports_ui();
        from(10);
        row(20, ET_PIPE, 100, 0, 0);
        row(30, ET_PIPE, 0, 50, 0);
        make_model();
        model_modified() = false;
    }

    // Gives row 3 (node 30) a support of the kind and returns it.
    template <typename T>
    T& support(int dtype)
    {
        LayoutRow::change_dtype(3, dtype);
        make_model();
        model_modified() = false;
        return dynamic_cast<T&>(*model().rows[3].data);
    }
    // Opens the row's dialog (through the layout's hook) with a script.
    bool edit(const std::string& name, std::function<void(HeadlessDialog&)> handler)
    {
        script().once(name, std::move(handler));
        return layout_hooks().data_dialog[static_cast<std::size_t>(model().rows[3].dtype)](3);
    }
    using Fields = std::vector<std::pair<int, std::string>>;
    static void attempt(HeadlessDialog& d, const Fields& fields)
    {
        for (const auto& [id, text] : fields)
            d.type(id, text);
        d.press(IDOK);
    }
};

TEST_F(SupportDialogTest, AnchorFieldsChecksAndDisplacementSets)
{
    Anchor& a = support<Anchor>(DT_ANCHOR);
    const bool stored = edit("ANCHOR_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Anchor at node 30");
        EXPECT_EQ(d.text(SUP_STIFFNESS), "Rigid");
        EXPECT_EQ(d.text(SUP_STIFFNESS_UNIT), "(lb/inch)");
        EXPECT_EQ(d.text(SUP_STIFFNESS_UNIT + 3), "(in-lb/deg)");
        EXPECT_EQ(d.focused(), SUP_TAG);
        // The tag field takes 14 characters.
        d.type(SUP_TAG, "A-30 tag too long");
        EXPECT_EQ(d.text(SUP_TAG), "A-30 tag too l");
        attempt(d, {{SUP_TAG, "A-30"}, {SUP_STIFFNESS + 1, "-5"}});
        EXPECT_EQ(d.focused(), SUP_STIFFNESS + 1);
        attempt(d, {{SUP_STIFFNESS + 1, "5000"}, {SUP_STIFFNESS + 4, "0"}, {SUP_DISPLACEMENT, "x"}});
        // Set T1: DX 0.25 (DY and the rest 0); then Settlement: DY -1.5.
        d.type(SUP_DISPLACEMENT, "0.25");
        EXPECT_TRUE(d.select(SUP_DISPLACEMENT_SET, 11));
        EXPECT_EQ(d.text(SUP_DISPLACEMENT), "");
        d.type(SUP_DISPLACEMENT + 1, "-1.5");
        // Back to T1: its values are shown again.
        d.select(SUP_DISPLACEMENT_SET, 0);
        EXPECT_EQ(d.text(SUP_DISPLACEMENT), "0.25");
        EXPECT_EQ(d.text(SUP_DISPLACEMENT + 1), "0");
        d.press(ANCHOR_LOCAL_AXES);
        d.press(ANCHOR_RELEASE + 5);
        d.press(IDOK);
    });
    EXPECT_TRUE(stored);
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"KY =  -5  is invalid: it must be 0 or more", "DX =  X  is invalid"}));
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(a.v.tag, "A-30");
    EXPECT_EQ(a.v.stiffness[0], RIGID_STIFFNESS);
    EXPECT_EQ(a.v.stiffness[1], 5000.0f);
    EXPECT_EQ(a.v.stiffness[4], 0.0f);   // free
    EXPECT_TRUE(a.v.local_axes);
    EXPECT_EQ(a.v.released, (std::array<uint8_t, 6>{0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(a.v.displacements.given[1], 1);
    EXPECT_FLOAT_EQ(a.v.displacements.values[1][0], 0.25f);
    EXPECT_EQ(a.v.displacements.given[12], 1);
    EXPECT_FLOAT_EQ(a.v.displacements.values[12][1], -1.5f);
    for (int k = 2; k <= 11; ++k)
        EXPECT_EQ(a.v.displacements.given[static_cast<std::size_t>(k)], 0) << k;

    // OK without a change stores nothing and leaves the model unmodified.
    model_modified() = false;
    const AnchorValues before = a.v;
    EXPECT_FALSE(edit("ANCHOR_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(SUP_STIFFNESS + 1), "5000");
        d.press(IDOK);
    }));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(a.v, before);
}

TEST_F(SupportDialogTest, FieldsThatShowRoundedValuesKeepThemExactly)
{
    // A value the fields show rounded comes back as it was when its text is
    // not touched; cancelling changes nothing at all.
    Guide& g = support<Guide>(DT_GUIDE);
    g.v.gap = 0.123456789f;
    g.v.mu = 0.3333333f;
    g.v.stiffness = 123456.789f;
    const GuideValues before = g.v;
    EXPECT_FALSE(edit("GUIDE_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); }));
    EXPECT_EQ(g.v, before);
    EXPECT_FALSE(edit("GUIDE_DIALOG", [](HeadlessDialog& d) {
        d.type(SUP_GAP, "5");
        d.press(IDCANCEL);
    }));
    EXPECT_EQ(g.v, before);
    EXPECT_FALSE(model_modified());
}

TEST_F(SupportDialogTest, RestraintAndSkewedRestraint)
{
    Restraint& r = support<Restraint>(DT_RESTRAINT);
    edit("RESTRAINT_DIALOG", [](HeadlessDialog& d) {
        d.press(IDOK);   // nothing restrained
        d.press(RESTRAINT_X + 1);
        d.press(IDOK);
    });
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"At least one direction must be restrained"}));
    EXPECT_EQ(r.v.restrained, (std::array<uint8_t, 3>{0, 1, 0}));

    script().clear_log();
    SkewedRestraint& s = support<SkewedRestraint>(DT_SKEWED_RESTRAINT);
    edit("SKEWED_RESTRAINT_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(SUP_SPRING), "Rigid");
        d.press(SKEWED_ROTATIONAL);
        EXPECT_EQ(d.text(SUP_SPRING_UNIT), "(in-lb/deg)");
        attempt(d, {});                                              // no direction, no connected node
        attempt(d, {{SUP_DIRECTION, "0.00001"}});                    // shorter than 1e-4
        attempt(d, {{SUP_DIRECTION, ""}, {SUP_CONNECTED, "55"}});    // no such node
        attempt(d, {{SUP_CONNECTED, "30"}});                         // its own node
        attempt(d, {{SUP_CONNECTED, "10"}, {SUP_SPRING, "2.5E6"}});
    });
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Direction is invalid", "Direction is invalid",
                                                             "Connected node =  55  Invalid node",
                                                             "Connected node =  30  is the support's own node"}));
    EXPECT_TRUE(s.v.rotational);
    EXPECT_EQ(s.v.connected, 10);
    EXPECT_FLOAT_EQ(s.v.stiffness, static_cast<float>(2.5e6 * 180.0 / 3.14159265358979323846));   // per degree
    EXPECT_EQ(s.v.direction, (std::array<float, 3>{}));   // towards node 10
}

TEST_F(SupportDialogTest, HangerFieldsFollowTheType)
{
    Hanger& h = support<Hanger>(DT_HANGER);
    edit("HANGER_DIALOG", [](HeadlessDialog& d) {
        // A new hanger: the default catalogue, one hanger, 25 percent.
        EXPECT_EQ(d.list_selection(HANGER_TYPE), 15);
        EXPECT_EQ(d.list_text(HANGER_TYPE, 15), "Grinnell");
        EXPECT_EQ(d.list_count(HANGER_TYPE), 38);
        EXPECT_EQ(d.text(HANGER_VARIATION), "25");
        EXPECT_FALSE(d.is_enabled(HANGER_RATE));
        EXPECT_TRUE(d.is_enabled(HANGER_VARIATION));
        attempt(d, {{HANGER_COUNT, "9"}});
        attempt(d, {{HANGER_COUNT, "2"}, {HANGER_VARIATION, "0"}});
        // The user hanger: rate and load.
        d.select_text(HANGER_TYPE, "User hanger");
        EXPECT_TRUE(d.is_enabled(HANGER_RATE));
        EXPECT_FALSE(d.is_enabled(HANGER_VARIATION));
        attempt(d, {});
        attempt(d, {{HANGER_RATE, "400"}});
        d.press(HANGER_COLD);
        attempt(d, {{HANGER_LOAD, "1250"}});
    });
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Number of hangers =  9  is invalid",
                                                             "Load variation =  0  is invalid",
                                                             "Spring rate is required", "Load is required"}));
    EXPECT_EQ(h.v.type, HANGER_USER);
    EXPECT_EQ(h.v.count, 2);
    EXPECT_EQ(h.v.spring_rate, 400.0f);
    EXPECT_EQ(h.v.load, 1250.0f);
    EXPECT_EQ(h.v.load_type, 1);

    // A rod hanger keeps no rate, load or variation.
    edit("HANGER_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(HANGER_RATE), "400");
        d.select_text(HANGER_TYPE, "Rod hanger");
        d.press(IDOK);
    });
    EXPECT_EQ(h.v.type, HANGER_ROD);
    EXPECT_EQ(h.v.spring_rate, 0.0f);
    EXPECT_EQ(h.v.load, 0.0f);
    EXPECT_EQ(h.v.load_type, 0);
}

TEST_F(SupportDialogTest, GuideLimitStopAndSnubber)
{
    Guide& g = support<Guide>(DT_GUIDE);
    edit("GUIDE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(SUP_SPRING), "Rigid");
        attempt(d, {{SUP_GAP, "-0.1"}});
        attempt(d, {{SUP_GAP, "0.0625"}, {SUP_MU, "-1"}});
        attempt(d, {{SUP_MU, "0.3"}, {SUP_CONNECTED, "20"}});
    });
    EXPECT_EQ(script().messages(),
              (std::vector<std::string>{"Gap =  -0.1  is invalid", "Friction coefficient =  -1  is invalid"}));
    EXPECT_EQ(g.v.gap, 0.0625f);
    EXPECT_EQ(g.v.mu, 0.3f);
    EXPECT_EQ(g.v.connected, 20);
    EXPECT_EQ(g.v.stiffness, 0.0f);   // "Rigid" untouched

    script().clear_log();
    LimitStop& s = support<LimitStop>(DT_LIMIT_STOP);
    edit("LIMIT_STOP_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(STOP_LOWER), "None");
        attempt(d, {{SUP_DIRECTION + 1, "1"}});                       // no limits
        attempt(d, {{STOP_LOWER, "0"}, {STOP_UPPER, "-0.1"}});        // upper below lower
        EXPECT_EQ(d.focused(), STOP_UPPER);
        attempt(d, {{STOP_UPPER, "none"}});
    });
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"No limits are specified",
                                                             "Upper limit should be greater than the lower limit, or both limits 0"}));
    EXPECT_EQ(s.v.lower, 0.0f);
    EXPECT_TRUE(no_limit(s.v.upper));
    EXPECT_EQ(s.v.direction, (std::array<float, 3>{0, 1, 0}));

    script().clear_log();
    Snubber& n = support<Snubber>(DT_SNUBBER);
    edit("SNUBBER_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {});
        attempt(d, {{SUP_DIRECTION + 2, "-1"}, {SUP_SPRING, "25000"}});
    });
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Direction is invalid"}));
    EXPECT_EQ(n.v.direction, (std::array<float, 3>{0, 0, -1}));
    EXPECT_EQ(n.v.stiffness, 25000.0f);
}

TEST_F(SupportDialogTest, NozzleChecksInTheirOrder)
{
    unit_choice()[LENGTH] = 2;   // lengths in inch
    Nozzle& n = support<Nozzle>(DT_NOZZLE);
    edit("NOZZLE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(NOZZLE_WRC297));
        EXPECT_FALSE(d.is_enabled(NOZZLE_PAD));
        attempt(d, {});
        attempt(d, {{NOZZLE_OD, "4"}});
        attempt(d, {{NOZZLE_OD + 1, "2.5"}});
        attempt(d, {{NOZZLE_OD + 1, "0.5"}, {NOZZLE_OD + 2, "100"}, {NOZZLE_OD + 3, "0.5"}});
        attempt(d, {{NOZZLE_OD + 4, "4"}});
        attempt(d, {{NOZZLE_OD + 5, "50"}});
        // A tank: the ratios of API 650 (4/97 above 0.041, 6.2/4 above 1.51).
        d.press(NOZZLE_API650);
        EXPECT_TRUE(d.is_enabled(NOZZLE_PAD));
        attempt(d, {{SUP_DIRECTION + 1, "1"}, {NOZZLE_OD + 2, "97"}});
        attempt(d, {{NOZZLE_OD + 2, "100"}, {NOZZLE_OD + 4, "6.2"}});
        d.press(NOZZLE_PAD);
        attempt(d, {{NOZZLE_OD + 4, "4"}});
    });
    EXPECT_EQ(script().messages(),
              (std::vector<std::string>{"Nozzle OD required", "Nozzle thk required",
                                        "Nozzle Thickness is greater than nozzle radius", "Length 1 required",
                                        "L2 required", "Direction required", "Nozzle OD/Vessel OD > 0.04",
                                        "L/Nozzle OD > 1.5"}));
    EXPECT_EQ(n.v.type, NOZZLE_API_650);
    EXPECT_TRUE(n.v.pad);
    EXPECT_EQ(n.v.vessel_od, 100.0f);
    EXPECT_EQ(n.v.length1, 4.0f);
    EXPECT_EQ(n.v.axis, (std::array<float, 3>{0, 1, 0}));

    // A sphere needs neither length 1 nor an axis; they are cleared.
    edit("NOZZLE_DIALOG", [](HeadlessDialog& d) {
        d.press(NOZZLE_PD5500);
        EXPECT_FALSE(d.is_enabled(NOZZLE_OD + 4));
        d.press(IDOK);
    });
    EXPECT_EQ(n.v.type, NOZZLE_PD_5500);
    EXPECT_EQ(n.v.length1, 0.0f);
    EXPECT_FALSE(n.v.pad);
}

TEST_F(SupportDialogTest, GenericSupportNeedsASpring)
{
    GenericSupport& g = support<GenericSupport>(DT_GENERIC_SUPPORT);
    edit("GENERIC_SUPPORT_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {});
        attempt(d, {{SUP_STIFFNESS + 1, "rigid"}, {SUP_STIFFNESS + 5, "1500"}});
    });
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"At least one spring is required"}));
    // The rotational spring is typed per degree.
    EXPECT_EQ(g.v.stiffness[1], RIGID_STIFFNESS);
    EXPECT_FLOAT_EQ(g.v.stiffness[5], static_cast<float>(1500.0 * 180.0 / 3.14159265358979323846));
}

TEST_F(SupportDialogTest, WhileResultsAreShownTheDialogOnlyShows)
{
    Guide& g = support<Guide>(DT_GUIDE);
    g.v.gap = 0.5f;
    input_locked() = true;
    EXPECT_FALSE(edit("GUIDE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_readonly(SUP_GAP));
        EXPECT_TRUE(d.is_readonly(SUP_TAG));
        EXPECT_FALSE(d.type(SUP_GAP, "1"));
        EXPECT_EQ(d.focused(), IDOK);
        d.press(IDOK);
    }));
    input_locked() = false;
    EXPECT_EQ(g.v.gap, 0.5f);
    EXPECT_FALSE(model_modified());
}

}  // namespace
