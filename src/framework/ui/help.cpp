#include "framework/ui/help.h"

#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/messages.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    const std::filesystem::path candidates[] = {folder / "help" / "index.html", folder / HELP_FILE_NAME,
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

namespace {

// The help window at an anchor of the guide ("" its contents).
void open_help(const std::string& anchor, WindowId owner) {
    const HelpLocation& where = location();
    if (where.found.empty()) {
        message_info(owner, "Help file not found:\n" +
                                (where.expected.empty() ? std::string(HELP_FILE_NAME) : where.expected));
        return;
    }
    if (!backend().show_help(where.found, anchor))
        message_error(owner, "Unable to open the help file:\n" + where.found);
}

bool guide_has_anchor(const std::string& anchor) {
    std::ifstream in(location().found, std::ios::binary);
    const std::string guide{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return guide.find("<a name=\"" + anchor + "\">") != std::string::npos;
}

}  // namespace

void help(int context, WindowId owner) {
    open_help(context != 0 ? help_anchor(context) : std::string(), owner);
}

std::string help_anchor(int context) { return "context-" + std::to_string(context); }

std::string help_page_anchor(const std::string& name) {
    std::string id;
    for (const char c : name)
        id += std::isalnum(static_cast<unsigned char>(c)) || c == '_' ? c : '-';
    return id;
}

void help_page(const std::string& name, WindowId owner, int context) {
    help_page(name, owner, context != 0 ? help_anchor(context) : std::string());
}

void help_page(const std::string& name, WindowId owner, const std::string& topic) {
    const std::string anchor = help_page_anchor(name);
    open_help(!location().found.empty() && guide_has_anchor(anchor) ? anchor : topic, owner);
}

namespace {

struct TutorialDialog : DialogProc {
    std::string folder;
    void init(Dialog& d) override {
        dialog_set_text(TUTORIAL_TEXT, std::string("The tutorial ") + TUTORIAL_FILE_NAME +
                                           " is not installed.\nIt belongs in the program folder:\n" + folder);
        center_window(d, IDOK);
    }
};

}  // namespace

void tutorial_dialog(const std::string& program_folder, WindowId owner) {
    TutorialDialog proc;
    proc.folder = program_folder.empty() ? std::string(".") : program_folder;
    run_dialog(TUTORIAL_DIALOG, proc, owner);
}

void open_tutorial(const std::string& program_folder, WindowId owner) {
    const std::filesystem::path file =
        std::filesystem::path(program_folder.empty() ? std::string(".") : program_folder) / TUTORIAL_FILE_NAME;
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec) && backend().open_document(file.string())) return;
    if (!location().found.empty() && guide_has_anchor(TUTORIAL_ANCHOR)) {
        open_help(TUTORIAL_ANCHOR, owner);
        return;
    }
    tutorial_dialog(program_folder, owner);
}
