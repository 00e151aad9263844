// What the model build of a CAESAR II neutral file shares between the rows
// (cii_build.cpp) and the supports, loads and SIFs (cii_items.cpp): the
// store, the line of every row made, conversion of file values through the
// file's factors with their range checks, and row making.
#pragma once

#include "exchange/cii_staging.h"

#include <string>
#include <vector>

// Groups of the closing note.
inline constexpr const char* CII_SKIPPED = "Read and not used";
inline constexpr const char* CII_DROPPED = "Items whose node has no row, not taken";
inline constexpr const char* CII_DEFAULT_TABLES = "Materials with the default property table";
inline constexpr const char* CII_NOT_TAKEN = "Not taken";
inline constexpr const char* CII_TAKEN_AS = "Taken as";
inline constexpr const char* CII_SHORT_LINES = "Lines with fewer values than read, the missing ones read as 0";

class CiiBuild {
public:
    CiiBuild(const CiiStaging& staging, const NeutralLines& lines, ImportNotes& notes)
        : s(staging), notes(notes), lines_(lines)
    {
    }

    const CiiStaging& s;
    ImportNotes& notes;

    // The error text of a record's line; the message alone for line 0.
    [[noreturn]] void fail(int line, const std::string& message) const;
    std::string here(int line) const;

    // A file value divided by its factor, in the range of its quantity;
    // otherwise "<what> is out of range" at the line.
    float convert(double value, const CiiValue& factor, NeutralQuantity q, int line, const char* what) const;
    float convert(double value, double factor, NeutralQuantity q, int line, const char* what) const;
    // Rotational stiffnesses are per degree in the file.
    float rot_stiffness(double value, int line, const char* what) const;
    // A temperature: (t - offset) / scale in degF; a file value of 0 is one
    // not given and takes `zero_temperature`.
    float temperature(double value, int line) const;
    float zero_temperature = 70.0f;   // degF

    // Rows: appended at the end, or inserted right after a row; each keeps
    // the line of the record that made it. Beyond the row limit: "Maximum
    // number of elements exceeded".
    int append_row(int line);
    int insert_row_after(int row, int line);
    int row_line(int row) const { return row_lines_[static_cast<std::size_t>(row)]; }

private:
    const NeutralLines& lines_;
    std::vector<int> row_lines_{0};
};

// The supports, loads and SIFs, in this order: restraints, nozzles,
// displacements, forces, SIFs, hangers (cii_items.cpp).
void add_cii_items(CiiBuild& b);
// After the build: the direction of limit stops that the file gives none
// and whose type names no axis, along the pipe at their node.
void fix_cii_item_directions(CiiBuild& b);
