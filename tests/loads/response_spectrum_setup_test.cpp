// The Response Spectrum dialog of the Loads menu: it shows the input with
// the model's spectra on offer for each direction, stores what OK reads into
// the model (saved in the model file and read back), refuses each bad value
// with the message the model file reader gives for it and changes nothing
// then, keeps a name the spectra no longer hold, and only shows while
// results are shown. A spectrum the input names is renamed there with it and
// is not deleted.
#include "framework/app_state.h"
#include "framework/ui/menus.h"
#include "loads/loads_ui_fixture.h"
#include "loads/response_spectrum.h"
#include "loads/ui/response_spectrum_ui.h"
#include "loads/ui/spectra_ui.h"

#include <functional>
#include <string>
#include <vector>

using namespace loads_test;

namespace {

class ResponseSpectrumSetup : public LoadsUiTest {
protected:
    void SetUp() override
    {
        LoadsUiTest::SetUp();
        for (const char* name : {"EL CENTRO", "RG1.60 H"}) {
            Spectrum s;
            s.name = name;
            s.curve = curve({{1.0f, 0.2f}, {10.0f, 0.8f}});
            spectra().append(s);
        }
        model_modified() = false;
    }

    static std::vector<std::string> entries(HeadlessDialog& d, int id)
    {
        std::vector<std::string> out;
        for (int i = 0; i < d.list_count(id); ++i)
            out.push_back(d.list_text(id, i));
        return out;
    }
};

}  // namespace

TEST_F(ResponseSpectrumSetup, FieldsShowTheInputWithTheModelsSpectraOnOffer)
{
    ResponseSpectrumInput& r = response_spectrum_input();
    r.spectrum[1] = "RG1.60 H";
    r.factor[1] = 1.5f;
    r.modal_combination = 2;
    r.missing_mass_combination = 2;
    r.damping = 0.02f;
    script().once("RESPONSE_SPECTRUM_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Response Spectrum");
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_EQ(entries(d, RS_SPECTRUM_X + axis),
                      (std::vector<std::string>{"None", "EL CENTRO", "RG1.60 H"}));
        EXPECT_EQ(d.list_selection(RS_SPECTRUM_X), 0);
        EXPECT_EQ(d.list_selection(RS_SPECTRUM_X + 1), 2);
        EXPECT_EQ(d.text(RS_FACTOR_X), "1");
        EXPECT_EQ(d.text(RS_FACTOR_X + 1), "1.5");
        EXPECT_EQ(entries(d, RS_MODAL), (std::vector<std::string>{"SRSS", "CQC", "Ten percent", "Absolute sum"}));
        EXPECT_EQ(d.list_selection(RS_MODAL), 1);
        EXPECT_EQ(entries(d, RS_DIRECTION), (std::vector<std::string>{"SRSS", "Absolute sum"}));
        EXPECT_EQ(d.list_selection(RS_DIRECTION), 0);
        EXPECT_EQ(d.list_selection(RS_MISSING_MASS), 1);
        EXPECT_EQ(d.text(RS_DAMPING), "0.02");
        EXPECT_EQ(d.text(RS_CLOSELY_SPACED), "0.1");
        d.press(IDCANCEL);
    });
    // The Loads menu's command opens it, under the name the model check gives.
    ASSERT_TRUE(run_command(CMD_RESPONSE_SPECTRUM));
    EXPECT_EQ(script().messages(), std::vector<std::string>{});
    bool listed = false;
    for (const MenuItem& top : menu_resource("LAYOUT_MENU").items)
        if (top.text == "&Loads")
            for (const MenuItem& item : top.items)
                listed = listed || (item.text == "&Response Spectrum..." && item.id == CMD_RESPONSE_SPECTRUM);
    EXPECT_TRUE(listed);
    EXPECT_FALSE(model_modified());
}

