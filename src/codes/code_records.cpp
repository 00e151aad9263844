#include "codes/code_records.h"

#include "framework/state.h"

void CodeRecords::allocate(const OneBased<ElementNodes>& elements, int nodes, const OneBased<int32_t>& pipe_elements,
                           const OneBased<int32_t>& frp_elements)
{
    clear();
    const int count = elements.size();
    pipes = OneBased<PipeResultRecord>(pipe_elements.size());
    for (int i = 1; i <= pipe_elements.size(); ++i) {
        KV_ASSERT(elements.valid(pipe_elements[i]));
        pipes[i].element = pipe_elements[i];
    }
    node_sifs = OneBased<NodeSifRecord>(nodes);
    element_sifs = OneBased<ElementSifRecord>(count);
    flexibility = OneBased<FlexibilityFactors>(count);
    evaluation = OneBased<StressEvaluationRecord>(count);
    if (frp_elements.empty())
        return;
    const int frp_count = frp_elements.size();
    frp.elements = frp_elements;
    frp.nodes = OneBased<std::array<int32_t, 2>>(frp_count);
    for (int i = 1; i <= frp_count; ++i) {
        const int e = frp_elements[i];
        KV_ASSERT(elements.valid(e));
        frp.nodes[i] = {elements[e].node1, elements[e].node2};
    }
    for (OneBased<EndValues>& values : frp.values)
        values = OneBased<EndValues>(frp_count);
}

void CodeRecords::clear()
{
    *this = CodeRecords{};
}

namespace {

struct CodeEvaluationRegistry {
    CodeEvaluationDriver driver;
};

}  // namespace

void register_code_evaluation(CodeEvaluationDriver driver)
{
    session_part<CodeEvaluationRegistry>().driver = std::move(driver);
}

const CodeEvaluationDriver& code_evaluation_driver()
{
    return session_part<CodeEvaluationRegistry>().driver;
}
