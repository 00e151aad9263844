#include "loads/nodal_loads.h"

#include <functional>

#include "analysis_core/analysis_run.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/steps.h"
#include "elements/element_step.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/load_file.h"
#include "loads/spectrum.h"
#include "model/model.h"
#include "model/model_file.h"

#include <cmath>

namespace {

// Runs a check and puts the row in front of its refusal.
void check_naming_row(int row, const std::function<void()>& check)
{
    try {
        check();
    } catch (const MessageText& m) {
        throw_message(c_format("Row %d: ", row) + m.text);
    }
}

// ---- Records ------------------------------------------------------------------------

// True when the record is in the file; false for the empty record of a file
// before LOAD_RECORDS_VERSION (the item keeps its defaults).
bool record_present(const char* what)
{
    if (load_records_in_file())
        return true;
    if (model_file_framed())
        return false;
    throw_old_load_records(what);
}

template <std::size_t N>
void read_values(BinFile& file, std::array<float, N>& values)
{
    file.read_floats(values.data(), N);
}

template <std::size_t N>
void write_values(BinFile& file, const std::array<float, N>& values)
{
    file.write_floats(values.data(), N);
}

template <std::size_t N>
void check_values(const std::array<float, N>& values)
{
    for (float v : values)
        if (!std::isfinite(v))
            throw_message("a value is not a number");
}

// ---- Texts --------------------------------------------------------------------------

// A force or moment cell: empty for 0.
std::string force_text(float value) { return value == 0.0f ? std::string() : format_force(value); }
std::string moment_text(float value) { return value == 0.0f ? std::string() : format_moment(value); }

// "FX 100 lb, MY 1200 in-lb" of the components that are not 0.
std::string components_text(const float* values, std::size_t count)
{
    static const char* const names[] = {"FX", "FY", "FZ", "MX", "MY", "MZ"};
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (values[i] == 0.0f)
            continue;
        if (!text.empty())
            text += ", ";
        const bool moment = i >= 3;
        text += std::string(names[i]) + " " + trimmed(moment ? format_moment(values[i]) : format_force(values[i])) +
                " " + unit_name(moment ? MOMENT : FORCE, current_unit(moment ? MOMENT : FORCE));
    }
    return text;
}

// ---- Analysis -------------------------------------------------------------------------

int row_node(const AnalysisRun& run, int row)
{
    return run.layout().rows[row].node_index;
}

// Adds a force at a point `lever` away from the node: the force and its
// moment about the node.
void add_offset_force(AnalysisRun& run, int node, const Vec3& force, const Vec3& lever)
{
    const Vec3 moment{lever.y * force.z - lever.z * force.y, lever.z * force.x - lever.x * force.z,
                      lever.x * force.y - lever.y * force.x};
    const double f[6] = {force.x, force.y, force.z, moment.x, moment.y, moment.z};
    for (int d = 0; d < 6; ++d)
        if (f[d] != 0.0)
            add_node_load(run, node, d, f[d]);
}

template <std::size_t N>
void add_components(AnalysisRun& run, int node, const std::array<float, N>& values)
{
    for (std::size_t d = 0; d < N; ++d)
        add_node_load(run, node, static_cast<int>(d), values[d]);
}

Vec3 axis_vector(int axis, double value)
{
    Vec3 v;
    (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = value;
    return v;
}

}  // namespace

std::string force_case_text(int32_t load_case)
{
    if (load_case == FORCE_WITH_WEIGHT)
        return "W+P";
    if (load_case >= 1 && load_case <= 10)
        return "T" + std::to_string(load_case);
    return {};
}

// ---- Force ------------------------------------------------------------------------------

void ForceLoad::read(BinFile& file)
{
    if (!record_present("forces"))
        return;
    read_values(file, values);
    load_case = file.read_int();
}

void ForceLoad::write(BinFile& file) const
{
    write_values(file, values);
    file.write_int(load_case);
}

void ForceLoad::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const ForceLoad*>(&other)) {
        values = same->values;
        load_case = same->load_case;
    }
}

void ForceLoad::count() { model().list(FORCE_ROWS).count_one(); }
void ForceLoad::register_row(int row) { model().list(FORCE_ROWS).add(row); }

std::string ForceLoad::cell_text(int column) const
{
    if (column >= 2 && column <= 4)
        return force_text(values[static_cast<std::size_t>(column - 2)]);
    if (column >= 5 && column <= 7)
        return moment_text(values[static_cast<std::size_t>(column - 2)]);
    return column == 8 ? force_case_text(load_case) : std::string();
}

void ForceLoad::add_loads(AnalysisRun& run, int row) const
{
    const StepRow& step = current_step(run);
    const bool acts = load_case == FORCE_WITH_WEIGHT
                          ? step.weight
                          : step.temperature && step.temperature_set == load_case;
    if (acts)
        add_components(run, row_node(run, row), values);
}

