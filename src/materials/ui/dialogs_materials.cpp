#include "materials/ui/dialogs_materials.h"

#include "framework/units.h"

namespace {

using K = ControlKind;

// variant 1: plain; 2: Nordic (two joint factors, tensile strength);
// 3: one strength whose label the procedure sets.
DialogTemplate make_material_dialog(const char* name, int variant)
{
    DialogTemplate t{name, "Material # %d", {}};
    auto& c = t.controls;
    c.push_back(control(MAT_NAME, K::Edit, "&Name", 0, 0, 1, CF_NONE, 5));
    c.push_back(control(MAT_DESCRIPTION, K::Edit, "&Description", 1, 0, 2, CF_NONE, 31));
    c.push_back(control(MAT_TYPE, K::Combo, "&Type", 2, 0, 2));
    c.push_back(control(MAT_DENSITY, K::Edit, "D&ensity", 3, 0, 1, CF_NONE, 12));
    c.push_back(unit_control(MAT_DENSITY_UNIT, 3, 1, DENSITY));
    c.push_back(control(MAT_NU, K::Edit, "N&u", 4, 0, 1, CF_NONE, 6));
    c.push_back(control(MAT_JOINT_FACTOR, K::Edit, variant == 2 ? "Long. joint factor" : "&Joint factor", 5, 0,
                        1, CF_NONE, 5));
    if (variant == 2)
        c.push_back(control(MAT_CIRC_JOINT_FACTOR, K::Edit, "Circ. joint factor", 6, 0, 1, CF_NONE, 5));
    if (variant == 2 || variant == 3) {
        c.push_back(control(MAT_STRENGTH_LABEL, K::Static, variant == 2 ? "Tensile strength" : "Yield strength",
                            7, 0));
        c.push_back(control(MAT_STRENGTH, K::Edit, "", 7, 1, 1, CF_NONE, 12));
        c.push_back(unit_control(MAT_STRENGTH_UNIT, 7, 2, STRESS));
    }
    c.push_back(control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT));
    c.push_back(control(IDCANCEL, K::Button, "Cancel", 100, 1));
    c.push_back(control(MAT_PROPERTIES, K::Button, "&Properties", 100, 2));
    c.push_back(control(MAT_LIBRARY, K::Button, "&Library", 100, 3));
    return t;
}

}  // namespace

const DialogTemplate MATERIAL1_DIALOG = make_material_dialog("MATERIAL1_DIALOG", 1);
const DialogTemplate MATERIAL2_DIALOG = make_material_dialog("MATERIAL2_DIALOG", 2);
const DialogTemplate MATERIAL3_DIALOG = make_material_dialog("MATERIAL3_DIALOG", 3);

const DialogTemplate MATERIAL_PROPERTIES_DIALOG = {
    "MATERIAL_PROPERTIES_DIALOG",
    "Material Properties",
    {
        control(MATPROP_GRID, K::Table, "", 0, 0, 4, CF_NONE, 0, 10),
        control(IDOK, K::Button, "&OK", 100, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "&Cancel", 100, 1),
    },
};

const DialogTemplate MATERIAL_TYPES_DIALOG = {
    "MATERIAL_TYPES_DIALOG",
    "Material Type",
    {
        control(MATTYPES_LIST, K::List, "", 0, 0, 2, CF_NONE, 0, 8),
        control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 100, 1),
    },
};

namespace {

// The browser of a library: its table, a line under it and the buttons.
DialogTemplate library_use_dialog(const char* name, const char* caption)
{
    return {name,
            caption,
            {
                control(LIBUSE_TABLE, K::Table, "", 0, 0, 3, CF_NONE, 0, 12),
                control(LIBUSE_NOTE, K::Static, "", 12, 0, 3),
                control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT),
                control(IDCANCEL, K::Button, "Cancel", 100, 1),
                control(LIBUSE_LIBRARY, K::Button, "&Library", 100, 2),
            }};
}

}  // namespace

const DialogTemplate LIBRARY_USE_DIALOG = library_use_dialog("LIBRARY_USE_DIALOG", "Material Library");
const DialogTemplate VALVE_LIBRARY_USE_DIALOG = library_use_dialog("VALVE_LIBRARY_USE_DIALOG", "Library");
