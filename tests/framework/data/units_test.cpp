#include "framework/errors.h"
#include "framework/units.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Parser = int (*)(const std::string&, float&);
using BufferParser = int (*)(float&);
using Formatter = std::string (*)(double);

class Units : public ::testing::Test {
protected:
    void SetUp() override
    {
        moment_precision() = false;
    }
    void TearDown() override
    {
        moment_precision() = false;
    }
};

void expect_near_relative(double actual, double expected, double tolerance, const std::string& what)
{
    double scale = std::max(std::fabs(expected), 1.0e-30);
    EXPECT_LE(std::fabs(actual - expected) / scale, tolerance)
        << what << ": got " << actual << ", expected " << expected;
}

}  // namespace

TEST_F(Units, ListsInIndexOrder)
{
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"ft-in", "feet", "inch", "m", "mm"},
        {"inch", "mm"},
        {"inch", "mm"},
        {"deg", "rad"},
        {"lb", "N", "kg"},
        {"ft-lb", "in-lb", "Nm", "kg-m"},
        {"lb/ft", "kg/m", "N/m", "kg/cm"},
        {"lb", "kg"},
        {"lb/in3", "lb/ft3", "kg/m3", "g/cm3"},
        {"lb/ft3", "kg/m3"},
        {"F", "C"},
        {"in/in/F", "mm/mm/C"},
        {"psi", "bar", "kPa", "MPa", "atm", "kg/cm2"},
        {"psi", "MPa", "N/mm2", "kg/mm2", "kg/cm2"},
        {"psi", "MPa", "kN/mm2", "kg/mm2", "kg/cm2"},
        {"lb/inch", "N/mm", "kg/mm", "kg/cm"},
        {"in-lb/deg", "in-lb/rad", "Nm/deg", "Nm/rad", "kg-m/deg", "kg-m/rad", "kg-cm/deg", "kg-cm/rad"},
        {"in2", "mm2"},
        {"in4", "mm4"},
        {"mph", "kmh", "m/s"},
    };
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
        const auto& list = lists[static_cast<size_t>(q)];
        ASSERT_EQ(unit_count(q), static_cast<int>(list.size())) << "quantity " << q;
        for (size_t i = 0; i < list.size(); ++i) {
            EXPECT_EQ(unit_name(q, static_cast<int>(i)), list[i]);
            EXPECT_EQ(unit_label_for(q, static_cast<int>(i)), "(" + list[i] + ")");
        }
        EXPECT_FALSE(unit_choice_valid(q, -1));
        EXPECT_FALSE(unit_choice_valid(q, static_cast<int>(list.size())));
    }
    EXPECT_EQ(unit_count(0), 0);
    EXPECT_EQ(unit_count(21), 0);
    EXPECT_EQ(unit_name(21, 0), "");
    EXPECT_EQ(unit_label(0), "");
}

TEST_F(Units, LabelsFollowChoiceAndIgnoreBadEntries)
{
    EXPECT_EQ(unit_label(DIMENSION), "(inch)");
    EXPECT_EQ(label_with_unit("Thickness", DIMENSION), "Thickness (inch)");
    unit_choice()[PRESSURE] = 1;
    EXPECT_EQ(label_with_unit("Pressure", PRESSURE), "Pressure (bar)");
    // An entry read from a damaged file falls back to the English unit.
    unit_choice()[PRESSURE] = 99;
    unit_choice()[LENGTH] = -4;
    EXPECT_EQ(current_unit(PRESSURE), 0);
    EXPECT_EQ(unit_label(PRESSURE), "(psi)");
    EXPECT_EQ(format_length(126.5), "10'6.5");
    float out = 0;
    EXPECT_EQ(parse_pressure("150", out), 0);
    EXPECT_FLOAT_EQ(out, 150.0f);
}

