#include "elements/ui/dialogs_elements.h"

#include "elements/element_dialog_ids.h"
#include "framework/units.h"

namespace {

using K = ControlKind;

// Both bend dialogs; the second has the out-of-plane factor and the
// out-of-plane, axial and torsion SIFs.
DialogTemplate bend_dialog(const char* name, bool full)
{
    DialogTemplate t{name, "Bend", {}};
    auto add = [&t](ControlSpec c) { t.controls.push_back(std::move(c)); };
    add(control(0, K::Group, "Bend Radius", 0, 0, 4, CF_NONE, 0, 2));
    add(control(BEND_LONG, K::Radio, "&Long", 0, 0, 1, CF_CHECKED));
    add(control(BEND_SHORT, K::Radio, "&Short", 0, 1));
    add(control(BEND_USER, K::Radio, "&User", 0, 2));
    add(control(BEND_RADIUS, K::Edit, "Radius", 1, 0, 1, CF_DISABLED, 12));
    add(unit_control(BEND_RADIUS_UNIT, 1, 1, DIMENSION));
    add(control(BEND_THICKNESS, K::Edit, "Bend &Thickness", 2, 0, 1, CF_NONE, 12));
    add(unit_control(BEND_THICKNESS_UNIT, 2, 1, DIMENSION));
    add(control(BEND_MATERIAL, K::Combo, "Bend &Material", 3, 0));
    add(control(BEND_FF_IN_LABEL, K::Static, full ? "&Flexibility Factor: In Plane" : "&Flexibility Factor", 4, 0));
    add(control(BEND_FF_IN, K::Edit, "", 4, 1, 1, CF_NONE, 12));
    if (full) {
        add(control(BEND_FF_OUT_LABEL, K::Static, "Out Plane", 4, 2));
        add(control(BEND_FF_OUT, K::Edit, "", 4, 3, 1, CF_NONE, 12));
    }
    add(control(0, K::Static, full ? "&SIFs:  In Plane" : "&SIF", 5, 0));
    add(control(BEND_SIF_IN, K::Edit, "", 5, 1, 1, CF_NONE, 12));
    if (full) {
        add(control(0, K::Static, "Out Plane", 5, 2));
        add(control(BEND_SIF_OUT, K::Edit, "", 5, 3, 1, CF_NONE, 12));
        add(control(BEND_SIF_AXIAL_LABEL, K::Static, "Axial", 6, 0, 1, CF_DISABLED));
        add(control(BEND_SIF_AXIAL, K::Edit, "", 6, 1, 1, CF_DISABLED, 12));
        add(control(BEND_SIF_TORSION_LABEL, K::Static, "Torsion", 6, 2, 1, CF_DISABLED));
        add(control(BEND_SIF_TORSION, K::Edit, "", 6, 3, 1, CF_DISABLED, 12));
    }
    add(control(0, K::Group, "Intermediate Nodes", 7, 0, 4, CF_NONE, 0, 2));
    add(control(BEND_NODE1, K::Edit, "Node", 7, 0, 1, CF_NONE, 6));
    add(control(BEND_ANGLE1, K::Edit, "at Angle", 7, 1, 1, CF_NONE, 12));
    add(unit_control(BEND_ANGLE1_UNIT, 7, 2, ANGLE));
    add(control(BEND_NODE2, K::Edit, "Node", 8, 0, 1, CF_NONE, 6));
    add(control(BEND_ANGLE2, K::Edit, "at Angle", 8, 1, 1, CF_NONE, 12));
    add(unit_control(BEND_ANGLE2_UNIT, 8, 2, ANGLE));
    add(control(IDOK, K::Button, "OK", 9, 0, 1, CF_DEFAULT));
    add(control(IDCANCEL, K::Button, "Cancel", 9, 1));
    add(control(BEND_HELP, K::Button, "&Help", 9, 2));
    return t;
}

}  // namespace

const DialogTemplate BEND1_DIALOG = bend_dialog("BEND1_DIALOG", false);
const DialogTemplate BEND2_DIALOG = bend_dialog("BEND2_DIALOG", true);

