// Templates of the pipe-material dialogs: the three material dialogs (by
// piping code), the property-table dialog, the material-type chooser and the
// pick from the material library.
#pragma once

#include "platform/resources.h"

enum : int {
    MAT_PROPERTIES = 1001,      // "&Properties" (MATERIAL*_DIALOG)
    MAT_LIBRARY = 1002,         // "&Library"
    MAT_TYPE = 1201,
    MAT_NAME = 1301,
    MAT_DESCRIPTION = 1302,
    MAT_DENSITY = 1303,
    MAT_NU = 1304,
    MAT_JOINT_FACTOR = 1305,
    MAT_CIRC_JOINT_FACTOR = 1306,
    MAT_STRENGTH = 1307,
    MAT_STRENGTH_LABEL = 1507,
    MAT_DENSITY_UNIT = 1603,
    MAT_STRENGTH_UNIT = 1607,

    MATPROP_GRID = 1500,        // MATERIAL_PROPERTIES_DIALOG: the grid

    MATTYPES_LIST = 1701,       // MATERIAL_TYPES_DIALOG

    LIBUSE_TABLE = 1500,        // LIBRARY_USE_DIALOG
    LIBUSE_NOTE = 1501,         // a line under the table (the piping code of a material library)
    LIBUSE_LIBRARY = 1001,
};

extern const DialogTemplate MATERIAL1_DIALOG;
extern const DialogTemplate MATERIAL2_DIALOG;
extern const DialogTemplate MATERIAL3_DIALOG;
extern const DialogTemplate MATERIAL_PROPERTIES_DIALOG;
extern const DialogTemplate MATERIAL_TYPES_DIALOG;
// The browsers of the material, beam and spectrum libraries, and of the valve pick.
extern const DialogTemplate LIBRARY_USE_DIALOG;
extern const DialogTemplate VALVE_LIBRARY_USE_DIALOG;
