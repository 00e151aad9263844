// The flange qualification window on the scripted backend: File New takes
// the list window and Close gives it back, the input sheet's checks in order
// with their texts and focused fields, the 1e-5 rule, Analyze with its save
// question, the "Flange Stresses Report" before and after Analyze (window
// lines and text report), Save As cancelled, and files that cannot be read
// changing nothing.
#include "framework/errors.h"
#include "qualification/flange.h"
#include "qualification/lug.h"
#include "qualification/nozzle.h"
#include "qualification/qualification_program_fixture.h"
#include "qualification/window_export.h"
#include "qualification/ui/flange_ui.h"
#include "qualification/ui/qualification_dialogs.h"

#include <cstring>
#include <algorithm>
#include <filesystem>
#include <utility>
#include <limits>


namespace {

class FlangeQualificationWindowTest : public QualificationProgramTest {
protected:
    // The sheet answered by `handler` (the sheet is then cancelled if still open).
    void with_sheet(const std::function<void(HeadlessSheet&)>& handler)
    {
        script().once_sheet("Flange Qualification", [handler](HeadlessSheet& s) {
            handler(s);
            if (!s.ended())
                s.press_cancel();
        });
        ASSERT_TRUE(command(CMD_FLANGE_EDIT));
    }
};

}  // namespace

TEST_F(FlangeQualificationWindowTest, NewTakesTheListWindowAndCloseGivesItBack)
{
    unit_choice()[LENGTH] = 1;
    start_new(NEW_KIND_FLANGE);
    ASSERT_TRUE(qualification_mode_is(QualificationKind::Flange));
    EXPECT_TRUE(in_qualification_mode());
    EXPECT_FALSE(main().visible);
    EXPECT_TRUE(list().visible);
    EXPECT_TRUE(list().menu.contains(CMD_FLANGE_ANALYZE));
    EXPECT_TRUE(list().menu.contains(CMD_FLANGE_EDIT));
    EXPECT_FALSE(list().menu.contains(CMD_LIST));
    ASSERT_NE(hb->accelerator_table(), nullptr);
    EXPECT_EQ(hb->accelerator_table()->name, "FLANGE_ACCEL");
    EXPECT_EQ(hb->accelerator_table()->command_for('E', MOD_CONTROL), CMD_FLANGE_EDIT);
    EXPECT_NE(list().title.find("Flange Qualification"), std::string::npos) << list().title;
    EXPECT_NE(list().title.find("[Untitled]"), std::string::npos) << list().title;
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(list_window_table(), &flange_stresses_table());
    ASSERT_FALSE(flange_stresses_table().lines().empty());
    EXPECT_EQ(flange_stresses_table().lines().back().text, "Allowable Pressure = 665 (psi)");
    EXPECT_EQ(flange_stresses_table().title, "Flange Stresses Report");

    // Changed: Cancel keeps the mode, No leaves it.
    flange_qualification().input.t = 2.5f;
    model_modified() = true;
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    ASSERT_TRUE(command(CMD_CLOSE));
    EXPECT_TRUE(qualification_mode_is(QualificationKind::Flange));
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    ASSERT_TRUE(command(CMD_CLOSE));
    EXPECT_FALSE(qualification_mode_active());
    EXPECT_FALSE(in_qualification_mode());
    EXPECT_TRUE(main().visible);
    EXPECT_TRUE(list().menu.contains(CMD_LIST));
    EXPECT_FALSE(list().menu.contains(CMD_FLANGE_ANALYZE));
    EXPECT_EQ(current_accelerator_frame(), &main_frame());
    EXPECT_EQ(current_unit(LENGTH), 1);
    EXPECT_FALSE(model_modified());
}