TEST_F(ResponseSpectrumSetup, OkStoresTheInputWhichTheModelFileKeeps)
{
    script().once("RESPONSE_SPECTRUM_DIALOG", [](HeadlessDialog& d) {
        d.select(RS_SPECTRUM_X, 1);
        d.type(RS_FACTOR_X, "0.5");
        d.select(RS_SPECTRUM_X + 2, 2);
        d.type(RS_FACTOR_X + 2, "0.667");
        d.select(RS_MODAL, 2);
        d.select(RS_DIRECTION, 1);
        d.select(RS_MISSING_MASS, 1);
        d.type(RS_DAMPING, "0.03");
        d.type(RS_CLOSELY_SPACED, "0.15");
        d.press(IDOK);
    });
    EXPECT_EQ(edit_response_spectrum(), IDOK);
    EXPECT_EQ(script().messages(), std::vector<std::string>{});
    ResponseSpectrumInput expected;
    expected.spectrum = {"EL CENTRO", "", "RG1.60 H"};
    expected.factor = {0.5f, 1.0f, 0.667f};
    expected.modal_combination = 3;
    expected.direction_combination = 2;
    expected.missing_mass_combination = 2;
    expected.damping = 0.03f;
    expected.closely_spaced = 0.15f;
    EXPECT_EQ(response_spectrum_input(), expected);
    EXPECT_TRUE(model_modified());

    const std::string file = path("input.mod");
    write_model_file(file);
    response_spectrum_input() = ResponseSpectrumInput{};
    read_model(file);
    EXPECT_EQ(response_spectrum_input(), expected);

    // Shown again and left with OK, nothing changes.
    model_modified() = false;
    script().once("RESPONSE_SPECTRUM_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_EQ(edit_response_spectrum(), IDOK);
    EXPECT_EQ(response_spectrum_input(), expected);
    EXPECT_FALSE(model_modified());
}

// Each bad value is refused at OK with its message on its field; the dialog
// stays, and Cancel then leaves the input as it was. The model file reader
// refuses the same value with the same message.
TEST_F(ResponseSpectrumSetup, EachBadValueGivesItsMessageAndChangesNothing)
{
    struct Bad {
        int item;
        std::string text;
        std::string message;
        std::function<void(ResponseSpectrumInput&)> in_file;   // the same value in a file; none for a typing fault
    };
    const std::vector<Bad> cases = {
        {RS_FACTOR_X, "-1", "The X spectrum factor should be a number >= 0",
         [](ResponseSpectrumInput& r) { r.factor[0] = -1.0f; }},
        {RS_FACTOR_X + 2, "-0.5", "The Z spectrum factor should be a number >= 0",
         [](ResponseSpectrumInput& r) { r.factor[2] = -0.5f; }},
        {RS_FACTOR_X + 1, "abc", "Y factor =  ABC  is invalid", {}},
        {RS_FACTOR_X + 1, "", "Y factor is required", {}},
        {RS_DAMPING, "1", "The damping ratio should be 0 or more and below 1",
         [](ResponseSpectrumInput& r) { r.damping = 1.0f; }},
        {RS_DAMPING, "-0.01", "The damping ratio should be 0 or more and below 1",
         [](ResponseSpectrumInput& r) { r.damping = -0.01f; }},
        {RS_DAMPING, "", "Damping ratio is required", {}},
        {RS_CLOSELY_SPACED, "1.5", "The closely spaced fraction should be 0 to 1",
         [](ResponseSpectrumInput& r) { r.closely_spaced = 1.5f; }},
        {RS_CLOSELY_SPACED, "-1", "The closely spaced fraction should be 0 to 1",
         [](ResponseSpectrumInput& r) { r.closely_spaced = -1.0f; }},
    };
    ResponseSpectrumInput& r = response_spectrum_input();
    r.spectrum[1] = "EL CENTRO";
    const ResponseSpectrumInput before = r;
    const std::string good = path("good.mod");
    write_model_file(good);
    for (const Bad& bad : cases) {
        SCOPED_TRACE(bad.message);
        script().clear_log();
        bool stayed = false;
        int focused = 0;
        script().once("RESPONSE_SPECTRUM_DIALOG", [&](HeadlessDialog& d) {
            d.select(RS_SPECTRUM_X, 2);
            d.select(RS_MODAL, 3);
            d.type(bad.item, bad.text);
            d.press(IDOK);
            stayed = !d.ended();
            focused = d.focused();
            d.press(IDCANCEL);
        });
        EXPECT_EQ(edit_response_spectrum(), IDCANCEL);
        EXPECT_EQ(script().messages(), std::vector<std::string>{bad.message});
        EXPECT_TRUE(stayed);
        EXPECT_EQ(focused, bad.item);
        EXPECT_EQ(response_spectrum_input(), before);
        EXPECT_FALSE(model_modified());
        if (!bad.in_file)
            continue;
        ResponseSpectrumInput in_file = before;
        bad.in_file(in_file);
        EXPECT_EQ(response_spectrum_fault(in_file), bad.message);
        response_spectrum_input() = in_file;
        const std::string file = path("bad.mod");
        write_model_file(file);
        read_model(good);
        const std::string refused = thrown_text([&] { read_model(file); });
        EXPECT_NE(refused.find(bad.message), std::string::npos) << refused;
        EXPECT_EQ(response_spectrum_input(), before);
    }
}

// A name the model's spectra do not hold (a file's, or one since deleted
// elsewhere) stays on offer and is kept by OK; None clears a direction.
TEST_F(ResponseSpectrumSetup, ANameNoSpectrumHoldsIsKeptAndNoneClearsADirection)
{
    ResponseSpectrumInput& r = response_spectrum_input();
    r.spectrum = {"OLD SITE", "EL CENTRO", ""};
    script().once("RESPONSE_SPECTRUM_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(entries(d, RS_SPECTRUM_X + 2), (std::vector<std::string>{"None", "EL CENTRO", "RG1.60 H", "OLD SITE"}));
        EXPECT_EQ(d.list_selection(RS_SPECTRUM_X), 3);
        d.select(RS_SPECTRUM_X + 1, 0);
        d.type(RS_FACTOR_X + 2, "");
        d.press(IDOK);
    });
    EXPECT_EQ(edit_response_spectrum(), IDOK);
    EXPECT_EQ(response_spectrum_input().spectrum, (std::array<std::string, 3>{"OLD SITE", "", ""}));
    EXPECT_EQ(response_spectrum_input().factor[2], 1.0f);
    EXPECT_TRUE(model_modified());
}

