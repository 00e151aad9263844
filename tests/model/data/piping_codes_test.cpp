// Piping-code tables and predicates, and the load-case name table.
#include "model/load_cases.h"
#include "model/piping_codes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(PipingCode, ListHas27UniqueIdsThatRoundTripThroughTheirPosition) {
    const auto& ids = piping_code_ids();
    std::set<int32_t> seen(ids.begin(), ids.end());
    EXPECT_EQ(seen.size(), 27u);
    for (int32_t id = 0; id <= 24; ++id) EXPECT_TRUE(seen.count(id)) << id;
    EXPECT_TRUE(seen.count(101));
    EXPECT_TRUE(seen.count(201));

    std::set<std::string> names, short_names, keywords;
    for (int i = 0; i < PIPING_CODE_COUNT; ++i) {
        int32_t id = ids[i];
        EXPECT_EQ(piping_code_index(id), i);
        EXPECT_EQ(piping_code_at(i), id);
        EXPECT_EQ(piping_code_from_keyword(piping_code_keyword(id)), id);
        names.insert(piping_code_name(id));
        short_names.insert(piping_code_short_name(id));
        keywords.insert(piping_code_keyword(id));
    }
    EXPECT_EQ(names.size(), 27u);
    EXPECT_EQ(short_names.size(), 27u);
    EXPECT_EQ(keywords.size(), 27u);
}

