// Beam sections: file layout and version gates, the required values, the
// name space shared with pipe sections, rename, merge and the AISC pick.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "framework/ui/table.h"
#include "materials/beam_section.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/ui/aisc_chooser.h"
#include "materials/ui/beam_section_ui.h"
#include "materials/ui/dialogs_beams.h"
#include "model/model_file_fixture.h"
#include "model/ui/list_window.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

namespace {

class BeamSectionTest : public ModelFileUiTest {
protected:
    void SetUp() override {
        ModelFileUiTest::SetUp();
        set_beam_library_mode(false);
        install_property_sets();
        install_beam_sections_ui();
    }
    void TearDown() override {
        ModelFileUiTest::TearDown();
    }
    static BeamSection section(const std::string& name) {
        BeamSection s;
        s.name = name;
        s.description = "W 8X31";
        s.values = {9.13f, 110.0f, 37.1f, 0.536f, 0.0f, 0.0f, 8.0f, 8.0f};
        return s;
    }
    static void answer(const std::string& name, const std::string& area, const std::string& major,
                       const std::string& minor) {
        script().once("BEAM_SECTION_DIALOG", [=](HeadlessDialog& d) {
            d.type(BEAM_NAME, name);
            d.type(BSEC_FIRST_VALUE + int{BS_AREA}, area);
            d.type(BSEC_FIRST_VALUE + int{BS_MAJOR_I}, major);
            d.type(BSEC_FIRST_VALUE + int{BS_MINOR_I}, minor);
            d.press(IDOK);
        });
    }
};

TEST_F(BeamSectionTest, RecordsAre54BytesAndOldNamesFourBytes) {
    const std::string file = path("s.bin");
    {
        BinFile f;
        ASSERT_TRUE(f.open_write(file));
        section("B1").write(f);
        ASSERT_TRUE(f.close());
    }
    EXPECT_EQ(bytes_of(file).size(), 54u);
    BinFile f;
    ASSERT_TRUE(f.open_read(file));
    BeamSection s;
    s.read(f, 6);
    EXPECT_EQ(s, section("B1"));

    // A version 670 model: the whole section through the model reader.
    Bytes b;
    b.name("WB12", 4);
    b.name("W 12X50", 16);
    for (float v : {14.6f, 391.0f, 56.3f, 1.71f, 0.0f, 0.0f, 12.2f, 8.08f}) b.f32(v);
    std::vector<unsigned char> old = old_model_file(670, {}, CODE_NONE, {{SECTION_BEAM_SECTIONS, 1}});
    // The beam sections come right after the beam materials' count; put the
    // record behind the count by rebuilding: the count field is followed by
    // the remaining sections' counts, so splice the record in after it.
    const std::vector<unsigned char> probe = old_model_file(670, {}, CODE_NONE, {{SECTION_BEAM_SECTIONS, 0x7A7A7A7A}});
    std::size_t at = 0;
    for (std::size_t i = 0; i + 4 <= probe.size(); ++i)
        if (probe[i] == 0x7A && probe[i + 1] == 0x7A && probe[i + 2] == 0x7A && probe[i + 3] == 0x7A) at = i + 4;
    ASSERT_NE(at, 0u);
    old.insert(old.begin() + static_cast<std::ptrdiff_t>(at), b.b.begin(), b.b.end());
    put_bytes(file, old);
    read_model(file);
    ASSERT_EQ(numbsections(), 1);
    EXPECT_EQ(beam_sections()[1].name, "WB12");
    EXPECT_EQ(beam_sections()[1].description, "W 12X50");
    EXPECT_FLOAT_EQ(beam_sections()[1].width(), 8.08f);
}

TEST_F(BeamSectionTest, AreaAndBothInertiasMustBeAboveZero) {
    answer("B1", "0", "10", "5");
    EXPECT_NE(edit_beam_section(1), IDOK);
    answer("B1", "", "10", "5");
    EXPECT_NE(edit_beam_section(1), IDOK);
    EXPECT_EQ(script().last_message(), "Area is required");
    answer("B1", "3", "10", "-1");
    EXPECT_NE(edit_beam_section(1), IDOK);
    EXPECT_EQ(numbsections(), 0);
    answer("B1", "3", "10", "5");
    EXPECT_EQ(edit_beam_section(1), IDOK);
    EXPECT_EQ(numbsections(), 1);

    // The table's Enter applies the same rule to a typed record.
    open_beam_sections_table();
    TableWindow* t = list_window_table();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->title, "Beams");
    t->store_cell(2, 1, "B2");
    t->store_cell(2, 3, "3");
    t->store_cell(2, 4, "10");
    try {
        t->leave_row(2);
        ADD_FAILURE() << "a zero minor inertia was taken";
    } catch (const CI& e) {
        EXPECT_EQ(e.column, 5);
    }
    EXPECT_EQ(numbsections(), 1);
    close_list_window();
}

