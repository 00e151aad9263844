// Vector and rotation helpers, text and path helpers.
#include "framework/geometry.h"
#include "framework/strings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <thread>

namespace {

void expect_near(const Vec3& a, const Vec3& b, double tolerance = 1e-12)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

double distance(const Vec3& a, const Vec3& b)
{
    return length3(a.x - b.x, a.y - b.y, a.z - b.z);
}

}  // namespace

TEST(Helpers, LengthsAndNormalize)
{
    EXPECT_DOUBLE_EQ(length2(3, 4), 5.0);
    EXPECT_DOUBLE_EQ(length3(2, 3, 6), 7.0);

    double x = 0, y = 3, z = 4;
    normalize3(x, y, z);
    EXPECT_DOUBLE_EQ(y, 0.6);
    EXPECT_DOUBLE_EQ(z, 0.8);
    float a = 0, b = 0, c = 0;  // a zero vector stays, no NaN
    normalize3(a, b, c);
    EXPECT_EQ(a, 0.0f);
    EXPECT_EQ(b, 0.0f);
    EXPECT_EQ(c, 0.0f);
    float f = 1e-30f, g = 0, h = 0;  // tiny, but not zero
    normalize3(f, g, h);
    EXPECT_FLOAT_EQ(f, 1.0f);
}

TEST(Helpers, RotationAboutAnAxis)
{
    const double quarter = std::numbers::pi / 2;
    // Right-handed: 90 degrees about +z takes x to y.
    expect_near(AxisRotation::about({}, {0, 0, 1}, quarter).apply({1, 0, 0}), {0, 1, 0});
    expect_near(AxisRotation::about({}, {0, 0, 5}, quarter).apply({0, 1, 0}), {-1, 0, 0});
    // About a line through (1, 1, 0) parallel to z.
    expect_near(AxisRotation::about({1, 1, 0}, {0, 0, 1}, quarter).apply({2, 1, 7}), {1, 2, 7});
    // 120 degrees about (1, 1, 1) cycles the axes.
    expect_near(AxisRotation::about({}, {1, 1, 1}, 2 * std::numbers::pi / 3).apply({1, 0, 0}), {0, 1, 0});

    // Any axis: points on the axis stay, distances to the origin point are kept.
    const Vec3 origin{0.3, -2.0, 1.5};
    const Vec3 axis{0.2, 0.7, -0.4};
    const AxisRotation r = AxisRotation::about(origin, axis, 1.234);
    const Vec3 p{4.0, -1.0, 2.5};
    EXPECT_NEAR(distance(r.apply(p), origin), distance(p, origin), 1e-12);
    const Vec3 on_axis{origin.x + 2 * axis.x, origin.y + 2 * axis.y, origin.z + 2 * axis.z};
    expect_near(r.apply(on_axis), on_axis);
    // Turning back by the opposite angle restores the point.
    expect_near(AxisRotation::about(origin, axis, -1.234).apply(r.apply(p)), p);

    // A zero axis is the identity.
    expect_near(AxisRotation::about({1, 2, 3}, {0, 0, 0}, 1.0).apply(p), p);
}

TEST(Helpers, SharedRotationTransformsPointsInPlace)
{
    rotation_about_axis({0, 0, 0}, {1, 0, 0}, std::numbers::pi / 2);
    float x = 0, y = 1, z = 0;
    transform_point(x, y, z);
    EXPECT_NEAR(x, 0.0f, 1e-6f);
    EXPECT_NEAR(y, 0.0f, 1e-6f);
    EXPECT_NEAR(z, 1.0f, 1e-6f);
    double dx = 0, dy = 0, dz = 2;
    transform_point(dx, dy, dz);
    EXPECT_NEAR(dy, -2.0, 1e-12);
    // Each thread has its own: another thread's rotation starts as the identity.
    Vec3 seen;
    std::thread([&] {
        double a = 1, b = 2, c = 3;
        transform_point(a, b, c);
        seen = {a, b, c};
    }).join();
    expect_near(seen, {1, 2, 3});
}

