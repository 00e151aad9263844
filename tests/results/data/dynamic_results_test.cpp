// The blocks of the dynamic analyses, in files written here with known
// values: the modal block (30) with its frequencies, shapes, participation
// factors and total mass, the response-spectrum case (31) with its second
// node block, the force-spectrum, time-history and harmonic cases (37, 35,
// 36), and the time-history file with its histories and maximum rows.
#include "results/data/results_fixture.h"

#include "loads/time_function.h"

#include <cstring>

using namespace results_test;

namespace {

class DynamicResultsTest : public ResultsTest {
protected:
    void SetUp() override
    {
        ResultsTest::SetUp();
        rows = every_support_model();
        choose({LC_SUSTAINED, LC_MODAL, LC_RESPONSE_SPECTRUM, LC_TIME_HISTORY, LC_HARMONIC, LC_FORCE_SPECTRUM});
        make_model();
        write_dynamic_results(results_path, three_modes(model().numnodes()));
        rth_path = folder + "/model.rth";
    }
    int64_t support_bytes() const
    {
        int64_t b = 0;
        for (const LayoutRow& r : model().rows)
            b += 4 * words_of(r.dtype);
        return b;
    }
    // A time-history file of T steps: step t's value of word w of the
    // support block is (t - 2.5) (w + 1) (so the early steps are negative),
    // displacement (node, d) t + node + d / 10, force (element, k) -t k.
    void write_history(int steps, float interval = 0.02f)
    {
        const Model& m = model();
        std::vector<TimeHistoryStep> out;
        for (int t = 1; t <= steps; ++t) {
            TimeHistoryStep s;
            for (int node = 1; node <= m.numnodes(); ++node)
                for (int d = 0; d < 6; ++d)
                    s.displacements.push_back(t + node + d / 10.0);
            for (int e = 1; e <= m.numelems(); ++e)
                for (int k = 0; k < 12; ++k)
                    s.forces.push_back(-1.0 * t * k);
            for (int w = 0; w < support_bytes() / 4; ++w)
                s.support_loads.push_back((t - 2.5) * (w + 1));
            out.push_back(s);
        }
        write_time_history_file(rth_path, interval, out);
    }

    Rows rows{};
    std::string rth_path;
};

}  // namespace

