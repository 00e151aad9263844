// Support loads in the results file: each support row gets the word count
// of its kind in every load-case block, in row order, as float32 in global
// axes with the sign of the force on the pipe; the supports read their own
// words back, the guide turns them into its axes, the hangers read their
// design records after the last block, and the summary operations combine
// the cases.
#include "analysis/data/support_fixture.h"
#include "analysis/results_file.h"
#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "supports/anchor.h"
#include "supports/generic_support.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

using namespace analysis_test;

namespace {

class SupportResultsTest : public SupportTest {
protected:

    // A line along X on one support of every kind, one per node.
    void every_kind()
    {
        rows.push_back(with(from(10), DT_ANCHOR));
        auto next = [&](int node, int dtype) {
            rows.push_back(pipe(node, 60, 0, 0, dtype));
            return rows.back();
        };
        support<Restraint>(next(20, DT_RESTRAINT)).v.restrained = {0, 1, 1};
        next(25, DT_NONE);
        support<SkewedRestraint>(next(30, DT_SKEWED_RESTRAINT)).v = {"SK", false, 0.0f, {0, 0, 1}, 0};
        HangerValues& h = support<Hanger>(next(40, DT_HANGER)).v;
        h.type = HANGER_USER;
        h.spring_rate = 300.0f;
        h.load = 50.0f;
        h.design = {"FIG", "S7", 310.0f, 0.5f, 0.25f, 260.0f, 200.0f};
        support<Guide>(next(50, DT_GUIDE)).v.mu = 0.2f;
        support<LimitStop>(next(60, DT_LIMIT_STOP)).v = {"LS", 0.0f, NO_LIMIT, {0, 1, 0}, 0.0f, 0.0f, 0};
        support<Snubber>(next(70, DT_SNUBBER)).v.direction = {0, 1, 0};
        support<GenericSupport>(next(80, DT_GENERIC_SUPPORT)).v.stiffness = {0, 500.0f, 0, 0, 0, 0};
        NozzleValues& n = support<Nozzle>(next(90, DT_NOZZLE)).v;
        n = {"N", NOZZLE_WRC_297, false, 6.625f, 0.28f, 96.0f, 0.5f, 100.0f, 100.0f, 2.9e7f, {0, 1, 0}, {}};
        load.temperature[1] = 250;
        choose({LC_SUSTAINED, LC_OPERATING_1});
    }

    std::vector<int> rows;
};

}  // namespace

