#include "analysis/hanger_catalogue.h"

#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "supports/hanger.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

// The largest load (lb), rate (lb/in) and travel (inch) a line may give.
constexpr double MAX_LOAD = 1.0e7;
constexpr double MAX_RATE = 1.0e9;
constexpr double MAX_TRAVEL = 1000.0;

class LineReader {
public:
    LineReader(const std::string& file, int line, std::vector<std::string> fields)
        : file_(file), line_(line), fields_(std::move(fields))
    {
    }

    [[noreturn]] void fail(const std::string& what) const
    {
        throw_message(c_format("Hanger catalogue %s, line %d: ", file_.c_str(), line_) + what);
    }
    void expect_fields(std::size_t count) const
    {
        if (fields_.size() != count)
            fail(c_format("%s needs %d fields, not %d", fields_[0].c_str(), static_cast<int>(count) - 1,
                          static_cast<int>(fields_.size()) - 1));
    }
    const std::string& text(std::size_t i) const { return fields_[i]; }
    std::string name(std::size_t i, const char* what) const
    {
        const std::string& t = fields_[i];
        if (t.size() > HANGER_NAME_WIDTH)
            fail(c_format("the %s name %s is longer than %d characters", what, t.c_str(),
                          static_cast<int>(HANGER_NAME_WIDTH)));
        return t;
    }
    double number(std::size_t i, const char* what, double most) const
    {
        const std::string& t = fields_[i];
        errno = 0;
        char* end = nullptr;
        const double v = std::strtod(t.c_str(), &end);
        if (t.empty() || end != t.c_str() + t.size() || errno == ERANGE || !std::isfinite(v))
            fail(c_format("the %s %s is not a number", what, t.c_str()));
        if (!(v > 0.0) || v > most)
            fail(c_format("the %s %s is out of range", what, t.c_str()));
        return v;
    }

private:
    const std::string& file_;
    int line_;
    std::vector<std::string> fields_;
};

std::vector<std::string> split_fields(const std::string& data)
{
    std::vector<std::string> fields;
    std::istringstream in(data);
    std::string field;
    while (in >> field)
        fields.push_back(field);
    return fields;
}

SpringRange range_of(const LineReader& r, const std::string& text)
{
    if (text == "SHORT")
        return SpringRange::Short;
    if (text == "MID")
        return SpringRange::Mid;
    if (text == "LONG")
        return SpringRange::Long;
    r.fail("the range " + text + " is not SHORT, MID or LONG");
}

}  // namespace

const HangerCatalogue* HangerCatalogues::find(int type) const
{
    if (type < 0 || static_cast<std::size_t>(type) >= by_type.size())
        return nullptr;
    return by_type[static_cast<std::size_t>(type)].get();
}

std::string hanger_catalogue_file_name(int type)
{
    return c_format("%d.txt", type);
}

