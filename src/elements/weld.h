// The girth joints the piping-code evaluation reads at a row's node: the
// weld (butt weld, fillet weld, concave fillet weld, tapered transition,
// with the wall mismatch of butt welds and tapered transitions) and the
// threaded joint, which holds nothing but its row's data type. Neither has
// a symbol, stiffness or load.
//
// Weld record (8 bytes, every version): i32 type, f32 mismatch (inch). The
// threaded joint writes no record.
#pragma once

#include "model/data_item.h"

#include <cstdint>
#include <string>

inline constexpr int WELD_TYPE_COUNT = 4;
enum WeldType : int32_t {
    WELD_BUTT = 1,
    WELD_FILLET = 2,
    WELD_CONCAVE_FILLET = 3,
    WELD_TAPERED = 4,
};

// "Butt weld", "Fillet weld", "Concave fillet weld", "Tapered transition";
// "???" for any other type.
const char* weld_type_name(int type);
// True for the types that carry a mismatch (butt weld, tapered transition).
bool weld_has_mismatch(int type);

class Weld final : public DataItem {
public:
    int32_t weld_type = WELD_BUTT;
    float mismatch = 0.0f;   // inch; only with weld_has_mismatch

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    // 2: the weld text, "Butt weld, Mismatch = 0.0625 (inch)".
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    std::string description() const override;
};

// The weld text of a type and mismatch.
std::string weld_text(int type, float mismatch);

class ThreadedJoint final : public DataItem {
public:
    void count() override;
    void register_row(int row) override;
    std::string description() const override { return "Threaded joint"; }
};