TEST_F(SupportResultsTest, WordCountsSignsAndReadBack)
{
    every_kind();
    make_model();
    snapshot = make_analysis_model();
    const RunOutcome outcome = run_analysis(*snapshot, {});
    ASSERT_TRUE(outcome.completed) << outcome.message;
    AnalysisRun run(*snapshot);
    const std::map<int, CaseResults> cases = solve_load_cases(run, {});

    // Word counts by kind: anchor 6, restraint 3, skewed restraint 1, hanger
    // 1, guide 3, limit stop 2, snubber 1, generic support 6, nozzle 6, and 0
    // for a row without a support.
    const int words[] = {6, 3, 0, 1, 1, 3, 2, 1, 6, 6};
    ASSERT_EQ(rows.size(), std::size(words));
    int total = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(support_word_count(model().rows[rows[i]].dtype), words[i]) << i;
        total += words[i];
    }
    EXPECT_EQ(support_value_count(model()), total);

    const std::string path = snapshot->output.results_path;
    BinFile f;
    ASSERT_TRUE(f.open_read(path));
    const int64_t nodes = numnodes(), elements = numelems();
    ResultsRunRecord record;
    EXPECT_TRUE(results_file_ends_well(
        f, RESULTS_FILE_VERSION, results_file_size(model(), snapshot->load_cases, static_cast<int32_t>(elements), 0), record));

    // Sustained is the first block: its support block follows the
    // displacements and the element forces.
    const int64_t block = RESULTS_HEADER_SIZE + 4 + RESULTS_ELEMENT_RECORD_SIZE * elements + 4;
    const int64_t supports = block + 24 * nodes + 48 * elements;
    const CaseResults& sustained = cases.at(LC_SUSTAINED);
    int64_t offset = supports;
    int value = 0;
    for (int r : rows) {
        ASSERT_TRUE(f.seek(offset));
        const int n = support_word_count(model().rows[r].dtype);
        if (auto* s = dynamic_cast<SupportItem*>(model().rows[r].data.get())) {
            s->read_support_loads(f);
            ASSERT_EQ(static_cast<int>(s->current_loads.size()), n);
            for (int k = 0; k < n; ++k)
                EXPECT_EQ(s->current_loads[static_cast<std::size_t>(k)],
                          static_cast<float>(sustained.support_loads[static_cast<std::size_t>(value + k)]))
                    << "row " << r << " word " << k;
        }
        offset += 4 * n;
        value += n;
    }
    EXPECT_FALSE(f.error());

    // Signs: the words are the forces on the pipe in global axes. Under
    // weight the supports below the pipe push it up (+Y), the hanger's word
    // is its upward load; together they carry the line's weight, and their
    // moments about the first node balance the weight's.
    const auto& anchor = support<Anchor>(rows[0]).current_loads;
    const float restraint = support<Restraint>(rows[1]).current_loads[1];
    const float hanger = support<Hanger>(rows[4]).current_loads[0];
    const float guide = support<Guide>(rows[5]).current_loads[1];
    const float stop = support<LimitStop>(rows[6]).current_loads[0];
    const float generic = support<GenericSupport>(rows[8]).current_loads[1];
    const float nozzle = support<Nozzle>(rows[9]).current_loads[1];
    EXPECT_GT(restraint, 0.0f);
    EXPECT_EQ(support<Restraint>(rows[1]).current_loads[0], 0.0f);   // X is free
    EXPECT_GT(hanger, 0.0f);
    EXPECT_NEAR(guide, 0.0, 1e-3);                                     // no side load, no friction
    EXPECT_GT(stop, 0.0f);
    EXPECT_EQ(support<Snubber>(rows[7]).current_loads[0], 0.0f);     // not in Sustained
    EXPECT_GT(generic, 0.0f);
    EXPECT_GT(nozzle, 0.0f);
    const double w = steel.weight, length = 9 * 60;
    expect_relative(anchor[1] + restraint + hanger + guide + stop + generic + nozzle, w * length, "forces", 1e-5);
    // Moments about node 10 (Z): each upward force F at x gives F x; the
    // weight -w L L/2; the nozzle's and anchor's own MZ count as they are.
    const double moments = anchor[5] + support<Nozzle>(rows[9]).current_loads[5] + restraint * 60 + hanger * 240 +
                           guide * 300 + stop * 360 + generic * 480 + nozzle * 540;
    expect_relative(moments, w * length * length / 2, "moments", 1e-5);

    // The hanger design records follow the last block, one per hanger row;
    // the run record follows them.
    ASSERT_TRUE(f.seek(results_file_size(model(), snapshot->load_cases, static_cast<int32_t>(elements), 0) -
                       HANGER_DESIGN_RECORD_BYTES));
    Hanger& h = support<Hanger>(rows[4]);
    h.read_design_record(f);
    EXPECT_EQ(h.results_design, h.v.design);
}

