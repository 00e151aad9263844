// The PCF export: the model as a piping component file (".pcf") for
// isometric drawing systems. One PIPELINE-REFERENCE block at every From row
// (and one before the first component of a model without a From row), one
// component record per element row, a SUPPORT or fitting record per data
// item, and the material list of the item codes met. Coordinates and bend
// radii are inch to 0.0001 or mm to 6 significant digits, with the vertical
// axis third; bores are nominal bores where the outside diameter is a
// standard pipe size.
#pragma once

#include "exchange/export_file.h"

#include <ostream>
#include <string>

void write_pcf_text(std::ostream& out);
std::string pcf_export_text();
void export_pcf_at(const std::string& path, const ExportBufferFilter& filter = {});

// The nominal bore written for an outside diameter (inch): the NPS in inch or
// the DN in mm of the size whose outside diameter is within 0.1 inch, else
// the outside diameter itself in that unit.
double pcf_nominal_bore(double outside_diameter, bool inch);
