// The results file of a run, read back field by field as the results reader
// reads it; the same bytes from a second run; the model left as it was; and
// the check that refuses results written for another model.
#include "analysis/data/analysis_fixture.h"
#include "analysis/results_file.h"
#include "framework/binfile.h"
#include "framework/crc32.h"

#include <fstream>
#include <iterator>
#include <span>

using namespace analysis_test;

namespace {

// A value as the file holds it: float32, and 0 below 1e-30 in magnitude.
float as_written(double v)
{
    return std::fabs(v) < 1e-30 ? 0.0f : static_cast<float>(v);
}

std::vector<unsigned char> file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A spring hanger of the tests: 5000 lb/in in Y; its load is its force.
struct TestHanger : DataItem {
    void assemble_stiffness(AnalysisRun& run, int row) const override
    {
        const int e = run.equation(run.layout().rows[row].node_index, 1);
        run.add_stiffness(e, e, 5000.0);
    }
    void write_support_loads(AnalysisRun& run, int row) const override
    {
        const double force[1] = {-5000.0 * node_displacement(run, run.layout().rows[row].node_index, 1)};
        record_support_loads(run, row, force);
    }
};

class ResultsFileTest : public AnalysisTest {
protected:
    // An anchored L with a hanger at its corner and a force row between.
    void make_l()
    {
        set_data_factory(DT_HANGER, [] { return std::make_unique<TestHanger>(); });
        load.temperature[1] = 300;
        anchored_from(10);
        pipe(20, 120, 0, 0, DT_HANGER);
        row(20, ET_NONE, 0, 0, 0, DT_FORCE);
        pipe(30, 0, 0, 80, DT_ANCHOR);
        choose({LC_OPERATING_1, LC_SUSTAINED, LC_EXPANSION_T1});
    }
    RunOutcome analyse()
    {
        make_model();
        snapshot = make_analysis_model();
        return run_analysis(*snapshot, {});
    }
};

}  // namespace

TEST_F(ResultsFileTest, WrittenByARunAndReadBackFieldByField)
{
    make_l();
    const RunOutcome outcome = analyse();
    ASSERT_TRUE(outcome.completed) << outcome.message;
    const std::string path = folder + "/model.res";
    ASSERT_EQ(snapshot->output.results_path, path);
    // The cases as the run solved them, to compare the file with.
    AnalysisRun run(*snapshot);
    const std::map<int, CaseResults> cases = solve_load_cases(run, {});

    BinFile f;
    ASSERT_TRUE(f.open_read(path));
    char header[16];
    f.read(header, 16);
    EXPECT_EQ(std::string(header, 16), std::string("KORVANE21KR10240"));
    const Model& m = snapshot->model;
    ASSERT_EQ(f.read_int(), m.numelems());
    ASSERT_EQ(m.numelems(), 2);
    // The L's legs as the rows give them: 120 in along X, then 80 in along Z.
    const float chords[2][3] = {{120.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 80.0f}};
    for (int e = 1; e <= m.numelems(); ++e) {
        const Elem& el = m.elems[e];
        int32_t record[8];
        f.read_ints(record, 8);
        EXPECT_EQ(record[0], el.kind);
        EXPECT_EQ(record[1], el.row);
        EXPECT_EQ(record[2], el.node1);
        EXPECT_EQ(record[3], el.node2);
        EXPECT_EQ(record[4], 1);   // material, section and load of the tests
        EXPECT_EQ(record[5], 1);
        EXPECT_EQ(record[6], 1);
        EXPECT_EQ(record[7], 1);   // each the first element of its row
        float chord[3];
        f.read_floats(chord, 3);   // node 2 less node 1, as analysed
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(chord[k], chords[e - 1][k]) << e << " " << k;
    }
    EXPECT_EQ(f.read_int(), 0);   // no soil restraints
    // The blocks in the order of the list: nodes, elements, supports (anchor
    // 6, hanger 1, anchor 6 in row order; the force row has none).
    for (int code : std::initializer_list<int>{LC_OPERATING_1, LC_SUSTAINED, LC_EXPANSION_T1}) {
        SCOPED_TRACE(code);
        const CaseResults& c = cases.at(code);
        for (int node = 1; node <= m.numnodes(); ++node)
            for (int d = 0; d < 6; ++d)
                EXPECT_EQ(f.read_float(), as_written(c.displacements[static_cast<std::size_t>(6 * (node - 1) + d)]));
        for (int e = 0; e < m.numelems(); ++e)
            for (int i = 1; i <= 12; ++i)
                EXPECT_EQ(f.read_float(), as_written(c.forces[static_cast<std::size_t>(e)].f[i]));
        ASSERT_EQ(c.support_loads.size(), 13u);
        for (double v : c.support_loads)
            EXPECT_EQ(f.read_float(), as_written(v));
    }
    // One empty design record for the hanger row, then the end.
    std::vector<unsigned char> hanger(32, 0xff);
    f.read(hanger.data(), hanger.size());
    EXPECT_EQ(hanger, std::vector<unsigned char>(32, 0));
    // The run record: no case line of this linear run, no note of a hanger
    // design (the test's hanger is none that the design sizes), then the
    // model file's fingerprint (none known for a model that was not saved).
    EXPECT_EQ(f.read_int(), 0);
    EXPECT_EQ(f.read_int(), 0);
    Sha256Digest fingerprint{};
    f.read(fingerprint.data(), fingerprint.size());
    EXPECT_EQ(fingerprint, snapshot->output.model_fingerprint);
    // Last, the CRC-32 of every byte before it.
    const std::vector<unsigned char> bytes = file_bytes(path);
    EXPECT_EQ(static_cast<uint32_t>(f.read_int()), crc32_of(std::span(bytes).first(bytes.size() - 4)));
    EXPECT_EQ(f.remaining(), 0);
    EXPECT_FALSE(f.error());
    EXPECT_EQ(results_file_size(m, snapshot->load_cases, 2, 0) + 4 + 4 + 32 + 4, f.size());
    // The hanger carries weight in the weight cases only.
    EXPECT_GT(cases.at(LC_SUSTAINED).support_loads[6], 0.0);
    EXPECT_EQ(cases.at(LC_EXPANSION_T1).forces.size(), 2u);
}

