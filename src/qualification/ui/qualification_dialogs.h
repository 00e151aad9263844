// The input dialogs of the component qualification windows: the three pages
// of the flange qualification sheet, the lug evaluation dialog and the
// nozzle evaluation dialog, with their control ids.
#pragma once

#include "platform/resources.h"

enum QualificationDialogItem : int {
    // Shared by the pages and dialogs.
    QUAL_LIST = 1201,          // flange type, bolt size; lug code; nozzle method
    QUAL_LIST2 = 1202,         // lug level; nozzle load case
    QUAL_LIST3 = 1203,         // lug weld type
    QUAL_EDIT = 1301,          // 1301..1344: the edits in order
    QUAL_RADIO1 = 1401,
    QUAL_RADIO2 = 1402,
    QUAL_LABEL = 1501,         // 1501..1517: the labels of the edits
    QUAL_UNIT = 1601,          // 1601..1616: the unit labels of the edits

    // LUG_EVAL
    LUG_LEVEL_LABEL = 1162,
    LUG_WELD_LABEL = 1514,
    LUG_FIRST_LOAD = 1315,     // 1315..1344: five sets of W, Q1, Q2, MT, MN, ML
    LUG_LOAD_UNIT_W = 1613,    // the force and moment headings of the loads
    LUG_LOAD_UNIT_Q1 = 1151,
    LUG_LOAD_UNIT_Q2 = 1152,
    LUG_LOAD_UNIT_MT = 1153,
    LUG_LOAD_UNIT_MN = 1154,
    LUG_LOAD_UNIT_ML = 1155,
    LUG_LOAD_SET_LABEL = 1170, // 1170..1174: the names of the five sets

    // NOZZLE_QUAL
    NOZZLE_LOAD_CASE_LABEL = 1163,
};

inline constexpr int qual_edit(int k) { return QUAL_EDIT + k - 1; }   // k = 1..44
inline constexpr int qual_label(int k) { return QUAL_LABEL + k - 1; }
inline constexpr int qual_unit(int k) { return QUAL_UNIT + k - 1; }

extern const DialogTemplate FLANGE_DATA_DIALOG;
extern const DialogTemplate BOLT_GASK_DATA_DIALOG;
extern const DialogTemplate LOAD_DATA_DIALOG;
extern const DialogTemplate LUG_EVAL;
extern const DialogTemplate NOZZLE_QUAL;
