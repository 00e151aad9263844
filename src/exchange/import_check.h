// What every importer (batch file, PipePak and CAESAR II neutral files)
// checks once its model stands, so that an import never gives a model that
// the program's own model file reader or model check refuses: every row is
// put through the model file's reader (first_unreadable_row), the sizes an
// element holds of its own (element_size_fault: a reducer's ends, a bend's
// walls) and every data item through their checks of the model check (its
// node on the pipe, not a bend's corner: item_off_pipe_refusal;
// DataItem::check: its values, its connected node, its direction), and then
// the whole model through the reader (model_read_refusal). The importer
// refuses the first fault, with the line that made its row when it has one.
//
// A model that passes may still hold what the analysis refuses of a model
// (a bend that nothing continues, say), which the user mends in the tables:
// the import is taken, and its closing note says what F12 will refuse.
#pragma once

#include <string>

class ImportNotes;

struct ImportRefusal {
    int row = 0;            // the row it names; 0 for none
    std::string message;    // empty when the model passes
};

// Runs on the built model.
ImportRefusal imported_model_refusal();

// The group of an import's closing note that says what the analysis's
// model check will refuse of the model the import built.
inline constexpr const char* IMPORT_MODEL_CHECK = "The analysis (F12) will refuse the model";
// Puts the built model through the analysis's model check, as F12 does
// before a run, and adds its refusal to the note under IMPORT_MODEL_CHECK.
void note_model_check(ImportNotes& notes);
