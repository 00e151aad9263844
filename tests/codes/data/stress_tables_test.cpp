// The sorted-stress and code-compliance rows made from an evaluation's
// results: the governing case of each category by ratio (or by stress where
// no allowable applies), the order of the sorted list by ratio or by stress,
// the hydrotest in the sustained list only where it is checked, the no-code
// list of Static analysis, the compliance rows' order and the colour range.
#include "codes/stress_tables.h"
#include "model/model.h"
#include "model/piping_codes.h"

#include <gtest/gtest.h>

namespace {

// Two pipes 1-2 and 2-3.
Model two_pipes()
{
    Model m;
    for (int n = 1; n <= 3; ++n) {
        NodeRecord r;
        r.number = 10 * n;
        m.nodes.push_back(r);
    }
    for (int e = 1; e <= 2; ++e) {
        Elem el;
        el.kind = ET_PIPE;
        el.node1 = e;
        el.node2 = e + 1;
        m.elems.push_back(el);
    }
    return m;
}

EndStress checked(float stress, float allowable)
{
    EndStress s;
    s.stress = stress;
    s.allowable = allowable;
    s.evaluated = s.checked = true;
    return s;
}

EndStress unchecked(float stress)
{
    EndStress s;
    s.stress = stress;
    s.evaluated = true;
    return s;
}

CaseStresses case_of(int32_t code, CaseStress kind, const std::array<EndStresses, 2>& ends)
{
    CaseStresses c;
    c.code = code;
    c.kind = kind;
    c.ends = OneBased<EndStresses>(2);
    c.ends[1] = ends[0];
    c.ends[2] = ends[1];
    return c;
}

CodeStressResults b313_results()
{
    CodeStressResults r;
    r.piping_code = CODE_B313;
    r.stresses_available = true;
    r.evaluated = OneBased<uint8_t>(2);
    r.evaluated[1] = r.evaluated[2] = 1;
    r.cases.push_back(case_of(LC_SUSTAINED, CaseStress::Sustained,
                              {{{checked(5000, 20000), checked(9000, 20000)}, {checked(8000, 20000), checked(1000, 20000)}}}));
    // Two expansion cases: case 2 has the larger stress at element 1's first
    // end, case 3 the larger ratio (a lower allowable).
    r.cases.push_back(case_of(2, CaseStress::Expansion,
                              {{{checked(20000, 40000), checked(10000, 40000)}, {checked(1000, 40000), checked(2000, 40000)}}}));
    r.cases.push_back(case_of(3, CaseStress::Expansion,
                              {{{checked(18000, 30000), checked(9000, 40000)}, {checked(3000, 40000), checked(1500, 40000)}}}));
    r.cases.push_back(case_of(LC_OPERATING_1, CaseStress::Operating,
                              {{{unchecked(7000), unchecked(7500)}, {unchecked(6000), unchecked(100)}}}));
    r.cases.push_back(case_of(LC_HYDROTEST, CaseStress::Hydrotest,
                              {{{checked(30000, 35000), unchecked(4000)}, {unchecked(3000), unchecked(2000)}}}));
    return r;
}

}  // namespace

TEST(SortedStresses, GoverningCaseOfACategoryIsTheLargestRatio)
{
    const CodeStressResults r = b313_results();
    const OneBased<GoverningRecord> g = governing_stresses(r);
    // Element 1, first end: 20000/40000 = 50 % against 18000/30000 = 60 %.
    EXPECT_EQ(g[1][STRESS_EXPANSION][0].load_case, 3);
    EXPECT_EQ(g[1][STRESS_EXPANSION][0].value.stress, 18000.0f);
    EXPECT_EQ(g[1][STRESS_EXPANSION][1].load_case, 2);
    EXPECT_EQ(g[2][STRESS_EXPANSION][0].load_case, 3);
    // Without allowables the largest stress governs.
    EXPECT_EQ(g[1][STRESS_OPERATING][1].value.stress, 7500.0f);
    EXPECT_FALSE(g[1][STRESS_OPERATING][1].value.checked);
    EXPECT_EQ(g[1][STRESS_OCCASIONAL][0].load_case, 0);
}

