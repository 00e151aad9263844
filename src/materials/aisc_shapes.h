// The built-in AISC shape tables (the shape chooser is materials/ui/aisc_chooser.h).
//
// The shapes and their values are those of the AISC Shapes Database v15.0
// (American Institute of Steel Construction), US customary columns: A, Ix,
// Iy and J, and as depth and width d and bf (angles: b and d; rectangular
// HSS, offered as TS and computed by the database with the design wall
// thickness: Ht and B; pipes: OD). Shapes withdrawn before that edition are
// not there. The table is generated into aisc_table.cpp from the database's
// CSV form by tools/gen_aisc_table.py, which says how the groups are chosen.
#pragma once

#include "materials/beam_section.h"

#include <string>

// Values in the order of BeamSection::values, inch units.
struct AiscShape {
    const char* designation;
    float values[BS_VALUE_COUNT];
};
struct AiscGroupData {
    const char* name;        // "W 44"
    int first_shape;         // index into the shape array
    int shape_count;
};
struct AiscFamilyData {
    const char* name;        // "W"
    int first_group;
    int group_count;
};
struct AiscTable {
    const AiscShape* shapes;
    int shape_count;
    const AiscGroupData* groups;
    int group_count;
    const AiscFamilyData* families;
    int family_count;
};
const AiscTable& aisc_table();

inline constexpr int AISC_FAMILY_COUNT = 13;
// Family codes 1..13: W, M, S, HP, C, MC, L, 2L, WT, MT, ST, TS, P.
enum AiscFamily { AISC_W = 1, AISC_M, AISC_S, AISC_HP, AISC_C, AISC_MC, AISC_L, AISC_2L,
                  AISC_WT, AISC_MT, AISC_ST, AISC_TS, AISC_P };

// The family's caption, "W  (Wide Flange)".
const char* aisc_family_caption(int family);
// The shape with the designation; null when none.
const AiscShape* find_aisc_shape(const std::string& designation);
