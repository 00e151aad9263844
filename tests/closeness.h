// The check of a computed value against an answer worked out independently
// in the test: within `rel` of its magnitude, plus `abs`.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

inline void expect_relative(double actual, double expected, double rel, const std::string& what, double abs = 0.0)
{
    EXPECT_LE(std::fabs(actual - expected), rel * std::fabs(expected) + abs)
        << what << ": " << actual << " vs " << expected;
}
