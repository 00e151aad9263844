// The checks of property-set records that the editors would refuse but a
// file may hold: each rule once with its exact text, the names of the sets
// and the names the rows give, and a file with such records that still reads
// (so that the records can be mended) while the checks list what is wrong.
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_set_checks.h"
#include "materials/property_sets.h"
#include "materials/soil.h"
#include "model/data/model_file_fixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Texts = std::vector<std::string>;

PipeMaterial sound_material(const std::string& name)
{
    return sample_material(name, "Carbon steel",
                           {PropertyRow{70, 29.5e6f, 6.07e-6f, 20000, 35000, 60000, 0, 0},
                            PropertyRow{400, 27.7e6f, 6.82e-6f, 18000, 30000, 55000, 0, 0}});
}

PipeSection sound_section(const std::string& name)
{
    PipeSection s;
    s.name = name;
    s.nominal_size = "Non Std";
    s.outside_diameter = 6.625f;
    s.thickness = 0.28f;
    s.corrosion_allowance = 0.0625f;
    s.mill_tolerance = 12.5f;
    return s;
}

BeamMaterial sound_beam_material(const std::string& name) { return {name, "Structural steel", 29e6f, 0.3f, 0.283f, 6.5e-6f}; }

BeamSection sound_beam_section(const std::string& name)
{
    BeamSection s;
    s.name = name;
    s.description = "W8X31";
    s.values = {9.13f, 110.0f, 37.1f, 0.536f, 2.28f, 6.1f, 8.0f, 8.0f};
    return s;
}

Soil sound_soil(const std::string& name)
{
    Soil s;
    s.name = name;
    s.density = 0.0694f;
    s.delta = 0.5f;
    s.ks = 0.5f;
    return s;
}

class PropertySetChecksTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_property_sets();
    }

    // One record of each set and rows that name them: nothing to report.
    static void sound_model()
    {
        pipe_materials().push_back(sound_material("CS1"));
        pipe_sections().push_back(sound_section("S6"));
        pipe_sections()[1].soil = "SL";
        soils().push_back(sound_soil("SL"));
        beam_materials().push_back(sound_beam_material("BM1"));
        beam_sections().push_back(sound_beam_section("W8"));
        from(10);
        const int pipe = row(20, ET_PIPE, 120);
        model().rows[pipe].material = "CS1";
        model().rows[pipe].section = "S6";
        const int beam = row(30, ET_BEAM, 0, 0, -60);
        model().rows[beam].material = "BM1";
        model().rows[beam].section = "W8";
    }
};

// Each case spoils one field of a sound record; the record then has exactly
// the one problem.
template <typename T>
struct Spoiled {
    std::function<void(T&)> spoil;
    std::string text;
};

template <typename T>
void expect_each(const T& sound, std::vector<std::string> (*problems)(const T&), const std::vector<Spoiled<T>>& cases)
{
    EXPECT_EQ(problems(sound), Texts{});
    for (const Spoiled<T>& c : cases) {
        T record = sound;
        c.spoil(record);
        EXPECT_EQ(problems(record), Texts{c.text});
    }
}

}  // namespace

