// Beam materials: the record's file layout and version gate, the dialog's
// checks and rename, the table's checks, and the merge's renaming.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "materials/beam_material.h"
#include "materials/pipe_material.h"
#include "materials/property_sets.h"
#include "materials/ui/beam_material_ui.h"
#include "materials/ui/dialogs_beams.h"
#include "model/model_file_fixture.h"
#include "model/ui/list_window.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

namespace {

class BeamMaterialTest : public ModelFileUiTest {
protected:
    void SetUp() override {
        ModelFileUiTest::SetUp();
        install_property_sets();
        install_beam_materials_ui();
    }
    void TearDown() override {
        ModelFileUiTest::TearDown();
    }
    static BeamMaterial steel(const std::string& name) { return BeamMaterial{name, "Steel", 29.5e6f, 0.3f, 0.283f, 6.5e-6f}; }
    // Answers the next BEAM_MATERIAL_DIALOG with these texts and OK.
    static void answer(const std::string& name, const std::string& e, const std::string& nu) {
        script().once("BEAM_MATERIAL_DIALOG", [=](HeadlessDialog& d) {
            d.type(BEAM_NAME, name);
            d.type(BMAT_E, e);
            d.type(BMAT_NU, nu);
            d.press(IDOK);
        });
    }
};

TEST_F(BeamMaterialTest, RecordsRoundTripAndOldFilesHaveFourByteNames) {
    const std::string file = path("b.bin");
    {
        BinFile f;
        ASSERT_TRUE(f.open_write(file));
        steel("ST37").write(f);
        ASSERT_TRUE(f.close());
    }
    EXPECT_EQ(bytes_of(file).size(), 50u);   // 6 + 28 + 4 x 4
    BinFile f;
    ASSERT_TRUE(f.open_read(file));
    BeamMaterial m;
    m.read(f);
    EXPECT_EQ(m, steel("ST37"));

    // Version 679: 4-byte names, every other offset 2 less.
    Bytes b;
    b.name("AB12", 4);
    b.name("Old steel", 28);
    for (float v : {1.0e6f, 0.25f, 0.1f, 2.0e-6f}) b.f32(v);
    put_bytes(file, b.b);
    ASSERT_TRUE(f.open_read(file));
    ModelFileVersionScope version(679);
    m.read(f);
    EXPECT_EQ(m, (BeamMaterial{"AB12", "Old steel", 1.0e6f, 0.25f, 0.1f, 2.0e-6f}));
    EXPECT_EQ(f.remaining(), 0);
}

TEST_F(BeamMaterialTest, ModelFileKeepsBeamMaterialsAndRefusesAbsurdCounts) {
    beam_materials().push_back(steel("B1"));
    beam_materials().push_back(steel("B2"));
    const std::string file = path("m.mod");
    write_model_file(file);
    reset_beam_materials();
    read_model(file);
    ASSERT_EQ(numbmats(), 2);
    EXPECT_EQ(beam_materials()[2], steel("B2"));

    // A count larger than the file is refused before anything is allocated,
    // and the model keeps its records.
    std::vector<std::pair<int, int32_t>> counts = {{SECTION_BEAM_MATERIALS, 100000000}};
    put_bytes(file, old_model_file(700, {}, CODE_NONE, counts));
    EXPECT_THROW(read_model(file), MessageText);
    EXPECT_EQ(numbmats(), 2);
}

TEST_F(BeamMaterialTest, DialogChecksNuRangeAndNameSpace) {
    pipe_materials().push_back(PipeMaterial{});
    pipe_materials()[1].name = "CS";
    struct Case {
        std::string name, nu, message;
    } cases[] = {
        {"B1", "0.0099", "Nu should be at least 0.01"},
        {"B1", "", "Nu should be at least 0.01"},
        {"B1", "0.5", "Nu should be < 0.5"},
        {"B 1*", "0.3", "Name =  B1*  should be alpha numeric"},
        {"cs", "0.3", "Material =  CS  is already defined as a pipe material"},
    };
    for (const Case& c : cases) {
        answer(c.name, "29E6", c.nu);
        EXPECT_NE(edit_beam_material(1), IDOK) << c.nu;
        EXPECT_EQ(script().last_message(), c.message);
        EXPECT_EQ(numbmats(), 0);
    }
    answer("b1", "29E6", "0.01");
    EXPECT_EQ(edit_beam_material(1), IDOK);
    ASSERT_EQ(numbmats(), 1);
    EXPECT_EQ(beam_materials()[1].name, "B1");
    EXPECT_FLOAT_EQ(beam_materials()[1].nu, 0.01f);
    EXPECT_TRUE(model_modified());
}

TEST_F(BeamMaterialTest, RenameAsksAndReachesRowsJacketsAndBends) {
    beam_materials().push_back(steel("OLD"));
    from(10);
    const int beam = row(20, ET_BEAM, 12.0f);
    model().rows[beam].material = "OLD";
    const int jacketed = row(30, ET_JACKETED_PIPE, 12.0f);
    model().rows[jacketed].element->jacket_geometry()->material = "OLD";
    const int bend = row(40, ET_BEND, 12.0f);
    model().rows[bend].element->bend_geometry()->material = "OLD";

    script().answer(IDNO);
    answer("NEW", "29.5E6", "0.3");
    EXPECT_NE(edit_beam_material(1), IDOK);
    EXPECT_EQ(beam_materials()[1].name, "OLD");

    script().answer(IDYES);
    answer("NEW", "29.5E6", "0.3");
    EXPECT_EQ(edit_beam_material(1), IDOK);
    EXPECT_EQ(beam_materials()[1].name, "NEW");
    EXPECT_EQ(model().rows[beam].material, "NEW");
    EXPECT_EQ(model().rows[jacketed].element->jacket_geometry()->material, "NEW");
    EXPECT_EQ(model().rows[bend].element->bend_geometry()->material, "NEW");
    EXPECT_TRUE(beam_material_in_use("NEW"));
    EXPECT_FALSE(beam_material_in_use("OLD"));
}

TEST_F(BeamMaterialTest, MergeRenamesFromTheOriginalNames) {
    // The merged file has "A" and "1", each named by a Beam row.
    beam_materials().push_back(steel("A"));
    beam_materials().push_back(steel("1"));
    from(10);
    model().rows[row(20, ET_BEAM, 12.0f)].material = "A";
    model().rows[row(30, ET_BEAM, 12.0f)].material = "1";
    const std::string other = path("other.mod");
    write_model_file(other);

    // The model has "A": the merged "A" becomes "1", the merged "1" then "2".
    reset_model();
    reset_beam_materials();
    beam_materials().push_back(steel("A"));
    merge_model(other);
    ASSERT_EQ(numbmats(), 3);
    EXPECT_EQ(beam_materials()[2].name, "1");
    EXPECT_EQ(beam_materials()[3].name, "2");
    std::vector<std::string> names;
    for (const LayoutRow& r : model().rows)
        if (r.etype == ET_BEAM) names.push_back(r.material);
    EXPECT_EQ(names, (std::vector<std::string>{"1", "2"}));
}

TEST_F(BeamMaterialTest, TableRefusesBadCellsAndDeletesOnlyUnusedRecords) {
    frame_create(list_frame(), "KorvaneList", PRODUCT_NAME, nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
    create_list_window();
    beam_materials().push_back(steel("B1"));
    open_beam_materials_table();
    TableWindow* t = list_window_table();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->title, "Beam materials");
    EXPECT_EQ(t->cell_text(1, 4, 0), "0.3");
    // While attached the View menu has the highlight command beside List.
    EXPECT_TRUE(list_frame().menu.contains(CMD_HIGHLIGHT_MATERIAL));
    EXPECT_TRUE(list_frame().menu.contains(CMD_INSERT));

    // Names are typed upper-cased; a sign a name cannot have is refused with
    // the name check's message, not dropped on the way.
    std::string lower = "b";
    t->filter_char(1, lower);
    EXPECT_EQ(lower, "B");
    for (const char* typed : {"B_1", "B.1", "B 1 2"}) {
        EXPECT_THROW(t->store_cell(1, 1, typed), MessageText) << typed;
        EXPECT_EQ(beam_materials()[1].name, "B1");
    }

    // Nu obeys the dialog's range in the table too.
    EXPECT_THROW(t->store_cell(1, 4, "0.7"), MessageText);
    EXPECT_THROW(t->store_cell(1, 3, "abc"), MessageText);
    EXPECT_FLOAT_EQ(beam_materials()[1].nu, 0.3f);

    // The input row: typed values wait for a name; Enter needs name and E.
    const int input = numbmats() + 1;
    t->store_cell(input, 1, "B2");
    EXPECT_THROW(t->leave_row(input), CI);
    t->store_cell(input, 3, "29E6");
    t->store_cell(input, 4, "0.3");
    t->leave_row(input);
    ASSERT_EQ(numbmats(), 2);

    from(10);
    model().rows[row(20, ET_BEAM, 12.0f)].material = "B1";
    t->delete_row(1);
    EXPECT_EQ(numbmats(), 2);
    EXPECT_EQ(script().last_message(), "Beam_Material B1 is in use, it cannot be deleted");
    t->delete_row(2);
    EXPECT_EQ(numbmats(), 1);
    close_list_window();
    EXPECT_FALSE(list_frame().menu.contains(CMD_HIGHLIGHT_MATERIAL));
    destroy_list_window();
    frame_destroy(list_frame());
}

}  // namespace
