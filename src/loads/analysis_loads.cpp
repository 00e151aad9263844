#include "loads/analysis_loads.h"

#include "analysis_core/analysis_model.h"
#include "loads/beam_load.h"
#include "loads/hydrotest_load.h"
#include "loads/pipe_load.h"
#include "loads/response_spectrum.h"
#include "loads/seismic.h"
#include "loads/spectrum.h"
#include "loads/time_function.h"
#include "loads/wind.h"
#include "model/model.h"

#include <cmath>

namespace {

PipeLoadValues pipe_load_values(const PipeLoad& l)
{
    PipeLoadValues v;
    v.name = l.name;
    for (int k = 1; k <= NUM_LOAD_SETS; ++k) {
        const auto i = static_cast<std::size_t>(k);
        v.temperature[i] = l.temperature[i];
        v.pressure[i] = l.pressure[i];
    }
    v.design_temperature = l.design_temperature;
    v.design_pressure = l.design_pressure;
    v.specific_gravity = l.specific_gravity;
    v.added_weight = l.added_weight;
    v.wind = l.wind != 0;
    return v;
}

BeamLoadValues beam_load_values(const BeamLoad& l)
{
    BeamLoadValues v;
    v.name = l.name;
    for (int k = 1; k <= NUM_LOAD_SETS; ++k)
        v.temperature[static_cast<std::size_t>(k)] = l.temperature[static_cast<std::size_t>(k)];
    v.added_weight = l.added_weight;
    v.wind = l.wind != 0;
    return v;
}

StaticSeismic static_seismic(const SeismicLoad& s)
{
    StaticSeismic g;
    g.x = s.flag[0] != 0;
    g.y = s.flag[1] != 0;
    g.z = s.flag[2] != 0;
    g.gx = s.g[0];
    g.gy = s.g[1];
    g.gz = s.g[2];
    g.combination = s.combination;
    return g;
}

WindCase wind_case(const WindData& data, int n)
{
    WindCase c;
    c.defined = wind_load_defined(data, n);
    if (!c.defined)
        return c;
    const WindLoad& w = data.loads[static_cast<std::size_t>(n)];
    const double length = std::hypot(w.direction[0], w.direction[1], w.direction[2]);
    c.direction = {w.direction[0] / length, w.direction[1] / length, w.direction[2] / length};
    c.design_code = w.asce != 0;
    c.gust_factor = c.design_code ? data.asce.gust : 1.0;
    c.height_given = w.height_given != 0;
    c.structure_height = w.structure_height;
    // The functions hold their own copies: the run never reads the document.
    c.pressure_at = [data, n](double elevation) { return wind_pressure_at(data, n, elevation); };
    const AsceWind asce = data.asce;
    c.force_coefficient = [asce](double height, double diameter) {
        return asce_round_force_coefficient(asce.surface, height, diameter, asce_velocity_pressure(asce, height));
    };
    return c;
}

SpectrumCurve spectrum_curve(const Spectrum& s)
{
    SpectrumCurve c;
    c.name = s.name;
    c.period = s.abscissa == ABSCISSA_PERIOD;
    c.ordinate = s.ordinate;
    c.logarithmic = s.interpolation == INTERPOLATE_LOG;
    for (const XYPair& p : s.curve)
        c.points.push_back({p.x, spectrum_ordinate_to_internal(s.ordinate, s.ordinate_unit, p.y)});
    return c;
}

std::vector<SpectrumCurve> spectrum_curves(const SpectrumList& list)
{
    std::vector<SpectrumCurve> curves;
    for (int i = 1; i <= list.count(); ++i)
        curves.push_back(spectrum_curve(list[i]));
    return curves;
}

DynamicInput dynamic_input()
{
    DynamicInput in;
    in.spectra = spectrum_curves(spectra());
    in.force_spectra = spectrum_curves(force_spectra());
    for (const XYCurve& f : time_function()) {
        std::vector<std::array<double, 2>> points;
        for (const XYPair& p : f)
            points.push_back({p.x, p.y});
        in.time_functions.push_back(std::move(points));
    }
    const TimeHistoryOptions& o = time_history_options();
    in.time_history = {o.time_step, o.end_time, o.output_interval, o.damping, o.save_results != 0};
    const ResponseSpectrumInput& r = response_spectrum_input();
    ResponseSpectrumSettings& rs = in.response_spectrum;
    for (std::size_t d = 0; d < 3; ++d) {
        rs.spectrum[d] = r.spectrum[d];
        rs.factor[d] = r.factor[d];
    }
    rs.modal_combination = r.modal_combination;
    rs.direction_combination = r.direction_combination;
    rs.missing_mass_combination = r.missing_mass_combination;
    rs.damping = r.damping;
    rs.closely_spaced = r.closely_spaced;
    return in;
}

}  // namespace

void fill_analysis_loads(AnalysisLoads& loads)
{
    loads.pipe_loads.clear();
    for (const PipeLoad& l : pipe_loads())
        loads.pipe_loads.push_back(pipe_load_values(l));
    loads.beam_loads.clear();
    for (const BeamLoad& l : beam_loads())
        loads.beam_loads.push_back(beam_load_values(l));
    loads.seismic = static_seismic(seismic_g());
    const WindData& wind = wind_data();
    for (int n = 1; n <= NUM_WIND_LOADS; ++n)
        loads.wind[static_cast<std::size_t>(n)] = wind_case(wind, n);
    fill_hydrotest(model(), loads);
    loads.dynamic = dynamic_input();
}

void install_analysis_loads()
{
    analysis_load_hooks().fill_loads = fill_analysis_loads;
}
