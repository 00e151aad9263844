// The run: the one object that owns everything an analysis run changes.
// It is made on the main thread from the analysis model (which it only
// reads) and then used by one thread, the run's; two runs share nothing.
//
// It holds the node numbering (node index -> analysis index n, whose
// equations are 6n-5..6n), the equation store, the global load and solution
// vectors (double, 1-based by equation), the current step, the current
// element's scratch, the iteration counters, the per-element and per-row
// nonlinear states, the per-element records of the envelope and square-sum
// modes, and the results of the load case being recovered.
//
// The kinds (element_kinds.h, the DataItem analysis slots) work on the run
// through the free functions of steps.h, element_assembly.h, convergence.h
// and results_sink.h; the driver (analysis layer) sets the pass, the step
// and the numbering.
#pragma once

#include "analysis_core/analysis_model.h"
#include "analysis_core/element_kinds.h"
#include "analysis_core/local_matrix.h"
#include "analysis_core/equation_store.h"
#include "framework/one_based.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <typeindex>
#include <utility>
#include <vector>

struct SectionCache;

// The current step: its code and the g directions of a seismic g step
// (set by step_has_seismic_g). `seismic_axis` restricts a seismic g step to
// one direction (1 X, 2 Y, 3 Z; 0 every flagged one): the driver solves the
// directions one by one when their results are to be combined;
// `seismic_sign` -1 turns the seismic g factors the other way.
// `added`: a case whose own loads (seismic g, wind, the settlement
// displacements) act in the step beside every load of its code: a
// nonlinear model solves an occasional case or Settlement as the state that
// the loads of the case it stands on (the step's code) and its own reach
// from the state of that case (static_analysis.h). The step is then of its
// code in everything else (temperature, pressure, material values, weight);
// snubbers act in it as in the added case, resisting the motion from the
// state the step stands on (AnalysisRun::base_solution).
// `own_loads_withheld`: the seismic g, wind and settlement loads of the
// step are left out (the loads of the state it stands on).
struct StepState {
    int code = 0;
    int added = 0;
    bool gx = false, gy = false, gz = false;
    int seismic_axis = 0;
    int seismic_sign = 1;
    bool own_loads_withheld = false;
};

// The current element: its local stiffness and load vector, its twelve
// equation numbers (slots 1..12, 0 for a node outside the analysis) and its
// axes, in which K and F are given (global unit vectors of local x, y, z).
// `axes2` are the axes at node 2 for the resultant output (an arc's tangent
// axes there; the same as `axes` for a straight element).
struct ElementScratch {
    int element = 0;
    int node1 = 0, node2 = 0;
    ElementMatrix k;
    ElementVector f;
    // K turned to global displacement columns, node-1 rows negated, by the
    // last compute_end_forces (the stiffness export writes it).
    ElementMatrix turned;
    int dofs[13] = {};
    LocalAxes axes;
    LocalAxes axes2;
};

// The results of one load case as the results file holds them.
struct CaseResults {
    int code = 0;
    bool converged = true;
    int iterations = 0;
    // The factorisations of the stiffness the case's solution took.
    int factorisations = 0;
    // DX, DY, DZ, RX, RY, RZ of every node of the node table, node 1 first;
    // 0 for a node outside the analysis.
    std::vector<double> displacements;
    // The twelve end forces of each element, element 1 at index 0.
    std::vector<ElementVector> forces;
    // The support-load values of every row in row order (results_sink.h).
    std::vector<double> support_loads;
    // Response spectrum (31) only: the accelerations of every node (in/s2;
    // the translations first, as the displacements).
    std::vector<double> accelerations;
};

// The mass of a node that a rigid offset carries (a concentrated mass away
// from its node): its 6 x 6 block on the node's translations and rotations,
// m [[I, -[d]x], [[d]x, -[d]x [d]x]] for the offset d ([d]x the cross-product
// matrix), row-major. The translational masses of the elements and of the
// other items go into the load vector of the modal step instead.
struct NodeMassBlock {
    int node = 0;
    std::array<double, 36> m{};
};

// The worst nonlinearity of an iteration: its relative change, its type
// (an element type, or minus a data type), a second id and its node index.
struct UnconvergedItem {
    double change = 0.0;
    int type = 0;
    int id = 0;
    int node = 0;
};

