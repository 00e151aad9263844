// What a batch run that cannot go on leaves and says: a batch or neutral
// file without a model changes no file; a folder in the place of any output
// stops the run before its first change; the lines a message quotes show
// their control characters as codes, on standard error and in message boxes;
// what killed runs left beside the outputs goes with the next run, a refused
// one too; a file that cannot be opened is refused with the system's reason.
#include "batch_runs.h"
#include "exchange_fixture.h"
#include "framework/errors.h"
#include "framework/ui/command_registry.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>

namespace fs = std::filesystem;

namespace {

const std::string GOOD = "Refusal test\nOPTIONS\nIN,B313\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\n"
                         "CS,500,27.3E6,7.02E-6,18900\nPIPE\nP6,6.625,0.28\nLOADS\nL1,300,150\n"
                         "LAYOUT\nF10,MCS,PP6,KA,CL=L1\nT20,X120\nT30,Y120,KA\n";
// A layout line whose offset carries a terminal's commands: set the window
// title (OSC 0 ... BEL), clear the screen (CSI 2 J).
const std::string HOSTILE_LINE = "T12,Y0-6\x1B]0;pwned\x07\x1B[2J,QQQ";
const std::string HOSTILE_SHOWN = "T12,Y0-6\\x1B]0;pwned\\x07\\x1B[2J,QQQ";

// The files of a folder with their bytes; lock files, which only say that
// a run holds the outputs, are left out.
std::map<std::string, std::string> folder_image(const fs::path& folder)
{
    std::map<std::string, std::string> image;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() != ".lock")
            image[entry.path().filename().string()] =
                entry.is_directory() ? std::string("<folder>") : batch_runs::bytes_of(entry.path());
    return image;
}

// A process id that no process has now: a child that has ended and been
// waited for.
long ended_process()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return static_cast<long>(child);
}

class BatchRefusalTest : public ExchangeProgramTest {
protected:
    // Start-up batch mode on a file of the scratch folder: its exit code,
    // and what it wrote to standard error in `err`.
    int run_batch(const std::string& file)
    {
        ::testing::internal::CaptureStderr();
        run_batch_mode(file);
        const int code = hb->run_loop();
        err = ::testing::internal::GetCapturedStderr();
        return code;
    }
    // An earlier run's model, results and report.
    void earlier_run_files(const std::string& base) const
    {
        for (const char* ext : {".mod", ".res", ".txt", ".rds", ".rth"})
            write(base + ext, std::string("earlier ") + ext);
    }
    std::string err;
};

class EmptyBatchKeepsModel : public BatchRefusalTest {};
class OutputsCheckedFirst : public BatchRefusalTest {};
class StaleTemporaries : public BatchRefusalTest {};
class ControlCharsShown : public BatchRefusalTest {};

}  // namespace

// An empty file, a byte-order mark alone, a title without a layout row:
// the run ends with 1 and names the file, and every file beside it is as
// it was.
TEST_F(EmptyBatchKeepsModel, BatchFileWithoutLayoutRowChangesNoFile)
{
    earlier_run_files("x");
    for (const std::string& text : {std::string(), std::string("\xEF\xBB\xBF"), std::string("A title\nOPTIONS\n")}) {
        const std::string batch = write("x.mbf", text);
        const auto before = folder_image(folder);
        EXPECT_EQ(run_batch(batch), 1);
        EXPECT_NE(err.find("The batch file holds no model:\n" + batch), std::string::npos) << err;
        EXPECT_EQ(err.find("nothing to analyze"), std::string::npos) << err;
        EXPECT_EQ(folder_image(folder), before);
        EXPECT_EQ(numrows(), 0);
    }
}

// A neutral file without a model, by the Import command: empty, or of
// lines none of which the importer knows (the message says which).
TEST_F(EmptyBatchKeepsModel, NeutralFileWithoutModelIsRefused)
{
    std::string unknown;
    for (int i = 0; i < 3000; ++i)
        unknown += "FROB " + std::to_string(i) + "\n";
    write("n.mod", "earlier model");
    for (const std::string& text : {std::string(), std::string("\xEF\xBB\xBF"), unknown}) {
        const std::string pnf = write("n.pnf", text);
        script().answer_file(pnf);
        run_command(CMD_IMPORT);
        const std::string shown = script().last_message();
        EXPECT_EQ(shown.rfind("The neutral file holds no model:\n" + pnf, 0), 0u) << shown;
        if (!text.empty() && text[0] == 'F') {
            EXPECT_NE(shown.find("line 1 (FROB)"), std::string::npos) << shown;
            EXPECT_NE(shown.find("(3000 in all)"), std::string::npos) << shown;
        }
        EXPECT_EQ(bytes(path("n.mod")), "earlier model");
        EXPECT_EQ(numrows(), 0);
        EXPECT_EQ(model_file_path(), "");
    }
}

// A folder named as any output (the model file, the results, the report,
// the dynamic files) stops the run before it changes a file, with the
// message of that file's writer and the system's reason.
TEST_F(OutputsCheckedFirst, FolderInPlaceOfAnyOutputStopsTheRunFirst)
{
    const std::pair<const char*, const char*> outputs[] = {
        {".mod", "Unable to write model file:\n"},
        {".res", "Unable to write results file:\n"},
        {".txt", "Unable to write txt file:\n"},
        {".rds", "Unable to write dynamic susceptibility file:\n"},
        {".rth", "Unable to write time history file:\n"},
    };
    const std::string batch = write("y.mbf", GOOD);
    for (const auto& [ext, failure] : outputs) {
        earlier_run_files("y");
        fs::remove(path(std::string("y") + ext));
        fs::create_directory(path(std::string("y") + ext));
        const auto before = folder_image(folder);
        EXPECT_EQ(run_batch(batch), 1) << ext;
        EXPECT_NE(err.find(failure + path(std::string("y") + ext) + "\nIs a directory."), std::string::npos) << err;
        EXPECT_EQ(folder_image(folder), before) << ext;
        EXPECT_EQ(script().runs("ANALYSIS_DIALOG"), 0);
        fs::remove(path(std::string("y") + ext));
    }
    // Nothing in the way: the run writes them all.
    EXPECT_EQ(run_batch(batch), 0) << err;
    EXPECT_NE(bytes(path("y.mod")), "earlier .mod");
}

