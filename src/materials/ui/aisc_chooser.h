// The two-step AISC shape chooser: the family in AISC_SECTIONS_DIALOG, then
// the shape in the family's dialog, whose radio buttons are the family's
// groups (nominal sizes) and whose list box holds the designations of the
// current group. The chosen shape lands in the shape buffer, a BeamSection
// whose description is the designation.
#pragma once

#include "materials/aisc_shapes.h"

// The chooser. True when a shape was chosen; it is then in the shape buffer.
bool choose_aisc_shape(int owner);
const BeamSection& aisc_shape_buffer();
// What the chooser remembers for the program run: the family last chosen,
// per family the group last shown, per group the shape last selected
// (indices from 0 within the family and group).
int aisc_last_family();
int aisc_last_group(int family);
int aisc_last_shape(int family, int group);
