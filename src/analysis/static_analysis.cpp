#include "analysis/static_analysis.h"

#include "analysis/buried_piping.h"
#include "analysis/dynamic_analysis.h"
#include "analysis/hanger_design.h"
#include "analysis/results_file.h"
#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/results_sink.h"
#include "analysis_core/steps.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/data_item.h"
#include "model/load_cases.h"
#include "model/nodes.h"
#include "platform/file_replace.h"
#include "supports/contact_solver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace {

// Sets analysis_running() on this thread for the scope of a run.
class RunningScope {
public:
    RunningScope() : was_(analysis_running()) { set_analysis_running(true); }
    ~RunningScope() { set_analysis_running(was_); }
    RunningScope(const RunningScope&) = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    bool was_;
};

// The share of a case's iteration limit that its direct solution may take
// (1 / DIRECT_SHARE) and that each increment of its load path may take
// (1 / PATH_INCREMENT_SHARE); the first increment of a path, and the
// smallest, as shares of the load.
constexpr int DIRECT_SHARE = 1;
constexpr int PATH_INCREMENT_SHARE = 4;
constexpr double FIRST_PATH_STEP = 0.25;
constexpr double SMALLEST_PATH_STEP = 1.0 / 1024.0;

bool is_operating_code(int code)
{
    for (int set = 1; set <= 10; ++set)
        if (operating_code(set) == code)
            return true;
    return false;
}

[[noreturn]] void abort_run()
{
    throw MessageText("Analysis aborted.");
}

CaseResults case_difference(const CaseResults& a, const CaseResults& b, int code);

// The stiffness export: written beside its file while the run goes on and
// put in its place when the run has completed.
class StiffnessExport {
public:
    explicit StiffnessExport(const AnalysisOutput& output)
    {
        if (!output.stiffness_export || output.stiffness_path.empty())
            return;
        path_ = output.stiffness_path;
        if (!file_.open_write(path_))
            throw_message(with_reason("Unable to open csv file:\n" + path_, file_.failure()));
    }
    StiffnessExport(const StiffnessExport&) = delete;
    StiffnessExport& operator=(const StiffnessExport&) = delete;

    void take(std::string& text)
    {
        if (file_.is_writing())
            file_.write(text.data(), text.size());
        text.clear();
    }
    void finish()
    {
        if (file_.is_writing() && !file_.close())
            throw_message(with_reason("Unable to open csv file:\n" + path_, file_.failure()));
    }

private:
    std::string path_;
    BinFile file_;   // abandoned, the target untouched, when the run fails
};

class Driver final : public RunServices {
public:
    Driver(AnalysisRun& run, const RunCallbacks& callbacks)
        : run_(run), callbacks_(callbacks), model_(run.snapshot()), soil_(run.run_state<SoilSprings>())
    {
        soil_ = SoilSprings(model_);
    }

    std::map<int, CaseResults> solve(StiffnessExport& exporter);
    const std::vector<std::string>& unconverged_details() const { return unconverged_details_; }
    const std::vector<std::string>& case_notes() const { return case_notes_; }
    // The dynamic analyses of the run, when it has any.
    DynamicAnalysis* dynamics() { return dynamics_.get(); }

    // ---- RunServices ----------------------------------------------------------------
    void progress(const std::string& text) override
    {
        if (callbacks_.progress)
            callbacks_.progress(text);
    }
    void check_cancel() override
    {
        if (run_.cancelled())
            abort_run();
    }
    void assemble() override { assemble_items(Items::All); }
    void factor() override;
    CaseResults recover(int code) override;
    void hold_base_state() override;
    bool nonlinear() const override { return nonlinear_; }

private:
    const ElementKind& kind_of(int element) const
    {
        const int kind = run_.layout().elems[element].kind;
        const ElementKind* k = kind >= 0 && kind <= MAX_ETYPE ? &run_.kinds()[static_cast<std::size_t>(kind)] : nullptr;
        if (!k || !k->assemble || !k->forces)
            throw_message(c_format("Invalid element type %d in assemble elems", kind));
        return *k;
    }

    // What an assembly takes: everything, the items whose contribution is
    // fixed within a load case, or the nonlinear ones.
    enum class Items { All, Linear, Nonlinear };

    // The nonlinear states at the start of an increment of a load path and
    // the solution they stand at.
    struct PathPoint {
        SavedStates states;
        ContactSet contacts;
        SoilSprings soil;
        OneBased<double> solution;
    };

    void number_nodes(int first_code);
    void find_nonlinear_items();
    void init_nonlinear();
    void reset_nonlinear(bool path = false, double path_slip = 0.0);
    void assemble_items(Items items);
    void assemble_linear_base();
    void solve_once();
    bool update_nonlinear();
    bool iterate(int most, int& iterations);
    OneBased<double> linear_loads_of(int code);
    PathPoint path_point();
    void return_to(const PathPoint& point);
    bool follow_load_path(int code, int most, int& iterations, double& reached);
    CaseResults solve_step(int code, int seismic_axis = 0, bool hold_states = false);
    CaseResults solve_seismic(int code);
    const CaseResults& solved_case(int code);
    // An occasional static case of a nonlinear model: solved about the
    // state of the base case (solve_about_base).
    bool about_base(int code) const
    {
        return nonlinear_ && step_row(code).occasional && step_row(code).solve == StepSolve::Static;
    }
    CaseResults solve_about_base(int code, int seismic_axis);
    void design_hangers_first();

