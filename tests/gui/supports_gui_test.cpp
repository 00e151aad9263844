// An anchor, a restraint and a guide entered through their real dialogs on
// the Qt backend, answered from a timer by typing into the dialogs' widgets,
// checking boxes and pressing OK; each then shows in its table of the list
// window.
#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/frame.h"
#include "gui/gui_dialogs.h"
#include "gui/pump_line_fixture.h"
#include "model/model.h"
#include "model/ui/list_window.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/restraint.h"
#include "supports/ui/support_dialogs.h"
#include "supports/ui/support_table.h"
#include "supports/ui/supports_ui.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <map>
#include <string>
#include <vector>

namespace {

class GuiSupportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        open_list_frames();
        install_supports_ui();
        // From 10, a pipe to 20 and one to 30, with the three supports.
        line_of_three_nodes({DT_ANCHOR, DT_RESTRAINT, DT_GUIDE});
    }

    void TearDown() override
    {
        close_list_frames();
    }

    static bool enter(int row, std::map<int, std::string> texts, std::vector<int> clicks, const char* caption)
    {
        DialogAnswer answer(std::move(texts), std::move(clicks));
        push_undo_snapshot(main_frame().window);
        const bool stored = edit_support(row, main_frame().window);
        EXPECT_EQ(answer.answered, 1);
        EXPECT_EQ(answer.caption, caption);
        EXPECT_FALSE(answer.missing_widget);
        EXPECT_TRUE(answer.messages.empty()) << answer.messages.front();
        return stored;
    }
};

TEST_F(GuiSupportTest, AnAnchorARestraintAndAGuideEnteredInTheirDialogs)
{
    EXPECT_TRUE(enter(1, {{SUP_TAG, "A10"}, {SUP_STIFFNESS + 1, "25000"}, {SUP_DISPLACEMENT + 1, "-0.5"}},
                      {ANCHOR_LOCAL_AXES}, "Anchor at node 10"));
    const Anchor& a = dynamic_cast<const Anchor&>(*model().rows[1].data);
    EXPECT_EQ(a.v.tag, "A10");
    EXPECT_EQ(a.v.stiffness[1], 25000.0f);
    EXPECT_EQ(a.v.stiffness[0], RIGID_STIFFNESS);
    EXPECT_TRUE(a.v.local_axes);
    EXPECT_EQ(a.v.displacements.given[1], 1);
    EXPECT_FLOAT_EQ(a.v.displacements.values[1][1], -0.5f);

    EXPECT_TRUE(enter(2, {{SUP_TAG, "R20"}}, {RESTRAINT_X + 1, RESTRAINT_X + 2}, "Restraint at node 20"));
    EXPECT_EQ(dynamic_cast<const Restraint&>(*model().rows[2].data).v.restrained, (std::array<uint8_t, 3>{0, 1, 1}));

    EXPECT_TRUE(enter(3, {{SUP_GAP, "0.125"}, {SUP_MU, "0.3"}, {SUP_CONNECTED, "10"}}, {}, "Guide at node 30"));
    const Guide& g = dynamic_cast<const Guide&>(*model().rows[3].data);
    EXPECT_EQ(g.v.gap, 0.125f);
    EXPECT_FLOAT_EQ(g.v.mu, 0.3f);
    EXPECT_EQ(g.v.connected, 10);
    EXPECT_TRUE(model_modified());

    make_model();
    open_support_table(DT_ANCHOR);
    EXPECT_EQ(list_window_table(), support_table(DT_ANCHOR));
    EXPECT_EQ(support_table(DT_ANCHOR)->cell_text(1, 2, 0), "A10");
    EXPECT_EQ(support_table(DT_ANCHOR)->cell_text(1, 4, 0), "25000");
    open_support_table(DT_RESTRAINT);
    EXPECT_EQ(support_table(DT_RESTRAINT)->cell_text(1, 4, 0), "Yes");
    open_support_table(DT_GUIDE);
    EXPECT_EQ(support_table(DT_GUIDE)->cell_text(1, 3, 0), "0.1250");
    EXPECT_EQ(support_table(DT_GUIDE)->cell_text(1, 6, 0), "10");
}

}  // namespace
