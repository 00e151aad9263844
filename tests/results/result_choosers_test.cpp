// The choosers of the results window: their templates by the number of
// entries, the Other Supports chooser and the support loads result, the
// support load summary's pick list and stepping, Thresholds, and
// First-Level Checks with its first check.
#include "codes/stress_display.h"
#include "results/results_program_fixture.h"

#include "framework/strings.h"
#include "framework/ui/pick_list.h"
#include "framework/units.h"
#include "platform/headless/headless_dialog.h"
#include "results/support_summary.h"

namespace {

class ResultChooserTest : public ResultsProgramTest {
protected:
    // Stand-in tables of the nine support kinds' loads and summaries.
    void support_tables()
    {
        for (int kind = 0; kind < SUPPORT_KINDS; ++kind) {
            auto loads = std::make_unique<StandInTable>(RESULT_SUPPORT_LOADS, support_kind_name(kind));
            auto summary = std::make_unique<StandInTable>(RESULT_SUPPORT_SUMMARY, support_kind_name(kind));
            StandInTable* l = loads.get();
            StandInTable* s = summary.get();
            results_hooks().support_loads[static_cast<std::size_t>(kind)] = [l] { l->show(); };
            results_hooks().support_summary[static_cast<std::size_t>(kind)] = [s] { s->show(); };
            kind_tables.push_back(std::move(loads));
            kind_tables.push_back(std::move(summary));
        }
    }
    // The kinds of the sample's supports, in the Other Supports order.
    std::vector<int> sample_kinds() const
    {
        std::vector<int> kinds;
        for (int kind = 0; kind < SUPPORT_KINDS; ++kind)
            for (const LayoutRow& r : model().rows)
                if (r.dtype == support_kind_dtype(kind)) {
                    kinds.push_back(kind);
                    break;
                }
        return kinds;
    }
    std::vector<std::unique_ptr<StandInTable>> kind_tables;
};

}  // namespace

TEST(ResultChooserTemplates, NamesFollowTheNumberOfEntries)
{
    EXPECT_EQ(results_chooser_template(1), "RESULTS3_DIALOG");
    EXPECT_EQ(results_chooser_template(3), "RESULTS3_DIALOG");
    EXPECT_EQ(results_chooser_template(4), "RESULTS4_DIALOG");
    EXPECT_EQ(results_chooser_template(5), "RESULTS6_DIALOG");
    EXPECT_EQ(results_chooser_template(6), "RESULTS6_DIALOG");
    EXPECT_EQ(results_chooser_template(9), "RESULTS10_DIALOG");
    EXPECT_EQ(results_chooser_template(16), "RESULTS16_DIALOG");
    EXPECT_EQ(results_chooser_template(17), "RESULTS18_DIALOG");
    EXPECT_EQ(results_chooser_template(19), "RESULTS18_DIALOG");
    EXPECT_EQ(load_cases_chooser_template(2), "RESULT_LOAD_CASES3_DIALOG");
    EXPECT_EQ(load_cases_chooser_template(5), "RESULT_LOAD_CASES5_DIALOG");
    EXPECT_EQ(load_cases_chooser_template(7), "RESULT_LOAD_CASES8_DIALOG");
    EXPECT_EQ(load_cases_chooser_template(22), "RESULT_LOAD_CASES22_DIALOG");
    EXPECT_EQ(load_cases_chooser_template(23), "RESULT_LOAD_CASES110_DIALOG");
    EXPECT_EQ(load_cases_chooser_size(22), std::make_pair(0, 0));
    EXPECT_EQ(load_cases_chooser_size(23), std::make_pair(190, 335));
    EXPECT_EQ(load_cases_chooser_size(45), std::make_pair(280, 335));
    EXPECT_EQ(load_cases_chooser_size(67), std::make_pair(370, 335));
    EXPECT_EQ(load_cases_chooser_size(89), std::make_pair(460, 335));
    EXPECT_EQ(other_supports_template(2), "OTHER2_DIALOG");
    EXPECT_EQ(other_supports_template(3), "OTHER3_DIALOG");
    EXPECT_EQ(other_supports_template(4), "OTHER4_DIALOG");
    EXPECT_EQ(other_supports_template(5), "OTHER6_DIALOG");
    EXPECT_EQ(other_supports_template(9), "OTHER9_DIALOG");
}

