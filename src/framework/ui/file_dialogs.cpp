#include "framework/ui/file_dialogs.h"

#include "framework/state.h"

#include <algorithm>
#include <cctype>
#include <vector>

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

// True when the file name matches a pattern of the filters ("*.mod",
// "*.*"; several separated by ';'), in any case; a name without an
// extension matches too, and so does any name when there are no filters.
bool of_the_dialogs_type(const std::string& path, const std::vector<FileFilter>& filters) {
    const size_t slash = path.find_last_of('/');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const size_t dot = name.rfind('.');
    if (filters.empty() || dot == std::string::npos) return true;
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const FileFilter& f : filters) {
        size_t start = 0;
        while (start <= f.patterns.size()) {
            const size_t end = std::min(f.patterns.find(';', start), f.patterns.size());
            std::string pattern = f.patterns.substr(start, end - start);
            for (char& c : pattern) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            while (!pattern.empty() && pattern.front() == ' ') pattern.erase(0, 1);
            if (pattern == "*.*" || pattern == "*" || pattern == "*." + extension) return true;
            start = end + 1;
        }
    }
    return false;
}

// The path a dialog offers: the one asked for, else the file chosen last;
// a file of another type than the dialog's is not offered, only its folder
// (a valve library is no model name).
std::string offered_path(const FileDialogRequest& request) {
    const std::string path = request.initial_path.empty() ? ofn_file_path() : request.initial_path;
    if (of_the_dialogs_type(path, request.filters)) return path;
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string& ofn_file_path() { return memory().path; }

size_t ofn_file_offset() { return memory().file_offset; }

size_t ofn_extension_offset() { return memory().extension_offset; }

bool open_file_dialog_path(WindowId owner, FileDialogRequest& request) {
    request.initial_path = offered_path(request);
    return finish(backend().open_file_dialog(owner, request));
}

bool save_file_dialog_path(WindowId owner, FileDialogRequest& request) {
    request.initial_path = offered_path(request);
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
