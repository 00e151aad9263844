// What the equipment input tables share: a column rule that starts below
// the group heading of header line 0 (for the inner columns of a group),
// and the input row's record, which typing and the dialog fill before Enter
// appends it.
#pragma once

#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/ui/table.h"

#include <array>
#include <set>

// Draws the left rule of a column; a column of `inner` starts it below
// header line 0 inside the header.
void draw_group_column_rule(TableCanvas& c, int column, const std::set<int>& inner);

class ShownValues;

// What a dialog's OK does with the record it read: stores it when it differs
// from the stored one and marks the model modified, else drops the undo
// snapshot that the dialog's command took.
template <typename T>
void store_if_changed(T& stored, const T& read)
{
    if (read == stored) {
        discard_undo_snapshot();
    } else {
        stored = read;
        model_modified() = true;
    }
}

// A value field of a dialog: the exact stored value while the field still
// shows its text, else the text read by `parse` (item_text parsers); an
// unreadable text throws the invalid-value message with `name`.
float read_shown_value(const ShownValues& shown, int item, int (*parse)(float&), const char* name);
// A direction from three such fields ("X comp", "Y comp", "Z comp"); all
// three zero throws "Direction is invalid" on the first.
std::array<float, 3> read_shown_direction(const ShownValues& shown, int first);
// Reads a node field of a dialog: empty gives 0; otherwise a node number of
// the model that is not a bend corner ("<name> =  <text>  is not defined",
// "... is bend node").
int read_node_field(int item, const char* name);
