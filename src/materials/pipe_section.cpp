#include "materials/pipe_section.h"
#include "framework/document.h"
#include "framework/state.h"

#include "materials/pipe_section_checks.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "materials/beam_section.h"
#include "materials/size_tables.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/model_file.h"

#include <memory>
#include <optional>
#include <set>

namespace {

// What the section table's Copy keeps, and the sections appended by the
// last merge (first index, 0 when none) for the soils merged after them.
struct SectionSession {
    std::optional<PipeSection> copied_section;
    int merged_first = 0;
};
SectionSession& section_session() { return session_part<SectionSession>(); }
OneBased<PipeSection>& sections() { return document().part<OneBased<PipeSection>>(); }

// The fixed part of a record after the name: standard, nominal size,
// schedule and eight values.
constexpr std::size_t RECORD_BODY_BYTES = 4 + 8 + 4 + 8 * 4;

std::size_t record_bytes(int32_t version)
{
    const std::size_t name = version >= SIX_BYTE_NAMES_VERSION ? 6 : 4;
    const std::size_t soil = version >= SECTION_SOIL_VERSION ? 4 : 0;
    return name + RECORD_BODY_BYTES + soil;
}

void for_each_jacket(const std::function<void(LayoutRow&, JacketGeometry&)>& visit, OneBased<LayoutRow>& rows)
{
    for (LayoutRow& row : rows) {
        if ((row.etype == ET_JACKETED_PIPE || row.etype == ET_JACKETED_BEND) && row.element)
            if (JacketGeometry* jacket = row.element->jacket_geometry())
                visit(row, *jacket);
    }
}

// Renames the Section and jacket-section references of rows, each looked up
// once by the name it had before any rename.
void rename_in_rows(OneBased<LayoutRow>& rows, const std::map<std::string, std::string>& renames)
{
    auto renamed = [&](std::string& name) {
        auto it = renames.find(name);
        if (it != renames.end())
            name = it->second;
    };
    for (LayoutRow& row : rows) {
        if (row.etype != ET_BEAM)
            renamed(row.section);
    }
    for_each_jacket([&](LayoutRow&, JacketGeometry& jacket) { renamed(jacket.section); }, rows);
}

class SectionContentsImpl final : public SectionContents {
public:
    OneBased<PipeSection> records;

    void install(Model&) override
    {
        sections() = std::move(records);
        section_session().copied_section.reset();
        section_session().merged_first = 0;
    }
    void check_merge(const ModelMerge&) const override { check_merge_pipe_sections(records); }
    void merge(ModelMerge& merge) override { merge_pipe_sections(records, merge.rows); }
};

std::unique_ptr<SectionContents> read_section(BinFile& file)
{
    const int32_t count = file.read_int();
    if (file.error())
        return nullptr;
    if (count < 0 || count > MAXSECTIONS)
        throw MessageText("The number of sections (" + std::to_string(count) + ") is out of range.");
    if (!file.fits(count, record_bytes(model_file_version())))
        throw MessageText("The file ends inside the sections.");
    auto contents = std::make_unique<SectionContentsImpl>();
    contents->records.resize(count);
    for (PipeSection& section : contents->records)
        section.read(file);
    return contents;
}

} // namespace

// ---- Record --------------------------------------------------------------------

void PipeSection::read(BinFile& file)
{
    const int32_t version = model_file_version();
    name = file.read_name(version >= SIX_BYTE_NAMES_VERSION ? 6 : 4).substr(0, SECTION_NAME_LENGTH);
    size_standard = file.read_int();
    nominal_size = file.read_name(NOMINAL_SIZE_LENGTH + 1).substr(0, NOMINAL_SIZE_LENGTH);
    schedule = file.read_name(SCHEDULE_LENGTH + 1).substr(0, SCHEDULE_LENGTH);
    float values[8] = {};
    file.read_floats(values, 8);
    outside_diameter = values[0];
    thickness = values[1];
    corrosion_allowance = values[2];
    mill_tolerance = values[3];
    insulation_density = values[4];
    insulation_thickness = values[5];
    lining_density = values[6];
    lining_thickness = values[7];
    soil = version >= SECTION_SOIL_VERSION ? file.read_name(SECTION_SOIL_LENGTH + 1).substr(0, SECTION_SOIL_LENGTH)
                                           : std::string();
    // A standard this program does not know makes the section non-standard:
    // its diameter and thickness stay as stored.
    if (!valid_size_standard(size_standard)) {
        size_standard = SIZE_ANSI;
        nominal_size = NON_STANDARD_SIZE;
        schedule.clear();
    }
}

