#include "results/mode_susceptibility.h"

#include "codes/code_stress.h"

#include <cmath>

std::vector<ModeSusceptibility> mode_susceptibility(const std::vector<SusceptibilityMode>& modes,
                                                    const OneBased<SusceptibilityElement>& elements)
{
    std::vector<ModeSusceptibility> out;
    out.reserve(modes.size());
    for (const SusceptibilityMode& mode : modes) {
        ModeSusceptibility s;
        s.frequency = mode.frequency;
        s.markers.velocity_node = mode.velocity_node;
        s.stresses.resize(elements.size());
        for (int e = 1; e <= elements.size(); ++e) {
            const SusceptibilityElement& el = elements[e];
            const std::size_t at = 12 * static_cast<std::size_t>(e - 1);
            if (!el.pipe || at + 12 > mode.forces.size())
                continue;
            StressInput in;
            in.rules = StressRules::InOutPlane;
            in.section = stress_section(el.outside_diameter, el.thickness);
            if (!in.section.valid())
                continue;
            for (int end = 0; end < 2; ++end) {
                const std::size_t o = at + 6 * static_cast<std::size_t>(end);
                in.sifs = el.sifs[static_cast<std::size_t>(end)];
                EndLoads l;
                l.axial = mode.forces[o];
                l.torsion = mode.forces[o + 3];
                l.out_plane = mode.forces[o + 4];
                l.in_plane = mode.forces[o + 5];
                const double stress = expansion_stress(in, l);
                s.stresses[e][static_cast<std::size_t>(end)] = stress;
                if (std::isfinite(stress) && stress > s.largest_stress) {
                    s.largest_stress = stress;
                    s.markers.stress_node = el.nodes[static_cast<std::size_t>(end)];
                }
            }
        }
        out.push_back(std::move(s));
    }
    return out;
}
