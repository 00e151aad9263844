#include "materials/library_sources.h"

#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "materials/aisc_shapes.h"
#include "materials/size_tables.h"

#include <sstream>
#include <vector>

std::vector<std::pair<int, std::string>> library_source_lines(const std::string& text)
{
    std::vector<std::pair<int, std::string>> lines;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        trim_blanks(line);
        if (!line.empty() && line[0] != '#')
            lines.emplace_back(number, line);
    }
    return lines;
}

void bad_source_line(int number, const std::string& line, const std::string& what)
{
    throw_message(c_format("Line %d: %s\n%s", number, line.c_str(), what.c_str()));
}

std::vector<std::string> source_fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, ',')) {
        trim_blanks(field);
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == ',')
        fields.emplace_back();
    return fields;
}

namespace {

int index_in(const std::string& text, const char* (*name)(int), int count)
{
    for (int i = 0; i < count; ++i) {
        std::string n = name(i);
        trim_blanks(n);
        if (upper_case(n) == upper_case(text))
            return i;
    }
    return -1;
}

float number(const std::string& text, int line_number, const std::string& line)
{
    double v = 0.0;
    if (text.empty())
        return 0.0f;
    if (!parse_c_double(text, v) || v < 0.0)
        bad_source_line(line_number, line, "\"" + text + "\" is no number");
    return static_cast<float>(v);
}

}  // namespace

MaterialBatch material_library_from_source(const std::string& text)
{
    return read_material_batch(text, 0, MATERIAL_BATCH_ENGLISH_UNITS);
}

OneBased<BeamSection> beam_library_from_source(const std::string& text)
{
    OneBased<BeamSection> sections;
    for (const auto& [n, line] : library_source_lines(text)) {
        const AiscShape* shape = find_aisc_shape(line);
        if (!shape)
            bad_source_line(n, line, "No AISC shape has this designation");
        BeamSection s;
        s.description = shape->designation;
        for (int v = 0; v < BS_VALUE_COUNT; ++v)
            s.values[static_cast<std::size_t>(v)] = shape->values[v];
        sections.push_back(s);
    }
    return sections;
}

OneBased<ValveRecord> valve_library_from_source(const std::string& text)
{
    OneBased<ValveRecord> valves;
    for (const auto& [n, line] : library_source_lines(text)) {
        const std::vector<std::string> f = source_fields(line);
        if (f.size() != 8)
            bad_source_line(n, line, "A valve needs eight fields");
        ValveRecord v;
        v.description = f[0].substr(0, VALVE_DESCRIPTION_LENGTH);
        v.standard = index_in(f[1], valve_standard_name, VALVE_STANDARD_COUNT);
        if (v.standard < 0)
            bad_source_line(n, line, "Unknown size standard");
        const PipeSizeTable& sizes = pipe_size_table(v.standard);
        const int row = sizes.find_row(f[2]);
        if (row <= 0)
            bad_source_line(n, line, "Unknown nominal size");
        v.nominal_size = f[2];
        v.outside_diameter = sizes.rows[static_cast<std::size_t>(row)].outside_diameter;
        const int rating = index_in(f[3], [](int i) { return valve_rating_name(0, i); }, VALVE_RATING_COUNT);
        if (v.standard != 0 || rating < 0)
            bad_source_line(n, line, "Unknown rating (ANSI ratings only)");
        v.rating = valve_rating_name(0, rating);
        v.connection = upper_case(f[4]);
        bool known = false;
        for (int i = 0; i < VALVE_CONNECTION_COUNT; ++i)
            known = known || std::string(valve_connection_name(i)).substr(0, 2) == v.connection;
        if (!known)
            bad_source_line(n, line, "Unknown connection");
        v.valve_type = index_in(f[5], valve_type_name, VALVE_TYPE_COUNT);
        if (v.valve_type < 0)
            bad_source_line(n, line, "Unknown valve type");
        v.length = number(f[6], n, line);
        v.weight = number(f[7], n, line);
        valves.push_back(v);
    }
    return valves;
}
