#include "analysis/dynamic_analysis.h"

#include "analysis/eigen_solver.h"
#include "analysis/spectrum_response.h"
#include "analysis/susceptibility_file.h"
#include "analysis/time_integration.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/element_forces.h"
#include "analysis_core/steps.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "loads/nodal_loads.h"
#include "model/data_item.h"
#include "model/load_cases.h"
#include "model/nodes.h"
#include "platform/file_replace.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <optional>

namespace {

// K - shift M on the run's store: the stiffness the modal step assembled
// (kept as the store's base), the lumped masses on the diagonal and the
// offset masses' blocks added into the store's values.
class StoreSystem final : public ShiftedSystem {
public:
    StoreSystem(AnalysisRun& run, RunServices& services, const OneBased<double>& diagonal, const MassMatrix& mass)
        : run_(run), services_(services), diagonal_(diagonal), mass_(mass)
    {
    }
    int size() const override { return run_.store.equation_count(); }
    std::optional<int> factor(double shift) override
    {
        run_.store.restore_base();
        if (shift == 0.0) {
            services_.factor();
            return 0;
        }
        for (const MassMatrix::Block& b : mass_.blocks)
            for (int i = 0; i < 6; ++i)
                for (int j = i; j < 6; ++j)
                    run_.store.add(b.first + 1 + i, b.first + 1 + j, -shift * b.m[static_cast<std::size_t>(6 * i + j)]);
        FactorOptions options;
        options.indefinite = true;
        options.shift = shift;
        options.shift_diagonal = &diagonal_;
        const FactorResult result = run_.store.factor(options);
        ++run_.factorisations;
        if (!result.ok())
            return std::nullopt;
        return result.negative_pivots;
    }
    void solve(std::span<double> x) override { run_.store.solve(x, 1); }

private:
    AnalysisRun& run_;
    RunServices& services_;
    const OneBased<double>& diagonal_;
    const MassMatrix& mass_;
};

double dot(const std::vector<double>& a, const std::vector<double>& b)
{
    double sum = 0.0;
    for (std::size_t k = 0; k < a.size(); ++k)
        sum += a[k] * b[k];
    return sum;
}

const SpectrumCurve* find_spectrum(const std::vector<SpectrumCurve>& list, const std::string& name)
{
    for (const SpectrumCurve& s : list)
        if (s.name == name)
            return &s;
    return nullptr;
}

}  // namespace

struct DynamicAnalysis::Impl {
    AnalysisRun& run;
    RunServices& services;
    const AnalysisModel& model;
    const DynamicInput& input;

    bool solved_modes = false;
    RunModes modes;
    MassMatrix mass;
    OneBased<double> diagonal;
    // The response (flattened: displacements, end forces, support loads of
    // the results file's model) of each mode's shape, and of a zero
    // solution (what the recovery gives without motion, taken off).
    std::vector<std::vector<double>> unit;
    std::vector<std::vector<double>> unit_accelerations;   // w^2 phi on the nodes' translations
    std::vector<double> baseline;
    std::size_t node_values = 0, force_values = 0, support_values = 0;
    // M r_d of each direction, and the missing-mass responses once worked.
    std::array<std::vector<double>, 3> mass_direction;
    std::array<std::optional<std::vector<double>>, 3> missing_mass;
    std::array<std::vector<double>, 3> missing_acceleration;
    std::optional<std::vector<double>> seismic_displacement;

    std::vector<TimeHistoryStep> history;
    double history_interval = 0.0;
    bool history_wanted = false;

    Impl(AnalysisRun& r, RunServices& s) : run(r), services(s), model(r.snapshot()), input(r.snapshot().loads.dynamic) {}

    const ResponseSpectrumSettings& settings() const { return input.response_spectrum; }
    bool include_missing_mass() const { return model.options.include_missing_mass; }
    int equations() const { return run.equation_count(); }
    const Model& written() const { return model.written_model(); }