const DialogTemplate MITER_DIALOG = {
    "MITER_DIALOG",
    "Miter bend",
    {
        control(MITER_RADIUS, K::Edit, "Bend &Radius", 0, 0, 1, CF_NONE, 12),
        unit_control(MITER_RADIUS_UNIT, 0, 1, DIMENSION),
        control(MITER_THICKNESS, K::Edit, "Bend &Thickness", 1, 0, 1, CF_NONE, 12),
        unit_control(MITER_THICKNESS_UNIT, 1, 1, DIMENSION),
        control(MITER_MATERIAL, K::Combo, "Bend &Material", 2, 0),
        control(MITER_FF_IN_LABEL, K::Static, "&Flexibility Factor", 3, 0),
        control(MITER_FF_IN, K::Edit, "", 3, 1, 1, CF_NONE, 12),
        control(MITER_FF_OUT_LABEL, K::Static, "&Flexibility Factor Out Plane", 3, 2, 1, CF_HIDDEN),
        control(MITER_FF_OUT, K::Edit, "", 3, 3, 1, CF_HIDDEN, 12),
        control(MITER_SIF_IN_LABEL, K::Static, "&SIFs:  In Plane", 4, 0),
        control(MITER_SIF_IN, K::Edit, "", 4, 1, 1, CF_NONE, 12),
        control(MITER_SIF_OUT_LABEL, K::Static, "Out Plane", 4, 2),
        control(MITER_SIF_OUT, K::Edit, "", 4, 3, 1, CF_NONE, 12),
        control(MITER_SIF_AXIAL_LABEL, K::Static, "&SIFs:  Axial", 5, 0, 1, CF_DISABLED),
        control(MITER_SIF_AXIAL, K::Edit, "", 5, 1, 1, CF_DISABLED, 12),
        control(MITER_SIF_TORSION_LABEL, K::Static, "Torsion", 5, 2, 1, CF_DISABLED),
        control(MITER_SIF_TORSION, K::Edit, "", 5, 3, 1, CF_DISABLED, 12),
        control(MITER_CLOSELY, K::Radio, "&Closely spaced", 6, 0, 1, CF_CHECKED),
        control(MITER_WIDELY, K::Radio, "&Widely spaced", 6, 1),
        control(IDOK, K::Button, "OK", 7, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 7, 1),
    },
};

const DialogTemplate JBEND_DIALOG = {
    "JBEND_DIALOG",
    "Jacketed Bend",
    {
        control(0, K::Group, "Jacket", 0, 0, 3),
        control(JBEND_JACKET_MATERIAL, K::Combo, "Material", 0, 0),
        control(JBEND_JACKET_SECTION, K::Combo, "Section", 0, 1),
        control(JBEND_JACKET_LOAD, K::Combo, "Load", 0, 2),
        control(0, K::Group, "Core", 1, 0, 3),
        control(JBEND_CORE_MATERIAL, K::Combo, "Material", 1, 0, 1, CF_DISABLED),
        control(JBEND_CORE_SECTION, K::Combo, "Section", 1, 1, 1, CF_DISABLED),
        control(JBEND_CORE_LOAD, K::Combo, "Load", 1, 2, 1, CF_DISABLED),
        control(0, K::Group, "Jacket Bend Radius", 2, 0, 3, CF_NONE, 0, 2),
        control(JBEND_JACKET_LONG, K::Radio, "&Long", 2, 0, 1, CF_CHECKED),
        control(JBEND_JACKET_SHORT, K::Radio, "&Short", 2, 1),
        control(JBEND_JACKET_USER, K::Radio, "&User", 2, 2),
        control(JBEND_JACKET_RADIUS, K::Edit, "Radius", 3, 0, 1, CF_DISABLED, 12),
        unit_control(JBEND_JACKET_RADIUS_GROUP, 3, 1, DIMENSION),
        control(0, K::Group, "Core Bend Radius", 4, 0, 3, CF_NONE, 0, 2),
        control(JBEND_CORE_LONG, K::Radio, "L&ong", 4, 0, 1, CF_CHECKED),
        control(JBEND_CORE_SHORT, K::Radio, "S&hort", 4, 1),
        control(JBEND_CORE_USER, K::Radio, "Us&er", 4, 2),
        control(JBEND_CORE_RADIUS, K::Edit, "Radius", 5, 0, 1, CF_DISABLED, 12),
        unit_control(JBEND_CORE_RADIUS_GROUP, 5, 1, DIMENSION),
        control(0, K::Group, "Bend Thickness", 6, 0, 3),
        control(JBEND_JACKET_THICKNESS, K::Edit, "Jacket", 6, 0, 1, CF_NONE, 12),
        control(JBEND_CORE_THICKNESS, K::Edit, "Core", 6, 1, 1, CF_NONE, 12),
        unit_control(JBEND_THICKNESS_GROUP, 6, 2, DIMENSION),
        control(0, K::Group, "Intermediate Bend Nodes on Jacket", 7, 0, 3, CF_NONE, 0, 2),
        control(JBEND_NODE1, K::Edit, "Node", 7, 0, 1, CF_NONE, 6),
        control(JBEND_ANGLE1, K::Edit, "at Angle", 7, 1, 1, CF_NONE, 12),
        unit_control(JBEND_ANGLE1_UNIT, 7, 2, ANGLE),
        control(JBEND_NODE2, K::Edit, "Node", 8, 0, 1, CF_NONE, 6),
        control(JBEND_ANGLE2, K::Edit, "at Angle", 8, 1, 1, CF_NONE, 12),
        unit_control(JBEND_ANGLE2_UNIT, 8, 2, ANGLE),
        control(IDOK, K::Button, "OK", 9, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 9, 1),
    },
};

