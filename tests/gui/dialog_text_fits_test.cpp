// Every dialog template the program offers, built by the Qt backend: each
// control shows its whole text (no label, check box, radio button, push
// button or group caption narrower than its text), lies whole inside the
// dialog and overlaps no other control.
#include "app/program_dialogs.h"
#include "gui/gui_dialogs.h"

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
