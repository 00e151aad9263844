// Load-case codes and names, and the model's load-case list: the codes the
// analysis runs, in the order it runs them. The results file holds one block
// per code of the list in this order. The analysis fills the list from the
// load-case selection; this module only keeps it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Load-case codes run from 1 to MAX_LOAD_CASE_CODE.
inline constexpr int MAX_LOAD_CASE_CODE = 126;

// Codes the program refers to by name.
enum LoadCaseCode : int32_t {
    LC_SUSTAINED = 1,
    LC_EXPANSION_T1 = 2,
    LC_OPERATING_1 = 8,
    LC_SETTLEMENT = 11,
    LC_SEISMIC_G = 12,
    LC_WIND = 13,
    LC_COLD_SPRING = 14,
    LC_EMPTY = 18,
    LC_HYDROTEST = 19,
    LC_MODAL = 30,
    LC_RESPONSE_SPECTRUM = 31,
    LC_STATIC_ANALYSIS = 32,
    LC_SEISMIC_DISPLACEMENT = 33,
    LC_MISSING_MASS = 34,
    LC_TIME_HISTORY = 35,
    LC_HARMONIC = 36,
    LC_FORCE_SPECTRUM = 37,
    LC_EMPTY_WEIGHT = 124,
    LC_DESIGN = 125,
    LC_COLD_SPRING_DESIGN = 126,
};

// The name of a load-case code, such as "Sustained (W+P)"; "" for a code
// outside 1..MAX_LOAD_CASE_CODE.
const std::string& load_case_names(int code);

// A list of load-case codes numbered from 1 (slot 0 is unused).
class LoadCaseList {
public:
    LoadCaseList() : codes_(1, 0) {}

    int count() const { return static_cast<int>(codes_.size()) - 1; }
    bool empty() const { return count() == 0; }
    // The code at index 1..count(); 0 for any other index.
    int32_t code(int index) const;
    int32_t operator[](int index) const { return code(index); }
    // The first index holding the code; 0 when the list has none.
    int find(int32_t code) const;
    bool contains(int32_t code) const { return find(code) != 0; }

    void add(int32_t code) { codes_.push_back(code); }
    void clear() { codes_.assign(1, 0); }

    bool operator==(const LoadCaseList&) const = default;

private:
    std::vector<int32_t> codes_;
};

// The model's load-case list.
LoadCaseList& load_case_list();
