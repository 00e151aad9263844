// What the sorted-stress and code-compliance tables show, made from an
// evaluation's results (code_evaluation.h): the governing stress of each
// category at every element end, the sorted list of one category (or, under
// no code, of one principal stress of Static analysis), the compliance rows
// of every end and load case, and the range of the sorted values that the
// colour map of the views takes.
#pragma once

#include "codes/code_catalog.h"
#include "codes/code_evaluation.h"
#include "codes/code_records.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct Model;

// The category (code_records.h, the per-element evaluation array's layout)
// of a load case's code stress; -1 for none.
int governing_category(CaseStress kind);

// The governing stress of a category at an element end: of all the load
// cases of the category, the one of the largest ratio (where an allowable
// applies), else of the largest stress; `load_case` 0 when the category
// has none there.
struct GoverningStress {
    EndStress value;
    int32_t load_case = 0;
};
using GoverningRecord = std::array<std::array<GoverningStress, 2>, STRESS_CATEGORIES>;   // [category][end]
OneBased<GoverningRecord> governing_stresses(const CodeStressResults& results);

// Which check of a load case a row shows: the case's own equation, the
// combined per-end check an expansion case adds (ASME Class 2/3 Eq. (11),
// EN 13480 sigma4), EN 13480's creep check (sigma5), or the pipeline codes'
// hoop stress of a case with pressure.
enum class StressCheck { Case, Combined, Creep, Hoop };

// One element end's stress in a table.
struct StressRow {
    StressCheck check = StressCheck::Case;
    int32_t element = 0;
    int end = 0;                 // 0 node 1, 1 node 2
    int32_t node = 0;            // node index of that end
    int32_t load_case = 0;       // load-case code
    double stress = 0.0;
    double allowable = 0.0;
    bool checked = false;        // an allowable applies
    Unchecked unchecked = Unchecked::None;   // why not
    // Per cent of the allowable; 0 when not checked.
    double percent() const { return checked && allowable > 0.0 ? 100.0 * stress / allowable : 0.0; }
};

// How the sorted stresses are ordered (command 374 switches it).
enum class StressOrder {
    Ratio,     // largest ratio first; ends without an allowable after them by stress
    Stress,    // largest stress first
};

// The sorted stresses of the category a stress-ratio kind names:
// sustained (with the hydrotest's, where it is checked, in its own rows),
// expansion, occasional, or under the pipeline codes hoop; every evaluated
// element end once, with its governing case. Under no code: the von Mises (kind 0), maximum (1) or
// minimum (2) principal stress of Static analysis, largest first (the
// minimum most negative first).
std::vector<StressRow> sorted_stresses(const CodeStressResults& results, const Model& model, int32_t kind,
                                       StressOrder order);

// The code-compliance rows: every evaluated element end and every load case
// with a code stress, element by element, the first end before the second,
// load cases in the results' order; an expansion case's combined and creep
// checks, and a case's hoop stress, follow its own row where they were
// evaluated.
std::vector<StressRow> code_compliance_rows(const CodeStressResults& results, const Model& model);

// The smallest and largest stress of a sorted list (both 0 when empty), the
// colour range of the views' stress colouring.
struct StressRange {
    double smallest = 0.0;
    double largest = 0.0;
};
StressRange sorted_stress_range(const std::vector<StressRow>& rows);

// The name of a row's check in the code-compliance table: under EN 13480
// "σ1" (sustained, hydrotest), "σ2" (occasional), "σ3" (expansion), "σ4"
// (combined), "σ5" (creep), "σ6" (settlement); under ASME Class 2/3 the
// equation: "Eq. (8)", "Eq. (9)", "Eq. (10)", "Eq. (10a)", "Eq. (11)"; under
// the pipeline codes "Hoop" for the hoop stress and "Restrained" for the
// expansion check of a buried end; otherwise the case's stress label
// (code_catalog.h).
std::string compliance_check_label(const CodeStressResults& results, const StressRow& row);
