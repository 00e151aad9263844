// The templates of the equipment dialogs and their control ids:
// PUMP_DIALOG, COMPRESSOR_DIALOG (compressors and turbines) and
// ALLOWABLE_DIALOG.
#pragma once

#include "platform/resources.h"

enum PumpDialogId : int {
    PUMP_DESCRIPTION = 1301,
    PUMP_TEMPERATURE = 1302,
    PUMP_SUCTION = 1303,
    PUMP_DISCHARGE = 1304,
    PUMP_SHAFT = 1305,            // 1305..1307: X, Y, Z components
    PUMP_CENTRE = 1308,           // 1308..1310: X, Y, Z
    PUMP_HORIZONTAL = 1401,
    PUMP_VERTICAL = 1402,
    PUMP_ANSI_HI_RADIO = 1403,
    PUMP_SUCTION_TOP = 1404,      // 1404..1406: Top, Side, End
    PUMP_DISCHARGE_TOP = 1407,    // 1407..1409: Top, Side, End (Above base, Below base)
    PUMP_NOZZLE_GROUP = 1501,
    PUMP_SUCTION_LABEL = 1502,
    PUMP_DISCHARGE_LABEL = 1503,
    PUMP_SHAFT_LABEL = 1504,      // 1504..1506: "X comp", "Y comp", "Z comp"
    PUMP_CENTRE_LABEL = 1507,     // 1507..1509: "X", "Y", "Z"
    PUMP_SHAFT_GROUP = 1510,
    PUMP_CENTRE_GROUP = 1511,
    PUMP_HI_GROUP = 1512,
    PUMP_MOUNTING_LABEL = 1513,
    PUMP_SIZE_LABEL = 1514,
    PUMP_TEMPERATURE_UNIT = 1601,
    PUMP_LENGTH_UNIT = 1602,
    PUMP_TYPE = 2001,
    PUMP_SIZE = 2002,
    PUMP_MOUNTING = 2003,
    PUMP_MATERIAL = 2004,
};

enum CompressorDialogId : int {
    COMPRESSOR_DESCRIPTION = 1301,
    COMPRESSOR_NODE = 1302,       // 1302..1305: inlet, exhaust, extraction 1, extraction 2
    COMPRESSOR_SHAFT = 1306,      // 1306..1308: X, Y, Z components
};

enum AllowableDialogId : int {
    ALLOWABLE_NODE = 1301,
    ALLOWABLE_VALUE = 1302,       // 1302..1307: FX/P .. MZ/ML
    ALLOWABLE_LABEL = 1501,       // 1501..1506
};

extern const DialogTemplate PUMP_DIALOG;
extern const DialogTemplate COMPRESSOR_DIALOG;
extern const DialogTemplate ALLOWABLE_DIALOG;