void PipeSection::write(BinFile& file) const
{
    file.write_name(name, 6);
    file.write_int(size_standard);
    file.write_name(nominal_size, NOMINAL_SIZE_LENGTH + 1);
    file.write_name(schedule, SCHEDULE_LENGTH + 1);
    const float values[8] = {outside_diameter,     thickness,          corrosion_allowance, mill_tolerance,
                             insulation_density,   insulation_thickness, lining_density,    lining_thickness};
    file.write_floats(values, 8);
    file.write_name(soil, SECTION_SOIL_LENGTH + 1);
}

// ---- Table ----------------------------------------------------------------------

OneBased<PipeSection>& pipe_sections()
{
    return sections();
}

int numsections()
{
    return sections().size();
}

void reset_pipe_sections()
{
    sections().clear();
    section_session().copied_section.reset();
    section_session().merged_first = 0;
}

int section_index(const std::string& name)
{
    if (name.empty())
        return 0;
    for (int i = 1; i <= sections().size(); ++i)
        if (sections()[i].name == name)
            return i;
    return 0;
}

PipeSectionReferenceHooks& pipe_section_reference_hooks()
{
    return session_part<PipeSectionReferenceHooks>();
}

bool section_in_use(const PipeSection& section)
{
    if (section.name.empty())
        return false;
    for (const LayoutRow& row : model().rows)
        if (row.etype != ET_BEAM && row.section == section.name)
            return true;
    bool used = false;
    for_each_jacket([&](LayoutRow&, JacketGeometry& jacket) { used = used || jacket.section == section.name; },
                    model().rows);
    if (used)
        return true;
    for (const auto& in_use : pipe_section_reference_hooks().in_use)
        if (in_use && in_use(section.name))
            return true;
    return false;
}

void rename_section(const std::string& old_name, const std::string& new_name)
{
    if (old_name.empty() || old_name == new_name)
        return;
    rename_in_rows(model().rows, {{old_name, new_name}});
    for (const auto& rename : pipe_section_reference_hooks().rename)
        if (rename)
            rename(old_name, new_name);
    if (int i = section_index(old_name))
        sections()[i].name = new_name;
    model_modified() = true;
    notify_document_changed();
}

bool jacket_clearance_violated(const std::string& name, double outside_diameter, double thickness,
                               double insulation_thickness, double lining_thickness)
{
    bool violated = false;
    for_each_jacket(
        [&](LayoutRow& row, JacketGeometry& jacket) {
            if (violated)
                return;
            const int core = section_index(row.section);
            const int outer = section_index(jacket.section);
            if (core == 0 || outer == 0)
                return;
            if (row.section == name) {
                const PipeSection& j = sections()[outer];
                if (j.outside_diameter - 2.0 * (double(j.thickness) + j.lining_thickness) <
                    outside_diameter + 2.0 * insulation_thickness)
                    violated = true;
            }
            if (jacket.section == name) {
                const PipeSection& c = sections()[core];
                if (c.outside_diameter + 2.0 * double(c.insulation_thickness) >
                    outside_diameter - 2.0 * (thickness + lining_thickness))
                    violated = true;
            }
        },
        model().rows);
    return violated;
}

// ---- Copy and paste ------------------------------------------------------------------

void copy_section_values(int index)
{
    if (sections().valid(index))
        section_session().copied_section = sections()[index];
}

bool section_values_copied()
{
    return section_session().copied_section.has_value();
}

