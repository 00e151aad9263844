// The combos of the element dialogs that offer the model's materials,
// sections and pipe loads by name: in record order, optionally after the
// default entry, so that an entry's position gives its record.
#include "framework/ui/dialog_helper.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/ui/record_combos.h"
#include "model/model_file_fixture.h"
#include "model/ui/named_set_ui.h"

namespace {

constexpr int MATERIAL_COMBO = 1201, SECTION_COMBO = 1202, LOAD_COMBO = 1203;

const DialogTemplate ELEMENT_DIALOG = {"ELEMENT_DIALOG", "Element", {
    control(MATERIAL_COMBO, ControlKind::Combo, "Material", 0, 0),
    control(SECTION_COMBO, ControlKind::Combo, "Section", 1, 0),
    control(LOAD_COMBO, ControlKind::Combo, "Load", 2, 0),
    control(IDOK, ControlKind::Button, "OK", 3, 0),
}};

// A record of a set that a later layer owns (the pipe loads).
struct LoadRecord {
    std::string name;
};

struct ElementDialog : DialogProc {
    const NamedSet<LoadRecord>* loads = nullptr;
    bool with_default = false;
    void init(Dialog&) override
    {
        dialog_fill_material_combo(MATERIAL_COMBO, with_default);
        dialog_fill_section_combo(SECTION_COMBO, with_default);
        dialog_fill_load_combo(LOAD_COMBO, *loads, with_default);
    }
};

std::vector<std::string> entries(const HeadlessDialog& d, int id)
{
    std::vector<std::string> out;
    for (int i = 0; i < d.list_count(id); ++i)
        out.push_back(d.list_text(id, i));
    return out;
}

class RecordCombosTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_property_sets();
    }
};

TEST_F(RecordCombosTest, CombosListTheRecordsInOrderAfterTheDefault)
{
    for (const char* name : {"CS1", "SS2", "A106"}) {
        PipeMaterial m;
        m.name = name;
        pipe_materials().push_back(m);
    }
    for (const char* name : {"S8", "S4"}) {
        PipeSection s;
        s.name = name;
        pipe_sections().push_back(s);
    }
    NamedSet<LoadRecord> loads;
    loads.push_back(LoadRecord{"L1"});
    loads.push_back(LoadRecord{"HOT"});

    ElementDialog proc;
    proc.loads = &loads;
    std::vector<std::vector<std::string>> seen;
    script().on("ELEMENT_DIALOG", [&](HeadlessDialog& d) {
        for (int id : {MATERIAL_COMBO, SECTION_COMBO, LOAD_COMBO})
            seen.push_back(entries(d, id));
        d.press(IDOK);
    });
    run_dialog(ELEMENT_DIALOG, proc);
    proc.with_default = true;
    run_dialog(ELEMENT_DIALOG, proc);
    using Names = std::vector<std::string>;
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0], (Names{"CS1", "SS2", "A106"}));
    EXPECT_EQ(seen[1], (Names{"S8", "S4"}));
    EXPECT_EQ(seen[2], (Names{"L1", "HOT"}));
    EXPECT_EQ(seen[3], (Names{"Default", "CS1", "SS2", "A106"}));
    EXPECT_EQ(seen[4], (Names{"Default", "S8", "S4"}));
    EXPECT_EQ(seen[5], (Names{"Default", "L1", "HOT"}));

    // A dialog opened again lists the records as they are now, not twice.
    pipe_sections().erase(1);
    run_dialog(ELEMENT_DIALOG, proc);
    EXPECT_EQ(seen[7], (Names{"Default", "S4"}));
    EXPECT_TRUE(script().faults().empty());
}

}  // namespace
