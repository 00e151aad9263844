#include "model/ui/dialogs_model_file.h"

namespace {
using K = ControlKind;
}

const DialogTemplate NEW_DIALOG = {
    "NEW_DIALOG",
    "New",
    {
        control(0, K::Group, "Create a new", 0, 0, 1, CF_NONE, 0, NEW_CHOICE_COUNT),
        control(NEW_MODEL, K::Radio, "&Model (.mod)", 0, 0, 1, CF_CHECKED),
        control(NEW_MATERIAL_LIBRARY, K::Radio, "M&aterial Library (.mat)", 1, 0),
        control(NEW_SPECTRUM_LIBRARY, K::Radio, "&Spectrum Library (.spe)", 2, 0),
        control(NEW_VALVE_LIBRARY, K::Radio, "&Valve Library (.val)", 3, 0),
        control(NEW_BEAM_LIBRARY, K::Radio, "&Beam Library (.bli)", 4, 0),
        control(NEW_FLANGE_EVALUATION, K::Radio, "&Flange Evaluation (.flg)", 5, 0),
        control(NEW_NOZZLE_EVALUATION, K::Radio, "&Nozzle Evaluation (.noz)", 6, 0),
        control(NEW_LUG_EVALUATION, K::Radio, "&Lug Evaluation (.lug)", 7, 0),
        control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 100, 1),
    },
};
