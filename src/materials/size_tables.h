// The built-in pipe-size tables, one per size standard (ANSI, DIN, JIS, ISO):
// nominal sizes with outside diameter, long and short bend radius and the
// wall thickness of each schedule. Values are in inch; the metric tables are
// converted once from millimetres when first asked for. Row 0 of every table
// is "Non Std", a section whose diameter and thickness are typed in.
#pragma once

#include <string>
#include <vector>

struct PipeSection;

inline constexpr const char* NON_STANDARD_SIZE = "Non Std";

struct PipeSizeRow {
    std::string name;              // ANSI names end in the inch mark
    float outside_diameter = 0.0f; // inch
    float long_radius = 0.0f;      // inch
    float short_radius = 0.0f;     // inch
    std::vector<int> schedules;    // indices into the table's schedule names
    std::vector<float> thicknesses;// inch, one per schedule

    int schedule_count() const { return static_cast<int>(schedules.size()); }
};

struct PipeSizeTable {
    std::vector<PipeSizeRow> rows;
    std::vector<std::string> schedule_names;

    int row_count() const { return static_cast<int>(rows.size()); }
    // The row named `name` (row 0 included); -1 when none.
    int find_row(const std::string& name) const;
    // The row a typed size names: its name in any case and with or without
    // its blanks ("NONSTD" for Non Std), or an ANSI name without its inch
    // mark ("6" for 6"); row 0 included; -1 when none.
    int find_typed_row(const std::string& typed) const;
    // The position of schedule `schedule` among the row's schedules; -1 when
    // the row has none of that name.
    int find_schedule(int row, const std::string& schedule) const;
    const std::string& schedule_name(int row, int position) const;
};

// True for 0 ANSI, 1 DIN, 2 JIS, 3 ISO.
bool valid_size_standard(int standard);
// The table of a size standard; any other value is an internal error.
const PipeSizeTable& pipe_size_table(int standard);
// The long radius (or the short one with `short_radius`) of the row whose
// name is the section's nominal size, rows 1 and on of the section's
// standard; 1.5 (or 1.0) times the outside diameter when none matches or the
// standard is not one of the four.
float section_bend_radius(const PipeSection& section, bool short_radius);

// The size in inch that an ANSI size name gives: "1-1/2\"" 1.5, "6\"" 6.
double size_of_name(const std::string& name);
// The nominal pipe size (inch) of a pipe of that outside diameter: the size
// of the first row of the ANSI table (1/8" to 48") whose outside diameter lies
// within 0.01 in; else the diameter itself.
double nominal_pipe_size(double outside_diameter);
