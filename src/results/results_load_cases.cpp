#include "results/results_load_cases.h"

#include "model/load_cases.h"
#include "model/piping_codes.h"

namespace {

std::vector<int> make_display_order()
{
    std::vector<int> order = {LC_STATIC_ANALYSIS, LC_EMPTY_WEIGHT, LC_SUSTAINED};
    auto range = [&](int first, int last) {
        for (int c = first; c <= last; ++c)
            order.push_back(c);
    };
    range(41, 50);              // Sustained (W+P1) .. (W+P10)
    range(2, 4);                // Expansion (T1) .. (T3)
    range(51, 57);              // Expansion (T4) .. (T10)
    order.push_back(5);         // Expansion (T1-T2)
    order.push_back(6);         // Expansion (T1-T3)
    range(58, 64);              // (T1-T4) .. (T1-T10)
    order.push_back(7);         // Expansion (T2-T3)
    range(65, 99);              // the other ranges
    range(8, 10);               // Operating 1..3
    range(100, 106);            // Operating 4..10
    order.push_back(LC_DESIGN);
    range(14, 17);              // Cold spring (W+P), (W+P1+T1) .. (W+P3+T3)
    range(110, 116);            // Cold spring 4..10
    order.push_back(LC_COLD_SPRING_DESIGN);
    order.push_back(LC_SETTLEMENT);
    order.push_back(LC_HYDROTEST);
    order.push_back(LC_SEISMIC_G);
    order.push_back(LC_WIND);
    range(107, 109);            // Wind 2..4
    order.push_back(LC_RESPONSE_SPECTRUM);
    order.push_back(LC_FORCE_SPECTRUM);
    order.push_back(LC_TIME_HISTORY);
    order.push_back(LC_HARMONIC);
    return order;
}

}  // namespace

const std::vector<int>& results_display_order()
{
    static const std::vector<int> order = make_display_order();
    return order;
}

bool results_code_displayable(int code, int32_t piping_code)
{
    if (code == LC_SETTLEMENT)
        return code_is_class2_group(piping_code);
    for (int c : results_display_order())
        if (c == code)
            return true;
    return false;
}

OneBased<ResultsLoadCase> order_results_load_cases(const OneBased<ResultsLoadCase>& file_order)
{
    OneBased<ResultsLoadCase> ordered;
    for (int code : results_display_order())
        for (const ResultsLoadCase& c : file_order)
            if (c.code == code) {
                ordered.push_back(c);
                break;
            }
    return ordered;
}

int results_loadcase()
{
    const ResultsState& r = results();
    return r.load_cases.valid(r.current) ? r.current : 0;
}

int results_loadcase_code()
{
    const int index = results_loadcase();
    return index ? results().load_cases[index].code : 0;
}

std::string results_loadcase_name()
{
    return load_case_names(results_loadcase_code());
}

int results_load_case_index(int code)
{
    const ResultsState& r = results();
    for (int i = 1; i <= r.load_case_count(); ++i)
        if (r.load_cases[i].code == code)
            return i;
    return 0;
}

bool set_results_load_case(int code)
{
    return set_results_load_case_index(results_load_case_index(code));
}

bool set_results_load_case_index(int index)
{
    ResultsState& r = results();
    if (!r.load_cases.valid(index))
        return false;
    r.current = index;
    return true;
}

void next_load_case()
{
    ResultsState& r = results();
    if (r.load_case_count() > 0)
        r.current = r.current >= r.load_case_count() ? 1 : r.current + 1;
}

void previous_load_case()
{
    ResultsState& r = results();
    if (r.load_case_count() > 0)
        r.current = r.current <= 1 ? r.load_case_count() : r.current - 1;
}

bool load_case_is_dynamic(int code)
{
    return code == LC_SEISMIC_G || code == LC_RESPONSE_SPECTRUM || code == LC_HARMONIC || code == LC_FORCE_SPECTRUM;
}

bool results_loadcase_is_dynamic()
{
    return load_case_is_dynamic(results_loadcase_code());
}

std::string results_title_text(const std::string& text)
{
    const std::string name = results_loadcase_name();
    return name.empty() ? text : text + ": " + name;
}
