// Templates of the dialogs of beams, ball and hinge joints, rigid elements,
// valves, bellows, slip joints, elastic elements and tie rods. Their control
// ids are in elements/element_dialog_ids.h.
#pragma once

#include "platform/resources.h"

extern const DialogTemplate BEAM_DIALOG1;
extern const DialogTemplate BALL_DIALOG;
extern const DialogTemplate HINGE_DIALOG;
extern const DialogTemplate RIGID_DIALOG;
extern const DialogTemplate VALVE_DIALOG;
extern const DialogTemplate BELLOWS_DIALOG;
extern const DialogTemplate SLIP_DIALOG;
extern const DialogTemplate ELASTIC_DIALOG;
extern const DialogTemplate TIE_ROD_DIALOG;
