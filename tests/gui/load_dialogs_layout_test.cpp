// The loads' dialogs laid out by the Qt backend from their templates: no two
// controls (or a control and another's label) overlap, and every unit label
// stands beside a field on its line.
#include "framework/ui/dialog_helper.h"
#include "gui/gui_fixture.h"
#include "loads/ui/dialogs_loads.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace {

struct Measure : DialogProc {
    std::function<void(QWidget*)> check;
    void shown(Dialog& d) override {
        QWidget* top = gui_backend().widget(d.window());
        QTimer::singleShot(50, [this, top, &d] {
            if (top) check(top->window());
            d.end(IDCANCEL);
        });
    }
};

QRect rect_in(QWidget* w, QWidget* top) { return QRect(w->mapTo(top, QPoint(0, 0)), w->size()); }

std::vector<QWidget*> controls(QWidget* top) {
    std::vector<QWidget*> out;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (!w->isVisible() || qobject_cast<QGroupBox*>(w)) continue;
        auto* label = qobject_cast<QLabel*>(w);
        if (w->objectName().startsWith("item_") || (label && label->buddy())) out.push_back(w);
    }
    return out;
}

}  // namespace

TEST(GuiLoadDialogs, ControlsNeitherOverlapNorLoseTheirUnits) {
    gui_backend();
    for (const DialogTemplate* t :
         {&PIPE_LOAD_DIALOG, &BEAM_LOAD_DIALOG, &FORCE_DIALOG, &CONC_MASS_DIALOG, &TIME_VARYING_LOAD_DIALOG,
          &HARMONIC_LOAD_DIALOG, &FORCE_SPECTRUM_LOAD_DIALOG, &HYDROTEST_DIALOG, &SEISMIC_DIALOG,
          &ASCE_SEISMIC_DIALOG, &WIND_DIALOG, &ASCE_WIND_DIALOG, &SPECTRUM_DIALOG, &SPECTRUM_OPTIONS_DIALOG,
          &TIME_FUNCTION_DIALOG, &TIME_HISTORY_DIALOG}) {
        SCOPED_TRACE(t->name);
        Measure m;
        int checked = 0;
        m.check = [&](QWidget* top) {
            const std::vector<QWidget*> all = controls(top);
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
                auto* unit = top->findChild<QLabel*>(QString("item_%1").arg(c.id));
                ASSERT_NE(unit, nullptr) << c.id;
                EXPECT_FALSE(unit->text().isEmpty()) << c.id;
            }
        };
        run_dialog(*t, m, 0);
        EXPECT_GT(checked, 0);
    }
}
