// The static driver: which loads act in which case, the Expansion ranges,
// cold spring, the reuse of a factorised stiffness, unstable models, the
// nonlinear protocol (question, iteration limit, report) and cancel.
#include "analysis/data/analysis_fixture.h"

using namespace analysis_test;

namespace {

struct FollowerState : CopiedState<FollowerState> {
    double load = 0.0;
};

// A spring k along Y at its node and a load there that follows the node's
// last deflection, F0 + c u: nonlinear in its load alone.
struct FollowerLoad : DataItem {
    double k = 0.0, f0 = 0.0, c = 0.0;
    void copy_from(const DataItem& other) override
    {
        const auto& o = dynamic_cast<const FollowerLoad&>(other);
        k = o.k, f0 = o.f0, c = o.c;
    }
    bool is_nonlinear() const override { return true; }
    static int equation(const AnalysisRun& run, int row) { return run.equation(run.layout().rows[row].node_index, 1); }
    void reset_nonlinear_state(AnalysisRun& run, int row) const override { run.row_state<FollowerState>(row).load = f0; }
    void assemble_stiffness(AnalysisRun& run, int row) const override
    {
        run.add_stiffness(equation(run, row), equation(run, row), k);
    }
    void add_loads(AnalysisRun& run, int row) const override
    {
        run.add_load(equation(run, row), run.row_state<FollowerState>(row).load);
    }
    bool update_nonlinear_state(AnalysisRun& run, int row) const override
    {
        FollowerState& s = run.row_state<FollowerState>(row);
        const double load = f0 + c * run.displacement(equation(run, row));
        const bool settled = check_convergence(run, load, s.load, -DT_SNUBBER, 0, run.layout().rows[row].node_index);
        s.load = load;
        return settled;
    }
};

class StaticRunTest : public AnalysisTest {
protected:
    // Node 10 anchored, a pipe of length l along X to node 20 anchored too.
    void anchored_pipe(double l, int etype = ET_PIPE)
    {
        anchored_from(10);
        const int r = row(20, etype, static_cast<float>(l), 0, 0, DT_ANCHOR);
        name(r);
    }
    // The axial force that holds an imposed elongation d of the pipe
    // between the two anchor springs.
    double held(double d, double l) const { return d / (l / (steel.e * steel.area) + 2 / RIGID); }
};

}  // namespace

TEST_F(StaticRunTest, EachCaseTakesItsTemperatureAndTheRangesAreDifferences)
{
    const double l = 100;
    analysis_options().numtloads = 3;
    load.temperature = {0, 370, 170, 0};   // T3 not given: the default temperature
    analysis_options().default_temperature = 120;
    anchored_pipe(l);
    choose({LC_EXPANSION_T1 + 2, 5, 6, LC_OPERATING_1 + 1});   // Expansion (T3), (T1-T2), (T1-T3), Operating 2
    const std::map<int, CaseResults> r = solve();

    // The ranges need Expansion (T1) and (T2), which are solved but not
    // chosen.
    EXPECT_EQ(r.size(), 6u);
    auto axial = [&](int code) { return r.at(code).forces[0].f[1]; };
    EXPECT_NEAR(axial(2), -held(steel.alpha * 300 * l, l), 1e-6 * held(steel.alpha * 300 * l, l));
    EXPECT_NEAR(axial(3), -held(steel.alpha * 100 * l, l), 1e-6 * held(steel.alpha * 100 * l, l));
    EXPECT_NEAR(axial(4), -held(steel.alpha * 50 * l, l), 1e-6 * held(steel.alpha * 50 * l, l));
    // Differences of the two cases, whole blocks alike.
    EXPECT_NEAR(axial(5), axial(2) - axial(3), 1e-9 * std::fabs(axial(2)));
    EXPECT_NEAR(axial(6), axial(2) - axial(4), 1e-9 * std::fabs(axial(2)));
    for (std::size_t k = 0; k < r.at(5).support_loads.size(); ++k)
        EXPECT_DOUBLE_EQ(r.at(5).support_loads[k], r.at(2).support_loads[k] - r.at(3).support_loads[k]);
    // Operating 2 has the weight too; the pipe's axial force is that of T2.
    EXPECT_NEAR(axial(9), axial(3), 1e-6 * std::fabs(axial(3)));
    EXPECT_NEAR(r.at(9).support_loads[1], steel.weight * l / 2, 1e-6 * steel.weight * l);
    EXPECT_NEAR(r.at(3).support_loads[1], 0.0, 1e-9);
}

