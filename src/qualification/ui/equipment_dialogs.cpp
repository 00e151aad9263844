#include "qualification/ui/equipment_dialogs.h"

#include "framework/unit_choices.h"

namespace {

using K = ControlKind;

DialogTemplate make_pump()
{
    DialogTemplate t{"PUMP_DIALOG", "Pump # %d", {}};
    auto add = [&t](ControlSpec c) { t.controls.push_back(std::move(c)); };
    add(control(PUMP_DESCRIPTION, K::Edit, "&Description", 0, 0, 2, CF_NONE, 15));
    add(control(PUMP_HORIZONTAL, K::Radio, "&Horizontal (API 610)", 1, 0));
    add(control(PUMP_VERTICAL, K::Radio, "&Vertical inline (API 610)", 1, 1));
    add(control(PUMP_ANSI_HI_RADIO, K::Radio, "&ANSI/HI 9.6.2", 1, 2));
    add(control(PUMP_HI_GROUP, K::Group, "ANSI/HI 9.6.2", 2, 0, 5, CF_NONE, 0, 5));
    add(control(PUMP_TYPE, K::Combo, "Pump &type", 2, 0, 2));
    add(control(PUMP_SIZE_LABEL, K::Static, "&Pump size", 3, 0));
    add(control(PUMP_SIZE, K::Combo, "", 3, 1, 2));
    add(control(PUMP_MOUNTING_LABEL, K::Static, "Mounting type", 4, 0));
    add(control(PUMP_MOUNTING, K::Combo, "", 4, 1, 2));
    add(control(PUMP_MATERIAL, K::Combo, "Material &group", 5, 0, 2));
    add(control(PUMP_TEMPERATURE, K::Edit, "T&emperature", 6, 0, 1, CF_NONE, 12));
    add(unit_control(PUMP_TEMPERATURE_UNIT, 6, 1, TEMPERATURE));
    add(control(PUMP_NOZZLE_GROUP, K::Group, "Nozzles", 7, 0, 5, CF_NONE, 0, 2));
    add(control(PUMP_SUCTION, K::Edit, "&Suction Node", 7, 0, 1, CF_NONE, 7));
    add(control(PUMP_SUCTION_LABEL, K::Static, "Location", 7, 1));
    add(control(PUMP_SUCTION_TOP, K::Radio, "Top", 7, 2));
    add(control(PUMP_SUCTION_TOP + 1, K::Radio, "Side", 7, 3));
    add(control(PUMP_SUCTION_TOP + 2, K::Radio, "End", 7, 4));
    add(control(PUMP_DISCHARGE, K::Edit, "&Discharge Node", 8, 0, 1, CF_NONE, 7));
    add(control(PUMP_DISCHARGE_LABEL, K::Static, "Location", 8, 1));
    add(control(PUMP_DISCHARGE_TOP, K::Radio, "Top", 8, 2));
    add(control(PUMP_DISCHARGE_TOP + 1, K::Radio, "Side", 8, 3));
    add(control(PUMP_DISCHARGE_TOP + 2, K::Radio, "End", 8, 4));
    add(control(PUMP_SHAFT_GROUP, K::Group, "Shaft axis direction", 9, 0, 4, CF_NONE, 0, 2));
    add(control(PUMP_CENTRE_GROUP, K::Group, "Location of the center of pump", 11, 0, 4, CF_NONE, 0, 2));
    static const char* const components[3] = {"X comp", "Y comp", "Z comp"};
    static const char* const coordinates[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        add(control(PUMP_SHAFT_LABEL + i, K::Static, components[i], 9, i));
        add(control(PUMP_SHAFT + i, K::Edit, "", 10, i, 1, CF_NONE, 12));
        add(control(PUMP_CENTRE_LABEL + i, K::Static, coordinates[i], 11, i));
        add(control(PUMP_CENTRE + i, K::Edit, "", 12, i, 1, CF_NONE, 12));
    }
    add(unit_control(PUMP_LENGTH_UNIT, 12, 3, LENGTH));
    add(control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT));
    add(control(IDCANCEL, K::Button, "Cancel", 100, 1));
    return t;
}

DialogTemplate make_compressor()
{
    DialogTemplate t{"COMPRESSOR_DIALOG", "Compressor", {}};
    auto add = [&t](ControlSpec c) { t.controls.push_back(std::move(c)); };
    add(control(COMPRESSOR_DESCRIPTION, K::Edit, "&Description", 0, 0, 1, CF_NONE, 15));
    static const char* const nodes[4] = {"&Inlet node", "&Exhaust node", "Extraction node &1", "Extraction node &2"};
    for (int i = 0; i < 4; ++i)
        add(control(COMPRESSOR_NODE + i, K::Edit, nodes[i], 1 + i, 0, 1, CF_NONE, 7));
    add(control(0, K::Group, "Shaft axis direction", 5, 0, 1, CF_NONE, 0, 3));
    static const char* const components[3] = {"&X comp", "&Y comp", "&Z comp"};
    for (int i = 0; i < 3; ++i)
        add(control(COMPRESSOR_SHAFT + i, K::Edit, components[i], 5 + i, 0, 1, CF_NONE, 12));
    add(control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT));
    add(control(IDCANCEL, K::Button, "Cancel", 100, 1));
    return t;
}

DialogTemplate make_allowable()
{
    DialogTemplate t{"ALLOWABLE_DIALOG", "Allowable", {}};
    auto add = [&t](ControlSpec c) { t.controls.push_back(std::move(c)); };
    add(control(ALLOWABLE_NODE, K::Edit, "&Node", 0, 0, 1, CF_NONE, 7));
    for (int i = 0; i < 6; ++i) {
        add(control(ALLOWABLE_LABEL + i, K::Static, "", 1 + i, 0));
        add(control(ALLOWABLE_VALUE + i, K::Edit, "", 1 + i, 1, 1, CF_NONE, 12));
    }
    add(control(0, K::Static,
                "Only for Nozzle, enter Radial (P), y Shear (VL,) z Shear (VC) , Torque (MT), Circ. Mom (MC) && "
                "Long. Mom (ML)",
                7, 0, 2, CF_MULTILINE));
    add(control(IDOK, K::Button, "OK", 100, 0, 1, CF_DEFAULT));
    add(control(IDCANCEL, K::Button, "Cancel", 100, 1));
    return t;
}

}  // namespace

const DialogTemplate PUMP_DIALOG = make_pump();
const DialogTemplate COMPRESSOR_DIALOG = make_compressor();
const DialogTemplate ALLOWABLE_DIALOG = make_allowable();
