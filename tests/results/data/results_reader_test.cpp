// The results reader on files written by the real analysis: every block
// offset against the one worked out here from the byte layout, the values
// of every case against the run's own results, the support layout of each
// row, the element lists and node lists, and the on-demand markers.
#include "results/data/results_fixture.h"

using namespace results_test;

namespace {

class ResultsReaderTest : public ResultsTest {};

}  // namespace

TEST_F(ResultsReaderTest, RoundTripEveryBlockOffsetAndValue)
{
    const Rows rows = every_support_model();
    two_thermal_sets();
    piping_code() = CODE_B313;
    // Analysis order; the display order puts Sustained first.
    choose({LC_OPERATING_1, LC_SUSTAINED, LC_EXPANSION_T1, 9, 3, 5});
    const std::map<int, CaseResults> run = analyse();
    ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    const ResultsState& r = results();
    const Model& m = model();

    // The layout from the format: header 16, E, 44 E (8 int32 and the 3 float32 of the chord), S, 40 S, then the
    // blocks of 24 N + 48 E + B in list order, then 32 bytes per hanger.
    const int64_t n = m.numnodes(), e = m.numelems();
    int64_t b = 0;
    for (const LayoutRow& row : m.rows)
        b += 4 * words_of(row.dtype);
    EXPECT_EQ(b, 4 * (6 + 3 + 3 + 2 + 1 + 1 + 1 + 6 + 6));
    const int64_t first = 16 + 4 + 44 * e + 4;
    const int64_t block = 24 * n + 48 * e + b;
    // Then the run record: its case lines, each with its byte count, the
    // notes of the hanger design (40 bytes and the catalogue's name each),
    // and the fingerprint; then the 4 bytes of the check.
    int64_t record = 4 + 4 + 32;
    for (const std::string& line : r.run_record.case_lines)
        record += 4 + static_cast<int64_t>(line.size());
    for (const HangerNote& note : r.run_record.hanger_notes)
        record += 40 + static_cast<int64_t>(note.catalogue.size());
    EXPECT_EQ(static_cast<int64_t>(file_bytes(results_path).size()), first + 6 * block + 32 + record + 4);
    const std::vector<int> file_order = {8, 1, 2, 9, 3, 5};
    const std::vector<int> display = {1, 2, 3, 5, 8, 9};
    ASSERT_EQ(r.load_case_count(), 6);
    for (int i = 1; i <= 6; ++i) {
        const int code = display[static_cast<std::size_t>(i - 1)];
        const auto at = std::find(file_order.begin(), file_order.end(), code) - file_order.begin();
        const int64_t start = first + at * block;
        EXPECT_EQ(r.load_cases[i], (ResultsLoadCase{code, start, start + 24 * n, start + 24 * n + 48 * e})) << code;
    }

    // Rows: running byte offsets of the support words; 0 words elsewhere.
    int64_t offset = 0;
    for (int row = 1; row <= m.numrows(); ++row) {
        EXPECT_EQ(m.rows[row].results_offset, offset) << "row " << row;
        EXPECT_EQ(m.rows[row].results_words, words_of(m.rows[row].dtype)) << "row " << row;
        offset += 4 * words_of(m.rows[row].dtype);
    }
    EXPECT_EQ(m.rows[rows.force].results_words, 0);
    EXPECT_EQ(m.rows[rows.force].results_offset, m.rows[rows.force - 1].results_offset + 4);   // after the hanger
    // Supports by row and by kind (anchors, guides, hangers, limit stops,
    // nozzles, restraints, skewed restraints, snubbers, generic supports).
    EXPECT_EQ(std::vector<int32_t>(r.supports_by_row.begin(), r.supports_by_row.end()),
              (std::vector<int32_t>{rows.anchor, rows.restraint, rows.guide, rows.stop, rows.hanger, rows.snubber,
                                    rows.skewed, rows.generic, rows.nozzle}));
    EXPECT_EQ(std::vector<int32_t>(r.supports_by_kind.begin(), r.supports_by_kind.end()),
              (std::vector<int32_t>{rows.anchor, rows.guide, rows.hanger, rows.stop, rows.nozzle, rows.restraint,
                                    rows.skewed, rows.snubber, rows.generic}));
    // The hanger's design record after the last block.
    EXPECT_EQ(support<Hanger>(rows.hanger).results_design, support<Hanger>(rows.hanger).v.design);

    // Every case's values as the run made them.
    for (int i = 1; i <= r.load_case_count(); ++i) {
        ASSERT_TRUE(set_results_load_case_index(i));
        const CaseResults& c = run.at(r.load_cases[i].code);
        read_load_case_displacements();
        read_load_case_forces();
        read_load_case_support_loads();
        for (int node = 1; node <= n; ++node)
            for (int d = 0; d < 6; ++d)
                ASSERT_EQ(r.displacements[node][static_cast<std::size_t>(d)],
                          as_written(c.displacements[6 * static_cast<std::size_t>(node - 1) + static_cast<std::size_t>(d)]));
        for (int el = 1; el <= e; ++el)
            for (int k = 0; k < 12; ++k)
                ASSERT_EQ(r.forces[el][static_cast<std::size_t>(k)],
                          as_written(c.forces[static_cast<std::size_t>(el - 1)].f[k + 1]));
        for (int32_t row : r.supports_by_row) {
            const auto* item = dynamic_cast<const SupportItem*>(m.rows[row].data.get());
            ASSERT_NE(item, nullptr);
            const std::size_t at = static_cast<std::size_t>(m.rows[row].results_offset / 4);
            std::vector<float> expected;
            for (int w = 0; w < words_of(m.rows[row].dtype); ++w)
                expected.push_back(as_written(c.support_loads[at + static_cast<std::size_t>(w)]));
            if (row == rows.guide) {
                // The guide's loads in its axes: along the pipe (X), then
                // its y and z; worked out here for a pipe along X with Y
                // vertical: x = (1, 0, 0), y = (0, 1, 0), z = (0, 0, 1).
                const LocalAxes a = guide_axes(m, m.rows[row].node_index, false);
                EXPECT_NEAR(a.x.x, 1.0, 1e-12);
                EXPECT_NEAR(a.y.y, 1.0, 1e-12);
                EXPECT_NEAR(a.z.z, 1.0, 1e-12);
            }
            EXPECT_EQ(item->current_loads, expected) << "row " << row << " case " << r.load_cases[i].code;
        }
    }
    EXPECT_EQ(r.loaded.forces_code, r.load_cases[r.load_case_count()].code);
}