    // ---- Responses ---------------------------------------------------------------------

    std::vector<double> flatten(const CaseResults& c) const
    {
        std::vector<double> flat;
        flat.reserve(node_values + force_values + support_values);
        flat.insert(flat.end(), c.displacements.begin(), c.displacements.end());
        for (const ElementVector& f : c.forces)
            flat.insert(flat.end(), f.f + 1, f.f + 13);
        flat.insert(flat.end(), c.support_loads.begin(), c.support_loads.end());
        return flat;
    }
    CaseResults unflatten(int code, const std::vector<double>& flat) const
    {
        CaseResults c;
        c.code = code;
        c.displacements.assign(flat.begin(), flat.begin() + static_cast<std::ptrdiff_t>(node_values));
        c.forces.resize(force_values / 12);
        for (std::size_t e = 0; e < c.forces.size(); ++e)
            for (int j = 1; j <= 12; ++j)
                c.forces[e].f[j] = flat[node_values + 12 * e + static_cast<std::size_t>(j - 1)];
        c.support_loads.assign(flat.begin() + static_cast<std::ptrdiff_t>(node_values + force_values), flat.end());
        return c;
    }
    // The recovered response of a solution (by equation, 0-based) in the
    // modal step, less the recovery of no motion.
    std::vector<double> respond(const std::vector<double>& x)
    {
        for (int e = 1; e <= equations(); ++e)
            run.solution[e] = x[static_cast<std::size_t>(e - 1)];
        run.set_step(LC_MODAL);
        std::vector<double> flat = flatten(services.recover(LC_MODAL));
        for (std::size_t k = 0; k < flat.size(); ++k)
            flat[k] -= baseline[k];
        return flat;
    }
    // K^-1 f with the factor of the modal stiffness.
    std::vector<double> static_solution(std::vector<double> f)
    {
        run.store.solve(f, 1);
        return f;
    }
    // The values of a vector by equation on the nodes of the results
    // file's model (6 per node, 0 outside the analysis).
    std::vector<double> node_vector(const std::vector<double>& x, bool translations_only = false) const
    {
        const int nodes = written().numnodes();
        std::vector<double> v(6 * static_cast<std::size_t>(nodes), 0.0);
        for (int node = 1; node <= nodes; ++node)
            for (int d = 0; d < (translations_only ? 3 : 6); ++d)
                if (const int e = run.equation(node, d))
                    v[6 * static_cast<std::size_t>(node - 1) + static_cast<std::size_t>(d)] = x[static_cast<std::size_t>(e - 1)];
        return v;
    }
    // The unit vector of a rigid translation along direction d.
    std::vector<double> rigid_translation(int d) const
    {
        std::vector<double> r(static_cast<std::size_t>(equations()), 0.0);
        for (int node = 1; node <= model.numnodes(); ++node)
            if (const int e = run.equation(node, d))
                r[static_cast<std::size_t>(e - 1)] = 1.0;
        return r;
    }
    // x - sum over the modes of phi_i (phi_i^T f) / w_i^2 with x = K^-1 f:
    // the static response of the modes not found.
    std::vector<double> residual_solution(const std::vector<double>& f)
    {
        std::vector<double> x = static_solution(f);
        for (std::size_t i = 0; i < modes.shapes.size(); ++i) {
            const double q = dot(modes.shapes[i], f) / modes.eigenvalues[i];
            for (std::size_t e = 0; e < x.size(); ++e)
                x[e] -= q * modes.shapes[i][e];
        }
        return x;
    }
    // The load vector (by equation) of a row's dynamic load in a step.
    std::vector<double> row_load(int row, int code)
    {
        run.set_step(code);
        run.set_pass(RunPass::Assembly);
        std::fill(run.loads.begin(), run.loads.end(), 0.0);
        if (const DataItem* item = run.layout().rows[row].data.get())
            item->add_dynamic_loads(run, row);
        return std::vector<double>(run.loads.begin(), run.loads.end());
    }