// Factors checked against published conversion tables (NIST SP 811, Appendix B).
TEST_F(Units, ConversionFactors)
{
    struct Case {
        int q;
        int index;
        double display;
        double internal;
    };
    const Case cases[] = {
        {LENGTH, 0, 1.0, 12.0},               {LENGTH, 3, 1.0, 39.37007874},
        {LENGTH, 4, 25.4, 1.0},               {DIMENSION, 1, 1.0, 0.03937007874},
        {ANGLE, 0, 180.0, 3.14159265359},     {FORCE, 1, 1.0, 0.2248089431},
        {FORCE, 2, 1.0, 2.204622622},         {MOMENT, 0, 1.0, 12.0},
        {MOMENT, 2, 1.0, 8.850745791},        {MOMENT, 3, 1.0, 86.79616621},
        {WEIGHT_PER_LENGTH, 0, 12.0, 1.0},    {WEIGHT_PER_LENGTH, 1, 1.0, 0.05599741459},
        {WEIGHT_PER_LENGTH, 2, 1.0, 0.005710147155}, {WEIGHT_PER_LENGTH, 3, 1.0, 5.599741459},
        {WEIGHT, 1, 1.0, 2.204622622},        {DENSITY, 1, 1728.0, 1.0},
        {DENSITY, 2, 27679.90471, 1.0},       {DENSITY, 3, 27.67990471, 1.0},
        {WEIGHT_DENSITY, 0, 1728.0, 1.0},     {WEIGHT_DENSITY, 1, 1000.0, 0.03612729200},
        {TEMPERATURE, 1, 100.0, 212.0},       {TEMPERATURE, 1, -40.0, -40.0},
        {EXPANSION, 1, 1.8e-5, 1.0e-5},       {PRESSURE, 1, 1.0, 14.50377377},
        {PRESSURE, 2, 1.0, 0.1450377377},     {PRESSURE, 3, 1.0, 145.0377377},
        {PRESSURE, 4, 1.0, 14.69594878},      {PRESSURE, 5, 1.0, 14.22334331},
        {STRESS, 1, 1.0, 145.0377377},        {STRESS, 2, 1.0, 145.0377377},
        {STRESS, 3, 1.0, 1422.334331},        {STRESS, 4, 1.0, 14.22334331},
        {MODULUS, 2, 1.0, 145037.7377},       {MODULUS, 3, 1.0, 1422.334331},
        {STIFFNESS, 1, 1.0, 5.710147155},     {STIFFNESS, 2, 1.0, 55.99741459},
        {STIFFNESS, 3, 1.0, 5.599741459},     {ROT_STIFFNESS, 0, 1.0, 57.29577951},
        {ROT_STIFFNESS, 2, 1.0, 507.1103794}, {ROT_STIFFNESS, 3, 1.0, 8.850745791},
        {ROT_STIFFNESS, 5, 1.0, 86.79616621}, {ROT_STIFFNESS, 6, 1.0, 49.73054002},
        {ROT_STIFFNESS, 7, 1.0, 0.8679616621}, {AREA, 1, 645.16, 1.0},
        {INERTIA, 1, 416231.4256, 1.0},       {SPEED, 1, 1.609344, 1.0},
        {SPEED, 2, 1.0, 2.236936292},
    };
    for (const Case& c : cases) {
        std::string what = unit_name(c.q, c.index);
        expect_near_relative(unit_to_internal(c.q, c.index, c.display), c.internal, 1e-9, what);
        expect_near_relative(unit_from_internal(c.q, c.index, c.internal), c.display, 1e-9, what);
    }
}