TEST_F(SupportResultsTest, GuideTurnsItsLoadsIntoItsAxes)
{
    // A guide on a pipe along (1, 0, 1)/sqrt 2: its axes are x along the
    // pipe, y vertical, z = x cross y = (-1, 0, 1)/sqrt 2. Global loads
    // (3, 4, 5) become (8/sqrt 2, 4, 2/sqrt 2); in a dynamic case their
    // magnitudes.
    from(10);
    const int g = pipe(20, 50, 0, 50, DT_GUIDE);
    make_model();
    Guide& guide = support<Guide>(g);
    guide.compute_local_axes(model().rows[g].node_index);
    const double s = std::sqrt(0.5);
    EXPECT_NEAR(guide.axes.x.x, s, 1e-12);
    EXPECT_NEAR(guide.axes.y.y, 1.0, 1e-12);
    EXPECT_NEAR(guide.axes.z.x, -s, 1e-12);
    EXPECT_NEAR(guide.axes.z.z, s, 1e-12);
    guide.current_loads = {3.0f, 4.0f, 5.0f};
    guide.turn_loads_to_local(false);
    EXPECT_NEAR(guide.current_loads[0], 8 * s, 1e-5);
    EXPECT_NEAR(guide.current_loads[1], 4.0, 1e-5);
    EXPECT_NEAR(guide.current_loads[2], 2 * s, 1e-5);
    guide.current_loads = {3.0f, -4.0f, -5.0f};
    guide.turn_loads_to_local(true);
    EXPECT_NEAR(guide.current_loads[0], 2 * s, 1e-5);   // |3 - 5| / sqrt 2
    EXPECT_NEAR(guide.current_loads[1], 4.0, 1e-5);
    EXPECT_NEAR(guide.current_loads[2], 8 * s, 1e-5);
}

TEST_F(SupportResultsTest, SummaryColumnsCombineTheCases)
{
    // Columns: 1 Sustained, 2 Operating1, 3 Sustained+Seismic,
    // 4 Sustained-Seismic, 5 Maximum, 6 Minimum, 7 Allowables. Each entry
    // holds the restraint's FX, FY, FZ and its node's DX, DY, DZ.
    Restraint r;
    SupportResultsContext& context = support_results_context();
    context.allowable = [](int node, std::array<float, 6>& v) {
        if (node != 20)
            return false;
        v = {100.0f, 200.0f, 300.0f, 9.0f, 9.0f, 9.0f};
        return true;
    };
    r.allocate_summary(7);
    auto current = [&](std::vector<float> loads, std::array<float, 3> moved) {
        r.current_loads = std::move(loads);
        context.translation = moved;
    };
    current({10, -20, 30}, {0.1f, 0.2f, 0.3f});
    r.store_summary_column(1);
    current({-5, 40, 0}, {1, 2, 3});
    r.store_summary_column(2);
    current({1, 2, 3}, {0.01f, 0.02f, 0.03f});
    r.add_summary_column(1, 3);
    r.subtract_summary_column(1, 4);
    context.node = 20;
    r.summary_extremes(5, 6, 7);

    const std::vector<float> expected[] = {
        {},
        {10, -20, 30, 0.1f, 0.2f, 0.3f},
        {-5, 40, 0, 1, 2, 3},
        {11, -18, 33, 0.11f, 0.22f, 0.33f},
        {9, -22, 27, 0.09f, 0.18f, 0.27f},
        {11, 40, 33, 1, 2, 3},                 // maximum of 1..4
        {-5, -22, 0, 0.09f, 0.18f, 0.27f},     // minimum of 1..4
        {100, 200, 300, 0, 0, 0},              // the allowables' FX, FY, FZ
    };
    for (int c = 1; c <= 7; ++c)
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_NEAR(r.summary[static_cast<std::size_t>(c)][i], expected[c][i], 1e-6) << c << " " << i;

    // A snubber leaves the allowables entry alone; an anchor takes all six.
    Snubber s;
    s.allocate_summary(4);
    s.summary[4] = {7, 7, 7, 7};
    s.current_loads = {2};
    s.store_summary_column(1);
    s.summary_extremes(2, 3, 4);
    EXPECT_EQ(s.summary[4], (std::vector<float>{7, 7, 7, 7}));
    Anchor a;
    a.allocate_summary(4);
    a.current_loads = {1, 2, 3, 4, 5, 6};
    a.store_summary_column(1);
    a.summary_extremes(2, 3, 4);
    EXPECT_EQ(a.summary[4], (std::vector<float>{100, 200, 300, 9, 9, 9, 0, 0, 0}));
    a.free_summary();
    EXPECT_TRUE(a.summary.empty());
}
