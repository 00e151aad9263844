// The window of the component qualification modes: flange qualification,
// lug evaluation and nozzle qualification each lend the list window for a
// data set of their own, as the library modes do. Entering a mode hides the
// main window and gives the list window the mode's menu, accelerators, tool
// bar, title and placement, and the report of the data set as its table;
// leaving it gives back what the list window had, and the user's unit
// choices (a file read in the mode applies its own).
//
// Every kind describes itself once (QualificationWindow); the file commands
// (New, Open, Close, Save, Save As, the save question), Analyze with its
// save question, Edit, Print, Units and Exit work the same for the three.
// `model_modified` is the data set's modified flag while a mode lasts.
#pragma once

#include "framework/unit_choices.h"
#include "platform/backend.h"

#include <functional>
#include <string>

class TableWindow;

enum class QualificationKind { Flange = 0, Lug = 1, Nozzle = 2 };

// A data set read from a file, to be made the mode's: `commit` takes the
// record; the units are applied by the mode.
struct QualificationRead {
    std::function<void()> commit;
    UnitChoices units{};
};

struct QualificationWindow {
    QualificationKind kind = QualificationKind::Flange;
    std::string title;            // "Flange Qualification": the window's title text
    std::string menu;             // "FLANGE_ANALYSIS"
    std::string accelerators;     // "FLANGE_ACCEL"
    std::string placement_name;   // where its placement is kept
    std::string extension;        // "flg"
    std::string filter;           // "Flange Qualification files (*.flg)"
    std::string save_as_title;    // "Save As"
    std::string saved_text;       // "Flange Qualification file saved"
    int analyze_command = 0;
    int edit_command = 0;
    // Writes the data set with the current unit choices; throws a message.
    std::function<void(const std::string& path)> write;
    // Reads a file into a record of its own; throws a message naming it.
    std::function<QualificationRead(const std::string& path)> read;
    // The data set of File New: the defaults, evaluation cleared.
    std::function<void()> defaults;
    // The input dialog or sheet; refreshes the report when it stored.
    std::function<void(WindowId owner)> edit;
    // Analyze: the evaluation becomes part of the report.
    std::function<void()> analyze;
    // Writes the report to the destination of the printing state.
    std::function<void()> write_report;
    // The list window's table of the report; `refresh` rebuilds it (its
    // caret back at the top when the data changed).
    std::function<TableWindow&()> table;
    std::function<void()> refresh;
};

// Registers the kind: its File New choice, its opener and its resources.
void register_qualification_window(const QualificationWindow& window);
const QualificationWindow& qualification_window(QualificationKind kind);

// The kind's file, empty for an untitled data set, and its folder.
const std::string& qualification_file_path(QualificationKind kind);

bool qualification_mode_active();
bool qualification_mode_is(QualificationKind kind);

// File New of a kind: the model closes (leaving any mode), the defaults
// become the data set, untitled and modified, and the mode is entered.
void new_qualification(QualificationKind kind);
// Opens a file of a kind: read into a record of its own; only when the whole
// file is good the current mode or model closes and the mode is entered with
// the file's data, path and units. A file that cannot be read is named in
// a message and changes nothing.
void open_qualification_file(QualificationKind kind, const std::string& path);
// Leaves the mode (nothing outside one): the list window hides and gets its
// own menu, accelerators, tool bar, placement and title back, the path is
// forgotten, model_modified is cleared and the user's unit choices return.
void leave_qualification_mode();

// The save question with the file name or "Untitled": IDYES, IDNO or
// IDCANCEL; Yes saves (Save As for an untitled data set) and gives IDCANCEL
// when that was cancelled or failed.
int query_save_qualification(WindowId owner);
// Save (Save As when untitled) and Save As: true when written.
bool save_qualification(WindowId owner);
bool save_qualification_as(WindowId owner);
// Analyze: asks to save changed data first and evaluates only after Yes.
void analyze_qualification(WindowId owner);
// The Print command: the print dialog and the report to its destination.
void print_qualification(WindowId owner);

// The menus, accelerator tables and tool bar of the three windows.
void install_qualification_resources();
