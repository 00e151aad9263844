#include "codes/stress_tables.h"

#include "model/model.h"

#include <algorithm>

int governing_category(CaseStress kind)
{
    switch (kind) {
    case CaseStress::Sustained: return STRESS_SUSTAINED;
    case CaseStress::Expansion: return STRESS_EXPANSION;
    case CaseStress::Occasional: return STRESS_OCCASIONAL;
    case CaseStress::Operating: return STRESS_OPERATING;
    case CaseStress::Hydrotest: return STRESS_HYDROTEST;
    case CaseStress::Settlement: return STRESS_SETTLEMENT;
    default: return -1;
    }
}

namespace {

// True when `a` governs over `b`: a larger ratio, or, where neither is
// checked, a larger stress; a checked value governs over an unchecked one.
bool governs(const EndStress& a, const EndStress& b)
{
    if (!b.evaluated)
        return a.evaluated;
    if (!a.evaluated)
        return false;
    if (a.checked != b.checked)
        return a.checked;
    if (a.checked)
        return a.ratio() > b.ratio();
    return a.stress > b.stress;
}

void govern(GoverningStress& g, const EndStress& s, int32_t load_case)
{
    if (governs(s, g.value)) {
        g.value = s;
        g.load_case = load_case;
    }
}

StressRow row_of(const Model& model, int32_t element, int end, int32_t load_case, const EndStress& s)
{
    StressRow r;
    r.element = element;
    r.end = end;
    const Elem& e = model.elems[element];
    r.node = end == 0 ? e.node1 : e.node2;
    r.load_case = load_case;
    r.stress = s.stress;
    r.allowable = s.allowable;
    r.checked = s.checked;
    r.unchecked = s.unchecked;
    return r;
}

void sort_rows(std::vector<StressRow>& rows, StressOrder order)
{
    std::stable_sort(rows.begin(), rows.end(), [order](const StressRow& a, const StressRow& b) {
        if (order == StressOrder::Ratio && a.checked != b.checked)
            return a.checked;
        if (order == StressOrder::Ratio && a.checked)
            return a.percent() > b.percent();
        return a.stress > b.stress;
    });
}

}  // namespace

OneBased<GoverningRecord> governing_stresses(const CodeStressResults& results)
{
    const int count = results.evaluated.size();
    OneBased<GoverningRecord> out(count);
    for (const CaseStresses& c : results.cases) {
        const int category = governing_category(c.kind);
        if (category < 0)
            continue;
        for (int e = 1; e <= count && e <= c.ends.size(); ++e)
            for (std::size_t end = 0; end < 2; ++end) {
                govern(out[e][static_cast<std::size_t>(category)][end], c.ends[e][end], c.code);
                if (c.hoop.valid(e))
                    govern(out[e][STRESS_HOOP][end], c.hoop[e][end], c.code);
            }
    }
    return out;
}

std::vector<StressRow> sorted_stresses(const CodeStressResults& results, const Model& model, int32_t kind,
                                       StressOrder order)
{
    std::vector<StressRow> rows;
    const int count = results.evaluated.size();
    if (stress_rules(results.piping_code) == StressRules::NoCode) {
        if (results.principal_case == 0)
            return rows;
        for (int e = 1; e <= count && e <= results.principal.size(); ++e) {
            if (!results.evaluated[e])
                continue;
            for (int end = 0; end < 2; ++end) {
                const PrincipalStresses& p = results.principal[e][static_cast<std::size_t>(end)];
                EndStress s;
                s.evaluated = true;
                s.stress = static_cast<float>(kind == NO_CODE_MAXIMUM   ? p.maximum
                                              : kind == NO_CODE_MINIMUM ? p.minimum
                                                                        : p.von_mises);
                rows.push_back(row_of(model, e, end, results.principal_case, s));
            }
        }
        std::stable_sort(rows.begin(), rows.end(), [kind](const StressRow& a, const StressRow& b) {
            return kind == NO_CODE_MINIMUM ? a.stress < b.stress : a.stress > b.stress;
        });
        return rows;
    }
    const OneBased<GoverningRecord> governing = governing_stresses(results);
    std::vector<int> categories;
    switch (kind) {
    case RATIO_SUSTAINED: categories = {STRESS_SUSTAINED, STRESS_HYDROTEST}; break;
    case RATIO_EXPANSION: categories = {STRESS_EXPANSION}; break;
    case RATIO_HOOP: categories = {STRESS_HOOP}; break;
    default: categories = {STRESS_OCCASIONAL}; break;
    }
    for (int category : categories)
        for (int e = 1; e <= count; ++e) {
            if (!results.evaluated[e])
                continue;
            for (int end = 0; end < 2; ++end) {
                const GoverningStress& g =
                    governing[e][static_cast<std::size_t>(category)][static_cast<std::size_t>(end)];
                // The hydrotest joins the sustained list only where it is checked.
                if (g.load_case == 0 || (category == STRESS_HYDROTEST && !g.value.checked))
                    continue;
                rows.push_back(row_of(model, e, end, g.load_case, g.value));
            }
        }
    sort_rows(rows, order);
    return rows;
}

