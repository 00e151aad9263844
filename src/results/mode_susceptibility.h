// The dynamic susceptibility of each mode, from the ".rds" file the run
// wrote beside the results (susceptibility_file.h): the end forces of the
// mode's shape scaled to a velocity amplitude of 1 in/s at the node that
// moves most. A vibration's stress is a cyclic, displacement-driven stress,
// so each end of a pipe element gets the stress range of the
// in-plane/out-of-plane form (code_stress.h, StressRules::InOutPlane):
//   S = sqrt(Sb^2 + 4 St^2), Sb = sqrt((ii Mi)^2 + (io Mo)^2) / Z,
//   St = Mt / 2Z,
// on the element's nominal wall with the SIFs the code evaluation gave the
// end (1.0 where it gave none). S per unit velocity is a property of the
// mode: the largest of the model, with its node, says how fast the mode may
// vibrate before the pipe is overstressed. The mode markers name the node
// of the largest velocity and the node of the largest stress.
#pragma once

#include "analysis/susceptibility_file.h"
#include "codes/sif_formulas.h"
#include "framework/one_based.h"

#include <array>
#include <cstdint>
#include <vector>

// The dynamic results record of each mode that names its two marker nodes
// (node indices; 0: none).
struct ModeMarkerRecord {
    int32_t velocity_node = 0;
    int32_t stress_node = 0;
    bool operator==(const ModeMarkerRecord&) const = default;
};

// What the stresses need of a results element.
struct SusceptibilityElement {
    bool pipe = false;                    // a pipe-type element of a steel pipe
    double outside_diameter = 0.0;        // inch
    double thickness = 0.0;               // inch, nominal
    std::array<Sifs, 2> sifs{};           // of ends 1 and 2
    std::array<int32_t, 2> nodes{};       // node indices of ends 1 and 2
};

struct ModeSusceptibility {
    float frequency = 0.0f;               // Hz
    ModeMarkerRecord markers;
    double largest_stress = 0.0;          // psi per in/s
    // Per element 1..E, the stress of ends 1 and 2 per unit velocity (0 for
    // an element that is no pipe).
    OneBased<std::array<double, 2>> stresses;
};

// The susceptibility of every mode of the file; `elements` are the results
// elements 1..E (the file's element count).
std::vector<ModeSusceptibility> mode_susceptibility(const std::vector<SusceptibilityMode>& modes,
                                                    const OneBased<SusceptibilityElement>& elements);
