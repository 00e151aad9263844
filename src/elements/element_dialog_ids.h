// The control ids of the element dialogs, which the element classes fill
// (fill_dialog) and the dialogs' templates and procedures (elements/ui) use.
#pragma once

// BEND1_DIALOG and BEND2_DIALOG (BEND1 lacks the out-of-plane factor and the
// out-of-plane, axial and torsion SIFs).
enum BendDialogItem : int {
    BEND_LONG = 1401,
    BEND_SHORT = 1402,
    BEND_USER = 1403,
    BEND_RADIUS = 1301,
    BEND_RADIUS_UNIT = 1601,
    BEND_THICKNESS = 1302,
    BEND_THICKNESS_UNIT = 1602,
    BEND_MATERIAL = 1201,
    BEND_FF_IN = 1303,
    BEND_FF_IN_LABEL = 1142,
    BEND_FF_OUT_LABEL = 1141,
    BEND_FF_OUT = 1310,
    BEND_SIF_IN = 1304,
    BEND_SIF_OUT = 1305,
    BEND_SIF_AXIAL_LABEL = 1139,
    BEND_SIF_AXIAL = 1311,
    BEND_SIF_TORSION_LABEL = 1140,
    BEND_SIF_TORSION = 1312,
    BEND_NODE1 = 1306,
    BEND_ANGLE1 = 1307,
    BEND_ANGLE1_UNIT = 1603,
    BEND_NODE2 = 1308,
    BEND_ANGLE2 = 1309,
    BEND_ANGLE2_UNIT = 1604,
    BEND_HELP = 9,
};

// MITER_DIALOG.
enum MiterDialogItem : int {
    MITER_RADIUS = 1301,
    MITER_RADIUS_UNIT = 1601,
    MITER_THICKNESS = 1302,
    MITER_THICKNESS_UNIT = 1602,
    MITER_MATERIAL = 1201,
    MITER_FF_IN = 1303,
    MITER_FF_IN_LABEL = 1142,
    MITER_FF_OUT = 1306,
    MITER_FF_OUT_LABEL = 1141,
    MITER_SIF_IN = 1304,
    MITER_SIF_IN_LABEL = 1101,
    MITER_SIF_OUT = 1305,
    MITER_SIF_OUT_LABEL = 1102,
    MITER_SIF_AXIAL = 1307,
    MITER_SIF_AXIAL_LABEL = 1139,
    MITER_SIF_TORSION = 1308,
    MITER_SIF_TORSION_LABEL = 1140,
    MITER_CLOSELY = 1401,
    MITER_WIDELY = 1402,
};

// JBEND_DIALOG.
enum JbendDialogItem : int {
    JBEND_JACKET_MATERIAL = 1201,
    JBEND_JACKET_SECTION = 1202,
    JBEND_JACKET_LOAD = 1203,
    JBEND_CORE_MATERIAL = 1204,
    JBEND_CORE_SECTION = 1205,
    JBEND_CORE_LOAD = 1206,
    JBEND_JACKET_RADIUS_GROUP = 1601,
    JBEND_JACKET_LONG = 1401,
    JBEND_JACKET_SHORT = 1402,
    JBEND_JACKET_USER = 1403,
    JBEND_JACKET_RADIUS = 1301,
    JBEND_CORE_RADIUS_GROUP = 1602,
    // Not 1404..1406: radio buttons whose ids follow each other form one
    // group on the window system's backend, and the core's radius is a
    // group of its own.
    JBEND_CORE_LONG = 1407,
    JBEND_CORE_SHORT = 1408,
    JBEND_CORE_USER = 1409,
    JBEND_CORE_RADIUS = 1302,
    JBEND_THICKNESS_GROUP = 1603,
    JBEND_JACKET_THICKNESS = 1303,
    JBEND_CORE_THICKNESS = 1304,
    JBEND_NODE1 = 1305,
    JBEND_ANGLE1 = 1306,
    JBEND_ANGLE1_UNIT = 1604,
    JBEND_NODE2 = 1307,
    JBEND_ANGLE2 = 1308,
    JBEND_ANGLE2_UNIT = 1605,
};

// REDUCER_DIALOG.
enum ReducerDialogItem : int {
    REDUCER_OD1 = 1301,
    REDUCER_THK1 = 1302,
    REDUCER_UNIT1 = 1601,
    REDUCER_SECTION1 = 1001,
    REDUCER_OD2 = 1303,
    REDUCER_THK2 = 1304,
    REDUCER_UNIT2 = 1602,
    REDUCER_SECTION2 = 1002,
    REDUCER_CONE_LABEL = 1501,
    REDUCER_CONE = 1305,
    REDUCER_CONE_UNIT = 1603,
    REDUCER_KNUCKLES = 1101,
    REDUCER_DELTA_LABEL = 1502,
    REDUCER_DELTA = 1306,
    REDUCER_DELTA_UNIT = 1604,
};

// CUTPIPE_DIALOG.
enum CutPipeDialogItem : int {
    CUT_LENGTH = 1301,
    CUT_UNIT = 1601,
    CUT_SHORT = 1401,
    CUT_LONG = 1402,
};

