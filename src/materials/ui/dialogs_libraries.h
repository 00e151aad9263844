// Templates of the library dialogs: the material library's piping code and
// units and the valve library's record dialog. (The valve
// library's find and replace is the layout's FINDANDREPLACE without its list
// of fields.)
#pragma once

#include "platform/resources.h"

enum : int {
    MATLIB_CODE = 1201,              // MATLIB_CODE_DIALOG: the code list

    MATLIB_DENSITY = 1201,           // MATLIB_UNITS_DIALOG: one list a quantity
    MATLIB_TEMPERATURE = 1202,
    MATLIB_MODULUS = 1203,
    MATLIB_EXPANSION = 1204,
    MATLIB_STRESS = 1205,
    MATLIB_ALL_ENGLISH = 1001,
    MATLIB_ALL_SI = 1002,
    MATLIB_ALL_METRIC = 1003,

    VALVE_SIZE = 1201,               // VALVE_LIBRARY_DIALOGNEW
    VALVE_RATING = 1202,
    VALVE_CONNECTION = 1203,
    VALVE_TYPE = 1204,
    VALVE_DESCRIPTION = 1301,
    VALVE_LENGTH = 1302,
    VALVE_WEIGHT = 1303,
    VALVE_OD = 1304,
    VALVE_ANSI = 1401,               // 1401..1404: ANSI, DIN, JIS, ISO
    VALVE_LENGTH_UNIT = 1602,
    VALVE_WEIGHT_UNIT = 1603,
    VALVE_OD_UNIT = 1604,
};

extern const DialogTemplate MATLIB_CODE_DIALOG;
extern const DialogTemplate MATLIB_UNITS_DIALOG;
extern const DialogTemplate VALVE_LIBRARY_DIALOGNEW;
