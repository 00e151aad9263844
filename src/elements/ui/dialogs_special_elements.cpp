#include "elements/ui/dialogs_special_elements.h"

#include "elements/element_dialog_ids.h"
#include "framework/units.h"

namespace {

using K = ControlKind;

DialogTemplate beam_dialog()
{
    DialogTemplate t{"BEAM_DIALOG1", "Beam", {}};
    auto add = [&t](ControlSpec c) { t.controls.push_back(std::move(c)); };
    add(control(BEAM_BETA, K::Edit, "&Beta", 0, 0, 1, CF_NONE, 12));
    add(unit_control(BEAM_BETA_UNIT, 0, 1, ANGLE));
    static const char* const kinds[6] = {"Axial", "Major Bending", "Minor Bending", "Torsion", "Major Shear",
                                         "Minor Shear"};
    add(control(0, K::Group, "From End", 1, 0, 1, CF_NONE, 0, 6));
    add(control(0, K::Group, "To End", 1, 1, 1, CF_NONE, 0, 6));
    for (int i = 0; i < 6; ++i) {
        add(control(BEAM_RELEASE_FIRST + i, K::Check, kinds[i], 1 + i, 0));
        add(control(BEAM_RELEASE_FIRST + 6 + i, K::Check, kinds[i], 1 + i, 1));
    }
    static const char* const axes[3] = {"Local X", "Local Y", "Local Z"};
    for (int a = 0; a < 3; ++a) {
        add(control(0, K::Static, axes[a], 7 + a, 0));
        for (int c = 0; c < 3; ++c)
            add(control(BEAM_AXIS_FIRST + 3 * a + c, K::Edit, "", 7 + a, 1 + c, 1, CF_READONLY, 8));
    }
    add(control(IDOK, K::Button, "OK", 10, 0, 1, CF_DEFAULT));
    add(control(IDCANCEL, K::Button, "Cancel", 10, 1));
    return t;
}

}  // namespace

const DialogTemplate BEAM_DIALOG1 = beam_dialog();

const DialogTemplate BALL_DIALOG = {
    "BALL_DIALOG",
    "Ball joint",
    {
        control(0, K::Static, "Bending", 0, 1),
        control(0, K::Static, "Torsional", 0, 2),
        control(BALL_BENDING_STIFFNESS, K::Edit, "Rotational stiffness", 1, 1, 1, CF_NONE, 12),
        control(BALL_TORSION_STIFFNESS, K::Edit, "", 1, 2, 1, CF_NONE, 12),
        unit_control(BALL_STIFFNESS_UNIT, 1, 3, ROT_STIFFNESS),
        control(BALL_BENDING_LIMIT, K::Edit, "Rotation limit", 2, 1, 1, CF_NONE, 12),
        control(BALL_TORSION_LIMIT, K::Edit, "", 2, 2, 1, CF_NONE, 12),
        unit_control(BALL_LIMIT_UNIT, 2, 3, ANGLE),
        control(BALL_BENDING_FRICTION, K::Edit, "Friction torque", 3, 1, 1, CF_NONE, 12),
        control(BALL_TORSION_FRICTION, K::Edit, "", 3, 2, 1, CF_NONE, 12),
        unit_control(BALL_FRICTION_UNIT, 3, 3, MOMENT),
        control(BALL_WEIGHT, K::Edit, "Weight", 4, 1, 1, CF_NONE, 12),
        unit_control(BALL_WEIGHT_UNIT, 4, 2, WEIGHT),
        control(IDOK, K::Button, "OK", 5, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 5, 1),
    },
};

const DialogTemplate HINGE_DIALOG = {
    "HINGE_DIALOG",
    "Hinge joint",
    {
        control(HINGE_STIFFNESS, K::Edit, "Rotational stiffness", 0, 0, 1, CF_NONE, 12),
        unit_control(HINGE_STIFFNESS_UNIT, 0, 1, ROT_STIFFNESS),
        control(HINGE_LIMIT, K::Edit, "Rotation limit", 1, 0, 1, CF_NONE, 12),
        unit_control(HINGE_LIMIT_UNIT, 1, 1, ANGLE),
        control(HINGE_FRICTION, K::Edit, "Friction torque", 2, 0, 1, CF_NONE, 12),
        unit_control(HINGE_FRICTION_UNIT, 2, 1, MOMENT),
        control(HINGE_WEIGHT, K::Edit, "Weight", 3, 0, 1, CF_NONE, 12),
        unit_control(HINGE_WEIGHT_UNIT, 3, 1, WEIGHT),
        control(0, K::Group, "Axis direction", 4, 0, 3),
        control(HINGE_AXIS_X, K::Edit, "X comp", 4, 0, 1, CF_NONE, 10),
        control(HINGE_AXIS_X + 1, K::Edit, "Y comp", 4, 1, 1, CF_NONE, 10),
        control(HINGE_AXIS_X + 2, K::Edit, "Z comp", 4, 2, 1, CF_NONE, 10),
        control(IDOK, K::Button, "OK", 5, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 5, 1),
    },
};