TEST_F(DynamicResultsTest, ModalAndDynamicBlocksAreReadAtTheirOffsets)
{
    ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    const ResultsState& r = results();
    const int64_t n = model().numnodes(), e = model().numelems(), b = support_bytes();
    const int64_t m = 3;
    // File order 1, 30, 31, 35, 36, 37; a case block is 24 N + 48 E + B,
    // the response spectrum's 48 N + 48 E + B, the modal block
    // 4 + 4 M + 24 N M + 12 M + 4.
    const int64_t first = 16 + 4 + 44 * e + 4;
    const int64_t plain = 24 * n + 48 * e + b;
    const int64_t modal = 4 + 4 * m + 24 * n * m + 12 * m + 4;
    const int64_t spectrum = 48 * n + 48 * e + b;
    const int64_t at30 = first + plain, at31 = at30 + modal, at35 = at31 + spectrum, at36 = at35 + plain,
                  at37 = at36 + plain;
    // A hanger's design record, then the run record (no line, no note of a
    // hanger design, the fingerprint) and the check.
    EXPECT_EQ(static_cast<int64_t>(file_bytes(results_path).size()), at37 + plain + 32 + 4 + 4 + 32 + 4);
    // Display order 1, 31, 37, 35, 36; the modal block is no case.
    ASSERT_EQ(r.load_case_count(), 5);
    EXPECT_EQ(r.load_cases[1], (ResultsLoadCase{1, first, first + 24 * n, first + 24 * n + 48 * e}));
    EXPECT_EQ(r.load_cases[2], (ResultsLoadCase{31, at31, at31 + 48 * n, at31 + 48 * n + 48 * e}));
    EXPECT_EQ(r.load_cases[3], (ResultsLoadCase{37, at37, at37 + 24 * n, at37 + 24 * n + 48 * e}));
    EXPECT_EQ(r.load_cases[4], (ResultsLoadCase{35, at35, at35 + 24 * n, at35 + 24 * n + 48 * e}));
    EXPECT_EQ(r.load_cases[5], (ResultsLoadCase{36, at36, at36 + 24 * n, at36 + 24 * n + 48 * e}));
    EXPECT_EQ(r.acceleration_block, at31 + 24 * n);
    EXPECT_EQ(r.modal.first_shape, at30 + 4 + 4 * m);

    // The modal scalars and the mass participation: per direction the sum
    // of the factors squared over the total mass 40.
    ASSERT_EQ(r.modal.modes, 3);
    EXPECT_EQ(r.modal.frequencies[2], 3.25f);
    EXPECT_EQ(r.modal.participation[3], (std::array<float, 3>{-4.0f, 0.5f, 2.5f}));
    EXPECT_EQ(r.modal.total_mass, 40.0f);
    EXPECT_FLOAT_EQ(r.modal.mass_participation[0], (4.0f + 0.0625f + 16.0f) / 40.0f);
    EXPECT_FLOAT_EQ(r.modal.mass_participation[1], (1.0f + 9.0f + 0.25f) / 40.0f);
    EXPECT_FLOAT_EQ(r.modal.mass_participation[2], (0.25f + 2.25f + 6.25f) / 40.0f);

    // Every case's values, the accelerations, and each mode's shape.
    for (int i = 1; i <= r.load_case_count(); ++i) {
        set_results_load_case_index(i);
        const int code = r.load_cases[i].code;
        read_load_case_displacements();
        read_load_case_forces();
        read_load_case_support_loads();
        EXPECT_EQ(r.displacements[4][2], static_cast<float>(displacement_value(code, 4, 2))) << code;
        EXPECT_EQ(r.forces[e][11], static_cast<float>(force_value(code, static_cast<int>(e), 11))) << code;
        const auto& anchor = support<Anchor>(rows.anchor).current_loads;
        EXPECT_EQ(anchor[5], static_cast<float>(support_value(code, 5))) << code;
        const auto& nozzle = support<Nozzle>(rows.nozzle).current_loads;
        const int word = model().rows[rows.nozzle].results_offset / 4;
        EXPECT_EQ(nozzle[0], static_cast<float>(support_value(code, word))) << code;
    }
    ASSERT_TRUE(set_results_load_case(LC_RESPONSE_SPECTRUM));
    ResultsState& w = results();
    read_spectrum_accelerations();
    EXPECT_TRUE(w.loaded.accelerations);
    EXPECT_EQ(w.loaded.displacements, 0);
    EXPECT_EQ(w.displacements[3][1], static_cast<float>(acceleration_value(3, 1)));
    w.current_mode = 2;
    read_mode_results();
    EXPECT_EQ(w.loaded.mode, 2);
    EXPECT_FALSE(w.loaded.accelerations);
    EXPECT_EQ(w.displacements[5][3], static_cast<float>(2 + 5 * 0.01 + 3 * 0.001));
    w.current_mode = 9;   // past the last: the last
    read_mode_results();
    EXPECT_EQ(w.loaded.mode, 3);
    EXPECT_EQ(w.displacements[1][0], static_cast<float>(3 + 0.01));
}