TEST_F(PropertySetChecksTest, EachValueOutsideItsEditorsRangeIsNamed)
{
    sound_model();
    EXPECT_EQ(named_set_problems(), Texts{});

    expect_each<PipeMaterial>(sound_material("CS1"), pipe_material_problems, {
        {[](PipeMaterial& m) { m.table.clear(); }, "Material CS1 has no temperature properties"},
        {[](PipeMaterial& m) { m.nu = -5.0f; }, "Material CS1: Nu should be > -1"},
        {[](PipeMaterial& m) { m.nu = 0.5f; }, "Material CS1: Nu should be < 0.5"},
        {[](PipeMaterial& m) { m.table[2][PROP_TEMPERATURE] = 70; },
         "Material CS1: temperatures are not in ascending order"},
        {[](PipeMaterial& m) { m.table[2][PROP_MODULUS] = -1; }, "Material CS1: Modulus is required"},
        {[](PipeMaterial& m) { m.density = -0.283f; }, "Material CS1: Density should be >= 0"},
        {[](PipeMaterial& m) { m.joint_factor = 0; }, "Material CS1: Joint factor should be > 0 and <= 1"},
        {[](PipeMaterial& m) { m.joint_factor = 1.01f; }, "Material CS1: Joint factor should be > 0 and <= 1"},
        {[](PipeMaterial& m) { m.circ_joint_factor = 2; },
         "Material CS1: Circumferential joint factor should be > 0 and <= 1"},
        {[](PipeMaterial& m) { m.strength = -1; }, "Material CS1: Strength should be >= 0"},
        {[](PipeMaterial& m) { m.table[1][PROP_STRESS2] = -1; },
         "Material CS1: Yield stress of property row 1 should be >= 0"},
        {[](PipeMaterial& m) { m.table[1][PROP_TEMPERATURE] = 0; },
         "Material CS1: Temperature is required in property row 1"},
        {[](PipeMaterial& m) {
             for (int t = 1; m.numtemps() <= MAXTEMPS; ++t)
                 m.table.push_back(PropertyRow{400.0f + t, 27e6f, 7e-6f, 18000, 0, 0, 0, 0});
         },
         "Material CS1: 41 temperatures, more than the 40 allowed"},
    });
    // A circumferential factor of 0 stands for 1; FRP takes a high Nu but
    // needs its hoop and shear moduli.
    PipeMaterial frp = sound_material("FRP");
    frp.circ_joint_factor = 0;
    frp.set_type("FR");
    frp.nu = 0.8f;
    EXPECT_EQ(pipe_material_problems(frp), Texts{"Material FRP: Hoop and shear moduli are required"});
    // A record without a name (a blank line a table inserted) reads well too.
    PipeMaterial blank;
    blank.joint_factor = 1.0f;
    EXPECT_EQ(pipe_material_problems(blank), Texts{"Material has no temperature properties"});

    expect_each<PipeSection>(sound_section("S6"), pipe_section_problems, {
        {[](PipeSection& s) { s.outside_diameter = -6.625f; },
         "Section S6: Outside diameter should be at least 0.0010 (inch)"},
        {[](PipeSection& s) { s.thickness = 0; }, "Section S6: Thickness should be at least 0.0001 (inch)"},
        {[](PipeSection& s) { s.thickness = 3.5f; }, "Section S6: Thickness is greater than radius"},
        {[](PipeSection& s) { s.corrosion_allowance = 0.28f; }, "Section S6: Corrosion allowance >= Thickness"},
        {[](PipeSection& s) { s.corrosion_allowance = -0.1f; }, "Section S6: Corrosion allowance should be >= 0"},
        {[](PipeSection& s) { s.mill_tolerance = 76; }, "Section S6: Mill tolerance should be between 0 and 75"},
        {[](PipeSection& s) { s.insulation_density = -0.01f; }, "Section S6: Insulation density should be >= 0"},
        {[](PipeSection& s) { s.insulation_thickness = 2; },
         "Section S6: Insulation thickness defined without Insulation density"},
        {[](PipeSection& s) { s.lining_density = -1; }, "Section S6: Lining density should be >= 0"},
        {[](PipeSection& s) { s.lining_thickness = -1; }, "Section S6: Lining thickness should be >= 0"},
        {[](PipeSection& s) { s.soil = "XX"; }, "Section S6: Soil XX is not defined"},
    });
    unit_choice()[DIMENSION] = 1;
    PipeSection thin = sound_section("S6");
    thin.outside_diameter = 0;
    EXPECT_EQ(pipe_section_problems(thin), Texts{"Section S6: Outside diameter should be at least 0.0254 (mm)"});
    reset_unit_choice();

    expect_each<BeamMaterial>(sound_beam_material("BM1"), beam_material_problems, {
        {[](BeamMaterial& m) { m.E = 0; }, "Beam material BM1: Modulus should be > 0"},
        {[](BeamMaterial& m) { m.nu = 0.005f; }, "Beam material BM1: Nu should be at least 0.01"},
        {[](BeamMaterial& m) { m.nu = 0.5f; }, "Beam material BM1: Nu should be < 0.5"},
        {[](BeamMaterial& m) { m.density = -1; }, "Beam material BM1: Density should be >= 0"},
    });

    expect_each<BeamSection>(sound_beam_section("W8"), beam_section_problems, {
        {[](BeamSection& s) { s.values[BS_AREA] = 0; }, "Beam section W8: Area should be > 0"},
        {[](BeamSection& s) { s.values[BS_MINOR_I] = -1; }, "Beam section W8: Minor moment of inertia should be > 0"},
        {[](BeamSection& s) { s.values[BS_DEPTH] = -8; }, "Beam section W8: Depth should be >= 0"},
    });

    Soil cohesive = sound_soil("SC");
    cohesive.type = SOIL_COHESIVE;
    cohesive.strength = 10;
    expect_each<Soil>(sound_soil("SL"), soil_problems, {
        {[](Soil& s) { s.density = 0; }, "Soil SL: Density should be > 0"},
        {[](Soil& s) { s.delta = 1.4f; }, "Soil SL: Delta should be between 0 and 75 degrees"},
        {[](Soil& s) { s.ks = -1; }, "Soil SL: Ks should be > 0"},
    });
    expect_each<Soil>(cohesive, soil_problems, {
        {[](Soil& s) { s.strength = 0; }, "Soil SC: Strength should be > 0"},
    });
}

