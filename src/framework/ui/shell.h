// The application shell: the entry routine, start-up, the command line, the
// main loop and shutdown.
#pragma once

#include "platform/backend.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The marker file in the program folder; a start without it is a first run.
inline constexpr const char* MARKER_FILE_NAME = "Korvane.ini";
// Exit code of a start that has no window system and nothing to do without one.
inline constexpr int EXIT_NO_DISPLAY = 2;
// Exit code of a batch run whose results were written with a load case that
// did not converge (1 is a failure, 3 a processor fault).
inline constexpr int EXIT_NOT_CONVERGED = 4;
inline constexpr const char* NO_DISPLAY_TEXT = "Korvane needs a display; no window system is available.";

struct CommandLine {
    std::string path;       // the file to open; empty for an untitled model
    bool gui = false;       // --gui: the window system even without a display variable
    bool headless = false;  // --headless: no windows
};
// Options start with '-'; the first other argument is the path ("--" ends the options).
CommandLine parse_command_line(int argc, const char* const* argv);
// True for a path that names a batch file: its file name ends in ".mbf", in any case.
bool is_batch_path(const std::string& path);

// The entry routine: installs the fault and out-of-memory handlers and the
// backend (unless `b` is null: the installed one is used), sets the numeric
// locale, starts the program, opens the command-line file, runs the main loop
// and shuts down. A message text that reaches it is shown, a modified model is
// offered for saving, and the program ends with exit code 1. The backend stays
// installed.
int app_main(int argc, char** argv, std::unique_ptr<Backend> b);

// The phases of app_main, for tests. app_startup throws MessageText when a
// window cannot be made.
void app_startup();
// Opens the command-line file: nothing for an empty path; a batch file starts
// batch mode (MessageText when batch import is not available); any other file
// is opened by its extension, and a failure is shown (false) while the program
// goes on with an untitled model. A failure is a text the opener throws or an
// error message it shows itself; without windows the error messages go to
// standard error and the program ends with code 1.
bool open_command_line_file(const std::string& path);
int app_run();
// Saves the window placements and the settings, flushes the store, destroys
// the windows and forgets the commands. Nothing when not started.
void app_shutdown();
bool app_started();
// True when the last start-up found no marker file and created it.
bool app_first_run();

// What the open windows still hold and the document does not yet (an open
// cell edit, rows typed into a grid) is stored by this committer before the
// document is saved or given up; it says false when a value is refused (its
// message shown), and the command then stops. Every frame calls it before a
// command that reads the data (command_reads_data, command_registry.h).
void set_pending_edits_committer(std::function<bool()> committer);
bool commit_pending_edits();

// Ends the main loop with the exit code, after asking to save a modified
// model; false (and the program goes on) when the question was cancelled or
// the save failed.
bool request_exit(int exit_code = 0);

// Openers of files by extension (lower case, without the dot).
using FileOpener = std::function<void(const std::string& path)>;
void register_opener(const std::string& extension, FileOpener opener);
// Opens a file by its extension; throws "Invalid file extension" when no
// opener takes it (a kind the program knows but cannot open yet says so).
void open_by_extension(const std::string& path);
// Opens recent model `command` (323 to 326) of the File menu.
void open_recent_model(WindowId owner, int command);

// Start-up batch mode: imports and analyses a batch file (".mbf").
using BatchStarter = std::function<void(const std::string& path)>;
void register_batch_starter(BatchStarter starter);

// The subsystems above the framework register their commands and read their
// settings through installers, run by every start-up after the settings are
// read and before the windows are made.
void register_subsystem(std::function<void()> install);
// Installers of the subsystems' windows (clients of the frames), run by every
// start-up after the frames are made.
void register_window_installer(std::function<void()> install);

// What the main window does on the first run, after the marker was created.
void set_first_run_action(std::function<void()> action);

// The folder of the marker and help files; empty restores the program's own
// folder (tests point it elsewhere).
void set_program_folder(const std::string& folder);
std::string shell_program_folder();

// The window that owns what a registry command shows: the frame whose
// accelerators are current, else the main window.
WindowId command_owner();
