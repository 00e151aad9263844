#include "analysis/ui/analysis_dialogs_ui.h"

#include "analysis/ui/analysis_ui.h"

namespace {

using K = ControlKind;

}  // namespace

const DialogTemplate ANALYSIS_DIALOG = {
    "ANALYSIS_DIALOG",
    "Analysis",
    {
        control(ANALYSIS_STEP_TEXT, K::Static, "Starting the analysis", 0, 0, 3),
        control(ANALYSIS_DETAIL_TEXT, K::Static, "", 1, 0, 3, CF_MULTILINE, 0, 2),
        control(IDCANCEL, K::Button, "Cancel", 100, 1, 1, CF_DEFAULT),
    },
    240,
    0,
};

// Each list stands in its frame with the buttons that serve it beside it,
// so that Tab goes as the dialog reads: the available cases, Add and
// Remove, the chosen cases, their buttons, the switches, OK and Cancel.
const DialogTemplate LOAD_CASES_DIALOG = {
    "LOAD_CASES_DIALOG",
    "Load Cases",
    {
        control(0, K::Group, "Available load cases", 0, 0, 2, CF_NONE, 0, 10),
        control(LOAD_CASES_AVAILABLE, K::List, "", 0, 0, 1, CF_NONE, 0, 10),
        control(LOAD_CASES_ADD, K::Button, "&Add >>", 1, 1),
        control(LOAD_CASES_REMOVE, K::Button, "<< &Remove", 2, 1),
        control(0, K::Group, "Chosen load cases, in the order of the run", 0, 2, 2, CF_NONE, 0, 10),
        control(LOAD_CASES_CHOSEN, K::List, "", 0, 2, 1, CF_NONE, 0, 10),
        control(LOAD_CASES_UP, K::Button, "Move &Up", 1, 3),
        control(LOAD_CASES_DOWN, K::Button, "Move Do&wn", 2, 3),
        control(LOAD_CASES_DEFAULTS, K::Button, "&Defaults", 4, 3),
        control(LOAD_CASES_STIFFNESS_EXPORT, K::Check, "Write the element stiffness matrices (_K.csv)", 10, 0, 4),
        control(LOAD_CASES_MODAL_FORCES_EXPORT, K::Check, "Write the end forces of every mode (_modal_forces.csv)", 11, 0, 4),
        control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 100, 2),
    },
};
