// Analyze beside another run of the same model file on the scripted
// backend: the lock of the model file's outputs, held here as another
// process holds it (its own open file and the kernel's lock), keeps the
// run waiting, which the progress dialog and the status line say, until
// it is let go; Cancel gives up; a lock that cannot be taken stops the run
// with the reason; Save does not write the model file meanwhile.
#include "analysis/analyze_window_fixture.h"
#include "analysis/ui/analysis_dialogs_ui.h"
#include "model/ui/model_commands.h"
#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

using namespace analysis_test;

namespace {

constexpr const char* WAITS = "; the analysis waits for it to end.";

class AnalyzeWaits : public AnalyzeWindowTest {
protected:
    void SetUp() override
    {
        AnalyzeWindowTest::SetUp();
        start(true);
        anchored_from(10);
        pipe(20, 120, 0, 0);
        choose({LC_SUSTAINED});
        make_model();
        model_modified() = false;
    }
    void TearDown() override
    {
        let_go();
        AnalyzeWindowTest::TearDown();
    }

    std::string model_path() const { return folder + "/model.mod"; }
    std::string lock_path() const { return folder + "/model.mod.lock"; }
    // The lock as another process holds it: an open file of its own.
    void hold_elsewhere()
    {
        other = ::open(lock_path().c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(other, 0);
        ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    }
    void let_go()
    {
        if (other >= 0)
            ::close(other);
        other = -1;
    }
    bool results_written() const { return std::filesystem::exists(folder + "/model.res"); }

    int other = -1;
};

}  // namespace

TEST_F(AnalyzeWaits, WhileAnotherRunHoldsTheLockTheRunWaitsAndSaysSo)
{
    hold_elsewhere();
    const std::string waiting = "Another run is writing " + model_path() + " and its results" + WAITS;
    std::string step, status_then;
    bool written_then = true;
    hb->script().once("ANALYSIS_DIALOG", [&](HeadlessDialog& d) {
        step = d.text(ANALYSIS_STEP_TEXT);
        status_then = status();
        written_then = results_written();
        let_go();
    });
    EXPECT_TRUE(analyze());
    EXPECT_EQ(step, waiting);
    EXPECT_EQ(status_then, waiting);
    EXPECT_FALSE(written_then);
    EXPECT_TRUE(results_written());
    EXPECT_EQ(hb->script().runs("ANALYSIS_DIALOG"), 2);   // the wait, then the run
    EXPECT_EQ(status(), "Analysis done");
    // Let go at the end of the run: the lock file is gone.
    EXPECT_FALSE(std::filesystem::exists(lock_path()));
}

// Cancel while the run waits gives up: nothing is written, the other run's
// lock is untouched.
TEST_F(AnalyzeWaits, CancelGivesUpTheWaitAndWritesNothing)
{
    hold_elsewhere();
    hb->script().once("ANALYSIS_DIALOG", [](HeadlessDialog& d) { EXPECT_TRUE(d.press(IDCANCEL)); });
    EXPECT_FALSE(analyze());
    EXPECT_FALSE(results_written());
    EXPECT_EQ(status(), "Analysis stopped");
    EXPECT_TRUE(hb->script().messages().empty());
    FileLock mine;
    EXPECT_EQ(mine.try_acquire(lock_path()), FileLock::Outcome::Busy);
}

// A folder where the lock file goes: the run says why it cannot take the
// lock and writes nothing; so does Save.
TEST_F(AnalyzeWaits, ALockThatCannotBeTakenStopsTheRunWithItsReason)
{
    std::filesystem::create_directories(lock_path());
    const std::string refusal = "Unable to lock the model file and its results:\n" + lock_path() + "\nIs a directory.";
    EXPECT_EQ(thrown_text([this] { analyze(); }), refusal);
    EXPECT_FALSE(results_written());
    EXPECT_EQ(hb->script().runs("ANALYSIS_DIALOG"), 0);
    EXPECT_EQ(thrown_text([] { save_model(0); }), "Unable to write model file:\n" + model_path() + "\n" + refusal);
    EXPECT_FALSE(std::filesystem::exists(model_path()));
}

// Save does not write the model file while another run writes it and its
// results; it does once that run has ended.
TEST_F(AnalyzeWaits, SaveRefusesWhileAnotherRunWritesTheModelFile)
{
    hold_elsewhere();
    EXPECT_EQ(thrown_text([] { save_model(0); }),
              "Another run is writing " + model_path() +
                  " and its results.\nSave the model again when it has ended, or save it under another name.");
    EXPECT_FALSE(std::filesystem::exists(model_path()));
    let_go();
    EXPECT_TRUE(save_model(0));
    EXPECT_TRUE(std::filesystem::exists(model_path()));
    EXPECT_FALSE(std::filesystem::exists(lock_path()));
}