TEST_F(BeamSectionTest, NamesAreSharedWithPipeSectionsAndRenameReachesRows) {
    pipe_sections().push_back(PipeSection{});
    pipe_sections()[1].name = "P6";
    answer("P6", "3", "10", "5");
    EXPECT_NE(edit_beam_section(1), IDOK);
    EXPECT_EQ(script().last_message(), "Section =  P6  is already defined as a pipe section");

    beam_sections().push_back(section("OLD"));
    from(10);
    const int beam = row(20, ET_BEAM, 12.0f);
    model().rows[beam].section = "OLD";
    script().answer(IDYES);
    answer("NEW", "9.13", "110", "37.1");
    EXPECT_EQ(edit_beam_section(1), IDOK);
    EXPECT_EQ(model().rows[beam].section, "NEW");
    EXPECT_TRUE(beam_section_in_use("NEW"));
    set_beam_library_mode(true);
    EXPECT_FALSE(beam_section_in_use("NEW"));
    set_beam_library_mode(false);
}

TEST_F(BeamSectionTest, MergeRenamesClashesFromTheOriginalNames) {
    beam_sections().push_back(section("B1"));
    beam_sections().push_back(section("1"));
    from(10);
    model().rows[row(20, ET_BEAM, 12.0f)].section = "B1";
    model().rows[row(30, ET_BEAM, 12.0f)].section = "1";
    const std::string other = path("other.mod");
    write_model_file(other);

    reset_model();
    reset_beam_sections();
    pipe_sections().push_back(PipeSection{});
    pipe_sections()[1].name = "B1";
    merge_model(other);
    ASSERT_EQ(numbsections(), 2);
    EXPECT_EQ(beam_sections()[1].name, "1");
    EXPECT_EQ(beam_sections()[2].name, "2");
    std::vector<std::string> names;
    for (const LayoutRow& r : model().rows)
        if (r.etype == ET_BEAM) names.push_back(r.section);
    EXPECT_EQ(names, (std::vector<std::string>{"1", "2"}));
}