TEST_F(StaticRunTest, ColdSpringCutActsOnlyInTheColdSpringCases)
{
    // A cut pipe cut 0.25 in short between two anchors: closing the cut
    // stretches it; in the other cases the cut does nothing.
    const double l = 150, cut = 0.25;
    anchored_pipe(l, ET_CUT_PIPE);
    dynamic_cast<CutPipe&>(*model().rows[2].element).cut = static_cast<float>(cut);
    choose({LC_SUSTAINED, LC_COLD_SPRING});
    const std::map<int, CaseResults> r = solve();
    EXPECT_NEAR(r.at(LC_COLD_SPRING).forces[0].f[1], held(cut, l), 1e-6 * held(cut, l));
    EXPECT_NEAR(r.at(LC_SUSTAINED).forces[0].f[1], 0.0, 1e-9);
    // The same cut long compresses it.
    dynamic_cast<CutPipe&>(*model().rows[2].element).cut = static_cast<float>(-cut);
    EXPECT_NEAR(solve().at(LC_COLD_SPRING).forces[0].f[1], -held(cut, l), 1e-6 * held(cut, l));
}

TEST_F(StaticRunTest, BourdonStrainGoesWithTheTemperatureStepsUnlessSwitched)
{
    // Internal pressure lengthens a pipe by L r (1 - 2 nu) P / (2 E t), r the
    // mean radius; held between anchors that is a compressive force.
    const double l = 100, p = 1000;
    load.pressure[1] = p;
    load.temperature[1] = 70;
    anchored_pipe(l);
    choose({LC_EXPANSION_T1, LC_SUSTAINED});
    const double r = (steel.od - steel.t) / 2;
    const double n = held(l * r * (1 - 2 * steel.nu) * p / (2 * steel.e * steel.t), l);
    std::map<int, CaseResults> cases = solve();
    EXPECT_NEAR(cases.at(LC_EXPANSION_T1).forces[0].f[1], -n, 1e-6 * n);
    EXPECT_NEAR(cases.at(LC_SUSTAINED).forces[0].f[1], 0.0, 1e-9);

    EnvSwitches switches;
    switches.zediruvi = true;
    set_env_switches(switches);
    cases = solve();
    EXPECT_NEAR(cases.at(LC_EXPANSION_T1).forces[0].f[1], 0.0, 1e-9);
    EXPECT_NEAR(cases.at(LC_SUSTAINED).forces[0].f[1], -n, 1e-6 * n);

    analysis_options().bourdon_effect = false;
    cases = solve();
    EXPECT_NEAR(cases.at(LC_SUSTAINED).forces[0].f[1], 0.0, 1e-9);
}

TEST_F(StaticRunTest, ReusedFactorisationGivesTheResultsOfAFreshOne)
{
    // Sustained and Operating 1 at the same sets share nothing but steps of
    // equal sets share the factorised stiffness: solving the cases alone and
    // together gives the same numbers.
    load.temperature[1] = 250;
    load.pressure[1] = 300;
    anchored_from(10);
    pipe(20, 100, 0, 0);
    pipe(30, 0, 0, 80, DT_ANCHOR);
    choose({LC_OPERATING_1, LC_EXPANSION_T1, LC_COLD_SPRING + 1, LC_SUSTAINED});
    const std::map<int, CaseResults> together = solve();
    for (int code : std::initializer_list<int>{LC_OPERATING_1, LC_EXPANSION_T1, LC_COLD_SPRING + 1, LC_SUSTAINED}) {
        choose({code});
        const CaseResults alone = solve().at(code);
        EXPECT_EQ(alone.displacements, together.at(code).displacements) << code;
    }
}

TEST_F(StaticRunTest, UnstableModelEndsTheRunWithItsNodeAndDirection)
{
    // Supported in X, Y, Z at one end and in Y and Z at the other: nothing
    // holds the turn about the pipe's axis.
    restrain(from(10), {0, 1, 2});
    for (int node : {20, 30})
        pipe(node, 50, 0, 0);
    restrain(pipe(40, 50, 0, 0), {1, 2});
    choose({LC_SUSTAINED});
    const std::string text = failure();
    EXPECT_EQ(text.rfind("Model is unstable at node ", 0), 0u) << text;
    EXPECT_NE(text.find(" in the RX direction"), std::string::npos) << text;

    // The whole run reports it and writes no results file.
    make_model();
    const auto model = make_analysis_model();
    const RunOutcome outcome = run_analysis(*model, {});
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(outcome.message, text);
    EXPECT_FALSE(std::filesystem::exists(model->output.results_path));
}

