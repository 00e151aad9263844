#include "supports/ui/support_dialogs.h"

#include "framework/units.h"

namespace {

using K = ControlKind;

void add(DialogTemplate& t, ControlSpec c)
{
    t.controls.push_back(std::move(c));
}

// A value field: its edit box (12 characters) and its unit beside it.
void add_value(DialogTemplate& t, int item, int unit_item, const char* label, int row, int quantity)
{
    add(t, control(item, K::Edit, label, row, 0, 1, CF_NONE, 12));
    add(t, unit_control(unit_item, row, 1, quantity));
}

void add_tag(DialogTemplate& t, int row)
{
    add(t, control(SUP_TAG, K::Edit, "&Tag", row, 0, 1, CF_NONE, 14));
}

void add_connected(DialogTemplate& t, int row)
{
    add(t, control(SUP_CONNECTED, K::Edit, "&Connected node", row, 0, 1, CF_NONE, 7));
}

// The six stiffnesses in a group from `row` on.
void add_stiffnesses(DialogTemplate& t, int row, const char* caption)
{
    static const char* const labels[6] = {"K&X", "K&Y", "K&Z", "KXX", "KYY", "KZZ"};
    add(t, control(0, K::Group, caption, row, 0, 2, CF_NONE, 0, 6));
    for (int i = 0; i < 6; ++i) {
        add(t, control(SUP_STIFFNESS + i, K::Edit, labels[i], row + i, 0, 1, CF_NONE, 12));
        add(t, unit_control(SUP_STIFFNESS_UNIT + i, row + i, 1, i < 3 ? STIFFNESS : ROT_STIFFNESS));
    }
}

// The set chooser and the six values of the specified displacements.
void add_displacements(DialogTemplate& t, int row)
{
    static const char* const labels[6] = {"DX", "DY", "DZ", "RX", "RY", "RZ"};
    add(t, control(0, K::Group, "Specified displacements", row, 0, 2, CF_NONE, 0, 7));
    add(t, control(SUP_DISPLACEMENT_SET, K::Combo, "&Set", row, 0));
    for (int i = 0; i < 6; ++i) {
        add(t, control(SUP_DISPLACEMENT + i, K::Edit, labels[i], row + 1 + i, 0, 1, CF_NONE, 12));
        add(t, unit_control(SUP_DISPLACEMENT_UNIT + i, row + 1 + i, 1, i < 3 ? DISPLACEMENT : ANGLE));
    }
}

void add_direction(DialogTemplate& t, int row, const char* caption)
{
    static const char* const labels[3] = {"X comp", "Y comp", "Z comp"};
    add(t, control(0, K::Group, caption, row, 0, 2, CF_NONE, 0, 3));
    for (int i = 0; i < 3; ++i)
        add(t, control(SUP_DIRECTION + i, K::Edit, labels[i], row + i, 0, 1, CF_NONE, 12));
}

void add_spring(DialogTemplate& t, int row, int quantity)
{
    add_value(t, SUP_SPRING, SUP_SPRING_UNIT, "&Stiffness", row, quantity);
}

void add_buttons(DialogTemplate& t, int row)
{
    add(t, control(IDOK, K::Button, "OK", row, 0, 1, CF_DEFAULT));
    add(t, control(IDCANCEL, K::Button, "Cancel", row, 1));
}

DialogTemplate make_anchor()
{
    DialogTemplate t{"ANCHOR_DIALOG", "Anchor at node %s", {}};
    add_tag(t, 0);
    add_stiffnesses(t, 1, "Stiffness (Rigid when empty, 0 free)");
    add(t, control(ANCHOR_LOCAL_AXES, K::Check, "&Local coordinate system", 7, 0, 2));
    add(t, control(0, K::Group, "Free for hanger selection", 8, 0, 2, CF_NONE, 0, 3));
    static const char* const releases[6] = {"X", "Y", "Z", "XX", "YY", "ZZ"};
    for (int i = 0; i < 6; ++i)
        add(t, control(ANCHOR_RELEASE + i, K::Check, releases[i], 8 + i % 3, i / 3));
    add_displacements(t, 11);
    add(t, control(ANCHOR_LOCAL_DISPLACEMENTS, K::Check, "Displacements in local &coordinates", 18, 0, 2));
    add_buttons(t, 19);
    return t;
}

DialogTemplate make_restraint()
{
    DialogTemplate t{"RESTRAINT_DIALOG", "Restraint at node %s", {}};
    add_tag(t, 0);
    add(t, control(0, K::Group, "Restrained", 1, 0, 2, CF_NONE, 0, 2));
    add(t, control(RESTRAINT_X, K::Check, "&X", 1, 0));
    add(t, control(RESTRAINT_X + 1, K::Check, "&Y", 1, 1));
    add(t, control(RESTRAINT_X + 2, K::Check, "&Z", 2, 0));
    add_buttons(t, 3);
    return t;
}

DialogTemplate make_skewed()
{
    DialogTemplate t{"SKEWED_RESTRAINT_DIALOG", "Skewed restraint at node %s", {}};
    add_tag(t, 0);
    add(t, control(SKEWED_TRANSLATIONAL, K::Radio, "T&ranslational", 1, 0));
    add(t, control(SKEWED_ROTATIONAL, K::Radio, "R&otational", 1, 1));
    add_spring(t, 2, STIFFNESS);
    add_direction(t, 3, "Direction");
    add_connected(t, 6);
    add_buttons(t, 7);
    return t;
}

DialogTemplate make_hanger()
{
    DialogTemplate t{"HANGER_DIALOG", "Hanger at node %s", {}};
    add_tag(t, 0);
    add(t, control(HANGER_TYPE, K::Combo, "T&ype", 1, 0, 2));
    add(t, control(HANGER_COUNT, K::Edit, "&Number of hangers", 2, 0, 1, CF_NONE, 2));
    add(t, control(0, K::Group, "User hanger", 3, 0, 2, CF_NONE, 0, 3));
    add_value(t, HANGER_RATE, HANGER_RATE_UNIT, "Spring &rate", 3, STIFFNESS);
    add_value(t, HANGER_LOAD, HANGER_LOAD_UNIT, "&Load", 4, FORCE);
    add(t, control(HANGER_HOT, K::Radio, "&Hot load", 5, 0));
    add(t, control(HANGER_COLD, K::Radio, "C&old load", 5, 1));
    add(t, control(0, K::Group, "Spring hanger", 6, 0, 2, CF_NONE, 0, 2));
    add(t, control(HANGER_VARIATION, K::Edit, "Load &variation", 6, 0, 1, CF_NONE, 2));
    add(t, control(0, K::Static, "(%)", 6, 1));
    add(t, control(HANGER_SHORT_RANGE, K::Check, "&Short range", 7, 0));
    add_connected(t, 8);
    add_buttons(t, 9);
    return t;
}

DialogTemplate make_guide()
{
    DialogTemplate t{"GUIDE_DIALOG", "Guide at node %s", {}};
    add_tag(t, 0);
    add_value(t, SUP_GAP, SUP_GAP_UNIT, "&Gap", 1, DISPLACEMENT);
    add_spring(t, 2, STIFFNESS);
    add(t, control(SUP_MU, K::Edit, "&Friction coefficient", 3, 0, 1, CF_NONE, 12));
    add_connected(t, 4);
    add_buttons(t, 5);
    return t;
}

DialogTemplate make_limit_stop()
{
    DialogTemplate t{"LIMIT_STOP_DIALOG", "Limit stop at node %s", {}};
    add_tag(t, 0);
    add_value(t, STOP_LOWER, STOP_LOWER_UNIT, "&Lower limit", 1, DISPLACEMENT);
    add_value(t, STOP_UPPER, STOP_UPPER_UNIT, "&Upper limit", 2, DISPLACEMENT);
    add_direction(t, 3, "Direction");
    add_spring(t, 6, STIFFNESS);
    add(t, control(SUP_MU, K::Edit, "&Friction coefficient", 7, 0, 1, CF_NONE, 12));
    add_connected(t, 8);
    add_buttons(t, 9);
    return t;
}

DialogTemplate make_nozzle()
{
    DialogTemplate t{"NOZZLE_DIALOG", "Nozzle at node %s", {}};
    add_tag(t, 0);
    add(t, control(0, K::Group, "Vessel", 1, 0, 3, CF_NONE, 0, 1));
    add(t, control(NOZZLE_WRC297, K::Radio, "&Cylinder (WRC 297)", 1, 0));
    add(t, control(NOZZLE_API650, K::Radio, "&Tank (API 650)", 1, 1));
    add(t, control(NOZZLE_PD5500, K::Radio, "&Sphere (PD 5500)", 1, 2));
    static const char* const labels[NOZZLE_FIELDS] = {"Nozzle &OD",      "Nozzle thic&kness", "&Vessel OD",
                                                       "Vessel t&hickness", "Length &1",         "Length &2",
                                                       "Vessel &modulus"};
    static const int quantities[NOZZLE_FIELDS] = {DIMENSION, DIMENSION, DIMENSION, DIMENSION, LENGTH, LENGTH, MODULUS};
    for (int i = 0; i < NOZZLE_FIELDS; ++i) {
        add(t, control(NOZZLE_OD + i, K::Edit, labels[i], 2 + i, 0, 1, CF_NONE, 12));
        add(t, unit_control(NOZZLE_FIELD_UNIT + i, 2 + i, 1, quantities[i]));
    }
    add_direction(t, 9, "Vessel axis");
    add(t, control(NOZZLE_PAD, K::Check, "Reinforcing &pad", 12, 0));
    add_displacements(t, 13);
    add_buttons(t, 20);
    return t;
}

DialogTemplate make_snubber()
{
    DialogTemplate t{"SNUBBER_DIALOG", "Snubber at node %s", {}};
    add_tag(t, 0);
    add_spring(t, 1, STIFFNESS);
    add_direction(t, 2, "Direction");
    add_buttons(t, 5);
    return t;
}

DialogTemplate make_generic()
{
    DialogTemplate t{"GENERIC_SUPPORT_DIALOG", "Generic support at node %s", {}};
    add_stiffnesses(t, 0, "Springs (none when empty)");
    add_buttons(t, 6);
    return t;
}

}  // namespace

const DialogTemplate ANCHOR_DIALOG = make_anchor();
const DialogTemplate RESTRAINT_DIALOG = make_restraint();
const DialogTemplate SKEWED_RESTRAINT_DIALOG = make_skewed();
const DialogTemplate HANGER_DIALOG = make_hanger();
const DialogTemplate GUIDE_DIALOG = make_guide();
const DialogTemplate LIMIT_STOP_DIALOG = make_limit_stop();
const DialogTemplate NOZZLE_DIALOG = make_nozzle();
const DialogTemplate SNUBBER_DIALOG = make_snubber();
const DialogTemplate GENERIC_SUPPORT_DIALOG = make_generic();