TEST(Helpers, NameCharacters)
{
    EXPECT_TRUE(is_valid_name("A106-B/2"));
    EXPECT_TRUE(is_valid_name("cs1"));
    EXPECT_TRUE(is_valid_name(""));  // emptiness is the caller's "is required"
    EXPECT_FALSE(is_valid_name("A B"));
    EXPECT_FALSE(is_valid_name("A_B"));
    EXPECT_FALSE(is_valid_name("A.1"));
    EXPECT_FALSE(is_valid_name("\xC3\x84"));  // non-ASCII letters are not letters here
}

TEST(Helpers, TextEditing)
{
    std::string t = "  \tAB C \t ";
    trim_blanks(t);
    EXPECT_EQ(t, "AB C");
    std::string blank = "   ";
    trim_blanks(blank);
    EXPECT_EQ(blank, "");
    // Blanks go, but one stays where it splits a number, so that no reader takes "5 6" for 56.
    EXPECT_EQ(squeeze_blanks(" 1 2\t 3 "), "1 2 3");
    EXPECT_EQ(squeeze_blanks("1 .5"), "1 .5");
    EXPECT_EQ(squeeze_blanks(" cs 1 "), "cs1");
    EXPECT_EQ(squeeze_blanks("10' 6\""), "10'6\"");
    EXPECT_EQ(squeeze_blanks("- 1.5 E 3"), "-1.5E3");
    EXPECT_EQ(upper_case("a1b-z\xe9"), "A1B-Z\xe9");
    EXPECT_EQ(lower_case("MOD"), "mod");

    std::string title = "Library";
    append_in_parentheses(title, "/home/user/lib/");
    EXPECT_EQ(title, "Library (/home/user/lib)");
    std::string win = "L";
    append_in_parentheses(win, "C:\\data\\");
    EXPECT_EQ(win, "L (C:\\data)");
    std::string root = "R";
    append_in_parentheses(root, "/");
    EXPECT_EQ(root, "R (/)");
}

TEST(Helpers, PathParts)
{
    EXPECT_EQ(model_base_name("/home/u/models/plant.mod"), "plant");
    EXPECT_EQ(model_base_name("plant.mod"), "plant");
    EXPECT_EQ(model_base_name("/a.b/plant"), "plant");        // no extension, dotted folder
    EXPECT_EQ(model_base_name("/a/plant.v2.model"), "plant.v2");  // any extension length
    EXPECT_EQ(model_base_name("/a/.hidden"), ".hidden");
    EXPECT_EQ(model_base_name(""), "Untitled");

    EXPECT_EQ(file_extension("/a/B.MBF"), "mbf");
    EXPECT_EQ(file_extension("/a.b/c"), "");
    EXPECT_EQ(file_extension("x."), "");

    EXPECT_EQ(replace_extension("/a/plant.mod", "res"), "/a/plant.res");
    EXPECT_EQ(replace_extension("/a.b/plant", "txt"), "/a.b/plant.txt");
    EXPECT_EQ(replace_extension("/a/plant.mod", ""), "/a/plant");

    EXPECT_EQ(folder_of("/a/b/c.mod"), "/a/b");
    EXPECT_EQ(folder_of("/c.mod"), "/");
    EXPECT_EQ(folder_of("c.mod"), "");

    const std::string folder = program_folder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(folder, std::filesystem::canonical("/proc/self/exe").parent_path().string());
}