const DialogTemplate REDUCER_DIALOG = {
    "REDUCER_DIALOG",
    "Reducer",
    {
        control(REDUCER_OD1, K::Edit, "OD1", 0, 0, 1, CF_NONE, 12),
        control(REDUCER_THK1, K::Edit, "Thk1", 0, 1, 1, CF_NONE, 12),
        unit_control(REDUCER_UNIT1, 0, 2, DIMENSION),
        control(REDUCER_SECTION1, K::Button, "Section &1", 0, 3),
        control(REDUCER_OD2, K::Edit, "OD2", 1, 0, 1, CF_NONE, 12),
        control(REDUCER_THK2, K::Edit, "Thk2", 1, 1, 1, CF_NONE, 12),
        unit_control(REDUCER_UNIT2, 1, 2, DIMENSION),
        control(REDUCER_SECTION2, K::Button, "Section &2", 1, 3),
        control(REDUCER_CONE_LABEL, K::Static, "Cone &angle", 2, 0, 1, CF_HIDDEN),
        control(REDUCER_CONE, K::Edit, "", 2, 1, 1, CF_HIDDEN, 12),
        unit_control(REDUCER_CONE_UNIT, 2, 2, ANGLE),
        control(REDUCER_KNUCKLES, K::Check, "&Knuckles", 3, 0, 1, CF_HIDDEN),
        control(REDUCER_DELTA_LABEL, K::Static, "&Delta", 3, 1, 1, CF_HIDDEN),
        control(REDUCER_DELTA, K::Edit, "", 3, 2, 1, CF_HIDDEN, 12),
        unit_control(REDUCER_DELTA_UNIT, 3, 3, DIMENSION),
        control(IDOK, K::Button, "OK", 4, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 4, 1),
    },
};

const DialogTemplate CUTPIPE_DIALOG = {
    "CUTPIPE_DIALOG",
    "Cut pipe",
    {
        control(CUT_LENGTH, K::Edit, "Cut", 0, 0, 1, CF_NONE, 12),
        unit_control(CUT_UNIT, 0, 1, DIMENSION),
        control(CUT_SHORT, K::Radio, "Cut &Short", 1, 0, 1, CF_CHECKED),
        control(CUT_LONG, K::Radio, "Cut &Long", 1, 1),
        control(IDOK, K::Button, "OK", 2, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 2, 1),
    },
};