// What the kinds keep in a run (nonlinear state); each kind derives its own,
// through CopiedState.
class RunState {
public:
    virtual ~RunState() = default;
    // A copy of the state: a load path goes back to the states of its last
    // settled increment when the next one does not settle.
    virtual std::unique_ptr<RunState> clone() const = 0;
};

// A state that is copied as a value.
template <typename T>
struct CopiedState : RunState {
    std::unique_ptr<RunState> clone() const override { return std::make_unique<T>(static_cast<const T&>(*this)); }
};

// Copies of the states of the elements and rows (a copy of it copies them).
struct SavedStates {
    std::vector<std::unique_ptr<RunState>> elements;
    std::vector<std::unique_ptr<RunState>> rows;

    SavedStates() = default;
    SavedStates(std::vector<std::unique_ptr<RunState>> e, std::vector<std::unique_ptr<RunState>> r)
        : elements(std::move(e)), rows(std::move(r))
    {
    }
    SavedStates(const SavedStates& other);
    SavedStates& operator=(const SavedStates& other);
    SavedStates(SavedStates&&) = default;
    SavedStates& operator=(SavedStates&&) = default;
};

// What the run is doing: the structure pass records which equations couple
// (no values); the assembly adds values; the recovery recovers end forces
// and support loads.
enum class RunPass { Structure, Assembly, Recovery };

class AnalysisRun {
public:
    // The run of a model, which must outlive it.
    explicit AnalysisRun(const AnalysisModel& model);
    ~AnalysisRun();
    AnalysisRun(const AnalysisRun&) = delete;
    AnalysisRun& operator=(const AnalysisRun&) = delete;

    const AnalysisModel& snapshot() const { return model_; }
    const Model& layout() const { return model_.model; }
    const ElementKindTable& kinds() const { return model_.element_kinds; }

    // ---- Numbering ------------------------------------------------------
    // Sets the analysis index of every node (0 for a node outside the
    // analysis); the equations are 6n-5..6n.
    void set_numbering(const OneBased<int>& node_n);
    // Every node n = its index (the structure pass).
    void set_identity_numbering();
    int node_n(int node) const { return node_n_.valid(node) ? node_n_[node] : 0; }
    // The node index of analysis index n.
    int node_of(int n) const { return node_of_.valid(n) ? node_of_[n] : 0; }
    int equation_count() const { return equations_; }
    // The equation of a node's direction 0..5 (X, Y, Z, RX, RY, RZ); 0 when
    // the node is not in the analysis.
    int equation(int node, int direction) const
    {
        const int n = node_n(node);
        return n ? 6 * n - 5 + direction : 0;
    }

    // ---- Store and vectors -------------------------------------------------
    RunPass pass() const { return pass_; }
    void set_pass(RunPass pass) { pass_ = pass; }
    bool structure_pass() const { return pass_ == RunPass::Structure; }
    // False while the store already holds the factorised stiffness of the
    // step: assembly then adds loads only.
    bool stiffness_wanted() const { return stiffness_wanted_; }
    void set_stiffness_wanted(bool wanted) { stiffness_wanted_ = wanted; }

    EquationStore store;
    OneBased<double> loads;      // the global load vector (masses in a modal step)
    // The offset masses of the modal step (each a node's block; a node may
    // have several), beside the masses in `loads`.
    std::vector<NodeMassBlock> mass_blocks;
    OneBased<double> solution;   // displacements and rotations
    // The solution of the state that a step of an added case stands on
    // (StepState::added); empty otherwise.
    OneBased<double> base_solution;
    // Node pairs recorded by the structure pass.
    std::vector<NodePair> coupled_nodes;

    // Adds to the stiffness term of two equations (either order; 0 skipped).
    // In the structure pass it records the coupling instead.
    void add_stiffness(int equation_a, int equation_b, double value);
    // Adds to the load vector (0 skipped; nothing in the structure pass).
    void add_load(int equation, double value);
    // The solution at an equation; 0 for equation 0.
    double displacement(int equation) const;

    // ---- Current step and element -------------------------------------------
    StepState& step() { return step_; }
    const StepState& step() const { return step_; }
    void set_step(int code);
    ElementScratch& element() { return element_; }
    const ElementScratch& element() const { return element_; }

    // Set while end forces are recovered (so that kinds leave their
    // iteration state alone and put no friction into the load vector).
    bool force_recovery = false;
    // Set for a recovery pass whose results are not written.
    bool suppress_output = false;