// parse(format(x)) gives x back in every unit of every quantity, for values
// that the formatter can show exactly (given here in the display unit).
TEST_F(Units, RoundTripInEveryUnit)
{
    struct Row {
        const char* name;
        int q;
        Parser parse;
        Formatter format;
        std::vector<double> display_values;
    };
    const std::vector<Row> rows = {
        {"length", LENGTH, parse_length, format_length, {10.5, -3.25, 0.125, 1234.5}},
        {"dimension", DIMENSION, parse_dimension, format_dimension, {0.375, 12.75, 1500}},
        {"signed dimension", DIMENSION, parse_signed_dimension, format_dimension, {-0.5, 2.25}},
        {"displacement", DISPLACEMENT, parse_displacement, format_displacement_or_none, {-1.25, 0.5}},
        {"displacement g5", DISPLACEMENT, parse_displacement, format_displacement_g5, {-0.0125, 3.5}},
        {"angle or none", ANGLE, parse_angle, format_angle_or_none, {45, -0.25}},
        {"angle", ANGLE, parse_angle, format_angle, {12.5, -0.5}},
        {"force", FORCE, parse_force, format_force, {1234.5, -20, 0.25}},
        {"force integer", FORCE, parse_force, format_force_integer, {-1234, 56789}},
        {"moment", MOMENT, parse_moment, format_moment, {1500.25, -7}},
        {"moment integer", MOMENT, parse_moment, format_moment_integer, {2500}},
        {"weight per length", WEIGHT_PER_LENGTH, parse_weight_per_length, format_weight_per_length,
         {12.5, 0.875}},
        {"weight", WEIGHT, parse_weight, format_weight, {150, 2.5}},
        {"density", DENSITY, parse_density, format_density, {0.283, 7850, 1.25}},
        {"weight density", WEIGHT_DENSITY, parse_weight_density, format_weight_density, {62.4, 1000}},
        {"temperature", TEMPERATURE, parse_temperature, format_temperature, {250, -20.5, 100}},
        {"expansion", EXPANSION, parse_expansion, format_expansion, {6.5e-6, 1.17e-5, 0.002}},
        {"pressure", PRESSURE, parse_pressure, format_pressure, {150, 1.5, -0.25, 0.05}},
        {"stress", STRESS, parse_stress, format_stress, {20000, 137.9, 1.5e6}},
        {"modulus", MODULUS, parse_modulus, format_modulus, {2.95e7, 203000, 2.1e6, 195}},
        {"stiffness", STIFFNESS, parse_stiffness, format_stiffness, {1500, 2.5e6, 0.5}},
        {"rot stiffness", ROT_STIFFNESS, parse_rot_stiffness, format_rot_stiffness,
         {1234.5, 2.5e7, 0.125, 800}},
        {"area", AREA, parse_area, format_area, {12.5, 2500}},
        {"inertia", INERTIA, parse_inertia, format_inertia, {123.5, 1.5e7}},
        {"speed", SPEED, parse_speed, format_speed, {85, 12.5}},
        {"soil stiffness", STIFFNESS, parse_stiffness, format_soil_stiffness, {2.5e7, 1500, 12.5}},
        {"soil force", FORCE, parse_force, format_soil_force, {1234, 5.5}},
    };
    for (const Row& row : rows) {
        for (int unit = 0; unit < unit_count(row.q); ++unit) {
            reset_unit_choice();
            unit_choice()[row.q] = unit;
            for (double d : row.display_values) {
                float x = static_cast<float>(to_internal(row.q, d));
                std::string text = row.format(x);
                float back = -1.0f;
                std::string what = std::string(row.name) + " in " + unit_name(row.q, unit) + ", " +
                                   std::to_string(d) + " -> \"" + text + "\"";
                ASSERT_EQ(row.parse(text, back), 0) << what;
                expect_near_relative(back, x, 2e-7, what);
            }
        }
    }
}

TEST_F(Units, EnteredZeroIsMarked)
{
    struct Case {
        const char* name;
        int q;
        int unit;
        Parser parse;
        Formatter format;
        float expected;
        const char* marker_text;
    };
    const Case cases[] = {
        {"density", DENSITY, 0, parse_density, format_density, ENTERED_ZERO, "0.0"},
        {"density kg/m3", DENSITY, 2, parse_density, format_density, ENTERED_ZERO, "0.0"},
        {"weight density", WEIGHT_DENSITY, 1, parse_weight_density, format_weight_density, ENTERED_ZERO, "0"},
        {"temperature F", TEMPERATURE, 0, parse_temperature, format_temperature, ENTERED_ZERO, "0"},
        {"expansion", EXPANSION, 1, parse_expansion, format_expansion, ENTERED_ZERO, "0"},
        {"pressure", PRESSURE, 3, parse_pressure, format_pressure, ENTERED_ZERO, "0"},
        {"stress", STRESS, 0, parse_stress, format_stress, 0.0f, "0"},
        {"weight", WEIGHT, 0, parse_weight, format_weight, 0.0f, "0"},
        {"area", AREA, 0, parse_area, format_area, 0.0f, ""},
    };
    for (const Case& c : cases) {
        reset_unit_choice();
        unit_choice()[c.q] = c.unit;
        for (const char* text : {"0", "-0", "0.000", "0E5"}) {
            float out = -5.0f;
            ASSERT_EQ(c.parse(text, out), 0) << c.name << " " << text;
            EXPECT_EQ(out, c.expected) << c.name << " " << text;
            EXPECT_FALSE(std::signbit(out)) << c.name << " " << text;
        }
        float empty = -5.0f;
        EXPECT_EQ(c.parse("  ", empty), 0) << c.name;
        EXPECT_EQ(empty, 0.0f) << c.name;
        EXPECT_EQ(c.format(c.expected), c.marker_text) << c.name;
    }
    // The marker stands for 0 degF: an entered 0 C is 32 degF, and the marker
    // shows as the Celsius value of 0 degF.
    reset_unit_choice();
    unit_choice()[TEMPERATURE] = 1;
    float out = 0;
    ASSERT_EQ(parse_temperature("0", out), 0);
    EXPECT_FLOAT_EQ(out, 32.0f);
    EXPECT_EQ(format_temperature(ENTERED_ZERO), "-17.78");
    EXPECT_EQ(format_temperature(0.0), "");
    EXPECT_EQ(format_temperature(32.0), "0");
}

