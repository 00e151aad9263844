// The kinds a layout row can have: its element type (Pipe, Bend, ...) and
// its data type (Anchor, Hanger, ...), as the model file numbers them. Kept
// apart from the element and data-item classes, so that code that only names
// a kind does not depend on them.
#pragma once

#include <cstdint>

enum ElementType : int32_t {
    ET_NONE = 0,
    ET_FROM = 1,
    ET_LOCATION = 2,
    ET_PIPE = 3,
    ET_BEND = 4,
    ET_MITER = 5,
    ET_JACKETED_PIPE = 6,
    ET_JACKETED_BEND = 7,
    ET_VALVE = 8,
    ET_REDUCER = 9,
    ET_BELLOWS = 10,
    ET_SLIP_JOINT = 11,
    ET_HINGE_JOINT = 12,
    ET_BALL_JOINT = 13,
    ET_RIGID = 14,
    ET_ELASTIC = 15,
    ET_CUT_PIPE = 16,
    ET_BEAM = 17,
    ET_COMMENT = 18,
    ET_TIE_ROD = 19,
    ET_HYDROTEST_LOAD = 20,
};
inline constexpr int32_t MAX_ETYPE = 20;

// "From", "Location", "Pipe", ... "Hydrotest load"; empty for 0 and codes out of range.
const char* element_type_name(int etype);
// True for the types that make an element between two nodes: every type but
// none, From, Location, Comment and Hydrotest load.
bool etype_is_element(int etype);
// True for the bend-like types: Bend, Miter, Jacketed bend.
bool etype_is_bend(int etype);

enum DataType : int32_t {
    DT_NONE = 0,
    DT_ANCHOR = 1,
    DT_RESTRAINT = 2,
    DT_SKEWED_RESTRAINT = 3,
    DT_HANGER = 4,
    DT_GUIDE = 5,
    DT_LIMIT_STOP = 6,
    DT_NOZZLE = 7,
    DT_SNUBBER = 8,
    DT_SPIDER = 9,
    DT_JACKET_END_CAP = 10,
    DT_FLANGE = 11,
    DT_BRANCH_SIF = 12,
    DT_USER_SIF = 13,
    DT_WELD = 14,
    DT_THREADED_JOINT = 15,
    DT_FORCE = 16,
    DT_CONC_MASS = 17,
    DT_TIME_VARYING_LOAD = 18,
    DT_HARMONIC_LOAD = 19,
    DT_FORCE_SPECTRUM_LOAD = 20,
    DT_GENERIC_SUPPORT = 21,
};
inline constexpr int32_t MAX_DTYPE = 21;

// "Anchor", "Restraint", ... "Generic support"; empty for 0 and codes out of range.
const char* data_type_name(int dtype);