TEST_F(ResponseSpectrumSetup, WhileResultsAreShownTheDialogOnlyShows)
{
    response_spectrum_input().spectrum[0] = "EL CENTRO";
    const ResponseSpectrumInput before = response_spectrum_input();
    input_locked() = true;
    script().once("RESPONSE_SPECTRUM_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.control(RS_FACTOR_X)->readonly);
        EXPECT_TRUE(d.control(RS_DAMPING)->readonly);
        EXPECT_FALSE(d.is_enabled(RS_SPECTRUM_X));
        EXPECT_FALSE(d.is_enabled(RS_MODAL));
        EXPECT_FALSE(d.is_shown(IDCANCEL));
        EXPECT_EQ(d.text(IDOK), "Close");
        d.select(RS_SPECTRUM_X, 0);
        d.press(IDOK);
    });
    edit_response_spectrum();
    input_locked() = false;
    EXPECT_EQ(response_spectrum_input(), before);
    EXPECT_FALSE(model_modified());
}

// The spectrum a direction names follows its rename in the spectra table and
// cannot be deleted from it.
TEST_F(ResponseSpectrumSetup, ASpectrumTheInputNamesIsRenamedThereAndStays)
{
    response_spectrum_input().spectrum[2] = "RG1.60 H";
    open_spectra_table();
    table_goto_row(shown(), 2, 1, false);
    table_delete(shown());
    EXPECT_EQ(script().last_message(), "Spectrum RG1.60 H is in use, it cannot be deleted");
    EXPECT_EQ(numspectrums(), 2);
    script().answer(IDYES);
    script().once("SPECTRUM_DIALOG", [](HeadlessDialog& d) {
        d.type(SP_NAME, "RG1.60 HOR");
        d.press(IDOK);
    });
    EXPECT_TRUE(shown().edit_row(2));
    EXPECT_EQ(spectra()[2].name, "RG1.60 HOR");
    EXPECT_EQ(response_spectrum_input().spectrum[2], "RG1.60 HOR");
    // A spectrum no direction names goes.
    table_goto_row(shown(), 1, 1, false);
    table_delete(shown());
    EXPECT_EQ(numspectrums(), 1);
}
