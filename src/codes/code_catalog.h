// What the piping-code evaluation knows of each code and load case: which
// codes have their stresses evaluated, which table of stress intensification
// factors and which equations each follows, which load cases get a code
// stress and the label their stress column carries.
//
// The codes evaluated here (their equations are public and checkable by
// hand): none ("None": von Mises and principal stresses), B31.1 (2018),
// B31.1 (1967), B31.3 (2018), B31.5 (2016), B31.9 (2017), B31.12 (2019),
// ASME Section III Class 2 (1980, 1986, 1992, 2015, 2017) and Class 3
// (2017), EN 13480 (2017), B31.4 (2019), B31.8 (2018) and CSA Z662 (2015);
// elements of FRP material under any code by the FRP evaluation
// (frp_stress.h). The other codes of the code list (BS 806, IGEM/TD/12,
// the Norwegian, Swedish and Stoomwezen rules, CSA Z183 and Z184, CODETI,
// RCC-M) have no stresses: their equations and allowables are not held by
// the program, so their results show forces and the SIFs the user gave,
// and opening them says so once (code_stresses_unavailable_text).
#pragma once

#include <cstdint>
#include <string>

// The equations a code's stresses follow.
enum class StressRules {
    Unavailable,   // no stresses for this code yet
    NoCode,        // "None": von Mises, maximum and minimum principal stresses
    B311,          // B31.1 (2018) para. 104.8: one SIF on the resultant moment
    B319,          // B31.9 (2017): the B31.1 form of the equations
    B313,          // B31.3 (2018) paras. 319.4.4, 320.2: in- and out-of-plane SIFs with axial force
    B3112,         // B31.12 (2019) Part IP: the B31.3 equations
    InOutPlane,    // B31.1 (1967), B31.5 (2016): in- and out-of-plane SIFs, no axial term
    Class2,        // ASME Section III Class 2 (1980, 1986, 1992, 2015, 2017) and Class 3 (2017),
                   // NC/ND-3650 (class2_stress.h)
    En13480,       // EN 13480-3 (2017) clause 12.3 (en13480_stress.h)
    Pipeline,      // B31.4 (2019), B31.8 (2018), CSA Z662 (2015) (pipeline_stress.h)
};
StressRules stress_rules(int32_t piping_code);
// True for the codes whose stresses are evaluated.
bool code_stresses_available(int32_t piping_code);
// "Code stresses are not available for %s" with the code's long name.
std::string code_stresses_unavailable_text(int32_t piping_code);

// The table of stress intensification factors a code takes.
enum class SifTable {
    None,          // no computed SIFs (codes without stresses): only the user's
    B313,          // B31.3 (2018) Appendix D, Table D300 (in- and out-of-plane)
    B311,          // B31.1 (2018) Mandatory Appendix D, Table D-1 (one SIF)
    Chart,         // the older in- and out-of-plane chart of B31.1 (1967) and B31.5 (2016), whose
                   // elbow, miter and tee formulas EN 13480-3 Table H.1, B31.4 Table 402.1-1,
                   // B31.8 Appendix E and Z662 take
};
SifTable sif_table(int32_t piping_code);

// True when the code's stresses take separate in-plane and out-of-plane
// SIFs (the in/out-plane force table): the codes of the B31.3 group and any
// code under "Use B31J for SIFs and Flexibility Factors".
bool code_has_in_out_plane_sifs(int32_t piping_code, bool use_b31j);

// ---- Load cases --------------------------------------------------------------------

// The code stress a load case gets. Only the cases with a stress label
// (the force tables' stress column) get one; every other case has none.
enum class CaseStress {
    None,
    Sustained,     // 1 Sustained (W+P): SL, at the largest pressure of the sets in use
    Expansion,     // 2-7, 51-99: SE, the Expansion cases and ranges
    Operating,     // 8-10, 100-106 Operating (W+Pk+Tk), every thermal set: Sopr
    Settlement,    // 11 Settlement (ASME Class 2/3, RCC-M, EN 13480 only): SS
    Occasional,    // 12, 13, 31, 35-37, 107-109: SL+SO
    Hydrotest,     // 19 Hydrotest: SL
};
CaseStress case_stress(int32_t load_case);

// The stress label of a load case's stress column: "SL", "SE", "Sopr",
// "SS", "SL+SO"; EN 13480 and CODETI in the standard force table "S1",
// "S3", "S6" (EN 13480 only), "S2" (`en_labels`). Empty for a case without a
// code stress.
std::string stress_label(int32_t load_case, int32_t piping_code, bool en_labels = false);

// The stress-ratio kind of the First-Level Checks and the stress-ratio
// colouring: which category the sorted stresses and ratios show.
enum StressRatioKind : int32_t {
    RATIO_SUSTAINED = 0,
    RATIO_EXPANSION = 1,
    RATIO_OCCASIONAL_STATIC = 2,   // occasional of Static analysis or the pipeline codes
    RATIO_OCCASIONAL = 3,
    RATIO_HOOP = 4,                // the pipeline codes' hoop stress
};
// Under no code the same kind names the principal stress shown instead.
enum NoCodeStressKind : int32_t {
    NO_CODE_VON_MISES = 0,
    NO_CODE_MAXIMUM = 1,
    NO_CODE_MINIMUM = 2,
};
// "Von Mises", "Maximum" or "Minimum" (any other kind: "Von Mises").
const char* no_code_stress_name(int32_t kind);