bool paste_section_values(int index)
{
    if (!section_session().copied_section || !sections().valid(index))
        return false;
    PipeSection target = sections()[index];
    const PipeSection& from = *section_session().copied_section;
    target.nominal_size = from.nominal_size;
    target.outside_diameter = from.outside_diameter;
    target.schedule = from.schedule;
    target.thickness = from.thickness;
    target.size_standard = from.size_standard;
    target.corrosion_allowance = from.corrosion_allowance;
    target.insulation_density = from.insulation_density;
    target.insulation_thickness = from.insulation_thickness;
    target.lining_density = from.lining_density;
    target.lining_thickness = from.lining_thickness;
    target.mill_tolerance = from.mill_tolerance;
    // The same checks as the dialog, under the target's name (its jacketed
    // rows); a refusal keeps the section and the copy as they were.
    if (const SectionCheck check = check_section_values(target); !check.ok())
        throw_message(check.message);
    const bool resized = target.outside_diameter != sections()[index].outside_diameter;
    sections()[index] = target;
    section_session().copied_section.reset();
    model_modified() = true;
    if (resized)
        model_changed();   // bend radii and symbols follow the diameter
    else
        notify_document_changed();
    return true;
}

// ---- Merge -------------------------------------------------------------------------------

bool section_name_taken(const std::string& name)
{
    return section_index(name) != 0 || beam_section_index(name) != 0;
}

std::string free_section_number_name(const std::string& also_taken)
{
    for (int n = 1; n <= 999; ++n) {
        std::string name = std::to_string(n);
        if (name != also_taken && !section_name_taken(name))
            return name;
    }
    return {};
}

void check_merge_pipe_sections(const OneBased<PipeSection>& merged)
{
    if (numsections() + merged.size() > MAXSECTIONS)
        throw MessageText("The merged model would have more than " + std::to_string(MAXSECTIONS) +
                          " pipe sections.");
}

std::map<std::string, std::string> merge_pipe_sections(const OneBased<PipeSection>& merged,
                                                       OneBased<LayoutRow>* rows)
{
    // A new name is never one that a merged section brings along, so that no
    // merged section needs renaming because of another one's new name.
    std::set<std::string> merged_names;
    for (const PipeSection& s : merged)
        merged_names.insert(s.name);
    std::map<std::string, std::string> renames;
    section_session().merged_first = merged.size() > 0 ? numsections() + 1 : 0;
    for (const PipeSection& original : merged) {
        PipeSection section = original;
        if (!section.name.empty() && section_name_taken(section.name) && !renames.count(section.name)) {
            for (int n = 1; n <= 999; ++n) {
                std::string name = std::to_string(n);
                if (!section_name_taken(name) && !merged_names.count(name)) {
                    renames[section.name] = name;
                    section.name = name;
                    break;
                }
            }
        } else if (auto it = renames.find(section.name); it != renames.end()) {
            section.name = it->second;
        }
        sections().push_back(std::move(section));
    }
    if (rows && !renames.empty())
        rename_in_rows(*rows, renames);
    return renames;
}

void rename_soils_of_merged_sections(const std::map<std::string, std::string>& renames)
{
    if (section_session().merged_first > 0) {
        for (int i = section_session().merged_first; i <= numsections(); ++i) {
            auto it = renames.find(sections()[i].soil);
            if (it != renames.end())
                sections()[i].soil = it->second;
        }
    }
    section_session().merged_first = 0;
}

// ---- Model file -------------------------------------------------------------------------

void write_pipe_sections(BinFile& file)
{
    file.write_int(numsections());
    for (const PipeSection& section : sections())
        section.write(file);
}

void install_pipe_sections()
{
    ModelSectionOwner owner;
    owner.read = read_section;
    owner.write = write_pipe_sections;
    owner.clear = [] {
        reset_pipe_sections();
        notify_document_changed({DocumentChange::Cleared, SECTION_PIPE_SECTIONS});
    };
    register_model_section(SECTION_PIPE_SECTIONS, std::move(owner));
    model_hooks().section_index = section_index;
    model_hooks().section_bend_radius = [](const std::string& name, int radius_kind) -> double {
        const int i = section_index(name);
        return i ? section_bend_radius(sections()[i], radius_kind == RADIUS_SHORT) : 0.0;
    };
}