TEST_F(DynamicResultsTest, DynamicCasesTurnGuideLoadsToMagnitudes)
{
    // The guide's three values negative in every case: in the dynamic
    // cases 31, 36, 37 (and 12) they are made absolute, in 35 not.
    std::vector<char> bytes = file_bytes(results_path);
    ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    const ResultsState& r = results();
    const int64_t guide = model().rows[rows.guide].results_offset;
    for (const ResultsLoadCase& c : r.load_cases)
        for (int k = 0; k < 3; ++k) {
            const float v = -1.0f - k;
            std::memcpy(bytes.data() + c.supports + guide + 4 * k, &v, 4);
        }
    write_bytes(results_path, resealed(bytes));
    ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    for (int code : {31, 36, 37, 35, 1}) {
        ASSERT_TRUE(set_results_load_case(code));
        read_load_case_support_loads();
        const auto& loads = support<Guide>(rows.guide).current_loads;
        const bool dynamic = code != 35 && code != 1;
        EXPECT_EQ(results_loadcase_is_dynamic(), dynamic) << code;
        // The guide on a line along X: its axes are the global ones.
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(loads[static_cast<std::size_t>(k)], dynamic ? 1.0f + k : -1.0f - k) << code;
    }
}

TEST_F(DynamicResultsTest, AbsurdModeCountIsRefused)
{
    const std::vector<char> good = file_bytes(results_path);
    const int64_t e = model().numelems(), n = model().numnodes(), b = support_bytes();
    const std::size_t at30 = static_cast<std::size_t>(16 + 4 + 44 * e + 4 + 24 * n + 48 * e + b);
    for (int32_t modes : {-1, 2, 4, 1 << 20, 0x7fffffff}) {
        std::vector<char> bytes = good;
        std::memcpy(bytes.data() + at30, &modes, 4);
        write_bytes(folder + "/m.res", resealed(bytes));
        EXPECT_EQ(read_message(folder + "/m.res"),
                  "Results file does not match the model.\nPlease reanalyze the model.")
            << modes;
    }
    // A frequency that is not a number.
    std::vector<char> bytes = good;
    const uint32_t inf = 0x7f800000u;
    std::memcpy(bytes.data() + at30 + 8, &inf, 4);
    write_bytes(folder + "/m.res", resealed(bytes));
    EXPECT_EQ(read_message(folder + "/m.res"), "Results file does not match the model.\nPlease reanalyze the model.");
}

TEST_F(DynamicResultsTest, TimeHistoryOfASupportAndItsMaximumRow)
{
    time_history_options().save_results = 1;
    write_history(4);
    std::vector<std::string> warnings;
    ASSERT_EQ(thrown_text([&] { warnings = load_results(results_path, rth_path); }), "<nothing thrown>");
    EXPECT_TRUE(warnings.empty());
    ASSERT_TRUE(time_history_available());
    const TimeHistoryResults& h = results().history;
    EXPECT_EQ(h.steps, 4);
    EXPECT_FLOAT_EQ(h.interval, 0.02f);
    EXPECT_DOUBLE_EQ(history_time(3), 3 * double{0.02f});

    // The nozzle: six words from its offset; record t holds step t, record
    // 0 (time 0) zeros. Word w of step t is (t - 2.5)(w + 1).
    read_support_history(rows.nozzle);
    const int first_word = model().rows[rows.nozzle].results_offset / 4;
    ASSERT_EQ(h.history.size(), 5u);
    EXPECT_EQ(h.values, 6);
    EXPECT_EQ(h.history[0], (std::array<float, 6>{}));
    for (int t = 1; t <= 4; ++t)
        for (int w = 0; w < 6; ++w)
            EXPECT_FLOAT_EQ(h.history[static_cast<std::size_t>(t)][static_cast<std::size_t>(w)],
                            static_cast<float>((t - 2.5) * (first_word + w + 1)));
    // The largest magnitude with its sign: steps 1 and 4 have magnitudes
    // 1.5 and 1.5 times (w + 1); the earliest (step 1, negative) wins.
    const std::array<float, 6> maximum = history_maximum(h.history);
    for (int w = 0; w < 6; ++w)
        EXPECT_FLOAT_EQ(maximum[static_cast<std::size_t>(w)], static_cast<float>(-1.5 * (first_word + w + 1)));
    // A support with one word fills only the first value.
    read_support_history(rows.snubber);
    EXPECT_EQ(h.values, 1);
    EXPECT_EQ(h.history[2][1], 0.0f);
    // Element end 2 of element 1: the second end's six forces -t k, k 6..11.
    read_element_force_history(1, 2);
    EXPECT_EQ(h.history[3][2], static_cast<float>(-3.0 * 8));
    // Node 2's displacements.
    read_displacement_history(2);
    EXPECT_FLOAT_EQ(h.history[4][5], static_cast<float>(4 + 2 + 0.5));
    EXPECT_EQ(time_history_csv_name("Nozzle", 90), "Nozzle90.csv");
}

