// The nozzle qualification window on the scripted backend: NOZZLE_QUAL's
// checks of both methods in order with their texts and focused fields, its
// layout by method and shell, what it stores, the 145-byte files of older
// versions, and the report: EN 13445-3 for a sphere, a cylinder and the
// condition a) stop; WRC 537 with synthetic curves and with the shipped
// curve store.
#include "qualification/qualification_program_fixture.h"
#include "qualification/window_export.h"
#include "qualification/ui/nozzle_ui.h"
#include "qualification/ui/qualification_dialogs.h"

#include <cstring>

namespace {

class NozzleQualificationWindowTest : public QualificationProgramTest {
protected:
    void SetUp() override
    {
        QualificationProgramTest::SetUp();
        start_new(NEW_KIND_NOZZLE);
        ASSERT_TRUE(qualification_mode_is(QualificationKind::Nozzle));
    }
    void with_dialog(const std::function<void(HeadlessDialog&)>& handler)
    {
        script().once("NOZZLE_QUAL", [handler](HeadlessDialog& d) {
            handler(d);
            if (!d.ended())
                d.press(IDCANCEL);
        });
        ASSERT_TRUE(script().key(list_frame().window, 'E', MOD_CONTROL));
    }
    static void fill_en(HeadlessDialog& d)
    {
        const char* values[12] = {"40", "0.5", "6.625", "0.28", "6.345", "0.5", "12", "0.9", "20000", "17000",
                                  "10000", "0.0625"};
        for (int k = 1; k <= 12; ++k)
            d.type(qual_edit(k), values[k - 1]);
    }
    static void fill_wrc(HeadlessDialog& d)
    {
        const char* values[17] = {"5000", "800", "-600", "20000", "-15000", "9000", "1", "60", "3.25", "0.5",
                                  "3",    "0.75", "10000", "2000", "30000", "",      ""};
        for (int k = 1; k <= 17; ++k)
            if (d.is_enabled(qual_edit(k)))
                d.type(qual_edit(k), values[k - 1]);
    }
    // The report's text form.
    static std::string report() { return text_report(write_nozzle_report); }
};

}  // namespace

TEST_F(NozzleQualificationWindowTest, DialogRefusesEachValueInOrder)
{
    struct Case {
        bool wrc;
        bool cylinder;
        int edit;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {false, false, 1, "", "Shell Radius/Shell Dia is required"},
        {false, false, 1, "0", "Shell Radius/Shell Dia =  0  is invalid"},
        {false, false, 2, "0.00001", "Shell Thickness =  0.00001  is invalid"},
        {false, false, 3, "", "Nozze OD is required"},
        {false, false, 3, "0", "Nozzle OD =  0  is invalid"},
        {false, false, 4, "0", "Nozzle Thickness =  0  is invalid"},
        {false, false, 5, "0", "Nozzle Mean Dia =  0  is invalid"},
        {false, false, 6, "", "Rein. Pad Thk is required"},
        {false, false, 7, "", "Rein. Pad OD is required"},
        {false, false, 8, "", "Combined Shell + Pad Thk is required"},
        {false, false, 8, "0", "Combined Shell + Pad Thk should be > 0"},
        {false, false, 8, "x", "Combined Shell + Pad Thk should be > 0"},
        {false, false, 9, "0", "Shell Design Stress =  0  is invalid"},
        {false, false, 10, "0", "Nozzle Design Stress =  0  is invalid"},
        {false, false, 11, "", "Pad Desing Stress is required"},
        {false, false, 12, "x", "Corrosion Allowance =  X  is invalid"},
        {true, false, 1, "x", "Radial Load (P) =  X  is invalid"},
        {true, true, 2, "x", "Shear Load (VC) =  X  is invalid"},
        {true, false, 4, "x", "Overturning Moment (M1) =  X  is invalid"},
        {true, true, 5, "x", "Longitudinal Moment (ML) =  X  is invalid"},
        {true, false, 7, "", "Vessel Thickness is required"},
        {true, false, 7, "0", "Vessel Thickness =  0  is invalid: it must be above 0"},
        {true, false, 8, "0", "Vessel Mean Radius =  0  is invalid"},
        {true, false, 9, "0", "Nozzle Outside Radius =  0  is invalid"},
        {true, false, 10, "", "Nozzle_Thk is required"},
        {true, false, 10, "0", "Nozzle Thickness =  0  is invalid"},
        {true, false, 11, "0", "Nozzle Mean Radius =  0  is invalid"},
        {true, false, 12, "", "Fillet Radius =    is invalid"},
        {true, false, 13, "x", "Pressure Stress =  X  is invalid"},
        {true, false, 14, "x", "Bending Stress at Shell =  X  is invalid"},
        {true, false, 15, "x", "Allowable Stress =  X  is invalid"},
        {true, false, 16, "-1", "Kn =  -1  Should be >= 1.00"},
        {true, false, 17, "x", "Kb =  X  Should be >= 1.00"},
    };
    const NozzleEvaluation before = nozzle_qualification().data;
    for (const Case& c : cases) {
        std::string message;
        int focused = 0;
        with_dialog([&](HeadlessDialog& d) {
            if (c.wrc)
                d.select(QUAL_LIST, NOZZLE_WRC537);
            if (c.cylinder)
                d.press(QUAL_RADIO2);
            c.wrc ? fill_wrc(d) : fill_en(d);
            d.type(qual_edit(c.edit), c.text);
            d.press(IDOK);
            message = script().last_message();
            focused = d.focused();
        });
        EXPECT_EQ(message.rfind(c.message, 0), 0u) << c.message << " / " << message;
        EXPECT_EQ(focused, qual_edit(c.edit)) << c.message;
        EXPECT_EQ(nozzle_qualification().data, before) << "nothing stored: " << c.message;
    }
}

