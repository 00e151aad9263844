#include "materials/soil.h"
#include "framework/document.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "materials/pipe_section.h"
#include "model/model.h"
#include "model/model_file.h"

#include <map>
#include <memory>
#include <set>

namespace {

OneBased<Soil>& soil_table() { return document().part<OneBased<Soil>>(); }

std::size_t record_bytes(int32_t version)
{
    return 4 + 1 + 5 * 4 + (version >= SOIL_INCLUDE_INSULATION_VERSION ? 1 : 0);
}

class SoilContents final : public SectionContents {
public:
    OneBased<Soil> records;

    void install(Model&) override { soil_table() = std::move(records); }
    void check_merge(const ModelMerge&) const override { check_merge_soils(records); }
    void merge(ModelMerge&) override { merge_soils(records); }
};

std::unique_ptr<SectionContents> read_section(BinFile& file)
{
    const int32_t count = file.read_int();
    if (file.error())
        return nullptr;
    if (count < 0 || count > MAXSOILS)
        throw MessageText("The number of soils (" + std::to_string(count) + ") is out of range.");
    if (!file.fits(count, record_bytes(model_file_version())))
        throw MessageText("The file ends inside the soils.");
    auto contents = std::make_unique<SoilContents>();
    contents->records.resize(count);
    for (Soil& soil : contents->records)
        soil.read(file);
    return contents;
}

} // namespace

void Soil::read(BinFile& file)
{
    name = file.read_name(SOIL_NAME_LENGTH + 1).substr(0, SOIL_NAME_LENGTH);
    type = file.read_byte() != 0 ? SOIL_COHESIVE : SOIL_COHESIONLESS;
    density = file.read_float();
    strength = file.read_float();
    delta = file.read_float();
    ks = file.read_float();
    ground_level = file.read_float();
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

OneBased<Soil>& soils()
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
    if (name.empty())
        return 0;
    for (int i = 1; i <= soil_table().size(); ++i)
        if (soil_table()[i].name == name)
            return i;
    return 0;
}

bool soil_in_use(const Soil& soil)
{
    if (soil.name.empty())
        return false;
    for (const PipeSection& section : pipe_sections())
        if (section.soil == soil.name)
            return true;
    return false;
}

void rename_soil(const std::string& old_name, const std::string& new_name)
{
    if (old_name.empty() || old_name == new_name)
        return;
    for (PipeSection& section : pipe_sections())
        if (section.soil == old_name)
            section.soil = new_name;
    if (int i = soil_index(old_name))
        soil_table()[i].name = new_name;
    model_modified() = true;
    notify_document_changed();
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
    if (numsoils() + merged.size() > MAXSOILS)
        throw MessageText("The merged model would have more than " + std::to_string(MAXSOILS) + " soils.");
}

void merge_soils(const OneBased<Soil>& merged)
{
    std::set<std::string> merged_names;
    for (const Soil& s : merged)
        merged_names.insert(s.name);
    std::map<std::string, std::string> renames;
    for (const Soil& original : merged) {
        Soil soil = original;
        if (auto it = renames.find(soil.name); it != renames.end()) {
            soil.name = it->second;
        } else if (!soil.name.empty() && soil_index(soil.name) != 0) {
            for (int n = 1; n <= 999; ++n) {
                std::string name = std::to_string(n);
                if (soil_index(name) == 0 && !merged_names.count(name)) {
                    renames[soil.name] = name;
                    soil.name = name;
                    break;
                }
            }
        }
        soil_table().push_back(std::move(soil));
    }
    rename_soils_of_merged_sections(renames);
}

void write_soils(BinFile& file)
{
    file.write_int(numsoils());
    for (const Soil& soil : soil_table())
        soil.write(file);
}

void install_soils()
{
    ModelSectionOwner owner;
    owner.read = read_section;
    owner.write = write_soils;
    owner.clear = [] {
        reset_soils();
        notify_document_changed({DocumentChange::Cleared, SECTION_SOILS});
    };
    register_model_section(SECTION_SOILS, std::move(owner));
}

bool soil_delta_valid(double radians)
{
    return radians >= 0.0 && radians <= MAX_SOIL_DELTA + 1e-6;
}
