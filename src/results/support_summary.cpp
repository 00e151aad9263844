#include "results/support_summary.h"

#include "framework/text.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "supports/limit_stop.h"
#include "supports/support_item.h"

#include <cmath>

namespace {

// A base case: the case it takes (the cold-spring one when present) and its name.
struct SummaryBase {
    int code = 0;
    std::string name;
};

// The eleven bases: the case of each and its cold-spring case.
constexpr int BASE_CODES[11][2] = {{1, 14},   {8, 15},   {9, 16},   {10, 17},  {100, 110}, {101, 111},
                                   {102, 112}, {103, 113}, {104, 114}, {105, 115}, {106, 116}};

std::vector<SummaryBase> present_bases(const ResultsAvailability& a)
{
    std::vector<SummaryBase> bases;
    for (int b = 0; b < 11; ++b) {
        const int other = BASE_CODES[b][0], cold = BASE_CODES[b][1];
        if (!a.has(other) && !a.has(cold))
            continue;
        std::string name = a.has(cold) ? c_format("Cold spring%d", b) : b == 0 ? "Sustained" : c_format("Operating%d", b);
        bases.push_back({a.has(cold) ? cold : other, name});
    }
    return bases;
}

// Makes the case current, reads its support loads and displacements, and
// lets every row's item do `op` with its node and translations set.
template <typename Op>
void with_case(int code, Op op)
{
    set_results_load_case(code);
    read_load_case_support_loads();
    read_load_case_displacements();
    ResultsState& r = results();
    Model& m = model();
    SupportResultsContext& context = support_results_context();
    for (LayoutRow& row : m.rows) {
        if (!row.data)
            continue;
        context.node = row.node;
        context.translation = {};
        if (r.displacements.valid(row.node_index))
            for (std::size_t d = 0; d < 3; ++d)
                context.translation[d] = r.displacements[row.node_index][d];
        op(*row.data);
    }
}

}  // namespace

bool support_summary_wanted()
{
    const ResultsState& r = results();
    return r.numsupports() > 0 && (r.available.has(LC_SUSTAINED) || r.available.any_operating);
}