    // ---- Modes ---------------------------------------------------------------------------

    void solve_modes(const LoadCaseList&)
    {
        if (solved_modes)
            return;
        // The supports and joints as the first operating case leaves them.
        if (services.nonlinear())
            services.hold_base_state();
        services.check_cancel();
        services.progress("Modal analysis: stiffness and masses");
        run.set_step(LC_MODAL);
        run.set_pass(RunPass::Assembly);
        run.set_stiffness_wanted(true);
        run.mass_blocks.clear();
        services.assemble();
        diagonal = run.loads;
        mass.diagonal.assign(diagonal.begin(), diagonal.end());
        for (double& m : mass.diagonal)
            if (!(m > 0.0))
                m = 0.0;
        mass.blocks.clear();
        for (const NodeMassBlock& b : run.mass_blocks)
            if (const int e = run.equation(b.node, 0))
                mass.blocks.push_back({e - 1, b.m});
        run.store.keep_as_base();

        StoreSystem system(run, services, diagonal, mass);
        ModeRequest request;
        request.modes = model.options.number_of_modes;
        request.cutoff = model.options.cutoff_frequency;
        EigenCallbacks callbacks;
        callbacks.progress = [this](const std::string& text) { services.progress(text); };
        callbacks.check_cancel = [this] { services.check_cancel(); };
        ModeSolution solution = lowest_modes(system, mass, request, callbacks);
        modes.eigenvalues = std::move(solution.eigenvalues);
        modes.shapes = std::move(solution.shapes);
        modes.notes = std::move(solution.notes);
        for (double e : modes.eigenvalues)
            modes.frequencies.push_back(eigenvalue_frequency(e));
        for (const std::string& note : modes.notes)
            services.progress(note);

        // Participation factors phi_i^T M r_d and the mass of each direction.
        for (int d = 0; d < 3; ++d) {
            const std::vector<double> r = rigid_translation(d);
            std::vector<double> mr(r.size());
            mass.multiply(r, mr);
            modes.total_mass[static_cast<std::size_t>(d)] = dot(r, mr);
            mass_direction[static_cast<std::size_t>(d)] = std::move(mr);
        }
        for (const std::vector<double>& phi : modes.shapes) {
            std::array<double, 3> g{};
            for (std::size_t d = 0; d < 3; ++d)
                g[d] = dot(phi, mass_direction[d]);
            modes.participation.push_back(g);
        }

        // The response of each mode's shape.
        const Model& w = written();
        node_values = 6 * static_cast<std::size_t>(w.numnodes());
        force_values = 12 * static_cast<std::size_t>(w.numelems());
        support_values = static_cast<std::size_t>(run.support_values());
        baseline.assign(node_values + force_values + support_values, 0.0);
        baseline = respond(std::vector<double>(static_cast<std::size_t>(equations()), 0.0));
        const int count = static_cast<int>(modes.shapes.size());
        for (int i = 0; i < count; ++i) {
            services.check_cancel();
            services.progress(c_format("Mode %d of %d", i + 1, count));
            unit.push_back(respond(modes.shapes[static_cast<std::size_t>(i)]));
            std::vector<double> a = node_vector(modes.shapes[static_cast<std::size_t>(i)], true);
            for (double& v : a)
                v *= modes.eigenvalues[static_cast<std::size_t>(i)];
            unit_accelerations.push_back(std::move(a));
        }
        solved_modes = true;
    }

    ModalCombiner combiner() const
    {
        return ModalCombiner(modes.frequencies, settings().modal_combination, settings().damping,
                             settings().closely_spaced);
    }

    // ---- Response spectrum -------------------------------------------------------------------

