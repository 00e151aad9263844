// Every dialog template the program offers, built by the Qt backend: each
// control shows its whole text (no label, check box, radio button, push
// button or group caption narrower than its text), lies whole inside the
// dialog and overlaps no other control; a label over a field stands above
// it.
#include "app/program_dialogs.h"
#include "gui/gui_dialogs.h"

#include <QLabel>

#include <string>
#include <vector>

namespace {

// Every dialog of the program that is a template of its own.
std::vector<const DialogTemplate*> every_dialog_template()
{
    std::vector<const DialogTemplate*> all;
    for (const DialogPage& page : program_dialog_pages())
        if (page.fields)
            all.push_back(page.fields);
    return all;
}

}  // namespace

// The whole texts are measured in the dialog's own font: what the widget
// itself asks for to show its text (its size hint) must fit in what the
// layout gave it.
TEST(GuiDialogLayout, DialogTextFitsInEveryControlOfEveryTemplate)
{
    gui_backend();
    const std::vector<const DialogTemplate*> all = every_dialog_template();
    EXPECT_GE(all.size(), 100u);
    for (const DialogTemplate* t : all) {
        SCOPED_TRACE(t->name);
        int measured = 0;
        measure_dialog(*t, [&](QWidget* top) { measured = expect_dialog_texts_fit(top); });
        EXPECT_GT(measured, 0);
    }
}

// A label that stands alone on its line over a field of the line below,
// in the same column of the template (the Valve dialog's "DX " over the DX
// field, the Ball joint's "Bending" over its column of stiffnesses), is laid
// out above that field and begins where the field begins, in every dialog
// of the program and of its library files.
TEST(HeadingsInPlace, EveryLabelOverAFieldStandsAboveIt)
{
    gui_backend();
    const std::vector<const DialogTemplate*> all = all_dialog_templates();
    const auto field = [](ControlKind k) {
        return k == ControlKind::Edit || k == ControlKind::Combo || k == ControlKind::List;
    };
    int measured = 0;
    for (const DialogTemplate* t : all) {
        SCOPED_TRACE(t->name);
        // The labels over fields, each with the field under it.
        std::vector<std::pair<const ControlSpec*, const ControlSpec*>> pairs;
        for (const ControlSpec& label : t->controls) {
            if (label.kind != ControlKind::Static || label.text.empty())
                continue;
            const ControlSpec* under = nullptr;
            bool beside = false;
            for (const ControlSpec& f : t->controls) {
                if (!field(f.kind))
                    continue;
                beside = beside || (f.row == label.row && f.col == label.col + std::max(1, label.span));
                if (f.row == label.row + 1 && f.col == label.col)
                    under = &f;
            }
            if (under && !beside)
                pairs.emplace_back(&label, under);
        }
        if (pairs.empty())
            continue;
        measure_dialog(*t, [&](QWidget* top) {
            for (const auto& [label, under] : pairs) {
                const QString text = QString::fromStdString(label->text).remove('&');
                QLabel* shown = nullptr;
                for (QLabel* l : top->findChildren<QLabel*>(item_name(label->id)))
                    if (l->text() == text)
                        shown = l;
                QWidget* f = top->findChild<QWidget*>(item_name(under->id));
                ASSERT_NE(shown, nullptr) << label->text;
                ASSERT_NE(f, nullptr) << label->text;
                const QRect l = rect_in(shown, top), r = rect_in(f, top);
                EXPECT_NEAR(l.left(), r.left(), 2) << "\"" << label->text << "\" begins at " << l.left()
                                                   << ", its field at " << r.left();
                EXPECT_LE(l.bottom(), r.top()) << "\"" << label->text << "\" is not above its field";
                ++measured;
            }
        });
    }
    EXPECT_GE(measured, 15);
}
