// Templates of the jacketed-pipe dialog and of the row attributes' dialogs:
// flange, flange library, branch SIF, the three user SIF forms and weld.
// Their control ids are in elements/attribute_dialog_ids.h.
#pragma once

#include "platform/resources.h"

extern const DialogTemplate JPIPE_DIALOG;
extern const DialogTemplate FLANGE_DIALOG;
extern const DialogTemplate FLANGE_LIBRARY_DIALOG;
extern const DialogTemplate BRANCH_SIF_DIALOG;
extern const DialogTemplate USER_SIF1_DIALOG;
extern const DialogTemplate USER_SIF2_DIALOG;
extern const DialogTemplate USER_SIF3_DIALOG;
extern const DialogTemplate WELD_DIALOG;
