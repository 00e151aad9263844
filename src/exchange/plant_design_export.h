// The 3D plant-design export: the piping as solids (cylinders, cones,
// boxes, spheres and tori, in millimetres in a world frame East, North, Up)
// written as a PDMS geometry macro (".mac": one structure, a sub-structure
// per run) or a CADMATIC 3D dump (".3dd": one record per primitive).
//
// The shapes sit at the node positions, or at the positions moved by a field
// of node displacements that the caller passes (the deflected shape of a
// load case). A shape of zero or non-finite size is left out.
#pragma once

#include "exchange/export_file.h"

#include <array>
#include <ostream>
#include <string>
#include <vector>

enum PlantDesignFormat : int {
    PLANT_PDMS = 0,
    PLANT_CADMATIC = 1,
};

// Translations DX, DY, DZ (inch, model frame) by node index from 1; slot 0
// unused. Nodes past its end stay where they are.
using NodeDisplacementField = std::vector<std::array<float, 3>>;

void write_plant_design_text(std::ostream& out, PlantDesignFormat format,
                             const NodeDisplacementField* displacements = nullptr);
std::string plant_design_text(PlantDesignFormat format, const NodeDisplacementField* displacements = nullptr);
void export_plant_design_at(const std::string& path, PlantDesignFormat format,
                            const NodeDisplacementField* displacements = nullptr,
                            const ExportBufferFilter& filter = {});