    AnalysisRun& run_;
    const RunCallbacks& callbacks_;
    const AnalysisModel& model_;
    bool nonlinear_ = false;
    // Which elements and rows are nonlinear (1-based), and the load vector
    // of the linear items in the current step (once assembled; on a load
    // path, at the increment's share of the load).
    std::vector<char> nonlinear_element_;
    std::vector<char> nonlinear_row_;
    OneBased<double> linear_loads_;
    bool linear_assembled_ = false;
    // The sets of the stiffness the store holds factorised (linear models).
    bool factored_ = false;
    int factored_temperature_ = -1;
    int factored_pressure_ = -1;
    bool factored_occasional_ = false;
    std::vector<std::string> unconverged_details_;
    // For each nonlinear case solved: its iterations and factorisations.
    std::vector<std::string> case_notes_;
    // The soil of the buried elements (kept in the run).
    SoilSprings& soil_;
    // The static cases solved, those the run solves and where their
    // stiffness matrices go.
    std::map<int, CaseResults> results_;
    std::set<int> static_cases_;
    StiffnessExport* exporter_ = nullptr;
    // The case whose converged state the occasional and dynamic cases of a
    // nonlinear model stand in (base_state_case), that state once solved and
    // whether it converged; whether the store holds the factor of the
    // stiffness about it.
    int base_code_ = 0;
    std::optional<PathPoint> base_point_;
    bool base_converged_ = true;
    bool base_factored_ = false;
    // The contact states each static case converged to, and those the
    // case being solved starts from (none: the contacts' own start).
    std::map<int, ContactStarts> converged_contacts_;
    const ContactStarts* contact_start_ = nullptr;
    std::unique_ptr<DynamicAnalysis> dynamics_;
};

// The structure pass, the numbering and the store, whose pattern and
// elimination order come from the node pairs the pass recorded.
void Driver::number_nodes(int first_code)
{
    const Model& m = run_.layout();
    run_.set_identity_numbering();
    run_.set_pass(RunPass::Structure);
    run_.set_step(first_code);
    run_.coupled_nodes.clear();
    assemble_items(Items::All);

    // The nodes the pass touched are the analysis's, numbered in the
    // model's order; the store orders the elimination itself.
    OneBased<int> numbering(m.numnodes());
    for (const NodePair& p : run_.coupled_nodes)
        for (int node : {p.a, p.b})
            if (numbering.valid(node))
                numbering[node] = 1;
    int count = 0;
    for (int& n : numbering)
        n = n ? ++count : 0;
    std::vector<NodePair> pairs;
    pairs.reserve(run_.coupled_nodes.size());
    for (const NodePair& p : run_.coupled_nodes)
        if (numbering.valid(p.a) && numbering.valid(p.b))
            pairs.push_back({numbering[p.a], numbering[p.b]});
    run_.coupled_nodes.clear();
    run_.coupled_nodes.shrink_to_fit();
    run_.set_numbering(numbering);
    run_.store = EquationStore(count, pairs);
    run_.set_pass(RunPass::Assembly);
}

void Driver::find_nonlinear_items()
{
    const Model& m = run_.layout();
    nonlinear_element_.assign(static_cast<std::size_t>(m.numelems()) + 1, 0);
    nonlinear_row_.assign(static_cast<std::size_t>(m.numrows()) + 1, 0);
    nonlinear_ = false;
    for (int e = 1; e <= m.numelems(); ++e) {
        const ElementKind& k = kind_of(e);
        if (k.nonlinear && k.nonlinear(run_, e)) {
            nonlinear_element_[static_cast<std::size_t>(e)] = 1;
            nonlinear_ = true;
        }
    }
    for (int row = 1; row <= m.numrows(); ++row)
        if (const DataItem* item = m.rows[row].data.get(); item && item->is_nonlinear()) {
            nonlinear_row_[static_cast<std::size_t>(row)] = 1;
            nonlinear_ = true;
        }
    if (!soil_.empty())
        nonlinear_ = true;
}

void Driver::init_nonlinear()
{
    const Model& m = run_.layout();
    for (int e = 1; e <= m.numelems(); ++e)
        if (const ElementKind& k = kind_of(e); k.init)
            k.init(run_, e);
}

void Driver::reset_nonlinear(bool path, double path_slip)
{
    const Model& m = run_.layout();
    clear_contact_set(run_, contact_start_, path, path_slip);
    for (int e = 1; e <= m.numelems(); ++e)
        if (const ElementKind& k = kind_of(e); k.reset)
            k.reset(run_, e);
    for (int row = 1; row <= m.numrows(); ++row)
        if (const DataItem* item = m.rows[row].data.get())
            item->reset_nonlinear_state(run_, row);
    soil_.reset();
}