HangerCatalogue parse_hanger_catalogue(const std::string& text, const std::string& file)
{
    if (text.size() > MAX_CATALOGUE_BYTES)
        throw_message("Hanger catalogue " + file + " is too long");
    HangerCatalogue catalogue;
    bool named = false;
    std::map<std::string, SpringRange> figure_ranges;
    std::set<std::pair<std::string, std::string>> sizes;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    int data_lines = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = c_format("Hanger catalogue %s, line %d: ", file.c_str(), number);
        if (line.size() > MAX_CATALOGUE_LINE)
            throw_message(where + "the line is longer than 255 characters");
        if (line.find('\0') != std::string::npos)
            throw_message(where + "the line holds a NUL character");
        const std::size_t hash = line.find('#');
        const std::string data = trimmed(line.substr(0, hash));
        const std::string source = hash == std::string::npos ? std::string() : trimmed(line.substr(hash + 1));
        std::vector<std::string> fields = split_fields(data);
        if (fields.empty())   // blanks, tabs and carriage returns only
            continue;
        if (++data_lines > MAX_CATALOGUE_LINES)
            throw_message(where + c_format("more than %d data lines", MAX_CATALOGUE_LINES));
        const std::string kind = fields[0];
        LineReader r(file, number, std::move(fields));
        if (kind == "CATALOGUE") {
            if (named)
                r.fail("a second CATALOGUE line");
            if (split_fields(data).size() < 3)
                r.fail("CATALOGUE needs the type and the name");
            const std::string type_text = r.text(1);
            char* end = nullptr;
            const long type = std::strtol(type_text.c_str(), &end, 10);
            if (end != type_text.c_str() + type_text.size() || type < 1 || type > HANGER_CATALOGUES)
                r.fail("the catalogue type " + type_text + " is not 1 to 35");
            const std::size_t at = data.find(type_text, data.find("CATALOGUE") + 9);
            const std::string name = trimmed(data.substr(at + type_text.size()));
            if (name != hanger_type_name(static_cast<int>(type)))
                r.fail(c_format("the name of catalogue %ld is %s, not ", type, hanger_type_name(static_cast<int>(type))) +
                       name);
            catalogue.type = static_cast<int>(type);
            catalogue.name = name;
            named = true;
            continue;
        }
        if (!named)
            r.fail("the first data line is not the CATALOGUE line");
        if (kind != "SPRING" && kind != "CONSTANT")
            r.fail("a line of the unknown kind " + kind);
        if (source.empty())
            r.fail("the line does not name its source after '#'");
        if (kind == "SPRING") {
            r.expect_fields(7);
            SpringSize s;
            s.figure = r.name(1, "figure");
            s.size = r.name(2, "size");
            s.range = range_of(r, r.text(3));
            s.min_load = r.number(4, "minimum load", MAX_LOAD);
            s.max_load = r.number(5, "maximum load", MAX_LOAD);
            s.rate = r.number(6, "spring rate", MAX_RATE);
            if (!(s.min_load < s.max_load))
                r.fail("the minimum load is not below the maximum load");
            const auto [known, added] = figure_ranges.emplace(s.figure, s.range);
            if (!added && known->second != s.range)
                r.fail("the figure " + s.figure + " is given two ranges");
            if (!sizes.emplace(s.figure, s.size).second)
                r.fail("the size " + s.figure + " " + s.size + " is given twice");
            catalogue.springs.push_back(std::move(s));
        } else {
            r.expect_fields(6);
            ConstantSize c;
            c.figure = r.name(1, "figure");
            c.size = r.name(2, "size");
            c.min_load = r.number(3, "minimum load", MAX_LOAD);
            c.max_load = r.number(4, "maximum load", MAX_LOAD);
            c.travel = r.number(5, "travel", MAX_TRAVEL);
            if (!(c.min_load < c.max_load))
                r.fail("the minimum load is not below the maximum load");
            if (figure_ranges.count(c.figure) || !sizes.emplace(c.figure, c.size).second)
                r.fail("the size " + c.figure + " " + c.size + " is given twice");
            catalogue.constants.push_back(std::move(c));
        }
    }
    if (!named)
        throw_message("Hanger catalogue " + file + " has no CATALOGUE line");
    return catalogue;
}

HangerCatalogue read_hanger_catalogue(const std::string& path)
{
    std::error_code failed;
    const auto size = std::filesystem::file_size(path, failed);
    std::ifstream in(path, std::ios::binary);
    if (failed || !in)
        throw_message("Unable to read hanger catalogue " + path);
    if (size > MAX_CATALOGUE_BYTES)
        throw_message("Hanger catalogue " + path + " is too long");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        throw_message("Unable to read hanger catalogue " + path);
    return parse_hanger_catalogue(text.str(), path);
}

std::vector<std::string> hanger_catalogue_folders(const std::string& model_path)
{
    std::vector<std::string> folders;
    if (!model_path.empty()) {
        const std::string folder = folder_of(model_path);
        folders.push_back(folder.empty() ? std::string("hangers") : folder + "/hangers");
    }
    if (const std::string program = program_folder(); !program.empty())
        folders.push_back(program + "/hangers");
    return folders;
}

std::string no_catalogue_data_text(int type)
{
    return c_format("No data is available for the %s spring catalogue", hanger_type_name(type));
}

std::shared_ptr<const HangerCatalogue> find_hanger_catalogue(int type, const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + hanger_catalogue_file_name(type);
        std::error_code failed;
        if (!std::filesystem::is_regular_file(path, failed))
            continue;
        auto catalogue = std::make_shared<HangerCatalogue>(read_hanger_catalogue(path));
        if (catalogue->type != type)
            throw_message(c_format("Hanger catalogue %s is catalogue %d, not %d", path.c_str(), catalogue->type, type));
        return catalogue->has_data() ? catalogue : nullptr;
    }
    return nullptr;
}
