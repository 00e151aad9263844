// The dialog helper under the scripted backend: reading fields, the failure
// path (message, focus, dialog stays open), nesting and property sheets.
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "framework/units.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

namespace {

enum : int { NAME = 1301, DENSITY_FIELD = 1302, DENSITY_UNIT = 1602, KIND = 1201, FIRST = 1401, SECOND = 1402,
             MORE = 1501 };

const DialogTemplate EXAMPLE_DIALOG = {"EXAMPLE_DIALOG", "Example # %d", {
    {NAME, ControlKind::Edit, "Name", 0, 0, 1, 5},
    {DENSITY_FIELD, ControlKind::Edit, "Density", 1, 0},
    {DENSITY_UNIT, ControlKind::Unit, "", 1, 1, 1, 0, ::DENSITY},
    {KIND, ControlKind::Combo, "Kind", 2, 0},
    {FIRST, ControlKind::Radio, "First", 3, 0},
    {SECOND, ControlKind::Radio, "Second", 3, 1},
    {MORE, ControlKind::Button, "More...", 4, 0},
    {IDOK, ControlKind::Button, "OK", 5, 0, 1, 0, 0, CF_DEFAULT},
    {IDCANCEL, ControlKind::Button, "Cancel", 5, 1}}};

struct Record {
    std::string name;
    float density = 0;
    int kind = 0;
    bool second = false;
};

// A procedure as the program writes them: fill in init, check in order in ok.
struct ExampleDialog : DialogProc {
    Record& record;
    std::function<void()> on_more;
    explicit ExampleDialog(Record& r) : record(r) {}

    void init(Dialog&) override {
        dialog_set_text_limit(NAME, record.name, 5);
        dialog_list_reset(KIND);
        dialog_list_add("Steel");
        dialog_list_add("Plastic");
        dialog_list_select_current(record.kind);
        dialog_set_radio(FIRST, SECOND, record.second ? SECOND : FIRST);
    }
    void command(Dialog&, int id, int) override {
        if (id == MORE && on_more) on_more();
    }
    bool ok(Dialog&) override {
        dialog_get_trimmed(NAME);
        if (item_text().empty()) dialog_throw(NAME, "Name is required");
        std::string name = item_text();
        dialog_get_text(DENSITY_FIELD);
        if (item_text().empty()) throw_required("Density");
        float density = 0;
        if (parse_density_buffer(density) != 0) throw_invalid("Density");
        record = Record{name, density, dialog_list_selection(KIND), dialog_is_checked(SECOND)};
        return true;
    }
};

class DialogHelperTest : public ::testing::Test {
protected:
    void SetUp() override {
        hb = &install_headless_backend();
    }
    void TearDown() override { remove_backend(); }
    HeadlessBackend* hb = nullptr;
};

TEST_F(DialogHelperTest, FailedCheckShowsTextFocusesItemAndKeepsDialogOpen) {
    Record rec{"P1", 0, 1, true};
    ExampleDialog proc(rec);
    std::vector<std::string> seen;
    script().on("EXAMPLE_DIALOG", [&](HeadlessDialog& d) {
        EXPECT_EQ(d.text(NAME), "P1");
        EXPECT_EQ(d.text(DENSITY_UNIT), "(lb/in3)");   // filled from the template's quantity
        EXPECT_EQ(d.list_selection(KIND), 1);
        EXPECT_TRUE(d.is_checked(SECOND));
        EXPECT_FALSE(d.is_checked(FIRST));

        d.type(NAME, " S1 ");
        d.press(IDOK);
        seen.push_back(script().last_message());
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.focused(), DENSITY_FIELD);
        EXPECT_TRUE(d.text_selected());

        d.type(DENSITY_FIELD, "  abc ");
        d.press(IDOK);
        seen.push_back(script().last_message());
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.focused(), DENSITY_FIELD);

        d.type(NAME, "");
        d.press(IDOK);
        seen.push_back(script().last_message());
        EXPECT_EQ(d.focused(), NAME);

        d.type(NAME, "S12345678");   // typing stops at the limit of 5
        d.type(DENSITY_FIELD, "0.283");
        d.select(KIND, 0);
        d.press(FIRST);
        d.press(IDOK);
        EXPECT_TRUE(d.ended());
    });
    EXPECT_EQ(run_dialog(EXAMPLE_DIALOG, proc), IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"Density is required", "Density =  ABC  is invalid",
                                              "Name is required"}));
    EXPECT_EQ(rec.name, "S1234");
    EXPECT_FLOAT_EQ(rec.density, 0.283f);
    EXPECT_EQ(rec.kind, 0);
    EXPECT_FALSE(rec.second);
    // The messages were error boxes over the dialog, captioned with the product.
    const ScriptEvent& box = script().log().front();
    EXPECT_EQ(box.kind, ScriptEvent::MessageBox);
    EXPECT_EQ(box.icon, MessageIcon::Error);
    EXPECT_EQ(box.caption, "Korvane");
    EXPECT_TRUE(script().faults().empty()) << script().faults().front();
    EXPECT_EQ(current_dialog_helper(), nullptr);
}

