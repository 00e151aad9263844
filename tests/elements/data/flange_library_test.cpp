// The flange weight library of the flange data item: the weights of a pair
// of flanges by nominal size and class (150 to 2500) or PN rating (PN16 to
// PN100), half of them for a single flange, and 0 where the table gives none.
#include "elements/flange_library.h"

#include <gtest/gtest.h>

TEST(FlangeLibraryWeights, ClassAndPnTables)
{
    const int six = flange_library_size_index(FLANGE_LIBRARY_ANSI, 6.0);
    ASSERT_EQ(six, 7);
    // Class 300 (column 2), 6 in.: 96 lb a pair, 48 lb one flange.
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_ANSI, six, 1, false), 96.0);
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_ANSI, six, 1, true), 48.0);
    // Class 1500, 1-1/2 in.: no such flange.
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_ANSI, 0, 5, false), 0.0);
    // The corners of the class table: 1-1/2 in. class 150, 24 in. class 1500.
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_ANSI, 0, 0, false), 8.0);
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_ANSI, 15, 5, false), 8306.0);
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_ANSI, 15, 6, false), 0.0);
    // PN: 1/2 in. PN16 2.86 lb, 24 in. PN25 445.34 lb, 3/4 in. PN64 none.
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_EUROPEAN, 0, 0, false), 2.86);
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_EUROPEAN, 17, 1, true), 445.34 / 2);
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_EUROPEAN, 1, 3, false), 0.0);
    // Every weight the table gives names its source.
    for (int kind : {FLANGE_LIBRARY_ANSI, FLANGE_LIBRARY_EUROPEAN})
        for (const auto& row : flange_library(kind).weights)
            for (const FlangeWeight& w : row)
                EXPECT_EQ(w.weight == 0.0, std::string(w.source).empty());
    // Out of range: nothing.
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_ANSI, 16, 0, false), 0.0);
    EXPECT_DOUBLE_EQ(flange_library_weight(FLANGE_LIBRARY_EUROPEAN, 0, 5, false), 0.0);
}
