// Failures travel as thrown message texts, caught where the command or dialog
// started and shown in a message dialog; an empty text cancels silently.
// Table cells throw the small cell exception records, which carry the column
// to put the caret back into and the command to send.
#pragma once

#include <functional>
#include <string>

struct MessageText {
    std::string text;
    MessageText() = default;
    explicit MessageText(std::string t) : text(std::move(t)) {}
};

// Cell exception: message and the column whose cell gets the caret.
struct CI {
    std::string message;
    int column = 0;
};

// Message and a command that the table sends to its owning frame.
struct MsgCmd {
    std::string message;
    int command = 0;
};

// Message, column and command.
struct MsgColCmd {
    std::string message;
    int column = 0;
    int command = 0;
};

// The message of a file that cannot be opened for reading because it is not
// there: "<title>: <path>\nDoes not exist.", or, when the path names a
// folder, "<title>: <path>\nIs a folder, not a file.".
std::string missing_file_text(const std::string& title, const std::string& path);

// Validation throwers; they never return.
[[noreturn]] void throw_message(const std::string& text);
// "<name> is required"
[[noreturn]] void throw_required(const std::string& name);
// "<name> =  <item_text>  is invalid", followed by ": " and the range the
// value must lie in when the parser of the text refused it for its range
// ("KX =  -5  is invalid: it must be 0 or more").
[[noreturn]] void throw_invalid(const std::string& name);
// What a field that takes only positive numbers says of a refused value.
inline constexpr const char* ABOVE_ZERO = "it must be above 0";
// The typed text refused with what the field takes: "<name> =  <item_text>
// is invalid: <takes>" ("it must be above 0"), where the text held a number
// (`number_read`, or the parser refused the number for its range); a text
// that is no number at all is invalid without more.
[[noreturn]] void throw_invalid_taking(const std::string& name, const std::string& takes, bool number_read);
// What the last number parse refused the text for ("" for an unreadable
// text): set by the parsers, read by throw_invalid for the same text.
void set_parse_refusal(const std::string& text, const std::string& reason);
const std::string& parse_refusal_for(const std::string& text);
// "<name> =  <item_text>  <suffix>"
[[noreturn]] void throw_invalid_text(const std::string& name, const std::string& suffix);
// "<name> is not defined"  (the name carries its own trailing blank where wanted)
[[noreturn]] void throw_not_defined(const std::string& name);
// "<node_text>  <node error text of code 1..7>"
[[noreturn]] void throw_node_error(const std::string& node_text, int code);
// The name followed by the node error text of code 1..7, as `throw_invalid_text`.
[[noreturn]] void throw_name_node_error(const std::string& name, int code);
// CI cell exceptions.
[[noreturn]] void throw_cell_required(const std::string& name, int column);
[[noreturn]] void throw_cell_error(const std::string& text, int column);
// MsgCmd with the shared message text (the one `message_text()` holds).
[[noreturn]] void throw_command_error(int command);

// The node error texts of the node parser's codes 1..7: 1 "is invalid",
// 2 "Invalid node", 3 "Node number should be > 0", 4 "Node number should be
// < 100000", 5 "Node number should be input" (the code of an empty field),
// 6 "Node should not have a suffix", 7 "This node is already defined".
// Any other code gives "is invalid", so that a bad code never turns into an
// empty text that would cancel silently.
const char* node_error_text(int code);

// The shared message text buffer some callers build their message in.
std::string& message_text();
// The text of the dialog item or table cell read last (blanks removed and
// upper-cased by dialog_get_text); the buffer parsers and the validation
// throwers read it.
std::string& item_text();

// The internal-check handler: shows "Assertion failed...\n%s\nfile %s, line %d";
// during an analysis run it then throws "Analysis aborted.", otherwise it ends
// the process. Use through KV_ASSERT.
// On a thread other than the main one the text goes to the main thread's
// message dialog by a posted call; it is always written to standard error too.
// An assertion raised while the handler itself is showing its message ends
// the process at once.
[[noreturn]] void assert_failed(const char* expression, const char* file, int line);
// The text assert_failed shows.
std::string assert_message_text(const char* expression, const char* file, int line);
// How assert_failed ends the process outside an analysis run; the default
// flushes the standard streams and calls std::_Exit(code), without running
// destructors over a state that has just failed a check. Tests replace it
// with a handler that throws; an empty function restores the default. A
// handler that returns is followed by the default.
inline constexpr int ASSERT_EXIT_CODE = 3;
void set_assert_exit_handler(std::function<void(int)> handler);
// How assert_failed shows its text to the user (the message dialog, installed
// by the application framework's window layer); without one the text goes to
// standard error only. Called on the thread that failed the check.
void set_assert_display(std::function<void(const std::string& text)> display);
#define KV_ASSERT(expr) ((expr) ? (void)0 : assert_failed(#expr, __FILE__, __LINE__))

// True while an analysis run is in progress on the calling thread (set by
// the analysis driver on the thread that runs it).
bool analysis_running();
void set_analysis_running(bool running);

// Diagnostic output to standard error while debug output is on; lines of at
// most 1024 bytes.
void debug_print(const char* format, ...) __attribute__((format(printf, 1, 2)));
void set_debug_output(bool on);
bool debug_output_on();