TEST_F(ResultsReaderTest, ElementListsNodeListsAndResultsNodes)
{
    // An anchored line: pipes, a valve, a bellows and a rigid element, each
    // counted by kind; node lists newest first.
    with(from(10), DT_ANCHOR);
    pipe(20, 100, 0, 0);
    const int valve = row(30, ET_VALVE, 20, 0, 0);
    name(valve);
    const int bellows = row(40, ET_BELLOWS, 10, 0, 0);
    name(bellows);
    const int rigid = row(50, ET_RIGID, 10, 0, 0);
    name(rigid);
    pipe(60, 100, 0, 0, DT_ANCHOR);
    choose({LC_SUSTAINED});
    analyse();
    ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    const ResultsState& r = results();
    const Model& m = model();
    int pipes = 0, others = 0, flex = 0, balls = 0;
    for (int e = 1; e <= m.numelems(); ++e) {
        const int k = m.elems[e].kind;
        pipes += k == ET_PIPE;
        others += k != ET_PIPE && k != ET_BEAM;
        flex += k == ET_BELLOWS;
        balls += k == ET_BALL_JOINT;
    }
    EXPECT_EQ(r.numpipes(), pipes);
    EXPECT_EQ(r.numothers(), others);
    EXPECT_EQ(r.numflexjoints(), flex);
    EXPECT_EQ(r.numballjoints(), balls);
    EXPECT_EQ(r.numfrp(), 0);
    EXPECT_EQ(r.code.frp.count(), 0);
    EXPECT_EQ(r.code.pipes.size(), pipes);
    // Node 20 is the second node of element 1 and the first of element 2:
    // its list runs from the higher element down.
    const int n20 = node_index(20);
    EXPECT_EQ(r.node_elements[n20], (std::vector<int32_t>{2, 1}));
    // Every node of an element has results, in node order.
    EXPECT_EQ(r.numresultnodes(), m.numnodes());
    for (int i = 1; i <= r.numresultnodes(); ++i) {
        EXPECT_EQ(r.results_nodes[i], i);
        EXPECT_EQ(m.nodes[i].has_results, 1);
    }
}

