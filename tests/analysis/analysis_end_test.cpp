// How Analyze shows its end on the scripted backend: the main window's
// status line says the run is done, with the count of the warning lines its
// messages showed, or the step at which it stopped, as the progress dialog
// last showed it.
#include "analysis/analyze_window_fixture.h"
#include "model/ui/model_commands.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace analysis_test;

namespace {

// A load whose Sustained step (not the pass that numbers the nodes) waits
// until the test lets it go on, so that the test knows the step at which
// the run is when it presses Cancel.
std::atomic<bool>& sustained_held()
{
    static std::atomic<bool> held{false};
    return held;
}

struct HoldingItem : DataItem {
    void add_loads(AnalysisRun& run, int) const override
    {
        if (run.structure_pass() || current_step_type(run) != LC_SUSTAINED)
            return;
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (sustained_held() && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
};

class AnalysisEnd : public AnalyzeWindowTest {
protected:
    void SetUp() override
    {
        AnalyzeWindowTest::SetUp();
        start(true);
        sustained_held() = false;
    }
    void TearDown() override
    {
        sustained_held() = false;
        AnalyzeWindowTest::TearDown();
    }

    // The warning lines the messages of the last run showed: every line of
    // every warning message but its heading.
    std::size_t warning_lines() const
    {
        std::size_t lines = 0;
        for (const ScriptEvent& e : hb->script().log())
            if (e.kind == ScriptEvent::MessageBox && e.icon == MessageIcon::Warning)
                lines += static_cast<std::size_t>(std::count(e.text.begin(), e.text.end(), '\n'));
        return lines;
    }
    // The step text of the last progress dialog when it closed.
    std::string last_step() const
    {
        std::string step;
        for (const ScriptEvent& e : hb->script().log())
            if (e.kind == ScriptEvent::DialogRun && e.name == "ANALYSIS_DIALOG")
                for (const auto& [id, text] : e.statics)
                    if (id == ANALYSIS_STEP_TEXT)
                        step = text;
        return step;
    }
};

}  // namespace

TEST_F(AnalysisEnd, DoneIsShownUntilAnotherModelOrAnalyze)
{
    auto cantilever = [this] {
        anchored_from(10);
        pipe(20, 120, 0, 0);
        choose({LC_SUSTAINED, LC_OPERATING_1});
        make_model();
        model_modified() = false;
    };
    cantilever();
    EXPECT_EQ(status(), "");
    ASSERT_TRUE(analyze());
    EXPECT_TRUE(hb->script().messages().empty());
    EXPECT_EQ(status(), "Analysis done");

    // An Analyze that runs nothing leaves no word of the run before.
    reset_model();
    from(10);
    make_model();
    EXPECT_FALSE(analyze());
    EXPECT_EQ(hb->script().last_message(), "There is nothing to analyze");
    EXPECT_EQ(status(), "");

    // Nor does another model.
    reset_model();
    cantilever();
    ASSERT_TRUE(analyze());
    EXPECT_EQ(status(), "Analysis done");
    close_model();
    EXPECT_EQ(status(), "");
}

TEST_F(AnalysisEnd, DoneCountsTheWarningLinesItsMessagesShowed)
{
    // Two rows give nodes 20 and 10 a second place: two lines of warning
    // before the run, and nothing else to say after it.
    anchored_from(10);
    pipe(20, 120, 0, 0);
    pipe(30, 0, 120, 0);
    pipe(20, 0, 0, 50);
    pipe(10, 0, 0, 50);
    choose({LC_SUSTAINED});
    make_model();
    model_modified() = false;
    ASSERT_TRUE(analyze());
    ASSERT_EQ(hb->script().messages().size(), 1u);
    EXPECT_EQ(warning_lines(), 2u) << hb->script().messages().front();
    EXPECT_EQ(status(), "Analysis done: 2 warnings");

    // A case that did not converge, kept with OK: one line after the run.
    hb->script().clear_log();
    reset_model();
    anchored_from(10);
    item<TestGap>(pipe(20, 120, 0, 0, DT_LIMIT_STOP)).gap = 0.001;
    analysis_options().max_iterations = 1;
    make_model();
    model_modified() = false;
    hb->script().answer(IDOK);
    ASSERT_TRUE(analyze());
    EXPECT_EQ(warning_lines(), 1u);
    EXPECT_EQ(status(), "Analysis done: 1 warning");
}

TEST_F(AnalysisEnd, StoppedNamesTheStepWhereTheRunStopped)
{
    // Refused by the model check: no run, and the status says so.
    anchored_from(10);
    pipe(20, 120, 0, 0);
    choose({LC_SUSTAINED, LC_EMPTY});
    make_model();
    model_modified() = false;
    EXPECT_EQ(thrown_text([&] { analyze(); }), "Load case Empty cannot be analysed in this version");
    EXPECT_EQ(status(), "Analysis stopped: Checking the model");

    // A fault in a case: the step the dialog showed last.
    reset_model();
    from(10);
    pipe(20, 120, 0, 0);   // nothing holds the pipe
    choose({LC_SUSTAINED});
    make_model();
    model_modified() = false;
    EXPECT_FALSE(analyze());
    ASSERT_EQ(hb->script().messages().size(), 1u);
    EXPECT_EQ(hb->script().last_message().rfind("Model is unstable", 0), 0u) << hb->script().last_message();
    ASSERT_NE(last_step(), "");
    EXPECT_EQ(status(), "Analysis stopped: " + last_step());

    // Cancel while Sustained, the first of three cases, is being solved:
    // the run stops before the next case and names Sustained.
    hb->script().clear_log();
    set_data_factory(DT_FORCE, [] { return std::make_unique<HoldingItem>(); });
    reset_model();
    anchored_from(10);
    pipe(20, 120, 0, 0, DT_FORCE);
    choose({LC_SUSTAINED, LC_OPERATING_1, LC_EXPANSION_T1});
    make_model();
    model_modified() = false;
    sustained_held() = true;
    std::string shown_at_cancel;
    hb->script().on("ANALYSIS_DIALOG", [&](HeadlessDialog& d) {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (d.text(ANALYSIS_STEP_TEXT).find("Sustained (W+P)") == std::string::npos &&
               std::chrono::steady_clock::now() < give_up) {
            hb->process_events();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        shown_at_cancel = d.text(ANALYSIS_STEP_TEXT);
        d.press(IDCANCEL);
        sustained_held() = false;
    });
    EXPECT_FALSE(analyze());
    EXPECT_EQ(hb->script().last_message(), "Analysis aborted.");
    EXPECT_NE(shown_at_cancel.find("Load case 1 of 3: Sustained (W+P)"), std::string::npos) << shown_at_cancel;
    EXPECT_EQ(status(), "Analysis stopped: " + shown_at_cancel);
}
