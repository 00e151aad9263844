// The built-in AISC shape table and the shape chooser.
#include "materials/ui/aisc_chooser.h"
#include "materials/ui/dialogs_beams.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(AiscTable, FamiliesGroupsAndShapesAreConsistent) {
    const AiscTable& t = aisc_table();
    ASSERT_EQ(t.family_count, AISC_FAMILY_COUNT);
    // Counts of the table generated from the AISC shapes database v15.0.
    const int groups[] = {17, 5, 11, 4, 10, 8, 22, 36, 14, 5, 11, 55, 15};
    const int shapes[] = {283, 11, 28, 12, 32, 38, 125, 199, 254, 11, 28, 306, 39};
    int next_group = 0, next_shape = 0;
    std::set<std::string> designations;
    for (int f = 0; f < t.family_count; ++f) {
        const AiscFamilyData& fam = t.families[f];
        EXPECT_EQ(fam.group_count, groups[f]) << fam.name;
        EXPECT_EQ(fam.first_group, next_group) << fam.name;
        int count = 0;
        for (int g = fam.first_group; g < fam.first_group + fam.group_count; ++g) {
            EXPECT_EQ(t.groups[g].first_shape, next_shape);
            EXPECT_GT(t.groups[g].shape_count, 0) << t.groups[g].name;
            for (int s = 0; s < t.groups[g].shape_count; ++s) {
                const AiscShape& shape = t.shapes[next_shape + s];
                // Every shape is of its family and has a positive area and inertias.
                EXPECT_EQ(std::string(shape.designation).rfind(fam.name, 0), 0u) << shape.designation;
                EXPECT_GT(shape.values[BS_AREA], 0.0f) << shape.designation;
                EXPECT_GT(shape.values[BS_MAJOR_I], 0.0f) << shape.designation;
                EXPECT_GT(shape.values[BS_MINOR_I], 0.0f) << shape.designation;
                EXPECT_TRUE(designations.insert(shape.designation).second) << shape.designation;
            }
            next_shape += t.groups[g].shape_count;
            count += t.groups[g].shape_count;
        }
        next_group += fam.group_count;
        EXPECT_EQ(count, shapes[f]) << fam.name;
    }
    EXPECT_EQ(next_group, t.group_count);
    EXPECT_EQ(next_shape, t.shape_count);
    EXPECT_EQ(t.shape_count, 1366);
}

TEST(AiscTable, ShapesMatchTheDatabase) {
    // Values from aisc-shapes-database-v15.0.csv (A, Ix, Iy, J, d or Ht or
    // OD, bf or b or B); double angles at 3/8 in spacing without J and size.
    struct Case {
        const char* designation;
        float v[8];
    } cases[] = {
        {"W 44X290", {85.4f, 27000, 1040, 50.9f, 0, 0, 43.6f, 15.8f}},
        {"HP 14X117", {34.4f, 1220, 443, 8.02f, 0, 0, 14.2f, 14.9f}},
        {"L 8X8X1-1/8", {16.8f, 98.1f, 98.1f, 7.13f, 0, 0, 8, 8}},
        {"2L 8X8X1-1/8", {33.6f, 196, 421, 0, 0, 0, 0, 0}},
        {"TS 16X16X5/8", {35.0f, 1370, 1370, 2170, 0, 0, 16, 16}},
        {"P 1/2", {0.234f, 0.016f, 0.016f, 0.032f, 0, 0, 0.84f, 0.84f}},
        {"L 6X3.5X1/2", {4.5f, 16.6f, 4.24f, 0.386f, 0, 0, 6, 3.5f}},
    };
    for (const Case& c : cases) {
        const AiscShape* s = find_aisc_shape(c.designation);
        ASSERT_NE(s, nullptr) << c.designation;
        for (int i = 0; i < BS_VALUE_COUNT; ++i) EXPECT_FLOAT_EQ(s->values[i], c.v[i]) << c.designation << " " << i;
    }
    // Renamed families: unequal double angles short leg first, tubes and pipes.
    EXPECT_NE(find_aisc_shape("2L 6X8X1"), nullptr);
    EXPECT_NE(find_aisc_shape("PXX 2"), nullptr);
    EXPECT_EQ(find_aisc_shape("HSS16X16X5/8"), nullptr);
}

class AiscChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        hb = &install_headless_backend();
    }
    void TearDown() override {
        remove_backend();
    }
    Script& script() { return hb->script(); }
    HeadlessBackend* hb = nullptr;
};

TEST_F(AiscChooserTest, FirstUseOffersTheFirstWideFlangeAndCancelChoosesNothing) {
    std::string group, shape;
    script().once("AISC_SECTIONS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(AISC_FIRST_FAMILY));
        d.press(IDOK);
    });
    script().once("W_DIALOG", [&](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(AISC_FIRST_GROUP));
        group = d.text(AISC_FIRST_GROUP);
        shape = d.list_text(AISC_SHAPE_LIST, d.list_selection(AISC_SHAPE_LIST));
        d.press(IDOK);
    });
    ASSERT_TRUE(choose_aisc_shape(0));
    EXPECT_EQ(group, "W 44");
    EXPECT_EQ(shape, "W 44X335");
    EXPECT_EQ(aisc_shape_buffer().description, "W 44X335");
    // The pick takes the table's torsional constant (J 74.7 in4).
    EXPECT_EQ(aisc_shape_buffer().torsion(), 74.7f);

    script().once("AISC_SECTIONS_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    EXPECT_FALSE(choose_aisc_shape(0));
    EXPECT_EQ(script().runs("W_DIALOG"), 1);
}

TEST_F(AiscChooserTest, ReopensWhereTheUserLeftIt) {
    // Family M has code 2, the value of Cancel: it must still be offered.
    script().once("AISC_SECTIONS_DIALOG", [](HeadlessDialog& d) {
        d.press(AISC_FIRST_FAMILY + int{AISC_M} - 1);
        d.advance(150);   // a click chooses after a short pause
    });
    script().once("M_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_TRUE(choose_aisc_shape(0));


    const std::string wanted = "TS 8X4X1/4";
    script().once("AISC_SECTIONS_DIALOG", [](HeadlessDialog& d) {
        d.press(AISC_FIRST_FAMILY + int{AISC_TS} - 1);
        d.press(IDOK);
    });
    script().once("TS_DIALOG", [&](HeadlessDialog& d) {
        const DialogTemplate& t = aisc_family_dialog(AISC_TS);
        for (const ControlSpec& c : t.controls)
            if (c.kind == ControlKind::Radio && c.text == "TS 8X4") d.press(c.id);
        EXPECT_TRUE(d.select_text(AISC_SHAPE_LIST, wanted));
        d.press(IDOK);
    });
    ASSERT_TRUE(choose_aisc_shape(0));
    EXPECT_EQ(aisc_shape_buffer().description, wanted);

    std::string reopened;
    script().once("AISC_SECTIONS_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(AISC_FIRST_FAMILY + int{AISC_TS} - 1));
        d.press(IDOK);
    });
    script().once("TS_DIALOG", [&](HeadlessDialog& d) {
        reopened = d.list_text(AISC_SHAPE_LIST, d.list_selection(AISC_SHAPE_LIST));
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(choose_aisc_shape(0));
    EXPECT_EQ(reopened, wanted);
}

}  // namespace
