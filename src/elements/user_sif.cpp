#include "elements/user_sif.h"

#include "elements/element_common.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/piping_codes.h"

#include <algorithm>
#include <iterator>

namespace {

std::string fixed(float value)
{
    return format_real(value, 10, 2);
}

bool has_axial(int32_t code)
{
    return code == CODE_B313 || code == CODE_B3112;
}

// The IGEM columns 2..11 as (sustained?, component).
ScfComponent igem_component(int column)
{
    static const ScfComponent order[5] = {SCF_PRESSURE, SCF_BENDING, SCF_TORSION, SCF_THRUST, SCF_SHEAR};
    return order[(column - 2) % 5];
}

}  // namespace

int user_sif_form(int32_t code, bool b31j)
{
    if (code == CODE_IGEM)
        return 3;
    return code_is_b313_group(code) || b31j ? 2 : 1;
}

int user_sif_form()
{
    return user_sif_form(piping_code(), analysis_options().use_b31j);
}

bool user_sif_column_shown(int column, int32_t code, bool b31j)
{
    switch (user_sif_form(code, b31j)) {
    case 3: return column >= 2 && column <= 11;
    case 2: return column == 2 || column == 3 || (column == 4 && has_axial(code)) || (column == 5 && b31j);
    default: return column == 2 || (column == 5 && b31j);
    }
}

std::string user_sif_cell(const UserSif& s, int column, int32_t code, bool b31j)
{
    if (!user_sif_column_shown(column, code, b31j))
        return {};
    if (user_sif_form(code, b31j) == 3) {
        const float* values = column <= 6 ? s.scf_sustained : s.scf_cyclic;
        return fixed(values[igem_component(column)]);
    }
    switch (column) {
    case 2: return fixed(s.sif_in);
    case 3: return fixed(s.sif_out);
    case 4: return format_factor_above_one(s.sif_axial);
    case 5: return format_factor_above_one(s.sif_torsion);
    default: return {};
    }
}

void UserSif::read(BinFile& file)
{
    UserSif next;
    next.sif_in = file.read_float();
    next.sif_out = file.read_float();
    if (model_file_version() >= USER_SIF_AXIAL_VERSION) {
        next.sif_axial = file.read_float();
        next.sif_torsion = file.read_float();
    }
    if (model_file_version() >= USER_SIF_SCF_VERSION) {
        file.read_floats(next.scf_sustained, SCF_COMPONENTS);
        file.read_floats(next.scf_cyclic, SCF_COMPONENTS);
    }
    if (file.error())
        return;
    bool ok = finite_value(next.sif_in, true) && finite_value(next.sif_out, true) &&
              finite_value(next.sif_axial, true) && finite_value(next.sif_torsion, true);
    for (int c = 0; c < SCF_COMPONENTS; ++c)
        ok = ok && finite_value(next.scf_sustained[c], true) && finite_value(next.scf_cyclic[c], true);
    check_record(ok, "User SIF", "a factor is not a number or below 0");
    copy_from(next);
}

void UserSif::write(BinFile& file) const
{
    file.write_float(sif_in);
    file.write_float(sif_out);
    file.write_float(sif_axial);
    file.write_float(sif_torsion);
    file.write_floats(scf_sustained, SCF_COMPONENTS);
    file.write_floats(scf_cyclic, SCF_COMPONENTS);
}

void UserSif::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const UserSif*>(&other)) {
        sif_in = same->sif_in;
        sif_out = same->sif_out;
        sif_axial = same->sif_axial;
        sif_torsion = same->sif_torsion;
        std::copy(std::begin(same->scf_sustained), std::end(same->scf_sustained), scf_sustained);
        std::copy(std::begin(same->scf_cyclic), std::end(same->scf_cyclic), scf_cyclic);
    }
}

bool UserSif::same_values(const UserSif& o) const
{
    return sif_in == o.sif_in && sif_out == o.sif_out && sif_axial == o.sif_axial && sif_torsion == o.sif_torsion &&
           std::equal(std::begin(scf_sustained), std::end(scf_sustained), o.scf_sustained) &&
           std::equal(std::begin(scf_cyclic), std::end(scf_cyclic), o.scf_cyclic);
}

void UserSif::count()
{
    model().list(USER_SIF_ROWS).count_one();
}

void UserSif::register_row(int row)
{
    model().list(USER_SIF_ROWS).add(row);
}

std::string UserSif::cell_text(int column) const
{
    return user_sif_cell(*this, column, piping_code(), analysis_options().use_b31j);
}
