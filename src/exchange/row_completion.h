// The completion of an appended LAYOUT row: the values of its line are
// checked for what the row's element type, then its data item, requires and
// stored in the row's objects. A check that fails ends the import with its
// message at the row's line.
#pragma once

#include "exchange/row_items.h"

#include <string>

class BatchReader;

// What the row head gives besides the row's own fields.
struct RowHead {
    float bend_radius = 0.0f;     // B, inch
    bool bend_radius_given = false;
    int branch_kind = 0;          // of a K code of a branch SIF
    std::string comment;          // of a comment row
};

void complete_row_element(const BatchReader& reader, int row, const RowItemValues& values, const RowHead& head);
void complete_row_data(const BatchReader& reader, int row, const RowItemValues& values, const RowHead& head);
