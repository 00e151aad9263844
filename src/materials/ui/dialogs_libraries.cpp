#include "materials/ui/dialogs_libraries.h"

#include "framework/units.h"

namespace {
using K = ControlKind;
}  // namespace

const DialogTemplate MATLIB_CODE_DIALOG = {
    "MATLIB_CODE_DIALOG",
    "Piping Code",
    {
        control(MATLIB_CODE, K::Combo, "", 0, 0, 2),
        control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 100, 1),
    },
};

const DialogTemplate MATLIB_UNITS_DIALOG = {
    "MATLIB_UNITS_DIALOG",
    "Units",
    {
        control(MATLIB_DENSITY, K::Combo, "Density", 0, 0),
        control(MATLIB_TEMPERATURE, K::Combo, "Temperature", 1, 0),
        control(MATLIB_MODULUS, K::Combo, "Modulus", 2, 0),
        control(MATLIB_EXPANSION, K::Combo, "Thermal expansion", 3, 0),
        control(MATLIB_STRESS, K::Combo, "Stress", 4, 0),
        control(MATLIB_ALL_ENGLISH, K::Button, "All English", 0, 1),
        control(MATLIB_ALL_SI, K::Button, "All SI", 1, 1),
        control(MATLIB_ALL_METRIC, K::Button, "All Metric", 2, 1),
        control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 100, 1),
    },
};

const DialogTemplate VALVE_LIBRARY_DIALOGNEW = {
    "VALVE_LIBRARY_DIALOGNEW",
    "Valve Library",
    {
        control(VALVE_DESCRIPTION, K::Edit, "Description", 0, 0, 2, CF_NONE, 25),
        control(VALVE_ANSI + 0, K::Radio, "ANSI", 1, 0),
        control(VALVE_ANSI + 1, K::Radio, "DIN", 1, 1),
        control(VALVE_ANSI + 2, K::Radio, "JIS", 1, 2),
        control(VALVE_ANSI + 3, K::Radio, "ISO", 1, 3),
        control(VALVE_SIZE, K::Combo, "Nominal size", 2, 0),
        control(VALVE_OD, K::Edit, "OD", 2, 1, 1, CF_READONLY),
        unit_control(VALVE_OD_UNIT, 2, 2, DIMENSION),
        control(VALVE_RATING, K::Combo, "Rating", 3, 0),
        control(VALVE_CONNECTION, K::Combo, "Connection type", 4, 0),
        control(VALVE_TYPE, K::Combo, "Valve type", 5, 0),
        control(VALVE_LENGTH, K::Edit, "Length", 6, 0, 1, CF_NONE, 12),
        unit_control(VALVE_LENGTH_UNIT, 6, 1, LENGTH),
        control(VALVE_WEIGHT, K::Edit, "Weight", 7, 0, 1, CF_NONE, 12),
        unit_control(VALVE_WEIGHT_UNIT, 7, 1, WEIGHT),
        control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 100, 1),
    },
};
