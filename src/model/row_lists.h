// Per-kind counters and row lists: for each element and data-item kind that
// keeps a list, a count and the layout-row indices of the rows of that kind
// from index 1, in ascending row order after a recount. The model recount
// grows every list, resets the counters and lets each row's objects register
// themselves; the kind classes only increment and store.
#pragma once

#include "framework/one_based.h"

#include <cstdint>

enum RowListId : int {
    // Element kinds. Jacketed pipes and jacketed bends share one list.
    BEND_ROWS,
    MITER_ROWS,
    JACKET_ROWS,
    VALVE_ROWS,
    REDUCER_ROWS,
    BELLOWS_ROWS,
    SLIP_JOINT_ROWS,
    HINGE_JOINT_ROWS,
    BALL_JOINT_ROWS,
    RIGID_ROWS,
    ELASTIC_ROWS,
    CUT_PIPE_ROWS,
    BEAM_ROWS,
    TIE_ROD_ROWS,
    HYDROTEST_ROWS,
    // Data-item kinds. Spiders and jacket end caps share one list.
    ANCHOR_ROWS,
    RESTRAINT_ROWS,
    SKEWED_RESTRAINT_ROWS,
    HANGER_ROWS,
    GUIDE_ROWS,
    LIMIT_STOP_ROWS,
    NOZZLE_ROWS,
    SNUBBER_ROWS,
    JACKET_CONNECTION_ROWS,
    FLANGE_ROWS,
    BRANCH_SIF_ROWS,
    USER_SIF_ROWS,
    WELD_ROWS,
    THREADED_JOINT_ROWS,
    FORCE_ROWS,
    CONC_MASS_ROWS,
    TIME_VARYING_LOAD_ROWS,
    HARMONIC_LOAD_ROWS,
    FORCE_SPECTRUM_LOAD_ROWS,
    GENERIC_SUPPORT_ROWS,
    NUM_ROW_LISTS
};

inline constexpr int NO_ROW_LIST = -1;

struct RowList {
    int32_t count = 0;
    OneBased<int32_t> rows;        // rows[1..count]; sized to the capacity

    // `count` of the recount's first pass.
    void count_one() { ++count; }
    // `register_row` of the second pass: the next slot takes the row.
    void add(int32_t row)
    {
        ++count;
        if (count > rows.size())   // a kind that registers without counting first
            rows.resize(count + 16);
        rows[count] = row;
    }
};

// The list of an element type (ElementType) or a data type (DataType);
// NO_ROW_LIST for the kinds that keep none (none, From, Location, Pipe,
// Comment).
int element_row_list(int etype);
int data_row_list(int dtype);
