// The lug evaluation window on the scripted backend: LUG_EVAL's checks in
// order with their texts and focused fields, its labels and lists by code and
// attachment, what it stores, Ctrl+E, and the report of rectangular and
// hollow lugs by ASME and EN before and after Analyze.
#include "qualification/qualification_program_fixture.h"
#include "qualification/window_export.h"
#include "qualification/ui/lug_ui.h"
#include "qualification/ui/qualification_dialogs.h"

namespace {

// The loads' edits: set s (0 sustained, 1 occasional, 2 thermal, 3
// settlement, 4 maxima), load j (W, Q1, Q2, MT, MN, ML).
int load(int s, int j) { return LUG_FIRST_LOAD + 6 * s + j; }

class LugEvaluationWindowTest : public QualificationProgramTest {
protected:
    void SetUp() override
    {
        QualificationProgramTest::SetUp();
        start_new(NEW_KIND_LUG);
        ASSERT_TRUE(qualification_mode_is(QualificationKind::Lug));
    }
    // A valid rectangular lug on a 10 in. pipe (the settlement loads by the
    // ASME codes only).
    static void fill_rectangular(HeadlessDialog& d, bool asme = true)
    {
        d.type(qual_edit(1), "10.75");
        d.type(qual_edit(2), "0.5");
        d.type(qual_edit(3), "1");
        d.type(qual_edit(4), "1.5");
        const char* stresses[8] = {"5000", "8000", "7000", "2000", "12000", "15000", "22500", "30000"};
        for (int k = 0; k < 8; ++k)
            d.type(qual_edit(5 + k), stresses[k]);
        const char* sus[6] = {"500", "100", "-200", "300", "-800", "1000"};
        const char* occ[6] = {"250", "-60", "40", "100", "700", "-500"};
        const char* th[6] = {"-1000", "50", "75", "-400", "1500", "2000"};
        const char* set[6] = {"100", "20", "30", "50", "-300", "400"};
        const char* mx[6] = {"1500", "160", "275", "700", "2300", "3000"};
        for (int j = 0; j < 6; ++j) {
            d.type(load(0, j), sus[j]);
            d.type(load(1, j), occ[j]);
            d.type(load(2, j), th[j]);
            if (asme)
                d.type(load(3, j), set[j]);
            d.type(load(4, j), mx[j]);
        }
    }
    // Runs LUG_EVAL with the handler (cancelled when it is still open).
    void with_dialog(const std::function<void(HeadlessDialog&)>& handler)
    {
        script().once("LUG_EVAL", [handler](HeadlessDialog& d) {
            handler(d);
            if (!d.ended())
                d.press(IDCANCEL);
        });
        // Ctrl+E opens the input.
        ASSERT_TRUE(script().key(list_frame().window, 'E', MOD_CONTROL));
    }
    void store_rectangular(int32_t code)
    {
        with_dialog([code](HeadlessDialog& d) {
            d.select(QUAL_LIST, code);
            fill_rectangular(d);
            d.press(IDOK);
        });
        ASSERT_FALSE(lug_qualification().input.Do == 0.0f) << script().last_message();
    }
};

}  // namespace