    // The missing-mass response of direction d per unit of acceleration:
    // the static response to M r_d - sum G_id M phi_i.
    const std::vector<double>& missing_mass_response(int d)
    {
        auto& cached = missing_mass[static_cast<std::size_t>(d)];
        if (cached)
            return *cached;
        std::vector<double> f = mass_direction[static_cast<std::size_t>(d)];
        std::vector<double> rest = rigid_translation(d);
        std::vector<double> mphi(f.size());
        for (std::size_t i = 0; i < modes.shapes.size(); ++i) {
            const double g = modes.participation[i][static_cast<std::size_t>(d)];
            mass.multiply(modes.shapes[i], mphi);
            for (std::size_t e = 0; e < f.size(); ++e) {
                f[e] -= g * mphi[e];
                rest[e] -= g * modes.shapes[i][e];
            }
        }
        cached = respond(static_solution(f));
        missing_acceleration[static_cast<std::size_t>(d)] = node_vector(rest, true);
        return *cached;
    }

    const SpectrumCurve& direction_spectrum(int d) const
    {
        const SpectrumCurve* s = find_spectrum(input.spectra, settings().spectrum[static_cast<std::size_t>(d)]);
        if (!s)
            throw_message("Response spectrum: the spectrum " + settings().spectrum[static_cast<std::size_t>(d)] +
                          " is not defined");
        return *s;
    }

    void response_spectrum(const LoadCaseList& chosen, std::map<int, CaseResults>& results)
    {
        const ModalCombiner modal = combiner();
        std::vector<std::vector<double>> parts, accelerations, missing;
        for (int d = 0; d < 3; ++d) {
            if (settings().spectrum[static_cast<std::size_t>(d)].empty())
                continue;
            services.check_cancel();
            services.progress("Response spectrum: " + load_case_names(26 + d));
            const SpectrumCurve& s = direction_spectrum(d);
            const double factor = settings().factor[static_cast<std::size_t>(d)];
            std::vector<double> c;
            for (std::size_t i = 0; i < modes.shapes.size(); ++i)
                c.push_back(factor * modes.participation[i][static_cast<std::size_t>(d)] *
                            spectral_acceleration(s, modes.frequencies[i]) / modes.eigenvalues[i]);
            std::vector<double> r = modal.combine(unit, c);
            std::vector<double> a = modes.shapes.empty() ? std::vector<double>(node_values, 0.0)
                                                         : modal.combine(unit_accelerations, c);
            if (r.empty())
                r.assign(node_values + force_values + support_values, 0.0);
            if (include_missing_mass()) {
                const double zpa = factor * spectrum_rigid_acceleration(s);
                const std::vector<double>& m = missing_mass_response(d);
                const std::vector<double>& ma = missing_acceleration[static_cast<std::size_t>(d)];
                std::vector<double> scaled(m.size());
                for (std::size_t k = 0; k < r.size(); ++k) {
                    scaled[k] = zpa * m[k];
                    r[k] = combine_two(r[k], scaled[k], settings().missing_mass_combination);
                }
                for (std::size_t k = 0; k < a.size(); ++k)
                    a[k] = combine_two(a[k], zpa * ma[k], settings().missing_mass_combination);
                missing.push_back(std::move(scaled));
            }
            parts.push_back(std::move(r));
            accelerations.push_back(std::move(a));
        }
        services.progress("Response spectrum: " + load_case_names(29));
        std::vector<double> total = combine_parts(parts, settings().direction_combination);
        std::vector<double> total_acceleration = combine_parts(accelerations, settings().direction_combination);
        if (chosen.contains(LC_SEISMIC_DISPLACEMENT)) {
            const std::vector<double>& sam = seismic_displacement_response();
            for (std::size_t k = 0; k < total.size(); ++k)
                total[k] += std::fabs(sam[k]);
        }
        CaseResults r = unflatten(LC_RESPONSE_SPECTRUM, total);
        r.accelerations = std::move(total_acceleration);
        results[LC_RESPONSE_SPECTRUM] = std::move(r);
        if (!missing.empty())
            results[LC_MISSING_MASS] = unflatten(LC_MISSING_MASS, combine_parts(missing, settings().direction_combination));
    }