TEST_F(ResultChooserTest, ChooserReachesEveryEntryOfALongList)
{
    // 110 and more entries: every one can be chosen (the list scrolls).
    RadioListChoice choice{load_cases_chooser_template(126), "Load cases", {}, 1, 190, 335};
    for (int i = 1; i <= 126; ++i)
        choice.entries.push_back("Case " + std::to_string(i));
    script().once(choice.template_name, [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_count(RADIO_LIST), 126);
        EXPECT_EQ(d.width(), 190);
        EXPECT_EQ(d.height(), 335);
        EXPECT_TRUE(d.select(RADIO_LIST, 124));
        EXPECT_TRUE(d.press(IDOK));
    });
    EXPECT_EQ(run_radio_list(choice, results_frame().window), 125);
    script().once(choice.template_name, [](HeadlessDialog& d) { EXPECT_TRUE(d.double_click(RADIO_LIST, 125)); });
    EXPECT_EQ(run_radio_list(choice, results_frame().window), 126);
    script().once(choice.template_name, [](HeadlessDialog& d) { EXPECT_TRUE(d.press(IDCANCEL)); });
    EXPECT_EQ(run_radio_list(choice, results_frame().window), 0);
}

TEST_F(ResultChooserTest, OtherSupportsChooserAndSupportLoadsResult)
{
    support_tables();
    open_sample();
    const std::vector<int> kinds = sample_kinds();
    ASSERT_GT(kinds.size(), 1u);
    EXPECT_EQ(support_kind_list(), kinds);
    EXPECT_TRUE(several_support_kinds());
    // "&Support loads" is offered and shows the first kind.
    const std::vector<int>& list = result_list();
    const auto at = std::find(list.begin(), list.end(), RESULT_SUPPORT_LOADS);
    ASSERT_NE(at, list.end());
    show_result(static_cast<int>(at - list.begin()) + 1);
    EXPECT_EQ(current_support_kind(), kinds.front());
    EXPECT_EQ(current_result(), RESULT_SUPPORT_LOADS);
    // F6: "Other Supports", one entry per kind; a click shows it.
    script().once(other_supports_template(static_cast<int>(kinds.size())), [&](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Other Supports");
        ASSERT_EQ(d.list_count(RADIO_LIST), static_cast<int>(kinds.size()));
        EXPECT_EQ(d.list_text(RADIO_LIST, 0), without_mnemonics(support_kind_name(kinds[0])));
        EXPECT_TRUE(d.click_item(RADIO_LIST, 1));
    });
    EXPECT_TRUE(script().key(results_frame().window, KEY_F6));
    EXPECT_EQ(current_support_kind(), kinds[1]);
    EXPECT_EQ(results_tooltip(CMD_OTHER_ITEM), "Other supports");
    // Ctrl+Right and Ctrl+Left step through the kinds with wrap-around.
    set_current_result(RESULT_SUPPORT_LOADS);
    frame_command(results_frame(), CMD_PREVIOUS_ITEM);
    EXPECT_EQ(current_support_kind(), kinds[0]);
    set_current_result(RESULT_SUPPORT_LOADS);
    frame_command(results_frame(), CMD_PREVIOUS_ITEM);
    EXPECT_EQ(current_support_kind(), kinds.back());
    set_current_result(RESULT_SUPPORT_LOADS);
    frame_command(results_frame(), CMD_NEXT_ITEM);
    EXPECT_EQ(current_support_kind(), kinds.front());
}

