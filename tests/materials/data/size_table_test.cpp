// The built-in pipe-size tables and the bend radius look-up. Expected values
// are the published dimensions of each standard (ANSI B36.10/B36.19, DIN,
// JIS G3452/G3459, ISO), converted from millimetres where the standard is
// metric.
#include "materials/pipe_section.h"
#include "materials/size_tables.h"

#include <gtest/gtest.h>

namespace {

float thickness(int standard, const std::string& size, const std::string& schedule)
{
    const PipeSizeTable& t = pipe_size_table(standard);
    const int row = t.find_row(size);
    EXPECT_GE(row, 0) << size;
    if (row < 0)
        return -1.0f;
    const int position = t.find_schedule(row, schedule);
    if (position < 0)
        return -1.0f;
    return t.rows[static_cast<std::size_t>(row)].thicknesses[static_cast<std::size_t>(position)];
}

PipeSection section_of(int standard, const std::string& size, float od = 0.0f)
{
    PipeSection s;
    s.size_standard = standard;
    s.nominal_size = size;
    s.outside_diameter = od;
    return s;
}

}  // namespace

TEST(SizeTable, CountsScheduleListsAndNonStandardRow)
{
    const struct {
        int standard, rows, schedules;
        const char* non_std_schedule;
    } expected[] = {{SIZE_ANSI, 37, 18, "5S"}, {SIZE_DIN, 27, 5, "1"}, {SIZE_JIS, 44, 17, "5S"}, {SIZE_ISO, 24, 4, "10"}};
    for (const auto& e : expected) {
        const PipeSizeTable& t = pipe_size_table(e.standard);
        EXPECT_EQ(t.row_count(), e.rows) << e.standard;
        EXPECT_EQ(static_cast<int>(t.schedule_names.size()), e.schedules);
        const PipeSizeRow& r0 = t.rows[0];
        EXPECT_EQ(r0.name, NON_STANDARD_SIZE);
        EXPECT_EQ(r0.outside_diameter, 0.0f);
        ASSERT_EQ(r0.schedule_count(), 1);
        EXPECT_EQ(t.schedule_name(0, 0), e.non_std_schedule);
        EXPECT_EQ(r0.thicknesses[0], 0.0f);
        for (const PipeSizeRow& r : t.rows) {
            EXPECT_EQ(r.thicknesses.size(), r.schedules.size()) << r.name;
            EXPECT_GE(r.schedule_count(), 1) << r.name;
        }
    }
    EXPECT_FALSE(valid_size_standard(-1));
    EXPECT_FALSE(valid_size_standard(4));
}

