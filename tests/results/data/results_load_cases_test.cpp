// The results load cases: display order with the block offsets carried
// along, codes that have no place skipped with their blocks, stepping with
// wrap-around, the dynamic test, titles, and the availability flags of
// each piping code.
#include "results/data/results_fixture.h"

using namespace results_test;

namespace {

class ResultsLoadCaseTest : public ResultsTest {
protected:
    // A model with an anchor at each end, its results file written for
    // the list (values by code, see the fixture).
    void results_for(std::initializer_list<int> codes)
    {
        if (model().numrows() == 0) {
            with(from(10), DT_ANCHOR);
            pipe(20, 100, 0, 0);
            pipe(30, 100, 0, 0, DT_ANCHOR);
        }
        choose(codes);
        make_model();
        write_dynamic_results(results_path, three_modes(model().numnodes()));
        ASSERT_EQ(read_message(results_path), "<nothing thrown>");
    }
    std::vector<int> codes() const
    {
        std::vector<int> out;
        for (const ResultsLoadCase& c : results().load_cases)
            out.push_back(c.code);
        return out;
    }
};

}  // namespace

TEST_F(ResultsLoadCaseTest, DisplayOrderCarriesTheOffsets)
{
    results_for({8, 1, 2});
    EXPECT_EQ(codes(), (std::vector<int>{1, 2, 8}));
    const int64_t n = model().numnodes(), e = model().numelems();
    const int64_t first = 16 + 4 + 44 * e + 4, block = 24 * n + 48 * e + 4 * 12;
    EXPECT_EQ(results().load_cases[1].displacements, first + block);       // 1 was second in the file
    EXPECT_EQ(results().load_cases[2].displacements, first + 2 * block);   // 2 third
    EXPECT_EQ(results().load_cases[3].displacements, first);               // 8 first
    EXPECT_EQ(results_loadcase(), 1);
    // The values follow their case.
    set_results_load_case(8);
    read_load_case_displacements();
    EXPECT_EQ(results().displacements[2][1], static_cast<float>(displacement_value(8, 2, 1)));
}

TEST_F(ResultsLoadCaseTest, TheWholeDisplayOrder)
{
    // Each code of the order, listed in reverse: read back in the order.
    const std::vector<int>& order = results_display_order();
    std::vector<int> expected;
    for (int c = 1; c <= 126; ++c)
        if (c != LC_SETTLEMENT && c != LC_MODAL && std::find(order.begin(), order.end(), c) != order.end())
            expected.push_back(c);
    EXPECT_EQ(order.size(), expected.size() + 1);   // with Settlement
    EXPECT_EQ(order.front(), LC_STATIC_ANALYSIS);
    EXPECT_EQ(order.back(), LC_HARMONIC);
    // Static analysis, empty weight, sustained first; 5 after T1..T10, and
    // the time history and harmonic cases last.
    const std::vector<int> head(order.begin(), order.begin() + 14);
    EXPECT_EQ(head, (std::vector<int>{32, 124, 1, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 2}));
    auto position = [&](int code) { return std::find(order.begin(), order.end(), code) - order.begin(); };
    EXPECT_LT(position(57), position(5));
    EXPECT_LT(position(64), position(7));
    EXPECT_LT(position(99), position(8));
    EXPECT_LT(position(126), position(11));
    EXPECT_LT(position(109), position(31));
    EXPECT_LT(position(31), position(37));
    EXPECT_LT(position(37), position(35));
    // Codes without a place: Empty, the hanger and acceleration steps,
    // seismic displacement, missing mass, buried cases.
    for (int code : {18, 20, 25, 26, 29, 33, 34, 38, 40, 117, 123, 30, 0, 127})
        EXPECT_FALSE(results_code_displayable(code, CODE_B313)) << code;
    EXPECT_FALSE(results_code_displayable(LC_SETTLEMENT, CODE_B313));
    EXPECT_TRUE(results_code_displayable(LC_SETTLEMENT, CODE_ASME_CLASS2_2015));
    EXPECT_TRUE(results_code_displayable(LC_SETTLEMENT, CODE_EN13480));
}

TEST_F(ResultsLoadCaseTest, CodesWithoutAPlaceAndDuplicatesAreSkippedWithTheirBlocks)
{
    piping_code() = CODE_B313;
    results_for({20, 1, 11, 33, 1, 38, 8, 35});
    EXPECT_EQ(codes(), (std::vector<int>{1, 8, 35}));
    // The blocks after the skipped ones are found: each case's values.
    for (int code : {1, 8, 35}) {
        set_results_load_case(code);
        read_load_case_displacements();
        read_load_case_forces();
        EXPECT_EQ(results().displacements[3][5], static_cast<float>(displacement_value(code, 3, 5))) << code;
        EXPECT_EQ(results().forces[2][0], static_cast<float>(force_value(code, 2, 0))) << code;
    }
    close_results();
    piping_code() = CODE_EN13480;
    results_for({1, 11});
    EXPECT_EQ(codes(), (std::vector<int>{1, 11}));
    EXPECT_TRUE(results().available.has(LC_SETTLEMENT));
}