    // The missing mass alone (34), when the response spectrum does not make it.
    void missing_mass_case(std::map<int, CaseResults>& results)
    {
        std::vector<std::vector<double>> parts;
        for (int d = 0; d < 3; ++d) {
            if (settings().spectrum[static_cast<std::size_t>(d)].empty())
                continue;
            const double zpa = settings().factor[static_cast<std::size_t>(d)] *
                               spectrum_rigid_acceleration(direction_spectrum(d));
            std::vector<double> m = missing_mass_response(d);
            for (double& v : m)
                v *= zpa;
            parts.push_back(std::move(m));
        }
        std::vector<double> total = combine_parts(parts, settings().direction_combination);
        if (total.empty())
            total.assign(node_values + force_values + support_values, 0.0);
        results[LC_MISSING_MASS] = unflatten(LC_MISSING_MASS, total);
    }

    // The anchors' seismic displacements: the loads of step 33 less those of
    // a dynamic step without them (what the supports' states put in both).
    const std::vector<double>& seismic_displacement_response()
    {
        if (seismic_displacement)
            return *seismic_displacement;
        services.progress(load_case_names(LC_SEISMIC_DISPLACEMENT));
        run.set_stiffness_wanted(false);
        run.set_pass(RunPass::Assembly);
        run.set_step(LC_SEISMIC_DISPLACEMENT);
        services.assemble();
        std::vector<double> f(run.loads.begin(), run.loads.end());
        run.set_step(LC_MISSING_MASS);
        services.assemble();
        run.set_stiffness_wanted(true);
        for (std::size_t e = 0; e < f.size(); ++e)
            f[e] -= run.loads[static_cast<int>(e) + 1];
        seismic_displacement = respond(static_solution(std::move(f)));
        return *seismic_displacement;
    }

    // ---- Force spectrum ---------------------------------------------------------------------

    void force_spectrum(std::map<int, CaseResults>& results)
    {
        const ModalCombiner modal = combiner();
        std::vector<double> c(modes.shapes.size(), 0.0);
        std::vector<double> residual(static_cast<std::size_t>(equations()), 0.0);
        bool any_residual = false;
        const Model& m = run.layout();
        for (int row = 1; row <= m.numrows(); ++row) {
            const auto* item = dynamic_cast<const ForceSpectrumLoad*>(m.rows[row].data.get());
            if (!item)
                continue;
            const SpectrumCurve* s = find_spectrum(input.force_spectra, item->spectrum);
            if (!s)
                throw_message(c_format("Row %d: the force spectrum %s is not defined", row, item->spectrum.c_str()));
            const std::vector<double> f = row_load(row, LC_FORCE_SPECTRUM);
            for (std::size_t i = 0; i < modes.shapes.size(); ++i)
                c[i] += dot(modes.shapes[i], f) * spectral_acceleration(*s, modes.frequencies[i]) / modes.eigenvalues[i];
            if (include_missing_mass()) {
                const double factor = spectrum_rigid_acceleration(*s);
                const std::vector<double> x = residual_solution(f);
                for (std::size_t e = 0; e < x.size(); ++e)
                    residual[e] += factor * x[e];
                any_residual = true;
            }
        }
        std::vector<double> total = unit.empty() ? std::vector<double>(node_values + force_values + support_values, 0.0)
                                                 : modal.combine(unit, c);
        if (any_residual) {
            const std::vector<double> r = respond(residual);
            for (std::size_t k = 0; k < total.size(); ++k)
                total[k] = combine_two(total[k], r[k], settings().missing_mass_combination);
        }
        results[LC_FORCE_SPECTRUM] = unflatten(LC_FORCE_SPECTRUM, total);
    }