void build_support_load_summary()
{
    ResultsState& r = results();
    free_support_load_summary();
    const ResultsAvailability& a = r.available;
    const std::vector<SummaryBase> bases = present_bases(a);
    const int nb = static_cast<int>(bases.size());
    const int winds[] = {LC_WIND, 107, 108, 109};
    const char* const wind_names[] = {"Wind", "Wind 2", "Wind 3", "Wind 4"};
    struct Dynamic {
        int code;
        const char* label;
        bool both_signs;
    };
    const Dynamic dynamics[] = {{LC_SEISMIC_G, "Seismic", true},
                                {LC_RESPONSE_SPECTRUM, "Response", true},
                                {LC_FORCE_SPECTRUM, "Force spectrum", true},
                                {LC_TIME_HISTORY, "Time history", false},
                                {LC_HARMONIC, "Harmonic", true}};

    // The columns, in the order they are filled.
    int count = 3 + nb;
    count += a.has(LC_EMPTY_WEIGHT) ? 1 : 0;
    count += a.has(LC_DESIGN) || a.has(LC_COLD_SPRING_DESIGN) ? 1 : 0;
    count += a.has(LC_SETTLEMENT) ? nb : 0;
    count += a.has(LC_HYDROTEST) ? 1 : 0;
    for (int w : winds)
        count += a.has(w) ? nb : 0;
    for (const Dynamic& d : dynamics)
        count += a.has(d.code) ? (d.both_signs ? 2 : 1) * nb : 0;

    SupportSummary& s = r.summary;
    s.columns = OneBased<std::string>(count);
    for (LayoutRow& row : model().rows)
        if (row.data)
            row.data->allocate_summary(count);
    const int was_current = r.current;

    int c = 0;
    auto store = [&](int code, const std::string& name) {
        s.columns[++c] = name;
        const int column = c;
        with_case(code, [&](DataItem& item) { item.store_summary_column(column); });
    };
    if (a.has(LC_EMPTY_WEIGHT))
        store(LC_EMPTY_WEIGHT, "Empty Weight");
    std::vector<int> base_column;
    for (const SummaryBase& b : bases) {
        store(b.code, b.name);
        base_column.push_back(c);
    }
    if (a.has(LC_COLD_SPRING_DESIGN))
        store(LC_COLD_SPRING_DESIGN, "Cold spring Design");
    else if (a.has(LC_DESIGN))
        store(LC_DESIGN, "Design");
    // A combination column per base: base + (or -) the case.
    auto combine = [&](int code, const std::string& label, bool subtract_too) {
        if (!a.has(code))
            return;
        for (int i = 0; i < nb; ++i) {
            const int source = base_column[static_cast<std::size_t>(i)];
            s.columns[++c] = bases[static_cast<std::size_t>(i)].name + "+" + label;
            const int plus = c;
            int minus = 0;
            if (subtract_too) {
                s.columns[++c] = bases[static_cast<std::size_t>(i)].name + "-" + label;
                minus = c;
            }
            with_case(code, [&](DataItem& item) {
                item.add_summary_column(source, plus);
                if (minus)
                    item.subtract_summary_column(source, minus);
            });
        }
    };
    combine(LC_SETTLEMENT, "Settlement", false);
    if (a.has(LC_HYDROTEST))
        store(LC_HYDROTEST, "Hydrotest");
    for (int w = 0; w < 4; ++w)
        combine(winds[w], wind_names[w], false);
    for (const Dynamic& d : dynamics)
        combine(d.code, d.label, d.both_signs);
    s.columns[++c] = "Maximum";
    s.maximum = c;
    s.columns[++c] = "Minimum";
    s.columns[++c] = "Allowables";
    KV_ASSERT(c == count);

    SupportResultsContext& context = support_results_context();
    for (LayoutRow& row : model().rows)
        if (row.data) {
            context.node = row.node;
            row.data->summary_extremes(s.maximum, s.maximum + 1, s.maximum + 2);
        }
    r.current = was_current;
    s.current = 1;
    s.built = true;
}

void free_support_load_summary()
{
    ResultsState& r = results();
    if (r.summary.built || !r.summary.columns.empty())
        for (LayoutRow& row : model().rows)
            if (row.data)
                row.data->free_summary();
    r.summary = SupportSummary{};
}

bool support_summary_built()
{
    return results().summary.built;
}

const OneBased<std::string>& support_summary_columns()
{
    return results().summary.columns;
}

int summary_support()
{
    const ResultsState& r = results();
    return r.supports_by_kind.valid(r.summary.current) ? r.summary.current : 0;
}

int summary_support_row()
{
    const int index = summary_support();
    return index ? results().supports_by_kind[index] : 0;
}

void set_summary_support(int index)
{
    ResultsState& r = results();
    if (r.supports_by_kind.valid(index))
        r.summary.current = index;
}

void next_summary_support()
{
    ResultsState& r = results();
    const int n = r.supports_by_kind.size();
    if (n > 0)
        r.summary.current = r.summary.current >= n ? 1 : r.summary.current + 1;
}

void previous_summary_support()
{
    ResultsState& r = results();
    const int n = r.supports_by_kind.size();
    if (n > 0)
        r.summary.current = r.summary.current <= 1 ? n : r.summary.current - 1;
}

std::string summary_support_type_text(int row)
{
    const Model& m = model();
    if (row < 1 || row > m.numrows())
        return {};
    const LayoutRow& lr = m.rows[row];
    if (lr.dtype == DT_LIMIT_STOP)
        if (const auto* stop = dynamic_cast<const LimitStop*>(lr.data.get())) {
            const auto& d = stop->v.direction;
            const double length = std::sqrt(double{d[0]} * d[0] + double{d[1]} * d[1] + double{d[2]} * d[2]);
            const double scale = length > 0.0 ? 1.0 / length : 0.0;
            return c_format("Limit Stop  (%5.2f,%5.2f,%5.2f)", d[0] * scale, d[1] * scale, d[2] * scale);
        }
    return data_item_kind_name(lr.dtype, lr.data ? lr.data->subtype() : 0);
}
