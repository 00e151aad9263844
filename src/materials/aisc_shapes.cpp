#include "materials/aisc_shapes.h"

const char* aisc_family_caption(int family) {
    static const char* const captions[] = {"",
                                           "W  (Wide Flange)",
                                           "M  (Misc I Beams)",
                                           "S  (Standard)",
                                           "HP  (Bearing Piles)",
                                           "C  (Channels)",
                                           "MC  (Misc Channels)",
                                           "L  (Angles)",
                                           "2L  (Double Angles)",
                                           "WT  (Wide Tees)",
                                           "MT  (Misc Tees)",
                                           "ST  (Standard Tees)",
                                           "TS  (Structural Tubing)",
                                           "P  (Pipe)"};
    return family >= 1 && family <= AISC_FAMILY_COUNT ? captions[family] : "";
}

const AiscShape* find_aisc_shape(const std::string& designation) {
    const AiscTable& t = aisc_table();
    for (int i = 0; i < t.shape_count; ++i)
        if (designation == t.shapes[i].designation) return &t.shapes[i];
    return nullptr;
}