    // ---- Time history ---------------------------------------------------------------------

    void time_history(std::map<int, CaseResults>& results)
    {
        const TimeHistorySettings& o = input.time_history;
        const double dt = o.time_step;
        const int steps = std::max(1, static_cast<int>(std::llround(o.end_time / dt)));
        // The loads of each time function.
        std::map<int, std::vector<double>> loads;
        const Model& m = run.layout();
        for (int row = 1; row <= m.numrows(); ++row) {
            const auto* item = dynamic_cast<const TimeVaryingLoad*>(m.rows[row].data.get());
            if (!item)
                continue;
            if (item->function < 1 || item->function > static_cast<int>(input.time_functions.size()))
                throw_message(c_format("Row %d: the time-varying load names time function %d, which is not defined",
                                       row, item->function));
            const std::vector<double> f = row_load(row, LC_TIME_HISTORY);
            std::vector<double>& total = loads[item->function];
            if (total.empty())
                total.assign(f.size(), 0.0);
            for (std::size_t e = 0; e < f.size(); ++e)
                total[e] += f[e];
        }
        // Each function's values at the time steps.
        std::map<int, std::vector<double>> values;
        for (const auto& [k, f] : loads) {
            std::vector<double>& v = values[k];
            for (int s = 0; s <= steps; ++s)
                v.push_back(curve_value(input.time_functions[static_cast<std::size_t>(k - 1)], s * dt));
        }
        // The modal coordinates over time.
        const std::size_t count = modes.shapes.size();
        std::vector<std::vector<double>> q(count);
        for (std::size_t i = 0; i < count; ++i) {
            services.check_cancel();
            std::vector<double> p(static_cast<std::size_t>(steps) + 1, 0.0);
            for (const auto& [k, f] : loads) {
                const double pk = dot(modes.shapes[i], f);
                const std::vector<double>& v = values[k];
                for (std::size_t s = 0; s < p.size(); ++s)
                    p[s] += pk * v[s];
            }
            q[i] = integrate_modal_equation(std::sqrt(modes.eigenvalues[i]), o.damping, dt, p);
        }
        // The static response of the modes not found, per function.
        std::map<int, std::vector<double>> residual;
        if (include_missing_mass())
            for (const auto& [k, f] : loads)
                residual[k] = respond(residual_solution(f));

        const std::size_t size = node_values + force_values + support_values;
        std::vector<double> envelope(size, 0.0), now(size);
        history.clear();
        history_wanted = o.save_results;
        history_interval = o.output_interval;
        const int outputs = static_cast<int>(std::floor(o.end_time / o.output_interval + 1.0e-9));
        int next_output = 1;
        for (int s = 1; s <= steps; ++s) {
            if (s % 100 == 0) {
                services.check_cancel();
                services.progress(c_format("Time history: step %d of %d", s, steps));
            }
            std::fill(now.begin(), now.end(), 0.0);
            for (std::size_t i = 0; i < count; ++i) {
                const double qi = q[i][static_cast<std::size_t>(s)];
                if (qi == 0.0)
                    continue;
                const std::vector<double>& u = unit[i];
                for (std::size_t k = 0; k < size; ++k)
                    now[k] += qi * u[k];
            }
            for (const auto& [k, r] : residual) {
                const double fk = values[k][static_cast<std::size_t>(s)];
                for (std::size_t j = 0; j < size; ++j)
                    now[j] += fk * r[j];
            }
            for (std::size_t k = 0; k < size; ++k)
                if (std::fabs(now[k]) > std::fabs(envelope[k]))
                    envelope[k] = now[k];
            while (history_wanted && next_output <= outputs &&
                   std::llround(next_output * o.output_interval / dt) <= s) {
                const CaseResults c = unflatten(LC_TIME_HISTORY, now);
                TimeHistoryStep step;
                step.displacements = c.displacements;
                for (const ElementVector& f : c.forces)
                    step.forces.insert(step.forces.end(), f.f + 1, f.f + 13);
                step.support_loads = c.support_loads;
                history.push_back(std::move(step));
                ++next_output;
            }
        }
        results[LC_TIME_HISTORY] = unflatten(LC_TIME_HISTORY, envelope);
    }