const DialogTemplate RIGID_DIALOG = {
    "RIGID_DIALOG",
    "Rigid element",
    {
        control(RIGID_WEIGHT, K::Edit, "Weight", 0, 0, 1, CF_NONE, 12),
        unit_control(RIGID_WEIGHT_UNIT, 0, 1, WEIGHT),
        control(RIGID_ADD_CIL, K::Check, "Add Content, Insulation and Lining weights (CIL)", 1, 0, 2),
        control(IDOK, K::Button, "OK", 2, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 2, 1),
    },
};

const DialogTemplate VALVE_DIALOG = {
    "VALVE_DIALOG",
    "Valve",
    {
        control(VALVE_WEIGHT, K::Edit, "Weight", 0, 0, 1, CF_NONE, 12),
        unit_control(VALVE_WEIGHT_UNIT, 0, 1, WEIGHT),
        control(VALVE_LENGTH, K::Edit, "Length", 1, 0, 1, CF_NONE, 12),
        unit_control(VALVE_LENGTH_UNIT, 1, 1, DIMENSION),
        control(VALVE_THICKNESS_X, K::Edit, "Thickness  X", 2, 0, 1, CF_NONE, 10),
        control(VALVE_INSULATION_X, K::Edit, "Insulation weight  X", 3, 0, 1, CF_NONE, 10),
        control(VALVE_ADDED_WEIGHT, K::Edit, "Additional weight", 4, 0, 1, CF_NONE, 12),
        unit_control(VALVE_ADDED_WEIGHT_UNIT, 4, 1, WEIGHT),
        control(0, K::Group, "Offsets of additional weight from valve center", 5, 0, 3, CF_NONE, 0, 2),
        control(VALVE_OFFSET_LABEL, K::Static, "DX ", 5, 0),
        control(VALVE_OFFSET_LABEL + 1, K::Static, "DY ", 5, 1),
        control(VALVE_OFFSET_LABEL + 2, K::Static, "DZ ", 5, 2),
        control(VALVE_OFFSET_X, K::Edit, "", 6, 0, 1, CF_NONE, 12),
        control(VALVE_OFFSET_X + 1, K::Edit, "", 6, 1, 1, CF_NONE, 12),
        control(VALVE_OFFSET_X + 2, K::Edit, "", 6, 2, 1, CF_NONE, 12),
        control(VALVE_TYPE, K::Combo, "Valve Type", 7, 0),
        control(IDOK, K::Button, "OK", 8, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 8, 1),
        control(VALVE_LIBRARY, K::Button, "&Library", 8, 2),
    },
};

const DialogTemplate BELLOWS_DIALOG = {
    "BELLOWS_DIALOG",
    "Bellows",
    {
        control(BELLOWS_AXIAL, K::Edit, "Axial stiffness", 0, 0, 1, CF_NONE, 12),
        unit_control(BELLOWS_UNIT_FIRST, 0, 1, STIFFNESS),
        control(BELLOWS_BENDING, K::Edit, "Bending stiffness", 1, 0, 1, CF_NONE, 12),
        unit_control(BELLOWS_UNIT_FIRST + 1, 1, 1, ROT_STIFFNESS),
        control(BELLOWS_TORSIONAL, K::Edit, "Torsional stiffness", 2, 0, 1, CF_NONE, 12),
        unit_control(BELLOWS_UNIT_FIRST + 2, 2, 1, ROT_STIFFNESS),
        control(BELLOWS_LATERAL, K::Edit, "Lateral stiffness", 3, 0, 1, CF_NONE, 12),
        unit_control(BELLOWS_UNIT_FIRST + 3, 3, 1, STIFFNESS),
        control(BELLOWS_THRUST_AREA, K::Edit, "Pressure thrust area", 4, 0, 1, CF_NONE, 12),
        unit_control(BELLOWS_UNIT_FIRST + 4, 4, 1, AREA),
        control(BELLOWS_WEIGHT, K::Edit, "Weight", 5, 0, 1, CF_NONE, 12),
        unit_control(BELLOWS_UNIT_FIRST + 5, 5, 1, WEIGHT),
        control(BELLOWS_MEAN_DIAMETER, K::Edit, "Mean diameter", 6, 0, 1, CF_NONE, 12),
        unit_control(BELLOWS_UNIT_FIRST + 6, 6, 1, DIMENSION),
        control(IDOK, K::Button, "OK", 7, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 7, 1),
    },
};