TEST_F(StaticRunTest, UnstableModelsNameTheFirstNodeThatMovesWhateverTheOrderOfElimination)
{
    // The turn about the pipe's axis above moves every node alike: the
    // first node of the model, 10, is named, whichever order the nodes are
    // written and eliminated in.
    restrain(from(10), {0, 1, 2});
    for (int node : {20, 30})
        pipe(node, 50, 0, 0);
    restrain(pipe(40, 50, 0, 0), {1, 2});
    choose({LC_SUSTAINED});
    EXPECT_EQ(failure(), "Model is unstable at node 10 in the RX direction");
    model().rows.clear();
    restrain(from(40), {1, 2});
    for (int node : {30, 20})
        pipe(node, -50, 0, 0);
    restrain(pipe(10, -50, 0, 0), {0, 1, 2});
    EXPECT_EQ(failure(), "Model is unstable at node 40 in the RX direction");

    // An L held nowhere: the first mechanism the factorisation meets is the
    // free translation along X, named at node 10.
    model().rows.clear();
    from(10);
    pipe(20, 100, 0, 0);
    pipe(30, 0, 0, 80);
    EXPECT_EQ(failure(), "Model is unstable at node 10 in the X direction");
}

TEST_F(StaticRunTest, IterationsWhoseStiffnessDidNotChangeSolveWithTheFactorTheyHave)
{
    // A weightless cantilever whose tip carries a spring k in Y and a load
    // that follows the tip's last deflection, F0 + c u: only the load is
    // nonlinear. Every iteration after the first solves with the first
    // one's factor and says so. Settled, (K + k) u = F0 + c u with K the
    // tip's stiffness 1 / tip_flexibility: u = F0 / (K + k - c).
    set_data_factory(DT_SNUBBER, [] { return std::make_unique<FollowerLoad>(); });
    weightless();
    analysis_options().iteration_tolerance = 1.0e-6f;
    const double l = 120, k = 2000, f0 = 500;
    const double stiffness = 1 / tip_flexibility(l), c = 0.5 * (stiffness + k);
    anchored_from(10);
    FollowerLoad& tip = item<FollowerLoad>(pipe(20, static_cast<float>(l), 0, 0, DT_SNUBBER));
    tip.k = k;
    tip.f0 = f0;
    tip.c = c;
    choose({LC_SUSTAINED});
    std::vector<std::string> reports;
    callbacks.progress = [&](const std::string& text) { reports.push_back(text); };
    make_model();
    snapshot = make_analysis_model();
    AnalysisRun run(*snapshot);
    const CaseResults r = solve_load_cases(run, callbacks).at(LC_SUSTAINED);
    ASSERT_TRUE(r.converged);
    ASSERT_GT(r.iterations, 5);
    EXPECT_EQ(run.factorisations, 1);
    int reused = 0;
    for (const std::string& report : reports)
        if (report.rfind("Iteration ", 0) == 0)
            reused += report.find("\nStiffness unchanged, not factorised again") != std::string::npos;
    EXPECT_EQ(reused, r.iterations - 1);
    expect_relative(node_result(r, 20)[1], f0 / (stiffness + k - c), "tip", 1e-5);
}

TEST_F(StaticRunTest, ElementKindWithoutFunctionsEndsTheRun)
{
    auto model = cantilever_model();
    model->element_kinds[ET_PIPE] = ElementKind{};
    AnalysisRun run(*model);
    EXPECT_EQ(thrown_text([&] { solve_load_cases(run, {}); }), "Invalid element type 3 in assemble elems");
}