TEST_F(Units, SignRules)
{
    struct Case {
        const char* name;
        Parser parse;
        bool negative_ok;
        bool zero_ok;
    };
    const Case cases[] = {
        {"length", parse_length, true, true},
        {"dimension", parse_dimension, false, true},
        {"signed dimension", parse_signed_dimension, true, true},
        {"displacement", parse_displacement, true, true},
        {"angle", parse_angle, true, true},
        {"force", parse_force, true, true},
        {"moment", parse_moment, true, true},
        {"weight per length", parse_weight_per_length, false, true},
        {"weight", parse_weight, false, true},
        {"density", parse_density, false, true},
        {"weight density", parse_weight_density, false, true},
        {"temperature", parse_temperature, true, true},
        {"expansion", parse_expansion, true, true},
        {"pressure", parse_pressure, true, true},
        {"stress", parse_stress, false, true},
        {"modulus", parse_modulus, false, false},
        {"stiffness", parse_stiffness, false, true},
        {"rot stiffness", parse_rot_stiffness, false, true},
        {"area", parse_area, false, true},
        {"inertia", parse_inertia, false, true},
        {"speed", parse_speed, false, true},
    };
    for (const Case& c : cases) {
        float out = 7.0f;
        EXPECT_EQ(c.parse("-2", out) == 0, c.negative_ok) << c.name;
        if (!c.negative_ok) {
            EXPECT_EQ(out, 7.0f) << c.name << ": a refused value must leave the field alone";
        }
        out = 7.0f;
        EXPECT_EQ(c.parse("0", out) == 0, c.zero_ok) << c.name;
        EXPECT_EQ(c.parse("2", out), 0) << c.name;
        out = 7.0f;
        EXPECT_EQ(c.parse("2x", out), 1) << c.name;
        EXPECT_EQ(out, 7.0f) << c.name;
        EXPECT_EQ(c.parse("", out), 0) << c.name << ": empty is accepted (required is the caller's check)";
        EXPECT_EQ(out, 0.0f) << c.name;
    }
}

TEST_F(Units, RigidWordForStiffnesses)
{
    for (Parser parse : {parse_stiffness, parse_rot_stiffness}) {
        for (int unit : {0, 1}) {
            reset_unit_choice();
            unit_choice()[STIFFNESS] = unit;
            unit_choice()[ROT_STIFFNESS] = unit;
            for (const char* text : {"R", "r", "rig", "Rigid", "RIGID", " r i g i d "}) {
                float out = 0;
                ASSERT_EQ(parse(text, out), 0) << text;
                EXPECT_EQ(out, RIGID_STIFFNESS) << text;
            }
            for (const char* text : {"RX", "RIGIDS", "IGID", "RIGID1", "-R"}) {
                float out = 3.0f;
                EXPECT_EQ(parse(text, out), 1) << text;
                EXPECT_EQ(out, 3.0f) << text;
            }
        }
    }
    reset_unit_choice();
    EXPECT_EQ(format_stiffness(RIGID_STIFFNESS), "Rigid");
    EXPECT_EQ(format_rot_stiffness(RIGID_STIFFNESS), "Rigid");
    EXPECT_EQ(format_stiffness(9.9e11), "Rigid");
    EXPECT_EQ(format_stiffness(1.1e12), "1.1000E+12");
    float other = 0;
    EXPECT_EQ(parse_force("R", other), 1);
}

