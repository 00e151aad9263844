#include "materials/beam_section.h"
#include "framework/document.h"
#include "framework/state.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "materials/pipe_section.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/model_file.h"

#include <map>
#include <memory>
#include <vector>

namespace {

OneBased<BeamSection>& storage() { return document().part<OneBased<BeamSection>>(); }

struct BeamLibraryMode {
    bool on = false;
};
bool& library_mode_flag() { return session_part<BeamLibraryMode>().on; }

bool name_taken(const std::string& name) { return pipe_section_index(name) != 0 || beam_section_index(name) != 0; }

class BeamSectionContents : public SectionContents {
public:
    std::vector<BeamSection> records;

    void install(Model&) override {
        OneBased<BeamSection>& all = storage();
        all.clear();
        for (BeamSection& s : records) all.push_back(std::move(s));
    }
    void check_merge(const ModelMerge&) const override {
        if (numbsections() + static_cast<int>(records.size()) > MAX_BEAM_SECTIONS)
            throw_message(c_format("The merged model would have more than %d beam sections", MAX_BEAM_SECTIONS));
    }
    void merge(ModelMerge& merge) override {
        // Looked up by the merged file's own names: a section renamed to "1"
        // is not renamed again when the file's own "1" clashes in turn.
        std::map<std::string, std::string> renamed;
        for (BeamSection s : records) {
            if (!s.name.empty() && name_taken(s.name)) {
                const std::string original = s.name;
                for (int n = 1; n <= 999; ++n) {
                    const std::string candidate = std::to_string(n);
                    if (!name_taken(candidate)) {
                        s.name = candidate;
                        break;
                    }
                }
                if (s.name != original) renamed.emplace(original, s.name);
            }
            storage().push_back(std::move(s));
        }
        if (!merge.rows || renamed.empty()) return;
        for (LayoutRow& row : *merge.rows) {
            if (row.etype != ET_BEAM) continue;
            auto it = renamed.find(row.section);
            if (it != renamed.end()) row.section = it->second;
        }
    }
};

std::unique_ptr<SectionContents> read_section(BinFile& file) {
    const int32_t count = file.read_int();
    const std::size_t record_size = model_file_name_width() + BEAM_SECTION_DESCRIPTION_WIDTH + 4 * BS_VALUE_COUNT;
    if (file.error() || count < 0 || count > MAX_BEAM_SECTIONS || !file.fits(count, record_size))
        throw_message(c_format("Invalid number of beam sections: %d", count));
    if (count == 0) return nullptr;
    auto contents = std::make_unique<BeamSectionContents>();
    contents->records.resize(static_cast<std::size_t>(count));
    for (BeamSection& s : contents->records) s.read(file, model_file_name_width());
    return contents;
}

}  // namespace

void BeamSection::read(BinFile& file, std::size_t name_width) {
    name = read_row_name(file, name_width);
    description = file.read_name(BEAM_SECTION_DESCRIPTION_WIDTH);
    if (description.size() > BEAM_SECTION_DESCRIPTION_LENGTH) description.resize(BEAM_SECTION_DESCRIPTION_LENGTH);
    file.read_floats(values.data(), values.size());
}

void BeamSection::write(BinFile& file) const {
    write_row_name(file, name);
    file.write_name(description, BEAM_SECTION_DESCRIPTION_WIDTH);
    file.write_floats(values.data(), values.size());
}

OneBased<BeamSection>& beam_sections() { return storage(); }
int numbsections() { return storage().size(); }
void reset_beam_sections() { storage().clear(); }

int beam_section_index(const std::string& name) {
    if (name.empty()) return 0;
    const OneBased<BeamSection>& all = storage();
    for (int i = 1; i <= all.size(); ++i)
        if (all[i].name == name) return i;
    return 0;
}

bool beam_section_in_use(const std::string& name) {
    if (library_mode_flag() || name.empty()) return false;
    for (const LayoutRow& row : model().rows) {
        if (row.section == name) return true;
        if (row.element)
            if (const JacketGeometry* jacket = row.element->jacket_geometry(); jacket && jacket->section == name)
                return true;
    }
    return false;
}

void rename_beam_section(const std::string& old_name, const std::string& new_name) {
    // Section names are unique across pipe and beam sections, so every
    // reference of the old name is to this record.
    for (LayoutRow& row : model().rows) {
        if (row.section == old_name) row.section = new_name;
        if (row.element)
            if (JacketGeometry* jacket = row.element->jacket_geometry(); jacket && jacket->section == old_name)
                jacket->section = new_name;
    }
    const int index = beam_section_index(old_name);
    if (index != 0) storage()[index].name = new_name;
    model_modified() = true;
    notify_document_changed();
}

bool beam_library_mode() { return library_mode_flag(); }
void set_beam_library_mode(bool on) { library_mode_flag() = on; }

BeamSectionLibraryHooks& beam_section_library_hooks() {
    return session_part<BeamSectionLibraryHooks>();
}

void write_beam_sections(BinFile& file) {
    file.write_int(numbsections());
    for (const BeamSection& s : storage()) s.write(file);
}

void install_beam_sections() {
    ModelSectionOwner owner;
    owner.read = read_section;
    owner.write = write_beam_sections;
    owner.clear = [] {
        reset_beam_sections();
        notify_document_changed({DocumentChange::Cleared, SECTION_BEAM_SECTIONS});
    };
    register_model_section(SECTION_BEAM_SECTIONS, std::move(owner));
}