TEST(SortedStresses, ByRatioOrByStressLargestFirst)
{
    const CodeStressResults r = b313_results();
    const Model m = two_pipes();
    const std::vector<StressRow> by_ratio = sorted_stresses(r, m, RATIO_EXPANSION, StressOrder::Ratio);
    ASSERT_EQ(by_ratio.size(), 4u);
    // 60 % (element 1 end 1), 25 % (element 1 end 2), 7.5 %, 5 %.
    EXPECT_EQ(by_ratio[0].element, 1);
    EXPECT_EQ(by_ratio[0].end, 0);
    EXPECT_DOUBLE_EQ(by_ratio[0].percent(), 60.0);
    EXPECT_EQ(by_ratio[0].node, 1);
    EXPECT_DOUBLE_EQ(by_ratio[1].percent(), 25.0);
    EXPECT_DOUBLE_EQ(by_ratio[2].percent(), 7.5);
    EXPECT_DOUBLE_EQ(by_ratio[3].percent(), 5.0);
    EXPECT_EQ(by_ratio[3].node, 3);
    const std::vector<StressRow> by_stress = sorted_stresses(r, m, RATIO_EXPANSION, StressOrder::Stress);
    for (std::size_t i = 1; i < by_stress.size(); ++i)
        EXPECT_GE(by_stress[i - 1].stress, by_stress[i].stress);
    const StressRange range = sorted_stress_range(by_ratio);
    EXPECT_EQ(range.smallest, 2000.0);
    EXPECT_EQ(range.largest, 18000.0);
    EXPECT_EQ(sorted_stress_range({}).largest, 0.0);
}

TEST(SortedStresses, SustainedListTakesACheckedHydrotestInRowsOfItsOwn)
{
    const CodeStressResults r = b313_results();
    const std::vector<StressRow> rows = sorted_stresses(r, two_pipes(), RATIO_SUSTAINED, StressOrder::Ratio);
    // Four sustained ends and the one hydrotest end that is checked.
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].load_case, LC_HYDROTEST);   // 30000/35000 = 86 %
    EXPECT_DOUBLE_EQ(rows[1].percent(), 45.0);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].load_case, LC_SUSTAINED);
}

TEST(SortedStresses, NoCodeListsStaticAnalysisPrincipalStresses)
{
    CodeStressResults r;
    r.piping_code = CODE_NONE;
    r.evaluated = OneBased<uint8_t>(2);
    r.evaluated[1] = r.evaluated[2] = 1;
    // No Static analysis: nothing to sort.
    EXPECT_TRUE(sorted_stresses(r, two_pipes(), 0, StressOrder::Ratio).empty());
    r.principal_case = LC_STATIC_ANALYSIS;
    r.principal = OneBased<std::array<PrincipalStresses, 2>>(2);
    r.principal[1] = {{{100, 120, -50}, {300, 320, -10}}};
    r.principal[2] = {{{200, 250, -90}, {50, 60, 5}}};
    const std::vector<StressRow> vm = sorted_stresses(r, two_pipes(), 0, StressOrder::Ratio);
    ASSERT_EQ(vm.size(), 4u);
    EXPECT_EQ(vm[0].stress, 300.0);
    EXPECT_EQ(vm[3].stress, 50.0);
    EXPECT_FALSE(vm[0].checked);
    EXPECT_EQ(vm[0].load_case, LC_STATIC_ANALYSIS);
    const std::vector<StressRow> minimum = sorted_stresses(r, two_pipes(), 2, StressOrder::Ratio);
    EXPECT_EQ(minimum.front().stress, -90.0);   // most negative first
    EXPECT_EQ(minimum.back().stress, 5.0);
    EXPECT_EQ(sorted_stresses(r, two_pipes(), 1, StressOrder::Ratio).front().stress, 320.0);
}

TEST(CodeCompliance, RowsOfEveryEndAndEveryCaseInElementOrder)
{
    const CodeStressResults r = b313_results();
    const std::vector<StressRow> rows = code_compliance_rows(r, two_pipes());
    // 2 elements x 2 ends x 5 cases.
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[0].element, 1);
    EXPECT_EQ(rows[0].end, 0);
    EXPECT_EQ(rows[0].load_case, LC_SUSTAINED);
    EXPECT_EQ(rows[4].load_case, LC_HYDROTEST);
    EXPECT_EQ(rows[5].end, 1);
    EXPECT_EQ(rows[10].element, 2);
    // An operating row has no allowable; a hydrotest without one neither.
    EXPECT_FALSE(rows[3].checked);
    EXPECT_EQ(rows[3].percent(), 0.0);
    EXPECT_FALSE(rows[9].checked);
    // Elements that were not evaluated give no rows.
    CodeStressResults partial = r;
    partial.evaluated[2] = 0;
    EXPECT_EQ(code_compliance_rows(partial, two_pipes()).size(), 10u);
}
