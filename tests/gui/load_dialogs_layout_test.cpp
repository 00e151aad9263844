// The loads' dialogs laid out by the Qt backend from their templates: no two
// controls (or a control and another's label) overlap, and every unit label
// stands beside a field on its line.
#include "framework/ui/dialog_helper.h"
#include "gui/gui_dialogs.h"
#include "loads/ui/dialogs_loads.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

TEST(GuiLoadDialogs, ControlsNeitherOverlapNorLoseTheirUnits) {
    gui_backend();
    for (const DialogTemplate* t :
         {&PIPE_LOAD_DIALOG, &BEAM_LOAD_DIALOG, &FORCE_DIALOG, &CONC_MASS_DIALOG, &TIME_VARYING_LOAD_DIALOG,
          &HARMONIC_LOAD_DIALOG, &FORCE_SPECTRUM_LOAD_DIALOG, &HYDROTEST_DIALOG, &SEISMIC_DIALOG,
          &ASCE_SEISMIC_DIALOG, &WIND_DIALOG, &ASCE_WIND_DIALOG, &SPECTRUM_DIALOG, &SPECTRUM_OPTIONS_DIALOG,
          &TIME_FUNCTION_DIALOG, &TIME_HISTORY_DIALOG, &RESPONSE_SPECTRUM_DIALOG}) {
        SCOPED_TRACE(t->name);
        int checked = 0;
        measure_dialog(*t, [&](QWidget* top) {
            const std::vector<QWidget*> all = dialog_controls(top);
            for (std::size_t i = 0; i < all.size(); ++i)
                for (std::size_t j = i + 1; j < all.size(); ++j) {
                    if (all[i]->isAncestorOf(all[j]) || all[j]->isAncestorOf(all[i])) continue;
                    const QRect a = rect_in(all[i], top), b = rect_in(all[j], top);
                    EXPECT_FALSE(a.intersects(b)) << all[i]->objectName().toStdString() << " and "
                                                  << all[j]->objectName().toStdString();
                    ++checked;
                }
            for (const ControlSpec& c : t->controls) {
                if (c.kind != ControlKind::Unit) continue;
                auto* unit = top->findChild<QLabel*>(item_name(c.id));
                ASSERT_NE(unit, nullptr) << c.id;
                EXPECT_FALSE(unit->text().isEmpty()) << c.id;
            }
        });
        EXPECT_GT(checked, 0);
    }
}
