// The fields of a dialog template as the user reads them: each control that
// takes input or is pressed, with its label (its own text, else the nearest
// text before it in its row, else the text over it), the group it stands in
// and the quantity of the unit label that follows it in its row. The user
// guide lists them, and what follows the guide finds a field by the label
// the guide gives it.
#pragma once

#include "platform/resources.h"

#include <string>
#include <vector>

struct DialogField {
    const ControlSpec* control = nullptr;
    std::string label;   // "Flexibility Factor: Out Plane"; a label a group has twice is numbered ("Node 2")
    std::string group;
    int quantity = 0;    // the UnitQuantity of its unit label, 0 for none
};

// In the order of the template's grid, row by row; OK, Cancel and Help and
// controls without a label are left out.
std::vector<DialogField> dialog_fields(const DialogTemplate& t);
// A control's text as the user reads it: no "&" marks, "..." for a printf
// pattern, one blank between words, no trailing colon or blanks.
std::string dialog_shown_text(const std::string& text);