TEST_F(Units, RealGrammar)
{
    struct Case {
        const char* text;
        bool ok;
        float value;
    };
    const Case cases[] = {
        {"1", true, 1},           {"-1", true, -1},         {"+1", true, 1},
        {".5", true, 0.5f},       {"5.", true, 5},          {"-.5", true, -0.5f},
        {"1.5E3", true, 1500},    {"1.5e-3", true, 0.0015f}, {" 1.5 ", true, 1.5f},
        {"1 . 5", false, 0},      {"5 6", false, 0},        {"- 1.5 E3", true, -1500},  // a blank splits no number
        {"1E+5", true, 1e5f},     {"1E37", true, 1e37f},    {"-1E-37", true, -1e-37f},
        {"2E037", true, 2e37f},   {"", true, 0},            {"\t", true, 0},
        {"E5", false, 0},         {"1E", false, 0},         {"1E+", false, 0},
        {"1.2.3", false, 0},      {"1E5E5", false, 0},      {"1E38", true, 1e38f},
        {"1E-38", true, 1e-38f},  {"1E0000000000000000038", true, 1e38f},
        {"1E-45", true, 1e-45f},  {"3.4028235E+38", true, 3.4028235e38f},
        {"3.403E+38", true, 3.4028235e38f},  // the largest float to 4 digits
        {"3.41E+38", false, 0},   {"-3.4E+38", true, -3.4e38f},
        {"1E99999", false, 0},    {"1E+400", false, 0},
        {"+", false, 0},          {"-", false, 0},          {".", false, 0},
        {"-.", false, 0},         {"1,5", false, 0},        {"abc", false, 0},
        {"1-2", false, 0},        {"--1", false, 0},        {"0X10", false, 0},
        {"INF", false, 0},        {"NAN", false, 0},        {"1.5E2.5", false, 0},
        {"99999E37", false, 0},  // beyond float
        {"1000000000000000000000000000000000000000", false, 0},
    };
    for (const Case& c : cases) {
        float out = -9.0f;
        EXPECT_EQ(parse_real(c.text, out), c.ok ? 0 : 1) << '"' << c.text << '"';
        EXPECT_FLOAT_EQ(out, c.ok ? c.value : -9.0f) << '"' << c.text << '"';
    }
    // The quantity parsers share the grammar.
    float out = 0;
    EXPECT_EQ(parse_force("1E39", out), 1);
    EXPECT_EQ(parse_force("1.5e1", out), 0);
    EXPECT_FLOAT_EQ(out, 15.0f);
    // A value that fits but overflows in the internal unit is refused.
    unit_choice()[MODULUS] = 2;  // kN/mm2
    EXPECT_EQ(parse_modulus("1E36", out), 1);
    // A modulus must be above 0 also after its conversion to a float.
    unit_choice()[MODULUS] = 0;
    out = 7.0f;
    EXPECT_EQ(parse_modulus("0.0000000001E-37", out), 1);
    EXPECT_FLOAT_EQ(out, 7.0f);
    // What the formatters write of a large modulus reads back.
    for (double v : {9.9999e9, 1.0e10, 3.0e11}) {
        EXPECT_EQ(parse_modulus(format_modulus(v), out), 0) << format_modulus(v);
        EXPECT_NEAR(out, v, v * 1e-3);
    }
}

TEST_F(Units, IntegerGrammar)
{
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {"42", true, 42},          {"-7", true, -7},        {"+3", true, 3},
        {" - 12 ", true, -12},     {"1 2", false, 0},       {"", true, 0},           {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},                    {"2147483648", false, 0},
        {"99999999999999999999", false, 0},                  {"-", false, 0},
        {"+", false, 0},           {"1.0", false, 0},       {"1E2", false, 0},
        {"x", false, 0},           {"1-", false, 0},
    };
    for (const Case& c : cases) {
        int32_t out = -9;
        EXPECT_EQ(parse_int(c.text, out), c.ok ? 0 : 1) << '"' << c.text << '"';
        EXPECT_EQ(out, c.ok ? c.value : -9) << '"' << c.text << '"';
    }
}

TEST_F(Units, FeetAndInches)
{
    struct Case {
        const char* text;
        bool ok;
        double inches;
    };
    const Case cases[] = {
        {"10", true, 120},       {"10'", true, 120},      {"10'6", true, 126},
        {"10'6\"", true, 126},   {"10' 6\"", true, 126},  {"10-6", true, 126},
        {"10'6.5", true, 126.5}, {"-3'2", true, -38},     {"-3-2", true, -38},
        {"-0'6", true, -6},      {"6\"", true, 6},        {"-1.5\"", true, -1.5},
        {"1.5", true, 18},       {"1E1", true, 120},      {"1E-1", true, 1.2},
        {"0'0", true, 0},        {"10'14", true, 134},    {"", true, 0},
        {"'6", false, 0},        {"10'-6", false, 0},     {"10'6'", false, 0},
        {"10\"6", false, 0},     {"10-", false, 0},       {"10--6", false, 0},
        {"1E1'6", false, 0},     {"10'6E1", false, 0},    {"A'B", false, 0},
        {"10'+6", false, 0},     {"\"", false, 0},        {"10''", false, 0},
        {"10-6\"", true, 126},   {"-3-2\"", true, -38},
    };
    for (const Case& c : cases) {
        float out = 555.0f;
        EXPECT_EQ(parse_length(c.text, out), c.ok ? 0 : 1) << c.text;
        EXPECT_FLOAT_EQ(out, c.ok ? static_cast<float>(c.inches) : 555.0f) << c.text;
    }

    struct Shown {
        double inches;
        const char* text;
    };
    const Shown shown[] = {
        {126.5, "10'6.5"}, {-38, "-3'2"},      {0, "0'0"},         {120, "10'0"},
        {11.99999, "1'0"}, {-0.00001, "0'0"},  {0.1234, "0'0.1234"}, {1.2e12, "1E+11"},
    };
    for (const Shown& s : shown)
        EXPECT_EQ(format_length(s.inches), s.text) << s.inches;

    // In the other length units the feet-and-inch forms are not numbers.
    unit_choice()[LENGTH] = 2;
    float out = 0;
    EXPECT_EQ(parse_length("10'6", out), 1);
    EXPECT_EQ(parse_length("10", out), 0);
    EXPECT_FLOAT_EQ(out, 10.0f);
}

