// Templates of the beam material and beam section dialogs and of the AISC
// shape chooser.
#pragma once

#include "platform/resources.h"

enum : int {
    BEAM_NAME = 1301,
    BEAM_DESCRIPTION = 1302,
    // BEAM_MATERIAL_DIALOG
    BMAT_E = 1303,
    BMAT_NU = 1304,
    BMAT_DENSITY = 1305,
    BMAT_ALPHA = 1306,
    BMAT_E_UNIT = 1603,
    BMAT_DENSITY_UNIT = 1605,
    BMAT_ALPHA_UNIT = 1606,
    // BEAM_SECTION_DIALOG: the eight values 1303..1310, their unit labels 1603..1610
    BSEC_FIRST_VALUE = 1303,
    BSEC_FIRST_UNIT = 1603,
    BSEC_LIBRARY = 1001,
    // AISC_SECTIONS_DIALOG: family radio buttons 1401..1413
    AISC_FIRST_FAMILY = 1401,
    // Family dialogs: group radio buttons from 1400, the shape list 1701
    AISC_FIRST_GROUP = 1400,
    AISC_SHAPE_LIST = 1701,
};

extern const DialogTemplate BEAM_MATERIAL_DIALOG;
extern const DialogTemplate BEAM_SECTION_DIALOG;
extern const DialogTemplate AISC_SECTIONS_DIALOG;
// The family dialog of family code 1..13 (W_DIALOG ... P_DIALOG).
const DialogTemplate& aisc_family_dialog(int family);