TEST_F(FlangeQualificationWindowTest, SheetRefusesEachValueInOrder)
{
    start_new(NEW_KIND_FLANGE);
    struct Case {
        int page, edit;
        const char* text;
        const char* message;   // the start of the message
        int type = -1;         // a flange type chosen first
        int focus = 0;         // the field focused, when not the one typed
    };
    const Case cases[] = {
        {0, 1, "0", "Flange Outside Dia. =  0  is invalid"},
        {0, 1, "abc", "Flange Outside Dia. =  ABC  is invalid"},
        {0, 1, "30", "Flange Outside Dia. =  30  is invalid: it must exceed the Flange Inside Dia. [B]"},
        {0, 2, "", "Flange Inside Dia. =    is invalid"},
        {0, 3, "0", "Reverse Flange Inside Dia =  0  is invalid", FLANGE_REVERSE},
        {0, 3, "39.5", "Flange Outside Dia. =  39.1250  is invalid: it must exceed the Inside Dia of Reverse Flange [B']",
         FLANGE_REVERSE, 1},
        {0, 4, "0", "Flange Thickness =  0  is invalid"},
        {0, 5, "0", "Small End Hub Thk. =  0  is invalid"},
        {0, 6, "0", "Large End Hub Thk. =  0  is invalid"},
        {0, 6, "0.25", "Large End Hub Thk. =  0.25  is invalid: it must not be less than the Small End Hub Thk. [g0]"},
        {0, 7, "-1", "Hub Length =  -1  is invalid"},
        {0, 8, "0", "Flange All. Design Temp. =  0  is invalid"},
        {0, 9, "0", "Flange All. Ref. Temp. =  0  is invalid"},
        {0, 10, "0", "Flange Modulus @ Design Temp. =  0  is invalid"},
        {0, 11, "x", "Flange Modulus @ Ref. Temp. =  X  is invalid"},
        {1, 1, "0", "Bolt Circle Diameter =  0  is invalid"},
        {1, 2, "0", "Number of Bolts =  0  is invalid"},
        {1, 4, "0", "Bolt All. Design Temp. =  0  is invalid"},
        {1, 5, "0", "Bolt All. Ref. Temp. =  0  is invalid"},
        {1, 6, "0", "Gasket Outer Diameter =  0  is invalid"},
        {1, 7, "0", "Gasket Inner Diameter =  0  is invalid"},
        {1, 6, "33", "Gasket Outer Diameter =  33  is invalid: it must not be less than the Gasket Inner Diameter"},
        {1, 8, "-1", "Leak Pressure Ratio =  -1  is invalid"},
        {1, 9, "-1", "Gasket Seating Stress =  -1  is invalid"},
        {1, 10, "0", "Facing Sketch should be > 0 and < 6"},
        {1, 10, "6", "Facing Sketch should be > 0 and < 6"},
        {1, 11, "0", "Facing Column should be > 0 and <= 2"},
        {1, 11, "3", "Facing Column should be > 0 and <= 2"},
        {2, 1, "-1", "Design Pressure =  -1  is invalid"},
        {2, 2, "-1", "Design Temperature =  -1  is invalid"},
        {2, 3, "-1", "Axial Force =  -1  is invalid"},
        {2, 4, "-1", "Bending Moment =  -1  is invalid"},
        {2, 5, "x", "Allowable Pressure =  X  is invalid"},
    };
    const FlangeInput before = flange_qualification().input;
    for (const Case& c : cases) {
        std::string message;
        int focused = 0;
        with_sheet([&](HeadlessSheet& s) {
            if (c.type >= 0)
                s.page(0).select(QUAL_LIST, c.type);
            s.show_page(c.page);
            s.page(c.page).type(qual_edit(c.edit), c.text);
            s.press_ok();
            message = script().last_message();
            focused = s.page(c.page).focused();
        });
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << "page " << c.page << " edit " << c.edit << ": " << message;
        EXPECT_EQ(focused, qual_edit(c.focus != 0 ? c.focus : c.edit)) << c.message;
        EXPECT_EQ(flange_qualification().input, before) << "nothing stored: " << c.message;
    }
    // A hub length of 0 is accepted.
    with_sheet([](HeadlessSheet& s) {
        s.page(0).type(qual_edit(7), "0");
        s.press_ok();
    });
    EXPECT_EQ(flange_qualification().input.h, 0.0f);
}

