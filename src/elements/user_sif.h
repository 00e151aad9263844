// The user SIF: stress intensification factors that the user gives for the
// row's node in place of those the piping code would compute. By code it is
// one SIF; separate in-plane and out-of-plane SIFs with optional axial
// (B31.3, B31.12) and torsion (with B31J) SIFs; or, for IGEM, ten stress
// concentration factors, sustained and cyclic, for pressure, bending,
// thrust, torsion and shear. One record holds them all; 0 is a value not
// given.
//
// Record (f32 each): in-plane, out-of-plane; from version 781 on axial,
// torsion; from version 1001 on the sustained pressure, bending, thrust,
// torsion, shear factors and the cyclic ones in the same order (thrust
// before torsion). The writer always writes all 14 (56 bytes).
#pragma once

#include "model/data_item.h"

#include <cstdint>

inline constexpr int32_t USER_SIF_AXIAL_VERSION = 781;
inline constexpr int32_t USER_SIF_SCF_VERSION = 1001;

// Which dialog form and table columns a code takes: 1 one SIF, 2 in-plane
// and out-of-plane (with axial and torsion), 3 the IGEM factors.
int user_sif_form(int32_t code, bool b31j);
int user_sif_form();

// The SCF components in the record's (and the dialog's) order.
enum ScfComponent : int { SCF_PRESSURE, SCF_BENDING, SCF_THRUST, SCF_TORSION, SCF_SHEAR, SCF_COMPONENTS };

class UserSif final : public DataItem {
public:
    float sif_in = 0.0f;
    float sif_out = 0.0f;
    float sif_axial = 0.0f;
    float sif_torsion = 0.0f;
    // Indexed by ScfComponent.
    float scf_sustained[SCF_COMPONENTS] = {};
    float scf_cyclic[SCF_COMPONENTS] = {};

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override;
    void count() override;
    // The "User SIFs" columns of the current code (user_sif_cell).
    std::string cell_text(int column) const override;
    void register_row(int row) override;

    bool same_values(const UserSif& other) const;
};

// The cell of a "User SIFs" column 2..11 under a code: IGEM 2-6 the
// sustained pressure, bending, torsion, thrust and shear factors, 7-11 the
// cyclic ones; other codes 2 the in-plane (or only) SIF, 3 the out-of-plane
// SIF (B31.3 group or B31J), 4 the axial SIF (B31.3, B31.12) and 5 the
// torsion SIF (B31J), the last two empty when 1 or less. Values in the fixed
// format of width 10 with 2 decimals; a column the code does not show is empty.
std::string user_sif_cell(const UserSif& sif, int column, int32_t code, bool b31j);
// Whether a column 2..11 is shown under the code.
bool user_sif_column_shown(int column, int32_t code, bool b31j);
