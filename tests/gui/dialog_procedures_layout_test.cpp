// Dialogs as their procedures lay them out on the real windows, in every
// state they take: the Show Node Numbers and Show dialogs with their five
// buttons a gap apart, the Nozzle Evaluation dialog for each method, and the
// Pump dialog for each layout and pump type. Each shows its texts whole.
#include "exchange/batch_import.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "graphics/ui/show_dialogs.h"
#include "graphics/ui/graphics_window.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "qualification/equipment.h"
#include "qualification/nozzle.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/nozzle_ui.h"
#include "qualification/ui/pump_ui.h"
#include "qualification/ui/qualification_dialogs.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace {

// Runs the event loop a while, so that a changed layout settles.
void settle(int milliseconds = 100)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Hands the next modal dialog, once laid out, to `check`, then cancels it;
// true when one came up.
bool check_next_dialog(const std::function<void()>& open, const std::function<void(QDialog*)>& check)
{
    bool seen = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d || seen)
            return;
        seen = true;
        settle();
        check(d);
        d->reject();
    });
    timer.start(40);
    open();
    return seen;
}

// Chooses an entry of a combo box of the dialog as the user does.
void choose(QDialog* d, int id, int index)
{
    auto* box = d->findChild<QComboBox*>(item_name(id));
    ASSERT_NE(box, nullptr) << id;
    ASSERT_LT(index, box->count()) << id;
    box->setCurrentIndex(index);
    emit box->activated(index);
    settle();
}

class DialogProcedures : public GuiProgramTest {
protected:
    DialogProcedures() : GuiProgramTest("korvane_dialog_procedures") {}
};

}  // namespace

TEST_F(DialogProcedures, ShowNodeNumbersButtonLayoutKeepsItsButtonsApartAsTheShowDialogDoes)
{
    MESA_ALLOCATIONS_KEPT;
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/batch/every_element_kind.mbf");
    frame_send_command(graphics_frame(), CMD_GRAPHICS_SHOW);
    settle();
    for (const int command : {CMD_SHOW_NODES, CMD_SHOW}) {
        SCOPED_TRACE(command == CMD_SHOW ? "Show" : "Show Node Numbers at");
        std::vector<QRect> buttons;
        const bool seen = check_next_dialog([command] { frame_command(graphics_frame(), command); }, [&](QDialog* d) {
            EXPECT_GT(expect_dialog_texts_fit(d), 5);
            for (const int id : {int(IDOK), int(IDCANCEL), int(SHOW_APPLY), int(SHOW_ALL), int(SHOW_NONE)}) {
                auto* b = d->findChild<QPushButton*>(item_name(id));
                ASSERT_NE(b, nullptr) << id;
                EXPECT_TRUE(b->isVisible()) << id;
                buttons.push_back(rect_in(b, d));
            }
        });
        ASSERT_TRUE(seen);
        ASSERT_EQ(buttons.size(), 5u);
        // One row, left to right, each button clear of the next.
        for (std::size_t k = 1; k < buttons.size(); ++k) {
            EXPECT_EQ(buttons[k].top(), buttons[0].top()) << k;
            EXPECT_GT(buttons[k].left(), buttons[k - 1].right() + 1) << k;
        }
    }
}

TEST_F(DialogProcedures, DialogTextFitsInTheNozzleEvaluationDialogOfEachMethod)
{
    new_nozzle_evaluation();
    // The dialog as it opens on a data set of each method, and after the
    // method is changed in it.
    for (const int method : {int(NOZZLE_EN13445), int(NOZZLE_WRC537)}) {
        SCOPED_TRACE(method);
        nozzle_qualification().data.method = method;
        const bool seen = check_next_dialog([] { nozzle_dialog(0); }, [&](QDialog* d) {
            EXPECT_GT(expect_dialog_texts_fit(d), 10);
            choose(d, QUAL_LIST, method == NOZZLE_EN13445 ? NOZZLE_WRC537 : NOZZLE_EN13445);
            EXPECT_GT(expect_dialog_texts_fit(d), 10);
        });
        EXPECT_TRUE(seen);
    }
}

TEST_F(DialogProcedures, DialogTextFitsInThePumpDialogOfEachLayoutAndType)
{
    PumpRecord pump;
    pump.name = "P-1";
    for (const int layout : {int(PUMP_HORIZONTAL), int(PUMP_VERTICAL), int(PUMP_ANSI_HI_RADIO)}) {
        SCOPED_TRACE(layout);
        const bool seen = check_next_dialog([&pump] { edit_pump(pump, 1, 0); }, [&](QDialog* d) {
            auto* radio = d->findChild<QAbstractButton*>(item_name(layout));
            ASSERT_NE(radio, nullptr);
            radio->click();
            settle();
            EXPECT_GT(expect_dialog_texts_fit(d), 20);
            if (layout != PUMP_ANSI_HI_RADIO)
                return;
            // Each ANSI/HI pump type relabels the size, mounting and nozzle fields.
            auto* types = d->findChild<QComboBox*>(item_name(PUMP_TYPE));
            ASSERT_NE(types, nullptr);
            for (int type = 0; type < types->count(); ++type) {
                SCOPED_TRACE(types->itemText(type).toStdString());
                choose(d, PUMP_TYPE, type);
                expect_dialog_texts_fit(d);
            }
        });
        EXPECT_TRUE(seen);
    }
}
