// The texts of the table of what a piping model can hold: a value beyond a
// bound quoted so that it reads beyond it, and what an editor that refuses
// a value below a bound says the field takes.
#include "framework/errors.h"
#include "framework/units.h"
#include "model/value_bounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

class BoundMessage : public ::testing::Test {
protected:
    void TearDown() override { reset_unit_choice(); }
};

}  // namespace

// The value is quoted with the digits, five at least, that set it apart
// from the bound it passed: 25400.1 mm (1000.0039 in) reads beyond 25400 mm,
// 1000.001 in beyond 1000 in; a value far beyond keeps five digits.
TEST_F(BoundMessage, AValueJustBeyondItsBoundReadsBeyondIt)
{
    unit_choice()[DIMENSION] = 1;   // mm
    EXPECT_EQ(beyond(OUTSIDE_DIAMETER_BOUND, 25400.1 / 25.4, "Outside diameter"),
              "Outside diameter of 25400.1 mm is beyond what a piping model can hold (0.0254 mm to 25400 mm)");
    EXPECT_EQ(beyond(OUTSIDE_DIAMETER_BOUND, 25400.0 / 25.4, "Outside diameter"), "");
    reset_unit_choice();
    EXPECT_EQ(beyond(OUTSIDE_DIAMETER_BOUND, 1000.001, "OD1"),
              "OD1 of 1000.001 inch is beyond what a piping model can hold (0.001 inch to 1000 inch)");
    EXPECT_EQ(beyond(WALL_THICKNESS_BOUND, 0.000099999, "Thk1"),
              "Thk1 of 9.9999E-05 inch is beyond what a piping model can hold (0.0001 inch to 1000 inch)");
    EXPECT_EQ(beyond(OUTSIDE_DIAMETER_BOUND, 1.0e19, "OD1"),
              "OD1 of 1E+19 inch is beyond what a piping model can hold (0.001 inch to 1000 inch)");
    // The float nearest a typed bound lies within it.
    EXPECT_EQ(beyond(OUTSIDE_DIAMETER_BOUND, double(1000.0f), "OD1"), "");
    EXPECT_EQ(beyond(WALL_THICKNESS_BOUND, double(0.0001f), "Thk1"), "");
}

// Below a bound the editors refuse a value as invalid and say what the field
// takes: at least the bound in the chosen unit, or 0 or more.
TEST_F(BoundMessage, BelowABoundTheRefusalSaysWhatIsAccepted)
{
    EXPECT_EQ(below_bound_text(OUTSIDE_DIAMETER_BOUND), "it must be at least 0.001 inch");
    EXPECT_EQ(below_bound_text(SECTION_LAYER_BOUND), "it must be 0 or more");
    unit_choice()[DIMENSION] = 1;
    EXPECT_EQ(below_bound_text(WALL_THICKNESS_BOUND), "it must be at least 0.00254 mm");
    EXPECT_TRUE(below_bound(OUTSIDE_DIAMETER_BOUND, 0.0));
    EXPECT_TRUE(below_bound(OUTSIDE_DIAMETER_BOUND, std::nan("")));
    EXPECT_FALSE(below_bound(OUTSIDE_DIAMETER_BOUND, double(0.001f)));
    EXPECT_FALSE(below_bound(OUTSIDE_DIAMETER_BOUND, 1.0e19));   // beyond, not below
    // A typed text refused below the bound; one the parser refused for its
    // sign says the same; one that is no number says nothing more.
    for (const char* typed : {"0", "-6"}) {
        item_text() = typed;
        set_parse_refusal(typed, std::string(typed) == "-6" ? "it must be 0 or more" : "");
        try {
            throw_below_bound("OD", OUTSIDE_DIAMETER_BOUND, std::string(typed) == "0");
            ADD_FAILURE();
        } catch (const MessageText& m) {
            EXPECT_EQ(m.text, "OD =  " + std::string(typed) + "  is invalid: it must be at least 0.0254 mm");
        }
    }
    item_text() = "X";
    set_parse_refusal("X", "");
    try {
        throw_below_bound("OD", OUTSIDE_DIAMETER_BOUND, false);
        ADD_FAILURE();
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "OD =  X  is invalid");
    }
}
