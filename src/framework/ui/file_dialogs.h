// The common file, folder and font dialogs as the program uses them: the
// chosen path is kept in one shared text (no length limit) together with the
// offsets of its file name and extension.
#pragma once

#include "platform/backend.h"

#include <cstddef>
#include <optional>
#include <string>

// The path chosen last in an open or save dialog; also the initial path of
// the next dialog whose request names none.
std::string& ofn_file_path();
// After OK: where the file name starts in ofn_file_path(), and where its
// extension starts (after the dot; the path's length when it has none).
size_t ofn_file_offset();
size_t ofn_extension_offset();

// The open and save dialogs; true with ofn_file_path() set when a file was
// chosen, false (the path unchanged) when cancelled. The path offered is the
// request's, else the one chosen last; a file of another type than the
// dialog's filters name is not offered, only its folder.
bool open_file_dialog_path(WindowId owner, FileDialogRequest& request);
bool save_file_dialog_path(WindowId owner, FileDialogRequest& request);

// The text font and its chooser (text_font, choose_text_font) belong to the
// preferences: framework/app_settings.h.

// The folder browser; null when cancelled.
std::optional<std::string> browse_for_folder(WindowId owner, const std::string& title, const std::string& initial);

// The backend centres every common dialog over its owner itself; these mark
// the stretch in which that is wanted and are harmless when unbalanced.
void dialog_hook_install();
void dialog_hook_remove();
bool dialog_hook_installed();
