#include "materials/soil.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "materials/pipe_section.h"
#include "model/model.h"
#include "model/model_file.h"

#include <map>
#include <memory>
#include <set>

namespace {

NamedSet<Soil>& soil_table() { return named_set<Soil>(); }

std::size_t record_bytes(int32_t version)
{
    return 4 + 1 + 5 * 4 + (version >= SOIL_INCLUDE_INSULATION_VERSION ? 1 : 0);
}

} // namespace

void Soil::read(BinFile& file)
{
    name = file.read_name(SOIL_NAME_LENGTH + 1).substr(0, SOIL_NAME_LENGTH);
    type = file.read_byte() != 0 ? SOIL_COHESIVE : SOIL_COHESIONLESS;
    density = read_finite_float(file, "Density");
    strength = read_finite_float(file, "Strength");
    delta = read_finite_float(file, "Delta");
    ks = read_finite_float(file, "Ks");
    ground_level = read_finite_float(file, "Ground level");
    include_insulation = model_file_version() >= SOIL_INCLUDE_INSULATION_VERSION && file.read_byte() != 0 ? 1 : 0;
}

void Soil::write(BinFile& file) const
{
    file.write_name(name, SOIL_NAME_LENGTH + 1);
    file.write_byte(type);
    file.write_float(density);
    file.write_float(strength);
    file.write_float(delta);
    file.write_float(ks);
    file.write_float(ground_level);
    file.write_byte(include_insulation);
}

NamedSet<Soil>& soils()
{
    return soil_table();
}

int numsoils()
{
    return soil_table().size();
}

void reset_soils()
{
    soil_table().clear();
}

int soil_index(const std::string& name)
{
    return soil_table().index(name);
}

bool soil_in_use(const Soil& soil)
{
    return name_in_use(SOILS, soil.name);
}

void rename_soil(const std::string& old_name, const std::string& new_name)
{
    rename_entry(SOILS, old_name, new_name);
}

bool any_section_flagged()
{
    if (numsoils() == 0)
        return false;
    for (const PipeSection& section : pipe_sections())
        if (!section.soil.empty())
            return true;
    return false;
}

void check_merge_soils(const OneBased<Soil>& merged)
{
    check_merge_named_set(soil_rules(), merged);
}

void merge_soils(const OneBased<Soil>& merged)
{
    OneBased<Soil> records = merged;
    ModelMerge merge;
    merge_named_set(soil_rules(), records, merge);
}

const NamedSetRules<Soil>& soil_rules()
{
    static const NamedSetRules<Soil> rules = [] {
        NamedSetRules<Soil> r;
        r.key = SOILS;
        r.name_space = SOILS;
        r.noun = "Soil";
        r.described_as = "a soil";
        r.name_limit = SOIL_NAME_LENGTH;
        r.section = SECTION_SOILS;
        r.limit = MAXSOILS;
        r.limit_message = [] {
            return "The merged model would have more than " + std::to_string(MAXSOILS) + " soils.";
        };
        r.avoid_merged_names = true;
        r.smallest_record = record_bytes;
        r.count_message = [](int32_t count) {
            return "The number of soils (" + std::to_string(count) + ") is out of range.";
        };
        r.short_file_message = "The file ends inside the soils.";
        r.read_record = [](Soil& s, BinFile& f) { s.read(f); };
        r.write_record = [](const Soil& s, BinFile& f) { s.write(f); };
        return r;
    }();
    return rules;
}

void install_soils()
{
    install_named_set(soil_rules());
    // A pipe section's soil. In a merge, the sections the merge appended
    // (pipe sections come before soils in the file).
    NameReference sections_soil;
    sections_soil.set = SOILS;
    sections_soil.place = "pipe sections' soil";
    sections_soil.in_document = [](const NameVisitor& visit) {
        for (PipeSection& section : pipe_sections())
            visit(section.soil);
    };
    sections_soil.in_merge = [](ModelMerge&, const NameVisitor& visit) {
        NamedSet<PipeSection>& sections = pipe_sections();
        if (sections.merged_from > 0)
            for (int i = sections.merged_from; i <= sections.size(); ++i)
                visit(sections[i].soil);
    };
    register_name_reference(std::move(sections_soil));
}

bool soil_delta_valid(double radians)
{
    return radians >= 0.0 && radians <= MAX_SOIL_DELTA + 1e-6;
}
