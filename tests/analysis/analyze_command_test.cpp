// The Analyze command and the Load Cases dialog on the scripted backend: the
// run on its worker thread with the progress dialog, Cancel, the question
// about a case that did not converge, batch mode, and the choice of load
// cases stored with the model.
#include "analysis/analyze_window_fixture.h"
#include "analysis/ui/analysis_dialogs_ui.h"
#include "analysis/ui/analysis_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "loads/nodal_loads.h"
#include "platform/headless/headless_backend.h"

#include <chrono>
#include <fstream>
#include <thread>

using namespace analysis_test;

namespace {

// A load that takes its time in every step, so that a test can act while a
// run is going on.
struct SlowItem : DataItem {
    void add_loads(AnalysisRun&, int) const override { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }
};

class AnalyzeCommandTest : public AnalyzeWindowTest {
protected:
    void SetUp() override
    {
        AnalyzeWindowTest::SetUp();
        start(false);
        set_data_factory(DT_FORCE, [] { return std::make_unique<SlowItem>(); });
    }
    void TearDown() override
    {
        for (const std::string& fault : hb->script().faults())
            EXPECT_EQ(fault.find("no control"), std::string::npos) << fault;
        AnalyzeWindowTest::TearDown();
    }
    // An anchored pipe with a gap stop at its end, saved, in `cases`.
    void gap_model(std::initializer_list<int> cases)
    {
        anchored_from(10);
        item<TestGap>(pipe(20, 120, 0, 0, DT_LIMIT_STOP)).gap = 0.001;
        choose(cases);
        make_model();
        model_modified() = false;
    }
    bool results_written() const { return std::filesystem::exists(folder + "/model.res"); }
    // The static texts of the last run of a dialog.
    std::string dialog_texts(const std::string& name) const
    {
        std::string texts;
        for (const ScriptEvent& e : hb->script().log())
            if (e.kind == ScriptEvent::DialogRun && e.name == name)
                texts = e.text;
        return texts;
    }
};

}  // namespace

TEST_F(AnalyzeCommandTest, EmptyModelHasNothingToAnalyze)
{
    EXPECT_TRUE(command_available(CMD_ANALYZE));
    EXPECT_TRUE(command_available(CMD_LOAD_CASE_LIST));
    from(10);
    EXPECT_FALSE(analyze_command(0));
    EXPECT_EQ(hb->script().last_message(), "There is nothing to analyze");
    EXPECT_EQ(hb->script().runs("ANALYSIS_DIALOG"), 0);
}

TEST_F(AnalyzeCommandTest, RunShowsItsProgressAndClosesItsDialog)
{
    gap_model({LC_SUSTAINED, LC_EXPANSION_T1});
    EXPECT_TRUE(analyze_command(0));
    EXPECT_TRUE(results_written());
    EXPECT_EQ(hb->script().runs("ANALYSIS_DIALOG"), 1);
    EXPECT_NE(dialog_texts("ANALYSIS_DIALOG").find("Writing the results file"), std::string::npos);
    EXPECT_TRUE(hb->script().messages().empty());
    EXPECT_FALSE(model_modified());
}

TEST_F(AnalyzeCommandTest, ModelIsCheckedBeforeAnyThreadStarts)
{
    gap_model({LC_SUSTAINED, LC_EMPTY});
    EXPECT_EQ(thrown_text([] { analyze_command(0); }), "Load case Empty cannot be analysed in this version");
    EXPECT_EQ(hb->script().runs("ANALYSIS_DIALOG"), 0);
    // An untitled model is saved first; without a Save command it is refused.
    choose({LC_SUSTAINED});
    model_file_path().clear();
    EXPECT_EQ(thrown_text([] { analyze_command(0); }), "The model has not been saved yet.");
}

TEST_F(AnalyzeCommandTest, ChangedModelIsSavedBeforeItIsAnalysed)
{
    gap_model({LC_SUSTAINED});
    model_modified() = true;
    int saves = 0;
    register_command(CMD_SAVE, [&](int) {
        ++saves;
        model_modified() = false;
    });
    EXPECT_TRUE(analyze_command(0));
    EXPECT_EQ(saves, 1);
    // A save that does not happen (cancelled, failed) analyses nothing.
    model_modified() = true;
    register_command(CMD_SAVE, [&](int) { ++saves; });
    std::filesystem::remove(folder + "/model.res");
    EXPECT_FALSE(analyze_command(0));
    EXPECT_EQ(saves, 2);
    EXPECT_FALSE(results_written());
}

