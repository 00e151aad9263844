// EN 13480-3 (2017), clause 12.3: the stresses of metallic industrial
// piping under sustained, occasional, thermal, creep and settlement loads,
// with their allowables, as pure functions (inch, lb, in-lb, psi).
//
// The moment term (12.3.1): with in- and out-of-plane factors,
//   i M = sqrt((ii Mi)^2 + (io Mo)^2 + Mt^2), and 0.75 i M the same with
//   0.75 ii and 0.75 io, each at least 1.0.
// The stresses (pc the pressure, do the outside diameter, en the wall):
//   sigma1 (12.3.2, Eq. 12.3.2-1): pc do / 4 en + 0.75 i MA / Z   <= ff
//   sigma2 (12.3.3, Eq. 12.3.3-1): pc do / 4 en + 0.75 i MA / Z
//                                  + 0.75 i MB / Z                  <= k ff
//   sigma3 (12.3.4, Eq. 12.3.4-1): i MC / Z                         <= fa
//   sigma4 (12.3.4, Eq. 12.3.4-2), where sigma3 exceeds fa:
//          pc do / 4 en + 0.75 i MA / Z + i MC / Z                  <= fh + fa
//   sigma5 (12.3.5, Eq. 12.3.5-1), in the creep range (fCR given):
//          pc do / 4 en + 0.75 i MA / Z + 0.75 i MC / 3Z            <= fCR
//   sigma6 (12.3.6, Eq. 12.3.6-1): i MD / Z (settlement)            <= 3 fh
// ff = min(f, fCR) at the hot temperature (f the allowable, column 3;
// fCR the creep design stress, column 5, where given); k the factor of the
// occasional load: the seismic coefficient K of the options (at least 1.0)
// for the seismic cases, 1.15 for wind and the other occasional loads
// (12.3.3: loads acting less than 10 % of any 24 h);
// fa = U (1.25 fc + 0.25 fh) (12.1.3, Eq. 12.1.3-1), U the range factor of
// Table 12.1.3-1, and with the liberal allowable U (1.25 fc + 0.25 fh +
// (fh - sigma1)) where fh is above sigma1.
#pragma once

#include "codes/code_stress.h"

#include <cstdint>
#include <optional>

// 0.75 i M / Z and i M / Z of 12.3.1 at an end.
double en13480_sustained_moment_stress(const Sifs& sifs, double z, const EndLoads& loads);
double en13480_moment_stress(const Sifs& sifs, double z, const EndLoads& loads);
// pc do / 4 en.
double en13480_pressure_stress(const StressSection& section, double pressure);

double en13480_sigma1(const StressSection& section, double z, const Sifs& sifs, const EndLoads& sustained,
                      double pressure);
double en13480_sigma2(const StressSection& section, double z, const Sifs& sifs, const EndLoads& sustained,
                      const EndLoads& occasional, double pressure);
double en13480_sigma3(double z, const Sifs& sifs, const EndLoads& expansion);
double en13480_sigma4(const StressSection& section, double z, const Sifs& sifs, const EndLoads& sustained,
                      const EndLoads& expansion, double pressure);
double en13480_sigma5(const StressSection& section, double z, const Sifs& sifs, const EndLoads& sustained,
                      const EndLoads& expansion, double pressure);
double en13480_sigma6(double z, const Sifs& sifs, const EndLoads& settlement);

// The range factor U of N equivalent full cycles (Table 12.1.3-1): up to
// 7 000 1.0, 14 000 0.9, 22 000 0.8, 45 000 0.7, 100 000 0.6, 200 000 0.5,
// 700 000 0.4, 2 000 000 0.3; none above (the table ends there).
std::optional<double> en13480_range_factor(int cycles);
// ff = min(f, fCR), fCR only where it is given (above 0).
double en13480_design_stress(double f, double f_cr);
// The occasional factor k of a load case: K for the seismic cases (12, 31,
// 35, 37), 1.15 for the others.
double en13480_occasional_factor(int32_t load_case, double seismic_k);
