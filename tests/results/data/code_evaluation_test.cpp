// The piping-code evaluation as the results run it when they open: the
// driver gets the results' cases and reads a case's element forces from
// the file; a driver that fails leaves nothing half evaluated; FRP elements
// get their arrays and no pipe record; the arithmetic of the file layout.
#include "results/data/results_fixture.h"
#include "scratch_files.h"

using namespace results_test;

namespace {

class ResultsCodeEvaluationTest : public ResultsTest {
protected:
    void SetUp() override
    {
        ResultsTest::SetUp();
        with(from(10), DT_ANCHOR);
        pipe(20, 100, 0, 0);
        pipe(30, 0, 100, 0, DT_ANCHOR);
        choose({LC_OPERATING_1, LC_SUSTAINED});
        make_model();
        write_dynamic_results(results_path, three_modes(model().numnodes()));
    }
};

}  // namespace

TEST_F(ResultsCodeEvaluationTest, DriverSeesTheCasesAndReadsTheirForces)
{
    std::vector<int32_t> cases;
    register_code_evaluation([&](const CodeEvaluationInput& input, CodeRecords& records) {
        cases = input.load_cases;
        EXPECT_EQ(input.model, &model());
        EXPECT_EQ(input.piping_code, piping_code());
        ASSERT_NE(input.available, nullptr);
        EXPECT_TRUE(input.available->has(LC_SUSTAINED));
        OneBased<ElementForceRecord> forces;
        input.forces(LC_SUSTAINED, forces);
        ASSERT_EQ(forces.size(), 2);
        // Element 2's first-end FX of Sustained, as the file holds it, as
        // "stress" of its first end: the records reach the tables.
        records.pipes[2].sustained[0].set(forces[2][0]);
        input.forces(LC_HYDROTEST, forces);   // not among the results: zeros
        EXPECT_EQ(forces[1][0], 0.0f);
    });
    const std::vector<std::string> warnings = load_results(results_path, folder + "/model.rth");
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(cases, (std::vector<int32_t>{LC_SUSTAINED, LC_OPERATING_1}));
    const PipeResultRecord& p = results().code.pipes[2];
    EXPECT_EQ(p.element, 2);
    EXPECT_TRUE(p.sustained[0].evaluated);
    EXPECT_EQ(p.sustained[0].value, static_cast<float>(force_value(LC_SUSTAINED, 2, 0)));
    EXPECT_FALSE(p.sustained[1].evaluated);
    EXPECT_FALSE(results().code.pipes[1].sustained[0].evaluated);
}

TEST_F(ResultsCodeEvaluationTest, FailedEvaluationIsAWarningAndLeavesNothingHalfDone)
{
    register_code_evaluation([](const CodeEvaluationInput&, CodeRecords& records) {
        records.pipes[1].sustained[0].set(1000.0f);
        records.node_sifs[1].value[0] = 2.5f;
        throw_message("Code stresses are not available for this code");
    });
    const std::vector<std::string> warnings = load_results(results_path, folder + "/model.rth");
    EXPECT_EQ(warnings, std::vector<std::string>{"Code stresses are not available for this code"});
    EXPECT_TRUE(results_open());
    EXPECT_FALSE(results().code.pipes[1].sustained[0].evaluated);
    EXPECT_EQ(results().code.node_sifs[1].value[0], 1.0f);
}

TEST_F(ResultsCodeEvaluationTest, FrpElementsHaveTheirArraysAndNoPipeRecord)
{
    // The second pipe of an FRP material.
    PipeMaterial frp = pipe_materials()[1];
    frp.name = "FRP";
    frp.set_type("FR");
    ASSERT_EQ(frp.frp, 1);
    pipe_materials().push_back(frp);
    model().rows[3].material = "FRP";
    make_model();
    write_dynamic_results(results_path, three_modes(model().numnodes()));
    ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    const ResultsState& r = results();
    EXPECT_EQ(r.numpipes(), 1);
    EXPECT_EQ(r.numfrp(), 1);
    EXPECT_EQ(r.code.pipes.size(), 1);
    EXPECT_EQ(r.code.pipes[1].element, 1);
    ASSERT_EQ(r.code.frp.count(), 1);
    EXPECT_EQ(r.code.frp.elements[1], 2);
    EXPECT_EQ(r.code.frp.nodes[1], (std::array<int32_t, 2>{model().elems[2].node1, model().elems[2].node2}));
}

TEST(ResultsFileLayout, OffsetsOfTheBlocksFromTheCounts)
{
    // N 7 nodes, E 5 elements, S 2 soil records, B 36 support bytes, M 3 modes.
    const int64_t n = 7, e = 5, s = 2, b = 36, m = 3;
    EXPECT_EQ(results_soil_count_at(e), 16 + 4 + 44 * 5);
    EXPECT_EQ(results_soil_count_at(e, 1020), 16 + 4 + 32 * 5);   // records without the chords
    EXPECT_EQ(results_first_block_at(e, s), 16 + 4 + 220 + 4 + 80);
    EXPECT_EQ(results_case_block_size(LC_SUSTAINED, n, e, b), 168 + 240 + 36);
    EXPECT_EQ(results_case_block_size(LC_RESPONSE_SPECTRUM, n, e, b), 336 + 240 + 36);
    EXPECT_EQ(results_force_offset(LC_RESPONSE_SPECTRUM, n), 336);
    EXPECT_EQ(results_support_offset(LC_SUSTAINED, n, e), 168 + 240);
    EXPECT_EQ(results_mode_shape_offset(n, m, 2), 4 + 12 + 168);
    EXPECT_EQ(results_participation_offset(n, m), 4 + 12 + 3 * 168);
    EXPECT_EQ(results_total_mass_offset(n, m), 4 + 12 + 504 + 36);
    EXPECT_EQ(results_modal_block_size(n, m), 4 + 4 * m + 24 * n * m + 12 * m + 4);
    // The time-history file: 24 bytes, then T steps of 24 N + 48 E + B.
    EXPECT_EQ(time_history_step_size(n, e, b), 444);
    EXPECT_EQ(time_history_file_size(n, e, b, 10), 24 + 4440);
    EXPECT_EQ(time_history_support_at(n, e, b, 3, 8), 24 + 2 * 444 + 168 + 240 + 8);
    EXPECT_EQ(time_history_force_at(n, e, b, 1), 24 + 168);
    // The writers write what the arithmetic says.
    const ScratchFolder scratch("korvane_layout_blocks");
    const std::string path = scratch.path("layout.blocks");
    BinFile f;
    ASSERT_TRUE(f.open_write(path));
    ModalBlock modal;
    modal.frequencies = {1, 2, 3};
    modal.shapes.assign(3, std::vector<double>(6 * n, 0.5));
    modal.participation.assign(3, {1, 2, 3});
    write_modal_block(f, modal);
    EXPECT_EQ(f.tell(), results_modal_block_size(n, m));
    write_case_block(f, std::vector<double>(6 * n), std::vector<double>(6 * n), std::vector<double>(12 * e),
                     std::vector<double>(b / 4));
    EXPECT_EQ(f.tell(), results_modal_block_size(n, m) + results_case_block_size(LC_RESPONSE_SPECTRUM, n, e, b));
    f.abandon();
}
