// What the importers of neutral files (PipePak ".pnf", CAESAR II ".cii")
// share: the file taken as lines before any of it is read, the closing note
// of what a file held that the model did not take, and the ranges that the
// values of a file must lie in.
//
// Neutral files are written by other programs and often edited by hand, so
// every byte is treated as hostile: the file and its lines are bounded,
// line ends are LF, CR LF or CR alone, a leading UTF-8 byte-order mark is
// dropped, and a line holding a NUL or another control character is a fault
// of that line, reported when the reader reaches it with its line number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

// The largest neutral file and the most lines it may hold.
inline constexpr std::size_t NEUTRAL_FILE_LIMIT = 32u * 1024u * 1024u;
inline constexpr int NEUTRAL_LINE_COUNT_LIMIT = 2000000;
// The longest line of a neutral file.
inline constexpr std::size_t NEUTRAL_LINE_LIMIT = 255;
// How much of a refused overlong line an error text quotes.
inline constexpr std::size_t NEUTRAL_QUOTED_LINE = 80;

// Opens a file to import for reading: "Unable to open import file:\n<path>"
// and, on a line of its own, the system's reason when it cannot be opened
// ("Is a directory.", "Not a regular file." for a FIFO or a device).
std::ifstream open_import_file(const std::string& path);

class NeutralLines {
public:
    // Reads the whole stream. Throws a message text (naming no line) for a
    // file beyond NEUTRAL_FILE_LIMIT bytes or NEUTRAL_LINE_COUNT_LIMIT lines.
    explicit NeutralLines(std::istream& in);

    int count() const { return static_cast<int>(lines_.size()); }
    // Line n (1..count()) as read, without its line end; an overlong line is
    // cut to what its error text quotes.
    const std::string& text(int n) const { return lines_[static_cast<std::size_t>(n - 1)].text; }
    // What is wrong with line n: "" when it is sound, else the message
    // ("The line is longer than 255 characters", "The line holds a NUL
    // character", "The line holds a control character").
    const std::string& fault(int n) const { return lines_[static_cast<std::size_t>(n - 1)].fault; }

private:
    struct Line {
        std::string text;
        std::string fault;
    };
    std::vector<Line> lines_;
};

// The closing note of an import: what the file held that the model did not
// take, in groups ("Lines with unknown first words", ...), each with its
// items in the order they were met. Nothing a file held is lost without a
// word: every group says how many items it has, also where it lists only
// the first few.
class ImportNotes {
public:
    void add(const std::string& group, const std::string& item);
    // The same for a group that goes before all others (what the user must
    // act on), so that the note never leaves it out.
    void add_first(const std::string& group, const std::string& item);
    bool empty() const { return groups_.empty(); }
    // The number of groups.
    std::size_t groups() const { return groups_.size(); }
    // The number of items of a group (0 when there is none).
    int count(const std::string& group) const;
    // The items of a group in order.
    std::vector<std::string> items(const std::string& group) const;
    // The note as the message shows it: a first line, then one line per
    // group ("<group>: a, b, c (12 in all)"), at most MAX_NOTE_LINES lines;
    // further groups are named on the last line. Empty when there is
    // nothing to say.
    std::string text(const std::string& heading) const;

private:
    struct Group {
        std::string name;
        std::vector<std::string> items;
    };
    std::vector<Group> groups_;
};

// The quantities whose values a neutral file gives, each with the range its
// internal value (inch, lb, psi, degF, radian) must lie in. The ranges keep
// every value a finite float that the model's records, the model build and
// the model file take: beyond them a value is refused with its line.
enum class NeutralQuantity {
    Coordinate,        // offsets and coordinates, inch
    Dimension,         // diameters, thicknesses, radii, gaps: 0 or more
    SignedDimension,   // displacements, limits
    Angle,             // radian
    Temperature,       // degF, not below absolute zero
    Pressure,          // psi
    Stiffness,         // lb/in or in-lb/rad: 0 or more
    Force,             // lb
    Moment,            // in-lb
    Weight,            // lb: 0 or more
    Density,           // lb/in3: 0 or more
    Area,              // in2: 0 or more
    Factor,            // SIFs, specific gravity, friction, multipliers: 0 or more
};
bool neutral_value_in_range(NeutralQuantity q, double internal_value);
