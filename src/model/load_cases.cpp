#include "model/load_cases.h"

#include "framework/document.h"

#include <array>

namespace {

using NameTable = std::array<std::string, MAX_LOAD_CASE_CODE + 1>;

std::string expansion_range(int i, int j) {
    return "Expansion (T" + std::to_string(i) + "-T" + std::to_string(j) + ")";
}

std::string with_set(const char* kind, int i) {
    std::string n = std::to_string(i);
    return std::string(kind) + " (W+P" + n + "+T" + n + ")";
}

NameTable make_names() {
    NameTable t;
    t[1] = "Sustained (W+P)";
    for (int i = 1; i <= 3; ++i) t[1 + i] = "Expansion (T" + std::to_string(i) + ")";
    t[5] = expansion_range(1, 2);
    t[6] = expansion_range(1, 3);
    t[7] = expansion_range(2, 3);
    for (int i = 1; i <= 3; ++i) t[7 + i] = with_set("Operating", i);
    t[11] = "Settlement";
    t[12] = "Seismic (g)";
    t[13] = "Wind";
    t[14] = "Cold spring (W+P)";
    for (int i = 1; i <= 3; ++i) t[14 + i] = with_set("Cold spring", i);
    t[18] = "Empty";
    t[19] = "Hydrotest";
    const char* hangers[] = {"Calculating hanger loads", "Calculating hanger travel", "Recalculating hanger loads",
                             "Recalculating hanger travel", "Designing hangers", "Calculating hanger loads"};
    for (int k = 0; k < 6; ++k) t[20 + k] = hangers[k];
    const char* dynamics[] = {"X acceleration", "Y acceleration", "Z acceleration", "Combining acceleration results",
                              "Modal analysis", "Response spectrum", "Static analysis", "Seismic displacement",
                              "Missing mass", "Time history", "Harmonic response", "Force spectrum"};
    for (int k = 0; k < 12; ++k) t[26 + k] = dynamics[k];
    for (int i = 1; i <= 3; ++i) t[37 + i] = with_set("Buried", i);
    for (int i = 1; i <= 10; ++i) t[40 + i] = "Sustained (W+P" + std::to_string(i) + ")";
    for (int i = 4; i <= 10; ++i) t[47 + i] = "Expansion (T" + std::to_string(i) + ")";
    // The ranges Ti-Tj not covered by codes 5 to 7, by i and then j.
    int code = 58;
    for (int i = 1; i <= 9; ++i)
        for (int j = (i <= 3 ? 4 : i + 1); j <= 10; ++j) t[code++] = expansion_range(i, j);
    for (int i = 4; i <= 10; ++i) t[96 + i] = with_set("Operating", i);
    t[107] = "Wind 2";
    t[108] = "Wind 3";
    t[109] = "Wind 4";
    for (int i = 4; i <= 10; ++i) t[106 + i] = with_set("Cold spring", i);
    for (int i = 4; i <= 10; ++i) t[113 + i] = with_set("Buried", i);
    t[124] = "Empty Weight (W)";
    t[125] = "Design (W+PD+TD)";
    t[126] = "Cold spring (W+PD+TD)";
    return t;
}

const NameTable& names() {
    static const NameTable table = make_names();
    return table;
}

}  // namespace

const std::string& load_case_names(int code) {
    static const std::string none;
    if (code < 1 || code > MAX_LOAD_CASE_CODE) return none;
    return names()[code];
}

int32_t LoadCaseList::code(int index) const {
    if (index < 1 || index > count()) return 0;
    return codes_[index];
}

int LoadCaseList::find(int32_t c) const {
    for (int i = 1; i <= count(); ++i)
        if (codes_[i] == c) return i;
    return 0;
}

LoadCaseList& load_case_list() {
    return document().part<LoadCaseList>();
}
