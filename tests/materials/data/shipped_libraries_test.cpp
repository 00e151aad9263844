// The libraries shipped with the program, made from their text sources as
// the build makes them: every source is read whole, and the values land in
// the records as their sources give them.
#include "framework/errors.h"
#include "materials/aisc_shapes.h"
#include "materials/library_sources.h"
#include "model/piping_codes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace {

std::string source(const std::string& name)
{
    std::ifstream in(std::string(KV_SOURCE_DIR) + "/libraries/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ShippedLibrariesTest, MaterialsAreB313CarbonSteelWithTheirTablesOverTemperature)
{
    const MaterialBatch b = material_library_from_source(source("materials.mlb"));
    EXPECT_EQ(b.code, CODE_B313);
    ASSERT_EQ(b.materials.size(), 1);
    const PipeMaterial& m = b.materials[1];
    EXPECT_EQ(m.description, "A106 GRADE B SMLS");
    EXPECT_EQ(m.type, "CS");
    // ASME B36.10M plain-end weight W = 10.69 (D - t) t lb/ft = 12 pi rho (D - t) t.
    EXPECT_NEAR(m.density, 10.69 / (12.0 * std::numbers::pi), 5e-5);
    EXPECT_FLOAT_EQ(m.strength, 35000.0f);
    ASSERT_EQ(m.numtemps(), 7);
    EXPECT_TRUE(material_unusable_reason(m).empty()) << material_unusable_reason(m);
    // Between 400 degF (20.0 ksi) and 500 degF (18.9 ksi) the allowable is
    // interpolated linearly: at 450 degF, (20000 + 18900) / 2.
    EXPECT_NEAR(material_property_at(m, PROP_STRESS1, 450.0), 19450.0, 0.01);
    EXPECT_NEAR(material_modulus_at(m, 70.0), 29.5e6, 1.0);
}

TEST(ShippedLibrariesTest, BeamsAreTheirAiscShapes)
{
    const OneBased<BeamSection> sections = beam_library_from_source(source("beams.txt"));
    ASSERT_GT(sections.size(), 10);
    for (const BeamSection& s : sections) {
        const AiscShape* shape = find_aisc_shape(s.description);
        ASSERT_NE(shape, nullptr) << s.description;
        for (int v = 0; v < BS_VALUE_COUNT; ++v)
            EXPECT_EQ(s.values[static_cast<std::size_t>(v)], shape->values[v]) << s.description;
    }
    EXPECT_THROW(beam_library_from_source("W 99X1\n"), MessageText);
}

TEST(ShippedLibrariesTest, ValvesFitThePipesOfTheirNominalSizes)
{
    const OneBased<ValveRecord> valves = valve_library_from_source(source("valves.txt"));
    ASSERT_GT(valves.size(), 10);
    // A 6 in pipe (OD 6.625 in): the Class 150 gate and globe and the Class 300 gate.
    const std::vector<int> six = valves_fitting_diameter(valves, 6.625);
    ASSERT_EQ(six.size(), 3u);
    EXPECT_EQ(valves[six[0]].description, "GATE CL150 RF");
    EXPECT_FLOAT_EQ(valves[six[0]].length, 10.5f);
    EXPECT_EQ(valves[six[0]].weight, 0.0f);
    EXPECT_EQ(valves[six[0]].connection, "FL");
    EXPECT_EQ(valves[six[0]].valve_type, 1);
    for (const ValveRecord& v : valves)
        EXPECT_GT(v.length, 0.0f) << v.description << " " << v.nominal_size;
    EXPECT_THROW(valve_library_from_source("GATE,ANSI,7\",150,FL,Gate,1,\n"), MessageText);
}

}  // namespace
