// The model's life cycle and the File commands: new, open, close, save, save
// as, merge, the recent models, and the Results command's reading of the
// model file.
//
// What later subsystems add to these commands (the layout window's display,
// the other windows, the flange and branch-SIF checks before a save, the
// results, the other kinds of document) arrives through ModelFileHooks; an
// empty hook does nothing.
#pragma once

#include "platform/backend.h"

#include <array>
#include <functional>
#include <string>

inline constexpr int NEW_DOCUMENT_KINDS = 8;
// The choices of the File New dialog.
enum NewDocumentKind : int {
    NEW_KIND_MODEL = 1,
    NEW_KIND_MATERIAL_LIBRARY = 2,
    NEW_KIND_SPECTRUM_LIBRARY = 3,
    NEW_KIND_VALVE_LIBRARY = 4,
    NEW_KIND_BEAM_LIBRARY = 5,
    NEW_KIND_FLANGE = 6,
    NEW_KIND_NOZZLE = 7,
    NEW_KIND_LUG = 8,
};

struct ModelFileHooks {
    // After a model has been created or read: activates the layout frame,
    // refreshes the graphics and list views and reloads the layout table.
    std::function<void()> present_layout_window;
    // Before another model takes the place of the current one: detaches and
    // hides the list, layout and graphics windows, leaves a library window
    // and results mode.
    std::function<void()> close_windows;
    // The type of the flange data item of a row (0 = not defined yet).
    std::function<int(int row)> flange_type;
    // Run by the Save and Save As commands before the model is written; a
    // thrown message text stops the save.
    std::function<void(WindowId owner)> check_branch_sifs;
    // After the first run opened the sample model: the view it is shown in.
    std::function<void()> set_sample_view;
    // Just before the model is written to a path, and after it was written
    // there (Save, Save As, the questions that save).
    std::function<void(const std::string& path)> saving;
    std::function<void(const std::string& path)> saved;
    // Opens the results of the model just read (the Results command).
    std::function<void(WindowId owner)> open_results;
    // Starts a new document of the kinds 2 to 8 (index by NewDocumentKind);
    // a kind without one is greyed in the File New dialog.
    std::array<std::function<void(WindowId owner)>, NEW_DOCUMENT_KINDS + 1> new_document;
};
ModelFileHooks& model_file_hooks();

// ---- Life cycle -----------------------------------------------------------------------

// Empties the model (rows, nodes, the title and every registered section),
// clears the load-case list, sets the numeric option defaults
// (init_model_options) and clears model_modified. The unit choices, the
// piping code, the vertical axis, the option flags and the QA block stay.
void init_model();
// Closes the other windows (ModelFileHooks::close_windows), forgets the file
// (set_untitled) and initialises the model.
void close_model();
// Forgets the model file path, shows "Untitled" in the titles and clears
// model_modified.
void set_untitled();
// Takes the path as model_file_path and shows its name in the titles.
void set_model_file_path(const std::string& path);
// Paths derived from the model file path: its folder, and the path with
// another extension ("txt" report, "emf" picture, "res" results). Empty for
// an untitled model.
std::string model_folder();
std::string model_path_with_extension(const std::string& extension);
// The layout window after a model has been created or read (the hook; the
// main window when there is none).
void present_layout_window();

// ---- Files ------------------------------------------------------------------------------

// Writes the model to model_file_path (which must be set), clears
// model_modified, adds the file to the recent models and shows "Model
// saved." unless in batch mode. Outside batch mode a flange without a type
// asks first, and No returns false without writing. A failed write throws.
bool save_model(WindowId owner);
// Reads model_file_path with read_model; a failure is shown over the owner
// and gives false, leaving the model as it was. Clears model_modified on
// success.
bool read_model(WindowId owner);
// The sample model beside the program, which the program's first run opens.
inline constexpr char SAMPLE_MODEL_NAME[] = "sample.mod";
// Opens the sample model when it lies beside the program (a message when it
// cannot be read) and sets its view; nothing when there is none.
void open_sample_model();
// Opens a model file (the opener of ".mod"): asks to save a modified model,
// reads the file, and on success makes it the current model and document.
// A file that cannot be read throws and changes nothing.
void open_model_file(const std::string& path);
// Asks to save a modified model: true when the caller may go on (saved, or
// the changes are to be dropped), false when the user cancelled or the save
// did not happen. True at once in batch mode or when nothing changed.
bool confirm_discard_model(WindowId owner);

// ---- Commands ---------------------------------------------------------------------------

// New and Open; with `discard_confirmed` the question about unsaved changes
// has been asked already (a library window asks its own).
void new_file_command(WindowId owner, bool discard_confirmed = false);
void open_command(WindowId owner, bool discard_confirmed = false);
// True while the Open command opens the file it asked for: the question
// about unsaved changes has been asked already.
bool open_discard_confirmed();
void close_command(WindowId owner);
// Save: Save As for an untitled model. True when the model was written.
bool save_command(WindowId owner);
bool save_as_command(WindowId owner);
// Merge: the model file chosen is merged into the model, and a message says
// what the merge renamed and where the merged rows meet the model.
void merge_command(WindowId owner);
// Results: reads the model file again and opens its results.
void results_command(WindowId owner);

// Registers the File commands (New, Open, Close, Save, Save As, Merge,
// Results) and the opener of ".mod" files.
void install_model_file_commands();