TEST_F(ResultsFileTest, SecondRunInTheSameProcessWritesTheSameBytes)
{
    make_l();
    ASSERT_TRUE(analyse().completed);
    const std::vector<unsigned char> first = file_bytes(folder + "/model.res");
    ASSERT_FALSE(first.empty());
    std::filesystem::remove(folder + "/model.res");
    ASSERT_TRUE(analyse().completed);
    EXPECT_EQ(file_bytes(folder + "/model.res"), first);
}

TEST_F(ResultsFileTest, ModelAfterARunIsTheModelBeforeIt)
{
    make_l();
    load_case_list().clear();   // the defaults are not stored by a run
    model_modified() = false;
    write_model_file(folder + "/before.mod");
    ASSERT_TRUE(analyse().completed);
    write_model_file(folder + "/after.mod");
    EXPECT_EQ(file_bytes(folder + "/after.mod"), file_bytes(folder + "/before.mod"));
    EXPECT_FALSE(model_modified());
    EXPECT_TRUE(load_case_list().empty());
}

TEST_F(ResultsFileTest, FailedRunLeavesTheOldResultsFile)
{
    make_l();
    ASSERT_TRUE(analyse().completed);
    const std::vector<unsigned char> good = file_bytes(folder + "/model.res");
    // The anchors gone, the model is unstable: no results, the old file stays.
    model().rows[1].dtype = DT_NONE;
    model().rows[1].data.reset();
    model().rows[4].dtype = DT_NONE;
    model().rows[4].data.reset();
    const RunOutcome outcome = analyse();
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(outcome.message.rfind("Model is unstable at node ", 0), 0u);
    EXPECT_EQ(file_bytes(folder + "/model.res"), good);
    // An unwritable place says so.
    reset_model();
    make_l();
    make_model();
    snapshot = make_analysis_model();
    snapshot->output.results_path = folder + "/no such folder/model.res";
    EXPECT_EQ(run_analysis(*snapshot, {}).message,
              "Unable to write results file:\n" + folder + "/no such folder/model.res\nNo such file or directory.");
}

TEST_F(ResultsFileTest, ResultsOfAnotherModelAreRefused)
{
    make_l();
    ASSERT_TRUE(analyse().completed);
    const std::string path = folder + "/model.res";
    EXPECT_EQ(thrown_text([&] { check_results_match_model(path); }), "<nothing thrown>");

    const std::string mismatch = "Results file " + path + " does not match the model.\nPlease reanalyze the model.";
    // Another load case: same elements, another length.
    load_case_list().add(LC_COLD_SPRING);
    EXPECT_EQ(thrown_text([&] { check_results_match_model(path); }), mismatch);
    load_case_list().clear();
    choose({LC_OPERATING_1, LC_SUSTAINED, LC_EXPANSION_T1});
    // Another row: another element count.
    pipe(40, 0, 50, 0);
    make_model();
    EXPECT_EQ(thrown_text([&] { check_results_match_model(path); }), mismatch);
    model().rows.erase(model().numrows());
    make_model();
    EXPECT_EQ(thrown_text([&] { check_results_match_model(path); }), "<nothing thrown>");
    // A support more: another support block.
    model().rows[3].dtype = DT_NONE;
    model().rows[3].data.reset();
    make_model();
    EXPECT_EQ(thrown_text([&] { check_results_match_model(path); }), "<nothing thrown>");   // a force has no loads
    model().rows[2].dtype = DT_ANCHOR;
    model().rows[2].create_data_object(2);
    make_model();
    EXPECT_EQ(thrown_text([&] { check_results_match_model(path); }), mismatch);

    EXPECT_EQ(thrown_text([&] { check_results_match_model(folder + "/missing.res"); }), "Unable to read results file");
    std::ofstream(folder + "/short.res") << "KORVANE";
    EXPECT_EQ(thrown_text([&] { check_results_match_model(folder + "/short.res"); }), "Unable to read results file");
}

TEST_F(ResultsFileTest, ModelWithoutChosenCasesRunsItsDefaults)
{
    make_l();
    load_case_list().clear();
    analysis_options().numtloads = 2;
    ASSERT_TRUE(analyse().completed);
    LoadCaseList defaults;
    for (int code : {1, 2, 3, 8, 9})
        defaults.add(code);
    EXPECT_EQ(snapshot->load_cases, defaults);
    EXPECT_EQ(analysis_load_cases(), defaults);
    EXPECT_EQ(thrown_text([&] { check_results_match_model(folder + "/model.res"); }), "<nothing thrown>");
}
