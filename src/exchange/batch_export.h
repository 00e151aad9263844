// The export of the model as a model batch file (".mbf"), in the current
// form (version 10.20) or the older 6.xx form, which the batch import reads
// back as the same model: every number in its quantity's unit with the
// digits that give back the stored float, item lists continued on the next
// line before a line would pass the reader's limit.
//
// What the format has no place for is listed in one table
// (BATCH_NOT_CARRIED); the export counts every such item it meets, with its
// rows, so that the user is told what the file leaves out. A unit shown now
// that the file's unit form does not give is named with the unit the model
// read back shows instead. A description that the file cannot hold as it is
// goes with the characters it cannot hold replaced, and is counted so. Text
// that would change the file's syntax (a title whose first word is a section
// key; a name or tag holding a separator) and names that two records of one
// set share are refused before anything is written.
#pragma once

#include "exchange/export_file.h"
#include "framework/unit_choices.h"

#include <ostream>
#include <string>
#include <vector>

enum BatchExportVersion : int {
    BATCH_EXPORT_CURRENT = 1020,
    BATCH_EXPORT_6XX = 600,
};

// The unit form of the file: chosen from the length unit (m or mm: SI; inch
// with EXPORT_INCHES: IN; else feet-and-inches), or given.
enum BatchUnitForm : int {
    BATCH_UNITS_FROM_MODEL = 0,
    BATCH_UNITS_FEET_INCH,
    BATCH_UNITS_INCH,
    BATCH_UNITS_SI,
};

// The kinds of model data that a batch file cannot carry.
enum BatchNotCarried : int {
    NC_SPECTRA,
    NC_FORCE_SPECTRA,
    NC_TIME_FUNCTIONS,
    NC_LOAD_CASES,
    NC_VIEW_AND_UNITS,
    NC_DISPLAY_UNITS,
    NC_REVISIONS,
    NC_QA_BLOCK,
    NC_OPTIONS,
    NC_TIME_VARYING_LOAD,
    NC_FORCE_SPECTRUM_LOAD,
    NC_GENERIC_SUPPORT,
    NC_SECTION_SIZE,
    NC_BEAM_DESCRIPTION,
    NC_MATERIAL_FIELDS,
    NC_PUMP_FIELDS,
    NC_SECTION_RADIUS,
    NC_HANGER_DESIGN,
    NC_LOWER_CASE,
    NC_LONG_TITLE,
    NC_ROW_WITHOUT_NODE,
    NC_ROW_NAMES,
    NC_UNDEFINED_NAME,
    NC_ELEMENT_FIELDS,
    NC_BELLOWS_STIFFNESS,
    NC_DATA_FIELDS,
    NC_BEND_PLANES,
    NC_DATA_REPLACED,
    NC_DATA_ITEM_LEFT_OUT,
    NC_SHARED_KEYWORD,
    NC_SEISMIC_FLAGS,
    NC_WIND_FIELDS,
    NC_LOAD_FIELDS,
    NC_FORM_6XX,
    NC_MATERIAL_DESCRIPTION,
    NC_PUMP_DESCRIPTION,
    NC_COMPRESSOR_DESCRIPTION,
    NC_TURBINE_DESCRIPTION,
    NC_KINDS,
};

// What the warning calls a kind. A text that tells a value holds "{value}"
// where the value goes: `value` of `quantity` (internal units), shown in the
// units of the model.
struct BatchNotCarriedEntry {
    BatchNotCarried kind;
    const char* text;
    int quantity = 0;
    double value = 0.0;
};
extern const BatchNotCarriedEntry BATCH_NOT_CARRIED[NC_KINDS];
// The text of a kind as the warning names it, its value put in.
std::string batch_not_carried_text(BatchNotCarried kind);

// What one export left out: per kind the number of items, the rows (0 for
// an item of no row) and, for items that rows do not tell apart, their names.
struct BatchExportReport {
    struct Entry {
        int count = 0;
        std::vector<int> rows;
        std::vector<std::string> names;
    };
    Entry entries[NC_KINDS];

    void add(BatchNotCarried kind, int row = 0, int count = 1);
    void add_named(BatchNotCarried kind, const std::string& name);
    bool empty() const;
    // "The batch file leaves out:" and one line per kind with its count and
    // its rows or names; empty when nothing was left out.
    std::string message() const;
};

// The display units that the file written in `form` does not carry: for each
// quantity whose unit in `shown` the model read back shows otherwise, its
// name, that unit and the one read back (a text for the export's warning).
std::vector<std::string> batch_units_not_carried(const UnitChoices& shown, BatchUnitForm form);

// A layout row's line: the head and, behind ",C", its items joined by
// commas; where the line would pass `limit` it ends after an item's comma
// and the list goes on in the next line.
std::vector<std::string> batch_row_lines(const std::string& head, const std::vector<std::string>& items,
                                         std::size_t limit);

struct BatchExportSettings {
    int version = BATCH_EXPORT_CURRENT;
    BatchUnitForm units = BATCH_UNITS_FROM_MODEL;
};

// Writes the model as batch text. The unit choices are put back however it
// ends. Throws a message text, before writing anything, for text that the
// file cannot hold.
BatchExportReport write_batch_text(std::ostream& out, const BatchExportSettings& settings = {});
std::string batch_export_text(const BatchExportSettings& settings = {}, BatchExportReport* report = nullptr);
// The file (through a temporary file, see export_file.h).
BatchExportReport export_batch_file_at(const std::string& path, const BatchExportSettings& settings = {},
                                       const ExportBufferFilter& filter = {});