// Assembles the items asked for; all of them and the linear ones start from
// an empty store and load vector, the nonlinear ones add to what is there.
void Driver::assemble_items(Items items)
{
    const Model& m = run_.layout();
    if (run_.pass() != RunPass::Structure && items != Items::Nonlinear) {
        std::fill(run_.loads.begin(), run_.loads.end(), 0.0);
        if (run_.stiffness_wanted())
            run_.store.clear_values();
    }
    // Whether the item at an index of a nonlinear-item list is taken.
    auto taken = [items](const std::vector<char>& nonlinear, int index) {
        return items == Items::All || (items == Items::Nonlinear) == (nonlinear[static_cast<std::size_t>(index)] != 0);
    };
    for (int e = 1; e <= m.numelems(); ++e)
        if (taken(nonlinear_element_, e))
            kind_of(e).assemble(run_, e);
    if (items != Items::Nonlinear)
        assemble_coupled_pairs(run_);
    const bool modal = step_is_modal(run_);
    // The soil springs of buried elements are nonlinear; the modal step
    // takes their stiffness as the operating case left them, without loads
    // (its load vector holds the masses).
    if (items != Items::Linear)
        soil_.assemble(run_, !modal);
    const bool seismic = step_has_seismic_g(run_);
    // The items lie apart in memory; each is asked for a few rows ahead of
    // its turn, so that its loading overlaps the work on the rows before.
    constexpr int AHEAD = 8;
    for (int row = 1; row <= m.numrows(); ++row) {
        if (row + AHEAD <= m.numrows())
            __builtin_prefetch(m.rows[row + AHEAD].data.get());
        const DataItem* item = m.rows[row].data.get();
        if (!item || !taken(nonlinear_row_, row))
            continue;
        item->assemble_stiffness(run_, row);
        if (modal) {
            item->add_mass(run_, row);
            continue;
        }
        item->add_loads(run_, row);
        if (seismic)
            item->add_g_loads(run_, row);
    }
}

void Driver::factor()
{
    base_factored_ = false;
    const FactorResult result = run_.store.factor();
    ++run_.factorisations;
    if (result.ok())
        return;
    const int node = run_.node_of(equation_node(result.unstable_equation));
    const Model& m = run_.layout();
    throw_message(unstable_model_message(result.unstable_equation,
                                         m.nodes.valid(node) ? node_text(m.nodes[node].number) : std::string()));
}

// The stiffness and loads of the linear items of a nonlinear model's step,
// kept as the base that each of its iterations starts from.
void Driver::assemble_linear_base()
{
    run_.set_pass(RunPass::Assembly);
    run_.set_stiffness_wanted(true);
    assemble_items(Items::Linear);
    run_.store.keep_as_base();
    linear_loads_ = run_.loads;
    linear_assembled_ = true;
}

// Assembles and solves the current step with the current states. A linear
// model factorises again only for a step of other temperature, pressure or
// occasional sets than the factor's. A nonlinear model assembles its linear
// items once per step and keeps what they give; each iteration starts from
// that and adds the nonlinear items, and factorises again only when the
// stiffness came out otherwise than the factor's.
void Driver::solve_once()
{
    const StepRow& step = current_step(run_);
    const bool reuse = !nonlinear_ && factored_ && factored_temperature_ == step.temperature_set &&
                       factored_pressure_ == step.pressure_set && factored_occasional_ == step.occasional;
    run_.set_pass(RunPass::Assembly);
    run_.set_stiffness_wanted(!reuse);
    if (!nonlinear_) {
        assemble_items(Items::All);
    } else if (!linear_assembled_) {
        assemble_linear_base();
        assemble_items(Items::Nonlinear);
    } else {
        run_.store.restore_base();
        run_.loads = linear_loads_;
        assemble_items(Items::Nonlinear);
    }
    run_.factor_reused = reuse || run_.store.factor_matches_values();
    if (!run_.factor_reused) {
        factored_ = false;
        factor();
        factored_ = true;
        factored_temperature_ = step.temperature_set;
        factored_pressure_ = step.pressure_set;
        factored_occasional_ = step.occasional;
    }
    run_.set_stiffness_wanted(true);
    run_.solution = run_.loads;
    run_.store.solve(run_.solution);
}

// After a solution: the contacts' friction first (contact_solver.h), whose
// inner iterations hold every other state; once it is solved, every
// nonlinear element and data item updates. True when all converged.
bool Driver::update_nonlinear()
{
    if (!contact_friction_step(run_))
        return false;
    const Model& m = run_.layout();
    contact_outer_update(run_);
    for (int e = 1; e <= m.numelems(); ++e) {
        const ElementKind& k = kind_of(e);
        if (k.update && k.nonlinear && k.nonlinear(run_, e))
            k.update(run_, e);
    }
    for (int row = 1; row <= m.numrows(); ++row) {
        const DataItem* item = m.rows[row].data.get();
        if (item && item->is_nonlinear() && !item->update_nonlinear_state(run_, row))
            count_unconverged(run_);
    }
    soil_.update(run_);
    if (run_.unconverged == 0)
        return true;
    contact_relinearise(run_);
    return false;
}

