#include "codes/code_catalog.h"

#include "framework/text.h"
#include "model/piping_codes.h"

#include <array>

StressRules stress_rules(int32_t code)
{
    switch (code) {
    case CODE_NONE: return StressRules::NoCode;
    case CODE_B311: return StressRules::B311;
    case CODE_B311_1967: return StressRules::InOutPlane;
    case CODE_B313: return StressRules::B313;
    case CODE_B315: return StressRules::InOutPlane;
    case CODE_B319: return StressRules::B319;
    case CODE_B3112: return StressRules::B3112;
    case CODE_ASME_CLASS2_1980:
    case CODE_ASME_CLASS2_1986:
    case CODE_ASME_CLASS2_1992:
    case CODE_ASME_CLASS2_2015:
    case CODE_ASME_CLASS2_2017:
    case CODE_ASME_CLASS3_2017: return StressRules::Class2;
    case CODE_EN13480: return StressRules::En13480;
    case CODE_B314:
    case CODE_B318:
    case CODE_Z662: return StressRules::Pipeline;
    default: return StressRules::Unavailable;
    }
}

bool code_stresses_available(int32_t code)
{
    return stress_rules(code) != StressRules::Unavailable;
}

std::string code_stresses_unavailable_text(int32_t code)
{
    return c_format("Code stresses are not available for %s", piping_code_name(code).c_str());
}

SifTable sif_table(int32_t code)
{
    switch (code) {
    // "None" shows in- and out-of-plane SIFs; it takes B31.3's table.
    case CODE_NONE:
    case CODE_B313:
    // B31.12 Part IP takes the flexibility and stress intensification
    // factors of B31.3 Appendix D.
    case CODE_B3112: return SifTable::B313;
    // B31.9 takes the SIFs of B31.1 Mandatory Appendix D.
    case CODE_B311:
    case CODE_B319: return SifTable::B311;
    // NC-3673.2(b) Table NC-3673.2(b)-1 holds B31.1's factors.
    case CODE_ASME_CLASS2_1980:
    case CODE_ASME_CLASS2_1986:
    case CODE_ASME_CLASS2_1992:
    case CODE_ASME_CLASS2_2015:
    case CODE_ASME_CLASS2_2017:
    case CODE_ASME_CLASS3_2017: return SifTable::B311;
    case CODE_B311_1967:
    case CODE_B315:
    case CODE_EN13480:
    case CODE_B314:
    case CODE_B318:
    case CODE_Z662: return SifTable::Chart;
    default: return SifTable::None;
    }
}

bool code_has_in_out_plane_sifs(int32_t code, bool use_b31j)
{
    return code_is_b313_group(code) || use_b31j;
}

namespace {

// The load cases that get a code stress, with their labels: the one table
// that decides which cases show a stress column. Every operating case
// (thermal sets 1 to 10) is one alike. Codes not listed have none (the
// cold-spring, design, sustained (W+Pk) and dynamic cases, which no code
// checks).
struct CaseStressRow {
    int32_t first, last;
    CaseStress kind;
    const char* label;        // standard label
    const char* en_label;     // EN 13480 and CODETI in the standard table
};
constexpr std::array CASE_STRESSES{
    CaseStressRow{1, 1, CaseStress::Sustained, "SL", "S1"},
    CaseStressRow{19, 19, CaseStress::Hydrotest, "SL", "S1"},
    CaseStressRow{2, 7, CaseStress::Expansion, "SE", "S3"},
    CaseStressRow{51, 99, CaseStress::Expansion, "SE", "S3"},
    CaseStressRow{8, 10, CaseStress::Operating, "Sopr", "Sopr"},
    CaseStressRow{100, 106, CaseStress::Operating, "Sopr", "Sopr"},
    CaseStressRow{11, 11, CaseStress::Settlement, "SS", "S6"},
    CaseStressRow{12, 13, CaseStress::Occasional, "SL+SO", "S2"},
    CaseStressRow{31, 31, CaseStress::Occasional, "SL+SO", "S2"},
    CaseStressRow{35, 37, CaseStress::Occasional, "SL+SO", "S2"},
    CaseStressRow{107, 109, CaseStress::Occasional, "SL+SO", "S2"},
};

const CaseStressRow* case_row(int32_t load_case)
{
    for (const CaseStressRow& r : CASE_STRESSES)
        if (load_case >= r.first && load_case <= r.last)
            return &r;
    return nullptr;
}

}  // namespace

CaseStress case_stress(int32_t load_case)
{
    const CaseStressRow* r = case_row(load_case);
    return r ? r->kind : CaseStress::None;
}

std::string stress_label(int32_t load_case, int32_t code, bool en_labels)
{
    const CaseStressRow* r = case_row(load_case);
    if (!r)
        return {};
    const bool en = en_labels && (code == CODE_EN13480 || code == CODE_CODETI);
    // CODETI keeps "SS" for settlement; EN 13480 names it "S6".
    if (en && r->kind == CaseStress::Settlement && code == CODE_CODETI)
        return r->label;
    return en ? r->en_label : r->label;
}

const char* no_code_stress_name(int32_t kind)
{
    switch (kind) {
    case NO_CODE_MAXIMUM: return "Maximum";
    case NO_CODE_MINIMUM: return "Minimum";
    default: return "Von Mises";
    }
}
