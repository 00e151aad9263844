// The piping codes: the current code of the model, the 27 code ids in the
// order of the code list (combo boxes, batch keywords, short names), their
// names and the groups of codes that share rules.
//
// A code id is what the model file stores; a list position is what a combo
// box shows. Ids are 0..24, 101 (ASME Class 2, 2017) and 201 (ASME Class 3,
// 2017).
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

inline constexpr int PIPING_CODE_COUNT = 27;

enum PipingCodeId : int32_t {
    CODE_NONE = 0,
    CODE_B311 = 1,
    CODE_B311_1967 = 2,
    CODE_B313 = 3,
    CODE_B314 = 4,
    CODE_B315 = 5,
    CODE_B318 = 6,
    CODE_B319 = 7,
    CODE_ASME_CLASS2_1980 = 8,
    CODE_ASME_CLASS2_1986 = 9,
    CODE_ASME_CLASS2_1992 = 10,
    CODE_ASME_CLASS2_2015 = 11,
    CODE_BS806 = 12,
    CODE_NORWEGIAN_1983 = 13,
    CODE_NORWEGIAN_1990 = 14,
    CODE_RCCM = 15,
    CODE_CODETI = 16,
    CODE_STOOMWEZEN = 17,
    CODE_SWEDISH = 18,
    CODE_Z183 = 19,
    CODE_Z184 = 20,
    CODE_EN13480 = 21,
    CODE_Z662 = 22,
    CODE_B3112 = 23,
    CODE_IGEM = 24,
    CODE_ASME_CLASS2_2017 = 101,
    CODE_ASME_CLASS3_2017 = 201,
};

// The current piping code id of the model (CODE_NONE for a new program).
int32_t& piping_code();
// Back to CODE_NONE (tests).
void reset_piping_code();

// The 27 ids in list order.
const std::array<int32_t, PIPING_CODE_COUNT>& piping_code_ids();
// The list position 0..26 of an id; -1 for an id that is no piping code
// (callers treat that as invalid, for instance a damaged file).
int piping_code_index(int32_t id);
// True when the id is one of the 27.
bool piping_code_valid(int32_t id);
// The id at a list position; -1 for a position outside 0..26.
int32_t piping_code_at(int index);
// The id of a code as model and library files up to version 680 store it:
// those files number the codes from 11 upward one lower (ids 11..23 become
// 12..24); any other number is returned as it is, so that a stored number of
// any size is compared, never overflowed.
int32_t piping_code_from_old_number(int32_t stored);

// Names of an id; "" for an unknown id.
// Long name with edition, as in the code list: "B31.1 (2018)".
std::string piping_code_name(int32_t id);
// Short name used in messages: "B31.1", "B31.1(67)".
std::string piping_code_short_name(int32_t id);
// The keyword of batch and material-library files: "B311", "B311-67", and
// "None" for code 0 (written so; upper-cased files read it as "NONE").
std::string piping_code_keyword(int32_t id);
// The id of a keyword, compared whole and without regard to case; -1 when the
// word names no code.
int32_t piping_code_from_keyword(const std::string& word);

// Predicates on the current code (and the same for a given id).
// None, B31.1 (1967), B31.3, B31.4, B31.5, B31.8, CODETI, EN 13480, B31.12.
bool code_is_b313_group();
bool code_is_b313_group(int32_t id);
// Norwegian (1983), Norwegian (1990), Swedish.
bool code_is_nordic();
bool code_is_nordic(int32_t id);
// Z183, Z184 and Z662.
bool code_is_canadian(int32_t id);
// True when the id is one of `ids`.
bool code_is_one_of(int32_t id, std::initializer_list<int32_t> ids);
// ASME Class 2 (1980, 1986, 1992, 2015, 2017), ASME Class 3 (2017), RCC-M and
// EN 13480: the codes with a settlement load case.
bool code_is_class2_group();
bool code_is_class2_group(int32_t id);
// The codes under which "Use B31J for SIFs and Flexibility Factors" applies:
// B31.1, B31.3, B31.4, B31.5, B31.8, B31.9 and B31.12.
bool code_allows_b31j();
bool code_allows_b31j(int32_t id);
// True unless the code is B31.3, B31.4, B31.5, B31.8, EN 13480 or B31.12.
bool code_has_cold_modulus_option();
bool code_has_cold_modulus_option(int32_t id);