TEST_F(NozzleQualificationWindowTest, DialogLayoutByMethodAndShell)
{
    with_dialog([](HeadlessDialog& d) {
        EXPECT_EQ(d.list_selection(QUAL_LIST), NOZZLE_EN13445);
        EXPECT_FALSE(d.is_shown(QUAL_LIST2));
        EXPECT_FALSE(d.is_shown(qual_edit(13)));
        EXPECT_EQ(d.text(qual_label(1)), "Mean Shell Radius [R]");
        d.press(QUAL_RADIO2);
        EXPECT_EQ(d.text(qual_label(1)), "Mean Shell Diameter [D]");
        // WRC: 17 fields, the load case and its allowable's label.
        d.select(QUAL_LIST, NOZZLE_WRC537);
        EXPECT_TRUE(d.is_shown(QUAL_LIST2));
        EXPECT_TRUE(d.is_shown(qual_edit(17)));
        EXPECT_EQ(d.list_selection(QUAL_LIST2), WRC_OPERATING);
        EXPECT_EQ(d.text(qual_label(15)), "Operating Allowable [All]");
        d.select(QUAL_LIST2, WRC_SUSTAINED);
        EXPECT_EQ(d.text(qual_label(15)), "Sustained Allowable [All]");
        // The layout takes the stored shell again: a sphere.
        EXPECT_EQ(d.text(qual_label(2)), "Shear Load (V1)");
        EXPECT_TRUE(d.is_enabled(qual_edit(10)));
        d.press(QUAL_RADIO2);
        EXPECT_EQ(d.text(qual_label(2)), "Shear Load (VC)");
        EXPECT_EQ(d.text(qual_label(9)), "Attachment Radius (ro)");
        EXPECT_FALSE(d.is_enabled(qual_edit(10)));
        EXPECT_FALSE(d.is_enabled(qual_edit(11)));
        EXPECT_EQ(d.text(qual_edit(16)), "0.00");
    });
    // EN stored, then WRC stored: the EN values survive in the file.
    with_dialog([](HeadlessDialog& d) {
        fill_en(d);
        d.press(IDOK);
    });
    EXPECT_EQ(nozzle_qualification().data.R, 40.0f);
    with_dialog([](HeadlessDialog& d) {
        d.select(QUAL_LIST, NOZZLE_WRC537);
        fill_wrc(d);
        d.type(qual_edit(16), "0.5");   // accepted, as entered
        d.press(IDOK);
    });
    const NozzleEvaluation& n = nozzle_qualification().data;
    EXPECT_EQ(n.method, NOZZLE_WRC537);
    EXPECT_EQ(n.R, 40.0f);
    EXPECT_EQ(n.eb, 0.5f);   // the nozzle thickness t of WRC shares the field
    EXPECT_EQ(n.Kn, 0.5f);
    EXPECT_EQ(n.Kb, 0.0f);
    const std::string file = path("both.noz");
    script().answer_file(file);
    ASSERT_TRUE(command(CMD_SAVE_AS));
    const NozzleFile read = read_nozzle_file(file);
    EXPECT_EQ(read.data, n);
    // OK without a change keeps the flag and the evaluation.
    nozzle_qualification().evaluate = true;
    with_dialog([](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_FALSE(model_modified());
    EXPECT_TRUE(nozzle_qualification().evaluate);
}

TEST_F(NozzleQualificationWindowTest, En13445Reports)
{
    with_dialog([](HeadlessDialog& d) {
        fill_en(d);
        d.press(IDOK);
    });
    expect_golden_file("qualification", "nozzle_en_input.txt", report());
    nozzle_qualification().evaluate = true;
    expect_golden_file("qualification", "nozzle_en_sphere.txt", report());
    nozzle_qualification().data.spherical = 0;
    nozzle_qualification().data.R = 80.0f;
    expect_golden_file("qualification", "nozzle_en_cylinder.txt", report());
    // Condition a) failing stops after its line.
    nozzle_qualification().data.e = 0.1f;   // ea/D = 0.0375/80
    refresh_nozzle_report();
    const std::vector<ReportLine>& lines = nozzle_report_table().lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().text, "a) ea/D = 0.000. Condition failed ***");
    EXPECT_EQ(lines[lines.size() - 2].text,
              "a) Analysis Shell Thk.[ea]/Mean Shell Diameter [D] should be >= 0.001 and <= 0.1");
}

TEST_F(NozzleQualificationWindowTest, Wrc537ReportsWithSyntheticAndShippedCurves)
{
    with_dialog([](HeadlessDialog& d) {
        d.select(QUAL_LIST, NOZZLE_WRC537);
        fill_wrc(d);
        d.press(IDOK);
    });
    nozzle_qualification().evaluate = true;
    // Synthetic curves for the record the case needs (SP-6, SM-6).
    Wrc537CurveStore store;
    const double values[8] = {0.11, 0.021, 0.31, 0.052, 0.071, 0.013, 0.19, 0.034};
    for (int f = 0; f < WRC_SPHERE_FAMILIES; ++f) {
        Wrc537Curve c;
        c.name = f == 2 || f == 3 || f == 6 || f == 7 ? "SM-6" : "SP-6";
        c.coefficients[0] = static_cast<float>(values[f]);
        c.source = "test";
        store.add(wrc537_sphere_family_key(f), 6, c);
    }
    set_wrc537_curve_store(store);
    expect_golden_file("qualification", "nozzle_wrc_sphere.txt", report());
    refresh_nozzle_report();
    expect_golden_file("qualification", "nozzle_wrc_window.txt", joined(window_texts(nozzle_report_table())));

    // No allowable: the status is "----" and the row is marked.
    nozzle_qualification().data.allowable = 0.5f;
    refresh_nozzle_report();
    const std::vector<ReportLine>& lines = nozzle_report_table().lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back().text, ALLOWABLE_NOT_GIVEN);
    const ReportLineFields row = split_report_line(lines[lines.size() - 2].text);
    ASSERT_EQ(row.words.size(), 4u);
    EXPECT_EQ(row.words[2], "0.000");
    EXPECT_EQ(row.words[3], "----");

    // The shipped store lacks the records of this case: no table, no verdict.
    set_wrc537_curve_store(read_wrc537_curves(std::string(KV_SOURCE_DIR) + "/libraries/wrc537_curves.txt"));
    const std::string shipped = report();
    expect_golden_file("qualification", "nozzle_wrc_not_available.txt", shipped);
    EXPECT_NE(shipped.find("WRC 537 curve data not available"), std::string::npos);
    EXPECT_EQ(shipped.find("Stress Compliance"), std::string::npos);
    EXPECT_EQ(shipped.find("Fig_No"), std::string::npos);

    // No figure for the shell ratios: the message, nothing after the input.
    nozzle_qualification().data.rm = 40.0f;
    script().clear_log();
    refresh_nozzle_report();
    EXPECT_EQ(script().last_message(),
              "Not able to determine Figure Number for Spherical Shells with r =    80 and p =     2. Analysis aborted");
    EXPECT_EQ(nozzle_report_table().lines().back().text, "Stress Conc. Factor - Bending [Kb]:!0.00 -");
}