const DialogTemplate SLIP_DIALOG = {
    "SLIP_DIALOG",
    "Slip joint",
    {
        control(SLIP_FRICTION_FORCE, K::Edit, "Friction force", 0, 0, 1, CF_NONE, 12),
        unit_control(SLIP_UNIT_FIRST, 0, 1, FORCE),
        control(SLIP_FRICTION_TORQUE, K::Edit, "Friction torque", 1, 0, 1, CF_NONE, 12),
        unit_control(SLIP_UNIT_FIRST + 1, 1, 1, MOMENT),
        control(SLIP_THRUST_AREA, K::Edit, "Pressure thrust area", 2, 0, 1, CF_NONE, 12),
        unit_control(SLIP_UNIT_FIRST + 2, 2, 1, AREA),
        control(SLIP_WEIGHT, K::Edit, "Weight", 3, 0, 1, CF_NONE, 12),
        unit_control(SLIP_UNIT_FIRST + 3, 3, 1, WEIGHT),
        control(IDOK, K::Button, "OK", 4, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 4, 1),
    },
};

const DialogTemplate ELASTIC_DIALOG = {
    "ELASTIC_DIALOG",
    "Elastic element",
    {
        control(0, K::Group, "Translational Stiffness", 0, 0, 4),
        control(ELASTIC_KX, K::Edit, "kx", 0, 0, 1, CF_NONE, 12),
        control(ELASTIC_KX + 1, K::Edit, "ky", 0, 1, 1, CF_NONE, 12),
        control(ELASTIC_KX + 2, K::Edit, "kz", 0, 2, 1, CF_NONE, 12),
        unit_control(ELASTIC_STIFFNESS_UNIT, 0, 3, STIFFNESS),
        control(0, K::Group, "Rotational Stiffness", 1, 0, 4),
        control(ELASTIC_KXX, K::Edit, "kxx", 1, 0, 1, CF_NONE, 12),
        control(ELASTIC_KXX + 1, K::Edit, "kyy", 1, 1, 1, CF_NONE, 12),
        control(ELASTIC_KXX + 2, K::Edit, "kzz", 1, 2, 1, CF_NONE, 12),
        unit_control(ELASTIC_ROT_STIFFNESS_UNIT, 1, 3, ROT_STIFFNESS),
        control(0, K::Group, "Local x axis", 2, 0, 3),
        control(ELASTIC_X_AXIS, K::Edit, "X comp", 2, 0, 1, CF_NONE, 10),
        control(ELASTIC_X_AXIS + 1, K::Edit, "Y comp", 2, 1, 1, CF_NONE, 10),
        control(ELASTIC_X_AXIS + 2, K::Edit, "Z comp", 2, 2, 1, CF_NONE, 10),
        control(0, K::Group, "Local y axis", 3, 0, 3),
        control(ELASTIC_Y_AXIS, K::Edit, "X comp", 3, 0, 1, CF_NONE, 10),
        control(ELASTIC_Y_AXIS + 1, K::Edit, "Y comp", 3, 1, 1, CF_NONE, 10),
        control(ELASTIC_Y_AXIS + 2, K::Edit, "Z comp", 3, 2, 1, CF_NONE, 10),
        control(IDOK, K::Button, "OK", 4, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 4, 1),
    },
};

const DialogTemplate TIE_ROD_DIALOG = {
    "TIE_ROD_DIALOG",
    "Tie rod",
    {
        control(0, K::Static, "Tension", 0, 1),
        control(0, K::Static, "Compression", 0, 2),
        control(TIE_TENSION_STIFFNESS, K::Edit, "Stiffness", 1, 1, 1, CF_NONE, 12),
        control(TIE_COMPRESSION_STIFFNESS, K::Edit, "", 1, 2, 1, CF_NONE, 12),
        unit_control(TIE_STIFFNESS_UNIT, 1, 3, STIFFNESS),
        control(TIE_TENSION_GAP, K::Edit, "Gap", 2, 1, 1, CF_NONE, 12),
        control(TIE_COMPRESSION_GAP, K::Edit, "", 2, 2, 1, CF_NONE, 12),
        unit_control(TIE_GAP_UNIT, 2, 3, DIMENSION),
        control(IDOK, K::Button, "OK", 3, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 3, 1),
        control(TIE_HELP, K::Button, "&Help", 3, 2),
    },
};
