// How the qualification dialogs and reports show and read their values: a
// value of a quantity in its chosen unit (a quantity of 0 is a plain
// number), read through the unit parsers into internal units.
#pragma once

#include "framework/ui/dialog_helper.h"

#include <cstdint>
#include <string>

// The value in the chosen unit of the quantity, without blanks; "0" for a
// zero that a formatter leaves empty.
std::string quantity_text(double value, int quantity);
// The value and the unit label ("39.1250 (inch)").
std::string quantity_with_unit(double value, int quantity);

// The rule a read value must meet.
enum class FieldRule {
    Any,        // any value the parser reads
    AtLeast0,   // refused below 0
    Above0,     // refused at 0 and below
};

// The text of an edit is empty (after blanks are removed).
bool field_empty(int item);
// Reads an edit in the unit of the quantity: an unreadable text or a value
// the rule refuses throws the invalid-value message of `name` (the item is
// focused by the dialog's error report); an empty text reads as 0. With a
// ShownValues, an edit that still shows the text it was given keeps the exact
// value behind it.
float read_quantity(int item, const std::string& name, int quantity, FieldRule rule,
                    const ShownValues* shown = nullptr);
// A whole number: unreadable throws the invalid-value message.
int32_t read_whole(int item, const std::string& name);
// Shows a value of the quantity; with `empty_for_zero` a zero shows nothing.
void show_quantity(ShownValues& shown, int item, float value, int quantity, bool empty_for_zero = false);
