// The pipeline codes ASME B31.4 (2019), ASME B31.8 (2018) and CSA Z662
// (2015): hoop stress against the design, location, joint and temperature
// factors, the longitudinal stress of unrestrained (above-ground) pipe and
// of restrained (buried) pipe, and the combined equivalent stress of
// restrained pipe, as pure functions (inch, lb, in-lb, psi, degF).
//
//   hoop stress SH = P D / 2t (B31.4 para. 403.3.1, B31.8 para. 841.1.1,
//   Z662 clause 4.3.5.1); its allowable:
//     B31.4  0.72 E Sy               (Table 403.3.1-1; E the weld joint factor)
//     B31.8  F E T S                 (para. 841.1.1; F the design factor of
//                                     the options, T of Table 841.1.8-1)
//     Z662   S F L J T, F = 0.8      (clause 4.3.5.1; L of Table 4.2 by the
//                                     class location and sour service of the
//                                     options, T of Table 4.4)
//   restrained (buried) pipe, the longitudinal stress
//     SL = nu SH + E alpha (T1 - T2) + SB
//   (B31.4 para. 403.3.2, B31.8 para. 833.3 with nu = 0.3, Z662 clause
//   4.7.1) with T1 the installation (reference) temperature, T2 the case's,
//   SB the bending stress of the case's moments; the axial force of the
//   analysis is not added: full restraint already fixes the axial strain.
//   |SL| <= 0.90 Sy (B31.4), 0.9 S T (B31.8 para. 833.3(c)).
//   The combined equivalent stress of restrained pipe <= 0.90 Sy (B31.4
//   para. 403.3.3), 0.9 S T (B31.8 para. 833.4), 0.90 S T (Z662 clause
//   4.7.1), by the equivalent each code states:
//     B31.4, Z662  Tresca: 2 sqrt(((SL - SH)/2)^2 + St^2)
//     B31.8        von Mises: sqrt(SL^2 - SL SH + SH^2 + 3 St^2)
//   unrestrained (above-ground) pipe:
//     sustained SL = P D / 4t + |Fa| / A + sqrt((Ii Mi)^2 + (Io Mo)^2) / Z,
//       I = 0.75 i at least 1: <= 0.75 Sy (B31.4 Table 403.3.1-1),
//       0.75 S T (B31.8 para. 833.6(b)); Z662: not checked here;
//     occasional: SL plus the occasional loads' bending <= 0.80 Sy (B31.4
//       para. 403.3.3(a)); not checked under B31.8 and Z662;
//     expansion SE = sqrt(Sb^2 + 4 St^2), Sb = sqrt((ii Mi)^2 + (io Mo)^2)/Z
//       and St = Mt/2Z (Z662 clause 4.8 the same with its one SIF i: its
//       torsional stress takes no SIF) <= 0.90 Sy (B31.4 Table 403.3.1-1),
//       0.72 S T (Z662 clause 4.8), SA of B31.8 para. 833.8
//       (b318_expansion_allowable) made of the specified minimum tensile
//       strength Su that the material's record holds (not checked without).
// S (Sy) is the specified minimum yield strength: the smallest yield stress
// of the material table's column 4 at the temperatures of the thermal sets
// in use under B31.4 and B31.8; under Z662 the material's strength, or
// where a material has none (a batch file cannot give it) column 4 as the
// others take it.
#pragma once

#include "codes/code_stress.h"

#include <cstdint>
#include <optional>

enum class PipelineCode { B314, B318, Z662 };
// The pipeline code of an id; B314 for ids that are not one.
PipelineCode pipeline_code(int32_t piping_code);
bool is_pipeline_code(int32_t piping_code);

// The temperature derating factor T of B31.8 Table 841.1.8-1: up to 250 degF
// 1.000, 300 0.967, 350 0.933, 400 0.900, 450 0.867, linear between; none
// above 450 degF.
std::optional<double> b318_temperature_factor(double temperature);
// The temperature factor T of Z662 Table 4.4: up to 120 degC 1.00, 150 0.97,
// 180 0.93, 200 0.91, 230 0.87, linear between; none above 230 degC.
std::optional<double> z662_temperature_factor(double temperature);
// The location factor L of Z662 Table 4.2 for gas: class locations 1 to 4
// 1.00, 0.90, 0.70, 0.55; sour service 0.90, 0.75, 0.625, 0.50.
double z662_location_factor(int class_location, bool sour);

// What the allowables of a pipeline code take at an element end.
struct PipelineFactors {
    double yield = 0.0;          // S, Sy
    double joint = 1.0;          // E (B31.4, B31.8), J (Z662)
    double design = 0.72;        // F: B31.8 the option's; Z662 0.8
    double location = 1.0;       // L (Z662)
    std::optional<double> temperature = 1.0;   // T (B31.8, Z662); none beyond the tables
};

double pipeline_hoop_stress(const StressSection& section, double pressure);
std::optional<double> pipeline_hoop_allowable(PipelineCode code, const PipelineFactors& f);

// The restrained pipe's stresses.
struct RestrainedStress {
    double hoop = 0.0;
    double longitudinal = 0.0;
    double tresca = 0.0;
    double von_mises = 0.0;
    // The equivalent the code checks (Tresca or von Mises, above).
    double equivalent = 0.0;
};
// `poisson` the material's (B31.8 takes 0.3 whatever it is); `bending` and
// `torsion` the case's bending stress SB and torsional shear St.
RestrainedStress restrained_stress(PipelineCode code, double hoop, double poisson, double modulus, double alpha,
                                   double installation_temperature, double temperature, double bending,
                                   double torsion);
// 0.90 Sy (B31.4), 0.9 S T (B31.8, Z662): the limit of |SL| and of the
// combined stress of restrained pipe.
std::optional<double> restrained_allowable(PipelineCode code, const PipelineFactors& f);

// Unrestrained pipe: the sustained longitudinal stress (above) and the
// allowables of the sustained, occasional and expansion checks; none where
// the code's limit is not checked here.
double unrestrained_sustained_stress(const StressInput& in, const EndLoads& loads, double pressure);
std::optional<double> unrestrained_sustained_allowable(PipelineCode code, const PipelineFactors& f);
std::optional<double> unrestrained_occasional_allowable(PipelineCode code, const PipelineFactors& f);
std::optional<double> unrestrained_expansion_allowable(PipelineCode code, const PipelineFactors& f);

// B31.8 (2018) para. 833.8, the allowable stress range of unrestrained pipe:
//   SA = f [1.25 (Sc + Sh) - SL]
//   Sc = 0.33 Su T at the lower temperature of the cycle (the minimum
//        installed or operating temperature),
//   Sh = 0.33 Su T at the higher (the maximum operating temperature),
//   f  = 6.0 N^-0.2, at most 1.0 (N equivalent full cycles),
//   SL the longitudinal stress of the sustained loads of para. 833.6(a),
//   Su the specified minimum tensile strength, T of Table 841.1.8-1.
// None when T lies beyond its table at either temperature.
double b318_range_factor(int cycles);
std::optional<double> b318_expansion_allowable(double tensile, double cold_temperature, double hot_temperature,
                                               int cycles, double sustained);