TEST_F(AnalyzeCommandTest, CancelStopsTheRunAndKeepsTheOldResults)
{
    // Ten thermal sets: 21 cases of at least 20 ms each.
    analysis_options().numtloads = 10;
    anchored_from(10);
    pipe(20, 120, 0, 0, DT_FORCE);
    load_case_list().clear();
    make_model();
    model_modified() = false;
    std::ofstream(folder + "/model.res") << "old results";
    hb->script().on("ANALYSIS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.press(IDCANCEL));
        EXPECT_FALSE(d.ended());   // the dialog stays until the run has stopped
        EXPECT_FALSE(d.is_enabled(IDCANCEL));
    });
    EXPECT_FALSE(analyze_command(0));
    EXPECT_EQ(hb->script().last_message(), "Analysis aborted.");
    std::ifstream in(folder + "/model.res");
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "old results");
}

TEST_F(AnalyzeCommandTest, CaseThatDidNotConvergeIsAskedAbout)
{
    analysis_options().max_iterations = 1;
    gap_model({LC_SUSTAINED});
    // Cancel stops the analysis.
    hb->script().answer(IDCANCEL);
    EXPECT_FALSE(analyze_command(0));
    const std::vector<std::string> messages = hb->script().messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].rfind("1 nonlinearities of load case \"Sustained (W+P)\" have not converged", 0), 0u);
    EXPECT_EQ(messages[1], "Analysis aborted.");
    EXPECT_FALSE(results_written());

    // OK keeps the results and says which cases did not converge.
    hb->script().clear_log();
    hb->script().answer(IDOK);
    EXPECT_TRUE(analyze_command(0));
    EXPECT_TRUE(results_written());
    // The case's line names how far its load path got.
    const std::string last = hb->script().last_message();
    EXPECT_EQ(last.rfind("The nonlinear iterations of these load cases did not converge:\n"
                         "Sustained (W+P): 1 nonlinearities not converged after ",
                         0),
              0u)
        << last;
    EXPECT_NE(last.find("; the load path reached "), std::string::npos) << last;
    EXPECT_TRUE(last_analysis_unconverged());

    // Batch mode asks nothing and closes the dialog by itself; the warning
    // (standard error in batch mode) is all it shows.
    hb->script().clear_log();
    batch_mode() = true;
    EXPECT_TRUE(analyze_command(0));
    ASSERT_EQ(hb->script().messages().size(), 1u);
    EXPECT_EQ(hb->script().messages()[0].rfind("The nonlinear iterations of these load cases did not converge:", 0), 0u);
    EXPECT_TRUE(last_analysis_unconverged());
}

TEST_F(AnalyzeCommandTest, StiffnessExportWritesEachElementsMatrix)
{
    gap_model({LC_SUSTAINED});
    stiffness_export_requested() = true;
    EXPECT_TRUE(analyze_command(0));
    std::ifstream in(folder + "/model_K.csv");
    std::string first, row;
    std::getline(in, first);
    EXPECT_EQ(first, "Element: 10 - 20,Type :Pipe");
    std::getline(in, row);
    // Twelve values, each followed by a comma; the first is -EA/L (the
    // node-1 row negated), with EA / L of the 120 in pipe.
    EXPECT_EQ(std::count(row.begin(), row.end(), ','), 12);
    EXPECT_NEAR(std::stod(row), -steel.e * steel.area / 120, 1e-6 * steel.e * steel.area / 120);
}

