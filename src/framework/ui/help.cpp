#include "framework/ui/help.h"

#include "framework/state.h"
#include "framework/ui/messages.h"

#include <filesystem>
#include <system_error>

namespace {

struct HelpLocation {
    std::string found;      // the help file in use
    std::string expected;   // where it was looked for first (for the message)
};

HelpLocation& location() {
    return session_part<HelpLocation>();
}

}  // namespace

void help_init(const std::string& program_folder) {
    HelpLocation& where = location();
    const std::filesystem::path folder(program_folder.empty() ? std::string(".") : program_folder);
    const std::filesystem::path candidates[] = {folder / HELP_FILE_NAME, folder / "help" / "index.html",
                                                folder / "help" / HELP_FILE_NAME};
    where.expected = candidates[0].string();
    where.found.clear();
    for (const std::filesystem::path& p : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(p, ec)) {
            where.found = p.string();
            break;
        }
    }
}

const std::string& help_path() { return location().found; }

void help(int context, WindowId owner) {
    const HelpLocation& where = location();
    if (where.found.empty()) {
        message_info(owner, "Help file not found:\n" +
                                (where.expected.empty() ? std::string(HELP_FILE_NAME) : where.expected));
        return;
    }
    // A topic is an anchor, which only a URL can carry.
    std::string target = where.found;
    if (context != 0) {
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(where.found, ec);
        target = "file://" + (ec ? where.found : absolute.string()) + "#context-" + std::to_string(context);
    }
    if (!backend().open_document(target)) message_error(owner, "Unable to open the help file:\n" + where.found);
}
