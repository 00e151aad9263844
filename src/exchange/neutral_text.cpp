#include "exchange/neutral_text.h"

#include "exchange/batch_import.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "platform/file_replace.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cerrno>
#include <sys/stat.h>

namespace {

// The closing note fills one message: a heading and at most five groups.
constexpr std::size_t MAX_NOTE_LINES = 6;
// Items a group lists before it only counts them.
constexpr std::size_t LISTED_ITEMS = 8;

struct Range {
    NeutralQuantity quantity;
    double lowest;
    double highest;
};

// Internal units. Lengths stay far inside a float so that a run of 7000 rows
// still adds up to a coordinate; limits and displacements stay below the
// "none" marks (5e29); temperatures not below absolute zero.
constexpr Range RANGES[] = {
    {NeutralQuantity::Coordinate, -1.0e7, 1.0e7},
    {NeutralQuantity::Dimension, 0.0, 1.0e7},
    {NeutralQuantity::SignedDimension, -1.0e7, 1.0e7},
    {NeutralQuantity::Angle, -1.0e3, 1.0e3},
    {NeutralQuantity::Temperature, -460.0, 1.0e5},
    {NeutralQuantity::Pressure, -1.0e7, 1.0e7},
    {NeutralQuantity::Stiffness, 0.0, 1.0e20},
    {NeutralQuantity::Force, -1.0e20, 1.0e20},
    {NeutralQuantity::Moment, -1.0e20, 1.0e20},
    {NeutralQuantity::Weight, 0.0, 1.0e20},
    {NeutralQuantity::Density, 0.0, 1.0e3},
    {NeutralQuantity::Area, 0.0, 1.0e12},
    {NeutralQuantity::Factor, 0.0, 1.0e12},
};

}  // namespace

std::ifstream open_import_file(const std::string& path)
{
    const std::string failed = "Unable to open import file:\n" + path;
    if (path.size() > BATCH_PATH_LIMIT)
        throw MessageText(with_reason(failed, system_reason(ENAMETOOLONG)));
    // Only a plain file is opened: opening a FIFO would wait for a writer,
    // and a device is no file that a model was written to.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        throw MessageText(with_reason(failed, system_reason(errno)));
    if (S_ISDIR(info.st_mode))
        throw MessageText(with_reason(failed, system_reason(EISDIR)));
    if (!S_ISREG(info.st_mode))
        throw MessageText(with_reason(failed, NOT_REGULAR_FILE_REASON));
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        throw MessageText(with_reason(failed, system_reason(errno != 0 ? errno : EIO)));
    return in;
}

NeutralLines::NeutralLines(std::istream& in)
{
    // The whole file first, in blocks, refused beyond its limit.
    std::string bytes;
    char block[65536];
    while (in.read(block, sizeof block), in.gcount() > 0) {
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > NEUTRAL_FILE_LIMIT)
            throw MessageText(c_format("The file is larger than %zu MB", NEUTRAL_FILE_LIMIT / (1024u * 1024u)));
    }
    // A UTF-8 byte-order mark before the first line is not part of it.
    std::size_t at = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    const char* const begin = bytes.data();
    const char* const end_of_file = begin + bytes.size();
    const char* p = begin + at;
    while (p < end_of_file) {
        if (static_cast<int>(lines_.size()) >= NEUTRAL_LINE_COUNT_LIMIT)
            throw MessageText(c_format("The file has more than %d lines", NEUTRAL_LINE_COUNT_LIMIT));
        // The line ends at the first CR or LF.
        const auto left = static_cast<std::size_t>(end_of_file - p);
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', left));
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', lf ? static_cast<std::size_t>(lf - p) : left));
        const char* end = cr ? cr : lf ? lf : end_of_file;
        const auto length = static_cast<std::size_t>(end - p);
        Line line;
        line.text.assign(p, std::min(length, NEUTRAL_LINE_LIMIT));
        for (char& c : line.text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte != 0x7f)
                continue;
            if (byte == 0) {
                c = ' ';
                if (line.fault.empty())
                    line.fault = "The line holds a NUL character";
            } else if (line.fault.empty() && byte != '\t' && byte != '\v' && byte != '\f') {
                line.fault = c_format("The line holds a control character (0x%02X)", byte);
            }
        }
        if (length > NEUTRAL_LINE_LIMIT) {
            line.text = line.text.substr(0, NEUTRAL_QUOTED_LINE) + "...";
            line.fault = c_format("The line is longer than %zu characters", NEUTRAL_LINE_LIMIT);
        }
        lines_.push_back(std::move(line));
        // CR LF ends one line, as LF and CR alone do.
        p = end + (end + 1 < end_of_file && end[0] == '\r' && end[1] == '\n' ? 2 : 1);
    }
}

// ---- Closing note ----------------------------------------------------------------------

void ImportNotes::add(const std::string& group, const std::string& raw_item)
{
    // Items quote words of the file.
    const std::string item = shown_controls(raw_item);
    for (Group& g : groups_)
        if (g.name == group) {
            g.items.push_back(item);
            return;
        }
    groups_.push_back({group, {item}});
}

void ImportNotes::add_first(const std::string& group, const std::string& item)
{
    add(group, item);
    const auto at = std::find_if(groups_.begin(), groups_.end(), [&group](const Group& g) { return g.name == group; });
    std::rotate(groups_.begin(), at, at + 1);
}

int ImportNotes::count(const std::string& group) const
{
    for (const Group& g : groups_)
        if (g.name == group)
            return static_cast<int>(g.items.size());
    return 0;
}

std::vector<std::string> ImportNotes::items(const std::string& group) const
{
    for (const Group& g : groups_)
        if (g.name == group)
            return g.items;
    return {};
}

std::string ImportNotes::text(const std::string& heading) const
{
    if (groups_.empty())
        return {};
    std::string out = heading;
    const std::size_t shown = groups_.size() <= MAX_NOTE_LINES - 1 ? groups_.size() : MAX_NOTE_LINES - 2;
    for (std::size_t i = 0; i < shown; ++i) {
        const Group& g = groups_[i];
        out += "\n" + g.name + ": ";
        for (std::size_t k = 0; k < g.items.size() && k < LISTED_ITEMS; ++k)
            out += (k ? ", " : "") + g.items[k];
        if (g.items.size() > LISTED_ITEMS)
            out += c_format(", ... (%zu in all)", g.items.size());
    }
    if (shown < groups_.size()) {
        out += "\nAlso: ";
        for (std::size_t i = shown; i < groups_.size(); ++i)
            out += (i > shown ? "; " : "") + groups_[i].name + c_format(" (%zu)", groups_[i].items.size());
    }
    return out;
}

bool neutral_value_in_range(NeutralQuantity q, double v)
{
    if (!std::isfinite(v))
        return false;
    for (const Range& r : RANGES)
        if (r.quantity == q)
            return v >= r.lowest && v <= r.highest;
    return false;
}