// What a message quotes of the input: C0 controls but the tab, DEL, the C1
// controls and bytes that are no UTF-8 character become "\xHH" (the codes
// written out here by hand from the ASCII and UTF-8 tables); letters of
// any script stay as they are, and a quoted text is quoted again unchanged.
TEST(ControlCharsShown, EveryControlButTheTabIsWrittenAsItsCode)
{
    EXPECT_EQ(shown_controls("T12,Y0\x1B]0;pwned\x07\x1B[2J"), "T12,Y0\\x1B]0;pwned\\x07\\x1B[2J");
    EXPECT_EQ(shown_controls("a\tb\x7F" "c\rd\x01"), "a\tb\\x7Fc\\x0Dd\\x01");
    EXPECT_EQ(shown_controls("two\nlines"), "two\\x0Alines");
    EXPECT_EQ(shown_controls("two\nlines\x1B", true), "two\nlines\\x1B");
    // U+009B (CSI) is C2 9B; U+00A0 (C2 A0) and U+00B0 are characters.
    EXPECT_EQ(shown_controls("x\xC2\x9B" "1m \xC2\xA0\xC2\xB0" "C"), "x\\xC2\\x9B1m \xC2\xA0\xC2\xB0" "C");
    // Stray continuation bytes, a lone 8-bit CSI, an overlong '/', a
    // surrogate, a character cut short at the end.
    EXPECT_EQ(shown_controls("\x80\x9B"), "\\x80\\x9B");
    EXPECT_EQ(shown_controls("\xC0\xAF"), "\\xC0\\xAF");
    EXPECT_EQ(shown_controls("\xED\xA0\x80"), "\\xED\\xA0\\x80");
    EXPECT_EQ(shown_controls("ab\xE2\x82"), "ab\\xE2\\x82");
    // Characters of three and four bytes.
    EXPECT_EQ(shown_controls("\xE2\x82\xAC \xF0\x9F\x94\xA7"), "\xE2\x82\xAC \xF0\x9F\x94\xA7");
    const std::string once = shown_controls(std::string("\0\x1F\x85\xFF", 4));
    EXPECT_EQ(once, "\\x00\\x1F\\x85\\xFF");
    EXPECT_EQ(shown_controls(once), once);
}

// The bidirectional embeddings, overrides and isolates, U+202A to U+202E
// and U+2066 to U+2069 (E2 80 AA to AE and E2 81 A6 to A9 in UTF-8), would
// show a text in another order: they stand as the codes of their bytes,
// their neighbours U+2029 (E2 80 A9), U+202F (E2 80 AF), U+2065 (E2 81 A5)
// and U+206A (E2 81 AA) as they are. holds_controls says whether a text
// has any of what stands as codes, and blanked_controls puts one blank for
// each of them.
TEST(ControlCharsShown, BidirectionalControlsStandAsCodesAndTheOtherFormsAgree)
{
    EXPECT_EQ(shown_controls("Import note: \xE2\x80\xAE" "cba"), "Import note: \\xE2\\x80\\xAEcba");
    EXPECT_EQ(shown_controls("\xE2\x80\xAA\xE2\x81\xA6\xE2\x81\xA9"),
              "\\xE2\\x80\\xAA\\xE2\\x81\\xA6\\xE2\\x81\\xA9");
    const std::string neighbours = "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE2\x81\xAA";
    EXPECT_EQ(shown_controls(neighbours), neighbours);
    EXPECT_FALSE(holds_controls(neighbours));

    for (const std::string& text : {std::string("PIPE RACK 3"), std::string("a\tb"), std::string("\xC3\xA9t\xC3\xA9"),
                                    neighbours})
        EXPECT_FALSE(holds_controls(text)) << text;
    for (const std::string& text : {std::string("a\x1B"), std::string("a\nb"), std::string("\x7F"),
                                    std::string("\xC2\x9B"), std::string("\xFF"), std::string("x\xE2\x81\xA8")})
        EXPECT_TRUE(holds_controls(text)) << shown_controls(text);
    // ESC, BEL, CSI (C2 9B), a stray byte and RLO: one blank each.
    EXPECT_EQ(blanked_controls("A\x1B]0;T\x07" "B\xC2\x9B" "C\xFF\xE2\x80\xAE" "D\xC3\xA9"), "A ]0;T B C  D\xC3\xA9");
}
