// A shaft axis shows the components it holds: three decimals where they
// read back as the component, else the shortest text that does, in the
// machine's report, its table and its dialog.
#include "framework/units.h"
#include "qualification/qualification_ui_fixture.h"
#include "qualification/ui/compressor_report.h"
#include "qualification/ui/compressor_ui.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/pump_report.h"
#include "qualification/ui/pump_ui.h"
#include "qualification/ui/report_lines.h"

using namespace qualification_test;

class ShaftAxisShown : public QualificationUiTest {};

TEST_F(ShaftAxisShown, ReportTableAndDialogShowTheComponentHeld)
{
    nozzle_lines();
    // 1E-5 at three decimals is 0.000, which reads back as 0; one
    // significant digit ("%.1G") reads back as the float 1E-5. 1 keeps 1.000.
    for (const auto& [x, text] : {std::pair<float, std::string>{1e-5f, "1E-05"}, {1.0f, "1.000"}}) {
        pumps().clear();
        compressors().clear();
        turbines().clear();
        pumps().push_back(api610_pump("P-1", {x, 0, 0}, {0, 0, 5}));
        compressors().push_back({"C-1", 10, 20, 0, 0, {x, 0, 0}});
        turbines().push_back({"T-1", 10, 20, 0, 0, {x, 0, 0}});
        build_rot_equip_report(results({8}));
        for (const int kind : {0, int{MACHINE_COMPRESSOR}, int{MACHINE_TURBINE}}) {   // 0: the pump
            SCOPED_TRACE(text + " " + std::to_string(kind));
            const std::string comma = kind == 0 ? ", " : ",  ";
            if (kind == 0)
                pump_report(1, 1);
            else
                compressor_report(1, kind, 1);
            EXPECT_EQ(report_window_lines().at(2).text,
                      "Shaft axis: Xcomp = " + text + comma + "Ycomp = 0.000" + comma + "Zcomp = 0.000");
            run_command(kind == 0 ? CMD_PUMPS : kind == MACHINE_COMPRESSOR ? CMD_COMPRESSORS : CMD_TURBINES);
            const std::string cell = shown().cell_text(1, kind == 0 ? 7 : 6, 0);
            float back = 0.0f;   // what the table shows reads back as the component held
            EXPECT_TRUE(cell == text && parse_real(cell, back) == 0 && back == x) << cell;
            script().once(kind == 0 ? "PUMP_DIALOG" : "COMPRESSOR_DIALOG", [&, kind](HeadlessDialog& d) {
                EXPECT_EQ(d.text(kind == 0 ? int{PUMP_SHAFT} : int{COMPRESSOR_SHAFT}), text);
                d.press(IDCANCEL);
            });
            if (kind == 0)
                edit_pump(pumps()[1], 1, 0);
            else
                edit_compressor(kind == MACHINE_COMPRESSOR ? compressors()[1] : turbines()[1], 1, kind, 0);
        }
    }
}