TEST_F(PropertySetChecksTest, NamesOfTheSetsAndTheNamesRowsGive)
{
    sound_model();
    pipe_materials().push_back(sound_material("BM1"));    // also a beam material
    pipe_materials().push_back(sound_material("CS1"));    // twice in its set
    pipe_materials().push_back(sound_material(""));
    pipe_materials().push_back(sound_material("A*B"));
    pipe_sections().push_back(sound_section("W8"));       // also a beam section
    beam_sections().push_back(sound_beam_section("TOOLONG"));
    const int beam = row(40, ET_BEAM, 0, 0, 60);
    model().rows[beam].material = "CS1";                  // a pipe material on a beam row
    model().rows[beam].section = "S6";
    const int pipe = row(50, ET_PIPE, 60);
    model().rows[pipe].material = "NONE";
    model().rows[pipe].section = "BIG";
    const int b = bend(60, 60, 60, 0, 30);
    bend_of(b).material = "OTHER";
    const int j = row(70, ET_JACKETED_PIPE, 60);
    jacket_of(j).material = "JM";
    jacket_of(j).section = "JS";
    EXPECT_EQ(named_set_problems(), (Texts{
        "Material BM1 is defined as a pipe material and as a beam material",
        "Material CS1 is defined more than once",
        "Material 4 has no name",
        "Material A*B: Name should be alpha numeric",
        "Section W8 is defined as a pipe section and as a beam section",
        "Beam section TOOLONG: Name is too long",
        "Row 4: Beam material CS1 is not defined",
        "Row 4: Beam section S6 is not defined",
        "Row 5: Material NONE is not defined",
        "Row 5: Section BIG is not defined",
        "Row 6: Bend material OTHER is not defined",
        "Row 7: Jacket material JM is not defined",
        "Row 7: Jacket section JS is not defined",
    }));
}

TEST_F(PropertySetChecksTest, AFileWithRecordsOutOfRangeReadsAndTheChecksListThem)
{
    sound_model();
    pipe_materials()[1].nu = -5.0f;
    pipe_sections()[1].outside_diameter = -6.625f;
    beam_materials()[1].density = -1.0f;
    write_model_file(path("odd.mod"));
    reset_model();
    pipe_materials().clear();
    read_model(path("odd.mod"));
    ASSERT_EQ(nummats(), 1);
    EXPECT_EQ(pipe_materials()[1].nu, -5.0f);
    EXPECT_EQ(named_set_problems(), (Texts{"Material CS1: Nu should be > -1",
                                           "Beam material BM1: Density should be >= 0",
                                           "Section S6: Outside diameter should be at least 0.0010 (inch)"}));
}
