// A document that File New made and nobody changed closes without the save
// question, whatever its kind (model, library, flange, nozzle or lug); one
// that was changed still asks.
#include "qualification/qualification_program_fixture.h"
#include "framework/ui/dialogs_common.h"
#include "qualification/ui/qualification_dialogs.h"

#include <string>

namespace {

class UntouchedDocument : public QualificationProgramTest {
protected:
    // The frame whose File menu closes the document now: a library or a
    // qualification data set has the list window, a model the main window.
    static Frame& document_frame() { return in_library_mode() || in_qualification_mode() ? list_frame() : main_frame(); }
};

}  // namespace

TEST_F(UntouchedDocument, EveryKindOfNewDocumentClosesWithoutTheSaveQuestion)
{
    for (int kind = NEW_KIND_MODEL; kind <= NEW_DOCUMENT_KINDS; ++kind) {
        SCOPED_TRACE(kind);
        start_new(kind);
        EXPECT_FALSE(model_modified());
        ASSERT_TRUE(script().menu_command(document_frame().window, CMD_CLOSE));
        EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 0);
        EXPECT_FALSE(in_library_mode() || in_qualification_mode());
    }
}

TEST_F(UntouchedDocument, AChangedNozzleEvaluationStillAsks)
{
    start_new(NEW_KIND_NOZZLE);
    // Looking at the input without changing it is no change.
    script().once("NOZZLE_QUAL", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    ASSERT_TRUE(command(CMD_NOZZLE_EDIT));
    EXPECT_FALSE(model_modified());

    // Typed values are a change: Close asks, and Cancel keeps the data set.
    script().once("NOZZLE_QUAL", [](HeadlessDialog& d) {
        const char* values[12] = {"40", "0.5", "6.625", "0.28", "6.345", "0.5", "12", "0.9", "20000", "17000",
                                  "10000", "0.0625"};
        for (int k = 1; k <= 12; ++k)
            d.type(qual_edit(k), values[k - 1]);
        d.press(IDOK);
    });
    ASSERT_TRUE(command(CMD_NOZZLE_EDIT));
    EXPECT_TRUE(model_modified());
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(SAVE_CHANGES_TEXT), "Save changes to Untitled ?");
        d.press(IDCANCEL);
    });
    ASSERT_TRUE(command(CMD_CLOSE));
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 1);
    EXPECT_TRUE(qualification_mode_is(QualificationKind::Nozzle));
}
