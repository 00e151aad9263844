// The layout window on the Qt backend: a small model typed into it through
// the window system's key events is saved, closed and opened again, and the
// rows come back as they were typed.
#include "framework/app_state.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/units.h"
#include "gui/gui_fixture.h"
#include "model/model.h"
#include "model/ui/layout_install.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "model/ui/model_edit.h"

#include <QKeyEvent>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The rows as the file keeps them.
struct RowImage {
    int node, absolute, etype, dtype;
    float dx, dy, dz;
    std::string material, section, load, comment;
    bool operator==(const RowImage&) const = default;
};

std::vector<RowImage> row_images() {
    std::vector<RowImage> rows;
    for (const LayoutRow& r : model().rows)
        rows.push_back({r.node, r.absolute, r.etype, r.dtype, r.dx, r.dy, r.dz, r.material, r.section, r.load,
                        r.comment_text()});
    return rows;
}

void send_key(QWidget* w, int qt_key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, qt_key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &release);
}

class GuiLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui_backend();
        set_title_file_text(title_file_for_path(""));
        folder = fs::path(::testing::TempDir()) / ("kv_layout_gui_" + std::to_string(::getpid()));
        fs::create_directories(folder);

        frame_create(main_frame(), PRODUCT_NAME, PRODUCT_NAME, nullptr, "LAYOUT_MENU", nullptr, "LAYOUT_ACCEL");
        frame_create(list_frame(), "KorvaneList", PRODUCT_NAME, nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
        list_frame().previous_frame = &main_frame();
        WindowPlacement p;
        p.left = 40;
        p.top = 40;
        p.right = 1040;
        p.bottom = 640;
        frame_set_placement(main_frame(), p);
        install_model_file_commands();
        install_layout_subsystem();
        backend().process_events();
    }

    void TearDown() override {
        destroy_list_window();
        destroy_layout_window();
        frame_destroy(list_frame());
        frame_destroy(main_frame());
        model_file_path().clear();
        backend().process_events();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // Types a cell through key events and leaves it with Tab.
    void type_cell(int row, int column, const std::string& text) {
        QWidget* w = gui_backend().widget(layout_view().window());
        ASSERT_NE(w, nullptr);
        layout_table().current_row = row;
        layout_table().current_column = column;
        for (char ch : text) {
            int key = Qt::Key_unknown;
            if (ch >= '0' && ch <= '9') key = Qt::Key_0 + (ch - '0');
            else if (ch >= 'a' && ch <= 'z') key = Qt::Key_A + (ch - 'a');
            else if (ch >= 'A' && ch <= 'Z') key = Qt::Key_A + (ch - 'A');
            else if (ch == ' ') key = Qt::Key_Space;
            else if (ch == '\'') key = Qt::Key_Apostrophe;
            else if (ch == '*') key = Qt::Key_Asterisk;
            send_key(w, key, QString::fromLatin1(&ch, 1));
        }
        send_key(w, Qt::Key_Tab);
    }

    fs::path folder;
};

TEST_F(GuiLayoutTest, ATypedModelIsSavedClosedAndOpenedAgain) {
    QWidget* w = gui_backend().widget(layout_view().window());
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(main_frame().client, layout_view().window());

    // A title comment, a From row at (5 ft, 0, 2 ft), pipes in ft-in, a bend,
    // a pipe in millimetres and an anchor at the From node.
    type_cell(1, LAYOUT_TYPE, "Comment");
    type_cell(1, LAYOUT_DESCRIPTION, "TITLE:  Pump suction");
    type_cell(2, LAYOUT_NODE, "10");
    type_cell(2, LAYOUT_DX, "5");
    type_cell(2, LAYOUT_DZ, "2");
    type_cell(2, LAYOUT_DATA, "Anchor");
    type_cell(3, LAYOUT_NODE, "20");
    type_cell(3, LAYOUT_DX, "10'6");
    type_cell(3, LAYOUT_MATERIAL, "A106");
    type_cell(3, LAYOUT_SECTION, "S8");
    type_cell(4, LAYOUT_NODE, "30");
    type_cell(4, LAYOUT_TYPE, "Bend");
    type_cell(4, LAYOUT_DX, "8");
    unit_choice()[LENGTH] = 4;   // mm
    type_cell(5, LAYOUT_NODE, "40*");
    type_cell(5, LAYOUT_DY, "1500");
    unit_choice()[LENGTH] = 0;

    ASSERT_EQ(numrows(), 5);
    EXPECT_EQ(model().title, "Pump suction");
    EXPECT_EQ(model().rows[2].etype, ET_FROM);
    EXPECT_EQ(model().rows[2].dtype, DT_ANCHOR);
    EXPECT_FLOAT_EQ(model().rows[3].dx, 126.0f);
    EXPECT_EQ(model().rows[4].etype, ET_BEND);
    EXPECT_EQ(model().rows[4].section, "S8");
    EXPECT_EQ(model().rows[5].absolute, 1);
    EXPECT_NEAR(model().rows[5].dy, 1500 / 25.4, 1e-3);
    EXPECT_TRUE(model_modified());
    EXPECT_EQ(layout_table().row_count, 6);
    const std::vector<RowImage> typed = row_images();

    const std::string path = (folder / "typed.mod").string();
    set_model_file_path(path);
    ASSERT_TRUE(save_model(main_frame().window));
    EXPECT_FALSE(model_modified());

    close_model();
    present_layout_window();
    backend().process_events();
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(layout_table().row_count, 1);

    open_model_file(path);
    backend().process_events();
    EXPECT_EQ(row_images(), typed);
    EXPECT_EQ(model().title, "Pump suction");
    EXPECT_EQ(layout_table().row_count, 6);
    EXPECT_EQ(layout_table().cell_text(3, LAYOUT_DX, 0), "10'6");
    EXPECT_EQ(layout_table().cell_text(5, LAYOUT_NODE, 0), "40*");
    EXPECT_NE(node_index(40), 0);
    EXPECT_FALSE(model_modified());
}

}  // namespace
