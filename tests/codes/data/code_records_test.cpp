// The code-evaluation records as the results allocate them: nothing
// evaluated, every SIF and flexibility factor 1.0 (the first node-SIF slot
// too), node SIFs indexed by node even when there are more elements than
// nodes, FRP arrays only with FRP elements, and the driver registry.
#include "codes/code_records.h"

#include <gtest/gtest.h>

namespace {

// E elements in a chain 1-2, 2-3, ...; node count given.
OneBased<ElementNodes> chain(int elements)
{
    OneBased<ElementNodes> out(elements);
    for (int e = 1; e <= elements; ++e)
        out[e] = {e, e + 1};
    return out;
}

OneBased<int32_t> indices(std::initializer_list<int32_t> list)
{
    OneBased<int32_t> out;
    for (int32_t v : list)
        out.push_back(v);
    return out;
}

}  // namespace

TEST(ResultsCodeRecords, PipeRecordsCarryTheirElementAndNothingEvaluated)
{
    CodeRecords r;
    r.allocate(chain(4), 5, indices({1, 3, 4}), {});
    ASSERT_EQ(r.pipes.size(), 3);
    EXPECT_EQ(r.pipes[1].element, 1);
    EXPECT_EQ(r.pipes[2].element, 3);
    EXPECT_EQ(r.pipes[3].element, 4);
    for (const PipeResultRecord& p : r.pipes)
        for (const EndValues* v : {&p.sustained, &p.class2_sustained, &p.settlement, &p.hydrotest,
                                   &p.buried_sustained, &p.von_mises, &p.maximum, &p.minimum})
            for (const CodeValue& end : *v)
                EXPECT_FALSE(end.evaluated);
    // The stress evaluation is zeroed: no category evaluated, no case.
    ASSERT_EQ(r.evaluation.size(), 4);
    for (const StressEvaluationRecord& e : r.evaluation)
        for (const CategoryEvaluation& c : e.category) {
            EXPECT_FALSE(c.stress[0].evaluated || c.stress[1].evaluated);
            EXPECT_FALSE(c.allowable[0].evaluated || c.allowable[1].evaluated);
            EXPECT_EQ(c.load_case[0] + c.load_case[1], 0);
        }
}

TEST(ResultsCodeRecords, NodeSifsAreOneInEverySlotAndIndexedByNode)
{
    // Nine elements on three nodes: an array indexed by element would be
    // three times too long, one indexed by node has exactly 3 records.
    OneBased<ElementNodes> elements(9);
    for (int e = 1; e <= 9; ++e)
        elements[e] = {1 + e % 3, 1 + (e + 1) % 3};
    CodeRecords r;
    r.allocate(elements, 3, {}, {});
    EXPECT_EQ(r.node_sifs.size(), 3);
    for (int n = 0; n <= 3; ++n)   // slot 0 too, and the first float of each
        for (float v : r.node_sifs.data()[n].value)
            EXPECT_EQ(v, 1.0f);
    EXPECT_EQ(r.element_sifs.size(), 9);
    EXPECT_EQ(r.flexibility.size(), 9);
    for (const ElementSifRecord& s : r.element_sifs)
        for (int end = 0; end < 2; ++end) {
            EXPECT_EQ(s.end[end], EndSifs{});
            EXPECT_EQ(s.end[end].in_plane, 1.0f);
            EXPECT_EQ(s.end[end].torsion, 1.0f);
            EXPECT_EQ(s.igem_scf[end].ip, 1.0f);
        }
    for (const FlexibilityFactors& f : r.flexibility)
        EXPECT_EQ(f.value, (std::array<float, 3>{1.0f, 1.0f, 1.0f}));
}

TEST(ResultsCodeRecords, FrpArraysOnlyWithFrpElements)
{
    CodeRecords r;
    r.allocate(chain(3), 4, indices({1, 2, 3}), {});
    EXPECT_EQ(r.frp.count(), 0);
    EXPECT_EQ(r.frp.nodes.size(), 0);
    for (const auto& values : r.frp.values)
        EXPECT_EQ(values.size(), 0);

    r.allocate(chain(3), 4, indices({1}), indices({2, 3}));
    EXPECT_EQ(r.pipes.size(), 1);
    ASSERT_EQ(r.frp.count(), 2);
    EXPECT_EQ(r.frp.nodes[1], (std::array<int32_t, 2>{2, 3}));
    EXPECT_EQ(r.frp.nodes[2], (std::array<int32_t, 2>{3, 4}));
    for (const auto& values : r.frp.values) {
        ASSERT_EQ(values.size(), 2);
        EXPECT_FALSE(values[2][1].evaluated);
    }
    r.clear();
    EXPECT_EQ(r.frp.count(), 0);
    EXPECT_EQ(r.pipes.size(), 0);
}

TEST(ResultsCodeRecords, TheDriverIsEmptyUntilRegistered)
{
    EXPECT_FALSE(code_evaluation_driver());
    int runs = 0;
    register_code_evaluation([&](const CodeEvaluationInput& input, CodeRecords& records) {
        ++runs;
        records.pipes[1].sustained[0].set(static_cast<float>(input.piping_code));
    });
    CodeRecords r;
    r.allocate(chain(1), 2, indices({1}), {});
    CodeEvaluationInput input;
    input.piping_code = 7;
    code_evaluation_driver()(input, r);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(r.pipes[1].sustained[0].evaluated);
    EXPECT_EQ(r.pipes[1].sustained[0].value, 7.0f);
    EXPECT_FALSE(r.pipes[1].sustained[1].evaluated);
}