CaseResults Driver::recover(int code)
{
    const Model& m = run_.layout();
    run_.set_pass(RunPass::Recovery);
    run_.force_recovery = true;
    run_.current = CaseResults{};
    run_.current.code = code;
    run_.current.forces.assign(static_cast<std::size_t>(m.numelems()), ElementVector{});
    run_.current.support_loads.assign(static_cast<std::size_t>(run_.support_values()), 0.0);
    std::vector<double>& u = run_.current.displacements;
    u.assign(6 * static_cast<std::size_t>(m.numnodes()), 0.0);
    for (int node = 1; node <= m.numnodes(); ++node)
        for (int d = 0; d < 6; ++d)
            u[6 * static_cast<std::size_t>(node - 1) + static_cast<std::size_t>(d)] = node_displacement(run_, node, d);
    for (int e = 1; e <= m.numelems(); ++e)
        kind_of(e).forces(run_, e);
    for (int row = 1; row <= m.numrows(); ++row)
        if (const DataItem* item = m.rows[row].data.get())
            item->write_support_loads(run_, row);
    run_.force_recovery = false;
    run_.set_pass(RunPass::Assembly);
    return results_of_written_model(model_, std::move(run_.current));
}

// Iterates the nonlinear states of the step from where they stand until
// they settle, at most `most` solutions, each counted in `iterations`.
bool Driver::iterate(int most, int& iterations)
{
    for (int i = 0; i < most; ++i) {
        check_cancel();
        start_iteration(run_, ++iterations);
        solve_once();
        const bool settled = update_nonlinear();
        progress(iteration_report(run_));
        if (settled)
            return true;
    }
    return false;
}

// The load vector of the linear items in the step of another case, with
// the stiffness the store holds left alone.
OneBased<double> Driver::linear_loads_of(int code)
{
    const int current = run_.step().code;
    const int axis = run_.step().seismic_axis;
    run_.set_step(code);
    run_.set_pass(RunPass::Assembly);
    run_.set_stiffness_wanted(false);
    assemble_items(Items::Linear);
    run_.set_stiffness_wanted(true);
    OneBased<double> loads = run_.loads;
    run_.set_step(current);
    run_.step().seismic_axis = axis;
    return loads;
}

Driver::PathPoint Driver::path_point()
{
    return {run_.save_states(), run_.run_state<ContactSet>(), soil_, run_.solution};
}

void Driver::return_to(const PathPoint& point)
{
    run_.restore_states(point.states);
    run_.run_state<ContactSet>() = point.contacts;
    soil_ = point.soil;
    run_.solution = point.solution;
}

