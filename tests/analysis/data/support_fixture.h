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
};

}  // namespace analysis_test
