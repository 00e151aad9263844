// What the editors refuse but a file may bring: the property-set records
// and the names that rows and records give, checked as the analysis needs
// them. A file keeps such a record readable so that it can be mended in its
// editor; the model check before an analysis lists these problems and
// refuses to run while there is one.
//
// Each text names the record ("Material CS1: Nu should be > -1") or the row
// ("Row 12: Section S9 is not defined"). The ranges are the editors':
//
//   pipe material  temperature rows present, at most MAXTEMPS, in ascending
//                  temperature, each with a temperature and a modulus above 0
//                  (FRP: hoop and shear moduli above 0) and stresses of 0 or
//                  more; Nu above -1 and (but for FRP) below 0.5; density and
//                  strength of 0 or more; joint factors above 0 and at most 1
//                  (a circumferential factor of 0 stands for 1)
//   pipe section   every value within its bound of what a piping model can
//                  hold (section_bound_faults: outside diameter 0.001 to
//                  1000 in, wall 0.0001 to 1000 in, corrosion allowance,
//                  insulation and lining 0 to 1000 in, their densities 0 to
//                  1 lb/in3), mill tolerance 0 to 75 %, then the section
//                  dialog's combined checks (check_section_values); a soil
//                  that is defined
//   beam material  modulus above 0, Nu from 0.01 to below 0.5, density of 0
//                  or more
//   beam section   area and both moments of inertia above 0, the other
//                  values 0 or more, each within its bound
//                  (beam_section_value_bound)
//   soil           density above 0; cohesionless: delta 0 to 75 degrees and
//                  Ks above 0; cohesive: strength above 0
//   names          every record named, with a name its editor takes, once in
//                  its set and in no other set of its name space
//   rows           every material and section a row, a bend or a jacket
//                  names is defined in the set it needs
#pragma once

#include <string>
#include <vector>

struct BeamMaterial;
struct BeamSection;
struct PipeMaterial;
struct PipeSection;
struct Soil;

// The problems of one record, in the order its editor checks; empty when
// there is none.
std::vector<std::string> pipe_material_problems(const PipeMaterial& material);
std::vector<std::string> pipe_section_problems(const PipeSection& section);
std::vector<std::string> beam_material_problems(const BeamMaterial& material);
std::vector<std::string> beam_section_problems(const BeamSection& section);
std::vector<std::string> soil_problems(const Soil& soil);

// Every problem of the document's property sets: the names of each set, the
// records in set order (pipe materials, beam materials, pipe sections, soils,
// beam sections), then the names the layout rows give, row by row.
std::vector<std::string> named_set_problems();
