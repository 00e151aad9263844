#include "loads/hydrotest_load.h"

#include "analysis_core/analysis_model.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/load_file.h"
#include "loads/pipe_load.h"
#include "model/model.h"
#include "model/model_file.h"

#include <cmath>

void HydrotestLoad::read(BinFile& file)
{
    if (!load_records_in_file()) {
        if (!model_file_framed())
            throw_old_load_records("hydrotest loads");
        return;
    }
    specific_gravity = file.read_float();
    pressure = file.read_float();
    temperature = file.read_float();
    if (file.error())
        return;
    if (const std::string why = fault(); !why.empty())
        throw_message("Hydrotest load: " + why);
}

void HydrotestLoad::write(BinFile& file) const
{
    file.write_float(specific_gravity);
    file.write_float(pressure);
    file.write_float(temperature);
}

void HydrotestLoad::copy_from(const ElementData& other)
{
    if (const auto* same = dynamic_cast<const HydrotestLoad*>(&other)) {
        specific_gravity = same->specific_gravity;
        pressure = same->pressure;
        temperature = same->temperature;
    }
}

void HydrotestLoad::count() { model().list(HYDROTEST_ROWS).count_one(); }
void HydrotestLoad::register_row(int row) { model().list(HYDROTEST_ROWS).add(row); }

std::string HydrotestLoad::cell_text(int column) const
{
    switch (column) {
    case 3: return format_f3_trimmed(specific_gravity);
    case 4: return pressure == 0.0f ? std::string() : format_pressure(pressure);
    case 5: return temperature == 0.0f ? std::string() : format_temperature(temperature);
    default: return {};
    }
}

std::string HydrotestLoad::description() const
{
    std::string text = "Hydrotest: SG " + format_f3_trimmed(specific_gravity) + ", P " +
                       trimmed(format_pressure(pressure)) + " " + unit_name(PRESSURE, current_unit(PRESSURE));
    if (temperature != 0.0f)
        text += ", T " + trimmed(format_temperature(temperature)) + " " +
                unit_name(TEMPERATURE, current_unit(TEMPERATURE));
    return text;
}

std::string HydrotestLoad::fault() const
{
    if (!std::isfinite(specific_gravity) || specific_gravity < 0.0f)
        return "Specific gravity is invalid";
    if (!std::isfinite(pressure) || pressure < 0.0f)
        return "Pressure is invalid";
    if (!std::isfinite(temperature) || (temperature != 0.0f && temperature < LOWEST_LOAD_TEMPERATURE))
        return "Temperature is invalid";
    return {};
}

void fill_hydrotest(const Model& m, AnalysisLoads& loads)
{
    loads.hydrotest = HydrotestValues{};
    loads.row_hydrotest.clear();
    HydrotestValues in_force;   // not defined: untested
    for (int row = 1; row <= m.numrows(); ++row) {
        const LayoutRow& r = m.rows[row];
        if (r.etype == ET_HYDROTEST_LOAD)
            if (const auto* h = dynamic_cast<const HydrotestLoad*>(r.element.get())) {
                in_force.defined = true;
                in_force.specific_gravity = h->specific_gravity;
                // An entered zero is a pressure of 0.
                in_force.pressure = std::fabs(h->pressure) < ENTERED_ZERO_LIMIT ? 0.0 : h->pressure;
                in_force.temperature = h->temperature;
                if (!loads.hydrotest.defined)
                    loads.hydrotest = in_force;
            }
        loads.row_hydrotest.push_back(in_force);
    }
}

void install_hydrotest_load()
{
    set_element_factory(ET_HYDROTEST_LOAD, [] { return std::make_unique<HydrotestLoad>(); });
}
