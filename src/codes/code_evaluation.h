// The piping-code evaluation of a solved model: a pure function of the
// analysis model (the snapshot the results were made from, or the model as
// read back with them) and the end forces of its load cases. It reads each
// needed load case's forces once, through the request's reader, and keeps
// what it found; nothing is computed again per table cell.
//
// What it gives, for the codes whose stresses are evaluated
// (code_catalog.h):
//   - the SIFs of every element end and the nodes' factors
//     (element_sifs.h), and each element's flexibility factors;
//   - for every results load case with a stress label (case_stress), the
//     code stress of each end of every pipe element (pipe, bend, miter,
//     jacketed pipe and bend, reducer; not FRP) with its allowable where the
//     code and the material data give one, and where they give none the
//     reason (Unchecked);
//   - under the pipeline codes, the hoop stress of each end in the cases
//     with pressure against the allowable of the code's factors;
//   - under no code, the von Mises, maximum and minimum principal stresses
//     of Static analysis (32) for the sorted stresses; those of any other
//     case are computed for the case a table shows (no_code_case_stresses).
//
// Allowables from the material's property table (column 3, the allowable
// stress, interpolated over temperature):
//   Sh of the sustained and occasional checks: the smallest at the
//     temperatures of the thermal sets in use (the hot allowable);
//   Sc and Sh of an Expansion (Tk) case: at the lower and the higher of the
//     reference temperature and Tk; of a range (Ti-Tj): at the lower and the
//     higher of Ti and Tj;
//   a value of 0 anywhere in the column (not given) leaves the allowables
//   of that material unchecked.
//
// The expansion stress is taken on the modulus the code asks for. The
// reference (ambient) modulus, whatever the options say, under the codes
// without the "Use cold modulus" option (code_has_cold_modulus_option):
//   B31.3 (para. 319.3.2: the displacement stress range on Ea, the modulus
//     at 70 degF) and B31.12 Part IP, which takes B31.3's rule;
//   B31.5 (para. 519.3.2: on the cold modulus Ec);
//   B31.4 (para. 402.2.2: flexibility calculations on the modulus at
//     ambient temperature);
//   B31.8 (SE of para. 833.8) and EN 13480-3 (sigma3 of clause 12.3.4,
//     i MC/Z): on the larger of E(reference) and E(case), so that the
//     stress range is never on the unsafe side: a case hotter than the
//     reference temperature on E(reference), a colder one (whose modulus is
//     the larger) on its own; a range on the largest of E(reference) and
//     the moduli of its two cases;
// under the other codes the reference modulus with "Use cold modulus" on,
// else the modulus at the case's temperature. The analysis records which
// modulus its expansion forces were solved with (ExpansionModulus); where
// that is not the one asked for, each end's expansion forces are scaled by
// the ratio of the two moduli of its material (exact for a line of one
// material at one temperature), and a range is made of its two scaled
// cases; the case keeps the factors (CaseStresses::scaled) so that the
// reports can say them beside the stresses.
#pragma once

#include "codes/class2_stress.h"
#include "codes/code_catalog.h"
#include "codes/code_stress.h"
#include "codes/element_sifs.h"
#include "codes/frp_stress.h"
#include "framework/one_based.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct AnalysisModel;

// E(reference) / E(temperature) of a material: the factor an expansion
// case's forces, solved on the modulus at the temperature, are taken on the
// reference modulus with.
struct ModulusScale {
    std::string material;
    double temperature = 0.0;   // degF
    double factor = 1.0;
    bool operator==(const ModulusScale&) const = default;
};

// The twelve end forces of an element in its local axes: first end FX, FY,
// FZ, MX, MY, MZ, then the second end's (lb, in-lb), as the results file
// holds them.
using ElementForces = std::array<float, 12>;
// Reads the end forces of elements 1..E of the results load case with this
// code into `out` (sized E).
using CaseForceReader = std::function<void(int32_t code, OneBased<ElementForces>& out)>;

// The modulus the expansion cases were solved with.
enum class ExpansionModulus {
    CaseTemperature,   // the modulus of each element at the case's temperature
    Reference,         // the modulus at the reference temperature
};

struct CodeStressRequest {
    const AnalysisModel* model = nullptr;
    // The results load-case codes (in display order).
    std::vector<int32_t> load_cases;
    CaseForceReader forces;
    ExpansionModulus solved_with = ExpansionModulus::CaseTemperature;
};

// Why an evaluated stress has no allowable: every way an end can go
// unchecked, each with its text (unchecked_text).
enum class Unchecked : uint8_t {
    None,                  // checked, or not evaluated
    AllowablesNotGiven,    // column 3 of the material is 0 somewhere
    YieldNotGiven,         // the pipeline codes' S: neither the strength nor column 4
    YieldColumnNotGiven,   // ASME Class 2/3 Sy: column 4 is 0 somewhere
    StrengthNotGiven,      // B31.3, B31.12 hydrotest: the material's yield strength
    TemperatureBeyondTable,// B31.8, Z662: no temperature factor beyond their tables
    CyclesBeyondTable,     // EN 13480: no range factor U beyond its table
    TensileNotHeld,        // B31.8 SA: the material holds no tensile strength
    SustainedNotAnalysed,  // B31.8 SA: SL of the Sustained case, which the results lack
    NoCodeLimit,           // the code sets no allowable for the stress
    NotHeld,               // the code's allowable is not one the program holds
    NotPositive,           // the allowable works out at zero or less
};
// "the material has no specified minimum yield strength", ...: what a row
// says after "Not checked: ".
const char* unchecked_text(Unchecked why);
// What a table shows in place of an allowable that does not apply: "Not
// checked", and ": " with the reason where there is one.
std::string not_checked_text(Unchecked why);