TEST_F(AnalyzeCommandTest, LoadCasesDialogChoosesTheCasesAndTheirOrder)
{
    anchored_from(10);
    pipe(20, 120, 0, 0);
    make_model();
    analysis_options().numtloads = 2;
    model_modified() = false;
    auto run = [&](std::function<void(HeadlessDialog&)> act) {
        hb->script().once("LOAD_CASES_DIALOG", [act](HeadlessDialog& d) {
            act(d);
            if (!d.ended())
                d.press(IDOK);
        });
        return load_cases_command(0);
    };
    // The offer: what this version computes for two thermal sets.
    std::vector<std::string> offered;
    EXPECT_FALSE(run([&](HeadlessDialog& d) {
        for (int i = 0; i < d.list_count(LOAD_CASES_AVAILABLE); ++i)
            offered.push_back(d.list_text(LOAD_CASES_AVAILABLE, i));
        EXPECT_EQ(d.list_count(LOAD_CASES_CHOSEN), 0);
    }));
    const std::vector<std::string> expected = {
        "Static analysis",       "Empty Weight (W)",    "Sustained (W+P)",   "Sustained (W+P1)",
        "Sustained (W+P2)",      "Expansion (T1)",      "Expansion (T2)",    "Expansion (T1-T2)",
        "Operating (W+P1+T1)",   "Operating (W+P2+T2)", "Design (W+PD+TD)",  "Cold spring (W+P)",
        "Cold spring (W+P1+T1)", "Cold spring (W+P2+T2)", "Cold spring (W+PD+TD)", "Modal analysis"};
    EXPECT_EQ(offered, expected);
    EXPECT_FALSE(model_modified());

    // Add, move up, remove, and OK.
    EXPECT_TRUE(run([](HeadlessDialog& d) {
        d.select_text(LOAD_CASES_AVAILABLE, "Operating (W+P1+T1)");
        d.press(LOAD_CASES_ADD);
        d.double_click(LOAD_CASES_AVAILABLE, 2);   // Sustained (W+P)
        d.select(LOAD_CASES_CHOSEN, 1);
        d.press(LOAD_CASES_UP);
        d.select_text(LOAD_CASES_AVAILABLE, "Expansion (T1-T2)");
        d.press(LOAD_CASES_ADD);
        d.select_text(LOAD_CASES_AVAILABLE, "Expansion (T2)");
        d.press(LOAD_CASES_ADD);
        d.select(LOAD_CASES_CHOSEN, 3);
        d.press(LOAD_CASES_REMOVE);
    }));
    LoadCaseList chosen;
    for (int code : {1, 8, 5})
        chosen.add(code);
    EXPECT_EQ(load_case_list(), chosen);
    EXPECT_TRUE(model_modified());

    // Cancel changes nothing; Defaults gives the defaults.
    EXPECT_FALSE(run([](HeadlessDialog& d) {
        d.press(LOAD_CASES_DEFAULTS);
        d.press(IDCANCEL);
    }));
    EXPECT_EQ(load_case_list(), chosen);
    EXPECT_TRUE(run([](HeadlessDialog& d) { d.press(LOAD_CASES_DEFAULTS); }));
    EXPECT_EQ(load_case_list().count(), 5);
    EXPECT_EQ(load_case_list().code(5), 9);

    // While results are shown the dialog only shows.
    input_locked() = true;
    EXPECT_FALSE(run([](HeadlessDialog& d) {
        EXPECT_FALSE(d.is_enabled(LOAD_CASES_ADD));
        d.press(IDOK);
    }));
    EXPECT_EQ(load_case_list().count(), 5);
}

TEST_F(AnalyzeCommandTest, LoadCasesDialogOffersModalAndTheDynamicCasesTheModelHolds)
{
    set_data_factory(DT_HARMONIC_LOAD, [] { return std::make_unique<HarmonicLoad>(); });
    DynamicInput dynamic;
    analysis_load_hooks().fill_loads = [&dynamic, this](AnalysisLoads& l) {
        l.pipe_loads.clear();
        l.pipe_loads.push_back(load);
        l.dynamic = dynamic;
    };
    anchored_from(10);
    pipe(20, 120, 0, 0);
    make_model();
    model_modified() = false;
    auto offered_dynamics = [&] {
        std::vector<std::string> offered;
        hb->script().once("LOAD_CASES_DIALOG", [&offered](HeadlessDialog& d) {
            for (int i = 0; i < d.list_count(LOAD_CASES_AVAILABLE); ++i)
                offered.push_back(d.list_text(LOAD_CASES_AVAILABLE, i));
            d.press(IDCANCEL);
        });
        load_cases_command(0);
        const auto modal = std::find(offered.begin(), offered.end(), "Modal analysis");
        return std::vector<std::string>(modal, offered.end());
    };
    // Modes need nothing but the model; the others what they respond to.
    EXPECT_EQ(offered_dynamics(), std::vector<std::string>{"Modal analysis"});

    SpectrumCurve el_centro;
    el_centro.name = "EL1";
    el_centro.points = {{0.1, 100.0}, {33.0, 100.0}};
    dynamic.spectra.push_back(el_centro);
    EXPECT_EQ(offered_dynamics(), std::vector<std::string>{"Modal analysis"}) << "no direction names the spectrum";
    dynamic.response_spectrum.spectrum[1] = "EL1";
    model().rows[2].dtype = DT_HARMONIC_LOAD;
    model().rows[2].create_data_object(2);
    const std::vector<std::string> expected = {"Modal analysis", "Response spectrum", "Missing mass",
                                               "Harmonic response"};
    EXPECT_EQ(offered_dynamics(), expected);

    // Chosen with the modal forces export, which the next run writes.
    modal_forces_export_requested() = false;
    hb->script().once("LOAD_CASES_DIALOG", [](HeadlessDialog& d) {
        d.select_text(LOAD_CASES_AVAILABLE, "Modal analysis");
        d.press(LOAD_CASES_ADD);
        d.select_text(LOAD_CASES_AVAILABLE, "Harmonic response");
        d.press(LOAD_CASES_ADD);
        d.check(LOAD_CASES_MODAL_FORCES_EXPORT, true);
        d.press(IDOK);
    });
    EXPECT_TRUE(load_cases_command(0));
    LoadCaseList chosen;
    chosen.add(LC_MODAL);
    chosen.add(LC_HARMONIC);
    EXPECT_EQ(load_case_list(), chosen);
    EXPECT_TRUE(modal_forces_export_requested());
    modal_forces_export_requested() = false;
}