TEST(SizeTable, SampleSizesAndThicknesses)
{
    // ANSI, inch as written.
    EXPECT_FLOAT_EQ(thickness(SIZE_ANSI, "3\"", "40"), 0.216f);
    EXPECT_FLOAT_EQ(thickness(SIZE_ANSI, "2\"", "40"), 0.154f);
    EXPECT_FLOAT_EQ(thickness(SIZE_ANSI, "1/8\"", "10S"), 0.049f);
    EXPECT_FLOAT_EQ(thickness(SIZE_ANSI, "8\"", "XXS"), 0.875f);
    EXPECT_FLOAT_EQ(thickness(SIZE_ANSI, "24\"", "160"), 2.343f);
    EXPECT_FLOAT_EQ(thickness(SIZE_ANSI, "48\"", "XS"), 0.5f);
    EXPECT_EQ(thickness(SIZE_ANSI, "22\"", "40"), -1.0f);   // 22" has no schedule 40
    EXPECT_FLOAT_EQ(thickness(SIZE_ANSI, "22\"", "60"), 0.875f);
    const PipeSizeTable& ansi = pipe_size_table(SIZE_ANSI);
    EXPECT_FLOAT_EQ(ansi.rows[static_cast<std::size_t>(ansi.find_row("5\""))].outside_diameter, 5.563f);
    EXPECT_FLOAT_EQ(ansi.rows[static_cast<std::size_t>(ansi.find_row("36\""))].outside_diameter, 36.0f);
    EXPECT_EQ(ansi.rows.back().name, "48\"");

    // Metric tables are stored in inch.
    EXPECT_FLOAT_EQ(thickness(SIZE_DIN, "150", "2"), float(4 / 25.4));
    EXPECT_FLOAT_EQ(thickness(SIZE_DIN, "1600", "2"), float(12.5 / 25.4));
    EXPECT_EQ(thickness(SIZE_DIN, "125", "2"), -1.0f);
    EXPECT_FLOAT_EQ(thickness(SIZE_JIS, "8A", "80"), float(3 / 25.4));
    EXPECT_FLOAT_EQ(thickness(SIZE_JIS, "175A", "SGP"), float(5.3 / 25.4));
    EXPECT_FLOAT_EQ(thickness(SIZE_JIS, "1000A", "20S"), float(14.3 / 25.4));
    EXPECT_FLOAT_EQ(thickness(SIZE_JIS, "1500A", "XS"), float(12.7 / 25.4));
    EXPECT_FLOAT_EQ(thickness(SIZE_ISO, "1000", "16"), float(10 / 25.4));
    EXPECT_EQ(thickness(SIZE_ISO, "700", "25"), -1.0f);
    const PipeSizeTable& jis = pipe_size_table(SIZE_JIS);
    const PipeSizeRow& jis350 = jis.rows[static_cast<std::size_t>(jis.find_row("350A"))];
    EXPECT_FLOAT_EQ(jis350.outside_diameter, float(355.6 / 25.4));
    EXPECT_FLOAT_EQ(jis350.long_radius, float(1.5 * 355.6 / 25.4));
    EXPECT_EQ(jis.rows.back().name, "1500A");
}

TEST(SizeTable, ScheduleKeptWhenSizeChanges)
{
    // The dialog keeps "40" when moving from 2" to 3": both rows list it.
    const PipeSizeTable& t = pipe_size_table(SIZE_ANSI);
    const int row = t.find_row("3\"");
    const int position = t.find_schedule(row, "40");
    ASSERT_GE(position, 0);
    EXPECT_EQ(t.schedule_name(row, position), "40");
    EXPECT_FLOAT_EQ(t.rows[static_cast<std::size_t>(row)].thicknesses[static_cast<std::size_t>(position)], 0.216f);
}

TEST(SizeTable, BendRadiusLookup)
{
    EXPECT_FLOAT_EQ(section_bend_radius(section_of(SIZE_ANSI, "3/4\"", 1.05f), false), 1.125f);
    EXPECT_FLOAT_EQ(section_bend_radius(section_of(SIZE_ANSI, "3/4\"", 1.05f), true), 1.0f);
    EXPECT_NEAR(section_bend_radius(section_of(SIZE_DIN, "15"), false), 1.1024, 1e-4);
    EXPECT_NEAR(section_bend_radius(section_of(SIZE_DIN, "15"), true), 0.6890, 1e-4);
    // ISO's second radius is the larger one.
    EXPECT_FLOAT_EQ(section_bend_radius(section_of(SIZE_ISO, "15"), true), float(45 / 25.4));
    EXPECT_GT(section_bend_radius(section_of(SIZE_ISO, "15"), true), section_bend_radius(section_of(SIZE_ISO, "15"), false));
    // Non-standard, and a size that is not in the section's own table.
    EXPECT_FLOAT_EQ(section_bend_radius(section_of(SIZE_ANSI, NON_STANDARD_SIZE, 10.0f), false), 15.0f);
    EXPECT_FLOAT_EQ(section_bend_radius(section_of(SIZE_ANSI, NON_STANDARD_SIZE, 10.0f), true), 10.0f);
    EXPECT_FLOAT_EQ(section_bend_radius(section_of(SIZE_ANSI, "150", 6.0f), false), 9.0f);
    // Matching is exact.
    EXPECT_FLOAT_EQ(section_bend_radius(section_of(SIZE_JIS, "15a", 1.0f), false), 1.5f);
    // A standard out of range never reaches the tables.
    EXPECT_FLOAT_EQ(section_bend_radius(section_of(9, "3\"", 2.0f), true), 2.0f);
}
