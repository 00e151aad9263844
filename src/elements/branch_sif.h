// The branch SIF: a data item on the row whose node is a branch point,
// naming the kind of branch connection there (welding tee, fabricated tee,
// extruded tee, branch fittings, the items of the Nordic codes, the generic
// branch connection) with the one or two dimensions the kind needs, and,
// for the B31J joint flexibility, the number of flanges or rigid fittings
// at the run pipe's ends. Which kinds can be chosen, and their names,
// depend on the piping code and on "Use B31J for SIFs and Flexibility
// Factors".
//
// Record: i32 type, f32 first value, f32 second value (inch), and from
// version 781 on i32 number of flanges (12 bytes before, 16 after); the
// writer always writes 16 bytes.
#pragma once

#include "model/data_item.h"

#include <cstdint>
#include <string>
#include <vector>

// Files from this version on hold the number of flanges of a branch SIF.
inline constexpr int32_t BRANCH_SIF_FLANGES_VERSION = 781;
inline constexpr int BRANCH_SIF_TYPE_COUNT = 9;
// The number of flanges or rigids at the run pipe's ends: 0, 1 or 2.
inline constexpr int MAX_BRANCH_SIF_FLANGES = 2;

enum BranchSifType : int32_t {
    BRANCH_WELDING_TEE = 1,
    BRANCH_REINFORCED_TEE = 2,
    BRANCH_UNREINFORCED_TEE = 3,
    BRANCH_EXTRUDED_TEE = 4,
    BRANCH_SWEEPOLET = 5,
    BRANCH_WELDOLET = 6,
    BRANCH_RADIUSED = 7,
    BRANCH_THICKENED_PIPE = 8,
    BRANCH_CONNECTION = 9,
};

// The name of a type in the dialog, the table and the reports, by piping
// code (the Nordic codes name some types after their items); with B31J on,
// the first six long names whatever the code. "???" for any other type.
std::string branch_sif_type_name(int type, int32_t code, bool b31j);
// The short name ("Welding tee", "Reinf tee", ...); "???" for any other type.
const char* branch_sif_short_name(int type);
// The types offered, in the dialog's order.
std::vector<int> branch_sif_types_offered(int32_t code, bool b31j);
// The combo position of a type (0 when it is not offered) and the type at a
// position (the first offered beyond the list).
int sif_position_of_type(int type, int32_t code, bool b31j);
int sif_type_at_position(int position, int32_t code, bool b31j);
// True when the type is not allowed under the code.
bool sif_type_invalid(int type, int32_t code, bool b31j);
// What a type needs: 0, 1 or 2 values.
int branch_sif_value_count(int type, int32_t code);
// The type a new branch SIF starts as: 3 under the Swedish code, else 1.
int branch_sif_default_type(int32_t code);

class BranchSif final : public DataItem {
public:
    BranchSif();

    int32_t sif_type = BRANCH_WELDING_TEE;
    float value1 = 0.0f;          // inch
    float value2 = 0.0f;          // inch
    int32_t num_flanges = 0;      // 0, 1 or 2

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    // 2: the type text (branch_sif_text).
    std::string cell_text(int column) const override;
    void fill_dialog(Dialog& dialog) const override;
    void register_row(int row) override;
    std::string description() const override;

    bool same_values(const BranchSif& other) const;
};

// The type text of a branch SIF: its name with its values (in the
// dimension format and the length unit) and, with B31J, its number of
// flanges.
std::string branch_sif_text(const BranchSif& sif, int32_t code, bool b31j);
std::string branch_sif_text(const BranchSif& sif);
