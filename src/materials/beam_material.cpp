#include "materials/beam_material.h"
#include "framework/document.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
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

OneBased<BeamMaterial>& storage() { return document().part<OneBased<BeamMaterial>>(); }

bool name_taken(const std::string& name) { return pipe_material_index(name) != 0 || beam_material_index(name) != 0; }

// The model-file section's records, held until the whole file has been read.
class BeamMaterialContents : public SectionContents {
public:
    std::vector<BeamMaterial> records;

    void install(Model&) override {
        OneBased<BeamMaterial>& all = storage();
        all.clear();
        for (BeamMaterial& m : records) all.push_back(std::move(m));
    }
    void check_merge(const ModelMerge&) const override {
        if (numbmats() + static_cast<int>(records.size()) > MAX_BEAM_MATERIALS)
            throw_message(c_format("The merged model would have more than %d beam materials", MAX_BEAM_MATERIALS));
    }
    void merge(ModelMerge& merge) override {
        // Renames are looked up by the merged file's own names, so that a
        // record renamed to "1" is not renamed again when the file's own "1"
        // clashes in turn.
        std::map<std::string, std::string> renamed;
        for (BeamMaterial m : records) {
            if (!m.name.empty() && name_taken(m.name)) {
                const std::string original = m.name;
                for (int n = 1; n <= 999; ++n) {
                    const std::string candidate = std::to_string(n);
                    if (!name_taken(candidate)) {
                        m.name = candidate;
                        break;
                    }
                }
                if (m.name != original) renamed.emplace(original, m.name);
            }
            storage().push_back(std::move(m));
        }
        if (!merge.rows || renamed.empty()) return;
        for (LayoutRow& row : *merge.rows) {
            if (row.etype != ET_BEAM) continue;
            auto it = renamed.find(row.material);
            if (it != renamed.end()) row.material = it->second;
        }
    }
};

std::unique_ptr<SectionContents> read_section(BinFile& file) {
    const int32_t count = file.read_int();
    const std::size_t record_size = model_file_name_width() + BEAM_MATERIAL_DESCRIPTION_WIDTH + 16;
    if (file.error() || count < 0 || count > MAX_BEAM_MATERIALS || !file.fits(count, record_size))
        throw_message(c_format("Invalid number of beam materials: %d", count));
    if (count == 0) return nullptr;
    auto contents = std::make_unique<BeamMaterialContents>();
    contents->records.resize(static_cast<std::size_t>(count));
    for (BeamMaterial& m : contents->records) m.read(file);
    return contents;
}

}  // namespace

// ---- Records --------------------------------------------------------------------

void BeamMaterial::read(BinFile& file) {
    name = read_row_name(file, model_file_name_width());
    description = file.read_name(BEAM_MATERIAL_DESCRIPTION_WIDTH);
    if (description.size() > BEAM_MATERIAL_DESCRIPTION_LENGTH) description.resize(BEAM_MATERIAL_DESCRIPTION_LENGTH);
    E = file.read_float();
    nu = file.read_float();
    density = file.read_float();
    alpha = file.read_float();
}

void BeamMaterial::write(BinFile& file) const {
    write_row_name(file, name);
    file.write_name(description, BEAM_MATERIAL_DESCRIPTION_WIDTH);
    file.write_float(E);
    file.write_float(nu);
    file.write_float(density);
    file.write_float(alpha);
}

OneBased<BeamMaterial>& beam_materials() { return storage(); }
int numbmats() { return storage().size(); }
void reset_beam_materials() { storage().clear(); }

int beam_material_index(const std::string& name) {
    if (name.empty()) return 0;
    const OneBased<BeamMaterial>& all = storage();
    for (int i = 1; i <= all.size(); ++i)
        if (all[i].name == name) return i;
    return 0;
}

void rename_beam_material(const std::string& old_name, const std::string& new_name) {
    // Names are unique across pipe and beam materials, so every reference of
    // the old name is to this record.
    for (LayoutRow& row : model().rows) {
        if (row.material == old_name) row.material = new_name;
        if (!row.element) continue;
        if (BendGeometry* bend = row.element->bend_geometry(); bend && bend->material == old_name)
            bend->material = new_name;
        if (JacketGeometry* jacket = row.element->jacket_geometry(); jacket && jacket->material == old_name)
            jacket->material = new_name;
    }
    const int index = beam_material_index(old_name);
    if (index != 0) storage()[index].name = new_name;
    model_modified() = true;
    notify_document_changed();
}

bool beam_material_in_use(const std::string& name) {
    if (name.empty()) return false;
    for (const LayoutRow& row : model().rows) {
        if (row.material == name) return true;
        if (!row.element) continue;
        if (const BendGeometry* bend = row.element->bend_geometry(); bend && bend->material == name) return true;
        if (const JacketGeometry* jacket = row.element->jacket_geometry(); jacket && jacket->material == name)
            return true;
    }
    return false;
}

void write_beam_materials(BinFile& file) {
    file.write_int(numbmats());
    for (const BeamMaterial& m : storage()) m.write(file);
}

// ---- Checks shared by the dialog and the table -------------------------------------

void check_beam_material_name(const std::string& name, int index) {
    item_text() = name;
    if (name.empty()) throw_required("Name");
    if (!is_valid_name(name)) throw_invalid_text("Name", "should be alpha numeric");
    if (pipe_material_index(name) != 0) throw_invalid_text("Material", "is already defined as a pipe material");
    const int other = beam_material_index(name);
    if (other != 0 && other != index) throw_invalid_text("Material", "is already defined");
}

float check_beam_material_nu(const std::string& text) {
    item_text() = text;
    float nu = 0.0f;
    if (parse_real_buffer(nu) != 0) throw_invalid("Nu");
    if (nu >= 0.5f) throw_message("Nu should be < 0.5");
    if (nu < 0.01f) throw_message("Nu should be > 0.01");
    return nu;
}

void install_beam_materials() {
    ModelSectionOwner owner;
    owner.read = read_section;
    owner.write = write_beam_materials;
    owner.clear = [] {
        reset_beam_materials();
        notify_document_changed({DocumentChange::Cleared, SECTION_BEAM_MATERIALS});
    };
    register_model_section(SECTION_BEAM_MATERIALS, std::move(owner));
}
