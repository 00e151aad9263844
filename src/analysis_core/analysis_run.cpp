#include "analysis_core/analysis_run.h"

#include "analysis_core/results_sink.h"
#include "analysis_core/section_properties.h"
#include "framework/errors.h"
#include "model/data_item.h"

#include <algorithm>

AnalysisRun::AnalysisRun(const AnalysisModel& model) : model_(model)
{
    const Model& m = model_.model;
    set_identity_numbering();
    records.resize(m.numelems());
    support_offsets_.resize(m.numrows());
    support_words_.resize(m.numrows());
    int offset = 0;
    for (int row = 1; row <= m.numrows(); ++row) {
        const int words = support_word_count(m.rows[row].dtype);
        support_offsets_[row] = offset;
        support_words_[row] = words;
        offset += words;
    }
    support_total_ = offset;
}

AnalysisRun::~AnalysisRun() = default;

SectionCache& AnalysisRun::section_cache() const
{
    if (!section_cache_)
        section_cache_ = std::make_unique<SectionCache>();
    return *section_cache_;
}

void AnalysisRun::set_numbering(const OneBased<int>& node_n)
{
    const int count = model_.numnodes();
    KV_ASSERT(node_n.size() == count);
    node_n_ = node_n;
    int highest = 0;
    for (int node = 1; node <= count; ++node)
        highest = std::max(highest, node_n_[node]);
    node_of_.clear();
    node_of_.resize(highest);
    for (int node = 1; node <= count; ++node)
        if (node_n_[node] > 0)
            node_of_[node_n_[node]] = node;
    equations_ = 6 * highest;
    loads.clear();
    loads.resize(equations_);
    solution.clear();
    solution.resize(equations_);
}

void AnalysisRun::set_identity_numbering()
{
    OneBased<int> identity(model_.numnodes());
    for (int node = 1; node <= identity.size(); ++node)
        identity[node] = node;
    set_numbering(identity);
}

void AnalysisRun::add_stiffness(int a, int b, double value)
{
    if (a == 0 || b == 0)
        return;
    if (pass_ == RunPass::Structure) {
        coupled_nodes.push_back({node_of(equation_node(a)), node_of(equation_node(b))});
        return;
    }
    if (!stiffness_wanted_)
        return;
    store.add(std::min(a, b), std::max(a, b), value);
}

void AnalysisRun::add_load(int equation, double value)
{
    if (equation == 0 || pass_ == RunPass::Structure)
        return;
    KV_ASSERT(loads.valid(equation));
    loads[equation] += value;
}

double AnalysisRun::displacement(int equation) const
{
    return solution.valid(equation) ? solution[equation] : 0.0;
}

void AnalysisRun::set_step(int code)
{
    step_ = StepState{};
    step_.code = code;
}

namespace {

std::vector<std::unique_ptr<RunState>> copies_of(const std::vector<std::unique_ptr<RunState>>& states)
{
    std::vector<std::unique_ptr<RunState>> copies(states.size());
    for (std::size_t i = 0; i < states.size(); ++i)
        if (states[i])
            copies[i] = states[i]->clone();
    return copies;
}

}  // namespace

SavedStates::SavedStates(const SavedStates& other) : elements(copies_of(other.elements)), rows(copies_of(other.rows)) {}

SavedStates& SavedStates::operator=(const SavedStates& other)
{
    if (this != &other) {
        elements = copies_of(other.elements);
        rows = copies_of(other.rows);
    }
    return *this;
}

SavedStates AnalysisRun::save_states() const
{
    return {copies_of(element_states_), copies_of(row_states_)};
}

void AnalysisRun::restore_states(const SavedStates& saved)
{
    element_states_ = copies_of(saved.elements);
    row_states_ = copies_of(saved.rows);
}

void AnalysisRun::take_state_of(const AnalysisRun& other)
{
    KV_ASSERT(&other.model_ == &model_);
    node_n_ = other.node_n_;
    node_of_ = other.node_of_;
    equations_ = other.equations_;
    store = other.store;
    loads = other.loads;
    mass_blocks = other.mass_blocks;
    solution = other.solution;
    base_solution = other.base_solution;
    step_ = other.step_;
    pass_ = other.pass_;
    stiffness_wanted_ = other.stiffness_wanted_;
    restore_states(other.save_states());
    run_states_.clear();
    for (const auto& [type, state] : other.run_states_)
        run_states_.emplace_back(type, state->clone());
    cancel_ = other.cancel_;
}