TEST_F(Units, FormatRealForms)
{
    struct Case {
        double value;
        int width;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {1.5, 10, 2, "1.50"},           {-1.5, 10, 1, "-1.5"},
        {-0.001, 10, 2, "0.00"},        {-0.4, 5, 0, "0"},
        {-0.0, 5, 0, "0"},              {123456789, 8, 2, "1.23E+08"},
        {123456789, 10, 0, "123456789"}, {12345678901.0, 10, 0, "1.2346E+10"},
        {-12345678901.0, 10, 2, "-1.235E+10"}, {1e300, 3, 2, "*****"},
        {NAN, 10, 2, "*****"},          {INFINITY, 10, 2, "*****"},
        {12345.678, 0, 1, "12345.7"},   {2.5, 10, -3, "2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(format_real(c.value, c.width, c.decimals), c.text)
            << c.value << " " << c.width << " " << c.decimals;
}

TEST_F(Units, FormatterRules)
{
    struct Case {
        const char* name;
        int q;
        int unit;
        Formatter format;
        double value;  // internal
        const char* text;
    };
    const Case cases[] = {
        {"g3", 0, 0, format_g3, 0.3, "0.3"},
        {"g5 tiny", 0, 0, format_g5, 1e-36, "0"},
        {"g5 large", 0, 0, format_g5, 123456, "1.2346E+05"},
        {"length inch", LENGTH, 2, format_length, 12, "12.0000"},
        {"length mm", LENGTH, 4, format_length, 1000 / 25.4, "1000"},
        {"length m", LENGTH, 3, format_length, 123.456 / 0.0254, "123.46"},
        {"dimension inch", DIMENSION, 0, format_dimension, 0.375, "0.3750"},
        {"dimension mm", DIMENSION, 1, format_dimension, 1.0, "25.4"},
        {"displacement none", DISPLACEMENT, 0, format_displacement_or_none, 1e30, "None"},
        {"displacement tiny", DISPLACEMENT, 0, format_displacement_or_none, -5e-5, "0"},
        {"displacement inch", DISPLACEMENT, 0, format_displacement_or_none, 1.23456, "1.2346"},
        {"displacement mm", DISPLACEMENT, 1, format_displacement_or_none, 1.0, "25.400"},
        {"displacement g5", DISPLACEMENT, 1, format_displacement_g5, 1.0, "25.4"},
        {"angle none", ANGLE, 0, format_angle_or_none, -1e30, "None"},
        {"angle deg", ANGLE, 0, format_angle_or_none, 0.5, "28.648"},
        {"angle rad", ANGLE, 1, format_angle_or_none, 0.5, "0.5"},
        {"rotation deg", ANGLE, 0, format_angle, 0.01, "0.5730"},
        {"rotation zero", ANGLE, 0, format_angle, -1e-9, "0"},
        {"rotation rad", ANGLE, 1, format_angle, 0.00123456, "0.001235"},
        {"force zero", FORCE, 0, format_force, 0, "0"},
        {"force whole", FORCE, 0, format_force, 1234, "1234"},
        {"force fraction", FORCE, 0, format_force, 12.3456, "12.35"},
        {"force tiny", FORCE, 0, format_force, -0.001, "0"},
        {"force wide", FORCE, 0, format_force, 1.5e12, "1.5000E+12"},
        {"moment ft-lb", MOMENT, 0, format_moment, 1200, "100"},
        {"force integer", FORCE, 0, format_force_integer, 1234.6, "1235"},
        {"force integer N", FORCE, 1, format_force_integer, 100, "445"},
        {"moment integer", MOMENT, 1, format_moment_integer, 100.4, "100"},
        {"weight per length", WEIGHT_PER_LENGTH, 0, format_weight_per_length, 0, ""},
        {"weight per length lb/ft", WEIGHT_PER_LENGTH, 0, format_weight_per_length, 1.0, "12"},
        {"weight zero", WEIGHT, 0, format_weight, 0, "0"},
        {"density steel", DENSITY, 0, format_density, 0.283, "0.283"},
        {"density water", DENSITY, 0, format_density, 0.0361, "0.0361"},
        {"density three decimals", DENSITY, 0, format_density, 0.28, "0.280"},
        {"density empty", DENSITY, 0, format_density, 0, ""},
        {"density kg/m3", DENSITY, 2, format_density, 0.283, "7833"},
        {"temperature", TEMPERATURE, 0, format_temperature, 650.27, "650.3"},
        {"temperature C", TEMPERATURE, 1, format_temperature, 212, "100"},
        {"expansion", EXPANSION, 0, format_expansion, 6.5e-6, "6.5E-6"},
        {"expansion C", EXPANSION, 1, format_expansion, 6.5e-6, "11.7E-6"},
        {"expansion empty", EXPANSION, 0, format_expansion, 0, ""},
        {"pressure", PRESSURE, 0, format_pressure, 150, "150"},
        {"pressure 2 decimals", PRESSURE, 0, format_pressure, 1.5, "1.50"},
        {"pressure small", PRESSURE, 0, format_pressure, 0.05, "0.050"},
        {"pressure empty", PRESSURE, 0, format_pressure, 0, ""},
        {"pressure bar", PRESSURE, 1, format_pressure, 14.5037738 * 20, "20.0"},
        {"stress", STRESS, 0, format_stress, 20000, "20000"},
        {"stress mega", STRESS, 0, format_stress, 1.5e6, "1.5E+6"},
        {"stress MPa", STRESS, 1, format_stress, 20000, "137.895"},
        {"modulus", MODULUS, 0, format_modulus, 2.95e7, "29.5E+6"},
        {"modulus 1E+10", MODULUS, 0, format_modulus, 1.0e10, "1E+10"},   // one exponent only
        {"stress 3E+11", STRESS, 0, format_stress, 3.0e11, "3E+11"},
        {"modulus MPa", MODULUS, 1, format_modulus, 2.95e7, "203395"},
        {"stiffness", STIFFNESS, 0, format_stiffness, 1500, "1500"},
        {"stiffness zero", STIFFNESS, 0, format_stiffness, 0, "0"},
        {"stiffness exponent", STIFFNESS, 0, format_stiffness, 1.0e5, "1.0000E+05"},
        {"stiffness 1e9", STIFFNESS, 3, format_stiffness, 2e9, "3.5716E+08"},
        {"rot stiffness fraction", ROT_STIFFNESS, 0, format_rot_stiffness, 1.0e6, "17453.29"},
        {"rot stiffness below 1", ROT_STIFFNESS, 1, format_rot_stiffness, 0.125, "0.125"},
        {"area empty", AREA, 0, format_area, 0, ""},
        {"inertia mm4", INERTIA, 1, format_inertia, 1.0, "416231"},
        {"speed kmh", SPEED, 1, format_speed, 100, "160.93"},
        {"soil stiffness", STIFFNESS, 0, format_soil_stiffness, 2.5e7, "25E+6"},
        {"soil stiffness giga", STIFFNESS, 0, format_soil_stiffness, 1.234e9, "1.23E+9"},
        {"soil stiffness carry", STIFFNESS, 0, format_soil_stiffness, 999.96e6, "1E+9"},
        {"soil stiffness whole", STIFFNESS, 0, format_soil_stiffness, 1500.4, "1500"},
        {"soil stiffness small", STIFFNESS, 0, format_soil_stiffness, 12.5, "12.5"},
        {"soil force", FORCE, 0, format_soil_force, 1234.4, "1234"},
        {"soil force small", FORCE, 0, format_soil_force, 5.5, "5.50"},
        {"f3 trimmed one", 0, 0, format_f3_trimmed, 1.0, "1.0"},
        {"f3 trimmed", 0, 0, format_f3_trimmed, 1.25, "1.25"},
        {"f3 trimmed three", 0, 0, format_f3_trimmed, 2.125, "2.125"},
        {"f3 trimmed negative zero", 0, 0, format_f3_trimmed, -0.0001, "0.0"},
        {"factor one", 0, 0, format_factor_above_one, 1.0, ""},
        {"factor below", 0, 0, format_factor_above_one, 0.5, ""},
        {"factor", 0, 0, format_factor_above_one, 1.234, "1.23"},
        {"factor large", 0, 0, format_factor_above_one, 150.26, "150.3"},
        {"percent", 0, 0, format_percent, 87.26, "87.3"},
    };
    for (const Case& c : cases) {
        reset_unit_choice();
        if (c.q != 0)
            unit_choice()[c.q] = c.unit;
        EXPECT_EQ(c.format(c.value), c.text) << c.name;
    }
    reset_unit_choice();
    unit_choice()[MOMENT] = 1;
    moment_precision() = true;
    EXPECT_EQ(format_moment_integer(100.4), "100.40");
    EXPECT_EQ(int_text(-42), "-42");
}

TEST_F(Units, BufferTwinsReadItemText)
{
    struct Pair {
        const char* name;
        Parser parse;
        BufferParser buffer;
        const char* text;
    };
    const Pair pairs[] = {
        {"real", parse_real, parse_real_buffer, "2.5"},
        {"length", parse_length, parse_length_buffer, "10'6"},
        {"dimension", parse_dimension, parse_dimension_buffer, "2.5"},
        {"signed dimension", parse_signed_dimension, parse_signed_dimension_buffer, "-2.5"},
        {"displacement", parse_displacement, parse_displacement_buffer, "-0.5"},
        {"angle", parse_angle, parse_angle_buffer, "30"},
        {"force", parse_force, parse_force_buffer, "-100"},
        {"moment", parse_moment, parse_moment_buffer, "250"},
        {"weight per length", parse_weight_per_length, parse_weight_per_length_buffer, "12"},
        {"weight", parse_weight, parse_weight_buffer, "40"},
        {"density", parse_density, parse_density_buffer, "0"},
        {"weight density", parse_weight_density, parse_weight_density_buffer, "62.4"},
        {"temperature", parse_temperature, parse_temperature_buffer, "650"},
        {"expansion", parse_expansion, parse_expansion_buffer, "6.5E-6"},
        {"pressure", parse_pressure, parse_pressure_buffer, "150"},
        {"stress", parse_stress, parse_stress_buffer, "20000"},
        {"modulus", parse_modulus, parse_modulus_buffer, "29.5E6"},
        {"stiffness", parse_stiffness, parse_stiffness_buffer, "RIG"},
        {"rot stiffness", parse_rot_stiffness, parse_rot_stiffness_buffer, "1000"},
        {"area", parse_area, parse_area_buffer, "3.5"},
        {"inertia", parse_inertia, parse_inertia_buffer, "12.5"},
        {"speed", parse_speed, parse_speed_buffer, "85"},
    };
    for (const Pair& p : pairs) {
        float direct = 0;
        float buffered = 0;
        ASSERT_EQ(p.parse(p.text, direct), 0) << p.name;
        item_text() = p.text;
        ASSERT_EQ(p.buffer(buffered), 0) << p.name;
        EXPECT_EQ(buffered, direct) << p.name;
        item_text() = "X";
        EXPECT_EQ(p.buffer(buffered), 1) << p.name;
    }
    item_text() = "-12";
    int32_t whole = 0;
    EXPECT_EQ(parse_int_buffer(whole), 0);
    EXPECT_EQ(whole, -12);
    item_text().clear();
}

TEST_F(Units, CommaLocaleChangesNothing)
{
    const char* saved = std::setlocale(LC_ALL, nullptr);
    std::string saved_name = saved ? saved : "C";
    const char* name = nullptr;
    for (const char* candidate : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"}) {
        if (std::setlocale(LC_ALL, candidate) != nullptr) {
            name = candidate;
            break;
        }
    }
    if (name == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma installed (install locales-all)";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    bool comma = std::string(probe) == "1,5";

    std::vector<std::string> texts = {
        format_real(1.5, 10, 2), format_g5(0.25),   format_modulus(2.95e7),
        format_length(126.5),    format_pressure(1.5), format_real(1.5e12, 9, 2),
    };
    float value = 0;
    int good = parse_real("1.5", value);
    float good_value = value;
    int bad = parse_real("1,5", value);
    float length = 0;
    int length_result = parse_length("10'6.5", length);
    std::setlocale(LC_ALL, saved_name.c_str());

    ASSERT_TRUE(comma) << name << " has no decimal comma";
    EXPECT_EQ(texts, (std::vector<std::string>{"1.50", "0.25", "29.5E+6", "10'6.5", "1.50", "1.500E+12"}));
    EXPECT_EQ(good, 0);
    EXPECT_FLOAT_EQ(good_value, 1.5f);
    EXPECT_EQ(bad, 1);
    EXPECT_EQ(length_result, 0);
    EXPECT_FLOAT_EQ(length, 126.5f);
}
