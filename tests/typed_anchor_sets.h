// What the tests of typing into the Anchor dialog's Set list expect: DX
// 0.25 in typed on set T1 and DY 0.5 in on set T10 give those two sets and
// no other.
#pragma once

#include "model/model.h"
#include "supports/anchor.h"

#include <gtest/gtest.h>

inline void expect_anchor_sets_one_and_ten(int row)
{
    const auto* anchor = dynamic_cast<const Anchor*>(model().rows[row].data.get());
    ASSERT_NE(anchor, nullptr);
    const DisplacementSets& sets = anchor->v.displacements;
    EXPECT_TRUE(sets.given[1]);
    EXPECT_FLOAT_EQ(sets.values[1][0], 0.25f);   // DX of set 1, inch
    EXPECT_TRUE(sets.given[10]);
    EXPECT_FLOAT_EQ(sets.values[10][1], 0.5f);   // DY of set 10
    for (std::size_t k = 2; k < sets.given.size(); ++k) {
        if (k != 10) {
            EXPECT_FALSE(sets.given[k]) << k;
        }
    }
}
