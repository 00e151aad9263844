// What the dialogs of the special elements share: reading a typed value
// with a buffer parser, keeping the stored value behind a field the user
// left alone, and the rotation limit ("None" or an angle above 0).
#pragma once

#include "elements/ui/element_ui_common.h"

#include <cfloat>

class ValueDialog : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

protected:
    using Parser = int (*)(float&);
    // The item's value: `stored` while it shows the text it was given; else
    // parsed (an empty text is 0), refused with the invalid-value message for
    // `name` when unreadable or below `smallest`.
    float read_value(int item, Parser parse, const char* name, float stored, float smallest = -FLT_MAX) const;
    // The same with the required-value message for an empty text.
    float read_required(int item, Parser parse, const char* name, float stored) const;
    // A rotation limit: empty or a leading part of "None" is none (1.0e30);
    // an angle, refused as "Rotation limit" when unreadable and with
    // "Rotation limit should be positive" at or below 0.
    float read_limit(int item, float stored) const;
};

// The same checks on a typed table cell (its text in item_text()).
float cell_value(int (*parse)(float&), const char* name, float smallest = -FLT_MAX);
float cell_limit();
