// Records the materials tests start from, and the comparison of a material
// read back with the one written.
#pragma once

#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/size_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A temperature row of a material: temperature (degF), E (psi), alpha
// (1/degF) and the allowable (psi); the other columns 0.
inline PropertyRow property_row(float temperature, float e, float alpha, float allowable)
{
    return PropertyRow{temperature, e, alpha, allowable, 0, 0, 0, 0};
}

// A material of the given type as the tests enter it: Poisson's ratio 0.3,
// density 0.283 lb/in3, both joint factors 1.0, and the given rows.
inline PipeMaterial sample_material(const std::string& name, const std::string& description,
                                    const std::vector<PropertyRow>& rows, const std::string& type = "CS")
{
    PipeMaterial m;
    m.name = name;
    m.set_type(type);
    m.description = description;
    m.nu = 0.3f;
    m.density = 0.283f;
    m.joint_factor = 1.0f;
    m.circ_joint_factor = 1.0f;
    for (const PropertyRow& r : rows)
        m.table.push_back(r);
    return m;
}

// A carbon steel with one temperature row (70 degF, E 29.5E6 psi).
inline PipeMaterial one_row_steel(const std::string& name)
{
    return sample_material(name, "Carbon steel", {property_row(70, 29.5e6f, 6.07e-6f, 20000)});
}

// The same with a second row at 400 degF.
inline PipeMaterial two_row_steel(const std::string& name, const std::string& description = "Carbon steel")
{
    return sample_material(name, description,
                           {property_row(70, 29.5e6f, 6.07e-6f, 20000), property_row(400, 27.7e6f, 6.82e-6f, 18000)});
}

// A section of no standard size (inch).
inline PipeSection non_standard_section(const std::string& name, float outside_diameter, float thickness)
{
    PipeSection s;
    s.name = name;
    s.nominal_size = NON_STANDARD_SIZE;
    s.outside_diameter = outside_diameter;
    s.thickness = thickness;
    return s;
}

// Every field of two materials alike (a record read back against the one
// written).
inline void expect_same_material(const PipeMaterial& a, const PipeMaterial& b)
{
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.frp, b.frp);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.nu, b.nu);
    EXPECT_EQ(a.density, b.density);
    EXPECT_EQ(a.joint_factor, b.joint_factor);
    EXPECT_EQ(a.circ_joint_factor, b.circ_joint_factor);
    EXPECT_EQ(a.strength, b.strength);
    ASSERT_EQ(a.numtemps(), b.numtemps());
    for (int i = 1; i <= a.numtemps(); ++i)
        EXPECT_EQ(a.table[i], b.table[i]) << i;
}
