// The equipment windows on the scripted backend: the list frame with its
// window, the results frame with its table window, the equipment's tables,
// dialogs and reports installed, and the helpers of the equipment models.
#pragma once

#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "model/model_file_fixture.h"
#include "qualification/data/equipment_fixture.h"
#include "qualification/rot_equip.h"
#include "qualification/ui/qualification_ui.h"

#include <set>
#include <string>
#include <vector>

namespace qualification_test {

using namespace equipment_test;

class QualificationUiTest : public EquipmentModel<ModelFileUiTest> {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_property_sets();
        install_supports();
        install_qualification_ui();
        open_list_frame(1600, 600);
        set_report_date("1 Jan 2025");
        model_modified() = false;
    }
    void TearDown() override
    {
        close_list_frame();
        if (results_frame().window)
            frame_destroy(results_frame());
        ModelFileUiTest::TearDown();
    }

    static void open_results_frame()
    {
        frame_create(results_frame(), "KorvaneResults", "Results", nullptr, "RESULTS_MENU", nullptr, "");
        script().resize(results_frame().window, 1200, 800);
    }
    // Types a cell of the list window's table and commits it with Tab.
    static void cell(int row, int column, const std::string& text)
    {
        TableWindow& t = shown();
        table_goto_row(t, row, column, false);
        type_into(list_frame().client, text);
        script().key(list_frame().client, KEY_TAB);
    }
    // The results of a report built from anchors whose loads the test set:
    // the listed codes are present, and every case keeps the same loads
    // unless `loads_of` sets them per code.
    static RotEquipResults results(std::set<int> present, std::function<void(int code)> loads_of = {})
    {
        RotEquipResults r;
        r.present = [present](int code) { return present.count(code) != 0; };
        r.make_current = [loads_of](int code) {
            if (loads_of)
                loads_of(code);
        };
        return r;
    }
    // The piping at the nozzles of the report tests: sections S6 and S4, a
    // 6 in line to an anchor at node 10 and a 4 in line to one at node 20,
    // built, with the loads the anchors put on the pipe.
    static void nozzle_lines()
    {
        section("S6", 6.625f);
        section("S4", 4.5f);
        const int s = line_to_anchor(5, {-120, 0, 0}, 10, {100, 0, 0}, "S6");
        const int d = line_to_anchor(15, {0, 100, 0}, 20, {0, -70, 0}, "S4");
        make_model();
        anchor_loads(s, {-1300, -600, 0, -3000, 2000, 1000});
        anchor_loads(d, {100, -200, 50, 1200, -2400, 600});
    }
    // The text (or CSV) report a writer makes.
    static std::string text_report(const std::function<void()>& write, bool csv = false)
    {
        report_begin_text(csv);
        write();
        return report_end_text();
    }
};

}  // namespace qualification_test