TEST_F(DialogHelperTest, CancelLeavesRecordAlone) {
    Record rec{"P1", 0.1f, 0, false};
    ExampleDialog proc(rec);
    script().once("EXAMPLE_DIALOG", [](HeadlessDialog& d) {
        d.type(NAME, "Q");
        d.press(IDCANCEL);
    });
    EXPECT_EQ(run_dialog(EXAMPLE_DIALOG, proc), IDCANCEL);
    EXPECT_EQ(rec.name, "P1");
    // No handler: the dialog is cancelled rather than left hanging.
    EXPECT_EQ(run_dialog(EXAMPLE_DIALOG, proc), IDCANCEL);
    EXPECT_EQ(script().runs("EXAMPLE_DIALOG"), 2);
}

struct ThrowingDialog : DialogProc {
    std::string init_text, ok_text;
    bool init_throws = false;
    int ok_calls = 0;
    void init(Dialog&) override {
        if (init_throws) dialog_throw(NAME, init_text);
    }
    bool ok(Dialog&) override {
        ++ok_calls;
        if (ok_calls == 1) dialog_throw(DENSITY_FIELD, ok_text);
        return true;
    }
};

TEST_F(DialogHelperTest, EmptyThrownTextIsSilent) {
    ThrowingDialog proc;
    script().on("EXAMPLE_DIALOG", [](HeadlessDialog& d) {
        d.press(IDOK);
        EXPECT_FALSE(d.ended());   // silent, but still a failed check
        d.press(IDOK);
    });
    EXPECT_EQ(run_dialog(EXAMPLE_DIALOG, proc), IDOK);
    EXPECT_EQ(proc.ok_calls, 2);
    EXPECT_TRUE(script().messages().empty());

    // A failing init closes the dialog; silently when the text is empty.
    proc.init_throws = true;
    EXPECT_EQ(run_dialog(EXAMPLE_DIALOG, proc), IDCANCEL);
    EXPECT_TRUE(script().messages().empty());
    proc.init_text = "No materials defined";
    EXPECT_EQ(run_dialog(EXAMPLE_DIALOG, proc), IDCANCEL);
    EXPECT_EQ(script().messages(), std::vector<std::string>{"No materials defined"});
}

TEST_F(DialogHelperTest, CellRecordsAreShownByTheirMessage) {
    struct CellDialog : DialogProc {
        int kind = 0;
        void command(Dialog&, int id, int) override {
            if (id != MORE) return;
            if (kind == 0) throw CI{"Length is required", 2};
            if (kind == 1) throw MsgCmd{"Open the row", 113};
            throw MsgColCmd{"Both", 1, 2};
        }
    } proc;
    script().on("EXAMPLE_DIALOG", [&](HeadlessDialog& d) {
        for (proc.kind = 0; proc.kind < 3; ++proc.kind) d.press(MORE);
        d.press(IDOK);
    });
    EXPECT_EQ(run_dialog(EXAMPLE_DIALOG, proc), IDOK);
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Length is required", "Open the row", "Both"}));
}

