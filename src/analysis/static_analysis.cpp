#include "analysis/static_analysis.h"

#include "analysis/buried_piping.h"
#include "analysis/dynamic_analysis.h"
#include "analysis/hanger_design.h"
#include "analysis/results_file.h"
#include "analysis/unloaded_cases.h"
#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/element_forces.h"
#include "analysis_core/results_sink.h"
#include "analysis_core/steps.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/data_item.h"
#include "model/load_cases.h"
#include "model/nodes.h"
#include "platform/file_replace.h"
#include "platform/threads.h"
#include "supports/contact_solver.h"

#include <algorithm>
#include <array>
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
// The most threads that solve the cases standing on another's state at once
// (each holds a copy of the run).
constexpr int MOST_STANDING_TASKS = 8;

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
    // A driver of a run that stands where `from`'s does (take_state_of),
    // to solve cases that stand on the state of `base` apart from it.
    Driver(AnalysisRun& run, const RunCallbacks& callbacks, const Driver& from, int base)
        : run_(run), callbacks_(callbacks), model_(run.snapshot()), nonlinear_(from.nonlinear_),
          nonlinear_element_(from.nonlinear_element_), nonlinear_row_(from.nonlinear_row_),
          soil_(run.run_state<SoilSprings>()), base_code_(from.base_code_), stood_on_{base}, standing_solved_(true)
    {
        results_.emplace(base, from.results_.at(base));
        held_.emplace(base, from.held_.at(base));
    }

    std::map<int, CaseResults> solve(StiffnessExport& exporter);
    const std::vector<std::string>& unconverged_details() const { return unconverged_details_; }
    const std::vector<std::string>& case_notes() const { return case_notes_; }
    const std::vector<std::string>& unloaded_cases() const { return unloaded_cases_; }
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
    OneBased<double> linear_loads_withheld();
    bool follow_load_path(int code, int most, int& iterations, double& reached, const PathPoint* held = nullptr);
    bool judge_state(const std::string& name, bool converged, int iterations, double reached);
    // `name` names the step in its line and its question when it does not
    // converge (empty: the case's name).
    CaseResults solve_step(int code, int seismic_axis = 0, bool hold_states = false, const std::string& name = {});
    CaseResults solve_seismic(int code);
    const CaseResults& solved_case(int code);
    // The case whose converged state a static case of a nonlinear model
    // stands on: the base case (base_state_case) for an occasional one,
    // Sustained for Settlement; 0 for any other case and in a linear model.
    int standing_on(int code) const
    {
        const StepRow& row = step_row(code);
        if (!nonlinear_ || row.solve != StepSolve::Static)
            return 0;
        return row.occasional ? base_code_ : row.settlement ? int{LC_SUSTAINED} : 0;
    }
    void hold_state_of(int base);
    CaseResults solve_on_base(int code, int base, int seismic_axis, int sign);
    void solve_standing_cases();
    struct StandingSolution;
    CaseResults take_standing(StandingSolution& solved);
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
    // The cases the model gives nothing to carry (unloaded_case_lines).
    std::vector<std::string> unloaded_cases_;
    // The soil of the buried elements (kept in the run).
    SoilSprings& soil_;
    // The static cases solved, those the run solves and where their
    // stiffness matrices go.
    std::map<int, CaseResults> results_;
    std::set<int> static_cases_;
    StiffnessExport* exporter_ = nullptr;
    // The case whose converged state the occasional and dynamic cases of a
    // nonlinear model stand on (base_state_case); the cases others stand on
    // (standing_on) and their states once solved; the iterations of the
    // case being solved on one of them, and whether all its solutions
    // converged.
    int base_code_ = 0;
    std::set<int> stood_on_;
    std::map<int, PathPoint> held_;
    int on_base_iterations_ = 0;
    bool on_base_converged_ = true;
    // The static cases the run solves in their order; the solutions of the
    // cases that stand on another's state (by case, seismic direction and
    // sign), made apart from the run (solve_standing_cases), and whether
    // they have been.
    struct StandingSolution {
        CaseResults results;
        int iterations = 0;
        bool converged = true;
        int factorisations = 0;
        // What the solution had to say, for the run to say in its turn: the
        // lines of a state that did not converge, the questions put, the
        // states reached, the stiffness export and the element records of
        // its recovery; the message that ended it, if any.
        std::vector<std::string> details;
        std::vector<std::string> questions;
        std::vector<std::pair<std::string, CaseResults>> states;
        std::string stiffness_text;
        OneBased<ElementVector> records;
        std::optional<std::string> failure;
    };
    std::vector<int> steps_;
    std::map<std::array<int, 3>, StandingSolution> standing_;
    bool standing_solved_ = false;
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