TEST_F(BeamSectionTest, AiscPickKeepsTheNameAndDoubleAnglesHaveNoSize) {
    BeamSection named = section("B1");
    named.values[BS_MAJOR_SHEAR] = 4.0f;
    beam_sections().push_back(named);
    open_beam_sections_table();
    script().once("AISC_SECTIONS_DIALOG", [](HeadlessDialog& d) {
        d.press(AISC_FIRST_FAMILY + int{AISC_2L} - 1);
        d.press(IDOK);
    });
    script().once("L2_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    ASSERT_TRUE(ListCommand(CMD_AISC_LIBRARY));
    const BeamSection& s = beam_sections()[1];
    EXPECT_EQ(s.name, "B1");
    EXPECT_EQ(s.description, "2L 8X8X1-1/8");
    EXPECT_EQ(s.values[BS_MAJOR_SHEAR], 0.0f);
    EXPECT_EQ(s.depth(), 0.0f);
    EXPECT_EQ(s.width(), 0.0f);
    EXPECT_TRUE(model_modified());

    // A row that holds a shape is replaced only when the user agrees.
    script().once("AISC_SECTIONS_DIALOG", [](HeadlessDialog& d) {
        d.press(AISC_FIRST_FAMILY + int{AISC_W} - 1);
        d.press(IDOK);
    });
    script().once("W_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    script().answer(IDNO);
    script().clear_log();
    ASSERT_TRUE(ListCommand(CMD_AISC_LIBRARY));
    EXPECT_NE(script().last_message().find("2L 8X8X1-1/8"), std::string::npos) << script().last_message();
    EXPECT_EQ(beam_sections()[1].description, "2L 8X8X1-1/8");
    close_list_window();
}

TEST_F(BeamSectionTest, PicksSitInTheFileMenuAndTheLibraryIsGreyedUntilItIsThere) {
    // As the program runs: the list frame's commands, menu and tool bars.
    frame_create(list_frame(), "KorvaneList", "List", nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
    frame_set_bars(list_frame(), toolbar_resource("LIST_TOOLBAR"));
    create_list_window();
    install_list_window_commands();
    beam_sections().push_back(section("B1"));
    const std::vector<int> before = list_frame().menu.command_ids();
    open_beam_sections_table();

    // File: the picks and a separator after Save As, before Export and Print; Exit stays last.
    const HeadlessWindow& w = *headless_backend().window(list_frame().window);
    std::vector<std::string> file;
    for (const MenuItem& item : w.menu.items()[0].items)
        file.push_back(item.is_separator() ? "-" : item.text);
    EXPECT_EQ(file, (std::vector<std::string>{"&New...\tCtrl+N", "&Open...\tCtrl+O", "&Close", "-", "&Save\tCtrl+S",
                                              "Save &As...", "-", "Beam &Library...", "&AISC Beam Library...", "-",
                                              "&Export...", "&Print...\tCtrl+P", "-", RECENT_MODELS_TEXT, "-",
                                              "E&xit\tAlt+F4"}));

    // Without the beam-section library the library pick is greyed in the
    // menu, on its button and in the popup; the AISC pick is not.
    EXPECT_FALSE(w.menu.is_enabled(CMD_LIBRARY));
    EXPECT_TRUE(w.menu.is_enabled(CMD_AISC_LIBRARY));
    EXPECT_EQ(w.buttons.at(CMD_LIBRARY), std::make_pair(true, false));
    EXPECT_EQ(w.buttons.at(CMD_AISC_LIBRARY), std::make_pair(true, true));
    EXPECT_FALSE(script().click_button(list_frame().window, CMD_LIBRARY));
    script().answer_popup(CMD_LIBRARY);
    list_window_table()->context_menu(Point{});
    EXPECT_EQ(script().faults().back(), "popup item 270 greyed");

    // Once the library serves it, the pick is offered and runs.
    int picks = 0;
    beam_section_library_hooks().choose_entry = [&](int, BeamSection&) {
        ++picks;
        return false;
    };
    frame_update_menu(list_frame());
    EXPECT_TRUE(w.menu.is_enabled(CMD_LIBRARY));
    EXPECT_EQ(w.buttons.at(CMD_LIBRARY), std::make_pair(true, true));
    EXPECT_TRUE(script().click_button(list_frame().window, CMD_LIBRARY));
    EXPECT_EQ(picks, 1);
    beam_section_library_hooks() = BeamSectionLibraryHooks{};

    // Leaving the table takes the items and their separator away.
    close_list_window();
    EXPECT_EQ(list_frame().menu.command_ids(), before);
    EXPECT_EQ(w.menu.items()[0].items.size(), file.size() - 3);
    destroy_list_window();
    frame_destroy(list_frame());
}

}  // namespace