TEST_F(DialogHelperTest, NestedDialogRestoresOuterHelper) {
    Record outer{"OUT", 0, 0, false}, inner{"IN", 0, 0, false};
    ExampleDialog outer_proc(outer), inner_proc(inner);
    DialogHelper* outer_helper = nullptr;
    DialogHelper* inner_helper = nullptr;
    outer_proc.on_more = [&] {
        outer_helper = current_dialog_helper();
        dialog_get_text(NAME);
        EXPECT_EQ(item_text(), "OUT");
        run_dialog(EXAMPLE_DIALOG, inner_proc);
        // Back in the outer dialog: its helper is current and reads its fields.
        EXPECT_EQ(current_dialog_helper(), outer_helper);
        dialog_get_text(NAME);
        EXPECT_EQ(item_text(), "OUT");
    };
    inner_proc.on_more = [&] { inner_helper = current_dialog_helper(); };
    script().once("EXAMPLE_DIALOG", [](HeadlessDialog& d) {
        d.press(MORE);
        d.type(DENSITY_FIELD, "1");
        d.press(IDOK);
    });
    script().once("EXAMPLE_DIALOG", [](HeadlessDialog& d) {
        d.press(MORE);
        d.type(NAME, "IN2");
        d.type(DENSITY_FIELD, "2");
        d.press(IDOK);
    });
    EXPECT_EQ(run_dialog(EXAMPLE_DIALOG, outer_proc), IDOK);
    ASSERT_NE(outer_helper, nullptr);
    ASSERT_NE(inner_helper, nullptr);
    EXPECT_NE(outer_helper, inner_helper);
    EXPECT_EQ(inner.name, "IN2");
    EXPECT_EQ(outer.name, "OUT");
    EXPECT_FLOAT_EQ(outer.density, 1.0f);
    EXPECT_EQ(current_dialog_helper(), nullptr);
}

TEST_F(DialogHelperTest, ReadingLimitsAndNormalisesText) {
    struct Reader : DialogProc {
        std::string got_text, got_trimmed, got_raw, got_unit;
        void init(Dialog&) override {
            dialog_set_text(NAME, "  ab c" + std::string(50, 'x'));
            dialog_get_text(NAME);
            got_text = item_text();
            dialog_set_text(NAME, "  ab c  ");
            dialog_get_trimmed(NAME);
            got_trimmed = item_text();
            got_raw = dialog_get_text_raw(NAME, 5);
            unit_choice()[DIMENSION] = 1;
            dialog_set_unit_label(DENSITY_UNIT, DIMENSION);
            got_unit = dialog_get_text_raw(DENSITY_UNIT, 40);
            reset_unit_choice();
        }
    } proc;
    run_dialog(EXAMPLE_DIALOG, proc);
    // 39 characters are read, then blanks go: 36 remain.
    EXPECT_EQ(proc.got_text, "ABC" + std::string(33, 'X'));
    EXPECT_EQ(proc.got_trimmed, "ab c");
    EXPECT_EQ(proc.got_raw, "  ab");
    EXPECT_EQ(proc.got_unit, "(mm)");
    // Outside a dialog the helper calls do nothing.
    dialog_set_text(NAME, "x");
    dialog_get_text(NAME);
    EXPECT_EQ(item_text(), "");
    EXPECT_EQ(dialog_list_selection(KIND), -1);
}

TEST_F(DialogHelperTest, PlacementCentresOrUsesGraphicsPoint) {
    WindowId frame = hb->create_frame("KorvaneGraphics", "Graphics", nullptr);
    set_graphics_dialog_point(frame, Point{300, 200});
    struct Placer : DialogProc {
        void init(Dialog& d) override { place_dialog(d, true); }
    } proc;
    Point where{};
    int pointer = 0;
    script().on("EXAMPLE_DIALOG", [&](HeadlessDialog& d) {
        where = d.position();
        pointer = d.pointer_item();
    });
    run_dialog(EXAMPLE_DIALOG, proc, frame);
    EXPECT_EQ(where, (Point{300, 200}));
    EXPECT_EQ(pointer, IDOK);
    WindowId other = hb->create_frame("KorvaneLayout", "Layout", nullptr);
    run_dialog(EXAMPLE_DIALOG, proc, other);
    EXPECT_NE(where, (Point{300, 200}));   // centred over the other frame instead
    set_graphics_dialog_point(0, Point{});
}