    // ---- Harmonic response -------------------------------------------------------------------

    void harmonic(std::map<int, CaseResults>& results)
    {
        const double damping = input.time_history.damping;
        struct Group {
            std::vector<double> real, imaginary;
        };
        std::map<float, Group> groups;
        const Model& m = run.layout();
        for (int row = 1; row <= m.numrows(); ++row) {
            const auto* item = dynamic_cast<const HarmonicLoad*>(m.rows[row].data.get());
            if (!item)
                continue;
            if (!(item->frequency > 0.0f))
                throw_message(c_format("Row %d: the frequency of the harmonic load should be above 0", row));
            const std::vector<double> f = row_load(row, LC_HARMONIC);
            Group& g = groups[item->frequency];
            if (g.real.empty()) {
                g.real.assign(f.size(), 0.0);
                g.imaginary.assign(f.size(), 0.0);
            }
            // F cos(W t + phase) = Re(F e^(i phase) e^(i W t)).
            const double c = std::cos(item->phase), s = std::sin(item->phase);
            for (std::size_t e = 0; e < f.size(); ++e) {
                g.real[e] += f[e] * c;
                g.imaginary[e] += f[e] * s;
            }
        }
        const std::size_t size = node_values + force_values + support_values;
        std::vector<double> total(size, 0.0);
        for (const auto& [hertz, g] : groups) {
            services.check_cancel();
            services.progress(c_format("Harmonic response at %g Hz", static_cast<double>(hertz)));
            const double forcing = 2.0 * std::numbers::pi * hertz;
            std::vector<double> re(size, 0.0), im(size, 0.0);
            for (std::size_t i = 0; i < modes.shapes.size(); ++i) {
                const std::complex<double> p(dot(modes.shapes[i], g.real), dot(modes.shapes[i], g.imaginary));
                const std::complex<double> q = p * harmonic_receptance(std::sqrt(modes.eigenvalues[i]), damping, forcing);
                for (std::size_t k = 0; k < size; ++k) {
                    re[k] += q.real() * unit[i][k];
                    im[k] += q.imag() * unit[i][k];
                }
            }
            if (include_missing_mass()) {
                const std::vector<double> r = respond(residual_solution(g.real));
                const std::vector<double> s = respond(residual_solution(g.imaginary));
                for (std::size_t k = 0; k < size; ++k) {
                    re[k] += r[k];
                    im[k] += s[k];
                }
            }
            for (std::size_t k = 0; k < size; ++k)
                total[k] += std::hypot(re[k], im[k]);
        }
        results[LC_HARMONIC] = unflatten(LC_HARMONIC, total);
    }

    // ---- Files ---------------------------------------------------------------------------------

    std::vector<SusceptibilityMode> susceptibility() const
    {
        std::vector<SusceptibilityMode> out;
        const int nodes = written().numnodes();
        for (std::size_t i = 0; i < modes.shapes.size(); ++i) {
            const std::vector<double> v = node_vector(modes.shapes[i], true);
            int node = 0;
            double largest = 0.0;
            for (int n = 1; n <= nodes; ++n) {
                const std::size_t at = 6 * static_cast<std::size_t>(n - 1);
                const double a = std::sqrt(v[at] * v[at] + v[at + 1] * v[at + 1] + v[at + 2] * v[at + 2]);
                if (a > largest * (1.0 + 1.0e-9)) {
                    largest = a;
                    node = n;
                }
            }
            SusceptibilityMode m;
            m.frequency = static_cast<float>(modes.frequencies[i]);
            m.velocity_node = std::max(1, node);
            const double scale = largest > 0.0 ? 1.0 / (std::sqrt(modes.eigenvalues[i]) * largest) : 0.0;
            m.scale = static_cast<float>(scale);
            for (std::size_t k = 0; k < force_values; ++k)
                m.forces.push_back(end_force_value(scale * unit[i][node_values + k]));
            out.push_back(std::move(m));
        }
        return out;
    }