// One end's code stress in one load case.
struct EndStress {
    float stress = 0.0f;
    float allowable = 0.0f;
    bool evaluated = false;     // a stress was computed
    bool checked = false;       // and an allowable applies
    Unchecked unchecked = Unchecked::None;   // why not, where evaluated and not checked
    // Stress over allowable; 0 when not checked.
    double ratio() const { return checked && allowable > 0.0f ? double(stress) / allowable : 0.0; }
};
using EndStresses = std::array<EndStress, 2>;   // [0] node 1, [1] node 2

// The code stresses of one load case, by element index (only pipe
// elements evaluated).
struct CaseStresses {
    int32_t code = 0;
    CaseStress kind = CaseStress::None;
    OneBased<EndStresses> ends;
    // The per-end checks an expansion case adds under the codes that have
    // them (empty otherwise): `combined` ASME Class 2/3 Eq. (11) at every
    // end, EN 13480 sigma4 where sigma3 exceeds fa; `creep` EN 13480 sigma5
    // where the material gives fCR.
    OneBased<EndStresses> combined;
    OneBased<EndStresses> creep;
    // The pipeline codes: the hoop stress P D/2t of every end of a case with
    // a pressure (Sustained, Operating, Hydrotest) and its allowable (empty
    // in other cases and under other codes; an end without pressure is not
    // evaluated).
    OneBased<EndStresses> hoop;
    // An expansion case whose forces were scaled to the modulus the code asks
    // for (scaled_to_reference): the factor of each material and temperature
    // of its elements; with `difference` a range made of its two cases, each
    // scaled by its own factor before the one is taken from the other.
    std::vector<ModulusScale> scaled;
    bool difference = false;
    // B31.8 and EN 13480: the modulus asked for is the larger of E(reference)
    // and E(case); the forces were solved on E(reference) (a results file
    // that says so), else on E(case).
    bool larger_modulus = false;
    bool solved_on_reference = false;
};

// The FRP stresses of every end of the FRP elements in one load case
// (frp_stress.h), by element index.
struct FrpCaseStresses {
    int32_t code = 0;
    OneBased<std::array<FrpEndStress, 2>> ends;
};

struct CodeStressResults {
    int32_t piping_code = 0;
    bool stresses_available = false;   // the code's stresses are evaluated
    ModelSifs sifs;
    // The evaluated elements (pipe elements with a section and material).
    OneBased<uint8_t> evaluated;
    std::vector<CaseStresses> cases;   // in the order of the request's load cases
    // No code: the principal stresses of Static analysis (0 when absent).
    int32_t principal_case = 0;
    OneBased<std::array<PrincipalStresses, 2>> principal;
    // ASME Class 2/3: the primary stress indices of each end.
    OneBased<std::array<B1B2, 2>> indices;
    // The pipeline codes and EN 13480: the buried (soil-restrained) elements.
    OneBased<uint8_t> buried;
    // The sustained stress SL of each end that the tables call "sustained":
    // under ASME Class 2/3 P Do/4tn + 0.75 i MA/Z (the term of Eq. (11)), its
    // Eq. (8) being the sustained case's stress; under the pipeline codes for
    // buried elements the restrained longitudinal stress without the thermal
    // term; else the sustained case's stress.
    OneBased<std::array<EndStress, 2>> sustained_term;
    // FRP: the evaluated FRP elements and their stresses in every load case
    // with a code stress (in the request's order).
    OneBased<uint8_t> frp;
    std::vector<FrpCaseStresses> frp_cases;
    CodeNotes notes;

    // The stresses of a load case; null when it has none.
    const CaseStresses* find(int32_t code) const;
    const FrpCaseStresses* find_frp(int32_t code) const;
};

// The whole evaluation. Throws the reader's message when forces cannot be
// read; a model whose code has no stresses gives its SIFs only (and the
// "not available" note).
CodeStressResults evaluate_code_stresses(const CodeStressRequest& request);

// The no-code stresses of one load case at each end of every evaluated
// element, from that case's forces (the current case of a table).
OneBased<std::array<PrincipalStresses, 2>> no_code_case_stresses(const AnalysisModel& model,
                                                                  const CodeStressResults& results,
                                                                  int32_t load_case,
                                                                  const OneBased<ElementForces>& forces);

// The moments of an element end as the code takes them: torsion, and the
// in-plane and out-of-plane moments (the local mz and my, or those about
// the branch plane at a branch junction under a code of in- and
// out-of-plane SIFs).
EndLoads end_loads(const ElementForces& forces, int end);