std::string ForceLoad::description() const
{
    const std::string text = components_text(values.data(), values.size());
    return (text.empty() ? std::string("No force") : text) + " (" + force_case_text(load_case) + ")";
}

void ForceLoad::check_values_of_row() const
{
    check_values(values);
    if (force_case_text(load_case).empty())
        throw_message(c_format("the load case %d of the force is invalid", load_case));
}

// ---- Concentrated mass ---------------------------------------------------------------------

void ConcentratedMass::read(BinFile& file)
{
    if (!record_present("concentrated masses"))
        return;
    weight = file.read_float();
    read_values(file, offset);
}

void ConcentratedMass::write(BinFile& file) const
{
    file.write_float(weight);
    write_values(file, offset);
}

void ConcentratedMass::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const ConcentratedMass*>(&other)) {
        weight = same->weight;
        offset = same->offset;
    }
}

void ConcentratedMass::count() { model().list(CONC_MASS_ROWS).count_one(); }
void ConcentratedMass::register_row(int row) { model().list(CONC_MASS_ROWS).add(row); }

std::string ConcentratedMass::cell_text(int column) const
{
    if (column == 2)
        return weight == 0.0f ? std::string() : format_weight(weight);
    if (column >= 3 && column <= 5) {
        const float v = offset[static_cast<std::size_t>(column - 3)];
        return v == 0.0f ? std::string() : format_length(v);
    }
    return {};
}

void ConcentratedMass::add_loads(AnalysisRun& run, int row) const
{
    if (!step_has_weight(run) || weight == 0.0f)
        return;
    const int vertical = run.snapshot().options.z_vertical ? 2 : 1;
    add_offset_force(run, row_node(run, row), axis_vector(vertical, -weight), {offset[0], offset[1], offset[2]});
}

void ConcentratedMass::add_g_loads(AnalysisRun& run, int row) const
{
    const std::array<double, 3> g = step_seismic_factors(run);
    for (int axis = 0; axis < 3; ++axis)
        if (g[static_cast<std::size_t>(axis)] != 0.0)
            add_offset_force(run, row_node(run, row), axis_vector(axis, g[static_cast<std::size_t>(axis)] * weight),
                             {offset[0], offset[1], offset[2]});
}

void ConcentratedMass::add_mass(AnalysisRun& run, int row) const
{
    add_offset_mass(run, row_node(run, row), weight / GRAVITY, {offset[0], offset[1], offset[2]});
}

std::string ConcentratedMass::description() const
{
    std::string text = "Weight " + trimmed(format_weight(weight)) + " " + unit_name(WEIGHT, current_unit(WEIGHT));
    if (offset[0] != 0.0f || offset[1] != 0.0f || offset[2] != 0.0f)
        text += c_format(" at %s, %s, %s", trimmed(format_length(offset[0])).c_str(),
                         trimmed(format_length(offset[1])).c_str(), trimmed(format_length(offset[2])).c_str());
    return text;
}

void ConcentratedMass::check_values_of_row() const
{
    if (!std::isfinite(weight))
        throw_message("the weight is not a number");
    if (weight < 0.0f)
        throw_message("the weight is below 0");
    check_values(offset);
}

// ---- Time-varying load ------------------------------------------------------------------

void TimeVaryingLoad::read(BinFile& file)
{
    if (!record_present("time-varying loads"))
        return;
    function = file.read_int();
    read_values(file, values);
}

void TimeVaryingLoad::write(BinFile& file) const
{
    file.write_int(function);
    write_values(file, values);
}

void TimeVaryingLoad::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const TimeVaryingLoad*>(&other)) {
        function = same->function;
        values = same->values;
    }
}

void TimeVaryingLoad::count() { model().list(TIME_VARYING_LOAD_ROWS).count_one(); }
void TimeVaryingLoad::register_row(int row) { model().list(TIME_VARYING_LOAD_ROWS).add(row); }

std::string TimeVaryingLoad::cell_text(int column) const
{
    if (column == 2)
        return function > 0 ? std::to_string(function) : std::string();
    if (column >= 3 && column <= 5)
        return force_text(values[static_cast<std::size_t>(column - 3)]);
    if (column >= 6 && column <= 8)
        return moment_text(values[static_cast<std::size_t>(column - 3)]);
    return {};
}

void TimeVaryingLoad::add_dynamic_loads(AnalysisRun& run, int row) const
{
    if (current_step_type(run) == LC_TIME_HISTORY)
        add_components(run, row_node(run, row), values);
}

std::string TimeVaryingLoad::description() const
{
    return c_format("Time function %d: ", function) + components_text(values.data(), values.size());
}

