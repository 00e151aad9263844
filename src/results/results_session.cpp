#include "results/results_session.h"

#include "framework/errors.h"
#include "loads/time_function.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/support_summary.h"
#include "results/time_history.h"

namespace {

void initialise_code_records(ResultsState& r)
{
    OneBased<ElementNodes> nodes(r.numelems());
    for (int e = 1; e <= r.numelems(); ++e)
        nodes[e] = {r.elements[e].node1, r.elements[e].node2};
    r.code.allocate(nodes, r.nodes, r.lists.pipes, r.lists.frp);
}

}  // namespace

std::string run_code_evaluation()
{
    const CodeEvaluationDriver& driver = code_evaluation_driver();
    if (!driver)
        return {};
    ResultsState& r = results();
    CodeEvaluationInput input;
    input.model = &model();
    input.piping_code = piping_code();
    input.options = analysis_options();
    input.available = &r.available;
    for (const ResultsLoadCase& c : r.load_cases)
        input.load_cases.push_back(c.code);
    input.forces = [](int32_t code, OneBased<ElementForceRecord>& out) { read_load_case_forces_of(code, out); };
    try {
        driver(input, r.code);
    } catch (const MessageText& m) {
        // Nothing half evaluated is shown.
        initialise_code_records(r);
        return m.text;
    }
    return {};
}

std::vector<std::string> load_results(const std::string& results_path, const std::string& time_history_path)
{
    read_results(results_path);
    clear_loaded_results();
    std::vector<std::string> warnings;
    try {
        if (std::string failed = run_code_evaluation(); !failed.empty())
            warnings.push_back(failed);
        if (support_summary_wanted())
            build_support_load_summary();
        ResultsState& r = results();
        if (r.available.has(LC_TIME_HISTORY) && time_history_options().save_results)
            if (std::string warning = read_time_history_results(time_history_path); !warning.empty())
                warnings.push_back(warning);
    } catch (...) {
        close_results();
        throw;
    }
    return warnings;
}

void close_results()
{
    free_support_load_summary();
    close_time_history();
    reset_results();
}