// The load vector of the linear items in the current step without its own
// seismic g, wind and settlement loads: the loads of the state it stands
// on.
OneBased<double> Driver::linear_loads_withheld()
{
    StepState& step = run_.step();
    step.own_loads_withheld = true;
    run_.set_pass(RunPass::Assembly);
    run_.set_stiffness_wanted(false);
    assemble_items(Items::Linear);
    run_.set_stiffness_wanted(true);
    step.own_loads_withheld = false;
    return run_.loads;
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
// sustained load first); a case that stands on another's converged state
// (`held`: an occasional case, Settlement), from that state, whose friction
// it carries on with, through the change of its load by its own loads; any
// other case, from the unloaded piping. From a
// settled state a small enough increment changes the normal forces, the
// stops' statuses and the slips by little, so each increment starts within
// reach of its solution; and the path ends, as every increment is bounded
// by its share of the iterations and none is smaller than the smallest
// step. `reached` is the share of the load the path settled at.
bool Driver::follow_load_path(int code, int most, int& iterations, double& reached, const PathPoint* held)
{
    const double path_slip = contact_final_slip(run_);
    if (!linear_assembled_)
        assemble_linear_base();
    const OneBased<double> case_loads = linear_loads_;
    std::vector<OneBased<double>> legs;
    OneBased<double> from(case_loads.size());
    const ContactStarts* start = nullptr;
    if (held) {
        from = linear_loads_withheld();
    } else if (is_operating_code(code)) {
        OneBased<double> sustained = linear_loads_of(LC_SUSTAINED);
        if (const auto found = converged_contacts_.find(LC_SUSTAINED); found != converged_contacts_.end()) {
            start = &found->second;
            from = std::move(sustained);
        } else {
            legs.push_back(std::move(sustained));
        }
    }
    legs.push_back(case_loads);

    if (held) {
        return_to(*held);
        contact_path_from_state(run_);
    } else {
        const ContactStarts* direct_start = contact_start_;
        contact_start_ = start;
        reset_nonlinear(true, path_slip);
        contact_start_ = direct_start;
    }

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
    // friction it found departs from them. A path from a held state starts
    // settled there, with the limits of that state.
    bool settled_state = held != nullptr, slide_on = false;
    std::vector<double> targets;
    if (held)
        targets = contact_limit_targets(run_);
    for (int leg = 0; leg < legs_count; ++leg) {
        const OneBased<double>& to = legs[static_cast<std::size_t>(leg)];
        const bool from_nothing = leg == 0 && !start && !held;
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

// The verdict on the state a case was solved to: a converged state must pass
// the check of its contacts; one that fails it or did not converge is
// named in the run's details and put to the user (Cancel stops the run).
// `name` names the case as the lines show it. True when it stands as
// converged.
bool Driver::judge_state(const std::string& name, bool converged, int iterations, double reached)
{
    const std::vector<std::string> failures = converged ? check_contact_states(run_) : std::vector<std::string>{};
    if (!failures.empty()) {
        std::string text = c_format("%s: the converged state fails its check at %d supports: %s", name.c_str(),
                                    static_cast<int>(failures.size()), failures.front().c_str());
        unconverged_details_.push_back(text);
        const std::string question = text + "\nOK keeps its results, marked as not converged; Cancel stops the analysis.";
        if (callbacks_.ask_unconverged && !callbacks_.ask_unconverged(question))
            abort_run();
        return false;
    }
    if (!converged) {
        std::string text = unconverged_step_text(run_, name, iterations);
        if (reached < 1.0)
            text += c_format("; the load path reached %.0f%% of the load", 100.0 * reached);
        unconverged_details_.push_back(text);
        const std::string question =
            c_format("%d nonlinearities of load case \"%s\" have not converged after %d iterations.\n"
                     "OK keeps its results, marked as not converged; Cancel stops the analysis.",
                     run_.unconverged, name.c_str(), iterations);
        if (callbacks_.ask_unconverged && !callbacks_.ask_unconverged(question))
            abort_run();
    }
    return converged;
}

CaseResults Driver::solve_step(int code, int seismic_axis, bool hold_states, const std::string& name)
{
    if (const int base = hold_states ? 0 : standing_on(code); base != 0)
        return solve_on_base(code, base, seismic_axis, 1);
    run_.set_step(code);
    run_.step().seismic_axis = seismic_axis;
    if (!hold_states)
        reset_nonlinear();
    linear_assembled_ = false;
    const std::string step_name = name.empty() ? load_case_names(code) : name;
    const int factorisations_before = run_.factorisations;
    bool converged = true, along_path = false;
    int iteration = 0;
    double reached = 1.0;
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
        if (!converged || !check_contact_states(run_).empty()) {
            along_path = true;
            converged = follow_load_path(code, most, iteration, reached);
        }
        // A converged state is checked against the conditions of the
        // contacts before it is taken as a solution.
        converged = judge_state(step_name, converged, iteration, reached);
    }
    const int factorisations = run_.factorisations - factorisations_before;
    if (nonlinear_ && !hold_states)
        case_notes_.push_back(case_note(step_name, converged, iteration, factorisations, along_path));
    if (nonlinear_ && !hold_states && converged)
        converged_contacts_[code] = contact_states(run_);
    if (nonlinear_ && !hold_states && stood_on_.count(code))
        held_[code] = path_point();
    CaseResults results = recover(code);
    results.converged = converged;
    results.iterations = iteration;
    results.factorisations = factorisations;
    return results;
}

// The names of the directions and signs of a seismic g load.
const char* seismic_direction_name(int axis, int sign)
{
    static const char* const names[2][3] = {{"-X", "-Y", "-Z"}, {"+X", "+Y", "+Z"}};
    return names[sign > 0 ? 1 : 0][std::clamp(axis, 1, 3) - 1];
}

// A seismic g case with more than one direction: each direction solved on
// its own, their results combined value by value as the seismic load says
// (the absolute sum or the square root of the sum of the squares). In a
// nonlinear model each direction is solved both ways from the base state
// (solve_on_base), as the load has no sign, and the larger change of the
// two taken value by value (seismic_larger_change).
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
    const int base = standing_on(code);
    if (axes.size() <= 1 && base == 0)
        return solve_step(code);
    if (axes.empty())
        return solve_on_base(code, base, 0, 1);
    std::vector<CaseResults> parts;
    for (int axis : axes) {
        if (base == 0) {
            parts.push_back(solve_step(code, axis));
            continue;
        }
        const CaseResults up = solve_on_base(code, base, axis, 1);
        const CaseResults down = solve_on_base(code, base, axis, -1);
        parts.push_back(seismic_larger_change(up, down));
    }
    return parts.size() == 1 ? parts.front() : combine_seismic_directions(parts, g.combination);
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
    d.solve = [this](int code, bool hold_states, const std::string& name) {
        check_cancel();
        factored_ = false;
        CaseResults r = solve_step(code, 0, hold_states, name);
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
// cases are chosen. A case that stands on another's state (standing_on)
// says so in its line, with the iterations of all its solutions.
const CaseResults& Driver::solved_case(int code)
{
    if (!results_.count(code)) {
        const int from = nonlinear_ ? start_case(code, static_cases_) : 0;
        if (from != 0)
            solved_case(from);
        const auto start = converged_contacts_.find(from);
        contact_start_ = start != converged_contacts_.end() ? &start->second : nullptr;
        const int factorisations = run_.factorisations;
        on_base_iterations_ = 0;
        on_base_converged_ = true;
        CaseResults r = step_row(code).seismic_g ? solve_seismic(code) : solve_step(code);
        contact_start_ = nullptr;
        if (const int base = standing_on(code); base != 0) {
            r.factorisations = run_.factorisations - factorisations;
            case_notes_.push_back(from_state_note(code, base, results_.at(base).converged, on_base_converged_,
                                                  on_base_iterations_));
        }
        results_[code] = std::move(r);
        if (exporter_)
            exporter_->take(run_.stiffness_text);
    }
    return results_.at(code);
}

// The run in the converged state of a case others stand on, solved first
// where the run has not: its supports' statuses and friction, its joints'
// and soil springs' states, and its solution.
void Driver::hold_state_of(int base)
{
    KV_ASSERT(stood_on_.count(base) != 0);
    if (!held_.count(base)) {
        progress((base == base_code_ ? "Operating state for the occasional and dynamic cases: "
                                     : "Sustained state for the settlement: ") +
                 load_case_names(base));
        solved_case(base);
        KV_ASSERT(held_.count(base) != 0);
    }
    return_to(held_.at(base));
    factored_ = false;
}

void Driver::hold_base_state()
{
    stood_on_.insert(base_code_);
    hold_state_of(base_code_);
}

// A case that stands on the converged state of its base case (an occasional
// case on base_state_case, Settlement on Sustained) in a nonlinear model:
// the state that the base case's loads and the case's own (seismic g along
// `seismic_axis` turned by `sign`, wind, the settlement displacements)
// reach from the base case's state, along the load path from there
// (follow_load_path: the friction of the base state acts on, and slips are
// measured from where the piping stood), and the case is its difference
// from the base state. The base case plus the case is then that state,
// which the supports allow: a guide closes at its gap, a rest slides at
// mu N or lifts off and pulls on nothing. Snubbers resist the motion from
// the base state. The case's loads are tried whole first, from the base
// state with the friction limits following mu N, within a share of its
// iterations; where that does not settle or fails its check, they follow
// the load path. A state that does not converge or fails its check is
// reported as any case's, named with the direction and sign of a seismic
// load. A solution made apart from the run (solve_standing_cases) is taken
// as it was made.
CaseResults Driver::solve_on_base(int code, int base, int seismic_axis, int sign)
{
    if (!standing_solved_)
        solve_standing_cases();
    if (const auto found = standing_.find({code, seismic_axis, sign}); found != standing_.end())
        return take_standing(found->second);
    const CaseResults& base_results = solved_case(base);
    hold_state_of(base);
    const PathPoint& held = held_.at(base);
    run_.set_step(base);
    StepState& step = run_.step();
    step.added = code;
    step.seismic_axis = seismic_axis;
    step.seismic_sign = sign;
    run_.base_solution = held.solution;
    linear_assembled_ = false;
    assemble_linear_base();
    const int most = std::max(1, model_.options.max_iterations);
    int iterations = 0;
    double reached = 1.0;
    bool converged = false;
    if (!callbacks_.load_path_only) {
        contact_path_from_state(run_);
        contact_start_increment(run_, true, false, nullptr);
        converged = iterate(std::max(1, most / DIRECT_SHARE), iterations) && check_contact_states(run_).empty();
    }
    if (!converged)
        converged = follow_load_path(code, most, iterations, reached, &held);
    std::string name = load_case_names(code);
    if (seismic_axis != 0)
        name += c_format(" %s", seismic_direction_name(seismic_axis, sign));
    converged = judge_state(name, converged, iterations, reached);
    const CaseResults state = recover(code);
    if (callbacks_.state_reached)
        callbacks_.state_reached(name, state);
    CaseResults results = case_difference(state, base_results, code);
    run_.base_solution = OneBased<double>();
    results.converged = converged && base_results.converged;
    results.iterations = iterations;
    on_base_iterations_ += iterations;
    on_base_converged_ = on_base_converged_ && converged;
    return results;
}

// A solution made apart from the run: what it had to say is said now, in
// the run's order (the lines of a state that did not converge, the
// questions, the states reached, the message that ended it), and its
// stiffness export, element records and counts join the run's.
CaseResults Driver::take_standing(StandingSolution& solved)
{
    unconverged_details_.insert(unconverged_details_.end(), solved.details.begin(), solved.details.end());
    for (const std::string& question : solved.questions)
        if (callbacks_.ask_unconverged && !callbacks_.ask_unconverged(question))
            abort_run();
    for (const auto& [name, state] : solved.states)
        if (callbacks_.state_reached)
            callbacks_.state_reached(name, state);
    if (solved.failure)
        throw MessageText(*solved.failure);
    run_.stiffness_text += solved.stiffness_text;
    const AnalysisOutput& output = model_.output;
    for (int e = 1; e <= solved.records.size() && run_.records.valid(e); ++e) {
        if (output.envelope)
            envelope_end_forces(solved.records[e], run_.records[e]);
        if (output.square_sum)
            for (int j = 1; j <= 12; ++j)
                run_.records[e].f[j] += solved.records[e].f[j];
    }
    run_.factorisations += solved.factorisations;
    on_base_iterations_ += solved.iterations;
    on_base_converged_ = on_base_converged_ && solved.converged;
    return std::move(solved.results);
}

// The cases of a nonlinear model that stand on another's state, every
// solution of each (both signs of each direction of Seismic (g)), solved at
// once, each on a run of its own that stands where the run stands in the
// state of the case it stands on (AnalysisRun::take_state_of), on as many
// threads as the processors allow: they depend on nothing but that state.
// Each comes out as it would solved in turn, and the run takes its results
// and says what it had to say as it reaches it (solve_on_base); so the
// results have the same bits however many threads solved them. The states
// they stand on are solved first, in the run.
void Driver::solve_standing_cases()
{
    standing_solved_ = true;
    struct Job {
        int code, base, axis, sign;
    };
    std::vector<Job> jobs;
    const StaticSeismic& g = model_.loads.seismic;
    for (int code : steps_) {
        const int base = standing_on(code);
        if (base == 0)
            continue;
        if (!step_row(code).seismic_g) {
            jobs.push_back({code, base, 0, 1});
            continue;
        }
        std::vector<int> axes;
        for (int axis = 1; axis <= 3; ++axis)
            if ((axis == 1 && g.x && g.gx != 0.0) || (axis == 2 && g.y && g.gy != 0.0) || (axis == 3 && g.z && g.gz != 0.0))
                axes.push_back(axis);
        if (axes.empty())
            jobs.push_back({code, base, 0, 1});
        for (int axis : axes)
            for (int sign : {1, -1})
                jobs.push_back({code, base, axis, sign});
    }
    if (jobs.size() < 2)
        return;
    for (const Job& job : jobs)
        solved_case(job.base);
    check_cancel();
    progress(c_format("%d solutions from the state of %s", static_cast<int>(jobs.size()),
                      load_case_names(jobs.front().base).c_str()));
    std::vector<StandingSolution> solved(jobs.size());
    run_tasks(static_cast<int>(jobs.size()), MOST_STANDING_TASKS, [&](int index) {
        RunningScope running;
        const Job& job = jobs[static_cast<std::size_t>(index)];
        StandingSolution& out = solved[static_cast<std::size_t>(index)];
        try {
            AnalysisRun run(model_);
            run.take_state_of(run_);
            RunCallbacks callbacks;
            callbacks.load_path_only = callbacks_.load_path_only;
            callbacks.ask_unconverged = [&out](const std::string& question) {
                out.questions.push_back(question);
                return true;
            };
            if (callbacks_.state_reached)
                callbacks.state_reached = [&out](const std::string& name, const CaseResults& state) {
                    out.states.emplace_back(name, state);
                };
            Driver apart(run, callbacks, *this, job.base);
            out.results = apart.solve_on_base(job.code, job.base, job.axis, job.sign);
            out.iterations = apart.on_base_iterations_;
            out.converged = apart.on_base_converged_;
            out.details = std::move(apart.unconverged_details_);
            out.factorisations = run.factorisations;
            out.stiffness_text = std::move(run.stiffness_text);
            out.records = std::move(run.records);
        } catch (const MessageText& m) {
            out.failure = m.text;
        } catch (const std::bad_alloc&) {
            out.failure = "*** Out of memory ***";
        } catch (const std::exception& e) {
            out.failure = e.what();
        }
    });
    for (std::size_t i = 0; i < jobs.size(); ++i)
        standing_.emplace(std::array<int, 3>{jobs[i].code, jobs[i].axis, jobs[i].sign}, std::move(solved[i]));
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
    unloaded_cases_ = unloaded_case_lines(model_, !nonlinear_);
    number_nodes(first);
    design_hangers_first();

    // The static cases the run solves: those chosen, and for a nonlinear
    // model the two states of each Expansion chosen and the states its
    // occasional cases, Settlement and dynamic analyses stand on.
    for (const AnalysisStep& s : steps) {
        if (step_row(s.code).solve == StepSolve::Static)
            static_cases_.insert(s.code);
        if (const int set = expansion_set(s.code); set != 0 && nonlinear_) {
            static_cases_.insert(operating_code(set));
            static_cases_.insert(LC_SUSTAINED);
        }
        if (const int base = standing_on(s.code); base != 0) {
            static_cases_.insert(base);
            stood_on_.insert(base);
        }
        if (nonlinear_ && step_row(s.code).dynamic)
            stood_on_.insert(base_code_);
        if (step_row(s.code).solve == StepSolve::Static)
            steps_.push_back(s.code);
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
    return case_note(load_case_names(code), converged, iterations, factorisations, along_path);
}

std::string case_note(const std::string& name, bool converged, int iterations, int factorisations, bool along_path)
{
    const char* how = converged ? (along_path ? "converged along its load path in" : "converged in")
                                : (along_path ? "not converged along its load path after" : "not converged after");
    return c_format("%s: %s %d iterations, %d factorisations", name.c_str(), how, iterations, factorisations);
}

std::string from_state_note(int code, int base, bool base_converged, bool converged, int iterations)
{
    return c_format("%s: from the state of %s%s, %s %d iterations", load_case_names(code).c_str(),
                    load_case_names(base).c_str(), base_converged ? "" : ", which did not converge",
                    converged ? "converged in" : "not converged after", iterations);
}

std::string unconverged_step_text(const AnalysisRun& run, int code, int iterations)
{
    return unconverged_step_text(run, load_case_names(code), iterations);
}

std::string unconverged_step_text(const AnalysisRun& run, const std::string& name, int iterations)
{
    std::string text =
        c_format("%s: %d nonlinearities not converged after %d iterations", name.c_str(), run.unconverged, iterations);
    const UnconvergedItem& w = run.worst;
    if (w.type != 0) {
        const Model& m = run.layout();
        const std::string node = m.nodes.valid(w.node) ? node_text(m.nodes[w.node].number) : std::string("?");
        text += c_format("; largest change %.3g%% at %s, node %s", 100.0 * w.change,
                         nonlinear_item_name(w.type).c_str(), node.c_str());
    }
    return text;
}

CaseResults seismic_larger_change(const CaseResults& up, const CaseResults& down)
{
    CaseResults out = up;
    auto larger = [](double a, double b) { return std::max(std::fabs(a), std::fabs(b)); };
    for (std::size_t k = 0; k < out.displacements.size(); ++k)
        out.displacements[k] = larger(up.displacements[k], down.displacements[k]);
    for (std::size_t k = 0; k < out.support_loads.size(); ++k)
        out.support_loads[k] = larger(up.support_loads[k], down.support_loads[k]);
    for (std::size_t e = 0; e < out.forces.size(); ++e)
        for (int j = 1; j <= 12; ++j)
            out.forces[e].f[j] = larger(up.forces[e].f[j], down.forces[e].f[j]);
    out.converged = up.converged && down.converged;
    out.iterations = std::max(up.iterations, down.iterations);
    return out;
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
        outcome.unloaded_cases = driver.unloaded_cases();

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
        // The report finds each case's lines above its tables: first what it
        // has nothing to carry, then how it converged.
        std::vector<std::string> case_lines = outcome.unloaded_cases;
        case_lines.insert(case_lines.end(), outcome.case_notes.begin(), outcome.case_notes.end());
        write_results_file(model.output.results_path, model, blocks, soil_restraint_records(model),
                           &run.run_state<HangerRunDesign>(), &modal, case_lines);
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