std::vector<StressRow> code_compliance_rows(const CodeStressResults& results, const Model& model)
{
    std::vector<StressRow> rows;
    const int count = results.evaluated.size();
    rows.reserve(2 * static_cast<std::size_t>(count) * results.cases.size());
    for (int e = 1; e <= count; ++e) {
        if (!results.evaluated[e])
            continue;
        for (int end = 0; end < 2; ++end)
            for (const CaseStresses& c : results.cases) {
                const std::size_t k = static_cast<std::size_t>(end);
                const EndStress& s = c.ends[e][k];
                if (s.evaluated)
                    rows.push_back(row_of(model, e, end, c.code, s));
                if (c.combined.valid(e) && c.combined[e][k].evaluated) {
                    rows.push_back(row_of(model, e, end, c.code, c.combined[e][k]));
                    rows.back().check = StressCheck::Combined;
                }
                if (c.creep.valid(e) && c.creep[e][k].evaluated) {
                    rows.push_back(row_of(model, e, end, c.code, c.creep[e][k]));
                    rows.back().check = StressCheck::Creep;
                }
                if (c.hoop.valid(e) && c.hoop[e][k].evaluated) {
                    rows.push_back(row_of(model, e, end, c.code, c.hoop[e][k]));
                    rows.back().check = StressCheck::Hoop;
                }
            }
    }
    return rows;
}

StressRange sorted_stress_range(const std::vector<StressRow>& rows)
{
    StressRange r;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i == 0 || rows[i].stress < r.smallest)
            r.smallest = rows[i].stress;
        if (i == 0 || rows[i].stress > r.largest)
            r.largest = rows[i].stress;
    }
    return r;
}

std::string compliance_check_label(const CodeStressResults& results, const StressRow& row)
{
    const CaseStress kind = case_stress(row.load_case);
    switch (stress_rules(results.piping_code)) {
    case StressRules::En13480:
        if (row.check == StressCheck::Combined)
            return "σ4";
        if (row.check == StressCheck::Creep)
            return "σ5";
        switch (kind) {
        case CaseStress::Sustained:
        case CaseStress::Hydrotest: return "σ1";
        case CaseStress::Occasional: return "σ2";
        case CaseStress::Expansion: return "σ3";
        case CaseStress::Settlement: return "σ6";
        default: break;
        }
        break;
    case StressRules::Class2:
        if (row.check == StressCheck::Combined)
            return "Eq. (11)";
        switch (kind) {
        case CaseStress::Sustained: return "Eq. (8)";
        case CaseStress::Occasional: return "Eq. (9)";
        case CaseStress::Expansion: return "Eq. (10)";
        case CaseStress::Settlement: return "Eq. (10a)";
        default: break;
        }
        break;
    case StressRules::Pipeline:
        if (row.check == StressCheck::Hoop)
            return "Hoop";
        if (kind == CaseStress::Expansion && results.buried.valid(row.element) && results.buried[row.element])
            return "Restrained";
        break;
    default: break;
    }
    return stress_label(row.load_case, results.piping_code);
}
