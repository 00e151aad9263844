// The generic support (data type 21): six springs at its node along the
// global axes: KX, KY, KZ (lb/in) and KXX, KYY, KZZ (in-lb/rad); 0 is no
// spring, "Rigid" 1.0e12.
//
// Model-file record (framed): f32 KX, KY, KZ, KXX, KYY, KZZ.
//
// Support loads: FX, FY, FZ, MX, MY, MZ on the pipe in global axes, -k u.
#pragma once

#include "supports/support_item.h"

#include <array>
#include <string>

struct GenericSupportValues {
    std::array<float, 6> stiffness{};
    bool operator==(const GenericSupportValues&) const = default;
};

enum GenericSupportColumn : int {
    GENERIC_COL_NODE = 1,
    GENERIC_COL_KX,   // GENERIC_COL_KX + i: the spring of direction i (0..5)
    GENERIC_COL_KY,
    GENERIC_COL_KZ,
    GENERIC_COL_KXX,
    GENERIC_COL_KYY,
    GENERIC_COL_KZZ,
    GENERIC_COLUMNS = GENERIC_COL_KZZ,
};

class GenericSupport final : public SupportItem {
public:
    GenericSupportValues v;

    int dtype() const override { return DT_GENERIC_SUPPORT; }
    // "At least one spring is required" when all six are 0.
    static void check_values(const GenericSupportValues& values);

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
    int allowable_count() const override { return 6; }
};