TEST_F(LugEvaluationWindowTest, DialogRefusesEachValueInOrder)
{
    struct Case {
        const char* setup;   // "hollow", "en" or ""
        int item;
        const char* text;
        const char* message;
        int focus = 0;
        const char* item2 = nullptr;   // a second field typed for a limit
        int second = 0;
    };
    const Case cases[] = {
        {"", qual_edit(1), "", "Outside Diameter of Run Pipe is required"},
        {"", qual_edit(1), "0.0001", "Outside Diameter of Run Pipe =  0.0001  is invalid"},
        {"", qual_edit(2), "", "Nominal Wall Thickness of Run Pipe is required"},
        {"", qual_edit(2), "0.00001", "Nominal Wall Thickness of Run Pipe =  0.00001  is invalid"},
        {"", qual_edit(3), "", "Half Length (L1) is required"},
        {"", qual_edit(4), "0.0005", "Half Length (L2) =  0.0005  is invalid"},
        {"", qual_edit(5), "-1", "Sustained Stress at Run Pipe (Eq.8) =  -1  is invalid"},
        {"", qual_edit(12), "x", "Yield Strength (sy) =  X  is invalid"},
        {"", load(0, 0), "x", "Sustained - Thrust Load (W) =  X  is invalid"},
        {"", load(1, 2), "x", "Occasional - Circumferential Shear Load (Q2) =  X  is invalid"},
        {"", load(2, 3), "x", "Thermal - Tosional Moment (MT) =  X  is invalid"},
        {"", load(3, 5), "x", "Longitudinal Moment (ML) =  X  is invalid"},
        {"", load(4, 4), "-5", "Circumferential Moment (MN**) =  -5  is invalid"},
        {"", qual_edit(3), "3", "L1/Ro should be <= 0.5. Ro = Mean Pipe Radius = (Pipe OD - Thk / 2.0)"},
        {"", qual_edit(4), "2.6", "L2/Ro should be <= 0.5. Ro = Mean Pipe Radius = (Pipe OD - Thk / 2.0)"},
        {"", qual_edit(3), "2", "B1.B2 should be <= 0.075", 0, "2", qual_edit(4)},
        {"", qual_edit(1), "200", "The stress indices of Y-3410 are not defined", qual_edit(3), nullptr, 0},
        {"hollow", qual_edit(3), "", "Outside Diameter of Attachment is required"},
        {"hollow", qual_edit(4), "0", "Nominal Wall Thickness of Attachment =  0  is invalid"},
        {"hollow", qual_edit(2), "0.1", "Run Pipe - Radius/Thickness should be between 4 and 50", qual_edit(1)},
        {"hollow", qual_edit(4), "0.05", "t/T should be between 0.2 and 1.0"},
        {"hollow", qual_edit(3), "3", "do/Do should be between 0.3 and 1.0"},
        {"en", qual_edit(13), "-1", "Creep Stress (fcr) =  -1  is invalid"},
    };
    const LugInput before = lug_qualification().input;
    for (const Case& c : cases) {
        std::string message;
        int focused = 0;
        with_dialog([&](HeadlessDialog& d) {
            const std::string setup = c.setup;
            if (setup == "en")
                d.select(QUAL_LIST, LUG_EN13480);
            fill_rectangular(d, setup != "en");
            if (setup == "en")
                d.type(qual_edit(13), "9000");
            if (setup == "hollow") {
                d.press(QUAL_RADIO2);
                d.type(qual_edit(3), "4.5");
                d.type(qual_edit(4), "0.337");
            }
            if (std::string(c.message).find("Y-3410") != std::string::npos) {
                // Do 200, T 1, L1 0.001, L2 40: within the dialog's limits, X <= 0.
                d.type(qual_edit(2), "1");
                d.type(qual_edit(3), "0.001");
                d.type(qual_edit(4), "40");
            }
            d.type(c.item, c.text);
            if (c.item2)
                d.type(c.second, c.item2);
            d.press(IDOK);
            message = script().last_message();
            focused = d.focused();
        });
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.message << " / " << message;
        EXPECT_EQ(focused, c.focus != 0 ? c.focus : c.item) << c.message;
        EXPECT_EQ(lug_qualification().input, before) << "nothing stored: " << c.message;
        EXPECT_FALSE(model_modified()) << c.message;
    }
}

