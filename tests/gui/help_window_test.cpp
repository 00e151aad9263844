// The help window of the real backend: the user guide that the build puts
// beside the program opens in the program's own window (a text browser, no
// web engine), at the anchor of a help context, scrolled to that page.
#include "elements/element_dialog_ids.h"
#include "framework/ui/help.h"
#include "gui_fixture.h"
#include "materials/ui/material_props_editor.h"

#include <QDialog>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

#include <filesystem>

TEST(HelpWindowGui, ContextOpensTheGuideAtItsPageInTheProgramsOwnWindow) {
    QtBackend& b = gui_backend();
    help_init(std::filesystem::path(KV_PROGRAM_PATH).parent_path().string());
    ASSERT_FALSE(help_path().empty());

    help(BEND_DIALOG_HELP_CONTEXT);
    QWidget* window = b.help_window();
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Korvane Help");
    auto* browser = window->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->source().fragment(), "context-8");
    // Scrolled down to the bend dialog's page: its heading is at the top.
    EXPECT_TRUE(gui_wait_for([browser] { return browser->verticalScrollBar()->value() > 0; }));
    const QTextCursor top = browser->cursorForPosition(QPoint(4, 4));
    EXPECT_TRUE(top.block().text().contains("Bend")) << top.block().text().toStdString();

    // The contents: the same window, at the top of the guide.
    help(0);
    QApplication::processEvents();
    EXPECT_EQ(b.help_window(), window);
    EXPECT_EQ(browser->source().fragment(), "");
    EXPECT_TRUE(gui_wait_for([browser] { return browser->verticalScrollBar()->value() == 0; }));
    window->close();
}

// F1 with the keys in the Material Properties dialog's grid opens the
// dialog's own page, not the contents; Escape in the help window closes it.
TEST(HelpPage, F1InTheMaterialPropertiesGridOpensItsPageAndEscapeClosesTheGuide) {
    QtBackend& b = gui_backend();
    help_init(std::filesystem::path(KV_PROGRAM_PATH).parent_path().string());
    ASSERT_FALSE(help_path().empty());
    QString fragment = "(no help)";
    bool grid_had_keys = false;
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || answered) return;
        answered = true;
        QWidget* focus = dialog->focusWidget();
        grid_had_keys = focus && focus->parentWidget() && focus->parentWidget()->objectName() == "item_1500";
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(focus ? focus : dialog, &f1);
        QApplication::processEvents();
        if (QWidget* help = b.help_window(); help && help->isVisible())
            if (auto* browser = help->findChild<QTextBrowser*>()) fragment = browser->source().fragment();
        dialog->reject();
    });
    poll.start(50);
    PropertyTable copy;
    bool modified = false;
    run_material_properties_dialog(copy, false, modified, 0);
    poll.stop();
    ASSERT_TRUE(answered);
    EXPECT_TRUE(grid_had_keys);
    EXPECT_EQ(fragment.toStdString(), "MATERIAL_PROPERTIES_DIALOG");

    QWidget* help = b.help_window();
    ASSERT_NE(help, nullptr);
    help->show();
    QApplication::processEvents();
    auto* browser = help->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(browser, &escape);
    QApplication::processEvents();
    EXPECT_FALSE(help->isVisible());
}