// Where the direct solution of a case does not settle, the case's load is
// followed from the state of its start in increments, each solved by the
// same iterations from the settled state of the one before, and an
// increment that does not settle is halved, down to a smallest step: the
// incremental-iterative solution of frictional contact (P. Wriggers,
// "Computational Contact Mechanics", 2nd ed., Springer 2006, ch. 9 and 10;
// T. A. Laursen, "Computational Contact and Impact Mechanics", Springer
// 2002, ch. 5). Friction depends on the path: along it each contact's
// friction is tied to an anchor that it drags along as it slides
// (contact_solver.h), as a pipe that heats up on its supports does. An
// operating case starts from Sustained, the piping installed on its
// supports, and follows the change of its load to the operating one (where
// the run solves no Sustained, from the unloaded piping through the
// sustained load first); any other case, from the unloaded piping. From a
// settled state a small enough increment changes the normal forces, the
// stops' statuses and the slips by little, so each increment starts within
// reach of its solution; and the path ends, as every increment is bounded
// by its share of the iterations and none is smaller than the smallest
// step. `reached` is the share of the load the path settled at.
bool Driver::follow_load_path(int code, int most, int& iterations, double& reached)
{
    const double path_slip = contact_final_slip(run_);
    if (!linear_assembled_)
        assemble_linear_base();
    const OneBased<double> case_loads = linear_loads_;
    std::vector<OneBased<double>> legs;
    OneBased<double> from(case_loads.size());
    const ContactStarts* start = nullptr;
    if (is_operating_code(code)) {
        OneBased<double> sustained = linear_loads_of(LC_SUSTAINED);
        if (const auto found = converged_contacts_.find(LC_SUSTAINED); found != converged_contacts_.end()) {
            start = &found->second;
            from = std::move(sustained);
        } else {
            legs.push_back(std::move(sustained));
        }
    }
    legs.push_back(case_loads);

    const ContactStarts* direct_start = contact_start_;
    contact_start_ = start;
    reset_nonlinear(true, path_slip);
    contact_start_ = direct_start;

    const int budget = std::max(1, most / PATH_INCREMENT_SHARE);
    const int legs_count = static_cast<int>(legs.size());
    // The first increment settles the path's start at the start's load (the
    // start's states with this case's stiffness); every later one starts
    // from the settled state of the one before, its contacts that slid
    // taken to slide on (but after that first one, whose slips are not of
    // this path). Each increment holds its friction limits at mu N of the
    // settled state before it, scaled with the load on a leg from the
    // unloaded piping, where the normal forces grow with it; the first
    // increment of such a leg, which starts with none, is solved once more
    // from its start with the limits its own normal forces give where the
    // friction it found departs from them.
    bool settled_state = false, slide_on = false;
    std::vector<double> targets;
    for (int leg = 0; leg < legs_count; ++leg) {
        const OneBased<double>& to = legs[static_cast<std::size_t>(leg)];
        const bool from_nothing = leg == 0 && !start;
        const bool last_leg = leg + 1 == legs_count;
        double share = 0.0, step = FIRST_PATH_STEP;
        // The settled state and share before the last increment, to which a
        // path whose limits do not settle at the whole load goes back.
        PathPoint point = path_point(), before_last = point;
        double share_before_last = 0.0;
        for (;;) {
            // At the whole load of the last leg the limits, each mu N of
            // the increment before, are brought to mu N of the final state.
            const bool final = settled_state && share >= 1.0;
            if (final && !last_leg)
                break;
            const double next = !settled_state || final ? share : share + step >= 1.0 - 1.0e-9 ? 1.0 : share + step;
            for (int e = 1; e <= case_loads.size(); ++e)
                linear_loads_[e] = from[e] + next * (to[e] - from[e]);
            std::vector<double> limits = targets;
            if (from_nothing && share > 0.0)
                for (double& g : limits)
                    g *= next / share;
            progress(c_format("Load path: %.0f%% of the load", 100.0 * (leg + next) / legs_count));
            const int before = iterations;
            bool settled = false, again = false;
            for (bool redone = false;; redone = true) {
                if (settled_state)
                    contact_settle_increment(run_);
                contact_start_increment(run_, settled_state, slide_on, final ? nullptr : &limits);
                if (!iterate(final ? most : budget, iterations))
                    break;
                std::vector<double> found = contact_limit_targets(run_);
                if (redone || !settled_state || !from_nothing || share > 0.0 || !contact_friction_lags(run_, 0.25)) {
                    targets = std::move(found);
                    settled = true;
                    break;
                }
                return_to(point);
                limits = std::move(found);
                again = true;
            }
            if (settled && final) {
                reached = 1.0;
                return true;
            }
            if (settled) {
                const bool start_settled = !settled_state;
                slide_on = settled_state;
                settled_state = true;
                before_last = std::move(point);
                share_before_last = share;
                share = next;
                point = path_point();
                // The next increment twice as long after one that settled
                // in a quarter of its share (and once), half as long after
                // one that took more than half of it.
                const int used = iterations - before;
                if (start_settled)
                    continue;
                if (used <= std::max(1, budget / 4) && !again)
                    step = std::min(1.0, 2.0 * step);
                else if (used > budget / 2)
                    step = std::max(SMALLEST_PATH_STEP, 0.5 * step);
                continue;
            }
            reached = (leg + share) / legs_count;
            if (final) {
                // Back to the state before the last increment, which is
                // made in smaller ones, so that the limits come to the whole
                // load next to their values.
                step = 0.25 * (share - share_before_last);
                if (step < SMALLEST_PATH_STEP)
                    return false;
                share = share_before_last;
                point = std::move(before_last);
                before_last = point;
                return_to(point);
                continue;
            }
            step *= 0.5;
            if (step < SMALLEST_PATH_STEP)
                return false;
            return_to(point);
        }
        from = to;
    }
    reached = 1.0;
    return true;
}

CaseResults Driver::solve_step(int code, int seismic_axis, bool hold_states)
{
    if (!hold_states && about_base(code))
        return solve_about_base(code, seismic_axis);
    run_.set_step(code);
    run_.step().seismic_axis = seismic_axis;
    if (!hold_states)
        reset_nonlinear();
    linear_assembled_ = false;
    const int factorisations_before = run_.factorisations;
    bool converged = true, along_path = false;
    int iteration = 0;
    double reached = 1.0;
    std::vector<std::string> failures;
    if (!nonlinear_ || hold_states) {
        check_cancel();
        start_iteration(run_, ++iteration);
        solve_once();
    } else {
        // The case at once from its start, within a share of its iterations;
        // where that does not settle, or settles in a state that fails its
        // check, the load path.
        const int most = std::max(1, model_.options.max_iterations);
        converged = !callbacks_.load_path_only && iterate(std::max(1, most / DIRECT_SHARE), iteration);
        if (converged)
            failures = check_contact_states(run_);
        if (!converged || !failures.empty()) {
            failures.clear();
            along_path = true;
            converged = follow_load_path(code, most, iteration, reached);
            if (converged)
                failures = check_contact_states(run_);
        }
    }
    const int factorisations = run_.factorisations - factorisations_before;
    // A converged state is checked against the conditions of the contacts
    // before it is taken as a solution.
    if (!failures.empty()) {
        converged = false;
        std::string text = c_format("%s: the converged state fails its check at %d supports: %s",
                                    load_case_names(code).c_str(), static_cast<int>(failures.size()),
                                    failures.front().c_str());
        unconverged_details_.push_back(text);
        const std::string question = text + "\nOK keeps its results, marked as not converged; Cancel stops the analysis.";
        if (callbacks_.ask_unconverged && !callbacks_.ask_unconverged(question))
            abort_run();
    } else if (!converged) {
        std::string text = unconverged_step_text(run_, code, iteration);
        if (reached < 1.0)
            text += c_format("; the load path reached %.0f%% of the load", 100.0 * reached);
        unconverged_details_.push_back(text);
        const std::string question =
            c_format("%d nonlinearities of load case \"%s\" have not converged after %d iterations.\n"
                     "OK keeps its results, marked as not converged; Cancel stops the analysis.",
                     run_.unconverged, load_case_names(code).c_str(), iteration);
        if (callbacks_.ask_unconverged && !callbacks_.ask_unconverged(question))
            abort_run();
    }
    if (nonlinear_ && !hold_states)
        case_notes_.push_back(case_note(code, converged, iteration, factorisations, along_path));
    if (nonlinear_ && !hold_states && converged)
        converged_contacts_[code] = contact_states(run_);
    if (nonlinear_ && !hold_states && code == base_code_) {
        base_point_ = path_point();
        base_converged_ = converged;
    }
    CaseResults results = recover(code);
    results.converged = converged;
    results.iterations = iteration;
    results.factorisations = factorisations;
    return results;
}