TEST(PipingCode, ListOrderAndNames) {
    EXPECT_EQ(piping_code_name(piping_code_at(0)), "None");
    EXPECT_EQ(piping_code_name(piping_code_at(1)), "B31.1 (2018)");
    EXPECT_EQ(piping_code_name(piping_code_at(26)), "Z662 (2015)");
    // B31.12 follows B31.9, the ASME codes follow, EN 13480 comes before Z662.
    EXPECT_EQ(piping_code_at(8), CODE_B3112);
    EXPECT_EQ(piping_code_at(13), CODE_ASME_CLASS2_2017);
    EXPECT_EQ(piping_code_at(14), CODE_ASME_CLASS3_2017);
    EXPECT_EQ(piping_code_at(25), CODE_EN13480);
    EXPECT_EQ(piping_code_name(CODE_ASME_CLASS3_2017), "ASME Class 3 (2017)");

    const char* first_short[] = {"None", "B31.1", "B31.1(67)", "B31.3"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(piping_code_short_name(piping_code_at(i)), first_short[i]);
}

TEST(PipingCode, UnknownIdsAndPositionsAreInvalid) {
    for (int32_t id : {-1, 25, 100, 102, 200, 202, 1 << 30}) {
        EXPECT_EQ(piping_code_index(id), -1) << id;
        EXPECT_FALSE(piping_code_valid(id));
        EXPECT_EQ(piping_code_name(id), "");
        EXPECT_EQ(piping_code_short_name(id), "");
        EXPECT_EQ(piping_code_keyword(id), "");
    }
    EXPECT_EQ(piping_code_at(-1), -1);
    EXPECT_EQ(piping_code_at(27), -1);
}

TEST(PipingCode, KeywordsAreWholeWordsInAnyCase) {
    EXPECT_EQ(piping_code_keyword(CODE_NONE), "None");
    EXPECT_EQ(piping_code_from_keyword("NONE"), CODE_NONE);
    EXPECT_EQ(piping_code_from_keyword("b311-67"), CODE_B311_1967);
    EXPECT_EQ(piping_code_from_keyword("SNCT"), CODE_CODETI);
    EXPECT_EQ(piping_code_from_keyword("EUROPEAN"), CODE_EN13480);
    EXPECT_EQ(piping_code_from_keyword("ASME-ND-2017"), CODE_ASME_CLASS3_2017);
    EXPECT_EQ(piping_code_from_keyword("B31.3"), -1);   // a point is not part of a keyword
    EXPECT_EQ(piping_code_from_keyword("B3111"), -1);
    EXPECT_EQ(piping_code_from_keyword(""), -1);
    EXPECT_EQ(piping_code_from_keyword("NAVY"), -1);
}

TEST(PipingCode, GroupPredicates) {
    std::set<int32_t> b313, nordic, class2, b31j, no_cold;
    for (int32_t id : piping_code_ids()) {
        if (code_is_b313_group(id)) b313.insert(id);
        if (code_is_nordic(id)) nordic.insert(id);
        if (code_is_class2_group(id)) class2.insert(id);
        if (code_allows_b31j(id)) b31j.insert(id);
        if (!code_has_cold_modulus_option(id)) no_cold.insert(id);
    }
    EXPECT_EQ(b313, (std::set<int32_t>{0, 2, 3, 4, 5, 6, 16, 21, 23}));
    EXPECT_EQ(nordic, (std::set<int32_t>{13, 14, 18}));
    EXPECT_EQ(class2, (std::set<int32_t>{8, 9, 10, 11, 15, 21, 101, 201}));
    EXPECT_EQ(b31j, (std::set<int32_t>{1, 3, 4, 5, 6, 7, 23}));
    EXPECT_EQ(no_cold, (std::set<int32_t>{3, 4, 5, 6, 21, 23}));

    // The forms without an argument follow the current code.
    piping_code() = CODE_SWEDISH;
    EXPECT_TRUE(code_is_nordic());
    EXPECT_FALSE(code_is_b313_group());
    piping_code() = CODE_RCCM;
    EXPECT_TRUE(code_is_class2_group());
    EXPECT_FALSE(code_allows_b31j());
    EXPECT_TRUE(code_has_cold_modulus_option());
    reset_piping_code();
    EXPECT_EQ(piping_code(), CODE_NONE);
    EXPECT_TRUE(code_is_b313_group());
}

TEST(LoadCaseNames, SamplesAcrossTheTable) {
    EXPECT_EQ(load_case_names(1), "Sustained (W+P)");
    EXPECT_EQ(load_case_names(7), "Expansion (T2-T3)");
    EXPECT_EQ(load_case_names(17), "Cold spring (W+P3+T3)");
    EXPECT_EQ(load_case_names(25), "Calculating hanger loads");
    EXPECT_EQ(load_case_names(30), "Modal analysis");
    EXPECT_EQ(load_case_names(40), "Buried (W+P3+T3)");
    EXPECT_EQ(load_case_names(50), "Sustained (W+P10)");
    EXPECT_EQ(load_case_names(51), "Expansion (T4)");
    // The ranges of codes 58 to 99, by first and then second temperature.
    EXPECT_EQ(load_case_names(58), "Expansion (T1-T4)");
    EXPECT_EQ(load_case_names(64), "Expansion (T1-T10)");
    EXPECT_EQ(load_case_names(65), "Expansion (T2-T4)");
    EXPECT_EQ(load_case_names(79), "Expansion (T4-T5)");
    EXPECT_EQ(load_case_names(99), "Expansion (T9-T10)");
    EXPECT_EQ(load_case_names(100), "Operating (W+P4+T4)");
    EXPECT_EQ(load_case_names(116), "Cold spring (W+P10+T10)");
    EXPECT_EQ(load_case_names(123), "Buried (W+P10+T10)");
    EXPECT_EQ(load_case_names(126), "Cold spring (W+PD+TD)");
    for (int code = 1; code <= MAX_LOAD_CASE_CODE; ++code) EXPECT_FALSE(load_case_names(code).empty()) << code;
    for (int code : {-1, 0, 127, 100000}) EXPECT_EQ(load_case_names(code), "") << code;
}

TEST(LoadCaseList, CountsFromOneAndRefusesOtherIndices) {
    LoadCaseList list;
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.code(1), 0);
    list.add(LC_OPERATING_1);
    list.add(LC_SUSTAINED);
    list.add(LC_EXPANSION_T1);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list[1], 8);
    EXPECT_EQ(list[3], 2);
    EXPECT_EQ(list[0], 0);
    EXPECT_EQ(list[4], 0);
    EXPECT_EQ(list.find(LC_SUSTAINED), 2);
    EXPECT_FALSE(list.contains(LC_MODAL));
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

}  // namespace