TEST_F(FlangeQualificationWindowTest, SheetStoresOnlyChangesAboveTheTolerance)
{
    start_new(NEW_KIND_FLANGE);
    flange_qualification().calculated = true;
    model_modified() = false;
    // The B' field follows the type list.
    with_sheet([](HeadlessSheet& s) {
        EXPECT_FALSE(s.page(0).is_enabled(qual_edit(3)));
        s.page(0).select(QUAL_LIST, FLANGE_REVERSE);
        EXPECT_TRUE(s.page(0).is_enabled(qual_edit(3)));
        s.page(0).select(QUAL_LIST, FLANGE_OPTIONAL);
        EXPECT_FALSE(s.page(0).is_enabled(qual_edit(3)));
    });
    // Cancel after changes copies nothing.
    with_sheet([](HeadlessSheet& s) {
        s.page(1).type(qual_edit(8), "4.5");
        s.press_cancel();
    });
    EXPECT_EQ(flange_qualification().input.m, 3.0f);
    EXPECT_FALSE(model_modified());
    EXPECT_TRUE(flange_qualification().calculated);
    // A change of a real smaller than 1e-5 is none.
    with_sheet([](HeadlessSheet& s) {
        s.page(1).type(qual_edit(8), "3.000001");
        s.press_ok();
    });
    EXPECT_FALSE(model_modified());
    EXPECT_TRUE(flange_qualification().calculated);
    // A real change, and the bolt size sets the bolt diameter.
    with_sheet([](HeadlessSheet& s) {
        s.page(1).type(qual_edit(8), "3.25");
        s.page(1).select(QUAL_LIST, 6);
        s.press_ok();
    });
    EXPECT_TRUE(model_modified());
    EXPECT_FALSE(flange_qualification().calculated);
    EXPECT_EQ(flange_qualification().input.m, 3.25f);
    EXPECT_EQ(flange_qualification().input.bolt_size, 6);
    EXPECT_EQ(flange_qualification().input.bolt_diameter, 1.25f);
    // The report shows the new values.
    const std::vector<ReportLine>& lines = flange_stresses_table().lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), ReportLine{QLINE_TEXT, "Leak Pressure Ratio [m] = 3.25"}),
              lines.end());
}