TEST_F(StaticRunTest, CaseThatDoesNotConvergeIsPutToTheUser)
{
    // The gap needs two solutions; one iteration is not enough, at once or
    // for any increment of the case's load path.
    analysis_options().max_iterations = 1;
    anchored_from(10);
    item<TestGap>(pipe(20, 120, 0, 0, DT_LIMIT_STOP)).gap = 0.001;
    choose({LC_SUSTAINED});

    std::vector<std::string> asked, reports;
    callbacks.progress = [&](const std::string& text) { reports.push_back(text); };
    callbacks.ask_unconverged = [&](const std::string& question) {
        asked.push_back(question);
        return true;
    };
    const CaseResults kept = solve().at(LC_SUSTAINED);
    EXPECT_FALSE(kept.converged);
    ASSERT_EQ(asked.size(), 1u);
    // The iterations count the solution at once and those of the path.
    const std::string head = "1 nonlinearities of load case \"Sustained (W+P)\" have not converged after ";
    ASSERT_EQ(asked[0].rfind(head, 0), 0u) << asked[0];
    EXPECT_GT(std::stoi(asked[0].substr(head.size())), 2) << asked[0];
    EXPECT_NE(asked[0].find(" iterations.\nOK keeps its results, marked as not converged; Cancel stops the analysis."),
              std::string::npos);
    EXPECT_NE(std::find(reports.begin(), reports.end(), "Iteration 1: 1 nonlinearities not converged"), reports.end());

    callbacks.ask_unconverged = [](const std::string&) { return false; };
    EXPECT_EQ(failure(), "Analysis aborted.");

    // With enough iterations it converges in two and says so.
    analysis_options().max_iterations = DEFAULT_MAX_ITERATIONS;
    reports.clear();
    callbacks.progress = [&](const std::string& text) { reports.push_back(text); };
    EXPECT_TRUE(solve().at(LC_SUSTAINED).converged);
    EXPECT_NE(std::find(reports.begin(), reports.end(), "Iteration 2: 0 nonlinearities not converged"), reports.end());
}

TEST_F(StaticRunTest, CancelStopsTheRunAtItsNextStep)
{
    anchored_from(10);
    pipe(20, 100, 0, 0);
    choose({LC_SUSTAINED, LC_EXPANSION_T1, LC_OPERATING_1});
    std::atomic<bool> cancel{false};
    callbacks.cancel = &cancel;
    int steps = 0;
    callbacks.progress = [&](const std::string& text) {
        if (text.rfind("Load case ", 0) == 0 && ++steps == 2)
            cancel = true;
    };
    make_model();
    const auto model = make_analysis_model();
    const RunOutcome outcome = run_analysis(*model, callbacks);
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(outcome.message, "Analysis aborted.");
    EXPECT_EQ(steps, 2);
}

namespace {

// An element kind of the test: a tie between its two nodes, of stiffness
// 1.0e4 lb/in along its axis while it is in tension, slack in compression.
struct TieState : CopiedState<TieState> {
    bool taut = true;
};

constexpr double TIE_STIFFNESS = 1.0e4;

void tie_matrix(AnalysisRun& run, int element)
{
    const Elem& e = run.layout().elems[element];
    run.element().element = element;
    set_element_dofs(run, e.node1, e.node2);
    set_element_axes(run, element_axes(run.layout(), e.node1, e.node2, false));
    ElementMatrix& k = run.element().k;
    k.clear();
    if (run.structure_pass() || run.element_state<TieState>(element).taut) {
        k.k[1][1] = k.k[7][7] = TIE_STIFFNESS;
        k.set_symmetric(1, 7, -TIE_STIFFNESS);
    }
    run.element().f.clear();
}

double tie_extension(const AnalysisRun& run, int element)
{
    const Elem& e = run.layout().elems[element];
    const LocalAxes axes = element_axes(run.layout(), e.node1, e.node2, false);
    double extension = 0.0;
    for (int d = 0; d < 3; ++d) {
        const double along = d == 0 ? axes.x.x : d == 1 ? axes.x.y : axes.x.z;
        extension += along * (node_displacement(run, e.node2, d) - node_displacement(run, e.node1, d));
    }
    return extension;
}

// `inits` counts the calls of its init.
ElementKind tie_kind(int& inits)
{
    ElementKind kind;
    kind.assemble = [](AnalysisRun& run, int element) {
        tie_matrix(run, element);
        assemble_element_stiffness(run);
    };
    kind.forces = [](AnalysisRun& run, int element) {
        tie_matrix(run, element);
        element_end_forces(run);
    };
    kind.init = [&inits](AnalysisRun& run, int element) {
        run.element_state<TieState>(element);
        ++inits;
    };
    kind.reset = [](AnalysisRun& run, int element) { run.element_state<TieState>(element).taut = true; };
    kind.nonlinear = [](const AnalysisRun&, int) { return true; };
    kind.update = [](AnalysisRun& run, int element) {
        TieState& s = run.element_state<TieState>(element);
        const bool taut = tie_extension(run, element) > 0.0;
        if (taut != s.taut) {
            check_convergence(run, taut ? 1.0 : 0.0, s.taut ? 1.0 : 0.0, ET_TIE_ROD, 0,
                              run.layout().elems[element].node2);
            count_unconverged(run);
        }
        s.taut = taut;
    };
    return kind;
}

}  // namespace