    // ---- Nonlinear iterations -------------------------------------------------
    int iteration = 0;
    int unconverged = 0;
    UnconvergedItem worst;
    // Set for an iteration whose stiffness came out as the factor's, which
    // was then used again; the count of factorisations of the run.
    bool factor_reused = false;
    int factorisations = 0;

    // The state of an element or a row, made (value-initialised) at first
    // use; T derives from RunState.
    template <typename T>
    T& element_state(int element)
    {
        return state_in<T>(element_states_, element);
    }
    template <typename T>
    T& row_state(int row)
    {
        return state_in<T>(row_states_, row);
    }
    // Copies of the states of the elements and rows, and their return.
    SavedStates save_states() const;
    void restore_states(const SavedStates& saved);
    // Makes this run, of the same model, stand where `other` stands: its
    // numbering, its equation store (pattern and factor), its load and
    // solution vectors, its step, the states of its elements and rows and
    // those of the run, and its cancel flag; so that work apart from the
    // other run, on another thread, goes on from there.
    void take_state_of(const AnalysisRun& other);
    // A state of the whole run that a kind keeps (made at first use), one
    // per type T.
    template <typename T>
    T& run_state()
    {
        static_assert(std::is_base_of_v<RunState, T>);
        const std::type_index type(typeid(T));
        for (auto& [kind, state] : run_states_)
            if (kind == type)
                return static_cast<T&>(*state);
        run_states_.emplace_back(type, std::make_unique<T>());
        return static_cast<T&>(*run_states_.back().second);
    }
    // The state of type T when a kind has made it; null otherwise.
    template <typename T>
    const T* find_run_state() const
    {
        const std::type_index type(typeid(T));
        for (const auto& [kind, state] : run_states_)
            if (kind == type)
                return static_cast<const T*>(state.get());
        return nullptr;
    }

    // ---- Output ----------------------------------------------------------------
    // The results of the case being recovered.
    CaseResults current;
    // The per-element records of the envelope and square-sum modes.
    OneBased<ElementVector> records;
    // The stiffness export written so far.
    std::string stiffness_text;
    // The first value of each row in CaseResults::support_loads and its count.
    int support_offset(int row) const { return support_offsets_.valid(row) ? support_offsets_[row] : 0; }
    int support_words(int row) const { return support_words_.valid(row) ? support_words_[row] : 0; }
    int support_values() const { return support_total_; }

    // The section quantities worked out so far (section_properties.h);
    // the run's cache, filled while it reads.
    SectionCache& section_cache() const;

    // ---- Cancel and progress ------------------------------------------------------
    // The flag the window sets to stop the run at its next step.
    void set_cancel_flag(const std::atomic<bool>* flag) { cancel_ = flag; }
    bool cancelled() const { return cancel_ && cancel_->load(); }

private:
    template <typename T>
    T& state_in(std::vector<std::unique_ptr<RunState>>& states, int index)
    {
        static_assert(std::is_base_of_v<RunState, T>);
        if (index < 0)
            index = 0;
        if (static_cast<std::size_t>(index) >= states.size())
            states.resize(static_cast<std::size_t>(index) + 1);
        std::unique_ptr<RunState>& slot = states[static_cast<std::size_t>(index)];
        // The state is most often of type T itself, which is quicker to ask.
        if (RunState* held = slot.get(); held && typeid(*held) == typeid(T))
            return static_cast<T&>(*held);
        if (!slot || !dynamic_cast<T*>(slot.get()))
            slot = std::make_unique<T>();
        return static_cast<T&>(*slot);
    }

    const AnalysisModel& model_;
    OneBased<int> node_n_;
    OneBased<int> node_of_;
    int equations_ = 0;
    RunPass pass_ = RunPass::Assembly;
    bool stiffness_wanted_ = true;
    StepState step_;
    ElementScratch element_;
    std::vector<std::unique_ptr<RunState>> element_states_;
    std::vector<std::unique_ptr<RunState>> row_states_;
    // The run's states by type: a handful, looked up on every row, so a list
    // rather than a hash of the type's name.
    std::vector<std::pair<std::type_index, std::unique_ptr<RunState>>> run_states_;
    OneBased<int> support_offsets_;
    OneBased<int> support_words_;
    int support_total_ = 0;
    mutable std::unique_ptr<SectionCache> section_cache_;
    const std::atomic<bool>* cancel_ = nullptr;
};