TEST_F(ResultChooserTest, SupportsOfOneKindOfferNoOtherSupports)
{
    // Only the anchors' table exists: one kind, no chooser, no items.
    auto anchors = std::make_unique<StandInTable>(RESULT_SUPPORT_LOADS, "Anchors");
    StandInTable* a = anchors.get();
    results_hooks().support_loads[0] = [a] { a->show(); };
    open_sample();
    EXPECT_EQ(support_kind_list(), std::vector<int>{0});
    EXPECT_FALSE(several_support_kinds());
    show_support_loads();
    EXPECT_EQ(a->shows, 1);
    add_support_menu_items();
    EXPECT_FALSE(results_frame().menu.contains(CMD_OTHER_ITEM));
    frame_command(results_frame(), CMD_OTHER_ITEM);
    EXPECT_EQ(script().runs(other_supports_template(1)), 0);
}

TEST_F(ResultChooserTest, SupportLoadSummaryPickListAndStepping)
{
    support_tables();
    open_sample();
    ASSERT_TRUE(support_summary_built());
    const ResultsState& r = results();
    const int supports = r.numsupports();
    ASSERT_GT(supports, 2);
    show_support_load_summary();
    EXPECT_EQ(current_result(), RESULT_SUPPORT_SUMMARY);
    EXPECT_EQ(summary_support(), 1);
    // The pick list: every support in kind order, node and type; row 3 chosen.
    script().once("SELECT_DIALOG", [&](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Support load summary");
        const int view = d.control(PICK_LIST_TABLE)->client;
        script().key(view, KEY_DOWN);
        script().key(view, KEY_DOWN);
        EXPECT_TRUE(d.press(IDOK));
    });
    frame_command(results_frame(), CMD_OTHER_ITEM);
    EXPECT_EQ(summary_support(), 3);
    EXPECT_EQ(summary_support_row(), r.supports_by_kind[3]);
    // Cancel keeps the support.
    script().once("SELECT_DIALOG", [](HeadlessDialog& d) { EXPECT_TRUE(d.press(IDCANCEL)); });
    frame_command(results_frame(), CMD_OTHER_ITEM);
    EXPECT_EQ(summary_support(), 3);
    // Next from the last gives the first; previous from the first the last.
    set_summary_support(supports);
    frame_command(results_frame(), CMD_NEXT_ITEM);
    EXPECT_EQ(summary_support(), 1);
    frame_command(results_frame(), CMD_PREVIOUS_ITEM);
    EXPECT_EQ(summary_support(), supports);
    EXPECT_EQ(current_result(), RESULT_SUPPORT_SUMMARY);
}

TEST_F(ResultChooserTest, ThresholdsDialog)
{
    open_sample();
    // A negative stress threshold is taken; a negative ratio is refused.
    script().once("THRESHOLDS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(1301), "");
        EXPECT_EQ(d.text(1601), unit_label(STRESS));
        EXPECT_TRUE(d.type(1301, "-2500"));
        EXPECT_TRUE(d.type(1302, "-5"));
        EXPECT_TRUE(d.press(IDOK));
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.focused(), 1302);
        EXPECT_TRUE(d.type(1302, "80"));
        EXPECT_TRUE(d.press(IDOK));
    });
    int redraws = 0;
    results_hooks().thresholds_changed = [&] { ++redraws; };
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_THRESHOLDS));
    EXPECT_EQ(script().last_message(), "Ratio threshold =  -5  is invalid");
    EXPECT_FLOAT_EQ(stress_display_flags().stress_threshold, -2500.0f);
    EXPECT_FLOAT_EQ(stress_display_flags().ratio_threshold, 80.0f);
    EXPECT_EQ(redraws, 1);
    // Shown again; a stress that does not read is refused; Cancel keeps them.
    script().once("THRESHOLDS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(1302), format_percent(80.0));
        EXPECT_TRUE(d.type(1301, "abc"));
        EXPECT_TRUE(d.press(IDOK));
        EXPECT_EQ(d.focused(), 1301);
        EXPECT_TRUE(d.press(IDCANCEL));
    });
    EXPECT_FALSE(thresholds_dialog(results_frame().window));
    EXPECT_EQ(script().last_message(), "Stress threshold =  ABC  is invalid");
    EXPECT_FLOAT_EQ(stress_display_flags().ratio_threshold, 80.0f);
}

