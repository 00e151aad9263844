// The restraint (data type 2): rigid both ways in the global directions X,
// Y and Z that it restrains.
//
// Model-file record (framed): tag[16], u8 X, u8 Y, u8 Z restrained.
//
// Analysis: a spring of 1.0e12 on each restrained translation. Support
// loads: FX, FY, FZ on the pipe in global axes (0 in a free direction).
#pragma once

#include "supports/support_item.h"

#include <array>
#include <string>

struct RestraintValues {
    std::string tag;
    std::array<uint8_t, 3> restrained{};   // X, Y, Z
    bool operator==(const RestraintValues&) const = default;
};

enum RestraintColumn : int {
    RESTRAINT_COL_NODE = 1,
    RESTRAINT_COL_TAG,
    RESTRAINT_COL_X,   // RESTRAINT_COL_X + i: direction i restrained
    RESTRAINT_COL_Y,
    RESTRAINT_COL_Z,
    RESTRAINT_COLUMNS = RESTRAINT_COL_Z,
};

// "Yes" or empty.
const char* yes_or_empty(bool flag);

class Restraint final : public SupportItem {
public:
    RestraintValues v;

    int dtype() const override { return DT_RESTRAINT; }
    std::string tag() const override { return v.tag; }
    // "At least one direction must be restrained" when none is.
    static void check_values(const RestraintValues& values);

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override { copy_support_values(*this, other); }
    bool same_values(const DataItem& other) const override { return same_support_values(*this, other); }
    std::string cell_text(int column) const override;
    std::string description() const override;
    void check(const Model& model, int row) const override;

    void assemble_stiffness(AnalysisRun& run, int row) const override;
    void write_support_loads(AnalysisRun& run, int row) const override;
    SymbolParts symbol_parts(int row) const override;

protected:
    int allowable_count() const override { return 3; }
};
