// The state of one PipePak neutral file import and what its line handlers
// share: the line reader, the word splitter, the error text, the node-name
// table, the unit rescaling of the file's centimetres and kilopascals, and
// the readers of values by quantity.
//
// Words are split at white space only (a comma is an ordinary character);
// white space between "(" and the next ")" belongs to the word. Every line
// but one that begins with "*" is upper-cased before it is split. "*" as a
// value means that the field is not given.
#pragma once

#include "exchange/neutral_text.h"
#include "framework/unit_choices.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

enum class PnfUnits { English, Metric, Si };

// The line kinds, by the line's first word.
enum class PnfLine { Title, Unit, Global, Material, Allowable, Load, Pipe, Row };

// Groups of the closing note.
inline constexpr const char* PNF_UNKNOWN_LINES = "Lines with unknown first words";
inline constexpr const char* PNF_IGNORED_LINES = "Lines not taken";
inline constexpr const char* PNF_EXTRA_WORDS = "Words after the last field, not read";
inline constexpr const char* PNF_DEFAULT_TABLES = "Materials with the default property table";
inline constexpr const char* PNF_UNDEFINED_NAMES = "Names that no line defines";
inline constexpr const char* PNF_CODE_NOTE = "Piping code";
inline constexpr const char* PNF_COLD_LOADS = "Cold loads of constant supports, not kept";

class PnfImport {
public:
    explicit PnfImport(const NeutralLines& lines) : lines_(lines) {}

    // ---- Lines ------------------------------------------------------------------------
    // Starts a pass at the first line.
    void restart_file();
    // Reads on to the next line that has a word: true with the line's kind;
    // false at the end of the file or at a "COD" line. A faulty line (too
    // long, a NUL or control character) ends the import.
    bool read_line();
    PnfLine kind() const { return kind_; }
    const std::string& keyword() const { return keyword_; }
    int line_number() const { return line_number_; }
    const std::string& line() const { return line_; }

    // ---- Words of the current line ----------------------------------------------------------
    // The next word behind the keyword (or the last word read); none at the
    // end of the line.
    std::optional<std::string> next();
    // The word after the keyword again.
    void restart_words();
    // Notes the rest of the line when it holds further words.
    void end_of_line();

    [[noreturn]] void fail(const std::string& message) const;
    [[noreturn]] void fail(const std::string& message, const std::string& word) const;
    void note(const char* group, const std::string& item) { notes.add(group, item); }
    // "line <n>" and, with a word, "line <n> (<word>)".
    std::string here(const std::string& word = {}) const;

    // ---- Node names -------------------------------------------------------------------------
    // The node number of a name: the same number for the same name (compared
    // whole); a new name takes the next free number after the last one
    // handed out. An empty name gives 0.
    int node_number(const std::string& name);
    // True when a name or a mid-bend position holds the number.
    bool number_taken(int number) const { return taken_.count(number) != 0; }
    void take_number(int number) { taken_.insert(number); }
    int current_node = 0;

    // ---- Values ----------------------------------------------------------------------------
    PnfUnits units = PnfUnits::English;
    // A plain number (parse_real) in range; otherwise `message` with the word.
    double plain(const std::string& word, const std::string& message, NeutralQuantity q) const;
    // A value through a unit parser, in range.
    float parsed(const std::string& word, int (*parser)(const std::string&, float&), const std::string& message,
                 NeutralQuantity q) const;
    // A value of `quantity` (a UnitQuantity) through its parser; a METRIC
    // file gives it in a unit `metric_scale` times the program's.
    float rescaled(const std::string& word, const std::string& message, NeutralQuantity q, int quantity,
                   double metric_scale, int (*parser)(const std::string&, float&)) const;
    // Lengths (DX, DY, DZ) in the length unit; METRIC files give centimetres.
    float length(const std::string& word, const std::string& message) const;
    // Dimensions of 0 or more in the dimension unit; METRIC centimetres.
    float dimension(const std::string& word, const std::string& message) const;
    // Signed dimensions (displacements, limits): a number in the dimension
    // unit (METRIC centimetres) kept with its sign.
    float signed_dimension(const std::string& word, const std::string& message) const;
    // Areas of 0 or more; METRIC square centimetres.
    float area(const std::string& word, const std::string& message) const;
    // Translational and rotational stiffnesses ("RIGID" and its leading parts
    // give the rigid value).
    float stiffness(const std::string& word, const std::string& message) const;
    float rot_stiffness(const std::string& word, const std::string& message) const;
    // 1 in the file's rotational-stiffness unit, as an internal value.
    static float one_rot_unit();

    // ---- Carried and collected -------------------------------------------------------------
    std::string section, material, load;   // the element lines' carried names
    int hanger_type = 16;                  // of HANGER lines
    // The line of each layout row, so that a check after the build names it.
    std::vector<int> row_lines{0};
    // The line of the second pass that changed a row's element, by row.
    std::map<int, int> changed_lines;
    int append_row();
    ImportNotes notes;

private:
    const NeutralLines& lines_;
    int next_index_ = 1;
    bool second_pass_ = false;
    int line_number_ = 0;
    std::string line_;
    std::string work_;
    std::string keyword_;
    PnfLine kind_ = PnfLine::Row;
    std::size_t pos_ = 0;
    std::size_t after_keyword_ = 0;

    std::map<std::string, int> names_;
    std::set<int> taken_;
    int last_number_ = 0;
};

// ---- Line handlers ------------------------------------------------------------------------

// Part one: TITLE, UNIT, GLOBAL, MATERIAL, ALLOWABLE, LOAD, PIPE (pnf_sections.cpp).
void read_pnf_title(PnfImport& p);
void read_pnf_unit(PnfImport& p);
void read_pnf_global(PnfImport& p);
void read_pnf_material(PnfImport& p);
void read_pnf_allowable(PnfImport& p);
void read_pnf_load(PnfImport& p);
void read_pnf_pipe_section(PnfImport& p);
// After the first pass: the closing note of the materials' tables.
void note_pnf_materials(PnfImport& p);

// Row lines (pnf_elements.cpp): the first-pass handler of every row line;
// true when the keyword is one that a row line may have (in either pass).
bool read_pnf_row(PnfImport& p);
// The second pass: VALVE, CUT, REDUCER and BELLOW on the built model.
void read_pnf_row_pass2(PnfImport& p);

// Support, fitting and load lines (pnf_supports.cpp): the data type of a
// keyword (0 when it is none), and the handler of such a line, which finds
// its node and position, adds a Location row there and fills its item.
int pnf_support_dtype(const std::string& keyword);
void read_pnf_support(PnfImport& p);
