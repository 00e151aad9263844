// Analysis tests of the support kinds: the analysis fixture with the real
// supports installed in place of the test kinds (the test force stays).
#pragma once

#include "analysis/data/analysis_fixture.h"
#include "supports/supports.h"

namespace analysis_test {

class SupportTest : public AnalysisTest {
protected:
    void SetUp() override
    {
        AnalysisTest::SetUp();
        install_supports();
    }

    template <typename T>
    static T& support(int r)
    {
        return dynamic_cast<T&>(*model().rows[r].data);
    }
    // Gives a row a support of the kind.
    static int with(int r, int dtype)
    {
        model().rows[r].dtype = dtype;
        model().rows[r].create_data_object(r);
        return r;
    }
    // A row with no element that puts a data item at an existing node.
    static int at_node(int node, int dtype) { return row(node, ET_NONE, 0, 0, 0, dtype); }
    // A test force in one load case at a node.
    static void force(int node, int code, int direction, double value)
    {
        const int r = at_node(node, DT_FORCE);
        item<TestForce>(r).code = code;
        item<TestForce>(r).load[static_cast<std::size_t>(direction)] = value;
    }
    // The support values of a row in a case.
    std::vector<double> loads_of(const CaseResults& c, int r) const
    {
        AnalysisRun run(*snapshot);
        const auto begin = c.support_loads.begin() + run.support_offset(r);
        return {begin, begin + run.support_words(r)};
    }
    static int anchor_at(int node) { return with(from(node), DT_ANCHOR); }
};

}  // namespace analysis_test