// BEAM_DIALOG1: beta, the twelve release boxes (From end 1101..1106, To end
// 1107..1112 in record order) and the nine read-only axis components.
enum BeamDialogItem : int {
    BEAM_BETA = 1301,
    BEAM_BETA_UNIT = 1601,
    BEAM_RELEASE_FIRST = 1101,
    BEAM_AXIS_FIRST = 1302,   // 1302..1304 local x, 1305..1307 local y, 1308..1310 local z
};

// BALL_DIALOG.
enum BallDialogItem : int {
    BALL_BENDING_STIFFNESS = 1301,
    BALL_TORSION_STIFFNESS = 1302,
    BALL_BENDING_LIMIT = 1303,
    BALL_TORSION_LIMIT = 1304,
    BALL_BENDING_FRICTION = 1305,
    BALL_TORSION_FRICTION = 1306,
    BALL_WEIGHT = 1307,
    BALL_STIFFNESS_UNIT = 1601,
    BALL_LIMIT_UNIT = 1602,
    BALL_FRICTION_UNIT = 1603,
    BALL_WEIGHT_UNIT = 1604,
};

// HINGE_DIALOG.
enum HingeDialogItem : int {
    HINGE_STIFFNESS = 1301,
    HINGE_LIMIT = 1302,
    HINGE_FRICTION = 1303,
    HINGE_WEIGHT = 1304,
    HINGE_AXIS_X = 1305,      // 1305..1307
    HINGE_STIFFNESS_UNIT = 1601,
    HINGE_LIMIT_UNIT = 1602,
    HINGE_FRICTION_UNIT = 1603,
    HINGE_WEIGHT_UNIT = 1604,
};

// RIGID_DIALOG.
enum RigidDialogItem : int {
    RIGID_WEIGHT = 1301,
    RIGID_WEIGHT_UNIT = 1601,
    RIGID_ADD_CIL = 1101,
};

// VALVE_DIALOG.
enum ValveDialogItem : int {
    VALVE_WEIGHT = 1301,
    VALVE_LENGTH = 1302,
    VALVE_THICKNESS_X = 1303,
    VALVE_INSULATION_X = 1304,
    VALVE_ADDED_WEIGHT = 1305,
    VALVE_OFFSET_X = 1306,    // 1306..1308
    VALVE_WEIGHT_UNIT = 1601,
    VALVE_LENGTH_UNIT = 1602,
    VALVE_ADDED_WEIGHT_UNIT = 1603,
    VALVE_OFFSET_LABEL = 1501,  // 1501..1503
    VALVE_TYPE = 1201,
    VALVE_LIBRARY = 1001,
};

// BELLOWS_DIALOG: the seven values 1301..1307 with their unit labels 1601..1607.
enum BellowsDialogItem : int {
    BELLOWS_AXIAL = 1301,
    BELLOWS_BENDING = 1302,
    BELLOWS_TORSIONAL = 1303,
    BELLOWS_LATERAL = 1304,
    BELLOWS_THRUST_AREA = 1305,
    BELLOWS_WEIGHT = 1306,
    BELLOWS_MEAN_DIAMETER = 1307,
    BELLOWS_UNIT_FIRST = 1601,
};

// SLIP_DIALOG: the four values 1301..1304 with their unit labels 1601..1604.
enum SlipDialogItem : int {
    SLIP_FRICTION_FORCE = 1301,
    SLIP_FRICTION_TORQUE = 1302,
    SLIP_THRUST_AREA = 1303,
    SLIP_WEIGHT = 1304,
    SLIP_UNIT_FIRST = 1601,
};

// ELASTIC_DIALOG.
enum ElasticDialogItem : int {
    ELASTIC_KX = 1301,        // 1301..1303 kx, ky, kz; 1304..1306 kxx, kyy, kzz
    ELASTIC_KXX = 1304,
    ELASTIC_X_AXIS = 1307,    // 1307..1309
    ELASTIC_Y_AXIS = 1310,    // 1310..1312
    ELASTIC_STIFFNESS_UNIT = 1601,
    ELASTIC_ROT_STIFFNESS_UNIT = 1602,
};

// TIE_ROD_DIALOG.
enum TieRodDialogItem : int {
    TIE_TENSION_STIFFNESS = 1301,
    TIE_COMPRESSION_STIFFNESS = 1302,
    TIE_TENSION_GAP = 1303,
    TIE_COMPRESSION_GAP = 1304,
    TIE_STIFFNESS_UNIT = 1601,
    TIE_GAP_UNIT = 1602,
    TIE_HELP = 9,
};
// The help context of the tie rod's dialog.
// The help contexts of the element dialogs and tables: the user guide's
// anchors "context-<n>" (framework/ui/help.h).
inline constexpr int TIE_ROD_HELP_CONTEXT = 1;       // TIE_ROD_DIALOG and the "Tie rods" table
inline constexpr int BENDS_TABLE_HELP_CONTEXT = 7;   // the "Bends" table
inline constexpr int BEND_DIALOG_HELP_CONTEXT = 8;   // BEND1_DIALOG and BEND2_DIALOG
