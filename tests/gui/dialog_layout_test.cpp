// The layout of the program's dialogs on the Qt backend, measured on the real
// widgets: what a group holds lies inside its frame and below its caption, a
// unit label stands beside its field, and a message box is wide enough for
// its caption in the title bar.
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "framework/ui/printing_commands.h"
#include "gui/gui_dialogs.h"
#include "materials/ui/dialogs_beams.h"
#include "materials/ui/dialogs_sections.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/dialogs_model_file.h"
#include "supports/ui/support_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

namespace {

TEST(GuiDialogLayout, WhatAGroupHoldsLiesInsideItsFrameBelowItsCaption) {
    for (const DialogTemplate* t : {&ANALYSIS_OPTIONS_DIALOG, &NEW_DIALOG, &AISC_SECTIONS_DIALOG, &PRINT_DIALOG,
                                    &ANCHOR_DIALOG, &HANGER_DIALOG, &NOZZLE_DIALOG}) {
        SCOPED_TRACE(t->name);
        int groups = 0, held = 0;
        measure_dialog(*t, [&](QWidget* top) {
            for (QGroupBox* g : top->findChildren<QGroupBox*>()) {
                ++groups;
                const QRect frame = rect_in(g, top);
                // Inside the frame line, below the caption.
                const QRect inner = frame.marginsRemoved(g->contentsMargins());
                for (QWidget* w : dialog_controls(top)) {
                    const QRect r = rect_in(w, top);
                    if (!frame.intersects(r)) continue;
                    ++held;
                    EXPECT_TRUE(inner.contains(r))
                        << g->title().toStdString() << ": " << w->objectName().toStdString() << " at (" << r.x()
                        << "," << r.y() << " " << r.width() << "x" << r.height() << ") outside (" << inner.x() << ","
                        << inner.y() << " " << inner.width() << "x" << inner.height() << ")";
                }
            }
        });
        EXPECT_GT(groups, 0);
        EXPECT_GT(held, groups);
    }
}

TEST(GuiDialogLayout, AUnitLabelStandsBesideItsField) {
    for (const DialogTemplate* t : {&SECTION_DIALOG, &BEAM_SECTION_DIALOG, &SOIL_DIALOG, &ANALYSIS_OPTIONS_DIALOG,
                                    &ANCHOR_DIALOG, &HANGER_DIALOG, &LIMIT_STOP_DIALOG, &NOZZLE_DIALOG}) {
        SCOPED_TRACE(t->name);
        int units = 0;
        measure_dialog(*t, [&](QWidget* top) {
            for (const ControlSpec& c : t->controls) {
                if (c.kind != ControlKind::Unit) continue;
                auto* unit = top->findChild<QLabel*>(QString("item_%1").arg(c.id));
                ASSERT_NE(unit, nullptr) << c.id;
                ++units;
                EXPECT_FALSE(unit->text().isEmpty()) << c.id;
                const QRect u = rect_in(unit, top);
                // The field: the nearest control on the same line to the left.
                QWidget* field = nullptr;
                for (const ControlSpec& f : t->controls) {
                    if (f.row != c.row || f.col >= c.col ||
                        (f.kind != ControlKind::Edit && f.kind != ControlKind::Combo))
                        continue;
                    QWidget* w = top->findChild<QWidget*>(QString("item_%1").arg(f.id));
                    if (w && (!field || rect_in(w, top).right() > rect_in(field, top).right())) field = w;
                }
                ASSERT_NE(field, nullptr) << c.id;
                const QRect f = rect_in(field, top);
                EXPECT_GE(u.left(), f.right()) << c.id;
                EXPECT_LE(u.left() - f.right(), 8) << c.id << ": " << unit->text().toStdString();
                EXPECT_TRUE(u.top() < f.bottom() && f.top() < u.bottom()) << c.id;
            }
        });
        EXPECT_GT(units, 0);
    }
}

TEST(GuiDialogLayout, AMessageBoxIsWideEnoughForItsCaption) {
    // A short text under a longer caption, and the program's own messages:
    // the box leaves room for the caption and the title bar's buttons.
    QtBackend& b = gui_backend();
    const QFontMetrics title(QApplication::font("QMdiSubWindowTitleBar"));
    for (const std::string& caption : {std::string("Korvane"), std::string("Korvane - Beam section library")}) {
        int width = 0;
        QTimer::singleShot(50, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                width = box->width();
                box->button(QMessageBox::Ok)->click();
            }
        });
        b.message_box(0, "Done", caption, MessageIcon::Info, MessageButtons::Ok);
        EXPECT_GE(width, title.horizontalAdvance(QString::fromStdString(caption)) + 130) << caption;
    }
    int width = 0;
    QTimer::singleShot(50, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            width = box->width();
            box->button(QMessageBox::Ok)->click();
        }
    });
    message_error(0, "Name is required");
    EXPECT_GE(width, title.horizontalAdvance("Korvane") + 130);
}

}  // namespace