TEST_F(ResultsReaderTest, OnDemandMarkersAndExtremes)
{
    every_support_model();
    choose({LC_SUSTAINED, LC_OPERATING_1});
    load.temperature[1] = 400;
    analyse();
    ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    ResultsState& r = results();
    clear_loaded_results();
    EXPECT_EQ(r.loaded.displacements, 0);
    ASSERT_TRUE(set_results_load_case(LC_OPERATING_1));
    r.magnification = 5.0f;
    read_load_case_displacements();
    EXPECT_EQ(r.loaded.displacements, 2);
    EXPECT_EQ(r.magnification, 0.0f);
    // The extremes over the nodes with results, found here by a scan.
    for (std::size_t d = 0; d < 6; ++d) {
        float hi = -1e30f, lo = 1e30f;
        for (int32_t node : r.results_nodes) {
            hi = std::max(hi, r.displacements[node][d]);
            lo = std::min(lo, r.displacements[node][d]);
        }
        EXPECT_EQ(r.extremes.largest[d], hi);
        EXPECT_EQ(r.extremes.smallest[d], lo);
        EXPECT_EQ(r.displacements[r.extremes.largest_node[d]][d], hi);
    }
    read_load_case_forces();
    EXPECT_EQ(r.loaded.forces, 2);
    EXPECT_EQ(r.loaded.forces_code, LC_OPERATING_1);
    // No modes and no response spectrum: those readers leave the markers.
    read_mode_results();
    read_spectrum_accelerations();
    EXPECT_EQ(r.loaded.displacements, 2);
    EXPECT_FALSE(r.loaded.accelerations);
}

TEST_F(ResultsReaderTest, ResultsWithoutHangersEndAfterTheLastBlock)
{
    with(from(10), DT_ANCHOR);
    pipe(20, 100, 0, 0, DT_ANCHOR);
    choose({LC_SUSTAINED});
    analyse();
    const int64_t n = model().numnodes(), e = model().numelems();
    // Then the run record: no case line of the linear run, no note of a
    // hanger design, the fingerprint; and the check.
    EXPECT_EQ(static_cast<int64_t>(file_bytes(results_path).size()),
              16 + 4 + 44 * e + 4 + 24 * n + 48 * e + 48 + 4 + 4 + 32 + 4);
    ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    EXPECT_EQ(results().soil_restraints.size(), 0);
    EXPECT_EQ(results().modal.modes, 0);
}

TEST_F(ResultsReaderTest, SettlementIsAResultsCaseOfTheClass2GroupOnly)
{
    // The same run read under two piping codes: ASME Class 2 (2015) shows
    // Settlement after the operating case; B31.3 skips its block, and the
    // operating case after it is still found where the layout puts it.
    every_support_model();
    load.temperature[1] = 300;
    choose({LC_SUSTAINED, LC_SETTLEMENT, LC_OPERATING_1});
    piping_code() = CODE_ASME_CLASS2_2015;
    const std::map<int, CaseResults> run = analyse();
    const int64_t n = model().numnodes(), e = model().numelems();
    int64_t b = 0;
    for (const LayoutRow& row : model().rows)
        b += 4 * words_of(row.dtype);
    const int64_t first = 16 + 4 + 44 * e + 4, block = 24 * n + 48 * e + b;
    for (int32_t code : {CODE_ASME_CLASS2_2015, CODE_B313}) {
        piping_code() = code;
        ASSERT_EQ(read_message(results_path), "<nothing thrown>");
        const ResultsState& r = results();
        const bool class2 = code == CODE_ASME_CLASS2_2015;
        ASSERT_EQ(r.load_case_count(), class2 ? 3 : 2);
        EXPECT_EQ(r.load_cases[1].displacements, first);
        EXPECT_EQ(r.load_cases[2], (ResultsLoadCase{LC_OPERATING_1, first + 2 * block, first + 2 * block + 24 * n,
                                                    first + 2 * block + 24 * n + 48 * e}));
        if (class2) {
            EXPECT_EQ(r.load_cases[3].code, LC_SETTLEMENT);
        }
        EXPECT_EQ(r.available.has(LC_SETTLEMENT), class2);
        set_results_load_case(LC_OPERATING_1);
        read_load_case_displacements();
        const CaseResults& op = run.at(LC_OPERATING_1);
        EXPECT_EQ(r.displacements[3][0], as_written(op.displacements[6 * 2 + 0]));
        close_results();
    }
}