TEST_F(NozzleQualificationWindowTest, OldFileOpensAsAnEnDataSet)
{
    std::string b(NOZZLE_OLD_FILE_SIZE, '\0');
    std::memcpy(b.data(), "KORVANEWNOZ7500", 15);
    b[16] = 1;
    const float R = 40.0f;
    std::memcpy(b.data() + 17, &R, 4);
    write_bytes(path("old.noz"), b);
    nozzle_qualification().data.T = 7.0f;   // held before: not kept
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    open_by_extension(path("old.noz"));
    ASSERT_TRUE(qualification_mode_is(QualificationKind::Nozzle));
    EXPECT_EQ(nozzle_qualification().data.method, NOZZLE_EN13445);
    EXPECT_EQ(nozzle_qualification().data.R, 40.0f);
    EXPECT_EQ(nozzle_qualification().data.T, 0.0f);
    EXPECT_FALSE(model_modified());
    EXPECT_NE(list().title.find("Local loads on nozzle"), std::string::npos) << list().title;
    EXPECT_NE(list().title.find("[old.noz ("), std::string::npos) << list().title;
}

TEST_F(NozzleQualificationWindowTest, ExportWritesTheReportAsTheWindowShowsIt)
{
    // The export of the EN 13445-3 report: every line of the window, each
    // value row's label, value and unit in cells of their own.
    with_dialog([](HeadlessDialog& d) {
        fill_en(d);
        d.press(IDOK);
    });
    nozzle_qualification().evaluate = true;
    refresh_nozzle_report();
    script().resize(list_frame().window, 1600, 8000);
    script().answer_file(path("nozzle.csv"));
    ASSERT_TRUE(nozzle_report_table().export_csv(list_frame().window));
    const std::string csv = bytes(path("nozzle.csv"));
    window_export::expect_export_shows_the_window(csv, nozzle_report_table(), script().paint(list_frame().client));
    const std::vector<std::string> radius = window_export::row_starting(csv, "Mean Shell Radius [R]:");
    ASSERT_GE(radius.size(), 3u) << csv;
    EXPECT_EQ(radius[1], "40.0000");
    EXPECT_EQ(radius[2], "(inch)");
}