TEST_F(ResultChooserTest, FirstLevelChecksRunsTheFirstCheckThatCan)
{
    open_sample();
    StandInTable& sorted = *tables[RESULT_SORTED_STRESSES];
    // The sample (B31.3) has Sustained and expansion cases: the expansion
    // check runs at once.
    script().once("CHECKSTRESS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(1501), "Code: B31.3 (2018)");
        EXPECT_TRUE(d.is_checked(1402));
        EXPECT_TRUE(d.is_enabled(1401));
        EXPECT_TRUE(d.is_enabled(1405));
        EXPECT_FALSE(d.is_enabled(1407));   // no seismic case
        EXPECT_FALSE(d.is_enabled(1416));   // no modes
        EXPECT_FALSE(d.is_enabled(1169));
        EXPECT_TRUE(d.press(1404));          // a shape: export enabled
        EXPECT_TRUE(d.is_enabled(1169));
        EXPECT_TRUE(d.press(8));
    });
    EXPECT_TRUE(script().menu_command(results_frame().window, CMD_FIRST_LEVEL_CHECKS));
    EXPECT_EQ(sorted.shows, 1);
    EXPECT_EQ(stress_display_flags().ratio_kind, 1);
    // 1404 made Sustained current and showed the displacements.
    EXPECT_EQ(results_loadcase_code(), LC_SUSTAINED);
    EXPECT_EQ(tables[RESULT_DISPLACEMENTS]->shows, 1);

    // Without an expansion case the first check that can runs; with no
    // check at all none does.
    results().available.any_expansion = false;
    script().once("CHECKSTRESS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_FALSE(d.is_enabled(1402));
        EXPECT_TRUE(d.is_checked(1401));
        EXPECT_TRUE(d.press(8));
    });
    first_level_checks_dialog(results_frame().window);
    EXPECT_EQ(sorted.shows, 2);
    EXPECT_EQ(stress_display_flags().ratio_kind, 0);
    results().available = ResultsAvailability{};
    script().once("CHECKSTRESS_DIALOG", [](HeadlessDialog& d) {
        for (int id = 1401; id <= 1416; ++id)
            EXPECT_FALSE(d.is_enabled(id)) << id;
        EXPECT_TRUE(d.press(8));
    });
    first_level_checks_dialog(results_frame().window);
    EXPECT_EQ(sorted.shows, 2);
}

TEST_F(ResultChooserTest, FirstLevelChecksWithStaticAnalysisRelabels)
{
    open_sample();
    results().available.present[LC_STATIC_ANALYSIS] = 1;
    script().once("CHECKSTRESS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(1401), "von Mises Stress");
        EXPECT_EQ(d.text(1402), "Maximum Stress");
        EXPECT_EQ(d.text(1403), "Minimum Stress");
        EXPECT_EQ(d.text(1404), "Static Load Deflected Shape");
        EXPECT_EQ(d.text(1168), "Nozzles / Anchors");
        EXPECT_EQ(d.text(1414), "Show Support Loads");
        EXPECT_TRUE(d.is_enabled(1403));
        EXPECT_TRUE(d.is_enabled(1414));
        EXPECT_TRUE(d.press(1167));   // View Detailed Results: the chooser
    });
    script().once(result_chooser_template(), [](HeadlessDialog& d) { EXPECT_TRUE(d.click_item(RADIO_LIST, 1)); });
    const int runs = script().runs(result_chooser_template());
    first_level_checks_dialog(results_frame().window);
    EXPECT_EQ(script().runs(result_chooser_template()), runs + 1);
    EXPECT_EQ(current_result(), result_list()[1]);
    // Occasional with static analysis is kind 2.
    script().once("CHECKSTRESS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.press(1403));
        EXPECT_TRUE(d.press(8));
    });
    first_level_checks_dialog(results_frame().window);
    EXPECT_EQ(stress_display_flags().ratio_kind, 2);
}