TEST_F(DialogHelperTest, PropertySheetPagesAreGuarded) {
    Record a{"A", 0, 0, false}, b{"B", 0, 0, false};
    ExampleDialog pa(a), pb(b);
    PropertySheet sheet;
    init_property_pages(sheet, 2);
    set_property_page(sheet, 0, EXAMPLE_DIALOG, pa);
    set_property_page(sheet, 1, EXAMPLE_DIALOG, pb);
    set_property_page(sheet, 5, EXAMPLE_DIALOG, pb);   // out of range: ignored
    init_property_sheet(sheet, 0, "Options", 1);
    script().on_sheet("Options", [](HeadlessSheet& s) {
        EXPECT_EQ(s.current_page(), 1);
        s.page(0).type(DENSITY_FIELD, "1");
        s.page(1).type(DENSITY_FIELD, "x");
        s.press_ok();
        EXPECT_FALSE(s.ended());
        EXPECT_EQ(s.page(1).focused(), DENSITY_FIELD);
        s.page(1).type(DENSITY_FIELD, "2");
        s.page(1).press(IDOK);
        EXPECT_TRUE(s.ended());
    });
    EXPECT_EQ(run_property_sheet(sheet), IDOK);
    EXPECT_EQ(script().messages(), std::vector<std::string>{"Density =  X  is invalid"});
    EXPECT_FLOAT_EQ(a.density, 1.0f);
    EXPECT_FLOAT_EQ(b.density, 2.0f);
    // A sheet with an empty page is refused rather than run.
    init_property_pages(sheet, 1);
    EXPECT_EQ(run_property_sheet(sheet), IDCANCEL);
}

// A direction typed into three fields: each component must read, and not all
// three may be zero; the failing field keeps the focus and nothing is stored.
TEST_F(DialogHelperTest, ReadDirectionChecksEachComponentThenTheWhole) {
    enum : int { DX = 1305, DY = 1306, DZ = 1307 };
    static const DialogTemplate DIRECTION_DIALOG = {"DIRECTION_DIALOG", "Direction", {
        {DX, ControlKind::Edit, "X comp", 0, 0},
        {DY, ControlKind::Edit, "Y comp", 1, 0},
        {DZ, ControlKind::Edit, "Z comp", 2, 0},
        {IDOK, ControlKind::Button, "OK", 3, 0, 1, 0, 0, CF_DEFAULT}}};
    struct DirectionDialog : DialogProc {
        float x = 9, y = 9, z = 9;
        bool ok(Dialog&) override {
            read_direction(DX, x, y, z);
            return true;
        }
    } proc;
    std::vector<int> focus;
    script().once("DIRECTION_DIALOG", [&](HeadlessDialog& d) {
        d.type(DX, "1");
        d.type(DY, "north");
        d.press(IDOK);
        focus.push_back(d.focused());
        d.type(DY, "1 5");   // not 15
        d.press(IDOK);
        focus.push_back(d.focused());
        d.type(DY, "0");
        d.type(DX, " 0 ");
        d.press(IDOK);
        focus.push_back(d.focused());
        d.type(DZ, "-0.5");
        d.press(IDOK);
    });
    EXPECT_EQ(run_dialog(DIRECTION_DIALOG, proc), IDOK);
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"Y comp =  NORTH  is invalid",
                                                             "Y comp =  1 5  is invalid", "Direction is invalid"}));
    EXPECT_EQ(focus, (std::vector<int>{DY, DY, DX}));
    EXPECT_EQ(proc.x, 0.0f);
    EXPECT_EQ(proc.y, 0.0f);
    EXPECT_EQ(proc.z, -0.5f);
}

}  // namespace
