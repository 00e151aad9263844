// The analysis dialog on the Qt backend shows every line a run gives it
// whole: the longest step texts and an iteration report of three lines, one
// after the other as a run sets them, each line inside the dialog and not
// cut (the dialog grows with its text, or a line wraps in its place).
#include "analysis/ui/analysis_dialogs_ui.h"
#include "analysis/ui/analysis_ui.h"
#include "framework/ui/dialog_helper.h"
#include "gui/gui_dialogs.h"
#include "model/load_cases.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <string>
#include <utility>
#include <vector>

namespace {

// Every label of the dialog shows its text whole: the text, laid out in the
// label's width as the label lays it out (wrapped at its blanks when it
// wraps), takes no more room than the label has, and the label lies inside
// the dialog, which lies on the screen.
void expect_labels_whole(QWidget* top)
{
    const QRect screen = top->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(top->frameGeometry()))
        << top->frameGeometry().width() << "x" << top->frameGeometry().height();
    int measured = 0;
    for (QLabel* label : top->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        SCOPED_TRACE(label->text().toStdString());
        ++measured;
        EXPECT_TRUE(top->rect().contains(rect_in(label, top)));
        const QRect room = label->contentsRect();
        const int flags = Qt::AlignLeft | Qt::AlignTop | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed = QFontMetrics(label->font()).boundingRect(QRect(0, 0, room.width(), 1 << 20), flags,
                                                                      label->text());
        EXPECT_LE(needed.width(), room.width());
        EXPECT_LE(needed.height(), room.height());
    }
    EXPECT_GE(measured, 2);
}

// Sets the texts on the dialog one pair after the other, as the run's
// progress does, and measures the dialog after each.
class LinesProc : public DialogProc {
public:
    explicit LinesProc(std::vector<std::pair<std::string, std::string>> texts) : texts_(std::move(texts)) {}
    int measured = 0;

    void shown(Dialog& d) override
    {
        QWidget* top = QApplication::activeModalWidget();
        ASSERT_NE(top, nullptr);
        ASSERT_EQ(top->objectName(), "ANALYSIS_DIALOG");
        for (const auto& [step, detail] : texts_) {
            SCOPED_TRACE(step + " / " + detail);
            d.set_text(ANALYSIS_STEP_TEXT, step);
            d.set_text(ANALYSIS_DETAIL_TEXT, detail);
            gui_settle(60);
            expect_labels_whole(top);
            ++measured;
        }
        d.end(IDCANCEL);
    }

private:
    std::vector<std::pair<std::string, std::string>> texts_;
};

}  // namespace

TEST(AnalysisDialogLines, EveryLineOfTheLongestTextsStandsWhole)
{
    gui_backend();
    const std::string operating = load_case_names(LC_OPERATING_1);
    // The forms of the run's progress lines (analysis_core/convergence.h and
    // the static and dynamic drivers), with wide numbers and long names.
    const std::string iteration = "Iteration 70: 12 nonlinearities not converged";
    const std::string largest = "Largest change 272% at Limit stop, node 12345A";
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"Load case 3 of 21: " + operating, iteration + "\n" + largest},
        {"Load case 3 of 21: " + operating, iteration + "\n" + largest + "\nStiffness unchanged, not factorised again"},
        {"Operating state for the occasional and dynamic cases: " + operating, "Load path: 50% of the load"},
        {"Load case 12 of 21: " + operating, iteration + "\n" + largest},
    };
    LinesProc proc(texts);
    run_dialog(ANALYSIS_DIALOG, proc, 0);
    EXPECT_EQ(proc.measured, static_cast<int>(texts.size()));
}
