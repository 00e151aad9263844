// Records the materials tests start from.
#pragma once

#include "materials/pipe_material.h"

#include <string>

// A carbon steel with one temperature row (70 degF, E 29.5E6 psi).
inline PipeMaterial one_row_steel(const std::string& name)
{
    PipeMaterial m;
    m.name = name;
    m.set_type("CS");
    m.description = "Carbon steel";
    m.nu = 0.3f;
    m.density = 0.283f;
    m.joint_factor = 1.0f;
    m.circ_joint_factor = 1.0f;
    m.table.push_back(PropertyRow{70, 29.5e6f, 6.07e-6f, 20000, 0, 0, 0, 0});
    return m;
}