TEST_F(LugEvaluationWindowTest, DialogFollowsCodeAndAttachment)
{
    with_dialog([](HeadlessDialog& d) {
        // ASME: the level list, the settlement loads, edit 1313 disabled.
        EXPECT_TRUE(d.is_shown(QUAL_LIST2));
        EXPECT_TRUE(d.is_shown(LUG_LEVEL_LABEL));
        EXPECT_FALSE(d.is_enabled(qual_edit(13)));
        EXPECT_TRUE(d.is_enabled(load(3, 0)));
        EXPECT_EQ(d.text(qual_label(8)), "Settlement Stress at Run Pipe (10a)");
        EXPECT_EQ(d.text(qual_label(3)), "Half Length of Attachment in Circumferential Direction (L1)");
        EXPECT_EQ(d.list_count(QUAL_LIST3), 3);
        // EN: no level, no settlement loads, fcr.
        d.select(QUAL_LIST, LUG_EN13480);
        EXPECT_FALSE(d.is_shown(QUAL_LIST2));
        EXPECT_FALSE(d.is_shown(LUG_LEVEL_LABEL));
        EXPECT_TRUE(d.is_enabled(qual_edit(13)));
        EXPECT_FALSE(d.is_enabled(load(3, 0)));
        EXPECT_EQ(d.text(qual_label(8)), "Thermal + Sustained Stress at Run Pipe (S4)");
        EXPECT_EQ(d.text(qual_label(9)), "Creep Stress at Run Pipe (S5)");
        EXPECT_EQ(d.text(qual_label(13)), "Creep Stress (fcr)");
        // Hollow: two welds, the attachment's diameter and wall.
        d.press(QUAL_RADIO2);
        EXPECT_EQ(d.list_count(QUAL_LIST3), 2);
        EXPECT_EQ(d.text(qual_label(3)), "Outside Diameter of Hollow Circular Attachment (od)");
        EXPECT_EQ(d.text(qual_label(4)), "Nominal Wall Thickness of Hollow Circular Attachment (thk)");
    });
    // Choosing a code and cancelling changes nothing.
    EXPECT_EQ(lug_qualification().input.code, LUG_ASME_NC);
    model_modified() = false;

    // EN stores no settlement loads and no ASME allowables.
    with_dialog([](HeadlessDialog& d) {
        fill_rectangular(d);
        d.select(QUAL_LIST, LUG_EN13480);
        fill_rectangular(d, false);
        d.type(qual_edit(13), "9000");
        d.press(IDOK);
    });
    const LugInput& in = lug_qualification().input;
    EXPECT_EQ(in.code, LUG_EN13480);
    EXPECT_EQ(in.settlement, LugLoads{});
    EXPECT_EQ(in.sh, 0.0f);
    EXPECT_EQ(in.fh, 15000.0f);
    EXPECT_EQ(in.fcr, 9000.0f);
    EXPECT_EQ(in.thermal_stress, 2000.0f);     // edit 1308 of EN is S4
    EXPECT_EQ(in.settlement_stress, 12000.0f); // and 1309 the creep stress S5
    EXPECT_EQ(in.sustained.MT, 3600.0f);   // 300 ft-lb
    EXPECT_EQ(in.sustained.ML, 12000.0f);
    EXPECT_TRUE(model_modified());

    // OK without a change: not modified, the evaluation kept.
    model_modified() = false;
    lug_qualification().analyzed = true;
    with_dialog([](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_FALSE(model_modified());
    EXPECT_TRUE(lug_qualification().analyzed);

    // Exact limits are accepted (hollow: Do/2T = 4, t/T = 0.2, do/Do = 0.3).
    with_dialog([](HeadlessDialog& d) {
        d.select(QUAL_LIST, LUG_ASME_ND);
        fill_rectangular(d);
        d.press(QUAL_RADIO2);
        d.type(qual_edit(1), "4");
        d.type(qual_edit(2), "0.5");
        d.type(qual_edit(3), "1.2");
        d.type(qual_edit(4), "0.1");
        d.press(IDOK);
    });
    EXPECT_EQ(lug_qualification().input.attachment, LUG_HOLLOW) << script().last_message();
}

TEST_F(LugEvaluationWindowTest, ReportsOfRectangularAndHollowLugs)
{
    store_rectangular(LUG_ASME_NC);
    expect_golden_file("qualification", "lug_rectangular_input.txt", text_report(write_lug_report));
    // Analyze asks to save the changed evaluation; the file is written.
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    script().answer_file(path("lug.lug"));
    ASSERT_TRUE(command(CMD_LUG_ANALYZE));
    ASSERT_TRUE(lug_qualification().analyzed);
    EXPECT_EQ(script().last_message(), "Input data saved");
    EXPECT_EQ(bytes(path("lug.lug")).size(), LUG_FILE_SIZE);
    expect_golden_file("qualification", "lug_rectangular_asme.txt", text_report(write_lug_report));
    expect_golden_file("qualification", "lug_rectangular_window.txt", joined(window_texts(lug_report_table())));

    // Hollow by EN 13480-3: no level line, no settlement loads.
    LugInput& in = lug_qualification().input;
    in.code = LUG_EN13480;
    in.attachment = LUG_HOLLOW;
    in.d_o = 4.5f;
    in.t = 0.337f;
    in.weld = 1;
    in.fh = 14000;
    in.fa = 21000;
    in.fcr = 9000;
    in.ReHt = 25000;
    refresh_lug_report();
    const std::string hollow = text_report(write_lug_report);
    EXPECT_EQ(hollow.find("Level: "), std::string::npos);
    EXPECT_EQ(hollow.find("Settlement"), std::string::npos);
    expect_golden_file("qualification", "lug_hollow_en.txt", hollow);

    // A change drops the evaluation from the report.
    with_dialog([](HeadlessDialog& d) {
        d.type(qual_edit(1), "10.5");
        d.press(IDOK);
    });
    EXPECT_FALSE(lug_qualification().analyzed);
    EXPECT_EQ(lug_report_table().lines().back().text, "");
    EXPECT_EQ(lug_report_table().lines()[lug_report_table().lines().size() - 2].text,
              "Longitudinal Moment applied to the Attachment (ML**):!3000 (ft-lb)");
}

TEST_F(LugEvaluationWindowTest, AllowableNotGivenIsMarkedUnderItsRow)
{
    store_rectangular(LUG_ASME_NC);
    lug_qualification().input.sa = 0.5f;   // below 1: not given
    lug_qualification().analyzed = true;
    refresh_lug_report();
    const std::vector<ReportLine>& lines = lug_report_table().lines();
    int marks = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].text != ALLOWABLE_NOT_GIVEN)
            continue;
        ++marks;
        EXPECT_EQ(lines[i - 1].kind, QLINE_CHECK);
        // The ratio shows 0.000.
        EXPECT_NE(lines[i - 1].text.find(" 0.000"), std::string::npos) << lines[i - 1].text;
    }
    EXPECT_EQ(marks, 1);   // Eq. 10 against sa; Eq. 11 has sa + sh
}

TEST_F(LugEvaluationWindowTest, ExportWritesTheReportAsTheWindowShowsIt)
{
    // The export of the evaluated lug: every line of the window, each
    // check row's label, values and ratio in cells of their own.
    store_rectangular(LUG_ASME_NC);
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    script().answer_file(path("lug.lug"));
    ASSERT_TRUE(command(CMD_LUG_ANALYZE));
    script().resize(list_frame().window, 1600, 6000);
    script().answer_file(path("lug.csv"));
    ASSERT_TRUE(lug_report_table().export_csv(list_frame().window));
    const std::string csv = bytes(path("lug.csv"));
    window_export::expect_export_shows_the_window(csv, lug_report_table(), script().paint(list_frame().client));
    EXPECT_FALSE(window_export::row_holding(csv, "Calculated").empty()) << csv;
}
