// The spring-hanger catalogues that the hanger design sizes from: one text
// file per catalogue of the hanger types 1..35 ("16.txt" for Grinnell), in
// the folder "hangers" beside the model file when it holds the catalogue,
// else in the folder "hangers" beside the program (the shipped ones, made
// from libraries/hangers/).
//
// The file, line by line (blank lines and lines starting with '#' are
// comments; '#' ends the data of a line, and what follows it is the line's
// source):
//   CATALOGUE <type> <name>        first data line; type and name as the
//                                  hanger list has them ("16 Grinnell")
//   SPRING <figure> <size> <range> <min load> <max load> <rate>   # source
//       a variable spring: figure (series) and size names of at most 6
//       characters, its range SHORT, MID or LONG, its working range (lb) and
//       its spring rate (lb/in)
//   CONSTANT <figure> <size> <min load> <max load> <travel>       # source
//       a constant support: its load range (lb) and its total travel (inch)
// Every SPRING and CONSTANT line names its source after '#' (the maker's
// catalogue, its edition and page). A catalogue with no such line carries no
// data: the design stops on it with "No data is available for the %s spring
// catalogue".
#pragma once

#include <memory>
#include <string>
#include <vector>

enum class SpringRange { Short = 0, Mid = 1, Long = 2 };

struct SpringSize {
    std::string figure;
    std::string size;
    SpringRange range = SpringRange::Mid;
    double min_load = 0.0;   // lb
    double max_load = 0.0;   // lb
    double rate = 0.0;       // lb/in
};

struct ConstantSize {
    std::string figure;
    std::string size;
    double min_load = 0.0;   // lb
    double max_load = 0.0;   // lb
    double travel = 0.0;     // inch
};

struct HangerCatalogue {
    int type = 0;
    std::string name;
    std::vector<SpringSize> springs;
    std::vector<ConstantSize> constants;
    bool has_data() const { return !springs.empty() || !constants.empty(); }
};

// The catalogues a run sizes from, by hanger type 1..35 (null when the run
// has no hanger of that type).
struct HangerCatalogues {
    std::vector<std::shared_ptr<const HangerCatalogue>> by_type;
    const HangerCatalogue* find(int type) const;
};

inline constexpr int MAX_CATALOGUE_LINES = 2000;
inline constexpr std::size_t MAX_CATALOGUE_LINE = 255;
inline constexpr std::size_t MAX_CATALOGUE_BYTES = 1 << 20;

// The file name of a catalogue type: "16.txt".
std::string hanger_catalogue_file_name(int type);

// Reads a catalogue from its text; `file` names it in the messages. Throws
// "Hanger catalogue <file>, line <n>: <what is wrong>" for the first fault:
// a line of an unknown kind, a missing or extra field, a name longer than 6
// characters, a number that does not parse or is not finite, a load or rate
// not above 0, a minimum load not below the maximum, a range other than
// SHORT, MID or LONG, a figure named with two ranges, a size given twice, a
// data line without its source, a missing or second CATALOGUE line, or a
// type and name that are not the hanger list's; a file too long or with a
// line over 255 characters.
HangerCatalogue parse_hanger_catalogue(const std::string& text, const std::string& file);
// Reads the file; "Unable to read hanger catalogue <path>" when it cannot.
HangerCatalogue read_hanger_catalogue(const std::string& path);

// The folders searched for a model's catalogues, in order: "hangers" beside
// the model file (when it has a path), then "hangers" beside the program.
std::vector<std::string> hanger_catalogue_folders(const std::string& model_path);
// The catalogue of a type from the first folder that has its file; null
// when none has it or the one found carries no data. Throws the reader's
// message for a bad file.
std::shared_ptr<const HangerCatalogue> find_hanger_catalogue(int type, const std::vector<std::string>& folders);
// "No data is available for the %s spring catalogue".
std::string no_catalogue_data_text(int type);
