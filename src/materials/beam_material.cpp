#include "materials/beam_material.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/model_file.h"

#include <map>
#include <memory>
#include <vector>

namespace {

NamedSet<BeamMaterial>& storage() { return named_set<BeamMaterial>(); }

}  // namespace

// ---- Records --------------------------------------------------------------------

void BeamMaterial::read(BinFile& file) {
    name = read_row_name(file, model_file_name_width());
    description = file.read_name(BEAM_MATERIAL_DESCRIPTION_WIDTH);
    if (description.size() > BEAM_MATERIAL_DESCRIPTION_LENGTH) description.resize(BEAM_MATERIAL_DESCRIPTION_LENGTH);
    E = read_finite_float(file, "Modulus");
    nu = read_finite_float(file, "Nu");
    density = read_finite_float(file, "Density");
    alpha = read_finite_float(file, "Alpha");
}

void BeamMaterial::write(BinFile& file) const {
    write_row_name(file, name);
    file.write_name(description, BEAM_MATERIAL_DESCRIPTION_WIDTH);
    file.write_float(E);
    file.write_float(nu);
    file.write_float(density);
    file.write_float(alpha);
}

NamedSet<BeamMaterial>& beam_materials() { return storage(); }
int numbmats() { return storage().size(); }
void reset_beam_materials() { storage().clear(); }

int beam_material_index(const std::string& name) { return storage().index(name); }

void rename_beam_material(const std::string& old_name, const std::string& new_name) {
    rename_entry(BEAM_MATERIALS, old_name, new_name);
}

bool beam_material_in_use(const std::string& name) { return name_in_use(BEAM_MATERIALS, name); }

// ---- Checks shared by the dialog and the table -------------------------------------

void check_beam_material_name(const std::string& name, int index) { check_entry_name(BEAM_MATERIALS, name, index); }

std::string beam_nu_fault(float nu) {
    if (!(nu >= 0.01f)) return "Nu should be at least 0.01";
    if (!(nu < 0.5f)) return "Nu should be < 0.5";
    return {};
}

float check_beam_material_nu(const std::string& text) {
    item_text() = text;
    float nu = 0.0f;
    if (parse_real_buffer(nu) != 0) throw_invalid("Nu");
    if (const std::string fault = beam_nu_fault(nu); !fault.empty()) throw_message(fault);
    return nu;
}

const NamedSetRules<BeamMaterial>& beam_material_rules() {
    static const NamedSetRules<BeamMaterial> rules = [] {
        NamedSetRules<BeamMaterial> r;
        r.key = BEAM_MATERIALS;
        r.name_space = MATERIAL_NAMES;
        r.noun = "Material";
        r.described_as = "a beam material";
        r.merged_kind = "beam material";
        r.name_limit = NAME_LENGTH;
        r.section = SECTION_BEAM_MATERIALS;
        r.limit = MAX_BEAM_MATERIALS;
        r.limit_message = [] { return c_format("The merged model would have more than %d beam materials", MAX_BEAM_MATERIALS); };
        r.smallest_record = [](int32_t) { return model_file_name_width() + BEAM_MATERIAL_DESCRIPTION_WIDTH + 16; };
        r.count_message = [](int32_t count) { return c_format("Invalid number of beam materials: %d", count); };
        r.read_record = [](BeamMaterial& record, BinFile& file) { record.read(file); };
        r.write_record = [](const BeamMaterial& record, BinFile& file) { record.write(file); };
        return r;
    }();
    return rules;
}

void install_beam_materials() {
    install_named_set(beam_material_rules());
    register_row_reference(BEAM_MATERIALS, "Beam rows' Material", [](LayoutRow& row, const NameVisitor& visit) {
        if (row.etype == ET_BEAM) visit(row.material);
    });
}
