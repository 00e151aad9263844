// Numbers a model file may not bring: a NaN or an infinity in any float field
// of a layout row or a property-set record refuses the whole file, on a read
// and on a merge, with a message naming the file, the section, the record and
// the field, and the model stays as it was.
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/soil.h"
#include "model/data/model_file_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// One float field of the file: the distinct value written into it, and the
// text the refusal must hold ("Pipe materials: Material 1 (CS1): Nu").
struct Field {
    float value;
    std::string where;
};

class FileValuesTest : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_property_sets();
    }

    // A model with one record of each set, every float field a value of its
    // own (1000.25, 1000.5, ...) so that it can be found in the file.
    std::vector<Field> distinct_model()
    {
        std::vector<Field> fields;
        float next = 1000.0f;
        auto value = [&](const std::string& where) {
            next += 0.25f;
            fields.push_back({next, where});
            return next;
        };

        PipeMaterial m;
        m.name = "CS1";
        m.set_type("CS");
        m.description = "Carbon steel";
        const std::string pm = "Pipe materials: Material 1 (CS1): ";
        m.nu = value(pm + "Nu is");
        m.density = value(pm + "Density is");
        m.joint_factor = value(pm + "Joint factor is");
        m.circ_joint_factor = value(pm + "Circumferential joint factor is");
        m.strength = value(pm + "Strength is");
        for (int r = 1; r <= 2; ++r) {
            PropertyRow row{};
            for (int c = 0; c < PROPERTY_COLUMNS; ++c)
                row[static_cast<std::size_t>(c)] =
                    value(pm + property_column_name(c) + " of property row " + std::to_string(r) + " is");
            m.table.push_back(row);
        }
        pipe_materials().push_back(m);

        PipeSection s;
        s.name = "S6";
        s.nominal_size = "Non Std";
        s.soil = "SL";
        const std::string ps = "Pipe sections: Section 1 (S6): ";
        for (auto [slot, name] : {std::pair{&s.outside_diameter, "Outside diameter"}, {&s.thickness, "Thickness"},
                                  {&s.corrosion_allowance, "Corrosion allowance"},
                                  {&s.mill_tolerance, "Mill tolerance"},
                                  {&s.insulation_density, "Insulation density"},
                                  {&s.insulation_thickness, "Insulation thickness"},
                                  {&s.lining_density, "Lining density"}, {&s.lining_thickness, "Lining thickness"}})
            *slot = value(ps + name + " is");
        pipe_sections().push_back(s);

        BeamMaterial b;
        b.name = "BM1";
        const std::string bm = "Beam materials: Material 1 (BM1): ";
        b.E = value(bm + "Modulus is");
        b.nu = value(bm + "Nu is");
        b.density = value(bm + "Density is");
        b.alpha = value(bm + "Alpha is");
        beam_materials().push_back(b);

        BeamSection w;
        w.name = "W8";
        for (int v = 0; v < BS_VALUE_COUNT; ++v)
            w.values[static_cast<std::size_t>(v)] =
                value("Beam sections: Section 1 (W8): " + std::string(beam_section_value_name(v)) + " is");
        beam_sections().push_back(w);

        Soil soil;
        soil.name = "SL";
        const std::string sl = "Soils: Soil 1 (SL): ";
        soil.density = value(sl + "Density is");
        soil.strength = value(sl + "Strength is");
        soil.delta = value(sl + "Delta is");
        soil.ks = value(sl + "Ks is");
        soil.ground_level = value(sl + "Ground level is");
        soils().push_back(soil);

        // The start lies away from the origin, so that no node coordinate
        // equals an offset.
        from(10, 1.0f, 1.0f, 1.0f);
        const int p = row(20, ET_PIPE);
        model().rows[p].dx = value("Layout rows: Row 2: DX is");
        model().rows[p].dy = value("Layout rows: Row 2: DY is");
        model().rows[p].dz = value("Layout rows: Row 2: DZ is");
        model().rows[p].material = "CS1";
        model().rows[p].section = "S6";
        return fields;
    }

    // The offset of the one place in the bytes that holds the value.
    static std::size_t offset_of(const std::vector<unsigned char>& bytes, float value)
    {
        unsigned char pattern[4];
        std::memcpy(pattern, &value, 4);   // the test host is little-endian
        std::size_t found = bytes.size();
        int count = 0;
        for (std::size_t i = 0; i + 4 <= bytes.size(); ++i) {
            if (std::memcmp(&bytes[i], pattern, 4) == 0) {
                found = i;
                ++count;
            }
        }
        EXPECT_EQ(count, 1) << value;
        return found;
    }
};

}  // namespace

TEST_F(FileValuesTest, ANonNumberInAnyFieldRefusesReadAndMerge)
{
    const std::vector<Field> fields = distinct_model();
    write_model_file(path("good.mod"));
    const std::vector<unsigned char> good = bytes_of(path("good.mod"));
    // The model in memory: what both a refused read and a refused merge keep.
    read_model(path("good.mod"));
    const std::string bad = path("bad.mod");

    for (const Field& field : fields) {
        const std::size_t at = offset_of(good, field.value);
        ASSERT_LT(at, good.size());
        for (float wrong : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity()}) {
            SCOPED_TRACE(field.where + " " + std::to_string(wrong));
            std::vector<unsigned char> bytes = good;
            std::memcpy(&bytes[at], &wrong, 4);
            put_bytes(bad, bytes);
            const std::string expected = field.where + " not a finite number";
            EXPECT_EQ(thrown_text([&] { read_model(bad); }), "Unable to read model file:\n" + bad + "\n" + expected);
            EXPECT_EQ(thrown_text([&] { merge_model(bad); }),
                      "Unable to merge model file:\n" + bad + "\n" + expected);
            // Nothing changed: one record of each set with its own values.
            ASSERT_EQ(numrows(), 2);
            ASSERT_EQ(nummats(), 1);
            ASSERT_EQ(numsections(), 1);
            ASSERT_EQ(numbmats(), 1);
            ASSERT_EQ(numbsections(), 1);
            ASSERT_EQ(numsoils(), 1);
            EXPECT_EQ(pipe_materials()[1].table[2][PROP_SHEAR_MODULUS], fields[20].value);
            EXPECT_EQ(soils()[1].ground_level, fields[fields.size() - 4].value);
            EXPECT_EQ(model().rows[2].dz, fields.back().value);
        }
    }
    // Large finite values are numbers: a record can be mended in its editor.
    std::vector<unsigned char> bytes = good;
    const float huge = std::numeric_limits<float>::max();
    std::memcpy(&bytes[offset_of(good, fields[1].value)], &huge, 4);
    put_bytes(bad, bytes);
    read_model(bad);
    EXPECT_EQ(pipe_materials()[1].density, huge);
}