TEST_F(DynamicResultsTest, TimeHistoryMaximumRowEdgeCases)
{
    // Only negative values: the most negative; zeros: 0; equal magnitudes
    // of opposite sign: the earlier.
    std::vector<std::array<float, 6>> h(3);
    h[1] = {-1, 0, 2, -2, 0, 5};
    h[2] = {-3, 0, -2, 2, 0, -5};
    EXPECT_EQ(history_maximum(h), (std::array<float, 6>{-3, 0, 2, -2, 0, 5}));
    EXPECT_EQ(history_maximum({std::array<float, 6>{}}), (std::array<float, 6>{}));
}

TEST_F(DynamicResultsTest, TimeHistoryWithNoStepsHasOnlyTimeZero)
{
    time_history_options().save_results = 1;
    write_history(0);
    std::vector<std::string> warnings = load_results(results_path, rth_path);
    EXPECT_TRUE(warnings.empty());
    read_support_history(rows.anchor);
    EXPECT_EQ(results().history.history.size(), 1u);
    EXPECT_EQ(history_maximum(results().history.history), (std::array<float, 6>{}));
}

TEST_F(DynamicResultsTest, TimeHistoryFileProblems)
{
    time_history_options().save_results = 1;
    // No file: the warning, and the result is not offered.
    std::vector<std::string> warnings = load_results(results_path, rth_path);
    EXPECT_EQ(warnings, std::vector<std::string>{"Time history file: " + rth_path + "\nDoes not exist."});
    EXPECT_FALSE(time_history_available());
    close_results();

    // Another magic, T that disagrees with the length, T absurd or negative.
    write_history(3);
    const std::vector<char> good = file_bytes(rth_path);
    auto with_int = [&](std::size_t at, int32_t v) {
        std::vector<char> bytes = good;
        std::memcpy(bytes.data() + at, &v, 4);
        return bytes;
    };
    std::vector<char> magic = good;
    magic[11] = '6';
    const std::vector<std::vector<char>> bad = {magic, with_int(20, 4), with_int(20, 2), with_int(20, -1),
                                                with_int(20, 0x7fffffff),
                                                std::vector<char>(good.begin(), good.end() - 1),
                                                std::vector<char>(good.begin(), good.begin() + 10)};
    for (const std::vector<char>& bytes : bad) {
        write_bytes(rth_path, bytes);
        warnings = load_results(results_path, rth_path);
        EXPECT_EQ(warnings, std::vector<std::string>{"Unable to read time history file"});
        EXPECT_FALSE(time_history_available());
        close_results();
    }
    // Without "Save results" the file is not read at all.
    time_history_options().save_results = 0;
    write_bytes(rth_path, good);
    EXPECT_TRUE(load_results(results_path, rth_path).empty());
    EXPECT_FALSE(time_history_available());
    close_results();

    // Cut short after it was opened: the read error, the file closed and the
    // result withdrawn.
    time_history_options().save_results = 1;
    ASSERT_TRUE(load_results(results_path, rth_path).empty());
    std::filesystem::resize_file(rth_path, good.size() - 8);
    EXPECT_EQ(thrown_text([&] { read_support_history(rows.nozzle); }), TIME_HISTORY_READ_ERROR_TEXT);
    EXPECT_FALSE(time_history_available());
    EXPECT_FALSE(results().history.file.is_open());
}