// Analyze in the windows stops at a folder named as the results before it
// saves the model.
TEST_F(OutputsCheckedFirst, AnalyzeStopsAtAFolderBeforeSaving)
{
    open_saved_batch(GOOD, "z.mod");
    const std::string saved = bytes(path("z.mod"));
    fs::create_directory(path("z.res"));
    model_modified() = true;
    try {
        analyze_command(0);
        ADD_FAILURE() << "analysed";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "Unable to write results file:\n" + path("z.res") + "\nIs a directory.");
    }
    EXPECT_EQ(bytes(path("z.mod")), saved);
    EXPECT_EQ(script().runs("ANALYSIS_DIALOG"), 0);
}

// A run removes the temporaries of its outputs that ended processes left,
// also when it is refused; those of a living process, and those of other
// files, stay.
TEST_F(StaleTemporaries, RefusedRunClearsWhatEndedRunsLeft)
{
    const long ended = ended_process();
    const long living = static_cast<long>(::getppid());
    std::vector<std::string> stale;
    for (const char* ext : {".mod", ".res", ".txt", ".rds", ".rth"})
        stale.push_back(write("w" + std::string(ext) + ".tmp-" + std::to_string(ended) + "-2", "left behind"));
    const std::vector<std::string> kept = {
        write("w.txt.tmp-" + std::to_string(living) + "-2", "being written"),
        write("v.txt.tmp-" + std::to_string(ended) + "-2", "of another model"),
    };
    EXPECT_EQ(run_batch(write("w.mbf", "")), 1);
    EXPECT_NE(err.find("holds no model"), std::string::npos) << err;
    for (const std::string& file : stale)
        EXPECT_FALSE(fs::exists(file)) << file;
    for (const std::string& file : kept)
        EXPECT_TRUE(fs::exists(file)) << file;
}

// A FIFO, a name past the file system's limit are refused
// with the reason, without waiting for a writer of the FIFO.
TEST_F(StaleTemporaries, UnopenableFileIsRefusedWithTheSystemsReason)
{
    const std::string fifo = path("f.mbf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string too_long = path(std::string(300, 'n') + ".mbf");
    const std::pair<std::string, std::string> refusals[] = {
        {fifo, "Not a regular file."},
        {too_long, "File name too long."},
        {path("missing.mbf"), "No such file or directory."},
    };
    for (const auto& [file, reason] : refusals) {
        EXPECT_EQ(run_batch(file), 1) << file;
        EXPECT_NE(err.find("Unable to open import file:\n" + file + "\n" + reason), std::string::npos) << err;
    }
}

// A refused line quoted by the Import command's message box shows the
// codes of its control characters.
TEST_F(ControlCharsShown, MessageBoxQuotesTheLineWithCodes)
{
    script().answer_file(write("h.mbf", GOOD + HOSTILE_LINE + "\n"));
    run_command(CMD_IMPORT);
    const std::string shown = script().last_message();
    EXPECT_EQ(shown.rfind("Line = 16 :  " + HOSTILE_SHOWN + "\n", 0), 0u) << shown;
    EXPECT_EQ(shown.find('\x1B'), std::string::npos);
}

namespace {

// True when the text is UTF-8 holding no control character but the line
// feed and the tab: nothing a terminal would take as a command.
bool terminal_safe(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80                 ? 1
                           : b >= 0xC2 && b <= 0xDF ? 2
                           : b >= 0xE0 && b <= 0xEF ? 3
                           : b >= 0xF0 && b <= 0xF4 ? 4
                                                    : 0;
        if (length == 0 || i + static_cast<std::size_t>(length) > text.size())
            return false;
        if (length == 1 && ((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F))
            return false;
        for (int k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        // U+0080 to U+009F, the C1 controls.
        if (length == 2 && b == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F)
            return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

}  // namespace

// The program run on a batch file with that line, and on one of random
// bytes: standard error quotes the input with its control characters as
// codes, and holds nothing a terminal takes as a command.
TEST_F(ControlCharsShown, StandardErrorOfTheProgramHoldsNoControlCharacterOfTheInput)
{
    write("h.mbf", GOOD + HOSTILE_LINE + "\n");
    const fs::path err_file = folder / "stderr.txt";
    EXPECT_EQ(batch_runs::finish_program(batch_runs::start_program(folder, "h.mbf", err_file)), 1);
    err = batch_runs::bytes_of(err_file);
    EXPECT_NE(err.find("Line = 16 :  " + HOSTILE_SHOWN + "\n"), std::string::npos) << err;
    EXPECT_TRUE(terminal_safe(err)) << err;

    std::mt19937 random(64);
    std::string noise = "Noise\nLAYOUT\n";
    for (int i = 0; i < 400; ++i)
        noise += static_cast<char>(random() & 0xFF);
    write("r.mbf", noise);
    EXPECT_EQ(batch_runs::finish_program(batch_runs::start_program(folder, "r.mbf", err_file)), 1);
    err = batch_runs::bytes_of(err_file);
    EXPECT_NE(err.find("Line = "), std::string::npos) << err;
    EXPECT_TRUE(terminal_safe(err)) << err;
}