void TimeVaryingLoad::check_values_of_row() const
{
    // The function it names is the time-history analysis's to check.
    check_values(values);
}

// ---- Harmonic load ------------------------------------------------------------------------

void HarmonicLoad::read(BinFile& file)
{
    if (!record_present("harmonic loads"))
        return;
    frequency = file.read_float();
    phase = file.read_float();
    read_values(file, values);
}

void HarmonicLoad::write(BinFile& file) const
{
    file.write_float(frequency);
    file.write_float(phase);
    write_values(file, values);
}

void HarmonicLoad::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const HarmonicLoad*>(&other)) {
        frequency = same->frequency;
        phase = same->phase;
        values = same->values;
    }
}

void HarmonicLoad::count() { model().list(HARMONIC_LOAD_ROWS).count_one(); }
void HarmonicLoad::register_row(int row) { model().list(HARMONIC_LOAD_ROWS).add(row); }

std::string HarmonicLoad::cell_text(int column) const
{
    if (column == 2)
        return frequency == 0.0f ? std::string() : format_real(frequency, 10, 3);
    if (column == 3)
        return phase == 0.0f ? std::string() : format_angle(phase);
    if (column >= 4 && column <= 6)
        return force_text(values[static_cast<std::size_t>(column - 4)]);
    return {};
}

void HarmonicLoad::add_dynamic_loads(AnalysisRun& run, int row) const
{
    if (current_step_type(run) == LC_HARMONIC)
        add_components(run, row_node(run, row), values);
}

std::string HarmonicLoad::description() const
{
    return trimmed(format_real(frequency, 10, 3)) + " Hz: " + components_text(values.data(), values.size());
}

void HarmonicLoad::check_values_of_row() const
{
    check_values(values);
    if (!std::isfinite(phase) || !std::isfinite(frequency))
        throw_message("the frequency or phase of the harmonic load is not a number");
}

// ---- Force spectrum load -------------------------------------------------------------------

void ForceSpectrumLoad::read(BinFile& file)
{
    if (!record_present("force spectrum loads"))
        return;
    spectrum = file.read_name(SPECTRUM_NAME_LENGTH + 1).substr(0, SPECTRUM_NAME_LENGTH);
    read_values(file, values);
}

void ForceSpectrumLoad::write(BinFile& file) const
{
    file.write_name(spectrum, SPECTRUM_NAME_LENGTH + 1);
    write_values(file, values);
}

void ForceSpectrumLoad::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const ForceSpectrumLoad*>(&other)) {
        spectrum = same->spectrum;
        values = same->values;
    }
}

void ForceSpectrumLoad::count() { model().list(FORCE_SPECTRUM_LOAD_ROWS).count_one(); }
void ForceSpectrumLoad::register_row(int row) { model().list(FORCE_SPECTRUM_LOAD_ROWS).add(row); }

std::string ForceSpectrumLoad::cell_text(int column) const
{
    if (column == 2)
        return spectrum;
    if (column >= 3 && column <= 5)
        return force_text(values[static_cast<std::size_t>(column - 3)]);
    return {};
}

void ForceSpectrumLoad::add_dynamic_loads(AnalysisRun& run, int row) const
{
    if (current_step_type(run) == LC_FORCE_SPECTRUM)
        add_components(run, row_node(run, row), values);
}

std::string ForceSpectrumLoad::description() const
{
    return spectrum + ": " + components_text(values.data(), values.size());
}

void ForceSpectrumLoad::check_values_of_row() const
{
    // The spectrum it names is the force-spectrum analysis's to check.
    check_values(values);
}

void install_nodal_loads()
{
    set_data_factory(DT_FORCE, [] { return std::make_unique<ForceLoad>(); });
    set_data_factory(DT_CONC_MASS, [] { return std::make_unique<ConcentratedMass>(); });
    set_data_factory(DT_TIME_VARYING_LOAD, [] { return std::make_unique<TimeVaryingLoad>(); });
    set_data_factory(DT_HARMONIC_LOAD, [] { return std::make_unique<HarmonicLoad>(); });
    set_data_factory(DT_FORCE_SPECTRUM_LOAD, [] { return std::make_unique<ForceSpectrumLoad>(); });
}

void ForceLoad::check(const Model&, int row) const
{
    check_naming_row(row, [this] { check_values_of_row(); });
}

void ConcentratedMass::check(const Model&, int row) const
{
    check_naming_row(row, [this] { check_values_of_row(); });
}

void TimeVaryingLoad::check(const Model&, int row) const
{
    check_naming_row(row, [this] { check_values_of_row(); });
}

void HarmonicLoad::check(const Model&, int row) const
{
    check_naming_row(row, [this] { check_values_of_row(); });
}

void ForceSpectrumLoad::check(const Model&, int row) const
{
    check_naming_row(row, [this] { check_values_of_row(); });
}
