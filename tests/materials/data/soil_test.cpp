// Soils: the model-file record and its version gate, rename, in-use, and the
// merge that renames clashing soils and the merged sections' references.
#include "framework/units.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/soil.h"
#include "model/data/model_file_fixture.h"

#include <gtest/gtest.h>

namespace {

class SoilTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_property_sets();
    }
    void TearDown() override
    {
        ModelFileTest::TearDown();
    }
    static Soil soil(const std::string& name, uint8_t type = SOIL_COHESIONLESS)
    {
        Soil s;
        s.name = name;
        s.type = type;
        s.density = 0.06f;
        s.delta = 0.5f;
        s.ks = 1.2f;
        return s;
    }
    static PipeSection section(const std::string& name, const std::string& soil_name)
    {
        PipeSection s;
        s.name = name;
        s.nominal_size = "Non Std";
        s.outside_diameter = 4.5f;
        s.thickness = 0.2f;
        s.soil = soil_name;
        return s;
    }
};

}  // namespace

TEST_F(SoilTest, RecordVersionGate)
{
    Bytes b;
    b.name("S1", 4);
    b.u8(1);
    for (float v : {0.07f, 5.0f, 0.0f, 0.0f, -24.0f})
        b.f32(v);
    b.u8(1);   // the include byte of a 901 record, or the next record's first byte
    const std::string file = (dir / "soil.bin").string();
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(b.b.data()), static_cast<std::streamsize>(b.b.size()));
    }
    for (int version : {900, 901}) {
        BinFile f;
        ASSERT_TRUE(f.open_read(file));
        ModelFileVersionScope scope(version);
        Soil s;
        s.read(f);
        EXPECT_EQ(f.tell(), version == 900 ? 25 : 26);
        EXPECT_EQ(s.name, "S1");
        EXPECT_EQ(s.type, SOIL_COHESIVE);
        EXPECT_FLOAT_EQ(s.ground_level, -24.0f);
        EXPECT_EQ(s.include_insulation, version == 900 ? 0 : 1);
    }
}

TEST_F(SoilTest, RenameInUseAndFlags)
{
    soils().push_back(soil("S1"));
    soils().push_back(soil("S3"));
    pipe_sections().push_back(section("A", "S1"));
    pipe_sections().push_back(section("B", "S1"));
    pipe_sections().push_back(section("C", ""));
    EXPECT_TRUE(any_section_flagged());
    EXPECT_TRUE(soil_in_use(soils()[1]));
    EXPECT_FALSE(soil_in_use(soils()[2]));
    rename_soil("S1", "S2");
    EXPECT_EQ(soils()[1].name, "S2");
    EXPECT_EQ(pipe_sections()[1].soil, "S2");
    EXPECT_EQ(pipe_sections()[2].soil, "S2");
    EXPECT_EQ(pipe_sections()[3].soil, "");
    EXPECT_EQ(soil_index("S2"), 1);
    EXPECT_EQ(soil_index(""), 0);
    reset_soils();
    EXPECT_FALSE(any_section_flagged());   // a soil name without soils flags nothing
}

TEST_F(SoilTest, MergeRenamesClashesAndSectionsFollow)
{
    soils().push_back(soil("S1"));
    soils().push_back(soil("1"));
    pipe_sections().push_back(section("A", "S1"));

    OneBased<PipeSection> merged_sections;
    merged_sections.push_back(section("M1", "S1"));
    merged_sections.push_back(section("M2", "1"));
    merged_sections.push_back(section("M3", "T"));
    OneBased<Soil> merged_soils;
    for (const char* name : {"S1", "1", "T"})
        merged_soils.push_back(soil(name));

    merge_pipe_sections(merged_sections, nullptr);
    check_merge_soils(merged_soils);
    merge_soils(merged_soils);
    ASSERT_EQ(numsoils(), 5);   // exactly the merged soils appended
    EXPECT_EQ(soils()[3].name, "2");
    EXPECT_EQ(soils()[4].name, "3");
    EXPECT_EQ(soils()[5].name, "T");
    // The model's own section keeps its soil; merged ones follow their soil,
    // each renamed once from its original name.
    EXPECT_EQ(pipe_sections()[1].soil, "S1");
    EXPECT_EQ(pipe_sections()[2].soil, "2");
    EXPECT_EQ(pipe_sections()[3].soil, "3");
    EXPECT_EQ(pipe_sections()[4].soil, "T");

    OneBased<Soil> too_many(MAXSOILS);
    EXPECT_THROW(check_merge_soils(too_many), MessageText);
}

TEST_F(SoilTest, MergeModelFileWithSoils)
{
    soils().push_back(soil("S1"));
    soils().push_back(soil("S2"));
    pipe_sections().push_back(section("A", "S2"));
    write_model_file((dir / "other.mod").string());
    reset_pipe_sections();
    reset_soils();
    soils().push_back(soil("S2"));
    merge_model((dir / "other.mod").string());
    ASSERT_EQ(numsoils(), 3);
    EXPECT_EQ(soils()[2].name, "S1");
    EXPECT_EQ(soils()[3].name, "1");
    ASSERT_EQ(numsections(), 1);
    EXPECT_EQ(pipe_sections()[1].soil, "1");
}

TEST(SoilDelta, SeventyFiveDegreesAcceptedAsTyped)
{
    float typed = 0.0f;
    ASSERT_EQ(parse_angle("75", typed), 0);
    EXPECT_TRUE(soil_delta_valid(typed));
    ASSERT_EQ(parse_angle("75.01", typed), 0);
    EXPECT_FALSE(soil_delta_valid(typed));
    EXPECT_TRUE(soil_delta_valid(0.0));
    EXPECT_FALSE(soil_delta_valid(-0.001));
}
