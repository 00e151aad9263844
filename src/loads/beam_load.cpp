#include "loads/beam_load.h"

#include "framework/binfile.h"
#include "framework/units.h"
#include "loads/load_file.h"
#include "model/analysis_options.h"
#include "model/layout_row.h"
#include "model/model.h"

namespace {

std::size_t record_bytes(int32_t version)
{
    return (version >= SIX_BYTE_NAMES_VERSION ? 6 : 4) + NUM_LOAD_SETS * 4 + 4 + 1;
}

}  // namespace

void BeamLoad::read(BinFile& file)
{
    if (!load_records_in_file())
        throw_old_load_records("beam loads");
    name = file.read_name(model_file_name_width()).substr(0, NAME_LENGTH);
    for (int k = 1; k <= NUM_LOAD_SETS; ++k)
        temperature[static_cast<std::size_t>(k)] = file.read_float();
    added_weight = file.read_float();
    wind = file.read_byte();
    if (file.error())
        return;
    // The set's reader puts the record's number and name in front.
    if (const std::string fault = beam_load_fault(*this); !fault.empty())
        throw_message(fault);
}

void BeamLoad::write(BinFile& file) const
{
    write_row_name(file, name);
    for (int k = 1; k <= NUM_LOAD_SETS; ++k)
        file.write_float(temperature[static_cast<std::size_t>(k)]);
    file.write_float(added_weight);
    file.write_byte(wind);
}

BeamLoad make_beam_load()
{
    BeamLoad l;
    const float t = analysis_options().default_temperature;
    for (int k = 1; k <= NUM_LOAD_SETS; ++k)
        l.temperature[static_cast<std::size_t>(k)] = t == 0.0f ? ENTERED_ZERO : t;
    return l;
}

NamedSet<BeamLoad>& beam_loads()
{
    return named_set<BeamLoad>();
}

int numbloads()
{
    return beam_loads().size();
}

int beam_load_index(const std::string& name)
{
    return beam_loads().index(name);
}

std::string beam_load_fault(const BeamLoad& l)
{
    for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
        const float t = l.temperature[static_cast<std::size_t>(k)];
        if (!finite_value(t) || (t != 0.0f && t < LOWEST_LOAD_TEMPERATURE))
            return "T" + std::to_string(k) + " is invalid";
    }
    if (!finite_value(l.added_weight) || l.added_weight < 0.0f)
        return "Additional weight is invalid";
    if (l.wind > 1)
        return "Wind flag is invalid";
    return {};
}

const NamedSetRules<BeamLoad>& beam_load_rules()
{
    static const NamedSetRules<BeamLoad> rules = [] {
        NamedSetRules<BeamLoad> r;
        r.key = BEAM_LOADS;
        r.name_space = BEAM_LOADS;
        r.noun = "Beam load";
        r.described_as = "a beam load";
        r.name_limit = NAME_LENGTH;
        r.section = SECTION_BEAM_LOADS;
        r.limit = MAXLOADS;
        r.limit_message = [] {
            return "The merged model would have more than " + std::to_string(MAXLOADS) + " beam loads.";
        };
        r.avoid_merged_names = true;
        r.smallest_record = record_bytes;
        r.count_message = [](int32_t count) {
            return "The number of beam loads (" + std::to_string(count) + ") is out of range.";
        };
        r.short_file_message = "The file ends inside the beam loads.";
        r.read_record = [](BeamLoad& l, BinFile& f) { l.read(f); };
        r.write_record = [](const BeamLoad& l, BinFile& f) { l.write(f); };
        return r;
    }();
    return rules;
}

void install_beam_loads()
{
    install_named_set(beam_load_rules());
    register_row_reference(BEAM_LOADS, "beam rows' Load", [](LayoutRow& r, const NameVisitor& visit) {
        if (r.etype == ET_BEAM)
            visit(r.load);
    });
    model_hooks().beam_load_index = beam_load_index;
}
