// The element windows' tests on the scripted backend: the element classes
// and windows installed, two materials, a 6 in and a 10 in section, and a
// line from node 10 along X with a bend at node 30:
//   row 1 From 10 (0, 0, 0)
//   row 2 Pipe 20 (100, 0, 0)
//   row 3 Bend 30 (200, 0, 0), its corner, Long radius (1.5 OD, 9.9375)
//   row 4 Pipe 40 (200, 100, 0)
//   row 5 Pipe 50 (200, 200, 0)
// The rows name CS, the 6 in section S6 and the load L1.
#pragma once

#include "elements/bend.h"
#include "elements/element_dialog_ids.h"
#include "elements/jacketed_bend.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "model/analysis_options.h"
#include "model/model_file_fixture.h"
#include "model/piping_codes.h"

#include <string>
#include <utility>
#include <vector>

class ElementUiTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_property_sets();
        install_elements_ui();
        for (const char* name : {"CS", "SS"}) {
            PipeMaterial m;
            m.name = name;
            pipe_materials().push_back(m);
        }
        add_section("S6", 6.625f, 0.28f);
        add_section("S10", 10.75f, 0.365f);
        jacket_loads = {"L1", "L2"};
        jacket_hooks().pipe_load_names = [this] { return jacket_loads; };
        from(10);
        named(row(20, ET_PIPE, 100, 0, 0));
        named(row(30, ET_BEND, 100, 0, 0));
        named(row(40, ET_PIPE, 0, 100, 0));
        named(row(50, ET_PIPE, 0, 100, 0));
        make_model();
        model_modified() = false;
        // Angles in degrees, lengths in inch.
        unit_choice()[ANGLE] = 0;
    }

    void TearDown() override
    {
        // No procedure used a control its template lacks, and every
        // scripted action was one a user could do.
        EXPECT_EQ(script().faults(), std::vector<std::string>{});
        ModelFileUiTest::TearDown();
    }

    static void add_section(const char* name, float od, float t)
    {
        PipeSection s;
        s.name = name;
        s.nominal_size = "Non Std";
        s.outside_diameter = od;
        s.thickness = t;
        pipe_sections().push_back(s);
    }
    static int named(int r)
    {
        model().rows[r].material = "CS";
        model().rows[r].section = "S6";
        model().rows[r].load = "L1";
        return r;
    }
    static Bend& bend_at(int r) { return dynamic_cast<Bend&>(*model().rows[r].element); }

    using Fields = std::vector<std::pair<int, std::string>>;
    // Types the fields and presses OK.
    static void attempt(HeadlessDialog& d, const Fields& fields)
    {
        for (const auto& [id, text] : fields)
            EXPECT_TRUE(d.type(id, text)) << id;
        d.press(IDOK);
    }
    // The message boxes shown since the last call.
    std::vector<std::string> new_messages()
    {
        const std::vector<std::string> all = script().messages();
        std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(seen_), all.end());
        seen_ = all.size();
        return fresh;
    }

    std::vector<std::string> jacket_loads;

private:
    std::size_t seen_ = 0;
};