// A seismic g case with more than one direction: each direction solved on
// its own, their results combined value by value as the seismic load says
// (the absolute sum or the square root of the sum of the squares).
CaseResults Driver::solve_seismic(int code)
{
    const StaticSeismic& g = model_.loads.seismic;
    std::vector<int> axes;
    if (g.x && g.gx != 0.0)
        axes.push_back(1);
    if (g.y && g.gy != 0.0)
        axes.push_back(2);
    if (g.z && g.gz != 0.0)
        axes.push_back(3);
    if (axes.size() <= 1)
        return solve_step(code);
    std::vector<CaseResults> parts;
    for (int axis : axes)
        parts.push_back(solve_step(code, axis));
    return combine_seismic_directions(parts, g.combination);
}

// The difference of two solved cases, value by value: a range, or the
// Expansion of a nonlinear model.
CaseResults case_difference(const CaseResults& a, const CaseResults& b, int code)
{
    CaseResults r = a;
    r.code = code;
    r.converged = a.converged && b.converged;
    r.iterations = std::max(a.iterations, b.iterations);
    for (std::size_t k = 0; k < r.displacements.size(); ++k)
        r.displacements[k] -= b.displacements[k];
    for (std::size_t e = 0; e < r.forces.size(); ++e)
        for (int j = 1; j <= 12; ++j)
            r.forces[e].f[j] -= b.forces[e].f[j];
    for (std::size_t k = 0; k < r.support_loads.size(); ++k)
        r.support_loads[k] -= b.support_loads[k];
    return r;
}

// The temperature set of an Expansion (Tk) code, 0 for any other code.
int expansion_set(int code)
{
    for (int set = 1; set <= 10; ++set)
        if (expansion_code(set) == code)
            return set;
    return 0;
}

// The case whose converged state a static case starts from (0: none):
// for Operating (k), Operating (k - 1) or else Sustained, among the cases
// the run solves.
int start_case(int code, const std::set<int>& solved)
{
    for (int set = 1; set <= 10; ++set) {
        if (operating_code(set) != code)
            continue;
        if (set > 1 && solved.count(operating_code(set - 1)))
            return operating_code(set - 1);
        return solved.count(LC_SUSTAINED) ? LC_SUSTAINED : 0;
    }
    return 0;
}

// The hanger design's steps change what the hangers are: no factorised
// stiffness is kept across them.
void Driver::design_hangers_first()
{
    HangerDesignDriver d;
    d.nonlinear = nonlinear_;
    d.progress = [this](const std::string& text) { progress(text); };
    d.solve = [this](int code, bool hold_states) {
        check_cancel();
        factored_ = false;
        CaseResults r = solve_step(code, 0, hold_states);
        factored_ = false;
        return r;
    };
    static const HangerCatalogues none;
    const HangerCatalogues& catalogues = model_.hanger_catalogues ? *model_.hanger_catalogues : none;
    if (!model_has_designed_hangers(run_.layout(), catalogues))
        return;
    std::vector<std::string>& warnings = run_.run_state<RunWarnings>().lines;
    for (std::string& w : design_hangers(run_, catalogues, d))
        warnings.push_back(std::move(w));
    // The stiffness export holds the matrices of the load cases only.
    run_.stiffness_text.clear();
}

// A static case solved once, whatever asks for it first. With the
// contacts of a nonlinear model, Operating (k) starts from the state
// Operating (k - 1) converged to, or else Sustained, where the run solves
// that case (solved first): the piping as it stood before the step of heat,
// which is near the state it settles in, and the same start whatever other
// cases are chosen.
const CaseResults& Driver::solved_case(int code)
{
    if (!results_.count(code)) {
        const int from = nonlinear_ ? start_case(code, static_cases_) : 0;
        if (from != 0)
            solved_case(from);
        const auto start = converged_contacts_.find(from);
        contact_start_ = start != converged_contacts_.end() ? &start->second : nullptr;
        const int factorisations = run_.factorisations;
        CaseResults r = step_row(code).seismic_g ? solve_seismic(code) : solve_step(code);
        contact_start_ = nullptr;
        if (about_base(code)) {
            r.factorisations = run_.factorisations - factorisations;
            case_notes_.push_back(about_base_note(code, base_code_, base_converged_));
        }
        results_[code] = std::move(r);
        if (exporter_)
            exporter_->take(run_.stiffness_text);
    }
    return results_.at(code);
}

