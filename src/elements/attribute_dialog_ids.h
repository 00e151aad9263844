// The control ids of the jacketed-pipe dialog and of the dialogs of the row
// attributes (flange, flange library, branch SIF, user SIF, weld), which the
// classes fill (fill_dialog) and the templates and procedures (elements/ui)
// use.
#pragma once

// JPIPE_DIALOG.
enum JpipeDialogItem : int {
    JPIPE_MATERIAL = 1201,
    JPIPE_SECTION = 1202,
    JPIPE_LOAD = 1203,
};

// FLANGE_DIALOG.
enum FlangeDialogItem : int {
    FLANGE_TYPE = 1201,
    FLANGE_WEIGHT = 1301,
    FLANGE_WEIGHT_UNIT = 1601,
    FLANGE_GASKET = 1302,
    FLANGE_GASKET_UNIT = 1602,
    FLANGE_PRESSURE = 1303,
    FLANGE_PRESSURE_UNIT = 1603,
    FLANGE_ANSI_LIBRARY = 1001,
    FLANGE_EUROPEAN_LIBRARY = 1002,
};

// FLANGE_LIBRARY_DIALOG.
enum FlangeLibraryDialogItem : int {
    FLANGE_LIBRARY_TABLE = 1500,
    FLANGE_LIBRARY_SIZE = 1501,
    FLANGE_LIBRARY_NOTE = 1502,
    FLANGE_LIBRARY_UNKNOWN = 1503,
    FLANGE_LIBRARY_SINGLE = 1101,
};

// BRANCH_SIF_DIALOG.
enum BranchSifDialogItem : int {
    BRANCH_SIF_TYPE = 1201,
    BRANCH_SIF_LABEL1 = 1501,
    BRANCH_SIF_LABEL2 = 1502,
    BRANCH_SIF_LABEL3 = 1503,
    BRANCH_SIF_VALUE1 = 1301,
    BRANCH_SIF_VALUE2 = 1302,
    BRANCH_SIF_UNIT1 = 1601,
    BRANCH_SIF_UNIT2 = 1602,
    BRANCH_SIF_FLANGES_LABEL = 1504,
    BRANCH_SIF_FLANGES = 1303,
};

// USER_SIF1_DIALOG, USER_SIF2_DIALOG and USER_SIF3_DIALOG: the first field is
// 1301; the second form's axial and torsion fields have labels of their
// own; the third form's sustained factors are 1301-1305 and its cyclic ones
// 1306-1310, each in the order pressure, bending, thrust, torsion, shear.
enum UserSifDialogItem : int {
    USER_SIF_IN = 1301,
    USER_SIF_OUT = 1302,
    USER_SIF_AXIAL = 1303,
    USER_SIF_TORSION = 1304,
    USER_SIF_AXIAL_LABEL = 1139,
    USER_SIF_TORSION_LABEL = 1140,
    USER_SIF_SCF_FIRST = 1301,
    USER_SIF_SCF_LAST = 1310,
};

// WELD_DIALOG.
enum WeldDialogItem : int {
    WELD_TYPE = 1201,
    WELD_MISMATCH_LABEL = 1501,
    WELD_MISMATCH = 1301,
    WELD_MISMATCH_UNIT = 1601,
};
