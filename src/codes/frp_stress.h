// The stresses of fibre-reinforced plastic (FRP) pipe elements and their
// ratios to the material's own allowables, whatever the piping code: an
// element whose material type is FR (the material's FRP flag) is evaluated
// here, never by a metal code's equations.
//
// On the wall's mean diameter Dm = D - t (ISO 14692-3 (2017), clause 8,
// the pressure stresses of a thin-walled FRP pipe):
//   hoop     P Dm / 2t
//   axial    P Dm / 4t + Fa / A +- sqrt((ii Mi)^2 + (io Mo)^2) / Z, the
//            larger in magnitude of the two sides
//   torsion  it Mt / 2Z
// Each against its allowable of the material's table at the case's
// temperature (interpolated as the table's other columns; the sustained and
// occasional cases at the hottest thermal set in use, as the metal codes'
// hot allowable, a range at the hotter of its two sets): column 3 the hoop
// allowable, column 5 the axial, column 4 the torsional; a ratio is the
// stress's magnitude over its allowable, 0 (not checked) where the allowable
// is not given.
#pragma once

#include "codes/code_stress.h"

struct FrpAllowables {
    double hoop = 0.0;
    double axial = 0.0;
    double torsion = 0.0;
};

struct FrpEndStress {
    double hoop = 0.0;
    double axial = 0.0;
    double torsion = 0.0;
    FrpAllowables allowable;
    double hoop_ratio = 0.0;
    double axial_ratio = 0.0;
    double torsion_ratio = 0.0;
    double largest_ratio() const;
};

// The FRP quantities of an end; `sifs` the end's in-plane, out-of-plane and
// torsion SIFs.
FrpEndStress frp_end_stress(const StressSection& section, const Sifs& sifs, const EndLoads& loads, double pressure,
                            const FrpAllowables& allowables);

// The FRP records' value arrays (code_records.h FrpRecords::values), per
// element end, in this order.
enum FrpValue : int {
    FRP_HOOP = 0,
    FRP_AXIAL = 1,
    FRP_TORSION = 2,
    FRP_HOOP_ALLOWABLE = 3,
    FRP_AXIAL_ALLOWABLE = 4,
    FRP_TORSION_ALLOWABLE = 5,
    FRP_HOOP_RATIO = 6,
    FRP_AXIAL_RATIO = 7,
    FRP_TORSION_RATIO = 8,
    FRP_LARGEST_RATIO = 9,
    FRP_LOAD_CASE = 10,   // the load-case code of the largest ratio
};
