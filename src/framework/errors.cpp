// Validation throwers, node error texts, the assertion handler and the
// diagnostic output.
#include "framework/errors.h"

#include "framework/state.h"
#include "framework/text.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <utility>

namespace {

// A debug line holds at most this many bytes (1024 with its terminating NUL).
constexpr std::size_t MAX_DEBUG_LINE = 1023;

// Per thread: an analysis run sets it on its own thread, so that a check
// failing on another thread meanwhile still ends the process.
thread_local bool g_analysis_running = false;
std::atomic<bool> g_debug_output{false};

std::mutex g_exit_handler_mutex;
std::function<void(int)> g_exit_handler;
std::function<void(const std::string&)> g_assert_display;

[[noreturn]] void end_process(int code)
{
    std::function<void(int)> handler;
    {
        std::lock_guard<std::mutex> lock(g_exit_handler_mutex);
        handler = g_exit_handler;
    }
    if (handler)
        handler(code);
    std::fflush(nullptr);
    std::_Exit(code);
}

void write_stderr(const std::string& text)
{
    std::string line = text;
    if (line.empty() || line.back() != '\n')
        line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

void throw_message(const std::string& text)
{
    throw MessageText(text);
}

void throw_required(const std::string& name)
{
    throw MessageText(name + " is required");
}

namespace {

struct ParseRefusal {
    std::string text, reason;
};

}  // namespace

void set_parse_refusal(const std::string& text, const std::string& reason)
{
    ParseRefusal& r = session_part<ParseRefusal>();
    r.text = text;
    r.reason = reason;
}

const std::string& parse_refusal_for(const std::string& text)
{
    static const std::string none;
    const ParseRefusal& r = session_part<ParseRefusal>();
    return r.text == text ? r.reason : none;
}

std::string missing_file_text(const std::string& title, const std::string& path)
{
    std::error_code ec;
    const bool folder = std::filesystem::is_directory(path, ec);
    return title + ": " + path + (folder ? "\nIs a folder, not a file." : "\nDoes not exist.");
}

void throw_invalid(const std::string& name)
{
    const std::string& reason = parse_refusal_for(item_text());
    throw_invalid_text(name, reason.empty() ? std::string("is invalid") : "is invalid: " + reason);
}

void throw_invalid_taking(const std::string& name, const std::string& takes, bool number_read)
{
    if (number_read || !parse_refusal_for(item_text()).empty())
        set_parse_refusal(item_text(), takes);
    throw_invalid(name);
}

void throw_invalid_text(const std::string& name, const std::string& suffix)
{
    throw MessageText(name + " =  " + item_text() + "  " + suffix);
}

void throw_not_defined(const std::string& name)
{
    throw MessageText(name + "is not defined");
}

void throw_node_error(const std::string& node_text, int code)
{
    throw MessageText(node_text + "  " + node_error_text(code));
}

void throw_name_node_error(const std::string& name, int code)
{
    throw_invalid_text(name, node_error_text(code));
}

void throw_cell_required(const std::string& name, int column)
{
    throw CI{name + " is required", column};
}

void throw_cell_error(const std::string& text, int column)
{
    throw CI{text, column};
}

void throw_command_error(int command)
{
    throw MsgCmd{message_text(), command};
}

const char* node_error_text(int code)
{
    switch (code) {
    case 2: return "Invalid node";
    case 3: return "Node number should be > 0";
    case 4: return "Node number should be < 100000";
    case 5: return "Node number should be input";
    case 6: return "Node should not have a suffix";
    case 7: return "This node is already defined";
    default: return "is invalid";
    }
}

namespace {
struct MessageTextBuffer {
    std::string value{};
};
}  // namespace

std::string& message_text()
{
    return session_part<MessageTextBuffer>().value;
}

namespace {
struct ItemTextBuffer {
    std::string value{};
};
}  // namespace

std::string& item_text()
{
    return session_part<ItemTextBuffer>().value;
}

std::string assert_message_text(const char* expression, const char* file, int line)
{
    return std::string("Assertion failed...\n") + (expression ? expression : "") + "\nfile " +
           (file ? file : "") + ", line " + std::to_string(line);
}

void set_assert_exit_handler(std::function<void(int)> handler)
{
    std::lock_guard<std::mutex> lock(g_exit_handler_mutex);
    g_exit_handler = std::move(handler);
}

void set_assert_display(std::function<void(const std::string&)> display)
{
    std::lock_guard<std::mutex> lock(g_exit_handler_mutex);
    g_assert_display = std::move(display);
}

void assert_failed(const char* expression, const char* file, int line)
{
    // Set while this thread shows the assertion message: a check failing
    // inside the message dialog must not recurse.
    thread_local bool showing = false;

    const std::string text = assert_message_text(expression, file, line);
    write_stderr(text);
    if (showing)
        end_process(ASSERT_EXIT_CODE);

    showing = true;
    std::function<void(const std::string&)> display;
    {
        std::lock_guard<std::mutex> lock(g_exit_handler_mutex);
        display = g_assert_display;
    }
    try {
        if (display)
            display(text);
    } catch (...) {
        // The text is already on standard error; go on to end the run.
    }
    showing = false;

    if (analysis_running())
        throw MessageText("Analysis aborted.");
    end_process(ASSERT_EXIT_CODE);
}

bool analysis_running()
{
    return g_analysis_running;
}

void set_analysis_running(bool running)
{
    g_analysis_running = running;
}

void debug_print(const char* format, ...)
{
    if (!g_debug_output.load() || !format)
        return;
    va_list args;
    va_start(args, format);
    std::string line = c_vformat(format, args);
    va_end(args);
    if (line.size() > MAX_DEBUG_LINE)
        line.resize(MAX_DEBUG_LINE);
    write_stderr(line);
}

void set_debug_output(bool on)
{
    g_debug_output.store(on);
}

bool debug_output_on()
{
    return g_debug_output.load();
}
