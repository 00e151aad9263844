// The support load summary: its columns for the load cases present (the
// edge cases of its rules), and every support's values equal to the sums
// and differences of its per-case loads and its node's translations, read
// here from the file's known values.
#include "results/data/results_fixture.h"

using namespace results_test;

namespace {

class SupportSummaryTest : public ResultsTest {
protected:
    void SetUp() override
    {
        ResultsTest::SetUp();
        rows = every_support_model();
    }
    void results_for(const std::vector<int>& codes)
    {
        load_case_list().clear();
        for (int c : codes)
            load_case_list().add(c);
        make_model();
        write_dynamic_results(results_path, three_modes(model().numnodes()));
        ASSERT_EQ(thrown_text([&] { load_results(results_path, folder + "/model.rth"); }), "<nothing thrown>");
    }
    std::vector<std::string> columns() const
    {
        const OneBased<std::string>& c = support_summary_columns();
        return {c.begin(), c.end()};
    }
    // What a support's summary column holds for one case: its loads as the
    // file holds them, then its node's DX, DY, DZ.
    std::vector<float> case_column(int row, int code) const
    {
        const LayoutRow& r = model().rows[row];
        std::vector<float> out;
        for (int w = 0; w < words_of(r.dtype); ++w)
            out.push_back(static_cast<float>(support_value(code, r.results_offset / 4 + w)));
        for (int d = 0; d < 3; ++d)
            out.push_back(static_cast<float>(displacement_value(code, r.node_index, d)));
        return out;
    }

    Rows rows{};
};

}  // namespace

TEST_F(SupportSummaryTest, ColumnsOfTheCasesPresent)
{
    struct Case {
        std::vector<int> codes;
        std::vector<std::string> columns;
    };
    const std::vector<Case> cases = {
        {{1}, {"Sustained", "Maximum", "Minimum", "Allowables"}},
        {{1, 8, 12},
         {"Sustained", "Operating1", "Sustained+Seismic", "Sustained-Seismic", "Operating1+Seismic",
          "Operating1-Seismic", "Maximum", "Minimum", "Allowables"}},
        {{1, 8, 15}, {"Sustained", "Cold spring1", "Maximum", "Minimum", "Allowables"}},
        {{8, 126}, {"Operating1", "Cold spring Design", "Maximum", "Minimum", "Allowables"}},
        {{124, 1, 14, 125, 19, 13, 107, 35, 36, 31, 37},
         {"Empty Weight", "Cold spring0", "Design", "Hydrotest", "Cold spring0+Wind", "Cold spring0+Wind 2",
          "Cold spring0+Response", "Cold spring0-Response", "Cold spring0+Force spectrum",
          "Cold spring0-Force spectrum", "Cold spring0+Time history", "Cold spring0+Harmonic",
          "Cold spring0-Harmonic", "Maximum", "Minimum", "Allowables"}},
        {{106, 9}, {"Operating2", "Operating10", "Maximum", "Minimum", "Allowables"}},
    };
    for (const Case& c : cases) {
        results_for(c.codes);
        EXPECT_TRUE(support_summary_built());
        EXPECT_EQ(columns(), c.columns);
        close_results();
    }
    // Settlement: for the class 2 group only, after the bases.
    piping_code() = CODE_ASME_CLASS2_2015;
    results_for({1, 8, 11});
    EXPECT_EQ(columns(), (std::vector<std::string>{"Sustained", "Operating1", "Sustained+Settlement",
                                                   "Operating1+Settlement", "Maximum", "Minimum", "Allowables"}));
    close_results();
    // No sustained and no operating case: no summary.
    results_for({2, 12});
    EXPECT_FALSE(support_summary_built());
}

TEST_F(SupportSummaryTest, ValuesAreSumsOfTheCasesLoads)
{
    // An allowable record at the anchor's node (six values).
    const int anchor_node = model().rows[rows.anchor].node;
    support_results_context().allowable = [anchor_node](int node, std::array<float, 6>& values) {
        if (node != anchor_node)
            return false;
        values = {100, 200, 300, 400, 500, 600};
        return true;
    };
    results_for({1, 8, 12});
    const int before = results_loadcase();
    EXPECT_EQ(before, 1);
    for (int32_t row : results().supports_by_row) {
        const auto& summary = dynamic_cast<const SupportItem&>(*model().rows[row].data).summary;
        ASSERT_EQ(summary.size(), 10u) << row;   // slot 0 and 9 columns
        const std::vector<float> sus = case_column(row, 1), op = case_column(row, 8), seis = case_column(row, 12);
        std::vector<std::vector<float>> expected = {sus, op, sus, sus, op, op};
        // A limit stop's friction (its second value) is a magnitude, in a
        // combination too: at least 0.
        const bool friction_of_stop = model().rows[row].dtype == DT_LIMIT_STOP;
        for (std::size_t i = 0; i < sus.size(); ++i) {
            expected[2][i] = sus[i] + seis[i];
            expected[3][i] = sus[i] - seis[i];
            expected[4][i] = op[i] + seis[i];
            expected[5][i] = op[i] - seis[i];
            if (friction_of_stop && i == 1)
                for (std::size_t c = 2; c < 6; ++c)
                    expected[c][i] = std::max(expected[c][i], 0.0f);
        }
        for (std::size_t c = 0; c < 6; ++c)
            EXPECT_EQ(summary[c + 1], expected[c]) << "row " << row << " column " << c + 1;
        for (std::size_t i = 0; i < sus.size(); ++i) {
            float hi = -1e30f, lo = 1e30f;
            for (const auto& column : expected) {
                hi = std::max(hi, column[i]);
                lo = std::min(lo, column[i]);
            }
            EXPECT_EQ(summary[7][i], hi);
            EXPECT_EQ(summary[8][i], lo);
        }
    }
    const auto& anchor = support<Anchor>(rows.anchor).summary;
    EXPECT_EQ(anchor[9], (std::vector<float>{100, 200, 300, 400, 500, 600, 0, 0, 0}));
    EXPECT_EQ(support<Hanger>(rows.hanger).summary[9], (std::vector<float>(4, 0.0f)));
    // The current case is the one before the build.
    EXPECT_EQ(results_loadcase(), before);
}

TEST_F(SupportSummaryTest, StepsThroughTheSupportsInKindOrder)
{
    results_for({1});
    EXPECT_EQ(summary_support(), 1);
    EXPECT_EQ(summary_support_row(), rows.anchor);
    previous_summary_support();
    EXPECT_EQ(summary_support(), 9);
    EXPECT_EQ(summary_support_row(), rows.generic);
    next_summary_support();
    EXPECT_EQ(summary_support(), 1);
    next_summary_support();
    EXPECT_EQ(summary_support_row(), rows.guide);
    set_summary_support(5);
    EXPECT_EQ(summary_support_row(), rows.nozzle);
    set_summary_support(10);   // out of range: unchanged
    EXPECT_EQ(summary_support(), 5);
    EXPECT_EQ(summary_support_type_text(rows.stop), "Limit Stop  ( 0.00, 1.00, 0.00)");
    EXPECT_EQ(summary_support_type_text(rows.anchor), "Anchor");
    close_results();
    // Leaving frees every support's records.
    EXPECT_TRUE(support<Anchor>(rows.anchor).summary.empty());
    EXPECT_FALSE(support_summary_built());
}
