#include "framework/ui/file_dialogs.h"

#include "framework/state.h"

namespace {

// What the file dialogs remember: the path chosen last with the offsets of
// its file name and extension, and how many dialog hooks are installed.
struct FileDialogMemory {
    std::string path;
    size_t file_offset = 0;
    size_t extension_offset = 0;
    int hook_depth = 0;
};
FileDialogMemory& memory() { return session_part<FileDialogMemory>(); }

void remember(const std::string& path) {
    ofn_file_path() = path;
    size_t slash = path.find_last_of('/');
    size_t& file_offset = memory().file_offset;
    file_offset = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    memory().extension_offset = dot != std::string::npos && dot > file_offset ? dot + 1 : path.size();
}

bool finish(std::optional<std::string> chosen) {
    if (!chosen || chosen->empty()) return false;
    remember(*chosen);
    return true;
}

}  // namespace

std::string& ofn_file_path() { return memory().path; }

size_t ofn_file_offset() { return memory().file_offset; }

size_t ofn_extension_offset() { return memory().extension_offset; }

bool open_file_dialog_path(WindowId owner, FileDialogRequest& request) {
    if (request.initial_path.empty()) request.initial_path = ofn_file_path();
    return finish(backend().open_file_dialog(owner, request));
}

bool save_file_dialog_path(WindowId owner, FileDialogRequest& request) {
    if (request.initial_path.empty()) request.initial_path = ofn_file_path();
    return finish(backend().save_file_dialog(owner, request));
}

std::optional<std::string> browse_for_folder(WindowId owner, const std::string& title, const std::string& initial) {
    std::optional<std::string> folder = backend().browse_folder(owner, title, initial);
    if (folder && folder->empty()) return std::nullopt;
    return folder;
}

void dialog_hook_install() { ++memory().hook_depth; }

void dialog_hook_remove() {
    if (memory().hook_depth > 0) --memory().hook_depth;
}

bool dialog_hook_installed() { return memory().hook_depth > 0; }
