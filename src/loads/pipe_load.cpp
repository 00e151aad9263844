#include "loads/pipe_load.h"

#include "elements/jacketed_bend.h"

#include "framework/binfile.h"
#include "framework/units.h"
#include "loads/load_file.h"
#include "model/analysis_options.h"
#include "model/element_data.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/model_file.h"

#include <algorithm>

namespace {

// The record after its name: twenty sets, four values and the wind flag.
constexpr std::size_t RECORD_BODY_BYTES = 2 * NUM_LOAD_SETS * 4 + 4 * 4 + 1;

std::size_t record_bytes(int32_t version)
{
    return (version >= SIX_BYTE_NAMES_VERSION ? 6 : 4) + RECORD_BODY_BYTES;
}

}  // namespace

void PipeLoad::read(BinFile& file)
{
    if (!load_records_in_file())
        throw_old_load_records("pipe loads");
    name = file.read_name(model_file_name_width()).substr(0, NAME_LENGTH);
    for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
        temperature[static_cast<std::size_t>(k)] = file.read_float();
        pressure[static_cast<std::size_t>(k)] = file.read_float();
    }
    design_temperature = file.read_float();
    design_pressure = file.read_float();
    specific_gravity = file.read_float();
    added_weight = file.read_float();
    wind = file.read_byte();
    if (file.error())
        return;
    // The set's reader puts the record's number and name in front.
    if (const std::string fault = pipe_load_fault(*this); !fault.empty())
        throw_message(fault);
}

void PipeLoad::write(BinFile& file) const
{
    write_row_name(file, name);
    for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
        file.write_float(temperature[static_cast<std::size_t>(k)]);
        file.write_float(pressure[static_cast<std::size_t>(k)]);
    }
    file.write_float(design_temperature);
    file.write_float(design_pressure);
    file.write_float(specific_gravity);
    file.write_float(added_weight);
    file.write_byte(wind);
}

PipeLoad make_pipe_load()
{
    PipeLoad l;
    const float t = analysis_options().default_temperature;
    for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
        l.temperature[static_cast<std::size_t>(k)] = t == 0.0f ? ENTERED_ZERO : t;
        l.pressure[static_cast<std::size_t>(k)] = ENTERED_ZERO;
    }
    return l;
}

NamedSet<PipeLoad>& pipe_loads()
{
    return named_set<PipeLoad>();
}

int numloads()
{
    return pipe_loads().size();
}

int load_index(const std::string& name)
{
    return pipe_loads().index(name);
}

int load_sets_in_use()
{
    const int n = numtloads();
    return n > 3 ? NUM_LOAD_SETS : std::max(n, 1);
}

float load_max_temperature(const PipeLoad& load)
{
    float highest = load.temperature[1];
    for (int k = 2; k <= load_sets_in_use(); ++k)
        highest = std::max(highest, load.temperature[static_cast<std::size_t>(k)]);
    return highest;
}

float load_max_pressure(const PipeLoad& load)
{
    float highest = load.pressure[1];
    for (int k = 2; k <= load_sets_in_use(); ++k)
        highest = std::max(highest, load.pressure[static_cast<std::size_t>(k)]);
    return highest;
}

std::string check_design_values(const PipeLoad& load)
{
    if (load_max_temperature(load) > load.design_temperature)
        return DESIGN_TEMPERATURE_BELOW_OPERATING;
    if (load_max_pressure(load) > load.design_pressure)
        return DESIGN_PRESSURE_BELOW_OPERATING;
    return {};
}

std::string pipe_load_fault(const PipeLoad& l)
{
    auto temperature_ok = [](float t) { return finite_value(t) && (t == 0.0f || t >= LOWEST_LOAD_TEMPERATURE); };
    for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
        if (!temperature_ok(l.temperature[static_cast<std::size_t>(k)]))
            return "T" + std::to_string(k) + " is invalid";
        if (!finite_value(l.pressure[static_cast<std::size_t>(k)]))
            return "P" + std::to_string(k) + " is invalid";
    }
    if (!temperature_ok(l.design_temperature))
        return "Design temperature is invalid";
    if (!finite_value(l.design_pressure))
        return "Design pressure is invalid";
    if (!finite_value(l.specific_gravity) || l.specific_gravity < 0.0f)
        return "Specific gravity is invalid";
    if (!finite_value(l.added_weight) || l.added_weight < 0.0f)
        return "Additional weight is invalid";
    if (l.wind > 1)
        return "Wind flag is invalid";
    return {};
}

const NamedSetRules<PipeLoad>& pipe_load_rules()
{
    static const NamedSetRules<PipeLoad> rules = [] {
        NamedSetRules<PipeLoad> r;
        r.key = PIPE_LOADS;
        r.name_space = PIPE_LOADS;
        r.noun = "Load";
        r.described_as = "a pipe load";
        r.name_limit = NAME_LENGTH;
        r.section = SECTION_PIPE_LOADS;
        r.limit = MAXLOADS;
        r.limit_message = [] {
            return "The merged model would have more than " + std::to_string(MAXLOADS) + " pipe loads.";
        };
        r.avoid_merged_names = true;
        r.smallest_record = record_bytes;
        r.count_message = [](int32_t count) {
            return "The number of loads (" + std::to_string(count) + ") is out of range.";
        };
        r.short_file_message = "The file ends inside the loads.";
        r.read_record = [](PipeLoad& l, BinFile& f) { l.read(f); };
        r.write_record = [](const PipeLoad& l, BinFile& f) { l.write(f); };
        return r;
    }();
    return rules;
}

void install_pipe_loads()
{
    install_named_set(pipe_load_rules());
    register_row_reference(PIPE_LOADS, "layout rows' Load", [](LayoutRow& r, const NameVisitor& visit) {
        if (r.etype != ET_BEAM)
            visit(r.load);
    });
    register_row_reference(PIPE_LOADS, "jackets' loads", [](LayoutRow& r, const NameVisitor& visit) {
        if ((r.etype == ET_JACKETED_PIPE || r.etype == ET_JACKETED_BEND) && r.element)
            if (JacketGeometry* jacket = r.element->jacket_geometry())
                visit(jacket->load);
    });
    model_hooks().load_index = load_index;
    jacket_hooks().pipe_load_names = [] {
        std::vector<std::string> names;
        for (const PipeLoad& l : pipe_loads())
            names.push_back(l.name);
        return names;
    };
}
