// Templates of the element dialogs: the two bend dialogs, the miter,
// jacketed-bend, reducer and cut-pipe dialogs. Their control ids are in
// elements/element_dialog_ids.h.
#pragma once

#include "platform/resources.h"

extern const DialogTemplate BEND1_DIALOG;
extern const DialogTemplate BEND2_DIALOG;
extern const DialogTemplate MITER_DIALOG;
extern const DialogTemplate JBEND_DIALOG;
extern const DialogTemplate REDUCER_DIALOG;
extern const DialogTemplate CUTPIPE_DIALOG;