// The base case's converged state: its supports' statuses and friction, its
// joints' and soil springs' states, and its solution.
void Driver::hold_base_state()
{
    if (!base_point_) {
        progress("Operating state for the occasional and dynamic cases: " + load_case_names(base_code_));
        solved_case(base_code_);
        KV_ASSERT(base_point_.has_value());
    }
    return_to(*base_point_);
    factored_ = false;
}

// An occasional static case of a nonlinear model, linear about the state of
// the base case: every nonlinear item keeps its state there and acts with
// its stiffness there (closed stops closed both ways, open ones open,
// sticking friction its springs, sliding friction only across its slip,
// joints and soil their secants), the snubbers of an occasional case added;
// the case's own loads (seismic g, wind) are solved on that stiffness. What
// the held states themselves put in the load vector and into the recovered
// forces (the preloads of gaps, the friction already acting) is the same
// whether the case's loads act or not, and is taken off: the loads of the
// step without the case's own, and the values recovered from no motion in
// that step. The case is then linear in its load, and Sustained or
// Operating plus or minus it are the combinations the piping codes and the
// support summary make.
CaseResults Driver::solve_about_base(int code, int seismic_axis)
{
    hold_base_state();
    contact_relinearise(run_, true);
    run_.set_step(code);
    StepState& step = run_.step();
    step.seismic_axis = seismic_axis;
    step.increment = true;
    run_.set_pass(RunPass::Assembly);
    // Every occasional case about the base has the same stiffness: one
    // factor serves them all.
    const bool refactor = !base_factored_;
    run_.set_stiffness_wanted(refactor);
    assemble_items(Items::All);
    if (refactor) {
        factor();
        base_factored_ = true;
    }
    OneBased<double> loads = run_.loads;
    step.own_loads_withheld = true;
    run_.set_stiffness_wanted(false);
    assemble_items(Items::All);
    run_.set_stiffness_wanted(true);
    for (int e = 1; e <= loads.size(); ++e)
        loads[e] -= run_.loads[e];
    step.own_loads_withheld = false;
    run_.solution = std::move(loads);
    run_.store.solve(run_.solution);
    const CaseResults moved = recover(code);
    std::fill(run_.solution.begin(), run_.solution.end(), 0.0);
    step.own_loads_withheld = true;
    const CaseResults held = recover(code);
    step.own_loads_withheld = false;
    CaseResults results = case_difference(moved, held, code);
    results.converged = base_converged_;
    results.iterations = 1;
    return results;
}

std::map<int, CaseResults> Driver::solve(StiffnessExport& exporter)
{
    exporter_ = &exporter;
    const std::vector<AnalysisStep> steps = load_cases_from_model(model_);
    base_code_ = base_state_case(model_.load_cases);
    int first = 0;
    for (const AnalysisStep& s : steps)
        if (step_row(s.code).solve == StepSolve::Static) {
            first = s.code;
            break;
        }
    // A run of dynamic cases alone numbers its nodes in the modal step.
    if (first == 0 && !steps.empty() && step_row(steps.front().code).dynamic)
        first = LC_MODAL;
    if (first == 0)
        throw_message("No load case is chosen");

    // The kinds make their state first: the structure pass assembles them.
    run_.set_step(first);
    init_nonlinear();
    reset_nonlinear();
    progress("Numbering the nodes");
    find_nonlinear_items();
    number_nodes(first);
    design_hangers_first();

    // The static cases the run solves: those chosen, and for a nonlinear
    // model the two states of each Expansion chosen and the base state of
    // its occasional cases.
    for (const AnalysisStep& s : steps) {
        if (step_row(s.code).solve == StepSolve::Static)
            static_cases_.insert(s.code);
        if (const int set = expansion_set(s.code); set != 0 && nonlinear_) {
            static_cases_.insert(operating_code(set));
            static_cases_.insert(LC_SUSTAINED);
        }
        if (about_base(s.code))
            static_cases_.insert(base_code_);
    }
    std::map<int, CaseResults>& results = results_;
    const int count = static_cast<int>(steps.size());
    for (int i = 0; i < count; ++i) {
        check_cancel();
        const int code = steps[static_cast<std::size_t>(i)].code;
        if (results.count(code))
            continue;
        progress(c_format("Load case %d of %d: %s", i + 1, count, load_case_names(code).c_str()));
        const StepRow& row = step_row(code);
        if (row.solve == StepSolve::Range) {
            results[code] = case_difference(results.at(row.range_first), results.at(row.range_second), code);
            continue;
        }
        if (row.solve == StepSolve::Modal || row.solve == StepSolve::Dynamic) {
            if (!dynamics_)
                dynamics_ = std::make_unique<DynamicAnalysis>(run_, *this);
            // The store holds the modal stiffness from here on.
            factored_ = false;
            base_factored_ = false;
            dynamics_->solve(code, model_.load_cases, results);
            if (code == LC_MODAL)
                results[code].code = LC_MODAL;
            continue;
        }
        KV_ASSERT(row.solve == StepSolve::Static);
        // With friction, gaps or lift-off the state of the supports depends
        // on the weight, so a step of the heat alone is not the range the
        // piping codes evaluate: the Expansion (Tk) of a nonlinear model is
        // the displacement range from the installed state, Sustained, to the
        // operating one, Operating (k).
        if (const int set = expansion_set(code); set != 0 && nonlinear_) {
            const CaseResults& operating = solved_case(operating_code(set));
            const CaseResults& sustained = solved_case(LC_SUSTAINED);
            results[code] = case_difference(operating, sustained, code);
            continue;
        }
        solved_case(code);
    }
    return results;
}

}  // namespace

