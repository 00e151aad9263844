#include "materials/pipe_section.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "materials/beam_section.h"
#include "materials/pipe_section_checks.h"
#include "materials/size_tables.h"
#include "model/element_data.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/model_file.h"

#include <memory>
#include <optional>
#include <set>

namespace {

// What the section table's Copy keeps.
struct SectionSession {
    std::optional<PipeSection> copied_section;
};
SectionSession& section_session() { return session_part<SectionSession>(); }
NamedSet<PipeSection>& sections() { return named_set<PipeSection>(); }

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
    static const char* const FIELDS[8] = {"Outside diameter",   "Thickness",           "Corrosion allowance",
                                          "Mill tolerance",     "Insulation density",  "Insulation thickness",
                                          "Lining density",     "Lining thickness"};
    for (int i = 0; i < 8; ++i)
        require_finite(values[i], FIELDS[i]);
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

NamedSet<PipeSection>& pipe_sections()
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
}

int section_index(const std::string& name)
{
    return sections().index(name);
}

bool section_in_use(const PipeSection& section)
{
    return name_in_use(PIPE_SECTIONS, section.name);
}

void rename_section(const std::string& old_name, const std::string& new_name)
{
    rename_entry(PIPE_SECTIONS, old_name, new_name);
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
    return entry_name_taken(PIPE_SECTIONS, name);
}

void check_merge_pipe_sections(const OneBased<PipeSection>& merged)
{
    check_merge_named_set(pipe_section_rules(), merged);
}

std::map<std::string, std::string> merge_pipe_sections(const OneBased<PipeSection>& merged,
                                                       OneBased<LayoutRow>* rows)
{
    OneBased<PipeSection> records = merged;
    ModelMerge merge;
    merge.rows = rows;
    return merge_named_set(pipe_section_rules(), records, merge);
}

// ---- The set --------------------------------------------------------------------------

const NamedSetRules<PipeSection>& pipe_section_rules()
{
    static const NamedSetRules<PipeSection> rules = [] {
        NamedSetRules<PipeSection> r;
        r.key = PIPE_SECTIONS;
        r.name_space = SECTION_NAMES;
        r.noun = "Section";
        r.described_as = "a pipe section";
        r.name_limit = SECTION_NAME_LENGTH;
        r.section = SECTION_PIPE_SECTIONS;
        r.limit = MAXSECTIONS;
        r.limit_message = [] {
            return "The merged model would have more than " + std::to_string(MAXSECTIONS) + " pipe sections.";
        };
        r.avoid_merged_names = true;
        r.smallest_record = record_bytes;
        r.count_message = [](int32_t count) {
            return "The number of sections (" + std::to_string(count) + ") is out of range.";
        };
        r.short_file_message = "The file ends inside the sections.";
        r.read_record = [](PipeSection& s, BinFile& f) { s.read(f); };
        r.write_record = [](const PipeSection& s, BinFile& f) { s.write(f); };
        return r;
    }();
    return rules;
}

void install_pipe_sections()
{
    install_named_set(pipe_section_rules());
    // What the table's Copy keeps goes with the model.
    subscribe_document_changed("copied section", [](const DocumentChange& change) {
        if (change.kind == DocumentChange::Cleared && change.part == SECTION_PIPE_SECTIONS)
            section_session().copied_section.reset();
    });
    register_row_reference(PIPE_SECTIONS, "layout rows' Section", [](LayoutRow& r, const NameVisitor& visit) {
        if (r.etype != ET_BEAM)
            visit(r.section);
    });
    // A jacket's section: a name of the sections' name space.
    register_row_reference(
        PIPE_SECTIONS, "jackets' sections",
        [](LayoutRow& r, const NameVisitor& visit) {
            if ((r.etype == ET_JACKETED_PIPE || r.etype == ET_JACKETED_BEND) && r.element)
                if (JacketGeometry* jacket = r.element->jacket_geometry())
                    visit(jacket->section);
        },
        true);
    model_hooks().section_index = section_index;
    model_hooks().section_bend_radius = [](const std::string& name, int radius_kind) -> double {
        const int i = section_index(name);
        return i ? section_bend_radius(sections()[i], radius_kind == RADIUS_SHORT) : 0.0;
    };
}