TEST_F(StaticRunTest, NonlinearElementKindsFollowTheProtocol)
{
    // A 120 in cantilever under its weight; from its tip a tie up (taut) or
    // down (slack) to an anchored node 50 in away.
    set_element_factory(ET_TIE_ROD, [] { return std::make_unique<ElementData>(); });
    int inits = 0;
    register_element_kind(ET_TIE_ROD, tie_kind(inits));
    const double l = 120, w = steel.weight;
    anchored_from(10);
    pipe(20, static_cast<float>(l), 0, 0);
    const int tie = row(30, ET_TIE_ROD, 0, 50, 0, DT_ANCHOR);
    choose({LC_SUSTAINED, LC_EMPTY_WEIGHT});
    std::vector<std::string> reports;
    callbacks.progress = [&](const std::string& text) { reports.push_back(text); };
    std::map<int, CaseResults> r = solve();

    // The tie holds the tip: R from (free tip - R c) = R / k, c the tip's
    // flexibility: l^3/3EI + alpha l/GA and the anchor's springs.
    const double c = l * l * l / (3 * steel.e * steel.inertia) + steel.shear * l / (steel.g * steel.area) +
                     1 / RIGID + l * l / RIGID;
    const double free_tip = w * std::pow(l, 4) / (8 * steel.e * steel.inertia) +
                            steel.shear * w * l * l / (2 * steel.g * steel.area) + w * l / RIGID +
                            w * l * l / 2 * l / RIGID;
    const double held = free_tip / (c + 1 / TIE_STIFFNESS + 1 / RIGID);
    EXPECT_NEAR(r.at(LC_SUSTAINED).forces[1].f[1], held, 1e-6 * held);
    EXPECT_TRUE(r.at(LC_SUSTAINED).converged);
    EXPECT_EQ(r.at(LC_SUSTAINED).iterations, 1);

    // Below the pipe the tie goes slack: the second solution is the free tip.
    model().rows[tie].dy = -50;
    reports.clear();
    r = solve();
    EXPECT_NEAR(node_result(r.at(LC_SUSTAINED), 20)[1], -free_tip, 1e-6 * free_tip);
    EXPECT_EQ(r.at(LC_SUSTAINED).iterations, 2);
    EXPECT_NE(std::find(reports.begin(), reports.end(),
                        "Iteration 1: 1 nonlinearities not converged\nLargest change 100% at Tie rod, node 30"),
              reports.end());
    // Each case starts taut again; the state was made once per run.
    EXPECT_EQ(r.at(LC_EMPTY_WEIGHT).iterations, 2);
    EXPECT_EQ(inits, 2);
}

TEST_F(StaticRunTest, ConvergenceTestsAndTheirReport)
{
    analysis_options().iteration_tolerance = 0.01f;
    auto model = cantilever_model();
    AnalysisRun run(*model);
    start_iteration(run, 3);
    // Below 1e-6 is 0; closer than 1e-6 has converged; else relative to a.
    EXPECT_TRUE(check_convergence(run, 5e-7, -5e-7, ET_PIPE, 0, 1));
    EXPECT_TRUE(check_convergence(run, 100.0, 100.5, ET_PIPE, 0, 1));
    EXPECT_FALSE(check_convergence(run, 100.0, 102.0, ET_SLIP_JOINT, 0, 1));
    EXPECT_FALSE(check_convergence(run, 0.0, 1.0, ET_TIE_ROD, 0, 2));   // a = 0: change 1.0, the worst
    EXPECT_FALSE(check_convergence(run, 10.0, 10.5, ET_HINGE_JOINT, 0, 1));
    EXPECT_TRUE(check_convergence_abs(run, -50.0, 50.0, ET_BALL_JOINT, 0, 1));
    count_unconverged(run);
    count_unconverged(run);
    EXPECT_EQ(iteration_report(run), "Iteration 3: 2 nonlinearities not converged\nLargest change 100% at Tie rod, node 20");
    EXPECT_EQ(nonlinear_item_name(-DT_LIMIT_STOP), "Limit stop");
    start_iteration(run, 4);
    EXPECT_EQ(iteration_report(run), "Iteration 4: 0 nonlinearities not converged");
}