std::string case_note(int code, bool converged, int iterations, int factorisations, bool along_path)
{
    const char* how = converged ? (along_path ? "converged along its load path in" : "converged in")
                                : (along_path ? "not converged along its load path after" : "not converged after");
    return c_format("%s: %s %d iterations, %d factorisations", load_case_names(code).c_str(), how, iterations,
                    factorisations);
}

std::string about_base_note(int code, int base, bool base_converged)
{
    return c_format("%s: linear about the state of %s%s", load_case_names(code).c_str(), load_case_names(base).c_str(),
                    base_converged ? "" : ", which did not converge");
}

std::string unconverged_step_text(const AnalysisRun& run, int code, int iterations)
{
    std::string text = c_format("%s: %d nonlinearities not converged after %d iterations",
                                load_case_names(code).c_str(), run.unconverged, iterations);
    const UnconvergedItem& w = run.worst;
    if (w.type != 0) {
        const Model& m = run.layout();
        const std::string node = m.nodes.valid(w.node) ? node_text(m.nodes[w.node].number) : std::string("?");
        text += c_format("; largest change %.3g%% at %s, node %s", 100.0 * w.change,
                         nonlinear_item_name(w.type).c_str(), node.c_str());
    }
    return text;
}

CaseResults combine_seismic_directions(const std::vector<CaseResults>& parts, int combination)
{
    KV_ASSERT(!parts.empty());
    CaseResults out = parts.front();
    const bool srss = combination == 2;
    auto combine = [srss](double total, double value) { return srss ? total + value * value : total + std::fabs(value); };
    auto finish = [srss](double total) { return srss ? std::sqrt(total) : total; };
    auto all = [&](auto get) {
        const std::size_t n = get(out).size();
        for (std::size_t k = 0; k < n; ++k) {
            double total = 0.0;
            for (const CaseResults& p : parts)
                total = combine(total, get(p)[k]);
            get(out)[k] = finish(total);
        }
    };
    all([](auto& r) -> auto& { return r.displacements; });
    all([](auto& r) -> auto& { return r.support_loads; });
    for (std::size_t e = 0; e < out.forces.size(); ++e)
        for (int j = 1; j <= 12; ++j) {
            double total = 0.0;
            for (const CaseResults& p : parts)
                total = combine(total, p.forces[e].f[j]);
            out.forces[e].f[j] = finish(total);
        }
    for (const CaseResults& p : parts) {
        out.converged = out.converged && p.converged;
        out.iterations = std::max(out.iterations, p.iterations);
    }
    return out;
}

std::map<int, CaseResults> solve_load_cases(AnalysisRun& run, const RunCallbacks& callbacks,
                                            std::vector<std::string>* unconverged_details, RunModes* modes)
{
    RunningScope running;
    StiffnessExport exporter(AnalysisOutput{});
    Driver driver(run, callbacks);
    std::map<int, CaseResults> results = driver.solve(exporter);
    if (unconverged_details)
        *unconverged_details = driver.unconverged_details();
    if (modes && driver.dynamics() && driver.dynamics()->has_modes())
        *modes = driver.dynamics()->modes();
    return results;
}

RunOutcome run_analysis(const AnalysisModel& model, const RunCallbacks& callbacks)
{
    RunningScope running;
    RunOutcome outcome;
    try {
        AnalysisRun run(model);
        run.set_cancel_flag(callbacks.cancel);
        StiffnessExport exporter(model.output);
        Driver driver(run, callbacks);
        const std::map<int, CaseResults> results = driver.solve(exporter);
        outcome.unconverged_details = driver.unconverged_details();
        outcome.case_notes = driver.case_notes();

        std::vector<const CaseResults*> blocks;
        for (int i = 1; i <= model.load_cases.count(); ++i) {
            const int code = model.load_cases.code(i);
            const CaseResults& r = results.at(code);
            blocks.push_back(&r);
            if (!r.converged)
                outcome.unconverged.push_back(code);
        }
        if (callbacks.progress)
            callbacks.progress("Writing the results file");
        DynamicAnalysis* dynamics = driver.dynamics();
        ModalBlock modal;
        if (dynamics && dynamics->has_modes()) {
            modal = dynamics->modal_block();
            outcome.modal_notes = dynamics->modes().notes;
        }
        write_results_file(model.output.results_path, model, blocks, soil_restraint_records(model),
                           &run.run_state<HangerRunDesign>(), &modal);
        if (dynamics)
            dynamics->write_files();
        outcome.warnings = run.run_state<RunWarnings>().lines;
        exporter.finish();
        outcome.completed = true;
    } catch (const MessageText& m) {
        outcome.message = m.text;
    } catch (const std::bad_alloc&) {
        outcome.message = "*** Out of memory ***";
    }
    return outcome;
}
