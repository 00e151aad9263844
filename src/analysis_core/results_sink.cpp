#include "analysis_core/results_sink.h"

#include "analysis_core/analysis_run.h"
#include "framework/errors.h"
#include "model/model.h"

int support_word_count(int dtype)
{
    switch (dtype) {
    case DT_ANCHOR: return 6;
    case DT_RESTRAINT: return 3;
    case DT_SKEWED_RESTRAINT: return 1;
    case DT_HANGER: return 1;
    case DT_GUIDE: return 3;
    case DT_LIMIT_STOP: return 2;
    case DT_NOZZLE: return 6;
    case DT_SNUBBER: return 1;
    case DT_GENERIC_SUPPORT: return 6;
    default: return 0;
    }
}

bool support_word_is_magnitude(int dtype, int word)
{
    return dtype == DT_LIMIT_STOP && word == 1;
}

int support_value_count(const Model& model)
{
    int count = 0;
    for (const LayoutRow& r : model.rows)
        count += support_word_count(r.dtype);
    return count;
}

void record_support_loads(AnalysisRun& run, int row, std::span<const double> values)
{
    KV_ASSERT(static_cast<int>(values.size()) == run.support_words(row));
    if (run.suppress_output || run.pass() != RunPass::Recovery)
        return;
    std::vector<double>& out = run.current.support_loads;
    if (static_cast<int>(out.size()) != run.support_values())
        out.assign(static_cast<std::size_t>(run.support_values()), 0.0);
    const auto offset = static_cast<std::size_t>(run.support_offset(row));
    for (std::size_t i = 0; i < values.size(); ++i)
        out[offset + i] = values[i];
}