TEST_F(FlangeQualificationWindowTest, AnalyzeAsksToSaveAndPrintsTheReport)
{
    start_new(NEW_KIND_FLANGE);
    model_modified() = true;   // a changed joint
    // No: nothing is evaluated.
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    ASSERT_TRUE(command(CMD_FLANGE_ANALYZE));
    EXPECT_FALSE(flange_qualification().calculated);
    // Yes on an untitled joint: Save As, then the evaluation.
    const std::string file = path("joint.flg");
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    script().answer_file(file);
    ASSERT_TRUE(command(CMD_FLANGE_ANALYZE));
    EXPECT_EQ(bytes(file).size(), FLANGE_FILE_SIZE);
    EXPECT_TRUE(flange_qualification().calculated);
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(script().runs("INFO_DIALOG"), 2);   // "Flange Qualification file saved", then:
    EXPECT_EQ(script().last_message(), "Flange Analyzed");
    EXPECT_NE(list().title.find("[joint.flg ("), std::string::npos) << list().title;
    EXPECT_EQ(report_file_path(), std::optional<std::string>(path("joint.txt")));
    expect_golden_file("qualification", "flange_window.txt", joined(window_texts(flange_stresses_table())));

    // Print to a text file: the report under the file's name with "txt".
    script().once("PRINT_DIALOG", [](HeadlessDialog& d) {
        d.press(PRINT_TO_TEXT);
        d.press(IDOK);
    });
    script().answer_file(path("joint.txt"));
    ASSERT_TRUE(command(CMD_PRINT));
    const std::string text = bytes(path("joint.txt"));
    expect_golden_file("qualification", "flange_analyzed.txt", text);
    EXPECT_NE(text.find("Calculated   Allowed   Ratio   Status"), std::string::npos);

    // Units: the report in the new units, the evaluation kept.
    script().once("UNITS_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    ASSERT_TRUE(command(CMD_UNITS));
    EXPECT_TRUE(flange_qualification().calculated);
}

TEST_F(FlangeQualificationWindowTest, GoldenReportBeforeAnalyze)
{
    start_new(NEW_KIND_FLANGE);
    expect_golden_file("qualification", "flange_input.txt", text_report(write_flange_report));
    // New after an analysed joint shows the defaults without results.
    flange_qualification().calculated = true;
    flange_qualification().results = analyze_flange(flange_qualification().input);
    script().once("NEW_DIALOG", [](HeadlessDialog& d) {
        d.press(new_choice_radio(NEW_KIND_FLANGE));
        d.press(IDOK);
    });
    ASSERT_TRUE(command(CMD_NEW));
    EXPECT_TRUE(qualification_mode_is(QualificationKind::Flange));
    EXPECT_FALSE(flange_qualification().calculated);
}

TEST_F(FlangeQualificationWindowTest, SaveAsCancelledAnswersCancel)
{
    start_new(NEW_KIND_FLANGE);
    model_modified() = true;   // a changed joint
    // Close asks; Yes goes to Save As, which is cancelled: the joint stays.
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    script().answer_file(std::nullopt);
    ASSERT_TRUE(command(CMD_CLOSE));
    EXPECT_TRUE(qualification_mode_is(QualificationKind::Flange));
    EXPECT_TRUE(model_modified());
    // A file that cannot be written (its folder is missing; a folder stands
    // where it would be renamed to): a message, and the flag stays.
    for (const auto& [bad, reason] : {std::pair{path("missing/joint.flg"), "No such file or directory."},
                                      std::pair{path("folder.flg"), "Is a directory."}}) {
        std::filesystem::create_directories(path("folder.flg"));
        script().answer_file(bad);
        ASSERT_TRUE(command(CMD_SAVE_AS));
        EXPECT_EQ(script().last_message(), std::string("Unable to write flange data file\n") + reason) << bad;
        EXPECT_TRUE(model_modified());
        EXPECT_TRUE(qualification_file_path(QualificationKind::Flange).empty());
    }
    EXPECT_TRUE(std::filesystem::is_directory(path("folder.flg")));
    // Save and Save As of the menu save.
    const std::string saved = path("saved.flg");
    script().answer_file(saved);
    ASSERT_TRUE(command(CMD_SAVE_AS));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(qualification_file_path(QualificationKind::Flange), saved);
    flange_qualification().input.t = 2.5f;
    model_modified() = true;
    ASSERT_TRUE(script().key(list_frame().window, 'S', MOD_CONTROL));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(read_flange_file(saved).input.t, 2.5f);
}

TEST_F(FlangeQualificationWindowTest, FileUnitsAppliedAndGivenBack)
{
    unit_choice()[STRESS] = 0;
    UnitChoices file_units{};
    file_units[STRESS] = 1;
    file_units[DIMENSION] = 1;
    const std::string file = path("si.flg");
    FlangeInput in;
    in.t = 2.25f;
    write_flange_file(file, in, file_units);
    open_by_extension(file);
    ASSERT_TRUE(qualification_mode_is(QualificationKind::Flange));
    EXPECT_FALSE(model_modified());
    EXPECT_EQ(flange_qualification().input.t, 2.25f);
    EXPECT_EQ(current_unit(STRESS), 1);
    EXPECT_EQ(current_unit(DIMENSION), 1);
    EXPECT_EQ(qualification_file_path(QualificationKind::Flange), file);
    // Saving writes the units in force; leaving gives the user's back.
    ASSERT_TRUE(command(CMD_SAVE));
    EXPECT_EQ(read_flange_file(file).units, unit_choice());
    ASSERT_TRUE(command(CMD_CLOSE));
    EXPECT_EQ(current_unit(STRESS), 0);
    EXPECT_EQ(current_unit(DIMENSION), 0);
}

TEST_F(FlangeQualificationWindowTest, FilesThatCannotBeReadChangeNothing)
{
    // In the flange mode with a file of its own and units of the file.
    UnitChoices file_units{};
    file_units[LENGTH] = 2;
    const std::string own = path("own.flg");
    FlangeInput mine;
    mine.C = 36.5f;
    write_flange_file(own, mine, file_units);
    open_by_extension(own);
    ASSERT_TRUE(qualification_mode_is(QualificationKind::Flange));
    flange_qualification().input.t = 3.0f;   // an unsaved change
    model_modified() = true;
    const FlangeInput before = flange_qualification().input;
    const UnitChoices units_before = unit_choice();

    // Each kind of file, each kind of damage.
    std::string good_flg, good_lug, good_noz;
    write_flange_file(path("g.flg"), FlangeInput{}, UnitChoices{});
    write_lug_file(path("g.lug"), LugInput{}, UnitChoices{});
    write_nozzle_file(path("g.noz"), NozzleEvaluation{}, UnitChoices{});
    good_flg = bytes(path("g.flg"));
    good_lug = bytes(path("g.lug"));
    good_noz = bytes(path("g.noz"));
    auto damaged = [](std::string b, std::size_t at, const void* value, std::size_t n) {
        std::memcpy(b.data() + at, value, n);
        return b;
    };
    const int32_t nine = 9, minus = -1;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Bad {
        const char* name;
        std::string bytes;
        const char* says;
    };
    const Bad files[] = {
        {"magic.flg", damaged(good_flg, 11, "5", 1), "Unable to read flange qualification file"},
        {"short.flg", good_flg.substr(0, 100), "ends too early"},
        {"type.flg", damaged(good_flg, 16, &nine, 4), "Flange type holds 9"},
        {"unit.flg", damaged(good_flg, 132 + 4, &minus, 4), "unit choice of quantity 2"},
        {"nan.flg", damaged(good_flg, 24, &nan, 4), "Flange inside diameter is not a finite number"},
        {"short.lug", good_lug.substr(0, 303), "ends too early"},
        {"code.lug", damaged(good_lug, 16, &nine, 4), "Lug evaluation code holds 9"},
        {"v811.noz", damaged(good_noz, 11, "811", 3), "Version = 8.11"},
        {"v700.noz", damaged(good_noz, 11, "700", 3), "Version = 7.00"},
        {"case.noz", damaged(good_noz, 69, &nine, 4), "Load case holds 9"},
    };
    // The changed data set is kept through the save question (No).
    script().on("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    for (const Bad& b : files) {
        write_bytes(path(b.name), b.bytes);
        open_by_extension(path(b.name));
        const std::string m = script().last_message();
        EXPECT_NE(m.find(path(b.name)), std::string::npos) << b.name << ": " << m;
        EXPECT_NE(m.find(b.says), std::string::npos) << b.name << ": " << m;
        EXPECT_TRUE(qualification_mode_is(QualificationKind::Flange)) << b.name;
        EXPECT_EQ(flange_qualification().input, before) << b.name;
        EXPECT_EQ(qualification_file_path(QualificationKind::Flange), own) << b.name;
        EXPECT_EQ(unit_choice(), units_before) << b.name;
        EXPECT_TRUE(model_modified()) << b.name;
    }
}

TEST_F(FlangeQualificationWindowTest, DiagnosticTrace)
{
    start_new(NEW_KIND_FLANGE);
    set_debug_output(true);
    testing::internal::CaptureStderr();
    analyze_flange(flange_qualification().input);
    const std::string trace = testing::internal::GetCapturedStderr();
    set_debug_output(false);
    for (const char* start : {"Am = ", "HD = ", "hD = ", "Mo = ", "K = ", "F = ", "Ur = ", "d = ", "SH = ",
                              "GSH = ", "Ki = ", "J(Oper) = "})
        EXPECT_NE(trace.find(std::string("\n") + start), std::string::npos) << start;
    EXPECT_EQ(trace.rfind("G = 34.792893, wm1 = ", 0), 0u) << trace.substr(0, 80);
}

TEST_F(FlangeQualificationWindowTest, ExportWritesTheReportAsTheWindowShowsIt)
{
    // The export of the analysed joint's report (the mode's File menu has
    // no Export; its table's export is the window's): every line of the
    // window, the stress rows' values, ratios and statuses cells of their
    // own under their heading's cells.
    start_new(NEW_KIND_FLANGE);
    flange_qualification().calculated = true;
    flange_qualification().results = analyze_flange(flange_qualification().input);
    refresh_flange_report();
    script().resize(list_frame().window, 1600, 6000);
    const std::string file = path("flange.csv");
    script().answer_file(file);
    ASSERT_TRUE(flange_stresses_table().export_csv(list_frame().window));
    const std::string csv = bytes(file);
    window_export::expect_export_shows_the_window(csv, flange_stresses_table(), script().paint(list_frame().client));
    const std::vector<std::string> heading = window_export::row_holding(csv, "Calculated");
    ASSERT_FALSE(heading.empty()) << csv;
    EXPECT_EQ(heading.front(), "");
    EXPECT_EQ(window_export::index_of(heading, "Status"), 4u);
}
