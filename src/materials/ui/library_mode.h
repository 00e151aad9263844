// Library mode: a library file edited as a document of its own. The main
// window hides and the list window shows alone, with the library's menu,
// accelerators and tool bar, showing the input table of the library's
// records; the model's array of that kind (materials, beam sections,
// spectra) or the valve records hold the library's records, so that the
// ordinary tables and dialogs serve the library too. The user's unit choices
// and piping code are remembered on entering and put back on leaving.
//
// The spectrum library's records are the loads layer's: it gives its window
// to enter_library_mode from there (loads/ui/spectrum_library_ui.h); its
// menu and keys are made here with the others'.
#pragma once

#include "materials/library_file.h"
#include "platform/backend.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

// What a library kind gives its window.
struct LibraryWindow {
    LibraryKind kind = LibraryKind::Material;
    std::string menu;             // "MATLIB_MENU"
    std::string accelerators;     // "MATLIB_ACCEL"
    std::string placement_name;   // kept in the settings; empty: while the program runs
    std::vector<int> buttons;     // tool buttons shown beyond those of the library bar
    std::set<int> commands;       // the kind's own commands, served by `command`
    std::function<void(int id)> command;
    // The save question when the library has changes: false when the
    // command that asked may not go on.
    std::function<bool(WindowId owner)> ask_save;
    std::function<void(WindowId owner)> save;       // Save
    std::function<void(WindowId owner)> save_as;    // Save As
    std::function<void()> open_table;
    // Gives the model's arrays back: the library's records go.
    std::function<void()> empty_records;
    std::function<std::string&()> path;             // the library's file; empty when untitled
    std::function<void(bool on)> set_mode_flag;
};

// Enters library mode with the window of a kind. `load` moves the library's
// records into the model's arrays and makes its units current; it runs after
// the user's unit choices and piping code have been remembered.
void enter_library_mode(const LibraryWindow& window, const std::function<void()>& load = {});
// Leaves library mode: the path is forgotten, the list window gives its
// table back, hides and takes its own placement, menu, accelerators and
// tool bar again, the main window's accelerators are current, the library's
// records leave the model's arrays, model_modified is cleared and the user's
// unit choices and piping code are back. Showing the main window is the
// caller's step. Nothing outside library mode.
void leave_library_mode();
bool library_mode_active();
bool library_mode_is(LibraryKind kind);
// In the library mode of the kind the list window's title and the report's
// file name follow the library's path.
void library_path_changed(LibraryKind kind, const std::string& path);

// The file operations that every kind shares.
struct LibraryFile {
    LibraryKind kind = LibraryKind::Material;
    std::function<std::string&()> path;
    std::function<std::string&()> directory;
    std::function<void(const std::string& path)> set_path;
    // Writes the library being edited to the path; throws a message text.
    std::function<void(const std::string& path)> write;
};
// Writes the library; "<Title> saved" in INFO_DIALOG, or the failure shown.
// True when written (model_modified is then clear).
bool save_library(const LibraryFile& file, WindowId owner);
// The save dialog ("Save Material Library As", the kind's one filter); on a
// chosen name the path is set and the library saved.
bool save_library_as(const LibraryFile& file, WindowId owner);
// Save, or Save As for an untitled library.
bool save_library_command(const LibraryFile& file, WindowId owner);
// The save question (SAVE_CHANGES_DIALOG with the file name or "Untitled"):
// Yes saves. False when the caller must stay: Cancel, or Yes and the library
// could not be saved.
bool ask_save_library(const LibraryFile& file, WindowId owner);
// Where a library's open dialog starts: the library's file, else the folder
// of the last one, else (nothing chosen yet) the folder of the libraries
// shipped beside the program.
std::string library_dialog_start(const std::string& path, const std::string& directory);
// The open dialog of a kind ("Open Beam Library", its filters, where
// library_dialog_start says, an existing file); the chosen path, empty when
// cancelled.
std::string choose_library_file(const LibraryFile& file, WindowId owner,
                                const std::vector<FileFilter>& filters = {});
// "File extension must be : bli" for a path of another extension; true when
// the extension (in any case) is the kind's.
bool check_library_extension(const LibraryFile& file, WindowId owner, const std::string& path);

// Starts a library document (File New, or a library file opened): the model
// and its windows close (leaving any library mode first).
void close_model_for_library();

// The library windows' menus, accelerator tables and tool bar.
void install_library_resources();