TEST_F(ResultsLoadCaseTest, SteppingWrapsAtBothEnds)
{
    results_for({LC_SUSTAINED});
    next_load_case();
    EXPECT_EQ(results_loadcase(), 1);
    previous_load_case();
    EXPECT_EQ(results_loadcase(), 1);
    close_results();
    results_for({1, 2, 8, 12});
    EXPECT_EQ(results_loadcase(), 1);
    previous_load_case();
    EXPECT_EQ(results_loadcase(), 4);
    next_load_case();
    EXPECT_EQ(results_loadcase(), 1);
    for (int i = 0; i < 3; ++i)
        next_load_case();
    EXPECT_EQ(results_loadcase_code(), 12);
    EXPECT_TRUE(results_loadcase_is_dynamic());
    EXPECT_TRUE(set_results_load_case(8));
    EXPECT_FALSE(results_loadcase_is_dynamic());
    // A code not among the results changes nothing.
    EXPECT_FALSE(set_results_load_case(13));
    EXPECT_EQ(results_loadcase_code(), 8);
    for (int code : {12, 31, 36, 37})
        EXPECT_TRUE(load_case_is_dynamic(code));
    for (int code : {1, 13, 35, 32})
        EXPECT_FALSE(load_case_is_dynamic(code));
}

TEST_F(ResultsLoadCaseTest, TitleNamesTheCurrentCase)
{
    results_for({32, 1, 36});
    EXPECT_EQ(codes(), (std::vector<int>{32, 1, 36}));
    set_results_load_case(1);
    EXPECT_EQ(results_title_text("Pipe forces in local coordinates"), "Pipe forces in local coordinates: Sustained (W+P)");
    set_results_load_case(32);
    EXPECT_EQ(results_title_text("Results"), "Results: Static analysis");
    close_results();
    EXPECT_EQ(results_title_text("Results"), "Results");
}

TEST_F(ResultsLoadCaseTest, AvailabilityFlagsByPipingCode)
{
    using Present = std::array<uint8_t, MAX_LOAD_CASE_CODE + 1>;
    auto present = [](const std::vector<int>& codes) {
        Present p{};
        for (int c : codes)
            p[static_cast<std::size_t>(c)] = 1;
        return p;
    };
    struct Row {
        const char* what;
        std::vector<int> codes;
        int32_t code;
        bool b31j, buried, branch;
        // expected: expansion, operating, bs806, occasional, code stresses,
        // in/out-plane, end stresses, pipeline sort, branch connection
        std::array<bool, 9> flags;
    };
    const std::vector<Row> rows = {
        {"B31.1 sustained and range", {1, 58}, CODE_B311, false, false, false,
         {true, false, false, false, true, false, false, false, false}},
        {"B31.3 operating only", {8}, CODE_B313, false, false, false,
         {false, true, false, false, false, true, false, false, false}},
        {"B31.1 with B31J", {1, 12}, CODE_B311, true, false, false,
         {false, false, false, true, true, true, false, false, false}},
        {"wind 4 is occasional", {109}, CODE_B311, false, false, false,
         {false, false, false, true, true, false, false, false, false}},
        {"BS 806 operating", {8}, CODE_BS806, false, false, false,
         {false, true, true, false, true, false, false, false, false}},
        {"BS 806 cold spring 4, seismic not occasional", {110, 12}, CODE_BS806, true, false, false,
         {false, false, true, false, true, true, false, false, false}},
        {"BS 806 without operating", {1}, CODE_BS806, true, false, false,
         {false, false, false, false, true, false, false, false, false}},
        {"Class 2 2015 with a branch SIF", {1, 2}, CODE_ASME_CLASS2_2015, false, false, true,
         {true, false, false, false, true, false, true, true, true}},
        {"Class 2 1980 has no branch stresses", {1, 2}, CODE_ASME_CLASS2_1980, false, false, true,
         {true, false, false, false, true, false, true, true, false}},
        {"Class 3 2017 without sustained", {2}, CODE_ASME_CLASS3_2017, false, false, true,
         {true, false, false, false, true, false, true, false, false}},
        {"B31.4 buried, sustained only", {1}, CODE_B314, false, true, false,
         {false, false, false, false, true, true, true, true, false}},
        {"B31.4 not buried", {1}, CODE_B314, false, false, false,
         {false, false, false, false, true, true, false, false, false}},
        {"EN 13480 settlement", {11}, CODE_EN13480, false, false, false,
         {false, false, false, false, true, true, true, false, false}},
        {"IGEM", {35}, CODE_IGEM, false, false, false,
         {false, false, false, true, true, true, false, false, false}},
        {"None, static analysis", {32}, CODE_NONE, false, false, false,
         {false, false, false, false, false, false, false, false, false}},
    };
    for (const Row& row : rows) {
        const ResultsAvailability a = results_availability(present(row.codes), row.code, row.b31j, row.buried, row.branch);
        const std::array<bool, 9> flags = {a.any_expansion,    a.any_operating,     a.bs806_stresses,
                                           a.any_occasional,   a.code_stresses,     a.in_out_plane_sifs,
                                           a.end_stresses,     a.pipeline_sort,     a.branch_connection_stresses};
        EXPECT_EQ(flags, row.flags) << row.what;
    }
}
