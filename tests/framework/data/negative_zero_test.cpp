// A value that rounds to zero is written without a sign by every writer of
// numbers: the number writers, the unit formatters of the tables and the
// report, and the formatted messages. A value that does not round to zero
// keeps its sign.
#include "framework/number_text.h"
#include "framework/text.h"
#include "framework/units.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace {

std::string fixed(double value, int decimals)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_fixed(text, value, decimals));
}

std::string exponent(double value, int decimals)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_exponent(text, value, decimals, true));
}

std::string general(double value, int precision)
{
    char text[NUMBER_TEXT_SIZE];
    return std::string(text, write_general(text, value, precision, false));
}

}  // namespace

// -0.0004 to three decimals is 0.000 (below half a unit of the last digit,
// 0.0005); -0.0006 is -0.001. A negative zero (-0.0, as a negated 0 gives)
// has no sign in any form, however small the value around it.
TEST(NegativeZero, NumberWritersNeverSignAZero)
{
    EXPECT_EQ(fixed(-0.0004, 3), "0.000");
    EXPECT_EQ(fixed(-0.0006, 3), "-0.001");
    EXPECT_EQ(fixed(-0.0, 2), "0.00");
    EXPECT_EQ(fixed(-0.49, 0), "0");
    EXPECT_EQ(fixed(-0.51, 0), "-1");
    EXPECT_EQ(fixed(-1e-300, 20), "0.00000000000000000000");   // past the fast path
    EXPECT_EQ(exponent(-0.0, 3), "0.000E+00");
    EXPECT_EQ(exponent(-1e-300, 2), "-1.00E-300");
    EXPECT_EQ(general(-0.0, 5), "0");
    EXPECT_EQ(general(-2.5e-7, 3), "-2.5e-07");
    // The report's form: the fixed form in its width, else the exponent form.
    EXPECT_EQ(format_real(-0.0004, 10, 3), "0.000");
    EXPECT_EQ(format_real(-0.0, 5, 4), "0E+00");
    EXPECT_EQ(format_real(-0.0004, 0, 3), "0.000");
    EXPECT_EQ(format_real(-0.004, 10, 2), "0.00");
    EXPECT_EQ(format_real(-0.006, 10, 2), "-0.01");
}

// The formatted messages: each floating conversion of a format whose digits
// are all zero is written without its sign, in its width and flags; the
// other conversions (texts, whole numbers, characters, widths given as
// arguments) are written as printf writes them.
TEST(NegativeZero, FormattedMessagesWriteAZeroWithoutASign)
{
    EXPECT_EQ(c_format("travel of %.3f in", -0.0002), "travel of 0.000 in");
    EXPECT_EQ(c_format("travel of %.3f in", -0.0006), "travel of -0.001 in");
    EXPECT_EQ(c_format("[%8.2f|%-9.3e|%g|%+.1f|%G]", -0.001, -0.0, -0.0, -0.04, -1e-30),
              "[    0.00|0.000e+00|0|+0.0|-1E-30]");
    EXPECT_EQ(c_format("%s %d %zu %lld %c %05.1f %.1f %x %%", "node", -3, std::size_t{7}, -8LL, 'x', -0.04, -0.06, 255U),
              "node -3 7 -8 x 000.0 -0.1 ff %");
    EXPECT_EQ(c_format("%*.*f|%-*d|%.*e", 6, 2, -0.001, 4, -0, 1, -0.0), "  0.00|0   |0.0e+00");
    EXPECT_EQ(c_format("%.2Lf and %s", -0.001L, "-0.00 as text stays"), "0.00 and -0.00 as text stays");
    EXPECT_EQ(c_format("no number -0 here"), "no number -0 here");
    EXPECT_EQ(c_format("%.0f%%", -0.3), "0%");
}
