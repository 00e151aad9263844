// Templates and control ids of the loads' dialogs.
#pragma once

#include "platform/resources.h"

enum : int {
    // Shared by several dialogs.
    LOAD_TABLE = 1500,            // an embedded table of points

    // PIPE_LOAD_DIALOG and BEAM_LOAD_DIALOG
    PL_WIND = 1101,
    PL_NAME = 1301,
    PL_T1 = 1311,                 // T1..T10: 1311..1320
    PL_P1 = 1321,                 // P1..P10: 1321..1330
    PL_DESIGN_T = 1331,
    PL_DESIGN_P = 1332,
    PL_SG = 1333,
    PL_ADDED_WEIGHT = 1334,
    PL_T_UNIT = 1601,
    PL_P_UNIT = 1602,
    PL_ADDED_UNIT = 1605,

    // Nodal loads: FORCE_DIALOG, CONC_MASS_DIALOG, TIME_VARYING_LOAD_DIALOG,
    // HARMONIC_LOAD_DIALOG, FORCE_SPECTRUM_LOAD_DIALOG. FX..MZ are six
    // consecutive edits from NL_FX, their units from NL_FX_UNIT.
    NL_CHOICE = 1201,             // load case, time function or force spectrum
    NL_FX = 1301,
    NL_FX_UNIT = 1601,
    NL_WEIGHT = 1311,
    NL_DX = 1312,                 // DX, DY, DZ: 1312..1314
    NL_WEIGHT_UNIT = 1611,
    NL_DX_UNIT = 1612,            // 1612..1614
    NL_FREQUENCY = 1321,
    NL_PHASE = 1322,
    NL_PHASE_UNIT = 1622,

    // HYDROTEST_DIALOG
    HT_SG = 1301,
    HT_PRESSURE = 1302,
    HT_TEMPERATURE = 1303,
    HT_PRESSURE_UNIT = 1602,
    HT_TEMPERATURE_UNIT = 1603,

    // SEISMIC_DIALOG
    SE_FLAG_X = 1101,             // X, Y, Z: 1101..1103
    SE_ASCE_ON = 1104,
    SE_ASCE_BUTTON = 1001,
    SE_G_X = 1301,                // 1301..1303
    SE_ABSOLUTE = 1401,
    SE_SRSS = 1402,

    // ASCE_SEISMIC_DIALOG
    AS_OCCUPANCY = 1201,
    AS_SITE = 1202,
    AS_SS = 1301,
    AS_Z = 1302,
    AS_H = 1303,
    AS_AP = 1304,
    AS_RP = 1305,
    AS_IP = 1306,
    AS_ASD = 1307,
    AS_Z_UNIT = 1602,
    AS_H_UNIT = 1603,
    AS_COMPUTE = 1001,
    AS_RESULT = 1501,

    // WIND_DIALOG
    WI_ASCE = 1101,
    WI_HEIGHT_GIVEN = 1102,
    WI_ASCE_BUTTON = 1001,
    WI_ELEVATION_UNIT = 1201,
    WI_PRESSURE_UNIT = 1202,
    WI_VELOCITY_UNIT = 1203,
    WI_DX = 1301,                 // 1301..1303
    WI_SHAPE = 1304,
    WI_HEIGHT = 1305,
    WI_HEIGHT_UNIT = 1605,
    WI_LOAD1 = 1401,              // wind loads 1..4: 1401..1404
    WI_PRESSURE_PROFILE = 1405,
    WI_VELOCITY_PROFILE = 1406,

    // ASCE_WIND_DIALOG
    AW_ON = 1101,
    AW_OCCUPANCY = 1201,
    AW_EXPOSURE = 1202,
    AW_HILL = 1203,
    AW_SURFACE = 1204,
    AW_SPEED = 1301,
    AW_KD = 1302,
    AW_HILL_HEIGHT = 1303,        // H, Lh, z, x: 1303..1306
    AW_GUST = 1307,
    AW_SPEED_UNIT = 1601,
    AW_HILL_UNIT = 1603,          // 1603..1606

    // SPECTRUM_DIALOG and TIME_FUNCTION_DIALOG
    SP_NAME = 1301,
    SP_OPTIONS = 1001,
    SP_SUMMARY = 1501,

    // SPECTRUM_OPTIONS_DIALOG
    SO_FREQUENCY = 1401,
    SO_PERIOD = 1402,
    SO_LINEAR = 1403,
    SO_LOG = 1404,
    SO_ORDINATE = 1201,
    SO_UNIT = 1202,

    // TIME_HISTORY_DIALOG
    TH_SAVE_RESULTS = 1101,
    TH_TIME_STEP = 1301,
    TH_END_TIME = 1302,
    TH_OUTPUT_INTERVAL = 1303,
    TH_DAMPING = 1304,

    // RESPONSE_SPECTRUM_DIALOG
    RS_SPECTRUM_X = 1201,         // X, Y, Z: 1201..1203
    RS_MODAL = 1204,
    RS_DIRECTION = 1205,
    RS_MISSING_MASS = 1206,
    RS_FACTOR_X = 1301,           // X, Y, Z: 1301..1303
    RS_DAMPING = 1304,
    RS_CLOSELY_SPACED = 1305,
};

extern const DialogTemplate PIPE_LOAD_DIALOG;
extern const DialogTemplate BEAM_LOAD_DIALOG;
extern const DialogTemplate FORCE_DIALOG;
extern const DialogTemplate CONC_MASS_DIALOG;
extern const DialogTemplate TIME_VARYING_LOAD_DIALOG;
extern const DialogTemplate HARMONIC_LOAD_DIALOG;
extern const DialogTemplate FORCE_SPECTRUM_LOAD_DIALOG;
extern const DialogTemplate HYDROTEST_DIALOG;
extern const DialogTemplate SEISMIC_DIALOG;
extern const DialogTemplate ASCE_SEISMIC_DIALOG;
extern const DialogTemplate WIND_DIALOG;
extern const DialogTemplate ASCE_WIND_DIALOG;
extern const DialogTemplate SPECTRUM_DIALOG;
extern const DialogTemplate SPECTRUM_OPTIONS_DIALOG;
extern const DialogTemplate TIME_FUNCTION_DIALOG;
extern const DialogTemplate TIME_HISTORY_DIALOG;
extern const DialogTemplate RESPONSE_SPECTRUM_DIALOG;
