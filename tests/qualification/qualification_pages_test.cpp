// The flange, lug and nozzle reports on graphic report pages, as Print to
// the printer or the preview draws them: no two texts on top of each other
// and nothing off the page, also where a label is long or a number wide: a
// text wider than the page goes on over the next lines, and the rows of the
// WRC 537 stress table, wider than a portrait page, take two lines each.
#include "golden.h"
#include "page_layout.h"
#include "qualification/qualification_program_fixture.h"
#include "qualification/ui/flange_ui.h"
#include "qualification/ui/lug_ui.h"
#include "qualification/ui/nozzle_ui.h"

namespace {

class QualificationPagesTest : public QualificationProgramTest {
protected:
    // The report on pages; the texts of all its pages. With a golden file's
    // name, every text's place is compared with it.
    static std::string expect_clean(const std::function<void()>& write, const std::string& golden = {})
    {
        HeadlessPrintDocument doc{PageSetup{}, 96};
        EXPECT_TRUE(report_render_pages(doc, ReportJob{"report", write, false}));
        EXPECT_GE(doc.page_number(), 1);
        expect_clean_pages(doc);
        if (!golden.empty())
            expect_golden_file("pages", golden, page_layout_text(doc));
        std::string texts;
        for (const auto& page : doc.pages())
            for (const DrawnText& t : drawn_texts(*page))
                texts += t.text + "\n";
        return texts;
    }
};

}  // namespace

TEST_F(QualificationPagesTest, FlangeQualificationReportOnPages)
{
    start_new(NEW_KIND_FLANGE);
    FlangeQualification& q = flange_qualification();
    q.results = analyze_flange(q.input);
    q.calculated = true;
    const std::string texts = expect_clean(write_flange_report);
    EXPECT_NE(texts.find("Longitudinal Hub (SH)\n"), std::string::npos);
    EXPECT_NE(texts.find("24151.7\n"), std::string::npos);
}

TEST_F(QualificationPagesTest, LugEvaluationReportOnPages)
{
    start_analysed_lug();
    lug_qualification().input.thermal.ML = -24000;
    const std::string texts = expect_clean(write_lug_report);
    EXPECT_NE(texts.find("Sustained + Thermal Exp. Stress (Ste) [Eq. 11]: (psi)\n"), std::string::npos);
}

TEST_F(QualificationPagesTest, NozzleQualificationReportsOnPages)
{
    start_evaluated_nozzle();
    NozzleEvaluation& n = nozzle_qualification().data;
    const std::string en = expect_clean(write_nozzle_report);
    EXPECT_NE(en.find("b) Distances to any other local load in any direction shall not be less than\nSQRT(R.ec) = "),
              std::string::npos)
        << en;

    // WRC 537 with wide numbers in every column.
    n.method = NOZZLE_WRC537;
    n.P = -125000;
    n.V1 = 8000;
    n.M1 = 420000;
    n.M2 = -315000;
    n.MT = 90000;
    n.T = 0.5f;
    n.Rm = 60;
    n.rm = 3;
    n.ro = 3.25f;
    n.r = 0.1f;
    n.allowable = 30000;
    Wrc537CurveStore store;
    for (int f = 0; f < WRC_SPHERE_FAMILIES; ++f) {
        Wrc537Curve c;
        c.name = f == 2 || f == 3 || f == 6 || f == 7 ? "SM-5" : "SP-5";
        c.coefficients[0] = 0.25f;
        c.source = "test";
        // gamma = rm/t = 6, rho = T/t = 1: record 4.
        store.add(wrc537_sphere_family_key(f), 5, c);
    }
    set_wrc537_curve_store(store);
    const std::string texts = expect_clean(write_nozzle_report, "nozzle_wrc537.txt");
    EXPECT_NE(texts.find("Combined Stress Intensity (Pl+Q)\n"), std::string::npos) << texts;
}
