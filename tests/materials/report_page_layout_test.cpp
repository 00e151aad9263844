// Every graphic report page of the property sets, as the Print command
// draws it: no two texts on top of each other, nothing off the page, and the
// position of every text against a golden file in tests/data/pages
// (KV_UPDATE_GOLDEN=1 rewrites them). The model has a long file name and a
// long QA block, so that the page headers are cut to their page as well.
#include "framework/document.h"
#include "framework/qa_block.h"
#include "framework/ui/report.h"
#include "golden.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/size_tables.h"
#include "materials/soil.h"
#include "materials/ui/beam_material_ui.h"
#include "materials/ui/beam_section_ui.h"
#include "materials/ui/material_report.h"
#include "materials/ui/materials_subsystem.h"
#include "materials/ui/pipe_section_ui.h"
#include "materials/ui/soil_ui.h"
#include "model/model_file_fixture.h"
#include "model/piping_codes.h"
#include "page_layout.h"

#include <functional>

namespace {

PipeMaterial material(const std::string& name, const std::string& type, int rows)
{
    PipeMaterial m;
    m.name = name;
    m.set_type(type);
    m.description = "Material " + name + " for the feed water lines";
    m.nu = 0.3f;
    m.density = 0.283f;
    m.joint_factor = 1.0f;
    m.strength = 60000.0f;
    for (int r = 1; r <= rows; ++r)
        m.table.push_back(PropertyRow{static_cast<float>(50 * r), 29.5e6f - 1.0e5f * r, 6.07e-6f, 20000.0f - 10 * r,
                                      3.0e6f, 1.5e6f, 1.2e6f, 1.1e6f});
    return m;
}

class ReportPageLayoutTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_materials_subsystem();
        set_report_date("1 Jan 2025");
        model_file_path() = "/plant/Feedwater pumps suction and discharge lines, unit 4 revamp.mod";
        QABlock& qa = qa_block();
        qa.client = "North Sea Energy Production and Processing Company Ltd.";
        qa.project = "Revamp of the boiler feed water system, units 3 and 4, phase 2";
        qa.file_number = "F-2025-00417";
        qa.report_number = "R-0042/B";
        qa.prepared_by = {"J. Smith, piping stress engineer", "2025-03-10"};
        qa.checked_by = {"A. Jones, lead stress engineer", "2025-03-12"};
        piping_code() = CODE_B313;
    }

    // The report printed on Letter pages at 96 dpi, checked and compared.
    static void expect_pages(const std::string& golden, const std::function<void()>& write)
    {
        HeadlessPrintDocument doc{PageSetup{}, 96};
        ASSERT_TRUE(report_render_pages(doc, ReportJob{golden, write, false}));
        ASSERT_GE(doc.page_number(), 1);
        expect_clean_pages(doc);
        expect_golden_file("pages", golden + ".txt", page_layout_text(doc));
    }
};

TEST_F(ReportPageLayoutTest, PipeMaterialsUnderEveryTableLayout)
{
    pipe_materials().push_back(material("CS1", "CS", 3));
    pipe_materials().push_back(material("BARE", "CS", 0));
    pipe_materials().push_back(material("FRP", "FR", 2));
    // A table long enough to run onto the next page.
    pipe_materials().push_back(material("LONG", "SS", MAXTEMPS));
    expect_pages("materials_b313", [] { print_materials(); });
    piping_code() = CODE_BS806;
    expect_pages("materials_bs806", [] { print_materials(); });
    piping_code() = CODE_SWEDISH;
    expect_pages("materials_swedish", [] { print_materials(); });
}

TEST_F(ReportPageLayoutTest, SectionsAndSoils)
{
    Soil clay;
    clay.name = "CL";
    clay.type = SOIL_COHESIVE;
    clay.density = 120.0f / 1728.0f;
    clay.strength = 10.0f;
    clay.ground_level = 120.0f;
    soils().push_back(clay);
    Soil sand;
    sand.name = "SA";
    sand.density = 110.0f / 1728.0f;
    sand.delta = 0.5f;
    sand.ks = 0.6f;
    sand.include_insulation = 1;
    soils().push_back(sand);
    for (int i = 1; i <= 3; ++i) {
        PipeSection s;
        s.name = "S" + std::to_string(i);
        s.nominal_size = NON_STANDARD_SIZE;
        s.outside_diameter = 4.5f * i;
        s.thickness = 0.237f;
        s.corrosion_allowance = 0.0625f;
        s.mill_tolerance = 12.5f;
        s.insulation_density = 11.0f / 1728.0f;
        s.insulation_thickness = 2.0f;
        s.lining_density = 0.05f;
        s.lining_thickness = 0.1f;
        s.soil = i == 2 ? "SA" : "";
        pipe_sections().push_back(s);
    }
    expect_pages("sections", [] { print_pipe_sections(); });
    expect_pages("soils", [] { print_soils(); });
}

TEST_F(ReportPageLayoutTest, BeamMaterialsAndBeamSections)
{
    beam_materials().push_back(BeamMaterial{"B1", "Structural steel ASTM A36 pl", 29.0e6f, 0.3f, 0.283f, 6.5e-6f});
    beam_materials().push_back(BeamMaterial{"AL", "Aluminium", 10.0e6f, 0.0f, 0.0f, 0.0f});
    BeamSection w;
    w.name = "W8";
    w.description = "W 8X31";
    w.values = {9.13f, 110.0f, 37.1f, 0.536f, 2.3f, 6.1f, 8.0f, 8.0f};
    beam_sections().push_back(w);
    BeamSection hss;
    hss.name = "H16";
    hss.description = "HSS16.000X0.625";
    hss.values = {27.1f, 807.0f, 807.0f, 1610.0f, 13.6f, 13.6f, 16.0f, 16.0f};
    beam_sections().push_back(hss);
    expect_pages("beam_materials", [] { print_beam_materials(); });
    expect_pages("beam_sections", [] { print_beam_sections(); });
}

}  // namespace
