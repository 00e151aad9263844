#include "model/piping_codes.h"

#include "framework/document.h"

#include <cctype>

namespace {

struct PipingCodeEntry {
    int32_t id;
    const char* name;
    const char* short_name;
    const char* keyword;
};

// The code list, in list order.
constexpr PipingCodeEntry CODE_LIST[PIPING_CODE_COUNT] = {
    {CODE_NONE, "None", "None", "None"},
    {CODE_B311, "B31.1 (2018)", "B31.1", "B311"},
    {CODE_B311_1967, "B31.1 (1967)", "B31.1(67)", "B311-67"},
    {CODE_B313, "B31.3 (2018)", "B31.3", "B313"},
    {CODE_B314, "B31.4 (2019)", "B31.4", "B314"},
    {CODE_B315, "B31.5 (2016)", "B31.5", "B315"},
    {CODE_B318, "B31.8 (2018)", "B31.8", "B318"},
    {CODE_B319, "B31.9 (2017)", "B31.9", "B319"},
    {CODE_B3112, "B31.12 (2019)", "B31.12", "B3112"},
    {CODE_ASME_CLASS2_1980, "ASME Class 2 (1980)", "ASME(80)", "ASME"},
    {CODE_ASME_CLASS2_1986, "ASME Class 2 (1986)", "ASME(86)", "ASME-86"},
    {CODE_ASME_CLASS2_1992, "ASME Class 2 (1992)", "ASME(92)", "ASME-92"},
    {CODE_ASME_CLASS2_2015, "ASME Class 2 (2015)", "ASME(2015)", "ASME-2015"},
    {CODE_ASME_CLASS2_2017, "ASME Class 2 (2017)", "ASME(2017)", "ASME-2017"},
    {CODE_ASME_CLASS3_2017, "ASME Class 3 (2017)", "ASME ND(2017)", "ASME-ND-2017"},
    {CODE_BS806, "BS 806 (1986)", "BS 806", "BS806"},
    {CODE_IGEM, "IGEM (2012)", "IGEM", "IGEM"},
    {CODE_NORWEGIAN_1983, "Norwegian (1983)", "Norwegian(83)", "NORWEGIAN-83"},
    {CODE_NORWEGIAN_1990, "Norwegian (1990)", "Norwegian(90)", "NORWEGIAN-90"},
    {CODE_RCCM, "RCC-M (1985)", "RCC-M", "RCC-M"},
    {CODE_CODETI, "CODETI (2013)", "CODETI", "SNCT"},
    {CODE_STOOMWEZEN, "Stoomwezen (1989)", "Stoomwezen", "STOOMWEZEN"},
    {CODE_SWEDISH, "Swedish (1978)", "Swedish", "SWEDISH"},
    {CODE_Z183, "Z183 (1990)", "Z183", "Z183"},
    {CODE_Z184, "Z184 (1992)", "Z184", "Z184"},
    {CODE_EN13480, "EN 13480 (2017)", "EN 13480", "EUROPEAN"},
    {CODE_Z662, "Z662 (2015)", "Z662", "Z662"},
};

constexpr std::array<int32_t, PIPING_CODE_COUNT> make_ids() {
    std::array<int32_t, PIPING_CODE_COUNT> ids{};
    for (int i = 0; i < PIPING_CODE_COUNT; ++i) ids[i] = CODE_LIST[i].id;
    return ids;
}
constexpr std::array<int32_t, PIPING_CODE_COUNT> CODE_IDS = make_ids();

const PipingCodeEntry* find_code(int32_t id) {
    int index = piping_code_index(id);
    return index < 0 ? nullptr : &CODE_LIST[index];
}

bool same_word(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

// The document's piping code.
struct PipingCode {
    int32_t id = CODE_NONE;
};

}  // namespace

int32_t& piping_code() { return document().part<PipingCode>().id; }
void reset_piping_code() { piping_code() = CODE_NONE; }

const std::array<int32_t, PIPING_CODE_COUNT>& piping_code_ids() { return CODE_IDS; }

int piping_code_index(int32_t id) {
    for (int i = 0; i < PIPING_CODE_COUNT; ++i)
        if (CODE_IDS[i] == id) return i;
    return -1;
}

bool piping_code_valid(int32_t id) { return piping_code_index(id) >= 0; }

int32_t piping_code_from_old_number(int32_t stored) {
    return stored >= CODE_ASME_CLASS2_2015 && stored < CODE_IGEM ? stored + 1 : stored;
}

int32_t piping_code_at(int index) {
    if (index < 0 || index >= PIPING_CODE_COUNT) return -1;
    return CODE_IDS[index];
}

std::string piping_code_name(int32_t id) {
    const PipingCodeEntry* e = find_code(id);
    return e ? e->name : "";
}

std::string piping_code_short_name(int32_t id) {
    const PipingCodeEntry* e = find_code(id);
    return e ? e->short_name : "";
}

std::string piping_code_keyword(int32_t id) {
    const PipingCodeEntry* e = find_code(id);
    return e ? e->keyword : "";
}

int32_t piping_code_from_keyword(const std::string& word) {
    for (const PipingCodeEntry& e : CODE_LIST)
        if (same_word(word, e.keyword)) return e.id;
    return -1;
}

bool code_is_b313_group(int32_t id) {
    switch (id) {
    case CODE_NONE: case CODE_B311_1967: case CODE_B313: case CODE_B314: case CODE_B315:
    case CODE_B318: case CODE_CODETI: case CODE_EN13480: case CODE_B3112:
        return true;
    default:
        return false;
    }
}
bool code_is_b313_group() { return code_is_b313_group(piping_code()); }

bool code_is_nordic(int32_t id) {
    return id == CODE_NORWEGIAN_1983 || id == CODE_NORWEGIAN_1990 || id == CODE_SWEDISH;
}
bool code_is_nordic() { return code_is_nordic(piping_code()); }

bool code_is_canadian(int32_t id) { return id == CODE_Z183 || id == CODE_Z184 || id == CODE_Z662; }

bool code_is_one_of(int32_t id, std::initializer_list<int32_t> ids) {
    for (int32_t candidate : ids)
        if (candidate == id) return true;
    return false;
}

bool code_is_class2_group(int32_t id) {
    switch (id) {
    case CODE_ASME_CLASS2_1980: case CODE_ASME_CLASS2_1986: case CODE_ASME_CLASS2_1992:
    case CODE_ASME_CLASS2_2015: case CODE_ASME_CLASS2_2017: case CODE_ASME_CLASS3_2017:
    case CODE_RCCM: case CODE_EN13480:
        return true;
    default:
        return false;
    }
}
bool code_is_class2_group() { return code_is_class2_group(piping_code()); }

bool code_allows_b31j(int32_t id) {
    switch (id) {
    case CODE_B311: case CODE_B313: case CODE_B314: case CODE_B315: case CODE_B318: case CODE_B319:
    case CODE_B3112:
        return true;
    default:
        return false;
    }
}
bool code_allows_b31j() { return code_allows_b31j(piping_code()); }

bool code_has_cold_modulus_option(int32_t id) {
    switch (id) {
    case CODE_B313: case CODE_B314: case CODE_B315: case CODE_B318: case CODE_EN13480: case CODE_B3112:
        return false;
    default:
        return true;
    }
}
bool code_has_cold_modulus_option() { return code_has_cold_modulus_option(piping_code()); }
