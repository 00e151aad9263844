// The dialog templates of the support kinds. Each dialog opens on a layout
// row; its caption is the kind's name and " at node " with the row's node.
#pragma once

#include "platform/resources.h"

enum : int {
    // Shared by the support dialogs.
    SUP_TAG = 1300,
    SUP_CONNECTED = 1390,

    // ANCHOR_DIALOG and GENERIC_SUPPORT_DIALOG: stiffness of X, Y, Z, XX,
    // YY, ZZ in SUP_STIFFNESS + 0..5, their units in SUP_STIFFNESS_UNIT + 0..5.
    SUP_STIFFNESS = 1301,
    SUP_STIFFNESS_UNIT = 1601,
    ANCHOR_LOCAL_AXES = 1101,
    ANCHOR_RELEASE = 1111,             // 1111..1116: X, Y, Z, XX, YY, ZZ
    // The specified displacements (ANCHOR_DIALOG, NOZZLE_DIALOG): the set
    // chooser, DX, DY, DZ in SUP_DISPLACEMENT + 0..2 and RX, RY, RZ in + 3..5.
    SUP_DISPLACEMENT_SET = 1201,
    SUP_DISPLACEMENT = 1311,
    SUP_DISPLACEMENT_UNIT = 1611,
    ANCHOR_LOCAL_DISPLACEMENTS = 1102,

    // RESTRAINT_DIALOG: restrained in X, Y, Z.
    RESTRAINT_X = 1121,

    // SKEWED_RESTRAINT_DIALOG, LIMIT_STOP_DIALOG, SNUBBER_DIALOG: direction
    // X, Y, Z components in SUP_DIRECTION + 0..2.
    SUP_DIRECTION = 1321,
    SKEWED_TRANSLATIONAL = 1401,
    SKEWED_ROTATIONAL = 1402,
    SUP_SPRING = 1331,                 // one stiffness (skewed restraint, guide, stop, snubber)
    SUP_SPRING_UNIT = 1631,

    // HANGER_DIALOG
    HANGER_TYPE = 1211,
    HANGER_COUNT = 1341,
    HANGER_RATE = 1342,
    HANGER_LOAD = 1343,
    HANGER_VARIATION = 1344,
    HANGER_RATE_UNIT = 1642,
    HANGER_LOAD_UNIT = 1643,
    HANGER_HOT = 1411,
    HANGER_COLD = 1412,
    HANGER_SHORT_RANGE = 1131,

    // GUIDE_DIALOG and LIMIT_STOP_DIALOG
    SUP_GAP = 1351,
    SUP_GAP_UNIT = 1651,
    SUP_MU = 1352,
    STOP_LOWER = 1353,
    STOP_UPPER = 1354,
    STOP_LOWER_UNIT = 1653,
    STOP_UPPER_UNIT = 1654,

    // NOZZLE_DIALOG
    NOZZLE_WRC297 = 1421,
    NOZZLE_API650 = 1422,
    NOZZLE_PD5500 = 1423,
    NOZZLE_OD = 1361,                  // 1361..1367: nozzle OD, thickness, vessel OD, thickness, L1, L2, modulus
    NOZZLE_FIELD_UNIT = 1661,          // 1661..1667
    NOZZLE_PAD = 1141,
};

inline constexpr int NOZZLE_FIELDS = 7;

extern const DialogTemplate ANCHOR_DIALOG;
extern const DialogTemplate RESTRAINT_DIALOG;
extern const DialogTemplate SKEWED_RESTRAINT_DIALOG;
extern const DialogTemplate HANGER_DIALOG;
extern const DialogTemplate GUIDE_DIALOG;
extern const DialogTemplate LIMIT_STOP_DIALOG;
extern const DialogTemplate NOZZLE_DIALOG;
extern const DialogTemplate SNUBBER_DIALOG;
extern const DialogTemplate GENERIC_SUPPORT_DIALOG;
