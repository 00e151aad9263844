// The unit sweep over every dialog and table: on models that hold every
// element, data item and property set, "2" is typed into each editable cell
// of each table of the list window and of the layout, and into each field of
// the dialog that each row's edit command opens; the unit audit compares
// the unit each value is read in with the unit label shown beside it. A
// field that shows one unit and reads another (a length under "(ft)" read
// in inches) is a finding, and so is a cell that takes the typing and drops
// it without a word.
#include "exchange/batch_import.h"
#include "every_table.h"
#include "exchange_fixture.h"
#include "framework/ui/table.h"
#include "framework/ui/unit_audit.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"

#include <set>

namespace {

class UnitSweepTest : public ExchangeProgramTest {
protected:
    // A dialog: "2" in every field that takes typing, then OK (Cancel when
    // OK is refused); dialogs opened from it are cancelled.
    void answer(HeadlessDialog& d)
    {
        dialogs.insert(d.templ().name);
        if (depth > 0) {
            d.press(IDCANCEL);
            return;
        }
        ++depth;
        for (const ControlSpec& c : d.templ().controls)
            if (c.kind == ControlKind::Edit && d.is_enabled(c.id) && d.is_shown(c.id) && !d.is_readonly(c.id))
                d.type(c.id, "2");
        d.press(IDOK);
        if (!d.ended())
            d.press(IDCANCEL);
        --depth;
    }

    // "2" in every editable cell of the table's first row, then the row's
    // dialog.
    void sweep(TableWindow& t)
    {
        if (t.record_count() < 1)
            return;
        tables.insert(t.title);
        for (int c = 1; c <= t.columns(); ++c) {
            if (!t.cell_editable(1, c))
                continue;
            table_goto_row(t, 1, c);
            if (!table_begin_edit(t, true))
                continue;
            t.edit.text = "2";
            const std::string before = t.cell_text(1, c, 0);
            const std::size_t shown = script().messages().size();
            // A cell takes what is typed or refuses it aloud, never drops it.
            if (table_end_edit(t) && script().messages().size() == shown && before.find('2') == std::string::npos) {
                EXPECT_NE(t.cell_text(1, c, 0), before) << t.title << " column " << c << " dropped the typing";
            }
        }
        table_goto_row(t, 1, 1);
        table_edit_row(t);
    }

    // The model of the batch file, shown in the English units, where the
    // length unit (ft-in) and the dimension unit (inch) differ, and then in
    // the second unit of every quantity (feet and mm, kg and N ...).
    void sweep_model(const std::string& batch_file)
    {
        for (const bool second : {false, true}) {
            init_model();
            import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/batch/" + batch_file);
            reset_unit_choice();
            if (second)
                for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
                    if (unit_choice_valid(q, 1))
                        unit_choice()[static_cast<std::size_t>(q)] = 1;
            sweep_tables();
        }
    }

    void sweep_tables()
    {
        visit_every_table([this](TableWindow& t) { sweep(t); },
                          [](TableWindow& layout) {
                              for (int row = 1; row <= std::min(layout.record_count(), 80); ++row) {
                                  table_goto_row(layout, row, 1);
                                  table_edit_row(layout);
                              }
                          });
    }

    int depth = 0;
    std::set<std::string> dialogs, tables;
};

}  // namespace

TEST_F(UnitSweepTest, EveryFieldReadsTheUnitItsLabelShows)
{
    script().on_any([this](HeadlessDialog& d) { answer(d); });
    start_unit_audit();
    sweep_model("every_element_kind.mbf");
    sweep_model("every_keyword.mbf");
    stop_unit_audit();
    for (const std::string& finding : unit_audit_findings())
        ADD_FAILURE() << finding;
    // The sweep reached the dialogs and tables of the kinds the files hold.
    EXPECT_GT(unit_audit_checked(), 150);
    EXPECT_TRUE(dialogs.count("VALVE_DIALOG"));
    EXPECT_TRUE(tables.count("Valves"));
}
