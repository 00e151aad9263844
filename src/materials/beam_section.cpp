#include "materials/beam_section.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "materials/pipe_section.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/value_bounds.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace {

NamedSet<BeamSection>& storage() { return named_set<BeamSection>(); }

struct BeamLibraryMode {
    bool on = false;
};
bool& library_mode_flag() { return session_part<BeamLibraryMode>().on; }

}  // namespace

const char* beam_section_value_name(int value)
{
    static const char* const NAMES[BS_VALUE_COUNT] = {"Area",         "Major moment of inertia",
                                                      "Minor moment of inertia", "Torsional constant",
                                                      "Major shear area", "Minor shear area",
                                                      "Depth",        "Width"};
    return value >= 0 && value < BS_VALUE_COUNT ? NAMES[value] : "";
}

const ValueBound& beam_section_value_bound(int value)
{
    static const ValueBound* const BOUNDS[BS_VALUE_COUNT] = {
        &BEAM_AREA_BOUND, &BEAM_INERTIA_BOUND, &BEAM_INERTIA_BOUND, &BEAM_INERTIA_BOUND,
        &BEAM_AREA_BOUND, &BEAM_AREA_BOUND,    &BEAM_DIMENSION_BOUND, &BEAM_DIMENSION_BOUND};
    return *BOUNDS[std::clamp(value, 0, BS_VALUE_COUNT - 1)];
}

void BeamSection::read(BinFile& file, std::size_t name_width) {
    name = read_row_name(file, name_width);
    description = file.read_name(BEAM_SECTION_DESCRIPTION_WIDTH);
    if (description.size() > BEAM_SECTION_DESCRIPTION_LENGTH) description.resize(BEAM_SECTION_DESCRIPTION_LENGTH);
    file.read_floats(values.data(), values.size());
    for (int v = 0; v < BS_VALUE_COUNT; ++v)
        require_finite(values[static_cast<std::size_t>(v)], beam_section_value_name(v));
}

void BeamSection::write(BinFile& file) const {
    write_row_name(file, name);
    file.write_name(description, BEAM_SECTION_DESCRIPTION_WIDTH);
    file.write_floats(values.data(), values.size());
}

NamedSet<BeamSection>& beam_sections() { return storage(); }
int numbsections() { return storage().size(); }
void reset_beam_sections() { storage().clear(); }

int beam_section_index(const std::string& name) { return storage().index(name); }

bool beam_section_in_use(const std::string& name) { return name_in_use(BEAM_SECTIONS, name); }

void rename_beam_section(const std::string& old_name, const std::string& new_name) {
    rename_entry(BEAM_SECTIONS, old_name, new_name);
}

bool beam_library_mode() { return library_mode_flag(); }
void set_beam_library_mode(bool on) { library_mode_flag() = on; }

BeamSectionLibraryHooks& beam_section_library_hooks() {
    return session_part<BeamSectionLibraryHooks>();
}

const NamedSetRules<BeamSection>& beam_section_rules() {
    static const NamedSetRules<BeamSection> rules = [] {
        NamedSetRules<BeamSection> r;
        r.key = BEAM_SECTIONS;
        r.name_space = SECTION_NAMES;
        r.noun = "Section";
        r.described_as = "a beam section";
        r.merged_kind = "beam section";
        r.name_limit = NAME_LENGTH;
        r.section = SECTION_BEAM_SECTIONS;
        r.limit = MAX_BEAM_SECTIONS;
        r.limit_message = [] { return c_format("The merged model would have more than %d beam sections", MAX_BEAM_SECTIONS); };
        r.smallest_record = [](int32_t) { return model_file_name_width() + BEAM_SECTION_DESCRIPTION_WIDTH + 4 * BS_VALUE_COUNT; };
        r.count_message = [](int32_t count) { return c_format("Invalid number of beam sections: %d", count); };
        r.read_record = [](BeamSection& record, BinFile& file) { record.read(file, model_file_name_width()); };
        r.write_record = [](const BeamSection& record, BinFile& file) { record.write(file); };
        r.library_mode = [] { return beam_library_mode(); };
        return r;
    }();
    return rules;
}

void install_beam_sections() {
    install_named_set(beam_section_rules());
    register_row_reference(BEAM_SECTIONS, "Beam rows' Section", [](LayoutRow& row, const NameVisitor& visit) {
        if (row.etype == ET_BEAM) visit(row.section);
    });
}