    void write_modal_forces() const
    {
        const AnalysisOutput& o = model.output;
        if (!o.modal_forces_export || o.modal_forces_path.empty() || modes.shapes.empty())
            return;
        BinFile file;
        if (!file.open_write(o.modal_forces_path))
            throw_message(with_reason("Unable to open csv file:\n" + o.modal_forces_path, file.failure()));
        const Model& w = written();
        std::string text;
        for (std::size_t i = 0; i < modes.shapes.size(); ++i) {
            text = c_format("Mode %d: %.4f Hz\n", static_cast<int>(i) + 1, modes.frequencies[i]);
            for (int e = 1; e <= w.numelems(); ++e) {
                const Elem& el = w.elems[e];
                text += "Element: " + node_text(w.nodes[el.node1].number) + " - " + node_text(w.nodes[el.node2].number);
                for (int j = 0; j < 12; ++j)
                    text += c_format(",%g", unit[i][node_values + 12 * static_cast<std::size_t>(e - 1) +
                                                     static_cast<std::size_t>(j)]);
                text += "\n";
            }
            file.write(text.data(), text.size());
        }
        if (!file.close())
            throw_message(with_reason("Unable to open csv file:\n" + o.modal_forces_path, file.failure()));
    }
};

DynamicAnalysis::DynamicAnalysis(AnalysisRun& run, RunServices& services)
    : impl_(std::make_unique<Impl>(run, services))
{
}

DynamicAnalysis::~DynamicAnalysis() = default;

bool DynamicAnalysis::has_modes() const
{
    return impl_->solved_modes;
}

const RunModes& DynamicAnalysis::modes() const
{
    return impl_->modes;
}

void DynamicAnalysis::solve(int code, const LoadCaseList& chosen, std::map<int, CaseResults>& results)
{
    Impl& d = *impl_;
    d.solve_modes(chosen);
    switch (code) {
    case LC_MODAL: break;
    case LC_RESPONSE_SPECTRUM: d.response_spectrum(chosen, results); break;
    case LC_SEISMIC_DISPLACEMENT:
        results[code] = d.unflatten(code, d.seismic_displacement_response());
        break;
    case LC_MISSING_MASS:
        if (!results.count(LC_MISSING_MASS))
            d.missing_mass_case(results);
        break;
    case LC_FORCE_SPECTRUM: d.force_spectrum(results); break;
    case LC_TIME_HISTORY: d.time_history(results); break;
    case LC_HARMONIC: d.harmonic(results); break;
    default: break;   // 26-29: steps of the response spectrum
    }
    // The store holds the modal stiffness's factor, not a static step's.
    d.run.set_step(code);
}

ModalBlock DynamicAnalysis::modal_block() const
{
    const Impl& d = *impl_;
    ModalBlock block;
    block.frequencies = d.modes.frequencies;
    for (const std::vector<double>& phi : d.modes.shapes)
        block.shapes.push_back(d.node_vector(phi));
    block.participation = d.modes.participation;
    block.total_mass = d.modes.total_mass[0];
    return block;
}

void DynamicAnalysis::write_files()
{
    Impl& d = *impl_;
    const AnalysisOutput& o = d.model.output;
    if (d.history_wanted && !o.time_history_path.empty())
        write_time_history_file(o.time_history_path, d.history_interval, d.history);
    if (d.solved_modes && !o.susceptibility_path.empty())
        write_susceptibility_file(o.susceptibility_path, d.written().numelems(), d.susceptibility());
    d.write_modal_forces();
}
