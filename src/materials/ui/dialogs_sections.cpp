#include "materials/ui/dialogs_sections.h"

#include "framework/units.h"

namespace {
using K = ControlKind;
}  // namespace

const DialogTemplate SECTION_DIALOG = {
    "SECTION_DIALOG",
    "Section # %d",
    {
        control(SEC_NAME, K::Edit, "Section name", 0, 0, 1, CF_NONE, 5),
        control(SEC_ANSI + 0, K::Radio, "ANSI", 1, 0),
        control(SEC_ANSI + 1, K::Radio, "DIN", 1, 1),
        control(SEC_ANSI + 2, K::Radio, "JIS", 2, 0),
        control(SEC_ANSI + 3, K::Radio, "ISO", 2, 1),
        control(SEC_NOMINAL, K::Combo, "Nominal diameter", 3, 0),
        control(SEC_SCHEDULE, K::Combo, "Schedule", 4, 0),
        control(SEC_OD, K::Edit, "Outside diameter", 5, 0),
        unit_control(SEC_OD_UNIT, 5, 1, DIMENSION),
        control(SEC_THICKNESS, K::Edit, "Thickness", 6, 0),
        unit_control(SEC_THICKNESS_UNIT, 6, 1, DIMENSION),
        control(SEC_CORROSION, K::Edit, "Corrosion allowance", 7, 0),
        unit_control(SEC_CORROSION_UNIT, 7, 1, DIMENSION),
        control(SEC_MILL_TOLERANCE, K::Edit, "Mill tolerance", 8, 0),
        control(0, K::Static, "(%)", 8, 1),
        control(SEC_INS_DENSITY, K::Edit, "Insulation :  Density", 9, 0),
        unit_control(SEC_INS_DENSITY_UNIT, 9, 1, WEIGHT_DENSITY),
        control(SEC_INS_THICKNESS, K::Edit, "Thickness", 10, 0),
        unit_control(SEC_INS_THICKNESS_UNIT, 10, 1, DIMENSION),
        control(SEC_LIN_DENSITY, K::Edit, "Lining :  Density", 11, 0),
        unit_control(SEC_LIN_DENSITY_UNIT, 11, 1, WEIGHT_DENSITY),
        control(SEC_LIN_THICKNESS, K::Edit, "Thickness", 12, 0),
        unit_control(SEC_LIN_THICKNESS_UNIT, 12, 1, DIMENSION),
        control(SEC_SOIL_LABEL, K::Static, "Soil", 13, 0, 1, CF_DISABLED),
        control(SEC_SOIL, K::Combo, "", 13, 1, 1, CF_DISABLED),
        control(SEC_INSULATION_BUTTON, K::Button, "&Insulation", 14, 0),
        control(IDOK, K::Button, "OK", 15, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 15, 1),
    },
};

const DialogTemplate INSULATION_DIALOG = {
    "INSULATION_DIALOG",
    "Insulation Densities",
    {
        control(INSULATION_TABLE, K::Table, "", 0, 0, 2, CF_NONE, 0, 13),
        control(IDOK, K::Button, "OK", 13, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 13, 1),
    },
};

const DialogTemplate SOIL_DIALOG = {
    "SOIL_DIALOG",
    "Soil # %d",
    {
        control(SOIL_NAME, K::Edit, "Soil name", 0, 0, 1, CF_NONE, 3),
        control(SOIL_COHESIVE_BUTTON, K::Radio, "Cohesive", 1, 0),
        control(SOIL_COHESIONLESS_BUTTON, K::Radio, "Cohesionless", 1, 1),
        control(SOIL_DENSITY, K::Edit, "Density", 2, 0),
        unit_control(SOIL_DENSITY_UNIT, 2, 1, WEIGHT_DENSITY),
        control(SOIL_STRENGTH_LABEL, K::Static, "Strength", 3, 0),
        control(SOIL_STRENGTH, K::Edit, "", 3, 1),
        unit_control(SOIL_STRENGTH_UNIT, 3, 2, STRESS),
        control(SOIL_DELTA_LABEL, K::Static, "Delta", 4, 0),
        control(SOIL_DELTA, K::Edit, "", 4, 1),
        unit_control(SOIL_DELTA_UNIT, 4, 2, ANGLE),
        control(SOIL_KS_LABEL, K::Static, "Ks", 5, 0),
        control(SOIL_KS, K::Edit, "", 5, 1),
        control(SOIL_GROUND_LEVEL, K::Edit, "Ground level", 6, 0),
        unit_control(SOIL_GROUND_LEVEL_UNIT, 6, 1, LENGTH),
        control(SOIL_CHECK_INSULATION, K::Check, "Include Insulation thickness for computing maximum soil loads", 7,
                0, 3),
        control(IDOK, K::Button, "OK", 8, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 8, 1),
    },
};
