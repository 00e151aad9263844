#include "elements/ui/dialogs_attributes.h"

#include "elements/attribute_dialog_ids.h"
#include "framework/units.h"

namespace {

using K = ControlKind;

DialogTemplate user_sif3_dialog()
{
    DialogTemplate t{"USER_SIF3_DIALOG", "User SIF", {}};
    auto add = [&t](ControlSpec c) { t.controls.push_back(std::move(c)); };
    add(control(0, K::Static, "Sustained SCF", 0, 1));
    add(control(0, K::Static, "Cyclic SCF", 0, 2));
    const char* rows[] = {"Pressure", "Bending", "Thrust", "Torsion", "Shear"};
    for (int i = 0; i < 5; ++i) {
        add(control(0, K::Static, rows[i], 1 + i, 0));
        add(control(USER_SIF_SCF_FIRST + i, K::Edit, "", 1 + i, 1, 1, CF_NONE, 10));
        add(control(USER_SIF_SCF_FIRST + 5 + i, K::Edit, "", 1 + i, 2, 1, CF_NONE, 10));
    }
    add(control(IDOK, K::Button, "OK", 6, 0, 1, CF_DEFAULT));
    add(control(IDCANCEL, K::Button, "Cancel", 6, 1));
    return t;
}

}  // namespace

const DialogTemplate JPIPE_DIALOG = {
    "JPIPE_DIALOG",
    "Jacketed pipe",
    {
        control(JPIPE_MATERIAL, K::Combo, "Jacket &Material", 0, 0),
        control(JPIPE_SECTION, K::Combo, "Jacket &Section", 1, 0),
        control(JPIPE_LOAD, K::Combo, "Jacket &Load", 2, 0),
        control(IDOK, K::Button, "OK", 3, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 3, 1),
    },
};

const DialogTemplate FLANGE_DIALOG = {
    "FLANGE_DIALOG",
    "Flange",
    {
        control(FLANGE_TYPE, K::Combo, "Type", 0, 0, 2),
        control(FLANGE_WEIGHT, K::Edit, "Weight", 1, 0, 1, CF_NONE, 12),
        unit_control(FLANGE_WEIGHT_UNIT, 1, 1, WEIGHT),
        control(FLANGE_GASKET, K::Edit, "Gasket Diameter", 2, 0, 1, CF_NONE, 12),
        unit_control(FLANGE_GASKET_UNIT, 2, 1, DIMENSION),
        control(FLANGE_PRESSURE, K::Edit, "Allowable Pressure", 3, 0, 1, CF_NONE, 12),
        unit_control(FLANGE_PRESSURE_UNIT, 3, 1, PRESSURE),
        control(FLANGE_ANSI_LIBRARY, K::Button, "ANSI &Library", 4, 0),
        control(FLANGE_EUROPEAN_LIBRARY, K::Button, "&European Library", 4, 1),
        control(IDOK, K::Button, "OK", 5, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 5, 1),
    },
};

const DialogTemplate FLANGE_LIBRARY_DIALOG = {
    "FLANGE_LIBRARY_DIALOG",
    "Flange Library",
    {
        control(FLANGE_LIBRARY_SIZE, K::Static, "Size = ", 0, 0, 2),
        control(FLANGE_LIBRARY_TABLE, K::Table, "", 1, 0, 2, CF_NONE, 0, 7),
        control(FLANGE_LIBRARY_NOTE, K::Static, "Weight is of 2 flanges", 8, 0, 2),
        control(FLANGE_LIBRARY_UNKNOWN, K::Static, "", 9, 0, 2),
        control(FLANGE_LIBRARY_SINGLE, K::Check, "Include weight for single flange", 10, 0, 2),
        control(IDOK, K::Button, "OK", 11, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 11, 1),
    },
};

const DialogTemplate BRANCH_SIF_DIALOG = {
    "BRANCH_SIF_DIALOG",
    "Branch SIF",
    {
        control(BRANCH_SIF_TYPE, K::Combo, "Type", 0, 0, 3),
        control(BRANCH_SIF_LABEL1, K::Static, "", 1, 0, 1, CF_HIDDEN),
        control(BRANCH_SIF_VALUE1, K::Edit, "", 1, 1, 1, CF_HIDDEN, 12),
        unit_control(BRANCH_SIF_UNIT1, 1, 2, DIMENSION),
        control(BRANCH_SIF_LABEL2, K::Static, "", 2, 0, 1, CF_HIDDEN),
        control(BRANCH_SIF_LABEL3, K::Static, "", 3, 0, 1, CF_HIDDEN),
        control(BRANCH_SIF_VALUE2, K::Edit, "", 3, 1, 1, CF_HIDDEN, 12),
        unit_control(BRANCH_SIF_UNIT2, 3, 2, DIMENSION),
        control(BRANCH_SIF_FLANGES_LABEL, K::Static,
                "No. of Flanges or Rigids at Run Pipe ends located within 0.1D^1.4/T^0.4", 4, 0, 2, CF_DISABLED),
        control(BRANCH_SIF_FLANGES, K::Edit, "", 4, 2, 1, CF_DISABLED, 4),
        control(IDOK, K::Button, "OK", 5, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 5, 1),
    },
};

const DialogTemplate USER_SIF1_DIALOG = {
    "USER_SIF1_DIALOG",
    "User SIF",
    {
        control(USER_SIF_IN, K::Edit, "SIF", 0, 0, 1, CF_NONE, 10),
        control(IDOK, K::Button, "OK", 1, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 1, 1),
    },
};

const DialogTemplate USER_SIF2_DIALOG = {
    "USER_SIF2_DIALOG",
    "User SIF",
    {
        control(USER_SIF_IN, K::Edit, "In Plane", 0, 0, 1, CF_NONE, 10),
        control(USER_SIF_OUT, K::Edit, "Out of Plane", 0, 1, 1, CF_NONE, 10),
        control(USER_SIF_AXIAL_LABEL, K::Static, "Axial", 1, 0, 1, CF_DISABLED),
        control(USER_SIF_AXIAL, K::Edit, "", 1, 1, 1, CF_DISABLED, 10),
        control(USER_SIF_TORSION_LABEL, K::Static, "Torsion", 2, 0, 1, CF_DISABLED),
        control(USER_SIF_TORSION, K::Edit, "", 2, 1, 1, CF_DISABLED, 10),
        control(IDOK, K::Button, "OK", 3, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 3, 1),
    },
};

const DialogTemplate USER_SIF3_DIALOG = user_sif3_dialog();

const DialogTemplate WELD_DIALOG = {
    "WELD_DIALOG",
    "Weld",
    {
        control(WELD_TYPE, K::Combo, "Type", 0, 0, 2),
        control(WELD_MISMATCH_LABEL, K::Static, "Mismatch", 1, 0),
        control(WELD_MISMATCH, K::Edit, "", 1, 1, 1, CF_NONE, 12),
        unit_control(WELD_MISMATCH_UNIT, 1, 2, DIMENSION),
        control(IDOK, K::Button, "OK", 2, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 2, 1),
    },
};
