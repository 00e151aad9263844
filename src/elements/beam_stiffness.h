// The beam's element kernels: the shear-deformable (Timoshenko) space-frame
// stiffness in local axes, the static condensation of released end
// directions, the load vector of a step, and the beam temperature of a step.
// Inch, lb, psi, degF, radian.
#pragma once

#include "analysis_core/local_matrix.h"
#include "elements/element_step.h"

#include <array>

// The section and material of a beam by bending plane: bending about local
// z (translation along local y) takes iz with the shear area asy, bending
// about local y (translation along local z) iy with asz. A shear area of 0
// leaves that plane without shear deformation.
struct BeamProperties {
    double length = 0.0;
    double modulus = 0.0;
    double shear_modulus = 0.0;
    double area = 0.0;
    double torsion = 0.0;        // torsional constant J
    double iy = 0.0, iz = 0.0;
    double asy = 0.0, asz = 0.0;
};

// Which local directions are released: slots 1..6 at node 1, 7..12 at node 2.
using BeamReleaseSet = std::array<bool, 13>;

// The 12-by-12 local stiffness; K is cleared first.
void beam_local_stiffness(const BeamProperties& p, ElementMatrix& k);

// Condenses the released directions out of K (and of F when given): for
// node 1's directions 1..6 and then node 2's, each released direction n is
// eliminated by Gaussian elimination with its pivot row and load taken
// before anything changes (factor K[r][n] / K[n][n]; 0 when the pivot is 0),
// which leaves row and column n zero and F[n] zero.
void condense_beam_releases(const BeamReleaseSet& released, ElementMatrix& k, ElementVector* f = nullptr);

// The local load vector of a step (weight, temperature, seismic g) of a
// beam of weight w per length, temperature change dT (step temperature
// minus the reference), expansion coefficient and E A. F is cleared first.
struct BeamLoadTerms {
    double weight = 0.0;       // lb/in
    double delta_t = 0.0;      // degF
    double expansion = 0.0;    // per degF
};
void beam_loads(const BeamProperties& p, const BeamLoadTerms& terms, const LocalAxes& axes,
                const ElementLoadStep& step, const ElementLoadOptions& options, ElementVector& f);

// The beam-load temperature set (1..10) of a load-case code, 0 for the
// reference temperature, -1 for a code that no beam temperature belongs to.
int beam_temperature_set(int code);
