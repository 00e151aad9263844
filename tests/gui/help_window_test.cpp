// The help window of the real backend: the user guide that the build puts
// beside the program opens in the program's own window (a text browser, no
// web engine), at the anchor of a help context, scrolled to that page.
#include "elements/element_dialog_ids.h"
#include "framework/ui/help.h"
#include "gui_fixture.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>

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
    EXPECT_GT(browser->verticalScrollBar()->value(), 0);
    const QTextCursor top = browser->cursorForPosition(QPoint(4, 4));
    EXPECT_TRUE(top.block().text().contains("Bend")) << top.block().text().toStdString();

    // The contents: the same window, at the top of the guide.
    help(0);
    QApplication::processEvents();
    EXPECT_EQ(b.help_window(), window);
    EXPECT_EQ(browser->source().fragment(), "");
    EXPECT_EQ(browser->verticalScrollBar()->value(), 0);
    window->close();
}
