// The export dialogs on the Qt backend: every one shows "&Export" on its OK
// button, and the plant-design dialog gives the typed name the extension of
// the file type chosen.
#include "exchange/ui/export_commands.h"
#include "gui/gui_fixture.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// Opens the save dialog of the request and lets `look` read it before it is cancelled.
void look_at_save_dialog(FileDialogRequest r, const std::function<void(QFileDialog&)>& look)
{
    QtBackend& b = gui_backend();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        seen = true;
        look(*d);
        d->reject();
    });
    EXPECT_FALSE(b.save_file_dialog(0, r).has_value());
    EXPECT_TRUE(seen) << r.title;
}

TEST(PlantDesignGui, ExportDialogsShowExportAndThePlantDialogSwitchesTheExtensionWithTheType)
{
    for (const FileDialogRequest& r :
         {batch_export_request(), pcf_export_request(), plant_design_request(), hanger_interface_request()})
        look_at_save_dialog(r, [&](QFileDialog& d) {
            EXPECT_EQ(d.labelText(QFileDialog::Accept).toStdString(), "&Export") << r.title;
            EXPECT_EQ(d.windowTitle().toStdString(), r.title);
        });

    FileDialogRequest r = plant_design_request();
    r.initial_path = testing::TempDir();
    std::string before, after, back;
    look_at_save_dialog(r, [&](QFileDialog& d) {
        auto* name = d.findChild<QLineEdit*>("fileNameEdit");
        auto* types = d.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_TRUE(name && types);
        name->setText("solid.mac");
        before = name->text().toStdString();
        // As the user's choice of the second type does.
        types->setCurrentIndex(1);
        QMetaObject::invokeMethod(types, "activated", Q_ARG(int, 1));
        after = name->text().toStdString();
        types->setCurrentIndex(0);
        QMetaObject::invokeMethod(types, "activated", Q_ARG(int, 0));
        back = name->text().toStdString();
    });
    EXPECT_EQ(before, "solid.mac");
    EXPECT_EQ(after, "solid.3dd");
    EXPECT_EQ(back, "solid.mac");
}

}  // namespace
