// A merge whose clashing names are more than the free numbers "1".."999":
// refused before anything changes; one that the numbers suffice for renames
// every clash, and each merged row keeps the merged file's record.
#include "materials/material_records.h"
#include "materials/pipe_material_merge.h"
#include "materials/property_sets.h"
#include "model/data/model_file_fixture.h"
#include "model/ui/merge_note.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class MergeBeyondFreeNames : public ModelFileTest {
protected:
    void SetUp() override
    {
        ModelFileTest::SetUp();
        install_property_sets();
    }
    // Pipe materials M1 .. M<count - 1> and A106B of the density (lb/in3).
    static void hold_materials(int count, float density)
    {
        pipe_materials().clear();
        for (int i = 1; i <= count; ++i) {
            PipeMaterial m = one_row_steel(i < count ? "M" + std::to_string(i) : "A106B");
            m.density = density;
            pipe_materials().push_back(m);
        }
    }
    // A model file of `count` materials at 0.5 lb/in3 whose pipe names
    // `material`; then the model holds 5 000 materials of those names (and
    // more) at 0.283 lb/in3 and a pipe naming the same.
    std::string other_file(int count, const std::string& material) const
    {
        hold_materials(count, 0.5f);
        from(10);
        model().rows[row(20, ET_PIPE, 12.0f)].material = material;
        const std::string path = this->path("other.mod");
        write_model_file(path);
        hold_materials(5000, 0.283f);
        return path;
    }
    static float density_of(const std::string& name) { return pipe_materials()[pipe_materials().index(name)].density; }
};

}  // namespace

// The same 5 000 names: "1" .. "999" go to M1 .. M999, and M1000 finds none.
TEST_F(MergeBeyondFreeNames, MoreClashesThanFreeNumbersAreRefusedWithNothingChanged)
{
    const std::string path = other_file(5000, "M4000");
    EXPECT_EQ(thrown_text([&] { merge_model(path); }),
              "Unable to merge model file:\n" + path +
                  "\nMaterials of the merged file: no free name for M1000 (1 to 999 are all taken).");
    EXPECT_EQ(nummats(), 5000);
    EXPECT_EQ(numrows(), 2);
    EXPECT_EQ(pipe_materials().index("1"), 0);
    EXPECT_EQ(density_of("M4000"), 0.283f);
}

// 998 clashes take "1" .. "998"; the merged pipe names the merged file's M500
// (0.5 lb/in3) by its new name, the model's pipe the model's M500; the note
// names the first 10 renames and counts the others.
TEST_F(MergeBeyondFreeNames, AsManyClashesAsFreeNumbersAreEachRenamedAndTheirRowsFollow)
{
    const MergeOutcome outcome = merge_model(other_file(998, "M500"));
    ASSERT_EQ(outcome.renames.size(), 998u);
    EXPECT_EQ(nummats(), 5998);
    EXPECT_EQ(outcome.renames.back().from, "A106B");
    EXPECT_EQ(outcome.renames.back().to, "998");
    ASSERT_EQ(numrows(), 4);
    EXPECT_EQ(model().rows[2].material, "M500");
    EXPECT_EQ(density_of(model().rows[2].material), 0.283f);
    EXPECT_EQ(model().rows[4].material, "500");
    EXPECT_EQ(density_of(model().rows[4].material), 0.5f);

    std::string listed = "Materials of the merged file: ";
    for (int i = 1; i <= 10; ++i)
        listed += (i > 1 ? ", M" : "M") + std::to_string(i) + " is now " + std::to_string(i);
    const std::string note = merge_note_text(outcome);
    EXPECT_EQ(note.substr(0, note.find('\n')), listed + " and 988 more.");
}
